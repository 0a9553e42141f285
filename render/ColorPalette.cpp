#include "render/ColorPalette.h"

#include <climits>
#include <string_view>

#include "base/FieldCodec.h"

namespace qx {

namespace {

// The display's twenty static colours, which every realised palette keeps.
constexpr TPaletteEntry kLowStatic[10] = {
    {0, 0, 0, 0},     {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0}, {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
};
constexpr TPaletteEntry kHighStatic[10] = {
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0}, {255, 255, 255, 0},
};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// One colour component; anything but a decimal 0..255 does not convert.
bool ToComponent(std::string_view text, uint8_t& component) {
    int32_t value = 0;
    if (!TextToInt(Trim(text), value) || value < 0 || value > 255) return false;
    component = static_cast<uint8_t>(value);
    return true;
}

bool ParseEntry(std::string_view line, TPaletteEntry& entry) {
    const std::string_view red = NextToken(line, ',');
    const std::string_view green = NextToken(line, ',');
    return ToComponent(red, entry.Red) && ToComponent(green, entry.Green) && ToComponent(line, entry.Blue);
}

} // namespace

TColorPalette::TColorPalette() {
    for (int32_t i = 0; i < 10; ++i) Table_[static_cast<size_t>(i)] = kLowStatic[i];
    for (int32_t i = 0; i < 10; ++i) Table_[static_cast<size_t>(246 + i)] = kHighStatic[i];
    for (int32_t i = 10; i <= 245; ++i) {
        const auto grey = static_cast<uint8_t>(i);
        Table_[static_cast<size_t>(i)] = {grey, grey, grey, FlagByte_};
    }
    Rebuild(true);
}

TColorPalette::~TColorPalette() { NotifyFree(); }

void TColorPalette::SetPaletteEntries(const std::vector<std::string>& entries) {
    EntriesSet_ = true;
    if (entries.empty()) return;
    if (entries.size() != static_cast<size_t>(EntryCount)) throw ERenderError("Exactly 256 entries must exist");
    if (&entries != &PaletteEntries_) PaletteEntries_ = entries;
    ApplyEntries();
    Rebuild(false);
}

void TColorPalette::LoadFromText(const std::string& text) {
    std::vector<std::string> lines;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    SetPaletteEntries(lines);
}

std::string TColorPalette::SaveToText() const {
    std::string text;
    for (const std::string& line : PaletteEntries_) {
        text += line;
        text += '\n';
    }
    return text;
}

void TColorPalette::ApplyEntries() {
    for (int32_t i = 0; i < EntryCount; ++i) {
        TPaletteEntry entry;
        if (!ParseEntry(PaletteEntries_[static_cast<size_t>(i)], entry)) {
            // What was read so far stays; the rest keep their colours.
            ShowMessage("Error Loading Palette Data");
            return;
        }
        entry.Flags = IsStaticEntry(i) ? 0 : FlagByte_;
        Table_[static_cast<size_t>(i)] = entry;
    }
}

void TColorPalette::SetPalEntryFlag(TPalEntryFlag value) {
    PalEntryFlag_ = value;
    FlagByte_ = value == TPalEntryFlag::pcReserved ? 1 : 4;
    for (int32_t i = 10; i <= 245; ++i) Table_[static_cast<size_t>(i)].Flags = FlagByte_;
    Rebuild(false);
}

void TColorPalette::Loaded() {
    EntriesSet_ = false;
    if (!PaletteEntries_.empty() && PaletteEntries_.size() != static_cast<size_t>(EntryCount))
        throw ERenderError("Exactly 256 entries must exist");
    Rebuild(true);
}

void TColorPalette::Assign(const TColorPalette& source) {
    if (&source == this) return;
    PaletteEntries_ = source.PaletteEntries_;
    PalEntryFlag_ = source.PalEntryFlag_;
    FlagByte_ = source.FlagByte_;
    EntriesSet_ = false;
    Rebuild(true);
}

void TColorPalette::SetImagePalette(const TIndexedBitmap& image) {
    for (int32_t i = 10; i <= 245; ++i) {
        const TRgbQuad& colour = image.Palette[static_cast<size_t>(i)];
        Table_[static_cast<size_t>(i)] = {colour.Red, colour.Green, colour.Blue, FlagByte_};
    }
    EntriesSet_ = true;  // the table is newer than the strings
    Rebuild(true);
    if (Designing) ShowMessage("Palette Data Loaded from TImage " + image.Name);
}

uint32_t TColorPalette::GetColor(int index) const {
    const TPaletteEntry& e = Table_[static_cast<size_t>(index & 255)];
    return static_cast<uint32_t>(e.Red) | (static_cast<uint32_t>(e.Green) << 8) |
           (static_cast<uint32_t>(e.Blue) << 16) | (static_cast<uint32_t>(e.Flags) << 24);
}

uint8_t TColorPalette::NearestIndex(uint32_t rgb) const {
    const int r = rgb & 255, g = (rgb >> 8) & 255, b = (rgb >> 16) & 255;
    int best = 0;
    int bestDistance = INT32_MAX;
    for (int i = 0; i < EntryCount; ++i) {
        const TPaletteEntry& e = Table_[static_cast<size_t>(i)];
        const int dr = e.Red - r, dg = e.Green - g, db = e.Blue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0) break;
        }
    }
    return static_cast<uint8_t>(best);
}

std::array<uint32_t, TColorPalette::EntryCount> TColorPalette::ArgbTable() const {
    std::array<uint32_t, EntryCount> table{};
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = 0xFF000000u | static_cast<uint32_t>(Table_[i].Red) << 16 |
                   static_cast<uint32_t>(Table_[i].Green) << 8 | Table_[i].Blue;
    return table;
}

void TColorPalette::Rebuild(bool writeBack) {
    // Strings that have not been applied yet (a stored configuration, an
    // assignment) win over the table.
    if (!PaletteEntries_.empty() && !EntriesSet_) {
        EntriesSet_ = true;
        if (PaletteEntries_.size() == static_cast<size_t>(EntryCount)) ApplyEntries();
    }
    ++Generation_;
    if (writeBack) WriteBack();
}

void TColorPalette::WriteBack() {
    PaletteEntries_.clear();
    PaletteEntries_.reserve(EntryCount);
    for (const TPaletteEntry& e : Table_)
        PaletteEntries_.push_back(std::to_string(e.Red) + "," + std::to_string(e.Green) + "," +
                                  std::to_string(e.Blue));
}

void TColorPalette::ShowMessage(const std::string& message) {
    if (OnMessage) OnMessage(this, message);
}

} // namespace qx
