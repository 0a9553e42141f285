#include "scenario/ScriptsModule.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "engine/QuorvexEngine.h"
#include "scenario/DefaultBrain.h"
#include "script/ScriptError.h"

namespace qx {

namespace {

// Script texts are handed over as their lines joined with CR LF.
std::string JoinLinesCrLf(const std::string& text) {
    std::string joined;
    joined.reserve(text.size() + text.size() / 16);
    std::istringstream in(text);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!first) joined += "\r\n";
        joined += line;
        first = false;
    }
    return joined;
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

} // namespace

TdmScripts::TdmScripts()
    : Names(&OwnNames_),
      MatrixMap(&OwnMatrixMap_),
      MatrixBackground(&OwnMatrixBackground_),
      Display(&OwnDisplay_),
      Calc(&OwnCalc_),
      DefaultBrainText(DefaultBrainSource()) {
    OwnNames_.Delimiter = "-";
    OwnNames_.SetSyllables(TNameGenerator::StarSystemSyllables());
    ScriptScenario_.Exceptions = true;
    ScriptScenario_.SetFunctions(&FuncsScenario_);
    RegisterScenarioFunctions();
    RegisterBrainFunctions();
    for (int i = 0; i < 10; ++i) {
        Brains_[static_cast<size_t>(i)] = std::make_unique<TQuorvexBrain>();
        TQuorvexBrain& brain = *Brains_[static_cast<size_t>(i)];
        brain.PlayerIndex = i;
        brain.Exceptions = true;
        brain.SetFunctions(&FuncsBrains_);
    }
}

TdmScripts::~TdmScripts() = default;

void TdmScripts::DeclareScenario(const char* declaration, void (TdmScripts::*handler)(const TArgList&, TValue&)) {
    Funcs_.push_back(std::make_unique<TFunc>(
        declaration, [this, handler](TObject*, const TArgList& args, TValue& result) { (this->*handler)(args, result); },
        &FuncsScenario_));
}

void TdmScripts::DeclareBrain(const char* declaration, void (TdmScripts::*handler)(const TArgList&, TValue&)) {
    Funcs_.push_back(std::make_unique<TFunc>(
        declaration, [this, handler](TObject*, const TArgList& args, TValue& result) { (this->*handler)(args, result); },
        &FuncsBrains_));
}

TQuorvexEngine& TdmScripts::GameEngine() const {
    if (!Engine) throw ERTE("No game is being set up");
    return *Engine;
}

TRandom& TdmScripts::Rules() const { return GameEngine().RulesRandom; }

void TdmScripts::RunScenario(TQuorvexEngine& engine, const std::string& fileName, int32_t capitalValue,
                             int32_t startingResources, int computers, int players) {
    std::string text;
    if (!ReadFile(fileName, text)) throw std::runtime_error("Cannot open file \"" + fileName + "\"");
    RunScenarioText(engine, text, capitalValue, startingResources, computers, players);
}

void TdmScripts::RunScenarioText(TQuorvexEngine& engine, const std::string& text, int32_t capitalValue,
                                 int32_t startingResources, int computers, int players) {
    StartingResources = startingResources;
    CapitalValue = capitalValue;
    ScriptScenario_.SetText(JoinLinesCrLf(text));

    Engine = &engine;
    engine.ClearGame();
    Names->Reset();
    engine.SetVictoryCondition(0);
    engine.SetVictoryStarSystem(nullptr);
    ResetBrains();

    for (int i = 0; i < players && i < MaxPlayers; ++i) {
        auto player = std::make_unique<TPlayer>(&engine);
        player->Name = "Player " + std::to_string(i + 1);
        player->Index = i;
        player->Computer = i >= players - computers;
        engine.AddPlayer(std::move(player));
    }

    ScriptScenario_.Compile();
    ScriptScenario_.Run();

    engine.ShuffleStarSystems();
    for (int i = 0; i < engine.StarSystemCount(); ++i) engine.GetStarSystem(i)->Index = i;
    PlaceDefaultCapitals();
    for (int i = 0; i < engine.StarSystemCount(); ++i) {
        TStarSystem& system = *engine.GetStarSystem(i);
        if (!system.Capital) continue;
        if (CapitalValue != 18) system.Value = CapitalValue;
        if (StartingResources != 100) system.Resources = StartingResources;
    }
    engine.SetMapText(MatrixMap->SaveToText());
}

void TdmScripts::MakeCapital(TStarSystem& system, TPlayer& player) {
    system.SetOwner(&player);
    system.Value = CapitalValue;
    system.Shields = 12;
    system.Scanners = 10;
    system.Resources = StartingResources;
    system.Capital = true;
}

bool TdmScripts::HasCapitalNear(const TStarSystem& system) const {
    const TQuorvexEngine& engine = GameEngine();
    for (int i = 0; i < engine.StarSystemCount(); ++i) {
        const TStarSystem& other = *engine.GetStarSystem(i);
        if (other.Capital && TQuorvexEngine::GridDistance(system.X, system.Y, other.X, other.Y) < 12) return true;
    }
    return false;
}

void TdmScripts::PlaceDefaultCapitals() {
    TQuorvexEngine& engine = GameEngine();
    // First pass keeps capitals apart; the second takes any free system.
    for (int pass = 0; pass < 2; ++pass) {
        for (int p = 0; p < engine.PlayerCount(); ++p) {
            TPlayer& player = *engine.GetPlayer(p);
            if (player.Capital()) continue;
            for (int i = 0; i < engine.StarSystemCount(); ++i) {
                TStarSystem& system = *engine.GetStarSystem(i);
                if (system.Owner) continue;
                if (pass == 0 && HasCapitalNear(system)) continue;
                MakeCapital(system, player);
                break;
            }
        }
    }
}

bool TdmScripts::PassesPlacement(int32_t x, int32_t y, int32_t distance) const {
    const TQuorvexEngine& engine = GameEngine();
    if (!engine.IsInsideMap(x, y)) return false;
    for (int i = 0; i < engine.StarSystemCount(); ++i) {
        const TStarSystem& other = *engine.GetStarSystem(i);
        if (std::abs(static_cast<int64_t>(other.X) - x) < distance &&
            std::abs(static_cast<int64_t>(other.Y) - y) < distance)
            return false;
    }
    return true;
}

TQuorvexBrain& TdmScripts::GetBrain(const TPlayer* player) {
    if (!player || player->Index < 0 || player->Index > 9)
        throw std::runtime_error("Invalid Player sent to GetBrain");
    return *Brains_[static_cast<size_t>(player->Index)];
}

void TdmScripts::ResetBrains() {
    BrainStopped_.fill(false);
    CurrentBrain = nullptr;
    BrainPlayer = nullptr;
}

bool TdmScripts::BrainStopped(int playerIndex) const {
    return playerIndex >= 0 && playerIndex < 10 && BrainStopped_[static_cast<size_t>(playerIndex)];
}

std::string TdmScripts::BrainPath(const TPlayer& player) const {
    const std::string& file = player.BrainFile;
    if (file.empty()) return {};
    auto readable = [](const std::string& path) { return static_cast<bool>(std::ifstream(path)); };
    if (file.find('/') == std::string::npos)
        for (const std::string& folder : BrainFolders)
            if (const std::string path = folder + "/" + file; readable(path)) return path;
    return readable(file) ? file : std::string();
}

std::string TdmScripts::BrainName(const TPlayer& player) const {
    const std::string path = BrainPath(player);
    return "Player " + std::to_string(player.Index + 1) + " (" + (path.empty() ? "built-in Defender" : path) + ")";
}

void TdmScripts::Report(const std::string& message) {
    if (OnBrainMessage) OnBrainMessage(message);
}

void TdmScripts::LoadBrain(TPlayer& player, TQuorvexBrain& brain) {
    std::string text;
    const std::string path = BrainPath(player);
    if (path.empty() || !ReadFile(path, text)) text = DefaultBrainText;
    brain.QuorvexEngine = Engine;
    brain.SetText(JoinLinesCrLf(text));
    try {
        brain.Compile();
    } catch (const std::exception& error) {
        Report("Could not compile Brain Script for Player " + std::to_string(player.Index + 1) + "\n  " +
               BrainName(player) + ": " + error.what());
        brain.SetText("");
        brain.Compile();
    }
    player.BrainLoaded = true;
}

void TdmScripts::BrainTurn(TPlayer* player) {
    if (!player || !Engine || BrainStopped(player->Index)) return;
    TQuorvexBrain& brain = GetBrain(player);
    if (!player->BrainLoaded || !brain.Compiled()) LoadBrain(*player, brain);
    brain.QuorvexEngine = Engine;
    CurrentBrain = &brain;
    BrainPlayer = player;
    FuncsBrains_.CallBudget = BrainCallBudget;
    struct TTurnGuard {
        TdmScripts& scripts;
        explicit TTurnGuard(TdmScripts& s) : scripts(s) {
            scripts.InBrainTurn_ = true;
            scripts.SearchListsReady_ = false;
        }
        ~TTurnGuard() {
            scripts.InBrainTurn_ = false;
            scripts.SearchListsReady_ = false;
        }
    } turn(*this);
    try {
        // A brain only reads the galaxy: cell lookups may use the engine's index.
        TQuorvexEngine::TCellScope cells(*Engine);
        brain.Execute();
    } catch (const std::exception& error) {
        // A failing brain must not take the game down: its player stops
        // thinking, and what it ordered in the failed run is dropped.
        BrainStopped_[static_cast<size_t>(player->Index)] = true;
        Report("Brain of " + BrainName(*player) + " stopped: " + error.what());
        brain.BrainOrders.clear();
    }
    CurrentBrain = nullptr;
    for (const std::string& order : brain.BrainOrders) {
        if (OrderSink)
            OrderSink(player, order);
        else
            Engine->SubmitOrder(player, order);
    }
    brain.BrainOrders.clear();
}

} // namespace qx
