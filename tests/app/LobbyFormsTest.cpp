// The lobby's windows on their own, offscreen and without a server: what
// the login and user windows accept, glyphs, the home page, the lists, and
// the texts the lobby is read from.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>

#include "app/HistoryScreen.h"
#include "app/LobbyClient.h"
#include "app/LoginForm.h"
#include "app/ServerStatsForm.h"
#include "app/SubjectList.h"
#include "app/UserInfoForm.h"
#include "net/StringEncryptor.h"
#include "net/qt/QtKyrelTransport.h"
#include "tests/app/LobbyWindowKit.h"

namespace qx {
namespace {

struct WithGameApp {
    WithGameApp() { test::GameApp(); }
};

class LobbyFormsTest : public WithGameApp, public ::testing::Test {
protected:
    test::TAnswerer answers;
};

QByteArray Scrambled(std::string text) {
    TStringEncryptor(kGameKey).Encrypt(text);
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// Remembers the addresses handed to the system's browser.
class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened << url; }
};

TEST_F(LobbyFormsTest, TheLoginWindowProceedsOnlyWithWhatTheLoginNeeds) {
    TfrmLogin login;
    auto* name = login.findChild<QLineEdit*>("edtUserName");
    auto* password = login.findChild<QLineEdit*>("edtPassword");
    auto* another = login.findChild<QRadioButton*>("rbAnother");
    auto* host = login.findChild<QLineEdit*>("edtHost");
    auto* port = login.findChild<QLineEdit*>("edtPort");
    EXPECT_EQ(login.windowTitle(), "KyrelServer Login");
    EXPECT_EQ(host->text(), "localhost");
    EXPECT_EQ(port->text(), "4000");
    login.show();
    EXPECT_FALSE(host->isVisible()) << "only for another server";
    another->setChecked(true);
    EXPECT_TRUE(host->isVisible());

    const auto proceed = [&] {
        answers.Messages.clear();
        login.setResult(QDialog::Rejected);
        QTest::keyClick(name, Qt::Key_Return);
        return answers.Messages.value(0);
    };
    EXPECT_EQ(proceed(), "Please enter a User Name.");
    name->setText("Ann");
    EXPECT_EQ(proceed(), "Please enter a Password.");
    password->setText("pw");
    host->setText(" ");
    EXPECT_EQ(proceed(), "Please enter a Host Address.");
    host->setText("lobby.example.org");
    port->setText("0");
    EXPECT_EQ(proceed(), "Please enter a Port from 1 to 65535.");
    port->setText("4001");
    name->setText("Ann|Bob");
    EXPECT_TRUE(proceed().startsWith("A User Name is 1 to 24 characters"));
    name->setText("Ann");
    password->setText("p^w");
    EXPECT_EQ(proceed(), "A Password cannot contain | ^ ` or control characters.");
    password->setText("pw");
    EXPECT_EQ(proceed(), "");
    EXPECT_EQ(login.result(), QDialog::Accepted);
    const TLoginRequest request = login.Request();
    EXPECT_TRUE(request.AnotherServer);
    EXPECT_EQ(request.Host, "lobby.example.org");
    EXPECT_EQ(request.Port, 4001);
    EXPECT_TRUE(request.NewUserRecord.isEmpty());

    // A new user made here logs in with its own name and record...
    TfrmLogin fresh;
    fresh.EditNewUser = [](TKyrelUser& user) {
        user.UserId = "Cid";
        user.Password = "pw";
        user.City = "Lyon";
        return true;
    };
    fresh.btnNewUserClick();
    EXPECT_EQ(fresh.result(), QDialog::Accepted);
    EXPECT_EQ(fresh.Request().UserName, "Cid");
    EXPECT_EQ(TKyrelUser::Parse(fresh.Request().NewUserRecord.toStdString()).City, "Lyon");
    // ...until the name is typed anew: then it is an existing user's login.
    QTest::keyClick(fresh.findChild<QLineEdit*>("edtUserName"), Qt::Key_X);
    EXPECT_TRUE(fresh.Request().NewUserRecord.isEmpty());
    // A cancelled user dialog changes nothing.
    TfrmLogin cancelled;
    cancelled.EditNewUser = [](TKyrelUser&) { return false; };
    cancelled.btnNewUserClick();
    EXPECT_NE(cancelled.result(), QDialog::Accepted);
    EXPECT_TRUE(cancelled.Request().UserName.isEmpty());
}

TEST_F(LobbyFormsTest, TheUserWindowChecksAndWritesTheRecordOnlyWhenEditing) {
    TKyrelUser user("Ann");
    user.City = "Lyon";
    user.Comments = "Two lines ";
    user.Info = {"QxScore=1516", "QxRank=Commander", "Secret=1"};
    {
        TfrmUserInfo view(user, false, {"QxScore", "QxRank"});
        EXPECT_FALSE(view.Editing());
        EXPECT_TRUE(view.findChild<QLineEdit*>("edtCity")->isReadOnly());
        EXPECT_FALSE(view.findChild<TColorButton*>("btnEdit")->isVisibleTo(&view));
        auto* info = view.findChild<QListWidget*>("lbInfo");
        ASSERT_EQ(info->count(), 2) << "only the properties asked for";
        EXPECT_EQ(info->item(0)->text(), "QxScore: 1516");
        view.btnEditClick();
        EXPECT_FALSE(view.Editing()) << "no editing without leave";
        view.accept();
        EXPECT_EQ(view.result(), QDialog::Rejected) << "viewing says nothing was changed";
    }

    TfrmUserInfo edit(user, true, {});
    edit.btnEditClick();
    ASSERT_TRUE(edit.Editing());
    EXPECT_TRUE(edit.findChild<QLineEdit*>("edtUserId")->isReadOnly());
    EXPECT_FALSE(edit.findChild<QLineEdit*>("edtCity")->isReadOnly());
    EXPECT_EQ(edit.findChild<QLineEdit*>("edtCity")->maxLength(), 24);
    EXPECT_EQ(edit.findChild<QLineEdit*>("edtHomePage")->maxLength(), 48);
    EXPECT_EQ(edit.findChild<QLineEdit*>("edtPassword")->maxLength(), 12);
    edit.findChild<QLineEdit*>("edtCity")->setText("Oslo");
    EXPECT_EQ(edit.Check(), "Please make sure the Password fields match.") << "the server sends no password";
    edit.findChild<QLineEdit*>("edtPassword")->setText("new");
    edit.findChild<QLineEdit*>("edtRetype")->setText("new");
    edit.findChild<QLineEdit*>("edtCountry")->setText("No^rway");
    EXPECT_FALSE(edit.Check().isEmpty()) << "a separator in a field";
    edit.accept();
    EXPECT_NE(edit.result(), QDialog::Accepted);
    EXPECT_EQ(user.City, "Lyon") << "nothing is written before the fields are good";
    edit.findChild<QLineEdit*>("edtCountry")->setText("Norway");
    auto* comments = edit.findChild<QPlainTextEdit*>("memoComments");
    comments->setPlainText("First line\nsecond line");
    edit.accept();
    EXPECT_EQ(edit.result(), QDialog::Accepted);
    EXPECT_EQ(user.City, "Oslo");
    EXPECT_EQ(user.Country, "Norway");
    EXPECT_EQ(user.Password, "new");
    EXPECT_EQ(user.Comments, "First line second line ") << "each line followed by a blank";
    EXPECT_EQ(user.Info.size(), 3u) << "the server's properties stay";

    // The comment holds at most 200 characters, however it is typed or pasted.
    comments->setPlainText(QString(300, 'x'));
    EXPECT_EQ(comments->toPlainText().size(), 200);

    // A new user opens for editing; it needs an id and two equal passwords.
    TKyrelUser blank;
    TfrmUserInfo fresh(blank, true, {});
    EXPECT_TRUE(fresh.Editing());
    EXPECT_FALSE(fresh.findChild<QLineEdit*>("edtUserId")->isReadOnly());
    EXPECT_EQ(fresh.Check(), "Please provide a User ID.");
    fresh.findChild<QLineEdit*>("edtUserId")->setText("Zed=1");
    fresh.findChild<QLineEdit*>("edtPassword")->setText("pw");
    fresh.findChild<QLineEdit*>("edtRetype")->setText("pw");
    EXPECT_TRUE(fresh.Check().startsWith("A User ID is 1 to 24 characters"));
    fresh.findChild<QLineEdit*>("edtUserId")->setText("Zed");
    EXPECT_EQ(fresh.Check(), "");
}

TEST_F(LobbyFormsTest, GlyphsAreScaledIntoThirtyTwoSquareAndKeepTheirColours) {
    QImage wide(64, 40, QImage::Format_RGB32);
    wide.fill(QColor(10, 200, 30));
    const TKyrelGlyph glyph = ImageToGlyph(wide);
    ASSERT_EQ(glyph.Width, 32);
    ASSERT_EQ(glyph.Height, 32);
    // The picture keeps its shape: 32 x 20 in the middle, black above and below.
    EXPECT_EQ(glyph.Pixel(16, 0), 0);
    EXPECT_EQ(glyph.Pixel(16, 16), 10 | (200 << 8) | (30 << 16)) << "red in the low byte";
    const QImage back = GlyphToImage(glyph);
    EXPECT_EQ(back.pixelColor(16, 16), QColor(10, 200, 30));
    EXPECT_EQ(back.pixelColor(16, 2), QColor(0, 0, 0));

    QImage small(5, 3, QImage::Format_RGB32);
    small.fill(Qt::blue);
    small.setPixelColor(4, 2, Qt::red);
    const TKyrelGlyph kept = ImageToGlyph(small);
    EXPECT_EQ(kept.Width, 5);
    EXPECT_EQ(kept.Height, 3);
    EXPECT_EQ(kept.Pixel(4, 2), 255);
    EXPECT_EQ(GlyphToImage(kept).pixelColor(4, 2), QColor(Qt::red));

    // Loaded through the user window from a file.
    QTemporaryDir dir;
    ASSERT_TRUE(wide.save(dir.filePath("wide.bmp")));
    TKyrelUser user;
    TfrmUserInfo form(user, true, {});
    form.LoadGlyph(dir.filePath("wide.bmp"));
    EXPECT_EQ(form.Glyph(), glyph);
    form.LoadGlyph(dir.filePath("missing.bmp"));
    EXPECT_TRUE(answers.Told("The picture")) << "an unreadable picture is said so";
    EXPECT_EQ(form.Glyph(), glyph) << "and the glyph stays";
    // A record whose colours do not fit its size shows no picture.
    TKyrelGlyph broken = glyph;
    broken.Colors.pop_back();
    EXPECT_TRUE(GlyphToImage(broken).isNull());
}

TEST_F(LobbyFormsTest, OnlyWebAddressesOpenFromAHomePage) {
    TUrlCatcher catcher;
    for (const char* scheme : {"http", "https", "file", "javascript", "mailto"})
        QDesktopServices::setUrlHandler(scheme, &catcher, "Open");
    const auto click = [&](const std::string& page) {
        TKyrelUser user("Ann");
        user.HomePage = page;
        TfrmUserInfo form(user, false, {});
        form.show();
        QTest::mouseClick(form.findChild<QLineEdit*>("edtHomePage"), Qt::LeftButton);
        return catcher.Opened.size();
    };
    EXPECT_EQ(click("https://ann.example.org/fleet"), 1);
    EXPECT_EQ(catcher.Opened.back(), QUrl("https://ann.example.org/fleet"));
    EXPECT_EQ(click("www.example.org"), 2) << "a plain host is a web address";
    EXPECT_EQ(catcher.Opened.back().scheme(), "http");
    EXPECT_EQ(click("file:///etc/passwd"), 2);
    EXPECT_EQ(click("/etc/passwd"), 2);
    EXPECT_EQ(click("javascript:alert(1)"), 2);
    EXPECT_EQ(click("mailto:ann@example.org"), 2);
    EXPECT_EQ(click(""), 2);
    for (const char* scheme : {"http", "https", "file", "javascript", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
}

TEST_F(LobbyFormsTest, TheAddressDocumentNamesAHostAndMaybeAPort) {
    using Address = std::optional<TLobbyClient::TAddress>;
    const Address plain = TLobbyClient::AddressFromDocument(Scrambled("lobby.example.org"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Host, "lobby.example.org");
    EXPECT_EQ(plain->Port, 4000);
    const Address spaced = TLobbyClient::AddressFromDocument(Scrambled("  10.0.0.7:4100\r\n"));
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->Host, "10.0.0.7");
    EXPECT_EQ(spaced->Port, 4100);
    const Address six = TLobbyClient::AddressFromDocument(Scrambled("[::1]:4001"));
    ASSERT_TRUE(six);
    EXPECT_EQ(six->Host, "::1");
    EXPECT_EQ(six->Port, 4001);
    EXPECT_EQ(TLobbyClient::AddressFromDocument(Scrambled("fe80::1"))->Port, 4000);
    for (const char* bad : {"", "   ", "host name", "a|b", "lobby:0", "lobby:70000", "lobby:4x", "lobby:", "[::1",
                            "[::1]x", "evil/../x"})
        EXPECT_FALSE(TLobbyClient::AddressFromDocument(Scrambled(bad))) << bad;
    EXPECT_FALSE(TLobbyClient::AddressFromDocument("lobby.example.org")) << "not scrambled: not ours";
    EXPECT_EQ(TLobbyClient::AddressDocumentUrl("localhost:4080/"), "http://localhost:4080/ip.adr");
    EXPECT_EQ(TLobbyClient::AddressDocumentUrl("https://games.example.org"), "https://games.example.org/ip.adr");
}

TEST_F(LobbyFormsTest, TheHistoryScreenFillsItsListsFromTheReply) {
    TQtKyrelTransport transport;
    TKyrelConnection kyrel(transport);
    QWidget parent;
    THistoryScreen history(kyrel, &parent);
    history.ShowHistory("12/01/2024%Ann%Bob, Cid and 1 Brain%512;11/30/2024%Bob%Ann%90;~1530 Captain%Ann;~Ann%Evenings;");
    ASSERT_EQ(history.GameLog()->topLevelItemCount(), 2);
    EXPECT_EQ(history.GameLog()->topLevelItem(0)->text(2), "Bob, Cid and 1 Brain");
    EXPECT_EQ(history.GameLog()->topLevelItem(1)->text(3), "90");
    ASSERT_EQ(history.HallOfFame()->topLevelItemCount(), 1);
    EXPECT_EQ(history.HallOfFame()->topLevelItem(0)->text(0), "1530 Captain");
    ASSERT_EQ(history.Schedules()->topLevelItemCount(), 1);
    // A reply with an empty schedule section leaves the schedules empty;
    // every list is emptied before it is filled.
    history.ShowHistory("12/02/2024%Cid%Ann%7;~~");
    EXPECT_EQ(history.GameLog()->topLevelItemCount(), 1);
    EXPECT_EQ(history.HallOfFame()->topLevelItemCount(), 0);
    EXPECT_EQ(history.Schedules()->topLevelItemCount(), 0);
    // A short record fills what it has.
    history.ShowHistory("only a date;~~");
    ASSERT_EQ(history.GameLog()->topLevelItemCount(), 1);
    EXPECT_EQ(history.GameLog()->topLevelItem(0)->text(1), "");

    QString schedule;
    EXPECT_EQ(THistoryScreen::CheckSchedule("  Evenings  ", schedule), "");
    EXPECT_EQ(schedule, "Evenings");
    for (const char* bad : {"50% of the time", "a;b", "x~y", "tab\there"}) {
        EXPECT_FALSE(THistoryScreen::CheckSchedule(bad, schedule).isEmpty()) << bad;
        EXPECT_TRUE(schedule.isEmpty());
    }
    EXPECT_FALSE(THistoryScreen::CheckSchedule(QString(101, 'x'), schedule).isEmpty());
    EXPECT_EQ(THistoryScreen::CheckSchedule(QString(100, 'x'), schedule), "");
}

TEST_F(LobbyFormsTest, TheSubjectListKeepsUsersUnderTheirSubject) {
    TKyrelSubjectList list;
    std::map<QString, TKyrelUser> users;
    users["Ann"] = TKyrelUser("Ann");
    users["Ann"].Info = {"QxScore=1516", "QxRank=Commander"};
    users["Bob"] = TKyrelUser("Bob");
    list.FindUser = [&](const QString& id) -> const TKyrelUser* {
        auto it = users.find(id);
        return it == users.end() ? nullptr : &it->second;
    };
    list.AddSubject("Lobby Chat");
    list.AddSubject("~Duel;Duel.qxscen;2;0;18;100;4;");
    list.AddSubject("Lobby Chat");
    ASSERT_EQ(list.count(), 2) << "a subject once";
    list.AddUser("Lobby Chat", "Ann");
    list.AddUser("Lobby Chat", "Bob");
    list.AddSubject("Tavern");
    ASSERT_EQ(list.count(), 5);
    EXPECT_EQ(list.item(1)->text(), "Lobby Chat\\Ann");
    EXPECT_EQ(list.item(2)->text(), "Lobby Chat\\Bob");
    EXPECT_EQ(list.item(3)->text(), "~Duel;Duel.qxscen;2;0;18;100;4;");
    EXPECT_EQ(list.Shown(1), "Ann (1516) Commander");
    EXPECT_EQ(list.Shown(2), "Bob") << "no score, no rank";
    EXPECT_EQ(list.Shown(3), "Duel") << "a game shows its name only";
    EXPECT_EQ(list.SubjectOf(2), "Lobby Chat");
    EXPECT_EQ(list.UserOf(2), "Bob");
    EXPECT_TRUE(list.UserOf(3).isEmpty());
    list.RemoveUser("Lobby Chat", "Ann");
    EXPECT_EQ(list.FindItem("Lobby Chat\\Ann"), -1);
    list.RemoveSubject("Lobby Chat\\Bob");
    EXPECT_GE(list.FindItem("Lobby Chat\\Bob"), 0) << "a user's item is not a subject";
    list.RemoveUsers();
    EXPECT_EQ(list.count(), 3);
    // Drawing every kind of item takes no user that has gone.
    list.AddUser("Tavern", "Gone");
    list.resize(240, 120);
    EXPECT_FALSE(list.grab().isNull());

    EXPECT_EQ(TfrmServerStats::FormatCount(0), "0");
    EXPECT_EQ(TfrmServerStats::FormatCount(999), "999");
    EXPECT_EQ(TfrmServerStats::FormatCount(1000), "1,000");
    EXPECT_EQ(TfrmServerStats::FormatCount(1234567.0), "1,234,567");
    EXPECT_EQ(TfrmServerStats::FormatCount(-98765), "-98,765");
    EXPECT_EQ(TfrmServerStats::FormatCount(2.5), "2");
    EXPECT_EQ(TfrmServerStats::FormatCount(1e12), "1,000,000,000,000");
}

} // namespace
} // namespace qx

#include "LobbyFormsTest.moc"
