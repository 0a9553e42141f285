#include "FieldCodec.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace qx {

namespace {

// Significant digits of the general form; beyond them the text keeps only as
// many digits as are needed to read the same double back.
constexpr int kGeneralPrecision = 15;

std::string FormatDigits(bool negative, const std::string& digits, int exponent) {
    std::string out;
    if (negative) out += '-';
    if (exponent < -4 || exponent >= kGeneralPrecision) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1, std::string::npos);
        }
        out += 'E';
        out += std::to_string(exponent);
        return out;
    }
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    const size_t intDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
        out += digits;
        out.append(intDigits - digits.size(), '0');
    } else {
        out.append(digits, 0, intDigits);
        out += '.';
        out.append(digits, intDigits, std::string::npos);
    }
    return out;
}

} // namespace

std::string FloatToText(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    // Shortest round-trip digits in scientific form: [-]d[.ddd]e[+-]xx
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    const size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (c != '.') digits += c;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int exponent = 0;
    std::string_view expText = text.substr(e + 1);
    if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    return FormatDigits(negative, digits, exponent);
}

bool TextToFloat(std::string_view text, double& value) {
    if (text.empty()) return false;
    if (text == "NAN") { value = std::numeric_limits<double>::quiet_NaN(); return true; }
    if (text == "INF") { value = std::numeric_limits<double>::infinity(); return true; }
    if (text == "-INF") { value = -std::numeric_limits<double>::infinity(); return true; }
    if (text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const char c = text.front() == '-' && text.size() > 1 ? text[1] : text.front();
    if (!(c >= '0' && c <= '9') && c != '.') return false; // no "inf"/"nan" spellings
    double parsed = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed,
                                  std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

bool TextToInt(std::string_view text, int32_t& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    int32_t parsed = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed, 10);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

int32_t TextToIntDef(std::string_view text, int32_t fallback) {
    int32_t value = 0;
    return TextToInt(text, value) ? value : fallback;
}

std::string IntToText(int64_t value) { return std::to_string(value); }

void TokenValue::AppendTo(std::string& out) const {
    switch (kind_) {
    case Kind::Int:
    case Kind::Bool: out += std::to_string(int_); break;
    case Kind::Float: out += FloatToText(float_); break;
    case Kind::Text: out += text_; break;
    case Kind::Illegal: throw ECodecError("Illegal Type passed to tokenize function");
    }
}

void Tokenize(std::initializer_list<TokenValue> values, char separator, std::string& result) {
    result.clear();
    for (const TokenValue& value : values) {
        value.AppendTo(result);
        result += separator;
    }
}

std::string Tokenize(std::initializer_list<TokenValue> values, char separator) {
    std::string result;
    Tokenize(values, separator, result);
    return result;
}

std::string_view NextToken(std::string_view& text, char separator) {
    const size_t at = text.find(separator);
    std::string_view field;
    if (at == std::string_view::npos) {
        field = text;
        text = {};
    } else {
        field = text.substr(0, at);
        text.remove_prefix(at + 1);
    }
    return field;
}

std::string NextToken(std::string& text, char separator) {
    const size_t at = text.find(separator);
    std::string field;
    if (at == std::string::npos) {
        field.swap(text);
    } else {
        field = text.substr(0, at);
        text.erase(0, at + 1);
    }
    return field;
}

int32_t NextInt(std::string_view& text, char separator) { return TextToIntDef(NextToken(text, separator)); }
int32_t NextInt(std::string& text, char separator) { return TextToIntDef(NextToken(text, separator)); }
bool NextBool(std::string_view& text, char separator) { return NextToken(text, separator) == "1"; }
bool NextBool(std::string& text, char separator) { return NextToken(text, separator) == "1"; }

double NextFloat(std::string_view& text, char separator) {
    const std::string_view field = NextToken(text, separator);
    double value = 0;
    if (!TextToFloat(field, value))
        throw ECodecError("'" + std::string(field) + "' is not a valid floating point value");
    return value;
}

double NextFloat(std::string& text, char separator) {
    std::string_view view(text);
    const double value = NextFloat(view, separator);
    text.erase(0, text.size() - view.size());
    return value;
}

std::string JoinStrings(const std::vector<std::string>& lines, char separator) {
    std::string result;
    for (const std::string& line : lines) {
        result += line;
        result += separator;
    }
    return result;
}

} // namespace qx
