// A master plays a generated galaxy with random orders while a replica only
// receives its changes; after every impulse both must hold the same game.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestGalaxy.h"
#include "engine/ImpulseDriver.h"
#include "engine/ShipCostCalculator.h"
#include "base/Random.h"

namespace qx {
namespace {

using test::TestGalaxy;

constexpr int kPlayers = 4;
constexpr int kSize = 24;

// The test's own generator for galaxies and orders, apart from the master's
// rules generator.
TRandom& TestRandom() {
    static TRandom random;
    return random;
}
int Random(int n) { return TestRandom().Random(n); }

void GenerateGalaxy(TestGalaxy& g) {
    for (int i = 0; i < 30; ++i) g.map.SetChar(Random(kSize), Random(kSize), 'N');
    g.engine.SetMapText(g.map.SaveToText());
    for (int p = 0; p < kPlayers; ++p) {
        const int x = 3 + (p % 2) * 17;
        const int y = 3 + (p / 2) * 17;
        TStarSystem* capital = g.System(x, y, g.P(p), 200);
        capital->Capital = true;
        capital->Resources = 150;
        capital->Shields = 3;
        capital->Scanners = 4;
        g.P(p)->ShipTypes = {TShipType::WarShip, TShipType::Drone};
        for (int t = 0; t < 4; ++t) {
            const auto type = static_cast<TShipType>(Random(ShipTypeCount));
            TStarShip* ship = g.Ship(g.P(p), type, x - 1 + t % 3, y + 1 + t / 3, 1 + Random(20), Random(6));
            ship->AttackAdjacent = type == TShipType::WarShip || type == TShipType::Drone;
            if (type == TShipType::JumpGateShip) ship->SourceSystem = capital->Index;
        }
        g.Ship(g.P(p), TShipType::BattleStation, x + 1, y - 1, 5, 4);
    }
    for (int i = 0; i < 8; ++i) {
        TStarSystem* system = g.System(6 + i * 2, 8 + (i % 3) * 4, nullptr, 40 + 20 * i);
        system->Shields = i % 4;
        if (i == 2) {
            system->BonusPercent = 20;
            system->BonusShipType = TShipType::Tug;
        }
    }
    g.Wormhole(11, 4, 12, 19);
    g.Wormhole(4, 12, 19, 11);
    g.engine.SetVictoryCondition(1);
    g.engine.SetVictoryStarSystem(g.engine.GetStarSystem(kPlayers + 3));
    g.engine.SetVictoryAmount(100000);
}

std::string AnyShipCode(TQuorvexEngine& e) {
    TPlayer* p = e.GetPlayer(Random(e.PlayerCount()));
    if (p->StarShipCount() == 0 || Random(20) == 0) return "ZZ9";
    return p->GetStarShip(Random(p->StarShipCount()))->Code;
}

std::string BuildFields(TQuorvexEngine& e, TStarSystem* at) {
    TShipCostCalculator calc;
    calc.ShipType = static_cast<TShipType>(Random(ShipTypeCount));
    calc.Engines = 1 + Random(20);
    calc.Extra = Random(8);
    calc.Cloaked = Random(4) == 0;
    calc.StarSystem = at;
    const int fixed = ShipTypeInfo(calc.ShipType).FixedEngines;
    if (fixed) calc.Engines = fixed;
    return std::to_string(static_cast<int>(calc.ShipType)) + ":" + std::to_string(calc.Engines) + ":" +
           std::to_string(HasExtraAttribute(calc.ShipType) ? calc.Extra : 0) + ":" + (calc.Cloaked ? "1" : "0") +
           ":" + std::to_string(Random(3) - 1) + ":" + std::to_string(Random(3) - 1) + ":" +
           std::to_string(calc.Cost() / 4) + ":";
    (void)e;
}

std::string RandomOrder(TQuorvexEngine& e, TPlayer* p) {
    const int systems = e.StarSystemCount();
    const std::string sys = std::to_string(Random(systems + 1));  // sometimes one past the end
    const std::string xy = std::to_string(Random(kSize + 4) - 2) + ":" + std::to_string(Random(kSize + 4) - 2);
    TStarSystem* own = p->StarSystemCount() ? p->OwnedStarSystem(Random(p->StarSystemCount())) : nullptr;
    const int kind = Random(24);
    if (kind == 10 || kind == 11) return std::to_string(kind) + ":" + (own ? std::to_string(own->Index) : sys);
    if (kind == 12) {
        if (!own) return "12:" + sys;
        return "12:" + std::to_string(own->Index) + ":" + BuildFields(e, own);
    }
    if (kind == 23) return "23:" + std::to_string(Random(3)) + ":" + std::to_string(Random(kPlayers));
    if (p->StarShipCount() == 0) return "1:ZZZ";
    TStarShip* ship = p->GetStarShip(Random(p->StarShipCount()));
    const std::string code = ship->Code;
    auto point = [&] { return std::to_string(Random(kSize)) + "," + std::to_string(Random(kSize)); };
    switch (kind) {
    case 0: return "1:" + code;
    case 1:
    case 2:
    case 3: return "2:" + code + ":" + xy;
    case 4: {
        const int which = Random(3);
        if (which == 0) return "4:" + code + ":Y" + sys;
        if (which == 1) return "4:" + code + ":W" + std::to_string(Random(e.WormholeCount() + 1));
        TStarShip* other = e.FindStarShipByCode(AnyShipCode(e));
        return "4:" + code + ":" + (other ? e.ObjectRef(other) : std::string("I0ZZZ"));
    }
    case 5: return "5:" + code + ":" + AnyShipCode(e) + ":" + std::to_string(Random(3) - 1) + ":1";
    case 6: {
        std::string path = point() + "_" + point();
        if (Random(2)) path += "_" + point();
        if (Random(3) == 0) path = point();
        return "6:" + code + ":" + path;
    }
    case 7: return "7:" + code + ":" + sys + ":" + std::to_string(Random(systems));
    case 8:
    case 9: return kind == 8 ? "8:" + code + ":" + AnyShipCode(e) : "9:" + code + ":" + sys;
    case 13: return "15:" + code + ":" + std::to_string(Random(2));
    case 14: return "16:" + code + ":" + AnyShipCode(e);
    case 15: return "17:" + code;
    case 16: return "18:" + code + ":" + sys;
    case 17: return "19:" + code + ":" + AnyShipCode(e);
    case 18: return "20:" + code + ":" + sys;
    case 19: return "21:" + code;
    case 20: return "22:" + code + ":" + BuildFields(e, nullptr);
    case 21: return "8:" + code + ":" + AnyShipCode(e);
    default: return "9:" + code + ":" + std::to_string(Random(systems));
    }
}

void PlayAndReplay(uint64_t seed, int impulses) {
    TestRandom().Seed(seed);
    TestGalaxy master(kPlayers, kSize, kSize);
    master.engine.RulesRandom.Seed(seed);
    GenerateGalaxy(master);
    TQuorvexEngine replica;
    TCharMatrix replicaMap;
    replica.Replica = true;
    replica.CharMatrix = &replicaMap;
    replica.LoadFromText(master.engine.SaveToText());
    replicaMap.SetSize(replica.MapWidth, replica.MapHeight);
    replicaMap.LoadFromText(replica.MapText);
    master.engine.SetVictoryStarSystem(master.engine.GetStarSystem(kPlayers + 3));
    master.engine.UpdateVisibility();
    replica.UpdateVisibility();

    TImpulseDriver masterDriver(master.engine);
    TImpulseDriver replicaDriver(replica);
    int surrenders = 0;
    size_t changeKinds[64] = {};
    for (int i = 0; i < impulses; ++i) {
        for (int p = 0; p < kPlayers; ++p) {
            TPlayer* player = master.engine.GetPlayer(p);
            const int orders = Random(3);
            for (int k = 0; k < orders; ++k) masterDriver.QueueOrder(player, RandomOrder(master.engine, player));
        }
        if (i == impulses / 2 && surrenders == 0) {
            masterDriver.QueueOrder(master.engine.GetPlayer(kPlayers - 1), "24:");
            ++surrenders;
        }
        master.changes.clear();
        masterDriver.RunImpulse();
        for (const std::string& change : master.changes) {
            // Every change the master writes has exactly the fields the
            // table gives its kind, each followed by its separator.
            const TChangeKindInfo* info = FindChangeKind(TextToIntDef(change.substr(0, change.find(':'))));
            ASSERT_NE(info, nullptr) << change;
            const int address = info->Target == TChangeTarget::Ship ? 2 : 0;
            ASSERT_EQ(std::count(change.begin(), change.end(), ':'), 1 + address + info->FieldCount) << change;
            ASSERT_EQ(change.back(), ':') << change;
            ++changeKinds[static_cast<int>(info->Kind)];
        }
        replicaDriver.RunImpulse(master.changes);
        ASSERT_EQ(replica.SaveToText(), master.engine.SaveToText()) << "seed " << seed << " impulse " << i;
    }
    // The game was lively enough to exercise the rules.
    int kindsSeen = 0;
    for (size_t n : changeKinds) kindsSeen += n > 0;
    EXPECT_GE(kindsSeen, 25) << "seed " << seed;
}

TEST(Replay, ReplicaFollowsTheMasterExactly) {
    for (uint64_t seed : {11u, 23u, 57u, 101u}) PlayAndReplay(seed, 1500);
}

} // namespace
} // namespace qx
