#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The readable source of a language file, as translators write it (UTF-8, one item a line):
//
//   # a comment
//   version 1.0.2.15
//   charset 0
//   21005 "Failed to save the file."
//   30001 key=s flags=0x01 "Settings"
//   40001 kind=5 key=o flags=0x05 "Open\tCtrl+O"
//
// `version` and `charset` are optional (1.0.0.0 and 0). Each entry line is a text id, optional
// attributes kind=, flags= (decimal or 0x hex) and key= (one character), then the text in double
// quotes with the escapes \t \n \r \\ \" and \uXXXX. docs/texts.md describes the format.

struct LrcEntry {
    uint32_t id = 0;
    uint16_t kind = 0;
    uint16_t flags = 0;
    char16_t accessKey = 0;
    std::u16string text;
};

struct LrcSource {
    std::array<uint8_t, 4> version{1, 0, 0, 0};
    uint32_t characterSet = 0;
    std::vector<LrcEntry> entries;
};

// The outcome of reading a source: `ok`, or the 1-based line and what is wrong with it.
struct LrcParseResult {
    bool ok = false;
    int line = 0;
    std::string message;
    LrcSource source;
};

// Reads a source text. Never throws for bad input; reports the first fault.
LrcParseResult ParseLrcSource(std::string_view text);

// The outcome of building: the language file's bytes, or why it cannot be built.
struct LrcBuildResult {
    bool ok = false;
    std::string message;
    std::vector<uint8_t> bytes;
};

// Builds the language file of `source`: the 152-byte header and one string section holding the
// entries in source order. Fails when there are no entries or a text does not fit an entry
// (more than 32766 characters).
LrcBuildResult BuildLanguageFile(const LrcSource& source);
