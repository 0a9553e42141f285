// qxtool sound and qxtool music, run as a user would, on the null device.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/sound/MidiBytes.h"
#include "tests/sound/NullDevice.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

struct TRun {
    int status = -1;
    std::string out, errors;
};

class SoundCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("qx-soundtool-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    TRun Tool(const std::string& args, const std::string& environment = "") {
        const std::string errors = (dir_ / "stderr.txt").string();
        const std::string command = environment + " " QXTOOL_PATH " " + args + " 2>" + errors;
        TRun run;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return run;
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
        const int raw = ::pclose(pipe);
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::ifstream in(errors);
        std::getline(in, run.errors, '\0');
        return run;
    }
    fs::path dir_;
};

const std::string kData = " --data " QX_BINARY_DIR "/data";

TEST_F(SoundCommandTest, PlaysANamedSoundAndRefusesWhatItCannotPlay) {
    if (!fs::exists(QX_BINARY_DIR "/data/sounds/sndButton.wav")) GTEST_SKIP() << "the sounds are made by assetgen";
    TRun run = Tool("sound button" + kData);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.out, "sndButton: 8000 Hz, 8-bit mono, 210 bytes, 26 ms\n");

    run = Tool("sound sndLaser" + kData);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("unknown sound 'sndLaser'"), std::string::npos) << run.errors;
    run = Tool("sound sndClick --pan 20000" + kData);
    EXPECT_EQ(run.status, 2) << run.errors;

    std::ofstream(dir_ / "fake.wav") << "RIFF\x04\0\0\0AVI LIST";
    run = Tool("sound " + (dir_ / "fake.wav").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("Not a valid Wave File"), std::string::npos) << run.errors;
    run = Tool("sound " + (dir_ / "missing.wav").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("Could not open Wave File"), std::string::npos) << run.errors;
}

TEST_F(SoundCommandTest, SaysSoWhenThereIsNoDevice) {
    // The wave-file backend with no file to write opens no device.
    std::ofstream(dir_ / "none.conf") << "[wave]\nfile =\n";
    const TRun run = Tool("sound " + (dir_ / "any.wav").string(),
                          "ALSOFT_DRIVERS=wave ALSOFT_CONF=" + (dir_ / "none.conf").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("qxtool sound: No sound driver is available for use."), std::string::npos)
        << run.errors;
}

TEST_F(SoundCommandTest, PlaysMusicToItsEndOrFailsClearly) {
    test::WriteBytes((dir_ / "Tiny.MID").string(), test::MidiTune(2, 120));
    TRun run = Tool("music " + dir_.string() + " --seconds 10");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.out, "Playing " + (dir_ / "Tiny.MID").string() + "\n");

    run = Tool("music " + (dir_ / "missing.mid").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("missing.mid"), std::string::npos) << run.errors;
    fs::create_directory(dir_ / "empty");
    run = Tool("music " + (dir_ / "empty").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("no *.mid files"), std::string::npos) << run.errors;
}

} // namespace
} // namespace qx
