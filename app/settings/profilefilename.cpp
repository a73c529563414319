#include "app/settings/profilefilename.h"

#include <mutex>

#include "app/folders/modulepath.h"
#include "platform/messagebox.h"
#include "platform/textconv.h"
#include "platform/textformat.h"

namespace {

struct ProfileName {
    std::mutex lock;
    QString path;
};

ProfileName& profileName() {
    static ProfileName instance;
    return instance;
}

}  // namespace

ProfileNameResult ProfileFileNameFor(const QString& modulePath) {
    ProfileNameResult result;
    result.iniName = QStringLiteral("ini");
    const PathResult folder = FolderOfPath(platform::fromQString(modulePath));
    const qsizetype slash = modulePath.lastIndexOf(u'/');
    if (!folder.ok() || slash < 0) {
        return result;
    }
    QString fileName = modulePath.mid(slash + 1);
    if (fileName.isEmpty()) {
        return result;
    }
    const qsizetype dot = fileName.lastIndexOf(u'.');
    fileName = dot < 0 ? fileName + u'.' : fileName.left(dot + 1);
    result.iniName = fileName + QStringLiteral("ini");
    QString base = platform::toQString(folder.path);
    if (!base.endsWith(u'/')) {
        base += u'/';
    }
    result.path = base + QStringLiteral("setting/") + result.iniName;
    result.status = platform::kOk;
    return result;
}

HRESULT SetProfileFileName(const QString& caption, const QString& format) {
    ReleaseProfileFileName();
    const PathResult module = ModulePath();
    ProfileNameResult name;
    name.iniName = QStringLiteral("ini");
    if (module.ok()) {
        name = ProfileFileNameFor(platform::toQString(module.path));
    }
    if (name.status < 0) {
        ShowMessageBox(nullptr, platform::formatWithText(format, name.iniName), caption,
                       MB_OK | MB_ICONERROR);
        return platform::kFail;
    }
    UseProfileFileName(name.path);
    return platform::kOk;
}

QString ProfileFileName() {
    std::lock_guard guard(profileName().lock);
    return profileName().path;
}

void ReleaseProfileFileName() {
    UseProfileFileName(QString());
}

void UseProfileFileName(const QString& path) {
    std::lock_guard guard(profileName().lock);
    profileName().path = path;
}
