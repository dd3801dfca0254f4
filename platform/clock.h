#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since the platform layer started; wraps after 49 days.
std::uint32_t Ticks();

}  // namespace platform
