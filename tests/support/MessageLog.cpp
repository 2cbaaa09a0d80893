#include "MessageLog.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace testwin {

namespace {

const wchar_t kLogProp[] = L"testwin.LogWindow";

struct NamedMessage {
    UINT Msg;
    const char* Name;
};
#define TESTWIN_MSG(m) {m, #m}
const NamedMessage kNames[] = {
    TESTWIN_MSG(WM_CREATE), TESTWIN_MSG(WM_DESTROY), TESTWIN_MSG(WM_MOVE), TESTWIN_MSG(WM_SIZE),
    TESTWIN_MSG(WM_ACTIVATE), TESTWIN_MSG(WM_SETFOCUS), TESTWIN_MSG(WM_KILLFOCUS), TESTWIN_MSG(WM_ENABLE),
    TESTWIN_MSG(WM_SETREDRAW), TESTWIN_MSG(WM_SETTEXT), TESTWIN_MSG(WM_GETTEXT), TESTWIN_MSG(WM_GETTEXTLENGTH),
    TESTWIN_MSG(WM_PAINT), TESTWIN_MSG(WM_CLOSE), TESTWIN_MSG(WM_ERASEBKGND), TESTWIN_MSG(WM_SHOWWINDOW),
    TESTWIN_MSG(WM_ACTIVATEAPP), TESTWIN_MSG(WM_SETCURSOR), TESTWIN_MSG(WM_MOUSEACTIVATE),
    TESTWIN_MSG(WM_WINDOWPOSCHANGING), TESTWIN_MSG(WM_WINDOWPOSCHANGED), TESTWIN_MSG(WM_NOTIFY),
    TESTWIN_MSG(WM_GETFONT), TESTWIN_MSG(WM_SETFONT), TESTWIN_MSG(WM_NCCREATE), TESTWIN_MSG(WM_NCDESTROY),
    TESTWIN_MSG(WM_NCCALCSIZE), TESTWIN_MSG(WM_NCHITTEST), TESTWIN_MSG(WM_NCPAINT), TESTWIN_MSG(WM_NCACTIVATE),
    TESTWIN_MSG(WM_GETDLGCODE), TESTWIN_MSG(WM_KEYDOWN), TESTWIN_MSG(WM_KEYUP), TESTWIN_MSG(WM_CHAR),
    TESTWIN_MSG(WM_COMMAND), TESTWIN_MSG(WM_SYSCOMMAND), TESTWIN_MSG(WM_TIMER), TESTWIN_MSG(WM_HSCROLL),
    TESTWIN_MSG(WM_VSCROLL), TESTWIN_MSG(WM_CTLCOLOREDIT), TESTWIN_MSG(WM_CTLCOLORSCROLLBAR),
    TESTWIN_MSG(WM_CTLCOLORSTATIC), TESTWIN_MSG(WM_MOUSEMOVE), TESTWIN_MSG(WM_LBUTTONDOWN),
    TESTWIN_MSG(WM_LBUTTONUP), TESTWIN_MSG(WM_RBUTTONDOWN), TESTWIN_MSG(WM_RBUTTONUP), TESTWIN_MSG(WM_PARENTNOTIFY),
    TESTWIN_MSG(WM_CAPTURECHANGED), TESTWIN_MSG(WM_MOUSELEAVE), TESTWIN_MSG(WM_PRINTCLIENT),
    TESTWIN_MSG(WM_UPDATEUISTATE), TESTWIN_MSG(WM_CHANGEUISTATE), TESTWIN_MSG(WM_QUERYUISTATE),
    TESTWIN_MSG(WM_STYLECHANGING), TESTWIN_MSG(WM_STYLECHANGED), TESTWIN_MSG(WM_GETMINMAXINFO),
    TESTWIN_MSG(WM_CHILDACTIVATE), TESTWIN_MSG(WM_THEMECHANGED), TESTWIN_MSG(WM_USER),
};
#undef TESTWIN_MSG
// The class library's own messages and its reflected notifications.
constexpr UINT kClassLibBase = 0xB000, kReflectedBase = 0xBC00;

bool Fits(const ExpectedMessage& E, const LoggedMessage& M) {
    return E.Msg == M.Msg && (!E.Window || E.Window == M.Window) && ((E.Flags & kWParamAny) || E.WParam == M.WParam) &&
           ((E.Flags & kLParamAny) || E.LParam == M.LParam);
}

std::string Hex(uintptr_t V) {
    char b[24];
    std::snprintf(b, sizeof b, "%#llx", static_cast<unsigned long long>(V));
    return b;
}

std::string Describe(const LoggedMessage& M) {
    return MessageName(M.Msg) + " hwnd " + Hex(uintptr_t(M.Window)) + " w " + Hex(M.WParam) + " l " +
           Hex(uintptr_t(M.LParam));
}

std::string Describe(const ExpectedMessage& E) {
    std::string s = MessageName(E.Msg);
    if (E.Window) s += " hwnd " + Hex(uintptr_t(E.Window));
    s += " w " + ((E.Flags & kWParamAny) ? std::string("any") : Hex(E.WParam));
    s += " l " + ((E.Flags & kLParamAny) ? std::string("any") : Hex(uintptr_t(E.LParam)));
    if (E.Flags & kOptional) s += " (optional)";
    if (E.Flags & kRepeated) s += " (repeated)";
    return s;
}

}  // namespace

std::string MessageName(UINT Msg) {
    for (const NamedMessage& n : kNames)
        if (n.Msg == Msg) return n.Name;
    if (Msg >= kReflectedBase && Msg < kReflectedBase + 0x400) return "CN_BASE+" + Hex(Msg - kReflectedBase);
    if (Msg >= kClassLibBase && Msg < kReflectedBase) return "CM_BASE+" + std::to_string(Msg - kClassLibBase);
    return Hex(Msg);
}

void MessageLog::Ignore(std::initializer_list<UINT> Msgs) { FIgnored.insert(FIgnored.end(), Msgs); }

void MessageLog::Record(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (std::find(FIgnored.begin(), FIgnored.end(), Msg) != FIgnored.end()) return;
    FEntries.push_back({Window, Msg, WParam, LParam});
}

::testing::AssertionResult MessageLog::Matches(const std::vector<ExpectedMessage>& Expected) const {
    // can[i][j]: the first i logged messages are taken by the first j expected
    // entries, entry j-1 possibly still open for a repeat.
    const size_t n = FEntries.size(), m = Expected.size();
    std::vector<std::vector<char>> can(n + 1, std::vector<char>(m + 1, 0));
    can[0][0] = 1;
    for (size_t i = 0; i <= n; ++i)
        for (size_t j = 0; j <= m; ++j) {
            if (!can[i][j]) continue;
            if (j < m && (Expected[j].Flags & kOptional)) can[i][j + 1] = 1;
            if (i < n && j < m && Fits(Expected[j], FEntries[i])) can[i + 1][j + 1] = 1;
            if (i < n && j > 0 && (Expected[j - 1].Flags & kRepeated) && Fits(Expected[j - 1], FEntries[i]))
                can[i + 1][j] = 1;
        }
    if (can[n][m]) return ::testing::AssertionSuccess();

    // The furthest logged message any alignment reaches, and what it wanted next.
    size_t reached = 0;
    for (size_t i = 0; i <= n; ++i)
        for (size_t j = 0; j <= m; ++j)
            if (can[i][j]) reached = std::max(reached, i);
    std::vector<size_t> wanted;
    for (size_t j = 0; j <= m; ++j)
        if (can[reached][j]) wanted.push_back(j);
    std::string out = "the message sequence differs from the expected one\n  expected:\n";
    for (size_t j = 0; j < m; ++j) {
        const bool next = std::find(wanted.begin(), wanted.end(), j) != wanted.end();
        out += std::string(next ? "  >" : "   ") + std::to_string(j) + ": " + Describe(Expected[j]) + "\n";
    }
    out += "  logged:\n";
    for (size_t i = 0; i < n; ++i)
        out += std::string(i == reached ? "  >" : "   ") + std::to_string(i) + ": " + Describe(FEntries[i]) + "\n";
    if (reached == n) out += "  >" + std::to_string(n) + ": (end of the log: expected entries are missing)\n";
    out += "  (> marks the first logged message no alignment could take and the entries expected there)";
    return ::testing::AssertionFailure() << out;
}

LogWindow::LogWindow(MessageLog& Log, HWND Window) : FLog(Log), FWindow(Window), FPrevious(nullptr) {
    // One log window per window: its procedure finds this object by a property.
    if (!Window || GetPropW(Window, kLogProp)) {
        ADD_FAILURE() << "LogWindow: no window, or one already logged";
        return;
    }
    SetPropW(Window, kLogProp, this);
    FPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LogWindow::Proc)));
}

LogWindow::~LogWindow() {
    if (!FPrevious || !IsWindow(FWindow)) return;
    const auto now = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(FWindow, GWLP_WNDPROC));
    if (now != &LogWindow::Proc) ADD_FAILURE() << "LogWindow: another subclass is still on the window";
    SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevious));
    RemovePropW(FWindow, kLogProp);
}

LRESULT CALLBACK LogWindow::Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* self = static_cast<LogWindow*>(GetPropW(Wnd, kLogProp));
    if (!self) return DefWindowProcW(Wnd, Msg, WParam, LParam);
    const WNDPROC previous = self->FPrevious;
    try {
        self->FLog.Record(Wnd, Msg, WParam, LParam);
    } catch (...) {
        // Nothing crosses into the system; a lost entry shows as a mismatch.
    }
    if (Msg == WM_NCDESTROY) {
        // The window goes: put its procedure back so the last messages reach it.
        SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropW(Wnd, kLogProp);
        self->FPrevious = nullptr;
    }
    return CallWindowProcW(previous, Wnd, Msg, WParam, LParam);
}

}  // namespace testwin
