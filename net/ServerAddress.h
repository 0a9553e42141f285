#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

// Where a lobby server listens, as a web host's /ip.adr document names it
// once unscrambled: a host name or address, then ":port" when the server is
// not on the usual port; a numeric IPv6 address with a port is written in
// brackets ("[::1]:4001"). Blanks and line ends around it do not count.
struct TServerAddress {
    std::string Host;
    int32_t Port = 0;

    // None when the text is no such address (other characters, an empty or
    // overlong host, a port that is no number from 1 to 65535).
    static std::optional<TServerAddress> Parse(std::string_view text, int32_t defaultPort);
};

} // namespace qx
