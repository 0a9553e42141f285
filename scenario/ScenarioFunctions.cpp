#include <cmath>
#include <cstdlib>

#include "engine/QuorvexEngine.h"
#include "base/FieldCodec.h"
#include "base/Random.h"
#include "scenario/ScriptsModule.h"
#include "script/Function.h"
#include "script/ScriptError.h"

namespace qx {

namespace {

// Rounds half to the even neighbour, like every real-to-integer conversion
// of the game.
int64_t RoundHalfEven(double value) { return static_cast<int64_t>(std::nearbyint(value)); }

// lo + Random(hi - lo) without overflow for any pair of 32-bit bounds.
int32_t RandomBetween(TRandom& random, int32_t lo, int32_t hi) {
    const int64_t span = static_cast<int64_t>(hi) - lo;
    if (span <= 0) return lo;
    const int32_t draw = random.Random(static_cast<int32_t>(std::min<int64_t>(span, INT32_MAX)));
    return static_cast<int32_t>(lo + static_cast<int64_t>(draw));
}

bool HasTextSeparator(const std::string& text) { return text.find_first_of(";~") != std::string::npos; }

} // namespace

void TdmScripts::RegisterScenarioFunctions() {
    DeclareScenario("Version( float )", &TdmScripts::fnVersionEval);
    DeclareScenario("SetMapSize( integer, integer )", &TdmScripts::fnSetMapSizeEval);
    DeclareScenario("CreateStarCluster( integer, integer, integer, integer, integer, integer, integer )",
                    &TdmScripts::fnCreateStarClusterEval);
    DeclareScenario("Random( integer, integer ): integer", &TdmScripts::fnRandomEval);
    DeclareScenario("CreateNebula( integer, integer, integer, integer )", &TdmScripts::fnCreateNebulaEval);
    DeclareScenario("CreateWormhole( integer, integer, integer, integer )", &TdmScripts::fnWormholeEval);
    DeclareScenario("SetDescription( string )", &TdmScripts::fnSetDescriptionEval);
    DeclareScenario("AssignCapital( integer, integer, integer, integer, integer )", &TdmScripts::fnAssignCapitalEval);
    DeclareScenario(
        "CreateStarSystem( integer, integer, string, integer, integer, integer, integer, integer, boolean )",
        &TdmScripts::fnCreateStarSystemEval);
    DeclareScenario("SetVictoryConditions( integer, string, integer )", &TdmScripts::fnSetVictoryConditionsEval);
    DeclareScenario("SetNebula( integer, integer, boolean )", &TdmScripts::fnSetNebulaEval);
}

void TdmScripts::fnVersionEval(const TArgList& args, TValue&) {
    const double version = args.Float(0);
    if (version > 4.0)
        throw ERTE("This Script file was created for version " + FloatToText(version) +
                   " of Quorvex, and you have version " + FloatToText(4.0) +
                   ".  Please upgrade Quorvex before attempting to use this Script.");
}

void TdmScripts::fnSetMapSizeEval(const TArgList& args, TValue&) {
    const int32_t width = args.Integer(0);
    const int32_t height = args.Integer(1);
    if (width < 1 || height < 1 || width > MaxMapSide || height > MaxMapSide)
        throw ERTE("The map size must be 1 to " + std::to_string(MaxMapSide) + " cells each way, not " +
                   std::to_string(width) + " x " + std::to_string(height));
    TQuorvexEngine& engine = GameEngine();
    engine.SetMapWidth(width);
    engine.SetMapHeight(height);
    MatrixMap->SetSize(width, height);
    MatrixBackground->SetSize(width, height);
    MatrixMap->Fill('-');
    Display->ShowMapSize(width, height);
}

void TdmScripts::fnRandomEval(const TArgList& args, TValue& result) {
    result.SetInteger(RandomBetween(Rules(), args.Integer(0), args.Integer(1)));
}

void TdmScripts::fnCreateNebulaEval(const TArgList& args, TValue&) {
    const int32_t clouds = args.Integer(2);
    const int32_t steps = args.Integer(3);
    const TQuorvexEngine& engine = GameEngine();
    for (int32_t cloud = 0; cloud < clouds; ++cloud) {
        int64_t x = args.Integer(0);
        int64_t y = args.Integer(1);
        for (int32_t step = 0; step < steps; ++step) {
            switch (Rules().Random(4)) {
            case 0: ++x; break;
            case 1: ++y; break;
            case 2: --x; break;
            default: --y; break;
            }
            if (engine.IsInsideMap(x, y)) MatrixMap->SetChar(static_cast<int>(x), static_cast<int>(y), 'N');
        }
    }
}

void TdmScripts::fnWormholeEval(const TArgList& args, TValue&) {
    const int32_t x = args.Integer(0), y = args.Integer(1);
    const int32_t exitX = args.Integer(2), exitY = args.Integer(3);
    TQuorvexEngine& engine = GameEngine();
    // A wormhole whose exit lies off the map would throw ships out of it.
    if (!PassesPlacement(x, y, 0) || !engine.IsInsideMap(exitX, exitY)) return;
    auto wormhole = std::make_unique<TWormhole>(&engine);
    wormhole->X = x;
    wormhole->Y = y;
    wormhole->DestX = exitX;
    wormhole->DestY = exitY;
    engine.AddWormhole(std::move(wormhole));
}

void TdmScripts::fnSetDescriptionEval(const TArgList& args, TValue&) { Display->ShowDescription(args.String(0)); }

void TdmScripts::fnAssignCapitalEval(const TArgList& args, TValue&) {
    TQuorvexEngine& engine = GameEngine();
    const int32_t index = args.Integer(0);
    const int32_t x1 = args.Integer(1), y1 = args.Integer(2), x2 = args.Integer(3), y2 = args.Integer(4);
    TPlayer* player = engine.PlayerOrNull(index);
    if (!player || player->Capital() || engine.StarSystemCount() == 0) return;
    for (int pick = 0; pick < 500; ++pick) {
        TStarSystem& system = *engine.GetStarSystem(Rules().Random(engine.StarSystemCount()));
        if (system.Capital || system.X < x1 || system.X > x2 || system.Y < y1 || system.Y > y2) continue;
        if (HasCapitalNear(system)) continue;
        MakeCapital(system, *player);
        return;
    }
}

void TdmScripts::fnCreateStarSystemEval(const TArgList& args, TValue&) {
    TQuorvexEngine& engine = GameEngine();
    std::string name = args.String(2);
    if (HasTextSeparator(name)) throw ERTE("A star system name cannot contain ';' or '~': " + name);
    auto system = std::make_unique<TStarSystem>(&engine);
    system->Name = name.empty() || name == "?" ? Names->NewName(Rules()) : name;
    system->Value = args.Integer(3);
    system->Shields = args.Integer(4);
    system->Scanners = args.Integer(5);
    system->Resources = args.Integer(6);
    system->X = args.Integer(0);
    system->Y = args.Integer(1);
    // A system that does not fit is dropped before it touches any player.
    if (!PassesPlacement(system->X, system->Y, 2)) return;
    TStarSystem* added = engine.AddStarSystem(std::move(system));
    if (TPlayer* owner = engine.PlayerOrNull(args.Integer(7))) {
        added->SetOwner(owner);
        if (args.Boolean(8) && !owner->Capital()) added->Capital = true;
    }
}

void TdmScripts::fnCreateStarClusterEval(const TArgList& args, TValue&) {
    TQuorvexEngine& engine = GameEngine();
    const int32_t count = args.Integer(0);
    const int64_t x1 = args.Integer(1), y1 = args.Integer(2), x2 = args.Integer(3), y2 = args.Integer(4);
    const int32_t spread = args.Integer(5);
    // Offsets are summed over samples + 1 draws and divided by samples; a
    // count below 1 would divide by zero, so it counts as 1.
    const int32_t samples = std::max<int32_t>(args.Integer(6), 1);
    const int32_t offsetRange = static_cast<int32_t>(std::clamp<int64_t>(2 * static_cast<int64_t>(spread), 0, INT32_MAX));

    for (int32_t n = 0; n < count; ++n) {
        auto system = std::make_unique<TStarSystem>(&engine);
        system->Name = Names->NewName(Rules());
        // Each draw is its own statement: the order in which the generator is
        // asked must not depend on the compiler.
        auto scaled = [this](int32_t range) {
            const double r = Rules().RandomReal();
            return static_cast<int32_t>(r * range);
        };
        system->Value = scaled(Rules().Random(20)) + 1;
        if (system->Value == 1) system->Value = scaled(Rules().Random(20)) + 1;
        system->Shields = Rules().Random(system->Value);
        system->Scanners = scaled(Rules().Random(system->Value) * 2);
        if (system->Scanners == 1) system->Scanners = 0;
        system->Resources = scaled(system->Value * 3);
        if (Rules().Random(100) > 90) {
            system->BonusPercent = scaled(Rules().Random(100));
            if (system->BonusPercent < 5) system->BonusPercent = 0;
            system->BonusShipType = static_cast<TShipType>(Rules().Random(21));
        } else {
            system->BonusPercent = 0;
        }

        bool placed = false;
        for (int attempt = 0; attempt < 2000 && !placed; ++attempt) {
            const double along = Rules().RandomReal();
            int64_t x = static_cast<int64_t>(static_cast<double>(x2 - x1) * along + static_cast<double>(x1));
            int64_t y = static_cast<int64_t>(static_cast<double>(y2 - y1) * along + static_cast<double>(y1));
            int64_t sumX = 0, sumY = 0;
            for (int32_t s = 0; s <= samples; ++s) sumX += Rules().Random(offsetRange) - spread;
            for (int32_t s = 0; s <= samples; ++s) sumY += Rules().Random(offsetRange) - spread;
            x += RoundHalfEven(static_cast<double>(sumX) / samples);
            y += RoundHalfEven(static_cast<double>(sumY) / samples);
            if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) continue;
            if (!PassesPlacement(static_cast<int32_t>(x), static_cast<int32_t>(y), 2)) continue;
            system->X = static_cast<int32_t>(x);
            system->Y = static_cast<int32_t>(y);
            placed = true;
        }
        if (placed) engine.AddStarSystem(std::move(system));
    }
}

void TdmScripts::fnSetVictoryConditionsEval(const TArgList& args, TValue&) {
    TQuorvexEngine& engine = GameEngine();
    const int32_t condition = args.Integer(0);
    if (condition < 0 || condition > 3)
        throw ERTE("Victory condition must be 0 to 3, not " + std::to_string(condition));
    const std::string name = args.String(1);
    engine.SetVictoryCondition(static_cast<uint8_t>(condition));
    engine.SetVictoryStarSystem(nullptr);
    if (!name.empty()) {
        for (int i = 0; i < engine.StarSystemCount(); ++i) {
            if (engine.GetStarSystem(i)->Name == name) {
                engine.SetVictoryStarSystem(engine.GetStarSystem(i));
                break;
            }
        }
    }
    engine.SetVictoryAmount(args.Integer(2));
}

void TdmScripts::fnSetNebulaEval(const TArgList& args, TValue&) {
    MatrixMap->SetChar(args.Integer(0), args.Integer(1), args.Boolean(2) ? 'N' : '-');
}

} // namespace qx
