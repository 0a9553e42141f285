// qxtool duel: an all-computer game played out as fast as it runs.
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "engine/SavedGame.h"
#include "scenario/ScriptsModule.h"
#include "script/ScriptError.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool duel SCENARIO [--brain FILE]... [--players N] [--seed S] [--max-impulses N]\n"
    "                   [--budget CALLS] [--save FILE] [--quiet]\n"
    "Plays an all-computer game on the galaxy SCENARIO makes: player i plays the i-th --brain\n"
    "file, players without one play the built-in Defender brain. Prints a progress line every\n"
    "500 impulses (per player: star systems, ships, resources) and ends with\n"
    "  VICTORY i name impulse n     or     NO VICTOR after n impulses\n"
    "Options:\n"
    "  --brain FILE       a brain for the next player (repeatable)\n"
    "  --players N        players, 2..10 (default: the number of brains, at least 2)\n"
    "  --seed S           seed of the random generator (the same seed repeats the duel exactly)\n"
    "  --max-impulses N   stop after N impulses (default 10000)\n"
    "  --budget CALLS     function calls one brain may make per turn (default 5000000, 0 = no limit)\n"
    "  --save FILE        write the game state at the end: a scrambled saved game when FILE\n"
    "                     ends in .qx, plain text otherwise (for qxtool snapshot or step)\n"
    "  --quiet            no progress lines\n"
    "Messages about failing brains go to standard error.\n";

constexpr int kProgressEvery = 500;

void PrintProgress(const TQuorvexEngine& engine, int32_t impulse) {
    std::cout << "impulse " << impulse;
    for (int p = 0; p < engine.PlayerCount(); ++p) {
        const TPlayer& player = *engine.GetPlayer(p);
        std::cout << "  [" << p << "] " << player.StarSystemCount() << " systems " << player.StarShipCount()
                  << " ships " << static_cast<int64_t>(player.TotalResources()) << " resources";
        if (!player.Alive) std::cout << " (out)";
    }
    std::cout << "\n";
}

int Run(const std::vector<std::string>& argv) {
    Arguments args(argv);
    if (args.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const std::vector<std::string> brains = args.Values("--brain");
    const int defaultPlayers = std::max<int>(2, static_cast<int>(brains.size()));
    const int players = static_cast<int>(args.Int("--players", defaultPlayers, 2, 10));
    if (static_cast<int>(brains.size()) > players)
        throw ToolError{"more brains than players (" + std::to_string(players) + ")", 2};
    const auto seed = args.Int("--seed", static_cast<int64_t>(std::random_device{}() >> 1), 0, INT64_MAX);
    const auto maxImpulses = args.Int("--max-impulses", 10000, 1, 100000000);
    const auto budget = args.Int("--budget", 5000000, 0, INT64_MAX);
    const bool quiet = args.Flag("--quiet");
    const std::optional<std::string> saveFile = args.Value("--save");
    const std::string scenarioFile = args.Positional(1, 1).front();
    const std::string scenario = ReadTextFile(scenarioFile);
    for (const std::string& brain : brains) ReadTextFile(brain);  // a missing brain file is a mistake here

    TQuorvexEngine engine;
    engine.RulesRandom.Seed(static_cast<uint64_t>(seed));
    TdmScripts scripts;
    engine.CharMatrix = scripts.MatrixMap;
    scripts.BrainCallBudget = static_cast<uint64_t>(budget);
    scripts.OnBrainMessage = [](const std::string& message) { std::cerr << message << "\n"; };
    try {
        scripts.RunScenarioText(engine, scenario, 18, 100, players, players);
    } catch (const EScriptError& error) {
        std::cout << error.what() << "\n";
        return 1;
    }
    for (size_t i = 0; i < brains.size(); ++i) engine.GetPlayer(static_cast<int>(i))->BrainFile = brains[i];

    TPlayer* winner = nullptr;
    engine.OnVictory = [&winner](TObject*, TPlayer* player) {
        if (!winner) winner = player;
    };
    TImpulseDriver driver(engine);
    driver.BrainTurn = [&scripts](TPlayer* player) { scripts.BrainTurn(player); };

    std::cout << "duel " << scenarioFile << ": " << players << " players, " << engine.StarSystemCount()
              << " star systems, seed " << seed << "\n";
    engine.UpdateVisibility();
    std::string result = "NO VICTOR after " + std::to_string(maxImpulses) + " impulses";
    for (int64_t n = 1; n <= maxImpulses; ++n) {
        const int32_t impulse = engine.Impulse;
        driver.RunImpulse();
        if (winner) {
            result = "VICTORY " + std::to_string(winner->Index) + " " + winner->Name + " impulse " +
                     std::to_string(impulse);
            break;
        }
        if (!quiet && n % kProgressEvery == 0) PrintProgress(engine, impulse);
    }
    if (saveFile) {
        try {
            TSavedGame::SaveFile(*saveFile, engine);
        } catch (const ESavedGameError& error) {
            std::cout << result << "\n";
            throw ToolError{error.what(), 1};
        }
    }
    std::cout << result << "\n";
    return 0;
}

} // namespace

QX_COMMAND(duel, "duel", "play an all-computer game to the end, as fast as it runs", Run);

} // namespace qx::tool
