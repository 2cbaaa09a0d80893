#include "acMaskBlend.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

void PutColor(TColor C, uint8_t* Bgr) {
    const uint32_t v = uint32_t(C);
    Bgr[0] = uint8_t(v >> 16);
    Bgr[1] = uint8_t(v >> 8);
    Bgr[2] = uint8_t(v);
}

bool IsColor(const uint8_t* Bgr, uint32_t Key) {
    return Bgr[2] == (Key & 0xFF) && Bgr[1] == ((Key >> 8) & 0xFF) && Bgr[0] == ((Key >> 16) & 0xFF);
}

uint8_t RoundByte(double V) {
    const double r = std::nearbyint(V);  // halves to even
    return uint8_t(r > 255.0 ? 255.0 : (r < 0.0 ? 0.0 : r));
}

// An inclusive source rectangle cut to a W x H picture; the destination
// point moves with a cut left or top edge.
struct InclusiveCut {
    int L, T, R, B, X, Y;
    bool Empty() const { return R < L || B < T; }
};
InclusiveCut CutInclusive(TRect S, int W, int H, int X, int Y) {
    InclusiveCut c{S.Left, S.Top, std::min(S.Right, W - 1), std::min(S.Bottom, H - 1), X, Y};
    if (c.L < 0) {
        c.X -= c.L;
        c.L = 0;
    }
    if (c.T < 0) {
        c.Y -= c.T;
        c.T = 0;
    }
    return c;
}

bool Inside(const TacImage& I, int X, int Y) { return X >= 0 && Y >= 0 && X < I.View.Width && Y < I.View.Height; }

// Every pixel of an inclusive SrcRect (cut to Src) with its destination at
// (X, Y) + offset, destination points outside Dst skipped: Fn(s, d, dx, dy).
template <class F>
void ForEachInclusivePixel(const TacImage& Dst, int X, int Y, const TacImage& Src, TRect SrcRect, F&& Fn) {
    if (Dst.Empty() || Src.Empty()) return;
    const InclusiveCut c = CutInclusive(SrcRect, Src.View.Width, Src.View.Height, X, Y);
    if (c.Empty()) return;
    for (int sy = c.T; sy <= c.B; ++sy) {
        const int dy = c.Y + sy - c.T;
        if (dy < 0 || dy >= Dst.View.Height) continue;
        for (int sx = c.L; sx <= c.R; ++sx) {
            const int dx = c.X + sx - c.L;
            if (dx >= 0 && dx < Dst.View.Width) Fn(Src.At(sx, sy), Dst.At(dx, dy), dx, dy);
        }
    }
}

// Moves the smaller of two origins (Src on a tie) from below 0 to 0, the
// other origin with it, and shortens the count by as much.
void ClipNegativeOrigin(int& Src, int& Dst, int64_t& Count) {
    int& low = Src <= Dst ? Src : Dst;
    int& other = Src <= Dst ? Dst : Src;
    if (low < 0) {
        other -= low;
        Count += low;
        low = 0;
    }
}

}  // namespace

bool KeyFillPixel(const TacBackground& Bg, bool Fill, int DX, int DY, uint8_t* Bgr) {
    if (!Bg.Ready) {
        PutColor(Bg.Color, Bgr);
        return true;
    }
    if (!Fill || Bg.Image.Empty()) return false;
    const int x = Bg.X + DX, y = Bg.Y + DY;
    if (!Inside(Bg.Image, x, y)) return false;
    std::memcpy(Bgr, Bg.Image.At(x, y), 3);
    return true;
}

TacPairClip ClipRectPair(TRect Dst, TRect Src, int DstWidth, int DstHeight, int SrcWidth, int SrcHeight) {
    // 64 bits: rectangles far outside either picture must not wrap.
    int64_t rows = std::min({int64_t(Src.Bottom) - Src.Top, int64_t(Dst.Bottom) - Dst.Top,
                             int64_t(DstHeight) - Dst.Top, int64_t(SrcHeight) - Src.Top});
    int64_t cols = std::min({int64_t(Src.Right) - Src.Left, int64_t(Dst.Right) - Dst.Left,
                             int64_t(DstWidth) - Dst.Left, int64_t(SrcWidth) - Src.Left});
    TacPairClip c;
    if (rows <= 0 || cols <= 0) return c;
    ClipNegativeOrigin(Src.Left, Dst.Left, cols);
    ClipNegativeOrigin(Src.Top, Dst.Top, rows);
    if (rows <= 0 || cols <= 0) return c;
    c = {Dst.Left, Dst.Top, Src.Left, Src.Top, int(cols), int(rows)};
    return c;
}

namespace {

// Whether the key's three bytes stand anywhere in the row, pixel aligned or
// not: a quick, contiguous scan (a false alarm only costs the slow way).
bool HasKeyPixel(const uint8_t* Bgr, int Count) {
    const size_t n = size_t(Count) * 3;
    unsigned any = 0;
    for (size_t i = 0; i + 2 < n; ++i)
        any |= unsigned(Bgr[i] == 0xFF) & unsigned(Bgr[i + 1] == 0) & unsigned(Bgr[i + 2] == 0xFF);
    return any != 0;
}

// D := MixByte(D, S, M) for each byte: D * M + S * (256 - M) <= 255 * 256
// fits 16-bit lanes.
void MixRow(uint8_t* D, const uint8_t* S, const uint8_t* M, size_t Bytes) {
    for (size_t i = 0; i < Bytes; ++i) D[i] = uint8_t(uint16_t(D[i] * M[i] + S[i] * uint16_t(256 - M[i])) >> 8);
}

}  // namespace

void CopyMaskedView(const TacImage& Dst24, TRect DstRect, const TacImage& Src, TRect SrcRect, int MaskRows,
                    const TacBackground& Bg, bool FillKey, bool AlwaysTestKey, int MaskAdd) {
    if (Dst24.Empty() || Src.Empty()) return;
    const bool alpha = Src.Bpp == 4;
    if (alpha) MaskRows = 0;
    if (MaskRows < 0) return;
    const TacPairClip c =
        ClipRectPair(DstRect, SrcRect, Dst24.View.Width, Dst24.View.Height, Src.View.Width, Src.View.Height - MaskRows);
    if (c.Empty()) return;
    const bool testKey = AlwaysTestKey || Bg.Ready;
    const bool dstAlpha = Dst24.Bpp == 4;
    // The usual case, a masked 24-bit image into a 24-bit picture: a row
    // without key pixels is mixed byte by byte, which the vectoriser takes
    // (the large fills of a form's image cost several times more pixel by pixel).
    const bool byRow = !alpha && !dstAlpha && MaskAdd == 0;
    for (int r = 0; r < c.Rows; ++r) {
        const uint8_t* s = Src.At(c.SrcX, c.SrcY + r);
        const uint8_t* m = alpha ? nullptr : Src.At(c.SrcX, c.SrcY + r + MaskRows);
        uint8_t* d = Dst24.At(c.DstX, c.DstY + r);
        if (byRow && !(testKey && HasKeyPixel(s, c.Cols))) {
            MixRow(d, s, m, size_t(c.Cols) * 3);
            continue;
        }
        for (int x = 0; x < c.Cols; ++x, s += Src.Bpp, d += Dst24.Bpp) {
            if (testKey && IsKeyPixel(s)) {
                uint8_t px[3];
                if (FillKey && KeyFillPixel(Bg, true, c.DstX + x, c.DstY + r, px)) std::memcpy(d, px, 3);
                continue;
            }
            if (alpha) {
                const unsigned a = s[3];
                for (int i = 0; i < 3; ++i) d[i] = MixByte(s[i], d[i], a);
                // A 32-bit destination (a glow picture) gains the coverage.
                if (dstAlpha) d[3] = MixByte(255, d[3], a);
            } else {
                const uint8_t* mm = m + ptrdiff_t(x) * 3;
                if (MaskAdd == 0)
                    for (int i = 0; i < 3; ++i) d[i] = MixByte(d[i], s[i], mm[i]);
                else
                    for (int i = 0; i < 3; ++i) d[i] = MixByte(d[i], s[i], unsigned(std::min(mm[i] + MaskAdd, 255)));
                if (dstAlpha) d[3] = MixByte(d[3], 255, unsigned(std::min(mm[1] + MaskAdd, 255)));
            }
        }
    }
}

void FillKeyPixelsView(const TacImage& Dst24, int X, int Y, const TacImage& Src, TRect SrcRect,
                       const TacBackground& Bg) {
    if (Dst24.Empty() || Src.Empty()) return;
    const TacPairClip c = ClipRectPair(Bounds(X, Y, SrcRect.Width(), SrcRect.Height()), SrcRect, Dst24.View.Width,
                                       Dst24.View.Height, Src.View.Width, Src.View.Height);
    for (int r = 0; r < c.Rows; ++r)
        for (int x = 0; x < c.Cols; ++x)
            if (IsKeyPixel(Src.At(c.SrcX + x, c.SrcY + r))) {
                uint8_t px[3];
                if (KeyFillPixel(Bg, true, c.DstX + x, c.DstY + r, px)) std::memcpy(Dst24.At(c.DstX + x, c.DstY + r), px, 3);
            }
}

void CopyKeyedView(const TacImage& Dst24, int X, int Y, const TacImage& Src, TRect SrcRect, uint32_t KeyColor,
                   const TacBackground* Bg, bool Fill) {
    const bool keyed = KeyColor <= 0xFFFFFFu;
    // 32-bit to 32-bit keeps the alpha byte too.
    const size_t bytes = Dst24.Bpp == 4 && Src.Bpp == 4 ? 4 : 3;
    ForEachInclusivePixel(Dst24, X, Y, Src, SrcRect, [&](const uint8_t* s, uint8_t* d, int dx, int dy) {
        if (keyed && IsColor(s, KeyColor)) {
            uint8_t px[3];
            if (Bg && KeyFillPixel(*Bg, Fill, dx, dy, px)) std::memcpy(d, px, 3);
            return;
        }
        std::memcpy(d, s, bytes);
    });
}

TacBlendRects BlendWithRects(TRect S, TPoint P, int SrcWidth, int SrcHeight, int DstWidth, int DstHeight) {
    if (P.X < 0) {
        S.Left -= P.X;
        P.X = 0;
    }
    if (P.Y < 0) {
        S.Top -= P.Y;
        P.Y = 0;
    }
    if (S.Left < 0) {
        P.X -= S.Left;
        S.Left = 0;
    }
    if (S.Top < 0) {
        P.Y -= S.Top;
        S.Top = 0;
    }
    S.Right = std::min(S.Right, SrcWidth);
    S.Bottom = std::min(S.Bottom, SrcHeight);
    const int64_t w = std::min(int64_t(S.Right) - S.Left, int64_t(DstWidth) - P.X);
    const int64_t h = std::min(int64_t(S.Bottom) - S.Top, int64_t(DstHeight) - P.Y);
    TacBlendRects r;
    if (w <= 0 || h <= 0) return r;
    r.Dst = Bounds(P.X, P.Y, int(w), int(h));
    r.Src = Bounds(S.Left, S.Top, int(w), int(h));
    return r;
}

void BlendWithView(const TacPixelView& Dst24, const TacPixelView& Src24, uint8_t Weight, TRect SrcRect,
                   TPoint DstPoint) {
    TacPixelSum24 sum;
    if (!sum.BindViews(Src24, Dst24)) return;
    const TacBlendRects r = BlendWithRects(SrcRect, DstPoint, Src24.Width, Src24.Height, Dst24.Width, Dst24.Height);
    if (r.Empty()) return;
    sum.Alpha = Weight;
    sum.DestRect = r.Dst;
    sum.SourceRect = r.Src;
    sum.BlendRect();
}

void BlendBitmapRectView(const TacImage& Dst24, int X, int Y, uint32_t KeyColor, double Factor, TRect SrcRect,
                         const TacImage& Src) {
    const bool keyed = KeyColor <= 0xFEFFFFFFu;
    ForEachInclusivePixel(Dst24, X, Y, Src, SrcRect, [&](const uint8_t* s, uint8_t* d, int, int) {
        if (keyed && IsColor(s, KeyColor & 0xFFFFFFu)) return;
        for (int i = 0; i < 3; ++i) d[i] = RoundByte(s[i] - Factor * (double(s[i]) - d[i]));
    });
}

void MixWithColorByMaskView(const TacPixelView& Bmp24, const TacPixelView& Mask24, TColor Color) {
    if (!Bmp24.Start || !Mask24.Start || Bmp24.Width != Mask24.Width || Bmp24.Height != Mask24.Height) return;
    const int cr = Color & 0xFF, cg = (Color >> 8) & 0xFF, cb = (Color >> 16) & 0xFF;
    for (int y = 0; y < Bmp24.Height; ++y) {
        uint8_t* p = Bmp24.Row(y);
        const uint8_t* m = Mask24.Row(y);
        for (int x = 0; x < Bmp24.Width; ++x, p += 3, m += 3) {
            p[2] = uint8_t(std::clamp(cr - ((m[2] * (cr - p[2]) + 255) >> 8), 0, 255));
            p[1] = uint8_t(std::clamp((cg * 256 + (p[1] - cg) * m[1]) >> 8, 0, 255));
            p[0] = uint8_t(std::clamp((cb * 256 + (p[0] - cb) * m[0]) >> 8, 0, 255));
        }
    }
}

void CopyExceptKeyColorView(const TacImage& Dst, const TacImage& Src, int X, int Y, uint32_t KeyColor,
                            TRect SrcRect) {
    CopyKeyedView(Dst, X, Y, Src, SrcRect, KeyColor, nullptr, false);
}

bool MixViewsByMask(const TacPixelView& Target32, const TacPixelView& A24, const TacPixelView& B24,
                    uint8_t Weight, const TacPixelView* Mask24) {
    if (!Target32.Start || !A24.Start || !B24.Start) return false;
    if (A24.Width != B24.Width || A24.Height != B24.Height || Target32.Width != A24.Width ||
        Target32.Height != A24.Height)
        return false;
    if (Mask24 && (!Mask24->Start || Mask24->Width != A24.Width || Mask24->Height != A24.Height)) return false;
    const int w = A24.Width, bytes = w * 3;
    // Mixed first into a contiguous row (16-bit lanes: a * m + b * (256 - m)
    // <= 255 * 256, so the vectoriser takes it), then moved into the 32-bit
    // pixels four bytes at a time, each pixel's fourth byte put back.
    std::vector<uint8_t> row(size_t(bytes) + 16);
    uint8_t* mixed = row.data();
    for (int y = 0; y < A24.Height; ++y) {
        const uint8_t* a = A24.Row(y);
        const uint8_t* b = B24.Row(y);
        if (Mask24) {
            const uint8_t* m = Mask24->Row(y);
            for (int i = 0; i < bytes; ++i)
                mixed[i] = uint8_t(uint16_t(a[i] * m[i] + b[i] * uint16_t(256 - m[i])) >> 8);
        } else {
            const uint16_t m = Weight, nm = uint16_t(256 - Weight);
            for (int i = 0; i < bytes; ++i) mixed[i] = uint8_t(uint16_t(a[i] * m + b[i] * nm) >> 8);
        }
        uint8_t* t = Target32.Row(y);
        int x = 0;
#ifdef __SSE2__
        // Four pixels at a time: each 3-byte pixel moved up into its 4-byte
        // place by whole-register byte shifts, the old fourth bytes merged in.
        const __m128i keep = _mm_set1_epi32(int(0xFF000000u));
        const __m128i lane0 = _mm_set_epi32(0, 0, 0, 0x00FFFFFF), lane1 = _mm_set_epi32(0, 0, 0x00FFFFFF, 0),
                      lane2 = _mm_set_epi32(0, 0x00FFFFFF, 0, 0), lane3 = _mm_set_epi32(0x00FFFFFF, 0, 0, 0);
        for (; x + 4 <= w; x += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mixed + 3 * x));
            __m128i out = _mm_and_si128(v, lane0);
            out = _mm_or_si128(out, _mm_and_si128(_mm_slli_si128(v, 1), lane1));
            out = _mm_or_si128(out, _mm_and_si128(_mm_slli_si128(v, 2), lane2));
            out = _mm_or_si128(out, _mm_and_si128(_mm_slli_si128(v, 3), lane3));
            __m128i* dst = reinterpret_cast<__m128i*>(t + 4 * x);
            out = _mm_or_si128(out, _mm_and_si128(_mm_loadu_si128(dst), keep));
            _mm_storeu_si128(dst, out);
        }
#endif
        for (; x < w; ++x) {
            uint32_t px, old;
            std::memcpy(&px, mixed + 3 * x, 4);
            std::memcpy(&old, t + 4 * x, 4);
            px = (px & 0x00FFFFFFu) | (old & 0xFF000000u);
            std::memcpy(t + 4 * x, &px, 4);
        }
    }
    return true;
}

void BlendRectWithColorView(const TacPixelView& Bmp24, TRect R, int Percent, TColor Color) {
    if (!Bmp24.Start) return;
    R.Left = std::max(R.Left, 0);
    R.Top = std::max(R.Top, 0);
    R.Right = std::min(R.Right, Bmp24.Width);
    R.Bottom = std::min(R.Bottom, Bmp24.Height);
    if (R.Right <= R.Left || R.Bottom <= R.Top) return;
    const double p = std::clamp(Percent, 0, 100) / 100.0;
    // One table per channel: the result depends only on the byte.
    uint8_t table[3][256];
    const int k[3] = {(Color >> 16) & 0xFF, (Color >> 8) & 0xFF, Color & 0xFF};
    for (int ch = 0; ch < 3; ++ch)
        for (int v = 0; v < 256; ++v) table[ch][v] = RoundByte(p * v + (1.0 - p) * k[ch]);
    for (int y = R.Top; y < R.Bottom; ++y) {
        uint8_t* d = Bmp24.Row(y) + ptrdiff_t(R.Left) * 3;
        for (int x = R.Left; x < R.Right; ++x, d += 3)
            for (int ch = 0; ch < 3; ++ch) d[ch] = table[ch][d[ch]];
    }
}

void PremultiplyAlphaView(const TacPixelView& Bmp32) {
    if (!Bmp32.Start) return;
    for (int y = 0; y < Bmp32.Height; ++y) {
        uint8_t* p = Bmp32.Row(y);
        for (int x = 0; x < Bmp32.Width; ++x, p += 4) {
            const unsigned a = p[3];
            for (int i = 0; i < 3; ++i) p[i] = uint8_t((p[i] * a + 127u) / 255u);
        }
    }
}

void CopyBlockView(const TacImage& Dst, int DX, int DY, const TacImage& Src, int SX, int SY, int W, int H) {
    if (W <= 0 || H <= 0 || Dst.Bpp != Src.Bpp) return;
    for (int r = 0; r < H; ++r) std::memcpy(Dst.At(DX, DY + r), Src.At(SX, SY + r), size_t(W) * size_t(Dst.Bpp));
}
