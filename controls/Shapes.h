// Filled, outlined polygons with an optional drop shadow, scaled to the
// control's bounds; TStarShape draws an eight-pointed star.
#pragma once

#include <memory>
#include <cstdint>

#include "Controls.h"
#include "Graphics.h"

using Cardinal = uint32_t;

class TCustomShape : public TGraphicControl {
public:
    explicit TCustomShape(TComponent* AOwner);
    ~TCustomShape() override;
    const char* ClassName() const override { return "TCustomShape"; }

    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* v) { FBrush->Assign(v); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* v) { FPen->Assign(v); }
    bool Shadow() const { return FShadow; }
    virtual void SetShadow(bool v);
    Cardinal ShadowOffset() const { return FShadowOffset; }
    virtual void SetShadowOffset(Cardinal v);
    TColor ShadowColor() const { return FShadowColor; }
    virtual void SetShadowColor(TColor v);

protected:
    void Paint() override;
    virtual void PaintShadow();
    virtual void PaintFace();
    // The offset in the signed arithmetic of the painters.
    int Offset() const { return static_cast<int>(FShadowOffset); }

private:
    void StyleChanged(TObject*) { Invalidate(); }
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
    bool FShadow = true;
    Cardinal FShadowOffset = 2;
    TColor FShadowColor = clBtnShadow;
};

class TCustomPolyShape : public TCustomShape {
public:
    using TCustomShape::TCustomShape;
    const char* ClassName() const override { return "TCustomPolyShape"; }

protected:
    // Maps table points given in percent into Dest[0..HighIndex]; false when
    // they cannot be scaled.
    virtual bool ScalePoints(TPoint* Dest, int HighIndex, int ScaleY, int ScaleX, int TableHighIndex,
                             const TPoint* Table);
    virtual void OffsetPoints(TPoint* Points, int HighIndex, int DY, int DX);
};

class TStarShape : public TCustomPolyShape {
public:
    explicit TStarShape(TComponent* AOwner);
    const char* ClassName() const override { return "TStarShape"; }

protected:
    void PaintShadow() override;
    void PaintFace() override;
    // On the 22 x 22 grid of the star's outline.
    bool ScalePoints(TPoint* Dest, int HighIndex, int ScaleY, int ScaleX, int TableHighIndex,
                     const TPoint* Table) override;

private:
    void DrawStar(bool ShadowPart);
};

void RegisterShapes();
