#include "accounts/PasswordUpgrade.h"

#include "log/ServerLog.h"
#include "platform/Cp1251.h"
#include "storage/Database.h"

#include <exception>

void StoreUpgradedHash(Database& database, const std::string& cp1251User, const std::string& stored,
                       const std::string& upgraded) {
    if (upgraded.empty())
        return;
    const QString user = QString::fromStdString(platform::Cp1251ToUtf8(cp1251User));
    try {
        if (database.ReplacePasswordHash(user.toStdString(), stored, upgraded))
            ServerLog(user + ": password hash upgraded to Argon2id");
    } catch (const std::exception& error) {
        ServerLog(user + ": cannot upgrade the password hash: " + error.what());
    }
}
