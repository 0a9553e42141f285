// Fuzz target for change texts, which come from the master over the network:
// every line is applied to a small galaxy; nothing may fault, and the game
// must still save and load back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzGalaxy.h"
#include "engine/ImpulseDriver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qx::fuzz::FuzzGalaxy galaxy;
    galaxy.engine.Replica = true;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> changes;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        changes.emplace_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    // What an impulse does without any change, to tell changes that did
    // something from those that were ignored.
    static const std::string unchanged = [] {
        qx::fuzz::FuzzGalaxy plain;
        plain.engine.Replica = true;
        qx::TImpulseDriver(plain.engine).RunImpulse();
        return plain.engine.SaveToText();
    }();
    qx::TImpulseDriver driver(galaxy.engine);
    driver.RunImpulse(changes);
    const std::string saved = galaxy.engine.SaveToText();
    qx::TQuorvexEngine again;
    again.LoadFromText(saved);
    if (again.SaveToText() != saved) std::abort();
    return saved == unchanged ? -1 : 0;
}
