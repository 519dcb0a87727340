#include "course/VariantSeed.h"

#include <sodium.h>

#include <array>
#include <stdexcept>
#include <string>

std::uint64_t VariantSeed(std::string_view secret, std::string_view user, std::string_view task) {
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot be initialised");
    // A secret of any length becomes a key of the hash's own size.
    std::array<unsigned char, crypto_generichash_KEYBYTES> key{};
    crypto_generichash(key.data(), key.size(),
                       reinterpret_cast<const unsigned char*>(secret.data()), secret.size(),
                       nullptr, 0);
    // The user name and the task name, each with its length, so no two pairs run together.
    std::string message;
    for (std::string_view part : {user, task}) {
        message += std::to_string(part.size()) + ':';
        message += part;
    }
    std::array<unsigned char, crypto_generichash_BYTES_MIN> hash{};
    crypto_generichash(hash.data(), hash.size(),
                       reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                       key.data(), key.size());
    std::uint64_t seed = 0;
    for (std::size_t i = 0; i < sizeof seed; ++i)
        seed = (seed << 8) | hash[i];
    return seed;
}
