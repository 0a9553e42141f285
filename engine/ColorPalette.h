#pragma once

#include <cstdint>

namespace qx {

// What the engine needs of a palette: the colour of an entry, red in bits
// 0..7, green in 8..15, blue in 16..23. The display's palette implements it,
// so the rules never depend on the display.
class IColorPalette {
public:
    virtual ~IColorPalette() = default;
    virtual uint32_t GetColor(int index) const = 0;
};

} // namespace qx
