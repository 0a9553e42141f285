#include "app/SelectBrainsForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/GameDialogs.h"
#include "app/GameWidgets.h"
#include "app/Messages.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "game/GameSetup.h"

namespace qx {

TfrmSelectBrains::TfrmSelectBrains(TBrainSelection& brains, const TQuorvexEngine& engine, QWidget* parent)
    : QDialog(parent), brains_(brains), engine_(engine) {
    setObjectName("frmSelectBrains");
    setWindowTitle("Select Brains for Computer Players");
    ApplyGameLook(this);
    setFixedSize(420, 320);

    QLabel* title = widgets::Caption(this, "lblBrainsTitle", 15, style::Aqua());
    title->setText("Brains for the computer players");
    title->setGeometry(10, 6, 400, 20);
    QLabel* hint = widgets::Caption(this, "lblBrainsHint", 12, style::Silver());
    hint->setText("Pick a brain in the list, then press << beside a player.");
    hint->setGeometry(10, 26, 400, 16);

    for (int row = 0; row < Rows; ++row) {
        const int y = 48 + row * 24;
        QLabel* label = widgets::Caption(this, QString("lblPlayer%1").arg(row + 1), 13, Qt::white);
        label->setText(QString("Player %1").arg(row + 1));
        label->setGeometry(10, y, 70, 20);
        auto* name = new QLineEdit(this);
        name->setObjectName(QString("edtBrain%1").arg(row));
        name->setFont(DisplayFont(13));
        name->setMaxLength(64);
        name->setGeometry(82, y, 120, 20);
        TColorButton* use = widgets::Button(this, QString("btnBrain%1").arg(row), "<<");
        use->setToolTip("Use the brain chosen in the list");
        use->setGeometry(206, y, 30, 20);
        connect(use, &TColorButton::clicked, this, GuardedSlot([this, row] { UseSelected(row); }));
        labels_[static_cast<size_t>(row)] = label;
        names_[static_cast<size_t>(row)] = name;
        buttons_[static_cast<size_t>(row)] = use;
    }
    list_ = new QListWidget(this);
    list_->setObjectName("lbBrains");
    list_->setFont(DisplayFont(13));
    list_->setGeometry(246, 48, 164, 230);
    TColorButton* proceed = widgets::Button(this, "btnBrainsProceed", "Proceed", QChar('P'));
    proceed->setGeometry(320, 288, 90, 22);
    connect(proceed, &TColorButton::clicked, this, GuardedSlot([this] { Proceed(); }));
}

void TfrmSelectBrains::Prepare(int humans, int players) {
    list_->clear();
    for (const std::string& brain : brains_.BrainFiles()) list_->addItem(QString::fromStdString(brain));
    if (list_->count() > 0) list_->setCurrentRow(0);
    for (int row = 0; row < Rows; ++row) {
        const bool visible = TBrainSelection::RowVisible(row, humans, players);
        TPlayer colour(const_cast<TQuorvexEngine*>(&engine_));
        colour.Index = row;
        widgets::SetColor(labels_[static_cast<size_t>(row)], widgets::ToQColor(colour.Color()));
        names_[static_cast<size_t>(row)]->setText(QString::fromStdString(brains_.Name(row)));
        for (QWidget* widget : {static_cast<QWidget*>(labels_[static_cast<size_t>(row)]),
                                static_cast<QWidget*>(names_[static_cast<size_t>(row)]),
                                static_cast<QWidget*>(buttons_[static_cast<size_t>(row)])})
            widget->setVisible(visible);
    }
}

void TfrmSelectBrains::UseSelected(int row) {
    const QListWidgetItem* item = list_->currentItem();
    if (!item || row < 0 || row >= Rows) return;
    names_[static_cast<size_t>(row)]->setText(item->text());
}

void TfrmSelectBrains::Proceed() {
    for (int row = 0; row < Rows; ++row) {
        const QString name = names_[static_cast<size_t>(row)]->text().trimmed();
        brains_.SetName(row, name.isEmpty() ? std::string(TBrainSelection::DefaultBrain) : name.toStdString());
    }
    accept();
}

} // namespace qx
