#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace qx {

class TQuorvexEngine;
class TQxMapObject;

// The map objects sorted into square buckets of cells, so a scanner only
// tests what could lie within its reach instead of the whole galaxy. Built
// afresh for each visibility pass; objects do not move during one.
class TSightIndex {
public:
    enum class Kind : uint8_t { StarSystem, StarShip, Wormhole };
    struct Entry {
        TQxMapObject* Object;
        Kind Type;
    };

    void Build(const TQuorvexEngine& engine);
    void Clear();
    bool Built() const { return Built_; }

    // Every object within Reach cells of (X, Y) on both axes, and maybe a few
    // more; the caller applies the exact test. Only the buckets that overlap
    // the reach are visited (a bucket holds the cells X / kSide, Y / kSide).
    template <typename Visit>
    void ForEachNear(int32_t x, int32_t y, int32_t reach, Visit visit) const {
        for (const Entry& entry : Outside_) visit(entry);
        if (Columns_ == 0) return;
        const int64_t r = std::max<int64_t>(reach, 1);
        // Below zero the division rounds up, but any such bound clamps to 0.
        const int64_t c0 = std::clamp<int64_t>((x - r) / kSide, 0, Columns_ - 1);
        const int64_t c1 = std::clamp<int64_t>((x + r) / kSide, 0, Columns_ - 1);
        const int64_t r0 = std::clamp<int64_t>((y - r) / kSide, 0, Rows_ - 1);
        const int64_t r1 = std::clamp<int64_t>((y + r) / kSide, 0, Rows_ - 1);
        for (int64_t row = r0; row <= r1; ++row)
            for (int64_t column = c0; column <= c1; ++column)
                for (const Entry& entry : Buckets_[static_cast<size_t>(row * Columns_ + column)]) visit(entry);
    }

    // Whether ForEachAdjacent can answer (the map is not too large for a
    // grid of single cells).
    bool HasCells() const { return !CellHeads_.empty(); }
    // Every object on the eight cells around (X, Y) and on (X, Y) itself,
    // and the objects off the map; the caller applies the exact test.
    template <typename Visit>
    void ForEachAdjacent(int32_t x, int32_t y, Visit visit) const {
        for (const Entry& entry : Outside_) visit(entry);
        const int64_t x0 = std::max<int64_t>(int64_t{x} - 1, 0), x1 = std::min<int64_t>(int64_t{x} + 1, Width_ - 1);
        const int64_t y0 = std::max<int64_t>(int64_t{y} - 1, 0), y1 = std::min<int64_t>(int64_t{y} + 1, Height_ - 1);
        for (int64_t cy = y0; cy <= y1; ++cy) {
            const int32_t* row = CellHeads_.data() + cy * Width_;
            for (int64_t cx = x0; cx <= x1; ++cx)
                for (int32_t e = row[cx]; e >= 0; e = CellEntries_[static_cast<size_t>(e)].Next)
                    visit(CellEntries_[static_cast<size_t>(e)].Item);
        }
    }

private:
    static constexpr int32_t kSide = 8;

    void Add(TQxMapObject* object, Kind kind, int32_t width, int32_t height);

    bool Built_ = false;
    int64_t Columns_ = 0;
    int64_t Rows_ = 0;
    std::vector<std::vector<Entry>> Buckets_;
    std::vector<Entry> Outside_;  // objects off the map (only a damaged game has them)
    // The same objects by single cell: a chain of entries per cell.
    struct TCellEntry {
        Entry Item;
        int32_t Cell;
        int32_t Next;
    };
    int64_t Width_ = 0;
    int64_t Height_ = 0;
    std::vector<int32_t> CellHeads_;
    std::vector<TCellEntry> CellEntries_;
};

} // namespace qx
