#pragma once

#include "convert/convertor.h"

// Colour JPEG pages: each page file of the range is copied, unchanged, to its own output file.
// The outputs are derived from the chosen path with a counter before its last dot: pages 3 to 5
// saved as "/scans/memo.jpg" become memo-1.jpg, memo-2.jpg and memo-3.jpg.
class CJpgPassthruConvertor : public IConvertor {
  public:
    // As the base, then the single output path moves into m_basePath and m_outputs is emptied
    // until SetPageRange derives one path per page. Failures as the base.
    HRESULT Prepare(const QString& folder, const QString& name) override;

    // As the base, and forgets m_basePath.
    void Reset() override;

    // Copies "<work folder>/%08X_%d.jpg" of each page of the range to its output path, replacing
    // an existing file. Each copy is written under a temporary name and moved into place only
    // when it is complete. The first copy that fails ends the conversion with its system error
    // as a status code (kFail when there is none); the copies before it stay, the failed one
    // leaves nothing behind. `pages` is not used. An empty range copies nothing and gives kOk;
    // a range whose outputs were not derived (no SetPageRange) gives kFail.
    HRESULT Convert(const PageImageInfo* pages, std::uint32_t documentId) override;

    QString GetExtension() const override;

    // Stores the range and derives one output path per page from m_basePath, numbered from 1.
    // Without a base path the range is stored and the result is kFail.
    HRESULT SetPageRange(std::int32_t first, std::int32_t last) override;

    QString m_basePath;  // the chosen output path, from which the page names are derived
};
