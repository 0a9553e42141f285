#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/CharMatrix.h"
#include "engine/QuorvexEngine.h"

namespace qx::test {

// A small hand-made galaxy: an open map, a few players, and helpers to place
// systems and ships. Recorded changes are collected in `changes`.
struct TestGalaxy {
    TQuorvexEngine engine;
    TCharMatrix map;
    std::vector<std::string> changes;

    explicit TestGalaxy(int players = 2, int width = 20, int height = 20) {
        engine.CharMatrix = &map;
        engine.MapWidth = width;
        engine.MapHeight = height;
        map.SetSize(width, height);
        map.Fill('-');
        engine.ChangeSink = [this](const std::string& change) { changes.push_back(change); };
        for (int i = 0; i < players; ++i) {
            auto player = std::make_unique<TPlayer>(&engine);
            player->Index = i;
            player->Name = "Player " + std::to_string(i + 1);
            engine.AddPlayer(std::move(player));
        }
    }

    TPlayer* P(int i) { return engine.GetPlayer(i); }

    TStarSystem* System(int x, int y, TPlayer* owner = nullptr, int value = 40) {
        auto system = std::make_unique<TStarSystem>(&engine);
        system->X = x;
        system->Y = y;
        system->Index = engine.StarSystemCount();
        system->Name = "Sys" + std::to_string(system->Index);
        system->Value = value;
        TStarSystem* added = engine.AddStarSystem(std::move(system));
        added->SetOwner(owner);
        return added;
    }

    TStarShip* Ship(TPlayer* owner, TShipType type, int x, int y, int engines = 5, int value = 0) {
        auto ship = std::make_unique<TStarShip>(&engine);
        ship->ShipType = type;
        ship->X = x;
        ship->Y = y;
        ship->SetEngines(engines);
        ship->SetValue(value);
        return owner->AddStarShip(std::move(ship));
    }

    TWormhole* Wormhole(int x, int y, int destX, int destY) {
        auto wormhole = std::make_unique<TWormhole>(&engine);
        wormhole->X = x;
        wormhole->Y = y;
        wormhole->DestX = destX;
        wormhole->DestY = destY;
        return engine.AddWormhole(std::move(wormhole));
    }

    // Every player sees everything: rules that need sight can be tested alone.
    void SeeAll() {
        for (int p = 0; p < engine.PlayerCount(); ++p)
            for (int q = 0; q < engine.PlayerCount(); ++q)
                for (auto& ship : P(p)->StarShips) ship->Visible[static_cast<size_t>(q)] = true;
    }

    bool Recorded(const std::string& change) const {
        for (const auto& c : changes)
            if (c == change) return true;
        return false;
    }
};

} // namespace qx::test
