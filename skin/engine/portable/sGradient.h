// Multi-band gradients of skin sections: the description text parsed once
// when a skin loads, and the bands painted into 24-bit pixels. Portable; the
// triangle mode needs the platform's gradient fill and is painted by the
// bitmap version in sGradientPaint.h.
#pragma once

#include <cstdint>
#include <vector>

#include "RunTime.h"
#include "Types.h"
#include "acFastPixels.h"

struct GradientBand {
    int32_t StartColor = 0;
    int32_t EndColor = 0;
    uint8_t BandPercent = 0;  // 0..100
    int32_t BandMode = 0;     // 0 vertical, 1 horizontal, 2 triangles
};
using TsGradArray = std::vector<GradientBand>;

// Fields separated by ';', five per band: start colour, end colour, percent
// (above 100 taken as 100), mode, one unread field. Surplus fields are
// ignored; a field that is no integer raises EConvertError.
void ParseGradientData(const AnsiString& Text, TsGradArray& Bands);

// Writes a colour's blue, green and red bytes to a 3-byte pixel.
void ColorToBGR(TColor Color, uint8_t* Pixel);

// Paints modes 0 and 1 into a 24-bit view; R is clipped to the view. Answers
// false for the triangle mode (2), which the caller paints, and for a mode it
// does not know. ExtraHeight lengthens the vertical span the percentages
// refer to.
bool PaintGradientView(const TacPixelView& View, TRect R, const TsGradArray& Bands, int ExtraHeight);

// The five vertices of the triangle mode after clipping R to Width x Height:
// top-left, centre, top-right, bottom-right, bottom-left; colours from the
// bands' start colours, a missing band repeating the vertex before it.
struct GradientVertex {
    int X = 0, Y = 0;
    TColor Color = 0;
};
struct GradientTriangles {
    GradientVertex V[5];
    static constexpr int Index[4][3] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
};
GradientTriangles TriangleVertices(TRect R, int Width, int Height, const TsGradArray& Bands);
