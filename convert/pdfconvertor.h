#pragma once

#include "app/binding/ostrellibrary.h"
#include "convert/convertor.h"

// Base of the two PDF convertors: writes one PDF of the page range with ostrel's PDF_Encode,
// bound by a loader of its own from Prepare until Reset or destruction.
class IPdfConvertor : public IConvertor {
  public:
    // Unloads the convertor's own binding of ostrel.
    ~IPdfConvertor() override;

    // As the base, then binds ostrel. When the base steps or the binding fail the convertor is
    // reset and the result is the failure (for the binding, the loader's status code).
    HRESULT Prepare(const QString& folder, const QString& name) override;

    // As the base, and unloads the library.
    void Reset() override;

    // Writes the PDF of pages m_firstPage..m_lastPage from m_workFolder to the first output
    // path. The PDF is written under a temporary name beside it and moved into place only when
    // PDF_Encode reports it complete; on failure nothing is left at the output path and a file
    // that was there before is kept. `pages` (owned by the caller) gives each page's size and
    // resolution, indexed by page number. Results: kPointer for null pages; kFail without an
    // output path, without a bound library, or when the library or the move fails; kOk.
    HRESULT Convert(const PageImageInfo* pages, std::uint32_t documentId) override;

    QString GetExtension() const override;

    COstrelLibrary m_library;  // this convertor's own loader of ostrel

  protected:
    // 0 for the colour class (".jpg" pages), 1 for black-and-white (".tif" pages).
    virtual std::int32_t MonochromeFlag() const = 0;
};
