#pragma once

#include "controls/OwnerDrawListBox.h"
#include "engine/ShipTypes.h"

namespace qx {

class TCellImage;
class TQuorvexEngine;

// A list of StarShip types, each item drawn with the type's picture in the
// colour of the engine's current player (the first player's without one) and
// its name. Each item carries its type.
class TStarShipListBox : public TOwnerDrawListBox {
    Q_OBJECT
public:
    explicit TStarShipListBox(QWidget* parent = nullptr);

    TCellImage* StarShipCells() const { return cells_; }
    void SetStarShipCells(TCellImage* cells);
    const TQuorvexEngine* QuorvexEngine() const { return engine_; }
    void SetQuorvexEngine(const TQuorvexEngine* engine);

    // Lists the types of the set in type order.
    void SetShipTypes(TShipTypeSet types);
    TShipTypeSet ShipTypes() const { return types_; }
    // Selects the item of that type (nothing when it is not listed).
    void SelectType(TShipType type);
    // The type of the current selected item; WarShip when none is.
    TShipType SelectedType() const;
    // The types of every selected item.
    TShipTypeSet SelectedTypes() const;
    // The type an item carries.
    TShipType ItemType(int index) const;

    void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) override;

private:
    TCellImage* cells_ = nullptr;
    const TQuorvexEngine* engine_ = nullptr;
    TShipTypeSet types_;
};

} // namespace qx
