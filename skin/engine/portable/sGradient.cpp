#include "sGradient.h"

#include <algorithm>
#include <cmath>

#include "acntUtils.h"

void ParseGradientData(const AnsiString& Text, TsGradArray& Bands) {
    Bands.clear();
    if (Text.empty()) return;
    std::vector<AnsiString> fields;
    size_t from = 0;
    for (;;) {
        size_t at = Text.find(';', from);
        fields.push_back(Text.substr(from, at == AnsiString::npos ? AnsiString::npos : at - from));
        if (at == AnsiString::npos) break;
        from = at + 1;
    }
    // A trailing ';' ends the last field rather than starting an empty one.
    if (!fields.empty() && fields.back().empty()) fields.pop_back();
    const size_t count = fields.size() / 5;
    Bands.resize(count);
    for (size_t i = 0; i < count; ++i) {
        GradientBand& b = Bands[i];
        b.StartColor = StrToInt(fields[i * 5]);
        b.EndColor = StrToInt(fields[i * 5 + 1]);
        b.BandPercent = uint8_t(std::clamp(StrToInt(fields[i * 5 + 2]), 0, 100));
        b.BandMode = StrToInt(fields[i * 5 + 3]);
    }
}

void ColorToBGR(TColor Color, uint8_t* Pixel) {
    Pixel[0] = uint8_t(Color >> 16);
    Pixel[1] = uint8_t(Color >> 8);
    Pixel[2] = uint8_t(Color);
}

namespace {

struct Channels {
    double R, G, B;
};

Channels Split(TColor C) { return {double(C & 0xFF), double((C >> 8) & 0xFF), double((C >> 16) & 0xFF)}; }

// Rounded like the platform's Round: halves to even.
uint8_t Byte(double V) { return uint8_t(std::clamp(std::nearbyint(V), 0.0, 255.0)); }

void Put(uint8_t* p, const Channels& c) {
    p[0] = Byte(c.B);
    p[1] = Byte(c.G);
    p[2] = Byte(c.R);
}

void PaintVertical(const TacPixelView& V, const TRect& R, const TsGradArray& Bands, int Extra) {
    const int bottom = std::min(R.Bottom, V.Height) - 1;
    const int xEnd = std::min(R.Width() + R.Left, V.Width) - 1;
    int yEnd = R.Top + Extra;
    for (size_t i = 0; i < Bands.size(); ++i) {
        const bool last = i + 1 == Bands.size();
        const int start = yEnd;
        yEnd = start + Bands[i].BandPercent * (Extra + R.Height()) / 100;
        yEnd = last ? bottom : std::min(yEnd, bottom);
        const int n = yEnd - start;
        if (n <= 0) continue;
        Channels c = Split(Bands[i].StartColor);
        const Channels e = Split(Bands[i].EndColor);
        const Channels step{(e.R - c.R) / n, (e.G - c.G) / n, (e.B - c.B) / n};
        for (int y = std::max(start, 0); y <= yEnd; ++y) {
            if (y >= start) {
                const Channels at{c.R + step.R * (y - start), c.G + step.G * (y - start), c.B + step.B * (y - start)};
                uint8_t* row = V.Row(y);
                for (int x = R.Left; x <= xEnd; ++x) Put(row + x * 3, at);
            }
        }
    }
}

void PaintHorizontal(const TacPixelView& V, const TRect& R, const TsGradArray& Bands) {
    const int right = std::min(R.Right, V.Width) - 1;
    for (int y = R.Top; y < R.Bottom; ++y) {
        uint8_t* row = V.Row(y);
        int xEnd = R.Left;
        for (size_t i = 0; i < Bands.size(); ++i) {
            const bool last = i + 1 == Bands.size();
            const int start = xEnd;
            xEnd = int(std::nearbyint(Bands[i].BandPercent * (R.Width() / 100.0) + start));
            xEnd = last ? right : std::min(xEnd, right);
            const int n = xEnd - start;
            if (n <= 0) continue;
            const Channels c = Split(Bands[i].StartColor);
            const Channels e = Split(Bands[i].EndColor);
            for (int x = std::max(start, 0); x <= xEnd; ++x) {
                const double k = double(x - start) / n;
                Put(row + x * 3, {c.R + (e.R - c.R) * k, c.G + (e.G - c.G) * k, c.B + (e.B - c.B) * k});
            }
        }
    }
}

TRect Clip(TRect R, int Width, int Height) {
    R.Right = std::min(R.Right, Width);
    R.Bottom = std::min(R.Bottom, Height);
    R.Left = std::max(R.Left, 0);
    R.Top = std::max(R.Top, 0);
    return R;
}

}  // namespace

bool PaintGradientView(const TacPixelView& View, TRect R, const TsGradArray& Bands, int ExtraHeight) {
    if (Bands.empty()) return true;
    R = Clip(R, View.Width, View.Height);
    if (!View.Start || R.Right <= R.Left || R.Bottom <= R.Top) return Bands[0].BandMode != 2;
    switch (Bands[0].BandMode) {
    case 0: PaintVertical(View, R, Bands, ExtraHeight); return true;
    case 1: PaintHorizontal(View, R, Bands); return true;
    default: return false;
    }
}

GradientTriangles TriangleVertices(TRect R, int Width, int Height, const TsGradArray& Bands) {
    R = Clip(R, Width, Height);
    GradientTriangles t;
    const TPoint at[5] = {{R.Left, R.Top},
                          {R.Left + R.Width() / 2, R.Top + R.Height() / 2},
                          {R.Right, R.Top},
                          {R.Right, R.Bottom},
                          {R.Left, R.Bottom}};
    for (int i = 0; i < 5; ++i) {
        t.V[i].X = at[i].X;
        t.V[i].Y = at[i].Y;
        if (size_t(i) < Bands.size())
            t.V[i].Color = Bands[i].StartColor;
        else
            t.V[i].Color = i > 0 ? t.V[i - 1].Color : 0;
    }
    return t;
}
