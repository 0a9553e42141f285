#include "tools/assetgen/EffectArtist.h"

#include "tools/assetgen/ArtNoise.h"
#include "tools/assetgen/IndexedImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace qx::art {

namespace {

QRgb Heat(double t)
{
    struct Stop {
        double at;
        QRgb colour;
    };
    static constexpr std::array<Stop, 5> kStops = {Stop{0.0, qRgb(48, 4, 2)}, Stop{0.3, qRgb(200, 40, 6)},
                                                   Stop{0.55, qRgb(245, 120, 16)}, Stop{0.8, qRgb(255, 220, 110)},
                                                   Stop{1.0, qRgb(255, 250, 225)}};
    t = std::clamp(t, 0.0, 1.0);
    for (std::size_t i = 1; i < kStops.size(); ++i)
        if (t <= kStops[i].at)
            return Mix(kStops[i - 1].colour, kStops[i].colour, (t - kStops[i - 1].at) / (kStops[i].at - kStops[i - 1].at));
    return kStops.back().colour;
}

std::vector<int> FireEntries()
{
    std::vector<int> entries;
    for (auto [first, last] : {std::pair{171, 182}, {184, 186}, {188, 200}, {220, 223}, {229, 240}})
        for (int i = first; i <= last; ++i)
            entries.push_back(i);
    return entries;
}

} // namespace

QImage TEffectArtist::Explosion(int size, unsigned seed) const
{
    if (size < 10)
        throw std::invalid_argument("an explosion picture needs at least 10 pixels a side");
    const TArtNoise flame(seed), streaks(seed + 1);
    const TIndexMapper mapper(palette_, FireEntries());
    QImage image = NewIndexed(size, size, palette_);
    const double half = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5 - half) / half, dy = (y + 0.5 - half) / half;
            const double r = std::hypot(dx, dy);
            const double angle = std::atan2(dy, dx);
            // Flame tongues: noise stretched along the radius, so the fire
            // seems to burst outward.
            const double ray = streaks.Fractal((angle + 3.2) * 5.0, r * 1.5, 3);
            const double turbulence = flame.Fractal(x * 8.0 / size, y * 8.0 / size, 4);
            const double heat = 1.05 - 0.85 * r + 0.45 * (ray - 0.5) + 0.35 * (turbulence - 0.5);
            image.setPixel(x, y, static_cast<uint>(mapper.Nearest(Heat(std::max(heat, 0.04)))));
        }
    return image;
}

unsigned TEffectArtist::Segments(int digit)
{
    // bits: a top, b top right, c bottom right, d bottom, e bottom left, f top left, g middle
    static constexpr std::array<unsigned, 10> kSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    if (digit < 0 || digit > 9)
        throw std::out_of_range("not a digit");
    return kSegments[static_cast<std::size_t>(digit)];
}

QImage TEffectArtist::Digits() const
{
    struct Bar {
        int x1, y1, x2, y2; // inclusive
    };
    static constexpr std::array<Bar, 7> kBars = {Bar{3, 1, 8, 2},  Bar{9, 3, 10, 6},  Bar{9, 8, 10, 11},
                                                 Bar{3, 12, 8, 13}, Bar{1, 8, 2, 11}, Bar{1, 3, 2, 6},
                                                 Bar{3, 6, 8, 7}};
    QImage strip = NewIndexed(10 * kDigitWidth, kDigitHeight, palette_);
    for (int digit = 0; digit < 10; ++digit) {
        const unsigned lit = Segments(digit);
        for (int s = 0; s < 7; ++s) {
            const Bar& bar = kBars[static_cast<std::size_t>(s)];
            const bool on = (lit >> s) & 1u;
            for (int y = bar.y1; y <= bar.y2; ++y)
                for (int x = bar.x1; x <= bar.x2; ++x) {
                    // Lit bars have a bright core and softer ends.
                    const bool end = (bar.x2 - bar.x1 > bar.y2 - bar.y1) ? (x == bar.x1 || x == bar.x2)
                                                                         : (y == bar.y1 || y == bar.y2);
                    const int index = !on ? pal::kLedFirst : end ? pal::kLedFirst + 2 : pal::kLedFirst + 3;
                    strip.setPixel(digit * kDigitWidth + x, y, static_cast<uint>(index));
                }
        }
    }
    return strip;
}

} // namespace qx::art
