#include "RzGrafx.h"

#include <cstdlib>

#include "Guards.h"
#include "RzCanvasDC.h"

namespace {
void FillSolid(HDC dc, const TRect& r, uint32_t rgb) {
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    BrushHandle b(CreateSolidBrush(rgb));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    FillRect(dc, &rc, b.Get());
}

void PolySolid(HDC dc, const TRzPolyBand& band) {
    BrushHandle b(CreateSolidBrush(band.Color));
    SelectGuard select(dc, b.Get());
    POINT pts[4];
    for (int i = 0; i < band.Count; ++i) pts[i] = POINT{band.P[i].X, band.P[i].Y};
    Polygon(dc, pts, band.Count);
}

// Linear ramp across `extent` along one axis, 8 pixels along the other, then
// tiled over the full size.
void LinearRamp(HDC dc, int w, int h, bool vertical, bool mirror, uint32_t start, uint32_t stop, int sf) {
    int extent = vertical ? w : h;
    for (const TRzBand& b : RzLinearRamp(extent, mirror, start, stop, sf)) {
        if (vertical)
            FillSolid(dc, TRect{b.From, 0, b.To, 8}, b.Color);
        else
            FillSolid(dc, TRect{0, b.From, 8, b.To}, b.Color);
    }
    if (vertical)
        TileBlit(dc, 0, 0, SRCCOPY, std::min(h, 8), w, h, w);
    else
        TileBlit(dc, 0, 0, SRCCOPY, h, std::min(w, 8), h, w);
}

void BoxRamp(HDC dc, int w, int h, int dx, int dy, uint32_t start, uint32_t stop, int sf) {
    for (const TRzBoxBand& b : RzBoxRamp(w, h, dx, dy, start, stop, sf)) {
        FillSolid(dc, b.Horz, b.Color);
        FillSolid(dc, b.Vert, b.Color);
    }
    MirrorBlit(dc, 0, 0, h, w);
}
}  // namespace

void GradientPaintDC(HDC target, TRect Bounds, TGradientDirection Direction, TSmoothFactor SmoothFactor,
                     TColor StopColor, TColor StartColor) {
    int w = std::abs(Bounds.Right - Bounds.Left), h = std::abs(Bounds.Bottom - Bounds.Top);
    if (w == 0 || h == 0) return;
    uint32_t start = RzRGBOf(StartColor), stop = RzRGBOf(StopColor);
    MemoryDC mem(target);
    BitmapHandle bmp(CreateCompatibleBitmap(target, w, h));
    if (!mem || !bmp) return;
    const HDC dc = mem.Get();
    SelectGuard selectBitmap(dc, bmp.Get());
    SelectGuard selectPen(dc, GetStockObject(NULL_PEN));
    switch (Direction) {
        case gdDiagonalUp:
        case gdDiagonalDown:
            if (start == stop) {
                FillSolid(dc, TRect{0, 0, w, h}, start);
            } else {
                bool down = Direction == gdDiagonalDown;
                for (const TRzPolyBand& b :
                     RzDiagonalRamp(w, h, down, down ? stop : start, down ? start : stop, SmoothFactor))
                    PolySolid(dc, b);
            }
            break;
        case gdHorizontalEnd: LinearRamp(dc, w, h, false, false, start, stop, SmoothFactor); break;
        case gdHorizontalCenter: LinearRamp(dc, w, h, false, true, start, stop, SmoothFactor); break;
        case gdVerticalEnd: LinearRamp(dc, w, h, true, false, start, stop, SmoothFactor); break;
        case gdVerticalCenter: LinearRamp(dc, w, h, true, true, start, stop, SmoothFactor); break;
        case gdHorizontalBox:
            FillSolid(dc, TRect{0, 0, w, h}, start);
            BoxRamp(dc, w, h, w / 4, 0, start, stop, SmoothFactor);
            break;
        case gdVerticalBox: BoxRamp(dc, w, h, 0, h / 4, start, stop, SmoothFactor); break;
        case gdSquareBox:
            FillSolid(dc, TRect{0, 0, w, h}, start);
            BoxRamp(dc, w, h, 0, 0, start, stop, SmoothFactor);
            break;
        case gdBigSquareBox: BoxRamp(dc, w, h, w / 4, h / 4, start, stop, SmoothFactor); break;
    }
    BitBlt(target, Bounds.Left, Bounds.Top, w, h, dc, 0, 0, SRCCOPY);
}

void GradientPaint(TCanvas* Canvas, TRect Bounds, TGradientDirection Direction, TSmoothFactor SmoothFactor,
                   TColor StopColor, TColor StartColor) {
    GradientPaintDC(RzCanvasDC(Canvas), Bounds, Direction, SmoothFactor, StopColor, StartColor);
}

void TileBlit(HDC DC, int X, int Y, DWORD Rop, int PaintedH, int PaintedW, int TotalH, int TotalW) {
    // An empty block can never grow: nothing to copy.
    if (PaintedW <= 0 || PaintedH <= 0 || TotalW <= 0 || TotalH <= 0) return;
    int ph = std::min(PaintedH, TotalH), pw = std::min(PaintedW, TotalW);
    bool down = ph < TotalH;
    while (ph < TotalH || pw < TotalW) {
        if (down && ph < TotalH) {
            int n = std::min(ph, TotalH - ph);
            BitBlt(DC, X, Y + ph, pw, n, DC, X, Y, Rop);
            ph += n;
            down = pw >= TotalW;
        } else if (pw >= TotalW) {
            down = true;
        } else {
            int n = std::min(pw, TotalW - pw);
            BitBlt(DC, X + pw, Y, n, ph, DC, X, Y, Rop);
            pw += n;
            down = ph < TotalH;
        }
    }
}

void MirrorBlit(HDC DC, int X, int Y, int Height, int Width) {
    int hh = Height / 2, hw = Width / 2;
    // Bottom half: the rows above the middle row (if any), flipped.
    if (hh > 0)
        StretchBlt(DC, X, Y + Height - 1, Width - hw, -hh, DC, X, Y, Width - hw, hh, SRCCOPY);
    if (hw > 0) StretchBlt(DC, X + Width - 1, Y, -hw, Height, DC, X, Y, hw, Height, SRCCOPY);
}

void TileGraphic(TCanvas* Canvas, TGraphic* Graphic, TRect R) {
    TBitmap* bmp = dynamic_cast<TBitmap*>(Graphic);
    if (!bmp) return;
    int gw = bmp->Width(), gh = bmp->Height();
    // A graphic without area can never cover anything.
    if (gw <= 0 || gh <= 0) return;
    for (int y = R.Top; y < R.Bottom; y += gh) {
        for (int x = R.Left; x < R.Right; x += gw) {
            int w = std::min(gw, R.Right - x), h = std::min(gh, R.Bottom - y);
            Canvas->CopyRect(TRect{x, y, x + w, y + h}, bmp->Canvas(), TRect{0, 0, w, h});
        }
    }
}
