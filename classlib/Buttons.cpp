#include "Buttons.h"

#include "ButtonLayout.h"
#include "Forms.h"
#include "Graphics.h"
#include "Guards.h"
#include "TypeInfo.h"
#include "WinText.h"

// ======================================================================
// TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    // The window clicks (BN_CLICKED); the mouse alone must not click again.
    FControlStyle &= ~(csClickEvents | csCaptureMouse | csDoubleClicks);
    SetTabStop(true);
}

void TButtonControl::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    P.WinClassName = L"BUTTON";
    P.SystemClass = true;
    P.Style &= ~WS_CLIPCHILDREN;
}

void TButtonControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == BN_CLICKED) {
            ButtonClicked();
            m.Result = 0;
            return;
        }
        break;
    case WM_LBUTTONDBLCLK:
        // Radio and owner-drawn buttons only report a double click; a second
        // click must press them like the first.
        m.Msg = WM_LBUTTONDOWN;
        break;
    case CN_CTLCOLORBTN:
        m.Msg = CN_CTLCOLORSTATIC;
        break;
    default: break;
    }
    TWinControl::WndProc(m);
}

// ======================================================================
// TButton

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 75;
    FHeight = 25;
}

void TButton::CreateParams(TCreateParams& P) {
    TButtonControl::CreateParams(P);
    P.Style |= ButtonStyle();
}

void TButton::SetDefault(bool Value) {
    if (FDefault == Value) return;
    FDefault = Value;
    SetActive(Value);
}

void TButton::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (FHandle) SendMessageW(FHandle, BM_SETSTYLE, ButtonStyle(), TRUE);
}

void TButton::Click() {
    if (FModalResult != mrNone) {
        TWinControl* top = FParent;
        while (top && top->Parent()) top = top->Parent();
        if (auto* form = dynamic_cast<TForm*>(top)) form->SetModalResult(FModalResult);
    }
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<TControl*>(m.LParam);
        SetActive(focused == this || (FDefault && !dynamic_cast<TButton*>(focused)));
        m.Result = 0;
        return;
    }
    case CM_DIALOGKEY: {
        const TShiftState mods = KeyboardShiftState() & (ShiftBit(ssShift) | ShiftBit(ssCtrl) | ShiftBit(ssAlt));
        const bool mine = (m.WParam == VK_RETURN && FActive) || (m.WParam == VK_ESCAPE && FCancel);
        if (mine && mods == 0 && CanFocus()) {
            Click();
            m.Result = 1;
        } else {
            m.Result = 0;
        }
        return;
    }
    default: break;
    }
    TButtonControl::WndProc(m);
}

// ======================================================================
// TBitBtn

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(new TBitmap()) {
    FGlyph->OnChange = TNotifyEvent::Of<&TBitBtn::GlyphChanged>(this);
}

TBitBtn::~TBitBtn() { FGlyph->OnChange = nullptr; }

void TBitBtn::SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }

void TBitBtn::GlyphChanged(TObject*) { Invalidate(); }

void TBitBtn::SetNumGlyphs(int Value) {
    Value = Value < 1 ? 1 : Value > 4 ? 4 : Value;
    if (FNumGlyphs == Value) return;
    FNumGlyphs = Value;
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
    if (FSpacing == Value) return;
    FSpacing = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value) {
    if (FMargin == Value || Value < -1) return;
    FMargin = Value;
    Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    static const TModalResult results[] = {mrNone, mrOk,  mrCancel, mrNone,   mrYes, mrNo,
                                           mrNone, mrAbort, mrRetry, mrIgnore, mrAll};
    if (Value == bkCustom) return;
    SetModalResult(results[Value]);
    if (Value == bkOK || Value == bkYes) SetDefault(true);
    if (Value == bkCancel || Value == bkNo) SetCancel(true);
}


void TBitBtn::WndProc(TMessage& m) {
    if (m.Msg == CN_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
        m.Result = TRUE;
        return;
    }
    TButton::WndProc(m);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& Item) {
    HDC dc = Item.hDC;
    SavedDC saved(dc);
    const bool pressed = Item.itemState & ODS_SELECTED;
    const bool disabled = Item.itemState & ODS_DISABLED;
    RECT face = Item.rcItem;
    if (DefaultActive()) {
        FrameRect(dc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&face, -1, -1);
    }
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    SelectObject(dc, FFont->Handle());
    SetBkMode(dc, TRANSPARENT);
    const std::wstring text = ToWide(Caption());
    RECT measure{0, 0, 0, 0};
    if (!text.empty()) DrawTextW(dc, text.c_str(), int(text.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
    const bool hasGlyph = !FGlyph->Empty();
    const TPoint glyph = hasGlyph ? Point(FGlyph->Width() / FNumGlyphs, FGlyph->Height()) : Point(0, 0);
    TRect textRect;
    TPoint glyphPos;
    CalcGlyphLayout(Rect(face.left, face.top, face.right, face.bottom), glyph,
                    Point(measure.right, measure.bottom), 0, textRect, glyphPos, FSpacing, FMargin,
                    FMargin == -1 ? 2 : 0, FLayout);
    const int shift = pressed ? 1 : 0;
    if (hasGlyph) {
        const int cell = disabled && FNumGlyphs > 1 ? 1 : pressed && FNumGlyphs > 2 ? 2 : 0;
        HDC src = FGlyph->Canvas()->Handle();
        const COLORREF key = GetPixel(src, 0, FGlyph->Height() - 1);
        TransparentBlt(dc, glyphPos.X + shift, glyphPos.Y + shift, glyph.X, glyph.Y, src, cell * glyph.X, 0,
                       glyph.X, glyph.Y, key);
    }
    if (!text.empty()) {
        RECT t{textRect.Left + shift, textRect.Top + shift, textRect.Right + shift, textRect.Bottom + shift};
        SetTextColor(dc, ColorToRGB(disabled ? clGrayText : FFont->Color()));
        DrawTextW(dc, text.c_str(), int(text.size()), &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (Item.itemState & ODS_FOCUS) {
        RECT f = face;
        InflateRect(&f, -3, -3);
        DrawFocusRect(dc, &f);
    }
}

// ======================================================================
// TCheckBox

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 97;
    FHeight = 17;
}

void TCheckBox::CreateParams(TCreateParams& P) {
    TButtonControl::CreateParams(P);
    // The control steps its own state: the window only reports the click.
    P.Style |= BS_3STATE;
    if (FAlignment == taLeftJustify) P.Style |= BS_LEFTTEXT;
}

void TCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageW(FHandle, BM_SETCHECK, WPARAM(FState), 0);
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value) return;
    FState = Value;
    if (FHandle) SendMessageW(FHandle, BM_SETCHECK, WPARAM(Value), 0);
    if (!IsLoading()) Click();
}

void TCheckBox::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TCheckBox::ButtonClicked() {
    switch (FState) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

// ======================================================================
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 113;
    FHeight = 17;
}

void TRadioButton::CreateParams(TCreateParams& P) {
    TButtonControl::CreateParams(P);
    P.Style |= BS_RADIOBUTTON;
    if (FAlignment == taLeftJustify) P.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageW(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (FHandle) SendMessageW(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!Value) return;
    if (FParent)
        for (int i = 0; i < FParent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(FParent->Controls(i)); other && other != this)
                other->SetChecked(false);
    if (!IsLoading()) Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TRadioButton::ButtonClicked() { SetChecked(true); }

// ======================================================================
// TStaticText

TStaticText::TStaticText(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 65;
    FHeight = 17;
    FControlStyle |= csSetCaption;
}

void TStaticText::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    P.WinClassName = L"STATIC";
    P.SystemClass = true;
    P.Style &= ~WS_CLIPCHILDREN;
    // Clicks reach the control (a static window lets them through otherwise).
    P.Style |= SS_NOTIFY;
    static const DWORD align[] = {SS_LEFT, SS_RIGHT, SS_CENTER};
    P.Style |= align[FAlignment];
    if (!FShowAccelChar) P.Style |= SS_NOPREFIX;
    if (FBorderStyle == sbsSingle) P.Style |= WS_BORDER;
    if (FBorderStyle == sbsSunken) P.Style |= SS_SUNKEN;
}

void TStaticText::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TStaticText::SetBorderStyle(TStaticBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TStaticText::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    RecreateWnd();
}

// ======================================================================

void RegisterButtonsClasses() {
    const TEnumInfo& alignment = *FindEnum("TAlignment");
    const TEnumInfo& layout =
        RegisterEnum("TButtonLayout", {{"blGlyphLeft", blGlyphLeft}, {"blGlyphRight", blGlyphRight},
                                       {"blGlyphTop", blGlyphTop}, {"blGlyphBottom", blGlyphBottom}});
    const TEnumInfo& kind = RegisterEnum(
        "TBitBtnKind", {{"bkCustom", bkCustom}, {"bkOK", bkOK}, {"bkCancel", bkCancel}, {"bkHelp", bkHelp},
                        {"bkYes", bkYes}, {"bkNo", bkNo}, {"bkClose", bkClose}, {"bkAbort", bkAbort},
                        {"bkRetry", bkRetry}, {"bkIgnore", bkIgnore}, {"bkAll", bkAll}});
    const TEnumInfo& state =
        RegisterEnum("TCheckBoxState", {{"cbUnchecked", cbUnchecked}, {"cbChecked", cbChecked}, {"cbGrayed", cbGrayed}});
    const TEnumInfo& border = RegisterEnum(
        "TStaticBorderStyle", {{"sbsNone", sbsNone}, {"sbsSingle", sbsSingle}, {"sbsSunken", sbsSunken}});
    RegisterPersistentClass<TButtonControl>("TButtonControl", "TWinControl").Ignore("WordWrap");
    RegisterComponentClass<TButton>("TButton", "TButtonControl")
        .Bool("Default", &TButton::Default, &TButton::SetDefault)
        .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel)
        .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
    RegisterComponentClass<TBitBtn>("TBitBtn", "TButton")
        .Object("Glyph", &TBitBtn::Glyph, "TBitmap")
        .Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs)
        .Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, layout)
        .Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing)
        .Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin)
        .Enum("Kind", &TBitBtn::Kind, &TBitBtn::SetKind, kind)
        .Ignore("Style");
    RegisterComponentClass<TCheckBox>("TCheckBox", "TButtonControl")
        .Enum("State", &TCheckBox::State, &TCheckBox::SetState, state)
        .Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked)
        .Bool("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed)
        .Enum("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment, alignment);
    RegisterComponentClass<TRadioButton>("TRadioButton", "TButtonControl")
        .Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked)
        .Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment, alignment);
    RegisterComponentClass<TStaticText>("TStaticText", "TWinControl")
        .Enum("Alignment", &TStaticText::Alignment, &TStaticText::SetAlignment, alignment)
        .Enum("BorderStyle", &TStaticText::BorderStyle, &TStaticText::SetBorderStyle, border)
        .Bool("ShowAccelChar", &TStaticText::ShowAccelChar, &TStaticText::SetShowAccelChar);
}
