#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/texts/fontcharset.h"

// The language file: translated texts by id, read whole into memory and checked before use.
// Its layout is described in docs/texts.md. Every check treats the file as untrusted input:
// sizes are bounded and no read leaves the buffer.

inline constexpr uint32_t kLanguageHeaderSize = 152;
inline constexpr uint32_t kStringSectionType = 1;
// Largest language file accepted; real ones are a few hundred kilobytes.
inline constexpr uint64_t kMaxLanguageFileSize = 64u * 1024 * 1024;

// Why a language file was refused (or kOk). Any status but kOk means the file is ignored.
enum class LanguageFileStatus {
    kOk,
    kNotFound,                  // no such file
    kNotRegularFile,            // a folder, device or pipe
    kUnreadable,                // open or read failed, or the file changed while read
    kTooSmall,                  // shorter than the header
    kTooLarge,                  // longer than kMaxLanguageFileSize
    kBadMagic,                  // not "QLTN"
    kBadSectionOffset,          // first-section offset is not 152
    kSizeMismatch,              // file size is not 152 plus the sections size
    kNoSectionMask,             // sections present but the mask is 0
    kBadSection,                // a section header is cut short, too small, empty or out of bounds
    kBadSectionType,            // a section type without exactly one bit set
    kCharacterSetNotInstalled,  // no installed font supports the texts' character set
    kBadStringSection,  // string section header: field at 20 not 1, no entries, header too small
    kSectionsMismatch,  // sections walked do not match the mask, or bytes are left over
    kNoStringSection,   // no section of type 1
    kBadEntries,        // entries do not fill the string data exactly, or an entry is malformed
};

class LanguageFile;

// The outcome of opening or parsing: the file when status is kOk, otherwise why not and the
// byte offset where the fault was found.
struct LanguageFileLoad {
    LanguageFileStatus status = LanguageFileStatus::kNotFound;
    uint64_t offset = 0;
    std::unique_ptr<LanguageFile> file;
};

class LanguageFile {
  public:
    using CharacterSetCheck = std::function<bool(uint32_t characterSet)>;

    // Reads the file at `path` (UTF-8) whole and checks it. Only an existing regular file is
    // opened, for reading only; it is closed before returning. Nothing is left behind when a
    // check fails. `installed` decides whether a character set is usable.
    static LanguageFileLoad open(const std::string& path,
                                 const CharacterSetCheck& installed = IsCharacterSetInstalled);

    // Checks `bytes` as the whole content of a language file and, when they pass, keeps them.
    static LanguageFileLoad parse(std::vector<uint8_t> bytes,
                                  const CharacterSetCheck& installed = IsCharacterSetInstalled);

    // The built text of the first entry with `id` (see BuildEntryText), which may be empty.
    // nullopt when no entry has the id: the file is then marked incomplete (a file without
    // sections is never marked). Safe to call from any thread.
    std::optional<std::u16string> findText(uint32_t id);

    // The four version bytes of the header.
    std::array<uint8_t, 4> version() const { return version_; }
    // Set once a lookup missed; never cleared.
    bool isIncomplete() const { return incomplete_.load(); }
    // "a.b.c.d" in decimal, followed by " !" when incomplete (at most 17 characters).
    std::u16string versionText() const;

  private:
    LanguageFile() = default;

    std::vector<uint8_t> bytes_;
    std::array<uint8_t, 4> version_{};
    std::size_t entriesOffset_ = 0;  // start of the string section's data
    uint32_t entryCount_ = 0;        // 0 for a file without sections
    std::atomic<bool> incomplete_{false};
};
