#include <gtest/gtest.h>

#include "TestGalaxy.h"

namespace qx {
namespace {

using test::TestGalaxy;

template <typename T>
std::string StateOf(const T& object) {
    std::string text;
    object.WriteState(text);
    return text;
}

TEST(ShipTypeSet, TextForm) {
    EXPECT_EQ(ShipTypeSetToText({TShipType::WarShip, TShipType::Drone}), "0x2x");
    const TShipTypeSet set = ShipTypeSetFromText("0x21x");
    EXPECT_TRUE(set.Contains(TShipType::WarShip));
    EXPECT_TRUE(set.Contains(TShipType::BattleStation));
    EXPECT_EQ(ShipTypeSetToText(set), "0x21x");
    EXPECT_TRUE(ShipTypeSetFromText("").Empty());
    EXPECT_EQ(ShipTypeSetToText({}), "");
    // Ordinals that name no type are skipped, not stored.
    EXPECT_EQ(ShipTypeSetToText(ShipTypeSetFromText("3x99x-1xabcx")), "3x");
}

TEST(GameObjectState, PlayerReadsBackEveryField) {
    TestGalaxy g(3);
    TPlayer* p = g.P(2);
    p->ID = 77;
    p->Alive = false;
    p->Computer = true;
    p->ShipTypes = {TShipType::WarShip, TShipType::BattleStation};
    p->TechMultiple = 1.0625;
    p->BrainFile = "brains/hunter.qxbrain";
    p->BrainData = {"2mode=attack", "2target=Y4"};
    p->Alliance = {0, 2, 1, 0, 0, 0, 0, 0, 0, 0};
    const std::string text = StateOf(*p);
    EXPECT_EQ(text, "77~0~1~2~Player 3~0x21x~1.0625~brains/hunter.qxbrain~2~2mode=attack~2target=Y4~0~2~1~0~0~0~0~0~0~0~");
    std::string_view view(text);
    auto copy = TPlayer::CreateFromState(&g.engine, view);
    EXPECT_EQ(StateOf(*copy), text);
    EXPECT_TRUE(view.empty());
}

TEST(GameObjectState, StarSystemFindsItsOwnerByIndex) {
    TestGalaxy g(2);
    TStarSystem* s = g.System(4, 5, g.P(1));
    s->Capital = true;
    s->Resources = 12.5;
    s->Scanners = 3;
    s->Shields = -2;
    s->HasJumpGate = true;
    s->BonusPercent = 12;
    s->BonusShipType = TShipType::SpyShip;
    const std::string text = StateOf(*s);
    EXPECT_EQ(text, "0~4~5~0~1~Sys0~1~12.5~3~-2~40~1~12~4~");
    std::string_view view(text);
    auto copy = TStarSystem::CreateFromState(&g.engine, view);
    EXPECT_EQ(copy->Owner, g.P(1));
    EXPECT_EQ(StateOf(*copy), text);
    copy->SetOwner(nullptr);  // leave the player's list as it was
}

TEST(GameObjectState, StarShipReadsBackIncludingStationResources) {
    TestGalaxy g(2);
    TStarShip* ship = g.Ship(g.P(1), TShipType::BattleStation, 3, 4, 5, 7);
    ship->StationResources = 12.25;
    ship->Value = 6;
    ship->Cloaked = true;
    ship->SetPatrol("1,2_3,4_5,6");
    ship->PatrolIndex = 2;
    ship->PatrolStep = -1;
    ship->TargetRef = "Y3";
    ship->TargetSystem = 3;
    ship->SourceSystem = 2;
    ship->Cargo = 1;
    ship->Towing = "ABC";
    ship->TowedBy = "XYZ";
    ship->DragSystem = 4;
    ship->KnownValue = {5, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ship->Tagged[0] = true;
    ship->Known[0] = true;
    const std::string text = StateOf(*ship);
    std::string_view view(text);
    auto copy = TStarShip::CreateFromState(&g.engine, view);
    EXPECT_TRUE(view.empty());
    EXPECT_DOUBLE_EQ(copy->StationResources, 12.25);
    EXPECT_EQ(copy->Code, ship->Code);
    EXPECT_EQ(copy->Owner, g.P(1));
    EXPECT_EQ(copy->MaxValue, 7);
    EXPECT_EQ(copy->Value, 6);
    EXPECT_EQ(copy->PatrolPoints, ship->PatrolPoints);
    EXPECT_EQ(copy->KnownValue[0], 5);
    EXPECT_TRUE(copy->Tagged[0]);
    EXPECT_FALSE(copy->Tagged[1]);
    EXPECT_EQ(StateOf(*copy), text);
    EXPECT_TRUE(g.engine.IsStarShipCodeUsed(ship->Code));
}

TEST(GameObjectState, WormholeRepeatsFlagsPerPlayer) {
    TestGalaxy g(2);
    TWormhole* w = g.Wormhole(1, 2, 8, 9);
    w->IsJumpGate = true;
    w->Visible[1] = true;
    w->Known[0] = true;
    EXPECT_EQ(StateOf(*w), "0~1~2~8~9~1~0~1~1~0~");
    const std::string text = StateOf(*w);
    std::string_view view(text);
    auto copy = TWormhole::CreateFromState(&g.engine, view);
    EXPECT_TRUE(copy->Visible[1]);
    EXPECT_TRUE(copy->Known[0]);
    EXPECT_EQ(StateOf(*copy), text);
}

TEST(GameObjects, AdjacencyAndVisibility) {
    TestGalaxy g(1);
    TStarShip* a = g.Ship(g.P(0), TShipType::Drone, 5, 5);
    TStarShip* b = g.Ship(g.P(0), TShipType::Drone, 6, 6);
    TStarShip* c = g.Ship(g.P(0), TShipType::Drone, 7, 5);
    EXPECT_TRUE(a->IsAdjacent(*a));
    EXPECT_TRUE(a->IsAdjacent(*b));
    EXPECT_FALSE(a->IsAdjacent(*c));
    EXPECT_TRUE(a->IsVisibleTo(nullptr));
    EXPECT_FALSE(a->IsVisibleTo(g.P(0)));
}

TEST(GameObjects, AvailableOrders) {
    TestGalaxy g(1);
    TStarShip* missile = g.Ship(g.P(0), TShipType::DoomMissile, 1, 1);
    EXPECT_EQ(missile->AvailableOrders(), (TOrderSet{ordTarget, ordTargetStarSystem}));
    missile->Order = ordTargetStarSystem;
    EXPECT_TRUE(missile->AvailableOrders().Empty());

    TStarShip* tug = g.Ship(g.P(0), TShipType::Tug, 2, 2);
    EXPECT_FALSE(tug->AvailableOrders().Contains(ordRelease));
    tug->Towing = "AAA";
    EXPECT_TRUE(tug->AvailableOrders().Contains(ordTug));
    EXPECT_TRUE(tug->AvailableOrders().Contains(ordRelease));

    TStarShip* grav = g.Ship(g.P(0), TShipType::GravShip, 3, 3);
    EXPECT_FALSE(grav->AvailableOrders().Contains(ordRelease));
    grav->DragSystem = 0;  // a valid index
    EXPECT_TRUE(grav->AvailableOrders().Contains(ordRelease));

    TStarShip* war = g.Ship(g.P(0), TShipType::WarShip, 4, 4);
    EXPECT_EQ(war->AvailableOrders(), (TOrderSet{ordClear, ordMove, ordTarget, ordDefend, ordEscort, ordPatrol,
                                                 ordTargetStarShip, ordTargetStarSystem, ordAttackAdjacent}));
    war->Order = ordMove;
    EXPECT_TRUE(war->AvailableOrders().Contains(ordNone));
    TStarShip* freighter = g.Ship(g.P(0), TShipType::Freighter, 5, 5);
    EXPECT_EQ(freighter->AvailableOrders(), (TOrderSet{ordClear, ordMove, ordEscort, ordPatrol, ordTransport}));
    TStarShip* station = g.Ship(g.P(0), TShipType::BattleStation, 6, 6);
    EXPECT_TRUE(station->AvailableOrders().Contains(ordBuildStarShip));
    EXPECT_TRUE(station->AvailableOrders().Contains(ordTargetStarSystem));
    EXPECT_FALSE(station->AvailableOrders().Contains(ordTargetStarShip));
    EXPECT_TRUE(g.Ship(g.P(0), TShipType::JumpGateShip, 7, 7)->AvailableOrders().Contains(ordCreateGate));
}

TEST(GameObjects, CanAttackJudgesByWhatTheOwnerKnows) {
    TestGalaxy g(2);
    TStarShip* war = g.Ship(g.P(0), TShipType::WarShip, 1, 1, 5, 5);
    TStarShip* enemy = g.Ship(g.P(1), TShipType::WarShip, 2, 2, 5, 5);
    // Unknown: judged by the learnt lower bound.
    EXPECT_TRUE(war->CanAttack(enemy));
    enemy->KnownValue[0] = 5;
    EXPECT_FALSE(war->CanAttack(enemy));
    war->CommandBonus = 1;
    EXPECT_TRUE(war->CanAttack(enemy));
    war->CommandBonus = 0;
    enemy->Known[0] = true;
    enemy->Value = 4;
    EXPECT_TRUE(war->CanAttack(enemy));
    enemy->ShipType = TShipType::EMine;
    EXPECT_FALSE(war->CanAttack(enemy));
    enemy->ShipType = TShipType::DoppleShip;
    enemy->Value = 50;  // judged by what it shows, not what it has
    EXPECT_TRUE(war->CanAttack(enemy));  // shows at most 4
    enemy->ShipType = TShipType::Freighter;
    EXPECT_TRUE(war->CanAttack(enemy));
    TStarShip* freighter = g.Ship(g.P(0), TShipType::Freighter, 3, 3);
    EXPECT_FALSE(freighter->CanAttack(enemy));
    EXPECT_TRUE(g.Ship(g.P(0), TShipType::Drone, 4, 4)->CanAttack(enemy));
}

TEST(GameObjects, OrderTexts) {
    TestGalaxy g(2);
    TStarSystem* home = g.System(1, 1, g.P(0));
    TStarSystem* away = g.System(9, 9);
    g.Wormhole(3, 4, 0, 0);
    TStarShip* ship = g.Ship(g.P(0), TShipType::Freighter, 5, 5);
    EXPECT_EQ(ship->OrderText(), "-No Orders-");
    ship->SetMove(10, 2);
    EXPECT_EQ(ship->OrderText(), "Move to 10, 2");
    ship->SetTransport(home, away);
    EXPECT_EQ(ship->OrderText(), "Transport Sys0 to Sys1");
    ship->SetDefend(away);
    EXPECT_EQ(ship->OrderText(), "Defend Sys1");
    ship->SetDefend(g.engine.GetWormhole(0));
    EXPECT_EQ(ship->OrderText(), "Defend WormHole at 3, 4");
    ship->Order = ordDefend;
    ship->TargetRef = "I1XQZ";  // a ship that is gone
    EXPECT_EQ(ship->OrderText(), "Defend StarShip XQZ");
    ship->SetDrag(away);
    EXPECT_EQ(ship->OrderText(), "Drag Sys1");
    ship->Order = ordPatrol;
    EXPECT_EQ(ship->OrderText(), "Patrol");
    ship->SetTargetStarSystem(away);
    EXPECT_EQ(ship->OrderText(), "Target Sys1");
}

TEST(GameObjects, ValueTexts) {
    TestGalaxy g(2);
    TStarShip* war = g.Ship(g.P(0), TShipType::WarShip, 1, 1, 5, 5);
    war->CommandBonus = 2;
    EXPECT_EQ(war->ValueText(), "W7");
    TStarShip* freighter = g.Ship(g.P(0), TShipType::Freighter, 2, 2, 5, 10);
    freighter->Cargo = 3;
    EXPECT_EQ(freighter->ValueText(), "C3/10");
    EXPECT_EQ(g.Ship(g.P(0), TShipType::ScanShip, 3, 3, 5, 0)->ValueText(), "");
    EXPECT_EQ(g.Ship(g.P(0), TShipType::MineSweeper, 4, 4, 5, 3)->ValueText(), "A3");
    TStarShip dopple(&g.engine, "K7Q");
    dopple.ShipType = TShipType::DoppleShip;
    dopple.SetValue(9);
    dopple.Owner = g.P(0);
    g.engine.SetCurrentPlayer(g.P(1));
    EXPECT_EQ(dopple.ValueText(), "W" + std::to_string(dopple.ApparentWeapons()));
    g.engine.SetCurrentPlayer(g.P(0));
    EXPECT_EQ(dopple.ValueText(), "W9");
}

} // namespace
} // namespace qx

namespace qx {
namespace {

// The first ship of a code in list order, by walking the list.
TStarShip* WalkForCode(const TPlayer& player, std::string_view code) {
    for (const auto& ship : player.StarShips)
        if (ship->Code == code) return ship.get();
    return nullptr;
}

TEST(GameObjects, ShipsAreFoundByCodeThroughEveryChangeOfTheLists) {
    // Codes are unique in a game, but a loaded state may repeat one; either
    // way the first ship of a code in list order answers.
    TestGalaxy g(2);
    TRandom rng(99);
    const char* const codes[] = {"AAA", "AAB", "AAC", "AAD", "A1", "LONGCODE1", ""};
    auto make = [&](TPlayer* owner) {
        auto ship = std::make_unique<TStarShip>(nullptr, codes[rng.Random(7)]);
        ship->Engine = &g.engine;
        return ship;
    };
    for (int step = 0; step < 600; ++step) {
        TPlayer* player = g.P(rng.Random(2));
        TPlayer* other = g.P(1 - player->Index);
        switch (rng.Random(6)) {
        case 0:
        case 1: player->AddStarShip(make(player)); break;
        case 2:
            if (player->StarShipCount() > 0) player->RemoveStarShip(player->GetStarShip(rng.Random(player->StarShipCount())));
            break;
        case 3:
            if (player->StarShipCount() > 0)
                other->AdoptStarShip(player->ExtractStarShip(player->GetStarShip(rng.Random(player->StarShipCount()))));
            break;
        case 4:
            if (rng.Random(20) == 0) player->ClearStarShips();
            break;
        default: break;
        }
        for (const char* code : codes)
            for (int p = 0; p < 2; ++p)
                ASSERT_EQ(g.P(p)->FindStarShip(code), WalkForCode(*g.P(p), code)) << "step " << step << " " << code;
        ASSERT_EQ(g.P(0)->FindStarShip("ZZZ"), nullptr);
    }
}

} // namespace
} // namespace qx

namespace qx {
namespace {

// The first line whose text starts with "name=", by walking the lines.
int64_t WalkForName(const TBrainData& data, const std::string& name) {
    for (size_t i = 0; i < data.size(); ++i)
        if (data[i].compare(0, name.size() + 1, name + "=") == 0) return static_cast<int64_t>(i);
    return -1;
}

TEST(BrainMemory, FindsTheFirstLineOfANameThroughEveryChange) {
    TRandom rng(12);
    const char* const names[] = {"0a", "0b", "0ab", "1a", "0a=b", "", "0z"};
    const char* const values[] = {"", "1", "x=y", "long value"};
    TBrainData data{"0a=1", "0a=2", "bare", "0b=x=y"};
    for (int step = 0; step < 2000; ++step) {
        const std::string name = names[rng.Random(7)];
        switch (rng.Random(8)) {
        case 0: data.push_back(name + "=" + values[rng.Random(4)]); break;
        case 1: data.push_back(name); break;  // a line without a name
        case 2: {
            // A line is set under its own name, the text before its first "=".
            const std::string line = name + "=" + values[rng.Random(4)];
            const int64_t at = WalkForName(data, line.substr(0, line.find('=')));
            const bool changed = at < 0 || data[static_cast<size_t>(at)] != line;
            EXPECT_EQ(data.Set(line), changed);
            break;
        }
        case 3:
            if (rng.Random(30) == 0) data.clear();
            break;
        case 4:
            if (rng.Random(30) == 0) data = std::vector<std::string>{"0b=1", "0a=3", "0b=2"};
            break;
        default: break;
        }
        for (const char* asked : names) ASSERT_EQ(data.Find(asked), WalkForName(data, asked)) << step << " " << asked;
    }
    EXPECT_GT(data.size(), 10u);
}

} // namespace
} // namespace qx
