#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// Every text format of the game is a list of fields, each followed by a
// one-character separator. These routines build and take apart such lists.

class ECodecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Real numbers: the shortest text that reads back to the same double. For
// values that need at most 15 significant digits this is exactly the general
// 15-digit form ("12.25", "4", "1E-5", "1.5E20"), so replicas and saved games
// never drift.
std::string FloatToText(double value);
// Reads a real number written by FloatToText (or any plain decimal form);
// false when the whole text is not one.
bool TextToFloat(std::string_view text, double& value);
// Decimal 32-bit integer with optional sign; false when the whole text is not
// one or it does not fit.
bool TextToInt(std::string_view text, int32_t& value);
// Decimal integer, 0 when the text is not one.
int32_t TextToIntDef(std::string_view text, int32_t fallback = 0);
std::string IntToText(int64_t value);

// One value of a field list. Only the kinds a field can hold are accepted;
// a pointer (of any kind but a C string) is refused when the list is built.
class TokenValue {
public:
    TokenValue(int v) : kind_(Kind::Int), int_(v) {}
    TokenValue(long v) : kind_(Kind::Int), int_(v) {}
    TokenValue(long long v) : kind_(Kind::Int), int_(v) {}
    TokenValue(unsigned v) : kind_(Kind::Int), int_(v) {}
    TokenValue(bool v) : kind_(Kind::Bool), int_(v ? 1 : 0) {}
    TokenValue(char v) : kind_(Kind::Text), text_(1, v) {}
    TokenValue(double v) : kind_(Kind::Float), float_(v) {}
    TokenValue(float v) : kind_(Kind::Float), float_(v) {}
    TokenValue(const char* v) : kind_(Kind::Text), text_(v ? v : "") {}
    TokenValue(std::string_view v) : kind_(Kind::Text), text_(v) {}
    TokenValue(const std::string& v) : kind_(Kind::Text), text_(v) {}
    TokenValue(const void*) : kind_(Kind::Illegal) {}

    void AppendTo(std::string& out) const;

private:
    enum class Kind { Int, Bool, Float, Text, Illegal };
    Kind kind_;
    int64_t int_ = 0;
    double float_ = 0;
    std::string text_;
};

// Clears Result, then appends each value followed by Separator:
// Tokenize({24, "x"}, ':') gives "24:x:".
void Tokenize(std::initializer_list<TokenValue> values, char separator, std::string& result);
std::string Tokenize(std::initializer_list<TokenValue> values, char separator);

// Takes the first field off the front of Text: everything before the first
// Separator (and the separator itself), or the whole text when there is none.
// Text is a view that moves forward, so walking a long text stays linear.
std::string_view NextToken(std::string_view& text, char separator);
// Same, on a string that keeps the rest after the field.
std::string NextToken(std::string& text, char separator);

int32_t NextInt(std::string_view& text, char separator);
int32_t NextInt(std::string& text, char separator);
bool NextBool(std::string_view& text, char separator);
bool NextBool(std::string& text, char separator);
// Throws ECodecError when the field is not a real number.
double NextFloat(std::string_view& text, char separator);
double NextFloat(std::string& text, char separator);

inline const char* BoolToToken(bool value) { return value ? "1" : "0"; }

// Every line, each followed by Separator.
std::string JoinStrings(const std::vector<std::string>& lines, char separator);

} // namespace qx
