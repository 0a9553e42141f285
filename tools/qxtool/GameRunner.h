#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx::tool {

// One all-computer game, set up as `qxtool duel` sets it up: the scenario
// makes the galaxy with every player a computer, player i plays BrainFiles[i]
// (an empty name, or a player past the list, plays the built-in Defender).
struct TGameSetup {
    std::string ScenarioText;
    std::vector<std::string> BrainFiles;
    int Players = 2;
    uint64_t Seed = 0;
    int64_t MaxImpulses = 10000;
    uint64_t CallBudget = 5000000;  // per brain turn, 0 for none
};

struct TGameOutcome {
    int Winner = -1;        // the winning player's index, -1 when nobody won in time
    int32_t Impulse = 0;    // the impulse of the victory, or the last one played
    // What the game said about its brains (a brain that did not compile or
    // that failed and stopped thinking), each with its player and file.
    std::vector<std::string> BrainMessages;
    std::vector<int> FailedPlayers;  // players whose brain produced such a message
};

// Plays the game through; a scenario that fails raises its script error.
// Everything a game uses is its own, so games can run side by side on
// threads and a game repeats exactly with the same setup.
TGameOutcome PlayGame(const TGameSetup& setup);

} // namespace qx::tool
