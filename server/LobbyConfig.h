#pragma once

#include <map>
#include <string>
#include <string_view>

namespace qx::lobby {

// The configuration file: one "key = value" per line; blank lines and lines
// starting with "#" are skipped. Keys are the long command line options
// without their dashes (port, http-port, database, advertise) and the
// settings only the file has (listen-address, operators, limits, ...).
struct TConfigFile {
    std::map<std::string, std::string> Values;
    // Throws std::runtime_error naming the line that cannot be read.
    static TConfigFile Parse(std::string_view text);
    // The value as a whole number in [min, max]; throws std::runtime_error.
    long long Int(const std::string& key, long long fallback, long long min, long long max) const;
    double Real(const std::string& key, double fallback, double min, double max) const;
    std::string Text(const std::string& key, const std::string& fallback) const;
};

} // namespace qx::lobby
