#include "app/binding/commoncodeclibrary.h"

#include "app/binding/libraryfiles.h"

HRESULT CCommonCodecLibrary::checkExports() const {
    HRESULT result = platform::kOk;
    for (const char* name : {"KroXMLEncode", "KroXMLDecode", "KroCodecFree"}) {
        if (resolve(name, result) == nullptr) {
            return result;
        }
    }
    return platform::kOk;
}

HRESULT CCommonCodecLibrary::Bind() {
    Free();
    for (const std::u16string& name : FindLibraryFile(kCodecStem)) {
        if (Load(name) >= 0 && checkExports() >= 0) {
            return platform::kOk;
        }
    }
    HRESULT result = Load(PrefixedLibraryName(kCodecStem));
    if (result >= 0) {
        result = checkExports();
    }
    if (result < 0) {
        Free();
    }
    return result;
}
