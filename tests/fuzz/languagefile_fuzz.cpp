// Fuzz target: the language file reader on arbitrary file contents. A file that is accepted must
// answer every lookup from inside its own bytes; the version text stays within its bound.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/texts/languagefile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    // Every character set counts as installed, so that the string entries are reached.
    LanguageFileLoad load =
        LanguageFile::parse(std::move(bytes), [](std::uint32_t) { return true; });
    if (load.status != LanguageFileStatus::kOk) {
        if (load.file || load.offset > size) {
            std::abort();  // a refusal keeps nothing and points inside the input
        }
        return 0;
    }
    if (!load.file) {
        std::abort();
    }
    LanguageFile& file = *load.file;
    // Ids taken from the input reach entries that exist; an id no entry has walks all of them.
    const std::uint32_t ids[] = {0u, 20001u, 0xFFFFFFFFu};
    for (std::uint32_t id : ids) {
        file.findText(id);
    }
    for (std::size_t at = 152; at + 4 <= size && at < 152 + 64 * 4; at += 4) {
        const std::uint32_t id = data[at] | (std::uint32_t{data[at + 1]} << 8) |
                                 (std::uint32_t{data[at + 2]} << 16) |
                                 (std::uint32_t{data[at + 3]} << 24);
        file.findText(id);
    }
    if (file.versionText().size() > 17) {
        std::abort();
    }
    return 0;
}
