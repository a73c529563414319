#include "device/selectmfp/dottedquad.h"

#include <QStringList>

namespace {

// A piece converts completely as an unsigned decimal number of at most 255; leading white
// space is allowed, anything after the digits is not.
bool IsAddressPart(const QString& piece) {
    qsizetype at = 0;
    while (at < piece.size() && piece.at(at).isSpace()) {
        ++at;
    }
    if (at < piece.size() && piece.at(at) == u'+') {
        ++at;
    }
    if (at == piece.size()) {
        return false;
    }
    unsigned value = 0;
    for (; at < piece.size(); ++at) {
        const QChar c = piece.at(at);
        if (c < u'0' || c > u'9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c.unicode() - u'0');
        if (value > 255) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsDottedQuad(const QString& text) {
    const QStringList pieces = text.split(u'.', Qt::SkipEmptyParts);
    if (pieces.size() != 4) {
        return false;
    }
    for (const QString& piece : pieces) {
        if (!IsAddressPart(piece)) {
            return false;
        }
    }
    return true;
}
