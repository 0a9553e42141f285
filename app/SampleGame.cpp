#include "app/SampleGame.h"

#include <algorithm>
#include <vector>

#include <QDir>
#include <QFile>

#include "engine/CharMatrix.h"
#include "engine/QuorvexEngine.h"
#include "render/ColorPalette.h"
#include "scenario/ScriptsModule.h"

namespace qx {

namespace {

const char* const EmpireNames[] = {"Vega Dominion", "Kyrel Reach", "Orion Compact", "Sable Throne", "Ashen Hive"};

} // namespace

TSampleGame::TSampleGame(const QString& dataFolder)
    : palette_(std::make_unique<TColorPalette>()),
      map_(std::make_unique<TCharMatrix>()),
      engine_(std::make_unique<TQuorvexEngine>()),
      scripts_(std::make_unique<TdmScripts>()) {
    QFile palette(QDir(dataFolder).filePath("MainPalette.txt"));
    if (palette.open(QIODevice::ReadOnly)) {
        try {
            palette_->LoadFromText(palette.readAll().toStdString());
        } catch (const std::exception&) {
            // The pictures then show white players.
        }
    }
    engine_->ColorPalette = palette_.get();
    engine_->CharMatrix = map_.get();
    engine_->RulesRandom.Seed(4);
    scripts_->MatrixMap = map_.get();
    const QString scenario = QDir(dataFolder).filePath("scenarios/Conquest.qxscen");
    try {
        scripts_->RunScenario(*engine_, QFile::encodeName(scenario).toStdString(), 18, 100, 3, 5);
    } catch (const std::exception&) {
        engine_->ClearGame();
    }
    if (engine_->PlayerCount() < 5) MakeByHand();
    for (int i = 0; i < engine_->PlayerCount() && i < 5; ++i) engine_->GetPlayer(i)->Name = EmpireNames[i];
    engine_->SetCurrentPlayer(engine_->GetPlayer(0));
    AddFleet();

    // The local player spares two empires and shares its sight with one;
    // one of them returns the favour.
    TPlayer* local = engine_->GetPlayer(0);
    local->Alliance[1] = 2;
    local->Alliance[3] = 1;
    engine_->GetPlayer(1)->Alliance[0] = 1;
    engine_->GetPlayer(4)->Alliance[0] = 2;
    // The local player has taken the free systems nearest its capital.
    if (const TStarSystem* capital = local->Capital()) {
        std::vector<TStarSystem*> free;
        for (int i = 0; i < engine_->StarSystemCount(); ++i)
            if (!engine_->GetStarSystem(i)->Owner) free.push_back(engine_->GetStarSystem(i));
        const auto distance = [capital](const TStarSystem* s) {
            return TQuorvexEngine::GridDistance(s->X, s->Y, capital->X, capital->Y);
        };
        std::sort(free.begin(), free.end(), [&](auto* a, auto* b) { return distance(a) < distance(b); });
        for (size_t i = 0; i < free.size() && i < 6; ++i) free[i]->SetOwner(local);
    }
    double extra = 3.4;
    for (TStarSystem* system : local->StarSystems) {
        system->Resources += extra;
        extra += 7.3;
    }
}

TSampleGame::~TSampleGame() = default;

const TQuorvexEngine* TSampleGame::Engine() const { return engine_.get(); }

const TPlayer* TSampleGame::LocalPlayer() const { return engine_->CurrentPlayer; }

void TSampleGame::MakeByHand() {
    engine_->ClearGame();
    engine_->SetMapWidth(40);
    engine_->SetMapHeight(30);
    map_->SetSize(40, 30);
    map_->Fill('-');
    for (int i = 0; i < 5; ++i) {
        auto player = std::make_unique<TPlayer>(engine_.get());
        player->Index = i;
        player->Computer = i >= 2;
        engine_->AddPlayer(std::move(player));
    }
    const char* const names[] = {"Altair", "Beldane", "Corvis", "Dorrin", "Estra", "Fennic", "Gavis", "Halloran"};
    for (int i = 0; i < 8; ++i) {
        auto system = std::make_unique<TStarSystem>(engine_.get());
        system->X = 3 + 4 * i;
        system->Y = 5 + (i % 3) * 7;
        system->Index = i;
        system->Name = names[i];
        system->Value = 6 + 3 * i;
        system->Shields = i;
        system->Scanners = i % 4;
        system->Resources = 12.5 * (i + 1);
        system->Capital = i == 0 || i == 5;
        TStarSystem* added = engine_->AddStarSystem(std::move(system));
        added->SetOwner(engine_->GetPlayer(i < 4 ? 0 : i - 4));
    }
}

void TSampleGame::AddFleet() {
    TPlayer* local = engine_->GetPlayer(0);
    const TStarSystem* home = local->Capital();
    const int homeX = home ? home->X : 5;
    const int homeY = home ? home->Y : 5;
    struct TShip {
        TShipType Type;
        int Engines, Value, Damage, EngineDamage;
    };
    const TShip fleet[] = {
        {TShipType::WarShip, 8, 12, 0, 0},    {TShipType::WarShip, 8, 12, 5, 0},   {TShipType::ScanShip, 10, 6, 0, 0},
        {TShipType::Freighter, 6, 40, 0, 0},  {TShipType::CommandShip, 5, 3, 0, 2}, {TShipType::Tug, 12, 0, 0, 0},
        {TShipType::RepairShip, 7, 4, 0, 0},  {TShipType::SpyShip, 14, 3, 0, 3},   {TShipType::BattleStation, 5, 30, 8, 0},
        {TShipType::Drone, 16, 2, 0, 0},
    };
    int i = 0;
    for (const TShip& kind : fleet) {
        auto ship = std::make_unique<TStarShip>(engine_.get());
        ship->ShipType = kind.Type;
        ship->X = homeX + (i % 5) - 2;
        ship->Y = homeY + 2 + i / 5;
        ship->SetEngines(kind.Engines);
        ship->SetValue(HasExtraAttribute(kind.Type) ? kind.Value : 0);
        ship->Engines -= kind.EngineDamage;
        ship->Value -= HasExtraAttribute(kind.Type) ? kind.Damage : 0;
        local->AddStarShip(std::move(ship));
        ++i;
    }
}

} // namespace qx
