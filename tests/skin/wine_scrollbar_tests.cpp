// The skinned scroll bar under Wine: on its unskinned path (the system's
// scroll bar, driven by real mouse and key messages) and on its skinned path
// under a manager (the plain window, emulated scroll information, its own
// press handling and painting).
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

#include "Forms.h"
#include "Guards.h"
#include "MessageLog.h"
#include "TestSupport.h"
#include "TypeInfo.h"
#include "acBlend.h"
#include "sControlUtils.h"
#include "Themes.h"
#include "sScrollBar.h"
#include "sSkinManager.h"

namespace {

struct Events {
    std::vector<TScrollCode> Codes;
    std::vector<int> Positions;
    int Changes = 0;
    std::vector<size_t> UpsAfter;  // scroll events seen when each OnMouseUp came
    std::function<void()> Each;    // run inside every OnScroll
    void Scroll(TObject*, TScrollCode Code, int& Pos) {
        Codes.push_back(Code);
        Positions.push_back(Pos);
        if (Each) Each();
    }
    void Up(TObject*, TMouseButton, TShiftState, int, int) { UpsAfter.push_back(Codes.size()); }
    void Change(TObject*) { ++Changes; }
    int Count(TScrollCode C) const {
        int n = 0;
        for (TScrollCode c : Codes) n += c == C;
        return n;
    }
};

struct BarFixture : ::testing::Test {
    TForm* Form = nullptr;
    TsScrollBar* Bar = nullptr;
    Events Ev;
    void Make() {
        Form = new TForm(Application);
        Form->SetBounds(60, 60, 300, 400);
        Bar = new TsScrollBar(Form);
        Bar->SetKind(sbVertical);
        Bar->SetBounds(20, 20, 9, 313);
        Bar->SetMax(682);
        Bar->SetSmallChange(89);
        Bar->SetLargeChange(89);
        Bar->SetParent(Form);
        Bar->OnScroll = TScrollEvent::Of<&Events::Scroll>(&Ev);
        Bar->OnChange = TNotifyEvent::Of<&Events::Change>(&Ev);
        Bar->OnMouseUp = TMouseEvent::Of<&Events::Up>(&Ev);
        Form->Show();
        Pump(50);
    }
    void TearDown() override { delete Form; }
    HWND H() { return Bar->Handle(); }
    // Screen point of the bar's client point (X, Y).
    POINT Screen(int X, int Y) {
        POINT p{X, Y};
        ClientToScreen(H(), &p);
        return p;
    }
    // Real input: the cursor to client point (X, Y) of the bar, with Buttons there.
    void MouseTo(int X, int Y, DWORD Buttons = 0, int Ms = 30) {
        const POINT p = Screen(X, Y);
        testwin::MouseAt(p.x, p.y, Buttons);
        Pump(Ms);
    }
    void Click(int Y) {
        PostMessageW(H(), WM_MOUSEMOVE, 0, MAKELPARAM(4, Y));
        PostMessageW(H(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, Y));
        PostMessageW(H(), WM_LBUTTONUP, 0, MAKELPARAM(4, Y));
        Pump(60);
    }
};

}  // namespace

using UnskinnedBar = BarFixture;

TEST_F(UnskinnedBar, IsTheSystemScrollBar) {
    Make();
    wchar_t cls[64];
    GetClassNameW(H(), cls, 64);
    EXPECT_EQ(_wcsicmp(cls, L"ScrollBar"), 0);
    EXPECT_FALSE(Bar->Skinned());
}

TEST_F(UnskinnedBar, ArrowsPagesThumbTopAndBottomRaiseOnScrollAndOnChange) {
    Make();
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    Click(313 - arrow / 2);  // lower arrow
    ASSERT_FALSE(Ev.Codes.empty());
    EXPECT_EQ(Ev.Codes.front(), scLineDown);
    EXPECT_EQ(Ev.Positions.front(), 89);
    EXPECT_EQ(Ev.Codes.back(), scEndScroll);
    EXPECT_EQ(Bar->Position(), 89);
    EXPECT_EQ(Ev.Changes, 1);

    Ev = Events{};
    Bar->OnScroll = TScrollEvent::Of<&Events::Scroll>(&Ev);
    Bar->OnChange = TNotifyEvent::Of<&Events::Change>(&Ev);
    Click(250);  // the track below the thumb
    ASSERT_FALSE(Ev.Codes.empty());
    EXPECT_EQ(Ev.Codes.front(), scPageDown);
    EXPECT_EQ(Bar->Position(), 178);
    EXPECT_EQ(Ev.Codes.back(), scEndScroll);
    Click(arrow / 2);  // upper arrow
    EXPECT_EQ(Ev.Count(scLineUp), 1);
    EXPECT_EQ(Bar->Position(), 89);

    // Thumb drag: tracks, then the final position.
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    ASSERT_TRUE(GetScrollBarInfo(H(), OBJID_CLIENT, &sbi));
    const int thumbY = (sbi.xyThumbTop + sbi.xyThumbBottom) / 2;
    PostMessageW(H(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, thumbY));
    for (int y = thumbY; y <= thumbY + 100; y += 20) PostMessageW(H(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(4, y));
    PostMessageW(H(), WM_LBUTTONUP, 0, MAKELPARAM(4, thumbY + 100));
    Pump(80);
    EXPECT_GE(Ev.Count(scTrack), 1);
    EXPECT_EQ(Ev.Count(scPosition), 1);
    EXPECT_GT(Bar->Position(), 89);

    // Keys: Home and End give the top and the bottom.
    Bar->SetFocus();
    Pump(10);
    SendMessageW(H(), WM_KEYDOWN, VK_END, 0);
    Pump(10);
    EXPECT_EQ(Ev.Count(scBottom), 1);
    EXPECT_EQ(Bar->Position(), 682);
    SendMessageW(H(), WM_KEYDOWN, VK_HOME, 0);
    Pump(10);
    EXPECT_EQ(Ev.Count(scTop), 1);
    EXPECT_EQ(Bar->Position(), 0);
    // OnChange only when the position changed; OnScroll for every code.
    const int changes = Ev.Changes;
    SendMessageW(H(), WM_KEYDOWN, VK_HOME, 0);
    Pump(10);
    EXPECT_EQ(Ev.Count(scTop), 2);
    EXPECT_EQ(Ev.Changes, changes);
}

TEST_F(UnskinnedBar, ThumbIsRedrawnAfterAMove) {
    Make();
    SetFocus(Form->Handle());  // no focus caret blinking on the thumb
    SCROLLBARINFO was{}, now{};
    was.cbSize = now.cbSize = sizeof was;
    ASSERT_TRUE(GetScrollBarInfo(H(), OBJID_CLIENT, &was));
    const Pixels before = Grab(H());
    Bar->SetPosition(682);
    Pump(30);
    const Pixels after = Grab(H());
    ASSERT_TRUE(GetScrollBarInfo(H(), OBJID_CLIENT, &now));
    const int top0 = was.xyThumbTop, top1 = now.xyThumbTop, side = was.xyThumbBottom - top0;
    ASSERT_EQ(now.xyThumbBottom - top1, side);
    ASSERT_GT(top1, was.xyThumbBottom);
    // The thumb's picture stands where the bar now says, and not where it was.
    int moved = 0, stayed = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < before.Width; ++x) {
            moved += after.At(x, top1 + y) == before.At(x, top0 + y);
            stayed += after.At(x, top0 + y) == before.At(x, top0 + y);
        }
    const int all = side * before.Width;
    EXPECT_EQ(moved, all);
    EXPECT_LT(stayed, all / 2);
}

// ---- the skinned path, under a manager ----

namespace {
TsSkinTables BarSkin() {
    TsSkinTables t;
    auto sec = [](const char* n, TColor c) {
        TsGeneralData s;
        s.SectionName = n;
        s.Color = c;
        s.HotColor = c;
        return s;
    };
    t.Sections = {sec("TSSCROLLBAR", 0x808080), sec("SCROLLBAR1V", 0x0000C8), sec("SCROLLBAR2V", 0x00C800),
                  sec("SCROLLBTNTOP", 0xC80000), sec("SCROLLBTNBOTTOM", 0xC80000), sec("SCROLLSLIDERV", 0x00C8C8)};
    return t;
}
}  // namespace

struct SkinnedBar : BarFixture {
    TsSkinManager* M = nullptr;
    void SetUp() override {
        M = new TsSkinManager(nullptr);
        M->InstallSkin(BarSkin(), TsSkinValues{}, nullptr);
        M->BroadcastNewSkin(false);
        Make();
        // The first hit test re-creates the window as the skinned one.
        SendMessageW(H(), WM_NCHITTEST, 0, 0);
        Pump(20);
    }
    void TearDown() override {
        delete Form;
        Form = nullptr;
        delete M;
    }
};

TEST_F(SkinnedBar, PlainWindowWithEmulatedScrollInformation) {
    wchar_t cls[64];
    GetClassNameW(H(), cls, 64);
    EXPECT_EQ(wcscmp(cls, L"TsScrollBar"), 0);
    EXPECT_TRUE(Bar->Skinned());
    Bar->SetPosition(300);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(H(), SB_CTL, &si));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 682);
    EXPECT_EQ(si.nPos, 300);
    EXPECT_EQ(Bar->ScrollState().Shown, 300);
    // Position survives a switch back to the standard window.
    M->SetActive(false);
    Pump(20);
    GetClassNameW(H(), cls, 64);
    EXPECT_EQ(_wcsicmp(cls, L"ScrollBar"), 0);
    EXPECT_EQ(Bar->Position(), 300);
    EXPECT_EQ(GetScrollPos(H(), SB_CTL), 300);
}

TEST_F(SkinnedBar, ArrowPressRepeatsAndCaptureLossReleasesOnce) {
    const TacScrollGeometry g = Bar->Geometry();
    PostMessageW(H(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 313 - g.Arrow / 2));
    Pump(10);
    ASSERT_FALSE(Ev.Codes.empty());
    EXPECT_EQ(Ev.Codes.front(), scLineDown);
    EXPECT_EQ(Bar->PartStates().State[spArrow2], 2);
    EXPECT_TRUE(Bar->TimerRunning());
    EXPECT_FALSE(Application->ShowHint);
    // Held: repeats after 500 ms, then every 50 ms.
    Pump(700);
    EXPECT_GE(Ev.Count(scLineDown), 3);
    // The capture goes elsewhere: the press ends once, with no timer left.
    SendMessageW(H(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(Bar->TimerRunning());
    for (uint8_t s : Bar->PartStates().State) EXPECT_NE(s, 2);
    EXPECT_EQ(Ev.Count(scEndScroll), 1);
    EXPECT_TRUE(Application->ShowHint);
    PostMessageW(H(), WM_LBUTTONUP, 0, MAKELPARAM(4, 313 - g.Arrow / 2));
    SendMessageW(H(), WM_CAPTURECHANGED, 0, 0);
    Pump(60);
    EXPECT_EQ(Ev.Count(scEndScroll), 1);
    const int lines = Ev.Count(scLineDown);
    Pump(120);
    EXPECT_EQ(Ev.Count(scLineDown), lines);
}

TEST_F(SkinnedBar, TrackPressAndThumbDrag) {
    Bar->SetPosition(0);
    PostMessageW(H(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 200));
    PostMessageW(H(), WM_LBUTTONUP, 0, MAKELPARAM(4, 200));
    Pump(40);
    ASSERT_FALSE(Ev.Codes.empty());
    EXPECT_EQ(Ev.Codes.front(), scPageDown);
    EXPECT_EQ(Ev.Codes.back(), scEndScroll);
    EXPECT_FALSE(Bar->TimerRunning());
    const int afterPage = Bar->Position();
    EXPECT_EQ(afterPage, 89);

    Ev.Codes.clear();
    const TacScrollGeometry g = Bar->Geometry();
    const int thumb = g.ThumbCentre();
    PostMessageW(H(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, thumb));
    Pump(10);
    EXPECT_EQ(Bar->PartStates().State[spThumb], 2);
    POINT p{4, thumb + 80};
    ClientToScreen(H(), &p);
    SendMessageW(H(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    PostMessageW(H(), WM_LBUTTONUP, 0, MAKELPARAM(4, thumb + 80));
    Pump(40);
    EXPECT_GE(Ev.Count(scTrack), 2);  // the first, always, and the move
    EXPECT_EQ(Ev.Count(scPosition), 1);
    EXPECT_EQ(Ev.Codes.back(), scEndScroll);
    EXPECT_GT(Bar->Position(), afterPage + 100);
    EXPECT_FALSE(Bar->TimerRunning());
}

TEST_F(SkinnedBar, MovesThatChangeNothingPaintNothing) {
    Bar->SetPosition(0);
    Pump(20);
    const TacScrollGeometry g = Bar->Geometry();
    testwin::MessageLog log;
    testwin::LogWindow spy(log, H());
    auto paints = [&] {
        int n = 0;
        for (const testwin::LoggedMessage& e : log.Entries()) n += e.Msg == WM_PAINT;
        return n;
    };
    MouseTo(4, 200, 0, 60);
    log.Clear();
    for (int y = 201; y <= 206; ++y) MouseTo(4, y, 0, 20);  // over the track, nothing changes
    EXPECT_EQ(paints(), 0);
    // A drag held still off the bar: the drag timer ticks, the thumb stays.
    MouseTo(4, g.ThumbCentre());
    MouseTo(4, g.ThumbCentre(), MOUSEEVENTF_LEFTDOWN);
    ASSERT_EQ(Bar->PartStates().State[spThumb], 2);
    MouseTo(60, g.ThumbCentre(), 0, 100);
    log.Clear();
    Pump(400);
    EXPECT_EQ(paints(), 0);
    MouseTo(60, g.ThumbCentre(), MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(Bar->Position(), 0);
}

TEST_F(SkinnedBar, MouseUpComesBeforeTheEndOfTheScroll) {
    for (int part : {0, 1, 2}) {  // arrow, track, thumb
        const TacScrollGeometry g = Bar->Geometry();
        const int y = part == 0 ? 313 - g.Arrow / 2 : part == 1 ? 250 : g.ThumbCentre();
        Ev.Codes.clear();
        Ev.UpsAfter.clear();
        MouseTo(4, y);
        MouseTo(4, y, MOUSEEVENTF_LEFTDOWN, 10);
        MouseTo(4, y, MOUSEEVENTF_LEFTUP);
        ASSERT_GE(Ev.Codes.size(), 2u) << y;
        EXPECT_EQ(Ev.Codes.back(), scEndScroll) << y;
        ASSERT_EQ(Ev.UpsAfter.size(), 1u) << y;
        EXPECT_EQ(Ev.UpsAfter[0], Ev.Codes.size() - 1) << y;
    }
}

TEST_F(SkinnedBar, APaintForcedDuringAPressShowsTheLastImage) {
    Bar->SetPosition(341);
    Pump(20);
    const TacScrollGeometry g = Bar->Geometry();
    std::vector<TColor> seen;
    Ev.Each = [&] {
        if (!seen.empty()) return;
        RedrawWindow(H(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const testwin::Pixels px = testwin::CopyFromWindow(H(), RECT{0, 0, 9, 313});
        seen.push_back(TColor(testwin::SwapRedBlue(px.At(4, g.Arrow + 3))));
    };
    MouseTo(4, 313 - g.Arrow / 2);
    MouseTo(4, 313 - g.Arrow / 2, MOUSEEVENTF_LEFTDOWN, 10);
    MouseTo(4, 313 - g.Arrow / 2, MOUSEEVENTF_LEFTUP);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], 0x0000C8);  // the track before the thumb, as last painted
}

TEST_F(SkinnedBar, DuringAFadeAPendingRecreationWaits) {
    FadeInProgress = true;
    ScopeExit off([] { FadeInProgress = false; });
    auto* bar = new TsScrollBar(Form);
    bar->SetKind(sbVertical);
    bar->SetBounds(100, 20, 9, 200);
    bar->SetParent(Form);
    Pump(30);
    wchar_t cls[64];
    for (UINT msg : {WM_PAINT, WM_NCHITTEST}) {
        SendMessageW(bar->Handle(), msg, 0, 0);
        GetClassNameW(bar->Handle(), cls, 64);
        EXPECT_EQ(_wcsicmp(cls, L"ScrollBar"), 0) << msg;
    }
    FadeInProgress = false;
    SendMessageW(bar->Handle(), WM_NCHITTEST, 0, 0);
    GetClassNameW(bar->Handle(), cls, 64);
    EXPECT_EQ(wcscmp(cls, L"TsScrollBar"), 0);
}

TEST_F(SkinnedBar, PaintsItsSections) {
    Bar->SetPosition(341);
    Pump(20);
    const Pixels px = Grab(H());
    const TacScrollGeometry g = Bar->Geometry();
    EXPECT_EQ(px.ColorAt(4, g.Arrow + 3), 0x0000C8);             // track before the thumb
    EXPECT_EQ(px.ColorAt(4, g.Length - g.Arrow - 3), 0x00C800);  // track after
    EXPECT_EQ(px.ColorAt(4, g.ThumbCentre()), 0x00C8C8);         // thumb
    EXPECT_EQ(px.ColorAt(4, 2), 0xC80000);                       // arrow
}

TEST_F(SkinnedBar, DisabledCentresItsThumb) {
    Bar->SetPosition(100);
    Bar->SetEnabled(false);
    Pump(20);
    const TacScrollGeometry g = Bar->Geometry();
    EXPECT_EQ(g.ThumbCentre(), 313 / 2);
    EXPECT_EQ(g.PositionAt(250), 0);
    // The disabled look: half the parent's colour mixed in.
    const Pixels px = Grab(H());
    const TColor face = ColorToRGB(Form->Color());
    EXPECT_EQ(px.ColorAt(4, 313 / 2), BlendColors(0x00C8C8, face, 0.5));
    EXPECT_EQ(px.ColorAt(4, g.Arrow + 3), BlendColors(0x0000C8, face, 0.5));
    // A press on a disabled bar moves nothing.
    Ev.Codes.clear();
    PostMessageW(H(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 300));
    PostMessageW(H(), WM_LBUTTONUP, 0, MAKELPARAM(4, 300));
    Pump(30);
    EXPECT_TRUE(Ev.Codes.empty());
    EXPECT_EQ(Bar->Position(), 100);
}

TEST_F(SkinnedBar, ARefreshFromItsManagerMakesTheSkinnedWindowAgain) {
    Bar->SetPosition(300);
    const HWND before = H();
    // From a manager not its own: nothing happens.
    SendMessageW(before, SM_ALPHACMD, WPARAM(SkinWParam(scRefresh, 0)), LPARAM(1));
    EXPECT_EQ(H(), before);
    SendMessageW(before, SM_ALPHACMD, WPARAM(SkinWParam(scRefresh, 0)), LPARAM(M));
    Pump(20);
    EXPECT_FALSE(IsWindow(before));
    wchar_t cls[64] = {};
    GetClassNameW(H(), cls, 64);
    EXPECT_STREQ(cls, L"TsScrollBar");
    EXPECT_EQ(Bar->Position(), 300);
}

TEST(ScrollBarClass, UnderVisualStylesAnUnskinnedBarDropsTheParentBackground) {
    for (const bool themed : {true, false}) {
        SetThemeServicesOverride(themed ? 1 : 0);
        TsScrollBar bar(nullptr);
        bar.SetControlStyle(bar.ControlStyle() | csParentBackground);
        bar.Loaded();
        EXPECT_EQ((bar.ControlStyle() & csParentBackground) != 0, !themed) << themed;
    }
    SetThemeServicesOverride(-1);
}

TEST(ScrollBarClass, PublishedForTheFormReader) {
    sScrollBarInitialize();
    const TClassInfo* info = FindClassInfo("TsScrollBar");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->InheritsFrom("TScrollBar"));
    TForm* form = new TForm(Application);
    auto* bar = static_cast<TsScrollBar*>(info->Create(form));
    TReadContext ctx;
    ctx.Root = form;
    WriteProperty(bar, *info, "DisabledKind", [] {
        FormValue v;
        v.Kind = FormValueKind::Set;
        return v;
    }(), ctx);
    EXPECT_EQ(bar->DisabledKind(), 0u);
    FormValue grayed;
    grayed.Kind = FormValueKind::Set;
    grayed.Set = {"dkGrayed"};
    WriteProperty(bar, *info, "DisabledKind", grayed, ctx);
    EXPECT_EQ(bar->DisabledKind(), 1u << dkGrayed);
    WriteProperty(bar, *info, "SkinData.SkinSection", FormValue::MakeString("edit"), ctx);
    EXPECT_EQ(bar->SkinData()->SkinSection(), "EDIT");
    WriteProperty(bar, *info, "Max", FormValue::MakeInt(682), ctx);
    EXPECT_EQ(bar->Max(), 682);
    EXPECT_THROW(WriteProperty(bar, *info, "DisabledKind", FormValue::MakeIdent("dkGrayed"), ctx), EPropertyError);
    delete form;
}
