#pragma once

#include "app/binding/quilmarlibrary.h"
#include "convert/convertor.h"

// Black-and-white multi-page TIFF: quilmar's MultiTiffEncode joins the page TIFFs of the range,
// bound by a loader of its own from Prepare until Reset or destruction.
class CTiffConvertor : public IConvertor {
  public:
    // Unloads the convertor's own binding of quilmar.
    ~CTiffConvertor() override;

    // As the base, then binds quilmar. When the base steps or the binding fail the convertor is
    // reset and the result is the failure (for the binding, the loader's status code).
    HRESULT Prepare(const QString& folder, const QString& name) override;

    // As the base, and unloads the library.
    void Reset() override;

    // Joins "<work folder>/%08X_%d.tif" of pages m_firstPage..m_lastPage into the first output
    // path. The TIFF is written under a temporary name beside it and moved into place only when
    // the library reports success and the file has exactly the size the join gives (the first
    // page file whole, then each later page file less its 8-byte header); otherwise nothing is
    // left at the output path and a file that was there before is kept. `pages` is not used.
    // Results: kFail without an output path, without a bound library, for an empty range, a
    // missing page file, a library failure or a short output; kOk.
    HRESULT Convert(const PageImageInfo* pages, std::uint32_t documentId) override;

    QString GetExtension() const override;

    CQuilmarLibrary m_library;  // this convertor's own loader of quilmar
};
