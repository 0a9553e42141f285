#pragma once

#include <functional>

#include <QStringList>
#include <QTreeWidget>

class QKeyEvent;

namespace qx {

// A report list in the game's colours for the in-game windows: one row per
// item, fixed columns, a header that asks for sorting when clicked (the
// list itself never re-sorts), and keys that belong to the game screen
// (letters, digits, Escape) handed on instead of searching the list.
class TGameListView : public QTreeWidget {
    Q_OBJECT
public:
    TGameListView(const QStringList& columns, QWidget* parent = nullptr);

    // Fixed widths for the columns; a width of 0 takes the room the others
    // leave.
    void SetColumnWidths(const QList<int>& widths);

    // Receives the keys that are the game screen's.
    std::function<void(QKeyEvent&)> OnGameKey;
    // Whether the game screen takes this key rather than the list.
    static bool IsGameKey(const QKeyEvent& event);

signals:
    void sortRequested(int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace qx
