// The program as a whole: Tuvreli.exe started as a child process shows its
// menu, and ends with exit code 0 from "Выход" and from the close box.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <set>
#include <string>

namespace {

std::wstring ProgramPath() {
    // The build passes the program's path in the build tree (a Unix path
    // under Wine, reached through drive Z:).
    std::string p = TUVRELI_EXE;
    std::wstring w = L"Z:";
    for (char c : p) w += c == '/' ? L'\\' : wchar_t(c);
    return w;
}

struct Child {
    PROCESS_INFORMATION pi = {};
    HWND menu = nullptr;
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

BOOL CALLBACK FindMenu(HWND w, LPARAM lp) {
    auto* d = reinterpret_cast<FindData*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t text[64] = {};
    GetWindowTextW(w, text, 64);
    if (pid == d->pid && IsWindowVisible(w) && std::wstring(text) == L"Tuvreli") {
        d->found = w;
        return FALSE;
    }
    return TRUE;
}

// Starts the program and waits for its menu window.
void Start(Child& c) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + ProgramPath() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &c.pi))
        << "cannot start " << TUVRELI_EXE << " error " << GetLastError();
    for (int i = 0; i < 500 && !c.menu; ++i) {
        FindData d{c.pi.dwProcessId, nullptr};
        EnumWindows(FindMenu, reinterpret_cast<LPARAM>(&d));
        c.menu = d.found;
        if (!c.menu) Sleep(20);
    }
    ASSERT_NE(c.menu, nullptr) << "the menu window did not appear";
}

DWORD WaitExit(Child& c) {
    if (WaitForSingleObject(c.pi.hProcess, 10000) != WAIT_OBJECT_0) return 0xDEAD;
    DWORD code = 0xBEEF;
    GetExitCodeProcess(c.pi.hProcess, &code);
    return code;
}

}  // namespace

TEST(Program, ShowsTheMenuCentredAndEndsFromExit) {
    Child c;
    ASSERT_NO_FATAL_FAILURE(Start(c));
    RECT cr;
    GetClientRect(c.menu, &cr);
    EXPECT_EQ(cr.right, 992);
    EXPECT_EQ(cr.bottom, 666);
    RECT wr;
    GetWindowRect(c.menu, &wr);
    EXPECT_NEAR((wr.left + wr.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
    EXPECT_NEAR((wr.top + wr.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 2);
    // The program's icon, in its file for the shell.
    EXPECT_GE(ExtractIconExW(ProgramPath().c_str(), -1, nullptr, nullptr, 0), 1u);
    // What the screen shows of the client area once painted: a picture, not a
    // plain fill.
    size_t colours = 0;
    for (int tries = 0; tries < 100 && colours <= 200; ++tries, Sleep(30)) {
        POINT org = {0, 0};
        ClientToScreen(c.menu, &org);
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
    PostMessageW(c.menu, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    PostMessageW(c.menu, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageW(c.menu, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(WaitExit(c), 0u);
}

TEST(Program, CloseBoxEndsTheProgram) {
    Child c;
    ASSERT_NO_FATAL_FAILURE(Start(c));
    PostMessageW(c.menu, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitExit(c), 0u);
}

TEST(Program, CloseBoxEndsTheProgramWhileAGameIsHidden) {
    Child c;
    ASSERT_NO_FATAL_FAILURE(Start(c));
    // Open game 1 with the right button, close it by its close box, then end.
    PostMessageW(c.menu, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(572, 336));
    PostMessageW(c.menu, WM_RBUTTONUP, 0, MAKELPARAM(572, 336));
    HWND game = nullptr;
    for (int i = 0; i < 250 && !game; ++i) {
        game = FindWindowW(nullptr, L"Zudaderir");
        if (!game || !IsWindowVisible(game)) game = nullptr, Sleep(20);
    }
    ASSERT_NE(game, nullptr);
    PostMessageW(game, WM_SYSCOMMAND, SC_CLOSE, 0);
    for (int i = 0; i < 250 && !IsWindowVisible(c.menu); ++i) Sleep(20);
    ASSERT_TRUE(IsWindowVisible(c.menu));
    PostMessageW(c.menu, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitExit(c), 0u);
}
