#pragma once

#include <stdexcept>
#include <string>

namespace qx {

class TQuorvexEngine;

// A saved game that cannot be used: the message says why, for the player.
class ESavedGameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Saved games: a game state text, scrambled whole in ".qx" files and plain
// in any other file (hand-edited or written by tools). Every program reads
// and writes games through here.
class TSavedGame {
public:
    // The newest game state format this version reads and writes.
    static constexpr double FormatVersion = 4.0;

    // True for names ending in ".qx" (any letter case).
    static bool IsScrambledName(const std::string& path);
    static std::string Scramble(std::string text);
    static std::string Unscramble(std::string text);

    // The game state text of a file (unscrambled when its name says so,
    // without trailing line ends). ESavedGameError when it cannot be read.
    static std::string ReadText(const std::string& path);
    // Writes a game state text (scrambled when the name says so) through a
    // temporary file, so a failed save leaves the old file whole.
    static void WriteText(const std::string& path, const std::string& text);

    // Throws ESavedGameError unless `text` is a whole game this version can
    // play: it reads completely, its map text fits its size, and its format
    // version is not newer than ours.
    static void Check(const std::string& text);
    // Replaces the game in `engine` with `text`, and loads the map text into
    // the engine's map grid when one is linked (so nebulae come back). The
    // text is tried on a scratch engine first: when it fails, `engine` and its
    // grid are left exactly as they were.
    static void Load(const std::string& text, TQuorvexEngine& engine);
    // Load of a file; every message names the file (the window shows Load's
    // own messages instead).
    static void LoadFile(const std::string& path, TQuorvexEngine& engine);
    static void SaveFile(const std::string& path, const TQuorvexEngine& engine);
};

} // namespace qx
