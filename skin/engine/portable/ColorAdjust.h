// Bitmap-wide colour operations of the skin graphics. Portable, over pixel
// views (the TBitmap callers hand in their rows).
#pragma once

#include "acFastPixels.h"

// Every pixel of a 24-bit picture gets blue = green = red = the integer
// average of its three channels.
void MakeGrey(const TacPixelView& Bmp24);
