#include "sColorAdjust.h"

#include <algorithm>
#include <cmath>

#include "sConst.h"

namespace {

uint8_t Round255(double v) {
    const double r = std::nearbyint(v);  // halves to even
    return uint8_t(r > 255.0 ? 255.0 : (r < 0.0 ? 0.0 : r));
}

int R(TColor c) { return int(uint32_t(c) & 0xFF); }
int G(TColor c) { return int((uint32_t(c) >> 8) & 0xFF); }
int B(TColor c) { return int((uint32_t(c) >> 16) & 0xFF); }
TColor RGB3(int r, int g, int b) { return TColor(uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16); }

bool IsGreyOrKey(int r, int g, int b) {
    return (r == g && g == b) || (r == 0xFF && g == 0 && b == 0xFF);
}

}  // namespace

TColor ShiftSaturation(TColor Color, int Amount) {
    if (Amount == 0) return Color;
    const double grey = double(R(Color) + G(Color) + B(Color)) / 3.0;
    auto ch = [&](int c) { return int(Round255(c + Amount * (grey - c) / 100.0)); };
    return RGB3(ch(R(Color)), ch(G(Color)), ch(B(Color)));
}

TColor RotateHue(int Delta, TColor Color) {
    const double r = R(Color), g = G(Color), b = B(Color);
    const double v = std::max({r, g, b}), mn = std::min({r, g, b});
    if (v <= 0.0 || v == mn) return Color;  // S = 0: any grey
    const double s = (v - mn) / v, d = v - mn;
    double h;
    if (r == v)
        h = 60.0 * (g - b) / d;
    else if (g == v)
        h = 120.0 + 60.0 * (b - r) / d;
    else
        h = 240.0 + 60.0 * (r - g) / d;
    if (h < 0) h += 360.0;
    // Modulo in 64 bits with a non-negative result: any Delta, any sign.
    long long nh = std::llround(h + double(Delta)) % 360;
    if (nh < 0) nh += 360;
    const double hue = double(nh);
    const int sector = int(std::floor(hue / 60.0));
    const double f = hue / 60.0 - sector;
    const double p = v * (1 - s), q = v * (1 - f * s), t = v * (1 - (1 - f) * s);
    double out[3];  // r, g, b
    switch (sector) {
        case 0: out[0] = v, out[1] = t, out[2] = p; break;
        case 1: out[0] = q, out[1] = v, out[2] = p; break;
        case 2: out[0] = p, out[1] = v, out[2] = t; break;
        case 3: out[0] = p, out[1] = q, out[2] = v; break;
        case 4: out[0] = t, out[1] = p, out[2] = v; break;
        default: out[0] = v, out[1] = p, out[2] = q; break;
    }
    return RGB3(Round255(out[0]), Round255(out[1]), Round255(out[2]));
}

void MakeGreyView(const TacPixelView& V) {
    for (int y = 0; y < V.Height; ++y) {
        uint8_t* p = V.Row(y);
        for (int x = 0; x < V.Width; ++x, p += 3) p[0] = p[1] = p[2] = uint8_t((p[0] + p[1] + p[2]) / 3);
    }
}

void FadeTowardsColorView(const TacPixelView& V, TColor Color, TColor KeyColor, double Factor) {
    const int cb = B(Color), cg = G(Color), cr = R(Color);
    const int kb = B(KeyColor), kg = G(KeyColor), kr = R(KeyColor);
    for (int y = 0; y < V.Height; ++y) {
        uint8_t* p = V.Row(y);
        for (int x = 0; x < V.Width; ++x, p += 3) {
            if (p[0] == kb && p[1] == kg && p[2] == kr) continue;
            p[0] = Round255(Factor * (p[0] - cb) + cb);
            p[1] = Round255(Factor * (p[1] - cg) + cg);
            p[2] = Round255(Factor * (p[2] - cr) + cr);
        }
    }
}

TColor ShiftColor(TColor Color, int Hue, int Saturation) {
    // System colours and "none" are no RGB values: shifting their bytes would
    // make an unrelated colour of them.
    if (uint32_t(Color) >> 24) return Color;
    if (Hue != 0) Color = RotateHue(Hue, Color);
    if (Saturation != 0) Color = ShiftSaturation(Color, Saturation);
    return Color;
}

void ShiftViewColors(const TacPixelView& V, int BytesPerPixel, int Hue, int Saturation) {
    if ((Hue == 0 && Saturation == 0) || (BytesPerPixel != 3 && BytesPerPixel != 4)) return;
    for (int y = 0; y < V.Height; ++y) {
        uint8_t* p = V.Row(y);
        for (int x = 0; x < V.Width; ++x, p += BytesPerPixel) {
            if (IsGreyOrKey(p[2], p[1], p[0])) continue;
            TColor c = RGB3(p[2], p[1], p[0]);
            if (Hue != 0) c = RotateHue(Hue, c);
            if (Saturation != 0) c = ShiftSaturation(c, Saturation);
            p[0] = uint8_t(B(c));
            p[1] = uint8_t(G(c));
            p[2] = uint8_t(R(c));
        }
    }
}
