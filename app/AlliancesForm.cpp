#include "app/AlliancesForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <algorithm>

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/GameDialogs.h"
#include "app/InGameHost.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "controls/GraphicPanel.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"

namespace qx {

namespace {

QColor PlayerColor(const TPlayer& player) {
    const uint32_t rgb = player.Color();
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>((rgb >> 16) & 0xFF));
}

QString StanceText(int32_t level) {
    switch (level) {
    case 1: return "Non-Aggression";
    case 2: return "Non-Aggression, Intelligence";
    default: return "";
    }
}

} // namespace

TfrmAlliances::TfrmAlliances(QWidget* parent) : TInGameForm("frmAlliances", "Alliances", "Alliances", parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    const auto heading = [this, grid](const QString& text, int column, int span) {
        auto* label = new QLabel(text, this);
        label->setFont(DisplayFont(13));
        QPalette colors = label->palette();
        colors.setColor(QPalette::WindowText, style::Silver());
        label->setPalette(colors);
        grid->addWidget(label, 0, column, 1, span);
    };
    heading("Empire", 0, 1);
    heading("You grant them", 1, 2);
    heading("They grant you", 3, 1);
    for (int slot = 0; slot < MaxPlayers; ++slot) {
        TRow& row = rows_[static_cast<size_t>(slot)];
        row.Name = new TGraphicPanel(this);
        row.Name->setObjectName(QString("gpnlPlayer%1").arg(slot + 1));
        row.Name->setProperty("tag", slot);
        row.Name->SetColor(Qt::black);
        row.Name->SetColorHighlight(style::Teal());
        row.Name->SetColorShadow(QColor(0, 64, 64));
        row.Name->SetBevelOuter(TBevelCut::Lowered);
        row.Name->SetAlignment(TCaptionAlignment::Left);
        row.Name->setFont(DisplayFont(13));
        row.Name->setFixedSize(140, 21);
        row.NonAggression = MakeGameButton(this, QString("btnNonAggression%1").arg(slot + 1), "Non-Aggression", 'N', 112);
        row.NonAggression->setProperty("tag", slot);
        row.NonAggression->SetStayDown(true);
        row.NonAggression->setToolTip("Do not Attack your Allies StarShips");
        row.Intelligence = MakeGameButton(this, QString("btnIntelligence%1").arg(slot + 1), "Intelligence", 'I', 100);
        row.Intelligence->setProperty("tag", slot);
        row.Intelligence->SetStayDown(true);
        row.Intelligence->setToolTip("Share your Visibility with your Allies");
        row.Stance = new QLabel(this);
        row.Stance->setObjectName(QString("lblStance%1").arg(slot + 1));
        row.Stance->setFont(TextFont(11));
        row.Stance->setMinimumWidth(170);
        row.NonAggression->installEventFilter(this);
        row.Intelligence->installEventFilter(this);
        connect(row.NonAggression, &TColorButton::clicked, this, [this, slot] { NonAggressionPressed(slot); });
        connect(row.Intelligence, &TColorButton::clicked, this, [this, slot] { IntelligencePressed(slot); });
        grid->addWidget(row.Name, slot + 1, 0);
        grid->addWidget(row.NonAggression, slot + 1, 1);
        grid->addWidget(row.Intelligence, slot + 1, 2);
        grid->addWidget(row.Stance, slot + 1, 3);
    }
    layout->addLayout(grid);
    layout->addStretch();
    auto* bottom = new QHBoxLayout;
    note_ = new QLabel(this);
    note_->setObjectName("lblAlliancesNote");
    note_->setFont(TextFont(11));
    QPalette grey = note_->palette();
    grey.setColor(QPalette::WindowText, style::Gray());
    note_->setPalette(grey);
    bottom->addWidget(note_, 1);
    bottom->addWidget(MakeCloseButton());
    layout->addLayout(bottom);
}

void TfrmAlliances::GameStarted(const TQuorvexEngine& engine, const TPlayer* local) {
    for (int slot = 0; slot < MaxPlayers; ++slot) {
        TRow& row = rows_[static_cast<size_t>(slot)];
        const TPlayer* player = engine.PlayerOrNull(slot);
        const bool shown = player && player != local;
        for (QWidget* widget : {static_cast<QWidget*>(row.Name), static_cast<QWidget*>(row.NonAggression),
                                static_cast<QWidget*>(row.Intelligence), static_cast<QWidget*>(row.Stance)})
            widget->setVisible(shown);
        if (!shown) continue;
        row.Name->SetCaption(QString::fromStdString(player->Name));
        row.Name->SetFontColor(PlayerColor(*player));
        buttons_[static_cast<size_t>(slot)] = TAllianceButtons::ForLevel(local ? local->IsAllied(player) : 0);
        ShowButtons(slot);
        // Without a player of its own, this machine makes no alliances.
        row.NonAggression->setEnabled(local != nullptr);
        row.Intelligence->setEnabled(local != nullptr);
    }
    note_->setText(local ? "Changes take effect at the next impulse."
                         : "Brain Mode: the computer players make their own alliances.");
    RefreshStances(engine, local);
    // As many rows as the game has other players.
    layout()->activate();
    resize(std::max(width(), sizeHint().width()), sizeHint().height());
}

void TfrmAlliances::RefreshStances(const TQuorvexEngine& engine, const TPlayer* local) {
    for (int slot = 0; slot < MaxPlayers; ++slot) {
        const TPlayer* player = engine.PlayerOrNull(slot);
        QLabel* label = rows_[static_cast<size_t>(slot)].Stance;
        if (!player || !local || player == local) {
            label->clear();
            continue;
        }
        label->setText(player->Alive ? StanceText(player->IsAllied(local)) : "out of the game");
        if (player->Alive && label->text().isEmpty()) label->setText("nothing");
        QPalette colors = label->palette();
        colors.setColor(QPalette::WindowText, player->Alive ? style::Silver() : style::Gray());
        label->setPalette(colors);
    }
}

TAllianceButtons TfrmAlliances::Buttons(int slot) const { return buttons_[static_cast<size_t>(slot)]; }

void TfrmAlliances::ShowButtons(int slot) {
    const TAllianceButtons& buttons = buttons_[static_cast<size_t>(slot)];
    rows_[static_cast<size_t>(slot)].NonAggression->SetDown(buttons.NonAggression);
    rows_[static_cast<size_t>(slot)].Intelligence->SetDown(buttons.Intelligence);
}

void TfrmAlliances::NonAggressionPressed(int slot) {
    Apply(slot, buttons_[static_cast<size_t>(slot)].PressNonAggression(), false);
}

void TfrmAlliances::IntelligencePressed(int slot) {
    Apply(slot, buttons_[static_cast<size_t>(slot)].PressIntelligence(), true);
}

void TfrmAlliances::Apply(int slot, const TAlliancePress& press, bool intelligence) {
    buttons_[static_cast<size_t>(slot)] = press.Buttons;
    ShowButtons(slot);
    if (!Host()) return;
    Host()->AddOrder(AllianceOrder(press.Level, slot));
    const bool nowDown = intelligence ? press.Buttons.Intelligence : press.Buttons.NonAggression;
    Host()->PlaySound(nowDown ? TWindowSound::ClickOn : TWindowSound::ClickOff);
}

bool TfrmAlliances::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        // A stay-down button flips as it is pressed; released off it there is
        // no click and no order, so it shows the level held again.
        const int slot = watched->property("tag").toInt();
        if (slot >= 0 && slot < MaxPlayers)
            QMetaObject::invokeMethod(this, [this, slot] { ShowButtons(slot); }, Qt::QueuedConnection);
    }
    return TInGameForm::eventFilter(watched, event);
}

} // namespace qx
