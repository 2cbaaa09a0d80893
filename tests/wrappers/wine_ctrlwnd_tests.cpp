// The wrappers of the plain controls under Wine, over real system windows
// ("STATIC", "SysLink", "BUTTON" of every kind) and the class library's
// controls over them, painted from the Birch test skin. The host window
// answers the engine's background query with one colour, as a skinned
// dialog would. Real mouse and keyboard input (SendInput); pixels read back
// from the screen; message logs where the order matters; GDI and USER
// objects counted round the paint loops.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "Buttons.h"
#include "Forms.h"
#include "HostedWrappers.h"
#include "MessageLog.h"
#include "SkinFixture.h"
#include "acPNG.h"
#include "StdCtrls.h"
#include "UnitInit.h"
#include "WinTestSupport.h"
#include "acSBUtilsCtrls.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

using namespace hostwrap;

namespace {

int g_Clicked = 0;  // BN_CLICKED heard by the host

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        StartHostedRun(ICC_LINK_CLASS | ICC_STANDARD_CLASSES);
        HostHears = [](UINT Msg, WPARAM W, LPARAM) {
            if (Msg == WM_COMMAND && HIWORD(W) == BN_CLICKED) ++g_Clicked;
        };
    }
    void TearDown() override { FinishHostedRun(); }
};
const auto* const g_Env = ::testing::AddGlobalTestEnvironment(new Environment);

// ---------------------------------------------------------------- input and pixels

POINT CentreOf(HWND Wnd) {
    RECT r;
    GetWindowRect(Wnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Keys(WORD Vk, bool Down, bool Up) {
    std::vector<INPUT> in;
    if (Down) in.push_back(testwin::KeyStroke(Vk, false));
    if (Up) in.push_back(testwin::KeyStroke(Vk, true));
    testwin::SendInputs(in);
    Pump();
}

// The skin's captions are dark on light faces.
bool Dark(uint32_t C) { return testwin::Red(C) + testwin::Green(C) + testwin::Blue(C) < 250; }

// ---------------------------------------------------------------- the fixture

struct Wrappers : HostFixture {
    void SetUp() override {
        HostFixture::SetUp();
        g_Clicked = 0;
    }
};

int GlobalMask(const char* Name) { return M->MaskIndexInherited(M->GlobalSection(), Name); }

// What a check glyph of the skin looks like in State over the host's colour,
// at the size of its cell.
std::vector<uint32_t> GlyphReference(const char* Name, int State, TSize& Cell) {
    const TsMaskData& md = M->ma()[size_t(GlobalMask(Name))];
    Cell = TSize{md.Image->Width() / 3, md.Image->Height() / 2};
    std::unique_ptr<TBitmap> b(CreateBitmap24(Cell.cx, Cell.cy));
    FillRectOnDC(b->Canvas()->Handle(), Rect(0, 0, Cell.cx, Cell.cy), kHostColor);
    CacheInfo self;
    self.Bmp = b.get();
    self.Ready = true;
    PaintGlyphFromImage(b.get(), Point(0, 0), State, 1, md, self);
    GdiFlush();
    std::vector<uint32_t> out;
    for (int y = 0; y < Cell.cy; ++y)
        for (int x = 0; x < Cell.cx; ++x) out.push_back(testwin::SwapRedBlue(uint32_t(b->Canvas()->Pixels(x, y))));
    return out;
}

}  // namespace

// ====================================================================== static texts

TEST_F(Wrappers, StaticTextIsSkinnedUnlessItHasATabStopOrAStaticEdge) {
    struct Case {
        const char* Name;
        DWORD Style, Ex;
        bool Skinned;
    } cases[] = {{"plain", SS_LEFT, 0, true},
                 {"static edge", SS_LEFT, WS_EX_STATICEDGE, false},
                 {"tab stop", SS_LEFT | WS_TABSTOP, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND s = Child(L"STATIC", L"Static text", c.Style, 10, 10, 150, 20, c.Ex);
        Wrap<TacStaticWnd>(s, "CHECKBOX");
        const Pixels p = Shot(s);
        EXPECT_EQ(p.Share(kHost) > 0.5, c.Skinned);
        if (c.Skinned) {
            EXPECT_FALSE(Find(p, Dark).Empty());
        }
        DestroyWindow(s);
    }
}

TEST_F(Wrappers, ANewStaticTextIsPaintedAtOnceAndReachesTheWindowOnce) {
    HWND s = Child(L"STATIC", L"Ab", SS_LEFT, 10, 10, 200, 20);
    testwin::MessageLog log;
    log.Ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_GETTEXTLENGTH, WM_GETTEXT, WM_CTLCOLORSTATIC, SM_ALPHACMD,
                WM_GETFONT, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCCALCSIZE, WM_SETREDRAW});
    testwin::LogWindow spy(log, s);
    auto* w = Wrap<TacStaticWnd>(s, "CHECKBOX");
    const Box before = Find(Shot(s), Dark);
    log.Clear();
    SetWindowTextW(s, L"Ab and a much longer text");
    const Box after = Find(Shot(s), Dark);
    EXPECT_TRUE(log.Matches({{WM_SETTEXT, testwin::kLParamAny}}));
    EXPECT_GT(after.R, before.R + 50);
    Free(w);  // before the spy, which sits under it
}

TEST_F(Wrappers, LinkTagsAreDroppedExactlyAsWritten) {
    struct Case {
        const wchar_t* Link;
        bool LikePlain;  // drawn like "Go here now"
    } cases[] = {{L"Go <A>here</A> now", true}, {L"Go <a>here</a> now", false}};
    HWND plain = Child(L"STATIC", L"Go here now", SS_LEFT, 10, 10, 220, 20);
    Wrap<TacStaticWnd>(plain, "CHECKBOX");
    const Pixels want = Shot(plain);
    for (const Case& c : cases) {
        HWND link = Child(WC_LINK, c.Link, 0, 10, 40, 220, 20);
        ASSERT_TRUE(link);
        Wrap<TacLinkWnd>(link, "CHECKBOX");
        EXPECT_EQ(Shot(link).Data == want.Data, c.LikePlain);
        DestroyWindow(link);
    }
}

TEST_F(Wrappers, AnIconIsDrawnAtItsOwnSizeAtTheTopLeft) {
    HWND s = Child(L"STATIC", nullptr, SS_ICON, 10, 10, 60, 50);
    HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    SendMessageW(s, STM_SETICON, WPARAM(icon), 0);
    SetWindowPos(s, nullptr, 0, 0, 60, 50, SWP_NOMOVE | SWP_NOZORDER);
    Wrap<TacIconWnd>(s, "CHECKBOX");
    const Pixels p = Shot(s);
    ICONINFO ii{};
    GetIconInfo(icon, &ii);
    BITMAP bm{};
    GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    const Pixels want = testwin::Capture(bm.bmWidth, bm.bmWidth, [&](HDC dc) {
        FillRectOnDC(dc, Rect(0, 0, bm.bmWidth, bm.bmWidth), kHostColor);
        DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    });
    const TRect cell = Rect(0, 0, std::min<int>(bm.bmWidth, 60), std::min<int>(bm.bmWidth, 50));
    EXPECT_EQ(Part(p, cell), Part(want, cell));
    EXPECT_EQ(Find(p, [](uint32_t c) { return c != kHost; }, RECT{bm.bmWidth, 0, 60, 50}).Empty(), true);
}

// ====================================================================== push buttons

TEST_F(Wrappers, APushButtonIsHotUnderTheMousePressedWhileHeldAndClicksOnce) {
    HWND plain = Child(L"BUTTON", L"Press", BS_PUSHBUTTON, 10, 10, 100, 30);
    HWND def = Child(L"BUTTON", L"Press", BS_DEFPUSHBUTTON, 10, 60, 100, 30);
    Wrap<TacBtnWnd>(plain, "BUTTON");
    Wrap<TacBtnWnd>(def, "BUTTON");
    const Pixels normal = Shot(plain), asDefault = Shot(def);
    const POINT c = CentreOf(plain);
    MouseTo(c.x, c.y);
    EXPECT_EQ(M->HotWindow(), plain);
    const Pixels hot = Shot(plain);
    EXPECT_NE(hot.Data, normal.Data);
    EXPECT_EQ(asDefault.Data, hot.Data);  // the default button shows hot
    MouseTo(c.x, c.y, MOUSEEVENTF_LEFTDOWN);
    const Pixels pressed = Shot(plain);
    const Box up = Find(hot, FontOf("BUTTON")), down = Find(pressed, FontOf("BUTTON"));
    ASSERT_FALSE(up.Empty());
    EXPECT_EQ(down.L - up.L, 1);
    EXPECT_EQ(down.T - up.T, 1);
    MouseTo(c.x, c.y, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(g_Clicked, 1);
    // Leaving onto the unskinned host lets go of the hot state.
    MouseTo(c.x, c.y + 150);
    // The system reports the leaving after its next look at the cursor.
    testwin::PumpUntil(&testwin::DispatchWaiting, [] { return M->HotWindow() == nullptr; }, 1000);
    EXPECT_EQ(M->HotWindow(), nullptr);
    SetFocus(Host);
    EXPECT_EQ(Shot(plain).Data, normal.Data);
}

TEST_F(Wrappers, PlainButtonsBreakTheirCaptionIntoWordsAndMultiLineOnesKeepItsLines) {
    // The same caption, too wide for the button: a plain button breaks it
    // at words, a multi-line one keeps it on its one line.
    int height[2] = {};
    const DWORD styles[2] = {BS_PUSHBUTTON, BS_PUSHBUTTON | BS_MULTILINE};
    for (int i = 0; i < 2; ++i) {
        HWND b = Child(L"BUTTON", L"one two three four five six", styles[i], 10, 10, 90, 70);
        Wrap<TacBtnWnd>(b, "BUTTON");
        const Pixels p = Shot(b);
        const Box ink = Find(p, FontOf("BUTTON"));
        ASSERT_FALSE(ink.Empty());
        height[i] = ink.Height();
        if (i == 1) {
            EXPECT_TRUE(ink.L <= 6 && ink.R >= 83);  // one line, out of the face on both sides
        }
        DestroyWindow(b);
    }
    EXPECT_GE(height[0], 2 * height[1]);
}

TEST_F(Wrappers, QuietStateChangesReachTheButtonWithItsRedrawingOff) {
    HWND b = Child(L"BUTTON", L"Quiet", BS_PUSHBUTTON, 10, 10, 100, 30);
    testwin::MessageLog log;
    log.Ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_GETTEXTLENGTH, WM_GETTEXT, WM_CTLCOLORBTN, SM_ALPHACMD,
                WM_GETFONT, BM_GETSTATE, WM_GETDLGCODE});
    testwin::LogWindow spy(log, b);
    auto* w = Wrap<TacBtnWnd>(b, "BUTTON");
    Pump();
    log.Clear();
    SendMessageW(b, BM_SETSTATE, TRUE, 0);
    SendMessageW(b, WM_ENABLE, FALSE, 0);
    EXPECT_TRUE(log.Matches({{WM_SETREDRAW, 0, 0}, {BM_SETSTATE, 1, 0}, {WM_SETREDRAW, 1, 0},
                             {WM_SETREDRAW, 0, 0}, {WM_ENABLE, 0, 0}, {WM_SETREDRAW, 1, 0}}));
    Free(w);
}

TEST_F(Wrappers, ADisabledButtonTakesNoFocusAndIsFadedTowardsItsBackground) {
    HWND on = Child(L"BUTTON", L"On", BS_PUSHBUTTON, 10, 10, 100, 30);
    HWND off = Child(L"BUTTON", L"On", BS_PUSHBUTTON | WS_DISABLED, 10, 60, 100, 30);
    Wrap<TacBtnWnd>(on, "BUTTON");
    Wrap<TacBtnWnd>(off, "BUTTON");
    SendMessageW(off, WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(SendMessageW(off, BM_GETSTATE, 0, 0) & BST_FOCUS);
    const uint32_t face = Shot(on).At(50, 3), faded = Shot(off).At(50, 3);
    // 0.4 of the face, 0.6 of the host's colour, channel by channel.
    for (int shift : {0, 8, 16}) {
        const int f = int(face >> shift & 0xFF), h = int(kHost >> shift & 0xFF), d = int(faded >> shift & 0xFF);
        EXPECT_NEAR(d, (4 * f + 6 * h) / 10, 2);
    }
}

TEST_F(Wrappers, ClassLibraryButtonsClickOnSpaceAndTheDefaultOneOnEnter) {
    auto* form = new THostForm(Application);
    form->SetBounds(40, 40, 300, 200);
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetBounds(10, 10, 90, 28);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    auto* other = new TButton(form);
    other->SetParent(form);
    other->SetBounds(10, 50, 90, 28);
    other->SetCaption("Other");
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    box->SetBounds(10, 90, 120, 20);
    box->SetCaption("Box");
    struct Counter {
        int Ok = 0, Other = 0;
        void OnOk(TObject*) { ++Ok; }
        void OnOther(TObject*) { ++Other; }
    } n;
    ok->OnClick = TNotifyEvent::Of<&Counter::OnOk>(&n);
    other->OnClick = TNotifyEvent::Of<&Counter::OnOther>(&n);
    form->Show();
    SetForegroundWindow(form->Handle());
    std::vector<std::unique_ptr<TsCommonData>> data;
    for (TWinControl* c : {static_cast<TWinControl*>(ok), static_cast<TWinControl*>(other)}) {
        data.emplace_back(new TsCommonData(c, true));
        Made.push_back(CreateWrapper<TacBtnWnd>(c->Handle(), true, "BUTTON", M, data.back().get()));
    }
    Pump();
    other->SetFocus();
    Keys(VK_SPACE, true, true);
    EXPECT_EQ(n.Other, 1);
    Keys(VK_RETURN, true, true);  // the focused button is the one Enter clicks
    EXPECT_EQ(n.Other, 2);
    EXPECT_EQ(n.Ok, 0);
    box->SetFocus();
    Keys(VK_RETURN, true, true);
    EXPECT_EQ(n.Ok, 1);
    // The default button looks hot while no other button has the focus, and
    // plain again once one has.
    const Pixels asDefault = Shot(ok->Handle());
    other->SetFocus();
    Pump();
    EXPECT_NE(Shot(ok->Handle()).Data, asDefault.Data);
    for (TacMainWnd* w : Made) delete w;
    Made.clear();
    delete form;
}

TEST_F(Wrappers, ABitmapButtonPlacesItsGlyphByItsLayoutAndShiftsTheCellItsGlyphCountGivesWhenPressed) {
    auto* form = new THostForm(Application);
    form->SetBounds(40, 40, 300, 200);
    form->Show();
    // Cells up, disabled, clicked, held down: red, green, blue, yellow squares
    // on the key colour of their corners.
    const TColor cells[] = {clRed, clLime, clBlue, clYellow};
    auto is = [](TColor C) { return [want = testwin::SwapRedBlue(uint32_t(C))](uint32_t v) { return v == want; }; };
    struct Case {
        TButtonLayout Layout;
        const char* Name;
        int Glyphs;
        TColor Pressed;
    } cases[] = {{blGlyphLeft, "left", 1, clRed},
                 {blGlyphRight, "right", 2, clRed},
                 {blGlyphTop, "top", 3, clBlue},
                 {blGlyphBottom, "bottom", 4, clYellow}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<TBitmap> glyph(CreateBitmap24(14 * c.Glyphs, 14));
        FillRectOnDC(glyph->Canvas()->Handle(), Rect(0, 0, 14 * c.Glyphs, 14), clFuchsia);
        for (int i = 0; i < c.Glyphs; ++i)
            FillRectOnDC(glyph->Canvas()->Handle(), Rect(14 * i + 2, 2, 14 * i + 12, 12), cells[i]);
        auto* b = new TBitBtn(form);
        b->SetParent(form);
        b->SetBounds(10, 10, 120, 60);
        b->SetCaption("Glyph");
        b->SetGlyph(glyph.get());
        b->SetNumGlyphs(c.Glyphs);
        b->SetLayout(c.Layout);
        TsCommonData data(b, true);
        auto* w = CreateWrapper<TacBitBtnWnd>(b->Handle(), true, "BUTTON", M, &data);
        const Pixels up = Shot(b->Handle());
        const Box g = Find(up, is(clRed)), t = Find(up, Dark, RECT{4, 4, 116, 56});
        ASSERT_FALSE(g.Empty());
        ASSERT_FALSE(t.Empty());
        EXPECT_EQ(g.R - g.L, 9);
        switch (c.Layout) {
        case blGlyphLeft: EXPECT_LT(g.R, t.L); break;
        case blGlyphRight: EXPECT_GT(g.L, t.R); break;
        case blGlyphTop: EXPECT_LT(g.B, t.T); break;
        case blGlyphBottom: EXPECT_GT(g.T, t.B); break;
        }
        // The glyph's corner from the window (w x h), glyph (gw x gh), text
        // (tw x th) and spacing s; the red cell starts 2 pixels in.
        {
            HDC dc = GetDC(b->Handle());
            SelectGuard font(dc, b->Font()->Handle());
            SIZE ts{};
            GetTextExtentPoint32W(dc, L"Glyph", 5, &ts);
            ReleaseDC(b->Handle(), dc);
            const int w = 120, h = 60, gw = 14, gh = 14, tw = ts.cx, th = ts.cy, s = b->Spacing();
            const POINT want = c.Layout == blGlyphLeft    ? POINT{(w - gw - tw - s) / 2, (h - gh) / 2}
                               : c.Layout == blGlyphRight ? POINT{(w + s + tw - gw) / 2, (h - gh) / 2}
                               : c.Layout == blGlyphTop   ? POINT{(w - gw) / 2 + 1, (h - gh - th - s) / 2}
                                                          : POINT{(w - gw) / 2 + 1, h - (h - gh - th - s) / 2 - gh};
            EXPECT_EQ(g.L - 2, want.x);
            EXPECT_EQ(g.T - 2, want.y);
        }
        SendMessageW(b->Handle(), BM_SETSTATE, TRUE, 0);
        const Pixels down = Shot(b->Handle());
        for (TColor cell : cells) EXPECT_EQ(Find(down, is(cell)).Empty(), cell != c.Pressed) << std::hex << uint32_t(cell);
        const Box pressed = Find(down, is(c.Pressed));
        EXPECT_EQ(pressed.L - g.L, 1);
        EXPECT_EQ(pressed.T - g.T, 1);
        delete w;
        delete b;
    }
    delete form;
}

// ====================================================================== check boxes

TEST_F(Wrappers, CheckGlyphsFollowTheKindAndStateOfTheBox) {
    struct Case {
        const char* Glyph;
        DWORD Style;
        WPARAM Check;
    } cases[] = {
        {"BOXUNCHECKED", BS_CHECKBOX, BST_UNCHECKED},    {"BOXCHECKED", BS_AUTOCHECKBOX, BST_CHECKED},
        {"BOXGRAYED", BS_3STATE, BST_INDETERMINATE},     {"BOXCHECKED", BS_AUTO3STATE, BST_CHECKED},
        {"RADIOCHECKED", BS_RADIOBUTTON, BST_CHECKED},   {"RADIOUNCHECKED", BS_AUTORADIOBUTTON, BST_UNCHECKED},
        {"RADIOCHECKED", BS_AUTORADIOBUTTON | BS_LEFTTEXT, BST_CHECKED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Glyph + std::string(c.Style & BS_LEFTTEXT ? ", text left" : ""));
        HWND b = Child(L"BUTTON", L"Choice", c.Style, 10, 10, 160, 24);
        SendMessageW(b, BM_SETCHECK, c.Check, 0);
        Wrap<TacCheckBoxWnd>(b, "CHECKBOX");
        const Pixels p = Shot(b);
        TSize cell;
        const std::vector<uint32_t> want = GlyphReference(c.Glyph, 0, cell);
        const bool left = c.Style & BS_LEFTTEXT;
        const int x = left ? 160 - cell.cx : 0, y = (24 - cell.cy) / 2;
        EXPECT_EQ(Part(p, Bounds(x, y, cell.cx, cell.cy)), want);
        const Box text = Find(p, Dark, left ? RECT{0, 0, x, 24} : RECT{cell.cx, 0, 160, 24});
        ASSERT_FALSE(text.Empty());
        if (left) {
            EXPECT_LE(text.L, 4);  // from x = 2
        }
        DestroyWindow(b);
    }
}

TEST_F(Wrappers, SpaceOnAFocusedBoxIsDrawnPressedAtOnceAndThenChecked) {
    HWND b = Child(L"BUTTON", L"Space", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 10, 160, 24);
    Wrap<TacCheckBoxWnd>(b, "CHECKBOX");
    SetFocus(b);
    TSize cell;
    const std::vector<uint32_t> pressed = GlyphReference("BOXUNCHECKED", 2, cell);
    const TRect glyph = Bounds(0, (24 - cell.cy) / 2, cell.cx, cell.cy);
    Keys(VK_SPACE, true, false);
    EXPECT_EQ(Part(Shot(b), glyph), pressed);
    Keys(VK_SPACE, false, true);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Part(Shot(b), glyph), GlyphReference("BOXCHECKED", 1, cell));  // focused: the hot cell
}

TEST_F(Wrappers, ClassLibraryBoxesStepThroughGrayedAndRadioButtonsExcludeEachOther) {
    auto* form = new THostForm(Application);
    form->SetBounds(40, 40, 300, 200);
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 150, 22);
    box->SetCaption("Three states");
    box->SetAllowGrayed(true);
    auto* r1 = new TRadioButton(form);
    r1->SetParent(form);
    r1->SetBounds(10, 50, 150, 22);
    r1->SetCaption("First");
    r1->SetChecked(true);
    auto* r2 = new TRadioButton(form);
    r2->SetParent(form);
    r2->SetBounds(10, 80, 150, 22);
    r2->SetCaption("Second");
    form->Show();
    SetForegroundWindow(form->Handle());
    std::vector<std::unique_ptr<TsCommonData>> data;
    for (TWinControl* c : {static_cast<TWinControl*>(box), static_cast<TWinControl*>(r1), static_cast<TWinControl*>(r2)}) {
        data.emplace_back(new TsCommonData(c, true));
        Made.push_back(CreateWrapper<TacCheckBoxWnd>(c->Handle(), true, "CHECKBOX", M, data.back().get()));
    }
    Pump();
    TSize cell;
    const POINT at = CentreOf(box->Handle());
    const char* const steps[] = {"BOXCHECKED", "BOXGRAYED", "BOXUNCHECKED"};
    const TCheckBoxState states[] = {cbChecked, cbGrayed, cbUnchecked};
    for (int i = 0; i < 3; ++i) {
        MouseTo(at.x, at.y, MOUSEEVENTF_LEFTDOWN);
        MouseTo(at.x, at.y, MOUSEEVENTF_LEFTUP);
        EXPECT_EQ(box->State(), states[i]);
        const std::vector<uint32_t> want = GlyphReference(steps[i], 1, cell);  // focused and hot
        EXPECT_EQ(Part(Shot(box->Handle()), Bounds(0, (22 - cell.cy) / 2, cell.cx, cell.cy)), want) << steps[i];
    }
    const POINT second = CentreOf(r2->Handle());
    MouseTo(second.x, second.y, MOUSEEVENTF_LEFTDOWN);
    MouseTo(second.x, second.y, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(r2->Checked());
    EXPECT_FALSE(r1->Checked());
    MouseTo(2, 2);
    EXPECT_EQ(Part(Shot(r1->Handle()), Bounds(0, (22 - cell.cy) / 2, cell.cx, cell.cy)),
              GlyphReference("RADIOUNCHECKED", 0, cell));
    for (TacMainWnd* w : Made) delete w;
    Made.clear();
    delete form;
}

// Without glyph images the state still shows: the system's box and mark in
// the sixteen-pixel glyph area, the caption after it.
TEST_F(Wrappers, ASkinWithoutCheckGlyphsShowsTheStateInASixteenPixelGlyphArea) {
    std::unique_ptr<TsSkinManager> bare(skinfixture::MakeManager());
    HWND b = Child(L"BUTTON", L"No glyphs", BS_AUTOCHECKBOX, 10, 10, 160, 24);
    SendMessageW(b, BM_SETCHECK, BST_CHECKED, 0);
    auto* w = CreateWrapper<TacCheckBoxWnd>(b, true, "CLEARX", bare.get(), nullptr);
    ASSERT_TRUE(w);
    InvalidateRect(b, nullptr, TRUE);
    const Pixels p = Shot(b);
    const Box glyph = Find(p, [](uint32_t c) { return c != kHost; }, RECT{0, 0, 16, 24});
    ASSERT_FALSE(glyph.Empty());
    EXPECT_LE(glyph.R, 15);
    const Box text = Find(p, Dark, RECT{17, 0, 160, 24});
    ASSERT_FALSE(text.Empty());
    EXPECT_GE(text.L, 18);
    EXPECT_LE(text.L, 22);
    delete w;
}

// ====================================================================== group boxes and panels

TEST_F(Wrappers, AGroupBoxFrameStopsBehindItsCaptionAndTheCaptionStopsAtTheEdge) {
    HWND g = Child(L"BUTTON", L"Group", BS_GROUPBOX, 10, 10, 200, 120);
    auto* w = Wrap<TacGroupBoxWnd>(g, "GROUPBOX");
    const Pixels p = Shot(g);
    const int band = int(SendMessageW(g, SM_ALPHACMD, WPARAM(SkinWParam(scQueryManager)), 0));
    const TRect caption = w->CaptionRect();
    EXPECT_EQ(band, caption.Bottom);
    const int frameTop = band / 2;
    // The frame runs along the top left of the caption and stops behind it.
    EXPECT_NE(p.At(2, frameTop + 1), kHost);
    EXPECT_EQ(p.At(caption.Left + 1, frameTop + 1), kHost);
    EXPECT_EQ(p.At(100, 2), kHost);  // above the frame: the parent
    // A caption wider than the box is cut before the last column.
    HWND narrow = Child(L"BUTTON", L"A much too long caption", BS_GROUPBOX, 220, 10, 60, 60);
    auto* n = Wrap<TacGroupBoxWnd>(narrow, "GROUPBOX");
    EXPECT_EQ(n->CaptionRect().Right, 59);
    const Pixels q = Shot(narrow);
    EXPECT_EQ(q.At(59, frameTop + 2), p.At(199, frameTop + 2));
}

TEST_F(Wrappers, RemovingTheSkinLeavesADialogGroupBoxIntact) {
    HWND g = Child(L"BUTTON", L"Group", BS_GROUPBOX, 10, 10, 200, 120);
    auto* w = Wrap<TacGroupBoxWnd>(g, "GROUPBOX");
    SendMessageW(g, SM_ALPHACMD, WPARAM(SkinWParam(scRemoveSkin)), LPARAM(M));
    InvalidateRect(g, nullptr, TRUE);
    const Pixels p = Shot(g);
    EXPECT_EQ(GetWrapper(g), w);
    EXPECT_TRUE(IsWindow(g));
    EXPECT_FALSE(Find(p, [](uint32_t c) { return c != kHost; }).Empty());
}

TEST_F(Wrappers, APanelIsPaintedWithTheSectionItsBevelsChoose) {
    struct Case {
        TPanelBevel Outer, Inner;
        TBorderStyle Border;
        const char* Section;
    } cases[] = {{bvLowered, bvRaised, bsNone, "GROUPBOX"}, {bvLowered, bvNone, bsNone, "PANEL_LOW"},
                 {bvRaised, bvLowered, bsNone, "GROUPBOX"}, {bvRaised, bvNone, bsNone, "PANEL"},
                 {bvNone, bvNone, bsSingle, "PANEL_LOW"},   {bvSpace, bvNone, bsNone, "CHECKBOX"}};
    auto* form = new THostForm(Application);
    form->SetBounds(40, 40, 300, 200);
    form->Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Section);
        auto* panel = new TPanel(form);
        panel->SetBevelOuter(c.Outer);
        panel->SetBevelInner(c.Inner);
        panel->SetBorderStyle(c.Border);
        panel->SetBounds(10, 10, 160, 100);
        panel->SetParent(form);
        TsCommonData data(panel, true);
        auto* w = CreateWrapper<TacPanelWnd>(panel->Handle(), true, "", M, &data);
        EXPECT_EQ(data.SkinSection(), c.Section);
        InvalidateRect(panel->Handle(), nullptr, TRUE);
        const uint32_t centre = Shot(panel->Handle()).At(80, 50);
        // The transparent sections show the form through the face.
        const TsGeneralData& s = M->gd()[size_t(M->SectionIndex(c.Section))];
        EXPECT_EQ(centre == kHost, s.Transparency == 100);
        delete w;
        delete panel;
    }
    delete form;
}

TEST_F(Wrappers, ATransparentPaneIsPaintedAroundItsChildWindows) {
    HWND pane = Child(L"#32770", nullptr, WS_CLIPCHILDREN, 10, 10, 240, 140);
    HWND button = CreateWindowExW(0, L"BUTTON", L"Inside", WS_CHILD | WS_VISIBLE, 20, 20, 90, 28, pane, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    Wrap<TacTransPanelWnd>(pane, "CHECKBOX");
    InvalidateRect(pane, nullptr, TRUE);
    const Pixels p = Shot(pane);
    EXPECT_EQ(p.At(200, 100), kHost);
    EXPECT_NE(p.At(60, 34), kHost);  // the child paints itself
    DestroyWindow(button);
}

TEST_F(Wrappers, APanelInADialogIsFramedRoundItsOwnFace) {
    // A plain panel and a control of another class: painting gives both the
    // skin's global colour.
    struct TOtherPanel : TPanel {
        using TPanel::TPanel;
        const char* ClassName() const override { return "TOtherPanel"; }
    };
    for (const bool plain : {true, false}) {
        SCOPED_TRACE(plain ? "TPanel" : "TOtherPanel");
        TPanel* panel = plain ? new TPanel(nullptr) : new TOtherPanel(nullptr);
        panel->SetParentWindow(Host);
        panel->SetBounds(10, 10, 160, 100);
        panel->SetBevelOuter(bvNone);
        panel->SetColor(clAqua);
        panel->HandleNeeded();
        ShowWindow(panel->Handle(), SW_SHOW);
        Application->InsertComponent(panel);
        auto* w = Wrap<TacDlgPanelWnd>(panel->Handle(), "");
        ASSERT_EQ(w->Control, panel);
        InvalidateRect(panel->Handle(), nullptr, TRUE);
        const Pixels p = Shot(panel->Handle());
        EXPECT_EQ(p.At(2, 50), kHost);  // the transparent frame
        EXPECT_EQ(p.At(80, 50), testwin::SwapRedBlue(uint32_t(ColorToRGB(M->GlobalColor()))));
        EXPECT_EQ(panel->Color(), M->GlobalColor());
        Free(w);
        Application->RemoveComponent(panel);
        delete panel;
    }
}

// ====================================================================== every kind

TEST_F(Wrappers, EveryKindPaintsAThousandTimesWithoutGrowingAndGivesItsProcedureBack) {
    struct Case {
        const char* Name;
        const wchar_t* Class;
        const wchar_t* Text;
        DWORD Style;
        std::function<TacMainWnd*(HWND)> Make;
    } cases[] = {
        {"static", L"STATIC", L"Text", SS_LEFT,
         [](HWND h) { return CreateWrapper<TacStaticWnd>(h, true, "CHECKBOX", M, nullptr); }},
        {"link", WC_LINK, L"A <A>link</A>", 0,
         [](HWND h) { return CreateWrapper<TacLinkWnd>(h, true, "CHECKBOX", M, nullptr); }},
        {"icon", L"STATIC", nullptr, SS_ICON,
         [](HWND h) { return CreateWrapper<TacIconWnd>(h, true, "CHECKBOX", M, nullptr); }},
        {"button", L"BUTTON", L"Button", BS_DEFPUSHBUTTON,
         [](HWND h) { return CreateWrapper<TacBtnWnd>(h, true, "BUTTON", M, nullptr); }},
        {"bitmap button", L"BUTTON", L"Bitmap", BS_PUSHBUTTON,
         [](HWND h) { return CreateWrapper<TacBitBtnWnd>(h, true, "BUTTON", M, nullptr); }},
        {"check box", L"BUTTON", L"Check", BS_AUTO3STATE,
         [](HWND h) { return CreateWrapper<TacCheckBoxWnd>(h, true, "CHECKBOX", M, nullptr); }},
        {"group box", L"BUTTON", L"Group", BS_GROUPBOX,
         [](HWND h) { return CreateWrapper<TacGroupBoxWnd>(h, true, "GROUPBOX", M, nullptr); }},
        {"pane", L"#32770", nullptr, 0,
         [](HWND h) { return CreateWrapper<TacTransPanelWnd>(h, true, "CHECKBOX", M, nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND h = Child(c.Class, c.Text, c.Style, 10, 10, 150, 60);
        CheckWrapperLife(h, c.Make, [](HWND H) {
            InvalidateRect(H, nullptr, TRUE);
            UpdateWindow(H);
        });
    }
}
