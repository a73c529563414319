#pragma once

#include <QString>

#include "platform/resultcode.h"

// The profile file: <program folder>/setting/<program file name up to its last ".">ini, for the
// program "Velnor" in folder F "F/setting/Velnor.ini". A program file name without "." is taken
// as ending in "."; a "." in a folder name never counts.

// What forming the profile file name from a module path gave.
struct ProfileNameResult {
    HRESULT status = platform::kFail;
    QString path;     // the profile file's full path; empty on failure
    QString iniName;  // the profile file's own name ("Velnor.ini"); "ini" when it was not formed
};

// Forms the profile file name from the program's module path `modulePath`. Fails (E_FAIL) when
// the path has no "/" or names no file.
ProfileNameResult ProfileFileNameFor(const QString& modulePath);

// Forms the profile file name from the running program's module path and makes it the
// process-wide profile file name (replacing one set before). On failure shows a message box (no
// owner, error icon) with caption `caption` and body `format` filled with the INI file's name,
// clears the profile file name, and returns E_FAIL; on success returns 0.
HRESULT SetProfileFileName(const QString& caption, const QString& format);

// The process-wide profile file name; empty while none is set.
QString ProfileFileName();

// Forgets the profile file name (exit routine); harmless when none is set.
void ReleaseProfileFileName();

// Sets the process-wide profile file name directly (for tests and tools that keep a profile
// elsewhere).
void UseProfileFileName(const QString& path);
