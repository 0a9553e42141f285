#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>

#include "Command.h"

namespace qx::tool {

std::vector<Command>& Commands() {
    static std::vector<Command> commands;
    return commands;
}

} // namespace qx::tool

namespace {

void PrintUsage(std::ostream& out) {
    auto commands = qx::tool::Commands();
    std::sort(commands.begin(), commands.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    out << "Usage: qxtool COMMAND [ARGS...]\n"
           "The headless Quorvex tool: runs galaxies, scripts and brain duels without a window.\n\n"
           "Commands:\n";
    for (const auto& command : commands) {
        out << "  " << command.name;
        out << std::string(command.name.size() < 10 ? 10 - command.name.size() : 1, ' ');
        out << command.summary << "\n";
    }
    out << "\n\"qxtool COMMAND --help\" describes one command.\n";
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage(std::cout);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "--version") {
        std::cout << "qxtool " << QX_VERSION << "\n";
        return 0;
    }
    const std::string name = args[0];
    for (const auto& command : qx::tool::Commands()) {
        if (command.name != name) continue;
        args.erase(args.begin());
        try {
            return command.run(args);
        } catch (const qx::tool::ToolError& error) {
            std::cerr << "qxtool " << name << ": " << error.message << "\n";
            return error.status;
        } catch (const std::exception& error) {
            std::cerr << "qxtool " << name << ": " << error.what() << "\n";
            return 1;
        }
    }
    std::cerr << "qxtool: unknown command '" << name << "' (see qxtool --help)\n";
    return 2;
}
