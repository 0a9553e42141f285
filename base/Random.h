#pragma once

#include <cstdint>

namespace qx {

// The one program-wide uniform generator. The rules draw from it only on the
// master; seeding it makes a whole game (codes, shuffles, combat, brains)
// repeat exactly. Not thread-safe: all game logic runs on the main thread.
class TRandom {
public:
    explicit TRandom(uint64_t seed = 0x5EED5EEDULL) { Seed(seed); }

    void Seed(uint64_t seed);
    // An integer 0..N-1; 0 when N < 1.
    int32_t Random(int32_t n);
    // A real in [0, 1).
    double RandomReal();
    uint32_t Next32();

private:
    uint64_t state_ = 0;
    uint64_t increment_ = 0;
};

TRandom& GlobalRandom();

// Shorthands on the program-wide generator.
inline int32_t Random(int32_t n) { return GlobalRandom().Random(n); }
inline double RandomReal() { return GlobalRandom().RandomReal(); }
inline void RandSeed(uint64_t seed) { GlobalRandom().Seed(seed); }

} // namespace qx
