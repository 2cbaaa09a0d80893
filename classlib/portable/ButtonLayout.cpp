#include "ButtonLayout.h"

void CalcGlyphLayout(const TRect& Client, TPoint GlyphSize, TPoint TextSize, int ReadingFlags, TRect& TextRect,
                     TPoint& GlyphPos, int Spacing, int Margin, int Alignment, int Layout) {
    const int cw = Client.Width(), ch = Client.Height();
    if ((ReadingFlags & 2) && (Layout == 0 || Layout == 1)) Layout = 1 - Layout;
    const bool across = Layout == 0 || Layout == 1;
    TextRect = Rect(0, 0, TextSize.X, TextSize.Y);
    int tx = 0, ty = 0;
    if (across) {
        GlyphPos.Y = (ch - GlyphSize.Y + 1) / 2;
        ty = (ch - TextSize.Y + 1) / 2;
    } else {
        GlyphPos.X = (cw - GlyphSize.X + 1) / 2;
        tx = (cw - TextSize.X + 1) / 2;
    }
    if (TextSize.X == 0 || GlyphSize.X == 0) Spacing = 0;
    const int c = across ? cw : ch, g = across ? GlyphSize.X : GlyphSize.Y, t = across ? TextSize.X : TextSize.Y;
    if (Margin == -1) {
        if (Spacing < 0)
            Margin = Spacing = (c - g - t) / 3;
        else
            Margin = Alignment == 2 ? (c - g - Spacing - t + 1) / 2 : 2;
    } else if (Spacing < 0) {
        Spacing = (c - Margin - g - t) / 2;
    }
    switch (Layout) {
    case 0:
        if (Alignment == 0) {
            GlyphPos.X = Margin;
            tx = Margin + GlyphSize.X + Spacing;
        } else if (Alignment == 1) {
            tx = cw - Margin - TextSize.X;
            GlyphPos.X = tx - Spacing - GlyphSize.X;
        } else {
            GlyphPos.X = (cw - TextSize.X - Spacing - GlyphSize.X) / 2;
            tx = GlyphPos.X + GlyphSize.X + Spacing;
        }
        break;
    case 1:
        if (Alignment == 0) {
            tx = Margin;
            GlyphPos.X = Margin + TextSize.X + Spacing;
        } else if (Alignment == 1) {
            GlyphPos.X = cw - Margin - GlyphSize.X;
            tx = GlyphPos.X - Spacing - TextSize.X;
        } else {
            tx = (cw - TextSize.X - Spacing - GlyphSize.X) / 2;
            GlyphPos.X = tx + TextSize.X + Spacing;
        }
        break;
    case 2:
        GlyphPos.Y = (ch - GlyphSize.Y - Spacing - TextSize.Y) / 2;
        ty = GlyphPos.Y + GlyphSize.Y + Spacing;
        break;
    case 3: {
        const int free = ch - GlyphSize.Y - Spacing - TextSize.Y;
        GlyphPos.Y = ch - GlyphSize.Y - free / 2;
        ty = GlyphPos.Y - Spacing - TextSize.Y;
        break;
    }
    default: break;
    }
    GlyphPos.X += Client.Left;
    GlyphPos.Y += Client.Top;
    TextRect = Bounds(tx + Client.Left, ty + Client.Top, TextSize.X, TextSize.Y);
}
