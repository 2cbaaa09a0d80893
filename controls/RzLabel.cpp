#include "RzLabel.h"

#include <cmath>

#include "Guards.h"
#include "RzRegister.h"
#include "TypeInfo.h"
#include "WinText.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

void SetRectW(RECT& r, const TRect& t) { r = RECT{t.Left, t.Top, t.Right, t.Bottom}; }
}  // namespace

TRzLabel::TRzLabel(TComponent* AOwner) : TLabel(AOwner) {
    SetControlStyle(ControlStyle() | csOpaque | csReplicatable);
    FAutoSize = true;
    FWidth = 65;
    FHeight = 17;
    if (!BlinkingControlsList) BlinkingControlsList = new TRzBlinkingControlsList;
    BlinkingControlsList->Add(this);
    FInConstructor = true;
    SetColor(clBtnFace);
    SetParentColor(true);
    FInConstructor = false;
    FSavedColor = FFaceColor = Font()->Color();
}

TRzLabel::~TRzLabel() {
    if (FFrameController) {
        FFrameController->UnlinkControl(this);
        FFrameController->RemoveFreeNotification(this);
        FFrameController = nullptr;
    }
    if (BlinkingControlsList) {
        BlinkingControlsList->Remove(this);
        ReleaseBlinkListIfEmpty();
    }
}

void TRzLabel::Loaded() {
    TLabel::Loaded();
    if (FRotation == roNone && FAngle != 0) FRotation = roFlat;
    if (FRotation != roNone && !IsTrueTypeFont(Font())) Font()->SetName("Verdana");
    FSavedColor = FFaceColor = Font()->Color();
    AdjustBounds();
}

void TRzLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TLabel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFrameController) FFrameController = nullptr;
}

void TRzLabel::SetFrameController(TRzFrameController* v) { RzSetFrameController(this, this, FFrameController, v); }

void TRzLabel::FrameControllerChanged() {
    if (!FFrameController || !FFrameController->FrameVisible()) return;
    RzTakeBorderFromController(this, FFrameController, FFrameControllerNotifications);
}

// ---------------------------------------------------------------- messages

void TRzLabel::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case CM_BLINKQUERY:
            TLabel::WndProc(Message);
            Message.Result = FBlinking ? 1 : 0;
            return;
        case CM_BLINKSTATE:
            TLabel::WndProc(Message);
            if (FBlinking) ApplyBlinkState(Message.WParam != 0);
            return;
        default:
            TLabel::WndProc(Message);
    }
}

void TRzLabel::CMFontChanged(TMessage& Message) {
    TLabel::CMFontChanged(Message);
    if (IsLoading()) return;
    if (!FBlinking) FSavedColor = FFaceColor = Font()->Color();
    if (FAngle != 0 && !IsTrueTypeFont(Font())) SetAngle(0);
    AdjustBounds();
    Invalidate();
}

void TRzLabel::CMTextChanged(TMessage& Message) {
    TLabel::CMTextChanged(Message);
    AdjustBounds();
    Invalidate();
}

void TRzLabel::CMMouseEnter(TMessage& Message) {
    if (!(ComponentState() & csDesigning)) {
        if (FFlyByEnabled && !FFlyByActive) {
            FFlyBySaved = Font()->Color();
            FFlyByActive = true;
            Font()->SetColor(FFlyByColor);
        }
        TLabel::CMMouseEnter(Message);
        if (OnMouseEnter) OnMouseEnter(this);
    }
}

void TRzLabel::CMMouseLeave(TMessage& Message) {
    if (FFlyByEnabled && FFlyByActive) {
        FFlyByActive = false;
        Font()->SetColor(FFlyBySaved);
    }
    TLabel::CMMouseLeave(Message);
    if (OnMouseLeave) OnMouseLeave(this);
}

void TRzLabel::CMParentColorChanged(TMessage& Message) {
    if (FInConstructor) return;
    TLabel::CMParentColorChanged(Message);
    Invalidate();
}

// ---------------------------------------------------------------- blinking

void TRzLabel::ApplyBlinkState(bool On) {
    FBlinkShown = On;
    FFaceColor = On ? FBlinkColor : FSavedColor;
    Refresh();
}

void TRzLabel::SetBlinking(bool v) {
    if (v == FBlinking) return;
    FBlinking = v;
    if (!v) {
        FBlinkShown = false;
        FFaceColor = FSavedColor;
        Repaint();
    }
}

Word TRzLabel::BlinkIntervalOff() const { return BlinkingControlsList ? BlinkingControlsList->IntervalOff() : 500; }
void TRzLabel::SetBlinkIntervalOff(Word v) {
    if (BlinkingControlsList) BlinkingControlsList->SetIntervalOff(v);
}
Word TRzLabel::BlinkIntervalOn() const { return BlinkingControlsList ? BlinkingControlsList->IntervalOn() : 500; }
void TRzLabel::SetBlinkIntervalOn(Word v) {
    if (BlinkingControlsList) BlinkingControlsList->SetIntervalOn(v);
}

// ---------------------------------------------------------------- setters

#define RZ_REDRAW_SETTER(Name, Type, Field) \
    void TRzLabel::Set##Name(Type v) {      \
        if (v == Field) return;             \
        Field = v;                          \
        Invalidate();                       \
    }
#define RZ_SIZE_SETTER(Name, Type, Field) \
    void TRzLabel::Set##Name(Type v) {    \
        if (v == Field) return;           \
        Field = v;                        \
        AdjustBounds();                   \
        Invalidate();                     \
    }

RZ_REDRAW_SETTER(BlinkColor, TColor, FBlinkColor)
RZ_SIZE_SETTER(BevelWidth, int, FBevelWidth)
RZ_REDRAW_SETTER(BorderColor, TColor, FBorderColor)
RZ_SIZE_SETTER(BorderInner, TFrameStyleEx, FBorderInner)
RZ_SIZE_SETTER(BorderOuter, TFrameStyleEx, FBorderOuter)
RZ_SIZE_SETTER(BorderSides, TSides, FBorderSides)
RZ_REDRAW_SETTER(BorderHighlight, TColor, FBorderHighlight)
RZ_REDRAW_SETTER(BorderShadow, TColor, FBorderShadow)
RZ_SIZE_SETTER(BorderWidth, int, FBorderWidth)
RZ_REDRAW_SETTER(FlatColor, TColor, FFlatColor)
RZ_REDRAW_SETTER(FlatColorAdjustment, int, FFlatColorAdjustment)
RZ_REDRAW_SETTER(CenterPoint, TCenterPoint, FCenterPoint)
RZ_REDRAW_SETTER(FlyByColor, TColor, FFlyByColor)
RZ_REDRAW_SETTER(LightTextStyle, bool, FLightTextStyle)
RZ_REDRAW_SETTER(TextMargin, int, FTextMargin)
RZ_REDRAW_SETTER(TextStyle, TTextStyle, FTextStyle)
RZ_REDRAW_SETTER(HighlightColor, TColor, FHighlightColor)
RZ_REDRAW_SETTER(ShadowColor, TColor, FShadowColor)
RZ_REDRAW_SETTER(ShadowDepth, int, FShadowDepth)

void TRzLabel::SetAutoSize(bool v) {
    if (v == AutoSize()) return;
    TLabel::SetAutoSize(v);
    AdjustBounds();
}

void TRzLabel::SetCondenseCaption(TRzCondenseCaption v) {
    if (v == FCondenseCaption) return;
    FCondenseCaption = v;
    if (v != ccNone) SetAutoSize(false);
    Invalidate();
}

void TRzLabel::SetFlyByEnabled(bool v) {
    if (v == FFlyByEnabled) return;
    FFlyByEnabled = v;
    // Only a fly-by colour that is showing has a colour to give back.
    if (!v && FFlyByActive) {
        FFlyByActive = false;
        Font()->SetColor(FFlyBySaved);
    }
    Invalidate();
}

void TRzLabel::UseVerdanaUnlessTrueType(int NewValue) {
    if (!IsLoading() && NewValue != 0 && !IsTrueTypeFont(Font())) Font()->SetName("Verdana");
}

void TRzLabel::SetAngle(int v) {
    v = ((v % 360) + 360) % 360;
    if (v == FAngle) return;
    FAngle = v;
    UseVerdanaUnlessTrueType(v);
    // The rotation field is set directly: its writer would reset the angle.
    if (FAngle != 0 && FRotation == roNone) FRotation = roFlat;
    AdjustBounds();
    Repaint();
}

void TRzLabel::SetRotation(TRotation v) {
    if (v == FRotation) return;
    UseVerdanaUnlessTrueType(v);
    FRotation = v;
    // While loading, an angle read before the rotation must survive.
    if (!IsLoading()) {
        if (v == roNone || v == roFlat) FAngle = 0;
        if (v == roFlat) FCenterPoint = cpCenter;
    }
    Invalidate();
}

// ---------------------------------------------------------------- sizes

int TRzLabel::OuterInnerSize(TFrameStyleEx Style) const {
    switch (Style) {
        case fsNone: return 0;
        case fsFlat: return 1;
        case fsStatus: case fsPopup: return FBevelWidth;
        default: return 2;  // groove to button up, flat bold, flat rounded
    }
}

void TRzLabel::RemoveBorderSizes(TRect& R, bool WithBorderWidth) const {
    if (WithBorderWidth) R = TRect{R.Left + FBorderWidth, R.Top + FBorderWidth, R.Right - FBorderWidth,
                                   R.Bottom - FBorderWidth};
    for (TFrameStyleEx st : {FBorderOuter, FBorderInner}) {
        int n = OuterInnerSize(st);
        if (FBorderSides & SideBit(sdLeft)) R.Left += n;
        if (FBorderSides & SideBit(sdTop)) R.Top += n;
        if (FBorderSides & SideBit(sdRight)) R.Right -= n;
        if (FBorderSides & SideBit(sdBottom)) R.Bottom -= n;
    }
}

void TRzLabel::AddBorderSizes(TRect& R) const {
    int per = OuterInnerSize(FBorderOuter) + FBorderWidth + OuterInnerSize(FBorderInner);
    if (FBorderSides & SideBit(sdLeft)) R.Right += per;
    if (FBorderSides & SideBit(sdRight)) R.Right += per;
    if (FBorderSides & SideBit(sdTop)) R.Bottom += per;
    if (FBorderSides & SideBit(sdBottom)) R.Bottom += per;
    if (FRotation == roNone && FTextStyle == tsShadow) {
        R.Right += FShadowDepth;
        R.Bottom += FShadowDepth;
    } else if (FRotation == roFlat && FAngle != 0 && FAngle != 180) {
        if (FTextStyle == tsShadow) {
            R.Right += FShadowDepth / 2;
            R.Bottom += FShadowDepth / 2;
        }
        int w = R.Width(), h = R.Height();
        if (FAngle == 90 || FAngle == 270) {
            R.Right = R.Left + h;
            R.Bottom = R.Top + w;
        } else {
            double a = (FAngle % 90) * kPi / 180;
            R.Right = R.Left + RoundHalfEven(std::cos(a) * w + std::sin(a) * h);
            R.Bottom = R.Top + RoundHalfEven(std::sin(a) * w + std::cos(a) * h);
        }
    }
}

UINT TRzLabel::TextFlags() const {
    UINT f = RzBiDiAlignmentFlags(this, Alignment()) | DT_EXPANDTABS;
    if (WordWrap()) f |= DT_WORDBREAK;
    if (!ShowAccelChar()) f |= DT_NOPREFIX;
    static const UINT condense[3] = {0, DT_END_ELLIPSIS, DT_PATH_ELLIPSIS};
    return f | condense[FCondenseCaption];
}

void TRzLabel::AdjustBounds() {
    if (!AutoSize() || (ComponentState() & (csReading | csLoading))) return;
    TRect r = ClientRect();
    RemoveBorderSizes(r, true);
    r = TRect{0, 0, r.Width(), r.Height()};
    RECT rc;
    SetRectW(rc, r);
    {
        WindowDC screen(nullptr);
        if (!screen) return;
        const HDC dc = screen.Get();
        std::wstring text = ToWide(GetLabelText());
        if (text.empty()) text = L" ";  // an empty label keeps one line's height
        SelectGuard sel(dc, Font()->Handle());
        DrawTextW(dc, text.c_str(), int(text.size()), &rc, TextFlags() | DT_CALCRECT);
    }
    TRect box{0, 0, int(rc.right - rc.left), int(rc.bottom - rc.top)};
    AddBorderSizes(box);
    int left = Left();
    if (RzBiDiAlignment(this, Alignment()) == taRightJustify) left += Width() - box.Width();
    SetBounds(left, Top(), box.Width(), box.Height());
}

// ---------------------------------------------------------------- painting

TPoint TRzLabel::RotationOrigin() const {
    int w = Width(), h = Height(), bw = FBorderWidth;
    if (FRotation == roFlat) return {w / 2, h / 2};
    switch (FCenterPoint) {
        case cpUpperLeft: return {bw, bw};
        case cpUpperCenter: return {w / 2, bw};
        case cpUpperRight: return {w - bw, bw};
        case cpLeftCenter: return {bw, h / 2};
        case cpRightCenter: return {w - bw, h / 2};
        case cpLowerLeft: return {bw, h - bw};
        case cpLowerCenter: return {w / 2, h - bw};
        case cpLowerRight: return {w - bw, h - bw};
        default: return {w / 2, h / 2};
    }
}

void TRzLabel::ArcRadii(int& Rx, int& Ry) const {
    int w = Width(), h = Height(), d = 2 * FBorderWidth;
    switch (FCenterPoint) {
        case cpUpperCenter: case cpLowerCenter: Rx = w / 2 - d; Ry = h - d; break;
        case cpLeftCenter: case cpRightCenter: Rx = w - d; Ry = h / 2 - d; break;
        case cpCenter: Rx = w / 2 - d; Ry = h / 2 - d; break;
        default: Rx = w - d; Ry = h - d; break;
    }
}

void TRzLabel::Paint() {
    TCanvas* canvas = Canvas();
    TRect inner = PaintBorders(canvas, TRect{0, 0, Width(), Height()}, FBorderOuter, Transparent(),
                               Parent() ? Parent()->Color() : Color(), Color(), FFlatColorAdjustment, FFlatColor,
                               FBorderShadow, FBorderHighlight, FBorderColor, FBevelWidth, FBorderSides,
                               FBorderWidth, FBorderInner);
    HDC dc = canvas->Handle();
    if (!Transparent()) {
        HBRUSH b = CreateSolidBrush(RzRGBOf(Color()));
        RECT rc;
        SetRectW(rc, inner);
        FillRect(dc, &rc, b);
        DeleteObject(b);
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    if (FRotation == roCurve)
        PaintArcText(dc);
    else
        PaintLabelText(dc);
    SetBkMode(dc, oldMode);
}

void TRzLabel::ApplyVerticalLayout(HDC dc, const std::wstring& Text, UINT Flags, RECT& R) const {
    if (Layout() == tlCenter || Layout() == tlBottom) {
        RECT m = R;
        DrawTextW(dc, Text.c_str(), int(Text.size()), &m, Flags | DT_CALCRECT);
        int diff = int(R.bottom - R.top) - int(m.bottom - m.top);
        int dy = Layout() == tlBottom ? diff : diff / 2;
        OffsetRect(&R, 0, dy);
    }
    if ((Flags & DT_RIGHT) && FTextStyle == tsShadow) OffsetRect(&R, -FShadowDepth, 0);
    if (Layout() == tlBottom && FTextStyle == tsShadow) OffsetRect(&R, 0, -FShadowDepth);
}

void TRzLabel::PaintLabelText(HDC dc) {
    TRect r = ClientRect();
    RemoveBorderSizes(r, true);
    r = TRect{r.Left + FTextMargin, r.Top + FTextMargin, r.Right - FTextMargin, r.Bottom - FTextMargin};
    UINT flags = TextFlags();
    AnsiString caption = GetLabelText();
    std::wstring text = ToWide(caption);

    struct Pass {
        TColor color;
        int dx, dy;
    };
    Pass passes[3];
    int n = 0;
    int e = FTextStyle == tsShadow ? FShadowDepth / 2 : 0;
    bool rotated = FRotation == roFlat;
    if (!Enabled()) {
        passes[n++] = {clGrayText, 0, 0};
    } else {
        switch (FTextStyle) {
            case tsRaised:
                if (!FLightTextStyle) passes[n++] = {FShadowColor, 1, 1};
                passes[n++] = {FHighlightColor, -1, -1};
                break;
            case tsRecessed:
                passes[n++] = {FHighlightColor, 1, 1};
                if (!FLightTextStyle) passes[n++] = {FShadowColor, -1, -1};
                break;
            case tsShadow:
                if (rotated)
                    passes[n++] = {FShadowColor, e, e};
                else
                    passes[n++] = {FShadowColor, FShadowDepth, FShadowDepth};
                break;
            default: break;
        }
        if (rotated && FTextStyle == tsShadow)
            passes[n++] = {FFaceColor, -e, -e};
        else
            passes[n++] = {FFaceColor, 0, 0};
    }

    HFONT font = Font()->Handle();
    if (!rotated) {
        SelectGuard sel(dc, font);
        for (int i = 0; i < n; ++i) {
            RECT rc;
            SetRectW(rc, r);
            ApplyVerticalLayout(dc, text, flags, rc);
            OffsetRect(&rc, passes[i].dx, passes[i].dy);
            SetTextColor(dc, RzRGBOf(passes[i].color));
            DrawTextW(dc, text.c_str(), int(text.size()), &rc, flags);
        }
        return;
    }

    // Flat rotation about the label's centre.
    TPoint p = RotationOrigin();
    int th, tw;
    {
        SelectGuard sel(dc, font);
        SIZE s{};
        GetTextExtentPoint32W(dc, L"Pp", 2, &s);
        th = s.cy;
        GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &s);
        tw = s.cx;
    }
    double q = th / 4.0;
    double t = FAngle * kPi / 180 + kPi / 2;
    UINT align = 0;
    switch (FAngle) {
        case 0:
            if (Alignment() == taCenter)
                align = TA_CENTER;
            else if (Alignment() == taRightJustify)
                p.X = r.Right - tw - 2 * e;
            else
                p.X = r.Left + e;
            p.Y -= (th + e) / 2;
            break;
        case 90:
            p.X -= RoundHalfEven(std::cos(t) * q);
            if (Alignment() == taCenter)
                p.Y = r.Bottom - (r.Bottom - (tw + e)) / 2;
            else if (Alignment() == taRightJustify)
                p.Y = r.Top + e + tw + e;
            else
                p.Y = r.Bottom - e;
            align = TA_BASELINE;
            break;
        case 180:
            if (Alignment() == taCenter)
                p.X = r.Right - (r.Right - (tw + e)) / 2;
            else if (Alignment() == taRightJustify)
                p.X = r.Left + tw + e;
            else
                p.X = r.Right - e;
            p.Y -= (th + e) / 4;
            align = TA_BASELINE;
            break;
        case 270:
            p.X -= RoundHalfEven(std::cos(t) * q);
            if (Alignment() == taCenter)
                p.Y = (r.Bottom - (tw + e)) / 2;
            else if (Alignment() == taRightJustify)
                p.Y = r.Bottom - (tw + e) - e;
            else
                p.Y = r.Top + e;
            align = TA_BASELINE;
            break;
        default:
            p.X -= RoundHalfEven(std::cos(t) * q);
            p.Y += RoundHalfEven(std::sin(t) * q);
            align = TA_CENTER | TA_BASELINE;
            break;
    }
    HFONT rotatedFont = CreateRotatedFont(Font(), FAngle);
    if (!rotatedFont) return;
    {
        SelectGuard sel(dc, rotatedFont);
        UINT oldAlign = SetTextAlign(dc, align);
        RECT clip;
        SetRectW(clip, r);
        for (int i = 0; i < n; ++i) {
            SetTextColor(dc, RzRGBOf(passes[i].color));
            ExtTextOutW(dc, p.X + passes[i].dx, p.Y + passes[i].dy, ETO_CLIPPED, &clip, text.c_str(),
                        UINT(text.size()), nullptr);
        }
        SetTextAlign(dc, oldAlign);
    }
    DeleteObject(rotatedFont);
}

void TRzLabel::PaintArcText(HDC dc) {
    TPoint o = RotationOrigin();
    int rx, ry;
    ArcRadii(rx, ry);
    // A radius of zero or less has no arc to follow.
    if (rx <= 0 || ry <= 0) return;
    std::wstring text = ToWide(GetLabelText());
    LOGFONTW lf = Font()->LogFont();
    double a = FAngle * kPi / 180;
    UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    for (wchar_t ch : text) {
        lf.lfEscapement = lf.lfOrientation = RoundHalfEven(a * 1800 / kPi);
        HFONT f = CreateFontIndirectW(&lf);
        if (!f) break;
        int h, ww;
        {
            SelectGuard sel(dc, f);
            SIZE s{};
            GetTextExtentPoint32W(dc, L"Yy", 2, &s);
            h = s.cy;
            GetTextExtentPoint32W(dc, L"w", 1, &s);
            ww = s.cx;
            int x = o.X - RoundHalfEven(std::sin(a) * (rx - h));
            int y = o.Y - RoundHalfEven(std::cos(a) * (ry - h));
            auto out = [&](TColor c, int dx, int dy) {
                SetTextColor(dc, RzRGBOf(c));
                TextOutW(dc, x + dx, y + dy, &ch, 1);
            };
            if (!Enabled()) {
                out(clBtnHighlight, 1, 1);
                out(clBtnShadow, 0, 0);
            } else {
                switch (FTextStyle) {
                    case tsRaised:
                        if (!FLightTextStyle) out(FShadowColor, 1, 1);
                        out(FHighlightColor, -1, -1);
                        break;
                    case tsRecessed:
                        out(FHighlightColor, 1, 1);
                        if (!FLightTextStyle) out(FShadowColor, -1, -1);
                        break;
                    case tsShadow: out(FShadowColor, FShadowDepth, FShadowDepth); break;
                    default: break;
                }
                out(FFaceColor, 0, 0);
            }
        }
        DeleteObject(f);
        a -= (ww + 2) / double(rx);
    }
    SetTextAlign(dc, oldAlign);
}

// ---------------------------------------------------------------- registry

void RegisterRzLabel() {
    if (FindClassInfo("TRzLabel")) return;
    RzRegisterGraphicsObjects();
    static const TEnumInfo& layout =
        RegisterEnum("TTextLayout", {{"tlTop", tlTop}, {"tlCenter", tlCenter}, {"tlBottom", tlBottom}});
    static const TEnumInfo& textStyle = RegisterEnum(
        "TTextStyle", {{"tsNormal", tsNormal}, {"tsRaised", tsRaised}, {"tsRecessed", tsRecessed}, {"tsShadow", tsShadow}});
    static const TEnumInfo& condense = RegisterEnum(
        "TRzCondenseCaption", {{"ccNone", ccNone}, {"ccAtEnd", ccAtEnd}, {"ccWithinPath", ccWithinPath}});
    static const TEnumInfo& center = RegisterEnum(
        "TCenterPoint", {{"cpUpperLeft", cpUpperLeft}, {"cpUpperCenter", cpUpperCenter},
                         {"cpUpperRight", cpUpperRight}, {"cpLeftCenter", cpLeftCenter}, {"cpCenter", cpCenter},
                         {"cpRightCenter", cpRightCenter}, {"cpLowerLeft", cpLowerLeft},
                         {"cpLowerCenter", cpLowerCenter}, {"cpLowerRight", cpLowerRight}});
    static const TEnumInfo& rotation =
        RegisterEnum("TRotation", {{"roNone", roNone}, {"roFlat", roFlat}, {"roCurve", roCurve}});

    auto r = RegisterComponentClass<TRzLabel>("TRzLabel", RzBaseClass({"TLabel", "TGraphicControl", "TControl"}));
    RzRegisterControlBasics(r);
    RzRegisterTextBasics(r);
    r.Enum("Alignment", &TLabel::SetAlignment, AlignmentInfo())
        .Bool("AutoSize", &TRzLabel::SetAutoSize)
        .Bool("WordWrap", &TLabel::SetWordWrap)
        .Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
        .Bool("ShowAccelChar", &TLabel::SetShowAccelChar)
        .Ref("FocusControl", &TLabel::SetFocusControl, "TWinControl")
        .Int("Angle", &TRzLabel::SetAngle)
        .Bool("Blinking", &TRzLabel::SetBlinking)
        .Color("BlinkColor", &TRzLabel::SetBlinkColor)
        .Int("BlinkIntervalOff", &TRzLabel::SetBlinkIntervalOff)
        .Int("BlinkIntervalOn", &TRzLabel::SetBlinkIntervalOn)
        .Int("BevelWidth", &TRzLabel::SetBevelWidth)
        .Enum("BorderInner", &TRzLabel::SetBorderInner, FrameStyleInfo())
        .Enum("BorderOuter", &TRzLabel::SetBorderOuter, FrameStyleInfo())
        .Set("BorderSides", &TRzLabel::SetBorderSides, SidesInfo())
        .Color("BorderColor", &TRzLabel::SetBorderColor)
        .Color("BorderHighlight", &TRzLabel::SetBorderHighlight)
        .Color("BorderShadow", &TRzLabel::SetBorderShadow)
        .Int("BorderWidth", &TRzLabel::SetBorderWidth)
        .Enum("CondenseCaption", &TRzLabel::SetCondenseCaption, condense)
        .Color("FlatColor", &TRzLabel::SetFlatColor)
        .Int("FlatColorAdjustment", &TRzLabel::SetFlatColorAdjustment)
        .Ref("FrameController", &TRzLabel::SetFrameController, "TRzFrameController")
        .Set("FrameControllerNotifications", &TRzLabel::SetFrameControllerNotifications,
             FrameControllerNotificationsInfo())
        .Enum("CenterPoint", &TRzLabel::SetCenterPoint, center)
        .Color("FlyByColor", &TRzLabel::SetFlyByColor)
        .Bool("FlyByEnabled", &TRzLabel::SetFlyByEnabled)
        .Enum("Layout", &TLabel::SetLayout, layout)
        .Bool("LightTextStyle", &TRzLabel::SetLightTextStyle)
        .Enum("Rotation", &TRzLabel::SetRotation, rotation)
        .Color("HighlightColor", &TRzLabel::SetHighlightColor)
        .Color("ShadowColor", &TRzLabel::SetShadowColor)
        .Int("ShadowDepth", &TRzLabel::SetShadowDepth)
        .Int("TextMargin", &TRzLabel::SetTextMargin)
        .Enum("TextStyle", &TRzLabel::SetTextStyle, textStyle)
        .Ignore("About")
        .Ignore("FrameSides")  // legacy form data
        .Event("OnMouseEnter", &TRzLabel::OnMouseEnter)
        .Event("OnMouseLeave", &TRzLabel::OnMouseLeave);
}
