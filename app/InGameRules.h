#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/QxObject.h"
#include "engine/ShipTypes.h"

namespace qx {

class TStarShip;
class TStarSystem;

// What the in-game windows show and send, without any widget: the rows of
// the two lists and their orderings, the chat messages between players, and
// the alliance buttons.

// One row of the StarShips list. The ship is named by its code, so a row
// never points at a ship that has already been freed.
struct TShipRow {
    std::string Code;
    TShipType Type = TShipType::WarShip;
    int32_t Value = 0;
    int32_t MaxValue = 0;
    int32_t Engines = 0;
    int32_t MaxEngines = 0;
    int32_t X = 0;
    int32_t Y = 0;

    static TShipRow Of(const TStarShip& ship);
    std::string TypeText() const;
    // The extra attribute's letter and the value ("W12", "W7/12" when
    // damaged); empty for a type without an extra attribute.
    std::string ValueText() const;
    // "8", or "5/8" when damaged.
    std::string EnginesText() const;
    bool operator==(const TShipRow&) const = default;
};

// One row of the Star Systems list; the system is named by its index.
struct TSystemRow {
    int32_t Index = 0;
    std::string Name;
    int32_t Value = 0;
    double Resources = 0;
    int32_t Shields = 0;
    int32_t Scanners = 0;
    int32_t X = 0;
    int32_t Y = 0;

    static TSystemRow Of(const TStarSystem& system);
    // The resources as shown: truncated toward zero.
    int64_t ShownResources() const;
    bool operator==(const TSystemRow&) const = default;
};

// Resources truncated to a whole number; what cannot be one (not a number,
// beyond the range of 64 bits) gives 0 or the nearest end of the range.
int64_t TruncateResources(double resources);

enum class TShipColumn { Type, Code, Value, Engines };
enum class TSystemColumn { Name, Value, Resources, Shields, Scanners };
constexpr int ShipColumnCount = 4;
constexpr int SystemColumnCount = 5;
const char* ShipColumnCaption(TShipColumn column);
const char* SystemColumnCaption(TSystemColumn column);

// Strict orderings for sorting by a column header: names ascending (type
// names and system names ignoring case, codes with case), numbers
// descending. Resources compare as shown, so 10.2 and 10.9 rank alike.
// Rows the column ranks alike fall back to further keys (name, code,
// index), so no two different rows are ever "equal" and every sort gives
// the same order.
bool ShipRowBefore(const TShipRow& a, const TShipRow& b, TShipColumn column);
bool SystemRowBefore(const TSystemRow& a, const TSystemRow& b, TSystemColumn column);
void SortShipRows(std::vector<TShipRow>& rows, TShipColumn column);
void SortSystemRows(std::vector<TSystemRow>& rows, TSystemColumn column);

// Chat between the players of a game: "GAMECHAT:" followed by one "1:" or
// "0:" per player in player order (1: addressed to that player), then the
// text.
class TGameChat {
public:
    static constexpr std::string_view Prefix = "GAMECHAT:";

    // The message for the players whose flags are set; the first
    // `playerCount` flags are written.
    static std::string Compose(const std::array<bool, MaxPlayers>& addressed, int playerCount, std::string_view text);

    struct TMessage {
        std::array<bool, MaxPlayers> Addressed{};
        std::string Text;
    };
    // Reads a received message of a game with `playerCount` players. None
    // when it is no chat message or is malformed: too few flags, a flag
    // other than "0" or "1", or a player count outside 1..10. Control
    // characters are taken out of the text.
    static std::optional<TMessage> Parse(std::string_view data, int playerCount);

    // The text a player typed, as it may travel: control characters removed,
    // blanks at both ends trimmed.
    static std::string CleanText(std::string_view text);
};

struct TAlliancePress;

// The two alliance buttons of one player: "Non-Aggression" (level 1) and
// "Intelligence" (level 2, which includes non-aggression).
struct TAllianceButtons {
    bool NonAggression = false;
    bool Intelligence = false;

    static TAllianceButtons ForLevel(int32_t level);
    int32_t Level() const { return Intelligence ? 2 : NonAggression ? 1 : 0; }

    // The buttons after one of them was pressed (which toggles it), and the
    // level to send.
    TAlliancePress PressNonAggression() const;
    TAlliancePress PressIntelligence() const;
    bool operator==(const TAllianceButtons&) const = default;
};

struct TAlliancePress {
    TAllianceButtons Buttons;
    int32_t Level = 0;
};

// The alliance order: "23:" + level + ":" + the other player's number.
std::string AllianceOrder(int32_t level, int32_t playerIndex);

} // namespace qx
