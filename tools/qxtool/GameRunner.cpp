#include "GameRunner.h"

#include <algorithm>

#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "scenario/ScriptsModule.h"

namespace qx::tool {

TGameOutcome PlayGame(const TGameSetup& setup) {
    TGameOutcome outcome;
    TQuorvexEngine engine;
    engine.RulesRandom.Seed(setup.Seed);
    TdmScripts scripts;
    engine.CharMatrix = scripts.MatrixMap;
    scripts.BrainCallBudget = setup.CallBudget;
    // Which player a message is about: the brain that is thinking or loading.
    int thinking = -1;
    scripts.OnBrainMessage = [&](const std::string& message) {
        outcome.BrainMessages.push_back(message);
        if (thinking >= 0 && std::find(outcome.FailedPlayers.begin(), outcome.FailedPlayers.end(), thinking) ==
                                 outcome.FailedPlayers.end())
            outcome.FailedPlayers.push_back(thinking);
    };
    scripts.RunScenarioText(engine, setup.ScenarioText, 18, 100, setup.Players, setup.Players);
    for (size_t i = 0; i < setup.BrainFiles.size() && static_cast<int>(i) < engine.PlayerCount(); ++i)
        engine.GetPlayer(static_cast<int>(i))->BrainFile = setup.BrainFiles[i];

    TPlayer* winner = nullptr;
    engine.OnVictory = [&winner](TObject*, TPlayer* player) {
        if (!winner) winner = player;
    };
    TImpulseDriver driver(engine);
    driver.BrainTurn = [&](TPlayer* player) {
        thinking = player->Index;
        scripts.BrainTurn(player);
        thinking = -1;
    };
    engine.UpdateVisibility();
    for (int64_t n = 1; n <= setup.MaxImpulses; ++n) {
        const int32_t impulse = engine.Impulse;
        driver.RunImpulse();
        outcome.Impulse = impulse;
        if (winner) {
            outcome.Winner = winner->Index;
            break;
        }
    }
    return outcome;
}

} // namespace qx::tool
