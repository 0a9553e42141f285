#include <gtest/gtest.h>

#include "base/Random.h"
#include "net/StringEncryptor.h"

using namespace qx;

TEST(StringEncryptor, ShiftsEachByteByTheKeyStartingAtItsSecondCharacter) {
    TStringEncryptor encrypt("AB");  // L = 2: positions 1, 2, 3 use B, A, B
    std::string s = "\x01\x01\x01";
    encrypt.Encrypt(s);
    EXPECT_EQ(s, std::string("\x43\x42\x43"));
    encrypt.Decrypt(s);
    EXPECT_EQ(s, std::string("\x01\x01\x01"));
}

TEST(StringEncryptor, WrapsAroundTheByteRange) {
    TStringEncryptor encrypt(kGameKey);
    std::string s = "\xFF\xFE";
    encrypt.Encrypt(s);
    EXPECT_EQ(static_cast<unsigned char>(s[0]), (0xFF + 'o') & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(s[1]), (0xFE + 'r') & 0xFF);
    encrypt.Decrypt(s);
    EXPECT_EQ(s, "\xFF\xFE");
}

TEST(StringEncryptor, RoundTripsAnyTextAndKeepsItsLength) {
    TStringEncryptor encrypt(kGameKey);
    TRandom random(3);
    for (int round = 0; round < 200; ++round) {
        std::string original(static_cast<size_t>(random.Random(300)), '\0');
        for (char& c : original) c = static_cast<char>(random.Random(256));
        std::string s = original;
        encrypt.Encrypt(s);
        ASSERT_EQ(s.size(), original.size());
        if (original.size() > 8) {
            ASSERT_NE(s, original);
        }
        encrypt.Decrypt(s);
        ASSERT_EQ(s, original);
    }
}

TEST(StringEncryptor, EmptyKeyLeavesTextAlone) {
    TStringEncryptor encrypt;
    std::string s = "4;1;0;0;";
    encrypt.Encrypt(s);
    EXPECT_EQ(s, "4;1;0;0;");
}
