#include "MenuDriver.h"

#include <algorithm>

namespace menutest {

namespace {
std::vector<Step> g_Steps;
size_t g_Next = 0;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_Next >= g_Steps.size()) return;
    // Taken out first: a step may open a menu whose loop runs the next ones.
    Step s = g_Steps[g_Next++];
    s();
}

BOOL CALLBACK CollectMenu(HWND Wnd, LPARAM Param) {
    wchar_t cls[16] = {};
    GetClassNameW(Wnd, cls, 16);
    if (wcscmp(cls, L"#32768") == 0 && IsWindowVisible(Wnd) &&
        GetWindowThreadProcessId(Wnd, nullptr) == GetCurrentThreadId())
        reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Wnd);
    return TRUE;
}
}  // namespace

LoopScript::LoopScript(std::vector<Step> Steps, int TickMs) {
    g_Steps = std::move(Steps);
    g_Next = 0;
    FTimer = SetTimer(nullptr, 0, UINT(TickMs), Tick);
}

LoopScript::~LoopScript() {
    KillTimer(nullptr, FTimer);
    g_Steps.clear();
    g_Next = 0;
}

bool LoopScript::Done() const { return g_Next >= g_Steps.size(); }

void Keys(std::initializer_list<WORD> Vks) {
    for (WORD vk : Vks) testwin::SendInputs({testwin::KeyStroke(vk, false), testwin::KeyStroke(vk, true)});
}

void Chord(WORD Modifier, WORD Vk) {
    testwin::SendInputs({testwin::KeyStroke(Modifier, false), testwin::KeyStroke(Vk, false),
                         testwin::KeyStroke(Vk, true), testwin::KeyStroke(Modifier, true)});
}

void ClickAt(POINT Screen) {
    SetCursorPos(Screen.x, Screen.y);
    testwin::SendInputs({testwin::MouseButton(MOUSEEVENTF_LEFTDOWN), testwin::MouseButton(MOUSEEVENTF_LEFTUP)});
}

std::vector<HWND> MenuWindows() {
    std::vector<HWND> found;
    EnumWindows(CollectMenu, reinterpret_cast<LPARAM>(&found));
    return found;  // top-level windows come in z-order, the top one first
}

RECT ItemRect(HWND Owner, HMENU Menu, int Position) {
    RECT r{};
    GetMenuItemRect(Owner, Menu, UINT(Position), &r);
    return r;
}

testwin::Pixels MenuPixels(HWND MenuWindow) {
    RECT w;
    GetWindowRect(MenuWindow, &w);
    return testwin::CopyFromWindow(MenuWindow, RECT{0, 0, w.right - w.left, w.bottom - w.top}, true);
}

}  // namespace menutest
