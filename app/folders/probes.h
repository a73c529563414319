#pragma once

#include <string>

// Probes of whether the program may write where the user wants a document saved. Each probe
// file exists only for the moment of the probe and is deleted at once; a probe never replaces
// or deletes a file that was there before.

// True when a file could be created and deleted in the folder `path`. When `path` is not an
// existing folder, the probe is made in the folder that holds it (the text before its last "/";
// false when there is none). The probe file is named after the current local time, ".zel".
bool CanWriteFolder(const std::u16string& path);

// True when a file whose name has exactly `nameLength` characters can be created in `folder`
// (the name is the millisecond tick count repeated and cut to that length). False when it
// cannot, or when 32 attempts all found a file of the candidate name already there.
bool CanCreateFileIn(const std::u16string& folder, int nameLength);

// True when the file `path` exists and may be opened for writing, or does not exist and can be
// created (it is created and deleted again at once).
bool CanWriteFile(const std::u16string& path);
