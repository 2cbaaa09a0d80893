// The edit-like wrappers: the common reactions, edits and memos, combo boxes
// with their lists, and the MDI client area.
#include "acSBUtilsWnds.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "Forms.h"
#include "WinText.h"
#include "acSBUtilsPaint.h"
#include "acntUtilsWin.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

bool acComboListDropped = false;

namespace {

constexpr UINT acSwallowedHelpQuery = 0x2100;
constexpr UINT acListShown = 0x1AE, acListHidden = 0x1AF;
constexpr UINT acFrameOnly = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                             SWP_NOOWNERZORDER;

LRESULT SendCommand(HWND Wnd, uint16_t Command, LPARAM LParam = 0) {
    return SendMessageW(Wnd, SM_ALPHACMD, WPARAM(SkinWParam(Command)), LParam);
}

HDC CacheDC(TsCommonData* Data) {
    return Data && Data->CacheBitmap && !Data->CacheBitmap->Empty() ? Data->CacheBitmap->Canvas()->Handle()
                                                                     : nullptr;
}

// Size of the window rectangle.
TSize WindowSize(HWND Wnd) {
    RECT r{};
    GetWindowRect(Wnd, &r);
    return TSize{r.right - r.left, r.bottom - r.top};
}

bool PlatformSixOrLater() {
    static const bool six = (LOBYTE(LOWORD(GetVersion()))) >= 6;
    return six;
}

// The text of list item Index, its length asked first.
AnsiString ComboItemText(HWND Combo, int Index) {
    const LRESULT n = SendMessageW(Combo, CB_GETLBTEXTLEN, WPARAM(Index), 0);
    if (n == CB_ERR || n < 0) return AnsiString();
    std::vector<wchar_t> buf(size_t(n) + 1, L'\0');
    const LRESULT got = SendMessageW(Combo, CB_GETLBTEXT, WPARAM(Index), LPARAM(buf.data()));
    if (got == CB_ERR || got < 0) return AnsiString();
    return FromWide(buf.data(), int(std::min<LRESULT>(got, n)));
}

}  // namespace

// ================================================================ TacBaseWnd

TsSkinManager* TacBaseWnd::Manager() const {
    if (SkinManager) return SkinManager;
    return SkinData ? SkinData->SkinManager() : nullptr;
}

bool TacBaseWnd::IsOwnManager(LPARAM LParam) const {
    return reinterpret_cast<TsSkinManager*>(LParam) == Manager();
}

const TsGeneralData* TacBaseWnd::Section() const { return SkinData ? SkinData->Section() : nullptr; }

void TacBaseWnd::RefreshBars() {
    if (!OwnScroll && !Destroyed) UpdateScrollInfo(this, true);
}

void TacBaseWnd::SendNCPaint() {
    if (WndVisible()) SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
}

void TacBaseWnd::WndProc(TMessage& M) {
    // The manager marks its skin unloaded before it tells the windows it is
    // gone: the plain look comes back here, whatever "skinned" says by then.
    if (M.Msg == SM_ALPHACMD && SkinCommandOf(M.WParam) == scRemoveSkin && !Destroyed && SkinData &&
        IsOwnManager(M.LParam))
        RestorePlainLook();
    if (!SkinnedNow()) {
        TacScrollWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(M.WParam)) {
        case scRefresh:
            if (!IsOwnManager(M.LParam)) break;
            TacScrollWnd::WndProc(M);
            SendNCPaint();
            AfterRefresh();
            return;
        case scUpdateCache:
            UpdateWndCache(SkinData, CtrlHandle, false);
            break;
        default:
            break;
        }
        break;
    case WM_SIZE:
        SkinData->BackgroundDirty = true;
        break;
    case WM_SETCURSOR:
        PassOn(M);
        return;
    case acSwallowedHelpQuery:
        return;
    default:
        break;
    }
    TacScrollWnd::WndProc(M);
    if (Destroyed) return;
    switch (M.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
        RefreshBars();
        break;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
        SendNCPaint();
        break;
    default:
        break;
    }
}

// ================================================================ TacEditWnd

TacEditWnd::TacEditWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                       TsCommonData* Data)
    : TacBaseWnd(AHandle, Repaint, Section, Manager, Data) {}

TacEditWnd::~TacEditWnd() = default;

HBRUSH TacEditWnd::LookBrush(TColor Value) {
    if (!FBrush || FBrushColor != Value) {
        FBrush.Reset(CreateSolidBrush(COLORREF(ColorToRGB(Value))));
        FBrushColor = Value;
    }
    return FBrush.Get();
}

void TacEditWnd::FreeLookBrush() {
    FBrush.Reset();
    FBrushColor = clNone;
}

void TacEditWnd::SavePlainLook() {
    TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
    if (!c) return;
    SavedColor = c->Color();
    SavedFontColor = c->Font()->Color();
    HasFocusColor = HasPublishedProp(c, "FocusColor");
    if (HasFocusColor) SavedFocusColor = TColor(OrdPropOf(c, "FocusColor"));
    PlainSaved = true;
}

void TacEditWnd::ApplySkinLookOnce() {
    if (!Skinned && !FRestoring) ApplySkinLook();
}

void TacEditWnd::RestorePlainLook() {
    FreeLookBrush();
    Skinned = false;
    if (!CtrlHandle || !IsWindow(CtrlHandle)) return;
    {
        // The frame is painted again at once, while the skin is still there:
        // that paint must not put the look back.
        ValueRestorer<bool> restoring(FRestoring, true);
        SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0, acFrameOnly);
    }
    TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
    if (!c || !PlainSaved || (c->ComponentState() & csDestroying)) return;
    c->SetColor(SavedColor);
    c->Font()->SetColor(SavedFontColor);
    if (HasFocusColor) PutOrdProp(c, "FocusColor", SavedFocusColor);
}

void TacEditWnd::ApplySkinLook() {
    ValueRestorer<bool> guard(StyleGuard, true);
    Skinned = true;
    TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
    const TsGeneralData* s = Section();
    if (c) {
        if (!SkinData->CustomColor()) {
            const TColor col = SkinData->BackgroundColor(SkinData->IsActiveState() ? 1 : 0, CtrlHandle);
            if (HasFocusColor) {
                if (c->Color() != col) PutOrdProp(c, "Color", col);
                PutOrdProp(c, "FocusColor", col);
            } else if (c->Color() != col) {
                c->SetColor(col);
            }
        }
        if (!SkinData->CustomFont() && s && c->Font()->Color() != s->HotFontColor[0])
            c->Font()->SetColor(s->HotFontColor[0]);
    } else {
        PaintColor = s && !DialogMode ? s->Color : clWindow;
        FrameColor = 0;
        LookBrush(PaintColor);
    }
    SkinData->BackgroundDirty = true;
}

void TacEditWnd::CopyCacheBands(HDC DC, int Band) {
    HDC src = CacheDC(SkinData);
    if (!src || Band <= 0) return;
    const TSize sz = WindowSize(CtrlHandle);
    CopyBorderBands(DC, 0, 0, sz.cx, sz.cy, src, 0, 0, Band);
}

void TacEditWnd::WMNCPaint() {
    Geometry = GetWndGeometry(CtrlHandle);
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    if (SkinData->BackgroundDirty) {
        ApplySkinLookOnce();
        UpdateWndCache(SkinData, CtrlHandle, DialogMode);
        if (!DialogMode) FillCornersByMask(SkinData, 0, this);
    }
    WindowDC dc(CtrlHandle, WindowDC::Window);
    if (!dc) return;
    SavedDC saved(dc.Get());
    CopyCacheBands(dc.Get(), EdgeLeft);
    PaintScrollBars(this, CtrlHandle, dc.Get());
}

void TacEditWnd::ClipToClient(HDC DC) {
    const TSize sz = WindowSize(CtrlHandle);
    int w = sz.cx - EdgeLeft - EdgeRight, h = sz.cy - EdgeTop - EdgeBottom;
    if (VertBar() && VertBar()->Visible) w -= GetScrollMetric(VertBar(), 1, false);
    if (HorzBar() && HorzBar()->Visible) h -= GetScrollMetric(HorzBar(), 1, false);
    const int left = EdgeLeft + (LeftScrollBar && VertBar() && VertBar()->Visible ? GetScrollMetric(VertBar(), 1, false) : 0);
    OffsetViewportOrgEx(DC, left, EdgeTop, nullptr);
    IntersectClipRect(DC, 0, 0, std::max(w, 0), std::max(h, 0));
}

HDC TacEditWnd::StartPrint(TMessage& M) {
    HDC dc = reinterpret_cast<HDC>(M.WParam);
    if (!dc) {
        TacBaseWnd::WndProc(M);
        return nullptr;
    }
    Geometry = GetWndGeometry(CtrlHandle);
    SkinData->UpdatingFlag = false;
    SkinData->BackgroundDirty = true;
    ApplySkinLookOnce();
    return dc;
}

void TacEditWnd::WMPrint(TMessage& M) {
    HDC dc = StartPrint(M);
    if (!dc) return;
    UpdateWndCache(SkinData, CtrlHandle, DialogMode);
    if (!DialogMode) FillCornersByMask(SkinData, 0, this);
    CopyCacheBands(dc, EdgeLeft);
    PaintScrollBars(this, CtrlHandle, dc);
    {
        SavedDC saved(dc);
        ClipToClient(dc);
        SendMessageW(CtrlHandle, WM_ERASEBKGND, WPARAM(dc), 0);
        SendMessageW(CtrlHandle, WM_PAINT, WPARAM(dc), 0);
        SendMessageW(CtrlHandle, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT | PRF_OWNED);
    }
    // The client is in the DC now: handing WM_PRINT on would paint it a
    // second time, over the border.
    M.Result = 0;
}

void TacEditWnd::AfterRefresh() {
    if (!Destroyed) ApplySkinLook();
}

void TacEditWnd::WndProc(TMessage& M) {
    if (!SkinnedNow()) {
        TacBaseWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(M.WParam)) {
        case scRepaint:
            if (SkinData->UpdatingFlag) {
                SkinData->UpdatingFlag = false;
                RedrawWindow(CtrlHandle, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            }
            break;
        case scIsSkinned:
            M.Result = 1;
            return;
        case scUpdateCache:
            UpdateWndCache(SkinData, CtrlHandle, DialogMode);
            FillCornersByMask(SkinData, 0, this);
            return;
        case scQuerySkinIndex:
            M.Result = SkinData->SkinSectionNo + 1;
            return;
        case scGetApplication:
            M.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
        break;
    case WM_PAINT:
        if (!WndVisible()) break;
        SkinData->UpdatingFlag = SkinData->IsUpdating();
        if (SkinData->UpdatingFlag || (FadeInProgress && !FadeCaptureDC)) {
            acwrap::ValidateByPaint(CtrlHandle);
            return;
        }
        PaintScrollBars(this, CtrlHandle, reinterpret_cast<HDC>(M.WParam));
        ApplySkinLookOnce();
        break;
    case WM_ERASEBKGND:
        if (!WndVisible()) break;
        SkinData->UpdatingFlag = SkinData->IsUpdating();
        if (SkinData->UpdatingFlag) return;
        ApplySkinLookOnce();
        if (PlatformSixOrLater() && FadeInProgress && reinterpret_cast<HDC>(M.WParam) != FadeCaptureDC) {
            M.Result = 1;
            return;
        }
        break;
    case WM_NCPAINT:
        if (!WndVisible()) break;
        if (!FadeInProgress) WMNCPaint();
        return;
    case WM_PRINT:
        WMPrint(M);
        return;
    case CM_FONTCHANGED:
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
        break;
    default:
        break;
    }
    TacBaseWnd::WndProc(M);
    if (Destroyed) return;
    switch (M.Msg) {
    case WM_SIZE:
        SendNCPaint();
        break;
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETTOPINDEX:
    case LB_SETCURSEL:
        UpdateScrollInfo(this, true);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case CN_KEYDOWN:
    case CN_KEYUP:
        RefreshBars();
        break;
    case WM_MOUSEMOVE:
        if (DefaultSkinManager && !(DefaultSkinManager->ComponentState() & csDesigning) &&
            IsWindowEnabled(CtrlHandle) && DefaultSkinManager->HotWindow() != CtrlHandle)
            DefaultSkinManager->SetHotWindow(CtrlHandle);
        break;
    default:
        break;
    }
}

// ================================================================ TacComboListWnd

TacComboListWnd::TacComboListWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                                 TsCommonData* Data)
    : TacEditWnd(AHandle, Repaint, Section, Manager, Data) {
    // A list made without a repaint keeps its visual style.
    FSwitchThemeOff = FSwitchThemeOff && Repaint;
}

void TacComboListWnd::PrepareCache() {
    if (SimpleBox) {
        SendCommand(CtrlHandle, scUpdateCache);
        return;
    }
    SkinData->ResolveIndexes();
    if (!Restoring()) ApplySkinLook();
    TBitmap* cache = SkinData->CacheBitmap;
    if (!cache) return;
    const TSize sz = WindowSize(CtrlHandle);
    cache->SetSize(sz.cx, sz.cy);
    HDC dc = cache->Canvas()->Handle();
    BrushHandle brush(CreateSolidBrush(COLORREF(ColorToRGB(PaintColor))));
    PenHandle pen(CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(FrameColor))));
    SelectGuard b(dc, brush.Get()), p(dc, pen.Get());
    Rectangle(dc, 0, 0, sz.cx, sz.cy);
    SkinData->BackgroundDirty = false;
}

void TacComboListWnd::RepaintStripBelow() {
    // The combo box does not erase itself while wrapped: what lies below its
    // list is its background, an image or a colour.
    HWND combo = GetParent(CtrlHandle);
    if (!combo) return;
    RECT lr{}, cr{};
    GetWindowRect(CtrlHandle, &lr);
    GetWindowRect(combo, &cr);
    if (lr.bottom >= cr.bottom) return;
    BackgroundInfo bg;
    if (!QueryParentBackground(bg, combo, false)) return;
    WindowDC dc(combo, WindowDC::Window);
    if (!dc) return;
    const int y = lr.bottom - cr.top;
    const TRect strip = Rect(0, y, cr.right - cr.left, cr.bottom - cr.top);
    if (bg.BgType == 2 && bg.Bmp)
        BitBlt(dc.Get(), strip.Left, strip.Top, strip.Width(), strip.Height(), bg.Bmp->Canvas()->Handle(), bg.X,
               bg.Y + y, SRCCOPY);
    else
        FillRectOnDC(dc.Get(), strip, bg.Color);
}

void TacComboListWnd::WMNCPaint() {
    Geometry = GetWndGeometry(CtrlHandle);
    PrepareCache();
    if (!DialogMode) FillCornersByMask(SkinData, 0, this);
    {
        WindowDC dc(CtrlHandle, WindowDC::Window);
        if (!dc) return;
        CopyCacheBands(dc.Get(), 2);
        PaintScrollBars(this, CtrlHandle, dc.Get());
    }
    if (SimpleBox) RepaintStripBelow();
}

void TacComboListWnd::WndProc(TMessage& M) {
    if (!SkinnedNow()) {
        TacEditWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_ERASEBKGND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        PassOn(M);
        return;
    case WM_NCCALCSIZE:
        TacScrollWnd::WndProc(M);
        return;
    case WM_NCPAINT:
        if (!OwnScroll) WMNCPaint();
        return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        TMessage hit{WM_NCHITTEST, 0, M.LParam, 0};
        WMNCHitTest(hit);
        M.WParam = WPARAM(hit.Result);
        if (hit.Result == HTHSCROLL || hit.Result == HTVSCROLL) {
            if (!WMNCButtonDown(M)) PassOn(M);
        } else {
            PassOn(M);
        }
        return;
    }
    case WM_LBUTTONUP:
        // A dropped list never sees the release of a press on its bar (the
        // system's scroll loop takes it): its own handling would pick the
        // selected item and scroll back to it.
        if (!SimpleBox && acScrollMouse.Wnd == CtrlHandle &&
            (acScrollMouse.PressedPart != acPartNone || ThumbDragging)) {
            ReleasePress(true);
            M.Result = 0;
            return;
        }
        // The scroll wrapper ends a press on the bars and hands the message on.
        TacScrollWnd::WndProc(M);
        if (SimpleBox && GetCapture() == CtrlHandle) ReleaseCapture();
        return;
    case acListShown:
        Shown = true;
        break;
    case acListHidden:
        Shown = false;
        SkinData->BackgroundDirty = true;
        break;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
        HDC dc = reinterpret_cast<HDC>(M.WParam);
        if (!dc || !WndVisible()) break;
        PrepareCache();
        PassOn(M);
        if (M.Msg == WM_PRINT && SendMessageW(CtrlHandle, LB_GETCOUNT, 0, 0) >= 1) {
            if (acScrollMouse.PressedPart == acPartNone && !Shown) CopyCacheBands(dc, 3);
            PaintScrollBars(this, CtrlHandle, dc);
        }
        return;
    }
    default:
        break;
    }
    TacEditWnd::WndProc(M);
    if (!Destroyed && M.Msg == WM_WINDOWPOSCHANGED) UpdateScrollInfo(this, true);
}

// ================================================================ TacComboBoxWnd

TacComboBoxWnd::TacComboBoxWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                               TsCommonData* Data)
    : TacEditWnd(AHandle, Repaint, Section, Manager, Data), ButtonData(new TsCommonData(nullptr, true)) {
    if (Manager) ButtonData->WriteSkinManager(Manager);
    ButtonData->SetSkinSection("COMBOBTN");
}

TacComboBoxWnd::~TacComboBoxWnd() {
    if (ListWnd) {
        TacMainWnd* list = ListWnd;
        ListWnd = nullptr;
        if (!list->Destroyed && IsWindow(list->CtrlHandle)) {
            DetachWrapper(list->CtrlHandle, true, false, list);
        }
        delete list;
    }
}

TRect TacComboBoxWnd::ButtonRect() {
    RECT cr{};
    GetClientRect(CtrlHandle, &cr);
    const LONG_PTR style = GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
    const int w = (style & 2) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    if (w == 0) return TRect();
    if (GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) return Rect(2, 2, 2 + w, cr.bottom - 2);
    return Rect(cr.right - 2 - w, 2, cr.right - 2, cr.bottom - 2);
}

int TacComboBoxWnd::ButtonState() {
    if (ListHandle && IsWindowVisible(ListHandle)) return 2;
    TsSkinManager* m = Manager();
    return SkinData->IsActiveState() || (m && m->HotWindow() == CtrlHandle) ? 1 : 0;
}

void TacComboBoxWnd::PaintButton(HDC DC) {
    const TRect r = ButtonRect();
    TsSkinManager* m = Manager();
    TBitmap* cache = SkinData->CacheBitmap;
    if (r.Width() <= 0 || r.Height() <= 0 || !m || !cache || cache->Empty()) return;
    std::optional<WindowDC> own;
    if (!DC) {
        own.emplace(CtrlHandle, WindowDC::Window);
        DC = own->Get();
        if (!DC) return;
    }
    const int state = ButtonState();
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(r.Width(), r.Height()));
    HDC bdc = bmp->Canvas()->Handle();
    BitBlt(bdc, 0, 0, r.Width(), r.Height(), cache->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
    const TsCommonIndexes& ci = m->ConstData();
    if (m->IsValidSectionIndex(ci.ComboBtn))
        PaintSectionWithImage(m->SectionAt(ci.ComboBtn), ci.ComboBtnBorder, ci.ComboBtnPattern, m, bmp.get(),
                              Point(r.Left, r.Top), Rect(0, 0, r.Width(), r.Height()), state, true,
                              MakeBitmapBackground(cache, r.Left, r.Top), ci.ComboBtnHotPattern);
    if (m->IsValidMaskIndex(ci.ComboGlyph)) {
        const TPoint cell = m->MaskStateSize(ci.ComboGlyph);
        const TSize wsz = WindowSize(CtrlHandle);
        const TPoint at{(r.Width() - cell.X) / 2, (wsz.cy - cell.Y) / 2 - r.Top};
        PaintGlyphFromImage(bmp.get(), at, state, 1, m->ma()[size_t(ci.ComboGlyph)], MakeBitmapBackground(bmp.get(), 0, 0));
    } else {
        DrawPlainArrow(bdc, Rect(0, 0, r.Width(), r.Height()), 1, SectionFontColor(m, ci.ComboBtn, state));
    }
    BitBlt(DC, r.Left, r.Top, r.Width(), r.Height(), bdc, 0, 0, SRCCOPY);
}

void TacComboBoxWnd::PrepareSimpleCache() {
    TBitmap* cache = SkinData->CacheBitmap;
    TsSkinManager* m = Manager();
    if (!cache || !m) return;
    const TSize sz = WindowSize(CtrlHandle);
    const int h = int(SendMessageW(CtrlHandle, CB_GETITEMHEIGHT, WPARAM(-1), 0)) + 8;
    cache->SetSize(sz.cx, h);
    const TsSkinValues& v = m->SkinData()->Values;
    if (DialogMode && v.BorderColor != 0xFF00FF) {
        HDC dc = cache->Canvas()->Handle();
        FillRectOnDC(dc, Rect(0, 0, sz.cx, h), clWindow);
        FillBorderOnDC(dc, Rect(0, 0, sz.cx, h), 1, 1, 1, 1, v.BorderColor);
    } else {
        PaintControlSection(SkinData, WindowParentBackgroundInfo(CtrlHandle), true, cache, Geometry.WndPos,
                            Rect(0, 0, sz.cx, h), SkinData->IsActiveState() ? 1 : 0);
    }
    SkinData->BackgroundDirty = false;
}

void TacComboBoxWnd::DrawTextArea() {
    TBitmap* cache = SkinData->CacheBitmap;
    if (!cache || cache->Empty()) return;
    HDC dc = cache->Canvas()->Handle();
    SavedDC saved(dc);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(CtrlHandle, WM_GETFONT, 0, 0));
    SelectGuard f(dc, font);
    const LRESULT sel = SendMessageW(CtrlHandle, CB_GETCURSEL, 0, 0);
    const AnsiString text = sel != CB_ERR ? ComboItemText(CtrlHandle, int(sel)) : GetWindowTextAnsi(CtrlHandle);
    const TRect b = ButtonRect();
    const TSize sz = WindowSize(CtrlHandle);
    TRect r = (GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) ? Rect(b.Right, 3, sz.cx - 3, sz.cy - 3)
                                                                                 : Rect(3, 3, b.Left, sz.cy - 3);
    if (r.Width() <= 0 || r.Height() <= 0) return;
    const bool focused = GetFocus() == CtrlHandle;
    SetBkMode(dc, TRANSPARENT);
    if (focused) {
        FillRectOnDC(dc, r, clHighlight);
        SetTextColor(dc, COLORREF(ColorToRGB(clHighlightText)));
    } else {
        const TsGeneralData* s = Section();
        SetTextColor(dc, COLORREF(ColorToRGB(s ? s->FontColor[0] : clWindowText)));
    }
    RECT tr{r.Left + 2, r.Top, r.Right - 2, r.Bottom};
    const std::wstring w = ToWide(text);
    DrawTextW(dc, w.c_str(), int(w.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (focused) {
        RECT fr{r.Left, r.Top, r.Right, r.Bottom};
        DrawFocusRect(dc, &fr);
    }
}

void TacComboBoxWnd::WMPaint(TMessage& M) {
    Geometry = GetWndGeometry(CtrlHandle);
    // A combo box is never erased nor framed by the wrapper: its first
    // paint is where the look is put on.
    ApplySkinLookOnce();
    PassOn(M);
    if (Destroyed) return;
    HDC dc = reinterpret_cast<HDC>(M.WParam);
    std::optional<WindowDC> own;
    if (!dc) {
        own.emplace(CtrlHandle, WindowDC::Window);
        dc = own->Get();
        if (!dc) return;
    }
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    const TSize sz = WindowSize(CtrlHandle);
    if (IsSimple()) {
        PrepareSimpleCache();
        if (TBitmap* c = SkinData->CacheBitmap)
            CopyBorderBands(dc, 0, 0, sz.cx, c->Height(), c->Canvas()->Handle(), 0, 0, 3);
        return;
    }
    SkinData->BackgroundDirty = true;
    SendCommand(CtrlHandle, scUpdateCache);
    if (Destroyed) return;
    CopyCacheBands(dc, 3);
    PaintButton(dc);
}

void TacComboBoxWnd::WMCtlColorListBox(TMessage& M) {
    TacEditWnd::WndProc(M);
    if (Destroyed) return;
    if (!ListHandle) {
        ListHandle = reinterpret_cast<HWND>(M.LParam);
        if (!ListWnd && ListHandle) {
            const bool foreign = SkinData->OwnerControl == nullptr;
            ValueRestorer<bool> dialog(WrappingDialogChildren, foreign ? DialogMode : WrappingDialogChildren);
            const bool items = SendMessageW(CtrlHandle, CB_GETCOUNT, 0, 0) > 0;
            ListWnd = CreateWrapper<TacComboListWnd>(ListHandle, items, "EDIT", Manager(), nullptr);
            if (ListWnd) ListWnd->SimpleBox = IsSimple();
        }
    }
    // Every answer carries the list's colours, not only the first: a list
    // painted later must not fall back to the plain ones.
    if (DialogMode || !ListHandle || !IsWindow(ListHandle)) return;
    const LRESULT idx = SendCommand(ListHandle, scQuerySkinIndex) - 1;
    TsSkinManager* m = Manager();
    if (idx < 0 || !m || !m->IsValidSectionIndex(int(idx))) return;
    const TsGeneralData& s = m->gd()[size_t(idx)];
    HDC dc = reinterpret_cast<HDC>(M.WParam);
    if (s.FontColor[0] != -1) SetTextColor(dc, COLORREF(ColorToRGB(s.FontColor[0])));
    SetBkColor(dc, COLORREF(ColorToRGB(s.Color)));
    M.Result = reinterpret_cast<LRESULT>(LookBrush(s.Color));
}

void TacComboBoxWnd::WMPrint(TMessage& M) {
    HDC dc = StartPrint(M);
    if (!dc) return;
    if (IsSimple())
        PrepareSimpleCache();
    else
        SendCommand(CtrlHandle, scUpdateCache);
    if (Destroyed) return;
    UpdateWndCache(SkinData, CtrlHandle, DialogMode);
    if (IsDropDownList()) DrawTextArea();
    if (!DialogMode) FillCornersByMask(SkinData, 0, this);
    if (TBitmap* c = SkinData->CacheBitmap; c && !c->Empty())
        BitBlt(dc, 0, 0, c->Width(), c->Height(), c->Canvas()->Handle(), 0, 0, SRCCOPY);
    PaintButton(dc);
    M.Result = 0;
}

void TacComboBoxWnd::WndProc(TMessage& M) {
    if (!SkinnedNow()) {
        TacEditWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case SM_ALPHACMD: {
        const uint16_t cmd = SkinCommandOf(M.WParam);
        if (cmd == scMouseEnter || cmd == scMouseLeave) {
            TacEditWnd::WndProc(M);
            if (!Destroyed) PaintButton(nullptr);
            return;
        }
        break;
    }
    case WM_NCPAINT:
    case WM_ERASEBKGND:
        return;
    case WM_NCCALCSIZE:
        TacEditWnd::WndProc(M);
        EdgeLeft = 3;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
        TacEditWnd::WndProc(M);
        if (!Destroyed) PaintButton(nullptr);
        return;
    case WM_PAINT:
        WMPaint(M);
        return;
    case WM_CTLCOLORLISTBOX:
        WMCtlColorListBox(M);
        return;
    case WM_COMMAND:
    case CN_COMMAND:
        if (!IsSimple()) {
            if (HIWORD(M.WParam) == CBN_DROPDOWN) acComboListDropped = true;
            if (HIWORD(M.WParam) == CBN_CLOSEUP) acComboListDropped = false;
        }
        break;
    case WM_PRINT:
        WMPrint(M);
        return;
    default:
        break;
    }
    TacEditWnd::WndProc(M);
}

// ================================================================ MDI client

namespace {
// The client area's section: its own, else the form's.
TsSection MDIAreaSection(TsSkinManager* M) { return M->Resolve("MDIAREA", "FORM"); }
}  // namespace

TacMDIFormLink::TacMDIFormLink(HWND Frame, HWND Client, TsSkinManager* Manager)
    : FFrame(Frame), FClient(Client), FData(new TsCommonData(nullptr, true)) {
    if (Manager) FData->WriteSkinManager(Manager);
    TsSkinManager* m = FData->SkinManager();
    FData->SetSkinSection(m ? MDIAreaSection(m).Name : AnsiString("FORM"));
}

TacMDIFormLink::~TacMDIFormLink() = default;

TBitmap* TacMDIFormLink::FrameImage(TPoint& ClientOffset) {
    if (!FData->IsSkinned()) return nullptr;
    RECT wr{};
    GetWindowRect(FClient, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    TBitmap* cache = FData->CacheBitmap;
    if (FData->BackgroundDirty || cache->Width() != w || cache->Height() != h) {
        cache->SetSize(w, h);
        PaintControlSection(FData.get(), EmptyCacheInfo, true, cache, TPoint{0, 0}, Rect(0, 0, w, h), 0);
        FData->BackgroundDirty = false;
    }
    ClientOffset = TPoint{0, 0};
    return cache;
}

TColor TacMDIFormLink::FormColor() {
    const TsGeneralData* s = FData->Section();
    return s ? s->Color : clAppWorkSpace;
}

TColor TacMDIFormLink::BorderColor() {
    TsSkinManager* m = FData->SkinManager();
    return m && m->SkinData()->Values.BorderColor != 0xFF00FF ? TColor(m->SkinData()->Values.BorderColor)
                                                              : clBtnShadow;
}

void TacMDIFormLink::RefreshFrame() {
    if (FFrame) RedrawWindow(FFrame, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TacMDIFormLink::RefreshMDI() {
    if (FFrame) DrawMenuBar(FFrame);
}

LRESULT TacMDIFormLink::ChildPainting(WPARAM WParam, LPARAM LParam) {
    return FFrame ? SendMessageW(FFrame, SM_ALPHACMD, WParam, LParam) : 0;
}

TacMDIWnd::TacMDIWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                     TsCommonData* Data, TacMDIProviderLink* Link)
    : TacBaseWnd(AHandle, Repaint, Section, Manager, Data) {
    HWND frame = AHandle ? GetParent(AHandle) : nullptr;
    MDIForm = dynamic_cast<TForm*>(FindControl(frame));
    if (!Link) {
        FOwnLink.reset(new TacMDIFormLink(frame, AHandle, Manager ? Manager : (Data ? Data->SkinManager() : nullptr)));
        Link = FOwnLink.get();
    }
    Provider = Link;
    ProviderData = Link->CommonData();
}

TacMDIWnd::~TacMDIWnd() {
    // The provider and its common data are not ours; the stand-in goes after
    // the base has given the window back.
    Provider = nullptr;
    ProviderData = nullptr;
}

bool TacMDIWnd::ChildMaximized() const {
    BOOL maximized = FALSE;
    HWND active = reinterpret_cast<HWND>(SendMessageW(CtrlHandle, WM_MDIGETACTIVE, 0, LPARAM(&maximized)));
    return active && maximized;
}

void TacMDIWnd::EraseClient(HDC DC) {
    RECT cr{};
    GetClientRect(CtrlHandle, &cr);
    TPoint off{0, 0};
    TBitmap* img = ProviderData && ProviderData->IsSkinned() ? Provider->FrameImage(off) : nullptr;
    if (img && !img->Empty())
        BitBlt(DC, 0, 0, cr.right, cr.bottom, img->Canvas()->Handle(), off.X + EdgeLeft, off.Y + EdgeTop, SRCCOPY);
    else
        FillRectOnDC(DC, Rect(0, 0, cr.right, cr.bottom), Provider->FormColor());
}

void TacMDIWnd::PaintClientBorder(HDC DC) {
    if (EdgeLeft <= 0 && EdgeTop <= 0) {
        PaintScrollBars(this, CtrlHandle, DC);
        return;
    }
    const TSize sz = WindowSize(CtrlHandle);
    const TRect r = Rect(0, 0, sz.cx, sz.cy);
    TPoint off{0, 0};
    TBitmap* img = ProviderData && ProviderData->IsSkinned() ? Provider->FrameImage(off) : nullptr;
    if (img && !img->Empty() && img->Width() >= 2 && img->Height() >= 2)
        CopyBorderBands(DC, 0, 0, sz.cx, sz.cy, img->Canvas()->Handle(), off.X, off.Y, 2);
    else
        FillBorderOnDC(DC, r, EdgeLeft, EdgeTop, EdgeRight, EdgeBottom, Provider->BorderColor());
    PaintScrollBars(this, CtrlHandle, DC);
}

void TacMDIWnd::AfterTileOrCascade() {
    Provider->BackgroundChanged();
    if (MDIForm) {
        HWND active = reinterpret_cast<HWND>(SendMessageW(CtrlHandle, WM_MDIGETACTIVE, 0, 0));
        if (active) SetWindowLongPtrW(active, GWL_STYLE, GetWindowLongPtrW(active, GWL_STYLE) & ~LONG_PTR(WS_SYSMENU));
    }
    Provider->RefreshMDI();
    InvalidateRect(CtrlHandle, nullptr, TRUE);
    Provider->RefreshFrame();
    Provider->UpdateSystemMenu();
}

void TacMDIWnd::WndProc(TMessage& M) {
    if (Destroyed || !ProviderData || !ProviderData->IsSkinned() || !SkinData || !SkinData->IsSkinned()) {
        TacBaseWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_PAINT:
        if (FadeInProgress) {
            acwrap::ValidateByPaint(CtrlHandle);
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (M.WParam) {
            if (!ChildMaximized()) EraseClient(reinterpret_cast<HDC>(M.WParam));
            M.Result = 1;
            return;
        }
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        if (TsSkinManager* m = Manager(); m && MDIAreaSection(m).Name == "MDIAREA") Provider->BackgroundChanged();
        break;
    case WM_STYLECHANGED:
        TacBaseWnd::WndProc(M);
        Provider->RefreshFrame();
        return;
    case WM_NCPAINT:
        if (!ChildMaximized() && !FadeInProgress) {
            WindowDC dc(CtrlHandle, WindowDC::Window);
            if (dc) PaintClientBorder(dc.Get());
        }
        M.Result = 1;
        return;
    case WM_MDITILE:
    case WM_MDICASCADE:
        TacBaseWnd::WndProc(M);
        if (!Destroyed) AfterTileOrCascade();
        return;
    case WM_MDISETMENU:
        TacBaseWnd::WndProc(M);
        Provider->BackgroundChanged();
        return;
    case WM_PRINT:
        if (M.WParam && !ChildMaximized()) {
            HDC dc = reinterpret_cast<HDC>(M.WParam);
            PaintClientBorder(dc);
            SavedDC saved(dc);
            OffsetViewportOrgEx(dc, EdgeLeft, EdgeTop, nullptr);
            EraseClient(dc);
            return;
        }
        break;
    case SM_ALPHACMD:
        if (SkinCommandOf(M.WParam) == scChildPainting) {
            M.Result = Provider->ChildPainting(M.WParam, M.LParam);
            return;
        }
        break;
    default:
        break;
    }
    TacBaseWnd::WndProc(M);
    if (Destroyed) return;
    switch (M.Msg) {
    case SM_ALPHACMD:
        if (SkinCommandOf(M.WParam) == scBeforeScroll) {
            SendMessageW(CtrlHandle, WM_SETREDRAW, 0, 0);
        } else if (SkinCommandOf(M.WParam) == scAfterScroll) {
            SendMessageW(CtrlHandle, WM_SETREDRAW, 1, 0);
            if (LOWORD(M.LParam) != SB_THUMBTRACK)
                RedrawWindow(CtrlHandle, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            UpdateScrollInfo(this, true);
            // Not while our own bars hold the mouse: that press ends with its
            // button, not at the first scroll message it sent.
            if (GetCapture() == CtrlHandle && !PressRunning()) ReleaseCapture();
        }
        break;
    case 0x3F:
    case WM_PARENTNOTIFY: {
        const LONG_PTR style = GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
        if (VertBar()) VertBar()->Visible = (style & WS_VSCROLL) ? 1 : 0;
        if (HorzBar()) HorzBar()->Visible = (style & WS_HSCROLL) ? 1 : 0;
        UpdateScrollInfo(this, true);
        break;
    }
    case WM_MDIREFRESHMENU:
        Provider->RefreshMDI();
        break;
    default:
        break;
    }
}
