// qxtool encode: scrambles a game state text into a saved game (.qx).
#include <iostream>

#include "Arguments.h"
#include "Command.h"
#include "engine/SavedGame.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool encode TEXTFILE SAVED.qx\n"
    "Checks that TEXTFILE holds a readable game state text and writes it scrambled\n"
    "as the saved game SAVED.qx, which the game can open.\n"
    "Exit status: 0 on success, 1 for bad input, 2 for bad usage.\n";

int RunEncode(const std::vector<std::string>& args) {
    Arguments arguments(args);
    if (arguments.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const std::vector<std::string> files = arguments.Positional(2, 2);
    const std::string& path = files[0];
    const std::string& output = files[1];
    std::string text = ReadTextFile(path);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    try {
        TSavedGame::Check(text);
    } catch (const ESavedGameError& error) {
        throw ToolError{path + ": " + error.what(), 1};
    }
    // Scrambled whatever the output is called: the game opens it as a .qx.
    WriteTextFile(output, TSavedGame::Scramble(text));
    return 0;
}

} // namespace

QX_COMMAND(encode, "encode", "scramble a game state text into a saved game (.qx)", RunEncode);

} // namespace qx::tool
