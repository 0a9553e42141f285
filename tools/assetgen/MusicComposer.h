#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx::art {

// One piece of the game's background music.
struct TMusicPiece {
    std::string FileName; // "Title.mid"
    std::string Title;
    std::string Mood;
    double BeatsPerMinute = 0;
    double Seconds = 0; // its length, with the closing slow-down
    std::vector<uint8_t> Midi;
};

// Composes the game's four MIDI pieces for a General MIDI synthesiser, each
// with its own key, tempo and band: the title theme (majestic, horns and
// strings), a calm exploration piece (flute over pads), a tense pursuit
// (pulsing strings and drums) and a victory march (brass and snare). Each
// has intro, themes that return, a contrasting middle and an ending, and
// lasts one to three minutes. The same on every run.
class TMusicComposer {
public:
    static std::vector<TMusicPiece> Pieces();
    static TMusicPiece Title();
    static TMusicPiece Exploration();
    static TMusicPiece Tension();
    static TMusicPiece Victory();
};

} // namespace qx::art
