#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "script/Function.h"
#include "script/Script.h"
#include "script/ScriptError.h"

namespace qx::test {

// A registry and a script on it, compiled and run from a text.
struct TScriptRun {
    TFuncs funcs;
    TScript script;

    TScriptRun() { script.SetFunctions(&funcs); }

    void Run(const std::string& text) {
        script.SetText(text);
        script.Run();
    }

    const TValue& Var(const std::string& name) {
        TDataItem* item = script.FindItem(name);
        if (!item) throw std::runtime_error("no item " + name);
        return item->Value;
    }
    int32_t Int(const std::string& name) {
        const TValue& v = Var(name);
        EXPECT_EQ(v.Kind(), TValueKind::Integer) << name;
        return v.AsInteger();
    }
    double Float(const std::string& name) {
        const TValue& v = Var(name);
        EXPECT_EQ(v.Kind(), TValueKind::Float) << name;
        return v.AsFloat();
    }
    std::string Str(const std::string& name) {
        const TValue& v = Var(name);
        EXPECT_EQ(v.Kind(), TValueKind::String) << name;
        return v.AsString();
    }
    bool Bool(const std::string& name) {
        const TValue& v = Var(name);
        EXPECT_EQ(v.Kind(), TValueKind::Boolean) << name;
        return v.AsBoolean();
    }

    // The message of the script error the text raises, "" when none.
    std::string Error(const std::string& text) {
        try {
            Run(text);
        } catch (const EScriptError& error) {
            return error.what();
        }
        return "";
    }
};

inline std::string RuntimeMessage(const std::string& inner, int position) {
    return "Runtimeerror: " + inner + " [Position " + std::to_string(position) + "]";
}
inline std::string SyntaxMessage(const std::string& inner, int position) {
    return "Syntaxerror: " + inner + " [Position " + std::to_string(position) + "]";
}

} // namespace qx::test
