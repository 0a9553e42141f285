#pragma once

#include <string>
#include <vector>

namespace qx {

// The schedule of a cycle of impulses: row r is the schedule of a ship with
// r+1 engines, character p-1 of the row is '1' when that ship acts at cycle
// position p. The 20-impulse cycle the game runs with uses its stored table;
// other cycle lengths are generated.
class TImpulseAssigner {
public:
    TImpulseAssigner();  // a 20-impulse cycle

    int Impulses() const { return Impulses_; }
    void SetImpulses(int n);
    const std::vector<std::string>& ImpulseActions() const { return ImpulseActions_; }

    // False for a position or engine rating outside the table.
    bool CanAct(int position, int engines) const;

    // The generation rule, in extended precision, for any cycle length.
    static std::vector<std::string> GenerateTable(int impulses);

private:
    int Impulses_ = 0;
    std::vector<std::string> ImpulseActions_;
};

} // namespace qx
