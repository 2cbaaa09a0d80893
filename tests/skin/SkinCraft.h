// Small skins made by the tests: picture files (BMP through the class
// library, PNG with alpha, JPEG through the library's compressor), a skin
// written as a folder, packed into a container, or stored as a stored skin's
// "Data". Test data only.
#pragma once

#include <windows.h>

#include <jpeglib.h>
#include <zlib.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Graphics.h"
#include "SkinPackCraft.h"
#include "Streams.h"

namespace skincraft {

using skinpack_craft::Bytes;
using Files = std::map<std::string, Bytes>;  // file name -> contents
using PixelFn = std::function<uint32_t(int x, int y)>;  // 0xAARRGGBB

inline Bytes Bmp(int W, int H, const PixelFn& Px) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetHandleType(bmDIB);
    b.SetSize(W, H);
    for (int y = 0; y < H; ++y) {
        auto* row = static_cast<uint8_t*>(b.ScanLine(y));
        for (int x = 0; x < W; ++x) {
            const uint32_t c = Px(x, y);
            row[3 * x] = uint8_t(c), row[3 * x + 1] = uint8_t(c >> 8), row[3 * x + 2] = uint8_t(c >> 16);
        }
    }
    TMemoryStream m;
    b.SaveToStream(&m);
    return m.Bytes();
}

inline void PutBE(Bytes& b, uint32_t v) {
    for (int i = 3; i >= 0; --i) b.push_back(uint8_t(v >> (8 * i)));
}

inline void PngChunk(Bytes& out, const char* type, const Bytes& data) {
    PutBE(out, uint32_t(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBE(out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

// 8-bit RGBA, no filtering.
inline Bytes Png(int W, int H, const PixelFn& Px) {
    Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, ihdr, raw;
    PutBE(ihdr, uint32_t(W));
    PutBE(ihdr, uint32_t(H));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    for (int y = 0; y < H; ++y) {
        raw.push_back(0);
        for (int x = 0; x < W; ++x) {
            const uint32_t c = Px(x, y);
            raw.insert(raw.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)});
        }
    }
    uLongf n = compressBound(uLong(raw.size()));
    Bytes z(n);
    compress2(z.data(), &n, raw.data(), uLong(raw.size()), 6);
    z.resize(n);
    PngChunk(out, "IHDR", ihdr);
    PngChunk(out, "IDAT", z);
    PngChunk(out, "IEND", {});
    return out;
}

inline Bytes Jpeg(int W, int H, uint32_t Rgb) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = JDIMENSION(W);
    c.image_height = JDIMENSION(H);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(size_t(W) * 3);
    for (int x = 0; x < W; ++x) row[3 * x] = uint8_t(Rgb >> 16), row[3 * x + 1] = uint8_t(Rgb >> 8), row[3 * x + 2] = uint8_t(Rgb);
    while (c.next_scanline < c.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes v(mem, mem + size);
    std::free(mem);
    return v;
}

inline Bytes Text(const std::string& S) { return Bytes(S.begin(), S.end()); }

inline void WriteFile(const std::string& Path, const Bytes& Data) {
    HANDLE h = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    if (!Data.empty()) ::WriteFile(h, Data.data(), DWORD(Data.size()), &n, nullptr);
    CloseHandle(h);
}

// Dir ends with a backslash; the folder Dir + Name is made when missing.
inline void WriteFolder(const std::string& Dir, const std::string& Name, const Files& F) {
    CreateDirectoryA(Dir.c_str(), nullptr);
    CreateDirectoryA((Dir + Name).c_str(), nullptr);
    for (const auto& [file, data] : F) WriteFile(Dir + Name + "\\" + file, data);
}

inline Bytes Pack(const Files& F) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& [file, data] : F) entries.push_back({file, std::string(data.begin(), data.end())});
    return skinpack_craft::Container(entries);
}

inline std::string TempDir(const char* Name) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string d = std::string(tmp) + Name + "\\";
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

}  // namespace skincraft
