#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QColor>
#include <QStringList>

#include "app/Screens.h"

class QLineEdit;
class QPlainTextEdit;

namespace qx {

class TColorButton;
class TGraphicPanel;
class TKyrelConnection;
class TKyrelSubjectList;
class TKyrelUser;

// The lobby screen: the open subjects with the users of the joined one, the
// chat of that subject, the captions that say where one is and what the
// server said, and the buttons of the lobby. What concerns the connection
// alone (chat, joining, rooms, user information, statistics) happens here;
// the moves to other screens and games are the window's, told by the
// signals.
class TLobbyScreen : public TScreen {
    Q_OBJECT
public:
    static constexpr int MaxChatLines = 500;
    static constexpr int MaxChatLength = 400;

    TLobbyScreen(TKyrelConnection& kyrel, QWidget* parent);

    // Adds the screen's handlers to the connection's events, behind those
    // set before.
    void Install();
    // Empty list, chat and captions, as before the first login.
    void Reset();
    // After the login: the chat field has the focus.
    void Entered();

    // Joins a game's subject; false with the reason when it cannot be
    // joined. Set by the window (the session's network game).
    std::function<bool(const std::string& subject, std::string* why)> JoinGame;
    // Joins a chat room.
    std::function<void(const std::string& name)> JoinRoom;
    // Asks for a line of text (title, prompt); none when cancelled.
    std::function<std::optional<QString>(const QString& title, const QString& prompt)> AskText;
    // Opens the user dialog; true when an edit was confirmed.
    std::function<bool(TKyrelUser& user, bool allowEdit)> ShowUserInfo;
    // Opens the statistics dialog on the server's reply.
    std::function<void()> ShowServerStats;

    TKyrelSubjectList* List() const { return list_; }
    QPlainTextEdit* Chat() const { return chat_; }
    QLineEdit* ChatField() const { return chatField_; }
    TGraphicPanel* SubjectCaption() const { return subjectName_; }
    TGraphicPanel* ServerMessage() const { return serverMessage_; }
    TGraphicPanel* UserInfoCaption() const { return userInfo_; }
    TColorButton* JoinGameButton() const { return joinGame_; }
    TColorButton* JoinChatButton() const { return joinChat_; }
    QStringList ChatLines() const;

    // The screen's actions, named after their controls.
    void btnSendChatClick();
    void lbKyrelSubjectsClick(int row);
    void lbKyrelSubjectsDblClick(int row);
    void btnKyrelJoinClick();
    void btnKyrelNewChatClick();
    void btnKyrelStatsClick();

signals:
    void NewGameClicked();
    void OpenGameClicked();
    void DisconnectClicked();

private:
    void AddChatLine(const QString& line);
    void SetServerMessage(const QString& text, const QColor& color);
    void HideSelectionDetails();
    void JoinSubject(const QString& subject);
    void UserInfoArrived(const QString& userId);

    TKyrelConnection& kyrel_;
    TKyrelSubjectList* list_ = nullptr;
    QPlainTextEdit* chat_ = nullptr;
    QLineEdit* chatField_ = nullptr;
    TGraphicPanel* subjectName_ = nullptr;
    TGraphicPanel* serverMessage_ = nullptr;
    TGraphicPanel* userInfo_ = nullptr;
    TColorButton* joinGame_ = nullptr;
    TColorButton* joinChat_ = nullptr;
    bool userInfoRequested_ = false;
    bool statsRequested_ = false;
};

} // namespace qx
