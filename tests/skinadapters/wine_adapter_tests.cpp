// The control adapter, the system menu, the frame adapter and the MDI main
// form's wrapper on real forms under Wine: wrappers found on the windows by
// their "ACSBSC" property, the system menu driven with the real mouse and
// keyboard, a frame's painted background read back, a maximised MDI child's
// buttons in the menu bar clicked.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Buttons.h"
#include "ComCtrls.h"
#include "Tabs.h"
#include "ToolBars.h"
#include "ExtControls.h"
#include "Frames.h"
#include "MenuDriver.h"
#include "Menus.h"
#include "MessageLog.h"
#include "SkinFormsHost.h"
#include "TestHeap.h"
#include "acMenuCache.h"
#include "StdCtrls.h"
#include "acSBUtils.h"
#include "sGraphUtils.h"
#include "sFrameAdapter.h"
#include "sMDIForm.h"

using namespace skinforms;

namespace {

// A combo box of a class the lists name as foreign.
class TForeignCombo : public TComboBox {
public:
    using TComboBox::TComboBox;
    const char* ClassName() const override { return "TForeignCombo"; }
};

TacMainWnd* WrapperByProperty(HWND H) { return static_cast<TacMainWnd*>(GetPropW(H, L"ACSBSC")); }

// Runs Body on a thread of its own while this thread handles messages (the
// menus run modal loops inside a message).
void WhilePumping(const std::function<void()>& Body, int TimeoutMs = 8000) {
    struct Ctx {
        std::function<void()> Body;
        std::atomic<bool> Done{false};
    } ctx{Body};
    HANDLE t = CreateThread(
        nullptr, 0,
        [](LPVOID P) -> DWORD {
            auto* c = static_cast<Ctx*>(P);
            c->Body();
            c->Done = true;
            return 0;
        },
        &ctx, 0, nullptr);
    ASSERT_TRUE(t);
    PumpUntil([&] { return ctx.Done.load(); }, TimeoutMs);
    WaitForSingleObject(t, TimeoutMs);
    CloseHandle(t);
    Pump(150);
}

// The open pop-up menu, waited for (from the helper thread).
HMENU WaitOpenMenu(HWND& MenuWnd) {
    for (int i = 0; i < 150; ++i) {
        MenuWnd = FindWindowW(L"#32768", nullptr);
        if (MenuWnd && IsWindowVisible(MenuWnd)) return HMENU(SendMessageW(MenuWnd, MN_GETHMENU, 0, 0));
        Sleep(20);
    }
    return nullptr;
}

// The command numbers of an open pop-up's items, and a real click on the
// item of number Command (Escape when none has it).
std::vector<UINT> ChooseFromOpenMenu(UINT Command) {
    HWND wnd = nullptr;
    std::vector<UINT> ids;
    HMENU m = WaitOpenMenu(wnd);
    if (!m) return ids;
    Sleep(100);
    for (int i = 0; i < GetMenuItemCount(m); ++i) ids.push_back(GetMenuItemID(m, i));
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
        RECT r{};
        if (GetMenuItemID(m, i) != Command || !GetMenuItemRect(nullptr, m, UINT(i), &r)) continue;
        testwin::MouseAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Sleep(60);
        testwin::MouseAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, MOUSEEVENTF_LEFTDOWN);
        Sleep(40);
        testwin::MouseAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, MOUSEEVENTF_LEFTUP);
        return ids;
    }
    testwin::SendInputs({testwin::KeyStroke(VK_ESCAPE, false), testwin::KeyStroke(VK_ESCAPE, true)});
    return ids;
}

// The system command each of the shown items sends (0 for a separator).
std::vector<UINT> SysCommands(const std::vector<UINT>& Numbers) {
    std::vector<UINT> out;
    for (UINT n : Numbers) out.push_back(TMenuItem::FromCommand(n) ? UINT(TMenuItem::FromCommand(n)->Tag()) : 0xFFFF);
    return out;
}

// What reaches a control's own procedure under whatever took it over.
struct MethodSpy {
    TWndMethod Prev;
    std::vector<UINT> Seen;
    std::function<void(const TMessage&)> Before;  // each message, before it is logged
    void Install(TWinControl* C) {
        Prev = C->WindowProc;
        C->WindowProc = TWndMethod::Fn(this, &MethodSpy::Call);
    }
    static void Call(void* C, TMessage& M) {
        auto* s = static_cast<MethodSpy*>(C);
        if (s->Before) s->Before(M);
        s->Seen.push_back(M.Msg);
        s->Prev(M);
    }
    int Count(UINT Msg) const { return int(std::count(Seen.begin(), Seen.end(), Msg)); }
    bool Saw(UINT Msg) const { return Count(Msg) > 0; }
};

struct AdapterTest : ::testing::Test {
    TsSkinManager* Manager = nullptr;
    TForm* Form = nullptr;
    TsSkinProvider* Provider = nullptr;

    void TearDown() override {
        delete Form;
        Form = nullptr;
        delete Manager;
        Manager = nullptr;
        MouseMove(1200, 1000);
        Pump(30);
    }
    // A manager whose lists name Classes (list index, class names), a skinned
    // form of Style with its provider, not yet shown.
    void Make(const std::vector<std::pair<int, const char*>>& Lists, TFormStyle Style = fsNormal,
              const char* Skin = "Birch") {
        Manager = MakeManager(nullptr, Skin);
        for (auto& [index, names] : Lists) Manager->ThirdParty()->Set(index, names);
        Manager->LoadThirdPartyLists(false);
        Form = MakeForm(80, 60, 640, 480, "Adapted form");
        Form->SetFormStyle(Style);
        Provider = new TsSkinProvider(Form);
    }
    void Show() {
        Form->Show();
        PumpUntil([this] { return IsWindowVisible(Form->Handle()) && GetForegroundWindow() == Form->Handle(); },
                  2000);
        Pump(150);
    }
    template <class C>
    C* Add(TWinControl* Parent, int X, int Y, int W = 120, int H = 24) {
        auto* c = new C(Form);
        c->SetBounds(X, Y, W, H);
        c->SetParent(Parent);
        return c;
    }
    TacCtrlAdapter* Adapter() const { return Provider->Adapter(); }
    // A frame on the form at (X, Y), W x H, once the form shows.
    TFrame* AddFrame(int X, int Y, int W, int H) {
        auto* f = new TFrame(Form);
        f->SetBounds(X, Y, W, H);
        f->SetParent(Form);
        return f;
    }
    // The form's skinned image under point (X, Y) of a child window.
    COLORREF FormPixelUnder(HWND Child, int X, int Y) {
        RECT wr{};
        GetWindowRect(Form->Handle(), &wr);
        POINT at{X, Y};
        ClientToScreen(Child, &at);
        return GetPixel(Provider->SkinData()->CacheBitmap->Canvas()->Handle(), at.x - wr.left, at.y - wr.top);
    }
};

}  // namespace

// ---------------------------------------------------------------- control adapter

TEST_F(AdapterTest, EachKindIsWrappedByTheRowOfTheListThatNamesIt) {
    Make({{0, "TEdit\nTMemo\nTListBox"}, {1, "TButton"}, {2, "TBitBtn"}, {3, "TCheckBox\nTRadioButton"},
          {4, "TComboBox"}, {6, "TGroupBox"}, {7, "TListView"}, {8, "TPanel"}, {9, "TTreeView"},
          {10, "TForeignCombo"}, {13, "TPageControl"}, {14, "TTabControl"}, {15, "TToolBar"}, {16, "TStatusBar"}});
    struct Row {
        TWinControl* Control;
        const char* Wrapper;  // nil: none
        const char* Kind;     // the section a missing one resolves to; nil: not asked
    };
    TPanel* panel = Add<TPanel>(Form, 330, 10, 280, 200);
    const std::vector<Row> rows = {
        {Add<TEdit>(Form, 10, 10), "TacEditWnd", nullptr},
        {Add<TMemo>(Form, 10, 40, 120, 60), "TacEditWnd", nullptr},
        {Add<TListBox>(Form, 10, 110, 120, 60), "TacEditWnd", nullptr},
        {Add<TButton>(Form, 10, 180), "TacBtnWnd", "BUTTON"},
        {Add<TBitBtn>(Form, 10, 210), "TacBitBtnWnd", nullptr},
        {Add<TCheckBox>(Form, 10, 240), "TacCheckBoxWnd", "CHECKBOX"},
        {Add<TRadioButton>(panel, 10, 10), "TacCheckBoxWnd", nullptr},  // inside a panel: found by the walk
        {Add<TComboBox>(Form, 10, 270), "TacComboBoxWnd", nullptr},
        {Add<TGroupBox>(Form, 150, 10, 160, 80), "TacGroupBoxWnd", "GROUPBOX"},
        {Add<TListView>(Form, 150, 100, 160, 80), "TacListViewWnd", nullptr},
        {panel, "TacPanelWnd", "PANEL"},
        {Add<TTreeView>(panel, 10, 50, 160, 80), "TacTreeViewWnd", nullptr},
        {Add<TForeignCombo>(Form, 150, 190), "TacExtComboBoxWnd", nullptr},
        {Add<TPageControl>(Form, 150, 220, 160, 60), "TacPageControlWnd", "PAGECONTROL"},
        {Add<TTabControl>(Form, 150, 290, 160, 60), "TacTabControlWnd", nullptr},
        {Add<TToolBar>(Form, 330, 220, 280, 30), "TacToolBarLibWnd", "TOOLBAR"},
        {Add<TStatusBar>(Form, 330, 260, 280, 24), "TacStatusBarWnd", "STATUSBAR"},
        {Add<TStaticText>(Form, 10, 300), nullptr, nullptr},  // in no list
        {Add<TUpDown>(Form, 10, 330, 20, 24), nullptr, nullptr},
    };
    TEdit* excepted = Add<TEdit>(Form, 10, 360);
    excepted->SetTag(ExceptTag);
    Show();
    ASSERT_TRUE(Adapter());
    for (const Row& r : rows) {
        TacMainWnd* w = WrapperByProperty(r.Control->Handle());
        SCOPED_TRACE(r.Control->ClassName());
        if (!r.Wrapper) {
            EXPECT_EQ(w, nullptr);
            EXPECT_LT(Adapter()->IndexOf(r.Control), 0);
            continue;
        }
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->ClassName(), r.Wrapper);
        EXPECT_GE(Adapter()->IndexOf(r.Control), 0);
        // A section the skin lacks paints as the control's kind, not as an edit box.
        if (!r.Kind) continue;
        w->SkinData->SetSkinSection("NOSUCHSECTION");
        EXPECT_EQ(w->SkinData->Resolved().Name, r.Kind);
    }
    EXPECT_EQ(WrapperByProperty(excepted->Handle()), nullptr);
    const int n = Adapter()->Count();
    EXPECT_EQ(n, 17);
    // Adapting again keeps one item per control.
    Adapter()->AddAllItems();
    Adapter()->AdaptControl(rows[0].Control);
    EXPECT_EQ(Adapter()->Count(), n);
}

TEST_F(AdapterTest, WithoutTheThirdPartyRuleNothingIsAdapted) {
    Make({{0, "TEdit"}});
    Manager->SetSkinningRules((1u << srStdForms) | (1u << srStdDialogs));
    TEdit* e = Add<TEdit>(Form, 10, 10);
    Show();
    EXPECT_EQ(WrapperByProperty(e->Handle()), nullptr);
    EXPECT_EQ(Adapter() ? Adapter()->Count() : 0, 0);
}

TEST_F(AdapterTest, OnSkinItemDecidesAndLabelsTakeTheSkinsFontColour) {
    Make({{0, "TEdit"}});
    struct Judge {
        std::vector<std::string> Asked;
        void Decide(TObject*, TObject* Item, bool& CanBeAdded, AnsiString& Section) {
            auto* c = static_cast<TControl*>(Item);
            Asked.push_back(c->Name());
            if (c->Name() == "Refused") CanBeAdded = false;
            if (c->Name() == "Boxed") Section = "GROUPBOX";
        }
    } judge;
    Provider->OnSkinItem = decltype(Provider->OnSkinItem)::Of<&Judge::Decide>(&judge);
    TEdit* refused = Add<TEdit>(Form, 10, 10);
    refused->SetName("Refused");
    TEdit* boxed = Add<TEdit>(Form, 10, 40);
    boxed->SetName("Boxed");
    auto* label = new TLabel(Form);
    label->SetName("Caption1");
    label->SetParent(Form);
    label->SetBounds(10, 80, 100, 20);
    label->SetCaption("Label");
    Show();
    EXPECT_EQ(WrapperByProperty(refused->Handle()), nullptr);
    TacMainWnd* w = WrapperByProperty(boxed->Handle());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->SkinData->SkinSection(), "GROUPBOX");
    EXPECT_TRUE(label->Transparent());
    EXPECT_EQ(ColorToRGB(label->Font()->Color()), Manager->GlobalFontColor());
    EXPECT_NE(std::find(judge.Asked.begin(), judge.Asked.end(), "Caption1"), judge.Asked.end());
}

TEST_F(AdapterTest, CleanItemsDropsEveryItemWhoseWrapperLetGoAndNotificationsAdaptNewControls) {
    Make({{0, "TEdit"}, {1, "TButton"}});
    TEdit* a = Add<TEdit>(Form, 10, 10);
    TEdit* b = Add<TEdit>(Form, 10, 40);
    TEdit* c = Add<TEdit>(Form, 10, 70);
    Show();
    ASSERT_EQ(Adapter()->Count(), 3);
    // Two neighbouring items lose their wrappers: one sweep removes both.
    for (TEdit* e : {a, b}) {
        TacMainWnd* w = WrapperByProperty(e->Handle());
        ASSERT_NE(w, nullptr);
        DetachWrapper(e->Handle(), false, false, w);
    }
    Adapter()->CleanItems();
    EXPECT_EQ(Adapter()->Count(), 1);
    EXPECT_GE(Adapter()->IndexOf(c), 0);
    // Adapted again, each gets a fresh wrapper.
    Adapter()->AddAllItems();
    EXPECT_EQ(Adapter()->Count(), 3);
    EXPECT_NE(WrapperByProperty(a->Handle()), nullptr);

    // A control made on the shown form is adapted when its window is created
    // (WM_PARENTNOTIFY), one inside a panel through the skin command.
    TButton* late = Add<TButton>(Form, 200, 10);
    late->HandleNeeded();
    Pump(50);
    ASSERT_NE(WrapperByProperty(late->Handle()), nullptr);
    EXPECT_STREQ(WrapperByProperty(late->Handle())->ClassName(), "TacBtnWnd");
    TEdit* viaCommand = Add<TEdit>(Form, 200, 40);
    viaCommand->HandleNeeded();
    Adapter()->ControlRemoved(viaCommand);
    SendMessageW(Form->Handle(), SM_ALPHACMD, WPARAM(SkinWParam(scChildChanged)), LPARAM(viaCommand));
    EXPECT_NE(WrapperByProperty(viaCommand->Handle()), nullptr);
}

// A wrapper answering the form's message may take a later control off the
// form: that control is not sent the message, every other one is. An item
// leaving the list gives its slot to the last; the last slot itself just goes.
TEST_F(AdapterTest, AnItemLeavingGivesItsSlotToTheLastAndAMessageGoingRoundSkipsIt) {
    Make({{0, "TEdit"}});
    TEdit* e[3] = {Add<TEdit>(Form, 10, 10), Add<TEdit>(Form, 10, 40), Add<TEdit>(Form, 10, 70)};
    Show();
    const auto items = [this] {
        std::vector<TWinControl*> v;
        for (int i = 0; i < Adapter()->Count(); ++i) {
            EXPECT_EQ(Adapter()->Items[size_t(i)]->Index, i);
            v.push_back(Adapter()->Items[size_t(i)]->Ctrl);
        }
        return v;
    };
    ASSERT_EQ(items(), (std::vector<TWinControl*>{e[0], e[1], e[2]}));
    constexpr UINT kPing = WM_APP + 7;
    MethodSpy spies[3];
    for (int i = 0; i < 3; ++i) spies[i].Install(e[i]);
    // The first one told takes the second off the form.
    spies[0].Before = [&](const TMessage& M) {
        if (M.Msg != kPing || spies[0].Saw(kPing)) return;
        e[1]->WindowProc = spies[1].Prev;
        e[1]->SetParent(nullptr);
    };
    TMessage m{kPing, 0, 0, 0};
    testheap::BeginQuarantine();
    Adapter()->WndProc(m);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(spies[i].Count(kPing), i != 1) << i;
    EXPECT_EQ(items(), (std::vector<TWinControl*>{e[0], e[2]}));
    e[0]->WindowProc = spies[0].Prev;
    e[2]->WindowProc = spies[2].Prev;
    delete e[1];
    // The last slot, one past the end, the only one.
    const std::pair<int, std::vector<TWinControl*>> steps[] = {{1, {e[0]}}, {3, {e[0]}}, {0, {}}};
    for (const auto& [index, left] : steps) {
        Adapter()->RemoveItem(index);
        EXPECT_EQ(items(), left) << index;
    }
    EXPECT_EQ(testheap::EndQuarantine(), 0) << "a freed item was written";
}

TEST_F(AdapterTest, AControlLeavingTheFormLosesItsItemAndGetsItsWindowProcBack) {
    Make({{0, "TEdit"}});
    TPanel* panel = Add<TPanel>(Form, 300, 10, 200, 200);
    TEdit* e = Add<TEdit>(panel, 10, 10);
    const TWndMethod before = e->WindowProc;
    e->HandleNeeded();
    Show();
    ASSERT_NE(WrapperByProperty(e->Handle()), nullptr);
    EXPECT_FALSE(e->WindowProc == before);
    const int n = Adapter()->Count();
    // Removed from deep inside the form: the item goes, not a new wrapper.
    e->SetParent(nullptr);
    EXPECT_EQ(Adapter()->Count(), n - 1);
    EXPECT_LT(Adapter()->IndexOf(e), 0);
    EXPECT_TRUE(e->WindowProc == before);
    delete e;
    Pump(50);
    // Controls adapted and removed over and over leave no GDI or USER object behind.
    const testwin::GuiObjects start = testwin::CountGuiObjects();
    for (int i = 0; i < 40; ++i) {
        auto* c = new TEdit(Form);
        c->SetBounds(10, 10, 120, 24);
        c->SetParent(panel);
        EXPECT_NE(WrapperByProperty(c->Handle()), nullptr);
        RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        c->SetParent(nullptr);
        delete c;
    }
    Pump(50);
    EXPECT_EQ(Adapter()->Count(), n - 1);
    EXPECT_EQ(testwin::CountGuiObjects(), start);

    // The skin removed: every wrapper the adapter made gives back exactly
    // what it replaced.
    auto* f = new TEdit(Form);
    const TWndMethod fBefore = f->WindowProc;
    f->SetBounds(10, 10, 120, 24);
    f->SetParent(Form);  // on a shown form: made and adapted at once
    ASSERT_NE(WrapperByProperty(f->Handle()), nullptr);
    EXPECT_FALSE(f->WindowProc == fBefore);
    Manager->SetActive(false);
    Pump(50);
    EXPECT_EQ(WrapperByProperty(f->Handle()), nullptr);
    EXPECT_TRUE(f->WindowProc == fBefore);
}

// ---------------------------------------------------------------- system menu

TEST_F(AdapterTest, TheSystemMenuOpensFromTheIconAndWithAltSpaceAndItsCommandsReachTheForm) {
    Make({});
    Show();
    HWND h = Form->Handle();
    ASSERT_TRUE(Provider->SystemMenu());
    const UINT minimize = Provider->SystemMenu()->Item(TsSystemMenu::ItemMinimize)->Command(),
               close = Provider->SystemMenu()->Item(TsSystemMenu::ItemClose)->Command();
    // The caption icon, clicked with the real mouse; Minimize chosen.
    RECT wr{};
    GetWindowRect(h, &wr);
    const TRect icon = Provider->IconRect();
    ASSERT_GT(icon.Width(), 0);
    std::vector<UINT> shown;
    WhilePumping([&] {
        const int x = wr.left + (icon.Left + icon.Right) / 2, y = wr.top + (icon.Top + icon.Bottom) / 2;
        testwin::MouseAt(x, y);
        Sleep(50);
        testwin::MouseAt(x, y, MOUSEEVENTF_LEFTDOWN);
        Sleep(40);
        testwin::MouseAt(x, y, MOUSEEVENTF_LEFTUP);
        shown = ChooseFromOpenMenu(minimize);
    });
    const std::vector<UINT> sizeable = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0, SC_CLOSE};
    EXPECT_EQ(SysCommands(shown), sizeable);
    EXPECT_TRUE(PumpUntil([h] { return IsIconic(h) != FALSE; }, 2000));
    EXPECT_EQ(ActivePopupMenu(), nullptr);

    ShowWindow(h, SW_RESTORE);
    SetForegroundWindow(h);
    PumpUntil([h] { return !IsIconic(h) && GetForegroundWindow() == h; }, 2000);
    Pump(150);
    // Alt+Space from the keyboard; Close chosen.
    WhilePumping([&] {
        testwin::SendInputs({testwin::KeyStroke(VK_MENU, false), testwin::KeyStroke(VK_SPACE, false),
                             testwin::KeyStroke(VK_SPACE, true), testwin::KeyStroke(VK_MENU, true)});
        shown = ChooseFromOpenMenu(close);
    });
    EXPECT_EQ(SysCommands(shown), sizeable);
    EXPECT_TRUE(PumpUntil([h] { return !IsWindowVisible(h); }, 2000));
}

TEST_F(AdapterTest, ADialogFramesSystemMenuHoldsMoveAndCloseOnly) {
    Make({});
    Form->SetBorderStyle(bsDialog);
    Show();
    std::vector<UINT> shown;
    WhilePumping([&] {
        testwin::SendInputs({testwin::KeyStroke(VK_MENU, false), testwin::KeyStroke(VK_SPACE, false),
                             testwin::KeyStroke(VK_SPACE, true), testwin::KeyStroke(VK_MENU, true)});
        shown = ChooseFromOpenMenu(0);  // none: closed with Escape
    });
    EXPECT_EQ(SysCommands(shown), (std::vector<UINT>{SC_MOVE, 0, SC_CLOSE}));
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
}

namespace {

// Positions of the items of a sizeable form's system menu.
enum { posRestore, posMove, posSize, posMinimize, posMaximize, posLine, posClose };

// Runs the steps one a timer tick (inside the menu's loop once it is open)
// until they are done and no menu shows.
void DriveMenu(std::vector<menutest::Step> Steps) {
    menutest::LoopScript script(std::move(Steps), 150);
    PumpUntil([&] { return script.Done() && menutest::MenuWindows().empty(); }, 8000);
    Pump(100);
}
void AltSpace() { menutest::Chord(VK_MENU, VK_SPACE); }

// The part of an item's pixels on screen that are the pixels of the
// pop-up's skinned background under it (an item of the skin's look not
// hot: its text aside, the background; drawn by the system: none).
double ShareOfBackground(HWND MenuWnd, HMENU Menu, int Position) {
    TacMenuInfoRef info = FindMenuInfoByWindow(MenuWnd);
    if (!info || !info->Bmp) return -1;
    RECT w{};
    GetWindowRect(MenuWnd, &w);
    RECT r = menutest::ItemRect(nullptr, Menu, Position);
    OffsetRect(&r, -w.left, -w.top);
    const testwin::Pixels p = menutest::MenuPixels(MenuWnd);
    HDC bg = info->Bmp->Canvas()->Handle();
    int same = 0, n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x, ++n)
            same += p.At(x, y) == testwin::SwapRedBlue(GetPixel(bg, x, y));
    return n ? double(same) / n : -1;
}

// The frame of the pop-up on screen is the skinned background's.
bool FrameIsBackground(HWND MenuWnd) {
    TacMenuInfoRef info = FindMenuInfoByWindow(MenuWnd);
    if (!info || !info->Bmp) return false;
    const testwin::Pixels p = menutest::MenuPixels(MenuWnd);
    HDC bg = info->Bmp->Canvas()->Handle();
    for (int x = 0; x < p.Width; x += 3)
        if (p.At(x, 1) != testwin::SwapRedBlue(GetPixel(bg, x, 1))) return false;
    return true;
}

// The system commands that reach a window (the keyboard's own menu key
// aside), seen by a hook of the thread as they are sent.
struct SysCommandLog {
    static inline testwin::MessageLog* Log = nullptr;
    static inline HWND Window = nullptr;
    testwin::MessageLog Entries;
    HHOOK Hook = nullptr;
    explicit SysCommandLog(HWND W) {
        Log = &Entries;
        Window = W;
        Hook = SetWindowsHookExW(WH_CALLWNDPROC, &Proc, nullptr, GetCurrentThreadId());
    }
    ~SysCommandLog() {
        UnhookWindowsHookEx(Hook);
        Log = nullptr;
    }
    static LRESULT CALLBACK Proc(int Code, WPARAM W, LPARAM L) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(L);
        if (Code == HC_ACTION && Log && m->hwnd == Window && m->message == WM_SYSCOMMAND &&
            (m->wParam & 0xFFF0) != SC_KEYMENU)
            Log->Record(m->hwnd, m->message, m->wParam & 0xFFF0, 0);
        return CallNextHookEx(nullptr, Code, W, L);
    }
};

}  // namespace

TEST_F(AdapterTest, TheSystemMenuIsPaintedByTheSkinnedMenusAndLeavesNoObjectsBehind) {
    Make({});
    Show();
    TsSystemMenu* menu = Provider->SystemMenu();
    ASSERT_TRUE(menu);
    const TsGeneralData& item = Manager->gd()[size_t(Manager->SectionIndex("MENUITEM"))];
    const uint32_t font = testwin::SwapRedBlue(uint32_t(ColorToRGB(item.FontColor[0])));
    testwin::GuiObjects start;
    for (int round = 0; round < 5; ++round) {
        if (round == 1) start = testwin::CountGuiObjects();
        bool ours = false, frame = false;
        double moveShare = -1;
        int inked = 0;
        DriveMenu({AltSpace, [&] {
                       HWND w = menutest::TopMenuWindow();
                       ours = ActivePopupMenu() == menu && menu->OwnerDraw();
                       frame = w && FrameIsBackground(w);
                       moveShare = w ? ShareOfBackground(w, menu->Handle(), posMove) : -1;
                       // The Close item's caption in the skin's font colour.
                       RECT wr{}, r = menutest::ItemRect(nullptr, menu->Handle(), posClose);
                       GetWindowRect(w, &wr);
                       const testwin::Pixels p = menutest::MenuPixels(w);
                       for (int y = r.top - wr.top; y < r.bottom - wr.top; ++y)
                           for (int x = r.left - wr.left; x < r.right - wr.left; ++x) inked += p.At(x, y) == font;
                       menutest::Keys({VK_ESCAPE});
                   }});
        if (round > 0) continue;
        EXPECT_TRUE(ours) << "the provider's own pop-up, owner-drawn";
        EXPECT_TRUE(frame) << "the frame is the skinned background";
        EXPECT_GT(moveShare, 0.6) << "a plain item shows the skinned background";
        EXPECT_GT(inked, 10) << "the caption is written in the skin's font colour";
    }
    EXPECT_EQ(testwin::CountGuiObjects(), start);
    EXPECT_EQ(MenuCacheCount(), 0);
}

// Each item, chosen with the real mouse or the keyboard, sends the form its
// command; a disabled item sends nothing.
TEST_F(AdapterTest, EachSystemMenuItemSendsItsCommandAndDisabledOnesNothing) {
    Make({});
    Show();
    HWND h = Form->Handle();
    enum How { click, enter };
    struct Row {
        int Position;
        How Way;
        bool Maximised;
        UINT Expected;  // 0: nothing
    };
    const Row rows[] = {
        {posRestore, click, false, 0},         {posMove, enter, false, SC_MOVE},
        {posSize, click, false, SC_SIZE},      {posMaximize, enter, false, SC_MAXIMIZE},
        {posMaximize, click, true, 0},         {posMove, click, true, 0},
        {posRestore, enter, true, SC_RESTORE}, {posMinimize, click, false, SC_MINIMIZE},
        {posClose, enter, false, SC_CLOSE},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "position " << r.Position << (r.Maximised ? " maximised" : ""));
        ShowWindow(h, r.Maximised ? SW_MAXIMIZE : SW_RESTORE);
        SetForegroundWindow(h);
        PumpUntil([&] { return GetForegroundWindow() == h && (IsZoomed(h) != 0) == r.Maximised; }, 2000);
        Pump(150);
        SysCommandLog log(h);
        HMENU m = Provider->SystemMenu()->Handle();
        DriveMenu({AltSpace,
                   [&] {
                       if (r.Way == click) {
                           menutest::ClickAt(menutest::CentreOf(menutest::ItemRect(nullptr, m, r.Position)));
                           return;
                       }
                       // The separator is passed over.
                       for (int i = 0; i <= r.Position - (r.Position > posLine); ++i) menutest::Keys({VK_DOWN});
                       menutest::Keys({VK_RETURN});
                   },
                   // A disabled item leaves the menu open; the move and size
                   // loops end with it too.
                   [] { menutest::Keys({VK_ESCAPE}); }});
        std::vector<testwin::ExpectedMessage> want;
        if (r.Expected) want.push_back({WM_SYSCOMMAND, r.Expected, 0, h});
        EXPECT_TRUE(log.Entries.Matches(want));
    }
    EXPECT_FALSE(IsWindowVisible(h));
}

// With MakeSkinMenu the menu starts with the manager's skins, each name
// once; the current one is checked, choosing another switches the skin, and showing the menu
// again makes the item again without piling up separators.
TEST_F(AdapterTest, TheSkinSelectionItemListsTheSkinsAndSwitchesTheSkin) {
    Make({});
    Provider->SetMakeSkinMenu(true);
    Show();
    TsSystemMenu* menu = Provider->SystemMenu();
    std::vector<int> counts;
    int night = -1;
    std::vector<std::string> checked, listed;
    for (int round = 0; round < 2; ++round)
        DriveMenu({AltSpace, [&] {
                       counts.push_back(GetMenuItemCount(menu->Handle()));
                       TMenuItem* select = menu->Items()->Items(0);
                       checked.clear();
                       listed.clear();
                       for (int i = 0; i < select->Count(); ++i) {
                           listed.push_back(select->Items(i)->Caption());
                           if (select->Items(i)->Checked()) checked.push_back(select->Items(i)->Caption());
                           if (select->Items(i)->Caption() == "Night") night = i;
                       }
                       if (round == 0 || night < 0) {
                           menutest::Keys({VK_ESCAPE});
                           return;
                       }
                       menutest::Keys({VK_DOWN, VK_RIGHT});
                   },
                   [&] {
                       if (round == 0 || night < 0) return;
                       for (int i = 0; i < night; ++i) menutest::Keys({VK_DOWN});
                       menutest::Keys({VK_RETURN});
                   }});
    EXPECT_EQ(menu->Items()->Items(0)->Name(), "SkinSelectItem");
    EXPECT_EQ(counts, (std::vector<int>{9, 9})) << "the item, a separator and the seven of the system menu";
    // The test skins are folders and packed files: each is listed once.
    EXPECT_EQ(listed, (std::vector<std::string>{"Birch", "Flat", "Night", "Sparse"}));
    EXPECT_EQ(checked, std::vector<std::string>{"Birch"});
    ASSERT_GE(night, 0);
    EXPECT_EQ(Manager->SkinName(), "Night");
    // Under the new skin the menu is painted from it.
    double share = -1;
    DriveMenu({AltSpace, [&] {
                   HWND w = menutest::TopMenuWindow();
                   share = w ? ShareOfBackground(w, menu->Handle(), 2 + posMove) : -1;
                   menutest::Keys({VK_ESCAPE});
               }});
    EXPECT_GT(share, 0.6);
}

// Twenty skins a column: 45 skins make three columns.
TEST_F(AdapterTest, FortyFiveSkinsAreListedInThreeColumns) {
    Make({});
    Provider->SetMakeSkinMenu(true);
    Show();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"tuvreli-skin-list-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    for (int i = 0; i < 45; ++i) {
        const std::wstring skin = dir + L"\\Skin" + (i < 10 ? L"0" : L"") + std::to_wstring(i);
        CreateDirectoryW(skin.c_str(), nullptr);
        CloseHandle(CreateFileW((skin + L"\\Options.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    Manager->SetSkinDirectory(AnsiString(dir.begin(), dir.end()));
    Provider->SystemMenu()->MakeSkinItems();
    TMenuItem* select = Provider->SystemMenu()->Items()->Items(0);
    std::vector<int> breaks;
    for (int i = 0; i < select->Count(); ++i)
        if (select->Items(i)->Break() == mbBreak) breaks.push_back(i);
    EXPECT_EQ(select->Count(), 45);
    EXPECT_EQ(breaks, (std::vector<int>{20, 40}));
    for (int i = 0; i < 45; ++i) {
        const std::wstring skin = dir + L"\\Skin" + (i < 10 ? L"0" : L"") + std::to_wstring(i);
        DeleteFileW((skin + L"\\Options.dat").c_str());
        RemoveDirectoryW(skin.c_str());
    }
    RemoveDirectoryW(dir.c_str());
}

// ---------------------------------------------------------------- frame adapter

TEST_F(AdapterTest, AFrameIsPaintedFromItsSectionAndItsControlsAreAdapted) {
    Make({{0, "TEdit"}});
    TFrame* frame = AddFrame(20, 20, 300, 200);
    const TWndMethod before = frame->WindowProc;
    TEdit* inner = Add<TEdit>(frame, 20, 20);
    Show();
    TsFrameAdapter* fa = nullptr;
    for (int i = 0; i < frame->ComponentCount(); ++i)
        if (auto* a = dynamic_cast<TsFrameAdapter*>(frame->Components(i))) fa = a;
    ASSERT_NE(fa, nullptr);
    EXPECT_EQ(fa->SkinData()->SkinSection(), "GROUPBOX");
    EXPECT_EQ(SendMessageW(frame->Handle(), SM_ALPHACMD, WPARAM(SkinWParam(scIsSkinned)), 0), 1);
    EXPECT_NE(WrapperByProperty(inner->Handle()), nullptr);
    // The frame's empty corner shows the section's image, not the system's face.
    RedrawWindow(frame->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump(50);
    const testwin::Pixels shown = testwin::CopyFromWindow(frame->Handle(), RECT{0, 0, 300, 200});
    TBitmap* cache = fa->SkinData()->CacheBitmap;
    ASSERT_TRUE(cache && !cache->Empty());
    int same = 0, n = 0;
    for (int y = 120; y < 190; y += 7)
        for (int x = 200; x < 290; x += 7, ++n)
            same += testwin::SwapRedBlue(GetPixel(cache->Canvas()->Handle(), x, y)) == shown.At(x, y);
    EXPECT_EQ(same, n);
    // Freed, the adapter gives the frame its WindowProc back.
    delete fa;
    EXPECT_TRUE(frame->WindowProc == before);
}

namespace {

// The frame adapter a frame got from the control adapter.
TsFrameAdapter* FrameAdapterOf(TFrame* Frame) {
    for (int i = 0; i < Frame->ComponentCount(); ++i)
        if (auto* a = dynamic_cast<TsFrameAdapter*>(Frame->Components(i))) return a;
    return nullptr;
}

// The texts of the message boxes Show opens (each answered with Enter by a
// thread of its own), and of any that opens for a while after it returns.
std::vector<std::string> AnsweredBoxes(const std::function<void()>& Show) {
    struct Ctx {
        std::vector<std::string> Texts;
        std::atomic<bool> Stop{false};
    } ctx;
    HANDLE t = CreateThread(
        nullptr, 0,
        [](LPVOID P) -> DWORD {
            auto* c = static_cast<Ctx*>(P);
            HWND last = nullptr;
            while (!c->Stop) {
                HWND box = FindWindowW(L"#32770", nullptr);
                DWORD pid = 0;
                if (box) GetWindowThreadProcessId(box, &pid);
                if (box && box != last && pid == GetCurrentProcessId() && IsWindowVisible(box)) {
                    Sleep(150);
                    char text[256] = {};
                    GetDlgItemTextA(box, 0xFFFF, text, 255);
                    c->Texts.push_back(text);
                    last = box;
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                }
                Sleep(20);
            }
            return 0;
        },
        &ctx, 0, nullptr);
    Show();
    Pump(400);
    ctx.Stop = true;
    WaitForSingleObject(t, 3000);
    CloseHandle(t);
    return ctx.Texts;
}

// Pixels of a frame on screen.
testwin::Pixels FrameShot(TFrame* F) {
    RedrawWindow(F->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(50);
    return testwin::CopyFromWindow(F->Handle(), RECT{0, 0, F->Width(), F->Height()});
}

}  // namespace

// An adapter on anything but a frame and a provider on a frame each say so
// once; the adapter then leaves the window alone.
TEST_F(AdapterTest, AnAdapterOffAFrameAndAProviderOnAFrameSayItOnce) {
    Make({});
    auto* frame = new TFrame(Form);
    frame->SetParent(Form);
    Show();
    const TWndMethod formProc = Form->WindowProc;
    std::unique_ptr<TsFrameAdapter> stray;
    const std::vector<std::string> adapterBox = AnsweredBoxes([&] { stray.reset(new TsFrameAdapter(Form)); });
    EXPECT_EQ(adapterBox, std::vector<std::string>{acFrameAdapterError});
    EXPECT_EQ(stray->Frame(), nullptr);
    EXPECT_TRUE(Form->WindowProc == formProc);
    stray.reset();
    EXPECT_TRUE(Form->WindowProc == formProc);
    const std::vector<std::string> providerBox = AnsweredBoxes([&] { new TsSkinProvider(frame); });
    ASSERT_EQ(providerBox.size(), 1u);
    EXPECT_EQ(providerBox[0].rfind("TsSkinProvider component must be used with forms only!", 0), 0u);
}

// The mouse over a skinned frame makes it the hot window; a pop-up menu it
// owns is drawn by the skin.
TEST_F(AdapterTest, AFrameUnderTheMouseIsTheHotWindowAndItsPopupMenuIsSkinned) {
    Make({});
    // Owned by no form: only its adapter hands its menus over.
    std::unique_ptr<TFrame> frame(new TFrame(nullptr));
    frame->SetBounds(40, 40, 200, 150);
    frame->SetParent(Form);
    auto* popup = new TPopupMenu(frame.get());
    popup->Items()->Add(new TMenuItem(popup));
    Show();
    TsFrameAdapter* fa = FrameAdapterOf(frame.get());
    ASSERT_NE(fa, nullptr);
    popup->SetOwnerDraw(false);
    // A new skin hands the frame's menus over.
    Manager->SetSkinName("Night");
    Pump(100);
    EXPECT_TRUE(popup->OwnerDraw());
    POINT p{100, 75};
    ClientToScreen(frame->Handle(), &p);
    MouseMove(p.x, p.y);
    EXPECT_TRUE(PumpUntil([&] { return Manager->HotWindow() == frame->Handle(); }, 1500));
    MouseMove(1200, 1000);
    frame.reset();
}

// A frame of a plain section: the border from the border image (a corner
// pixel the image's mask lets the form's image through), the inside one colour.
TEST_F(AdapterTest, APlainFrameIsItsBorderImageAroundItsSectionColour) {
    Make({});
    TFrame* frame = AddFrame(60, 50, 200, 140);
    Show();
    TsFrameAdapter* fa = FrameAdapterOf(frame);
    ASSERT_NE(fa, nullptr);
    fa->SkinData()->SetSkinSection("EDIT");
    ASSERT_TRUE(fa->SkinData()->OpacityBits & 1) << "a plain section";
    const testwin::Pixels shown = FrameShot(frame);
    const uint32_t face = testwin::SwapRedBlue(COLORREF(ColorToRGB(fa->SkinData()->Section()->Color)));
    EXPECT_EQ(shown.At(100, 70), face);
    EXPECT_EQ(shown.At(6, 70), face);
    EXPECT_NE(shown.At(1, 70), face) << "the border image's edge";
    // The corner pixel (1, 0): picture and form mixed by the mask.
    const TsMaskData& b = Manager->ma()[size_t(fa->SkinData()->BorderMaskNo)];
    ASSERT_TRUE(b.Image);
    HDC img = b.Image->Canvas()->Handle();
    const COLORREF pic = GetPixel(img, b.R.Left + 1, b.R.Top), mask = GetPixel(img, b.R.Left + 1, b.R.Top + b.R.Height() / 2);
    const COLORREF under = FormPixelUnder(frame->Handle(), 1, 0);
    auto mix = [](int D, int S, int M) { return (D * M + S * (256 - M)) >> 8; };
    const COLORREF want = RGB(mix(GetRValue(under), GetRValue(pic), GetRValue(mask)),
                              mix(GetGValue(under), GetGValue(pic), GetGValue(mask)),
                              mix(GetBValue(under), GetBValue(pic), GetBValue(mask)));
    EXPECT_EQ(shown.At(1, 0), testwin::SwapRedBlue(want));
    // Asked for its colour it answers its section's; a textured frame has
    // none to give (its children take its image).
    const auto answer = [&] { return TColor(SendMessageW(frame->Handle(), SM_ALPHACMD, WPARAM(SkinWParam(scQueryColor)), 0)); };
    EXPECT_EQ(answer(), ColorToRGB(fa->SkinData()->Section()->Color));
    fa->SkinData()->SetSkinSection("GROUPBOX");
    ASSERT_TRUE(fa->SkinData()->NeedsRepaint());
    EXPECT_EQ(answer(), TransparentKeyColor);
}

// A frame whose image is kept (an opaque gradient section) moved over the
// form: its clear corner shows what lies under it at the new place.
TEST_F(AdapterTest, AMovedFrameRepairsItsCornersOverTheForm) {
    Make({});
    TFrame* frame = AddFrame(60, 50, 200, 140);
    Show();
    TsFrameAdapter* fa = FrameAdapterOf(frame);
    ASSERT_NE(fa, nullptr);
    fa->SkinData()->SetSkinSection("BUTTON");
    ASSERT_FALSE(fa->SkinData()->NeedsParentRepaint());
    for (const int dx : {0, 7, 23}) {
        frame->SetBounds(60 + dx, 50 + dx, 200, 140);
        const testwin::Pixels shown = FrameShot(frame);
        EXPECT_EQ(shown.At(0, 0), testwin::SwapRedBlue(FormPixelUnder(frame->Handle(), 0, 0))) << dx;
    }
}

// A skinned frame's background and bars are the adapter's; the skin taken
// away gives the bars back and recalculates the frame; the adapter freed
// gives back the procedure it took.
TEST_F(AdapterTest, RemovingTheSkinAndTheAdapterGivesTheFrameEverythingBack) {
    Make({});
    TFrame* frame = AddFrame(40, 40, 220, 160);
    MethodSpy spy;
    spy.Install(frame);
    const TWndMethod before = frame->WindowProc;
    Show();
    TsFrameAdapter* fa = FrameAdapterOf(frame);
    ASSERT_NE(fa, nullptr);
    const HWND h = frame->Handle();
    ASSERT_NE(fa->ScrollWrapper(), nullptr);
    EXPECT_EQ(WrapperByProperty(h), fa->ScrollWrapper());
    HDC dc = GetDC(h);
    auto erasedByFrame = [&] {
        spy.Seen.clear();
        SendMessageW(h, WM_ERASEBKGND, WPARAM(dc), 0);
        return spy.Saw(WM_ERASEBKGND);
    };
    EXPECT_FALSE(erasedByFrame());
    {
        testwin::MessageLog log;
        testwin::LogWindow watch(log, h);
        Manager->SetActive(false);
        Pump(50);
        const auto& e = log.Entries();
        EXPECT_TRUE(std::any_of(e.begin(), e.end(), [](const testwin::LoggedMessage& m) {
            return m.Msg == WM_NCCALCSIZE && m.WParam == TRUE;
        })) << "the frame recalculated";
    }
    EXPECT_EQ(fa->ScrollWrapper(), nullptr);
    EXPECT_EQ(GetPropW(h, acWrapperProp), nullptr);
    EXPECT_TRUE(erasedByFrame());
    ReleaseDC(h, dc);
    delete fa;
    EXPECT_TRUE(frame->WindowProc == before);
    EXPECT_EQ(SendMessageW(h, SM_ALPHACMD, WPARAM(SkinWParam(scIsSkinned)), 0), 0);
}

// A scrolling frame's bars are the skin's: the real mouse on the down arrow
// and on the track scrolls the children, and printing the frame gives the
// bars shown on screen.
TEST_F(AdapterTest, AScrollingFramesSkinnedBarsScrollItByTheMouseAndPrint) {
    Make({});
    TFrame* frame = AddFrame(40, 40, 220, 160);
    auto* deep = new TPanel(Form);
    deep->SetBounds(10, 400, 60, 40);
    deep->SetParent(frame);
    Show();
    TsFrameAdapter* fa = FrameAdapterOf(frame);
    ASSERT_NE(fa, nullptr);
    TacScrollWnd* w = fa->ScrollWrapper();
    ASSERT_NE(w, nullptr);
    const HWND h = frame->Handle();
    ASSERT_TRUE(frame->VertScrollBar()->IsScrollBarVisible());
    const TRect bar = GetVertBarRect(w, h);
    const int arrow = GetScrollMetric(w->VertBar(), 0, true), mid = (bar.Left + bar.Right) / 2;
    struct Step {
        const char* Name;
        int Y;     // screen row clicked
        int Least; // the position moves at least so far
    };
    const Step steps[] = {{"down arrow", bar.Bottom - arrow / 2, 1}, {"track below the thumb", bar.Bottom - arrow - 3, 20}};
    for (const Step& st : steps) {
        const int before = frame->VertScrollBar()->Position(), top = deep->Top();
        MouseMove(mid, st.Y);
        Pump(50);
        MouseDown();
        Pump(60);
        MouseUp();
        PumpUntil([&] { return frame->VertScrollBar()->Position() != before; }, 1500);
        Pump(100);
        const int moved = frame->VertScrollBar()->Position() - before;
        EXPECT_GE(moved, st.Least) << st.Name;
        EXPECT_EQ(top - deep->Top(), moved) << st.Name;
    }
    MouseMove(1200, 1000);
    Pump(100);
    // Printed, the bar is the one on screen.
    RECT wr{};
    GetWindowRect(h, &wr);
    const int ww = wr.right - wr.left, wh = wr.bottom - wr.top;
    std::unique_ptr<TBitmap> print(CreateBitmap24(ww, wh));
    SendMessageW(h, WM_PRINT, WPARAM(print->Canvas()->Handle()), PRF_CLIENT | PRF_NONCLIENT);
    const testwin::Pixels shown = testwin::CopyFromWindow(h, RECT{0, 0, ww, wh}, true);
    int differ = 0, n = 0;
    for (int y = bar.Top - wr.top; y < bar.Bottom - wr.top; y += 3)
        for (int x = bar.Left - wr.left; x < bar.Right - wr.left; x += 2, ++n)
            differ += testwin::SwapRedBlue(GetPixel(print->Canvas()->Handle(), x, y)) != shown.At(x, y);
    EXPECT_GT(n, 20);
    EXPECT_EQ(differ, 0);
}

// ---------------------------------------------------------------- MDI

TEST_F(AdapterTest, AMaximisedMDIChildsMenuBarButtonsWorkAndTheClientIsWrapped) {
    Make({}, fsMDIForm);
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING, 100, L"File");
    Form->HandleNeeded();
    SetMenu(Form->Handle(), bar);
    Show();
    ASSERT_NE(Form->ClientHandle(), nullptr);
    TacMainWnd* cw = WrapperByProperty(Form->ClientHandle());
    ASSERT_NE(cw, nullptr);
    EXPECT_STREQ(cw->ClassName(), "TacMDIWnd");
    EXPECT_EQ(MDIMainProvider, Provider);
    TForm* children[2];
    for (int i = 0; i < 2; ++i) {
        children[i] = new TForm(Form);
        children[i]->SetFormStyle(fsMDIChild);
        children[i]->SetCaption(i ? "Second" : "First");
        children[i]->SetBounds(10 + 40 * i, 10 + 40 * i, 240, 160);
        children[i]->Show();
    }
    Pump(150);
    HWND child = children[1]->Handle();
    SendMessageW(Form->ClientHandle(), WM_MDIMAXIMIZE, WPARAM(child), 0);
    Pump(200);
    ASSERT_TRUE(IsZoomed(child));
    HWND h = Form->Handle();
    // The button of a command in the menu bar, clicked with the real mouse.
    auto clickBarButton = [&](UINT Command) {
        HMENU m = GetMenu(h);
        for (int i = 0; i < GetMenuItemCount(m); ++i) {
            RECT r{};
            if (GetMenuItemID(m, i) != Command || !GetMenuItemRect(h, m, UINT(i), &r)) continue;
            WhilePumping([r] {
                const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
                testwin::MouseAt(x, y);
                Sleep(50);
                testwin::MouseAt(x, y, MOUSEEVENTF_LEFTDOWN);
                Sleep(40);
                testwin::MouseAt(x, y, MOUSEEVENTF_LEFTUP);
                Sleep(150);
            });
            return true;
        }
        return false;
    };
    // The helper form lives only inside the menu loop.
    bool helperSeen = false;
    WhilePumping([&] {
        testwin::SendInputs({testwin::KeyStroke(VK_F10, false), testwin::KeyStroke(VK_F10, true)});
        Sleep(400);
        RECT r{};
        GetWindowRect(h, &r);
        HWND at = WindowFromPoint(POINT{r.right - 30, r.top + Provider->CaptionHeight() + 4});
        helperSeen = at && GetWindowTextLengthW(at) == 0 && FindControl(at) &&
                     FindControl(at)->Name() == "acMDIIcons";
        testwin::SendInputs({testwin::KeyStroke(VK_ESCAPE, false), testwin::KeyStroke(VK_ESCAPE, true)});
        Sleep(100);
        testwin::SendInputs({testwin::KeyStroke(VK_ESCAPE, false), testwin::KeyStroke(VK_ESCAPE, true)});
    });
    EXPECT_TRUE(helperSeen);
    EXPECT_EQ(MDIIconsForm(), nullptr);

    ASSERT_TRUE(clickBarButton(SC_RESTORE));
    EXPECT_TRUE(PumpUntil([child] { return !IsZoomed(child); }, 2000));
    SendMessageW(Form->ClientHandle(), WM_MDIMAXIMIZE, WPARAM(child), 0);
    Pump(200);
    ASSERT_TRUE(clickBarButton(SC_CLOSE));
    EXPECT_TRUE(PumpUntil([child] { return !IsWindow(child); }, 2000)) << "a closed MDI child goes";

    // The skin removed: the client window is unwrapped.
    HWND client = Form->ClientHandle();
    Manager->SetActive(false);
    Pump(50);
    EXPECT_EQ(WrapperByProperty(client), nullptr);
    EXPECT_EQ(MDIMainProvider, nullptr);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    StartUnits();
    const int r = RUN_ALL_TESTS();
    StopUnits();
    return r;
}
