#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "sound/GameSoundTable.h"
#include "sound/SoundError.h"
#include "sound/Wave.h"
#include "tests/sound/WaveImages.h"

namespace qx {
namespace {

using test::PcmImage;
using test::Ramp;
using test::TImageBuilder;

std::string LoadError(const std::vector<uint8_t>& image) {
    TWave wave;
    try {
        wave.LoadFromMemory(image);
    } catch (const EWaveError& error) {
        EXPECT_FALSE(wave.HasWaveData());
        EXPECT_EQ(wave.WaveSize(), 0u);
        return error.what();
    }
    return "(loaded)";
}

TEST(Wave, SamplesStartEightBytesIntoThePayload) {
    const std::vector<uint8_t> payload = Ramp(218);
    TWave wave;
    wave.LoadFromMemory(PcmImage(1, 8000, 8, payload));
    ASSERT_TRUE(wave.HasWaveData());
    EXPECT_EQ(wave.WaveSize(), 210u);
    ASSERT_NE(wave.Samples(), nullptr);
    EXPECT_EQ(wave.Samples()[0], payload[8]);
    EXPECT_EQ(wave.Samples()[209], payload[217]) << "the last sample played is the payload's last";
    EXPECT_EQ(wave.SampleOffset(), 12u + 8 + 16 + 8 + 8);
}

TEST(Wave, ReadsTheFormatFieldsLittleEndian) {
    // Every field has a distinct byte in each position, so a swapped or
    // shifted read shows.
    TImageBuilder fmt;
    fmt.U16(1).U16(0x0102).U32(0x00031415).U32(0x0A0B0C0D).U16(0x0E0F).U16(0x1011);
    TImageBuilder body;
    body.Chunk("fmt ", fmt.Data()).Chunk("data", Ramp(20));
    TWave wave;
    wave.LoadFromMemory(TImageBuilder::Riff(body.Data()));
    EXPECT_EQ(wave.Channels(), 0x0102);
    EXPECT_EQ(wave.SamplesPerSecond(), 0x00031415u);
    EXPECT_EQ(wave.AvgBytesPerSecond(), 0x0A0B0C0Du);
    EXPECT_EQ(wave.BlockAlign(), 0x0E0F);
    EXPECT_EQ(wave.BitsPerSample(), 0x1011);

    TWaveFormat format;
    wave.GetFormat(format);
    EXPECT_EQ(format, (TWaveFormat{1, 0x0102, 0x00031415, 0x0A0B0C0D, 0x0E0F, 0x1011, 0}));
}

TEST(Wave, SkipsListChunksAndPadBytesOnTheWay) {
    // A LIST chunk before the format, an odd-sized chunk (with its pad byte)
    // between format and data, and a format chunk longer than 16 bytes.
    std::vector<uint8_t> longFormat = TImageBuilder::Format(1, 2, 22050, 16);
    longFormat.insert(longFormat.end(), {0, 0, 9, 9});
    TImageBuilder body;
    body.Chunk("LIST", {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 3, 0, 0, 0, 'a', 'b', 0})
        .Chunk("fmt ", longFormat)
        .Chunk("junk", {1, 2, 3})
        .Chunk("data", Ramp(40));
    TWave wave;
    wave.LoadFromMemory(TImageBuilder::Riff(body.Data()));
    EXPECT_EQ(wave.Channels(), 2);
    EXPECT_EQ(wave.SamplesPerSecond(), 22050u);
    EXPECT_EQ(wave.WaveSize(), 32u);
    EXPECT_EQ(wave.Samples()[0], 8);

    // Without the pad byte the next header is misread: no data chunk.
    TImageBuilder unpadded;
    unpadded.Chunk("fmt ", TImageBuilder::Format(1, 1, 8000, 8)).Chunk("junk", {1, 2, 3}, false).Chunk("data", Ramp(40));
    EXPECT_EQ(LoadError(TImageBuilder::Riff(unpadded.Data())), TWave::kNoData);
}

TEST(Wave, GivesEachOfItsFiveMessages) {
    const auto fmt = TImageBuilder::Format(1, 1, 8000, 8);
    EXPECT_EQ(LoadError({}), "Could not open Wave File");

    TImageBuilder body;
    body.Chunk("fmt ", fmt).Chunk("data", Ramp(20));
    EXPECT_EQ(LoadError(TImageBuilder::Riff(body.Data(), "AVI ")), "Not a valid Wave File");
    EXPECT_EQ(LoadError({'R', 'I', 'F', 'F'}), "Not a valid Wave File");
    EXPECT_EQ(LoadError(std::vector<uint8_t>(100, 0)), "Not a valid Wave File");

    TImageBuilder noFormat;
    noFormat.Chunk("data", Ramp(20));
    EXPECT_EQ(LoadError(TImageBuilder::Riff(noFormat.Data())), "Wave format chunk not found");

    TImageBuilder shortFormat;
    shortFormat.Chunk("fmt ", std::vector<uint8_t>(fmt.begin(), fmt.begin() + 14)).Chunk("data", Ramp(20));
    EXPECT_EQ(LoadError(TImageBuilder::Riff(shortFormat.Data())), "Read of format chunk failed");

    TImageBuilder noData;
    noData.Chunk("fmt ", fmt).Chunk("LIST", Ramp(6));
    EXPECT_EQ(LoadError(TImageBuilder::Riff(noData.Data())), "Wave data chunk not found");

    // The data chunk is looked for after the format chunk only.
    TImageBuilder dataFirst;
    dataFirst.Chunk("data", Ramp(20)).Chunk("fmt ", fmt);
    EXPECT_EQ(LoadError(TImageBuilder::Riff(dataFirst.Data())), "Wave data chunk not found");
}

TEST(Wave, StaysWithinTruncatedAndHostileImages) {
    // The format chunk claims 40 bytes and the image ends after 10 of them.
    TImageBuilder cut;
    cut.Id("fmt ").U32(40).Bytes(Ramp(10));
    EXPECT_EQ(LoadError(TImageBuilder::Riff(cut.Data())), TWave::kBadFormat);

    // Sizes at the top of the range must not wrap around.
    TImageBuilder hugeFormat;
    hugeFormat.Id("fmt ").U32(0xFFFFFFFF).Bytes(TImageBuilder::Format(1, 1, 8000, 8));
    EXPECT_EQ(LoadError(TImageBuilder::Riff(hugeFormat.Data())), TWave::kBadFormat);
    TImageBuilder hugeJunk;
    hugeJunk.Id("junk").U32(0xFFFFFFFE).Chunk("fmt ", TImageBuilder::Format(1, 1, 8000, 8));
    EXPECT_EQ(LoadError(TImageBuilder::Riff(hugeJunk.Data())), TWave::kNoFormat);

    // A RIFF size beyond the image is held to the image.
    TImageBuilder riffTooLong;
    riffTooLong.Id("RIFF").U32(0xFFFFFFF0).Id("WAVE").Chunk("fmt ", TImageBuilder::Format(1, 1, 8000, 8));
    riffTooLong.Chunk("data", Ramp(30));
    TWave wave;
    wave.LoadFromMemory(riffTooLong.Data());
    EXPECT_EQ(wave.WaveSize(), 22u);
}

TEST(Wave, ClampsThePayloadToTheBytesPresent) {
    // A data chunk claiming 10000 bytes of which 100 are there.
    TImageBuilder body;
    body.Chunk("fmt ", TImageBuilder::Format(1, 1, 8000, 8)).Id("data").U32(10000).Bytes(Ramp(100));
    TWave wave;
    wave.LoadFromMemory(TImageBuilder::Riff(body.Data()));
    EXPECT_EQ(wave.WaveSize(), 92u);
    EXPECT_EQ(wave.SampleOffset() + wave.WaveSize(), wave.Image().size());

    // Payloads under the 8 lead-in bytes are empty waves, not huge ones.
    for (size_t size : {0u, 1u, 7u}) {
        wave.LoadFromMemory(PcmImage(1, 8000, 8, Ramp(size)));
        EXPECT_TRUE(wave.HasWaveData());
        EXPECT_EQ(wave.WaveSize(), 0u) << size;
        EXPECT_EQ(wave.Samples(), nullptr);
        EXPECT_EQ(wave.PlayableSize(), 0u);
    }
    wave.LoadFromMemory(PcmImage(1, 8000, 8, Ramp(8)));
    EXPECT_EQ(wave.WaveSize(), 0u);
}

TEST(Wave, AFailedLoadLeavesNoWaveBehind) {
    TWave wave;
    wave.LoadFromMemory(PcmImage(1, 8000, 8, Ramp(100)));
    ASSERT_TRUE(wave.HasWaveData());
    EXPECT_THROW(wave.LoadFromMemory(TImageBuilder::Riff({}, "AVI ")), EWaveError);
    EXPECT_FALSE(wave.HasWaveData());
    EXPECT_EQ(wave.Samples(), nullptr);
    EXPECT_EQ(wave.SamplesPerSecond(), 0u);

    wave.LoadFromMemory(PcmImage(1, 8000, 8, Ramp(100)));
    wave.SetHasWaveData(true);
    EXPECT_TRUE(wave.HasWaveData());
    wave.SetHasWaveData(false);
    EXPECT_FALSE(wave.HasWaveData());
    EXPECT_TRUE(wave.Image().empty());
}

TEST(Wave, PlaysOnlyWholeFramesOfFormatsADeviceTakes) {
    TWave wave;
    wave.LoadFromMemory(PcmImage(1, 8000, 16, Ramp(8 + 7)));
    EXPECT_EQ(wave.WaveSize(), 7u);
    EXPECT_EQ(wave.PlayableSize(), 6u);
    wave.LoadFromMemory(PcmImage(2, 8000, 16, Ramp(8 + 13)));
    EXPECT_EQ(wave.PlayableSize(), 12u);
    EXPECT_TRUE(wave.IsPlayableFormat());
    EXPECT_EQ(wave.DurationMs(), 0u); // 3 frames at 8000 Hz
    wave.LoadFromMemory(PcmImage(1, 8000, 8, Ramp(8 + 4000)));
    EXPECT_EQ(wave.DurationMs(), 500u);

    struct TBad {
        uint16_t tag, channels;
        uint32_t rate;
        uint16_t bits;
    };
    for (const TBad& bad : {TBad{1, 1, 0, 8}, TBad{1, 1, 8000, 12}, TBad{1, 1, 8000, 24}, TBad{1, 3, 8000, 8},
                            TBad{1, 0, 8000, 8}, TBad{3, 1, 8000, 16}, TBad{0xFFFE, 2, 8000, 16}}) {
        TImageBuilder body;
        body.Chunk("fmt ", TImageBuilder::Format(bad.tag, bad.channels, bad.rate, bad.bits)).Chunk("data", Ramp(40));
        wave.LoadFromMemory(TImageBuilder::Riff(body.Data()));
        EXPECT_FALSE(wave.IsPlayableFormat()) << bad.tag << " " << bad.channels << " " << bad.rate << " " << bad.bits;
        EXPECT_EQ(wave.PlayableSize(), 0u);
        EXPECT_EQ(wave.DurationMs(), 0u);
    }
    // A block alignment that does not match channels and bits.
    TImageBuilder odd;
    odd.U16(1).U16(1).U32(8000).U32(8000).U16(3).U16(16);
    TImageBuilder body;
    body.Chunk("fmt ", odd.Data()).Chunk("data", Ramp(40));
    wave.LoadFromMemory(TImageBuilder::Riff(body.Data()));
    EXPECT_FALSE(wave.IsPlayableFormat());
}

TEST(Wave, StoredFormRoundTripsAndRefusesShortData) {
    TWave wave;
    wave.LoadFromMemory(PcmImage(1, 11025, 8, Ramp(253 + 8)));
    const std::vector<uint8_t> stored = wave.WaveData();
    ASSERT_EQ(stored.size(), 4 + wave.Image().size());
    EXPECT_EQ(stored[0] | stored[1] << 8 | stored[2] << 16 | stored[3] << 24, static_cast<int>(wave.Image().size()));

    // Followed by other stored properties: only its own bytes are taken.
    std::vector<uint8_t> stream = stored;
    stream.insert(stream.end(), {1, 2, 3});
    TWave back;
    EXPECT_EQ(back.SetWaveData(stream.data(), stream.size()), stored.size());
    EXPECT_EQ(back.Image(), wave.Image());
    EXPECT_EQ(back.WaveSize(), 253u);
    EXPECT_EQ(back.SamplesPerSecond(), 11025u);

    // Nothing to store, and lengths below 1, store and load nothing.
    EXPECT_TRUE(TWave().WaveData().empty());
    for (uint32_t length : {0u, 0xFFFFFFFFu, 0x80000000u}) {
        TImageBuilder empty;
        empty.U32(length).Bytes(Ramp(20));
        EXPECT_EQ(back.SetWaveData(empty.Data().data(), empty.Data().size()), 4u);
        EXPECT_FALSE(back.HasWaveData());
    }
    // A length beyond the bytes given.
    std::vector<uint8_t> cut(stored.begin(), stored.end() - 1);
    EXPECT_THROW(back.SetWaveData(cut.data(), cut.size()), EWaveError);
    EXPECT_THROW(back.SetWaveData(cut.data(), 3), EWaveError);
    EXPECT_FALSE(back.HasWaveData());
}

class WaveFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("qx-wave-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path folder_;
};

TEST_F(WaveFileTest, LoadsRegularFilesAndRefusesEverythingElse) {
    const auto image = PcmImage(1, 8012, 16, Ramp(3628));
    const auto path = folder_ / "good.wav";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
    TWave wave;
    wave.LoadFromFile(path.string());
    EXPECT_EQ(wave.WaveSize(), 3620u);
    EXPECT_EQ(wave.BitsPerSample(), 16);

    const auto fifo = folder_ / "pipe.wav";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& bad : {folder_ / "missing.wav", folder_, fifo}) {
        try {
            wave.LoadFromFile(bad.string());
            ADD_FAILURE() << bad << " loaded";
        } catch (const EWaveError& error) {
            EXPECT_STREQ(error.what(), TWave::kCannotOpen) << bad;
        }
        EXPECT_FALSE(wave.HasWaveData());
    }
    std::ofstream(folder_ / "empty.wav").close();
    EXPECT_THROW(wave.LoadFromFile((folder_ / "empty.wav").string()), EWaveError);
}

TEST(SoundTexts, DeviceErrorsHaveTheirTextsAndEveryOtherCodeOneText) {
    EXPECT_EQ(DeviceErrorText(0x88780078), "No sound driver is available for use.");
    EXPECT_EQ(DeviceErrorText(0x88780064), "The specified wave format is not supported.");
    EXPECT_EQ(DeviceErrorText(0x8007000E),
              "The DirectSound subsystem could not allocate sufficient memory to complete the caller\u00B4s request.");
    EXPECT_EQ(DeviceErrorText(0x80004001), "The function called is not supported at this time.");
    EXPECT_EQ(DeviceErrorText(0), "The request completed successfully.");
    for (uint32_t code : {1u, 0x88780079u, 0x80004003u, 0xFFFFFFFFu, 0xA0000001u})
        EXPECT_EQ(DeviceErrorText(code), "Unrecognized Error") << std::hex << code;
    const EMixerError error(0x88780032);
    EXPECT_STREQ(error.what(), "This function is not valid for the current state of this object.");
    EXPECT_EQ(error.Code(), 0x88780032u);
}

TEST(SoundTexts, GameSoundsAreFoundByTheirNames) {
    ASSERT_EQ(GameSoundTable().size(), 15u);
    for (const TGameSoundEntry& entry : GameSoundTable()) {
        EXPECT_EQ(FindGameSound(entry.Name), &entry);
        EXPECT_EQ(&GameSoundEntry(entry.Sound), &entry);
    }
    EXPECT_EQ(FindGameSound("SNDCAPITAL")->Sound, TGameSound::Capital);
    EXPECT_EQ(FindGameSound("blast1")->Sound, TGameSound::Blast1);
    EXPECT_EQ(FindGameSound("snd"), nullptr);
    EXPECT_EQ(FindGameSound("sndBlast4"), nullptr);
    EXPECT_EQ(FindGameSound(""), nullptr);
}

} // namespace
} // namespace qx
