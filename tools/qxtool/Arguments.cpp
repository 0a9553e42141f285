#include "Arguments.h"

#include <charconv>

#include "Command.h"
#include "base/AtomicFile.h"

namespace qx::tool {

bool Arguments::WantsHelp() const {
    for (const auto& arg : args_)
        if (arg == "--help" || arg == "-h") return true;
    return false;
}

bool Arguments::Flag(const std::string& name) {
    for (auto it = args_.begin(); it != args_.end(); ++it) {
        if (*it == name) {
            args_.erase(it);
            return true;
        }
    }
    return false;
}

std::optional<std::string> Arguments::Value(const std::string& name) {
    std::vector<std::string> values = Values(name);
    if (values.size() > 1) throw ToolError{"option " + name + " given more than once", 2};
    if (values.empty()) return std::nullopt;
    return values.front();
}

std::vector<std::string> Arguments::Values(const std::string& name) {
    std::vector<std::string> values;
    for (size_t i = 0; i < args_.size();) {
        if (args_[i] != name) {
            ++i;
            continue;
        }
        if (i + 1 >= args_.size()) throw ToolError{"option " + name + " needs a value", 2};
        values.push_back(args_[i + 1]);
        args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i), args_.begin() + static_cast<std::ptrdiff_t>(i + 2));
    }
    return values;
}

int64_t Arguments::Int(const std::string& name, int64_t fallback, int64_t min, int64_t max) {
    auto value = Value(name);
    if (!value) return fallback;
    return ParseInt("option " + name, *value, min, max);
}

std::vector<std::string> Arguments::Positional(size_t min, size_t max) const {
    for (const auto& arg : args_)
        if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-')
            throw ToolError{"unknown option " + arg, 2};
    if (args_.size() < min) throw ToolError{"missing arguments (see --help)", 2};
    if (args_.size() > max) throw ToolError{"too many arguments (see --help)", 2};
    return args_;
}

int64_t ParseInt(const std::string& what, const std::string& text, int64_t min, int64_t max) {
    int64_t value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        throw ToolError{what + ": '" + text + "' is not a number", 2};
    if (value < min || value > max)
        throw ToolError{what + ": " + text + " is out of range " + std::to_string(min) + ".." +
                            std::to_string(max),
                        2};
    return value;
}

std::string ReadTextFile(const std::string& path) {
    try {
        return ReadWholeFile(path);
    } catch (const EFileError& error) {
        throw ToolError{error.what(), 1};
    }
}

void WriteTextFile(const std::string& path, const std::string& text) {
    try {
        WriteFileAtomically(path, text);
    } catch (const EFileError& error) {
        throw ToolError{error.what(), 1};
    }
}

} // namespace qx::tool
