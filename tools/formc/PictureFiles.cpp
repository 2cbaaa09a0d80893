#include "PictureFiles.h"

#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Exception("cannot open " + path);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Exception("cannot read " + path);
    return b;
}

bool Exists(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return bool(in);
}

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

}  // namespace

PngPixels DecodePngFile(const std::string& path) {
    std::vector<uint8_t> file = ReadFile(path);
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, file.data(), file.size()))
        throw Exception(path + ": not a readable PNG file (" + img.message + ")");
    PngPixels px;
    px.HasAlpha = (img.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    img.format = PNG_FORMAT_BGRA;  // 8-bit sRGB, straight alpha
    px.Width = int(img.width);
    px.Height = int(img.height);
    if (img.width == 0 || img.height == 0 || img.width > 16384 || img.height > 16384) {
        png_image_free(&img);
        throw Exception(path + ": picture size out of range");
    }
    px.Bgra.resize(size_t(img.width) * img.height * 4);
    if (!png_image_finish_read(&img, nullptr, px.Bgra.data(), 0, nullptr)) {
        std::string msg = img.message;
        png_image_free(&img);
        throw Exception(path + ": bad PNG data (" + msg + ")");
    }
    return px;
}

std::vector<uint8_t> EncodeBmp(const PngPixels& px) {
    const int bpp = px.HasAlpha ? 4 : 3;
    const size_t stride = (size_t(px.Width) * bpp + 3) & ~size_t(3);
    const size_t bits = stride * size_t(px.Height);
    std::vector<uint8_t> b(14 + 40 + bits, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, uint32_t(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, uint32_t(px.Width));
    Put32(b, 22, uint32_t(px.Height));  // positive: bottom-up
    Put16(b, 26, 1);
    Put16(b, 28, uint32_t(bpp * 8));
    Put32(b, 30, 0);  // BI_RGB
    Put32(b, 34, uint32_t(bits));
    Put32(b, 38, 2835);  // 72 dpi
    Put32(b, 42, 2835);
    for (int y = 0; y < px.Height; ++y) {
        const uint8_t* src = &px.Bgra[size_t(y) * px.Width * 4];
        uint8_t* dst = &b[54 + size_t(px.Height - 1 - y) * stride];
        for (int x = 0; x < px.Width; ++x, src += 4, dst += bpp) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            if (bpp == 4) dst[3] = src[3];
        }
    }
    return b;
}

std::vector<uint8_t> LoadPictureForClass(const std::string& graphicClass, const std::string& fileName,
                                         const std::vector<std::string>& folders, std::string* foundPath) {
    std::string path;
    if (!fileName.empty() && fileName[0] == '/') {
        path = fileName;
    } else {
        for (const std::string& f : folders) {
            std::string p = f + "/" + fileName;
            if (Exists(p)) {
                path = p;
                break;
            }
        }
    }
    if (path.empty() || !Exists(path)) {
        std::string where;
        for (const std::string& f : folders) where += (where.empty() ? "" : ", ") + f;
        throw Exception("file not found in " + (where.empty() ? std::string("(no folder)") : where));
    }
    if (foundPath) *foundPath = path;
    std::vector<uint8_t> data = ReadFile(path);
    auto starts = [&](const char* sig, size_t n) { return data.size() >= n && std::memcmp(data.data(), sig, n) == 0; };
    if (graphicClass.empty()) return data;
    if (graphicClass == "TJPEGImage") {
        if (!starts("\xFF\xD8\xFF", 3)) throw Exception(path + " is not a JPEG file");
        return data;
    }
    if (graphicClass == "TPNGGraphic" || graphicClass == "TBitmap") {
        if (starts("BM", 2)) return data;
        if (!starts("\x89PNG\r\n\x1A\n", 8)) throw Exception(path + " is neither a PNG nor a BMP file");
        return EncodeBmp(DecodePngFile(path));
    }
    throw Exception("unknown picture class " + graphicClass);
}
