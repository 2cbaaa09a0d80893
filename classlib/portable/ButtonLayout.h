// Where a button puts its glyph and its caption: the class library's bitmap
// button and the skinned button wrappers place them by this one rule.
// Portable.
#pragma once

#include "Types.h"

// Layout 0 glyph left of the caption, 1 right, 2 above, 3 below (0 and 1
// swap under right-to-left reading, bit value 2 of ReadingFlags); Alignment 0
// near edge, 1 far edge, 2 centred; Margin -1 automatic, Spacing below 0
// automatic. Divisions truncate towards zero. GlyphPos and TextRect lie in
// the coordinates Client is given in.
void CalcGlyphLayout(const TRect& Client, TPoint GlyphSize, TPoint TextSize, int ReadingFlags, TRect& TextRect,
                     TPoint& GlyphPos, int Spacing, int Margin, int Alignment, int Layout);
