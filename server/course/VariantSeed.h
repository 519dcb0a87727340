#pragma once

#include <cstdint>
#include <string_view>

// The secret previews and checks draw variants with when no course's secret is given, so
// that they are reproducible.
inline constexpr std::string_view kPreviewSecret = "vekta-preview";

// The seed of one student's variant of one task: a keyed BLAKE2b hash (libsodium's
// generic hash) of the user name and the task name, keyed with the course's secret. The
// same three always give the same seed; without the secret the seed cannot be foreseen.
std::uint64_t VariantSeed(std::string_view secret, std::string_view user, std::string_view task);
