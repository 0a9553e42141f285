// qxtool music: plays the game's MIDI music (one file, or every piece of a
// folder in the game's random order) through the synthesiser and the sound
// device. Left out of a build without OpenAL and FluidSynth.
#ifdef QX_HAVE_SOUND
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "base/Random.h"
#include "sound/MediaPlayerEx.h"
#include "sound/MidiRenderer.h"
#include "sound/WaveMixer.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool music FILE.mid|FOLDER [--seconds N] [--seed S] [--soundfont FILE.sf2]\n"
    "Plays a MIDI file to its end, or every piece of a folder once in random order, as the game\n"
    "does during play (the generated pieces are in the data folder's music/ subfolder).\n"
    "Options:\n"
    "  --seconds N        stop after N seconds (1..86400)\n"
    "  --seed S           seed of the order of a folder's pieces\n"
    "  --soundfont FILE   General MIDI soundfont (default: $QUORVEX_SOUNDFONT, else Debian's\n"
    "                     timgm6mb-soundfont)\n"
    "Exit status: 0 on success, 1 when nothing can be played, 2 for bad usage.\n";

int RunMusic(const std::vector<std::string>& args) {
    Arguments arguments(args);
    if (arguments.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const int64_t seconds = arguments.Int("--seconds", 0, 1, 86400);
    const int64_t seed = arguments.Int("--seed", 1, 0, INT64_MAX);
    const std::optional<std::string> soundFont = arguments.Value("--soundfont");
    const std::string what = arguments.Positional(1, 1).front();

    std::string message;
    TWaveMixer mixer([&](const std::string& text) { message = text; });
    if (!mixer.DirectSoundLoaded()) throw ToolError{message, 1};
    TRandom random(static_cast<uint64_t>(seed));
    TMediaPlayerEx player(&mixer, random, soundFont ? *soundFont : TMidiRenderer::DefaultSoundFont());

    auto announce = [&] {
        if (player.IsPlaying())
            std::cout << "Playing " << player.FileName() << std::endl;
        else
            std::cerr << "qxtool music: skipped " << player.FileName() << ": " << player.LastError() << std::endl;
    };
    std::error_code error;
    const bool folder = std::filesystem::is_directory(what, error);
    size_t pieces = 1;
    if (folder) {
        player.SetDirectory(what);
        player.PlayRandom();
        if (player.FileName().empty()) throw ToolError{"no *.mid files in " + what, 1};
        pieces = player.PlayList().size() + 1;
    } else if (!player.PlayFile(what)) {
        throw ToolError{player.LastError(), 1};
    }
    announce();
    // A folder's pieces each once, in the game's order, each to its end.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    size_t tried = 1;
    while (seconds == 0 || std::chrono::steady_clock::now() < until) {
        if (player.IsPlaying()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        if (!folder || tried >= pieces) break;
        player.PlayRandom();
        ++tried;
        announce();
    }
    player.Close();
    return 0;
}

} // namespace

QX_COMMAND(music, "music", "play the game's MIDI music (a file or a folder of pieces)", RunMusic);

} // namespace qx::tool
#endif
