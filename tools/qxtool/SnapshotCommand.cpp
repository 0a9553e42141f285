// qxtool snapshot: draws the board of a game state as a player sees it and
// writes it as a PNG picture, without a display. It needs Qt's image and
// font code, so it is left out of a build without Qt.
#if __has_include(<QImage>)
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>

#include "Arguments.h"
#include "Command.h"
#include "engine/CharMatrix.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "base/FieldCodec.h"
#include "engine/SavedGame.h"
#include "base/AtomicFile.h"
#include "render/GameBoard.h"
#include "render/qt/BoardPicture.h"
#include "render/qt/GameFonts.h"

#if __has_include("render/StrategicMap.h") && __has_include("render/RgbPixelCanvas.h")
#define QX_SNAPSHOT_STRATEGIC_MAP 1
#include "render/RgbPixelCanvas.h"
#include "render/StrategicMap.h"
#endif

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool snapshot STATE --out FILE.png [--player P] [--view X,Y,W,H] [--frames N]\n"
    "                       [--map FILE.png] [--seed S] [--data DIR]\n"
    "Draws the galaxy board of a game state text (a scrambled saved game when STATE ends in .qx)\n"
    "and writes it as a PNG picture. Needs no display.\n"
    "Options:\n"
    "  --out FILE.png  the picture to write (required)\n"
    "  --player P      draw what player index P sees (default: everything, as when\n"
    "                  only computer players play)\n"
    "  --view X,Y,W,H  the part of the board in pixels (cells are 30 x 30; default: the\n"
    "                  whole map, at most 4096 x 4096 pixels from the top-left)\n"
    "  --frames N      frames drawn before the picture is taken (1..1000, default 30)\n"
#ifdef QX_SNAPSHOT_STRATEGIC_MAP
    "  --map FILE.png  also write the strategic map (177 x 145 pixels, as in the game window,\n"
    "                  with the view's frame; ships shown; scanners for --player)\n"
#else
    "  --map FILE.png  also write the strategic map (not available in this build)\n"
#endif
    "  --seed S        seed of the random generator (background tiles, facings, effects)\n"
    "  --data DIR      folder with the palette and pictures (default: ../data beside qxtool)\n"
    "Exit status: 0 on success, 1 for bad input, 2 for bad usage.\n";

constexpr int32_t kMaxDefaultSide = 4096;
constexpr int32_t kMaxSide = 8192;

struct TView {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

TView ParseView(const std::string& text) {
    std::string_view rest = text;
    std::vector<int32_t> parts;
    while (true) {
        const size_t comma = rest.find(',');
        int32_t value = 0;
        if (!TextToInt(rest.substr(0, comma), value))
            throw ToolError{"option --view: '" + text + "' is not X,Y,W,H in whole pixels", 2};
        parts.push_back(value);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    if (parts.size() != 4) throw ToolError{"option --view: '" + text + "' is not X,Y,W,H in whole pixels", 2};
    const TView view{parts[0], parts[1], parts[2], parts[3]};
    if (view.Width < 1 || view.Height < 1 || view.Width > kMaxSide || view.Height > kMaxSide)
        throw ToolError{"option --view: width and height must lie in 1.." + std::to_string(kMaxSide), 2};
    if (std::abs(int64_t{view.X}) > 1000000 || std::abs(int64_t{view.Y}) > 1000000)
        throw ToolError{"option --view: X and Y must lie in -1000000..1000000", 2};
    return view;
}

std::string DefaultDataFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "data";
    return (self.parent_path().parent_path() / "data").string();
}

void LoadGame(const std::string& path, TQuorvexEngine& engine, TCharMatrix& map) {
    engine.CharMatrix = &map;
    try {
        TSavedGame::LoadFile(path, engine);
    } catch (const ESavedGameError& error) {
        throw ToolError{error.what(), 1};
    }
}

// Everything is shown when every player is a computer player; a chosen
// player is the one human at this machine.
void ChooseViewer(TQuorvexEngine& engine, const std::optional<std::string>& player) {
    if (!player) {
        for (int i = 0; i < engine.PlayerCount(); ++i) engine.GetPlayer(i)->Computer = true;
        engine.SetCurrentPlayer(nullptr);
    } else {
        int32_t index = -1;
        if (!TextToInt(*player, index) || !engine.PlayerOrNull(index))
            throw ToolError{"option --player: there is no player " + *player, 1};
        TPlayer* viewer = engine.GetPlayer(index);
        viewer->Computer = false;
        engine.SetCurrentPlayer(viewer);
    }
    engine.UpdateVisibility();
}

void SavePicture(const QImage& picture, const std::string& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG"))
        throw ToolError{"cannot write " + path + ": the picture could not be encoded", 1};
    try {
        WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    } catch (const EFileError& error) {
        throw ToolError{std::string("cannot write ") + path + " (" + error.what() + ")", 1};
    }
}

#ifdef QX_SNAPSHOT_STRATEGIC_MAP
// The strategic map at the game window's size, framing the board's view.
QImage StrategicMapPicture(TQuorvexEngine& engine, TCharMatrix& map, TColorPalette& palette, TGameBoard& board,
                           bool scanners) {
    constexpr int32_t kWidth = 177, kHeight = 145;
    TStrategicMap strategic;
    strategic.QuorvexEngine = &engine;
    strategic.CharMatrix = &map;
    strategic.SetColorPalette(&palette);
    strategic.SetSquareGridSpriteSurface(&board.Surface());
    strategic.ShowStarShips = true;
    strategic.ShowScanners = scanners;
    strategic.SetSize(kWidth, kHeight);
    TRgbPixelCanvas canvas(kWidth, kHeight);
    strategic.Paint(canvas);
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            const TColor c = canvas.Pixel(x, y);
            picture.setPixel(x, y, qRgb(c & 255, (c >> 8) & 255, (c >> 16) & 255));
        }
    return picture;
}
#endif

int RunSnapshot(const std::vector<std::string>& args) {
    Arguments arguments(args);
    if (arguments.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const std::optional<std::string> out = arguments.Value("--out");
    const std::optional<std::string> player = arguments.Value("--player");
    const std::optional<std::string> viewText = arguments.Value("--view");
    const int64_t frames = arguments.Int("--frames", 30, 1, 1000);
    const std::optional<std::string> mapOut = arguments.Value("--map");
    const std::optional<std::string> seed = arguments.Value("--seed");
    const std::optional<std::string> data = arguments.Value("--data");
    const std::string path = arguments.Positional(1, 1).front();
    if (!out) throw ToolError{"option --out is required (see --help)", 2};
#ifndef QX_SNAPSHOT_STRATEGIC_MAP
    if (mapOut) throw ToolError{"option --map: the strategic map is not part of this build", 1};
#endif
    TView shown = viewText ? ParseView(*viewText) : TView{};
    const int64_t seedValue = seed ? ParseInt("option --seed", *seed, 0, INT64_MAX) : -1;

    TQuorvexEngine engine;
    TCharMatrix map;
    LoadGame(path, engine, map);
    ChooseViewer(engine, player);

    try {
        EnsureGuiApplication();
        const std::string folder = data ? *data : DefaultDataFolder();
        InstallDisplayFont(folder + "/finalnew.ttf");
        TBoardArt art;
        art.Load(folder);
        TGameBoard board(art, QtCanvasFactory());
        board.Surface().ShowCursor = false;
        if (seedValue >= 0) board.Surface().PresentationRandom().Seed(static_cast<uint64_t>(seedValue));
        board.Show(engine);
        if (!viewText) {
            // Map sizes come from the file: widen before multiplying.
            const auto side = [](int32_t cells) {
                const int64_t pixels = int64_t{cells} * TGameBoard::CellSize;
                return static_cast<int32_t>(std::clamp<int64_t>(pixels, 1, kMaxDefaultSide));
            };
            shown = {0, 0, side(engine.MapWidth), side(engine.MapHeight)};
        }
        board.SetView(shown.X, shown.Y, shown.Width, shown.Height);
        board.RenderFrames(static_cast<int32_t>(frames));
        SavePicture(BoardPicture(board), *out);
#ifdef QX_SNAPSHOT_STRATEGIC_MAP
        if (mapOut) SavePicture(StrategicMapPicture(engine, map, art.Palette, board, player.has_value()), *mapOut);
#endif
        std::cout << "wrote " << *out << " (" << shown.Width << " x " << shown.Height << ")\n";
    } catch (const ERenderError& error) {
        throw ToolError{error.what(), 1};
    }
    return 0;
}

} // namespace

QX_COMMAND(snapshot, "snapshot", "draw the board of a game state as a PNG picture", RunSnapshot);

} // namespace qx::tool

#endif
