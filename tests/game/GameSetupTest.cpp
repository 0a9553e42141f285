#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "base/Random.h"

#include "engine/NameGenerator.h"
#include "engine/QuorvexEngine.h"
#include "game/GameSetup.h"
#include "game/SettingsStore.h"
#include "tests/game/GameFixture.h"

namespace qx {
namespace {

TEST(GameSetup, SoloRangesAndTheBrainDuel) {
    TGameSetup setup;
    setup.Enter(false);
    EXPECT_EQ(setup.HumanPlayers(), 1);
    EXPECT_EQ(setup.HumanMax(), 1);
    EXPECT_EQ(setup.ComputerPlayers(), 1);
    EXPECT_EQ(setup.ComputerMax(), 9);
    EXPECT_FALSE(setup.BrainDuel());
    EXPECT_TRUE(setup.BrainsVisible());

    setup.SetHumanPlayers(0);
    EXPECT_TRUE(setup.BrainDuel());
    EXPECT_EQ(setup.ComputerPlayers(), 2) << "computers alone need two";
    EXPECT_EQ(setup.ComputerMax(), 10);
    setup.SetComputerPlayers(1);
    EXPECT_EQ(setup.ComputerPlayers(), 2);
    setup.SetComputerPlayers(10);
    EXPECT_EQ(setup.TotalPlayers(), 10);
    setup.SetHumanPlayers(1);
    EXPECT_EQ(setup.ComputerPlayers(), 9) << "lowered to make room";
    setup.SetHumanPlayers(5);
    EXPECT_EQ(setup.HumanPlayers(), 1);

    setup.SetCapitalValue(21);
    setup.SetStartingResources(-5);
    EXPECT_EQ(setup.CapitalValue(), 20);
    EXPECT_EQ(setup.StartingResources(), 0);

    EXPECT_EQ(setup.CheckProceed(), TGameSetup::TProceed::NeedScenario);
    setup.ScenarioFile = "Duel.qxscen";
    EXPECT_EQ(setup.CheckProceed(), TGameSetup::TProceed::Start);

    setup.Enter(true);
    EXPECT_EQ(setup.HumanPlayers(), 2);
    EXPECT_EQ(setup.HumanMin(), 2);
    EXPECT_EQ(setup.ComputerPlayers(), 0);
    EXPECT_EQ(setup.ComputerMax(), 8);
    EXPECT_FALSE(setup.BrainsVisible());
    setup.SetHumanPlayers(10);
    EXPECT_EQ(setup.ComputerMax(), 0);
    EXPECT_EQ(setup.ComputerPlayers(), 0);

    TGameSetup few;
    few.Enter(false);
    few.SetHumanPlayers(1);
    few.SetComputerPlayers(0);
    EXPECT_EQ(few.ComputerPlayers(), 1) << "solo play has at least one computer";

    EXPECT_FALSE(TGameSetup::HasShipTypes({TShipType::WarShip, TShipType::Drone}));
    EXPECT_TRUE(TGameSetup::HasShipTypes({TShipType::WarShip, TShipType::Drone, TShipType::EMine, TShipType::Tug,
                                          TShipType::SpyShip, TShipType::ScanShip}));
}

using test::TempFolder;

TEST(BrainSelection, ListsBrainFilesAndKeepsBaseNames) {
    TempFolder temp;
    temp.File("game/Warden.qxbrain");
    temp.File("game/Defender.qxbrain");
    temp.File("game/notes.txt");
    temp.File("user/Zealot.qxbrain");
    temp.File("user/Warden.qxbrain");
    temp.File("user/bad;name.qxbrain");
    TBrainSelection brains;
    brains.Folders = {(temp.path / "game").string(), (temp.path / "user").string(), (temp.path / "missing").string()};
    EXPECT_EQ(brains.BrainFiles(), (std::vector<std::string>{"Defender", "Warden", "Zealot"}));

    EXPECT_EQ(brains.Name(4), "Defender");
    brains.SetFromFile(4, (temp.path / "user/Zealot.qxbrain").string());
    EXPECT_EQ(brains.Name(4), "Zealot");
    EXPECT_EQ(TBrainSelection::BaseName("../../brains/Warden.qxbrain"), "Warden");
    EXPECT_EQ(TBrainSelection::BaseName("C:\\Brains\\Warden"), "Warden");
    EXPECT_EQ(TBrainSelection::BaseName("a~b"), "");
    EXPECT_EQ(TBrainSelection::BaseName(".."), "");
    EXPECT_EQ(TBrainSelection::BaseName(""), "");

    TMemorySettingsStore settings;
    settings.WriteString("Brain1", "/home/someone/Warden.qxbrain");
    settings.WriteString("Brain2", "Pathfinder.old.qxbrain");
    brains.Load(settings);
    EXPECT_EQ(brains.Name(1), "Warden");
    EXPECT_EQ(brains.Name(2), "Pathfinder");
    EXPECT_EQ(brains.Name(3), "Defender") << "absent: unchanged";
    brains.Save(settings);
    EXPECT_EQ(settings.ReadString("Brain4"), "Zealot");

    EXPECT_FALSE(TBrainSelection::RowVisible(0, 1, 3));
    EXPECT_TRUE(TBrainSelection::RowVisible(2, 1, 3));
    EXPECT_FALSE(TBrainSelection::RowVisible(3, 1, 3));
}

TEST(BrainSelection, AssignBrainsNamesComputersAndGivesThemBaseNamesOnly) {
    TQuorvexEngine engine;
    for (int i = 0; i < 4; ++i) {
        auto player = std::make_unique<TPlayer>(&engine);
        player->Index = i;
        player->Name = "Player " + std::to_string(i + 1);
        player->Computer = i >= 1;
        engine.AddPlayer(std::move(player));
    }
    TBrainSelection brains;
    brains.SetName(1, "Warden");
    brains.SetName(2, "../../etc/passwd");
    brains.SetName(3, "bad;name");
    TNameGenerator names;
    names.Delimiter = "-";
    names.SetSyllables(TNameGenerator::BrainSyllables());
    AssignBrains(engine, brains, names, engine.RulesRandom);
    EXPECT_EQ(engine.GetPlayer(0)->Name, "Player 1") << "humans keep their names";
    EXPECT_EQ(engine.GetPlayer(0)->BrainFile, "");
    EXPECT_EQ(engine.GetPlayer(1)->BrainFile, "Warden.qxbrain");
    EXPECT_EQ(engine.GetPlayer(2)->BrainFile, "passwd.qxbrain");
    EXPECT_EQ(engine.GetPlayer(3)->BrainFile, "") << "the built-in brain";
    std::vector<std::string> seen;
    for (int i = 1; i < 4; ++i) {
        const std::string& name = engine.GetPlayer(i)->Name;
        EXPECT_NE(name.rfind("Player", 0), 0u) << name;
        EXPECT_TRUE(std::find(seen.begin(), seen.end(), name) == seen.end()) << "names do not repeat";
        seen.push_back(name);
    }
    // The state text still reads back: no brain name broke it.
    TQuorvexEngine copy;
    copy.LoadFromText(engine.SaveToText());
    EXPECT_EQ(copy.GetPlayer(3)->Name, engine.GetPlayer(3)->Name);
}

TEST(EmpireName, TrimmedWithoutSeparatorsOrControlsAndNotTooLong) {
    std::string name;
    EXPECT_EQ(CheckEmpireName("  Andromeda Union \t", name), "");
    EXPECT_EQ(name, "Andromeda Union");
    EXPECT_EQ(CheckEmpireName("   ", name), "");
    EXPECT_EQ(name, "") << "an empty answer takes a generated name";
    for (const char* bad : {"Red;Star", "Tilde~", "a:b", "pipe|", "x=y", "bell\a", "line\nbreak"}) {
        EXPECT_NE(CheckEmpireName(bad, name), "") << bad;
        EXPECT_EQ(name, "") << bad;
    }
    EXPECT_EQ(CheckEmpireName(std::string(24, 'x'), name), "");
    EXPECT_NE(CheckEmpireName(std::string(25, 'x'), name), "");
    EXPECT_EQ(CheckEmpireName("Über Ærø Ünion", name), "") << "letters beyond ASCII count once each";
    EXPECT_EQ(name, "Über Ærø Ünion");
}

// Whatever a player types or a settings file holds, nothing that enters the
// game's texts carries their separators.
TEST(EmpireName, AnyInputGivesASafeNameOrARefusal) {
    TRandom random(99);
    auto clean = [](const std::string& text) {
        return std::none_of(text.begin(), text.end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u < 0x20 || u == 0x7F || std::string_view(";~:|=").find(c) != std::string_view::npos;
        });
    };
    for (int i = 0; i < 2000; ++i) {
        std::string text(static_cast<size_t>(random.Random(40)), ' ');
        for (char& c : text) c = static_cast<char>(random.Random(256));
        std::string name = "unchanged";
        const std::string refused = CheckEmpireName(text, name);
        if (refused.empty()) {
            EXPECT_TRUE(clean(name));
            EXPECT_TRUE(name.empty() || (name.front() != ' ' && name.back() != ' '));
        } else {
            EXPECT_EQ(name, "");
        }
        const std::string base = TBrainSelection::BaseName(text);
        EXPECT_TRUE(clean(base));
        EXPECT_EQ(base.find_first_of("/\\"), std::string::npos);
    }
}

} // namespace
} // namespace qx
