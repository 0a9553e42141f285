#pragma once

#include "tools/assetgen/ArtPalette.h"

#include <QImage>

namespace qx::art {

// The board's backgrounds and fixtures: the tile sheet, the StarSystem sheet
// and the wormhole strip.
class TSpaceArtist {
public:
    static constexpr int kCell = 30;
    static constexpr int kTilesX = 40, kTilesY = 6;
    static constexpr int kOpenTiles = 34; // columns 0..33 open space, 34..39 nebula
    static constexpr int kSystemWidth = 32, kSystemRows = 12;
    static constexpr int kWormholeFrames = 8;

    explicit TSpaceArtist(const TArtPalette& palette) : palette_(palette) {}

    // 1200 x 180: column = tile, row = variant.
    QImage Tiles() const;
    // 32 x 360: rows 0..9 owned by that player, 10 unowned, 11 out of sight.
    QImage StarSystems() const;
    // 240 x 30: eight frames of a turning vortex, transparent entry 0 around it.
    QImage Wormhole() const;

private:
    QImage OpenSpaceTile(int column, int variant) const;
    QImage NebulaTile(int column, int variant) const;

    const TArtPalette& palette_;
};

} // namespace qx::art
