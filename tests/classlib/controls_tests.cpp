// Controls under Wine: painting order of windowless controls (read back as
// pixels), hit-testing and routing of real mouse messages, capture, mouse
// enter and leave, drag and drop, focus and tab order, colour answers to
// edit windows, the swappable window procedure (its message sequence logged),
// re-parenting and alignment.
#include <gtest/gtest.h>

#include <windowsx.h>

#include <memory>

#include "ExtControls.h"
#include "Forms.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "MessageLog.h"
#include "TestSupport.h"

namespace {

std::vector<AnsiString> g_events;

// Windowless control that paints one colour and logs what reaches it.
class TProbe : public TGraphicControl {
public:
    explicit TProbe(TComponent* Owner) : TGraphicControl(Owner) {}
    const char* ClassName() const override { return "TProbe"; }
    TColor Fill = clNone;
    bool HitLeftHalfOnly = false;

protected:
    void Paint() override {
        if (Fill == clNone) return;
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(ClientRect());
    }
    void CMHitTest(TMessage& m) override { m.Result = !HitLeftHalfOnly || GET_X_LPARAM(m.LParam) < Width() / 2; }
    void CMMouseEnter(TMessage& m) override { g_events.push_back("enter " + Name()); }
    void CMMouseLeave(TMessage& m) override { g_events.push_back("leave " + Name()); }
    void MouseDown(TMouseButton B, TShiftState S, int X, int Y) override {
        g_events.push_back("down " + Name() + " " + IntToStr(B) + " " + IntToStr(X) + "," + IntToStr(Y));
        TGraphicControl::MouseDown(B, S, X, Y);
    }
    void MouseMove(TShiftState S, int X, int Y) override {
        g_events.push_back("move " + Name() + " " + IntToStr(X) + "," + IntToStr(Y));
        TGraphicControl::MouseMove(S, X, Y);
    }
    void MouseUp(TMouseButton B, TShiftState S, int X, int Y) override {
        g_events.push_back("up " + Name() + " " + IntToStr(X) + "," + IntToStr(Y));
        TGraphicControl::MouseUp(B, S, X, Y);
    }
    void Click() override {
        g_events.push_back("click " + Name());
        TGraphicControl::Click();
    }
};

// Windowed control painting its colour.
class TBox : public TCustomControl {
public:
    explicit TBox(TComponent* Owner) : TCustomControl(Owner) {}
    const char* ClassName() const override { return "TBox"; }
};

// A single-line edit window of the system, taken over.
class TTestEdit : public TWinControl {
public:
    explicit TTestEdit(TComponent* Owner) : TWinControl(Owner) {
        SetTabStop(true);
        FColor = clWindow;
    }
    const char* ClassName() const override { return "TTestEdit"; }

protected:
    void CreateParams(TCreateParams& P) override {
        TWinControl::CreateParams(P);
        P.WinClassName = L"EDIT";
        P.SystemClass = true;
        P.Style |= ES_AUTOHSCROLL;
    }
};

std::unique_ptr<TForm> NewShownForm(int w, int h, TColor color = clWhite) {
    auto f = std::make_unique<TForm>(nullptr);
    f->SetBorderStyle(bsSingle);
    f->SetPosition(poScreenCenter);
    f->SetClientWidth(w);
    f->SetClientHeight(h);
    f->SetColor(color);
    return f;
}

void ShowAndSettle(TForm* f) {
    f->Show();
    PumpUntil([&] { return IsWindowVisible(f->Handle()) != 0; });
    SetForegroundWindow(f->Handle());
    Pump(100);
}

template <class T>
T* Place(TWinControl* parent, const char* name, int l, int t, int w, int h) {
    T* c = new T(parent->Owner() ? parent->Owner() : parent);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}

}  // namespace

TEST(Painting, WindowlessControlsPaintInZOrderOverTheirParent) {
    auto form = NewShownForm(200, 120);
    auto* image = Place<TImage>(form.get(), "Image1", 0, 0, 100, 100);
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(100, 100);
    bmp.Canvas()->Brush()->SetColor(clBlue);
    bmp.Canvas()->FillRect(Rect(0, 0, 100, 100));
    image->Picture()->SetGraphic(&bmp);
    // Clear brush and clear pen: a click catcher that shows nothing.
    auto* shape = Place<TShape>(form.get(), "Shape1", 20, 20, 60, 60);
    shape->Brush()->SetStyle(bsClear);
    shape->Pen()->SetStyle(psClear);
    auto* green = Place<TProbe>(form.get(), "Green", 80, 0, 40, 40);
    green->Fill = clLime;
    auto* clearLabel = Place<TLabel>(form.get(), "Label1", 5, 85, 60, 10);
    clearLabel->SetAutoSize(false);
    clearLabel->SetTransparent(true);
    clearLabel->SetCaption("    ");
    auto* opaqueLabel = Place<TLabel>(form.get(), "Label2", 70, 85, 25, 10);
    opaqueLabel->SetAutoSize(false);
    opaqueLabel->SetColor(clRed);
    opaqueLabel->SetCaption(" ");
    auto* textLabel = Place<TLabel>(form.get(), "Label3", 5, 50, 12, 14);
    textLabel->SetAutoSize(false);
    textLabel->SetTransparent(true);
    textLabel->Font()->SetColor(clYellow);
    textLabel->SetCaption("W");

    auto check = [&](const Pixels& px, const char* how) {
        EXPECT_EQ(px.ColorAt(30, 30), clBlue) << how << ": the clear shape leaves the picture";
        EXPECT_EQ(px.ColorAt(90, 10), clLime) << how << ": the later control lies above";
        EXPECT_EQ(px.ColorAt(110, 10), clLime) << how;
        EXPECT_EQ(px.ColorAt(150, 60), clWhite) << how << ": the form's own colour";
        EXPECT_EQ(px.ColorAt(10, 90), clBlue) << how << ": a transparent label keeps the picture";
        EXPECT_EQ(px.ColorAt(80, 90), clRed) << how << ": an opaque label paints its colour";
        int yellow = 0, blue = 0;
        for (int y = 50; y < 64; ++y)
            for (int x = 5; x < 17; ++x) {
                yellow += px.ColorAt(x, y) == clYellow;
                blue += px.ColorAt(x, y) == clBlue;
            }
        EXPECT_GT(yellow, 3) << how << ": the text is drawn";
        EXPECT_GT(blue, 40) << how << ": ... over the picture";
    };
    check(Render(form.get()), "rendered");
    ShowAndSettle(form.get());
    check(Grab(form->Handle()), "on screen");

    // Bringing the picture to the front covers the green control's left part.
    ASSERT_EQ(form->Controls(0), image);
    image->BringToFront();
    EXPECT_EQ(form->Controls(form->ControlCount() - 1), image);
    Pixels after = Grab(form->Handle());
    EXPECT_EQ(after.ColorAt(90, 10), clBlue);
    EXPECT_EQ(after.ColorAt(110, 10), clLime);
    // Hidden controls are not painted; sending to the back works too.
    green->Hide();
    EXPECT_EQ(Grab(form->Handle()).ColorAt(110, 10), clWhite);
    image->SendToBack();
    EXPECT_EQ(form->Controls(0), image);
    EXPECT_EQ(Render(form.get()).ColorAt(10, 90), clBlue);
}

TEST(Painting, ParentColourAndFontFlowDownUntilSetOwn) {
    auto form = NewShownForm(100, 100, clAqua);
    auto* box = Place<TBox>(form.get(), "Box", 10, 10, 50, 50);
    auto* probe = Place<TProbe>(box, "P", 0, 0, 10, 10);
    EXPECT_EQ(box->Color(), clAqua);
    EXPECT_EQ(probe->Color(), clAqua);
    form->SetColor(clLime);
    EXPECT_EQ(probe->Color(), clLime);
    EXPECT_TRUE(probe->ParentColor());
    box->SetColor(clRed);
    EXPECT_FALSE(box->ParentColor());
    EXPECT_EQ(probe->Color(), clRed);
    form->SetColor(clBlue);
    EXPECT_EQ(box->Color(), clRed);
    EXPECT_EQ(Render(form.get()).ColorAt(40, 40), clRed);
    form->Font()->SetName("Arial");
    EXPECT_EQ(probe->Font()->Name(), "Arial");
    probe->Font()->SetHeight(-30);
    EXPECT_FALSE(probe->ParentFont());
    form->Font()->SetName("Courier New");
    EXPECT_EQ(box->Font()->Name(), "Courier New");
    EXPECT_EQ(probe->Font()->Name(), "Arial");
    probe->SetParentFont(true);
    EXPECT_EQ(probe->Font()->Name(), "Courier New");
}

TEST(Layout, AlignClientFollowsTheParentAndReparentingMovesWindows) {
    auto form = NewShownForm(300, 200);
    auto* left = Place<TBox>(form.get(), "Left", 0, 0, 140, 200);
    auto* right = Place<TBox>(form.get(), "Right", 150, 0, 140, 200);
    left->SetColor(clRed);
    right->SetColor(clBlue);
    auto* fill = Place<TProbe>(right, "Fill", 5, 5, 10, 10);
    fill->Fill = clYellow;
    fill->SetAlign(alClient);
    EXPECT_EQ(fill->BoundsRect(), Rect(0, 0, 140, 200));
    ShowAndSettle(form.get());
    right->SetBounds(150, 0, 100, 150);
    EXPECT_EQ(fill->BoundsRect(), Rect(0, 0, 100, 150));

    auto* inner = Place<TBox>(left, "Inner", 10, 10, 30, 30);
    inner->SetColor(clLime);
    HWND innerWnd = inner->Handle();
    EXPECT_EQ(GetParent(innerWnd), left->Handle());
    Pixels before = Grab(form->Handle());
    EXPECT_EQ(before.ColorAt(20, 20), clLime);
    fill->SetAlign(alNone);
    fill->SetBounds(60, 60, 10, 10);
    inner->SetParent(right);  // the same window, now a child of the other box
    EXPECT_EQ(inner->Handle(), innerWnd);
    EXPECT_EQ(GetParent(innerWnd), right->Handle());
    EXPECT_EQ(left->ControlCount(), 0);
    EXPECT_EQ(right->IndexOfControl(inner), 1);
    Pixels after = Grab(form->Handle());
    EXPECT_EQ(after.ColorAt(20, 20), clRed);
    EXPECT_EQ(after.ColorAt(170, 20), clLime);
    // A windowless control moves between parents the same way.
    fill->SetParent(left);
    EXPECT_EQ(Grab(form->Handle()).ColorAt(65, 65), clYellow);
}

TEST(Mouse, RoutedToTheTopMostVisibleEnabledControlThatAnswersTheHitTest) {
    auto form = NewShownForm(200, 150);
    auto* a = Place<TProbe>(form.get(), "A", 10, 10, 50, 50);
    auto* b = Place<TProbe>(form.get(), "B", 10, 10, 50, 50);
    auto* c = Place<TProbe>(form.get(), "C", 10, 10, 50, 50);
    int formDowns = 0;
    form->OnMouseDown = TMouseEvent::Fn(&formDowns, [](void* n, TObject*, TMouseButton, TShiftState, int, int) {
        ++*static_cast<int*>(n);
    });
    ShowAndSettle(form.get());
    HWND h = form->Handle();

    EXPECT_EQ(form->ControlAtPos(Point(30, 40), false), c);
    c->SetEnabled(false);
    EXPECT_EQ(form->ControlAtPos(Point(30, 40), false), b);
    EXPECT_EQ(form->ControlAtPos(Point(30, 40), true), c);
    b->Hide();
    EXPECT_EQ(form->ControlAtPos(Point(30, 40), true), c);
    EXPECT_EQ(form->ControlAtPos(Point(30, 40), false), a);

    g_events.clear();
    PostMouse(h, WM_LBUTTONDOWN, 30, 40, MK_LBUTTON);
    PostMouse(h, WM_LBUTTONUP, 30, 40);
    PostMouse(h, WM_RBUTTONDOWN, 31, 41, MK_RBUTTON);
    PostMouse(h, WM_RBUTTONUP, 31, 41);
    PostMouse(h, WM_MBUTTONDOWN, 32, 42, MK_MBUTTON);
    std::vector<AnsiString> expect = {"down A 0 20,30", "click A", "up A 20,30", "down A 1 21,31", "up A 21,31",
                                      "down A 2 22,32"};
    std::vector<AnsiString> got;
    for (auto& e : g_events)
        if (e.rfind("move", 0) != 0 && e.rfind("enter", 0) != 0 && e.rfind("leave", 0) != 0) got.push_back(e);
    EXPECT_EQ(got, expect);
    EXPECT_EQ(formDowns, 0);

    // The hit test decides too: the right half of A lets the press through.
    a->HitLeftHalfOnly = true;
    PostMouse(h, WM_LBUTTONDOWN, 50, 40, MK_LBUTTON);
    PostMouse(h, WM_LBUTTONUP, 50, 40);
    EXPECT_EQ(formDowns, 1);
}

TEST(Mouse, CaptureKeepsTheControlUntilReleaseAndEnterLeaveFollow) {
    auto form = NewShownForm(200, 150);
    auto* a = Place<TProbe>(form.get(), "A", 10, 10, 40, 40);
    Place<TProbe>(form.get(), "B", 100, 10, 40, 40);
    ShowAndSettle(form.get());
    HWND h = form->Handle();
    g_events.clear();
    PostMouse(h, WM_MOUSEMOVE, 20, 20);
    PostMouse(h, WM_MOUSEMOVE, 110, 20);
    PostMouse(h, WM_MOUSEMOVE, 180, 120);
    std::vector<AnsiString> expect = {"enter A", "move A 10,10", "leave A", "enter B", "move B 10,10", "leave B"};
    EXPECT_EQ(g_events, expect);

    g_events.clear();
    PostMouse(h, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_TRUE(a->MouseCapture());
    EXPECT_EQ(GetCapture(), h);
    PostMouse(h, WM_MOUSEMOVE, 110, 20, MK_LBUTTON);  // over B, but A holds the mouse
    PostMouse(h, WM_LBUTTONUP, 110, 20);
    EXPECT_FALSE(a->MouseCapture());
    std::vector<AnsiString> got;
    for (auto& e : g_events)
        if (e.rfind("enter", 0) != 0 && e.rfind("leave", 0) != 0) got.push_back(e);
    std::vector<AnsiString> expect2 = {"down A 0 10,10", "move A 100,10", "up A 100,10"};  // no click outside
    EXPECT_EQ(got, expect2);
}

namespace {

struct DragLog {
    std::vector<AnsiString> Lines;
    TControl* Source = nullptr;
    void StartOnPress(TObject* Sender, TMouseButton B, TShiftState, int, int) {
        if (B == mbLeft) static_cast<TControl*>(Sender)->BeginDrag(false, -1);
    }
    void Over(TObject* Sender, TObject* Src, int X, int Y, TDragState State, bool& Accept) {
        static const char* states[] = {"enter", "leave", "move"};
        Lines.push_back("over " + static_cast<TComponent*>(Sender)->Name() + " " + states[State] +
                        (Src == Source ? "" : " ?source"));
    }
    void Refuse(TObject* Sender, TObject* Src, int X, int Y, TDragState State, bool& Accept) {
        Over(Sender, Src, X, Y, State, Accept);
        Accept = false;
    }
    void Drop(TObject* Sender, TObject* Src, int X, int Y) {
        Lines.push_back("drop " + static_cast<TComponent*>(Sender)->Name() + " " + IntToStr(X) + "," + IntToStr(Y));
    }
    void End(TObject* Sender, TObject* Target, int, int) {
        Lines.push_back("end " + (Target ? static_cast<TComponent*>(Target)->Name() : AnsiString("nil")));
    }
    void Up(TObject* Sender, TMouseButton, TShiftState, int, int) { Lines.push_back("up"); }
};

}  // namespace

TEST(DragDrop, TheControlUnderTheMouseDecides) {
    auto form = NewShownForm(420, 120);
    auto* src = Place<TProbe>(form.get(), "Src", 10, 10, 40, 40);
    auto* t1 = Place<TProbe>(form.get(), "T1", 100, 10, 60, 60);
    auto* t2 = Place<TProbe>(form.get(), "T2", 200, 10, 60, 60);
    Place<TProbe>(form.get(), "T3", 300, 10, 60, 60);
    auto* locked = Place<TProbe>(form.get(), "Locked", 110, 20, 20, 20);  // disabled, over T1
    locked->SetEnabled(false);
    locked->OnDragOver = nullptr;
    Place<TProbe>(form.get(), "Plain", 130, 45, 20, 20);  // enabled, no handler, over T1
    DragLog log;
    log.Source = src;
    src->OnMouseDown = TMouseEvent::Of<&DragLog::StartOnPress>(&log);
    src->OnEndDrag = TEndDragEvent::Of<&DragLog::End>(&log);
    src->OnMouseUp = TMouseEvent::Of<&DragLog::Up>(&log);
    t1->OnDragOver = TDragOverEvent::Of<&DragLog::Over>(&log);
    t1->OnDragDrop = TDragDropEvent::Of<&DragLog::Drop>(&log);
    t2->OnDragOver = TDragOverEvent::Of<&DragLog::Refuse>(&log);
    t2->OnDragDrop = TDragDropEvent::Of<&DragLog::Drop>(&log);
    ShowAndSettle(form.get());
    HWND h = form->Handle();
    int threshold = GetSystemMetrics(SM_CXDRAG);
    ASSERT_GE(threshold, 2);

    // Onto T1, through the disabled control that lies over it.
    PostMouse(h, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(DragSourceControl(), src);
    PostMouse(h, WM_MOUSEMOVE, 21, 20, MK_LBUTTON);
    EXPECT_FALSE(DragActive());
    EXPECT_TRUE(log.Lines.empty());
    PostMouse(h, WM_MOUSEMOVE, 140, 30, MK_LBUTTON);
    EXPECT_TRUE(DragActive());
    EXPECT_EQ(GetCursor(), CursorHandle(crDrag));
    PostMouse(h, WM_MOUSEMOVE, 120, 30, MK_LBUTTON);
    PostMouse(h, WM_LBUTTONUP, 120, 30);
    std::vector<AnsiString> expect1 = {"over T1 enter", "over T1 move", "over T1 move", "over T1 leave", "drop T1 20,20", "end T1"};
    EXPECT_EQ(log.Lines, expect1);
    EXPECT_EQ(DragSourceControl(), nullptr);

    // Onto T2, which refuses: no drop, and the no-drop cursor while over it.
    log.Lines.clear();
    PostMouse(h, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    PostMouse(h, WM_MOUSEMOVE, 230, 30, MK_LBUTTON);
    EXPECT_EQ(GetCursor(), CursorHandle(crNoDrop));
    PostMouse(h, WM_LBUTTONUP, 230, 30);
    std::vector<AnsiString> expect2 = {"over T2 enter", "over T2 move", "over T2 leave", "end nil"};
    EXPECT_EQ(log.Lines, expect2);

    // Onto an enabled control without a handler over T1: it refuses, T1 hears nothing.
    log.Lines.clear();
    PostMouse(h, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    PostMouse(h, WM_MOUSEMOVE, 140, 55, MK_LBUTTON);
    PostMouse(h, WM_LBUTTONUP, 140, 55);
    std::vector<AnsiString> expect3 = {"end nil"};
    EXPECT_EQ(log.Lines, expect3);

    // A click without movement drags nothing; the release reaches the control.
    log.Lines.clear();
    PostMouse(h, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    PostMouse(h, WM_LBUTTONUP, 20, 20);
    std::vector<AnsiString> expect4 = {"end nil", "up"};
    EXPECT_EQ(log.Lines, expect4);

    // Escape cancels a drag under way; the release then drops nothing.
    log.Lines.clear();
    PostMouse(h, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    PostMouse(h, WM_MOUSEMOVE, 140, 30, MK_LBUTTON);
    PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 0);
    Application->ProcessMessages();
    PostMouse(h, WM_LBUTTONUP, 140, 30);
    ASSERT_GE(log.Lines.size(), 3u);
    EXPECT_EQ(log.Lines[log.Lines.size() - 2], "over T1 leave");
    for (auto& l : log.Lines) EXPECT_EQ(l.rfind("drop", 0), AnsiString::npos) << l;
    EXPECT_EQ(DragSourceControl(), nullptr);
}

namespace {
// A drag object that says when it goes, and the handlers that make and see it.
struct TCountedDrag : TDragObject {
    std::vector<AnsiString>* Lines;
    explicit TCountedDrag(std::vector<AnsiString>* L) : Lines(L) {}
    ~TCountedDrag() override { Lines->push_back("object freed"); }
};
struct ObjectDrag : DragLog {
    TObject* Made = nullptr;
    void Start(TObject*, TDragObject*& Obj) { Made = Obj = new TCountedDrag(&Lines); }
    void Accept(TObject*, TObject* Src, int, int, TDragState, bool& Ok) { Ok = Src == Made; }
};
}  // namespace

// The drag owns the object OnStartDrag made: it is the Source the target sees
// and is deleted once, after OnEndDrag, however the drag ends.
TEST(DragDrop, TheObjectMadeAtTheStartIsFreedWhenTheDragEnds) {
    auto form = NewShownForm(300, 100);
    auto* src = Place<TProbe>(form.get(), "Src", 10, 10, 40, 40);
    auto* target = Place<TProbe>(form.get(), "T", 100, 10, 60, 60);
    ObjectDrag log;
    DragLog* base = &log;  // the handlers of the base class, on it
    src->OnMouseDown = TMouseEvent::Of<&DragLog::StartOnPress>(base);
    src->OnStartDrag = TStartDragEvent::Of<&ObjectDrag::Start>(&log);
    src->OnEndDrag = TEndDragEvent::Of<&DragLog::End>(base);
    target->OnDragOver = TDragOverEvent::Of<&ObjectDrag::Accept>(&log);
    target->OnDragDrop = TDragDropEvent::Of<&DragLog::Drop>(base);
    ShowAndSettle(form.get());
    HWND h = form->Handle();
    const std::vector<AnsiString> dropped = {"drop T 20,20", "end T", "object freed"};
    const std::vector<AnsiString> nothing = {"end nil", "object freed"};
    struct Ending {
        const char* Name;
        void (*Finish)(HWND);
        const std::vector<AnsiString>& Lines;
    } endings[] = {
        {"dropped", [](HWND w) { PostMouse(w, WM_LBUTTONUP, 120, 30); }, dropped},
        {"cancelled by the right button", [](HWND w) { PostMouse(w, WM_RBUTTONDOWN, 120, 30, MK_RBUTTON); },
         nothing},
        {"cancelled by escape", [](HWND w) {
             PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0);
             PostMouse(w, WM_LBUTTONUP, 120, 30);
         }, nothing},
    };
    for (const Ending& e : endings) {
        log.Lines.clear();
        PostMouse(h, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
        PostMouse(h, WM_MOUSEMOVE, 120, 30, MK_LBUTTON);
        ASSERT_TRUE(DragActive()) << e.Name;
        e.Finish(h);
        EXPECT_EQ(log.Lines, e.Lines) << e.Name;
        EXPECT_EQ(DragSourceControl(), nullptr) << e.Name;
    }
    // A source destroyed while it drags: letting go of the capture cancels
    // the drag, and the object goes with it.
    log.Lines.clear();
    PostMouse(h, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    ASSERT_EQ(DragSourceControl(), src);
    delete src;
    EXPECT_EQ(log.Lines, nothing);
    EXPECT_EQ(DragSourceControl(), nullptr);
}

TEST(Focus, TabFollowsTabOrderAndKeysReachOnKeyDown) {
    auto form = NewShownForm(300, 100);
    auto* e1 = Place<TTestEdit>(form.get(), "E1", 10, 10, 60, 24);
    auto* e2 = Place<TTestEdit>(form.get(), "E2", 80, 10, 60, 24);
    auto* e3 = Place<TTestEdit>(form.get(), "E3", 150, 10, 60, 24);
    e1->SetTabOrder(2);
    e2->SetTabOrder(0);
    e3->SetTabOrder(1);
    EXPECT_EQ(e2->TabOrder(), 0);
    EXPECT_EQ(e1->TabOrder(), 2);
    std::vector<Word> keys;
    auto onKey = TKeyEvent::Fn(&keys, [](void* k, TObject*, Word& Key, TShiftState) {
        static_cast<std::vector<Word>*>(k)->push_back(Key);
    });
    e1->OnKeyDown = e2->OnKeyDown = e3->OnKeyDown = onKey;
    ShowAndSettle(form.get());
    e2->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return e2->Focused(); })) << "the form did not get the focus";
    EXPECT_EQ(form->ActiveControl(), e2);
    PostMessageW(e2->Handle(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(PumpUntil([&] { return e3->Focused(); }));
    PostMessageW(e3->Handle(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(PumpUntil([&] { return e1->Focused(); }));
    PostMessageW(e1->Handle(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(PumpUntil([&] { return e2->Focused(); }));
    form->SelectNext(e2, false, true);
    EXPECT_TRUE(PumpUntil([&] { return e1->Focused(); }));
    EXPECT_TRUE(keys.empty()) << "Tab must not reach the key handlers";
    // A disabled control is skipped.
    e2->SetEnabled(false);
    form->SelectNext(e1, true, true);
    EXPECT_TRUE(PumpUntil([&] { return e3->Focused(); }));
    PostMessageW(e3->Handle(), WM_KEYDOWN, 'A', 0);
    Pump(20);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0], 'A');
}

TEST(Messages, EditColoursAreAnsweredWithTheControlsBrush) {
    auto form = NewShownForm(200, 60);
    auto* edit = Place<TTestEdit>(form.get(), "E1", 10, 10, 120, 30);
    edit->SetColor(clYellow);
    edit->Font()->SetColor(clRed);
    ShowAndSettle(form.get());
    HDC dc = CreateCompatibleDC(nullptr);
    LRESULT r = SendMessageW(form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(edit->Handle()));
    ASSERT_NE(r, 0);
    LOGBRUSH lb{};
    GetObjectW(reinterpret_cast<HBRUSH>(r), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(255, 255, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 0));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    r = SendMessageW(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(edit->Handle()));
    EXPECT_EQ(r, reinterpret_cast<LRESULT>(edit->ColorBrush()));
    DeleteDC(dc);
    // And the edit window itself paints with it.
    Pixels px = Grab(form->Handle());
    EXPECT_GT(px.Count(clYellow), 120 * 30 / 2);
    // The reflected message numbers stay clear of the skin's message numbers.
    for (UINT m : {CN_COMMAND, CN_NOTIFY, CN_CTLCOLOREDIT, CN_CTLCOLORSTATIC, CN_HSCROLL, CN_VSCROLL, CN_KEYDOWN})
        EXPECT_TRUE(m != 0xA100 && m != 0xBC4D && m != 0xBCB3 && m != 0xBCB4) << m;
}

namespace {
struct Hook {
    TWndMethod Saved;
    int Seen = 0;
    void Proc(TMessage& m) {
        if (m.Msg == CM_COLORCHANGED || m.Msg == WM_SETTEXT) ++Seen;
        Saved(m);
    }
};
}  // namespace

TEST(Messages, WindowProcCanBeSwappedAndPutBackExactly) {
    auto form = NewShownForm(100, 100);
    auto* probe = Place<TProbe>(form.get(), "P", 0, 0, 10, 10);
    auto* box = Place<TBox>(form.get(), "B", 20, 20, 10, 10);
    ShowAndSettle(form.get());
    for (TControl* c : {static_cast<TControl*>(probe), static_cast<TControl*>(box)}) {
        TWndMethod original = c->WindowProc;
        Hook hook;
        hook.Saved = c->WindowProc;
        c->WindowProc = TWndMethod::Of<&Hook::Proc>(&hook);
        EXPECT_FALSE(c->WindowProc == original);
        c->SetColor(clRed);
        EXPECT_EQ(c->Color(), clRed);
        if (auto* w = dynamic_cast<TWinControl*>(c)) SendMessageW(w->Handle(), WM_SETTEXT, 0, LPARAM(L"x"));
        EXPECT_EQ(hook.Seen, c == box ? 2 : 1);
        c->WindowProc = hook.Saved;
        EXPECT_TRUE(c->WindowProc == original);
        c->SetColor(clBlue);
        EXPECT_EQ(hook.Seen, c == box ? 2 : 1);
    }
}

namespace {
// A swapped WindowProc that logs what reaches it and passes it on.
struct LoggingProc {
    TWinControl* Control;
    testwin::MessageLog& Log;
    TWndMethod Saved;
    LoggingProc(TWinControl* C, testwin::MessageLog& L) : Control(C), Log(L), Saved(C->WindowProc) {
        C->WindowProc = TWndMethod::Of<&LoggingProc::Proc>(this);
    }
    // Logged after a message was handled, with its number: what is logged
    // between a message and its return was sent while it was handled.
    static constexpr UINT kReturned = WM_APP + 0x3FF;
    void Proc(TMessage& m) {
        const HWND h = Control->Handle();
        const size_t before = Log.Entries().size();
        Log.Record(h, m.Msg, m.WParam, m.LParam);
        const bool logged = Log.Entries().size() > before;  // not an ignored one
        Saved(m);
        if (logged) Log.Record(h, kReturned, m.Msg, 0);
    }
};
}  // namespace

// The text set on the edit window: its window procedure hands the message to
// the swapped WindowProc; the edit's change notice is sent to the form while
// the text is set, and comes back to the edit's WindowProc reflected, nested
// inside; the swap undone, nothing more reaches the logging method.
TEST(Messages, TextSetOnAnEditWindowReachesTheSwappedWindowProcWithTheNestedChangeNotice) {
    using namespace testwin;
    auto form = NewShownForm(200, 60);
    auto* edit = Place<TEdit>(form.get(), "Edit1", 10, 10, 120, 24);
    int changes = 0;
    edit->OnChange = TNotifyEvent::Fn(&changes, [](void* n, TObject*) { ++*static_cast<int*>(n); });
    ShowAndSettle(form.get());
    const HWND e = edit->Handle(), f = form->Handle();
    const WNDPROC before = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(e, GWLP_WNDPROC));
    MessageLog windows, methods;
    for (MessageLog* log : {&windows, &methods})
        log->Ignore({WM_GETTEXT, WM_GETTEXTLENGTH, WM_CTLCOLOREDIT, CN_CTLCOLOREDIT, WM_PAINT, WM_NCPAINT,
                     WM_ERASEBKGND, WM_TIMER, WM_SETCURSOR, WM_NCHITTEST, WM_MOUSEMOVE});
    {
        LoggingProc proc(edit, methods);
        LogWindow atEdit(windows, e), atForm(windows, f);
        SetWindowTextW(e, L"\u0434\u0430");
        const std::vector<ExpectedMessage> atWindows = {
            {WM_SETTEXT, 0, 0, e, kLParamAny},
            {WM_COMMAND, MAKEWPARAM(0, EN_UPDATE), LPARAM(e), f, kOptional},
            {WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), LPARAM(e), f},
        };
        EXPECT_TRUE(windows.Matches(atWindows));
        constexpr UINT kReturned = LoggingProc::kReturned;
        EXPECT_TRUE(methods.Matches({
            {WM_SETTEXT, 0, 0, e, kLParamAny},
            {CN_COMMAND, MAKEWPARAM(0, EN_UPDATE), LPARAM(e), e, kOptional},
            {kReturned, CN_COMMAND, 0, e, kOptional},
            {CN_COMMAND, MAKEWPARAM(0, EN_CHANGE), LPARAM(e), e},
            {kReturned, CN_COMMAND, 0, e},
            {kReturned, WM_SETTEXT, 0, e},
        }));
        edit->WindowProc = proc.Saved;
        methods.Clear();
        windows.Clear();
        SetWindowTextW(e, L"x");
        EXPECT_TRUE(methods.Matches({}));
        EXPECT_TRUE(windows.Matches(atWindows));
        EXPECT_FALSE(windows.Matches({{WM_SETTEXT, 0, 0, f, kLParamAny}, {WM_COMMAND, kParamsAny}}));
    }
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(e, GWLP_WNDPROC)), before);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit->Text(), "x");
}

// The log's rules: optional entries may be missing, repeated ones come once or
// more (with optional also not at all), parameters compare unless "any".
TEST(Messages, LogMatchesOptionalAndRepeatedEntries) {
    using namespace testwin;
    struct Case {
        std::vector<UINT> Logged;
        std::vector<ExpectedMessage> Expected;
        bool Match;
    } cases[] = {
        {{WM_SIZE, WM_MOVE}, {{WM_SIZE}, {WM_MOVE}}, true},
        {{WM_SIZE}, {{WM_SIZE}, {WM_MOVE}}, false},
        {{WM_SIZE, WM_MOVE, WM_MOVE}, {{WM_SIZE}, {WM_MOVE}}, false},
        {{WM_SIZE}, {{WM_SIZE}, {WM_MOVE, kOptional}}, true},
        {{WM_SIZE, WM_MOVE, WM_MOVE, WM_PAINT}, {{WM_SIZE}, {WM_MOVE, kRepeated}, {WM_PAINT}}, true},
        {{WM_SIZE, WM_PAINT}, {{WM_SIZE}, {WM_MOVE, kRepeated}, {WM_PAINT}}, false},
        {{WM_SIZE, WM_PAINT}, {{WM_SIZE}, {WM_MOVE, kRepeated | kOptional}, {WM_PAINT}}, true},
        {{WM_MOVE, WM_MOVE}, {{WM_MOVE, kRepeated | kOptional}, {WM_MOVE}}, true},
    };
    for (const Case& c : cases) {
        MessageLog log;
        for (UINT m : c.Logged) log.Record(nullptr, m, 0, 0);
        EXPECT_EQ(bool(log.Matches(c.Expected)), c.Match) << c.Logged.size() << " logged, " << c.Expected.size();
    }
    MessageLog log;
    log.Ignore({WM_TIMER});
    log.Record(nullptr, WM_TIMER, 1, 0);
    log.Record(nullptr, WM_SIZE, 1, 2);
    EXPECT_TRUE(log.Matches({{WM_SIZE, 1, 2}}));
    EXPECT_FALSE(log.Matches({{WM_SIZE, 1, 3}}));
    EXPECT_TRUE(log.Matches({{WM_SIZE, 1, 3, nullptr, kLParamAny}}));
}

TEST(StdControls, EditTextFollowsTypingAndReadOnlyRefuses) {
    auto form = NewShownForm(200, 60);
    auto* edit = Place<TEdit>(form.get(), "Edit1", 10, 10, 120, 24);
    int changes = 0;
    edit->OnChange = TNotifyEvent::Fn(&changes, [](void* n, TObject*) { ++*static_cast<int*>(n); });
    ShowAndSettle(form.get());
    HWND h = edit->Handle();
    PostMessageW(h, WM_CHAR, 0x0434, 0);  // a Cyrillic letter arrives as UTF-16
    PostMessageW(h, WM_CHAR, 0x0430, 0);
    Pump(30);
    EXPECT_EQ(edit->Text(), "да");
    EXPECT_EQ(changes, 2);
    edit->SetText("Выход");
    EXPECT_EQ(changes, 3);
    wchar_t w[16] = {};
    GetWindowTextW(h, w, 16);
    EXPECT_EQ(std::wstring(w), L"\u0412\u044b\u0445\u043e\u0434");
    edit->Clear();
    EXPECT_EQ(edit->Text(), "");
    edit->SetReadOnly(true);
    EXPECT_TRUE(GetWindowLongW(h, GWL_STYLE) & ES_READONLY);
    PostMessageW(h, WM_CHAR, 'x', 0);
    Pump(30);
    EXPECT_EQ(edit->Text(), "");
}

TEST(StdControls, ScrollBarTurnsNotificationsIntoOnScrollAndPosition) {
    auto form = NewShownForm(200, 330);
    auto* bar = Place<TScrollBar>(form.get(), "Bar", 10, 8, 9, 313);
    bar->SetKind(sbVertical);
    bar->SetBounds(10, 8, 9, 313);
    bar->SetMax(682);
    bar->SetSmallChange(89);
    bar->SetLargeChange(89);
    struct Log {
        std::vector<AnsiString> Lines;
        int Clamp = -1;
        void Scroll(TObject*, TScrollCode c, int& pos) {
            Lines.push_back(IntToStr(c) + ":" + IntToStr(pos));
            if (Clamp >= 0) pos = Clamp;
        }
        void Change(TObject* s) { Lines.push_back("pos " + IntToStr(static_cast<TScrollBar*>(s)->Position())); }
    } log;
    bar->OnScroll = TScrollEvent::Of<&Log::Scroll>(&log);
    bar->OnChange = TNotifyEvent::Of<&Log::Change>(&log);
    ShowAndSettle(form.get());
    HWND parent = form->Handle(), h = bar->Handle();
    EXPECT_TRUE(GetWindowLongW(h, GWL_STYLE) & SBS_VERT);
    SendMessageW(parent, WM_VSCROLL, SB_LINEDOWN, LPARAM(h));
    SendMessageW(parent, WM_VSCROLL, SB_PAGEDOWN, LPARAM(h));
    SendMessageW(parent, WM_VSCROLL, SB_BOTTOM, LPARAM(h));
    SendMessageW(parent, WM_VSCROLL, SB_LINEDOWN, LPARAM(h));  // at the end: no change
    log.Clamp = 10;
    SendMessageW(parent, WM_VSCROLL, SB_TOP, LPARAM(h));
    std::vector<AnsiString> expect = {"1:89", "pos 89", "3:178", "pos 178", "7:682", "pos 682", "1:682",
                                      "6:0", "pos 10"};
    EXPECT_EQ(log.Lines, expect);
    EXPECT_EQ(GetScrollPos(h, SB_CTL), 10);
    EXPECT_THROW(bar->SetParams(0, 5, 4), Exception);
}

TEST(StdControls, PanelPaintsItsBevelAroundItsColourAndHoldsControls) {
    auto form = NewShownForm(200, 100);
    auto* raised = Place<TPanel>(form.get(), "Panel1", 10, 10, 80, 60);
    raised->SetColor(clAqua);
    auto* flat = Place<TPanel>(form.get(), "Panel2", 100, 10, 80, 60);
    flat->SetBevelOuter(bvNone);
    flat->SetColor(clYellow);
    auto* inside = Place<TProbe>(flat, "Inside", 10, 10, 20, 20);
    inside->Fill = clRed;
    ShowAndSettle(form.get());
    Pixels px = Grab(form->Handle());
    EXPECT_EQ(px.ColorAt(10, 10), TColor(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(px.ColorAt(89, 69), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(px.ColorAt(50, 40), clAqua);
    EXPECT_EQ(px.ColorAt(100, 10), clYellow);
    EXPECT_EQ(px.ColorAt(115, 25), clRed);
}
