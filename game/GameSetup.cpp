#include "game/GameSetup.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "engine/NameGenerator.h"
#include "engine/QuorvexEngine.h"
#include "game/SettingsStore.h"

namespace qx {

// ---- The setup screen ----

void TGameSetup::Enter(bool loggedIn) {
    LoggedIn_ = loggedIn;
    if (loggedIn) {
        HumanMin_ = 2, HumanMax_ = 10, Humans_ = 2;
        ComputerMin_ = 0, ComputerMax_ = 8, Computers_ = 0;
    } else {
        HumanMin_ = 0, HumanMax_ = 1, Humans_ = 1;
        ComputerMin_ = 1, ComputerMax_ = 9, Computers_ = 1;
    }
}

int TGameSetup::ComputerMin() const {
    // Computers alone need two to play each other.
    return Humans_ == 0 ? std::max(ComputerMin_, 2) : ComputerMin_;
}

void TGameSetup::SetHumanPlayers(int value) {
    Humans_ = std::clamp(value, HumanMin_, HumanMax_);
    ComputerMax_ = MaxPlayers - Humans_;
    Computers_ = std::clamp(Computers_, ComputerMin(), ComputerMax_);
}

void TGameSetup::SetComputerPlayers(int value) { Computers_ = std::clamp(value, ComputerMin(), ComputerMax_); }

void TGameSetup::SetCapitalValue(int value) { CapitalValue_ = std::clamp(value, CapitalValueMin, CapitalValueMax); }

void TGameSetup::SetStartingResources(int value) { Resources_ = std::clamp(value, ResourcesMin, ResourcesMax); }

TGameSetup::TProceed TGameSetup::CheckProceed() const {
    if (TotalPlayers() < 2) return TProceed::Nothing;
    if (ScenarioFile.empty()) return TProceed::NeedScenario;
    return TProceed::Start;
}

bool TGameSetup::HasShipTypes(TShipTypeSet selected) {
    int count = 0;
    for (int i = 0; i < ShipTypeCount; ++i) count += selected.Contains(static_cast<TShipType>(i)) ? 1 : 0;
    return count >= 6;
}

// ---- Brains ----

TBrainSelection::TBrainSelection() { Names_.fill(DefaultBrain); }

void TBrainSelection::SetName(int slot, const std::string& name) {
    if (slot >= 0 && slot < Slots) Names_[static_cast<size_t>(slot)] = name;
}

void TBrainSelection::SetFromFile(int slot, const std::string& fileName) {
    std::string base = std::filesystem::path(fileName).filename().string();
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base.resize(dot);
    if (!base.empty()) SetName(slot, base);
}

std::vector<std::string> TBrainSelection::BrainFiles() const {
    std::vector<std::string> found;
    for (const std::string& folder : Folders) {
        std::error_code error;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            const std::filesystem::path& path = it->path();
            if (path.extension() != Extension || !it->is_regular_file(error)) continue;
            const std::string base = path.stem().string();
            if (!BaseName(base).empty()) found.push_back(base);
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    std::erase(found, std::string(DefaultBrain));
    found.insert(found.begin(), DefaultBrain);
    return found;
}

void TBrainSelection::Load(const ISettingsStore& settings) {
    for (int i = 0; i < Slots; ++i) {
        std::string value = settings.ReadString("Brain" + std::to_string(i));
        value = std::filesystem::path(value).filename().string();
        value = value.substr(0, value.find('.'));
        if (!value.empty()) Names_[static_cast<size_t>(i)] = value;
    }
}

void TBrainSelection::Save(ISettingsStore& settings) const {
    for (int i = 0; i < Slots; ++i) settings.WriteString("Brain" + std::to_string(i), Names_[static_cast<size_t>(i)]);
}

std::string TBrainSelection::BaseName(const std::string& name) {
    std::string base = name;
    const size_t slash = base.find_last_of("/\\");
    if (slash != std::string::npos) base.erase(0, slash + 1);
    if (base.size() > 8 && base.compare(base.size() - 8, 8, Extension) == 0) base.resize(base.size() - 8);
    // The file name travels in saved games: none of their separators, and
    // nothing that names another folder.
    const bool bad = base.empty() || base == "." || base == ".." ||
                     std::any_of(base.begin(), base.end(), [](char c) {
                         const auto u = static_cast<unsigned char>(c);
                         return u < 0x20 || u == 0x7F || c == ';' || c == '~' || c == ':' || c == '|' || c == '=';
                     });
    return bad ? std::string() : base;
}

void AssignBrains(TQuorvexEngine& engine, const TBrainSelection& brains, TNameGenerator& nameBrains, TRandom& random) {
    nameBrains.Reset();
    for (int i = 0; i < engine.PlayerCount(); ++i) {
        TPlayer& player = *engine.GetPlayer(i);
        if (!player.Computer) continue;
        player.Name = nameBrains.NewName(random);
        const std::string base = i < TBrainSelection::Slots ? TBrainSelection::BaseName(brains.Name(i)) : "";
        player.BrainFile = base.empty() ? std::string() : base + TBrainSelection::Extension;
        player.BrainLoaded = false;
    }
}

// ---- The empire name ----

std::string CheckEmpireName(const std::string& answer, std::string& name) {
    const auto blank = [](unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    size_t first = 0, last = answer.size();
    while (first < last && blank(static_cast<unsigned char>(answer[first]))) ++first;
    while (last > first && blank(static_cast<unsigned char>(answer[last - 1]))) --last;
    name = answer.substr(first, last - first);
    if (name.empty()) return {};
    int characters = 0;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ';' || c == '~' || c == ':' || c == '|' || c == '=') {
            name.clear();
            return "The name of your Empire cannot contain ; ~ : | or =";
        }
        if (u < 0x20 || u == 0x7F) {
            name.clear();
            return "The name of your Empire cannot contain control characters";
        }
        if ((u & 0xC0) != 0x80) ++characters;  // UTF-8: count the first byte of each character
    }
    if (characters > MaxNameLength) {
        name.clear();
        return "The name of your Empire can be at most " + std::to_string(MaxNameLength) + " characters long";
    }
    return {};
}

std::string UserDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/quorvex";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] ? home : ".") + "/.local/share/quorvex";
}

} // namespace qx
