#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace testwin {

void DispatchWaiting() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

void PumpFor(MessageHandler Handle, int Ms) {
    DWORD end = GetTickCount() + DWORD(Ms);
    for (;;) {
        Handle();
        LONG left = LONG(end - GetTickCount());
        if (left <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left), QS_ALLINPUT);
    }
    Handle();
}

bool PumpUntil(MessageHandler Handle, const std::function<bool()>& Done, int TimeoutMs) {
    DWORD end = GetTickCount() + DWORD(TimeoutMs);
    while (!Done()) {
        Handle();
        if (Done()) return true;
        LONG left = LONG(end - GetTickCount());
        if (left <= 0) return Done();
        // Timers post nothing the wait could see: wake at least every 10 ms.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(std::min<LONG>(left, 10)), QS_ALLINPUT);
    }
    return true;
}

void RegisterWindowClass(const wchar_t* Name, WNDPROC Proc, HBRUSH Background) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = Background;
    wc.lpszClassName = Name;
    RegisterClassW(&wc);
}

int Pixels::Count(uint32_t Rgb) const {
    int n = 0;
    for (uint32_t p : Data) n += p == Rgb;
    return n;
}

double Pixels::Share(uint32_t Rgb) const {
    return Data.empty() ? 0 : double(Count(Rgb)) / double(Data.size());
}

int Pixels::Differing(const Pixels& Other) const {
    int n = 0;
    for (size_t i = 0; i < Data.size() && i < Other.Data.size(); ++i) n += Data[i] != Other.Data[i];
    return n;
}

Pixels Capture(int W, int H, const std::function<void(HDC)>& Draw) {
    Pixels px;
    px.Width = W;
    px.Height = H;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = W;
    bi.bmiHeader.biHeight = -H;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    Draw(mem);
    GdiFlush();
    px.Data.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + size_t(W) * size_t(H));
    for (uint32_t& p : px.Data) p &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return px;
}

Pixels CopyFromWindow(HWND Wnd, const RECT& R, bool WholeWindow) {
    return Capture(R.right - R.left, R.bottom - R.top, [&](HDC dc) {
        HDC wdc = WholeWindow ? GetWindowDC(Wnd) : GetDC(Wnd);
        BitBlt(dc, 0, 0, R.right - R.left, R.bottom - R.top, wdc, R.left, R.top, SRCCOPY);
        ReleaseDC(Wnd, wdc);
    });
}

INPUT KeyInput(WORD Vk, WORD Scan, DWORD Flags) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = Vk;
    i.ki.wScan = Scan;
    i.ki.dwFlags = Flags;
    return i;
}

INPUT KeyStroke(WORD Vk, bool Up) {
    bool extended = Vk == VK_LEFT || Vk == VK_RIGHT || Vk == VK_UP || Vk == VK_DOWN || Vk == VK_DELETE;
    return KeyInput(Vk, WORD(MapVirtualKeyW(Vk, MAPVK_VK_TO_VSC)),
                    (Up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0));
}

bool MouseAt(int X, int Y, DWORD Buttons) {
    // Absolute coordinates run from 0 to 65535 over the primary screen.
    const int sx = std::max(GetSystemMetrics(SM_CXSCREEN) - 1, 1), sy = std::max(GetSystemMetrics(SM_CYSCREEN) - 1, 1);
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dx = LONG((X * 65535 + sx / 2) / sx);
    i.mi.dy = LONG((Y * 65535 + sy / 2) / sy);
    i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | Buttons;
    return SendInputs({i});
}

namespace {
struct Script {
    const std::vector<MouseStep>* Steps;
    int Gap;
    volatile LONG Done = 0;
};
DWORD WINAPI RunScript(LPVOID P) {
    auto* s = static_cast<Script*>(P);
    for (const MouseStep& m : *s->Steps) {
        MouseAt(m.X, m.Y, m.Button == 1 ? MOUSEEVENTF_LEFTDOWN : m.Button == 2 ? MOUSEEVENTF_LEFTUP : 0);
        Sleep(DWORD(s->Gap));
    }
    InterlockedExchange(&s->Done, 1);
    return 0;
}
}  // namespace

void MouseScript(MessageHandler Handle, const std::vector<MouseStep>& Steps, int Gap) {
    Script s{&Steps, Gap};
    HANDLE t = CreateThread(nullptr, 0, &RunScript, &s, 0, nullptr);
    if (!t) return;
    PumpUntil(Handle, [&] { return s.Done != 0; }, 20000);
    WaitForSingleObject(t, 20000);
    CloseHandle(t);
    PumpFor(Handle, 120);
}

void DragMouse(MessageHandler Handle, POINT From, POINT To, int Steps, int Gap) {
    // A moment's hold after the press: the move or size loop starts first.
    const int fx = int(From.x), fy = int(From.y);
    std::vector<MouseStep> v{{fx, fy, 0}, {fx, fy, 1}, {fx, fy, 0}, {fx, fy, 0}};
    for (int i = 1; i <= Steps; ++i)
        v.push_back({int(From.x + (To.x - From.x) * i / Steps), int(From.y + (To.y - From.y) * i / Steps), 0});
    v.push_back({int(To.x), int(To.y), 2});
    MouseScript(Handle, v, Gap);
}

bool SendInputs(const std::vector<INPUT>& In) {
    std::vector<INPUT> in = In;
    return SendInput(UINT(in.size()), in.data(), sizeof(INPUT)) == in.size();
}

INPUT MouseButton(DWORD Flags) {
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dwFlags = Flags;
    return i;
}

bool LeftClickAt(MessageHandler Handle, POINT Screen) {
    SetCursorPos(Screen.x, Screen.y);
    PumpFor(Handle, 20);
    // Both at once: a control that waits for the release in a loop of its
    // own (a drag test on the press) finds it there.
    bool sent = SendInputs({MouseButton(MOUSEEVENTF_LEFTDOWN), MouseButton(MOUSEEVENTF_LEFTUP)});
    PumpFor(Handle, 50);
    return sent;
}

std::wstring HostPath(const char* UnixPath) {
    std::wstring w = L"Z:";
    for (const char* c = UnixPath; *c; ++c) w += *c == '/' ? L'\\' : wchar_t(*c);
    return w;
}

ChildProgram::~ChildProgram() {
    if (pi.hProcess) {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
}

namespace {

struct FindData {
    DWORD pid;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND w, LPARAM lp) {
    auto* d = reinterpret_cast<FindData*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t text[64] = {};
    GetWindowTextW(w, text, 64);
    if (pid == d->pid && IsWindowVisible(w) && std::wstring(text) == d->title) {
        d->found = w;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void ChildProgram::Start(const char* Exe, const wchar_t* Title, const std::wstring& Args) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + HostPath(Exe) + L"\"";
    if (!Args.empty()) cmd += L" " + Args;
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << "cannot start " << Exe << " error " << GetLastError();
    for (int i = 0; i < 500 && !window; ++i) {
        FindData d{pi.dwProcessId, Title, nullptr};
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&d));
        window = d.found;
        if (!window) Sleep(20);
    }
    ASSERT_NE(window, nullptr) << "its window did not appear";
}

DWORD ChildProgram::WaitExit(DWORD Ms) {
    if (WaitForSingleObject(pi.hProcess, Ms) != WAIT_OBJECT_0) return 0xDEAD;
    DWORD code = 0xBEEF;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

GuiObjects CountGuiObjects() {
    GuiObjects n{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                 GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
    if (n.Gdi || n.User) return n;
    for (uintptr_t h = 1; h < 0x10000; ++h)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(h))) ++n.Gdi;
    for (uintptr_t h = 0x20; h < 0x10000; h += 2)
        if (IsMenu(reinterpret_cast<HMENU>(h)) || IsWindow(reinterpret_cast<HWND>(h))) ++n.User;
    return n;
}

}  // namespace testwin
