#include "render/BoardArt.h"

#include "base/AtomicFile.h"
#include "render/BmpFile.h"

namespace qx {

namespace {

TIndexedBitmap LoadPicture(const std::string& folder, const char* name) {
    const std::string path = folder + "/" + name;
    try {
        return LoadBmpFile(path);
    } catch (const ERenderError& error) {
        throw ERenderError(path + ": " + error.what());
    }
}

} // namespace

void TBoardArt::Load(const std::string& folder) {
    const std::string palettePath = folder + "/MainPalette.txt";
    std::string text;
    try {
        text = ReadWholeFile(palettePath, 1 << 20);
    } catch (const EFileError&) {
        throw ERenderError(palettePath + ": cannot be read");
    }
    bool damaged = false;
    Palette.OnMessage = [&damaged](TObject*, const std::string&) { damaged = true; };
    try {
        Palette.LoadFromText(text);
    } catch (const ERenderError& error) {
        Palette.OnMessage = nullptr;
        throw ERenderError(palettePath + ": " + error.what());
    }
    Palette.OnMessage = nullptr;
    if (damaged) throw ERenderError(palettePath + ": Error Loading Palette Data");
    StarShips = LoadPicture(folder, "StarShips.bmp");
    StarSystems = LoadPicture(folder, "StarSystems.bmp");
    Wormhole = LoadPicture(folder, "Wormhole.bmp");
    Tiles = LoadPicture(folder, "Tiles.bmp");
    Explosion200 = LoadPicture(folder, "Explosion200.bmp");
    Explosion100 = LoadPicture(folder, "Explosion100.bmp");
}

} // namespace qx
