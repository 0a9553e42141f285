#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "sound/GameSounds.h"
#include "tests/sound/MidiBytes.h"
#include "tests/sound/NullDevice.h"
#include "tests/sound/WaveImages.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

class GameSoundsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("qx-gamesounds-" + std::to_string(::getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        // Every sound of the table as a wave of its format, but the error
        // sound is missing, the click is not a wave and the button has a
        // format no device takes.
        for (const TGameSoundEntry& entry : GameSoundTable()) {
            const std::string path = (folder_ / entry.FileName).string();
            if (entry.Sound == TGameSound::Error) continue;
            if (entry.Sound == TGameSound::Click) {
                test::WriteBytes(path, {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '});
                continue;
            }
            const uint16_t bits = entry.Sound == TGameSound::Button ? 12 : entry.BitsPerSample;
            test::WriteBytes(path, test::PcmImage(1, entry.SamplesPerSecond, bits, test::Ramp(8 + entry.WaveSize)));
        }
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
    std::vector<std::string> messages_;
    TGameSounds::TMessageHandler Collect() {
        return [this](const std::string& text) { messages_.push_back(text); };
    }
};

TEST_F(GameSoundsTest, LoadsTheTableAndNamesWhatItCouldNotLoadInOneMessage) {
    TGameSounds sounds(folder_.string(), Collect());
    ASSERT_TRUE(sounds.Mixer().DirectSoundLoaded());
    ASSERT_EQ(messages_.size(), 1u);
    for (const char* name : {"sndError.wav", "sndClick.wav", "sndButton.wav"})
        EXPECT_NE(messages_[0].find(name), std::string::npos) << messages_[0];
    EXPECT_NE(messages_[0].find("The specified wave format is not supported."), std::string::npos);
    EXPECT_EQ(sounds.Problems().size(), 3u);

    for (const TGameSoundEntry& entry : GameSoundTable()) {
        TSoundBuffer& buffer = sounds.Buffer(entry.Sound);
        EXPECT_EQ(buffer.Volume(), entry.Volume) << entry.Name;
        EXPECT_EQ(buffer.Panning(), entry.Panning) << entry.Name;
        const bool loaded = entry.Sound != TGameSound::Error && entry.Sound != TGameSound::Click &&
                            entry.Sound != TGameSound::Button;
        EXPECT_EQ(buffer.HasDeviceBuffer(), loaded) << entry.Name;
        if (loaded) {
            EXPECT_EQ(buffer.WaveSize(), entry.WaveSize);
        }
    }
    const auto clickOn = sounds.Buffer(TGameSound::ClickOn).DeviceState();
    EXPECT_NEAR(clickOn.Gain, std::pow(10.0, -0.1), 1e-5);
    EXPECT_NEAR(clickOn.Position[0], -0.8, 1e-6);

    // The sounds that could not load are silent; nothing throws, no new message.
    for (TGameSound silent : {TGameSound::Error, TGameSound::Click, TGameSound::Button}) {
        EXPECT_NO_THROW(sounds.Play(silent));
        EXPECT_FALSE(sounds.IsPlaying(silent));
    }
    EXPECT_EQ(messages_.size(), 1u);
    sounds.Play(TGameSound::Confirmed);
    EXPECT_TRUE(sounds.IsPlaying(TGameSound::Confirmed));
}

TEST_F(GameSoundsTest, EventSoundsTakeTheirPanAndRateAndTheSwitchSilencesEverything) {
    TGameSounds sounds(folder_.string(), Collect());
    sounds.Play(TGameSound::WormHole, -150, 86);
    EXPECT_TRUE(sounds.IsPlaying(TGameSound::WormHole));
    EXPECT_EQ(sounds.Buffer(TGameSound::WormHole).Panning(), -150);
    EXPECT_EQ(sounds.Buffer(TGameSound::WormHole).FrequencyPct(), 86);
    EXPECT_NEAR(sounds.Buffer(TGameSound::WormHole).DeviceState().Pitch, 0.86, 1e-4);

    sounds.PlayLooped(TGameSound::Dragging);
    EXPECT_TRUE(sounds.IsPlaying(TGameSound::Dragging));
    sounds.Stop(TGameSound::Dragging);
    EXPECT_FALSE(sounds.IsPlaying(TGameSound::Dragging));
    sounds.PlayLooped(TGameSound::Dragging);

    sounds.SetEnabled(false);
    EXPECT_FALSE(sounds.IsPlaying(TGameSound::Dragging)) << "switching sound off stops the loop";
    EXPECT_FALSE(sounds.IsPlaying(TGameSound::WormHole));
    sounds.Play(TGameSound::Capital);
    sounds.PlayLooped(TGameSound::Dragging);
    sounds.Play(TGameSound::Blast1, 100, 110);
    EXPECT_FALSE(sounds.IsPlaying(TGameSound::Capital));
    EXPECT_FALSE(sounds.IsPlaying(TGameSound::Dragging));
    EXPECT_FALSE(sounds.IsPlaying(TGameSound::Blast1));
    sounds.SetEnabled(true);
    sounds.Play(TGameSound::Capital);
    EXPECT_TRUE(sounds.IsPlaying(TGameSound::Capital));
}

TEST_F(GameSoundsTest, WithoutADeviceOnlyThatIsSaid) {
    TGameSounds sounds(folder_.string(), Collect(), test::kNoSuchDevice);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "No sound driver is available for use.");
    for (const TGameSoundEntry& entry : GameSoundTable()) {
        EXPECT_NO_THROW(sounds.Play(entry.Sound));
        EXPECT_NO_THROW(sounds.Play(entry.Sound, 149, 115));
        EXPECT_NO_THROW(sounds.PlayLooped(entry.Sound));
        EXPECT_NO_THROW(sounds.Stop(entry.Sound));
        EXPECT_FALSE(sounds.IsPlaying(entry.Sound));
    }
    EXPECT_EQ(messages_.size(), 1u);
}

} // namespace
} // namespace qx
