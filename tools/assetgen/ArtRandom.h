#pragma once

#include <cstdint>

namespace qx::art {

// A small seeded generator of our own, so the pictures come out the same on
// every machine and every standard library (std distributions are not
// portable in their results).
class TArtRandom {
public:
    explicit TArtRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next()
    {
        // SplitMix64
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // 0 .. n-1; 0 when n < 1
    int Below(int n) { return n < 1 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

    // [0, 1)
    double Real() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

    double Range(double low, double high) { return low + (high - low) * Real(); }

private:
    std::uint64_t state_;
};

} // namespace qx::art
