#pragma once

#include <cstdint>

#include <QImage>

#include "render/ColorPalette.h"

namespace qx {

// Shows an 8-bit frame (Width x Height indices, top row first, rows packed)
// as an indexed image whose colour table is the palette. The pixels are
// copied, so the image outlives the frame.
QImage FrameToImage(const uint8_t* bits, int32_t width, int32_t height, const TColorPalette& palette);

// The same frame turned into 32-bit pixels through the palette, row by row
// into Out (Width x Height values, 0xAARRGGBB).
void FrameToArgb(const uint8_t* bits, int32_t width, int32_t height, const TColorPalette& palette, uint32_t* out);

} // namespace qx
