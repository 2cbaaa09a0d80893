// System dialogs skinned through the creation hook, under Wine: real
// message boxes of every icon and button set, a dialog template of our own
// and the colour dialog, each found on screen inside its own modal loop,
// its children wrapped by class (the "ACSBSC" property), its caption painted
// from the skin, answered with the real mouse and keyboard, and gone without
// leaving providers, wrappers or GUI objects behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "Forms.h"
#include "Guards.h"
#include "MenuDriver.h"
#include "SkinFormsHost.h"
#include "acMenuCache.h"
#include "Dialogs.h"
#include "acDials.h"
#include "acMsgBox.h"
#include "acSBUtils.h"
#include "acSBUtilsBars.h"

using namespace skinforms;

namespace {

int LiveProviders() {
    int n = 0;
    if (ProviderList)
        for (TacProvider* p : *ProviderList) n += p != nullptr;
    return n;
}

TacDialogWnd* DialogWrapper(HWND H) { return dynamic_cast<TacDialogWnd*>(GetWrapper(H)); }

std::string WrapperName(HWND H) {
    auto* w = static_cast<TacMainWnd*>(GetPropW(H, acWrapperProp));
    return w ? w->ClassName() : "";
}

// Every child window of the dialog by its class name, with the wrapper it has.
std::multimap<std::string, std::string> ChildWrappers(HWND Dlg) {
    std::multimap<std::string, std::string> out;
    for (HWND c = GetWindow(Dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64] = {};
        GetClassNameA(c, cls, 63);
        std::string name = cls;
        for (char& ch : name) ch = char(tolower(static_cast<unsigned char>(ch)));
        const LONG_PTR style = GetWindowLongPtrW(c, GWL_STYLE);
        if (name == "static" && (style & 0x1F) == SS_ICON) name = "static icon";
        if (name == "button" && (style & 0x0F) <= BS_DEFPUSHBUTTON) name = "push button";
        out.emplace(name, WrapperName(c));
    }
    return out;
}

// How many sampled points of the caption band on screen differ from the
// wrapper's window image.
int CaptionMismatches(TacDialogWnd* W) {
    HWND h = W->CtrlHandle;
    TBitmap* cache = W->SkinData->CacheBitmap;
    if (!cache || cache->Empty()) return -1;
    RECT r{};
    GetWindowRect(h, &r);
    const int width = r.right - r.left, band = W->BorderHeight() + W->CaptionHeight();
    const testwin::Pixels shown = testwin::CopyFromWindow(h, RECT{0, 0, width, band}, true);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const bool cut = GetWindowRgn(h, rgn) != ERROR;
    int bad = 0;
    for (int y = 1; y < band; y += 2)
        for (int x = 4; x < width - 4; x += 3) {
            if (cut && !PtInRegion(rgn, x, y)) continue;
            if (testwin::SwapRedBlue(GetPixel(cache->Canvas()->Handle(), x, y)) != shown.At(x, y)) ++bad;
        }
    DeleteObject(rgn);
    return bad;
}

// Runs Show (which opens a modal dialog) while a thread timer looks for the
// thread's active dialog; once it has painted, Inspect runs once on it (and
// may send input), and the dialog is closed by force when still there after
// a deadline, so a failing test never hangs.
struct ModalRun {
    std::function<void(HWND)> Inspect;
    // Runs once, a few ticks after Inspect, when set.
    std::function<void(HWND)> Then;
    HWND Dialog = nullptr;
    int Ticks = 0, InspectedAt = 0;
    bool Inspected = false, Forced = false;
    static ModalRun* Current;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalRun* r = Current;
        if (!r) return;
        ++r->Ticks;
        HWND a = GetActiveWindow();
        char cls[32] = {};
        if (a) GetClassNameA(a, cls, 31);
        const bool dialog = std::string(cls) == "#32770" || std::string(cls) == "TMessageForm";
        if (!r->Inspected && a && dialog && IsWindowVisible(a) && r->Ticks > 4) {
            r->Inspected = true;
            r->InspectedAt = r->Ticks;
            r->Dialog = a;
            r->Inspect(a);
        } else if (r->Then && r->Inspected && r->Ticks == r->InspectedAt + 6) {
            r->Then(r->Dialog);
        } else if (r->Ticks > 120 && a) {
            r->Forced = true;
            EndDialog(a, IDABORT);
            PostMessageW(a, WM_CLOSE, 0, 0);
        }
    }
    int Run(const std::function<int()>& Show) {
        Current = this;
        const UINT_PTR t = SetTimer(nullptr, 0, 50, &Tick);
        const int answer = Show();
        KillTimer(nullptr, t);
        Current = nullptr;
        return answer;
    }
};
ModalRun* ModalRun::Current = nullptr;

void Key(WORD Vk) { testwin::SendInputs({testwin::KeyStroke(Vk, false), testwin::KeyStroke(Vk, true)}); }

void ClickCentre(HWND H) {
    RECT r{};
    GetWindowRect(H, &r);
    testwin::MouseAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP);
}

struct DialogsTest : ::testing::Test {
    TsSkinManager* Manager = nullptr;
    void SetUp() override { Manager = MakeManager(nullptr, "Birch"); }
    void TearDown() override {
        delete Manager;
        Manager = nullptr;
        Pump(30);
    }
};

// ---------------------------------------------------------------- a dialog template of our own

enum : int { idEdit = 101, idCheck, idRadio, idGroup, idList, idCombo, idText };

// Builds a DLGTEMPLATE in memory: items of the system classes.
struct Template {
    std::vector<WORD> Words;
    void Align() {
        if (Words.size() % 2) Words.push_back(0);
    }
    void Text(const wchar_t* S) {
        for (; *S; ++S) Words.push_back(WORD(*S));
        Words.push_back(0);
    }
    void Dword(DWORD D) {
        Words.push_back(LOWORD(D));
        Words.push_back(HIWORD(D));
    }
    void Head(DWORD Style, int Items, int W, int H, const wchar_t* Caption) {
        Dword(Style);
        Dword(0);
        Words.push_back(WORD(Items));
        for (int v : {10, 10, W, H}) Words.push_back(WORD(v));
        Words.push_back(0);  // menu
        Words.push_back(0);  // class
        Text(Caption);
        Words.push_back(8);
        Text(L"MS Shell Dlg");
    }
    void Item(DWORD Style, int X, int Y, int W, int H, WORD Id, const wchar_t* Class, const wchar_t* Caption) {
        Align();
        Dword(Style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (int v : {X, Y, W, H}) Words.push_back(WORD(v));
        Words.push_back(Id);
        Text(Class);
        Text(Caption);
        Words.push_back(0);
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(Words.data()); }
};

Template OwnDialog(DWORD Extra) {
    Template t;
    t.Head(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | Extra, 10, 220, 150,
           L"Skinned template");
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 8, 120, 12, idEdit, L"Edit", L"text");
    t.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 8, 24, 80, 10, idCheck, L"Button", L"Check");
    t.Item(BS_AUTORADIOBUTTON, 8, 36, 80, 10, idRadio, L"Button", L"Radio");
    t.Item(BS_GROUPBOX, 140, 4, 70, 40, idGroup, L"Button", L"Group");
    t.Item(LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 8, 50, 80, 40, idList, L"ListBox", L"");
    t.Item(CBS_DROPDOWNLIST | WS_VSCROLL, 100, 50, 80, 60, idCombo, L"ComboBox", L"");
    t.Item(SS_LEFT, 8, 96, 120, 10, idText, L"Static", L"A line of text");
    t.Item(SS_ICON, 140, 96, 20, 20, 108, L"Static", L"");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 60, 128, 50, 14, IDOK, L"Button", L"OK");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 120, 128, 50, 14, IDCANCEL, L"Button", L"Cancel");
    return t;
}

INT_PTR CALLBACK OwnDialogProc(HWND H, UINT Msg, WPARAM W, LPARAM) {
    if (Msg == WM_INITDIALOG) {
        SendDlgItemMessageW(H, 108, STM_SETICON, WPARAM(LoadIconW(nullptr, IDI_INFORMATION)), 0);
        return TRUE;
    }
    if (Msg == WM_COMMAND && (LOWORD(W) == IDOK || LOWORD(W) == IDCANCEL)) {
        EndDialog(H, LOWORD(W));
        return TRUE;
    }
    return FALSE;
}

// Our own dialog, modeless, shown and given time to be wrapped.
HWND OpenOwnDialog() {
    Template t = OwnDialog(0);
    HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, OwnDialogProc, 0);
    Pump(150);
    return dlg;
}

// Seen by a timer that ticks inside the menu's own loop: the system menu
// shows; Escape closes it and a second Escape the dialog.
bool MenuShown = false;
void CALLBACK WatchMenu(HWND, UINT, UINT_PTR, DWORD) {
    ModalRun* r = ModalRun::Current;
    if (!r || !r->Dialog || MenuShown) return;
    TacDialogWnd* w = DialogWrapper(r->Dialog);
    if (w && ActivePopupMenu() == w->SystemMenu.get()) {
        MenuShown = true;
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
    }
}

// A dialog of the common-control classes, one row a child: its class and
// style, and the wrapper and section the class table gives it ("" = none).
struct BarChild {
    int Id;
    const wchar_t* Class;
    DWORD Style;
    const char* Wrapper;
    const char* Section;
};

constexpr DWORD kLoose = CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
enum : int { idMenuButton = 301 };

const BarChild kBarChildren[] = {
    {201, L"ToolbarWindow32", kLoose | TBSTYLE_WRAPABLE, "TacToolBarWnd", "BAR"},
    {202, L"ToolbarWindow32", kLoose, "TacToolBarWnd", "CHECKBOX"},
    {203, L"ScrollBar", SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, "TacSizerWnd", "CHECKBOX"},
    {204, L"SysTabControl32", 0, "TacTabControlWnd", "PAGECONTROL"},
    {205, L"SysTabControl32", TCS_OWNERDRAWFIXED, "", ""},
    {206, L"msctls_updown32", 0, "TacSpinWnd", "SPEEDBUTTON_SMALL"},
    {207, L"msctls_statusbar32", kLoose, "", ""},
};

Template BarsDialog() {
    Template t;
    const int n = int(std::size(kBarChildren));
    t.Head(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, n + 2, 240, 170,
           L"Bars template");
    for (int i = 0; i < n; ++i) {
        const BarChild& c = kBarChildren[i];
        t.Item(c.Style, 8 + (i % 2) * 110, 8 + (i / 2) * 30, 100, 24, WORD(c.Id), c.Class, L"");
    }
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 8, 140, 50, 14, idMenuButton, L"Button", L"Menu");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 120, 140, 50, 14, IDCANCEL, L"Button", L"Cancel");
    return t;
}

// What the pop-up menu opened from the bars dialog had, and what was left
// of its wrapper once it closed.
struct PopupSeen {
    HWND Window = nullptr;
    std::string Wrapper, Section;
    bool Hooked = false;
    size_t HookedAfter = 99;
} Popup;

void CALLBACK WatchPopup(HWND, UINT, UINT_PTR, DWORD) {
    HWND m = FindWindowW(L"#32768", nullptr);
    if (Popup.Window || !m || !IsWindowVisible(m)) return;
    Popup.Window = m;
    Popup.Wrapper = WrapperName(m);
    if (TacMainWnd* w = GetWrapper(m)) Popup.Section = w->SkinData->SkinSection();
    Popup.Hooked = std::find(HookedMenus.begin(), HookedMenus.end(), GetWrapper(m)) != HookedMenus.end();
    Key(VK_ESCAPE);
}

INT_PTR CALLBACK BarsDialogProc(HWND H, UINT Msg, WPARAM W, LPARAM) {
    if (Msg == WM_INITDIALOG) {
        for (int id : {204, 205})
            for (const wchar_t* text : {L"First", L"Second"}) {
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = const_cast<wchar_t*>(text);
                SendDlgItemMessageW(H, id, TCM_INSERTITEMW, 9, LPARAM(&item));
            }
        for (int id : {201, 202}) {
            TBBUTTON b{};
            b.iBitmap = I_IMAGENONE;
            b.idCommand = 1;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON | BTNS_SHOWTEXT;
            b.iString = INT_PTR(L"Tool");
            SendDlgItemMessageW(H, id, TB_BUTTONSTRUCTSIZE, sizeof b, 0);
            SendDlgItemMessageW(H, id, TB_ADDBUTTONSW, 1, LPARAM(&b));
        }
        return TRUE;
    }
    if (Msg == WM_APP) {
        // The menu's own loop runs here; the watch answers it with Escape.
        HMENU m = CreatePopupMenu();
        AppendMenuW(m, MF_STRING, 1, L"One");
        AppendMenuW(m, MF_STRING, 2, L"Two");
        RECT r{};
        GetWindowRect(GetDlgItem(H, idMenuButton), &r);
        const UINT_PTR watch = SetTimer(nullptr, 0, 60, &WatchPopup);
        TrackPopupMenu(m, TPM_RETURNCMD, r.left, r.bottom, 0, H, nullptr);
        KillTimer(nullptr, watch);
        DestroyMenu(m);
        Popup.HookedAfter = HookedMenus.size();
        EndDialog(H, IDOK);
        return TRUE;
    }
    if (Msg == WM_COMMAND && LOWORD(W) == IDCANCEL) {
        EndDialog(H, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

// ---------------------------------------------------------------- the hook

TEST_F(DialogsTest, TheManagerInstallsTheHookAndRemovingTheSkinTakesItAndEveryProviderAway) {
    ASSERT_TRUE(Manager->HookInstalled());
    ASSERT_NE(ProviderList, nullptr);
    HWND skinned = nullptr;
    bool wrapped = false;
    HWND dlg = OpenOwnDialog();
    ASSERT_NE(dlg, nullptr);
    skinned = dlg;
    wrapped = DialogWrapper(dlg) != nullptr;
    EXPECT_TRUE(wrapped);
    EXPECT_EQ(GetWindowLongPtrW(dlg, GWL_STYLE) & WS_SYSMENU, 0) << "the wrapper runs the system menu itself";
    // One brush for the dialog's colour, not one a message.
    const LRESULT b1 = SendMessageW(dlg, WM_CTLCOLORDLG, 0, 0), b2 = SendMessageW(dlg, WM_CTLCOLORDLG, 0, 0);
    EXPECT_NE(b1, 0);
    EXPECT_EQ(b1, b2);
    // A second plain dialog while a skinned one shows stays plain.
    HWND second = OpenOwnDialog();
    EXPECT_EQ(GetWrapper(second), nullptr);
    EXPECT_EQ(FindProviderByHandle(second), nullptr);
    DestroyWindow(second);
    // The skin taken away: unhooked, every provider freed, the dialog given
    // back whole while it lives on.
    Manager->SetActive(false);
    Pump(50);
    EXPECT_FALSE(Manager->HookInstalled());
    EXPECT_EQ(ProviderList, nullptr);
    EXPECT_EQ(GetPropW(skinned, acWrapperProp), nullptr);
    for (HWND c = GetWindow(skinned, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        EXPECT_EQ(GetPropW(c, acWrapperProp), nullptr);
    EXPECT_NE(GetWindowLongPtrW(skinned, GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_EQ(SendMessageW(skinned, SM_ALPHACMD, WPARAM(SkinWParam(scIsSkinned)), 0), 0);
    DestroyWindow(skinned);
    // A box shown now is the system's own.
    ModalRun run;
    bool plain = false;
    run.Inspect = [&](HWND H) {
        plain = GetWrapper(H) == nullptr && (GetWindowLongPtrW(H, GWL_STYLE) & WS_SYSMENU);
        Key(VK_RETURN);
    };
    EXPECT_EQ(run.Run([] { return MessageBoxW(nullptr, L"Plain", L"Plain box", MB_OK); }), IDOK);
    EXPECT_TRUE(plain);
}

testwin::Pixels Whole(HWND H) {
    RECT r{};
    GetWindowRect(H, &r);
    return testwin::CopyFromWindow(H, RECT{0, 0, r.right - r.left, r.bottom - r.top}, true);
}

// An open dialog through changes of the skin and of its hue: it and its
// wrapped children hear each change, take the new skin's indexes and show
// the new look (the caption on screen is the wrapper's new image).
TEST_F(DialogsTest, AnOpenDialogTakesEachNewSkinAndHue) {
    HWND dlg = OpenOwnDialog();
    ASSERT_NE(dlg, nullptr);
    TacDialogWnd* w = DialogWrapper(dlg);
    ASSERT_NE(w, nullptr);
    // A caption pixel as shown, left of the title buttons.
    auto caption = [&] {
        return testwin::CopyFromWindow(dlg, RECT{0, 0, 40, w->BorderHeight() + w->CaptionHeight()}, true)
            .At(30, w->BorderHeight() + w->CaptionHeight() / 2);
    };
    auto stale = [&](HWND H) {
        auto* x = static_cast<TacMainWnd*>(GetPropW(H, acWrapperProp));
        return x && x->SkinData && x->SkinData->SkinSectionNo != Manager->SectionIndex(x->SkinData->SkinSection());
    };
    const struct {
        const char* What;
        std::function<void()> Change;
    } changes[] = {
        {"another skin", [&] { Manager->SetSkinName("Night"); }},
        {"another hue", [&] { Manager->SetHueOffset(120); }},
        {"the first skin", [&] {
             Manager->SetHueOffset(0);
             Manager->SetSkinName("Birch");
         }},
    };
    for (const auto& c : changes) {
        const uint32_t before = caption();
        c.Change();
        Pump(150);
        ASSERT_EQ(DialogWrapper(dlg), w) << c.What;
        EXPECT_FALSE(stale(dlg)) << c.What;
        int staleChildren = 0;
        for (HWND ch = GetWindow(dlg, GW_CHILD); ch; ch = GetWindow(ch, GW_HWNDNEXT)) staleChildren += stale(ch);
        EXPECT_EQ(staleChildren, 0) << c.What;
        EXPECT_EQ(CaptionMismatches(w), 0) << c.What;
        EXPECT_NE(caption(), before) << c.What;
        // What shows is what the new skin paints when told again.
        const testwin::Pixels shown = Whole(dlg);
        for (uint16_t cmd : {scNewSkin, scRefresh})
            SendMessageW(dlg, SM_ALPHACMD, WPARAM(SkinWParam(cmd)), LPARAM(Manager));
        Pump(150);
        const testwin::Pixels fresh = Whole(dlg);
        ASSERT_EQ(shown.Data.size(), fresh.Data.size());
        EXPECT_EQ(std::mismatch(shown.Data.begin(), shown.Data.end(), fresh.Data.begin()).first - shown.Data.begin(),
                  std::ptrdiff_t(shown.Data.size()))
            << c.What;
    }
    DestroyWindow(dlg);
    Pump(50);
}

// The system's metrics are read once and again after a settings change:
// each kind of skinned window, told alone, takes the new caption height and,
// laid out again as the system does, shows on screen the image it paints.
TEST_F(DialogsTest, EachKindOfSkinnedWindowTakesTheSystemsNewCaptionHeight) {
    NONCLIENTMETRICSW was{};
    was.cbSize = sizeof was;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof was, &was, 0));
    NONCLIENTMETRICSW taller = was;
    taller.iCaptionHeight += 8;
    for (const bool dialog : {false, true}) {
        TForm* f = dialog ? nullptr : MakeForm(80, 60, 400, 300, "Skinned form");
        TsSkinProvider* p = f ? new TsSkinProvider(f) : nullptr;
        if (f) f->Show();
        HWND h = f ? f->Handle() : OpenOwnDialog();
        Pump(150);
        TacDialogWnd* w = dialog ? DialogWrapper(h) : nullptr;
        ASSERT_TRUE(p || w) << dialog;
        const auto caption = [&] { return p ? p->CaptionHeight() : w->CaptionHeight(); };
        const int before = caption();
        ASSERT_EQ(before, GetSystemMetrics(SM_CYCAPTION)) << dialog;
        // Wine broadcasts only a change saved in the profile: the profile
        // stays, and the window is told as the system tells it.
        const auto set = [h](NONCLIENTMETRICSW& M) {
            const bool done = SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof M, &M, 0);
            SendMessageW(h, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, reinterpret_cast<LPARAM>(L""));
            return done;
        };
        {
            ScopeExit back([&] { set(was); });
            ASSERT_TRUE(set(taller)) << dialog;
            Pump(100);
            EXPECT_EQ(caption(), GetSystemMetrics(SM_CYCAPTION)) << dialog;
            EXPECT_GT(caption(), before) << dialog;
            SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
            Pump(150);
            EXPECT_EQ(p ? FrameMismatches(p) : CaptionMismatches(w), 0) << dialog;
        }
        if (dialog) DestroyWindow(h);
        delete f;
        Pump(50);
    }
}

// The skin taken away while a dialog with a list view and a tree lives, from
// outside and from inside the dialog's own handler (whose wrapper runs then):
// the dialog and its children are given back whole, each child with the
// colours it had before it was skinned.
constexpr COLORREF kListColour = 0x123456, kTreeColour = 0x654321;
TsSkinManager* RemovingManager = nullptr;
INT_PTR CALLBACK ListsDialogProc(HWND H, UINT Msg, WPARAM, LPARAM) {
    if (Msg == WM_INITDIALOG) {
        SendDlgItemMessageW(H, 401, LVM_SETBKCOLOR, 0, kListColour);
        SendDlgItemMessageW(H, 402, TVM_SETBKCOLOR, 0, kTreeColour);
        return TRUE;
    }
    if (Msg == WM_APP) RemovingManager->SetActive(false);
    return FALSE;
}

TEST_F(DialogsTest, TheSkinRemovedGivesTheDialogAndItsListsBackEvenFromTheDialogsOwnHandler) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
    Template t;
    t.Head(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 2, 200, 120, L"Lists");
    t.Item(WS_BORDER, 8, 8, 90, 80, 401, L"SysListView32", L"");
    t.Item(WS_BORDER, 104, 8, 90, 80, 402, L"SysTreeView32", L"");
    RemovingManager = Manager;
    for (const bool inside : {false, true}) {
        SCOPED_TRACE(inside ? "from the dialog's handler" : "from outside");
        if (!Manager->Active()) Manager->SetActive(true);
        HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, ListsDialogProc, 0);
        ASSERT_NE(dlg, nullptr);
        Pump(150);
        ASSERT_NE(DialogWrapper(dlg), nullptr);
        ASSERT_NE(SendDlgItemMessageW(dlg, 401, LVM_GETBKCOLOR, 0, 0), LRESULT(kListColour)) << "skinned";
        if (inside)
            SendMessageW(dlg, WM_APP, 0, 0);
        else
            Manager->SetActive(false);
        Pump(50);
        for (HWND w : {dlg, GetDlgItem(dlg, 401), GetDlgItem(dlg, 402)}) EXPECT_EQ(GetPropW(w, acWrapperProp), nullptr);
        EXPECT_NE(GetWindowLongPtrW(dlg, GWL_STYLE) & WS_SYSMENU, 0);
        EXPECT_EQ(SendDlgItemMessageW(dlg, 401, LVM_GETBKCOLOR, 0, 0), LRESULT(kListColour));
        EXPECT_EQ(SendDlgItemMessageW(dlg, 402, TVM_GETBKCOLOR, 0, 0), LRESULT(kTreeColour));
        DestroyWindow(dlg);
        Pump(20);
    }
    // The provider kept while its dialog ran goes at the next sweep.
    Manager->SetActive(true);
    Pump(20);
    EXPECT_EQ(LiveProviders(), 0);
}

// A second manager made the default takes the creation hook over: a dialog
// opened now is skinned by it alone and keeps its wrapper when the first
// manager is destroyed.
TEST_F(DialogsTest, TheNewDefaultKeepsItsDialogsWhenTheOldDefaultGoes) {
    TsSkinManager* second = MakeManager(nullptr, "Night");
    second->SetIsDefault(true);
    Pump(50);
    EXPECT_FALSE(Manager->HookInstalled());
    EXPECT_TRUE(second->HookInstalled());
    HWND dlg = OpenOwnDialog();
    ASSERT_NE(dlg, nullptr);
    ASSERT_NE(DialogWrapper(dlg), nullptr);
    EXPECT_EQ(LiveProviders(), 1);
    delete Manager;
    Manager = second;
    Pump(50);
    EXPECT_NE(DialogWrapper(dlg), nullptr);
    EXPECT_NE(FindProviderByHandle(dlg), nullptr);
    EXPECT_EQ(CaptionMismatches(DialogWrapper(dlg)), 0);
    DestroyWindow(dlg);
    Pump(50);
    EXPECT_EQ(LiveProviders(), 0);
}

// ---------------------------------------------------------------- message boxes

struct BoxCase {
    UINT Style;
    const char* How;  // "click" a button by id, "enter", "escape"
    int Button;       // the button clicked
    int Expected;
};

struct MessageBoxes : DialogsTest, ::testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBoxes, AreSkinnedWrappedByClassAndAnsweredWithRealInput) {
    const BoxCase c = GetParam();
    ModalRun run;
    std::multimap<std::string, std::string> children;
    int mismatches = -1, kind = -1;
    bool wrapper = false, small = false;
    std::vector<bool> items;
    run.Inspect = [&](HWND H) {
        TacDialogWnd* w = DialogWrapper(H);
        wrapper = w != nullptr;
        if (w) {
            kind = w->BorderKind;
            small = !w->BtnClose.HaveBigGlyph;
            mismatches = CaptionMismatches(w);
            w->SystemMenu->UpdateItems();
            for (int i = 0; i < TacSystemMenu::miCount; ++i) items.push_back(w->SystemMenu->Item(i)->Visible());
        }
        children = ChildWrappers(H);
        if (std::string(c.How) == "click")
            ClickCentre(GetDlgItem(H, c.Button));
        else
            Key(std::string(c.How) == "enter" ? VK_RETURN : VK_ESCAPE);
    };
    const int answer = run.Run([&] { return MessageBoxW(nullptr, L"A line of text.", L"Skinned box", c.Style); });
    EXPECT_FALSE(run.Forced);
    EXPECT_EQ(answer, c.Expected);
    ASSERT_TRUE(wrapper);
    EXPECT_EQ(kind, dkModalFrame);
    EXPECT_TRUE(small) << "a message box takes the small title buttons";
    EXPECT_EQ(mismatches, 0) << "the caption on screen is the wrapper's image";
    for (const auto& [cls, wrapperName] : children) {
        const std::string want = cls == "push button" ? "TacBtnWnd" : cls == "static icon" ? "TacIconWnd" : "TacStaticWnd";
        EXPECT_EQ(wrapperName, want) << cls;
    }
    // A modal-frame box: Move and Close only.
    EXPECT_EQ(items, (std::vector<bool>{false, true, false, false, false, true}));
    EXPECT_EQ(LiveProviders(), 0) << "the provider goes with its box";
}

INSTANTIATE_TEST_SUITE_P(
    EveryIconAndButtonSet, MessageBoxes,
    ::testing::Values(BoxCase{MB_OK | MB_ICONINFORMATION, "click", IDOK, IDOK},
                      BoxCase{MB_OKCANCEL | MB_ICONWARNING, "escape", 0, IDCANCEL},
                      BoxCase{MB_YESNO | MB_ICONQUESTION, "enter", 0, IDYES},
                      BoxCase{MB_YESNOCANCEL | MB_ICONERROR, "click", IDNO, IDNO},
                      BoxCase{MB_RETRYCANCEL, "click", IDCANCEL, IDCANCEL},
                      BoxCase{MB_ABORTRETRYIGNORE | MB_ICONWARNING, "click", IDIGNORE, IDIGNORE}));

TEST_F(DialogsTest, ManyBoxesLeaveNoProvidersWrappersOrGuiObjects) {
    testwin::GuiObjects before;
    size_t listSize = 0;
    for (int i = 0; i < 24; ++i) {
        if (i == 2) before = testwin::CountGuiObjects(), listSize = ProviderList ? ProviderList->size() : 0;
        ModalRun run;
        run.Inspect = [](HWND) { Key(VK_RETURN); };
        ASSERT_EQ(run.Run([] { return MessageBoxW(nullptr, L"Again", L"Box", MB_OK | MB_ICONWARNING); }), IDOK);
        Pump(10);
    }
    EXPECT_EQ(LiveProviders(), 0);
    ASSERT_NE(ProviderList, nullptr);
    EXPECT_EQ(ProviderList->size(), listSize) << "the list reuses its free entries";
    EXPECT_EQ(testwin::CountGuiObjects(), before);
}

// ---------------------------------------------------------------- a dialog of our own

TEST_F(DialogsTest, AnOwnDialogIsWrappedByTheClassTableAndItsSystemMenuOpensWithAltSpace) {
    Template t = OwnDialog(WS_MINIMIZEBOX);
    ModalRun run;
    std::map<int, std::string> byId;
    bool wrapper = false;
    run.Inspect = [&](HWND H) {
        wrapper = DialogWrapper(H) != nullptr;
        for (int id : {int(idEdit), int(idCheck), int(idRadio), int(idGroup), int(idList), int(idCombo), int(idText),
                       108, int(IDOK)})
            byId[id] = WrapperName(GetDlgItem(H, id));
        // Alt+Space: the wrapper's system menu; Escape closes it, a second
        // Escape the dialog.
        testwin::SendInputs({testwin::KeyStroke(VK_MENU, false), testwin::KeyStroke(VK_SPACE, false),
                             testwin::KeyStroke(VK_SPACE, true), testwin::KeyStroke(VK_MENU, true)});
    };
    // While the menu shows, the timer still ticks inside its loop.
    MenuShown = false;
    const UINT_PTR watch = SetTimer(nullptr, 0, 60, &WatchMenu);
    const INT_PTR answer = run.Run([&] {
        return int(DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, OwnDialogProc, 0));
    });
    KillTimer(nullptr, watch);
    EXPECT_FALSE(run.Forced);
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_TRUE(wrapper);
    EXPECT_TRUE(MenuShown);
    const std::map<int, std::string> want = {
        {idEdit, "TacEditWnd"},        {idCheck, "TacCheckBoxWnd"}, {idRadio, "TacCheckBoxWnd"},
        {idGroup, "TacGroupBoxWnd"},   {idList, "TacEditWnd"},      {idCombo, "TacComboBoxWnd"},
        {idText, "TacStaticWnd"},      {108, "TacIconWnd"},         {IDOK, "TacBtnWnd"},
    };
    EXPECT_EQ(byId, want);
    EXPECT_EQ(LiveProviders(), 0);
}

// The dialog's system menu is its wrapper's pop-up, measured and painted by
// the skinned menus (its frame is the skinned background); Close, clicked
// or Alt+F4 while the menu shows, reaches the dialog as SC_CLOSE.
TEST_F(DialogsTest, TheSystemMenuIsSkinnedAndCloseEndsTheDialog) {
    Template t = OwnDialog(WS_MINIMIZEBOX);
    for (const bool altF4 : {false, true}) {
        SCOPED_TRACE(altF4 ? "Alt+F4" : "click");
        ModalRun run;
        bool ours = false, frame = false;
        std::vector<bool> visible;
        run.Inspect = [&](HWND) {
            testwin::SendInputs({testwin::KeyStroke(VK_MENU, false), testwin::KeyStroke(VK_SPACE, false),
                                 testwin::KeyStroke(VK_SPACE, true), testwin::KeyStroke(VK_MENU, true)});
        };
        // Inside the menu's loop.
        run.Then = [&](HWND H) {
            TacDialogWnd* w = DialogWrapper(H);
            HWND m = menutest::TopMenuWindow();
            if (!w || !m) return;
            TacSystemMenu* menu = w->SystemMenu.get();
            ours = ActivePopupMenu() == menu && menu->OwnerDraw();
            for (int i = 0; i < TacSystemMenu::miCount; ++i) visible.push_back(menu->Item(i)->Visible());
            TacMenuInfoRef info = FindMenuInfoByWindow(m);
            if (info && info->Bmp) {
                const testwin::Pixels p = menutest::MenuPixels(m);
                frame = true;
                for (int x = 0; x < p.Width; x += 3)
                    frame &= p.At(x, 1) == testwin::SwapRedBlue(GetPixel(info->Bmp->Canvas()->Handle(), x, 1));
            }
            if (altF4) {
                menutest::Chord(VK_MENU, VK_F4);
                return;
            }
            // Move, Minimize, the separator, Close.
            menutest::ClickAt(menutest::CentreOf(menutest::ItemRect(nullptr, menu->Handle(), 3)));
        };
        const INT_PTR answer = run.Run([&] {
            return int(DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, OwnDialogProc, 0));
        });
        EXPECT_FALSE(run.Forced);
        EXPECT_EQ(answer, IDCANCEL);
        EXPECT_TRUE(ours);
        EXPECT_TRUE(frame) << "the frame is the skinned background";
        EXPECT_EQ(visible, (std::vector<bool>{false, true, false, true, false, true}));
        EXPECT_EQ(LiveProviders(), 0);
    }
}

TEST_F(DialogsTest, CommonControlChildrenGetTheirWrappersAndAPopupMenuItsOwnWhileItShows) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
    Template t = BarsDialog();
    testwin::GuiObjects before;
    // Twice: the second run must leave the GUI objects as the first left them.
    for (int round = 0; round < 2; ++round) {
        if (round == 1) before = testwin::CountGuiObjects();
        ModalRun run;
        std::map<int, std::pair<std::string, std::string>> got;
        int spinOffset = -1;
        run.Inspect = [&](HWND H) {
            for (const BarChild& c : kBarChildren) {
                TacMainWnd* w = GetWrapper(GetDlgItem(H, c.Id));
                got[c.Id] = {WrapperName(GetDlgItem(H, c.Id)), w ? std::string(w->SkinData->SkinSection()) : ""};
                if (auto* spin = dynamic_cast<TacSpinWnd*>(w)) spinOffset = spin->LeftOffset;
            }
            PostMessageW(H, WM_APP, 0, 0);
        };
        Popup = PopupSeen{};
        const int answer = run.Run([&] {
            return int(DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, BarsDialogProc, 0));
        });
        EXPECT_FALSE(run.Forced);
        EXPECT_EQ(answer, IDOK);
        for (const BarChild& c : kBarChildren) {
            EXPECT_EQ(got[c.Id].first, c.Wrapper) << c.Id;
            EXPECT_EQ(got[c.Id].second, c.Section) << c.Id;
        }
        EXPECT_EQ(spinOffset, 2) << "an up-down control keeps its buddy's edge";
        ASSERT_NE(Popup.Window, nullptr) << "the pop-up menu showed";
        EXPECT_EQ(Popup.Wrapper, "TacMnuWnd");
        EXPECT_EQ(Popup.Section, "MAINMENU");
        EXPECT_TRUE(Popup.Hooked);
        EXPECT_EQ(Popup.HookedAfter, 0u) << "the menu's wrapper goes when the menu closes";
        EXPECT_EQ(LiveProviders(), 0);
        Pump(20);
    }
    EXPECT_EQ(testwin::CountGuiObjects(), before);
}

// The close button lights under the mouse and goes out with its glow when
// the mouse goes straight on to the caption icon; it closes only when pressed
// and released on it.
TEST_F(DialogsTest, TheCloseButtonLightsGoesOutOverTheIconAndClosesOnlyWhenPressedAndReleasedOnIt) {
    Template t = OwnDialog(0);
    ModalRun run;
    POINT close{};
    int litState = -1, leftState = -1, leftGlow = 0;
    bool openAfterReleaseOff = false;
    run.Inspect = [&](HWND H) {
        TacDialogWnd* w = DialogWrapper(H);
        if (!w) return;
        RECT r{};
        GetWindowRect(H, &r);
        const TRect& b = w->BtnClose.Rect;
        close = POINT{r.left + (b.Left + b.Right) / 2, r.top + (b.Top + b.Bottom) / 2};
        testwin::MouseAt(close.x, close.y, 0);
    };
    run.Then = [&](HWND H) {
        TacDialogWnd* w = DialogWrapper(H);
        if (!w) return;
        litState = w->BtnClose.State;
        RECT r{};
        GetWindowRect(H, &r);
        testwin::MouseAt(r.left + w->BorderWidth() + GetSystemMetrics(SM_CXSMICON) / 2, close.y, 0);
        Pump(60);
        leftState = w->BtnClose.State;
        leftGlow = w->BtnClose.GlowID;
        // Pressed on the button, released off it: nothing.
        testwin::MouseAt(close.x, close.y, MOUSEEVENTF_LEFTDOWN);
        testwin::MouseAt(r.left + 60, close.y, MOUSEEVENTF_LEFTUP);
        Pump(60);
        openAfterReleaseOff = IsWindowVisible(H) != 0;
        // Pressed and released on it: closed.
        testwin::MouseAt(close.x, close.y, MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP);
    };
    const int answer = run.Run([&] {
        return int(DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, OwnDialogProc, 0));
    });
    EXPECT_FALSE(run.Forced);
    EXPECT_EQ(litState, 1);
    EXPECT_EQ(leftState, 0);
    EXPECT_LT(leftGlow, 0);
    EXPECT_TRUE(openAfterReleaseOff);
    EXPECT_EQ(answer, IDCANCEL) << "SC_CLOSE reaches the dialog as IDCANCEL";
}

// A release in the client area carries mouse-key flags that read like hit
// codes (MK_CONTROL = HTMINBUTTON, MK_SHIFT | MK_MBUTTON = HTCLOSE): the
// dialog gets it whatever keys are held.
std::vector<WPARAM> ReleasesSeen;
INT_PTR CALLBACK ReleaseLogProc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
    if (Msg == WM_LBUTTONUP) ReleasesSeen.push_back(W & (MK_CONTROL | MK_SHIFT | MK_MBUTTON));
    return OwnDialogProc(H, Msg, W, L);
}

TEST_F(DialogsTest, AClientReleaseReachesTheDialogWithAnyKeysHeld) {
    struct Case {
        const char* Name;
        std::vector<INPUT> Before, After;
        WPARAM Flags;
    };
    const Case cases[] = {
        {"plain", {}, {}, 0},
        {"ctrl", {testwin::KeyStroke(VK_CONTROL, false)}, {testwin::KeyStroke(VK_CONTROL, true)}, MK_CONTROL},
        {"shift and middle",
         {testwin::KeyStroke(VK_SHIFT, false), testwin::MouseButton(MOUSEEVENTF_MIDDLEDOWN)},
         {testwin::MouseButton(MOUSEEVENTF_MIDDLEUP), testwin::KeyStroke(VK_SHIFT, true)},
         MK_SHIFT | MK_MBUTTON},
    };
    Template t = OwnDialog(0);
    HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, ReleaseLogProc, 0);
    ASSERT_NE(dlg, nullptr);
    SetForegroundWindow(dlg);
    Pump(150);
    ASSERT_NE(DialogWrapper(dlg), nullptr);
    RECT c{};
    GetClientRect(dlg, &c);
    POINT blank{c.right - 4, c.bottom - 4};
    ClientToScreen(dlg, &blank);
    for (const Case& k : cases) {
        ReleasesSeen.clear();
        testwin::MouseAt(blank.x, blank.y);
        testwin::SendInputs(k.Before);
        testwin::MouseAt(blank.x, blank.y, MOUSEEVENTF_LEFTDOWN);
        testwin::MouseAt(blank.x, blank.y, MOUSEEVENTF_LEFTUP);
        testwin::SendInputs(k.After);
        Pump(100);
        EXPECT_EQ(ReleasesSeen, std::vector<WPARAM>{k.Flags}) << k.Name;
    }
    DestroyWindow(dlg);
    Pump(50);
}

// ---------------------------------------------------------------- common dialogs and the typed box

struct CommonCase {
    const char* Name;
    int (*Show)();
};

int ShowColour() {
    static COLORREF custom[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN;
    return ChooseColorW(&cc) ? 1 : 0;
}

int ShowOpenFile() {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW of{};
    of.lStructSize = sizeof of;
    of.lpstrFile = file;
    of.nMaxFile = MAX_PATH;
    of.lpstrFilter = L"All files\0*.*\0";
    of.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    return GetOpenFileNameW(&of) ? 1 : 0;
}

struct CommonDialogs : DialogsTest, ::testing::WithParamInterface<CommonCase> {};

TEST_P(CommonDialogs, AreSkinnedWithTheirButtonsAndEditsWrappedAndCancelledByEscape) {
    ModalRun run;
    std::multimap<std::string, std::string> children;
    bool wrapper = false;
    run.Inspect = [&](HWND H) {
        wrapper = DialogWrapper(H) != nullptr;
        children = ChildWrappers(H);
        Key(VK_ESCAPE);
    };
    const int answer = run.Run(GetParam().Show);
    EXPECT_FALSE(run.Forced);
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(wrapper);
    int buttons = 0;
    for (const auto& [cls, w] : children) {
        const std::string want = cls == "push button" ? "TacBtnWnd"
                                 : cls == "edit"      ? "TacEditWnd"
                                 : cls == "combobox"  ? "TacComboBoxWnd"
                                                      : "";
        if (want.empty()) continue;
        EXPECT_EQ(w, want) << cls;
        buttons += cls == "push button";
    }
    EXPECT_GT(buttons, 0);
    EXPECT_EQ(LiveProviders(), 0);
}

INSTANTIATE_TEST_SUITE_P(ColourAndOpenFile, CommonDialogs,
                         ::testing::Values(CommonCase{"colour", ShowColour}, CommonCase{"open", ShowOpenFile}),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST_F(DialogsTest, TheTypedBoxStandsAtItsPresetPlaceAndThePlaceIsForgottenAfterwards) {
    ModalRun run;
    RECT at{};
    run.Inspect = [&](HWND H) {
        GetWindowRect(H, &at);
        Key(VK_RETURN);
    };
    EXPECT_EQ(run.Run([] { return ShowTypedMessage("", "Placed", mtInformation, MsgDlgButtons({mbOK}), 130, 90); }), IDOK);
    EXPECT_EQ(at.left, 130);
    EXPECT_EQ(at.top, 90);
    EXPECT_EQ(MessageBoxX, -1);
    EXPECT_EQ(MessageBoxY, -1);
}

// ---------------------------------------------------------------- the class library's message dialog

struct DlgCase {
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    WORD Key;
    int Expected;
};

struct MessageDialogs : DialogsTest, ::testing::WithParamInterface<DlgCase> {};

TEST_P(MessageDialogs, AreSkinnedByAFormProviderAndAnsweredByKey) {
    const DlgCase c = GetParam();
    ModalRun run;
    bool provider = false;
    run.Inspect = [&](HWND H) {
        TForm* f = FindFormByHandle(H);
        provider = f && GetFormProvider(f) != nullptr && FindProviderByHandle(H) != nullptr;
        Key(c.Key);
    };
    EXPECT_EQ(run.Run([&] { return MessageDlg("A line of text.", c.Type, c.Buttons); }), c.Expected);
    EXPECT_FALSE(run.Forced);
    EXPECT_TRUE(provider);
    Pump(50);
    EXPECT_EQ(LiveProviders(), 0) << "the form's provider goes with the form";
}

INSTANTIATE_TEST_SUITE_P(
    TypesAndButtons, MessageDialogs,
    ::testing::Values(DlgCase{mtInformation, MsgDlgButtons({mbOK}), VK_RETURN, mrOk},
                      DlgCase{mtConfirmation, MsgDlgButtons({mbYes, mbNo}), VK_ESCAPE, mrNo},
                      DlgCase{mtWarning, MsgDlgButtons({mbOK, mbCancel}), VK_ESCAPE, mrCancel}));

// ---------------------------------------------------------------- the skin host's box

TEST(SkinHost, ShowsTheSkinnedSystemBoxAndEndsWhenItIsAnswered) {
    for (const wchar_t* skin : {L"Birch", L"Night"}) {
        const std::string narrow = TUVRELI_TEST_SKINS_DIR;  // already a Windows path
        const std::wstring dir(narrow.begin(), narrow.end());
        std::wstring cmd = L"\"" + testwin::HostPath(SKINHOST_EXE) + L"\" --message \"" + dir + L"\" " + skin;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        HWND box = nullptr;
        PumpUntil([&] { return (box = FindWindowW(L"#32770", L"Skin host message")) && IsWindowVisible(box); }, 20000);
        ASSERT_NE(box, nullptr);
        Pump(300);
        EXPECT_NE(GetPropW(box, acWrapperProp), nullptr) << "the box is wrapped";
        SetForegroundWindow(box);
        Pump(100);
        Key(VK_RETURN);
        DWORD code = 0xDEAD;
        if (WaitForSingleObject(pi.hProcess, 15000) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &code);
        else
            TerminateProcess(pi.hProcess, 3);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        EXPECT_EQ(code, 0u);
    }
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    StartUnits();
    acDialsInitialize();
    const int r = RUN_ALL_TESTS();
    acDialsFinalize();
    StopUnits();
    return r;
}
