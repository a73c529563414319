#include "platform/hostresolve.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

QString ResolveHostToIPv4(const QString& host) {
    const QByteArray name = host.toUtf8();
    if (name.isEmpty()) {
        return QString();
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.constData(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return QString();
    }
    QString dotted;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
            char text[INET_ADDRSTRLEN] = {};
            if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
                dotted = QString::fromLatin1(text);
                break;
            }
        }
    }
    freeaddrinfo(found);
    return dotted;
}
