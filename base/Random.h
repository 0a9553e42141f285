#pragma once

#include <cstdint>

namespace qx {

// A small uniform generator. Each has one purpose: the rules generator of an
// engine (its master's rules, scenario scripts and brains) or a presentation
// generator (sprites, effects, tiles, sound pan and pitch, music order), so a
// seeded game plays the same whether it is drawn, heard or run headless.
// Not thread-safe: one generator belongs to one thread.
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

} // namespace qx
