#pragma once

#include "tools/assetgen/ArtRandom.h"
#include "tools/assetgen/MidiFile.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qx::art {

// A chord by pitch classes (C = 0 .. B = 11).
struct TChord {
    int Root = 0;
    std::vector<int> Intervals; // from the root: {0, 4, 7} is a major triad
    int Bass = -1;              // another bass note (a slash chord), -1 for the root

    // "C", "F#m", "Bbmaj7", "Em7", "G7", "Gsus4", "Dsus2", "Cadd9", "Bdim",
    // "Fmaj7#11" (the first four chord tones are kept), "G/F". Throws
    // std::invalid_argument for anything else.
    static TChord Parse(const std::string& symbol);
    std::vector<int> Classes() const;
    int BassClass() const { return Bass >= 0 ? Bass : Root; }
    bool Has(int pitchClass) const;
};
using TProgression = std::vector<TChord>; // one chord per bar
TProgression Progression(const std::vector<std::string>& symbols);

// A key: its tonic and the seven steps of its scale.
struct TKey {
    int Tonic = 0;
    std::vector<int> Steps;
    static TKey Major(int tonic) { return {tonic, {0, 2, 4, 5, 7, 9, 11}}; }
    static TKey Minor(int tonic) { return {tonic, {0, 2, 3, 5, 7, 8, 10}}; }
    static TKey Lydian(int tonic) { return {tonic, {0, 2, 4, 6, 7, 9, 11}}; }
    static TKey Phrygian(int tonic) { return {tonic, {0, 1, 3, 5, 7, 8, 10}}; }
    // The notes a melody may use over the chord: the scale without any note
    // a semitone from a chord tone, plus the chord's own tones.
    std::vector<int> ChordScale(const TChord& chord) const;
};

// One note of a line, timed in beats from the start of its section.
struct TLineNote {
    double Beat = 0;
    double Length = 0;
    int Key = 60;
    int Accent = 0; // added to the velocity
};
using TLine = std::vector<TLineNote>;

// How a melody moves: rhythms of one bar (beats; a negative length is a
// rest), the rhythms of phrase endings, and its range.
struct TMelodyStyle {
    std::vector<std::vector<double>> Rhythms;
    std::vector<std::vector<double>> Cadences;
    int Low = 60;
    int High = 84;
    // Chance that a weak-beat step becomes a leap of a third or more.
    double LeapChance = 0.15;
};

// A piece in the making: its parts (one track and channel each), its time
// grid, and a seeded generator for every choice and touch of humanity.
class TScore {
public:
    static constexpr int kTicksPerBeat = 480;
    static constexpr int kDrumChannel = 9;

    TScore(const std::string& title, double beatsPerMinute, int beatsPerBar, uint64_t seed);

    // A part on its own channel: program, volume, pan (0 left .. 127 right)
    // and reverb send. The drum channel takes its program as the kit.
    int AddPart(const std::string& name, int channel, int program, int volume, int pan, int reverb);
    TMidiTrack& Track(int part) { return tracks_[static_cast<size_t>(part) + 1]; }
    int Channel(int part) const { return channels_[static_cast<size_t>(part)]; }

    int BeatsPerBar() const { return beatsPerBar_; }
    int64_t Tick(int bar, double beat = 0) const;
    int64_t TicksPerBar() const { return int64_t{kTicksPerBeat} * beatsPerBar_; }
    // Slows evenly, beat by beat, to `endBpm` over the bars.
    void Ritardando(int fromBar, int bars, double endBpm);
    // Fades a part's expression from one level to another over the bars.
    void Expression(int part, int fromBar, int bars, int from, int to);
    TArtRandom& Random() { return random_; }
    int Humanize(int velocity);

    std::vector<uint8_t> Encode() const;
    // Length in seconds, with every tempo change.
    double Seconds() const;

private:
    std::vector<TMidiTrack> tracks_;
    std::vector<int> channels_;
    std::vector<std::pair<int64_t, double>> tempi_;
    int beatsPerBar_;
    TArtRandom random_;
};

// Part writers. A pattern is one bar of equal steps (its length sets their
// size: 8 steps in 4/4 are eighths). Velocities run from `velocity` at the
// first bar to `velocityEnd` at the last (-1: no change).

// Chords voiced within [low, high], each voice moving as little as it can
// from bar to bar. Pattern: 'X' strikes, '-' holds, '.' rests.
void WriteChords(TScore& score, int part, int startBar, const TProgression& chords, int low, int high, int voices,
                 const std::string& pattern, int velocity, int velocityEnd = -1);
// A bass line around `low`. Pattern: 'R' root (or slash bass), 'F' fifth,
// 'O' root an octave up, 'T' third, 'A' a step leading to the next bar's
// root, '-' hold, '.' rest.
void WriteBass(TScore& score, int part, int startBar, const TProgression& chords, int low, const std::string& pattern,
               int velocity, int velocityEnd = -1);
// Broken chords rising from `low` over `span` semitones and falling back,
// one note per step of `stepBeats`.
void WriteArpeggio(TScore& score, int part, int startBar, const TProgression& chords, int low, int span,
                   double stepBeats, int velocity, int velocityEnd = -1);
// Drum or percussion patterns on the part's channel, one per key: 'X'
// accent, 'x' hit, 'o' ghost, '.' rest. A pattern may span several bars.
void WriteDrums(TScore& score, int part, int startBar, int bars, const std::vector<std::pair<int, std::string>>& kit,
                int velocity, int velocityEnd = -1);

// A melody over the chords, built as two phrases: the second repeats the
// first one's opening bars (so the tune is recognisable) and ends on the
// tonic, the first ends open.
TLine ComposeMelody(TArtRandom& random, const TKey& key, const TProgression& chords, const TMelodyStyle& style,
                    int beatsPerBar);
// A slow second voice under a melody: chord tones, mostly thirds and
// sevenths, moving by the smallest step, never in unison with the tune.
TLine CounterLine(const TLine& melody, const TKey& key, const TProgression& chords, int low, int high,
                  int beatsPerBar, double noteBeats);
void WriteLine(TScore& score, int part, int startBar, const TLine& line, int velocity, int transpose = 0,
               double legato = 0.92, int velocityEnd = -1);

} // namespace qx::art
