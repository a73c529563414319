#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Private-profile (INI) files, with the behaviour of the classic profile functions:
// - "[section]" lines open sections, "key=value" lines follow; section and key names compare
//   without regard to ASCII case; lines starting with ";" and unknown lines are kept untouched;
// - a read looks at the first section of that name and its first key of that name; the value is
//   trimmed of blanks and of one pair of surrounding double quotes;
// - a write replaces the value of that key in place, or adds the key at the end of its section,
//   or adds the section at the end of the file; every other line stays as it was;
// - the file is created on the first write, readable and writable by its owner only (it may hold
//   a password); a written file is replaced as a whole (written beside it, then renamed), so it
//   is never left half written.
// Files are UTF-8 (a leading byte-order mark is skipped and kept). Every call reads the file
// afresh; nothing is cached.
namespace platform {

// How a profile write ended.
enum class ProfileStatus {
    ok,
    invalidArgument,  // empty path, section or key, or a line break / "]" / "=" where not allowed
    cannotRead,       // the existing file could not be read (not a file, unreadable, too large)
    cannotWrite,      // the new file could not be written or put in place
};

struct ProfileWriteResult {
    ProfileStatus status = ProfileStatus::ok;
    int error = 0;  // errno of the failed system call, 0 when none applies
    bool ok() const { return status == ProfileStatus::ok; }
};

// The value of `key` in `section` of the profile `path`, or `fallback` when the file, the
// section or the key is missing or the file cannot be read.
std::u16string readProfileString(std::u16string_view path, std::u16string_view section,
                                 std::u16string_view key, std::u16string_view fallback);

// The value of `key` as a signed decimal integer (leading blanks and a sign allowed, digits read
// up to the first non-digit, wrapping at 32 bits), `fallback` when the key is missing or its value
// is empty, 0 when the value does not start with a number.
int32_t readProfileInt(std::u16string_view path, std::u16string_view section,
                       std::u16string_view key, int32_t fallback);

// Sets `key` of `section` to `value` in the profile `path`, creating the file (mode 0600) when it
// does not exist; the folder must exist. On failure the file is left as it was.
ProfileWriteResult writeProfileString(std::u16string_view path, std::u16string_view section,
                                      std::u16string_view key, std::u16string_view value);

// writeProfileString with `value` as signed decimal text.
ProfileWriteResult writeProfileInt(std::u16string_view path, std::u16string_view section,
                                   std::u16string_view key, int32_t value);

}  // namespace platform
