#include "app/texts/entrytext.h"

#include <QChar>

namespace {

// Simple case mapping of one UTF-16 unit; a unit whose mapping leaves the basic plane is kept.
char16_t mapCase(char16_t unit, bool upper) {
    const char32_t mapped = upper ? QChar::toUpper(char32_t(unit)) : QChar::toLower(char32_t(unit));
    return mapped <= 0xFFFF ? static_cast<char16_t>(mapped) : unit;
}

}  // namespace

std::u16string BuildEntryText(std::u16string_view text, uint16_t kind, uint16_t flags,
                              char16_t accessKey) {
    std::u16string_view label = text;
    std::u16string_view tail;
    if (kind == kMenuItemKind) {
        const std::size_t tab = text.find(u'\t');
        if (tab != std::u16string_view::npos) {
            label = text.substr(0, tab);
            tail = text.substr(tab);
        }
    }

    std::u16string result;
    result.reserve(text.size() + 9);
    result.append(label);

    const uint8_t used = static_cast<uint8_t>(flags & 0xFF);
    const bool hasKey = (used & kEntryHasAccessKey) != 0 && accessKey != 0;
    if (hasKey && label.find(u'&') == std::u16string_view::npos) {
        const char16_t upper = mapCase(accessKey, true);
        const char16_t lower = mapCase(accessKey, false);
        std::size_t at = std::u16string_view::npos;
        if ((used & kEntryAccessKeySuffix) == 0) {
            at = label.find(upper);
            if (at == std::u16string_view::npos) {
                at = label.find(lower);
            }
        }
        if (at != std::u16string_view::npos) {
            result.insert(at, 1, u'&');
        } else {
            result.append(u"(&");
            result.push_back(upper);
            result.push_back(u')');
        }
    }

    if (used & kEntryAppendBlank) {
        result.push_back(u' ');
    }
    if (used & kEntryAppendEllipsis) {
        result.append(u"...");
    }
    if (used & kEntryAppendColon) {
        result.push_back(u':');
    }
    result.append(tail);
    return result;
}
