#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/ColorPalette.h"
#include "base/Object.h"
#include "render/FreeNotifier.h"
#include "render/IndexedBitmap.h"

namespace qx {

enum class TPalEntryFlag { pcNoCollapse, pcReserved };

struct TPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Flags = 0;
    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

// The 256-colour palette every 8-bit picture of the galaxy is drawn in. It is
// kept as 256 editable "r,g,b" lines and as a table the display realises
// (here: the colour table of the presented frame). The rules engine reads
// player colours from it through IColorPalette.
class TColorPalette : public TObject, public TFreeNotifier, public IColorPalette {
public:
    static constexpr int32_t EntryCount = 256;
    static constexpr uint16_t TableVersion = 0x300;

    TColorPalette();
    ~TColorPalette() override;

    const std::vector<std::string>& PaletteEntries() const { return PaletteEntries_; }
    // Applies 256 "r,g,b" lines. An empty list changes nothing; any other
    // count throws ERenderError("Exactly 256 entries must exist") and keeps
    // the old colours.
    void SetPaletteEntries(const std::vector<std::string>& entries);
    // Splits a palette file's text into lines (LF or CR LF; a final line
    // break does not start a line) and applies them.
    void LoadFromText(const std::string& text);
    // Writes the table as 256 lines, each followed by a line break.
    std::string SaveToText() const;

    TPalEntryFlag PalEntryFlag() const { return PalEntryFlag_; }
    void SetPalEntryFlag(TPalEntryFlag value);
    uint8_t FlagByte() const { return FlagByte_; }

    // After reading a stored configuration: applies the entry strings, then
    // writes the table back into them.
    void Loaded();
    void Assign(const TColorPalette& source);
    // Copies the free entries 10..245 of the image's colour table.
    void SetImagePalette(const TIndexedBitmap& image);

    // Entry Index and 255: red in bits 0..7, green 8..15, blue 16..23, flag 24..31.
    uint32_t GetColor(int index) const override;
    const std::array<TPaletteEntry, EntryCount>& Table() const { return Table_; }
    // The entry closest to an RGB colour (red in bits 0..7), by squared
    // distance; the lowest index wins a tie. Platform drawing lands in the
    // 8-bit frame this way.
    uint8_t NearestIndex(uint32_t rgb) const;
    // The table as opaque 0xAARRGGBB values, the colour table of the shown frame.
    std::array<uint32_t, EntryCount> ArgbTable() const;
    // Counts rebuilds, so a presenter knows when to refresh its colour table.
    uint32_t Generation() const { return Generation_; }

    // Messages the user should see (the window shows them in a message box):
    // "Error Loading Palette Data", "Palette Data Loaded from TImage ...".
    std::function<void(TObject* Sender, const std::string& Message)> OnMessage;
    // True while designing: image loads are announced.
    bool Designing = false;

    static bool IsStaticEntry(int32_t index) { return index <= 9 || index >= 246; }

private:
    void ApplyEntries();
    void Rebuild(bool writeBack);
    void WriteBack();
    void ShowMessage(const std::string& message);

    bool EntriesSet_ = false;
    std::vector<std::string> PaletteEntries_;
    TPalEntryFlag PalEntryFlag_ = TPalEntryFlag::pcNoCollapse;
    uint8_t FlagByte_ = 4;
    std::array<TPaletteEntry, EntryCount> Table_{};
    uint32_t Generation_ = 0;
};

} // namespace qx
