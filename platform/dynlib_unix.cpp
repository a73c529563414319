#include "platform/dynlib.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include "platform/modulefile.h"
#include "platform/textconv.h"

namespace platform {

namespace {

bool isFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

LibraryLoad open(const std::string& path, bool fileKnownToExist) {
    LibraryLoad result;
    ::dlerror();
    result.module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (result.module == nullptr) {
        const char* why = ::dlerror();
        result.detail = why ? why : "";
        result.error = fileKnownToExist ? kLibraryBadFormat : kLibraryNotFound;
    }
    return result;
}

}  // namespace

LibraryLoad loadLibrary(std::u16string_view name) {
    if (name.empty()) {
        return {nullptr, kLibraryInvalidName, "empty library name"};
    }
    const std::string name8 = toUtf8(name);
    if (name8.find('/') != std::string::npos) {
        return open(name8, isFile(name8));
    }
    const std::string folder = toUtf8(programFolderPath());
    if (!folder.empty()) {
        const std::string besideProgram = folder + "/" + name8;
        if (isFile(besideProgram)) {
            return open(besideProgram, true);
        }
    }
    // Along the search path: a failure there means either no such file or a bad one; the
    // loader does not say which, and "not found" is by far the common case.
    LibraryLoad result = open(name8, false);
    return result;
}

SymbolLookup findSymbol(LibraryModule module, const char* name) {
    if (module == nullptr || name == nullptr) {
        return {nullptr, kProcedureNotFound};
    }
    ::dlerror();
    void* address = ::dlsym(module, name);
    if (address == nullptr) {
        return {nullptr, kProcedureNotFound};
    }
    return {address, kLibraryOk};
}

void freeLibrary(LibraryModule module) {
    if (module != nullptr) {
        ::dlclose(module);
    }
}

std::u16string programFolderPath() {
    const std::string path = moduleFilePath();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return toUtf16(path.substr(0, slash == 0 ? 1 : slash));
}

std::vector<std::u16string> listFolder(std::u16string_view folder, std::u16string_view pattern) {
    std::vector<std::u16string> names;
    const std::string folder8 = toUtf8(folder);
    const std::string pattern8 = toUtf8(pattern);
    DIR* dir = ::opendir(folder8.empty() ? "." : folder8.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." ||
            ::fnmatch(pattern8.c_str(), name.c_str(), FNM_CASEFOLD) != 0) {
            continue;
        }
        if (isFile(folder8 + "/" + name)) {
            names.push_back(toUtf16(name));
        }
    }
    ::closedir(dir);
    return names;
}

}  // namespace platform
