#include "sAlphaGraph.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "sColorAdjust.h"
#include "Graphics.h"
#include "Guards.h"
#include "sCommonData.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

TacFast24* Fast24 = nullptr;
TacFast24* Fast24Spare = nullptr;
TacFastSum24* FastSum24 = nullptr;
TacFast32* Fast32 = nullptr;

template <class A>
static bool BindOne(A& Accessor, TBitmap* Bmp) {
    if (!Bmp || Bmp->Width() < 2 || Bmp->Height() < 2) {
        Accessor.Width = 0;
        return false;
    }
    if (!Accessor.BindView(BitmapView(Bmp))) return false;
    Accessor.Bitmap = Bmp;
    return true;
}

bool TacFast24::BindBitmap(TBitmap* Bmp) { return BindOne(*this, Bmp); }
bool TacFast32::BindBitmap(TBitmap* Bmp) { return BindOne(*this, Bmp); }

bool TacFastSum24::BindBitmaps(TBitmap* Src, TBitmap* Dst) {
    if (!Src || !Dst || Src->Width() < 2 || Src->Height() < 2 || Dst->Width() < 2 || Dst->Height() < 2)
        return false;
    if (!BindViews(BitmapView(Src), BitmapView(Dst))) return false;
    Source = Src;
    Destination = Dst;
    return true;
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

// ---------------------------------------------------------------- skin images by margins

namespace {

TacMarginImage MarginImageOf(const TsMaskData& M) {
    TacMarginImage i;
    i.R = M.R;
    i.ImageCount = M.ImageCount;
    i.MaskType = M.MaskType;
    i.StretchMode = M.StretchMode;
    i.WL = M.WL, i.WT = M.WT, i.WR = M.WR, i.WB = M.WB;
    return i;
}

TRect Inclusive(const TRect& R) { return Rect(R.Left, R.Top, R.Right - 1, R.Bottom - 1); }

void BlitPiecesInto(TBitmap* Dst, TBitmap* Src, const std::vector<TacPiece>& Pieces, const TRect* Clip) {
    TCanvas* c = Dst->Canvas();
    c->Lock();
    ScopeExit unlock([c] { c->Unlock(); });
    SavedDC saved(c->Handle());
    // A stretched piece cannot be cut: the device context cuts it.
    if (Clip) IntersectClipRect(c->Handle(), Clip->Left, Clip->Top, Clip->Right, Clip->Bottom);
    BlitPieces(c->Handle(), Src, Pieces);
}

// The part of an untiled piece inside Clip, its source cut alike; a
// stretched piece stays whole. False when nothing of it is left.
bool CutPiece(TacPiece& P, const TRect* Clip) {
    if (!Clip || P.Stretch) return true;
    const TRect d = Rect(std::max(P.Dst.Left, Clip->Left), std::max(P.Dst.Top, Clip->Top),
                         std::min(P.Dst.Right, Clip->Right), std::min(P.Dst.Bottom, Clip->Bottom));
    if (d.Right <= d.Left || d.Bottom <= d.Top) return false;
    P.Src = Bounds(P.Src.Left + d.Left - P.Dst.Left, P.Src.Top + d.Top - P.Dst.Top, d.Width(), d.Height());
    P.Dst = d;
    return true;
}

}  // namespace

void PaintImageByMargins(TBitmap* Dst, TRect R, bool Filling, CacheInfo Background, const TsMaskData& Mask,
                         int State, bool UseBackground, const TRect* Clip) {
    if (!Dst || !Mask.OwnerManager) return;
    TBitmap* src = MaskImageSource(Mask);
    if (!src || src->Empty() || Dst->Empty()) return;
    const TacMarginPlan plan = PlanImageByMargins(R, MarginImageOf(Mask), State, Filling);
    if (plan.Pieces.empty()) return;
    const TacImage dst = ImageOf(Dst), img = ImageOf(src);
    const TacBackground bg = BackgroundOf(Background), none = BackgroundOf(EmptyCacheInfo);
    if (Mask.MaskType >= 1) {
        const int maskRows = Mask.R.Height() / 2;
        for (const TacPiece& piece : plan.Pieces)
            ForEachTile(piece, [&](TacPiece p) {
                if (CutPiece(p, Clip))
                    CopyMaskedView(dst, p.Dst, img, p.Src, maskRows, p.Corner ? bg : none, p.Corner && UseBackground,
                                   true);
            });
        return;
    }
    std::vector<TacPiece> blits;
    for (const TacPiece& piece : plan.Pieces) {
        if (!piece.Corner) {
            if (Clip && piece.Tiled)
                ForEachTile(piece, [&](TacPiece p) {
                    if (CutPiece(p, Clip)) blits.push_back(p);
                });
            else if (TacPiece p = piece; CutPiece(p, Clip))
                blits.push_back(p);
            continue;
        }
        TacPiece p = piece;
        if (!CutPiece(p, Clip)) continue;
        // Corners are keyed: pixel copies, after the edges queued so far.
        if (!blits.empty()) {
            BlitPiecesInto(Dst, src, blits, Clip);
            blits.clear();
        }
        const TacImage d = ImageOf(Dst);
        CopyKeyedView(d, p.Dst.Left, p.Dst.Top, img, Inclusive(p.Src), TransparentKeyColor, &bg,
                      UseBackground && Background.Ready && Background.Bmp);
    }
    if (!blits.empty()) BlitPiecesInto(Dst, src, blits, Clip);
}

void PaintGlyphFromImage(TBitmap* Dst, TPoint Point, int State, int Mode, const TsMaskData& Mask,
                         CacheInfo Background) {
    TBitmap* src = MaskImageSource(Mask);
    if (!Dst || !src || Mask.ImageCount <= 0 || Mask.MaskType < 0) return;
    const int cw = Mask.R.Width() / Mask.ImageCount, ch = Mask.R.Height() / (Mask.MaskType + 1);
    if (cw <= 0 || ch <= 0) return;
    State = std::clamp(State, 0, Mask.ImageCount - 1);
    const TRect cell = Bounds(Mask.R.Left + cw * State, Mask.R.Top, cw, ch);
    const TacImage dst = ImageOf(Dst), img = ImageOf(src);
    if (Mask.MaskType >= 1) {
        CopyMaskedView(dst, Bounds(Point.X, Point.Y, cw, ch), img, cell, Mask.R.Height() / 2, BackgroundOf(EmptyCacheInfo),
                       false, true, Mode == 1 ? 0 : 100);
    } else if (Mask.Image) {
        CopyKeyedView(dst, Point.X, Point.Y, img, Inclusive(cell), TransparentKeyColor, nullptr, false);
    } else if (Mode == 1) {
        const TacBackground bg = BackgroundOf(Background);
        CopyKeyedView(dst, Point.X, Point.Y, img, Inclusive(cell), TransparentKeyColor, &bg,
                      Background.Ready && Background.Bmp);
    } else {
        BlendBitmapRectView(dst, Point.X, Point.Y, TransparentKeyColor, 0.5, Inclusive(cell), img);
    }
}

void RepairCorners(TsCommonData* Data, int State, uint8_t Corners) {
    if (!Data || !Data->CacheBitmap || !Data->OwnerControl) return;
    TsSkinManager* m = Data->SkinManager();
    TControl* c = Data->OwnerControl;
    if (!m || !m->IsValidMaskIndex(Data->BorderMaskNo) || c->Width() < 2 || c->Height() < 2) return;
    BackgroundInfo info;
    CacheInfo bgc;
    if (c->Parent()) {
        info.X = c->Left();
        info.Y = c->Top();
        if (QueryControlBackground(info, c->Parent(), false) && info.BgType == 2) {
            info.X += c->Left();
            info.Y += c->Top();
        }
    }
    BackgroundToCacheInfo(info, bgc);
    TsMaskData b = m->ma()[size_t(Data->BorderMaskNo)];
    if (b.ImageCount == 0 && b.Image) {
        b.ImageCount = 3;
        b.MaskType = 1;
        b.R = Rect(0, 0, b.Image->Width(), b.Image->Height());
    }
    TBitmap* src = MaskImageSource(b);
    if (!src || b.ImageCount <= 0) return;
    const int cw = b.R.Width() / b.ImageCount, ch = b.R.Height() / (b.MaskType + 1);
    const int cl = b.R.Left + std::min(State, b.ImageCount - 1) * b.R.Width() / b.ImageCount;
    const int w = Data->CacheBitmap->Width(), h = Data->CacheBitmap->Height();
    const TacImage dst = ImageOf(Data->CacheBitmap), img = ImageOf(src);
    const TacBackground bg = BackgroundOf(bgc);
    struct Corner {
        uint8_t Bit;
        int SX, SY, W, H, DX, DY;
    } corners[4] = {
        {1, cl, b.R.Top, b.WL, b.WT, 0, 0},
        {2, cl, b.R.Top + ch - b.WB, b.WL, b.WB, 0, h - b.WB},
        {4, cl + cw - b.WR, b.R.Top, b.WR, b.WT, w - b.WR, 0},
        {8, cl + cw - b.WR, b.R.Top + ch - b.WB, b.WR, b.WB, w - b.WR, h - b.WB},
    };
    for (const Corner& k : corners) {
        if (!(Corners & k.Bit) || k.W <= 0 || k.H <= 0) continue;
        const TRect s = Bounds(k.SX, k.SY, k.W, k.H);
        if (b.MaskType >= 1) {
            // The background first, then the image over it by the mask.
            for (int y = 0; y < k.H; ++y)
                for (int x = 0; x < k.W; ++x) {
                    const int dx = k.DX + x, dy = k.DY + y;
                    if (dx < 0 || dy < 0 || dx >= w || dy >= h) continue;
                    uint8_t px[3];
                    if (KeyFillPixel(bg, true, dx, dy, px)) std::memcpy(dst.At(dx, dy), px, 3);
                }
            CopyMaskedView(dst, Bounds(k.DX, k.DY, k.W, k.H), img, s, b.R.Height() / 2, bg, true, true);
        } else {
            FillKeyPixelsView(dst, k.DX, k.DY, img, s, bg);
        }
    }
}

void RepairAllCorners(TsCommonData* Data, int State) { RepairCorners(Data, State, 15); }

void BlendRectWithColor(TBitmap* Bmp, TRect R, uint8_t Percent, TColor Color) {
    if (!Bmp) return;
    BlendRectWithColorView(ImageOf(Bmp).View, R, Percent, ColorToRGB(Color));
}

void ApplyFadeEffects(TBitmap* Bmp, uint8_t Flags, TControl* Control, TPoint Offset, CacheInfo Background) {
    if (!Bmp || Bmp->Empty()) return;
    if (Flags & 2) MakeGreyView(ImageOf(Bmp).View);
    if (!(Flags & 1)) return;
    if (Background.Ready && Background.Bmp) {
        const int x = Offset.X + Background.X, y = Offset.Y + Background.Y;
        // Each channel d := round(b - 0.4 * (b - d)), b the background's byte.
        std::unique_ptr<TBitmap> copy(CreateBitmap24(Bmp->Width(), Bmp->Height()));
        BitBlt(copy->Canvas()->Handle(), 0, 0, Bmp->Width(), Bmp->Height(), Background.Bmp->Canvas()->Handle(), x, y,
               SRCCOPY);
        BlendBitmapRectView(ImageOf(Bmp), 0, 0, 0xFFFFFFFFu, 0.4, Rect(0, 0, Bmp->Width() - 1, Bmp->Height() - 1),
                            ImageOf(copy.get()));
        return;
    }
    TColor c = Background.Color;
    if (c == TransparentKeyColor) c = ControlBackgroundColor(Control);
    BlendRectWithColor(Bmp, Rect(0, 0, Bmp->Width(), Bmp->Height()), 50, c);
}

void PaintMaskBorder(HDC DC, TRect R, int ExtraWidth, TRect& Client, int State, TsCommonData* Data) {
    if (!Data) return;
    const TColor colour = Data->BackgroundColor(State);
    TControl* c = Data->OwnerControl;
    BackgroundInfo info;
    if (c && c->Parent()) {
        QueryControlBackground(info, c->Parent(), false);
        info.X += c->Left();
        info.Y += c->Top();
    }
    TsSkinManager* m = Data->SkinManager();
    if (Data->BorderMaskNo >= 0 && m && m->IsValidMaskIndex(Data->BorderMaskNo)) {
        Data->PrepareCacheBitmap();
        TBitmap* cache = Data->CacheBitmap;
        const TsMaskData& b = m->ma()[size_t(Data->BorderMaskNo)];
        HDC cacheDC = cache->Canvas()->Handle();
        if (b.MaskType == 1) {
            if (info.BgType == 2 && info.Bmp)
                // The record's offsets already hold the control's place.
                BitBlt(cacheDC, R.Left, R.Top, R.Width(), R.Height(), info.Bmp->Canvas()->Handle(), info.X + R.Left,
                       info.Y + R.Top, SRCCOPY);
            else
                FillBorderOnDC(cacheDC, R, b.WL, b.WT, b.WR, b.WB, colour);
        }
        CacheInfo bg;
        BackgroundToCacheInfo(info, bg);
        PaintImageByMargins(cache, R, false, bg, b, State, true);
        Client = Rect(R.Left + b.WL, R.Top + b.WT, R.Right - b.WR, R.Bottom - b.WB);
        if (ExtraWidth != 0) {
            const int w = R.Width(), h = R.Height();
            const int l = std::max(std::min(ExtraWidth, w - b.WR) - b.WL, 0);
            const int t = std::max(std::min(ExtraWidth, h - b.WB) - b.WT, 0);
            const int rr = std::max(std::min(ExtraWidth, w - b.WL) - b.WR, 0);
            const int bb = std::max(std::min(ExtraWidth, h - b.WT) - b.WB, 0);
            FillBorderOnDC(cacheDC, Client, l, t, rr, bb, colour);
            Client = Rect(R.Left + ExtraWidth, R.Top + ExtraWidth, R.Right - ExtraWidth, R.Bottom - ExtraWidth);
            Client.Right = std::max(Client.Right, Client.Left);
            Client.Bottom = std::max(Client.Bottom, Client.Top);
            if (DC != cacheDC) CopyBorderBands(DC, R.Left, R.Top, w, h, cacheDC, R.Left, R.Top, ExtraWidth);
        }
        return;
    }
    if (ExtraWidth != 0) FillBorderOnDC(DC, R, ExtraWidth, ExtraWidth, ExtraWidth, ExtraWidth, colour);
}
