#include "engine/ShipCostCalculator.h"

#include <cmath>

#include "engine/ImpulseAssigner.h"
#include "engine/StarSystem.h"

namespace qx {

void TShipCostCalculator::SetImpulseAssigner(const TImpulseAssigner* assigner) {
    ImpulseAssigner_ = assigner;
    if (assigner && assigner->Impulses() > 0)
        EngineUnit = 4.0f / static_cast<float>(assigner->Impulses());
    else
        EngineUnit = 1.0f;
}

int TShipCostCalculator::Cost() const {
    const TShipTypeInfo& info = ShipTypeInfo(ShipType);
    // volatile keeps every partial sum in a single-precision variable, so no
    // compiler contraction or wider register changes the price.
    volatile float c = static_cast<float>(info.BaseCost);
    if (info.FixedEngines == 0 && Engines >= 1) {
        for (int i = 1; i <= Engines; ++i)
            for (int j = 0; j < i; ++j) c = c + EngineUnit;
    }
    if (info.Letter != '\0' && Extra >= 1) {
        for (int i = 1; i <= Extra; ++i)
            c = c + static_cast<float>(std::trunc(static_cast<double>(i) * info.ExtraStep));
    }
    if (Cloaked) c = c * 2.0f;
    int cost = static_cast<int>(std::trunc(static_cast<double>(c)));
    if (StarSystem && StarSystem->BonusPercent > 0 && StarSystem->BonusShipType == ShipType)
        cost = static_cast<int>(std::nearbyint(static_cast<double>(cost) * (100 - StarSystem->BonusPercent) / 100.0));
    return cost;
}

} // namespace qx
