#include "tools/assetgen/SpaceArtist.h"

#include "tools/assetgen/ArtNoise.h"
#include "tools/assetgen/ArtRandom.h"
#include "tools/assetgen/IndexedImage.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qx::art {

namespace {

struct TLight {
    double r = 0, g = 0, b = 0;
    void Add(QRgb c, double amount)
    {
        r += qRed(c) * amount;
        g += qGreen(c) * amount;
        b += qBlue(c) * amount;
    }
    QRgb Rgb() const
    {
        auto cap = [](double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); };
        return qRgb(cap(r), cap(g), cap(b));
    }
};

// A field of light added up pixel by pixel, then put on the palette.
class TLightField {
public:
    explicit TLightField(int size) : size_(size), light_(static_cast<std::size_t>(size * size)) {}

    TLight& At(int x, int y) { return light_[static_cast<std::size_t>(y * size_ + x)]; }

    // A star: a soft spot, with a four-point flare for the big ones.
    void Star(double cx, double cy, QRgb colour, double peak, double spread, bool flare)
    {
        for (int y = 0; y < size_; ++y)
            for (int x = 0; x < size_; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                double amount = peak * std::exp(-(dx * dx + dy * dy) / (2 * spread * spread));
                if (flare) {
                    const double ax = std::abs(dx), ay = std::abs(dy);
                    if (ax < 0.6 && ay < 5)
                        amount += 0.55 * peak * (1 - ay / 5);
                    if (ay < 0.6 && ax < 5)
                        amount += 0.55 * peak * (1 - ax / 5);
                }
                if (amount > 0.02)
                    At(x, y).Add(colour, amount);
            }
    }

    QImage ToIndexed(const TArtPalette& palette, const TIndexMapper& mapper)
    {
        QImage image = NewIndexed(size_, size_, palette);
        for (int y = 0; y < size_; ++y)
            for (int x = 0; x < size_; ++x)
                image.setPixel(x, y, static_cast<uint>(mapper.Nearest(At(x, y).Rgb())));
        return image;
    }

private:
    int size_;
    std::vector<TLight> light_;
};

QRgb StarColour(TArtRandom& random, const TArtPalette& palette)
{
    static constexpr int kWeights[6] = {5, 4, 3, 2, 1, 2}; // white, blue-white, yellow, orange, red, blue
    int pick = random.Below(17);
    for (int i = 0; i < 6; ++i) {
        if (pick < kWeights[i])
            return palette[pal::kStarFirst + i];
        pick -= kWeights[i];
    }
    return palette[pal::kStarFirst];
}

void Sprinkle(TLightField& field, TArtRandom& random, const TArtPalette& palette, int count, double scale)
{
    for (int s = 0; s < count; ++s) {
        const double x = random.Range(3, 27), y = random.Range(3, 27);
        const QRgb colour = StarColour(random, palette);
        const int kind = random.Below(100);
        if (kind < 72)
            field.Star(std::floor(x) + 0.5, std::floor(y) + 0.5, colour, scale * random.Range(0.35, 0.7), 0.35, false);
        else if (kind < 95)
            field.Star(x, y, colour, scale * random.Range(0.8, 1.1), 0.6, false);
        else
            field.Star(std::floor(x) + 0.5, std::floor(y) + 0.5, colour, scale * 1.2, 1.0, true);
    }
}

void CopyInto(QImage& sheet, const QImage& cell, int x0, int y0)
{
    for (int y = 0; y < cell.height(); ++y)
        std::copy_n(cell.constScanLine(y), cell.width(), sheet.scanLine(y0 + y) + x0);
}

} // namespace

QImage TSpaceArtist::OpenSpaceTile(int column, int variant) const
{
    TLightField field(kCell);
    TArtRandom random(0x5EED0000u + static_cast<std::uint64_t>(variant * kTilesX + column));
    // Tile 0 also shows beyond the map's right edge: keep it empty.
    if (column != 0 || variant != 0) {
        // Mostly sparse: a board of busy tiles would drown the ships.
        static constexpr int kCounts[10] = {0, 0, 1, 1, 1, 1, 2, 2, 3, 4};
        Sprinkle(field, random, palette_, kCounts[random.Below(10)], 1.0);
    }
    std::vector<int> candidates = TIndexMapper::Span(pal::kSpaceFirst, pal::kStarLast);
    candidates.push_back(0);
    return field.ToIndexed(palette_, TIndexMapper(palette_, candidates));
}

QImage TSpaceArtist::NebulaTile(int column, int variant) const
{
    // The cloud is a shared field that repeats every cell, plus detail of
    // this tile that fades out toward the edges: any two nebula tiles meet
    // without a seam.
    const TArtNoise shared(0xC10D5u, 4);
    const TArtNoise own(0xA11CEu + static_cast<std::uint32_t>(column * 13 + variant * 101));
    TLightField field(kCell);
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const double u = (x + 0.5) / kCell, v = (y + 0.5) / kCell;
            const double window = std::sin(std::numbers::pi * u) * std::sin(std::numbers::pi * v);
            const double base = shared.Fractal(u * 4, v * 4, 3);
            const double detail = own.Fractal(u * 3 + 17, v * 3 + 5, 4) - 0.5;
            const double density = std::clamp(0.15 + 0.75 * base + 1.5 * window * detail, 0.0, 1.0);
            const double t = 0.08 + 0.5 * density; // dark enough for ships to stand out
            const int first = pal::kNebulaFirst, last = pal::kNebulaLast;
            const double position = first + t * (last - first);
            const int lower = static_cast<int>(position);
            field.At(x, y).Add(Mix(palette_[lower], palette_[std::min(lower + 1, last)], position - lower), 1.0);
        }
    TArtRandom random(0xB0B0u + static_cast<std::uint64_t>(variant * kTilesX + column));
    Sprinkle(field, random, palette_, random.Below(3), 0.8);
    std::vector<int> candidates = TIndexMapper::Span(pal::kNebulaFirst, pal::kNebulaLast);
    for (int i = pal::kStarFirst; i <= pal::kStarLast; ++i)
        candidates.push_back(i);
    return field.ToIndexed(palette_, TIndexMapper(palette_, candidates));
}

QImage TSpaceArtist::Tiles() const
{
    QImage sheet = NewIndexed(kTilesX * kCell, kTilesY * kCell, palette_);
    for (int variant = 0; variant < kTilesY; ++variant)
        for (int column = 0; column < kTilesX; ++column)
            CopyInto(sheet, column < kOpenTiles ? OpenSpaceTile(column, variant) : NebulaTile(column, variant),
                     column * kCell, variant * kCell);
    return sheet;
}

QImage TSpaceArtist::StarSystems() const
{
    constexpr int kScale = 4;
    QImage sheet = NewIndexed(kSystemWidth, kSystemRows * kCell, palette_);
    for (int row = 0; row < kSystemRows; ++row) {
        const bool hidden = row == 11;
        QRgb ring, planet;
        std::vector<int> candidates;
        if (row < 10) {
            ring = palette_[pal::kPlayer[static_cast<std::size_t>(row)]];
            planet = palette_[pal::PlayerShade(row, 2)];
            candidates = TArtPalette::PlayerEntries(row);
        } else {
            ring = palette_[hidden ? pal::kGrey : pal::kSilver];
            planet = palette_[hidden ? 247 : 246];
            candidates = {pal::kSilver, pal::kGrey, 246, 247};
        }
        if (hidden) {
            for (int i = pal::kHullGreyFirst; i <= pal::kHullGreyLast; ++i)
                candidates.push_back(i);
        } else {
            for (int i = pal::kSunFirst; i <= pal::kSunLast; ++i)
                candidates.push_back(i);
        }

        QImage big(kSystemWidth * kScale, kCell * kScale, QImage::Format_ARGB32_Premultiplied);
        big.fill(Qt::transparent);
        {
            QPainter p(&big);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(kScale, kScale);
            const QPointF centre(kSystemWidth / 2.0, kCell / 2.0);
            const QRectF orbit(centre.x() - 13.5, centre.y() - 4.8, 27, 9.6);
            p.setPen(QPen(QColor(ring), 1.7));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(orbit); // the far half, which the sun then covers

            QRadialGradient sun(centre, 8.5);
            auto sunColour = [&](int step) {
                const QRgb c = palette_[pal::kSunFirst + step];
                return hidden ? QColor(Mix(qRgb(0, 0, 0), qRgb(200, 200, 200), Luminance(c) / 255.0)) : QColor(c);
            };
            sun.setColorAt(0.0, sunColour(19));
            // Yellow-white, so an orange owner's ring still stands apart; a
            // warm rim rather than a dark one keeps the edge from looking ragged.
            sun.setColorAt(0.3, sunColour(16));
            sun.setColorAt(0.65, sunColour(13));
            sun.setColorAt(0.88, sunColour(10));
            sun.setColorAt(1.0, sunColour(8));
            p.setPen(Qt::NoPen);
            p.setBrush(sun);
            p.drawEllipse(centre, 8.5, 8.5);

            p.setPen(QPen(QColor(ring), 1.7));
            p.setBrush(Qt::NoBrush);
            p.drawArc(orbit, 180 * 16, 180 * 16); // the near half, in front of the sun
            p.setPen(QPen(QColor(Mix(ring, qRgb(0, 0, 0), 0.5)), 0.8));
            p.setBrush(QColor(planet));
            const double a = 35 * std::numbers::pi / 180;
            p.drawEllipse(QPointF(centre.x() + 13.5 * std::cos(a), centre.y() + 4.8 * std::sin(a)), 2.4, 2.4);
        }
        const QImage small = big.scaled(kSystemWidth, kCell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        PutArgb(sheet, 0, row * kCell, small, TIndexMapper(palette_, candidates), 100);
    }
    return sheet;
}

QImage TSpaceArtist::Wormhole() const
{
    constexpr int kSub = 4; // samples per pixel side
    QImage strip = NewIndexed(kWormholeFrames * kCell, kCell, palette_);
    const TIndexMapper mapper(palette_, TIndexMapper::Span(pal::kWormFirst, pal::kWormLast));
    for (int frame = 0; frame < kWormholeFrames; ++frame) {
        // Three arms: turning by a third of a circle over the eight frames
        // brings the last frame back to the first.
        const double phase = frame * (2 * std::numbers::pi / 3) / kWormholeFrames;
        QImage cell(kCell, kCell, QImage::Format_ARGB32);
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                double light = 0, cover = 0;
                for (int sy = 0; sy < kSub; ++sy)
                    for (int sx = 0; sx < kSub; ++sx) {
                        const double dx = x + (sx + 0.5) / kSub - kCell / 2.0;
                        const double dy = y + (sy + 0.5) / kSub - kCell / 2.0;
                        const double r = std::hypot(dx, dy);
                        const double angle = std::atan2(dy, dx);
                        const double arm = 0.5 + 0.5 * std::cos(3 * (angle - phase) + 5.0 * std::log(r + 1.0));
                        const double fade = std::clamp((13.5 - r) / 5.0, 0.0, 1.0);
                        const double core = std::exp(-r * r / 10.0);
                        const double value = std::min(1.0, arm * arm * fade * 0.9 + core);
                        light += value;
                        cover += std::min(1.0, (arm * 0.8 + 0.2) * fade * 1.4 + core);
                    }
                light /= kSub * kSub;
                cover /= kSub * kSub;
                const double position = pal::kWormFirst + light * (pal::kWormLast - pal::kWormFirst);
                const int lower = std::min(static_cast<int>(position), pal::kWormLast);
                const QRgb colour = Mix(palette_[lower], palette_[std::min(lower + 1, pal::kWormLast)], position - lower);
                cell.setPixel(x, y, qRgba(qRed(colour), qGreen(colour), qBlue(colour),
                                          std::clamp(static_cast<int>(cover * 255), 0, 255)));
            }
        PutArgb(strip, frame * kCell, 0, cell, mapper, 90);
    }
    return strip;
}

} // namespace qx::art
