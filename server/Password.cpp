#include "Password.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace password {

namespace {

constexpr char kScheme[] = "pbkdf2-sha256";
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
constexpr int kMaxIterations = 10'000'000;

QByteArray Derive(const std::string& password, const QByteArray& salt, int iterations) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256,
                                              QByteArray::fromStdString(password), salt, iterations,
                                              kHashBytes);
}

// Compares in time that does not depend on where the texts first differ.
bool SameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

std::string Hash(const std::string& password, int iterations) {
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), kSaltBytes / 4);
    return std::string(kScheme) + "$" + std::to_string(iterations) + "$" +
           salt.toBase64().toStdString() + "$" +
           Derive(password, salt, iterations).toBase64().toStdString();
}

bool Verify(const std::string& password, const std::string& stored) {
    const QList<QByteArray> parts = QByteArray::fromStdString(stored).split('$');
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1 || iterations > kMaxIterations)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2]);
    const QByteArray expected = QByteArray::fromBase64(parts[3]);
    return !salt.isEmpty() && expected.size() == kHashBytes &&
           SameBytes(Derive(password, salt, iterations), expected);
}

} // namespace password
