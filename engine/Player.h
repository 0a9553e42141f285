#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/BrainData.h"
#include "engine/QxObject.h"
#include "engine/ShipTypes.h"

namespace qx {

class TStarShip;
class TStarSystem;

// One of up to ten players; owns its star ships.
class TPlayer : public TQxObject {
public:
    explicit TPlayer(TQuorvexEngine* engine);
    ~TPlayer() override;
    static std::unique_ptr<TPlayer> CreateFromState(TQuorvexEngine* engine, std::string_view& text);

    bool Computer = false;
    int32_t Index = 0;
    std::vector<std::unique_ptr<TStarShip>> StarShips;
    std::vector<TStarSystem*> StarSystems;  // kept in step by TStarSystem::SetOwner
    std::string Name;
    TShipTypeSet ShipTypes;
    bool Clearing = false;
    double TechMultiple = 1.0;
    std::string BrainFile;
    bool Alive = true;
    bool BrainLoaded = false;
    TBrainData BrainData;  // name=value lines
    // Sets the first line whose name (the text before its first "=") is the
    // line's own name, or appends the line; false when it was there already.
    bool SetBrainDataLine(const std::string& line);
    std::array<int32_t, MaxPlayers> Alliance{};

    void WriteState(std::string& text) const override;
    void ReadState(std::string_view& text) override;

    // Takes the ship, makes this player its owner and announces it.
    TStarShip* AddStarShip(std::unique_ptr<TStarShip> ship);
    // Announces the ship's end (unless clearing) and frees it.
    void RemoveStarShip(TStarShip* ship);
    // Takes a ship out of the list without any event (hijack, conquest).
    std::unique_ptr<TStarShip> ExtractStarShip(TStarShip* ship);
    // Appends a ship taken from another player, without any event.
    void AdoptStarShip(std::unique_ptr<TStarShip> ship);
    void ClearStarShips();
    TStarShip* FindStarShip(std::string_view code) const;
    int StarShipCount() const { return static_cast<int>(StarShips.size()); }
    TStarShip* GetStarShip(int i) const { return StarShips.at(static_cast<size_t>(i)).get(); }

    TStarSystem* Capital() const;
    int StarSystemCount() const { return static_cast<int>(StarSystems.size()); }
    TStarSystem* OwnedStarSystem(int i) const { return StarSystems.at(static_cast<size_t>(i)); }
    double TotalResources() const;
    int32_t IsAllied(const TPlayer* other) const;
    int ColorIndex() const;
    // RGB of the palette entry (red in bits 0..7); white without a palette.
    uint32_t Color() const;

private:
    // The engine keeps an index of where ships stand; it must hear of this.
    void ListChanged();
    // The code index follows the list: a ship joined at the end, or left.
    void Joined(TStarShip* ship);
    void Left(TStarShip* ship);
    void IndexCodes() const;

    // FindStarShip looks codes up here: each code's first ship in list order.
    // The keys view the ships' own codes, which do not change while a ship is
    // in a list.
    struct TCodeHash {
        size_t operator()(std::string_view code) const {
            if (code.size() > 8) return std::hash<std::string_view>()(code);
            uint64_t bits = code.size();
            if (!code.empty())  // an empty view may have no storage at all
                std::memcpy(reinterpret_cast<char*>(&bits) + 1, code.data(), std::min<size_t>(code.size(), 7));
            if (code.size() == 8) bits ^= static_cast<uint64_t>(static_cast<unsigned char>(code[7])) << 56;
            return static_cast<size_t>((bits ^ (bits >> 29)) * 0x9E3779B97F4A7C15ull);
        }
    };
    mutable std::unordered_map<std::string_view, TStarShip*, TCodeHash> ByCode_;
    mutable bool ByCodeReady_ = false;
    mutable bool ByCodeShared_ = false;  // some code belongs to more than one ship
};

} // namespace qx
