#include <gtest/gtest.h>

#include "base/IniFile.h"
#include "base/Random.h"

namespace qx {
namespace {

TEST(IniFile, ReadsWhatHandsAndOtherProgramsWrite) {
    TIniFile ini;
    ini.Load("Sound=0\r\n; a comment\n[General]\n  Music = 1 \nbroken line\n[Window]\nLeft=\"12\"\nTop=\n"
             "[Unclosed\nWidth=5\n");
    EXPECT_EQ(ini.Read("General", "Sound"), "0");
    EXPECT_EQ(ini.Read("General", "Music"), "1") << "blanks around key and value go";
    EXPECT_EQ(ini.Read("Window", "Left"), "12") << "a quoted value loses its quotes";
    EXPECT_EQ(ini.Read("Window", "Top"), "");
    EXPECT_EQ(ini.Read("Window", "Width"), "5") << "a header without its bracket is skipped";
    EXPECT_FALSE(ini.Read("Window", "Height").has_value());
    EXPECT_FALSE(ini.Read("General", "broken line").has_value());
}

TEST(IniFile, AnyKeyAndValueReadBackExactly) {
    TRandom random(8);
    const std::string alphabet = "ab=[];#\"\\ \t\r\n\x01~:";
    TIniFile ini;
    std::vector<std::pair<std::string, std::string>> written;
    for (int i = 0; i < 400; ++i) {
        std::string key, value;
        for (int n = random.Random(8); n > 0; --n) key += alphabet[static_cast<size_t>(random.Random(int(alphabet.size())))];
        for (int n = random.Random(12); n > 0; --n)
            value += alphabet[static_cast<size_t>(random.Random(int(alphabet.size())))];
        key += std::to_string(i);  // distinct keys
        ini.Write(i % 3 ? "General" : "Other [x]", key, value);
        written.emplace_back(key, value);
    }
    TIniFile again;
    again.Load(ini.Save());
    for (size_t i = 0; i < written.size(); ++i)
        EXPECT_EQ(again.Read(i % 3 ? "General" : "Other [x]", written[i].first), written[i].second)
            << "key " << written[i].first;
    EXPECT_EQ(again.Save(), ini.Save());
}

} // namespace
} // namespace qx
