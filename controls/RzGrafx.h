// Gradients, tilers and the parent background of the framed controls.
#pragma once

#include <windows.h>

#include "RzCommon.h"

class TCanvas;
class TGraphic;
class TControl;

using TSmoothFactor = int;

// Two-colour gradient in one of ten directions, painted with solid brushes on
// an off-screen bitmap and drawn at the rectangle's top-left corner.
void GradientPaint(TCanvas* Canvas, TRect Bounds, TGradientDirection Direction, TSmoothFactor SmoothFactor,
                   TColor StopColor, TColor StartColor);
// The same onto a device context (the painter of the canvas form).
void GradientPaintDC(HDC dc, TRect Bounds, TGradientDirection Direction, TSmoothFactor SmoothFactor,
                     TColor StopColor, TColor StartColor);

// Covers R row by row with copies of Graphic, cut at R's right and bottom.
void TileGraphic(TCanvas* Canvas, TGraphic* Graphic, TRect R);
// Fills TotalW x TotalH at (X, Y) from its painted PaintedW x PaintedH block
// at the top left by doubling copies.
void TileBlit(HDC DC, int X, int Y, DWORD Rop, int PaintedH, int PaintedW, int TotalH, int TotalW);
// Completes a box gradient painted in the top-left quarter of Width x Height.
void MirrorBlit(HDC DC, int X, int Y, int Height, int Width);

// Has the control's parent paint itself into DC under the control.
void PaintParentBackground(TControl* Control, HDC DC, bool InvalidateParent);
