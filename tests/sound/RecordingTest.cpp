// Plays through OpenAL Soft's wave-file backend, which records what the
// device mixes into a wave file (in real time), and reads the recording back.
// The backend is chosen by a configuration file named in ALSOFT_CONF before
// the library opens its first device, so this program sets it up at start.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "sound/MediaPlayerEx.h"
#include "sound/SoundBuffer.h"
#include "sound/Wave.h"
#include "sound/WaveMixer.h"
#include "tests/sound/WaveImages.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A folder of this process for the configuration and the recording.
struct TRecorder {
    fs::path folder;
    fs::path recording;
    TRecorder() {
        folder = fs::temp_directory_path() / ("qx-recording-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        recording = folder / "mixed.wav";
        const fs::path conf = folder / "alsoft.conf";
        std::ofstream(conf) << "[general]\ndrivers = wave\nchannels = stereo\nsample-type = int16\nhrtf = false\n"
                               "[wave]\nfile = "
                            << recording.string() << "\n";
        ::setenv("ALSOFT_CONF", conf.c_str(), 1);
        ::unsetenv("ALSOFT_DRIVERS");
    }
    ~TRecorder() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};
const TRecorder kRecorder;

struct TChannels {
    std::vector<double> left, right;
    double Level(const std::vector<double>& x) const {
        double sum = 0;
        for (double v : x) sum += v * v;
        return x.empty() ? 0 : std::sqrt(sum / x.size());
    }
};

// The recording, read with the game's own wave parser.
TChannels ReadRecording() {
    TWave wave;
    wave.LoadFromFile(kRecorder.recording.string());
    EXPECT_EQ(wave.Channels(), 2);
    EXPECT_EQ(wave.BitsPerSample(), 16);
    TChannels out;
    const uint8_t* s = wave.Samples();
    for (uint32_t i = 0; s && i + 3 < wave.WaveSize(); i += 4) {
        out.left.push_back(static_cast<int16_t>(s[i] | s[i + 1] << 8));
        out.right.push_back(static_cast<int16_t>(s[i + 2] | s[i + 3] << 8));
    }
    return out;
}

std::vector<uint8_t> Tone(uint32_t rate, double hz, double seconds) {
    std::vector<uint8_t> payload(8, 0);
    for (uint32_t i = 0; i < rate * seconds; ++i) {
        const auto v = static_cast<int16_t>(20000 * std::sin(6.283185307 * hz * i / rate));
        payload.push_back(static_cast<uint8_t>(v & 0xFF));
        payload.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return test::PcmImage(1, rate, 16, payload);
}

TChannels RecordPanned(int panning) {
    {
        TWaveMixer mixer([](const std::string& m) { ADD_FAILURE() << m; });
        EXPECT_TRUE(mixer.DirectSoundLoaded());
        TSoundBuffer buffer(&mixer);
        buffer.LoadFromMemory(Tone(8000, 440, 0.3));
        buffer.SetVolume(0);
        buffer.SetPanning(panning);
        buffer.Synchronous = true;
        buffer.Play();
    } // closing the device completes the recording
    return ReadRecording();
}

TEST(WaveBackendRecording, ASoundPannedRightIsLouderOnTheRight) {
    const TChannels right = RecordPanned(10000);
    ASSERT_GT(right.left.size(), 44100u / 5) << "a fifth of a second or more was recorded";
    EXPECT_GT(right.Level(right.right), 1000) << "the tone was heard";
    EXPECT_GT(right.Level(right.right), 4 * right.Level(right.left));

    const TChannels left = RecordPanned(-10000);
    EXPECT_GT(left.Level(left.left), 4 * left.Level(left.right));

    const TChannels centre = RecordPanned(0);
    const double ratio = centre.Level(centre.left) / centre.Level(centre.right);
    EXPECT_NEAR(ratio, 1.0, 0.1);
}

TEST(WaveBackendRecording, AGeneratedPieceIsHeardThroughTheMixer) {
    const std::string path = QX_BINARY_DIR "/data/music/Title.mid";
    if (!fs::exists(path)) GTEST_SKIP() << "the generated music is made by assetgen (needs Qt)";
    {
        TWaveMixer mixer([](const std::string& m) { ADD_FAILURE() << m; });
        TRandom random(1);
        TMediaPlayerEx player(&mixer, random);
        ASSERT_TRUE(player.PlayFile(path)) << player.LastError();
        std::this_thread::sleep_for(1500ms);
        EXPECT_TRUE(player.IsPlaying());
        player.Close();
    }
    const TChannels music = ReadRecording();
    ASSERT_GT(music.left.size(), 44100u);
    // The last second of what was recorded.
    const std::vector<double> tail(music.left.end() - 44100, music.left.end());
    const std::vector<double> tailRight(music.right.end() - 44100, music.right.end());
    EXPECT_GT(music.Level(tail), 150);
    EXPECT_GT(music.Level(tailRight), 150);
}

} // namespace
} // namespace qx
