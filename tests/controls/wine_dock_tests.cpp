// Docking under Wine with real mouse input: a dockable framed panel dragged
// onto a framed dock site, the site's caption strips (horizontal and
// rotated), the close glyph, undocking from the grabber into a floating
// window and back, the dock manager's hook on the panel's window procedure,
// handles over many rounds, and bad docking input from form data and code.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Docking.h"
#include "FormLoader.h"
#include "MessageLog.h"
#include "RzPanel.h"
#include "TypeInfo.h"
#include "WineUi.h"

using namespace wineui;

namespace {

// A form with a framed dock site and a framed panel that docks by dragging;
// the dock events are logged by name.
struct DockScene {
    std::unique_ptr<TForm> Form{NewForm(500, 360)};
    TRzPanel* Site = new TRzPanel(Form.get());
    TRzPanel* Tool = new TRzPanel(Form.get());
    std::vector<std::string> Events;
    TObject* EndDockTarget = nullptr;
    bool RefuseDock = false, RefuseUnDock = false;

    DockScene() {
        Site->SetParent(Form.get());
        Site->SetBounds(10, 10, 300, 150);
        Site->SetCaption("");
        Site->SetDockSite(true);
        Site->OnDockOver = TDockOverEvent::Of<&DockScene::DockOver>(this);
        Site->OnDockDrop = TDockDropEvent::Of<&DockScene::DockDrop>(this);
        Site->OnGetSiteInfo = TGetSiteInfoEvent::Of<&DockScene::GetSiteInfo>(this);
        Site->OnUnDock = TUnDockEvent::Of<&DockScene::UnDock>(this);
        Tool->SetParent(Form.get());
        Tool->SetBounds(40, 220, 120, 60);
        Tool->SetCaption("Tool");
        Tool->SetDragKind(dkDock);
        Tool->SetDragMode(dmAutomatic);
        Tool->OnStartDock = TStartDockEvent::Of<&DockScene::StartDock>(this);
        Tool->OnEndDock = TEndDragEvent::Of<&DockScene::EndDock>(this);
        Pump(60);
    }
    void DockOver(TObject*, TDragDockObject*, int, int, TDragState, bool& Accept) {
        Note("DockOver");
        Accept = !RefuseDock;
    }
    void DockDrop(TObject*, TDragDockObject*, int, int) { Note("DockDrop"); }
    void GetSiteInfo(TObject*, TControl*, TRect&, TPoint, bool&) { Note("GetSiteInfo"); }
    void UnDock(TObject*, TControl*, TWinControl*, bool& Allow) {
        Note("UnDock");
        Allow = !RefuseUnDock;
    }
    void StartDock(TObject*, TDragDockObject*&) { Note("StartDock"); }
    void EndDock(TObject*, TObject* Target, int, int) {
        Note("EndDock");
        EndDockTarget = Target;
    }
    void Note(const char* e) {
        if (Events.empty() || Events.back() != e) Events.push_back(e);
    }
    bool Saw(const char* e) const { return std::find(Events.begin(), Events.end(), e) != Events.end(); }

    TPoint OnSite(int x, int y) const { return Site->ClientToScreen(Point(x, y)); }
};

// The left button pressed at From, the mouse moved to To in steps, Midway
// run before the release there.
void DragWithMouse(TPoint From, TPoint To, const std::function<void()>& Midway = {}) {
    testwin::MouseAt(From.X, From.Y);
    Pump(30);
    testwin::MouseAt(From.X, From.Y, MOUSEEVENTF_LEFTDOWN);
    Pump(40);
    for (int i = 1; i <= 8; ++i) {
        testwin::MouseAt(From.X + (To.X - From.X) * i / 8, From.Y + (To.Y - From.Y) * i / 8);
        Pump(25);
    }
    if (Midway) Midway();
    testwin::MouseAt(To.X, To.Y, MOUSEEVENTF_LEFTUP);
    Pump(120);
}

void ClickWithMouse(TPoint At) {
    testwin::MouseAt(At.X, At.Y, MOUSEEVENTF_LEFTDOWN);
    Pump(30);
    testwin::MouseAt(At.X, At.Y, MOUSEEVENTF_LEFTUP);
    Pump(80);
}

COLORREF ScreenPixel(TPoint P) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, P.X, P.Y);
    ReleaseDC(nullptr, dc);
    return c;
}

int CountIn(const Shot& S, const TRect& R, uint32_t Color) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) n += S.At(x, y) == Color;
    return n;
}

// A point of the window's caption (the system's answer to the hit test).
TPoint CaptionPoint(HWND Wnd) {
    RECT r;
    GetWindowRect(Wnd, &r);
    for (int y = r.top; y < r.bottom; ++y)
        if (SendMessageW(Wnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + 20, y)) == HTCAPTION) return Point(r.left + 20, y + 2);
    return Point(r.left + 20, r.top + 8);
}

}  // namespace

TEST(Docking, DraggedOntoADockSiteItDocksUnderACaptionStrip) {
    DockScene s;
    ASSERT_NE(dynamic_cast<TRzPanelDockManager*>(s.Site->DockManager()), nullptr);
    EXPECT_TRUE(s.Site->DoubleBuffered());
    // Site area: less the raised border (2); the inverted frame is drawn on
    // its top edge while the tool is held over the site (every other pixel
    // of the halftone), and is gone after the drop, where the strip is.
    const TPoint edge = s.OnSite(150, 2), next = s.OnSite(151, 2);
    const COLORREF before[2] = {ScreenPixel(edge), ScreenPixel(next)};
    bool framed = false;
    DragWithMouse(s.Tool->ClientToScreen(Point(60, 30)), s.OnSite(150, 75), [&] {
        framed = ScreenPixel(edge) != before[0] || ScreenPixel(next) != before[1];
    });
    EXPECT_TRUE(framed);
    const COLORREF strip = ScreenPixel(edge);
    EXPECT_EQ(ScreenPixel(next), strip);
    EXPECT_TRUE(strip == Rgb(clActiveCaption) || strip == Rgb(clInactiveCaption)) << std::hex << strip;
    ASSERT_EQ(s.Tool->HostDockSite(), s.Site);
    EXPECT_EQ(s.Tool->Parent(), s.Site);
    EXPECT_EQ(s.Site->DockClientCount(), 1);
    for (const char* e : {"StartDock", "GetSiteInfo", "DockOver", "DockDrop", "EndDock"}) EXPECT_TRUE(s.Saw(e)) << e;
    EXPECT_EQ(s.EndDockTarget, s.Site);
    EXPECT_EQ(s.Tool->BoundsRect(), Rect(2, 2 + 14, 298, 148));

    struct Look {
        TAlign Align;
        TRect Caption, Glyph, Empty;  // in the site, strip at (2, 2)
        bool CaptionInCaptionText;
    };
    const Look looks[] = {
        {alNone, Rect(4, 2, 40, 16), Rect(283, 3, 296, 14), Rect(60, 2, 270, 16), false},
        {alTop, Rect(2, 110, 16, 146), Rect(3, 3, 14, 14), Rect(2, 20, 16, 90), true},
    };
    for (const Look& l : looks) {
        s.Site->SetAlign(l.Align);
        Pump(60);
        Shot shot(s.Site->Handle(), TShotPaint::Repainted);
        const uint32_t back = shot.At(l.Empty.Left + 2, l.Empty.Top + 5);
        const bool active = back == Rgb(clActiveCaption);
        ASSERT_TRUE(active || back == Rgb(clInactiveCaption)) << std::hex << back;
        const uint32_t text = Rgb(active ? clCaptionText : clInactiveCaptionText);
        const uint32_t captionColor = l.CaptionInCaptionText ? Rgb(clCaptionText) : text;
        EXPECT_GT(CountIn(shot, l.Caption, captionColor), 5) << l.Align;
        EXPECT_GT(CountIn(shot, l.Glyph, text), 5) << l.Align;
        EXPECT_EQ(CountIn(shot, l.Empty, back), l.Empty.Width() * l.Empty.Height()) << l.Align;
    }
    EXPECT_EQ(s.Tool->Left(), 2 + 14);
    EXPECT_EQ(s.Tool->Top(), 2);
    // Without client captions the strip is the class library's grabber.
    s.Site->SetShowDockClientCaptions(false);
    Shot plain(s.Site->Handle(), TShotPaint::Repainted);
    const TRect grabber = Rect(2, 2, 16, 148);
    EXPECT_EQ(CountIn(plain, grabber, Rgb(clActiveCaption)) + CountIn(plain, grabber, Rgb(clInactiveCaption)), 0);
    EXPECT_GT(CountIn(plain, grabber, Rgb(clBtnShadow)), 20);
    s.Site->SetShowDockClientCaptions(true);

    // The close glyph hides the client, which stays docked.
    s.Site->SetAlign(alNone);
    s.Site->SetBounds(10, 10, 300, 150);
    Pump(60);
    ClickWithMouse(s.OnSite(289, 8));
    EXPECT_FALSE(s.Tool->Visible());
    EXPECT_EQ(s.Tool->HostDockSite(), s.Site);
}

TEST(Docking, ADragFromTheGrabberFloatsItAndADragBackDocksIt) {
    DockScene s;
    s.Tool->ManualDock(s.Site);
    Pump(60);
    ASSERT_EQ(s.Tool->HostDockSite(), s.Site);
    s.Events.clear();

    DragWithMouse(s.OnSite(150, 8), Point(700, 420));
    ASSERT_TRUE(s.Tool->Floating());
    auto* host = dynamic_cast<TCustomDockForm*>(s.Tool->HostDockSite());
    ASSERT_NE(host, nullptr);
    const HWND hostWnd = host->Handle();
    EXPECT_TRUE(IsWindowVisible(hostWnd));
    EXPECT_EQ(s.Site->DockClientCount(), 0);
    EXPECT_TRUE(s.Saw("UnDock"));
    EXPECT_EQ(s.Tool->ClientWidth(), 120);  // the size it had before it docked
    EXPECT_EQ(s.Tool->ClientHeight(), 60);

    DragWithMouse(CaptionPoint(hostWnd), s.OnSite(150, 75));
    EXPECT_EQ(s.Tool->HostDockSite(), s.Site);
    EXPECT_EQ(s.Tool->Parent(), s.Site);
    Pump(60);
    EXPECT_FALSE(IsWindow(hostWnd));  // the empty floating window is gone
}

namespace {

// Three clients for the site: with Docked 2, A beside B; with 3, C under B
// too. Site area (2, 2)-(298, 148); the bars between zones are 4 pixels.
struct ZoneScene : DockScene {
    TRzPanel *A = Tool, *B = new TRzPanel(Form.get()), *C = new TRzPanel(Form.get());
    explicit ZoneScene(int Docked) {
        for (TRzPanel* p : {B, C}) {
            p->SetParent(Form.get());
            p->SetBounds(200, 220, 120, 60);
            p->SetDragKind(dkDock);
            p->SetDragMode(dmAutomatic);
        }
        if (Docked > 1) {
            A->ManualDock(Site);
            B->ManualDock(Site, A, alRight);
        }
        if (Docked > 2) C->ManualDock(Site, B, alBottom);
        Pump(40);
    }
    std::vector<TRect> Frames() const {
        std::vector<TRect> f(3);
        for (size_t i = 0; i < 3; ++i) Site->DockManager()->FrameRect(i ? i == 1 ? B : C : A, f[i]);
        return f;
    }
};

}  // namespace

TEST(Docking, ClientsShareTheSiteInZonesAndAHiddenOneGivesItsRoomUp) {
    ZoneScene s(0);
    TRzPanel *a = s.A, *b = s.B, *c = s.C;
    // Each frame loses its 14-pixel strip on top.
    struct Step {
        std::function<void()> Do;
        TRect A, B, C;  // empty: not docked or hidden
    };
    const TRect none{};
    const Step steps[] = {
        {[&] { a->ManualDock(s.Site); }, Rect(2, 16, 298, 148), none, none},
        {[&] { b->ManualDock(s.Site, a, alRight); }, Rect(2, 16, 148, 148), Rect(152, 16, 298, 148), none},
        {[&] { c->ManualDock(s.Site, b, alBottom); }, Rect(2, 16, 148, 148), Rect(152, 16, 298, 73),
         Rect(152, 91, 298, 148)},
        {[&] { ClickWithMouse(s.OnSite(289, 8)); }, Rect(2, 16, 148, 148), none, Rect(152, 16, 298, 148)},
        {[&] { b->Show(); }, Rect(2, 16, 148, 148), Rect(152, 16, 298, 73), Rect(152, 91, 298, 148)},
        // Left of A it takes half of A's zone; B, alone in its column now,
        // has C's room too.
        {[&] { c->ManualDock(s.Site, a, alLeft); }, Rect(78, 16, 150, 148), Rect(154, 16, 298, 148),
         Rect(2, 16, 74, 148)},
    };
    int i = 0;
    for (const Step& st : steps) {
        st.Do();
        Pump(40);
        const std::pair<TRzPanel*, TRect> expect[] = {{a, st.A}, {b, st.B}, {c, st.C}};
        for (const auto& [p, r] : expect) {
            if (r == none) continue;
            EXPECT_EQ(p->BoundsRect(), r) << "step " << i << " " << p->Caption().c_str();
        }
        ++i;
    }
}

TEST(Docking, ASiteThatRefusesLeavesTheControlFloatingOrWhereItIs) {
    DockScene s;
    s.RefuseDock = true;
    DragWithMouse(s.Tool->ClientToScreen(Point(60, 30)), s.OnSite(150, 75));
    EXPECT_TRUE(s.Saw("DockOver"));
    EXPECT_TRUE(s.Tool->Floating());  // dropped where the floating frame was shown
    EXPECT_EQ(s.Site->DockClientCount(), 0);
    s.RefuseDock = false;
    ASSERT_TRUE(s.Tool->ManualDock(s.Site));
    s.RefuseUnDock = true;
    EXPECT_FALSE(s.Tool->ManualFloat(Bounds(600, 400, 120, 60)));
    DragWithMouse(s.OnSite(150, 8), Point(700, 420));
    EXPECT_EQ(s.Tool->HostDockSite(), s.Site);
    EXPECT_EQ(s.Tool->Parent(), s.Site);
}

// A recording window procedure put on the panel before its dock manager.
struct ProcSpy {
    TControl* Control;
    testwin::MessageLog& Log;
    TWndMethod Previous;
    void Proc(TMessage& m) {
        Log.Record(nullptr, m.Msg, m.WParam, m.LParam);
        Previous(m);
    }
};

TEST(Docking, TheDockManagerGivesThePanelsWindowProcedureBackExactly) {
    std::unique_ptr<TForm> f(NewForm(300, 200));
    auto* p = new TRzPanel(f.get());
    p->SetParent(f.get());
    p->SetBounds(10, 10, 200, 100);
    Pump();
    testwin::MessageLog log;
    ProcSpy spy{p, log, p->WindowProc};
    const TWndMethod spyProc = TWndMethod::Of<&ProcSpy::Proc>(&spy);
    p->WindowProc = spyProc;

    p->SetDockSite(true);
    ASSERT_NE(p->DockManager(), nullptr);
    EXPECT_FALSE(p->WindowProc == spyProc);
    ValidateRect(p->Handle(), nullptr);
    log.Clear();
    SendMessageW(p->Handle(), WM_COMMAND, MAKEWPARAM(7, 0), 0);
    SendMessageW(p->Handle(), WM_MOUSEACTIVATE, WPARAM(f->Handle()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    SendMessageW(p->Handle(), WM_USER + 5, 1, 2);
    EXPECT_TRUE(log.Matches({{WM_COMMAND, MAKEWPARAM(7, 0), 0},
                             {WM_MOUSEACTIVATE, testwin::kParamsAny},
                             {WM_USER + 5, 1, 2}}));
    RECT dirty{};
    EXPECT_TRUE(GetUpdateRect(p->Handle(), &dirty, FALSE));  // the strips repaint

    p->SetUseDockManager(false);
    EXPECT_EQ(p->DockManager(), nullptr);
    EXPECT_TRUE(p->WindowProc == spyProc);
    log.Clear();
    SendMessageW(p->Handle(), WM_USER + 6, 3, 4);
    EXPECT_TRUE(log.Matches({{WM_USER + 6, 3, 4}}));

    // Someone hooked after the manager (a skin wrapper) is not dropped when
    // the manager goes, and still reaches what lies under it.
    p->SetUseDockManager(true);
    ASSERT_NE(p->DockManager(), nullptr);
    testwin::MessageLog laterLog;
    ProcSpy later{p, laterLog, p->WindowProc};
    const TWndMethod laterProc = TWndMethod::Of<&ProcSpy::Proc>(&later);
    p->WindowProc = laterProc;
    p->SetUseDockManager(false);
    EXPECT_TRUE(p->WindowProc == laterProc);
    log.Clear();
    SendMessageW(p->Handle(), WM_USER + 7, 5, 6);
    EXPECT_TRUE(laterLog.Matches({{WM_USER + 7, 5, 6}}));
    EXPECT_TRUE(log.Matches({{WM_USER + 7, 5, 6}}));
    p->WindowProc = spy.Previous;
}

TEST(Docking, AHundredDockAndFloatRoundsLeaveNoHandlesBehind) {
    DockScene s;
    auto round = [&] {
        ASSERT_TRUE(s.Tool->ManualFloat(Bounds(600, 400, 120, 60)));
        Pump(10);
        ASSERT_TRUE(s.Tool->ManualDock(s.Site));
        Pump(10);
    };
    round();
    const testwin::GuiObjects before = testwin::CountGuiObjects();
    for (int i = 0; i < 100; ++i) round();
    Pump(60);
    const testwin::GuiObjects after = testwin::CountGuiObjects();
    EXPECT_EQ(after.Gdi, before.Gdi);
    EXPECT_EQ(after.User, before.User);
    EXPECT_EQ(s.Site->DockClientCount(), 1);
}

namespace {
class TDockForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TDockForm"; }
    void SiteDockDrop(TObject*, TDragDockObject*, int, int) {}
};
}  // namespace

TEST(Docking, DockPropertiesComeFromFormDataAndBadDockingIsRefused) {
    static bool registered = false;
    if (!registered) {
        RegisterFormClass<TDockForm>("TDockForm").Handler<&TDockForm::SiteDockDrop>("SiteDockDrop");
        registered = true;
    }
    auto form = LoadFormText<TDockForm>(u8R"(object DockForm: TDockForm
  object Site: TRzPanel
    Width = 200
    Height = 100
    DockSite = True
    OnDockDrop = SiteDockDrop
    object Inner: TRzPanel
      DockSite = True
      UseDockManager = False
    end
  end
  object Tool: TRzPanel
    Top = 150
    DragKind = dkDock
    DragMode = dmAutomatic
  end
end
)",
                                           "dock.form");
    auto* site = Find<TRzPanel>(form.get(), "Site");
    auto* inner = Find<TRzPanel>(form.get(), "Inner");
    auto* tool = Find<TRzPanel>(form.get(), "Tool");
    ASSERT_TRUE(site && inner && tool);
    EXPECT_NE(dynamic_cast<TRzPanelDockManager*>(site->DockManager()), nullptr);
    EXPECT_TRUE(site->OnDockDrop);
    EXPECT_EQ(inner->DockManager(), nullptr);
    EXPECT_EQ(tool->DragKind(), dkDock);
    EXPECT_EQ(tool->DragMode(), dmAutomatic);

    // Into itself or its own child: refused, nothing moved.
    EXPECT_THROW(site->ManualDock(site), EInvalidOperation);
    EXPECT_THROW(site->ManualDock(inner), EInvalidOperation);
    EXPECT_EQ(inner->Parent(), site);
    EXPECT_EQ(site->Parent(), form.get());
    EXPECT_EQ(site->HostDockSite(), nullptr);
    EXPECT_TRUE(tool->ManualDock(site));
    EXPECT_EQ(site->DockClientCount(), 1);

    try {
        LoadFormText<TDockForm>(u8R"(object DockForm: TDockForm
  object Tool: TRzPanel
    DragKind = dkFloat
  end
end
)",
                                "bad.form");
        ADD_FAILURE() << "an unknown DragKind was taken";
    } catch (const EFormError& e) {
        const std::string m = e.what();
        for (const char* part : {"TDockForm", "Tool", "DragKind", "dkFloat"})
            EXPECT_NE(m.find(part), std::string::npos) << part << " in " << m;
    }
}

TEST(DockZones, AMouseDragMovesASplitterOrSplitsTheZoneDroppedOn) {
    struct Case {
        int Docked;
        TPoint From, To;            // site points; From (0, 0): C's middle
        const wchar_t* Cursor;      // over From; a splitter's line shows at the frame A or B gets
        TPoint Resize;              // the site's new size after the drop, if any
        std::vector<TRect> Frames;  // of A, B and C
    };
    const Case cases[] = {
        {3, {150, 100}, {190, 100}, IDC_SIZEWE, {}, {Rect(2, 2, 188, 148), Rect(192, 2, 298, 73), Rect(192, 77, 298, 148)}},
        {3, {225, 75}, {225, 45}, IDC_SIZENS, {}, {Rect(2, 2, 148, 148), Rect(152, 2, 298, 43), Rect(152, 47, 298, 148)}},
        // Past the far side: the zone beyond keeps twice the grabber (28).
        {3, {149, 60}, {400, 60}, IDC_SIZEWE, {}, {Rect(2, 2, 266, 148), Rect(270, 2, 298, 73), Rect(270, 77, 298, 148)}},
        {3, {260, 76}, {260, -50}, IDC_SIZENS, {}, {Rect(2, 2, 148, 148), Rect(152, 2, 298, 30), Rect(152, 34, 298, 148)}},
        // A : B of 98 : 194 and B : C of 1 : 1 hold when the site is resized.
        {3, {150, 100}, {102, 100}, IDC_SIZEWE, {600, 150}, {Rect(2, 2, 201, 148), Rect(205, 2, 598, 73), Rect(205, 77, 598, 148)}},
        {3, {150, 100}, {102, 100}, IDC_SIZEWE, {150, 300}, {Rect(2, 2, 50, 298), Rect(54, 2, 148, 148), Rect(54, 152, 148, 298)}},
        // C dropped near an edge of A or B: beside it on that side, nested.
        {2, {}, {225, 140}, nullptr, {}, {Rect(2, 2, 148, 148), Rect(152, 2, 298, 73), Rect(152, 77, 298, 148)}},
        {2, {}, {75, 20}, nullptr, {}, {Rect(2, 77, 148, 148), Rect(152, 2, 298, 148), Rect(2, 2, 148, 73)}},
        {2, {}, {6, 75}, nullptr, {}, {Rect(78, 2, 150, 148), Rect(154, 2, 298, 148), Rect(2, 2, 74, 148)}},
    };
    for (const Case& k : cases) {
        ZoneScene s(k.Docked);
        const TPoint from = k.Cursor ? s.OnSite(k.From.X, k.From.Y) : s.C->ClientToScreen(Point(60, 30));
        testwin::MouseAt(from.X, from.Y);
        Pump(40);
        CURSORINFO ci{};
        ci.cbSize = sizeof ci;
        GetCursorInfo(&ci);
        const bool across = k.Cursor == IDC_SIZEWE;
        const TPoint at = s.OnSite(across ? k.Frames[0].Right + 1 : 200, across ? 40 : k.Frames[1].Bottom + 1),
                     next = Point(at.X + !across, at.Y + across);
        const COLORREF before[2] = {ScreenPixel(at), ScreenPixel(next)};
        bool line = true;
        DragWithMouse(from, s.OnSite(k.To.X, k.To.Y), [&] { line = ScreenPixel(at) != before[0] || ScreenPixel(next) != before[1]; });
        if (k.Resize.X) s.Site->SetBounds(10, 10, k.Resize.X, k.Resize.Y);
        Pump(40);
        if (k.Cursor) {
            EXPECT_EQ(ci.hCursor, LoadCursorW(nullptr, k.Cursor)) << k.From.X << "," << k.From.Y;
        }
        EXPECT_TRUE(line || !k.Cursor || k.Resize.X) << k.From.X << "," << k.From.Y;
        EXPECT_EQ(s.Frames(), k.Frames) << k.To.X << "," << k.To.Y << " " << k.Resize.X;
    }
}

TEST(DockZones, AFloatingHostTakesASecondClientAndGoesWithTheLast) {
    ZoneScene s(2);
    ASSERT_TRUE(s.A->ManualFloat(Bounds(560, 300, 200, 120)));
    TWinControl* host = s.A->HostDockSite();
    const HWND wnd = host->Handle();
    // Raised grabber bars on the screen in the strip at client row Top.
    auto grabber = [&](int Top) {
        Shot shot(wnd, TShotPaint::Repainted);
        const TPoint o = host->ClientToScreen(Point(4, Top + 2));
        return CountIn(shot, Bounds(o.X - host->Left(), o.Y - host->Top(), 150, 8), Rgb(clBtnHighlight)) > 20;
    };
    EXPECT_FALSE(grabber(0));
    DragWithMouse(s.B->ClientToScreen(Point(60, 30)), host->ClientToScreen(Point(100, 110)));
    ASSERT_EQ(s.B->HostDockSite(), host);
    EXPECT_EQ(s.A->BoundsRect(), Rect(0, 12, 200, 58));
    EXPECT_EQ(s.B->BoundsRect(), Rect(0, 74, 200, 120));
    EXPECT_TRUE(grabber(0) && grabber(62));
    DragWithMouse(host->ClientToScreen(Point(60, 5)), s.OnSite(150, 75));  // A by its grabber
    EXPECT_EQ(s.A->HostDockSite(), s.Site);
    EXPECT_EQ(s.B->BoundsRect(), Rect(0, 0, 200, 120));
    EXPECT_FALSE(grabber(0));
    ASSERT_TRUE(s.B->ManualDock(s.Site, s.A, alRight));
    Pump(60);
    EXPECT_FALSE(IsWindow(wnd));
}
