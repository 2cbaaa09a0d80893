#include "acBlend.h"

#include <algorithm>
#include <cmath>

#include "acMaskBlend.h"
#include "acntUtils.h"

void CopyByteChannelView(const TacPixelView& Image32, const TacPixelView& Plane8, int Channel, bool ToPlane) {
    if (Channel < 0 || Channel > 3 || !Image32.Start || !Plane8.Start) return;
    const int rows = std::min(Image32.Height, Plane8.Height);
    const int cols = std::min(Image32.Width, Plane8.Width);
    for (int y = 0; y < rows; ++y) {
        uint8_t* img = Image32.Row(y) + Channel;
        uint8_t* plane = Plane8.Row(y);
        if (ToPlane)
            for (int x = 0; x < cols; ++x) plane[x] = img[4 * x];
        else
            for (int x = 0; x < cols; ++x) img[4 * x] = plane[x];
    }
}

void CopyGreyToAlpha(const TacPixelView& Grey24, const TacPixelView& Image32) {
    if (!Grey24.Start || !Image32.Start) return;
    const int rows = std::min(Grey24.Height, Image32.Height);
    const int cols = std::min(Grey24.Width, Image32.Width);
    for (int y = 0; y < rows; ++y) {
        const uint8_t* g = Grey24.Row(y);
        uint8_t* img = Image32.Row(y) + 3;
        for (int x = 0; x < cols; ++x) img[4 * x] = g[3 * x];
    }
}

static uint8_t RoundChannel(double v) {
    const double r = std::nearbyint(v);  // default rounding: halves to even
    return uint8_t(r > 255.0 ? 255.0 : (r < 0.0 ? 0.0 : r));
}

void TintPixel(uint8_t* Bgr, TColor TintColor) {
    const uint32_t t = uint32_t(TintColor);
    const double fr = double(t & 0xFF) / 255.0, fg = double((t >> 8) & 0xFF) / 255.0,
                 fb = double((t >> 16) & 0xFF) / 255.0;
    const int grey = (Bgr[0] + Bgr[1] + Bgr[2]) / 3;
    Bgr[2] = RoundChannel(grey * fr);
    Bgr[1] = RoundChannel(grey * fg);
    Bgr[0] = RoundChannel(grey * fb);
}


void BlendAlphaView(const TacPixelView& Dst24, const TacPixelView& Src32, TRect DstRect, TRect SrcRect,
                    const TacKeyBackground* KeyBackground, bool FillKeyFromCache, TColor TintColor,
                    int Transparency) {
    if (!Dst24.Start || !Src32.Start) return;
    // The clipping rule of rectangle pairs (acMaskBlend.h).
    const TacPairClip clip =
        ClipRectPair(DstRect, SrcRect, Dst24.Width, Dst24.Height, Src32.Width, Src32.Height);
    if (clip.Empty()) return;
    const int rows = clip.Rows, cols = clip.Cols;
    DstRect.Left = clip.DstX;
    DstRect.Top = clip.DstY;
    SrcRect.Left = clip.SrcX;
    SrcRect.Top = clip.SrcY;

    const bool tint = TintColor != clNone;
    const int transparency = std::clamp(Transparency, 0, 100);

    for (int r = 0; r < rows; ++r) {
        const uint8_t* s = Src32.Row(SrcRect.Top + r) + ptrdiff_t(SrcRect.Left) * 4;
        uint8_t* d = Dst24.Row(DstRect.Top + r) + ptrdiff_t(DstRect.Left) * 3;
        for (int c = 0; c < cols; ++c, s += 4, d += 3) {
            uint8_t px[3] = {s[0], s[1], s[2]};
            if (tint && !IsKeyPixel(px)) TintPixel(px, TintColor);
            if (KeyBackground && IsKeyPixel(px)) {
                if (!FillKeyFromCache) continue;
                const int bx = KeyBackground->X + DstRect.Left + c;
                const int by = KeyBackground->Y + DstRect.Top + r;
                if (by >= KeyBackground->Height) continue;
                if (bx >= KeyBackground->Width || by < 0) break;
                if (bx < 0) continue;
                const uint32_t col = uint32_t(KeyBackground->Read(KeyBackground->Context, bx, by));
                d[0] = uint8_t(col >> 16);
                d[1] = uint8_t(col >> 8);
                d[2] = uint8_t(col);
                continue;
            }
            const int A = s[3];
            const int a = transparency == 0 ? A : ((100 - transparency) * A) / 100;
            const int na = 256 - a;
            d[0] = uint8_t((px[0] * a + d[0] * na) >> 8);
            d[1] = uint8_t((px[1] * a + d[1] * na) >> 8);
            d[2] = uint8_t((px[2] * a + d[2] * na) >> 8);
        }
    }
}

TColor BlendColors(TColor Color1, TColor Color2, double Factor) {
    if (std::isnan(Factor)) Factor = 0.0;
    Factor = std::clamp(Factor, 0.0, 1.0);
    const uint32_t c1 = uint32_t(Color1), c2 = uint32_t(Color2);
    uint32_t out = c1 & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const double v = Factor * double((c1 >> shift) & 0xFF) + (1.0 - Factor) * double((c2 >> shift) & 0xFF);
        out |= uint32_t(RoundChannel(v)) << shift;
    }
    return TColor(out);
}
