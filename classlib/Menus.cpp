#include "Menus.h"

#include <algorithm>
#include <cstring>

#include "Graphics.h"
#include "Guards.h"
#include "ImgList.h"
#include "Text1251.h"
#include "TypeInfo.h"
#include "WinText.h"

namespace {

// ---------------------------------------------------------------- command numbers
// The system's menu messages carry a 16-bit number; numbers from 1 up name the
// live items. A number (and a menu handle) given up while a menu loop runs
// stays out of use until the loop ends: the open menu may still name it.
constexpr UINT kFirstCommand = 1, kLastCommand = 0xEFFE;
// The entries left over while a menu loop runs: ours, of no item.
constexpr UINT kGapCommand = 0xEFFF;

struct MenuState {
    std::vector<TMenuItem*> Items{nullptr};  // by command number; [0] unused
    std::vector<UINT> Free;
    std::vector<UINT> HeldCommands;
    std::vector<HMENU> HeldHandles;
    // Handles changed while a menu loop ran: updated in place then, made
    // again from their items when it ends.
    std::vector<TMenuItem*> Dirty;
    int LoopDepth = 0;
    TPopupMenu* ActivePopup = nullptr;
    HWND PopupWindow = nullptr;
    std::unique_ptr<TFont> MenuFont, BoldMenuFont;
    // One canvas for measuring (over a memory DC of its own) and one for
    // drawing: their font objects live as long as the menu font is the same.
    std::unique_ptr<TCanvas> MeasureCanvas, DrawCanvas;
    HDC MeasureDC = nullptr;
};
MenuState& State() {
    static MenuState s;
    return s;
}

UINT AllocCommand(TMenuItem* Item) {
    MenuState& s = State();
    UINT c;
    if (!s.Free.empty()) {
        c = s.Free.back();
        s.Free.pop_back();
    } else {
        c = UINT(s.Items.size());
        if (c > kLastCommand) throw EMenuError("Too many menu items");
        s.Items.push_back(nullptr);
    }
    s.Items[c] = Item;
    return c;
}

void ReleaseCommand(UINT Command) {
    MenuState& s = State();
    if (Command < kFirstCommand || Command >= s.Items.size()) return;
    s.Items[Command] = nullptr;
    (s.LoopDepth > 0 ? s.HeldCommands : s.Free).push_back(Command);
}

// Detaches the sub-menus first: destroying a menu destroys the sub-menus
// still attached, and those belong to other items.
void EmptyMenu(HMENU Menu) {
    for (int n = GetMenuItemCount(Menu); n > 0; --n) RemoveMenu(Menu, 0, MF_BYPOSITION);
}

// An open menu is never emptied or destroyed under the menu loop, which
// still reads its entries (the selected one among them) until it ends.
void DestroyMenuHandle(HMENU Menu) {
    MenuState& s = State();
    if (s.LoopDepth > 0) {
        s.HeldHandles.push_back(Menu);
        return;
    }
    EmptyMenu(Menu);
    DestroyMenu(Menu);
}

void EnterMenuLoop() { ++State().LoopDepth; }

void ExitMenuLoop() {
    MenuState& s = State();
    if (s.LoopDepth > 0) --s.LoopDepth;
    if (s.LoopDepth > 0) return;
    std::vector<HMENU> held;
    held.swap(s.HeldHandles);
    for (HMENU h : held) EmptyMenu(h);
    for (HMENU h : held) DestroyMenu(h);
    s.Free.insert(s.Free.end(), s.HeldCommands.begin(), s.HeldCommands.end());
    s.HeldCommands.clear();
    TMenuItem::RebuildAfterMenuLoop();
}

// ---------------------------------------------------------------- drawing helpers

TFont* MenuFontFor(bool Bold) {
    TFont* plain = ScreenMenuFont();
    if (!Bold) return plain;
    std::unique_ptr<TFont>& bold = State().BoldMenuFont;
    if (!bold) {
        bold = std::make_unique<TFont>();
        bold->Assign(plain);
        bold->SetStyle(TFontStyles(plain->Style() | FontStyleBit(fsBold)));
    }
    return bold.get();
}

// Assigns only a different font, so that the canvas keeps its font object.
void UseFont(TCanvas* Canvas, TFont* Font) {
    const LOGFONTW want = Font->LogFont(), have = Canvas->Font()->LogFont();
    if (std::memcmp(&want, &have, sizeof want) != 0 || Canvas->Font()->Color() != Font->Color())
        Canvas->Font()->Assign(Font);
}

TCanvas* MeasureCanvas() {
    MenuState& s = State();
    if (!s.MeasureCanvas) {
        s.MeasureDC = CreateCompatibleDC(nullptr);
        s.MeasureCanvas = std::make_unique<TCanvas>();
    }
    s.MeasureCanvas->SetHandle(s.MeasureDC);
    return s.MeasureCanvas.get();
}

LRESULT CALLBACK PopupListProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    try {
        TMessage m{Msg, WParam, LParam, 0};
        if (DispatchMenuMessage(State().ActivePopup, m)) return m.Result;
    } catch (const std::exception& e) {
        HandleControlException(nullptr, e);
        return 0;
    } catch (...) {
        return 0;
    }
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

}  // namespace

TOwnerDrawState OwnerDrawStateOf(UINT S) {
    TOwnerDrawState r = 0;
    const std::pair<UINT, TOwnerDrawStateItem> map[] = {
        {ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},       {ODS_DISABLED, odDisabled},
        {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},       {ODS_DEFAULT, odDefault},
        {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive},   {ODS_NOACCEL, odNoAccel},
        {ODS_NOFOCUSRECT, odNoFocusRect}, {ODS_COMBOBOXEDIT, odComboBoxEdit}};
    for (auto [bit, item] : map)
        if (S & bit) r |= OwnerDrawBit(item);
    return r;
}

TFont* ScreenMenuFont() {
    MenuState& s = State();
    if (!s.MenuFont) {
        s.MenuFont = std::make_unique<TFont>();
        NONCLIENTMETRICSW m{};
        m.cbSize = sizeof m;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0)) {
            const LOGFONTW& lf = m.lfMenuFont;
            if (lf.lfFaceName[0]) s.MenuFont->SetName(FromWide(lf.lfFaceName));
            if (lf.lfHeight) s.MenuFont->SetHeight(lf.lfHeight);
            s.MenuFont->SetCharset(lf.lfCharSet);
            TFontStyles st = 0;
            if (lf.lfWeight >= FW_BOLD) st |= FontStyleBit(fsBold);
            if (lf.lfItalic) st |= FontStyleBit(fsItalic);
            s.MenuFont->SetStyle(st);
        }
        s.MenuFont->SetColor(clMenuText);
    }
    return s.MenuFont.get();
}

bool MenuLoopRunning() { return State().LoopDepth > 0; }
TPopupMenu* ActivePopupMenu() { return State().ActivePopup; }

HWND PopupListWindow() {
    MenuState& s = State();
    if (!s.PopupWindow) {
        static const wchar_t* kClass = L"TPopupListWindow";
        WNDCLASSW wc{};
        wc.lpfnWndProc = PopupListProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);  // fails harmlessly when already registered
        s.PopupWindow = CreateWindowExW(WS_EX_TOOLWINDOW, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
        if (!s.PopupWindow) throw EMenuError("Cannot make the pop-up list window");
    }
    return s.PopupWindow;
}

void MenusFinalize() {
    MenuState& s = State();
    if (s.PopupWindow) DestroyWindow(s.PopupWindow);
    s.PopupWindow = nullptr;
    s.MeasureCanvas.reset();
    s.DrawCanvas.reset();
    if (s.MeasureDC) DeleteDC(s.MeasureDC);
    s.MeasureDC = nullptr;
    s.MenuFont.reset();
    s.BoldMenuFont.reset();
}

// ======================================================================
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FBitmap(std::make_unique<TBitmap>()) {
    FCommand = AllocCommand(this);
    FBitmap->OnChange = TNotifyEvent::Of<&TMenuItem::BitmapChanged>(this);
}

TMenuItem::~TMenuItem() {
    Destroying();
    Unmerge();
    std::vector<TMenuItem*>& dirty = State().Dirty;
    dirty.erase(std::remove(dirty.begin(), dirty.end(), this), dirty.end());
    if (FParent) FParent->Remove(this);
    while (!FItems.empty()) {
        TMenuItem* c = FItems.back();
        FItems.pop_back();
        c->FParent = nullptr;
        delete c;
    }
    ReleaseHandle();
    ReleaseCommand(FCommand);
    FBitmap->OnChange = nullptr;
}

void TMenuItem::ReleaseHandle() {
    if (!FHandle) return;
    // A menu's own handle may still be a window's menu bar.
    DestroyMenuHandle(FHandle);
    FHandle = nullptr;
}

void TMenuItem::Unmerge() {
    if (FMerged) {
        FMerged->FMergedInto = nullptr;
        FMerged = nullptr;
    }
    if (TMenuItem* into = FMergedInto) {
        // The bar we showed on takes our entries (and the pop-ups they hold) off first.
        FMergedInto = nullptr;
        into->FMerged = nullptr;
        into->RebuildHandle();
        if (into->FMenu) into->FMenu->MenuChanged(nullptr);
    }
}

TMenuItem* TMenuItem::FromCommand(UINT Command) {
    MenuState& s = State();
    return Command < s.Items.size() ? s.Items[Command] : nullptr;
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range (" + IntToStr(Index) + ")");
    return FItems[size_t(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item) return;
    if (Item->FParent) throw EMenuError("Menu inserted twice");
    for (TMenuItem* p = this; p; p = p->FParent)
        if (p == Item) throw EMenuError("A menu item cannot hold itself");
    if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range (" + IntToStr(Index) + ")");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    RebuildHandle();
    MenuChanged();
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    Item->FParent = nullptr;
    if (ComponentState() & csDestroying) return;
    RebuildHandle();
    MenuChanged();
}

void TMenuItem::Delete(int Index) { delete Items(Index); }

void TMenuItem::Clear() {
    while (!FItems.empty()) delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* i = this;
    while (i->FParent) i = i->FParent;
    return i->FMenu;
}

bool TMenuItem::IsTopLevel() const {
    return FParent && FParent->FMenu && dynamic_cast<TMainMenu*>(FParent->FMenu);
}

void TMenuItem::SetParentComponent(TComponent* AParent) {
    if (auto* m = dynamic_cast<TMenu*>(AParent))
        m->Items()->Add(this);
    else if (auto* i = dynamic_cast<TMenuItem*>(AParent))
        i->Add(this);
    else
        throw EMenuError(AParent ? AParent->Name() + " cannot hold menu items" : AnsiString("No menu to hold the item"));
}

void TMenuItem::Loaded() {
    TComponent::Loaded();
    MenuChanged();
}

HMENU TMenuItem::Handle() {
    if (!FHandle) {
        FHandle = (FMenu && FMenu->IsMenuBar()) ? CreateMenu() : CreatePopupMenu();
        if (!FHandle) throw EMenuError("Cannot make a menu");
        RebuildHandle();
    }
    return FHandle;
}

std::vector<TMenuItem*> TMenuItem::ShownItems() const {
    if (!FMerged) return FItems;
    // The merged menu's groups take the place of ours; the rest go in
    // between by group index, ours first among equals.
    const std::vector<TMenuItem*>& theirs = FMerged->FItems;
    auto replaced = [&theirs](const TMenuItem* Mine) {
        return std::any_of(theirs.begin(), theirs.end(),
                           [Mine](const TMenuItem* t) { return t->FGroupIndex == Mine->FGroupIndex; });
    };
    std::vector<TMenuItem*> out;
    size_t next = 0;
    for (TMenuItem* mine : FItems) {
        if (replaced(mine)) continue;
        while (next < theirs.size() && theirs[next]->FGroupIndex < mine->FGroupIndex) out.push_back(theirs[next++]);
        out.push_back(mine);
    }
    out.insert(out.end(), theirs.begin() + std::ptrdiff_t(next), theirs.end());
    return out;
}

void TMenuItem::OwnEntries(int& First, int& Count) const {
    // Ours carry their command as identifier and data; the system's do not.
    First = -1;
    Count = 0;
    const int n = GetMenuItemCount(FHandle);
    int leading = 0;
    for (int pos = 0; pos < n; ++pos) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(FHandle, UINT(pos), TRUE, &info)) continue;
        if (info.dwItemData != 0 && info.dwItemData == info.wID) {
            if (First < 0) First = pos;
            ++Count;
        } else if (First < 0 && info.hSubMenu) {
            ++leading;  // a window menu before the items
        }
    }
    if (First < 0) First = leading;
}

void TMenuItem::RebuildHandle() {
    // A merged menu's top level shows on the bar it is merged into.
    if (FMergedInto) FMergedInto->RebuildHandle();
    if (!FHandle || (ComponentState() & csDestroying)) return;
    MenuState& s = State();
    if (s.LoopDepth > 0) {
        UpdateHandleInPlace();
        if (std::find(s.Dirty.begin(), s.Dirty.end(), this) == s.Dirty.end()) s.Dirty.push_back(this);
        return;
    }
    int first = 0, count = 0;
    OwnEntries(first, count);
    for (int i = count; i > 0; --i) RemoveMenu(FHandle, UINT(first), MF_BYPOSITION);
    UINT pos = UINT(first);
    for (TMenuItem* c : ShownItems()) {
        if (!c->FVisible) continue;
        MENUITEMINFOW info{};
        std::wstring text;
        c->FillItemInfo(info, text);
        InsertMenuItemW(FHandle, pos++, TRUE, &info);
    }
}

void TMenuItem::UpdateHandleInPlace() {
    // Entries are changed where they stand and new ones added after them;
    // none is taken away while the menu may show (the loop keeps the index
    // of its selected entry): those left over become grayed lines.
    int first = 0, had = 0;
    OwnEntries(first, had);
    int pos = 0;
    for (TMenuItem* c : ShownItems()) {
        if (!c->FVisible) continue;
        MENUITEMINFOW info{};
        std::wstring text;
        c->FillItemInfo(info, text);
        if (pos < had)
            SetMenuItemInfoW(FHandle, UINT(first + pos), TRUE, &info);
        else
            InsertMenuItemW(FHandle, UINT(first + pos), TRUE, &info);
        ++pos;
    }
    for (; pos < had; ++pos) {
        MENUITEMINFOW gap{};
        gap.cbSize = sizeof gap;
        gap.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
        gap.fType = MFT_SEPARATOR;
        gap.fState = MFS_GRAYED;
        gap.wID = kGapCommand;
        gap.dwItemData = kGapCommand;
        SetMenuItemInfoW(FHandle, UINT(first + pos), TRUE, &gap);
    }
}

void TMenuItem::RebuildAfterMenuLoop() {
    std::vector<TMenuItem*> dirty;
    dirty.swap(State().Dirty);
    for (TMenuItem* i : dirty) {
        i->RebuildHandle();
        if (i->FMenu) i->FMenu->MenuChanged(nullptr);
    }
}

void TMenuItem::FillItemInfo(MENUITEMINFOW& Info, std::wstring& Text) {
    TMenu* menu = GetParentMenu();
    const bool ownerDraw = menu && menu->OwnerDraw();
    Info.cbSize = sizeof Info;
    Info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    Info.fType = 0;
    if (IsLine()) Info.fType |= MFT_SEPARATOR;
    if (ownerDraw) {
        Info.fType |= MFT_OWNERDRAW;
    } else if (!IsLine()) {
        Text = ToWide(FCaption);
        if (FShortCut != scNone) Text += L"\t" + ToWide(ShortCutToText(FShortCut));
        Info.fMask |= MIIM_STRING;
        Info.dwTypeData = Text.data();
        Info.cch = UINT(Text.size());
        SIZE glyph;
        if (GlyphSize(glyph)) {
            Info.fMask |= MIIM_BITMAP;
            Info.hbmpItem = HBMMENU_CALLBACK;
        }
    }
    if (FRadioItem) Info.fType |= MFT_RADIOCHECK;
    if (FBreak == mbBreak) Info.fType |= MFT_MENUBREAK;
    if (FBreak == mbBarBreak) Info.fType |= MFT_MENUBARBREAK;
    if (menu && menu->BiDiMode() == bdRightToLeft) Info.fType |= MFT_RIGHTORDER;
    Info.fState = (FChecked ? MFS_CHECKED : 0) | (FEnabled ? 0 : MFS_GRAYED) | (FDefault ? MFS_DEFAULT : 0);
    Info.wID = FCommand;
    Info.dwItemData = FCommand;
    Info.hSubMenu = FItems.empty() ? nullptr : Handle();
}

void TMenuItem::MenuChanged() {
    if (ComponentState() & (csLoading | csDestroying)) return;
    if (!FParent) return;
    FParent->RebuildHandle();
    if (FParent->FMenu) FParent->FMenu->MenuChanged(this);
}

void TMenuItem::BitmapChanged(TObject*) { MenuChanged(); }

void TMenuItem::SetCaption(const AnsiString& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    MenuChanged();
}

void TMenuItem::TurnSiblingsOff() {
    if (!FParent || !FRadioItem) return;
    for (TMenuItem* s : FParent->FItems)
        if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex && s->FChecked) {
            s->FChecked = false;
            s->MenuChanged();
        }
}

void TMenuItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (Value) TurnSiblingsOff();
    MenuChanged();
}

void TMenuItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    MenuChanged();
}

void TMenuItem::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    MenuChanged();
}

void TMenuItem::SetDefault(bool Value) {
    if (FDefault == Value) return;
    // One default item a menu.
    if (Value && FParent)
        for (TMenuItem* s : FParent->FItems)
            if (s != this && s->FDefault) {
                s->FDefault = false;
                s->MenuChanged();
            }
    FDefault = Value;
    MenuChanged();
}

void TMenuItem::SetRadioItem(bool Value) {
    if (FRadioItem == Value) return;
    FRadioItem = Value;
    if (FChecked) TurnSiblingsOff();
    MenuChanged();
}

void TMenuItem::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    if (FChecked) TurnSiblingsOff();
}

void TMenuItem::SetBreak(TMenuBreak Value) {
    if (FBreak == Value) return;
    FBreak = Value;
    MenuChanged();
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (FShortCut == Value) return;
    FShortCut = Value;
    MenuChanged();
}

void TMenuItem::SetBitmap(TBitmap* Value) { FBitmap->Assign(Value); }

void TMenuItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    MenuChanged();
}

void TMenuItem::Click() {
    if (FAutoCheck) SetChecked(!FChecked || FRadioItem);
    if (OnClick) OnClick(this);
}

bool TMenuItem::GlyphSize(SIZE& Size) const {
    if (!FBitmap->Empty()) {
        Size = {FBitmap->Width(), FBitmap->Height()};
        return true;
    }
    TMenu* menu = GetParentMenu();
    if (menu && menu->Images() && FImageIndex >= 0) {
        Size = {menu->Images()->Width(), menu->Images()->Height()};
        return true;
    }
    return false;
}

void TMenuItem::DrawGlyph(TCanvas* ACanvas, int X, int Y, bool Enabled) {
    if (!FBitmap->Empty()) {
        ACanvas->Draw(X, Y, FBitmap.get());
        return;
    }
    TMenu* menu = GetParentMenu();
    if (menu && menu->Images() && FImageIndex >= 0) menu->Images()->Draw(ACanvas, X, Y, FImageIndex, Enabled);
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
    if (OnMeasureItem) {
        OnMeasureItem(this, ACanvas, Width, Height);
        return;
    }
    DefaultMeasure(ACanvas, Width, Height, IsTopLevel());
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel) {
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, ACanvas, ARect, State);
        return;
    }
    if (OnDrawItem) {
        OnDrawItem(this, ACanvas, ARect, (State & OwnerDrawBit(odSelected)) != 0);
        return;
    }
    DefaultDraw(ACanvas, ARect, State, TopLevel);
}

namespace {
constexpr int kGlyphColumn = 16, kItemPad = 4, kShortCutGap = 16;
}

void TMenuItem::DefaultMeasure(TCanvas* ACanvas, int& Width, int& Height, bool TopLevel) {
    if (IsLine()) {
        Width = 0;
        Height = GetSystemMetrics(SM_CYMENU) / 2;
        return;
    }
    const TSize text = ACanvas->TextExtent(StripHotkey(FCaption));
    SIZE glyph{0, 0};
    const bool hasGlyph = GlyphSize(glyph);
    if (TopLevel) {
        Width = text.cx + 2 * kItemPad + (hasGlyph ? int(glyph.cx) + kItemPad : 0);
        Height = GetSystemMetrics(SM_CYMENU) - 1;
        return;
    }
    Width = std::max<int>(kGlyphColumn, int(glyph.cx)) + 2 * kItemPad + text.cx + kItemPad;
    if (FShortCut != scNone) Width += kShortCutGap + ACanvas->TextWidth(ShortCutToText(FShortCut));
    Height = std::max<int>({text.cy + kItemPad, int(glyph.cy) + 2, GetSystemMetrics(SM_CYMENU)});
}

void TMenuItem::DefaultDraw(TCanvas* C, const TRect& R, TOwnerDrawState S, bool TopLevel) {
    const bool selected = (S & OwnerDrawBit(odSelected)) != 0;
    const bool enabled = !(S & (OwnerDrawBit(odDisabled) | OwnerDrawBit(odGrayed)));
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(selected && !TopLevel ? clHighlight : TopLevel ? clMenuBar : clMenu);
    C->FillRect(R);
    if (IsLine()) {
        RECT line{R.Left + kItemPad, R.Top + R.Height() / 2 - 1, R.Right - kItemPad, R.Top + R.Height() / 2 + 1};
        DrawEdge(C->Handle(), &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    SIZE glyph{0, 0};
    int x = R.Left + kItemPad;
    if (GlyphSize(glyph)) {
        DrawGlyph(C, x, R.Top + (R.Height() - int(glyph.cy)) / 2, enabled);
        x += int(glyph.cx) + kItemPad;
    } else if (FChecked && !TopLevel) {
        RECT mark{R.Left, R.Top, R.Left + kGlyphColumn + kItemPad, R.Bottom};
        RECT cell{0, 0, kGlyphColumn, kGlyphColumn};
        HDC dc = CreateCompatibleDC(C->Handle());
        BitmapHandle bmp(CreateBitmap(cell.right, cell.bottom, 1, 1, nullptr));
        {
            SelectGuard sel(dc, bmp.Get());
            DrawFrameControl(dc, &cell, DFC_MENU, FRadioItem ? DFCS_MENUBULLET : DFCS_MENUCHECK);
            SetTextColor(C->Handle(), ColorToRGB(selected ? clHighlightText : clMenuText));
            SetBkColor(C->Handle(), ColorToRGB(selected ? clHighlight : clMenu));
            BitBlt(C->Handle(), mark.left + (mark.right - mark.left - cell.right) / 2,
                   mark.top + (mark.bottom - mark.top - cell.bottom) / 2, cell.right, cell.bottom, dc, 0, 0, SRCCOPY);
        }
        DeleteDC(dc);
    }
    if (!TopLevel) x = std::max(x, R.Left + kGlyphColumn + 2 * kItemPad);
    C->Brush()->SetStyle(bsClear);
    TColor textColor = !enabled ? clGrayText : (selected && !TopLevel) ? clHighlightText : clMenuText;
    C->Font()->SetColor(textColor);
    RECT tr{x, R.Top, R.Right - kItemPad, R.Bottom};
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | (TopLevel ? DT_CENTER : DT_LEFT) |
                       ((S & OwnerDrawBit(odNoAccel)) ? DT_HIDEPREFIX : 0);
    const std::wstring caption = ToWide(FCaption);
    C->TextExtent("");  // selects the canvas's font and its colour into the DC
    SetBkMode(C->Handle(), TRANSPARENT);
    DrawTextW(C->Handle(), caption.c_str(), int(caption.size()), &tr, flags);
    if (FShortCut != scNone && !TopLevel) {
        const std::wstring sc = ToWide(ShortCutToText(FShortCut));
        DrawTextW(C->Handle(), sc.c_str(), int(sc.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    SetBkColor(C->Handle(), ColorToRGB(C->Brush()->Color()));
    SetTextColor(C->Handle(), ColorToRGB(textColor));
}

// ======================================================================
// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    Destroying();
    FItems.reset();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) SetImages(nullptr);
}

void TMenu::Loaded() {
    TComponent::Loaded();
    MenuChanged(nullptr);
}

void TMenu::SetOwnerDraw(bool Value) {
    if (FOwnerDraw == Value) return;
    FOwnerDraw = Value;
    // Every handle made so far shows its items in the other way now.
    std::vector<TMenuItem*> stack{FItems.get()};
    while (!stack.empty()) {
        TMenuItem* i = stack.back();
        stack.pop_back();
        i->RebuildHandle();
        for (TMenuItem* c : i->FItems) stack.push_back(c);
    }
    MenuChanged(nullptr);
}

void TMenu::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    if (ComponentState() & csDestroying) return;
    std::vector<TMenuItem*> stack{FItems.get()};
    while (!stack.empty()) {
        TMenuItem* i = stack.back();
        stack.pop_back();
        i->RebuildHandle();
        for (TMenuItem* c : i->FItems) stack.push_back(c);
    }
    MenuChanged(nullptr);
}

void TMenu::SetBiDiMode(TBiDiMode Value) {
    if (FBiDiMode == Value) return;
    FBiDiMode = Value;
    FItems->RebuildHandle();
    MenuChanged(nullptr);
}

void TMenu::SetWindowHandle(HWND Value) { FWindowHandle = Value; }

void TMenu::MenuChanged(TMenuItem*) {}

TMenuItem* TMenu::FindItemByCommand(UINT Command) const {
    TMenuItem* i = TMenuItem::FromCommand(Command);
    if (!i) return nullptr;
    const TMenu* m = i->GetParentMenu();
    return m && (m == this || (FItems->FMerged && m == FItems->FMerged->FMenu)) ? i : nullptr;
}

TMenuItem* TMenu::FindItemByHandle(HMENU Menu) const {
    if (!Menu) return nullptr;
    std::vector<TMenuItem*> stack{FItems.get()};
    if (FItems->FMerged) stack.push_back(FItems->FMerged);
    while (!stack.empty()) {
        TMenuItem* i = stack.back();
        stack.pop_back();
        if (i->FHandle == Menu) return i;
        for (TMenuItem* c : i->FItems) stack.push_back(c);
    }
    return nullptr;
}

bool TMenu::DispatchCommand(UINT Command) {
    TMenuItem* i = FindItemByCommand(Command);
    if (!i || !i->Enabled() || !i->Visible()) return false;
    i->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU Menu) {
    TMenuItem* i = FindItemByHandle(Menu);
    if (!i) return false;
    if (i != FItems.get()) i->Click();
    return true;
}

bool TMenu::IsShortCut(Word Key, TShiftState Shift) {
    if (Key == 0 || Key > 0xFF) return false;
    TShortCut sc = TShortCut(Key);
    if (Shift & ShiftBit(ssShift)) sc |= scShift;
    if (Shift & ShiftBit(ssCtrl)) sc |= scCtrl;
    if (Shift & ShiftBit(ssAlt)) sc |= scAlt;
    std::vector<TMenuItem*> stack = FItems->ShownItems();
    while (!stack.empty()) {
        TMenuItem* i = stack.back();
        stack.pop_back();
        if (!i->Visible() || !i->Enabled()) continue;
        if (i->ShortCut() == sc && i->Count() == 0) {
            i->Click();
            return true;
        }
        for (TMenuItem* c : i->FItems) stack.push_back(c);
    }
    return false;
}

LRESULT TMenu::ProcessMenuChar(HMENU Menu, char Ch) {
    TMenuItem* parent = FindItemByHandle(Menu);
    if (!parent || !Ch) return 0;
    const char key = char(UpCase1251(static_cast<unsigned char>(Ch)));
    for (TMenuItem* c : parent->ShownItems()) {
        if (!c->Visible() || !c->Enabled() || CaptionHotkey(c->Caption()) != key) continue;
        // The system answers with a position in the handle, which may hold
        // entries of its own before ours (a maximised MDI child's system
        // menu on its frame's bar): the entry is found by its number.
        const int n = GetMenuItemCount(Menu);
        for (int pos = 0; pos < n; ++pos) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID;
            if (GetMenuItemInfoW(Menu, UINT(pos), TRUE, &info) && info.wID == c->FCommand)
                return MAKELRESULT(WORD(pos), MNC_EXECUTE);
        }
        return 0;
    }
    return 0;
}

// ======================================================================
// TMainMenu, TPopupMenu

TMainMenu::~TMainMenu() {
    // The bar goes from its window first: a window destroys the menu it shows.
    HWND w = WindowHandle();
    if (w && IsWindow(w) && HandleAllocated() && GetMenu(w) == Handle()) {
        ::SetMenu(w, nullptr);
        DrawMenuBar(w);
    }
}

void TMainMenu::SetAutoMerge(bool Value) {
    if (FAutoMerge == Value) return;
    FAutoMerge = Value;
    // The form shows the bar, or no longer does.
    if (WindowHandle()) SendMessageW(WindowHandle(), CM_MENUCHANGED, 0, 0);
}

void TMainMenu::Merge(TMainMenu* Menu) {
    TMenuItem* root = Items();
    TMenuItem* theirs = Menu && Menu != this ? Menu->Items() : nullptr;
    if (root->FMerged == theirs) return;
    if (root->FMerged) root->FMerged->FMergedInto = nullptr;
    if (theirs) {
        // A menu shows on one bar at a time.
        if (TMenuItem* other = theirs->FMergedInto) {
            theirs->FMergedInto = nullptr;
            if (auto* bar = dynamic_cast<TMainMenu*>(other->FMenu)) bar->Merge(nullptr);
        }
        theirs->FMergedInto = root;
    }
    root->FMerged = theirs;
    root->RebuildHandle();
    MenuChanged(nullptr);
}

void TMainMenu::Unmerge(TMainMenu* Menu) {
    if (Menu && MergedMenu() == Menu) Merge(nullptr);
}

TMainMenu* TMainMenu::MergedMenu() const {
    return Items()->FMerged ? dynamic_cast<TMainMenu*>(Items()->FMerged->FMenu) : nullptr;
}

TMainMenu* TMainMenu::MergedInto() const {
    return Items()->FMergedInto ? dynamic_cast<TMainMenu*>(Items()->FMergedInto->FMenu) : nullptr;
}

void TMainMenu::MenuChanged(TMenuItem* Item) {
    // A merged menu's changes show on the bar it is merged into.
    if (TMenuItem* into = Items()->FMergedInto) {
        if (auto* bar = dynamic_cast<TMainMenu*>(into->FMenu)) bar->MenuChanged(Item);
        return;
    }
    HWND w = WindowHandle();
    if (!w || !HandleAllocated() || GetMenu(w) != Handle()) return;
    // The window hears of it first: whoever paints the bar paints it anew.
    SendMessageW(w, CM_MENUCHANGED, 0, 0);
    DrawMenuBar(w);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
    if (State().ActivePopup == this) {
        // Freed while shown (by a handler run from the menu loop): the loop
        // is ended, and nothing of this menu is touched after.
        State().ActivePopup = nullptr;
        EndMenu();
    }
}

void TPopupMenu::Popup(int X, int Y) {
    if (OnPopup) OnPopup(this);
    HWND w = PopupListWindow();
    SetWindowHandle(w);
    UINT flags = TPM_RIGHTBUTTON | TPM_RETURNCMD;
    flags |= FAlignment == paRight ? TPM_RIGHTALIGN : FAlignment == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    HMENU h = Handle();
    MenuState& s = State();
    TPopupMenu* outer = s.ActivePopup;
    s.ActivePopup = this;
    // The menu may be freed by a handler while it shows; the command is
    // looked up again afterwards, not through this object.
    const UINT cmd = UINT(TrackPopupMenu(h, flags, X, Y, 0, w, nullptr));
    const bool alive = s.ActivePopup == this;
    s.ActivePopup = outer;
    if (!alive || !cmd) return;
    DispatchCommand(cmd);
}

// ======================================================================
// Routing

bool DispatchMenuMessage(TMenu* Menu, TMessage& M) {
    switch (M.Msg) {
    case WM_ENTERMENULOOP:
        EnterMenuLoop();
        return false;
    case WM_EXITMENULOOP:
        ExitMenuLoop();
        return false;
    case WM_COMMAND:
        if (!Menu || HIWORD(M.WParam) != 0 || M.LParam != 0) return false;
        if (!Menu->DispatchCommand(LOWORD(M.WParam))) return false;
        M.Result = 0;
        return true;
    case WM_INITMENUPOPUP:
        if (!Menu || HIWORD(M.LParam)) return false;  // the window menu is the system's
        if (!Menu->DispatchPopup(reinterpret_cast<HMENU>(M.WParam))) return false;
        M.Result = 0;
        return true;
    case WM_MENUCHAR: {
        if (!Menu || !Menu->OwnerDraw()) return false;
        const int b = UnicodeToCp1251(char32_t(LOWORD(M.WParam)));
        const LRESULT r = b > 0 ? Menu->ProcessMenuChar(reinterpret_cast<HMENU>(M.LParam), char(b)) : 0;
        if (!r) return false;
        M.Result = r;
        return true;
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
        if (!Menu || !mis || mis->CtlType != ODT_MENU) return false;
        TMenuItem* item = Menu->FindItemByCommand(UINT(mis->itemData));
        if (!item) return false;
        int w = int(mis->itemWidth), h = int(mis->itemHeight);
        // A merged item is drawn the way its own menu draws.
        if (item->GetParentMenu()->OwnerDraw()) {
            TCanvas* c = MeasureCanvas();
            UseFont(c, MenuFontFor(item->Default()));
            item->MeasureItem(c, w, h);
        } else {
            // A glyph beside a plain item: the system asks its size only.
            SIZE s{0, 0};
            item->GlyphSize(s);
            w = int(s.cx);
            h = int(s.cy);
        }
        mis->itemWidth = UINT(std::max(w, 0));
        mis->itemHeight = UINT(std::max(h, 0));
        M.Result = 1;
        return true;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
        if (!Menu || !dis || dis->CtlType != ODT_MENU) return false;
        TMenuItem* item = Menu->FindItemByCommand(UINT(dis->itemData));
        if (!item) return false;
        // The shared canvas, unless a handler draws a menu from inside a draw.
        std::unique_ptr<TCanvas>& shared = State().DrawCanvas;
        if (!shared) shared = std::make_unique<TCanvas>();
        std::unique_ptr<TCanvas> own;
        TCanvas* canvas = shared->HandleAllocated() ? (own = std::make_unique<TCanvas>()).get() : shared.get();
        // The DC keeps the colours the item leaves: the system draws a
        // sub-menu's arrow after the item, in the DC's text and back colours.
        TCanvasDCScope scope(canvas, dis->hDC);
        const TRect r{dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom};
        const TOwnerDrawState state = OwnerDrawStateOf(dis->itemState);
        if (item->GetParentMenu()->OwnerDraw()) {
            UseFont(canvas, MenuFontFor((state & OwnerDrawBit(odDefault)) || item->Default()));
            canvas->Brush()->SetStyle(bsSolid);
            item->AdvancedDrawItem(canvas, r, state, item->IsTopLevel());
        } else {
            item->DrawGlyph(canvas, r.Left, r.Top, item->Enabled());
        }
        M.Result = 1;
        return true;
    }
    default:
        return false;
    }
}

// ======================================================================
// Registration

void RegisterMenusClasses() {
    const TEnumInfo& menuBreak =
        RegisterEnum("TMenuBreak", {{"mbNone", mbNone}, {"mbBreak", mbBreak}, {"mbBarBreak", mbBarBreak}});
    const TEnumInfo& popupAlignment =
        RegisterEnum("TPopupAlignment", {{"paLeft", paLeft}, {"paRight", paRight}, {"paCenter", paCenter}});
    const TEnumInfo* biDi = FindEnum("TBiDiMode");
    RegisterComponentClass<TMenuItem>("TMenuItem", "TComponent")
        .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
        .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
        .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
        .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
        .Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
        .Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
        .Bool("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck)
        .Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex)
        .Enum("Break", &TMenuItem::Break, &TMenuItem::SetBreak, menuBreak)
        .Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut)
        .Object("Bitmap", &TMenuItem::Bitmap, "TBitmap")
        .Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex)
        .Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
        .Ignore("HelpContext")
        .Ignore("SubMenuImages")
        .Event("OnClick", &TMenuItem::OnClick)
        .Event("OnMeasureItem", &TMenuItem::OnMeasureItem)
        .Event("OnDrawItem", &TMenuItem::OnDrawItem)
        .Event("OnAdvancedDrawItem", &TMenuItem::OnAdvancedDrawItem);
    RegisterPersistentClass<TMenu>("TMenu", "TComponent")
        .Bool("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw)
        .Ref("Images", &TMenu::SetImages, "TCustomImageList")
        .Enum("BiDiMode", &TMenu::BiDiMode, &TMenu::SetBiDiMode, *biDi)
        .Ignore("ParentBiDiMode")
        .Ignore("AutoHotkeys")
        .Ignore("AutoLineReduction");
    RegisterComponentClass<TMainMenu>("TMainMenu", "TMenu")
        .Bool("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge);
    RegisterComponentClass<TPopupMenu>("TPopupMenu", "TMenu")
        .Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, popupAlignment)
        .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup)
        .Ignore("MenuAnimation")
        .Ignore("TrackButton")
        .Event("OnPopup", &TPopupMenu::OnPopup);
}
