// Playing the sorting game with the mouse: presses, moves and releases sent
// to the window under the cursor (or the one holding the capture), with the
// cursor moved there first, as the game reads the cursor position.
#pragma once

#include <gtest/gtest.h>

#include "LessonTestUtil.h"
#include "RzButton.h"
#include "RzPanel.h"
#include "Unit2.h"
#include "Unit51.h"
#include "Unit52.h"
#include "sScrollBar.h"

namespace sorting {

// Right group of each picture number.
inline TRzGroupBox* RightGroup(int Number) {
    switch (Number) {
    case 3: case 6: case 12: case 13: return raspr->RzGroupBox2;
    case 4: case 7: case 9: case 10: case 16: return raspr->RzGroupBox3;
    default: return raspr->RzGroupBox4;
    }
}
inline TRzGroupBox* WrongGroup(int Number) {
    return RightGroup(Number) == raspr->RzGroupBox2 ? raspr->RzGroupBox4 : raspr->RzGroupBox2;
}

inline TPoint ScreenCentre(TControl* C) { return C->ClientToScreen(Point(C->Width() / 2, C->Height() / 2)); }

// An empty spot of a group's window, below the rows the game fills.
inline TPoint DropPoint(TRzGroupBox* G) {
    TControl* window = G->Parent();
    return window->ClientToScreen(Point(window->Width() / 2, window->Height() - 20));
}

inline void MouseAt(UINT Msg, WPARAM Keys, TPoint Screen) {
    SetCursorPos(Screen.X, Screen.Y);
    HWND h = GetCapture();
    if (!h) h = WindowFromPoint(POINT{Screen.X, Screen.Y});
    POINT c{Screen.X, Screen.Y};
    ScreenToClient(h, &c);
    PostMessageW(h, Msg, Keys, MAKELPARAM(short(c.x), short(c.y)));
    Pump();
}

// Left press at From, two moves, release at To.
inline void Drag(TPoint From, TPoint To) {
    MouseAt(WM_MOUSEMOVE, 0, From);
    MouseAt(WM_LBUTTONDOWN, MK_LBUTTON, From);
    MouseAt(WM_MOUSEMOVE, MK_LBUTTON, Point((From.X + To.X) / 2, (From.Y + To.Y) / 2));
    MouseAt(WM_MOUSEMOVE, MK_LBUTTON, To);
    MouseAt(WM_LBUTTONUP, 0, To);
}

inline void Click(TPoint At, TMouseButton Button = mbLeft) {
    const UINT down = Button == mbLeft ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    const UINT up = Button == mbLeft ? WM_LBUTTONUP : WM_RBUTTONUP;
    MouseAt(WM_MOUSEMOVE, 0, At);
    MouseAt(down, Button == mbLeft ? MK_LBUTTON : MK_RBUTTON, At);
    MouseAt(up, 0, At);
}

// A press and release posted together: a system scroll bar tracks the press
// in a loop of its own until the release arrives.
inline void ClickPosted(TPoint At) {
    SetCursorPos(At.X, At.Y);
    HWND h = WindowFromPoint(POINT{At.X, At.Y});
    POINT c{At.X, At.Y};
    ScreenToClient(h, &c);
    PostMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(short(c.x), short(c.y)));
    PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(short(c.x), short(c.y)));
    PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(short(c.x), short(c.y)));
    Pump();
    Pump();
}

inline int SourceCount() { return raspr->RzGroupBox1->ControlCount(); }
// Pictures still in the source box (after the win it also holds the result strip).
inline int PicturesLeft() {
    int n = 0;
    for (int i = 0; i < SourceCount(); ++i) n += dynamic_cast<TImage*>(raspr->RzGroupBox1->Controls(i)) != nullptr;
    return n;
}

// The one picture shown in the source box (nullptr when none or several).
inline TImage* Shown() {
    TImage* shown = nullptr;
    for (int i = 0; i < SourceCount(); ++i)
        if (raspr->RzGroupBox1->Controls(i)->Visible()) {
            if (shown) return nullptr;
            shown = dynamic_cast<TImage*>(raspr->RzGroupBox1->Controls(i));
        }
    return shown;
}

inline int Counter() { return StrToInt(Form2->Label1->Caption()); }

// Opens the game with a real click on its ball in the menu.
inline void OpenFromMenu() {
    ASSERT_TRUE(Form2->Visible());
    ClickControl(Form2, Form2->Shape3);
    ASSERT_NE(raspr, nullptr);
    ASSERT_TRUE(PumpUntil([] { return IsWindowVisible(raspr->Handle()) != 0; }));
    SetForegroundWindow(raspr->Handle());
    Pump();
}

// Both browse buttons enabled exactly when there are pictures before and after.
inline void ExpectBrowseButtons() {
    const int n = SourceCount();
    if (PicturesLeft() == 0) return;
    AnsiString vis;
    for (int i = 0; i < n; ++i)
        if (raspr->RzGroupBox1->Controls(i)->Visible()) vis += " " + IntToStr(i);
    SCOPED_TRACE("source " + IntToStr(n) + " index " + IntToStr(Unit51::SourceIndex) + " shown" + vis);
    EXPECT_EQ(raspr->RzButton2->Enabled(), Unit51::SourceIndex > 0);
    EXPECT_EQ(raspr->RzButton1->Enabled(), Unit51::SourceIndex < n - 1);
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Shown(), raspr->RzGroupBox1->Controls(Unit51::SourceIndex));
}

}  // namespace sorting
