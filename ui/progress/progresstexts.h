#pragma once

class DialogFrame;

// Text ids the progress dialog and the save job show.
inline constexpr int kTextStartingApplication = 15001;  // "Now Starting Application"
inline constexpr int kTextPreparingSimpleMode = 15002;  // "Now Preparing Simple Mode"
inline constexpr int kTextNowSaving = 15003;            // "Now Saving Document(s)"
inline constexpr int kTextSavedSuccessfully = 15004;    // "Saved successfully"
inline constexpr int kCaptionCommunication = 20001;     // "Communication"
inline constexpr int kCaptionSave = 20002;              // "Save"
inline constexpr int kTextUnableToDownload = 21004;     // "Unable to download the file."
inline constexpr int kTextFailedToSave = 21005;         // "Failed to save the file."

// Gives the progress dialog its caption (15101) and button texts (OK 15201, Cancel 15202) in
// the current language.
void LocalizeProgressDialog(DialogFrame& dialog);
