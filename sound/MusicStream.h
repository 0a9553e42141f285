#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "sound/WaveMixer.h"

namespace qx {

// Streams 16-bit stereo samples into an OpenAL source of a mixer from a small
// feeder thread of its own, so the music keeps playing smoothly while the
// main thread is busy (a brain thinking, a long frame). The feeder pulls
// blocks from a callback, keeps a few queued ahead and restarts the source
// after an underrun.
class TMusicStream : private TMixerClient {
public:
    // Fills `out` with up to `frames` stereo frames and returns how many; 0
    // means the music has ended. Called on the feeder thread only.
    using TPull = std::function<size_t(int16_t* out, size_t frames)>;

    static constexpr size_t kBlockFrames = 4096;
    static constexpr int kBlocks = 4;

    explicit TMusicStream(TWaveMixer* mixer);
    ~TMusicStream();
    TMusicStream(const TMusicStream&) = delete;
    TMusicStream& operator=(const TMusicStream&) = delete;

    // True when there is a mixer with a device to stream to.
    bool CanPlay() const;
    // Stops what plays and starts streaming from `pull` at `rate` Hz; false
    // (and nothing started) without a device.
    bool Start(TPull pull, uint32_t rate);
    // Stops the stream and waits for the feeder to end. Afterwards nothing
    // calls the pull callback any more.
    void Stop();
    // True from Start until the last block has been played (or Stop).
    bool IsPlaying() const { return playing_; }
    // Frames handed to the device so far.
    uint64_t FramesQueued() const { return queued_; }
    // Times the device ran dry and had to be restarted.
    uint32_t Underruns() const { return underruns_; }

private:
    void Feed(TPull pull, uint32_t rate, void* context);

    void MixerClosing() override { Stop(); }
    void MixerDestroyed() override;

    TWaveMixer* mixer_;
    std::thread feeder_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::atomic<bool> playing_{false};
    std::atomic<uint64_t> queued_{0};
    std::atomic<uint32_t> underruns_{0};
};

} // namespace qx
