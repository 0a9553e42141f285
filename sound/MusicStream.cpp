#include "sound/MusicStream.h"

#include <chrono>
#include <vector>

#include "sound/AlSupport.h"

namespace qx {

TMusicStream::TMusicStream(TWaveMixer* mixer) : mixer_(mixer) {
    if (mixer_) mixer_->Attach(this);
}

TMusicStream::~TMusicStream() {
    Stop();
    if (mixer_) mixer_->Detach(this);
}

void TMusicStream::MixerDestroyed() {
    Stop();
    mixer_ = nullptr;
}

bool TMusicStream::CanPlay() const { return mixer_ && mixer_->DirectSoundLoaded(); }

bool TMusicStream::Start(TPull pull, uint32_t rate) {
    Stop();
    if (!CanPlay() || !pull || rate == 0) return false;
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
    }
    queued_ = 0;
    underruns_ = 0;
    playing_ = true;
    feeder_ = std::thread(&TMusicStream::Feed, this, std::move(pull), rate, mixer_->Context());
    return true;
}

void TMusicStream::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (feeder_.joinable()) feeder_.join();
    playing_ = false;
}

void TMusicStream::Feed(TPull pull, uint32_t rate, void* context) {
    // The feeder has the mixer's context as its own, whatever the main
    // thread makes current meanwhile.
    const bool ownContext = al::SetThreadContext(static_cast<ALCcontext*>(context));
    std::vector<int16_t> block(kBlockFrames * 2);
    ALuint source = 0;
    ALuint buffers[kBlocks] = {};
    al::ClearError();
    alGenSources(1, &source);
    alGenBuffers(kBlocks, buffers);
    bool ended = alGetError() != AL_NO_ERROR;
    if (!ended) {
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcef(source, AL_ROLLOFF_FACTOR, 0.f);
        alSource3f(source, AL_POSITION, 0.f, 0.f, 0.f);
        al::ClearError();
    }

    // Fills one buffer from the callback and queues it; false at the end.
    auto fill = [&](ALuint buffer) {
        if (ended) return false;
        const size_t frames = pull(block.data(), kBlockFrames);
        if (frames == 0) {
            ended = true;
            return false;
        }
        alBufferData(buffer, AL_FORMAT_STEREO16, block.data(), static_cast<ALsizei>(frames * 4),
                     static_cast<ALsizei>(rate));
        alSourceQueueBuffers(source, 1, &buffer);
        queued_ += frames;
        return alGetError() == AL_NO_ERROR;
    };

    for (ALuint buffer : buffers)
        if (!fill(buffer)) break;
    alSourcePlay(source);
    al::ClearError();

    std::unique_lock lock(mutex_);
    while (!stop_) {
        lock.unlock();
        ALint processed = 0, queuedBuffers = 0, state = 0;
        alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
        for (; processed > 0; --processed) {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(source, 1, &buffer);
            fill(buffer);
        }
        alGetSourcei(source, AL_BUFFERS_QUEUED, &queuedBuffers);
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        al::ClearError();
        lock.lock();
        if (queuedBuffers == 0 || (ended && state != AL_PLAYING)) break; // all of it has been heard
        if (state != AL_PLAYING) {
            ++underruns_;
            alSourcePlay(source);
        }
        wake_.wait_for(lock, std::chrono::milliseconds(15), [this] { return stop_; });
    }
    lock.unlock();

    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alDeleteSources(1, &source);
    alDeleteBuffers(kBlocks, buffers);
    al::ClearError();
    if (ownContext) al::SetThreadContext(nullptr);
    playing_ = false;
}

} // namespace qx
