#include "app/binding/libraryfiles.h"

#include "app/folders/modulepath.h"
#include "platform/dynlib.h"

namespace {

std::u16string LowerCase(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return lower;
}

}  // namespace

std::vector<std::u16string> FindLibraryFile(std::u16string_view stem) {
    std::vector<std::u16string> found;
    const PathResult folder = ProgramFolder();
    if (!folder.ok()) {
        return found;
    }
    for (std::u16string& name : platform::listFolder(folder.path, kLibraryPattern)) {
        if (LowerCase(name).find(stem) != std::u16string::npos) {
            found.push_back(std::move(name));
        }
    }
    return found;
}

std::u16string PrefixedLibraryName(std::u16string_view stem) {
    std::u16string name(kLibraryPrefix);
    name += stem;
    return name;
}
