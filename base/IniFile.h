#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qx {

// A settings file's text: "[Section]" lines and "Key=Value" lines, every
// value a text. Reading takes any text (lines it cannot use are skipped);
// writing escapes backslashes and line breaks in keys and values, so any key
// and value read back exactly. Keys outside a section belong to "General".
class TIniFile {
public:
    static constexpr const char* DefaultSection = "General";

    void Load(std::string_view text);
    std::string Save() const;

    std::optional<std::string> Read(const std::string& section, const std::string& key) const;
    void Write(const std::string& section, const std::string& key, const std::string& value);
    void Remove(const std::string& section, const std::string& key);

    using TEntries = std::vector<std::pair<std::string, std::string>>;
    // Sections in file order, each with its keys in file order.
    const std::vector<std::pair<std::string, TEntries>>& Sections() const { return Sections_; }

private:
    TEntries& SectionEntries(const std::string& section);

    std::vector<std::pair<std::string, TEntries>> Sections_;
};

} // namespace qx
