// qxtool sound: plays one of the game's sound effects (or a wave file) on the
// sound device and waits for its end, so sounds can be heard and checked
// without the game window. Left out of a build without OpenAL and FluidSynth.
#ifdef QX_HAVE_SOUND
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "sound/GameSoundTable.h"
#include "sound/SoundBuffer.h"
#include "sound/SoundError.h"
#include "sound/WaveMixer.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool sound NAME|FILE.wav [--data DIR] [--volume V] [--pan P] [--rate PCT]\n"
    "Plays one of the game's fifteen sound effects (sndButton, sndBlast1, ...; the \"snd\" may be\n"
    "left off) or any PCM wave file on the sound device, and returns when it has finished.\n"
    "A named sound plays with the volume and pan the game gives it unless told otherwise.\n"
    "Options:\n"
    "  --data DIR   folder with the generated data (default: ../data beside qxtool); the\n"
    "               sounds are in its sounds/ subfolder\n"
    "  --volume V   attenuation in hundredths of a decibel, -10000..0\n"
    "  --pan P      -10000 (left) .. 10000 (right)\n"
    "  --rate PCT   playback rate in percent of the wave's own (the game plays event sounds\n"
    "               at 86..115)\n"
    "Without a sound device it says so and exits with status 1.\n"
    "Exit status: 0 on success, 1 for bad input or no device, 2 for bad usage.\n";

std::string DefaultDataFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "data";
    return (self.parent_path().parent_path() / "data").string();
}

std::string Names() {
    std::string names;
    for (const TGameSoundEntry& entry : GameSoundTable()) names += std::string(names.empty() ? "" : ", ") + entry.Name;
    return names;
}

int RunSound(const std::vector<std::string>& args) {
    Arguments arguments(args);
    if (arguments.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const std::optional<std::string> data = arguments.Value("--data");
    const auto volume = arguments.Value("--volume");
    const auto pan = arguments.Value("--pan");
    const auto rate = arguments.Value("--rate");
    const std::string what = arguments.Positional(1, 1).front();

    std::string path = what;
    const TGameSoundEntry* entry = nullptr;
    if (!what.ends_with(".wav") && !what.ends_with(".WAV")) {
        entry = FindGameSound(what);
        if (!entry) throw ToolError{"unknown sound '" + what + "' (one of: " + Names() + ")", 1};
        path = (data ? *data : DefaultDataFolder()) + "/sounds/" + entry->FileName;
    }

    std::string message;
    TWaveMixer mixer([&](const std::string& text) { message = text; });
    if (!mixer.DirectSoundLoaded()) throw ToolError{message, 1};
    TSoundBuffer buffer(&mixer);
    try {
        buffer.LoadFromFile(path);
    } catch (const EWaveError& error) {
        throw ToolError{path + ": " + error.what(), 1};
    }
    try {
        buffer.SetVolume(static_cast<int>(
            volume ? ParseInt("option --volume", *volume, -10000, 0) : entry ? entry->Volume : 0));
        buffer.SetPanning(static_cast<int>(
            pan ? ParseInt("option --pan", *pan, -10000, 10000) : entry ? entry->Panning : 0));
        if (rate) buffer.SetFrequencyPct(static_cast<int32_t>(ParseInt("option --rate", *rate, 1, 100000)));
        std::cout << (entry ? entry->Name : path) << ": " << buffer.SamplesPerSecond() << " Hz, "
                  << buffer.BitsPerSample() << "-bit " << (buffer.Channels() == 1 ? "mono" : "stereo") << ", "
                  << buffer.WaveSize() << " bytes, " << buffer.DurationMs() << " ms" << std::endl;
        buffer.Synchronous = true;
        buffer.Play();
    } catch (const EMixerError& error) {
        throw ToolError{path + ": " + error.what(), 1};
    }
    return 0;
}

} // namespace

QX_COMMAND(sound, "sound", "play one of the game's sound effects or a wave file", RunSound);

} // namespace qx::tool
#endif
