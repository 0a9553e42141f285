// Reading the queued order texts of an impulse. Every index and code in an
// order comes from another machine: anything that names nothing is dropped.
#include "engine/QuorvexEngine.h"

namespace qx {

void TQuorvexEngine::ProcessOrders() {
    // Orders may queue further orders (none do today); take the list first.
    std::vector<std::pair<std::string, TPlayer*>> orders;
    orders.swap(Orders_);
    for (const auto& [text, player] : orders) {
        if (!player) continue;  // a sender who is not in the game
        ProcessOrder(player, text);
    }
}

void TQuorvexEngine::ProcessOrder(TPlayer* player, std::string_view text) {
    const int32_t order = NextInt(text, ':');
    switch (order) {
    case ordBuildShield:
    case ordBuildScanner: {
        TStarSystem* system = StarSystemOrNull(NextInt(text, ':'));
        if (!system) return;
        if (order == ordBuildShield)
            BuildShield(system);
        else
            BuildScanner(system);
        return;
    }
    case ordBuildStarShip: {
        TStarSystem* system = StarSystemOrNull(NextInt(text, ':'));
        TBuildFields fields;
        if (!system || !ReadBuildFields(text, fields)) return;
        BuildStarShip(system, fields);
        return;
    }
    case ordAlliance: {
        const int32_t level = NextInt(text, ':');
        TPlayer* other = PlayerOrNull(NextInt(text, ':'));
        if (!other || level < 0 || level > 2 || player->Index < 0 || player->Index >= MaxPlayers) return;
        player->Alliance[static_cast<size_t>(other->Index)] = level;
        RecordGameChange<TChangeKind::Alliance>(player->Index, level, other->Index);
        if (player == CurrentPlayer && OnAllianceChange) OnAllianceChange(this, other);
        return;
    }
    case ordSurrender:
        Surrender(player);
        RecordGameChange<TChangeKind::Surrender>(player->Index);
        return;
    default: break;
    }

    // Every other order names one of the player's own ships.
    TStarShip* ship = player->FindStarShip(NextToken(text, ':'));
    if (!ship) return;
    switch (order) {
    case ordClear: ClearOrders(ship); break;
    case ordMove: {
        const int32_t x = NextInt(text, ':');
        const int32_t y = NextInt(text, ':');
        RecordChange<TChangeKind::Move>(ship, x, y);
        ship->SetMove(x, y);
        break;
    }
    case ordDefend: {
        TQxMapObject* object = FindObjectByRef(NextToken(text, ':'));
        if (!object) return;
        const std::string ref = ObjectRef(object);
        RecordChange<TChangeKind::Defend>(ship, ref);
        ship->SetDefend(object);
        break;
    }
    case ordEscort: {
        TStarShip* target = FindStarShipByCode(NextToken(text, ':'));
        if (!target) return;
        const int32_t dx = NextInt(text, ':');
        const int32_t dy = NextInt(text, ':');
        RecordChange<TChangeKind::Escort>(ship, target->Code, dx, dy);
        ship->SetEscort(target, dx, dy);
        break;
    }
    case ordPatrol: {
        const std::string path(NextToken(text, ':'));
        if (!IsValidPatrolPath(path)) return;
        if (path.find('_') == std::string::npos) {
            // A one-point path has nowhere to turn: it is a move.
            std::string_view point(path);
            const int32_t x = NextInt(point, ',');
            const int32_t y = NextInt(point, ',');
            RecordChange<TChangeKind::Move>(ship, x, y);
            ship->SetMove(x, y);
            break;
        }
        RecordChange<TChangeKind::Patrol>(ship, path);
        ship->SetPatrol(path);
        break;
    }
    case ordTransport: {
        TStarSystem* from = StarSystemOrNull(NextInt(text, ':'));
        TStarSystem* to = StarSystemOrNull(NextInt(text, ':'));
        if (!from || !to) return;
        RecordChange<TChangeKind::Transport>(ship, from->Index, to->Index);
        ship->SetTransport(from, to);
        break;
    }
    case ordTargetStarShip: {
        TStarShip* target = FindStarShipByCode(NextToken(text, ':'));
        if (!target) return;
        ship->SetTargetStarShip(target);
        RecordChange<TChangeKind::TargetStarShip>(ship, target->Code);
        break;
    }
    case ordTargetStarSystem: {
        TStarSystem* system = StarSystemOrNull(NextInt(text, ':'));
        if (!system) return;
        ship->SetTargetStarSystem(system);
        RecordChange<TChangeKind::TargetStarSystem>(ship, system->Index);
        break;
    }
    case ordAttackAdjacent: {
        const bool flag = NextBool(text, ':');
        ship->AttackAdjacent = flag;
        RecordChange<TChangeKind::AttackAdjacent>(ship, flag);
        break;
    }
    case ordTug:
    case ordRepair: {
        TStarShip* target = FindStarShipByCode(NextToken(text, ':'));
        if (!target) return;
        if (order == ordTug) {
            RecordChange<TChangeKind::Tug>(ship, target->Code);
            ship->SetTug(target);
        } else {
            RecordChange<TChangeKind::Repair>(ship, target->Code);
            ship->SetRepair(target);
        }
        break;
    }
    case ordRelease: ReleaseStarShip(ship); break;
    case ordGenerate:
    case ordDrag: {
        TStarSystem* system = StarSystemOrNull(NextInt(text, ':'));
        if (!system) return;
        if (order == ordGenerate) {
            RecordChange<TChangeKind::Generate>(ship, system->Index);
            ship->SetGenerate(system);
        } else {
            RecordChange<TChangeKind::Drag>(ship, system->Index);
            ship->SetDrag(system);
        }
        break;
    }
    case ordCreateGate:
        // Only a jump gate ship carries a home system to build the gate at.
        if (ship->ShipType == TShipType::JumpGateShip && !ship->Destroyed) CreateJumpGate(ship);
        break;
    case ordBattleBuildStarShip: {
        TBuildFields fields;
        if (ship->ShipType != TShipType::BattleStation || ship->Destroyed || !ReadBuildFields(text, fields)) return;
        BattleBuildStarShip(ship, fields);
        break;
    }
    default: break;  // ordNone, ordTarget, ordDefendStarShip, ordDefendStarSystem and unknown numbers
    }
}

} // namespace qx
