#include "net/TlsSetup.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>

#include <stdexcept>

namespace {

[[noreturn]] void Fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

QByteArray ReadFile(const QString& path, const char* what) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QString("cannot read the TLS %1 %2: %3").arg(what, path, file.errorString()));
    return file.readAll();
}

} // namespace

QSslConfiguration ServerTlsConfiguration(const QString& certificateFile, const QString& keyFile) {
    if (!QSslSocket::supportsSsl())
        Fail("TLS is not available: Qt found no TLS library (" +
             QSslSocket::sslLibraryBuildVersionString() + ")");
    const QList<QSslCertificate> chain =
        QSslCertificate::fromData(ReadFile(certificateFile, "certificate"), QSsl::Pem);
    if (chain.isEmpty() || chain.front().isNull())
        Fail("the TLS certificate " + certificateFile + " holds no PEM certificate");
    const QByteArray keyText = ReadFile(keyFile, "key");
    QSslKey key;
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa})
        if (key = QSslKey(keyText, algorithm, QSsl::Pem, QSsl::PrivateKey); !key.isNull())
            break;
    if (key.isNull())
        Fail("the TLS key " + keyFile + " holds no unencrypted PEM private key");
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}
