// The lobby's fuzz targets on a few thousand mutated lines, so CI exercises
// them without a fuzzing compiler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Random.h"
#include "net/KyrelServerStats.h"
#include "net/KyrelUser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using qx::TRandom;

std::string Record(const std::string& name) {
    qx::TKyrelUser user(name);
    user.Password = "pw";
    user.City = "Lund";
    user.Info = {"QxWins=3", "QxRank=Captain"};
    user.Glyph.Width = 2;
    user.Glyph.Height = 2;
    user.Glyph.Colors = {1, 2, 3, 4};
    user.ServerDate1 = qx::KyrelDate(2026, 12, 7);
    return user.ToText();
}

std::vector<std::string> Seeds(const std::string& target) {
    const std::string ann = Record("Ann"), bob = Record("Bob");
    if (target == "user_record") {
        qx::TKyrelServerStats stats;
        stats.TimeActive = 90061;
        stats.BytesRead = 1e10;
        return {ann, qx::TKyrelUser("Cid").ToText(), stats.ToText()};
    }
    if (target == "lobby_texts") {
        std::string address = "lobby.example.org:4001";
        return {std::string(1, '\0') + "lobby.example.org", std::string(1, '\0') + "[::1]:4001\r\n",
                std::string(1, '\0') + address, "\x01~Duel;Duel.qxscen;3;1;18;100;4;",
                "\x01~Old;Restored Game;4;0;0;0;4;", "\x01Lobby Chat", "\x02  Night Raid ", "\x02~Sneaky;x",
                "\x03" "12/01/2024%Ann%Bob, Cid and 1 Brain%512;11/30/2024%Bob%Ann%90;~1530 Captain%Ann;~Ann%Evenings;",
                "\x03~~", "\x04" "5|18", "\x04" "4|18"};
    }
    const std::string mode = target == "lobby_client" ? "\x01\x07" : "\x01";
    const std::string plain = target == "lobby_client" ? std::string("\x00\x05", 2) : std::string(1, '\0');
    std::vector<std::string> lines;
    if (target == "lobby_client") {
        lines = {"LOGIN|SUCCESS|" + ann, "LOGIN|FAILURE|Bad password", "SUBJECTS|Lobby Chat|~G;Duel.qxscen;3;1;18;100;4;",
                 "ADDSUBJECT|Talk", "REMOVESUBJECT|Talk", "JOINSUBJECT|Lobby Chat|" + ann + "|" + bob,
                 "ADDGUEST|Lobby Chat|" + Record("Cid"), "REMOVEGUEST|Bob", "BEGINSUBJECT", "PING|Ann|30|Bob|12",
                 "SEND|Bob|CHAT|hi|there", "SEND|Bob|DATA|GAMEINFO:4;1;0;0;;0;-1;0;0;0;0;0;0;",
                 "SERVERSTATS|61`1`2`3`4`5`6`7`", "USERINFO|" + bob, "SHOUT|noon", "ERROR|x", "CUSTOM|QXVERSION|4|18"};
    } else {
        lines = {"LOGIN|Ann|Quorvex|pw", "LOGINNEW|Ann|Quorvex|" + ann, "PING|", "CREATESUBJECT|~G;Duel.qxscen;3;1;18;100;4;|3|",
                 "CREATESUBJECT|Talk|0|", "JOINSUBJECT|Talk", "SEND|CHAT|hi", "SEND|DATA|ORDERS|Ann|3|2:K7Q:4:4~",
                 "CUSTOM|QXUPDATE|12/07/2026%Ann%Bob, Cid and 2 Brains%812", "CUSTOM|QXSCHEDULE|evenings",
                 "SERVERSTATS|", "USERINFO|Bob|", "USERUPDATE|Ann|" + ann + "|", "SHOUT|hello"};
    }
    std::vector<std::string> seeds;
    std::string all;
    for (const std::string& line : lines) {
        seeds.push_back(mode + line + "\n");
        seeds.push_back(plain + line + "\n");
        all += line + "\n";
    }
    seeds.push_back(mode + all);
    seeds.push_back(plain + all);
    return seeds;
}

std::string Mutate(std::string text, TRandom& random) {
    static const std::vector<std::string> extremes = {"|", "^", "`", "\n", "~", ";", "%", "-1", "2147483647",
                                                      "99999999999", "13/45/2026", "33`33`", "", "\x1B"};
    const int edits = 1 + random.Random(4);
    for (int e = 0; e < edits; ++e) {
        const size_t at = text.size() <= 1 ? text.size() : 1 + static_cast<size_t>(random.Random(static_cast<int>(text.size() - 1)));
        switch (random.Random(6)) {
        case 0:
            if (at < text.size()) text[at] = static_cast<char>(random.Random(256));
            break;
        case 1: text.insert(at, 1, "|^`\n0123456789%,"[random.Random(16)]); break;
        case 2: text.erase(at, static_cast<size_t>(random.Random(8))); break;
        case 3: text.insert(at, text.substr(at, static_cast<size_t>(random.Random(12)))); break;
        case 4: text.insert(at, extremes[static_cast<size_t>(random.Random(static_cast<int>(extremes.size())))]); break;
        default: text.resize(at); break;
        }
    }
    return text;
}

} // namespace

TEST(LobbyFuzzSmoke, MutatedInputsNeverFault) {
    const std::vector<std::string> seeds = Seeds(QX_FUZZ_TARGET);
    for (const std::string& seed : seeds)
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(seed.data()), seed.size()), 0);
    TRandom random(4000);
    for (int round = 0; round < 4000; ++round) {
        const std::string& seed = seeds[static_cast<size_t>(random.Random(static_cast<int>(seeds.size())))];
        const std::string input = Mutate(seed, random);
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size()), 0);
    }
}
