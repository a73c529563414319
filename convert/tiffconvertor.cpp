#include "convert/tiffconvertor.h"

#include <QFileInfo>

#include <exception>

#include "convert/pagefilename.h"
#include "convert/stagedoutput.h"

using namespace convert;

namespace {

// The page TIFF's header and directory block end where its strip begins.
constexpr long long kPageHeaderBytes = 8;
constexpr long long kStripOffset = 234;

// The size of the joined file: the first page file whole, then each later page's directory
// block and strip (its file less the 8-byte header). -1 when a page file is missing or too short.
long long ExpectedJoinSize(const QString& folder, std::uint32_t documentId, std::int32_t first,
                           std::int32_t last) {
    long long total = 0;
    for (std::int64_t page = first; page <= last; ++page) {
        const QFileInfo info(PageFilePath(folder, documentId, static_cast<int>(page), true));
        if (!info.isFile() || info.size() < kStripOffset) {
            return -1;
        }
        total += page == first ? info.size() : info.size() - kPageHeaderBytes;
    }
    return total;
}

}  // namespace

CTiffConvertor::~CTiffConvertor() {
    m_library.Free();
}

HRESULT CTiffConvertor::Prepare(const QString& folder, const QString& name) {
    HRESULT result = IConvertor::Prepare(folder, name);
    if (result >= 0) {
        result = m_library.Bind();
    }
    if (result < 0) {
        Reset();
    }
    return result;
}

void CTiffConvertor::Reset() {
    IConvertor::Reset();
    m_library.Free();
}

QString CTiffConvertor::GetExtension() const {
    return QStringLiteral(".tif");
}

HRESULT CTiffConvertor::Convert(const PageImageInfo* /*pages*/, std::uint32_t documentId) {
    if (m_outputs.isEmpty() || m_library.MultiTiffEncode() == nullptr || m_firstPage > m_lastPage) {
        return kFail;
    }
    try {
        const long long expected =
            ExpectedJoinSize(m_workFolder, documentId, m_firstPage, m_lastPage);
        if (expected < 0) {
            return kFail;
        }
        CStagedOutput output(m_outputs.first());
        if (output.Create() < 0) {
            return kFail;
        }
        const QString staged = output.stagedPath();
        const auto joined = m_library.MultiTiffEncode()(
            reinterpret_cast<const char16_t*>(staged.utf16()), documentId, m_firstPage, m_lastPage,
            reinterpret_cast<const char16_t*>(m_workFolder.utf16()));
        if (!joined || output.stagedSize() != expected) {
            return kFail;
        }
        return output.Commit() < 0 ? kFail : kOk;
    } catch (const std::exception&) {
        return kFail;
    }
}
