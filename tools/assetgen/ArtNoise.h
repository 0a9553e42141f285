#pragma once

#include <cmath>
#include <cstdint>

namespace qx::art {

// Smooth value noise for clouds and flames. With a period the lattice wraps,
// so a field drawn over one period joins itself seamlessly at its edges.
class TArtNoise {
public:
    explicit TArtNoise(std::uint32_t seed, int period = 0) : seed_(seed), period_(period) {}

    // About 0..1; x and y in lattice units.
    double Value(double x, double y) const
    {
        const double fx = std::floor(x), fy = std::floor(y);
        const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
        const double tx = Fade(x - fx), ty = Fade(y - fy);
        const double a = Lattice(ix, iy), b = Lattice(ix + 1, iy);
        const double c = Lattice(ix, iy + 1), d = Lattice(ix + 1, iy + 1);
        return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
    }

    // Several octaves, each twice as fine and half as strong; about 0..1.
    double Fractal(double x, double y, int octaves) const
    {
        double sum = 0, weight = 1, total = 0, scale = 1;
        for (int o = 0; o < octaves; ++o) {
            const TArtNoise layer(seed_ + 977u * static_cast<std::uint32_t>(o), period_ > 0 ? period_ << o : 0);
            sum += weight * layer.Value(x * scale, y * scale);
            total += weight;
            weight *= 0.5;
            scale *= 2;
        }
        return sum / total;
    }

private:
    static double Fade(double t) { return t * t * (3 - 2 * t); }

    double Lattice(int x, int y) const
    {
        if (period_ > 0) {
            x = ((x % period_) + period_) % period_;
            y = ((y % period_) + period_) % period_;
        }
        std::uint32_t h = seed_ ^ (static_cast<std::uint32_t>(x) * 0x8da6b343u) ^ (static_cast<std::uint32_t>(y) * 0xd8163841u);
        h ^= h >> 13;
        h *= 0x5bd1e995u;
        h ^= h >> 15;
        return (h & 0xFFFFFFu) / double(0x1000000);
    }

    std::uint32_t seed_;
    int period_;
};

} // namespace qx::art
