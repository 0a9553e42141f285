#include "app/StarSystemForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSet>
#include <QVBoxLayout>

#include "app/GameListView.h"
#include "app/InGameHost.h"
#include "controls/ColorButton.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "engine/StarSystem.h"

namespace qx {

TfrmStarSystemList::TfrmStarSystemList(QWidget* parent)
    : TInGameForm("frmStarSystemList", "Star Systems", "StarSystemList", parent) {
    QStringList columns;
    for (int i = 0; i < SystemColumnCount; ++i) columns << SystemColumnCaption(static_cast<TSystemColumn>(i));
    list_ = new TGameListView(columns, this);
    list_->setObjectName("lvStarSystems");
    list_->SetColumnWidths({0, 52, 80, 62, 70});
    for (int column = 1; column < SystemColumnCount; ++column)
        list_->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    list_->OnGameKey = [this](QKeyEvent& event) { ForwardKey(event); };
    connect(list_, &TGameListView::sortRequested, this, [this](int column) {
        if (column >= 0 && column < SystemColumnCount) SortBy(static_cast<TSystemColumn>(column));
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
    resize(420, 320);
}

void TfrmStarSystemList::Reset() {
    list_->clear();
    items_.clear();
    rows_.clear();
}

void TfrmStarSystemList::ShowRow(QTreeWidgetItem& item, const TSystemRow& row) {
    rows_[&item] = row;
    item.setText(0, QString::fromStdString(row.Name));
    item.setText(1, QString::number(row.Value));
    item.setText(2, QString::number(row.ShownResources()));
    item.setText(3, QString::number(row.Shields));
    item.setText(4, QString::number(row.Scanners));
    item.setToolTip(0, QString("%1 at %2, %3").arg(QString::fromStdString(row.Name)).arg(row.X).arg(row.Y));
}

void TfrmStarSystemList::UpdateSystem(const TStarSystem& system) {
    const TSystemRow row = TSystemRow::Of(system);
    QTreeWidgetItem* item = items_.value(row.Index);
    if (!item) {
        item = new QTreeWidgetItem(list_);
        for (int column = 1; column < SystemColumnCount; ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        items_.insert(row.Index, item);
    } else if (rows_.value(item) == row) {
        return;
    }
    ShowRow(*item, row);
    // The capital stands out.
    QFont font = item->font(0);
    font.setBold(system.Capital);
    item->setFont(0, font);
}

void TfrmStarSystemList::RemoveSystem(const TStarSystem& system) { RemoveSystem(system.Index); }

void TfrmStarSystemList::RemoveSystem(int32_t index) {
    QTreeWidgetItem* item = items_.take(index);
    if (!item) return;
    rows_.remove(item);
    delete item;
}

void TfrmStarSystemList::Synchronize(const TPlayer* player) {
    QSet<int32_t> present;
    if (player)
        for (const TStarSystem* system : player->StarSystems) {
            present.insert(system->Index);
            UpdateSystem(*system);
        }
    const QList<int32_t> indices = items_.keys();
    for (int32_t index : indices)
        if (!present.contains(index)) RemoveSystem(index);
}

void TfrmStarSystemList::SortBy(TSystemColumn column) {
    std::vector<TSystemRow> rows = Rows();
    SortSystemRows(rows, column);
    QTreeWidgetItem* current = list_->currentItem();
    const int32_t currentIndex = current ? rows_.value(current).Index : -1;
    for (int i = list_->topLevelItemCount() - 1; i >= 0; --i) list_->takeTopLevelItem(i);
    for (const TSystemRow& row : rows) list_->addTopLevelItem(items_.value(row.Index));
    if (QTreeWidgetItem* again = items_.value(currentIndex)) list_->setCurrentItem(again);
}

std::vector<TSystemRow> TfrmStarSystemList::Rows() const {
    std::vector<TSystemRow> rows;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) rows.push_back(rows_.value(list_->topLevelItem(i)));
    return rows;
}

int TfrmStarSystemList::RowCount() const { return list_->topLevelItemCount(); }

QStringList TfrmStarSystemList::RowTexts(int row) const {
    QStringList texts;
    const QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item) return texts;
    for (int column = 0; column < SystemColumnCount; ++column) texts << item->text(column);
    return texts;
}

void TfrmStarSystemList::ItemClicked(QTreeWidgetItem* item) {
    if (!item || !rows_.contains(item) || !Host()) return;
    const int32_t index = rows_[item].Index;
    const TQuorvexEngine* engine = Host()->Engine();
    // Star systems can be dragged: the engine knows where it stands now.
    const TStarSystem* system = engine ? engine->StarSystemOrNull(index) : nullptr;
    if (engine && (!system || system->Index != index)) {
        system = nullptr;
        for (int i = 0; i < engine->StarSystemCount() && !system; ++i)
            if (engine->GetStarSystem(i)->Index == index) system = engine->GetStarSystem(i);
    }
    if (!system) return;
    Host()->CenterOn(system->X, system->Y);
}

} // namespace qx
