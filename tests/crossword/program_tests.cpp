// The program as a whole: crossword.exe started as a child process shows its
// one form with the focus in the first cell, and ends when that is closed.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WinTestSupport.h"

using testwin::ChildProgram;

namespace {

// The focused window of another thread.
HWND FocusOf(HWND top) {
  GUITHREADINFO gi{};
  gi.cbSize = sizeof gi;
  GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &gi);
  return gi.hwndFocus;
}

}  // namespace

TEST(Program, ShowsItsFormWithTheFirstCellFocusedAndEndsWhenClosed) {
  ChildProgram c;
  ASSERT_NO_FATAL_FAILURE(c.Start(CROSSWORD_EXE, L"Разгадайте кроссворд"));
  RECT cr;
  GetClientRect(c.window, &cr);
  EXPECT_EQ(cr.right, 749);
  EXPECT_EQ(cr.bottom, 474);
  // The first cell of the first word: column 3 of row 1.
  HWND focus = nullptr;
  for (int i = 0; i < 100 && !IsChild(c.window, focus); ++i) {
    focus = FocusOf(c.window);
    if (!IsChild(c.window, focus)) Sleep(20);
  }
  ASSERT_TRUE(IsChild(c.window, focus)) << "no cell has the focus";
  RECT fr;
  GetWindowRect(focus, &fr);
  MapWindowPoints(nullptr, c.window, reinterpret_cast<POINT*>(&fr), 2);
  EXPECT_EQ(fr.left, 48 + 32 * 3);
  EXPECT_EQ(fr.top, 72);
  EXPECT_EQ(WaitForSingleObject(c.pi.hProcess, 200), static_cast<DWORD>(WAIT_TIMEOUT)) << "it runs until closed";
  PostMessageW(c.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(c.WaitExit(), 0u);
}

TEST(Program, TheCloseBoxEndsItToo) {
  ChildProgram c;
  ASSERT_NO_FATAL_FAILURE(c.Start(CROSSWORD_EXE, L"Разгадайте кроссворд"));
  PostMessageW(c.window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(c.WaitExit(), 0u);
}
