#pragma once

#include "app/settings/appsettings.h"

// Loading and saving the settings through the process-wide profile file (ProfileFileName()).

// Fills `record` from the profile, each value read with the record's current value as its
// default (an absent key, section or file leaves the default), then publishes the record's three
// groups to CurrentSettings. A "folderPath" that is empty keeps the record's folder. The
// password is read only when "savePassword" is non-zero; a stored password that is not in the
// stored form leaves the password empty. Nothing is validated beyond this; reports nothing.
void LoadSettings(AppSettings& record);

// Overwrites `record` with CurrentSettings and writes every key to the profile, in a fixed order,
// stopping at the first write that fails: then a message box (no owner, error icon) says
// "Failed to save the file." (text 21005, caption 20002) once, and the keys not yet written keep
// what the file held before. The password is written in its stored form when "savePassword" is
// non-zero, otherwise as an empty value. Returns whether every key was written.
bool SaveSettings(AppSettings& record);
