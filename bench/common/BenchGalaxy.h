#pragma once

// The galaxy the rendering benchmarks draw: a full-HD board of ten players,
// 200 star systems and 1000 ships, one object a cell, everything seen and
// known by player 0 so that every caption and ring shows.
#include <memory>
#include <string>
#include <vector>

#include "engine/CharMatrix.h"
#include "engine/QuorvexEngine.h"

namespace qx::bench {

inline constexpr int kColumns = 64;  // 1920 / 30
inline constexpr int kRows = 36;     // 1080 / 30
inline constexpr int kSystems = 200;
inline constexpr int kShips = 1000;

inline const TShipType kTypes[] = {TShipType::ScanShip,      TShipType::WarShip, TShipType::CommandShip,
                                TShipType::Freighter,     TShipType::CloakDetector, TShipType::Drone,
                                TShipType::StarTillery, TShipType::BattleStation};

// Ten players, 200 systems and 1000 ships on a 64 x 36 map, one object a
// cell, all seen and known by player 0 (so every caption shows).
inline void BuildGalaxy(TQuorvexEngine& engine, TCharMatrix& map) {
    engine.CharMatrix = &map;
    engine.MapWidth = kColumns;
    engine.MapHeight = kRows;
    map.SetSize(kColumns, kRows);
    map.Fill('-');
    for (int i = 0; i < 10; ++i) {
        auto player = std::make_unique<TPlayer>(&engine);
        player->Index = i;
        player->Name = "Player " + std::to_string(i + 1);
        player->Computer = i != 0;
        engine.AddPlayer(std::move(player));
    }
    std::vector<int> cells(kColumns * kRows);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<int>(i);
    for (size_t i = cells.size() - 1; i > 0; --i)
        std::swap(cells[i], cells[static_cast<size_t>(engine.RulesRandom.Random(static_cast<int>(i) + 1))]);
    size_t next = 0;
    for (int i = 0; i < kSystems; ++i, ++next) {
        auto system = std::make_unique<TStarSystem>(&engine);
        system->X = cells[next] % kColumns;
        system->Y = cells[next] / kColumns;
        system->Index = i;
        system->Name = "Sys" + std::to_string(i);
        system->Value = 1 + engine.RulesRandom.Random(20);
        system->Resources = engine.RulesRandom.Random(200);
        system->Shields = engine.RulesRandom.Random(4);
        TStarSystem* added = engine.AddStarSystem(std::move(system));
        added->SetOwner(i % 11 == 10 ? nullptr : engine.GetPlayer(i % 11));
    }
    for (int i = 0; i < kShips; ++i, ++next) {
        auto ship = std::make_unique<TStarShip>(&engine);
        ship->ShipType = kTypes[i % 8];
        ship->X = cells[next] % kColumns;
        ship->Y = cells[next] / kColumns;
        ship->SetEngines(1 + engine.RulesRandom.Random(20));
        ship->SetValue(1 + engine.RulesRandom.Random(4));
        engine.GetPlayer(i % 10)->AddStarShip(std::move(ship));
    }
    engine.SetCurrentPlayer(engine.GetPlayer(0));
    engine.UpdateVisibility();
    for (int i = 0; i < engine.StarSystemCount(); ++i) engine.GetStarSystem(i)->Visible[0] = true;
    for (int p = 0; p < engine.PlayerCount(); ++p)
        for (const auto& ship : engine.GetPlayer(p)->StarShips) ship->Visible[0] = ship->Known[0] = true;
}

} // namespace qx::bench
