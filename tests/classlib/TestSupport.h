// Shared helpers of the class library's Wine tests: the units started once
// for the whole executable, a pumped message loop, and pixels read back from
// controls rendered into a bitmap or from the window on screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "Controls.h"
#include "Types.h"
#include "WinTestSupport.h"

// Handles the waiting messages once, through the application object.
void HandleMessages();
// Handles messages for about Ms milliseconds.
void Pump(int Ms);
// Handles messages until Done answers true or TimeoutMs passes; answers Done().
bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 3000);

// Pixels of a control's client area, 0x00RRGGBB, top row first.
struct Pixels : testwin::Pixels {
    // Colour in the TColor layout (red in the low byte).
    TColor ColorAt(int X, int Y) const { return TColor(testwin::SwapRedBlue(At(X, Y))); }
    int Count(TColor C) const;
};
// Through TWinControl::PaintTo into a memory bitmap.
Pixels Render(TWinControl* Control);
// What the window shows once its waiting messages are handled, copied from
// its DC: only what the controls invalidated themselves is painted again.
Pixels Grab(HWND Wnd);

// Posts a mouse message at client point (X, Y) of Wnd and handles it.
void PostMouse(HWND Wnd, UINT Msg, int X, int Y, WPARAM Keys = 0);
