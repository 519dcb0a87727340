#include "net/PeerAddress.h"

#include <sys/socket.h>

QHostAddress PeerAddressOf(qintptr descriptor) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(static_cast<int>(descriptor), reinterpret_cast<sockaddr*>(&address), &length) !=
        0)
        return {};
    QHostAddress peer(reinterpret_cast<const sockaddr*>(&address));
    bool v4 = false;
    const quint32 plain = peer.toIPv4Address(&v4);
    return v4 ? QHostAddress(plain) : peer;
}
