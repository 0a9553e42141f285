#pragma once

#include <vector>

#include <QHash>

#include "app/InGameForm.h"
#include "app/InGameRules.h"

class QTreeWidgetItem;

namespace qx {

class TGameListView;
class TPlayer;
class TStarSystem;

// "Star Systems": the local player's star systems with their value,
// resources, shields and scanners. A click centres the board on the system
// and selects it; a click on a heading sorts the list once by that column.
class TfrmStarSystemList : public TInGameForm {
    Q_OBJECT
public:
    explicit TfrmStarSystemList(QWidget* parent = nullptr);

    void Reset();
    // Adds the system or refreshes its row.
    void UpdateSystem(const TStarSystem& system);
    void RemoveSystem(const TStarSystem& system);
    void RemoveSystem(int32_t index);
    // Makes the list hold exactly `player`'s star systems, each row up to
    // date; rows keep their places and new systems are appended.
    void Synchronize(const TPlayer* player);
    void SortBy(TSystemColumn column);

    std::vector<TSystemRow> Rows() const;
    int RowCount() const;
    QStringList RowTexts(int row) const;
    TGameListView* List() const { return list_; }

private:
    void ShowRow(QTreeWidgetItem& item, const TSystemRow& row);
    void ItemClicked(QTreeWidgetItem* item);

    TGameListView* list_ = nullptr;
    QHash<int32_t, QTreeWidgetItem*> items_;  // by system index
    QHash<QTreeWidgetItem*, TSystemRow> rows_;
};

} // namespace qx
