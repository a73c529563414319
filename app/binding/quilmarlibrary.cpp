#include "app/binding/quilmarlibrary.h"

#include "app/binding/libraryfiles.h"

HRESULT CQuilmarLibrary::Bind() {
    return bindByStem(kQuilmarStem, [this] {
        HRESULT result = platform::kOk;
        multiTiffEncode_ =
            reinterpret_cast<MultiTiffEncodeFunction>(resolve("MultiTiffEncode", result));
        return multiTiffEncode_ != nullptr ? platform::kOk : result;
    });
}

void CQuilmarLibrary::Free() {
    CAutoLibrary::Free();
    multiTiffEncode_ = nullptr;
}
