// The game state text and the replay of change texts.
#include <algorithm>

#include "engine/QuorvexEngine.h"

namespace qx {

namespace {

// One ";"-terminated field of the game state text; a text that ends before
// it is truncated.
std::string_view TakeField(std::string_view& text, const char* what) {
    if (text.empty()) throw EGameStateError(std::string("The game text ends before ") + what);
    return NextToken(text, ';');
}

int32_t TakeInt(std::string_view& text, const char* what) {
    const std::string_view field = TakeField(text, what);
    int32_t value = 0;
    if (!TextToInt(field, value))
        throw EGameStateError(std::string("The game text has '") + std::string(field) + "' where " + what +
                              " should be");
    return value;
}

size_t CountTokens(std::string_view text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '~')); }

// An object text must hold exactly the tokens its class writes; anything
// else is a damaged or truncated text.
template <typename T>
void CheckObjectText(const T& object, std::string_view original, const std::string& what) {
    std::string written;
    object.WriteState(written);
    if (CountTokens(written) != CountTokens(original))
        throw EGameStateError("The game text has a damaged " + what);
}

} // namespace

std::string TQuorvexEngine::SaveToText() const {
    std::string text = Tokenize({FormatVersion, Impulse, MapHeight, MapWidth, MapText, static_cast<int>(VictoryCondition),
                                 VictoryStarSystem ? VictoryStarSystem->Index : -1, VictoryAmount, VictoryCounter,
                                 VictoryHolder, PlayerCount(), StarSystemCount(), WormholeCount()},
                                ';');
    std::string object;
    for (const auto& player : Players_) {
        object.clear();
        player->WriteState(object);
        text += object + ';';
    }
    for (const auto& system : StarSystems_) {
        object.clear();
        system->WriteState(object);
        text += object + ';';
    }
    for (const auto& player : Players_) {
        text += std::to_string(player->StarShipCount()) + ';';
        for (const auto& ship : player->StarShips) {
            object.clear();
            ship->WriteState(object);
            text += object + ';';
        }
    }
    for (const auto& wormhole : Wormholes_) {
        object.clear();
        wormhole->WriteState(object);
        text += object + ';';
    }
    return text;
}

void TQuorvexEngine::LoadFromText(const std::string& text) {
    ClearGame();
    try {
        ReadGame(text);
    } catch (const EGameStateError&) {
        ResetToEmpty();
        throw;
    } catch (const std::exception& error) {
        ResetToEmpty();
        throw EGameStateError(std::string("The game text is damaged: ") + error.what());
    }
}

void TQuorvexEngine::ResetToEmpty() {
    // Nothing of a text that could not be read stays behind, not even its header.
    ClearGame();
    MapWidth = MapHeight = 0;
    MapText.clear();
    VictoryCondition = 0;
    VictoryStarSystem = nullptr;
    VictoryAmount = VictoryCounter = VictoryHolder = 0;
}

void TQuorvexEngine::ReadGame(std::string_view text) {
    double version = 0;
    if (!TextToFloat(TakeField(text, "the format version"), version))
        throw EGameStateError("The game text does not start with a format version");
    const int32_t impulse = TakeInt(text, "the impulse");
    const int32_t height = TakeInt(text, "the map height");
    const int32_t width = TakeInt(text, "the map width");
    const std::string mapText(TakeField(text, "the map"));
    const int32_t condition = TakeInt(text, "the victory condition");
    const int32_t victorySystem = TakeInt(text, "the victory star system");
    const int32_t amount = TakeInt(text, "the victory amount");
    const int32_t counter = TakeInt(text, "the victory counter");
    const int32_t holder = TakeInt(text, "the victory holder");
    const int32_t players = TakeInt(text, "the player count");
    const int32_t systems = TakeInt(text, "the star system count");
    const int32_t wormholes = TakeInt(text, "the wormhole count");
    if (height < 0 || width < 0 || height > MaxMapSide || width > MaxMapSide)
        throw EGameStateError("The game text has an impossible map size (" + std::to_string(width) + " x " +
                              std::to_string(height) + ")");
    if (condition < 0 || condition > 3) throw EGameStateError("The game text has an unknown victory condition");
    if (players < 0 || players > MaxPlayers) throw EGameStateError("The game text has more than 10 players");
    // Every object takes at least one character: larger counts are damage.
    if (systems < 0 || wormholes < 0 || static_cast<size_t>(systems) + static_cast<size_t>(wormholes) > text.size())
        throw EGameStateError("The game text has impossible object counts");

    FormatVersion = version;
    Impulse = impulse;
    MapHeight = height;
    MapWidth = width;
    MapText = mapText;
    VictoryCondition = static_cast<uint8_t>(condition);
    VictoryAmount = amount;
    VictoryCounter = counter;
    VictoryHolder = holder;

    for (int32_t i = 0; i < players; ++i) {
        const std::string_view field = TakeField(text, "a player");
        std::string_view state = field;
        TPlayer* player = AddPlayer(TPlayer::CreateFromState(this, state));
        CheckObjectText(*player, field, "player " + std::to_string(i));
        if (player->Index != i) throw EGameStateError("Player " + std::to_string(i) + " has a wrong index");
    }
    for (int32_t i = 0; i < systems; ++i) {
        const std::string_view field = TakeField(text, "a star system");
        std::string_view state = field;
        TStarSystem* system = AddStarSystem(TStarSystem::CreateFromState(this, state));
        CheckObjectText(*system, field, "star system " + std::to_string(i));
        if (system->Index != i) throw EGameStateError("Star system " + std::to_string(i) + " has a wrong index");
    }
    for (int32_t p = 0; p < players; ++p) {
        const int32_t ships = TakeInt(text, "a ship count");
        if (ships < 0 || static_cast<size_t>(ships) > text.size())
            throw EGameStateError("The game text has an impossible ship count");
        for (int32_t i = 0; i < ships; ++i) {
            const std::string_view field = TakeField(text, "a star ship");
            std::string_view state = field;
            auto ship = TStarShip::CreateFromState(this, state);
            CheckObjectText(*ship, field, "star ship " + ship->Code);
            if (ship->Code.size() != 3 || FindStarShipByCode(ship->Code))
                throw EGameStateError("The game text has a bad or repeated ship code '" + ship->Code + "'");
            GetPlayer(p)->AddStarShip(std::move(ship));
        }
    }
    for (int32_t i = 0; i < wormholes; ++i) {
        const std::string_view field = TakeField(text, "a wormhole");
        std::string_view state = field;
        TWormhole* wormhole = AddWormhole(TWormhole::CreateFromState(this, state));
        CheckObjectText(*wormhole, field, "wormhole " + std::to_string(i));
    }
    if (victorySystem != -1 && !StarSystemOrNull(victorySystem))
        throw EGameStateError("The game text names a victory star system that does not exist");
    VictoryStarSystem = StarSystemOrNull(victorySystem);
}

namespace {

// Fields left in a change after what has been read; a missing final separator
// is accepted.
int32_t FieldsLeft(std::string_view args) {
    if (args.empty()) return 0;
    const auto separators = static_cast<int32_t>(std::count(args.begin(), args.end(), ':'));
    return separators + (args.back() == ':' ? 0 : 1);
}

} // namespace

void TQuorvexEngine::ApplyChange(const std::string& text) {
    std::string_view args(text);
    const TChangeKindInfo* info = FindChangeKind(NextInt(args, ':'));
    if (!info) return;  // a kind this version does not know
    // A change shorter than its kind is damaged; its missing fields must not
    // read as zeros.
    const int32_t address = info->Target == TChangeTarget::Ship ? 2 : 0;
    if (FieldsLeft(args) < address + info->FieldCount) return;
    try {
        if (info->Target == TChangeTarget::Game) {
            ApplyGameChange(info->Kind, args);
            return;
        }
        TPlayer* owner = PlayerOrNull(NextInt(args, ':'));
        TStarShip* ship = owner ? owner->FindStarShip(NextToken(args, ':')) : nullptr;
        if (ship) ApplyShipChange(info->Kind, ship, args);
    } catch (const ECodecError&) {
        // A change with a malformed real number is ignored like any other
        // change that names nothing.
    }
}

void TQuorvexEngine::ApplyShipChange(TChangeKind kind, TStarShip* ship, std::string_view& args) {
    auto nextSystem = [&]() { return StarSystemOrNull(NextInt(args, ':')); };
    auto nextShip = [&]() { return FindStarShipByCode(NextToken(args, ':')); };
    switch (kind) {
    case TChangeKind::ClearOrders: ship->Order = ordNone; break;
    case TChangeKind::Move: {
        const int32_t x = NextInt(args, ':');
        ship->SetMove(x, NextInt(args, ':'));
        break;
    }
    case TChangeKind::Step: {
        const int32_t x = NextInt(args, ':');
        const int32_t y = NextInt(args, ':');
        const int32_t direction = NextInt(args, ':');
        if (direction < 0 || direction > 7 || !IsInsideMap(x, y)) return;
        StepStarShip(ship, x, y, direction);
        break;
    }
    case TChangeKind::Patrol: {
        const std::string_view path = NextToken(args, ':');
        if (IsValidPatrolPath(path)) ship->SetPatrol(path);
        break;
    }
    case TChangeKind::Escort: {
        TStarShip* target = nextShip();
        const int32_t dx = NextInt(args, ':');
        const int32_t dy = NextInt(args, ':');
        if (target) ship->SetEscort(target, dx, dy);
        break;
    }
    case TChangeKind::Damage:
        ship->Engines = NextInt(args, ':');
        ship->Value = NextInt(args, ':');
        if (ship->Cargo > ship->Value) ship->Cargo = ship->Value;
        if (OnStarShipDamage) OnStarShipDamage(this, ship);
        break;
    case TChangeKind::Destroy: DestroyStarShip(ship); break;
    case TChangeKind::TargetStarShip:
        if (TStarShip* target = nextShip()) ship->SetTargetStarShip(target);
        break;
    case TChangeKind::TargetStarSystem:
        if (TStarSystem* system = nextSystem()) ship->SetTargetStarSystem(system);
        break;
    case TChangeKind::Defend:
        if (TQxMapObject* object = FindObjectByRef(NextToken(args, ':'))) ship->SetDefend(object);
        break;
    case TChangeKind::Transport: {
        TStarSystem* from = nextSystem();
        TStarSystem* to = nextSystem();
        if (from && to) ship->SetTransport(from, to);
        break;
    }
    case TChangeKind::LoadCargo:
        if (TStarSystem* system = nextSystem()) LoadCargo(ship, system);
        break;
    case TChangeKind::UnloadCargo:
        if (TStarSystem* system = nextSystem()) UnloadCargo(ship, system);
        break;
    case TChangeKind::AttackAdjacent: ship->AttackAdjacent = NextBool(args, ':'); break;
    case TChangeKind::Pulsing: ship->Pulsing = NextBool(args, ':'); break;
    case TChangeKind::Tug:
        if (TStarShip* target = nextShip()) ship->SetTug(target);
        break;
    case TChangeKind::Release: ship->Release(); break;
    case TChangeKind::StartTowing:
        if (TStarShip* target = nextShip(); target && target != ship) StartTowing(ship, target);
        break;
    case TChangeKind::Hijack:
        if (TStarShip* target = nextShip(); target && target != ship) Hijack(ship, target);
        break;
    case TChangeKind::Generate:
        if (TStarSystem* system = nextSystem()) ship->SetGenerate(system);
        break;
    case TChangeKind::GenerateShield:
        if (TStarSystem* system = nextSystem()) GenerateShield(ship, system);
        break;
    case TChangeKind::Repair:
        if (TStarShip* target = nextShip()) ship->SetRepair(target);
        break;
    case TChangeKind::Repaired:
        ship->Engines = NextInt(args, ':');
        ship->Value = NextInt(args, ':');
        break;
    case TChangeKind::WormholeTravel: {
        const int32_t wx = NextInt(args, ':');
        const int32_t wy = NextInt(args, ':');
        const int32_t x = NextInt(args, ':');
        const int32_t y = NextInt(args, ':');
        TWormhole* wormhole = WormholeAt(wx, wy, false);
        if (!wormhole || !IsInsideMap(x, y)) return;
        if (ship->Owner->Index >= 0 && ship->Owner->Index < MaxPlayers)
            wormhole->Known[static_cast<size_t>(ship->Owner->Index)] = true;
        const int32_t oldX = ship->X, oldY = ship->Y;
        ship->X = x;
        ship->Y = y;
        StarShipMoved(ship, oldX, oldY);
        if (OnWormholeTravel) OnWormholeTravel(this, ship, 0);
        break;
    }
    case TChangeKind::Drag:
        if (TStarSystem* system = nextSystem()) ship->SetDrag(system);
        break;
    case TChangeKind::StartDragging:
        if (TStarSystem* system = nextSystem()) StartDragging(ship, system);
        break;
    case TChangeKind::StopDragging: ship->DragSystem = -1; break;
    case TChangeKind::CreateJumpGate:
        if (TStarSystem* home = StarSystemOrNull(ship->SourceSystem)) MakeJumpGate(ship, home);
        break;
    case TChangeKind::KnownValue: {
        TPlayer* player = PlayerOrNull(NextInt(args, ':'));
        const int32_t value = NextInt(args, ':');
        if (player && player->Index >= 0 && player->Index < MaxPlayers)
            ship->KnownValue[static_cast<size_t>(player->Index)] = value;
        break;
    }
    case TChangeKind::PatrolProgress:
        ship->PatrolIndex = NextInt(args, ':');
        ship->PatrolStep = NextInt(args, ':');
        break;
    case TChangeKind::ShieldGeneratorProgress: ship->SourceSystem = NextInt(args, ':'); break;
    default: break;
    }
}

void TQuorvexEngine::ApplyGameChange(TChangeKind kind, std::string_view& args) {
    switch (kind) {
    case TChangeKind::ShieldBuilt:
    case TChangeKind::ScannerBuilt:
    case TChangeKind::StarSystemAttack: {
        TStarSystem* system = StarSystemOrNull(NextInt(args, ':'));
        const int32_t level = NextInt(args, ':');
        const double resources = NextFloat(args, ':');
        if (!system) return;
        if (kind == TChangeKind::ScannerBuilt)
            system->Scanners = level;
        else
            system->Shields = level;
        system->Resources = resources;
        if (kind == TChangeKind::StarSystemAttack && OnStarSystemAttack) OnStarSystemAttack(this, system);
        break;
    }
    case TChangeKind::BuildStarShip: {
        TStarSystem* system = StarSystemOrNull(NextInt(args, ':'));
        TBuildFields fields;
        if (system && ReadBuildFields(args, fields)) BuildStarShip(system, fields);
        break;
    }
    case TChangeKind::Conquer: {
        TPlayer* player = PlayerOrNull(NextInt(args, ':'));
        TStarSystem* system = StarSystemOrNull(NextInt(args, ':'));
        if (player && system) Conquer(player, system);
        break;
    }
    case TChangeKind::MoveStarSystem: {
        TStarSystem* system = StarSystemOrNull(NextInt(args, ':'));
        const int32_t x = NextInt(args, ':');
        const int32_t y = NextInt(args, ':');
        if (!system) return;
        system->X = x;
        system->Y = y;
        if (OnMoveStarSystem) OnMoveStarSystem(this, system);
        break;
    }
    case TChangeKind::TechMultiple: {
        TPlayer* player = PlayerOrNull(NextInt(args, ':'));
        const double multiple = NextFloat(args, ':');
        if (player) player->TechMultiple = multiple;
        break;
    }
    case TChangeKind::BattleBuildStarShip: {
        TStarShip* station = FindStarShipByCode(NextToken(args, ':'));
        TBuildFields fields;
        if (station && !station->Destroyed && ReadBuildFields(args, fields)) BattleBuildStarShip(station, fields);
        break;
    }
    case TChangeKind::Alliance: {
        TPlayer* player = PlayerOrNull(NextInt(args, ':'));
        const int32_t level = NextInt(args, ':');
        TPlayer* other = PlayerOrNull(NextInt(args, ':'));
        if (!player || !other || level < 0 || level > 2) return;
        player->Alliance[static_cast<size_t>(other->Index)] = level;
        if (player == CurrentPlayer && OnAllianceChange) OnAllianceChange(this, other);
        break;
    }
    case TChangeKind::Surrender:
        if (TPlayer* player = PlayerOrNull(NextInt(args, ':'))) Surrender(player);
        break;
    case TChangeKind::BrainData: {
        TPlayer* player = PlayerOrNull(NextInt(args, ':'));
        std::string_view line = args;
        if (!line.empty() && line.back() == ':') line.remove_suffix(1);
        // The same checks as where brains set their data: the line must hold
        // a name and must not carry the game text's separators.
        if (!player || line.find('=') == std::string_view::npos || line.find_first_of(";~") != std::string_view::npos)
            return;
        player->SetBrainDataLine(std::string(line));
        break;
    }
    default: break;
    }
}

} // namespace qx
