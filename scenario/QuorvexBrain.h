#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/FieldCodec.h"
#include "script/Script.h"

namespace qx {

class TQuorvexEngine;
class TStarShip;

// A computer player's script. Each run reads the galaxy as its player sees it
// and collects order texts, which are submitted like a human player's orders.
class TQuorvexBrain : public TScript {
public:
    int PlayerIndex = 0;
    TQuorvexEngine* QuorvexEngine = nullptr;

    // The ships the player sees, in player and list order; a brain's ship
    // index i is a position in this list for the current run.
    std::vector<TStarShip*> VisibleShips;
    std::vector<std::string> BrainOrders;

    // One run: gathers what the player sees, then runs the script.
    void Execute();

    // "order:" followed by every value and ":".
    void AddBrainOrder(int order, std::initializer_list<TokenValue> values);
    // "order:code:" and the values; dropped for a ship of another player.
    void AddShipOrder(const TStarShip* ship, int order, std::initializer_list<TokenValue> values);

    // Ship i of VisibleShips; a run-time error outside the list.
    TStarShip* VisibleShip(int32_t i) const;
};

} // namespace qx
