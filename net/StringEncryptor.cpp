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

namespace qx {

void TStringEncryptor::EncryptLine(std::string& s) const {
    Encrypt(s);
    EscapeLine(s);
}

void TStringEncryptor::DecryptLine(std::string& s) const {
    UnescapeLine(s);
    Decrypt(s);
}

void TStringEncryptor::EscapeLine(std::string& s) {
    if (s.find_first_of(std::string_view("\n\x1B", 2)) == std::string::npos) return;
    std::string out;
    out.reserve(s.size() + 8);
    for (char c : s) {
        if (c == LineFeed) {
            out += Escape;
            out += 'L';
        } else if (c == Escape) {
            out += Escape;
            out += 'E';
        } else {
            out += c;
        }
    }
    s.swap(out);
}

void TStringEncryptor::UnescapeLine(std::string& s) {
    if (s.find(Escape) == std::string::npos) return;
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == Escape && i + 1 < s.size() && (s[i + 1] == 'L' || s[i + 1] == 'E')) {
            out += s[i + 1] == 'L' ? LineFeed : Escape;
            ++i;
        } else {
            out += s[i];
        }
    }
    s.swap(out);
}

} // namespace qx
