#include "RzGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "RzColorMath.h"

int RzMulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t p = int64_t(a) * b;
    bool neg = (p < 0) != (c < 0);
    int64_t ap = std::llabs(p), ac = std::llabs(int64_t(c));
    int64_t q = (ap + ac / 2) / ac;
    return int(neg ? -q : q);
}

void RzLinePoints(int Width, int Height, int M, TRzLineSlope Slope, TPoint& Start, TPoint& End) {
    if (Slope == lsDown) {
        Start = {M, M};
        End = {Width - M, Height - M};
    } else {
        Start = {M, Height - M};
        End = {Width - M, M};
    }
}

bool RzLineHit(int X, int Y, int Width, int Height, int M, int LineWidth, TRzLineSlope Slope) {
    int a = std::max(LineWidth / 2, 4);
    int grow = a - M;
    if (X < -grow || Y < -grow || X >= Width + grow || Y >= Height + grow) return false;
    TPoint p1, p2;
    RzLinePoints(Width, Height, M, Slope, p1, p2);
    if (p1.X == p2.X) return std::abs(X - p1.X) <= a;
    double s = double(p2.Y - p1.Y) / double(p2.X - p1.X);
    double y = s * (X - p1.X) + p1.Y;
    double half = a * (1 + std::fabs(s));
    int lo = RoundHalfEven(y - half), hi = RoundHalfEven(y + half);
    return Y >= lo && Y <= hi;
}

const TPoint RzStarOutline[17] = {{11, 0}, {13, 6}, {19, 3}, {16, 9}, {22, 11}, {16, 13},
                                  {19, 19}, {13, 16}, {11, 22}, {9, 16}, {3, 19}, {6, 13},
                                  {0, 11}, {6, 9}, {3, 3}, {9, 6}, {11, 0}};
