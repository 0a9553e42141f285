#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include <QHostAddress>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include "net/KyrelServerStats.h"
#include "net/LineBuffer.h"
#include "net/StringEncryptor.h"
#include "server/LobbyProtocol.h"
#include "server/LobbyStore.h"
#include "server/PasswordHasher.h"

class QTcpServer;
class QTcpSocket;

namespace qx::lobby {

struct TLobbyOptions {
    QHostAddress ListenAddress = QHostAddress::Any;
    quint16 Port = 4000;
    TLobbyLimits Limits;
    TPasswordHasher::TCost HashCost = TPasswordHasher::TCost::Interactive;
    std::set<std::string> Operators;  // name keys of users who may SHOUT
    int NewestVersion = 4;            // the QXVERSION notice at login
    int NewestBuild = 17;
    std::string ServerName = "quorvex-lobby";
};

// The lobby: accounts, the permanent "Lobby Chat", chat rooms and games,
// the relay of chat and data among a subject's users, pings, statistics,
// the game history and the limits a public server needs. Runs on the Qt
// event loop of its thread; password hashing runs on worker threads so it
// never holds up the relay.
class TLobbyServer : public QObject {
public:
    TLobbyServer(TLobbyOptions options, TLobbyStore& store, QObject* parent = nullptr);
    ~TLobbyServer() override;

    // Starts listening; false with a message when the port cannot be had.
    bool Listen(std::string* why);
    quint16 Port() const;
    // Closes every connection and saves the totals.
    void Shutdown();

    TKyrelServerStats Stats() const;
    // Who is where, for the status page: subject name and its users.
    std::vector<std::pair<std::string, std::vector<std::string>>> SubjectList() const;
    int SessionCount() const { return static_cast<int>(Sessions_.size()); }

    // Messages for the operator's log (standard error by default).
    std::function<void(const std::string&)> Log;

private:
    struct TSession;
    struct TSubject;
    using TClock = std::chrono::steady_clock;

    void Accept();
    void Read(uint64_t id);
    void Dropped(uint64_t id);
    void Close(TSession& session, const std::string& error);
    void Handle(TSession& session, std::string line);
    void Dispatch(TSession& session, TClientLine& request);
    void Write(TSession& session, const std::string& bytes);
    void Send(TSession& session, std::string line);
    void SendTo(const std::vector<TSession*>& sessions, std::string line);
    void Broadcast(std::string line);  // every logged-in user

    void Login(TSession& session, TClientLine& line);
    void LoginNew(TSession& session, TClientLine& line);
    void FinishLogin(uint64_t id, const std::string& key, bool ok, bool created, const std::string& error);
    void CompleteLogin(TSession& session, TLobbyStore::TAccount account);
    void FailLogin(TSession& session, const std::string& key, const std::string& text, bool count);
    void CreateSubject(TSession& session, const TClientLine& line);
    void JoinSubject(TSession& session, const std::string& name);
    void Join(TSession& session, TSubject& subject);
    void Leave(TSession& session);
    void RemoveSubject(const std::string& name);
    void Relay(TSession& session, const char* kind, const std::string& text);
    void UserInfo(TSession& session, const std::string& name);
    void UserUpdate(TSession& session, TClientLine& line);
    void Custom(TSession& session, const TClientLine& line);
    void GameResult(TSession& session, const std::string& text);
    void Shout(TSession& session, const std::string& text);
    void Ping();
    void Housekeeping();
    void DropLongestBacklogs();
    void SaveTotals();

    TSubject* FindSubject(const std::string& name);
    TSession* FindSession(uint64_t id);
    TSession* FindOnline(const std::string& key);
    std::vector<TSession*> UsersOf(const TSubject& subject);
    std::string RecordOf(const TSession& session) const;
    static double Today();
    void Note(const std::string& message) const;

    TLobbyOptions Options_;
    TLobbyStore& Store_;
    TPasswordHasher Hasher_;
    TStringEncryptor Encryptor_{kGameKey};
    QTcpServer* Server_ = nullptr;
    QTimer PingTimer_;
    QTimer HouseTimer_;
    QTimer TotalsTimer_;
    QThreadPool Workers_;
    std::unordered_map<uint64_t, std::unique_ptr<TSession>> Sessions_;
    uint64_t NextSessionId_ = 1;
    std::vector<std::unique_ptr<TSubject>> Subjects_;  // in order of creation, "Lobby Chat" first
    std::map<std::string, int> ConnectionsPerAddress_;
    std::map<std::string, TFailureWindow> AddressFailures_;
    std::map<std::string, TFailureWindow> AccountFailures_;
    std::set<std::string> PendingKeys_;  // accounts with a login or creation under way
    int PendingLogins_ = 0;
    TClock::time_point Started_ = TClock::now();
    // Totals kept across restarts.
    double TotalConnections_ = 0;
    double PeakConnections_ = 0;
    double TotalSubjects_ = 0;
    double BytesRead_ = 0;
    double BytesWritten_ = 0;
    bool ShuttingDown_ = false;
};

} // namespace qx::lobby
