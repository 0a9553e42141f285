#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "TestGalaxy.h"
#include "engine/SavedGame.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using test::TestGalaxy;

class SavedGameTest : public ::testing::Test {
protected:
    fs::path dir;
    TestGalaxy game{2, 12, 8};

    void SetUp() override {
        dir = fs::temp_directory_path() / ("qx-saved-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        game.map.SetChar(3, 4, 'N');
        game.map.SetChar(11, 7, 'N');
        game.engine.SetMapText(game.map.SaveToText());
        game.System(2, 2, game.P(0))->Capital = true;
        game.Ship(game.P(1), TShipType::WarShip, 6, 5, 4, 3);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const char* name) const { return (dir / name).string(); }
};

TEST_F(SavedGameTest, ScrambledAndPlainFilesLoadBackToTheSameGameWithItsNebulae) {
    const std::string text = game.engine.SaveToText();
    for (const char* name : {"game.qx", "GAME.QX", "game.txt"}) {
        TSavedGame::SaveFile(Path(name), game.engine);
        std::ifstream in(Path(name), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(bytes == text, !TSavedGame::IsScrambledName(name)) << name;

        TestGalaxy loaded(0, 1, 1);
        int created = 0;
        loaded.engine.OnStarShipCreate = [&created](TObject*, TStarShip*) { ++created; };
        TSavedGame::LoadFile(Path(name), loaded.engine);
        EXPECT_EQ(loaded.engine.SaveToText(), text) << name;
        EXPECT_EQ(created, 1);
        EXPECT_TRUE(loaded.engine.IsNebula(3, 4)) << "the map grid is filled from the saved map text";
        EXPECT_TRUE(loaded.engine.IsNebula(11, 7));
        EXPECT_FALSE(loaded.engine.IsNebula(4, 4));
    }
    // A hand-edited plain text may end in line ends.
    std::ofstream(Path("edited.txt")) << text << "\r\n";
    EXPECT_EQ(TSavedGame::ReadText(Path("edited.txt")), text);
}

TEST_F(SavedGameTest, AGameThatFailsToLoadLeavesTheRunningGameAsItWas) {
    const std::string before = game.engine.SaveToText();
    const std::string newer = "5" + before.substr(before.find(';'));
    const std::string broken = before.substr(0, before.size() / 2);
    std::string badMap = before;
    badMap.replace(badMap.find(game.engine.MapText), game.engine.MapText.size(), "3,x,7");
    struct Case {
        std::string text;
        std::string says;
    };
    for (const Case& c : {Case{newer, "This Game was saved with Quorvex version 5, and you have version 4"},
                          Case{broken, "not a readable Quorvex game"}, Case{badMap, "nebula map"},
                          Case{"", "not a readable Quorvex game"}}) {
        try {
            TSavedGame::Load(c.text, game.engine);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const ESavedGameError& error) {
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
        }
        EXPECT_EQ(game.engine.SaveToText(), before);
        EXPECT_TRUE(game.engine.IsNebula(3, 4));
        EXPECT_EQ(game.map.Columns(), 12);
    }
    // Through files, the message names the file.
    std::ofstream(Path("newer.txt")) << newer;
    try {
        TSavedGame::LoadFile(Path("newer.txt"), game.engine);
        ADD_FAILURE();
    } catch (const ESavedGameError& error) {
        EXPECT_EQ(std::string(error.what()),
                  Path("newer.txt") + ": This Game was saved with Quorvex version 5, and you have version 4");
    }
    EXPECT_THROW(TSavedGame::LoadFile(Path("missing.qx"), game.engine), ESavedGameError);
    EXPECT_EQ(game.engine.SaveToText(), before);
}

TEST_F(SavedGameTest, ASaveThatCannotBeWrittenIsReportedAndKeepsTheOldFile) {
    TSavedGame::SaveFile(Path("game.qx"), game.engine);
    const std::string saved = TSavedGame::ReadText(Path("game.qx"));
    EXPECT_THROW(TSavedGame::SaveFile(Path("missing-folder/game.qx"), game.engine), ESavedGameError);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) {  // root writes anyway
        game.Ship(game.P(0), TShipType::Drone, 1, 1, 2, 2);
        EXPECT_THROW(TSavedGame::SaveFile(Path("game.qx"), game.engine), ESavedGameError);
        EXPECT_EQ(TSavedGame::ReadText(Path("game.qx")), saved);
    }
    fs::permissions(dir, fs::perms::owner_all);
}

} // namespace
} // namespace qx
