// Shared helpers of the Wine tests that drive real windows: a shown form,
// the message pump, the real cursor and mouse messages, and pixels read
// back from what the window shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "Controls.h"
#include "Forms.h"

namespace wineui {

inline void Pump(int ms = 30) {
    DWORD end = GetTickCount() + ms;
    do {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(2);
    } while (int(end - GetTickCount()) > 0);
}

// Pumps until Done answers true or the time is up.
inline bool PumpUntil(const std::function<bool()>& Done, int ms = 2000) {
    DWORD end = GetTickCount() + ms;
    while (!Done()) {
        if (int(end - GetTickCount()) <= 0) return false;
        Pump(5);
    }
    return true;
}

class TTestForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TTestForm"; }
};

// A visible, active form of the given client size at the screen's top left.
inline TTestForm* NewForm(int W, int H, TColor Color = clBtnFace) {
    auto* f = new TTestForm(nullptr);
    f->SetBorderStyle(bsNone);
    f->SetBounds(0, 0, W, H);
    f->SetColor(Color);
    f->Show();
    SetForegroundWindow(f->Handle());
    SetActiveWindow(f->Handle());
    Pump(60);
    return f;
}

// What the window shows, non-client area included, as 0xBBGGRR pixels.
struct Shot {
    int W = 0, H = 0;
    std::vector<uint32_t> Px;
    explicit Shot(HWND Wnd) {
        RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(20);
        RECT r;
        GetWindowRect(Wnd, &r);
        W = r.right - r.left;
        H = r.bottom - r.top;
        HDC wdc = GetWindowDC(Wnd);
        HDC mem = CreateCompatibleDC(wdc);
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), W, -H, 1, 32, BI_RGB};
        void* bits = nullptr;
        HBITMAP bmp = CreateDIBSection(wdc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, W, H, wdc, 0, 0, SRCCOPY);
        GdiFlush();
        Px.resize(size_t(W) * H);
        const uint32_t* p = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < Px.size(); ++i) {
            uint32_t v = p[i];
            Px[i] = ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
        }
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(Wnd, wdc);
    }
    uint32_t At(int x, int y) const { return (x < 0 || y < 0 || x >= W || y >= H) ? 0xFFFFFFFFu : Px[size_t(y) * W + x]; }
    int Count(uint32_t c) const {
        int n = 0;
        for (uint32_t v : Px) n += v == c;
        return n;
    }
};

// Moves the real cursor to a client point of the control and tells the
// window, so that enter and leave tracking sees what a user would do.
inline void MouseTo(TWinControl* C, int X, int Y) {
    TPoint s = C->ClientToScreen(Point(X, Y));
    SetCursorPos(s.X, s.Y);
    PostMessageW(C->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
    Pump(30);
}

inline void LeftDown(TWinControl* C, int X, int Y) {
    MouseTo(C, X, Y);
    PostMessageW(C->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
    Pump(30);
}

// With capture the release goes to the pressed window, wherever it is.
inline void LeftUp(TWinControl* C, int X, int Y) {
    PostMessageW(C->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(uint16_t(int16_t(X)), uint16_t(int16_t(Y))));
    Pump(30);
}

inline void Key(HWND Wnd, UINT Vk, bool Down) {
    PostMessageW(Wnd, Down ? WM_KEYDOWN : WM_KEYUP, Vk, Down ? 1 : (0xC0000001));
    Pump(20);
}

inline uint32_t Rgb(TColor c) {
    return c < 0 ? GetSysColor(c & 0xFF) & 0xFFFFFF : uint32_t(c) & 0xFFFFFF;
}

inline bool Near(uint32_t a, uint32_t b, int tol) {
    for (int s = 0; s < 24; s += 8) {
        int d = int((a >> s) & 0xFF) - int((b >> s) & 0xFF);
        if (d < -tol || d > tol) return false;
    }
    return true;
}

}  // namespace wineui
