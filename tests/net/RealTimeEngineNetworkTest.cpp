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
    std::vector<TKyrelUser*> SubjectUsers() const override;
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
            users_.push_back(std::make_unique<TKyrelUser>(name));
            connections_[name] = std::make_unique<FakeConnection>(*this, name);
        }
    }
    std::vector<TKyrelUser*> Users() const {
        std::vector<TKyrelUser*> users;
        for (const auto& user : users_) users.push_back(user.get());
        return users;
    }
    FakeConnection& Connection(const std::string& name) { return *connections_.at(name); }
    void Broadcast(const std::string& from, const std::string& text) {
        for (auto& [name, connection] : connections_)
            if (name != from) connection->Deliver(text, from);
    }

private:
    std::vector<std::unique_ptr<TKyrelUser>> users_;
    std::map<std::string, std::unique_ptr<FakeConnection>> connections_;
};

std::vector<TKyrelUser*> FakeConnection::SubjectUsers() const { return lobby_.Users(); }
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
