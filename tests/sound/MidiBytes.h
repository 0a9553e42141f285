#pragma once

// Small standard MIDI files for the player's tests: one track of notes one
// after another at 120 beats per minute.

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace qx::test {

inline std::vector<uint8_t> MidiTune(int notes, int ticksPerNote, int key = 60) {
    std::vector<uint8_t> track;
    auto add = [&](std::initializer_list<int> bytes) {
        for (int b : bytes) track.push_back(static_cast<uint8_t>(b));
    };
    add({0x00, 0xC0, 0x00}); // piano
    for (int i = 0; i < notes; ++i) {
        const int k = key + i % 12;
        // the delta before the note-off as a two-byte variable-length number
        add({0x00, 0x90, k, 100, 0x80 | (ticksPerNote >> 7), ticksPerNote & 0x7F, 0x80, k, 0x40});
    }
    add({0x00, 0xFF, 0x2F, 0x00});
    const auto size = static_cast<uint32_t>(track.size());
    std::vector<uint8_t> file;
    for (char c : std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk", 18)) file.push_back(static_cast<uint8_t>(c));
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<uint8_t>(size >> shift));
    for (uint8_t b : track) file.push_back(b);
    return file;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

} // namespace qx::test
