#include "app/ClientSettings.h"

namespace {

constexpr const char* kServerAddress = "connection/server";
constexpr const char* kUserName = "connection/user";
// A remembered text longer than an address or a name could be is a damaged file.
constexpr qsizetype kLongestText = 1024;

// Server addresses and user names hold characters a settings key cannot, so the key of a
// device token is made of their bytes in hexadecimal.
QString DeviceKey(const QString& serverAddress, const QString& userName) {
    return "devices/" + QString::fromLatin1(serverAddress.toUtf8().toHex()) + "-" +
           QString::fromLatin1(userName.toUtf8().toHex());
}

} // namespace

ClientSettings::ClientSettings() = default;

ClientSettings::ClientSettings(const QString& iniFile) : settings_(iniFile, QSettings::IniFormat) {}

std::optional<QString> ClientSettings::text(const char* key) const {
    const QVariant value = settings_.value(key);
    if (!value.isValid())
        return std::nullopt;
    const QString stored = value.toString();
    if (stored.isEmpty() || stored.size() > kLongestText)
        return std::nullopt;
    return stored;
}

std::optional<QString> ClientSettings::serverAddress() const {
    return text(kServerAddress);
}

std::optional<QString> ClientSettings::userName() const {
    return text(kUserName);
}

void ClientSettings::rememberLogin(const QString& serverAddress, const QString& userName) {
    settings_.setValue(kServerAddress, serverAddress);
    settings_.setValue(kUserName, userName);
    settings_.sync();
}

std::optional<QString> ClientSettings::deviceToken(const QString& serverAddress,
                                                   const QString& userName) const {
    const QString key = DeviceKey(serverAddress, userName);
    return text(key.toUtf8().constData());
}

void ClientSettings::rememberDeviceToken(const QString& serverAddress, const QString& userName,
                                         const QString& token) {
    settings_.setValue(DeviceKey(serverAddress, userName), token);
    settings_.sync();
}
