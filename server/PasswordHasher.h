#pragma once

#include <string>

namespace qx::lobby {

// Passwords are kept only as libsodium's Argon2id strings. Interactive limits
// for real accounts; the minimum limits exist for tests and benchmarks, where
// thousands of accounts would otherwise take minutes. A stored string carries
// its own limits, so checking costs what hashing it cost.
class TPasswordHasher {
public:
    enum class TCost { Interactive, Minimum };

    explicit TPasswordHasher(TCost cost = TCost::Interactive);

    // Throws std::runtime_error when libsodium cannot hash (out of memory).
    std::string Hash(const std::string& password) const;
    static bool Verify(const std::string& hash, const std::string& password);
    TCost Cost() const { return Cost_; }

private:
    TCost Cost_;
};

} // namespace qx::lobby
