#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/Random.h"
#include "sound/Wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Wave images of the kinds the game and other writers make.
std::vector<Bytes> Seeds() {
    std::vector<Bytes> seeds;
    for (uint16_t bits : {8, 16})
        for (uint16_t channels : {1, 2}) {
            qx::TWaveFormat format;
            format.Channels = channels;
            format.BitsPerSample = bits;
            format.SamplesPerSecond = 11025;
            format.BlockAlign = static_cast<uint16_t>(channels * bits / 8);
            format.AvgBytesPerSecond = 11025u * format.BlockAlign;
            Bytes payload(8 + 37, 0x80);
            for (size_t i = 8; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i * 37);
            seeds.push_back(qx::TWave::BuildImage(format, payload));
        }
    // A LIST chunk, an odd-sized chunk with its pad byte and a long format chunk.
    Bytes rich = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'L', 'I', 'S', 'T'};
    Put32(rich, 4);
    rich.insert(rich.end(), {'I', 'N', 'F', 'O', 'f', 'm', 't', ' '});
    Put32(rich, 18);
    rich.insert(rich.end(), {1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0, 0, 0});
    rich.insert(rich.end(), {'j', 'u', 'n', 'k'});
    Put32(rich, 3);
    rich.insert(rich.end(), {1, 2, 3, 0, 'd', 'a', 't', 'a'});
    Put32(rich, 20);
    for (int i = 0; i < 20; ++i) rich.push_back(static_cast<uint8_t>(128 + i));
    const auto riffSize = static_cast<uint32_t>(rich.size() - 8);
    for (int i = 0; i < 4; ++i) rich[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
    seeds.push_back(rich);
    return seeds;
}

// Damage of the kinds files suffer: changed, lost or doubled bytes, cut
// ends, and sizes set to their extremes.
Bytes Mutate(Bytes bytes, qx::TRandom& random) {
    const int edits = 1 + random.Random(4);
    for (int e = 0; e < edits; ++e) {
        const size_t at = bytes.empty() ? 0 : static_cast<size_t>(random.Random(static_cast<int>(bytes.size())));
        switch (random.Random(6)) {
        case 0:
            if (!bytes.empty()) bytes[at] = static_cast<uint8_t>(random.Random(256));
            break;
        case 1: {
            const size_t end = std::min(bytes.size(), at + static_cast<size_t>(random.Random(8)));
            bytes.erase(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(end));
            break;
        }
        case 2: {
            const size_t end = std::min(bytes.size(), at + static_cast<size_t>(random.Random(12)));
            const Bytes copy(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(end));
            bytes.insert(bytes.begin() + static_cast<long>(at), copy.begin(), copy.end());
            break;
        }
        case 3: bytes.resize(at); break;
        default: {
            // A size field (or any four bytes) at an extreme.
            static const uint32_t extremes[] = {0, 1, 7, 8, 15, 16, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFF8};
            const uint32_t v = extremes[random.Random(10)];
            for (int i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
            break;
        }
        }
    }
    return bytes;
}

} // namespace

TEST(FuzzSmoke, MutatedWaveImagesNeverFault) {
    // A fault aborts the program; what is checked here is that the seeds are
    // taken whole and that the mutations leave enough images loadable to reach
    // past the header checks.
    const std::vector<Bytes> seeds = Seeds();
    for (const Bytes& seed : seeds) EXPECT_EQ(LLVMFuzzerTestOneInput(seed.data(), seed.size()), 0);
    qx::TRandom random(2024);
    int accepted = 0;
    const int rounds = 5000;
    for (int round = 0; round < rounds; ++round) {
        const Bytes input = Mutate(seeds[static_cast<size_t>(random.Random(static_cast<int>(seeds.size())))], random);
        accepted += LLVMFuzzerTestOneInput(input.data(), input.size()) == 0;
    }
    EXPECT_GT(accepted, rounds / 10);
    EXPECT_LT(accepted, rounds) << "some damage must be refused";
}
