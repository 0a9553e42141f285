// qxtool scenario: runs a scenario script and prints the galaxy it makes.
#include <iostream>
#include <random>
#include <string>

#include "Arguments.h"
#include "Command.h"
#include "engine/QuorvexEngine.h"
#include "base/Random.h"
#include "scenario/ScriptsModule.h"
#include "script/ScriptError.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool scenario FILE --players N [--computers C] [--capital-value V] [--resources R] [--seed S]\n"
    "Runs the scenario script FILE for N players (the last C of them computers) and prints\n"
    "  DESCRIPTION text   what the scenario says of itself\n"
    "  VICTORY text       its victory condition\n"
    "  STATE text         the game state text of the galaxy\n"
    "Options:\n"
    "  --players N        players, 1..10 (required)\n"
    "  --computers C      computer players among them (default 0)\n"
    "  --capital-value V  production value of a capital (default 18)\n"
    "  --resources R      starting resources of a capital (default 100)\n"
    "  --seed S           seed of the random generator (the same seed makes the same galaxy)\n"
    "A script error prints its message and exits 1.\n";

int Run(const std::vector<std::string>& argv) {
    Arguments args(argv);
    if (args.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const auto players = args.Value("--players");
    if (!players) throw ToolError{"--players N is required (see --help)", 2};
    const int playerCount = static_cast<int>(ParseInt("option --players", *players, 1, 10));
    const int computers = static_cast<int>(args.Int("--computers", 0, 0, playerCount));
    const auto capitalValue = static_cast<int32_t>(args.Int("--capital-value", 18, 0, 1000000));
    const auto resources = static_cast<int32_t>(args.Int("--resources", 100, 0, 1000000000));
    const auto seed = args.Int("--seed", static_cast<int64_t>(std::random_device{}() >> 1), 0, INT64_MAX);
    const std::string file = args.Positional(1, 1).front();
    const std::string text = ReadTextFile(file);

    TQuorvexEngine engine;
    engine.RulesRandom.Seed(static_cast<uint64_t>(seed));
    TdmScripts scripts;
    engine.CharMatrix = scripts.MatrixMap;
    TTextScenarioDisplay display;
    scripts.Display = &display;
    try {
        scripts.RunScenarioText(engine, text, capitalValue, resources, computers, playerCount);
    } catch (const EScriptError& error) {
        std::cout << error.what() << "\n";
        return 1;
    }
    std::cout << "DESCRIPTION " << display.Description << "\n";
    std::cout << "VICTORY " << engine.VictoryText() << "\n";
    std::cout << "STATE " << engine.SaveToText() << "\n";
    return 0;
}

} // namespace

QX_COMMAND(scenario, "scenario", "run a scenario script and print the galaxy it makes", Run);

} // namespace qx::tool
