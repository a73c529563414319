#include "app/binding/stidlllibrary.h"

#include "app/binding/libraryfiles.h"

HRESULT CStidllLibrary::Bind() {
    Free();
    HRESULT result = Load(kStillImageLibrary);
    if (result < 0) {
        return result;
    }
    stiCreateInstanceW_ =
        reinterpret_cast<StiCreateInstanceWFunction>(resolve("StiCreateInstanceW", result));
    if (stiCreateInstanceW_ == nullptr) {
        Free();
        return result;
    }
    return platform::kOk;
}

void CStidllLibrary::Free() {
    CAutoLibrary::Free();
    stiCreateInstanceW_ = nullptr;
}
