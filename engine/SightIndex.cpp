#include "engine/SightIndex.h"

#include "engine/QuorvexEngine.h"

namespace qx {

namespace {

// Maps larger than this get no grid of single cells.
constexpr int64_t kMaxCells = int64_t{1} << 22;

} // namespace

void TSightIndex::Build(const TQuorvexEngine& engine) {
    const int32_t width = std::max(engine.MapWidth, 0);
    const int32_t height = std::max(engine.MapHeight, 0);
    // Only the cells the last pass used need clearing.
    if (width == Width_ && height == Height_) {
        for (const TCellEntry& entry : CellEntries_) CellHeads_[static_cast<size_t>(entry.Cell)] = -1;
    } else {
        Width_ = width;
        Height_ = height;
        CellHeads_.clear();
        if (static_cast<int64_t>(width) * height <= kMaxCells)
            CellHeads_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), -1);
    }
    CellEntries_.clear();
    Columns_ = (static_cast<int64_t>(width) + kSide - 1) / kSide;
    Rows_ = (static_cast<int64_t>(height) + kSide - 1) / kSide;
    if (Columns_ == 0 || Rows_ == 0) Columns_ = Rows_ = 0;
    // Keep the buckets' storage from pass to pass.
    Buckets_.resize(static_cast<size_t>(Columns_ * Rows_));
    for (auto& bucket : Buckets_) bucket.clear();
    Outside_.clear();

    for (int i = 0; i < engine.StarSystemCount(); ++i) Add(engine.GetStarSystem(i), Kind::StarSystem, width, height);
    for (int p = 0; p < engine.PlayerCount(); ++p)
        for (const auto& ship : engine.GetPlayer(p)->StarShips) Add(ship.get(), Kind::StarShip, width, height);
    for (int i = 0; i < engine.WormholeCount(); ++i) Add(engine.GetWormhole(i), Kind::Wormhole, width, height);
    Built_ = true;
}

void TSightIndex::Clear() { Built_ = false; }

void TSightIndex::Add(TQxMapObject* object, Kind kind, int32_t width, int32_t height) {
    if (Columns_ == 0 || object->X < 0 || object->Y < 0 || object->X >= width || object->Y >= height) {
        Outside_.push_back({object, kind});
        return;
    }
    Buckets_[static_cast<size_t>((object->Y / kSide) * Columns_ + object->X / kSide)].push_back({object, kind});
    if (CellHeads_.empty()) return;
    const auto cell = static_cast<int32_t>(static_cast<int64_t>(object->Y) * width + object->X);
    CellEntries_.push_back({{object, kind}, cell, CellHeads_[static_cast<size_t>(cell)]});
    CellHeads_[static_cast<size_t>(cell)] = static_cast<int32_t>(CellEntries_.size() - 1);
}

} // namespace qx
