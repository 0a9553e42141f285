// Linked into every fuzz target's smoke test: each input the fuzzers once found a
// fault with is kept under fuzz/regressions/<target> and read again here, so the
// sanitizer build fails if the fault comes back.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "base/AtomicFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(FuzzSmoke, InputsThatOnceFoundAFaultStayHarmless) {
    const std::filesystem::path folder = std::filesystem::path(QX_SOURCE_DIR) / "fuzz/regressions" / QX_FUZZ_TARGET;
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no findings kept for " << QX_FUZZ_TARGET;
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string input = qx::ReadWholeFile(entry.path().string());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
        ++inputs;
    }
    EXPECT_GT(inputs, 0) << folder;
}
