#include "ToolBars.h"

#include <algorithm>

#include "Graphics.h"
#include "Guards.h"
#include "ImgList.h"
#include "TypeInfo.h"
#include "WinText.h"

namespace {

// The common controls' window classes exist once the library is initialised.
void NeedCommonControls(DWORD Classes) {
    INITCOMMONCONTROLSEX icc{sizeof icc, Classes};
    InitCommonControlsEx(&icc);
}

// WM_NCCALCSIZE of a bar whose frame lies inside its window: the client
// area shrinks by Insets.
void ShrinkClientArea(TMessage& m, const TRect& Insets) {
    auto* r = reinterpret_cast<RECT*>(m.LParam);  // first rectangle of either form
    r->left += Insets.Left;
    r->top += Insets.Top;
    r->right = std::max(r->left, r->right - Insets.Right);
    r->bottom = std::max(r->top, r->bottom - Insets.Bottom);
}

// Fills the window's frame band (between its edge and the client area) with Color.
void FillFrameBand(HWND Wnd, const TRect& Insets, TColor Color) {
    WindowDC dc(Wnd, WindowDC::Window);
    if (!dc) return;
    RECT w;
    GetWindowRect(Wnd, &w);
    OffsetRect(&w, -w.left, -w.top);
    RegionHandle outer(CreateRectRgn(0, 0, w.right, w.bottom));
    RegionHandle inner(CreateRectRgn(Insets.Left, Insets.Top, w.right - Insets.Right, w.bottom - Insets.Bottom));
    CombineRgn(outer.Get(), outer.Get(), inner.Get(), RGN_DIFF);
    BrushHandle brush(CreateSolidBrush(ColorToRGB(Color)));
    FillRgn(dc.Get(), outer.Get(), brush.Get());
}

}  // namespace

// ======================================================================
// TToolButton

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    FWidth = 23;
    FHeight = 22;
    FControlStyle = csSetCaption;
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(FParent); }

int TToolButton::Index() const {
    TToolBar* bar = ToolBar();
    if (!bar) return -1;
    auto it = std::find(bar->FButtons.begin(), bar->FButtons.end(), this);
    return it == bar->FButtons.end() ? -1 : int(it - bar->FButtons.begin());
}

void TToolButton::Changed(bool StateOnly) {
    TToolBar* bar = ToolBar();
    if (!bar || IsLoading()) return;
    if (StateOnly)
        bar->UpdateButtonState(this);
    else
        bar->RebuildButtons();
}

void TToolButton::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Changed(false);
}

void TToolButton::SetDown(bool Value) {
    if (FDown == Value) return;
    FDown = Value;
    Changed(true);
}

void TToolButton::SetIndeterminate(bool Value) {
    if (FIndeterminate == Value) return;
    FIndeterminate = Value;
    Changed(true);
}

void TToolButton::SetMarked(bool Value) {
    if (FMarked == Value) return;
    FMarked = Value;
    Changed(true);
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Changed(false);
}

void TToolButton::CMEnabledChanged(TMessage&) { Changed(true); }
void TToolButton::CMVisibleChanged(TMessage&) { Changed(true); }
void TToolButton::CMTextChanged(TMessage&) { Changed(false); }

void TToolButton::Click() { TGraphicControl::Click(); }

bool TToolButton::CheckMenuDropdown() {
    TToolBar* bar = ToolBar();
    if (!bar || !FDropdownMenu || !bar->HandleAllocated()) return false;
    const HWND wnd = bar->Handle();
    RECT r{};
    if (!SendMessageW(wnd, TB_GETRECT, WPARAM(FCommandId), reinterpret_cast<LPARAM>(&r))) return false;
    MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    TrackPopupMenu(FDropdownMenu, TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0, GetAncestor(wnd, GA_ROOT), nullptr);
    PostMessageW(wnd, CN_DROPDOWNCLOSED, 0, 0);
    return true;
}

// ======================================================================
// TToolBar

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TCanvas()) {
    FAlign = alTop;
    FWidth = 150;
    FHeight = 29;
    FColor = clBtnFace;
    FControlStyle |= csAcceptsControls;
}

TToolBar::~TToolBar() {
    // The buttons' windows go with ours; the canvas must outlive any painting.
    DestroyHandle();
    FCanvas = nullptr;
}

void TToolBar::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    NeedCommonControls(ICC_BAR_CLASSES);
    P.WinClassName = TOOLBARCLASSNAMEW;
    P.SystemClass = true;
    P.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (FFlat) P.Style |= TBSTYLE_FLAT;
    if (FList) P.Style |= TBSTYLE_LIST;
}

void TToolBar::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(FHandle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(FHandle, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    // The frame set by NonClientInsets.
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    UpdateImageLists();
    RebuildButtons();
}

void TToolBar::Loaded() {
    TWinControl::Loaded();
    RebuildButtons();
}

void TToolBar::InsertControl(TControl* AControl) {
    TWinControl::InsertControl(AControl);
    if (auto* b = dynamic_cast<TToolButton*>(AControl)) {
        if (!b->FCommandId) b->FCommandId = FNextCommand++;
        FButtons.push_back(b);
        RebuildButtons();
    }
}

void TToolBar::RemoveControl(TControl* AControl) {
    auto it = std::find(FButtons.begin(), FButtons.end(), AControl);
    if (it != FButtons.end()) {
        FButtons.erase(it);
        if (!(ComponentState() & csDestroying)) RebuildButtons();
    }
    TWinControl::RemoveControl(AControl);
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) SetImages(nullptr);
    if (AComponent == FHotImages) SetHotImages(nullptr);
}

void TToolBar::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    UpdateImageLists();
    RebuildButtons();
}

void TToolBar::SetHotImages(TCustomImageList* Value) {
    if (FHotImages == Value) return;
    if (FHotImages) FHotImages->RemoveFreeNotification(this);
    FHotImages = Value;
    if (Value) Value->FreeNotification(this);
    UpdateImageLists();
}

void TToolBar::UpdateImageLists() {
    if (!FHandle) return;
    SendMessageW(FHandle, TB_SETIMAGELIST, 0, LPARAM(FImages ? FImages->Handle() : nullptr));
    SendMessageW(FHandle, TB_SETHOTIMAGELIST, 0, LPARAM(FHotImages ? FHotImages->Handle() : nullptr));
}

void TToolBar::SetShowCaptions(bool Value) {
    if (FShowCaptions == Value) return;
    FShowCaptions = Value;
    RebuildButtons();
}

void TToolBar::SetList(bool Value) {
    if (FList == Value) return;
    FList = Value;
    RecreateWnd();
}

void TToolBar::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    RecreateWnd();
}

void TToolBar::SetButtonWidth(int Value) {
    if (FButtonWidth == Value) return;
    FButtonWidth = Value;
    RebuildButtons();
}

void TToolBar::SetButtonHeight(int Value) {
    if (FButtonHeight == Value) return;
    FButtonHeight = Value;
    RebuildButtons();
}

void TToolBar::SetEdgeBorders(TEdgeBorders Value) {
    if (FEdgeBorders == Value) return;
    FEdgeBorders = Value;
    RecreateWnd();
}

void TToolBar::SetEdgeInner(TEdgeStyle Value) {
    if (FEdgeInner == Value) return;
    FEdgeInner = Value;
    RecreateWnd();
}

void TToolBar::SetEdgeOuter(TEdgeStyle Value) {
    if (FEdgeOuter == Value) return;
    FEdgeOuter = Value;
    RecreateWnd();
}

void TToolBar::SetBorderWidth(int Value) {
    if (FBorderWidth == Value || Value < 0) return;
    FBorderWidth = Value;
    RecreateWnd();
}

TRect TToolBar::NonClientInsets() const {
    const int edge = (FEdgeInner != esNone) + (FEdgeOuter != esNone);
    auto side = [&](TEdgeBorder b) { return ((FEdgeBorders >> b) & 1u ? edge : 0) + FBorderWidth; };
    return Rect(side(ebLeft), side(ebTop), side(ebRight), side(ebBottom));
}

void TToolBar::PaintNonClient() {
    const TRect in = NonClientInsets();
    if (in == TRect{}) return;
    FillFrameBand(FHandle, in, FColor);
    const int edge = (FEdgeInner != esNone) + (FEdgeOuter != esNone);
    if (!edge || !FEdgeBorders) return;
    static const UINT inner[] = {0, BDR_RAISEDINNER, BDR_SUNKENINNER};
    static const UINT outer[] = {0, BDR_RAISEDOUTER, BDR_SUNKENOUTER};
    UINT sides = 0;
    if (FEdgeBorders & (1u << ebLeft)) sides |= BF_LEFT;
    if (FEdgeBorders & (1u << ebTop)) sides |= BF_TOP;
    if (FEdgeBorders & (1u << ebRight)) sides |= BF_RIGHT;
    if (FEdgeBorders & (1u << ebBottom)) sides |= BF_BOTTOM;
    WindowDC dc(FHandle, WindowDC::Window);
    RECT r;
    GetWindowRect(FHandle, &r);
    OffsetRect(&r, -r.left, -r.top);
    DrawEdge(dc.Get(), &r, inner[FEdgeInner] | outer[FEdgeOuter], sides);
}

TToolButton* TToolBar::ButtonOfCommand(int Id) const {
    for (TToolButton* b : FButtons)
        if (b->FCommandId == Id) return b;
    return nullptr;
}

namespace {

BYTE ButtonStateBits(const TToolButton* B) {
    BYTE s = 0;
    if (B->Enabled()) s |= TBSTATE_ENABLED;
    if (B->Down()) s |= B->Style() == tbsCheck ? TBSTATE_CHECKED : TBSTATE_PRESSED;
    if (B->Indeterminate()) s |= TBSTATE_INDETERMINATE;
    if (B->Marked()) s |= TBSTATE_MARKED;
    if (!B->Visible()) s |= TBSTATE_HIDDEN;
    return s;
}

BYTE ButtonStyleBits(TToolButtonStyle S) {
    switch (S) {
    case tbsCheck: return BTNS_CHECK;
    case tbsDropDown: return BTNS_DROPDOWN;
    case tbsSeparator:
    case tbsDivider: return BTNS_SEP;
    default: return BTNS_BUTTON;
    }
}

}  // namespace

void TToolBar::RebuildButtons() {
    if (!FHandle || IsLoading() || (ComponentState() & csDestroying)) return;
    SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
    for (int i = int(SendMessageW(FHandle, TB_BUTTONCOUNT, 0, 0)) - 1; i >= 0; --i)
        SendMessageW(FHandle, TB_DELETEBUTTON, WPARAM(i), 0);
    SendMessageW(FHandle, TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
    for (TToolButton* b : FButtons) {
        // The text is copied by the window.
        const std::wstring text = ToWide(b->Caption());
        TBBUTTON tb{};
        tb.iBitmap = b->ImageIndex() >= 0 && FImages ? b->ImageIndex() : I_IMAGENONE;
        tb.idCommand = b->FCommandId;
        tb.fsState = ButtonStateBits(b);
        tb.fsStyle = ButtonStyleBits(b->Style());
        tb.iString = FShowCaptions && !text.empty() ? reinterpret_cast<INT_PTR>(text.c_str()) : -1;
        SendMessageW(FHandle, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&tb));
    }
    SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
    UpdateButtonBounds();
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TToolBar::UpdateButtonState(TToolButton* Button) {
    if (!FHandle) return;
    SendMessageW(FHandle, TB_SETSTATE, WPARAM(Button->FCommandId), MAKELPARAM(ButtonStateBits(Button), 0));
    UpdateButtonBounds();
}

void TToolBar::UpdateButtonBounds() {
    if (!FHandle) return;
    for (size_t i = 0; i < FButtons.size(); ++i) {
        RECT r{};
        if (!SendMessageW(FHandle, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) continue;
        TToolButton* b = FButtons[i];
        b->FLeft = r.left;
        b->FTop = r.top;
        b->FWidth = r.right - r.left;
        b->FHeight = r.bottom - r.top;
    }
}

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW& D) {
    NMCUSTOMDRAW& cd = D.nmcd;
    TCanvasDCScope scope(FCanvas.get(), cd.hdc);
    bool def = true;
    switch (cd.dwDrawStage) {
    case CDDS_PREPAINT:
    case CDDS_POSTPAINT: {
        const TCustomDrawStage stage = cd.dwDrawStage == CDDS_PREPAINT ? cdPrePaint : cdPostPaint;
        if (OnAdvancedCustomDraw)
            OnAdvancedCustomDraw(this, Rect(cd.rc.left, cd.rc.top, cd.rc.right, cd.rc.bottom), stage, def);
        // The bar draws nothing itself at these stages; its buttons are asked one by one.
        if (stage == cdPostPaint) return CDRF_DODEFAULT;
        return (OnAdvancedCustomDrawButton ? CDRF_NOTIFYITEMDRAW : 0) |
               (OnAdvancedCustomDraw ? CDRF_NOTIFYPOSTPAINT : 0);
    }
    case CDDS_ITEMPREPAINT: {
        TToolButton* b = ButtonOfCommand(int(cd.dwItemSpec));
        if (!b || !OnAdvancedCustomDrawButton) return CDRF_DODEFAULT;
        static const std::pair<UINT, TCustomDrawStateElement> states[] = {
            {CDIS_SELECTED, cdsSelected}, {CDIS_GRAYED, cdsGrayed},   {CDIS_DISABLED, cdsDisabled},
            {CDIS_CHECKED, cdsChecked},   {CDIS_FOCUS, cdsFocused},   {CDIS_DEFAULT, cdsDefault},
            {CDIS_HOT, cdsHot},           {CDIS_MARKED, cdsMarked},   {CDIS_INDETERMINATE, cdsIndeterminate}};
        TCustomDrawState state = 0;
        for (const auto& [bit, element] : states)
            if (cd.uItemState & bit) state |= 1u << element;
        TTBCustomDrawFlags flags = 0;
        OnAdvancedCustomDrawButton(this, b, state, cdPrePaint, flags, def);
        static const std::pair<TTBCustomDrawFlag, LRESULT> answers[] = {
            {tbNoEdges, TBCDRF_NOEDGES},   {tbHiliteHotTrack, TBCDRF_HILITEHOTTRACK}, {tbNoOffset, TBCDRF_NOOFFSET},
            {tbNoMark, TBCDRF_NOMARK},     {tbNoEtchedEffect, TBCDRF_NOETCHEDEFFECT}};
        LRESULT result = def ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
        for (const auto& [flag, answer] : answers)
            if (flags & (1u << flag)) result |= answer;
        return result;
    }
    default: return CDRF_DODEFAULT;
    }
}

void TToolBar::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        if (TToolButton* b = ButtonOfCommand(LOWORD(m.WParam))) {
            if (b->Style() == tbsCheck)
                b->FDown = SendMessageW(FHandle, TB_ISBUTTONCHECKED, WPARAM(b->FCommandId), 0) != 0;
            b->Click();
        }
        m.Result = 0;
        return;
    case CN_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
        if (hdr->code == NM_CUSTOMDRAW) {
            m.Result = CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(m.LParam));
            return;
        }
        if (hdr->code == TBN_DROPDOWN) {
            TToolButton* b = ButtonOfCommand(reinterpret_cast<NMTOOLBARW*>(m.LParam)->iItem);
            m.Result = b && b->CheckMenuDropdown() ? TBDDRET_DEFAULT : TBDDRET_NODEFAULT;
            return;
        }
        break;
    }
    case WM_NCCALCSIZE:
        DefaultHandler(m);
        ShrinkClientArea(m, NonClientInsets());
        return;
    case WM_NCPAINT:
        DefaultHandler(m);
        PaintNonClient();
        return;
    case WM_ERASEBKGND: {
        // The bar's window class has no brush: the bar's colour under the buttons.
        RECT r;
        GetClientRect(FHandle, &r);
        FillRect(reinterpret_cast<HDC>(m.WParam), &r, ColorBrush());
        m.Result = 1;
        return;
    }
    case WM_SIZE:
        TWinControl::WndProc(m);
        UpdateButtonBounds();
        return;
    default: break;
    }
    TWinControl::WndProc(m);
}

// ======================================================================
// TStatusBar

void TStatusPanel::SetText(const AnsiString& Value) {
    if (FText == Value) return;
    FText = Value;
    Changed();
}

void TStatusPanel::SetWidth(int Value) {
    if (FWidth == Value) return;
    FWidth = Value;
    Changed();
}

void TStatusPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Changed();
}

TStatusPanels::TStatusPanels(TStatusBar* Owner)
    : TCollection([](TCollection* c) -> TCollectionItem* { return new TStatusPanel(c); }, "TStatusPanel", Owner) {}

void TStatusPanels::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    static_cast<TStatusBar*>(Owner())->UpdatePanels();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner), FPanels(new TStatusPanels(this)) {
    FAlign = alBottom;
    FWidth = 150;
    FHeight = 19;
    FColor = clBtnFace;
    FControlStyle &= ~csSetCaption;
}

TStatusBar::~TStatusBar() { DestroyHandle(); }

void TStatusBar::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    NeedCommonControls(ICC_BAR_CLASSES);
    P.WinClassName = STATUSCLASSNAMEW;
    P.SystemClass = true;
    P.Caption.clear();
    P.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
    if (FSizeGrip) P.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool Value) {
    if (FSimplePanel == Value) return;
    FSimplePanel = Value;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const AnsiString& Value) {
    if (FSimpleText == Value) return;
    FSimpleText = Value;
    UpdatePanels();
}

void TStatusBar::SetSizeGrip(bool Value) {
    if (FSizeGrip == Value) return;
    FSizeGrip = Value;
    RecreateWnd();
}

void TStatusBar::SetBorderWidth(int Value) {
    if (FBorderWidth == Value || Value < 0) return;
    FBorderWidth = Value;
    RecreateWnd();
}

void TStatusBar::UpdatePanels() {
    if (!FHandle) return;
    SendMessageW(FHandle, SB_SIMPLE, FSimplePanel ? TRUE : FALSE, 0);
    if (FSimplePanel) {
        const std::wstring text = ToWide(FSimpleText);
        SendMessageW(FHandle, SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    const int n = std::min(FPanels->Count(), 255);
    std::vector<int> edges;
    int x = 0;
    for (int i = 0; i < n; ++i) {
        x += FPanels->Items(i)->Width();
        edges.push_back(i + 1 == n ? -1 : x);
    }
    if (edges.empty()) edges.push_back(-1);
    SendMessageW(FHandle, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < n; ++i) {
        const TStatusPanel* p = FPanels->Items(i);
        // A tab before the text centres it, two put it right.
        static const wchar_t* const lead[] = {L"", L"\t\t", L"\t"};
        const std::wstring text = lead[p->Alignment()] + ToWide(p->Text());
        SendMessageW(FHandle, SB_SETTEXTW, WPARAM(i), reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void TStatusBar::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_NCCALCSIZE:
        DefaultHandler(m);
        ShrinkClientArea(m, Rect(FBorderWidth, FBorderWidth, FBorderWidth, FBorderWidth));
        return;
    case WM_NCPAINT:
        DefaultHandler(m);
        if (FBorderWidth > 0) FillFrameBand(FHandle, Rect(FBorderWidth, FBorderWidth, FBorderWidth, FBorderWidth), FColor);
        return;
    default: break;
    }
    TWinControl::WndProc(m);
}

// ======================================================================

void RegisterToolBarsClasses() {
    const TEnumInfo& alignment = *FindEnum("TAlignment");
    const TEnumInfo& style = RegisterEnum(
        "TToolButtonStyle", {{"tbsButton", tbsButton}, {"tbsCheck", tbsCheck}, {"tbsDropDown", tbsDropDown},
                             {"tbsSeparator", tbsSeparator}, {"tbsDivider", tbsDivider}});
    const TEnumInfo& borders = RegisterEnum(
        "TEdgeBorders", {{"ebLeft", 1 << ebLeft}, {"ebTop", 1 << ebTop}, {"ebRight", 1 << ebRight},
                         {"ebBottom", 1 << ebBottom}});
    const TEnumInfo& edge = RegisterEnum("TEdgeStyle", {{"esNone", esNone}, {"esRaised", esRaised}, {"esLowered", esLowered}});
    RegisterComponentClass<TToolButton>("TToolButton", "TGraphicControl")
        .Int("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex)
        .Bool("Down", &TToolButton::Down, &TToolButton::SetDown)
        .Bool("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate)
        .Bool("Marked", &TToolButton::Marked, &TToolButton::SetMarked)
        .Enum("Style", &TToolButton::Style, &TToolButton::SetStyle, style)
        .Ignore("Wrap")
        .Ignore("Grouped")
        .Ignore("AllowAllUp");
    RegisterComponentClass<TToolBar>("TToolBar", "TWinControl")
        .Ref("Images", &TToolBar::SetImages, "TCustomImageList")
        .Ref("HotImages", &TToolBar::SetHotImages, "TCustomImageList")
        .Bool("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions)
        .Bool("List", &TToolBar::List, &TToolBar::SetList)
        .Bool("Flat", &TToolBar::Flat, &TToolBar::SetFlat)
        .Int("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth)
        .Int("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight)
        .Set("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders, borders)
        .Enum("EdgeInner", &TToolBar::EdgeInner, &TToolBar::SetEdgeInner, edge)
        .Enum("EdgeOuter", &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter, edge)
        .Int("BorderWidth", &TToolBar::BorderWidth, &TToolBar::SetBorderWidth)
        .Event("OnAdvancedCustomDraw", &TToolBar::OnAdvancedCustomDraw)
        .Event("OnAdvancedCustomDrawButton", &TToolBar::OnAdvancedCustomDrawButton);
    RegisterPersistentClass<TStatusPanel>("TStatusPanel")
        .Str("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
        .Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth)
        .Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, alignment)
        .Ignore("Bevel");
    RegisterComponentClass<TStatusBar>("TStatusBar", "TWinControl")
        .Collection("Panels", &TStatusBar::Panels)
        .Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel)
        .Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
        .Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip)
        .Int("BorderWidth", &TStatusBar::BorderWidth, &TStatusBar::SetBorderWidth);
}
