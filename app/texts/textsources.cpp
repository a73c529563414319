#include "app/texts/textsources.h"

#include <memory>
#include <mutex>

#include "app/resources/velnorr.h"
#include "app/texts/languagefile.h"
#include "app/texts/owntexts.h"
#include "platform/dynlib.h"
#include "platform/modulefile.h"
#include "platform/textconv.h"

namespace {

// A module path longer than this (with room for the extension) opens nothing.
constexpr std::size_t kMaxModulePath = 65535;

struct TextSources {
    std::mutex lock;
    std::unique_ptr<LanguageFile> languageFile;
    platform::LibraryModule resourceModule = nullptr;
    VelnorrLoadStringFunction loadString = nullptr;
};

TextSources& sources() {
    static TextSources instance;
    return instance;
}

// Copies at most 512 units of `text` and a terminator into `buffer`.
void copyCut(std::u16string_view text, TextBuffer& buffer) {
    const std::size_t length = std::min(text.size(), kTextBufferSize - 1);
    text.copy(buffer.data(), length);
    buffer[length] = 0;
}

void releaseLocked(TextSources& state) {
    state.languageFile.reset();
    state.loadString = nullptr;
    if (state.resourceModule != nullptr) {
        platform::freeLibrary(state.resourceModule);
        state.resourceModule = nullptr;
    }
}

}  // namespace

TextSourceNames DeriveTextSourceNames(std::u16string_view modulePath) {
    const std::size_t nameStart = [&] {
        const std::size_t slash = modulePath.rfind(u'/');
        return slash == std::u16string_view::npos ? 0 : slash + 1;
    }();
    // Room for the longer extension and its terminator, as the path buffer must have.
    if (modulePath.size() <= nameStart || modulePath.size() + 4 > kMaxModulePath) {
        return {};
    }
    std::u16string_view stem = modulePath;
    const std::size_t dot = modulePath.rfind(u'.');
    if (dot != std::u16string_view::npos && dot >= nameStart) {
        stem = modulePath.substr(0, dot);
    }
    TextSourceNames names;
    names.languageFile = std::u16string(stem) + u".lrc";
    names.resourceLibrary = std::u16string(stem) + u"r.so";
    return names;
}

void OpenTextSources(std::u16string_view modulePath) {
    TextSources& state = sources();
    const std::lock_guard<std::mutex> guard(state.lock);
    releaseLocked(state);

    const TextSourceNames names = DeriveTextSourceNames(modulePath);
    if (names.languageFile.empty()) {
        return;
    }
    LanguageFileLoad load = LanguageFile::open(platform::toUtf8(names.languageFile));
    if (load.status == LanguageFileStatus::kOk) {
        state.languageFile = std::move(load.file);
    }

    const platform::LibraryLoad library = platform::loadLibrary(names.resourceLibrary);
    if (library.module != nullptr) {
        const platform::SymbolLookup symbol =
            platform::findSymbol(library.module, kVelnorrLoadStringName);
        if (symbol.address != nullptr) {
            state.resourceModule = library.module;
            state.loadString = reinterpret_cast<VelnorrLoadStringFunction>(symbol.address);
        } else {
            // A library that cannot answer lookups is as good as none.
            platform::freeLibrary(library.module);
        }
    }
}

void OpenTextSources() {
    OpenTextSources(platform::toUtf16(platform::moduleFilePath()));
}

void ReleaseTextSources() {
    TextSources& state = sources();
    const std::lock_guard<std::mutex> guard(state.lock);
    releaseLocked(state);
}

bool HasLanguageFile() {
    TextSources& state = sources();
    const std::lock_guard<std::mutex> guard(state.lock);
    return state.languageFile != nullptr;
}

bool HasResourceLibrary() {
    TextSources& state = sources();
    const std::lock_guard<std::mutex> guard(state.lock);
    return state.loadString != nullptr;
}

bool LoadLocalizedText(uint32_t id, TextBuffer& buffer) {
    buffer[0] = 0;
    TextSources& state = sources();
    const std::lock_guard<std::mutex> guard(state.lock);
    if (state.languageFile) {
        const std::optional<std::u16string> text = state.languageFile->findText(id);
        if (text && !text->empty()) {
            copyCut(*text, buffer);
            return true;
        }
    }
    if (state.loadString != nullptr) {
        if (state.loadString(id, buffer.data(), static_cast<int>(buffer.size())) > 0) {
            buffer[kTextBufferSize - 1] = 0;
            return true;
        }
        buffer[0] = 0;
    }
    if (const char16_t* own = FindOwnText(id)) {
        copyCut(own, buffer);
        return buffer[0] != 0;
    }
    return false;
}

QString LoadLocalizedText(uint32_t id) {
    TextBuffer buffer;
    LoadLocalizedText(id, buffer);
    return QString::fromUtf16(buffer.data());
}

QString LanguageFileVersion() {
    TextSources& state = sources();
    const std::lock_guard<std::mutex> guard(state.lock);
    if (!state.languageFile) {
        return QStringLiteral("-");
    }
    return platform::toQString(state.languageFile->versionText());
}
