#include "sound/WaveMixer.h"

#include <algorithm>
#include <cstdio>

#include "sound/AlSupport.h"

namespace qx {

struct TWaveMixer::TDevice {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
};

TWaveMixer::TWaveMixer(TMessageHandler onMessage, std::string deviceName)
    : onMessage_(std::move(onMessage)), deviceName_(std::move(deviceName)) {
    Open();
}

TWaveMixer::~TWaveMixer() {
    Close();
    // Each client detaches itself in MixerDestroyed; work on a copy.
    const std::vector<TMixerClient*> clients = clients_;
    for (TMixerClient* client : clients) client->MixerDestroyed();
    clients_.clear();
}

void TWaveMixer::Report(const std::string& message) {
    message_ = message;
    if (onMessage_)
        onMessage_(message);
    else
        std::fprintf(stderr, "sound: %s\n", message.c_str());
}

void TWaveMixer::Open() {
    Close();
    message_.clear();
    auto device = std::make_unique<TDevice>();
    device->device = alcOpenDevice(deviceName_.empty() ? nullptr : deviceName_.c_str());
    if (!device->device) {
        Report(DeviceErrorText(sound_result::kNoDriver));
        return;
    }
    // Panning places mono sources on an arc around the listener; a head
    // model would colour that, so it is switched off where it can be.
    ALCint attributes[3] = {0, 0, 0};
    if (alcIsExtensionPresent(device->device, "ALC_SOFT_HRTF")) {
        attributes[0] = ALC_HRTF_SOFT;
        attributes[1] = ALC_FALSE;
    }
    device->context = alcCreateContext(device->device, attributes);
    if (!device->context) {
        const ALCenum error = alcGetError(device->device);
        alcCloseDevice(device->device);
        Report(DeviceErrorText(al::ResultOfDevice(error == ALC_NO_ERROR ? ALC_INVALID_DEVICE : error)));
        return;
    }
    device_ = std::move(device);
    MakeCurrent();
    alListener3f(AL_POSITION, 0.f, 0.f, 0.f);
    alListenerf(AL_GAIN, 1.f);
    alDistanceModel(AL_NONE);
    al::ClearError();

    ALCint mono = 0, stereo = 0;
    alcGetIntegerv(device_->device, ALC_MONO_SOURCES, 1, &mono);
    alcGetIntegerv(device_->device, ALC_STEREO_SOURCES, 1, &stereo);
    caps_ = TSoundCaps{};
    caps_.ContinuousRate = true;
    caps_.EmulDriver = true; // software mixing
    caps_.Primary16Bit = caps_.Primary8Bit = caps_.PrimaryMono = caps_.PrimaryStereo = true;
    caps_.Secondary16Bit = caps_.Secondary8Bit = caps_.SecondaryMono = caps_.SecondaryStereo = true;
    caps_.MinSecondarySampleRate = 100;
    caps_.MaxSecondarySampleRate = 100000;
    caps_.PrimaryBuffers = 1;
    caps_.MaxHWMixingAllBuffers = static_cast<uint32_t>(std::max(0, mono) + std::max(0, stereo));
    caps_.MaxHWMixingStaticBuffers = caps_.MaxHWMixingAllBuffers;
    caps_.MaxHWMixingStreamingBuffers = static_cast<uint32_t>(std::max(0, stereo));
}

void TWaveMixer::Close() {
    if (!device_) return;
    MakeCurrent();
    const std::vector<TMixerClient*> clients = clients_;
    for (TMixerClient* client : clients) client->MixerClosing();
    if (alcGetCurrentContext() == device_->context) alcMakeContextCurrent(nullptr);
    alcDestroyContext(device_->context);
    alcCloseDevice(device_->device);
    device_.reset();
    caps_ = TSoundCaps{};
}

bool TWaveMixer::DirectSoundLoaded() const { return device_ != nullptr; }

std::string TWaveMixer::DeviceName() const {
    if (!device_) return {};
    const ALCchar* name = alcGetString(device_->device, ALC_DEVICE_SPECIFIER);
    return name ? name : "";
}

void TWaveMixer::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (!MakeCurrent()) return;
    const std::vector<TMixerClient*> clients = clients_;
    for (TMixerClient* client : clients) client->MixerActivated(active);
}

bool TWaveMixer::MakeCurrent() const {
    if (!device_) return false;
    if (alcGetCurrentContext() != device_->context) alcMakeContextCurrent(device_->context);
    return true;
}

void* TWaveMixer::Context() const { return device_ ? device_->context : nullptr; }

void TWaveMixer::Attach(TMixerClient* client) {
    if (client && std::find(clients_.begin(), clients_.end(), client) == clients_.end()) clients_.push_back(client);
}

void TWaveMixer::Detach(TMixerClient* client) {
    clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}

} // namespace qx
