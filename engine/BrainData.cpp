#include "engine/BrainData.h"

namespace qx {

TBrainData& TBrainData::operator=(std::initializer_list<std::string> lines) {
    lines_ = lines;
    indexed_ = false;
    return *this;
}

TBrainData& TBrainData::operator=(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    indexed_ = false;
    return *this;
}

void TBrainData::clear() {
    lines_.clear();
    indexed_ = false;
}

std::string_view TBrainData::NameOf(std::string_view line, bool& named) {
    const size_t end = line.find('=');
    named = end != std::string_view::npos;
    return line.substr(0, named ? end : line.size());
}

void TBrainData::push_back(std::string line) {
    lines_.push_back(std::move(line));
    if (!indexed_) return;
    bool named = false;
    const std::string_view name = NameOf(lines_.back(), named);
    if (named) first_.emplace(std::string(name), lines_.size() - 1);  // an earlier line of the name keeps answering
}

void TBrainData::Index() const {
    first_.clear();
    first_.reserve(lines_.size());
    for (size_t i = 0; i < lines_.size(); ++i) {
        bool named = false;
        const std::string_view name = NameOf(lines_[i], named);
        if (named) first_.emplace(std::string(name), i);
    }
    indexed_ = true;
}

int64_t TBrainData::Find(std::string_view name) const {
    if (name.find('=') != std::string_view::npos) {
        for (size_t i = 0; i < lines_.size(); ++i) {
            const std::string_view line = lines_[i];
            if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 && line[name.size()] == '=')
                return static_cast<int64_t>(i);
        }
        return -1;
    }
    if (!indexed_) Index();
    const auto it = first_.find(std::string(name));
    return it == first_.end() ? -1 : static_cast<int64_t>(it->second);
}

bool TBrainData::Set(const std::string& line) {
    // A line without "=" names itself, and replaces the first line of that name.
    bool named = false;
    const int64_t at = Find(NameOf(line, named));
    if (at < 0) {
        push_back(line);
        return true;
    }
    std::string& existing = lines_[static_cast<size_t>(at)];
    if (existing == line) return false;
    existing = line;  // the same name, so the index stays right
    return true;
}

} // namespace qx
