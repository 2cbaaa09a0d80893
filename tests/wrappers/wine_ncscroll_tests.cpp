// The emulated non-client scroll bars on real windows: their room and hit
// codes, scrolling with the real mouse (arrow, auto-repeat, track page,
// thumb drag) as the window's own scroll position and message sequence show
// it, the painted pixels, and GDI and USER objects over many paints.
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "WrapperFixture.h"
#include "sScrollGeometry.h"

using namespace wraptest;

namespace {

LRESULT HitAt(HWND H, POINT P) { return SendMessageW(H, WM_NCHITTEST, 0, MAKELPARAM(short(P.x), short(P.y))); }

SCROLLINFO InfoOf(HWND H, int Bar) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(H, Bar, &si);
    return si;
}

// Where the parts of the vertical bar lie on the screen, as the wrapper hits them.
struct VBar {
    TRect R;
    int Arrow = 0;
    TacNCThumb Thumb;
    POINT At(int Along) const { return POINT{(R.Left + R.Right) / 2, R.Top + Along}; }
    POINT DownArrow() const { return At(R.Height() - Arrow / 2); }
    POINT ThumbCentre() const { return At(Thumb.Start + Thumb.Size / 2); }
    POINT BelowThumb() const { return At((Thumb.Start + Thumb.Size + R.Height() - Arrow) / 2); }
};
VBar VerticalBar(TacScrollWnd* W) {
    VBar v;
    v.R = GetVertBarRect(W, W->CtrlHandle);
    v.Arrow = GetScrollMetric(W->VertBar(), 0, false);
    const SCROLLINFO si = InfoOf(W->CtrlHandle, SB_VERT);
    TacScrollInfo i;
    i.nMin = si.nMin, i.nMax = si.nMax, i.nPage = si.nPage, i.nPos = si.nPos;
    v.Thumb = NCThumbGeometry(v.R.Height(), v.Arrow, i, 10);
    return v;
}

// The scroll messages of a log, each of which must stand between the
// commands 51 and 52 that name it: (code, position) in order.
struct Scroll {
    int Code, Pos;
};
::testing::AssertionResult Bracketed(const testwin::MessageLog& Traffic, UINT Msg, std::vector<Scroll>& Out) {
    const auto& e = Traffic.Entries();
    if (e.size() % 3) return ::testing::AssertionFailure() << e.size() << " messages are no whole triples";
    for (size_t i = 0; i < e.size(); i += 3) {
        const int code = LOWORD(e[i + 1].WParam);
        const LPARAM tag = MAKELONG(code, Msg);
        if (e[i].Msg != SM_ALPHACMD || SkinCommandOf(e[i].WParam) != scBeforeScroll || e[i].LParam != tag ||
            e[i + 1].Msg != Msg || e[i + 2].Msg != SM_ALPHACMD || SkinCommandOf(e[i + 2].WParam) != scAfterScroll ||
            e[i + 2].LParam != tag)
            return ::testing::AssertionFailure() << "message " << i + 1 << " is not bracketed by 51 and 52";
        Out.push_back({code, short(HIWORD(e[i + 1].WParam))});
    }
    return ::testing::AssertionSuccess();
}

// Times at which WM_VSCROLL with a code reaches the window, below the wrapper.
class ScrollClock {
public:
    ScrollClock(HWND H, int Code) : FWnd(H), FCode(Code) {
        g_Clock = this;
        FPrev = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~ScrollClock() {
        SetWindowLongPtrW(FWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrev));
        g_Clock = nullptr;
    }
    std::vector<double> Times;  // ms
    static double Now() {
        using namespace std::chrono;
        return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    }

private:
    static LRESULT CALLBACK Proc(HWND H, UINT M, WPARAM W, LPARAM L) {
        ScrollClock* c = g_Clock;
        if (M == WM_VSCROLL && LOWORD(W) == c->FCode) c->Times.push_back(Now());
        return CallWindowProcW(c->FPrev, H, M, W, L);
    }
    static inline ScrollClock* g_Clock = nullptr;
    HWND FWnd;
    int FCode;
    WNDPROC FPrev = nullptr;
};

struct ScrollFixture : FormFixture {
    std::unique_ptr<Subject> S;
    TacScrollWnd* W = nullptr;
    testwin::MessageLog Log;
    std::unique_ptr<BelowLog> Below;
    void Make(const SubjectSpec& Spec, TsSkinManager* M = Birch()) {
        S = MakeSubject(Form, Spec);
        Below = std::make_unique<BelowLog>(Log, *S);
        W = Wrap(*S, M);
        ASSERT_NE(W, nullptr);
        RedrawWindow(S->H, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        Pump(30);
        Log.Clear();
    }
    void TearDown() override {
        delete W;
        Below.reset();
        S.reset();
        FormFixture::TearDown();
    }
    // The bar's pixels as the screen shows them.
    testwin::Pixels Shown(const TRect& ScreenRect) {
        RECT wr{};
        GetWindowRect(S->H, &wr);
        const RECT r{ScreenRect.Left - wr.left, ScreenRect.Top - wr.top, ScreenRect.Right - wr.left,
                     ScreenRect.Bottom - wr.top};
        return testwin::CopyFromWindow(S->H, r, true);
    }
};

double SameShare(const testwin::Pixels& A, const testwin::Pixels& B) {
    if (A.Data.size() != B.Data.size() || A.Data.empty()) return 0;
    size_t same = 0;
    for (size_t i = 0; i < A.Data.size(); ++i) same += A.Data[i] == B.Data[i];
    return double(same) / double(A.Data.size());
}

}  // namespace

using NCScroll = ScrollFixture;

// The wrapper reserves the room the system would (none for a bar the style
// lacks) and answers the hit test in it: the bar's code when it can scroll,
// nothing when it cannot; the square between the bars is the size grip
// where the window ends at its top-level parent's client corner, elsewhere
// the window's own answer (kOwn).
TEST_F(NCScroll, RoomAndHitCodes) {
    struct Case {
        const char* Name;
        DWORD Bars;
        int Lines;
        bool InCorner;
        LRESULT VHit, HHit, CornerHit;
    };
    const DWORD both = WS_HSCROLL | WS_VSCROLL;
    constexpr LRESULT kOwn = -100;
    const Case cases[] = {
        {"both bars", both, 200, false, HTVSCROLL, HTHSCROLL, kOwn},
        {"both bars in the parent's corner", both, 200, true, HTVSCROLL, HTHSCROLL, HTBOTTOMRIGHT},
        {"vertical only", WS_VSCROLL, 200, false, HTVSCROLL, HTCLIENT, HTVSCROLL},
        {"no bars", 0, 200, false, HTCLIENT, HTCLIENT, HTCLIENT},
        {"nothing to scroll down", both, 2, false, HTNOWHERE, HTHSCROLL, kOwn},
    };
    RECT cr{};
    GetClientRect(Form->Handle(), &cr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRect b = c.InCorner ? Rect(cr.right - 240, cr.bottom - 180, cr.right, cr.bottom) : Rect(20, 20, 260, 200);
        auto s = MakeSubject(Form, {kEdit, b, c.Lines, c.Bars});
        RECT before{}, wr{};
        GetClientRect(s->H, &before);
        GetWindowRect(s->H, &wr);
        const int vt = GetSystemMetrics(SM_CXVSCROLL), ht = GetSystemMetrics(SM_CYHSCROLL);
        const POINT corner{wr.right - 2 - vt / 2, wr.bottom - 2 - ht / 2};
        const LRESULT own = HitAt(s->H, corner);
        TacScrollWnd* w = Wrap(*s, Birch());
        ASSERT_NE(w, nullptr);
        RECT after{};
        GetClientRect(s->H, &after);
        EXPECT_EQ(after.right, before.right);
        EXPECT_EQ(after.bottom, before.bottom);
        EXPECT_EQ(bool(w->VertBar()->Visible), (c.Bars & WS_VSCROLL) != 0);
        EXPECT_EQ(bool(w->HorzBar()->Visible), (c.Bars & WS_HSCROLL) != 0);
        // Where each bar is (or would be): right and bottom inside the border.
        ASSERT_EQ(w->EdgeRight, 2);
        ASSERT_EQ(w->EdgeBottom, 2);
        EXPECT_EQ(HitAt(s->H, POINT{corner.x, (wr.top + wr.bottom) / 2 - ht}), c.VHit);
        EXPECT_EQ(HitAt(s->H, POINT{(wr.left + wr.right) / 2 - vt, corner.y}), c.HHit);
        EXPECT_EQ(HitAt(s->H, corner), c.CornerHit == kOwn ? own : c.CornerHit);
        EXPECT_EQ(HitAt(s->H, POINT{wr.left + 30, wr.top + 30}), HTCLIENT);
        delete w;
    }
}

// A click on an arrow or on the track sends its one scroll message and the
// end of the scroll, each between the commands 51 and 52; the window itself
// scrolls by a line or a page.
TEST_F(NCScroll, ClickSendsOneScrollBetweenCommands) {
    struct Case {
        const char* Name;
        POINT (VBar::*Where)() const;
        int Code;
        bool Page;
    };
    for (const Case& c : {Case{"arrow", &VBar::DownArrow, SB_LINEDOWN, false},
                          Case{"track", &VBar::BelowThumb, SB_PAGEDOWN, true}}) {
        SCOPED_TRACE(c.Name);
        Make({kEdit});
        const SCROLLINFO before = InfoOf(S->H, SB_VERT);
        Click((VerticalBar(W).*c.Where)());
        std::vector<Scroll> sent;
        ASSERT_TRUE(Bracketed(ScrollTraffic(Log), WM_VSCROLL, sent));
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].Code, c.Code);
        EXPECT_EQ(sent[1].Code, SB_ENDSCROLL);
        const int moved = c.Page ? int(before.nPage) : 1;
        EXPECT_EQ(GetScrollPos(S->H, SB_VERT), before.nPos + moved);
        EXPECT_EQ(SendMessageW(S->H, EM_GETFIRSTVISIBLELINE, 0, 0), before.nPos + moved);
        TearDown();
        W = nullptr;
        SetUp();
    }
}

// Held on an arrow: a line at once, the next after 300 ms, then one every
// 55 ms; off the arrow the repeat pauses, back on it goes on.
TEST_F(NCScroll, HeldArrowRepeatsAfterTheFirstDelay) {
    Make({kEdit, Rect(20, 20, 260, 200), 400});
    const VBar v = VerticalBar(W);
    ScrollClock clock(S->H, SB_LINEDOWN);
    MouseMove(v.DownArrow());
    const double down = ScrollClock::Now();
    MouseButton(true);
    Pump(800);
    const size_t held = clock.Times.size();
    MouseMove(POINT{v.R.Left - 60, v.R.Top + 40});
    Pump(60);
    const size_t paused = clock.Times.size();
    Pump(250);
    EXPECT_EQ(clock.Times.size(), paused) << "the repeat went on off the arrow";
    MouseMove(v.DownArrow());
    Pump(200);
    EXPECT_GT(clock.Times.size(), paused) << "the repeat did not resume on the arrow";
    MouseButton(false);
    Pump(50);
    ASSERT_GE(held, 6u);
    EXPECT_LT(clock.Times[0] - down, 80.0);
    EXPECT_GE(clock.Times[1] - clock.Times[0], 270.0);
    EXPECT_LE(clock.Times[1] - clock.Times[0], 500.0);
    std::vector<double> gaps;
    for (size_t i = 2; i < held; ++i) gaps.push_back(clock.Times[i] - clock.Times[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    const double median = gaps[gaps.size() / 2];
    EXPECT_GE(median, 40.0);
    EXPECT_LE(median, 120.0);
    EXPECT_EQ(GetScrollPos(S->H, SB_VERT), int(clock.Times.size()));
    std::vector<Scroll> sent;
    ASSERT_TRUE(Bracketed(ScrollTraffic(Log), WM_VSCROLL, sent));
    EXPECT_EQ(sent.back().Code, SB_ENDSCROLL);
}

// A drag sends THUMBTRACK only when the position changes, then
// THUMBPOSITION and ENDSCROLL with the last one; past the end of the track
// the window shows its last page.
TEST_F(NCScroll, ThumbDragTracksChangedPositionsOnly) {
    Make({kEdit});
    const VBar v = VerticalBar(W);
    POINT p = v.ThumbCentre();
    MouseMove(p);
    MouseButton(true);
    Pump(30);
    for (int step : {1, 1, 1, 1, 3, 10, 25, 40, 60, 200}) {
        p.y += step;
        MouseMove(p);
    }
    MouseButton(false);
    Pump(50);
    std::vector<Scroll> sent;
    ASSERT_TRUE(Bracketed(ScrollTraffic(Log), WM_VSCROLL, sent));
    ASSERT_GE(sent.size(), 4u);
    const SCROLLINFO si = InfoOf(S->H, SB_VERT);
    const int last = si.nMax - int(si.nPage) + 1;
    for (size_t i = 0; i + 2 < sent.size(); ++i) {
        EXPECT_EQ(sent[i].Code, SB_THUMBTRACK);
        if (i > 0) {
            EXPECT_NE(sent[i].Pos, sent[i - 1].Pos);
        }
    }
    EXPECT_LT(sent.size() - 2, 10u) << "one pixel moves on a long range make no message each";
    EXPECT_EQ(sent[sent.size() - 3].Pos, last);
    EXPECT_EQ(sent[sent.size() - 2].Code, SB_THUMBPOSITION);
    EXPECT_EQ(sent[sent.size() - 2].Pos, last);
    EXPECT_EQ(sent.back().Code, SB_ENDSCROLL);
    EXPECT_EQ(si.nPos, last);
    EXPECT_EQ(SendMessageW(S->H, EM_GETFIRSTVISIBLELINE, 0, 0), last);
    EXPECT_EQ(GetCapture(), nullptr);
}

// What the screen shows of the bars is what the wrapper paints from the
// skin: not the system's bar, different in the two skins, and a pressed
// arrow differs from a resting one.
TEST_F(NCScroll, BarsOnScreenArePaintedFromTheSkin) {
    auto plain = MakeSubject(Form, {kEdit, Rect(240, 20, 440, 200)});
    Make({kEdit, Rect(20, 20, 220, 200)});
    auto night = MakeSubject(Form, {kEdit, Rect(20, 210, 220, 330), 200});
    TacScrollWnd* wn = Wrap(*night, Night());
    ASSERT_NE(wn, nullptr);
    RedrawWindow(night->H, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(50);
    const VBar v = VerticalBar(W);
    const testwin::Pixels shown = Shown(v.R);
    RECT wr{};
    GetWindowRect(S->H, &wr);
    const testwin::Pixels painted = testwin::Capture(wr.right - wr.left, wr.bottom - wr.top, [&](HDC dc) {
        PaintScrollBars(W, S->H, dc);
    });
    size_t same = 0;
    for (int y = 0; y < v.R.Height(); ++y)
        for (int x = 0; x < v.R.Width(); ++x) same += shown.At(x, y) == painted.At(v.R.Left - wr.left + x, v.R.Top - wr.top + y);
    EXPECT_EQ(same, shown.Data.size()) << "the screen shows something else than the bar the wrapper paints";

    RECT pr{};
    GetWindowRect(plain->H, &pr);
    const TRect plainBar = Rect(pr.right - 2 - v.R.Width(), pr.top + 2, pr.right - 2, pr.top + 2 + v.R.Height());
    EXPECT_LT(SameShare(shown, testwin::CopyFromWindow(plain->H,
                                                       RECT{plainBar.Left - pr.left, plainBar.Top - pr.top,
                                                            plainBar.Right - pr.left, plainBar.Bottom - pr.top},
                                                       true)),
              0.5);
    const TRect nr = GetVertBarRect(wn, night->H);
    RECT nwr{};
    GetWindowRect(night->H, &nwr);
    const testwin::Pixels nightBar = testwin::CopyFromWindow(
        night->H, RECT{nr.Left - nwr.left, nr.Top - nwr.top, nr.Right - nwr.left, nr.Top - nwr.top + 60}, true);
    const testwin::Pixels birchTop = Shown(Rect(v.R.Left, v.R.Top, v.R.Right, v.R.Top + 60));
    EXPECT_LT(SameShare(nightBar, birchTop), 0.5);
    delete wn;

    const TRect arrow = Rect(v.R.Left, v.R.Bottom - v.Arrow, v.R.Right, v.R.Bottom);
    const testwin::Pixels resting = Shown(arrow);
    MouseMove(v.DownArrow());
    MouseButton(true);
    Pump(60);
    const testwin::Pixels pressed = Shown(arrow);
    MouseButton(false);
    Pump(40);
    EXPECT_LT(SameShare(resting, pressed), 0.9) << "the pressed arrow looks as at rest";
}

TEST_F(NCScroll, PaintsLeaveGuiObjectsAsTheyWere) {
    Make({kEdit});
    PaintScrollBars(W, S->H);
    const testwin::GuiObjects before = testwin::CountGuiObjects();
    for (int i = 0; i < 100; ++i) {
        SendMessageW(S->H, WM_NCPAINT, 1, 0);
        PaintScrollBars(W, S->H, nullptr, i % 2 ? 40 : -1);
        SendScrollMessage(S->H, WM_VSCROLL, i % 2 ? SB_LINEDOWN : SB_LINEUP, 0);
        UpdateScrollInfo(W, true);
    }
    Pump(20);
    EXPECT_EQ(testwin::CountGuiObjects(), before);
}

// The repeat, first-delay and hover timers of a held arrow go when the press
// ends, however it ends; the shared mouse state forgets the window.
TEST_F(NCScroll, PressTimersEndWithThePress) {
    enum End { kRelease, kCaptureLost, kDetach, kDestroy };
    for (End e : {kRelease, kCaptureLost, kDetach, kDestroy}) {
        SCOPED_TRACE(int(e));
        Make({kEdit});
        const HWND h = S->H;
        MouseMove(VerticalBar(W).DownArrow());
        MouseButton(true);
        Pump(400);
        ASSERT_EQ(acScrollMouse.Wnd, h);
        ASSERT_NE(acScrollMouse.PressedPart, acPartNone);
        // Off the window, so no later move over a bar starts a new hover.
        RECT wr{};
        GetWindowRect(h, &wr);
        MouseMove(POINT{wr.right + 40, wr.bottom + 40});
        switch (e) {
        case kRelease: MouseButton(false); break;
        case kCaptureLost: SetCapture(Form->Handle()); break;
        case kDetach: DetachScrollWrapper(h, true, true, W); break;
        case kDestroy: DestroyWindow(h); break;
        }
        Pump(30);
        EXPECT_EQ(acScrollMouse.PressedPart, acPartNone);
        EXPECT_NE(acScrollMouse.Wnd, h);
        if (e != kDestroy) {
            for (UINT_PTR id : {acFirstDelayTimer, acRepeatTimer, acHoverTimer})
                EXPECT_FALSE(KillTimer(h, id)) << "timer " << std::hex << id << " still runs";
        }
        MouseButton(false);
        ReleaseCapture();
        Pump(30);
        TearDown();
        W = nullptr;
        SetUp();
    }
}

// A plain window gets the thumb position in its scroll information and in
// wParam; a window that answers command 51 with 1 gets it whole in lParam
// and keeps its scroll information.
TEST_F(NCScroll, ScrollMessageToPlainAndSkinnedWindows) {
    class TAnswering : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;
        LPARAM Got = -1;

    protected:
        void CreateParams(TCreateParams& P) override {
            TCustomControl::CreateParams(P);
            P.Style |= WS_VSCROLL;
        }
        void WndProc(TMessage& M) override {
            if (M.Msg == SM_ALPHACMD && SkinCommandOf(M.WParam) == scBeforeScroll) {
                M.Result = 1;
                return;
            }
            if (M.Msg == WM_VSCROLL) Got = M.LParam;
            TCustomControl::WndProc(M);
        }
    };
    auto* answering = new TAnswering(Form);
    answering->SetBounds(300, 20, 60, 200);
    answering->SetParent(Form);
    auto plain = MakeSubject(Form, {kEdit});
    for (HWND h : {plain->H, answering->Handle()}) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100000, 10, 0, 0};
        SetScrollInfo(h, SB_VERT, &si, FALSE);
    }
    SendScrollMessage(answering->Handle(), WM_VSCROLL, SB_THUMBTRACK, 70000);
    EXPECT_EQ(answering->Got, 70000);
    EXPECT_EQ(InfoOf(answering->Handle(), SB_VERT).nPos, 0);
    testwin::MessageLog log;
    BelowLog below(log, *plain);
    SendScrollMessage(plain->H, WM_VSCROLL, SB_THUMBTRACK, 42);
    EXPECT_TRUE(ScrollTraffic(log).Matches({{SM_ALPHACMD, WPARAM(SkinWParam(scBeforeScroll)), MAKELONG(SB_THUMBTRACK, WM_VSCROLL)},
                                            {WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 42), 0},
                                            {SM_ALPHACMD, WPARAM(SkinWParam(scAfterScroll)), MAKELONG(SB_THUMBTRACK, WM_VSCROLL)}}));
}

// Class-library scrolling controls: a wrapper while their skin state is
// skinned, the same one kept, none once no skin is left to paint from.
TEST_F(NCScroll, UpdateScrollWrapperFollowsTheSkinState) {
    auto s = MakeSubject(Form, {kClassLib});
    s->Data->SetSkinSection("EDIT");
    TacScrollWnd* w = nullptr;
    UpdateScrollWrapper(s->Data.get(), w);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(GetWrapper(s->H), w);
    TacScrollWnd* first = w;
    UpdateScrollWrapper(s->Data.get(), w);
    EXPECT_EQ(w, first);
    // A section the skin lacks still paints, from its default section.
    s->Data->SetSkinSection("NO SUCH SECTION");
    UpdateScrollWrapper(s->Data.get(), w);
    EXPECT_EQ(w, first);
    auto idle = std::make_unique<TsSkinManager>(nullptr);  // no skin loaded
    s->Data->WriteSkinManager(idle.get());
    UpdateScrollWrapper(s->Data.get(), w);
    EXPECT_EQ(w, nullptr);
    EXPECT_EQ(GetWrapper(s->H), nullptr);
}
