#include "app/binding/applicationlibraries.h"

#include "app/binding/osversion.h"
#include "platform/messagebox.h"
#include "platform/textconv.h"

namespace {

ApplicationLibraries* g_registered = nullptr;

// The file part of a loader's name: the text after its last "/", the whole name without one.
QString FileNameOf(const std::u16string& name) {
    const std::size_t slash = name.rfind(u'/');
    return platform::toQString(slash == std::u16string::npos
                                   ? std::u16string_view(name)
                                   : std::u16string_view(name).substr(slash + 1));
}

}  // namespace

ApplicationLibraries::ApplicationLibraries() : registered_(true) {
    g_registered = this;
}

ApplicationLibraries::ApplicationLibraries(Unregistered) {}

ApplicationLibraries::~ApplicationLibraries() {
    Free();
    if (registered_ && g_registered == this) {
        g_registered = nullptr;
    }
}

ApplicationLibraries& Libraries() {
    if (g_registered != nullptr) {
        return *g_registered;
    }
    static ApplicationLibraries empty{ApplicationLibraries::Unregistered{}};
    return empty;
}

HRESULT ApplicationLibraries::Bind(const QString& caption, const QString& format) {
    return Bind(caption, format, GetOsVersionCode().code);
}

HRESULT ApplicationLibraries::Bind(const QString& caption, const QString& format,
                                   std::uint32_t osVersionCode) {
    HRESULT result = platform::kOk;
    const CAutoLibrary* failed = nullptr;
    const auto bind = [&](auto& loader) {
        if (result >= 0) {
            result = loader.Bind();
            if (result < 0) {
                failed = &loader;
            }
        }
    };
    bind(httpXml);
    bind(searchAgent);
    bind(ostrel);
    bind(quilmar);
    bind(codec);
    if (!SkipsStillImageLibrary(osVersionCode)) {
        bind(stillImage);
    }
    if (failed != nullptr && !caption.isNull() && !format.isNull() &&
        !failed->lastTriedName().empty()) {
        ShowMessageBox(nullptr, FormatLibraryFailure(format, FileNameOf(failed->lastTriedName())),
                       caption, MB_OK | MB_ICONERROR);
    }
    return result;
}

void ApplicationLibraries::Free() {
    stillImage.Free();
    httpXml.Free();
    searchAgent.Free();
    ostrel.Free();
    quilmar.Free();
    codec.Free();
}

QString FormatLibraryFailure(const QString& format, const QString& fileName) {
    QString text;
    bool filled = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != u'%' || i + 1 >= format.size()) {
            text += format[i];
            continue;
        }
        const QChar next = format[i + 1];
        if (next == u'%') {
            text += u'%';
            ++i;
        } else if (!filled && (next == u's' || next == u'S')) {
            text += fileName;
            filled = true;
            ++i;
        } else if (!filled && next == u'l' && i + 2 < format.size() && format[i + 2] == u's') {
            text += fileName;
            filled = true;
            i += 2;
        } else {
            text += format[i];
        }
    }
    return text;
}
