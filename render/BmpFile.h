#pragma once

#include <string>
#include <string_view>

#include "render/IndexedBitmap.h"

namespace qx {

// Reads an uncompressed 8-bit BMP image (the sprite sheets, tiles and
// pictures the art generator writes), rows in either order. Anything else,
// or a damaged file, throws ERenderError with a message that says why.
TIndexedBitmap ReadBmp(std::string_view data);
TIndexedBitmap LoadBmpFile(const std::string& path);

// Writes the picture as an uncompressed bottom-up 8-bit BMP with its colour table.
std::string WriteBmp(const TIndexedBitmap& bitmap);
void SaveBmpFile(const TIndexedBitmap& bitmap, const std::string& path);

} // namespace qx
