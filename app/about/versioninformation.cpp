#include "app/about/versioninformation.h"

#include <array>

#ifndef VELNOR_FILE_VERSION
#error "VELNOR_FILE_VERSION must be defined by the build"
#endif
#ifndef VELNOR_LEGAL_NOTICE
#error "VELNOR_LEGAL_NOTICE must be defined by the build"
#endif

namespace {

// Path buffers of the version lookup hold 260 characters including the terminator.
constexpr std::size_t kMaxPathLength = 259;

std::u16string Widen(const char* text) {
    std::u16string result;
    for (const char* c = text; *c; ++c) {
        result.push_back(static_cast<unsigned char>(*c));
    }
    return result;
}

std::u16string Hex4(std::uint16_t value) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text(4, u'0');
    for (int i = 3; i >= 0; --i) {
        text[i] = kDigits[value & 0xF];
        value = static_cast<std::uint16_t>(value >> 4);
    }
    return text;
}

}  // namespace

VersionBlock ProgramVersionBlock() {
    VersionBlock block;
    block.translations.emplace_back(0x0000, 0x04B0);
    const std::u16string table = u"\\StringFileInfo\\000004B0\\";
    block.values[table + u"ProductName"] = u"Velnor";
    block.values[table + u"FileVersion"] = Widen(VELNOR_FILE_VERSION);
    block.values[table + u"ProductVersion"] = Widen(VELNOR_FILE_VERSION);
    block.values[table + u"LegalCopyright"] = Widen(VELNOR_LEGAL_NOTICE);
    return block;
}

CVersionInformation::CVersionInformation() : CVersionInformation(ProgramVersionBlock()) {}

CVersionInformation::CVersionInformation(std::optional<VersionBlock> block)
    : block_(std::move(block)) {
    if (block_ && !block_->translations.empty()) {
        language_ = block_->translations.front().first;
        codePage_ = block_->translations.front().second;
    }
}

CVersionInformation::~CVersionInformation() = default;

std::optional<std::u16string> CVersionInformation::Query(const char16_t* pathFormat) const {
    if (!block_ || !pathFormat) {
        return std::nullopt;
    }
    // Each "%04X" takes the next of language and code page, in that order.
    const std::array<std::uint16_t, 2> arguments{language_, codePage_};
    std::size_t used = 0;
    std::u16string path;
    const std::u16string_view format(pathFormat);
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.substr(i, 4) == u"%04X" && used < arguments.size()) {
            path += Hex4(arguments[used++]);
            i += 3;
        } else {
            path.push_back(format[i]);
        }
        if (path.size() > kMaxPathLength) {
            return std::nullopt;
        }
    }
    const auto found = block_->values.find(path);
    if (found == block_->values.end() || found->second.empty()) {
        return std::nullopt;
    }
    return found->second;
}
