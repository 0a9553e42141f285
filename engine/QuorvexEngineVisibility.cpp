// What each player sees, alliances and the victory test. Runs after every
// impulse on every machine.
#include "engine/QuorvexEngine.h"
#include "net/RealTimeEngine.h"

namespace qx {

namespace {

size_t Slot(const TPlayer* player) { return static_cast<size_t>(player->Index); }
bool HasSlot(const TPlayer* player) { return player && player->Index >= 0 && player->Index < MaxPlayers; }

} // namespace

void TQuorvexEngine::UpdateVisibility() {
    for (auto& system : StarSystems_)
        for (int i = 0; i < MaxPlayers; ++i)
            system->Visible[static_cast<size_t>(i)] = system->Owner && system->Owner->Index == i;
    for (auto& player : Players_)
        for (auto& ship : player->StarShips)
            for (int i = 0; i < MaxPlayers; ++i)
                ship->Visible[static_cast<size_t>(i)] = i == player->Index || ship->Tagged[static_cast<size_t>(i)];

    if (UseSightIndex) Sight_.Build(*this);
    for (auto& player : Players_) {
        if (!HasSlot(player.get())) continue;
        for (TStarSystem* system : player->StarSystems) ScanFrom(system, player.get(), system->Scanners, false, false);
        for (auto& ship : player->StarShips)
            ScanFrom(ship.get(), player.get(), ship->Scanners(), ship->Identifies(),
                     ship->ShipType == TShipType::InkSpot);

        const size_t p = Slot(player.get());
        for (auto& other : Players_) {
            if (other == player || !HasSlot(other.get()) || player->Alliance[Slot(other.get())] != 2) continue;
            const size_t q = Slot(other.get());
            for (auto& system : StarSystems_)
                if (system->Visible[p]) system->Visible[q] = true;
            for (auto& owner : Players_)
                for (auto& ship : owner->StarShips) {
                    if (ship->Visible[p]) ship->Visible[q] = true;
                    if (ship->Known[p]) ship->Known[q] = true;
                }
            for (auto& wormhole : Wormholes_)
                if (wormhole->Visible[p]) wormhole->Visible[q] = true;
        }
    }
    Sight_.Clear();
}

void TQuorvexEngine::ScanFrom(const TQxMapObject* scanner, const TPlayer* player, int range, bool identify,
                              bool isInkSpot) {
    if (!HasSlot(player)) return;
    const size_t p = Slot(player);
    if (IsNebula(scanner->X, scanner->Y)) range = 1;

    // Returns whether the object was seen in this test.
    auto test = [&](TQxMapObject& object, int objectRange, bool objectIdentify) {
        if (object.Visible[p] && !objectIdentify) return false;
        bool seen = scanner->IsAdjacent(object);
        if (!seen && objectRange > 1 && !IsNebula(object.X, object.Y)) {
            seen = GridDistance(scanner->X, scanner->Y, object.X, object.Y) / 2 <= objectRange &&
                   Distance(scanner->X, scanner->Y, object.X, object.Y) <= static_cast<float>(objectRange);
        }
        if (seen) object.Visible[p] = true;
        return seen;
    };

    auto testShip = [&](TStarShip& ship) {
        if (test(ship, ship.Cloaked ? 1 : range, identify) && identify) {
            ship.Known[p] = true;
            if (isInkSpot) ship.Tagged[p] = true;
        }
    };

    // Seeing only ever sets flags, so the order of the tests does not matter
    // and only the objects within reach need testing.
    if (Sight_.Built()) {
        auto visit = [&](const TSightIndex::Entry& entry) {
            if (entry.Type == TSightIndex::Kind::StarShip) testShip(*static_cast<TStarShip*>(entry.Object));
            else test(*entry.Object, range, false);
        };
        // A reach of one cell or none sees the neighbours only.
        if (range <= 1 && Sight_.HasCells()) Sight_.ForEachAdjacent(scanner->X, scanner->Y, visit);
        else Sight_.ForEachNear(scanner->X, scanner->Y, range, visit);
        return;
    }
    for (auto& system : StarSystems_) test(*system, range, false);
    for (auto& owner : Players_)
        for (auto& ship : owner->StarShips) testShip(*ship);
    for (auto& wormhole : Wormholes_) test(*wormhole, range, false);
}

void TQuorvexEngine::CheckCloakDetector(TStarShip* ship) {
    bool pulse = false;
    for (auto& player : Players_) {
        if (player.get() == ship->Owner) continue;
        for (auto& other : player->StarShips)
            if (Distance(ship->X, ship->Y, other->X, other->Y) <= static_cast<float>(ship->Value)) pulse = true;
    }
    if (pulse == ship->Pulsing) return;
    ship->Pulsing = pulse;
    RecordChange<TChangeKind::Pulsing>(ship, pulse);
}

void TQuorvexEngine::Surrender(TPlayer* player) {
    player->Alive = false;
    // A player who gave up sends no more orders: the clock stops waiting for
    // that user at the end of the impulse, so the game goes on.
    if (RealTimeEngine) RealTimeEngine->DropUser(player->Name);
    if (OnPlayerSurrender) OnPlayerSurrender(this, player);
}

bool TQuorvexEngine::Blockades(const TPlayer* player, const TStarSystem* system) const {
    for (int d = 0; d < 8; ++d) {
        bool held = false;
        for (const auto& ship : player->StarShips)
            if (ship->X == system->X + DirectionDX[d] && ship->Y == system->Y + DirectionDY[d] && !ship->Destroyed &&
                ship->IsVisibleTo(CurrentPlayer))
                held = true;
        if (!held) return false;
    }
    return true;
}

void TQuorvexEngine::CheckVictory() {
    const bool hold = VictoryCondition == 1 || VictoryCondition == 3;
    if (hold && VictoryStarSystem) {
        for (auto& player : Players_) {
            if (!player->Alive) continue;
            const bool meets = VictoryCondition == 1 ? VictoryStarSystem->Owner == player.get()
                                                     : Blockades(player.get(), VictoryStarSystem);
            if (!meets) continue;
            if (VictoryHolder == player->Index) {
                ++VictoryCounter;
                if (VictoryCounter >= VictoryAmount) {
                    if (OnVictory) OnVictory(this, player.get());
                    return;
                }
            } else {
                VictoryHolder = player->Index;
                VictoryCounter = 1;
            }
        }
    } else if (VictoryCondition == 2) {
        for (auto& player : Players_) {
            if (!player->Alive) continue;
            TStarSystem* system = VictoryStarSystem ? VictoryStarSystem : player->Capital();
            if (system && system->Owner == player.get() && system->Resources >= VictoryAmount && OnVictory)
                OnVictory(this, player.get());
        }
    }
    TPlayer* alive = nullptr;
    int count = 0;
    for (auto& player : Players_)
        if (player->Alive) {
            alive = player.get();
            ++count;
        }
    if (count == 1 && OnVictory) OnVictory(this, alive);
}

std::string TQuorvexEngine::VictoryText() {
    if (!VictoryStarSystem && (VictoryCondition == 1 || VictoryCondition == 3)) VictoryCondition = 0;
    const std::string amount = std::to_string(VictoryAmount);
    switch (VictoryCondition) {
    case 1: return "Hold " + VictoryStarSystem->Name + " for " + amount + " Impulses";
    case 2:
        if (VictoryStarSystem) return "Horde " + amount + " Resources at " + VictoryStarSystem->Name;
        return "Horde " + amount + " at Capital";
    case 3: return "Blockade " + VictoryStarSystem->Name + " for " + amount + " Impulses";
    default: return "Eliminate Enemy Capitals";
    }
}

} // namespace qx
