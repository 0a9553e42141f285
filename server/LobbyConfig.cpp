#include "server/LobbyConfig.h"

#include <charconv>
#include <stdexcept>

namespace qx::lobby {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

} // namespace

TConfigFile TConfigFile::Parse(std::string_view text) {
    TConfigFile config;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#') continue;
        const size_t eq = line.find('=');
        const std::string_view key = eq == std::string_view::npos ? std::string_view() : Trim(line.substr(0, eq));
        if (key.empty())
            throw std::runtime_error("line " + std::to_string(number) + " is not \"key = value\"");
        config.Values[std::string(key)] = std::string(Trim(line.substr(eq + 1)));
    }
    return config;
}

long long TConfigFile::Int(const std::string& key, long long fallback, long long min, long long max) const {
    auto it = Values.find(key);
    if (it == Values.end()) return fallback;
    long long value = 0;
    const std::string& text = it->second;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < min || value > max)
        throw std::runtime_error(key + " must be a whole number from " + std::to_string(min) + " to " +
                                 std::to_string(max) + ", not '" + text + "'");
    return value;
}

double TConfigFile::Real(const std::string& key, double fallback, double min, double max) const {
    auto it = Values.find(key);
    if (it == Values.end()) return fallback;
    double value = 0;
    const std::string& text = it->second;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !(value >= min && value <= max))
        throw std::runtime_error(key + " must be a number from " + std::to_string(min) + " to " +
                                 std::to_string(max) + ", not '" + text + "'");
    return value;
}

std::string TConfigFile::Text(const std::string& key, const std::string& fallback) const {
    auto it = Values.find(key);
    return it == Values.end() ? fallback : it->second;
}

} // namespace qx::lobby
