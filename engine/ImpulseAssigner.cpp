#include "engine/ImpulseAssigner.h"

namespace qx {

namespace {

// The table the game has always run with; the generation rule, evaluated with
// the original rounding, yields exactly this, so it is kept as the reference.
const char* const kStoredTable[20] = {
    "00000000000000000001", "00000000010000000001", "00000010000001000000", "00000100001000010000",
    "00001000100010001000", "00010010010001001001", "00100100100100100100", "00100101001010010100",
    "00101010100101010100", "00101010101010101010", "01010101011010101011", "01011010110101101011",
    "01011011011011011010", "01101101101110110110", "01101110111011101110", "01110111101111011110",
    "01111101111110111111", "01111111101111111110", "01111111111111111111", "11111111111111111111",
};

} // namespace

TImpulseAssigner::TImpulseAssigner() { SetImpulses(20); }

void TImpulseAssigner::SetImpulses(int n) {
    Impulses_ = n;
    if (n == 20)
        ImpulseActions_.assign(std::begin(kStoredTable), std::end(kStoredTable));
    else
        ImpulseActions_ = GenerateTable(n);
}

std::vector<std::string> TImpulseAssigner::GenerateTable(int impulses) {
    std::vector<std::string> rows;
    for (int e = 1; e <= impulses; ++e) {
        std::string row;
        if (e == 1) {
            row.assign(static_cast<size_t>(impulses - 1), '0');
            row += '1';
        } else if (e == impulses) {
            row.assign(static_cast<size_t>(impulses), '1');
        } else {
            // The strict test against 1 together with the rounding of f is
            // what drops a '1' from some rows; the precision is part of the rule.
            const long double f = static_cast<long double>(e) / static_cast<long double>(impulses);
            long double a = 0;
            for (int p = 0; p < impulses; ++p) {
                a = a + f;
                if (a > 1) {
                    row += '1';
                    a = a - 1;
                } else {
                    row += '0';
                }
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool TImpulseAssigner::CanAct(int position, int engines) const {
    if (engines < 1 || engines > static_cast<int>(ImpulseActions_.size())) return false;
    const std::string& row = ImpulseActions_[static_cast<size_t>(engines - 1)];
    if (position < 1 || position > static_cast<int>(row.size())) return false;
    return row[static_cast<size_t>(position - 1)] == '1';
}

} // namespace qx
