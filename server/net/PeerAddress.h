#pragma once

#include <QHostAddress>

// The address at the other end of an accepted socket, an IPv4 peer of a dual-stack socket
// shown as IPv4; a null address when the socket has none.
QHostAddress PeerAddressOf(qintptr descriptor);
