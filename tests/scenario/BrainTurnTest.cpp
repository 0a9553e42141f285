#include <cstdio>
#include <fstream>

#include "BrainFixture.h"
#include "engine/ImpulseDriver.h"

using namespace qx;
using qx::test::BrainFixture;

namespace {

std::string WriteTemporary(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

} // namespace

TEST_F(BrainFixture, EachComputerThinksInItsOwnSlotOfTen) {
    auto third = std::make_unique<TPlayer>(&engine);
    third->Index = 2;
    third->Computer = true;
    engine.AddPlayer(std::move(third));
    engine.GetPlayer(0)->Computer = false;
    std::vector<std::pair<int, int>> turns;
    TImpulseDriver driver(engine);
    driver.BrainTurn = [&](TPlayer* player) { turns.emplace_back(engine.Impulse, player->Index); };
    engine.SetImpulse(0);
    for (int n = 0; n < 25; ++n) driver.RunImpulse();
    const std::vector<std::pair<int, int>> expected = {{1, 1}, {2, 2}, {11, 1}, {12, 2}, {21, 1}, {22, 2}};
    EXPECT_EQ(turns, expected);
}

TEST_F(BrainFixture, BrainsKeepTheirVariablesFromTurnToTurn) {
    AddSystem(5, 5, 0);
    scripts.DefaultBrainText = "if Type( runs ) = 1 then runs := 0;\nruns := runs + 1;";
    TPlayer* player = engine.GetPlayer(0);
    scripts.BrainTurn(player);
    scripts.BrainTurn(player);
    scripts.BrainTurn(player);
    EXPECT_EQ(Variable("RUNS").AsInteger(), 3);
}

TEST_F(BrainFixture, MissingBrainFilesPlayTheDefaultBrainSilently) {
    AddSystem(5, 5, 0);
    scripts.DefaultBrainText = "BuildShields( 0, 1 );";
    TPlayer* player = engine.GetPlayer(0);
    player->BrainFile = ::testing::TempDir() + "no-such-brain.qxbrain";
    const size_t before = engine.Orders().size();
    scripts.BrainTurn(player);
    EXPECT_EQ(engine.Orders().size(), before + 1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(BrainFixture, ABrainThatDoesNotCompileLeavesItsPlayerIdle) {
    AddSystem(5, 5, 0);
    const std::string file = WriteTemporary("broken.qxbrain", "BuildShields( 0, 1 ;");
    TPlayer* player = engine.GetPlayer(0);
    player->BrainFile = file;
    const size_t before = engine.Orders().size();
    scripts.BrainTurn(player);
    scripts.BrainTurn(player);
    EXPECT_EQ(engine.Orders().size(), before);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Could not compile Brain Script for Player 1", 0), 0u);
    EXPECT_NE(messages[0].find("broken.qxbrain"), std::string::npos);
    EXPECT_NE(messages[0].find("Syntaxerror"), std::string::npos);
    std::remove(file.c_str());
}

TEST_F(BrainFixture, ARunTimeErrorStopsThatBrainForTheRestOfTheGame) {
    AddSystem(5, 5, 0);
    const std::string file = WriteTemporary("failing.qxbrain", "BuildShields( 0, 1 );\nx := y;");
    TPlayer* player = engine.GetPlayer(0);
    player->BrainFile = file;
    const size_t before = engine.Orders().size();
    scripts.BrainTurn(player);
    scripts.BrainTurn(player);
    EXPECT_EQ(engine.Orders().size(), before);  // the failed run's orders are dropped
    EXPECT_TRUE(scripts.BrainStopped(0));
    ASSERT_EQ(messages.size(), 1u);  // reported once
    EXPECT_NE(messages[0].find("Player 1"), std::string::npos);
    EXPECT_NE(messages[0].find("failing.qxbrain"), std::string::npos);
    EXPECT_NE(messages[0].find("Runtimeerror: Variable Y is not defined."), std::string::npos) << messages[0];

    // The other player goes on thinking.
    scripts.DefaultBrainText = "n := 1;";
    scripts.BrainTurn(engine.GetPlayer(1));
    EXPECT_FALSE(scripts.BrainStopped(1));
    std::remove(file.c_str());
}

TEST_F(BrainFixture, AnEndlessBrainIsStoppedByItsCallBudget) {
    scripts.BrainCallBudget = 10000;
    scripts.DefaultBrainText = "n := 0; while true do n := n + 1;";
    scripts.BrainTurn(engine.GetPlayer(0));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Script stopped."), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("built-in Defender"), std::string::npos) << messages[0];
    EXPECT_TRUE(scripts.BrainStopped(0));
}

TEST_F(BrainFixture, TheDefaultBrainPlays) {
    scripts.DefaultBrainText = TdmScripts().DefaultBrainText;
    TStarSystem* home = AddSystem(5, 5, 0);
    home->Capital = true;
    home->Resources = 200;
    home->Shields = 12;
    AddSystem(12, 5, -1);
    engine.UpdateVisibility();
    engine.GetStarSystem(1)->Visible[0] = true;
    const auto orders = Think(scripts.DefaultBrainText);
    ASSERT_TRUE(messages.empty()) << messages[0];
    ASSERT_FALSE(orders.empty());
    // Shields high enough and no warships yet: one WarShip strong enough for
    // the neighbour's 4 shields.
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0].rfind("12:0:0:", 0), 0u) << orders[0];
    EXPECT_NE(orders[0].find(":5:0:-1:-1:"), std::string::npos) << orders[0];
}
