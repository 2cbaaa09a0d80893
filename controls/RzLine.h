// TRzLine: a straight line corner to corner across its bounds, falling or
// rising, with optional filled arrowheads, that answers hit tests only near
// the line.
#pragma once

#include "Controls.h"
#include "Graphics.h"
#include "RzGeometry.h"

enum TRzShowArrows { saNone, saStart, saEnd, saBoth };

class TRzLine : public TGraphicControl {
public:
    explicit TRzLine(TComponent* AOwner);
    const char* ClassName() const override { return "TRzLine"; }
    void Loaded() override;

    int ArrowLength() const { return FArrowLength; }
    virtual void SetArrowLength(int v);
    TColor LineColor() const { return FLineColor; }
    virtual void SetLineColor(TColor v);
    TRzLineSlope LineSlope() const { return FLineSlope; }
    virtual void SetLineSlope(TRzLineSlope v);
    TPenStyle LineStyle() const { return FLineStyle; }
    virtual void SetLineStyle(TPenStyle v);
    int LineWidth() const { return FLineWidth; }
    virtual void SetLineWidth(int v);
    TRzShowArrows ShowArrows() const { return FShowArrows; }
    virtual void SetShowArrows(TRzShowArrows v);

    TPoint StartPoint() const { return FStart; }
    TPoint EndPoint() const { return FEnd; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void Paint() override;
    void Resize() override;
    void CMHitTest(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    void EnforceMinimumSize();
    void UpdatePoints();

    int FEndMargin = 10;
    TPoint FStart, FEnd;
    int FArrowLength = 10;
    TColor FLineColor = clWindowText;
    TRzLineSlope FLineSlope = lsDown;
    TPenStyle FLineStyle = psSolid;
    int FLineWidth = 1;
    TRzShowArrows FShowArrows = saNone;
    bool FSizing = false;
};

void RegisterRzLine();
