#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The sources of every shown text, asked in this order: the language file beside the program
// ("<program>.lrc"), the resource library beside the program ("<program>r.so", answering
// VelnorrLoadString), and the program's own string table. The sources are process-wide: opened
// once by start-up, released by the exit routine; lookups may come from any thread.

// A lookup fills a buffer of 513 UTF-16 units: a text has at most 512 characters and is cut
// there, followed by a zero character.
inline constexpr std::size_t kTextBufferSize = 513;
using TextBuffer = std::array<char16_t, kTextBufferSize>;

// The file names of the two optional sources, derived from the program's module path: the
// extension of the file name (never of a folder) is replaced; a file name without one is taken
// as ending in ".". "/opt/v/Velnor.exe" gives "/opt/v/Velnor.lrc" and "/opt/v/Velnorr.so";
// "/opt/v/Velnor" gives the same. Both are empty when the path is empty, ends in "/", or is
// longer than 65535 characters with the extension.
struct TextSourceNames {
    std::u16string languageFile;
    std::u16string resourceLibrary;
};
TextSourceNames DeriveTextSourceNames(std::u16string_view modulePath);

// Opens the text sources of the program at `modulePath`: first releases sources opened before,
// then reads and checks the language file and loads the resource library by its full path.
// Either may end up absent (missing, unreadable, malformed or without the lookup export) and
// is then ignored without a message. Nothing is reported; nothing else is left behind.
void OpenTextSources(std::u16string_view modulePath);

// The same for the running program's own file.
void OpenTextSources();

// Frees the language file and unloads the resource library. Harmless when nothing is open or
// when called twice. Lookups afterwards answer from the own string table only.
void ReleaseTextSources();

// Whether a language file or resource library is open (for diagnostics and tests).
bool HasLanguageFile();
bool HasResourceLibrary();

// Fills `buffer` with the text of `id` from the first source that has a non-empty one (an empty
// text in the language file falls through to the next source), cut to 512 characters and
// zero-terminated; an empty string when no source has it. Returns true when a source had it.
// A language file lacking the id is marked incomplete.
bool LoadLocalizedText(uint32_t id, TextBuffer& buffer);

// The same lookup as a QString: the text, or an empty string when no source has it.
QString LoadLocalizedText(uint32_t id);

// The language file's version as shown in the About box: "-" when no language file is open,
// otherwise "a.b.c.d" followed by " !" when a lookup has missed in it. At most 17 characters.
QString LanguageFileVersion();
