#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/QuorvexEngine.h"

namespace qx::test {

struct ToolRun {
    int status = -1;
    std::vector<std::string> lines;
    std::string errors;
};

class QxToolTest : public ::testing::Test {
protected:
    std::filesystem::path dir;

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("qxtool-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::filesystem::path path = dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    // Runs "qxtool ARGS" and collects its output lines, status and errors.
    ToolRun Tool(const std::string& args) {
        const std::string errors = (dir / "stderr.txt").string();
        const std::string command = std::string(QXTOOL_PATH) + " " + args + " 2>" + errors;
        ToolRun run;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return run;
        std::string out;
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        const int raw = ::pclose(pipe);
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
        std::ifstream in(errors);
        std::getline(in, run.errors, '\0');
        return run;
    }

    // A 10 x 10 galaxy of two players: player 0 owns a system at (2, 2) and ship K7Q at (5, 5).
    static std::string Galaxy(TShipType type = TShipType::Drone) {
        TQuorvexEngine engine;
        engine.MapWidth = engine.MapHeight = 10;
        engine.MapText = "100,-";
        auto player = std::make_unique<TPlayer>(&engine);
        player->Name = "Player 1";
        player->ShipTypes = {TShipType::Drone};  // the builds the tests order
        TPlayer* p = engine.AddPlayer(std::move(player));
        // A second player, so that nobody has won yet.
        auto rival = std::make_unique<TPlayer>(&engine);
        rival->Index = 1;
        rival->Name = "Player 2";
        engine.AddPlayer(std::move(rival));
        auto system = std::make_unique<TStarSystem>(&engine);
        system->X = system->Y = 2;
        system->Name = "Home";
        system->Resources = 30;
        engine.AddStarSystem(std::move(system))->SetOwner(p);
        auto ship = std::make_unique<TStarShip>(&engine, "K7Q");
        ship->ShipType = type;
        ship->X = ship->Y = 5;
        ship->SetEngines(20);
        p->AddStarShip(std::move(ship));
        return engine.SaveToText();
    }
};

} // namespace qx::test
