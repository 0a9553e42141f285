#include "app/StarShipForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPixmap>
#include <QSet>
#include <QVBoxLayout>

#include "app/GameListView.h"
#include "app/InGameHost.h"
#include "controls/ColorButton.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "engine/StarShip.h"

namespace qx {

namespace {

constexpr int SheetColumns = 46;
constexpr int SheetRows = 10;

QString Text(const std::string& text) { return QString::fromStdString(text); }

} // namespace

TfrmStarShipList::TfrmStarShipList(QWidget* parent)
    : TInGameForm("frmStarShipList", "StarShips", "StarShipList", parent) {
    QStringList columns;
    for (int i = 0; i < ShipColumnCount; ++i) columns << ShipColumnCaption(static_cast<TShipColumn>(i));
    list_ = new TGameListView(columns, this);
    list_->setObjectName("lvStarShips");
    list_->SetColumnWidths({0, 50, 70, 62});
    for (int column : {2, 3}) list_->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    list_->OnGameKey = [this](QKeyEvent& event) { ForwardKey(event); };
    connect(list_, &TGameListView::sortRequested, this, [this](int column) {
        if (column >= 0 && column < ShipColumnCount) SortBy(static_cast<TShipColumn>(column));
    });
    connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { ItemClicked(item); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(list_, 1);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(MakeCloseButton());
    layout->addLayout(row);
    resize(360, 320);
    MakeIcons(0);
}

void TfrmStarShipList::SetShipPictures(const QImage& sheet) {
    sheet_ = sheet.convertToFormat(QImage::Format_RGB32);
    const int row = iconRow_ < 0 ? 0 : iconRow_;
    iconRow_ = -1;
    MakeIcons(row);
}

void TfrmStarShipList::MakeIcons(int playerRow) {
    if (playerRow == iconRow_) return;
    iconRow_ = playerRow;
    const int cellWidth = sheet_.width() / SheetColumns;
    const int cellHeight = sheet_.height() / SheetRows;
    for (int type = 0; type < ShipTypeCount; ++type) {
        if (sheet_.isNull() || cellWidth < 1 || cellHeight < 1) {
            icons_[static_cast<size_t>(type)] = QIcon();
            continue;
        }
        const QImage cell = sheet_.copy(2 * type * cellWidth, playerRow * cellHeight, cellWidth, cellHeight);
        icons_[static_cast<size_t>(type)] =
            QIcon(QPixmap::fromImage(cell.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    }
    for (auto it = rows_.cbegin(); it != rows_.cend(); ++it)
        it.key()->setIcon(0, icons_[static_cast<size_t>(it.value().Type)]);
}

QIcon TfrmStarShipList::TypeIcon(TShipType type) const { return icons_[static_cast<size_t>(type)]; }

void TfrmStarShipList::Reset(const TPlayer* player) {
    list_->clear();
    items_.clear();
    rows_.clear();
    const int row = player && player->Index >= 0 && player->Index < SheetRows ? player->Index : 0;
    MakeIcons(row);
}

void TfrmStarShipList::ShowRow(QTreeWidgetItem& item, const TShipRow& row) {
    rows_[&item] = row;
    item.setIcon(0, icons_[static_cast<size_t>(row.Type)]);
    item.setText(0, Text(row.TypeText()));
    item.setText(1, Text(row.Code));
    item.setText(2, Text(row.ValueText()));
    item.setText(3, Text(row.EnginesText()));
    const bool damaged = row.Engines < row.MaxEngines || row.Value < row.MaxValue;
    const QColor color = damaged ? QColor(255, 220, 0) : QColor(0, 255, 255);
    for (int column = 0; column < ShipColumnCount; ++column) item.setForeground(column, color);
    item.setToolTip(0, QString("%1 %2 at %3, %4").arg(Text(row.TypeText()), Text(row.Code)).arg(row.X).arg(row.Y));
}

void TfrmStarShipList::UpdateShip(const TStarShip& ship) {
    const TShipRow row = TShipRow::Of(ship);
    const QString code = Text(row.Code);
    QTreeWidgetItem* item = items_.value(code);
    if (!item) {
        item = new QTreeWidgetItem(list_);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        items_.insert(code, item);
    } else if (rows_.value(item) == row) {
        return;
    }
    ShowRow(*item, row);
}

void TfrmStarShipList::RemoveShip(const TStarShip& ship) { RemoveShip(ship.Code); }

void TfrmStarShipList::RemoveShip(const std::string& code) {
    QTreeWidgetItem* item = items_.take(Text(code));
    if (!item) return;
    rows_.remove(item);
    delete item;
}

void TfrmStarShipList::Synchronize(const TPlayer* player) {
    QSet<QString> present;
    if (player)
        for (const auto& ship : player->StarShips)
            if (!ship->Destroyed) {
                present.insert(Text(ship->Code));
                UpdateShip(*ship);
            }
    const QStringList codes = items_.keys();
    for (const QString& code : codes)
        if (!present.contains(code)) RemoveShip(code.toStdString());
}

void TfrmStarShipList::SortBy(TShipColumn column) {
    std::vector<TShipRow> rows = Rows();
    SortShipRows(rows, column);
    QTreeWidgetItem* current = list_->currentItem();
    const QString currentCode = current ? current->text(1) : QString();
    for (int i = list_->topLevelItemCount() - 1; i >= 0; --i) list_->takeTopLevelItem(i);
    for (const TShipRow& row : rows) list_->addTopLevelItem(items_.value(Text(row.Code)));
    if (QTreeWidgetItem* again = items_.value(currentCode)) list_->setCurrentItem(again);
}

std::vector<TShipRow> TfrmStarShipList::Rows() const {
    std::vector<TShipRow> rows;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) rows.push_back(rows_.value(list_->topLevelItem(i)));
    return rows;
}

int TfrmStarShipList::RowCount() const { return list_->topLevelItemCount(); }

QStringList TfrmStarShipList::RowTexts(int row) const {
    QStringList texts;
    const QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item) return texts;
    for (int column = 0; column < ShipColumnCount; ++column) texts << item->text(column);
    return texts;
}

void TfrmStarShipList::ItemClicked(QTreeWidgetItem* item) {
    if (!item || !rows_.contains(item) || !Host()) return;
    const std::string code = rows_[item].Code;
    const TQuorvexEngine* engine = Host()->Engine();
    // The row names its ship by code; the ship may have moved since the row
    // was last refreshed, or be gone.
    const TStarShip* ship = engine ? engine->FindStarShipByCode(code) : nullptr;
    if (!ship || ship->Destroyed) {
        // Not while the list is still handling the click on that row.
        QMetaObject::invokeMethod(this, [this, code] { RemoveShip(code); }, Qt::QueuedConnection);
        return;
    }
    Host()->CenterOn(ship->X, ship->Y);
}

} // namespace qx
