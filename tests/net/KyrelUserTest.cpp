#include <gtest/gtest.h>

#include "net/KyrelServerStats.h"
#include "net/KyrelUser.h"

using namespace qx;

namespace {

TKyrelUser FullUser() {
    TKyrelUser user("Ann");
    user.Password = "secret";
    user.FirstName = "Ann";
    user.LastName = "Vale";
    user.City = "Lund";
    user.Country = "Sweden";
    user.EMail = "ann@example.org";
    user.HomePage = "http://example.org/ann";
    user.Comments = "plays Warden";
    user.ServerDate1 = KyrelDate(2024, 2, 29);
    user.ServerDate2 = KyrelDate(1999, 12, 31);
    user.ServerNumber = -17;
    user.Info = {"QxWins=3", "QxRank=Captain"};
    user.Glyph.Width = 2;
    user.Glyph.Height = 3;
    user.Glyph.Colors = {1, 2, 3, 16777215, 0, -16777201};
    return user;
}

} // namespace

TEST(KyrelUser, TextFormHasTheFieldsInOrderAndTheGlyphColumnByColumn) {
    const TKyrelUser user = FullUser();
    EXPECT_EQ(user.ToText(),
              "Ann^secret^Ann^Vale^Lund^Sweden^ann@example.org^http://example.org/ann^plays Warden^"
              "02/29/2024^12/31/1999^-17^QxWins=3`QxRank=Captain`^2`3`1`2`3`16777215`0`-16777201`^");
    // Column-major: x = 1 holds the fourth to sixth colours.
    EXPECT_EQ(user.Glyph.Pixel(1, 0), 16777215);
    EXPECT_EQ(user.Glyph.Pixel(0, 2), 3);
}

TEST(KyrelUser, TextFormRoundTripsIncludingEmptyInfoAndEmptyGlyph) {
    const TKyrelUser full = FullUser();
    const TKyrelUser back = TKyrelUser::Parse(full.ToText());
    EXPECT_EQ(back.ToText(), full.ToText());
    EXPECT_EQ(back.Glyph, full.Glyph);
    EXPECT_EQ(back.Info, full.Info);
    EXPECT_EQ(back.ServerDate1, full.ServerDate1);

    TKyrelUser fresh("Bob");
    const std::string text = fresh.ToText();
    // A new record: both dates are the base date, no Info lines, no glyph.
    EXPECT_EQ(text, "Bob^^^^^^^^^12/30/1899^12/30/1899^0^^0`0`^");
    EXPECT_NE(text.find("0^^0`0`"), std::string::npos);  // two "^" in a row before the glyph
    const TKyrelUser again = TKyrelUser::Parse(text);
    EXPECT_TRUE(again.Info.empty());
    EXPECT_TRUE(again.Glyph.Empty());
    EXPECT_EQ(again.ServerDate1, 0.0);
    EXPECT_EQ(again.ToText(), text);
}

TEST(KyrelUser, UnreadableGlyphsBecomeEmptyAndTheRestStands) {
    const std::string head = "Cid^pw^^^^^^^^01/02/2003^01/02/2003^5^A=1`^";
    const std::vector<std::string> bad = {
        "33`1`" + std::string(33 * 2, '1'),  // wider than 32
        "2`2`1`2`3`",                         // three colours for four pixels
        "1`1`1`2`",                           // two colours for one pixel
        "2`x`1`2`",                           // height is no number
        "1`1`red`",                           // colour is no number
        "-1`-1`",                             // negative size
        "99999999999`1`1`",                   // size beyond 32 bits
    };
    for (const std::string& glyph : bad) {
        const TKyrelUser user = TKyrelUser::Parse(head + glyph + "^");
        EXPECT_TRUE(user.Glyph.Empty()) << glyph;
        EXPECT_TRUE(user.Glyph.Colors.empty()) << glyph;
        EXPECT_EQ(user.UserId, "Cid");
        EXPECT_EQ(user.ServerNumber, 5);
        EXPECT_EQ(user.InfoValue("A"), "1");
    }
    // 32 x 32 is still a glyph.
    std::string big = "32`32`";
    for (int i = 0; i < 32 * 32; ++i) big += std::to_string(i) + "`";
    EXPECT_EQ(TKyrelUser::Parse(head + big + "^").Glyph.Width, 32);
}

TEST(KyrelUser, MalformedDatesAndNumbersThrowAndLeaveTheRecordAsItWas) {
    TKyrelUser user = FullUser();
    const std::string before = user.ToText();
    for (const std::string& text : std::vector<std::string>{"X^^^^^^^^^13/01/2000^01/01/2000^0^^0`0`^", "X^^^^^^^^^02/30/2001^01/01/2000^0^^",
                                   "X^^^^^^^^^01/01/2000^1/1/99^0^^", "X^^^^^^^^^01/01/2000^01/01/2000^x^^",
                                   "X^^^^^^^^^01/01/2000^01/01/2000^^^", "X"}) {
        EXPECT_THROW(user.FromText(text), EKyrelError) << text;
        EXPECT_EQ(user.ToText(), before);
    }
    EXPECT_EQ(KyrelTextToDate("2/3/2004"), KyrelDate(2004, 2, 3));  // single digits read too
    EXPECT_EQ(KyrelDateToText(KyrelDate(2000, 2, 29)), "02/29/2000");
    EXPECT_EQ(KyrelDateToText(KyrelDate(2000, 3, 1) - 1), "02/29/2000");
    EXPECT_EQ(KyrelDate(1900, 1, 1), 2.0);  // day 1 is 31 December 1899
}

TEST(KyrelUser, InfoLookupsAndLatencyHistory) {
    TKyrelUser user = FullUser();
    EXPECT_EQ(user.InfoCount(), 2);
    EXPECT_EQ(user.InfoName(1), "QxRank");
    EXPECT_EQ(user.InfoText(1), "Captain");
    EXPECT_EQ(user.InfoValue("QxWins"), "3");
    EXPECT_EQ(user.InfoValue("QxW"), "");
    user.SetInfoValue("QxWins", "4");
    user.SetInfoValue("QxScore", "1500");
    EXPECT_EQ(user.Info, (std::vector<std::string>{"QxWins=4", "QxRank=Captain", "QxScore=1500"}));

    TKyrelUser fresh;
    EXPECT_EQ(fresh.AverageLatency(), 0);
    for (int ms : {0, 30, 0, 50, 0}) fresh.AddLatency(ms);
    EXPECT_EQ(fresh.AverageLatency(), 40);
    fresh.AddLatency(7);  // the oldest (0) drops out, 30 50 7 remain above 0
    EXPECT_EQ(fresh.Latency, (std::array<int32_t, 5>{30, 0, 50, 0, 7}));
    EXPECT_EQ(fresh.AverageLatency(), 29);
}

TEST(KyrelUser, SafeFieldsKeepSeparatorsAndControlCharactersOut) {
    EXPECT_TRUE(TKyrelUser::IsValidUserId("Star Lord 7"));
    for (const std::string& bad : std::vector<std::string>{"", " Ann", "Ann ", "A|B", "A^B", "A`B", "A=B", "A;B", "A~B", "A%B", "A,B",
                                  std::string("A\nB"), std::string("A\x7F"), std::string(25, 'x')})
        EXPECT_FALSE(TKyrelUser::IsValidUserId(bad)) << bad;
    TKyrelUser user = FullUser();
    EXPECT_TRUE(user.IsSafeRecord());
    user.Comments = "two\tcolumns";
    std::string why;
    EXPECT_FALSE(user.IsSafeRecord(&why));
    EXPECT_FALSE(why.empty());
}

TEST(KyrelServerStats, TimeActiveTextNamesEachUnitOnce) {
    EXPECT_EQ(TKyrelServerStats::TimeText(90061), "1 day 1 hr 1 min 1 sec");
    EXPECT_EQ(TKyrelServerStats::TimeText(0), "0 secs");
    EXPECT_EQ(TKyrelServerStats::TimeText(2 * 86400 + 5 * 60 + 1), "2 days 5 mins 1 sec");
    EXPECT_EQ(TKyrelServerStats::TimeText(7200 + 59), "2 hrs 59 secs");
    EXPECT_EQ(TKyrelServerStats::TimeText(-5), "0 secs");
}

TEST(KyrelServerStats, TextFormRoundTripsAndRefusesBadNumbers) {
    TKyrelServerStats stats;
    stats.TimeActive = 93784;
    stats.CurrentConnections = 3;
    stats.TotalConnections = 120;
    stats.CurrentSubjects = 2;
    stats.TotalSubjects = 40;
    stats.PeakConnections = 9;
    stats.BytesRead = 123456789012.0;
    stats.BytesWritten = 0.5;
    EXPECT_EQ(stats.ToText(), "93784`3`120`2`40`9`123456789012`0.5`");
    TKyrelServerStats back;
    back.FromText(stats.ToText());
    EXPECT_EQ(back.ToText(), stats.ToText());
    EXPECT_EQ(back.TimeActiveText(), "1 day 2 hrs 3 mins 4 secs");
    EXPECT_THROW(back.FromText("1`2`x`4`5`6`7`8`"), EKyrelError);
    EXPECT_THROW(back.FromText("1`2`3`4`5`6`7`"), EKyrelError);
    EXPECT_EQ(back.ToText(), stats.ToText());  // unchanged by the failures
}
