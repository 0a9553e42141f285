#include "tools/assetgen/ArtPalette.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace qx::art {

namespace {

// The twenty colours every classic 8-bit display reserves for itself.
constexpr std::array<QRgb, 20> kStatic = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),     qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128),   qRgb(192, 192, 192),
    qRgb(192, 220, 192), qRgb(166, 202, 240), // 0..9
    qRgb(255, 251, 240), qRgb(160, 160, 164), qRgb(128, 128, 128), qRgb(255, 0, 0),
    qRgb(0, 255, 0),     qRgb(255, 255, 0),   qRgb(0, 0, 255),     qRgb(255, 0, 255),
    qRgb(0, 255, 255),   qRgb(255, 255, 255), // 246..255
};

int Clamp255(double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); }

} // namespace

QRgb Mix(QRgb a, QRgb b, double t)
{
    return qRgb(Clamp255(qRed(a) + (qRed(b) - qRed(a)) * t), Clamp255(qGreen(a) + (qGreen(b) - qGreen(a)) * t),
                Clamp255(qBlue(a) + (qBlue(b) - qBlue(a)) * t));
}

double Luminance(QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); }

double ColourDistance(QRgb a, QRgb b)
{
    // Weighted so that differences the eye sees strongly (green) count more.
    const double dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return std::sqrt(2.0 * dr * dr + 4.0 * dg * dg + 3.0 * db * db) / 3.0;
}

QRgb TArtPalette::StaticColour(int index)
{
    if (index <= 9 && index >= 0)
        return kStatic[static_cast<std::size_t>(index)];
    if (index >= 246 && index <= 255)
        return kStatic[static_cast<std::size_t>(index - 236)];
    throw std::out_of_range("not a static palette entry");
}

TArtPalette::TArtPalette()
{
    // Free entries start as the grey the palette component also starts with.
    for (int i = 0; i < 256; ++i)
        entries_[static_cast<std::size_t>(i)] = IsStatic(i) ? StaticColour(i) : qRgb(i, i, i);
}

void TArtPalette::Ramp(int first, int last, QRgb from, QRgb to)
{
    for (int i = first; i <= last; ++i)
        Set(i, Mix(from, to, last == first ? 0.0 : double(i - first) / double(last - first)));
}

QList<QRgb> TArtPalette::ColourTable() const
{
    QList<QRgb> table;
    table.reserve(256);
    for (QRgb c : entries_)
        table.append(c | 0xFF000000u);
    return table;
}

std::string TArtPalette::ToText() const
{
    std::string text;
    for (QRgb c : entries_)
        text += std::to_string(qRed(c)) + "," + std::to_string(qGreen(c)) + "," + std::to_string(qBlue(c)) + "\n";
    return text;
}

TArtPalette TArtPalette::FromText(const std::string& text)
{
    TArtPalette palette;
    std::istringstream in(text);
    std::string line;
    int index = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (index >= 256)
            throw std::runtime_error("Exactly 256 entries must exist");
        int r = 0, g = 0, b = 0;
        char c1 = 0, c2 = 0;
        std::istringstream fields(line);
        if (!(fields >> r >> c1 >> g >> c2 >> b) || c1 != ',' || c2 != ',' || !fields.eof() || r < 0 ||
            r > 255 || g < 0 || g > 255 || b < 0 || b > 255)
            throw std::runtime_error("bad palette line " + std::to_string(index) + ": \"" + line + "\"");
        palette.Set(index++, qRgb(r, g, b));
    }
    if (index != 256)
        throw std::runtime_error("Exactly 256 entries must exist");
    return palette;
}

std::vector<int> TArtPalette::PlayerEntries(int player)
{
    return {pal::kPlayer.at(static_cast<std::size_t>(player)), pal::PlayerShade(player, 0),
            pal::PlayerShade(player, 1), pal::PlayerShade(player, 2)};
}

TArtPalette TArtPalette::Main()
{
    using namespace pal;
    TArtPalette p;

    // Energy colours: pulsing ships flicker through 10..22, a GravShip's pull
    // sparks run 16..32 from orange through red to violet.
    p.Set(kCommandRing, qRgb(255, 245, 150)); // pale gold: the flagship's reach
    p.Ramp(11, 15, qRgb(170, 255, 120), qRgb(255, 200, 40));
    p.Set(kPlayer[3], qRgb(255, 128, 0)); // 16, orange player
    p.Ramp(17, 21, qRgb(255, 112, 24), qRgb(255, 80, 56));
    p.Set(kStarTilleryRing, qRgb(255, 60, 60)); // weapon range, hot red
    p.Ramp(23, 29, qRgb(255, 64, 110), qRgb(190, 80, 255));
    p.Set(kCloakDetectorRing, qRgb(215, 150, 255)); // pale violet
    p.Ramp(31, 32, qRgb(170, 130, 255), qRgb(130, 140, 255));

    // Player shades: dark, mid and light of each player's base colour.
    for (int player = 0; player < 10; ++player) {
        const QRgb base = player == 9 ? qRgb(255, 150, 190) : p[kPlayer[static_cast<std::size_t>(player)]];
        if (player == 9)
            p.Set(kPlayer[9], base); // 80, pink player
        p.Set(PlayerShade(player, 0), Mix(qRgb(0, 0, 0), base, 0.45));
        p.Set(PlayerShade(player, 1), Mix(qRgb(0, 0, 0), base, 0.72));
        p.Set(PlayerShade(player, 2), Mix(base, qRgb(255, 255, 255), 0.5));
    }

    p.Set(kOutline, qRgb(10, 10, 16));
    p.Ramp(kHullGreyFirst, kHullGreyLast, qRgb(34, 36, 44), qRgb(236, 238, 246));

    // Space: faint blue dust, then star colours at two brightnesses.
    p.Ramp(kSpaceFirst, kSpaceLast, qRgb(6, 8, 22), qRgb(40, 48, 92));
    const std::array<QRgb, 6> stars = {qRgb(255, 255, 255), qRgb(190, 215, 255), qRgb(255, 244, 200),
                                       qRgb(255, 200, 130), qRgb(255, 140, 110), qRgb(150, 180, 255)};
    for (int i = 0; i < 6; ++i) {
        p.Set(kStarFirst + i, stars[static_cast<std::size_t>(i)]);
        p.Set(kStarFirst + 6 + i, Mix(qRgb(0, 0, 0), stars[static_cast<std::size_t>(i)], 0.5));
    }

    p.Set(kSelectionBand, qRgb(255, 215, 70)); // gold
    p.Ramp(kGlowFirst, kGlowLast, qRgb(40, 90, 150), qRgb(225, 245, 255));
    p.Set(kTransportLine, qRgb(90, 200, 255));
    p.Ramp(kWormFirst, kWormLast, qRgb(40, 10, 80), qRgb(255, 220, 255));
    p.Ramp(kTugSparkFirst, kTugSparkLast, qRgb(120, 220, 255), qRgb(235, 255, 250));
    // Nebula clouds: deep blue through violet to a dusky rose.
    for (int i = kNebulaFirst; i <= kNebulaLast; ++i) {
        const double t = double(i - kNebulaFirst) / double(kNebulaLast - kNebulaFirst);
        const QRgb c = t < 0.5 ? Mix(qRgb(8, 6, 26), qRgb(70, 34, 110), t * 2.0)
                               : Mix(qRgb(70, 34, 110), qRgb(170, 90, 150), (t - 0.5) * 2.0);
        p.Set(i, c);
    }
    // Suns: deep red, orange, yellow, white.
    for (int i = kSunFirst; i <= kSunLast; ++i) {
        const double t = double(i - kSunFirst) / double(kSunLast - kSunFirst);
        QRgb c;
        if (t < 0.35)
            c = Mix(qRgb(90, 10, 0), qRgb(230, 90, 10), t / 0.35);
        else if (t < 0.7)
            c = Mix(qRgb(230, 90, 10), qRgb(255, 220, 80), (t - 0.35) / 0.35);
        else
            c = Mix(qRgb(255, 220, 80), qRgb(255, 255, 245), (t - 0.7) / 0.3);
        p.Set(i, c);
    }
    // Fire for the explosions, spread over the remaining free runs.
    p.Ramp(171, 182, qRgb(50, 4, 2), qRgb(200, 40, 6));
    p.Set(kScannerRing, qRgb(60, 230, 160)); // sea green
    p.Ramp(184, 186, qRgb(215, 60, 8), qRgb(235, 90, 12));
    p.Set(kGrid, qRgb(44, 60, 88)); // dim steel blue, seen but not loud
    p.Ramp(188, 200, qRgb(245, 110, 16), qRgb(255, 230, 120));
    p.Ramp(kGenerateSparkFirst, kGenerateSparkLast, qRgb(60, 120, 255), qRgb(200, 235, 255));
    p.Ramp(210, 213, qRgb(255, 240, 180), qRgb(255, 255, 230));
    p.Set(kCursor, qRgb(80, 255, 120)); // bright spring green
    p.Set(kLedFirst + 0, qRgb(0, 34, 8));    // unlit segment
    p.Set(kLedFirst + 1, qRgb(0, 90, 20));
    p.Set(kLedFirst + 2, qRgb(20, 170, 50));
    p.Set(kLedFirst + 3, qRgb(60, 235, 90)); // lit segment
    p.Set(kLedFirst + 4, qRgb(190, 255, 200));
    p.Ramp(220, 223, qRgb(120, 20, 4), qRgb(160, 30, 6));
    // Shield rings ripple through these five as the frame counter runs.
    p.Set(224, qRgb(30, 60, 170));
    p.Set(225, qRgb(60, 110, 225));
    p.Set(226, qRgb(120, 180, 255));
    p.Set(227, qRgb(200, 232, 255));
    p.Set(228, qRgb(90, 145, 235));
    p.Ramp(229, 240, qRgb(255, 180, 60), qRgb(255, 250, 220));
    // Cloaked ships shimmer in pale ghostly blues and lilacs.
    p.Set(241, qRgb(140, 160, 205));
    p.Set(242, qRgb(175, 195, 235));
    p.Set(243, qRgb(210, 220, 250));
    p.Set(244, qRgb(175, 160, 230));
    p.Set(245, qRgb(130, 145, 200));
    return p;
}

} // namespace qx::art
