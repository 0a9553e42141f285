#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "net/KyrelUser.h"
#include "server/LobbyProtocol.h"

namespace qx::lobby {

// What the lobby keeps across restarts: accounts, the game log with the
// ratings it produced, the players' schedules and the server's totals. Qt
// SQL with SQLite by default (one file, write-ahead log). The statements are
// plain SQL that PostgreSQL reads as well, so another driver needs no rewrite.
class TLobbyStore {
public:
    struct TAccount {
        std::string Name;
        std::string PasswordHash;
        TKyrelUser Record;  // as sent to clients: no password, server fields filled in
        int Wins = 0;
        int Losses = 0;
        int Rating = kStartRating;
    };

    // Opens (and creates) the database; "QSQLITE" unless another driver is
    // named. Throws std::runtime_error when it cannot be opened.
    explicit TLobbyStore(const QString& path, const QString& driver = "QSQLITE");
    ~TLobbyStore();
    TLobbyStore(const TLobbyStore&) = delete;
    TLobbyStore& operator=(const TLobbyStore&) = delete;

    std::optional<TAccount> FindUser(const std::string& name);
    // False when the name is taken (ignoring case).
    bool CreateUser(const TKyrelUser& record, const std::string& passwordHash, double today);
    // The user's own fields (names, places, addresses, comments, glyph).
    void UpdateProfile(const TKyrelUser& record);
    void UpdatePassword(const std::string& name, const std::string& passwordHash);
    void TouchLogin(const std::string& name, double today);
    int UserCount();

    // Records a game and the ratings it gives, in one transaction.
    void RecordGame(const TGameResult& result, const std::string& subject);
    std::vector<THistoryGame> RecentGames(int count);
    std::vector<TRated> HallOfFame(int count);
    void SetSchedule(const std::string& name, const std::string& text);
    std::vector<THistorySchedule> Schedules(int count);

    double Total(const std::string& name);
    void SetTotal(const std::string& name, double value);

private:
    void Exec(const QString& statement);
    QString Connection_;
    bool Sqlite_ = true;
};

} // namespace qx::lobby
