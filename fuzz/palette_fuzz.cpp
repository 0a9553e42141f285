// Fuzz target for palette texts (the game's colour tables): any text either
// loads or is refused; a loaded palette writes a text that loads back to the
// same 256 colours.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "render/ColorPalette.h"
#include "render/IndexedBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qx::TColorPalette palette;
    bool complained = false;
    palette.OnMessage = [&complained](qx::TObject*, const std::string&) { complained = true; };
    try {
        palette.LoadFromText(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const qx::ERenderError&) {
        return -1;
    }
    if (complained) return -1;
    const std::string saved = palette.SaveToText();
    qx::TColorPalette again;
    again.LoadFromText(saved);
    for (int i = 0; i < 256; ++i)
        if (again.GetColor(i) != palette.GetColor(i)) std::abort();
    return 0;
}
