#include <QSqlDatabase>
#include <QSqlQuery>

#include "LobbyTestSupport.h"

using namespace qx;
using namespace qx::test;

namespace {

using Lobby = LobbyFixture;

std::string Game(const std::string& name, int players = 3) {
    return "~" + name + ";Duel.qxscen;" + std::to_string(players) + ";1;18;100;4;";
}

} // namespace

TEST_F(Lobby, AccountsAreUniqueIgnoringCaseAndLoginsCheckThePassword) {
    Start();
    auto ann = Enter("Ann", true, "s3cret");
    EXPECT_EQ(ann->kyrel.CurrentUser()->UserId, "Ann");
    EXPECT_TRUE(ann->kyrel.CurrentUser()->Password.empty());
    EXPECT_EQ(ann->kyrel.CurrentUser()->InfoValue("QxScore"), "1500");
    // The login is followed by the subjects, the version notice and Lobby Chat.
    EXPECT_TRUE(ann->Saw("add Lobby Chat"));
    EXPECT_TRUE(ann->Saw("custom QXVERSION 4|17"));
    EXPECT_TRUE(ann->Saw("join Lobby Chat"));

    auto copy = NewClient();
    EXPECT_FALSE(copy->Enter("ANN", "other", true));  // taken, ignoring case
    EXPECT_TRUE(copy->SawPrefix("login failed The User ID ANN is taken"));
    EXPECT_FALSE(copy->Enter("Ann", "wrong", false));
    EXPECT_TRUE(copy->Saw("login failed Unknown user or wrong password"));
    EXPECT_FALSE(copy->Enter("Ann", "s3cret", false));  // one session per account
    EXPECT_TRUE(copy->Saw("login failed Ann is logged in already"));

    auto other = NewClient();
    ASSERT_TRUE(other->Connect());
    other->kyrel.SetActive(false);
    other->kyrel.SetSubjectCode("Solitaire");
    EXPECT_FALSE(other->Enter("Bob", "pw", true));
    EXPECT_TRUE(other->Saw("login failed This server serves only Quorvex"));

    ann->kyrel.SetActive(false);
    ASSERT_TRUE(WaitFor([&] { return server->SessionCount() == 3; }));
    auto again = NewClient();
    EXPECT_TRUE(again->Enter("aNN", "s3cret", false));
    EXPECT_EQ(again->kyrel.CurrentUser()->UserId, "Ann");  // the name as it was created
}

TEST_F(Lobby, PasswordsAreStoredHashedAndNeverSent) {
    Start();
    auto ann = Enter("Ann", true, "hunter22");
    auto bob = Enter("Bob", true, "swordfish");
    bob->kyrel.RequestUserInfo("Ann");
    ann->kyrel.RequestUserInfo("Ann");
    ann->kyrel.UpdateUser();
    ASSERT_TRUE(bob->WaitPrefix("info Ann"));
    for (const Client* client : {ann.get(), bob.get()})
        for (const std::string& line : client->lines) {
            EXPECT_EQ(line.find("hunter22"), std::string::npos) << line;
            EXPECT_EQ(line.find("swordfish"), std::string::npos) << line;
        }
    // In the database: Argon2id strings only.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "peek");
        db.setDatabaseName(QString::fromStdString((dir / "lobby.sqlite").string()));
        ASSERT_TRUE(db.open());
        QSqlQuery query("SELECT password_hash, profile FROM users", db);
        int rows = 0;
        while (query.next()) {
            ++rows;
            const std::string hash = query.value(0).toString().toStdString();
            EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u) << hash;
            EXPECT_EQ(hash.find("hunter22"), std::string::npos);
            EXPECT_EQ(query.value(1).toString().toStdString().find("hunter22"), std::string::npos);
        }
        EXPECT_EQ(rows, 2);
    }
    QSqlDatabase::removeDatabase("peek");
}

TEST_F(Lobby, ChatAndDataReachTheOtherUsersOfTheSubjectInOrder) {
    Start();
    auto ann = Enter("Ann");
    auto bob = Enter("Bob");
    auto cid = Enter("Cid");
    ann->kyrel.CreateSubject("Talk", 0);
    ASSERT_TRUE(ann->WaitSaw("join Talk"));
    ASSERT_TRUE(bob->WaitSaw("add Talk"));
    bob->kyrel.JoinSubject("Talk");
    ASSERT_TRUE(bob->WaitSaw("join Talk"));
    for (int i = 0; i < 100; ++i) ann->kyrel.SendChat("line " + std::to_string(i) + "|with bar");
    ann->kyrel.SendData("GAMECHAT:1:0:hi");
    ann->kyrel.SendCustom("QXSECRET", "not for the others");
    ASSERT_TRUE(bob->WaitSaw("data Ann GAMECHAT:1:0:hi"));
    std::vector<std::string> chats;
    for (const std::string& entry : bob->log)
        if (entry.rfind("chat Ann ", 0) == 0) chats.push_back(entry.substr(9));
    ASSERT_EQ(chats.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(chats[static_cast<size_t>(i)], "line " + std::to_string(i) + "|with bar");
    Pump(50);
    EXPECT_FALSE(ann->SawPrefix("chat "));  // not back to the sender
    EXPECT_FALSE(cid->SawPrefix("chat "));  // nor to another subject
    EXPECT_FALSE(cid->SawPrefix("data "));
    EXPECT_FALSE(bob->SawPrefix("custom QXSECRET"));  // custom messages are never relayed
    EXPECT_TRUE(ann->SawPrefix("error Unknown message type QXSECRET"));
}

TEST_F(Lobby, AGameBeginsOnceWhenItsHumansAreThereAndIsThenLocked) {
    Start();
    auto ann = Enter("Ann");
    auto bob = Enter("Bob");
    auto cid = Enter("Cid");
    auto dan = Enter("Dan");
    ann->kyrel.CreateSubject(Game("Duel"), 3);
    ASSERT_TRUE(bob->WaitSaw("add " + Game("Duel")));
    bob->kyrel.JoinSubject(Game("Duel"));
    ASSERT_TRUE(bob->WaitSaw("join " + Game("Duel")));
    ASSERT_EQ(bob->kyrel.UserCount(), 2);
    EXPECT_EQ(bob->kyrel.GetUser(0)->UserId, "Ann");  // the creator first
    EXPECT_FALSE(ann->Saw("begin"));
    cid->kyrel.JoinSubject(Game("Duel"));
    for (Client* c : {ann.get(), bob.get(), cid.get()}) ASSERT_TRUE(c->WaitSaw("begin"));
    dan->kyrel.JoinSubject(Game("Duel"));
    ASSERT_TRUE(dan->WaitPrefix("error That Game has begun"));
    Pump(50);
    for (Client* c : {ann.get(), bob.get(), cid.get()}) EXPECT_EQ(c->Count("begin"), 1);
    EXPECT_EQ(cid->kyrel.GetUser(0)->UserId, "Ann");
    EXPECT_EQ(cid->kyrel.GetUser(2)->UserId, "Cid");
    // Names with separators or control characters are refused.
    dan->kyrel.CreateSubject("~Bad^Name;x;2;0;18;100;4;", 2);
    dan->kyrel.CreateSubject("Tab\there", 0);
    dan->kyrel.CreateSubject("NoTilde", 2);
    ASSERT_TRUE(WaitFor([&] {
        return std::count_if(dan->log.begin(), dan->log.end(), [](const std::string& e) { return e.rfind("error", 0) == 0; }) >= 4;
    }));
    EXPECT_FALSE(dan->SawPrefix("join ~Bad"));
}

TEST_F(Lobby, WhenTheCreatorLeavesBeforeTheBeginningTheOthersGoBackToTheLobby) {
    Start();
    auto ann = Enter("Ann");
    auto bob = Enter("Bob");
    ann->kyrel.CreateSubject(Game("Gone"), 3);
    ASSERT_TRUE(bob->WaitSaw("add " + Game("Gone")));
    bob->kyrel.JoinSubject(Game("Gone"));
    ASSERT_TRUE(bob->WaitSaw("join " + Game("Gone")));
    bob->log.clear();
    ann->kyrel.SetActive(false);
    ASSERT_TRUE(bob->WaitSaw("remove " + Game("Gone")));
    EXPECT_TRUE(bob->Saw("join Lobby Chat"));
    EXPECT_EQ(bob->kyrel.CurrentSubject(), "Lobby Chat");
    EXPECT_TRUE(bob->SawPrefix("error The creator of"));
}

TEST_F(Lobby, PingsCarryMeasuredLatencies) {
    options.Limits.PingSeconds = 1;
    Start();
    auto ann = Enter("Ann");
    auto bob = Enter("Bob");
    // Two pings: the first measures, the second reports.
    ASSERT_TRUE(WaitFor([&] {
        TKyrelUser* user = ann->kyrel.FindUser("Bob");
        return user && user->AverageLatency() > 0;
    }, 4000));
    EXPECT_LT(ann->kyrel.FindUser("Bob")->AverageLatency(), 1000);
}

TEST_F(Lobby, StatisticsUserInformationAndOwnUpdatesOnly) {
    options.Operators = {"root"};
    Start();
    auto ann = Enter("Ann");
    auto bob = Enter("Bob");
    ann->kyrel.RequestServerStats();
    ASSERT_TRUE(ann->WaitSaw("stats 2"));
    ann->kyrel.CurrentUser()->City = "Lund";
    ann->kyrel.UpdateUser();
    ASSERT_TRUE(bob->WaitSaw("info Ann Lund"));  // the subject hears of it
    // Bob writing Ann's record is refused, and her record stays as it was.
    bob->kyrel.CurrentUser()->UserId = "Ann";
    bob->kyrel.CurrentUser()->City = "Hacked";
    bob->kyrel.UpdateUser();
    ASSERT_TRUE(bob->WaitPrefix("error You can only change your own"));
    ann->log.clear();
    ann->kyrel.RequestUserInfo("Ann");
    ASSERT_TRUE(ann->WaitPrefix("info Ann"));
    EXPECT_TRUE(ann->Saw("info Ann Lund"));

    // Only the operator shouts, and everyone hears it.
    auto shout = [this](const std::string& name) {
        auto raw = std::make_unique<RawClient>(Port());
        TKyrelUser user(name);
        user.Password = "pw";
        raw->Send("LOGINNEW|" + name + "|Quorvex|" + user.ToText());
        EXPECT_TRUE(raw->WaitLine("LOGIN|SUCCESS|"));
        raw->Send("SHOUT|Restart at noon|ignored");
        return raw;
    };
    auto eve = shout("Eve");
    ASSERT_TRUE(eve->WaitLine("ERROR|Only the server's operator"));
    EXPECT_FALSE(ann->Saw("shout Restart at noon"));
    auto root = shout("ROOT");
    ASSERT_TRUE(ann->WaitSaw("shout Restart at noon"));
    EXPECT_TRUE(bob->WaitSaw("shout Restart at noon"));
}

TEST_F(Lobby, GameResultsComeOnceFromAPlayerAndNameOnlyThePlayers) {
    Start();
    auto ann = Enter("Ann");
    auto bob = Enter("Bob");
    auto cid = Enter("Cid");
    const std::string result = "12/07/2026%Ann%Bob and 1 Brain%812";
    ann->kyrel.SendCustom("QXUPDATE", result);  // no game has begun
    ASSERT_TRUE(ann->WaitPrefix("error A game result comes from a player"));
    ann->kyrel.CreateSubject(Game("Final", 2), 2);
    ASSERT_TRUE(bob->WaitSaw("add " + Game("Final", 2)));
    bob->kyrel.JoinSubject(Game("Final", 2));
    ASSERT_TRUE(ann->WaitSaw("begin"));
    ann->log.clear();
    ann->kyrel.SendCustom("QXUPDATE", "12/07/2026%Ann%Cid%812");  // Cid did not play
    ann->kyrel.SendCustom("QXUPDATE", "12/07/2026%Ann%Bob%x");   // no impulse count
    ann->kyrel.SendCustom("QXUPDATE", result);
    ann->kyrel.SendCustom("QXUPDATE", result);  // once only
    ASSERT_TRUE(WaitFor([&] { return ann->log.size() >= 3; }));
    EXPECT_EQ(ann->log[0], "error A game result names only the game's players");
    EXPECT_EQ(ann->log[1], "error The impulse count is no number");
    EXPECT_EQ(ann->log[2], "error The result of this game is known already");
    cid->kyrel.SendCustom("QXSCHEDULE", "evenings CET");
    cid->kyrel.SendCustom("QXSCHEDULE", "bad%text");
    ASSERT_TRUE(cid->WaitPrefix("error A schedule is"));
    cid->kyrel.SendCustom("QXHISTORY", "");
    ASSERT_TRUE(cid->WaitPrefix("custom QXHISTORY "));
    const std::string history = [&] {
        for (const std::string& e : cid->log)
            if (e.rfind("custom QXHISTORY ", 0) == 0) return e.substr(17);
        return std::string();
    }();
    // Elo with K = 32 between equals: the victor gains 16, the loser gives 16.
    EXPECT_EQ(history, "12/07/2026%Ann%Bob and 1 Brain%812;~1516 Commander%Ann;1484 Lieutenant%Bob;~Cid%evenings CET;");
}

TEST_F(Lobby, CommandsBeforeLoginLongLinesAndFloodsAreRefused) {
    options.Limits.MaxLine = 512;
    options.Limits.MaxDataLine = 4096;
    options.Limits.ByteBurst = 8192;
    options.Limits.LineBurst = 40;
    options.Limits.LinesPerSecond = 5;
    Start();
    RawClient early(Port());
    early.Send("JOINSUBJECT|Lobby Chat");
    early.Send("SEND|CHAT|hello");
    early.Send("PING|");  // allowed, answered by nothing
    ASSERT_TRUE(WaitFor([&] { return early.lines.size() >= 2; }));
    EXPECT_EQ(early.lines[0], "ERROR|Please log in first");
    EXPECT_EQ(early.lines[1], "ERROR|Please log in first");

    auto ann = Enter("Ann");
    auto bob = Enter("Bob");
    ann->kyrel.SendChat(std::string(600, 'x'));  // longer than a line may be
    ASSERT_TRUE(ann->WaitPrefix("error Line too long"));
    ann->kyrel.SendData(std::string(3000, 'd'));  // data may be longer
    ASSERT_TRUE(bob->WaitPrefix("data Ann ddd"));

    RawClient endless(Port());
    endless.SendBytes(std::string(5000, 'z'));  // never a line feed
    ASSERT_TRUE(WaitFor([&] { return endless.closed; }));
    // Before logging in nobody sends games: a line longer than an ordinary
    // one is cut off, however long data lines may be.
    RawClient stranger(Port());
    stranger.SendBytes(std::string(1000, 'q'));
    ASSERT_TRUE(WaitFor([&] { return stranger.closed; }));
    EXPECT_TRUE(stranger.Has("ERROR|Line too long: disconnected"));

    RawClient flood(Port());
    flood.Send("LOGIN|Bob|Quorvex|pw");
    for (int i = 0; i < 100; ++i) flood.Send("PING|");
    ASSERT_TRUE(WaitFor([&] { return flood.closed; }));
    EXPECT_TRUE(flood.Has("ERROR|Too many lines"));
}

TEST_F(Lobby, FailedLoginsAndConnectionsPerAddressAreLimited) {
    options.Limits.FailedLoginsPerAddress = 3;
    options.Limits.FailedLoginsPerAccount = 2;
    options.Limits.ConnectionsPerAddress = 4;
    Start();
    { auto ann = Enter("Ann", true, "right"); }
    Pump(50);
    auto guess = NewClient();
    ASSERT_TRUE(guess->Connect());
    for (int i = 0; i < 3; ++i) {
        guess->kyrel.Login("Ann", "wrong" + std::to_string(i));
        Pump(30);
    }
    guess->log.clear();
    guess->kyrel.Login("Ann", "right");  // the account is locked for a while
    ASSERT_TRUE(guess->WaitPrefix("login failed"));
    EXPECT_TRUE(guess->SawPrefix("login failed Too many failed logins"));

    std::vector<std::unique_ptr<RawClient>> many;
    for (int i = 0; i < 4; ++i) many.push_back(std::make_unique<RawClient>(Port()));
    ASSERT_TRUE(WaitFor([&] { return many.back()->closed; }));
    EXPECT_TRUE(many.back()->Has("ERROR|Too many connections"));
    EXPECT_FALSE(many.front()->closed);
}

TEST_F(Lobby, SilentClientsAndLateLoginsAreDropped) {
    options.Limits.LoginDeadlineSeconds = 1;
    options.Limits.SilentSeconds = 2;
    options.Limits.PingSeconds = 100;  // nothing asks them to speak
    Start();
    RawClient late(Port());
    auto ann = Enter("Ann");
    RawClient quiet(Port());
    quiet.Send("LOGIN|Ann|Quorvex|pw");
    ASSERT_TRUE(WaitFor([&] { return late.closed; }, 4000));
    EXPECT_TRUE(late.Has("ERROR|Login time is up"));
    ASSERT_TRUE(ann->WaitSaw("disconnected", 5000));
}

TEST_F(Lobby, AccountsGamesSchedulesAndTotalsSurviveARestart) {
    Start();
    {
        auto ann = Enter("Ann", true, "keep");
        auto bob = Enter("Bob", true, "keep2");
        ann->kyrel.CreateSubject(Game("Saved", 2), 2);
        ASSERT_TRUE(bob->WaitSaw("add " + Game("Saved", 2)));
        bob->kyrel.JoinSubject(Game("Saved", 2));
        ASSERT_TRUE(bob->WaitSaw("begin"));
        bob->kyrel.SendCustom("QXUPDATE", "01/02/2027%Bob%Ann%99");
        bob->kyrel.SendCustom("QXSCHEDULE", "mornings");
        bob->kyrel.RequestServerStats();
        ASSERT_TRUE(bob->WaitPrefix("stats"));
    }
    const int connections = server->Stats().TotalConnections;
    Restart();
    auto ann = Enter("Ann", false, "keep");
    ASSERT_TRUE(ann->kyrel.LoggedIn());
    EXPECT_EQ(ann->kyrel.CurrentUser()->InfoValue("QxLosses"), "1");
    ann->kyrel.SendCustom("QXHISTORY", "");
    ASSERT_TRUE(ann->WaitPrefix("custom QXHISTORY 01/02/2027%Bob%Ann%99;~1516 Commander%Bob;1484 Lieutenant%Ann;~Bob%mornings;"));
    EXPECT_GE(server->Stats().TotalConnections, connections + 1);
    EXPECT_GE(server->Stats().TotalSubjects, 1);
    auto bobAgain = NewClient();
    EXPECT_FALSE(bobAgain->Enter("Bob", "keep", false));  // the password survived too
}

TEST_F(Lobby, PasswordHashingDoesNotHoldUpTheRelay) {
    Start();
    auto ann = Enter("Ann");
    auto bob = Enter("Bob");
    options.HashCost = lobby::TPasswordHasher::TCost::Interactive;
    Restart();  // real accounts' limits: each hash takes a while
    ann = Enter("Ann", false);
    bob = Enter("Bob", false);
    std::vector<std::unique_ptr<RawClient>> newcomers;
    for (int i = 0; i < 4; ++i) {
        newcomers.push_back(std::make_unique<RawClient>(Port()));
        TKyrelUser user("New" + std::to_string(i));
        user.Password = "pw";
        newcomers.back()->Send("LOGINNEW|" + user.UserId + "|Quorvex|" + user.ToText());
    }
    Pump(5);
    ann->kyrel.SendChat("while they hash");
    ASSERT_TRUE(bob->WaitSaw("chat Ann while they hash"));
    const int doneBefore = static_cast<int>(std::count_if(newcomers.begin(), newcomers.end(), [](const auto& c) {
        return c->Has("LOGIN|");
    }));
    EXPECT_LT(doneBefore, 4);  // the chat overtook the slow logins
    ASSERT_TRUE(WaitFor([&] {
        return std::all_of(newcomers.begin(), newcomers.end(), [](const auto& c) { return c->Has("LOGIN|SUCCESS|"); });
    }, 20000));
}
