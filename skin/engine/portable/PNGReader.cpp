#include "PNGReader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#include "BmpCodec.h"
#include "FormData.h"  // EReadError

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Chunk checksums by carry-less multiplication where the processor has it,
// chosen at run time; the table everywhere else.
#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define TUVRELI_CRC_FOLDING 1
#include <wmmintrin.h>
#endif

static const char* const SInvalidFormat = "Cannot load image. Invalid or unexpected PNG image format.";
static const char* const SUnsupportedCompression =
    "Cannot load image. The compression scheme is not supported for PNG files.";
static const char* const SInvalidPalette = "Cannot load image. Palette in PNG file is invalid.";
static const char* const SUnknownCriticalChunk = "Cannot load PNG image. Unexpected but critical chunk detected.";
static const char* const SInvalidCRC = "Cannot load image. CRC error found in PNG file.";
static const char* const SExtraCompressedData = "Cannot load image. Extra compressed data found in PNG file.";
static const char* const SCompressionError = "Cannot load image. Compression error found in PNG file.";
static const char* const SInvalidColorFormat = "Invalid color format in PNG file.";

static const uint8_t PNGSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// Inflated image data are produced in blocks of about this many bytes.
static const size_t InflateBlockSize = 1024 * 1024;
// Image data are inflated from consecutive chunks joined to at least this
// many bytes: long runs of input keep inflate in its fast loop.
static const size_t GatherSize = 1024 * 1024;

namespace {

inline uint32_t BE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline uint32_t BE16(const uint8_t* p) { return (uint32_t(p[0]) << 8) | p[1]; }
inline TColor RGBColor(uint32_t r, uint32_t g, uint32_t b) { return TColor(r | (g << 8) | (b << 16)); }

const TAdam7Pass Adam7[7] = {
    {0, 8, 0, 8, 0x80}, {0, 8, 4, 8, 0x08}, {4, 8, 0, 4, 0x88}, {0, 4, 2, 4, 0x22},
    {2, 4, 0, 2, 0xAA}, {0, 2, 1, 2, 0x55}, {1, 2, 0, 1, 0xFF},
};

// Slice-by-8 tables; the first one is the classic byte table.
uint32_t CrcTable[8][256];
std::once_flag CrcOnce;

// Not cleared: inflate writes every byte of the row block before it is read,
// and each pass clears the row in front of its first row itself.
uint8_t* AllocateBuffer(size_t size) {
    uint8_t* p = new (std::nothrow) uint8_t[size];
    if (!p) ThrowPictureOutOfMemory();
    return p;
}

}  // namespace

// ---------------------------------------------------------------------------
// Sources and targets

void TPNGMemorySource::ReadBuffer(void* Buffer, size_t Count) {
    if (FPos > FSize || Count > FSize - FPos) throw EReadError("Stream read error");
    std::memcpy(Buffer, FData + FPos, Count);
    FPos += Count;
}

void TPNGMemorySource::SetPosition(int64_t Value) { FPos = Value < 0 ? 0 : size_t(Value); }

TPixelView TPNGMemoryTarget::Allocate(const TPNGLayout& Layout) {
    const int bpp = PixelFormatBits(Layout.PixelFormat);
    if (bpp == 0 || bpp == 16) throw EInvalidGraphic(SInvalidColorFormat);
    if (!PictureFits(Layout.Width, Layout.Height, bpp, std::min<uint64_t>(FMaxBytes, SIZE_MAX)))
        ThrowPictureOutOfMemory();
    const size_t stride = BmpRowBytes(int(Layout.Width), bpp);
    try {
        FPixels.assign(stride * Layout.Height, 0);
    } catch (const std::bad_alloc&) {
        ThrowPictureOutOfMemory();
    }
    FLayout = Layout;
    FView.Bits = FPixels.data();
    FView.Stride = ptrdiff_t(stride);
    FView.Width = Layout.Width;
    FView.Height = Layout.Height;
    FView.PixelFormat = Layout.PixelFormat;
    return FView;
}

void TPNGMemoryTarget::PixelRGBA(uint32_t X, uint32_t Y, uint8_t Out[4]) const {
    const uint8_t* line = FView.ScanLine(Y);
    Out[3] = 255;
    auto fromPalette = [&](unsigned index) {
        TPaletteEntry e = index < FLayout.Palette.size() ? FLayout.Palette[index] : TPaletteEntry{};
        Out[0] = e.Red;
        Out[1] = e.Green;
        Out[2] = e.Blue;
    };
    switch (FView.PixelFormat) {
    case pf1bit: fromPalette((line[X >> 3] >> (7 - (X & 7))) & 1); break;
    case pf4bit: fromPalette((line[X >> 1] >> ((X & 1) ? 0 : 4)) & 15); break;
    case pf8bit: fromPalette(line[X]); break;
    case pf24bit:
        Out[0] = line[size_t(X) * 3 + 2];
        Out[1] = line[size_t(X) * 3 + 1];
        Out[2] = line[size_t(X) * 3];
        break;
    default:
        Out[0] = line[size_t(X) * 4 + 2];
        Out[1] = line[size_t(X) * 4 + 1];
        Out[2] = line[size_t(X) * 4];
        Out[3] = line[size_t(X) * 4 + 3];
        break;
    }
}

// ---------------------------------------------------------------------------
// CRC and filters

void BuildCrc32Table() {
    std::call_once(CrcOnce, [] {
        static const int Terms[] = {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26};
        uint32_t poly = 0;
        for (int t : Terms) poly |= 1u << (31 - t);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? poly ^ (c >> 1) : c >> 1;
            CrcTable[0][n] = c;
        }
        for (uint32_t n = 0; n < 256; ++n)
            for (int k = 1; k < 8; ++k) CrcTable[k][n] = (CrcTable[k - 1][n] >> 8) ^ CrcTable[0][CrcTable[k - 1][n] & 0xFF];
    });
}

namespace {

// The table runs over the bytes from the register c (not complemented).
uint32_t CrcByTable(uint32_t c, const uint8_t* p, size_t Length) {
    while (Length >= 8) {
        uint32_t lo = c ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        c = CrcTable[7][lo & 0xFF] ^ CrcTable[6][(lo >> 8) & 0xFF] ^ CrcTable[5][(lo >> 16) & 0xFF] ^
            CrcTable[4][lo >> 24] ^ CrcTable[3][p[4]] ^ CrcTable[2][p[5]] ^ CrcTable[1][p[6]] ^ CrcTable[0][p[7]];
        p += 8;
        Length -= 8;
    }
    while (Length--) c = CrcTable[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    return c;
}

#if defined(TUVRELI_CRC_FOLDING)
// Carry-less multiplication folds 64 bytes at a time into four 128-bit
// remainders that are congruent to the data (modulo the polynomial, reflected),
// then into one; the table reduces those 16 bytes. The constants are
// x^(512+32), x^(512-32), x^(128+32) and x^(128-32) modulo the polynomial,
// bit-reflected and shifted left by one. Long runs only (Length >= 64).
#define TUVRELI_FOLDING_TARGET __attribute__((target("sse2,pclmul")))
TUVRELI_FOLDING_TARGET inline __m128i Fold(__m128i x, __m128i k) {
    return _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11));
}
inline __m128i Load16(const uint8_t* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); }

TUVRELI_FOLDING_TARGET uint32_t CrcByFolding(uint32_t c, const uint8_t*& p, size_t& Length) {
    const __m128i k512 = _mm_set_epi64x(0x1C6E41596, 0x154442BD4);
    const __m128i k128 = _mm_set_epi64x(0x0CCAA009E, 0x1751997D0);
    // The register enters as the first four bytes of the data.
    __m128i x0 = _mm_xor_si128(Load16(p), _mm_cvtsi32_si128(int(c))), x1 = Load16(p + 16), x2 = Load16(p + 32),
            x3 = Load16(p + 48);
    p += 64;
    Length -= 64;
    for (; Length >= 64; p += 64, Length -= 64) {
        x0 = _mm_xor_si128(Fold(x0, k512), Load16(p));
        x1 = _mm_xor_si128(Fold(x1, k512), Load16(p + 16));
        x2 = _mm_xor_si128(Fold(x2, k512), Load16(p + 32));
        x3 = _mm_xor_si128(Fold(x3, k512), Load16(p + 48));
    }
    __m128i x = _mm_xor_si128(Fold(x0, k128), x1);
    x = _mm_xor_si128(Fold(x, k128), x2);
    x = _mm_xor_si128(Fold(x, k128), x3);
    for (; Length >= 16; p += 16, Length -= 16) x = _mm_xor_si128(Fold(x, k128), Load16(p));
    alignas(16) uint8_t rest[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(rest), x);
    return CrcByTable(0, rest, 16);
}

bool CanFold() {
    static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
    return can;
}
#endif

}  // namespace

uint32_t UpdateCrc32(uint32_t Crc, const void* Data, size_t Length) {
    if (!Data || Length == 0) return Crc;
    BuildCrc32Table();
    const uint8_t* p = static_cast<const uint8_t*>(Data);
    uint32_t c = ~Crc;
#if defined(TUVRELI_CRC_FOLDING)
    if (Length >= 64 && CanFold()) c = CrcByFolding(c, p, Length);
#endif
    return ~CrcByTable(c, p, Length);
}

uint8_t PaethPredict(uint8_t A, uint8_t B, uint8_t C) {
    int p = int(A) + B - C;
    int pa = std::abs(p - A), pb = std::abs(p - B), pc = std::abs(p - C);
    if (pa <= pb && pa <= pc) return A;
    return pb <= pc ? B : C;
}

namespace {

// The plain filters, byte by byte: what the vector ones must equal, and the
// path of every pixel size they do not cover. The left neighbour of one- and
// two-byte pixels is kept in a register: reading it back from the row just
// written would put a store-to-load delay on every byte.
template <unsigned N>
void SubPlain(uint8_t* row, size_t length) {
    if constexpr (N == 1) {
        uint8_t a = 0;
        for (size_t i = 0; i < length; ++i) row[i] = a = uint8_t(row[i] + a);
    } else {
        for (size_t i = N; i < length; ++i) row[i] = uint8_t(row[i] + row[i - N]);
    }
}
template <unsigned N>
void AveragePlain(uint8_t* row, const uint8_t* prev, size_t length) {
    if constexpr (N == 1) {
        unsigned a = 0;
        for (size_t i = 0; i < length; ++i) row[i] = uint8_t(a = uint8_t(row[i] + ((a + prev[i]) >> 1)));
    } else if constexpr (N == 2) {
        unsigned a0 = 0, a1 = 0;
        size_t i = 0;
        for (; i + 2 <= length; i += 2) {
            row[i] = uint8_t(a0 = uint8_t(row[i] + ((a0 + prev[i]) >> 1)));
            row[i + 1] = uint8_t(a1 = uint8_t(row[i + 1] + ((a1 + prev[i + 1]) >> 1)));
        }
        if (i < length) row[i] = uint8_t(row[i] + ((a0 + prev[i]) >> 1));
    } else {
        size_t n = std::min<size_t>(N, length);
        for (size_t i = 0; i < n; ++i) row[i] = uint8_t(row[i] + (prev[i] >> 1));
        for (size_t i = N; i < length; ++i) row[i] = uint8_t(row[i] + ((unsigned(row[i - N]) + prev[i]) >> 1));
    }
}
// Two Average rows of one-byte pixels at once, the second one byte behind
// the first: two chains of steps side by side instead of one after the other.
void AveragePair1(uint8_t* row0, uint8_t* row1, const uint8_t* prev, size_t length) {
    unsigned a0 = uint8_t(row0[0] + (prev[0] >> 1)), a1 = 0;
    row0[0] = uint8_t(a0);
    for (size_t i = 1; i < length; ++i) {
        const unsigned above = a0;
        row0[i] = uint8_t(a0 = uint8_t(row0[i] + ((a0 + prev[i]) >> 1)));
        row1[i - 1] = uint8_t(a1 = uint8_t(row1[i - 1] + ((a1 + above) >> 1)));
    }
    row1[length - 1] = uint8_t(row1[length - 1] + ((a1 + a0) >> 1));
}

inline int PaethOf(int a, int b, int c) {
    int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}
template <unsigned N>
void PaethPlain(uint8_t* row, const uint8_t* prev, size_t length) {
    if constexpr (N == 1) {
        int a = 0, c = 0;
        for (size_t i = 0; i < length; ++i) {
            int b = prev[i];
            row[i] = uint8_t(a = uint8_t(row[i] + PaethOf(a, b, c)));
            c = b;
        }
    } else {
        size_t n = std::min<size_t>(N, length);
        for (size_t i = 0; i < n; ++i) row[i] = uint8_t(row[i] + prev[i]);  // left and upper-left are 0
        for (size_t i = N; i < length; ++i) row[i] = uint8_t(row[i] + PaethOf(row[i - N], prev[i], prev[i - N]));
    }
}

template <unsigned N>
void UnfilterPlainN(uint8_t filter, uint8_t* row, const uint8_t* prev, size_t length) {
    switch (filter) {
    case 1: SubPlain<N>(row, length); break;
    case 3: AveragePlain<N>(row, prev, length); break;
    case 4: PaethPlain<N>(row, prev, length); break;
    default: break;
    }
}

void UpPlain(uint8_t* row, const uint8_t* prev, size_t length) {
    for (size_t i = 0; i < length; ++i) row[i] = uint8_t(row[i] + prev[i]);
}

// Sub, Average and Paeth of the plain filters for any pixel size.
void PlainFilter(uint8_t filter, uint8_t* row, const uint8_t* prev, unsigned bpp, size_t length) {
    switch (bpp) {
    case 1: return UnfilterPlainN<1>(filter, row, prev, length);
    case 2: return UnfilterPlainN<2>(filter, row, prev, length);
    case 3: return UnfilterPlainN<3>(filter, row, prev, length);
    case 4: return UnfilterPlainN<4>(filter, row, prev, length);
    case 5: return UnfilterPlainN<5>(filter, row, prev, length);
    case 6: return UnfilterPlainN<6>(filter, row, prev, length);
    case 7: return UnfilterPlainN<7>(filter, row, prev, length);
    default: return UnfilterPlainN<8>(filter, row, prev, length);
    }
}

#if defined(__SSE2__)
// One pixel of N (3, 4, 6 or 8) bytes at a time in the low bytes of a
// register. The wide load reads W >= N bytes (a whole 32- or 64-bit word)
// and may be used while W bytes remain; the store writes exactly N bytes.
template <int N>
constexpr size_t W = N == 3 ? 4 : N == 6 ? 8 : N;
template <int N>
inline __m128i LoadWide(const uint8_t* p) {
    if constexpr (W<N> == 4) {
        int v;
        std::memcpy(&v, p, 4);
        return _mm_cvtsi32_si128(v);
    } else {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    }
}
template <int N>
inline __m128i LoadExact(const uint8_t* p) {
    if constexpr (N == 3) {
        return _mm_cvtsi32_si128(p[0] | (p[1] << 8) | (p[2] << 16));
    } else if constexpr (N == 6) {
        // Composed in a register: a partial copy through memory would stall
        // store forwarding on every pixel.
        uint32_t lo;
        uint16_t hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + 4, 2);
        return _mm_cvtsi64_si128(int64_t(lo | uint64_t(hi) << 32));
    } else {
        return LoadWide<N>(p);
    }
}
template <int N>
inline void StoreExact(uint8_t* p, __m128i v) {
    if constexpr (N == 3 || N == 4) {
        uint32_t x = uint32_t(_mm_cvtsi128_si32(v));
        std::memcpy(p, &x, N == 3 ? 2 : 4);
        if (N == 3) p[2] = uint8_t(x >> 16);
    } else if constexpr (N == 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    } else {
        static_assert(N == 6);
        uint64_t x = uint64_t(_mm_cvtsi128_si64(v));
        uint32_t lo = uint32_t(x);
        uint16_t hi = uint16_t(x >> 32);
        std::memcpy(p, &lo, 4);
        std::memcpy(p + 4, &hi, 2);
    }
}

// Runs Step(row + i, prev + i, x, b) over the pixels, x and b the pixel's and
// the pixel above's bytes in the low bytes of a register; Step returns the
// pixel's result there. Wide loads while they stay inside the row.
template <int N, class F>
inline void ForEachPixel(uint8_t* row, const uint8_t* prev, size_t length, F&& Step) {
    size_t i = 0;
    for (; i + W<N> <= length; i += N) StoreExact<N>(row + i, Step(LoadWide<N>(row + i), LoadWide<N>(prev + i)));
    for (; i + N <= length; i += N) StoreExact<N>(row + i, Step(LoadExact<N>(row + i), LoadExact<N>(prev + i)));
}

inline __m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

template <int N>
void PaethSIMD(uint8_t* row, const uint8_t* prev, size_t length) {
    const __m128i zero = _mm_setzero_si128(), mask = _mm_set1_epi16(0xFF);
    __m128i a = zero, c = zero;  // 16-bit lanes
    ForEachPixel<N>(row, prev, length, [&](__m128i x, __m128i b) {
        b = _mm_unpacklo_epi8(b, zero);
        // pa = |b - c|, pb = |a - c|, pc = |a + b - 2c|
        __m128i pa = _mm_sub_epi16(b, c), pb = _mm_sub_epi16(a, c);
        __m128i pc = Abs16(_mm_add_epi16(pa, pb));
        pa = Abs16(pa);
        pb = Abs16(pb);
        // a when pa <= pb and pa <= pc, else b when pb <= pc, else c.
        __m128i useA = _mm_andnot_si128(_mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc)), mask);
        __m128i useB = _mm_andnot_si128(_mm_cmpgt_epi16(pb, pc), mask);
        __m128i pred = _mm_or_si128(_mm_and_si128(useA, a),
                                    _mm_andnot_si128(useA, _mm_or_si128(_mm_and_si128(useB, b), _mm_andnot_si128(useB, c))));
        a = _mm_and_si128(_mm_add_epi16(_mm_unpacklo_epi8(x, zero), pred), mask);
        c = b;
        return _mm_packus_epi16(a, a);
    });
    size_t i = length - length % N;
    for (; i < length; ++i) row[i] = uint8_t(row[i] + PaethPredict(i >= N ? row[i - N] : 0, prev[i], i >= N ? prev[i - N] : 0));
}

template <int N>
void AverageSIMD(uint8_t* row, const uint8_t* prev, size_t length) {
    // Bytes in the high halves of 16-bit lanes: the rounded average of a and
    // b there is (a + b) * 128 exactly, its high byte (a + b) div 2, and adding
    // x to it wraps modulo 256 by itself. Three steps from one pixel to the next.
    const __m128i zero = _mm_setzero_si128(), high = _mm_set1_epi16(short(0xFF00));
    __m128i a = zero;
    ForEachPixel<N>(row, prev, length, [&](__m128i x, __m128i b) {
        a = _mm_add_epi16(_mm_unpacklo_epi8(zero, x), _mm_and_si128(_mm_avg_epu16(a, _mm_unpacklo_epi8(zero, b)), high));
        __m128i v = _mm_srli_epi16(a, 8);
        return _mm_packus_epi16(v, v);
    });
    size_t i = length - length % N;
    for (; i < length; ++i) row[i] = uint8_t(row[i] + ((unsigned(i >= N ? row[i - N] : 0) + prev[i]) >> 1));
}

// Two Average rows at once, the second one pixel behind the first: its pixel
// above is the first row's pixel finished one step before. Both pixels share
// one register (the first row's in the low half), so one step of the chain
// gives two pixels. Whole pixels of 3 or 4 bytes.
template <int N>
void AveragePairSIMD(uint8_t* row0, uint8_t* row1, const uint8_t* prev, size_t length) {
    static_assert(N == 3 || N == 4);
    const __m128i zero = _mm_setzero_si128(), high = _mm_set1_epi16(short(0xFF00));
    const size_t count = length / N;
    auto load = [&](const uint8_t* p, size_t i) { return i * N + W<N> <= length ? LoadWide<N>(p + i * N) : LoadExact<N>(p + i * N); };
    auto step = [&](__m128i a, __m128i x0, __m128i b0, __m128i x1) {
        __m128i x = _mm_unpacklo_epi64(_mm_unpacklo_epi8(zero, x0), _mm_unpacklo_epi8(zero, x1));
        __m128i b = _mm_unpacklo_epi64(_mm_unpacklo_epi8(zero, b0), a);
        return _mm_add_epi16(x, _mm_and_si128(_mm_avg_epu16(a, b), high));
    };
    auto bytes = [](__m128i a) {
        __m128i v = _mm_srli_epi16(a, 8);
        return uint64_t(_mm_cvtsi128_si64(_mm_packus_epi16(v, v)));
    };
    auto store = [](uint8_t* p, uint32_t v) { StoreExact<N>(p, _mm_cvtsi32_si128(int(v))); };
    // The first row's first pixel alone: the second row has no pixel before it
    // (its half of the step stays zero).
    __m128i a = step(zero, load(row0, 0), load(prev, 0), zero);
    store(row0, uint32_t(bytes(a)));
    for (size_t i = 1; i < count; ++i) {
        a = step(a, load(row0, i), load(prev, i), load(row1, i - 1));
        uint64_t v = bytes(a);
        store(row0 + i * N, uint32_t(v));
        store(row1 + (i - 1) * N, uint32_t(v >> 32));
    }
    // The second row's last pixel.
    a = step(a, zero, zero, load(row1, count - 1));
    store(row1 + (count - 1) * N, uint32_t(bytes(a) >> 32));
}

template <int N>
void SubSIMD(uint8_t* row, size_t length) {
    __m128i a = _mm_setzero_si128();
    ForEachPixel<N>(row, row, length, [&](__m128i x, __m128i) { return a = _mm_add_epi8(a, x); });
    size_t i = length - length % N;
    for (; i < length; ++i) row[i] = uint8_t(row[i] + (i >= N ? row[i - N] : 0));
}

void UnfilterUp(uint8_t* row, const uint8_t* prev, size_t length) {
    size_t i = 0;
    for (; i + 16 <= length; i += 16) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(prev + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_add_epi8(x, b));
    }
    UpPlain(row + i, prev + i, length - i);
}

template <int N>
void UnfilterSIMD(uint8_t filter, uint8_t* row, const uint8_t* prev, size_t length) {
    switch (filter) {
    case 1: SubSIMD<N>(row, length); break;
    case 3: AverageSIMD<N>(row, prev, length); break;
    case 4: PaethSIMD<N>(row, prev, length); break;
    default: break;
    }
}
#endif

}  // namespace

// A missing previous row counts as zeros.
template <class F>
static void WithPrevious(uint8_t Filter, const uint8_t* Previous, size_t Length, F&& Run) {
    if (Previous || Filter < 2 || Filter > 4) return Run(Previous);
    std::vector<uint8_t> zeros(Length, 0);
    Run(zeros.data());
}

void TPNGReader::Unfilter(uint8_t Filter, uint8_t* Row, const uint8_t* Previous, unsigned BytesPerPixel,
                          size_t Length) {
    if (BytesPerPixel == 0) BytesPerPixel = 1;
    WithPrevious(Filter, Previous, Length, [&](const uint8_t* prev) {
#if defined(__SSE2__)
        switch (Filter == 2 ? 0 : BytesPerPixel) {
        case 0: return UnfilterUp(Row, prev, Length);
        case 3: return UnfilterSIMD<3>(Filter, Row, prev, Length);
        case 4: return UnfilterSIMD<4>(Filter, Row, prev, Length);
        case 6: return UnfilterSIMD<6>(Filter, Row, prev, Length);
        case 8: return UnfilterSIMD<8>(Filter, Row, prev, Length);
        default: break;
        }
#endif
        UnfilterPlain(Filter, Row, prev, BytesPerPixel, Length);
    });
}

void TPNGReader::UnfilterTwo(uint8_t Filter0, uint8_t Filter1, uint8_t* Row0, uint8_t* Row1, const uint8_t* Previous,
                             unsigned BytesPerPixel, size_t Length) {
    if (Filter0 == 3 && Filter1 == 3 && Previous && Length >= BytesPerPixel && Length % BytesPerPixel == 0) {
        if (BytesPerPixel == 1) return AveragePair1(Row0, Row1, Previous, Length);
#if defined(__SSE2__)
        if (BytesPerPixel == 3) return AveragePairSIMD<3>(Row0, Row1, Previous, Length);
        if (BytesPerPixel == 4) return AveragePairSIMD<4>(Row0, Row1, Previous, Length);
#endif
    }
    Unfilter(Filter0, Row0, Previous, BytesPerPixel, Length);
    Unfilter(Filter1, Row1, Row0, BytesPerPixel, Length);
}

void TPNGReader::UnfilterPlain(uint8_t Filter, uint8_t* Row, const uint8_t* Previous, unsigned BytesPerPixel,
                               size_t Length) {
    if (BytesPerPixel == 0) BytesPerPixel = 1;
    WithPrevious(Filter, Previous, Length, [&](const uint8_t* prev) {
        if (Filter == 2) UpPlain(Row, prev, Length);
        else PlainFilter(Filter, Row, prev, BytesPerPixel, Length);  // None and unknown types: as stored
    });
}

// ---------------------------------------------------------------------------
// Reader

TPNGReader::TPNGReader(TColorManager& ColorManager) : FColorManager(ColorManager) { BuildCrc32Table(); }

TPNGReader::~TPNGReader() { Cleanup(); }

void TPNGReader::Cleanup() noexcept {
    FDecoder.reset();  // ends an unfinished stream without throwing
    std::vector<uint8_t>().swap(FChunkBuffer);
    FIdatCursor = FIdatEnd = nullptr;
    FChunkEnds.clear();
    FInputError = nullptr;
    FRowBuffer.reset();
    FRowBufferSize = 0;
}

void TPNGReader::Progress(TProgressStage Stage, uint8_t Percent, bool RedrawNow, const char* Msg) {
    if (FTarget) FTarget->Progress(Stage, Percent, RedrawNow, FProgressRect, Msg);
}

void TPNGReader::ReadChunkHeader() {
    uint8_t h[8];
    FStream->ReadBuffer(h, 8);
    FChunkLength = BE32(h);
    std::memcpy(FChunkType, h + 4, 4);
    // Lengths beyond the format's limit or past the end of the stream are bad
    // data, never a reason to allocate or skip gigabytes.
    if (FChunkLength > 0x7FFFFFFFu) throw EInvalidGraphic(SInvalidFormat);
    int64_t size = FStream->Size();
    if (size >= 0 && FStream->Position() + int64_t(FChunkLength) + 4 > size) throw EInvalidGraphic(SInvalidFormat);
    FRunningCrc = UpdateCrc32(0, FChunkType, 4);
}

void TPNGReader::ReadChunkData(size_t Offset) {
    // A stream of unknown size cannot vouch for a length: the buffer grows
    // only as far as data actually arrive.
    const size_t step = FStream->Size() < 0 ? size_t(1) << 20 : size_t(FChunkLength);
    for (size_t done = 0; done < FChunkLength;) {
        const size_t n = std::min(step, size_t(FChunkLength) - done);
        try {
            if (FChunkBuffer.size() < Offset + done + n) FChunkBuffer.resize(Offset + done + n);
        } catch (const std::bad_alloc&) {
            ThrowPictureOutOfMemory();
        }
        FStream->ReadBuffer(FChunkBuffer.data() + Offset + done, n);
        done += n;
    }
    uint8_t stored[4];
    FStream->ReadBuffer(stored, 4);
    FRunningCrc = UpdateCrc32(FRunningCrc, FChunkBuffer.data() + Offset, FChunkLength);
    if (FRunningCrc != BE32(stored)) throw EInvalidGraphic(SInvalidCRC);
}

// Letters are compared with their case bit ignored: a lower-case "idat" is
// image data all the same.
bool TPNGReader::IsChunk(const char* Type) const {
    for (int i = 0; i < 4; ++i)
        if ((uint8_t(FChunkType[i]) | 0x20) != (uint8_t(Type[i]) | 0x20)) return false;
    return true;
}

void TPNGReader::SkipChunk() { FStream->SetPosition(FStream->Position() + int64_t(FChunkLength) + 4); }

void TPNGReader::ParseHeader(const uint8_t* d) {
    TPNGImageProperties& p = ImageProperties;
    p.Width = BE32(d);
    p.Height = BE32(d + 4);
    p.BitsPerSample = d[8];
    p.ColorType = d[9];
    p.Compression = d[10] == 0 ? 2 : 0;
    p.FilterMode = d[11];
    p.Interlaced = d[12] != 0;
    switch (d[9]) {
    case 0: p.ColorScheme = csG; p.SamplesPerPixel = 1; break;
    case 2: p.ColorScheme = csRGB; p.SamplesPerPixel = 3; break;
    case 3: p.ColorScheme = csIndexed; p.SamplesPerPixel = 1; break;
    case 4: p.ColorScheme = csGA; p.SamplesPerPixel = 2; break;
    case 6: p.ColorScheme = csRGBA; p.SamplesPerPixel = 4; break;
    default: p.ColorScheme = csUnknown; p.SamplesPerPixel = 1; break;
    }
    p.BitsPerPixel = uint8_t(p.SamplesPerPixel * p.BitsPerSample);
    p.HasAlpha = p.ColorScheme == csGA || p.ColorScheme == csRGBA || p.ColorScheme == csBGRA;
}

bool TPNGReader::ReadImageProperties(TPNGSource& Stream) {
    FStream = &Stream;
    ImageProperties = TPNGImageProperties();
    uint8_t sig[8];
    Stream.ReadBuffer(sig, 8);
    if (std::memcmp(sig, PNGSignature, 8) != 0) return false;
    try {
        ReadChunkHeader();
    } catch (const EInvalidGraphic&) {
        return false;
    }
    if (!IsChunk("IHDR") || FChunkLength != 13) return false;
    ImageProperties.Options |= 1;
    ReadChunkData();
    ParseHeader(FChunkBuffer.data());
    const TPNGImageProperties& p = ImageProperties;
    if (p.Width == 0 || p.Height == 0 || p.Width > 0x7FFFFFFFu || p.Height > 0x7FFFFFFFu) return false;
    for (;;) {
        try {
            ReadChunkHeader();
        } catch (const EInvalidGraphic&) {
            return false;
        }
        if (IsChunk("gAMA")) {
            ReadChunkData();
            if (FChunkLength >= 4) ImageProperties.FileGamma = float(BE32(FChunkBuffer.data()) / 100000.0);
            return true;
        }
        if (IsChunk("IEND")) return true;
        SkipChunk();
    }
}

void TPNGReader::LoadFromStream(TPNGSource& Stream, TPNGTarget& Target) {
    // Every per-load state starts afresh, also when the picture loaded before.
    FColorManager = TColorManager();
    FStream = &Stream;
    FTarget = &Target;
    FStreamBase = Stream.Position();
    FSetupDone = FImageDone = FStreamEnded = FDataEnded = false;
    FPixelFormat = pfDevice;
    FPalette.clear();
    FRawKey = clNone;
    FView = TPixelView();
    FPending = nullptr;
    FInputError = nullptr;
    FIdatCursor = FIdatEnd = nullptr;
    FChunkEnds.clear();
    bool started = false;
    try {
        if (!ReadImageProperties(Stream)) throw EInvalidGraphic(SInvalidFormat);
        Stream.SetPosition(FStreamBase + 8);
        FProgressRect = Rect(0, 0, int(ImageProperties.Width), 1);
        started = true;
        Progress(psStarting, 0, false, "Preparing...");
        BackgroundColor = clWhite;
        TransparentKey = clNone;

        ReadChunkHeader();
        ReadChunkData();
        ParseHeader(FChunkBuffer.data());
        FColorManager.SourceOptions |= coBigEndian;
        if (ImageProperties.Compression != 2) throw EInvalidGraphic(SUnsupportedCompression);
        FDecoder = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
        FDecoder->Start();

        ReadChunkHeader();
        for (;;) {
            if (IsChunk("IEND")) {
                // A file without image data is not a picture.
                if (!FImageDone) throw EInvalidGraphic(SInvalidFormat);
                SkipChunk();
                break;
            }
            if (IsChunk("IDAT") && !FImageDone) {
                Progress(psEnding, 0, false, "");
                ReadImageData();
                FImageDone = true;
                continue;  // the chunk after the image data is current
            }
            // After the image these are read and checked all the same; they
            // no longer change the picture. A later run of image data is
            // checked, not decompressed.
            if (IsChunk("PLTE")) ReadPalette();
            else if (IsChunk("gAMA")) ReadGamma();
            else if (IsChunk("bKGD")) ReadBackground();
            else if (IsChunk("tRNS")) ReadTransparency();
            else if (IsChunk("IDAT")) ReadChunkData();
            else if ((FChunkType[0] & 0x20) == 0) throw EInvalidGraphic(SUnknownCriticalChunk);
            else SkipChunk();
            ReadChunkHeader();
        }
        std::unique_ptr<TLZ77Decoder> decoder = std::move(FDecoder);
        decoder->Finish();
    } catch (...) {
        // The first error wins: clean-up failures are dropped on this path.
        Cleanup();
        if (started) {
            try {
                Progress(psEnding, 0, false, "");
            } catch (...) {
            }
        }
        FTarget = nullptr;
        throw;
    }
    Cleanup();
    Progress(psEnding, 0, false, "");
    FTarget = nullptr;
}

void TPNGReader::SetupColorDepth() {
    const TPNGImageProperties& p = ImageProperties;
    unsigned depth = p.BitsPerSample;
    TColorManager& cm = FColorManager;
    auto valid = [&](std::initializer_list<unsigned> depths) {
        if (std::find(depths.begin(), depths.end(), depth) == depths.end())
            throw EInvalidGraphic(SInvalidColorFormat);
    };
    // The file's samples of the given depth converted to the target's layout.
    auto convert = [&](TColorScheme source, TColorScheme target, uint8_t sourceSamples, uint8_t targetSamples,
                       unsigned targetBits) {
        cm.SetSourceScheme(source);
        cm.SetTargetScheme(target);
        cm.SetSourceSamplesPerPixel(sourceSamples);
        cm.SetTargetSamplesPerPixel(targetSamples);
        cm.SetSourceBitsPerSample(uint8_t(depth));
        cm.SetTargetBitsPerSample(uint8_t(targetBits));
    };
    switch (p.ColorType) {
    case 0:
        valid({1, 2, 4, 8, 16});
        convert(csG, csG, 1, 1, depth == 2 ? 4 : depth == 16 ? 8 : depth);
        FFilterBytes = (depth + 7) / 8;
        break;
    case 2:
        valid({8, 16});
        convert(csRGB, csBGR, 3, 3, 8);
        FFilterBytes = depth * 3 / 8;
        break;
    case 3:
        valid({1, 2, 4, 8});
        convert(csIndexed, csIndexed, 1, 1, depth == 2 ? 4 : depth);
        FFilterBytes = 1;
        break;
    case 4:
        valid({8, 16});
        convert(csGA, csIndexed, 2, 1, 8);
        FFilterBytes = depth * 2 / 8;
        break;
    case 6:
        valid({8, 16});
        convert(csRGBA, csBGRA, 4, 4, 8);
        FFilterBytes = depth * 4 / 8;
        break;
    default:
        throw EInvalidGraphic(SInvalidColorFormat);
    }
    FPixelFormat = cm.GetPixelFormat(true);
    if (p.ColorType == 0 || p.ColorType == 4) FPalette = cm.CreateGrayscalePalette(false);
    FSetupDone = true;
}

void TPNGReader::ReadPalette() {
    ReadChunkData();
    if (FChunkLength % 3 != 0 || FChunkLength == 0) throw EInvalidGraphic(SInvalidPalette);
    if (ImageProperties.ColorType != 3) return;
    SetupColorDepth();
    const void* src = FChunkBuffer.data();
    FPalette = FColorManager.CreateColorPalette(&src, 1, 0, FChunkLength / 3, false);
}

void TPNGReader::ReadGamma() {
    ReadChunkData();
    if (FChunkLength < 4) return;
    ImageProperties.FileGamma = float(BE32(FChunkBuffer.data()) / 100000.0);
    FColorManager.SetGamma(ImageProperties.FileGamma, 2.2f);
    FColorManager.TargetOptions |= coApplyGamma;
    ImageProperties.Options |= 2;
}

// Grey samples of the file scaled to the grey palette's 8-bit values.
static uint32_t GreyTo8(uint32_t v, unsigned depth) {
    switch (depth) {
    case 1: return (v & 1) * 255;
    case 2: return (v & 3) * 85;
    case 4: return (v & 15) * 17;
    case 16: return v * 255 / 65535;
    default: return v & 0xFF;
    }
}
static uint32_t ColourTo8(uint32_t v, unsigned depth) { return depth == 16 ? v * 255 / 65535 : v & 0xFF; }

void TPNGReader::ReadBackground() {
    ReadChunkData();
    const uint8_t* d = FChunkBuffer.data();
    unsigned depth = ImageProperties.BitsPerSample;
    switch (ImageProperties.ColorType) {
    case 0:
    case 4:
        if (FChunkLength < 2) return;
        {
            uint32_t g = GreyTo8(BE16(d), depth);
            BackgroundColor = RGBColor(g, g, g);
        }
        break;
    case 2:
    case 6:
        if (FChunkLength < 6) return;
        BackgroundColor = RGBColor(ColourTo8(BE16(d), depth), ColourTo8(BE16(d + 2), depth), ColourTo8(BE16(d + 4), depth));
        break;
    case 3:
        if (FChunkLength < 1) return;
        // The palette entry's colour where there is one, else the index itself.
        if (d[0] < FPalette.size()) {
            const TPaletteEntry& e = FPalette[d[0]];
            BackgroundColor = RGBColor(e.Red, e.Green, e.Blue);
        } else {
            BackgroundColor = TColor(d[0]);
        }
        break;
    default:
        break;
    }
}

void TPNGReader::ReadTransparency() {
    ReadChunkData();
    const uint8_t* d = FChunkBuffer.data();
    unsigned depth = ImageProperties.BitsPerSample;
    if (ImageProperties.ColorType == 0 && FChunkLength >= 2) {
        uint32_t g = GreyTo8(BE16(d), depth);
        FRawKey = RGBColor(g, g, g);
    } else if (ImageProperties.ColorType == 2 && FChunkLength >= 6) {
        FRawKey = RGBColor(ColourTo8(BE16(d), depth), ColourTo8(BE16(d + 2), depth), ColourTo8(BE16(d + 4), depth));
    }
}

void TPNGReader::FillBackground(uint32_t FirstRow, uint32_t EndRow) {
    if (!FView.Bits || FirstRow >= EndRow) return;
    const uint32_t w = FView.Width;
    const uint8_t r = uint8_t(BackgroundColor), g = uint8_t(BackgroundColor >> 8), b = uint8_t(BackgroundColor >> 16);
    uint8_t* first = FView.ScanLine(FirstRow);
    size_t bytes;
    if (FPixelFormat == pf24bit || FPixelFormat == pf32bit) {
        const size_t n = FPixelFormat == pf24bit ? 3 : 4;
        const uint8_t pixel[4] = {b, g, r, 0};
        bytes = size_t(w) * n;
        std::memcpy(first, pixel, n);
        // The line doubles what it holds until it is full.
        for (size_t done = n; done < bytes; done *= 2) std::memcpy(first + done, first, std::min(done, bytes - done));
    } else {
        // The palette entry nearest the colour, as a fill of a paletted bitmap gives.
        uint32_t palette[256];
        const size_t count = std::min<size_t>(FPalette.size(), 256);
        for (size_t i = 0; i < count; ++i)
            palette[i] = uint32_t(FPalette[i].Blue) | uint32_t(FPalette[i].Green) << 8 | uint32_t(FPalette[i].Red) << 16;
        const unsigned best = NearestPaletteEntry(b, g, r, palette, count);
        const unsigned bits = unsigned(PixelFormatBits(FPixelFormat));
        uint8_t pattern = bits == 1 ? (best & 1 ? 0xFF : 0) : bits == 4 ? uint8_t((best & 15) * 0x11) : uint8_t(best);
        bytes = size_t((uint64_t(w) * bits + 7) / 8);
        std::memset(first, pattern, bytes);
    }
    for (uint32_t y = FirstRow + 1; y < EndRow; ++y) std::memcpy(FView.ScanLine(y), first, bytes);
}

bool TPNGReader::GatherImageData() {
    FIdatCursor = FIdatEnd = nullptr;
    FChunkEnds.clear();
    size_t total = 0;
    while (IsChunk("IDAT") && total < GatherSize) {
        const uint32_t length = FChunkLength;
        try {
            ReadChunkData(total);
            ReadChunkHeader();
        } catch (...) {
            // The failure belongs where this chunk's data begin: the input
            // before it is inflated first.
            if (total == 0) throw;
            FInputError = std::current_exception();
            FInputErrorLength = length;
            break;
        }
        total += length;
        FChunkEnds.push_back(total);
    }
    if (total == 0) return false;
    FIdatCursor = FChunkBuffer.data();
    FIdatEnd = FIdatCursor + total;
    return true;
}

bool TPNGReader::MoreDataAfterStreamEnd() const {
    // The chunk right after the one the stream ended in: gathered already, or
    // the current one.
    const size_t at = size_t(FIdatCursor - FChunkBuffer.data());
    auto end = std::lower_bound(FChunkEnds.begin(), FChunkEnds.end(), at);
    if (end != FChunkEnds.end() && end + 1 != FChunkEnds.end()) return end[1] > end[0];
    if (FInputError) return FInputErrorLength > 0;
    return IsChunk("IDAT") && FChunkLength > 0;
}

size_t TPNGReader::InflateRows(uint8_t* Dest, size_t Size, size_t RowBytes) {
    size_t produced = 0;
    try {
        while (produced < Size && !FDataEnded) {
            if (FStreamEnded) {
                // More image data after the end of the compressed stream.
                if (MoreDataAfterStreamEnd()) throw EInvalidGraphic(SExtraCompressedData);
                FDataEnded = true;
                break;
            }
            if (FIdatCursor == FIdatEnd) {
                if (FInputError) std::rethrow_exception(std::exchange(FInputError, nullptr));
                if (!GatherImageData()) {
                    FDataEnded = true;  // missing image data is no error
                    break;
                }
            }
            uint8_t* out = Dest + produced;
            const size_t room = std::min<size_t>(Size - produced, size_t(INT_MAX));
            const size_t input = std::min<size_t>(size_t(FIdatEnd - FIdatCursor), size_t(INT_MAX));
            FDecoder->InflateBlock(FIdatCursor, out, int(input), int(room));
            produced = size_t(out - Dest);
            const int result = FDecoder->ZLibResult();
            if (result == Z_STREAM_END) {
                FStreamEnded = true;
                // The stream must end with its chunk and at the end of a row.
                const size_t at = size_t(FIdatCursor - FChunkBuffer.data());
                if (!std::binary_search(FChunkEnds.begin(), FChunkEnds.end(), at) ||
                    (produced < Size && produced % RowBytes != 0))
                    throw EInvalidGraphic(SExtraCompressedData);
            } else if (result != Z_OK) {
                throw EInvalidGraphic(SCompressionError);
            }
        }
    } catch (...) {
        FPending = std::current_exception();
    }
    return produced;
}

void TPNGReader::ReadImageData() {
    Progress(psStarting, 0, false, "Transfering...");
    const TPNGImageProperties& p = ImageProperties;
    if (!FSetupDone) {
        SetupColorDepth();
        if (p.ColorType == 3) throw EInvalidGraphic(SInvalidPalette);  // no PLTE before the image data
    }
    TPNGLayout layout;
    layout.Width = p.Width;
    layout.Height = p.Height;
    layout.PixelFormat = FPixelFormat;
    if (FPixelFormat == pf1bit || FPixelFormat == pf4bit || FPixelFormat == pf8bit) {
        unsigned entries = FPixelFormat == pf1bit ? 2 : FPixelFormat == pf4bit ? 16 : 256;
        FPalette.resize(entries);  // entries the file lacks are black
        layout.Palette = FPalette;
    } else {
        FPalette.clear();
    }
    layout.BackgroundColor = BackgroundColor;
    if (FRawKey != clNone) {
        TransparentKey = FRawKey;
        if (FColorManager.TargetOptions & coApplyGamma) {
            const uint8_t* g = FColorManager.GammaTable();
            TransparentKey = RGBColor(g[FRawKey & 0xFF], g[(FRawKey >> 8) & 0xFF], g[(FRawKey >> 16) & 0xFF]);
        }
    }
    layout.TransparentColor = TransparentKey;
    FView = FTarget->Allocate(layout);
    if (!FView.Bits || FView.Width != p.Width || FView.Height != p.Height) ThrowPictureOutOfMemory();

    const uint32_t height = p.Height;
    FRowsDone = 0;
    try {
        if (p.Interlaced) {
            FillBackground(0, height);
            for (int pass = 0; pass < 7 && !FDataEnded; ++pass) DecodePass(Adam7[pass]);
        } else {
            DecodePass(TAdam7Pass{0, 1, 0, 1, 0xFF});
            FillBackground(FRowsDone, height);
        }
        // The rest of the image data is read and checked, not decompressed.
        if (FInputError) std::rethrow_exception(std::exchange(FInputError, nullptr));
        while (IsChunk("IDAT")) {
            ReadChunkData();
            ReadChunkHeader();
        }
    } catch (...) {
        if (!p.Interlaced) FillBackground(FRowsDone, height);
        throw;
    }
}

void TPNGReader::RowDecoded(const TAdam7Pass& Pass, uint32_t& Y) {
    const uint32_t height = ImageProperties.Height;
    Y += Pass.RowStep;
    if (!ImageProperties.Interlaced) {
        FRowsDone = Y;
        Progress(psRunning, uint8_t((uint64_t(Y - 1) * 100 + height / 2) / height), true, "");
    } else if (Pass.Mask == 0xFF) {  // the last pass
        Progress(psRunning, uint8_t((std::min<uint64_t>(Y, height) * 100 + height / 2) / height), true, "");
    } else {
        return;
    }
    FProgressRect.Top++;
    FProgressRect.Bottom++;
}

void TPNGReader::DecodePass(const TAdam7Pass& Pass) {
    const TPNGImageProperties& p = ImageProperties;
    const uint32_t width = p.Width, height = p.Height;
    if (Pass.FirstColumn >= width || Pass.FirstRow >= height) return;
    const unsigned samples = p.ColorType == 4 ? 2 : p.ColorType == 2 ? 3 : p.ColorType == 6 ? 4 : 1;
    const uint64_t passWidth = (uint64_t(width) + Pass.ColumnStep - Pass.FirstColumn - 1) / Pass.ColumnStep;
    const uint64_t rowBytes64 = ((passWidth * p.BitsPerSample + 7) / 8) * samples + 1;
    if (rowBytes64 > uint64_t(INT_MAX)) ThrowPictureOutOfMemory();
    const size_t rowBytes = size_t(rowBytes64), length = rowBytes - 1;
    const uint32_t rows = (height - Pass.FirstRow + Pass.RowStep - 1) / Pass.RowStep;
    const size_t perBlock = std::max<size_t>(1, InflateBlockSize / rowBytes);
    // Where converting a row only moves bytes within its pixels, the row is
    // converted into its scan line first and unfiltered there against the
    // scan line above: the filters work byte by byte within a pixel, so they
    // give the same bytes in either order, and the inflated data are touched
    // once. Otherwise rows are unfiltered in the block against the row before
    // (kept in front of the block) and then converted.
    const bool inLines = !p.Interlaced && FColorManager.PermutesBytesOnly();
    const size_t needed = (std::min<size_t>(perBlock, rows) + 1) * rowBytes;
    if (needed > FRowBufferSize) {
        FRowBuffer.reset();
        FRowBuffer.reset(AllocateBuffer(needed));
        FRowBufferSize = needed;
    }
    uint8_t* buf = FRowBuffer.get();
    std::memset(buf, 0, rowBytes);  // the row above the first row of a pass is zeros
    const uint8_t* lineAbove = buf + 1;
    uint32_t y = Pass.FirstRow;
    for (uint32_t left = rows; left > 0;) {
        const size_t k = std::min<size_t>(perBlock, left);
        const size_t full = InflateRows(buf + rowBytes, k * rowBytes, rowBytes) / rowBytes;
        // Two rows at a time where there are two: a pair of Average rows
        // unfilters faster together.
        for (size_t i = 0; i < full; i += 2) {
            const size_t n = std::min<size_t>(2, full - i);
            uint8_t* row0 = buf + (i + 1) * rowBytes;
            uint8_t* row1 = row0 + rowBytes;
            uint8_t* line0 = FView.ScanLine(y);
            uint8_t* line1 = n == 2 ? FView.ScanLine(y + Pass.RowStep) : nullptr;
            if (inLines) {
                FColorManager.ConvertRow(row0 + 1, line0, width, 0xFF);
                if (n == 1) {
                    Unfilter(row0[0], line0, lineAbove, FFilterBytes, length);
                    lineAbove = line0;
                } else {
                    FColorManager.ConvertRow(row1 + 1, line1, width, 0xFF);
                    UnfilterTwo(row0[0], row1[0], line0, line1, lineAbove, FFilterBytes, length);
                    lineAbove = line1;
                }
            } else {
                if (n == 1) Unfilter(row0[0], row0 + 1, row0 + 1 - rowBytes, FFilterBytes, length);
                else UnfilterTwo(row0[0], row1[0], row0 + 1, row1 + 1, row0 + 1 - rowBytes, FFilterBytes, length);
                FColorManager.ConvertRow(row0 + 1, line0, width, Pass.Mask);
                if (n == 2) FColorManager.ConvertRow(row1 + 1, line1, width, Pass.Mask);
            }
            for (size_t r = 0; r < n; ++r) RowDecoded(Pass, y);
        }
        if (FPending) std::rethrow_exception(std::exchange(FPending, nullptr));
        if (full < k) return;  // the image data ended early
        if (!inLines) std::memcpy(buf, buf + k * rowBytes, rowBytes);
        left -= uint32_t(k);
    }
}
