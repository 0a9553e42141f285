#include "app/InGameRules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/FieldCodec.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"

namespace qx {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// -1, 0 or 1 as a is before, alike or after b, ignoring ASCII case.
int CompareNoCase(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(Lower(a[i]));
        const auto cb = static_cast<unsigned char>(Lower(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

int CompareText(std::string_view a, std::string_view b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Larger first.
template <typename T>
int CompareDescending(T a, T b) {
    return a > b ? -1 : a < b ? 1 : 0;
}

std::string Damaged(int32_t now, int32_t max) {
    return now < max ? IntToText(now) + "/" + IntToText(max) : IntToText(now);
}

bool IsControl(unsigned char c) { return c < 32 || c == 127; }

} // namespace

TShipRow TShipRow::Of(const TStarShip& ship) {
    TShipRow row;
    row.Code = ship.Code;
    row.Type = ship.ShipType;
    row.Value = ship.Value;
    row.MaxValue = ship.MaxValue;
    row.Engines = ship.Engines;
    row.MaxEngines = ship.MaxEngines;
    row.X = ship.X;
    row.Y = ship.Y;
    return row;
}

std::string TShipRow::TypeText() const { return ShipTypeName(Type); }

std::string TShipRow::ValueText() const {
    const char letter = ShipTypeInfo(Type).Letter;
    if (letter == '\0') return {};
    return std::string(1, letter) + Damaged(Value, MaxValue);
}

std::string TShipRow::EnginesText() const { return Damaged(Engines, MaxEngines); }

TSystemRow TSystemRow::Of(const TStarSystem& system) {
    TSystemRow row;
    row.Index = system.Index;
    row.Name = system.Name;
    row.Value = system.Value;
    row.Resources = system.Resources;
    row.Shields = system.Shields;
    row.Scanners = system.Scanners;
    row.X = system.X;
    row.Y = system.Y;
    return row;
}

int64_t TSystemRow::ShownResources() const { return TruncateResources(Resources); }

int64_t TruncateResources(double resources) {
    if (std::isnan(resources)) return 0;
    // 2^63 is exactly representable; anything at or beyond it would not fit.
    constexpr double limit = 9223372036854775808.0;
    if (resources >= limit) return std::numeric_limits<int64_t>::max();
    if (resources <= -limit) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(resources);
}

const char* ShipColumnCaption(TShipColumn column) {
    switch (column) {
    case TShipColumn::Type: return "Type";
    case TShipColumn::Code: return "Code";
    case TShipColumn::Value: return "Value";
    case TShipColumn::Engines: return "Engines";
    }
    return "";
}

const char* SystemColumnCaption(TSystemColumn column) {
    switch (column) {
    case TSystemColumn::Name: return "Name";
    case TSystemColumn::Value: return "Value";
    case TSystemColumn::Resources: return "Resources";
    case TSystemColumn::Shields: return "Shields";
    case TSystemColumn::Scanners: return "Scanners";
    }
    return "";
}

bool ShipRowBefore(const TShipRow& a, const TShipRow& b, TShipColumn column) {
    int order = 0;
    switch (column) {
    case TShipColumn::Type: order = CompareNoCase(a.TypeText(), b.TypeText()); break;
    case TShipColumn::Code: break;
    case TShipColumn::Value: order = CompareDescending(a.Value, b.Value); break;
    case TShipColumn::Engines: order = CompareDescending(a.Engines, b.Engines); break;
    }
    // Codes are unique within a game; rows alike in the column keep the order
    // of their codes.
    if (order == 0) order = CompareText(a.Code, b.Code);
    return order < 0;
}

bool SystemRowBefore(const TSystemRow& a, const TSystemRow& b, TSystemColumn column) {
    int order = 0;
    switch (column) {
    case TSystemColumn::Name: break;
    case TSystemColumn::Value: order = CompareDescending(a.Value, b.Value); break;
    case TSystemColumn::Resources: order = CompareDescending(a.ShownResources(), b.ShownResources()); break;
    case TSystemColumn::Shields: order = CompareDescending(a.Shields, b.Shields); break;
    case TSystemColumn::Scanners: order = CompareDescending(a.Scanners, b.Scanners); break;
    }
    if (order == 0) order = CompareNoCase(a.Name, b.Name);
    if (order == 0) order = CompareText(a.Name, b.Name);
    if (order == 0) order = a.Index < b.Index ? -1 : a.Index > b.Index ? 1 : 0;
    return order < 0;
}

void SortShipRows(std::vector<TShipRow>& rows, TShipColumn column) {
    std::sort(rows.begin(), rows.end(),
              [column](const TShipRow& a, const TShipRow& b) { return ShipRowBefore(a, b, column); });
}

void SortSystemRows(std::vector<TSystemRow>& rows, TSystemColumn column) {
    std::sort(rows.begin(), rows.end(),
              [column](const TSystemRow& a, const TSystemRow& b) { return SystemRowBefore(a, b, column); });
}

std::string TGameChat::Compose(const std::array<bool, MaxPlayers>& addressed, int playerCount,
                               std::string_view text) {
    std::string message(Prefix);
    const int count = std::clamp(playerCount, 0, MaxPlayers);
    for (int i = 0; i < count; ++i) message += addressed[static_cast<size_t>(i)] ? "1:" : "0:";
    message += text;
    return message;
}

std::optional<TGameChat::TMessage> TGameChat::Parse(std::string_view data, int playerCount) {
    if (playerCount < 1 || playerCount > MaxPlayers) return std::nullopt;
    if (data.substr(0, Prefix.size()) != Prefix) return std::nullopt;
    std::string_view rest = data.substr(Prefix.size());
    TMessage message;
    for (int i = 0; i < playerCount; ++i) {
        if (rest.size() < 2 || rest[1] != ':' || (rest[0] != '0' && rest[0] != '1')) return std::nullopt;
        message.Addressed[static_cast<size_t>(i)] = rest[0] == '1';
        rest.remove_prefix(2);
    }
    for (char c : rest)
        if (!IsControl(static_cast<unsigned char>(c))) message.Text += c;
    return message;
}

std::string TGameChat::CleanText(std::string_view text) {
    std::string clean;
    for (char c : text)
        if (!IsControl(static_cast<unsigned char>(c))) clean += c;
    const size_t first = clean.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const size_t last = clean.find_last_not_of(' ');
    return clean.substr(first, last - first + 1);
}

TAllianceButtons TAllianceButtons::ForLevel(int32_t level) {
    TAllianceButtons buttons;
    buttons.NonAggression = level >= 1;
    buttons.Intelligence = level >= 2;
    return buttons;
}

TAlliancePress TAllianceButtons::PressNonAggression() const {
    TAlliancePress press;
    press.Buttons = *this;
    press.Buttons.NonAggression = !NonAggression;
    if (press.Buttons.NonAggression) {
        press.Level = 1;
    } else {
        // No sharing of sight with a player one would attack.
        press.Buttons.Intelligence = false;
        press.Level = 0;
    }
    return press;
}

TAlliancePress TAllianceButtons::PressIntelligence() const {
    TAlliancePress press;
    press.Buttons = *this;
    press.Buttons.Intelligence = !Intelligence;
    if (press.Buttons.Intelligence) {
        press.Buttons.NonAggression = true;
        press.Level = 2;
    } else {
        press.Level = 1;
    }
    return press;
}

std::string AllianceOrder(int32_t level, int32_t playerIndex) {
    return std::to_string(static_cast<int>(ordAlliance)) + ":" + IntToText(level) + ":" + IntToText(playerIndex);
}

} // namespace qx
