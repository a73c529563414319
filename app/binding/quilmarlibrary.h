#pragma once

#include <cstdint>

#include "app/binding/autolibrary.h"

// The multi-page TIFF library ("quilmar.so") and its entry point MultiTiffEncode. The
// application binds one at start-up; each TIFF convertor binds one of its own.
class CQuilmarLibrary : public CAutoLibrary {
  public:
    // MultiTiffEncode(outputPath, documentId, firstPage, lastPage, folder): 1 success, 0 failure.
    using MultiTiffEncodeFunction = bool (*)(const char16_t* outputPath, std::uint32_t documentId,
                                             std::int32_t firstPage, std::int32_t lastPage,
                                             const char16_t* folder);

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
