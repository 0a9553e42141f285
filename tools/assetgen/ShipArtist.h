#pragma once

#include "tools/assetgen/ArtPalette.h"

#include <QImage>

namespace qx::art {

// Draws the StarShip sheet: for every player row, two cells per ship type (the
// ship heading east, then heading south-east), then the unknown-ship symbol.
// Ships are drawn large in full colour, shrunk to their 30 x 30 cell, put on
// the player's own entries and ringed with a dark outline so they read on
// any background.
class TShipArtist {
public:
    static constexpr int kTypes = 22;
    static constexpr int kCell = 30;
    static constexpr int kColumns = 46;
    static constexpr int kRows = 10;
    static constexpr int kUnknownColumn = 44;

    explicit TShipArtist(const TArtPalette& palette) : palette_(palette) {}

    // 1380 x 300, 8-bit, transparent entry 0 around every ship.
    QImage Sheet() const;

    static const char* TypeName(int type);

private:
    // One cell, 8-bit: `type` -1 is the unknown symbol.
    QImage Cell(int type, int player, bool diagonal) const;

    const TArtPalette& palette_;
};

} // namespace qx::art
