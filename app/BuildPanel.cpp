#include "app/BuildPanel.h"

#include <cstdlib>

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>

#include "app/GameWidgets.h"
#include "app/Messages.h"
#include "controls/CellImage.h"
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

// An arrowhead pointing (dx, dy) away from the builder: a wedge for the
// sides, a corner for the diagonals.
QImage Arrow(int dx, int dy) {
    QImage image(11, 11, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRgb aqua = style::Aqua().rgb();
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x) {
            // Distance along the arrow (0 at its tip) and across it.
            bool lit = false;
            if (dx != 0 && dy != 0) {
                const int fx = dx < 0 ? x : 10 - x, fy = dy < 0 ? y : 10 - y;
                lit = fx + fy <= 9;
            } else {
                const int along = dx < 0 ? x : dx > 0 ? 10 - x : dy < 0 ? y : 10 - y;
                const int across = dx != 0 ? y - 5 : x - 5;
                lit = along >= 1 && along <= 8 && std::abs(across) <= (along - 1) * 5 / 8;
            }
            if (lit) image.setPixel(x, y, aqua);
        }
    return image;
}

} // namespace

TBuildPanel::TBuildPanel(TCommandInput& input, const QString& dataFolder, const TQuorvexEngine* engine,
                         QWidget* parent)
    : QWidget(parent), input_(input) {
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
    // Each type with its picture in the player's colour.
    cells_ = new TCellImage(this);
    cells_->setObjectName("cellBuildStarShips");
    cells_->SetNumCellsX(46);
    cells_->SetNumCellsY(10);
    cells_->hide();
    const QImage ships(QDir(dataFolder).filePath("StarShips.bmp"));
    if (!ships.isNull()) cells_->SetPicture(ships.convertToFormat(QImage::Format_RGB32));
    list_->SetStarShipCells(cells_);
    list_->SetQuorvexEngine(engine);

    const int top = 154;
    enginesLabel_ = Caption(this, "lblBuildEngines", 12, style::Aqua());
    enginesLabel_->setText("Engines:");
    enginesLabel_->setGeometry(4, top, 60, 20);
    engines_ = SpinBox(this, "spinEngines", 1, 20);
    engines_->setGeometry(64, top, 42, 20);
    engines_->setToolTip("Double-click for the most engines the builder can pay for");
    weaponsLabel_ = Caption(this, "lblBuildWeapons", 12, style::Aqua());
    weaponsLabel_->setGeometry(4, top + 24, 60, 20);
    weapons_ = SpinBox(this, "spinWeapons", 1, 20);
    weapons_->setGeometry(64, top + 24, 42, 20);
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
