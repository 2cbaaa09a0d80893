#include "StdCtrls.h"

#include <algorithm>

#include "Graphics.h"
#include "Guards.h"
#include "TypeInfo.h"
#include "WinText.h"

void Frame3D(HDC DC, TRect& R, TColor TopColor, TColor BottomColor, int Width) {
    HBRUSH top = CreateSolidBrush(ColorToRGB(TopColor));
    HBRUSH bottom = CreateSolidBrush(ColorToRGB(BottomColor));
    for (int i = 0; i < Width && R.Width() > 0 && R.Height() > 0; ++i) {
        RECT t{R.Left, R.Top, R.Right - 1, R.Top + 1}, l{R.Left, R.Top, R.Left + 1, R.Bottom - 1};
        RECT b{R.Left, R.Bottom - 1, R.Right, R.Bottom}, r{R.Right - 1, R.Top, R.Right, R.Bottom};
        FillRect(DC, &t, top);
        FillRect(DC, &l, top);
        FillRect(DC, &b, bottom);
        FillRect(DC, &r, bottom);
        R.Left += 1;
        R.Top += 1;
        R.Right -= 1;
        R.Bottom -= 1;
    }
    DeleteObject(top);
    DeleteObject(bottom);
}

// ======================================================================
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle |= csAcceptsControls | csSetCaption | csOpaque;
    FWidth = 185;
    FHeight = 41;
    FColor = clBtnFace;
    SetUseDockManager(true);
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
    if (FBevelInner == Value) return;
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
    if (FBevelOuter == Value) return;
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
    if (FBevelWidth == Value) return;
    FBevelWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value) {
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::Paint() {
    HDC dc = Canvas()->Handle();
    TRect r = ClientRect();
    if (FBorderStyle == bsSingle) Frame3D(dc, r, clWindowFrame, clWindowFrame, 1);
    auto bevel = [&](TPanelBevel b) {
        if (b == bvNone) return;
        TColor top = b == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = b == bvLowered ? clBtnHighlight : clBtnShadow;
        if (b == bvSpace) top = bottom = FColor;
        Frame3D(dc, r, top, bottom, FBevelWidth);
    };
    bevel(FBevelOuter);
    Frame3D(dc, r, FColor, FColor, FBorderWidth);
    bevel(FBevelInner);
    RECT fill{r.Left, r.Top, r.Right, r.Bottom};
    FillRect(dc, &fill, ColorBrush());
    if (!Caption().empty()) {
        SavedDC saved(dc);
        SelectObject(dc, FFont->Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(FEnabled ? FFont->Color() : clGrayText));
        static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
        std::wstring w = ToWide(Caption());
        DrawTextW(dc, w.c_str(), int(w.size()), &fill, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | align[FAlignment]);
    }
}

// ======================================================================
// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle |= csAcceptsControls | csSetCaption;
    FWidth = 185;
    FHeight = 105;
}

void TCustomGroupBox::Paint() {
    HDC dc = Canvas()->Handle();
    SavedDC saved(dc);
    SelectObject(dc, FFont->Handle());
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    RECT frame{0, tm.tmHeight / 2, FWidth, FHeight};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!Caption().empty()) {
        std::wstring w = ToWide(Caption());
        RECT t{8, 0, FWidth - 8, tm.tmHeight};
        SetBkColor(dc, ColorToRGB(FColor));
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, ColorToRGB(FEnabled ? FFont->Color() : clGrayText));
        DrawTextW(dc, w.c_str(), int(w.size()), &t, DT_SINGLELINE | DT_LEFT);
    }
}

// ======================================================================
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 121;
    FHeight = 21;
    FColor = clWindow;
    FParentColor = false;
    SetTabStop(true);
    FControlStyle &= ~csSetCaption;
}

void TCustomEdit::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    P.WinClassName = L"EDIT";
    P.SystemClass = true;
    P.Style |= ES_AUTOHSCROLL | ES_LEFT;
    if (FReadOnly) P.Style |= ES_READONLY;
    if (FPasswordChar) P.Style |= ES_PASSWORD;
    if (FBorderStyle == bsSingle) P.ExStyle |= WS_EX_CLIENTEDGE;
    if (FCharCase == ecUpperCase) P.Style |= ES_UPPERCASE;
    if (FCharCase == ecLowerCase) P.Style |= ES_LOWERCASE;
    if (!FHideSelection) P.Style |= ES_NOHIDESEL;
    if (FOEMConvert) P.Style |= ES_OEMCONVERT;
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value) return;
    FCharCase = Value;
    // The window turns the text it holds to the new case as it is made again.
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool Value) {
    if (FHideSelection == Value) return;
    FHideSelection = Value;
    RecreateWnd();
}

void TCustomEdit::SetOEMConvert(bool Value) {
    if (FOEMConvert == Value) return;
    FOEMConvert = Value;
    RecreateWnd();
}

void TCustomEdit::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(FHandle, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
    if (FPasswordChar) SendMessageW(FHandle, EM_SETPASSWORDCHAR, WPARAM(static_cast<unsigned char>(FPasswordChar)), 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (FReadOnly == Value) return;
    FReadOnly = Value;
    if (FHandle) SendMessageW(FHandle, EM_SETREADONLY, Value ? TRUE : FALSE, 0);
    Invalidate();
}

void TCustomEdit::SetMaxLength(int Value) {
    if (FMaxLength == Value) return;
    FMaxLength = Value;
    if (FHandle) SendMessageW(FHandle, EM_LIMITTEXT, WPARAM(Value), 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    RecreateWnd();
}

void TCustomEdit::SelectAll() {
    if (FHandle) SendMessageW(FHandle, EM_SETSEL, 0, -1);
}

int TCustomEdit::SelStart() const {
    DWORD s = 0, e = 0;
    if (FHandle) SendMessageW(FHandle, EM_GETSEL, WPARAM(&s), LPARAM(&e));
    return int(s);
}

int TCustomEdit::SelLength() const {
    DWORD s = 0, e = 0;
    if (FHandle) SendMessageW(FHandle, EM_GETSEL, WPARAM(&s), LPARAM(&e));
    return int(e - s);
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect && !(GetKeyState(VK_LBUTTON) < 0)) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
        if (!FSettingText) {
            FText = GetWindowTextAnsi(FHandle);
            Change();
        }
        return;
    }
    if (m.Msg == CM_TEXTCHANGED) {
        // The text was set by the program: the window shows it, and it is a change.
        if (FHandle) {
            FSettingText = true;
            SetWindowTextAnsi(FHandle, FText);
            FSettingText = false;
        }
        Change();
        return;
    }
    TWinControl::WndProc(m);
}

// ======================================================================
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(new TStringList()) {
    FWidth = 185;
    FHeight = 89;
    SetAutoSelect(false);
    FLines->OnChange = TNotifyEvent::Of<&TCustomMemo::LinesChanged>(this);
}

TCustomMemo::~TCustomMemo() { FLines->OnChange = nullptr; }

void TCustomMemo::CreateParams(TCreateParams& P) {
    TCustomEdit::CreateParams(P);
    P.Style &= ~DWORD(ES_AUTOHSCROLL);
    P.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    // Without word wrap long lines scroll sideways; a horizontal bar does so too.
    if (!FWordWrap || FScrollBars == ssHorizontal || FScrollBars == ssBoth) P.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) P.Style |= WS_HSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) P.Style |= WS_VSCROLL;
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    RecreateWnd();
}

void TCustomMemo::WndProc(TMessage& m) {
    TCustomEdit::WndProc(m);
    // A multi-line edit tells no change of text set by WM_SETTEXT: look.
    if (m.Msg == WM_SETTEXT && FHandle) {
        AnsiString now = GetWindowTextAnsi(FHandle);
        if (now != FText) {
            FText = now;
            Change();
        }
    }
}

void TCustomMemo::Change() {
    // The text changed (typed, or set by the program): the lines follow it.
    if (!FSyncingLines) {
        FSyncingLines = true;
        ScopeExit done([this] { FSyncingLines = false; });
        FLines->SetText(FText);
    }
    TCustomEdit::Change();
}

void TCustomMemo::LinesChanged(TObject*) {
    if (FSyncingLines) return;
    AnsiString text = FLines->Text();
    // Every line ends with a line break; the window's last line has none.
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
    FSyncingLines = true;
    ScopeExit done([this] { FSyncingLines = false; });
    SetText(text);
}

// ======================================================================
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner), FItems(new TStringList()) {
    FWidth = 121;
    FHeight = 97;
    FColor = clWindow;
    FParentColor = false;
    SetTabStop(true);
    // The list tracks its own presses; a selection is its click.
    FControlStyle &= ~(csSetCaption | csCaptureMouse | csClickEvents);
    FItems->OnChange = TNotifyEvent::Of<&TCustomListBox::ItemsChanged>(this);
}

TCustomListBox::~TCustomListBox() { FItems->OnChange = nullptr; }

void TCustomListBox::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    P.WinClassName = L"LISTBOX";
    P.SystemClass = true;
    P.Caption.clear();
    P.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    P.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    FillWindow();
}

void TCustomListBox::FillWindow() {
    SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
    SendMessageW(FHandle, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < FItems->Count(); ++i)
        SendMessageW(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(FItems->Strings(i)).c_str()));
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    SendMessageW(FHandle, LB_SETCURSEL, WPARAM(FItemIndex), 0);
    SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TCustomListBox::ItemsChanged(TObject*) {
    if (!FHandle) return;
    FItemIndex = ItemIndex();
    FillWindow();
}

int TCustomListBox::ItemIndex() const {
    return FHandle ? int(SendMessageW(FHandle, LB_GETCURSEL, 0, 0)) : FItemIndex;
}

void TCustomListBox::SetItemIndex(int Value) {
    FItemIndex = Value;
    if (FHandle) SendMessageW(FHandle, LB_SETCURSEL, WPARAM(Value), 0);
}

void TCustomListBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == LBN_SELCHANGE) {
            FItemIndex = ItemIndex();
            Click();
        }
        return;
    }
    TWinControl::WndProc(m);
}

// ======================================================================
// TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner), FItems(new TStringList()) {
    FWidth = 145;
    FHeight = 21;
    FColor = clWindow;
    FParentColor = false;
    SetTabStop(true);
    // The box drops its list and takes the mouse itself on a press.
    FControlStyle &= ~(csSetCaption | csCaptureMouse | csClickEvents);
    FItems->OnChange = TNotifyEvent::Of<&TCustomComboBox::ItemsChanged>(this);
}

TCustomComboBox::~TCustomComboBox() { FItems->OnChange = nullptr; }

void TCustomComboBox::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    P.WinClassName = L"COMBOBOX";
    P.SystemClass = true;
    static const DWORD styles[] = {CBS_DROPDOWN | CBS_AUTOHSCROLL, CBS_SIMPLE | CBS_AUTOHSCROLL, CBS_DROPDOWNLIST};
    P.Style |= WS_VSCROLL | styles[FStyle];
    P.Height = DroppedHeight();
}

int TCustomComboBox::DroppedHeight() const {
    if (FStyle == csSimple) return FHeight;
    int item = FHandle ? int(SendMessageW(FHandle, CB_GETITEMHEIGHT, 0, 0)) : FHeight - 6;
    return FHeight + std::max(item, 1) * FDropDownCount + 2;
}

void TCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    FillWindow();
    // The window's height is the edit's; the height it was made with is the
    // dropped list's room, known exactly only now that the items have a height.
    if (FStyle != csSimple)
        SetWindowPos(FHandle, nullptr, 0, 0, FWidth, DroppedHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::FillWindow() {
    SendMessageW(FHandle, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < FItems->Count(); ++i)
        SendMessageW(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(FItems->Strings(i)).c_str()));
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    SendMessageW(FHandle, CB_SETCURSEL, WPARAM(FItemIndex), 0);
    // Choosing an item rewrote the edit: it shows the control's text again.
    if (FStyle != csDropDownList) SetWindowTextAnsi(FHandle, FText);
}

void TCustomComboBox::ItemsChanged(TObject*) {
    if (!FHandle) return;
    FItemIndex = ItemIndex();
    FillWindow();
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FHandle && FStyle != csSimple)
        SetWindowPos(FHandle, nullptr, 0, 0, FWidth, DroppedHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::Loaded() {
    TWinControl::Loaded();
    if (FStyle == csDropDownList && FItemIndex < 0) FItemIndex = FItems->IndexOf(FText);
    if (FItemIndex >= 0 && FItemIndex < FItems->Count()) FText = FItems->Strings(FItemIndex);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int Value) {
    if (FDropDownCount == Value || Value < 1) return;
    FDropDownCount = Value;
    if (FHandle && FStyle != csSimple)
        SetWindowPos(FHandle, nullptr, 0, 0, FWidth, DroppedHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TCustomComboBox::ItemIndex() const {
    return FHandle ? int(SendMessageW(FHandle, CB_GETCURSEL, 0, 0)) : FItemIndex;
}

void TCustomComboBox::SetItemIndex(int Value) {
    FItemIndex = Value;
    if (IsLoading()) return;
    bool valid = Value >= 0 && Value < FItems->Count();
    if (FHandle) SendMessageW(FHandle, CB_SETCURSEL, WPARAM(valid ? Value : -1), 0);
    if (valid)
        FText = FItems->Strings(Value);
    else if (FHandle || FStyle == csDropDownList)
        FText.clear();
}

bool TCustomComboBox::DroppedDown() const {
    return FHandle && SendMessageW(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    SendMessageW(Handle(), CB_SHOWDROPDOWN, Value ? TRUE : FALSE, 0);
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::CMTextChanged(TMessage& m) {
    if (IsLoading()) return;
    if (FStyle == csDropDownList)
        SetItemIndex(FItems->IndexOf(FText));
    else
        TWinControl::CMTextChanged(m);
    Change();
}

void TCustomComboBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        switch (HIWORD(m.WParam)) {
        case CBN_SELCHANGE: {
            // The edit shows the picked item only after this notice: take it from the list.
            int i = ItemIndex();
            FItemIndex = i;
            FText = i >= 0 && i < FItems->Count() ? FItems->Strings(i) : AnsiString();
            Click();
            Change();
            break;
        }
        case CBN_EDITCHANGE:
            FText = GetWindowTextAnsi(FHandle);
            Change();
            break;
        default: break;
        }
        return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
        // From the box's own edit and list windows: they take the box's colours.
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(FFont->Color()));
        SetBkColor(dc, ColorToRGB(FColor));
        m.Result = reinterpret_cast<LRESULT>(ColorBrush());
        return;
    }
    default: break;
    }
    TWinControl::WndProc(m);
}

// ======================================================================
// TScrollBar

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 121;
    FHeight = GetSystemMetrics(SM_CYHSCROLL);
    SetTabStop(true);
    FControlStyle &= ~(csSetCaption | csDoubleClicks);
}

void TScrollBar::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    P.WinClassName = L"SCROLLBAR";
    P.SystemClass = true;
    P.Caption.clear();
    P.Style |= FKind == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateScrollInfo();
}

void TScrollBar::UpdateScrollInfo() {
    if (!FHandle) return;
    SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, FMin, FMax, UINT(FPageSize), FPosition, 0};
    SetScrollInfo(FHandle, SB_CTL, &si, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    if (!IsLoading()) SetBounds(FLeft, FTop, FHeight, FWidth);
    RecreateWnd();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
    if (AMax < AMin) throw Exception("Scroll bar property out of range");
    APosition = std::clamp(APosition, AMin, AMax);
    bool changed = APosition != FPosition;
    if (FMin == AMin && FMax == AMax && !changed) return;
    FMin = AMin;
    FMax = AMax;
    FPosition = APosition;
    UpdateScrollInfo();
    if (changed && !IsLoading()) Change();
}

void TScrollBar::SetPageSize(int Value) {
    if (FPageSize == Value) return;
    FPageSize = Value;
    UpdateScrollInfo();
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
    if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::Change() {
    if (OnChange) OnChange(this);
}

void TScrollBar::DoScroll(WPARAM WParam) {
    TScrollCode code;
    int pos = FPosition;
    switch (LOWORD(WParam)) {
    case SB_LINEUP: code = scLineUp; pos -= FSmallChange; break;
    case SB_LINEDOWN: code = scLineDown; pos += FSmallChange; break;
    case SB_PAGEUP: code = scPageUp; pos -= FLargeChange; break;
    case SB_PAGEDOWN: code = scPageDown; pos += FLargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        code = LOWORD(WParam) == SB_THUMBTRACK ? scTrack : scPosition;
        SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        pos = (FHandle && GetScrollInfo(FHandle, SB_CTL, &si)) ? si.nTrackPos : int(short(HIWORD(WParam)));
        break;
    }
    case SB_TOP: code = scTop; pos = FMin; break;
    case SB_BOTTOM: code = scBottom; pos = FMax; break;
    case SB_ENDSCROLL: code = scEndScroll; break;
    default: return;
    }
    pos = std::clamp(pos, FMin, FMax);
    Scroll(code, pos);
    SetPosition(pos);
}

void TScrollBar::WndProc(TMessage& m) {
    if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
        DoScroll(m.WParam);
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

// ======================================================================

void RegisterStdCtrlsClasses() {
    const TEnumInfo& bevel =
        RegisterEnum("TPanelBevel", {{"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised},
                                     {"bvSpace", bvSpace}});
    const TEnumInfo& borderStyle = RegisterEnum("TBorderStyle", {{"bsNone", bsNone}, {"bsSingle", bsSingle}});
    const TEnumInfo& alignment = *FindEnum("TAlignment");
    const TEnumInfo& charCase =
        RegisterEnum("TEditCharCase", {{"ecNormal", ecNormal}, {"ecUpperCase", ecUpperCase}, {"ecLowerCase", ecLowerCase}});
    const TEnumInfo& kind =
        RegisterEnum("TScrollBarKind", {{"sbHorizontal", sbHorizontal}, {"sbVertical", sbVertical}});
    RegisterPersistentClass<TCustomPanel>("TCustomPanel", "TCustomControl")
        .Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, bevel)
        .Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, bevel)
        .Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth)
        .Int("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth)
        .Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle, borderStyle)
        .Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, alignment)
        .Ignore("FullRepaint")
        .Bool("Locked", &TCustomPanel::Locked, &TCustomPanel::SetLocked)
        .Ignore("ParentBackground");
    RegisterComponentClass<TPanel>("TPanel", "TCustomPanel");
    RegisterPersistentClass<TCustomGroupBox>("TCustomGroupBox", "TCustomControl").Ignore("ParentBackground");
    RegisterComponentClass<TGroupBox>("TGroupBox", "TCustomGroupBox");
    RegisterPersistentClass<TCustomEdit>("TCustomEdit", "TWinControl")
        .Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly)
        .Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength)
        .Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect)
        .Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, borderStyle)
        .Enum("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase, charCase)
        .Bool("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection)
        .Bool("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert)
        .Custom("PasswordChar", [](TCustomEdit* e, const FormValue& v, TReadContext&) {
            const AnsiString& s = typeinfo_detail::AsString(v);
            e->SetPasswordChar(s.empty() ? 0 : s[0]);
        })
        .Event("OnChange", &TCustomEdit::OnChange);
    RegisterComponentClass<TEdit>("TEdit", "TCustomEdit");
    const TEnumInfo& scrollStyle = RegisterEnum(
        "TScrollStyle", {{"ssNone", ssNone}, {"ssHorizontal", ssHorizontal}, {"ssVertical", ssVertical}, {"ssBoth", ssBoth}});
    RegisterPersistentClass<TCustomMemo>("TCustomMemo", "TCustomEdit")
        .Object("Lines", &TCustomMemo::Lines, "TStringList")
        .Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, scrollStyle)
        .Bool("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap);
    RegisterComponentClass<TMemo>("TMemo", "TCustomMemo");
    RegisterPersistentClass<TCustomListBox>("TCustomListBox", "TWinControl")
        .Object("Items", &TCustomListBox::Items, "TStringList")
        .Int("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex);
    RegisterComponentClass<TListBox>("TListBox", "TCustomListBox");
    const TEnumInfo& comboStyle = RegisterEnum(
        "TComboBoxStyle", {{"csDropDown", csDropDown}, {"csSimple", csSimple}, {"csDropDownList", csDropDownList}});
    RegisterPersistentClass<TCustomComboBox>("TCustomComboBox", "TWinControl")
        .Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle, comboStyle)
        .Object("Items", &TCustomComboBox::Items, "TStringList")
        .Int("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex)
        .Int("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
        .Event("OnChange", &TCustomComboBox::OnChange);
    RegisterComponentClass<TComboBox>("TComboBox", "TCustomComboBox");
    RegisterComponentClass<TScrollBar>("TScrollBar", "TWinControl")
        .Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind, kind)
        .Int("Min", &TScrollBar::Min, &TScrollBar::SetMin)
        .Int("Max", &TScrollBar::Max, &TScrollBar::SetMax)
        .Int("Position", &TScrollBar::Position, &TScrollBar::SetPosition)
        .Int("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange)
        .Int("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange)
        .Int("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize)
        .Event("OnScroll", &TScrollBar::OnScroll)
        .Event("OnChange", &TScrollBar::OnChange);
}
