#include "app/LobbyLook.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTreeWidget>

#include "controls/GameStyle.h"

namespace qx {

void ApplyListLook(QTreeWidget* list) {
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFont(TextFont(12));
    list->header()->setFont(DisplayFont(13));
    list->header()->setStretchLastSection(true);
    list->setStyleSheet(
        "QTreeWidget { background: black; alternate-background-color: rgb(0, 24, 32); color: white;"
        " border: 1px solid rgb(0, 128, 128); selection-background-color: rgb(0, 0, 128); }"
        "QHeaderView::section { background: black; color: rgb(0, 255, 255); border: 0;"
        " border-bottom: 1px solid rgb(0, 128, 128); padding: 2px 4px; }");
}

void ApplyFieldLook(QWidget* widget) {
    static const QString look =
        "QLineEdit, QPlainTextEdit, QListWidget { background: rgb(0, 0, 24); color: white;"
        " border: 1px solid rgb(0, 128, 128); padding: 1px 3px; }"
        "QLineEdit:focus, QPlainTextEdit:focus { border: 1px solid rgb(0, 255, 255); }"
        "QLineEdit[readOnly=\"true\"], QPlainTextEdit[readOnly=\"true\"] { background: black;"
        " color: rgb(220, 235, 235); border: 1px solid rgb(0, 72, 72); }";
    // Each field on its own: a style sheet on a window would take the
    // colours of its captions too.
    QList<QWidget*> fields;
    for (QWidget* field : widget->findChildren<QLineEdit*>()) fields << field;
    for (QWidget* field : widget->findChildren<QPlainTextEdit*>()) fields << field;
    for (QWidget* field : widget->findChildren<QListWidget*>()) fields << field;
    if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
        qobject_cast<QListWidget*>(widget))
        fields << widget;
    for (QWidget* field : fields) field->setStyleSheet(look);
}

void ApplyChoiceLook(QRadioButton* choice) {
    QPalette colors = choice->palette();
    colors.setColor(QPalette::Base, QColor(0, 56, 64));
    colors.setColor(QPalette::Text, Qt::white);
    colors.setColor(QPalette::WindowText, style::Aqua());
    colors.setColor(QPalette::Dark, style::Aqua());
    colors.setColor(QPalette::Mid, style::Teal());
    choice->setPalette(colors);
}

} // namespace qx
