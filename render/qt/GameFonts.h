#pragma once

#include <string>

#include <QFont>

#include "render/PlatformCanvas.h"

namespace qx {

// The game names two fonts: "Final Frontier" (StarSystem names, a display
// font shipped beside the program as finalnew.ttf) and "Small Fonts" (the
// 6-point captions). Neither exists on a Linux desktop, so each is mapped to a
// free font that Qt can find; sizes are points at 96 dots per inch, turned
// into whole pixels so the captions look the same on every screen.

// Registers a font file as the stand-in for "Final Frontier". False when the
// file is missing or not a font; the built-in substitute stays in use.
bool InstallDisplayFont(const std::string& path);

// The Qt font for a game font description: the mapped family, whole-pixel
// size, no anti-aliasing.
QFont GameFont(const TFont& font);

// Qt finds and rasterises fonts only inside a GUI application. Creates one
// on the offscreen platform (no display needed) when the program has none
// yet; it lives until the process ends. Throws ERenderError when a non-GUI
// Qt application is already running.
void EnsureGuiApplication();

// Pixel height for a point size (96 dots per inch), at least 1.
int FontPixelSize(int points);

} // namespace qx
