#include "acSBUtilsCtrls.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>

#include "Buttons.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WinText.h"
#include "acSBUtilsPaint.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

namespace {

constexpr double kDisabledFade = 0.4;

using acwrap::ManagerActive;
using acwrap::Painting;
using acwrap::PaintScope;
using acwrap::TargetDC;
using acwrap::WindowFont;

void SendCommand(HWND Wnd, uint16_t Command) { SendMessageW(Wnd, SM_ALPHACMD, WPARAM(SkinWParam(Command)), 0); }

// Handle runs with the window's redrawing off (on again on every path); then
// the window is painted at once, its background first marked for painting
// again when Dirty.
template <class F>
void HandleQuietlyThenPaint(TacMainWnd* W, F Handle, bool Dirty) {
    SendMessageW(W->CtrlHandle, WM_SETREDRAW, FALSE, 0);
    {
        ScopeExit redraw([W] { SendMessageW(W->CtrlHandle, WM_SETREDRAW, TRUE, 0); });
        Handle();
    }
    if (Dirty) W->SkinData->BackgroundDirty = true;
    SendMessageW(W->CtrlHandle, WM_PAINT, 0, 0);
}

// The cache at the window's size (a 24-bit DIB).
TBitmap* SizedCache(TsCommonData* Data, const TacWndGeometry& G) { return acwrap::SizedCache(Data, G.WndSize); }

// Copies the cache to (0, 0) of DC.
void CopyCacheTo(HDC DC, TBitmap* Cache) {
    if (!DC || !Cache || Cache->Empty()) return;
    BitBlt(DC, 0, 0, Cache->Width(), Cache->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The disabled look: the cache moved 0.4 of the way towards what lies
// under the window (the parent's picture, else its colour).
void FadeDisabled(TBitmap* Cache, const CacheInfo& Bg, TPoint Pos) {
    if (Bg.Ready && Bg.Bmp) {
        const int x = Bg.X + Pos.X, y = Bg.Y + Pos.Y;
        BlendBitmapRect(Cache, 0, 0, TColor(0xFFFFFFFF), kDisabledFade,
                        Rect(x, y, x + Cache->Width() - 1, y + Cache->Height() - 1), Bg.Bmp);
    } else {
        FadeTowardsColor(Cache, Bg.Color, TransparentKeyColor, kDisabledFade);
    }
}

// A control's canvas font from a font handle (0: the system font).
void AssignFont(TFont* Font, HFONT Handle) { acwrap::AssignFontHandle(Font, Handle, SYSTEM_FONT); }

// The text size of Text in the canvas's font.
TSize MeasureText(TCanvas* Canvas, const AnsiString& Text, int MaxWidth, unsigned Flags) {
    const std::wstring w = ToWide(Text);
    RECT r{0, 0, MaxWidth, 0};
    HDC dc = Canvas->Handle();
    SelectGuard font(dc, Canvas->Font()->Handle());
    if (!w.empty()) DrawTextW(dc, w.c_str(), int(w.size()), &r, Flags | DT_CALCRECT);
    return TSize{r.right - r.left, r.bottom - r.top};
}

// Hot tracking through the manager: the window under the mouse is hot; the
// window asks to hear when the mouse leaves it.
void TrackHot(TacMainWnd* W) {
    TsSkinManager* m = W->SkinManager;
    if (!m || (m->ComponentState() & csDesigning) || !IsWindowEnabled(W->CtrlHandle)) return;
    POINT p;
    RECT r;
    GetCursorPos(&p);
    GetWindowRect(W->CtrlHandle, &r);
    if (PtInRect(&r, p)) {
        if (m->HotWindow() != W->CtrlHandle) m->SetHotWindow(W->CtrlHandle);
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, W->CtrlHandle, 0};
        TrackMouseEvent(&t);
    } else if (m->HotWindow() == W->CtrlHandle) {
        m->SetHotWindow(nullptr);
    }
}

void LeaveHot(TacMainWnd* W) {
    if (W->SkinManager && W->SkinManager->HotWindow() == W->CtrlHandle) W->SkinManager->SetHotWindow(nullptr);
}

bool IsHot(const TacMainWnd* W) { return W->SkinManager && W->SkinManager->HotWindow() == W->CtrlHandle; }

// Whether the linked control of a wrapper (or its window) is enabled.
bool WindowEnabled(const TacMainWnd* W) { return IsWindowEnabled(W->CtrlHandle) != FALSE; }

LONG WindowStyle(HWND Wnd) { return GetWindowLongW(Wnd, GWL_STYLE); }

// The parent's background under the window as the skin painters take it.
CacheInfo ParentBackground(const TacMainWnd* W) { return WindowParentBackgroundInfo(W->CtrlHandle); }

// Fills R of the cache with what lies under it in the parent.
void FillFromParent(TBitmap* Cache, const TRect& R, const CacheInfo& Bg, TPoint Pos) {
    if (Bg.Ready && Bg.Bmp) {
        BitBlt(Cache->Canvas()->Handle(), R.Left, R.Top, R.Width(), R.Height(), Bg.Bmp->Canvas()->Handle(),
               Bg.X + Pos.X + R.Left, Bg.Y + Pos.Y + R.Top, SRCCOPY);
    } else {
        FillRectOnDC(Cache->Canvas()->Handle(), R, Bg.Color);
    }
}

}  // namespace

FontHandle MessageFont() {
    NONCLIENTMETRICSW m{};
    m.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, m.cbSize, &m, 0)) return FontHandle();
    return FontHandle(CreateFontIndirectW(&m.lfMessageFont));
}

// ====================================================================== static texts

bool TacStaticWnd::KeepsSystemLook() const {
    return (WindowStyle(CtrlHandle) & WS_TABSTOP) || (GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_STATICEDGE);
}

void TacStaticWnd::WndProc(TMessage& M) {
    const bool destruction = M.Msg == WM_DESTROY || M.Msg == WM_NCDESTROY;
    if (destruction || !Painting(this) || KeepsSystemLook()) {
        if (destruction || !Painting(this))
            TacMainWnd::WndProc(M);
        else
            PassOn(M);
        return;
    }
    switch (M.Msg) {
    case WM_MOVE:
        SkinData->BackgroundDirty = true;
        PassOn(M);
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return;
    case WM_SETTEXT:
        PassOn(M);
        ReadWndText();
        SkinData->BackgroundDirty = true;
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        return;
    case WM_PAINT:
        if (M.WParam) {
            // A paint into a given DC (a print): drawn at once.
            PaintWindow(M);
        } else {
            acwrap::ValidateByPaint(CtrlHandle);
        }
        M.Result = 0;
        return;
    case WM_ERASEBKGND:
        if (IsWindowVisible(CtrlHandle)) {
            PaintWindow(M);
            M.Result = 1;
            return;
        }
        break;
    case WM_NCPAINT: PassOn(M); return;
    default: break;
    }
    TacMainWnd::WndProc(M);
}

void TacStaticWnd::PaintWindow(TMessage& M) {
    Geometry = GetWndGeometry(CtrlHandle);
    TBitmap* cache = SizedCache(SkinData, Geometry);
    if (cache->Empty()) return;
    TargetDC target(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
    HDC dc = target.Get();
    if (!dc) return;
    {
        SavedDC saved(dc);
        SkinData->BackgroundDirty = true;
        SendCommand(CtrlHandle, scUpdateCache);
        PaintContent();
    }
    CopyCacheTo(dc, cache);
}

void TacStaticWnd::PaintContent() {
    TCanvas* c = SkinData->CacheBitmap->Canvas();
    c->Brush()->SetStyle(bsClear);
    FontHandle font = MessageFont();
    AssignFont(c->Font(), font.Get());
    WriteControlText(c, WndText.c_str(), true, false, SkinData, DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP,
                     Rect(0, 0, Geometry.WndSize.cx + 4, Geometry.WndSize.cy));
}

namespace {

// Every occurrence of Tag removed, exactly as written.
AnsiString WithoutTag(AnsiString Text, const AnsiString& Tag) {
    for (size_t p = Text.find(Tag); p != AnsiString::npos; p = Text.find(Tag, p)) Text.erase(p, Tag.size());
    return Text;
}

}  // namespace

void TacLinkWnd::PaintContent() {
    const AnsiString full = WndText;
    WndText = WithoutTag(WithoutTag(full, "<A>"), "</A>");
    ScopeExit back([&] { WndText = full; });
    TacStaticWnd::PaintContent();
}

void TacIconWnd::PaintContent() {
    auto icon = reinterpret_cast<HICON>(SendMessageW(CtrlHandle, STM_GETICON, 0, 0));
    if (!icon) return;
    DrawIconEx(SkinData->CacheBitmap->Canvas()->Handle(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

// ====================================================================== push buttons

bool TacBtnWnd::IsPressed() const { return (SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

int TacBtnWnd::ButtonState() const {
    if (IsPressed()) return 2;
    if (!WindowEnabled(this)) return 0;
    if (GetFocus() == CtrlHandle || IsHot(this)) return 1;
    // The default push button of a dialog shows hot. (Other button kinds
    // share bit 0 of the style, so the whole kind is compared.)
    return (WindowStyle(CtrlHandle) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? 1 : 0;
}

// Words break where the style does not ask for several lines (a multi-line
// button keeps its caption's own line breaks).
unsigned TacBtnWnd::CaptionFlags() const {
    return DT_CENTER | DT_EXPANDTABS | ((WindowStyle(CtrlHandle) & BS_MULTILINE) ? 0 : DT_WORDBREAK);
}

void TacBtnWnd::SelectCaptionFont() {
    TCanvas* c = SkinData->CacheBitmap->Canvas();
    if (SkinData->OwnerControl)
        c->SetFont(SkinData->OwnerControl->Font());
    else
        AssignFont(c->Font(), WindowFont(CtrlHandle));
}

void TacBtnWnd::QuietThenPaint(TMessage& M, bool ToPrevious) {
    HandleQuietlyThenPaint(this, [&] { ToPrevious ? PassOn(M) : TacMainWnd::WndProc(M); }, true);
}

bool TacBtnWnd::HoverCommand(TMessage& M) {
    switch (SkinCommandOf(M.WParam)) {
    case scRepaint:
        if (!SkinData->UpdatingFlag) return false;
        SkinData->UpdatingFlag = false;
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        return true;
    case scMouseEnter:
    case scMouseLeave: {
        const bool enter = SkinCommandOf(M.WParam) == scMouseEnter;
        if (SkinData->HoverFlag != enter) {
            SkinData->HoverFlag = enter;
            SkinData->BackgroundDirty = true;
            SkinData->UpdatingFlag = false;
            SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
        }
        return false;
    }
    default: return false;
    }
}

void TacBtnWnd::WndProc(TMessage& M) {
    if (!Painting(this)) {
        TacMainWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case SM_ALPHACMD:
        if (HoverCommand(M)) return;
        break;
    case WM_MOVE: {
        TacMainWnd::WndProc(M);
        const TsGeneralData* s = SkinData->Section();
        if (s && (s->Transparency > 0 || (s->HotTransparency > 0 && SkinData->IsActiveState()))) {
            SkinData->BackgroundDirty = true;
            SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
        }
        return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (!WindowEnabled(this)) {
            // A disabled button takes no focus look.
            if (M.Msg == WM_SETFOCUS)
                M.Result = 0;
            else
                PassOn(M);
            return;
        }
        SkinData->FocusFlag = M.Msg == WM_SETFOCUS;
        QuietThenPaint(M, false);
        return;
    case WM_ENABLE:
    case WM_SETTEXT:
        if (IsWindowVisible(CtrlHandle)) {
            QuietThenPaint(M, false);
            return;
        }
        break;
    case BM_SETSTATE:
        if (IsWindowVisible(CtrlHandle)) {
            QuietThenPaint(M, true);
            return;
        }
        break;
    case WM_PAINT:
        if (!Skinned) ApplySkinLook();
        PaintButton(M);
        M.Result = 0;
        return;
    case WM_PRINT:
        PaintButton(M);
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE: M.Result = 1; return;
    case WM_MOUSELEAVE:
        LeaveHot(this);
        break;
    default: break;
    }
    TacMainWnd::WndProc(M);
    // After a release the capture is gone, and with it the leave tracking.
    if (M.Msg == WM_MOUSEMOVE || M.Msg == WM_LBUTTONUP) TrackHot(this);
}

void TacBtnWnd::PaintButton(TMessage& M) {
    Geometry = GetWndGeometry(CtrlHandle);
    const bool print = M.Msg == WM_PRINT || M.WParam;
    std::optional<PaintScope> paint;
    if (!print) paint.emplace(CtrlHandle);
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    TargetDC target(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
    HDC dc = target.Get();
    if (!dc) return;
    SkinData->BackgroundDirty = true;
    PaintToCache();
    CopyCacheTo(dc, SkinData->CacheBitmap);
}

void TacBtnWnd::PaintToCache() {
    Geometry = GetWndGeometry(CtrlHandle);
    const CacheInfo bg = ParentBackground(this);
    TBitmap* cache = SizedCache(SkinData, Geometry);
    if (cache->Empty()) return;
    const int state = ButtonState();
    PaintControlSection(SkinData, bg, true, cache, Geometry.WndPos, Rect(0, 0, cache->Width(), cache->Height()),
                        state);
    FillCornersByMask(SkinData, state, this);
    PaintCaption();
    PaintGlyph();
    if (!WindowEnabled(this)) FadeDisabled(cache, bg, Geometry.WndPos);
    SkinData->BackgroundDirty = false;
}

void TacBtnWnd::PaintCaption() {
    TCanvas* c = SkinData->CacheBitmap->Canvas();
    SelectCaptionFont();
    TRect r = GetCaptionRect();
    DrawCaption(r, CaptionFlags());
    const TsGeneralData* s = SkinData->Section();
    if (WindowEnabled(this) && (SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS) && !WndText.empty() && s &&
        s->ShowFocus) {
        r = Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1);
        DrawDottedFrame(c, r);
    }
}

TSize TacBtnWnd::GetTextSize() {
    return MeasureText(SkinData->CacheBitmap->Canvas(), WndText, GetMaxTextWidth(), DT_NOPREFIX | CaptionFlags());
}

int TacBtnWnd::GetMaxTextWidth() {
    if (WndText.empty()) return 0;
    const int glyph = GetGlyphSize().cx;
    return Geometry.WndSize.cx - 2 - (glyph ? glyph + 2 : 0);
}

TRect TacBtnWnd::GetCaptionRect() {
    const TSize t = GetTextSize();
    const int w = Geometry.WndSize.cx, h = Geometry.WndSize.cy;
    const int dx = (w - t.cx) / 2, dy = (h - t.cy) / 2;
    TRect r = Rect(dx - 1, dy, w - dx + 2, h - dy);
    if (IsPressed()) r = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
    return r;
}

void TacBtnWnd::DrawCaption(const TRect& R, unsigned Flags) {
    TCanvas* c = SkinData->CacheBitmap->Canvas();
    c->Brush()->SetStyle(bsClear);
    WriteControlText(c, WndText.c_str(), WindowEnabled(this), ButtonState() != 0, SkinData, Flags, R);
}

// ---------------------------------------------------------------- bitmap buttons

TBitBtn* TacBitBtnWnd::LinkedBitBtn() const { return dynamic_cast<TBitBtn*>(SkinData->OwnerControl); }

HBITMAP TacBitBtnWnd::WindowBitmap() const {
    return reinterpret_cast<HBITMAP>(SendMessageW(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
}

TSize TacBitBtnWnd::GetGlyphSize() const {
    if (SkinData->OwnerControl) {
        TBitBtn* b = LinkedBitBtn();
        if (!b || b->Glyph()->Empty()) return TSize{};
        return TSize{b->Glyph()->Width() / b->NumGlyphs(), b->Glyph()->Height()};
    }
    // The bitmap's own size (its "dimension" is only what a program set).
    BITMAP bm{};
    if (HBITMAP h = WindowBitmap(); h && GetObjectW(h, sizeof bm, &bm)) return TSize{bm.bmWidth, bm.bmHeight};
    return TSize{};
}

void TacBitBtnWnd::LinkedLayout(TRect& Text, TPoint& Glyph) {
    TBitBtn* b = LinkedBitBtn();
    const TSize g = GetGlyphSize();
    const TSize t = GetTextSize();
    // The same placing as the button's own drawing.
    CalcGlyphLayout(Rect(0, 0, Geometry.WndSize.cx, Geometry.WndSize.cy), Point(g.cx, g.cy), Point(t.cx, t.cy), 0,
                    Text, Glyph, b->Spacing(), b->Margin(), b->Margin() == -1 ? 2 : 0, b->Layout());
    if (IsPressed()) {
        Text = Rect(Text.Left + 1, Text.Top + 1, Text.Right + 1, Text.Bottom + 1);
        Glyph = Point(Glyph.X + 1, Glyph.Y + 1);
    }
}

TRect TacBitBtnWnd::GetCaptionRect() {
    if (LinkedBitBtn()) {
        TRect text;
        TPoint glyph;
        LinkedLayout(text, glyph);
        return text;
    }
    TRect r = TacBtnWnd::GetCaptionRect();
    if (const int gw = GetGlyphSize().cx) r = Rect(r.Left + gw / 2 + 1, r.Top, r.Right + gw / 2 + 1, r.Bottom);
    return r;
}

TRect TacBitBtnWnd::GetGlyphRect() {
    const TSize g = GetGlyphSize();
    if (TBitBtn* b = LinkedBitBtn()) {
        const int w = Geometry.WndSize.cx, h = Geometry.WndSize.cy;
        const TSize t = GetTextSize();
        const int s = g.cx && !WndText.empty() ? b->Spacing() : 0;
        TPoint at;
        switch (b->Layout()) {
        case blGlyphRight: at = Point((w + s + t.cx - g.cx) / 2, (h - g.cy) / 2); break;
        case blGlyphTop: at = Point((w - g.cx) / 2 + 1, (h - g.cy - t.cy - s) / 2); break;
        case blGlyphBottom: at = Point((w - g.cx) / 2 + 1, h - (h - g.cy - t.cy - s) / 2 - g.cy); break;
        default: at = Point((w - g.cx - t.cx - s) / 2, (h - g.cy) / 2); break;
        }
        const int p = IsPressed() ? 1 : 0;
        return Bounds(at.X + p, at.Y + p, g.cx, g.cy);
    }
    const TRect caption = GetCaptionRect();
    const int y = (Geometry.WndSize.cy - g.cy) / 2 + (IsPressed() ? 1 : 0);
    return Bounds(caption.Left - 2 - g.cx, y, g.cx, g.cy);
}

int TacBitBtnWnd::GetMaxTextWidth() {
    TBitBtn* b = LinkedBitBtn();
    if (!b) return TacBtnWnd::GetMaxTextWidth();
    if (WndText.empty()) return 0;
    int w = b->Width() - 2 * b->Margin();
    const TSize g = GetGlyphSize();
    if ((b->Layout() == blGlyphLeft || b->Layout() == blGlyphRight) && g.cy > 0) w -= g.cx + b->Spacing();
    return w;
}

void TacBitBtnWnd::PaintGlyph() {
    TBitmap* cache = SkinData->CacheBitmap;
    const TRect at = GetGlyphRect();
    if (at.Width() <= 0 || at.Height() <= 0) return;
    if (TBitBtn* b = LinkedBitBtn()) {
        // A 24-bit copy: the button's own glyph stays as it is.
        std::unique_ptr<TBitmap> glyph(CreateBitmap24(b->Glyph()->Width(), b->Glyph()->Height()));
        BitBlt(glyph->Canvas()->Handle(), 0, 0, glyph->Width(), glyph->Height(), b->Glyph()->Canvas()->Handle(), 0,
               0, SRCCOPY);
        // Cells: up, disabled, clicked, held down; of two, the up one serves.
        const int cell = IsPressed() && b->NumGlyphs() > 2 ? std::min(b->NumGlyphs(), 4) - 1 : 0;
        const TColor key = glyph->Canvas()->Pixels(0, 0);
        CacheInfo keep;  // key pixels keep the face under them
        keep.Bmp = cache;
        keep.Ready = true;
        CopyKeyedCorner(cache, glyph.get(), at.Left, false, keep, key,
                        Rect(cell * at.Width(), 0, (cell + 1) * at.Width() - 1, at.Height() - 1), at.Top);
        return;
    }
    if (SkinData->OwnerControl) return;
    if (HBITMAP h = WindowBitmap()) {
        MemoryDC src(cache->Canvas()->Handle());
        SelectGuard sel(src.Get(), h);
        BitBlt(cache->Canvas()->Handle(), at.Left, at.Top, at.Width(), at.Height(), src.Get(), 0, 0, SRCCOPY);
    }
}

// ====================================================================== check boxes

int TacCheckBoxWnd::CheckState() const {
    const LRESULT s = SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
    if (s & BST_INDETERMINATE) return 2;
    return (s & BST_CHECKED) ? 1 : 0;
}

int TacCheckBoxWnd::GlyphState() const {
    const LRESULT s = SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
    if (s & BST_PUSHED) return 2;
    if (s & BST_FOCUS) return 1;
    return IsHot(this) ? 1 : 0;
}

bool TacCheckBoxWnd::IsRadio() const {
    const LONG s = FStyle;
    const bool box = (s & 3) == 3 || (s & 2) == 2 || (s & 5) == 5;
    return !box && ((s & 9) == 9 || (s & 4) == 4);
}

int TacCheckBoxWnd::GlyphIndex(int State) const {
    TsSkinManager* m = SkinManager;
    if (!m) return -1;
    const bool radio = IsRadio();
    static const char* const boxes[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
    static const char* const radios[] = {"RADIOUNCHECKED", "RADIOCHECKED", "BOXGRAYED"};
    const int i = State < 0 ? 0 : State > 2 ? 2 : State;
    const char* name = (radio ? radios : boxes)[i];
    return GlobalMask(m, name);
}

TRect TacCheckBoxWnd::GlyphRect(int Index) const {
    const int w = Geometry.WndSize.cx, h = Geometry.WndSize.cy;
    int cw = 16, ch = 16;
    if (SkinManager && SkinManager->IsValidMaskIndex(Index)) {
        const TsMaskData& md = SkinManager->ma()[size_t(Index)];
        if (md.Image) {
            cw = md.Image->Width() / 3;
            ch = md.Image->Height() / 2;
        } else {
            cw = md.R.Width() / std::max<int>(md.ImageCount, 1);
            ch = md.R.Height() / (md.MaskType + 1);
        }
    }
    const int x = (FStyle & BS_LEFTTEXT) ? w - cw : 0;
    return Bounds(x, (h - ch) / 2, cw, ch);
}

void TacCheckBoxWnd::WndProc(TMessage& M) {
    if (!Painting(this)) {
        TacMainWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_ENABLE:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_SETTEXT:
        // The window draws these changes itself at once: not while skinned.
        if (IsWindowVisible(CtrlHandle)) {
            HandleQuietlyThenPaint(this, [&] { TacMainWnd::WndProc(M); }, false);
            return;
        }
        break;
    case WM_PAINT:
        PaintCheckBox(M);
        M.Result = 0;
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT: M.Result = 0; return;
    case SM_ALPHACMD: {
        const uint16_t cmd = SkinCommandOf(M.WParam);
        if (cmd == scMouseEnter || cmd == scMouseLeave) {
            SkinData->UpdatingFlag = false;
            SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
        }
        break;
    }
    case WM_MOUSELEAVE: LeaveHot(this); break;
    default: break;
    }
    TacMainWnd::WndProc(M);
    switch (M.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: SendMessageW(CtrlHandle, WM_PAINT, 0, 0); break;
    case WM_KEYDOWN:
        if (M.WParam == VK_SPACE) SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
        break;
    case WM_NCHITTEST:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: TrackHot(this); break;
    default: break;
    }
}

void TacCheckBoxWnd::PaintCheckBox(TMessage& M) {
    Geometry = GetWndGeometry(CtrlHandle);
    const bool given = M.WParam != 0;
    std::optional<PaintScope> paint;
    if (!given) paint.emplace(CtrlHandle);
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    FStyle = WindowStyle(CtrlHandle);
    if (HWND parent = GetParent(CtrlHandle)) SendCommand(parent, scChildPainting);
    if (!IsWindowVisible(CtrlHandle) && !given) return;
    TargetDC target(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
    HDC dc = target.Get();
    if (!dc) return;
    PaintToCache();
    CopyCacheTo(dc, SkinData->CacheBitmap);
}

void TacCheckBoxWnd::PaintToCache() {
    TBitmap* cache = SizedCache(SkinData, Geometry);
    if (cache->Empty()) return;
    AssignFont(cache->Canvas()->Font(), WindowFont(CtrlHandle));
    const CacheInfo bg = ParentBackground(this);
    PaintControlSection(SkinData, bg, true, cache, Geometry.WndPos, Rect(0, 0, cache->Width(), cache->Height()),
                        SkinData->IsActiveState() ? 1 : 0);
    PaintCaption();
    PaintGlyph(GlyphIndex(CheckState()));
    if (!WindowEnabled(this)) FadeDisabled(cache, bg, Geometry.WndPos);
    SkinData->BackgroundDirty = false;
}

void TacCheckBoxWnd::PaintCaption() {
    if (WndText.empty()) return;
    TCanvas* c = SkinData->CacheBitmap->Canvas();
    if (SkinData->OwnerControl) c->SetFont(SkinData->OwnerControl->Font());
    const int w = Geometry.WndSize.cx, h = Geometry.WndSize.cy;
    const int area = w - GlyphRect(GlyphIndex(CheckState())).Width() - 2;
    const bool multi = (FStyle & BS_MULTILINE) != 0;
    const TSize t = MeasureText(c, WndText, area, multi ? DT_WORDBREAK : DT_SINGLELINE);
    const int top = std::max((h - int(t.cy)) / 2, 0);
    TRect r;
    if (FStyle & BS_LEFTTEXT) {
        r = Rect(2, top, 2 + t.cx, h - top);
    } else {
        const int left = w - area + 2;
        r = Rect(left, top, left + t.cx, h - top);
        const int dx = multi ? -1 : 0;
        r = Rect(r.Left + dx, r.Top - 1, r.Right + dx, r.Bottom - 1);
    }
    c->Brush()->SetStyle(bsClear);
    WriteControlText(c, WndText.c_str(), WindowEnabled(this), SkinData->IsActiveState(), SkinData,
                     multi ? DT_CENTER | DT_WORDBREAK : DT_SINGLELINE, r);
    if (SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS)
        DrawDottedFrame(c, Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1));
}

void TacCheckBoxWnd::PaintGlyph(int Index) {
    TBitmap* cache = SkinData->CacheBitmap;
    if (!cache || cache->Width() < 1 || !SkinManager) return;
    const TRect r = GlyphRect(Index);
    if (!SkinManager->IsValidMaskIndex(Index)) {
        // A skin without glyph images: the state still shows, in the section's colours.
        const TsGeneralData* s = SkinData->Section();
        const TColor ink = s ? (SkinData->IsActiveState() ? s->HotFontColor[0] : s->FontColor[0]) : clWindowText;
        const int edit = SkinManager->Resolve({"EDIT"}).Index;
        const TColor face = SkinManager->IsValidSectionIndex(edit) ? SkinManager->gd()[size_t(edit)].Color : clWindow;
        DrawPlainCheckGlyph(cache->Canvas()->Handle(), r, IsRadio(), CheckState(), ink, face);
        return;
    }
    CacheInfo self;  // key pixels keep what the cache holds
    self.Bmp = cache;
    self.Ready = true;
    PaintGlyphFromImage(cache, Point(r.Left, r.Top), GlyphState(), 1, SkinManager->ma()[size_t(Index)], self);
}

// ====================================================================== group boxes

void TacGroupBoxWnd::SelectFont(TCanvas* Canvas) {
    if (SkinData->OwnerControl)
        Canvas->SetFont(SkinData->OwnerControl->Font());
    else
        AssignFont(Canvas->Font(), WindowFont(CtrlHandle));
}

TRect TacGroupBoxWnd::CaptionRect() {
    TCanvas* c = SkinData->CacheBitmap->Canvas();
    SelectFont(c);
    const TSize t = MeasureText(c, WndText, 0, DT_CENTER);
    const int w = GetWndGeometry(CtrlHandle).WndSize.cx;
    return Rect(6, 0, std::min(t.cx + 14, w - 1), std::max(4, int(t.cy)) + 2);
}

void TacGroupBoxWnd::WndProc(TMessage& M) {
    if (!Painting(this)) {
        TacMainWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(M.WParam)) {
        case scRemoveSkin:
            if (TControl* c = SkinData->OwnerControl) c->SetControlStyle(c->ControlStyle() & ~csOpaque);
            break;
        case scQueryManager: M.Result = CaptionRect().Bottom; return;
        default: break;
        }
        break;
    case WM_SETTEXT:
        TacMainWnd::WndProc(M);
        SkinData->BackgroundDirty = true;
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
    case WM_PAINT:
        if (DialogMode) break;
        PaintGroupBox(M);
        M.Result = 0;
        return;
    case WM_ERASEBKGND:
        if (DialogMode) break;
        M.Result = 1;
        return;
    case WM_NCPAINT:
        if (!DialogMode) break;
        {
            TMessage paint{WM_NCPAINT, 0, 0, 0};
            PaintGroupBox(paint);
        }
        M.Result = 1;
        return;
    case WM_PRINT:
        if (DialogMode) break;
        SkinData->BackgroundDirty = true;
        PaintGroupBox(M);
        return;
    case WM_PARENTNOTIFY:
        TacMainWnd::WndProc(M);
        if (LOWORD(M.WParam) == WM_CREATE) NotifyParentForm(SkinData->OwnerControl);
        return;
    default: break;
    }
    TacMainWnd::WndProc(M);
}

void TacGroupBoxWnd::PaintGroupBox(TMessage& M) {
    Geometry = GetWndGeometry(CtrlHandle);
    const bool given = M.Msg == WM_PRINT && M.WParam;
    std::optional<PaintScope> paint;
    if (M.Msg == WM_PAINT) paint.emplace(CtrlHandle);
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    {
        TargetDC target(CtrlHandle, given ? reinterpret_cast<HDC>(M.WParam) : nullptr, WindowDC::Window);
        HDC dc = target.Get();
        if (!dc) return;
        PaintToCache();
        SavedDC saved(dc);
        const TRect all = Rect(0, 0, Geometry.WndSize.cx, Geometry.WndSize.cy);
        if (DialogMode && SkinManager) {
            // The dialog's own procedure paints inside the frame.
            const int mask = SkinData->BorderMaskNo;
            ExcludeClipRect(dc, SkinManager->MaskMarginLeft(mask), CaptionRect().Bottom,
                            all.Right - SkinManager->MaskMarginRight(mask),
                            all.Bottom - SkinManager->MaskMarginBottom(mask));
        }
        PaintChildWindows(CtrlHandle, SkinData, all, 0, 0, false, dc, all);
        if (auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl))
            PaintGraphicChildren(dc, owner, Point(0, 0));
    }
    RepaintChildWindows(CtrlHandle);
}

void TacGroupBoxWnd::PaintToCache() {
    TBitmap* cache = SizedCache(SkinData, Geometry);
    if (cache->Empty()) return;
    SelectFont(cache->Canvas());
    const TRect caption = CaptionRect();
    BackgroundInfo info;
    info.X = Geometry.WndPos.X;
    info.Y = Geometry.WndPos.Y;
    QueryParentBackground(info, GetParent(CtrlHandle), false);
    CacheInfo bg;
    BackgroundToCacheInfo(info, bg);
    const int w = cache->Width(), h = cache->Height();
    FillFromParent(cache, Rect(0, 0, w, caption.Bottom), bg, Geometry.WndPos);
    const int top = caption.Bottom / 2;
    PaintControlSection(SkinData, bg, true, cache, Point(Geometry.WndPos.X, Geometry.WndPos.Y + top),
                        Rect(0, top, w, h), 0);
    if (!WndText.empty()) PaintCaption(caption);
    SkinData->BackgroundDirty = false;
}

void TacGroupBoxWnd::PaintCaption(const TRect& R) {
    TBitmap* cache = SkinData->CacheBitmap;
    // The frame stops behind the text.
    FillFromParent(cache, R, WindowParentBackgroundInfo(CtrlHandle), Geometry.WndPos);
    TCanvas* c = cache->Canvas();
    c->Brush()->SetStyle(bsClear);
    SelectFont(c);
    WriteControlText(c, WndText.c_str(), WindowEnabled(this), false, SkinData, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                     R);
}

// ====================================================================== transparent panels

void TacTransPanelWnd::WndProc(TMessage& M) {
    if (!Painting(this)) {
        TacMainWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_ERASEBKGND:
        PaintTransparent(reinterpret_cast<HDC>(M.WParam));
        M.Result = 1;
        return;
    case WM_NCPAINT: M.Result = 0; return;
    default: TacMainWnd::WndProc(M);
    }
}

void TacTransPanelWnd::PaintTransparent(HDC DC) {
    RECT wr{};
    GetWindowRect(CtrlHandle, &wr);
    const TRect all = Rect(0, 0, wr.right - wr.left, wr.bottom - wr.top);
    TargetDC target(CtrlHandle, DC);
    HDC dc = target.Get();
    if (!dc) return;
    SkinData->BackgroundDirty = true;
    SendCommand(CtrlHandle, scUpdateCache);
    if (!SkinData->CacheBitmap || SkinData->CacheBitmap->Empty()) return;
    PaintChildWindows(CtrlHandle, SkinData, all, 0, 0, false, dc, all);
}

// ====================================================================== class-library panels

namespace {

// A window's outer size and its border width (half of what the window is
// wider than its client area).
struct FrameSize {
    int W, H, B;
};

FrameSize FrameOf(HWND Wnd) {
    RECT wr{}, cr{};
    GetWindowRect(Wnd, &wr);
    GetClientRect(Wnd, &cr);
    const int w = wr.right - wr.left;
    return {w, wr.bottom - wr.top, (w - cr.right) / 2};
}

// The frame and print messages both panel wrappers answer alike; true when
// Message is answered. NCPaintResult: the answer to WM_NCPAINT.
template <class PanelWnd>
bool PanelFrameMessage(PanelWnd* W, TMessage& Message, LRESULT NCPaintResult) {
    switch (Message.Msg) {
    case WM_NCPAINT:
        W->PaintBorder(nullptr);
        Message.Result = NCPaintResult;
        return true;
    case WM_UPDATEUISTATE: Message.Result = 1; return true;
    case WM_PRINT:
        W->PaintClient(reinterpret_cast<HDC>(Message.WParam));
        W->PaintBorder(reinterpret_cast<HDC>(Message.WParam));
        return true;
    default: return false;
    }
}

}  // namespace

AnsiString PanelSection(const TCustomPanel* P) {
    switch (P->BevelOuter()) {
    case bvLowered: return P->BevelInner() == bvRaised ? "GROUPBOX" : "PANEL_LOW";
    case bvRaised: return P->BevelInner() == bvLowered ? "GROUPBOX" : "PANEL";
    default: return P->BorderStyle() != bsNone ? "PANEL_LOW" : "CHECKBOX";
    }
}

TacPanelWnd::TacPanelWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                         TsCommonData* Data)
    : TacMainWnd(AHandle, Repaint, Section, Manager, Data) {
    if (TCustomPanel* p = Panel()) SkinData->SetSkinSection(PanelSection(p));
}

TCustomPanel* TacPanelWnd::Panel() const { return dynamic_cast<TCustomPanel*>(SkinData->OwnerControl); }

void TacPanelWnd::WndProc(TMessage& M) {
    TCustomPanel* panel = Panel();
    if (!panel || !(panel->ControlStyle() & csAcceptsControls) || !Painting(this)) {
        TacMainWnd::WndProc(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD) {
        switch (SkinCommandOf(M.WParam)) {
        case scNewSkin: SendToControlTree(panel, M.Msg, M.WParam, M.LParam); break;
        case scRemoveSkin:
            SkinData->SkinSectionNo = -1;
            panel->SetControlStyle(panel->ControlStyle() & ~csOpaque);
            break;
        case scRepaint:
            SkinData->UpdatingFlag = false;
            RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            return;
        case scIsSkinned: M.Result = 1; return;
        case scUpdateCache: return;
        case scGetApplication: M.Result = reinterpret_cast<LRESULT>(Application); return;
        default: break;
        }
        TacMainWnd::WndProc(M);
        return;
    }
    if (SkinData->IsSkinned()) {
        if (PanelFrameMessage(this, M, 0)) return;
        switch (M.Msg) {
        case WM_SETTEXT:
            if (IsWindowVisible(CtrlHandle)) {
                HandleQuietlyThenPaint(this, [&] { TacMainWnd::WndProc(M); }, true);
                return;
            }
            break;
        case WM_PAINT:
            acwrap::PaintOnErase(CtrlHandle);
            M.Result = 0;
            return;
        case WM_ERASEBKGND:
            PaintClient(reinterpret_cast<HDC>(M.WParam));
            M.Result = 1;
            return;
        case WM_PARENTNOTIFY:
            TacMainWnd::WndProc(M);
            if (LOWORD(M.WParam) == WM_CREATE) NotifyParentForm(panel);
            return;
        default: break;
        }
    }
    TacMainWnd::WndProc(M);
    if (M.Msg == WM_WINDOWPOSCHANGING) SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
}

void TacPanelWnd::PaintToCache() {
    TCustomPanel* panel = Panel();
    SkinData->PrepareCacheBitmap();
    TBitmap* cache = SkinData->CacheBitmap;
    if (cache->Empty()) return;
    const CacheInfo bg = SkinData->ParentBackgroundInfo();
    PaintControlSection(SkinData, bg, true, cache, Point(panel->Left(), panel->Top()),
                        Rect(0, 0, panel->Width(), panel->Height()), 0);
    TRect r = panel->ClientRect();
    const int bevels = (panel->BevelOuter() != bvNone) + (panel->BevelInner() != bvNone);
    const int inset = bevels * panel->BevelWidth() + panel->BorderWidth();
    r = Rect(r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset);
    PaintCaption(r, cache->Canvas());
    SkinData->BackgroundDirty = false;
}

void TacPanelWnd::PaintCaption(const TRect& R, TCanvas* Canvas) {
    TCustomPanel* panel = Panel();
    if (panel->Caption().empty()) return;
    Canvas->SetFont(panel->Font());
    Canvas->Brush()->SetStyle(bsClear);
    const int h = Canvas->TextHeight("W");
    const int top = R.Top + (R.Height() - h) / 2;
    WriteControlText(Canvas, panel->Caption().c_str(), panel->Enabled(), false, SkinData, DT_CENTER | DT_VCENTER,
                     Rect(R.Left, top, R.Right, top + h));
}

void TacPanelWnd::PaintClient(HDC DC) {
    TCustomPanel* panel = Panel();
    if ((panel->ComponentState() & csDestroying) ||
        (panel->Parent() && (panel->Parent()->ControlState() & csCreating)))
        return;
    TargetDC target(CtrlHandle, DC, WindowDC::Window);
    HDC dc = target.Get();
    if (!dc) return;
    SavedDC saved(dc);
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    RECT clip{};
    GetClipBox(dc, &clip);
    const bool partial = clip.left > 0 || clip.top > 0 || clip.right < panel->Width() || clip.bottom < panel->Height();
    if (SkinData->BackgroundDirty || FPartialPaint) PaintToCache();
    const TsGeneralData* s = SkinData->Section();
    FPartialPaint = partial && s && s->Transparency > 0;
    const int b = FrameOf(CtrlHandle).B;
    // A client DC has its origin inside the border; the window DC outside it.
    const int at = DC ? 0 : b;
    PaintChildControls(panel, SkinData, Rect(b, b, panel->Width() - b, panel->Height() - b), at, at, false, dc,
                       Rect(at, at, at + panel->Width() - 2 * b, at + panel->Height() - 2 * b));
    PaintGraphicChildren(dc, panel, Point(at, at));
    RepaintChildren(panel);
}

void TacPanelWnd::PaintBorder(HDC DC) {
    const auto [w, h, b] = FrameOf(CtrlHandle);
    if (b <= 0) return;
    if (SkinData->BackgroundDirty) PaintToCache();
    TargetDC target(CtrlHandle, DC, WindowDC::Window);
    HDC dc = target.Get();
    if (!dc || !SkinData->CacheBitmap) return;
    CopyBorderBands(dc, 0, 0, w, h, SkinData->CacheBitmap->Canvas()->Handle(), 0, 0, b);
}

// ====================================================================== panels inside system dialogs

TacDlgPanelWnd::TacDlgPanelWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                               TsCommonData* Data)
    : TacMainWnd(AHandle, Repaint, Section, Manager, Data) {
    Control = FindControlByHandle(AHandle, Application);
    FPanel = Control && AnsiString(Control->ClassName()) == "TPanel";
    SkinData->SetSkinSection(FPanel ? "CHECKBOX" : "GROUPBOX");
    if (FPanel) TakeGlobalColor();
}

// Painting and child changes give any owning control the global colour; the
// set-up steps give it only to a plain panel.
void TacDlgPanelWnd::TakeGlobalColor() {
    if (!Control || !SkinManager) return;
    const TColor c = SkinManager->GlobalColor();
    if (Control->Color() != c) Control->SetColor(c);
}

void TacDlgPanelWnd::ApplySkinLook() {
    TacMainWnd::ApplySkinLook();
    if (FPanel) TakeGlobalColor();
}

void TacDlgPanelWnd::WndProc(TMessage& M) {
    if (!Painting(this)) {
        TacMainWnd::WndProc(M);
        return;
    }
    if (PanelFrameMessage(this, M, 1)) return;
    switch (M.Msg) {
    case SM_ALPHACMD:
        if (SkinCommandOf(M.WParam) == scNewSkin && Control) SendToControlTree(Control, M.Msg, M.WParam, M.LParam);
        break;
    case WM_SETTEXT:
        if (IsWindowVisible(CtrlHandle)) SkinData->BackgroundDirty = true;
        break;
    case WM_PAINT: {
        TakeGlobalColor();
        acwrap::ValidateByPaint(CtrlHandle);
        M.Result = 0;
        return;
    }
    case WM_ERASEBKGND: {
        const auto dc = reinterpret_cast<HDC>(M.WParam);
        PaintClient(dc);
        if (dc) {
            // The panel's own face inside the frame.
            SavedDC saved(dc);
            RECT r{};
            GetClientRect(CtrlHandle, &r);
            IntersectClipRect(dc, 6, 6, r.right - 6, r.bottom - 6);
            LPARAM none = 0;
            CallPrevWndProc(this, CtrlHandle, WM_PAINT, M.WParam, none);
        }
        M.Result = 1;
        return;
    }
    case WM_PARENTNOTIFY:
        TacMainWnd::WndProc(M);
        TakeGlobalColor();
        if (LOWORD(M.WParam) == WM_CREATE) NotifyParentForm(Control);
        return;
    case WM_THEMECHANGED:
        if (Control) Control->SetColor(clBtnFace);
        break;
    default: break;
    }
    TacMainWnd::WndProc(M);
}

void TacDlgPanelWnd::PaintToCache() {
    Geometry = GetWndGeometry(CtrlHandle);
    TBitmap* cache = SizedCache(SkinData, Geometry);
    if (cache->Empty()) return;
    PaintControlSection(SkinData, ParentBackground(this), true, cache, Geometry.WndPos,
                        Rect(0, 0, cache->Width(), cache->Height()), 0);
    SkinData->BackgroundDirty = false;
}

void TacDlgPanelWnd::PaintBorder(HDC DC) {
    const auto [w, h, b] = FrameOf(CtrlHandle);
    if (b < -5) return;
    SkinData->BackgroundDirty = true;
    PaintToCache();
    TargetDC target(CtrlHandle, DC, WindowDC::Window);
    HDC dc = target.Get();
    if (!dc || !SkinData->CacheBitmap || SkinData->CacheBitmap->Empty()) return;
    CopyBorderBands(dc, 0, 0, w, h, SkinData->CacheBitmap->Canvas()->Handle(), 0, 0, b + 6);
}

void TacDlgPanelWnd::PaintClient(HDC DC) {
    if (!SkinData->IsSkinned()) return;
    TargetDC target(CtrlHandle, DC, WindowDC::Window);
    HDC dc = target.Get();
    if (!dc) return;
    SavedDC saved(dc);
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    PaintToCache();
    const auto [w, h, b] = FrameOf(CtrlHandle);
    const int at = DC ? 0 : b;
    BitBlt(dc, at, at, w - 2 * b, h - 2 * b, SkinData->CacheBitmap->Canvas()->Handle(), b, b, SRCCOPY);
}
