#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qx {

// What the mixing device offers, in the terms of the game's capability
// record. The OpenAL adapter fills what OpenAL knows (formats, rates, source
// counts); the hardware figures it has no notion of stay 0.
struct TSoundCaps {
    bool ContinuousRate = false;
    bool EmulDriver = false;
    bool Certified = false;
    bool Primary16Bit = false;
    bool Primary8Bit = false;
    bool PrimaryMono = false;
    bool PrimaryStereo = false;
    bool Secondary16Bit = false;
    bool Secondary8Bit = false;
    bool SecondaryMono = false;
    bool SecondaryStereo = false;
    uint32_t MinSecondarySampleRate = 0;
    uint32_t MaxSecondarySampleRate = 0;
    uint32_t PrimaryBuffers = 0;
    uint32_t MaxHWMixingAllBuffers = 0;
    uint32_t MaxHWMixingStaticBuffers = 0;
    uint32_t MaxHWMixingStreamingBuffers = 0;
    uint32_t FreeHWMixingAllBuffers = 0;
    uint32_t FreeHWMixingStaticBuffers = 0;
    uint32_t FreeHWMixingStreamingBuffers = 0;
    uint32_t MaxHW3DAllBuffers = 0;
    uint32_t MaxHW3DStaticBuffers = 0;
    uint32_t MaxHW3DStreamingBuffers = 0;
    uint32_t FreeHW3DAllBuffers = 0;
    uint32_t FreeHW3DStaticBuffers = 0;
    uint32_t FreeHW3DStreamingBuffers = 0;
    uint32_t TotalHWMemBytes = 0;
    uint32_t FreeHWMemBytes = 0;
    uint32_t MaxContigFreeHWMemBytes = 0;
    uint32_t UnlockTransferRateHWBuffers = 0;
    uint32_t PlayCPUOverheadSWBuffers = 0;
};

// Something that keeps device objects of a mixer (a sound buffer, the music
// stream). The mixer tells it before the device goes away, and when the mixer
// itself is destroyed, so no one is left holding a dead device's objects.
class TMixerClient {
public:
    // The device is about to close: release every device object now.
    virtual void MixerClosing() = 0;
    // The mixer is being destroyed (after MixerClosing): forget it.
    virtual void MixerDestroyed() = 0;
    // The application gained (true) or lost (false) the focus.
    virtual void MixerActivated(bool /*active*/) {}

protected:
    ~TMixerClient() = default;
};

// The mixing sound device: one OpenAL Soft device and context on which every
// sound buffer and the music stream play. When no device can be opened the
// mixer stays without one, reports that once through the message handler
// ("No sound driver is available for use.") and every buffer is silent;
// nothing throws for it.
//
// All calls come from one thread (the user interface's); the device mixes on
// its own thread. ALSOFT_DRIVERS=null gives a silent device that still plays
// in real time (the tests use it).
class TWaveMixer {
public:
    using TMessageHandler = std::function<void(const std::string&)>;

    // Opens the device at once. The handler receives the one message of a
    // failed open; without one it goes to stderr. An empty device name is
    // the system's default output.
    explicit TWaveMixer(TMessageHandler onMessage = {}, std::string deviceName = {});
    ~TWaveMixer();
    TWaveMixer(const TWaveMixer&) = delete;
    TWaveMixer& operator=(const TWaveMixer&) = delete;

    // Releases any device (its buffers drop their device objects first) and
    // opens it again.
    void Open();
    void Close();

    // True while the device is open (the game's name for it).
    bool DirectSoundLoaded() const;
    const TSoundCaps& SoundCaps() const { return caps_; }
    // The message of the last failed open; empty while the device is open.
    const std::string& DeviceMessage() const { return message_; }
    // The name the device reports, empty without one.
    std::string DeviceName() const;

    // Buffers that keep MuteOnDeactivate are silent while the application is
    // not active. The window reports focus changes here.
    bool Active() const { return active_; }
    void SetActive(bool active);

    // For the adapters of this folder. MakeCurrent makes the device's
    // context current for this thread and says whether there is one.
    bool MakeCurrent() const;
    void* Context() const;
    void Attach(TMixerClient* client);
    void Detach(TMixerClient* client);

private:
    struct TDevice;

    void Report(const std::string& message);

    TMessageHandler onMessage_;
    std::string deviceName_;
    std::unique_ptr<TDevice> device_;
    TSoundCaps caps_;
    std::string message_;
    std::vector<TMixerClient*> clients_;
    bool active_ = true;
};

} // namespace qx
