#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A version block as this platform carries it: the string values of the version resource
// under their full paths ("\StringFileInfo\000004B0\FileVersion") and the translation list
// ("\VarFileInfo\Translation", pairs of language and code page).
struct VersionBlock {
    std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
    std::map<std::u16string, std::u16string> values;
};

// The program's version resource: one string table under language 0x0000 and code page
// 0x04B0 holding "FileVersion" and "LegalCopyright" (both compiled in from the build), and a
// translation list with that one pair.
VersionBlock ProgramVersionBlock();

// Reads the version values of the running program.
//
// The object owns a copy of the block (or none) for its lifetime; language and code page are
// the first pair of the translation list, both 0 when the list is missing or empty.
class CVersionInformation {
  public:
    // Takes the program's own block.
    CVersionInformation();
    // Takes `block`, or no block at all; used for other modules and by tests.
    explicit CVersionInformation(std::optional<VersionBlock> block);
    virtual ~CVersionInformation();

    // Writes `pathFormat` with the language and the code page in place of its two "%04X"
    // placeholders (four upper-case hexadecimal digits each) and returns the value stored under
    // that path. Returns nothing without a block, without a format, when the path would exceed
    // 259 characters, or when the value is missing or empty. Leaves the object unchanged.
    std::optional<std::u16string> Query(const char16_t* pathFormat) const;

    std::uint16_t language() const { return language_; }
    std::uint16_t codePage() const { return codePage_; }
    bool hasBlock() const { return block_.has_value(); }

  private:
    std::optional<VersionBlock> block_;
    std::uint16_t language_ = 0;
    std::uint16_t codePage_ = 0;
};

// The two query paths the About box uses.
inline constexpr const char16_t* kFileVersionPath = u"\\StringFileInfo\\%04X%04X\\FileVersion";
inline constexpr const char16_t* kLegalCopyrightPath =
    u"\\StringFileInfo\\%04X%04X\\LegalCopyright";
