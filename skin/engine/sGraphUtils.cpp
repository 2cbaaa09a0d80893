#include "sGraphUtils.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "Forms.h"
#include "Guards.h"
#include "Jpeg.h"
#include "WinText.h"
#include "sAlphaGraph.h"
#include "sCommonData.h"
#include "sGradientPaint.h"
#include "sSkinManager.h"
#include "sSkinnedForms.h"

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

// ---------------------------------------------------------------- pixel views

TacImage ImageOf(TBitmap* Bmp) {
    TacImage i;
    if (!Bmp || Bmp->Empty()) return i;
    // Pending GDI drawing into the section must land before its bytes are read.
    GdiFlush();
    i.Bpp = Bmp->PixelFormat() == pf32bit ? 4 : 3;
    i.View = BitmapView(Bmp);
    return i;
}

TacBackground BackgroundOf(const CacheInfo& Cache) {
    TacBackground b;
    b.Ready = Cache.Ready;
    b.X = Cache.X;
    b.Y = Cache.Y;
    b.Color = Cache.Color;
    if (Cache.Ready && Cache.Bmp) b.Image = ImageOf(Cache.Bmp);
    return b;
}

namespace {

HDC BitmapDC(TBitmap* Bmp) { return Bmp->Canvas()->Handle(); }

// Both canvases' DCs held for the scope.
struct CanvasLock {
    TCanvas* C;
    explicit CanvasLock(TBitmap* B) : C(B ? B->Canvas() : nullptr) { if (C) C->Lock(); }
    ~CanvasLock() { if (C) C->Unlock(); }
    CanvasLock(const CanvasLock&) = delete;
    CanvasLock& operator=(const CanvasLock&) = delete;
};

TRect Clipped(TRect R, TBitmap* Bmp) {
    R.Left = std::max(R.Left, 0);
    R.Top = std::max(R.Top, 0);
    R.Right = std::min(R.Right, Bmp->Width());
    R.Bottom = std::min(R.Bottom, Bmp->Height());
    return R;
}

bool EmptyRect(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

}  // namespace

// ---------------------------------------------------------------- background queries and DC fills

bool QueryParentBackground(BackgroundInfo& Info, HWND Wnd, bool DrawRequest) {
    Info.BgType = 0;
    Info.PleaseDraw = DrawRequest;
    if (Wnd) SendMessageW(Wnd, SM_ALPHACMD, WPARAM(SkinWParam(scGetBackground)), LPARAM(&Info));
    return Info.BgType != 0;
}

bool QueryControlBackground(BackgroundInfo& Info, TControl* Control, bool DrawRequest) {
    Info.BgType = 0;
    Info.PleaseDraw = DrawRequest;
    if (!Control) return false;
    SendAlphaCommand(Control, scGetBackground, 0, LPARAM(&Info));
    if (Info.BgType != 0) return true;
    Info.BgType = 1;
    TColor c = TColor(Control->Perform(SM_ALPHACMD, WPARAM(SkinWParam(scQueryColor)), 0));
    if (c == 0) c = ColorToRGB(Control->Color());
    Info.Color = c;
    if (Info.PleaseDraw && Info.Bmp && Info.DrawDC) FillRectOnDC(Info.DrawDC, Info.R, c);
    return false;
}

void BackgroundToCacheInfo(const BackgroundInfo& Info, CacheInfo& Cache) {
    if (Info.BgType == 2) {
        Cache = MakeBitmapBackground(Info.Bmp, Info.X, Info.Y);
        return;
    }
    Cache.Ready = false;
    Cache.Color = ColorToRGB(Info.Color);
    Cache.Bmp = nullptr;
}

void FillRectOnDC(HDC DC, const TRect& R, TColor Color) {
    if (!DC) return;
    SavedDC saved(DC);
    BrushHandle brush(CreateSolidBrush(COLORREF(ColorToRGB(Color))));
    SelectGuard sel(DC, brush.Get());
    const RECT r{R.Left, R.Top, R.Right, R.Bottom};
    FillRect(DC, &r, brush.Get());
}

void DrawSystemMark(HDC DC, const TRect& R, unsigned Mark, TColor Color) {
    const int side = std::min(R.Width(), R.Height());
    if (!DC || side <= 0) return;
    // The mark comes black on white; a brush then takes the black and the
    // destination the white (D ^ ((D ^ P) & ~S)).
    MemoryDC mem(DC);
    BitmapHandle bmp(CreateCompatibleBitmap(DC, side, side));
    if (!mem || !bmp) return;
    SelectGuard selBmp(mem.Get(), bmp.Get());
    RECT r{0, 0, side, side};
    DrawFrameControl(mem.Get(), &r, DFC_MENU, Mark);
    SavedDC saved(DC);
    BrushHandle brush(CreateSolidBrush(COLORREF(ColorToRGB(Color))));
    SelectGuard selBrush(DC, brush.Get());
    SetTextColor(DC, RGB(0, 0, 0));
    SetBkColor(DC, RGB(255, 255, 255));
    BitBlt(DC, R.Left + (R.Width() - side) / 2, R.Top + (R.Height() - side) / 2, side, side, mem.Get(), 0, 0,
           0x00B8074A);
}

void DrawPlainCheckGlyph(HDC DC, const TRect& R, bool Radio, int State, TColor Color, TColor Face) {
    const int side = std::min(R.Width(), R.Height()) - 2;
    if (!DC || side < 6) return;
    const TRect box = Bounds(R.Left + (R.Width() - side) / 2, R.Top + (R.Height() - side) / 2, side, side);
    SavedDC saved(DC);
    PenHandle pen(CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(Color))));
    BrushHandle face(CreateSolidBrush(COLORREF(ColorToRGB(Face))));
    SelectGuard selPen(DC, pen.Get());
    SelectGuard selBrush(DC, face.Get());
    if (Radio)
        Ellipse(DC, box.Left, box.Top, box.Right, box.Bottom);
    else
        Rectangle(DC, box.Left, box.Top, box.Right, box.Bottom);
    if (State == 0) return;
    const TColor ink = State == 2 ? BlendColors(Color, Face, 0.5) : Color;
    DrawSystemMark(DC, Rect(box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1),
                   Radio ? DFCS_MENUBULLET : DFCS_MENUCHECK, ink);
}

void DrawPlainArrow(HDC DC, const TRect& R, int Direction, TColor Color) {
    const int n = std::clamp(std::min(R.Width(), R.Height()) / 4, 2, 5);  // half the base
    if (!DC || R.Width() < 2 * n || R.Height() < 2 * n) return;
    const int cx = R.Left + R.Width() / 2, cy = R.Top + R.Height() / 2;
    const int h = n / 2 + 1;  // from the centre to the tip
    POINT p[3];
    switch (Direction) {
    case 0: p[0] = {cx, cy - h}, p[1] = {cx - n, cy - h + n}, p[2] = {cx + n, cy - h + n}; break;
    case 1: p[0] = {cx, cy + h}, p[1] = {cx - n, cy + h - n}, p[2] = {cx + n, cy + h - n}; break;
    case 2: p[0] = {cx - h, cy}, p[1] = {cx - h + n, cy - n}, p[2] = {cx - h + n, cy + n}; break;
    default: p[0] = {cx + h, cy}, p[1] = {cx + h - n, cy - n}, p[2] = {cx + h - n, cy + n}; break;
    }
    SavedDC saved(DC);
    const COLORREF c = COLORREF(ColorToRGB(Color));
    PenHandle pen(CreatePen(PS_SOLID, 1, c));
    BrushHandle brush(CreateSolidBrush(c));
    SelectGuard selPen(DC, pen.Get());
    SelectGuard selBrush(DC, brush.Get());
    Polygon(DC, p, 3);
}

namespace {

// Lines of a glyph, Pen pixels thick, in the square of side S at (X, Y).
void CaptionGlyphLines(HDC DC, TacCaptionGlyph Kind, int X, int Y, int S, int Pen) {
    const auto box = [&](int L, int T, int Side) {
        const RECT edges[4] = {{L, T, L + Side, T + Pen + 1}, {L, T, L + 1, T + Side}, {L + Side - 1, T, L + Side, T + Side},
                               {L, T + Side - 1, L + Side, T + Side}};
        for (const RECT& e : edges) PatBlt(DC, e.left, e.top, e.right - e.left, e.bottom - e.top, PATCOPY);
    };
    switch (Kind) {
    case cgClose:
        for (int i = 0; i < S; ++i) {
            PatBlt(DC, X + i, Y + i, Pen, 1, PATCOPY);
            PatBlt(DC, X + S - Pen - i, Y + i, Pen, 1, PATCOPY);
        }
        break;
    case cgMaximize: box(X, Y, S); break;
    case cgRestore: {
        const int side = S - S / 4 - 1, shift = S - side;
        box(X + shift, Y, side);
        PatBlt(DC, X, Y + shift, side, side, BLACKNESS);  // the front window hides the back one
        box(X, Y + shift, side);
        break;
    }
    case cgMinimize: PatBlt(DC, X + 1, Y + S - Pen - 1, S - 2, Pen + 1, PATCOPY); break;
    default: break;
    }
}

}  // namespace

void DrawPlainCaptionButton(HDC DC, const TRect& R, TacCaptionGlyph Kind, int State, bool Dim, TColor Ink) {
    const int side = std::min(R.Width(), R.Height());
    if (!DC || side < 8) return;
    const TColor face = TColor(GetPixel(DC, R.Left + R.Width() / 2, R.Top + 1));
    const TColor ink = Dim ? BlendColors(ColorToRGB(Ink), face, 0.5) : ColorToRGB(Ink);
    SavedDC saved(DC);
    if (State > 0) {
        BrushHandle frame(CreateSolidBrush(COLORREF(ink)));
        const RECT r{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
        (State == 2 ? FillRect : FrameRect)(DC, &r, frame.Get());
    }
    // The glyph goes through a white-on-black stencil so that one brush lays
    // every shape, the help mark's text among them.
    const int s = std::max(5, side * 2 / 5), pen = s >= 8 ? 2 : 1;
    MemoryDC mem(DC);
    BitmapHandle stencil(CreateCompatibleBitmap(DC, s + 2, s + 2));
    if (!mem || !stencil) return;
    SelectGuard selBmp(mem.Get(), stencil.Get());
    PatBlt(mem.Get(), 0, 0, s + 2, s + 2, BLACKNESS);
    {
        SelectGuard white(mem.Get(), GetStockObject(WHITE_BRUSH));
        if (Kind == cgHelp) {
            FontHandle font(CreateFontW(-(s + 2), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                                        0, L"Arial"));
            SelectGuard selFont(mem.Get(), font.Get());
            SetTextColor(mem.Get(), RGB(255, 255, 255));
            SetBkMode(mem.Get(), TRANSPARENT);
            RECT t{0, 0, s + 2, s + 2};
            DrawTextW(mem.Get(), L"?", 1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        } else {
            CaptionGlyphLines(mem.Get(), Kind, 1, 1, s, pen);
        }
    }
    const int shift = State == 2 ? 1 : 0;
    const int x = R.Left + (R.Width() - s - 2) / 2 + shift, y = R.Top + (R.Height() - s - 2) / 2 + shift;
    BrushHandle brush(CreateSolidBrush(COLORREF(State == 2 ? face : ink)));
    SelectGuard selBrush(DC, brush.Get());
    SetTextColor(DC, RGB(0, 0, 0));
    SetBkColor(DC, RGB(255, 255, 255));
    // The brush where the stencil is white, the destination elsewhere (P where S, else D).
    BitBlt(DC, x, y, s + 2, s + 2, mem.Get(), 0, 0, 0x00E20746);
}

TColor SectionFontColor(TsSkinManager* Manager, int Section, int State) {
    if (!Manager || !Manager->IsValidSectionIndex(Section)) return clBtnText;
    const TsGeneralData& s = Manager->gd()[size_t(Section)];
    return State > 0 ? s.HotFontColor[0] : s.FontColor[0];
}

void FillBorderOnDC(HDC DC, const TRect& R, int Left, int Top, int Right, int Bottom, TColor Color) {
    if (!DC) return;
    SavedDC saved(DC);
    BrushHandle brush(CreateSolidBrush(COLORREF(ColorToRGB(Color))));
    SelectGuard sel(DC, brush.Get());
    const RECT bands[4] = {{R.Left, R.Top, R.Right, R.Top + Top},
                           {R.Left, R.Top + Top, R.Left + Left, R.Bottom},
                           {R.Left + Left, R.Bottom - Bottom, R.Right, R.Bottom},
                           {R.Right - Right, R.Top + Top, R.Right, R.Bottom - Bottom}};
    for (const RECT& b : bands)
        if (b.right > b.left && b.bottom > b.top) FillRect(DC, &b, brush.Get());
}

void CopyBorderBands(HDC DstDC, int X, int Y, int Width, int Height, HDC SrcDC, int SrcX, int SrcY, int Band) {
    BitBlt(DstDC, X, Y, Band, Height, SrcDC, SrcX, SrcY, SRCCOPY);
    BitBlt(DstDC, X, Y, Width, Band, SrcDC, SrcX, SrcY, SRCCOPY);
    BitBlt(DstDC, X + Width - Band, Y, Band, Height, SrcDC, SrcX + Width - Band, SrcY, SRCCOPY);
    BitBlt(DstDC, X, Y + Height - Band, Width, Band, SrcDC, SrcX, SrcY + Height - Band, SRCCOPY);
}

void ClipOutChildControls(HDC DC, TWinControl* Parent, int OffsetX, int OffsetY) {
    if (!Parent) return;
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (!c->Visible() || !dynamic_cast<TGraphicControl*>(c)) continue;
        ExcludeClipRect(DC, c->Left() + OffsetX, c->Top() + OffsetY, c->Left() + c->Width() + OffsetX,
                        c->Top() + c->Height() + OffsetY);
    }
}

// ---------------------------------------------------------------- masked copies and blends

void CopyMaskedRect(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, bool FillKeyFromCache,
                    const CacheInfo& Cache, TBitmap* Src) {
    if (!Dst || !Src) return;
    const TacImage s = ImageOf(Src);
    CopyMaskedView(ImageOf(Dst), DstRect, s, SrcRect, s.View.Height / 2, BackgroundOf(Cache), FillKeyFromCache,
                   false);
}

void CopyMaskedCell(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                    bool FillKeyFromCache, const CacheInfo& Cache, TBitmap* Src) {
    if (!Dst || !Src) return;
    CopyMaskedView(ImageOf(Dst), DstRect, ImageOf(Src), SrcRect, Mask.R.Height() / 2, BackgroundOf(Cache),
                   FillKeyFromCache, true);
}

void BlendWithBitmap(TBitmap* Dst, TBitmap* Src, uint8_t Weight, const TRect& SrcRect, TPoint DstPoint) {
    if (!Dst || !Src) return;
    TacFastSum24 local;
    TacFastSum24* sum = FastSum24 ? FastSum24 : &local;
    GdiFlush();
    if (!sum->BindBitmaps(Src, Dst)) return;
    const TacBlendRects r = BlendWithRects(SrcRect, DstPoint, Src->Width(), Src->Height(), Dst->Width(), Dst->Height());
    if (r.Empty()) return;
    sum->Alpha = Weight;
    sum->DestRect = r.Dst;
    sum->SourceRect = r.Src;
    sum->BlendRect();
}

void BlendBitmapRect(TBitmap* Dst, int X, int Y, TColor KeyColor, double Factor, const TRect& SrcRect,
                     TBitmap* Src) {
    if (!Dst || !Src) return;
    try {
        BlendBitmapRectView(ImageOf(Dst), X, Y, uint32_t(KeyColor), Factor, SrcRect, ImageOf(Src));
    } catch (const Exception&) {
        // A bitmap the class library cannot give rows of is left alone.
    }
}

void MixWithColorByMask(TBitmap* Bmp, TBitmap* Mask, TColor Color) {
    if (!Bmp || !Mask) return;
    MixWithColorByMaskView(ImageOf(Bmp).View, ImageOf(Mask).View, ColorToRGB(Color));
}

void BlendRoundRect(TBitmap* Bmp, const TRect& R, int Level, int Radius, int Steps, TColor Color) {
    if (!Bmp) return;
    const TRect r = Clipped(R, Bmp);
    if (EmptyRect(r)) return;
    const int w = r.Width(), h = r.Height(), half = std::min(w, h) / 2;
    Radius = std::clamp(Radius, 0, half);
    Steps = std::clamp(Steps, 0, half);
    const int level = PercentToWeight(Level);
    std::unique_ptr<TBitmap> mask(CreateBitmap24(w, h)), part(CreateBitmap24(w, h));
    {
        HDC dc = BitmapDC(mask.get());
        FillRectOnDC(dc, Rect(0, 0, w, h), clWhite);
        PenHandle pen(CreatePen(PS_NULL, 0, 0));
        SelectGuard selPen(dc, pen.Get());
        for (int i = 0; i <= Steps; ++i) {
            const int grey = 255 - int(std::lround(double(255 - level) * (i + 1) / (Steps + 1)));
            BrushHandle brush(CreateSolidBrush(RGB(grey, grey, grey)));
            SelectGuard selBrush(dc, brush.Get());
            RoundRect(dc, i, i, w - i + 1, h - i + 1, Radius * 2, Radius * 2);
        }
    }
    BitBlt(BitmapDC(part.get()), 0, 0, w, h, BitmapDC(Bmp), r.Left, r.Top, SRCCOPY);
    MixWithColorByMask(part.get(), mask.get(), Color);
    BitBlt(BitmapDC(Bmp), r.Left, r.Top, w, h, BitmapDC(part.get()), 0, 0, SRCCOPY);
}

void CopyExceptKeyColor(TBitmap* Dst, TBitmap* Src, int X, int Y, TColor KeyColor) {
    if (!Dst || !Src) return;
    CopyExceptKeyColorView(ImageOf(Dst), ImageOf(Src), X, Y, uint32_t(KeyColor),
                           Rect(0, 0, Src->Width() - 1, Src->Height() - 1));
}

void CopyExceptKeyColorRect(TBitmap* Dst, TBitmap* Src, int X, TColor KeyColor, int Y, const TRect& SrcRect) {
    if (!Dst || !Src) return;
    CopyExceptKeyColorView(ImageOf(Dst), ImageOf(Src), X, Y, uint32_t(KeyColor), SrcRect);
}

void CopyKeyedCorner(TBitmap* Dst, TBitmap* Src, int X, bool FillFromCache, const CacheInfo& Cache,
                     TColor KeyColor, const TRect& SrcRect, int Y) {
    if (!Dst || !Src) return;
    const TacBackground bg = BackgroundOf(Cache);
    CopyKeyedView(ImageOf(Dst), X, Y, ImageOf(Src), SrcRect, uint32_t(KeyColor), &bg,
                  FillFromCache && Cache.Ready && Cache.Bmp);
}

void MixBitmapsByMask(TacMixTarget& Target, TBitmap* A, TBitmap* B, uint8_t Weight, TBitmap* Mask) {
    if (!Target.Bmp || !A || !B) return;
    try {
        // The mix writes four bytes a pixel and reads three: any other depth
        // would run past the rows.
        const TacImage t = ImageOf(Target.Bmp), a = ImageOf(A), b = ImageOf(B), mask = ImageOf(Mask);
        if (t.Bpp != 4 || a.Bpp != 3 || b.Bpp != 3 || (Mask && mask.Bpp != 3)) return;
        MixViewsByMask(t.View, a.View, b.View, Weight, Mask ? &mask.View : nullptr);
    } catch (const Exception&) {
        // Failures of the class library end the mix quietly.
    }
}

// ---------------------------------------------------------------- layered windows and drawing routines

TUpdateLayeredWindow UpdateLayeredWindowEntry = nullptr;
namespace {
HMODULE User32Library = nullptr;
int GraphUtilsRefCount = 0;
}  // namespace

void sGraphUtilsInitialize() {
    if (GraphUtilsRefCount++ != 0 || UpdateLayeredWindowEntry) return;
    User32Library = LoadLibraryW(L"USER32");
    UpdateLayeredWindowEntry = User32Library ? reinterpret_cast<TUpdateLayeredWindow>(reinterpret_cast<void*>(
                                                   GetProcAddress(User32Library, "UpdateLayeredWindow")))
                                             : nullptr;
}

void sGraphUtilsFinalize() {
    if (GraphUtilsRefCount == 0 || --GraphUtilsRefCount != 0) return;
    if (User32Library) FreeLibrary(User32Library);
    User32Library = nullptr;
    UpdateLayeredWindowEntry = nullptr;
}

bool LayeredWindowsAvailable() { return UpdateLayeredWindowEntry != nullptr; }

void DrawBevelFrame(HDC DC, TRect& R, TColor Light, int& Count, TColor Dark) {
    PenHandle light(CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(Light))));
    PenHandle dark(CreatePen(PS_SOLID, 1, COLORREF(Dark)));
    SelectGuard selPen(DC, light.Get());
    SelectGuard selBrush(DC, GetStockObject(NULL_BRUSH));
    --R.Right;
    --R.Bottom;
    while (Count > 0) {
        --Count;
        SelectObject(DC, light.Get());
        const POINT l[3] = {{R.Left, R.Bottom}, {R.Left, R.Top}, {R.Right, R.Top}};
        Polyline(DC, l, 3);
        SelectObject(DC, dark.Get());
        const POINT d[3] = {{R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left - 1, R.Bottom}};
        Polyline(DC, d, 3);
        ++R.Left, ++R.Top, --R.Right, --R.Bottom;
    }
    ++R.Right;
    ++R.Bottom;
}

void DrawDottedFrame(TCanvas* Canvas, const TRect& R) {
    if (!Canvas) return;
    const int w = R.Width(), h = R.Height();
    for (int i = 0; i <= w / 3; ++i) {
        Canvas->SetPixels(R.Left + 3 * i, R.Top, clBlack);
        Canvas->SetPixels(R.Left + 3 * i, R.Bottom, clBlack);
        Canvas->SetPixels(R.Left + 3 * i - 1, R.Top - 1, clWhite);
        Canvas->SetPixels(R.Left + 3 * i - 1, R.Bottom - 1, clWhite);
    }
    for (int j = 0; j <= h / 3; ++j) {
        Canvas->SetPixels(R.Left, R.Top + 3 * j, clBlack);
        Canvas->SetPixels(R.Right, R.Top + 3 * j, clBlack);
        Canvas->SetPixels(R.Left - 1, R.Top + 3 * j - 1, clWhite);
        Canvas->SetPixels(R.Right - 1, R.Top + 3 * j - 1, clWhite);
    }
}

// ---------------------------------------------------------------- skin text

namespace {

// One DrawText pass of the whole string in a colour (-1: none), moved by (DX, DY).
void TextPass(HDC DC, const std::wstring& W, TRect R, int DX, int DY, TColor Color, unsigned Format) {
    if (Color == -1) return;
    SetTextColor(DC, COLORREF(ColorToRGB(Color)));
    RECT r{R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY};
    DrawTextW(DC, W.c_str(), int(W.size()), &r, Format);
}

// The four outline passes (left, top, right, bottom), then the main colour.
void OutlinedText(HDC DC, const std::wstring& W, const TRect& R, const TColor* Colors, unsigned Format,
                  unsigned LastExtra) {
    static const int dx[4] = {-1, 0, 1, 0}, dy[4] = {0, -1, 0, 1};
    for (int i = 0; i < 4; ++i) TextPass(DC, W, R, dx[i], dy[i], Colors[i + 1], Format);
    TextPass(DC, W, R, 0, 0, Colors[0], Format | LastExtra);
}

}  // namespace

void WriteSectionText(TCanvas* Canvas, const char* Text, bool Enabled, TsSkinManager* Manager, bool Hot,
                      int SkinIndex, unsigned Format, TRect R) {
    WriteSectionTextEx(Canvas, Text, Enabled, Manager, Hot, SkinIndex, Format, R);
}

void WriteSectionTextEx(TCanvas* Canvas, const char* Text, bool Enabled, TsSkinManager* Manager, bool Hot,
                        int SkinIndex, unsigned Format, TRect R) {
    TsSkinManager* m = Manager ? Manager : DefaultSkinManager;
    if (!DefaultSkinManager || !m || !m->IsValidSectionIndex(SkinIndex) || !Text || !Canvas) return;
    const TsGeneralData& s = m->gd()[size_t(SkinIndex)];
    Canvas->Brush()->SetStyle(bsClear);
    HDC dc = Canvas->Handle();
    SavedDC saved(dc);
    SelectObject(dc, Canvas->Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    const std::wstring w = ToWide(Text);
    if (Enabled)
        OutlinedText(dc, w, R, Hot ? s.HotFontColor : s.FontColor, Format, 0);
    else
        TextPass(dc, w, R, 0, 0, BlendColors(s.FontColor[0], s.Color, 0.4), Format);
}

void WriteControlText(TCanvas* Canvas, const char* Text, bool Enabled, bool Hot, TsCommonData* Data,
                      unsigned Format, TRect R) {
    WriteControlTextEx(Canvas, Text, Enabled, Hot, Data, Format, R);
}

void WriteControlTextEx(TCanvas* Canvas, const char* Text, bool Enabled, bool Hot, TsCommonData* Data,
                        unsigned Format, TRect R) {
    if (!Canvas || !Data || !Text) return;
    TControl* owner = Data->OwnerControl;
    if (owner) Canvas->SetFont(owner->Font());
    if (Hot && Data->SkinSection() == "WEBBUTTON")
        Canvas->Font()->SetStyle(Canvas->Font()->Style() | FontStyleBit(fsUnderline));
    HDC dc = Canvas->Handle();
    SavedDC saved(dc);
    IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
    TsSkinManager* m = Data->SkinManager();
    int index = Data->SkinSectionNo;
    if (owner && m && owner->Parent() && owner->ParentFont() && m->IsValidSectionIndex(index) &&
        (dynamic_cast<TGraphicControl*>(owner) || Data->ControlTypeCode == 32 || Data->ControlTypeCode == 33 ||
         Data->ControlTypeCode == 74)) {
        const TsGeneralData& own = m->gd()[size_t(index)];
        if ((Hot ? own.HotTransparency : own.Transparency) >= 1) index = FindFontSectionIndex(owner, index, m);
    }
    Canvas->Brush()->SetStyle(bsClear);
    SelectObject(dc, Canvas->Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    const std::wstring w = ToWide(Text);
    const bool valid = m && m->IsValidSectionIndex(index);
    if (Enabled) {
        if (valid && !Data->CustomFont()) {
            const TsGeneralData& s = m->gd()[size_t(index)];
            OutlinedText(dc, w, R, Hot ? s.HotFontColor : s.FontColor, Format, DT_NOCLIP);
        } else {
            TextPass(dc, w, R, 0, 0, Canvas->Font()->Color(), Format | DT_NOCLIP);
        }
    } else if (valid) {
        TextPass(dc, w, R, 0, 0, BlendColors(m->gd()[size_t(index)].FontColor[0], m->GlobalColor(), 0.4), Format);
    } else {
        TextPass(dc, w, R, 0, 0, Canvas->Font()->Color(), Format);
    }
}

void FitTextWithEllipsis(TCanvas* Canvas, const AnsiString& Text, int MaxWidth, AnsiString& Result) {
    Result = MaxWidth > 0 ? Text : AnsiString();
    if (!Canvas || Result.empty() || Canvas->TextWidth(Result) <= MaxWidth) return;
    while (!Result.empty() && Canvas->TextWidth(Result + "...") > MaxWidth) Result.pop_back();
    if (!Result.empty()) Result += "...";
}

void DrawTextOnDC(HDC DC, const AnsiString& Text, TRect& R, unsigned Format) {
    const std::wstring w = ToWide(Text);
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    DrawTextW(DC, w.c_str(), int(w.size()), &r, Format);
    R = Rect(r.left, r.top, r.right, r.bottom);
}

int CanvasTextWidth(TCanvas* Canvas, const AnsiString& Text) { return Canvas->TextExtent(Text).cx; }
TSize CanvasTextExtent(TCanvas* Canvas, const AnsiString& Text) { return Canvas->TextExtent(Text); }
void CanvasTextRect(TCanvas* Canvas, const TRect& R, int X, int Y, const AnsiString& Text) {
    Canvas->TextRect(R, X, Y, Text);
}

// ---------------------------------------------------------------- tiling

TBitmap* MaskImageSource(const TsMaskData& Mask) {
    if (Mask.Image) return Mask.Image;
    return Mask.OwnerManager ? Mask.OwnerManager->MasterBitmap() : nullptr;
}

void BlitPieces(HDC DC, TBitmap* Src, const std::vector<TacPiece>& Pieces) {
    if (Pieces.empty()) return;
    CanvasLock lock(Src);
    HDC src = BitmapDC(Src);
    const int oldMode = SetStretchBltMode(DC, HALFTONE);
    for (const TacPiece& p : Pieces) {
        if (p.Stretch) {
            StretchBlt(DC, p.Dst.Left, p.Dst.Top, p.Dst.Width(), p.Dst.Height(), src, p.Src.Left, p.Src.Top,
                       p.Src.Width(), p.Src.Height(), SRCCOPY);
        } else if (p.Tiled) {
            // One tile, then the painted part doubled across and down: a
            // handful of transfers however small the tile.
            const int w = p.Dst.Width(), h = p.Dst.Height();
            const int tw = std::min(p.Src.Width(), w), th = std::min(p.Src.Height(), h);
            if (tw <= 0 || th <= 0) continue;
            BitBlt(DC, p.Dst.Left, p.Dst.Top, tw, th, src, p.Src.Left, p.Src.Top, SRCCOPY);
            for (int done = tw; done < w; done *= 2)
                BitBlt(DC, p.Dst.Left + done, p.Dst.Top, std::min(done, w - done), th, DC, p.Dst.Left, p.Dst.Top, SRCCOPY);
            for (int done = th; done < h; done *= 2)
                BitBlt(DC, p.Dst.Left, p.Dst.Top + done, w, std::min(done, h - done), DC, p.Dst.Left, p.Dst.Top, SRCCOPY);
        } else {
            BitBlt(DC, p.Dst.Left, p.Dst.Top, p.Dst.Width(), p.Dst.Height(), src, p.Src.Left, p.Src.Top, SRCCOPY);
        }
    }
    SetStretchBltMode(DC, oldMode);
}

void TileTexture(TCanvas* Canvas, const TRect& R, TGraphic* Graphic) {
    if (!Canvas || !Graphic || Graphic->Empty() || EmptyRect(R)) return;
    const int gw = Graphic->Width(), gh = Graphic->Height();
    if (gw <= 0 || gh <= 0) return;
    if (auto* bmp = dynamic_cast<TBitmap*>(Graphic)) {
        TRect r = R;
        std::vector<TacPiece> pieces;
        PlanTileSkinImage(r, 0, 0, gw, gh, 0, pieces);
        BlitPieces(Canvas->Handle(), bmp, pieces);
        return;
    }
    HDC dc = Canvas->Handle();
    SavedDC saved(dc);
    IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
    for (int y = 0; y < R.Height() / gh + 1; ++y)
        for (int x = 0; x < R.Width() / gw + 1; ++x) Canvas->Draw(R.Left + x * gw, R.Top + y * gh, Graphic);
}

void TileSkinImage(TCanvas* Canvas, TRect& R, TGraphic* Graphic, int Mode, const TsMaskData& Mask) {
    if (!Canvas) return;
    if (Graphic && !Graphic->Empty()) {
        TileTexture(Canvas, R, Graphic);
        R = Rect(-1, -1, -1, -1);
        return;
    }
    if (!Mask.OwnerManager || !Mask.OwnerManager->MasterBitmap() || Mask.ImageCount <= 0 || Mask.MaskType < 0)
        return;
    std::vector<TacPiece> pieces;
    PlanTileSkinImage(R, Mask.R.Left, Mask.R.Top, Mask.R.Width() / Mask.ImageCount,
                      Mask.R.Height() / (Mask.MaskType + 1), TileModeOf(Mode), pieces);
    BlitPieces(Canvas->Handle(), Mask.OwnerManager->MasterBitmap(), pieces);
}

void PaintCornersMasked(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                        const CacheInfo& Bg) {
    TBitmap* src = MaskImageSource(Mask);
    if (!Dst || !src) return;
    // Key pixels take the background; a background of no colour leaves them.
    const bool fill = Bg.Ready || Bg.Color != TransparentKeyColor;
    CopyMaskedView(ImageOf(Dst), DstRect, ImageOf(src), SrcRect, Mask.R.Height() / 2, BackgroundOf(Bg), fill, true);
}

void TileMaskedSkinImage(TBitmap* Bmp, TRect& R, CacheInfo ParentCache, int Mode, const TsMaskData& Mask) {
    if (!Bmp || !Mask.OwnerManager || Mask.ImageCount <= 0) return;
    const int cw = Mask.R.Width() / Mask.ImageCount, ch = Mask.R.Height() / 2;
    std::vector<TacPiece> pieces;
    std::vector<TRect> strips;
    PlanMaskedTiles(R, Mask.R.Left, Mask.R.Top, cw, ch, Mode == 10 ? 10 : 0, pieces, &strips);
    for (const TacPiece& p : pieces) PaintCornersMasked(p.Dst, p.Src, Bmp, Mask, ParentCache);
    for (const TRect& s : strips) {
        if (ParentCache.Ready && ParentCache.Bmp) {
            CanvasLock lock(ParentCache.Bmp);
            BitBlt(BitmapDC(Bmp), s.Left, s.Top, s.Width(), s.Height(), BitmapDC(ParentCache.Bmp),
                   s.Left + ParentCache.X, s.Top + ParentCache.Y, SRCCOPY);
        } else {
            FillRectOnDC(BitmapDC(Bmp), s, ParentCache.Color);
        }
    }
    R = Rect(-1, -1, -1, -1);
}

void CollectCornerKeyRects(std::vector<TRect>& Rects, int Width, const TsMaskData& Mask, bool Bottom, int Top) {
    TBitmap* src = MaskImageSource(Mask);
    if (!src || Mask.ImageCount <= 0 || Mask.MaskType < 0) return;
    const TacImage img = ImageOf(src);
    if (img.Empty()) return;
    const int cellW = Mask.R.Width() / Mask.ImageCount, cellH = Mask.R.Height() / (Mask.MaskType + 1);
    const int rows = Bottom ? Mask.WB : Mask.WT;
    const int firstRow = Bottom ? Mask.R.Top + cellH - Mask.WB : Mask.R.Top;
    if (firstRow < 0 || firstRow + rows > img.View.Height || Mask.R.Left < 0 || Mask.R.Left + cellW > img.View.Width)
        return;
    // Only the run that reaches the outer edge lies outside the frame's
    // outline; key pixels inside it show the face and stay in the window.
    auto outerRun = [&](int Row, int FromCol, int Cols, int DstX, bool FromLeft) {
        int n = 0;
        while (n < Cols && IsKeyPixel(img.At(FromLeft ? FromCol + n : FromCol + Cols - 1 - n, firstRow + Row))) ++n;
        if (n == 0) return;
        if (FromLeft)
            Rects.push_back(Rect(DstX, Top + Row, DstX + n, Top + Row + 1));
        else
            Rects.push_back(Rect(DstX + Cols - n, Top + Row, DstX + Cols, Top + Row + 1));
    };
    for (int row = 0; row < rows; ++row) {
        outerRun(row, Mask.R.Left, std::min<int>(Mask.WL, cellW), 0, true);
        const int wr = std::min<int>(Mask.WR, cellW);
        outerRun(row, Mask.R.Left + cellW - wr, wr, Width - wr, false);
    }
}

// ---------------------------------------------------------------- section backgrounds

namespace {


struct SectionFill {
    TColor Color = 0;
    int Transparency = 0, ImagePercent = 0, GradientPercent = 0;
    const TsGradArray* Bands = nullptr;
    int MaskIndex = -1;     // texture from the image table
    int PatternIndex = -1;  // else a JPEG pattern
};

void PaintParent(TBitmap* Bmp, const TRect& R, const CacheInfo& Parent, TPoint Offset) {
    if (Parent.Ready && Parent.Bmp) {
        if (Parent.Bmp == Bmp) return;
        CanvasLock lock(Parent.Bmp);
        BitBlt(BitmapDC(Bmp), R.Left, R.Top, R.Width(), R.Height(), BitmapDC(Parent.Bmp), Parent.X + Offset.X,
               Parent.Y + Offset.Y, SRCCOPY);
    } else {
        FillRectOnDC(BitmapDC(Bmp), R, Parent.Color);
    }
}

void FillGradientOrColor(TBitmap* Bmp, const TRect& R, const SectionFill& F) {
    if (F.Bands && !F.Bands->empty())
        PaintGradient(Bmp, R, *F.Bands);
    else
        FillRectOnDC(BitmapDC(Bmp), R, F.Color);
}

// The fill step: texture, gradient, colour, in that order, into R of Bmp.
void FillStep(TBitmap* Bmp, const TRect& R, const SectionFill& F, TsSkinManager* M, const CacheInfo& Parent,
              bool OverCache) {
    bool textured = false;
    if (F.ImagePercent > 0) {
        TRect rest = R;
        if (M->Tables().IsValidPatternIndex(F.PatternIndex) && M->Tables().Patterns[size_t(F.PatternIndex)].Image) {
            TileTexture(Bmp->Canvas(), R, M->Tables().Patterns[size_t(F.PatternIndex)].Image);
            rest = Rect(-1, -1, -1, -1);
            textured = true;
        } else if (M->IsValidMaskIndex(F.MaskIndex)) {
            const TsMaskData& t = M->ma()[size_t(F.MaskIndex)];
            if (t.MaskType != 0)
                TileMaskedSkinImage(Bmp, rest, Parent, TileModeOf(t.StretchMode), t);
            else
                TileSkinImage(Bmp->Canvas(), rest, t.Image, TileModeOf(t.StretchMode), t);
            textured = true;
        }
        if (textured && rest.Left >= 0 && !EmptyRect(rest)) FillRectOnDC(BitmapDC(Bmp), rest, F.Color);
    }
    if (F.GradientPercent > 0) {
        if (!textured) {
            FillGradientOrColor(Bmp, R, F);
        } else {
            std::unique_ptr<TBitmap> g(CreateBitmap24(R.Width(), R.Height()));
            FillGradientOrColor(g.get(), Rect(0, 0, R.Width(), R.Height()), F);
            // The texture keeps ImagePercent of the result. One rule for both
            // variants: x 256 div 100 taken modulo 256 would make 100 % mean 0.
            BlendWithBitmap(Bmp, g.get(), PercentToWeight(F.ImagePercent), Rect(0, 0, R.Width(), R.Height()),
                            Point(R.Left, R.Top));
        }
    }
    // A parent without a colour leaves the key colour where the section lets
    // it show; over the cache an unready parent gives its colour only where
    // the section is wholly transparent. A parent known by its colour is
    // blended in afterwards by Transparency, so the fill keeps its own.
    const int sum = F.ImagePercent + F.GradientPercent;
    if (sum > 0 && sum < 100) {
        BlendRectWithColor(Bmp, R, uint8_t(sum), F.Color);
    } else if (sum == 0 || (OverCache && sum != 100)) {
        const bool parentColour =
            !Parent.Ready && (OverCache ? F.Transparency == 100
                                        : F.Transparency != 0 && Parent.Color == TransparentKeyColor);
        FillRectOnDC(BitmapDC(Bmp), R, parentColour ? Parent.Color : F.Color);
    }
}

// The parent under the rectangle, then the fill blended over it by
// Transparency; or the fill alone.
void FillOverParent(TBitmap* Bmp, const TRect& R, const SectionFill& F, TsSkinManager* M, const CacheInfo& Parent,
                    TPoint Offset, bool ParentKnown, bool OverCache) {
    CacheInfo shifted = Parent;
    shifted.X += Offset.X - R.Left;
    shifted.Y += Offset.Y - R.Top;
    if (ParentKnown && F.Transparency >= 100) {
        PaintParent(Bmp, R, Parent, Offset);
        return;
    }
    if (ParentKnown && F.Transparency > 0) {
        std::unique_ptr<TBitmap> tmp(CreateBitmap24(R.Width(), R.Height()));
        CacheInfo local = Parent;
        local.X += Offset.X;
        local.Y += Offset.Y;
        FillStep(tmp.get(), Rect(0, 0, R.Width(), R.Height()), F, M, local, OverCache);
        PaintParent(Bmp, R, Parent, Offset);
        BlendWithBitmap(Bmp, tmp.get(), PercentToWeight(F.Transparency), Rect(0, 0, R.Width(), R.Height()),
                        Point(R.Left, R.Top));
        return;
    }
    FillStep(Bmp, R, F, M, shifted, OverCache);
}

// A masked texture of tile mode 10 painted last over the whole rectangle.
void MaskedTextureLast(TBitmap* Bmp, TRect R, TsSkinManager* M, int TextureIndex, int HotTextureIndex,
                       CacheInfo Parent, TPoint Offset) {
    const int i = M->IsValidMaskIndex(TextureIndex) ? TextureIndex : HotTextureIndex;
    if (!M->IsValidMaskIndex(i)) return;
    const TsMaskData& t = M->ma()[size_t(i)];
    if (t.MaskType == 0 || t.StretchMode != 10) return;
    Parent.X += Offset.X - R.Left;
    Parent.Y += Offset.Y - R.Top;
    TileMaskedSkinImage(Bmp, R, Parent, 10, t);
}

TRect InsideBitmap(TRect R, TBitmap* Bmp) { return Clipped(R, Bmp); }

}  // namespace

namespace {

// What PaintSectionBG fills with: the section's state values, or the custom
// colour alone; the texture given, else the section's own, else its pattern.
SectionFill ChooseFill(const TsSection& Section, TColor CustomColor, int HotTextureIndex, int TextureIndex,
                       TsSkinManager* M, bool Hot) {
    const int st = Hot ? 1 : 0;
    SectionFill f;
    if (CustomColor != TransparentKeyColor) {
        f.Color = CustomColor;
        return f;
    }
    const TsGeneralData& S = M->gd()[size_t(Section.Index)];
    f.Color = S.StateColor(st);
    f.Transparency = S.StateTransparency(st);
    if (f.Transparency != 100) {
        f.ImagePercent = S.StateImagePercent(st);
        f.GradientPercent = S.StateGradientPercent(st);
    }
    if (f.GradientPercent != 0) f.Bands = Hot ? &S.HotGradientBands : &S.GradientBands;
    if (f.ImagePercent > 0) {
        const int given = Hot ? HotTextureIndex : TextureIndex;
        const char* key = Hot ? "HOTPATTERN" : "PATTERN";
        if (M->IsValidMaskIndex(given) && M->ma()[size_t(given)].MaskType == 0)
            f.MaskIndex = given;
        else if (given == -1)
            f.MaskIndex = M->TextureIndex(Section, key);
        if (!M->IsValidMaskIndex(f.MaskIndex)) {
            f.MaskIndex = -1;
            f.PatternIndex = M->PatternIndex(Section, key);
        }
    }
    return f;
}

// A provider's state has no owner control: its colour is its form's.
TColor CustomColorOf(TsCommonData* Data) {
    if (!Data->CustomColor()) return TransparentKeyColor;
    if (Data->OwnerControl) return ColorToRGB(Data->OwnerControl->Color());
    if (auto* p = dynamic_cast<TacFormProvider*>(Data->OwnerObject); p && p->ProviderForm())
        return ColorToRGB(p->ProviderForm()->Color());
    return TransparentKeyColor;
}

}  // namespace

void PaintSectionBG(const TsSection& Section, CacheInfo ParentCache, TColor CustomColor, int HotTextureIndex,
                    int TextureIndex, TsSkinManager* Manager, TBitmap* Bmp, TPoint Offset, TRect R, bool Hot) {
    TsSkinManager* m = Manager ? Manager : DefaultSkinManager;
    if (!DefaultSkinManager || !m || !m->IsValidSectionIndex(Section.Index) || !Bmp) return;
    // The offset is where R's corner lies over the parent: it moves with a cut corner.
    const TRect inside = InsideBitmap(R, Bmp);
    Offset.X += inside.Left - R.Left;
    Offset.Y += inside.Top - R.Top;
    R = inside;
    if (EmptyRect(R)) return;
    const SectionFill f = ChooseFill(Section, CustomColor, HotTextureIndex, TextureIndex, m, Hot);
    const bool parentKnown = ParentCache.Ready || ParentCache.Color != TransparentKeyColor;
    FillOverParent(Bmp, R, f, m, ParentCache, Offset, parentKnown, false);
    if (!Hot) MaskedTextureLast(Bmp, R, m, TextureIndex, HotTextureIndex, ParentCache, Offset);
}

bool TiledSectionFill(TsCommonData* Data, CacheInfo ParentCache, bool Hot, TacTiledFill& Fill) {
    TsSkinManager* m = Data ? Data->SkinManager() : nullptr;
    if (!DefaultSkinManager || !m || !m->IsValidSectionIndex(Data->SkinSectionNo)) return false;
    // Over a known parent the fill takes the parent's pixels under it.
    if (ParentCache.Ready || ParentCache.Color != TransparentKeyColor) return false;
    const SectionFill f =
        ChooseFill(Data->Resolved(), CustomColorOf(Data), Data->HotPatternNo, Data->PatternNo, m, Hot);
    if (f.Transparency != 0 || f.GradientPercent != 0 || f.ImagePercent <= 0) return false;
    // A masked texture laid over last changes pixels by the rectangle's size.
    const int last = m->IsValidMaskIndex(Data->PatternNo) ? Data->PatternNo : Data->HotPatternNo;
    if (!Hot && m->IsValidMaskIndex(last) && m->ma()[size_t(last)].MaskType != 0 && m->ma()[size_t(last)].StretchMode == 10)
        return false;
    Fill = TacTiledFill{};
    Fill.Manager = m;
    Fill.Color = f.Color;
    Fill.Percent = f.ImagePercent;
    if (m->Tables().IsValidPatternIndex(f.PatternIndex) && m->Tables().Patterns[size_t(f.PatternIndex)].Image) {
        TGraphic* g = m->Tables().Patterns[size_t(f.PatternIndex)].Image;
        Fill.Source = g;
        Fill.TileW = g->Width();
        Fill.TileH = g->Height();
    } else if (m->IsValidMaskIndex(f.MaskIndex)) {
        const TsMaskData& t = m->ma()[size_t(f.MaskIndex)];
        if (t.MaskType != 0) return false;
        if (t.Image && !t.Image->Empty()) {
            Fill.Source = t.Image;
            Fill.TileW = t.Image->Width();
            Fill.TileH = t.Image->Height();
        } else {
            if (TileModeOf(t.StretchMode) != 0 || t.ImageCount <= 0) return false;
            Fill.Source = MaskImageSource(t);
            Fill.Cell = t.R;
            Fill.TileW = t.R.Width() / t.ImageCount;
            Fill.TileH = t.R.Height() / (t.MaskType + 1);
        }
    } else {
        return false;
    }
    return Fill.Source && Fill.TileW > 0 && Fill.TileH > 0;
}

void PaintControlSectionBG(TsCommonData* Data, CacheInfo ParentCache, bool Hot, TBitmap* Bmp, TPoint Offset,
                           TRect R) {
    if (!Data) return;
    PaintSectionBG(Data->Resolved(), ParentCache, CustomColorOf(Data), Data->HotPatternNo, Data->PatternNo,
                   Data->SkinManager(), Bmp, Offset, R, Hot);
}

void PaintSectionBGOverCache(const TsSection& Section, int TextureIndex, int HotTextureIndex, TsSkinManager* Manager,
                             TBitmap* Bmp, TPoint Offset, TRect R, bool Hot, CacheInfo ParentCache) {
    TsSkinManager* m = Manager ? Manager : DefaultSkinManager;
    if (!m || !m->IsValidSectionIndex(Section.Index) || !Bmp) return;
    R = InsideBitmap(R, Bmp);
    if (EmptyRect(R)) return;
    const TsGeneralData& s = m->gd()[size_t(Section.Index)];
    const int st = Hot ? 1 : 0;
    SectionFill f;
    f.Color = s.StateColor(st);
    f.Transparency = s.StateTransparency(st);
    f.ImagePercent = s.StateImagePercent(st);
    f.GradientPercent = s.StateGradientPercent(st);
    if (f.GradientPercent != 0) f.Bands = Hot ? &s.HotGradientBands : &s.GradientBands;
    f.MaskIndex = Hot ? HotTextureIndex : TextureIndex;
    FillOverParent(Bmp, R, f, m, ParentCache, Offset, ParentCache.Ready && ParentCache.Bmp, true);
}

namespace {

void PaintCorners(const TsSection& Section, TsSkinManager* M, TBitmap* Bmp, const TRect& R, int State) {
    CacheInfo self = MakeBitmapBackground(Bmp, 0, 0);
    static const char* names[4] = {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"};
    for (int i = 0; i < 4; ++i) {
        const int k = M->MaskIndexInherited(Section, names[i]);
        if (!M->IsValidMaskIndex(k)) continue;
        const TsMaskData& c = M->ma()[size_t(k)];
        if (c.ImageCount <= 0 || c.MaskType < 0) continue;
        const int cw = c.R.Width() / c.ImageCount, ch = c.R.Height() / (c.MaskType + 1);
        const int x = (i & 1) ? R.Right - cw : R.Left, y = (i & 2) ? R.Bottom - ch : R.Top;
        PaintGlyphFromImage(Bmp, Point(x, y), State, 1, c, self);
    }
}

}  // namespace

void PaintSectionFull(const TsSection& Section, CacheInfo ParentCache, int HotTextureIndex, int TextureIndex,
                      TsSkinManager* Manager, TBitmap* Bmp, TPoint Offset, TRect R, int State, bool Fill) {
    if (!Bmp || EmptyRect(R) || R.Left < 0 || R.Top < 0 || R.Right > Bmp->Width() || R.Bottom > Bmp->Height()) return;
    TsSkinManager* m = Manager ? Manager : DefaultSkinManager;
    if (!m || !m->IsValidSectionIndex(Section.Index)) return;
    PaintSectionBG(Section, ParentCache, TransparentKeyColor, HotTextureIndex, TextureIndex, m, Bmp, Offset, R,
                   State != 0);
    PaintCorners(Section, m, Bmp, R, State);
    const int b = m->MaskIndexInherited(Section, "BORDERSMASK");
    if (m->IsValidMaskIndex(b)) {
        CacheInfo bg = ParentCache;
        bg.X += Offset.X;
        bg.Y += Offset.Y;
        PaintImageByMargins(Bmp, R, Fill, bg, m->ma()[size_t(b)], State, true);
    }
}

void PaintSectionToDC(const TsSection& Section, CacheInfo ParentCache, TsSkinManager* Manager, HDC DC, TPoint Offset,
                      TRect R, int State, bool Fill) {
    TsSkinManager* m = Manager ? Manager : DefaultSkinManager;
    if (!m || !m->IsValidSectionIndex(Section.Index) || !DC || R.Left < 0 || R.Top < 0 || R.Width() < 1 ||
        R.Height() < 1)
        return;
    SavedDC saved(DC);
    std::unique_ptr<TBitmap> tmp(CreateBitmap24(R.Width(), R.Height()));
    PaintSectionFull(Section, ParentCache, -1, -1, m, tmp.get(), Offset,
                     Rect(0, 0, R.Width(), R.Height()), State, Fill);
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), BitmapDC(tmp.get()), 0, 0, SRCCOPY);
}

void PaintSectionWithImage(const TsSection& Section, int MaskIndex, int TextureIndex, TsSkinManager* Manager,
                           TBitmap* Bmp, TPoint Offset, TRect R, int State, bool Fill, CacheInfo ParentCache,
                           int HotTextureIndex) {
    TsSkinManager* m = Manager ? Manager : DefaultSkinManager;
    if (!m || !Bmp) return;
    PaintSectionBGOverCache(Section, TextureIndex, HotTextureIndex, m, Bmp, Offset, R, State != 0, ParentCache);
    if (m->IsValidMaskIndex(MaskIndex)) {
        CacheInfo bg = ParentCache;
        bg.X += Offset.X;
        bg.Y += Offset.Y;
        PaintImageByMargins(Bmp, R, Fill, bg, m->ma()[size_t(MaskIndex)], State, true);
    }
}

void PaintControlSection(TsCommonData* Data, CacheInfo ParentCache, bool Fill, TBitmap* Bmp, TPoint Offset,
                         TRect R, int State) {
    if (!Data || !Bmp || EmptyRect(R)) return;
    TsSkinManager* m = Data->SkinManager();
    if (!m || !m->IsValidSectionIndex(Data->SkinSectionNo)) return;
    PaintControlSectionBG(Data, ParentCache, State != 0, Bmp, Offset, R);
    PaintControlSectionFrame(Data, ParentCache, Fill, Bmp, Offset, R, State);
}

void PaintControlSectionFrame(TsCommonData* Data, CacheInfo ParentCache, bool Fill, TBitmap* Bmp, TPoint Offset,
                              TRect R, int State, const std::vector<TRect>* Clips) {
    if (!Data || !Bmp || EmptyRect(R)) return;
    TsSkinManager* m = Data->SkinManager();
    if (!m || !m->IsValidSectionIndex(Data->SkinSectionNo)) return;
    if (m->IsValidMaskIndex(Data->BorderMaskNo) && (State != 0 || !(m->ma()[size_t(Data->BorderMaskNo)].StretchMode & 2))) {
        const TsMaskData& b = m->ma()[size_t(Data->BorderMaskNo)];
        CacheInfo bg = ParentCache;
        bg.X += Offset.X;
        bg.Y += Offset.Y;
        if (!Clips)
            PaintImageByMargins(Bmp, R, Fill, bg, b, State, true);
        else
            for (const TRect& c : *Clips) PaintImageByMargins(Bmp, R, Fill, bg, b, State, true, &c);
    }
    PaintCorners(Data->Resolved(), m, Bmp, R, State);
}
