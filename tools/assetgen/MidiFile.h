#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx::art {

// One track of a standard MIDI file: events at absolute ticks, written in
// time order with delta times. At one tick, note-offs come before
// controllers and programs, and those before note-ons, so a repeated note
// is not cut short by its own predecessor.
class TMidiTrack {
public:
    void Name(const std::string& text);
    void Tempo(int64_t tick, double beatsPerMinute);
    void TimeSignature(int64_t tick, int beatsPerBar);
    void Program(int64_t tick, int channel, int program);
    void Control(int64_t tick, int channel, int controller, int value);
    // A note of `duration` ticks; velocity 1..127 (values outside are held to it).
    void Note(int64_t tick, int64_t duration, int channel, int key, int velocity);

    bool Empty() const { return events_.empty(); }
    size_t NoteCount() const { return notes_; }
    int64_t LastTick() const;
    // The track chunk ("MTrk", length, events, end of track).
    std::vector<uint8_t> Encode() const;

private:
    struct TEvent {
        int64_t tick;
        int order; // 0 note-off, 1 meta/control/program, 2 note-on
        int64_t sequence;
        std::vector<uint8_t> bytes;
    };
    void Add(int64_t tick, int order, std::vector<uint8_t> bytes);

    std::vector<TEvent> events_;
    size_t notes_ = 0;
};

// A format 1 file of the tracks with `division` ticks per quarter note.
std::vector<uint8_t> EncodeMidiFile(const std::vector<TMidiTrack>& tracks, int division);

} // namespace qx::art
