#include "convert/stagedoutput.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

using namespace convert;

namespace {

std::filesystem::path NativePath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

CStagedOutput::CStagedOutput(QString finalPath) : final_(std::move(finalPath)) {}

CStagedOutput::~CStagedOutput() {
    if (!staged_.isEmpty() && !committed_) {
        QFile::remove(staged_);
    }
}

HRESULT CStagedOutput::Create() {
    const QString folder = QFileInfo(final_).absolutePath();
    int error = ENOENT;
    // A few attempts with fresh random names; "x" creates the file only when it does not exist.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString candidate =
            folder +
            QStringLiteral("/.velnor-%1")
                .arg(QRandomGenerator::global()->generate() & 0xFFFFFF, 6, 16, QChar(u'0'));
        errno = 0;
        std::FILE* file = std::fopen(QFile::encodeName(candidate).constData(), "wbx");
        if (file != nullptr) {
            if (std::fclose(file) != 0) {
                error = errno;
                QFile::remove(candidate);
                return StatusFromSystemError(error);
            }
            staged_ = candidate;
            return kOk;
        }
        error = errno;
        if (error != EEXIST) {
            break;
        }
    }
    return StatusFromSystemError(error > 0 ? error : EIO);
}

HRESULT CStagedOutput::Commit() {
    if (staged_.isEmpty()) {
        return kFail;
    }
    std::error_code ec;
    std::filesystem::rename(NativePath(staged_), NativePath(final_), ec);
    if (ec) {
        QFile::remove(staged_);
        staged_.clear();
        return StatusFromSystemError(ec.value() > 0 ? ec.value() : EIO);
    }
    committed_ = true;
    return kOk;
}

long long CStagedOutput::stagedSize() const {
    if (staged_.isEmpty()) {
        return -1;
    }
    const QFileInfo info(staged_);
    return info.exists() ? info.size() : -1;
}
