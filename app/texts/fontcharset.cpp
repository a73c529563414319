#include "app/texts/fontcharset.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <optional>

namespace {

// The writing system whose fonts cover a font character set; nullopt for an unknown number.
// QFontDatabase::Any stands for "any font at all".
std::optional<QFontDatabase::WritingSystem> writingSystemOf(uint32_t characterSet) {
    switch (characterSet) {
        case 0:    // Western
        case 77:   // Macintosh
        case 162:  // Turkish
        case 186:  // Baltic
        case 238:  // Central European
        case 255:  // OEM
            return QFontDatabase::Latin;
        case 1:  // default: every font
            return QFontDatabase::Any;
        case 2:
            return QFontDatabase::Symbol;
        case 128:
            return QFontDatabase::Japanese;
        case 129:  // Hangul
        case 130:  // Johab
            return QFontDatabase::Korean;
        case 134:
            return QFontDatabase::SimplifiedChinese;
        case 136:
            return QFontDatabase::TraditionalChinese;
        case 161:
            return QFontDatabase::Greek;
        case 163:
            return QFontDatabase::Vietnamese;
        case 177:
            return QFontDatabase::Hebrew;
        case 178:
            return QFontDatabase::Arabic;
        case 204:
            return QFontDatabase::Cyrillic;
        case 222:
            return QFontDatabase::Thai;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool IsCharacterSetInstalled(uint32_t characterSet) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return true;
    }
    const std::optional<QFontDatabase::WritingSystem> system = writingSystemOf(characterSet);
    if (!system) {
        return false;
    }
    return !QFontDatabase::families(*system).isEmpty();
}
