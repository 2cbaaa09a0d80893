// Reference decode of a PNG for the tests and the benchmark: the host's libpng
// reads the raw samples (no transformations), then the picture class's rules
// turn them into what our reader must produce: 16-bit samples v * 255 / 65535,
// grey scaled to 8 bits, the gamma table of the file's gAMA against display
// gamma 2.2, grey alpha dropped, palette transparency ignored, indexes past the
// palette black. Native builds only.
#pragma once

#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct TOracleImage {
    bool Ok = false;
    std::string Error;
    uint32_t Width = 0, Height = 0;
    int ColorType = 0, Depth = 0;
    int FormatBits = 0;              // 1, 4, 8, 24 or 32: the bitmap the picture becomes
    std::vector<uint8_t> Rgba;       // Width * Height * 4, alpha 255 unless 32-bit
    uint32_t TransparentColor = 0x1FFFFFFF;  // colour value (red low), or none
    bool HasGamma = false;
    uint8_t Gamma[256];
};

namespace oracle_detail {

struct TMemReader {
    const uint8_t* Data;
    size_t Size, Pos;
};

inline void ReadFn(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<TMemReader*>(png_get_io_ptr(png));
    if (r->Pos + n > r->Size) png_error(png, "short read");
    std::memcpy(out, r->Data + r->Pos, n);
    r->Pos += n;
}

inline void ErrorFn(png_structp png, png_const_charp msg) {
    *static_cast<std::string*>(png_get_error_ptr(png)) = msg;
    png_longjmp(png, 1);
}
inline void WarnFn(png_structp, png_const_charp) {}

}  // namespace oracle_detail

// Builds the correction table the way the picture class defines it: exponent
// 1 / (file gamma * 2.2), 8-bit in and out, rounded to nearest.
inline void OracleGammaTable(uint32_t GamaValue, uint8_t Table[256]) {
    float fileGamma = float(GamaValue / 100000.0);
    if (!(fileGamma > 0)) fileGamma = 1.0f;
    double exponent = 1.0 / (double(fileGamma) * double(2.2f));
    for (int i = 0; i < 256; ++i) Table[i] = uint8_t(std::lround(std::pow(i / 255.0, exponent) * 255.0));
}

inline TOracleImage OracleDecode(const uint8_t* Data, size_t Size) {
    using namespace oracle_detail;
    TOracleImage img;
    TMemReader reader{Data, Size, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &img.Error, ErrorFn, WarnFn);
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> raw;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        img.Ok = false;
        return img;
    }
    png_set_read_fn(png, &reader, ReadFn);
    // Keep unknown and palette-less oddities as they are; CRC errors stay errors.
    png_read_info(png, info);
    png_uint_32 w, h;
    int depth, ctype, interlace;
    png_get_IHDR(png, info, &w, &h, &depth, &ctype, &interlace, nullptr, nullptr);
    img.Width = w;
    img.Height = h;
    img.ColorType = ctype;
    img.Depth = depth;
    if (depth < 8) png_set_packing(png);  // one sample a byte, value unscaled
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    raw.resize(rowBytes * h);
    rows.resize(h);
    for (uint32_t y = 0; y < h; ++y) rows[y] = raw.data() + y * rowBytes;
    png_read_image(png, rows.data());

    png_fixed_point gama = 0;
    if (png_get_gAMA_fixed(png, info, &gama)) {
        img.HasGamma = true;
        OracleGammaTable(uint32_t(gama), img.Gamma);
    } else {
        for (int i = 0; i < 256; ++i) img.Gamma[i] = uint8_t(i);
    }
    const uint8_t* g = img.Gamma;
    auto to8 = [&](const uint8_t* p) -> uint32_t {
        return depth == 16 ? (uint32_t(p[0]) << 8 | p[1]) * 255 / 65535 : p[0];
    };
    auto grey8 = [&](uint32_t v) -> uint32_t {
        return depth == 16 ? v * 255 / 65535 : depth < 8 ? v * 255 / ((1u << depth) - 1) : v;
    };
    png_colorp plte = nullptr;
    int plteCount = 0;
    if (ctype == 3) png_get_PLTE(png, info, &plte, &plteCount);

    img.Rgba.resize(size_t(w) * h * 4);
    const int bytes = depth == 16 ? 2 : 1;
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* row = rows[y];
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* o = &img.Rgba[(size_t(y) * w + x) * 4];
            o[3] = 255;
            switch (ctype) {
            case 0:
            case 4: {
                const uint8_t* p = row + size_t(x) * bytes * (ctype == 4 ? 2 : 1);
                uint32_t v = depth == 16 ? (uint32_t(p[0]) << 8 | p[1]) : p[0];
                o[0] = o[1] = o[2] = g[grey8(v)];
                break;
            }
            case 2:
            case 6: {
                const uint8_t* p = row + size_t(x) * bytes * (ctype == 6 ? 4 : 3);
                for (int c = 0; c < 3; ++c) o[c] = g[to8(p + c * bytes)];
                if (ctype == 6) o[3] = uint8_t(to8(p + 3 * bytes));
                break;
            }
            case 3: {
                int index = row[x];
                if (index < plteCount) {
                    o[0] = g[plte[index].red];
                    o[1] = g[plte[index].green];
                    o[2] = g[plte[index].blue];
                } else {
                    o[0] = o[1] = o[2] = 0;
                }
                break;
            }
            }
        }
    }
    png_color_16p trans = nullptr;
    png_bytep transAlpha = nullptr;
    int transCount = 0;
    if (png_get_tRNS(png, info, &transAlpha, &transCount, &trans) && trans) {
        if (ctype == 0) {
            uint32_t v = g[grey8(trans->gray)];
            img.TransparentColor = v | v << 8 | v << 16;
        } else if (ctype == 2) {
            auto c8 = [&](uint32_t v) { return uint32_t(g[depth == 16 ? v * 255 / 65535 : v & 0xFF]); };
            img.TransparentColor = c8(trans->red) | c8(trans->green) << 8 | c8(trans->blue) << 16;
        }
    }
    switch (ctype) {
    case 0: img.FormatBits = depth == 1 ? 1 : depth <= 4 ? 4 : 8; break;
    case 3: img.FormatBits = depth == 1 ? 1 : depth <= 4 ? 4 : 8; break;
    case 4: img.FormatBits = 8; break;
    case 2: img.FormatBits = 24; break;
    case 6: img.FormatBits = 32; break;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    img.Ok = true;
    return img;
}
