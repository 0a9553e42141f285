#include "ToolTestSupport.h"

namespace qx {
namespace {

class StepCommandTest : public test::QxToolTest {
protected:
    test::ToolRun Step(const std::string& args) { return Tool("step " + args); }
};

TEST_F(StepCommandTest, MoveOrderPrintsChangesAndEventsInOrder) {
    const std::string state = Write("game.txt", Galaxy() + "\n");
    const test::ToolRun run = Step(state + " --order 0:2:K7Q:7:5 --impulses 2");
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(run.lines.size(), 9u);
    EXPECT_EQ(run.lines[0], "IMPULSE 1");
    EXPECT_EQ(run.lines[1], "CHANGE 2:0:K7Q:7:5:");
    EXPECT_EQ(run.lines[2], "EVENT OnMoveStarShip I0K7Q 2");
    EXPECT_EQ(run.lines[3], "CHANGE 3:0:K7Q:6:5:2:");
    EXPECT_EQ(run.lines[4], "IMPULSE 2");
    EXPECT_EQ(run.lines[5], "EVENT OnMoveStarShip I0K7Q 2");
    EXPECT_EQ(run.lines[6], "CHANGE 3:0:K7Q:7:5:2:");
    EXPECT_EQ(run.lines[7], "CHANGE 1:0:K7Q:");
    ASSERT_EQ(run.lines[8].rfind("STATE ", 0), 0u);
    TQuorvexEngine engine;
    engine.LoadFromText(run.lines[8].substr(6));
    EXPECT_EQ(engine.Impulse, 3);
    EXPECT_EQ(engine.GetPlayer(0)->FindStarShip("K7Q")->X, 7);
    EXPECT_TRUE(run.errors.empty());
}

TEST_F(StepCommandTest, BuildAndJumpGateEventsNameTheirObjects) {
    const std::string state = Write("game.txt", Galaxy(TShipType::JumpGateShip));
    const test::ToolRun run = Step(state + " --order 0:12:0:2:1:0:0:1:0:5:AB1 --order 0:21:K7Q --seed 4");
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> expected{"IMPULSE 1",
                                            "EVENT OnStarShipCreate I0AB1",
                                            "CHANGE 13:0:2:1:0:0:1:0:1:AB1:",  // the master's price, not 5
                                            "EVENT OnCreateJumpGate W0",
                                            "CHANGE 35:0:K7Q:",
                                            "CHANGE 9:0:K7Q:",
                                            "EVENT OnStarShipDestroy I0K7Q"};
    ASSERT_GE(run.lines.size(), expected.size() + 1);
    EXPECT_EQ(std::vector<std::string>(run.lines.begin(), run.lines.begin() + 7), expected);
    EXPECT_EQ(run.lines.back().rfind("STATE ", 0), 0u);
}

TEST_F(StepCommandTest, SameSeedSameOutput) {
    const std::string state = Write("game.txt", Galaxy());
    const test::ToolRun a = Step(state + " --order 0:12:0:2:1:0:0:1:0:5: --impulses 3 --seed 99");
    const test::ToolRun b = Step(state + " --order 0:12:0:2:1:0:0:1:0:5: --impulses 3 --seed 99");
    ASSERT_EQ(a.status, 0);
    EXPECT_EQ(a.lines, b.lines);
    EXPECT_EQ(a.lines.size(), 6u);  // three impulses, the build's event and change, the state
}

TEST_F(StepCommandTest, TheComputerWhoseTurnItIsThinksAndItsOrdersBecomeChanges) {
    // Player 1 is a computer whose brain (found through --brain-dir, the saved
    // field holding only the file name) sends its ship to (0, 9).
    TQuorvexEngine engine;
    engine.LoadFromText(Galaxy());
    TPlayer* computer = engine.GetPlayer(1);
    computer->Computer = true;
    computer->BrainFile = "Mover.qxbrain";
    auto ship = std::make_unique<TStarShip>(&engine, "Z9Z");
    ship->ShipType = TShipType::WarShip;
    ship->X = ship->Y = 8;
    ship->SetEngines(20);
    computer->AddStarShip(std::move(ship));
    engine.SetImpulse(1);  // player 1 thinks before impulses 1, 11, 21, ...
    const std::string state = Write("game.txt", engine.SaveToText());
    std::filesystem::create_directories(dir / "brains");
    Write("brains/Mover.qxbrain",
          "for i := 0 to GetStarShipCount() - 1 do\n"
          "  if GetStarShipOwner( i ) = GetCurrentPlayer() then OrderMove( i, 0, 9 );\n");

    const test::ToolRun run = Step(state + " --brain-dir " + (dir / "brains").string());
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.errors.empty()) << run.errors;
    ASSERT_GE(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[0], "IMPULSE 1");
    EXPECT_EQ(run.lines[1], "CHANGE 2:1:Z9Z:0:9:");

    // Without the folder the file is not found: the built-in brain plays,
    // which has no reason to move that ship; the saved field is unchanged.
    const test::ToolRun fallback = Step(state);
    ASSERT_EQ(fallback.status, 0) << fallback.errors;
    EXPECT_EQ(std::count(fallback.lines.begin(), fallback.lines.end(), "CHANGE 2:1:Z9Z:0:9:"), 0);
    EXPECT_NE(fallback.lines.back().find("Mover.qxbrain"), std::string::npos);

    // A brain that fails is reported on standard error, naming its player and
    // file, and the impulse still completes.
    Write("brains/Mover.qxbrain", "x := 1 div 0;\n");
    const test::ToolRun failing = Step(state + " --brain-dir " + (dir / "brains").string());
    ASSERT_EQ(failing.status, 0) << failing.errors;
    EXPECT_NE(failing.errors.find("Player 2"), std::string::npos) << failing.errors;
    EXPECT_NE(failing.errors.find("Mover.qxbrain"), std::string::npos) << failing.errors;
    EXPECT_EQ(failing.lines.back().rfind("STATE ", 0), 0u);
}

TEST_F(StepCommandTest, BadInputFailsWithOneLine) {
    const std::string good = Write("game.txt", Galaxy());
    const std::string broken = Write("broken.txt", Galaxy().substr(0, 60));
    for (const std::string& args :
         {(dir / "missing.txt").string(), broken, good + " --order 2:1:K7Q", good + " --order K7Q",
          good + " --current 4"}) {
        const test::ToolRun run = Step(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_TRUE(run.lines.empty()) << args;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    }
    EXPECT_EQ(Step(good + " --impulses lots").status, 2);
    const test::ToolRun help = Step("--help");
    EXPECT_EQ(help.status, 0);
    ASSERT_FALSE(help.lines.empty());
    EXPECT_EQ(help.lines[0].rfind("Usage: qxtool step", 0), 0u);
}

} // namespace
} // namespace qx
