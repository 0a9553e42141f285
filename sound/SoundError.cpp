#include "sound/SoundError.h"

namespace qx {

std::string DeviceErrorText(uint32_t code) {
    using namespace sound_result;
    switch (code) {
    case kOk: return "The request completed successfully.";
    case kAllocated:
        return "The request failed because resources, such as a priority level, were already in use by another "
               "caller.";
    case kAlreadyInitialized: return "The object is already initialized.";
    case kBadFormat: return "The specified wave format is not supported.";
    case kBufferLost: return "The buffer memory has been lost and must be restored.";
    case kControlUnavailable: return "The control (volume, pan, and so forth) requested by the caller is not available.";
    case kGeneric: return "An undetermined error occurred inside the DirectSound subsystem.";
    case kInvalidCall: return "This function is not valid for the current state of this object.";
    case kInvalidParam: return "An invalid parameter was passed to the returning function.";
    case kNoAggregation: return "The object does not support aggregation.";
    case kNoDriver: return "No sound driver is available for use.";
    case kNoInterface: return "The requested COM interface is not available.";
    case kOtherAppHasPriority:
        return "Another application has a higher priority level, preventing this call from succeeding.";
    case kOutOfMemory:
        return "The DirectSound subsystem could not allocate sufficient memory to complete the caller\u00B4s request.";
    case kPriorityLevelNeeded: return "The caller does not have the priority level required for the function to succeed.";
    case kUninitialized:
        return "The IDirectSound::Initialize method has not been called or has not been called successfully before "
               "other methods were called.";
    case kUnsupported: return "The function called is not supported at this time.";
    default: return "Unrecognized Error";
    }
}

} // namespace qx
