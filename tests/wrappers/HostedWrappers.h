// The driver the plain-control and bar wrapper tests share: a host window
// (and a class-library form) that answers the engine's background query with
// one colour, as a skinned dialog would; the engine units and a manager over
// the Birch test skin for the whole run; a fixture that makes children of the
// host and wraps them; pixels read back and searched.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "Forms.h"
#include "WinTestSupport.h"
#include "acSBUtils.h"
#include "sSkinManager.h"

namespace hostwrap {

using testwin::Pixels;

// What the host answers as the background under its children (0x00RRGGBB).
constexpr uint32_t kHost = 0x40A060;
constexpr TColor kHostColor = TColor(0x60A040);  // the same, red in the low byte

extern TsSkinManager* M;  // the Birch manager of the run

// What the host window and the host form hear, before they answer: the
// window every message, the form what reaches its WndProc.
extern std::function<void(UINT, WPARAM, LPARAM)> HostHears, FormHears;

// The units and the common controls of IccClasses started, the host class
// "WrapperHost" registered and M made; the other way round.
void StartHostedRun(DWORD IccClasses);
void FinishHostedRun();

void Pump(int Ms = 40);
void MouseTo(int X, int Y, DWORD Buttons = 0);

// A class-library form that answers like the host.
class THostForm : public TForm {
public:
    explicit THostForm(TComponent* Owner) : TForm(Owner) { SetColor(kHostColor); }
    const char* ClassName() const override { return "THostForm"; }

protected:
    void WndProc(TMessage& Msg) override;
};

// The host window (HostWidth x HostHeight at 40, 40) in front; the wrappers
// made are deleted, last first, before it goes.
struct HostFixture : ::testing::Test {
    HWND Host = nullptr;
    std::vector<TacMainWnd*> Made;
    int HostWidth = 420, HostHeight = 300;

    void SetUp() override;
    void TearDown() override;
    // Called after the host is destroyed, before the last pump.
    virtual void HostGone() {}
    HWND Child(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H, DWORD Ex = 0,
               HWND Parent = nullptr);
    template <class T>
    T* Wrap(HWND H, const char* Section, TsCommonData* Data = nullptr) {
        T* w = CreateWrapper<T>(H, true, Section, M, Data);
        if (w) Made.push_back(w);
        InvalidateRect(H, nullptr, TRUE);
        return w;
    }
    void Free(TacMainWnd* W);
};

// The life of a wrapper that Make puts over H: one wrapper a window (Make
// gives nil the second time), Paint a thousand times without GDI or USER
// objects growing, the window's own procedure back when the wrapper lets
// go, and a wrapper made again knows when its window is destroyed under it.
void CheckWrapperLife(HWND H, const std::function<TacMainWnd*(HWND)>& Make, const std::function<void(HWND)>& Paint);

// The client area of Wnd as the screen shows it, after its paints.
Pixels Shot(HWND Wnd);

// The smallest box round the pixels that Ink picks within In (inclusive left
// and top).
struct Box {
    int L = INT_MAX, T = INT_MAX, R = -1, B = -1;
    bool Empty() const { return R < 0; }
    int Width() const { return Empty() ? 0 : R - L + 1; }
    int Height() const { return Empty() ? 0 : B - T + 1; }
};
Box Find(const Pixels& P, const std::function<bool(uint32_t)>& Ink, RECT In = {0, 0, INT_MAX, INT_MAX});

// Pixels near Colour (a font colour, blended at the edges).
std::function<bool(uint32_t)> Near(uint32_t Colour, int Tolerance = 60);
// Pixels of a section's font colour (hot or normal) in M's skin.
std::function<bool(uint32_t)> FontOf(const char* Section, bool Hot = false);
// The pixels of R in P, row by row.
std::vector<uint32_t> Part(const Pixels& P, const TRect& R);

}  // namespace hostwrap
