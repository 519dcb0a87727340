#pragma once

#include <string>

class Database;

// After a successful login whose stored hash was of an older, weaker kind: stores the new
// hash in its place (when `upgraded` is not empty), unless the account's password changed
// meanwhile. A failure to store is logged and does not touch the login.
void StoreUpgradedHash(Database& database, const std::string& cp1251User, const std::string& stored,
                       const std::string& upgraded);
