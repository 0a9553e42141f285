#include "tools/assetgen/MidiFile.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace qx::art {

namespace {

void PutVarLength(std::vector<uint8_t>& out, uint64_t value) {
    uint8_t groups[10];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value && count < 10);
    while (count > 1) out.push_back(static_cast<uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

uint8_t Data7(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 127)); }
uint8_t Channel(int channel) {
    if (channel < 0 || channel > 15) throw std::invalid_argument("internal: MIDI channel out of range");
    return static_cast<uint8_t>(channel);
}

} // namespace

void TMidiTrack::Add(int64_t tick, int order, std::vector<uint8_t> bytes) {
    if (tick < 0) throw std::invalid_argument("internal: MIDI event before the start");
    events_.push_back({tick, order, static_cast<int64_t>(events_.size()), std::move(bytes)});
}

void TMidiTrack::Name(const std::string& text) {
    std::vector<uint8_t> bytes = {0xFF, 0x03};
    PutVarLength(bytes, text.size());
    bytes.insert(bytes.end(), text.begin(), text.end());
    Add(0, 1, std::move(bytes));
}

void TMidiTrack::Tempo(int64_t tick, double beatsPerMinute) {
    const auto micros = static_cast<uint32_t>(std::lround(60000000.0 / beatsPerMinute));
    Add(tick, 1,
        {0xFF, 0x51, 0x03, static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8),
         static_cast<uint8_t>(micros)});
}

void TMidiTrack::TimeSignature(int64_t tick, int beatsPerBar) {
    Add(tick, 1, {0xFF, 0x58, 0x04, static_cast<uint8_t>(beatsPerBar), 2, 24, 8});
}

void TMidiTrack::Program(int64_t tick, int channel, int program) {
    Add(tick, 1, {static_cast<uint8_t>(0xC0 | Channel(channel)), Data7(program)});
}

void TMidiTrack::Control(int64_t tick, int channel, int controller, int value) {
    Add(tick, 1, {static_cast<uint8_t>(0xB0 | Channel(channel)), Data7(controller), Data7(value)});
}

void TMidiTrack::Note(int64_t tick, int64_t duration, int channel, int key, int velocity) {
    if (duration <= 0) return;
    const uint8_t c = Channel(channel);
    Add(tick, 2, {static_cast<uint8_t>(0x90 | c), Data7(key), static_cast<uint8_t>(std::clamp(velocity, 1, 127))});
    Add(tick + duration, 0, {static_cast<uint8_t>(0x80 | c), Data7(key), 0x40});
    ++notes_;
}

int64_t TMidiTrack::LastTick() const {
    int64_t last = 0;
    for (const TEvent& e : events_) last = std::max(last, e.tick);
    return last;
}

std::vector<uint8_t> TMidiTrack::Encode() const {
    std::vector<const TEvent*> sorted;
    sorted.reserve(events_.size());
    for (const TEvent& e : events_) sorted.push_back(&e);
    std::stable_sort(sorted.begin(), sorted.end(), [](const TEvent* a, const TEvent* b) {
        if (a->tick != b->tick) return a->tick < b->tick;
        if (a->order != b->order) return a->order < b->order;
        return a->sequence < b->sequence;
    });
    std::vector<uint8_t> body;
    int64_t now = 0;
    for (const TEvent* e : sorted) {
        PutVarLength(body, static_cast<uint64_t>(e->tick - now));
        now = e->tick;
        body.insert(body.end(), e->bytes.begin(), e->bytes.end());
    }
    body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
    Put32(chunk, static_cast<uint32_t>(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

std::vector<uint8_t> EncodeMidiFile(const std::vector<TMidiTrack>& tracks, int division) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    out.push_back(static_cast<uint8_t>(tracks.size() >> 8));
    out.push_back(static_cast<uint8_t>(tracks.size()));
    out.push_back(static_cast<uint8_t>(division >> 8));
    out.push_back(static_cast<uint8_t>(division));
    for (const TMidiTrack& track : tracks) {
        const std::vector<uint8_t> chunk = track.Encode();
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

} // namespace qx::art
