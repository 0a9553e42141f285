#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace qx {

// Every kind of change the master records and the other machines apply. The
// numbers travel in CHANGES lines and must never change.
enum class TChangeKind : int32_t {
    ClearOrders = 1,
    Move = 2,
    Step = 3,
    ShieldBuilt = 4,
    ScannerBuilt = 5,
    Patrol = 6,
    Escort = 7,
    Damage = 8,
    Destroy = 9,
    TargetStarShip = 10,
    TargetStarSystem = 11,
    Defend = 12,
    BuildStarShip = 13,
    Transport = 14,
    LoadCargo = 15,
    UnloadCargo = 16,
    StarSystemAttack = 17,
    Conquer = 18,
    AttackAdjacent = 19,
    Pulsing = 20,
    Tug = 21,
    Release = 22,
    StartTowing = 23,
    Hijack = 24,
    Generate = 25,
    GenerateShield = 26,
    Repair = 27,
    Repaired = 28,
    WormholeTravel = 29,
    Drag = 30,
    StartDragging = 31,
    StopDragging = 32,
    MoveStarSystem = 33,
    TechMultiple = 34,
    CreateJumpGate = 35,
    BattleBuildStarShip = 36,
    Alliance = 37,
    Surrender = 38,
    KnownValue = 39,
    // Saved fields that only the master's rules change; without these a
    // replica's patrols and shield generators drift from the master's.
    PatrolProgress = 40,
    ShieldGeneratorProgress = 41,
    // A brain's memory, so that a machine that becomes the master carries on
    // with it. Its last argument is the whole "name=value" line, which may
    // itself hold ":": the receiver takes the rest of the text.
    BrainData = 42,
};

// What a change addresses: a ship (owner index and code follow the kind) or
// the game (the arguments follow the kind at once).
enum class TChangeTarget : uint8_t { Ship, Game };

struct TChangeKindInfo {
    TChangeKind Kind;
    std::string_view Name;
    TChangeTarget Target;
    // Arguments after the kind and, for ship changes, the owner and code.
    int32_t FieldCount;
};

// Build fields: type, engines, value, cloaked, dX, dY, cost, code.
inline constexpr int32_t BuildFieldCount = 8;

// The one table that recording and applying both read, in kind order.
inline constexpr std::array<TChangeKindInfo, 42> ChangeKinds{{
    {TChangeKind::ClearOrders, "ClearOrders", TChangeTarget::Ship, 0},
    {TChangeKind::Move, "Move", TChangeTarget::Ship, 2},
    {TChangeKind::Step, "Step", TChangeTarget::Ship, 3},
    {TChangeKind::ShieldBuilt, "ShieldBuilt", TChangeTarget::Game, 3},
    {TChangeKind::ScannerBuilt, "ScannerBuilt", TChangeTarget::Game, 3},
    {TChangeKind::Patrol, "Patrol", TChangeTarget::Ship, 1},
    {TChangeKind::Escort, "Escort", TChangeTarget::Ship, 3},
    {TChangeKind::Damage, "Damage", TChangeTarget::Ship, 2},
    {TChangeKind::Destroy, "Destroy", TChangeTarget::Ship, 0},
    {TChangeKind::TargetStarShip, "TargetStarShip", TChangeTarget::Ship, 1},
    {TChangeKind::TargetStarSystem, "TargetStarSystem", TChangeTarget::Ship, 1},
    {TChangeKind::Defend, "Defend", TChangeTarget::Ship, 1},
    {TChangeKind::BuildStarShip, "BuildStarShip", TChangeTarget::Game, 1 + BuildFieldCount},
    {TChangeKind::Transport, "Transport", TChangeTarget::Ship, 2},
    {TChangeKind::LoadCargo, "LoadCargo", TChangeTarget::Ship, 1},
    {TChangeKind::UnloadCargo, "UnloadCargo", TChangeTarget::Ship, 1},
    {TChangeKind::StarSystemAttack, "StarSystemAttack", TChangeTarget::Game, 3},
    {TChangeKind::Conquer, "Conquer", TChangeTarget::Game, 2},
    {TChangeKind::AttackAdjacent, "AttackAdjacent", TChangeTarget::Ship, 1},
    {TChangeKind::Pulsing, "Pulsing", TChangeTarget::Ship, 1},
    {TChangeKind::Tug, "Tug", TChangeTarget::Ship, 1},
    {TChangeKind::Release, "Release", TChangeTarget::Ship, 0},
    {TChangeKind::StartTowing, "StartTowing", TChangeTarget::Ship, 1},
    {TChangeKind::Hijack, "Hijack", TChangeTarget::Ship, 1},
    {TChangeKind::Generate, "Generate", TChangeTarget::Ship, 1},
    {TChangeKind::GenerateShield, "GenerateShield", TChangeTarget::Ship, 1},
    {TChangeKind::Repair, "Repair", TChangeTarget::Ship, 1},
    {TChangeKind::Repaired, "Repaired", TChangeTarget::Ship, 2},
    {TChangeKind::WormholeTravel, "WormholeTravel", TChangeTarget::Ship, 4},
    {TChangeKind::Drag, "Drag", TChangeTarget::Ship, 1},
    {TChangeKind::StartDragging, "StartDragging", TChangeTarget::Ship, 1},
    {TChangeKind::StopDragging, "StopDragging", TChangeTarget::Ship, 0},
    {TChangeKind::MoveStarSystem, "MoveStarSystem", TChangeTarget::Game, 3},
    {TChangeKind::TechMultiple, "TechMultiple", TChangeTarget::Game, 2},
    {TChangeKind::CreateJumpGate, "CreateJumpGate", TChangeTarget::Ship, 0},
    {TChangeKind::BattleBuildStarShip, "BattleBuildStarShip", TChangeTarget::Game, 1 + BuildFieldCount},
    {TChangeKind::Alliance, "Alliance", TChangeTarget::Game, 3},
    {TChangeKind::Surrender, "Surrender", TChangeTarget::Game, 1},
    {TChangeKind::KnownValue, "KnownValue", TChangeTarget::Ship, 2},
    {TChangeKind::PatrolProgress, "PatrolProgress", TChangeTarget::Ship, 2},
    {TChangeKind::ShieldGeneratorProgress, "ShieldGeneratorProgress", TChangeTarget::Ship, 1},
    {TChangeKind::BrainData, "BrainData", TChangeTarget::Game, 2},
}};

constexpr const TChangeKindInfo& ChangeKindInfo(TChangeKind kind) {
    return ChangeKinds[static_cast<size_t>(static_cast<int32_t>(kind) - 1)];
}

// The entry of a number read off the wire; nullptr for a kind this version
// does not know (receivers ignore those).
constexpr const TChangeKindInfo* FindChangeKind(int32_t number) {
    if (number < 1 || number > static_cast<int32_t>(ChangeKinds.size())) return nullptr;
    return &ChangeKinds[static_cast<size_t>(number - 1)];
}

constexpr bool ChangeTableInKindOrder() {
    for (size_t i = 0; i < ChangeKinds.size(); ++i)
        if (static_cast<size_t>(ChangeKinds[i].Kind) != i + 1) return false;
    return true;
}
static_assert(ChangeTableInKindOrder(), "the change table is looked up by kind number");

} // namespace qx
