// qxtool decode: unscrambles a saved game (.qx) into its plain game state text.
#include <iostream>

#include "Arguments.h"
#include "Command.h"
#include "engine/SavedGame.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool decode SAVED.qx [--output FILE] [--raw]\n"
    "Unscrambles a saved game and writes its game state text to FILE, or to\n"
    "standard output. The text must read as a game unless --raw is given.\n"
    "Exit status: 0 on success, 1 for bad input, 2 for bad usage.\n";

int RunDecode(const std::vector<std::string>& args) {
    Arguments arguments(args);
    if (arguments.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const bool raw = arguments.Flag("--raw");
    const std::optional<std::string> output = arguments.Value("--output");
    const std::string path = arguments.Positional(1, 1).front();
    // Whatever the file is called, decode treats it as scrambled.
    const std::string text = TSavedGame::Unscramble(ReadTextFile(path));
    if (!raw) {
        // A file that is not a saved game unscrambles to noise: say so.
        try {
            TSavedGame::Check(text);
        } catch (const ESavedGameError& error) {
            throw ToolError{path + " is not a saved game: " + error.what(), 1};
        }
    }
    if (output)
        WriteTextFile(*output, text);
    else
        std::cout << text << '\n';
    return 0;
}

} // namespace

QX_COMMAND(decode, "decode", "unscramble a saved game (.qx) into its game state text", RunDecode);

} // namespace qx::tool
