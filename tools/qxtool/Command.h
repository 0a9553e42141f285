#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qx::tool {

// One command of the headless program: "qxtool NAME ARGS...". A command
// returns the process exit status: 0 on success, 1 for bad input (with a
// one-line message on stderr), 2 for bad usage.
struct Command {
    std::string name;
    std::string summary;  // one line for "qxtool --help"
    std::function<int(const std::vector<std::string>& args)> run;
};

std::vector<Command>& Commands();

struct CommandRegistrar {
    explicit CommandRegistrar(Command command) { Commands().push_back(std::move(command)); }
};

// Thrown for bad input; main prints "qxtool NAME: message" and exits 1.
struct ToolError {
    std::string message;
    int status = 1;
};

} // namespace qx::tool

// Registers a command from its own source file (all of them are compiled into
// the program itself, so the registrars always run).
#define QX_COMMAND(id, name, summary, function) \
    static ::qx::tool::CommandRegistrar qxCommand_##id({name, summary, function})
