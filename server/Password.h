#pragma once

#include <string>

// Account passwords are kept as salted PBKDF2-SHA256 hashes, never in clear. A stored
// hash is one text: "pbkdf2-sha256$ITERATIONS$SALT$HASH" (salt and hash in Base64), so
// the work factor can be raised for new passwords without breaking old ones.
namespace password {

constexpr int DefaultIterations = 10000;

std::string Hash(const std::string& password, int iterations = DefaultIterations);

// Whether the password matches a stored hash; false for a hash that cannot be read.
bool Verify(const std::string& password, const std::string& stored);

} // namespace password
