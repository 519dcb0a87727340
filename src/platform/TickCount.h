#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, monotonic, wrapping at 2^32 like the
// toolkit's tick count.
std::uint32_t GetTickCount();

} // namespace platform
