#include "ColorAdjust.h"

void MakeGrey(const TacPixelView& Bmp24) {
    if (!Bmp24.Start) return;
    for (int y = 0; y < Bmp24.Height; ++y) {
        uint8_t* p = Bmp24.Row(y);
        for (int x = 0; x < Bmp24.Width; ++x, p += 3) p[0] = p[1] = p[2] = uint8_t((p[0] + p[1] + p[2]) / 3);
    }
}
