#include "sGraphUtils.h"

TBitmap* CreateBitmapLike(TBitmap* Source) {
    TBitmap* b = new TBitmap;
    if (Source) {
        b->SetWidth(Source->Width());
        b->SetHeight(Source->Height());
        b->SetPixelFormat(Source->PixelFormat());
    }
    return b;
}

static TBitmap* CreateDib(int Width, int Height, TPixelFormat Format) {
    TBitmap* b = new TBitmap;
    try {
        b->SetPixelFormat(Format);
        b->SetHandleType(bmDIB);
        b->SetWidth(Width);
        b->SetHeight(Height);
    } catch (...) {
        delete b;
        throw;
    }
    return b;
}

TBitmap* CreateBitmap24(int Width, int Height) { return CreateDib(Width, Height, pf24bit); }
TBitmap* CreateBitmap32(int Width, int Height) { return CreateDib(Width, Height, pf32bit); }

TacPixelView BitmapView(TBitmap* Bmp) {
    TacPixelView v;
    if (!Bmp || Bmp->Empty()) return v;
    v.Start = static_cast<uint8_t*>(Bmp->ScanLine(0));
    v.Width = Bmp->Width();
    v.Height = Bmp->Height();
    v.RowDelta = v.Height >= 2 ? static_cast<uint8_t*>(Bmp->ScanLine(1)) - v.Start : Bmp->RowBytes();
    return v;
}

void CopyByteChannel(TBitmap* Image, TBitmap* Plane, int Channel, bool ToPlane) {
    if (!Image || !Plane) return;
    CopyByteChannelView(BitmapView(Image), BitmapView(Plane), Channel, ToPlane);
}

namespace {
TColor ReadCanvasPixel(void* Context, int X, int Y) {
    return static_cast<TBitmap*>(Context)->Canvas()->Pixels(X, Y);
}
}  // namespace

void BlendAlphaBitmap(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                      const CacheInfo& Cache, bool FillKeyFromCache, TColor TintColor, int Transparency) {
    if (!Src || !Dst) return;
    Src->SetPixelFormat(pf32bit);
    TacKeyBackground key;
    const TacKeyBackground* keyPtr = nullptr;
    if (Cache.Ready) {
        if (Cache.Bmp) {
            key.Width = Cache.Bmp->Width();
            key.Height = Cache.Bmp->Height();
            key.Context = Cache.Bmp;
        }
        key.X = Cache.X;
        key.Y = Cache.Y;
        key.Read = ReadCanvasPixel;
        keyPtr = &key;
        // Without a bitmap there is nothing to fill key pixels from: they stay.
        if (!Cache.Bmp) FillKeyFromCache = false;
    }
    BlendAlphaView(BitmapView(Dst), BitmapView(Src), DstRect, SrcRect, keyPtr, FillKeyFromCache, TintColor,
                   Transparency);
}

void MakeGrey(TBitmap* Bmp) {
    if (!Bmp || Bmp->Empty() || Bmp->PixelFormat() != pf24bit) return;
    MakeGreyView(BitmapView(Bmp));
}

void FadeTowardsColor(TBitmap* Bmp, TColor Color, TColor KeyColor, double Factor) {
    if (!Bmp || Bmp->Empty() || Bmp->PixelFormat() != pf24bit) return;
    try {
        FadeTowardsColorView(BitmapView(Bmp), Color, KeyColor, Factor);
    } catch (const Exception&) {
    }
}

void ShiftBitmapColors(TBitmap* Bmp, int Hue, int Saturation) {
    if (!Bmp || Bmp->Empty()) return;
    if (Bmp->PixelFormat() != pf32bit) {
        Bmp->SetHandleType(bmDIB);
        Bmp->SetPixelFormat(pf24bit);
    }
    GdiFlush();
    ShiftViewColors(BitmapView(Bmp), Bmp->PixelFormat() == pf32bit ? 4 : 3, Hue, Saturation);
}
