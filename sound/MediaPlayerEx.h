#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/Random.h"
#include "sound/MidiRenderer.h"
#include "sound/MusicStream.h"
#include "sound/WaveMixer.h"

namespace qx {

// Background music: the MIDI files ("*.mid" in any letter case) of one
// folder, played one at a time in random order, each once per cycle, then
// again. Pieces are rendered by FluidSynth and streamed into the mixer's
// device from a feeder thread, so music and sounds share one device and the
// music keeps time whatever the main thread does.
//
// Music is simply off, silently, when there is no device or no soundfont: no
// call throws and nothing is shown. The order comes from the presentation
// random generator the caller passes in.
//
// The game drives it with a timer: PlayRandom when a game starts, PlayNext
// every ten seconds (which starts the next piece once one has ended), Stop
// and Close when the game ends or music is switched off:
//
//   TMediaPlayerEx music(&sounds.Mixer(), presentationRandom);   // sounds: TGameSounds
//   music.SetDirectory(dataFolder + "/music");
//   music.PlayRandom();            // the game starts
//   music.PlayNext();              // every tick of the ten-second timer
//   music.Close();                 // the game ends, or "&Music" is switched off
class TMediaPlayerEx {
public:
    // The mixer may be null (no music); it must outlive the player or be
    // destroyed first (the player then stays silent).
    TMediaPlayerEx(TWaveMixer* mixer, TRandom& random, std::string soundFont = TMidiRenderer::DefaultSoundFont());
    ~TMediaPlayerEx();
    TMediaPlayerEx(const TMediaPlayerEx&) = delete;
    TMediaPlayerEx& operator=(const TMediaPlayerEx&) = delete;

    // The folder of the pieces. A trailing '/' is removed; an empty value
    // clears it (and with it nothing is ever scanned).
    const std::string& Directory() const { return directory_; }
    void SetDirectory(std::string directory);

    // Stops and closes what plays, then opens and plays the file. Returns
    // whether it plays; a failure is otherwise silent (LastError says why).
    bool PlayFile(const std::string& path);
    // Plays a piece not yet played in this cycle, chosen at random. When
    // the play list is empty it is filled from the folder first (regular
    // files only, sorted by name, so a seeded generator repeats its order).
    void PlayRandom();
    // Nothing while a piece plays after a PlayRandom; otherwise PlayRandom.
    void PlayNext();
    // Halts the music.
    void Stop();
    // Halts it and closes the piece.
    void Close();

    bool IsPlaying() const { return stream_.IsPlaying(); }
    // The file last opened (or tried).
    const std::string& FileName() const { return fileName_; }
    // Full paths not yet played in this cycle.
    const std::vector<std::string>& PlayList() const { return playList_; }
    bool Started() const { return started_; }
    const std::string& LastError() const { return lastError_; }

    // True for a name that ends in ".mid", in any letter case.
    static bool IsMidiName(const std::string& name);
    // Most pieces a scan takes from one folder.
    static constexpr size_t kMaxPieces = 4096;

private:
    void Scan();

    TRandom& random_;
    TMidiRenderer renderer_;
    TMusicStream stream_;
    std::string directory_;
    std::vector<std::string> playList_;
    std::string fileName_;
    std::string lastError_;
    bool started_ = false;
};

} // namespace qx
