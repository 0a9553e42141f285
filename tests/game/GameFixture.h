#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "game/AutoBuildTable.h"
#include "game/BuildDefaults.h"
#include "game/CommandInput.h"
#include "game/GameSounds.h"
#include "render/GameBoard.h"
#include "tests/engine/TestGalaxy.h"
#include "tests/render/TinyBoardArt.h"

namespace qx::test {

// Remembers every sound the game asked for.
struct RecordingSounds : IGameSounds {
    struct Played {
        TGameSound Sound;
        int32_t Pan;
        int32_t Pct;
    };
    std::vector<Played> played;
    std::vector<std::string> loops;

    void Play(TGameSound sound, int32_t pan, int32_t pct) override { played.push_back({sound, pan, pct}); }
    void StartLoop(TGameSound sound) override { loops.push_back(std::string("start ") + GameSoundName(sound)); }
    void StopLoop(TGameSound sound) override { loops.push_back(std::string("stop ") + GameSoundName(sound)); }

    std::vector<TGameSound> Sounds() const {
        std::vector<TGameSound> sounds;
        for (const Played& p : played) sounds.push_back(p.Sound);
        return sounds;
    }
    TGameSound Last() const { return played.empty() ? TGameSound::Button : played.back().Sound; }
};

// A small galaxy seen by player 0, with the command input wired to a real
// board and an order list instead of a clock.
struct InputScene {
    TestGalaxy galaxy{2, 20, 20};
    TGameBoard board{BoardArt(), nullptr};
    TBuildDefaults defaults;
    TAutoBuildTable autoBuild;
    TCommandInput input{galaxy.engine, defaults, autoBuild};
    RecordingSounds sounds;
    std::vector<std::string> orders;
    bool running = true;

    InputScene() {
        galaxy.engine.SetCurrentPlayer(galaxy.P(0));
        input.Board = &board;
        input.Sounds = &sounds;
        input.AddOrder = [this](const std::string& order) { orders.push_back(order); };
        input.ClockRunning = [this] { return running; };
        input.AttachBoard(board.Surface());
        board.SetView(0, 0, 600, 600);
    }
    TPlayer* Me() { return galaxy.P(0); }
    TPlayer* Enemy() { return galaxy.P(1); }
    TStarShip* Ship(TPlayer* owner, TShipType type, int x, int y, int engines = 5, int value = 3) {
        return galaxy.Ship(owner, type, x, y, engines, value);
    }
    // Shows the galaxy: every ship visible to everybody, sprites made.
    void Show() {
        galaxy.SeeAll();
        for (int i = 0; i < galaxy.engine.WormholeCount(); ++i)
            galaxy.engine.GetWormhole(i)->Visible.fill(true);
        for (int i = 0; i < galaxy.engine.StarSystemCount(); ++i)
            galaxy.engine.GetStarSystem(i)->Visible.fill(true);
        board.Show(galaxy.engine);
        board.RenderFrames(1);  // new sprites join their layers
    }
    void Click(int x, int y, TShiftState shift = 0) {
        input.BoardPress(shift);
        input.BoardClick(x, y, shift);
    }
    // A press and release through the board's own mouse handling.
    void MouseClick(int x, int y, TShiftState shift = 0) {
        const TPoint p = TGameBoard::PixelPosition(x, y);
        board.Surface().MouseDown(TMouseButton::mbLeft, shift, p.X, p.Y);
        board.Surface().MouseUp(TMouseButton::mbLeft, shift, p.X, p.Y);
    }
    void MouseDrag(int x1, int y1, int x2, int y2, TShiftState shift = 0) {
        const TPoint a = TGameBoard::PixelPosition(x1, y1), b = TGameBoard::PixelPosition(x2, y2);
        board.Surface().MouseDown(TMouseButton::mbLeft, shift, a.X, a.Y);
        board.Surface().MouseMove(shift, b.X, b.Y);
        board.Surface().MouseUp(TMouseButton::mbLeft, shift, b.X, b.Y);
    }
    void SelectShip(const TStarShip* ship) { Click(ship->X, ship->Y); }
    std::vector<std::string> TakeOrders() { return std::exchange(orders, {}); }
};

// A folder of its own for one test, removed afterwards.
struct TempFolder {
    std::filesystem::path path;
    TempFolder() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path = std::filesystem::temp_directory_path() /
               (std::string("qxgame-") + test->test_suite_name() + "-" + test->name() + "-" +
                std::to_string(::getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string File(const std::string& name, const std::string& text = "x") const {
        const std::filesystem::path file = path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }
};

} // namespace qx::test
