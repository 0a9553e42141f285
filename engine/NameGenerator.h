#pragma once

#include <string>
#include <vector>

#include "base/Random.h"

namespace qx {

// Makes names from a random first and second half of split words, never
// repeating a name until every combination has been used.
class TNameGenerator {
public:
    static const std::vector<std::string>& StarSystemSyllables();  // 39 lines
    static const std::vector<std::string>& BrainSyllables();       // 8 lines

    std::string Delimiter = ";";

    const std::vector<std::string>& Syllables() const { return Syllables_; }
    void SetSyllables(const std::vector<std::string>& lines);

    void Prepare();
    // A fresh name drawn with `random`; empty when there are no syllables to
    // choose from.
    std::string NewName(TRandom& random);
    void Reset() { Used_.clear(); }

    int Capacity() const { return Capacity_; }
    const std::vector<std::string>& Prefixes() const { return Prefixes_; }
    const std::vector<std::string>& Suffixes() const { return Suffixes_; }

private:
    std::vector<std::string> Syllables_;
    std::vector<std::string> Prefixes_;
    std::vector<std::string> Suffixes_;
    std::vector<std::string> Used_;
    int Capacity_ = 0;
    bool Prepared_ = false;
};

} // namespace qx
