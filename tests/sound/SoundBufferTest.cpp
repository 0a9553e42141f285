#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>

#include "sound/SoundBuffer.h"
#include "sound/SoundError.h"
#include "sound/WaveMixer.h"
#include "tests/sound/NullDevice.h"
#include "tests/sound/WaveImages.h"

namespace qx {
namespace {

using test::PcmImage;
using test::Ramp;
using namespace std::chrono_literals;

// The payload of a sound of `ms` milliseconds: the 8 lead-in bytes, then samples.
std::vector<uint8_t> Sound(uint32_t rate, uint16_t bits, uint32_t ms) {
    return PcmImage(1, rate, bits, Ramp(8 + rate * ms / 1000 * bits / 8));
}

class SoundBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        mixer_ = std::make_unique<TWaveMixer>([this](const std::string& text) { messages_.push_back(text); });
        ASSERT_TRUE(mixer_->DirectSoundLoaded()) << "the null backend of OpenAL Soft should open";
        ASSERT_TRUE(messages_.empty());
    }
    std::unique_ptr<TWaveMixer> mixer_;
    std::vector<std::string> messages_;
};

TEST(SoundFormulas, GainPanAndRateAtTheirEnds) {
    EXPECT_FLOAT_EQ(TSoundBuffer::GainOf(0), 1.f);
    EXPECT_FLOAT_EQ(TSoundBuffer::GainOf(-2000), 0.1f);
    EXPECT_FLOAT_EQ(TSoundBuffer::GainOf(-1000), static_cast<float>(std::pow(10.0, -0.5)));
    EXPECT_FLOAT_EQ(TSoundBuffer::GainOf(-10000), 0.f) << "the bottom of the range is silence";
    EXPECT_FLOAT_EQ(TSoundBuffer::GainOf(-32768), 0.f);
    EXPECT_FLOAT_EQ(TSoundBuffer::GainOf(-9999), static_cast<float>(std::pow(10.0, -9999 / 2000.0)));
    EXPECT_FLOAT_EQ(TSoundBuffer::GainOf(500), 1.f) << "no amplification above 0";

    using P = std::array<float, 3>;
    auto near = [](const P& a, const P& b) {
        return std::abs(a[0] - b[0]) < 1e-6 && std::abs(a[1] - b[1]) < 1e-6 && std::abs(a[2] - b[2]) < 1e-6;
    };
    EXPECT_TRUE(near(TSoundBuffer::PositionOf(0), P{0, 0, -1}));
    EXPECT_TRUE(near(TSoundBuffer::PositionOf(10000), P{1, 0, 0}));
    EXPECT_TRUE(near(TSoundBuffer::PositionOf(-10000), P{-1, 0, 0}));
    EXPECT_TRUE(near(TSoundBuffer::PositionOf(5000), P{0.5f, 0, static_cast<float>(-std::sqrt(0.75))}));
    EXPECT_TRUE(near(TSoundBuffer::PositionOf(30000), P{1, 0, 0}));
    EXPECT_TRUE(near(TSoundBuffer::PositionOf(-30000), P{-1, 0, 0}));

    EXPECT_EQ(TSoundBuffer::RateOf(8000, 1), 100u);
    EXPECT_EQ(TSoundBuffer::RateOf(11025, 2000), 100000u);
    EXPECT_EQ(TSoundBuffer::RateOf(8012, 115), 9214u); // 9213.8
    EXPECT_EQ(TSoundBuffer::RateOf(8001, 50), 4000u);  // 4000.5: halves go to the even neighbour
    EXPECT_EQ(TSoundBuffer::RateOf(8003, 50), 4002u);  // 4001.5
    EXPECT_EQ(TSoundBuffer::RateOf(8000, -50), 100u);
    EXPECT_EQ(TSoundBuffer::RateOf(8000, 0), 100u);
    EXPECT_EQ(TSoundBuffer::RateOf(4000000000u, 2147483647), 100000u) << "no overflow at the top";
}

TEST_F(SoundBufferTest, TheDeviceGetsGainPanAndPitch) {
    TSoundBuffer buffer(mixer_.get());
    buffer.LoadFromMemory(Sound(8000, 8, 100));
    EXPECT_FALSE(buffer.HasDeviceBuffer()) << "made on first use";
    buffer.SetVolume(-2000);
    ASSERT_TRUE(buffer.HasDeviceBuffer());
    EXPECT_NEAR(buffer.DeviceState().Gain, 0.1f, 1e-6);
    buffer.SetVolume(-20000);
    EXPECT_EQ(buffer.Volume(), -10000);
    EXPECT_EQ(buffer.DeviceState().Gain, 0.f);
    buffer.SetVolume(300);
    EXPECT_EQ(buffer.Volume(), 0);
    EXPECT_NEAR(buffer.DeviceState().Gain, 1.f, 1e-6);

    buffer.SetPanning(25000);
    EXPECT_EQ(buffer.Panning(), 10000);
    auto state = buffer.DeviceState();
    EXPECT_NEAR(state.Position[0], 1.f, 1e-6);
    EXPECT_NEAR(state.Position[2], 0.f, 1e-6);
    buffer.SetPanning(-5000);
    state = buffer.DeviceState();
    EXPECT_NEAR(state.Position[0], -0.5f, 1e-6);
    EXPECT_NEAR(state.Position[2], -std::sqrt(0.75f), 1e-6);

    // 1 % of 8000 Hz is 80 Hz, held at 100 Hz, which is 1.25 %: reads back 1.
    buffer.SetFrequencyPct(1);
    EXPECT_EQ(buffer.FrequencyPct(), 1);
    EXPECT_NEAR(buffer.DeviceState().Pitch, 100.f / 8000, 1e-6);
    buffer.SetFrequencyPct(115);
    EXPECT_EQ(buffer.FrequencyPct(), 115);
    EXPECT_NEAR(buffer.DeviceState().Pitch, 1.15f, 1e-6);

    TSoundBuffer fast(mixer_.get());
    fast.LoadFromMemory(Sound(11025, 8, 50));
    fast.SetFrequencyPct(2000);
    EXPECT_EQ(fast.FrequencyPct(), 907) << "100000 Hz is 907 % of 11025 Hz";
    EXPECT_NEAR(fast.DeviceState().Pitch, 100000.f / 11025, 1e-4);
    EXPECT_EQ(fast.DeviceState().BufferRate, 11025u);

    // A wave of 200 Hz cannot be played 500 times as fast: it is held to
    // the device's 255 times, and reads back as such.
    TSoundBuffer slow(mixer_.get());
    slow.LoadFromMemory(Sound(200, 8, 100));
    slow.SetFrequencyPct(50000);
    EXPECT_EQ(slow.FrequencyPct(), 25500);
    EXPECT_NEAR(slow.DeviceState().Pitch, 255.f, 1e-3);
}

TEST_F(SoundBufferTest, ARecreatedBufferKeepsItsRate) {
    TSoundBuffer buffer(mixer_.get());
    buffer.LoadFromMemory(Sound(8000, 8, 100));
    buffer.SetFrequencyPct(150);
    ASSERT_NEAR(buffer.DeviceState().Pitch, 1.5f, 1e-6);
    buffer.LoadFromMemory(Sound(8000, 16, 100)); // drops the device buffer
    EXPECT_FALSE(buffer.HasDeviceBuffer());
    buffer.Play();
    EXPECT_NEAR(buffer.DeviceState().Pitch, 1.5f, 1e-6);
    EXPECT_EQ(buffer.FrequencyPct(), 150);

    mixer_->Close();
    mixer_->Open();
    EXPECT_FALSE(buffer.HasDeviceBuffer()) << "a reopened device starts without the old objects";
    buffer.SetPanning(2000);
    EXPECT_NEAR(buffer.DeviceState().Pitch, 1.5f, 1e-6);
}

TEST_F(SoundBufferTest, RefusesWhatTheDeviceCannotPlayBeforeMakingABuffer) {
    struct TBad {
        uint16_t tag, channels;
        uint32_t rate;
        uint16_t bits;
    };
    for (const TBad& bad : {TBad{1, 1, 0, 8}, TBad{1, 1, 8000, 12}, TBad{1, 4, 8000, 8}, TBad{3, 1, 8000, 32}}) {
        test::TImageBuilder body;
        body.Chunk("fmt ", test::TImageBuilder::Format(bad.tag, bad.channels, bad.rate, bad.bits))
            .Chunk("data", Ramp(100));
        TSoundBuffer buffer(mixer_.get());
        buffer.LoadFromMemory(test::TImageBuilder::Riff(body.Data()));
        try {
            buffer.Play();
            ADD_FAILURE() << "played a wave of " << bad.rate << " Hz, " << bad.bits << " bits";
        } catch (const EMixerError& error) {
            EXPECT_STREQ(error.what(), "The specified wave format is not supported.");
        }
        EXPECT_FALSE(buffer.HasDeviceBuffer());
        EXPECT_EQ(buffer.FrequencyPct(), 100) << "nothing divided by the rate";
    }
}

TEST_F(SoundBufferTest, OnlyWholeFramesReachTheDeviceAndEmptyWavesPlayNothing) {
    TSoundBuffer buffer(mixer_.get());
    buffer.LoadFromMemory(PcmImage(2, 8000, 16, Ramp(8 + 4003)));
    ASSERT_TRUE(buffer.Prepare());
    EXPECT_EQ(buffer.DeviceState().BufferBytes, 4000u);

    for (size_t payload : {0u, 5u, 8u, 9u}) { // the last: one byte of a 16-bit frame
        TSoundBuffer empty(mixer_.get());
        empty.LoadFromMemory(PcmImage(1, 8000, 16, Ramp(payload)));
        empty.Play();
        empty.PlayLooped();
        EXPECT_FALSE(empty.HasDeviceBuffer()) << payload;
        EXPECT_FALSE(empty.IsPlaying());
        EXPECT_EQ(empty.Position(), 0u);
    }
    TSoundBuffer none(mixer_.get());
    none.Play();
    EXPECT_FALSE(none.HasDeviceBuffer());
}

TEST_F(SoundBufferTest, ClonesShareOneDeviceBufferUntilTheLastLetsGo) {
    TSoundBuffer original(mixer_.get()), clone(mixer_.get());
    original.LoadFromMemory(Sound(8012, 8, 200));
    clone.SetCloneBuffer(&original);
    clone.SetFrequencyPct(86);
    clone.Play();
    ASSERT_TRUE(clone.HasDeviceBuffer());
    ASSERT_TRUE(original.HasDeviceBuffer()) << "the clone made the original's buffer to share it";
    const uint32_t shared = original.DeviceState().Buffer;
    EXPECT_EQ(clone.DeviceState().Buffer, shared);
    EXPECT_NEAR(clone.DeviceState().Pitch, 0.86f, 1e-4) << "the clone's rate is of the shared samples";
    EXPECT_TRUE(clone.IsPlaying());
    EXPECT_FALSE(original.IsPlaying()) << "each has its own voice";

    // The original lets go of its samples; the clone still plays them.
    original.SetHasWaveData(false);
    EXPECT_FALSE(original.HasDeviceBuffer());
    EXPECT_TRUE(clone.IsLiveDeviceBuffer(shared));
    clone.Play();
    EXPECT_TRUE(clone.IsPlaying());
    // The last user lets go: the samples are freed.
    clone.SetCloneBuffer(nullptr);
    EXPECT_FALSE(clone.HasDeviceBuffer());
    EXPECT_FALSE(clone.IsLiveDeviceBuffer(shared));

    // A clone of an empty buffer plays nothing.
    clone.SetCloneBuffer(&original);
    clone.Play();
    EXPECT_FALSE(clone.HasDeviceBuffer());
    EXPECT_FALSE(clone.IsPlaying());
}

TEST_F(SoundBufferTest, CloningItselfOrInACircleIsRefused) {
    TSoundBuffer a(mixer_.get()), b(mixer_.get()), c(mixer_.get());
    auto message = [](auto&& assign) -> std::string {
        try {
            assign();
        } catch (const std::invalid_argument& error) {
            return error.what();
        }
        return "(accepted)";
    };
    EXPECT_EQ(message([&] { a.SetCloneBuffer(&a); }), "Cannot assign self as parameter value");
    b.SetCloneBuffer(&a);
    EXPECT_EQ(message([&] { a.SetCloneBuffer(&b); }), "Circular reference in assignment of CloneBuffer");
    c.SetCloneBuffer(&b);
    EXPECT_EQ(message([&] { a.SetCloneBuffer(&c); }), "Circular reference in assignment of CloneBuffer");
    EXPECT_EQ(a.CloneBuffer(), nullptr) << "a refused assignment changes nothing";
    EXPECT_EQ(message([&] { c.SetCloneBuffer(&a); }), "(accepted)") << "re-pointing along the chain is fine";

    // Destroying a buffer clears the links of those that clone it.
    auto d = std::make_unique<TSoundBuffer>(mixer_.get());
    d->LoadFromMemory(Sound(8000, 8, 100));
    a.SetCloneBuffer(d.get());
    a.Play();
    ASSERT_TRUE(a.HasDeviceBuffer());
    d.reset();
    EXPECT_EQ(a.CloneBuffer(), nullptr);
    EXPECT_FALSE(a.HasDeviceBuffer());
    a.Play(); // its own (empty) wave: nothing
    EXPECT_FALSE(a.IsPlaying());

    // Samples of one device cannot be shared on another.
    TWaveMixer other([](const std::string&) {});
    TSoundBuffer original(mixer_.get()), stranger(&other);
    original.LoadFromMemory(Sound(8000, 8, 100));
    stranger.SetCloneBuffer(&original);
    EXPECT_THROW(stranger.Play(), EMixerError);
    EXPECT_FALSE(stranger.HasDeviceBuffer());
}

TEST_F(SoundBufferTest, LoopsUntilStoppedAndKeepsItsPosition) {
    TSoundBuffer buffer(mixer_.get());
    buffer.LoadFromMemory(Sound(8000, 16, 100)); // 1600 bytes
    buffer.PlayLooped();
    ASSERT_TRUE(buffer.IsPlaying());
    EXPECT_TRUE(buffer.DeviceState().Looping);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(buffer.IsPlaying()) << "a looping sound outlasts its length";
    EXPECT_LT(buffer.Position(), 1600u);

    buffer.Stop();
    EXPECT_FALSE(buffer.IsPlaying());
    const uint32_t held = buffer.Position();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(buffer.Position(), held) << "Stop halts where it is";

    buffer.SetPosition(801);
    EXPECT_EQ(buffer.Position(), 800u) << "moved to a whole 16-bit frame";
    buffer.SetPosition(1u << 30);
    EXPECT_EQ(buffer.Position(), 1598u) << "held to the last frame";

    // Play is once, from the start.
    buffer.Play();
    EXPECT_TRUE(buffer.IsPlaying());
    EXPECT_FALSE(buffer.DeviceState().Looping);
    EXPECT_LT(buffer.Position(), 800u);
    std::this_thread::sleep_for(100ms + 200ms);
    EXPECT_FALSE(buffer.IsPlaying());

    // Looping a sound already playing keeps its place.
    buffer.Play();
    std::this_thread::sleep_for(50ms);
    buffer.PlayLooped();
    EXPECT_GT(buffer.Position(), 0u);
    buffer.Stop();
}

TEST_F(SoundBufferTest, SynchronousPlayReturnsWhenTheSoundEnds) {
    TSoundBuffer buffer(mixer_.get());
    buffer.LoadFromMemory(Sound(8000, 8, 200));
    buffer.Synchronous = true;
    auto start = std::chrono::steady_clock::now();
    buffer.Play();
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(buffer.IsPlaying());
    EXPECT_GE(took, 150ms);
    EXPECT_LT(took, 200ms + std::chrono::milliseconds(TSoundBuffer::kSyncMarginMs) + 100ms);

    // At twice the rate it lasts half as long, and the cap follows the rate.
    buffer.SetFrequencyPct(200);
    start = std::chrono::steady_clock::now();
    buffer.Play();
    took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 100ms + std::chrono::milliseconds(TSoundBuffer::kSyncMarginMs) + 100ms);
    EXPECT_GE(took, 60ms);
}

TEST_F(SoundBufferTest, BuffersThatMuteOnDeactivateFallSilentWithoutTheFocus) {
    TSoundBuffer muting(mixer_.get()), global(mixer_.get());
    muting.LoadFromMemory(Sound(8000, 8, 100));
    global.LoadFromMemory(Sound(8000, 8, 100));
    global.SetMuteOnDeactivate(false);
    muting.SetVolume(0);
    global.SetVolume(0);
    mixer_->SetActive(false);
    EXPECT_EQ(muting.DeviceState().Gain, 0.f);
    EXPECT_EQ(global.DeviceState().Gain, 1.f);
    muting.SetVolume(-2000);
    EXPECT_EQ(muting.DeviceState().Gain, 0.f) << "still muted";
    mixer_->SetActive(true);
    EXPECT_NEAR(muting.DeviceState().Gain, 0.1f, 1e-6);
}

TEST_F(SoundBufferTest, ADestroyedMixerLeavesItsBuffersSilentButUsable) {
    TSoundBuffer buffer(mixer_.get());
    buffer.LoadFromMemory(Sound(8000, 8, 100));
    buffer.PlayLooped();
    ASSERT_TRUE(buffer.IsPlaying());
    mixer_.reset();
    EXPECT_EQ(buffer.WaveMixer(), nullptr);
    EXPECT_FALSE(buffer.HasDeviceBuffer());
    EXPECT_NO_THROW(buffer.Play());
    EXPECT_FALSE(buffer.IsPlaying());
}

TEST(SoundWithoutDevice, GoesOnSilentAfterOneMessage) {
    std::vector<std::string> messages;
    TWaveMixer mixer([&](const std::string& text) { messages.push_back(text); }, test::kNoSuchDevice);
    EXPECT_FALSE(mixer.DirectSoundLoaded());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "No sound driver is available for use.");
    EXPECT_EQ(mixer.DeviceMessage(), messages[0]);
    EXPECT_EQ(mixer.SoundCaps().MaxSecondarySampleRate, 0u);

    TSoundBuffer buffer(&mixer), clone(&mixer);
    buffer.LoadFromMemory(Sound(8000, 8, 100));
    clone.SetCloneBuffer(&buffer);
    // Even a format no device takes: with no device nothing is asked of one.
    TSoundBuffer odd(&mixer);
    odd.LoadFromMemory(PcmImage(1, 0, 12, Ramp(100)));
    for (TSoundBuffer* b : {&buffer, &clone, &odd}) {
        EXPECT_NO_THROW(b->Play());
        EXPECT_NO_THROW(b->PlayLooped());
        EXPECT_NO_THROW(b->Stop());
        EXPECT_NO_THROW(b->SetVolume(-20000));
        EXPECT_NO_THROW(b->SetPanning(20000));
        EXPECT_NO_THROW(b->SetFrequencyPct(2000));
        EXPECT_NO_THROW(b->SetPosition(10));
        EXPECT_FALSE(b->IsPlaying());
        EXPECT_EQ(b->Position(), 0u);
        EXPECT_FALSE(b->HasDeviceBuffer());
        EXPECT_EQ(b->Volume(), -10000);
        EXPECT_EQ(b->Panning(), 10000);
        EXPECT_EQ(b->FrequencyPct(), 2000) << "kept as asked; there is no device rate to hold it to";
    }
    {
        buffer.Synchronous = true;
        const auto start = std::chrono::steady_clock::now();
        buffer.Play();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms) << "nothing to wait for";
    }
    mixer.SetActive(false);
    EXPECT_EQ(messages.size(), 1u) << "one message, not one per sound";
}

TEST(SoundWithoutDevice, ABufferWithoutMixerIsSilent) {
    TSoundBuffer buffer;
    buffer.LoadFromMemory(Sound(8000, 8, 100));
    EXPECT_NO_THROW(buffer.Play());
    EXPECT_FALSE(buffer.IsPlaying());
    EXPECT_FALSE(buffer.Prepare());
}

} // namespace
} // namespace qx
