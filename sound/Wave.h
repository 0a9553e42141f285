#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace qx {

// Raised when a wave image cannot be used; the text says why ("Not a valid
// Wave File", "Wave format chunk not found", ...).
class EWaveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The format record a wave describes (the shape of the PCM format block of a
// RIFF wave). FormatTag 1 is plain PCM.
struct TWaveFormat {
    uint16_t FormatTag = 1;
    uint16_t Channels = 0;
    uint32_t SamplesPerSecond = 0;
    uint32_t AvgBytesPerSecond = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
    uint16_t ExtraSize = 0;
    friend bool operator==(const TWaveFormat&, const TWaveFormat&) = default;
};

// One RIFF/WAVE file image held in memory: the whole file as loaded, its
// format and where its samples lie. Parsing follows the game's own rule that
// the first 8 bytes of the data chunk are not sound: the samples start 8
// bytes into the payload and WaveSize is the payload less 8 (a 218-byte
// payload gives 210). Standard library only; the mixer plays it.
//
// Every reader is bounded by the bytes present: a damaged or hostile image
// gives an EWaveError or a shorter wave, never a read outside the image.
class TWave {
public:
    // The texts of the failures of parsing.
    static constexpr const char* kCannotOpen = "Could not open Wave File";
    static constexpr const char* kNotWave = "Not a valid Wave File";
    static constexpr const char* kNoFormat = "Wave format chunk not found";
    static constexpr const char* kBadFormat = "Read of format chunk failed";
    static constexpr const char* kNoData = "Wave data chunk not found";

    // Bytes of silence at the start of every data payload.
    static constexpr uint32_t kLeadIn = 8;
    // Larger files are not sound effects of this game: refused unread.
    static constexpr uint64_t kMaxFileBytes = uint64_t{64} << 20;

    TWave() = default;
    TWave(const TWave&) = delete;
    TWave& operator=(const TWave&) = delete;
    virtual ~TWave() = default;

    // Replaces the wave by a parsed copy of the image. On failure the wave is
    // left empty and EWaveError carries one of the texts above.
    virtual void LoadFromMemory(const void* data, size_t size);
    void LoadFromMemory(const std::vector<uint8_t>& image) { LoadFromMemory(image.data(), image.size()); }
    // Reads the whole file (a regular file of at most kMaxFileBytes) and
    // parses it; anything unreadable gives "Could not open Wave File".
    virtual void LoadFromFile(const std::string& path);

    // True while a parsed wave is held; setting false discards it (setting
    // true changes nothing).
    bool HasWaveData() const { return hasWave_; }
    virtual void SetHasWaveData(bool value);

    // Playing returns only when the sound has finished (used by the mixer's
    // buffers; the wait is bounded by the sound's length).
    bool Synchronous = false;

    uint32_t WaveSize() const { return waveSize_; }
    uint32_t AvgBytesPerSecond() const { return format_.AvgBytesPerSecond; }
    uint16_t BitsPerSample() const { return format_.BitsPerSample; }
    uint16_t BlockAlign() const { return format_.BlockAlign; }
    uint16_t Channels() const { return format_.Channels; }
    uint32_t SamplesPerSecond() const { return format_.SamplesPerSecond; }
    uint16_t FormatTag() const { return format_.FormatTag; }

    // The format record of the wave: its own tag (1 for the PCM the mixer
    // plays), channels, rate, bytes per second, block align, bits, and
    // extra size 0. All zero without a wave.
    void GetFormat(TWaveFormat& format) const;

    // The WaveSize sample bytes (null without a wave or when it is empty).
    const uint8_t* Samples() const { return hasWave_ && waveSize_ > 0 ? image_.data() + sampleOffset_ : nullptr; }
    // Where the samples start in the image.
    size_t SampleOffset() const { return sampleOffset_; }
    // The whole file image as loaded (empty without a wave).
    const std::vector<uint8_t>& Image() const { return image_; }

    // The sample bytes a device may take: whole frames of the format only
    // (0 when the format has no frame size).
    uint32_t PlayableSize() const;
    // True when the format is one a mixer can play: PCM, 1 or 2 channels,
    // 8 or 16 bits, a rate above 0 and a BlockAlign of whole samples.
    bool IsPlayableFormat() const;
    // Length of the samples in milliseconds at the wave's own rate (0 for
    // an unplayable format).
    uint32_t DurationMs() const;

    // The stored form kept under the name "WaveData": a 4-byte little-endian
    // length and that many bytes of the RIFF image. Without a wave nothing is
    // stored (an empty vector).
    std::vector<uint8_t> WaveData() const;
    // Reads the stored form back; returns the bytes it took. A length below 1
    // loads nothing (and discards the wave); a length beyond the bytes given
    // is "Could not open Wave File".
    size_t SetWaveData(const uint8_t* data, size_t size);

    // A RIFF/WAVE image of the format whose data chunk holds the payload as
    // given (so the first kLeadIn bytes of it are not played). Used by the
    // generator of the game's sounds.
    static std::vector<uint8_t> BuildImage(const TWaveFormat& format, const std::vector<uint8_t>& payload);

protected:
    // Parses the image into this wave; the base of every loader.
    void AssignImage(std::vector<uint8_t> image);

private:
    void Clear();

    std::vector<uint8_t> image_;
    TWaveFormat format_{0, 0, 0, 0, 0, 0, 0};
    size_t sampleOffset_ = 0;
    uint32_t waveSize_ = 0;
    bool hasWave_ = false;
};

} // namespace qx
