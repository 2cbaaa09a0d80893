// The program as a whole: crossword.exe started as a child process shows its
// one form with the focus in the first cell, and ends when that is closed.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::wstring ProgramPath() {
  // A Unix path of the build tree, reached under Wine through drive Z:.
  std::string p = CROSSWORD_EXE;
  std::wstring w = L"Z:";
  for (char c : p) w += c == '/' ? L'\\' : wchar_t(c);
  return w;
}

struct Child {
  PROCESS_INFORMATION pi = {};
  HWND form = nullptr;
  ~Child() {
    if (pi.hProcess) {
      if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
  }
};

struct FindData {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindForm(HWND w, LPARAM lp) {
  auto* d = reinterpret_cast<FindData*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t text[64] = {};
  GetWindowTextW(w, text, 64);
  if (pid == d->pid && IsWindowVisible(w) && std::wstring(text) == L"Разгадайте кроссворд") {
    d->found = w;
    return FALSE;
  }
  return TRUE;
}

void Start(Child& c) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  std::wstring cmd = L"\"" + ProgramPath() + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &c.pi))
      << "cannot start " << CROSSWORD_EXE << " error " << GetLastError();
  for (int i = 0; i < 500 && !c.form; ++i) {
    FindData d{c.pi.dwProcessId, nullptr};
    EnumWindows(FindForm, reinterpret_cast<LPARAM>(&d));
    c.form = d.found;
    if (!c.form) Sleep(20);
  }
  ASSERT_NE(c.form, nullptr) << "the form did not appear";
}

DWORD WaitExit(Child& c, DWORD ms = 10000) {
  if (WaitForSingleObject(c.pi.hProcess, ms) != WAIT_OBJECT_0) return 0xDEAD;
  DWORD code = 0xBEEF;
  GetExitCodeProcess(c.pi.hProcess, &code);
  return code;
}

// The focused window of another thread.
HWND FocusOf(HWND top) {
  GUITHREADINFO gi{};
  gi.cbSize = sizeof gi;
  GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &gi);
  return gi.hwndFocus;
}

}  // namespace

TEST(Program, ShowsItsFormWithTheFirstCellFocusedAndEndsWhenClosed) {
  Child c;
  ASSERT_NO_FATAL_FAILURE(Start(c));
  RECT cr;
  GetClientRect(c.form, &cr);
  EXPECT_EQ(cr.right, 749);
  EXPECT_EQ(cr.bottom, 474);
  // The first cell of the first word: column 3 of row 1.
  HWND focus = nullptr;
  for (int i = 0; i < 100 && !IsChild(c.form, focus); ++i) {
    focus = FocusOf(c.form);
    if (!IsChild(c.form, focus)) Sleep(20);
  }
  ASSERT_TRUE(IsChild(c.form, focus)) << "no cell has the focus";
  RECT fr;
  GetWindowRect(focus, &fr);
  MapWindowPoints(nullptr, c.form, reinterpret_cast<POINT*>(&fr), 2);
  EXPECT_EQ(fr.left, 48 + 32 * 3);
  EXPECT_EQ(fr.top, 72);
  EXPECT_EQ(WaitForSingleObject(c.pi.hProcess, 200), static_cast<DWORD>(WAIT_TIMEOUT)) << "it runs until closed";
  PostMessageW(c.form, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitExit(c), 0u);
}

TEST(Program, TheCloseBoxEndsItToo) {
  Child c;
  ASSERT_NO_FATAL_FAILURE(Start(c));
  PostMessageW(c.form, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(WaitExit(c), 0u);
}
