#include "server/LobbyServer.h"

#include <QDate>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <iostream>

#include "base/FieldCodec.h"

namespace qx::lobby {

namespace {

// A client that does not take what it is sent is dropped before the server
// holds more than this for it, besides the line it is being sent (a game
// start may be a few megabytes on its own).
constexpr qint64 kMaxBacklogBytes = 1024 * 1024;
// All clients together: past this, the ones with the longest backlogs go
// first, so many slow readers cannot add up to more memory than this.
constexpr qint64 kMaxAllBacklogBytes = 256 * 1024 * 1024;

std::string Lower(std::string s) { return NameKey(s); }

} // namespace

struct TLobbyServer::TSession {
    TSession(uint64_t id, QTcpSocket* socket, std::string address, const TLobbyLimits& limits)
        : Id(id),
          Socket(socket),
          Address(std::move(address)),
          // Until a user has logged in, no line may be long: only a logged-in
          // user sends games.
          Buffer(limits.MaxLine),
          Lines(limits.LinesPerSecond, limits.LineBurst),
          Bytes(limits.BytesPerSecond, limits.ByteBurst) {}

    uint64_t Id;
    QTcpSocket* Socket;
    std::string Address;
    TLineBuffer Buffer;
    TRateLimiter Lines;
    TRateLimiter Bytes;
    TClock::time_point Connected = TClock::now();
    TClock::time_point LastHeard = TClock::now();
    TClock::time_point PingSent{};
    bool PingOutstanding = false;
    int32_t Latency = 0;
    bool LoggedIn = false;
    bool LoginPending = false;
    bool Closing = false;
    bool Overflowed = false;
    std::string Name;
    std::string Key;
    std::string Subject;
    TKyrelUser Record;  // no password
};

struct TLobbyServer::TSubject {
    std::string Name;
    int Humans = 0;  // 0: a chat room
    bool Permanent = false;
    bool Begun = false;
    bool ResultRecorded = false;
    std::string Creator;                // name key of the user who created it
    std::vector<uint64_t> Users;        // in order of joining; the creator first
    std::vector<std::string> Members;   // names at the beginning of a game
    bool Game() const { return Humans > 0; }
};

TLobbyServer::TLobbyServer(TLobbyOptions options, TLobbyStore& store, QObject* parent)
    : QObject(parent), Options_(std::move(options)), Store_(store), Hasher_(Options_.HashCost) {
    Log = [](const std::string& message) { std::cerr << message << std::endl; };
    auto lobby = std::make_unique<TSubject>();
    lobby->Name = kLobbyChat;
    lobby->Permanent = true;
    Subjects_.push_back(std::move(lobby));
    Workers_.setMaxThreadCount(2);
    TotalConnections_ = Store_.Total("TotalConnections");
    PeakConnections_ = Store_.Total("PeakConnections");
    TotalSubjects_ = Store_.Total("TotalSubjects");
    BytesRead_ = Store_.Total("BytesRead");
    BytesWritten_ = Store_.Total("BytesWritten");
    connect(&PingTimer_, &QTimer::timeout, this, [this] { Ping(); });
    connect(&HouseTimer_, &QTimer::timeout, this, [this] { Housekeeping(); });
    connect(&TotalsTimer_, &QTimer::timeout, this, [this] {
        try {
            SaveTotals();
        } catch (const std::exception& error) {
            Note(std::string("could not save the totals: ") + error.what());
        }
    });
}

TLobbyServer::~TLobbyServer() {
    Shutdown();
    Workers_.waitForDone();
}

bool TLobbyServer::Listen(std::string* why) {
    Server_ = new QTcpServer(this);
    if (!Server_->listen(Options_.ListenAddress, Options_.Port)) {
        if (why) *why = Server_->errorString().toStdString();
        return false;
    }
    connect(Server_, &QTcpServer::newConnection, this, [this] { Accept(); });
    PingTimer_.start(Options_.Limits.PingSeconds * 1000);
    HouseTimer_.start(1000);
    TotalsTimer_.start(30000);
    return true;
}

quint16 TLobbyServer::Port() const { return Server_ ? Server_->serverPort() : 0; }

void TLobbyServer::Shutdown() {
    if (ShuttingDown_) return;
    ShuttingDown_ = true;
    PingTimer_.stop();
    HouseTimer_.stop();
    TotalsTimer_.stop();
    if (Server_) Server_->close();
    for (auto& [id, session] : Sessions_) {
        session->Socket->disconnect(this);
        session->Socket->flush();
        session->Socket->abort();
        session->Socket->deleteLater();
    }
    Sessions_.clear();
    try {
        SaveTotals();
    } catch (const std::exception& error) {
        Note(std::string("could not save the totals: ") + error.what());
    }
}

void TLobbyServer::Note(const std::string& message) const {
    if (Log) Log(message);
}

double TLobbyServer::Today() {
    const QDate today = QDate::currentDate();
    return KyrelDate(today.year(), today.month(), today.day());
}

// --- Connections ---------------------------------------------------------

void TLobbyServer::Accept() {
    while (QTcpSocket* socket = Server_->nextPendingConnection()) {
        const std::string address = socket->peerAddress().toString().toStdString();
        if (ShuttingDown_ || ConnectionsPerAddress_[address] >= Options_.Limits.ConnectionsPerAddress) {
            std::string line = "ERROR|Too many connections from your address";
            Encryptor_.EncryptLine(line);
            socket->write((line + "\n").c_str());
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            if (socket->state() == QAbstractSocket::UnconnectedState) socket->deleteLater();
            Note("refused a connection from " + address + ": too many connections");
            continue;
        }
        ++ConnectionsPerAddress_[address];
        const uint64_t id = NextSessionId_++;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        Sessions_[id] = std::make_unique<TSession>(id, socket, address, Options_.Limits);
        ++TotalConnections_;
        PeakConnections_ = std::max(PeakConnections_, static_cast<double>(Sessions_.size()));
        connect(socket, &QTcpSocket::readyRead, this, [this, id] { Read(id); });
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { Dropped(id); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, id](QAbstractSocket::SocketError) { Dropped(id); });
    }
}

TLobbyServer::TSession* TLobbyServer::FindSession(uint64_t id) {
    auto it = Sessions_.find(id);
    return it == Sessions_.end() ? nullptr : it->second.get();
}

void TLobbyServer::Dropped(uint64_t id) {
    TSession* session = FindSession(id);
    if (!session) return;
    if (!session->Closing) {
        session->Closing = true;
        Leave(*session);
        if (session->LoggedIn) Note(session->Name + " left (" + session->Address + ")");
    }
    session->Socket->disconnect(this);
    session->Socket->deleteLater();
    if (--ConnectionsPerAddress_[session->Address] <= 0) ConnectionsPerAddress_.erase(session->Address);
    Sessions_.erase(id);
}

void TLobbyServer::Close(TSession& session, const std::string& error) {
    if (session.Closing) return;
    if (!error.empty()) {
        Send(session, "ERROR|" + error);
        Note("dropped " + (session.Name.empty() ? session.Address : session.Name) + ": " + error);
    }
    session.Closing = true;
    Leave(session);
    // The socket reports its end; the session goes then, after this line.
    const uint64_t id = session.Id;
    session.Socket->disconnectFromHost();
    QMetaObject::invokeMethod(this, [this, id] { Dropped(id); }, Qt::QueuedConnection);
}

void TLobbyServer::Read(uint64_t id) {
    TSession* session = FindSession(id);
    if (!session || session->Closing) return;
    const QByteArray bytes = session->Socket->readAll();
    BytesRead_ += bytes.size();
    session->LastHeard = TClock::now();
    if (!session->Bytes.Take(static_cast<double>(bytes.size()))) {
        Close(*session, "Too much data: disconnected");
        return;
    }
    const size_t dropped =
        session->Buffer.Append(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                               [this, id](std::string line) {
                                   TSession* s = FindSession(id);
                                   if (!s || s->Closing) return false;
                                   if (!s->Lines.Take(1)) {
                                       Close(*s, "Too many lines: disconnected");
                                       return false;
                                   }
                                   Handle(*s, std::move(line));
                                   s = FindSession(id);
                                   return s && !s->Closing;
                               });
    session = FindSession(id);
    if (dropped > 0 && session && !session->Closing) Close(*session, "Line too long: disconnected");
}

void TLobbyServer::Write(TSession& session, const std::string& bytes) {
    if (session.Closing || session.Overflowed) return;
    session.Socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
    BytesWritten_ += static_cast<double>(bytes.size());
    if (session.Socket->bytesToWrite() > kMaxBacklogBytes + static_cast<qint64>(bytes.size())) {
        // The client takes nothing: stop holding its lines and let it go.
        session.Overflowed = true;
        const uint64_t id = session.Id;
        QMetaObject::invokeMethod(this, [this, id] {
            TSession* s = FindSession(id);
            if (!s) return;
            Note("dropped " + (s->Name.empty() ? s->Address : s->Name) + ": it does not read what it is sent");
            s->Socket->abort();
            Dropped(id);
        }, Qt::QueuedConnection);
    }
}

void TLobbyServer::Send(TSession& session, std::string line) {
    Encryptor_.EncryptLine(line);
    line += '\n';
    Write(session, line);
}

void TLobbyServer::SendTo(const std::vector<TSession*>& sessions, std::string line) {
    // Scrambled once: every receiver gets the same bytes.
    Encryptor_.EncryptLine(line);
    line += '\n';
    for (TSession* session : sessions) Write(*session, line);
}

void TLobbyServer::Broadcast(std::string line) {
    std::vector<TSession*> all;
    for (auto& [id, session] : Sessions_)
        if (session->LoggedIn && !session->Closing) all.push_back(session.get());
    SendTo(all, std::move(line));
}

// --- Lines ---------------------------------------------------------------

void TLobbyServer::Handle(TSession& session, std::string line) {
    Encryptor_.DecryptLine(line);
    TClientLine request = DecodeClientLine(line, Options_.Limits);
    const bool login = request.Command == TClientCommand::Login || request.Command == TClientCommand::LoginNew;
    if (!session.LoggedIn && !login && request.Command != TClientCommand::Ping) {
        Send(session, "ERROR|Please log in first");
        return;
    }
    if (!request.Error.empty()) {
        if (login)
            FailLogin(session, "", request.Error, false);
        else
            Send(session, "ERROR|" + request.Error);
        return;
    }
    // A failing database must not take the relay down: the line is refused.
    try {
        Dispatch(session, request);
    } catch (const std::exception& error) {
        Note(std::string("error: ") + error.what());
        Send(session, request.Command == TClientCommand::Login || request.Command == TClientCommand::LoginNew
                          ? "LOGIN|FAILURE|The server could not do that"
                          : "ERROR|The server could not do that");
    }
}

void TLobbyServer::Dispatch(TSession& session, TClientLine& request) {
    switch (request.Command) {
    case TClientCommand::Login: Login(session, request); break;
    case TClientCommand::LoginNew: LoginNew(session, request); break;
    case TClientCommand::Ping:
        if (session.PingOutstanding) {
            session.PingOutstanding = false;
            session.Latency = static_cast<int32_t>(std::max<int64_t>(
                1, std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - session.PingSent).count()));
        }
        break;
    case TClientCommand::CreateSubject: CreateSubject(session, request); break;
    case TClientCommand::JoinSubject: JoinSubject(session, request.Name); break;
    case TClientCommand::SendChat: Relay(session, "CHAT", request.Text); break;
    case TClientCommand::SendData: Relay(session, "DATA", request.Text); break;
    case TClientCommand::Custom: Custom(session, request); break;
    case TClientCommand::ServerStats: Send(session, "SERVERSTATS|" + Stats().ToText()); break;
    case TClientCommand::UserInfo: UserInfo(session, request.Name); break;
    case TClientCommand::UserUpdate: UserUpdate(session, request); break;
    case TClientCommand::Shout: Shout(session, request.Text); break;
    case TClientCommand::Unknown: break;
    }
}

// --- Logins --------------------------------------------------------------

TLobbyServer::TSession* TLobbyServer::FindOnline(const std::string& key) {
    for (auto& [id, session] : Sessions_)
        if (session->LoggedIn && !session->Closing && session->Key == key) return session.get();
    return nullptr;
}

void TLobbyServer::FailLogin(TSession& session, const std::string& key, const std::string& text, bool count) {
    if (count) {
        AddressFailures_[session.Address].Add();
        if (!key.empty()) AccountFailures_[key].Add();
        Note("failed login from " + session.Address + (key.empty() ? "" : " as " + key));
    }
    Send(session, "LOGIN|FAILURE|" + text);
}

void TLobbyServer::Login(TSession& session, TClientLine& line) {
    const std::string key = NameKey(line.Name);
    const auto window = std::chrono::seconds(Options_.Limits.FailureWindowSeconds);
    if (session.LoggedIn) return FailLogin(session, key, "You are logged in already", false);
    if (session.LoginPending) return FailLogin(session, key, "A login is under way", false);
    if (AddressFailures_[session.Address].Count(window) >= Options_.Limits.FailedLoginsPerAddress)
        return FailLogin(session, key, "Too many failed logins from your address; try again later", false);
    if (AccountFailures_[key].Count(window) >= Options_.Limits.FailedLoginsPerAccount)
        return FailLogin(session, key, "Too many failed logins for " + line.Name + "; try again later", false);
    std::optional<TLobbyStore::TAccount> account = Store_.FindUser(line.Name);
    if (!account) return FailLogin(session, key, "Unknown user or wrong password", true);
    if (PendingKeys_.count(key)) return FailLogin(session, key, "A login for " + line.Name + " is under way", false);
    if (PendingLogins_ >= Options_.Limits.PendingLogins)
        return FailLogin(session, key, "The server is busy; please try again", false);

    session.LoginPending = true;
    PendingKeys_.insert(key);
    ++PendingLogins_;
    const uint64_t id = session.Id;
    const std::string hash = account->PasswordHash;
    const std::string password = std::move(line.Text);
    Workers_.start([this, id, key, hash, password] {
        const bool ok = TPasswordHasher::Verify(hash, password);
        QMetaObject::invokeMethod(this, [this, id, key, ok] { FinishLogin(id, key, ok, false, ""); }, Qt::QueuedConnection);
    });
}

void TLobbyServer::LoginNew(TSession& session, TClientLine& line) {
    const std::string key = NameKey(line.Name);
    if (session.LoggedIn) return FailLogin(session, key, "You are logged in already", false);
    if (session.LoginPending) return FailLogin(session, key, "A login is under way", false);
    if (PendingKeys_.count(key) || Store_.FindUser(line.Name))
        return FailLogin(session, key, "The User ID " + line.Name + " is taken", false);
    if (PendingLogins_ >= Options_.Limits.PendingLogins)
        return FailLogin(session, key, "The server is busy; please try again", false);

    session.LoginPending = true;
    PendingKeys_.insert(key);
    ++PendingLogins_;
    const uint64_t id = session.Id;
    TKyrelUser record = line.User;
    const std::string password = std::move(record.Password);
    record.Password.clear();
    const TPasswordHasher hasher = Hasher_;
    Workers_.start([this, id, key, record, password, hasher] {
        std::string hash, error;
        try {
            hash = hasher.Hash(password);
        } catch (const std::exception& e) {
            error = e.what();
        }
        QMetaObject::invokeMethod(this, [this, id, key, record, hash, error] {
            TSession* session = FindSession(id);
            bool ok = error.empty() && session && !session->Closing;
            std::string why = error;
            try {
                if (ok && !Store_.CreateUser(record, hash, Today())) {
                    ok = false;
                    why = "The User ID " + record.UserId + " is taken";
                }
            } catch (const std::exception& e) {
                ok = false;
                why = "The user could not be created";
                Note(std::string("error: ") + e.what());
            }
            if (ok) Note("new user " + record.UserId + " from " + session->Address);
            FinishLogin(id, key, ok, true, why);
        }, Qt::QueuedConnection);
    });
}

void TLobbyServer::FinishLogin(uint64_t id, const std::string& key, bool ok, bool created, const std::string& error) {
    PendingKeys_.erase(key);
    --PendingLogins_;
    TSession* session = FindSession(id);
    if (!session || session->Closing) return;
    session->LoginPending = false;
    if (!ok) {
        if (created)
            FailLogin(*session, key, error.empty() ? "The user could not be created" : error, false);
        else
            FailLogin(*session, key, "Unknown user or wrong password", true);
        return;
    }
    try {
        // One session per account: the password is checked first, so the
        // answer tells nobody else whether the user is online.
        std::optional<TLobbyStore::TAccount> account = Store_.FindUser(key);
        if (!account) {
            FailLogin(*session, key, "The login could not be completed", false);
            return;
        }
        if (FindOnline(key)) {
            FailLogin(*session, key, account->Name + " is logged in already", false);
            return;
        }
        CompleteLogin(*session, std::move(*account));
    } catch (const std::exception& e) {
        Note(std::string("error: ") + e.what());
        FailLogin(*session, key, "The server could not do that", false);
    }
}

void TLobbyServer::CompleteLogin(TSession& session, TLobbyStore::TAccount account) {
    Store_.TouchLogin(account.Name, Today());
    account.Record.ServerDate2 = Today();
    session.LoggedIn = true;
    session.Buffer.SetMaxLine(Options_.Limits.MaxDataLine);
    session.Name = account.Name;
    session.Key = NameKey(account.Name);
    session.Record = std::move(account.Record);
    AccountFailures_.erase(session.Key);
    Note(session.Name + " logged in from " + session.Address);
    Send(session, "LOGIN|SUCCESS|" + RecordOf(session));
    std::string subjects = "SUBJECTS";
    for (const auto& subject : Subjects_) subjects += "|" + subject->Name;
    Send(session, subjects);
    Send(session, "CUSTOM|QXVERSION|" + std::to_string(Options_.NewestVersion) + "|" +
                      std::to_string(Options_.NewestBuild));
    Join(session, *Subjects_.front());
}

std::string TLobbyServer::RecordOf(const TSession& session) const { return session.Record.ToText(); }

// --- Subjects ------------------------------------------------------------

TLobbyServer::TSubject* TLobbyServer::FindSubject(const std::string& name) {
    for (auto& subject : Subjects_)
        if (subject->Name == name) return subject.get();
    return nullptr;
}

std::vector<TLobbyServer::TSession*> TLobbyServer::UsersOf(const TSubject& subject) {
    std::vector<TSession*> users;
    for (uint64_t id : subject.Users)
        if (TSession* session = FindSession(id)) users.push_back(session);
    return users;
}

void TLobbyServer::CreateSubject(TSession& session, const TClientLine& line) {
    for (const auto& subject : Subjects_) {
        if (Lower(subject->Name) == Lower(line.Name)) {
            Send(session, "ERROR|A subject named " + line.Name + " exists already");
            return;
        }
    }
    auto subject = std::make_unique<TSubject>();
    subject->Name = line.Name;
    subject->Humans = line.Count;
    subject->Creator = session.Key;
    TSubject* made = subject.get();
    Subjects_.push_back(std::move(subject));
    ++TotalSubjects_;
    Note(session.Name + " created " + (made->Game() ? "the game " : "the room ") + made->Name);
    Broadcast("ADDSUBJECT|" + made->Name);
    Join(session, *made);
}

void TLobbyServer::JoinSubject(TSession& session, const std::string& name) {
    TSubject* subject = FindSubject(name);
    if (!subject) {
        Send(session, "ERROR|There is no subject named " + name);
        return;
    }
    if (session.Subject == subject->Name) return;
    if (subject->Begun) {
        Send(session, "ERROR|That Game has begun already");
        return;
    }
    Join(session, *subject);
}

void TLobbyServer::Join(TSession& session, TSubject& subject) {
    Leave(session);
    std::string reply = "JOINSUBJECT|" + subject.Name;
    const std::vector<TSession*> others = UsersOf(subject);
    for (TSession* other : others) reply += "|" + RecordOf(*other);
    reply += "|" + RecordOf(session);
    subject.Users.push_back(session.Id);
    session.Subject = subject.Name;
    Send(session, reply);
    SendTo(others, "ADDGUEST|" + subject.Name + "|" + RecordOf(session));
    if (subject.Game() && !subject.Begun && static_cast<int>(subject.Users.size()) >= subject.Humans) {
        // The human count is reached: the game is locked and begins, once.
        subject.Begun = true;
        for (TSession* user : UsersOf(subject)) subject.Members.push_back(user->Name);
        Note("the game " + subject.Name + " begins");
        SendTo(UsersOf(subject), "BEGINSUBJECT|");
    }
}

void TLobbyServer::Leave(TSession& session) {
    if (session.Subject.empty()) return;
    TSubject* subject = FindSubject(session.Subject);
    session.Subject.clear();
    if (!subject) return;
    auto& users = subject->Users;
    users.erase(std::remove(users.begin(), users.end(), session.Id), users.end());
    SendTo(UsersOf(*subject), "REMOVEGUEST|" + session.Name);
    if (subject->Permanent) return;
    if (subject->Game() && !subject->Begun && subject->Creator == session.Key) {
        // The host is gone before the game began: the others go back to the lobby.
        const std::string name = subject->Name;
        for (TSession* user : UsersOf(*subject)) {
            user->Subject.clear();
            Send(*user, "ERROR|The creator of " + name + " has left it");
            Join(*user, *Subjects_.front());
        }
        subject = FindSubject(name);
        if (subject) subject->Users.clear();
    }
    if (subject && subject->Users.empty()) RemoveSubject(subject->Name);
}

void TLobbyServer::RemoveSubject(const std::string& subjectName) {
    const std::string name = subjectName;  // the subject that holds the text goes first
    auto it = std::find_if(Subjects_.begin(), Subjects_.end(), [&](const auto& s) { return s->Name == name; });
    if (it == Subjects_.end() || (*it)->Permanent) return;
    Subjects_.erase(it);
    Broadcast("REMOVESUBJECT|" + name);
}

// --- Messages ------------------------------------------------------------

void TLobbyServer::Relay(TSession& session, const char* kind, const std::string& text) {
    TSubject* subject = FindSubject(session.Subject);
    if (!subject) return;
    std::vector<TSession*> others;
    for (TSession* user : UsersOf(*subject))
        if (user != &session) others.push_back(user);
    SendTo(others, "SEND|" + session.Name + "|" + kind + "|" + text);
}

void TLobbyServer::UserInfo(TSession& session, const std::string& name) {
    if (TSession* online = FindOnline(NameKey(name))) {
        Send(session, "USERINFO|" + RecordOf(*online));
        return;
    }
    std::optional<TLobbyStore::TAccount> account = Store_.FindUser(name);
    if (!account) {
        Send(session, "ERROR|There is no user named " + name);
        return;
    }
    Send(session, "USERINFO|" + account->Record.ToText());
}

void TLobbyServer::UserUpdate(TSession& session, TClientLine& line) {
    // Only one's own record, and only the fields a user may set.
    if (line.Name != session.Name) {
        Send(session, "ERROR|You can only change your own User Information");
        return;
    }
    TKyrelUser& record = session.Record;
    const TKyrelUser& sent = line.User;
    record.FirstName = sent.FirstName;
    record.LastName = sent.LastName;
    record.City = sent.City;
    record.Country = sent.Country;
    record.EMail = sent.EMail;
    record.HomePage = sent.HomePage;
    record.Comments = sent.Comments;
    record.Glyph = sent.Glyph;
    Store_.UpdateProfile(record);
    if (!sent.Password.empty()) {
        const std::string name = session.Name;
        const std::string password = sent.Password;
        const TPasswordHasher hasher = Hasher_;
        Workers_.start([this, name, password, hasher] {
            try {
                const std::string hash = hasher.Hash(password);
                QMetaObject::invokeMethod(this, [this, name, hash] {
                    try {
                        Store_.UpdatePassword(name, hash);
                    } catch (const std::exception& e) {
                        Note(std::string("error: ") + e.what());
                    }
                }, Qt::QueuedConnection);
            } catch (const std::exception&) {
            }
        });
    }
    const std::string reply = "USERINFO|" + RecordOf(session);
    if (TSubject* subject = FindSubject(session.Subject))
        SendTo(UsersOf(*subject), reply);
    else
        Send(session, reply);
}

void TLobbyServer::Custom(TSession& session, const TClientLine& line) {
    // Custom messages are for the server; none is ever relayed.
    if (line.Code == "QXHISTORY") {
        Send(session, "CUSTOM|QXHISTORY|" + FormatHistory(Store_.RecentGames(50), Store_.HallOfFame(20),
                                                          Store_.Schedules(100)));
    } else if (line.Code == "QXSCHEDULE") {
        if (line.Text.empty() || !IsHistoryText(line.Text, 100)) {
            Send(session, "ERROR|A schedule is 1 to 100 characters without separators");
            return;
        }
        Store_.SetSchedule(session.Name, line.Text);
    } else if (line.Code == "QXUPDATE") {
        GameResult(session, line.Text);
    } else {
        Send(session, "ERROR|Unknown message type " + line.Code.substr(0, 32));
    }
}

void TLobbyServer::GameResult(TSession& session, const std::string& text) {
    TSubject* subject = FindSubject(session.Subject);
    auto member = [&](const std::string& name) {
        return subject && std::any_of(subject->Members.begin(), subject->Members.end(),
                                      [&](const std::string& m) { return NameKey(m) == NameKey(name); });
    };
    if (!subject || !subject->Begun || !member(session.Name)) {
        Send(session, "ERROR|A game result comes from a player of a game that began");
        return;
    }
    if (subject->ResultRecorded) {
        Send(session, "ERROR|The result of this game is known already");
        return;
    }
    TGameResult result;
    std::string why;
    if (!ParseGameResult(text, result, &why)) {
        Send(session, "ERROR|" + why);
        return;
    }
    if (!member(result.Victor) ||
        !std::all_of(result.Defeated.begin(), result.Defeated.end(), [&](const std::string& n) { return member(n); })) {
        Send(session, "ERROR|A game result names only the game's players");
        return;
    }
    Store_.RecordGame(result, subject->Name);
    subject->ResultRecorded = true;
    Note("result of " + subject->Name + ": " + result.Victor + " won after " + std::to_string(result.Impulses) +
         " impulses");
    // The players' ranking tokens changed.
    for (TSession* user : UsersOf(*subject))
        if (std::optional<TLobbyStore::TAccount> account = Store_.FindUser(user->Name))
            user->Record.Info = account->Record.Info;
}

void TLobbyServer::Shout(TSession& session, const std::string& text) {
    if (!Options_.Operators.count(session.Key)) {
        Send(session, "ERROR|Only the server's operator may shout");
        return;
    }
    Note(session.Name + " shouts: " + text);
    Broadcast("SHOUT|" + text);
}

// --- Timers --------------------------------------------------------------

void TLobbyServer::Ping() {
    const TClock::time_point now = TClock::now();
    for (const auto& subject : Subjects_) {
        const std::vector<TSession*> users = UsersOf(*subject);
        if (users.empty()) continue;
        std::string line = "PING";
        for (TSession* user : users) line += "|" + user->Name + "|" + std::to_string(user->Latency);
        for (TSession* user : users) {
            if (!user->PingOutstanding) {
                user->PingSent = now;
                user->PingOutstanding = true;
            }
        }
        SendTo(users, line);
    }
}

void TLobbyServer::Housekeeping() {
    const TClock::time_point now = TClock::now();
    std::vector<uint64_t> late, silent;
    for (auto& [id, session] : Sessions_) {
        if (session->Closing) continue;
        if (!session->LoggedIn && !session->LoginPending &&
            now - session->Connected > std::chrono::seconds(Options_.Limits.LoginDeadlineSeconds))
            late.push_back(id);
        else if (now - session->LastHeard > std::chrono::seconds(Options_.Limits.SilentSeconds))
            silent.push_back(id);
    }
    for (uint64_t id : late)
        if (TSession* s = FindSession(id)) Close(*s, "Login time is up");
    for (uint64_t id : silent)
        if (TSession* s = FindSession(id)) Close(*s, "No word from you for too long");
    DropLongestBacklogs();
}

void TLobbyServer::DropLongestBacklogs() {
    std::vector<std::pair<qint64, uint64_t>> backlogs;
    qint64 total = 0;
    for (auto& [id, session] : Sessions_) {
        if (session->Closing || session->Overflowed) continue;
        const qint64 unsent = session->Socket->bytesToWrite();
        total += unsent;
        if (unsent > 0) backlogs.emplace_back(unsent, id);
    }
    std::sort(backlogs.rbegin(), backlogs.rend());
    for (const auto& [unsent, id] : backlogs) {
        if (total <= kMaxAllBacklogBytes) break;
        total -= unsent;
        if (TSession* s = FindSession(id)) {
            Note("dropped " + (s->Name.empty() ? s->Address : s->Name) + ": it does not read what it is sent");
            s->Overflowed = true;
            s->Socket->abort();
            Dropped(id);
        }
    }
}

void TLobbyServer::SaveTotals() {
    Store_.SetTotal("TotalConnections", TotalConnections_);
    Store_.SetTotal("PeakConnections", PeakConnections_);
    Store_.SetTotal("TotalSubjects", TotalSubjects_);
    Store_.SetTotal("BytesRead", BytesRead_);
    Store_.SetTotal("BytesWritten", BytesWritten_);
}

TKyrelServerStats TLobbyServer::Stats() const {
    TKyrelServerStats stats;
    const auto active = std::chrono::duration_cast<std::chrono::seconds>(TClock::now() - Started_).count();
    stats.TimeActive = static_cast<int32_t>(std::min<int64_t>(active, INT32_MAX));
    stats.CurrentConnections = static_cast<int32_t>(Sessions_.size());
    stats.TotalConnections = static_cast<int32_t>(std::min(TotalConnections_, 2147483647.0));
    stats.CurrentSubjects = static_cast<int32_t>(Subjects_.size()) - 1;
    stats.TotalSubjects = static_cast<int32_t>(std::min(TotalSubjects_, 2147483647.0));
    stats.PeakConnections = static_cast<int32_t>(std::min(PeakConnections_, 2147483647.0));
    stats.BytesRead = BytesRead_;
    stats.BytesWritten = BytesWritten_;
    return stats;
}

std::vector<std::pair<std::string, std::vector<std::string>>> TLobbyServer::SubjectList() const {
    std::vector<std::pair<std::string, std::vector<std::string>>> list;
    for (const auto& subject : Subjects_) {
        std::vector<std::string> names;
        for (uint64_t id : subject->Users) {
            auto it = Sessions_.find(id);
            if (it != Sessions_.end()) names.push_back(it->second->Name);
        }
        list.emplace_back(subject->Name, std::move(names));
    }
    return list;
}

} // namespace qx::lobby
