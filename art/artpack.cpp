// artpack: turns rendered PNG pictures into the other files the programs use.
//   artpack ppm IN.png OUT.ppm          flattened over white, for cjpeg
//   artpack ico OUT.ico IN.png...       one 32-bit image with mask per PNG
// The icon images are stored as bitmaps, not PNG, so that every icon reader
// (the resource compiler's and our own icon class) takes them.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> px;  // top row first, in the format asked for
};

Image ReadPng(const std::string& path, uint32_t format) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str()))
        throw std::runtime_error(path + ": " + img.message);
    img.format = format;
    Image r;
    r.w = static_cast<int>(img.width);
    r.h = static_cast<int>(img.height);
    r.px.resize(PNG_IMAGE_SIZE(img));
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&img, &white, r.px.data(), 0, nullptr)) {
        std::string msg = img.message;
        png_image_free(&img);
        throw std::runtime_error(path + ": " + msg);
    }
    return r;
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

void Put16(std::vector<uint8_t>& v, unsigned x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

int Ppm(const std::string& in, const std::string& out) {
    const Image im = ReadPng(in, PNG_FORMAT_RGB);
    const std::string head = "P6\n" + std::to_string(im.w) + " " + std::to_string(im.h) + "\n255\n";
    std::vector<uint8_t> data(head.begin(), head.end());
    data.insert(data.end(), im.px.begin(), im.px.end());
    WriteAll(out, data);
    return 0;
}

// The image data of one icon entry: BITMAPINFOHEADER with doubled height,
// bottom-up BGRA rows, then the AND mask (1 = transparent), rows of 4 bytes.
std::vector<uint8_t> IconImage(const Image& im) {
    std::vector<uint8_t> d;
    const uint32_t maskRow = ((static_cast<uint32_t>(im.w) + 31) / 32) * 4;
    Put32(d, 40);
    Put32(d, static_cast<uint32_t>(im.w));
    Put32(d, static_cast<uint32_t>(im.h) * 2);
    Put16(d, 1);
    Put16(d, 32);
    Put32(d, 0);  // BI_RGB
    Put32(d, static_cast<uint32_t>(im.w) * im.h * 4 + maskRow * im.h);
    Put32(d, 0);
    Put32(d, 0);
    Put32(d, 0);
    Put32(d, 0);
    for (int y = im.h - 1; y >= 0; --y) {
        const uint8_t* row = im.px.data() + static_cast<size_t>(y) * im.w * 4;
        d.insert(d.end(), row, row + static_cast<size_t>(im.w) * 4);
    }
    for (int y = im.h - 1; y >= 0; --y) {
        std::vector<uint8_t> m(maskRow, 0);
        for (int x = 0; x < im.w; ++x)
            if (im.px[(static_cast<size_t>(y) * im.w + x) * 4 + 3] == 0) m[x / 8] |= 0x80 >> (x % 8);
        d.insert(d.end(), m.begin(), m.end());
    }
    return d;
}

int Ico(const std::string& out, const std::vector<std::string>& ins) {
    std::vector<std::vector<uint8_t>> images;
    std::vector<Image> src;
    for (const auto& in : ins) {
        Image im = ReadPng(in, PNG_FORMAT_BGRA);
        if (im.w < 1 || im.h < 1 || im.w > 256 || im.h > 256)
            throw std::runtime_error(in + ": an icon image is 1 to 256 pixels a side");
        images.push_back(IconImage(im));
        src.push_back(std::move(im));
    }
    std::vector<uint8_t> d;
    Put16(d, 0);
    Put16(d, 1);  // icon
    Put16(d, static_cast<unsigned>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        d.push_back(static_cast<uint8_t>(src[i].w & 0xFF));  // 256 is stored as 0
        d.push_back(static_cast<uint8_t>(src[i].h & 0xFF));
        d.push_back(0);  // no palette
        d.push_back(0);
        Put16(d, 1);
        Put16(d, 32);
        Put32(d, static_cast<uint32_t>(images[i].size()));
        Put32(d, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& im : images) d.insert(d.end(), im.begin(), im.end());
    WriteAll(out, d);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string cmd = argc > 1 ? argv[1] : "";
        if (cmd == "ppm" && argc == 4) return Ppm(argv[2], argv[3]);
        if (cmd == "ico" && argc >= 4) return Ico(argv[2], std::vector<std::string>(argv + 3, argv + argc));
        std::fprintf(stderr, "usage: artpack ppm IN.png OUT.ppm | artpack ico OUT.ico IN.png...\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artpack: %s\n", e.what());
        return 1;
    }
}
