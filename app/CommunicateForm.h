#pragma once

#include <array>
#include <string>

#include <QColor>

#include "app/InGameForm.h"
#include "engine/QxObject.h"

class QLineEdit;
class QPlainTextEdit;

namespace qx {

class TColorButton;
class TQuorvexEngine;

// "Communications": chat between the players of a game. The ten player
// buttons "1" .. "10" say whom this player talks to and listens to: down
// (lit in the player's colour) for yes, up to mute that player.
class TfrmCommunicate : public TInGameForm {
    Q_OBJECT
public:
    static constexpr int MaxChatLength = 200;
    static constexpr int MaxMemoLines = 500;

    explicit TfrmCommunicate(QWidget* parent = nullptr);

    // A game starts: every other player's button shows in its colour, down,
    // hinted "Mute " + name; the local player's and missing players' are
    // hidden.
    void GameStarted(const TQuorvexEngine& engine, const TPlayer* local);

    TColorButton* PlayerButton(int slot) const { return players_[static_cast<size_t>(slot)]; }
    QLineEdit* ChatField() const { return chat_; }
    QPlainTextEdit* Memo() const { return memo_; }

    // Sends the chat field's text to the players whose buttons are down.
    void Send();
    // "Clear": empties the memo.
    void Clear();
    // A data message from the lobby; true when it was game chat (shown or
    // not). Chat from a muted player, or not addressed to this player, is
    // not shown.
    bool ReceiveData(const std::string& text, const std::string& senderId);

    // The lines the memo holds.
    QStringList Lines() const;
    // Whether lines came while the window was hidden and have not been seen.
    bool HasUnread() const;
    // The colour of the "Communicate" button at this impulse: alternately
    // black and yellow while there is unread chat, else black.
    QColor ReminderColor(int impulse) const;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void AddLine(const QString& text, const QColor& color);
    void PlayerPressed(int slot);
    void UpdateHint(int slot);

    std::array<TColorButton*, MaxPlayers> players_{};
    std::array<QString, MaxPlayers> names_;
    TColorButton* clear_ = nullptr;
    TColorButton* send_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QLineEdit* chat_ = nullptr;
    const TQuorvexEngine* engine_ = nullptr;
    long long linesAdded_ = 0;
    long long linesSeen_ = 0;
};

} // namespace qx
