#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "script/Builtins.h"
#include "script/ScriptError.h"

namespace qx {

namespace {

[[noreturn]] void BadFormat(std::string_view piece) {
    throw ERTE("Format '" + std::string(piece) + "' invalid or incompatible with argument");
}

std::string Pad(std::string text, int width, bool left) {
    if (width > 0 && text.size() < static_cast<size_t>(width)) {
        const std::string fill(static_cast<size_t>(width) - text.size(), ' ');
        text = left ? text + fill : fill + text;
    }
    return text;
}

// At least Digits digits, the sign in front of the zeros.
std::string MinDigits(std::string digits, int minimum) {
    const bool negative = !digits.empty() && digits[0] == '-';
    if (negative) digits.erase(0, 1);
    if (minimum > 0 && digits.size() < static_cast<size_t>(minimum))
        digits.insert(0, static_cast<size_t>(minimum) - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

// "1.5E+03" -> "1.5E3" style (no plus, no leading zeros) or padded to three
// digits for the scientific picture.
std::string FixExponent(std::string text, bool threeDigits) {
    const size_t e = text.find('E');
    if (e == std::string::npos) return text;
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1);
    char sign = '+';
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
        sign = exponent[0];
        exponent.erase(0, 1);
    }
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    if (threeDigits) return mantissa + "E" + sign + MinDigits(exponent, 3);
    return mantissa + "E" + (sign == '-' ? "-" : "") + exponent;
}

std::string Printf(const char* format, int precision, double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, precision, value);
    return buffer;
}

std::string Thousands(const std::string& fixed) {
    const bool negative = !fixed.empty() && fixed[0] == '-';
    const size_t begin = negative ? 1 : 0;
    size_t end = fixed.find('.');
    if (end == std::string::npos) end = fixed.size();
    std::string out = negative ? "-" : "";
    for (size_t i = begin; i < end; ++i) {
        if (i > begin && (end - i) % 3 == 0) out += ',';
        out += fixed[i];
    }
    out.append(fixed, end, std::string::npos);
    return out;
}

bool IsNumber(const TValue& v) { return v.Kind() == TValueKind::Integer || v.Kind() == TValueKind::Float; }

std::string FormatSpecifier(std::string_view piece, char type, int precision, const TValue& value) {
    switch (type) {
    case 'D':
    case 'U':
    case 'X': {
        if (value.Kind() != TValueKind::Integer) BadFormat(piece);
        const int32_t v = value.AsInteger();
        if (type == 'D') return MinDigits(std::to_string(v), precision);
        if (type == 'U') return MinDigits(std::to_string(static_cast<uint32_t>(v)), precision);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(v));
        return MinDigits(buffer, precision);
    }
    case 'E':
    case 'F':
    case 'G':
    case 'N': {
        if (!IsNumber(value)) BadFormat(piece);
        const double v = value.ToFloat();
        if (!std::isfinite(v)) return std::isnan(v) ? "NAN" : (v < 0 ? "-INF" : "INF");
        if (type == 'E') {
            const int digits = precision < 0 ? 15 : std::max(1, std::min(precision, 18));
            return FixExponent(Printf("%.*E", digits - 1, v), true);
        }
        if (type == 'G') {
            const int digits = precision < 0 ? 15 : std::max(1, std::min(precision, 18));
            return FixExponent(Printf("%.*G", digits, v), false);
        }
        const int decimals = precision < 0 ? 2 : std::min(precision, 18);
        std::string fixed = std::fabs(v) < 1e300 ? Printf("%.*f", decimals, v) : Printf("%.*E", decimals, v);
        return type == 'N' ? Thousands(fixed) : fixed;
    }
    case 'S': {
        std::string text = value.ToText();
        if (precision >= 0 && text.size() > static_cast<size_t>(precision)) text.resize(static_cast<size_t>(precision));
        return text;
    }
    default: BadFormat(piece);
    }
}

int ReadNumber(std::string_view piece, size_t& i) {
    long value = 0;
    while (i < piece.size() && piece[i] >= '0' && piece[i] <= '9') {
        value = std::min(value * 10 + (piece[i] - '0'), 4096L);  // widths beyond this are a mistake
        ++i;
    }
    return static_cast<int>(value);
}

} // namespace

std::string FormatOne(std::string_view piece, const TValue& value) {
    std::string out;
    bool used = false;
    for (size_t i = 0; i < piece.size(); ++i) {
        const char c = piece[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 < piece.size() && piece[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        if (used) BadFormat(piece);
        used = true;
        ++i;
        bool left = false;
        if (i < piece.size() && piece[i] == '-') {
            left = true;
            ++i;
        }
        const int width = ReadNumber(piece, i);
        int precision = -1;
        if (i < piece.size() && piece[i] == '.') {
            ++i;
            precision = ReadNumber(piece, i);
        }
        if (i >= piece.size()) BadFormat(piece);
        const char type = static_cast<char>(piece[i] >= 'a' && piece[i] <= 'z' ? piece[i] - 32 : piece[i]);
        out += Pad(FormatSpecifier(piece, type, precision, value), width, left);
    }
    return out;
}

std::string FormatValues(std::string_view format, const TValue* values, size_t count) {
    if (count == 0) return {};
    // Where each specifier starts ("%%" is a literal percent sign).
    std::vector<size_t> starts;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
            continue;
        }
        starts.push_back(i);
    }
    // Value k formats the text from its specifier up to the next one; the
    // first also takes the text in front. Values without a specifier add
    // nothing, text after the last used specifier's piece is dropped.
    std::string result;
    const size_t n = format.size();
    for (size_t k = 0; k < count; ++k) {
        const size_t begin = k == 0 ? 0 : (k < starts.size() ? starts[k] : n);
        const size_t end = k + 1 < starts.size() ? starts[k + 1] : n;
        if (begin >= end) continue;
        result += FormatOne(format.substr(begin, end - begin), values[k]);
    }
    return result;
}

namespace {

struct TCivil {
    int year, month, day, dayOfWeek;  // dayOfWeek 0 = Sunday
    int hour, minute, second, millisecond;
};

TCivil Decode(double dateTime) {
    if (!(dateTime >= -693593.0 && dateTime < 2958466.0)) throw ERTE("Invalid date and time value");
    const double dayPart = std::trunc(dateTime);
    const auto days = static_cast<int64_t>(dayPart);
    int64_t ms = std::llround(std::fabs(dateTime - dayPart) * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    // Days since 1970-01-01, then the civil date (proleptic Gregorian).
    int64_t z = days - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    TCivil c{};
    c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    c.year = static_cast<int>(yoe + era * 400 + (c.month <= 2 ? 1 : 0));
    c.dayOfWeek = static_cast<int>(((days - 1) % 7 + 7) % 7);  // 1899-12-30 was a Saturday
    c.hour = static_cast<int>(ms / 3600000);
    c.minute = static_cast<int>(ms / 60000 % 60);
    c.second = static_cast<int>(ms / 1000 % 60);
    c.millisecond = static_cast<int>(ms % 1000);
    return c;
}

const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

std::string Two(int v) { return MinDigits(std::to_string(v), 2); }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = text[at + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != word[i]) return false;
    }
    return true;
}

class TDateFormatter {
public:
    TDateFormatter(std::string_view picture, const TCivil& c) : picture_(picture), c_(c) {
        for (size_t i = 0; i < picture.size(); ++i)
            if (StartsWithNoCase(picture, i, "am/pm") || StartsWithNoCase(picture, i, "a/p") ||
                StartsWithNoCase(picture, i, "ampm"))
                twelveHour_ = true;
    }

    std::string Run(int depth = 0) {
        std::string out;
        size_t i = 0;
        const std::string_view p = picture_;
        while (i < p.size()) {
            const char c = static_cast<char>(p[i] >= 'A' && p[i] <= 'Z' ? p[i] + 32 : p[i]);
            size_t run = 1;
            while (i + run < p.size() && (p[i + run] | 0x20) == c && c >= 'a' && c <= 'z') ++run;
            if (c == '\'' || c == '"') {
                const size_t close = p.find(p[i], i + 1);
                const size_t stop = close == std::string_view::npos ? p.size() : close;
                out.append(p.substr(i + 1, stop - i - 1));
                i = close == std::string_view::npos ? p.size() : close + 1;
                continue;
            }
            if (StartsWithNoCase(p, i, "am/pm")) {
                out += c_.hour < 12 ? "am" : "pm";
                i += 5;
                continue;
            }
            if (StartsWithNoCase(p, i, "a/p")) {
                out += c_.hour < 12 ? "a" : "p";
                i += 3;
                continue;
            }
            if (StartsWithNoCase(p, i, "ampm")) {
                out += c_.hour < 12 ? "AM" : "PM";
                i += 4;
                continue;
            }
            bool hourToken = false;
            switch (c) {
            case 'c':
                out += Nested("yyyy-mm-dd", depth);
                if (c_.hour || c_.minute || c_.second || c_.millisecond) {
                    out += ' ';
                    out += Nested("hh:nn:ss", depth);
                }
                run = 1;
                break;
            case 'd':
                if (run == 1) out += std::to_string(c_.day);
                else if (run == 2) out += Two(c_.day);
                else if (run == 3) out += kShortDays[c_.dayOfWeek];
                else if (run == 4) out += kLongDays[c_.dayOfWeek];
                else if (run == 5) out += Nested("yyyy-mm-dd", depth);
                else out += Nested("dddd, d mmmm yyyy", depth), run = 6;
                break;
            case 'm':
                if (afterHour_ && run <= 2) {
                    out += run == 1 ? std::to_string(c_.minute) : Two(c_.minute);
                } else if (run == 1) out += std::to_string(c_.month);
                else if (run == 2) out += Two(c_.month);
                else if (run == 3) out += kShortMonths[c_.month - 1];
                else out += kLongMonths[c_.month - 1], run = 4;
                break;
            case 'y':
                out += run <= 2 ? Two(c_.year % 100) : MinDigits(std::to_string(c_.year), 4);
                break;
            case 'h': {
                int hour = c_.hour;
                if (twelveHour_) hour = hour % 12 == 0 ? 12 : hour % 12;
                out += run == 1 ? std::to_string(hour) : Two(hour);
                run = std::min<size_t>(run, 2);
                hourToken = true;
                break;
            }
            case 'n':
                out += run == 1 ? std::to_string(c_.minute) : Two(c_.minute);
                run = std::min<size_t>(run, 2);
                break;
            case 's':
                out += run == 1 ? std::to_string(c_.second) : Two(c_.second);
                run = std::min<size_t>(run, 2);
                break;
            case 'z':
                out += run >= 3 ? MinDigits(std::to_string(c_.millisecond), 3) : std::to_string(c_.millisecond);
                run = std::min<size_t>(run, 3);
                break;
            case 't':
                out += Nested(run == 1 ? "hh:nn" : "hh:nn:ss", depth);
                run = std::min<size_t>(run, 2);
                break;
            default:
                out += p[i];
                i += 1;
                continue;
            }
            if (c >= 'a' && c <= 'z') afterHour_ = hourToken;
            i += run;
        }
        return out;
    }

private:
    std::string Nested(std::string_view picture, int depth) {
        if (depth > 2) return {};
        TDateFormatter inner(picture, c_);
        return inner.Run(depth + 1);
    }

    std::string_view picture_;
    TCivil c_;
    bool twelveHour_ = false;
    bool afterHour_ = false;
};

} // namespace

std::string FormatDateTime(std::string_view picture, double dateTime) {
    const TCivil civil = Decode(dateTime);
    if (picture.empty()) picture = "c";
    TDateFormatter formatter(picture, civil);
    return formatter.Run();
}

double NowAsDateTime() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    // Days from 1899-12-30 to the local calendar date, plus the time of day.
    const int64_t y = local.tm_year + 1900, m = local.tm_mon + 1, d = local.tm_mday;
    const int64_t yy = y - (m <= 2 ? 1 : 0);
    const int64_t era = (yy >= 0 ? yy : yy - 399) / 400;
    const int64_t yoe = yy - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t daysSince1970 = era * 146097 + doe - 719468;
    const double time = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0) / 86400.0;
    return static_cast<double>(daysSince1970 + 25569) + time;
}

} // namespace qx
