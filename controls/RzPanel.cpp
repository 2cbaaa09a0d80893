#include "RzPanel.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

#include "Guards.h"
#include "RzGrafx.h"
#include "RzRegister.h"
#include "TypeInfo.h"
#include "WinText.h"

namespace {
RECT AsRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

TRect Inflated(TRect r, int dx, int dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
    return r;
}

void Line(TCanvas* c, TColor color, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

UINT AlignmentFlag(TAlignment a) { return a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : DT_LEFT; }

// Text size in a font, measured on a screen device context.
SIZE TextSizeOf(TFont* Font, const AnsiString& Text) {
    SIZE sz{0, 0};
    WindowDC dc(nullptr);
    if (!dc) return sz;
    SelectGuard font(dc.Get(), Font->Handle());
    std::wstring w = ToWide(Text);
    GetTextExtentPoint32W(dc.Get(), w.c_str(), int(w.size()), &sz);
    return sz;
}
}  // namespace

// ======================================================================
// TRzCustomPanel

TRzCustomPanel::TRzCustomPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
    SetControlStyle((ControlStyle() & ~(csSetCaption | csParentBackground)) | csOpaque);
    TCustomPanel::SetBevelOuter(bvNone);
}

TRzCustomPanel::~TRzCustomPanel() {
    if (FFrameController) {
        FFrameController->UnlinkControl(this);
        FFrameController->RemoveFreeNotification(this);
        FFrameController = nullptr;
    }
}

void TRzCustomPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFrameController) FFrameController = nullptr;
}

void TRzCustomPanel::SetFrameController(TRzFrameController* v) { RzSetFrameController(this, this, FFrameController, v); }

#define RZ_PANEL_SETTER(Name, Type, Field) \
    void TRzCustomPanel::Set##Name(Type v) { \
        if (v == Field) return;              \
        Field = v;                           \
        Invalidate();                        \
    }
#define RZ_PANEL_REALIGN_SETTER(Name, Type, Field) \
    void TRzCustomPanel::Set##Name(Type v) {       \
        if (v == Field) return;                    \
        Field = v;                                 \
        Realign();                                 \
        Invalidate();                              \
    }
#define RZ_PANEL_GRADIENT_SETTER(Name, Type, Field) \
    void TRzCustomPanel::Set##Name(Type v) {        \
        if (v == Field) return;                     \
        Field = v;                                  \
        Invalidate();                               \
        InvalidateTransparentChildren(this);        \
    }
RZ_PANEL_SETTER(AlignmentVertical, TAlignmentVertical, FAlignmentVertical)
RZ_PANEL_SETTER(BorderColor, TColor, FBorderColor)
RZ_PANEL_REALIGN_SETTER(BorderInner, TFrameStyleEx, FBorderInner)
RZ_PANEL_REALIGN_SETTER(BorderOuter, TFrameStyleEx, FBorderOuter)
RZ_PANEL_REALIGN_SETTER(BorderSides, TSides, FBorderSides)
RZ_PANEL_SETTER(BorderHighlight, TColor, FBorderHighlight)
RZ_PANEL_SETTER(BorderShadow, TColor, FBorderShadow)
RZ_PANEL_SETTER(FlatColor, TColor, FFlatColor)
RZ_PANEL_SETTER(FlatColorAdjustment, int, FFlatColorAdjustment)
RZ_PANEL_SETTER(GradientColorStyle, TRzGradientColorStyle, FGradientColorStyle)
RZ_PANEL_GRADIENT_SETTER(GradientColorStart, TColor, FGradientColorStart)
RZ_PANEL_GRADIENT_SETTER(GradientColorStop, TColor, FGradientColorStop)
RZ_PANEL_GRADIENT_SETTER(GradientDirection, TGradientDirection, FGradientDirection)
RZ_PANEL_SETTER(GridColor, TColor, FGridColor)
RZ_PANEL_SETTER(GridStyle, TRzGridStyle, FGridStyle)
RZ_PANEL_SETTER(GridXSize, Word, FGridXSize)
RZ_PANEL_SETTER(GridYSize, Word, FGridYSize)
RZ_PANEL_SETTER(PaintClientArea, bool, FPaintClientArea)
RZ_PANEL_SETTER(ShowGrid, bool, FShowGrid)
RZ_PANEL_SETTER(TextMargin, int, FTextMargin)
RZ_PANEL_SETTER(TextMarginVertical, int, FTextMarginVertical)
RZ_PANEL_SETTER(VisualStyle, TRzVisualStyle, FVisualStyle)
RZ_PANEL_SETTER(WordWrap, bool, FWordWrap)
#undef RZ_PANEL_SETTER
#undef RZ_PANEL_REALIGN_SETTER
#undef RZ_PANEL_GRADIENT_SETTER

void TRzCustomPanel::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    if (v) SetControlStyle(ControlStyle() & ~csOpaque);
    else SetControlStyle(ControlStyle() | csOpaque);
    Invalidate();
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

TPoint TRzCustomPanel::MousePosition() const {
    POINT p;
    GetCursorPos(&p);
    return ScreenToClient(Point(p.x, p.y));
}

int TRzCustomPanel::BorderAmount(TFrameStyleEx Style) const {
    switch (Style) {
    case fsNone: return 0;
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return BevelWidth();
    default: return 2;  // fsGroove .. fsButtonUp, fsFlatBold, fsFlatRounded
    }
}

void TRzCustomPanel::RemoveBorderSizes(TRect& R, bool WithBorderWidth) const {
    if (WithBorderWidth) R = Inflated(R, -BorderWidth(), -BorderWidth());
    for (TFrameStyleEx s : {FBorderOuter, FBorderInner}) {
        int a = BorderAmount(s);
        if (FBorderSides & SideBit(sdLeft)) R.Left += a;
        if (FBorderSides & SideBit(sdTop)) R.Top += a;
        if (FBorderSides & SideBit(sdRight)) R.Right -= a;
        if (FBorderSides & SideBit(sdBottom)) R.Bottom -= a;
    }
}

void TRzCustomPanel::AdjustClientRect(TRect& R) {
    R = Inflated(R, -BorderWidth(), -BorderWidth());
    if (DockSite()) RemoveBorderSizes(R, false);
}

std::unique_ptr<TDockTree> TRzCustomPanel::CreateDockManager() {
    std::unique_ptr<TDockTree> made;
    if (!DockManager() && DockSite() && UseDockManager()) made = std::make_unique<TRzPanelDockManager>(this);
    if (made || DockManager()) SetDoubleBuffered(true);
    return made;
}

void TRzCustomPanel::AlignControls(TControl* AControl, TRect& R) {
    RemoveBorderSizes(R, false);
    AdjustClientRect(R);
    TCustomPanel::AlignControls(AControl, R);
}

void TRzCustomPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    // Bottom- and right-aligned panels keep that edge where it is.
    if (Align() == alBottom && AHeight != Height()) ATop = Top() + Height() - AHeight;
    if (Align() == alRight && AWidth != Width()) ALeft = Left() + Width() - AWidth;
    TCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TRzCustomPanel::EffectiveGradientColors(TColor& Start, TColor& Stop) const {
    if (FGradientColorStyle == gcsCustom) {
        Start = FGradientColorStart;
        Stop = FGradientColorStop;
    } else {
        SchemeGradientColors(FGradientColorStyle, Start, Stop);
    }
}

void TRzCustomPanel::EffectiveFlatColor(TColor& C, int& Adjustment) const {
    if (FVisualStyle == vsGradient && FGradientColorStyle != gcsCustom) {
        C = SchemeFlatColor(FGradientColorStyle);
        Adjustment = 0;
    } else {
        C = FFlatColor;
        Adjustment = FFlatColorAdjustment;
    }
}

void TRzCustomPanel::FrameControllerChanged() {
    if (!FFrameController || !FFrameController->FrameVisible()) return;
    RzTakeBorderFromController(this, FFrameController, FNotifications);
}

void TRzCustomPanel::Paint() {
    TCanvas* cv = Canvas();
    TRect r = PaintArea();
    TColor flat;
    int adjust;
    EffectiveFlatColor(flat, adjust);
    TColor parentColor = Parent() ? Parent()->Color() : clBtnFace;
    r = PaintBorders(cv, r, FBorderOuter, FTransparent, parentColor, Color(), adjust, flat, FBorderShadow,
                     FBorderHighlight, FBorderColor, BevelWidth(), FBorderSides, BorderWidth(), FBorderInner);
    if (!FTransparent && FPaintClientArea) {
        if (FVisualStyle == vsGradient) {
            TColor start, stop;
            EffectiveGradientColors(start, stop);
            GradientPaint(cv, r, FGradientDirection, 1, stop, start);
        } else {
            cv->Brush()->SetColor(Color());
            cv->Brush()->SetStyle(bsSolid);
            cv->FillRect(r);
        }
    }
    if (FShowGrid) PaintPanelGrid(r);
    cv->Brush()->SetStyle(bsClear);
    PaintPanelText(r);
    cv->Brush()->SetStyle(bsSolid);
    if (OnPaint) OnPaint(this);
}

void TRzCustomPanel::PaintPanelText(TRect R) {
    if (Caption().empty()) return;
    TCanvas* cv = Canvas();
    cv->SetFont(Font());
    HDC dc = cv->Handle();
    SelectGuard font(dc, Font()->Handle());
    R = Inflated(R, -FTextMargin, -FTextMarginVertical);
    UINT w = FWordWrap ? DT_WORDBREAK : 0;
    UINT a = AlignmentFlag(Alignment());
    std::wstring text = ToWide(Caption());
    RECT calc = AsRECT(R);
    DrawTextW(dc, text.c_str(), int(text.size()), &calc, w | a | DT_CALCRECT | DT_EXPANDTABS | DT_VCENTER);
    int h = calc.bottom - calc.top;
    switch (FAlignmentVertical) {
    case avTop: R.Bottom = Min(R.Bottom, R.Top + h); break;
    case avCenter:
        R.Top = (R.Top + R.Bottom - h) / 2;
        R.Bottom = Min(R.Bottom, R.Top + h);
        break;
    case avBottom: R.Top = Max(R.Top, R.Bottom - h - 1); break;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RzRGBOf(Enabled() ? Font()->Color() : clGrayText));
    RECT rr = AsRECT(R);
    DrawTextW(dc, text.c_str(), int(text.size()), &rr, w | a | DT_EXPANDTABS | DT_VCENTER);
}

void TRzCustomPanel::PaintPanelGrid(TRect R) {
    TCanvas* cv = Canvas();
    int nx = FGridXSize ? R.Width() / FGridXSize : 0;
    int ny = FGridYSize ? R.Height() / FGridYSize : 0;
    cv->Pen()->SetColor(FGridColor);
    if (FGridStyle == gsDots) {
        for (int i = 1; i <= nx; ++i)
            for (int j = 1; j <= ny; ++j)
                cv->SetPixels(R.Left + i * FGridXSize - 1, R.Top + j * FGridYSize - 1, FGridColor);
        return;
    }
    for (int i = 1; i <= nx; ++i) {
        int x = R.Left + i * FGridXSize - 1;
        if (FGridStyle == gsSolidLines) {
            Line(cv, FGridColor, x, R.Top, x, R.Bottom);
        } else {
            for (int y = R.Top + 1; y < R.Bottom; y += 2) cv->SetPixels(x, y, FGridColor);
        }
    }
    for (int j = 1; j <= ny; ++j) {
        int y = R.Top + j * FGridYSize - 1;
        if (FGridStyle == gsSolidLines) {
            Line(cv, FGridColor, R.Left, y, R.Right, y);
        } else {
            for (int x = R.Left + 1; x < R.Right; x += 2) cv->SetPixels(x, y, FGridColor);
        }
    }
}

void TRzCustomPanel::PaintBackground(HDC DC, const RECT& R) {
    if (FTransparent && FPaintClientArea) {
        PaintParentBackground(this, DC, true);
        return;
    }
    TCustomPanel::PaintBackground(DC, R);
}

void TRzCustomPanel::InvalidateUncoveredEdges(int OldWidth, int OldHeight, int NewWidth, int NewHeight) {
    if (!HandleAllocated()) return;
    // The strip between the inner edge and the outer edge, of the old and the
    // new size both: a shrinking panel would otherwise keep its old border.
    TRect oldInner = Rect(0, 0, OldWidth, OldHeight), newInner = Rect(0, 0, NewWidth, NewHeight);
    RemoveBorderSizes(oldInner, true);
    RemoveBorderSizes(newInner, true);
    TPoint margin = EdgeRepaintMargin();
    int w = Max(OldWidth, NewWidth), h = Max(OldHeight, NewHeight);
    if (NewWidth != OldWidth) {
        RECT r{Min(oldInner.Right, newInner.Right) - margin.X, 0, w, h};
        InvalidateRect(FHandle, &r, TRUE);
    }
    if (NewHeight != OldHeight) {
        RECT r{0, Min(oldInner.Bottom, newInner.Bottom) - margin.Y, w, h};
        InvalidateRect(FHandle, &r, TRUE);
    }
}

void TRzCustomPanel::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED: {
        auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        // Every move repaints a full-repaint or captioned panel: a transparent
        // one would otherwise keep the background of where it was.
        const bool resized = wp && !(wp->flags & SWP_NOSIZE) && FSeenWidth >= 0 &&
                             (wp->cx != FSeenWidth || wp->cy != FSeenHeight);
        if (FFullRepaint || !Caption().empty()) Invalidate();
        else if (resized) InvalidateUncoveredEdges(FSeenWidth, FSeenHeight, wp->cx, wp->cy);
        if (wp && !(wp->flags & SWP_NOSIZE)) {
            FSeenWidth = wp->cx;
            FSeenHeight = wp->cy;
        }
        TCustomPanel::WndProc(Message);
        return;
    }
    case WM_CREATE: {
        TCustomPanel::WndProc(Message);
        RECT r;
        GetWindowRect(FHandle, &r);
        FSeenWidth = r.right - r.left;
        FSeenHeight = r.bottom - r.top;
        return;
    }
    case WM_THEMECHANGED:
        TCustomPanel::WndProc(Message);
        ThemeColorScheme = ReadThemeColorScheme();
        return;
    default:
        TCustomPanel::WndProc(Message);
    }
}

int TRzCustomPanel::EnabledRecord(TControl* Child) const {
    for (const auto& [c, e] : FEnabledRecords)
        if (c == Child) return e ? 1 : 0;
    return -1;
}

void TRzCustomPanel::RemoveControl(TControl* AControl) {
    // A child that goes takes its record with it.
    FEnabledRecords.erase(std::remove_if(FEnabledRecords.begin(), FEnabledRecords.end(),
                                         [AControl](const auto& p) { return p.first == AControl; }),
                          FEnabledRecords.end());
    TCustomPanel::RemoveControl(AControl);
}

void TRzCustomPanel::CMEnabledChanged(TMessage& Message) {
    TCustomPanel::CMEnabledChanged(Message);
    Repaint();
    if (!Enabled()) {
        FEnabledRecords.clear();
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            FEnabledRecords.emplace_back(c, c->Enabled());
        }
        for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetEnabled(false);
    } else {
        // The children are looked up now; a record names only a child still here.
        std::vector<TControl*> children;
        for (int i = 0; i < ControlCount(); ++i) children.push_back(Controls(i));
        for (TControl* c : children)
            if (EnabledRecord(c) != 0 && ContainsControl(c)) c->SetEnabled(true);
        FEnabledRecords.clear();
    }
}

void TRzCustomPanel::CMMouseEnter(TMessage& Message) {
    if (ComponentState() & csDesigning) return;
    TCustomPanel::CMMouseEnter(Message);
    if (OnMouseEnter) OnMouseEnter(this);
}

void TRzCustomPanel::CMMouseLeave(TMessage& Message) {
    TCustomPanel::CMMouseLeave(Message);
    if (OnMouseLeave) OnMouseLeave(this);
}

// ======================================================================
// TRzCustomGroupBox

TRzCustomGroupBox::TRzCustomGroupBox(TComponent* AOwner) : TRzCustomPanel(AOwner) {
    SetControlStyle(ControlStyle() | csSetCaption | csDoubleClicks);
    SetBorderOuter(fsNone);
    SetBorderInner(fsNone);
    SetAlignment(taLeftJustify);
    SetAlignmentVertical(avTop);
    FHeight = 105;
}

void TRzCustomGroupBox::SetGroupStyle(TRzGroupBoxStyle v) {
    if (v == FGroupStyle) return;
    FGroupStyle = v;
    Realign();
    Invalidate();
}

void TRzCustomGroupBox::FrameControllerChanged() {
    if (!FFrameController || !FFrameController->FrameVisible() || FGroupStyle != gsCustom) return;
    TRzCustomPanel::FrameControllerChanged();
}

void TRzCustomGroupBox::AdjustClientRect(TRect& R) {
    TRzCustomPanel::AdjustClientRect(R);
    int h = TextSizeOf(Font(), "Yy").cy;
    switch (FGroupStyle) {
    case gsStandard:
    case gsFlat: {
        int a = h / 2 - 1;
        R.Top += a < BorderWidth() ? a : h - BorderWidth();
        R = Inflated(R, FGroupStyle == gsStandard ? -2 : -1, FGroupStyle == gsStandard ? -2 : -1);
        break;
    }
    case gsCustom:
        if (!Caption().empty()) R.Top += h;
        R = Inflated(R, -2, -2);
        break;
    case gsTopLine: R.Top += h; break;
    case gsBanner: R.Top += h + 8; break;
    case gsUnderline: R.Top += h + 4; break;
    }
}

TRect TRzCustomGroupBox::CaptionRect() {
    if (Caption().empty() || FGroupStyle == gsCustom) return Rect(0, 0, 0, 0);
    SIZE sz{0, 0};
    AnsiString text = StripAccelerators(Caption());
    bool themedPath = VisualStyle() == vsThemed && RzVisualStylesOn() &&
                      (FGroupStyle == gsStandard || FGroupStyle == gsFlat);
    if (themedPath) {
        HTHEME theme = OpenThemeData(HandleIfAllocated(), L"BUTTON");
        {
            WindowDC screen(nullptr);
            const HDC dc = screen.Get();
            SelectGuard font(dc, Font()->Handle());
            std::wstring w = ToWide(text);
            RECT ext{};
            if (theme && SUCCEEDED(GetThemeTextExtent(theme, dc, BP_GROUPBOX, GBS_NORMAL, w.c_str(), int(w.size()),
                                                      DT_SINGLELINE, nullptr, &ext))) {
                sz.cx = ext.right - ext.left;
                sz.cy = ext.bottom - ext.top;
            } else {
                GetTextExtentPoint32W(dc, w.c_str(), int(w.size()), &sz);
            }
        }
        if (theme) CloseThemeData(theme);
    } else {
        sz = TextSizeOf(Font(), text);
    }
    int w = sz.cx, hc = sz.cy;
    bool rtl = UseRightToLeftAlignment();
    switch (FGroupStyle) {
    case gsStandard:
    case gsFlat: return rtl ? Rect(Width() - w - 8, 0, Width() - 8, hc) : Rect(8, 0, w + 8, hc);
    case gsTopLine: return rtl ? Rect(Width() - w - 4, 0, Width() - 4, hc) : Rect(0, 0, w + 4, hc);
    case gsBanner: return Rect(0, 0, Width(), hc + 6);
    case gsUnderline: return Rect(0, 0, Width(), hc + 2);
    default: return Rect(0, 0, 0, 0);
    }
}

void TRzCustomGroupBox::Paint() {
    TCanvas* cv = Canvas();
    cv->SetFont(Font());
    HDC dc = cv->Handle();
    int th = TextSizeOf(Font(), "Pp").cy;
    int y0 = th / 2 - 1;
    TRect c = CaptionRect();
    bool hasCaption = !Caption().empty() && FGroupStyle != gsCustom;
    UINT align = AlignmentFlag(Alignment());

    if (VisualStyle() == vsThemed && RzVisualStylesOn() && (FGroupStyle == gsStandard || FGroupStyle == gsFlat)) {
        if (!Transparent()) PaintParentBackground(this, dc, true);
        HTHEME theme = OpenThemeData(HandleIfAllocated(), L"BUTTON");
        {
            SavedDC saved(dc);
            ExcludeClipRect(dc, c.Left, c.Top, c.Right, c.Bottom);
            RECT box{0, y0, Width(), Height()};
            if (theme) DrawThemeBackground(theme, dc, BP_GROUPBOX, Enabled() ? GBS_NORMAL : GBS_DISABLED, &box, nullptr);
            else DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT);
        }
        if (hasCaption) {
            std::wstring w = ToWide(Caption());
            RECT cr = AsRECT(c);
            if (theme) {
                SelectGuard font(dc, Font()->Handle());
                DrawThemeText(theme, dc, BP_GROUPBOX, Enabled() ? GBS_NORMAL : GBS_DISABLED, w.c_str(), int(w.size()),
                              align | DT_SINGLELINE, 0, &cr);
            }
        }
        if (theme) CloseThemeData(theme);
        return;
    }
    if (FGroupStyle == gsCustom) {
        TRzCustomPanel::Paint();
        return;
    }
    int saved = SaveDC(dc);
    cv->Brush()->SetStyle(bsSolid);
    cv->Brush()->SetColor(Color());
    if (!Transparent()) cv->FillRect(Rect(0, 0, Width(), Height()));
    else if (FGroupStyle != gsBanner && hasCaption) ExcludeClipRect(dc, c.Left, c.Top, c.Right, c.Bottom);
    TColor f = ShiftColor(FlatColor(), FlatColorAdjustment());
    TRect b = Rect(0, y0, Width(), Height());
    switch (FGroupStyle) {
    case gsStandard:
        if (BorderOuter() == fsNone) PaintBorderSides(cv, b, fsGroove, sdAllSides);
        else if (BorderOuter() == fsFlat) PaintBox(cv, b, f);
        else if (BorderOuter() == fsFlatBold) PaintBevel(cv, b, f, sdAllSides, 2, f);
        else PaintBorderSides(cv, b, BorderOuter(), sdAllSides);
        break;
    case gsTopLine:
        if (BorderOuter() == fsNone) {
            PaintBorderSides(cv, b, fsGroove, SideBit(sdTop));
        } else if (BorderOuter() == fsFlat || BorderOuter() == fsFlatBold) {
            Line(cv, f, b.Left + 2, b.Top, b.Right - 2, b.Top);
            if (BorderOuter() == fsFlatBold) Line(cv, f, b.Left + 2, b.Top + 1, b.Right - 2, b.Top + 1);
        } else {
            PaintBorderSides(cv, b, BorderOuter(), SideBit(sdTop));
        }
        break;
    case gsFlat:
        Line(cv, f, b.Left, b.Top + 2, b.Left, b.Bottom - 2);
        Line(cv, f, b.Left + 2, b.Top, b.Right - 2, b.Top);
        Line(cv, f, b.Right - 1, b.Top + 2, b.Right - 1, b.Bottom - 2);
        Line(cv, f, b.Left + 2, b.Bottom - 1, b.Right - 2, b.Bottom - 1);
        cv->SetPixels(b.Left + 1, b.Top + 1, f);
        cv->SetPixels(b.Right - 2, b.Top + 1, f);
        cv->SetPixels(b.Right - 2, b.Bottom - 2, f);
        cv->SetPixels(b.Left + 1, b.Bottom - 2, f);
        break;
    case gsBanner: {
        TColor top, bottom, outline;
        if (GradientColorStyle() == gcsCustom) {
            top = GradientColorStart();
            bottom = GradientColorStop();
            outline = f;
        } else {
            SchemeBannerColors(GradientColorStyle(), bottom, top, outline);
        }
        Line(cv, outline, c.Left, c.Top + 1, c.Left, c.Bottom - 1);
        Line(cv, outline, c.Left + 1, c.Top, c.Right - 1, c.Top);
        Line(cv, outline, c.Right - 1, c.Top + 1, c.Right - 1, c.Bottom - 1);
        Line(cv, outline, c.Left + 1, c.Bottom - 1, c.Right - 1, c.Bottom - 1);
        GradientPaint(cv, Inflated(c, -1, -1), gdHorizontalEnd, 1, bottom, top);
        break;
    }
    case gsUnderline: Line(cv, f, c.Left, c.Bottom, c.Right, c.Bottom); break;
    default: break;
    }
    RestoreDC(dc, saved);
    cv->Refresh();
    if (!hasCaption) return;
    cv->Brush()->SetStyle(bsSolid);
    cv->Brush()->SetColor(Color());
    if (!Transparent() && FGroupStyle != gsBanner) cv->FillRect(c);
    if (FGroupStyle == gsBanner) c = Inflated(c, -4, -1);
    TColor fc = !Enabled() ? clGrayText
                : (VisualStyle() == vsThemed && RzVisualStylesOn()) ? ThemeElementColor(6)
                                                                      : Font()->Color();
    dc = cv->Handle();
    SelectGuard font(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RzRGBOf(fc));
    std::wstring w = ToWide(Caption());
    RECT cr = AsRECT(c);
    DrawTextW(dc, w.c_str(), int(w.size()), &cr, align | DT_SINGLELINE);
}

void TRzCustomGroupBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_FONTCHANGED:
        TRzCustomPanel::WndProc(Message);
        Invalidate();
        return;
    case CM_DIALOGCHAR:
        // The caption's accelerator selects the first child.
        if (RzIsAccel(char(Message.WParam), Caption()) && CanFocus()) {
            SelectNext(nullptr, true, true);
            Message.Result = 1;
            return;
        }
        TRzCustomPanel::WndProc(Message);
        return;
    default:
        TRzCustomPanel::WndProc(Message);
    }
}

// ======================================================================

void RegisterRzPanel() {
    if (FindClassInfo("TRzPanel")) return;
    RzRegisterGraphicsObjects();
    const TEnumInfo& gridStyle =
        RegisterEnum("TRzGridStyle", {{"gsDots", gsDots}, {"gsDottedLines", gsDottedLines}, {"gsSolidLines", gsSolidLines}});
    const TEnumInfo& groupStyle = RegisterEnum(
        "TRzGroupBoxStyle", {{"gsStandard", gsStandard}, {"gsCustom", gsCustom}, {"gsTopLine", gsTopLine},
                             {"gsFlat", gsFlat}, {"gsBanner", gsBanner}, {"gsUnderline", gsUnderline}});
    auto base = RzBaseClass({"TCustomPanel", "TCustomControl", "TWinControl"});
    auto c = RegisterPersistentClass<TRzCustomPanel>("TRzCustomPanel", base);
    RzRegisterControlBasics(c);
    RzRegisterTextBasics(c);
    c.Enum("AlignmentVertical", &TRzCustomPanel::SetAlignmentVertical, AlignmentVerticalInfo())
        .Enum("Alignment", &TCustomPanel::SetAlignment, AlignmentInfo())
        .Enum("BorderInner", &TRzCustomPanel::SetBorderInner, FrameStyleInfo())
        .Enum("BorderOuter", &TRzCustomPanel::SetBorderOuter, FrameStyleInfo())
        .Set("BorderSides", &TRzCustomPanel::SetBorderSides, SidesInfo())
        .Color("BorderColor", &TRzCustomPanel::SetBorderColor)
        .Color("BorderHighlight", &TRzCustomPanel::SetBorderHighlight)
        .Color("BorderShadow", &TRzCustomPanel::SetBorderShadow)
        .Int("BevelWidth", &TCustomPanel::SetBevelWidth)
        .Int("BorderWidth", &TCustomPanel::SetBorderWidth)
        .Color("FlatColor", &TRzCustomPanel::SetFlatColor)
        .Int("FlatColorAdjustment", &TRzCustomPanel::SetFlatColorAdjustment)
        .Ref("FrameController", &TRzCustomPanel::SetFrameController, "TRzFrameController")
        .Set("FrameControllerNotifications", &TRzCustomPanel::SetFrameControllerNotifications,
             FrameControllerNotificationsInfo())
        .Bool("FullRepaint", &TRzCustomPanel::SetFullRepaint)
        .Enum("GradientColorStyle", &TRzCustomPanel::SetGradientColorStyle, GradientColorStyleInfo())
        .Color("GradientColorStart", &TRzCustomPanel::SetGradientColorStart)
        .Color("GradientColorStop", &TRzCustomPanel::SetGradientColorStop)
        .Enum("GradientDirection", &TRzCustomPanel::SetGradientDirection, GradientDirectionInfo())
        .Color("GridColor", &TRzCustomPanel::SetGridColor)
        .Enum("GridStyle", &TRzCustomPanel::SetGridStyle, gridStyle)
        .Int("GridXSize", &TRzCustomPanel::SetGridXSize)
        .Int("GridYSize", &TRzCustomPanel::SetGridYSize)
        .Bool("PaintClientArea", &TRzCustomPanel::SetPaintClientArea)
        .Bool("ShowGrid", &TRzCustomPanel::SetShowGrid)
        .Bool("ShowDockClientCaptions", &TRzCustomPanel::SetShowDockClientCaptions)
        .Int("TextMargin", &TRzCustomPanel::SetTextMargin)
        .Int("TextMarginVertical", &TRzCustomPanel::SetTextMarginVertical)
        .Bool("Transparent", &TRzCustomPanel::Transparent, &TRzCustomPanel::SetTransparent)
        .Enum("VisualStyle", &TRzCustomPanel::SetVisualStyle, VisualStyleInfo())
        .Bool("WordWrap", &TRzCustomPanel::SetWordWrap)
        .Event("OnMouseEnter", &TRzCustomPanel::OnMouseEnter)
        .Event("OnMouseLeave", &TRzCustomPanel::OnMouseLeave)
        .Event("OnPaint", &TRzCustomPanel::OnPaint)
        .Ignore("About")
        .Ignore("FrameSides")  // older form data
        .Ignore("ThemeAware")
        .Custom("UseGradients", [](TRzCustomPanel* p, const FormValue& v, TReadContext&) {
            if (typeinfo_detail::AsBool(v)) p->SetVisualStyle(vsGradient);
        });
    RegisterComponentClass<TRzPanel>("TRzPanel", "TRzCustomPanel");
    RegisterPersistentClass<TRzCustomGroupBox>("TRzCustomGroupBox", "TRzCustomPanel")
        .Enum("GroupStyle", &TRzCustomGroupBox::SetGroupStyle, groupStyle);
    RegisterComponentClass<TRzGroupBox>("TRzGroupBox", "TRzCustomGroupBox");
}
