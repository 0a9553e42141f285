#include "ToolTestSupport.h"

namespace qx {
namespace {

const std::string kData = std::string(QX_SOURCE_DIR) + "/data/";

class TournamentCommandTest : public test::QxToolTest {
protected:
    std::string Brains() const {
        return "--brain " + kData + "brains/Pathfinder.qxbrain --brain " + kData + "brains/Warden.qxbrain --brain " +
               kData + "brains/Defender.qxbrain";
    }
};

// The numbers of one table row: games, wins, losses, draws.
std::vector<int> RowCounts(const std::string& row) {
    std::istringstream in(row);
    std::string rank, brain;
    std::vector<int> counts(4);
    in >> rank >> brain >> counts[0] >> counts[1] >> counts[2] >> counts[3];
    return counts;
}

TEST_F(TournamentCommandTest, ASeededTournamentGivesTheSameTableTwiceAndOnAnyNumberOfJobs) {
    const std::string args = "tournament " + Brains() + " --scenario " + kData + "scenarios/Duel.qxscen --scenario " +
                             kData + "scenarios/Hold.qxscen --games 2 --seed 7 --max-impulses 800 --list --quiet";
    const test::ToolRun one = Tool(args + " --jobs 1");
    ASSERT_EQ(one.status, 0) << one.errors;
    const test::ToolRun two = Tool(args + " --jobs 2");
    const test::ToolRun again = Tool(args + " --jobs 2");
    const test::ToolRun many = Tool(args + " --jobs 5");
    EXPECT_EQ(two.lines, one.lines);
    EXPECT_EQ(again.lines, one.lines);
    EXPECT_EQ(many.lines, one.lines);

    // A header, three brains, twelve games (2 scenarios x 3 pairings x 2).
    ASSERT_EQ(one.lines.size(), 1u + 3u + 12u);
    int games = 0, wins = 0, losses = 0, draws = 0;
    for (size_t i = 1; i <= 3; ++i) {
        const std::vector<int> counts = RowCounts(one.lines[i]);
        EXPECT_EQ(counts[0], 8) << one.lines[i];  // each brain meets two others, twice on two scenarios
        EXPECT_EQ(counts[1] + counts[2] + counts[3], counts[0]) << one.lines[i];
        games += counts[0];
        wins += counts[1];
        losses += counts[2];
        draws += counts[3];
    }
    EXPECT_EQ(games, 24);
    EXPECT_EQ(wins, losses);  // every decided game has one winner and one loser
    EXPECT_EQ(draws % 2, 0);
    EXPECT_GT(wins, 4);

    // Each game replays exactly as a duel with its seed, its first brain first.
    const std::string& game = one.lines[5];
    ASSERT_EQ(game.rfind("game 1  " + kData + "scenarios/Duel.qxscen  seed 8  " + kData + "brains/Warden", 0), 0u)
        << game;
    const test::ToolRun duel = Tool("duel " + kData + "scenarios/Duel.qxscen --brain " + kData +
                                    "brains/Warden.qxbrain --brain " + kData +
                                    "brains/Pathfinder.qxbrain --seed 8 --max-impulses 800 --quiet");
    ASSERT_EQ(duel.status, 0);
    const std::string& verdict = duel.lines.back();
    const std::string impulse = verdict.substr(verdict.rfind(' ') + 1);
    if (verdict.rfind("VICTORY 0 ", 0) == 0) EXPECT_NE(game.find("1-0 at impulse " + impulse), std::string::npos);
    else if (verdict.rfind("VICTORY 1 ", 0) == 0) EXPECT_NE(game.find("0-1 at impulse " + impulse), std::string::npos);
    else EXPECT_NE(game.find("1/2"), std::string::npos) << verdict;
}

TEST_F(TournamentCommandTest, AFailingBrainIsReportedWithItsFileAndTheGameSeed) {
    const std::string broken = Write("Broken.qxbrain", "n := GetStarSystemCount(); x := 1 div (n - n);");
    const std::string csv = (dir / "table.csv").string();
    const test::ToolRun run = Tool("tournament --reference " + kData + "brains/Defender.qxbrain --brain " + broken +
                                   " --scenario " + kData + "scenarios/Duel.qxscen --games 2 --seed 30 --max-impulses 400 --jobs 2 --csv " + csv);
    ASSERT_EQ(run.status, 0) << run.errors;
    // The broken brain stopped in both games; each report names its file and seed.
    std::vector<std::string> reports;
    for (const std::string& line : run.lines)
        if (line.rfind("game ", 0) == 0) reports.push_back(line);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[0].find("seed 30: "), std::string::npos) << reports[0];
    EXPECT_NE(reports[1].find("seed 31: "), std::string::npos) << reports[1];
    for (const std::string& report : reports) {
        EXPECT_NE(report.find(broken), std::string::npos) << report;
        EXPECT_NE(report.find("Division by zero"), std::string::npos) << report;
    }
    // The reference tops the table; the CSV holds the same table.
    ASSERT_GE(run.lines.size(), 3u);
    EXPECT_NE(run.lines[1].find("Defender.qxbrain"), std::string::npos);
    EXPECT_EQ(run.lines[2].substr(run.lines[2].size() - 1), "2");  // two failures
    std::ifstream in(csv);
    std::vector<std::string> rows;
    for (std::string row; std::getline(in, row);) rows.push_back(row);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], "rank,brain,games,wins,losses,draws,score,rating,failures");
    EXPECT_EQ(rows[2].rfind("2," + broken + ",2,", 0), 0u) << rows[2];
    EXPECT_EQ(rows[2].substr(rows[2].size() - 2), ",2");
    EXPECT_NE(run.errors.find("games per minute"), std::string::npos) << run.errors;
}

TEST_F(TournamentCommandTest, BadUsageFailsWithOneLine) {
    const std::string brain = kData + "brains/Warden.qxbrain";
    const test::ToolRun one = Tool("tournament --brain " + brain);
    EXPECT_EQ(one.status, 2);
    EXPECT_NE(one.errors.find("at least two"), std::string::npos) << one.errors;
    const test::ToolRun missing = Tool("tournament --brain " + brain + " --brain " + (dir / "none.qxbrain").string());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("none.qxbrain"), std::string::npos) << missing.errors;
    const test::ToolRun badScenario = Tool("tournament --brain " + brain + " --brain " + brain + " --scenario " +
                                           Write("bad.qxscen", "SetMapSize( 10, ;"));
    EXPECT_EQ(badScenario.status, 1);
    EXPECT_NE(badScenario.errors.find("Syntaxerror"), std::string::npos) << badScenario.errors;
    EXPECT_EQ(Tool("tournament --brain " + brain + " --brain " + brain + " --jobs 0").status, 2);
    EXPECT_EQ(Tool("tournament --help").status, 0);
}

} // namespace
} // namespace qx
