#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qx {

// Renders a standard MIDI file into 16-bit stereo samples with FluidSynth and
// a General MIDI soundfont. The synthesiser (and its soundfont, a few
// megabytes) is made on first need and kept for every later piece. Time runs
// with the samples rendered, so the music keeps its tempo however the
// samples are fetched.
//
// One thread at a time: the music stream's feeder calls Render while a piece
// plays; Open and Close are called only while no one renders.
class TMidiRenderer {
public:
    static constexpr int kSampleRate = 44100;
    // A piece's last notes ring on this long after the player is done (the
    // FluidSynth player itself already lets them ring for two seconds).
    static constexpr int kTailMs = 300;
    // Larger files are not music of this game: refused unread.
    static constexpr uint64_t kMaxFileBytes = 4u << 20;

    // The soundfont used when none is named: $QUORVEX_SOUNDFONT when set,
    // else Debian's General MIDI soundfont (timgm6mb-soundfont), else the
    // system's default-GM.sf2.
    static std::string DefaultSoundFont();

    explicit TMidiRenderer(std::string soundFont = DefaultSoundFont());
    ~TMidiRenderer();
    TMidiRenderer(const TMidiRenderer&) = delete;
    TMidiRenderer& operator=(const TMidiRenderer&) = delete;

    // Makes the synthesiser and loads the soundfont if not done yet; false
    // (with Error()) when that cannot be done. A failure is remembered: the
    // soundfont is not tried again.
    bool Ready();
    const std::string& SoundFont() const { return soundFont_; }
    // Why the last Ready or Open failed.
    const std::string& Error() const { return error_; }

    // Opens a piece (a regular file starting with a MIDI header) and starts
    // it from the beginning; false, with Error(), when it cannot be read.
    bool Open(const std::string& path);
    bool IsOpen() const { return player_ != nullptr; }
    // Ends the piece at once; the synthesiser is kept.
    void Close();

    // Renders up to `frames` stereo frames (2 × frames values, left first)
    // and returns how many it wrote: `frames` while the piece or its tail
    // lasts, fewer at the very end, 0 once it is over or nothing is open.
    size_t Render(int16_t* out, size_t frames);
    // True once the piece and its tail have been rendered.
    bool Finished() const { return finished_; }
    // Frames rendered since Open.
    uint64_t FramesRendered() const { return rendered_; }

private:
    struct TSynth;

    std::string soundFont_;
    std::string error_;
    TSynth* synth_ = nullptr;
    bool failed_ = false;
    void* player_ = nullptr;
    bool finished_ = false;
    uint64_t rendered_ = 0;
    uint64_t tailLeft_ = 0;
    bool inTail_ = false;
};

} // namespace qx
