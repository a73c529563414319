#pragma once

#include <string>

// The folders the program keeps beside itself:
//   <program folder>/work/save     page images downloaded for a save, before conversion
//   <program folder>/work/preview  page images downloaded for the preview pane
//   <program folder>/setting       the profile file
// The paths are process-wide; each is empty until CreateWorkFolders() has run once with a
// known program folder, and then stays as formed. Safe to read from any thread.

// Forms the folder paths from the program folder and creates the folders that are missing,
// one level each (work, save, preview, setting). Does nothing when the program folder cannot be
// determined; failures to create a folder are not reported (the writers find out later).
void CreateWorkFolders();

std::u16string SaveFolder();
std::u16string PreviewFolder();
std::u16string SettingFolder();

// Deletes every file in `path` and, recursively, in its subfolders; the folders themselves stay.
// A symbolic link is removed as an entry, never followed, so nothing outside `path` is touched.
// A trailing "/" on `path` is fine. Deletion failures are ignored. Returns true when `path` could
// be listed, false when it does not exist, is not a folder or cannot be read.
bool ClearFolder(const std::u16string& path);
