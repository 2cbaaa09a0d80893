// Driving the lesson forms under Wine: real mouse messages to the windows,
// the message loop pumped until a condition holds, forms rendered to pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "Forms.h"

// Handles waiting messages until Done() holds or the time runs out.
inline bool PumpUntil(const std::function<bool()>& Done, DWORD TimeoutMs = 3000) {
    DWORD start = GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        if (Done()) return true;
        if (GetTickCount() - start > TimeoutMs) return false;
        Sleep(2);
    }
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
struct Pixels {
    int Width = 0, Height = 0;
    std::vector<uint32_t> P;
    uint32_t At(int x, int y) const { return P[size_t(y) * Width + x]; }
};

inline Pixels Render(TWinControl* C) {
    Pixels px;
    px.Width = C->Width();
    px.Height = C->Height();
    if (TForm* f = dynamic_cast<TForm*>(C)) {
        px.Width = f->ClientWidth();
        px.Height = f->ClientHeight();
    }
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = px.Width;
    bi.bmiHeader.biHeight = -px.Height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    C->PaintTo(dc, 0, 0);
    GdiFlush();
    px.P.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + size_t(px.Width) * px.Height);
    for (uint32_t& v : px.P) v &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return px;
}

// Pixels of the rectangle that differ between two renderings.
inline int DifferingPixels(const Pixels& A, const Pixels& B, int X, int Y, int W, int H) {
    int n = 0;
    for (int y = Y; y < Y + H; ++y)
        for (int x = X; x < X + W; ++x) n += A.At(x, y) != B.At(x, y);
    return n;
}

// What the window shows now, read back from its own device context after
// its pending paints are done (the real WM_PAINT path, not PaintTo).
inline Pixels Grab(TForm* F) {
    RedrawWindow(F->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    Pixels px;
    px.Width = F->ClientWidth();
    px.Height = F->ClientHeight();
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = px.Width;
    bi.bmiHeader.biHeight = -px.Height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC wdc = GetDC(F->Handle());
    HDC dc = CreateCompatibleDC(wdc);
    HBITMAP bmp = CreateDIBSection(wdc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    BitBlt(dc, 0, 0, px.Width, px.Height, wdc, 0, 0, SRCCOPY);
    GdiFlush();
    px.P.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + size_t(px.Width) * px.Height);
    for (uint32_t& v : px.P) v &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(F->Handle(), wdc);
    return px;
}

inline int Red(uint32_t c) { return (c >> 16) & 0xFF; }
inline int Green(uint32_t c) { return (c >> 8) & 0xFF; }
inline int Blue(uint32_t c) { return c & 0xFF; }

inline bool WindowShown(TForm* F) { return F->Visible() && IsWindowVisible(F->Handle()); }

// Closing by the window's close box, as the system sends it.
inline void CloseBox(TForm* F) {
    PostMessageW(F->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
}
