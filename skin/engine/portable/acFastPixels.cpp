#include "acFastPixels.h"

TacFast24* Fast24 = nullptr;
TacFast24* Fast24Spare = nullptr;
TacFastSum24* FastSum24 = nullptr;
TacFast32* Fast32 = nullptr;

static bool Bindable(const TacPixelView& V) { return V.Start && V.Width >= 2 && V.Height >= 2; }

bool TacFastPixels::BindView(const TacPixelView& View, TBitmap* Bmp) {
    if (!Bindable(View)) {
        Width = 0;
        return false;
    }
    Bitmap = Bmp;
    Width = View.Width;
    Height = View.Height;
    Start = View.Start;
    RowDelta = int(View.RowDelta);
    return true;
}

bool TacFastSum24::BindViews(const TacPixelView& Src, const TacPixelView& Dst, TBitmap* SrcBmp,
                             TBitmap* DstBmp) {
    if (!Bindable(Src) || !Bindable(Dst)) return false;
    Source = SrcBmp;
    Destination = DstBmp;
    Width = Src.Width < Dst.Width ? Src.Width : Dst.Width;
    Height = Src.Height < Dst.Height ? Src.Height : Dst.Height;
    SourceStart = Src.Start;
    DestStart = Dst.Start;
    SourceDelta = int(Src.RowDelta);
    DestDelta = int(Dst.RowDelta);
    return true;
}

void TacFastSum24::BlendRect() {
    const int bytes = (DestRect.Right - DestRect.Left) * 3;
    const unsigned a = Alpha, na = 255u - Alpha;
    for (int y = DestRect.Bottom - 1; y >= DestRect.Top; --y) {
        const int sy = SourceRect.Bottom - (DestRect.Bottom - y);
        uint8_t* d = DestStart + ptrdiff_t(y) * DestDelta + ptrdiff_t(DestRect.Left) * 3;
        const uint8_t* s = SourceStart + ptrdiff_t(sy) * SourceDelta + ptrdiff_t(SourceRect.Left) * 3;
        for (int i = bytes - 1; i >= 0; --i) d[i] = uint8_t((d[i] * a + s[i] * na + 127u) >> 8);
    }
}
