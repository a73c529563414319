#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Run-time loaded libraries and the program folder's file listing, standing in for loading a
// library by name, resolving an entry point and freeing the library.
namespace platform {

// Error numbers of a failed load or lookup, the platform's own numbering for the conditions the
// program tells apart (callers turn them into result codes as any other system error).
enum LibraryError : uint32_t {
    kLibraryOk = 0,
    kLibraryNotFound = 126,     // no file of that name, in the program folder or the search path
    kProcedureNotFound = 127,   // the library has no entry point of that name
    kLibraryBadFormat = 193,    // the file exists but is not a loadable library
    kLibraryInvalidName = 123,  // empty name
};

using LibraryModule = void*;

struct LibraryLoad {
    LibraryModule module = nullptr;  // owned by the caller: release with freeLibrary()
    uint32_t error = kLibraryOk;     // a LibraryError; 0 exactly when module is set
    std::string detail;              // the system's explanation, for diagnostics only
};

// Loads a library. A bare file name (no "/") is looked for in the program folder first, then
// along the system's usual library search path; a name with "/" is loaded from that path only.
// Loading a library that is already loaded gives the same module and counts one more use.
// Nothing is left behind on failure.
LibraryLoad loadLibrary(std::u16string_view name);

struct SymbolLookup {
    void* address = nullptr;
    uint32_t error = kLibraryOk;  // kProcedureNotFound when the library has no such export
};

// The address of the exported function `name` of `module` (which must be loaded). The address
// stays valid until the module's last use is freed.
SymbolLookup findSymbol(LibraryModule module, const char* name);

// Releases one use of `module`; the library is unloaded when its last use is released. A null
// module is ignored.
void freeLibrary(LibraryModule module);

// The folder holding the running program ("/"-separated, no trailing "/"), or an empty text
// when it cannot be determined.
std::u16string programFolderPath();

// The names (without folder) of the regular files in `folder` whose names match the shell
// pattern `pattern` ("*.so", letters compared without regard to case), in the order the system
// lists them. An unreadable folder gives an empty list.
std::vector<std::u16string> listFolder(std::u16string_view folder, std::u16string_view pattern);

}  // namespace platform
