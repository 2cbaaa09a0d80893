// The program as a whole: Tuvreli.exe started as a child process shows its
// menu, and ends with exit code 0 from "Выход" and from the close box.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <set>
#include <string>

#include "WinTestSupport.h"

using testwin::ChildProgram;


TEST(Program, ShowsTheMenuCentredAndEndsFromExit) {
    ChildProgram c;
    ASSERT_NO_FATAL_FAILURE(c.Start(TUVRELI_EXE, L"Tuvreli"));
    RECT cr;
    GetClientRect(c.window, &cr);
    EXPECT_EQ(cr.right, 992);
    EXPECT_EQ(cr.bottom, 666);
    RECT wr;
    GetWindowRect(c.window, &wr);
    EXPECT_NEAR((wr.left + wr.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
    EXPECT_NEAR((wr.top + wr.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 2);
    // The program's icon, in its file for the shell.
    EXPECT_GE(ExtractIconExW(testwin::HostPath(TUVRELI_EXE).c_str(), -1, nullptr, nullptr, 0), 1u);
    // What the screen shows of the client area once painted: a picture, not a
    // plain fill.
    size_t colours = 0;
    for (int tries = 0; tries < 100 && colours <= 200; ++tries, Sleep(30)) {
        POINT org = {0, 0};
        ClientToScreen(c.window, &org);
        HDC screen = GetDC(nullptr);
        std::set<COLORREF> seen;
        for (int y = 0; y < 666; y += 7)
            for (int x = 0; x < 992; x += 7) seen.insert(GetPixel(screen, org.x + x, org.y + y));
        ReleaseDC(nullptr, screen);
        colours = seen.size();
    }
    EXPECT_GT(colours, 200u);
    // "Выход": the label over the exit ball at 864, 544, 81 by 65.
    POINT p = {864 + 40, 544 + 32};
    PostMessageW(c.window, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    PostMessageW(c.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageW(c.window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(c.WaitExit(), 0u);
}

TEST(Program, CloseBoxEndsTheProgram) {
    ChildProgram c;
    ASSERT_NO_FATAL_FAILURE(c.Start(TUVRELI_EXE, L"Tuvreli"));
    PostMessageW(c.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(c.WaitExit(), 0u);
}

TEST(Program, CloseBoxEndsTheProgramWhileAGameIsHidden) {
    ChildProgram c;
    ASSERT_NO_FATAL_FAILURE(c.Start(TUVRELI_EXE, L"Tuvreli"));
    // Open game 1 with the right button, close it by its close box, then end.
    PostMessageW(c.window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(572, 336));
    PostMessageW(c.window, WM_RBUTTONUP, 0, MAKELPARAM(572, 336));
    HWND game = nullptr;
    for (int i = 0; i < 250 && !game; ++i) {
        game = FindWindowW(nullptr, L"Zudaderir");
        if (!game || !IsWindowVisible(game)) game = nullptr, Sleep(20);
    }
    ASSERT_NE(game, nullptr);
    PostMessageW(game, WM_SYSCOMMAND, SC_CLOSE, 0);
    for (int i = 0; i < 250 && !IsWindowVisible(c.window); ++i) Sleep(20);
    ASSERT_TRUE(IsWindowVisible(c.window));
    PostMessageW(c.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(c.WaitExit(), 0u);
}
