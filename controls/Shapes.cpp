#include "Shapes.h"

#include "RzGeometry.h"
#include "RzRegister.h"

TCustomShape::TCustomShape(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() | csReplicatable);
    FWidth = 65;
    FHeight = 65;
    FBrush = std::make_unique<TBrush>();
    FPen = std::make_unique<TPen>();
    FBrush->OnChange = TNotifyEvent::Of<&TCustomShape::StyleChanged>(this);
    FPen->OnChange = TNotifyEvent::Of<&TCustomShape::StyleChanged>(this);
}

TCustomShape::~TCustomShape() {
}

void TCustomShape::SetShadow(bool v) {
    if (v == FShadow) return;
    FShadow = v;
    Invalidate();
}

void TCustomShape::SetShadowOffset(Cardinal v) {
    if (v == FShadowOffset) return;
    FShadowOffset = v;
    Invalidate();
}

void TCustomShape::SetShadowColor(TColor v) {
    if (v == FShadowColor) return;
    FShadowColor = v;
    Invalidate();
}

void TCustomShape::Paint() {
    Canvas()->SetBrush(FBrush.get());
    Canvas()->SetPen(FPen.get());
    if (FShadow) PaintShadow();
    PaintFace();
}

void TCustomShape::PaintShadow() {
    Canvas()->Brush()->SetColor(FShadowColor);
    Canvas()->Pen()->SetColor(FShadowColor);
}

void TCustomShape::PaintFace() {
    Canvas()->Brush()->SetColor(FBrush->Color());
    Canvas()->Pen()->SetColor(FPen->Color());
}

bool TCustomPolyShape::ScalePoints(TPoint* Dest, int HighIndex, int ScaleY, int ScaleX, int TableHighIndex,
                                   const TPoint* Table) {
    if (HighIndex < 0 || TableHighIndex < HighIndex || ScaleX < 0 || ScaleY < 0) return false;
    for (int i = 0; i <= HighIndex; ++i) {
        Dest[i].X = RzMulDiv(Table[i].X, ScaleX, 100);
        Dest[i].Y = RzMulDiv(Table[i].Y, ScaleY, 100);
    }
    return true;
}

void TCustomPolyShape::OffsetPoints(TPoint* Points, int HighIndex, int DY, int DX) {
    for (int i = 0; i <= HighIndex; ++i) {
        Points[i].X += DX;
        Points[i].Y += DY;
    }
}

TStarShape::TStarShape(TComponent* AOwner) : TCustomPolyShape(AOwner) {}

bool TStarShape::ScalePoints(TPoint* Dest, int HighIndex, int ScaleY, int ScaleX, int TableHighIndex,
                             const TPoint* Table) {
    if (HighIndex < 0 || TableHighIndex < HighIndex || ScaleX < 0 || ScaleY < 0) return false;
    for (int i = 0; i <= HighIndex; ++i) {
        Dest[i].X = RzMulDiv(Table[i].X, ScaleX, 22);
        Dest[i].Y = RzMulDiv(Table[i].Y, ScaleY, 22);
    }
    return true;
}

void TStarShape::DrawStar(bool ShadowPart) {
    int p = Canvas()->Pen()->Width(), h = p / 2;
    int reserve = (ShadowPart || Shadow()) ? Offset() : 0;
    int w = Width() - reserve - p - 1, ht = Height() - reserve - p - 1;
    if (p == 0) {
        --w;
        --ht;
    }
    TPoint pts[17];
    if (!ScalePoints(pts, 16, ht, w, 16, RzStarOutline)) return;
    int shift = ShadowPart ? Offset() + h : h;
    OffsetPoints(pts, 16, shift, shift);
    Canvas()->Polygon(pts, 17);
}

void TStarShape::PaintShadow() {
    TCustomShape::PaintShadow();
    DrawStar(true);
}

void TStarShape::PaintFace() {
    TCustomShape::PaintFace();
    DrawStar(false);
}

void RegisterShapes() {
    if (FindClassInfo("TStarShape")) return;
    RzRegisterGraphicsObjects();
    auto base = RzBaseClass({"TGraphicControl", "TControl"});
    auto custom = RegisterPersistentClass<TCustomShape>("TCustomShape", base);
    RzRegisterControlBasics(custom);
    custom.Object("Brush", &TCustomShape::Brush, "TBrush")
        .Object("Pen", &TCustomShape::Pen, "TPen")
        .Bool("Shadow", &TCustomShape::SetShadow)
        .Int("ShadowOffset", &TCustomShape::SetShadowOffset)
        .Color("ShadowColor", &TCustomShape::SetShadowColor);
    RegisterPersistentClass<TCustomPolyShape>("TCustomPolyShape", "TCustomShape");
    RegisterComponentClass<TStarShape>("TStarShape", "TCustomPolyShape");
}
