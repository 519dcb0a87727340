#include "accounts/Password.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QPasswordDigestor>
#include <QRandomGenerator>

#include <sodium.h>

#include <stdexcept>

namespace password {

namespace {

constexpr char kPbkdf2Scheme[] = "pbkdf2-sha256";
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
constexpr int kMaxIterations = 10'000'000;
// A stored Argon2id hash asking for more than this is refused rather than computed: a
// tampered table must not make a login allocate without bound.
constexpr std::size_t kMaxStoredMemory = std::size_t{1} << 30;
const Argon2Cost kToday;

void StartSodium() {
    static const int started = sodium_init();
    if (started < 0)
        throw std::runtime_error("libsodium cannot start");
}

bool IsArgon2id(const std::string& stored) {
    return stored.rfind(crypto_pwhash_argon2id_STRPREFIX, 0) == 0;
}

// The "m=" value of an Argon2id text in bytes, or 0 when it cannot be read.
std::size_t StoredMemory(const std::string& stored) {
    const std::size_t at = stored.find("$m=");
    if (at == std::string::npos)
        return 0;
    std::size_t kib = 0;
    for (std::size_t i = at + 3; i < stored.size() && stored[i] >= '0' && stored[i] <= '9'; ++i) {
        kib = kib * 10 + static_cast<std::size_t>(stored[i] - '0');
        if (kib > kMaxStoredMemory)
            return kMaxStoredMemory + 1;
    }
    return kib * 1024;
}

bool VerifyArgon2id(const std::string& password, const std::string& stored) {
    StartSodium();
    const std::size_t memory = StoredMemory(stored);
    if (memory == 0 || memory > kMaxStoredMemory)
        return false;
    return crypto_pwhash_argon2id_str_verify(stored.c_str(), password.data(), password.size()) == 0;
}

QByteArray DerivePbkdf2(const std::string& password, const QByteArray& salt, int iterations) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256,
                                              QByteArray::fromStdString(password), salt, iterations,
                                              kHashBytes);
}

bool VerifyPbkdf2(const std::string& password, const std::string& stored) {
    const QList<QByteArray> parts = QByteArray::fromStdString(stored).split('$');
    if (parts.size() != 4 || parts[0] != kPbkdf2Scheme)
        return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1 || iterations > kMaxIterations)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2]);
    const QByteArray expected = QByteArray::fromBase64(parts[3]);
    if (salt.isEmpty() || expected.size() != kHashBytes)
        return false;
    const QByteArray derived = DerivePbkdf2(password, salt, iterations);
    return sodium_memcmp(derived.constData(), expected.constData(), kHashBytes) == 0;
}

} // namespace

std::string Hash(const std::string& password, const Argon2Cost& cost) {
    StartSodium();
    char text[crypto_pwhash_argon2id_STRBYTES];
    if (crypto_pwhash_argon2id_str(text, password.data(), password.size(), cost.passes,
                                   cost.memoryBytes) != 0)
        throw std::runtime_error("not enough memory to hash a password");
    return text;
}

std::string HashPbkdf2(const std::string& password, int iterations) {
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), kSaltBytes / 4);
    return std::string(kPbkdf2Scheme) + "$" + std::to_string(iterations) + "$" +
           salt.toBase64().toStdString() + "$" +
           DerivePbkdf2(password, salt, iterations).toBase64().toStdString();
}

bool Verify(const std::string& password, const std::string& stored) {
    return IsArgon2id(stored) ? VerifyArgon2id(password, stored) : VerifyPbkdf2(password, stored);
}

bool NeedsUpgrade(const std::string& stored) {
    if (!IsArgon2id(stored))
        return true;
    StartSodium();
    return crypto_pwhash_argon2id_str_needs_rehash(stored.c_str(), kToday.passes,
                                                   kToday.memoryBytes) != 0;
}

Check CheckLogin(const std::string& password, const std::string& stored) {
    Check check;
    check.accepted = Verify(password, stored);
    if (check.accepted && NeedsUpgrade(stored))
        check.upgradedHash = Hash(password);
    return check;
}

} // namespace password
