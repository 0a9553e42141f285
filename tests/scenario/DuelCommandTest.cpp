#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/SavedGame.h"

namespace {

struct Result {
    int status = -1;
    std::string out;
};

Result RunTool(const std::string& arguments) {
    Result result;
    const std::string command = std::string(QXTOOL_PATH) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

const std::string kData = std::string(QX_SOURCE_DIR) + "/data/";

std::string LastLine(const std::string& text) {
    const size_t end = text.find_last_not_of('\n');
    const size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

} // namespace

TEST(DuelCommand, ASeedRepeatsADuelExactly) {
    const std::string args = "duel " + kData + "scenarios/Duel.qxscen --brain " + kData +
                             "brains/Warden.qxbrain --seed 42 --max-impulses 3000";
    const Result first = RunTool(args);
    const Result second = RunTool(args);
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(first.out, second.out);
    const std::string last = LastLine(first.out);
    EXPECT_TRUE(last.rfind("VICTORY ", 0) == 0 || last.rfind("NO VICTOR after ", 0) == 0) << last;
}

TEST(DuelCommand, EveryBundledScenarioEndsInVictoryWithTheBundledBrains) {
    for (const char* scenario : {"Duel", "Conquest", "Hold", "Horde", "Blockade"}) {
        const Result result = RunTool("duel " + kData + "scenarios/" + scenario + ".qxscen --brain " + kData +
                                      "brains/Pathfinder.qxbrain --brain " + kData +
                                      "brains/Warden.qxbrain --seed 7 --max-impulses 6000 --quiet");
        ASSERT_EQ(result.status, 0) << scenario;
        EXPECT_EQ(LastLine(result.out).rfind("VICTORY ", 0), 0u) << scenario << ": " << result.out;
    }
}

TEST(DuelCommand, ProgressLinesComeEveryFiveHundredImpulses) {
    const Result result = RunTool("duel " + kData + "scenarios/Duel.qxscen --seed 1 --max-impulses 1000 --players 3");
    ASSERT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("impulse 500  [0] "), std::string::npos) << result.out;
}

TEST(DuelCommand, ScenarioPrintsDescriptionVictoryAndState) {
    const Result result = RunTool("scenario " + kData + "scenarios/Hold.qxscen --players 3 --seed 9");
    ASSERT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("DESCRIPTION ", 0), 0u);
    EXPECT_NE(result.out.find("\nVICTORY Hold "), std::string::npos);
    EXPECT_NE(result.out.find("\nSTATE 4;1;"), std::string::npos);
    EXPECT_EQ(RunTool("scenario " + kData + "scenarios/Hold.qxscen --players 3 --seed 9").out, result.out);
}

TEST(DuelCommand, SaveWritesTheFinalStateThatStepCarriesOn) {
    const std::string saved = ::testing::TempDir() + "duel-end.qx";
    const std::string plain = ::testing::TempDir() + "duel-end.txt";
    const std::string base = "duel " + kData + "scenarios/Duel.qxscen --seed 3 --max-impulses 40 --quiet --save ";
    const Result first = RunTool(base + saved);
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(LastLine(first.out), "NO VICTOR after 40 impulses");
    ASSERT_EQ(RunTool(base + plain).status, 0);
    const std::string text = qx::TSavedGame::ReadText(plain);
    EXPECT_EQ(qx::TSavedGame::ReadText(saved), text);
    EXPECT_EQ(text.rfind("4;41;", 0), 0u) << "the state after the last impulse: " << text.substr(0, 20);
    const Result step = RunTool("step " + saved);
    ASSERT_EQ(step.status, 0);
    EXPECT_EQ(step.out.rfind("IMPULSE 41\n", 0), 0u);
    EXPECT_EQ(RunTool(base + ::testing::TempDir() + "no/such/folder.qx").status, 1);
    std::remove(saved.c_str());
    std::remove(plain.c_str());
}

TEST(DuelCommand, AReplicaFedOnlyTheChangesStaysTheMastersCopy) {
    // The short soak: every bundled scenario, two to four brains.
    const Result result = RunTool("soak --data " + kData + " --impulses 6000 --game-impulses 400 --quiet");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(LastLine(result.out).rfind("SOAK 6000 impulses in ", 0), 0u) << result.out;
    EXPECT_EQ(result.out.find("DIVERGED"), std::string::npos) << result.out;

    // A change lost on the way shows at once, with where and what.
    const Result lost = RunTool("soak --data " + kData + " --scenario " + kData +
                                "scenarios/Duel.qxscen --impulses 400 --drop-change 10 --quiet");
    EXPECT_EQ(lost.status, 1) << lost.out;
    EXPECT_EQ(lost.out.rfind("DIVERGED Duel seed 1 impulse ", 0), 0u) << lost.out;
    EXPECT_NE(lost.out.find(": field "), std::string::npos) << lost.out;
    EXPECT_NE(lost.out.find(" master '"), std::string::npos) << lost.out;
}

TEST(DuelCommand, BadInputIsRefusedWithStatusAndMessage) {
    EXPECT_EQ(RunTool("scenario /nonexistent.qxscen --players 2").status, 1);
    EXPECT_EQ(RunTool("scenario " + kData + "scenarios/Duel.qxscen").status, 2);  // --players missing
    EXPECT_EQ(RunTool("duel " + kData + "scenarios/Duel.qxscen --players 11").status, 2);
    EXPECT_EQ(RunTool("duel " + kData + "scenarios/Duel.qxscen --brain /nonexistent.qxbrain").status, 1);
    const std::string file = ::testing::TempDir() + "bad.qxscen";
    FILE* out = fopen(file.c_str(), "w");
    fputs("SetMapSize( 10, 10 );\nx := y;", out);
    fclose(out);
    const Result result = RunTool("scenario " + file + " --players 2");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.rfind("Runtimeerror: Variable Y is not defined.", 0), 0u) << result.out;
}
