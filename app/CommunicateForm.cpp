#include "app/CommunicateForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/GameDialogs.h"
#include "app/InGameHost.h"
#include "app/InGameRules.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"

namespace qx {

namespace {

QColor PlayerColor(const TPlayer& player) {
    const uint32_t rgb = player.Color();
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>((rgb >> 16) & 0xFF));
}

QColor Dim(const QColor& color) { return QColor(color.red() / 5, color.green() / 5, color.blue() / 5); }

} // namespace

TfrmCommunicate::TfrmCommunicate(QWidget* parent)
    : TInGameForm("frmCommunicate", "Communications", "Communicate", parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);

    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    auto* talk = new QLabel("Talk with:", this);
    talk->setFont(TextFont(12));
    talk->setToolTip("Press a player's number to stop talking to and hearing that player");
    top->addWidget(talk);
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlPlayers");
    auto* buttons = new QHBoxLayout(panel);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(3);
    for (int slot = 0; slot < MaxPlayers; ++slot) {
        auto* button = MakeGameButton(panel, QString("btnPlayer%1").arg(slot + 1), QString::number(slot + 1), QChar(),
                                      26);
        button->setProperty("tag", slot);
        button->SetStayDown(true);
        button->SetDown(true);
        button->setFont(DisplayFont(13, true));
        connect(button, &TColorButton::clicked, this, [this, slot] { PlayerPressed(slot); });
        players_[static_cast<size_t>(slot)] = button;
        buttons->addWidget(button);
    }
    top->addWidget(panel);
    top->addStretch();
    clear_ = MakeGameButton(this, "btnClear", "Clear", 'l', 60);
    clear_->setToolTip("Clear the Messages");
    connect(clear_, &TColorButton::clicked, this, [this] { Clear(); });
    top->addWidget(clear_);
    layout->addLayout(top);

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName("memoChat");
    memo_->setReadOnly(true);
    memo_->setMaximumBlockCount(MaxMemoLines);
    memo_->setFont(TextFont(13));
    memo_->setFocusPolicy(Qt::ClickFocus);
    memo_->setFrameShape(QFrame::Box);
    layout->addWidget(memo_, 1);

    auto* entry = new QHBoxLayout;
    entry->setSpacing(6);
    chat_ = new QLineEdit(this);
    chat_->setObjectName("edtChat");
    chat_->setMaxLength(MaxChatLength);
    chat_->setPlaceholderText("Type a message and press Enter");
    chat_->setFont(TextFont(13));
    connect(chat_, &QLineEdit::returnPressed, this, [this] { Send(); });
    entry->addWidget(chat_, 1);
    send_ = MakeGameButton(this, "btnSend", "Send", 'S', 60);
    connect(send_, &TColorButton::clicked, this, [this] { Send(); });
    entry->addWidget(send_);
    layout->addLayout(entry);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(MakeCloseButton());
    layout->addLayout(bottom);
    resize(420, 280);
}

void TfrmCommunicate::GameStarted(const TQuorvexEngine& engine, const TPlayer* local) {
    engine_ = &engine;
    for (int slot = 0; slot < MaxPlayers; ++slot) {
        TColorButton* button = players_[static_cast<size_t>(slot)];
        const TPlayer* player = engine.PlayerOrNull(slot);
        button->SetDown(true);
        if (!player || player == local) {
            names_[static_cast<size_t>(slot)].clear();
            button->hide();
            continue;
        }
        names_[static_cast<size_t>(slot)] = QString::fromStdString(player->Name);
        const QColor color = PlayerColor(*player);
        button->SetColor(Dim(color));
        button->SetColorShadow(color);
        button->SetColorHighlight(color);
        button->SetFontColor(color);
        button->SetColorHot(Qt::white);
        UpdateHint(slot);
        button->show();
    }
    const bool canTalk = local != nullptr;
    chat_->setEnabled(canTalk);
    send_->setEnabled(canTalk);
    chat_->setPlaceholderText(canTalk ? "Type a message and press Enter" : "No chat in Brain Mode");
}

void TfrmCommunicate::UpdateHint(int slot) {
    TColorButton* button = players_[static_cast<size_t>(slot)];
    const QString& name = names_[static_cast<size_t>(slot)];
    button->setToolTip(button->Down() ? "Mute " + name : "Listen to " + name);
}

void TfrmCommunicate::PlayerPressed(int slot) {
    UpdateHint(slot);
    if (Host()) Host()->PlaySound(TWindowSound::Button);
}

void TfrmCommunicate::Send() {
    const TPlayer* local = Host() ? Host()->LocalPlayer() : nullptr;
    const TQuorvexEngine* engine = Host() ? Host()->Engine() : nullptr;
    const std::string text = TGameChat::CleanText(chat_->text().toStdString());
    if (!local || !engine || text.empty()) return;
    std::array<bool, MaxPlayers> addressed{};
    bool anyone = false;
    for (int slot = 0; slot < engine->PlayerCount() && slot < MaxPlayers; ++slot) {
        const TPlayer* player = engine->GetPlayer(slot);
        // Nobody talks to himself; a hidden button is no one to address.
        const bool down = player != local && players_[static_cast<size_t>(slot)]->Down();
        addressed[static_cast<size_t>(slot)] = down;
        anyone = anyone || down;
    }
    if (!anyone) {
        AddLine("(Nobody hears you: press the number of a player to talk to them.)", style::Gray());
        return;
    }
    Host()->SendData(TGameChat::Compose(addressed, engine->PlayerCount(), text));
    AddLine(QString::fromStdString(local->Name) + "> " + QString::fromStdString(text), Qt::white);
    chat_->clear();
}

bool TfrmCommunicate::ReceiveData(const std::string& text, const std::string& senderId) {
    const TQuorvexEngine* engine = Host() && Host()->Engine() ? Host()->Engine() : engine_;
    if (text.compare(0, TGameChat::Prefix.size(), TGameChat::Prefix) != 0) return false;
    if (!engine) return true;
    const std::optional<TGameChat::TMessage> message = TGameChat::Parse(text, engine->PlayerCount());
    const TPlayer* local = Host() ? Host()->LocalPlayer() : engine->CurrentPlayer;
    const TPlayer* sender = engine->FindPlayerByName(senderId);
    if (!message || !local || !sender || sender == local) return true;
    if (sender->Index < 0 || sender->Index >= MaxPlayers || local->Index < 0 || local->Index >= MaxPlayers) return true;
    if (!players_[static_cast<size_t>(sender->Index)]->Down()) return true;
    if (!message->Addressed[static_cast<size_t>(local->Index)]) return true;
    AddLine(QString::fromStdString(senderId) + ": " + QString::fromStdString(message->Text), PlayerColor(*sender));
    return true;
}

void TfrmCommunicate::AddLine(const QString& text, const QColor& color) {
    memo_->appendHtml(QString("<span style=\"color:%1\">%2</span>").arg(color.name(), text.toHtmlEscaped()));
    ++linesAdded_;
    if (isVisible()) linesSeen_ = linesAdded_;
}

void TfrmCommunicate::Clear() {
    memo_->clear();
    linesAdded_ = linesSeen_ = 0;
}

QStringList TfrmCommunicate::Lines() const {
    const QString text = memo_->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

bool TfrmCommunicate::HasUnread() const { return !isVisible() && linesAdded_ != linesSeen_; }

QColor TfrmCommunicate::ReminderColor(int impulse) const {
    return HasUnread() && (impulse & 1) ? QColor(255, 255, 0) : QColor(Qt::black);
}

void TfrmCommunicate::hideEvent(QHideEvent* event) {
    // However the window closes, what it showed counts as seen.
    linesSeen_ = linesAdded_;
    TInGameForm::hideEvent(event);
}

} // namespace qx
