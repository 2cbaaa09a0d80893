// Playing the naming game with the mouse: names dragged with real button and
// move messages (the cursor follows, so the drop target is found from the
// screen), ticks of its timer run one at a time.
#pragma once

#include <gtest/gtest.h>

#include "LessonTestUtil.h"
#include "Unit2.h"
#include "Unit3.h"

namespace naming {

// The box each label belongs on, by label number (as the game defines it).
inline const char* const kBoxOf[11] = {nullptr,   "Shape3",  "Shape2", "Shape17", "Shape5", "Shape4",
                                       "Shape18", "Shape1",  "Shape6", "Shape19", "Shape20"};

inline TControl* Find(TForm* F, const char* Name) {
    auto* c = dynamic_cast<TControl*>(F->FindComponent(Name));
    EXPECT_NE(c, nullptr) << Name;
    return c;
}

inline TPoint Centre(TControl* C) { return Point(C->Left() + C->Width() / 2, C->Top() + C->Height() / 2); }

// One mouse message at client point P of the form, with the cursor there.
inline void MouseAt(TForm* F, UINT Msg, WPARAM Keys, TPoint P) {
    TPoint s = F->ClientToScreen(P);
    SetCursorPos(s.X, s.Y);
    PostMessageW(F->Handle(), Msg, Keys, MAKELPARAM(P.X, P.Y));
    Pump();
}

// Presses the left button on From, moves in two steps to To and releases.
inline void DragTo(TForm* F, TControl* From, TPoint To) {
    TPoint a = Centre(From);
    MouseAt(F, WM_MOUSEMOVE, 0, a);
    MouseAt(F, WM_LBUTTONDOWN, MK_LBUTTON, a);
    MouseAt(F, WM_MOUSEMOVE, MK_LBUTTON, Point((a.X + To.X) / 2, (a.Y + To.Y) / 2));
    MouseAt(F, WM_MOUSEMOVE, MK_LBUTTON, To);
    MouseAt(F, WM_LBUTTONUP, 0, To);
}

inline void DragName(int Number, const char* Target) {
    DragTo(sost, sost->Names[Number], Centre(Find(sost, Target)));
}

// One tick of the game's 500 ms timer (its handler, as the timer calls it).
inline void Tick() { sost->Timer1->OnTimer(sost->Timer1); }

// Opens the game from the menu with a real click on its ball and stops its
// timer, so that the tests decide when it ticks.
inline void OpenFromMenu() {
    ASSERT_TRUE(Form2->Visible());
    ClickControl(Form2, Form2->Shape2);
    ASSERT_NE(sost, nullptr);
    ASSERT_TRUE(PumpUntil([] { return IsWindowVisible(sost->Handle()) != 0; }));
    SetForegroundWindow(sost->Handle());
    sost->Timer1->SetEnabled(false);
    Pump();
}

// The game opened from the menu, every name dragged to its box, the win seen
// by a tick, and back to the menu by the game's "ДОМ".
inline void WinAndGoHome() {
    ASSERT_NO_FATAL_FAILURE(OpenFromMenu());
    for (int n = 1; n <= 10; ++n) DragName(n, kBoxOf[n]);
    Tick();
    ASSERT_TRUE(sost->RzLabel13->Enabled());
    ClickControl(sost, sost->RzLabel13);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible() && !sost->Visible(); }));
}

inline void PressCloseBox(TForm* F) {
    PostMessageW(F->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
}

inline int Counter() { return StrToInt(Form2->Label1->Caption()); }

// Pixels of the rectangle with exactly this colour (0xRRGGBB).
inline int CountColour(const Pixels& P, const TRect& R, uint32_t Rgb) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) n += P.At(x, y) == Rgb;
    return n;
}

}  // namespace naming
