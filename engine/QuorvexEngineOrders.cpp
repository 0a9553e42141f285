// Reading the queued order texts of an impulse. Every index and code in an
// order comes from another machine: anything that names nothing is dropped,
// and so is an order with a field that is not a number where one belongs
// (it would otherwise read as 0 and name system 0 or cell 0).
#include "engine/QuorvexEngine.h"

#include "engine/ShipCostCalculator.h"

namespace qx {

namespace {

bool NextNumber(std::string_view& text, int32_t& value) { return TextToInt(NextToken(text, ':'), value); }

bool NextFlag(std::string_view& text, bool& value) {
    const std::string_view field = NextToken(text, ':');
    if (field != "0" && field != "1") return false;
    value = field == "1";
    return true;
}

} // namespace

bool TQuorvexEngine::PriceBuild(const TPlayer* player, const TStarSystem* system, TBuildFields& fields) const {
    // Humans build only the types they may; brains run on the master itself.
    if (!player->Computer) {
        TShipTypeSet allowed = player->ShipTypes;
        if (system && system->BonusPercent > 0) allowed.Include(system->BonusShipType);
        if (!allowed.Contains(fields.ShipType)) return false;
    }
    // The price the sender wrote is not trusted: the master prices it again.
    TShipCostCalculator calc;
    calc.SetImpulseAssigner(&Schedule());
    calc.ShipType = fields.ShipType;
    calc.Engines = fields.Engines;
    calc.Extra = fields.Value;
    calc.Cloaked = fields.Cloaked;
    calc.StarSystem = system;
    fields.Cost = calc.Cost();
    return true;
}

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
    int32_t order = 0;
    if (!NextNumber(text, order)) return;
    int32_t index = 0;
    switch (order) {
    case ordBuildShield:
    case ordBuildScanner: {
        // A player builds only at its own systems.
        TStarSystem* system = NextNumber(text, index) ? StarSystemOrNull(index) : nullptr;
        if (!system || system->Owner != player) return;
        if (order == ordBuildShield)
            BuildShield(system);
        else
            BuildScanner(system);
        return;
    }
    case ordBuildStarShip: {
        TStarSystem* system = NextNumber(text, index) ? StarSystemOrNull(index) : nullptr;
        TBuildFields fields;
        if (!system || system->Owner != player || !ReadBuildFields(text, fields)) return;
        if (!PriceBuild(player, system, fields)) return;
        BuildStarShip(system, fields);
        return;
    }
    case ordAlliance: {
        int32_t level = 0;
        TPlayer* other = NextNumber(text, level) && NextNumber(text, index) ? PlayerOrNull(index) : nullptr;
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
        int32_t x = 0, y = 0;
        if (!NextNumber(text, x) || !NextNumber(text, y)) return;
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
        int32_t dx = 0, dy = 0;
        if (!target || !NextNumber(text, dx) || !NextNumber(text, dy)) return;
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
        TStarSystem* from = NextNumber(text, index) ? StarSystemOrNull(index) : nullptr;
        TStarSystem* to = NextNumber(text, index) ? StarSystemOrNull(index) : nullptr;
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
        TStarSystem* system = NextNumber(text, index) ? StarSystemOrNull(index) : nullptr;
        if (!system) return;
        ship->SetTargetStarSystem(system);
        RecordChange<TChangeKind::TargetStarSystem>(ship, system->Index);
        break;
    }
    case ordAttackAdjacent: {
        bool flag = false;
        if (!NextFlag(text, flag)) return;
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
        TStarSystem* system = NextNumber(text, index) ? StarSystemOrNull(index) : nullptr;
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
        if (!PriceBuild(player, nullptr, fields)) return;
        BattleBuildStarShip(ship, fields);
        break;
    }
    default: break;  // ordNone, ordTarget, ordDefendStarShip, ordDefendStarSystem and unknown numbers
    }
}

} // namespace qx
