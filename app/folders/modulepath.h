#pragma once

#include <string>

#include "platform/resultcode.h"

// A path together with the result of forming it.
struct PathResult {
    HRESULT status = platform::kFail;  // 0 on success, negative on failure
    std::u16string path;               // empty on failure
    bool ok() const { return status >= 0; }
};

// The full path of the running program's own file ("/"-separated). Fails with
// 0x80070008 when the system cannot name it (the path would be longer than any real path).
PathResult ModulePath();

// The folder of the running program: ModulePath() cut before its last "/" (the path itself when it
// names a folder). Fails with the result of ModulePath(), or E_FAIL when the path has no "/".
PathResult ProgramFolder();

// The folder part of `path` as ProgramFolder() forms it from a module path: `path` itself when
// it names an existing folder, otherwise the text before its last "/"; nothing when there is no
// "/".
PathResult FolderOfPath(const std::u16string& path);
