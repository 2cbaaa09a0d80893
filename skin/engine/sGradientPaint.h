// The gradient painter over the class library's bitmaps: bands in vertical
// or horizontal mode are painted by the portable code, the triangle mode by
// the platform's gradient fill.
#pragma once

#include "Graphics.h"
#include "sGradient.h"

// Paints Bands into R of a 24-bit Bmp (made 24-bit first); ExtraHeight as
// in PaintGradientView.
void PaintGradient(TBitmap* Bmp, const TRect& R, const TsGradArray& Bands, int ExtraHeight = 0);
