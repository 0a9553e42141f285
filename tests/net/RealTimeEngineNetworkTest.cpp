#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/RealTimeEngine.h"
#include "base/TaskQueueExecutor.h"

using namespace qx;
using namespace std::chrono_literals;

namespace {

class FakeLobby;

// One machine's lobby connection: data sent goes to every other machine of
// the subject, delivered at once on the (single) main thread.
class FakeConnection : public ILobbyConnection {
public:
    FakeConnection(FakeLobby& lobby, std::string name) : lobby_(lobby), name_(std::move(name)) {}
    std::vector<std::shared_ptr<TKyrelUser>> SubjectUsers() const override;
    std::string CurrentUserName() const override { return name_; }
    void SendData(const std::string& text) override;
    DataHandler GetOnDataReceived() const override { return handler_; }
    void SetOnDataReceived(DataHandler handler) override { handler_ = std::move(handler); }
    void Deliver(const std::string& text, const std::string& from) {
        if (handler_) handler_(nullptr, text, from);
    }
    std::vector<std::string> sent;

private:
    FakeLobby& lobby_;
    std::string name_;
    DataHandler handler_;
};

class FakeLobby {
public:
    explicit FakeLobby(std::vector<std::string> names) {
        for (const auto& name : names) {
            users_.push_back(std::make_shared<TKyrelUser>(name));
            connections_[name] = std::make_unique<FakeConnection>(*this, name);
        }
    }
    std::vector<std::shared_ptr<TKyrelUser>> Users() const { return users_; }
    FakeConnection& Connection(const std::string& name) { return *connections_.at(name); }
    void Broadcast(const std::string& from, const std::string& text) {
        for (auto& [name, connection] : connections_)
            if (name != from) connection->Deliver(text, from);
    }

private:
    std::vector<std::shared_ptr<TKyrelUser>> users_;
    std::map<std::string, std::unique_ptr<FakeConnection>> connections_;
};

std::vector<std::shared_ptr<TKyrelUser>> FakeConnection::SubjectUsers() const { return lobby_.Users(); }
void FakeConnection::SendData(const std::string& text) {
    sent.push_back(text);
    lobby_.Broadcast(name_, text);
}

// A machine: its clock on its connection, with a log of what its callbacks saw.
struct Machine {
    Machine(std::shared_ptr<TaskQueueExecutor> executor, FakeConnection& connection)
        : clock(executor), connection(connection) {
        connection.SetOnDataReceived([this](TObject*, const std::string& text, const std::string& id) {
            log.push_back("app " + id + " " + text);
        });
        clock.Interval = 0;
        clock.SetKyrelConnection(&connection);
        clock.Loaded();
        clock.OnCollectOrders = [this](TObject*, const std::string& text, const std::string& id) {
            log.push_back("order " + id + " " + text);
            clock.AddStateChange("did " + text);
        };
        clock.OnProcessOrders = [this](TObject*) {
            log.push_back("process " + std::to_string(clock.Impulse()));
            ++processed;
        };
        clock.OnProcessStateChange = [this](TObject*, const std::string& text) { log.push_back("change " + text); };
        clock.AfterProcess = [this](TObject*) { ++impulses; };
    }
    TRealTimeEngine clock;
    FakeConnection& connection;
    std::vector<std::string> log;
    int processed = 0;
    int impulses = 0;

    bool Saw(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
};

struct NetworkClock : ::testing::Test {
    std::shared_ptr<TaskQueueExecutor> executor = std::make_shared<TaskQueueExecutor>();
};

} // namespace

TEST_F(NetworkClock, MasterAppliesEveryonesOrdersAndOthersReplayItsChanges) {
    FakeLobby lobby({"Ann", "Bob"});
    Machine ann(executor, lobby.Connection("Ann"));
    Machine bob(executor, lobby.Connection("Bob"));
    ann.clock.AddOrder("a1");
    bob.clock.AddOrder("b1");
    bob.clock.AddOrder("b2");
    ann.clock.SetActive(true);
    bob.clock.SetActive(true);
    EXPECT_TRUE(ann.clock.IsMaster());
    EXPECT_FALSE(bob.clock.IsMaster());
    ASSERT_TRUE(executor->RunUntil([&] { return ann.impulses >= 2 && bob.impulses >= 2; }, 5s));
    ann.clock.SetActive(false);
    bob.clock.SetActive(false);

    EXPECT_TRUE(ann.Saw("order Ann a1"));
    EXPECT_TRUE(ann.Saw("order Bob b1"));
    EXPECT_TRUE(ann.Saw("order Bob b2"));
    EXPECT_EQ(bob.processed, 0);  // only the master processes
    EXPECT_TRUE(bob.Saw("change did a1"));
    EXPECT_TRUE(bob.Saw("change did b2"));
    EXPECT_FALSE(ann.Saw("change did a1"));
    EXPECT_EQ(bob.connection.sent.front(), "ORDERS|Bob|0|b1~b2~");
    ASSERT_FALSE(ann.connection.sent.empty());
    EXPECT_EQ(ann.connection.sent.front().rfind("CHANGES|0|", 0), 0u);
    // The clocks' own lines never reach the application's handler.
    for (const auto& line : bob.log) EXPECT_NE(line.rfind("app", 0), 0u) << line;
}

TEST_F(NetworkClock, MasterWaitsForEveryUserUntilTheSilentOneIsRemoved) {
    FakeLobby lobby({"Ann", "Bob", "Cid"});
    Machine ann(executor, lobby.Connection("Ann"));
    Machine bob(executor, lobby.Connection("Bob"));  // Cid never runs a clock
    ann.clock.SetActive(true);
    bob.clock.SetActive(true);
    executor->RunUntil([] { return false; }, 200ms);
    EXPECT_EQ(ann.processed, 0);
    EXPECT_EQ(bob.impulses, 0);
    ann.clock.RemoveUser("Cid");
    bob.clock.RemoveUser("Cid");
    ASSERT_TRUE(executor->RunUntil([&] { return bob.impulses >= 1; }, 5s));
    EXPECT_GE(ann.processed, 1);
    ann.clock.SetActive(false);
    bob.clock.SetActive(false);
}

TEST_F(NetworkClock, StaleAndForeignOrderLinesAreDropped) {
    FakeLobby lobby({"Ann", "Bob"});
    Machine ann(executor, lobby.Connection("Ann"));
    ann.clock.SetImpulse(5);
    ann.clock.SetActive(true);
    // Bob never runs a clock here; his lines are delivered by hand.
    lobby.Connection("Ann").Deliver("ORDERS|Bob|4|old~", "Bob");      // an impulse too early
    lobby.Connection("Ann").Deliver("ORDERS|Bob|x|junk~", "Bob");     // no impulse number
    lobby.Connection("Ann").Deliver("ORDERS|Eve|5|intruder~", "Eve"); // not in the game
    lobby.Connection("Ann").Deliver("ORDERS|Bob|5|fresh~", "Bob");
    lobby.Connection("Ann").Deliver("GAMECHAT:hello", "Bob");          // the application's own
    ASSERT_TRUE(executor->RunUntil([&] { return ann.processed >= 1; }, 5s));
    ann.clock.SetActive(false);
    EXPECT_TRUE(ann.Saw("order Bob fresh"));
    EXPECT_FALSE(ann.Saw("order Bob old"));
    EXPECT_FALSE(ann.Saw("order Bob junk"));
    EXPECT_FALSE(ann.Saw("order Eve intruder"));
    EXPECT_TRUE(ann.Saw("app Bob GAMECHAT:hello"));
}

TEST_F(NetworkClock, RemovingTheMasterHandsTheRoleOn) {
    FakeLobby lobby({"Ann", "Bob"});
    Machine bob(executor, lobby.Connection("Bob"));  // Ann has left without a word
    bob.clock.SetActive(true);
    executor->RunUntil([] { return false; }, 100ms);
    EXPECT_EQ(bob.impulses, 0);  // waiting for the master's changes
    bob.clock.RemoveUser("Ann");
    EXPECT_TRUE(bob.clock.IsMaster());
    ASSERT_TRUE(executor->RunUntil([&] { return bob.processed >= 2; }, 5s));
    bob.clock.SetActive(false);
    EXPECT_GE(bob.impulses, 1);
}

TEST_F(NetworkClock, DroppedRemoteUserLeavesTheGameAtTheEndOfTheImpulse) {
    FakeLobby lobby({"Ann", "Bob"});
    Machine ann(executor, lobby.Connection("Ann"));
    Machine bob(executor, lobby.Connection("Bob"));
    std::vector<std::string> removed;
    ann.clock.OnUserRemoved = [&](TObject*, TKyrelUser* user) { removed.push_back(user->UserId); };
    ann.clock.OnProcessOrders = [&](TObject*) {
        ++ann.processed;
        if (ann.processed == 1) ann.clock.DropUser("Bob");
    };
    ann.clock.SetActive(true);
    bob.clock.SetActive(true);
    ASSERT_TRUE(executor->RunUntil([&] { return ann.processed >= 3; }, 5s));
    EXPECT_EQ(removed, std::vector<std::string>{"Bob"});
    EXPECT_EQ(ann.clock.UserCount(), 1);
    EXPECT_TRUE(ann.clock.Active());
    ann.clock.SetActive(false);
    bob.clock.SetActive(false);
}

TEST_F(NetworkClock, OrdersCountOnlyForTheirSenderAndOncePerImpulse) {
    FakeLobby lobby({"Ann", "Bob", "Cid"});
    Machine ann(executor, lobby.Connection("Ann"));
    ann.clock.SetImpulse(3);
    ann.clock.SetActive(true);
    FakeConnection& in = lobby.Connection("Ann");
    in.Deliver("ORDERS|Cid|3|forged~", "Bob");  // Bob writing in Cid's name
    in.Deliver("ORDERS|Bob|3|first~", "Bob");
    in.Deliver("ORDERS|Bob|3|second~", "Bob");  // a second line for the same impulse
    // Two lines from Bob are not two users: the master keeps waiting for Cid.
    executor->RunUntil([] { return false; }, 150ms);
    EXPECT_EQ(ann.processed, 0);
    in.Deliver("ORDERS|Cid|3|real~", "Cid");
    ASSERT_TRUE(executor->RunUntil([&] { return ann.processed >= 1; }, 5s));
    ann.clock.SetActive(false);
    EXPECT_TRUE(ann.Saw("order Bob first"));
    EXPECT_TRUE(ann.Saw("order Cid real"));
    EXPECT_FALSE(ann.Saw("order Bob second"));
    EXPECT_FALSE(ann.Saw("order Cid forged"));
    EXPECT_FALSE(ann.Saw("order Bob forged"));
}

TEST_F(NetworkClock, ChangesAreTakenOnlyFromTheMasterForTheImpulseUnderWay) {
    FakeLobby lobby({"Ann", "Bob", "Cid"});
    Machine bob(executor, lobby.Connection("Bob"));
    bob.clock.SetImpulse(7);
    bob.clock.SetActive(true);
    FakeConnection& in = lobby.Connection("Bob");
    in.Deliver("CHANGES|7|from-cid~", "Cid");  // not the master
    in.Deliver("CHANGES|6|stale~", "Ann");     // an old impulse
    in.Deliver("CHANGES|8|early~", "Ann");     // not yet
    in.Deliver("CHANGES|x|junk~", "Ann");
    executor->RunUntil([] { return false; }, 150ms);
    EXPECT_EQ(bob.impulses, 0);
    in.Deliver("CHANGES|7|real~", "Ann");
    ASSERT_TRUE(executor->RunUntil([&] { return bob.impulses >= 1; }, 5s));
    bob.clock.SetActive(false);
    EXPECT_TRUE(bob.Saw("change real"));
    for (const char* line : {"change from-cid", "change stale", "change early", "change junk"})
        EXPECT_FALSE(bob.Saw(line)) << line;
}

TEST_F(NetworkClock, ANewMasterReplaysChangesItAlreadyHoldsInsteadOfProcessingAgain) {
    FakeLobby lobby({"Ann", "Bob"});
    Machine bob(executor, lobby.Connection("Bob"));
    bob.clock.SetImpulse(2);
    bob.clock.SetActive(true);
    // Ann's last changes arrive, then she is gone before Bob's clock looks.
    lobby.Connection("Bob").Deliver("CHANGES|2|last-from-ann~", "Ann");
    bob.clock.RemoveUser("Ann");
    ASSERT_TRUE(executor->RunUntil([&] { return bob.impulses >= 2; }, 5s));
    bob.clock.SetActive(false);
    EXPECT_TRUE(bob.Saw("change last-from-ann"));
    // Impulse 2 was replayed, not processed; Bob processes from impulse 3 on.
    EXPECT_FALSE(bob.Saw("process 2"));
    EXPECT_TRUE(bob.Saw("process 3"));
}

TEST_F(NetworkClock, LinesOfALaterImpulseWaitForIt) {
    FakeLobby lobby({"Ann", "Bob"});
    Machine ann(executor, lobby.Connection("Ann"));
    ann.clock.SetImpulse(1);
    ann.clock.SetActive(true);
    FakeConnection& in = lobby.Connection("Ann");
    in.Deliver("ORDERS|Bob|2|for-two~", "Bob");  // a fast machine is one ahead
    in.Deliver("ORDERS|Bob|1|for-one~", "Bob");
    ASSERT_TRUE(executor->RunUntil([&] { return ann.processed >= 2; }, 5s));
    ann.clock.SetActive(false);
    ASSERT_TRUE(ann.Saw("order Bob for-one"));
    ASSERT_TRUE(ann.Saw("order Bob for-two"));
    const auto at = [&](const std::string& line) { return std::find(ann.log.begin(), ann.log.end(), line); };
    EXPECT_LT(at("order Bob for-one"), at("process 1"));
    EXPECT_GT(at("order Bob for-two"), at("process 1"));
}

TEST_F(NetworkClock, AnIdleClockPassesEveryDataMessageOn) {
    FakeLobby lobby({"Ann", "Bob"});
    Machine bob(executor, lobby.Connection("Bob"));
    lobby.Connection("Bob").Deliver("CHANGES|4|x~", "Ann");
    lobby.Connection("Bob").Deliver("ORDERS|Ann|4|y~", "Ann");
    EXPECT_TRUE(bob.Saw("app Ann CHANGES|4|x~"));
    EXPECT_TRUE(bob.Saw("app Ann ORDERS|Ann|4|y~"));
}

TEST_F(NetworkClock, TheMasterAloneStillSendsChangesWhileOthersFollowTheGame) {
    FakeLobby lobby({"Ann", "Bob"});
    Machine ann(executor, lobby.Connection("Ann"));
    ann.clock.SetActive(true);
    ann.clock.RemoveUser("Bob");  // Bob's player is out; Bob stays in the subject
    ASSERT_TRUE(executor->RunUntil([&] { return ann.processed >= 2; }, 5s));
    ann.clock.SetActive(false);
    ASSERT_FALSE(ann.connection.sent.empty());
    EXPECT_EQ(ann.connection.sent.front().rfind("CHANGES|0|", 0), 0u);
}
