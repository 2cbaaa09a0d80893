// Driving the lesson forms under Wine: real mouse messages to the windows,
// the message loop pumped until a condition holds, forms rendered to pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "Forms.h"
#include "WinTestSupport.h"

inline void HandleMessages() { Application->ProcessMessages(); }

// Handles waiting messages until Done() holds or the time runs out.
inline bool PumpUntil(const std::function<bool()>& Done, DWORD TimeoutMs = 3000) {
    return testwin::PumpUntil(HandleMessages, Done, int(TimeoutMs));
}

inline void Pump() {
    for (int i = 0; i < 5; ++i) {
        Application->ProcessMessages();
        Sleep(1);
    }
}

// A press and release of Button at (X, Y) in the window's client area.
inline void PostClick(HWND Wnd, int X, int Y, TMouseButton Button = mbLeft) {
    UINT down = WM_LBUTTONDOWN, up = WM_LBUTTONUP;
    WPARAM key = MK_LBUTTON;
    if (Button == mbRight) {
        down = WM_RBUTTONDOWN;
        up = WM_RBUTTONUP;
        key = MK_RBUTTON;
    } else if (Button == mbMiddle) {
        down = WM_MBUTTONDOWN;
        up = WM_MBUTTONUP;
        key = MK_MBUTTON;
    }
    PostMessageW(Wnd, WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
    PostMessageW(Wnd, down, key, MAKELPARAM(X, Y));
    PostMessageW(Wnd, up, 0, MAKELPARAM(X, Y));
}

inline void ClickControl(TForm* Form, TControl* C, TMouseButton Button = mbLeft) {
    PostClick(Form->Handle(), C->Left() + C->Width() / 2, C->Top() + C->Height() / 2, Button);
    Pump();
}

// The form's client area as 32-bit pixels (0x00RRGGBB), top row first.
using testwin::Pixels;

inline Pixels Render(TWinControl* C) {
    int w = C->Width(), h = C->Height();
    if (TForm* f = dynamic_cast<TForm*>(C)) {
        w = f->ClientWidth();
        h = f->ClientHeight();
    }
    return testwin::Capture(w, h, [C](HDC dc) { C->PaintTo(dc, 0, 0); });
}

// Pixels of the rectangle that differ between two renderings.
inline int DifferingPixels(const Pixels& A, const Pixels& B, int X, int Y, int W, int H) {
    int n = 0;
    for (int y = Y; y < Y + H; ++y)
        for (int x = X; x < X + W; ++x) n += A.At(x, y) != B.At(x, y);
    return n;
}

// What the window shows now, read back from its own device context after
// its pending paints are done (the real WM_PAINT path, not PaintTo): only
// what the controls invalidated themselves is painted again.
inline Pixels Grab(TForm* F) {
    Pump();
    return testwin::CopyFromWindow(F->Handle(), RECT{0, 0, F->ClientWidth(), F->ClientHeight()});
}

using testwin::Blue;
using testwin::Green;
using testwin::Red;

inline bool WindowShown(TForm* F) { return F->Visible() && IsWindowVisible(F->Handle()); }

// Closing by the window's close box, as the system sends it.
inline void CloseBox(TForm* F) {
    PostMessageW(F->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
}
