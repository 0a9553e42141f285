// qxtool step: runs impulses of a saved game state headlessly and prints
// every change and event, one per line. The output format is relied on by
// scripts and tests: keep it stable.
#include <iostream>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "base/FieldCodec.h"
#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "engine/SavedGame.h"
#include "scenario/ScriptsModule.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool step STATE [--order P:TEXT]... [--impulses N] [--seed S] [--current P]\n"
    "                  [--budget CALLS] [--brain-dir DIR]...\n"
    "Loads a game state text (a scrambled saved game when STATE ends in .qx), queues each\n"
    "order for player index P at the first impulse, computes visibility once and runs N\n"
    "impulses (default 1) as the master. Before each impulse the computer player whose turn\n"
    "it is thinks, as in a duel: its brain file (a player's BrainFile field; the built-in\n"
    "Defender when it is empty or not found) submits orders that the impulse carries out.\n"
    "Output, one item per line, in the order things happen:\n"
    "  IMPULSE n        the impulse being processed\n"
    "  CHANGE text      a recorded change\n"
    "  EVENT name args  an engine event (ships as I+owner+code, systems as Y+index,\n"
    "                   wormholes as W+index, players as their index)\n"
    "  STATE text       the game state at the end\n"
    "Options:\n"
    "  --order P:TEXT   an order text of player P (repeatable, kept in order)\n"
    "  --impulses N     impulses to run (0..1000000, default 1)\n"
    "  --seed S         seed of the rules generator (the same seed repeats the run)\n"
    "  --current P      the player this machine shows (default none)\n"
    "  --budget CALLS   function calls one brain may make per turn (default 5000000, 0 = no limit)\n"
    "  --brain-dir DIR  a folder to look for brain files in before the current one (repeatable)\n"
    "Messages about failing brains go to standard error.\n"
    "Exit status: 0 on success, 1 for bad input, 2 for bad usage.\n";

void WireEvents(TQuorvexEngine& engine) {
    auto print = [](const std::string& line) { std::cout << "EVENT " << line << '\n'; };
    auto ship = [&engine](const TStarShip* s) { return engine.ObjectRef(s); };
    auto system = [](const TStarSystem* s) { return "Y" + std::to_string(s->Index); };
    auto shipEvent = [=](const char* name) {
        return [=](TObject*, TStarShip* s) { print(std::string(name) + ' ' + ship(s)); };
    };
    auto systemEvent = [=](const char* name) {
        return [=](TObject*, TStarSystem* s) { print(std::string(name) + ' ' + system(s)); };
    };
    auto playerEvent = [=](const char* name) {
        return [=](TObject*, TPlayer* p) { print(std::string(name) + ' ' + std::to_string(p->Index)); };
    };
    auto moveEvent = [=](const char* name) {
        return [=](TObject*, TStarShip* s, int direction) {
            print(std::string(name) + ' ' + ship(s) + ' ' + std::to_string(direction));
        };
    };
    engine.OnStarShipCreate = shipEvent("OnStarShipCreate");
    engine.OnStarShipDestroy = shipEvent("OnStarShipDestroy");
    engine.OnStarShipDamage = shipEvent("OnStarShipDamage");
    engine.OnStarShipHijack = shipEvent("OnStarShipHijack");
    engine.OnStarSystemAttack = systemEvent("OnStarSystemAttack");
    engine.OnStarSystemConquer = systemEvent("OnStarSystemConquer");
    engine.OnMoveStarSystem = systemEvent("OnMoveStarSystem");
    engine.OnMoveStarShip = moveEvent("OnMoveStarShip");
    engine.OnWormholeTravel = moveEvent("OnWormholeTravel");
    engine.OnPlayerConquered = playerEvent("OnPlayerConquered");
    engine.OnPlayerSurrender = playerEvent("OnPlayerSurrender");
    engine.OnVictory = playerEvent("OnVictory");
    engine.OnAllianceChange = playerEvent("OnAllianceChange");
    // The gate is announced before it joins the list: it gets the next index.
    engine.OnCreateJumpGate = [=, &engine](TObject*, TWormhole*) {
        print("OnCreateJumpGate W" + std::to_string(engine.WormholeCount()));
    };
    engine.ChangeSink = [](const std::string& change) { std::cout << "CHANGE " << change << '\n'; };
}

int RunStep(const std::vector<std::string>& args) {
    Arguments arguments(args);
    if (arguments.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const std::vector<std::string> orders = arguments.Values("--order");
    const int64_t impulses = arguments.Int("--impulses", 1, 0, 1000000);
    const std::optional<std::string> seed = arguments.Value("--seed");
    const std::optional<std::string> current = arguments.Value("--current");
    const auto budget = arguments.Int("--budget", 5000000, 0, INT64_MAX);
    const std::vector<std::string> brainFolders = arguments.Values("--brain-dir");
    const std::string path = arguments.Positional(1, 1).front();
    const int64_t seedValue = seed ? ParseInt("option --seed", *seed, 0, INT64_MAX) : -1;

    TQuorvexEngine engine;
    if (seedValue >= 0) engine.RulesRandom.Seed(static_cast<uint64_t>(seedValue));
    TdmScripts scripts;
    engine.CharMatrix = scripts.MatrixMap;
    try {
        TSavedGame::LoadFile(path, engine);
    } catch (const ESavedGameError& error) {
        throw ToolError{error.what(), 1};
    }
    scripts.Engine = &engine;
    scripts.BrainFolders = brainFolders;
    scripts.BrainCallBudget = static_cast<uint64_t>(budget);
    scripts.OnBrainMessage = [](const std::string& message) { std::cerr << message << '\n'; };

    TImpulseDriver driver(engine);
    driver.BrainTurn = [&scripts](TPlayer* player) { scripts.BrainTurn(player); };
    for (const std::string& order : orders) {
        const size_t colon = order.find(':');
        int32_t index = -1;
        if (colon == std::string::npos || !TextToInt(std::string_view(order).substr(0, colon), index))
            throw ToolError{"bad order '" + order + "': expected P:TEXT", 1};
        TPlayer* player = engine.PlayerOrNull(index);
        if (!player) throw ToolError{"bad order '" + order + "': there is no player " + std::to_string(index), 1};
        driver.QueueOrder(player, order.substr(colon + 1));
    }
    if (current) {
        int32_t index = -1;
        if (!TextToInt(*current, index) || !engine.PlayerOrNull(index))
            throw ToolError{"option --current: there is no player " + *current, 1};
        engine.SetCurrentPlayer(engine.GetPlayer(index));
    }

    engine.UpdateVisibility();
    WireEvents(engine);
    for (int64_t i = 0; i < impulses; ++i) {
        std::cout << "IMPULSE " << engine.Impulse << '\n';
        driver.RunImpulse();
    }
    std::cout << "STATE " << engine.SaveToText() << '\n';
    std::cout.flush();
    return 0;
}

} // namespace

QX_COMMAND(step, "step", "run impulses of a game state and print its changes and events", RunStep);

} // namespace qx::tool
