#include "app/LobbyScreen.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

#include "app/LobbyLook.h"
#include "app/Messages.h"
#include "app/SubjectList.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "controls/GraphicPanel.h"
#include "net/KyrelConnection.h"
#include "net/game/GameSubject.h"

namespace qx {

namespace {

// Runs `body` once the line being handled is over: a dialog never opens in
// the middle of the connection's work, where the lines behind it would
// overtake the one that opened it.
template <typename Body>
void Later(QObject* context, Body body) {
    QMetaObject::invokeMethod(context, [body = std::move(body)] { Guarded(body); }, Qt::QueuedConnection);
}

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// A chat line as it may travel: one line, no control characters.
QString ChatText(const QString& typed) {
    QString text;
    for (QChar c : typed) text += (c.unicode() < 32 || c.unicode() == 127) ? QChar(' ') : c;
    return text.trimmed();
}

const QColor kCyan(0, 255, 255);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 64, 64);

TGraphicPanel* Caption(QWidget* parent, const char* name, const QRect& rect, int pixelHeight) {
    auto* panel = new TGraphicPanel(parent);
    panel->setObjectName(name);
    panel->SetColor(Qt::black);
    panel->SetFontColor(Qt::white);
    panel->SetColorHighlight(style::Teal());
    panel->SetColorShadow(QColor(0, 64, 64));
    panel->SetBevelOuter(TBevelCut::Lowered);
    panel->SetAlignment(TCaptionAlignment::Left);
    panel->setFont(DisplayFont(pixelHeight));
    panel->setGeometry(rect);
    return panel;
}

} // namespace

TLobbyScreen::TLobbyScreen(TKyrelConnection& kyrel, QWidget* parent) : TScreen("pnlLobby", parent), kyrel_(kyrel) {
    subjectName_ = Caption(this, "gpnlSubjectName", QRect(8, 6, 616, 28), 18);
    subjectName_->SetFontColor(style::Aqua());

    list_ = new TKyrelSubjectList(this);
    list_->setObjectName("lbKyrelSubjects");
    list_->setFont(DisplayFont(13));
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette colors = list_->palette();
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::Text, style::Aqua());
    colors.setColor(QPalette::WindowText, style::Teal());
    list_->setPalette(colors);
    list_->setGeometry(8, 40, 244, 282);
    list_->setStyleSheet("QListWidget { border: 1px solid rgb(0, 128, 128); }");
    list_->FindUser = [this](const QString& id) -> const TKyrelUser* { return kyrel_.FindUser(id.toStdString()); };

    chat_ = new QPlainTextEdit(this);
    chat_->setObjectName("memoChat");
    chat_->setReadOnly(true);
    chat_->setMaximumBlockCount(MaxChatLines);
    chat_->setFont(TextFont(13));
    chat_->setFrameShape(QFrame::Box);
    QPalette text = chat_->palette();
    text.setColor(QPalette::Base, Qt::black);
    text.setColor(QPalette::Text, QColor(220, 235, 235));
    text.setColor(QPalette::WindowText, style::Teal());
    chat_->setPalette(text);
    chat_->setGeometry(260, 40, 364, 254);

    chatField_ = new QLineEdit(this);
    chatField_->setObjectName("edtChat");
    chatField_->setMaxLength(MaxChatLength);
    chatField_->setFont(TextFont(13));
    chatField_->setPalette(text);
    chatField_->setPlaceholderText("Say something to everyone here ...");
    chatField_->setGeometry(260, 300, 296, 22);
    ApplyFieldLook(chat_);
    ApplyFieldLook(chatField_);
    TColorButton* send = AddButton("btnSendChat", "Send", 'e', QRect(562, 300, 62, 22));
    send->setToolTip("Send the line to everyone in this Subject");

    // Under the list: the way into the selected subject, or what is known
    // of the selected user.
    joinGame_ = AddButton("btnKyrelJoinGame", "Join Game", 'J', QRect(8, 328, 244, 22));
    joinGame_->setToolTip("Join the Selected Game");
    joinChat_ = AddButton("btnKyrelJoinChat", "Join Chat Room", 'J', QRect(8, 328, 244, 22));
    joinChat_->setToolTip("Join the Selected Chat Room");
    userInfo_ = Caption(this, "gpnlUserInfo", QRect(260, 328, 364, 22), 12);
    userInfo_->setFont(TextFont(12));
    serverMessage_ = Caption(this, "gpnlServerMessage", QRect(8, 356, 616, 24), 12);
    serverMessage_->setFont(TextFont(13));

    AddButton("btnKyrelNewGame", "Begin a New Game", 'B', QRect(8, 390, 150, 24));
    AddButton("btnKyrelOpenGame", "Open a Saved Game", 'O', QRect(164, 390, 150, 24));
    AddButton("btnKyrelNewChat", "Create a New Chat Room", 'C', QRect(320, 390, 150, 24))
        ->setToolTip("Open a room of your own to chat in");
    AddButton("btnLobbySelectShips", "Select StarShip Types", 'S', QRect(476, 390, 148, 24));
    AddButton("btnKyrelStats", "Server Statistics", 't', QRect(8, 420, 150, 24));
    AddButton("btnLobbySchedules", "Players' Schedules", 'P', QRect(164, 420, 150, 24))
        ->setToolTip("The game log, the Hall of Fame and when the others play");
    AddButton("btnKyrelDisconnect", "Disconnect from KyrelServer", 'D', QRect(420, 420, 204, 24));

    const auto wire = [this](const char* name, auto handler) {
        auto* button = findChild<TColorButton*>(name);
        connect(button, &TColorButton::clicked, this, [handler] { Guarded(handler); });
    };
    wire("btnSendChat", [this] { btnSendChatClick(); });
    wire("btnKyrelJoinGame", [this] { btnKyrelJoinClick(); });
    wire("btnKyrelJoinChat", [this] { btnKyrelJoinClick(); });
    wire("btnKyrelNewChat", [this] { btnKyrelNewChatClick(); });
    wire("btnKyrelStats", [this] { btnKyrelStatsClick(); });
    wire("btnKyrelNewGame", [this] { emit NewGameClicked(); });
    wire("btnKyrelOpenGame", [this] { emit OpenGameClicked(); });
    wire("btnKyrelDisconnect", [this] { emit DisconnectClicked(); });
    // "Select StarShip Types" and "Players' Schedules" lead to the window's
    // screens; the window wires them by name.
    connect(chatField_, &QLineEdit::returnPressed, this, [this] { Guarded([this] { btnSendChatClick(); }); });
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Guarded([this, item] { lbKyrelSubjectsClick(list_->row(item)); }); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        Guarded([this, item] { lbKyrelSubjectsDblClick(list_->row(item)); });
    });

    JoinGame = [this](const std::string& subject, std::string*) {
        kyrel_.JoinSubject(subject);
        return true;
    };
    JoinRoom = [this](const std::string& name) { kyrel_.JoinSubject(name); };
    AskText = [this](const QString& title, const QString& prompt) -> std::optional<QString> {
        bool ok = false;
        const QString answer = QInputDialog::getText(this, title, prompt, QLineEdit::Normal, QString(), &ok);
        if (!ok) return std::nullopt;
        return answer;
    };
    Reset();
    Loaded();
}

void TLobbyScreen::Install() {
    TKyrelConnection& k = kyrel_;
    k.OnAddSubject = [this, previous = k.OnAddSubject](TObject* sender, const std::string& name) {
        if (previous) previous(sender, name);
        list_->AddSubject(FromStd(name));
    };
    k.OnRemoveSubject = [this, previous = k.OnRemoveSubject](TObject* sender, const std::string& name) {
        if (previous) previous(sender, name);
        list_->RemoveSubject(FromStd(name));
    };
    k.OnJoinSubject = [this, previous = k.OnJoinSubject](TObject* sender, const std::string& name) {
        if (previous) previous(sender, name);
        chat_->clear();
        list_->RemoveUsers();
        list_->AddSubject(FromStd(name));
        list_->SelectSubject(FromStd(name));
        const QString shown = FromStd(TGameSubject::Shown(name));
        subjectName_->SetCaption("You are in " + shown);
        SetServerMessage("You just joined Subject \"" + shown + "\"", kCyan);
        HideSelectionDetails();
    };
    k.OnAddUser = [this, previous = k.OnAddUser](TObject* sender, TKyrelUser* user) {
        if (previous) previous(sender, user);
        if (user) list_->AddUser(FromStd(kyrel_.CurrentSubject()), FromStd(user->UserId));
    };
    k.OnRemoveUser = [this, previous = k.OnRemoveUser](TObject* sender, TKyrelUser* user) {
        if (previous) previous(sender, user);
        if (user) list_->RemoveUser(FromStd(kyrel_.CurrentSubject()), FromStd(user->UserId));
    };
    k.OnChatReceived = [this, previous = k.OnChatReceived](TObject* sender, const std::string& text,
                                                           const std::string& id) {
        if (previous) previous(sender, text, id);
        AddChatLine(FromStd(id) + ": " + FromStd(text));
    };
    k.OnShout = [this, previous = k.OnShout](TObject* sender, const std::string& text) {
        if (previous) previous(sender, text);
        AddChatLine("Veltrano: " + FromStd(text));
    };
    k.OnServerError = [this, previous = k.OnServerError](TObject* sender, const std::string& text) {
        if (previous) previous(sender, text);
        const QString message = "KyrelServer Error: " + FromStd(text);
        if (kyrel_.LoggedIn())
            SetServerMessage(message, kRed);
        else
            Later(this, [this, message] { TMessages::Show(this, message); });
    };
    k.OnUserInfo = [this, previous = k.OnUserInfo](TObject* sender, TKyrelUser* user) {
        if (previous) previous(sender, user);
        if (!user || !userInfoRequested_) return;
        userInfoRequested_ = false;
        const QString id = FromStd(user->UserId);
        Later(this, [this, id] { UserInfoArrived(id); });
    };
    k.OnServerStatus = [this, previous = k.OnServerStatus](TObject* sender, TKyrelServerStats* stats) {
        if (previous) previous(sender, stats);
        if (!statsRequested_) return;
        statsRequested_ = false;
        if (ShowServerStats) Later(this, [this] { ShowServerStats(); });
    };
}

void TLobbyScreen::Reset() {
    list_->clear();
    chat_->clear();
    chatField_->clear();
    subjectName_->SetCaption("You are in Lobby Chat");
    SetServerMessage("", Qt::white);
    HideSelectionDetails();
    userInfoRequested_ = statsRequested_ = false;
}

void TLobbyScreen::Entered() { chatField_->setFocus(); }

QStringList TLobbyScreen::ChatLines() const {
    const QString text = chat_->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

void TLobbyScreen::AddChatLine(const QString& line) {
    // The memo keeps the newest lines; the oldest fall off the top.
    chat_->appendPlainText(ChatText(line));
    chat_->verticalScrollBar()->setValue(chat_->verticalScrollBar()->maximum());
}

void TLobbyScreen::SetServerMessage(const QString& text, const QColor& color) {
    serverMessage_->SetFontColor(color);
    serverMessage_->SetCaption(text);
}

void TLobbyScreen::HideSelectionDetails() {
    joinGame_->hide();
    joinChat_->hide();
    userInfo_->hide();
}

void TLobbyScreen::btnSendChatClick() {
    const QString text = ChatText(chatField_->text());
    if (text.isEmpty()) return;
    kyrel_.SendChat(text.toStdString());
    const TKyrelUser* me = kyrel_.CurrentUser();
    AddChatLine(FromStd(me ? me->UserId : std::string()) + "> " + text);
    chatField_->clear();
}

void TLobbyScreen::lbKyrelSubjectsClick(int row) {
    HideSelectionDetails();
    if (row < 0 || row >= list_->count()) return;
    if (list_->IsUser(row)) {
        const TKyrelUser* user = kyrel_.FindUser(list_->UserOf(row).toStdString());
        if (!user) return;
        const int latency = user->AverageLatency();
        const QString name = FromStd(user->UserId);
        userInfo_->SetCaption(latency > 0 ? name + " has a latency of " + QString::number(latency) + " milliseconds"
                                          : name + "'s latency value is not yet known");
        userInfo_->show();
        return;
    }
    const std::string subject = list_->SubjectOf(row).toStdString();
    if (subject == kyrel_.CurrentSubject()) return;
    if (TGameSubject::IsGame(subject)) {
        joinGame_->show();
        TGameSubject game;
        if (TGameSubject::Parse(subject, game))
            SetServerMessage(FromStd(game.Details()), kYellow);
        else
            SetServerMessage("Scenario: " + list_->SubjectOf(row).section(';', 1, 1), kYellow);
    } else {
        joinChat_->show();
        SetServerMessage("", Qt::white);
    }
}

void TLobbyScreen::lbKyrelSubjectsDblClick(int row) {
    if (row < 0 || row >= list_->count()) return;
    if (list_->IsUser(row)) {
        userInfoRequested_ = true;
        kyrel_.RequestUserInfo(list_->UserOf(row).toStdString());
        return;
    }
    JoinSubject(list_->SubjectOf(row));
}

void TLobbyScreen::btnKyrelJoinClick() {
    const int row = list_->currentRow();
    if (row >= 0 && !list_->IsUser(row)) JoinSubject(list_->SubjectOf(row));
}

void TLobbyScreen::JoinSubject(const QString& subject) {
    const std::string name = subject.toStdString();
    // The subject this machine is in already is not joined again.
    if (name == kyrel_.CurrentSubject()) return;
    if (!TGameSubject::IsGame(name)) {
        if (JoinRoom) JoinRoom(name);
        return;
    }
    std::string why;
    if (JoinGame && !JoinGame(name, &why) && !why.empty()) TMessages::Show(this, FromStd(why));
}

void TLobbyScreen::UserInfoArrived(const QString& id) {
    TKyrelUser* user = kyrel_.FindUser(id.toStdString());
    if (!user || !ShowUserInfo) return;
    const bool mine = user == kyrel_.CurrentUser();
    // The dialog edits a copy: the record the connection holds changes only
    // when the edit is confirmed, and only one's own record is sent.
    TKyrelUser copy = *user;
    if (ShowUserInfo(copy, mine) && mine) {
        if (TKyrelUser* current = kyrel_.CurrentUser()) {
            *current = copy;
            kyrel_.UpdateUser();
        }
    }
    list_->viewport()->update();
}

void TLobbyScreen::btnKyrelNewChatClick() {
    const std::optional<QString> answer = AskText ? AskText("New Chat Room", "Enter a Name for this Room:")
                                                  : std::nullopt;
    if (!answer) return;
    std::string name;
    const std::string refused = CheckSubjectName(answer->toStdString(), name, "A Chat Room's name");
    if (!refused.empty()) {
        TMessages::Show(this, FromStd(refused));
        return;
    }
    if (!name.empty()) kyrel_.CreateSubject(name, 0);
}

void TLobbyScreen::btnKyrelStatsClick() {
    statsRequested_ = true;
    kyrel_.RequestServerStats();
}

} // namespace qx
