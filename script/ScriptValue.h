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

// Heap kinds (String, Array) come last, so one comparison tells them apart.
enum class TValueKind : uint8_t { Empty, Integer, Float, Boolean, String, Array };

// The shared storage of a text or an array: a count of the values holding it.
// Counted without atomics: a value and its copies live on one thread.
struct TValueBox {
    size_t Refs = 1;
};
struct TStringBox;
struct TArrayBox;

// One script value: empty, 32-bit integer, double, 8-bit string, boolean or a
// one-dimensional array of values. Sixteen bytes: the kind and either the
// scalar or a pointer to shared storage. Texts and arrays have value
// semantics; copies share the storage until one of them is written (copy on
// write), and a value that holds the only reference writes in place.
class TValue {
public:
    TValue() noexcept {}
    TValue(int32_t v) noexcept : kind_(TValueKind::Integer) { u_.i = v; }
    TValue(double v) noexcept : kind_(TValueKind::Float) { u_.f = v; }
    TValue(bool v) noexcept : kind_(TValueKind::Boolean) { u_.b = v; }
    TValue(std::string v);
    TValue(const char* v) : TValue(std::string(v)) {}
    static TValue NewArray(size_t size);

    TValue(const TValue& other) noexcept : kind_(other.kind_), u_(other.u_) {
        if (IsShared()) ++u_.box->Refs;
    }
    TValue(TValue&& other) noexcept : kind_(other.kind_), u_(other.u_) { other.kind_ = TValueKind::Empty; }
    TValue& operator=(const TValue& other) noexcept {
        if (other.IsShared()) ++other.u_.box->Refs;  // first, so a value assigned to itself survives
        Drop();
        kind_ = other.kind_;
        u_ = other.u_;
        return *this;
    }
    TValue& operator=(TValue&& other) noexcept {
        if (this != &other) {
            Drop();
            kind_ = other.kind_;
            u_ = other.u_;
            other.kind_ = TValueKind::Empty;
        }
        return *this;
    }
    ~TValue() { Drop(); }

    TValueKind Kind() const { return kind_; }
    bool IsEmpty() const { return kind_ == TValueKind::Empty; }
    // The type code of the value: empty 1, integer 4, float 8, string 16,
    // boolean 2, array 65.
    TTypeCode Type() const {
        static constexpr TTypeCode kTypes[] = {stVoid, stInteger, stFloat, stBoolean, stString, stArray | stVoid};
        return kTypes[static_cast<int>(kind_)];
    }

    // Raw access; only valid for the matching kind.
    int32_t AsInteger() const { return u_.i; }
    double AsFloat() const { return u_.f; }
    bool AsBoolean() const { return u_.b; }
    const std::string& AsString() const;
    // The text for writing; unshares it first.
    std::string& MutableString();
    const TArray& AsArray() const;
    // The elements for writing; unshares them first.
    TArray& MutableArray();

    void Clear() {
        Drop();
        kind_ = TValueKind::Empty;
    }
    void SetInteger(int32_t v) {
        Drop();
        kind_ = TValueKind::Integer;
        u_.i = v;
    }
    void SetFloat(double v) {
        Drop();
        kind_ = TValueKind::Float;
        u_.f = v;
    }
    void SetBoolean(bool v) {
        Drop();
        kind_ = TValueKind::Boolean;
        u_.b = v;
    }
    // Writes in place when this value holds the only reference to its text.
    void SetString(std::string_view v);

    // Conversions by the variant rules: numbers and numeric text convert into
    // each other (a real becomes an integer by rounding halves to even), true
    // counts as -1, empty as 0 or "". Anything else raises ERTE.
    int32_t ToInteger() const { return kind_ == TValueKind::Integer ? u_.i : ToIntegerSlow(); }
    double ToFloat() const {
        return kind_ == TValueKind::Float ? u_.f : kind_ == TValueKind::Integer ? u_.i : ToFloatSlow();
    }
    std::string ToText() const;
    bool ToBoolean() const { return kind_ == TValueKind::Boolean ? u_.b : ToBooleanSlow(); }

private:
    bool IsShared() const { return kind_ >= TValueKind::String; }
    void Drop() {
        if (IsShared() && --u_.box->Refs == 0) Free();
    }
    void Free();
    int32_t ToIntegerSlow() const;
    double ToFloatSlow() const;
    bool ToBooleanSlow() const;

    TValueKind kind_ = TValueKind::Empty;
    union TPayload {
        int32_t i;
        double f;
        bool b;
        TValueBox* box;
    } u_{};
};

struct TStringBox : TValueBox {
    std::string Text;
};
struct TArrayBox : TValueBox {
    TArray Items;
};

inline const std::string& TValue::AsString() const { return static_cast<TStringBox*>(u_.box)->Text; }
inline const TArray& TValue::AsArray() const { return static_cast<TArrayBox*>(u_.box)->Items; }

// The name of a value's kind in conversion messages ("Integer", "String", ...).
const char* KindName(TValueKind kind);

// Rounds to the nearest integer, halves to the even neighbour; ERTE when the
// result does not fit 32 bits.
int32_t RoundToInteger(double value);
// Parses a whole decimal (or $hex) integer text as StrToInt does; ERTE
// "'%s' is not a valid integer value" when it is not one or does not fit.
int32_t ParseIntegerText(std::string_view text);

} // namespace qx
