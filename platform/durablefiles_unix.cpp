#include "platform/durablefiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <string>

namespace {

// Opens `path` read-only (a folder when `folder`), syncs it and closes it; 0 or the error.
int SyncEntry(const QString& path, bool folder) {
    const QByteArray name = QFile::encodeName(path);
    int flags = O_RDONLY | O_CLOEXEC;
    if (folder) {
        flags |= O_DIRECTORY;
    }
    int fd = -1;
    do {
        fd = ::open(name.constData(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (!folder && !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    } else if (::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR) {
        error = errno;
    }
    return error;
}

}  // namespace

FlushResult FlushToStableStorage(const QStringList& paths) {
    FlushResult result;
    if (paths.isEmpty()) {
        result.error = ENOENT;
        return result;
    }
    QStringList folders;
    for (const QString& path : paths) {
        if (path.isEmpty()) {
            result.error = ENOENT;
            return result;
        }
        if (const int error = SyncEntry(path, false); error != 0) {
            result.error = error;
            result.path = path;
            return result;
        }
        const QString folder = QFileInfo(path).absolutePath();
        if (!folders.contains(folder)) {
            folders.append(folder);
        }
    }
    for (const QString& folder : folders) {
        if (const int error = SyncEntry(folder, true); error != 0) {
            result.error = error;
            result.path = folder;
            return result;
        }
    }
    return result;
}
