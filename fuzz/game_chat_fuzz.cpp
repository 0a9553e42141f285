// Fuzz target for the chat messages players send each other through the
// lobby: the first byte gives the game's player count, the rest is the
// message as received. Reading may refuse it but never fault, and what it
// accepts must read back the same once written again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/InGameRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return -1;
    const int players = data[0] % 12;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto message = qx::TGameChat::Parse(text, players);
    if (!message) return -1;  // refused
    for (unsigned char c : message->Text)
        if (c < 32 || c == 127) std::abort();
    const auto again = qx::TGameChat::Parse(qx::TGameChat::Compose(message->Addressed, players, message->Text), players);
    if (!again || again->Text != message->Text || again->Addressed != message->Addressed) std::abort();
    return 0;
}
