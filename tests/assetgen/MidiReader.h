#pragma once

// Reads back what a standard MIDI file holds, byte by byte (not through the
// writer that made it): tracks, notes, programs and the tempo map.

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace qx::art::test {

struct TMidiNote {
    int64_t Tick;
    int Channel, Key, Velocity;
};

struct TMidiContent {
    int Format = -1;
    int Division = 0;
    int Tracks = 0;
    std::vector<TMidiNote> Notes;
    std::map<int, int> Programs;                 // channel -> program
    std::vector<std::pair<int64_t, double>> Tempi; // tick -> beats per minute
    int64_t LastTick = 0;

    double Seconds() const {
        double seconds = 0, bpm = 120;
        int64_t at = 0;
        for (const auto& [tick, next] : Tempi) {
            if (tick > LastTick) break;
            seconds += static_cast<double>(tick - at) / Division * 60 / bpm;
            at = tick;
            bpm = next;
        }
        return seconds + static_cast<double>(LastTick - at) / Division * 60 / bpm;
    }
};

inline TMidiContent ReadMidi(const std::vector<uint8_t>& d) {
    auto fail = [](const char* why) { throw std::runtime_error(why); };
    auto u32 = [&](size_t at) {
        if (at + 4 > d.size()) fail("truncated");
        return uint32_t{d[at]} << 24 | uint32_t{d[at + 1]} << 16 | uint32_t{d[at + 2]} << 8 | d[at + 3];
    };
    auto u16 = [&](size_t at) {
        if (at + 2 > d.size()) fail("truncated");
        return d[at] << 8 | d[at + 1];
    };
    TMidiContent m;
    if (d.size() < 14 || std::string(d.begin(), d.begin() + 4) != "MThd" || u32(4) != 6) fail("no header");
    m.Format = u16(8);
    m.Tracks = u16(10);
    m.Division = u16(12);
    size_t pos = 14;
    for (int t = 0; t < m.Tracks; ++t) {
        if (pos + 8 > d.size() || std::string(d.begin() + pos, d.begin() + pos + 4) != "MTrk") fail("no track");
        const size_t end = pos + 8 + u32(pos + 4);
        if (end > d.size()) fail("track past the end");
        size_t i = pos + 8;
        int64_t tick = 0;
        uint8_t status = 0;
        bool ended = false;
        auto var = [&] {
            uint64_t v = 0;
            for (int k = 0; k < 4; ++k) {
                if (i >= end) fail("truncated number");
                const uint8_t b = d[i++];
                v = v << 7 | (b & 0x7F);
                if (b < 0x80) return v;
            }
            fail("number too long");
            return v;
        };
        while (i < end && !ended) {
            tick += static_cast<int64_t>(var());
            if (i >= end) fail("truncated event");
            if (d[i] == 0xFF) {
                const uint8_t type = d[i + 1];
                i += 2;
                const uint64_t length = var();
                if (type == 0x51 && length == 3)
                    m.Tempi.push_back({tick, 60000000.0 / (d[i] << 16 | d[i + 1] << 8 | d[i + 2])});
                if (type == 0x2F) ended = true;
                i += length;
                continue;
            }
            if (d[i] & 0x80) status = d[i++];
            const int kind = status & 0xF0, channel = status & 0x0F;
            const int a = d[i++];
            const int b = (kind == 0xC0 || kind == 0xD0) ? 0 : d[i++];
            if (kind == 0x90 && b > 0) m.Notes.push_back({tick, channel, a, b});
            if (kind == 0xC0) m.Programs[channel] = a;
            m.LastTick = std::max(m.LastTick, tick);
        }
        if (!ended) fail("track without its end");
        pos = end;
    }
    std::stable_sort(m.Tempi.begin(), m.Tempi.end(), [](auto& x, auto& y) { return x.first < y.first; });
    return m;
}

} // namespace qx::art::test
