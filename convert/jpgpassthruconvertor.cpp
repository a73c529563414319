#include "convert/jpgpassthruconvertor.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>

#include "convert/pagefilename.h"
#include "convert/stagedoutput.h"

using namespace convert;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Copies `source` to the staged file at `target`, checking every read and write. Returns kOk or
// the system error of the step that failed.
HRESULT CopyWhole(const QString& source, const QString& target) {
    errno = 0;
    FilePtr in(std::fopen(QFile::encodeName(source).constData(), "rb"));
    if (!in) {
        return StatusFromSystemError(errno > 0 ? errno : ENOENT);
    }
    errno = 0;
    std::FILE* rawOut = std::fopen(QFile::encodeName(target).constData(), "wb");
    if (rawOut == nullptr) {
        return StatusFromSystemError(errno > 0 ? errno : EIO);
    }
    FilePtr out(rawOut);
    char buffer[64 * 1024];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, in.get());
        if (got > 0 && std::fwrite(buffer, 1, got, out.get()) != got) {
            return StatusFromSystemError(errno > 0 ? errno : EIO);
        }
        if (got < sizeof buffer) {
            if (std::ferror(in.get())) {
                return StatusFromSystemError(errno > 0 ? errno : EIO);
            }
            break;
        }
    }
    if (std::fclose(out.release()) != 0) {
        return StatusFromSystemError(errno > 0 ? errno : EIO);
    }
    return kOk;
}

}  // namespace

HRESULT CJpgPassthruConvertor::Prepare(const QString& folder, const QString& name) {
    Reset();
    const HRESULT result = PrepareOutputPath(folder, name);
    if (result < 0) {
        return result;
    }
    m_basePath = m_outputs.value(0);
    m_outputs.clear();
    return kOk;
}

void CJpgPassthruConvertor::Reset() {
    IConvertor::Reset();
    m_basePath.clear();
}

QString CJpgPassthruConvertor::GetExtension() const {
    return QStringLiteral(".jpg");
}

HRESULT CJpgPassthruConvertor::SetPageRange(std::int32_t first, std::int32_t last) {
    IConvertor::SetPageRange(first, last);
    if (m_basePath.isEmpty()) {
        return kFail;
    }
    m_outputs.clear();
    // The counter, not the page number, goes into the name. A path without a dot gets the
    // counter at its very beginning.
    const qsizetype dot = m_basePath.lastIndexOf(u'.');
    const qsizetype at = dot < 0 ? 0 : dot;
    std::int32_t counter = 1;
    for (std::int64_t page = first; page <= last; ++page, ++counter) {
        QString path = m_basePath;
        path.insert(at, QStringLiteral("-%1").arg(counter));
        m_outputs.append(path);
    }
    return kOk;
}

HRESULT CJpgPassthruConvertor::Convert(const PageImageInfo* /*pages*/, std::uint32_t documentId) {
    try {
        for (std::int64_t i = 0; m_firstPage + i <= m_lastPage; ++i) {
            if (i >= m_outputs.size()) {
                return kFail;  // the outputs were not derived for this range
            }
            const QString source =
                PageFilePath(m_workFolder, documentId, static_cast<int>(m_firstPage + i), false);
            CStagedOutput output(m_outputs.at(i));
            HRESULT result = output.Create();
            if (result >= 0) {
                result = CopyWhole(source, output.stagedPath());
            }
            if (result >= 0) {
                result = output.Commit();
            }
            if (result < 0) {
                return result;
            }
        }
    } catch (const std::exception&) {
        return kFail;
    }
    return kOk;
}
