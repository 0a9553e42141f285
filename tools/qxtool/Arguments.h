#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qx::tool {

// Takes a command's options off its argument list. Options are "--name VALUE"
// or "--name"; what is left must be the positional arguments. Every mistake is
// a ToolError with status 2 and a one-line message.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> args) : args_(std::move(args)) {}

    bool WantsHelp() const;
    bool Flag(const std::string& name);
    std::optional<std::string> Value(const std::string& name);
    std::vector<std::string> Values(const std::string& name);
    int64_t Int(const std::string& name, int64_t fallback, int64_t min, int64_t max);
    // The remaining arguments; an unknown option among them is an error.
    std::vector<std::string> Positional(size_t min, size_t max) const;

private:
    std::vector<std::string> args_;
};

int64_t ParseInt(const std::string& what, const std::string& text, int64_t min, int64_t max);
// Whole file as text; ToolError (status 1) naming the file and the reason
// when it cannot be read.
std::string ReadTextFile(const std::string& path);
// Writes through a temporary file, a flush to disk and a rename, so a failed
// write or a crash never leaves a half-written file behind.
void WriteTextFile(const std::string& path, const std::string& text);

} // namespace qx::tool
