#include "net/KyrelConnection.h"

#include <algorithm>
#include <exception>

#include "base/FieldCodec.h"
#include "net/StringEncryptor.h"

namespace qx {

namespace {

constexpr char kSep = '|';

} // namespace

bool IsNumericHost(std::string_view host) {
    int parts = 0;
    while (true) {
        const size_t dot = host.find('.');
        const std::string_view part = host.substr(0, dot);
        if (part.empty() || part.size() > 3 || !std::all_of(part.begin(), part.end(), [](char c) {
                return c >= '0' && c <= '9';
            }))
            return false;
        ++parts;
        if (dot == std::string_view::npos) break;
        host.remove_prefix(dot + 1);
    }
    return parts == 4;
}

TKyrelConnection::TKyrelConnection(IKyrelTransport& transport) : Transport_(transport) {
    Transport_.SetEvents({[this] { TransportConnected(); }, [this] { TransportDisconnected(); },
                          [this](std::string_view bytes) { Receive(bytes); },
                          [this](int code, const std::string& text) { TransportError(code, text); }});
}

TKyrelConnection::~TKyrelConnection() {
    Transport_.SetEvents({});
    if (Active_ || Connecting_) Transport_.Close();
}

void TKyrelConnection::SetHost(const std::string& host) {
    if (!Active_) Host_ = host;
}

void TKyrelConnection::SetPort(int port) {
    if (!Active_) Port_ = port;
}

void TKyrelConnection::SetSubjectCode(const std::string& code) {
    if (!Active_) SubjectCode_ = code;
}

void TKyrelConnection::UseEncryptor(const TStringEncryptor* encryptor) {
    if (!encryptor) {
        OnEncryptString = nullptr;
        OnDecryptString = nullptr;
        return;
    }
    OnEncryptString = [encryptor](TObject*, std::string& line) { encryptor->EncryptLine(line); };
    OnDecryptString = [encryptor](TObject*, std::string& line) { encryptor->DecryptLine(line); };
}

void TKyrelConnection::SetActive(bool value) {
    if (value) {
        if (Active_ || Connecting_) return;
        LoggedIn_ = false;
        Connecting_ = true;
        Transport_.Open(Host_, IsNumericHost(Host_), Port_);
        return;
    }
    if (!Active_ && !Connecting_) return;
    Closing_ = true;
    LoggedIn_ = false;
    Transport_.Close();
    // The transport reports nothing for a close of our own: finish here.
    TransportDisconnected();
    Closing_ = false;
}

void TKyrelConnection::TransportConnected() {
    Connecting_ = false;
    Active_ = true;
    Buffer_.Clear();
    if (OnConnected) OnConnected(this);
}

void TKyrelConnection::TransportDisconnected() {
    if (!Active_ && !Connecting_) return;
    const bool wasOpen = Active_ || Connecting_;
    Active_ = false;
    Connecting_ = false;
    LoggedIn_ = false;
    ++Session_;
    Buffer_.Clear();
    ClearSubjectUsers();
    if (wasOpen && !Closing_ && OnDisconnected) OnDisconnected(this);
}

void TKyrelConnection::TransportError(int code, const std::string& text) {
    if (OnSocketError) OnSocketError(this, "Error Code " + std::to_string(code) + (text.empty() ? "" : ": " + text));
}

void TKyrelConnection::ClearSubjectUsers() {
    // Records are shared: whoever still holds one (the clock) keeps it alive.
    std::vector<std::shared_ptr<TKyrelUser>> users;
    users.swap(SubjectUsers_);
}

TKyrelUser* TKyrelConnection::FindUser(std::string_view name) const {
    for (const auto& user : SubjectUsers_)
        if (user->UserId == name) return user.get();
    return nullptr;
}

// --- Sending -------------------------------------------------------------

void TKyrelConnection::SendLine(std::string line) {
    if (!Active_) return;
    if (OnEncryptString) OnEncryptString(this, line);
    if (line.find('\n') != std::string::npos) {
        // Unescaped, the line feed would cut the line in two at the server.
        if (OnLineError) OnLineError(this, "A line with a line feed in it was not sent");
        return;
    }
    line += '\n';
    Transport_.Write(line);
}

void TKyrelConnection::Login(const std::string& userName, const std::string& password) {
    SendLine("LOGIN|" + userName + "|" + SubjectCode_ + "|" + password);
}

void TKyrelConnection::LoginNew(const std::string& userName, const std::string& userRecord) {
    SendLine("LOGINNEW|" + userName + "|" + SubjectCode_ + "|" + userRecord);
}

void TKyrelConnection::CreateSubject(const std::string& name, int playerCount) {
    SendLine("CREATESUBJECT|" + name + "|" + std::to_string(playerCount) + "|");
}

void TKyrelConnection::JoinSubject(const std::string& name) {
    if (name == CurrentSubject_) return;
    SendLine("JOINSUBJECT|" + name);
}

void TKyrelConnection::SendChat(const std::string& text) { SendLine("SEND|CHAT|" + text); }

void TKyrelConnection::SendData(const std::string& text) { SendLine("SEND|DATA|" + text); }

void TKyrelConnection::SendCustom(const std::string& messageType, const std::string& messageText) {
    SendLine("CUSTOM|" + messageType + "|" + messageText);
}

void TKyrelConnection::RequestServerStats() { SendLine("SERVERSTATS|"); }

void TKyrelConnection::RequestUserInfo(const std::string& userName) { SendLine("USERINFO|" + userName + "|"); }

void TKyrelConnection::UpdateUser() {
    if (!CurrentUser_) return;
    SendLine("USERUPDATE|" + CurrentUser_->UserId + "|" + CurrentUser_->ToText() + "|");
}

// --- Receiving -----------------------------------------------------------

void TKyrelConnection::Receive(std::string_view bytes) {
    const unsigned session = Session_;
    const size_t dropped = Buffer_.Append(bytes, [this, session](std::string line) {
        HandleLine(std::move(line));
        return Session_ == session;  // a handler closed the connection: stop
    });
    if (dropped > 0 && Session_ == session && OnLineError)
        OnLineError(this, "A line longer than " + std::to_string(Buffer_.MaxLine()) + " bytes was dropped");
}

void TKyrelConnection::HandleLine(std::string line) {
    // Every line in its own error scope: a bad one is reported and the next
    // line is handled as usual.
    try {
        if (OnDecryptString) OnDecryptString(this, line);
        if (OnStringRead) OnStringRead(this, line);
        std::string_view rest(line);
        const std::string command(NextToken(rest, kSep));
        DispatchCommand(command, rest);
    } catch (const std::exception& error) {
        if (OnLineError) OnLineError(this, error.what());
    }
}

void TKyrelConnection::DispatchCommand(const std::string& command, std::string_view rest) {
    if (command == "LOGIN") {
        HandleLogin(rest);
    } else if (command == "SEND") {
        HandleSend(rest);
    } else if (command == "PING") {
        HandlePing(rest);
    } else if (command == "SUBJECTS") {
        HandleSubjects(rest);
    } else if (command == "ADDSUBJECT") {
        const std::string name(NextToken(rest, kSep));
        Subjects_.push_back(name);
        if (OnAddSubject) OnAddSubject(this, name);
    } else if (command == "REMOVESUBJECT") {
        const std::string name(NextToken(rest, kSep));
        if (OnRemoveSubject) OnRemoveSubject(this, name);
        auto it = std::find(Subjects_.begin(), Subjects_.end(), name);
        if (it != Subjects_.end()) Subjects_.erase(it);
    } else if (command == "JOINSUBJECT") {
        HandleJoinSubject(rest);
    } else if (command == "ADDGUEST") {
        HandleAddGuest(rest);
    } else if (command == "REMOVEGUEST") {
        HandleRemoveGuest(rest);
    } else if (command == "BEGINSUBJECT") {
        if (OnBeginSubject) OnBeginSubject(this);
    } else if (command == "SERVERSTATS") {
        ServerStats_.FromText(rest);
        if (OnServerStatus) OnServerStatus(this, &ServerStats_);
    } else if (command == "USERINFO") {
        HandleUserInfo(rest);
    } else if (command == "SHOUT") {
        if (OnShout) OnShout(this, std::string(NextToken(rest, kSep)));
    } else if (command == "ERROR") {
        if (OnServerError) OnServerError(this, std::string(rest));
    } else if (command == "CUSTOM") {
        const std::string type(NextToken(rest, kSep));
        if (OnCustomMessage) OnCustomMessage(this, type, std::string(rest));
    }
    // Anything else is ignored.
}

void TKyrelConnection::HandleLogin(std::string_view rest) {
    const std::string_view status = NextToken(rest, kSep);
    if (status != "SUCCESS") {
        if (OnLoginFailed) OnLoginFailed(this, std::string(rest));
        return;
    }
    auto user = std::make_shared<TKyrelUser>(TKyrelUser::Parse(rest));
    // The old record may still be listed (or held by a clock); sharing keeps
    // it alive for them instead of freeing it under their feet.
    CurrentUser_ = std::move(user);
    LoggedIn_ = true;
    if (OnLoginSuccess) OnLoginSuccess(this, CurrentUser_.get());
}

void TKyrelConnection::HandleSend(std::string_view rest) {
    const std::string sender(NextToken(rest, kSep));
    const std::string_view kind = NextToken(rest, kSep);
    if (kind == "CHAT") {
        if (OnChatReceived) OnChatReceived(this, std::string(rest), sender);
    } else if (kind == "DATA") {
        if (OnDataReceived) OnDataReceived(this, std::string(rest), sender);
    }
}

void TKyrelConnection::HandlePing(std::string_view rest) {
    SendLine("PING|");
    // Read every pair before using any, so a malformed one changes nothing.
    std::vector<std::pair<std::string, int32_t>> pairs;
    while (!rest.empty()) {
        std::string name(NextToken(rest, kSep));
        const std::string_view ms = NextToken(rest, kSep);
        int32_t latency = 0;
        if (!TextToInt(ms, latency)) throw EKyrelError("'" + std::string(ms) + "' is not a valid latency");
        pairs.emplace_back(std::move(name), latency);
    }
    for (const auto& [name, latency] : pairs)
        if (TKyrelUser* user = FindUser(name)) user->AddLatency(latency);
}

void TKyrelConnection::HandleSubjects(std::string_view rest) {
    Subjects_.clear();
    while (!rest.empty()) {
        std::string name(NextToken(rest, kSep));
        Subjects_.push_back(name);
        if (OnAddSubject) OnAddSubject(this, name);
    }
}

std::shared_ptr<TKyrelUser> TKyrelConnection::Adopt(TKyrelUser&& read) {
    if (CurrentUser_ && read.UserId == CurrentUser_->UserId) return CurrentUser_;
    return std::make_shared<TKyrelUser>(std::move(read));
}

void TKyrelConnection::HandleJoinSubject(std::string_view rest) {
    const std::string name(NextToken(rest, kSep));
    // Read every record first: a malformed one leaves the lists as they were.
    std::vector<TKyrelUser> records;
    while (!rest.empty()) records.push_back(TKyrelUser::Parse(NextToken(rest, kSep)));
    CurrentSubject_ = name;
    ClearSubjectUsers();
    if (OnJoinSubject) OnJoinSubject(this, name);
    for (TKyrelUser& record : records) {
        std::shared_ptr<TKyrelUser> user = Adopt(std::move(record));
        SubjectUsers_.push_back(user);
        if (OnAddUser) OnAddUser(this, user.get());
    }
}

void TKyrelConnection::HandleAddGuest(std::string_view rest) {
    NextToken(rest, kSep);
    std::shared_ptr<TKyrelUser> user = Adopt(TKyrelUser::Parse(rest));
    SubjectUsers_.push_back(user);
    if (OnAddUser) OnAddUser(this, user.get());
}

void TKyrelConnection::HandleRemoveGuest(std::string_view rest) {
    auto it = std::find_if(SubjectUsers_.begin(), SubjectUsers_.end(),
                           [&](const auto& user) { return user->UserId == rest; });
    if (it == SubjectUsers_.end()) return;
    std::shared_ptr<TKyrelUser> user = *it;  // alive through the event
    if (OnRemoveUser) OnRemoveUser(this, user.get());
    it = std::find(SubjectUsers_.begin(), SubjectUsers_.end(), user);
    if (it != SubjectUsers_.end()) SubjectUsers_.erase(it);
}

void TKyrelConnection::HandleUserInfo(std::string_view rest) {
    const TKyrelUser scratch = TKyrelUser::Parse(rest);
    for (const auto& user : SubjectUsers_) {
        if (user->UserId != scratch.UserId) continue;
        user->FromText(rest);
        if (OnUserInfo) OnUserInfo(this, user.get());
        return;
    }
}

} // namespace qx
