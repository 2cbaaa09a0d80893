// Writes the hand-built seed streams into a folder (the fuzzer's seed corpus).
#include <cstdio>
#include <string>

#include "SeedStreams.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: formdata_seeds DIR\n");
        return 2;
    }
    for (auto& [name, bytes] : SeedStreams()) {
        std::string path = std::string(argv[1]) + "/" + name + ".bin";
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
            std::fprintf(stderr, "formdata_seeds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
