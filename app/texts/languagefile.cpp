#include "app/texts/languagefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <new>

#include "app/texts/entrytext.h"

namespace {

constexpr uint8_t kMagic[4] = {'Q', 'L', 'T', 'N'};
constexpr uint32_t kSectionHeaderMinimum = 16;
constexpr uint32_t kStringSectionHeaderMinimum = 28;
constexpr uint32_t kEntryHeaderSize = 12;

uint16_t readU16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

uint32_t readU32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
           (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

LanguageFileLoad refuse(LanguageFileStatus status, uint64_t offset) {
    LanguageFileLoad load;
    load.status = status;
    load.offset = offset;
    return load;
}

// Closes a descriptor when leaving scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

LanguageFileLoad LanguageFile::open(const std::string& path, const CharacterSetCheck& installed) {
    // Opening without blocking keeps a named pipe from stalling start-up; it is refused below.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        return refuse(errno == ENOENT || errno == ENOTDIR ? LanguageFileStatus::kNotFound
                                                          : LanguageFileStatus::kUnreadable,
                      0);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return refuse(LanguageFileStatus::kUnreadable, 0);
    }
    if (!S_ISREG(info.st_mode)) {
        return refuse(LanguageFileStatus::kNotRegularFile, 0);
    }
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    if (size < kLanguageHeaderSize) {
        return refuse(LanguageFileStatus::kTooSmall, size);
    }
    if (size > kMaxLanguageFileSize) {
        return refuse(LanguageFileStatus::kTooLarge, size);
    }

    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return refuse(LanguageFileStatus::kUnreadable, 0);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            // Shrunk or failed while being read.
            return refuse(LanguageFileStatus::kUnreadable, done);
        }
        done += static_cast<std::size_t>(got);
    }
    // A file that grew since it was measured is not the file that was checked.
    uint8_t extra = 0;
    ssize_t more = 0;
    do {
        more = ::read(fd.get(), &extra, 1);
    } while (more < 0 && errno == EINTR);
    if (more != 0) {
        return refuse(LanguageFileStatus::kUnreadable, done);
    }
    return parse(std::move(bytes), installed);
}

LanguageFileLoad LanguageFile::parse(std::vector<uint8_t> bytes,
                                     const CharacterSetCheck& installed) {
    const uint64_t fileSize = bytes.size();
    if (fileSize < kLanguageHeaderSize) {
        return refuse(LanguageFileStatus::kTooSmall, fileSize);
    }
    if (fileSize > kMaxLanguageFileSize) {
        return refuse(LanguageFileStatus::kTooLarge, fileSize);
    }
    const uint8_t* data = bytes.data();
    for (int i = 0; i < 4; ++i) {
        if (data[i] != kMagic[i]) {
            return refuse(LanguageFileStatus::kBadMagic, 0);
        }
    }
    if (readU32(data + 136) != kLanguageHeaderSize) {
        return refuse(LanguageFileStatus::kBadSectionOffset, 136);
    }
    const uint64_t sectionsSize = readU32(data + 140);
    if (fileSize != kLanguageHeaderSize + sectionsSize) {
        return refuse(LanguageFileStatus::kSizeMismatch, 140);
    }
    const uint32_t headerMask = readU32(data + 144);
    if (sectionsSize != 0 && headerMask == 0) {
        return refuse(LanguageFileStatus::kNoSectionMask, 144);
    }

    std::unique_ptr<LanguageFile> file(new (std::nothrow) LanguageFile());
    if (!file) {
        return refuse(LanguageFileStatus::kUnreadable, 0);
    }
    for (int i = 0; i < 4; ++i) {
        file->version_[static_cast<std::size_t>(i)] = data[4 + i];
    }

    if (sectionsSize != 0) {
        // Walk the sections while the mask has bits; each walked section clears its type's bit.
        uint64_t remaining = sectionsSize;
        uint32_t mask = headerMask;
        int walked = 0;
        std::size_t at = kLanguageHeaderSize;
        std::optional<std::size_t> stringSection;
        while (mask != 0) {
            if (remaining < kSectionHeaderMinimum) {
                return refuse(LanguageFileStatus::kBadSection, at);
            }
            const uint32_t type = readU32(data + at);
            const uint32_t headerSize = readU32(data + at + 4);
            const uint32_t dataSize = readU32(data + at + 8);
            const uint64_t span = uint64_t{headerSize} + dataSize;
            if (headerSize < kSectionHeaderMinimum || dataSize == 0 || span > remaining) {
                return refuse(LanguageFileStatus::kBadSection, at);
            }
            remaining -= span;
            if (std::popcount(type) != 1) {
                return refuse(LanguageFileStatus::kBadSectionType, at);
            }
            if (type == kStringSectionType) {
                if (headerSize < kStringSectionHeaderMinimum) {
                    return refuse(LanguageFileStatus::kBadStringSection, at + 4);
                }
                if (!installed(readU32(data + at + 16))) {
                    return refuse(LanguageFileStatus::kCharacterSetNotInstalled, at + 16);
                }
                if (readU32(data + at + 20) != 1 || readU32(data + at + 24) == 0) {
                    return refuse(LanguageFileStatus::kBadStringSection, at + 20);
                }
                if (!stringSection) {
                    stringSection = at;
                }
            }
            mask &= ~type;
            ++walked;
            at += static_cast<std::size_t>(span);
        }
        if (walked != std::popcount(headerMask) || remaining != 0) {
            return refuse(LanguageFileStatus::kSectionsMismatch, at);
        }
        if (!stringSection) {
            return refuse(LanguageFileStatus::kNoStringSection, kLanguageHeaderSize);
        }

        // The counted entries must fill the string data exactly.
        const std::size_t section = *stringSection;
        const uint32_t count = readU32(data + section + 24);
        std::size_t entry = section + readU32(data + section + 4);
        uint64_t dataLeft = readU32(data + section + 8);
        for (uint32_t i = 0; i < count; ++i) {
            if (dataLeft < kEntryHeaderSize) {
                return refuse(LanguageFileStatus::kBadEntries, entry);
            }
            const uint16_t extraSize = readU16(data + entry + 8);
            const uint16_t textSize = readU16(data + entry + 10);
            const uint64_t entrySize = uint64_t{kEntryHeaderSize} + extraSize + textSize;
            if (textSize == 0 || textSize % 2 != 0 || extraSize < 2 || entrySize > dataLeft) {
                return refuse(LanguageFileStatus::kBadEntries, entry);
            }
            dataLeft -= entrySize;
            entry += static_cast<std::size_t>(entrySize);
        }
        if (dataLeft != 0) {
            return refuse(LanguageFileStatus::kBadEntries, entry);
        }
        file->entriesOffset_ = section + readU32(data + section + 4);
        file->entryCount_ = count;
    }

    file->bytes_ = std::move(bytes);
    LanguageFileLoad load;
    load.status = LanguageFileStatus::kOk;
    load.file = std::move(file);
    return load;
}

std::optional<std::u16string> LanguageFile::findText(uint32_t id) {
    if (entryCount_ == 0) {
        return std::nullopt;
    }
    // The entries were checked when the file was parsed, so every field read here lies inside
    // the string data.
    const uint8_t* entry = bytes_.data() + entriesOffset_;
    for (uint32_t i = 0; i < entryCount_; ++i) {
        const uint16_t extraSize = readU16(entry + 8);
        const uint16_t textSize = readU16(entry + 10);
        if (readU32(entry) == id) {
            const uint16_t kind = readU16(entry + 4);
            const uint16_t flags = readU16(entry + 6);
            const char16_t accessKey = static_cast<char16_t>(readU16(entry + 12));
            const uint8_t* textBytes = entry + kEntryHeaderSize + extraSize;
            try {
                // The text ends at its first zero character, or with the entry.
                std::u16string text;
                for (std::size_t unit = 0; unit < textSize / 2u; ++unit) {
                    const char16_t c = static_cast<char16_t>(readU16(textBytes + 2 * unit));
                    if (c == 0) {
                        break;
                    }
                    text.push_back(c);
                }
                return BuildEntryText(text, kind, flags, accessKey);
            } catch (const std::bad_alloc&) {
                return std::nullopt;
            }
        }
        entry += kEntryHeaderSize + extraSize + textSize;
    }
    incomplete_.store(true);
    return std::nullopt;
}

std::u16string LanguageFile::versionText() const {
    std::u16string text;
    for (std::size_t i = 0; i < version_.size(); ++i) {
        if (i != 0) {
            text.push_back(u'.');
        }
        const std::string number = std::to_string(version_[i]);
        text.append(number.begin(), number.end());
    }
    if (isIncomplete()) {
        text.append(u" !");
    }
    return text;
}
