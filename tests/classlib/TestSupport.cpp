#include "TestSupport.h"

#include <gtest/gtest.h>

#include "Forms.h"
#include "UnitInit.h"

void Pump(int Ms) {
    DWORD end = GetTickCount() + DWORD(Ms);
    for (;;) {
        Application->ProcessMessages();
        LONG left = LONG(end - GetTickCount());
        if (left <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left), QS_ALLINPUT);
    }
    Application->ProcessMessages();
}

bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs) {
    DWORD end = GetTickCount() + DWORD(TimeoutMs);
    while (!Done()) {
        Application->ProcessMessages();
        if (Done()) return true;
        LONG left = LONG(end - GetTickCount());
        if (left <= 0) return Done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(std::min<LONG>(left, 10)), QS_ALLINPUT);
    }
    return true;
}

int Pixels::Count(TColor C) const {
    int n = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (ColorAt(x, y) == C) ++n;
    return n;
}

namespace {

Pixels FromDC(int w, int h, const std::function<void(HDC)>& draw) {
    Pixels px;
    px.Width = w;
    px.Height = h;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    draw(mem);
    GdiFlush();
    px.Data.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + size_t(w) * size_t(h));
    for (uint32_t& p : px.Data) p &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return px;
}

}  // namespace

Pixels Render(TWinControl* Control) {
    TRect r = Control->ClientRect();
    return FromDC(r.Width(), r.Height(), [&](HDC dc) { Control->PaintTo(dc, 0, 0); });
}

Pixels Grab(HWND Wnd) {
    RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Application->ProcessMessages();
    RECT r;
    GetClientRect(Wnd, &r);
    return FromDC(r.right, r.bottom, [&](HDC dc) {
        HDC wdc = GetDC(Wnd);
        BitBlt(dc, 0, 0, r.right, r.bottom, wdc, 0, 0, SRCCOPY);
        ReleaseDC(Wnd, wdc);
    });
}

void PostMouse(HWND Wnd, UINT Msg, int X, int Y, WPARAM Keys) {
    PostMessageW(Wnd, Msg, Keys, MAKELPARAM(short(X), short(Y)));
    Application->ProcessMessages();
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    StartUnits({});
    Application->Initialize();
    int rc = RUN_ALL_TESTS();
    FinishUnits();
    return rc;
}
