#include "server/LobbyProtocol.h"

#include <algorithm>
#include <cmath>

#include "base/FieldCodec.h"

namespace qx::lobby {

namespace {

constexpr char kSep = '|';

bool HasControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 32 || b == 127;
    });
}

TClientLine Refuse(TClientLine line, std::string why) {
    line.Error = std::move(why);
    return line;
}

void DecodeRecord(TClientLine& line, std::string_view text) {
    try {
        line.User = TKyrelUser::Parse(text);
    } catch (const EKyrelError& error) {
        line.Error = std::string("The user record cannot be read: ") + error.what();
        return;
    }
    std::string why;
    if (!line.User.IsSafeRecord(&why)) line.Error = why;
}

} // namespace

std::string NameKey(std::string_view name) {
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

TClientLine DecodeClientLine(std::string_view whole, const TLobbyLimits& limits) {
    TClientLine line;
    std::string_view rest = whole;
    const std::string_view command = NextToken(rest, kSep);
    const bool data = command == "SEND" && rest.substr(0, 5) == "DATA|";
    if (whole.size() > (data ? limits.MaxDataLine : limits.MaxLine))
        return Refuse(line, "Line too long (" + std::to_string(whole.size()) + " bytes)");

    if (command == "LOGIN" || command == "LOGINNEW") {
        line.Command = command == "LOGIN" ? TClientCommand::Login : TClientCommand::LoginNew;
        line.Name = std::string(NextToken(rest, kSep));
        line.Code = std::string(NextToken(rest, kSep));
        if (line.Code != kSubjectCode) return Refuse(line, "This server serves only Quorvex");
        if (!TKyrelUser::IsValidUserId(line.Name))
            return Refuse(line, "User names are 1 to 24 characters without separators");
        if (line.Command == TClientCommand::Login) {
            line.Text = std::string(rest);
            if (line.Text.empty()) return Refuse(line, "Please enter a Password");
            return line;
        }
        DecodeRecord(line, rest);
        if (!line.Error.empty()) return line;
        if (line.User.UserId != line.Name) return Refuse(line, "The record names another user");
        if (line.User.Password.empty()) return Refuse(line, "Please enter a Password");
        return line;
    }
    if (command == "PING") {
        line.Command = TClientCommand::Ping;
        return line;
    }
    if (command == "CREATESUBJECT") {
        line.Command = TClientCommand::CreateSubject;
        line.Name = std::string(NextToken(rest, kSep));
        int32_t count = -1;
        if (!TextToInt(NextToken(rest, kSep), count) || count < 0 || count > 10)
            return Refuse(line, "A subject is for 0 (a chat room) to 10 players");
        line.Count = count;
        std::string why;
        if (!IsValidSubjectName(line.Name, count > 0, limits, &why)) return Refuse(line, why);
        return line;
    }
    if (command == "JOINSUBJECT") {
        line.Command = TClientCommand::JoinSubject;
        line.Name = std::string(NextToken(rest, kSep));
        if (line.Name.empty()) return Refuse(line, "Which subject?");
        return line;
    }
    if (command == "SEND") {
        const std::string_view kind = NextToken(rest, kSep);
        if (kind == "CHAT")
            line.Command = TClientCommand::SendChat;
        else if (kind == "DATA")
            line.Command = TClientCommand::SendData;
        else
            return Refuse(line, "Unknown kind of message");
        line.Text = std::string(rest);
        return line;
    }
    if (command == "CUSTOM") {
        line.Command = TClientCommand::Custom;
        line.Code = std::string(NextToken(rest, kSep));
        line.Text = std::string(rest);
        return line;
    }
    if (command == "SERVERSTATS") {
        line.Command = TClientCommand::ServerStats;
        return line;
    }
    if (command == "USERINFO") {
        line.Command = TClientCommand::UserInfo;
        line.Name = std::string(NextToken(rest, kSep));
        return line;
    }
    if (command == "USERUPDATE") {
        line.Command = TClientCommand::UserUpdate;
        line.Name = std::string(NextToken(rest, kSep));
        if (!rest.empty() && rest.back() == kSep) rest.remove_suffix(1);
        DecodeRecord(line, rest);
        if (!line.Error.empty()) return line;
        if (line.User.UserId != line.Name) return Refuse(line, "The record names another user");
        return line;
    }
    if (command == "SHOUT") {
        line.Command = TClientCommand::Shout;
        line.Text = std::string(NextToken(rest, kSep));
        if (line.Text.empty() || HasControl(line.Text)) return Refuse(line, "Nothing to shout");
        return line;
    }
    return Refuse(line, "Unknown command " + std::string(command.substr(0, 32)));
}

bool IsValidSubjectName(std::string_view name, bool game, const TLobbyLimits& limits, std::string* why) {
    auto fail = [why](const char* text) {
        if (why) *why = text;
        return false;
    };
    if (name.empty() || name.size() > static_cast<size_t>(limits.MaxSubjectName))
        return fail("Subject names are 1 to 160 characters");
    if (HasControl(name) || name.find_first_of("|^`\\") != std::string_view::npos)
        return fail("Subject names cannot contain separators or control characters");
    if (game != (name.front() == '~')) return fail(game ? "A game's name starts with ~" : "Only games' names start with ~");
    if (game && name.size() < 2) return fail("A game needs a name");
    return true;
}

bool IsHistoryText(std::string_view text, size_t maxLength) {
    return text.size() <= maxLength && !HasControl(text) && text.find_first_of("%;~|^`") == std::string_view::npos;
}

bool ParseGameResult(std::string_view text, TGameResult& result, std::string* why) {
    auto fail = [why](const char* message) {
        if (why) *why = message;
        return false;
    };
    TGameResult read;
    read.Date = std::string(NextToken(text, '%'));
    read.Victor = std::string(NextToken(text, '%'));
    read.DefeatedText = std::string(NextToken(text, '%'));
    const std::string_view impulses = NextToken(text, '%');
    if (!text.empty()) return fail("A game result has four fields");
    if (!TextToInt(impulses, read.Impulses) || read.Impulses < 0) return fail("The impulse count is no number");
    if (read.Date.empty() || !IsHistoryText(read.Date, 24)) return fail("The date cannot be read");
    if (!TKyrelUser::IsValidUserId(read.Victor)) return fail("The victor is no user");
    if (!IsHistoryText(read.DefeatedText, 400)) return fail("The defeated players cannot be read");

    // " and 1 Brain" / " and N Brains" ends the list when brains played.
    std::string_view defeated = read.DefeatedText;
    const size_t and_ = defeated.rfind(" and ");
    if (and_ != std::string_view::npos) {
        std::string_view brains = defeated.substr(and_ + 5);
        const bool plural = brains.size() > 7 && brains.substr(brains.size() - 7) == " Brains";
        const bool single = brains == "1 Brain";
        if (plural || single) {
            int32_t n = 1;
            if (plural && (!TextToInt(brains.substr(0, brains.size() - 7), n) || n < 2 || n > 9))
                return fail("The brain count cannot be read");
            read.Brains = n;
            defeated = defeated.substr(0, and_);
        }
    }
    while (!defeated.empty()) {
        const size_t comma = defeated.find(", ");
        const std::string_view name = defeated.substr(0, comma);
        if (!TKyrelUser::IsValidUserId(name)) return fail("A defeated player is no user");
        read.Defeated.emplace_back(name);
        defeated = comma == std::string_view::npos ? std::string_view() : defeated.substr(comma + 2);
    }
    std::vector<std::string> keys{NameKey(read.Victor)};
    for (const std::string& name : read.Defeated) keys.push_back(NameKey(name));
    std::sort(keys.begin(), keys.end());
    if (std::adjacent_find(keys.begin(), keys.end()) != keys.end()) return fail("A player is named twice");
    result = std::move(read);
    return true;
}

std::vector<int> RateResult(int victor, const std::vector<int>& defeated) {
    constexpr double K = 32;
    auto expected = [](int a, int b) { return 1.0 / (1.0 + std::pow(10.0, (b - a) / 400.0)); };
    double victorGain = 0;
    std::vector<int> ratings{0};
    for (int loser : defeated) {
        const double e = expected(victor, loser);
        victorGain += K * (1.0 - e);
        ratings.push_back(static_cast<int>(std::lround(loser - K * (1.0 - e))));
    }
    ratings[0] = static_cast<int>(std::lround(victor + victorGain));
    return ratings;
}

std::string RankTitle(int rating) {
    static const std::pair<int, const char*> titles[] = {{1900, "Grand Admiral"}, {1800, "Admiral"},
                                                         {1700, "Commodore"},     {1600, "Captain"},
                                                         {1500, "Commander"},     {1400, "Lieutenant"},
                                                         {1300, "Ensign"}};
    for (const auto& [floor, title] : titles)
        if (rating >= floor) return title;
    return "Cadet";
}

std::string FormatHistory(const std::vector<THistoryGame>& games, const std::vector<TRated>& hallOfFame,
                          const std::vector<THistorySchedule>& schedules) {
    std::string text;
    for (const THistoryGame& game : games)
        text += game.Date + "%" + game.Victor + "%" + game.Defeated + "%" + std::to_string(game.Impulses) + ";";
    text += "~";
    for (const TRated& rated : hallOfFame)
        text += std::to_string(rated.Rating) + " " + RankTitle(rated.Rating) + "%" + rated.Name + ";";
    text += "~";
    for (const THistorySchedule& schedule : schedules) text += schedule.Name + "%" + schedule.Time + ";";
    return text;
}

bool TRateLimiter::Take(double n, Clock::time_point now) {
    const double elapsed = std::chrono::duration<double>(now - Last_).count();
    Last_ = now;
    Tokens_ = std::min(Burst_, Tokens_ + std::max(0.0, elapsed) * Rate_);
    if (Tokens_ < n) return false;
    Tokens_ -= n;
    return true;
}

int TFailureWindow::Count(std::chrono::seconds window, Clock::time_point now) {
    while (!Times_.empty() && now - Times_.front() > window) Times_.pop_front();
    return static_cast<int>(Times_.size());
}

} // namespace qx::lobby
