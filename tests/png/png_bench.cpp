// Decode speed of our PNG reader against the host's libpng, same process,
// same files held in memory. For each file: the best of several decodes,
// megabytes of decoded pixels per second, and the ratio (above 1: ours is
// faster). A folder argument times all its images together.
//
//   png_bench FILE_OR_FOLDER...
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PNGCraft.h"
#include "PNGReader.h"

namespace fs = std::filesystem;

namespace {

TBytes ReadAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Our reader; returns the bytes of decoded pixels (0 on failure).
size_t DecodeOurs(const TBytes& file) {
    TPNGMemoryTarget target;
    try {
        DecodeWithOurReader(file, target);
    } catch (const Exception&) {
        return 0;
    }
    return size_t(target.View().Stride) * target.View().Height;
}

struct TMem {
    const uint8_t* Data;
    size_t Size, Pos;
};

// libpng with the transformations that give the same layouts as ours: 16-bit
// samples to 8, BGR order, grey alpha dropped, interlacing expanded.
size_t DecodeLibpng(const TBytes& file) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    TMem mem{file.data(), file.size(), 0};
    std::vector<uint8_t> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return 0;
    }
    png_set_read_fn(png, &mem, [](png_structp p, png_bytep out, png_size_t n) {
        auto* m = static_cast<TMem*>(png_get_io_ptr(p));
        if (m->Pos + n > m->Size) png_error(p, "short");
        std::memcpy(out, m->Data + m->Pos, n);
        m->Pos += n;
    });
    png_read_info(png, info);
    int ctype = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
    if (ctype == PNG_COLOR_TYPE_RGB || ctype == PNG_COLOR_TYPE_RGB_ALPHA) png_set_bgr(png);
    if (ctype == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_strip_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    uint32_t h = png_get_image_height(png, info);
    pixels.resize(rowBytes * h);
    rows.resize(h);
    for (uint32_t y = 0; y < h; ++y) rows[y] = pixels.data() + rowBytes * y;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return pixels.size();
}

// Best times in seconds of decoding all files once with each reader, the
// two taking turns (so that a busy machine slows both alike), over at least
// five rounds and at least a second.
void BestTimes(const std::vector<TBytes>& files, double& ours, double& ref, size_t& bytes) {
    ours = ref = 1e30;
    auto start = std::chrono::steady_clock::now();
    for (int round = 0;; ++round) {
        auto t0 = std::chrono::steady_clock::now();
        for (const TBytes& f : files) DecodeOurs(f);
        auto t1 = std::chrono::steady_clock::now();
        bytes = 0;
        for (const TBytes& f : files) bytes += DecodeLibpng(f);
        auto t2 = std::chrono::steady_clock::now();
        ours = std::min(ours, std::chrono::duration<double>(t1 - t0).count());
        ref = std::min(ref, std::chrono::duration<double>(t2 - t1).count());
        if (round >= 4 && std::chrono::duration<double>(t2 - start).count() > 1.0) break;
    }
}

void Report(const std::string& name, const std::vector<TBytes>& files) {
    size_t refBytes = 0, fileBytes = 0;
    for (const TBytes& f : files) fileBytes += f.size();
    double ours, ref;
    BestTimes(files, ours, ref, refBytes);
    double mb = double(refBytes) / 1e6;
    std::printf("| %-28s | %8.1f KB | %8.2f MB | %9.2f ms | %8.1f MB/s | %9.2f ms | %8.1f MB/s | %5.2f |\n",
                name.c_str(), fileBytes / 1e3, mb, ours * 1e3, mb / ours, ref * 1e3, mb / ref, ref / ours);
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("| %-28s | %11s | %11s | %12s | %13s | %12s | %13s | %5s |\n", "file", "PNG size", "pixels",
                "ours", "ours", "libpng", "libpng", "ratio");
    std::printf("|------------------------------|-------------|-------------|--------------|---------------|"
                "--------------|---------------|-------|\n");
    for (int i = 1; i < argc; ++i) {
        fs::path p(argv[i]);
        std::vector<TBytes> files;
        if (fs::is_directory(p)) {
            for (const auto& e : fs::directory_iterator(p)) {
                std::string n = e.path().filename().string();
                if (e.path().extension() == ".png" && n[0] != 'x') files.push_back(ReadAll(e.path()));
            }
            Report(p.filename().string() + " (" + std::to_string(files.size()) + " files)", files);
        } else {
            files.push_back(ReadAll(p));
            Report(p.filename().string(), files);
        }
    }
    return 0;
}
