#include "app/binding/ostrellibrary.h"

#include "app/binding/libraryfiles.h"

HRESULT COstrelLibrary::Bind() {
    return bindByStem(kOstrelStem, [this] {
        HRESULT result = platform::kOk;
        pdfEncode_ = reinterpret_cast<PdfEncodeFunction>(resolve("PDF_Encode", result));
        return pdfEncode_ != nullptr ? platform::kOk : result;
    });
}

void COstrelLibrary::Free() {
    CAutoLibrary::Free();
    pdfEncode_ = nullptr;
}
