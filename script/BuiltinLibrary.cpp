#include <cmath>
#include <vector>

#include "script/Builtins.h"
#include "script/ScriptError.h"

namespace qx {

void TRoundFunc::Execute(int, const TArgList& args, TValue& result) {
    result.SetInteger(RoundToInteger(args.Float(0)));
}

void TTruncFunc::Execute(int, const TArgList& args, TValue& result) {
    const double value = std::trunc(args.Float(0));
    if (!(value >= -2147483648.0 && value <= 2147483647.0)) {
        throw ERTE("Floating point value out of the integer range");
    }
    result.SetInteger(static_cast<int32_t>(value));
}

void TIntFunc::Execute(int, const TArgList& args, TValue& result) { result.SetFloat(std::trunc(args.Float(0))); }

void TFracFunc::Execute(int, const TArgList& args, TValue& result) {
    const double value = args.Float(0);
    result.SetFloat(value - std::trunc(value));
}

void TLengthFunc::Execute(int, const TArgList& args, TValue& result) {
    std::optional<TValue> scratch;
    const TValue& text = ArgValue(args, 0, scratch);
    const size_t length = text.Kind() == TValueKind::String ? text.AsString().size() : text.ToText().size();
    result.SetInteger(static_cast<int32_t>(length));
}

namespace {

// A 1-based index clamped into 1..limit.
size_t Clamp(int32_t index, size_t limit) {
    if (index < 1) return 1;
    return static_cast<size_t>(index) > limit ? limit : static_cast<size_t>(index);
}

} // namespace

// insert(source, target, index): before the 1-based index; an index past the
// end appends, one below 1 inserts at the front.
void TInsertFunc::Execute(int, const TArgList& args, TValue&) {
    const std::string source = args.String(0);
    TVarExpr& target = VarArg(args, 1);
    std::string text = target.Value().ToText();
    const size_t at = Clamp(args.Integer(2), text.size() + 1) - 1;
    CheckLength(*this, text.size() + source.size());
    text.insert(at, source);
    target.Assign(TValue(std::move(text)));
}

// delete(target, index, count): nothing when the index is outside the text or
// the count is not positive; a count past the end deletes to the end.
void TDeleteFunc::Execute(int, const TArgList& args, TValue&) {
    TVarExpr& target = VarArg(args, 0);
    std::string text = target.Value().ToText();
    const int32_t index = args.Integer(1), count = args.Integer(2);
    if (index >= 1 && static_cast<size_t>(index) <= text.size() && count > 0) {
        text.erase(static_cast<size_t>(index) - 1, static_cast<size_t>(count));
    }
    target.Assign(TValue(std::move(text)));
}

// copy(text, index, count): an index below 1 counts from 1, one past the end
// gives ''; the count is cut at the end of the text.
void TCopyFunc::Execute(int, const TArgList& args, TValue& result) {
    const std::string text = args.String(0);
    int32_t index = args.Integer(1);
    const int32_t count = args.Integer(2);
    if (index < 1) index = 1;
    if (count <= 0 || static_cast<size_t>(index) > text.size()) {
        result.SetString("");
        return;
    }
    result.SetString(std::string_view(text).substr(static_cast<size_t>(index) - 1, static_cast<size_t>(count)));
}

void TPosFunc::Execute(int, const TArgList& args, TValue& result) {
    const std::string needle = args.String(0);
    const std::string text = args.String(1);
    const size_t at = needle.empty() ? std::string::npos : text.find(needle);
    result.SetInteger(at == std::string::npos ? 0 : static_cast<int32_t>(at + 1));
}

void TStrToIntFunc::Execute(int, const TArgList& args, TValue& result) {
    result.SetInteger(ParseIntegerText(args.String(0)));
}

void TIntToStrFunc::Execute(int, const TArgList& args, TValue& result) {
    result.SetString(std::to_string(args.Integer(0)));
}

void TFormatFunc::Execute(int, const TArgList& args, TValue& result) {
    const std::string format = args.String(0);
    std::vector<TValue> values;
    values.reserve(args.Count());
    for (size_t i = 1; i < args.Count(); ++i) values.push_back(args.Value(i));
    std::string text = FormatValues(format, values.data(), values.size());
    CheckLength(*this, text.size());
    result.SetString(text);
}

void TNowFunc::Execute(int, const TArgList&, TValue& result) { result.SetFloat(NowAsDateTime()); }

void TFormatDateTimeFunc::Execute(int, const TArgList& args, TValue& result) {
    result.SetString(FormatDateTime(args.String(0), args.Float(1)));
}

void TCopyrightFunc::Execute(int, const TArgList&, TValue&) {
    const std::string text = std::string("Script 1.5") + "\n\r" + "Quorvex script engine, rebuilt for Linux";
    if (Owner()) Owner()->ShowMessage(text);
}

} // namespace qx
