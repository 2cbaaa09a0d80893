// Shared helpers of the Wine tests that drive real windows: a shown form,
// the message pump, the real cursor and mouse messages, and pixels read
// back from what the window shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "FormLoader.h"
#include "Forms.h"
#include "WinTestSupport.h"

namespace wineui {

inline void Pump(int ms = 30) { testwin::PumpFor(testwin::DispatchWaiting, ms); }

// Pumps until Done answers true or the time is up.
inline bool PumpUntil(const std::function<bool()>& Done, int ms = 2000) {
    return testwin::PumpUntil(testwin::DispatchWaiting, Done, ms);
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

// A form of class F made from a form text whose pictures are left empty.
template <class F>
std::unique_ptr<F> LoadFormText(const char8_t* Utf8, const char* FileName) {
    auto form = std::make_unique<F>(nullptr);
    FormObject def = ParseFormText(reinterpret_cast<const char*>(Utf8), FileName,
                                   [](const AnsiString&, const std::string&) { return std::vector<uint8_t>{}; });
    LoadFormDefinition(form.get(), def);
    return form;
}

// The form's component of that name as a T, or null.
template <class T>
T* Find(TForm* F, const char* Name) {
    return dynamic_cast<T*>(F->FindComponent(Name));
}

// How a shot gets its picture: as the window shows it once the waiting
// messages are handled, so what a control invalidated itself is what is
// seen; or repainted whole first, for a change no window is told of (the
// tests' visual-style switch).
enum class TShotPaint { AsShown, Repainted };

// What the window shows, non-client area included, as 0xBBGGRR pixels.
struct Shot {
    int W = 0, H = 0;
    std::vector<uint32_t> Px;
    explicit Shot(HWND Wnd, TShotPaint How = TShotPaint::AsShown) {
        if (How == TShotPaint::Repainted)
            RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(20);
        RECT r;
        GetWindowRect(Wnd, &r);
        W = r.right - r.left;
        H = r.bottom - r.top;
        testwin::Pixels shown = testwin::CopyFromWindow(Wnd, RECT{0, 0, W, H}, true);
        Px.resize(shown.Data.size());
        for (size_t i = 0; i < Px.size(); ++i) Px[i] = testwin::SwapRedBlue(shown.Data[i]);
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
