#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "net/KyrelUser.h"

namespace qx::lobby {

// What one client line asks of the server, read and checked before anything
// acts on it. This part of the lobby server needs only the standard library,
// so every line reader can be tested and fuzzed alone.

inline constexpr const char* kSubjectCode = "Quorvex";
inline constexpr const char* kLobbyChat = "Lobby Chat";

// Limits a lobby server keeps; each can be set in the configuration file.
struct TLobbyLimits {
    size_t MaxLine = 16 * 1024;               // any line but SEND|DATA
    size_t MaxDataLine = 4 * 1024 * 1024;     // SEND|DATA: GAMEINFO carries a whole game
    int LoginDeadlineSeconds = 30;            // to log in after connecting
    int SilentSeconds = 60;                   // no line at all for this long: dropped
    int PingSeconds = 5;                      // PING to every client
    int ConnectionsPerAddress = 16;
    int FailedLoginsPerAddress = 10;          // within FailureWindowSeconds
    int FailedLoginsPerAccount = 5;
    int FailureWindowSeconds = 600;
    double LinesPerSecond = 50;               // sustained, with a burst of LineBurst
    double LineBurst = 200;
    double BytesPerSecond = 256 * 1024;
    double ByteBurst = 8 * 1024 * 1024;
    int PendingLogins = 32;                   // password checks waiting at once
    int MaxSubjectName = 160;
};

enum class TClientCommand {
    Login,
    LoginNew,
    Ping,
    CreateSubject,
    JoinSubject,
    SendChat,
    SendData,
    Custom,
    ServerStats,
    UserInfo,
    UserUpdate,
    Shout,
    Unknown,
};

struct TClientLine {
    TClientCommand Command = TClientCommand::Unknown;
    std::string Name;     // user or subject name
    std::string Code;     // subject code of a login, message type of CUSTOM
    std::string Text;     // password, chat or data text, custom text
    int Count = 0;        // human players of a new subject
    TKyrelUser User;      // the record of LOGINNEW and USERUPDATE
    std::string Error;    // not empty: the line is refused with this text
};

// Reads one unscrambled line (without its line feed).
TClientLine DecodeClientLine(std::string_view line, const TLobbyLimits& limits);

// A subject name: 1..MaxSubjectName characters, no "|", "^", grave accent,
// "\" or control character; a game's starts with "~", a chat room's does not.
bool IsValidSubjectName(std::string_view name, bool game, const TLobbyLimits& limits, std::string* why);
// Text that may stand in one column of the history ("%", ";", "~" and the
// lobby separators are out).
bool IsHistoryText(std::string_view text, size_t maxLength);

// A game result as the winner's machine sends it (QXUPDATE): date "%"
// winner "%" the other humans joined by ", " and " and N Brain(s)" "%"
// impulses.
struct TGameResult {
    std::string Date;
    std::string Victor;
    std::vector<std::string> Defeated;  // the other human players
    int Brains = 0;
    int32_t Impulses = 0;
    std::string DefeatedText;           // as sent
};
bool ParseGameResult(std::string_view text, TGameResult& result, std::string* why);

// The ranking: an Elo rating that starts at 1500; a result counts as the
// victor winning one game against each defeated human, all against the
// ratings from before the game, with K = 32.
inline constexpr int kStartRating = 1500;
struct TRated {
    std::string Name;
    int Rating = kStartRating;
};
// New ratings of the victor and of each defeated player, in that order.
std::vector<int> RateResult(int victor, const std::vector<int>& defeated);
// The title that goes with a rating ("Cadet" ... "Grand Admiral").
std::string RankTitle(int rating);

// The QXHISTORY reply: the game log, "~", the hall of fame, "~", the
// schedules; each record ends with ";" and its columns are joined by "%".
struct THistoryGame {
    std::string Date, Victor, Defeated;
    int32_t Impulses = 0;
};
struct THistorySchedule {
    std::string Name, Time;
};
std::string FormatHistory(const std::vector<THistoryGame>& games, const std::vector<TRated>& hallOfFame,
                          const std::vector<THistorySchedule>& schedules);

// A token bucket: Take(n) succeeds while the bucket holds n tokens; it
// refills at Rate per second up to Burst.
class TRateLimiter {
public:
    using Clock = std::chrono::steady_clock;
    TRateLimiter(double rate, double burst) : Rate_(rate), Burst_(burst), Tokens_(burst), Last_(Clock::now()) {}
    bool Take(double n, Clock::time_point now = Clock::now());

private:
    double Rate_, Burst_, Tokens_;
    Clock::time_point Last_;
};

// Failures within a sliding window.
class TFailureWindow {
public:
    using Clock = std::chrono::steady_clock;
    void Add(Clock::time_point now = Clock::now()) { Times_.push_back(now); }
    int Count(std::chrono::seconds window, Clock::time_point now = Clock::now());

private:
    std::deque<Clock::time_point> Times_;
};

// Lower-case ASCII: names are unique ignoring case.
std::string NameKey(std::string_view name);

} // namespace qx::lobby
