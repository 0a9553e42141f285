#include "tools/assetgen/TitleArtist.h"

#include "tools/assetgen/ArtNoise.h"
#include "tools/assetgen/ArtRandom.h"
#include "tools/assetgen/IndexedImage.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

namespace qx::art {

namespace {

constexpr char kName[] = "QUORVEX";
constexpr double kLetterWidth = 60, kLetterHeight = 90, kLetterGap = 16, kStroke = 16;
constexpr double kNameTop = 38;

double Smooth(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

struct TRgbF {
    double r = 0, g = 0, b = 0;
};

QRgb ToRgb(const TRgbF& c)
{
    auto cap = [](double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); };
    return qRgb(cap(c.r), cap(c.g), cap(c.b));
}

// The sky: two nebula clouds along a diagonal band, and stars.
void PaintSky(QImage& image)
{
    const TArtNoise rose(101), blue(202), dust(303);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double v = double(y) / image.height();
            TRgbF c{4 + 10 * v, 4 + 2 * v, 18 + 14 * v};
            // The clouds gather along a band from upper left to lower right.
            const double band = std::exp(-std::pow((y - 0.55 * x - 120) / 170.0, 2));
            const double n1 = Smooth(0.42, 0.78, rose.Fractal(x / 150.0, y / 150.0, 5)) * band;
            const double n2 = Smooth(0.45, 0.8, blue.Fractal(x / 110.0 + 7, y / 110.0 + 3, 5)) * (0.4 + 0.6 * band);
            const double n3 = Smooth(0.55, 0.9, dust.Fractal(x / 60.0, y / 60.0, 4)) * band;
            c.r += 150 * n1 + 30 * n2 + 60 * n3;
            c.g += 36 * n1 + 70 * n2 + 40 * n3;
            c.b += 120 * n1 + 170 * n2 + 70 * n3;
            line[x] = ToRgb(c);
        }
    }
    TArtRandom random(0x717Eu);
    auto addLight = [&image](int x, int y, QRgb colour, double amount) {
        if (x < 0 || y < 0 || x >= image.width() || y >= image.height() || amount <= 0.01)
            return;
        QRgb& p = reinterpret_cast<QRgb*>(image.scanLine(y))[x];
        p = qRgb(std::min(255, qRed(p) + static_cast<int>(qRed(colour) * amount)),
                 std::min(255, qGreen(p) + static_cast<int>(qGreen(colour) * amount)),
                 std::min(255, qBlue(p) + static_cast<int>(qBlue(colour) * amount)));
    };
    const std::array<QRgb, 4> tints = {qRgb(255, 255, 255), qRgb(190, 210, 255), qRgb(255, 235, 200),
                                       qRgb(255, 190, 160)};
    for (int s = 0; s < 1100; ++s) {
        const int x = random.Below(image.width()), y = random.Below(image.height());
        addLight(x, y, tints[static_cast<std::size_t>(random.Below(4))], random.Range(0.15, 0.8));
    }
    for (int s = 0; s < 28; ++s) {
        const double cx = random.Range(0, image.width()), cy = random.Range(0, image.height());
        const QRgb tint = tints[static_cast<std::size_t>(random.Below(4))];
        const double size = random.Range(0.8, 2.2);
        for (int dy = -12; dy <= 12; ++dy)
            for (int dx = -12; dx <= 12; ++dx) {
                const double d2 = dx * dx + dy * dy;
                double amount = std::exp(-d2 / (2 * size * size));
                if (dx == 0 || dy == 0)
                    amount += 0.5 * std::max(0.0, 1 - (std::abs(dx) + std::abs(dy)) / (5.0 * size));
                addLight(static_cast<int>(cx) + dx, static_cast<int>(cy) + dy, tint, amount);
            }
    }
}

// A banded gas giant, lit from the upper left, with a thin atmosphere.
void PaintPlanet(QImage& image, QPointF centre, double radius)
{
    const TArtNoise bands(404);
    const double lx = -0.6, ly = -0.55, lz = 0.58; // light direction
    for (int y = std::max(0, static_cast<int>(centre.y() - radius - 12)); y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = std::max(0, static_cast<int>(centre.x() - radius - 12)); x < image.width(); ++x) {
            const double dx = (x + 0.5 - centre.x()) / radius, dy = (y + 0.5 - centre.y()) / radius;
            const double d2 = dx * dx + dy * dy;
            if (d2 > 1.0) {
                // Atmosphere glow just outside the limb, on the lit side.
                const double rim = std::sqrt(d2) - 1.0;
                const double lit = std::clamp(dx * lx + dy * ly + 0.3, 0.0, 1.0);
                const double glow = std::exp(-rim * 45.0) * lit;
                if (glow > 0.01) {
                    const QRgb p = line[x];
                    line[x] = qRgb(std::min(255, qRed(p) + static_cast<int>(60 * glow)),
                                   std::min(255, qGreen(p) + static_cast<int>(150 * glow)),
                                   std::min(255, qBlue(p) + static_cast<int>(230 * glow)));
                }
                continue;
            }
            const double dz = std::sqrt(1.0 - d2);
            const double light = std::clamp(dx * lx + dy * ly + dz * lz, 0.0, 1.0);
            // Latitude bands, a little wavy.
            const double latitude = dy * 0.96 + dx * 0.28;
            const double band = bands.Fractal(latitude * 9.0 + 0.6 * bands.Value(dx * 4, dy * 4), dx * 0.8, 4);
            TRgbF c{30 + 70 * band, 80 + 90 * band, 110 + 80 * band};
            const double shade = 0.08 + 0.92 * std::pow(light, 0.9);
            const double limb = std::pow(1.0 - dz, 3) * light; // bright haze at the lit edge
            line[x] = ToRgb({c.r * shade + 90 * limb, c.g * shade + 170 * limb, c.b * shade + 230 * limb});
        }
    }
}

void PaintRing(QPainter& p, QPointF centre, double rx, double ry, double tilt, bool frontHalf)
{
    p.save();
    p.translate(centre);
    p.rotate(tilt);
    if (frontHalf)
        p.setClipRect(QRectF(-rx - 40, 0, 2 * rx + 80, ry + 40));
    // Bands of dust and ice with narrow gaps between them.
    for (int i = 0; i < 6; ++i) {
        const double k = 1.0 + i * 0.035;
        QColor c = QColor::fromRgb(Mix(qRgb(225, 205, 165), qRgb(150, 125, 115), i / 5.0));
        c.setAlpha(i == 3 ? 60 : 170);
        p.setPen(QPen(c, 7));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(0, 0), rx * k, ry * k);
    }
    p.restore();
}

// A soft copy of the alpha of `mask`, for glows (three box blurs).
QImage Blurred(const QImage& mask, int radius)
{
    QImage image = mask.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = image.width(), h = image.height();
    std::vector<int> alpha(static_cast<std::size_t>(w * h)), scratch(alpha.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            alpha[static_cast<std::size_t>(y * w + x)] = qAlpha(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]);
    auto pass = [&](bool horizontal) {
        const int lines = horizontal ? h : w, length = horizontal ? w : h;
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> int& {
                return alpha[static_cast<std::size_t>(horizontal ? l * w + i : i * w + l)];
            };
            int sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += at(std::clamp(i, 0, length - 1));
            for (int i = 0; i < length; ++i) {
                scratch[static_cast<std::size_t>(horizontal ? l * w + i : i * w + l)] = sum / (2 * radius + 1);
                sum += at(std::min(i + radius + 1, length - 1)) - at(std::max(i - radius, 0));
            }
        }
        alpha.swap(scratch);
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
    QImage result(w, h, QImage::Format_Alpha8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            result.scanLine(y)[x] = static_cast<uchar>(alpha[static_cast<std::size_t>(y * w + x)]);
    return result;
}

QPainterPath NamePath()
{
    QPainterPath name;
    const double total = 7 * kLetterWidth + 6 * kLetterGap;
    double x = (TTitleArtist::kWidth - total) / 2;
    for (const char* c = kName; *c; ++c) {
        name.addPath(QTransform::fromTranslate(x, kNameTop).map(TTitleArtist::Letter(*c)));
        x += kLetterWidth + kLetterGap;
    }
    return name.simplified();
}

void PaintName(QImage& image)
{
    const QPainterPath name = NamePath();
    // A violet glow behind the letters.
    QImage mask(image.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter m(&mask);
        m.setRenderHint(QPainter::Antialiasing);
        m.fillPath(name, Qt::white);
        m.setPen(QPen(Qt::white, 10));
        m.drawPath(name);
    }
    const QImage glow = Blurred(mask, 7);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QImage glowColour(image.size(), QImage::Format_ARGB32_Premultiplied);
    glowColour.fill(QColor(150, 90, 255));
    {
        QPainter g(&glowColour);
        g.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        g.drawImage(0, 0, glow);
    }
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    p.drawImage(0, 0, glowColour);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Gold and chrome, with a bright horizon line across the middle.
    QLinearGradient metal(0, kNameTop, 0, kNameTop + kLetterHeight);
    metal.setColorAt(0.0, QColor(255, 250, 215));
    metal.setColorAt(0.38, QColor(255, 196, 80));
    metal.setColorAt(0.49, QColor(255, 255, 240));
    metal.setColorAt(0.53, QColor(170, 90, 30));
    metal.setColorAt(0.75, QColor(230, 150, 50));
    metal.setColorAt(1.0, QColor(255, 210, 110));
    p.setPen(QPen(QColor(24, 10, 44), 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(metal);
    p.drawPath(name);
    // A thin inner highlight along the top edges.
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(name.translated(0, 1.5).intersected(name));
}

} // namespace

QPainterPath TTitleArtist::Letter(char letter)
{
    const double w = kLetterWidth, h = kLetterHeight, s = kStroke / 2; // s: half a stroke
    QPainterPath centre;
    switch (letter) {
    case 'Q':
        centre.addRoundedRect(QRectF(s, s, w - 2 * s, h - 2 * s), 20, 20);
        centre.moveTo(w * 0.58, h * 0.7);
        centre.lineTo(w + 2, h + 4);
        break;
    case 'U':
        centre.moveTo(s, -s);
        centre.lineTo(s, h - 28);
        centre.cubicTo(s, h - s + 2, w - s, h - s + 2, w - s, h - 28);
        centre.lineTo(w - s, -s);
        break;
    case 'O':
        centre.addRoundedRect(QRectF(s, s, w - 2 * s, h - 2 * s), 20, 20);
        break;
    case 'R':
        centre.moveTo(s, h + s);
        centre.lineTo(s, s);
        centre.lineTo(w - 24, s);
        centre.cubicTo(w - s + 2, s, w - s + 2, h * 0.5, w - 24, h * 0.5);
        centre.lineTo(s, h * 0.5);
        centre.moveTo(w * 0.45, h * 0.5);
        centre.lineTo(w - s + 4, h + s);
        break;
    case 'V':
        centre.moveTo(s - 2, -s);
        centre.lineTo(w / 2, h - s);
        centre.lineTo(w - s + 2, -s);
        break;
    case 'E':
        centre.moveTo(w + s, s);
        centre.lineTo(s, s);
        centre.lineTo(s, h - s);
        centre.lineTo(w + s, h - s);
        centre.moveTo(s, h * 0.5);
        centre.lineTo(w - 10, h * 0.5);
        break;
    case 'X':
        centre.moveTo(s - 2, -s);
        centre.lineTo(w - s + 2, h + s);
        centre.moveTo(w - s + 2, -s);
        centre.lineTo(s - 2, h + s);
        break;
    default:
        throw std::invalid_argument(std::string("no lettering for '") + letter + "'");
    }
    QPainterPathStroker stroker;
    stroker.setWidth(kStroke);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    QPainterPath box;
    // The Q's tail may dip below the line; everything else is cut square.
    box.addRect(QRectF(0, 0, w + (letter == 'Q' ? 6 : 0), h + (letter == 'Q' ? 6 : 0)));
    return stroker.createStroke(centre).united(QPainterPath()).intersected(box).simplified();
}

QRectF TTitleArtist::NameBox()
{
    const double total = 7 * kLetterWidth + 6 * kLetterGap;
    return QRectF((kWidth - total) / 2, kNameTop, total, kLetterHeight);
}

std::vector<QRgb> TTitleArtist::Quantize(const QImage& picture, int count)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> samples;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = (y / 2) % 2; x < image.width(); x += 2)
            samples.push_back(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]);
    if (samples.empty() || count < 1)
        return {};
    // Start from samples spread evenly over the brightness order.
    std::vector<QRgb> sorted = samples;
    std::sort(sorted.begin(), sorted.end(), [](QRgb a, QRgb b) { return Luminance(a) < Luminance(b); });
    std::vector<TRgbF> centres(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QRgb c = sorted[static_cast<std::size_t>((2 * i + 1) * sorted.size() / (2 * count))];
        centres[static_cast<std::size_t>(i)] = {double(qRed(c)), double(qGreen(c)), double(qBlue(c))};
    }
    std::vector<TRgbF> sums(centres.size());
    std::vector<int> counts(centres.size());
    for (int round = 0; round < 6; ++round) {
        std::fill(sums.begin(), sums.end(), TRgbF{});
        std::fill(counts.begin(), counts.end(), 0);
        for (QRgb s : samples) {
            std::size_t best = 0;
            double bestDistance = std::numeric_limits<double>::max();
            for (std::size_t k = 0; k < centres.size(); ++k) {
                const double dr = qRed(s) - centres[k].r, dg = qGreen(s) - centres[k].g, db = qBlue(s) - centres[k].b;
                const double d = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = k;
                }
            }
            sums[best].r += qRed(s);
            sums[best].g += qGreen(s);
            sums[best].b += qBlue(s);
            ++counts[best];
        }
        for (std::size_t k = 0; k < centres.size(); ++k)
            if (counts[k] > 0)
                centres[k] = {sums[k].r / counts[k], sums[k].g / counts[k], sums[k].b / counts[k]};
    }
    std::vector<QRgb> colours;
    for (const TRgbF& c : centres)
        colours.push_back(ToRgb(c));
    return colours;
}

TTitleArtist::TTitleArtist() : colour_(kWidth, kHeight, QImage::Format_RGB32)
{
    PaintSky(colour_);
    const QPointF planet(545, 585);
    const double radius = 285, ringX = 420, ringY = 64, tilt = 27;
    {
        QPainter p(&colour_);
        p.setRenderHint(QPainter::Antialiasing);
        PaintRing(p, planet, ringX, ringY, tilt, false);
    }
    PaintPlanet(colour_, planet, radius);
    {
        QPainter p(&colour_);
        p.setRenderHint(QPainter::Antialiasing);
        PaintRing(p, planet, ringX, ringY, tilt, true);
    }
    PaintName(colour_);

    const std::vector<QRgb> colours = Quantize(colour_, 236);
    for (int i = 0; i < 236 && i < static_cast<int>(colours.size()); ++i)
        palette_.Set(10 + i, colours[static_cast<std::size_t>(i)]);
}

QImage TTitleArtist::Picture() const
{
    // Error diffusion keeps the nebula's gradients smooth on 256 colours.
    const TIndexMapper mapper(palette_, TIndexMapper::Span(0, 255));
    QImage picture = NewIndexed(kWidth, kHeight, palette_);
    std::vector<TRgbF> error(static_cast<std::size_t>((kWidth + 2) * 2));
    auto err = [&](int row, int x) -> TRgbF& { return error[static_cast<std::size_t>((row % 2) * (kWidth + 2) + x + 1)]; };
    for (int y = 0; y < kHeight; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(colour_.constScanLine(y));
        for (int x = -1; x <= kWidth; ++x)
            err(y + 1, x) = {};
        for (int x = 0; x < kWidth; ++x) {
            const TRgbF& e = err(y, x);
            const TRgbF want{qRed(in[x]) + e.r, qGreen(in[x]) + e.g, qBlue(in[x]) + e.b};
            const int index = mapper.Nearest(ToRgb(want));
            picture.scanLine(y)[x] = static_cast<uchar>(index);
            const QRgb got = palette_[index];
            const TRgbF diff{want.r - qRed(got), want.g - qGreen(got), want.b - qBlue(got)};
            auto spread = [&](int row, int dx, double k) {
                TRgbF& t = err(row, x + dx);
                t.r += diff.r * k;
                t.g += diff.g * k;
                t.b += diff.b * k;
            };
            spread(y, 1, 7.0 / 16);
            spread(y + 1, -1, 3.0 / 16);
            spread(y + 1, 0, 5.0 / 16);
            spread(y + 1, 1, 1.0 / 16);
        }
    }
    return picture;
}

} // namespace qx::art
