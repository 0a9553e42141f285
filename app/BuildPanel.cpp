#include "app/BuildPanel.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>

#include "app/GameWidgets.h"
#include "app/Messages.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "controls/StarShipListBox.h"
#include "game/CommandInput.h"

namespace qx {

namespace {

constexpr const char* kDirectionNames[TBuildPanelModel::DirectionCount] = {
    "btnBuildUL", "btnBuildU", "btnBuildUR", "btnBuildL", "btnBuildR", "btnBuildDL", "btnBuildD", "btnBuildDR"};
constexpr const char* kDirectionHints[TBuildPanelModel::DirectionCount] = {
    "Build up and left", "Build above", "Build up and right", "Build to the left", "Build to the right",
    "Build down and left", "Build below", "Build down and right"};

// An arrowhead pointing (dx, dy) away from the builder.
QImage Arrow(int dx, int dy) {
    QImage image(12, 12, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(6, 6);
    painter.rotate(std::atan2(dy, dx) * 180.0 / 3.14159265358979);
    painter.setPen(Qt::NoPen);
    painter.setBrush(style::Aqua());
    const QPoint head[3] = {QPoint(5, 0), QPoint(-4, -5), QPoint(-4, 5)};
    painter.drawPolygon(head, 3);
    return image;
}

} // namespace

TBuildPanel::TBuildPanel(TCommandInput& input, QWidget* parent) : QWidget(parent), input_(input) {
    setObjectName("pnlBuildStarShip");
    using namespace widgets;
    available_ = Caption(this, "gpnlAvailable", 13, QColor(255, 220, 0));
    available_->setGeometry(4, 2, DesignWidth - 8, 16);

    list_ = new TStarShipListBox(this);
    list_->setObjectName("lbStarShipBuild");
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setFont(DisplayFont(13));
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette colors = list_->palette();
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::Text, style::Aqua());
    colors.setColor(QPalette::WindowText, style::Teal());
    list_->setPalette(colors);
    list_->setGeometry(4, 20, DesignWidth - 8, 7 * 18 + 4);

    const int top = 154;
    enginesLabel_ = Caption(this, "lblBuildEngines", 12, style::Aqua());
    enginesLabel_->setText("Engines:");
    enginesLabel_->setGeometry(4, top, 56, 20);
    engines_ = SpinBox(this, "spinEngines", 1, 20);
    engines_->setGeometry(60, top, 44, 20);
    engines_->setToolTip("Double-click for the most engines the builder can pay for");
    weaponsLabel_ = Caption(this, "lblBuildWeapons", 12, style::Aqua());
    weaponsLabel_->setGeometry(4, top + 24, 56, 20);
    weapons_ = SpinBox(this, "spinWeapons", 1, 20);
    weapons_->setGeometry(60, top + 24, 44, 20);
    weapons_->setToolTip("Double-click for the highest value the builder can pay for");
    cloaked_ = CheckBox(this, "cbCloaked", "Cloaked");
    cloaked_->setGeometry(4, top + 48, 100, 18);
    cost_ = Caption(this, "gpnlCost", 13, Qt::white);
    cost_->setGeometry(4, top + 68, 104, 18);
    for (QSpinBox* spin : {engines_, weapons_})
        if (QLineEdit* edit = spin->findChild<QLineEdit*>()) edit->installEventFilter(this);

    // Eight directions around "-", as the neighbouring cells lie.
    constexpr int kSide = 24, kLeft = 108;
    for (int b = 0; b < TBuildPanelModel::DirectionCount; ++b) {
        const int dx = TBuildPanelModel::DirectionDX(b), dy = TBuildPanelModel::DirectionDY(b);
        TColorButton* button = Button(this, kDirectionNames[b], QString());
        button->SetCaption(QString());
        button->SetGlyph(Arrow(dx, dy));
        button->setToolTip(kDirectionHints[b]);
        button->setGeometry(kLeft + (dx + 1) * (kSide + 1), top + (dy + 1) * (kSide + 1), kSide, kSide);
        connect(button, &TColorButton::clicked, this, GuardedSlot([this, b] {
                    input_.BuildDirectionClick(b);
                    emit Used();
                }));
        directions_[static_cast<size_t>(b)] = button;
    }
    cancel_ = Button(this, "btnCancelBuild", "-");
    cancel_->setToolTip("Back to the panel before");
    cancel_->setGeometry(kLeft + kSide + 1, top + kSide + 1, kSide, kSide);
    select_ = Button(this, "btnSelectAutoType", "Select", QChar('S'));
    select_->setGeometry(4, top + 92, 85, 21);
    cancelAuto_ = Button(this, "btnCancelAutoType", "Cancel", QChar('C'));
    cancelAuto_->setGeometry(96, top + 92, 85, 21);

    connect(cancel_, &TColorButton::clicked, this, GuardedSlot([this] {
                input_.CancelBuildClick();
                emit Used();
            }));
    connect(select_, &TColorButton::clicked, this, GuardedSlot([this] {
                input_.SelectAutoShipTypeClick();
                emit Used();
            }));
    connect(cancelAuto_, &TColorButton::clicked, this, GuardedSlot([this] {
                input_.CancelAutoShipTypeClick();
                emit Used();
            }));
    connect(list_, &QListWidget::currentRowChanged, this, GuardedSlot([this] {
                if (updating_) return;
                input_.BuildPanel().SelectIndex(list_->currentRow());
                Changed();
            }));
    connect(engines_, &QSpinBox::valueChanged, this, GuardedSlot([this] {
                if (updating_) return;
                input_.BuildPanel().SetEngines(engines_->value());
                Changed();
            }));
    connect(weapons_, &QSpinBox::valueChanged, this, GuardedSlot([this] {
                if (updating_) return;
                input_.BuildPanel().SetWeapons(weapons_->value());
                Changed();
            }));
    connect(cloaked_, &QCheckBox::clicked, this, GuardedSlot([this] {
                input_.BuildPanel().SetCloaked(cloaked_->isChecked());
                Changed();
            }));
}

void TBuildPanel::Changed() {
    Refresh();
    emit Used();
}

bool TBuildPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        const bool engines = watched->parent() == engines_, weapons = watched->parent() == weapons_;
        if (engines || weapons) {
            Guarded([&] {
                if (engines)
                    input_.BuildPanel().MaximiseEngines();
                else
                    input_.BuildPanel().MaximiseWeapons();
                Changed();
            });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TBuildPanel::Refresh() {
    using namespace widgets;
    const TBuildPanelModel& model = input_.BuildPanel();
    updating_ = true;
    // The list follows the model's types, in its order.
    const std::vector<TShipType>& types = model.Types();
    bool same = list_->count() == static_cast<int>(types.size());
    for (int i = 0; same && i < list_->count(); ++i) same = list_->ItemType(i) == types[static_cast<size_t>(i)];
    if (!same) {
        list_->clear();
        for (TShipType type : types) list_->AddItem(QString::fromLatin1(ShipTypeName(type)), static_cast<int>(type));
    }
    const int selected = model.SelectedIndex();
    if (list_->currentRow() != selected) list_->setCurrentRow(selected);
    if (selected >= 0 && list_->item(selected) && !list_->item(selected)->isSelected())
        list_->item(selected)->setSelected(true);

    SetText(available_, QString("Available: %1").arg(static_cast<long long>(model.Available())));
    if (engines_->value() != model.Engines()) engines_->setValue(model.Engines());
    engines_->setEnabled(model.EnginesEnabled());
    const bool weapons = model.WeaponsVisible();
    SetVisible(weaponsLabel_, weapons);
    SetVisible(weapons_, weapons);
    SetText(weaponsLabel_, QString::fromStdString(model.WeaponsLabel()) + ":");
    if (weapons_->value() != model.Weapons()) weapons_->setValue(model.Weapons());
    if (cloaked_->isChecked() != model.Cloaked()) cloaked_->setChecked(model.Cloaked());
    SetText(cost_, QString("Total Cost: %1").arg(model.Cost()));
    for (int b = 0; b < TBuildPanelModel::DirectionCount; ++b)
        SetVisible(directions_[static_cast<size_t>(b)], !model.ChoosingAutoType && model.DirectionVisible(b));
    SetVisible(select_, model.ChoosingAutoType);
    SetVisible(cancelAuto_, model.ChoosingAutoType);
    updating_ = false;
}

} // namespace qx
