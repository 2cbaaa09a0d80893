#include "sGradientPaint.h"

#include "sGraphUtils.h"

void PaintGradient(TBitmap* Bmp, const TRect& R, const TsGradArray& Bands, int ExtraHeight) {
    if (!Bmp || Bmp->Empty() || Bands.empty()) return;
    if (Bmp->PixelFormat() != pf24bit) Bmp->SetPixelFormat(pf24bit);
    if (PaintGradientView(BitmapView(Bmp), R, Bands, ExtraHeight) || Bands[0].BandMode != 2) return;
    const GradientTriangles t = TriangleVertices(R, Bmp->Width(), Bmp->Height(), Bands);
    TRIVERTEX v[5];
    for (int i = 0; i < 5; ++i) {
        v[i].x = t.V[i].X;
        v[i].y = t.V[i].Y;
        v[i].Red = COLOR16((t.V[i].Color & 0xFF) << 8);
        v[i].Green = COLOR16(((t.V[i].Color >> 8) & 0xFF) << 8);
        v[i].Blue = COLOR16(((t.V[i].Color >> 16) & 0xFF) << 8);
        v[i].Alpha = 0;
    }
    GRADIENT_TRIANGLE tri[4];
    for (int i = 0; i < 4; ++i)
        tri[i] = {ULONG(GradientTriangles::Index[i][0]), ULONG(GradientTriangles::Index[i][1]),
                  ULONG(GradientTriangles::Index[i][2])};
    GradientFill(Bmp->Canvas()->Handle(), v, 5, tri, 4, GRADIENT_FILL_TRIANGLE);
    GdiFlush();
}
