#pragma once

// Wave images assembled chunk by chunk, so a test can damage any part.

#include <cstdint>
#include <string>
#include <vector>

namespace qx::test {

class TImageBuilder {
public:
    TImageBuilder& Bytes(const std::vector<uint8_t>& bytes) {
        data_.insert(data_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    TImageBuilder& Id(const char* id) {
        for (int i = 0; i < 4; ++i) data_.push_back(static_cast<uint8_t>(id[i]));
        return *this;
    }
    TImageBuilder& U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) data_.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    TImageBuilder& U16(uint16_t v) {
        data_.push_back(static_cast<uint8_t>(v));
        data_.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    // A chunk with its declared size and payload (and the pad byte an odd
    // payload is followed by, unless told not to).
    TImageBuilder& Chunk(const char* id, const std::vector<uint8_t>& payload, bool pad = true) {
        Id(id).U32(static_cast<uint32_t>(payload.size())).Bytes(payload);
        if (pad && payload.size() % 2) data_.push_back(0);
        return *this;
    }
    // The 16 bytes of a format chunk's payload.
    static std::vector<uint8_t> Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
        TImageBuilder f;
        const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
        f.U16(tag).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits);
        return f.data_;
    }
    // "RIFF", a size covering everything after it, "WAVE", then the body.
    static std::vector<uint8_t> Riff(const std::vector<uint8_t>& body, const char* form = "WAVE") {
        TImageBuilder r;
        r.Id("RIFF").U32(static_cast<uint32_t>(body.size() + 4)).Id(form).Bytes(body);
        return r.data_;
    }
    const std::vector<uint8_t>& Data() const { return data_; }

private:
    std::vector<uint8_t> data_;
};

// Payload bytes 0, 1, 2, ... (mod 251), so any offset is recognisable.
inline std::vector<uint8_t> Ramp(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i % 251);
    return bytes;
}

// A plain mono or stereo PCM image with the payload given.
inline std::vector<uint8_t> PcmImage(uint16_t channels, uint32_t rate, uint16_t bits,
                                     const std::vector<uint8_t>& payload) {
    TImageBuilder body;
    body.Chunk("fmt ", TImageBuilder::Format(1, channels, rate, bits)).Chunk("data", payload);
    return TImageBuilder::Riff(body.Data());
}

} // namespace qx::test
