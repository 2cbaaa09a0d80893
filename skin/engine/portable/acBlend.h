// Channel moves and per-pixel alpha blending over plain pixel views. The
// TBitmap-facing versions (sGraphUtils.h) adapt bitmaps to these.
#pragma once

#include <cstdint>

#include "Types.h"
#include "acFastPixels.h"

// Copies byte Channel (0 blue, 1 green, 2 red, 3 alpha) between a 32-bit image
// and an 8-bit plane, over the rows and columns both have. Any other channel
// number copies nothing.
void CopyByteChannelView(const TacPixelView& Image32, const TacPixelView& Plane8, int Channel, bool ToPlane);

// Sets the alpha byte of each Image32 pixel from the blue byte of the same
// pixel of a grey 24-bit picture, over the rows and columns both have.
void CopyGreyToAlpha(const TacPixelView& Grey24, const TacPixelView& Image32);

// Background under key pixels: a bitmap of Width x Height at offset (X, Y),
// read one pixel at a time (colour value, red in the low byte).
struct TacKeyBackground {
    int Width = 0;
    int Height = 0;
    int X = 0;
    int Y = 0;
    TColor (*Read)(void* Context, int X, int Y) = nullptr;
    void* Context = nullptr;
};

// Blends Src32's SrcRect over Dst24's DstRect by the source's straight alpha:
// each of blue, green, red := (s * a + d * (256 - a)) >> 8, a being the pixel's
// alpha scaled by (100 - Transparency) percent. Counts are cut to both
// rectangles and both views; negative origins shift the other rectangle.
// Tint (unless clNone) recolours the source's grey level on the fly; the source
// is never written. When KeyBackground is set, source pixels of colour 0xFF00FF
// are not blended: with FillKeyFromCache the destination takes the background's
// pixel, else it stays as it was.
void BlendAlphaView(const TacPixelView& Dst24, const TacPixelView& Src32, TRect DstRect, TRect SrcRect,
                    const TacKeyBackground* KeyBackground, bool FillKeyFromCache, TColor TintColor,
                    int Transparency);

// Source pixel after the tint: grey := (b + g + r) div 3, each channel
// min(255, round(grey * channel / 255)), halves to even.
void TintPixel(uint8_t* Bgr, TColor TintColor);

inline TColor IdentityColor(TColor Color) { return Color; }

// Per channel round(Factor * c1 + (1 - Factor) * c2), halves to even; the top
// byte of Color1 stays. Factor is clamped to 0..1.
TColor BlendColors(TColor Color1, TColor Color2, double Factor);
