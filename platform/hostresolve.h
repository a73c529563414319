#pragma once

#include <QString>

// Resolves a host name to its first IPv4 address, rendered as dotted text ("192.0.2.7").
//
// `host` is the name as the user typed it; it is passed to the system resolver as UTF-8.
// Returns the address, or an empty text when the name does not resolve to an IPv4 address.
// Blocks the calling thread for as long as the system resolver takes.
QString ResolveHostToIPv4(const QString& host);
