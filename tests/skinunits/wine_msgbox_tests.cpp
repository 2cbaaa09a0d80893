// The typed message box as a user meets it: a real box on the screen, found
// among the thread's windows, its caption, text, icon and buttons read back,
// and answered with the real keyboard or mouse.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "acMsgBox.h"

namespace {

// What the answering timer saw of the box, and how it answers.
struct BoxWatch {
    enum How { Key, Click } Answer = Key;
    WORD Vk = VK_RETURN;  // Key: the key pressed
    int Button = IDOK;    // Click: the button clicked
    bool Found = false, Stuck = false;
    int Ticks = 0;
    std::wstring Caption, Text;
    HICON Icon = nullptr;
    std::vector<int> Buttons;
    int X = 0, Y = 0;  // the stored position while the box is open
};
BoxWatch* g_Watch = nullptr;

HWND ShownBox() {
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (std::wstring(cls) != L"#32770" || !IsWindowVisible(w)) return TRUE;
            *reinterpret_cast<HWND*>(p) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    return box;
}

std::wstring TextOf(HWND W) {
    wchar_t buf[256] = {};
    GetWindowTextW(W, buf, 256);
    return buf;
}

void ReadBox(HWND Box, BoxWatch& W) {
    W.Caption = TextOf(Box);
    W.Text = TextOf(GetDlgItem(Box, 0xFFFF));
    for (HWND c = GetWindow(Box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(c, cls, 16);
        if (std::wstring(cls) == L"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(c))
            W.Icon = HICON(SendMessageW(c, STM_GETICON, 0, 0));
    }
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, IDHELP}) {
        HWND b = GetDlgItem(Box, id);
        if (b && IsWindowVisible(b)) W.Buttons.push_back(id);
    }
    W.X = MessageBoxX;
    W.Y = MessageBoxY;
}

void Answer(HWND Box, const BoxWatch& W) {
    SetForegroundWindow(Box);
    if (W.Answer == BoxWatch::Key) {
        testwin::SendInputs({testwin::KeyStroke(W.Vk, false), testwin::KeyStroke(W.Vk, true)});
        return;
    }
    RECT r{};
    GetWindowRect(GetDlgItem(Box, W.Button), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT d{}, u{};
    d.type = u.type = INPUT_MOUSE;
    d.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    u.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    testwin::SendInputs({d, u});
}

// Runs inside the box's own modal loop: the first sight of the box is read
// and answered; a box still open after 5 s is cancelled so the test ends.
VOID CALLBACK WatchBox(HWND, UINT, UINT_PTR Id, DWORD) {
    BoxWatch& w = *g_Watch;
    HWND box = ShownBox();
    ++w.Ticks;
    if (box && !w.Found) {
        w.Found = true;
        ReadBox(box, w);
        Answer(box, w);
    } else if (box && w.Ticks > 50) {
        w.Stuck = true;
        EndDialog(box, IDCANCEL);
        KillTimer(nullptr, Id);
    }
}

template <class Show>
int ShowWatched(BoxWatch& W, Show&& ShowBox) {
    g_Watch = &W;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &WatchBox);
    const int result = ShowBox();
    KillTimer(nullptr, timer);
    g_Watch = nullptr;
    return result;
}

HICON SystemIcon(const wchar_t* Id) { return Id ? LoadIconW(nullptr, Id) : nullptr; }

}  // namespace

TEST(TypedMessageBox, EachTypeShowsItsCaptionIconAndButtonsAndAnswersWhatTheUserPressed) {
    // Text in Windows-1251 bytes: the box must show it as Cyrillic.
    const AnsiString text = "\xD1\xEA\xE8\xED \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED";  // "Скин не найден"
    struct Case {
        const char* Name;
        TacMessageType Type;
        TMsgDlgButtons Buttons;
        const wchar_t* Icon;
        std::wstring Caption;
        std::vector<int> Shown;
        BoxWatch::How How;
        WORD Vk;
        int Button;
        int Result;
    };
    const Case cases[] = {
        {"warning, Enter", mtWarning, MsgDlgButtons({mbOK}), IDI_WARNING, L"Warning", {IDOK}, BoxWatch::Key,
         VK_RETURN, 0, IDOK},
        {"error, OK clicked", mtError, MsgDlgButtons({mbOK}), IDI_ERROR, L"Error", {IDOK}, BoxWatch::Click, 0,
         IDOK, IDOK},
        {"information, Escape", mtInformation, MsgDlgButtons({mbOK, mbCancel}), IDI_INFORMATION, L"Information",
         {IDOK, IDCANCEL}, BoxWatch::Key, VK_ESCAPE, 0, IDCANCEL},
        {"confirmation, Retry clicked", mtConfirmation, MsgDlgButtons({mbAbort, mbRetry, mbIgnore}), IDI_QUESTION,
         L"Confirm", {IDABORT, IDRETRY, IDIGNORE}, BoxWatch::Click, 0, IDRETRY, IDRETRY},
        {"custom, No clicked", mtCustom, MsgDlgButtons({mbYes, mbNo, mbCancel}), nullptr, L"",
         {IDCANCEL, IDYES, IDNO}, BoxWatch::Click, 0, IDNO, IDNO},
        {"custom, Enter on Yes", mtCustom, MsgDlgButtons({mbYes, mbNo}), nullptr, L"", {IDYES, IDNO},
         BoxWatch::Key, VK_RETURN, 0, IDYES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        BoxWatch w;
        w.Answer = c.How;
        w.Vk = c.Vk;
        w.Button = c.Button;
        const int result = ShowWatched(w, [&] { return MessageByType(text, c.Type, c.Buttons); });
        ASSERT_TRUE(w.Found) << "no box on the screen";
        EXPECT_FALSE(w.Stuck) << "the box did not take the answer";
        EXPECT_EQ(result, c.Result);
        EXPECT_EQ(w.Caption, c.Caption);
        EXPECT_EQ(w.Text, L"Скин не найден");
        EXPECT_EQ(w.Icon, SystemIcon(c.Icon));
        EXPECT_EQ(w.Buttons, c.Shown);
        EXPECT_EQ(w.X, -1);
        EXPECT_EQ(ShownBox(), nullptr);
    }
}

TEST(TypedMessageBox, TheShortFormsAndAGivenPlaceAndCaption) {
    BoxWatch w;
    EXPECT_EQ(ShowWatched(w, [] { return ShowError("Bad skin"); }), IDOK);
    EXPECT_EQ(w.Caption, L"Error");
    EXPECT_EQ(w.Icon, SystemIcon(IDI_ERROR));
    EXPECT_EQ(w.Buttons, std::vector<int>{IDOK});

    w = BoxWatch();
    EXPECT_EQ(ShowWatched(w, [] { return ShowWarning("Wrong header"); }), IDOK);
    EXPECT_EQ(w.Caption, L"Warning");
    EXPECT_EQ(w.Text, L"Wrong header");

    // The place is held for the dialog hook only while the box is open; a
    // Help button joins the others.
    w = BoxWatch();
    w.Answer = BoxWatch::Key;
    w.Vk = VK_ESCAPE;
    const int r = ShowWatched(w, [] {
        return ShowTypedMessage("Skin host", "Load?", mtConfirmation, MsgDlgButtons({mbYes, mbNo, mbCancel, mbHelp}),
                                120, 80);
    });
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_EQ(w.Caption, L"Skin host");
    EXPECT_EQ(w.X, 120);
    EXPECT_EQ(w.Y, 80);
    EXPECT_EQ(w.Buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO, IDHELP}));
    EXPECT_EQ(MessageBoxX, -1);
    EXPECT_EQ(MessageBoxY, -1);
}
