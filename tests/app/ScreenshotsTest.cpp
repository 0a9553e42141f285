#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include "app/GameAudio.h"
#include "app/GameScreen.h"
#include "app/InGameWindows.h"
#include "app/MainForm.h"
#include "app/Messages.h"
#include "app/ScriptEditorScreen.h"
#include "app/Screenshots.h"
#include "app/StarShipForm.h"
#include "tests/app/AppFixture.h"

namespace qx {
namespace {

// How many pixels of the picture are close to a colour.
int CountNear(const QImage& image, const QColor& colour, int tolerance) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) <= tolerance && std::abs(pixel.green() - colour.green()) <= tolerance &&
                std::abs(pixel.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    return count;
}

TEST(ScreenshotsTest, TheEditorAndTheInGameWindowsAreShownAtWork) {
    test::GameApp();
    test::TConfigFolder config;
    QTemporaryDir folder;
    TfrmMain window(test::BuildData(), config.SettingsFile(), std::make_unique<TSilentAudio>());
    window.SetTipsAtStart(false);
    window.show();
    window.resize(640, 480);
    TMessages::SetQuiet(true);
    const QStringList files = TScreenshots::Take(window, folder.path());
    TMessages::SetQuiet(false);
    QStringList names;
    for (const QString& file : files) names << QFileInfo(file).fileName();
    for (const char* name : {"editors", "starships", "starsystems", "communicate", "alliances"})
        EXPECT_EQ(names.filter(QString("-%1@1x.png").arg(name)).size(), 1) << name;

    // The editor's picture shows a script with its error line marked in red.
    const QImage editor(QDir(folder.path()).filePath(names.filter("-editors@1x.png").first()));
    ASSERT_FALSE(editor.isNull());
    EXPECT_GT(CountNear(editor, QColor(70, 8, 8), 6), 2000) << "the marked line";
    // The ship list shows a fleet: ship pictures in the local player's colour
    // and rows of text, not an empty black window.
    const QImage ships(QDir(folder.path()).filePath(names.filter("-starships@1x.png").first()));
    ASSERT_FALSE(ships.isNull());
    EXPECT_GT(CountNear(ships, QColor(0, 255, 255), 40), 300);

    // Afterwards the editor is empty and the windows belong to the game
    // screen again, not to the sample game.
    EXPECT_TRUE(window.ScriptEditor()->Description().isEmpty());
    EXPECT_FALSE(window.ScriptEditor()->Modified());
    EXPECT_EQ(window.InGameWindows()->Host(), static_cast<IInGameHost*>(window.GameScreen()));
    EXPECT_EQ(window.InGameWindows()->StarShips()->RowCount(), 10) << "until the next game starts";
}

} // namespace
} // namespace qx
