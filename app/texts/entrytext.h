#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How a language file entry's stored text becomes the text shown: access key, punctuation and,
// for menu items, the accelerator tail.

// Entry kind of a menu-item text whose accelerator part follows a TAB character.
inline constexpr uint16_t kMenuItemKind = 5;

// Entry flags (low byte of the stored flags).
inline constexpr uint16_t kEntryHasAccessKey = 0x01;
inline constexpr uint16_t kEntryAppendColon = 0x02;
inline constexpr uint16_t kEntryAppendEllipsis = 0x04;
inline constexpr uint16_t kEntryAppendBlank = 0x08;
inline constexpr uint16_t kEntryAccessKeySuffix = 0x10;

// Builds the shown text from an entry's `text` (without its terminating zero), `kind`, `flags`
// and `accessKey` character:
// - for kind 5 the label is the text before the first TAB and the tail the rest (TAB included);
//   otherwise the label is the whole text and there is no tail;
// - a label that already holds "&" is kept as it is; otherwise, with flag 0x01 and a non-zero
//   key, "&" marks the first occurrence of the key's upper-case, else of its lower-case form,
//   else "(&K)" (upper-case key) is appended; with flag 0x10 "(&K)" is always appended;
// - then a blank (0x08), "..." (0x04) and ":" (0x02) are appended in that order, then the tail.
// The result is at most nine characters longer than `text`. Throws std::bad_alloc only.
std::u16string BuildEntryText(std::u16string_view text, uint16_t kind, uint16_t flags,
                              char16_t accessKey);
