#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include "engine/Player.h"
#include "net/StringEncryptor.h"
#include "render/ColorPalette.h"
#include "render/qt/GameFonts.h"
#include "tests/tools/ToolTestSupport.h"

namespace qx::test {

namespace {

const std::string kData = std::string(QX_BINARY_DIR) + "/data";

class SnapshotTest : public QxToolTest {
protected:
    void SetUp() override {
        QxToolTest::SetUp();
        EnsureGuiApplication();
        std::ifstream in(kData + "/MainPalette.txt");
        std::stringstream text;
        text << in.rdbuf();
        palette.LoadFromText(text.str());
    }

    QImage Load(const std::string& path) { return QImage(QString::fromStdString(path)); }
    QRgb Rgb(int index) const {
        const uint32_t c = palette.GetColor(index);
        return qRgb(c & 255, (c >> 8) & 255, (c >> 16) & 255);
    }
    QRgb Nearest(TColor color) const { return Rgb(palette.NearestIndex(color)); }

    TColorPalette palette;
};

TEST_F(SnapshotTest, WholeMapPictureShowsCaptionsInTheirColours) {
    const std::string state = Write("galaxy.txt", Galaxy());
    const std::string out = (dir / "board.png").string();
    const ToolRun run = Tool("snapshot " + state + " --out " + out + " --seed 3 --frames 3");
    ASSERT_EQ(run.status, 0) << run.errors;
    const QImage image = Load(out);
    ASSERT_EQ(image.size(), QSize(300, 300));  // 10 x 10 cells of 30

    // Every pixel is a palette colour.
    std::set<QRgb> colours;
    for (int i = 0; i < 256; ++i) colours.insert(Rgb(i));
    for (int y = 0; y < 300; y += 3)
        for (int x = 0; x < 300; x += 3) ASSERT_TRUE(colours.count(image.pixel(x, y) | 0xFF000000u)) << x << "," << y;

    // Ship K7Q at cell (5, 5): its engines caption, white on solid black,
    // starts at the frame's top-left corner (151, 151).
    const QRgb white = Nearest(clWhite), black = Nearest(clBlack);
    int whites = 0;
    for (int y = 151; y < 157; ++y)
        for (int x = 151; x < 159; ++x) {
            const QRgb pixel = image.pixel(x, y);
            ASSERT_TRUE(pixel == white || pixel == black) << x << "," << y;
            whites += pixel == white;
        }
    EXPECT_GT(whites, 4);

    // The system's name "Home" sits centred under it (centre 76, 76), in its
    // owner's colour.
    TQuorvexEngine engine;
    engine.LoadFromText(Galaxy());
    const QRgb owner = Rgb(engine.GetPlayer(0)->ColorIndex());
    int named = 0;
    for (int y = 86; y < 104; ++y)
        for (int x = 56; x < 97; ++x) named += image.pixel(x, y) == owner;
    EXPECT_GT(named, 10);
}

TEST_F(SnapshotTest, ViewAndScrambledSavesAreHonoured) {
    std::string text = Galaxy();
    TStringEncryptor(kGameKey).Encrypt(text);
    const std::string saved = Write("game.qx", text);
    const std::string out = (dir / "part.png").string();
    const ToolRun run = Tool("snapshot " + saved + " --out " + out + " --view 140,140,53,41 --player 0 --frames 1");
    ASSERT_EQ(run.status, 0) << run.errors;
    const QImage image = Load(out);
    EXPECT_EQ(image.size(), QSize(53, 41));
    // The ship's caption moved with the view: (151, 151) is now (11, 11).
    int whites = 0;
    for (int y = 11; y < 17; ++y)
        for (int x = 11; x < 19; ++x) whites += image.pixel(x, y) == Nearest(clWhite);
    EXPECT_GT(whites, 4);
}

TEST_F(SnapshotTest, BadInputIsRefusedWithOneLine) {
    const std::string state = Write("galaxy.txt", Galaxy());
    const std::string out = (dir / "x.png").string();
    struct Case {
        std::string args;
        int status;
        std::string says;
    };
    const Case cases[] = {
        {"snapshot " + (dir / "missing.txt").string() + " --out " + out, 1, "Cannot read"},
        {"snapshot " + Write("bad.txt", "garbage;") + " --out " + out, 1, "bad.txt"},
        {"snapshot " + state + " --out " + out + " --player 7", 1, "no player 7"},
        {"snapshot " + state + " --out " + out + " --view 1,2,3", 2, "--view"},
        {"snapshot " + state + " --out " + out + " --view 0,0,0,10", 2, "--view"},
        {"snapshot " + state + " --out " + out + " --frames 0", 2, "--frames"},
        {"snapshot " + state, 2, "--out"},
        {"snapshot " + state + " --out " + out + " --data " + dir.string(), 1, "MainPalette.txt"},
        {"snapshot " + state + " --out " + (dir / "no-such-dir" / "x.png").string(), 1, "cannot write"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Tool(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.errors;
        EXPECT_NE(run.errors.find(c.says), std::string::npos) << c.args << "\n" << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
}

#if __has_include("render/StrategicMap.h") && __has_include("render/RgbPixelCanvas.h")
TEST_F(SnapshotTest, StrategicMapIsWrittenBesideTheBoard) {
    const std::string state = Write("galaxy.txt", Galaxy());
    const std::string out = (dir / "board.png").string(), map = (dir / "map.png").string();
    const ToolRun run = Tool("snapshot " + state + " --out " + out + " --map " + map + " --frames 1");
    ASSERT_EQ(run.status, 0) << run.errors;
    const QImage image = Load(map);
    ASSERT_EQ(image.size(), QSize(177, 145));
    // The owned system at (2, 2) of the 10 x 10 map is a dot in its owner's colour.
    TQuorvexEngine engine;
    engine.LoadFromText(Galaxy());
    const QRgb owner = Rgb(engine.GetPlayer(0)->ColorIndex());
    int dot = 0;
    for (int y = 22; y < 36; ++y)
        for (int x = 28; x < 43; ++x) dot += image.pixel(x, y) == owner;
    EXPECT_GT(dot, 8);
}
#endif

} // namespace

} // namespace qx::test
