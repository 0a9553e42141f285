// qxtool encode: scrambles a game state text into a saved game (.qx).
#include <iostream>

#include "Arguments.h"
#include "Command.h"
#include "engine/QuorvexEngine.h"
#include "net/StringEncryptor.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool encode STATE --output SAVED.qx\n"
    "Checks that STATE holds a readable game state text and writes it scrambled\n"
    "as a saved game the game can open.\n"
    "Exit status: 0 on success, 1 for bad input, 2 for bad usage.\n";

int RunEncode(const std::vector<std::string>& args) {
    Arguments arguments(args);
    if (arguments.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const std::optional<std::string> output = arguments.Value("--output");
    const std::string path = arguments.Positional(1, 1).front();
    if (!output) throw ToolError{"option --output is required (see --help)", 2};
    std::string text = ReadTextFile(path);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    try {
        TQuorvexEngine engine;
        engine.LoadFromText(text);
    } catch (const EGameStateError& error) {
        throw ToolError{path + ": " + error.what(), 1};
    }
    TStringEncryptor(kGameKey).Encrypt(text);
    WriteTextFile(*output, text);
    return 0;
}

} // namespace

QX_COMMAND(encode, "encode", "scramble a game state text into a saved game (.qx)", RunEncode);

} // namespace qx::tool
