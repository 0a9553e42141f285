#pragma once

#include <memory>

#include "engine/QxObject.h"
#include "engine/ShipTypes.h"

namespace qx {

// A star system: produces resources for its owner, builds shields, scanners
// and ships.
class TStarSystem : public TQxMapObject {
public:
    using TQxMapObject::TQxMapObject;
    static std::unique_ptr<TStarSystem> CreateFromState(TQuorvexEngine* engine, std::string_view& text);

    TPlayer* Owner = nullptr;
    bool Capital = false;
    double Resources = 0;
    int32_t Shields = 0;
    int32_t Value = 0;
    std::string Name;
    int32_t Scanners = 0;
    int32_t Index = 0;
    bool HasJumpGate = false;
    int32_t BuildCount = 0;  // ships a brain ordered here this impulse; not saved
    int32_t BonusPercent = 0;
    TShipType BonusShipType = TShipType::WarShip;

    void WriteState(std::string& text) const override;
    // Looks the owner up by index (-1: none) among the engine's players.
    void ReadState(std::string_view& text) override;

    // Moves the system from the old owner's list to the new one's.
    void SetOwner(TPlayer* player);
    int ColorIndex() const;
    uint32_t Color() const;
    // Adds this impulse's production when owned.
    void Produce();
    bool IsCellFree(int dX, int dY) const;
};

} // namespace qx
