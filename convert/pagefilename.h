#pragma once

#include <QString>

#include <cstdint>

// The path of a downloaded page file: "<folder>/%08X_%d.jpg" for a colour document,
// "<folder>/%08X_%d.tif" for a black-and-white one (document id as eight upper-case
// hexadecimal digits, page number in decimal).
inline QString PageFilePath(const QString& folder, std::uint32_t documentId, int page,
                            bool monochrome) {
    return folder + u'/' + QStringLiteral("%1").arg(documentId, 8, 16, QChar(u'0')).toUpper() +
           u'_' + QString::number(page) +
           (monochrome ? QStringLiteral(".tif") : QStringLiteral(".jpg"));
}
