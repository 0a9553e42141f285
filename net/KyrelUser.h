#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/Object.h"

namespace qx {

// A lobby text that cannot be read (a malformed number or date in a server
// message, a user record that is not one).
class EKyrelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A user's picture: at most 32 x 32 pixels, colours kept column by column as
// they travel (x outer, y inner). An empty glyph is 0 x 0.
struct TKyrelGlyph {
    static constexpr int32_t MaxSize = 32;

    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<int32_t> Colors;  // Width * Height entries, column-major

    bool Empty() const { return Width == 0 || Height == 0; }
    int32_t Pixel(int32_t x, int32_t y) const { return Colors.at(static_cast<size_t>(x * Height + y)); }
    void Clear() { Width = Height = 0; Colors.clear(); }
    bool operator==(const TKyrelGlyph&) const = default;
};

// The lobby's record of one user. The impulse clock reads only UserId; the
// lobby client and server exchange the whole record in its text form:
// twelve fields each followed by "^", then the Info lines each followed by
// a grave accent, "^", then the glyph (width, height and the colours column
// by column, each followed by a grave accent) and a last "^".
class TKyrelUser : public TObject {
public:
    static constexpr int LatencyHistory = 5;

    TKyrelUser() = default;
    explicit TKyrelUser(std::string userId) : UserId(std::move(userId)) {}

    std::string UserId;
    std::string LastName;
    std::string City;
    std::string Country;
    std::string Password;
    std::string FirstName;
    std::string EMail;
    std::vector<std::string> Info;  // name=value lines the server assigns
    std::string Comments;
    std::string HomePage;
    TKyrelGlyph Glyph;
    std::array<int32_t, LatencyHistory> Latency{};  // milliseconds, oldest first; 0 = no value
    int32_t ServerNumber = 0;
    double ServerDate2 = 0;  // days since 30 December 1899
    double ServerDate1 = 0;

    // Info lines.
    std::string InfoValue(std::string_view name) const;
    int InfoCount() const { return static_cast<int>(Info.size()); }
    std::string InfoName(int i) const;
    std::string InfoText(int i) const;
    // Sets (or adds) the line name=value.
    void SetInfoValue(const std::string& name, const std::string& value);

    // Latencies as the server reports them.
    void AddLatency(int32_t ms);
    // Integer mean of the values above 0; 0 when there is none.
    int32_t AverageLatency() const;

    std::string ToText() const;
    // Reads every field in order. A glyph that cannot be read (bad numbers,
    // larger than 32 x 32, a colour count that does not match) is left empty
    // and the rest stands; a malformed date or number throws EKyrelError and
    // leaves this record unchanged.
    void FromText(std::string_view text);
    static TKyrelUser Parse(std::string_view text);

    // A field that may travel in a record or a lobby line: no separator of
    // the lobby texts ("|", "^", the grave accent) and no control character.
    static bool IsSafeField(std::string_view text);
    // Every text field of the record is safe and the user id is a usable
    // name (1 to 24 characters, no "=", not starting or ending with a blank).
    bool IsSafeRecord(std::string* why = nullptr) const;
    static bool IsValidUserId(std::string_view id);
};

// Dates in the lobby texts: "mm/dd/yyyy", whatever the machine's settings.
std::string KyrelDateToText(double days);
// Throws EKyrelError when the text is not such a date.
double KyrelTextToDate(std::string_view text);
// The date of a civil day (year, month 1..12, day 1..31) as days since 30
// December 1899.
double KyrelDate(int year, int month, int day);

} // namespace qx
