// Combat, conquest and production. All of it runs on the master inside an
// impulse; the other machines replay the recorded changes.
#include <cmath>
#include <cstdlib>

#include "engine/QuorvexEngine.h"
#include "base/Random.h"
#include "net/RealTimeEngine.h"

namespace qx {

namespace {

bool Fights(const TStarShip* ship) {
    return ship->ShipType == TShipType::WarShip || ship->ShipType == TShipType::DoppleShip;
}

} // namespace

void TQuorvexEngine::AttackStarShip(TStarShip* attacker, TStarShip* defender) {
    switch (attacker->ShipType) {
    case TShipType::WarShip:
    case TShipType::DoppleShip:
        if (!Fights(defender) || attacker->EffectiveValue() > defender->EffectiveValue()) {
            HitStarShip(attacker, defender);
        } else {
            defender->LearnValue(attacker->Owner, attacker->EffectiveValue());
            DestroyStarShip(attacker);
        }
        break;
    case TShipType::Drone: {
        const int64_t chance =
            defender->Engines == 0 ? 100 : static_cast<int64_t>(attacker->Engines) * 100 / defender->Engines;
        if (chance > RulesRandom.Random(100)) DestroyStarShip(defender);
        DestroyStarShip(attacker);
        break;
    }
    case TShipType::HijackShip: Hijack(attacker, defender); break;
    default: break;
    }
}

void TQuorvexEngine::HitStarShip(TStarShip* attacker, TStarShip* defender) {
    DamageStarShip(defender, RulesRandom.Random(attacker->EffectiveValue()) + 1, true);
    if (defender->Destroyed && attacker->Order == ordTargetStarShip) ClearOrders(attacker);
    attacker->LearnValue(defender->Owner, defender->Value + 1);
}

void TQuorvexEngine::DamageStarShip(TStarShip* ship, int points, bool enginesToo) {
    bool engines = false;
    if (ship->Value == 0)
        engines = true;
    else if (enginesToo)
        engines = RulesRandom.Random(ship->Engines + ship->Value) < ship->Engines;
    int32_t& rating = engines ? ship->Engines : ship->Value;
    rating -= points;
    if (rating < 1) {
        DestroyStarShip(ship);
        return;
    }
    if (OnStarShipDamage) OnStarShipDamage(this, ship);
    RecordChange<TChangeKind::Damage>(ship, ship->Engines, ship->Value);
    if (ship->Cargo > ship->Value) ship->Cargo = ship->Value;
}

void TQuorvexEngine::DestroyStarShip(TStarShip* ship) {
    if (ship->Destroyed) return;
    if (!ship->Towing.empty()) {
        if (TStarShip* towed = FindStarShipByCode(ship->Towing)) towed->TowedBy.clear();
        ship->Towing.clear();
    }
    if (!ship->TowedBy.empty()) {
        if (TStarShip* tug = FindStarShipByCode(ship->TowedBy)) tug->Towing.clear();
        ship->TowedBy.clear();
    }
    ship->Destroyed = true;
    ship->Order = ordNone;
    RecordChange<TChangeKind::Destroy>(ship);
}

void TQuorvexEngine::AttackStarSystem(TStarShip* attacker, TStarSystem* system) {
    if (OnStarSystemAttack) OnStarSystemAttack(this, system);
    switch (attacker->ShipType) {
    case TShipType::WarShip:
    case TShipType::DoppleShip:
        if (attacker->EffectiveValue() <= system->Shields)
            system->Shields -= attacker->EffectiveValue();
        else
            Conquer(attacker->Owner, system);
        break;
    case TShipType::DoomMissile:
        for (int i = 0; i < attacker->Value; ++i) system->Shields -= RulesRandom.Random(6) + 1;
        if (system->Shields < 0) system->Shields = 0;
        break;
    case TShipType::NukeMissile:
        for (int i = 0; i < attacker->Value; ++i) system->Resources = (RulesRandom.RandomReal() * 0.5 + 0.5) * system->Resources;
        if (system->Resources < 0) system->Resources = 0;
        break;
    case TShipType::BattleStation:
        if (system->Shields >= 1) --system->Shields;
        break;
    default: break;
    }
    if (attacker->ShipType != TShipType::BattleStation) DestroyStarShip(attacker);
    RecordGameChange<TChangeKind::StarSystemAttack>(system->Index, system->Shields, system->Resources);
    if (attacker->Owner && system->Owner == attacker->Owner)
        RecordGameChange<TChangeKind::Conquer>(attacker->Owner->Index, system->Index);
}

void TQuorvexEngine::Conquer(TPlayer* player, TStarSystem* system) {
    if (!player) return;
    TPlayer* old = system->Owner;
    if (old && old != player && system->Capital) {
        if (!old->ShipTypes.Empty())
            player->ShipTypes = old->ShipTypes | player->ShipTypes;
        else
            player->ShipTypes = player->ShipTypes | TShipTypeSet{TShipType::WarShip, TShipType::ScanShip,
                                                                 TShipType::Drone, TShipType::EMine,
                                                                 TShipType::SpyShip, TShipType::Freighter};
        if (OnPlayerConquered) OnPlayerConquered(this, old);
        while (!old->StarSystems.empty()) old->StarSystems.front()->SetOwner(player);
        while (!old->StarShips.empty()) player->AdoptStarShip(old->ExtractStarShip(old->StarShips.front().get()));
        if (RealTimeEngine) RealTimeEngine->DropUser(old->Name);
        old->Alive = false;
        system->Capital = false;
    }
    system->SetOwner(player);
    system->Shields = 0;
    if (system->BonusPercent > 0) player->ShipTypes.Include(system->BonusShipType);
    if (OnStarSystemConquer) OnStarSystemConquer(this, system);
}

void TQuorvexEngine::Hijack(TStarShip* hijacker, TStarShip* target) {
    if (!hijacker->Owner || !target->Owner) return;
    RecordChange<TChangeKind::Hijack>(hijacker, target->Code);
    if (target->Owner != hijacker->Owner) hijacker->Owner->AdoptStarShip(target->Owner->ExtractStarShip(target));
    DestroyStarShip(hijacker);
    if (OnStarShipHijack) OnStarShipHijack(this, target);
}

void TQuorvexEngine::DetonateEMine(TStarShip* mine) {
    TStarShip* victim = AdjacentEnemy(mine->Owner, mine->X, mine->Y);
    if (!victim) return;
    if (victim->ShipType == TShipType::MineSweeper)
        DamageStarShip(victim, 1, false);
    else
        DestroyStarShip(victim);
    DestroyStarShip(mine);
}

void TQuorvexEngine::StarTilleryFire(TStarShip* ship) {
    const TPlayer* owner = ship->Owner;
    if (!owner) return;
    TStarShip* target = nullptr;
    int64_t best = 0;
    for (const auto& player : Players_) {
        if (player.get() == owner || owner->IsAllied(player.get()) != 0) continue;
        for (const auto& other : player->StarShips) {
            if (other->Destroyed || other->ShipType == TShipType::EMine || !other->IsVisibleTo(owner)) continue;
            const int64_t distance = GridDistance(ship->X, ship->Y, other->X, other->Y);
            if (!target || distance < best) {
                target = other.get();
                best = distance;
            }
        }
    }
    if (target && Distance(ship->X, ship->Y, target->X, target->Y) <= static_cast<float>(ship->Value))
        DamageStarShip(target, 1, true);
}

void TQuorvexEngine::TechResearch(TStarShip* ship) {
    TPlayer* owner = ship->Owner;
    if (!owner) return;
    owner->TechMultiple += RulesRandom.RandomReal() * 0.001 / owner->TechMultiple;
    RecordGameChange<TChangeKind::TechMultiple>(owner->Index, owner->TechMultiple);
}

void TQuorvexEngine::BattleStationRepair(TStarShip* station) {
    if (station->Value < station->MaxValue) {
        Repair(station, station);
        return;
    }
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx == 0 && dy == 0) continue;
            for (const auto& player : Players_)
                for (const auto& ship : player->StarShips) {
                    if (ship->X != station->X + dx || ship->Y != station->Y + dy) continue;
                    if (ship->Destroyed || !ship->IsVisibleTo(station->Owner) || !ship->IsDamaged()) continue;
                    Repair(station, ship.get());
                    return;
                }
        }
}

void TQuorvexEngine::Repair(TStarShip* /*repairer*/, TStarShip* target) {
    const int32_t engineDamage = target->MaxEngines - target->Engines;
    const int32_t valueDamage = target->MaxValue - target->Value;
    if (engineDamage > 0 && valueDamage > 0) {
        if (engineDamage > valueDamage)
            ++target->Engines;
        else
            ++target->Value;
    } else if (engineDamage > 0) {
        ++target->Engines;
    } else if (valueDamage > 0) {
        ++target->Value;
    } else {
        return;
    }
    RecordChange<TChangeKind::Repaired>(target, target->Engines, target->Value);
}

void TQuorvexEngine::BuildShield(TStarSystem* system) {
    if (!(std::abs(static_cast<double>(system->Shields)) < system->Resources)) return;
    ++system->Shields;
    system->Resources -= std::abs(static_cast<double>(system->Shields));
    RecordGameChange<TChangeKind::ShieldBuilt>(system->Index, system->Shields, system->Resources);
}

void TQuorvexEngine::BuildScanner(TStarSystem* system) {
    if (!(system->Scanners < system->Resources)) return;
    ++system->Scanners;
    system->Resources -= system->Scanners;
    RecordGameChange<TChangeKind::ScannerBuilt>(system->Index, system->Scanners, system->Resources);
}

TStarShip* TQuorvexEngine::MakeBuiltStarShip(TPlayer* owner, int x, int y, const TBuildFields& fields) {
    // A code that names a living ship would make two ships answer to it.
    std::unique_ptr<TStarShip> ship;
    if (fields.Code.empty() || (IsMaster() && FindStarShipByCode(fields.Code)))
        ship = std::make_unique<TStarShip>(this);
    else
        ship = std::make_unique<TStarShip>(this, fields.Code);
    ship->ShipType = fields.ShipType;
    ship->SetEngines(fields.Engines);
    ship->SetValue(fields.Value);
    ship->Cloaked = fields.Cloaked;
    ship->X = x;
    ship->Y = y;
    ship->AttackAdjacent = fields.ShipType == TShipType::WarShip || fields.ShipType == TShipType::Drone ||
                           fields.ShipType == TShipType::DoppleShip;
    return owner->AddStarShip(std::move(ship));
}

TStarShip* TQuorvexEngine::BuildStarShip(TStarSystem* system, const TBuildFields& fields) {
    if (IsMaster() && fields.Cost > system->Resources) return nullptr;
    // Ships join the system's owner; an unowned system has nobody to build for.
    if (!system->Owner) return nullptr;
    const int64_t x = static_cast<int64_t>(system->X) + fields.DX;
    const int64_t y = static_cast<int64_t>(system->Y) + fields.DY;
    if (!IsInsideMap(x, y) || !IsEmpty(static_cast<int>(x), static_cast<int>(y))) return nullptr;
    if (!IsMaster() && !fields.Code.empty() && FindStarShipByCode(fields.Code)) return nullptr;
    system->Resources -= fields.Cost;
    TStarShip* ship = MakeBuiltStarShip(system->Owner, static_cast<int>(x), static_cast<int>(y), fields);
    if (ship->ShipType == TShipType::JumpGateShip) ship->SourceSystem = system->Index;
    RecordGameChange<TChangeKind::BuildStarShip>(system->Index, static_cast<int>(fields.ShipType), fields.Engines, fields.Value,
                          fields.Cloaked, fields.DX, fields.DY, fields.Cost, ship->Code);
    return ship;
}

TStarShip* TQuorvexEngine::BattleBuildStarShip(TStarShip* station, const TBuildFields& fields) {
    if (!station->Owner || fields.Cost > station->StationResources) return nullptr;
    const int64_t x = static_cast<int64_t>(station->X) + fields.DX;
    const int64_t y = static_cast<int64_t>(station->Y) + fields.DY;
    if (!IsInsideMap(x, y) || !IsEmpty(static_cast<int>(x), static_cast<int>(y))) return nullptr;
    if (!IsMaster() && !fields.Code.empty() && FindStarShipByCode(fields.Code)) return nullptr;
    station->StationResources -= fields.Cost;
    TStarShip* ship = MakeBuiltStarShip(station->Owner, static_cast<int>(x), static_cast<int>(y), fields);
    RecordGameChange<TChangeKind::BattleBuildStarShip>(station->Code, static_cast<int>(fields.ShipType), fields.Engines, fields.Value,
                          fields.Cloaked, fields.DX, fields.DY, fields.Cost, ship->Code);
    return ship;
}

void TQuorvexEngine::LoadCargo(TStarShip* ship, TStarSystem* system) {
    const int32_t free = ship->Value - ship->Cargo;
    if (free <= 0 || system->Resources <= 0) return;
    int32_t amount = free;
    if (free >= system->Resources) amount = static_cast<int32_t>(std::nearbyint(system->Resources));
    system->Resources -= amount;
    ship->Cargo += amount;
    RecordChange<TChangeKind::LoadCargo>(ship, system->Index);
}

void TQuorvexEngine::UnloadCargo(TStarShip* ship, TStarSystem* system) {
    if (ship->Cargo <= 0) return;
    system->Resources += ship->Cargo;
    ship->Cargo = 0;
    RecordChange<TChangeKind::UnloadCargo>(ship, system->Index);
}

} // namespace qx
