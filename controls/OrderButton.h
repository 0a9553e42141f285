#pragma once

#include "controls/ColorButton.h"
#include "engine/ShipTypes.h"

namespace qx {

// A StarShip order button: a TColorButton that names the order it gives, so
// the order buttons of the ship panel can share one handler.
class TOrderButton : public TColorButton {
    Q_OBJECT
public:
    explicit TOrderButton(QWidget* parent = nullptr) : TColorButton(parent) {}

    TOrder OrderType() const { return orderType_; }
    void SetOrderType(TOrder order) { orderType_ = order; }

private:
    TOrder orderType_ = ordNone;
};

} // namespace qx
