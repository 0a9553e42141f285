#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "base/FieldCodec.h"
#include "script/Function.h"
#include "script/Script.h"
#include "script/ScriptError.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool script FILE\n"
    "Compiles and runs FILE with the built-in functions only, then prints every\n"
    "variable of the script sorted by name, one per line:\n"
    "  NAME=INTEGER:42  NAME=FLOAT:3.5  NAME=STRING:text  NAME=BOOLEAN:TRUE\n"
    "  NAME=VOID (never assigned)  NAME=ARRAY:n followed by NAME[i]=... lines\n"
    "Exit status: 0 on success; 1 on a script error (its message on stdout);\n"
    "2 when the file cannot be read or the arguments are wrong.\n";

void PrintValue(std::ostream& out, const std::string& name, const TValue& value) {
    out << name << '=';
    switch (value.Kind()) {
    case TValueKind::Empty: out << "VOID\n"; return;
    case TValueKind::Integer: out << "INTEGER:" << value.AsInteger() << '\n'; return;
    case TValueKind::Float: out << "FLOAT:" << FloatToText(value.AsFloat()) << '\n'; return;
    case TValueKind::String: out << "STRING:" << value.AsString() << '\n'; return;
    case TValueKind::Boolean: out << "BOOLEAN:" << (value.AsBoolean() ? "TRUE" : "FALSE") << '\n'; return;
    case TValueKind::Array: {
        const TArray& elements = value.AsArray();
        out << "ARRAY:" << elements.size() << '\n';
        for (size_t i = 0; i < elements.size(); ++i)
            PrintValue(out, name + "[" + std::to_string(i) + "]", elements[i]);
        return;
    }
    }
}

int RunScript(const std::vector<std::string>& args) {
    Arguments arguments(args);
    if (arguments.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const std::string path = arguments.Positional(1, 1)[0];
    std::string text;
    try {
        text = ReadTextFile(path);
    } catch (const ToolError& error) {
        throw ToolError{error.message, 2};
    }

    TFuncs funcs;
    funcs.OnShowMessage = [](const std::string& message) { std::cerr << message << '\n'; };
    TScript script;
    script.SetFunctions(&funcs);
    script.SetText(text);
    try {
        script.Run();
    } catch (const EScriptError& error) {
        std::cout << error.what() << '\n';
        return 1;
    } catch (const std::exception& error) {
        throw ToolError{error.what(), 2};
    }

    std::vector<const TDataItem*> variables;
    for (size_t i = 0; i < script.ItemCount(); ++i)
        if (dynamic_cast<const TVariable*>(&script.Item(i))) variables.push_back(&script.Item(i));
    std::sort(variables.begin(), variables.end(),
              [](const TDataItem* a, const TDataItem* b) { return a->Name() < b->Name(); });
    for (const TDataItem* variable : variables) PrintValue(std::cout, variable->Name(), variable->Value);
    return 0;
}

} // namespace

QX_COMMAND(script, "script", "compile and run a script with the built-in functions, print its variables",
           RunScript);

} // namespace qx::tool
