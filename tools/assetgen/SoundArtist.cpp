#include "tools/assetgen/SoundArtist.h"

#include "sound/Wave.h"
#include "tools/assetgen/ArtRandom.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace qx::art {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// One voice whose frequency may change from sample to sample.
class TOscillator {
public:
    explicit TOscillator(double rate) : rate_(rate) {}
    // Advances by one sample at `hz` and returns the phase in cycles.
    double Step(double hz) {
        const double phase = phase_;
        phase_ += hz / rate_;
        phase_ -= std::floor(phase_);
        return phase;
    }
    double Sine(double hz) { return std::sin(kTwoPi * Step(hz)); }
    // Odd harmonics up to below half the rate: a square softened to what the
    // rate can carry, so nothing folds back as a whine.
    double Square(double hz, int most = 9) {
        const double phase = Step(hz);
        double sum = 0;
        for (int k = 1; k <= most && k * hz < rate_ * 0.45; k += 2) sum += std::sin(kTwoPi * k * phase) / k;
        return sum * 4 / 3.14159265358979 * 0.8;
    }
    // All harmonics falling by 1/k, as a brass or a buzz.
    double Brass(double hz, int most, double brightness) {
        const double phase = Step(hz);
        double sum = 0, norm = 0;
        for (int k = 1; k <= most && k * hz < rate_ * 0.45; ++k) {
            const double weight = std::pow(brightness, k - 1) / k;
            sum += weight * std::sin(kTwoPi * k * phase);
            norm += weight;
        }
        return norm > 0 ? sum / norm : 0;
    }

private:
    double rate_;
    double phase_ = 0;
};

// A one-pole low-pass filter.
class TLowPass {
public:
    double Step(double x, double cutoffHz, double rate) {
        const double a = 1 - std::exp(-kTwoPi * std::min(cutoffHz, rate * 0.45) / rate);
        y_ += a * (x - y_);
        return y_;
    }

private:
    double y_ = 0;
};

double Decay(double t, double tau) { return std::exp(-t / tau); }
// 0 before start, rising over `attack` seconds to 1.
double Attack(double t, double start, double attack) {
    if (t < start) return 0;
    return attack <= 0 ? 1 : std::min(1.0, (t - start) / attack);
}
// A smooth fade over the last `fade` seconds before `end`.
double FadeOut(double t, double end, double fade) {
    if (t >= end) return 0;
    if (t <= end - fade) return 1;
    const double x = (end - t) / fade;
    return x * x * (3 - 2 * x);
}
double Glide(double from, double to, double t, double over) {
    const double x = std::clamp(t / over, 0.0, 1.0);
    return from * std::pow(to / from, x);
}

using TSamples = std::vector<double>;

// A short percussive blip gliding between two pitches (the clicks).
TSamples Click(double rate, size_t n, double fromHz, double toHz, double tau, double noise, unsigned seed) {
    TSamples out(n);
    TOscillator osc(rate);
    TArtRandom random(seed);
    TLowPass filter;
    const double length = n / rate;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        const double tone = osc.Sine(Glide(fromHz, toHz, t, length));
        const double hiss = filter.Step(random.Range(-1, 1), 3000, rate) * Decay(t, tau * 0.4);
        out[i] = (0.85 * tone + noise * hiss) * Attack(t, 0, 0.0008) * Decay(t, tau) * FadeOut(t, length, 0.004);
    }
    return out;
}

// A servo's whir that loops without a seam: every part repeats a whole
// number of times over the sound's length.
TSamples Dragging(double rate, size_t n) {
    TSamples out(n);
    const double base = rate / n; // one cycle per loop
    TArtRandom random(4242);
    struct TPartial {
        int harmonic;
        double amplitude, phase;
    };
    std::vector<TPartial> partials;
    for (int k : {29, 58, 87, 116, 145})
        partials.push_back({k, 0.55 / (k / 29.0), random.Range(0, kTwoPi)});
    // A band of hiss between 900 and 2400 Hz, made of many partials.
    for (int k = static_cast<int>(900 / base); k < static_cast<int>(2400 / base); k += 3)
        partials.push_back({k, 0.035, random.Range(0, kTwoPi)});
    for (size_t i = 0; i < n; ++i) {
        const double cycle = static_cast<double>(i) / n;
        double sum = 0;
        for (const TPartial& p : partials) sum += p.amplitude * std::sin(kTwoPi * p.harmonic * cycle + p.phase);
        const double flutter = 1 + 0.25 * std::sin(kTwoPi * 2 * cycle); // twice per loop
        out[i] = 0.5 * sum * flutter;
    }
    return out;
}

// Two pitched blips, the second higher (a ship answers).
TSamples TwoBlips(double rate, size_t n, double first, double second, double split, double brightness) {
    TSamples out(n);
    TOscillator osc(rate);
    const double length = n / rate;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        const bool late = t >= split;
        const double start = late ? split : 0;
        const double hz = late ? second : first;
        const double vibrato = 1 + 0.006 * std::sin(kTwoPi * 7 * t);
        const double env = Attack(t, start, 0.004) * Decay(t - start, late ? 0.09 : 0.05) *
                           (late ? 1 : FadeOut(t, split, 0.01));
        out[i] = 0.8 * env * osc.Brass(hz * vibrato, 6, brightness) * FadeOut(t, length, 0.01);
    }
    return out;
}

// A soft bell (frequency modulation) and its fifth (a star system chimes).
TSamples Chime(double rate, size_t n) {
    TSamples out(n);
    const double length = n / rate;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        auto bell = [&](double hz, double start) {
            if (t < start) return 0.0;
            const double u = t - start;
            const double index = 2.2 * Decay(u, 0.06);
            return std::sin(kTwoPi * hz * u + index * std::sin(kTwoPi * hz * 1.4 * u)) * Decay(u, 0.11) *
                   Attack(u, 0, 0.002);
        };
        out[i] = (0.55 * bell(880, 0) + 0.45 * bell(1320, 0.055)) * FadeOut(t, length, 0.02);
    }
    return out;
}

// A swirl falling through the octaves with a fast warble: space folding.
TSamples Wormhole(double rate, size_t n) {
    TSamples out(n);
    TOscillator a(rate), b(rate), wobble(rate);
    const double length = n / rate;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        const double hz = Glide(1900, 180, t, length);
        const double warble = 1 + 0.07 * wobble.Sine(Glide(9, 28, t, length));
        const double env = std::sin(3.14159265 * std::min(1.0, t / length)) * (0.6 + 0.4 * Decay(t, 0.3));
        out[i] = 0.8 * env * (0.6 * a.Sine(hz * warble) + 0.4 * b.Square(hz * 0.503 * warble, 5));
    }
    return out;
}

// A rising arpeggio of a major chord ending on a held octave: a conquest.
TSamples Fanfare(double rate, size_t n) {
    TSamples out(n);
    const double length = n / rate;
    const double notes[4] = {523.25, 659.26, 783.99, 1046.5};
    const double starts[4] = {0, 0.11, 0.22, 0.33};
    TOscillator oscs[4] = {TOscillator(rate), TOscillator(rate), TOscillator(rate), TOscillator(rate)};
    for (size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        double sum = 0;
        for (int k = 0; k < 4; ++k) {
            if (t < starts[k]) continue;
            const double u = t - starts[k];
            const bool last = k == 3;
            const double end = last ? length : starts[k + 1] + 0.02;
            const double vibrato = last ? 1 + 0.008 * std::sin(kTwoPi * 5.5 * u) * Attack(u, 0.15, 0.2) : 1;
            const double env = Attack(u, 0, 0.012) * FadeOut(t, end, last ? 0.25 : 0.03) *
                               (last ? 0.85 + 0.15 * Decay(u, 0.1) : 1);
            const double brightness = 0.55 + 0.3 * Decay(u, 0.08);
            sum += env * oscs[k].Brass(notes[k] * vibrato, 8, brightness);
        }
        out[i] = 0.85 * sum;
    }
    return out;
}

struct TBlast {
    double thumpHz;       // the low body of the blast
    double cutoffFrom;    // brightness of the first crack
    double cutoffTo;      // and of the rumble it ends in
    double tau;           // how long it rings
    double secondary[3];  // later bursts (seconds; 0 = none)
    double metal;         // inharmonic ring of torn plating
    double crackle;       // sparse sparks
    unsigned seed;
};

TSamples Blast(double rate, size_t n, const TBlast& blast) {
    TSamples out(n);
    TArtRandom random(blast.seed);
    TLowPass noiseFilter, rumbleFilter;
    TOscillator thump(rate);
    const double length = n / rate;
    const double metal[3] = {431, 1173, 1719};
    for (size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        double env = Decay(t, blast.tau);
        for (double start : blast.secondary)
            if (start > 0 && t >= start) env += 0.7 * Decay(t - start, blast.tau * 0.7) * Attack(t, start, 0.004);
        const double cutoff = Glide(blast.cutoffFrom, blast.cutoffTo, t, length * 0.6);
        const double white = random.Range(-1, 1);
        const double noise = noiseFilter.Step(white, cutoff, rate);
        const double rumble = rumbleFilter.Step(white, 180, rate) * 2.5;
        const double body = thump.Sine(Glide(blast.thumpHz, blast.thumpHz * 0.55, t, 0.3)) * Decay(t, 0.12);
        double ring = 0;
        for (int k = 0; k < 3; ++k) ring += std::sin(kTwoPi * metal[k] * t) * Decay(t, 0.18 / (k + 1));
        const double spark = random.Real() < blast.crackle * Decay(t, 0.35) ? random.Range(-1, 1) : 0;
        out[i] = (1.6 * noise * env + 0.5 * rumble * env + 0.6 * body + blast.metal * ring + 0.6 * spark) *
                 Attack(t, 0, 0.0015) * FadeOut(t, length, 0.05);
    }
    return out;
}

// A two-tone klaxon: the capital is under attack.
TSamples Klaxon(double rate, size_t n) {
    TSamples out(n);
    TOscillator osc(rate);
    const double length = n / rate;
    const double segment = length / 4;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        const int part = std::min(3, static_cast<int>(t / segment));
        const double u = t - part * segment;
        const double hz = part % 2 == 0 ? 880 : 622;
        const double env = Attack(u, 0, 0.01) * FadeOut(u, segment - 0.015, 0.02);
        out[i] = 0.75 * env * osc.Square(hz * (1 + 0.01 * std::sin(kTwoPi * 30 * t)), 7);
    }
    return out;
}

// A low double buzz: that cannot be done.
TSamples Buzzer(double rate, size_t n) {
    TSamples out(n);
    TOscillator osc(rate);
    const double length = n / rate;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        const bool second = t >= 0.19;
        const double start = second ? 0.19 : 0;
        const double end = second ? length : 0.15;
        const double env = Attack(t, start, 0.006) * FadeOut(t, end, 0.03);
        out[i] = 0.8 * env * osc.Brass(second ? 138 : 155, 14, 0.92);
    }
    return out;
}

// Brings the loudest sample to `peak`: every sound leaves the same headroom,
// and the sound table's volumes set how loud each is in the game.
TSamples Normalised(TSamples samples, double peak) {
    double loudest = 0;
    for (double v : samples) loudest = std::max(loudest, std::abs(v));
    if (loudest > 0)
        for (double& v : samples) v *= peak / loudest;
    return samples;
}

TSamples Recipe(const TGameSoundEntry& entry) {
    const double rate = entry.SamplesPerSecond;
    const size_t n = entry.WaveSize / (entry.BitsPerSample / 8u);
    switch (entry.Sound) {
    case TGameSound::Button: return Click(rate, n, 1500, 700, 0.008, 0.25, 11);
    case TGameSound::ClickOff: return Click(rate, n, 1100, 620, 0.007, 0.3, 12);
    case TGameSound::ClickOn: return Click(rate, n, 1500, 2300, 0.007, 0.3, 13);
    case TGameSound::Dragging: return Dragging(rate, n);
    case TGameSound::Click: return Click(rate, n, 3200, 2600, 0.0025, 0.6, 14);
    case TGameSound::SelectShip: return TwoBlips(rate, n, 660, 990, 0.075, 0.5);
    case TGameSound::SelectSystem: return Chime(rate, n);
    case TGameSound::WormHole: return Wormhole(rate, n);
    case TGameSound::Conquer: return Fanfare(rate, n);
    case TGameSound::Blast3: // a star system under fire: a short, hard boom
        return Blast(rate, n, {70, 2600, 300, 0.12, {0.16, 0, 0}, 0.0, 0.01, 31});
    case TGameSound::Blast2: // a ship hit: a metallic clang and crackle
        return Blast(rate, n, {110, 3500, 600, 0.09, {0, 0, 0}, 0.45, 0.05, 32});
    case TGameSound::Blast1: // a ship destroyed: a long explosion with after-bursts
        return Blast(rate, n, {55, 3000, 160, 0.22, {0.14, 0.36, 0}, 0.1, 0.03, 33});
    case TGameSound::Capital: return Klaxon(rate, n);
    case TGameSound::Confirmed: return TwoBlips(rate, n, 784, 1175, 0.12, 0.35);
    case TGameSound::Error: return Buzzer(rate, n);
    }
    throw std::logic_error("internal: a sound without a recipe");
}

} // namespace

std::vector<double> TSoundArtist::Samples(const TGameSoundEntry& entry) { return Normalised(Recipe(entry), 0.88); }

std::vector<uint8_t> TSoundArtist::WaveImage(const TGameSoundEntry& entry) {
    const std::vector<double> samples = Samples(entry);
    const uint16_t bytes = entry.BitsPerSample / 8;
    std::vector<uint8_t> payload;
    payload.reserve(TWave::kLeadIn + entry.WaveSize);
    // The lead-in is silence in the sample format: 128 for 8-bit, 0 for 16-bit.
    payload.assign(TWave::kLeadIn, bytes == 1 ? 128 : 0);
    for (double v : samples) {
        const double x = std::clamp(v, -1.0, 1.0);
        if (bytes == 1) {
            payload.push_back(static_cast<uint8_t>(std::clamp(std::lround(128 + x * 127), 0L, 255L)));
        } else {
            const auto s = static_cast<int16_t>(std::lround(x * 32000));
            payload.push_back(static_cast<uint8_t>(s & 0xFF));
            payload.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
        }
    }
    TWaveFormat format;
    format.FormatTag = 1;
    format.Channels = 1;
    format.SamplesPerSecond = entry.SamplesPerSecond;
    format.BitsPerSample = entry.BitsPerSample;
    format.BlockAlign = bytes;
    format.AvgBytesPerSecond = entry.SamplesPerSecond * bytes;
    return TWave::BuildImage(format, payload);
}

} // namespace qx::art
