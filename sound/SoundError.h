#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qx {

// Result codes of the mixing device, in the numbering the game's messages
// are keyed by. The OpenAL adapter maps its own failures onto these.
namespace sound_result {
constexpr uint32_t kOk = 0x00000000;
constexpr uint32_t kAllocated = 0x8878000A;
constexpr uint32_t kAlreadyInitialized = 0x88780082;
constexpr uint32_t kBadFormat = 0x88780064;
constexpr uint32_t kBufferLost = 0x88780096;
constexpr uint32_t kControlUnavailable = 0x8878001E;
constexpr uint32_t kGeneric = 0x80004005;
constexpr uint32_t kInvalidCall = 0x88780032;
constexpr uint32_t kInvalidParam = 0x80070057;
constexpr uint32_t kNoAggregation = 0x80040110;
constexpr uint32_t kNoDriver = 0x88780078;
constexpr uint32_t kNoInterface = 0x80004002;
constexpr uint32_t kOtherAppHasPriority = 0x887800A0;
constexpr uint32_t kOutOfMemory = 0x8007000E;
constexpr uint32_t kPriorityLevelNeeded = 0x88780046;
constexpr uint32_t kUninitialized = 0x887800AA;
constexpr uint32_t kUnsupported = 0x80004001;
} // namespace sound_result

// The message for a device result code; "Unrecognized Error" for any code
// without a text of its own.
std::string DeviceErrorText(uint32_t code);

// A failure of the mixing device or of one of its buffers; the text is the
// device error text of its code.
class EMixerError : public std::runtime_error {
public:
    explicit EMixerError(uint32_t code) : std::runtime_error(DeviceErrorText(code)), code_(code) {}
    uint32_t Code() const { return code_; }

private:
    uint32_t code_;
};

} // namespace qx
