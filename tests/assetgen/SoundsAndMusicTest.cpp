#include "tests/assetgen/AssetFiles.h"
#include "tests/assetgen/MidiReader.h"

#include "sound/GameSoundTable.h"
#include "sound/Wave.h"
#include "tools/assetgen/AssetWriter.h"
#include "tools/assetgen/Composer.h"
#include "tools/assetgen/MidiFile.h"
#include "tools/assetgen/MusicComposer.h"
#include "tools/assetgen/SoundArtist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace qx::art {
namespace {

using test::DataPath;

// The samples of a generated wave as the game reads them, in -1..1.
std::vector<double> Decode(const TWave& wave) {
    std::vector<double> out;
    const uint8_t* s = wave.Samples();
    if (wave.BitsPerSample() == 8) {
        for (uint32_t i = 0; i < wave.WaveSize(); ++i) out.push_back((s[i] - 128) / 127.0);
    } else {
        for (uint32_t i = 0; i + 1 < wave.WaveSize(); i += 2)
            out.push_back(static_cast<int16_t>(s[i] | s[i + 1] << 8) / 32767.0);
    }
    return out;
}

std::vector<double> LoadSound(TGameSound which) {
    TWave wave;
    wave.LoadFromFile(DataPath(QStringLiteral("sounds/") + GameSoundEntry(which).FileName).toStdString());
    return Decode(wave);
}

// Zero crossings per second over a part of a sound (from, to as fractions):
// a rough pitch for tones, a sign of hiss for noise.
double Crossings(const std::vector<double>& x, double rate, double from, double to) {
    const auto a = static_cast<size_t>(from * x.size()), b = static_cast<size_t>(to * x.size());
    int count = 0;
    for (size_t i = a + 1; i < b; ++i) count += (x[i - 1] < 0) != (x[i] < 0);
    return count / ((b - a) / rate);
}

double Energy(const std::vector<double>& x, double from, double to) {
    double sum = 0;
    for (auto i = static_cast<size_t>(from * x.size()); i < static_cast<size_t>(to * x.size()); ++i) sum += x[i] * x[i];
    return sum;
}

TEST(AssetgenSounds, MatchTheSoundTable) {
    for (const TGameSoundEntry& entry : GameSoundTable()) {
        SCOPED_TRACE(entry.Name);
        TWave wave;
        ASSERT_NO_THROW(wave.LoadFromFile(DataPath(QStringLiteral("sounds/") + entry.FileName).toStdString()));
        EXPECT_EQ(wave.FormatTag(), 1);
        EXPECT_EQ(wave.Channels(), 1);
        EXPECT_EQ(wave.SamplesPerSecond(), entry.SamplesPerSecond);
        EXPECT_EQ(wave.BitsPerSample(), entry.BitsPerSample);
        EXPECT_EQ(wave.BlockAlign(), entry.BitsPerSample / 8);
        EXPECT_EQ(wave.AvgBytesPerSecond(), entry.SamplesPerSecond * entry.BitsPerSample / 8);
        EXPECT_EQ(wave.WaveSize(), entry.WaveSize);
        EXPECT_TRUE(wave.IsPlayableFormat());
        EXPECT_EQ(wave.PlayableSize(), entry.WaveSize);
        // The 8 bytes the game skips are silence in the sample format.
        const uint8_t silence = entry.BitsPerSample == 8 ? 128 : 0;
        ASSERT_GE(wave.SampleOffset(), 8u);
        for (size_t i = wave.SampleOffset() - 8; i < wave.SampleOffset(); ++i) {
            EXPECT_EQ(wave.Image()[i], silence);
        }
        // What the build wrote is what the generator makes.
        EXPECT_EQ(wave.Image(), TSoundArtist::WaveImage(entry));
    }
}

TEST(AssetgenSounds, AreAudibleUnclippedAndStartAndEndWithoutAClick) {
    for (const TGameSoundEntry& entry : GameSoundTable()) {
        SCOPED_TRACE(entry.Name);
        const std::vector<double> x = LoadSound(entry.Sound);
        ASSERT_FALSE(x.empty());
        double peak = 0, sum = 0;
        for (double v : x) peak = std::max(peak, std::abs(v)), sum += v * v;
        EXPECT_GT(std::sqrt(sum / x.size()), 0.05) << "too quiet to hear";
        EXPECT_GT(peak, 0.6);
        EXPECT_LT(peak, 0.95) << "no sample at the limits";
        if (entry.Sound == TGameSound::Dragging) continue; // it loops: see below
        EXPECT_LT(std::abs(x.front()), 0.05);
        const size_t tail = std::max<size_t>(2, entry.SamplesPerSecond / 1000); // the last millisecond
        for (size_t i = x.size() - tail; i < x.size(); ++i) EXPECT_LT(std::abs(x[i]), 0.06) << i;
    }
}

TEST(AssetgenSounds, TheDraggingSoundLoopsWithoutASeam) {
    const std::vector<double> x = LoadSound(TGameSound::Dragging);
    double largest = 0, total = 0;
    for (size_t i = 1; i < x.size(); ++i) {
        largest = std::max(largest, std::abs(x[i] - x[i - 1]));
        total += std::abs(x[i] - x[i - 1]);
    }
    const double wrap = std::abs(x.front() - x.back());
    EXPECT_LE(wrap, largest);
    EXPECT_LE(wrap, 3 * total / (x.size() - 1)) << "the jump from the end back to the start must be an ordinary step";
    // And it is steady: no quarter much louder than another.
    const double q1 = Energy(x, 0, 0.25), q3 = Energy(x, 0.5, 0.75);
    EXPECT_LT(std::max(q1, q3) / std::min(q1, q3), 2.5);
}

TEST(AssetgenSounds, EachSoundsLikeItsJob) {
    auto rate = [](TGameSound s) { return static_cast<double>(GameSoundEntry(s).SamplesPerSecond); };
    auto zc = [&](TGameSound s, double from, double to) { return Crossings(LoadSound(s), rate(s), from, to); };

    EXPECT_GT(zc(TGameSound::ClickOn, 0, 1), 1.5 * zc(TGameSound::ClickOff, 0, 1)) << "on clicks up, off clicks down";
    // The klaxon alternates high and low.
    EXPECT_GT(zc(TGameSound::Capital, 0.02, 0.23), 1.2 * zc(TGameSound::Capital, 0.27, 0.48));
    EXPECT_GT(zc(TGameSound::Capital, 0.52, 0.73), 1.2 * zc(TGameSound::Capital, 0.77, 0.98));
    // Acknowledgements and selections rise; the wormhole falls away.
    EXPECT_GT(zc(TGameSound::Confirmed, 0.4, 0.6), 1.2 * zc(TGameSound::Confirmed, 0.05, 0.2));
    EXPECT_GT(zc(TGameSound::SelectShip, 0.45, 0.7), 1.2 * zc(TGameSound::SelectShip, 0.05, 0.3));
    EXPECT_GT(zc(TGameSound::WormHole, 0.05, 0.3), 2 * zc(TGameSound::WormHole, 0.7, 0.95));
    EXPECT_GT(zc(TGameSound::Conquer, 0.5, 1), 1.5 * zc(TGameSound::Conquer, 0, 0.1)) << "a rising fanfare";
    // The error buzz is the lowest sound of all.
    const double buzz = zc(TGameSound::Error, 0, 1);
    for (const TGameSoundEntry& entry : GameSoundTable()) {
        if (entry.Sound == TGameSound::Error) continue;
        EXPECT_LT(buzz, zc(entry.Sound, 0, 1)) << entry.Name;
    }

    // Blasts strike at once and die away; a destroyed ship rings longest.
    auto ninetyPercent = [](const std::vector<double>& x) {
        const double all = Energy(x, 0, 1);
        double sum = 0;
        for (size_t i = 0; i < x.size(); ++i)
            if ((sum += x[i] * x[i]) >= 0.9 * all) return static_cast<double>(i) / x.size();
        return 1.0;
    };
    for (TGameSound blast : {TGameSound::Blast1, TGameSound::Blast2, TGameSound::Blast3}) {
        const std::vector<double> x = LoadSound(blast);
        EXPECT_GT(Energy(x, 0, 0.2), 4 * Energy(x, 0.8, 1)) << GameSoundEntry(blast).Name;
    }
    const auto b1 = LoadSound(TGameSound::Blast1), b2 = LoadSound(TGameSound::Blast2);
    EXPECT_GT(ninetyPercent(b1) * b1.size(), ninetyPercent(b2) * b2.size());
}

TEST(AssetgenMusic, FourPiecesOfOneToThreeMinutesEachItsOwn) {
    const QStringList names = TAssetWriter::MusicFiles();
    const std::vector<TMusicPiece> pieces = TMusicComposer::Pieces();
    ASSERT_EQ(names.size(), 4);
    ASSERT_EQ(pieces.size(), 4u);
    std::vector<double> tempi;
    std::vector<std::set<int>> bands;
    for (int p = 0; p < 4; ++p) {
        SCOPED_TRACE(names[p].toStdString());
        EXPECT_EQ(names[p], "music/" + QString::fromStdString(pieces[static_cast<size_t>(p)].FileName));
        const QByteArray bytes = test::ReadBytes(DataPath(names[p]));
        const std::vector<uint8_t> file(bytes.begin(), bytes.end());
        EXPECT_EQ(file, pieces[static_cast<size_t>(p)].Midi) << "the build wrote what the composer makes";

        const test::TMidiContent midi = test::ReadMidi(file);
        EXPECT_EQ(midi.Format, 1);
        EXPECT_GE(midi.Tracks, 6);
        const double seconds = midi.Seconds();
        EXPECT_GE(seconds, 60.0);
        EXPECT_LE(seconds, 180.0);
        EXPECT_NEAR(seconds, pieces[static_cast<size_t>(p)].Seconds, 0.5);
        ASSERT_FALSE(midi.Tempi.empty());
        tempi.push_back(midi.Tempi.front().second);

        std::set<int> keys, channels, band;
        for (const auto& n : midi.Notes) {
            keys.insert(n.Key);
            channels.insert(n.Channel);
            EXPECT_GE(n.Velocity, 1);
        }
        for (const auto& [channel, program] : midi.Programs)
            if (channel != 9) band.insert(program);
        bands.push_back(band);
        EXPECT_GE(midi.Notes.size(), 400u) << "music, not a test tone";
        EXPECT_GE(keys.size(), 24u);
        EXPECT_GE(channels.size(), 6u);
        // It plays all the way through: notes in every quarter of its length.
        for (int q = 0; q < 4; ++q) {
            const int64_t from = midi.LastTick * q / 4, to = midi.LastTick * (q + 1) / 4;
            EXPECT_TRUE(std::any_of(midi.Notes.begin(), midi.Notes.end(),
                                    [&](const auto& n) { return n.Tick >= from && n.Tick < to; }))
                << "quarter " << q;
        }
    }
    // Distinct in tempo and in band.
    for (size_t i = 0; i < 4; ++i)
        for (size_t j = i + 1; j < 4; ++j) {
            EXPECT_GT(std::abs(tempi[i] - tempi[j]), 8.0) << i << " " << j;
            EXPECT_NE(bands[i], bands[j]);
        }
}

TEST(AssetgenMusic, MelodiesKeepToTheHarmony) {
    // A composed tune over its chords: strong beats on chord tones, no note a
    // semitone from a chord tone, and its second phrase opens like its first.
    TArtRandom random(99);
    const TKey key = TKey::Major(2);
    const TProgression chords = Progression({"D", "Bb", "C", "D", "D", "Bb", "G", "A"});
    TMelodyStyle style;
    style.Rhythms = {{2, 1, 1}, {1, 0.5, 0.5, 2}, {1, 1, 1, 1}};
    style.Cadences = {{4}, {3, -1}};
    style.Low = 60;
    style.High = 79;
    for (int round = 0; round < 20; ++round) {
        const TLine line = ComposeMelody(random, key, chords, style, 4);
        ASSERT_FALSE(line.empty());
        std::vector<int> first, second;
        for (const TLineNote& n : line) {
            EXPECT_GE(n.Key, style.Low);
            EXPECT_LE(n.Key, style.High);
            const TChord& chord = chords[static_cast<size_t>(n.Beat / 4)];
            for (int tone : chord.Classes()) {
                const int gap = ((n.Key - tone) % 12 + 12) % 12;
                EXPECT_TRUE(gap != 1 && gap != 11) << "note " << n.Key << " clashes at beat " << n.Beat;
            }
            if (std::fmod(n.Beat, 4) == 0) {
                EXPECT_TRUE(chord.Has(n.Key % 12)) << "downbeat " << n.Beat;
            }
            if (n.Beat < 8) first.push_back(n.Key);
            if (n.Beat >= 16 && n.Beat < 24) second.push_back(n.Key);
        }
        EXPECT_EQ(first, second) << "the second phrase opens with the first one's bars";
        EXPECT_TRUE(chords.back().Has(line.back().Key % 12));
        const double end = line.back().Beat + line.back().Length;
        EXPECT_LE(end, 32.0);
    }
    EXPECT_THROW(TChord::Parse("H"), std::invalid_argument);
    EXPECT_THROW(TChord::Parse("Cfoo"), std::invalid_argument);
    EXPECT_EQ(TChord::Parse("G/F").BassClass(), 5);
    EXPECT_EQ(TChord::Parse("Bbmaj7").Classes(), (std::vector<int>{2, 5, 9, 10}));
}

TEST(AssetgenMusic, MidiWriterOrdersEventsAndEncodesLongDeltas) {
    TMidiTrack track;
    track.Note(0, 480, 0, 60, 100);
    track.Note(480, 480, 0, 60, 90); // the same key again, starting where the first ends
    track.Note(200000, 10, 0, 62, 300);
    const std::vector<uint8_t> file = EncodeMidiFile({track}, 480);
    const test::TMidiContent midi = test::ReadMidi(file);
    ASSERT_EQ(midi.Notes.size(), 3u);
    EXPECT_EQ(midi.Notes[1].Tick, 480);
    EXPECT_EQ(midi.Notes[2].Tick, 200000) << "a delta of three bytes";
    EXPECT_EQ(midi.Notes[2].Velocity, 127);
    // At tick 480 the note-off of the first note comes before the second note-on.
    const std::vector<uint8_t> body(file.begin() + 22, file.end());
    const std::vector<uint8_t> expected = {0x83, 0x60, 0x80, 60, 0x40, 0x00, 0x90, 60, 90};
    EXPECT_TRUE(std::search(body.begin(), body.end(), expected.begin(), expected.end()) != body.end());
    EXPECT_THROW(track.Note(-1, 10, 0, 60, 100), std::invalid_argument);
    EXPECT_THROW(track.Program(0, 16, 1), std::invalid_argument);
}

} // namespace
} // namespace qx::art
