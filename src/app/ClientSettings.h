#pragma once

#include <QSettings>
#include <QString>

#include <optional>

// What the client remembers between runs: the last server address and user name, never
// the password, both written once a login has been let in; and the device token each
// server gave each user, which lets that user's logins past others' guesses.
class ClientSettings {
public:
    // The user's settings of this program (organisation and application names of the
    // QCoreApplication).
    ClientSettings();
    // Settings kept in an INI file of the caller's choice, for tests and portable set-ups.
    explicit ClientSettings(const QString& iniFile);

    std::optional<QString> serverAddress() const;
    std::optional<QString> userName() const;
    void rememberLogin(const QString& serverAddress, const QString& userName);
    std::optional<QString> deviceToken(const QString& serverAddress, const QString& userName) const;
    void rememberDeviceToken(const QString& serverAddress, const QString& userName,
                             const QString& token);

private:
    std::optional<QString> text(const char* key) const;

    QSettings settings_;
};
