// qxtool soak: plays seeded brain duels on every bundled scenario while a
// replica engine follows the master's change stream alone, and compares the
// two game state texts after every impulse. A network game that drifts by one
// field is spoilt without a word; this is where such drift shows first.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "scenario/ScriptsModule.h"
#include "script/ScriptError.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool soak [--impulses N] [--first-seed S] [--game-impulses N] [--data DIR]\n"
    "                   [--scenario FILE]... [--quiet]\n"
    "Plays seeded all-computer games of two to four players (the bundled brains Pathfinder,\n"
    "Warden and Defender in turn) on every scenario, while a replica engine applies only the master's changes, and\n"
    "compares both game state texts after every impulse. Games run scenario by scenario and\n"
    "seed by seed (S, S+1, ...) until N impulses have been played in all.\n"
    "Prints one line per game and a total; on the first divergence it prints\n"
    "  DIVERGED scenario seed impulse, the first differing field and both values\n"
    "and exits with status 1.\n"
    "Options:\n"
    "  --impulses N       impulses to play in all (default 100000)\n"
    "  --first-seed S     seed of the first game (default 1)\n"
    "  --game-impulses N  impulses after which a game without a victor ends (default 4000)\n"
    "  --data DIR         the folder with scenarios/ and brains/ (default: data of the checkout)\n"
    "  --scenario FILE    play only these scenarios (repeatable)\n"
    "  --quiet            only the total and divergences\n"
    "  --drop-change K    withhold the K-th change of every game from the replica, to see that\n"
    "                     the comparison catches a lost change\n";

struct TDivergence {
    size_t Field = 0;
    size_t Part = 0;  // the "~" field inside an object's text, from 1; 0 for a plain field
    std::string Master;
    std::string Replica;
};

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    while (!text.empty()) {
        const size_t end = text.find(separator);
        fields.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return fields;
}

// The first field (";") where the texts differ, and inside it the first "~"
// field when it is an object's text.
TDivergence FirstDifference(const std::string& master, const std::string& replica) {
    const auto a = Split(master, ';'), b = Split(replica, ';');
    TDivergence d;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const std::string_view x = i < a.size() ? a[i] : "(missing)", y = i < b.size() ? b[i] : "(missing)";
        if (x == y) continue;
        d.Field = i + 1;
        const auto xs = Split(x, '~'), ys = Split(y, '~');
        if (xs.size() > 1 || ys.size() > 1)
            for (size_t k = 0; k < std::max(xs.size(), ys.size()); ++k) {
                const std::string_view p = k < xs.size() ? xs[k] : "(missing)", q = k < ys.size() ? ys[k] : "(missing)";
                if (p == q) continue;
                d.Part = k + 1;
                d.Master = p;
                d.Replica = q;
                return d;
            }
        d.Master = x;
        d.Replica = y;
        return d;
    }
    return d;
}

struct TGameResult {
    int64_t Impulses = 0;
    std::string Outcome;
    bool Diverged = false;
};

TGameResult PlayGame(const std::string& scenarioFile, const std::string& scenarioText,
                     const std::vector<std::string>& brains, uint64_t seed, int64_t maxImpulses,
                     int64_t dropChange) {
    TQuorvexEngine master;
    master.RulesRandom.Seed(seed);
    TdmScripts scripts;
    master.CharMatrix = scripts.MatrixMap;
    scripts.OnBrainMessage = [](const std::string& message) { std::cerr << message << '\n'; };
    const int players = 2 + static_cast<int>(seed % 3);  // two to four brains
    scripts.RunScenarioText(master, scenarioText, 18, 100, players, players);
    for (int p = 0; p < master.PlayerCount(); ++p)
        master.GetPlayer(p)->BrainFile = brains[static_cast<size_t>(p) % brains.size()];
    std::vector<std::string> changes;
    master.ChangeSink = [&changes](const std::string& change) { changes.push_back(change); };

    TQuorvexEngine replica;
    TCharMatrix replicaMap;
    replica.Replica = true;
    replica.CharMatrix = &replicaMap;
    replica.LoadFromText(master.SaveToText());
    replicaMap.SetSize(replica.MapWidth, replica.MapHeight);
    replicaMap.LoadFromText(replica.MapText);

    TPlayer* winner = nullptr;
    master.OnVictory = [&winner](TObject*, TPlayer* player) {
        if (!winner) winner = player;
    };
    TImpulseDriver masterDriver(master);
    masterDriver.BrainTurn = [&scripts](TPlayer* player) { scripts.BrainTurn(player); };
    TImpulseDriver replicaDriver(replica);
    master.UpdateVisibility();
    replica.UpdateVisibility();

    TGameResult result;
    const std::string name = std::filesystem::path(scenarioFile).stem().string();
    int64_t changesSoFar = 0;
    for (; result.Impulses < maxImpulses && !winner; ++result.Impulses) {
        changes.clear();
        const int32_t impulse = master.Impulse;
        masterDriver.RunImpulse();
        const int64_t made = static_cast<int64_t>(changes.size());
        if (dropChange > changesSoFar && dropChange <= changesSoFar + made)
            changes.erase(changes.begin() + (dropChange - changesSoFar - 1));
        changesSoFar += made;
        replicaDriver.RunImpulse(changes);
        const std::string a = master.SaveToText(), b = replica.SaveToText();
        if (a == b) continue;
        const TDivergence d = FirstDifference(a, b);
        std::cout << "DIVERGED " << name << " seed " << seed << " impulse " << impulse << ": field " << d.Field;
        if (d.Part) std::cout << " (part " << d.Part << ")";
        std::cout << " master '" << d.Master << "' replica '" << d.Replica << "'\n";
        result.Diverged = true;
        return result;
    }
    result.Outcome = winner ? "VICTORY " + std::to_string(winner->Index) + " " + winner->Name
                            : "NO VICTOR";
    return result;
}

int RunSoak(const std::vector<std::string>& args) {
    Arguments arguments(args);
    if (arguments.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const int64_t total = arguments.Int("--impulses", 100000, 1, INT64_MAX);
    const int64_t firstSeed = arguments.Int("--first-seed", 1, 0, INT64_MAX);
    const int64_t gameImpulses = arguments.Int("--game-impulses", 4000, 1, 100000000);
    const std::string data = arguments.Value("--data").value_or("data");
    std::vector<std::string> scenarios = arguments.Values("--scenario");
    const bool quiet = arguments.Flag("--quiet");
    const int64_t dropChange = arguments.Int("--drop-change", 0, 0, INT64_MAX);
    arguments.Positional(0, 0);

    if (scenarios.empty()) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(data + "/scenarios", error))
            if (entry.path().extension() == ".qxscen") scenarios.push_back(entry.path().string());
        if (error || scenarios.empty()) throw ToolError{"no scenarios in " + data + "/scenarios", 1};
        std::sort(scenarios.begin(), scenarios.end());
    }
    std::vector<std::string> brains;
    for (const char* brain : {"Pathfinder", "Warden", "Defender"}) {
        const std::string path = data + "/brains/" + brain + ".qxbrain";
        ReadTextFile(path);  // a missing brain is a mistake here
        brains.push_back(path);
    }
    std::vector<std::string> texts;
    for (const std::string& scenario : scenarios) texts.push_back(ReadTextFile(scenario));

    int64_t played = 0, games = 0;
    for (uint64_t seed = static_cast<uint64_t>(firstSeed); played < total; ++seed) {
        for (size_t s = 0; s < scenarios.size() && played < total; ++s) {
            TGameResult result;
            try {
                result = PlayGame(scenarios[s], texts[s], brains, seed, std::min(gameImpulses, total - played),
                                  dropChange);
            } catch (const EScriptError& error) {
                throw ToolError{scenarios[s] + ": " + error.what(), 1};
            }
            played += result.Impulses;
            ++games;
            if (result.Diverged) return 1;
            if (!quiet)
                std::cout << std::filesystem::path(scenarios[s]).stem().string() << " seed " << seed << ": "
                          << result.Impulses << " impulses, " << result.Outcome << '\n';
        }
    }
    std::cout << "SOAK " << played << " impulses in " << games << " games, 0 divergences\n";
    return 0;
}

} // namespace

QX_COMMAND(soak, "soak", "play seeded duels with a replica that follows only the changes", RunSoak);

} // namespace qx::tool
