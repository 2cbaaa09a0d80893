#include "sAlphaGraph.h"

#include "Graphics.h"
#include "sGraphUtils.h"

bool TacFastPixels::BindBitmap(TBitmap* Bmp) {
    if (!Bmp || Bmp->Width() < 2 || Bmp->Height() < 2) {
        Width = 0;
        return false;
    }
    return BindView(BitmapView(Bmp), Bmp);
}

bool TacFastSum24::BindBitmaps(TBitmap* Src, TBitmap* Dst) {
    if (!Src || !Dst || Src->Width() < 2 || Src->Height() < 2 || Dst->Width() < 2 || Dst->Height() < 2)
        return false;
    return BindViews(BitmapView(Src), BitmapView(Dst), Src, Dst);
}

static int UnitRefCount = 0;

void sAlphaGraphInitialize() {
    if (UnitRefCount++ != 0) return;
    Fast24 = new TacFast24;
    Fast24Spare = new TacFast24;
    FastSum24 = new TacFastSum24;
    Fast32 = new TacFast32;
}

void sAlphaGraphFinalize() {
    if (UnitRefCount == 0 || --UnitRefCount != 0) return;
    delete Fast24;
    Fast24 = nullptr;
    delete Fast24Spare;
    Fast24Spare = nullptr;
    delete FastSum24;
    FastSum24 = nullptr;
    delete Fast32;
    Fast32 = nullptr;
}
