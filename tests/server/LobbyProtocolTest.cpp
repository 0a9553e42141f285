#include <gtest/gtest.h>

#include "server/LobbyConfig.h"
#include "server/LobbyProtocol.h"

using namespace qx;
using namespace qx::lobby;

TEST(LobbyProtocol, ClientLinesAreReadAndCheckedBeforeAnythingActs) {
    TLobbyLimits limits;
    TClientLine login = DecodeClientLine("LOGIN|Ann|Quorvex|pass|word", limits);
    EXPECT_EQ(login.Command, TClientCommand::Login);
    EXPECT_EQ(login.Text, "pass|word");  // the rest field is not cut
    EXPECT_TRUE(login.Error.empty());
    EXPECT_FALSE(DecodeClientLine("LOGIN|Ann|Quorvex|", limits).Error.empty());
    EXPECT_FALSE(DecodeClientLine("LOGIN|Ann|Other|pw", limits).Error.empty());
    EXPECT_FALSE(DecodeClientLine("LOGIN|A;nn|Quorvex|pw", limits).Error.empty());

    TKyrelUser bob("Bob");
    bob.Password = "pw";
    EXPECT_TRUE(DecodeClientLine("LOGINNEW|Bob|Quorvex|" + bob.ToText(), limits).Error.empty());
    EXPECT_FALSE(DecodeClientLine("LOGINNEW|Bob|Quorvex|" + TKyrelUser("Bob").ToText(), limits).Error.empty());
    EXPECT_FALSE(DecodeClientLine("LOGINNEW|Eve|Quorvex|" + bob.ToText(), limits).Error.empty());
    bob.City = "Tab\there";
    EXPECT_FALSE(DecodeClientLine("LOGINNEW|Bob|Quorvex|" + bob.ToText(), limits).Error.empty());
    EXPECT_FALSE(DecodeClientLine("LOGINNEW|Bob|Quorvex|Bob^pw^", limits).Error.empty());

    TClientLine create = DecodeClientLine("CREATESUBJECT|~Duel;Duel.qxscen;3;1;18;100;4;|3|", limits);
    EXPECT_EQ(create.Command, TClientCommand::CreateSubject);
    EXPECT_EQ(create.Count, 3);
    EXPECT_TRUE(create.Error.empty());
    for (const char* bad : {"CREATESUBJECT|Room|11|", "CREATESUBJECT|Room|x|", "CREATESUBJECT|~Room|0|",
                            "CREATESUBJECT|Room|2|", "CREATESUBJECT|~|2|", "CREATESUBJECT|Ro\\om|0|",
                            "CREATESUBJECT||0|"})
        EXPECT_FALSE(DecodeClientLine(bad, limits).Error.empty()) << bad;

    TClientLine data = DecodeClientLine("SEND|DATA|ORDERS|Ann|3|2:K7Q:4:4~", limits);
    EXPECT_EQ(data.Command, TClientCommand::SendData);
    EXPECT_EQ(data.Text, "ORDERS|Ann|3|2:K7Q:4:4~");
    EXPECT_FALSE(DecodeClientLine("SEND|SHOUT|x", limits).Error.empty());
    EXPECT_EQ(DecodeClientLine("NONSENSE", limits).Command, TClientCommand::Unknown);
    EXPECT_FALSE(DecodeClientLine("NONSENSE", limits).Error.empty());

    TKyrelUser ann("Ann");
    TClientLine update = DecodeClientLine("USERUPDATE|Ann|" + ann.ToText() + "|", limits);
    EXPECT_TRUE(update.Error.empty()) << update.Error;
    EXPECT_EQ(update.User.UserId, "Ann");
}

TEST(LobbyProtocol, LinesLongerThanTheirLimitAreRefused) {
    TLobbyLimits limits;
    limits.MaxLine = 100;
    limits.MaxDataLine = 1000;
    EXPECT_TRUE(DecodeClientLine("SEND|CHAT|" + std::string(90, 'x'), limits).Error.empty());
    EXPECT_FALSE(DecodeClientLine("SEND|CHAT|" + std::string(91, 'x'), limits).Error.empty());
    EXPECT_TRUE(DecodeClientLine("SEND|DATA|" + std::string(990, 'x'), limits).Error.empty());
    EXPECT_FALSE(DecodeClientLine("SEND|DATA|" + std::string(991, 'x'), limits).Error.empty());
}

TEST(LobbyProtocol, GameResultsAreReadWithTheirBrains) {
    TGameResult result;
    std::string why;
    ASSERT_TRUE(ParseGameResult("12/07/2026%Ann%Bob, Cid and 2 Brains%812", result, &why)) << why;
    EXPECT_EQ(result.Victor, "Ann");
    EXPECT_EQ(result.Defeated, (std::vector<std::string>{"Bob", "Cid"}));
    EXPECT_EQ(result.Brains, 2);
    EXPECT_EQ(result.Impulses, 812);
    ASSERT_TRUE(ParseGameResult("1/2/27%Ann% and 1 Brain%5", result, &why)) << why;
    EXPECT_TRUE(result.Defeated.empty());
    EXPECT_EQ(result.Brains, 1);
    ASSERT_TRUE(ParseGameResult("1/2/27%Ann%Bob%5", result, &why));
    EXPECT_EQ(result.Brains, 0);
    for (const char* bad : {"1/2/27%Ann%Bob%-5", "1/2/27%Ann%Bob", "1/2/27%Ann%Bob%5%6", "1/2/27%Ann%Ann%5",
                            "1/2/27%Ann%bob, BOB%5", "1/2/27%%Bob%5", "%Ann%Bob%5", "1/2/27%Ann%Bob and 1 Brains%5",
                            "1/2/27%Ann%Bob and x Brains%5", "1;2%Ann%Bob%5"})
        EXPECT_FALSE(ParseGameResult(bad, result, &why)) << bad;
}

TEST(LobbyProtocol, RatingsFollowEloAndHistoryHasThreeSections) {
    EXPECT_EQ(RateResult(1500, {1500}), (std::vector<int>{1516, 1484}));
    EXPECT_EQ(RateResult(1500, {1500, 1500}), (std::vector<int>{1532, 1484, 1484}));
    const std::vector<int> upset = RateResult(1300, {1700});
    EXPECT_EQ(upset[0], 1329);  // beating a far stronger player gains nearly K
    EXPECT_EQ(upset[1], 1671);
    EXPECT_EQ(RankTitle(1500), "Commander");
    EXPECT_EQ(RankTitle(1299), "Cadet");
    EXPECT_EQ(RankTitle(2400), "Grand Admiral");
    EXPECT_EQ(FormatHistory({}, {}, {}), "~~");
    EXPECT_EQ(FormatHistory({{"d", "A", "B", 3}}, {{"A", 1516}}, {{"A", "noon"}}), "d%A%B%3;~1516 Commander%A;~A%noon;");
}

TEST(LobbyProtocol, RateLimiterAndFailureWindow) {
    using namespace std::chrono;
    const auto t0 = steady_clock::now();
    TRateLimiter limiter(10, 20);
    int taken = 0;
    while (limiter.Take(1, t0)) ++taken;
    EXPECT_EQ(taken, 20);                           // the burst
    EXPECT_TRUE(limiter.Take(5, t0 + milliseconds(500)));  // half a second refills five
    EXPECT_FALSE(limiter.Take(1, t0 + milliseconds(500)));
    TFailureWindow window;
    window.Add(t0);
    window.Add(t0 + seconds(5));
    EXPECT_EQ(window.Count(seconds(10), t0 + seconds(6)), 2);
    EXPECT_EQ(window.Count(seconds(10), t0 + seconds(12)), 1);
}

TEST(LobbyConfig, KeyValueLinesWithCommentsAndCheckedNumbers) {
    const TConfigFile config = TConfigFile::Parse("# lobby\nport = 4100\n\n  operators = root, Ann \r\nlines-per-second=2.5\n");
    EXPECT_EQ(config.Int("port", 4000, 0, 65535), 4100);
    EXPECT_EQ(config.Text("operators", ""), "root, Ann");
    EXPECT_DOUBLE_EQ(config.Real("lines-per-second", 50, 0.1, 100), 2.5);
    EXPECT_EQ(config.Int("http-port", 4080, 0, 65535), 4080);
    EXPECT_THROW(config.Int("port", 0, 0, 1000), std::runtime_error);
    EXPECT_THROW(TConfigFile::Parse("port 4000\n"), std::runtime_error);
    EXPECT_THROW(TConfigFile::Parse("= 4000\n"), std::runtime_error);
    EXPECT_THROW(TConfigFile::Parse("port = x").Int("port", 1, 0, 9), std::runtime_error);
}
