#pragma once

#include <QList>
#include <QRgb>

#include <array>
#include <string>
#include <vector>

namespace qx::art {

// Where the game's drawing code expects which colour in the main palette.
// The fixed entries are the ones the board, the sprites and the order lines
// name by number; the ranges after them are ours, chosen for the artwork.
namespace pal {

// Players 0..9 draw in these entries (several are static display colours).
inline constexpr std::array<int, 10> kPlayer = {249, 251, 254, 16, 253, 6, 5, 252, 250, 80};

inline constexpr int kBlack = 0;
inline constexpr int kSilver = 7;        // unowned StarSystems
inline constexpr int kGrey = 248;        // StarSystems out of sight
inline constexpr int kWhite = 255;       // selected ship frame

inline constexpr int kCommandRing = 10;
inline constexpr int kPulseFirst = 10, kPulseLast = 22;
inline constexpr int kGravSparkFirst = 16, kGravSparkLast = 32;
inline constexpr int kStarTilleryRing = 22;
inline constexpr int kCloakDetectorRing = 30;
inline constexpr int kDragLine = 32;
inline constexpr int kSelectionBand = 101;
inline constexpr int kTransportLine = 110;
inline constexpr int kTugSparkFirst = 121, kTugSparkLast = 126;
inline constexpr int kScannerRing = 183;
inline constexpr int kGrid = 187;
inline constexpr int kGenerateSparkFirst = 201, kGenerateSparkLast = 209;
inline constexpr int kCursor = 214;
inline constexpr int kShieldFirst = 224, kShieldLast = 228;
inline constexpr int kCloakFirst = 241, kCloakLast = 245;

// Our own ranges.
inline constexpr int kPlayerShadeFirst = 33;   // 3 per player: dark, mid, light
inline constexpr int kOutline = 63;            // near black, never the transparent 0
inline constexpr int kHullGreyFirst = 64, kHullGreyLast = 79;
inline constexpr int kSpaceFirst = 81, kSpaceLast = 88;      // faint dust
inline constexpr int kStarFirst = 89, kStarLast = 100;       // star colours
inline constexpr int kGlowFirst = 102, kGlowLast = 109;      // engines, cockpit
inline constexpr int kWormFirst = 111, kWormLast = 120;
inline constexpr int kNebulaFirst = 127, kNebulaLast = 150;
inline constexpr int kSunFirst = 151, kSunLast = 170;
inline constexpr int kLedFirst = 215, kLedLast = 219;        // digit strip

// The player's shade entries: 0 dark, 1 mid, 2 light.
constexpr int PlayerShade(int player, int shade) { return kPlayerShadeFirst + player * 3 + shade; }

} // namespace pal

// A 256-entry palette with the 20 static colours of a classic 8-bit display
// at 0..9 and 246..255.
class TArtPalette {
public:
    TArtPalette();

    // The game palette: every entry the drawing rules name has its colour.
    static TArtPalette Main();

    QRgb operator[](int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    void Set(int index, QRgb colour) { entries_.at(static_cast<std::size_t>(index)) = colour | 0xFF000000u; }
    // Writes a ramp from..to into first..last (inclusive), colours blended linearly.
    void Ramp(int first, int last, QRgb from, QRgb to);

    QList<QRgb> ColourTable() const;
    // 256 lines "r,g,b", the text form the game's palette component reads.
    std::string ToText() const;
    // Parses that text; throws std::runtime_error unless it has 256 valid lines.
    static TArtPalette FromText(const std::string& text);

    // The static display colours, for the tests and for building palettes.
    static QRgb StaticColour(int index);
    static bool IsStatic(int index) { return index <= 9 || index >= 246; }

    // The entries that carry player `player`'s colour: its base and its shades.
    static std::vector<int> PlayerEntries(int player);

private:
    std::array<QRgb, 256> entries_{};
};

// Helpers on colours.
QRgb Mix(QRgb a, QRgb b, double t);
double Luminance(QRgb c);
double ColourDistance(QRgb a, QRgb b);

} // namespace qx::art
