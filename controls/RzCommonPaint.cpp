// Side, bevel, border and frame painters of the framed controls. They draw
// with plain GDI on the canvas's device context and put back every object
// they select, so the canvas's own pen and brush are left as they were.
#include "RzCanvasDC.h"
#include "Guards.h"
#include "RzCommon.h"

namespace {
bool Has(TSides s, TSide side) { return (s & SideBit(side)) != 0; }

void Line(HDC dc, COLORREF c, int x1, int y1, int x2, int y2) {
    PenHandle pen(CreatePen(PS_SOLID, 1, c));
    SelectGuard select(dc, pen.Get());
    POINT prev;
    MoveToEx(dc, x1, y1, &prev);
    LineTo(dc, x2, y2);
    MoveToEx(dc, prev.x, prev.y, nullptr);
}

void Pixel(HDC dc, int x, int y, TColor c) { SetPixel(dc, x, y, RzRGBOf(c)); }

TRect Shrink(TRect r, TSides sides, int by) {
    if (Has(sides, sdLeft)) r.Left += by;
    if (Has(sides, sdTop)) r.Top += by;
    if (Has(sides, sdRight)) r.Right -= by;
    if (Has(sides, sdBottom)) r.Bottom -= by;
    return r;
}

TRect Inflate(TRect r, int d) { return TRect{r.Left - d, r.Top - d, r.Right + d, r.Bottom + d}; }

TRect Etched(TCanvas* canvas, TRect r, TSides sides, TColor ul, TColor lr) {
    HDC dc = RzCanvasDC(canvas);
    bool L = Has(sides, sdLeft), T = Has(sides, sdTop), R = Has(sides, sdRight), B = Has(sides, sdBottom);
    if (R)
        Pixel(dc, r.Right - 1, r.Top, lr);
    else if (T)
        Pixel(dc, r.Right - 1, r.Top, ul);
    if (B)
        Pixel(dc, r.Left, r.Bottom - 1, lr);
    else if (L)
        Pixel(dc, r.Left, r.Bottom - 1, ul);
    if (T && !L) Pixel(dc, r.Left, r.Top + 1, lr);
    if (L && !T) Pixel(dc, r.Left + 1, r.Top, lr);
    if (B && !R) Pixel(dc, r.Right - 1, r.Bottom - 2, ul);
    if (R && !B) Pixel(dc, r.Right - 2, r.Bottom - 1, ul);
    TRect shifted{r.Left + 1, r.Top + 1, r.Right, r.Bottom};
    PaintSides(canvas, shifted, lr, sides, lr);
    TRect back{shifted.Left - 1, shifted.Top - 1, shifted.Right - 1, shifted.Bottom - 1};
    PaintSides(canvas, back, ul, sides, ul);
    return Shrink(r, sides, 2);
}

TColor FrameUL(TFrameStyle s) {
    switch (s) {
        case fsFlat: return cl3DDkShadow;
        case fsGroove: case fsStatus: case fsFlatBold: return clBtnShadow;
        default: return clBtnHighlight;  // bump, popup
    }
}
TColor FrameLR(TFrameStyle s) {
    switch (s) {
        case fsFlat: return cl3DDkShadow;
        case fsGroove: case fsStatus: return clBtnHighlight;
        default: return clBtnShadow;  // bump, popup, flat bold
    }
}
}  // namespace

TRect PaintSides(TCanvas* Canvas, TRect r, TColor ULColor, TSides Sides, TColor LRColor) {
    HDC dc = RzCanvasDC(Canvas);
    if (ULColor != clNone) {
        COLORREF c = RzRGBOf(ULColor);
        if (Has(Sides, sdLeft)) Line(dc, c, r.Left, r.Top, r.Left, r.Bottom);
        if (Has(Sides, sdTop)) Line(dc, c, r.Left, r.Top, r.Right, r.Top);
    }
    if (LRColor != clNone) {
        COLORREF c = RzRGBOf(LRColor);
        if (Has(Sides, sdRight)) Line(dc, c, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
        if (Has(Sides, sdBottom)) Line(dc, c, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
    }
    return Shrink(r, Sides, 1);
}

TRect PaintBevel(TCanvas* Canvas, TRect r, TColor ULColor, TSides Sides, int Count, TColor LRColor) {
    for (int i = 0; i < Count; ++i) r = PaintSides(Canvas, r, ULColor, Sides, LRColor);
    return r;
}

TRect PaintBox(TCanvas* Canvas, TRect r, TColor Color) {
    PaintSides(Canvas, r, Color, sdAllSides, Color);
    return Inflate(r, -1);
}

// Two one-pixel bevels, the outer first: upper-left and lower-right colours of each.
static TRect TwoBevels(TCanvas* Canvas, TRect r, TSides Sides, TColor OuterUL, TColor OuterLR, TColor InnerUL,
                       TColor InnerLR) {
    r = PaintBevel(Canvas, r, OuterUL, Sides, 1, OuterLR);
    return PaintBevel(Canvas, r, InnerUL, Sides, 1, InnerLR);
}

TRect PaintCtl3DSides(TCanvas* Canvas, TRect r, bool Lowered, TSides Sides) {
    if (Lowered) return TwoBevels(Canvas, r, Sides, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight);
    return TwoBevels(Canvas, r, Sides, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow);
}

TRect PaintButtonBorderSides(TCanvas* Canvas, TRect r, bool Down, TSides Sides) {
    if (Down) return TwoBevels(Canvas, r, Sides, clBtnText, clBtnText, clBtnShadow, clBtnShadow);
    return TwoBevels(Canvas, r, Sides, clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow);
}

TRect PaintColorButtonBorderSides(TCanvas* Canvas, TRect r, TColor Base, TSides Sides, bool Down) {
    if (Down) {
        TColor d100 = DarkenColor(Base, 100), d50 = DarkenColor(Base, 50);
        return TwoBevels(Canvas, r, Sides, d100, d100, d50, d50);
    }
    return TwoBevels(Canvas, r, Sides, LightenColor(Base, 100), DarkenColor(Base, 100), LightenColor(Base, 40),
                     DarkenColor(Base, 50));
}

TRect PaintBorderSides(TCanvas* Canvas, TRect r, TFrameStyle Style, TSides Sides) {
    switch (Style) {
        case fsNone: return r;
        case fsFlat: case fsStatus: case fsPopup:
            return PaintSides(Canvas, r, FrameUL(Style), Sides, FrameLR(Style));
        case fsLowered: case fsRaised: return PaintCtl3DSides(Canvas, r, Style == fsLowered, Sides);
        case fsButtonDown: case fsButtonUp: return PaintButtonBorderSides(Canvas, r, Style == fsButtonDown, Sides);
        case fsFlatBold: return PaintBevel(Canvas, r, FrameUL(Style), Sides, 2, FrameLR(Style));
        case fsGroove: case fsBump: return Etched(Canvas, r, Sides, FrameUL(Style), FrameLR(Style));
        default: return r;  // the rounded style is composed by PaintBorders
    }
}

TRect PaintColorBorderSides(TCanvas* Canvas, TRect r, TColor Base, TSides Sides, TFrameStyle Style) {
    TColor d50 = DarkenColor(Base, 50), d100 = DarkenColor(Base, 100);
    TColor l50 = LightenColor(Base, 50), l100 = LightenColor(Base, 100);
    switch (Style) {
        case fsNone: return r;
        case fsFlat: return PaintSides(Canvas, r, d50, Sides, d50);
        case fsGroove: return Etched(Canvas, r, Sides, d50, l100);
        case fsLowered:
            r = PaintSides(Canvas, r, d50, Sides, l100);
            return PaintSides(Canvas, r, d100, Sides, l50);
        case fsRaised:
            r = PaintSides(Canvas, r, l50, Sides, d100);
            return PaintSides(Canvas, r, l100, Sides, d50);
        case fsButtonDown: case fsButtonUp:
            return PaintColorButtonBorderSides(Canvas, r, Base, Sides, Style == fsButtonDown);
        case fsStatus: return PaintSides(Canvas, r, d50, Sides, l100);
        case fsPopup: return PaintSides(Canvas, r, l100, Sides, d50);
        case fsFlatBold: return PaintBevel(Canvas, r, d50, Sides, 2, d50);
        default: return Etched(Canvas, r, Sides, l100, d50);  // bump and anything above
    }
}

TRect PaintBorder(TCanvas* Canvas, TRect r, TFrameStyle Style) {
    return PaintBorderSides(Canvas, r, Style, sdAllSides);
}
TRect PaintColorBorder(TCanvas* Canvas, TRect r, TColor Base, TFrameStyle Style) {
    return PaintColorBorderSides(Canvas, r, Base, sdAllSides, Style);
}
TRect PaintButtonBorder(TCanvas* Canvas, TRect r, bool Down) {
    return PaintButtonBorderSides(Canvas, r, Down, sdAllSides);
}
TRect PaintColorButtonBorder(TCanvas* Canvas, TRect r, TColor Base, bool Down) {
    return PaintColorButtonBorderSides(Canvas, r, Base, sdAllSides, Down);
}

TRect PaintRoundedFlatBorder(TCanvas* Canvas, TRect r, TColor Color, TSides Sides) {
    HDC dc = RzCanvasDC(Canvas);
    COLORREF c = RzRGBOf(Color);
    bool L = Has(Sides, sdLeft), T = Has(Sides, sdTop), R = Has(Sides, sdRight), B = Has(Sides, sdBottom);
    int top = T ? r.Top + 2 : r.Top, bottom = B ? r.Bottom - 2 : r.Bottom;
    int left = L ? r.Left + 2 : r.Left, right = R ? r.Right - 2 : r.Right;
    if (L) Line(dc, c, r.Left, top, r.Left, bottom);
    if (T) Line(dc, c, left, r.Top, right, r.Top);
    if (R) Line(dc, c, r.Right - 1, top, r.Right - 1, bottom);
    if (B) Line(dc, c, left, r.Bottom - 1, right, r.Bottom - 1);
    if (L && T) SetPixel(dc, r.Left + 1, r.Top + 1, c);
    if (T && R) SetPixel(dc, r.Right - 2, r.Top + 1, c);
    if (R && B) SetPixel(dc, r.Right - 2, r.Bottom - 2, c);
    if (B && L) SetPixel(dc, r.Left + 1, r.Bottom - 2, c);
    // The inside starts at the shortened edges' limits, so that the line
    // painted just inside the rounded one stays visible.
    return TRect{left, top, right, bottom};
}

TRect PaintDottedFrame(TCanvas* Canvas, TRect r) {
    HDC dc = RzCanvasDC(Canvas);
    for (int x = r.Left + 1; x < r.Right; x += 2) {
        SetPixel(dc, x, r.Top, 0);
        SetPixel(dc, x, r.Bottom - 1, 0);
    }
    for (int y = r.Top + 1; y < r.Bottom; y += 2) {
        SetPixel(dc, r.Left, y, 0);
        SetPixel(dc, r.Right - 1, y, 0);
    }
    return Inflate(r, -1);
}

TRect PaintBorders(TCanvas* Canvas, TRect Bounds, TFrameStyleEx BorderOuter, bool Transparent,
                   TColor ParentColor, TColor Color, int FlatColorAdjustment, TColor FlatColor,
                   TColor BorderShadow, TColor BorderHighlight, TColor BorderColor, int BevelWidth,
                   TSides BorderSides, int BorderWidth, TFrameStyleEx BorderInner) {
    TColor f = ShiftColor(FlatColor, FlatColorAdjustment);
    TRect r = Bounds;
    bool banded = BorderWidth > 0 || BorderInner != fsNone;
    switch (BorderOuter) {
        case fsFlat: r = PaintBevel(Canvas, r, f, BorderSides, 1, f); break;
        case fsFlatBold: r = PaintBevel(Canvas, r, f, BorderSides, 2, f); break;
        case fsFlatRounded:
            if (!Transparent) {
                TRect in = PaintBevel(Canvas, r, ParentColor, BorderSides, 1, ParentColor);
                TColor c = banded ? BorderColor : Color;
                PaintBevel(Canvas, in, c, BorderSides, 1, c);
            } else if (banded) {
                PaintBevel(Canvas, Inflate(r, -1), BorderColor, BorderSides, 1, BorderColor);
            }
            r = PaintRoundedFlatBorder(Canvas, r, f, BorderSides);
            break;
        case fsPopup: r = PaintBevel(Canvas, r, BorderHighlight, BorderSides, BevelWidth, BorderShadow); break;
        case fsStatus: r = PaintBevel(Canvas, r, BorderShadow, BorderSides, BevelWidth, BorderHighlight); break;
        default: r = PaintBorderSides(Canvas, r, BorderOuter, BorderSides); break;
    }
    if (BorderWidth > 0) r = PaintBevel(Canvas, r, BorderColor, BorderSides, BorderWidth, BorderColor);
    switch (BorderInner) {
        case fsFlat: r = PaintBevel(Canvas, r, f, BorderSides, 1, f); break;
        case fsFlatBold: r = PaintBevel(Canvas, r, f, BorderSides, 2, f); break;
        case fsFlatRounded:
            if (Transparent) {
                PaintBevel(Canvas, r, BorderColor, BorderSides, 1, BorderColor);
            } else {
                TRect in = PaintBevel(Canvas, r, BorderColor, BorderSides, 1, BorderColor);
                PaintBevel(Canvas, in, Color, BorderSides, 1, Color);
            }
            r = PaintRoundedFlatBorder(Canvas, r, f, BorderSides);
            break;
        case fsStatus: r = PaintBevel(Canvas, r, BorderShadow, BorderSides, BevelWidth, BorderHighlight); break;
        case fsPopup: r = PaintBevel(Canvas, r, BorderHighlight, BorderSides, BevelWidth, BorderShadow); break;
        default: r = PaintBorderSides(Canvas, r, BorderInner, BorderSides); break;
    }
    return r;
}

void PaintFrame(TCanvas* Canvas, int Width, int Height, bool KeepInside, TSides Sides, TColor FrameColor,
                TColor Color, TFrameStyle Style) {
    TRect all{0, 0, Width, Height};
    if (!KeepInside) PaintBevel(Canvas, all, Color, sdAllSides, 2, Color);
    if (Style == fsFlat)
        PaintSides(Canvas, all, FrameColor, Sides, FrameColor);
    else if (Style == fsFlatBold)
        PaintBevel(Canvas, all, FrameColor, Sides, 2, FrameColor);
    else if (Color == clWindow)
        PaintBorderSides(Canvas, all, Style, Sides);
    else
        PaintColorBorderSides(Canvas, all, Color, Sides, Style);
}
