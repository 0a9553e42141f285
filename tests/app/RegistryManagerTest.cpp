#include <gtest/gtest.h>

#include <QFile>
#include <QWidget>

#include "app/RegistryManager.h"
#include "tests/app/AppFixture.h"

namespace qx {
namespace {

QString FileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(RegistryManager, LivesUnderTheXdgConfigurationFolder) {
    test::GameApp();
    test::TConfigFolder config;
    EXPECT_EQ(TRegistryManager::DefaultFile(), config.SettingsFile());
}

TEST(RegistryManager, EveryValueIsStoredAsText) {
    test::GameApp();
    test::TConfigFolder config;
    {
        TRegistryManager reg(config.SettingsFile());
        reg.WriteInteger("Sound", 1);
        reg.WriteInteger("3Engine", 12);
        reg.WriteString("Brain0", "Warden");
        reg.WriteString("Note", "a, b");
        EXPECT_TRUE(reg.Flush().isEmpty());
    }
    const QString text = FileText(config.SettingsFile());
    EXPECT_TRUE(text.contains("Sound=1")) << text.toStdString();
    EXPECT_TRUE(text.contains("3Engine=12")) << text.toStdString();
    EXPECT_TRUE(text.contains("Brain0=Warden")) << text.toStdString();

    TRegistryManager again(config.SettingsFile());
    EXPECT_EQ(again.ReadString("Brain0"), "Warden");
    EXPECT_EQ(again.ReadInteger("3Engine"), 12);
    EXPECT_EQ(again.ReadString("Note"), "a, b");
    EXPECT_EQ(again.ReadString("Absent"), "");
    EXPECT_EQ(again.ReadInteger("Absent"), 0);
    EXPECT_EQ(again.ReadInteger("Brain0"), 0) << "text that is no number reads 0";
}

TEST(RegistryManager, HandEditedJunkReadsAsZero) {
    test::GameApp();
    test::TConfigFolder config;
    QDir().mkpath(config.Path() + "/quorvex");
    QFile file(config.SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nSound=yes\nMusic=\nTipNum=7x\nMainLeft=1e3\nShowTip=\"1\"\n");
    file.close();
    TRegistryManager reg(config.SettingsFile());
    EXPECT_EQ(reg.ReadInteger("Sound"), 0);
    EXPECT_EQ(reg.ReadInteger("Music"), 0);
    EXPECT_EQ(reg.ReadInteger("TipNum"), 0);
    EXPECT_EQ(reg.ReadInteger("MainLeft"), 0);
    EXPECT_EQ(reg.ReadInteger("ShowTip"), 1);
}

TEST(RegistryManager, ASettingsFileThatCannotBeWrittenIsReported) {
    test::GameApp();
    test::TConfigFolder config;
    // A plain file where the settings folder should be.
    QFile blocker(config.Path() + "/quorvex");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TRegistryManager reg(config.SettingsFile());
    reg.WriteInteger("Sound", 0);
    const QString error = reg.Flush();
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.contains(config.Path() + "/quorvex")) << error.toStdString();
}

TEST(RegistryManager, PositionsAreSavedAndOnlySensibleOnesRestored) {
    test::GameApp();
    test::TConfigFolder config;
    TRegistryManager reg(config.SettingsFile());
    QWidget window;
    window.setMinimumSize(200, 100);
    window.setGeometry(150, 120, 700, 500);
    reg.SavePosition(&window, "Main");
    EXPECT_EQ(reg.ReadInteger("MainLeft"), window.x());
    EXPECT_EQ(reg.ReadInteger("MainWidth"), 700);

    const QList<QRect> screens{QRect(0, 0, 1600, 900)};
    QWidget other;
    other.setMinimumSize(200, 100);
    ASSERT_TRUE(reg.RestorePosition(&other, "Main", screens));
    EXPECT_EQ(other.size(), QSize(700, 500));
    EXPECT_EQ(other.x(), window.x());

    reg.WriteInteger("MainLeft", 0);
    QWidget untouched;
    untouched.setGeometry(5, 6, 300, 200);
    EXPECT_FALSE(reg.RestorePosition(&untouched, "Main", screens));
    EXPECT_EQ(untouched.size(), QSize(300, 200));
    EXPECT_FALSE(reg.RestorePosition(&untouched, "StarShipList", screens)) << "nothing stored";
}

} // namespace
} // namespace qx
