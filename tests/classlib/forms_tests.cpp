// Forms and the application under Wine: a form made from its resource,
// OnShow on every showing, the close actions, timers as messages of the one
// loop, exceptions shown while the loop goes on, and the end of Run freeing
// the forms, the last created first.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <utility>

#include "ExtControls.h"
#include "FormLoader.h"
#include "Forms.h"
#include "Graphics.h"
#include "Guards.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "TypeInfo.h"
#include "WinText.h"

namespace {

std::vector<AnsiString> g_log;

class TResForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TResForm"; }
    void FormCreate(TObject*) { g_log.push_back(AnsiString("create ") + (IsWindowVisible(FHandle ? FHandle : nullptr) ? "shown" : "hidden")); }
    void FormShow(TObject*) { g_log.push_back("show"); }
    void Timer1Timer(TObject*) {
        ++Ticks;
        if (OnTick) OnTick(this);
    }
    int Ticks = 0;
    TNotifyEvent OnTick;
};

class TNoResForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TNoResForm"; }
};

TResForm* ResForm = nullptr;

void Register() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterFormClass<TResForm>("TResForm")
        .Handler<&TResForm::FormCreate>("FormCreate")
        .Handler<&TResForm::FormShow>("FormShow")
        .Handler<&TResForm::Timer1Timer>("Timer1Timer");
    RegisterFormClass<TNoResForm>("TNoResForm");
}

// A plain form owned by the application that logs its showing and closing.
class TLogForm : public TForm {
public:
    explicit TLogForm(TComponent* Owner, const char* name) : TForm(Owner) {
        SetName(name);
        SetPosition(poScreenCenter);
        SetClientWidth(120);
        SetClientHeight(80);
        OnShow = TNotifyEvent::Of<&TLogForm::Shown>(this);
        OnClose = TCloseEvent::Of<&TLogForm::Closing>(this);
    }
    ~TLogForm() override { g_log.push_back("free " + Name()); }
    void Shown(TObject*) { g_log.push_back("show " + Name()); }
    void Closing(TObject*, TCloseAction& a) {
        g_log.push_back(AnsiString("close ") + Name() + " " + IntToStr(a));
        a = Action;
    }
    TCloseAction Action = caHide;
};

}  // namespace

TEST(Forms, CreatedFromTheResourceNamedAfterTheClass) {
    Register();
    g_log.clear();
    ASSERT_EQ(Application->MainForm(), nullptr);
    Application->CreateForm(ResForm);
    ASSERT_NE(ResForm, nullptr);
    EXPECT_EQ(Application->MainForm(), ResForm);
    std::vector<AnsiString> expect = {"create hidden", "show"};
    EXPECT_EQ(g_log, expect);
    HWND h = ResForm->Handle();
    EXPECT_TRUE(IsWindowVisible(h)) << "Visible in the definition shows the form at creation";
    wchar_t text[32] = {};
    GetWindowTextW(h, text, 32);
    EXPECT_EQ(std::wstring(text), L"\u0412\u044b\u0445\u043e\u0434");
    LONG style = GetWindowLongW(h, GWL_STYLE);
    EXPECT_FALSE(style & WS_SYSMENU) << "no border icons: no close box";
    EXPECT_FALSE(style & WS_THICKFRAME);
    RECT c;
    GetClientRect(h, &c);
    EXPECT_EQ(c.right, 250);
    EXPECT_EQ(c.bottom, 150);
    RECT w;
    GetWindowRect(h, &w);
    EXPECT_NEAR((w.left + w.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((w.top + w.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_EQ(Screen->FormCount(), 1);
    EXPECT_TRUE(PumpUntil([&] { return ResForm->Ticks >= 3; })) << "the timer of the definition ticks";
    Pixels px = Grab(h);
    EXPECT_EQ(px.ColorAt(100, 100), clLime);
    EXPECT_EQ(px.ColorAt(25, 25), clRed);
}

TEST(Forms, MissingResourceLeavesNoForm) {
    Register();
    int forms = Screen->FormCount(), owned = Application->ComponentCount();
    TNoResForm* f = reinterpret_cast<TNoResForm*>(1);
    try {
        Application->CreateForm(f);
        FAIL() << "no exception";
    } catch (const EFormError& e) {
        EXPECT_NE(e.Message.find("TNORESFORM"), AnsiString::npos) << e.Message;
    }
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(Screen->FormCount(), forms);
    EXPECT_EQ(Application->ComponentCount(), owned);
    EXPECT_EQ(Application->MainForm(), ResForm);
}

TEST(Forms, OnShowOnEveryShowingAndTheCloseActions) {
    g_log.clear();
    auto* a = new TLogForm(Application, "A");
    a->Show();
    a->Show();  // already shown: no second OnShow
    a->Hide();
    a->Show();
    std::vector<AnsiString> expect = {"show A", "show A"};
    EXPECT_EQ(g_log, expect);

    // Default action: hidden, not freed.
    g_log.clear();
    a->Close();
    EXPECT_FALSE(a->Visible());
    EXPECT_FALSE(IsWindowVisible(a->Handle()));
    EXPECT_EQ(Application->FindComponent("A"), a);
    // The close box sends WM_CLOSE: the same road.
    a->Show();
    a->Action = caNone;
    SendMessageW(a->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(20);
    EXPECT_TRUE(IsWindowVisible(a->Handle())) << "caNone keeps the form";
    a->Action = caMinimize;
    a->Close();
    Pump(50);
    EXPECT_TRUE(IsIconic(a->Handle()));
    a->Action = caFree;
    a->Close();
    EXPECT_EQ(Application->FindComponent("A"), a) << "freed only once the queue is handled";
    Pump(50);
    EXPECT_EQ(Application->FindComponent("A"), nullptr);
    std::vector<AnsiString> expect2 = {"close A 1", "show A", "close A 1", "close A 1", "close A 1", "free A"};
    EXPECT_EQ(g_log, expect2);
    EXPECT_FALSE(Application->Terminated());
}

TEST(Forms, FocusAskedForOnAHiddenFormWaitsUntilItIsShown) {
    auto* a = new TLogForm(Application, "FocusA");
    auto* ea = new TEdit(a);
    ea->SetParent(a);
    a->Show();
    ea->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == ea->Handle(); }));
    auto* b = new TLogForm(Application, "FocusB");
    auto* e1 = new TEdit(b);
    e1->SetParent(b);
    auto* e2 = new TEdit(b);
    e2->SetParent(b);
    e2->SetTop(40);
    b->HandleNeeded();
    e2->SetFocus();  // b is hidden: nothing moves yet
    Pump(50);
    EXPECT_EQ(GetFocus(), ea->Handle());
    EXPECT_FALSE(IsWindowVisible(b->Handle()));
    EXPECT_EQ(b->ActiveControl(), e2);
    // Asked for in OnShow, before the window appears: given once it is there.
    b->OnShow = TNotifyEvent::Fn(e1, [](void* e, TObject*) { static_cast<TEdit*>(e)->SetFocus(); });
    b->Show();
    EXPECT_EQ(b->ActiveControl(), e1);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == e1->Handle(); }));
    delete b;
    delete a;
}

namespace {
// The captions a window's bar shows, in their order.
std::vector<AnsiString> BarOf(HWND H) {
    std::vector<AnsiString> out;
    HMENU bar = GetMenu(H);
    for (int pos = 0; bar && pos < GetMenuItemCount(bar); ++pos) {
        wchar_t text[64] = {};
        GetMenuStringW(bar, UINT(pos), text, 64, MF_BYPOSITION);
        out.push_back(FromWide(text));
    }
    return out;
}

TMainMenu* MenuWith(TComponent* Owner, std::initializer_list<std::pair<const char*, int>> Items) {
    auto* menu = new TMainMenu(Owner);
    for (auto [caption, group] : Items) {
        auto* item = new TMenuItem(Owner);
        item->SetCaption(caption);
        item->SetGroupIndex(group);
        menu->Items()->Add(item);
    }
    return menu;
}
}  // namespace

// A form whose menu has AutoMerge shows no bar of its own: its items join
// the main form's bar by group index once it is active, and stay there
// while it is shown; hidden, it takes them back; without AutoMerge its bar
// is its own again.
TEST(Forms, AnAutoMergeMenuJoinsTheMainFormsBarWhileItsFormIsShown) {
    ASSERT_NE(ResForm, nullptr);
    TMainMenu* main = MenuWith(ResForm, {{"File", 0}, {"Help", 9}});
    ResForm->SetMenu(main);
    auto* other = new TLogForm(Application, "M");
    TMainMenu* menu = MenuWith(other, {{"Tools", 5}});
    menu->SetAutoMerge(true);
    other->SetMenu(menu);
    other->Show();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == other->Handle(); }));
    EXPECT_EQ(GetMenu(other->Handle()), nullptr);
    const std::vector<AnsiString> own{"File", "Help"}, merged{"File", "Tools", "Help"};
    EXPECT_EQ(BarOf(ResForm->Handle()), merged);
    SetForegroundWindow(ResForm->Handle());
    Pump(50);
    EXPECT_EQ(BarOf(ResForm->Handle()), merged) << "the main form's bar is used while the form is shown";
    other->Hide();
    Pump(30);
    EXPECT_EQ(BarOf(ResForm->Handle()), own);
    menu->SetAutoMerge(false);
    Pump(30);
    EXPECT_EQ(GetMenu(other->Handle()), menu->Handle());
    delete other;
    ResForm->SetMenu(nullptr);
    delete main;
    Pump(30);
}

TEST(Timers, TicksAreMessagesOfTheLoop) {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* t = new TTimer(owner.get());
    int ticks = 0;
    t->OnTimer = TNotifyEvent::Fn(&ticks, [](void* n, TObject*) { ++*static_cast<int*>(n); });
    t->SetInterval(10);
    Sleep(60);
    EXPECT_EQ(ticks, 0) << "nothing ticks outside the message loop";
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 5; }, 2000));
    t->SetEnabled(false);
    Pump(10);
    int stopped = ticks;
    Pump(100);
    EXPECT_EQ(ticks, stopped);
    t->SetInterval(20);
    EXPECT_EQ(ticks, stopped) << "a new interval does not enable";
    t->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= stopped + 3; }, 2000));
    delete t;  // freed while running: no more ticks, nothing dangling
    int at = ticks;
    Pump(80);
    EXPECT_EQ(ticks, at);
}

namespace {

std::wstring g_boxText;
VOID CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) -> BOOL {
        wchar_t cls[16] = {};
        GetClassNameW(w, cls, 16);
        if (std::wstring(cls) == L"#32770" && IsWindowVisible(w)) {
            *reinterpret_cast<HWND*>(p) = w;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    g_boxText = text;
    KillTimer(nullptr, id);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

struct Thrower {
    int Clicks = 0;
    void Click(TObject*) {
        ++Clicks;
        if (Clicks == 1) throw Exception("Boom");
    }
};

}  // namespace

TEST(Exceptions, AnEscapingExceptionIsShownAndTheLoopGoesOn) {
    auto* f = new TLogForm(Application, "Thrower");
    Thrower th;
    f->OnClick = TNotifyEvent::Of<&Thrower::Click>(&th);
    f->Show();
    Pump(50);
    HWND h = f->Handle();
    // No hook: a real message box, which a timer of this thread reads and closes.
    g_boxText.clear();
    SetTimer(nullptr, 0, 100, &CloseMessageBox);
    PostMouse(h, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    PostMouse(h, WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(PumpUntil([&] { return !g_boxText.empty(); }, 5000));
    EXPECT_EQ(g_boxText, L"Boom.");
    EXPECT_EQ(th.Clicks, 1);
    PostMouse(h, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    PostMouse(h, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(th.Clicks, 2) << "the loop goes on";

    // With OnException set, it decides instead (the tests' hook).
    std::vector<AnsiString> caught;
    Application->OnException = TExceptionEvent::Fn(&caught, [](void* c, TObject*, const std::exception& e) {
        static_cast<std::vector<AnsiString>*>(c)->push_back(e.what());
    });
    th.Clicks = 0;
    PostMouse(h, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    PostMouse(h, WM_LBUTTONUP, 5, 5);
    ASSERT_EQ(caught.size(), 1u);
    EXPECT_EQ(caught[0], "Boom");
    delete f;
}

TEST(Application, RunEndsWithTheMainFormAndFreesFormsLastCreatedFirst) {
    ASSERT_NE(ResForm, nullptr);
    g_log.clear();
    new TLogForm(Application, "First");
    new TLogForm(Application, "Second");
    // A tick that throws: shown through the hook, and the ticks go on until
    // the one that closes the main form.
    std::vector<AnsiString> caught;
    Application->OnException = TExceptionEvent::Fn(&caught, [](void* c, TObject*, const std::exception& e) {
        static_cast<std::vector<AnsiString>*>(c)->push_back(e.what());
    });
    ResForm->Ticks = 0;
    ResForm->OnTick = TNotifyEvent::Fn(nullptr, [](void*, TObject* s) {
        auto* f = static_cast<TResForm*>(s);
        if (f->Ticks == 2) throw Exception("tick");
        if (f->Ticks == 6) f->Close();
    });
    DWORD start = GetTickCount();
    Application->Run();
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_TRUE(Application->Terminated());
    ASSERT_EQ(caught.size(), 1u);
    EXPECT_EQ(caught[0], "tick");
    std::vector<AnsiString> expect = {"free Second", "free First"};
    EXPECT_EQ(g_log, expect);
    EXPECT_EQ(Screen->FormCount(), 0);
    EXPECT_EQ(Application->MainForm(), nullptr);
    Application->OnException = nullptr;
}

// The system draws caption buttons and check marks with the glyphs of its
// symbol font; without it they come out as plain letters.
TEST(Forms, TheSystemHasItsSymbolFontForCaptionButtons) {
    LOGFONTW want{};
    want.lfCharSet = DEFAULT_CHARSET;
    wcscpy(want.lfFaceName, L"Marlett");
    BYTE charset = 0;
    bool found = false;
    auto seen = [](const LOGFONTW* F, const TEXTMETRICW*, DWORD, LPARAM P) -> int {
        auto* out = reinterpret_cast<std::pair<bool*, BYTE*>*>(P);
        *out->first = true;
        *out->second = F->lfCharSet;
        return 0;
    };
    std::pair<bool*, BYTE*> out{&found, &charset};
    WindowDC dc(nullptr);
    EnumFontFamiliesExW(dc.Get(), &want, seen, reinterpret_cast<LPARAM>(&out), 0);
    EXPECT_TRUE(found);
    EXPECT_EQ(charset, SYMBOL_CHARSET);
}
