#pragma once

#include <QString>

// Whether `text` is an IPv4 address in dotted form, so it is used as it stands without a name
// lookup. The text is split at "." with empty pieces skipped; the first four pieces must each be
// an unsigned decimal number (leading white space allowed) of at most 255, and there must be no
// fifth piece.
bool IsDottedQuad(const QString& text);
