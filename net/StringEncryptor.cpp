#include "StringEncryptor.h"

namespace qx {

namespace {

// Position i (counting from 1) is combined with key character (i mod L) + 1,
// so the first byte uses the key's second character.
template <typename Combine>
void Walk(std::string& s, const std::string& key, Combine combine) {
    const size_t length = key.size();
    if (length == 0) return;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto k = static_cast<unsigned char>(key[(i + 1) % length]);
        s[i] = static_cast<char>(combine(static_cast<unsigned char>(s[i]), k) & 0xFF);
    }
}

} // namespace

void TStringEncryptor::Encrypt(std::string& s) const {
    Walk(s, Key, [](unsigned c, unsigned k) { return c + k; });
}

void TStringEncryptor::Decrypt(std::string& s) const {
    Walk(s, Key, [](unsigned c, unsigned k) { return c - k; });
}

} // namespace qx
