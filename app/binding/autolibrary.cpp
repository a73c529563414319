#include "app/binding/autolibrary.h"

#include "app/binding/libraryfiles.h"

CAutoLibrary::~CAutoLibrary() {
    CAutoLibrary::Free();
}

HRESULT CAutoLibrary::Load(std::u16string_view name) {
    Free();
    if (name.empty()) {
        return platform::kInvalidArg;
    }
    name_ = name;
    lastTried_ = name;
    const platform::LibraryLoad load = platform::loadLibrary(name);
    if (load.module == nullptr) {
        return platform::resultFromSystemError(load.error);
    }
    module_ = load.module;
    return platform::kOk;
}

void CAutoLibrary::Free() {
    if (module_ != nullptr) {
        platform::freeLibrary(module_);
        module_ = nullptr;
    }
    name_.clear();
}

void* CAutoLibrary::resolve(const char* symbol, HRESULT& result) const {
    const platform::SymbolLookup lookup = platform::findSymbol(module_, symbol);
    if (lookup.address == nullptr) {
        result = platform::resultFromSystemError(lookup.error);
        return nullptr;
    }
    return lookup.address;
}

HRESULT CAutoLibrary::loadByStem(std::u16string_view stem) {
    Free();
    const std::vector<std::u16string> files = FindLibraryFile(stem);
    if (!files.empty() && Load(files.front()) >= 0) {
        return platform::kOk;
    }
    return Load(PrefixedLibraryName(stem));
}
