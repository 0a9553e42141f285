// Times the way of one frame to the screen: the board's frame thread asks for
// a frame, the main thread renders it (tiles, 1000 ships with captions and
// rings, 200 star systems) into the 8-bit frame, the board widget is told,
// and its paint shows the frame as an indexed picture at 1920 x 1080. Prints
// the median, 95th percentile and worst of: frame start to end of paint, the
// frame routine alone, end of frame to start of paint (the event loop's
// hand-over), and the paint alone. Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.
//
// Usage: board_widget_bench [--frames N] [--data DIR] [--interval MS] [--indexed]
// (--indexed: the widget hands the indexed picture to Qt to convert at each
// paint, instead of its own palette lookup into a kept 32-bit picture)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>

#include "app/BoardWidget.h"
#include "app/QtMainThreadExecutor.h"
#include "engine/CharMatrix.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "bench/common/BenchGalaxy.h"
#include "render/GameBoard.h"
#include "render/qt/BoardPicture.h"
#include "render/qt/GameFonts.h"

namespace {

using qx::bench::BuildGalaxy;
using qx::bench::kShips;
using qx::bench::kSystems;

using Clock = std::chrono::steady_clock;

struct TStats {
    double Median, P95, Worst;
};

TStats Stats(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    if (values.empty()) return {0, 0, 0};
    return {values[values.size() / 2], values[std::min(values.size() - 1, values.size() * 95 / 100)], values.back()};
}

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

} // namespace

int main(int argc, char** argv) {
    int frames = 300;
    int interval = 16;
    bool indexed = false;
    std::string data = std::string(QX_BINARY_DIR) + "/data";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) {
            frames = std::max(10, std::atoi(argv[++i]));
        } else if (arg == "--interval" && i + 1 < argc) {
            interval = std::max(0, std::atoi(argv[++i]));
        } else if (arg == "--indexed") {
            indexed = true;
        } else if (arg == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else {
            std::fprintf(stderr, "usage: board_widget_bench [--frames N] [--data DIR] [--interval MS] [--indexed]\n");
            return 2;
        }
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    try {
        qx::InstallDisplayFont(data + "/finalnew.ttf");
        qx::TQuorvexEngine engine;
        engine.RulesRandom.Seed(1);
        qx::TCharMatrix map;
        BuildGalaxy(engine, map);
        qx::TBoardArt art;
        art.Load(data);
        engine.ColorPalette = &art.Palette;
        auto executor = std::make_shared<qx::TQtMainThreadExecutor>();
        qx::TGameBoard board(art, qx::QtCanvasFactory(), executor);
        board.Show(engine);
        board.Surface().AnimationInterval = interval;
        qx::TBoardWidget widget(board);
        widget.PaintIndexed = indexed;
        widget.resize(1920, 1080);
        widget.show();
        QApplication::processEvents();
        // The first frames add the sprites and rasterise each caption once.
        board.RenderFrames(3);

        // Frame start (the board's own BeforeRender runs first), frame end,
        // paint start and end.
        Clock::time_point frameStart, frameEnd, paintStart;
        bool framePending = false;
        std::vector<double> total, render, handover, paint;
        const auto before = board.Surface().BeforeRender;
        board.Surface().BeforeRender = [&](qx::TObject* sender) {
            frameStart = Clock::now();
            if (before) before(sender);
        };
        const auto present = board.Surface().OnPresent;
        board.Surface().OnPresent = [&](qx::TObject* sender) {
            frameEnd = Clock::now();
            framePending = true;
            paintStart = {};
            if (present) present(sender);
        };
        class TPaintClock : public QObject {
        public:
            std::function<void()> OnPaint;
            bool eventFilter(QObject*, QEvent* event) override {
                if (event->type() == QEvent::Paint && OnPaint) OnPaint();
                return false;
            }
        } paintClock;
        paintClock.OnPaint = [&] { paintStart = Clock::now(); };
        widget.installEventFilter(&paintClock);
        widget.OnPainted = [&] {
            if (!framePending) return;
            framePending = false;
            const Clock::time_point end = Clock::now();
            total.push_back(Ms(frameStart, end));
            render.push_back(Ms(frameStart, frameEnd));
            handover.push_back(Ms(frameEnd, paintStart));
            paint.push_back(Ms(paintStart, end));
        };

        board.Surface().SetActive(true);
        QElapsedTimer timer;
        timer.start();
        while (static_cast<int>(total.size()) < frames && timer.elapsed() < 120000)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        board.Surface().SetActive(false);
        const double seconds = timer.elapsed() / 1000.0;

        std::printf("board widget 1920x1080, %d star systems, %d ships, captions and rings on, frame interval %d ms, "
                    "%s\n",
                    kSystems, kShips, interval,
                    indexed ? "indexed picture drawn by Qt" : "palette looked up into a kept 32-bit picture");
        std::printf("%zu frames painted in %.1f s (%.1f per second)\n", total.size(), seconds,
                    total.size() / std::max(seconds, 0.001));
        const auto row = [](const char* what, const std::vector<double>& values) {
            const TStats s = Stats(values);
            std::printf("%-34s median %7.3f ms   95%% %7.3f ms   worst %7.3f ms\n", what, s.Median, s.P95, s.Worst);
        };
        row("frame start to end of paint:", total);
        row("  frame routine (8-bit frame):", render);
        row("  hand-over to the paint:", handover);
        row("  paint (the frame shown):", paint);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "board_widget_bench: %s\n", error.what());
        return 1;
    }
}
