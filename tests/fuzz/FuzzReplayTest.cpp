// Replays the inputs kept for one fuzz target through the target's own entry point: the
// corpus that scripts/fuzz.sh grows and every input that once crashed it. A finding
// aborts the test program, and the sanitizer build replays them all as well.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Defined by the targets that set something up once.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

// Named after the target (GLIMSEL_FUZZ_CASE), so that every target's test has a name of
// its own among the tests of the whole tree.
TEST(FuzzReplay, GLIMSEL_FUZZ_CASE) {
    if (LLVMFuzzerInitialize) {
        int argc = 0;
        char** argv = nullptr;
        LLVMFuzzerInitialize(&argc, &argv);
    }
    int inputs = 0;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path dir = fs::path(GLIMSEL_SOURCE_DIR) / "fuzz" / kind / GLIMSEL_FUZZ_TARGET;
        if (!fs::is_directory(dir)) continue;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            SCOPED_TRACE(entry.path().string());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++inputs;
        }
    }
    // A target without kept inputs would pass without testing anything.
    EXPECT_GT(inputs, 0) << "no kept inputs for " << GLIMSEL_FUZZ_TARGET;
}

}  // namespace
