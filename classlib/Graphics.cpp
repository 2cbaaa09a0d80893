#include "Graphics.h"

#include <algorithm>
#include <cstring>

#include "BmpCodec.h"
#include "IcoCodec.h"
#include "Jpeg.h"
#include "Guards.h"
#include "ResourceStream.h"
#include "WinText.h"

namespace {

COLORREF Ref(TColor c) { return static_cast<COLORREF>(ColorToRGB(c)) & 0xFFFFFF; }

// The screen's DC, for creating compatible objects and asking the device.
struct ScreenDC : WindowDC {
    ScreenDC() : WindowDC(nullptr) {}
};

int ScreenLogPixelsY() {
    static int ppi = [] {
        ScreenDC s;
        const int v = GetDeviceCaps(s.Get(), LOGPIXELSY);
        return v > 0 ? v : 96;
    }();
    return ppi;
}

[[noreturn]] void OutOfResources() { throw EOutOfMemory("Out of system resources"); }

DibLayout LayoutOf(TPixelFormat pf) {
    const int bits = PixelFormatBits(pf);
    return {bits ? bits : 24, pf == pf16bit};
}

TPixelFormat FormatOf(const DibLayout& l) {
    switch (l.BitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return l.Is565 ? pf16bit : pf15bit;
    case 32: return pf32bit;
    default: return pf24bit;
    }
}

// BITMAPINFO with room for a full colour table or three bit-field masks.
struct DibInfo {
    BITMAPINFOHEADER h{};
    RGBQUAD colors[256]{};
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

void FillInfo(DibInfo& bi, int w, int h, const DibLayout& l, const std::vector<uint32_t>& palette) {
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = w;
    bi.h.biHeight = h;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = static_cast<WORD>(l.BitCount);
    bi.h.biCompression = BI_RGB;
    if (l.BitCount == 16 && l.Is565) {
        bi.h.biCompression = BI_BITFIELDS;
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(bi.colors, masks, sizeof masks);
    } else if (l.BitCount <= 8) {
        const size_t n = std::min<size_t>(palette.size(), size_t(1) << l.BitCount);
        bi.h.biClrUsed = static_cast<DWORD>(n);
        for (size_t i = 0; i < n; ++i) std::memcpy(&bi.colors[i], &palette[i], 4);
    }
}

// Memory DCs of bitmap canvases are a limited resource: past this many the
// oldest unlocked ones are given back (and made again on next use).
constexpr size_t kMaxBitmapDCs = 256;

}  // namespace

HBITMAP CreateDibSection(int Width, int Height, const DibLayout& Layout, const std::vector<uint32_t>& Palette,
                         void*& Bits) {
    DibInfo bi;
    FillInfo(bi, Width, Height, Layout, Palette);
    Bits = nullptr;
    HBITMAP h = CreateDIBSection(nullptr, bi.get(), DIB_RGB_COLORS, &Bits, nullptr, 0);
    if (h && !Bits) DeleteObject(h);
    if (!h || !Bits) {
        Bits = nullptr;
        return nullptr;
    }
    return h;
}

TColor ColorToRGB(TColor Color) {
    if (Color < 0) return static_cast<TColor>(GetSysColor(Color & 0xFF));
    return Color;
}

// ---------------------------------------------------------------- font, pen, brush

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

TFont::TFont()
    : FName("MS Sans Serif"), FHeight(-11), FColor(clWindowText), FCharset(DEFAULT_CHARSET),
      FPixelsPerInch(ScreenLogPixelsY()) {}

TFont::~TFont() {
    if (FHandle) DeleteObject(FHandle);
}

void TFont::Changed() { ChangedDroppingHandle(FHandle); }

void TFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        if (f == this) return;
        FName = f->FName;
        FHeight = f->FHeight;
        FColor = f->FColor;
        FStyle = f->FStyle;
        FCharset = f->FCharset;
        FPitch = f->FPitch;
        FOrientation = f->FOrientation;
        FPixelsPerInch = f->FPixelsPerInch;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetName(const AnsiString& v) {
    if (v.empty() || v == FName) return;
    FName = v;
    Changed();
}
void TFont::SetHeight(int v) {
    if (v == FHeight) return;
    FHeight = v;
    Changed();
}
int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }
void TFont::SetSize(int v) { SetHeight(-MulDiv(v, FPixelsPerInch, 72)); }
void TFont::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    // The colour is not part of the font object: keep the handle.
    TGraphicsObject::Changed();
}
void TFont::SetStyle(TFontStyles v) {
    v &= 0x0F;
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}
void TFont::SetCharset(TFontCharset v) {
    if (v == FCharset) return;
    FCharset = v;
    Changed();
}
void TFont::SetPitch(TFontPitch v) {
    if (v == FPitch) return;
    FPitch = v;
    Changed();
}
void TFont::SetOrientation(int v) {
    if (v == FOrientation) return;
    FOrientation = v;
    Changed();
}

LOGFONTW TFont::LogFont() const {
    LOGFONTW lf{};
    lf.lfHeight = FHeight;
    lf.lfEscapement = FOrientation;
    lf.lfOrientation = FOrientation;
    lf.lfWeight = (FStyle & FontStyleBit(fsBold)) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (FStyle & FontStyleBit(fsItalic)) ? 1 : 0;
    lf.lfUnderline = (FStyle & FontStyleBit(fsUnderline)) ? 1 : 0;
    lf.lfStrikeOut = (FStyle & FontStyleBit(fsStrikeOut)) ? 1 : 0;
    lf.lfCharSet = FCharset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = FPitch == fpVariable ? VARIABLE_PITCH : FPitch == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
    const std::wstring face = ToWide(FName);
    const size_t n = std::min<size_t>(face.size(), LF_FACESIZE - 1);
    std::memcpy(lf.lfFaceName, face.data(), n * sizeof(wchar_t));
    lf.lfFaceName[n] = 0;
    return lf;
}

HFONT TFont::Handle() {
    if (!FHandle) {
        const LOGFONTW lf = LogFont();
        FHandle = CreateFontIndirectW(&lf);
        if (!FHandle) OutOfResources();
    }
    return FHandle;
}

TPen::~TPen() {
    if (FHandle) DeleteObject(FHandle);
}

void TPen::Changed() { ChangedDroppingHandle(FHandle); }

void TPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        if (p == this) return;
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Changed();
}
void TPen::SetWidth(int v) {
    if (v < 0) v = 0;
    if (v == FWidth) return;
    FWidth = v;
    Changed();
}
void TPen::SetStyle(TPenStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}
void TPen::SetMode(TPenMode v) {
    if (v == FMode) return;
    FMode = v;
    // The mix mode is a DC setting, not part of the pen object.
    TGraphicsObject::Changed();
}

HPEN TPen::Handle() {
    if (!FHandle) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle = CreatePen(styles[FStyle], FWidth, Ref(FColor));
        if (!FHandle) OutOfResources();
    }
    return FHandle;
}

TBrush::~TBrush() {
    if (FHandle) DeleteObject(FHandle);
}

void TBrush::Changed() { ChangedDroppingHandle(FHandle); }

void TBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        if (b == this) return;
        FColor = b->FColor;
        FStyle = b->FStyle;
        FBitmap = b->FBitmap;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor v) {
    if (v == FColor && FStyle != bsClear) return;
    FColor = v;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}
void TBrush::SetStyle(TBrushStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}
void TBrush::SetBitmap(TBitmap* v) {
    if (v == FBitmap) return;
    FBitmap = v;
    Changed();
}

HBRUSH TBrush::Handle() {
    if (!FHandle) {
        if (FBitmap && !FBitmap->Empty()) {
            FHandle = CreatePatternBrush(FBitmap->Handle());
        } else {
            LOGBRUSH lb{};
            lb.lbColor = Ref(FColor);
            if (FStyle == bsSolid) {
                lb.lbStyle = BS_SOLID;
            } else if (FStyle == bsClear) {
                lb.lbStyle = BS_NULL;
            } else {
                lb.lbStyle = BS_HATCHED;
                lb.lbHatch = static_cast<ULONG_PTR>(FStyle - bsHorizontal);  // HS_HORIZONTAL ...
            }
            FHandle = CreateBrushIndirect(&lb);
        }
        if (!FHandle) OutOfResources();
    }
    return FHandle;
}

// ---------------------------------------------------------------- canvas

TCanvas::TCanvas() : FFont(new TFont), FPen(new TPen), FBrush(new TBrush) {
    FFont->OnChange = TNotifyEvent::Of<&TCanvas::FontChanged>(this);
    FPen->OnChange = TNotifyEvent::Of<&TCanvas::PenChanged>(this);
    FBrush->OnChange = TNotifyEvent::Of<&TCanvas::BrushChanged>(this);
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
}

HDC TCanvas::Handle() {
    RequiredState(kHandleValid);
    return FHandle;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == FHandle) return;
    if (FHandle) DeselectHandles();
    FHandle = dc;
    FState = dc ? unsigned(kHandleValid) : 0u;
}

void TCanvas::DeselectHandles() {
    if (FHandle) {
        if (FOldFont) SelectObject(FHandle, FOldFont);
        if (FOldPen) SelectObject(FHandle, FOldPen);
        if (FOldBrush) SelectObject(FHandle, FOldBrush);
    }
    FOldFont = FOldPen = FOldBrush = nullptr;
    FState &= unsigned(kHandleValid);
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::RequiredState(unsigned state) {
    const unsigned need = state & ~FState;
    if (!need) return;
    if (need & kHandleValid) {
        CreateHandle();
        if (!FHandle) throw EInvalidGraphicOperation("Canvas does not allow drawing");
        FState |= kHandleValid;
    }
    if (need & kFontValid) {
        HGDIOBJ old = SelectObject(FHandle, FFont->Handle());
        if (!FOldFont) FOldFont = old;
        SetTextColor(FHandle, Ref(FFont->Color()));
    }
    if (need & kPenValid) {
        HGDIOBJ old = SelectObject(FHandle, FPen->Handle());
        if (!FOldPen) FOldPen = old;
        static const int rops[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                   R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                   R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                   R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
        SetROP2(FHandle, rops[FPen->Mode()]);
    }
    if (need & kBrushValid) {
        HBRUSH b = FBrush->Handle();
        UnrealizeObject(b);
        HGDIOBJ old = SelectObject(FHandle, b);
        if (!FOldBrush) FOldBrush = old;
        // Text and hatches go over the brush colour only with a solid brush.
        if (FBrush->Style() == bsSolid) {
            SetBkColor(FHandle, Ref(FBrush->Color()));
            SetBkMode(FHandle, OPAQUE);
        } else {
            SetBkColor(FHandle, ~Ref(FBrush->Color()) & 0xFFFFFF);
            SetBkMode(FHandle, TRANSPARENT);
        }
    }
    FState |= need;
}

void TCanvas::FontChanged(TObject*) {
    if (FState & kFontValid) {
        if (FOldFont) SelectObject(FHandle, FOldFont);
        FOldFont = nullptr;
        FState &= ~kFontValid;
    }
}
void TCanvas::PenChanged(TObject*) {
    if (FState & kPenValid) {
        if (FOldPen) SelectObject(FHandle, FOldPen);
        FOldPen = nullptr;
        FState &= ~kPenValid;
    }
}
void TCanvas::BrushChanged(TObject*) {
    if (FState & kBrushValid) {
        if (FOldBrush) SelectObject(FHandle, FOldBrush);
        FOldBrush = nullptr;
        FState &= ~kBrushValid;
    }
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}
void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
    RequiredState(kHandleValid);
    POINT p{};
    GetCurrentPositionEx(FHandle, &p);
    return TPoint{p.x, p.y};
}
void TCanvas::SetPenPos(const TPoint& p) { MoveTo(p.X, p.Y); }

TRect TCanvas::ClipRect() {
    RequiredState(kHandleValid);
    RECT r{};
    GetClipBox(FHandle, &r);
    return TRect{r.left, r.top, r.right, r.bottom};
}

void TCanvas::MoveTo(int X, int Y) {
    RequiredState(kHandleValid);
    MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
    Changing();
    RequiredState(kHandleValid | kPenValid | kBrushValid);
    ::LineTo(FHandle, X, Y);
    Changed();
}

void TCanvas::FillRect(const TRect& R) {
    Changing();
    RequiredState(kHandleValid | kBrushValid);
    const RECT r{R.Left, R.Top, R.Right, R.Bottom};
    ::FillRect(FHandle, &r, FBrush->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& R) {
    Changing();
    RequiredState(kHandleValid | kBrushValid);
    const RECT r{R.Left, R.Top, R.Right, R.Bottom};
    ::FrameRect(FHandle, &r, FBrush->Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& R) {
    Changing();
    RequiredState(kHandleValid | kBrushValid);
    const RECT r{R.Left, R.Top, R.Right, R.Bottom};
    ::DrawFocusRect(FHandle, &r);
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState(kHandleValid | kPenValid | kBrushValid);
    ::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    Changing();
    RequiredState(kHandleValid | kPenValid | kBrushValid);
    ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState(kHandleValid | kPenValid | kBrushValid);
    ::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    Changing();
    RequiredState(kHandleValid | kPenValid | kBrushValid);
    ::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    Changing();
    RequiredState(kHandleValid | kPenValid | kBrushValid);
    ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

namespace {
std::vector<POINT> ToPoints(const TPoint* p, int n) {
    std::vector<POINT> v(static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = POINT{p[i].X, p[i].Y};
    return v;
}
}  // namespace

void TCanvas::Polygon(const TPoint* Points, int Count) {
    if (Count <= 0) return;
    Changing();
    RequiredState(kHandleValid | kPenValid | kBrushValid);
    const auto pts = ToPoints(Points, Count);
    ::Polygon(FHandle, pts.data(), Count);
    Changed();
}

void TCanvas::Polyline(const TPoint* Points, int Count) {
    if (Count <= 0) return;
    Changing();
    RequiredState(kHandleValid | kPenValid | kBrushValid);
    const auto pts = ToPoints(Points, Count);
    ::Polyline(FHandle, pts.data(), Count);
    Changed();
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text) {
    Changing();
    RequiredState(kHandleValid | kFontValid | kBrushValid);
    const std::wstring w = ToWide(Text);
    ExtTextOutW(FHandle, X, Y, static_cast<UINT>(FTextFlags), nullptr, w.c_str(), static_cast<UINT>(w.size()),
                nullptr);
    SIZE sz{};
    GetTextExtentPoint32W(FHandle, w.c_str(), static_cast<int>(w.size()), &sz);
    MoveToEx(FHandle, X + sz.cx, Y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const AnsiString& Text) {
    Changing();
    RequiredState(kHandleValid | kFontValid | kBrushValid);
    UINT options = ETO_CLIPPED | static_cast<UINT>(FTextFlags);
    if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
    const RECT r{R.Left, R.Top, R.Right, R.Bottom};
    const std::wstring w = ToWide(Text);
    ExtTextOutW(FHandle, X, Y, options, &r, w.c_str(), static_cast<UINT>(w.size()), nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const AnsiString& Text) {
    RequiredState(kHandleValid | kFontValid);
    const std::wstring w = ToWide(Text);
    SIZE sz{};
    GetTextExtentPoint32W(FHandle, w.c_str(), static_cast<int>(w.size()), &sz);
    return TSize{sz.cx, sz.cy};
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    Changing();
    RequiredState(kHandleValid);
    Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    Changing();
    RequiredState(kHandleValid);
    Graphic->Draw(this, R);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    Changing();
    RequiredState(kHandleValid | kFontValid | kBrushValid);
    Canvas->RequiredState(kHandleValid | kBrushValid);
    StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left, Source.Top,
               Source.Width(), Source.Height(), FCopyMode);
    Changed();
}

TColor TCanvas::Pixels(int X, int Y) {
    RequiredState(kHandleValid);
    const COLORREF c = GetPixel(FHandle, X, Y);
    return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixels(int X, int Y, TColor Color) {
    Changing();
    RequiredState(kHandleValid | kPenValid);
    SetPixel(FHandle, X, Y, Ref(Color));
    Changed();
}

// ---------------------------------------------------------------- bitmap canvas

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }
    const char* ClassName() const override { return "TBitmapCanvas"; }

    void FreeContext() {
        if (!FMemDC) return;
        HDC dc = FMemDC;
        SetHandle(nullptr);
        if (FOldBitmap) SelectObject(dc, FOldBitmap);
        DeleteDC(dc);
        FMemDC = nullptr;
        FOldBitmap = nullptr;
        auto& list = Live();
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }

protected:
    void CreateHandle() override {
        auto& list = Live();
        for (size_t i = 0; list.size() >= kMaxBitmapDCs && i < list.size();) {
            if (list[i]->LockCount() == 0) list[i]->FreeContext();  // erases list[i]
            else ++i;
        }
        HDC dc = CreateCompatibleDC(nullptr);
        if (!dc) OutOfResources();
        HBITMAP h = FBitmap->Handle();
        FOldBitmap = h ? static_cast<HBITMAP>(SelectObject(dc, h)) : nullptr;
        FMemDC = dc;
        SetHandle(dc);
        list.push_back(this);
    }

private:
    static std::vector<TBitmapCanvas*>& Live() {
        static std::vector<TBitmapCanvas*> list;
        return list;
    }
    TBitmap* FBitmap;
    HDC FMemDC = nullptr;
    HBITMAP FOldBitmap = nullptr;
};

// ---------------------------------------------------------------- graphic

void TGraphic::SetSize(int AWidth, int AHeight) {
    SetWidth(AWidth);
    SetHeight(AHeight);
}

void TGraphic::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    Changed(this);
}

void TGraphic::LoadFromFile(const AnsiString& FileName) {
    TFileStream f(FileName, fmOpenRead);
    LoadFromStream(&f);
}

void TGraphic::SaveToFile(const AnsiString& FileName) {
    TFileStream f(FileName, fmCreate);
    SaveToStream(&f);
}

void TGraphic::Changed(TObject*) {
    FModified = true;
    if (OnChange) OnChange(this);
}

void TGraphic::Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TRect& R,
                        const AnsiString& Msg) {
    if (OnProgress) OnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}

// ---------------------------------------------------------------- bitmap

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    FCanvas.reset();  // before the bitmap it draws on
    FreeContents();
}

void TBitmap::CanvasHandleChanging() {
    if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas.get())->FreeContext();
}

void TBitmap::FreeContents() {
    CanvasHandleChanging();
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
    FBits = nullptr;
    FStride = 0;
    FTopDown = false;
    FStoreWidth = FStoreHeight = 0;
}

uint8_t* TBitmap::RowAddress(int row) const {
    const int stored = FTopDown ? row : FStoreHeight - 1 - row;
    return FBits + static_cast<ptrdiff_t>(stored) * FStride;
}

std::vector<uint8_t> TBitmap::ReadBGRA() {
    const size_t rowBytes = static_cast<size_t>(FWidth) * 4;
    std::vector<uint8_t> px(rowBytes * static_cast<size_t>(FHeight));
    if (!FHandle || px.empty()) return px;
    if (FDDB) {
        CanvasHandleChanging();  // GetDIBits wants the bitmap out of any DC
        DibInfo bi;
        FillInfo(bi, FWidth, -FHeight, {32, false}, {});
        ScreenDC s;
        GetDIBits(s.Get(), FHandle, 0, static_cast<UINT>(FHeight), px.data(), bi.get(), DIB_RGB_COLORS);
        for (size_t i = 3; i < px.size(); i += 4) px[i] = 0;  // a device bitmap has no alpha
        return px;
    }
    GdiFlush();
    const DibLayout l = LayoutOf(FPixelFormat);
    for (int y = 0; y < FHeight; ++y)
        UnpackDibRow(RowAddress(y), FWidth, l, FPalette.data(), FPalette.size(), px.data() + rowBytes * y);
    return px;
}

void TBitmap::WriteBGRA(const std::vector<uint8_t>& px) {
    if (!FHandle) return;
    const size_t rowBytes = static_cast<size_t>(FWidth) * 4;
    if (FDDB) {
        CanvasHandleChanging();
        DibInfo bi;
        FillInfo(bi, FWidth, -FHeight, {32, false}, {});
        ScreenDC s;
        SetDIBits(s.Get(), FHandle, 0, static_cast<UINT>(FHeight), px.data(), bi.get(), DIB_RGB_COLORS);
        return;
    }
    GdiFlush();
    const DibLayout l = LayoutOf(FPixelFormat);
    for (int y = 0; y < FHeight; ++y)
        PackDibRow(px.data() + rowBytes * y, FWidth, l, FPalette.data(), FPalette.size(), RowAddress(y));
}

void TBitmap::Recreate(int w, int h, TPixelFormat pf, bool ddb, bool keepPixels,
                       const std::vector<uint32_t>* palette) {
    if (w < 0 || h < 0) throw EInvalidGraphicOperation("Invalid bitmap size");
    if (pf == pfDevice) ddb = true;
    if (pf == pfCustom) throw EInvalidGraphicOperation("Invalid pixel format");
    const int ow = FWidth, oh = FHeight;
    // A DIB kept in its own format copies its rows as they are: no round trip
    // through 32-bit pixels (a resized window's cache goes through here per frame).
    if (keepPixels && FHandle && !FDDB && FBits && !ddb && pf == FPixelFormat && w > 0 && h > 0 &&
        LayoutOf(pf).BitCount >= 8 && (!palette || *palette == FPalette)) {
        GdiFlush();
        MoveToSection(w, h, w, h);
        TakeSize(w, h);
        return;
    }
    std::vector<uint8_t> old;
    if (keepPixels && FHandle && w > 0 && h > 0) old = ReadBGRA();
    FreeContents();
    FWidth = w;
    FHeight = h;
    FDDB = ddb;
    if (!ddb) FPixelFormat = pf;
    const DibLayout l = LayoutOf(FPixelFormat);
    if (ddb) FPalette.clear();
    else if (l.BitCount <= 8) FPalette = palette ? *palette : DefaultDibPalette(l.BitCount);
    else FPalette.clear();
    if (w == 0 || h == 0) return;

    if (ddb) {
        ScreenDC s;
        FHandle = CreateCompatibleBitmap(s.Get(), w, h);
        if (!FHandle) OutOfResources();
    } else {
        void* bits = nullptr;
        FHandle = CreateDibSection(w, h, l, FPalette, bits);
        if (!FHandle) OutOfResources();
        FBits = static_cast<uint8_t*>(bits);
        FStride = static_cast<int>(BmpRowBytes(w, l.BitCount));
        FTopDown = false;
        FStoreWidth = w;
        FStoreHeight = h;
    }
    // New pixels are 0 (black, alpha 0); kept ones are copied at the top left.
    if (ddb || !old.empty()) {
        std::vector<uint8_t> px(static_cast<size_t>(w) * 4 * static_cast<size_t>(h), 0);
        const int cw = std::min(w, ow), ch = std::min(h, oh);
        for (int y = 0; y < ch && !old.empty(); ++y)
            std::memcpy(px.data() + static_cast<size_t>(y) * w * 4, old.data() + static_cast<size_t>(y) * ow * 4,
                        static_cast<size_t>(cw) * 4);
        WriteBGRA(px);
    }
}

// Into a fresh bottom-up section of SW x SH, which becomes the bitmap's, go
// the pixels that both the old size and w x h cover.
void TBitmap::MoveToSection(int w, int h, int SW, int SH) {
    const DibLayout l = LayoutOf(FPixelFormat);
    CanvasHandleChanging();
    void* bits = nullptr;
    HBITMAP fresh = CreateDibSection(SW, SH, l, FPalette, bits);
    if (!fresh) OutOfResources();
    const int stride = static_cast<int>(BmpRowBytes(SW, l.BitCount));
    auto* dst = static_cast<uint8_t*>(bits);
    const size_t keep = static_cast<size_t>(std::min(w, FWidth)) * (l.BitCount / 8);
    // Bottom-up: row y lies at (SH - 1 - y) * stride.
    for (int y = 0; y < std::min(h, FHeight); ++y)
        std::memcpy(dst + static_cast<ptrdiff_t>(SH - 1 - y) * stride, RowAddress(y), keep);
    if (FHandle) DeleteObject(FHandle);
    FHandle = fresh;
    FBits = dst;
    FStride = stride;
    FTopDown = false;
    FStoreWidth = SW;
    FStoreHeight = SH;
}

// The size becomes w x h within the section; what the old size did not
// cover is cleared, as a new bitmap is.
void TBitmap::TakeSize(int w, int h) {
    const size_t bpp = LayoutOf(FPixelFormat).BitCount / 8;
    for (int y = 0; y < h; ++y) {
        const size_t from = y < FHeight ? static_cast<size_t>(std::min(FWidth, w)) * bpp : 0;
        std::memset(RowAddress(y) + from, 0, static_cast<size_t>(w) * bpp - from);
    }
    FWidth = w;
    FHeight = h;
}

// A roomy DIB's size change: within its section nothing moves and only the
// new pixels are cleared; past it a section a quarter larger (at least 64
// pixels) takes the kept rows. False for what Recreate does.
bool TBitmap::ResizeInRoom(int w, int h) {
    if (!FRoomy || FDDB || (FHandle && !FBits) || w <= 0 || h <= 0 || LayoutOf(FPixelFormat).BitCount < 8)
        return false;
    GdiFlush();
    if (w > FStoreWidth || h > FStoreHeight) {
        const int sw = std::max(w, FStoreWidth), sh = std::max(h, FStoreHeight);
        MoveToSection(w, h, std::max(sw + sw / 4, sw + 64), std::max(sh + sh / 4, sh + 64));
    }
    TakeSize(w, h);
    return true;
}

void TBitmap::SetWidth(int v) {
    if (v == FWidth) return;
    if (!ResizeInRoom(v, FHeight)) Recreate(v, FHeight, FPixelFormat, FDDB, true, &FPalette);
    Changed(this);
}

void TBitmap::SetHeight(int v) {
    if (v == FHeight) return;
    if (!ResizeInRoom(FWidth, v)) Recreate(FWidth, v, FPixelFormat, FDDB, true, &FPalette);
    Changed(this);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    if (AWidth == FWidth && AHeight == FHeight) return;
    if (!ResizeInRoom(AWidth, AHeight)) Recreate(AWidth, AHeight, FPixelFormat, FDDB, true, &FPalette);
    Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat v) {
    if (v == PixelFormat()) return;
    if (v == pfDevice) {
        SetHandleType(bmDDB);
        return;
    }
    if (v == pfCustom) throw EInvalidGraphicOperation("Invalid pixel format");
    std::vector<uint8_t> px = ReadBGRA();
    Recreate(FWidth, FHeight, v, false, false);
    if (!px.empty()) WriteBGRA(px);
    Changed(this);
}

void TBitmap::SetHandleType(TBitmapHandleType v) {
    if (v == HandleType()) return;
    std::vector<uint8_t> px = ReadBGRA();
    if (v == bmDDB) {
        Recreate(FWidth, FHeight, FPixelFormat, true, false);
    } else {
        ScreenDC s;
        const int bits = GetDeviceCaps(s.Get(), BITSPIXEL) * GetDeviceCaps(s.Get(), PLANES);
        const TPixelFormat pf = bits >= 32 ? pf32bit : bits == 16 ? pf16bit : bits == 15 ? pf15bit
                              : bits == 8 ? pf8bit : pf24bit;
        Recreate(FWidth, FHeight, pf, false, false);
    }
    if (!px.empty()) WriteBGRA(px);
    Changed(this);
}

void* TBitmap::ScanLine(int Row) {
    if (FDDB && FHandle) SetHandleType(bmDIB);
    if (Row < 0 || Row >= FHeight || !FBits) throw EInvalidGraphicOperation("Scan line index out of range");
    GdiFlush();
    return RowAddress(Row);
}

int TBitmap::RowBytes() const { return FDDB || !FBits ? 0 : FStride; }

HBITMAP TBitmap::Handle() { return FHandle; }

namespace {

// Not every system keeps the sign of the height in a DIB section's header,
// so find the top row by drawing: the memory row that changes when pixel
// (0, 0) is set is the top one. The bytes are put back afterwards.
bool IsTopDown(HBITMAP h, uint8_t* bits, int stride, int height) {
    if (height < 2 || stride <= 0) return false;
    uint8_t* last = bits + static_cast<ptrdiff_t>(stride) * (height - 1);
    std::vector<uint8_t> first0(bits, bits + stride), last0(last, last + stride);
    bool topDown = false;
    {
        // Drawn on through a DC of its own, let go of before the bytes are put back.
        MemoryDC mem;
        const HDC dc = mem.Get();
        SelectGuard select(dc, h);
        for (COLORREF c : {RGB(0, 0, 0), RGB(255, 255, 255)}) {
            SetPixelV(dc, 0, 0, c);
            GdiFlush();
            if (std::memcmp(last, last0.data(), static_cast<size_t>(stride)) != 0) break;
            if (std::memcmp(bits, first0.data(), static_cast<size_t>(stride)) != 0) {
                topDown = true;
                break;
            }
        }
    }
    std::memcpy(bits, first0.data(), static_cast<size_t>(stride));
    std::memcpy(last, last0.data(), static_cast<size_t>(stride));
    return topDown;
}

}  // namespace

void TBitmap::AdoptHandle(HBITMAP h) {
    FreeContents();
    FWidth = FHeight = 0;
    FDDB = true;
    FPalette.clear();
    if (!h) return;
    DIBSECTION ds{};
    const int got = GetObjectW(h, sizeof ds, &ds);
    if (got == sizeof(DIBSECTION) && ds.dsBm.bmBits) {
        DibLayout l{ds.dsBmih.biBitCount, false};
        if (l.BitCount == 16 && ds.dsBmih.biCompression == BI_BITFIELDS && ds.dsBitfields[0] == 0xF800) l.Is565 = true;
        FDDB = false;
        FPixelFormat = FormatOf(l);
        FWidth = ds.dsBm.bmWidth;
        FHeight = ds.dsBm.bmHeight;
        FBits = static_cast<uint8_t*>(ds.dsBm.bmBits);
        FStride = ds.dsBm.bmWidthBytes;
        FStoreWidth = FWidth;
        FStoreHeight = FHeight;
        FTopDown = ds.dsBmih.biHeight < 0 || IsTopDown(h, FBits, FStride, FHeight);
        if (l.BitCount <= 8) {
            RGBQUAD table[256];
            UINT n;
            {
                MemoryDC mem;
                SelectGuard select(mem.Get(), h);
                n = GetDIBColorTable(mem.Get(), 0, 1u << l.BitCount, table);
            }
            FPalette.resize(n);
            for (UINT i = 0; i < n; ++i) std::memcpy(&FPalette[i], &table[i], 4);
            FPalette.resize(size_t(1) << l.BitCount, 0);
        }
    } else if (got >= static_cast<int>(sizeof(BITMAP))) {
        FWidth = ds.dsBm.bmWidth;
        FHeight = ds.dsBm.bmHeight;
    } else {
        throw EInvalidGraphic("Invalid bitmap handle");
    }
    FHandle = h;
}

void TBitmap::SetHandle(HBITMAP Value) {
    if (Value == FHandle) return;
    AdoptHandle(Value);
    Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
    CanvasHandleChanging();
    HBITMAP h = FHandle;
    FHandle = nullptr;
    FBits = nullptr;
    FreeContents();
    FWidth = FHeight = 0;
    return h;
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TBitmapCanvas>(this);
        FCanvas->OnChange = TNotifyEvent::Of<&TBitmap::Changed>(this);
    }
    return FCanvas.get();
}

TColor TBitmap::TransparentColor() {
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (Empty()) return clDefault;
    if (!FDDB && FBits) {
        GdiFlush();
        uint8_t px[4];
        const DibLayout l = LayoutOf(FPixelFormat);
        std::vector<uint8_t> row(static_cast<size_t>(FWidth) * 4);
        UnpackDibRow(RowAddress(FHeight - 1), FWidth, l, FPalette.data(), FPalette.size(), row.data());
        std::memcpy(px, row.data(), 4);
        return RGBColor(px[2], px[1], px[0]);
    }
    return Canvas()->Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor v) {
    if (v == FTransparentColor && FTransparentMode == (v == clDefault ? tmAuto : tmFixed)) return;
    FTransparentColor = v;
    FTransparentMode = v == clDefault ? tmAuto : tmFixed;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode v) {
    if (v == FTransparentMode) return;
    FTransparentMode = v;
    if (v == tmAuto) FTransparentColor = clDefault;
    else if (FTransparentColor == clDefault) FTransparentColor = TransparentColor();
    Changed(this);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& R) {
    if (Empty() || !FHandle) return;
    HDC dst = ACanvas->Handle();
    TCanvas* own = Canvas();
    own->Lock();
    HDC src = own->Handle();
    if (Transparent()) {
        TransparentBlt(dst, R.Left, R.Top, R.Width(), R.Height(), src, 0, 0, FWidth, FHeight,
                       Ref(TransparentColor()));
    } else if (R.Width() == FWidth && R.Height() == FHeight) {
        BitBlt(dst, R.Left, R.Top, FWidth, FHeight, src, 0, 0, ACanvas->CopyMode());
    } else {
        const int old = SetStretchBltMode(dst, COLORONCOLOR);
        StretchBlt(dst, R.Left, R.Top, R.Width(), R.Height(), src, 0, 0, FWidth, FHeight, ACanvas->CopyMode());
        SetStretchBltMode(dst, old);
    }
    own->Unlock();
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        FreeContents();
        FWidth = FHeight = 0;
        Changed(this);
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        if (b == this) return;
        std::vector<uint8_t> px;
        const bool sameLayout = !b->FDDB;
        if (b->FDDB) px = b->ReadBGRA();
        Recreate(b->FWidth, b->FHeight, b->FPixelFormat, b->FDDB, false, &b->FPalette);
        if (b->FDDB) {
            if (!px.empty()) WriteBGRA(px);
        } else if (sameLayout && FBits && b->FBits) {
            GdiFlush();
            const size_t n = BmpRowBytes(FWidth, LayoutOf(FPixelFormat).BitCount);
            for (int y = 0; y < FHeight; ++y) std::memcpy(RowAddress(y), b->RowAddress(y), n);
        }
        FTransparent = b->FTransparent;
        FTransparentColor = b->FTransparentColor;
        FTransparentMode = b->FTransparentMode;
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::Changed(TObject* Sender) { TGraphic::Changed(Sender); }

void TBitmap::LoadBmpBytes(const uint8_t* data, size_t size) {
    BmpImage img = DecodeBmp(data, size);  // raises before anything changes
    Recreate(img.Width, img.Height, FormatOf(img.Layout), false, false, &img.Palette);
    GdiFlush();
    const size_t n = BmpRowBytes(img.Width, img.Layout.BitCount);
    for (int y = 0; y < FHeight; ++y)  // both bottom-up
        std::memcpy(FBits + static_cast<size_t>(y) * FStride, img.Pixels.data() + n * y, n);
    Changed(this);
}

std::vector<uint8_t> TBitmap::EncodeBmpBytes() {
    if (Empty() || !FHandle) return {};
    BmpImage img;
    img.Width = FWidth;
    img.Height = FHeight;
    if (FDDB) {
        // A device bitmap is written as 24 bits.
        img.Layout = {24, false};
        const std::vector<uint8_t> px = ReadBGRA();
        const size_t n = BmpRowBytes(FWidth, 24);
        img.Pixels.resize(n * FHeight);
        for (int y = 0; y < FHeight; ++y)
            PackDibRow(px.data() + static_cast<size_t>(FWidth) * 4 * (FHeight - 1 - y), FWidth, img.Layout, nullptr, 0,
                       img.Pixels.data() + n * y);
    } else {
        GdiFlush();
        img.Layout = LayoutOf(FPixelFormat);
        img.Palette = FPalette;
        const size_t n = BmpRowBytes(FWidth, img.Layout.BitCount);
        img.Pixels.resize(n * FHeight);
        for (int y = 0; y < FHeight; ++y) std::memcpy(img.Pixels.data() + n * y, RowAddress(FHeight - 1 - y), n);
    }
    return EncodeBmp(img);
}

void TBitmap::LoadFromStream(TStream* Stream) {
    const std::vector<uint8_t> bytes = Stream->ReadBytes(Stream->Remaining());
    LoadBmpBytes(bytes.data(), bytes.size());
}

void TBitmap::SaveToStream(TStream* Stream) {
    const std::vector<uint8_t> bytes = EncodeBmpBytes();
    Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TBitmap::ReadData(TStream* Stream) {
    const uint32_t size = Stream->ReadUInt32();
    if (size == 0) {
        Assign(nullptr);
        return;
    }
    const std::vector<uint8_t> bytes = Stream->ReadBytes(size);
    LoadBmpBytes(bytes.data(), bytes.size());
}

void TBitmap::WriteData(TStream* Stream) {
    const std::vector<uint8_t> bytes = EncodeBmpBytes();
    Stream->WriteUInt32(static_cast<uint32_t>(bytes.size()));
    Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName) {
    // An RT_BITMAP resource is a BMP file without its 14-byte file header.
    TResourceStream rs(Instance, ResName, RT_BITMAP);
    const int64_t n = rs.Size();
    if (n < 12) throw EInvalidGraphic("Invalid bitmap: resource " + ResName + " is too short");
    const auto* dib = static_cast<const uint8_t*>(rs.Memory());
    std::vector<uint8_t> file(14 + static_cast<size_t>(n));
    file[0] = 'B';
    file[1] = 'M';
    const uint32_t total = static_cast<uint32_t>(file.size());
    std::memcpy(&file[2], &total, 4);
    // Pixels start after the header, the bit fields and the colour table;
    // offset 0 lets the decoder work that out.
    std::memcpy(file.data() + 14, dib, static_cast<size_t>(n));
    LoadBmpBytes(file.data(), file.size());
}

// ---------------------------------------------------------------- icon

namespace {

HICON IconFromData(const std::vector<uint8_t>& d, int w, int h) {
    const auto entries = ReadIcoDirectory(d.data(), d.size());
    const IcoEntry& e = BestIcoEntry(entries, w, h);
    return CreateIconFromResourceEx(const_cast<uint8_t*>(d.data() + e.offset), e.size, TRUE, 0x00030000, w, h,
                                    LR_DEFAULTCOLOR);
}

}  // namespace

TIcon::TIcon() = default;

TIcon::~TIcon() { Clear(); }

void TIcon::Clear() {
    if (FHandle) DestroyIcon(FHandle);
    if (FSized) DestroyIcon(FSized);
    FHandle = FSized = nullptr;
    FSizedW = FSizedH = 0;
    FWidth = FHeight = 0;
    FData.clear();
    FResInstance = nullptr;
    FResName.clear();
}

void TIcon::AdoptHandle(HICON h, bool keepData) {
    std::vector<uint8_t> data;
    HINSTANCE inst = FResInstance;
    std::wstring res = FResName;
    if (keepData) data = FData;
    Clear();
    if (keepData) FData = std::move(data), FResInstance = inst, FResName = std::move(res);
    FHandle = h;
    if (!h) return;
    ICONINFO ii{};
    if (GetIconInfo(h, &ii)) {
        BITMAP bm{};
        if (ii.hbmColor && GetObjectW(ii.hbmColor, sizeof bm, &bm)) {
            FWidth = bm.bmWidth, FHeight = bm.bmHeight;
        } else if (ii.hbmMask && GetObjectW(ii.hbmMask, sizeof bm, &bm)) {
            FWidth = bm.bmWidth, FHeight = bm.bmHeight / 2;
        }
        if (ii.hbmColor) DeleteObject(ii.hbmColor);
        if (ii.hbmMask) DeleteObject(ii.hbmMask);
    }
}

void TIcon::Assign(TPersistent* Source) {
    if (!Source) {
        Clear();
        Changed(this);
        return;
    }
    if (auto* i = dynamic_cast<TIcon*>(Source)) {
        if (i == this) return;
        HICON copy = i->FHandle ? CopyIcon(i->FHandle) : nullptr;
        Clear();
        FData = i->FData;
        FResInstance = i->FResInstance;
        FResName = i->FResName;
        FRequestedW = i->FRequestedW;
        FRequestedH = i->FRequestedH;
        AdoptHandle(copy, true);
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& R) {
    if (!FHandle) return;
    DrawIconEx(ACanvas->Handle(), R.Left, R.Top, FHandle, R.Width(), R.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::SetWidth(int v) {
    if (v == FRequestedW) return;
    if (FHandle) throw EInvalidGraphicOperation("Cannot change the size of an icon");
    FRequestedW = v;
}

void TIcon::SetHeight(int v) {
    if (v == FRequestedH) return;
    if (FHandle) throw EInvalidGraphicOperation("Cannot change the size of an icon");
    FRequestedH = v;
}

void TIcon::LoadFromStream(TStream* Stream) {
    std::vector<uint8_t> data = Stream->ReadBytes(Stream->Remaining());
    const int w = FRequestedW > 0 ? FRequestedW : GetSystemMetrics(SM_CXICON);
    const int h = FRequestedH > 0 ? FRequestedH : GetSystemMetrics(SM_CYICON);
    HICON icon = IconFromData(data, w, h);
    if (!icon) throw EInvalidGraphic("Invalid icon: the image cannot be read");
    Clear();
    FData = std::move(data);
    AdoptHandle(icon, true);
    Changed(this);
}

void TIcon::SaveToStream(TStream* Stream) {
    if (!FData.empty()) {
        Stream->WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
        return;
    }
    if (!FHandle) return;
    // One 32-bit image with its mask, made from the handle.
    ICONINFO ii{};
    if (!GetIconInfo(FHandle, &ii)) throw EInvalidGraphicOperation("Cannot read the icon");
    const int w = FWidth, h = FHeight;
    std::vector<uint8_t> color(static_cast<size_t>(w) * h * 4), mask(BmpRowBytes(w, 1) * h);
    {
        ScreenDC s;
        DibInfo bi;
        FillInfo(bi, w, h, {32, false}, {});
        if (ii.hbmColor) GetDIBits(s.Get(), ii.hbmColor, 0, h, color.data(), bi.get(), DIB_RGB_COLORS);
        DibInfo bm;
        FillInfo(bm, w, ii.hbmColor ? h : 2 * h, {1, false}, {0x000000, 0xFFFFFF});
        std::vector<uint8_t> m(BmpRowBytes(w, 1) * (ii.hbmColor ? h : 2 * h));
        GetDIBits(s.Get(), ii.hbmMask, 0, ii.hbmColor ? h : 2 * h, m.data(), bm.get(), DIB_RGB_COLORS);
        // Bottom-up: the AND mask is the upper half of a monochrome icon's mask,
        // i.e. the rows h..2h-1 counted from the bottom.
        const size_t mrow = BmpRowBytes(w, 1);
        std::memcpy(mask.data(), m.data() + (ii.hbmColor ? 0 : mrow * h), mask.size());
        if (!ii.hbmColor) {
            // Monochrome: the XOR half becomes the colour (black or white).
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool on = (m[mrow * y + x / 8] >> (7 - x % 8)) & 1;
                    uint8_t* p = color.data() + (static_cast<size_t>(y) * w + x) * 4;
                    p[0] = p[1] = p[2] = on ? 255 : 0;
                }
        }
        // Without alpha, opaque wherever the mask says so.
        bool anyAlpha = false;
        for (size_t i = 3; i < color.size(); i += 4) anyAlpha |= color[i] != 0;
        if (!anyAlpha)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (!((mask[mrow * y + x / 8] >> (7 - x % 8)) & 1)) color[(static_cast<size_t>(y) * w + x) * 4 + 3] = 255;
    }
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);

    std::vector<uint8_t> out;
    auto put16 = [&](uint16_t v) { out.push_back(uint8_t(v)), out.push_back(uint8_t(v >> 8)); };
    auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i))); };
    const uint32_t imageBytes = 40 + static_cast<uint32_t>(color.size() + mask.size());
    put16(0), put16(1), put16(1);
    out.push_back(uint8_t(w >= 256 ? 0 : w));
    out.push_back(uint8_t(h >= 256 ? 0 : h));
    out.push_back(0), out.push_back(0);
    put16(1), put16(32), put32(imageBytes), put32(22);
    put32(40), put32(static_cast<uint32_t>(w)), put32(static_cast<uint32_t>(2 * h));
    put16(1), put16(32);
    for (int i = 0; i < 6; ++i) put32(0);
    out.insert(out.end(), color.begin(), color.end());
    out.insert(out.end(), mask.begin(), mask.end());
    Stream->WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

void TIcon::LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName) {
    if (!Instance) Instance = GetModuleHandleW(nullptr);
    const std::wstring name = ToWide(ResName);
    HICON h = static_cast<HICON>(LoadImageW(Instance, name.c_str(), IMAGE_ICON, FRequestedW, FRequestedH,
                                            FRequestedW || FRequestedH ? 0 : LR_DEFAULTSIZE));
    if (!h) throw EResNotFound("Resource " + ResName + " not found");
    Clear();
    FResInstance = Instance;
    FResName = name;
    AdoptHandle(h, true);
    Changed(this);
}

void TIcon::LoadFromResourceID(HINSTANCE Instance, int ResId) {
    if (!Instance) Instance = GetModuleHandleW(nullptr);
    HICON h = static_cast<HICON>(LoadImageW(Instance, MAKEINTRESOURCEW(ResId), IMAGE_ICON, FRequestedW, FRequestedH,
                                            FRequestedW || FRequestedH ? 0 : LR_DEFAULTSIZE));
    if (!h) throw EResNotFound("Resource " + IntToStr(ResId) + " not found");
    Clear();
    FResInstance = Instance;
    FResName = L"#" + std::to_wstring(ResId);
    AdoptHandle(h, true);
    Changed(this);
}

void TIcon::SetHandle(HICON Value) {
    if (Value == FHandle) return;
    AdoptHandle(Value, false);
    Changed(this);
}

HICON TIcon::ReleaseHandle() {
    HICON h = FHandle;
    FHandle = nullptr;
    Clear();
    return h;
}

HICON TIcon::HandleOfSize(int w, int h) {
    if (FSized && FSizedW == w && FSizedH == h) return FSized;
    if (FSized) DestroyIcon(FSized);
    FSized = nullptr;
    if (!FData.empty()) {
        FSized = IconFromData(FData, w, h);
    } else if (!FResName.empty()) {
        FSized = static_cast<HICON>(LoadImageW(FResInstance, FResName.c_str(), IMAGE_ICON, w, h, 0));
    } else if (FHandle) {
        FSized = static_cast<HICON>(CopyImage(FHandle, IMAGE_ICON, w, h, 0));
    }
    FSizedW = w, FSizedH = h;
    return FSized;
}

// ---------------------------------------------------------------- picture

namespace {

struct FileFormat {
    AnsiString ext, description;
    TGraphicClass cls;
};
struct ClassEntry {
    AnsiString name;
    TGraphicClass cls;
};

struct Registry {
    std::vector<FileFormat> formats;
    std::vector<ClassEntry> classes;

    void AddClass(TGraphicClass cls, const AnsiString& name) {
        for (auto& c : classes)
            if (c.name == name) {
                c.cls = cls;
                return;
            }
        classes.push_back({name, cls});
    }
    void AddFormat(AnsiString ext, const AnsiString& desc, TGraphicClass cls, const AnsiString& name) {
        if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
        ext = LowerCaseAscii(ext);
        AddClass(cls, name);
        for (auto& f : formats)
            if (f.ext == ext) {
                f.description = desc, f.cls = cls;
                return;
            }
        formats.push_back({ext, desc, cls});
    }
    Registry() {
        AddFormat("bmp", "Bitmaps", &NewGraphic<TBitmap>, TBitmap::StaticClassName);
        AddFormat("ico", "Icons", &NewGraphic<TIcon>, TIcon::StaticClassName);
    }
};

Registry& Reg() {
    static Registry r;
    return r;
}

}  // namespace

void TPicture::RegisterFileFormat(const AnsiString& Extension, const AnsiString& Description,
                                  TGraphicClass GraphicClass, const AnsiString& ClassName) {
    if (GraphicClass) Reg().AddFormat(Extension, Description, GraphicClass, ClassName);
}

void TPicture::UnregisterFileFormat(TGraphicClass GraphicClass) {
    auto& r = Reg();
    r.formats.erase(std::remove_if(r.formats.begin(), r.formats.end(),
                                   [&](const FileFormat& f) { return f.cls == GraphicClass; }),
                    r.formats.end());
    r.classes.erase(std::remove_if(r.classes.begin(), r.classes.end(),
                                   [&](const ClassEntry& c) { return c.cls == GraphicClass; }),
                    r.classes.end());
}

void TPicture::RegisterGraphicClass(TGraphicClass GraphicClass, const AnsiString& ClassName) {
    if (GraphicClass) Reg().AddClass(GraphicClass, ClassName);
}

TGraphicClass TPicture::FindGraphicClass(const AnsiString& ClassName) {
    for (const auto& c : Reg().classes)
        if (c.name == ClassName) return c.cls;
    return nullptr;
}

TGraphicClass TPicture::FindFileFormat(const AnsiString& Extension) {
    AnsiString ext = Extension;
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    ext = LowerCaseAscii(ext);
    for (const auto& f : Reg().formats)
        if (f.ext == ext) return f.cls;
    return nullptr;
}

TPicture::~TPicture() { delete FGraphic; }

void TPicture::Take(TGraphic* g) {
    if (g == FGraphic) return;
    delete FGraphic;
    FGraphic = g;
    if (g) {
        g->OnChange = TNotifyEvent::Of<&TPicture::Changed>(this);
        g->OnProgress = TProgressEvent::Of<&TPicture::Progress>(this);
    }
}

void TPicture::Changed(TObject*) {
    if (OnChange) OnChange(this);
}

void TPicture::Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TRect& R,
                        const AnsiString& Msg) {
    if (OnProgress) OnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}

void TPicture::SetGraphic(TGraphic* Value) {
    if (Value == FGraphic && Value) return;
    if (!Value) {
        if (!FGraphic) return;
        Take(nullptr);
        Changed(this);
        return;
    }
    TGraphic* g = Value->NewInstance();
    try {
        g->Assign(Value);
    } catch (...) {
        delete g;
        throw;
    }
    Take(g);
    Changed(this);
}

TBitmap* TPicture::Bitmap() {
    if (auto* b = dynamic_cast<TBitmap*>(FGraphic)) return b;
    auto* b = new TBitmap;
    Take(b);
    Changed(this);
    return b;
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        SetGraphic(nullptr);
    } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
        if (p != this) SetGraphic(p->FGraphic);
    } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
    } else {
        TPersistent::Assign(Source);
    }
}

void TPicture::LoadFromFile(const AnsiString& FileName) {
    const size_t dot = FileName.find_last_of('.');
    const size_t slash = FileName.find_last_of("\\/");
    const AnsiString ext = dot == AnsiString::npos || (slash != AnsiString::npos && dot < slash)
                               ? AnsiString()
                               : FileName.substr(dot + 1);
    TGraphicClass cls = FindFileFormat(ext);
    if (!cls) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    TGraphic* g = cls();
    try {
        g->LoadFromFile(FileName);
    } catch (...) {
        delete g;
        throw;
    }
    Take(g);
    Changed(this);
}

void TPicture::SaveToFile(const AnsiString& FileName) {
    if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::ReadData(TStream* Stream) {
    const uint8_t len = Stream->ReadUInt8();
    if (len == 0) {
        SetGraphic(nullptr);
        return;
    }
    const std::vector<uint8_t> nameBytes = Stream->ReadBytes(len);
    const AnsiString name(nameBytes.begin(), nameBytes.end());
    TGraphicClass cls = FindGraphicClass(name);
    if (!cls) throw EInvalidGraphic("Unknown picture class " + name);
    TGraphic* g = cls();
    try {
        g->ReadData(Stream);
    } catch (...) {
        delete g;
        throw;
    }
    Take(g);
    Changed(this);
}

void TPicture::WriteData(TStream* Stream) {
    if (!FGraphic) {
        Stream->WriteUInt8(0);
        return;
    }
    const AnsiString name = FGraphic->ClassName();
    if (name.empty() || name.size() > 255) throw EWriteError("Cannot write a picture class named " + name);
    Stream->WriteUInt8(static_cast<uint8_t>(name.size()));
    Stream->WriteBuffer(name.data(), static_cast<int64_t>(name.size()));
    FGraphic->WriteData(Stream);
}
