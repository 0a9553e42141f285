#include "net/game/GameSubject.h"

#include "base/FieldCodec.h"

namespace qx {

std::string TGameSubject::ToText() const {
    return Tokenize({"~" + GameName, Scenario, Players, Computers, CapitalValue, StartingResources, Version}, ';');
}

bool TGameSubject::Parse(std::string_view subject, TGameSubject& game) {
    if (!IsGame(subject)) return false;
    TGameSubject read;
    std::string_view rest = subject.substr(1);
    read.GameName = std::string(NextToken(rest, ';'));
    read.Scenario = std::string(NextToken(rest, ';'));
    if (!TextToInt(NextToken(rest, ';'), read.Players) || !TextToInt(NextToken(rest, ';'), read.Computers) ||
        !TextToInt(NextToken(rest, ';'), read.CapitalValue) || !TextToInt(NextToken(rest, ';'), read.StartingResources) ||
        !TextToFloat(NextToken(rest, ';'), read.Version))
        return false;
    game = std::move(read);
    return true;
}

std::string TGameSubject::Shown(std::string_view subject) {
    if (!IsGame(subject)) return std::string(subject);
    std::string_view rest = subject.substr(1);
    return std::string(NextToken(rest, ';'));
}

std::string TGameSubject::Details() const {
    std::string text = "Scenario: " + Scenario;
    if (!Restored())
        text += "  Players:" + std::to_string(Players) + "  Brains:" + std::to_string(Computers) +
                "  CapValue:" + std::to_string(CapitalValue) + "  Resources:" + std::to_string(StartingResources);
    return text;
}

std::string TGameSubject::VersionField(std::string_view subject) {
    for (int field = 1; field < 7; ++field) NextToken(subject, ';');
    return std::string(NextToken(subject, ';'));
}

bool TGameSubject::SameVersion(std::string_view subject) {
    double version = 0;
    return TextToFloat(VersionField(subject), version) && version == ProgramVersion;
}

std::string TGameSubject::VersionMessage(std::string_view subject) {
    std::string shown = VersionField(subject);
    double version = 0;
    if (TextToFloat(shown, version)) shown = FloatToText(version);
    if (shown.empty()) shown = "unknown";
    return "This Game was created with Quorvex version " + shown + ", and you have version " +
           std::to_string(ProgramVersion);
}

std::string CheckSubjectName(std::string_view typed, std::string& name, const std::string& what, int maxLength) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!typed.empty() && blank(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && blank(typed.back())) typed.remove_suffix(1);
    name.clear();
    if (typed.empty()) return {};
    int characters = 0;
    for (char c : typed) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return what + " cannot contain control characters.";
        if (c == ';' || c == '|' || c == '\\' || c == '^' || c == '`')
            return what + " cannot contain any of ; | \\ ^ `.";
        if ((u & 0xC0) != 0x80) ++characters;  // UTF-8: the first byte of each character
    }
    if (typed.front() == '~') return what + " cannot begin with ~.";
    if (characters > maxLength) return what + " can be at most " + std::to_string(maxLength) + " characters long.";
    name = std::string(typed);
    return {};
}

std::string VersionNotice(std::string_view text) {
    int32_t version = 0, build = 0;
    if (!TextToInt(NextToken(text, '|'), version) || !TextToInt(NextToken(text, '|'), build)) return {};
    if (version > TGameSubject::ProgramVersion)
        return "Quorvex version " + std::to_string(version) + " is now available; you have version " +
               std::to_string(TGameSubject::ProgramVersion) + ". It can be downloaded from the Quorvex web site.";
    if (build > TGameSubject::ProgramBuild)
        return "Quorvex build " + std::to_string(build) + " has been released; you have build " +
               std::to_string(TGameSubject::ProgramBuild) + ". It can be downloaded from the Quorvex web site.";
    return {};
}

TGameHistory TGameHistory::Parse(std::string_view text) {
    TGameHistory history;
    auto section = [](std::string_view part, std::vector<std::vector<std::string>>& records) {
        while (!part.empty()) {
            std::string_view record = NextToken(part, ';');
            std::vector<std::string> columns;
            while (!record.empty()) columns.emplace_back(NextToken(record, '%'));
            if (!columns.empty()) records.push_back(std::move(columns));
        }
    };
    section(NextToken(text, '~'), history.Games);
    section(NextToken(text, '~'), history.HallOfFame);
    section(text, history.Schedules);
    return history;
}

} // namespace qx
