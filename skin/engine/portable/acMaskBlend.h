// Masked copies, keyed copies and bitmap blends of the skin painters over
// plain pixel views: one mixing rule, one clipping rule for rectangle pairs,
// one rule for what a key-coloured pixel takes. Portable; the TBitmap
// versions (sGraphUtils.h) hand these the bitmaps' rows, and the tests
// compute reference pictures with them.
#pragma once

#include <cstdint>

#include "Types.h"
#include "acFastPixels.h"
#include "sConst.h"

// Per channel (d * m + s * (256 - m)) >> 8: weight 255 keeps the destination
// (up to the shift's rounding), 0 takes the source.
inline uint8_t MixByte(unsigned D, unsigned S, unsigned M) { return uint8_t((D * M + S * (256u - M)) >> 8); }

// A skin section's percentage (transparency, gradient, image) as a weight
// byte: percent x 255 div 100, the percentage limited to 0..100 first.
inline uint8_t PercentToWeight(int Percent) {
    return uint8_t((Percent < 0 ? 0 : Percent > 100 ? 100 : Percent) * 255 / 100);
}

// A pixel view with its bytes per pixel (3 or 4; blue, green, red first).
struct TacImage {
    TacPixelView View;
    int Bpp = 3;
    uint8_t* At(int X, int Y) const { return View.Row(Y) + ptrdiff_t(X) * Bpp; }
    bool Empty() const { return !View.Start || View.Width <= 0 || View.Height <= 0; }
};

inline bool IsKeyPixel(const uint8_t* Bgr) { return Bgr[0] == 0xFF && Bgr[1] == 0x00 && Bgr[2] == 0xFF; }

// What lies under the destination: when Ready (and Image is set) the pixel of
// Image at destination point + (X, Y), else Color (red in the low byte;
// TransparentKeyColor = none).
struct TacBackground {
    TacImage Image;
    int X = 0;
    int Y = 0;
    TColor Color = TransparentKeyColor;
    bool Ready = false;
};

// The pixel a key-coloured source pixel gives destination point (DX, DY):
// with Fill and a ready background its pixel there (false when the point lies
// outside it); with a background that is not ready its colour; else false
// (the destination stays).
bool KeyFillPixel(const TacBackground& Bg, bool Fill, int DX, int DY, uint8_t* Bgr);

// Rectangle pairs of equal size: the counts are the minima of both sizes and
// of what is left of both pictures from the origins; of two Left values the
// smaller, if negative, is raised to 0, the other moved by as much and the
// count shortened by it; the same with the Top values.
struct TacPairClip {
    int DstX = 0, DstY = 0, SrcX = 0, SrcY = 0, Cols = 0, Rows = 0;
    bool Empty() const { return Cols <= 0 || Rows <= 0; }
};
TacPairClip ClipRectPair(TRect Dst, TRect Src, int DstWidth, int DstHeight, int SrcWidth, int SrcHeight);

// Copies Src's SrcRect into Dst24's DstRect through the mask that lies
// MaskRows rows below each source row (a 24-bit Src: mask channel by
// channel; a 32-bit Src: its alpha byte is the source's weight, as in the
// alpha blend). Source rows whose mask row would fall outside Src are cut.
// Key pixels (tested always when AlwaysTestKey, else only with a ready
// background) are skipped or take KeyFillPixel.
// MaskAdd raises every mask byte (limited to 255): a faded copy.
void CopyMaskedView(const TacImage& Dst24, TRect DstRect, const TacImage& Src, TRect SrcRect, int MaskRows,
                    const TacBackground& Bg, bool FillKey, bool AlwaysTestKey, int MaskAdd = 0);

// Only the key-coloured pixels of SrcRect (exclusive, at (X, Y) of Dst24)
// change: they take KeyFillPixel; every other pixel stays.
void FillKeyPixelsView(const TacImage& Dst24, int X, int Y, const TacImage& Src, TRect SrcRect,
                       const TacBackground& Bg);

// Copies SrcRect (Right and Bottom inclusive, cut to Src) of Src (24 or
// 32-bit) to (X, Y) of Dst24, skipping pixels outside Dst24. A pixel of
// KeyColor takes KeyFillPixel (Bg may be null: skipped); KeyColor above
// 0xFFFFFF means no key.
void CopyKeyedView(const TacImage& Dst24, int X, int Y, const TacImage& Src, TRect SrcRect, uint32_t KeyColor,
                   const TacBackground* Bg, bool Fill);

// The rectangles of a one-weight blend of SrcRect of a WxH source to
// DstPoint of a WxH destination: negative destination coordinates move the
// source origin instead, negative source origins move the destination point
// back; the result is cut to both pictures. Empty when nothing is left.
struct TacBlendRects {
    TRect Dst, Src;
    bool Empty() const { return Dst.Right <= Dst.Left || Dst.Bottom <= Dst.Top; }
};
TacBlendRects BlendWithRects(TRect SrcRect, TPoint DstPoint, int SrcWidth, int SrcHeight, int DstWidth,
                             int DstHeight);
// BlendWithRects, then TacPixelSum24::BlendRect: d := (d * Weight + s * (255 -
// Weight) + 127) >> 8.
void BlendWithView(const TacPixelView& Dst24, const TacPixelView& Src24, uint8_t Weight, TRect SrcRect,
                   TPoint DstPoint);

// Each channel of Dst at (X, Y) + offset := round(s - Factor * (s - d)) for
// every pixel of SrcRect (Right and Bottom inclusive, cut to Src, negative
// origins cut) that is not KeyColor; KeyColor above 0xFEFFFFFF means no key.
void BlendBitmapRectView(const TacImage& Dst24, int X, int Y, uint32_t KeyColor, double Factor, TRect SrcRect,
                         const TacImage& Src);

// Equal sizes only: red := cR - ((m * (cR - red) + 255) >> 8), green and blue
// := (c * 256 + (p - c) * m) >> 8; white mask keeps the picture, black gives
// the colour.
void MixWithColorByMaskView(const TacPixelView& Bmp24, const TacPixelView& Mask24, TColor Color);

// Copies SrcRect (Right and Bottom inclusive, cut to Src) to (X, Y) of Dst,
// skipping KeyColor pixels and pixels outside Dst.
void CopyExceptKeyColorView(const TacImage& Dst, const TacImage& Src, int X, int Y, uint32_t KeyColor,
                            TRect SrcRect);

// A and B (24-bit, equal sizes) mixed into the 32-bit Target: each channel
// ((a - b) * m + b * 256) >> 8, m from Mask's channel or Weight without a
// mask; the fourth byte of the target is not written. False (nothing
// written) on a size mismatch.
bool MixViewsByMask(const TacPixelView& Target32, const TacPixelView& A24, const TacPixelView& B24,
                    uint8_t Weight, const TacPixelView* Mask24);

// Every pixel of R (Right and Bottom exclusive, clipped to the picture)
// moves towards Color: round(p / 100 * c + (1 - p / 100) * k), halves to even.
// Percent above 100 counts as 100.
void BlendRectWithColorView(const TacPixelView& Bmp24, TRect R, int Percent, TColor Color);

// Premultiplies a 32-bit picture's colour by its alpha (rounded), as the
// platform's per-pixel-alpha layered windows take it.
void PremultiplyAlphaView(const TacPixelView& Bmp32);

// A plain copy of a W x H block (both inside their pictures, same Bpp).
void CopyBlockView(const TacImage& Dst, int DX, int DY, const TacImage& Src, int SX, int SY, int W, int H);
