#include "app/folders/workfolders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "app/folders/modulepath.h"
#include "platform/textconv.h"

namespace {

struct Folders {
    std::mutex lock;
    std::u16string save;
    std::u16string preview;
    std::u16string setting;
};

Folders& folders() {
    static Folders instance;
    return instance;
}

bool isFolder(const std::u16string& path) {
    struct stat info {};
    return ::stat(platform::toUtf8(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void createIfMissing(const std::u16string& path) {
    if (!isFolder(path)) {
        ::mkdir(platform::toUtf8(path).c_str(), 0777);  // narrowed by the user's umask
    }
}

// Empties the folder open as `dir` (closed here). Entries are addressed relative to the open
// folder, so a folder renamed or replaced by a link meanwhile cannot redirect the deletions.
void clearOpenFolder(DIR* dir) {
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        // lstat-like check relative to the open folder: a link is an entry, not a folder.
        struct stat info {};
        if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            const int childFd =
                ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (childFd < 0) {
                continue;
            }
            DIR* child = ::fdopendir(childFd);
            if (child == nullptr) {
                ::close(childFd);
                continue;
            }
            clearOpenFolder(child);
        } else {
            ::unlinkat(dirFd, name.c_str(), 0);
        }
    }
    ::closedir(dir);
}

}  // namespace

void CreateWorkFolders() {
    const PathResult program = ProgramFolder();
    if (!program.ok()) {
        return;
    }
    const std::u16string base = program.path.back() == u'/' ? program.path : program.path + u"/";
    const std::u16string work = base + u"work";
    const std::u16string save = work + u"/save";
    const std::u16string preview = work + u"/preview";
    const std::u16string setting = base + u"setting";
    {
        Folders& f = folders();
        std::lock_guard guard(f.lock);
        f.save = save;
        f.preview = preview;
        f.setting = setting;
    }
    for (const std::u16string* path : {&work, &save, &preview, &setting}) {
        createIfMissing(*path);
    }
}

std::u16string SaveFolder() {
    std::lock_guard guard(folders().lock);
    return folders().save;
}

std::u16string PreviewFolder() {
    std::lock_guard guard(folders().lock);
    return folders().preview;
}

std::u16string SettingFolder() {
    std::lock_guard guard(folders().lock);
    return folders().setting;
}

bool ClearFolder(const std::u16string& path) {
    const std::string path8 = platform::toUtf8(path);
    // The folder named by the caller may itself be reached through a link (as a folder given
    // by the user would be); below it, links are never followed.
    if (path8.empty()) {
        return false;
    }
    const int fd = ::open(path8.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return false;
    }
    clearOpenFolder(dir);
    return true;
}
