#pragma once

#include <string>
#include <string_view>

#include "base/Object.h"

namespace qx {

// The string scrambler that protects lobby lines and saved games: each byte is
// shifted by a byte of the key. Both directions keep the length.
//
// Lobby lines end with a line feed, so a scrambled byte equal to it would cut
// the line in two. EncryptLine scrambles and then escapes the line feed and
// the escape byte; DecryptLine undoes both. With the game's key no byte of a
// scrambled ASCII line can be either of them, so ASCII lines travel exactly
// as plain scrambling makes them.
class TStringEncryptor : public TObject {
public:
    static constexpr char LineFeed = '\n';
    static constexpr char Escape = '\x1B';

    TStringEncryptor() = default;
    explicit TStringEncryptor(std::string key) : Key(std::move(key)) {}

    std::string Key;

    void Encrypt(std::string& s) const;
    void Decrypt(std::string& s) const;

    void EncryptLine(std::string& s) const;
    void DecryptLine(std::string& s) const;

    // The escape alone: a line feed becomes Escape 'L', the escape byte
    // Escape 'E'. Unescaping leaves an escape before any other byte as it is.
    static void EscapeLine(std::string& s);
    static void UnescapeLine(std::string& s);
};

// The key of the game's own scrambler (saved games and lobby lines).
inline constexpr const char* kGameKey = "VornaPek";

} // namespace qx
