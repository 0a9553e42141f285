#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/ShipTypes.h"

namespace qx {

class ISettingsStore;
class TNameGenerator;
class TQuorvexEngine;
class TRandom;

// The new-game setup screen as values and rules: players, capital value,
// starting resources and the scenario file. Solo play offers 0..1 humans and
// 1..9 computer players; logged in, 2..10 humans and 0..8 computers. No
// humans at all is a brain duel: computers play each other, at least two.
class TGameSetup {
public:
    static constexpr int MaxPlayers = 10;

    // Entering the screen sets the ranges and values for solo or network play.
    void Enter(bool loggedIn);
    bool LoggedIn() const { return LoggedIn_; }

    int HumanPlayers() const { return Humans_; }
    int HumanMin() const { return HumanMin_; }
    int HumanMax() const { return HumanMax_; }
    int ComputerPlayers() const { return Computers_; }
    int ComputerMin() const;
    int ComputerMax() const { return ComputerMax_; }
    int TotalPlayers() const { return Humans_ + Computers_; }
    // Values are brought into range; fewer humans leave room for computers.
    void SetHumanPlayers(int value);
    void SetComputerPlayers(int value);
    // "-- Brain Duel Mode --" is shown.
    bool BrainDuel() const { return Humans_ == 0; }
    // "Brains..." is shown.
    bool BrainsVisible() const { return Computers_ >= 1; }

    static constexpr int CapitalValueMin = 1, CapitalValueMax = 20, CapitalValueDefault = 18;
    static constexpr int ResourcesMin = 0, ResourcesMax = 1000, ResourcesDefault = 100;
    int CapitalValue() const { return CapitalValue_; }
    int StartingResources() const { return Resources_; }
    void SetCapitalValue(int value);
    void SetStartingResources(int value);

    std::string ScenarioFile;

    // What "Proceed" does: nothing below two players; without a scenario the
    // message says so; otherwise the galaxy is made and the game starts.
    enum class TProceed { Nothing, NeedScenario, Start };
    TProceed CheckProceed() const;
    static constexpr const char* NeedScenarioMessage = "You must first Open a Scenario File";

    // The setup screen is entered only with six ship types chosen.
    static bool HasShipTypes(TShipTypeSet selected);
    static constexpr const char* NeedShipTypesMessage = "You must First Select 6 StarShip Types.";

private:
    bool LoggedIn_ = false;
    int Humans_ = 1, HumanMin_ = 0, HumanMax_ = 1;
    int Computers_ = 1, ComputerMin_ = 1, ComputerMax_ = 9;
    int CapitalValue_ = CapitalValueDefault;
    int Resources_ = ResourcesDefault;
};

// The brain chosen for each player slot ("Defender" by default), the brain
// files offered, and the settings "Brain0".."Brain9".
class TBrainSelection {
public:
    static constexpr int Slots = 10;
    static constexpr const char* DefaultBrain = "Defender";
    static constexpr const char* Extension = ".qxbrain";

    TBrainSelection();

    const std::string& Name(int slot) const { return Names_.at(static_cast<size_t>(slot)); }
    void SetName(int slot, const std::string& name);
    // The row button: the base name of a brain file goes into the row.
    void SetFromFile(int slot, const std::string& fileName);
    // Rows of human slots, and beyond the players, are hidden.
    static bool RowVisible(int slot, int humans, int players) { return slot >= humans && slot < players; }

    // The folders brains are offered from, in order: the game's own and the
    // player's. The same folders later resolve the chosen names.
    std::vector<std::string> Folders;
    // "Defender" first, then the base name of every *.qxbrain file found.
    std::vector<std::string> BrainFiles() const;

    // Each setting's file name part, cut at its first ".", when not empty.
    void Load(const ISettingsStore& settings);
    void Save(ISettingsStore& settings) const;

    // A row's name as a brain file name: the base name only (no folder, no
    // extension), refused when it holds a character the game's texts use;
    // empty for such a name.
    static std::string BaseName(const std::string& name);

private:
    std::array<std::string, Slots> Names_;
};

// Names and equips the computer players: the brain name generator restarts,
// each computer player takes its next name and the brain of its row
// (base name + ".qxbrain"; an unusable name leaves the built-in brain).
void AssignBrains(TQuorvexEngine& engine, const TBrainSelection& brains, TNameGenerator& nameBrains, TRandom& random);

// The empire name a player typed, checked before it enters the game: trimmed,
// at most MaxNameLength characters, without the separators of the game's
// texts (";", "~", ":", "|", "=") or control characters. An empty answer
// leaves `name` empty: the caller takes a generated name. Returns the
// message for a refused name, else empty.
constexpr int MaxNameLength = 24;
std::string CheckEmpireName(const std::string& answer, std::string& name);

// The player's own data folder: $XDG_DATA_HOME/quorvex, or
// ~/.local/share/quorvex. Saved games and the player's brains live here.
std::string UserDataFolder();

} // namespace qx
