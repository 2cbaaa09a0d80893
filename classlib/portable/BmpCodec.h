// BMP files and DIB pixel rows as plain bytes: decoding, encoding and row
// conversion between pixel layouts. Portable, so it is tested and fuzzed
// natively; the class library's bitmaps sit on top of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "RunTime.h"
#include "Types.h"

// Pixel layout of a DIB: bits per pixel 1, 4, 8 (palette), 16 (5-5-5, or
// 5-6-5 when Is565), 24 (blue, green, red) or 32 (blue, green, red, alpha).
struct DibLayout {
    int BitCount = 24;
    bool Is565 = false;
    friend bool operator==(const DibLayout&, const DibLayout&) = default;
};

// Palette entries and colours in rows: blue | green << 8 | red << 16 | alpha << 24.
struct BmpImage {
    int Width = 0, Height = 0;
    DibLayout Layout;
    std::vector<uint32_t> Palette;  // for 1, 4 and 8 bits
    std::vector<uint8_t> Pixels;    // bottom-up rows of BmpRowBytes bytes each
};

constexpr int kBmpMaxDimension = 32768;

// Bytes of one row, padded to 4 bytes.
inline size_t BmpRowBytes(int width, int bitCount) {
    return ((static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32) * 4;
}

// Bits per pixel of a pixel format: 1, 4, 8, 16 (pf15bit, pf16bit), 24 or
// 32; 0 for pfDevice and pfCustom, which have no fixed layout.
int PixelFormatBits(TPixelFormat pf);

// Largest picture a load may allocate: past it the load fails cleanly with
// EOutOfMemory instead of asking the system for gigabytes.
constexpr uint64_t kMaxPictureBytes = uint64_t(1) << 30;
// Whether padded rows of that size and bits per pixel stay within maxBytes
// (and each side within int, as the bitmaps take it).
bool PictureFits(uint64_t width, uint64_t height, int bitCount, uint64_t maxBytes = kMaxPictureBytes);
// The failure of a picture too large for the cap or for the memory.
[[noreturn]] void ThrowPictureOutOfMemory();

// Index of the palette entry (blue | green << 8 | red << 16) nearest the
// colour by squared distance; the first of equals, 0 for an empty palette.
unsigned NearestPaletteEntry(uint8_t blue, uint8_t green, uint8_t red, const uint32_t* palette, size_t count);

// Reads a BMP file ("BM", then a core, info, V4 or V5 header). Uncompressed,
// RLE4, RLE8 and bit-field images are accepted; 16-bit images keep their
// 5-5-5 or 5-6-5 layout, other bit-field layouts become 24 or (with an alpha
// mask) 32 bits. The fourth byte of a plain 32-bit image is kept as alpha.
// Every length and offset is checked; bad data raises EInvalidGraphic.
BmpImage DecodeBmp(const uint8_t* data, size_t size);
inline BmpImage DecodeBmp(const std::vector<uint8_t>& d) { return DecodeBmp(d.data(), d.size()); }

// Writes a BMP file with an info header (bit fields for 5-6-5).
std::vector<uint8_t> EncodeBmp(const BmpImage& image);

// One row of `width` pixels of the layout, to or from 4 bytes a pixel
// (blue, green, red, alpha). Formats without alpha unpack with alpha 0;
// packing into a palette picks the nearest entry.
void UnpackDibRow(const uint8_t* row, int width, const DibLayout& layout, const uint32_t* palette,
                  size_t paletteCount, uint8_t* bgra);
void PackDibRow(const uint8_t* bgra, int width, const DibLayout& layout, const uint32_t* palette,
                size_t paletteCount, uint8_t* row);

// Default palettes the class library gives each paletted format: 1-bit black
// and white, 4-bit the 16 standard colours, 8-bit 256 greys.
std::vector<uint32_t> DefaultDibPalette(int bitCount);
