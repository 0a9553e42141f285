#pragma once

// The tests of the mixer run on OpenAL Soft's null backend: a real device
// that mixes in real time into nothing, so no sound card is needed. It must
// be chosen before the library first opens a device, hence at start-up.

#include <cstdlib>

namespace qx::test {

inline const bool kNullSoundDevice = [] {
    ::setenv("ALSOFT_DRIVERS", "null", 1);
    return true;
}();

// A device name no backend offers: opening it fails as with no device.
inline const char* const kNoSuchDevice = "No Such Sound Device";

} // namespace qx::test
