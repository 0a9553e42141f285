#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/KyrelConnection.h"
#include "net/StringEncryptor.h"

using namespace qx;

namespace {

// The socket as the connection sees it: what it wrote, and a way to play the
// server's side.
class FakeTransport : public IKyrelTransport {
public:
    void SetEvents(TEvents e) override { events = std::move(e); }
    void Open(const std::string& h, bool n, int p) override {
        host = h;
        numeric = n;
        port = p;
        ++opens;
    }
    void Close() override { ++closes; }
    void Write(std::string_view bytes) override { written += bytes; }

    // The lines written since the last call.
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = written.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(written.substr(start, end - start));
        written.erase(0, start);
        return lines;
    }

    TEvents events;
    std::string written;
    std::string host;
    bool numeric = false;
    int port = 0;
    int opens = 0;
    int closes = 0;
};

struct Lobby : ::testing::Test {
    FakeTransport transport;
    TKyrelConnection kyrel{transport};
    std::vector<std::string> log;

    void SetUp() override {
        kyrel.SetSubjectCode("Quorvex");
        kyrel.SetPort(4000);
        kyrel.OnAddSubject = [this](TObject*, const std::string& s) { log.push_back("add " + s); };
        kyrel.OnRemoveSubject = [this](TObject*, const std::string& s) { log.push_back("remove " + s); };
        kyrel.OnJoinSubject = [this](TObject*, const std::string& s) { log.push_back("join " + s); };
        kyrel.OnAddUser = [this](TObject*, TKyrelUser* u) { log.push_back("user+ " + u->UserId); };
        kyrel.OnRemoveUser = [this](TObject*, TKyrelUser* u) { log.push_back("user- " + u->UserId); };
        kyrel.OnChatReceived = [this](TObject*, const std::string& t, const std::string& id) {
            log.push_back("chat " + id + " " + t);
        };
        kyrel.OnDataReceived = [this](TObject*, const std::string& t, const std::string& id) {
            log.push_back("data " + id + " " + t);
        };
        kyrel.OnLineError = [this](TObject*, const std::string& t) { log.push_back("bad " + t); };
        kyrel.OnServerError = [this](TObject*, const std::string& t) { log.push_back("error " + t); };
        kyrel.OnCustomMessage = [this](TObject*, const std::string& type, const std::string& text) {
            log.push_back("custom " + type + " " + text);
        };
    }

    void Connect() {
        kyrel.SetActive(true);
        transport.events.Connected();
    }
    void Server(const std::string& bytes) { transport.events.Received(bytes); }
    void LogIn(const std::string& name) {
        Server("LOGIN|SUCCESS|" + TKyrelUser(name).ToText() + "\n");
    }
    static std::string Record(const std::string& name) { return TKyrelUser(name).ToText(); }
};

} // namespace

TEST_F(Lobby, FramingYieldsExactlyTheLinesWhateverTheReads) {
    Connect();
    const std::string stream = "SEND|Ann|CHAT|hi|there\nSEND|Bob|DATA|GAMECHAT:1:0:x\nSHOUT|Server going down|ignored\n";
    const std::vector<std::string> expected = {"chat Ann hi|there", "data Bob GAMECHAT:1:0:x"};

    Server(stream);  // all in one read
    EXPECT_EQ(log, expected);
    log.clear();
    Server(stream.substr(0, 7));  // one line split over reads
    Server(stream.substr(7, 30));
    Server(stream.substr(37));
    EXPECT_EQ(log, expected);
    log.clear();
    for (char c : stream) Server(std::string(1, c));  // one byte per read
    EXPECT_EQ(log, expected);
}

TEST_F(Lobby, ClientCommandsWriteTheProtocolLines) {
    kyrel.Login("Ann", "pw");  // not active: nothing is sent
    EXPECT_TRUE(transport.written.empty());
    Connect();
    kyrel.Login("Ann", "pw");
    kyrel.LoginNew("Bob", Record("Bob"));
    kyrel.CreateSubject("~Duel;Duel.qxscen;3;1;18;100;4;", 2);
    kyrel.JoinSubject("Lobby Chat");
    kyrel.SendChat("a|b");
    kyrel.SendData("GAMEINFO:x");
    kyrel.SendCustom("QXHISTORY", "");
    kyrel.RequestServerStats();
    kyrel.RequestUserInfo("Cid");
    EXPECT_EQ(transport.Lines(), (std::vector<std::string>{
                                     "LOGIN|Ann|Quorvex|pw", "LOGINNEW|Bob|Quorvex|" + Record("Bob"),
                                     "CREATESUBJECT|~Duel;Duel.qxscen;3;1;18;100;4;|2|", "JOINSUBJECT|Lobby Chat",
                                     "SEND|CHAT|a|b", "SEND|DATA|GAMEINFO:x", "CUSTOM|QXHISTORY|", "SERVERSTATS|",
                                     "USERINFO|Cid|"}));
    LogIn("Ann");
    kyrel.UpdateUser();
    Server("JOINSUBJECT|Lobby Chat|" + Record("Ann") + "\n");
    kyrel.JoinSubject("Lobby Chat");  // already there: nothing
    EXPECT_EQ(transport.Lines(), (std::vector<std::string>{"USERUPDATE|Ann|" + Record("Ann") + "|"}));
}

TEST_F(Lobby, ConnectingPicksNumericHostsAndClosingReportsNothing) {
    int disconnects = 0;
    kyrel.OnDisconnected = [&](TObject*) { ++disconnects; };
    kyrel.SetHost("10.0.0.1");
    kyrel.SetActive(true);
    EXPECT_TRUE(transport.numeric);
    EXPECT_FALSE(kyrel.Active());  // only once the socket is connected
    transport.events.Connected();
    EXPECT_TRUE(kyrel.Active());
    kyrel.SetHost("elsewhere");  // ignored while active
    EXPECT_EQ(kyrel.Host(), "10.0.0.1");
    kyrel.SetActive(false);
    EXPECT_EQ(disconnects, 0);
    EXPECT_EQ(transport.closes, 1);
    kyrel.SetHost("lobby.example.org");
    Connect();
    EXPECT_FALSE(transport.numeric);
    EXPECT_FALSE(IsNumericHost("1.2.3"));
    EXPECT_FALSE(IsNumericHost("1.2.3.4.5"));
    transport.events.Disconnected();  // lost from the other side
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(kyrel.Active());
}

TEST_F(Lobby, SubjectsAndTheirUsersFollowTheServer) {
    Connect();
    LogIn("Ann");
    TKyrelUser* me = kyrel.CurrentUser();
    Server("SUBJECTS|Lobby Chat|~Duel;Duel.qxscen;3;1;18;100;4;\nADDSUBJECT|Talk\nREMOVESUBJECT|Talk\n");
    EXPECT_EQ(kyrel.Subjects(), (std::vector<std::string>{"Lobby Chat", "~Duel;Duel.qxscen;3;1;18;100;4;"}));
    Server("JOINSUBJECT|Lobby Chat|" + Record("Bob") + "|" + Record("Ann") + "\n");
    ASSERT_EQ(kyrel.UserCount(), 2);
    EXPECT_EQ(kyrel.GetUser(1), me);  // the logged-in user's own record is used
    Server("ADDGUEST|Lobby Chat|" + Record("Cid") + "\n");
    Server("REMOVEGUEST|Bob\nREMOVEGUEST|Nobody\n");
    EXPECT_EQ(kyrel.UserCount(), 2);
    EXPECT_EQ(kyrel.GetUser(0), me);
    EXPECT_EQ(kyrel.CurrentSubject(), "Lobby Chat");
    EXPECT_EQ(log, (std::vector<std::string>{"add Lobby Chat", "add ~Duel;Duel.qxscen;3;1;18;100;4;", "add Talk",
                                             "remove Talk", "join Lobby Chat", "user+ Bob", "user+ Ann", "user+ Cid",
                                             "user- Bob"}));
    // A new JOINSUBJECT replaces the list and keeps the current user alive.
    Server("JOINSUBJECT|~Duel|" + Record("Ann") + "\n");
    EXPECT_EQ(kyrel.UserCount(), 1);
    EXPECT_EQ(kyrel.CurrentUser(), me);
    Server("REMOVEGUEST|Ann\n");
    EXPECT_EQ(kyrel.UserCount(), 0);
    EXPECT_EQ(kyrel.CurrentUser()->UserId, "Ann");
}

TEST_F(Lobby, RecordsHeldElsewhereOutliveTheirRemoval) {
    Connect();
    LogIn("Ann");
    Server("JOINSUBJECT|~Game|" + Record("Ann") + "|" + Record("Bob") + "\n");
    std::vector<std::shared_ptr<TKyrelUser>> held = kyrel.SubjectUsers();  // as a clock holds them
    Server("REMOVEGUEST|Bob\n");
    LogIn("Ann");  // a second login replaces the current user record
    transport.events.Disconnected();
    EXPECT_EQ(held[0]->UserId, "Ann");
    EXPECT_EQ(held[1]->UserId, "Bob");
    EXPECT_EQ(held[0].use_count(), 1);  // the connection let go, the holder did not
}

TEST_F(Lobby, PingIsAnsweredAndLatenciesGoToKnownUsers) {
    Connect();
    LogIn("Ann");
    Server("JOINSUBJECT|Lobby Chat|" + Record("Ann") + "|" + Record("Bob") + "\n");
    transport.Lines();
    Server("PING|Bob|30|Eve|99|Ann|12\n");
    EXPECT_EQ(transport.Lines(), std::vector<std::string>{"PING|"});
    EXPECT_EQ(kyrel.FindUser("Bob")->AverageLatency(), 30);
    EXPECT_EQ(kyrel.FindUser("Ann")->AverageLatency(), 12);
    Server("PING|Bob|fast\n");  // still answered; the bad pair changes nothing
    EXPECT_EQ(transport.Lines(), std::vector<std::string>{"PING|"});
    EXPECT_EQ(kyrel.FindUser("Bob")->AverageLatency(), 30);
    EXPECT_EQ(log.back().rfind("bad ", 0), 0u);
}

TEST_F(Lobby, OneBadLineNeverStallsTheLinesBehindIt) {
    Connect();
    LogIn("Ann");
    Server("SERVERSTATS|1`2`three`\nUSERINFO|broken\nJOINSUBJECT|X|Bob^^^^^^^^^99/99/9999^\nSEND|Bob|CHAT|still here\n");
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(log.back(), "chat Bob still here");
    EXPECT_EQ(kyrel.CurrentSubject(), "");  // the bad JOINSUBJECT changed nothing
    // A line without any "|" is a command with an empty rest.
    int begins = 0;
    kyrel.OnBeginSubject = [&](TObject*) { ++begins; };
    Server("BEGINSUBJECT\nNONSENSE\n");
    EXPECT_EQ(begins, 1);
}

TEST_F(Lobby, ServerMessagesReachTheirEvents) {
    Connect();
    std::string failed, shout;
    TKyrelUser* loggedIn = nullptr;
    TKyrelServerStats* stats = nullptr;
    TKyrelUser* info = nullptr;
    kyrel.OnLoginFailed = [&](TObject*, const std::string& t) { failed = t; };
    kyrel.OnLoginSuccess = [&](TObject*, TKyrelUser* u) { loggedIn = u; };
    kyrel.OnShout = [&](TObject*, const std::string& t) { shout = t; };
    kyrel.OnServerStatus = [&](TObject*, TKyrelServerStats* s) { stats = s; };
    kyrel.OnUserInfo = [&](TObject*, TKyrelUser* u) { info = u; };
    Server("LOGIN|FAILURE|Bad password|really\n");
    EXPECT_EQ(failed, "Bad password|really");
    EXPECT_FALSE(kyrel.LoggedIn());
    LogIn("Ann");
    EXPECT_TRUE(kyrel.LoggedIn());
    EXPECT_EQ(loggedIn, kyrel.CurrentUser());
    Server("SHOUT|Restart at noon|extra\nERROR|No such subject|x\nCUSTOM|QXVERSION|4|18\n");
    EXPECT_EQ(shout, "Restart at noon");
    Server("SERVERSTATS|61`1`2`3`4`5`6`7`\n");
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(stats->TimeActiveText(), "1 min 1 sec");
    TKyrelUser bob("Bob");
    bob.City = "Oslo";
    Server("USERINFO|" + bob.ToText() + "\n");  // Bob is not in the subject yet
    EXPECT_EQ(info, nullptr);
    Server("JOINSUBJECT|Lobby Chat|" + Record("Bob") + "\nUSERINFO|" + bob.ToText() + "\n");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->City, "Oslo");
    EXPECT_EQ(info, kyrel.FindUser("Bob"));
    EXPECT_NE(std::find(log.begin(), log.end(), "error No such subject|x"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "custom QXVERSION 4|18"), log.end());
}

TEST_F(Lobby, ScrambledConversationSurvivesBytesThatLookLikeLineFeeds) {
    TStringEncryptor encrypt(kGameKey);
    kyrel.UseEncryptor(&encrypt);
    Connect();
    // Every byte value in a chat text: some scramble to a line feed.
    std::string text;
    for (int b = 1; b < 256; ++b) text += static_cast<char>(b);
    kyrel.SendChat(text);
    std::string sent = transport.written;
    ASSERT_EQ(sent.back(), '\n');
    sent.pop_back();
    EXPECT_EQ(sent.find('\n'), std::string::npos);
    encrypt.DecryptLine(sent);
    EXPECT_EQ(sent, "SEND|CHAT|" + text);

    std::string reply = "SEND|Bob|CHAT|" + text;
    encrypt.EncryptLine(reply);
    Server(reply + "\n");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "chat Bob " + text);
}

TEST_F(Lobby, OverlongLinesAreDroppedAndTheBufferStaysSmall) {
    kyrel.SetMaxLine(64);
    Connect();
    Server(std::string(50, 'x'));
    Server(std::string(50, 'y'));  // now over the cap, still no line feed
    Server(std::string(10000, 'z'));
    Server("\nSEND|Bob|CHAT|after\n");
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].rfind("bad ", 0), 0u);
    EXPECT_EQ(log[1], "chat Bob after");
}

TEST_F(Lobby, AHandlerThatClosesTheConnectionStopsTheLinesBehind) {
    Connect();
    kyrel.OnChatReceived = [this](TObject*, const std::string& t, const std::string&) {
        log.push_back(t);
        kyrel.SetActive(false);
    };
    Server("SEND|Bob|CHAT|one\nSEND|Bob|CHAT|two\n");
    EXPECT_EQ(log, std::vector<std::string>{"one"});
}
