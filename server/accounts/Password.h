#pragma once

#include <string>

// Account passwords are kept as salted hashes, never in clear. New hashes are Argon2id
// (libsodium's "$argon2id$v=19$m=KIB,t=T,p=1$SALT$HASH" text) at no less than 19 MiB of
// memory and 2 passes, so that each guess against a stolen table costs real memory and
// time. Hashes of earlier versions, "pbkdf2-sha256$ITERATIONS$SALT$HASH" (salt and hash in
// Base64), are still read, and replaced by an Argon2id hash at the account's next
// successful login.
namespace password {

struct Argon2Cost {
    unsigned long long passes = 2;
    std::size_t memoryBytes = std::size_t{19} << 20;
};

std::string Hash(const std::string& password, const Argon2Cost& cost = {});
// The hash of earlier versions; kept for reading old tables and for tests of the upgrade.
std::string HashPbkdf2(const std::string& password, int iterations = 10000);

// Whether the password matches a stored hash; false for a hash that cannot be read.
bool Verify(const std::string& password, const std::string& stored);

// Whether a stored hash is weaker than what Hash makes today (an older scheme or a lower
// cost), so that a successful login should replace it.
bool NeedsUpgrade(const std::string& stored);

// The check a login runs: whether the password matches, and, when it does and the stored
// hash is weaker than today's, the new hash to store in its place (empty otherwise).
struct Check {
    bool accepted = false;
    std::string upgradedHash;
};
Check CheckLogin(const std::string& password, const std::string& stored);

} // namespace password
