#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// Type codes of the script language: a set of flags. The low five bits are the
// base types, VAR/ARRAY/FUNC say how an argument is passed, OPEN marks a
// parameter that takes any number of arguments.
using TTypeCode = uint32_t;
inline constexpr TTypeCode stVoid = 1;
inline constexpr TTypeCode stBoolean = 2;
inline constexpr TTypeCode stInteger = 4;
inline constexpr TTypeCode stFloat = 8;
inline constexpr TTypeCode stString = 16;
inline constexpr TTypeCode stVar = 32;
inline constexpr TTypeCode stArray = 64;
inline constexpr TTypeCode stFunc = 128;
inline constexpr TTypeCode stOpen = 256;
inline constexpr TTypeCode stMult = stInteger | stFloat;
inline constexpr TTypeCode stAdd = stInteger | stFloat | stString;
inline constexpr TTypeCode stAll = 31;
inline constexpr TTypeCode stBaseMask = 31;
inline constexpr TTypeCode stPassMask = stVar | stArray | stFunc;

// "INTEGER/FLOAT", "ARRAY VAR INTEGER", "VOID", "FUNC BOOLEAN OPEN".
std::string TypeText(TTypeCode type);

class TValue;
using TArray = std::vector<TValue>;

enum class TValueKind : uint8_t { Empty, Integer, Float, String, Boolean, Array };

// One script value: empty, 32-bit integer, double, 8-bit string, boolean or a
// one-dimensional array of values. Arrays have value semantics; copies share
// the elements until one of them is written (copy on write).
class TValue {
public:
    TValue() {}
    TValue(int32_t v) : kind_(TValueKind::Integer) { scalar_.i = v; }
    TValue(double v) : kind_(TValueKind::Float) { scalar_.f = v; }
    TValue(bool v) : kind_(TValueKind::Boolean) { scalar_.b = v; }
    TValue(std::string v) : kind_(TValueKind::String), text_(std::move(v)) {}
    TValue(const char* v) : kind_(TValueKind::String), text_(v) {}
    static TValue NewArray(size_t size);

    TValue(const TValue& other) { CopyFrom(other); }
    TValue(TValue&& other) noexcept { MoveFrom(std::move(other)); }
    TValue& operator=(const TValue& other) {
        if (this != &other) CopyFrom(other);
        return *this;
    }
    TValue& operator=(TValue&& other) noexcept {
        if (this != &other) MoveFrom(std::move(other));
        return *this;
    }

    TValueKind Kind() const { return kind_; }
    bool IsEmpty() const { return kind_ == TValueKind::Empty; }
    // The type code of the value: empty 1, integer 4, float 8, string 16,
    // boolean 2, array 65.
    TTypeCode Type() const {
        static constexpr TTypeCode kTypes[] = {stVoid, stInteger, stFloat, stString, stBoolean, stArray | stVoid};
        return kTypes[static_cast<int>(kind_)];
    }

    // Raw access; only valid for the matching kind.
    int32_t AsInteger() const { return scalar_.i; }
    double AsFloat() const { return scalar_.f; }
    bool AsBoolean() const { return scalar_.b; }
    const std::string& AsString() const { return text_; }
    std::string& MutableString() { return text_; }
    const TArray& AsArray() const { return *array_; }
    // The elements for writing; unshares them first.
    TArray& MutableArray();

    void Clear() { Become(TValueKind::Empty); }
    void SetInteger(int32_t v) { Become(TValueKind::Integer); scalar_.i = v; }
    void SetFloat(double v) { Become(TValueKind::Float); scalar_.f = v; }
    void SetBoolean(bool v) { Become(TValueKind::Boolean); scalar_.b = v; }
    // Reuses the string's storage.
    void SetString(std::string_view v) { Become(TValueKind::String); text_.assign(v); }

    // Conversions by the variant rules: numbers and numeric text convert into
    // each other (a real becomes an integer by rounding halves to even), true
    // counts as -1, empty as 0 or "". Anything else raises ERTE.
    int32_t ToInteger() const { return kind_ == TValueKind::Integer ? scalar_.i : ToIntegerSlow(); }
    double ToFloat() const {
        return kind_ == TValueKind::Float ? scalar_.f : kind_ == TValueKind::Integer ? scalar_.i : ToFloatSlow();
    }
    std::string ToText() const;
    bool ToBoolean() const { return kind_ == TValueKind::Boolean ? scalar_.b : ToBooleanSlow(); }

private:
    void Become(TValueKind kind) {
        if (kind_ == TValueKind::Array) array_.reset();
        kind_ = kind;
    }
    void CopyFrom(const TValue& other) {
        if (other.kind_ == TValueKind::String || other.kind_ == TValueKind::Array || kind_ == TValueKind::Array) {
            CopySlow(other);
            return;
        }
        kind_ = other.kind_;
        scalar_ = other.scalar_;
    }
    void CopySlow(const TValue& other);
    void MoveFrom(TValue&& other) noexcept;
    int32_t ToIntegerSlow() const;
    double ToFloatSlow() const;
    bool ToBooleanSlow() const;

    TValueKind kind_ = TValueKind::Empty;
    // Copied as a whole (a union's copy takes its whole object representation).
    union TScalar {
        int32_t i;
        double f;
        bool b;
    } scalar_{};
    // Kept apart from the union so a variable that keeps being assigned text
    // reuses its buffer.
    std::string text_;
    std::shared_ptr<TArray> array_;
};

// The name of a value's kind in conversion messages ("Integer", "String", ...).
const char* KindName(TValueKind kind);

// Rounds to the nearest integer, halves to the even neighbour; ERTE when the
// result does not fit 32 bits.
int32_t RoundToInteger(double value);
// Parses a whole decimal (or $hex) integer text as StrToInt does; ERTE
// "'%s' is not a valid integer value" when it is not one or does not fit.
int32_t ParseIntegerText(std::string_view text);

} // namespace qx
