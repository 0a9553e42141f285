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
#include "bench/common/BenchGalaxy.h"
#include "render/GameBoard.h"
#include "render/qt/BoardPicture.h"
#include "render/qt/GameFonts.h"

namespace {

using qx::bench::BuildGalaxy;
using qx::bench::kShips;
using qx::bench::kSystems;

using Clock = std::chrono::steady_clock;

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
