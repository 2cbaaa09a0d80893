// The menu line of a skinned form. The system keeps the window's menu bar in
// the non-client area and measures its items; the provider paints the bar
// into its window image with the rest of the frame: the band from the skin,
// each item through its owner-draw handler (entries the system would draw
// itself in the skin's colours), and on an MDI main form the maximised
// child's icon and its minimize, restore and close buttons, which answer the
// mouse like the caption buttons. The skinned menus' bar painter paints a
// single item, hot or plain, over the band kept without items.
#include <algorithm>

#include "Guards.h"
#include "WinText.h"
#include "acntUtilsWin.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

namespace {

TsSkinManager* ManagerOf(const TsCommonData* D) { return D ? D->SkinManager() : nullptr; }

bool Designing(const TComponent* C) { return C && (C->ComponentState() & csDesigning); }

// The window's menu bar: a top-level window's menu (a child's "menu" is its
// identifier), as the class library or anyone else set it.
HMENU BarOf(TForm* F) {
    if (!F || !F->HandleAllocated() || F->FormStyle() == fsMDIChild) return nullptr;
    HWND h = F->HandleIfAllocated();
    if (GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) return nullptr;
    HMENU m = GetMenu(h);
    return m && IsMenu(m) ? m : nullptr;
}

bool HasVisibleItem(TMainMenu* Menu) {
    if (!Menu) return false;
    for (int i = 0; i < Menu->Items()->Count(); ++i)
        if (Menu->Items()->Items(i)->Visible()) return true;
    return false;
}

bool IsMDICode(int Code) { return Code == HTMDICLOSE || Code == HTMDIRESTORE || Code == HTMDIMIN; }

}  // namespace

// ---------------------------------------------------------------- geometry

int TsSkinProvider::MenuLineHeight() const { return BarOf(FForm) ? SystemMetric(SM_CYMENU) - 1 : 0; }

bool TsSkinProvider::MenuVisible() const {
    if (!FForm || FForm->BorderStyle() == bsDialog || IsMDIChild()) return false;
    HMENU m = BarOf(FForm);
    if (!m) return false;
    TMainMenu* main = FForm->Menu();
    // A bar the class library did not make: by its entries.
    if (!main || !main->HandleAllocated() || main->Handle() != m) return GetMenuItemCount(m) > 0;
    if (HasVisibleItem(main)) return true;
    // An MDI form's line also shows its active child's menu, merged into it.
    TForm* child = FForm->FormStyle() == fsMDIForm ? FForm->ActiveMDIChild() : nullptr;
    return child && HasVisibleItem(child->Menu());
}

int TsSkinProvider::MenuRows() {
    if (!MenuVisible() || IsIconic(FForm->HandleIfAllocated())) return 0;
    if (FMenuRows < 0) {
        // The rows the system gave the bar: what lies between the caption and
        // the client area, a line high each (and one pixel below them).
        HWND h = FForm->HandleIfAllocated();
        RECT w{};
        GetWindowRect(h, &w);
        POINT o{0, 0};
        ClientToScreen(h, &o);
        const int bar = int(o.y - w.top) - SysBorderHeight() - CaptionHeight() - FormBorderWidth();
        FMenuRows = std::max(1, bar / std::max(MenuLineHeight(), 1));
    }
    return FMenuRows;
}

HWND TsSkinProvider::MaximisedChild() const { return MaximisedMDIChild(FForm); }

bool TsSkinProvider::MDIButtonsShown() const {
    return FDrawNonClientArea && HasBorder() && MaximisedChild() && MenuVisible();
}

namespace {
// Whether the child has the border icon (a class-library form) or the box
// style (another window).
bool ChildHas(HWND H, TBorderIcon Icon, LONG_PTR Style) {
    if (!H) return false;
    if (auto* f = dynamic_cast<TForm*>(FindControl(H))) return (f->BorderIcons() & BorderIconBit(Icon)) != 0;
    return (GetWindowLongPtrW(H, GWL_STYLE) & Style) != 0;
}
}  // namespace

bool TsSkinProvider::ChildMinimizeEnabled() const { return ChildHas(MaximisedChild(), biMinimize, WS_MINIMIZEBOX); }

bool TsSkinProvider::ChildRestoreEnabled() const { return ChildHas(MaximisedChild(), biMaximize, WS_MAXIMIZEBOX); }

int TsSkinProvider::MDIButtonWidth() const {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    const int i = FButtons[cbMDIClose].ImageIndex;
    if (!m || !m->IsValidMaskIndex(i) || m->ma()[size_t(i)].ImageCount <= 0) return 16;
    const TsMaskData& d = m->ma()[size_t(i)];
    return d.R.Width() / d.ImageCount;
}

int TsSkinProvider::MDIButtonHeight() const {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    const int i = FButtons[cbMDIClose].ImageIndex;
    if (!m || !m->IsValidMaskIndex(i)) return 16;
    const TsMaskData& d = m->ma()[size_t(i)];
    return d.R.Height() / (d.MaskType + 1);
}

TsSection TsSkinProvider::MenuLineSection() const {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    if (!m) return {};
    // The line is a band of the form: without a section of its own it looks
    // like the form, its items still readable.
    return m->Resolve({FMenuLineSkin, "MENULINE", FCommonData->Resolved().Name});
}

// ---------------------------------------------------------------- hooking

void TsSkinProvider::HookMenus() {
    if (Designing(this) || !FForm) return;
    // The menus follow the form's manager, default or not.
    TsSkinManager* m = FCommonData->SkinManager();
    auto* menus = m ? dynamic_cast<TsSkinableMenus*>(m->SkinableMenus()) : nullptr;
    if (menus) menus->HookForm(FForm);
}

void TsSkinProvider::ResetSkinnedMenus() { ClearMenuCache(); }

void TsSkinProvider::MenuChanged() {
    if (!BarOf(FForm)) return;
    ResetMenuLine();
    InvalidateCache();
    // The system measures the bar again and asks for its frame to be painted.
    DrawMenuBar(FForm->HandleIfAllocated());
}

TsSkinProvider::MenuLineKey TsSkinProvider::CurrentMenuLineKey() const {
    MenuLineKey k;
    k.Menu = BarOf(FForm);
    k.Count = k.Menu ? GetMenuItemCount(k.Menu) : 0;
    k.Child = MaximisedChild();
    return k;
}

// The system recomputes the frame when the bar changed under us (entries
// added or removed, a child maximised, restored or closed on an MDI form).
void TsSkinProvider::CheckMenuLineKey() {
    if (CurrentMenuLineKey() == FMenuLineKey) return;
    ResetMenuLine();
    InvalidateCache();
}

// ---------------------------------------------------------------- painting

TBitmap* TsSkinProvider::MenuLineImage(TPoint& Origin) {
    if (!FDrawNonClientArea || !FCommonData->IsSkinned() || !FWorkBmp || FWorkBmp->Empty()) return nullptr;
    Origin = TPoint{0, CaptionHeight() + SysBorderHeight()};
    return FWorkBmp.get();
}

void TsSkinProvider::PaintMenuLine(TBitmap* Cache) {
    LayoutMDIButtons();
    FMenuLineKey = CurrentMenuLineKey();
    TsSkinManager* m = ManagerOf(FCommonData.get());
    HMENU bar = BarOf(FForm);
    HWND h = FForm->HandleIfAllocated();
    const int lineH = MenuLineHeight();
    if (!m || !bar || !MenuVisible() || lineH <= 0 || IsIconic(h)) {
        FWorkBmp.reset();
        return;
    }
    const int W = Cache->Width();
    const int top = CaptionHeight() + SysBorderHeight();
    const int bottom = std::min(TopBandHeight(), Cache->Height());
    if (bottom <= top || W <= 2 * SysBorderWidth()) return;
    // The band between the side borders, which stay the frame's.
    const TRect band = Rect(SysBorderWidth(), top, W - SysBorderWidth(), std::min(top + MenuRows() * lineH, bottom));
    const TsSection line = MenuLineSection();
    if (line.Valid())
        PaintSectionFull(line, CacheInfo{Cache, 0, 0, 0, true}, -1, -1, m, Cache, TPoint{0, 0}, band, 0, true);
    if (!FWorkBmp) FWorkBmp.reset(CreateBitmap24(W, bottom - top));
    if (FWorkBmp->Width() != W || FWorkBmp->Height() != bottom - top) FWorkBmp->SetSize(W, bottom - top);
    BitBlt(FWorkBmp->Canvas()->Handle(), 0, 0, W, bottom - top, Cache->Canvas()->Handle(), 0, top, SRCCOPY);
    if (MDIChildIconInMenuLine(FForm)) {
        // The maximised child's icon in the first slot of the line.
        HICON icon = nullptr;
        auto* c = dynamic_cast<TForm*>(FindControl(MaximisedChild()));
        if (c && !c->Icon()->Empty()) icon = c->Icon()->Handle();
        if (!icon && !c) icon = reinterpret_cast<HICON>(SendMessageW(MaximisedChild(), WM_GETICON, ICON_SMALL, 0));
        if (!icon && Application && !Application->Icon()->Empty()) icon = Application->Icon()->Handle();
        if (!icon) icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        DrawIconEx(Cache->Canvas()->Handle(), SysBorderWidth() + 1, top + 1, icon, lineH - 2, lineH - 2, 0, nullptr,
                   DI_NORMAL);
    }
    PaintLineEntries(Cache, bar);
    for (int code : {HTMDIMIN, HTMDIRESTORE, HTMDICLOSE}) PaintButtonInto(Cache, code);
}

// Every entry of the bar where the system placed it, drawn into the image.
void TsSkinProvider::PaintLineEntries(TBitmap* Cache, HMENU Bar) {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    HWND h = FForm->HandleIfAllocated();
    TacMenuLineSurface* before = CurrentMenuLineSurface;
    CurrentMenuLineSurface = this;
    ScopeExit back([before] { CurrentMenuLineSurface = before; });
    RECT wr{};
    GetWindowRect(h, &wr);
    TMainMenu* main = FForm->Menu();
    TCanvas* canvas = Cache->Canvas();
    const int lineIdx = MenuLineSection().Index;
    const int n = GetMenuItemCount(Bar);
    for (int pos = 0; pos < n; ++pos) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_BITMAP;
        RECT sr{};
        if (!GetMenuItemInfoW(Bar, UINT(pos), TRUE, &info) || (info.fType & MFT_SEPARATOR) ||
            !GetMenuItemRect(h, Bar, UINT(pos), &sr) || IsRectEmpty(&sr))
            continue;
        const TRect r = Rect(sr.left - wr.left, sr.top - wr.top, sr.right - wr.left, sr.bottom - wr.top);
        const bool disabled = (info.fState & MFS_DISABLED) != 0;
        if (info.fType & MFT_OWNERDRAW) {
            TMenuItem* item = main ? main->FindItemByCommand(info.wID) : nullptr;
            if (!item) continue;
            // The bar's plain look: no accelerator marks until the keyboard asks for them.
            TOwnerDrawState state = OwnerDrawBit(odNoAccel) | OwnerDrawBit(odReserved1);
            if (disabled) state |= OwnerDrawBit(odGrayed) | OwnerDrawBit(odDisabled);
            if (info.fState & MFS_DEFAULT) state |= OwnerDrawBit(odDefault);
            item->AdvancedDrawItem(canvas, r, state, true);
            continue;
        }
        // An entry the system draws itself (a menu not made owner-drawn, or
        // not ours): its text in the line's colours. Pictures (a maximised
        // MDI child's icon and buttons) are the provider's own.
        if ((info.fType & MFT_BITMAP) || info.hbmpItem || lineIdx < 0) continue;
        const int len = GetMenuStringW(Bar, UINT(pos), nullptr, 0, MF_BYPOSITION);
        if (len <= 0) continue;
        std::wstring text(size_t(len) + 1, L'\0');
        GetMenuStringW(Bar, UINT(pos), text.data(), len + 1, MF_BYPOSITION);
        text.resize(size_t(len));
        canvas->Font()->Assign(MenuFont ? MenuFont : ScreenMenuFont());
        WriteSectionText(canvas, FromWide(text).c_str(), !disabled, m, false, lineIdx,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE, r);
    }
}

// ---------------------------------------------------------------- a maximised MDI child's buttons

void TsSkinProvider::LoadMDIButtonImages() {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    for (TsCaptionSlot s : {cbMDIMinimize, cbMDIRestore, cbMDIClose}) FButtons[s].ImageIndex = -1;
    if (!m || !FForm || FForm->FormStyle() != fsMDIForm || Designing(this)) return;
    // The small images; a skin without a small close button has the big ones.
    const bool big = !m->IsValidMaskIndex(GlobalMask(m, "SICONCLOSE"));
    const struct {
        TsCaptionSlot Slot, Own;
        const char *Small, *Big;
    } set[] = {{cbMDIMinimize, cbMinimize, "SICONMIN", "BICONMIN"},
               {cbMDIRestore, cbMaximize, "SICONMAX", "BICONMAX"},
               {cbMDIClose, cbClose, "SICONCLOSE", "BICONCLOSE"}};
    for (const auto& s : set) {
        int i = GlobalMask(m, big ? s.Big : s.Small);
        if (!m->IsValidMaskIndex(i)) i = FButtons[s.Own].ImageIndex;
        FButtons[s.Slot].ImageIndex = i;
        FButtons[s.Slot].HaveBigGlyph = big;
    }
}

void TsSkinProvider::LayoutMDIButtons() {
    const TsCaptionSlot slots[3] = {cbMDIMinimize, cbMDIRestore, cbMDIClose};
    if (!MDIButtonsShown()) {
        for (TsCaptionSlot s : slots) {
            FButtons[s].State = -1;
            FButtons[s].Rect = TRect{};
        }
        return;
    }
    // Right-aligned in the line's last row, one pixel apart, centred in it.
    const int w = MDIButtonWidth(), bh = MDIButtonHeight();
    const int right = FormWidth() - SysBorderWidth();
    const int top = TopBandHeight() - (MenuLineHeight() - bh) / 2 - bh - 1;
    for (int i = 0; i < 3; ++i) {
        const int left = right - (3 - i) * w - (3 - i);
        TsCaptionButton& b = FButtons[slots[i]];
        b.Rect = Rect(left, top, left + w, top + bh);
        if (b.State < 0) b.State = 0;
    }
}

void TsSkinProvider::PaintMDIButtonInto(TBitmap* Bmp, int Code) {
    TsCaptionButton* b = ButtonByCode(Code);
    TsSkinManager* m = ManagerOf(FCommonData.get());
    if (!b || b->State < 0 || !m || !Bmp) return;
    const TRect r = b->Rect;
    // The line under the button, without any button.
    const int top = CaptionHeight() + SysBorderHeight();
    if (FWorkBmp && r.Left >= 0 && r.Top >= top && r.Right <= FWorkBmp->Width() && r.Bottom - top <= FWorkBmp->Height())
        BitBlt(Bmp->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), FWorkBmp->Canvas()->Handle(), r.Left,
               r.Top - top, SRCCOPY);
    int image = b->ImageIndex;
    bool disabled = false;
    if (Code == HTMDIMIN && !ChildMinimizeEnabled()) return;
    if (Code == HTMDIRESTORE) {
        image = GlobalMask(m, "SICONNORM");
        if (!m->IsValidMaskIndex(image)) image = GlobalMask(m, "BICONNORM");
        disabled = !ChildRestoreEnabled();
    }
    const int mode = disabled || (b->State == 0 && !FFormActive) ? 2 : 1;
    if (!m->IsValidMaskIndex(image)) {
        // On the menu line its font colour reads, not the title's.
        PaintPlainButton(Bmp, Code, disabled ? 0 : b->State, mode == 2, MenuLineSection().Index);
        return;
    }
    PaintGlyphFromImage(Bmp, TPoint{r.Left, r.Top}, disabled ? 0 : b->State, mode, m->ma()[size_t(image)],
                        EmptyCacheInfo);
}

int TsSkinProvider::MDIButtonHit(TPoint P) {
    if (MDIButtonsShown()) {
        for (int code : {HTMDICLOSE, HTMDIRESTORE, HTMDIMIN}) {
            const TsCaptionButton* b = ButtonByCode(code);
            if (!b || b->State < 0 || P.X < b->Rect.Left || P.X >= b->Rect.Right || P.Y < b->Rect.Top ||
                P.Y >= b->Rect.Bottom)
                continue;
            if (code == HTMDIMIN && !ChildMinimizeEnabled()) break;
            SetHotHT(code);
            return code;
        }
    }
    if (IsMDICode(FHotItem)) SetHotHT(0);
    return 0;
}

void TsSkinProvider::MDIButtonUp(int Code, bool Inside) {
    HWND child = MaximisedChild();
    // The line is painted anew after the command; 101 and 102 need no repaint before.
    SetHotHT(0, Code == HTMDIMIN);
    if (!Inside || !child) return;
    const UINT command = Code == HTMDICLOSE ? SC_CLOSE : Code == HTMDIRESTORE ? SC_RESTORE : SC_MINIMIZE;
    if (Code == HTMDIRESTORE && !ChildRestoreEnabled()) return;
    // The child's minimize repaints this frame once, when it is done.
    TsSkinProvider* held = Code == HTMDIMIN ? MDIMainProvider : nullptr;
    if (held) held->SkinData()->BeginUpdateCycle();
    SendMessageW(child, WM_SYSCOMMAND, command, 0);
    // Done now: ended here, as a child without a provider of its own (not a
    // class-library form) ends no cycle.
    if (held && held == MDIMainProvider) held->SkinData()->EndUpdateCycle();
    if (FForm && FForm->HandleAllocated()) RefreshFrame();
}
