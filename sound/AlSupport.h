#pragma once

// OpenAL helpers shared by the adapters of this folder (not for callers of
// the mixer: they see only the mixer's own headers).

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cstdint>

#include "sound/SoundError.h"

namespace qx::al {

// The device result code of an OpenAL error; one the game's table does not
// know comes out as a code without a text ("Unrecognized Error").
inline uint32_t ResultOf(ALenum error) {
    switch (error) {
    case AL_NO_ERROR: return sound_result::kOk;
    case AL_INVALID_NAME:
    case AL_INVALID_ENUM:
    case AL_INVALID_VALUE: return sound_result::kInvalidParam;
    case AL_INVALID_OPERATION: return sound_result::kInvalidCall;
    case AL_OUT_OF_MEMORY: return sound_result::kOutOfMemory;
    default: return 0xA0000000u | static_cast<uint32_t>(error & 0xFFFF);
    }
}

inline uint32_t ResultOfDevice(ALCenum error) {
    switch (error) {
    case ALC_NO_ERROR: return sound_result::kOk;
    case ALC_INVALID_DEVICE: return sound_result::kNoDriver;
    case ALC_INVALID_VALUE:
    case ALC_INVALID_ENUM: return sound_result::kInvalidParam;
    case ALC_INVALID_CONTEXT: return sound_result::kInvalidCall;
    case ALC_OUT_OF_MEMORY: return sound_result::kOutOfMemory;
    default: return sound_result::kGeneric;
    }
}

// Forgets an error left by an earlier call, so the next check sees only its own.
inline void ClearError() { (void)alGetError(); }

// Throws the mixer error of the pending OpenAL error, if any.
inline void ThrowIfError() {
    const ALenum error = alGetError();
    if (error != AL_NO_ERROR) throw EMixerError(ResultOf(error));
}

// Makes the context current for the calling thread only (the music feeder
// uses it so the main thread's current context is left alone). False when
// the library lacks thread-local contexts.
inline bool SetThreadContext(ALCcontext* context) {
    using TSetThreadContext = ALCboolean(ALC_APIENTRY*)(ALCcontext*);
    static const auto set = reinterpret_cast<TSetThreadContext>(alcGetProcAddress(nullptr, "alcSetThreadContext"));
    return set && set(context) == ALC_TRUE;
}

} // namespace qx::al
