#include "net/ServerAddress.h"

#include <algorithm>

namespace qx {

namespace {

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
           c == ':' || c == '[' || c == ']' || c == '_';
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

std::optional<TServerAddress> TServerAddress::Parse(std::string_view text, int32_t defaultPort) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > 260 || !std::all_of(text.begin(), text.end(), IsHostCharacter))
        return std::nullopt;
    TServerAddress found;
    found.Port = defaultPort;
    std::string_view host = text, port;
    bool hasPort = false;
    if (text.front() == '[') {
        const size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view after = text.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return std::nullopt;
            port = after.substr(1);
            hasPort = true;
        }
    } else if (std::count(text.begin(), text.end(), ':') == 1) {
        const size_t colon = text.find(':');
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        hasPort = true;
    }
    // (More than one colon without brackets: a bare IPv6 address.)
    if (host.empty() || host.size() > 253 || host.find_first_of("[]") != std::string_view::npos) return std::nullopt;
    if (hasPort) {
        if (port.empty() || port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char c) {
                return c >= '0' && c <= '9';
            }))
            return std::nullopt;
        int32_t number = 0;
        for (char c : port) number = number * 10 + (c - '0');
        if (number < 1 || number > 65535) return std::nullopt;
        found.Port = number;
    }
    found.Host = std::string(host);
    return found;
}

} // namespace qx
