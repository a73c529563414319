// The one export of "sti.so".

#include <dlfcn.h>

#include <new>
#include <string>

#include "family/sti/sti.h"
#include "family/sti/stillimage.h"

namespace {

// The folder that holds this library: the program folder.
std::string LibraryFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&StiCreateInstanceW), &info) == 0 ||
        info.dli_fname == nullptr) {
        return ".";
    }
    const std::string path = info.dli_fname;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) StiResult StiCreateInstanceW(
    void* /*module*/, std::uint32_t version, IStillImage** stillImage, void* outer) {
    if (stillImage == nullptr) {
        return sti::kInvalidArgument;
    }
    *stillImage = nullptr;
    // Version 2 of the interface, with or without the Unicode flag.
    if (outer != nullptr || (version & 0xFFFF) != (sti::kVersion & 0xFFFF)) {
        return sti::kInvalidArgument;
    }
    try {
        *stillImage = new sti::StillImage(LibraryFolder());
        return sti::kOk;
    } catch (...) {
        return sti::kOutOfMemory;
    }
}
