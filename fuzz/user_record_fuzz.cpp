// Fuzz target for the lobby's user record text form: any text either is
// refused with EKyrelError or reads into a record whose text form reads back
// to itself; glyphs never exceed 32 x 32 and match their colour count.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/KyrelServerStats.h"
#include "net/KyrelUser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        qx::TKyrelServerStats stats;
        stats.FromText(text);
        stats.TimeActiveText();
    } catch (const qx::EKyrelError&) {
    }
    qx::TKyrelUser user;
    try {
        user.FromText(text);
    } catch (const qx::EKyrelError&) {
        return 0;
    }
    const qx::TKyrelGlyph& glyph = user.Glyph;
    if (glyph.Width < 0 || glyph.Height < 0 || glyph.Width > 32 || glyph.Height > 32 ||
        glyph.Colors.size() != static_cast<size_t>(glyph.Width) * static_cast<size_t>(glyph.Height))
        std::abort();
    const std::string once = user.ToText();
    const std::string twice = qx::TKyrelUser::Parse(once).ToText();
    if (once != twice) std::abort();
    user.AverageLatency();
    return 0;
}
