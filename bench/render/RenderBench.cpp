// Times one frame of a 1920 x 1080 board holding 200 star systems and 1000
// ships with their captions and range rings, against two floors measured in
// the same run: copying the frame's bytes, and converting the 8-bit frame to
// 32-bit pixels through the palette (what showing it costs at least).
//
// Usage: render_bench [--frames N] [--data DIR] [--out FILE.png]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QString>

#include "engine/CharMatrix.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "base/Random.h"
#include "render/qt/FrameImage.h"
#include "render/GameBoard.h"
#include "render/qt/BoardPicture.h"
#include "render/qt/GameFonts.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kColumns = 64;  // 1920 / 30
constexpr int kRows = 36;     // 1080 / 30
constexpr int kSystems = 200;
constexpr int kShips = 1000;

// Ship types with a range ring when the viewer owns them, and some without.
const qx::TShipType kTypes[] = {qx::TShipType::ScanShip,     qx::TShipType::WarShip,
                                qx::TShipType::CommandShip,  qx::TShipType::Freighter,
                                qx::TShipType::CloakDetector, qx::TShipType::Drone,
                                qx::TShipType::StarTillery,  qx::TShipType::BattleStation};

void BuildGalaxy(qx::TQuorvexEngine& engine, qx::TCharMatrix& map) {
    engine.CharMatrix = &map;
    engine.MapWidth = kColumns;
    engine.MapHeight = kRows;
    map.SetSize(kColumns, kRows);
    map.Fill('-');
    for (int i = 0; i < 10; ++i) {
        auto player = std::make_unique<qx::TPlayer>(&engine);
        player->Index = i;
        player->Name = "Player " + std::to_string(i + 1);
        player->Computer = i != 0;
        engine.AddPlayer(std::move(player));
    }
    // Every cell holds at most one object: systems first, then ships.
    std::vector<int> cells(kColumns * kRows);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<int>(i);
    for (size_t i = cells.size() - 1; i > 0; --i)
        std::swap(cells[i], cells[static_cast<size_t>(engine.RulesRandom.Random(static_cast<int>(i) + 1))]);
    size_t next = 0;
    for (int i = 0; i < kSystems; ++i, ++next) {
        auto system = std::make_unique<qx::TStarSystem>(&engine);
        system->X = cells[next] % kColumns;
        system->Y = cells[next] / kColumns;
        system->Index = i;
        system->Name = "Sys" + std::to_string(i);
        system->Value = 1 + engine.RulesRandom.Random(20);
        system->Resources = engine.RulesRandom.Random(200);
        system->Shields = engine.RulesRandom.Random(4);
        qx::TStarSystem* added = engine.AddStarSystem(std::move(system));
        added->SetOwner(i % 11 == 10 ? nullptr : engine.GetPlayer(i % 11));
    }
    for (int i = 0; i < kShips; ++i, ++next) {
        auto ship = std::make_unique<qx::TStarShip>(&engine);
        ship->ShipType = kTypes[i % 8];
        ship->X = cells[next] % kColumns;
        ship->Y = cells[next] / kColumns;
        ship->SetEngines(1 + engine.RulesRandom.Random(20));
        ship->SetValue(1 + engine.RulesRandom.Random(4));
        engine.GetPlayer(i % 10)->AddStarShip(std::move(ship));
    }
    // The viewer (player 0) sees and knows everything.
    engine.SetCurrentPlayer(engine.GetPlayer(0));
    engine.UpdateVisibility();
    for (int i = 0; i < engine.StarSystemCount(); ++i) engine.GetStarSystem(i)->Visible[0] = true;
    for (int p = 0; p < engine.PlayerCount(); ++p)
        for (const auto& ship : engine.GetPlayer(p)->StarShips) ship->Visible[0] = ship->Known[0] = true;
}

template <class F>
double Median(int runs, F&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int frames = 200;
    std::string data = std::string(QX_BINARY_DIR) + "/data";
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) {
            frames = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else if (arg == "--out" && i + 1 < argc) {
            out = argv[++i];
        } else {
            std::fprintf(stderr, "usage: render_bench [--frames N] [--data DIR] [--out FILE.png]\n");
            return 2;
        }
    }
    try {
        qx::EnsureGuiApplication();
        qx::TQuorvexEngine engine;
        engine.RulesRandom.Seed(1);
        qx::TCharMatrix map;
        BuildGalaxy(engine, map);
        qx::TBoardArt art;
        art.Load(data);
        qx::TGameBoard board(art, qx::QtCanvasFactory());
        board.Surface().ShowCursor = false;
        engine.CharMatrix = &map;
        board.Show(engine);
        board.SetView(0, 0, 1920, 1080);
        // The first frame adds the sprites and rasterises every caption and
        // ring once; later frames reuse them.
        const double first = Median(1, [&] { board.RenderFrames(1); });
        board.RenderFrames(2);

        const double frame = Median(frames, [&] { board.RenderFrames(1); });
        if (!out.empty() && !qx::BoardPicture(board).save(QString::fromStdString(out), "PNG")) {
            std::fprintf(stderr, "render_bench: cannot write %s\n", out.c_str());
            return 1;
        }
        const uint8_t* bits = board.Surface().FrameBits();
        const size_t size = 1920u * 1080u;
        std::vector<uint8_t> copy(size);
        std::vector<uint32_t> argb(size);
        const double copyFloor = Median(frames, [&] {
            std::memcpy(copy.data(), bits, size);
            // Keep the copy from being optimised away.
            asm volatile("" : : "r"(copy.data()) : "memory");
        });
        const double argbFloor = Median(frames, [&] {
            qx::FrameToArgb(bits, 1920, 1080, art.Palette, argb.data());
            asm volatile("" : : "r"(argb.data()) : "memory");
        });
        // The same frames without text and ellipses: what the 8-bit core costs alone.
        board.Surface().PlatformCanvasFactory = nullptr;
        board.Surface().SetColorPalette(nullptr);  // the next frame rebuilds its canvas
        board.Surface().SetColorPalette(&art.Palette);
        board.RenderFrames(1);
        const double core = Median(frames, [&] { board.RenderFrames(1); });

        std::printf("board 1920x1080, %d star systems, %d ships, captions and rings on; median of %d frames\n",
                    kSystems, kShips, frames);
        std::printf("first frame:      %8.3f ms   (shapes rasterised)\n", first);
        std::printf("frame:            %8.3f ms\n", frame);
        std::printf("  of which 8-bit: %8.3f ms   (sprites, tiles, lines; no text or ellipses)\n", core);
        std::printf("copy frame bytes: %8.3f ms   frame / copy = %.1f\n", copyFloor, frame / copyFloor);
        std::printf("8-bit to 32-bit:  %8.3f ms   frame / convert = %.1f\n", argbFloor, frame / argbFloor);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "render_bench: %s\n", error.what());
        return 1;
    }
}
