// lrcbuild: builds a language file from its readable source.
//
//   lrcbuild <source.txt> <output.lrc>
//
// Exit status 0 when the file was written, 1 on a fault in the source, 2 on a usage or file
// error. A failed run leaves no output file behind (an existing one is kept as it was).

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "tools/lrcbuild/lrcsource.h"

namespace {

bool readWhole(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        return false;
    }
    text = content.str();
    return true;
}

// Writes beside the target and renames, so a reader never sees half a file.
bool writeWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: lrcbuild <source.txt> <output.lrc>\n";
        return 2;
    }
    const std::string sourcePath = argv[1];
    const std::string outputPath = argv[2];
    std::string text;
    if (!readWhole(sourcePath, text)) {
        std::cerr << "lrcbuild: cannot read " << sourcePath << "\n";
        return 2;
    }
    const LrcParseResult parsed = ParseLrcSource(text);
    if (!parsed.ok) {
        std::cerr << sourcePath << ":" << parsed.line << ": " << parsed.message << "\n";
        return 1;
    }
    const LrcBuildResult built = BuildLanguageFile(parsed.source);
    if (!built.ok) {
        std::cerr << sourcePath << ": " << built.message << "\n";
        return 1;
    }
    if (!writeWhole(outputPath, built.bytes)) {
        std::cerr << "lrcbuild: cannot write " << outputPath << "\n";
        return 2;
    }
    return 0;
}
