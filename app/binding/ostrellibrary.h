#pragma once

#include "app/binding/autolibrary.h"
#include "ostrel/ostrel.h"

// The PDF writer library ("ostrel.so") and its entry point PDF_Encode. The application binds
// one at start-up; each PDF convertor binds one of its own.
class COstrelLibrary : public CAutoLibrary {
  public:
    // Frees, then binds the library of the common kind (stem "ostrel.so") and resolves
    // PDF_Encode. 0 on success; on failure the loader holds nothing: the load's result or the
    // platform's error for the missing entry point.
    HRESULT Bind();
    void Free() override;

    // Null unless bound.
    PdfEncodeFunction PDF_Encode() const { return pdfEncode_; }

  private:
    PdfEncodeFunction pdfEncode_ = nullptr;
};
