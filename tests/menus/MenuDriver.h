// Drives menus, which run loops of their own: a script's steps run one per
// tick of a thread timer, which the menu loop dispatches like any message,
// and type or click through SendInput; the menu windows ("#32768") of the
// thread are found and read back as pixels. Shared by the menus' Wine tests.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "WinTestSupport.h"

namespace menutest {

using Step = std::function<void()>;

// Runs the steps, one a tick, from the moment it is made; what the steps do
// not reach (a menu closed early) is left undone. Ends the timer when gone.
class LoopScript {
public:
    explicit LoopScript(std::vector<Step> Steps, int TickMs = 150);
    ~LoopScript();
    LoopScript(const LoopScript&) = delete;
    LoopScript& operator=(const LoopScript&) = delete;
    bool Done() const;

private:
    UINT_PTR FTimer = 0;
};

// Each key pressed and released in turn.
void Keys(std::initializer_list<WORD> Vks);
// Modifier held around a key (Alt+F, Ctrl+O).
void Chord(WORD Modifier, WORD Vk);
// The real cursor moved to a screen point, the left button pressed and released there.
void ClickAt(POINT Screen);

// The visible menu windows of this thread, the one opened last first.
std::vector<HWND> MenuWindows();
// The last opened menu window, or nullptr.
inline HWND TopMenuWindow() {
    std::vector<HWND> w = MenuWindows();
    return w.empty() ? nullptr : w.front();
}
inline POINT CentreOf(const RECT& R) { return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
// A menu item's rectangle on the screen (Owner: the window the menu belongs to).
RECT ItemRect(HWND Owner, HMENU Menu, int Position);
// What the whole menu window shows.
testwin::Pixels MenuPixels(HWND MenuWindow);

}  // namespace menutest
