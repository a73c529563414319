#pragma once

#include <QString>

namespace platform {

// Fills a message format that takes one text argument, as the message texts are written: the
// first "%s" (also written "%ls", "%S" or "%1") is replaced by `argument`; "%%" stands for "%".
// Other "%" sequences are kept as they are, and a format without placeholder comes back
// unchanged. Never reads past the format, whatever it holds.
QString formatWithText(const QString& format, const QString& argument);

}  // namespace platform
