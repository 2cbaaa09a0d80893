// Placeholder picture files for native tests: the real pictures are rendered
// by the art build; these only need the right format and size.
#pragma once

#include <png.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

// Writes an RGBA (or RGB) PNG whose pixel (x, y) is f(x, y) as RGBA.
template <class F>
inline void WriteTestPng(const std::string& path, int w, int h, bool alpha, F f) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = w;
    img.height = h;
    img.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    int ch = alpha ? 4 : 3;
    std::vector<uint8_t> px(size_t(w) * h * ch);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t c = f(x, y);
            uint8_t* p = &px[(size_t(y) * w + x) * ch];
            p[0] = uint8_t(c >> 24);
            p[1] = uint8_t(c >> 16);
            p[2] = uint8_t(c >> 8);
            if (alpha) p[3] = uint8_t(c);
        }
    if (!png_image_write_to_file(&img, path.c_str(), 0, px.data(), 0, nullptr))
        throw std::runtime_error("cannot write " + path + ": " + img.message);
}

// A disc of 80 by 78 with soft transparent corners.
inline void WritePlaceholderDisc(const std::string& path) {
    WriteTestPng(path, 80, 78, true, [](int x, int y) {
        int dx = x - 40, dy = y - 39;
        return uint32_t(dx * dx + dy * dy < 38 * 38 ? 0x2060E0FF : 0x00000000);
    });
}

// Not a real JPEG picture: just the markers the compiler checks.
inline void WritePlaceholderJpeg(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    static const unsigned char b[] = {0xFF, 0xD8, 0xFF, 0xD9};
    std::fwrite(b, 1, sizeof b, f);
    std::fclose(f);
}
