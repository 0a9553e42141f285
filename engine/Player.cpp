#include "engine/Player.h"

#include <algorithm>

#include "engine/QuorvexEngine.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "base/FieldCodec.h"

namespace qx {

TPlayer::TPlayer(TQuorvexEngine* engine) : TQxObject(engine) {}

TPlayer::~TPlayer() {
    ClearStarShips();
}

std::unique_ptr<TPlayer> TPlayer::CreateFromState(TQuorvexEngine* engine, std::string_view& text) {
    auto player = std::make_unique<TPlayer>(engine);
    player->ReadState(text);
    return player;
}

void TPlayer::WriteState(std::string& text) const {
    TQxObject::WriteState(text);
    WriteBoolToken(text, Alive);
    WriteBoolToken(text, Computer);
    WriteToken(text, Index);
    WriteToken(text, Name);
    WriteToken(text, ShipTypeSetToText(ShipTypes));
    WriteFloatToken(text, TechMultiple);
    WriteToken(text, BrainFile);
    WriteToken(text, static_cast<int64_t>(BrainData.size()));
    for (const std::string& line : BrainData) WriteToken(text, line);
    for (int32_t level : Alliance) WriteToken(text, level);
}

void TPlayer::ReadState(std::string_view& text) {
    TQxObject::ReadState(text);
    Alive = NextBool(text, '~');
    Computer = NextBool(text, '~');
    Index = NextInt(text, '~');
    Name = std::string(NextToken(text, '~'));
    ShipTypes = ShipTypeSetFromText(NextToken(text, '~'));
    TechMultiple = ReadFloatToken(text);
    BrainFile = std::string(NextToken(text, '~'));
    const int32_t lines = NextInt(text, '~');
    BrainData.clear();
    for (int32_t i = 0; i < lines && !text.empty(); ++i) BrainData.push_back(std::string(NextToken(text, '~')));
    for (int32_t& level : Alliance) level = NextInt(text, '~');
}

bool TPlayer::SetBrainDataLine(const std::string& line) { return BrainData.Set(line); }

void TPlayer::ListChanged() {
    if (Engine) Engine->StarShipListsChanged();
}

void TPlayer::Joined(TStarShip* ship) {
    if (ByCodeReady_ && !ByCode_.emplace(ship->Code, ship).second) ByCodeShared_ = true;
    ListChanged();
}

void TPlayer::Left(TStarShip* ship) {
    if (ByCodeReady_) {
        if (ByCodeShared_) {
            ByCodeReady_ = false;  // another ship of the code may have to answer now
        } else {
            auto it = ByCode_.find(ship->Code);
            if (it != ByCode_.end() && it->second == ship) ByCode_.erase(it);
            else ByCodeReady_ = false;
        }
    }
    ListChanged();
}

void TPlayer::IndexCodes() const {
    ByCode_.clear();
    ByCodeShared_ = false;
    ByCode_.reserve(StarShips.size());
    for (const auto& ship : StarShips)
        if (!ByCode_.emplace(ship->Code, ship.get()).second) ByCodeShared_ = true;
    ByCodeReady_ = true;
}

TStarShip* TPlayer::AddStarShip(std::unique_ptr<TStarShip> ship) {
    TStarShip* added = ship.get();
    StarShips.push_back(std::move(ship));
    Joined(added);
    added->SetOwner(this);
    if (Engine && Engine->OnStarShipCreate) Engine->OnStarShipCreate(this, added);
    return added;
}

void TPlayer::RemoveStarShip(TStarShip* ship) {
    auto it = std::find_if(StarShips.begin(), StarShips.end(), [&](const auto& s) { return s.get() == ship; });
    if (it == StarShips.end()) return;
    if (!Clearing && Engine && Engine->OnStarShipDestroy) Engine->OnStarShipDestroy(this, ship);
    // The event may have changed the list; look the ship up again.
    it = std::find_if(StarShips.begin(), StarShips.end(), [&](const auto& s) { return s.get() == ship; });
    if (it != StarShips.end()) {
        Left(ship);  // while its code can still be read
        StarShips.erase(it);
    }
}

std::unique_ptr<TStarShip> TPlayer::ExtractStarShip(TStarShip* ship) {
    auto it = std::find_if(StarShips.begin(), StarShips.end(), [&](const auto& s) { return s.get() == ship; });
    if (it == StarShips.end()) return nullptr;
    std::unique_ptr<TStarShip> taken = std::move(*it);
    Left(ship);
    StarShips.erase(it);
    return taken;
}

void TPlayer::AdoptStarShip(std::unique_ptr<TStarShip> ship) {
    TStarShip* adopted = ship.get();
    StarShips.push_back(std::move(ship));
    Joined(adopted);
    adopted->SetOwner(this);
}

void TPlayer::ClearStarShips() {
    Clearing = true;
    while (!StarShips.empty()) RemoveStarShip(StarShips.front().get());
    StarShips.clear();
    ByCode_.clear();
    ByCodeReady_ = false;
    ListChanged();
    Clearing = false;
}

TStarShip* TPlayer::FindStarShip(std::string_view code) const {
    if (!ByCodeReady_) IndexCodes();
    const auto it = ByCode_.find(code);
    if (it == ByCode_.end()) return nullptr;
    if (it->second->Code == code) return it->second;
    // A code was changed in place after all: answer from the list.
    ByCodeReady_ = false;
    for (const auto& ship : StarShips)
        if (ship->Code == code) return ship.get();
    return nullptr;
}

TStarSystem* TPlayer::Capital() const {
    if (!Engine) return nullptr;
    for (int i = 0; i < Engine->StarSystemCount(); ++i) {
        TStarSystem* system = Engine->GetStarSystem(i);
        if (system->Owner == this && system->Capital) return system;
    }
    return nullptr;
}

double TPlayer::TotalResources() const {
    double total = 0;
    for (const TStarSystem* system : StarSystems) total += system->Resources;
    return total;
}

int32_t TPlayer::IsAllied(const TPlayer* other) const {
    if (!other || other->Index < 0 || other->Index >= MaxPlayers) return 0;
    return Alliance[static_cast<size_t>(other->Index)];
}

int TPlayer::ColorIndex() const {
    static constexpr int kColors[MaxPlayers] = {249, 251, 254, 16, 253, 6, 5, 252, 250, 80};
    return Index >= 0 && Index < MaxPlayers ? kColors[Index] : 7;
}

uint32_t TPlayer::Color() const {
    if (!Engine || !Engine->ColorPalette) return 0xFFFFFF;
    return Engine->ColorPalette->GetColor(ColorIndex());
}

} // namespace qx
