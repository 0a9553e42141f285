#include "render/qt/BoardPicture.h"

#include "render/GameBoard.h"
#include "render/qt/FrameImage.h"
#include "render/qt/QtPlatformCanvas.h"

namespace qx {

TSpriteSurface::TPlatformCanvasFactory QtCanvasFactory() {
    return [](TDIBCanvas& frame, TColorPalette& palette) -> std::unique_ptr<PlatformCanvas> {
        return std::make_unique<TQtPlatformCanvas>(frame, palette);
    };
}

QImage BoardPicture(const TGameBoard& board) {
    const TSpriteSurface& surface = board.Surface();
    const uint8_t* bits = surface.FrameBits();
    if (!bits) return {};
    const QImage frame = FrameToImage(bits, surface.Width(), surface.Height(), board.Art().Palette);
    if (frame.width() == board.ViewWidth() && frame.height() == board.ViewHeight()) return frame;
    return frame.copy(0, 0, board.ViewWidth(), board.ViewHeight());
}

} // namespace qx
