// Engine-wide records and constants that the painters share. Portable: the
// bitmap is only referred to, never touched here.
#pragma once

#include "Types.h"

class TBitmap;

// What lies under a painted area: when Ready, the background pixel under
// destination point (x, y) is Bmp's pixel (x + X, y + Y); otherwise Color
// (TransparentKeyColor = none).
struct CacheInfo {
    TBitmap* Bmp = nullptr;
    int X = 0;
    int Y = 0;
    TColor Color = 0;
    bool Ready = false;
};

// Key colour of skin images: transparent, or no colour in answers.
constexpr TColor TransparentKeyColor = 0xFF00FF;

// Names no background. Constant-initialised, so it is valid before any unit
// start-up step runs and before the first form loads.
inline constexpr CacheInfo EmptyCacheInfo{nullptr, -99, -99, 0, false};

// Arrow size of a horizontal scroll bar, for the scroll wrappers: 16 until the
// engine's start-up step reads the platform's metric.
extern int HScrollHeight;
