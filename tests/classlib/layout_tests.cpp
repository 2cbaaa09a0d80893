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

// ---------------------------------------------------------------- constraints

namespace {

// OnCanResize refuses widths above a limit; OnConstrainedResize may lift the
// minimum width.
struct SizeRules {
    int RefuseAbove = 0;
    int LiftMinTo = 0;
    int Asked = 0;
    void CanResize(TObject*, int& W, int&, bool& Resize) {
        ++Asked;
        if (RefuseAbove && W > RefuseAbove) Resize = false;
    }
    void Constrained(TObject*, int& MinW, int&, int&, int&) {
        if (LiftMinTo) MinW = LiftMinTo;
    }
};

}  // namespace

// The system asks the form for its track sizes whenever it sizes a
// top-level window itself: a move from outside the class library, and
// maximizing.
TEST_F(Layout, ConstraintsHoldTheSizeAgainstSetBoundsAndTheSystemsSizing) {
    enum How { SetSize, SystemSize, Maximize };
    const struct {
        const char* what;
        int minW, minH, maxW, maxH;
        How how;
        int to;  // the width and height asked for
        int wantW, wantH;
    } cases[] = {
        {"set above the maxima", 250, 200, 400, 300, SetSize, 900, 400, 300},
        {"set below the minima", 250, 200, 400, 300, SetSize, 50, 250, 200},
        {"sized by the system above the maxima", 250, 200, 400, 300, SystemSize, 900, 400, 300},
        {"sized by the system below the minima", 250, 200, 400, 300, SystemSize, 50, 250, 200},
        {"maximized: no larger than the maxima", 0, 0, 420, 330, Maximize, 0, 420, 330},
        {"minimum above the maximum, set: the maximum wins", 500, 0, 350, 0, SetSize, 100, 350, 100},
        {"minimum above the maximum, by the system: the maximum wins", 500, 0, 350, 0, SystemSize, 100, 350, 160},
    };
    Show();
    TSizeConstraints* k = Form->Constraints();
    for (const auto& c : cases) {
        k->SetMinWidth(0);
        k->SetMinHeight(0);
        k->SetMaxWidth(0);
        k->SetMaxHeight(0);
        Form->SetBounds(80, 80, 300, 240);
        k->SetMinWidth(c.minW);
        k->SetMinHeight(c.minH);
        k->SetMaxWidth(c.maxW);
        k->SetMaxHeight(c.maxH);
        if (c.how == SetSize)
            Form->SetBounds(80, 80, c.to, c.to);
        else if (c.how == SystemSize)
            SetWindowPos(H(), nullptr, 0, 0, c.to, c.to == 100 ? 160 : c.to, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        else
            ShowWindow(H(), SW_MAXIMIZE);
        RECT a{};
        PumpUntil([&] {
            a = WindowRect();
            return a.right - a.left == c.wantW && a.bottom - a.top == c.wantH;
        }, 1500);
        EXPECT_EQ(a.right - a.left, c.wantW) << c.what;
        EXPECT_EQ(a.bottom - a.top, c.wantH) << c.what;
        EXPECT_EQ(Form->Width(), c.wantW) << c.what;
        EXPECT_EQ(Form->Height(), c.wantH) << c.what;
        if (c.how == Maximize) {
            ShowWindow(H(), SW_RESTORE);
            PumpUntil([&] { return !IsZoomed(H()); }, 1500);
        }
    }
}

TEST_F(Layout, CanResizeRefusesAndConstrainedResizeChangesTheLimits) {
    SizeRules rules;
    auto* panel = Add<TPanel>(Form, 10, 10, 100, 50);
    panel->OnCanResize = TCanResizeEvent::Of<&SizeRules::CanResize>(&rules);
    panel->OnConstrainedResize = TConstrainedResizeEvent::Of<&SizeRules::Constrained>(&rules);
    Show();
    rules.RefuseAbove = 150;
    panel->SetBounds(20, 20, 160, 50);
    EXPECT_EQ(panel->BoundsRect(), Rect(10, 10, 110, 60)) << "refused: the bounds stay";
    EXPECT_GT(rules.Asked, 0);
    panel->SetWidth(140);
    EXPECT_EQ(panel->Width(), 140);
    rules.LiftMinTo = 120;
    panel->SetWidth(30);
    EXPECT_EQ(panel->Width(), 120) << "the handler's minimum";
    RECT r{};
    GetWindowRect(panel->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 120);
}

TEST_F(Layout, BorderWidthInsetsTheClientAreaInTheFormsColour) {
    Form->SetColor(clYellow);
    Form->SetClientWidth(200);
    Form->SetClientHeight(100);
    Form->SetBorderWidth(6);
    Show();
    RECT c{};
    GetClientRect(H(), &c);
    EXPECT_EQ(c.right, 200);
    EXPECT_EQ(c.bottom, 100);
    Form->SetBorderWidth(10);
    GetClientRect(H(), &c);
    EXPECT_EQ(c.right, 192) << "the window keeps its size, the client area gives way";
    EXPECT_EQ(c.bottom, 92);
    Pump(50);
    POINT o{0, 0};
    ClientToScreen(H(), &o);
    const RECT w = WindowRect();
    const testwin::Pixels band = testwin::CopyFromWindow(H(), RECT{0, 0, w.right - w.left, w.bottom - w.top}, true);
    const int x = o.x - w.left, y = o.y - w.top;
    for (int d : {1, 5, 10})
        EXPECT_EQ(TColor(testwin::SwapRedBlue(band.At(x - d, y + 20))), clYellow) << "left band, " << d << " out";
    EXPECT_EQ(TColor(testwin::SwapRedBlue(band.At(x + 20, y - 10))), clYellow) << "top band";
}

// ---------------------------------------------------------------- anchors

TEST_F(Layout, AnchoredChildrenFollowTheirParentsResize) {
    const TAnchors L = AnchorBit(akLeft), T = AnchorBit(akTop), R = AnchorBit(akRight), B = AnchorBit(akBottom);
    const struct {
        const char* what;
        TAnchors anchors;
        TRect want;  // after the client area grew by 60 x 40
    } cases[] = {
        {"left and top: stays", L | T, Rect(20, 20, 70, 50)},
        {"right: moves along", T | R, Rect(80, 20, 130, 50)},
        {"left and right: stretches", L | T | R, Rect(20, 20, 130, 50)},
        {"bottom: moves down", L | B, Rect(20, 60, 70, 90)},
        {"all four: grows both ways", L | T | R | B, Rect(20, 20, 130, 90)},
        {"none: keeps its place in proportion", 0, Rect(50, 40, 100, 70)},
    };
    Form->SetClientWidth(200);
    Form->SetClientHeight(120);
    std::vector<TControl*> kids;
    for (const auto& c : cases) {
        // Windowed and windowless alike.
        TControl* k = kids.size() % 2 ? static_cast<TControl*>(Add<TShape>(Form, 20, 20, 50, 30))
                                      : Add<TPanel>(Form, 20, 20, 50, 30);
        k->SetAnchors(c.anchors);
        kids.push_back(k);
    }
    Show();
    Form->SetAutoScroll(false);
    // Sized by the system, as its frame would size it.
    const RECT w = WindowRect();
    SetWindowPos(H(), nullptr, 0, 0, w.right - w.left + 60, w.bottom - w.top + 40, SWP_NOMOVE | SWP_NOZORDER);
    Pump(50);
    ASSERT_EQ(Form->ClientWidth(), 260);
    ASSERT_EQ(Form->ClientHeight(), 160);
    for (size_t i = 0; i < kids.size(); ++i) {
        EXPECT_EQ(kids[i]->BoundsRect(), cases[i].want) << cases[i].what;
        if (auto* wc = dynamic_cast<TWinControl*>(kids[i])) {
            RECT r{};
            GetWindowRect(wc->Handle(), &r);
            MapWindowPoints(nullptr, H(), reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(Rect(r.left, r.top, r.right, r.bottom), cases[i].want) << cases[i].what << ": its window";
        }
    }
    // And back: where they were.
    Form->SetBounds(Form->Left(), Form->Top(), Form->Width() - 60, Form->Height() - 40);
    for (size_t i = 0; i < kids.size(); ++i) EXPECT_EQ(kids[i]->BoundsRect(), Rect(20, 20, 70, 50)) << cases[i].what;
}

// ---------------------------------------------------------------- pop-up menus

namespace {

struct PopupLog {
    std::vector<AnsiString> Lines;
    bool Handle = false;
    void Context(TObject* Sender, TPoint At, bool& Handled) {
        Lines.push_back("context " + static_cast<TComponent*>(Sender)->Name() + " " + IntToStr(At.X) + "," +
                        IntToStr(At.Y));
        Handled = Handle;
    }
    void Popup(TObject* Sender) {
        auto* m = static_cast<TPopupMenu*>(Sender);
        Lines.push_back("popup " + m->Name() + " for " + (m->PopupComponent() ? m->PopupComponent()->Name() : "?"));
        // The menu's own loop runs next: a timer of that loop closes it.
        SetTimer(nullptr, 0, 60, [](HWND, UINT, UINT_PTR Id, DWORD) {
            KillTimer(nullptr, Id);
            EndMenu();
        });
    }
};

}  // namespace

TEST_F(Layout, ARightClickOrTheContextMenuKeyOpensTheControlsPopupMenu) {
    PopupLog log;
    auto menu = [&](const char* Name) {
        auto* m = new TPopupMenu(Form);
        m->SetName(Name);
        auto* item = new TMenuItem(m);
        item->SetCaption("Item");
        m->Items()->Add(item);
        m->OnPopup = TNotifyEvent::Of<&PopupLog::Popup>(&log);
        return m;
    };
    Form->SetName("Host");
    Form->SetPopupMenu(menu("FormMenu"));
    auto* shape = Add<TShape>(Form, 10, 10, 40, 40);
    shape->SetName("Shape");
    shape->SetPopupMenu(menu("ShapeMenu"));
    auto* plain = Add<TPanel>(Form, 60, 10, 40, 40);
    plain->SetName("Plain");
    auto* edit = Add<TEdit>(Form, 10, 70, 100, 24);
    edit->SetName("Edit");
    edit->SetPopupMenu(menu("EditMenu"));
    for (TControl* c : std::initializer_list<TControl*>{Form, shape, plain, edit})
        c->OnContextPopup = TContextPopupEvent::Of<&PopupLog::Context>(&log);
    Show();
    auto at = [this](int X, int Y) {
        POINT p{X, Y};
        ClientToScreen(H(), &p);
        return p;
    };
    enum How { RightClick, AppsKey };
    const struct {
        const char* what;
        How how;
        POINT client;
        bool handle;
        std::vector<AnsiString> want;
    } cases[] = {
        {"windowless child with a menu", RightClick, {20, 30}, false, {"context Shape 10,20", "popup ShapeMenu for Shape"}},
        {"handled by OnContextPopup: no menu", RightClick, {20, 30}, true, {"context Shape 10,20"}},
        {"windowed child without one: its parent's", RightClick, {70, 20}, false,
         {"context Plain 10,10", "context Host 70,20", "popup FormMenu for Host"}},
        {"the context-menu key on the focused edit", AppsKey, {0, 0}, false, {"context Edit -1,-1", "popup EditMenu for Edit"}},
    };
    for (const auto& c : cases) {
        log.Lines.clear();
        log.Handle = c.handle;
        if (c.how == RightClick) {
            Click(at(c.client.x, c.client.y), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        } else {
            edit->SetFocus();
            Pump(30);
            Keys({VK_APPS});
        }
        PumpUntil([&] { return log.Lines.size() >= c.want.size(); }, 1500);
        Pump(150);
        EXPECT_EQ(log.Lines, c.want) << c.what;
    }
}

// ---------------------------------------------------------------- edits

TEST_F(Layout, AnEditsCharCaseTurnsTypedLettersAndDoubleBufferingPaintsTheSame) {
    const struct {
        TEditCharCase charCase;
        const char* want;
    } cases[] = {{ecNormal, "AbC"}, {ecUpperCase, "ABC"}, {ecLowerCase, "abc"}};
    auto* edit = Add<TEdit>(Form, 10, 10, 150, 24);
    Show();
    for (const auto& c : cases) {
        edit->SetCharCase(c.charCase);
        edit->SetText("");
        edit->SetFocus();
        Pump(30);
        Keys({VK_SHIFT, 'A'});
        Keys({'B'});
        Keys({VK_SHIFT, 'C'});
        EXPECT_EQ(edit->Text(), c.want) << c.charCase;
    }
    const Pixels plain = Grab(edit->Handle());
    edit->SetDoubleBuffered(true);
    InvalidateRect(edit->Handle(), nullptr, TRUE);
    const Pixels buffered = Grab(edit->Handle());
    EXPECT_EQ(buffered.Data, plain.Data) << "the same picture through the bitmap";
    int dark = 0;
    for (uint32_t px : buffered.Data) dark += testwin::Red(px) < 80 && testwin::Green(px) < 80 && testwin::Blue(px) < 80;
    EXPECT_GT(dark, 5) << "the text is there";
}
