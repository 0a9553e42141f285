#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Object.h"
#include "net/KyrelServerStats.h"
#include "net/KyrelTransport.h"
#include "net/KyrelUser.h"
#include "net/LineBuffer.h"
#include "net/LobbyConnection.h"

namespace qx {

using TKyrelNotifyEvent = std::function<void(TObject* Sender)>;
using TKyrelStringEvent = std::function<void(TObject* Sender, const std::string& Text)>;
using TKyrelStringFromEvent = std::function<void(TObject* Sender, const std::string& Text, const std::string& Id)>;
using TKyrelUserEvent = std::function<void(TObject* Sender, TKyrelUser* AUser)>;
using TStatusEvent = std::function<void(TObject* Sender, TKyrelServerStats* ServerStats)>;
using TEncryptEvent = std::function<void(TObject* Sender, std::string& sMessage)>;
using TCustomMessageEvent =
    std::function<void(TObject* Sender, const std::string& MessageType, const std::string& MessageText)>;

class TStringEncryptor;

// The client side of the lobby server: one connection, a logged-in user, the
// open subjects, the users of the joined subject, and chat, data and custom
// messages over "|"-separated lines. All calls and events happen on the main
// thread; the socket is reached through a transport.
class TKyrelConnection : public TObject, public ILobbyConnection {
public:
    explicit TKyrelConnection(IKyrelTransport& transport);
    ~TKyrelConnection() override;
    TKyrelConnection(const TKyrelConnection&) = delete;
    TKyrelConnection& operator=(const TKyrelConnection&) = delete;

    // Published properties.
    bool Active() const { return Active_; }
    void SetActive(bool value);
    const std::string& Host() const { return Host_; }
    void SetHost(const std::string& host);  // ignored while active
    int Port() const { return Port_; }
    void SetPort(int port);
    const std::string& SubjectCode() const { return SubjectCode_; }
    void SetSubjectCode(const std::string& code);
    bool LoggedIn() const { return LoggedIn_; }
    // Longest line accepted from the server; longer ones are dropped with an error.
    void SetMaxLine(size_t bytes) { Buffer_.SetMaxLine(bytes); }

    // Events.
    TKyrelNotifyEvent OnConnected;
    TKyrelNotifyEvent OnDisconnected;
    TKyrelUserEvent OnLoginSuccess;
    TKyrelStringEvent OnLoginFailed;
    TKyrelStringEvent OnAddSubject;
    TKyrelStringEvent OnRemoveSubject;
    TKyrelStringEvent OnJoinSubject;
    TKyrelUserEvent OnAddUser;
    TKyrelUserEvent OnRemoveUser;
    TKyrelNotifyEvent OnBeginSubject;
    TKyrelStringFromEvent OnChatReceived;
    TKyrelStringFromEvent OnDataReceived;
    TStatusEvent OnServerStatus;
    TKyrelUserEvent OnUserInfo;
    TKyrelStringEvent OnShout;
    TKyrelStringEvent OnServerError;
    TCustomMessageEvent OnCustomMessage;
    TKyrelStringEvent OnStringRead;
    TEncryptEvent OnEncryptString;
    TEncryptEvent OnDecryptString;
    // A socket error ("Error Code " and the number, then the socket's text).
    TKyrelStringEvent OnSocketError;
    // A line that could not be handled (a malformed record, number or date,
    // an overlong line); the lines after it are handled as usual.
    TKyrelStringEvent OnLineError;

    // Scrambles every line with the encryptor (EncryptLine / DecryptLine), as
    // the game does with its own key; nullptr sends plain lines.
    void UseEncryptor(const TStringEncryptor* encryptor);

    // Client commands; each sends one line (only while active).
    void Login(const std::string& userName, const std::string& password);
    void LoginNew(const std::string& userName, const std::string& userRecord);
    void CreateSubject(const std::string& name, int playerCount);
    void JoinSubject(const std::string& name);
    void SendChat(const std::string& text);
    void SendData(const std::string& text) override;
    void SendCustom(const std::string& messageType, const std::string& messageText);
    void RequestServerStats();
    void RequestUserInfo(const std::string& userName);
    void UpdateUser();

    // Run-time state.
    TKyrelUser* CurrentUser() const { return CurrentUser_.get(); }
    std::shared_ptr<TKyrelUser> CurrentUserShared() const { return CurrentUser_; }
    const std::string& CurrentSubject() const { return CurrentSubject_; }
    const std::vector<std::string>& Subjects() const { return Subjects_; }
    int UserCount() const { return static_cast<int>(SubjectUsers_.size()); }
    TKyrelUser* GetUser(int i) const { return SubjectUsers_.at(static_cast<size_t>(i)).get(); }
    TKyrelUser* FindUser(std::string_view name) const;
    TKyrelServerStats& ServerStats() { return ServerStats_; }

    // ILobbyConnection, for the impulse clock.
    std::vector<std::shared_ptr<TKyrelUser>> SubjectUsers() const override { return SubjectUsers_; }
    std::string CurrentUserName() const override { return CurrentUser_ ? CurrentUser_->UserId : std::string(); }
    DataHandler GetOnDataReceived() const override { return OnDataReceived; }
    void SetOnDataReceived(DataHandler handler) override { OnDataReceived = std::move(handler); }

    // Handles one received line (without its terminator, already
    // unscrambled): the command word, then the rest. Overridable so a
    // subclass can add commands.
    virtual void DispatchCommand(const std::string& command, std::string_view rest);

    // Feeds received bytes as the transport would (for tools and tests).
    void Receive(std::string_view bytes);

private:
    void SendLine(std::string line);
    void HandleLine(std::string line);
    void TransportConnected();
    void TransportDisconnected();
    void TransportError(int code, const std::string& text);
    void ClearSubjectUsers();
    // The record for a user read from a line: CurrentUser when the names match.
    std::shared_ptr<TKyrelUser> Adopt(TKyrelUser&& read);

    void HandleLogin(std::string_view rest);
    void HandleSend(std::string_view rest);
    void HandlePing(std::string_view rest);
    void HandleSubjects(std::string_view rest);
    void HandleJoinSubject(std::string_view rest);
    void HandleAddGuest(std::string_view rest);
    void HandleRemoveGuest(std::string_view rest);
    void HandleUserInfo(std::string_view rest);

    IKyrelTransport& Transport_;
    bool Active_ = false;
    bool Connecting_ = false;
    std::string Host_ = "localhost";
    int Port_ = 0;
    std::string SubjectCode_;
    bool LoggedIn_ = false;
    TLineBuffer Buffer_;
    std::shared_ptr<TKyrelUser> CurrentUser_;
    std::string CurrentSubject_;
    std::vector<std::string> Subjects_;
    std::vector<std::shared_ptr<TKyrelUser>> SubjectUsers_;
    TKyrelServerStats ServerStats_;
    bool Closing_ = false;
    // Bumped whenever the connection closes, so a line handler that closed it
    // stops the lines behind it.
    unsigned Session_ = 0;
};

// True for four "."-separated decimal numbers.
bool IsNumericHost(std::string_view host);

} // namespace qx
