#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "base/Random.h"
#include "sound/MediaPlayerEx.h"
#include "sound/MidiRenderer.h"
#include "sound/MusicStream.h"
#include "sound/WaveMixer.h"
#include "tests/sound/MidiBytes.h"
#include "tests/sound/NullDevice.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class MusicFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("qx-music-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        mixer_ = std::make_unique<TWaveMixer>([](const std::string&) {});
        ASSERT_TRUE(mixer_->DirectSoundLoaded());
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Piece(const std::string& name, int notes = 40) {
        const std::string path = (folder_ / name).string();
        test::WriteBytes(path, test::MidiTune(notes, 240));
        return path;
    }
    fs::path folder_;
    std::unique_ptr<TWaveMixer> mixer_;
};

TEST(MediaPlayer, DirectoryLosesTrailingSlashesAndMatchesMidiNamesInAnyCase) {
    TRandom random(1);
    TMediaPlayerEx player(nullptr, random);
    player.SetDirectory("/opt/music/");
    EXPECT_EQ(player.Directory(), "/opt/music");
    player.SetDirectory("/opt/music//");
    EXPECT_EQ(player.Directory(), "/opt/music");
    player.SetDirectory("/");
    EXPECT_EQ(player.Directory(), "/") << "the root stays the root";
    player.SetDirectory("");
    EXPECT_EQ(player.Directory(), "");

    for (const char* name : {"a.mid", "B.MID", "c.Mid", "x.mID", ".mid"}) EXPECT_TRUE(TMediaPlayerEx::IsMidiName(name));
    for (const char* name : {"a.midi", "a.mid.txt", "amid", "mid", "a.wav", ""})
        EXPECT_FALSE(TMediaPlayerEx::IsMidiName(name)) << name;
}

TEST_F(MusicFolderTest, PlaysEveryPieceOncePerCycleAndSkipsWhatCannotPlay) {
    Piece("A.MID");
    Piece("b.mid");
    Piece("c.Mid");
    test::WriteBytes((folder_ / "broken.mid").string(), {'n', 'o', 't', ' ', 'M', 'I', 'D', 'I'});
    // None of these is a piece to play.
    Piece("notes.txt");
    Piece("long.midi");
    fs::create_directory(folder_ / "folder.mid");
    ASSERT_EQ(::mkfifo((folder_ / "pipe.mid").c_str(), 0600), 0);
    fs::create_symlink(folder_ / "nowhere.mid", folder_ / "gone.mid");

    TRandom random(7);
    TMediaPlayerEx player(mixer_.get(), random);
    player.SetDirectory(folder_.string() + "/");
    const std::set<std::string> pieces = {(folder_ / "A.MID").string(), (folder_ / "b.mid").string(),
                                          (folder_ / "c.Mid").string(), (folder_ / "broken.mid").string()};
    for (int cycle = 0; cycle < 2; ++cycle) {
        std::set<std::string> heard;
        for (int i = 0; i < 4; ++i) {
            player.PlayRandom();
            EXPECT_EQ(player.PlayList().size(), 3u - i) << "cycle " << cycle;
            EXPECT_TRUE(heard.insert(player.FileName()).second) << player.FileName() << " twice in a cycle";
            const bool broken = player.FileName().ends_with("broken.mid");
            EXPECT_EQ(player.IsPlaying(), !broken) << player.FileName() << ": " << player.LastError();
            if (broken) {
                EXPECT_NE(player.LastError(), "");
            }
        }
        EXPECT_EQ(heard, pieces);
    }
    EXPECT_TRUE(player.Started());
    player.Close();
    EXPECT_FALSE(player.IsPlaying());
}

TEST_F(MusicFolderTest, PlayNextWaitsForTheEndOfAPiece) {
    Piece("long.mid", 200);
    Piece("short.mid", 1); // an eighth of a second and its ringing
    TRandom random(3);
    TMediaPlayerEx player(mixer_.get(), random);
    player.SetDirectory(folder_.string());

    player.PlayNext(); // not started: it starts
    ASSERT_TRUE(player.IsPlaying());
    const std::string first = player.FileName();
    player.PlayNext();
    EXPECT_EQ(player.FileName(), first) << "a playing piece is left alone";
    if (first.ends_with("long.mid")) {
        player.Stop();
        EXPECT_FALSE(player.IsPlaying());
    } else {
        EXPECT_TRUE(WaitFor([&] { return !player.IsPlaying(); }, 5000ms)) << "the short piece ends by itself";
    }
    player.PlayNext();
    EXPECT_NE(player.FileName(), first);
    EXPECT_TRUE(player.IsPlaying());
}

TEST_F(MusicFolderTest, AnEmptyFolderPlaysNothingAndIsLookedAtAgainEachTime) {
    TRandom random(1);
    TMediaPlayerEx player(mixer_.get(), random);
    player.SetDirectory(folder_.string());
    player.PlayNext();
    EXPECT_TRUE(player.Started());
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.FileName(), "");
    const std::string path = Piece("late.mid");
    player.PlayNext();
    EXPECT_EQ(player.FileName(), path);
    EXPECT_TRUE(player.IsPlaying());
}

TEST_F(MusicFolderTest, WithoutAFolderNothingIsScanned) {
    Piece("here.mid");
    const fs::path before = fs::current_path();
    fs::current_path(folder_);
    TRandom random(1);
    TMediaPlayerEx player(mixer_.get(), random);
    player.PlayRandom();
    fs::current_path(before);
    EXPECT_TRUE(player.PlayList().empty());
    EXPECT_EQ(player.FileName(), "");
    EXPECT_FALSE(player.IsPlaying());
}

TEST_F(MusicFolderTest, TheSameSeedPlaysTheSameOrder) {
    for (const char* name : {"1.mid", "2.mid", "3.mid", "4.mid", "5.mid"}) Piece(name);
    auto order = [&](uint64_t seed) {
        TRandom random(seed);
        TMediaPlayerEx player(mixer_.get(), random);
        player.SetDirectory(folder_.string());
        std::vector<std::string> names;
        for (int i = 0; i < 5; ++i) {
            player.PlayRandom();
            names.push_back(fs::path(player.FileName()).filename().string());
        }
        return names;
    };
    const auto a = order(11);
    EXPECT_EQ(order(11), a);
    bool differs = false;
    for (uint64_t seed = 12; seed < 20 && !differs; ++seed) differs = order(seed) != a;
    EXPECT_TRUE(differs) << "the order comes from the generator";
}

TEST_F(MusicFolderTest, MusicIsSimplyOffWithoutASoundfontOrADevice) {
    const std::string path = Piece("a.mid");
    Piece("b.mid");
    TRandom random(1);
    TMediaPlayerEx noFont(mixer_.get(), random, (folder_ / "missing.sf2").string());
    EXPECT_FALSE(noFont.PlayFile(path));
    EXPECT_FALSE(noFont.IsPlaying());
    EXPECT_NE(noFont.LastError().find("soundfont"), std::string::npos) << noFont.LastError();
    noFont.SetDirectory(folder_.string());
    noFont.PlayRandom();
    noFont.PlayRandom();
    EXPECT_TRUE(noFont.PlayList().empty()) << "the list still moves on";

    std::vector<std::string> messages;
    TWaveMixer silent([&](const std::string& m) { messages.push_back(m); }, test::kNoSuchDevice);
    TMediaPlayerEx noDevice(&silent, random);
    EXPECT_FALSE(noDevice.PlayFile(path));
    EXPECT_FALSE(noDevice.IsPlaying());
    EXPECT_EQ(messages.size(), 1u) << "the mixer's one message; music adds none";

    // A mixer destroyed under a playing player leaves it silent, not broken.
    auto mixer = std::make_unique<TWaveMixer>([](const std::string&) {});
    TMediaPlayerEx orphan(mixer.get(), random);
    ASSERT_TRUE(orphan.PlayFile(path));
    mixer.reset();
    EXPECT_FALSE(orphan.IsPlaying());
    EXPECT_FALSE(orphan.PlayFile(path));
}

TEST(MusicStream, KeepsFeedingWhileTheMainThreadIsBusy) {
    TWaveMixer mixer([](const std::string&) {});
    ASSERT_TRUE(mixer.DirectSoundLoaded());
    TMusicStream stream(&mixer);
    std::atomic<uint64_t> pulled{0};
    double phase = 0;
    ASSERT_TRUE(stream.Start(
        [&](int16_t* out, size_t frames) {
            for (size_t i = 0; i < frames; ++i, phase += 440.0 / 44100)
                out[2 * i] = out[2 * i + 1] = static_cast<int16_t>(8000 * std::sin(6.2831853 * phase));
            pulled += frames;
            return frames;
        },
        44100));
    // The main thread is busy (a brain thinking) for most of a second.
    std::this_thread::sleep_for(900ms);
    EXPECT_TRUE(stream.IsPlaying());
    EXPECT_GE(stream.FramesQueued(), 44100u * 800 / 1000) << "the device was kept fed";
    EXPECT_LE(stream.FramesQueued(), 44100u * 900 / 1000 + TMusicStream::kBlockFrames * (TMusicStream::kBlocks + 1))
        << "and not flooded ahead of time";
    EXPECT_EQ(stream.Underruns(), 0u);
    stream.Stop();
    EXPECT_FALSE(stream.IsPlaying());
    const uint64_t after = pulled;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(pulled.load(), after) << "nothing is pulled after Stop";

    // A source that ends: the stream ends by itself once its last block is heard.
    int blocks = 2;
    ASSERT_TRUE(stream.Start(
        [&](int16_t* out, size_t frames) {
            if (blocks-- <= 0) return size_t{0};
            std::fill(out, out + 2 * frames, int16_t{0});
            return frames;
        },
        44100));
    EXPECT_TRUE(WaitFor([&] { return !stream.IsPlaying(); }, 2000ms));
}

TEST(MidiRenderer, RefusesWhatIsNotMidiAndEndsBrokenPiecesQuickly) {
    const fs::path folder = fs::temp_directory_path() / ("qx-midi-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    TMidiRenderer renderer;
    ASSERT_TRUE(renderer.Ready()) << renderer.Error();
    EXPECT_FALSE(renderer.Open((folder / "missing.mid").string()));
    EXPECT_FALSE(renderer.Open(folder.string())) << "a folder";
    test::WriteBytes((folder / "text.mid").string(), {'h', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r', 'l', 'd', '!'});
    EXPECT_FALSE(renderer.Open((folder / "text.mid").string()));
    EXPECT_NE(renderer.Error().find("not a MIDI file"), std::string::npos);

    // A header that promises a track the file does not hold.
    std::vector<uint8_t> cut = test::MidiTune(10, 240);
    cut.resize(30);
    test::WriteBytes((folder / "cut.mid").string(), cut);
    if (renderer.Open((folder / "cut.mid").string())) {
        std::vector<int16_t> block(2 * 4096);
        uint64_t frames = 0;
        for (size_t n; (n = renderer.Render(block.data(), 4096)) > 0 && frames < 44100u * 30;) frames += n;
        EXPECT_LT(frames, 44100u * 5) << "a broken piece does not play on and on";
    }
    fs::remove_all(folder);
}

TEST(MidiRenderer, AGeneratedPieceIsRealMusic) {
    const std::string path = QX_BINARY_DIR "/data/music/Title.mid";
    if (!fs::exists(path)) GTEST_SKIP() << "the generated music is made by assetgen (needs Qt)";
    TMidiRenderer renderer;
    ASSERT_TRUE(renderer.Open(path)) << renderer.Error();
    // Twenty seconds, in half-second windows.
    constexpr size_t kWindow = 22050;
    std::vector<int16_t> window(2 * kWindow);
    std::vector<double> levels, brightness;
    int clipped = 0;
    double leftRight = 0, leftLeft = 0, rightRight = 0;
    for (int w = 0; w < 40; ++w) {
        ASSERT_EQ(renderer.Render(window.data(), kWindow), kWindow);
        double sum = 0;
        int crossings = 0;
        for (size_t i = 0; i < kWindow; ++i) {
            const double l = window[2 * i], r = window[2 * i + 1];
            sum += (l * l + r * r) / 2;
            leftRight += l * r, leftLeft += l * l, rightRight += r * r;
            clipped += std::abs(l) >= 32767 || std::abs(r) >= 32767;
            if (i > 0) crossings += (window[2 * i - 2] < 0) != (l < 0);
        }
        levels.push_back(std::sqrt(sum / kWindow));
        brightness.push_back(crossings);
    }
    int audible = 0;
    for (double level : levels) audible += level > 300; // about -40 dB
    EXPECT_GE(audible, 36) << "sound nearly all the time";
    EXPECT_EQ(clipped, 0);
    const auto [quiet, loud] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_GT(*loud / std::max(*quiet, 1.0), 1.5) << "it swells and falls like music, not a steady tone";
    const auto [dull, bright] = std::minmax_element(brightness.begin(), brightness.end());
    EXPECT_GT(*bright / std::max(*dull, 1.0), 1.2) << "its notes change";
    EXPECT_LT(leftRight / std::sqrt(leftLeft * rightRight), 0.999) << "the band is spread across the stereo field";
    EXPECT_FALSE(renderer.Finished());
}

} // namespace
} // namespace qx
