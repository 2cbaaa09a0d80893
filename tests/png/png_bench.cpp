// Decode speed of our PNG reader against the host's libpng, same process,
// same files held in memory. For each file: the best of several decodes,
// megabytes of decoded pixels per second, and the ratio (above 1: ours is
// faster). Beside them zlib's one-call inflate (uncompress) of the same image
// data into one buffer: the floor under both readers, and our time as a
// multiple of it. A folder argument times all its images together.
//
//   png_bench FILE_OR_FOLDER...
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
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

// The image data of a file joined, and the size of the filtered rows they hold.
struct TImageData {
    TBytes Compressed;
    size_t RawSize = 0;
};

TImageData ImageDataOf(const TBytes& file) {
    TImageData d;
    uint32_t w = 0, h = 0;
    unsigned bits = 0;
    bool interlaced = false;
    auto be32 = [&](size_t at) {
        return uint32_t(file[at]) << 24 | uint32_t(file[at + 1]) << 16 | uint32_t(file[at + 2]) << 8 | file[at + 3];
    };
    for (size_t at = 8; at + 12 <= file.size();) {
        uint32_t length = be32(at);
        if (length > file.size() - at - 12) break;
        const uint8_t* type = &file[at + 4];
        const uint8_t* data = &file[at + 8];
        if (std::memcmp(type, "IHDR", 4) == 0 && length >= 13) {
            w = be32(at + 8);
            h = be32(at + 12);
            static const unsigned channels[7] = {1, 0, 3, 1, 2, 0, 4};
            bits = data[8] * (data[9] < 7 ? channels[data[9]] : 0);
            interlaced = data[12] != 0;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            d.Compressed.insert(d.Compressed.end(), data, data + length);
        }
        at += size_t(length) + 12;
    }
    static const uint32_t passes[7][4] = {{0, 8, 0, 8}, {0, 8, 4, 8}, {4, 8, 0, 4}, {0, 4, 2, 4},
                                          {2, 4, 0, 2}, {0, 2, 1, 2}, {1, 2, 0, 1}};
    for (int p = 0; p < (interlaced ? 7 : 1); ++p) {
        uint32_t r0 = interlaced ? passes[p][0] : 0, dr = interlaced ? passes[p][1] : 1;
        uint32_t c0 = interlaced ? passes[p][2] : 0, dc = interlaced ? passes[p][3] : 1;
        if (c0 >= w || r0 >= h) continue;
        uint64_t count = (uint64_t(w) - c0 + dc - 1) / dc;
        d.RawSize += size_t(((count * bits + 7) / 8 + 1) * ((h - r0 + dr - 1) / dr));
    }
    return d;
}

// zlib's one-call inflate of the image data into a buffer of their size.
size_t Uncompress(const TImageData& d) {
    std::unique_ptr<uint8_t[]> out(new uint8_t[d.RawSize]);
    uLongf size = uLongf(d.RawSize);
    if (uncompress(out.get(), &size, d.Compressed.data(), uLong(d.Compressed.size())) != Z_OK) return 0;
    return size_t(size);
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

struct TTimes {
    double Ours = 1e30, Ref = 1e30, Inflate = 1e30;
    size_t Bytes = 0;
};

// Best times in seconds of decoding all files once with each reader and of
// inflating their image data, the three taking turns (so that a busy machine
// slows them alike), over at least five rounds and at least a second.
TTimes BestTimes(const std::vector<TBytes>& files, const std::vector<TImageData>& data) {
    TTimes t;
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); };
    auto start = Clock::now();
    for (int round = 0;; ++round) {
        auto t0 = Clock::now();
        for (const TBytes& f : files) DecodeOurs(f);
        auto t1 = Clock::now();
        t.Bytes = 0;
        for (const TBytes& f : files) t.Bytes += DecodeLibpng(f);
        auto t2 = Clock::now();
        for (const TImageData& d : data) Uncompress(d);
        auto t3 = Clock::now();
        t.Ours = std::min(t.Ours, seconds(t0, t1));
        t.Ref = std::min(t.Ref, seconds(t1, t2));
        t.Inflate = std::min(t.Inflate, seconds(t2, t3));
        if (round >= 4 && seconds(start, t3) > 1.0) break;
    }
    return t;
}

void Report(const std::string& name, const std::vector<TBytes>& files) {
    size_t fileBytes = 0;
    std::vector<TImageData> data;
    for (const TBytes& f : files) {
        fileBytes += f.size();
        data.push_back(ImageDataOf(f));
    }
    TTimes t = BestTimes(files, data);
    double mb = double(t.Bytes) / 1e6;
    std::printf("| %-28s | %8.1f KB | %6.2f MB | %8.2f ms | %6.1f MB/s | %8.2f ms | %6.1f MB/s | %5.2f | %8.2f ms | %5.2f |\n",
                name.c_str(), fileBytes / 1e3, mb, t.Ours * 1e3, mb / t.Ours, t.Ref * 1e3, mb / t.Ref, t.Ref / t.Ours,
                t.Inflate * 1e3, t.Ours / t.Inflate);
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("| %-28s | %11s | %9s | %11s | %11s | %11s | %11s | %5s | %11s | %5s |\n", "file", "PNG size",
                "pixels", "ours", "ours", "libpng", "libpng", "ratio", "uncompress", "x unc");
    std::printf("|------------------------------|-------------|-----------|-------------|-------------|"
                "-------------|-------------|-------|-------------|-------|\n");
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
