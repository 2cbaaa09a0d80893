// MDI forms under Wine: the client window an MDI form makes beside its
// aligned controls, children made in it (from form data and by code),
// activated by the real mouse and by Ctrl+F6 through the application's loop,
// cascaded and tiled, closed by Ctrl+F4 and by the program, and nothing left
// once they are gone. A child asked for without an MDI form is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "FormLoader.h"
#include "Forms.h"
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
