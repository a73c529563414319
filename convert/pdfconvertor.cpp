#include "convert/pdfconvertor.h"

#include <exception>

#include "convert/stagedoutput.h"
#include "ostrel/ostrel.h"

using namespace convert;

IPdfConvertor::~IPdfConvertor() {
    m_library.Free();
}

HRESULT IPdfConvertor::Prepare(const QString& folder, const QString& name) {
    HRESULT result = IConvertor::Prepare(folder, name);
    if (result >= 0) {
        result = m_library.Bind();
    }
    if (result < 0) {
        Reset();
    }
    return result;
}

void IPdfConvertor::Reset() {
    IConvertor::Reset();
    m_library.Free();
}

QString IPdfConvertor::GetExtension() const {
    return QStringLiteral(".pdf");
}

HRESULT IPdfConvertor::Convert(const PageImageInfo* pages, std::uint32_t documentId) {
    if (pages == nullptr) {
        return kPointer;
    }
    if (m_outputs.isEmpty() || m_library.PDF_Encode() == nullptr) {
        return kFail;
    }
    try {
        CStagedOutput output(m_outputs.first());
        if (output.Create() < 0) {
            return kFail;
        }
        const QString staged = output.stagedPath();
        const std::int32_t written = m_library.PDF_Encode()(
            reinterpret_cast<const char16_t*>(staged.utf16()), pages, documentId, m_firstPage,
            m_lastPage, MonochromeFlag(), reinterpret_cast<const char16_t*>(m_workFolder.utf16()));
        if (written < 0 || output.stagedSize() <= 0) {
            return kFail;
        }
        return output.Commit() < 0 ? kFail : kOk;
    } catch (const std::exception&) {
        return kFail;
    }
}
