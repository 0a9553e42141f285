#pragma once

#include "tools/assetgen/ArtPalette.h"

#include <QImage>

#include <vector>

namespace qx::art {

// Maps RGB colours to the nearest of a chosen set of palette entries, so a
// picture drawn in full colour lands on the entries meant for it (a red
// player's ship never borrows the orange player's entry).
class TIndexMapper {
public:
    TIndexMapper(const TArtPalette& palette, std::vector<int> candidates);

    // Every entry from first to last (inclusive).
    static std::vector<int> Span(int first, int last);

    int Nearest(QRgb colour) const;
    const TArtPalette& Palette() const { return palette_; }

private:
    const TArtPalette& palette_;
    std::vector<int> candidates_;
};

// A blank 8-bit picture with the palette as its colour table, every pixel 0.
QImage NewIndexed(int width, int height, const TArtPalette& palette);

// Copies an ARGB picture into `target` at (x, y): pixels with less than
// `alphaCut` (0..255) of cover stay as they are; the others take the nearest
// candidate of the colour un-premultiplied, so anti-aliased edges keep the
// colour of their shape rather than fading toward black.
void PutArgb(QImage& target, int x, int y, const QImage& argb, const TIndexMapper& mapper, int alphaCut = 110);

// A whole-number enlargement in full colour, for people to look at.
QImage Enlarged(const QImage& picture, int factor);

} // namespace qx::art
