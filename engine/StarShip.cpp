#include "engine/StarShip.h"

#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "engine/StarSystem.h"
#include "engine/Wormhole.h"
#include "base/FieldCodec.h"

namespace qx {

namespace {

size_t Slot(const TPlayer* player) { return static_cast<size_t>(player->Index); }
bool HasSlot(const TPlayer* player) { return player && player->Index >= 0 && player->Index < MaxPlayers; }

} // namespace

TStarShip::TStarShip(TQuorvexEngine* engine) : TQxMapObject(engine) {
    if (Engine) Code = Engine->NewStarShipCode();
}

TStarShip::TStarShip(TQuorvexEngine* engine, const std::string& code) : TQxMapObject(engine), Code(code) {
    if (Engine) Engine->RegisterStarShipCode(Code);
}

std::unique_ptr<TStarShip> TStarShip::CreateFromState(TQuorvexEngine* engine, std::string_view& text) {
    auto ship = std::make_unique<TStarShip>(nullptr, std::string());
    ship->Engine = engine;
    ship->ReadState(text);
    if (engine) engine->RegisterStarShipCode(ship->Code);
    return ship;
}

void TStarShip::WriteState(std::string& text) const {
    TQxMapObject::WriteState(text);
    WriteToken(text, Code);
    WriteToken(text, Engines);
    WriteToken(text, MaxEngines);
    WriteToken(text, Owner ? Owner->Index : -1);
    WriteToken(text, static_cast<int>(ShipType));
    WriteToken(text, Value);
    WriteToken(text, MaxValue);
    WriteBoolToken(text, Cloaked);
    WriteToken(text, static_cast<int>(Order));
    WriteToken(text, DestX);
    WriteToken(text, DestY);
    WriteToken(text, PatrolStep);
    WriteToken(text, PatrolIndex);
    WriteToken(text, TargetRef);
    WriteToken(text, TargetSystem);
    WriteToken(text, SourceSystem);
    WriteToken(text, Cargo);
    WriteBoolToken(text, AttackAdjacent);
    WriteToken(text, Towing);
    WriteToken(text, TowedBy);
    WriteToken(text, DragSystem);
    WriteFloatToken(text, StationResources);
    WriteToken(text, static_cast<int64_t>(PatrolPoints.size()));
    const int players = Engine ? Engine->PlayerCount() : 0;
    for (int i = 0; i < players && i < MaxPlayers; ++i) {
        WriteBoolToken(text, Known[static_cast<size_t>(i)]);
        WriteToken(text, KnownValue[static_cast<size_t>(i)]);
        WriteBoolToken(text, Tagged[static_cast<size_t>(i)]);
    }
    for (const std::string& point : PatrolPoints) WriteToken(text, point);
}

void TStarShip::ReadState(std::string_view& text) {
    TQxMapObject::ReadState(text);
    Code = std::string(NextToken(text, '~'));
    Engines = NextInt(text, '~');
    MaxEngines = NextInt(text, '~');
    const int32_t owner = NextInt(text, '~');
    Owner = Engine && owner >= 0 && owner < Engine->PlayerCount() ? Engine->GetPlayer(owner) : nullptr;
    TShipType type = TShipType::WarShip;
    ShipTypeFromOrdinal(NextInt(text, '~'), type);
    ShipType = type;
    Value = NextInt(text, '~');
    MaxValue = NextInt(text, '~');
    Cloaked = NextBool(text, '~');
    const int32_t order = NextInt(text, '~');
    Order = order >= 0 && order < OrderCount ? static_cast<TOrder>(order) : ordNone;
    DestX = NextInt(text, '~');
    DestY = NextInt(text, '~');
    PatrolStep = NextInt(text, '~');
    PatrolIndex = NextInt(text, '~');
    TargetRef = std::string(NextToken(text, '~'));
    TargetSystem = NextInt(text, '~');
    SourceSystem = NextInt(text, '~');
    Cargo = NextInt(text, '~');
    AttackAdjacent = NextBool(text, '~');
    Towing = std::string(NextToken(text, '~'));
    TowedBy = std::string(NextToken(text, '~'));
    DragSystem = NextInt(text, '~');
    StationResources = ReadFloatToken(text);
    const int32_t points = NextInt(text, '~');
    const int players = Engine ? Engine->PlayerCount() : 0;
    for (int i = 0; i < players && i < MaxPlayers; ++i) {
        Known[static_cast<size_t>(i)] = NextBool(text, '~');
        KnownValue[static_cast<size_t>(i)] = NextInt(text, '~');
        Tagged[static_cast<size_t>(i)] = NextBool(text, '~');
    }
    PatrolPoints.clear();
    for (int32_t i = 0; i < points && !text.empty(); ++i) PatrolPoints.emplace_back(NextToken(text, '~'));
}

int32_t TStarShip::ApparentEngines() const {
    const unsigned char c = Code.size() > 0 ? static_cast<unsigned char>(Code[0]) : 0;
    return c % 5 + 1;
}

int32_t TStarShip::ApparentWeapons() const {
    const unsigned char c = Code.size() > 1 ? static_cast<unsigned char>(Code[1]) : 0;
    return (c & 3) + 1;
}

bool TStarShip::IsKnownTo(const TPlayer* player) const { return HasSlot(player) && Known[Slot(player)]; }

int32_t TStarShip::KnownValueFor(const TPlayer* player) const {
    return HasSlot(player) ? KnownValue[Slot(player)] : 0;
}

void TStarShip::LearnValue(const TPlayer* player, int32_t value) {
    if (!HasSlot(player) || value <= KnownValue[Slot(player)]) return;
    KnownValue[Slot(player)] = value;
    if (Engine) Engine->RecordChange<TChangeKind::KnownValue>(this, player->Index, value);
}

void TStarShip::SetOwner(TPlayer* player) {
    Owner = player;
    if (HasSlot(player)) Known[Slot(player)] = true;
}

int32_t TStarShip::Scanners() const {
    return ShipType == TShipType::ScanShip || ShipType == TShipType::SpyShip ? Value : 0;
}

void TStarShip::Release() {
    if (!Towing.empty()) {
        if (Engine)
            if (TStarShip* towed = Engine->FindStarShipByCode(Towing)) towed->TowedBy.clear();
        Towing.clear();
    }
    if (ShipType == TShipType::GravShip) DragSystem = -1;
}

void TStarShip::SetMove(int32_t x, int32_t y) {
    Order = ordMove;
    DestX = x;
    DestY = y;
}

void TStarShip::SetDefend(const TQxMapObject* object) {
    Order = ordDefend;
    TargetRef = Engine ? Engine->ObjectRef(object) : std::string("?");
}

void TStarShip::SetEscort(const TStarShip* ship, int32_t dX, int32_t dY) {
    Order = ordEscort;
    DestX = dX;
    DestY = dY;
    TargetRef = ship ? ship->Code : std::string();
}

void TStarShip::SetPatrol(std::string_view path) {
    Order = ordPatrol;
    PatrolPoints.clear();
    while (!path.empty()) PatrolPoints.emplace_back(NextToken(path, '_'));
    PatrolStep = 0;
    PatrolIndex = 0;
}

void TStarShip::SetTargetStarShip(const TStarShip* ship) {
    Order = ordTargetStarShip;
    TargetRef = ship ? ship->Code : std::string();
}

void TStarShip::SetTargetStarSystem(const TStarSystem* system) {
    Order = ordTargetStarSystem;
    TargetSystem = system ? system->Index : -1;
}

void TStarShip::SetTransport(const TStarSystem* from, const TStarSystem* to) {
    Order = ordTransport;
    SourceSystem = from ? from->Index : -1;
    TargetSystem = to ? to->Index : -1;
}

void TStarShip::SetTug(const TStarShip* ship) {
    Order = ordTug;
    TargetRef = ship ? ship->Code : std::string();
}

void TStarShip::SetGenerate(const TStarSystem* system) {
    Order = ordGenerate;
    TargetSystem = system ? system->Index : -1;
    SourceSystem = 0;
}

void TStarShip::SetRepair(const TStarShip* ship) {
    Order = ordRepair;
    TargetRef = ship ? ship->Code : std::string();
}

void TStarShip::SetDrag(const TStarSystem* system) {
    Order = ordDrag;
    DragSystem = -1;
    TargetSystem = system ? system->Index : -1;
}

void TStarShip::LoadCargo(TStarSystem* system) {
    if (Engine) Engine->LoadCargo(this, system);
}

void TStarShip::UnloadCargo(TStarSystem* system) {
    if (Engine) Engine->UnloadCargo(this, system);
}

void TStarShip::PatrolPoint(int i, int32_t& x, int32_t& y) const {
    x = y = 0;
    if (i < 0 || i >= PatrolPointCount()) return;
    std::string_view point = PatrolPoints[static_cast<size_t>(i)];
    x = NextInt(point, ',');
    y = NextInt(point, ',');
}

TOrderSet TStarShip::AvailableOrders() const {
    using T = TShipType;
    if (ShipType == T::DoomMissile || ShipType == T::NukeMissile)
        return Order != ordNone ? TOrderSet{} : TOrderSet{ordTarget, ordTargetStarSystem};
    TOrderSet set;
    switch (ShipType) {
    case T::WarShip: case T::Drone: case T::EMine: case T::InkSpot: case T::HijackShip: case T::DoppleShip:
    case T::StarTillery:
        set = {ordClear, ordMove, ordTarget, ordDefend, ordEscort, ordPatrol, ordTargetStarShip};
        break;
    case T::Freighter: set = {ordClear, ordMove, ordEscort, ordPatrol, ordTransport}; break;
    case T::BattleStation:
        set = {ordClear, ordMove, ordTarget, ordDefend, ordEscort, ordPatrol, ordBuildStarShip};
        break;
    default: set = {ordClear, ordMove, ordEscort, ordPatrol}; break;
    }
    if (ShipType == T::WarShip || ShipType == T::DoppleShip || ShipType == T::BattleStation)
        set.Include(ordTargetStarSystem);
    if (ShipType == T::WarShip || ShipType == T::Drone || ShipType == T::HijackShip || ShipType == T::DoppleShip)
        set.Include(ordAttackAdjacent);
    if (Order != ordNone) set.Include(ordNone);
    switch (ShipType) {
    case T::Tug:
        set.Include(ordTug);
        if (!Towing.empty()) set.Include(ordRelease);
        break;
    case T::ShieldGenerator: set.Include(ordGenerate); break;
    case T::RepairShip: set.Include(ordRepair); break;
    case T::GravShip:
        set.Include(ordDrag);
        if (DragSystem >= 0) set.Include(ordRelease);
        break;
    case T::JumpGateShip: set.Include(ordCreateGate); break;
    default: break;
    }
    return set;
}

bool TStarShip::CanAttack(const TStarShip* target) const {
    if (!target) return false;
    if (ShipType != TShipType::WarShip && ShipType != TShipType::DoppleShip)
        return AvailableOrders().Contains(ordTargetStarShip);
    if (!target->IsKnownTo(Owner)) return target->KnownValueFor(Owner) < EffectiveValue();
    switch (target->ShipType) {
    case TShipType::WarShip: return EffectiveValue() > target->EffectiveValue();
    case TShipType::EMine: return false;
    case TShipType::DoppleShip: return EffectiveValue() > target->ApparentWeapons();
    default: return true;
    }
}

std::string TStarShip::OrderText() const {
    auto systemName = [&](int32_t index) -> std::string {
        if (Engine && index >= 0 && index < Engine->StarSystemCount()) return Engine->GetStarSystem(index)->Name;
        return "?";
    };
    switch (Order) {
    case ordMove: return "Move to " + std::to_string(DestX) + ", " + std::to_string(DestY);
    case ordDefend: {
        const TQxMapObject* object = Engine ? Engine->FindObjectByRef(TargetRef) : nullptr;
        if (auto system = dynamic_cast<const TStarSystem*>(object)) return "Defend " + system->Name;
        if (auto wormhole = dynamic_cast<const TWormhole*>(object))
            return "Defend WormHole at " + std::to_string(wormhole->X) + ", " + std::to_string(wormhole->Y);
        return "Defend StarShip " + (TargetRef.size() > 2 ? TargetRef.substr(2, 3) : std::string());
    }
    case ordEscort: return "Escort StarShip " + TargetRef;
    case ordPatrol: return "Patrol";
    case ordTransport: return "Transport " + systemName(SourceSystem) + " to " + systemName(TargetSystem);
    case ordTargetStarShip: return "Target StarShip " + TargetRef;
    case ordTargetStarSystem: return "Target " + systemName(TargetSystem);
    case ordTug: return "Tug StarShip " + TargetRef;
    case ordGenerate: return "Generate at " + systemName(TargetSystem);
    case ordRepair: return "Repair StarShip " + TargetRef;
    case ordDrag: return "Drag " + systemName(TargetSystem);
    default: return "-No Orders-";
    }
}

std::string TStarShip::ValueText() const {
    const char letter = ShipTypeInfo(ShipType).Letter;
    if (Value == 0 || letter == '\0') return std::string();
    if (ShipType == TShipType::Freighter) return "C" + std::to_string(Cargo) + "/" + std::to_string(Value);
    if (ShipType == TShipType::DoppleShip && Engine && Engine->CurrentPlayer != Owner)
        return "W" + std::to_string(ApparentWeapons());
    if (ShipType == TShipType::WarShip || ShipType == TShipType::DoppleShip)
        return "W" + std::to_string(EffectiveValue());
    return std::string(1, letter) + std::to_string(Value);
}

} // namespace qx
