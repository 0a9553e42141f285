#include "net/KyrelUser.h"

#include <cmath>

#include "base/FieldCodec.h"

namespace qx {

namespace {

constexpr char kFieldEnd = '^';
constexpr char kItemEnd = '`';

// Days from 1970-01-01 to a civil date, and back (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// 30 December 1899 counted from 1 January 1970.
const int64_t kDateBase = DaysFromCivil(1899, 12, 30);

bool IsLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int64_t y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

bool ReadDigits(std::string_view text, size_t minDigits, size_t maxDigits, int& value) {
    if (text.size() < minDigits || text.size() > maxDigits) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

std::string Pad(int value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width - static_cast<int>(text.size())), '0');
    return text;
}

int32_t ReadInt(std::string_view field, const char* what) {
    int32_t value = 0;
    if (!TextToInt(field, value))
        throw EKyrelError("'" + std::string(field) + "' is not a valid " + what);
    return value;
}

// The glyph field: width, height, then the colours column by column. Any
// fault leaves the glyph empty.
TKyrelGlyph ReadGlyph(std::string_view text) {
    TKyrelGlyph glyph;
    int32_t width = 0, height = 0;
    if (!TextToInt(NextToken(text, kItemEnd), width) || !TextToInt(NextToken(text, kItemEnd), height)) return {};
    if (width < 0 || height < 0 || width > TKyrelGlyph::MaxSize || height > TKyrelGlyph::MaxSize) return {};
    if (width == 0 || height == 0) return {};
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    glyph.Colors.reserve(count);
    while (!text.empty()) {
        int32_t color = 0;
        if (glyph.Colors.size() == count || !TextToInt(NextToken(text, kItemEnd), color)) return {};
        glyph.Colors.push_back(color);
    }
    if (glyph.Colors.size() != count) return {};
    glyph.Width = width;
    glyph.Height = height;
    return glyph;
}

} // namespace

double KyrelDate(int year, int month, int day) {
    return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kDateBase);
}

std::string KyrelDateToText(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6) days = 0;  // beyond year 9999: no date
    int64_t y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(static_cast<int64_t>(std::floor(days)) + kDateBase, y, m, d);
    return Pad(static_cast<int>(m), 2) + "/" + Pad(static_cast<int>(d), 2) + "/" + Pad(static_cast<int>(y), 4);
}

double KyrelTextToDate(std::string_view text) {
    std::string_view rest = text;
    const std::string_view month = NextToken(rest, '/');
    const std::string_view day = NextToken(rest, '/');
    int m = 0, d = 0, y = 0;
    if (!ReadDigits(month, 1, 2, m) || !ReadDigits(day, 1, 2, d) || !ReadDigits(rest, 4, 4, y) || y < 1 || m < 1 ||
        m > 12 || d < 1 || d > DaysInMonth(y, m))
        throw EKyrelError("'" + std::string(text) + "' is not a valid date");
    return KyrelDate(y, m, d);
}

std::string TKyrelUser::InfoValue(std::string_view name) const {
    for (const std::string& line : Info) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos && std::string_view(line).substr(0, eq) == name) return line.substr(eq + 1);
    }
    return {};
}

std::string TKyrelUser::InfoName(int i) const {
    const std::string& line = Info.at(static_cast<size_t>(i));
    return line.substr(0, line.find('='));
}

std::string TKyrelUser::InfoText(int i) const {
    const std::string& line = Info.at(static_cast<size_t>(i));
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

void TKyrelUser::SetInfoValue(const std::string& name, const std::string& value) {
    for (std::string& line : Info) {
        if (line.compare(0, name.size(), name) == 0 && line.size() > name.size() && line[name.size()] == '=') {
            line = name + "=" + value;
            return;
        }
    }
    Info.push_back(name + "=" + value);
}

void TKyrelUser::AddLatency(int32_t ms) {
    for (size_t i = 0; i + 1 < Latency.size(); ++i) Latency[i] = Latency[i + 1];
    Latency.back() = ms;
}

int32_t TKyrelUser::AverageLatency() const {
    int64_t sum = 0;
    int64_t count = 0;
    for (int32_t ms : Latency) {
        if (ms > 0) {
            sum += ms;
            ++count;
        }
    }
    return count == 0 ? 0 : static_cast<int32_t>(sum / count);
}

std::string TKyrelUser::ToText() const {
    std::string text;
    for (const std::string* field : {&UserId, &Password, &FirstName, &LastName, &City, &Country, &EMail, &HomePage,
                                     &Comments}) {
        text += *field;
        text += kFieldEnd;
    }
    text += KyrelDateToText(ServerDate1);
    text += kFieldEnd;
    text += KyrelDateToText(ServerDate2);
    text += kFieldEnd;
    text += std::to_string(ServerNumber);
    text += kFieldEnd;
    for (const std::string& line : Info) {
        text += line;
        text += kItemEnd;
    }
    text += kFieldEnd;
    text += std::to_string(Glyph.Width);
    text += kItemEnd;
    text += std::to_string(Glyph.Height);
    text += kItemEnd;
    for (int32_t color : Glyph.Colors) {
        text += std::to_string(color);
        text += kItemEnd;
    }
    text += kFieldEnd;
    return text;
}

void TKyrelUser::FromText(std::string_view text) {
    // Read into a scratch record first, so a bad field changes nothing.
    TKyrelUser read;
    for (std::string* field : {&read.UserId, &read.Password, &read.FirstName, &read.LastName, &read.City,
                               &read.Country, &read.EMail, &read.HomePage, &read.Comments})
        *field = std::string(NextToken(text, kFieldEnd));
    read.ServerDate1 = KyrelTextToDate(NextToken(text, kFieldEnd));
    read.ServerDate2 = KyrelTextToDate(NextToken(text, kFieldEnd));
    read.ServerNumber = ReadInt(NextToken(text, kFieldEnd), "server number");
    std::string_view info = NextToken(text, kFieldEnd);
    while (!info.empty()) read.Info.emplace_back(NextToken(info, kItemEnd));
    read.Glyph = ReadGlyph(NextToken(text, kFieldEnd));

    UserId = std::move(read.UserId);
    Password = std::move(read.Password);
    FirstName = std::move(read.FirstName);
    LastName = std::move(read.LastName);
    City = std::move(read.City);
    Country = std::move(read.Country);
    EMail = std::move(read.EMail);
    HomePage = std::move(read.HomePage);
    Comments = std::move(read.Comments);
    ServerDate1 = read.ServerDate1;
    ServerDate2 = read.ServerDate2;
    ServerNumber = read.ServerNumber;
    Info = std::move(read.Info);
    Glyph = std::move(read.Glyph);
}

TKyrelUser TKyrelUser::Parse(std::string_view text) {
    TKyrelUser user;
    user.FromText(text);
    return user;
}

bool TKyrelUser::IsSafeField(std::string_view text) {
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 || b == 127 || c == '|' || c == '^' || c == '`') return false;
    }
    return true;
}

bool TKyrelUser::IsValidUserId(std::string_view id) {
    // A user id becomes a player's name in the game state and a name in the
    // game history, so it also keeps clear of those texts' separators.
    return !id.empty() && id.size() <= 24 && IsSafeField(id) &&
           id.find_first_of("=~;:%,\\") == std::string_view::npos && id.front() != ' ' && id.back() != ' ';
}

bool TKyrelUser::IsSafeRecord(std::string* why) const {
    auto fail = [why](const std::string& message) {
        if (why) *why = message;
        return false;
    };
    if (!IsValidUserId(UserId)) return fail("The User ID must be 1 to 24 characters without separators");
    const std::pair<const std::string*, size_t> fields[] = {{&Password, 64},  {&FirstName, 24}, {&LastName, 24},
                                                            {&City, 24},      {&Country, 24},   {&EMail, 48},
                                                            {&HomePage, 48},  {&Comments, 200}};
    for (const auto& [field, limit] : fields) {
        if (!IsSafeField(*field)) return fail("User fields cannot contain separators or control characters");
        if (field->size() > limit) return fail("A user field is longer than " + std::to_string(limit) + " characters");
    }
    for (const std::string& line : Info)
        if (!IsSafeField(line)) return fail("User properties cannot contain separators or control characters");
    return true;
}

} // namespace qx
