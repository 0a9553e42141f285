#include "engine/QuorvexEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/Random.h"
#include "net/RealTimeEngine.h"

namespace qx {

TQuorvexEngine::TQuorvexEngine() = default;

TQuorvexEngine::~TQuorvexEngine() { ClearGame(); }

TPlayer* TQuorvexEngine::PlayerOrNull(int i) const {
    return i >= 0 && i < PlayerCount() ? Players_[static_cast<size_t>(i)].get() : nullptr;
}

TStarSystem* TQuorvexEngine::StarSystemOrNull(int i) const {
    return i >= 0 && i < StarSystemCount() ? StarSystems_[static_cast<size_t>(i)].get() : nullptr;
}

TWormhole* TQuorvexEngine::WormholeOrNull(int i) const {
    return i >= 0 && i < WormholeCount() ? Wormholes_[static_cast<size_t>(i)].get() : nullptr;
}

TPlayer* TQuorvexEngine::AddPlayer(std::unique_ptr<TPlayer> player) {
    if (PlayerCount() >= MaxPlayers) throw std::length_error("A game has at most 10 players");
    player->Engine = this;
    Players_.push_back(std::move(player));
    return Players_.back().get();
}

TStarSystem* TQuorvexEngine::AddStarSystem(std::unique_ptr<TStarSystem> system) {
    system->Engine = this;
    Cells_.InvalidateSystems();
    StarSystems_.push_back(std::move(system));
    return StarSystems_.back().get();
}

TWormhole* TQuorvexEngine::AddWormhole(std::unique_ptr<TWormhole> wormhole) {
    wormhole->Engine = this;
    Wormholes_.push_back(std::move(wormhole));
    return Wormholes_.back().get();
}

TPlayer* TQuorvexEngine::FindPlayerByName(std::string_view name) const {
    for (const auto& player : Players_)
        if (player->Name == name) return player.get();
    return nullptr;
}

TStarShip* TQuorvexEngine::FindStarShipByCode(std::string_view code) const {
    for (const auto& player : Players_)
        if (TStarShip* ship = player->FindStarShip(code)) return ship;
    return nullptr;
}

TStarShip* TQuorvexEngine::StarShipAt(int x, int y, bool includeDestroyed, bool onlyVisible) const {
    if (const TShipCellIndex* cells = ActingCells()) {
        for (int32_t e = cells->First(x, y); e >= 0; e = cells->Entry(e).Next) {
            TStarShip* ship = cells->Entry(e).Ship;
            if (ship->Destroyed && !includeDestroyed) continue;
            if (onlyVisible && !ship->IsVisibleTo(CurrentPlayer)) continue;
            return ship;
        }
        return nullptr;
    }
    for (const auto& player : Players_)
        for (const auto& ship : player->StarShips) {
            if (ship->X != x || ship->Y != y) continue;
            if (ship->Destroyed && !includeDestroyed) continue;
            if (onlyVisible && !ship->IsVisibleTo(CurrentPlayer)) continue;
            return ship.get();
        }
    return nullptr;
}

TStarShip* TQuorvexEngine::StarShipVisibleTo(int x, int y, bool includeDestroyed, const TPlayer* player) const {
    if (const TShipCellIndex* cells = ActingCells()) {
        for (int32_t e = cells->First(x, y); e >= 0; e = cells->Entry(e).Next) {
            TStarShip* ship = cells->Entry(e).Ship;
            if (ship->Destroyed && !includeDestroyed) continue;
            if (!ship->IsVisibleTo(player)) continue;
            return ship;
        }
        return nullptr;
    }
    for (const auto& owner : Players_)
        for (const auto& ship : owner->StarShips) {
            if (ship->X != x || ship->Y != y) continue;
            if (ship->Destroyed && !includeDestroyed) continue;
            if (!ship->IsVisibleTo(player)) continue;
            return ship.get();
        }
    return nullptr;
}

TStarSystem* TQuorvexEngine::StarSystemAt(int x, int y) const {
    if (const TShipCellIndex* cells = CellSystems()) return cells->SystemAt(x, y);
    for (const auto& system : StarSystems_)
        if (system->X == x && system->Y == y) return system.get();
    return nullptr;
}

TWormhole* TQuorvexEngine::WormholeAt(int x, int y, bool onlyVisible) const {
    for (const auto& wormhole : Wormholes_) {
        if (wormhole->X != x || wormhole->Y != y) continue;
        if (onlyVisible && !wormhole->IsVisibleTo(CurrentPlayer)) continue;
        return wormhole.get();
    }
    return nullptr;
}

TQxMapObject* TQuorvexEngine::ObjectAt(int x, int y, bool onlyVisible) const {
    if (TStarSystem* system = StarSystemAt(x, y)) return system;
    if (TStarShip* ship = StarShipAt(x, y, true, onlyVisible)) return ship;
    return WormholeAt(x, y, onlyVisible);
}

bool TQuorvexEngine::IsEmpty(int x, int y) const {
    return !StarShipAt(x, y, true, false) && !StarSystemAt(x, y) && !WormholeAt(x, y, false);
}

bool TQuorvexEngine::IsInsideMap(int64_t x, int64_t y) const {
    return x >= 0 && y >= 0 && x < MapWidth && y < MapHeight;
}

TQxMapObject* TQuorvexEngine::FindObjectByRef(std::string_view ref) const {
    if (ref.empty()) return nullptr;
    int32_t index = 0;
    switch (ref.front()) {
    case 'Y': return TextToInt(ref.substr(1), index) ? StarSystemOrNull(index) : nullptr;
    case 'W': return TextToInt(ref.substr(1), index) ? WormholeOrNull(index) : nullptr;
    case 'I': {
        if (ref.size() < 5 || ref[1] < '0' || ref[1] > '9') return nullptr;
        TPlayer* player = PlayerOrNull(ref[1] - '0');
        return player ? player->FindStarShip(ref.substr(2, 3)) : nullptr;
    }
    default: return nullptr;
    }
}

std::string TQuorvexEngine::ObjectRef(const TQxMapObject* object) const {
    if (auto system = dynamic_cast<const TStarSystem*>(object)) return "Y" + std::to_string(system->Index);
    if (auto wormhole = dynamic_cast<const TWormhole*>(object)) {
        for (int i = 0; i < WormholeCount(); ++i)
            if (Wormholes_[static_cast<size_t>(i)].get() == wormhole) return "W" + std::to_string(i);
        return "?";
    }
    if (auto ship = dynamic_cast<const TStarShip*>(object))
        if (ship->Owner && ship->Owner->Index >= 0 && ship->Owner->Index <= 9)
            return "I" + std::to_string(ship->Owner->Index) + ship->Code;
    return "?";
}

std::string TQuorvexEngine::NewStarShipCode() {
    // 36^3 codes in all; a game that has handed out every one cannot make more.
    if (StarShipCodeSet_.size() >= 36u * 36u * 36u) throw std::length_error("No star ship codes left");
    std::string code;
    do {
        code.clear();
        for (int i = 0; i < 3; ++i) {
            if (RulesRandom.Random(36) >= 10)
                code += static_cast<char>('A' + RulesRandom.Random(26));
            else
                code += static_cast<char>('0' + RulesRandom.Random(10));
        }
    } while (IsStarShipCodeUsed(code));
    RegisterStarShipCode(code);
    return code;
}

void TQuorvexEngine::RegisterStarShipCode(const std::string& code) {
    if (StarShipCodeSet_.insert(code).second) StarShipCodes_.push_back(code);
}

TStarShip* TQuorvexEngine::AdjacentEnemy(const TPlayer* player, int x, int y) const {
    if (!player) return nullptr;
    if (const TShipCellIndex* cells = ActingCells()) {
        for (int cx = x + 1; cx >= x - 1; --cx)
            for (int cy = y + 1; cy >= y - 1; --cy) {
                if (cx == x && cy == y) continue;
                for (int32_t e = cells->First(cx, cy); e >= 0; e = cells->Entry(e).Next) {
                    const TShipCellIndex::TEntry& entry = cells->Entry(e);
                    if (entry.List == player || entry.List->IsAllied(player) != 0) continue;
                    if (!entry.Ship->Destroyed && entry.Ship->IsVisibleTo(player)) return entry.Ship;
                }
            }
        return nullptr;
    }
    for (int cx = x + 1; cx >= x - 1; --cx)
        for (int cy = y + 1; cy >= y - 1; --cy) {
            if (cx == x && cy == y) continue;
            for (const auto& owner : Players_) {
                if (owner.get() == player || owner->IsAllied(player) != 0) continue;
                for (const auto& ship : owner->StarShips)
                    if (ship->X == cx && ship->Y == cy && !ship->Destroyed && ship->IsVisibleTo(player))
                        return ship.get();
            }
        }
    return nullptr;
}

TStarShip* TQuorvexEngine::AdjacentTarget(const TStarShip* ship) const {
    const TPlayer* owner = ship->Owner;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx == 0 && dy == 0) continue;
            TStarShip* target = StarShipAt(ship->X + dx, ship->Y + dy, true, false);
            if (!target || target->Destroyed || target->Owner == owner) continue;
            if (owner && owner->IsAllied(target->Owner) != 0) continue;
            if (!ship->CanAttack(target)) continue;
            if (target->ShipType == TShipType::EMine && target->IsVisibleTo(owner)) continue;
            return target;
        }
    return nullptr;
}

void TQuorvexEngine::ClearGame() {
    if (OnClearGame) OnClearGame(this);
    for (auto& player : Players_) player->ClearStarShips();
    ActingStarShips_.clear();
    Players_.clear();
    StarSystems_.clear();
    Wormholes_.clear();
    StarShipCodes_.clear();
    StarShipCodeSet_.clear();
    Orders_.clear();
    VictoryStarSystem = nullptr;  // it would point into the freed list
    Impulse = 1;
    FormatVersion = 4.0;
    CurrentPlayer = nullptr;
}

void TQuorvexEngine::ShuffleStarSystems() {
    // A stable sort after every assignment, as the lists have always been
    // ordered; equal IDs keep their relative order.
    for (size_t i = 0; i < StarSystems_.size(); ++i) {
        StarSystems_[i]->ID = RulesRandom.Random(2147483647);
        std::stable_sort(StarSystems_.begin(), StarSystems_.end(),
                         [](const auto& a, const auto& b) { return a->ID < b->ID; });
    }
}

void TQuorvexEngine::SubmitOrder(TPlayer* player, const std::string& text) { Orders_.emplace_back(text, player); }

bool TQuorvexEngine::IsMaster() const {
    if (RealTimeEngine) return RealTimeEngine->IsMaster();
    return !Replica;
}

int32_t TQuorvexEngine::ClockImpulse() const { return RealTimeEngine ? RealTimeEngine->Impulse() : Impulse; }

bool TQuorvexEngine::CanAct(int position, int engines) const {
    // Ratings beyond the table act as often as the fastest row.
    const int rows = static_cast<int>(Schedule().ImpulseActions().size());
    return Schedule().CanAct(position, std::min(engines, rows));
}

void TQuorvexEngine::EmitChange(const std::string& text) {
    if (RealTimeEngine)
        RealTimeEngine->AddStateChange(text);
    else if (ChangeSink)
        ChangeSink(text);
}

void TQuorvexEngine::RecordShipChangeText(const TStarShip* ship, TChangeKind kind,
                                          std::initializer_list<TokenValue> args) {
    // Without a clock or a sink nobody would read the text.
    if (!ship || !IsMaster() || (!RealTimeEngine && !ChangeSink)) return;
    std::string text = std::to_string(static_cast<int32_t>(kind)) + ':' + std::to_string(ship->Owner ? ship->Owner->Index : -1) + ':' +
                       ship->Code + ':';
    for (const TokenValue& arg : args) {
        arg.AppendTo(text);
        text += ':';
    }
    EmitChange(text);
}

void TQuorvexEngine::RecordGameChangeText(TChangeKind kind, std::initializer_list<TokenValue> args) {
    if (!IsMaster() || (!RealTimeEngine && !ChangeSink)) return;
    std::string text = std::to_string(static_cast<int32_t>(kind)) + ':';
    for (const TokenValue& arg : args) {
        arg.AppendTo(text);
        text += ':';
    }
    EmitChange(text);
}

void TQuorvexEngine::GenerateResources() {
    for (auto& system : StarSystems_) system->Produce();
}

void TQuorvexEngine::UpdateCommandBonus() {
    for (auto& player : Players_)
        for (auto& ship : player->StarShips) ship->CommandBonus = 0;
    for (auto& player : Players_)
        for (auto& command : player->StarShips) {
            if (command->ShipType != TShipType::CommandShip || command->Destroyed) continue;
            for (auto& ship : player->StarShips) {
                if (ship->ShipType != TShipType::WarShip && ship->ShipType != TShipType::DoppleShip) continue;
                if (Distance(command->X, command->Y, ship->X, ship->Y) <= static_cast<float>(command->Value))
                    ++ship->CommandBonus;
            }
        }
}

void TQuorvexEngine::RemoveDestroyedStarShips() {
    ActingStarShips_.clear();
    for (auto& player : Players_)
        for (int i = player->StarShipCount() - 1; i >= 0; --i) {
            if (i >= player->StarShipCount()) continue;
            TStarShip* ship = player->GetStarShip(i);
            if (ship->Destroyed) player->RemoveStarShip(ship);
        }
}

bool TQuorvexEngine::AllComputer() const {
    return std::all_of(Players_.begin(), Players_.end(), [](const auto& p) { return p->Computer; });
}

void TQuorvexEngine::ProcessImpulse() {
    ProcessOrders();
    const int position = ((ClockImpulse() % 20) + 20) % 20 + 1;
    DitherPhase = position % 5;
    // While ships act, the cells they look at come from the index.
    TCellScope acting(*this);
    BuildActingList(position);
    // Index loop: the list does not change while ships act, but stay safe.
    for (size_t i = 0; i < ActingStarShips_.size(); ++i) Act(ActingStarShips_[i]);
}

TQuorvexEngine::TCellScope::TCellScope(TQuorvexEngine& engine) : Engine_(engine) {
    // The objects may have been moved by anyone since the last scope.
    if (Engine_.CellScopes_++ == 0) Engine_.Cells_.Invalidate();
    Engine_.CellsActive_ = true;
}

TQuorvexEngine::TCellScope::~TCellScope() {
    if (--Engine_.CellScopes_ == 0) Engine_.CellsActive_ = false;
}

void TQuorvexEngine::StarShipMoved(const TStarShip* ship, int32_t oldX, int32_t oldY) {
    if (CellsActive_)
        Cells_.Moved(ship, oldX, oldY);
    else
        Cells_.Invalidate();
}

void TQuorvexEngine::BuildActingList(int position) {
    ActingStarShips_.clear();
    for (size_t p = 0; p < Players_.size(); ++p) {
        TPlayer* player = Players_[p].get();
        // A standing action may hand ships to another player; walk by index.
        for (int i = 0; i < player->StarShipCount(); ++i) {
            TStarShip* ship = player->GetStarShip(i);
            RunStandingActions(ship, position);
            if (ship->Destroyed) continue;
            const bool dragging = ship->ShipType == TShipType::GravShip && ship->DragSystem >= 0;
            const int rating = dragging ? 1 : ship->Engines;
            if (rating < 1 || !CanAct(position, rating)) continue;
            if (ship->Order == ordNone && ship->ShipType != TShipType::InkSpot && !ship->AttackAdjacent) continue;
            if (!ship->TowedBy.empty()) continue;
            const auto at = ActingStarShips_.empty() ? 0 : RulesRandom.Random(static_cast<int32_t>(ActingStarShips_.size()));
            ActingStarShips_.insert(ActingStarShips_.begin() + at, ship);
        }
    }
}

void TQuorvexEngine::RunStandingActions(TStarShip* ship, int position) {
    if (ship->Destroyed) return;
    switch (ship->ShipType) {
    case TShipType::EMine: DetonateEMine(ship); break;
    case TShipType::InkSpot:
        if (ship->Order == ordTargetStarShip && ship->Owner) {
            TStarShip* target = FindStarShipByCode(ship->TargetRef);
            if (target && target->Tagged[static_cast<size_t>(ship->Owner->Index)]) ClearOrders(ship);
        }
        break;
    case TShipType::CloakDetector: CheckCloakDetector(ship); break;
    case TShipType::Tug:
        if (!ship->Towing.empty() && !ship->TowedBy.empty()) ReleaseStarShip(ship);
        break;
    case TShipType::GravShip:
        if (ship->DragSystem >= 0 && !ship->TowedBy.empty()) ReleaseStarShip(ship);
        break;
    case TShipType::StarTillery:
        if (ship->Engines >= 1 && CanAct(position, ship->Engines)) StarTilleryFire(ship);
        break;
    case TShipType::TechShip: TechResearch(ship); break;
    case TShipType::BattleStation:
        if (CanAct(position, 5)) BattleStationRepair(ship);
        break;
    default: break;
    }
}

void TQuorvexEngine::Act(TStarShip* ship) {
    if (ship->Destroyed) return;
    if (ship->AttackAdjacent) {
        if (TStarShip* target = AdjacentTarget(ship)) {
            AttackStarShip(ship, target);
            if (target->Destroyed) {
                if (!ship->Destroyed) MoveTowards(ship, target->X, target->Y);
                return;
            }
            if (ship->Destroyed) return;
        }
    }
    if (ship->ShipType == TShipType::InkSpot && ship->Owner && AdjacentEnemy(ship->Owner, ship->X, ship->Y)) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                if (dx == 0 && dy == 0) continue;
                const int x = ship->X + dx;
                const int y = ship->Y + dy;
                if (!IsInsideMap(x, y) || ObjectAt(x, y, false) || AdjacentEnemy(ship->Owner, x, y)) continue;
                MoveTowards(ship, x, y);
                return;
            }
    }
    FollowOrder(ship);
}

bool TQuorvexEngine::ReadBuildFields(std::string_view& text, TBuildFields& fields) {
    // Every number must be one: a malformed field refuses the build rather
    // than reading as 0.
    int32_t type = 0;
    const auto number = [&text](int32_t& value) { return TextToInt(NextToken(text, ':'), value); };
    if (!number(type) || !number(fields.Engines) || !number(fields.Value)) return false;
    const std::string_view cloaked = NextToken(text, ':');
    if (cloaked != "0" && cloaked != "1") return false;
    fields.Cloaked = cloaked == "1";
    if (!number(fields.DX) || !number(fields.DY) || !number(fields.Cost)) return false;
    fields.Code = std::string(NextToken(text, ':'));
    if (!ShipTypeFromOrdinal(type, fields.ShipType)) return false;
    // Ratings the schedule and the combat arithmetic can carry.
    if (fields.Engines < 0 || fields.Engines > 20 || fields.Value < 0 || fields.Value > 9999) return false;
    if (fields.Cost < 0 || std::abs(fields.DX) > 1000 || std::abs(fields.DY) > 1000) return false;
    if (!fields.Code.empty() && !IsValidStarShipCode(fields.Code)) return false;
    return true;
}

bool TQuorvexEngine::IsValidStarShipCode(std::string_view code) {
    return code.size() == 3 && std::all_of(code.begin(), code.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

bool TQuorvexEngine::IsValidPatrolPath(std::string_view path) {
    // Points "X,Y" joined by "_": nothing else may travel into the game text.
    if (path.empty()) return false;
    while (!path.empty()) {
        std::string_view point = NextToken(path, '_');
        int32_t value = 0;
        if (!TextToInt(NextToken(point, ','), value) || !TextToInt(point, value)) return false;
    }
    return true;
}

} // namespace qx
