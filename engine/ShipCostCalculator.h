#pragma once

#include "engine/ShipTypes.h"

namespace qx {

class TImpulseAssigner;
class TStarSystem;

// Prices a ship. The sums are made in single precision on purpose: the prices
// players know (9 for a 9-engine WarShip, not 10) come from that rounding.
class TShipCostCalculator {
public:
    TShipType ShipType = TShipType::SpyShip;
    int Engines = 20;
    int Extra = 10;
    bool Cloaked = true;
    // The system whose build bonus applies, or none.
    const TStarSystem* StarSystem = nullptr;

    // 0.2 at creation; 4 / cycle length once an assigner is linked.
    float EngineUnit = 0.2f;

    const TImpulseAssigner* ImpulseAssigner() const { return ImpulseAssigner_; }
    void SetImpulseAssigner(const TImpulseAssigner* assigner);

    int Cost() const;

private:
    const TImpulseAssigner* ImpulseAssigner_ = nullptr;
};

} // namespace qx
