// Colour maths and gradient band arithmetic of the framed controls.
// Portable: no Windows headers, so it builds and is unit-tested natively; the
// Windows painters only turn the plans below into brushes and rectangles.
#pragma once

#include <cstdint>
#include <vector>

#include "Types.h"

// Rounds to the nearest integer, an exact half to the even neighbour. Values
// within 1e-9 of a half count as the half, so that results which are a half in
// exact arithmetic round the same way whatever the floating-point noise.
int RoundHalfEven(double v);

// System colours (negative values) are resolved through this function, given
// the platform's colour index. The default answers the classic 3-D scheme;
// the Windows tree installs the real system colours at start-up.
using TRzSysColorFunc = uint32_t (*)(int index);
extern TRzSysColorFunc RzSysColorFunc;

// Resolves a colour value to plain RGB (red in the low byte).
uint32_t RzColorToRGB(TColor c);

constexpr uint8_t RzRed(uint32_t rgb) { return uint8_t(rgb); }
constexpr uint8_t RzGreen(uint32_t rgb) { return uint8_t(rgb >> 8); }
constexpr uint8_t RzBlue(uint32_t rgb) { return uint8_t(rgb >> 16); }
constexpr uint32_t RzRGB(int r, int g, int b) { return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16; }

// Hue, saturation and luminance on a 0..240 scale.
void HslFromColor(TColor c, uint8_t& H, uint8_t& S, uint8_t& L);
// H is divided by 239 (not 240) and L may exceed 240 (lightening goes to 255);
// each channel is limited to full intensity.
TColor ColorFromHsl(int H, int S, int L);
uint8_t HueOfColor(TColor c);
TColor DarkenColor(TColor c, int Amount);
TColor LightenColor(TColor c, int Amount);
// Zero returns the value itself, not resolved.
TColor ShiftColor(TColor c, int Adjustment);
TColor MixColors(TColor A, TColor B, uint8_t Weight);
bool ColorsAlike(TColor A, TColor B);
TColor HueOppositeColor(TColor c, int Luminance);

// --- Gradient band arithmetic -------------------------------------------

// Minimum number of steps a band covers for a smooth factor.
int RzBandSteps(int SmoothFactor, bool BoxRamp);

// One colour channel set (r, g, b) stepped in 16.16 fixed point from a first
// colour towards a second one in a given number of steps.
struct TRzColorStepper {
    int32_t Value[3] = {};
    int32_t Step[3] = {};
    TRzColorStepper() = default;
    TRzColorStepper(uint32_t first, uint32_t second, int steps);
    uint32_t Color() const;  // the high 16 bits of each channel
    uint32_t ColorAt(int i) const;  // the colour after i steps
    void Next() {
        for (int c = 0; c < 3; ++c) Value[c] += Step[c];
    }
};

// A band of a linear ramp: rows (or columns) [From, To) in one colour.
struct TRzBand {
    int From, To;
    uint32_t Color;
};

// Linear ramp along an axis of Extent pixels, Start at position 0, Stop at
// the far end; with Mirror the stop colour lies at Extent div 2 and the start
// colour at both ends.
std::vector<TRzBand> RzLinearRamp(int Extent, bool Mirror, uint32_t Start, uint32_t Stop,
                                  int SmoothFactor);

// A band of the box ramp: the L-shaped strip of the top-left quarter, as a
// horizontal and a vertical rectangle.
struct TRzBoxBand {
    TRect Horz, Vert;
    uint32_t Color;
};

// Box ramp over the top-left quarter of a Width x Height area, stop colour at
// the centre, start colour at the insets and beyond. Small areas (below 5 x 5)
// or equal colours give one band filling the area plus one pixel in Start.
std::vector<TRzBoxBand> RzBoxRamp(int Width, int Height, int InsetX, int InsetY, uint32_t Start,
                                  uint32_t Stop, int SmoothFactor);

// A band of the diagonal ramp: a polygon of 3 or 4 points.
struct TRzPolyBand {
    TPoint P[4];
    int Count;
    uint32_t Color;
};

// Diagonal ramp: with Down false the first colour lies at the bottom-left
// corner and the second towards the top-right; with Down the ramp starts at
// the bottom-right corner. Polygon points on the area's edges are pushed one
// pixel outwards so that the unpenned fill covers the last row and column.
std::vector<TRzPolyBand> RzDiagonalRamp(int Width, int Height, bool Down, uint32_t First,
                                        uint32_t Second, int SmoothFactor);
