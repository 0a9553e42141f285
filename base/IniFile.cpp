#include "base/IniFile.h"

#include <algorithm>

namespace qx {

namespace {

std::string Hex(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::string("\\x") + "0123456789abcdef"[byte >> 4] + "0123456789abcdef"[byte & 15];
}

// Escapes what the reader would otherwise take apart or drop: backslashes,
// line breaks, blanks at either end, an "=" or a leading "[", ";" or "#" in a
// key, and quotes around a whole value.
std::string Escape(std::string_view text, bool key) {
    std::string out;
    out.reserve(text.size());
    const size_t last = text.empty() ? 0 : text.size() - 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool end = i == 0 || i == last;
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (end && (c == ' ' || c == '\t')) out += Hex(c);
        else if (key && (c == '=' || (i == 0 && (c == '[' || c == ';' || c == '#')))) out += Hex(c);
        else if (!key && i == 0 && c == '"' && text.size() >= 2 && text.back() == '"') out += Hex(c);
        else out += c;
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'n') out += '\n';
        else if (c == 'r') out += '\r';
        else if (c == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else out += c;  // "\\" and any other escaped character stand for themselves
    }
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

} // namespace

void TIniFile::Load(std::string_view text) {
    Sections_.clear();
    std::string section = DefaultSection;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = Trim(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            if (line.back() == ']') section = Unescape(Trim(line.substr(1, line.size() - 2)));
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        std::string_view value = Trim(line.substr(equals + 1));
        // Hand-edited files may quote a value.
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        Write(section, Unescape(Trim(line.substr(0, equals))), Unescape(value));
    }
}

std::string TIniFile::Save() const {
    std::string text;
    for (const auto& [section, entries] : Sections_) {
        if (entries.empty()) continue;
        if (!text.empty()) text += '\n';
        text += "[" + Escape(section, true) + "]\n";
        for (const auto& [key, value] : entries) text += Escape(key, true) + "=" + Escape(value, false) + "\n";
    }
    return text;
}

TIniFile::TEntries& TIniFile::SectionEntries(const std::string& section) {
    for (auto& [name, entries] : Sections_)
        if (name == section) return entries;
    Sections_.emplace_back(section, TEntries{});
    return Sections_.back().second;
}

std::optional<std::string> TIniFile::Read(const std::string& section, const std::string& key) const {
    for (const auto& [name, entries] : Sections_) {
        if (name != section) continue;
        for (const auto& [k, value] : entries)
            if (k == key) return value;
    }
    return std::nullopt;
}

void TIniFile::Write(const std::string& section, const std::string& key, const std::string& value) {
    TEntries& entries = SectionEntries(section);
    for (auto& [k, v] : entries)
        if (k == key) {
            v = value;
            return;
        }
    entries.emplace_back(key, value);
}

void TIniFile::Remove(const std::string& section, const std::string& key) {
    for (auto& [name, entries] : Sections_)
        if (name == section) std::erase_if(entries, [&key](const auto& entry) { return entry.first == key; });
}

} // namespace qx
