#include "acFastPixels.h"

static bool Bindable(const TacPixelView& V) { return V.Start && V.Width >= 2 && V.Height >= 2; }

bool TacFastPixels::BindView(const TacPixelView& View) {
    if (!Bindable(View)) {
        Width = 0;
        return false;
    }
    Width = View.Width;
    Height = View.Height;
    Start = View.Start;
    RowDelta = int(View.RowDelta);
    return true;
}

bool TacPixelSum24::BindViews(const TacPixelView& Src, const TacPixelView& Dst) {
    if (!Bindable(Src) || !Bindable(Dst)) return false;
    Width = Src.Width < Dst.Width ? Src.Width : Dst.Width;
    Height = Src.Height < Dst.Height ? Src.Height : Dst.Height;
    SourceStart = Src.Start;
    DestStart = Dst.Start;
    SourceDelta = int(Src.RowDelta);
    DestDelta = int(Dst.RowDelta);
    return true;
}

void TacPixelSum24::BlendRect() {
    const int bytes = (DestRect.Right - DestRect.Left) * 3;
    // 16-bit lanes: d * a + s * (255 - a) + 127 stays below 65536, so the
    // compiler can blend eight or sixteen bytes at once.
    const uint16_t a = Alpha, na = uint16_t(255u - Alpha);
    for (int y = DestRect.Bottom - 1; y >= DestRect.Top; --y) {
        const int sy = SourceRect.Bottom - (DestRect.Bottom - y);
        uint8_t* d = DestStart + ptrdiff_t(y) * DestDelta + ptrdiff_t(DestRect.Left) * 3;
        const uint8_t* s = SourceStart + ptrdiff_t(sy) * SourceDelta + ptrdiff_t(SourceRect.Left) * 3;
        for (int i = 0; i < bytes; ++i) d[i] = uint8_t(uint16_t(d[i] * a + s[i] * na + 127u) >> 8);
    }
}
