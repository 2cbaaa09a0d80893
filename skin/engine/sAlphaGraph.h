// Skin image painter unit: skin images painted by margins, glyph cells,
// corner repair, the disabled look and border frames; the bitmap accessors over the class library's
// TBitmap (the pixel arithmetic is acFastPixels.h's, over the bitmap's rows)
// and the four shared instances its start-up step makes.
#pragma once

#include "Controls.h"
#include "acFastPixels.h"
#include "sConst.h"

class TBitmap;

// Binding reads the bitmap's scan lines once; the pixel format is not
// checked (callers bind 24-bit bitmaps to the 24-bit accessors, 32-bit ones
// to TacFast32). False (Width 0) for nil or a bitmap below 2 x 2 pixels.
class TacFast24 : public TacPixels24 {
public:
    TBitmap* Bitmap = nullptr;
    bool BindBitmap(TBitmap* Bmp);
};

class TacFast32 : public TacPixels32 {
public:
    TBitmap* Bitmap = nullptr;
    bool BindBitmap(TBitmap* Bmp);
};

class TacFastSum24 : public TacPixelSum24 {
public:
    TBitmap* Source = nullptr;
    TBitmap* Destination = nullptr;
    // False, storing nothing, when either bitmap is nil or below 2 x 2.
    bool BindBitmaps(TBitmap* Src, TBitmap* Dst);
};

// The shared accessors made by the start-up step; nil before it and after
// the shut-down step. Fast24Spare is made and freed but used by nothing.
extern TacFast24* Fast24;
extern TacFast24* Fast24Spare;
extern TacFastSum24* FastSum24;
extern TacFast32* Fast32;

// Unit start-up and shut-down: make Fast24, Fast24Spare, FastSum24, Fast32
// and free them again in that order. Each runs once.
void sAlphaGraphInitialize();
void sAlphaGraphFinalize();

// ---------------------------------------------------------------- skin images by margins

struct TsMaskData;
class TsCommonData;

// State cell State of Mask's image over R of the 24-bit Dst: corners at their
// size (key or masked pixels over Background when UseBackground), edges and
// centre tiled or stretched (the centre only with Filling and flag 4).
// With Clip only the pixels inside it are painted, each as the whole image
// would paint it.
void PaintImageByMargins(TBitmap* Dst, TRect R, bool Filling, CacheInfo Background, const TsMaskData& Mask,
                         int State, bool UseBackground, const TRect* Clip = nullptr);
// One whole state cell at Point; Mode 1 normal, any other faded.
void PaintGlyphFromImage(TBitmap* Dst, TPoint Point, int State, int Mode, const TsMaskData& Mask,
                         CacheInfo Background);
// Corner bits: 1 top-left, 2 bottom-left, 4 top-right, 8 bottom-right.
void RepairCorners(TsCommonData* Data, int State, uint8_t Corners);
void RepairAllCorners(TsCommonData* Data, int State);
// One tile of a masked texture from the master bitmap (sGraphUtils.cpp).
void PaintCornersMasked(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                        const CacheInfo& Background);
void BlendRectWithColor(TBitmap* Bmp, TRect R, uint8_t Percent, TColor Color);
// Flags: 1 blend with the background (dkBlended), 2 grey (dkGrayed).
void ApplyFadeEffects(TBitmap* Bmp, uint8_t Flags, TControl* Control, TPoint Offset, CacheInfo Background);
// The frame of a skinned window from its border image into the cache
// bitmap, widened to ExtraWidth by a solid band, copied to DC; Client gets
// what remains inside.
void PaintMaskBorder(HDC DC, TRect R, int ExtraWidth, TRect& Client, int State, TsCommonData* Data);
