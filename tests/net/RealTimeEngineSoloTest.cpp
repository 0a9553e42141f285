#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "net/RealTimeEngine.h"
#include "base/TaskQueueExecutor.h"

using namespace qx;
using namespace std::chrono_literals;

namespace {

// A solo clock whose callbacks write what happened into a log.
struct SoloClock : ::testing::Test {
    std::shared_ptr<TaskQueueExecutor> executor = std::make_shared<TaskQueueExecutor>();
    TRealTimeEngine clock{executor};
    std::vector<std::string> log;
    int afterCount = 0;

    void SetUp() override {
        clock.Interval = 0;
        clock.OnSoloUserInfo = [](TObject*, TKyrelUser* user) { user->UserId = "Solo"; };
        clock.OnActivate = [&](TObject*) { log.push_back("activate"); };
        clock.OnDeactivate = [&](TObject*) { log.push_back("deactivate"); };
        clock.BeforeProcess = [&](TObject*) { log.push_back("before " + std::to_string(clock.Impulse())); };
        clock.OnCollectOrders = [&](TObject*, const std::string& text, const std::string& id) {
            log.push_back("order " + id + " " + text);
        };
        clock.OnProcessOrders = [&](TObject*) { log.push_back("process"); };
        clock.OnProcessStateChange = [&](TObject*, const std::string& text) { log.push_back("change " + text); };
        clock.AfterProcess = [&](TObject*) {
            log.push_back("after " + std::to_string(clock.Impulse()));
            ++afterCount;
        };
    }

    void RunImpulses(int count) {
        const int target = afterCount + count;
        ASSERT_TRUE(executor->RunUntil([&] { return afterCount >= target; }, 5s));
    }
};

} // namespace

TEST_F(SoloClock, RunsTheStepsOfEachImpulseInOrder) {
    clock.SetImpulse(7);
    clock.AddOrder("2:ABC:3:4");
    clock.AddOrder("1:XYZ");
    clock.SetActive(true);
    EXPECT_TRUE(clock.Active());
    EXPECT_EQ(clock.LocalUserName(), "Solo");
    EXPECT_TRUE(clock.IsMaster());
    RunImpulses(2);
    clock.SetActive(false);

    const std::vector<std::string> expected = {
        "activate",     "before 7", "order Solo 2:ABC:3:4", "order Solo 1:XYZ", "process", "after 8",
        "before 8",     "process",  "after 9",              "deactivate"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(clock.Active());
    EXPECT_EQ(clock.UserCount(), 0);
    EXPECT_EQ(clock.LocalUserName(), "User");
}

TEST_F(SoloClock, OrdersAreCarriedToTheNextImpulseAndSplitAtTheDelimiter) {
    clock.BeforeProcess = nullptr;
    clock.OnProcessOrders = [&](TObject*) {
        log.push_back("process");
        if (clock.Impulse() == 0) clock.AddOrder("late");  // given while an impulse runs: next impulse
    };
    clock.AddOrder("a~b");  // the delimiter inside an order makes two orders
    clock.SetActive(true);
    RunImpulses(2);
    clock.SetActive(false);
    const std::vector<std::string> expected = {"activate", "order Solo a", "order Solo b", "process", "after 1",
                                               "order Solo late", "process", "after 2", "deactivate"};
    EXPECT_EQ(log, expected);
}

TEST_F(SoloClock, ImpulseCannotBeSetWhileActiveAndChangesStayLocal) {
    clock.OnProcessOrders = [&](TObject*) {
        clock.AddStateChange("9:0:ABC:");
        log.push_back("pending " + clock.PendingChanges());
    };
    clock.SetActive(true);
    clock.SetImpulse(100);
    RunImpulses(1);
    EXPECT_EQ(clock.Impulse(), 1);
    EXPECT_TRUE(clock.PendingChanges().empty());  // cleared after processing, never sent
    clock.SetActive(false);
    EXPECT_NE(std::find(log.begin(), log.end(), "pending 9:0:ABC:~"), log.end());
    for (const auto& line : log) EXPECT_NE(line.rfind("change", 0), 0u) << line;
    clock.SetImpulse(100);
    EXPECT_EQ(clock.Impulse(), 100);
}

TEST_F(SoloClock, PauseLetsTheImpulseFinishThenHolds) {
    clock.BeforeProcess = [&](TObject*) {
        log.push_back("before");
        clock.SetPaused(true);
    };
    clock.SetActive(true);
    RunImpulses(1);
    // Paused: no further impulse starts.
    executor->RunUntil([] { return false; }, 250ms);
    EXPECT_EQ(afterCount, 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "before"), 1);
    clock.SetPaused(false);
    RunImpulses(1);
    clock.SetActive(false);
    EXPECT_EQ(std::count(log.begin(), log.end(), "before"), 2);
}

TEST_F(SoloClock, DroppingTheLocalUserStopsTheClockAfterTheCallback) {
    clock.OnProcessOrders = [&](TObject*) {
        log.push_back("process");
        clock.DropUser("Solo");
    };
    clock.OnUserRemoved = [&](TObject*, TKyrelUser* user) { log.push_back("removed " + user->UserId); };
    clock.SetActive(true);
    executor->RunUntil([&] { return !clock.Active(); }, 5s);
    EXPECT_FALSE(clock.Active());
    // Nothing runs after the stop: the impulse's AfterProcess is skipped.
    executor->RunUntil([] { return false; }, 100ms);
    const std::vector<std::string> expected = {"activate", "process", "removed Solo", "deactivate"};
    std::vector<std::string> seen;
    for (const auto& line : log)
        if (line.rfind("before", 0) != 0) seen.push_back(line);
    EXPECT_EQ(seen, expected);
}

TEST_F(SoloClock, IntervalSpacesImpulses) {
    clock.Interval = 60;
    clock.SetActive(true);
    const auto start = std::chrono::steady_clock::now();
    RunImpulses(3);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    clock.SetActive(false);
    EXPECT_GE(elapsed, 120ms);  // two full intervals lie between three impulse ends
}

TEST(RealTimeEngine, WithoutUsersOrConnectionIsMasterAndUser) {
    TRealTimeEngine clock(std::make_shared<TaskQueueExecutor>());
    EXPECT_TRUE(clock.IsMaster());
    EXPECT_EQ(clock.LocalUserName(), "User");
    clock.AddStateChange("x");
    EXPECT_EQ(clock.PendingChanges(), "x~");
}
