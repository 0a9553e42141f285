#include "scenario/QuorvexBrain.h"

#include "engine/QuorvexEngine.h"
#include "script/ScriptError.h"

namespace qx {

void TQuorvexBrain::Execute() {
    BrainOrders.clear();
    VisibleShips.clear();
    if (QuorvexEngine) {
        for (int s = 0; s < QuorvexEngine->StarSystemCount(); ++s) QuorvexEngine->GetStarSystem(s)->BuildCount = 0;
        for (int p = 0; p < QuorvexEngine->PlayerCount(); ++p) {
            for (const auto& ship : QuorvexEngine->GetPlayer(p)->StarShips)
                if (PlayerIndex >= 0 && PlayerIndex < MaxPlayers && ship->Visible[PlayerIndex])
                    VisibleShips.push_back(ship.get());
        }
    }
    Run();
}

void TQuorvexBrain::AddBrainOrder(int order, std::initializer_list<TokenValue> values) {
    BrainOrders.push_back(std::to_string(order) + ":" + Tokenize(values, ':'));
}

void TQuorvexBrain::AddShipOrder(const TStarShip* ship, int order, std::initializer_list<TokenValue> values) {
    if (!ship || !ship->Owner || ship->Owner->Index != PlayerIndex) return;
    BrainOrders.push_back(std::to_string(order) + ":" + ship->Code + ":" + Tokenize(values, ':'));
}

TStarShip* TQuorvexBrain::VisibleShip(int32_t i) const {
    if (i < 0 || static_cast<size_t>(i) >= VisibleShips.size())
        throw ERTE("List index out of bounds (" + std::to_string(i) + ")");
    return VisibleShips[static_cast<size_t>(i)];
}

} // namespace qx
