#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qx {

// A computer player's memory: "name=value" lines, saved with the game. A
// line answers to the text before its first "="; when several lines have one
// name, the first answers. Lines are read through the const accessors and
// changed only through the members below, so the lines of each name can be
// kept at hand: a brain asks for its memory many times every turn.
class TBrainData {
public:
    using value_type = std::string;
    using const_iterator = std::vector<std::string>::const_iterator;
    using iterator = const_iterator;

    TBrainData() = default;
    TBrainData(std::initializer_list<std::string> lines) : lines_(lines) {}
    TBrainData& operator=(std::initializer_list<std::string> lines);
    TBrainData& operator=(std::vector<std::string> lines);

    const std::vector<std::string>& Lines() const { return lines_; }
    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const std::string& operator[](size_t i) const { return lines_[i]; }
    const_iterator begin() const { return lines_.begin(); }
    const_iterator end() const { return lines_.end(); }
    bool operator==(const std::vector<std::string>& lines) const { return lines_ == lines; }
    bool operator==(const TBrainData& other) const { return lines_ == other.lines_; }

    void clear();
    void push_back(std::string line);

    // The first line whose name is Name, -1 for none. A name holding "=" is
    // matched as the beginning "Name=" of a line.
    int64_t Find(std::string_view name) const;
    // Sets the first line of the line's own name, or appends the line;
    // false when that line was there already.
    bool Set(const std::string& line);

private:
    static std::string_view NameOf(std::string_view line, bool& named);
    void Index() const;

    std::vector<std::string> lines_;
    // Each name's first line. Built on the first lookup, kept in step with
    // every change afterwards.
    mutable std::unordered_map<std::string, size_t> first_;
    mutable bool indexed_ = false;
};

} // namespace qx
