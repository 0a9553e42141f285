// Times a headless four-brain duel (Pathfinder, Warden, Defender, Defender)
// on the large galaxy and shows where the time goes. Run a Release build from
// the repository root (or pass --data):
//   duel_bench [--impulses N] [--seed S] [--data DIR] [--hash] [--fleet N]
// --hash also prints a digest of every change the master recorded, so two
// builds can be checked to play the very same game. --fleet gives every
// player N more ships around its capital at the start (WarShips, Drones and
// ScanShips), to see how the cost grows with the number of ships.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "base/Random.h"
#include "scenario/ScriptsModule.h"

namespace {

using TClock = std::chrono::steady_clock;

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

double Seconds(TClock::duration d) { return std::chrono::duration<double>(d).count(); }

struct TOptions {
    int64_t Impulses = 3000;
    uint64_t Seed = 5;
    std::string Data = "data";
    bool Hash = false;
    int Fleet = 0;
};

TOptions ReadOptions(int argc, char** argv) {
    TOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--impulses" && hasValue) options.Impulses = std::strtoll(argv[++i], nullptr, 10);
        else if (arg == "--seed" && hasValue) options.Seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--data" && hasValue) options.Data = argv[++i];
        else if (arg == "--hash") options.Hash = true;
        else if (arg == "--fleet" && hasValue) options.Fleet = std::atoi(argv[++i]);
        else throw std::runtime_error("usage: duel_bench [--impulses N] [--seed S] [--data DIR] [--hash] [--fleet N]");
    }
    if (options.Impulses < 1) throw std::runtime_error("--impulses must be at least 1");
    if (options.Fleet < 0 || options.Fleet > 5000) throw std::runtime_error("--fleet must be 0..5000");
    return options;
}

// Count ships for every player, on the free cells nearest its capital (a
// square spiral around it): WarShips, every fourth a Drone, every tenth a
// ScanShip, all of middling strength.
void AddFleets(qx::TQuorvexEngine& engine, int count) {
    for (int p = 0; p < engine.PlayerCount(); ++p) {
        qx::TPlayer* player = engine.GetPlayer(p);
        const qx::TStarSystem* capital = player->Capital();
        if (!capital) continue;
        int placed = 0;
        for (int ring = 1; placed < count && ring < std::max(engine.MapWidth, engine.MapHeight); ++ring)
            for (int dx = -ring; dx <= ring && placed < count; ++dx)
                for (int dy = -ring; dy <= ring && placed < count; ++dy) {
                    if (std::max(std::abs(dx), std::abs(dy)) != ring) continue;
                    const int x = capital->X + dx, y = capital->Y + dy;
                    if (!engine.IsInsideMap(x, y) || !engine.IsEmpty(x, y)) continue;
                    auto ship = std::make_unique<qx::TStarShip>(&engine);
                    ship->ShipType = placed % 10 == 9 ? qx::TShipType::ScanShip
                                     : placed % 4 == 3 ? qx::TShipType::Drone
                                                       : qx::TShipType::WarShip;
                    ship->X = x;
                    ship->Y = y;
                    ship->SetEngines(5 + placed % 6);
                    ship->SetValue(3 + placed % 5);
                    ship->AttackAdjacent = ship->ShipType != qx::TShipType::ScanShip;
                    player->AddStarShip(std::move(ship));
                    ++placed;
                }
    }
}

int Run(const TOptions& options) {
    const std::string scenario = ReadFile(options.Data + "/scenarios/Galaxy.qxscen");
    const std::string brains[] = {options.Data + "/brains/Pathfinder.qxbrain",
                                  options.Data + "/brains/Warden.qxbrain"};
    for (const std::string& brain : brains) ReadFile(brain);

    qx::TQuorvexEngine engine;
    engine.RulesRandom.Seed(options.Seed);
    qx::TdmScripts scripts;
    engine.CharMatrix = scripts.MatrixMap;
    scripts.OnBrainMessage = [](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); };
    scripts.RunScenarioText(engine, scenario, 18, 100, 4, 4);
    for (int i = 0; i < 2; ++i) engine.GetPlayer(i)->BrainFile = brains[i];
    AddFleets(engine, options.Fleet);

    // FNV-1a over every recorded change, each closed by a newline.
    uint64_t digest = 14695981039346656037ull;
    uint64_t changes = 0;
    if (options.Hash)
        engine.ChangeSink = [&](const std::string& change) {
            for (unsigned char c : change + "\n") digest = (digest ^ c) * 1099511628211ull;
            ++changes;
        };

    qx::TPlayer* winner = nullptr;
    int32_t victoryImpulse = 0;
    engine.OnVictory = [&](qx::TObject*, qx::TPlayer* player) {
        if (!winner) winner = player;
    };
    qx::TImpulseDriver driver(engine);
    TClock::duration brainTime{};
    int64_t brainTurns = 0;
    uint64_t brainCalls = 0;
    driver.BrainTurn = [&](qx::TPlayer* player) {
        const auto start = TClock::now();
        scripts.BrainTurn(player);
        brainTime += TClock::now() - start;
        ++brainTurns;
        brainCalls += scripts.FuncsBrains().CallCount;  // counted afresh for every run
    };

    // The driver's own steps, timed apart: before (brains, resources),
    // orders and movement, after (removal, visibility, victory).
    TClock::duration beforeTime{}, processTime{}, afterTime{};
    engine.UpdateVisibility();
    int64_t played = 0;
    int64_t shipImpulses = 0;  // ships alive summed over the impulses
    const auto start = TClock::now();
    while (played < options.Impulses && !winner) {
        const int32_t impulse = engine.Impulse;
        const auto t0 = TClock::now();
        driver.BeforeProcess(impulse);
        const auto t1 = TClock::now();
        driver.ProcessOrders();
        const auto t2 = TClock::now();
        driver.AfterProcess(impulse + 1);
        const auto t3 = TClock::now();
        beforeTime += t1 - t0;
        processTime += t2 - t1;
        afterTime += t3 - t2;
        ++played;
        for (int p = 0; p < engine.PlayerCount(); ++p) shipImpulses += engine.GetPlayer(p)->StarShipCount();
        if (winner) victoryImpulse = impulse;
    }
    const double total = Seconds(TClock::now() - start);

    int ships = 0;
    for (int p = 0; p < engine.PlayerCount(); ++p) ships += engine.GetPlayer(p)->StarShipCount();
    const double brains_s = Seconds(brainTime);
    const double other_before = Seconds(beforeTime) - brains_s;
    auto share = [total](double s) { return total > 0 ? 100.0 * s / total : 0.0; };

    std::printf("Galaxy, 4 players, seed %llu: %d star systems, %d ships at the end\n",
                static_cast<unsigned long long>(options.Seed), engine.StarSystemCount(), ships);
    if (winner)
        std::printf("victory of player %d at impulse %d\n", winner->Index, victoryImpulse);
    std::printf("%lld impulses in %.3f s: %.0f impulses/s\n", static_cast<long long>(played), total,
                total > 0 ? static_cast<double>(played) / total : 0.0);
    const double averageShips = static_cast<double>(shipImpulses) / static_cast<double>(played);
    std::printf("  %.0f ships on average, %.2f us per impulse and ship\n", averageShips,
                averageShips > 0 ? 1e6 * total / static_cast<double>(played) / averageShips : 0.0);
    std::printf("  brains            %8.3f s %5.1f%%  (%lld turns, %.3f ms each)\n", brains_s, share(brains_s),
                static_cast<long long>(brainTurns), brainTurns ? 1000.0 * brains_s / static_cast<double>(brainTurns) : 0.0);
    std::printf("                    %lld script function calls, %.0f ns each\n",
                static_cast<long long>(brainCalls), brainCalls ? 1e9 * brains_s / static_cast<double>(brainCalls) : 0.0);
    std::printf("  resources, bonus  %8.3f s %5.1f%%\n", other_before, share(other_before));
    std::printf("  orders, movement  %8.3f s %5.1f%%\n", Seconds(processTime), share(Seconds(processTime)));
    std::printf("  removal, sight    %8.3f s %5.1f%%\n", Seconds(afterTime), share(Seconds(afterTime)));
    std::printf("  rest of the game  %8.3f s %5.1f%%\n", total - brains_s, share(total - brains_s));
    if (options.Hash)
        std::printf("changes %llu, digest %016llx\n", static_cast<unsigned long long>(changes),
                    static_cast<unsigned long long>(digest));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(ReadOptions(argc, argv));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "duel_bench: %s\n", error.what());
        return 2;
    }
}
