#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Object.h"

namespace qx {

// The lobby's record of one user. The impulse clock reads only UserId; the
// lobby client fills the rest and gives it its text form.
class TKyrelUser : public TObject {
public:
    TKyrelUser() = default;
    explicit TKyrelUser(std::string userId) : UserId(std::move(userId)) {}

    std::string UserId;
    std::string LastName;
    std::string City;
    std::string Country;
    std::string Password;
    std::string FirstName;
    std::string EMail;
    std::vector<std::string> Info; // name=value lines the server assigns
    std::string Comments;
    std::string HomePage;
    std::vector<uint8_t> Glyph;    // the user's picture, at most 32 x 32
    std::array<int32_t, 5> Latency{}; // milliseconds, oldest first; 0 = no value
    int32_t ServerNumber = 0;
    double ServerDate2 = 0;
    double ServerDate1 = 0;
};

} // namespace qx
