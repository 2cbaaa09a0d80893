// Colour adjustments of a whole skin and of painted parts: saturation and hue
// shifts of single colours, grey-scaling and fading of pixel views. Portable:
// the TBitmap versions (sGraphUtils.h) hand these their pixels.
#pragma once

#include "Types.h"
#include "acFastPixels.h"

// Amount 0 answers the colour unchanged; otherwise each channel c moves by
// amount percent towards the grey level (r + g + b) / 3 (negative amounts move
// away from it), rounded halves to even and limited to 0..255. Top byte 0.
TColor ShiftSaturation(TColor Color, int Amount);
// Hue rotated by Delta degrees in the hexcone model, keeping saturation and
// value; the new hue is round(H + Delta) modulo 360 into 0..359, so negative
// deltas work. Greys (and black) come back unchanged.
TColor RotateHue(int Delta, TColor Color);

// Every pixel of a 24-bit view: blue = green = red = (b + g + r) div 3.
void MakeGreyView(const TacPixelView& View24);
// Every pixel of a 24-bit view not of KeyColor: each channel p becomes
// round(Factor * (p - c) + c), c the channel of Color.
void FadeTowardsColorView(const TacPixelView& View24, TColor Color, TColor KeyColor, double Factor);

// The skin-wide shift over a 24-bit (BytesPerPixel 3) or 32-bit (4) view:
// pixels neither 0xFF00FF nor grey get RotateHue(Hue) and then
// ShiftSaturation(Saturation); an amount of 0 skips its step. Alpha stays.
void ShiftViewColors(const TacPixelView& View, int BytesPerPixel, int Hue, int Saturation);
// The same two steps on one colour, as section and skin-wide colours get them;
// system colours (top byte set) stay.
TColor ShiftColor(TColor Color, int Hue, int Saturation);
