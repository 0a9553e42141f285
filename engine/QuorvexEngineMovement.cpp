// Standing orders and movement: one step per acting impulse, wormholes, jump
// gates, towing and dragging.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/QuorvexEngine.h"

namespace qx {

namespace {

// The straight direction along the major axis of a diagonal move.
int StraightDirection(int64_t dx, int64_t dy) {
    if (std::abs(dy) < std::abs(dx)) return dx > 0 ? 2 : 6;
    return dy > 0 ? 4 : 0;
}

int DirectionTowards(int64_t dx, int64_t dy) {
    if (dx == 0) return dy < 0 ? 0 : 4;
    if (dx < 0) return dy == 0 ? 6 : (dy < 0 ? 7 : 5);
    return dy == 0 ? 2 : (dy < 0 ? 1 : 3);
}

} // namespace

void TQuorvexEngine::ClearOrders(TStarShip* ship) {
    ship->Order = ordNone;
    RecordChange<TChangeKind::ClearOrders>(ship);
}

void TQuorvexEngine::FollowOrder(TStarShip* ship) {
    const TPlayer* owner = ship->Owner;
    switch (ship->Order) {
    case ordMove:
        if (MoveTowards(ship, ship->DestX, ship->DestY)) ClearOrders(ship);
        break;
    case ordDefend: FollowDefend(ship); break;
    case ordEscort: {
        TStarShip* escorted = FindStarShipByCode(ship->TargetRef);
        if (escorted && escorted != ship && escorted->IsVisibleTo(owner))
            MoveTowards(ship, escorted->X + ship->DestX, escorted->Y + ship->DestY);
        break;
    }
    case ordPatrol: FollowPatrol(ship); break;
    case ordTransport: FollowTransport(ship); break;
    case ordTargetStarShip: {
        TStarShip* target = FindStarShipByCode(ship->TargetRef);
        if (!target || target->Destroyed || target == ship) break;
        if (target->Owner == ship->Owner) {
            ClearOrders(ship);
        } else if (target->IsVisibleTo(owner)) {
            if (ship->IsAdjacent(*target)) {
                if (ship->ShipType != TShipType::InkSpot) AttackStarShip(ship, target);
            } else {
                MoveTowards(ship, target->X, target->Y);
            }
        }
        break;
    }
    case ordTargetStarSystem: {
        TStarSystem* system = StarSystemOrNull(ship->TargetSystem);
        if (!system) break;
        if (system->Owner == ship->Owner)
            ClearOrders(ship);
        else if (ship->IsAdjacent(*system))
            AttackStarSystem(ship, system);
        else
            MoveTowards(ship, system->X, system->Y);
        break;
    }
    case ordTug:
    case ordRepair: {
        TStarShip* target = FindStarShipByCode(ship->TargetRef);
        // A ship cannot tow itself; a destroyed one is gone at the end of the impulse.
        if (!target || target->Destroyed || !target->IsVisibleTo(owner)) break;
        if (ship->Order == ordTug && target == ship) break;
        if (!ship->IsAdjacent(*target))
            MoveTowards(ship, target->X, target->Y);
        else if (ship->Order == ordTug)
            StartTowing(ship, target);
        else
            Repair(ship, target);
        break;
    }
    case ordGenerate: {
        TStarSystem* system = StarSystemOrNull(ship->TargetSystem);
        if (!system) break;
        if (ship->IsAdjacent(*system)) {
            ++ship->SourceSystem;
            RecordChange<TChangeKind::ShieldGeneratorProgress>(ship, ship->SourceSystem);
            if (std::abs(static_cast<int64_t>(system->Shields)) <= ship->SourceSystem) GenerateShield(ship, system);
        } else {
            MoveTowards(ship, system->X, system->Y);
        }
        break;
    }
    case ordDrag: {
        TStarSystem* system = StarSystemOrNull(ship->TargetSystem);
        if (!system) break;
        if (ship->IsAdjacent(*system))
            StartDragging(ship, system);
        else
            MoveTowards(ship, system->X, system->Y);
        break;
    }
    default: break;
    }
}

void TQuorvexEngine::FollowDefend(TStarShip* ship) {
    const TPlayer* owner = ship->Owner;
    TQxMapObject* object = FindObjectByRef(ship->TargetRef);
    if (!object || !owner) return;
    float radius = 9;
    if (dynamic_cast<TStarShip*>(object)) {
        if (!object->IsVisibleTo(owner)) return;
        radius = 6;
    }
    if (Distance(ship->X, ship->Y, object->X, object->Y) > radius) {
        MoveTowards(ship, object->X, object->Y);
        return;
    }
    TStarShip* victim = nullptr;
    int64_t best = 0;
    for (const auto& player : Players_) {
        if (player.get() == owner || owner->IsAllied(player.get()) != 0) continue;
        for (const auto& other : player->StarShips) {
            if (other->Destroyed || !other->IsVisibleTo(owner) || !ship->CanAttack(other.get())) continue;
            if (Distance(other->X, other->Y, object->X, object->Y) > radius + 1) continue;
            const int64_t distance = GridDistance(ship->X, ship->Y, other->X, other->Y);
            if (!victim || distance < best) {
                victim = other.get();
                best = distance;
            }
        }
    }
    if (!victim) return;
    if (ship->IsAdjacent(*victim))
        AttackStarShip(ship, victim);
    else
        MoveTowards(ship, victim->X, victim->Y);
}

void TQuorvexEngine::FollowPatrol(TStarShip* ship) {
    const int count = ship->PatrolPointCount();
    if (count == 0) {
        ClearOrders(ship);
        return;
    }
    if (ship->PatrolIndex < 0 || ship->PatrolIndex >= count) ship->PatrolIndex = 0;
    int32_t x = 0, y = 0;
    ship->PatrolPoint(ship->PatrolIndex, x, y);
    if (!MoveTowards(ship, x, y)) return;
    if (count == 1) {
        // A single point has nowhere to turn: the patrol ends there like a move.
        ClearOrders(ship);
        return;
    }
    if (ship->PatrolIndex == 0) {
        ship->PatrolStep = 1;
        ship->PatrolIndex = 1;
    } else if (ship->PatrolIndex == count - 1) {
        if (ship->PatrolPoints.front() == ship->PatrolPoints.back()) {
            ship->PatrolIndex = 1;
        } else {
            ship->PatrolStep = -1;
            ship->PatrolIndex = count - 2;
        }
    } else {
        ship->PatrolIndex += ship->PatrolStep;
        if (ship->PatrolIndex < 0 || ship->PatrolIndex >= count) ship->PatrolIndex = 0;
    }
    // The other machines cannot see an arrival that needed no step.
    RecordChange<TChangeKind::PatrolProgress>(ship, ship->PatrolIndex, ship->PatrolStep);
}

void TQuorvexEngine::FollowTransport(TStarShip* ship) {
    TStarSystem* source = StarSystemOrNull(ship->SourceSystem);
    TStarSystem* destination = StarSystemOrNull(ship->TargetSystem);
    if (!source || !destination || !ship->Owner) return;
    if (source->Owner != ship->Owner || destination->Owner != ship->Owner) return;
    TStarSystem* goal = ship->Cargo < 1 ? source : destination;
    if (!ship->IsAdjacent(*goal))
        MoveTowards(ship, goal->X, goal->Y);
    else if (ship->Cargo < 1)
        LoadCargo(ship, source);
    else
        UnloadCargo(ship, destination);
}

bool TQuorvexEngine::MayEnter(const TStarShip* ship, int x, int y) const {
    if (!IsInsideMap(x, y) || StarSystemAt(x, y) || StarShipAt(x, y, false, false)) return false;
    if (ship->ShipType == TShipType::InkSpot && ship->Order != ordTargetStarShip && AdjacentEnemy(ship->Owner, x, y))
        return false;
    return true;
}

void TQuorvexEngine::StepStarShip(TStarShip* ship, int x, int y, int direction) {
    const int32_t oldX = ship->X, oldY = ship->Y;
    ship->X = x;
    ship->Y = y;
    StarShipMoved(ship, oldX, oldY);
    if (ship->ShipType == TShipType::BattleStation && ship->Owner)
        ship->StationResources += 0.25 * ship->Owner->TechMultiple;
    if (OnMoveStarShip) OnMoveStarShip(this, ship, direction);
    RecordChange<TChangeKind::Step>(ship, x, y, direction);
}

bool TQuorvexEngine::MoveTowards(TStarShip* ship, int x, int y) {
    // An order's text may name any number as its target: the distances are
    // taken in 64 bits, so a target far off the map still gives its direction.
    const int64_t dx = int64_t{x} - ship->X;
    const int64_t dy = int64_t{y} - ship->Y;
    if (dx == 0 && dy == 0) return true;
    int d = DirectionTowards(dx, dy);
    if (d % 2 == 1) {
        const int64_t major = std::max(std::abs(dx), std::abs(dy));
        const int64_t minor = std::min(std::abs(dx), std::abs(dy));
        if (major / minor > DitherPhase) d = StraightDirection(dx, dy);
    }
    int chosen = -1;
    for (int offset : {0, 1, -1, 2, -2}) {
        const int candidate = (d + offset + 8) % 8;
        if (MayEnter(ship, ship->X + DirectionDX[candidate], ship->Y + DirectionDY[candidate])) {
            chosen = candidate;
            break;
        }
    }
    if (chosen < 0) return ship->X == x && ship->Y == y;

    const int oldX = ship->X;
    const int oldY = ship->Y;
    TStarSystem* dragged = nullptr;
    if (ship->DragSystem >= 0) {
        dragged = StarSystemOrNull(ship->DragSystem);
        if (!dragged || !ship->IsAdjacent(*dragged)) {
            dragged = nullptr;
            ship->DragSystem = -1;
            RecordChange<TChangeKind::StopDragging>(ship);
        }
    }
    StepStarShip(ship, oldX + DirectionDX[chosen], oldY + DirectionDY[chosen], chosen);
    TravelWormhole(ship);
    if (dragged) {
        dragged->X = oldX;
        dragged->Y = oldY;
        Cells_.InvalidateSystems();
        if (OnMoveStarSystem) OnMoveStarSystem(this, dragged);
        RecordGameChange<TChangeKind::MoveStarSystem>(dragged->Index, oldX, oldY);
    }
    if (!ship->Towing.empty()) {
        TStarShip* towed = FindStarShipByCode(ship->Towing);
        if (towed && !towed->Destroyed) StepStarShip(towed, oldX, oldY, chosen);
    }
    return ship->X == x && ship->Y == y;
}

bool TQuorvexEngine::FindFreeExit(int x, int y, int& outX, int& outY) const {
    auto usable = [&](int cx, int cy) { return IsInsideMap(cx, cy) && IsEmpty(cx, cy); };
    if (MapWidth < 1 || MapHeight < 1) return false;
    // An exit outside the map is searched from the nearest cell inside it.
    x = std::clamp(x, 0, MapWidth - 1);
    y = std::clamp(y, 0, MapHeight - 1);
    if (usable(x, y)) {
        outX = x;
        outY = y;
        return true;
    }
    // A square spiral: N×1, E×1, S×2, W×2, N×3, E×3, ... until it has
    // covered the whole map around the exit.
    const int64_t limit = 2 * static_cast<int64_t>(std::max(MapWidth, MapHeight)) + 2;
    static constexpr int kRunDirections[4] = {0, 2, 4, 6};
    int cx = x, cy = y;
    for (int length = 1; length <= limit; ++length) {
        for (int leg = 0; leg < 2; ++leg) {
            const int direction = kRunDirections[((length - 1) % 2) * 2 + leg];
            for (int step = 0; step < length; ++step) {
                cx += DirectionDX[direction];
                cy += DirectionDY[direction];
                if (usable(cx, cy)) {
                    outX = cx;
                    outY = cy;
                    return true;
                }
            }
        }
    }
    return false;
}

void TQuorvexEngine::TravelWormhole(TStarShip* ship) {
    TWormhole* wormhole = WormholeAt(ship->X, ship->Y, false);
    if (!wormhole) return;
    int x = 0, y = 0;
    if (!FindFreeExit(wormhole->DestX, wormhole->DestY, x, y)) return;  // a full map: the ship stays
    const int32_t oldX = ship->X, oldY = ship->Y;
    ship->X = x;
    ship->Y = y;
    StarShipMoved(ship, oldX, oldY);
    if (ship->Owner && ship->Owner->Index >= 0 && ship->Owner->Index < MaxPlayers)
        wormhole->Known[static_cast<size_t>(ship->Owner->Index)] = true;
    if (OnWormholeTravel) OnWormholeTravel(this, ship, 0);
    ClearOrders(ship);
    if (!ship->Towing.empty() || ship->DragSystem >= 0) ReleaseStarShip(ship);
    RecordChange<TChangeKind::WormholeTravel>(ship, wormhole->X, wormhole->Y, x, y);
}

void TQuorvexEngine::StartTowing(TStarShip* tug, TStarShip* target) {
    ClearOrders(tug);
    if (!target->TowedBy.empty())
        if (TStarShip* previous = FindStarShipByCode(target->TowedBy)) previous->Towing.clear();
    // A tug tows one ship: whatever it towed before is let go.
    if (!tug->Towing.empty() && tug->Towing != target->Code)
        if (TStarShip* old = FindStarShipByCode(tug->Towing)) old->TowedBy.clear();
    tug->Towing = target->Code;
    target->TowedBy = tug->Code;
    RecordChange<TChangeKind::StartTowing>(tug, target->Code);
}

void TQuorvexEngine::StartDragging(TStarShip* ship, TStarSystem* system) {
    ClearOrders(ship);
    ship->DragSystem = system->Index;
    RecordChange<TChangeKind::StartDragging>(ship, system->Index);
}

void TQuorvexEngine::ReleaseStarShip(TStarShip* ship) {
    RecordChange<TChangeKind::Release>(ship);
    ship->Release();
}

TWormhole* TQuorvexEngine::MakeJumpGate(TStarShip* ship, TStarSystem* home) {
    home->HasJumpGate = true;
    auto gate = std::make_unique<TWormhole>(this);
    gate->IsJumpGate = true;
    // The entry is north-west of the system; at a map edge the first
    // neighbouring cell inside the map is taken instead.
    static constexpr int kEntry[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    gate->X = home->X - 1;
    gate->Y = home->Y - 1;
    for (const auto& offset : kEntry)
        if (IsInsideMap(static_cast<int64_t>(home->X) + offset[0], static_cast<int64_t>(home->Y) + offset[1])) {
            gate->X = home->X + offset[0];
            gate->Y = home->Y + offset[1];
            break;
        }
    gate->DestX = ship->X;
    gate->DestY = ship->Y;
    if (ship->Owner && ship->Owner->Index >= 0 && ship->Owner->Index < MaxPlayers)
        gate->Known[static_cast<size_t>(ship->Owner->Index)] = true;
    if (OnCreateJumpGate) OnCreateJumpGate(this, gate.get());
    return AddWormhole(std::move(gate));
}

void TQuorvexEngine::CreateJumpGate(TStarShip* ship) {
    TStarSystem* home = StarSystemOrNull(ship->SourceSystem);
    if (home && !home->HasJumpGate) {
        MakeJumpGate(ship, home);
        RecordChange<TChangeKind::CreateJumpGate>(ship);
    }
    DestroyStarShip(ship);
}

void TQuorvexEngine::GenerateShield(TStarShip* ship, TStarSystem* system) {
    ship->SourceSystem = 0;
    ++system->Shields;
    RecordChange<TChangeKind::GenerateShield>(ship, system->Index);
}

} // namespace qx
