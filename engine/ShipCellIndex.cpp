#include "engine/ShipCellIndex.h"

#include "engine/Player.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"

namespace qx {

namespace {

// Maps larger than this are not worth a grid; the lists are walked instead.
constexpr int64_t kMaxCells = int64_t{1} << 24;

} // namespace

bool TShipCellIndex::Ready(const TPlayerList& players, int32_t width, int32_t height) {
    if (Stale_ || width != Width_ || height != Height_) Rebuild(players, width, height);
    return Usable_;
}

bool TShipCellIndex::SystemsReady(const TSystemList& systems, int32_t width, int32_t height) {
    if (width != Width_ || height != Height_) {
        // The grid follows the map: the ships' rebuild makes it.
        Stale_ = true;
        return false;
    }
    if (!SystemsStale_) return SystemsUsable_;
    SystemsStale_ = false;
    SystemsUsable_ = false;
    if (Heads_.empty()) return false;
    if (Systems_.size() != Heads_.size()) {
        Systems_.assign(Heads_.size(), nullptr);
        SystemCells_.clear();
    }
    for (int32_t cell : SystemCells_) Systems_[static_cast<size_t>(cell)] = nullptr;
    SystemCells_.clear();
    for (const auto& system : systems) {
        const int32_t cell = CellOf(system->X, system->Y);
        if (cell < 0) return false;  // SystemsUsable_ stays false until the next rebuild
        TStarSystem*& first = Systems_[static_cast<size_t>(cell)];
        if (!first) {
            first = system.get();
            SystemCells_.push_back(cell);
        }
    }
    SystemsUsable_ = true;
    return true;
}

void TShipCellIndex::Rebuild(const TPlayerList& players, int32_t width, int32_t height) {
    Stale_ = false;
    Usable_ = false;
    // Only the cells the old entries used need clearing.
    if (width == Width_ && height == Height_) {
        for (const TEntry& entry : Entries_)
            if (entry.Cell >= 0) Heads_[static_cast<size_t>(entry.Cell)] = -1;
    } else {
        Width_ = width;
        Height_ = height;
        Heads_.clear();
        Systems_.clear();
        SystemCells_.clear();
        SystemsStale_ = true;
        if (width < 1 || height < 1 || static_cast<int64_t>(width) * height > kMaxCells) {
            Width_ = Height_ = 0;
            Entries_.clear();
            return;
        }
        Heads_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), -1);
    }
    Entries_.clear();
    for (size_t p = 0; p < players.size(); ++p) {
        const TPlayer* list = players[p].get();
        for (size_t i = 0; i < list->StarShips.size(); ++i) {
            TStarShip* ship = list->StarShips[i].get();
            TEntry entry;
            entry.Ship = ship;
            entry.List = list;
            entry.Order = (static_cast<uint64_t>(p) << 32) | static_cast<uint64_t>(i);
            entry.Cell = CellOf(ship->X, ship->Y);
            Entries_.push_back(entry);
            if (entry.Cell < 0) return;  // Usable_ stays false; the next Ready rebuilds
        }
    }
    // Entries come in order, so linking each at the tail of its cell keeps the
    // cells in order; walking from the end and pushing at the head does that.
    for (int32_t e = static_cast<int32_t>(Entries_.size()) - 1; e >= 0; --e) {
        TEntry& entry = Entries_[static_cast<size_t>(e)];
        entry.Next = Heads_[static_cast<size_t>(entry.Cell)];
        Heads_[static_cast<size_t>(entry.Cell)] = e;
    }
    Usable_ = true;
}

void TShipCellIndex::Link(int32_t e) {
    TEntry& entry = Entries_[static_cast<size_t>(e)];
    int32_t* link = &Heads_[static_cast<size_t>(entry.Cell)];
    while (*link >= 0 && Entries_[static_cast<size_t>(*link)].Order < entry.Order)
        link = &Entries_[static_cast<size_t>(*link)].Next;
    entry.Next = *link;
    *link = e;
}

void TShipCellIndex::Unlink(int32_t e) {
    TEntry& entry = Entries_[static_cast<size_t>(e)];
    int32_t* link = &Heads_[static_cast<size_t>(entry.Cell)];
    while (*link >= 0 && *link != e) link = &Entries_[static_cast<size_t>(*link)].Next;
    if (*link == e) *link = entry.Next;
    entry.Next = -1;
}

void TShipCellIndex::Moved(const TStarShip* ship, int32_t oldX, int32_t oldY) {
    if (Stale_ || !Usable_) return;
    const int32_t oldCell = CellOf(oldX, oldY);
    int32_t e = oldCell < 0 ? -1 : Heads_[static_cast<size_t>(oldCell)];
    while (e >= 0 && Entries_[static_cast<size_t>(e)].Ship != ship) e = Entries_[static_cast<size_t>(e)].Next;
    const int32_t newCell = CellOf(ship->X, ship->Y);
    if (e < 0 || newCell < 0) {
        // Not where the index had it, or off the map: start over.
        Stale_ = true;
        return;
    }
    Unlink(e);
    Entries_[static_cast<size_t>(e)].Cell = newCell;
    Link(e);
}

} // namespace qx
