#include "app/StarSystemPanel.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>

#include "app/GameWidgets.h"
#include "app/Messages.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "game/CommandInput.h"

namespace qx {

TStarSystemPanel::TStarSystemPanel(TCommandInput& input, QWidget* parent) : QWidget(parent), input_(input) {
    setObjectName("pnlStarSystem");
    using namespace widgets;
    name_ = Caption(this, "gpnlStarSystemName", 16, Qt::white);
    name_->setGeometry(4, 2, DesignWidth - 8, 20);
    owner_ = Caption(this, "gpnlStarSystemOwner", 13, Qt::white);
    owner_->setGeometry(4, 22, DesignWidth - 8, 16);
    value_ = Row("gpnlStarSystemValue", "Value:", 42);
    resources_ = Row("gpnlStarSystemResources", "Resources:", 60);
    shields_ = Row("gpnlStarSystemShields", "Shields:", 84);
    scanners_ = Row("gpnlStarSystemScanners", "Scanners:", 110);
    bonus_ = Caption(this, "gpnlStarSystemBonus", 12, QColor(255, 220, 0));
    bonus_->setGeometry(4, 134, DesignWidth - 8, 16);
    bonus_->setToolTip("Double-click to choose the ship type this system builds by itself");
    bonus_->installEventFilter(this);

    const auto button = [&](const char* name, const QString& caption, QChar hot, const QRect& rect) {
        TColorButton* b = Button(this, name, caption, hot);
        b->setGeometry(rect);
        own_ << b;
        return b;
    };
    buildShield_ = button("btnBuildShield", "Build", QChar(), QRect(94, 82, 40, 21));
    buildShield_->setToolTip("Build Shield");
    buildScanner_ = button("btnBuildScanner", "Build", QChar(), QRect(94, 108, 40, 21));
    buildScanner_->setToolTip("Build Scanner");
    autoShields_ = CheckBox(this, "cbAutoShields", "Auto");
    autoShields_->setGeometry(137, 84, 48, 18);
    autoShields_->setToolTip("Build shields by itself with every impulse's resources");
    autoScanners_ = CheckBox(this, "cbAutoScanners", "Auto");
    autoScanners_->setGeometry(137, 110, 48, 18);
    autoScanners_->setToolTip("Build scanners by itself with every impulse's resources");
    own_ << autoShields_ << autoScanners_;

    buildShip_ = button("btnBuildStarShip", "Build StarShip", QChar('B'), QRect(4, 156, DesignWidth - 8, 21));
    autoStarShip_ = CheckBox(this, "cbAutoStarShip", "Auto");
    autoStarShip_->setGeometry(4, 184, 50, 18);
    autoStarShip_->setToolTip("Build this StarShip type by itself whenever the resources allow");
    autoShip_ = Caption(this, "gpnlAutoBuild", 12, style::Silver());
    autoShip_->setGeometry(56, 184, 98, 18);
    autoShip_->installEventFilter(this);
    queue_ = button("btnStarShipQueue", "...", QChar(), QRect(156, 183, 25, 20));
    queue_->setToolTip("Choose the StarShip type this system builds by itself");
    own_ << autoStarShip_ << autoShip_;

    connect(buildShield_, &TColorButton::clicked, this, GuardedSlot([this] {
                input_.BuildShieldClick();
                emit Used();
            }));
    connect(buildScanner_, &TColorButton::clicked, this, GuardedSlot([this] {
                input_.BuildScannerClick();
                emit Used();
            }));
    connect(buildShip_, &TColorButton::clicked, this, GuardedSlot([this] {
                input_.BuildStarShipClick();
                emit Used();
            }));
    connect(queue_, &TColorButton::clicked, this, GuardedSlot([this] {
                input_.ChooseAutoShipTypeClick();
                emit Used();
            }));
    // The player's own ticks only, never the panel's refresh.
    connect(autoShields_, &QCheckBox::clicked, this, GuardedSlot([this] {
                input_.AutoShieldsClick(autoShields_->isChecked());
                emit Used();
            }));
    connect(autoScanners_, &QCheckBox::clicked, this, GuardedSlot([this] {
                input_.AutoScannersClick(autoScanners_->isChecked());
                emit Used();
            }));
    connect(autoStarShip_, &QCheckBox::clicked, this, GuardedSlot([this] {
                input_.AutoStarShipClick(autoStarShip_->isChecked());
                emit Used();
            }));
}

QLabel* TStarSystemPanel::Row(const QString& name, const QString& caption, int y) {
    QLabel* label = widgets::Caption(this, name + "Label", 12, style::Aqua());
    label->setText(caption);
    label->setGeometry(4, y, 64, 18);
    QLabel* value = widgets::Caption(this, name, 13, Qt::white);
    value->setGeometry(68, y, 26, 18);
    seen_ << label << value;
    return value;
}

bool TStarSystemPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && (watched == bonus_ || watched == autoShip_) &&
        buildShip_->isVisibleTo(this)) {
        Guarded([this] {
            input_.ChooseAutoShipTypeClick();
            emit Used();
        });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TStarSystemPanel::Refresh() {
    using namespace widgets;
    const TStarSystemPanelView view = input_.StarSystemPanel();
    Show(name_, view.Name);
    Show(owner_, view.Owner);
    SetText(value_, QString::fromStdString(view.Value));
    SetText(resources_, QString::fromStdString(view.Resources));
    SetText(shields_, QString::fromStdString(view.Shields));
    SetText(scanners_, QString::fromStdString(view.Scanners));
    for (QWidget* widget : seen_) SetVisible(widget, view.Seen);
    Show(bonus_, view.Bonus);
    SetVisible(bonus_, view.Seen && view.Bonus.Visible && !view.Bonus.Text.empty());
    for (QWidget* widget : own_) SetVisible(widget, view.Own);
    SetVisible(buildShield_, view.Own);
    SetVisible(buildScanner_, view.Own);
    SetVisible(buildShip_, view.Own);
    SetVisible(queue_, view.Own);
    if (autoShields_->isChecked() != view.AutoShields) autoShields_->setChecked(view.AutoShields);
    if (autoScanners_->isChecked() != view.AutoScanners) autoScanners_->setChecked(view.AutoScanners);
    if (autoStarShip_->isChecked() != view.AutoStarShip) autoStarShip_->setChecked(view.AutoStarShip);
    const QString caption = QString::fromStdString(view.AutoShipCaption);
    SetText(autoShip_, caption.isEmpty() ? QString("(none)") : caption);
}

} // namespace qx
