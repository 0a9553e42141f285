#pragma once

#include <QImage>

#include "render/SpriteSurface.h"

namespace qx {

class TGameBoard;

// The board's text and ellipses drawn by Qt into its 8-bit frame.
TSpriteSurface::TPlatformCanvasFactory QtCanvasFactory();

// The board's last frame as an indexed picture the size of its view (null
// before the first frame).
QImage BoardPicture(const TGameBoard& board);

} // namespace qx
