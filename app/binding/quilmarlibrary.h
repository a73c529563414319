#pragma once

#include "app/binding/autolibrary.h"
#include "quilmar/quilmar.h"

// The multi-page TIFF library ("quilmar.so") and its entry point MultiTiffEncode. The
// application binds one at start-up; each TIFF convertor binds one of its own.
class CQuilmarLibrary : public CAutoLibrary {
  public:
    // Frees, then binds the library of the common kind (stem "quilmar.so") and resolves
    // MultiTiffEncode. 0 on success; on failure the loader holds nothing: the load's result or
    // the platform's error for the missing entry point.
    HRESULT Bind();
    void Free() override;

    // Null unless bound.
    MultiTiffEncodeFunction MultiTiffEncode() const { return multiTiffEncode_; }

  private:
    MultiTiffEncodeFunction multiTiffEncode_ = nullptr;
};
