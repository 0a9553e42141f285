#include "server/LobbyStore.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <stdexcept>

namespace qx::lobby {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QVariant& v) { return v.toString().toStdString(); }

std::atomic<int> NextConnection{0};

// The profile a user may set, as a record text without password or server fields.
std::string ProfileText(const TKyrelUser& user) {
    TKyrelUser profile = user;
    profile.Password.clear();
    profile.Info.clear();
    profile.ServerDate1 = profile.ServerDate2 = 0;
    profile.ServerNumber = 0;
    return profile.ToText();
}

} // namespace

TLobbyStore::TLobbyStore(const QString& path, const QString& driver)
    : Connection_("lobby-store-" + QString::number(NextConnection++)), Sqlite_(driver == "QSQLITE") {
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, Connection_);
    db.setDatabaseName(path);
    if (!db.open()) {
        const std::string why = db.lastError().text().toStdString();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(Connection_);
        throw std::runtime_error("cannot open the database " + path.toStdString() + ": " + why);
    }
    if (Sqlite_) {
        // One writer, readers never blocked, and neither a crash of the server nor
        // of the machine loses an account or a result once its commit returned.
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
        Exec("PRAGMA busy_timeout=5000");
    }
    Exec("CREATE TABLE IF NOT EXISTS users (name_key VARCHAR(64) PRIMARY KEY, name VARCHAR(64) NOT NULL, "
         "password_hash VARCHAR(255) NOT NULL, profile TEXT NOT NULL, number INTEGER NOT NULL, "
         "created_day INTEGER NOT NULL, last_login_day INTEGER NOT NULL, wins INTEGER NOT NULL, "
         "losses INTEGER NOT NULL, rating INTEGER NOT NULL)");
    Exec("CREATE TABLE IF NOT EXISTS games (seq INTEGER PRIMARY KEY, played VARCHAR(32) NOT NULL, "
         "victor VARCHAR(64) NOT NULL, defeated VARCHAR(400) NOT NULL, impulses INTEGER NOT NULL, "
         "subject VARCHAR(200) NOT NULL)");
    Exec("CREATE TABLE IF NOT EXISTS schedules (name_key VARCHAR(64) PRIMARY KEY, name VARCHAR(64) NOT NULL, "
         "schedule VARCHAR(200) NOT NULL)");
    Exec("CREATE TABLE IF NOT EXISTS totals (total_name VARCHAR(32) PRIMARY KEY, total_value DOUBLE PRECISION NOT NULL)");
}

TLobbyStore::~TLobbyStore() {
    {
        QSqlDatabase db = QSqlDatabase::database(Connection_, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(Connection_);
}

void TLobbyStore::Exec(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(Connection_));
    if (!query.exec(statement))
        throw std::runtime_error("database: " + query.lastError().text().toStdString());
}

namespace {

QSqlQuery Prepare(const QString& connection, const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(connection));
    if (!query.prepare(statement)) throw std::runtime_error("database: " + query.lastError().text().toStdString());
    return query;
}

void Run(QSqlQuery& query) {
    if (!query.exec()) throw std::runtime_error("database: " + query.lastError().text().toStdString());
}

} // namespace

std::optional<TLobbyStore::TAccount> TLobbyStore::FindUser(const std::string& name) {
    QSqlQuery query = Prepare(Connection_,
                              "SELECT name, password_hash, profile, number, created_day, last_login_day, wins, "
                              "losses, rating FROM users WHERE name_key = ?");
    query.addBindValue(Q(NameKey(name)));
    Run(query);
    if (!query.next()) return std::nullopt;
    TAccount account;
    account.Name = S(query.value(0));
    account.PasswordHash = S(query.value(1));
    try {
        account.Record = TKyrelUser::Parse(S(query.value(2)));
    } catch (const EKyrelError&) {
        account.Record = TKyrelUser(account.Name);  // a damaged profile keeps the account usable
    }
    account.Record.UserId = account.Name;
    account.Record.Password.clear();
    account.Record.ServerNumber = query.value(3).toInt();
    account.Record.ServerDate1 = query.value(4).toDouble();
    account.Record.ServerDate2 = query.value(5).toDouble();
    account.Wins = query.value(6).toInt();
    account.Losses = query.value(7).toInt();
    account.Rating = query.value(8).toInt();
    account.Record.Info = {"QxWins=" + std::to_string(account.Wins), "QxLosses=" + std::to_string(account.Losses),
                           "QxScore=" + std::to_string(account.Rating), "QxRank=" + RankTitle(account.Rating)};
    return account;
}

bool TLobbyStore::CreateUser(const TKyrelUser& record, const std::string& passwordHash, double today) {
    QSqlDatabase db = QSqlDatabase::database(Connection_);
    db.transaction();
    try {
        QSqlQuery taken = Prepare(Connection_, "SELECT COUNT(*) FROM users WHERE name_key = ?");
        taken.addBindValue(Q(NameKey(record.UserId)));
        Run(taken);
        if (taken.next() && taken.value(0).toInt() > 0) {
            db.rollback();
            return false;
        }
        QSqlQuery number = Prepare(Connection_, "SELECT COALESCE(MAX(number), 0) + 1 FROM users");
        Run(number);
        const int next = number.next() ? number.value(0).toInt() : 1;
        QSqlQuery insert = Prepare(Connection_,
                                   "INSERT INTO users (name_key, name, password_hash, profile, number, created_day, "
                                   "last_login_day, wins, losses, rating) VALUES (?, ?, ?, ?, ?, ?, ?, 0, 0, ?)");
        insert.addBindValue(Q(NameKey(record.UserId)));
        insert.addBindValue(Q(record.UserId));
        insert.addBindValue(Q(passwordHash));
        insert.addBindValue(Q(ProfileText(record)));
        insert.addBindValue(next);
        insert.addBindValue(static_cast<qlonglong>(today));
        insert.addBindValue(static_cast<qlonglong>(today));
        insert.addBindValue(kStartRating);
        Run(insert);
        db.commit();
        return true;
    } catch (...) {
        db.rollback();
        throw;
    }
}

void TLobbyStore::UpdateProfile(const TKyrelUser& record) {
    QSqlQuery query = Prepare(Connection_, "UPDATE users SET profile = ? WHERE name_key = ?");
    query.addBindValue(Q(ProfileText(record)));
    query.addBindValue(Q(NameKey(record.UserId)));
    Run(query);
}

void TLobbyStore::UpdatePassword(const std::string& name, const std::string& passwordHash) {
    QSqlQuery query = Prepare(Connection_, "UPDATE users SET password_hash = ? WHERE name_key = ?");
    query.addBindValue(Q(passwordHash));
    query.addBindValue(Q(NameKey(name)));
    Run(query);
}

void TLobbyStore::TouchLogin(const std::string& name, double today) {
    QSqlQuery query = Prepare(Connection_, "UPDATE users SET last_login_day = ? WHERE name_key = ?");
    query.addBindValue(static_cast<qlonglong>(today));
    query.addBindValue(Q(NameKey(name)));
    Run(query);
}

int TLobbyStore::UserCount() {
    QSqlQuery query = Prepare(Connection_, "SELECT COUNT(*) FROM users");
    Run(query);
    return query.next() ? query.value(0).toInt() : 0;
}

void TLobbyStore::RecordGame(const TGameResult& result, const std::string& subject) {
    QSqlDatabase db = QSqlDatabase::database(Connection_);
    db.transaction();
    try {
        auto rating = [this](const std::string& name) {
            QSqlQuery query = Prepare(Connection_, "SELECT rating FROM users WHERE name_key = ?");
            query.addBindValue(Q(NameKey(name)));
            Run(query);
            return query.next() ? query.value(0).toInt() : kStartRating;
        };
        std::vector<int> defeated;
        for (const std::string& name : result.Defeated) defeated.push_back(rating(name));
        const std::vector<int> ratings = RateResult(rating(result.Victor), defeated);
        auto set = [this](const std::string& name, int value, bool won) {
            QSqlQuery query = Prepare(Connection_, won ? "UPDATE users SET rating = ?, wins = wins + 1 WHERE name_key = ?"
                                                       : "UPDATE users SET rating = ?, losses = losses + 1 WHERE name_key = ?");
            query.addBindValue(value);
            query.addBindValue(Q(NameKey(name)));
            Run(query);
        };
        set(result.Victor, ratings[0], true);
        for (size_t i = 0; i < result.Defeated.size(); ++i) set(result.Defeated[i], ratings[i + 1], false);

        QSqlQuery seq = Prepare(Connection_, "SELECT COALESCE(MAX(seq), 0) + 1 FROM games");
        Run(seq);
        const qlonglong next = seq.next() ? seq.value(0).toLongLong() : 1;
        QSqlQuery insert = Prepare(Connection_,
                                   "INSERT INTO games (seq, played, victor, defeated, impulses, subject) VALUES (?, ?, ?, ?, ?, ?)");
        insert.addBindValue(next);
        insert.addBindValue(Q(result.Date));
        insert.addBindValue(Q(result.Victor));
        insert.addBindValue(Q(result.DefeatedText));
        insert.addBindValue(result.Impulses);
        insert.addBindValue(Q(subject));
        Run(insert);
        db.commit();
    } catch (...) {
        db.rollback();
        throw;
    }
}

std::vector<THistoryGame> TLobbyStore::RecentGames(int count) {
    QSqlQuery query = Prepare(Connection_,
                              "SELECT played, victor, defeated, impulses FROM games ORDER BY seq DESC LIMIT ?");
    query.addBindValue(count);
    Run(query);
    std::vector<THistoryGame> games;
    while (query.next())
        games.push_back({S(query.value(0)), S(query.value(1)), S(query.value(2)), query.value(3).toInt()});
    return games;
}

std::vector<TRated> TLobbyStore::HallOfFame(int count) {
    QSqlQuery query = Prepare(Connection_,
                              "SELECT name, rating FROM users WHERE wins + losses > 0 ORDER BY rating DESC, name ASC LIMIT ?");
    query.addBindValue(count);
    Run(query);
    std::vector<TRated> rated;
    while (query.next()) rated.push_back({S(query.value(0)), query.value(1).toInt()});
    return rated;
}

void TLobbyStore::SetSchedule(const std::string& name, const std::string& text) {
    QSqlQuery query = Prepare(Connection_,
                              "INSERT INTO schedules (name_key, name, schedule) VALUES (?, ?, ?) "
                              "ON CONFLICT (name_key) DO UPDATE SET name = excluded.name, schedule = excluded.schedule");
    query.addBindValue(Q(NameKey(name)));
    query.addBindValue(Q(name));
    query.addBindValue(Q(text));
    Run(query);
}

std::vector<THistorySchedule> TLobbyStore::Schedules(int count) {
    QSqlQuery query = Prepare(Connection_, "SELECT name, schedule FROM schedules ORDER BY name_key LIMIT ?");
    query.addBindValue(count);
    Run(query);
    std::vector<THistorySchedule> schedules;
    while (query.next()) schedules.push_back({S(query.value(0)), S(query.value(1))});
    return schedules;
}

double TLobbyStore::Total(const std::string& name) {
    QSqlQuery query = Prepare(Connection_, "SELECT total_value FROM totals WHERE total_name = ?");
    query.addBindValue(Q(name));
    Run(query);
    return query.next() ? query.value(0).toDouble() : 0.0;
}

void TLobbyStore::SetTotal(const std::string& name, double value) {
    QSqlQuery query = Prepare(Connection_,
                              "INSERT INTO totals (total_name, total_value) VALUES (?, ?) "
                              "ON CONFLICT (total_name) DO UPDATE SET total_value = excluded.total_value");
    query.addBindValue(Q(name));
    query.addBindValue(value);
    Run(query);
}

} // namespace qx::lobby
