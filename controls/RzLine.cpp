#include "RzLine.h"

#include <windowsx.h>

#include <cmath>

#include "RzColorMath.h"
#include "RzRegister.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
}

TRzLine::TRzLine(TComponent* AOwner) : TGraphicControl(AOwner) {
    FWidth = 100;
    FHeight = 100;
    UpdatePoints();
}

void TRzLine::Loaded() {
    TGraphicControl::Loaded();
    UpdatePoints();
}

void TRzLine::UpdatePoints() { RzLinePoints(Width(), Height(), FEndMargin, FLineSlope, FStart, FEnd); }

void TRzLine::EnforceMinimumSize() {
    if (FSizing) return;
    FSizing = true;
    int m2 = 2 * FEndMargin;
    int w = Width() < m2 ? m2 : Width(), h = Height() < m2 ? m2 : Height();
    if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
    FSizing = false;
    UpdatePoints();
}

void TRzLine::Resize() {
    TGraphicControl::Resize();
    EnforceMinimumSize();
}

void TRzLine::SetArrowLength(int v) {
    if (v == FArrowLength) return;
    FArrowLength = v;
    FEndMargin = v / 2;
    EnforceMinimumSize();
    Invalidate();
}

void TRzLine::SetLineColor(TColor v) {
    if (v == FLineColor) return;
    FLineColor = v;
    Invalidate();
}

void TRzLine::SetLineSlope(TRzLineSlope v) {
    if (v == FLineSlope) return;
    FLineSlope = v;
    UpdatePoints();
    Invalidate();
}

void TRzLine::SetLineStyle(TPenStyle v) {
    if (v == FLineStyle) return;
    FLineStyle = v;
    Invalidate();
}

void TRzLine::SetLineWidth(int v) {
    if (v == FLineWidth) return;
    // With arrows the width is odd, so the line ends centred on the tips.
    if (FShowArrows != saNone && v % 2 == 0) v += v > FLineWidth ? 1 : -1;
    if (v < 1) v = 1;
    if (v == FLineWidth) return;
    FLineWidth = v;
    Invalidate();
}

void TRzLine::SetShowArrows(TRzShowArrows v) {
    if (v == FShowArrows) return;
    FShowArrows = v;
    Invalidate();
}

void TRzLine::Paint() {
    TCanvas* c = Canvas();
    int x1 = FStart.X, y1 = FStart.Y, x2 = FEnd.X, y2 = FEnd.Y;
    double t = x1 == x2 ? kPi / 2 : std::atan(double(y2 - y1) / double(x2 - x1));
    bool flip = FLineSlope == lsUp && x1 == x2;
    int sx = x1, sy = y1, ex = x2, ey = y2;
    if (FShowArrows != saNone) {
        int h = FArrowLength / 2;
        int ax = RoundHalfEven(std::cos(t) * h), ay = RoundHalfEven(std::sin(t) * h);
        if (flip) {
            ax = -ax;
            ay = -ay;
        }
        if (FShowArrows == saStart || FShowArrows == saBoth) {
            sx += ax;
            sy += ay;
        }
        if (FShowArrows == saEnd || FShowArrows == saBoth) {
            ex -= ax;
            ey -= ay;
        }
    }
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(FLineColor);
    c->Pen()->SetStyle(FLineStyle);
    c->Pen()->SetWidth(FLineWidth);
    c->MoveTo(sx, sy);
    c->LineTo(ex, ey);
    if (FShowArrows == saNone) return;
    int L = FArrowLength;
    int p1x = RoundHalfEven(std::cos(t - kPi / 8) * L), p1y = RoundHalfEven(std::sin(t - kPi / 8) * L);
    int p2x = RoundHalfEven(std::cos(t + kPi / 8) * L), p2y = RoundHalfEven(std::sin(t + kPi / 8) * L);
    if (flip) {
        p1x = -p1x;
        p1y = -p1y;
        p2x = -p2x;
        p2y = -p2y;
    }
    c->Brush()->SetColor(FLineColor);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    if (FShowArrows == saStart || FShowArrows == saBoth) {
        TPoint tri[3] = {{x1, y1}, {x1 + p2x, y1 + p2y}, {x1 + p1x, y1 + p1y}};
        c->Polygon(tri, 3);
    }
    if (FShowArrows == saEnd || FShowArrows == saBoth) {
        TPoint tri[3] = {{x2, y2}, {x2 - p2x, y2 - p2y}, {x2 - p1x, y2 - p1y}};
        c->Polygon(tri, 3);
    }
}

void TRzLine::CMHitTest(TMessage& Message) {
    int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
    Message.Result = RzLineHit(x, y, Width(), Height(), FEndMargin, FLineWidth, FLineSlope) ? 1 : 0;
}

void TRzLine::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    if (!(ComponentState() & csDesigning) && OnMouseEnter) OnMouseEnter(this);
}

void TRzLine::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    if (OnMouseLeave) OnMouseLeave(this);
}

void RegisterRzLine() {
    if (FindClassInfo("TRzLine")) return;
    RzRegisterGraphicsObjects();
    static const TEnumInfo& slope = RegisterEnum("TRzLineSlope", {{"lsDown", lsDown}, {"lsUp", lsUp}});
    static const TEnumInfo& arrows = RegisterEnum(
        "TRzShowArrows", {{"saNone", saNone}, {"saStart", saStart}, {"saEnd", saEnd}, {"saBoth", saBoth}});
    auto r = RegisterComponentClass<TRzLine>("TRzLine", RzBaseClass({"TGraphicControl", "TControl"}));
    RzRegisterControlBasics(r);
    r.Int("ArrowLength", &TRzLine::SetArrowLength)
        .Color("LineColor", &TRzLine::SetLineColor)
        .Enum("LineSlope", &TRzLine::SetLineSlope, slope)
        .Enum("LineStyle", &TRzLine::SetLineStyle, PenStyleInfo())
        .Int("LineWidth", &TRzLine::SetLineWidth)
        .Enum("ShowArrows", &TRzLine::SetShowArrows, arrows)
        .Ignore("About")
        .Event("OnMouseEnter", &TRzLine::OnMouseEnter)
        .Event("OnMouseLeave", &TRzLine::OnMouseLeave)
        .Event("OnResize", &TControl::OnResize);
}
