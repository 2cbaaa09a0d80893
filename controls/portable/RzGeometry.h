// Point geometry of the arrow line and the star shape. Portable.
#pragma once

#include <cstdint>

#include "Types.h"

// a x b / c rounded half away from zero, as the platform's MulDiv; -1 when c is 0.
int RzMulDiv(int a, int b, int c);

enum TRzLineSlope { lsDown, lsUp };

// Start and end point of a line across Width x Height with end margin M.
void RzLinePoints(int Width, int Height, int M, TRzLineSlope Slope, TPoint& Start, TPoint& End);

// Whether (X, Y) lies in the hit band of the line: within the client
// rectangle inflated by a - M and within a(1 + |slope|) of the line
// vertically (a = max(LineWidth div 2, 4)), so the band keeps its width at
// every angle.
bool RzLineHit(int X, int Y, int Width, int Height, int M, int LineWidth, TRzLineSlope Slope);

// The 17 outline points of the star on its 22 x 22 grid.
extern const TPoint RzStarOutline[17];
