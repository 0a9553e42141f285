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

TEST(StringEncryptor, LineEscapeKeepsEveryByteValueInsideOneLine) {
    TStringEncryptor encrypt(kGameKey);
    // Every byte value at every key position: no line feed survives the
    // escape, and the line comes back whole.
    for (int offset = 0; offset < 8; ++offset) {
        std::string line(static_cast<size_t>(offset), 'x');
        for (int b = 0; b < 256; ++b) line += static_cast<char>(b);
        std::string sent = line;
        encrypt.EncryptLine(sent);
        EXPECT_EQ(sent.find('\n'), std::string::npos);
        encrypt.DecryptLine(sent);
        EXPECT_EQ(sent, line);
    }
}

TEST(StringEncryptor, AsciiLinesTravelExactlyAsPlainScrambling) {
    TStringEncryptor encrypt(kGameKey);
    std::string ascii;
    for (int b = 0; b < 128; ++b) ascii += static_cast<char>(b);
    for (int round = 0; round < 8; ++round) {
        std::string plain = ascii;
        encrypt.Encrypt(plain);
        std::string line = ascii;
        encrypt.EncryptLine(line);
        EXPECT_EQ(line, plain);
        ascii = "." + ascii;  // shift the key positions
    }
}

TEST(StringEncryptor, UnescapeLeavesAStrayEscapeAlone) {
    std::string s = "a\x1B" "Zb\x1B";
    TStringEncryptor::UnescapeLine(s);
    EXPECT_EQ(s, "a\x1B" "Zb\x1B");
    std::string t = "\n\x1B\n";
    TStringEncryptor::EscapeLine(t);
    EXPECT_EQ(t, "\x1B" "L\x1B" "E\x1B" "L");
    TStringEncryptor::UnescapeLine(t);
    EXPECT_EQ(t, "\n\x1B\n");
}
