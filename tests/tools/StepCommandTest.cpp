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
                                            "CHANGE 13:0:2:1:0:0:1:0:5:AB1:",
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
