#include "app/GameListView.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "controls/GameStyle.h"

namespace qx {

TGameListView::TGameListView(const QStringList& columns, QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(static_cast<int>(columns.size()));
    setHeaderLabels(columns);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setIconSize(QSize(16, 16));
    setFont(TextFont(12));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette colors = palette();
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::AlternateBase, QColor(0, 16, 24));
    colors.setColor(QPalette::Text, style::Aqua());
    colors.setColor(QPalette::Highlight, style::Navy());
    colors.setColor(QPalette::HighlightedText, Qt::white);
    colors.setColor(QPalette::Window, Qt::black);
    colors.setColor(QPalette::WindowText, style::Aqua());
    colors.setColor(QPalette::Button, QColor(0, 40, 48));
    colors.setColor(QPalette::ButtonText, Qt::white);
    setPalette(colors);
    setAlternatingRowColors(true);
    setFrameShape(QFrame::Box);
    QHeaderView* top = header();
    top->setSectionsClickable(true);
    top->setSectionsMovable(false);
    top->setHighlightSections(false);
    top->setFont(DisplayFont(13));
    top->setStyleSheet("QHeaderView::section { background: #002830; color: white; border: 0px;"
                       " border-right: 1px solid #008080; border-bottom: 1px solid #008080; padding: 2px 4px; }");
    top->setToolTip("Click a heading to sort the list by it");
    connect(top, &QHeaderView::sectionClicked, this, &TGameListView::sortRequested);
}

void TGameListView::SetColumnWidths(const QList<int>& widths) {
    QHeaderView* top = header();
    top->setStretchLastSection(false);
    top->setMinimumSectionSize(24);
    for (int column = 0; column < widths.size() && column < columnCount(); ++column) {
        if (widths[column] > 0) {
            top->setSectionResizeMode(column, QHeaderView::Fixed);
            top->resizeSection(column, widths[column]);
        } else {
            top->setSectionResizeMode(column, QHeaderView::Stretch);
        }
    }
}

bool TGameListView::IsGameKey(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Escape) return true;
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = event.text();
    return text.size() == 1 && text[0].isLetterOrNumber();
}

void TGameListView::keyPressEvent(QKeyEvent* event) {
    if (OnGameKey && IsGameKey(*event)) {
        OnGameKey(*event);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace qx
