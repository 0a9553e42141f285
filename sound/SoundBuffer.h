#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound/Wave.h"
#include "sound/WaveMixer.h"

namespace qx {

// A wave that plays on a mixer: its samples go into a device buffer of its
// own (an OpenAL buffer and source, made on first use), so many sounds play
// at once, each with its volume, pan and rate. A buffer can share another
// buffer's samples instead (CloneBuffer); shared samples live as long as any
// buffer uses them.
//
// Without a mixer, or on a mixer without a device, every operation is silent
// and nothing throws. With a device, a wave the device cannot take (a format
// other than 8/16-bit PCM in one or two channels at a rate above 0) is
// refused with EMixerError "The specified wave format is not supported."
// before any device buffer is made. An empty wave plays nothing.
//
// Volume is in hundredths of a decibel (-10000 silent .. 0), Panning from
// -10000 (left) to 10000 (right), FrequencyPct the playback rate in percent
// of the wave's own rate (the rate is held within 100..100000 Hz, and to at
// most 255 times the wave's own rate, the most OpenAL Soft plays).
class TSoundBuffer : public TWave, private TMixerClient {
public:
    static constexpr int kMinVolume = -10000;
    static constexpr int kMaxVolume = 0;
    static constexpr int kMaxPanning = 10000;
    static constexpr uint32_t kMinRate = 100;
    static constexpr uint32_t kMaxRate = 100000;
    // OpenAL Soft does not honour a pitch above this.
    static constexpr float kMaxPitch = 255.f;
    // What a synchronous Play waits beyond the sound's own length at most.
    static constexpr uint32_t kSyncMarginMs = 250;

    explicit TSoundBuffer(TWaveMixer* mixer = nullptr);
    ~TSoundBuffer() override;

    TWaveMixer* WaveMixer() const { return mixer_; }
    void SetWaveMixer(TWaveMixer* mixer);

    // Shares the samples of another buffer. A buffer cannot clone itself
    // ("Cannot assign self as parameter value") nor close a chain of clones
    // ("Circular reference in assignment of CloneBuffer"); both raise
    // std::invalid_argument and change nothing. Null clears it.
    TSoundBuffer* CloneBuffer() const { return clone_; }
    void SetCloneBuffer(TSoundBuffer* other);

    int Volume() const { return volume_; }
    void SetVolume(int volume); // clamped to -10000..0
    int Panning() const { return panning_; }
    void SetPanning(int panning); // clamped to -10000..10000
    int32_t FrequencyPct() const { return frequencyPct_; }
    void SetFrequencyPct(int32_t percent);
    bool MuteOnDeactivate() const { return muteOnDeactivate_; }
    void SetMuteOnDeactivate(bool mute);

    // The play cursor in bytes of the samples (0 without a device buffer);
    // writing moves it (to a whole frame).
    uint32_t Position();
    void SetPosition(uint32_t bytes);

    void LoadFromMemory(const void* data, size_t size) override;
    using TWave::LoadFromMemory;
    void LoadFromFile(const std::string& path) override;
    void SetHasWaveData(bool value) override;

    // Plays the sound once from its start (with Synchronous: returns when it
    // has finished, after at most its length plus kSyncMarginMs).
    void Play();
    // Plays it round and round until Stop; a sound already playing keeps its
    // place and just loops from then on.
    void PlayLooped();
    // Halts it where it is (Position stays).
    void Stop();
    bool IsPlaying();

    // True when a device buffer exists (it is made on first use).
    bool HasDeviceBuffer() const { return source_ != 0; }
    // Makes the device buffer now if it can be made; returns HasDeviceBuffer().
    bool Prepare();

    // The formulas the device is given.
    static float GainOf(int volume);                     // 10^(Volume/2000); 0 at -10000
    static std::array<float, 3> PositionOf(int panning); // (x, 0, -sqrt(1-x²)), x = Panning/10000
    // The rate a percentage asks of a wave of the given rate, rounded
    // (halves to even) and held within 100..100000 Hz.
    static uint32_t RateOf(uint32_t samplesPerSecond, int32_t percent);

    // What the device was told, read back from it (for checks and
    // diagnostics); Exists false without a device buffer.
    struct TDeviceState {
        bool Exists = false;
        float Gain = 0;
        std::array<float, 3> Position{};
        float Pitch = 0;
        bool Looping = false;
        uint32_t Buffer = 0;        // the OpenAL buffer, shared by clones
        uint32_t BufferBytes = 0;   // bytes it holds
        uint32_t BufferRate = 0;    // its sample rate
    };
    TDeviceState DeviceState();
    // True while the OpenAL buffer name is a live buffer of the mixer's device.
    bool IsLiveDeviceBuffer(uint32_t buffer) const;

private:
    struct TSamples;

    // Makes the device buffer when it can; returns whether there is one.
    bool Ensure();
    void DropDeviceBuffer();
    void ApplyVolume();
    void ApplyPanning();
    void ApplyRate();
    // The rate of the samples the device buffer plays (a clone's source).
    uint32_t PlayedRate() const;
    uint32_t PlayedDurationMs() const;

    void MixerClosing() override;
    void MixerDestroyed() override;
    void MixerActivated(bool active) override;

    TWaveMixer* mixer_ = nullptr;
    TSoundBuffer* clone_ = nullptr;
    std::vector<TSoundBuffer*> clonedBy_;
    int volume_ = -1000;
    int panning_ = 0;
    int32_t frequencyPct_ = 100;
    bool muteOnDeactivate_ = true;

    uint32_t source_ = 0;
    std::shared_ptr<TSamples> samples_;
};

} // namespace qx
