#include "app/ShipPanel.h"

#include <QCheckBox>
#include <QLabel>

#include "app/GameWidgets.h"
#include "app/Messages.h"
#include "controls/GameStyle.h"
#include "controls/OrderButton.h"
#include "game/CommandInput.h"

namespace qx {

namespace {

constexpr const char* kButtonNames[OrderButtonCount] = {
    "btnMove", "btnTarget", "btnDefend", "btnEscort", "btnPatrol", "btnTransport", "btnClearOrders",
    "btnTug", "btnRelease", "btnGenerate", "btnRepair", "btnDrag", "btnCreateGate", "btnBattleBuildStarShip"};

constexpr int kButtonWidth = 85, kButtonHeight = 21, kButtonTop = 80, kRowStep = 24;

} // namespace

TStarShipPanel::TStarShipPanel(TCommandInput& input, QWidget* parent) : QWidget(parent), input_(input) {
    setObjectName("pnlStarShip");
    using namespace widgets;
    name_ = Caption(this, "gpnlStarShipName", 16, Qt::white);
    name_->setGeometry(4, 2, DesignWidth - 8, 20);
    owner_ = Caption(this, "gpnlStarShipOwner", 13, Qt::white);
    owner_->setGeometry(4, 22, DesignWidth - 8, 16);
    orders_ = Caption(this, "gpnlStarShipOrders", 12, style::Silver());
    orders_->setGeometry(4, 38, DesignWidth - 8, 16);
    enginesLabel_ = Caption(this, "lblEngines", 12, style::Aqua());
    enginesLabel_->setText("Engines:");
    enginesLabel_->setGeometry(4, 56, 52, 18);
    engines_ = Caption(this, "gpnlEngines", 13, Qt::green);
    engines_->setGeometry(56, 56, 38, 18);
    valueLabel_ = Caption(this, "lblValue", 12, style::Aqua());
    valueLabel_->setGeometry(96, 56, 58, 18);
    value_ = Caption(this, "gpnlValue", 13, Qt::green);
    value_->setGeometry(154, 56, 30, 18);

    for (int b = 0; b < OrderButtonCount; ++b) {
        const TOrderButtonInfo& info = OrderButtonInfo(b);
        auto* button = new TOrderButton(this);
        button->setObjectName(kButtonNames[b]);
        button->SetGameStyle();
        button->setFocusPolicy(Qt::NoFocus);
        button->SetCaption(info.Caption);
        button->SetHighlightChar(QChar(info.HotKey));
        button->SetOrderType(info.OrderType);
        button->setToolTip(QString("%1 (key %2)").arg(info.Caption).arg(QChar(info.HotKey).toUpper()));
        button->resize(kButtonWidth, kButtonHeight);
        connect(button, &TColorButton::clicked, this, GuardedSlot([this, b] {
                    input_.OrderButtonClick(b);
                    emit Used();
                }));
        buttons_[static_cast<size_t>(b)] = button;
    }
    attack_ = CheckBox(this, "cbAttackAdjacent", "Attack Adjacent Enemies");
    attack_->setGeometry(4, kButtonTop + 7 * kRowStep + 2, DesignWidth - 8, 18);
    // Only the player's own click sends the order, never a refresh.
    connect(attack_, &QCheckBox::clicked, this, GuardedSlot([this] {
                input_.AttackAdjacentClick(attack_->isChecked());
                emit Used();
            }));
    PlaceButtons();
}

void TStarShipPanel::PlaceButtons() {
    // The offered buttons in panel order, two to a row, without gaps.
    int shown = 0;
    for (TOrderButton* button : buttons_) {
        if (!button->isVisibleTo(this)) continue;
        button->move(4 + (shown % 2) * (kButtonWidth + 7), kButtonTop + (shown / 2) * kRowStep);
        ++shown;
    }
    // The box follows the last row.
    attack_->move(4, kButtonTop + ((shown + 1) / 2) * kRowStep + 2);
}

void TStarShipPanel::Refresh() {
    using namespace widgets;
    const TShipPanelView view = input_.ShipPanel();
    Show(name_, view.Name);
    Show(owner_, view.Owner);
    Show(orders_, view.Orders);
    SetVisible(enginesLabel_, view.Engines.Visible);
    Show(engines_, view.Engines);
    Show(valueLabel_, view.ValueLabel);
    Show(value_, view.Value);
    bool moved = false;
    for (int b = 0; b < OrderButtonCount; ++b) {
        TOrderButton* button = buttons_[static_cast<size_t>(b)];
        const bool visible = view.Buttons[static_cast<size_t>(b)];
        if (button->isVisibleTo(this) != visible) {
            button->setVisible(visible);
            moved = true;
        }
    }
    if (moved) PlaceButtons();
    SetVisible(attack_, view.AttackAdjacentVisible);
    if (attack_->isChecked() != view.AttackAdjacent) attack_->setChecked(view.AttackAdjacent);
}

} // namespace qx
