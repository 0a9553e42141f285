#include "script/ScriptValue.h"

#include <cmath>
#include <cstdlib>

#include "base/FieldCodec.h"
#include "script/ScriptError.h"

namespace qx {

std::string TypeText(TTypeCode type) {
    if (type & stVoid) return "VOID";
    std::string text;
    auto add = [&](TTypeCode flag, const char* name) {
        if (!(type & flag)) return;
        if (!text.empty()) text += '/';
        text += name;
    };
    add(stInteger, "INTEGER");
    add(stFloat, "FLOAT");
    add(stString, "STRING");
    add(stBoolean, "BOOLEAN");
    if (type & stFunc) text = "FUNC " + text;
    if (type & stVar) text = "VAR " + text;
    if (type & stArray) text = "ARRAY " + text;
    if (type & stOpen) text += " OPEN";
    return text;
}

const char* KindName(TValueKind kind) {
    switch (kind) {
    case TValueKind::Empty: return "Empty";
    case TValueKind::Integer: return "Integer";
    case TValueKind::Float: return "Double";
    case TValueKind::String: return "String";
    case TValueKind::Boolean: return "Boolean";
    case TValueKind::Array: return "Array";
    }
    return "Unknown";
}

TValue::TValue(std::string v) : kind_(TValueKind::String) {
    auto* box = new TStringBox;
    box->Text = std::move(v);
    u_.box = box;
}

TValue TValue::NewArray(size_t size) {
    auto* box = new TArrayBox;
    box->Items.resize(size);
    TValue v;
    v.kind_ = TValueKind::Array;
    v.u_.box = box;
    return v;
}

void TValue::Free() {
    if (kind_ == TValueKind::String) delete static_cast<TStringBox*>(u_.box);
    else delete static_cast<TArrayBox*>(u_.box);
}

std::string& TValue::MutableString() {
    auto* box = static_cast<TStringBox*>(u_.box);
    if (box->Refs > 1) {
        auto* own = new TStringBox;
        own->Text = box->Text;
        --box->Refs;
        u_.box = box = own;
    }
    return box->Text;
}

TArray& TValue::MutableArray() {
    auto* box = static_cast<TArrayBox*>(u_.box);
    if (box->Refs > 1) {
        auto* own = new TArrayBox;
        own->Items = box->Items;
        --box->Refs;
        u_.box = box = own;
    }
    return box->Items;
}

void TValue::SetString(std::string_view v) {
    if (kind_ == TValueKind::String && u_.box->Refs == 1) {
        // The only holder: keep the buffer (a variable assigned text again and
        // again allocates once).
        static_cast<TStringBox*>(u_.box)->Text.assign(v.data(), v.size());
        return;
    }
    auto* box = new TStringBox;
    box->Text.assign(v.data(), v.size());  // before the old text goes, which v may point into
    Drop();
    kind_ = TValueKind::String;
    u_.box = box;
}

namespace {

[[noreturn]] void CannotConvert(TValueKind from, const char* to) {
    throw ERTE(std::string("Could not convert variant of type (") + KindName(from) +
               ") into type (" + to + ")");
}

bool ParseFloatText(std::string_view text, double& value) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return !text.empty() && TextToFloat(text, value);
}

} // namespace

int32_t RoundToInteger(double value) {
    if (!(value > -2147483648.5 && value < 2147483647.5)) {
        throw ERTE("Floating point value out of the integer range");
    }
    return static_cast<int32_t>(std::nearbyint(value));  // default mode: halves to even
}

int32_t ParseIntegerText(std::string_view text) {
    const std::string original(text);
    auto fail = [&]() -> int32_t { throw ERTE("'" + original + "' is not a valid integer value"); };
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty()) return fail();
    int64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else return fail();
        value = value * base + digit;
        if (value > 0x100000000LL) return fail();
    }
    if (base == 16) {
        // Hexadecimal text names the 32-bit pattern, as the lexer's $ constants do.
        if (value > 0xFFFFFFFFLL) return fail();
        const auto bits = static_cast<uint32_t>(value);
        const auto pattern = static_cast<int32_t>(bits);
        return negative ? static_cast<int32_t>(0u - bits) : pattern;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return fail();
    return static_cast<int32_t>(value);
}

int32_t TValue::ToIntegerSlow() const {
    switch (kind_) {
    case TValueKind::Empty: return 0;
    case TValueKind::Integer: return u_.i;
    case TValueKind::Float: return RoundToInteger(u_.f);
    case TValueKind::Boolean: return u_.b ? -1 : 0;
    case TValueKind::String: {
        int32_t i;
        if (TextToInt(AsString(), i)) return i;
        double d;
        if (ParseFloatText(AsString(), d)) return RoundToInteger(d);
        CannotConvert(kind_, "Integer");
    }
    case TValueKind::Array: break;
    }
    CannotConvert(kind_, "Integer");
}

double TValue::ToFloatSlow() const {
    switch (kind_) {
    case TValueKind::Empty: return 0;
    case TValueKind::Integer: return u_.i;
    case TValueKind::Float: return u_.f;
    case TValueKind::Boolean: return u_.b ? -1 : 0;
    case TValueKind::String: {
        double d;
        if (ParseFloatText(AsString(), d)) return d;
        break;
    }
    case TValueKind::Array: break;
    }
    CannotConvert(kind_, "Double");
}

std::string TValue::ToText() const {
    switch (kind_) {
    case TValueKind::Empty: return {};
    case TValueKind::Integer: return std::to_string(u_.i);
    case TValueKind::Float: return FloatToText(u_.f);
    case TValueKind::Boolean: return u_.b ? "True" : "False";
    case TValueKind::String: return AsString();
    case TValueKind::Array: break;
    }
    CannotConvert(kind_, "String");
}

bool TValue::ToBooleanSlow() const {
    switch (kind_) {
    case TValueKind::Empty: return false;
    case TValueKind::Integer: return u_.i != 0;
    case TValueKind::Float: return u_.f != 0;
    case TValueKind::Boolean: return u_.b;
    case TValueKind::String: {
        std::string upper;
        for (char c : AsString()) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        if (upper == "TRUE") return true;
        if (upper == "FALSE") return false;
        double d;
        if (ParseFloatText(AsString(), d)) return d != 0;
        break;
    }
    case TValueKind::Array: break;
    }
    CannotConvert(kind_, "Boolean");
}

} // namespace qx
