#include "PictureFiles.h"

#include "BmpCodec.h"

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

std::vector<uint8_t> BmpFromPng(const PngPixels& px) {
    BmpImage img;
    img.Width = px.Width;
    img.Height = px.Height;
    img.Layout = {px.HasAlpha ? 32 : 24, false};
    const size_t stride = BmpRowBytes(px.Width, img.Layout.BitCount);
    img.Pixels.assign(stride * size_t(px.Height), 0);
    for (int y = 0; y < px.Height; ++y) {
        const uint8_t* src = &px.Bgra[size_t(y) * size_t(px.Width) * 4];
        // Bottom-up rows, packed as the class library packs its bitmaps.
        PackDibRow(src, px.Width, img.Layout, nullptr, 0, &img.Pixels[size_t(px.Height - 1 - y) * stride]);
    }
    return EncodeBmp(img);
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
        return BmpFromPng(DecodePngFile(path));
    }
    throw Exception("unknown picture class " + graphicClass);
}
