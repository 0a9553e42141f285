// Fuzz target for the wave image parser: any bytes either load or are refused
// with EWaveError. A loaded wave's samples lie inside its image, only whole
// frames are offered to a device, and the stored form reads back to the same
// wave.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sound/Wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qx::TWave wave;
    try {
        wave.LoadFromMemory(data, size);
    } catch (const qx::EWaveError&) {
        if (wave.HasWaveData() || wave.WaveSize() != 0) std::abort();
        return -1;
    }
    if (!wave.HasWaveData()) std::abort();
    const size_t image = wave.Image().size();
    if (image != size) std::abort();
    if (wave.SampleOffset() > image || wave.WaveSize() > image - wave.SampleOffset()) std::abort();
    if (wave.WaveSize() > 0 && wave.Samples() != wave.Image().data() + wave.SampleOffset()) std::abort();
    if (wave.PlayableSize() > wave.WaveSize()) std::abort();
    if (wave.IsPlayableFormat() && wave.PlayableSize() % wave.BlockAlign() != 0) std::abort();
    if (!wave.IsPlayableFormat() && (wave.PlayableSize() != 0 || wave.DurationMs() != 0)) std::abort();

    const std::vector<uint8_t> stored = wave.WaveData();
    qx::TWave back;
    if (back.SetWaveData(stored.data(), stored.size()) != stored.size()) std::abort();
    if (back.Image() != wave.Image() || back.WaveSize() != wave.WaveSize() ||
        back.SampleOffset() != wave.SampleOffset() || back.SamplesPerSecond() != wave.SamplesPerSecond())
        std::abort();
    return 0;
}
