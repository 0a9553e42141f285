#pragma once

#include <memory>
#include <string>

#include "engine/CharMatrix.h"
#include "engine/QuorvexEngine.h"

namespace qx::fuzz {

// A small fixed galaxy every fuzz target can start from: three players, a few
// systems, a ship of every type, a wormhole and a nebula.
struct FuzzGalaxy {
    TQuorvexEngine engine;
    TCharMatrix map;

    FuzzGalaxy() {
        engine.CharMatrix = &map;
        engine.MapWidth = 24;
        engine.MapHeight = 16;
        map.SetSize(24, 16);
        map.Fill('-');
        map.SetChar(10, 10, 'N');
        map.SetChar(11, 10, 'N');
        for (int i = 0; i < 3; ++i) {
            auto player = std::make_unique<TPlayer>(&engine);
            player->Index = i;
            player->Name = "Player " + std::to_string(i + 1);
            engine.AddPlayer(std::move(player));
        }
        const int places[][3] = {{2, 2, 0}, {20, 2, 1}, {12, 13, 2}, {12, 6, -1}, {6, 12, -1}};
        for (const auto& place : places) {
            auto system = std::make_unique<TStarSystem>(&engine);
            system->X = place[0];
            system->Y = place[1];
            system->Index = engine.StarSystemCount();
            system->Name = "S" + std::to_string(system->Index);
            system->Value = 20;
            system->Shields = 3;
            system->Scanners = 4;
            system->Resources = 50;
            system->Capital = place[2] >= 0;
            TStarSystem* added = engine.AddStarSystem(std::move(system));
            if (place[2] >= 0) added->SetOwner(engine.GetPlayer(place[2]));
        }
        for (int t = 0; t < ShipTypeCount; ++t) {
            auto ship = std::make_unique<TStarShip>(&engine);
            ship->ShipType = static_cast<TShipType>(t);
            ship->X = 1 + t;
            ship->Y = 7 + (t % 3);
            ship->SetEngines(1 + t % 20);
            ship->SetValue(t % 7);
            engine.GetPlayer(t % 3)->AddStarShip(std::move(ship));
        }
        auto wormhole = std::make_unique<TWormhole>(&engine);
        wormhole->X = 15;
        wormhole->Y = 3;
        wormhole->DestX = 3;
        wormhole->DestY = 14;
        engine.AddWormhole(std::move(wormhole));
        engine.MapText = map.SaveToText();
        engine.UpdateVisibility();
    }
};

} // namespace qx::fuzz
