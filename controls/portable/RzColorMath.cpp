#include "RzColorMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

int RoundHalfEven(double v) {
    double f = std::floor(v);
    double d = v - f;
    if (std::fabs(d - 0.5) < 1e-9) {
        long long n = static_cast<long long>(f);
        return static_cast<int>((n % 2 == 0) ? n : n + 1);
    }
    return static_cast<int>(d < 0.5 ? f : f + 1);
}

namespace {
// The classic 3-D scheme, indexed by the platform's colour numbers.
uint32_t ClassicSysColor(int index) {
    static const uint32_t table[31] = {
        0xC8C8C8, 0x000000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0,
        0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000,
        0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x800000, 0xC0C0C0};
    return (index >= 0 && index < 31) ? table[index] : 0;
}
}  // namespace

TRzSysColorFunc RzSysColorFunc = &ClassicSysColor;

uint32_t RzColorToRGB(TColor c) {
    if (c < 0) return RzSysColorFunc(c & 0xFF) & 0xFFFFFF;
    return uint32_t(c) & 0xFFFFFF;
}

void HslFromColor(TColor c, uint8_t& H, uint8_t& S, uint8_t& L) {
    uint32_t rgb = RzColorToRGB(c);
    // Channels stay integers out of 255, so each result is one division of
    // integers and exact halves stay exact.
    int r = RzRed(rgb), g = RzGreen(rgb), b = RzBlue(rgb);
    int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    int sum = mx + mn;
    L = uint8_t(RoundHalfEven(sum * 120.0 / 255.0));
    if (mx == mn) {
        H = S = 0;
        return;
    }
    int d = mx - mn;
    // L < 0.5 exactly when max + min < 255.
    S = uint8_t(RoundHalfEven(sum < 255 ? 240.0 * d / sum : 240.0 * d / (510 - sum)));
    int num;  // hue in sixths, times d
    if (r == mx)
        num = g - b;
    else if (g == mx)
        num = 2 * d + (b - r);
    else
        num = 4 * d + (r - g);
    if (num < 0) num += 6 * d;
    H = uint8_t(RoundHalfEven(40.0 * num / d));
}

TColor ColorFromHsl(int H, int S, int L) {
    double h = H / 239.0, s = S / 240.0, l = L / 240.0;
    double m2 = l < 0.5 ? l * (1 + s) : l + s - l * s;
    if (m2 <= 0) return 0;
    double m1 = 2 * l - m2;
    double h6 = 6 * h;
    int sextant = static_cast<int>(h6);
    double v = m2 * ((m2 - m1) / m2) * (h6 - sextant);
    double mid1 = m1 + v, mid2 = m2 - v;
    double rgb[3];
    switch (sextant) {
        case 1: rgb[0] = mid2; rgb[1] = m2; rgb[2] = m1; break;
        case 2: rgb[0] = m1; rgb[1] = m2; rgb[2] = mid1; break;
        case 3: rgb[0] = m1; rgb[1] = mid2; rgb[2] = m2; break;
        case 4: rgb[0] = mid1; rgb[1] = m1; rgb[2] = m2; break;
        case 5: rgb[0] = m2; rgb[1] = m1; rgb[2] = mid2; break;
        default: rgb[0] = m2; rgb[1] = mid1; rgb[2] = m1; break;
    }
    int ch[3];
    for (int i = 0; i < 3; ++i) ch[i] = RoundHalfEven(std::clamp(rgb[i], 0.0, 1.0) * 255.0);
    return TColor(RzRGB(ch[0], ch[1], ch[2]));
}

uint8_t HueOfColor(TColor c) {
    uint8_t h, s, l;
    HslFromColor(c, h, s, l);
    return h;
}

TColor DarkenColor(TColor c, int Amount) {
    uint8_t h, s, l;
    HslFromColor(c, h, s, l);
    return ColorFromHsl(h, s, std::max(int(l) - Amount, 0));
}

TColor LightenColor(TColor c, int Amount) {
    uint8_t h, s, l;
    HslFromColor(c, h, s, l);
    return ColorFromHsl(h, s, std::min(int(l) + Amount, 255));
}

TColor ShiftColor(TColor c, int Adjustment) {
    if (Adjustment < 0) return DarkenColor(c, -Adjustment);
    if (Adjustment > 0) return LightenColor(c, Adjustment);
    return c;
}

TColor MixColors(TColor A, TColor B, uint8_t Weight) {
    uint32_t a = RzColorToRGB(A), b = RzColorToRGB(B);
    // a x w + b x (1 - w) with w = Weight / 255, as one integer fraction.
    auto mix = [&](int ca, int cb) { return RoundHalfEven((ca * Weight + cb * (255 - Weight)) / 255.0); };
    return TColor(RzRGB(mix(RzRed(a), RzRed(b)), mix(RzGreen(a), RzGreen(b)), mix(RzBlue(a), RzBlue(b))));
}

bool ColorsAlike(TColor A, TColor B) {
    uint8_t ha, sa, la, hb, sb, lb;
    HslFromColor(A, ha, sa, la);
    HslFromColor(B, hb, sb, lb);
    return std::abs(int(ha) - int(hb)) < 20 && std::abs(int(la) - int(lb)) < 60;
}

TColor HueOppositeColor(TColor c, int Luminance) {
    int h = HueOfColor(c);
    h = h < 120 ? h + 120 : h - 120;
    return ColorFromHsl(h, 240, Luminance);
}

// --- Gradient band arithmetic -------------------------------------------

int RzBandSteps(int SmoothFactor, bool BoxRamp) {
    int k = SmoothFactor <= 8 ? SmoothFactor : (BoxRamp ? 256 : 255) / SmoothFactor + 1;
    return std::max(k, 1);
}

TRzColorStepper::TRzColorStepper(uint32_t first, uint32_t second, int steps) {
    const uint8_t f[3] = {RzRed(first), RzGreen(first), RzBlue(first)};
    const uint8_t s[3] = {RzRed(second), RzGreen(second), RzBlue(second)};
    for (int c = 0; c < 3; ++c) {
        Value[c] = int32_t(f[c]) << 16;
        Step[c] = steps > 0 ? ((int32_t(s[c]) << 16) - (int32_t(f[c]) << 16)) / steps : 0;
    }
}

uint32_t TRzColorStepper::Color() const {
    return RzRGB((Value[0] >> 16) & 0xFF, (Value[1] >> 16) & 0xFF, (Value[2] >> 16) & 0xFF);
}

uint32_t TRzColorStepper::ColorAt(int i) const {
    TRzColorStepper t = *this;
    for (int c = 0; c < 3; ++c) t.Value[c] += Step[c] * i;
    return t.Color();
}

namespace {
// Groups steps [0, count) into bands of at least k steps that go on while the
// next step's colour equals the band's; calls emit(first, past, colour).
template <class Emit>
void GroupBands(int count, int k, const TRzColorStepper& st, Emit emit) {
    int i = 0;
    while (i < count) {
        uint32_t col = st.ColorAt(i);
        int j = std::min(i + k, count);
        while (j < count && st.ColorAt(j) == col) ++j;
        emit(i, j, col);
        i = j;
    }
}

// One linear run: positions from `from` down to `from - steps + 1` (pixel
// rows from - 1 downwards), first colour at `from`.
void LinearRun(std::vector<TRzBand>& out, int from, int steps, uint32_t first, uint32_t second, int k) {
    if (steps <= 0) return;  // a run without steps paints nothing
    TRzColorStepper st(first, second, steps);
    GroupBands(steps, k, st, [&](int i, int j, uint32_t col) {
        out.push_back({from - j, from - i, col});
    });
}
}  // namespace

std::vector<TRzBand> RzLinearRamp(int Extent, bool Mirror, uint32_t Start, uint32_t Stop, int SmoothFactor) {
    std::vector<TRzBand> out;
    if (Extent <= 0) return out;
    int k = RzBandSteps(SmoothFactor, false);
    if (!Mirror) {
        LinearRun(out, Extent, Extent, Stop, Start, k);
    } else {
        int m = Extent / 2;
        LinearRun(out, m + 1, m + 1, Stop, Start, k);
        LinearRun(out, Extent, Extent - m - 1, Start, Stop, k);
    }
    return out;
}

std::vector<TRzBoxBand> RzBoxRamp(int Width, int Height, int InsetX, int InsetY, uint32_t Start, uint32_t Stop,
                                  int SmoothFactor) {
    std::vector<TRzBoxBand> out;
    if (Width <= 0 || Height <= 0) return out;
    if (Width < 5 || Height < 5 || Start == Stop) {
        TRect all{0, 0, Width + 1, Height + 1};
        out.push_back({all, TRect{}, Start});
        return out;
    }
    int cx = (Width - 1) / 2, cy = (Height - 1) / 2;
    int steps = std::max(cx - InsetX, cy - InsetY) + 1;
    int32_t sx = ((cx - InsetX) << 16) / steps, sy = ((cy - InsetY) << 16) / steps;
    int32_t x0 = (cx + 1) << 16, y0 = (cy + 1) << 16;
    auto px = [&](int j) { return std::max<int32_t>((x0 - j * sx) >> 16, 0); };
    auto py = [&](int j) { return std::max<int32_t>((y0 - j * sy) >> 16, 0); };
    auto strip = [&](int xa, int ya, int xb, int yb, uint32_t col) {
        out.push_back({TRect{xb, yb, cx + 1, ya}, TRect{xb, ya, xa, cy + 1}, col});
    };
    TRzColorStepper st(Stop, Start, steps);
    GroupBands(steps, RzBandSteps(SmoothFactor, true), st, [&](int i, int j, uint32_t col) {
        strip(px(i), py(i), px(j), py(j), col);
    });
    // Past the last step the colour would run beyond the start colour and
    // wrap; the rest of the quarter is held at the start colour instead.
    if (px(steps) > 0 || py(steps) > 0) strip(px(steps), py(steps), 0, 0, Start);
    return out;
}

std::vector<TRzPolyBand> RzDiagonalRamp(int Width, int Height, bool Down, uint32_t First, uint32_t Second,
                                        int SmoothFactor) {
    std::vector<TRzPolyBand> out;
    if (Width <= 0 || Height <= 0) return out;
    int len = static_cast<int>(std::sqrt(double(Width) * Width + double(Height) * Height)) + 1;
    int half = len / 2;
    TRzColorStepper st(First, Second, len);
    int kband = RzBandSteps(SmoothFactor, false);
    int dir = Down ? -1 : 1;
    int64_t xs = (int64_t(Width) << 16) / half, ys = (int64_t(Height) << 16) / half;
    int x0 = Down ? Width : 0, xFar = Down ? 0 : Width;
    auto push = [&](TPoint p) {
        if (p.X <= 0) p.X = -1; else if (p.X >= Width) p.X = Width + 1;
        if (p.Y <= 0) p.Y = -1; else if (p.Y >= Height) p.Y = Height + 1;
        return p;
    };
    // Point a runs along the bottom then up the far side; point b up the near
    // side then along the top. At j = half of each pass they sit exactly on
    // the corners.
    auto pointA = [&](int pass, int j) -> TPoint {
        if (pass == 0) {
            if (j >= half) return {xFar, Height};
            return {int((int64_t(x0) * 65536 + dir * j * xs) >> 16), Height};
        }
        if (j >= half) return {xFar, 0};
        return {xFar, int((int64_t(Height) * 65536 - j * ys) >> 16)};
    };
    auto pointB = [&](int pass, int j) -> TPoint {
        if (pass == 0) {
            if (j >= half) return {x0, 0};
            return {x0, int((int64_t(Height) * 65536 - j * ys) >> 16)};
        }
        if (j >= half) return {xFar, 0};
        return {int((int64_t(x0) * 65536 + dir * j * xs) >> 16), 0};
    };
    for (int pass = 0; pass < 2; ++pass) {
        int base = pass * half;
        int i = 0;
        while (i < half) {
            uint32_t col = st.ColorAt(base + i);
            int j = std::min(i + kband, half);
            while (j < half && st.ColorAt(base + j) == col) ++j;
            TPoint as = pointA(pass, i), ae = pointA(pass, j), be = pointB(pass, j), bs = pointB(pass, i);
            bool moved = !(as == ae) || !(bs == be);
            if (moved || j == half) {
                TRzPolyBand band{};
                band.Color = col;
                band.P[0] = push(as);
                band.P[1] = push(ae);
                band.P[2] = push(be);
                band.Count = 3;
                if (!(be == bs)) band.P[band.Count++] = push(bs);
                if (ae == be) {  // closing triangle at the far corner
                    band.P[1] = push(ae);
                    band.P[2] = push(bs);
                    band.Count = 3;
                }
                out.push_back(band);
            }
            i = j;
        }
    }
    return out;
}
