#include "RzButton.h"

#include <uxtheme.h>
#include <vssym32.h>

#include "Buttons.h"
#include "Forms.h"
#include "Guards.h"
#include "RzGrafx.h"
#include "RzRegister.h"
#include "TypeInfo.h"
#include "WinText.h"

namespace {
void Line(TCanvas* c, TColor color, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

// A one-pixel box whose four corner pixels are left out.
void CutCornerBox(TCanvas* c, const TRect& r, TColor color) {
    Line(c, color, r.Left, r.Top + 1, r.Left, r.Bottom - 1);
    Line(c, color, r.Left + 1, r.Top, r.Right - 1, r.Top);
    Line(c, color, r.Right - 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    Line(c, color, r.Left + 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
}

TRect Inflated(TRect r, int dx, int dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
    return r;
}

RECT AsRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

}  // namespace

// ======================================================================
// TRzCustomButton

TRzCustomButton::TRzCustomButton(TComponent* AOwner) : TCustomControl(AOwner) {
    // The button clicks by itself (press and release inside), not on any release.
    SetControlStyle(csCaptureMouse | csSetCaption | csDoubleClicks | csReplicatable);
    FWidth = 115;
    FHeight = 17;
    SetTabStop(true);
}

bool TRzCustomButton::UsesThemes() const { return FThemeAware && RzVisualStylesOn(); }

#define RZ_BUTTON_SETTER(Name, Type, Field)  \
    void TRzCustomButton::Set##Name(Type v) { \
        if (v == Field) return;               \
        Field = v;                            \
        Invalidate();                         \
    }
RZ_BUTTON_SETTER(AlignmentVertical, TAlignmentVertical, FAlignmentVertical)
RZ_BUTTON_SETTER(HighlightColor, TColor, FHighlightColor)
RZ_BUTTON_SETTER(HotTrackColor, TColor, FHotTrackColor)
RZ_BUTTON_SETTER(HotTrackColorType, TRzHotTrackColorType, FHotTrackColorType)
RZ_BUTTON_SETTER(LightTextStyle, bool, FLightTextStyle)
RZ_BUTTON_SETTER(TextStyle, TTextStyle, FTextStyle)
RZ_BUTTON_SETTER(TextHighlightColor, TColor, FTextHighlightColor)
RZ_BUTTON_SETTER(TextShadowColor, TColor, FTextShadowColor)
RZ_BUTTON_SETTER(TextShadowDepth, int, FTextShadowDepth)
RZ_BUTTON_SETTER(ThemeAware, bool, FThemeAware)
RZ_BUTTON_SETTER(HotTrack, bool, FHotTrack)
RZ_BUTTON_SETTER(TransparentCorners, bool, FTransparent)
#undef RZ_BUTTON_SETTER

void TRzCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        if (!Focused() && CanFocus()) SetFocus();
        if (Focused()) {
            FPressed = true;
            RedrawButton();
            FDragging = true;
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TRzCustomButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (FDragging) {
        bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
        if (inside != FPressed) {
            FPressed = inside;
            RedrawButton();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TRzCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        // Only a release that ends a press made here is a click.
        if (FDragging) {
            FDragging = false;
            FPressed = false;
            if (X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight()) PressAndClick();
        }
        RedrawButton();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TRzCustomButton::PressAndClick() {
    RedrawButton();
    Click();
}

void TRzCustomButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomControl::WndProc(Message);
        FocusStateChanged();
        return;
    default:
        TCustomControl::WndProc(Message);
    }
}

void TRzCustomButton::CMEnabledChanged(TMessage& Message) {
    // The class library moves the focus away from a disabled window.
    TCustomControl::CMEnabledChanged(Message);
    Invalidate();
}

void TRzCustomButton::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    Repaint();
}

void TRzCustomButton::InvalidateHotTrackArea() {
    if (!(FHotTrack || UsesThemes()) || !HandleAllocated()) return;
    RECT r = AsRECT(HotTrackArea());
    InvalidateRect(FHandle, &r, FALSE);
}

void TRzCustomButton::CMMouseEnter(TMessage& Message) {
    if (ComponentState() & csDesigning) return;
    FMouseOver = true;
    TCustomControl::CMMouseEnter(Message);
    if (OnMouseEnter) OnMouseEnter(this);
    InvalidateHotTrackArea();
}

void TRzCustomButton::CMMouseLeave(TMessage& Message) {
    FMouseOver = false;
    TCustomControl::CMMouseLeave(Message);
    if (OnMouseLeave) OnMouseLeave(this);
    InvalidateHotTrackArea();
}

void TRzCustomButton::PaintBackground(HDC DC, const RECT& R) {
    if (FTransparent) {
        PaintParentCorners(DC);
        return;
    }
    TCustomControl::PaintBackground(DC, R);
}

void TRzCustomButton::PaintCaption(TCanvas* Canvas, TRect Rect, UINT Format) {
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->SetFont(Font());
    HDC dc = Canvas->Handle();
    std::wstring text = ToWide(Caption());
    RECT calc = AsRECT(Rect);
    DrawTextW(dc, text.c_str(), int(text.size()), &calc, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
    int h = calc.bottom - calc.top;
    switch (FAlignmentVertical) {
    case avTop: Rect.Bottom = Rect.Top + h; break;
    case avCenter:
        Rect.Top = (Rect.Top + Rect.Bottom - h) / 2;
        Rect.Bottom = Rect.Top + h;
        break;
    case avBottom: Rect.Top = Rect.Bottom - h - 1; break;
    }
    SetBkMode(dc, TRANSPARENT);
    auto pass = [&](TColor color, int dx, int dy) {
        SetTextColor(dc, RzRGBOf(color));
        RECT r = AsRECT(Rect);
        OffsetRect(&r, dx, dy);
        DrawTextW(dc, text.c_str(), int(text.size()), &r, Format);
    };
    TColor face = Font()->Color();
    if (Enabled()) {
        switch (FTextStyle) {
        case tsRaised:
            if (!FLightTextStyle) pass(FTextShadowColor, 1, 1);
            pass(FTextHighlightColor, -1, -1);
            break;
        case tsRecessed:
            pass(FTextHighlightColor, 1, 1);
            if (!FLightTextStyle) pass(FTextShadowColor, -1, -1);
            break;
        case tsShadow:
            if (Format & DT_RIGHT) pass(FTextShadowColor, 0, FTextShadowDepth);
            else pass(FTextShadowColor, FTextShadowDepth, FTextShadowDepth);
            break;
        default: break;
        }
        if (Format & DT_RIGHT) {
            Rect.Left -= FTextShadowDepth;
            Rect.Right -= FTextShadowDepth;
        }
    } else {
        face = clGrayText;
    }
    pass(face, 0, 0);
    Canvas->Brush()->SetStyle(bsSolid);
}

// ======================================================================
// TRzButton

TRzButton::TRzButton(TComponent* AOwner) : TRzCustomButton(AOwner) {
    FWidth = 75;
    FHeight = 25;
    FColor = clBtnFace;
    FParentColor = false;
}

void TRzButton::CreateWnd() {
    TRzCustomButton::CreateWnd();
    FDefaultActive = FDefault;
}

void TRzButton::SetHotTrack(bool v) {
    if (v == HotTrack()) return;
    TRzCustomButton::SetHotTrack(v);
    SetTransparentCorners(v);
    if (HandleAllocated()) InvalidateRect(FHandle, nullptr, TRUE);
}

void TRzButton::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}

void TRzButton::SetFrameColor(TColor v) {
    if (v == FFrameColor) return;
    FFrameColor = v;
    Invalidate();
}

void TRzButton::SetShowDownPattern(bool v) {
    if (v == FShowDownPattern) return;
    FShowDownPattern = v;
    Invalidate();
}

void TRzButton::SetShowFocusRect(bool v) {
    if (v == FShowFocusRect) return;
    FShowFocusRect = v;
    Invalidate();
}

void TRzButton::SetDefault(bool v) {
    if (v == FDefault) return;
    FDefault = v;
    if (!HandleAllocated()) return;
    // The form tells its controls who has the focus, so that the
    // default-active flags follow; a button outside a form has none to ask.
    if (TForm* form = GetParentForm(this))
        form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TRzButton::BroadcastGroup() {
    TWinControl* parent = Parent();
    if (!parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i)
        parent->Controls(i)->Perform(CM_GROUPBUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(this));
}

void TRzButton::SetDown(bool v) {
    if (FGroupIndex == 0) v = false;
    if (v == Down()) return;
    if (Down() && !FAllowAllUp && FGroupIndex != 0) return;
    FState = v ? bsExclusive : bsUp;
    Invalidate();
    if (v) BroadcastGroup();
}

void TRzButton::SetAllowAllUp(bool v) {
    if (v == FAllowAllUp) return;
    FAllowAllUp = v;
    BroadcastGroup();
}

void TRzButton::SetGroupIndex(int v) {
    if (v == FGroupIndex) return;
    FGroupIndex = v;
    BroadcastGroup();
}

void TRzButton::PressAndClick() {
    if (FGroupIndex != 0) SetDown(!Down());
    else RedrawButton();
    FClicking = true;
    ScopeExit done([this] { FClicking = false; });
    Click();
}

void TRzButton::Click() {
    if (TForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
    TRzCustomButton::Click();
}

void TRzButton::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE && !(Shift & ShiftBit(ssAlt))) {
        FKeyToggle = true;
        FPressed = true;
        RedrawButton();
    }
    TRzCustomButton::KeyDown(Key, Shift);
}

void TRzButton::KeyUp(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        FPressed = false;
        if (FKeyToggle) {
            FKeyToggle = false;
            PressAndClick();
        }
        RedrawButton();
    }
    TRzCustomButton::KeyUp(Key, Shift);
}

void TRzButton::FocusChanged(TControl* Focused) {
    // A focused push button of either kind takes the default role from the rest.
    const bool button = dynamic_cast<TRzButton*>(Focused) || dynamic_cast<TButton*>(Focused);
    bool active = button ? Focused == this : FDefault;
    if (active == FDefaultActive) return;
    FDefaultActive = active;
    Invalidate();
}

void TRzButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KILLFOCUS:
        TRzCustomButton::WndProc(Message);
        FKeyToggle = false;
        FPressed = false;
        RedrawButton();
        return;
    case CM_FOCUSCHANGED:
        FocusChanged(reinterpret_cast<TControl*>(Message.LParam));
        Message.Result = 0;
        return;
    case CM_GROUPBUTTONPRESSED: {
        auto* sender = reinterpret_cast<TRzButton*>(Message.LParam);
        if (int(Message.WParam) == FGroupIndex && sender && sender != this) {
            if (sender->Down() && Down()) {
                FState = bsUp;
                Invalidate();
            }
            FAllowAllUp = sender->FAllowAllUp;
        }
        Message.Result = 0;
        return;
    }
    case CM_DIALOGCHAR:
        if (RzIsAccel(char(Message.WParam), Caption()) && CanFocus()) {
            Click();
            Message.Result = 1;
            return;
        }
        Message.Result = 0;
        return;
    case CM_DIALOGKEY: {
        TShiftState shift = KeyboardShiftState() & (ShiftBit(ssShift) | ShiftBit(ssCtrl) | ShiftBit(ssAlt));
        bool mine = (Message.WParam == VK_RETURN && FDefaultActive) || (Message.WParam == VK_ESCAPE && FCancel);
        if (mine && shift == 0 && CanFocus()) {
            if (!FDropDownOnEnter) FSuppressDropDown = true;
            {
                ScopeExit done([this] { FSuppressDropDown = false; });
                Click();
            }
            Message.Result = 1;
            return;
        }
        Message.Result = 0;
        return;
    }
    default:
        TRzCustomButton::WndProc(Message);
    }
}

TRect TRzButton::CaptionArea() const {
    TRect r = Inflated(ClientRect(), -5, -5);
    if (PressedVisual() && !(HotTrack() || UsesThemes())) {
        r.Left += 1;
        r.Right += 1;
        r.Top += 1;
        r.Bottom += 1;
    }
    return r;
}

void TRzButton::PaintCaptionArea() {
    UINT flags = RzBiDiAlignmentFlags(this, FAlignment) | DT_WORDBREAK | DT_EXPANDTABS;
    PaintCaption(Canvas(), CaptionArea(), flags);
}

void TRzButton::MakeDownPattern(TBitmap* Bitmap) {
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(8, 8);
    TCanvas* c = Bitmap->Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(Rect(0, 0, 8, 8));
    TColor dot = RzRGBOf(Color()) == 0xC0C0C0 ? TColor(0x808080) : TColor(0xC0C0C0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if ((x & 1) == (y & 1)) c->SetPixels(x, y, dot);
}

void TRzButton::Paint() {
    TCanvas* cv = Canvas();
    const bool themed = UsesThemes();
    const bool pressedVisual = PressedVisual();
    const bool focused = Focused();
    const bool inGroup = FGroupIndex != 0;
    TRect fr = Inflated(ClientRect(), (HotTrack() || themed) ? -3 : -4, (HotTrack() || themed) ? -3 : -4);
    if (inGroup && pressedVisual) {
        fr.Left += 1;
        fr.Right += 1;
        fr.Top += 1;
        fr.Bottom += 1;
    }
    TRect r = ClientRect();
    HDC dc = cv->Handle();

    if (themed) {
        HTHEME theme = OpenThemeData(FHandle, L"BUTTON");
        int state = !Enabled()              ? PBS_DISABLED
                    : pressedVisual         ? PBS_PRESSED
                    : FMouseOver            ? PBS_HOT
                    : (inGroup || !(FDefaultActive || focused) || FPressed) ? PBS_NORMAL
                                                                             : PBS_DEFAULTED;
        RECT rr = AsRECT(r);
        if (HandleAllocated()) DrawThemeParentBackground(FHandle, dc, &rr);
        if (theme) {
            DrawThemeBackground(theme, dc, BP_PUSHBUTTON, state, &rr, nullptr);
            CloseThemeData(theme);
        } else {
            DrawFrameControl(dc, &rr, DFC_BUTTON, DFCS_BUTTONPUSH | (pressedVisual ? DFCS_PUSHED : 0));
        }
    } else if (HotTrack() && Enabled()) {
        TColor p = Parent() ? Parent()->Color() : clBtnFace;
        TColor d = DarkenColor(p, 20), l = LightenColor(p, 20);
        Line(cv, d, r.Left, r.Top + 2, r.Left, r.Bottom - 2);
        Line(cv, d, r.Left + 2, r.Top, r.Right - 2, r.Top);
        cv->SetPixels(r.Left + 1, r.Top + 1, d);
        cv->SetPixels(r.Right - 2, r.Top + 1, d);
        cv->SetPixels(r.Left + 1, r.Bottom - 2, d);
        Line(cv, l, r.Right - 1, r.Top + 2, r.Right - 1, r.Bottom - 2);
        Line(cv, l, r.Left + 2, r.Bottom - 1, r.Right - 2, r.Bottom - 1);
        cv->SetPixels(r.Right - 2, r.Bottom - 2, l);
        r = Inflated(r, -1, -1);
        CutCornerBox(cv, r, FFrameColor);
        r = Inflated(r, -1, -1);
        auto gradientFace = [&] {
            Line(cv, DarkenColor(Color(), 20), r.Left, r.Bottom - 2, r.Right, r.Bottom - 2);
            Line(cv, DarkenColor(Color(), 30), r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
            TRect top{r.Left, r.Top, r.Right, r.Bottom - 2};
            if (FullColorDisplay) {
                GradientPaint(cv, top, gdHorizontalEnd, 1, DarkenColor(Color(), 10), LightenColor(Color(), 30));
            } else {
                cv->Brush()->SetColor(Color());
                cv->FillRect(top);
            }
        };
        if (pressedVisual) {
            cv->Brush()->SetColor(DarkenColor(Color(), 10));
            cv->FillRect(r);
        } else if (FMouseOver) {
            gradientFace();
            TColor t, b;
            if (HotTrackColorType() == htctActual) {
                b = HotTrackColor();
                t = MixColors(clWhite, HotTrackColor(), 190);
            } else {
                t = HueOppositeColor(HotTrackColor(), 180);
                b = DarkenColor(t, 30);
            }
            PaintGradientFrame(cv, r, gdHorizontalEnd, b, t);
        } else if (inGroup || !(FDefaultActive || focused) || FPressed) {
            gradientFace();
        } else {
            gradientFace();
            TColor h = HighlightColor();
            if (ColorsAlike(h, clBtnFace)) h = DarkenColor(h, 30);
            TColor c = LightenColor(Color(), 30);
            PaintGradientFrame(cv, r, gdHorizontalEnd, MixColors(h, c, 160), MixColors(h, c, 60));
        }
    } else if (HotTrack()) {
        r = Inflated(r, -1, -1);
        CutCornerBox(cv, r, Color() == clBtnFace ? LightenColor(clBtnShadow, 30) : DarkenColor(Color(), 80));
        r = Inflated(r, -1, -1);
        cv->Brush()->SetColor(Color());
        cv->FillRect(r);
    } else {
        if (!inGroup && (((FDefaultActive || focused) && !FPressed) || FClicking)) {
            cv->Brush()->SetColor(clWindowFrame);
            cv->FrameRect(r);
            r = Inflated(r, -1, -1);
        }
        if (Color() == clBtnFace) {
            if (inGroup) r = PaintBorder(cv, r, pressedVisual ? fsLowered : fsButtonUp);
            else r = PaintButtonBorder(cv, r, FPressed);
        } else if (!inGroup) {
            r = PaintColorButtonBorder(cv, r, Color(), FPressed);
        } else if (pressedVisual) {
            r = PaintColorBorder(cv, r, Color(), fsLowered);
        } else {
            r = PaintColorButtonBorder(cv, r, Color(), false);
        }
        cv->Brush()->SetColor(Color());
        cv->FillRect(r);
    }

    if (inGroup && FState == bsExclusive && FShowDownPattern) {
        TBitmap pattern;
        MakeDownPattern(&pattern);
        HBRUSH brush = CreatePatternBrush(pattern.Handle());
        RECT rr = AsRECT(r);
        FillRect(cv->Handle(), &rr, brush);
        DeleteObject(brush);
    }

    cv->SetFont(Font());
    cv->Brush()->SetColor(Color());
    PaintCaptionArea();
    if (focused && FShowFocusRect) PaintDottedFrame(cv, fr);
}

void TRzButton::PaintParentCorners(HDC DC) {
    SavedDC saved(DC);
    TRect r = Inflated(ClientRect(), Enabled() ? -1 : -2, Enabled() ? -1 : -2);
    ExcludeClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
    r = Inflated(r, 1, -1);
    ExcludeClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
    r = Inflated(r, -2, 2);
    ExcludeClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
    PaintParentBackground(this, DC, true);
}

// ======================================================================

void RegisterRzButton() {
    if (FindClassInfo("TRzButton")) return;
    RzRegisterGraphicsObjects();
    auto base = RzBaseClass({"TCustomControl", "TWinControl"});
    auto c = RegisterPersistentClass<TRzCustomButton>("TRzCustomButton", base);
    RzRegisterControlBasics(c);
    RzRegisterTextBasics(c);
    c.Enum("AlignmentVertical", &TRzCustomButton::SetAlignmentVertical, AlignmentVerticalInfo())
        .Bool("HotTrack", &TRzCustomButton::SetHotTrack)
        .Color("HighlightColor", &TRzCustomButton::SetHighlightColor)
        .Color("HotTrackColor", &TRzCustomButton::SetHotTrackColor)
        .Enum("HotTrackColorType", &TRzCustomButton::SetHotTrackColorType, HotTrackColorTypeInfo())
        .Bool("LightTextStyle", &TRzCustomButton::SetLightTextStyle)
        .Enum("TextStyle", &TRzCustomButton::SetTextStyle, TextStyleInfo())
        .Color("TextHighlightColor", &TRzCustomButton::SetTextHighlightColor)
        .Color("TextShadowColor", &TRzCustomButton::SetTextShadowColor)
        .Int("TextShadowDepth", &TRzCustomButton::SetTextShadowDepth)
        .Bool("ThemeAware", &TRzCustomButton::SetThemeAware)
        .Event("OnMouseEnter", &TRzCustomButton::OnMouseEnter)
        .Event("OnMouseLeave", &TRzCustomButton::OnMouseLeave)
        .Ignore("About")
        .Ignore("Action");
    RegisterComponentClass<TRzButton>("TRzButton", "TRzCustomButton")
        .Enum("Alignment", &TRzButton::SetAlignment, AlignmentInfo())
        .Bool("AllowAllUp", &TRzButton::SetAllowAllUp)
        .Bool("Cancel", &TRzButton::SetCancel)
        .Bool("Default", &TRzButton::SetDefault)
        .Bool("DropDownOnEnter", &TRzButton::SetDropDownOnEnter)
        .Bool("Down", &TRzButton::SetDown)
        .Color("FrameColor", &TRzButton::SetFrameColor)
        .Int("GroupIndex", &TRzButton::SetGroupIndex)
        .Int("ModalResult", &TRzButton::SetModalResult)
        .Bool("ShowDownPattern", &TRzButton::SetShowDownPattern)
        .Bool("ShowFocusRect", &TRzButton::SetShowFocusRect)
        .Custom("FrameFlat", [](TRzButton* b, const FormValue& v, TReadContext&) {
            b->SetHotTrack(typeinfo_detail::AsBool(v));
        });
}
