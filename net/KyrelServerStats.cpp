#include "net/KyrelServerStats.h"

#include "base/FieldCodec.h"
#include "net/KyrelUser.h"

namespace qx {

namespace {

constexpr char kSeparator = '`';

int32_t ReadInt(std::string_view& text) {
    const std::string_view field = NextToken(text, kSeparator);
    int32_t value = 0;
    if (!TextToInt(field, value)) throw EKyrelError("'" + std::string(field) + "' is not a valid integer value");
    return value;
}

double ReadFloat(std::string_view& text) {
    const std::string_view field = NextToken(text, kSeparator);
    double value = 0;
    if (!TextToFloat(field, value))
        throw EKyrelError("'" + std::string(field) + "' is not a valid floating point value");
    return value;
}

void AddUnit(std::string& text, int64_t count, const char* unit, bool always) {
    if (count <= 0 && !always) return;
    text += std::to_string(count);
    text += ' ';
    text += unit;
    if (count != 1) text += 's';
}

} // namespace

std::string TKyrelServerStats::ToText() const {
    std::string text;
    for (int32_t value : {TimeActive, CurrentConnections, TotalConnections, CurrentSubjects, TotalSubjects,
                          PeakConnections}) {
        text += std::to_string(value);
        text += kSeparator;
    }
    text += FloatToText(BytesRead);
    text += kSeparator;
    text += FloatToText(BytesWritten);
    text += kSeparator;
    return text;
}

void TKyrelServerStats::FromText(std::string_view text) {
    TKyrelServerStats read;
    read.TimeActive = ReadInt(text);
    read.CurrentConnections = ReadInt(text);
    read.TotalConnections = ReadInt(text);
    read.CurrentSubjects = ReadInt(text);
    read.TotalSubjects = ReadInt(text);
    read.PeakConnections = ReadInt(text);
    read.BytesRead = ReadFloat(text);
    read.BytesWritten = ReadFloat(text);
    *this = read;
}

std::string TKyrelServerStats::TimeText(int64_t seconds) {
    if (seconds < 0) seconds = 0;
    std::string text;
    AddUnit(text, seconds / 86400, "day", false);
    if (!text.empty()) text += ' ';
    const size_t before = text.size();
    AddUnit(text, seconds % 86400 / 3600, "hr", false);
    if (text.size() != before) text += ' ';
    const size_t beforeMinutes = text.size();
    AddUnit(text, seconds % 3600 / 60, "min", false);
    if (text.size() != beforeMinutes) text += ' ';
    AddUnit(text, seconds % 60, "sec", true);
    return text;
}

} // namespace qx
