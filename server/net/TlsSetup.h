#pragma once

#include <QSslConfiguration>
#include <QString>

// The server side of TLS from a certificate file (PEM, the server's certificate first,
// then any intermediate ones) and its private key (PEM, RSA or EC, unencrypted): TLS 1.2
// or later, clients not asked for certificates. Throws std::runtime_error saying which
// file is wrong and how.
QSslConfiguration ServerTlsConfiguration(const QString& certificateFile, const QString& keyFile);
