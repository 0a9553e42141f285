// Fuzz target for game state texts (saved games, the game description a
// network game starts with): any text either loads or is refused with
// EGameStateError leaving an empty engine; a loaded game saves to a text that
// loads back to itself, and the rules run on it without faults.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/CharMatrix.h"
#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    qx::TQuorvexEngine engine;
    try {
        engine.LoadFromText(text);
    } catch (const qx::EGameStateError&) {
        if (engine.PlayerCount() != 0 || engine.StarSystemCount() != 0 || engine.WormholeCount() != 0) std::abort();
        return -1;  // refused: not worth keeping in a corpus
    }
    const std::string saved = engine.SaveToText();
    qx::TQuorvexEngine again;
    again.LoadFromText(saved);
    if (again.SaveToText() != saved) std::abort();

    qx::TImpulseDriver driver(engine);
    for (int i = 0; i < 3; ++i) driver.RunImpulse();
    engine.SaveToText();
    return 0;
}
