#include "BmpCodec.h"

#include <cstring>
#include <unordered_map>

namespace {

constexpr uint32_t kRGB = 0, kRLE8 = 1, kRLE4 = 2, kBitFields = 3, kAlphaBitFields = 6;
// Largest pixel buffer a file may ask for (a DIB of 32768 x 2048 at 32 bits).
constexpr uint64_t kMaxPixelBytes = 256ull << 20;

[[noreturn]] void Bad(const char* what) { throw EInvalidGraphic(AnsiString("Invalid bitmap: ") + what); }

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

// Value of one bit field scaled to 0..255.
struct Field {
    uint32_t mask = 0;
    int shift = 0, bits = 0;
    explicit Field(uint32_t m = 0) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        while (bits + shift < 32 && ((m >> (shift + bits)) & 1)) ++bits;
    }
    uint8_t Get(uint32_t px) const {
        if (!mask) return 0;
        const uint32_t v = (px & mask) >> shift;
        const uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
        return static_cast<uint8_t>((uint64_t(v) * 255 + max / 2) / max);
    }
};

bool ContiguousMask(uint32_t m) {
    if (!m) return true;
    while (!(m & 1)) m >>= 1;
    return (m & (m + 1)) == 0;
}

// Runs of an RLE image into indices of `bits` per pixel on bottom-up rows.
void DecodeRle(const uint8_t* src, size_t n, int bits, int width, int height, std::vector<uint8_t>& out) {
    const size_t stride = BmpRowBytes(width, bits);
    out.assign(stride * static_cast<size_t>(height), 0);
    int x = 0, y = 0;  // y counts rows from the bottom
    auto set = [&](int px, uint8_t idx) {
        if (px < 0 || px >= width || y >= height) return;
        uint8_t* row = out.data() + stride * static_cast<size_t>(y);
        if (bits == 8) {
            row[px] = idx;
        } else {
            uint8_t& b = row[px / 2];
            b = (px & 1) ? static_cast<uint8_t>((b & 0xF0) | (idx & 0x0F)) : static_cast<uint8_t>((b & 0x0F) | (idx << 4));
        }
    };
    size_t i = 0;
    while (i + 1 < n) {
        const uint8_t count = src[i], code = src[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k) {
                const uint8_t idx = bits == 8 ? code : static_cast<uint8_t>((k & 1) ? (code & 0x0F) : (code >> 4));
                set(x++, idx);
            }
        } else if (code == 0) {  // end of line
            x = 0;
            ++y;
        } else if (code == 1) {  // end of bitmap
            return;
        } else if (code == 2) {  // delta
            if (i + 1 >= n) Bad("RLE data truncated");
            x += src[i];
            y += src[i + 1];
            i += 2;
        } else {  // absolute run of `code` pixels, padded to a word
            const size_t bytes = bits == 8 ? code : (code + 1u) / 2;
            if (i + bytes > n) Bad("RLE data truncated");
            for (int k = 0; k < code; ++k) {
                const uint8_t idx = bits == 8 ? src[i + k]
                                              : static_cast<uint8_t>((k & 1) ? (src[i + k / 2] & 0x0F) : (src[i + k / 2] >> 4));
                set(x++, idx);
            }
            i += (bytes + 1) & ~size_t(1);
        }
        if (y >= height) return;
    }
}

}  // namespace

std::vector<uint32_t> DefaultDibPalette(int bitCount) {
    std::vector<uint32_t> pal;
    if (bitCount == 1) {
        pal = {0x000000, 0xFFFFFF};
    } else if (bitCount == 4) {
        // Standard 16 colours (value as blue | green << 8 | red << 16).
        pal = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
               0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    } else if (bitCount == 8) {
        pal.resize(256);
        for (uint32_t i = 0; i < 256; ++i) pal[i] = i | (i << 8) | (i << 16);
    }
    return pal;
}

BmpImage DecodeBmp(const uint8_t* data, size_t size) {
    if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') Bad("not a BMP file");
    const uint32_t offBits = U32(data + 10);
    const uint8_t* h = data + 14;
    const size_t avail = size - 14;
    const uint32_t hsize = U32(h);
    if (hsize < 12 || hsize > avail) Bad("header truncated");

    BmpImage img;
    int64_t width, height;
    int bitCount;
    uint32_t compression = kRGB, clrUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0};
    bool haveMasks = false;
    size_t paletteAt, entrySize;
    if (hsize == 12) {  // core header
        width = U16(h + 4);
        height = U16(h + 6);
        bitCount = U16(h + 10);
        paletteAt = 14 + 12;
        entrySize = 3;
    } else {
        if (hsize < 40) Bad("unknown header size");
        width = static_cast<int32_t>(U32(h + 4));
        height = static_cast<int32_t>(U32(h + 8));
        bitCount = U16(h + 14);
        compression = U32(h + 16);
        clrUsed = U32(h + 32);
        paletteAt = 14 + hsize;
        entrySize = 4;
        if (compression == kBitFields || compression == kAlphaBitFields) {
            haveMasks = true;
            if (hsize >= 52) {
                for (int k = 0; k < 3; ++k) masks[k] = U32(h + 40 + 4 * k);
                if (hsize >= 56) masks[3] = U32(h + 52);
            } else {
                const size_t count = compression == kAlphaBitFields ? 4 : 3;
                if (paletteAt + 4 * count > size) Bad("bit fields truncated");
                for (size_t k = 0; k < count; ++k) masks[k] = U32(data + paletteAt + 4 * k);
                paletteAt += 4 * count;
            }
        } else if (hsize >= 56) {
            masks[3] = U32(h + 52);  // alpha mask of a V4/V5 header
        }
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) Bad("empty or negative size");
    if (width > kBmpMaxDimension || height > kBmpMaxDimension) Bad("size too large");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        Bad("unsupported bit count");
    if (compression == kRLE8 && bitCount != 8) Bad("RLE8 needs 8 bits a pixel");
    if (compression == kRLE4 && bitCount != 4) Bad("RLE4 needs 4 bits a pixel");
    if (haveMasks && bitCount != 16 && bitCount != 32) Bad("bit fields need 16 or 32 bits a pixel");
    if (compression != kRGB && compression != kRLE8 && compression != kRLE4 && !haveMasks)
        Bad("unsupported compression");
    if (compression == kRLE4 || compression == kRLE8) {
        if (topDown) Bad("a top-down bitmap cannot be compressed");
    }
    img.Width = static_cast<int>(width);
    img.Height = static_cast<int>(height);
    const size_t srcStride = BmpRowBytes(img.Width, bitCount);
    if (uint64_t(srcStride) * uint64_t(height) > kMaxPixelBytes) Bad("size too large");

    std::vector<uint32_t> palette;
    if (bitCount <= 8) {
        const size_t maxEntries = size_t(1) << bitCount;
        size_t count = clrUsed ? clrUsed : maxEntries;
        if (count > maxEntries) count = maxEntries;
        if (paletteAt > size) Bad("palette truncated");
        // The palette ends where the pixels begin (or at the end of the file).
        const size_t end = offBits >= paletteAt && offBits <= size ? offBits : size;
        const size_t fit = (end - paletteAt) / entrySize;
        if (count > fit) count = fit;
        palette.resize(count);
        for (size_t k = 0; k < count; ++k) {
            const uint8_t* e = data + paletteAt + k * entrySize;
            palette[k] = uint32_t(e[0]) | (uint32_t(e[1]) << 8) | (uint32_t(e[2]) << 16);
        }
        // Indices past a short palette read as black.
        palette.resize(maxEntries, 0);
        paletteAt += count * entrySize;
    }
    const size_t pixelsAt = offBits ? offBits : paletteAt;
    if (pixelsAt < 14 + 12 || pixelsAt > size) Bad("pixel data offset outside the file");
    const uint8_t* src = data + pixelsAt;
    const size_t srcSize = size - pixelsAt;

    if (compression == kRLE4 || compression == kRLE8) {
        img.Layout.BitCount = bitCount;
        img.Palette = std::move(palette);
        DecodeRle(src, srcSize, bitCount, img.Width, img.Height, img.Pixels);
        return img;
    }
    if (srcSize / srcStride < static_cast<size_t>(height)) Bad("pixel data truncated");

    auto srcRow = [&](int y) {  // y counted from the bottom
        const int stored = topDown ? img.Height - 1 - y : y;
        return src + srcStride * static_cast<size_t>(stored);
    };

    // Layouts kept as they are stored.
    bool keep = !haveMasks;
    bool is565 = false;
    if (haveMasks && bitCount == 16) {
        if (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F && !masks[3]) keep = true;
        if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F && !masks[3]) keep = true, is565 = true;
    }
    if (haveMasks && bitCount == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF &&
        (masks[3] == 0 || masks[3] == 0xFF000000u))
        keep = true;
    if (keep) {
        img.Layout.BitCount = bitCount;
        img.Layout.Is565 = is565;
        img.Palette = std::move(palette);
        img.Pixels.resize(srcStride * static_cast<size_t>(img.Height));
        for (int y = 0; y < img.Height; ++y)
            std::memcpy(img.Pixels.data() + srcStride * static_cast<size_t>(y), srcRow(y), srcStride);
        return img;
    }

    // Other bit fields: spread to 24 bits, or 32 when there is an alpha mask.
    for (uint32_t m : masks)
        if (!ContiguousMask(m)) Bad("bit fields are not contiguous");
    const Field r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
    img.Layout.BitCount = masks[3] ? 32 : 24;
    const int bpp = img.Layout.BitCount / 8;
    const size_t dstStride = BmpRowBytes(img.Width, img.Layout.BitCount);
    img.Pixels.assign(dstStride * static_cast<size_t>(img.Height), 0);
    for (int y = 0; y < img.Height; ++y) {
        const uint8_t* s = srcRow(y);
        uint8_t* d = img.Pixels.data() + dstStride * static_cast<size_t>(y);
        for (int x = 0; x < img.Width; ++x, d += bpp) {
            const uint32_t px = bitCount == 16 ? U16(s + 2 * x) : U32(s + 4 * x);
            d[0] = b.Get(px);
            d[1] = g.Get(px);
            d[2] = r.Get(px);
            if (bpp == 4) d[3] = a.Get(px);
        }
    }
    return img;
}

std::vector<uint8_t> EncodeBmp(const BmpImage& img) {
    const int bits = img.Layout.BitCount;
    const size_t stride = BmpRowBytes(img.Width, bits);
    const size_t pixelBytes = stride * static_cast<size_t>(img.Height);
    if (img.Width <= 0 || img.Height <= 0 || img.Pixels.size() < pixelBytes)
        throw EInvalidGraphic("Invalid bitmap: nothing to write");
    std::vector<uint32_t> pal;
    if (bits <= 8) {
        pal = img.Palette;
        pal.resize(size_t(1) << bits, 0);
    }
    const bool fields = bits == 16 && img.Layout.Is565;
    const uint32_t headerBytes = 14 + 40 + (fields ? 12 : 0) + static_cast<uint32_t>(pal.size() * 4);
    std::vector<uint8_t> out;
    out.reserve(headerBytes + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<uint32_t>(headerBytes + pixelBytes));
    Put32(out, 0);
    Put32(out, headerBytes);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(img.Width));
    Put32(out, static_cast<uint32_t>(img.Height));
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(bits));
    Put32(out, fields ? kBitFields : kRGB);
    Put32(out, static_cast<uint32_t>(pixelBytes));
    Put32(out, 3780);  // 96 dots per inch
    Put32(out, 3780);
    Put32(out, static_cast<uint32_t>(pal.size()));
    Put32(out, 0);
    if (fields) {
        Put32(out, 0xF800);
        Put32(out, 0x07E0);
        Put32(out, 0x001F);
    }
    for (uint32_t e : pal) Put32(out, e & 0xFFFFFF);
    out.insert(out.end(), img.Pixels.begin(), img.Pixels.begin() + static_cast<std::ptrdiff_t>(pixelBytes));
    return out;
}

void UnpackDibRow(const uint8_t* row, int width, const DibLayout& layout, const uint32_t* palette,
                  size_t paletteCount, uint8_t* bgra) {
    auto fromPalette = [&](unsigned idx, uint8_t* d) {
        const uint32_t c = idx < paletteCount ? palette[idx] : 0;
        d[0] = uint8_t(c), d[1] = uint8_t(c >> 8), d[2] = uint8_t(c >> 16), d[3] = 0;
    };
    for (int x = 0; x < width; ++x, bgra += 4) {
        switch (layout.BitCount) {
        case 1: fromPalette((row[x >> 3] >> (7 - (x & 7))) & 1, bgra); break;
        case 4: fromPalette((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4), bgra); break;
        case 8: fromPalette(row[x], bgra); break;
        case 16: {
            const unsigned v = U16(row + 2 * x);
            unsigned r, g, b;
            if (layout.Is565) {
                r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
                bgra[1] = uint8_t((g << 2) | (g >> 4));
            } else {
                r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                bgra[1] = uint8_t((g << 3) | (g >> 2));
            }
            bgra[0] = uint8_t((b << 3) | (b >> 2));
            bgra[2] = uint8_t((r << 3) | (r >> 2));
            bgra[3] = 0;
            break;
        }
        case 24:
            bgra[0] = row[3 * x], bgra[1] = row[3 * x + 1], bgra[2] = row[3 * x + 2], bgra[3] = 0;
            break;
        default: std::memcpy(bgra, row + 4 * x, 4); break;
        }
    }
}

unsigned NearestPaletteEntry(uint8_t blue, uint8_t green, uint8_t red, const uint32_t* palette, size_t count) {
    unsigned best = 0;
    int bestD = 1 << 30;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t c = palette[i];
        const int db = int(blue) - int(c & 0xFF), dg = int(green) - int((c >> 8) & 0xFF),
                  dr = int(red) - int((c >> 16) & 0xFF);
        const int d = db * db + dg * dg + dr * dr;
        if (d < bestD) {
            bestD = d, best = static_cast<unsigned>(i);
            if (!d) break;
        }
    }
    return best;
}

int PixelFormatBits(TPixelFormat pf) {
    switch (pf) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return 0;
    }
}

bool PictureFits(uint64_t width, uint64_t height, int bitCount, uint64_t maxBytes) {
    if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) return false;
    return ((width * uint64_t(bitCount) + 31) / 32) * 4 * height <= maxBytes;
}

void ThrowPictureOutOfMemory() { throw EOutOfMemory("Out of memory"); }

void PackDibRow(const uint8_t* bgra, int width, const DibLayout& layout, const uint32_t* palette,
                size_t paletteCount, uint8_t* row) {
    const int bits = layout.BitCount;
    if (bits <= 8) {
        std::memset(row, 0, BmpRowBytes(width, bits));
        std::unordered_map<uint32_t, unsigned> cache;
        for (int x = 0; x < width; ++x, bgra += 4) {
            const uint32_t key = uint32_t(bgra[0]) | (uint32_t(bgra[1]) << 8) | (uint32_t(bgra[2]) << 16);
            auto it = cache.find(key);
            const unsigned idx = it != cache.end() ? it->second : (cache[key] = NearestPaletteEntry(bgra[0], bgra[1], bgra[2], palette, paletteCount));
            if (bits == 1) row[x >> 3] |= uint8_t((idx & 1) << (7 - (x & 7)));
            else if (bits == 4) row[x >> 1] |= uint8_t((x & 1) ? (idx & 15) : ((idx & 15) << 4));
            else row[x] = uint8_t(idx);
        }
        return;
    }
    for (int x = 0; x < width; ++x, bgra += 4) {
        switch (bits) {
        case 16: {
            unsigned v;
            if (layout.Is565) v = ((bgra[2] >> 3) << 11) | ((bgra[1] >> 2) << 5) | (bgra[0] >> 3);
            else v = ((bgra[2] >> 3) << 10) | ((bgra[1] >> 3) << 5) | (bgra[0] >> 3);
            row[2 * x] = uint8_t(v), row[2 * x + 1] = uint8_t(v >> 8);
            break;
        }
        case 24: row[3 * x] = bgra[0], row[3 * x + 1] = bgra[1], row[3 * x + 2] = bgra[2]; break;
        default: std::memcpy(row + 4 * x, bgra, 4); break;
        }
    }
}
