// Fuzz target for saved game files as a player opens them: the bytes are
// unscrambled and loaded into a running game. A file that is refused must
// leave the running game exactly as it was; a file that loads must save to a
// text that loads back to itself, with its nebula map in the grid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzGalaxy.h"
#include "engine/SavedGame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qx::fuzz::FuzzGalaxy running;
    const std::string before = running.engine.SaveToText();
    const std::string text = qx::TSavedGame::Unscramble(std::string(reinterpret_cast<const char*>(data), size));
    try {
        qx::TSavedGame::Load(text, running.engine);
    } catch (const qx::ESavedGameError&) {
        if (running.engine.SaveToText() != before) std::abort();
        if (running.map.Columns() != 24 || running.map.GetChar(10, 10) != 'N') std::abort();
        return -1;
    }
    const std::string saved = running.engine.SaveToText();
    // The grid holds the game's map text, as a grid of the map's size reads it.
    qx::TCharMatrix expected;
    expected.SetSize(running.engine.MapWidth, running.engine.MapHeight);
    expected.LoadFromText(running.engine.MapText);
    if (expected.SaveToText() != running.map.SaveToText()) std::abort();
    qx::TQuorvexEngine copy;
    qx::TSavedGame::Load(saved, copy);
    if (copy.SaveToText() != saved) std::abort();
    return 0;
}
