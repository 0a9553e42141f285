#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/QuorvexEngine.h"
#include "base/Random.h"
#include "scenario/ScriptsModule.h"

namespace qx::test {

// A small hand-made galaxy of two players on a 40 x 40 map, and a way to run
// one brain turn of a given text and see the orders it submitted.
struct BrainFixture : ::testing::Test {
    TQuorvexEngine engine;
    TdmScripts scripts;
    std::vector<std::string> messages;

    void SetUp() override {
        engine.RulesRandom.Seed(5);
        engine.CharMatrix = scripts.MatrixMap;
        engine.SetMapWidth(40);
        engine.SetMapHeight(40);
        scripts.MatrixMap->SetSize(40, 40);
        scripts.MatrixMap->Fill('-');
        scripts.Engine = &engine;
        scripts.OnBrainMessage = [this](const std::string& message) { messages.push_back(message); };
        for (int i = 0; i < 2; ++i) {
            auto player = std::make_unique<TPlayer>(&engine);
            player->Index = i;
            player->Name = "Player " + std::to_string(i + 1);
            player->Computer = true;
            engine.AddPlayer(std::move(player));
        }
    }

    TStarSystem* AddSystem(int x, int y, int owner, const std::string& name = "") {
        auto system = std::make_unique<TStarSystem>(&engine);
        system->X = x;
        system->Y = y;
        system->Name = name.empty() ? "S" + std::to_string(engine.StarSystemCount()) : name;
        system->Value = 10;
        system->Shields = 4;
        system->Scanners = 2;
        system->Resources = 30.75;
        TStarSystem* added = engine.AddStarSystem(std::move(system));
        added->Index = engine.StarSystemCount() - 1;
        if (owner >= 0) added->SetOwner(engine.GetPlayer(owner));
        return added;
    }

    TStarShip* AddShip(int x, int y, int owner, TShipType type, int value = 0, int engines = 3) {
        auto ship = std::make_unique<TStarShip>(&engine);
        ship->X = x;
        ship->Y = y;
        ship->ShipType = type;
        ship->SetValue(value);
        ship->SetEngines(engines);
        return engine.GetPlayer(owner)->AddStarShip(std::move(ship));
    }

    // One turn of player P's brain with the given text (visibility as it
    // stands); the orders it submitted.
    std::vector<std::string> Think(const std::string& text, int p = 0) {
        scripts.DefaultBrainText = text;
        TPlayer* player = engine.GetPlayer(p);
        player->BrainFile.clear();
        player->BrainLoaded = false;
        const size_t before = engine.Orders().size();
        scripts.BrainTurn(player);
        std::vector<std::string> orders;
        for (size_t i = before; i < engine.Orders().size(); ++i) {
            EXPECT_EQ(engine.Orders()[i].second, player);
            orders.push_back(engine.Orders()[i].first);
        }
        return orders;
    }

    const TValue& Variable(const char* name, int p = 0) {
        return scripts.GetBrain(engine.GetPlayer(p)).FindItem(name)->Value;
    }
};

} // namespace qx::test
