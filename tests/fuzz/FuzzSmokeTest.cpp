#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FuzzGalaxy.h"
#include "base/AtomicFile.h"
#include "base/Random.h"
#include "engine/SavedGame.h"
#include "render/BmpFile.h"
#include "render/ColorPalette.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using qx::TRandom;

// Plausible inputs of the target, to be mutated.
std::vector<std::string> Seeds(const std::string& target) {
    qx::fuzz::FuzzGalaxy galaxy;
    auto code = [&](int player, int i) { return galaxy.engine.GetPlayer(player)->GetStarShip(i)->Code; };
    const std::string a = code(0, 0), b = code(1, 0), c = code(2, 1);
    if (target == "game_chat") {
        // A byte of player count, then the message.
        return {"\x04GAMECHAT:0:1:0:0:meet me at the gate", "\x01GAMECHAT:1:", "\x0aGAMECHAT:1:0:1:0:1:0:1:0:1:0:a:b",
                "\x03GAMECHAT:1:1:"};
    }
    if (target == "game_state") return {galaxy.engine.SaveToText(), "4;1;0;0;;0;-1;0;0;0;0;0;0;"};
    if (target == "saved_game")
        return {qx::TSavedGame::Scramble(galaxy.engine.SaveToText()), qx::TSavedGame::Scramble("4;1;0;0;;0;-1;0;0;0;0;0;0;")};
    const std::string data = std::string(QX_SOURCE_DIR) + "/data/";
    if (target == "scenario") {
        return {qx::ReadWholeFile(data + "scenarios/Duel.qxscen"), qx::ReadWholeFile(data + "scenarios/Hold.qxscen"),
                "SetMapSize( 12, 12 ); CreateStarCluster( 6, 1, 1, 10, 10, 2, 2 ); AssignCapital( 0, 0, 0, 11, 11 );"};
    }
    if (target == "brain")
        return {qx::ReadWholeFile(data + "brains/Defender.qxbrain"), qx::ReadWholeFile(data + "brains/Pathfinder.qxbrain")};
    if (target == "palette") {
        std::vector<std::string> entries;
        for (int i = 0; i < 256; ++i) entries.push_back(std::to_string(i) + ",0," + std::to_string(255 - i));
        qx::TColorPalette palette;
        palette.SetPaletteEntries(entries);
        return {palette.SaveToText()};
    }
    if (target == "settings") return {"[General]\nSound=0\nBrain0=Warden\n[Window]\nLeft=\"12\"\n", "a=b\n"};
    if (target == "bmp") {
        qx::TIndexedBitmap picture(5, 3);
        for (int x = 0; x < 5; ++x) picture.SetPixel(x, x % 3, static_cast<uint8_t>(40 + x));
        picture.Palette[40] = {1, 2, 3};
        return {qx::WriteBmp(picture), qx::WriteBmp(qx::TIndexedBitmap(1, 1))};
    }
    if (target == "map_text") {
        // Two bytes of grid size (24 x 16), then the galaxy's map text.
        return {std::string("\x17\x0f") + galaxy.map.SaveToText(), std::string("\x02\x01") + "2,-1,N4,-"};
    }
    if (target == "order") {
        return {"1:" + a, "2:" + a + ":5:5", "4:" + a + ":Y1", "4:" + a + ":I1" + b, "5:" + a + ":" + b + ":1:1",
                "6:" + a + ":1,1_5,5_1,1", "7:" + a + ":0:3", "8:" + a + ":" + b, "9:" + a + ":1", "10:0", "11:0",
                "12:0:0:5:3:0:1:1:7:", "15:" + a + ":1", "16:" + a + ":" + c, "17:" + a, "18:" + a + ":2",
                "19:" + a + ":" + b, "20:" + a + ":3", "21:" + a, "22:" + a + ":2:1:0:0:1:0:1:", "23:2:1",
                "24"};
    }
    const std::string ship0 = "0:" + a + ":", ship1 = "1:" + b + ":";
    std::vector<std::string> seeds;
    std::string all;
    const std::vector<std::string> lines = {
        "1:" + ship0, "2:" + ship0 + "4:4:", "3:" + ship0 + "2:3:2:", "4:0:5:40:", "5:1:6:30:", "6:" + ship0 + "1,1_3,3:",
        "7:" + ship0 + b + ":1:0:", "8:" + ship1 + "2:1:", "9:" + ship1, "10:" + ship0 + b + ":", "11:" + ship0 + "2:",
        "12:" + ship0 + "Y2:", "13:0:0:5:3:0:1:1:7::", "14:" + ship0 + "0:3:", "15:" + ship0 + "0:", "16:" + ship0 + "0:",
        "17:1:0:12.5:", "18:0:1:", "19:" + ship0 + "1:", "20:" + ship0 + "1:", "21:" + ship0 + c + ":", "22:" + ship0,
        "23:" + ship0 + c + ":", "24:" + ship0 + b + ":", "25:" + ship0 + "1:", "26:" + ship0 + "1:",
        "27:" + ship0 + b + ":", "28:" + ship0 + "3:2:", "29:" + ship0 + "15:3:3:14:", "30:" + ship0 + "3:",
        "31:" + ship0 + "3:", "32:" + ship0, "33:3:12:7:", "34:1:1.25:", "35:" + ship0, "36:" + b + ":0:3:0:0:1:0:1::",
        "37:0:2:1:", "38:2:", "39:" + ship0 + "1:5:"};
    for (const auto& line : lines) {
        seeds.push_back(line);
        all += line + "\n";
    }
    seeds.push_back(all);
    return seeds;
}

// Small damage of the kinds texts suffer on the way: changed, lost or doubled
// characters, separators where none belong, numbers at the edges.
std::string Mutate(std::string text, TRandom& random) {
    static const std::vector<std::string> extremes = {"-1", "0", "2147483647", "-2147483648", "99999999999",
                                                      "1E308", "NAN", "", "~", ";", ":", "_", ","};
    const int edits = 1 + random.Random(4);
    for (int e = 0; e < edits; ++e) {
        const size_t at = text.empty() ? 0 : static_cast<size_t>(random.Random(static_cast<int>(text.size())));
        switch (random.Random(6)) {
        case 0:
            if (!text.empty()) text[at] = static_cast<char>(random.Random(256));
            break;
        case 1: text.insert(at, 1, ":;~,_-0123456789"[random.Random(16)]); break;
        case 2: text.erase(at, static_cast<size_t>(random.Random(8))); break;
        case 3: text.insert(at, text.substr(at, static_cast<size_t>(random.Random(12)))); break;
        case 4: text.insert(at, extremes[static_cast<size_t>(random.Random(static_cast<int>(extremes.size())))]); break;
        default: text.resize(at); break;
        }
    }
    return text;
}

} // namespace

TEST(FuzzSmoke, MutatedInputsNeverFaultAndReachTheReadersDepths) {
    // A fault or a broken contract (a refused text that changed the game, a
    // saved text that does not read back, a replica that drifted) aborts the
    // program. Counted here: the seeds are taken, and the mutated
    // inputs are neither all refused nor all taken, so both roads of the
    // reader are walked.
    const std::vector<std::string> seeds = Seeds(QX_FUZZ_TARGET);
    int seedsTaken = 0;
    for (const std::string& seed : seeds)
        seedsTaken += LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(seed.data()), seed.size()) == 0;
    // A single change or order may rightly do nothing; most seeds must count.
    EXPECT_GE(seedsTaken * 2, static_cast<int>(seeds.size()));
    TRandom random(2024);
    int accepted = 0;
    const int rounds = QX_FUZZ_ROUNDS;
    for (int round = 0; round < rounds; ++round) {
        const std::string& seed = seeds[static_cast<size_t>(random.Random(static_cast<int>(seeds.size())))];
        const std::string input = Mutate(seed, random);
        accepted += LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size()) == 0;
    }
    EXPECT_GT(accepted, rounds / 50) << "the mutations never get past the reader";
    EXPECT_LT(accepted, rounds) << "nothing was ever refused or ignored";
}
