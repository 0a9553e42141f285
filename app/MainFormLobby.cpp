// The main window's part in the lobby and in network games: the login, the
// lobby screen's moves, the game history, and the network game's start,
// exit and end in the window.
#include "app/MainForm.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

#include "app/AppInfo.h"
#include "app/GameHost.h"
#include "app/GameScreen.h"
#include "app/GameSettingsScreen.h"
#include "app/HistoryScreen.h"
#include "app/LobbyClient.h"
#include "app/LobbyScreen.h"
#include "app/LoginForm.h"
#include "app/Messages.h"
#include "app/Screens.h"
#include "app/ServerStatsForm.h"
#include "app/UserInfoForm.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "engine/QuorvexEngine.h"
#include "game/GameSession.h"
#include "net/game/GameSubject.h"
#include "net/game/NetworkGame.h"

namespace qx {

namespace {

// Runs `body` after the event being handled: messages that the connection or
// the clock raise never open a dialog in the middle of their work.
template <typename Body>
void Later(QObject* context, Body body) {
    QMetaObject::invokeMethod(context, [body = std::move(body)] { Guarded(body); }, Qt::QueuedConnection);
}

bool AskYesNo(QWidget* parent, const QString& question) {
    if (TMessages::Quiet()) return false;
    return QMessageBox::question(parent, app::Title, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

bool TfrmMain::LoggedIn() const { return lobby_ && lobby_->LoggedIn(); }

void TfrmMain::CreateLobby() {
    lobby_ = std::make_unique<TLobbyClient>();
    const QString webHost = reg_.ReadString(TLobbyClient::WebHostSetting).trimmed();
    lobby_->WebHost = webHost.isEmpty() ? QString(TLobbyClient::DefaultWebHost) : webHost;

    // The network game first (it stops a running game when the connection
    // goes), then the client's way in and out behind it.
    game_->AttachLobby(lobby_->Kyrel());
    lobby_->Install();
}

void TfrmMain::ConnectLobby() {
    TKyrelConnection& kyrel = lobby_->Kyrel();
    TGameSession& session = game_->Session();
    lobbyScreen_->Install();
    lobbyScreen_->JoinGame = [this](const std::string& subject, std::string* why) {
        game_->SetSelectedShipTypes(selectedShipTypes_);
        return game_->Session().JoinNetworkGame(subject, why);
    };
    lobbyScreen_->JoinRoom = [this](const std::string& name) { game_->Session().Network()->JoinRoom(name); };
    lobbyScreen_->ShowUserInfo = [this](TKyrelUser& user, bool allowEdit) {
        TKyrelUserInfoDialog dialog;
        dialog.Title = "User Information";
        dialog.ValidInfoTokens = {"QxWins", "QxLosses", "QxScore", "QxRank"};
        return dialog.Execute(user, allowEdit, this);
    };
    lobbyScreen_->ShowServerStats = [this] {
        TfrmServerStats form(lobby_->Kyrel(), this);
        form.Title = "Kyrel Server Statistics";
        form.UpdateInterval = ServerStatsInterval;
        form.Execute(lobby_->Kyrel().ServerStats());
    };
    connect(lobbyScreen_, &TLobbyScreen::NewGameClicked, this, GuardedSlot([this] { btnKyrelNewGameClick(); }));
    connect(lobbyScreen_, &TLobbyScreen::OpenGameClicked, this, GuardedSlot([this] { btnKyrelOpenGameClick(); }));
    connect(lobbyScreen_, &TLobbyScreen::DisconnectClicked, this,
            GuardedSlot([this] { btnKyrelDisconnectClick(); }));

    // The server's answers to the game's own questions.
    kyrel.OnCustomMessage = [this, previous = kyrel.OnCustomMessage](TObject* sender, const std::string& type,
                                                                      const std::string& text) {
        if (type == "QXHISTORY")
            historyScreen_->ShowHistory(text);
        else if (previous)
            previous(sender, type, text);
    };

    TNetworkGame* network = session.Network();
    network->OnMessage = [this](const std::string& text) {
        const QString message = QString::fromStdString(text);
        Later(this, [this, message] { TMessages::Show(this, message); });
    };
    network->OnGameStarted = [this] {
        titlePalette_ = false;
        gameScreen_->GameStarted();
        ShowScreen(gameScreen_);
    };
    // Game chat is shown (or muted) by the Communications window.
    network->OnGameChatData = [this](const std::string& text, const std::string& from) {
        inGame_->ReceiveData(text, from);
    };

    connect(lobby_.get(), &TLobbyClient::LoginSucceeded, this, GuardedSlot([this] { LoginSucceeded(); }));
    connect(lobby_.get(), &TLobbyClient::Ended, this,
            [this](const QString& message) { Guarded([this, message] { LobbyEnded(message); }); });
    connect(lobby_.get(), &TLobbyClient::Progress, this, [this](const QString& text) { ShowConnecting(text); });

    lblConnecting_ = new QLabel(titleScreen_);
    lblConnecting_->setObjectName("lblConnecting");
    lblConnecting_->setAlignment(Qt::AlignCenter);
    lblConnecting_->setFont(TextFont(13));
    QPalette colors = lblConnecting_->palette();
    colors.setColor(QPalette::WindowText, style::Aqua());
    lblConnecting_->setPalette(colors);
    lblConnecting_->hide();
}

void TfrmMain::ShowLoginButton(bool show) {
    if (auto* button = titleScreen_->findChild<TColorButton*>("btnLogin")) button->setVisible(show);
}

void TfrmMain::ShowConnecting(const QString& text) {
    if (!lblConnecting_) return;
    if (text.isEmpty()) {
        lblConnecting_->hide();
        return;
    }
    int top = titleScreen_->height() - 60;
    if (const auto* exit = titleScreen_->findChild<TColorButton*>("btnExit")) top = exit->geometry().bottom() + 12;
    lblConnecting_->setGeometry(8, top, titleScreen_->width() - 16, 22);
    lblConnecting_->setText(text);
    lblConnecting_->show();
    lblConnecting_->raise();
}

void TfrmMain::btnLoginClick() {
    if (LoggedIn()) {
        ShowScreen(lobbyScreen_);
        return;
    }
    if (lobby_->Busy()) return;
    TfrmLogin login(this);
    login.SetWebHost(lobby_->WebHost);
    if (login.exec() != QDialog::Accepted) return;
    ShowLoginButton(false);
    lobby_->LogIn(login.Request());
}

void TfrmMain::LoginSucceeded() {
    ShowConnecting({});
    ShowLoginButton(false);
    ShowScreen(lobbyScreen_);
    lobbyScreen_->Entered();
}

void TfrmMain::LobbyEnded(const QString& message) {
    // A game that was running goes with the connection.
    TGameSession& session = game_->Session();
    if (TNetworkGame* network = session.Network()) network->ConnectionLost();
    game_->StopGame();
    lobbyScreen_->Reset();
    ShowConnecting({});
    ShowLoginButton(true);
    ShowTitle();
    TMessages::Show(this, message);
}

void TfrmMain::btnKyrelDisconnectClick() {
    if (!AskYesNo(this, "Are you sure you want to Disconnect?")) return;
    lobby_->LogOut();
    if (TNetworkGame* network = game_->Session().Network()) network->ConnectionLost();
    lobbyScreen_->Reset();
    ShowLoginButton(true);
    ShowTitle();
}

void TfrmMain::CloseLobby() {
    if (game_) game_->StopGame();
    if (lobby_) lobby_->LogOut();
}

void TfrmMain::btnKyrelNewGameClick() {
    if (!TGameSetup::HasShipTypes(selectedShipTypes_)) {
        TMessages::Show(this, TGameSetup::NeedShipTypesMessage);
        ShowScreen(shipScreen_);
        return;
    }
    TGameSession& session = game_->Session();
    game_->Engine().SetCurrentPlayer(nullptr);
    bool ok = false;
    const QString answer =
        QInputDialog::getText(this, "New Game", "Enter a Name for this Game:", QLineEdit::Normal, QString(), &ok);
    if (!ok) return;
    std::string name;
    const std::string refused = CheckSubjectName(answer.toStdString(), name, "A Game's name");
    if (!refused.empty()) {
        TMessages::Show(this, QString::fromStdString(refused));
        return;
    }
    if (name.empty()) return;
    session.NetworkGameName = name;
    game_->SetSelectedShipTypes(selectedShipTypes_);
    titlePalette_ = false;
    ShowScreen(setupScreen_);
    setupScreen_->Enter(true);
}

void TfrmMain::NetworkSetupProceed() {
    TGameSession& session = game_->Session();
    if (!game_->ArtLoaded()) {
        TMessages::Show(this, "The galaxy cannot be shown: " + game_->ArtError());
        return;
    }
    game_->SetSelectedShipTypes(selectedShipTypes_);
    const TGameResult result = session.Proceed();
    if (!result.Ok) {
        if (!result.Message.empty()) TMessages::Show(this, QString::fromStdString(result.Message));
        return;
    }
    // The game waits in the lobby until the server begins it.
    if (session.Setup().LoggedIn()) {
        ShowScreen(lobbyScreen_);
        return;
    }
    gameScreen_->GameStarted();
    ShowScreen(gameScreen_);
}

void TfrmMain::btnKyrelOpenGameClick() {
    const QString path =
        QFileDialog::getOpenFileName(this, "Select Save Game File", TGameHost::SaveFolder(), "Quorvex (*.qx)");
    if (path.isEmpty()) return;
    TGameSession& session = game_->Session();
    game_->SetSelectedShipTypes(selectedShipTypes_);
    const TGameResult result = session.RestoreNetworkGame(path.toStdString());
    if (!result.Ok && !result.Message.empty()) TMessages::Show(this, QString::fromStdString(result.Message));
}

// The game screen has let the player go (a network game has gone back to
// "Lobby Chat" on the way).
void TfrmMain::btnGameExitClick() { ShowLobbyOrTitle(); }

} // namespace qx
