// The dialog wrapper's frame: its set-up from the window, its metrics, the
// whole window image in the cache (sections "DIALOG" and "FORMTITLE", icon,
// title buttons, caption text), the frame bands copied to the window and the
// region cut to the skin's corners.
#include <algorithm>
#include <optional>

#include "Guards.h"
#include "Text1251.h"
#include "acDials.h"
#include "acGlow.h"
#include "acntUtilsWin.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

bool TitleButtonPressed = false;

namespace {

CacheInfo NoParent() { return CacheInfo{nullptr, 0, 0, TransparentKeyColor, false}; }
CacheInfo Self(TBitmap* B) { return CacheInfo{B, 0, 0, 0, true}; }

constexpr int kDefaultButtonSize = 21;
constexpr const char* kTitleSection = "FORMTITLE";

bool FullCaption(LONG_PTR Style) { return (Style & WS_CAPTION) == WS_CAPTION; }

}  // namespace

TacDialogWnd::TacDialogWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                           TsCommonData* Data)
    : TacScrollWnd(AHandle, Repaint, Section, Manager, Data), ButtonsStrip(CreateBitmap24(0, 0)),
      SystemMenu(new TacSystemMenu(this)) {
    BorderKind = dkInitial;
    WndStyle = GetWindowLongPtrW(AHandle, GWL_STYLE);
    WndExStyle = GetWindowLongPtrW(AHandle, GWL_EXSTYLE);
    SystemMenu->UpdateItems();
    if (SkinData) SkinData->UpdatingFlag = true;
}

TacDialogWnd::~TacDialogWnd() {
    for (TacTitleButton* b : {&BtnMin, &BtnMax, &BtnClose, &BtnHelp})
        if (b->GlowID >= 0) StopGlowEffect(b->GlowID), b->GlowID = -1;
    DetachOnFree();
    if (SmallIcon) DestroyIcon(SmallIcon);
    if (CaptionFont) DeleteObject(CaptionFont);
    if (FBrush) DeleteObject(FBrush);
}

void TacDialogWnd::RestorePlainLook() {
    if (Destroyed || !IsWindow(CtrlHandle)) return;
    // The system menu the wrapper took goes back while the window lives.
    if (FSysMenuTaken) {
        SetWindowLongPtrW(CtrlHandle, GWL_STYLE, GetWindowLongPtrW(CtrlHandle, GWL_STYLE) | WS_SYSMENU);
        FSysMenuTaken = false;
    }
    if (RegionRects.size()) SetWindowRgn(CtrlHandle, nullptr, FALSE);
}

void TacDialogWnd::Setup() {
    HWND h = CtrlHandle;
    WndStyle = GetWindowLongPtrW(h, GWL_STYLE);
    WndExStyle = GetWindowLongPtrW(h, GWL_EXSTYLE);
    // First match wins.
    if ((WndStyle & WS_POPUP) && !FullCaption(WndStyle))
        BorderKind = dkNoCaption;
    else if (WndStyle & WS_THICKFRAME)
        BorderKind = dkSizeable;
    else if (WndStyle & DS_MODALFRAME)
        BorderKind = dkModalFrame;
    else
        BorderKind = dkSizeable;

    HICON icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0));
    if (SmallIcon) DestroyIcon(SmallIcon), SmallIcon = nullptr;
    IconBmp.reset();
    const int sw = SystemMetric(SM_CXSMICON), sh = SystemMetric(SM_CYSMICON);
    if (icon) SmallIcon = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, sw, sh, LR_COPYFROMRESOURCE));
    if (SmallIcon) {
        IconBmp.reset(CreateBitmap24(sw, sh));
        HDC dc = IconBmp->Canvas()->Handle();
        FillRectOnDC(dc, Rect(0, 0, sw, sh), TColor(TransparentKeyColor));
        DrawIconEx(dc, 0, 0, SmallIcon, sw, sh, 0, nullptr, DI_NORMAL);
    }
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    if (CaptionFont) DeleteObject(CaptionFont), CaptionFont = nullptr;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        CaptionFont = CreateFontIndirectW(&ncm.lfCaptionFont);
    if (WndStyle & WS_SYSMENU) {
        SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) & ~LONG_PTR(WS_SYSMENU));
        FSysMenuTaken = true;
    }
    SystemMenu->UpdateItems();
}

void TacDialogWnd::LoadTitleButtons() {
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (!m || m->ConstData().GlobalInfo < 0) return;
    auto load = [&](const char* Min, const char* Max, const char* Close, const char* Help, bool Big) {
        BtnMin.ImageIndex = GlobalMask(m, Min);
        BtnMax.ImageIndex = GlobalMask(m, Max);
        BtnClose.ImageIndex = GlobalMask(m, Close);
        BtnHelp.ImageIndex = GlobalMask(m, Help);
        for (TacTitleButton* b : {&BtnMin, &BtnMax, &BtnClose, &BtnHelp}) b->HaveBigGlyph = Big;
    };
    if (BorderKind == dkInitial || BorderKind == dkSizeable) {
        load("BICONMIN", "BICONMAX", "BICONCLOSE", "BICONHELP", true);
    } else {
        load("SICONMIN", "SICONMAX", "SICONCLOSE", "SICONHELP", false);
        if (!m->IsValidMaskIndex(BtnHelp.ImageIndex)) BtnHelp.ImageIndex = GlobalMask(m, "BICONHELP");
    }
    if (!m->IsValidMaskIndex(BtnClose.ImageIndex)) load("BICONMIN", "BICONMAX", "BICONCLOSE", "BICONHELP", true);
}

// ---------------------------------------------------------------- metrics

int TacDialogWnd::BorderWidth() const {
    if (BorderKind == dkNoCaption) return 0;
    return SystemMetric(BorderKind == dkSizeable ? SM_CXFRAME : SM_CXDLGFRAME);
}

int TacDialogWnd::BorderHeight() const {
    if (BorderKind == dkNoCaption) return 0;
    return SystemMetric(BorderKind == dkSizeable ? SM_CYFRAME : SM_CYDLGFRAME);
}

int TacDialogWnd::CaptionHeight() const {
    if (BorderKind == dkNoCaption || !FullCaption(WndStyle)) return 0;
    return SystemMetric(SM_CYCAPTION);
}

namespace {
int ClientWidth(HWND H) {
    RECT r{};
    GetClientRect(H, &r);
    return r.right;
}
int ClientHeight(HWND H) {
    RECT r{};
    GetClientRect(H, &r);
    return r.bottom;
}
}  // namespace

int TacDialogWnd::TitleHeight() const {
    int t = WndSize.cy - ClientHeight(CtrlHandle) - (FullCaption(WndStyle) ? BorderHeight() : 0);
    t = std::max(t, 0);
    if (IsIconic(CtrlHandle)) t += BorderHeight();
    if (HorzBar() && HorzBar()->Visible) t -= GetScrollMetric(HorzBar(), 1, false);
    return t;
}

int TacDialogWnd::ClientOffsetX() const {
    const int vbar = VertBar() && VertBar()->Visible ? GetScrollMetric(VertBar(), 1, false) : 0;
    return (WndSize.cx - ClientWidth(CtrlHandle) - vbar) / 2;
}

int TacDialogWnd::ClientOffsetY() const {
    const int hbar = HorzBar() && HorzBar()->Visible ? GetScrollMetric(HorzBar(), 1, false) : 0;
    return WndSize.cy - ClientHeight(CtrlHandle) - (FullCaption(WndStyle) ? BorderHeight() : 0) - hbar;
}

int TacDialogWnd::ButtonWidth(const TacTitleButton& B) const {
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (!m || !m->IsValidMaskIndex(B.ImageIndex)) return kDefaultButtonSize;
    const TsMaskData& d = m->ma()[size_t(B.ImageIndex)];
    const int n = std::max<int>(d.ImageCount, 1);
    return d.Image ? d.Image->Width() / n : d.R.Width() / n;
}

int TacDialogWnd::ButtonHeight(const TacTitleButton& B) const {
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (!m || !m->IsValidMaskIndex(B.ImageIndex)) return kDefaultButtonSize;
    const TsMaskData& d = m->ma()[size_t(B.ImageIndex)];
    return d.Image ? d.Image->Height() / 2 : d.R.Height() / (d.MaskType + 1);
}

int TacDialogWnd::ButtonsWidth() const {
    if (!(WndStyle & WS_SYSMENU)) return 0;
    int w = ButtonWidth(BtnClose);
    if (WndStyle & WS_MAXIMIZEBOX) w += ButtonWidth(BtnMax);
    if (WndStyle & WS_MINIMIZEBOX) w += ButtonWidth(BtnMin);
    if (WndExStyle & WS_EX_CONTEXTHELP) w += ButtonWidth(BtnHelp);
    return w;
}

bool TacDialogWnd::CanMaximize() const {
    return (WndStyle & WS_MAXIMIZEBOX) && !IsZoomed(CtrlHandle) &&
           (BorderKind == dkInitial || BorderKind == dkSizeable);
}
bool TacDialogWnd::CanMinimize() const { return (WndStyle & WS_MINIMIZEBOX) && !IsIconic(CtrlHandle); }
bool TacDialogWnd::CanRestore() const {
    return (WndStyle & WS_MAXIMIZEBOX) && (IsIconic(CtrlHandle) || IsZoomed(CtrlHandle));
}
bool TacDialogWnd::CloseEnabled() const {
    return (WndStyle & WS_SYSMENU) && !(GetClassLongPtrW(CtrlHandle, GCL_STYLE) & CS_NOCLOSE);
}

TacTitleButton* TacDialogWnd::ButtonByCode(int Code) {
    switch (Code) {
    case HTMINBUTTON: return &BtnMin;
    case HTMAXBUTTON: return &BtnMax;
    case HTCLOSE: return &BtnClose;
    case HTHELP: return &BtnHelp;
    default: return nullptr;
    }
}

void TacDialogWnd::ReadGeometry() {
    RECT r{};
    GetWindowRect(CtrlHandle, &r);
    WndRect = Rect(r.left, r.top, r.right, r.bottom);
    WndSize = TSize{r.right - r.left, r.bottom - r.top};
}

// ---------------------------------------------------------------- the window image

void TacDialogWnd::PaintFrameCache() {
    if (!SkinData || !SkinData->BackgroundDirty) return;
    TsSkinManager* m = SkinData->SkinManager();
    if (!m) return;
    RegionUpdateNeeded = true;
    InitCacheBitmap(SkinData);
    TBitmap* cache = SkinData->CacheBitmap;
    const int W = std::max(WndSize.cx, 1), H = std::max(WndSize.cy, 1);
    if (cache->Width() != W || cache->Height() != H) cache->SetSize(W, H);
    const int state = Active ? 1 : 0;
    if (m->IsValidSectionIndex(SkinData->SkinSectionNo))
        PaintControlSection(SkinData, NoParent(), true, cache, TPoint{0, 0}, Rect(0, 0, W, H), state);
    const int bw = BorderWidth(), bh = BorderHeight(), ch = CaptionHeight();
    const TsSkinValues& v = m->SkinData()->Values;
    if (ch > 0) {
        const int title = m->SectionIndex(kTitleSection);
        const int bandH = IsIconic(CtrlHandle) ? H : std::min(bh + ch, H);
        if (title >= 0)
            PaintSectionFull(m->SectionAt(title), Self(cache), -1, -1, m, cache, TPoint{0, 0}, Rect(0, 0, W, bandH),
                             state, true);
        const int sw = SystemMetric(SM_CXSMICON), sh = SystemMetric(SM_CYSMICON);
        const int ix = bw + v.BILeft, iy = (ch + bh - sh) / 2;
        HDC dc = cache->Canvas()->Handle();
        if (IconBmp)
            TransparentBlt(dc, ix, iy, sw, sh, IconBmp->Canvas()->Handle(), 0, 0, sw, sh, UINT(TransparentKeyColor));
        else
            DrawIconEx(dc, ix, iy, LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)), sw, sh, 0, nullptr,
                       DI_NORMAL);
        if (WndStyle & WS_SYSMENU) {
            const int bar = m->MaskIndexInherited(SkinData->Resolved(), "TITLEBAR");
            if (m->IsValidMaskIndex(bar)) {
                const TsMaskData& d = m->ma()[size_t(bar)];
                const int n = std::max<int>(d.ImageCount, 1);
                const int band = (d.Image ? 2 * (d.Image->Width() / 9) : 2 * (d.R.Width() / (3 * n))) + ButtonsWidth();
                PaintImageByMargins(cache, Rect(std::max(W - band, 0), 0, W, std::min(bh + ch, H)), true, Self(cache), d,
                                    state, true);
            }
        }
    }
    // What lies under the title buttons, for repainting one of them.
    const int stripW = std::min(ButtonsWidth() + bw, W), stripH = std::max(std::min(TitleHeight(), H), 1);
    ButtonsStrip->SetSize(std::max(stripW, 1), stripH);
    BitBlt(ButtonsStrip->Canvas()->Handle(), 0, 0, stripW, stripH, cache->Canvas()->Handle(), W - stripW - 1, 0,
           SRCCOPY);
    PaintTitleButtons();
    if (ch > 0) PaintCaptionText(cache);
    if (m->IsValidMaskIndex(SkinData->BorderMaskNo) && ch + bh > 0) {
        if (!CaptionBand || CaptionBand->Width() != W) CaptionBand.reset(CreateBitmap24(W, std::min(bh + ch, H)));
        BitBlt(CaptionBand->Canvas()->Handle(), 0, 0, W, CaptionBand->Height(), cache->Canvas()->Handle(), 0, 0,
               SRCCOPY);
    }
    SkinData->BackgroundDirty = false;
}

void TacDialogWnd::PaintCaptionText(TBitmap* Cache) {
    TsSkinManager* m = SkinData->SkinManager();
    const int title = m->SectionIndex(kTitleSection);
    if (title < 0 || WndText.empty()) return;
    const int bw = BorderWidth(), bh = BorderHeight();
    const int icon = SystemMetric(SM_CXSMICON);
    TRect r;
    r.Left = icon + bw + m->SkinData()->Values.BILeft + 4;
    r.Right = WndSize.cx - ButtonsWidth() - 6;
    r.Top = bh;
    r.Bottom = bh + CaptionHeight();
    if (r.Right <= r.Left) return;
    TCanvas* c = Cache->Canvas();
    LOGFONTW lf{};
    if (CaptionFont && GetObjectW(CaptionFont, sizeof lf, &lf)) {
        c->Font()->SetName(Utf16ToCp1251(std::u16string(reinterpret_cast<const char16_t*>(lf.lfFaceName))));
        c->Font()->SetHeight(lf.lfHeight);
        c->Font()->SetStyle(lf.lfWeight >= FW_BOLD ? FontStyleBit(fsBold) : TFontStyles{});
    }
    WriteSectionTextEx(c, WndText.c_str(), true, m, Active, title,
                       DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX, r);
}

void TacDialogWnd::PaintTitleButtons() {
    if (!(WndStyle & WS_SYSMENU) || !SkinData || !SkinData->CacheBitmap) return;
    TsSkinManager* m = SkinData->SkinManager();
    const TsSkinValues& v = m->SkinData()->Values;
    const int bw = BorderWidth(), bh = BorderHeight(), ch = CaptionHeight();
    int x = WndSize.cx - bw - v.BIRight;
    auto place = [&](TacTitleButton& B, int Code) {
        const int w = ButtonWidth(B), h = ButtonHeight(B);
        const int left = x - w - (B.HaveBigGlyph ? 0 : 2);
        int top;
        if (!B.HaveBigGlyph)
            top = (bh + ch - h) / 2;
        else if (v.BIVAlign == 1)
            top = IsZoomed(CtrlHandle) ? bh - 1 : 0;
        else
            top = (bh + ch - h) / 2 + (h < 16 ? 2 : 0);
        B.Rect = Rect(left, top, left + w, top + h);
        x = left;
        PaintButtonImage(SkinData->CacheBitmap, Code);
    };
    if (m->IsValidMaskIndex(BtnClose.ImageIndex)) place(BtnClose, HTCLOSE);
    if (WndStyle & WS_MAXIMIZEBOX) place(BtnMax, HTMAXBUTTON);
    if (WndStyle & WS_MINIMIZEBOX) place(BtnMin, HTMINBUTTON);
    if (WndExStyle & WS_EX_CONTEXTHELP) place(BtnHelp, HTHELP);
}

// The button's image in its state over what lay under it.
void TacDialogWnd::PaintButtonImage(TBitmap* Cache, int Code) {
    TacTitleButton* b = ButtonByCode(Code);
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (!b || !m || !Cache) return;
    const TRect r = b->Rect;
    const int x0 = WndSize.cx - ButtonsStrip->Width() - 1;
    if (r.Left >= x0)
        BitBlt(Cache->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), ButtonsStrip->Canvas()->Handle(),
               r.Left - x0, r.Top, SRCCOPY);
    HWND h = CtrlHandle;
    int image = b->ImageIndex;
    bool enabled = true;
    auto norm = [&] {
        const int g = GlobalMask(m, "BICONNORM");
        return m->IsValidMaskIndex(g)
                   ? g
                   : m->MaskIndexInherited(SkinData->Resolved(), "BICONNORM");
    };
    switch (Code) {
    case HTMAXBUTTON:
        if (IsZoomed(h))
            image = norm(), enabled = CanRestore();
        else if (IsIconic(h))
            image = GlobalMask(m, "BICONMAX"), enabled = CanMaximize();
        else
            enabled = CanMaximize();
        break;
    case HTMINBUTTON:
        if (IsIconic(h))
            image = norm(), enabled = CanRestore();
        else
            enabled = CanMinimize();
        break;
    case HTCLOSE: enabled = CloseEnabled(); break;
    default: break;
    }
    if (!m->IsValidMaskIndex(image)) return;
    const int mode = !enabled || !Active ? 2 : 1;
    PaintGlyphFromImage(Cache, TPoint{r.Left, r.Top}, enabled ? b->State : 0, mode, m->ma()[size_t(image)],
                        EmptyCacheInfo);
}

void TacDialogWnd::PaintClient(HDC DC) {
    if (!SkinData) return;
    std::optional<WindowDC> own;
    if (!DC) own.emplace(CtrlHandle, WindowDC::Client);
    HDC dc = DC ? DC : own->Get();
    if (!dc) return;
    SavedDC saved(dc);
    SkinData->UpdatingFlag = false;
    PaintFrameCache();
    TBitmap* cache = SkinData->CacheBitmap;
    if (cache && !cache->Empty())
        BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, cache->Canvas()->Handle(), ClientOffsetX(), ClientOffsetY(), SRCCOPY);
    for (HWND c = GetTopWindow(CtrlHandle); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c)) SendMessageW(c, SM_ALPHACMD, WPARAM(SkinWParam(scRepaint)), 0);
}

void TacDialogWnd::PaintNonClient() {
    if (!SkinData) return;
    if (Provider) Provider->WrapChildWindows(CtrlHandle);
    ReadGeometry();
    if (!FInRegionChange && RegionUpdateNeeded && (BorderKind != dkNoCaption || (WndStyle & WS_THICKFRAME))) {
        CollectRegionRects();
        RegionUpdateNeeded = false;
        UpdateRegion(true);
    }
    PaintFrameCache();
    TBitmap* cache = SkinData->CacheBitmap;
    if (!cache || cache->Empty()) return;
    WindowDC wdc(CtrlHandle, WindowDC::Window);
    HDC dc = wdc.Get();
    HDC src = cache->Canvas()->Handle();
    const int W = cache->Width(), H = cache->Height();
    if (BorderKind == dkNoCaption && (WndStyle & WS_THICKFRAME)) {
        CopyBorderBands(dc, 0, 0, W, H, src, 0, 0, 3);
    } else {
        const int bw = BorderWidth(), bh = BorderHeight(), top = std::min(TitleHeight(), H);
        const int y = bh + CaptionHeight() + (IsIconic(CtrlHandle) ? 1 : 0);
        BitBlt(dc, 0, 0, W, top, src, 0, 0, SRCCOPY);
        if (H > y) {
            BitBlt(dc, 0, y, bw, H - y, src, 0, y, SRCCOPY);
            BitBlt(dc, W - bw, y, bw, H - y, src, W - bw, y, SRCCOPY);
        }
        BitBlt(dc, bh, H - bh, W - bh, bh, src, bh, H - bh, SRCCOPY);
    }
    SkinData->UpdatingFlag = false;
}

// ---------------------------------------------------------------- region

void TacDialogWnd::CollectRegionRects() {
    RegionRects.clear();
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (!m) return;
    const int W = WndSize.cx, H = WndSize.cy;
    if (m->IsValidMaskIndex(SkinData->BorderMaskNo)) {
        const TsMaskData& b = m->ma()[size_t(SkinData->BorderMaskNo)];
        CollectCornerKeyRects(RegionRects, W, b, false, 0);
        CollectCornerKeyRects(RegionRects, W, b, true, H - b.WB);
    }
    const int t = m->SectionIndex(kTitleSection);
    if (t >= 0) {
        const int tb = m->MaskIndexInherited(m->SectionAt(t), "BORDERSMASK");
        if (m->IsValidMaskIndex(tb)) CollectCornerKeyRects(RegionRects, W, m->ma()[size_t(tb)], false, 0);
    }
}

void TacDialogWnd::UpdateRegion(bool Redraw) {
    if (BorderKind == dkNoCaption) return;
    if (SendMessageW(CtrlHandle, WM_ACREGIONQUERY, acOwnRegionAnswer, 0) == acOwnRegionAnswer) return;
    GdiObject<HRGN> rgn(CreateRectRgn(0, 0, WndSize.cx, WndSize.cy));
    if (!rgn) return;
    GdiObject<HRGN> cut(CreateRectRgn(0, 0, 0, 0));
    for (const TRect& r : RegionRects) {
        SetRectRgn(cut.Get(), r.Left, r.Top, r.Right, r.Bottom);
        CombineRgn(rgn.Get(), rgn.Get(), cut.Get(), RGN_DIFF);
    }
    FInRegionChange = true;
    struct Done {
        bool& F;
        ~Done() { F = false; }
    } done{FInRegionChange};
    // The system owns a region it accepted.
    if (SetWindowRgn(CtrlHandle, rgn.Get(), Redraw)) rgn.Release();
}

HBRUSH TacDialogWnd::DialogBrush() {
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    const COLORREF c = m ? COLORREF(m->GlobalColor()) : GetSysColor(COLOR_BTNFACE);
    if (!FBrush || c != FBrushColor) {
        if (FBrush) DeleteObject(FBrush);
        FBrush = CreateSolidBrush(c);
        FBrushColor = c;
    }
    return FBrush;
}
