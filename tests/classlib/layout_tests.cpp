// Layout of the class library's forms under Wine with real input: a
// scrolling form moving its children by its own bars and the wheel, size
// constraints held against the system's frame drag and SetBounds, anchored
// children following their parent, pop-up menus on a right click and the
// context-menu key, and an edit's character case on typed keys.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "ExtControls.h"
#include "Forms.h"
#include "Graphics.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "TestSupport.h"

namespace {

// The shared driver: one form on screen, real mouse and keys at its points.
struct Layout : ::testing::Test {
    TForm* Form = nullptr;
    void SetUp() override {
        Form = new TForm(Application);
        Form->SetBounds(80, 80, 300, 240);
    }
    void Show() {
        Form->Show();
        SetForegroundWindow(Form->Handle());
        PumpUntil([this] { return GetForegroundWindow() == Form->Handle(); }, 2000);
        Pump(50);
    }
    void TearDown() override {
        delete Form;
        testwin::MouseAt(1000, 700);
        Pump(20);
    }
    HWND H() { return Form->Handle(); }
    template <class T>
    T* Add(TWinControl* Parent, int L, int T_, int W, int Hh, TColor C = clNone) {
        T* c = new T(Form);
        c->SetBounds(L, T_, W, Hh);
        if (C != clNone) c->SetColor(C);
        c->SetParent(Parent);
        return c;
    }
    // Press and release in one go: a press on a scroll bar runs the system's
    // tracking loop until the release comes.
    void Click(POINT Screen, DWORD Down = MOUSEEVENTF_LEFTDOWN, DWORD Up = MOUSEEVENTF_LEFTUP) {
        testwin::MouseAt(Screen.x, Screen.y);
        Pump(20);
        ASSERT_TRUE(testwin::SendInputs({testwin::MouseButton(Down), testwin::MouseButton(Up)}));
        Pump(80);
    }
    void Keys(std::vector<WORD> Vks) {
        std::vector<INPUT> in;
        for (WORD vk : Vks) in.push_back(testwin::KeyStroke(vk, false));
        for (auto it = Vks.rbegin(); it != Vks.rend(); ++it) in.push_back(testwin::KeyStroke(*it, true));
        ASSERT_TRUE(testwin::SendInputs(in));
        Pump(80);
    }
    // Drags the real mouse with the left button from A to B in Steps moves.
    void Drag(POINT A, POINT B, int Steps = 6) {
        testwin::MouseAt(A.x, A.y);
        Pump(30);
        testwin::MouseAt(A.x, A.y, MOUSEEVENTF_LEFTDOWN);
        Pump(50);
        for (int i = 1; i <= Steps; ++i) {
            testwin::MouseAt(A.x + (B.x - A.x) * i / Steps, A.y + (B.y - A.y) * i / Steps);
            Pump(30);
        }
        testwin::MouseAt(B.x, B.y, MOUSEEVENTF_LEFTUP);
        Pump(150);
    }
    RECT WindowRect() {
        RECT r{};
        GetWindowRect(H(), &r);
        return r;
    }
};

SCROLLBARINFO BarInfo(HWND H, LONG Which) {
    SCROLLBARINFO i{};
    i.cbSize = sizeof i;
    GetScrollBarInfo(H, Which, &i);
    return i;
}

bool BarShown(HWND H, LONG Which) {
    return (BarInfo(H, Which).rgstate[0] & STATE_SYSTEM_INVISIBLE) == 0 &&
           (GetWindowLongW(H, GWL_STYLE) & (Which == OBJID_VSCROLL ? WS_VSCROLL : WS_HSCROLL));
}

}  // namespace

// ---------------------------------------------------------------- scrolling

TEST_F(Layout, AutoScrollFormScrollsItsChildrenWithItsBarsAndTheWheel) {
    Form->SetClientWidth(240);
    Form->SetClientHeight(160);
    auto* low = Add<TPanel>(Form, 20, 400, 60, 40, clRed);  // below the client area
    low->SetBevelOuter(bvNone);
    auto* shape = Add<TShape>(Form, 10, 10, 30, 30);
    shape->Brush()->SetColor(clBlue);
    Show();
    ASSERT_TRUE(Form->AutoScroll());
    EXPECT_TRUE(BarShown(H(), OBJID_VSCROLL));
    EXPECT_FALSE(BarShown(H(), OBJID_HSCROLL)) << "everything fits across";
    EXPECT_EQ(Form->VertScrollBar()->Range(), 440);
    const int page = Form->ClientHeight();

    const SCROLLBARINFO v = BarInfo(H(), OBJID_VSCROLL);
    const RECT bar = v.rcScrollBar;
    // The arrow's height from the metrics: the bar information's own is not reliable here.
    const int cx = (bar.left + bar.right) / 2, arrow = GetSystemMetrics(SM_CYVSCROLL);
    const struct {
        const char* what;
        POINT at;
        int want;  // position afterwards
    } clicks[] = {
        {"down arrow", {cx, bar.bottom - arrow / 2}, 8},
        {"down arrow again", {cx, bar.bottom - arrow / 2}, 16},
        {"trough below the thumb", {cx, bar.bottom - arrow - 3}, 16 + page},
        {"up arrow", {cx, bar.top + arrow / 2}, 8 + page},
    };
    for (const auto& c : clicks) {
        Click(c.at);
        EXPECT_EQ(Form->VertScrollBar()->Position(), c.want) << c.what;
        EXPECT_EQ(GetScrollPos(H(), SB_VERT), c.want) << c.what;
        EXPECT_EQ(low->Top(), 400 - c.want) << c.what;
        EXPECT_EQ(shape->Top(), 10 - c.want) << c.what;
    }
    // The wheel, turned towards the user over the form: three lines further.
    const int before = Form->VertScrollBar()->Position();
    RECT w = WindowRect();
    testwin::MouseAt((w.left + w.right) / 2, (w.top + w.bottom) / 2);
    INPUT wheel{};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = DWORD(-WHEEL_DELTA);
    ASSERT_TRUE(testwin::SendInputs({wheel}));
    EXPECT_TRUE(PumpUntil([&] { return Form->VertScrollBar()->Position() != before; }, 1000));
    EXPECT_EQ(Form->VertScrollBar()->Position(), before + 24);
    // To the end: the panel's colour shows on screen at the client's bottom.
    SendMessageW(H(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Form->VertScrollBar()->Position(), 440 - page);
    EXPECT_EQ(low->Top(), page - 40);
    Pixels px = Grab(H());
    EXPECT_EQ(px.ColorAt(50, page - 20), clRed);
    // The child comes back into the client area: the bar goes, the area scrolls home.
    low->SetTop(low->Top() - 300);
    EXPECT_FALSE(BarShown(H(), OBJID_VSCROLL));
    EXPECT_EQ(Form->VertScrollBar()->Position(), 0);
    EXPECT_EQ(shape->Top(), 10);
}

TEST_F(Layout, WithoutAutoScrollOnlyAnOwnRangeShowsABar) {
    Form->SetClientWidth(200);
    Form->SetClientHeight(120);
    Add<TPanel>(Form, 300, 20, 60, 40);
    Form->SetAutoScroll(false);
    Show();
    EXPECT_FALSE(BarShown(H(), OBJID_HSCROLL));
    Form->HorzScrollBar()->SetRange(500);
    EXPECT_TRUE(BarShown(H(), OBJID_HSCROLL));
    EXPECT_FALSE(Form->AutoScroll());
    Form->HorzScrollBar()->SetPosition(1000);
    EXPECT_EQ(Form->HorzScrollBar()->Position(), 500 - Form->ClientWidth()) << "no scrolling past the range";
    Form->HorzScrollBar()->SetVisible(false);
    EXPECT_FALSE(BarShown(H(), OBJID_HSCROLL));
    EXPECT_EQ(Form->HorzScrollBar()->Position(), 0);
}
