#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// The name of a game subject in the lobby: "~" and the game's name, the
// scenario file (or "Restored Game"), the total players, the computer
// players, the capital value, the starting resources and the program version,
// each followed by ";". Any subject whose name does not start with "~" is a
// chat room.
struct TGameSubject {
    static constexpr int ProgramVersion = 4;
    static constexpr int ProgramBuild = 17;

    std::string GameName;
    std::string Scenario;
    int32_t Players = 0;
    int32_t Computers = 0;
    int32_t CapitalValue = 0;
    int32_t StartingResources = 0;
    double Version = ProgramVersion;

    std::string ToText() const;
    // False for chat rooms and for names that cannot be read.
    static bool Parse(std::string_view subject, TGameSubject& game);
    static bool IsGame(std::string_view subject) { return !subject.empty() && subject.front() == '~'; }
    // What the lobby shows: for a game the part between "~" and the first ";".
    static std::string Shown(std::string_view subject);
    bool Restored() const { return Scenario == "Restored Game"; }
    // The yellow line under a selected game.
    std::string Details() const;

    // The seventh field of a game's name as it stands (the version that made
    // the game), and whether it reads as this program's version. A field that
    // is no number is another version.
    static std::string VersionField(std::string_view subject);
    static bool SameVersion(std::string_view subject);
    // "This Game was created with Quorvex version ..., and you have version 4".
    static std::string VersionMessage(std::string_view subject);

    // The longest game or chat room name a player may type.
    static constexpr int MaxNameLength = 40;
};

// A name that becomes (part of) a subject name: a game or chat room name
// typed by the player, or the file name a game's subject carries. Blanks
// around it are dropped; `name` is left empty and the reason returned when
// it starts with "~", holds a separator of the lobby's texts (";", "|",
// "\", "^", the grave accent) or a control character, or is too long;
// `what` names the thing in the reason ("A Game's name"). An empty answer
// gives an empty name and no reason.
std::string CheckSubjectName(std::string_view typed, std::string& name, const std::string& what,
                             int maxLength = TGameSubject::MaxNameLength);

// The notice for a QXVERSION message ("newest version|newest build"); empty
// when this program is up to date or the text cannot be read.
std::string VersionNotice(std::string_view text);

// The QXHISTORY reply, cut into its three lists.
struct TGameHistory {
    std::vector<std::vector<std::string>> Games;      // date, victor, defeated, impulses
    std::vector<std::vector<std::string>> HallOfFame; // ranking, star lord
    std::vector<std::vector<std::string>> Schedules;  // name, time
    static TGameHistory Parse(std::string_view text);
};

} // namespace qx
