#include "convert/convertor.h"

#include <QFileInfo>

#include <ctime>

#include "app/folders/filetimestamp.h"
#include "platform/textconv.h"

using namespace convert;

HRESULT IConvertor::Prepare(const QString& folder, const QString& name) {
    Reset();
    return PrepareOutputPath(folder, name);
}

HRESULT IConvertor::PrepareOutputPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) {
        return kInvalidArg;
    }
    if (!QFileInfo(folder).isDir()) {
        Reset();
        return kFail;
    }
    QString path = folder;
    if (!path.endsWith(u'/')) {
        path += u'/';
    }
    if (!name.isEmpty()) {
        path += name;
    } else {
        const QString stamp = platform::toQString(FormatFileTimestamp(std::time(nullptr)));
        if (stamp.isEmpty()) {
            Reset();
            return kFail;
        }
        path += stamp + GetExtension();
    }
    m_outputs.append(path);
    return SetWorkFolder(QString());
}

void IConvertor::Reset() {
    m_outputs.clear();
    m_workFolder.clear();
    m_firstPage = 0;
    m_lastPage = 0;
}

HRESULT IConvertor::Convert(const PageImageInfo* /*pages*/, std::uint32_t /*documentId*/) {
    return kNotImplemented;
}

QString IConvertor::GetExtension() const {
    return QString();
}

HRESULT IConvertor::SetWorkFolder(const QString& path) {
    if (path.isNull()) {
        // The only environment variable the program reads: the default work folder.
        m_workFolder = qEnvironmentVariable("TEMP");
        return kOk;
    }
    if (!QFileInfo(path).isDir()) {
        return kFail;
    }
    m_workFolder = path;
    return kOk;
}

HRESULT IConvertor::SetPageRange(std::int32_t first, std::int32_t last) {
    m_firstPage = first;
    m_lastPage = last;
    return kOk;
}
