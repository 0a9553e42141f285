#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/CharMatrix.h"
#include "engine/NameGenerator.h"
#include "engine/ShipCostCalculator.h"
#include "base/Object.h"
#include "scenario/QuorvexBrain.h"
#include "scenario/ScenarioDisplay.h"
#include "script/Func.h"
#include "script/Function.h"
#include "script/Script.h"

namespace qx {

class TArgList;
class TPlayer;
class TQuorvexEngine;
class TStarShip;
class TStarSystem;
class TValue;

// Binds the game to the script language: the scenario script that builds a
// galaxy, the ten computer players' brains, and the functions both can call.
class TdmScripts : public TObject {
public:
    TdmScripts();
    ~TdmScripts() override;
    TdmScripts(const TdmScripts&) = delete;
    TdmScripts& operator=(const TdmScripts&) = delete;

    // Links; each defaults to a component of the module's own.
    TNameGenerator* Names;                // star system names
    TCharMatrix* MatrixMap;               // nebula cells of the map
    TCharMatrix* MatrixBackground;        // the board's background grid
    IScenarioDisplay* Display;            // map size panels and description
    TShipCostCalculator* Calc;            // prices the brains' builds

    TQuorvexEngine* Engine = nullptr;
    int32_t StartingResources = 100;
    int32_t CapitalValue = 18;
    TQuorvexBrain* CurrentBrain = nullptr;
    TPlayer* BrainPlayer = nullptr;

    // The default brain, "Defender", played by computers without a brain file.
    std::string DefaultBrainText;
    // Function calls one brain may make in one turn before it is stopped with
    // "Script stopped."; 0 for no limit. Counted in calls, not time, so a
    // seeded game repeats exactly.
    uint64_t BrainCallBudget = 5'000'000;
    // Folders a brain file named without a folder is looked for in, in order,
    // before the current folder. A player's BrainFile field itself is never
    // changed, so saved games keep what they held.
    std::vector<std::string> BrainFolders;
    // Messages about brains (a brain that does not compile, a brain that
    // failed and stopped thinking); each names the player and the file.
    std::function<void(const std::string&)> OnBrainMessage;
    // Where a brain turn's orders go; unset, straight to the engine. A brain
    // that plays a human's slot on a network machine sends them through the
    // clock instead, as the player's clicks would go.
    std::function<void(TPlayer*, const std::string&)> OrderSink;

    TScript& ScriptScenario() { return ScriptScenario_; }
    TFuncs& FuncsScenario() { return FuncsScenario_; }
    TFuncs& FuncsBrains() { return FuncsBrains_; }

    // Replaces the engine's game with the galaxy the scenario file makes.
    // Script errors propagate as EScriptError; the galaxy built so far stays.
    void RunScenario(TQuorvexEngine& engine, const std::string& fileName, int32_t capitalValue,
                     int32_t startingResources, int computers, int players);
    void RunScenarioText(TQuorvexEngine& engine, const std::string& text, int32_t capitalValue,
                         int32_t startingResources, int computers, int players);

    // The brain of the player's slot; raises for an index outside 0..9.
    TQuorvexBrain& GetBrain(const TPlayer* player);
    // One turn of a computer player: load and compile its brain on first use,
    // run it and submit its orders. A brain that fails stops thinking for the
    // rest of the game; the impulse goes on.
    void BrainTurn(TPlayer* player);
    // A new game: every brain is loaded afresh at its first turn.
    void ResetBrains();
    bool BrainStopped(int playerIndex) const;

private:
    void RegisterScenarioFunctions();
    void RegisterBrainFunctions();
    void DeclareScenario(const char* declaration, void (TdmScripts::*handler)(const TArgList&, TValue&));
    void DeclareBrain(const char* declaration, void (TdmScripts::*handler)(const TArgList&, TValue&));
    void LoadBrain(TPlayer& player, TQuorvexBrain& brain);
    std::string BrainName(const TPlayer& player) const;
    // The file a player's brain is read from; empty for the built-in brain.
    std::string BrainPath(const TPlayer& player) const;
    void Report(const std::string& message);

    void MakeCapital(TStarSystem& system, TPlayer& player);
    bool PassesPlacement(int32_t x, int32_t y, int32_t distance) const;
    bool HasCapitalNear(const TStarSystem& system) const;
    void PlaceDefaultCapitals();
    TQuorvexEngine& GameEngine() const;
    // The engine's rules generator, which scenario scripts and brains draw from.
    TRandom& Rules() const;

    // Scenario functions.
    void fnVersionEval(const TArgList& args, TValue& result);
    void fnSetMapSizeEval(const TArgList& args, TValue& result);
    void fnCreateStarClusterEval(const TArgList& args, TValue& result);
    void fnRandomEval(const TArgList& args, TValue& result);
    void fnCreateNebulaEval(const TArgList& args, TValue& result);
    void fnWormholeEval(const TArgList& args, TValue& result);
    void fnSetDescriptionEval(const TArgList& args, TValue& result);
    void fnAssignCapitalEval(const TArgList& args, TValue& result);
    void fnCreateStarSystemEval(const TArgList& args, TValue& result);
    void fnSetVictoryConditionsEval(const TArgList& args, TValue& result);
    void fnSetNebulaEval(const TArgList& args, TValue& result);

    // Brain functions.
    TStarSystem& BrainSystem(int32_t index) const;
    TStarShip& BrainShip(int32_t index) const;
    bool SystemVisible(const TStarSystem& system) const;
    bool OwnSystem(const TStarSystem& system) const;
    bool ShipKnown(const TStarShip& ship) const;
    bool OwnShip(const TStarShip& ship) const;
    std::string BrainDataName(const std::string& key) const;
    // The line of the brain player's data that holds name, -1 for none.
    int64_t BrainDataLine(const std::string& name);

    void fnGetStarSystemCountEval(const TArgList& args, TValue& result);
    void fnGetStarShipCountEval(const TArgList& args, TValue& result);
    void fnGetCurrentPlayerEval(const TArgList& args, TValue& result);
    void fnGetStarSystemXEval(const TArgList& args, TValue& result);
    void fnGetStarSystemYEval(const TArgList& args, TValue& result);
    void fnGetStarSystemOwnerEval(const TArgList& args, TValue& result);
    void fnGetStarSystemValueEval(const TArgList& args, TValue& result);
    void fnGetStarSystemShieldsEval(const TArgList& args, TValue& result);
    void fnGetStarSystemScannersEval(const TArgList& args, TValue& result);
    void fnGetStarSystemResourcesEval(const TArgList& args, TValue& result);
    void fnIsStarSystemCapitalEval(const TArgList& args, TValue& result);
    void fnIsStarSystemVisibleEval(const TArgList& args, TValue& result);
    void fnBuildShieldsEval(const TArgList& args, TValue& result);
    void fnBuildScannersEval(const TArgList& args, TValue& result);
    void fnBuildStarShipEval(const TArgList& args, TValue& result);
    void fnGetStarShipXEval(const TArgList& args, TValue& result);
    void fnGetStarShipYEval(const TArgList& args, TValue& result);
    void fnGetStarShipCodeEval(const TArgList& args, TValue& result);
    void fnGetStarShipOwnerEval(const TArgList& args, TValue& result);
    void fnGetStarShipTypeEval(const TArgList& args, TValue& result);
    void fnGetStarShipValueEval(const TArgList& args, TValue& result);
    void fnGetStarShipEnginesEval(const TArgList& args, TValue& result);
    void fnGetStarShipCloakedEval(const TArgList& args, TValue& result);
    void fnIsStarShipKnownEval(const TArgList& args, TValue& result);
    void fnIsStarShipTuggingEval(const TArgList& args, TValue& result);
    void fnIsStarShipDraggingEval(const TArgList& args, TValue& result);
    void fnIsStarShipPulsingEval(const TArgList& args, TValue& result);
    void fnFindStarShipCodeEval(const TArgList& args, TValue& result);
    void fnOrderMoveEval(const TArgList& args, TValue& result);
    void fnOrderTargetStarShipEval(const TArgList& args, TValue& result);
    void fnOrderTargetStarSystemEval(const TArgList& args, TValue& result);
    void fnOrderDefendStarShipEval(const TArgList& args, TValue& result);
    void fnOrderDefendStarSystemEval(const TArgList& args, TValue& result);
    void fnOrderAttackAdjacentEval(const TArgList& args, TValue& result);
    void fnOrderEscortEval(const TArgList& args, TValue& result);
    void fnOrderTransportEval(const TArgList& args, TValue& result);
    void fnOrderTugEval(const TArgList& args, TValue& result);
    void fnOrderReleaseEval(const TArgList& args, TValue& result);
    void fnOrderDragEval(const TArgList& args, TValue& result);
    void fnOrderCreateGateEval(const TArgList& args, TValue& result);
    void fnOrderGenerateShieldsEval(const TArgList& args, TValue& result);
    void fnOrderRepairEval(const TArgList& args, TValue& result);
    void fnGetBrainDataEval(const TArgList& args, TValue& result);
    void fnSetBrainDataEval(const TArgList& args, TValue& result);
    void fnFindClosestStarSystemEval(const TArgList& args, TValue& result);
    void fnFindClosestStarShipEval(const TArgList& args, TValue& result);
    void fnDistanceEval(const TArgList& args, TValue& result);

    TNameGenerator OwnNames_;
    TCharMatrix OwnMatrixMap_;
    TCharMatrix OwnMatrixBackground_;
    TTextScenarioDisplay OwnDisplay_;
    TShipCostCalculator OwnCalc_;

    TFuncs FuncsScenario_;
    TFuncs FuncsBrains_;
    TScript ScriptScenario_;
    std::vector<std::unique_ptr<TFunc>> Funcs_;
    std::array<std::unique_ptr<TQuorvexBrain>, 10> Brains_;
    std::array<bool, 10> BrainStopped_{};
    // During a brain turn nothing moves and nobody's sight changes, so the
    // closest-object searches walk lists made once per turn: per search kind
    // the candidates (position and index) in list order.
    struct TCandidate {
        int32_t X, Y, Index;
    };
    bool SearchListsReady_ = false;
    std::vector<TCandidate> SystemCandidates_[2][2];  // [owned][includeHidden]
    std::vector<TCandidate> ShipCandidates_[2];       // [owned]
    void PrepareSearchLists();
    bool InBrainTurn_ = false;
};

} // namespace qx
