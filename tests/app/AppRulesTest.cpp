#include <gtest/gtest.h>

#include <QSet>

#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/SettingsRules.h"
#include "app/ShipDescriptions.h"
#include "app/TextFiles.h"
#include "tests/controls/WidgetApp.h"

namespace qx {
namespace {

TEST(SettingsRules, TextToIntegerGivesZeroForAnythingButANumber) {
    EXPECT_EQ(SettingToInt("42"), 42);
    EXPECT_EQ(SettingToInt(" -7 "), -7);
    EXPECT_EQ(SettingToInt(""), 0);
    EXPECT_EQ(SettingToInt("12abc"), 0);
    EXPECT_EQ(SettingToInt("3.5"), 0);
    EXPECT_EQ(SettingToInt("99999999999"), 0);
    EXPECT_EQ(SettingToInt("0x10"), 0);
}

TEST(SettingsRules, BuildDefaultsOutOfRangeFallBackToEightAndThree) {
    EXPECT_EQ(BuildDefaultFrom(5, 7).Engines, 5);
    EXPECT_EQ(BuildDefaultFrom(5, 7).Value, 7);
    EXPECT_EQ(BuildDefaultFrom(0, 0).Engines, 8);
    EXPECT_EQ(BuildDefaultFrom(0, 0).Value, 3);
    EXPECT_EQ(BuildDefaultFrom(21, 2).Engines, 8) << "no ship has more than 20 engines";
    EXPECT_EQ(BuildDefaultFrom(21, 2).Value, 2);
    EXPECT_EQ(BuildDefaultFrom(-4, -1).Value, 3);
    EXPECT_EQ(BuildDefaultFrom(20, 99).Engines, 20);
    EXPECT_EQ(BuildDefaultFrom(20, 100).Value, 3);
}

TEST(SettingsRules, BrainNamesLoseOnlyTheirExtension) {
    EXPECT_EQ(BrainNameFromSetting("Warden.qxbrain"), "Warden");
    EXPECT_EQ(BrainNameFromSetting("my.warden.v2.qxbrain"), "my.warden.v2");
    EXPECT_EQ(BrainNameFromSetting("Defender"), "Defender");
    EXPECT_EQ(BrainNameFromSetting("/home/me/brains/Scout.qxbrain"), "Scout");
    EXPECT_EQ(BrainNameFromSetting("C:\\Games\\Scout.qxbrain"), "Scout");
    EXPECT_EQ(BrainNameFromSetting(""), "");
    // Names travel inside the game state: its separators are refused.
    EXPECT_EQ(BrainNameFromSetting("bad;name.qxbrain"), "");
    EXPECT_EQ(BrainNameFromSetting("bad~name"), "");
    EXPECT_EQ(BrainNameFromSetting(QString("tab\there")), "");
}

TEST(SettingsRules, AbsentShipTypeValuesSelectNothing) {
    std::optional<TShipType> last;
    EXPECT_EQ(ShipTypesFromSettings({"", "", "", "", "", ""}, &last), TShipTypeSet{})
        << "an absent value is not WarShip";
    EXPECT_FALSE(last);
    const TShipTypeSet some = ShipTypesFromSettings({"0", "", "junk", "21", "22", "-1"}, &last);
    EXPECT_EQ(some, (TShipTypeSet{TShipType::WarShip, TShipType::BattleStation}));
    ASSERT_TRUE(last);
    EXPECT_EQ(*last, TShipType::BattleStation);
    ShipTypesFromSettings({"5", "3"}, &last);
    EXPECT_EQ(*last, TShipType::EMine) << "the last value read";

    const TShipTypeSet six{TShipType::Tug, TShipType::WarShip, TShipType::TechShip, TShipType::Drone,
                           TShipType::SpyShip, TShipType::ScanShip};
    EXPECT_EQ(ShipTypesToSettings(six), (QStringList{"0", "1", "2", "4", "8", "19"}));
    EXPECT_EQ(ShipTypesFromSettings(ShipTypesToSettings(six)), six);
    EXPECT_EQ(CountShipTypes(six), 6);
}

TEST(SettingsRules, TipNumberIsTakenModuloTheTips) {
    EXPECT_EQ(TipIndex(0, 24), 0);
    EXPECT_EQ(TipIndex(23, 24), 23);
    EXPECT_EQ(TipIndex(24, 24), 0);
    EXPECT_EQ(TipIndex(1000, 24), 1000 % 24);
    EXPECT_EQ(TipIndex(-1, 24), 23);
    EXPECT_EQ(TipIndex(INT32_MIN, 24), ((INT32_MIN % 24) + 24) % 24);
    EXPECT_EQ(TipIndex(5, 0), 0);
}

TEST(SettingsRules, SavedWindowRectanglesAreCheckedAgainstTheScreens) {
    const QList<QRect> screens{QRect(0, 0, 1920, 1050), QRect(1920, 0, 1280, 1024)};
    const QSize minimum(640, 480);
    EXPECT_EQ(FitSavedRect(QRect(100, 80, 800, 600), screens, minimum), QRect(100, 80, 800, 600));
    EXPECT_FALSE(FitSavedRect(QRect(0, 80, 800, 600), screens, minimum)) << "left 0 is not restored";
    EXPECT_FALSE(FitSavedRect(QRect(-50, 80, 800, 600), screens, minimum));
    // A screen that is gone: the designed position stands.
    EXPECT_FALSE(FitSavedRect(QRect(4000, 100, 800, 600), screens, minimum));
    EXPECT_FALSE(FitSavedRect(QRect(1900, 1040, 800, 600), screens, minimum)) << "only a sliver shows";
    // On the second screen, too big and hanging off: shrunk and moved onto it.
    EXPECT_EQ(FitSavedRect(QRect(2500, 500, 2000, 900), screens, minimum), QRect(1920, 124, 1280, 900));
    // Below the minimum size: grown to it.
    EXPECT_EQ(FitSavedRect(QRect(10, 10, 100, 50), screens, minimum), QRect(10, 10, 640, 480));
    EXPECT_FALSE(FitSavedRect(QRect(10, 10, 0, 0), screens, minimum));
}

TEST(TextFiles, DataLinesSkipCommentsAndBlankLines) {
    EXPECT_EQ(DataLines("# names\r\nVel-oria\r\n\n   \n  Cas-sivor  \n#x\nNova--Prime"),
              (QStringList{"Vel-oria", "Cas-sivor", "Nova--Prime"}));
    EXPECT_TRUE(DataLines("").isEmpty());
    EXPECT_FALSE(ReadDataLines("/nonexistent/syllable.txt"));
    EXPECT_FALSE(ReadDataLines(QString(QX_SOURCE_DIR))) << "a folder is not a file";
    const std::optional<QStringList> tips = ReadDataLines(QString(QX_SOURCE_DIR) + "/data/tips.txt");
    ASSERT_TRUE(tips);
    EXPECT_GE(tips->size(), 20);
    for (const QString& tip : *tips) EXPECT_FALSE(tip.startsWith('#'));
}

TEST(TextFiles, MissingSyllablesMessageNamesTheFileRead) {
    const QString message = MissingSyllablesMessage("/opt/quorvex/syllable.txt");
    EXPECT_TRUE(message.contains("\"/opt/quorvex/syllable.txt\"")) << message.toStdString();
    EXPECT_TRUE(message.startsWith("Could not locate StarSystem names file, "));
    EXPECT_TRUE(message.endsWith("Using default names."));
}

TEST(CommandLine, OptionsAndMistakes) {
    EXPECT_TRUE(TCommandLine::Parse({"--help"}).Help);
    EXPECT_TRUE(TCommandLine::Parse({"-v"}).Version);
    TCommandLine line = TCommandLine::Parse({"--screenshots", "/tmp/x", "--data=/opt/d"});
    EXPECT_TRUE(line.Error.isEmpty());
    EXPECT_EQ(line.ScreenshotsFolder, "/tmp/x");
    EXPECT_EQ(line.DataFolder, "/opt/d");
    EXPECT_EQ(TCommandLine::Parse({"--screenshots=shots"}).ScreenshotsFolder, "shots");
    EXPECT_FALSE(TCommandLine::Parse({"--screenshots"}).Error.isEmpty());
    EXPECT_FALSE(TCommandLine::Parse({"--screenshots="}).Error.isEmpty());
    EXPECT_TRUE(TCommandLine::Parse({"--frobnicate"}).Error.contains("--frobnicate"));
    EXPECT_FALSE(TCommandLine::Parse({"extra"}).Error.isEmpty());
    EXPECT_TRUE(TCommandLine::Usage().contains("--screenshots DIR"));
}

TEST(DataFolder, BesideTheProgramFirstThenTheInstallPrefix) {
    const QStringList candidates = TDataFolder::Candidates("/opt/q/bin", "/usr/share/quorvex");
    EXPECT_EQ(candidates,
              (QStringList{"/opt/q/bin", "/opt/q/bin/data", "/opt/q/data", "/opt/q/share/quorvex", "/usr/share/quorvex"}));
    const QSet<QString> have{"/opt/q/share/quorvex", "/usr/share/quorvex"};
    EXPECT_EQ(TDataFolder::Find(candidates, [&](const QString& f) { return have.contains(f); }),
              "/opt/q/share/quorvex");
    EXPECT_EQ(TDataFolder::Find(candidates, [](const QString&) { return false; }), "");
    // The build tree: the program in app/, the data in data/.
    EXPECT_TRUE(TDataFolder::Candidates(QString(QX_BINARY_DIR) + "/app", "").contains(QString(QX_BINARY_DIR) + "/data"));
}

TEST(ShipDescriptions, OneEntryPerTypeInTypeOrder) {
    const TShipDescriptions descriptions;
    EXPECT_EQ(descriptions.Count(), ShipTypeCount);
    for (int i = 0; i < ShipTypeCount; ++i) {
        const auto type = static_cast<TShipType>(i);
        const TShipDescription entry = descriptions.For(type);
        EXPECT_EQ(entry.Heading, QString(ShipTypeName(type)));
        EXPECT_FALSE(entry.Lines.isEmpty()) << ShipTypeName(type);
    }
    const TShipDescription parsed = TShipDescriptions::ParseEntry("*Tug^First line^^Second line");
    EXPECT_EQ(parsed.Heading, "Tug");
    EXPECT_EQ(parsed.Lines, (QStringList{"First line", "Second line"}));
    // A short text still names every type.
    const TShipDescriptions shortText("*WarShip^Fights.;");
    EXPECT_EQ(shortText.For(TShipType::Tug).Heading, "Tug");
    EXPECT_TRUE(shortText.For(TShipType::Tug).Lines.isEmpty());
}

} // namespace
} // namespace qx
