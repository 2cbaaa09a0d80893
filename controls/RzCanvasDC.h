// The device context behind a canvas, for the painters that draw with GDI.
#pragma once

#include "Graphics.h"

inline HDC RzCanvasDC(TCanvas* Canvas) { return Canvas->Handle(); }
inline COLORREF RzCanvasBrushRGB(TCanvas* Canvas) { return ColorToRGB(Canvas->Brush()->Color()) & 0xFFFFFF; }
