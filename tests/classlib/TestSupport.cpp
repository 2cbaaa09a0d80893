#include "TestSupport.h"

#include <gtest/gtest.h>

#include "Forms.h"
#include "UnitInit.h"

void HandleMessages() { Application->ProcessMessages(); }

void Pump(int Ms) { testwin::PumpFor(HandleMessages, Ms); }

bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs) {
    return testwin::PumpUntil(HandleMessages, Done, TimeoutMs);
}

int Pixels::Count(TColor C) const {
    int n = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (ColorAt(x, y) == C) ++n;
    return n;
}

Pixels Render(TWinControl* Control) {
    TRect r = Control->ClientRect();
    return {testwin::Capture(r.Width(), r.Height(), [&](HDC dc) { Control->PaintTo(dc, 0, 0); })};
}

Pixels Grab(HWND Wnd) {
    Pump(20);
    RECT r;
    GetClientRect(Wnd, &r);
    return {testwin::CopyFromWindow(Wnd, r)};
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
