#include "Random.h"

namespace qx {

// PCG32 (XSH RR): small, fast, and the same sequence on every platform.
void TRandom::Seed(uint64_t seed) {
    state_ = 0;
    increment_ = (seed << 1u) | 1u;
    Next32();
    state_ += seed ^ 0x853C49E6748FEA9BULL;
    Next32();
}

uint32_t TRandom::Next32() {
    const uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + increment_;
    const uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

int32_t TRandom::Random(int32_t n) {
    if (n < 1) return 0;
    // Multiply-shift maps 32 random bits onto 0..n-1 without a division.
    return static_cast<int32_t>((static_cast<uint64_t>(Next32()) * static_cast<uint32_t>(n)) >> 32);
}

double TRandom::RandomReal() {
    // 53 random bits make every double of the form k / 2^53 equally likely.
    const uint64_t high = Next32() >> 5;  // 27 bits
    const uint64_t low = Next32() >> 6;   // 26 bits
    return static_cast<double>((high << 26) | low) * (1.0 / 9007199254740992.0);
}

} // namespace qx
