#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace qx {

class TPlayer;
class TStarShip;
class TStarSystem;

// Which star ships and star systems stand on which cell, for the lookups of
// one impulse's actions (neighbours to attack, cells to step into) or of a
// brain's turn. The ships of a cell are kept in player and list order, so a
// lookup finds the same ship a walk over every list would; a cell names the
// first of its star systems in list order. Ship moves are told to the index as
// they happen; any change of the lists only marks it stale, and the next
// lookup rebuilds it. An object standing outside the map makes the index
// decline (Usable is false) and the callers walk the lists.
class TShipCellIndex {
public:
    using TPlayerList = std::vector<std::unique_ptr<TPlayer>>;

    // One ship of a cell and the player whose list holds it.
    struct TEntry {
        TStarShip* Ship = nullptr;
        const TPlayer* List = nullptr;
        uint64_t Order = 0;  // player position, then list position
        int32_t Cell = 0;
        int32_t Next = -1;
    };

    using TSystemList = std::vector<std::unique_ptr<TStarSystem>>;

    void Invalidate() {
        Stale_ = true;
        SystemsStale_ = true;
    }
    // A star system moved, or the list of them changed.
    void InvalidateSystems() { SystemsStale_ = true; }
    // Rebuilds when stale; false when the index cannot answer.
    bool Ready(const TPlayerList& players, int32_t width, int32_t height);
    bool SystemsReady(const TSystemList& systems, int32_t width, int32_t height);
    // The first star system in list order at the cell (after SystemsReady).
    TStarSystem* SystemAt(int32_t x, int32_t y) const {
        const int32_t cell = CellOf(x, y);
        return cell < 0 ? nullptr : Systems_[static_cast<size_t>(cell)];
    }
    // A ship went from (oldX, oldY) to where it stands now.
    void Moved(const TStarShip* ship, int32_t oldX, int32_t oldY);

    // The first entry of the cell, -1 for none (or a cell outside the map).
    int32_t First(int32_t x, int32_t y) const {
        if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return -1;
        return Heads_[static_cast<size_t>(y) * static_cast<size_t>(Width_) + static_cast<size_t>(x)];
    }
    const TEntry& Entry(int32_t i) const { return Entries_[static_cast<size_t>(i)]; }

private:
    void Rebuild(const TPlayerList& players, int32_t width, int32_t height);
    void Link(int32_t entry);
    void Unlink(int32_t entry);
    int32_t CellOf(int32_t x, int32_t y) const {
        if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return -1;
        return y * Width_ + x;
    }

    bool Stale_ = true;
    bool Usable_ = false;
    int32_t Width_ = 0;
    int32_t Height_ = 0;
    std::vector<int32_t> Heads_;
    std::vector<TEntry> Entries_;
    // Per cell its first star system; the cells in use, to clear them again.
    bool SystemsStale_ = true;
    bool SystemsUsable_ = false;
    std::vector<TStarSystem*> Systems_;
    std::vector<int32_t> SystemCells_;
};

} // namespace qx
