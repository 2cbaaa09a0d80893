#include "ColorManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static const char* const SInvalidColorDepth = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
static const char* const SWrongSampleCount =
    "Sample count per pixel does not correspond to the given color scheme.";
static const char* const SIndexedNotSupported =
    "Conversion between indexed and non-indexed pixel formats is not supported.";
static const char* const SNoConversion = "Color conversion failed. Could not find a proper method.";

namespace {

bool SchemeHasAlpha(TColorScheme s) { return s == csGA || s == csRGBA || s == csBGRA; }

inline uint32_t Read16(const uint8_t* p, bool bigEndian) {
    return bigEndian ? (uint32_t(p[0]) << 8) | p[1] : p[0] | (uint32_t(p[1]) << 8);
}
inline void Write16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline uint32_t Scale16To8(uint32_t v) { return v * 255 / 65535; }
inline int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Calls f(x) for every target pixel x whose mask bit is set, in order.
template <class F>
inline void ForEachMasked(uint32_t count, uint8_t mask, F&& f) {
    if (mask == 0xFF) {
        for (uint32_t x = 0; x < count; ++x) f(x);
        return;
    }
    uint8_t offsets[8];
    int n = 0;
    for (int b = 0; b < 8; ++b)
        if (mask & (0x80 >> b)) offsets[n++] = uint8_t(b);
    if (n == 0) return;
    for (uint64_t group = 0; group < count; group += 8)
        for (int i = 0; i < n; ++i) {
            uint64_t x = group + offsets[i];
            if (x >= count) return;
            f(uint32_t(x));
        }
}

// Reads and writes samples of 1, 2, 4 or 8 bits, most significant bits first.
inline uint32_t ReadBits(const uint8_t* row, uint64_t bitPos, unsigned bits) {
    if (bits == 8) return row[bitPos >> 3];
    unsigned shift = 8 - bits - unsigned(bitPos & 7);
    return (row[bitPos >> 3] >> shift) & ((1u << bits) - 1);
}
inline void WriteBits(uint8_t* row, uint64_t bitPos, unsigned bits, uint32_t v) {
    if (bits == 8) {
        row[bitPos >> 3] = uint8_t(v);
        return;
    }
    unsigned shift = 8 - bits - unsigned(bitPos & 7);
    uint8_t m = uint8_t(((1u << bits) - 1) << shift);
    uint8_t& b = row[bitPos >> 3];
    b = uint8_t((b & ~m) | ((v << shift) & m));
}

// Bytes 0 and 2 of every 3-byte pixel trade places (RGB and BGR), five pixels
// of a 16-byte load at a time; the 16th byte stored is rewritten by the next
// step, and the last pixels go one by one so that nothing past the row is
// written. Source and target are different rows.
void SwapOuterBytes3(const uint8_t* s, uint8_t* t, uint32_t count) {
    uint32_t x = 0;
#if defined(__SSE2__)
    const __m128i middle = _mm_setr_epi8(0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0);
    const __m128i first = _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, 0);
    const __m128i last = _mm_slli_si128(first, 2);
    for (; x + 6 <= count; x += 5, s += 15, t += 15) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        __m128i w = _mm_or_si128(_mm_and_si128(v, middle), _mm_and_si128(_mm_srli_si128(v, 2), first));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(t), _mm_or_si128(w, _mm_and_si128(_mm_slli_si128(v, 2), last)));
    }
#endif
    for (; x < count; ++x, s += 3, t += 3) {
        uint8_t r = s[0], g = s[1], b = s[2];
        t[0] = b; t[1] = g; t[2] = r;
    }
}

// Bytes 0 and 2 of every 4-byte pixel trade places (RGBA and BGRA).
void SwapOuterBytes4(const uint8_t* s, uint8_t* t, uint32_t count) {
    uint32_t x = 0;
#if defined(__SSE2__)
    const __m128i keep = _mm_set1_epi32(int(0xFF00FF00u)), low = _mm_set1_epi32(0xFF);
    for (; x + 4 <= count; x += 4, s += 16, t += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        __m128i w = _mm_or_si128(_mm_and_si128(v, keep), _mm_and_si128(_mm_srli_epi32(v, 16), low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(t), _mm_or_si128(w, _mm_slli_epi32(_mm_and_si128(v, low), 16)));
    }
#endif
    for (; x < count; ++x, s += 4, t += 4) {
        uint32_t v;
        std::memcpy(&v, s, 4);
        // Little and big endian alike.
        uint32_t w = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
        std::memcpy(t, &w, 4);
    }
}

// Big-endian 16-bit samples to 8 bits, v * 255 div 65535: that is v div 257,
// the high byte less one when the low byte is below it.
void ScaleBigEndian16To8(const uint8_t* s, uint8_t* t, size_t count) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi16(0xFF);
    for (; i + 8 <= count; i += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * i));
        __m128i hi = _mm_and_si128(v, low), lo = _mm_srli_epi16(v, 8);
        __m128i r = _mm_add_epi16(hi, _mm_cmpgt_epi16(hi, lo));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(t + i), _mm_packus_epi16(r, r));
    }
#endif
    for (; i < count; ++i) t[i] = uint8_t(Scale16To8(uint32_t(s[2 * i]) << 8 | s[2 * i + 1]));
}

}  // namespace

TColorManager::TColorManager() {
    for (int i = 0; i < 256; ++i) FGammaTable[i] = uint8_t(i);
    SetGamma(1.0f, 2.2f);
}

void TColorManager::Changing(uint8_t& Field, uint8_t Value) {
    if (Field != Value) {
        Field = Value;
        FChanged = true;
    }
}

// The setters take any depth from 1 to 16; only 1, 2, 4, 8 and 16 have row
// routines, so the conversion refuses the others.
static void CheckBits(uint8_t v) {
    if (v == 0 || v > 16) throw EColorConversionError(SInvalidColorDepth);
}
static bool ConvertibleDepth(uint8_t v) { return v == 1 || v == 2 || v == 4 || v == 8 || v == 16; }
static void CheckSamples(uint8_t v) {
    if (v == 0 || v > 4) throw EColorConversionError(SWrongSampleCount);
}

void TColorManager::SetSourceBitsPerSample(uint8_t Value) { CheckBits(Value); Changing(FSourceBPS, Value); }
void TColorManager::SetTargetBitsPerSample(uint8_t Value) { CheckBits(Value); Changing(FTargetBPS, Value); }
void TColorManager::SetSourceSamplesPerPixel(uint8_t Value) { CheckSamples(Value); Changing(FSourceSPP, Value); }
void TColorManager::SetTargetSamplesPerPixel(uint8_t Value) { CheckSamples(Value); Changing(FTargetSPP, Value); }
void TColorManager::SetSourceScheme(TColorScheme Value) {
    if (FSourceScheme != Value) {
        FSourceScheme = Value;
        FChanged = true;
    }
}
void TColorManager::SetTargetScheme(TColorScheme Value) {
    if (FTargetScheme != Value) {
        FTargetScheme = Value;
        FChanged = true;
    }
}

void TColorManager::SetGamma(float MainGamma, float DisplayGamma) {
    FMainGamma = MainGamma > 0 ? MainGamma : 1.0f;
    FDisplayGamma = DisplayGamma > 0 ? DisplayGamma : 2.2f;
    double exponent = 1.0 / (double(FMainGamma) * double(FDisplayGamma));
    int sourceMax = FSourceBPS >= 8 ? 255 : (1 << FSourceBPS) - 1;
    int targetMax = FTargetBPS >= 8 ? 255 : (1 << FTargetBPS) - 1;
    // Every picture load makes a manager (whose default gamma is built first)
    // and most files give one of few gammas: the last tables built on this
    // thread are reused rather than recomputed.
    struct TCache {
        double Exponent = -1;
        int SourceMax = -1, TargetMax = -1;
        uint8_t Table[256];
        bool Identity = false;
    };
    static thread_local TCache caches[4];
    static thread_local unsigned next = 0;
    TCache* found = std::find_if(std::begin(caches), std::end(caches), [&](const TCache& c) {
        return c.Exponent == exponent && c.SourceMax == sourceMax && c.TargetMax == targetMax;
    });
    if (found == std::end(caches)) {
        found = &caches[next++ % 4];
        TCache& cache = *found;
        // Every entry is defined: values above the source range saturate.
        cache.Identity = true;
        for (int i = 0; i < 256; ++i) {
            int v = i <= sourceMax ? int(std::lround(std::pow(double(i) / sourceMax, exponent) * targetMax)) : targetMax;
            cache.Table[i] = uint8_t(std::clamp(v, 0, 255));
            if (cache.Table[i] != i) cache.Identity = false;
        }
        cache.Exponent = exponent;
        cache.SourceMax = sourceMax;
        cache.TargetMax = targetMax;
    }
    std::memcpy(FGammaTable, found->Table, 256);
    FGammaIdentity = found->Identity;
}

TPixelFormat TColorManager::GetPixelFormat(bool Target) const {
    unsigned bits = Target ? FTargetBPS : FSourceBPS;
    unsigned samples = Target ? FTargetSPP : FSourceSPP;
    switch (samples) {
    case 1:
        if (bits == 1) return pf1bit;
        if (bits >= 2 && bits <= 4) return pf4bit;
        if (bits >= 8 && bits <= 16) return pf8bit;
        return pfCustom;
    case 3:
        return bits >= 1 && bits <= 5 ? pf15bit : pf24bit;
    case 4:
        return bits >= 8 ? pf32bit : pfCustom;
    default:
        return pfCustom;
    }
}

void TColorManager::SelectConversion() {
    FRoutine = crNone;
    bool sourceIndexed = FSourceScheme == csIndexed || FSourceScheme == csG || FSourceScheme == csGA;
    bool targetIndexed = FTargetScheme == csIndexed || FTargetScheme == csG;
    if (sourceIndexed != targetIndexed) throw EColorConversionError(SIndexedNotSupported);
    if (SchemeHasAlpha(FSourceScheme)) SourceOptions |= coAlpha; else SourceOptions &= uint8_t(~coAlpha);
    if (SchemeHasAlpha(FTargetScheme)) TargetOptions |= coAlpha; else TargetOptions &= uint8_t(~coAlpha);
    if (!ConvertibleDepth(FSourceBPS) || !ConvertibleDepth(FTargetBPS)) {
        FChanged = false;
        return;
    }
    bool targetRGB = FTargetScheme == csRGB || FTargetScheme == csRGBA;
    bool targetBGR = FTargetScheme == csBGR || FTargetScheme == csBGRA;
    switch (FSourceScheme) {
    case csIndexed:
        if (FSourceBPS == 16 && FTargetBPS == 16) FRoutine = crIndexCopy16;
        else if (FSourceBPS == 16) FRoutine = crIndex16ToN;
        else if (FTargetBPS == 16) FRoutine = crIndexNTo16;
        else FRoutine = crRepack;
        break;
    case csG:
        if (FSourceBPS != 16 && FTargetBPS != 16) FRoutine = crRepack;
        else if (FSourceBPS >= 8 && FTargetBPS >= 8) FRoutine = crGrey816;
        break;
    case csGA:
        if ((FSourceBPS == 8 || FSourceBPS == 16) && (FTargetBPS == 8 || FTargetBPS == 16)) FRoutine = crGrey816;
        break;
    case csRGB:
    case csRGBA:
        FRoutine = targetRGB ? crRGBToRGB : targetBGR ? crRGBToBGR : crNone;
        break;
    case csBGR:
    case csBGRA:
        FRoutine = targetRGB ? crBGRToRGB : targetBGR ? crBGRToBGR : crNone;
        break;
    case csCMYK:
        FRoutine = targetRGB ? crCMYKToRGB : targetBGR ? crCMYKToBGR : crNone;
        break;
    case csCIELab:
        FRoutine = targetRGB ? crLabToRGB : targetBGR ? crLabToBGR : crNone;
        break;
    case csYCbCr:
    case csPhotoYCC:
        BuildYCbCrTables();
        FRoutine = targetRGB ? crYCbCrToRGB : targetBGR ? crYCbCrToBGR : crNone;
        break;
    default:
        break;
    }
    FChanged = false;
}

bool TColorManager::PermutesBytesOnly() {
    if (FChanged) SelectConversion();
    switch (FRoutine) {
    case crRepack:
        return FSourceBPS == FTargetBPS && FSourceSPP == FTargetSPP;
    case crRGBToRGB:
    case crRGBToBGR:
    case crBGRToRGB:
    case crBGRToBGR:
        return FSourceBPS == 8 && FTargetBPS == 8 && SchemeHasAlpha(FSourceScheme) == SchemeHasAlpha(FTargetScheme) &&
               !((TargetOptions & coApplyGamma) && !FGammaIdentity);
    default:
        return false;
    }
}

void TColorManager::BuildYCbCrTables() {
    double wR = YCbCrCoefficients[0], wG = YCbCrCoefficients[1], wB = YCbCrCoefficients[2];
    double c1 = 2 - 2 * wR, c2 = 2 - 2 * wB;
    for (int i = 0; i < 256; ++i) {
        double eCr = FSourceScheme == csPhotoYCC ? i - 137 : i - 128;
        double eCb = FSourceScheme == csPhotoYCC ? i - 156 : i - 128;
        FCrToRed[i] = int(std::lround(c1 * eCr));
        FCbToBlue[i] = int(std::lround(c2 * eCb));
        FCrToGreen[i] = -int(std::lround(wR * c1 / wG * eCr));
        FCbToGreen[i] = -int(std::lround(wB * c2 / wG * eCb));
    }
}

void TColorManager::ConvertRow(const void* const* Sources, int SourceCount, void* Target, uint32_t Count,
                               uint8_t Mask) {
    if (FChanged) SelectConversion();
    const uint8_t* const* src = reinterpret_cast<const uint8_t* const*>(Sources);
    uint8_t* dst = static_cast<uint8_t*>(Target);
    int planes = SourceCount < 1 ? 1 : SourceCount;
    switch (FRoutine) {
    case crNone: throw EColorConversionError(SNoConversion);
    case crIndexCopy16:
    case crIndex16ToN:
    case crIndexNTo16: RowIndex16(src[0], dst, Count, Mask); break;
    case crRepack: RowRepack(src[0], dst, Count, Mask); break;
    case crGrey816: RowGrey816(src[0], dst, Count, Mask); break;
    case crRGBToRGB:
    case crBGRToBGR: RowRGB(src, planes, dst, Count, Mask, false); break;
    case crRGBToBGR:
    case crBGRToRGB: RowRGB(src, planes, dst, Count, Mask, true); break;
    case crCMYKToRGB: RowCMYK(src, planes, dst, Count, Mask, false); break;
    case crCMYKToBGR: RowCMYK(src, planes, dst, Count, Mask, true); break;
    case crLabToRGB: RowLab(src, planes, dst, Count, Mask, false); break;
    case crLabToBGR: RowLab(src, planes, dst, Count, Mask, true); break;
    case crYCbCrToRGB: RowYCbCr(src, planes, dst, Count, Mask, false); break;
    case crYCbCrToBGR: RowYCbCr(src, planes, dst, Count, Mask, true); break;
    }
}

void TColorManager::RowRepack(const uint8_t* Src, uint8_t* Dst, uint32_t Count, uint8_t Mask) {
    unsigned sb = FSourceBPS, tb = FTargetBPS;
    if (sb == tb && Mask == 0xFF) {
        std::memcpy(Dst, Src, size_t((uint64_t(Count) * sb + 7) / 8));
        return;
    }
    if (sb == 8 && tb == 8) {
        const uint8_t* s = Src;
        ForEachMasked(Count, Mask, [&](uint32_t x) { Dst[x] = *s++; });
        return;
    }
    uint32_t maxS = (1u << sb) - 1, maxT = (1u << tb) - 1;
    uint64_t srcBit = 0;
    ForEachMasked(Count, Mask, [&](uint32_t x) {
        uint32_t v = ReadBits(Src, srcBit, sb);
        srcBit += sb;
        if (sb != tb) v = v * maxT / maxS;
        WriteBits(Dst, uint64_t(x) * tb, tb, v);
    });
}

void TColorManager::RowIndex16(const uint8_t* Src, uint8_t* Dst, uint32_t Count, uint8_t Mask) {
    bool be = SourceOptions & coBigEndian;
    unsigned sb = FSourceBPS, tb = FTargetBPS;
    uint64_t srcBit = 0;
    ForEachMasked(Count, Mask, [&](uint32_t x) {
        uint32_t v;
        if (sb == 16) {
            v = Read16(Src + (srcBit >> 3), be);
        } else {
            v = ReadBits(Src, srcBit, sb);
        }
        srcBit += sb;
        if (tb == 16) {
            if (sb != 16) v = v * 65535 / ((1u << sb) - 1);
            Write16(Dst + size_t(x) * 2, v);
        } else {
            v = v * ((1u << tb) - 1) / 65535;
            WriteBits(Dst, uint64_t(x) * tb, tb, v);
        }
    });
}

void TColorManager::RowGrey816(const uint8_t* Src, uint8_t* Dst, uint32_t Count, uint8_t Mask) {
    bool be = SourceOptions & coBigEndian;
    size_t step = (FSourceBPS / 8) * (SchemeHasAlpha(FSourceScheme) ? 2 : 1);
    const uint8_t* s = Src;
    if (FSourceBPS == 8 && FTargetBPS == 8) {
        ForEachMasked(Count, Mask, [&](uint32_t x) { Dst[x] = *s; s += step; });
    } else if (FSourceBPS == 8) {
        ForEachMasked(Count, Mask, [&](uint32_t x) { Write16(Dst + size_t(x) * 2, uint32_t(*s) * 65535 / 255); s += step; });
    } else if (FTargetBPS == 8) {
        ForEachMasked(Count, Mask, [&](uint32_t x) { Dst[x] = uint8_t(Scale16To8(Read16(s, be))); s += step; });
    } else {
        ForEachMasked(Count, Mask, [&](uint32_t x) { Write16(Dst + size_t(x) * 2, Read16(s, be)); s += step; });
    }
}

void TColorManager::RowRGB(const uint8_t* const* Src, int Planes, uint8_t* Dst, uint32_t Count, uint8_t Mask,
                           bool Reverse) {
    bool srcAlpha = SchemeHasAlpha(FSourceScheme), dstAlpha = SchemeHasAlpha(FTargetScheme);
    bool copyAlpha = srcAlpha && dstAlpha;
    bool gamma = (TargetOptions & coApplyGamma) && !FGammaIdentity;
    bool be = SourceOptions & coBigEndian;
    const uint8_t* g = FGammaTable;
    unsigned sBytes = FSourceBPS == 16 ? 2 : 1, tBytes = FTargetBPS == 16 ? 2 : 1;
    size_t tStep = size_t(dstAlpha ? 4 : 3) * tBytes;
    // The 8-bit interleaved rows of the PNG path.
    if (Planes == 1 && sBytes == 1 && tBytes == 1 && Reverse) {
        const uint8_t* s = Src[0];
        if (!srcAlpha && !dstAlpha) {
            if (Mask == 0xFF && !gamma) {
                SwapOuterBytes3(s, Dst, Count);
                return;
            }
            ForEachMasked(Count, Mask, [&](uint32_t x) {
                uint8_t* t = Dst + size_t(x) * 3;
                uint8_t r = s[0], gg = s[1], b = s[2];
                if (gamma) { r = g[r]; gg = g[gg]; b = g[b]; }
                t[0] = b; t[1] = gg; t[2] = r;
                s += 3;
            });
            return;
        }
        if (srcAlpha && dstAlpha) {
            if (Mask == 0xFF && !gamma) {
                SwapOuterBytes4(s, Dst, Count);
                return;
            }
            ForEachMasked(Count, Mask, [&](uint32_t x) {
                uint8_t* t = Dst + size_t(x) * 4;
                uint8_t r = s[0], gg = s[1], b = s[2], a = s[3];
                if (gamma) { r = g[r]; gg = g[gg]; b = g[b]; }
                t[0] = b; t[1] = gg; t[2] = r; t[3] = a;
                s += 4;
            });
            return;
        }
    }
    // 16-bit interleaved rows to 8-bit BGR(A): the PNG path of 16-bit colour
    // pictures, plain or interlaced, with or without gamma.
    if (Planes == 1 && sBytes == 2 && tBytes == 1 && Reverse && srcAlpha == dstAlpha) {
        const uint8_t* s = Src[0];
        const size_t n = srcAlpha ? 4 : 3;
        if (Mask == 0xFF && !gamma && be) {
            // Scaled a run of pixels at a time, then swapped.
            uint8_t scaled[256 * 4];
            for (uint32_t x = 0; x < Count;) {
                uint32_t k = std::min<uint32_t>(256, Count - x);
                ScaleBigEndian16To8(s, scaled, k * n);
                if (n == 3) SwapOuterBytes3(scaled, Dst, k); else SwapOuterBytes4(scaled, Dst, k);
                x += k;
                s += 2 * n * k;
                Dst += n * k;
            }
            return;
        }
        auto sample = [be](const uint8_t* q) { return uint8_t(Scale16To8(be ? (uint32_t(q[0]) << 8 | q[1]) : (q[0] | uint32_t(q[1]) << 8))); };
        auto colour = [&](const uint8_t* q) { return gamma ? g[sample(q)] : sample(q); };
        ForEachMasked(Count, Mask, [&](uint32_t x) {
            uint8_t* t = Dst + size_t(x) * n;
            t[0] = colour(s + 4);
            t[1] = colour(s + 2);
            t[2] = colour(s);
            if (n == 4) t[3] = sample(s + 6);
            s += 2 * n;
        });
        return;
    }
    // General path: any of 8/16 bits either side, interleaved or planar.
    size_t sStep = Planes > 1 ? sBytes : size_t(srcAlpha ? 4 : 3) * sBytes;
    const uint8_t* p[4] = {Src[0], Planes > 1 ? Src[1] : Src[0] + sBytes, Planes > 2 ? Src[2] : Src[0] + 2 * sBytes,
                           Planes > 3 ? Src[3] : Src[0] + 3 * sBytes};
    auto colour = [&](const uint8_t* q) -> uint32_t {
        uint32_t v = sBytes == 2 ? Read16(q, be) : *q;
        if (sBytes == 2 && tBytes == 2) return v;
        if (sBytes == 2) v = Scale16To8(v);
        if (gamma) v = g[v];
        return tBytes == 2 ? v * 65535 / 255 : v;
    };
    auto alpha = [&](const uint8_t* q) -> uint32_t {
        uint32_t v = sBytes == 2 ? Read16(q, be) : *q;
        if (sBytes == tBytes) return v;
        return sBytes == 2 ? Scale16To8(v) : v * 65535 / 255;
    };
    auto put = [&](uint8_t* t, int i, uint32_t v) {
        if (tBytes == 2) Write16(t + 2 * i, v); else t[i] = uint8_t(v);
    };
    bool hasAlphaPlane = srcAlpha && (Planes == 1 || Planes > 3);
    ForEachMasked(Count, Mask, [&](uint32_t x) {
        uint8_t* t = Dst + size_t(x) * tStep;
        uint32_t c0 = colour(p[0]), c1 = colour(p[1]), c2 = colour(p[2]);
        put(t, 0, Reverse ? c2 : c0);
        put(t, 1, c1);
        put(t, 2, Reverse ? c0 : c2);
        if (copyAlpha && hasAlphaPlane) put(t, 3, alpha(p[3]));
        for (auto& q : p) q += sStep;
    });
}

void TColorManager::StoreColour(uint8_t* T, int R, int G, int B, bool BGR) const {
    uint32_t c[3] = {uint32_t(Clamp255(R)), uint32_t(Clamp255(G)), uint32_t(Clamp255(B))};
    if ((TargetOptions & coApplyGamma) && !FGammaIdentity)
        for (auto& v : c) v = FGammaTable[v];
    if (BGR) std::swap(c[0], c[2]);
    for (int i = 0; i < 3; ++i) {
        if (FTargetBPS == 16) Write16(T + 2 * i, c[i] * 65535 / 255); else T[i] = uint8_t(c[i]);
    }
}

// Helpers of the routines that read three or four 8-bit components.
namespace {
struct TComponentReader {
    const uint8_t* p[4];
    size_t step;
    bool wide, be;
    TComponentReader(const uint8_t* const* src, int planes, int comps, unsigned bits, bool bigEndian) {
        wide = bits == 16;
        be = bigEndian;
        unsigned b = wide ? 2 : 1;
        for (int i = 0; i < 4; ++i) p[i] = planes > i ? src[i] : src[0] + (planes > 1 ? 0 : i * b);
        step = planes > 1 ? b : size_t(comps) * b;
    }
    int Get(int i) const { return wide ? int(Scale16To8(Read16(p[i], be))) : p[i][0]; }
    void Next() { for (auto& q : p) q += step; }
};
}  // namespace

void TColorManager::RowCMYK(const uint8_t* const* Src, int Planes, uint8_t* Dst, uint32_t Count, uint8_t Mask,
                            bool BGR) {
    TComponentReader rd(Src, Planes, 4, FSourceBPS, SourceOptions & coBigEndian);
    size_t tStep = size_t(SchemeHasAlpha(FTargetScheme) ? 4 : 3) * (FTargetBPS == 16 ? 2 : 1);
    ForEachMasked(Count, Mask, [&](uint32_t x) {
        int k = rd.Get(3);
        auto ink = [&](int c) { return c * k / 255 - c - k + 255; };
        StoreColour(Dst + size_t(x) * tStep, ink(rd.Get(0)), ink(rd.Get(1)), ink(rd.Get(2)), BGR);
        rd.Next();
    });
}

void TColorManager::RowLab(const uint8_t* const* Src, int Planes, uint8_t* Dst, uint32_t Count, uint8_t Mask,
                           bool BGR) {
    TComponentReader rd(Src, Planes, 3, FSourceBPS, SourceOptions & coBigEndian);
    size_t tStep = size_t(SchemeHasAlpha(FTargetScheme) ? 4 : 3) * (FTargetBPS == 16 ? 2 : 1);
    ForEachMasked(Count, Mask, [&](uint32_t x) {
        double L = rd.Get(0) / 2.55;
        double a = int8_t(uint8_t(rd.Get(1))), b = int8_t(uint8_t(rd.Get(2)));
        double X, Y, Z;
        if (L < 7.9996) {
            // Linear segment near black.
            Y = L / 903.3;
            X = Y + a / 3893.5;
            Z = Y - b / 1557.4;
        } else {
            double fy = (L + 16) / 116;
            double fx = fy + a / 500, fz = fy - b / 200;
            Y = fy * fy * fy;
            X = fx * fx * fx;
            Z = fz * fz * fz;
        }
        double R = 2.998 * X - 1.458 * Y - 0.540 * Z;
        double G = -1.099 * X + 1.893 * Y + 0.206 * Z;
        double B = -0.099 * Y + 1.099 * Z;
        StoreColour(Dst + size_t(x) * tStep, int(std::lround(R * 255)), int(std::lround(G * 255)),
                    int(std::lround(B * 255)), BGR);
        rd.Next();
    });
}

void TColorManager::RowYCbCr(const uint8_t* const* Src, int Planes, uint8_t* Dst, uint32_t Count, uint8_t Mask,
                             bool BGR) {
    TComponentReader rd(Src, Planes, 3, FSourceBPS, SourceOptions & coBigEndian);
    size_t tStep = size_t(SchemeHasAlpha(FTargetScheme) ? 4 : 3) * (FTargetBPS == 16 ? 2 : 1);
    bool offset = FSourceScheme == csPhotoYCC;
    double c1 = 2 - 2 * double(YCbCrCoefficients[0]), c2 = 2 - 2 * double(YCbCrCoefficients[2]);
    ForEachMasked(Count, Mask, [&](uint32_t x) {
        int y = rd.Get(0), cb = rd.Get(1), cr = rd.Get(2);
        int R, G, B;
        if (!offset) {
            R = y + FCrToRed[cr];
            G = y + FCbToGreen[cb] + FCrToGreen[cr];
            B = y + FCbToBlue[cb];
        } else {
            // Luminance and chroma carry their own scales here.
            double L = 1.3584 * y;
            R = int(std::lround(L + 1.8215 * FCrToRed[cr] / c1));
            G = int(std::lround(L + 2.2179 * FCbToGreen[cb] / c2 + 1.8215 * FCrToGreen[cr] / c1));
            B = int(std::lround(L + 2.2179 * FCbToBlue[cb] / c2));
        }
        StoreColour(Dst + size_t(x) * tStep, R, G, B, BGR);
        rd.Next();
    });
}

TPaletteEntries TColorManager::CreateGrayscalePalette(bool MinimumIsWhite) const {
    unsigned bits = std::min(unsigned(FTargetBPS) * FTargetSPP, 8u);
    unsigned entries = 1u << bits;
    unsigned step = 255 / (entries - 1);
    bool gamma = TargetOptions & coApplyGamma;
    TPaletteEntries pal(entries);
    for (unsigned i = 0; i < entries; ++i) {
        uint8_t v = uint8_t(step * i);
        if (gamma) v = FGammaTable[v];
        TPaletteEntry& e = pal[MinimumIsWhite ? entries - 1 - i : i];
        e.Red = e.Green = e.Blue = v;
    }
    return pal;
}

TPaletteEntries TColorManager::CreateColorPalette(const void* const* Sources, int SourceCount, int DataFormat,
                                                  uint32_t ColorCount, bool Swapped) const {
    const uint8_t* const* src = reinterpret_cast<const uint8_t* const*>(Sources);
    uint32_t count = std::min<uint32_t>(ColorCount, 256);
    bool wide = DataFormat >= 4;
    bool planar = (DataFormat & 3) >= 2 && SourceCount >= 3;
    bool be = SourceOptions & coBigEndian;
    bool gamma = TargetOptions & coApplyGamma;
    unsigned b = wide ? 2 : 1;
    size_t entryBytes = planar ? b : size_t((DataFormat & 3) == 1 ? 4 : 3) * b;
    TPaletteEntries pal(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t c[3];
        for (int k = 0; k < 3; ++k) {
            const uint8_t* q = planar ? src[k] + i * entryBytes : src[0] + i * entryBytes + k * b;
            uint32_t v = wide ? Scale16To8(Read16(q, be)) : *q;
            c[k] = gamma ? FGammaTable[v] : uint8_t(v);
        }
        if (Swapped) std::swap(c[0], c[2]);
        pal[i].Red = c[0];
        pal[i].Green = c[1];
        pal[i].Blue = c[2];
    }
    // Entries that the data lack are black.
    if (FSourceBPS <= 8 && pal.size() < (1u << FSourceBPS)) pal.resize(1u << FSourceBPS);
    if (FTargetBPS < 9 && FSourceBPS != FTargetBPS) {
        uint32_t srcMax = (FSourceBPS >= 16 ? 65536u : 1u << FSourceBPS) - 1, tgtCount = 1u << FTargetBPS;
        TPaletteEntries spread(tgtCount);
        for (uint32_t i = 0; i < tgtCount; ++i) {
            uint32_t from = uint32_t(uint64_t(i) * srcMax / (tgtCount - 1));
            if (from < pal.size()) spread[i] = pal[from];
        }
        pal = std::move(spread);
    }
    return pal;
}
