#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/QxObject.h"
#include "engine/ShipTypes.h"

namespace qx {

class TStarSystem;

// A star ship, owned by its player's list. Named across machines by its
// 3-character code.
class TStarShip : public TQxMapObject {
public:
    // Takes a fresh code from the engine.
    explicit TStarShip(TQuorvexEngine* engine);
    // Registers the given code unchanged.
    TStarShip(TQuorvexEngine* engine, const std::string& code);
    static std::unique_ptr<TStarShip> CreateFromState(TQuorvexEngine* engine, std::string_view& text);

    TPlayer* Owner = nullptr;
    TShipType ShipType = TShipType::WarShip;
    int32_t Value = 0;
    int32_t Engines = 0;
    std::string Code;  // fixed while the ship is in a player's list (the list looks ships up by it)
    int32_t MaxEngines = 0;
    int32_t MaxValue = 0;
    int32_t DestY = 0;
    int32_t DestX = 0;
    TOrder Order = ordNone;
    std::array<bool, MaxPlayers> Known{};
    int32_t PatrolIndex = 0;
    int32_t PatrolStep = 0;
    std::vector<std::string> PatrolPoints;  // "X,Y"
    bool Destroyed = false;
    std::string TargetRef;
    int32_t TargetSystem = 0;
    int32_t SourceSystem = 0;
    int32_t Cargo = 0;
    std::array<int32_t, MaxPlayers> KnownValue{};
    bool Cloaked = false;
    std::array<bool, MaxPlayers> Tagged{};
    bool AttackAdjacent = false;
    bool Pulsing = false;
    std::string Towing;
    std::string TowedBy;
    int32_t CommandBonus = 0;
    int32_t DragSystem = -1;
    double StationResources = 0;

    void WriteState(std::string& text) const override;
    void ReadState(std::string_view& text) override;

    int32_t EffectiveValue() const { return Value + CommandBonus; }
    int32_t ApparentEngines() const;
    int32_t ApparentWeapons() const;
    bool IsKnownTo(const TPlayer* player) const;
    int32_t KnownValueFor(const TPlayer* player) const;
    // Remembers a higher rating that player learnt (and records it).
    void LearnValue(const TPlayer* player, int32_t value);
    void SetOwner(TPlayer* player);
    void SetEngines(int32_t n) { Engines = MaxEngines = n; }
    void SetValue(int32_t n) { Value = MaxValue = n; }
    bool IsDamaged() const { return Engines < MaxEngines || (Value < MaxValue && MaxValue >= 1); }
    int32_t Scanners() const;
    bool Identifies() const { return ShipType == TShipType::SpyShip || ShipType == TShipType::InkSpot; }
    // Ends a tow or a drag.
    void Release();

    void SetMove(int32_t x, int32_t y);
    void SetDefend(const TQxMapObject* object);
    void SetEscort(const TStarShip* ship, int32_t dX, int32_t dY);
    void SetPatrol(std::string_view path);
    void SetTargetStarShip(const TStarShip* ship);
    void SetTargetStarSystem(const TStarSystem* system);
    void SetTransport(const TStarSystem* from, const TStarSystem* to);
    void SetTug(const TStarShip* ship);
    void SetGenerate(const TStarSystem* system);
    void SetRepair(const TStarShip* ship);
    void SetDrag(const TStarSystem* system);

    void LoadCargo(TStarSystem* system);
    void UnloadCargo(TStarSystem* system);

    int PatrolPointCount() const { return static_cast<int>(PatrolPoints.size()); }
    // (0, 0) for a point the ship does not have.
    void PatrolPoint(int i, int32_t& x, int32_t& y) const;

    TOrderSet AvailableOrders() const;
    bool CanAttack(const TStarShip* target) const;
    std::string OrderText() const;
    std::string ValueText() const;
};

} // namespace qx
