#include "app/ClientSettings.h"

namespace {

constexpr const char* kServerAddress = "connection/server";
constexpr const char* kUserName = "connection/user";
// A remembered text longer than an address or a name could be is a damaged file.
constexpr qsizetype kLongestText = 1024;

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
