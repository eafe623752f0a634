#include "core/genetic/genetic_random.h"

#include <chrono>

namespace tovimo {

std::uint64_t GaRandom::ClockSeed() {
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto mono = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<std::uint64_t>(wall) ^ (static_cast<std::uint64_t>(mono) << 1);
}

} // namespace tovimo
