// Builds PNG files for the tests: chunks with their checksums (zlib's crc32,
// independent of the reader's own), deflate-compressed image data, and an
// encoder of raw pixels with a chosen filter per row, plain or Adam7.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "PNGReader.h"

using TBytes = std::vector<uint8_t>;

// Our reader over the bytes of a whole file into Target; what it raises goes
// to the caller.
inline void DecodeWithOurReader(const TBytes& File, TPNGMemoryTarget& Target) {
    TColorManager cm;
    TPNGReader reader(cm);
    TPNGMemorySource src(File.data(), File.size());
    reader.LoadFromStream(src, Target);
}

inline void PutBE32(TBytes& b, uint32_t v) {
    const uint8_t be[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    b.insert(b.end(), be, be + 4);
}

inline TBytes PngSignature() { return {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}; }

// One chunk: length, type, data, CRC (or BadCrc when asked for a wrong one).
inline TBytes Chunk(const char* Type, const TBytes& Data, bool BadCrc = false) {
    TBytes b;
    PutBE32(b, uint32_t(Data.size()));
    b.insert(b.end(), Type, Type + 4);
    b.insert(b.end(), Data.begin(), Data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(Type), 4);
    if (!Data.empty()) crc = crc32(crc, Data.data(), uInt(Data.size()));
    PutBE32(b, uint32_t(crc) ^ (BadCrc ? 1u : 0u));
    return b;
}

inline TBytes IHDR(uint32_t W, uint32_t H, uint8_t Depth, uint8_t ColorType, uint8_t Interlace = 0,
                   uint8_t Compression = 0) {
    TBytes d;
    PutBE32(d, W);
    PutBE32(d, H);
    d.push_back(Depth);
    d.push_back(ColorType);
    d.push_back(Compression);
    d.push_back(0);
    d.push_back(Interlace);
    return Chunk("IHDR", d);
}

inline TBytes Deflate(const TBytes& Raw, int Level = 6) {
    uLongf size = compressBound(uLong(Raw.size()));
    TBytes out(size);
    if (compress2(out.data(), &size, Raw.data(), uLong(Raw.size()), Level) != Z_OK) throw std::runtime_error("deflate");
    out.resize(size);
    return out;
}

inline TBytes Join(std::initializer_list<TBytes> Parts) {
    TBytes b;
    for (const TBytes& p : Parts) b.insert(b.end(), p.begin(), p.end());
    return b;
}

inline TBytes IEND() { return Chunk("IEND", {}); }

// Image data split into IDAT chunks of at most Piece bytes.
inline TBytes IdatChunks(const TBytes& Z, size_t Piece) {
    TBytes b;
    for (size_t i = 0; i < Z.size(); i += Piece)
        b = Join({b, Chunk("IDAT", TBytes(Z.begin() + i, Z.begin() + std::min(Z.size(), i + Piece)))});
    return b;
}

// Raw pixels of one image: Samples(x, y, c) gives sample c of pixel (x, y),
// 0 .. 2^Depth - 1. Rows are filtered with Filter(pass, row) (0..4; pass 0
// when not interlaced, 1..7 for Adam7) and concatenated with their filter bytes.
struct TRawImage {
    uint32_t Width, Height;
    uint8_t Depth, ColorType;
    bool Interlaced = false;
    std::function<uint32_t(uint32_t, uint32_t, int)> Sample = {};
    std::function<int(int, uint32_t)> Filter = [](int, uint32_t) { return 0; };

    int Channels() const { return ColorType == 2 ? 3 : ColorType == 4 ? 2 : ColorType == 6 ? 4 : 1; }

    TBytes PackRow(uint32_t Y, uint32_t X0, uint32_t DX, uint32_t Count) const {
        size_t bits = size_t(Count) * Depth * Channels();
        TBytes row((bits + 7) / 8, 0);
        size_t bit = 0;
        for (uint32_t i = 0; i < Count; ++i)
            for (int c = 0; c < Channels(); ++c) {
                uint32_t v = Sample(X0 + i * DX, Y, c) & ((Depth == 16 ? 0xFFFFu : (1u << Depth) - 1));
                if (Depth == 16) {
                    row[bit / 8] = uint8_t(v >> 8);
                    row[bit / 8 + 1] = uint8_t(v);
                } else if (Depth == 8) {
                    row[bit / 8] = uint8_t(v);
                } else {
                    row[bit / 8] |= uint8_t(v << (8 - Depth - bit % 8));
                }
                bit += Depth;
            }
        return row;
    }

    static uint8_t Paeth(int a, int b, int c) {
        int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
    }

    void AppendFiltered(TBytes& Out, const TBytes& Row, const TBytes& Prev, int F) const {
        size_t bpp = std::max<size_t>(1, size_t(Depth) * Channels() / 8);
        Out.push_back(uint8_t(F));
        for (size_t i = 0; i < Row.size(); ++i) {
            int a = i >= bpp ? Row[i - bpp] : 0, b = Prev.empty() ? 0 : Prev[i];
            int c = (i >= bpp && !Prev.empty()) ? Prev[i - bpp] : 0;
            int pred = F == 1 ? a : F == 2 ? b : F == 3 ? (a + b) / 2 : F == 4 ? Paeth(a, b, c) : 0;
            Out.push_back(uint8_t(Row[i] - pred));
        }
    }

    TBytes Filtered() const {
        TBytes out;
        static const uint32_t P[7][4] = {{0, 8, 0, 8}, {0, 8, 4, 8}, {4, 8, 0, 4}, {0, 4, 2, 4},
                                         {2, 4, 0, 2}, {0, 2, 1, 2}, {1, 2, 0, 1}};
        int passes = Interlaced ? 7 : 1;
        for (int p = 0; p < passes; ++p) {
            uint32_t r0 = Interlaced ? P[p][0] : 0, dr = Interlaced ? P[p][1] : 1;
            uint32_t c0 = Interlaced ? P[p][2] : 0, dc = Interlaced ? P[p][3] : 1;
            if (c0 >= Width || r0 >= Height) continue;
            uint32_t count = (Width - c0 + dc - 1) / dc;
            TBytes prev;
            uint32_t n = 0;
            for (uint32_t y = r0; y < Height; y += dr, ++n) {
                TBytes row = PackRow(y, c0, dc, count);
                AppendFiltered(out, row, prev, Filter(Interlaced ? p + 1 : 0, n));
                prev = row;
            }
        }
        return out;
    }

    TBytes Header() const { return IHDR(Width, Height, Depth, ColorType, Interlaced ? 1 : 0); }
};
