#pragma once

#include <string>
#include <string_view>
#include <vector>

// How the program's run-time libraries are named and found in the program folder.

// The prefix of every library's second name: "vzq" followed by the stem ("vzqtarvin.so").
inline constexpr std::u16string_view kLibraryPrefix = u"vzq";
// The pattern that lists the libraries of the program folder.
inline constexpr std::u16string_view kLibraryPattern = u"*.so";

// The file stems of the loaders.
inline constexpr std::u16string_view kHttpXmlStem = u"tarvin.so";
inline constexpr std::u16string_view kSearchAgentStem = u"sedrin.so";
inline constexpr std::u16string_view kOstrelStem = u"ostrel.so";
inline constexpr std::u16string_view kQuilmarStem = u"quilmar.so";
inline constexpr std::u16string_view kCodecStem = u"codec.so";
// The still-image library is always loaded by this one name.
inline constexpr std::u16string_view kStillImageLibrary = u"sti.so";

// The names (without folder, as listed) of the program folder's files matching "*.so" whose
// lower-cased name contains `stem` (lower case) anywhere, in the order the folder listing
// gives them. Empty when there is none or the program folder cannot be read. The name is kept
// as listed, so that a file named in capitals can still be opened by it.
std::vector<std::u16string> FindLibraryFile(std::u16string_view stem);

// The prefixed second name of `stem`: "vzq" + stem.
std::u16string PrefixedLibraryName(std::u16string_view stem);
