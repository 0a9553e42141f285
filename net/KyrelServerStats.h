#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Object.h"

namespace qx {

// The lobby server's statistics as its SERVERSTATS reply carries them:
// eight fields, each followed by a grave accent.
class TKyrelServerStats : public TObject {
public:
    int32_t TimeActive = 0;  // seconds
    int32_t CurrentConnections = 0;
    int32_t TotalConnections = 0;
    int32_t CurrentSubjects = 0;
    int32_t TotalSubjects = 0;
    int32_t PeakConnections = 0;
    double BytesRead = 0;
    double BytesWritten = 0;

    std::string ToText() const;
    // Throws EKyrelError on a malformed number and leaves the record as it was.
    void FromText(std::string_view text);
    // "1 day 2 hrs 5 mins 1 sec", "0 secs".
    std::string TimeActiveText() const { return TimeText(TimeActive); }
    static std::string TimeText(int64_t seconds);
};

} // namespace qx
