#pragma once

#include <array>
#include <vector>

#include <QHash>
#include <QIcon>
#include <QImage>

#include "app/InGameForm.h"
#include "app/InGameRules.h"

class QTreeWidgetItem;

namespace qx {

class TGameListView;
class TPlayer;
class TStarShip;

// "StarShips": the local player's ships with their type, code, extra value
// and engines. A click on a ship centres the board on it and selects it; a
// click on a heading sorts the list once by that column.
class TfrmStarShipList : public TInGameForm {
    Q_OBJECT
public:
    explicit TfrmStarShipList(QWidget* parent = nullptr);

    // The ship picture sheet (46 x 10 cells, a row per player): the 16 x 16
    // type pictures are made from the first frame of each type in the row
    // of the player the list belongs to.
    void SetShipPictures(const QImage& sheet);
    // Empties the list; the pictures take `player`'s colours (row 0 without one).
    void Reset(const TPlayer* player = nullptr);
    // Adds the ship or refreshes its row.
    void UpdateShip(const TStarShip& ship);
    void RemoveShip(const TStarShip& ship);
    void RemoveShip(const std::string& code);
    // Makes the list hold exactly `player`'s ships that are not destroyed,
    // each row up to date; rows keep their places and new ships are appended.
    void Synchronize(const TPlayer* player);
    // Sorts the rows once by a column.
    void SortBy(TShipColumn column);

    // The rows in the order shown.
    std::vector<TShipRow> Rows() const;
    int RowCount() const;
    // The texts of row `row`, column by column.
    QStringList RowTexts(int row) const;
    QIcon TypeIcon(TShipType type) const;
    TGameListView* List() const { return list_; }

private:
    void ShowRow(QTreeWidgetItem& item, const TShipRow& row);
    void MakeIcons(int playerRow);
    void ItemClicked(QTreeWidgetItem* item);

    TGameListView* list_ = nullptr;
    QImage sheet_;
    int iconRow_ = -1;
    std::array<QIcon, ShipTypeCount> icons_;
    QHash<QString, QTreeWidgetItem*> items_;  // by ship code
    QHash<QTreeWidgetItem*, TShipRow> rows_;
};

} // namespace qx
