#include "Tabs.h"

#include <commctrl.h>

#include <algorithm>

#include "ImgList.h"
#include "TypeInfo.h"
#include "WinText.h"

namespace {

void NeedCommonControls(DWORD Classes) {
    INITCOMMONCONTROLSEX icc{sizeof icc, Classes};
    InitCommonControlsEx(&icc);
}

}  // namespace

// ======================================================================
// TCustomTabControl

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 289;
    FHeight = 193;
    FColor = clBtnFace;
    FControlStyle |= csAcceptsControls;
    FControlStyle &= ~csSetCaption;
    SetTabStop(true);
}

TCustomTabControl::~TCustomTabControl() = default;

void TCustomTabControl::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    NeedCommonControls(ICC_TAB_CLASSES);
    P.WinClassName = WC_TABCONTROLW;
    P.SystemClass = true;
    P.Caption.clear();
    static const DWORD styles[] = {TCS_TABS, TCS_BUTTONS, TCS_BUTTONS | TCS_FLATBUTTONS};
    P.Style |= styles[FStyle];
    switch (FTabPosition) {
    case tpBottom: P.Style |= TCS_BOTTOM; break;
    case tpLeft: P.Style |= TCS_VERTICAL; break;
    case tpRight: P.Style |= TCS_VERTICAL | TCS_RIGHT; break;
    default: break;
    }
    // Tabs at a side stand in rows of their own.
    if (FMultiLine || FTabPosition == tpLeft || FTabPosition == tpRight) P.Style |= TCS_MULTILINE;
}

void TCustomTabControl::CreateWnd() {
    TWinControl::CreateWnd();
    if (FImages) SendMessageW(FHandle, TCM_SETIMAGELIST, 0, LPARAM(FImages->Handle()));
    UpdateTabs();
}

void TCustomTabControl::UpdateTabs() {
    if (!FHandle || IsLoading()) return;
    SendMessageW(FHandle, TCM_DELETEALLITEMS, 0, 0);
    const int n = TabCount();
    for (int i = 0; i < n; ++i) {
        std::wstring text = ToWide(TabCaption(i));
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text.data();
        item.iImage = TabImage(i);
        SendMessageW(FHandle, TCM_INSERTITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    if (FTabIndex >= n) FTabIndex = n - 1;
    SendMessageW(FHandle, TCM_SETCURSEL, WPARAM(FTabIndex), 0);
    Realign();
}

void TCustomTabControl::SetTabIndex(int Value) {
    if (Value < -1 || Value >= TabCount()) Value = -1;
    if (FTabIndex == Value) return;
    FTabIndex = Value;
    if (FHandle) SendMessageW(FHandle, TCM_SETCURSEL, WPARAM(Value), 0);
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
    if (FTabPosition == Value) return;
    FTabPosition = Value;
    RecreateWnd();
}

void TCustomTabControl::SetStyle(TTabStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool Value) {
    if (FMultiLine == Value) return;
    FMultiLine = Value;
    RecreateWnd();
}

void TCustomTabControl::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    if (FHandle) SendMessageW(FHandle, TCM_SETIMAGELIST, 0, LPARAM(Value ? Value->Handle() : nullptr));
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) SetImages(nullptr);
}

TRect TCustomTabControl::DisplayRect() const {
    TRect c = ClientRect();
    if (!FHandle) return c;
    RECT r{c.Left, c.Top, c.Right, c.Bottom};
    SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return Rect(r.left, r.top, std::max(r.left, r.right), std::max(r.top, r.bottom));
}

void TCustomTabControl::AlignControls(TControl* AControl, TRect& R) {
    R = DisplayRect();
    TWinControl::AlignControls(AControl, R);
}

bool TCustomTabControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change() {
    if (OnChange) OnChange(this);
}

void TCustomTabControl::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY) {
        switch (reinterpret_cast<NMHDR*>(m.LParam)->code) {
        case TCN_SELCHANGING: m.Result = CanChange() ? FALSE : TRUE; return;
        case TCN_SELCHANGE:
            FTabIndex = int(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0));
            Change();
            m.Result = 0;
            return;
        default: break;
        }
    }
    TWinControl::WndProc(m);
    if (m.Msg == WM_SIZE) Realign();
}

// ======================================================================
// TTabControl

TTabControl::TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner), FTabs(new TStringList()) {
    FTabs->OnChange = TNotifyEvent::Of<&TTabControl::TabsChanged>(this);
}

TTabControl::~TTabControl() { FTabs->OnChange = nullptr; }

void TTabControl::TabsChanged(TObject*) { UpdateTabs(); }

int TTabControl::TabCount() const { return FTabs->Count(); }

AnsiString TTabControl::TabCaption(int Index) const { return FTabs->Strings(Index); }

// ======================================================================
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clBtnFace;
    FControlStyle |= csAcceptsControls;
    FVisible = false;
}

TPageControl* TTabSheet::PageControl() const { return dynamic_cast<TPageControl*>(FParent); }

int TTabSheet::PageIndex() const {
    TPageControl* pc = PageControl();
    if (!pc) return -1;
    auto it = std::find(pc->FPages.begin(), pc->FPages.end(), this);
    return it == pc->FPages.end() ? -1 : int(it - pc->FPages.begin());
}

int TTabSheet::TabIndex() const {
    TPageControl* pc = PageControl();
    if (!pc || !FTabVisible) return -1;
    int tab = 0;
    for (TTabSheet* p : pc->FPages) {
        if (p == this) return tab;
        if (p->FTabVisible) ++tab;
    }
    return -1;
}

void TTabSheet::TabChanged() {
    if (TPageControl* pc = PageControl()) pc->PagesChanged();
}

void TTabSheet::SetTabVisible(bool Value) {
    if (FTabVisible == Value) return;
    FTabVisible = Value;
    TabChanged();
}

void TTabSheet::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    TabChanged();
}

void TTabSheet::CMTextChanged(TMessage& m) {
    TWinControl::CMTextChanged(m);
    TabChanged();
}

// ======================================================================
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

void TPageControl::InsertControl(TControl* AControl) {
    auto* page = dynamic_cast<TTabSheet*>(AControl);
    if (page) FPages.push_back(page);
    TCustomTabControl::InsertControl(AControl);
    if (page) {
        PagesChanged();
        if (!FActivePage && !IsLoading()) SetActivePage(page);
    }
}

void TPageControl::RemoveControl(TControl* AControl) {
    auto it = std::find(FPages.begin(), FPages.end(), AControl);
    const bool page = it != FPages.end();
    if (page) FPages.erase(it);
    if (static_cast<TControl*>(FActivePage) == AControl) FActivePage = nullptr;
    TCustomTabControl::RemoveControl(AControl);
    if (page && !(ComponentState() & csDestroying)) PagesChanged();
}

void TPageControl::Loaded() {
    TCustomTabControl::Loaded();
    TTabSheet* page = FActivePage;
    if (!page && !FPages.empty()) page = FPages.front();
    FActivePage = nullptr;
    SetActivePage(page);
    PagesChanged();
}

void TPageControl::PagesChanged() {
    FTabIndex = FActivePage ? FActivePage->TabIndex() : -1;
    UpdateTabs();
}

int TPageControl::TabCount() const {
    return int(std::count_if(FPages.begin(), FPages.end(), [](TTabSheet* p) { return p->TabVisible(); }));
}

TTabSheet* TPageControl::PageOfTab(int Index) const {
    for (TTabSheet* p : FPages)
        if (p->TabVisible() && Index-- == 0) return p;
    return nullptr;
}

AnsiString TPageControl::TabCaption(int Index) const {
    TTabSheet* p = PageOfTab(Index);
    return p ? p->Caption() : AnsiString();
}

int TPageControl::TabImage(int Index) const {
    TTabSheet* p = PageOfTab(Index);
    return p ? p->ImageIndex() : -1;
}

void TPageControl::SetActivePage(TTabSheet* Value) {
    if (Value && Value->PageControl() != this) return;
    if (IsLoading()) {
        FActivePage = Value;
        return;
    }
    if (FActivePage == Value) return;
    TTabSheet* old = FActivePage;
    FActivePage = Value;
    if (Value) {
        Realign();
        Value->SetVisible(true);
        Value->BringToFront();
    }
    if (old) old->SetVisible(false);
    SetTabIndex(Value ? Value->TabIndex() : -1);
}

void TPageControl::Change() {
    SetActivePage(PageOfTab(FTabIndex));
    TCustomTabControl::Change();
}

void TPageControl::AlignControls(TControl* AControl, TRect& R) {
    TCustomTabControl::AlignControls(AControl, R);
    const TRect d = DisplayRect();
    for (TTabSheet* p : FPages) p->SetBounds(d.Left, d.Top, d.Width(), d.Height());
}

// ======================================================================
// TUpDown

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 17;
    FHeight = 25;
    FControlStyle &= ~(csSetCaption | csClickEvents | csCaptureMouse | csDoubleClicks);
}

void TUpDown::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    NeedCommonControls(ICC_UPDOWN_CLASS);
    P.WinClassName = UPDOWN_CLASSW;
    P.SystemClass = true;
    P.Caption.clear();
    P.Style |= UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
    if (FOrientation == udHorizontal) P.Style |= UDS_HORZ;
    if (FWrap) P.Style |= UDS_WRAP;
}

void TUpDown::CreateWnd() {
    TWinControl::CreateWnd();
    // The buddy first: setting the position then shows it in the buddy.
    if (FAssociate) SendMessageW(FHandle, UDM_SETBUDDY, WPARAM(FAssociate->Handle()), 0);
    UpdateRange();
}

void TUpDown::UpdateRange() {
    if (!FHandle) return;
    SendMessageW(FHandle, UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
    UDACCEL accel{0, UINT(FIncrement)};
    SendMessageW(FHandle, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    SendMessageW(FHandle, UDM_SETPOS32, 0, LPARAM(FPosition));
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAssociate) SetAssociate(nullptr);
}

void TUpDown::SetAssociate(TWinControl* Value) {
    if (FAssociate == Value) return;
    if (FAssociate) FAssociate->RemoveFreeNotification(this);
    FAssociate = Value;
    if (Value) Value->FreeNotification(this);
    if (!FHandle) return;
    // A buddy that cannot have a window yet is given to the window with ours.
    const bool placed = Value && (Value->HandleAllocated() || Value->Parent() || Value->ParentWindow());
    SendMessageW(FHandle, UDM_SETBUDDY, WPARAM(placed ? Value->Handle() : nullptr), 0);
    UpdateRange();
}

int TUpDown::Position() const {
    if (!FHandle) return FPosition;
    BOOL failed = FALSE;
    const int p = int(SendMessageW(FHandle, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    return failed ? FPosition : p;
}

void TUpDown::SetMin(int Value) {
    if (FMin == Value) return;
    FMin = Value;
    UpdateRange();
}

void TUpDown::SetMax(int Value) {
    if (FMax == Value) return;
    FMax = Value;
    UpdateRange();
}

void TUpDown::SetPosition(int Value) {
    Value = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
    FPosition = Value;
    if (FHandle) SendMessageW(FHandle, UDM_SETPOS32, 0, LPARAM(Value));
}

void TUpDown::SetIncrement(int Value) {
    if (FIncrement == Value) return;
    FIncrement = Value;
    UpdateRange();
}

void TUpDown::SetOrientation(TUDOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    if (!IsLoading()) SetBounds(FLeft, FTop, FHeight, FWidth);
    RecreateWnd();
}

void TUpDown::SetWrap(bool Value) {
    if (FWrap == Value) return;
    FWrap = Value;
    RecreateWnd();
}

void TUpDown::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_NOTIFY:
        if (reinterpret_cast<NMHDR*>(m.LParam)->code == UDN_DELTAPOS) {
            // The up (right) button asks for a larger position unless the range runs backwards.
            const int delta = reinterpret_cast<NMUPDOWN*>(m.LParam)->iDelta;
            FLastButton = (delta > 0) == (FMin <= FMax) ? btNext : btPrev;
            m.Result = 0;
            return;
        }
        break;
    case CN_HSCROLL:
    case CN_VSCROLL:
        if (LOWORD(m.WParam) == SB_THUMBPOSITION) {
            FPosition = Position();
            if (OnClick) OnClick(this, FLastButton);
        }
        m.Result = 0;
        return;
    default: break;
    }
    TWinControl::WndProc(m);
}

// ======================================================================

void RegisterTabsClasses() {
    const TEnumInfo& position =
        RegisterEnum("TTabPosition", {{"tpTop", tpTop}, {"tpBottom", tpBottom}, {"tpLeft", tpLeft}, {"tpRight", tpRight}});
    const TEnumInfo& style =
        RegisterEnum("TTabStyle", {{"tsTabs", tsTabs}, {"tsButtons", tsButtons}, {"tsFlatButtons", tsFlatButtons}});
    const TEnumInfo& orientation =
        RegisterEnum("TUDOrientation", {{"udHorizontal", udHorizontal}, {"udVertical", udVertical}});
    RegisterPersistentClass<TCustomTabControl>("TCustomTabControl", "TWinControl")
        .Enum("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition, position)
        .Enum("Style", &TCustomTabControl::Style, &TCustomTabControl::SetStyle, style)
        .Bool("MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine)
        .Ref("Images", &TCustomTabControl::SetImages, "TCustomImageList")
        .Event("OnChanging", &TCustomTabControl::OnChanging)
        .Event("OnChange", &TCustomTabControl::OnChange);
    RegisterComponentClass<TTabControl>("TTabControl", "TCustomTabControl")
        .Object("Tabs", &TTabControl::Tabs, "TStringList")
        .Int("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex);
    RegisterComponentClass<TTabSheet>("TTabSheet", "TWinControl")
        .Bool("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible)
        .Int("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex)
        .Ignore("PageControl");
    RegisterComponentClass<TPageControl>("TPageControl", "TCustomTabControl")
        .Ref("ActivePage", &TPageControl::SetActivePage, "TTabSheet");
    RegisterComponentClass<TUpDown>("TUpDown", "TWinControl")
        .Ref("Associate", &TUpDown::SetAssociate, "TWinControl")
        .Int("Min", &TUpDown::Min, &TUpDown::SetMin)
        .Int("Max", &TUpDown::Max, &TUpDown::SetMax)
        .Int("Position", &TUpDown::Position, &TUpDown::SetPosition)
        .Int("Increment", &TUpDown::Increment, &TUpDown::SetIncrement)
        .Enum("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation, orientation)
        .Bool("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap)
        .Event("OnClick", &TUpDown::OnClick)
        .Ignore("ArrowKeys")
        .Ignore("Thousands");
}
