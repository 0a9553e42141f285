#include "ToolTestSupport.h"

#include "net/StringEncryptor.h"

namespace qx {
namespace {

using SavedGameCommandsTest = test::QxToolTest;

TEST_F(SavedGameCommandsTest, EncodeAndDecodeRoundTrip) {
    const std::string plain = Write("game.txt", Galaxy() + "\n");
    const std::string saved = (dir / "game.qx").string();
    ASSERT_EQ(Tool("encode " + plain + " " + saved).status, 0);
    std::ifstream in(saved, std::ios::binary);
    std::string scrambled((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(scrambled, Galaxy());
    TStringEncryptor(kGameKey).Decrypt(scrambled);
    EXPECT_EQ(scrambled, Galaxy());  // the game's own key, no line end
    const test::ToolRun decoded = Tool("decode " + saved);
    ASSERT_EQ(decoded.status, 0) << decoded.errors;
    EXPECT_EQ(decoded.lines, std::vector<std::string>{Galaxy()});
    // step reads the saved game directly.
    const test::ToolRun step = Tool("step " + saved);
    ASSERT_EQ(step.status, 0) << step.errors;
    EXPECT_EQ(step.lines.front(), "IMPULSE 1");
}

TEST_F(SavedGameCommandsTest, RefusesWhatIsNotAGame) {
    const std::string plain = Write("game.txt", Galaxy());
    const std::string saved = (dir / "out.qx").string();
    // A plain text decodes to noise.
    EXPECT_EQ(Tool("decode " + plain).status, 1);
    EXPECT_EQ(Tool("decode " + plain + " --raw").status, 0);
    const std::string junk = Write("junk.txt", "4;1;two;");
    const test::ToolRun encode = Tool("encode " + junk + " " + saved);
    EXPECT_EQ(encode.status, 1);
    EXPECT_FALSE(encode.errors.empty());
    EXPECT_FALSE(std::filesystem::exists(saved));
    EXPECT_EQ(Tool("encode " + plain).status, 2);
    EXPECT_EQ(Tool("encode --help").status, 0);
    EXPECT_EQ(Tool("decode --help").status, 0);
}

} // namespace
} // namespace qx
