#include "sound/Wave.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

namespace qx {

namespace {

uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutId(std::vector<uint8_t>& out, const char* id) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}

// A chunk found by a scan: where its payload starts and how long it claims
// to be (the claim may run past the bytes present; readers clamp).
struct TChunk {
    size_t payload = 0;
    uint64_t size = 0;
};

// Scans the chunks laid end to end in [from, end) for the first with the id
// (and, when form is given, whose payload starts with that form type). Each
// chunk is skipped with the pad byte that follows an odd size.
std::optional<TChunk> FindChunk(const std::vector<uint8_t>& image, size_t from, size_t end, const char* id,
                                const char* form = nullptr) {
    size_t at = from;
    while (at <= end && end - at >= 8) {
        const uint8_t* header = image.data() + at;
        const uint64_t size = Get32(header + 4);
        const size_t payload = at + 8;
        if (std::memcmp(header, id, 4) == 0) {
            if (!form) return TChunk{payload, size};
            if (size >= 4 && end - payload >= 4 && std::memcmp(image.data() + payload, form, 4) == 0)
                return TChunk{payload, size};
        }
        const uint64_t next = uint64_t{payload} + size + (size & 1);
        if (next > end) break;
        at = static_cast<size_t>(next);
    }
    return std::nullopt;
}

} // namespace

void TWave::Clear() {
    image_.clear();
    image_.shrink_to_fit();
    format_ = TWaveFormat{0, 0, 0, 0, 0, 0, 0};
    sampleOffset_ = 0;
    waveSize_ = 0;
    hasWave_ = false;
}

void TWave::SetHasWaveData(bool value) {
    if (!value) Clear();
}

void TWave::LoadFromMemory(const void* data, size_t size) {
    if (!data || size == 0) {
        Clear();
        throw EWaveError(kCannotOpen);
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    AssignImage(std::vector<uint8_t>(bytes, bytes + size));
}

void TWave::LoadFromFile(const std::string& path) {
    std::vector<uint8_t> image;
    bool read = false;
    std::error_code error;
    // Regular files only: a FIFO or device would block or never end.
    const auto status = std::filesystem::status(path, error);
    if (!error && std::filesystem::is_regular_file(status)) {
        const auto size = std::filesystem::file_size(path, error);
        if (!error && size > 0 && size <= kMaxFileBytes) {
            std::ifstream in(path, std::ios::binary);
            image.resize(static_cast<size_t>(size));
            read = in && in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(size)) &&
                   static_cast<uint64_t>(in.gcount()) == size;
        }
    }
    if (!read) {
        Clear();
        throw EWaveError(kCannotOpen);
    }
    AssignImage(std::move(image));
}

void TWave::AssignImage(std::vector<uint8_t> image) {
    Clear();
    if (image.empty()) throw EWaveError(kCannotOpen);
    const size_t end = image.size();

    const auto riff = FindChunk(image, 0, end, "RIFF", "WAVE");
    if (!riff) throw EWaveError(kNotWave);
    // The subchunks lie inside the RIFF chunk, and inside the bytes present.
    const size_t riffEnd = static_cast<size_t>(std::min<uint64_t>(end, riff->payload + riff->size));
    const size_t first = riff->payload + 4;

    const auto fmt = FindChunk(image, first, riffEnd, "fmt ");
    if (!fmt) throw EWaveError(kNoFormat);
    if (fmt->size < 16 || fmt->size > riffEnd - fmt->payload) throw EWaveError(kBadFormat);
    const uint8_t* f = image.data() + fmt->payload;
    TWaveFormat format;
    format.FormatTag = Get16(f);
    format.Channels = Get16(f + 2);
    format.SamplesPerSecond = Get32(f + 4);
    format.AvgBytesPerSecond = Get32(f + 8);
    format.BlockAlign = Get16(f + 12);
    format.BitsPerSample = Get16(f + 14);
    format.ExtraSize = 0;

    // The data chunk follows the format chunk (with its pad byte).
    const uint64_t afterFmt = uint64_t{fmt->payload} + fmt->size + (fmt->size & 1);
    const auto data = afterFmt <= riffEnd ? FindChunk(image, static_cast<size_t>(afterFmt), riffEnd, "data")
                                          : std::nullopt;
    if (!data) throw EWaveError(kNoData);
    // A payload claiming more than the image holds is clamped to what is
    // there; one under the 8 lead-in bytes is an empty wave.
    const uint64_t present = std::min<uint64_t>(data->size, riffEnd - data->payload);
    const uint32_t payload = static_cast<uint32_t>(present);

    image_ = std::move(image);
    format_ = format;
    sampleOffset_ = payload >= kLeadIn ? data->payload + kLeadIn : data->payload;
    waveSize_ = payload >= kLeadIn ? payload - kLeadIn : 0;
    hasWave_ = true;
}

void TWave::GetFormat(TWaveFormat& format) const {
    format = format_;
    format.ExtraSize = 0;
}

bool TWave::IsPlayableFormat() const {
    const TWaveFormat& f = format_;
    return hasWave_ && f.FormatTag == 1 && (f.Channels == 1 || f.Channels == 2) &&
           (f.BitsPerSample == 8 || f.BitsPerSample == 16) && f.SamplesPerSecond > 0 &&
           f.BlockAlign == f.Channels * f.BitsPerSample / 8;
}

uint32_t TWave::PlayableSize() const {
    if (!IsPlayableFormat()) return 0;
    return waveSize_ - waveSize_ % format_.BlockAlign;
}

uint32_t TWave::DurationMs() const {
    if (!IsPlayableFormat()) return 0;
    const uint64_t frames = PlayableSize() / format_.BlockAlign;
    return static_cast<uint32_t>(frames * 1000 / format_.SamplesPerSecond);
}

std::vector<uint8_t> TWave::WaveData() const {
    std::vector<uint8_t> out;
    if (!hasWave_ || image_.empty() || image_.size() > INT32_MAX) return out;
    out.reserve(4 + image_.size());
    Put32(out, static_cast<uint32_t>(image_.size()));
    out.insert(out.end(), image_.begin(), image_.end());
    return out;
}

size_t TWave::SetWaveData(const uint8_t* data, size_t size) {
    if (!data || size < 4) throw EWaveError(kCannotOpen);
    // The length is a signed 32-bit count; below 1 there is nothing stored.
    const auto length = static_cast<int32_t>(Get32(data));
    if (length < 1) {
        SetHasWaveData(false);
        return 4;
    }
    if (static_cast<uint64_t>(length) > size - 4) {
        SetHasWaveData(false);
        throw EWaveError(kCannotOpen);
    }
    LoadFromMemory(data + 4, static_cast<size_t>(length));
    return 4 + static_cast<size_t>(length);
}

std::vector<uint8_t> TWave::BuildImage(const TWaveFormat& format, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out;
    const auto dataSize = static_cast<uint32_t>(payload.size());
    const uint32_t pad = dataSize & 1;
    out.reserve(44 + payload.size() + pad);
    PutId(out, "RIFF");
    Put32(out, 4 + 8 + 16 + 8 + dataSize + pad);
    PutId(out, "WAVE");
    PutId(out, "fmt ");
    Put32(out, 16);
    Put16(out, format.FormatTag);
    Put16(out, format.Channels);
    Put32(out, format.SamplesPerSecond);
    Put32(out, format.AvgBytesPerSecond);
    Put16(out, format.BlockAlign);
    Put16(out, format.BitsPerSample);
    PutId(out, "data");
    Put32(out, dataSize);
    out.insert(out.end(), payload.begin(), payload.end());
    if (pad) out.push_back(0);
    return out;
}

} // namespace qx
