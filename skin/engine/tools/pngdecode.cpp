// pngdecode: decodes a PNG with the picture reader and writes its pixels as a
// PAM file (RGB, or RGB_ALPHA for pictures with alpha). On bad data it prints
// the reader's message and exits with 1.
//
//   pngdecode IN.png OUT.pam     decode one file ("-" writes to stdout)
//   pngdecode --digest FILE...   one line per file: size, format, colours and a
//                                digest of the pixels, or the failure message
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PNGDigest.h"

namespace {

bool ReadFile(const char* path, std::vector<uint8_t>& data) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    data.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return true;
}

std::string Digest(const char* path) {
    std::vector<uint8_t> data;
    if (!ReadFile(path, data)) return "cannot read";
    return PNGDigestLine(data.data(), data.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--digest") == 0) {
        for (int i = 2; i < argc; ++i) {
            const char* base = std::strrchr(argv[i], '/');
            std::printf("%s %s\n", base ? base + 1 : argv[i], Digest(argv[i]).c_str());
        }
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: pngdecode IN.png OUT.pam\n       pngdecode --digest FILE...\n");
        return 2;
    }
    std::vector<uint8_t> data;
    if (!ReadFile(argv[1], data)) {
        std::fprintf(stderr, "pngdecode: cannot read %s\n", argv[1]);
        return 2;
    }
    TColorManager cm;
    TPNGReader reader(cm);
    TPNGMemoryTarget target;
    TPNGMemorySource source(data.data(), data.size());
    try {
        reader.LoadFromStream(source, target);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message.c_str());
        return 1;
    }
    const TPixelView& v = target.View();
    bool alpha = v.PixelFormat == pf32bit;
    std::string out = "P7\nWIDTH " + std::to_string(v.Width) + "\nHEIGHT " + std::to_string(v.Height) +
                      "\nDEPTH " + (alpha ? "4" : "3") + "\nMAXVAL 255\nTUPLTYPE " + (alpha ? "RGB_ALPHA" : "RGB") +
                      "\nENDHDR\n";
    std::vector<uint8_t> pixels;
    pixels.reserve(size_t(v.Width) * v.Height * (alpha ? 4 : 3));
    for (uint32_t y = 0; y < v.Height; ++y)
        for (uint32_t x = 0; x < v.Width; ++x) {
            uint8_t px[4];
            target.PixelRGBA(x, y, px);
            pixels.insert(pixels.end(), px, px + (alpha ? 4 : 3));
        }
    FILE* f = std::strcmp(argv[2], "-") == 0 ? stdout : std::fopen(argv[2], "wb");
    if (!f) {
        std::fprintf(stderr, "pngdecode: cannot write %s\n", argv[2]);
        return 2;
    }
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size() &&
              std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
    if (f != stdout) ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "pngdecode: cannot write %s\n", argv[2]);
        return 2;
    }
    return 0;
}
