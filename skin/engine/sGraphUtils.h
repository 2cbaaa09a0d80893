// Bitmap factories, channel moves and the per-pixel alpha blend over the class
// library's bitmaps. The arithmetic is acBlend.h's; this adapts TBitmap to it.
#pragma once

#include "Graphics.h"
#include "acBlend.h"
#include "sColorAdjust.h"
#include "acntUtils.h"
#include "sConst.h"

// New bitmaps owned by the caller.
TBitmap* CreateBitmapLike(TBitmap* Source);
TBitmap* CreateBitmap24(int Width, int Height);
TBitmap* CreateBitmap32(int Width, int Height);

// Rows of a DIB-section bitmap as a pixel view (an empty view for nil or an
// empty bitmap). Turns a device-dependent bitmap into a DIB first.
TacPixelView BitmapView(TBitmap* Bmp);

// Copies byte Channel (0 blue .. 3 alpha) between a 32-bit Image and an 8-bit
// Plane, over the rows and columns both have.
void CopyByteChannel(TBitmap* Image, TBitmap* Plane, int Channel, bool ToPlane);

// Blends Src's SrcRect over the 24-bit Dst's DstRect by Src's straight alpha
// (Src is made 32-bit first). With Cache ready, key-coloured source pixels
// are skipped or, with FillKeyFromCache, take the cache bitmap's pixel.
// TintColor (clNone for none) recolours the source on the way, without
// writing to it; Transparency is a percentage, clamped to 0..100.
void BlendAlphaBitmap(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                      const CacheInfo& Cache, bool FillKeyFromCache, TColor TintColor, int Transparency);

// Colour adjustments over bitmaps (sColorAdjust.h's arithmetic). MakeGrey
// and FadeTowardsColor take 24-bit bitmaps; FadeTowardsColor stops quietly at
// a row it cannot read.
void MakeGrey(TBitmap* Bmp);
void FadeTowardsColor(TBitmap* Bmp, TColor Color, TColor KeyColor, double Factor);
// The skin-wide hue and saturation shift: a 32-bit bitmap stays 32-bit,
// any other is made 24-bit first; key-coloured and grey pixels stay.
void ShiftBitmapColors(TBitmap* Bmp, int Hue, int Saturation);
