#include "tools/assetgen/Composer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace qx::art {

namespace {

int Class(int key) { return ((key % 12) + 12) % 12; }

bool Contains(const std::vector<int>& classes, int pitchClass) {
    return std::find(classes.begin(), classes.end(), Class(pitchClass)) != classes.end();
}

// Every key within [low, high] whose pitch class is one of these.
std::vector<int> KeysIn(const std::vector<int>& classes, int low, int high) {
    std::vector<int> keys;
    for (int key = std::max(low, 0); key <= std::min(high, 127); ++key)
        if (Contains(classes, key)) keys.push_back(key);
    return keys;
}

int Nearest(const std::vector<int>& keys, int to, int preferDirection = 0) {
    int best = keys.empty() ? to : keys.front();
    for (int key : keys) {
        const int d = std::abs(key - to), bestD = std::abs(best - to);
        if (d < bestD || (d == bestD && preferDirection != 0 && (key - to) * preferDirection > 0)) best = key;
    }
    return best;
}

int Ramp(int from, int to, int index, int count) {
    if (to < 0 || count <= 1) return from;
    return from + (to - from) * index / (count - 1);
}

bool SameChord(const TChord& a, const TChord& b) {
    return a.Classes() == b.Classes() && a.BassClass() == b.BassClass();
}

// The steps of a pattern as (first step, steps held) for each strike.
std::vector<std::pair<int, int>> Strikes(const std::string& pattern, char strike) {
    std::vector<std::pair<int, int>> out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != strike) continue;
        size_t j = i + 1;
        while (j < pattern.size() && pattern[j] == '-') ++j;
        out.push_back({static_cast<int>(i), static_cast<int>(j - i)});
    }
    return out;
}

// Chooses `voices` chord tones within the range, close to the last voicing.
std::vector<int> Voice(const TChord& chord, int low, int high, int voices, const std::vector<int>& last) {
    const std::vector<int> classes = chord.Classes();
    const std::vector<int> keys = KeysIn(classes, low, high);
    const int third = chord.Has(chord.Root + 3) ? chord.Root + 3 : chord.Has(chord.Root + 4) ? chord.Root + 4 : -1;
    std::vector<int> best;
    double bestCost = 1e18;
    std::vector<int> pick;
    // Every combination of `voices` keys, in order (a few hundred at most).
    auto search = [&](auto&& self, size_t from) -> void {
        if (static_cast<int>(pick.size()) == voices) {
            double cost = 0;
            std::vector<int> seen;
            for (size_t i = 0; i < pick.size(); ++i) {
                const int c = Class(pick[i]);
                if (std::find(seen.begin(), seen.end(), c) != seen.end()) cost += 6;
                seen.push_back(c);
                if (i > 0 && pick[i] - pick[i - 1] == 1) cost += 30;
                if (i > 0 && pick[i] - pick[i - 1] == 2 && pick[i] < 60) cost += 8;
            }
            if (third >= 0 && !Contains(seen, third)) cost += 20;
            if (!Contains(seen, chord.Root)) cost += 8;
            if (pick.back() - pick.front() > 19) cost += 5;
            if (last.size() == pick.size()) {
                for (size_t i = 0; i < pick.size(); ++i) cost += std::abs(pick[i] - last[i]);
            } else {
                const double centre = (pick.front() + pick.back()) / 2.0;
                cost += std::abs(centre - (low + high) / 2.0);
            }
            if (cost < bestCost) {
                bestCost = cost;
                best = pick;
            }
            return;
        }
        for (size_t i = from; i < keys.size(); ++i) {
            pick.push_back(keys[i]);
            self(self, i + 1);
            pick.pop_back();
        }
    };
    search(search, 0);
    return best;
}

} // namespace

TChord TChord::Parse(const std::string& symbol) {
    static const std::map<char, int> kLetters = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
    static const std::map<std::string, std::vector<int>> kQualities = {
        {"", {0, 4, 7}},          {"m", {0, 3, 7}},          {"7", {0, 4, 7, 10}},     {"maj7", {0, 4, 7, 11}},
        {"m7", {0, 3, 7, 10}},    {"sus4", {0, 5, 7}},       {"sus2", {0, 2, 7}},      {"add9", {0, 4, 7, 14}},
        {"madd9", {0, 3, 7, 14}}, {"dim", {0, 3, 6}},        {"6", {0, 4, 7, 9}},      {"m6", {0, 3, 7, 9}},
        {"7sus4", {0, 5, 7, 10}}, {"maj7#11", {0, 4, 11, 18}}, {"m9", {0, 3, 10, 14}}, {"maj9", {0, 4, 11, 14}}};
    auto pitch = [&](const std::string& text, size_t& at) {
        if (at >= text.size() || !kLetters.count(text[at])) throw std::invalid_argument("bad chord: " + symbol);
        int pc = kLetters.at(text[at++]);
        if (at < text.size() && text[at] == '#') ++pc, ++at;
        else if (at < text.size() && text[at] == 'b') --pc, ++at;
        return Class(pc);
    };
    TChord chord;
    size_t at = 0;
    const size_t slash = symbol.find('/');
    const std::string head = symbol.substr(0, slash);
    chord.Root = pitch(head, at);
    const auto quality = kQualities.find(head.substr(at));
    if (quality == kQualities.end()) throw std::invalid_argument("bad chord: " + symbol);
    chord.Intervals = quality->second;
    if (slash != std::string::npos) {
        size_t bassAt = 0;
        const std::string bass = symbol.substr(slash + 1);
        chord.Bass = pitch(bass, bassAt);
        if (bassAt != bass.size()) throw std::invalid_argument("bad chord: " + symbol);
    }
    return chord;
}

std::vector<int> TChord::Classes() const {
    std::vector<int> out;
    for (int i : Intervals)
        if (!Contains(out, Root + i)) out.push_back(Class(Root + i));
    std::sort(out.begin(), out.end());
    return out;
}

bool TChord::Has(int pitchClass) const { return Contains(Classes(), pitchClass); }

TProgression Progression(const std::vector<std::string>& symbols) {
    TProgression out;
    for (const std::string& s : symbols) out.push_back(TChord::Parse(s));
    return out;
}

std::vector<int> TKey::ChordScale(const TChord& chord) const {
    const std::vector<int> tones = chord.Classes();
    std::vector<int> out = tones;
    for (int step : Steps) {
        const int c = Class(Tonic + step);
        if (Contains(out, c)) continue;
        bool clash = false;
        for (int t : tones) clash = clash || Class(c - t) == 1 || Class(c - t) == 11;
        if (!clash) out.push_back(c);
    }
    std::sort(out.begin(), out.end());
    return out;
}

TScore::TScore(const std::string& title, double beatsPerMinute, int beatsPerBar, uint64_t seed)
    : tracks_(1), beatsPerBar_(beatsPerBar), random_(seed) {
    tracks_[0].Name(title);
    tracks_[0].TimeSignature(0, beatsPerBar);
    tracks_[0].Tempo(0, beatsPerMinute);
    tempi_.push_back({0, beatsPerMinute});
}

int TScore::AddPart(const std::string& name, int channel, int program, int volume, int pan, int reverb) {
    TMidiTrack track;
    track.Name(name);
    track.Program(0, channel, program);
    track.Control(0, channel, 7, volume);
    track.Control(0, channel, 10, pan);
    track.Control(0, channel, 91, reverb);
    track.Control(0, channel, 93, 0);
    track.Control(0, channel, 11, 127);
    tracks_.push_back(std::move(track));
    channels_.push_back(channel);
    return static_cast<int>(channels_.size()) - 1;
}

int64_t TScore::Tick(int bar, double beat) const {
    return int64_t{bar} * TicksPerBar() + std::llround(beat * kTicksPerBeat);
}

void TScore::Ritardando(int fromBar, int bars, double endBpm) {
    const double start = tempi_.back().second;
    const int beats = bars * beatsPerBar_;
    for (int b = 1; b <= beats; ++b) {
        const double bpm = start + (endBpm - start) * b / beats;
        const int64_t tick = Tick(fromBar, b - 1);
        tracks_[0].Tempo(tick, bpm);
        tempi_.push_back({tick, bpm});
    }
}

void TScore::Expression(int part, int fromBar, int bars, int from, int to) {
    const int steps = std::max(1, bars * beatsPerBar_ * 2);
    for (int s = 0; s <= steps; ++s)
        Track(part).Control(Tick(fromBar, s * 0.5), Channel(part), 11, from + (to - from) * s / steps);
}

int TScore::Humanize(int velocity) { return std::clamp(velocity + random_.Below(9) - 4, 1, 127); }

std::vector<uint8_t> TScore::Encode() const { return EncodeMidiFile(tracks_, kTicksPerBeat); }

double TScore::Seconds() const {
    int64_t end = 0;
    for (const TMidiTrack& t : tracks_) end = std::max(end, t.LastTick());
    std::vector<std::pair<int64_t, double>> tempi = tempi_;
    std::stable_sort(tempi.begin(), tempi.end(), [](auto& a, auto& b) { return a.first < b.first; });
    double seconds = 0;
    for (size_t i = 0; i < tempi.size() && tempi[i].first < end; ++i) {
        const int64_t until = i + 1 < tempi.size() ? std::min(end, tempi[i + 1].first) : end;
        seconds += static_cast<double>(until - tempi[i].first) / kTicksPerBeat * 60.0 / tempi[i].second;
    }
    return seconds;
}

void WriteChords(TScore& score, int part, int startBar, const TProgression& chords, int low, int high, int voices,
                 const std::string& pattern, int velocity, int velocityEnd) {
    std::vector<int> last;
    const int64_t step = score.TicksPerBar() / static_cast<int64_t>(pattern.size());
    const bool sustained =
        !pattern.empty() && pattern[0] == 'X' && pattern.find_first_not_of('-', 1) == std::string::npos;
    std::map<int, std::pair<int64_t, int>> held; // key -> start, velocity (sustained chords tie over bars)
    const int count = static_cast<int>(chords.size());
    auto flush = [&](int key, int64_t end) {
        const auto& [start, vel] = held[key];
        score.Track(part).Note(start, end - start, score.Channel(part), key, vel);
        held.erase(key);
    };
    for (int bar = 0; bar < count; ++bar) {
        const std::vector<int> voicing = Voice(chords[static_cast<size_t>(bar)], low, high, voices, last);
        last = voicing;
        const int vel = Ramp(velocity, velocityEnd, bar, count);
        const int64_t barTick = score.Tick(startBar + bar);
        if (sustained) {
            for (auto it = held.begin(); it != held.end();) {
                const int key = it->first;
                ++it;
                if (std::find(voicing.begin(), voicing.end(), key) == voicing.end()) flush(key, barTick);
            }
            for (int key : voicing)
                if (!held.count(key)) held[key] = {barTick, score.Humanize(vel)};
            continue;
        }
        for (const auto& [first, steps] : Strikes(pattern, 'X'))
            for (int key : voicing)
                score.Track(part).Note(barTick + first * step, steps * step - step / 8, score.Channel(part), key,
                                       score.Humanize(vel + (first == 0 ? 6 : 0)));
    }
    const int64_t end = score.Tick(startBar + count);
    while (!held.empty()) flush(held.begin()->first, end);
}

void WriteBass(TScore& score, int part, int startBar, const TProgression& chords, int low, const std::string& pattern,
               int velocity, int velocityEnd) {
    const int64_t step = score.TicksPerBar() / static_cast<int64_t>(pattern.size());
    const int count = static_cast<int>(chords.size());
    auto rootKey = [&](const TChord& chord) { return low + Class(chord.BassClass() - low); };
    for (int bar = 0; bar < count; ++bar) {
        const TChord& chord = chords[static_cast<size_t>(bar)];
        const int root = rootKey(chord);
        const int third = root + (chord.Has(chord.Root + 3) ? 3 : 4);
        const int next = rootKey(chords[static_cast<size_t>(std::min(bar + 1, count - 1))]);
        const int approach = next > root ? next - 1 : next + 1;
        const int vel = Ramp(velocity, velocityEnd, bar, count);
        for (size_t i = 0; i < pattern.size(); ++i) {
            int key = -1;
            switch (pattern[i]) {
            case 'R': key = root; break;
            case 'F': key = root + 7; break;
            case 'O': key = root + 12; break;
            case 'T': key = third; break;
            case 'A': key = approach; break;
            default: break;
            }
            if (key < 0) continue;
            size_t j = i + 1;
            while (j < pattern.size() && pattern[j] == '-') ++j;
            const int64_t length = static_cast<int64_t>(j - i) * step;
            score.Track(part).Note(score.Tick(startBar + bar) + static_cast<int64_t>(i) * step, length - step / 6,
                                   score.Channel(part), key, score.Humanize(vel + (i == 0 ? 8 : 0)));
        }
    }
}

void WriteArpeggio(TScore& score, int part, int startBar, const TProgression& chords, int low, int span,
                   double stepBeats, int velocity, int velocityEnd) {
    const int count = static_cast<int>(chords.size());
    const int steps = static_cast<int>(std::lround(score.BeatsPerBar() / stepBeats));
    for (int bar = 0; bar < count; ++bar) {
        const std::vector<int> keys = KeysIn(chords[static_cast<size_t>(bar)].Classes(), low, low + span);
        if (keys.empty()) continue;
        std::vector<int> cycle = keys;
        for (int i = static_cast<int>(keys.size()) - 2; i > 0; --i) cycle.push_back(keys[static_cast<size_t>(i)]);
        const int vel = Ramp(velocity, velocityEnd, bar, count);
        for (int s = 0; s < steps; ++s) {
            const int key = cycle[static_cast<size_t>(s) % cycle.size()];
            score.Track(part).Note(score.Tick(startBar + bar, s * stepBeats),
                                   std::llround(stepBeats * 1.5 * TScore::kTicksPerBeat), score.Channel(part), key,
                                   score.Humanize(vel + (s == 0 ? 8 : 0) - (s % 2 ? 4 : 0)));
        }
    }
}

void WriteDrums(TScore& score, int part, int startBar, int bars, const std::vector<std::pair<int, std::string>>& kit,
                int velocity, int velocityEnd) {
    const int stepsPerBar = score.BeatsPerBar() * 4;
    const int64_t step = TScore::kTicksPerBeat / 4;
    for (const auto& [key, pattern] : kit) {
        if (pattern.empty()) continue;
        for (int bar = 0; bar < bars; ++bar) {
            const int vel = Ramp(velocity, velocityEnd, bar, bars);
            for (int s = 0; s < stepsPerBar; ++s) {
                const char c = pattern[static_cast<size_t>(bar * stepsPerBar + s) % pattern.size()];
                int v = 0;
                if (c == 'X') v = vel + 22;
                else if (c == 'x') v = vel;
                else if (c == 'o') v = vel / 2;
                if (v == 0) continue;
                score.Track(part).Note(score.Tick(startBar + bar) + s * step, step, score.Channel(part), key,
                                       score.Humanize(v));
            }
        }
    }
}

TLine ComposeMelody(TArtRandom& random, const TKey& key, const TProgression& chords, const TMelodyStyle& style,
                    int beatsPerBar) {
    const int bars = static_cast<int>(chords.size());
    const int centre = (style.Low + style.High) / 2;
    const bool pairs = bars % 8 == 0;
    auto pickRhythm = [&](const std::vector<std::vector<double>>& from) {
        return from[static_cast<size_t>(random.Below(static_cast<int>(from.size())))];
    };

    // Which bar each bar copies (-1: its own), and each bar's rhythm.
    std::vector<int> source(static_cast<size_t>(bars), -1);
    std::vector<std::vector<double>> rhythm(static_cast<size_t>(bars));
    std::vector<bool> cadence(static_cast<size_t>(bars), false), finalCadence(static_cast<size_t>(bars), false);
    for (int b = 0; b < bars; ++b) {
        const int inPhrase = b % 4;
        const bool consequent = pairs && (b / 4) % 2 == 1;
        if (inPhrase == 3) {
            cadence[static_cast<size_t>(b)] = true;
            finalCadence[static_cast<size_t>(b)] = !pairs || consequent;
            rhythm[static_cast<size_t>(b)] = pickRhythm(style.Cadences);
        } else if (consequent && inPhrase < 2) {
            source[static_cast<size_t>(b)] = b - 4;
            rhythm[static_cast<size_t>(b)] = rhythm[static_cast<size_t>(b - 4)];
        } else {
            rhythm[static_cast<size_t>(b)] = pickRhythm(style.Rhythms);
        }
    }

    auto chordTones = [&](const TChord& chord) { return KeysIn(chord.Classes(), style.Low, style.High); };
    auto randomStep = [&](int prev, int lastInterval) {
        if (std::abs(lastInterval) > 4 && random.Real() < 0.8) return lastInterval > 0 ? -1 : 1; // leaps turn back
        static const int kSteps[] = {-3, -2, -1, 0, 1, 2, 3};
        double weights[] = {0.04, 0.12, 0.3, 0.07, 0.3, 0.12, 0.04};
        for (int i = 0; i < 7; ++i) {
            if (std::abs(kSteps[i]) >= 2) weights[i] *= style.LeapChance / 0.15;
            if (prev > centre + 4 && kSteps[i] < 0) weights[i] *= 1.7;
            if (prev < centre - 4 && kSteps[i] > 0) weights[i] *= 1.7;
        }
        double total = 0;
        for (double w : weights) total += w;
        double r = random.Real() * total;
        for (int i = 0; i < 7; ++i) {
            if (r < weights[i]) return kSteps[i];
            r -= weights[i];
        }
        return 1;
    };
    auto place = [&](int prev, int step, const TChord& chord, bool strong) {
        const std::vector<int> scale = KeysIn(key.ChordScale(chord), style.Low - 12, style.High + 12);
        const auto at = std::find(scale.begin(), scale.end(), Nearest(scale, prev)) - scale.begin();
        auto index = std::clamp<long>(at + step, 0, static_cast<long>(scale.size()) - 1);
        int note = scale[static_cast<size_t>(index)];
        if (note > style.High || note < style.Low) {
            index = std::clamp<long>(at - step, 0, static_cast<long>(scale.size()) - 1);
            note = scale[static_cast<size_t>(index)];
        }
        if (note > style.High || note < style.Low) {
            std::vector<int> inRange;
            for (int k : scale)
                if (k >= style.Low && k <= style.High) inRange.push_back(k);
            note = Nearest(inRange, note);
        }
        if (strong) note = Nearest(chordTones(chord), note, step);
        return note;
    };

    TLine line;
    std::vector<std::vector<int>> steps(static_cast<size_t>(bars));
    std::vector<std::vector<int>> keys(static_cast<size_t>(bars));
    int prev = Nearest(chordTones(chords[0]), centre);
    int lastInterval = 0;
    for (int b = 0; b < bars; ++b) {
        const TChord& chord = chords[static_cast<size_t>(b)];
        const int src = source[static_cast<size_t>(b)];
        const bool exact = src >= 0 && SameChord(chord, chords[static_cast<size_t>(src)]);
        const std::vector<double>& r = rhythm[static_cast<size_t>(b)];
        int sounding = 0;
        for (double d : r) sounding += d > 0 ? 1 : 0;
        double pos = 0;
        int index = 0;
        for (double d : r) {
            if (d < 0) {
                pos -= d;
                continue;
            }
            const bool strong = std::fmod(pos, beatsPerBar == 3 ? 3.0 : 2.0) == 0 || d >= 1.5;
            int note;
            int step = 0;
            if (exact) {
                note = keys[static_cast<size_t>(src)][static_cast<size_t>(index)];
            } else {
                step = src >= 0 ? steps[static_cast<size_t>(src)][static_cast<size_t>(index)]
                                : randomStep(prev, lastInterval);
                note = place(prev, step, chord, strong);
            }
            if (cadence[static_cast<size_t>(b)] && index == sounding - 1) {
                // The phrase ends: on the tonic when it closes, else on an open chord tone.
                std::vector<int> goals;
                for (int k : chordTones(chord)) {
                    const bool tonic = Class(k) == Class(key.Tonic);
                    const bool open = Class(k) != Class(chord.Root);
                    if (finalCadence[static_cast<size_t>(b)] ? tonic : open) goals.push_back(k);
                }
                if (goals.empty()) goals = chordTones(chord);
                if (finalCadence[static_cast<size_t>(b)] && !chord.Has(key.Tonic)) goals = chordTones(chord);
                note = Nearest(goals, prev);
            }
            steps[static_cast<size_t>(b)].push_back(step);
            keys[static_cast<size_t>(b)].push_back(note);
            const int accent = (pos == 0 ? 8 : 0) + (strong ? 4 : 0);
            line.push_back({b * beatsPerBar + pos, d, note, accent});
            lastInterval = note - prev;
            prev = note;
            pos += d;
            ++index;
        }
    }
    return line;
}

TLine CounterLine(const TLine& melody, const TKey& key, const TProgression& chords, int low, int high,
                  int beatsPerBar, double noteBeats) {
    (void)key;
    TLine line;
    const double total = static_cast<double>(chords.size()) * beatsPerBar;
    int prev = (low + high) / 2;
    for (double t = 0; t < total - 1e-9; t += noteBeats) {
        const TChord& chord = chords[static_cast<size_t>(t / beatsPerBar)];
        int melodyKey = -1;
        for (const TLineNote& n : melody)
            if (n.Beat <= t + 1e-9 && t < n.Beat + n.Length) melodyKey = n.Key;
        int best = -1;
        double bestCost = 1e9;
        for (int k : KeysIn(chord.Classes(), low, high)) {
            const int interval = Class(k - chord.Root);
            double cost = std::abs(k - prev);
            if (interval != 3 && interval != 4 && interval != 10 && interval != 11) cost += 3;
            if (melodyKey >= 0 && Class(k) == Class(melodyKey)) cost += 10;
            if (melodyKey >= 0 && std::abs(k - melodyKey) < 3) cost += 6;
            if (cost < bestCost) bestCost = cost, best = k;
        }
        if (best < 0) continue;
        if (!line.empty() && line.back().Key == best && std::abs(line.back().Beat + line.back().Length - t) < 1e-9)
            line.back().Length += noteBeats;
        else
            line.push_back({t, noteBeats, best, std::fmod(t, beatsPerBar) == 0 ? 4 : 0});
        prev = best;
    }
    return line;
}

void WriteLine(TScore& score, int part, int startBar, const TLine& line, int velocity, int transpose, double legato,
               int velocityEnd) {
    const int count = static_cast<int>(line.size());
    for (int i = 0; i < count; ++i) {
        const TLineNote& n = line[static_cast<size_t>(i)];
        const int64_t start = score.Tick(startBar, n.Beat);
        const auto length = std::max<int64_t>(1, std::llround(n.Length * legato * TScore::kTicksPerBeat));
        score.Track(part).Note(start, length, score.Channel(part), n.Key + transpose,
                               score.Humanize(Ramp(velocity, velocityEnd, i, count) + n.Accent));
    }
}

} // namespace qx::art
