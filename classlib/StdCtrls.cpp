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
        .Ignore("Locked")
        .Ignore("ParentBackground")
        .Ignore("UseDockManager");
    RegisterComponentClass<TPanel>("TPanel", "TCustomPanel");
    RegisterPersistentClass<TCustomGroupBox>("TCustomGroupBox", "TCustomControl").Ignore("ParentBackground");
    RegisterComponentClass<TGroupBox>("TGroupBox", "TCustomGroupBox");
    RegisterPersistentClass<TCustomEdit>("TCustomEdit", "TWinControl")
        .Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly)
        .Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength)
        .Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect)
        .Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, borderStyle)
        .Ignore("CharCase")
        .Ignore("HideSelection")
        .Ignore("OEMConvert")
        .Custom("PasswordChar", [](TCustomEdit* e, const FormValue& v, TReadContext&) {
            const AnsiString& s = typeinfo_detail::AsString(v);
            e->SetPasswordChar(s.empty() ? 0 : s[0]);
        })
        .Event("OnChange", &TCustomEdit::OnChange);
    RegisterComponentClass<TEdit>("TEdit", "TCustomEdit");
    RegisterPersistentClass<TCustomMaskEdit>("TCustomMaskEdit", "TCustomEdit")
        .Str("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask);
    RegisterComponentClass<TMaskEdit>("TMaskEdit", "TCustomMaskEdit");
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
