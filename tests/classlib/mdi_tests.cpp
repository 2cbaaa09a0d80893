// MDI forms under Wine: the client window an MDI form makes beside its
// aligned controls, children made in it (from form data and by code),
// activated by the real mouse and by Ctrl+F6 through the application's loop,
// cascaded and tiled, closed by Ctrl+F4 and by the program, and nothing left
// once they are gone; the active child's menu merged into the frame's bar.
// A child asked for without an MDI form is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "FormLoader.h"
#include "Forms.h"
#include "Guards.h"
#include "Menus.h"
#include "WinText.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "TypeInfo.h"

namespace {

using Lines = std::vector<AnsiString>;
Lines g_events;

class TMDIFrame : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TMDIFrame"; }
};

class TMDIKid : public TForm {
public:
    using TForm::TForm;
    ~TMDIKid() override { ++Freed; }
    const char* ClassName() const override { return "TMDIKid"; }
    void KidActivate(TObject*) { g_events.push_back("activate " + Caption()); }
    void KidDeactivate(TObject*) { g_events.push_back("deactivate " + Caption()); }
    static int Freed;
};
int TMDIKid::Freed = 0;

TMDIFrame* Frame = nullptr;

// A child from its form data (shown by it), at a place of the client.
TMDIKid* KidFromData(const char* Caption, int Left, int Top) {
    auto* k = new TMDIKid(nullptr);
    LoadFormFromResource(k, nullptr);
    k->SetCaption(Caption);
    k->SetLeft(Left);
    k->SetTop(Top);
    k->AfterCreation();
    return k;
}

// A child made by code.
TMDIKid* KidByCode(const char* Caption, int Left, int Top) {
    auto* k = new TMDIKid(nullptr);
    k->SetFormStyle(fsMDIChild);
    k->SetCaption(Caption);
    k->SetBounds(Left, Top, 200, 150);
    k->OnActivate = TNotifyEvent::Of<&TMDIKid::KidActivate>(k);
    k->OnDeactivate = TNotifyEvent::Of<&TMDIKid::KidDeactivate>(k);
    k->Show();
    return k;
}

// A window's rectangle in the client's coordinates.
RECT InClient(HWND Wnd) {
    RECT r;
    GetWindowRect(Wnd, &r);
    MapWindowPoints(nullptr, Frame->ClientHandle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Keys(std::initializer_list<std::pair<WORD, bool>> Strokes) {
    std::vector<INPUT> in;
    for (auto [vk, up] : Strokes) in.push_back(testwin::KeyStroke(vk, up));
    ASSERT_TRUE(testwin::SendInputs(in));
}

class MDI : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterFormClass<TMDIFrame>("TMDIFrame");
        RegisterFormClass<TMDIKid>("TMDIKid")
            .Handler<&TMDIKid::KidActivate>("KidActivate")
            .Handler<&TMDIKid::KidDeactivate>("KidDeactivate");
        Application->CreateForm(Frame);
        Frame->Show();
        PumpUntil([] { return IsWindowVisible(Frame->Handle()) != 0; });
    }
    void SetUp() override {
        SetForegroundWindow(Frame->Handle());
        g_events.clear();
        A = KidFromData("A", 0, 0);
        B = KidFromData("B", 220, 20);
        C = KidByCode("C", 380, 60);
        Pump(50);
    }
    void TearDown() override {
        while (Frame->MDIChildCount() > 0) delete Frame->MDIChildren(0);
        Pump(20);
    }
    TMDIKid *A = nullptr, *B = nullptr, *C = nullptr;
};

}  // namespace

TEST(MDIChildren, AreRefusedWithoutAnMDIForm) {
    TForm f(nullptr);
    f.SetFormStyle(fsMDIChild);
    EXPECT_THROW(f.Show(), EComponentError);
    EXPECT_FALSE(f.HandleAllocated());
}

// The client window lies under the aligned bar and fills the rest, also
// when the form is resized.
TEST_F(MDI, ClientWindowTakesWhatTheAlignedControlsLeave) {
    HWND client = Frame->ClientHandle();
    ASSERT_NE(client, nullptr);
    wchar_t cls[32] = {};
    GetClassNameW(client, cls, 32);
    EXPECT_EQ(std::wstring(cls), L"MDIClient");
    EXPECT_EQ(GetParent(client), Frame->Handle());
    for (int height : {400, 300, 400}) {
        Frame->SetClientHeight(height);
        Pump(20);
        RECT r;
        GetWindowRect(client, &r);
        MapWindowPoints(nullptr, Frame->Handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 30);
        EXPECT_EQ(r.right, 600);
        EXPECT_EQ(r.bottom, height);
    }
}

// Children live in the client, each shown one the active one; a click into
// another activates it, Ctrl+F6 moves on to the next.
TEST_F(MDI, ChildrenAreActivatedByTheMouseAndByCtrlF6) {
    for (TForm* k : {static_cast<TForm*>(A), static_cast<TForm*>(B), static_cast<TForm*>(C)}) {
        EXPECT_EQ(GetParent(k->Handle()), Frame->ClientHandle()) << k->Caption();
        EXPECT_TRUE(GetWindowLongW(k->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD) << k->Caption();
    }
    EXPECT_EQ(Frame->MDIChildCount(), 3);
    EXPECT_EQ(Frame->ActiveMDIChild(), C);
    EXPECT_EQ(Frame->MDIChildren(0), C);
    EXPECT_EQ(g_events, (Lines{"activate A", "deactivate A", "activate B", "deactivate B", "activate C"}));

    g_events.clear();
    TPoint p = A->ClientToScreen(Point(20, 20));
    testwin::LeftClickAt(HandleMessages, POINT{p.X, p.Y});
    EXPECT_EQ(Frame->ActiveMDIChild(), A);
    EXPECT_EQ(Frame->MDIChildren(0), A) << "the active child is on top";
    EXPECT_EQ(g_events, (Lines{"deactivate C", "activate A"}));

    Keys({{VK_CONTROL, false}, {VK_F6, false}, {VK_F6, true}, {VK_CONTROL, true}});
    EXPECT_TRUE(PumpUntil([&] { return Frame->ActiveMDIChild() != A; })) << "Ctrl+F6 activates the next child";
    EXPECT_NE(Frame->ActiveMDIChild(), nullptr);
}

// Cascading steps the children down and right alike; tiling lays them side
// by side (vertical) or one above the other (horizontal) over the client.
TEST_F(MDI, CascadeAndTileArrangeTheChildren) {
    RECT client;
    GetClientRect(Frame->ClientHandle(), &client);
    struct Case {
        const char* Name;
        std::function<void()> Arrange;
        bool Tiled, FullWidth;
    } cases[] = {
        {"cascade", [] { Frame->Cascade(); }, false, false},
        {"tile horizontal", [] { Frame->SetTileMode(tbHorizontal); Frame->Tile(); }, true, true},
        {"tile vertical", [] { Frame->SetTileMode(tbVertical); Frame->Tile(); }, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Arrange();
        Pump(30);
        std::vector<RECT> r;
        for (int i = 0; i < Frame->MDIChildCount(); ++i) r.push_back(InClient(Frame->MDIChildren(i)->Handle()));
        ASSERT_EQ(r.size(), 3u);
        std::sort(r.begin(), r.end(), [](const RECT& a, const RECT& b) { return a.left + a.top < b.left + b.top; });
        if (!c.Tiled) {
            const int dx = r[1].left - r[0].left, dy = r[1].top - r[0].top;
            EXPECT_GT(dx, 0);
            EXPECT_GT(dy, 0);
            EXPECT_EQ(r[2].left - r[1].left, dx);
            EXPECT_EQ(r[2].top - r[1].top, dy);
            continue;
        }
        long area = 0;
        for (size_t i = 0; i < r.size(); ++i) {
            area += (r[i].right - r[i].left) * (r[i].bottom - r[i].top);
            for (size_t j = i + 1; j < r.size(); ++j) {
                RECT x;
                EXPECT_FALSE(IntersectRect(&x, &r[i], &r[j])) << i << " and " << j << " overlap";
            }
            if (c.FullWidth)
                EXPECT_EQ(r[i].right - r[i].left, client.right);
            else
                EXPECT_EQ(r[i].bottom - r[i].top, client.bottom);
        }
        EXPECT_GT(area, client.right * client.bottom * 95 / 100) << "the children cover the client";
    }
}

// Ctrl+F4 closes the active child, which is freed and its window gone, the
// next one active; the program closes the rest the same way; made and closed
// again and again, they leave no objects behind.
TEST_F(MDI, ClosedChildrenAreFreedAndLeaveNothingBehind) {
    const int freed = TMDIKid::Freed;
    TForm* active = Frame->ActiveMDIChild();
    ASSERT_EQ(active, C);
    HWND h = active->Handle();
    Keys({{VK_CONTROL, false}, {VK_F4, false}, {VK_F4, true}, {VK_CONTROL, true}});
    ASSERT_TRUE(PumpUntil([&] { return TMDIKid::Freed == freed + 1; })) << "Ctrl+F4 frees the child";
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(Frame->MDIChildCount(), 2);
    EXPECT_TRUE(Frame->ActiveMDIChild() == A || Frame->ActiveMDIChild() == B);
    auto closeAll = [] {
        while (Frame->MDIChildCount() > 0) {
            const int n = Frame->MDIChildCount();
            Frame->MDIChildren(0)->Close();
            PumpUntil([&] { return Frame->MDIChildCount() < n; });
        }
    };
    closeAll();
    EXPECT_EQ(TMDIKid::Freed, freed + 3);
    EXPECT_EQ(Frame->ActiveMDIChild(), nullptr);

    const testwin::GuiObjects before = testwin::CountGuiObjects();
    for (int i = 0; i < 10; ++i) {
        KidFromData("x", 0, 0);
        KidByCode("y", 50, 50);
        Pump(10);
        closeAll();
    }
    const testwin::GuiObjects after = testwin::CountGuiObjects();
    EXPECT_EQ(after.Gdi, before.Gdi);
    EXPECT_EQ(after.User, before.User);
}

// ---------------------------------------------------------------- menu merging

namespace {

// The captions of the class library's entries on a bar (the system's own
// for a maximised child carry no command of ours), in their order.
Lines BarCaptions(HMENU Bar) {
    Lines out;
    for (int pos = 0; pos < GetMenuItemCount(Bar); ++pos) {
        wchar_t text[64] = {};
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID | MIIM_DATA | MIIM_STRING;
        mi.dwTypeData = text;
        mi.cch = 64;
        if (GetMenuItemInfoW(Bar, UINT(pos), TRUE, &mi) && mi.dwItemData && mi.dwItemData == mi.wID)
            out.push_back(FromWide(text));
    }
    return out;
}

struct Entry {
    const char* Caption;
    int Group;
};

// A main menu of top-level items owned by Owner; each click is logged.
TMainMenu* MenuOf(TComponent* Owner, std::initializer_list<Entry> Items) {
    auto* menu = new TMainMenu(Owner);
    for (const Entry& e : Items) {
        auto* item = new TMenuItem(Owner);
        item->SetCaption(e.Caption);
        item->SetGroupIndex(e.Group);
        item->OnClick = TNotifyEvent::Fn(nullptr, [](void*, TObject* S) {
            g_events.push_back("click " + static_cast<TMenuItem*>(S)->Caption());
        });
        menu->Items()->Add(item);
    }
    return menu;
}

}  // namespace

// An active child's menu joins the frame's bar by group index: its items
// take the place of the frame's items of their group and go between the
// others by group index; a child without a menu activated by the real mouse
// gives the frame its own bar back, as does the merged child when it goes.
// A real click on a merged entry of the bar runs the child's handler.
TEST_F(MDI, TheActiveChildsMenuJoinsTheFramesBarByGroupIndex) {
    TMainMenu* frameMenu = MenuOf(Frame, {{"File", 0}, {"Edit", 1}, {"Window", 5}, {"Help", 9}});
    Frame->SetMenu(frameMenu);
    ScopeExit noMenu([&] {
        Frame->SetMenu(nullptr);
        delete frameMenu;
    });
    HMENU bar = GetMenu(Frame->Handle());
    ASSERT_EQ(bar, frameMenu->Handle());
    const Lines own{"File", "Edit", "Window", "Help"};
    const struct {
        std::initializer_list<Entry> Child;
        Lines Bar;
    } cases[] = {
        {{{"Change", 1}}, {"File", "Change", "Window", "Help"}},
        {{{"Draw", 2}, {"Paint", 3}}, {"File", "Edit", "Draw", "Paint", "Window", "Help"}},
        {{{"Open", 0}, {"About", 9}}, {"Open", "Edit", "Window", "About"}},
        {{{"Tools", 7}, {"Extra", 12}}, {"File", "Edit", "Window", "Tools", "Help", "Extra"}},
        {{{"Cut", 1}, {"Copy", 1}, {"Go", 4}}, {"File", "Cut", "Copy", "Go", "Window", "Help"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Bar.front() + " ... " + c.Bar.back());
        TMDIKid* kid = KidByCode("menu", 40, 40);
        kid->SetMenu(MenuOf(kid, c.Child));
        Pump(30);
        EXPECT_EQ(Frame->ActiveMDIChild(), kid);
        EXPECT_EQ(BarCaptions(bar), c.Bar);
        EXPECT_EQ(frameMenu->MergedMenu(), kid->Menu());
        // Another child, without a menu, activated by a real click.
        const TPoint p = A->ClientToScreen(Point(10, 10));
        testwin::LeftClickAt(HandleMessages, POINT{p.X, p.Y});
        EXPECT_EQ(Frame->ActiveMDIChild(), A);
        EXPECT_EQ(BarCaptions(bar), own) << "unmerged on deactivation";
        kid->BringToFront();
        Pump(30);
        EXPECT_EQ(BarCaptions(bar), c.Bar) << "merged again";
        delete kid;
        Pump(30);
        EXPECT_EQ(BarCaptions(bar), own) << "unmerged when the child goes";
        EXPECT_EQ(frameMenu->MergedMenu(), nullptr);
    }

    // A child's entry and the frame's, clicked with the real mouse on the bar.
    TMDIKid* kid = KidByCode("menu", 40, 40);
    kid->SetMenu(MenuOf(kid, {{"Draw", 2}}));
    Pump(30);
    auto clickEntry = [&](const char* Caption) {
        const Lines shown = BarCaptions(bar);
        const int index = int(std::find(shown.begin(), shown.end(), Caption) - shown.begin());
        int pos = 0;
        for (int seen = -1; pos < GetMenuItemCount(bar); ++pos) {
            MENUITEMINFOW mi{};
            mi.cbSize = sizeof mi;
            mi.fMask = MIIM_ID | MIIM_DATA;
            GetMenuItemInfoW(bar, UINT(pos), TRUE, &mi);
            if (mi.dwItemData && mi.dwItemData == mi.wID && ++seen == index) break;
        }
        RECT r{};
        ASSERT_TRUE(GetMenuItemRect(Frame->Handle(), bar, UINT(pos), &r));
        testwin::LeftClickAt(HandleMessages, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        Pump(100);
    };
    g_events.clear();
    clickEntry("Draw");
    clickEntry("Edit");
    EXPECT_EQ(g_events, (Lines{"click Draw", "click Edit"}));

    // Merged anew while the child is maximised: the system's entries for it
    // (its window menu before the items, its buttons after) keep their places.
    kid->SetWindowState(wsMaximized);
    Pump(50);
    auto systemFirst = [&] {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_DATA | MIIM_SUBMENU;
        return GetMenuItemInfoW(bar, 0, TRUE, &mi) && mi.dwItemData == 0 && mi.hSubMenu != nullptr;
    };
    ASSERT_TRUE(systemFirst());
    const int entries = GetMenuItemCount(bar);
    kid->SetMenu(MenuOf(kid, {{"Paint", 3}, {"Tools", 7}}));
    Pump(50);
    EXPECT_TRUE(systemFirst());
    EXPECT_EQ(GetMenuItemCount(bar), entries + 1);
    EXPECT_EQ(BarCaptions(bar), (Lines{"File", "Edit", "Paint", "Window", "Tools", "Help"}));
}
