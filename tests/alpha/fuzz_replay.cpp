// Replays a fuzz corpus through the target's entry point as a plain test: every
// file of the folder given on the command line is run once.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(data.data(), data.size());
        // Every prefix too: truncated inputs are the cheapest edge cases.
        for (size_t n = 0; n < data.size(); ++n) LLVMFuzzerTestOneInput(data.data(), n);
        ++count;
    }
    std::printf("%d corpus files replayed\n", count);
    return count > 0 ? 0 : 1;
}
