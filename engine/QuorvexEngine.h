#pragma once

#include <cmath>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/ChangeKind.h"
#include "engine/CharMatrix.h"
#include "engine/ColorPalette.h"
#include "engine/ImpulseAssigner.h"
#include "engine/Player.h"
#include "engine/ShipTypes.h"
#include "engine/ShipCellIndex.h"
#include "engine/SightIndex.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "engine/Wormhole.h"
#include "base/FieldCodec.h"
#include "base/Object.h"
#include "base/Random.h"

namespace qx {

class TRealTimeEngine;

using TStarShipEvent = std::function<void(TObject* Sender, TStarShip* AStarShip)>;
using TStarSystemEvent = std::function<void(TObject* Sender, TStarSystem* AStarSystem)>;
using TMoveStarShipEvent = std::function<void(TObject* Sender, TStarShip* AStarShip, int Direction)>;
using TWormholeEvent = std::function<void(TObject* Sender, TWormhole* AWormhole)>;
using TPlayerEvent = std::function<void(TObject* Sender, TPlayer* APlayer)>;

// A game state text that cannot be read.
class EGameStateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The fields of a build order or build change, already range-checked.
struct TBuildFields {
    TShipType ShipType = TShipType::WarShip;
    int32_t Engines = 0;
    int32_t Value = 0;
    bool Cloaked = false;
    int32_t DX = 0;
    int32_t DY = 0;
    int32_t Cost = 0;
    std::string Code;
};

// Holds one game and applies its rules. The master runs ProcessImpulse and
// records every change it makes; the other machines replay those changes
// with ApplyChange.
//
// Without a linked clock the engine is a solo master (set Replica to make it
// a replaying machine), processes the impulse in its own Impulse field, and
// hands recorded changes to ChangeSink.
class TQuorvexEngine : public TObject {
public:
    TQuorvexEngine();
    ~TQuorvexEngine() override;
    TQuorvexEngine(const TQuorvexEngine&) = delete;
    TQuorvexEngine& operator=(const TQuorvexEngine&) = delete;

    // Links (not owned).
    TCharMatrix* CharMatrix = nullptr;
    const IColorPalette* ColorPalette = nullptr;
    const TImpulseAssigner* ImpulseAssigner = nullptr;  // a built-in 20-impulse cycle when none
    TRealTimeEngine* RealTimeEngine = nullptr;
    // Receives every recorded change when no clock is linked.
    std::function<void(const std::string&)> ChangeSink;
    // Without a clock: true makes this engine a machine that only replays.
    bool Replica = false;
    // The rules generator: codes, shuffles and combat on the master, and the
    // scenario scripts and brains that run on this engine. Seeding it repeats
    // a whole game; nothing that only shows may draw from it.
    TRandom RulesRandom;
    // Visibility looks only at objects within each scanner's reach; off, every
    // scanner tests every object (the slow reference the index is checked by).
    bool UseSightIndex = true;

    // Events.
    TWormholeEvent OnCreateJumpGate;
    TMoveStarShipEvent OnMoveStarShip;
    TStarSystemEvent OnMoveStarSystem;
    TPlayerEvent OnPlayerConquered;
    TPlayerEvent OnPlayerSurrender;
    TStarShipEvent OnStarShipCreate;
    TStarShipEvent OnStarShipDamage;
    TStarShipEvent OnStarShipDestroy;
    TStarShipEvent OnStarShipHijack;
    TStarSystemEvent OnStarSystemAttack;
    TStarSystemEvent OnStarSystemConquer;
    TPlayerEvent OnVictory;
    TMoveStarShipEvent OnWormholeTravel;
    TPlayerEvent OnAllianceChange;
    // The game is about to be cleared (a new game is set up or loaded, or the
    // engine goes): whatever refers to its objects lets go of them now.
    std::function<void(TObject* Sender)> OnClearGame;

    // Game fields.
    int32_t MapWidth = 0;
    int32_t MapHeight = 0;
    std::string MapText;
    TPlayer* CurrentPlayer = nullptr;
    int32_t DitherPhase = 0;
    uint8_t VictoryCondition = 0;
    TStarSystem* VictoryStarSystem = nullptr;
    int32_t VictoryAmount = 0;
    int32_t Impulse = 1;
    double FormatVersion = 4.0;
    int32_t VictoryCounter = 0;
    int32_t VictoryHolder = 0;

    void SetMapWidth(int32_t n) { MapWidth = n; }
    void SetMapHeight(int32_t n) { MapHeight = n; }
    void SetMapText(const std::string& text) { MapText = text; }
    void SetCurrentPlayer(TPlayer* player) { CurrentPlayer = player; }
    void SetVictoryCondition(uint8_t condition) { VictoryCondition = condition; }
    void SetVictoryStarSystem(TStarSystem* system) { VictoryStarSystem = system; }
    void SetVictoryAmount(int32_t amount) { VictoryAmount = amount; }
    void SetImpulse(int32_t impulse) { Impulse = impulse; }

    // Lists and lookups.
    int PlayerCount() const { return static_cast<int>(Players_.size()); }
    TPlayer* GetPlayer(int i) const { return Players_.at(static_cast<size_t>(i)).get(); }
    TPlayer* PlayerOrNull(int i) const;
    int StarSystemCount() const { return static_cast<int>(StarSystems_.size()); }
    TStarSystem* GetStarSystem(int i) const { return StarSystems_.at(static_cast<size_t>(i)).get(); }
    TStarSystem* StarSystemOrNull(int i) const;
    int WormholeCount() const { return static_cast<int>(Wormholes_.size()); }
    TWormhole* GetWormhole(int i) const { return Wormholes_.at(static_cast<size_t>(i)).get(); }
    TWormhole* WormholeOrNull(int i) const;
    TPlayer* AddPlayer(std::unique_ptr<TPlayer> player);
    TStarSystem* AddStarSystem(std::unique_ptr<TStarSystem> system);
    TWormhole* AddWormhole(std::unique_ptr<TWormhole> wormhole);

    TPlayer* FindPlayerByName(std::string_view name) const;
    TStarShip* FindStarShipByCode(std::string_view code) const;
    TStarShip* StarShipAt(int x, int y) const { return StarShipAt(x, y, true, false); }
    TStarShip* StarShipAt(int x, int y, bool includeDestroyed, bool onlyVisible) const;
    TStarShip* StarShipVisibleTo(int x, int y, bool includeDestroyed, const TPlayer* player) const;
    TStarSystem* StarSystemAt(int x, int y) const;
    TWormhole* WormholeAt(int x, int y, bool onlyVisible) const;
    TQxMapObject* ObjectAt(int x, int y, bool onlyVisible) const;
    bool IsEmpty(int x, int y) const;
    bool IsInsideMap(int64_t x, int64_t y) const;
    bool IsNebula(int x, int y) const { return CharMatrix && CharMatrix->GetChar(x, y) == 'N'; }
    static float Distance(int x1, int y1, int x2, int y2) {
        const double dx = static_cast<double>(x2) - x1;
        const double dy = static_cast<double>(y2) - y1;
        return static_cast<float>(std::sqrt(dx * dx + dy * dy));
    }
    static int64_t GridDistance(int x1, int y1, int x2, int y2) {
        return std::llabs(static_cast<int64_t>(x2) - x1) + std::llabs(static_cast<int64_t>(y2) - y1);
    }
    // Nil for any reference that names nothing (also a bad index).
    TQxMapObject* FindObjectByRef(std::string_view ref) const;
    std::string ObjectRef(const TQxMapObject* object) const;
    std::string NewStarShipCode();
    void RegisterStarShipCode(const std::string& code);
    bool IsStarShipCodeUsed(const std::string& code) const { return StarShipCodeSet_.count(code) > 0; }
    const std::vector<std::string>& StarShipCodes() const { return StarShipCodes_; }
    TStarShip* AdjacentEnemy(const TPlayer* player, int x, int y) const;
    TStarShip* AdjacentTarget(const TStarShip* ship) const;
    // Told by the players' lists whenever a ship joins or leaves one.
    void StarShipListsChanged() { Cells_.Invalidate(); }

    // While a cell scope lives, only the engine itself moves ships and star
    // systems (the impulse's actions; a brain's turn, which only reads), so
    // lookups by cell may use an index of where everything stands. Scopes
    // may nest.
    class TCellScope {
    public:
        explicit TCellScope(TQuorvexEngine& engine);
        ~TCellScope();
        TCellScope(const TCellScope&) = delete;
        TCellScope& operator=(const TCellScope&) = delete;

    private:
        TQuorvexEngine& Engine_;
    };

    // Lifecycle.
    void ClearGame();
    void ShuffleStarSystems();
    // Game state text; LoadFromText throws EGameStateError and leaves the
    // engine empty when the text cannot be read.
    std::string SaveToText() const;
    void LoadFromText(const std::string& text);

    // Orders and impulses.
    void SubmitOrder(TPlayer* player, const std::string& text);
    const std::vector<std::pair<std::string, TPlayer*>>& Orders() const { return Orders_; }
    void ProcessImpulse();
    void ApplyChange(const std::string& text);
    bool IsMaster() const;
    // The impulse the clock is processing (the engine's own without a clock).
    int32_t ClockImpulse() const;
    const std::vector<TStarShip*>& ActingStarShips() const { return ActingStarShips_; }
    bool CanAct(int position, int engines) const;

    // Changes (recorded on the master only). The change table fixes what each
    // kind addresses and how many arguments it carries; a call that does not
    // match it does not compile.
    template <TChangeKind Kind, class... Args>
    void RecordChange(const TStarShip* ship, const Args&... args) {
        static_assert(ChangeKindInfo(Kind).Target == TChangeTarget::Ship, "a game change has no ship");
        static_assert(sizeof...(Args) == ChangeKindInfo(Kind).FieldCount, "argument count differs from the table");
        RecordShipChangeText(ship, Kind, {TokenValue(args)...});
    }
    template <TChangeKind Kind, class... Args>
    void RecordGameChange(const Args&... args) {
        static_assert(ChangeKindInfo(Kind).Target == TChangeTarget::Game, "a ship change needs its ship");
        static_assert(sizeof...(Args) == ChangeKindInfo(Kind).FieldCount, "argument count differs from the table");
        RecordGameChangeText(Kind, {TokenValue(args)...});
    }

    // Every-machine steps of an impulse.
    void GenerateResources();
    void UpdateCommandBonus();
    void RemoveDestroyedStarShips();
    void UpdateVisibility();
    void CheckVictory();
    std::string VictoryText();
    bool AllComputer() const;

    // Orders and movement.
    void ClearOrders(TStarShip* ship);
    bool MoveTowards(TStarShip* ship, int x, int y);
    void TravelWormhole(TStarShip* ship);
    void StartTowing(TStarShip* tug, TStarShip* target);
    void StartDragging(TStarShip* ship, TStarSystem* system);
    void ReleaseStarShip(TStarShip* ship);  // change 22 and Release
    void CreateJumpGate(TStarShip* ship);
    void GenerateShield(TStarShip* ship, TStarSystem* system);

    // Combat, conquest and production.
    void AttackStarShip(TStarShip* attacker, TStarShip* defender);
    void HitStarShip(TStarShip* attacker, TStarShip* defender);
    void DamageStarShip(TStarShip* ship, int points, bool enginesToo);
    void DestroyStarShip(TStarShip* ship);
    void AttackStarSystem(TStarShip* attacker, TStarSystem* system);
    void Conquer(TPlayer* player, TStarSystem* system);
    void Hijack(TStarShip* hijacker, TStarShip* target);
    void DetonateEMine(TStarShip* mine);
    void StarTilleryFire(TStarShip* ship);
    void TechResearch(TStarShip* ship);
    void BattleStationRepair(TStarShip* station);
    void Repair(TStarShip* repairer, TStarShip* target);
    void BuildShield(TStarSystem* system);
    void BuildScanner(TStarSystem* system);
    TStarShip* BuildStarShip(TStarSystem* system, const TBuildFields& fields);
    TStarShip* BattleBuildStarShip(TStarShip* station, const TBuildFields& fields);
    void LoadCargo(TStarShip* ship, TStarSystem* system);
    void UnloadCargo(TStarShip* ship, TStarSystem* system);

    // Visibility, alliances and victory.
    void ScanFrom(const TQxMapObject* scanner, const TPlayer* player, int range, bool identify, bool isInkSpot);
    void CheckCloakDetector(TStarShip* ship);
    void Surrender(TPlayer* player);

    // Reads build fields off an order or change text; false when any of them
    // is out of range (unknown type, negative cost, ...).
    static bool ReadBuildFields(std::string_view& text, TBuildFields& fields);
    // Three letters or digits.
    static bool IsValidStarShipCode(std::string_view code);
    // Whole-number points "X,Y" joined by "_".
    static bool IsValidPatrolPath(std::string_view path);

private:
    void ProcessOrders();
    void ProcessOrder(TPlayer* player, std::string_view text);
    // A build order of the player: false when it may not build that type
    // there; otherwise the cost is set to the master's own price.
    bool PriceBuild(const TPlayer* player, const TStarSystem* system, TBuildFields& fields) const;
    void BuildActingList(int position);
    void RunStandingActions(TStarShip* ship, int position);
    void Act(TStarShip* ship);
    void FollowOrder(TStarShip* ship);
    void FollowDefend(TStarShip* ship);
    void FollowPatrol(TStarShip* ship);
    void FollowTransport(TStarShip* ship);
    bool MayEnter(const TStarShip* ship, int x, int y) const;
    // One step into a neighbouring cell, with what every step brings.
    void StepStarShip(TStarShip* ship, int x, int y, int direction);
    bool FindFreeExit(int x, int y, int& outX, int& outY) const;
    TWormhole* MakeJumpGate(TStarShip* ship, TStarSystem* home);
    TStarShip* MakeBuiltStarShip(TPlayer* owner, int x, int y, const TBuildFields& fields);
    bool Blockades(const TPlayer* player, const TStarSystem* system) const;
    void RecordShipChangeText(const TStarShip* ship, TChangeKind kind, std::initializer_list<TokenValue> args);
    void RecordGameChangeText(TChangeKind kind, std::initializer_list<TokenValue> args);
    void ApplyShipChange(TChangeKind kind, TStarShip* ship, std::string_view& args);
    void ApplyGameChange(TChangeKind kind, std::string_view& args);
    void ReadGame(std::string_view text);
    void ResetToEmpty();
    const TImpulseAssigner& Schedule() const { return ImpulseAssigner ? *ImpulseAssigner : DefaultSchedule_; }
    void EmitChange(const std::string& text);
    // A ship now stands elsewhere than (oldX, oldY).
    void StarShipMoved(const TStarShip* ship, int32_t oldX, int32_t oldY);
    // The cell index within a cell scope, nullptr otherwise (the lists are walked).
    const TShipCellIndex* ActingCells() const {
        return CellsActive_ && Cells_.Ready(Players_, MapWidth, MapHeight) ? &Cells_ : nullptr;
    }
    const TShipCellIndex* CellSystems() const {
        if (!CellsActive_) return nullptr;
        Cells_.Ready(Players_, MapWidth, MapHeight);  // sizes the grid
        return Cells_.SystemsReady(StarSystems_, MapWidth, MapHeight) ? &Cells_ : nullptr;
    }

    std::vector<std::unique_ptr<TPlayer>> Players_;
    std::vector<std::unique_ptr<TStarSystem>> StarSystems_;
    std::vector<std::unique_ptr<TWormhole>> Wormholes_;
    std::vector<std::string> StarShipCodes_;
    std::unordered_set<std::string> StarShipCodeSet_;
    std::vector<std::pair<std::string, TPlayer*>> Orders_;
    std::vector<TStarShip*> ActingStarShips_;
    TImpulseAssigner DefaultSchedule_;
    TSightIndex Sight_;  // only during UpdateVisibility
    mutable TShipCellIndex Cells_;  // only within a cell scope
    bool CellsActive_ = false;
    int CellScopes_ = 0;
};

// Directions 0..7 clockwise from north.
constexpr int DirectionDX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int DirectionDY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

} // namespace qx
