// Caption geometry of a skinned form, its caption buttons (images, layout,
// hot and pressed states, glow), the hit test that replaces the system's, the
// caption's mouse handling and system commands, and the provider's own
// border dragging (rmBorder).
#include <windowsx.h>

#include <algorithm>

#include "Guards.h"
#include "acGlow.h"
#include "acSBUtils.h"
#include "acntUtilsWin.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sMDIForm.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

namespace {

bool BigStyle(TForm* F) { return F && (F->BorderStyle() == bsSingle || F->BorderStyle() == bsSizeable); }
bool ToolStyle(TForm* F) { return F && (F->BorderStyle() == bsToolWindow || F->BorderStyle() == bsSizeToolWin); }

TsSkinManager* ManagerOf(const TsCommonData* D) { return D ? D->SkinManager() : nullptr; }

const TsSkinValues* SkinValues(const TsCommonData* D) {
    TsSkinManager* m = ManagerOf(D);
    return m && m->SkinData() ? &m->SkinData()->Values : nullptr;
}

// One state cell of a skin image: its width across the cells, its height above the mask.
TPoint CellSize(TsSkinManager* M, int Index) {
    if (!M || !M->IsValidMaskIndex(Index)) return TPoint{0, 0};
    const TsMaskData& d = M->ma()[size_t(Index)];
    if (d.ImageCount <= 0) return TPoint{0, 0};
    return TPoint{d.R.Width() / d.ImageCount, d.R.Height() / (d.MaskType + 1)};
}

TPoint LParamPoint(LPARAM L) { return TPoint{GET_X_LPARAM(L), GET_Y_LPARAM(L)}; }

}  // namespace

// ---------------------------------------------------------------- metrics

bool TsSkinProvider::HasBorder() const {
    // The system gives an MDI child a frame whatever its border style.
    return FForm && (FForm->BorderStyle() != bsNone || FForm->FormStyle() == fsMDIChild);
}

// Whether the system frames the form with the dialog frame: an MDI child's
// dialog style gets the sizing frame all the same.
bool TsSkinProvider::DialogFrame() const {
    const TBorderStyle b = FForm->BorderStyle();
    if (b == bsSingle || b == bsToolWindow) return true;
    return b == bsDialog && FForm->FormStyle() != fsMDIChild;
}

int TsSkinProvider::CaptionHeight() const {
    if (!FForm || !FForm->HandleAllocated()) return 0;
    HWND h = FForm->HandleIfAllocated();
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    if (!((HasBorder() && (style & WS_CAPTION) == WS_CAPTION) || IsIconic(h))) return 0;
    return SystemMetric(ToolStyle(FForm) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

int TsSkinProvider::SysBorderWidth() const {
    if (!HasBorder()) return 0;
    return SystemMetric(DialogFrame() ? SM_CXDLGFRAME : SM_CXFRAME);
}

int TsSkinProvider::SysBorderHeight() const {
    if (!HasBorder()) return 0;
    return SystemMetric(DialogFrame() ? SM_CYDLGFRAME : SM_CYFRAME);
}

namespace {
struct TWinSizes {
    int W = 0, H = 0, CW = 0, CH = 0;
};
TWinSizes Sizes(TForm* F) {
    TWinSizes s;
    if (!F || !F->HandleAllocated()) {
        if (F) s.W = F->Width(), s.H = F->Height();
        return s;
    }
    RECT w{}, c{};
    GetWindowRect(F->HandleIfAllocated(), &w);
    GetClientRect(F->HandleIfAllocated(), &c);
    s.W = w.right - w.left;
    s.H = w.bottom - w.top;
    s.CW = c.right;
    s.CH = c.bottom;
    return s;
}
}  // namespace

int TsSkinProvider::FormWidth() const { return Sizes(FForm).W; }
int TsSkinProvider::FormHeight() const { return Sizes(FForm).H; }

namespace {
// The thickness of the wrapper's bar when it has room, else 0.
int SkinnedBar(TacScrollWnd* W, int Which) {
    if (!W) return 0;
    TacScrollBar* b = W->Bar(Which);
    return b && b->Visible ? GetScrollMetric(b, 1, false) : 0;
}
}  // namespace

int TsSkinProvider::TopBandHeight() const {
    const TWinSizes s = Sizes(FForm);
    int r = CaptionHeight() > 0 ? s.H - s.CH - SysBorderHeight() - FormBorderWidth() : s.H - s.CH;
    r = std::max(r, 0);
    if (FForm && FForm->HandleAllocated() && IsIconic(FForm->HandleIfAllocated())) r += SysBorderHeight();
    return r - SkinnedBar(FScrollWrapper, 0);
}

int TsSkinProvider::OffsetX() const {
    const TWinSizes s = Sizes(FForm);
    return (s.W - (s.CW + SkinnedBar(FScrollWrapper, 1))) / 2;
}

int TsSkinProvider::OffsetY() const {
    const TWinSizes s = Sizes(FForm);
    return s.H - s.CH - (CaptionHeight() > 0 ? SysBorderHeight() + FormBorderWidth() : 0) - SkinnedBar(FScrollWrapper, 0);
}

bool TsSkinProvider::IconVisible() const { return BigStyle(FForm) && FShowAppIcon; }

int TsSkinProvider::IconWidth() const {
    if (!IconVisible()) return 0;
    return FTitleIcon->Width() != 0 ? FTitleIcon->Width() : CaptionIconSize(CaptionHeight());
}

int TsSkinProvider::IconHeight() const {
    if (!IconVisible()) return 0;
    return FTitleIcon->Height() != 0 ? FTitleIcon->Height() : CaptionIconSize(CaptionHeight());
}

TRect TsSkinProvider::IconRect() const {
    const TsSkinValues* v = SkinValues(FCommonData.get());
    TRect r;
    r.Left = SysBorderWidth() + (v ? v->BILeft : 0);
    r.Right = r.Left + IconWidth();
    r.Top = (CaptionHeight() + SysBorderHeight() - IconHeight()) / 2;
    r.Bottom = r.Top + IconHeight();
    return r;
}

int TsSkinProvider::ButtonHeight() const {
    const TPoint c = CellSize(ManagerOf(FCommonData.get()), FButtons[cbClose].ImageIndex);
    return c.Y > 0 ? c.Y : 21;
}

int TsSkinProvider::ButtonWidth(const TsCaptionButton& B) const {
    const TPoint c = CellSize(ManagerOf(FCommonData.get()), B.ImageIndex);
    return c.X > 0 ? c.X : 21;
}

int TsSkinProvider::TitleButtonWidth(const TsTitleButton* B) const {
    const int glyph = B && !B->Glyph()->Empty() ? B->Glyph()->Width() + 2 : 0;
    const TPoint c = CellSize(ManagerOf(FCommonData.get()), GlobalMask(ManagerOf(FCommonData.get()), "TITLEBUTTON"));
    return std::max(glyph, c.X > 0 ? c.X : 21);
}

bool TsSkinProvider::MaximizeVisible() const { return FSystemMenu && FSystemMenu->MaximizeVisible(); }
bool TsSkinProvider::MinimizeVisible() const { return FSystemMenu && FSystemMenu->MinimizeVisible(); }
bool TsSkinProvider::HelpVisible() const { return FForm && (FForm->BorderIcons() & BorderIconBit(biHelp)); }
bool TsSkinProvider::MaximizeEnabled() const { return FSystemMenu && FSystemMenu->MaximizeEnabled(); }
bool TsSkinProvider::MinimizeEnabled() const { return FSystemMenu && FSystemMenu->MinimizeEnabled(); }
bool TsSkinProvider::RestoreEnabled() const { return FSystemMenu && FSystemMenu->RestoreEnabled(); }

int TsSkinProvider::SystemButtonCount() const {
    return 1 + (MaximizeVisible() ? 1 : 0) + (MinimizeVisible() ? 1 : 0) + (HelpVisible() ? 1 : 0);
}

int TsSkinProvider::ButtonsAreaWidth() const {
    const TsSkinValues* v = SkinValues(FCommonData.get());
    const int space = v && BigStyle(FForm) ? v->BISpace : 0;
    int r = v ? v->BIRight : 0;
    if (FSysMenuRemoved) {
        r += ButtonWidth(FButtons[cbClose]) + space;
        if (MaximizeVisible()) r += ButtonWidth(FButtons[cbMaximize]) + space;
        if (MinimizeVisible()) r += ButtonWidth(FButtons[cbMinimize]) + space;
        if (HelpVisible()) r += ButtonWidth(FButtons[cbHelp]) + space;
    }
    if (FTitleButtons->Count() > 0) r += 8;
    for (int i = 0; i < FTitleButtons->Count(); ++i) r += TitleButtonWidth(FTitleButtons->Items(i)) + space;
    return r;
}

int TsSkinProvider::ButtonIndexAt(int X) const {
    const TsCaptionButton* order[4] = {&FButtons[cbClose], MaximizeVisible() ? &FButtons[cbMaximize] : nullptr,
                                       MinimizeVisible() ? &FButtons[cbMinimize] : nullptr,
                                       HelpVisible() ? &FButtons[cbHelp] : nullptr};
    int k = 0;
    for (const TsCaptionButton* b : order) {
        if (!b) continue;
        ++k;
        if (b->State >= 0 && X >= b->Rect.Left && X < b->Rect.Right) return k;
    }
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        ++k;
        const TsCaptionButton& b = FTitleButtons->Items(i)->Data;
        if (b.State >= 0 && X >= b.Rect.Left && X < b.Rect.Right) return k;
    }
    return 0;
}

TPoint TsSkinProvider::WindowOrigin() const {
    RECT w{};
    if (FForm && FForm->HandleAllocated()) GetWindowRect(FForm->HandleIfAllocated(), &w);
    return TPoint{w.left, w.top};
}

// ---------------------------------------------------------------- images and layout

void TsSkinProvider::LoadButtonImages() {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    for (TsCaptionButton& b : FButtons) b.ImageIndex = -1;
    if (!m) return;
    auto set = [&](TsCaptionSlot s, const char* Name, bool Big) {
        FButtons[s].ImageIndex = GlobalMask(m, Name);
        FButtons[s].HaveBigGlyph = Big;
    };
    if (BigStyle(FForm)) {
        set(cbClose, "BICONCLOSE", true), set(cbMaximize, "BICONMAX", true), set(cbMinimize, "BICONMIN", true);
        set(cbHelp, "BICONHELP", true);
    } else {
        set(cbClose, "SICONCLOSE", false), set(cbMinimize, "SICONMIN", false), set(cbMaximize, "SICONMAX", false);
        set(cbHelp, "SICONHELP", false);
        if (FButtons[cbHelp].ImageIndex < 0) FButtons[cbHelp].ImageIndex = GlobalMask(m, "BICONHELP");
    }
    if (FButtons[cbClose].ImageIndex < 0) {
        set(cbClose, "BICONCLOSE", true), set(cbMaximize, "BICONMAX", true), set(cbMinimize, "BICONMIN", true);
        set(cbHelp, "BICONHELP", true);
    }
    const int title = GlobalMask(m, "TITLEBUTTON");
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TsTitleButton* t = FTitleButtons->Items(i);
        t->Data.ImageIndex = t->UseSkinData() ? title : -1;
    }
    LoadMDIButtonImages();
}

void TsSkinProvider::LayoutButtons() {
    for (TsCaptionButton& b : FButtons)
        if (&b != &FButtons[cbMDIClose] && &b != &FButtons[cbMDIRestore] && &b != &FButtons[cbMDIMinimize]) b.Rect = TRect{};
    if (!HasBorder()) return;
    const TsSkinValues* v = SkinValues(FCommonData.get());
    const bool big = BigStyle(FForm);
    const int space = v && big ? v->BISpace : 0;
    const int valign = v ? v->BIVAlign : 0;
    const bool zoomed = FForm->HandleAllocated() && IsZoomed(FForm->HandleIfAllocated());
    const int bh = ButtonHeight();
    int x = FormWidth() - SysBorderWidth() - space - (v ? v->BIRight : 0);
    auto place = [&](TsCaptionButton& b, int W) {
        int top;
        if (valign == 1)
            top = zoomed ? SysBorderHeight() - 1 : 0;
        else
            top = (CaptionHeight() + SysBorderHeight() - bh) / 2 + (bh < 16 && big ? 2 : 0);
        b.Rect = Rect(x - W, top, x, top + bh);
        if (b.State < 0) b.State = 0;
        x = b.Rect.Left - space;
    };
    auto hide = [](TsCaptionButton& b) { b.State = -1; };
    if (FSysMenuRemoved) {
        place(FButtons[cbClose], ButtonWidth(FButtons[cbClose]));
        MaximizeVisible() ? place(FButtons[cbMaximize], ButtonWidth(FButtons[cbMaximize])) : hide(FButtons[cbMaximize]);
        MinimizeVisible() ? place(FButtons[cbMinimize], ButtonWidth(FButtons[cbMinimize])) : hide(FButtons[cbMinimize]);
        HelpVisible() ? place(FButtons[cbHelp], ButtonWidth(FButtons[cbHelp])) : hide(FButtons[cbHelp]);
    } else {
        for (TsCaptionSlot s : {cbClose, cbMaximize, cbMinimize, cbHelp}) hide(FButtons[s]);
    }
    if (FTitleButtons->Count() > 0) x -= 8;
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TsTitleButton* t = FTitleButtons->Items(i);
        place(t->Data, TitleButtonWidth(t));
    }
}

TsCaptionButton* TsSkinProvider::ButtonByCode(int Code) {
    switch (Code) {
    case HTMINBUTTON: return &FButtons[cbMinimize];
    case HTMAXBUTTON: return &FButtons[cbMaximize];
    case HTCLOSE: return &FButtons[cbClose];
    case HTHELP: return &FButtons[cbHelp];
    case HTMDICLOSE: return &FButtons[cbMDIClose];
    case HTMDIRESTORE: return &FButtons[cbMDIRestore];
    case HTMDIMIN: return &FButtons[cbMDIMinimize];
    default:
        if (Code >= HTTITLEBUTTON && Code < HTTITLEBUTTON + FTitleButtons->Count())
            return &FTitleButtons->Items(Code - HTTITLEBUTTON)->Data;
        return nullptr;
    }
}

// ---------------------------------------------------------------- hit test and states

int TsSkinProvider::HitTest(int ScreenX, int ScreenY) {
    const TPoint o = WindowOrigin();
    const TPoint p{ScreenX - o.X, ScreenY - o.Y};
    const int bh = ButtonHeight();
    const int c = (CaptionHeight() + SysBorderHeight() - bh) / 2;
    HWND h = FForm->HandleIfAllocated();
    if (p.Y >= c && p.Y <= c + bh) {
        if (p.X >= SysBorderWidth() && p.X <= IconRect().Width() + SysBorderWidth()) {
            SetHotHT(HTSYSMENU);
            return HTSYSMENU;
        }
        TacCaptionButtonSet set;
        set.Owned = FSysMenuRemoved;
        set.MaximizeVisible = MaximizeVisible();
        set.MaximizeEnabled = MaximizeEnabled();
        set.RestoreEnabled = RestoreEnabled();
        set.MinimizeVisible = MinimizeVisible();
        set.MinimizeEnabled = MinimizeEnabled();
        set.Help = HelpVisible();
        set.Minimized = IsIconic(h);
        set.TitleCount = FTitleButtons->Count();
        const int k = ButtonIndexAt(p.X);
        const int n = SystemButtonCount();
        const bool titleEnabled = k > n && k <= n + set.TitleCount && FTitleButtons->Items(k - n - 1)->Enabled();
        const int code = CaptionButtonHit(set, k, titleEnabled);
        if (code != HTCAPTION) {
            SetHotHT(code);
            return code;
        }
        if (k != 0) return HTCAPTION;
    }
    if (FGripMode == gmRightBottom && !IsZoomed(h)) {
        TsSkinManager* m = ManagerOf(FCommonData.get());
        const TPoint g = CellSize(m, GlobalMask(m, "GRIPIMAGE"));
        if (g.X > 0 && p.X > FormWidth() - g.X - SysBorderWidth() && p.Y > FormHeight() - g.Y - SysBorderHeight())
            return HTBOTTOMRIGHT;
    }
    if (const int mdi = MDIButtonHit(p)) return mdi;
    if (IsZoomed(h) && (p.X < 2 || p.Y < 2 || p.X > FormWidth() - 4 || p.Y > FormHeight() - 4)) {
        SetHotHT(0);
        return -1;
    }
    return 0;
}

void TsSkinProvider::SetHotHT(int Code, bool Repaint) {
    if (!FDrawNonClientArea) return;
    if (Code == FHotItem) return;
    if (TsCaptionButton* old = ButtonByCode(FHotItem); old && old->State > 0) {
        old->State = 0;
        if (Repaint) RepaintButton(FHotItem);
    }
    FHotItem = Code;
    if (TsCaptionButton* now = ButtonByCode(Code); now && now->State >= 0) {
        now->State = 1;
        if (Repaint) RepaintButton(Code);
    }
    acCaptionButtonPressed = false;
}

void TsSkinProvider::SetPressedHT(int Code) {
    if (Code != FHotItem) {
        if (TsCaptionButton* old = ButtonByCode(FHotItem); old && old->State > 0) {
            old->State = 0;
            RepaintButton(FHotItem);
        }
    }
    HWND h = FForm->HandleIfAllocated();
    // The line's restore belongs to the maximised child: the frame's own
    // maximize (off while the frame is zoomed) does not decide it.
    const bool allowed = Code == HTMAXBUTTON ? MaximizeEnabled() || (IsZoomed(h) && RestoreEnabled())
                         : Code == HTMDIRESTORE ? ChildRestoreEnabled()
                                                : true;
    if (!allowed) {
        FHotItem = 0;
        return;
    }
    FHotItem = Code;
    if (TsCaptionButton* b = ButtonByCode(Code); b && b->State >= 0) b->State = 2;
    acCaptionButtonPressed = true;
    RepaintButton(Code);
}

void TsSkinProvider::RepaintButton(int Code) {
    TsCaptionButton* b = ButtonByCode(Code);
    if (!b) return;
    if (b->State < 0 || !FForm || !FForm->HandleAllocated()) {
        if (b->GlowID >= 0) StopGlowEffect(b->GlowID), b->GlowID = -1;
        return;
    }
    // A stale image is painted whole later; the glow follows the state now.
    TBitmap* cache = FCommonData->CacheBitmap;
    if (cache && !cache->Empty() && CacheValid()) {
        PaintButtonInto(cache, Code);
        WindowDC dc(FForm->HandleIfAllocated(), WindowDC::Window);
        BitBlt(dc.Get(), b->Rect.Left, b->Rect.Top, b->Rect.Width(), b->Rect.Height(), cache->Canvas()->Handle(),
               b->Rect.Left, b->Rect.Top, SRCCOPY);
    }
    // The glow of a hot close, maximize or minimize button.
    const TsSkinValues* v = SkinValues(FCommonData.get());
    int size = 0, margin = 0;
    if (v) {
        if (Code == HTCLOSE) size = v->BICloseGlow, margin = v->BICloseGlowMargin;
        if (Code == HTMAXBUTTON) size = v->BIMaxGlow, margin = v->BIMaxGlowMargin;
        if (Code == HTMINBUTTON) size = v->BIMinGlow, margin = v->BIMinGlowMargin;
    }
    TsSkinManager* m = ManagerOf(FCommonData.get());
    if (b->State == 1 && size > 0 && m && m->IsValidMaskIndex(b->ImageIndex)) {
        if (b->GlowID < 0) {
            const TPoint o = WindowOrigin();
            const TRect r1 = Rect(o.X + b->Rect.Left, o.Y + b->Rect.Top, o.X + b->Rect.Right, o.Y + b->Rect.Bottom);
            const AnsiString name = m->ma()[size_t(b->ImageIndex)].PropertyName + "GLOW";
            b->GlowID = StartGlowEffect(r1, Rect(0, 0, r1.Width(), r1.Height()), "GLOBALINFO", m, margin, name);
        }
    } else if (b->GlowID >= 0) {
        StopGlowEffect(b->GlowID);
        b->GlowID = -1;
    }
}

// The button's cell over the caption background that lay under it.
void TsSkinProvider::PaintButtonInto(TBitmap* Bmp, int Code) {
    if (Code == HTMDICLOSE || Code == HTMDIRESTORE || Code == HTMDIMIN) {
        PaintMDIButtonInto(Bmp, Code);
        return;
    }
    TsCaptionButton* b = ButtonByCode(Code);
    TsSkinManager* m = ManagerOf(FCommonData.get());
    if (!b || b->State < 0 || !m || !Bmp) return;
    const TRect r = b->Rect;
    if (FMenuLineBmp && !FMenuLineBmp->Empty()) {
        const int x0 = FormWidth() - FMenuLineBmp->Width();
        if (r.Left >= x0)
            BitBlt(Bmp->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), FMenuLineBmp->Canvas()->Handle(),
                   r.Left - x0, r.Top, SRCCOPY);
    }
    HWND h = FForm->HandleIfAllocated();
    int image = b->ImageIndex;
    bool disabled = false;
    if (Code == HTMAXBUTTON && IsZoomed(h)) image = GlobalMask(m, "BICONNORM");
    if (IsIconic(h)) {
        if (Code == HTMINBUTTON) image = GlobalMask(m, "BICONNORM");
        if (Code == HTMAXBUTTON) image = GlobalMask(m, "BICONMAX"), disabled = !MaximizeEnabled();
    }
    if (Code >= HTTITLEBUTTON) {
        TsTitleButton* t = FTitleButtons->Items(Code - HTTITLEBUTTON);
        disabled = !t->Enabled();
        if (m->IsValidMaskIndex(image))
            PaintGlyphFromImage(Bmp, TPoint{r.Left, r.Top}, b->State, b->State == 0 && !FFormActive ? 2 : 1,
                                m->ma()[size_t(image)], EmptyCacheInfo);
        else if (!disabled)
            PaintPlainButton(Bmp, Code, b->State, !FFormActive, TitleFontSection());
        TBitmap* g = t->Glyph();
        if (!g->Empty()) {
            const int shift = b->State == 2 ? 1 : 0;
            const int gx = r.Left + (r.Width() - g->Width()) / 2 + shift, gy = r.Top + (r.Height() - g->Height()) / 2 + shift;
            if (g->PixelFormat() == pf32bit) {
                BlendAlphaBitmap(Bounds(gx, gy, g->Width(), g->Height()), Rect(0, 0, g->Width(), g->Height()), Bmp, g,
                                 EmptyCacheInfo, false, clNone, 0);
            } else {
                const TColor key = ColorToRGB(g->Canvas()->Pixels(0, g->Height() - 1));
                TransparentBlt(Bmp->Canvas()->Handle(), gx, gy, g->Width(), g->Height(), g->Canvas()->Handle(), 0, 0,
                               g->Width(), g->Height(), UINT(key));
            }
        }
        return;
    }
    const int mode = disabled || (b->State == 0 && !FFormActive) ? 2 : 1;
    if (!m->IsValidMaskIndex(image)) {
        PaintPlainButton(Bmp, Code, disabled ? 0 : b->State, mode == 2, TitleFontSection());
        return;
    }
    PaintGlyphFromImage(Bmp, TPoint{r.Left, r.Top}, b->State, mode, m->ma()[size_t(image)], EmptyCacheInfo);
}

// What a button shows without its image: the glyph of its action in the
// font colour of the section it lies on.
void TsSkinProvider::PaintPlainButton(TBitmap* Bmp, int Code, int State, bool Dim, int Section) {
    const TsCaptionButton* b = ButtonByCode(Code);
    if (!b || !Bmp) return;
    HWND h = FForm->HandleIfAllocated();
    TacCaptionGlyph glyph = cgNone;
    switch (Code) {
    case HTCLOSE:
    case HTMDICLOSE: glyph = cgClose; break;
    case HTMAXBUTTON: glyph = IsZoomed(h) ? cgRestore : cgMaximize; break;
    case HTMINBUTTON: glyph = IsIconic(h) ? cgRestore : cgMinimize; break;
    case HTMDIMIN: glyph = cgMinimize; break;
    case HTMDIRESTORE: glyph = cgRestore; break;
    case HTHELP: glyph = cgHelp; break;
    default: break;
    }
    DrawPlainCaptionButton(Bmp->Canvas()->Handle(), b->Rect, glyph, State, Dim,
                           SectionFontColor(ManagerOf(FCommonData.get()), Section, FFormActive ? 1 : 0));
}

// ---------------------------------------------------------------- caption mouse handling

void TsSkinProvider::WMNCLButtonDown(TMessage& M) {
    const int code = int(M.WParam);
    const TPoint at = LParamPoint(M.LParam);
    HWND h = FForm->HandleIfAllocated();
    if (!FDrawNonClientArea) {
        if (code == HTSYSMENU) {
            const TPoint o = WindowOrigin();
            ShowSystemMenu(o.X + SysBorderWidth(), o.Y + SysBorderHeight() + IconHeight());
            return;
        }
        CallPrev(M);
        return;
    }
    switch (code) {
    case HTSYSMENU: {
        SetHotHT(0);
        const TPoint o = WindowOrigin();
        if (!IsMDIChild())
            ShowSystemMenu(o.X + SysBorderWidth(), o.Y + SysBorderHeight() + FormBorderWidth() + IconHeight());
        else if (MDIMainProvider)
            ShowSystemMenu(o.X, o.Y + CaptionHeight() + 4);
        return;
    }
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP:
    case HTMDICLOSE: SetPressedHT(code); return;
    case HTMDIRESTORE:
    case HTMDIMIN:
        if (!MenuLineChildProvider || (code == HTMDIMIN ? ChildMinimizeEnabled() : ChildRestoreEnabled()))
            SetPressedHT(code);
        return;
    default: break;
    }
    if (code >= HTTITLEBUTTON && code < HTTITLEBUTTON + FTitleButtons->Count()) {
        TsTitleButton* t = FTitleButtons->Items(code - HTTITLEBUTTON);
        SetPressedHT(code);
        if (t->OnMouseDown) t->OnMouseDown(t, mbLeft, 0, int(int16_t(at.X)), int(int16_t(at.Y)));
        return;
    }
    if (IsIconic(h)) {
        // A press on a minimized window moves it; the system's move loop
        // takes the release, and one that moved nothing is a click.
        RECT before{}, after{};
        GetWindowRect(h, &before);
        SendMessageW(h, WM_SYSCOMMAND, 0xF012, 0);
        if (!FForm || !IsWindow(h)) return;
        GetWindowRect(h, &after);
        if (EqualRect(&before, &after) && IsIconic(h) && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000))
            ReleaseOnMinimized();
        return;
    }
    SetHotHT(0);
    // A maximised form's caption only activates it: nothing moves it.
    if (IsZoomed(h) && at.Y - WindowOrigin().Y <= SysBorderHeight() + CaptionHeight()) {
        if (GetActiveWindow() != h) FForm->SetFocus();
        return;
    }
    if (FResizeMode == rmStandard || code == HTMENU) {
        CallPrev(M);
        return;
    }
    // rmBorder: our own outline drag instead of the system's move or size loop.
    const bool size = code >= HTLEFT && code <= HTBOTTOMRIGHT;
    if (!size && code != HTCAPTION) {
        CallPrev(M);
        return;
    }
    FDragHitCode = code;
    // The press point goes along: under load the cursor may already have moved on.
    SendMessageW(h, WM_SYSCOMMAND, size ? SC_SIZE : SC_MOVE, M.LParam);
}

void TsSkinProvider::WMNCLButtonUp(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    // WM_LBUTTONUP carries key flags in wParam and a client point: the
    // button is the one pressed, and the point goes to the screen.
    const bool client = M.Msg == WM_LBUTTONUP;
    TPoint at = LParamPoint(M.LParam);
    if (client) {
        POINT p{at.X, at.Y};
        ClientToScreen(h, &p);
        at = TPoint{p.x, p.y};
    }
    if (FDragKind != 0) {
        if (!IsZoomed(h)) {
            EndBorderDrag(at, true);
            return;
        }
        EndBorderDrag(at, false);
    }
    const int code = client ? FHotItem : int(M.WParam);
    if (!client && IsIconic(h) && MDIMainProvider && !ButtonByCode(code)) {
        ReleaseOnMinimized();
        return;
    }
    const TPoint o = WindowOrigin();
    const TPoint p{at.X - o.X, at.Y - o.Y};
    auto inside = [&](const TsCaptionButton& b) {
        return p.X >= b.Rect.Left && p.X < b.Rect.Right && p.Y >= b.Rect.Top && p.Y < b.Rect.Bottom;
    };
    if (!acCaptionButtonPressed || code == 0) {
        if (client || code < HTMINBUTTON) {
            CallPrev(M);
            return;
        }
    }
    if (code == HTMDICLOSE || code == HTMDIRESTORE || code == HTMDIMIN) {
        // A maximised MDI child's button in the menu line.
        if (!acCaptionButtonPressed) {
            CallPrev(M);
            return;
        }
        MDIButtonUp(code, inside(*ButtonByCode(code)));
        return;
    }
    switch (code) {
    case HTMINBUTTON:
        if (acCaptionButtonPressed && inside(FButtons[cbMinimize])) {
            SetHotHT(0);
            const bool main = Application && Application->MainForm() == FForm;
            SendMessageW(h, WM_SYSCOMMAND, !main && IsIconic(h) ? SC_RESTORE : SC_MINIMIZE, 0);
            InvalidateCache();
        } else {
            SetHotHT(0);
            CallPrev(M);
        }
        return;
    case HTMAXBUTTON:
        if (acCaptionButtonPressed && inside(FButtons[cbMaximize]) &&
            (MaximizeEnabled() || (IsZoomed(h) && RestoreEnabled()))) {
            const bool child = IsMDIChild();
            if (child && MDIMainProvider) MDIMainProvider->SkinData()->BeginUpdateCycle();
            SetHotHT(0);
            if (child) MenuLineChildProvider = nullptr;
            if (IsZoomed(h)) {
                if (!child) FForm->SetWindowState(wsNormal);
                SendMessageW(h, WM_SYSCOMMAND, SC_RESTORE, 0);
                if (FForm) FForm->Repaint();
            } else {
                SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            }
            if (FSystemMenu) FSystemMenu->UpdateItems();
        } else {
            SetHotHT(0);
            CallPrev(M);
        }
        return;
    case HTCLOSE:
        if (acCaptionButtonPressed && inside(FButtons[cbClose])) {
            FButtons[cbClose].State = 0;
            SetHotHT(0, false);
            SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            SetHotHT(0);
            CallPrev(M);
        }
        return;
    case HTHELP:
        if (acCaptionButtonPressed && inside(FButtons[cbHelp])) {
            SendMessageW(h, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
            SetHotHT(0);
            if (FSystemMenu) FSystemMenu->UpdateItems();
            SendMessageW(h, WM_NCPAINT, 1, 0);
        } else {
            SetHotHT(0);
        }
        return;
    default: break;
    }
    if (code >= HTTITLEBUTTON && code < HTTITLEBUTTON + FTitleButtons->Count()) {
        TsTitleButton* t = FTitleButtons->Items(code - HTTITLEBUTTON);
        const bool pressed = acCaptionButtonPressed && t->Data.State == 2;
        SetHotHT(0);
        if (pressed && t->OnMouseUp) t->OnMouseUp(t, mbLeft, 0, int(int16_t(at.X)), int(int16_t(at.Y)));
        return;
    }
    CallPrev(M);
}

// A click on a minimized window (a top-level one or a child inside its MDI
// frame) opens the skinned system menu where the mouse is.
void TsSkinProvider::ReleaseOnMinimized() {
    POINT c{};
    GetCursorPos(&c);
    ShowSystemMenu(c.x, c.y);
}

void TsSkinProvider::WMNCLButtonDblClk(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    if (FDragKind != 0) EndBorderDrag(TPoint{}, false);
    // A second press on a button soon after the first is a press all the same.
    if (ButtonByCode(int(M.WParam)) && M.WParam != HTSYSMENU) {
        WMNCLButtonDown(M);
        return;
    }
    if (M.WParam == HTCAPTION) {
        if ((FSysMenuRemoved && (MaximizeEnabled() || RestoreEnabled())) || (!HasBorder() && IsIconic(h))) {
            SendMessageW(h, WM_SYSCOMMAND, IsZoomed(h) || IsIconic(h) ? SC_RESTORE : SC_MAXIMIZE, 0);
            if (FSystemMenu) FSystemMenu->UpdateItems();
        }
    } else if (M.WParam == HTSYSMENU) {
        FForm->Close();
    }
    M.Result = 0;
}

void TsSkinProvider::WMNCRButtonDown(TMessage& M) {
    if (M.WParam == HTCAPTION || M.WParam == HTSYSMENU) {
        M.Result = 0;
        return;
    }
    CallPrev(M);
}

void TsSkinProvider::WMNCRButtonUp(TMessage& M) {
    if (!HasBorder()) {
        CallPrev(M);
        return;
    }
    if (M.WParam == HTCAPTION || M.WParam == HTSYSMENU) {
        SetHotHT(0);
        const TPoint at = LParamPoint(M.LParam);
        ShowSystemMenu(at.X, at.Y);
    }
    M.Result = 0;
}

// ---------------------------------------------------------------- system commands

void TsSkinProvider::WMSysCommand(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    const UINT cmd = UINT(M.WParam & 0xFFF0);
    if ((M.WParam & 0xFFFF) == 0xF012) FForm->Repaint();
    if (FResizeMode == rmBorder && FDragKind == 0 && (cmd == SC_MOVE || cmd == SC_SIZE) && FDrawNonClientArea &&
        !IsZoomed(h)) {
        // A mouse command carries its press point; a keyboard one 0 or -1.
        POINT c{};
        if (M.LParam != 0 && M.LParam != -1) {
            const TPoint p = LParamPoint(M.LParam);
            c = POINT{p.X, p.Y};
        } else {
            GetCursorPos(&c);
        }
        const int edge = cmd == SC_SIZE ? FDragHitCode : 0;
        FDragHitCode = 0;
        if (cmd == SC_SIZE && (edge < HTLEFT || edge > HTBOTTOMRIGHT)) {
            // No edge known (the keyboard's size command): the system sizes.
            CallPrev(M);
            return;
        }
        BeginBorderDrag(cmd == SC_MOVE ? 1 : 2, TPoint{c.x, c.y});
        FDragHitCode = edge;
        M.Result = 0;
        return;
    }
    if (IsMDIChild()) {
        MDIChildSysCommand(M);
        return;
    }
    if (FForm->FormStyle() == fsMDIForm) {
        if (!CallPrev(M)) return;
        if ((cmd == SC_MINIMIZE || cmd == SC_MAXIMIZE || cmd == SC_RESTORE) && MDIMainProvider) {
            MDIMainProvider->InvalidateCache();
            MDIMainProvider->FMenuRows = -1;
            if (HWND mh = MDIMainProvider->FForm->HandleIfAllocated()) SendMessageW(mh, WM_NCPAINT, 1, 0);
        }
        if (FSystemMenu) FSystemMenu->UpdateItems();
        return;
    }
    if (!CallPrev(M)) return;
    switch (cmd) {
    case SC_MINIMIZE:
        if (FCommonData->CacheBitmap) FCommonData->CacheBitmap->SetSize(0, 0);
        InvalidateCache();
        break;
    case SC_MAXIMIZE:
    case SC_RESTORE:
        if (MaximizeVisible()) FHotItem = HTMAXBUTTON;
        SetHotHT(0);
        if (cmd == SC_RESTORE) {
            InvalidateCache();
            if (HasBorder())
                RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            else
                SetWindowRgn(h, nullptr, TRUE);
        }
        break;
    case SC_KEYMENU:
        if (M.LParam == ' ' && HasBorder() && FSysMenuRemoved) {
            const TPoint o = WindowOrigin();
            ShowSystemMenu(o.X + SysBorderWidth(), o.Y + SysBorderHeight() + CaptionHeight());
        }
        break;
    default: break;
    }
    if (FSystemMenu) FSystemMenu->UpdateItems();
}

namespace {

// Redraw held on a form and, when there is one, on the MDI main form, each
// inside an update cycle of its skin state, for as long as the guard lives:
// the frame is painted once, after the system's change, not at each step.
class TacMDIRedrawLock {
public:
    TacMDIRedrawLock(TsSkinProvider* Child, TsSkinProvider* Main) {
        for (TsSkinProvider* p : {Child, Main})
            if (p && p != FHeld[0] && p->Form() && p->Form()->HandleAllocated()) {
                FHeld[FCount] = p;
                FWnd[FCount++] = p->Form()->HandleIfAllocated();
                p->SkinData()->BeginUpdateCycle();
                SendMessageW(p->Form()->HandleIfAllocated(), WM_SETREDRAW, 0, 0);
            }
    }
    ~TacMDIRedrawLock() {
        for (int i = 0; i < FCount; ++i) {
            // A child destroyed by its own command took its provider with it.
            if (!IsWindow(FWnd[i]) || SendMessageW(FWnd[i], SM_ALPHACMD, WPARAM(SkinWParam(scGetProvider)), 0) !=
                                          reinterpret_cast<LRESULT>(static_cast<TacFormProvider*>(FHeld[i])))
                continue;
            FHeld[i]->SkinData()->EndUpdateCycle();
            SendMessageW(FWnd[i], WM_SETREDRAW, 1, 0);
        }
    }
    TacMDIRedrawLock(const TacMDIRedrawLock&) = delete;
    TacMDIRedrawLock& operator=(const TacMDIRedrawLock&) = delete;

private:
    TsSkinProvider* FHeld[2] = {nullptr, nullptr};
    HWND FWnd[2] = {nullptr, nullptr};
    int FCount = 0;
};

}  // namespace

// The system commands of an MDI child: each change of its state repaints
// the main frame, whose menu line shows a maximised child's icon and buttons.
void TsSkinProvider::MDIChildSysCommand(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    const UINT cmd = UINT(M.WParam & 0xFFF0);
    const bool zoomed = IsZoomed(h) != 0;
    TsSkinProvider* main = MDIMainProvider;
    if (zoomed && cmd != SC_MAXIMIZE && main) main->SkinData()->BeginUpdateCycle();
    switch (cmd) {
    case SC_MINIMIZE:
        if (!CallPrev(M)) return;
        RefreshMDIMainFrame();
        if (zoomed) RefreshMDIMainFrame();
        if (FSystemMenu) FSystemMenu->UpdateItems();
        FTitleBarCopy.reset();
        InvalidateCache();
        return;
    case SC_MAXIMIZE: {
        MenuLineChildProvider = this;
        {
            TacMDIRedrawLock lock(this, main);
            if (!CallPrev(M)) return;
        }
        // Its frame lies outside the client window now and hears no
        // non-client paint that would cut its region to the new size.
        UpdateRegionRects();
        UpdateWindowRegion(false);
        RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INTERNALPAINT);
        // Refreshing the main frame redraws the client with its children;
        // without it the child, changed while hidden, is redrawn itself.
        if (main && main->MDIForm())
            RefreshMDIMainFrame();
        else
            RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        // What is painted at once right after the frame's redraw was held
        // can be lost when the system shows the frame again: the client and
        // its children are painted once more with the next paint messages.
        if (main && main->Form()->ClientHandle())
            RedrawWindow(main->Form()->ClientHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        if (FSystemMenu) FSystemMenu->UpdateItems();
        return;
    }
    case SC_CLOSE: {
        if (zoomed) RefreshMDIMainFrame();
        if (main) main->FMDIRestoreRunning = true;
        {
            ScopeExit restoreDone([] {
                if (MDIMainProvider) MDIMainProvider->FMDIRestoreRunning = false;
            });
            // The child (and this provider) may be gone when the call returns.
            if (CallPrev(M)) SetHotHT(0, false);
        }
        RefreshMDIMainFrame();
        return;
    }
    case SC_RESTORE:
        if (acMDIChildMaximizing) {
            if (zoomed && main) main->SkinData()->EndUpdateCycle();
            return;
        }
        RestoreMDIChild(M, zoomed);
        return;
    case SC_KEYMENU:
        if (!CallPrev(M)) return;
        if (main) main->SkinData()->EndUpdateCycle();
        return;
    default:
        if (!CallPrev(M)) return;
        // A cycle begun for a command that changes nothing ends here too.
        if (zoomed && main && main->SkinData()->UpdatingFlag) main->SkinData()->EndUpdateCycle();
        if (FSystemMenu) FSystemMenu->UpdateItems();
        return;
    }
}

void TsSkinProvider::RestoreMDIChild(TMessage& M, bool WasZoomed) {
    HWND h = FForm->HandleIfAllocated();
    {
        TacMDIRedrawLock lock(this, MDIMainProvider);
        if (!CallPrev(M)) return;
        InvalidateCache();
        // The system gives a restored child its system menu style back.
        const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
        if (FSysMenuRemoved && (style & WS_SYSMENU)) SetWindowLongPtrW(h, GWL_STYLE, style & ~LONG_PTR(WS_SYSMENU));
    }
    RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    if (HWND client = GetParent(h)) {
        for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (c == h) continue;
            if (IsZoomed(c)) {
                if (auto* f = dynamic_cast<TForm*>(FindControl(c))) f->SetWindowState(wsNormal);
                if (IsZoomed(c)) ShowWindow(c, SW_SHOWNOACTIVATE);
            }
            RedrawWindow(c, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
    }
    if (WasZoomed) RefreshMDIMainFrame();
    if (FSystemMenu) FSystemMenu->UpdateItems();
}

// ---------------------------------------------------------------- rmBorder dragging

TRect TsSkinProvider::DragRect(TPoint At) const {
    const int dx = At.X - FDragStart.X, dy = At.Y - FDragStart.Y;
    TRect r = FDragFormRect;
    if (FDragKind == 1) return Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
    // The form's own minimum; the system holds the maximum when the form moves.
    const int minW = FForm->Constraints()->MinWidth(), minH = FForm->Constraints()->MinHeight();
    const int e = FDragHitCode;
    if (e == HTLEFT || e == HTTOPLEFT || e == HTBOTTOMLEFT) r.Left = std::min(r.Left + dx, r.Right - minW);
    if (e == HTRIGHT || e == HTTOPRIGHT || e == HTBOTTOMRIGHT) r.Right = std::max(r.Right + dx, r.Left + minW);
    if (e == HTTOP || e == HTTOPLEFT || e == HTTOPRIGHT) r.Top = std::min(r.Top + dy, r.Bottom - minH);
    if (e == HTBOTTOM || e == HTBOTTOMLEFT || e == HTBOTTOMRIGHT) r.Bottom = std::max(r.Bottom + dy, r.Top + minH);
    return r;
}

void TsSkinProvider::DrawDragOutline() {
    if (!FDragDC) return;
    const TRect& r = FDragLast;
    const POINT pts[5] = {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1},
                          {r.Left, r.Top}};
    Polyline(FDragDC, pts, 5);
    FDragDrawn = !FDragDrawn;
}

void TsSkinProvider::BeginBorderDrag(int Kind, TPoint At) {
    HWND h = FForm->HandleIfAllocated();
    RECT w{};
    GetWindowRect(h, &w);
    FDragKind = Kind;
    FDragStart = At;
    FDragFormRect = Rect(w.left, w.top, w.right, w.bottom);
    FDragLast = FDragFormRect;
    FDragDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE);
    if (FDragDC) {
        SaveDC(FDragDC);
        SetROP2(FDragDC, R2_NOT);
        SelectObject(FDragDC, GetStockObject(NULL_BRUSH));
        DrawDragOutline();
    }
    SetCapture(h);
}

void TsSkinProvider::StepBorderDrag(TPoint At) {
    if (FDragKind == 0) return;
    const TRect r = DragRect(At);
    if (r == FDragLast) return;
    if (FDragDrawn) DrawDragOutline();
    FDragLast = r;
    DrawDragOutline();
}

void TsSkinProvider::EndBorderDrag(TPoint At, bool Apply) {
    if (FDragKind == 0) return;
    const TRect r = Apply ? DragRect(At) : FDragFormRect;
    if (FDragDC) {
        if (FDragDrawn) DrawDragOutline();
        RestoreDC(FDragDC, -1);
        ReleaseDC(GetDesktopWindow(), FDragDC);
        FDragDC = nullptr;
    }
    FDragDrawn = false;
    FDragKind = 0;
    FDragHitCode = 0;
    if (!FForm || !FForm->HandleAllocated()) return;
    HWND h = FForm->HandleIfAllocated();
    if (GetCapture() == h) ReleaseCapture();
    if (!Apply || r == FDragFormRect) return;
    // The outline ran in screen points; a child window (an MDI child) is
    // placed in its parent's client points.
    POINT at[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
    if ((GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) && GetParent(h)) MapWindowPoints(nullptr, GetParent(h), at, 2);
    MoveWindow(h, at[0].x, at[0].y, at[1].x - at[0].x, at[1].y - at[0].y, TRUE);
}
