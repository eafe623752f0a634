// The pseudo-random generator of one genetic-algorithm run: uniform numbers
// in [0, 1) from the top 53 bits of a 64-bit Mersenne twister.
#pragma once

#include <cstdint>
#include <random>

namespace tovimo {

// Aligned to a cache line of its own: the generator's state changes at every
// draw, and other threads must not share a line with it.
class alignas(64) GaRandom {
  public:
    explicit GaRandom(std::uint64_t seed) : gen_(seed) {}

    double Uniform() { return static_cast<double>(gen_() >> 11) * 0x1.0p-53; }

    // A seed taken from the clock, for runs not given one.
    static std::uint64_t ClockSeed();

  private:
    std::mt19937_64 gen_;
};

} // namespace tovimo
