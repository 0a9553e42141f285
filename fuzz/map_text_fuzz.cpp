// Fuzz target for the run-length map text a saved game carries: the first two
// bytes size the grid, the rest is the text. Any text either fills the grid
// or is refused with std::invalid_argument; a filled grid writes a text that
// reads back to the same grid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "engine/CharMatrix.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return -1;
    const int columns = 1 + data[0] % 64, rows = 1 + data[1] % 64;
    const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
    qx::TCharMatrix grid;
    grid.SetSize(columns, rows);
    try {
        grid.LoadFromText(text);
    } catch (const std::invalid_argument&) {
        return -1;
    }
    const std::string saved = grid.SaveToText();
    qx::TCharMatrix again;
    again.SetSize(columns, rows);
    again.LoadFromText(saved);
    if (again.SaveToText() != saved) std::abort();
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            if (again.GetChar(x, y) != grid.GetChar(x, y)) std::abort();
    return 0;
}
