// Message-sequence tests: a log of (window, message, wParam, lParam) taken at
// a window procedure, compared with an expected sequence. This is how a test
// says which message reaches which procedure in which order: pass-through of
// a subclass, nested sends (a message sent while another is handled lands in
// the log between them), a procedure restored exactly, self-removal.
//
//   testwin::MessageLog log;
//   testwin::LogWindow spy(log, edit);            // records at edit's procedure
//   SetWindowTextW(edit, L"x");
//   EXPECT_TRUE(log.Matches({
//       {WM_SETTEXT, testwin::kLParamAny},
//       {WM_GETTEXTLENGTH, testwin::kOptional | testwin::kRepeated},
//       {WM_COMMAND, MAKEWPARAM(1, EN_CHANGE), 0, parent, testwin::kLParamAny},
//   }));
//
// On a mismatch Matches answers a failed AssertionResult whose message lists
// both sequences with the first message no alignment could take.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace testwin {

struct LoggedMessage {
    HWND Window;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};

// Flags of an expected entry. By default wParam and lParam must be equal and
// the window, when one is named, must be it.
enum : unsigned {
    kWParamAny = 1,  // any wParam
    kLParamAny = 2,  // any lParam
    kOptional = 4,   // may be missing
    kRepeated = 8,   // may come several times in a row (with kOptional: zero or more)
};
constexpr unsigned kParamsAny = kWParamAny | kLParamAny;

struct ExpectedMessage {
    UINT Msg;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    HWND Window = nullptr;  // nullptr: any window
    unsigned Flags = 0;
    // {WM_X}, {WM_X, flags}: parameters as the flags say (equal to 0 unless "any").
    ExpectedMessage(UINT M, unsigned F = 0) : Msg(M), Flags(F) {}
    ExpectedMessage(UINT M, WPARAM W, LPARAM L, HWND Wnd = nullptr, unsigned F = 0)
        : Msg(M), WParam(W), LParam(L), Window(Wnd), Flags(F) {}
};

class MessageLog {
public:
    // Messages of these numbers are not recorded (timers, paints, cursor
    // queries: whatever the system interleaves that the test is not about).
    void Ignore(std::initializer_list<UINT> Msgs);
    void Record(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void Clear() { FEntries.clear(); }
    const std::vector<LoggedMessage>& Entries() const { return FEntries; }

    // Whether the whole log is the expected sequence.
    ::testing::AssertionResult Matches(const std::vector<ExpectedMessage>& Expected) const;

private:
    std::vector<LoggedMessage> FEntries;
    std::vector<UINT> FIgnored;
};

// A readable name: WM_ names the log knows, "CM_BASE+n" for the class
// library's own, else the number.
std::string MessageName(UINT Msg);

// Records every message that reaches the window's procedure, before passing
// it on; destruction puts the procedure it replaced back exactly (it must
// then still be the window's procedure: subclasses are undone in reverse).
class LogWindow {
public:
    LogWindow(MessageLog& Log, HWND Window);
    ~LogWindow();
    LogWindow(const LogWindow&) = delete;
    LogWindow& operator=(const LogWindow&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    MessageLog& FLog;
    HWND FWindow;
    WNDPROC FPrevious;
};

}  // namespace testwin
