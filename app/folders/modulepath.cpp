#include "app/folders/modulepath.h"

#include <sys/stat.h>

#include "platform/modulefile.h"
#include "platform/textconv.h"

PathResult ModulePath() {
    const std::string path = platform::moduleFilePath();
    if (path.empty()) {
        return {platform::kNotEnoughMemory, {}};
    }
    return {platform::kOk, platform::toUtf16(path)};
}

PathResult FolderOfPath(const std::u16string& path) {
    struct stat info {};
    if (!path.empty() && ::stat(platform::toUtf8(path).c_str(), &info) == 0 &&
        S_ISDIR(info.st_mode)) {
        return {platform::kOk, path};
    }
    const size_t slash = path.rfind(u'/');
    if (slash == std::u16string::npos) {
        return {platform::kFail, {}};
    }
    // The root folder keeps its "/".
    return {platform::kOk, path.substr(0, slash == 0 ? 1 : slash)};
}

PathResult ProgramFolder() {
    const PathResult module = ModulePath();
    if (!module.ok()) {
        return module;
    }
    return FolderOfPath(module.path);
}
