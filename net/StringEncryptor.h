#pragma once

#include <string>

#include "base/Object.h"

namespace qx {

// The string scrambler that protects lobby lines and saved games: each byte is
// shifted by a byte of the key. Both directions keep the length.
class TStringEncryptor : public TObject {
public:
    TStringEncryptor() = default;
    explicit TStringEncryptor(std::string key) : Key(std::move(key)) {}

    std::string Key;

    void Encrypt(std::string& s) const;
    void Decrypt(std::string& s) const;
};

// The key of the game's own scrambler (saved games and lobby lines).
inline constexpr const char* kGameKey = "VornaPek";

} // namespace qx
