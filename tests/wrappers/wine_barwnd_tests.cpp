// The bar, tab, up-down, menu window and foreign combo box wrappers under
// Wine, over real common controls ("ToolbarWindow32" with an image list,
// "msctls_statusbar32", "SysTabControl32", "msctls_updown32" with a buddy),
// a size box, a real pop-up menu window opened by TrackPopupMenu, a combo box
// of another class, and the class library's tool bar, status bar, page
// control and up-down over them, painted from the Birch test skin. The host
// window answers the engine's background query with one colour, as a
// skinned dialog would. Real mouse and keyboard input (SendInput); pixels
// read back from the screen; GDI and USER objects counted round the paint
// loops.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Forms.h"
#include "Guards.h"
#include "ImgList.h"
#include "StdCtrls.h"
#include "Tabs.h"
#include "ToolBars.h"
#include "UnitInit.h"
#include "HostedWrappers.h"
#include "SkinCraft.h"
#include "TestSkins.h"
#include "WinTestSupport.h"
#include "acPNG.h"
#include "acSBUtilsBars.h"
#include "acSBUtilsMenus.h"
#include "acSBUtilsTabs.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

using namespace hostwrap;

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

std::vector<WPARAM> g_Commands;             // WM_COMMAND wParams heard by the host
std::function<void(HWND)> g_OnMenuIdle;     // called with the menu window while a menu shows

// What the host and its form do with what they hear: the host keeps the
// commands; both call the menu-idle hook once.
void HearMenuIdle(UINT Msg, WPARAM W, LPARAM L) {
    if (Msg == WM_ENTERIDLE && W == MSGF_MENU && g_OnMenuIdle) {
        auto once = std::move(g_OnMenuIdle);
        g_OnMenuIdle = nullptr;
        once(reinterpret_cast<HWND>(L));
    }
}
void HostHeard(UINT Msg, WPARAM W, LPARAM L) {
    if (Msg == WM_COMMAND) g_Commands.push_back(W);
    HearMenuIdle(Msg, W, L);
}

// A combo box of the class library under another class name.
class TFancyComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
    const char* ClassName() const override { return "TFancyComboBox"; }
};

int g_Exceptions = 0;
struct ExceptionCounter {
    void Handle(TObject*, const std::exception&) { ++g_Exceptions; }
} g_Counter;

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        StartHostedRun(ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES);
        StartUnits({{"acSBUtils", nullptr, FreePageWrappers}});
        HostHears = HostHeard;
        FormHears = HearMenuIdle;
        // A combo box of another class: the system's, under a name of its own.
        WNDCLASSW combo{};
        GetClassInfoW(nullptr, L"COMBOBOX", &combo);
        combo.hInstance = GetModuleHandleW(nullptr);
        combo.lpszClassName = L"FancyCombo";
        RegisterClassW(&combo);
        Application->OnException = TExceptionEvent::Of<&ExceptionCounter::Handle>(&g_Counter);
    }
    void TearDown() override { FinishHostedRun(); }
};
const auto* const g_Env = ::testing::AddGlobalTestEnvironment(new Environment);

// ---------------------------------------------------------------- input and pixels

// Client point (X, Y) of Wnd on the screen.
POINT OnScreen(HWND Wnd, int X, int Y) {
    POINT p{X, Y};
    ClientToScreen(Wnd, &p);
    return p;
}

void Click(HWND Wnd, int X, int Y) {
    const POINT p = OnScreen(Wnd, X, Y);
    MouseTo(p.x, p.y, MOUSEEVENTF_LEFTDOWN);
    MouseTo(p.x, p.y, MOUSEEVENTF_LEFTUP);
}

void Keys(std::initializer_list<WORD> Vks) {
    std::vector<INPUT> in;
    for (WORD vk : Vks) {
        in.push_back(testwin::KeyStroke(vk, false));
        in.push_back(testwin::KeyStroke(vk, true));
    }
    testwin::SendInputs(in);
}

std::function<bool(uint32_t)> Is(uint32_t Colour) {
    return [Colour](uint32_t C) { return C == Colour; };
}

uint32_t Rgb(TColor C) { return testwin::SwapRedBlue(uint32_t(ColorToRGB(C))); }

TRect AsRect(const RECT& R) { return Rect(R.left, R.top, R.right, R.bottom); }

// A 16 x 16 image list of a red, a green and a blue square.
HIMAGELIST ColourImages() {
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR24, 3, 0);
    WindowDC screen(nullptr);
    for (uint32_t c : {kRed, kGreen, kBlue}) {
        BitmapHandle bmp(CreateCompatibleBitmap(screen.Get(), 16, 16));
        {
            MemoryDC dc(screen.Get());
            SelectGuard sel(dc.Get(), bmp.Get());
            FillRectOnDC(dc.Get(), Rect(0, 0, 16, 16), TColor(testwin::SwapRedBlue(c)));
        }
        ImageList_Add(il, bmp.Get(), nullptr);
    }
    return il;
}

// ---------------------------------------------------------------- the fixture

struct Bars : HostFixture {
    std::vector<HIMAGELIST> Lists;

    Bars() { HostWidth = 460, HostHeight = 320; }
    void SetUp() override {
        g_Commands.clear();
        g_Exceptions = 0;
        HostFixture::SetUp();
    }
    void HostGone() override {
        for (HIMAGELIST il : Lists) ImageList_Destroy(il);
        FreePageWrappers();
    }
    HIMAGELIST Images() {
        Lists.push_back(ColourImages());
        return Lists.back();
    }
    // A flat tool bar with the colour images: (image, text, state, style) per button.
    HWND ToolBar(const std::vector<TBBUTTON>& Buttons, int X = 10, int Y = 10, int W = 400, int H = 60) {
        HWND tb = Child(TOOLBARCLASSNAMEW, L"", TBSTYLE_FLAT | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, X, Y, W, H);
        SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageW(tb, TB_SETIMAGELIST, 0, LPARAM(Images()));
        SendMessageW(tb, TB_SETMAXTEXTROWS, 2, 0);
        SendMessageW(tb, TB_ADDBUTTONSW, Buttons.size(), LPARAM(Buttons.data()));
        return tb;
    }
};

TBBUTTON Button(int Image, const wchar_t* Text, int Command, BYTE State = TBSTATE_ENABLED, BYTE Style = BTNS_BUTTON) {
    TBBUTTON b{};
    b.iBitmap = Image;
    b.idCommand = Command;
    b.fsState = State;
    b.fsStyle = Style;
    b.iString = reinterpret_cast<INT_PTR>(Text);
    return b;
}

TRect ItemRect(HWND Bar, int Index) {
    RECT r{};
    SendMessageW(Bar, TB_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r));
    return AsRect(r);
}

RECT In(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

}  // namespace

// ====================================================================== foreign tool bar

TEST_F(Bars, AToolBarShowsEveryButtonsImageStateAndCaption) {
    HWND tb = ToolBar({Button(0, L"Open", 1), Button(1, L"Save", 2, 0), Button(I_IMAGENONE, L"Plain", 3),
                       Button(2, L"Mark", 4, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK), Button(0, L"", 5, 0, BTNS_SEP)});
    auto* w = Wrap<TacToolBarWnd>(tb, "TOOLBAR");
    ASSERT_TRUE(w);
    const Pixels p = Shot(tb);
    // The first image of the list is drawn like any other, 4 pixels from the top.
    const TRect open = ItemRect(tb, 0), plain = ItemRect(tb, 2), mark = ItemRect(tb, 3), sep = ItemRect(tb, 4);
    const Box red = Find(p, Is(kRed), In(open));
    ASSERT_EQ(red.Width(), 16);
    EXPECT_EQ(red.T, open.Top + 4);
    EXPECT_EQ(red.L, open.Left + (open.Width() - 16) / 2);
    // No image on a button without one; a checked button is drawn held down.
    EXPECT_TRUE(Find(p, [](uint32_t c) { return c == kRed || c == kGreen || c == kBlue; }, In(plain)).Empty());
    const Box blue = Find(p, Is(kBlue), In(mark));
    ASSERT_EQ(blue.Width(), 16);
    EXPECT_EQ(blue.T, mark.Top + 5);
    EXPECT_EQ(blue.L, mark.Left + 1 + (mark.Width() - 16) / 2);
    EXPECT_FALSE(Find(p, FontOf("TOOLBAR"), In(open)).Empty());
    // The disabled button: 0.4 of its green over 0.6 of the bar, which the
    // separator shows in the same row.
    EXPECT_TRUE(Find(p, Is(kGreen)).Empty());
    const TRect save = ItemRect(tb, 1);
    const int gy = save.Top + 12, gx = save.Left + save.Width() / 2;
    const uint32_t faded = p.At(gx, gy), bar = p.At(sep.Left + sep.Width() / 2, gy);
    EXPECT_NEAR(testwin::Green(faded), (4 * 255 + 6 * testwin::Green(bar)) / 10, 3);
    EXPECT_NEAR(testwin::Red(faded), 6 * testwin::Red(bar) / 10, 3);
    EXPECT_EQ(w->ButtonText(1), "Open");
}

TEST_F(Bars, AToolButtonIsHotUnderTheMouseHeldDownWhilePressedAndClicksOnce) {
    HWND tb = ToolBar({Button(0, L"Open", 11), Button(1, L"Save", 12)});
    Wrap<TacToolBarWnd>(tb, "TOOLBAR");
    const TRect open = ItemRect(tb, 0);
    const Pixels normal = Shot(tb);
    const POINT c = OnScreen(tb, open.Left + open.Width() / 2, open.Top + open.Height() / 2);
    MouseTo(c.x, c.y);
    EXPECT_EQ(M->HotWindow(), tb);
    const Pixels hot = Shot(tb);
    EXPECT_NE(Part(hot, open), Part(normal, open));
    MouseTo(c.x, c.y, MOUSEEVENTF_LEFTDOWN);
    const Box up = Find(hot, Is(kRed)), down = Find(Shot(tb), Is(kRed));
    EXPECT_EQ(down.L - up.L, 1);
    EXPECT_EQ(down.T - up.T, 1);
    MouseTo(c.x, c.y, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(std::count(g_Commands.begin(), g_Commands.end(), WPARAM(11)), 1);
    MouseTo(2, 2);
    testwin::PumpUntil(&testwin::DispatchWaiting, [&] { return Part(Shot(tb), open) == Part(normal, open); }, 1000);
    EXPECT_EQ(Part(Shot(tb), open), Part(normal, open));
}

TEST_F(Bars, ACaptionOfSeveralWordsIsSplitAtAWordThatFits) {
    const std::wstring longCaption(300, L'x');
    HWND tb = ToolBar({Button(0, L"Everything Wonderful Here", 1), Button(1, longCaption.c_str(), 2),
                       Button(2, L"Go on", 3)});
    SendMessageW(tb, TB_SETBUTTONWIDTH, 0, MAKELPARAM(70, 70));
    SendMessageW(tb, TB_SETBUTTONSIZE, 0, MAKELPARAM(70, 56));
    auto* w = Wrap<TacToolBarWnd>(tb, "TOOLBAR");
    EXPECT_EQ(w->ButtonText(2), std::string(300, 'x'));
    const TRect r = ItemRect(tb, 0);
    const Pixels p = Shot(tb);
    const Box text = Find(p, FontOf("TOOLBAR"), In(Rect(r.Left, r.Top + 20, r.Right, r.Bottom)));
    ASSERT_FALSE(text.Empty());
    HDC dc = GetDC(tb);
    SelectGuard font(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    ReleaseDC(tb, dc);
    EXPECT_GT(text.Height(), tm.tmHeight);  // two lines
    EXPECT_GE(text.L, r.Left + 2);
    EXPECT_LE(text.R, r.Right - 2);
    // Two short words that would fit on one line go over two all the same.
    const TRect s = ItemRect(tb, 2);
    const Box shortText = Find(p, FontOf("TOOLBAR"), In(Rect(s.Left, s.Top + 20, s.Right, s.Bottom)));
    ASSERT_FALSE(shortText.Empty());
    EXPECT_GT(shortText.Height(), tm.tmHeight);
}

// ====================================================================== size grip

TEST_F(Bars, TheSizeGripShowsTheSkinsGripAndSizesFromEveryPoint) {
    HWND grip = Child(L"SCROLLBAR", nullptr, SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, 400, 260, 40, 40);
    Wrap<TacSizerWnd>(grip, "");
    // The size box takes the system's size at the bottom right of its place.
    const Pixels p = Shot(grip);
    EXPECT_EQ(p.At(0, 0), kHost);
    const TsMaskData& md = M->ma()[size_t(M->MaskIndexInherited(M->GlobalSection(), "GRIPIMAGE"))];
    const int cw = md.R.Width() / md.ImageCount, ch = md.R.Height() / (md.MaskType + 1);
    ASSERT_TRUE(cw <= p.Width && ch <= p.Height);
    const Pixels want = testwin::Capture(cw, ch, [&](HDC dc) {
        std::unique_ptr<TBitmap> b(CreateBitmap24(cw, ch));
        FillRectOnDC(b->Canvas()->Handle(), Rect(0, 0, cw, ch), kHostColor);
        PaintGlyphFromImage(b.get(), Point(0, 0), 0, 1, md, MakeBitmapBackground(b.get(), 0, 0));
        BitBlt(dc, 0, 0, cw, ch, b->Canvas()->Handle(), 0, 0, SRCCOPY);
    });
    EXPECT_EQ(Part(p, Bounds(p.Width - cw, p.Height - ch, cw, ch)), want.Data);
    EXPECT_NE(want.Count(kHost), cw * ch);
    for (POINT at : {POINT{1, 1}, POINT{p.Width / 2, 2}, POINT{p.Width - 1, p.Height - 1}}) {
        const POINT s = OnScreen(grip, at.x, at.y);
        EXPECT_EQ(SendMessageW(grip, WM_NCHITTEST, 0, MAKELPARAM(s.x, s.y)), HTBOTTOMRIGHT);
    }
}

// ====================================================================== status bar

TEST_F(Bars, AStatusBarShowsItsPartsAlignedOrOneSimplePanelOverItsWidth) {
    struct Case {
        const char* Name;
        std::function<HWND(Bars&, std::unique_ptr<TsCommonData>&)> Make;
    } cases[] = {
        {"system",
         [](Bars& B, std::unique_ptr<TsCommonData>&) {
             HWND sb = B.Child(STATUSCLASSNAMEW, L"", CCS_NOPARENTALIGN | CCS_NORESIZE, 10, 200, 400, 24);
             const int edges[] = {130, 270, -1};
             SendMessageW(sb, SB_SETPARTS, 3, LPARAM(edges));
             const wchar_t* texts[] = {L"Left", L"\tMiddle", L"\t\tRight"};
             for (int i = 0; i < 3; ++i) SendMessageW(sb, SB_SETTEXTW, i, LPARAM(texts[i]));
             return sb;
         }},
        {"class library",
         [](Bars&, std::unique_ptr<TsCommonData>& Data) {
             auto* form = new THostForm(Application);
             form->SetBounds(40, 40, 460, 320);
             form->Show();
             auto* bar = new TStatusBar(form);
             bar->SetParent(form);
             bar->SetAlign(alNone);
             bar->SetBounds(10, 200, 400, 24);
             bar->SetSizeGrip(false);
             const TAlignment a[] = {taLeftJustify, taCenter, taRightJustify};
             const char* texts[] = {"Left", "Middle", "Right"};
             for (int i = 0; i < 3; ++i) {
                 TStatusPanel* p = bar->Panels()->Add();
                 p->SetWidth(i < 2 ? 130 + 10 * i : 200);
                 p->SetText(texts[i]);
                 p->SetAlignment(a[i]);
             }
             Data.reset(new TsCommonData(bar, true));
             return bar->Handle();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<TsCommonData> data;
        HWND sb = c.Make(*this, data);
        auto* w = Wrap<TacStatusBarWnd>(sb, "STATUSBAR", data.get());
        ASSERT_TRUE(w);
        EXPECT_EQ(w->StatusBar != nullptr, data != nullptr);
        const Pixels p = Shot(sb);
        RECT parts[3];
        for (int i = 0; i < 3; ++i) SendMessageW(sb, SB_GETRECT, i, LPARAM(&parts[i]));
        const auto ink = FontOf("STATUSBAR");
        const Box left = Find(p, ink, parts[0]), mid = Find(p, ink, parts[1]), right = Find(p, ink, parts[2]);
        ASSERT_FALSE(left.Empty() || mid.Empty() || right.Empty());
        EXPECT_LE(left.L, parts[0].left + 6);
        EXPECT_NEAR((mid.L + mid.R) / 2, (parts[1].left + parts[1].right) / 2, 4);
        EXPECT_GE(right.R, parts[2].right - 10);
        // Each part is a panel of its own: its edge differs from its inside.
        const int y = 12, edge = parts[0].right - 2;
        EXPECT_NE(p.At(edge, y), p.At(parts[0].left + 60, y));
        // Simple: one panel over the whole bar, its long text read whole.
        const std::string text(600, 'x');
        const std::wstring wide(text.begin(), text.end());
        SendMessageW(sb, SB_SIMPLE, TRUE, 0);
        SendMessageW(sb, SB_SETTEXTW, SB_SIMPLEID, LPARAM(wide.c_str()));
        EXPECT_EQ(w->PanelText(-1), text);
        const Pixels s = Shot(sb);
        EXPECT_EQ(s.At(edge, s.Height - 3), s.At(parts[0].left + 60, s.Height - 3));
        EXPECT_FALSE(Find(s, ink).Empty());
        if (data) {
            Made.erase(std::remove(Made.begin(), Made.end(), w), Made.end());
            delete w;
            delete data->OwnerControl->Parent();
        }
    }
}

// ====================================================================== tab controls

namespace {

struct TabCase {
    const char* Name;
    DWORD Style;
    const char* Frame;     // the section of the page frame
    bool TextUpright;      // top and bottom tabs; side tabs turn their text
};
const TabCase kTabCases[] = {
    {"top", 0, "PAGECONTROL", true},
    {"bottom", TCS_BOTTOM, "PAGECONTROLBOTTOM", true},
    {"left", TCS_VERTICAL | TCS_MULTILINE, "PAGECONTROLLEFT", false},
    {"right", TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, "PAGECONTROLRIGHT", false},
};

void AddTabs(HWND Tab, std::initializer_list<const wchar_t*> Texts) {
    int i = int(SendMessageW(Tab, TCM_GETITEMCOUNT, 0, 0));
    for (const wchar_t* t : Texts) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(t);
        SendMessageW(Tab, TCM_INSERTITEMW, i++, LPARAM(&item));
    }
}

// What the selected tab looks like drawn alone.
std::vector<uint32_t> SelectedTab(TacTabControlWnd* W, TRect& R) {
    const int sel = int(SendMessageW(W->CtrlHandle, TCM_GETCURSEL, 0, 0));
    W->TabRect(sel, true, R);
    const Pixels p = testwin::Capture(R.Width(), R.Height(), [&](HDC dc) {
        std::unique_ptr<TBitmap> b(CreateBitmap24(R.Width(), R.Height()));
        W->DrawTab(sel, 2, Point(R.Left, R.Top), b.get());
        BitBlt(dc, 0, 0, R.Width(), R.Height(), b->Canvas()->Handle(), 0, 0, SRCCOPY);
    });
    return p.Data;
}

}  // namespace

TEST_F(Bars, TabsInEachPositionAreFramedByTheirSectionAndTheSelectedTabLiesOverTheFrame) {
    for (const TabCase& c : kTabCases) {
        SCOPED_TRACE(c.Name);
        HWND tab = Child(WC_TABCONTROLW, L"", c.Style, 10, 10, 320, 220);
        AddTabs(tab, {L"First", L"Second", L"Third"});
        SendMessageW(tab, TCM_SETCURSEL, 1, 0);
        auto* w = Wrap<TacTabControlWnd>(tab, "PAGECONTROL");
        const Pixels p = Shot(tab);
        EXPECT_EQ(w->SkinData->SkinSectionNo, M->SectionIndex(c.Frame));
        TRect sel;
        const std::vector<uint32_t> alone = SelectedTab(w, sel);
        ASSERT_GT(sel.Width(), 0);
        EXPECT_EQ(Part(p, sel), alone);
        const Box text = Find(p, FontOf(c.TextUpright ? "TABTOP" : "TABLEFT", true), In(sel));
        ASSERT_FALSE(text.Empty());
        EXPECT_EQ(text.Width() > text.Height(), c.TextUpright);
        // A click on another tab selects it, and it is drawn over the frame in turn.
        RECT third{};
        SendMessageW(tab, TCM_GETITEMRECT, 2, LPARAM(&third));
        Click(tab, (third.left + third.right) / 2, (third.top + third.bottom) / 2);
        EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 2);
        const std::vector<uint32_t> now = SelectedTab(w, sel);
        EXPECT_EQ(Part(Shot(tab), sel), now);
        MouseTo(2, 2);
        DestroyWindow(tab);
    }
}

TEST_F(Bars, ATabControlWithoutTabsIsPaintedAsABoxAndAnotherSectionStaysInEveryPosition) {
    HWND empty = Child(WC_TABCONTROLW, L"", 0, 10, 10, 200, 120);
    auto* e = Wrap<TacTabControlWnd>(empty, "PAGECONTROL");
    Shot(empty);
    EXPECT_EQ(e->SkinData->SkinSectionNo, M->SectionIndex("CHECKBOX"));
    for (const TabCase& c : kTabCases) {
        SCOPED_TRACE(c.Name);
        HWND tab = Child(WC_TABCONTROLW, L"", c.Style, 220, 10, 200, 160);
        AddTabs(tab, {L"One", L"Two"});
        SendMessageW(tab, TCM_SETCURSEL, 0, 0);
        auto* w = Wrap<TacTabControlWnd>(tab, "TABSHEET");
        Shot(tab);
        EXPECT_EQ(w->SkinData->SkinSectionNo, M->SectionIndex("TABSHEET"));
        DestroyWindow(tab);
    }
}

TEST_F(Bars, TabsThatBringScrollArrowsHaveTheArrowsWrappedAtOnce) {
    HWND tab = Child(WC_TABCONTROLW, L"", 0, 10, 10, 160, 100);
    AddTabs(tab, {L"One"});
    SendMessageW(tab, TCM_SETCURSEL, 0, 0);
    auto* w = Wrap<TacTabControlWnd>(tab, "PAGECONTROL");
    Shot(tab);
    EXPECT_EQ(w->SpinWnd, nullptr);
    const std::wstring longCaption(300, L'w');
    AddTabs(tab, {L"Two", L"Three", L"Four", L"Five", longCaption.c_str()});
    int image = 0;
    EXPECT_EQ(w->TabText(5, image), std::string(300, 'w'));
    const HWND arrows = FindWindowExW(tab, nullptr, UPDOWN_CLASSW, nullptr);
    ASSERT_TRUE(arrows);
    ASSERT_TRUE(w->SpinWnd);
    EXPECT_EQ(w->SpinWnd->CtrlHandle, arrows);
    EXPECT_EQ(GetWrapper(arrows), w->SpinWnd);
    EXPECT_EQ(w->SpinWnd->SkinData->SkinSection(), "UPDOWNBTN");
    // The arrows are painted from the skin, not the host's colour.
    EXPECT_NE(Shot(arrows).At(3, 3), kHost);
    // Once the tabs fit again the arrows go, and so does their wrapper.
    for (int i = 5; i > 0; --i) SendMessageW(tab, TCM_DELETEITEM, i, 0);
    InvalidateRect(tab, nullptr, TRUE);
    Shot(tab);
    EXPECT_EQ(w->SpinWnd, nullptr);
    EXPECT_EQ(GetWrapper(arrows), nullptr);
}

TEST_F(Bars, APageControlWrapsItsPagesWhichContinueTheFrame) {
    auto* form = new THostForm(Application);
    form->SetBounds(40, 40, 460, 320);
    form->Show();
    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    pages->SetBounds(10, 10, 400, 260);
    TTabSheet* sheet[2];
    for (int i = 0; i < 2; ++i) {
        sheet[i] = new TTabSheet(form);
        sheet[i]->SetCaption(i ? "Second" : "First");
        sheet[i]->SetParent(pages);
    }
    TsCommonData data(pages, true);
    auto* w = CreateWrapper<TacPageControlWnd>(pages->Handle(), true, "PAGECONTROL", M, &data);
    ASSERT_TRUE(w);
    RedrawWindow(pages->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    ASSERT_TRUE(PageWrappers);
    auto wrapped = [&](HWND h) {
        return std::any_of(PageWrappers->begin(), PageWrappers->end(), [&](TacPageWnd* p) { return p->CtrlHandle == h; });
    };
    EXPECT_TRUE(wrapped(sheet[0]->Handle()));
    const uint32_t frame = Rgb(M->gd()[size_t(M->SectionIndex("PAGECONTROL"))].Color);
    const Pixels first = Shot(sheet[0]->Handle());
    EXPECT_EQ(first.At(first.Width / 2, first.Height / 2), frame);
    // The top rows come from the frame's edge: the same as the page control shows beside the page.
    RECT pr{};
    GetWindowRect(sheet[0]->Handle(), &pr);
    MapWindowPoints(nullptr, pages->Handle(), reinterpret_cast<POINT*>(&pr), 2);
    const Pixels whole = Shot(pages->Handle());
    EXPECT_EQ(first.At(0, 0), whole.At(pr.left, pr.top));
    // A click on the second tab shows its page, wrapped and painted the same way.
    RECT tab{};
    SendMessageW(pages->Handle(), TCM_GETITEMRECT, 1, LPARAM(&tab));
    Click(pages->Handle(), (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    EXPECT_EQ(pages->ActivePage(), sheet[1]);
    EXPECT_TRUE(wrapped(sheet[1]->Handle()));
    const Pixels second = Shot(sheet[1]->Handle());
    EXPECT_EQ(second.At(second.Width / 2, second.Height / 2), frame);
    MouseTo(2, 2);
    FreePageWrappers();
    delete w;
    delete form;
}

// ====================================================================== up-down

TEST_F(Bars, PressingAHalfOfAnUpDownDrawsItPressedAndStepsItsBuddy) {
    struct Case {
        const char* Name;
        DWORD Style;
        bool Library;
        const char* After;  // the buddy's text after a press on the second half
    } cases[] = {{"vertical", 0, false, "4"}, {"horizontal", UDS_HORZ, false, "6"}, {"class library", 0, true, "4"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND buddy = nullptr, spin = nullptr;
        THostForm* form = nullptr;
        std::unique_ptr<TsCommonData> data;
        int clicks = 0;
        struct Counter {
            int* N;
            TUDBtnType Last = btNext;
            void OnClick(TObject*, TUDBtnType B) { ++*N, Last = B; }
        } counter{&clicks};
        if (c.Library) {
            form = new THostForm(Application);
            form->SetBounds(40, 40, 300, 200);
            form->Show();
            auto* edit = new TEdit(form);
            edit->SetParent(form);
            edit->SetBounds(10, 10, 80, 40);
            auto* ud = new TUpDown(form);
            ud->SetParent(form);
            ud->SetBounds(90, 10, 24, 40);
            ud->SetMin(0);
            ud->SetMax(10);
            ud->SetPosition(5);
            ud->SetAssociate(edit);
            ud->OnClick = TUDClickEvent::Of<&Counter::OnClick>(&counter);
            buddy = edit->Handle();
            spin = ud->Handle();
            data.reset(new TsCommonData(ud, true));
        } else {
            buddy = Child(L"EDIT", L"5", ES_NUMBER, 10, 10, 80, 40, WS_EX_CLIENTEDGE);
            spin = Child(UPDOWN_CLASSW, nullptr, UDS_SETBUDDYINT | UDS_ARROWKEYS | c.Style, 90, 10,
                         c.Style ? 40 : 24, c.Style ? 24 : 40);
            SendMessageW(spin, UDM_SETBUDDY, WPARAM(buddy), 0);
            SendMessageW(spin, UDM_SETRANGE32, 0, 10);
            SendMessageW(spin, UDM_SETPOS32, 0, 5);
        }
        auto* w = Wrap<TacSpinWnd>(spin, "SPEEDBUTTON_SMALL", data.get());
        ASSERT_TRUE(w);
        const Pixels normal = Shot(spin);
        TRect first, second;
        w->ButtonRects(first, second);
        const POINT at = OnScreen(spin, (second.Left + second.Right) / 2, (second.Top + second.Bottom) / 2);
        MouseTo(at.x, at.y);
        const Pixels hot = Shot(spin);
        EXPECT_NE(Part(hot, second), Part(normal, second));
        EXPECT_EQ(Part(hot, first), Part(normal, first));
        MouseTo(at.x, at.y, MOUSEEVENTF_LEFTDOWN);
        const Pixels pressed = Shot(spin);
        EXPECT_NE(Part(pressed, second), Part(hot, second));
        EXPECT_EQ(Part(pressed, first), Part(normal, first));
        MouseTo(at.x, at.y, MOUSEEVENTF_LEFTUP);
        Pump();
        wchar_t text[16] = {};
        GetWindowTextW(buddy, text, 16);
        EXPECT_EQ(std::wstring(text), std::wstring(c.After, c.After + strlen(c.After)));
        if (c.Library) {
            EXPECT_EQ(clicks, 1);
            EXPECT_EQ(counter.Last, btPrev);
        }
        MouseTo(2, 2);
        Made.erase(std::remove(Made.begin(), Made.end(), w), Made.end());
        delete w;
        if (form) {
            delete form;
        } else {
            DestroyWindow(spin);
            DestroyWindow(buddy);
        }
    }
}

TEST_F(Bars, AnUpDownWhoseSectionTheSkinLacksIsPaintedAsAButton) {
    HWND spin = Child(UPDOWN_CLASSW, nullptr, 0, 10, 10, 24, 40);
    auto* w = Wrap<TacSpinWnd>(spin, "NOSUCHSECTION");
    const Pixels p = Shot(spin);
    EXPECT_EQ(w->SkinData->SkinSection(), "BUTTON");
    EXPECT_NE(p.At(12, 10), kHost);
}

// ====================================================================== pop-up menu window

namespace {

int g_MenuWrappersFreed = 0;

struct CountedMnuWnd : TacMnuWnd {
    using TacMnuWnd::TacMnuWnd;
    ~CountedMnuWnd() override { ++g_MenuWrappersFreed; }
};

}  // namespace

TEST_F(Bars, AWrappedMenuWindowPaintsItsSectionStillWorksAndGoesWithItsMenu) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 101, L"First");
    AppendMenuW(menu, MF_STRING, 102, L"Second");
    AppendMenuW(menu, MF_STRING, 103, L"Third");
    g_MenuWrappersFreed = 0;
    // A cached background the menu's end must drop.
    auto cached = std::make_shared<TacMenuInfo>();
    cached->FirstItem = 101;
    AddMenuInfo(cached);
    HWND menuWnd = nullptr;
    uint32_t centre = 0;
    LRESULT skinned = 0;
    bool grown = true;
    g_OnMenuIdle = [&](HWND Wnd) {
        menuWnd = Wnd;
        SkinnedMenuShowing = true;
        ASSERT_TRUE(CreateWrapper<CountedMnuWnd>(Wnd, true, "MAINMENU", M, nullptr));
        skinned = SendMessageW(Wnd, SM_ALPHACMD, WPARAM(SkinWParam(scIsSkinned)), 0);
        RECT r;
        GetClientRect(Wnd, &r);
        const Pixels p = testwin::Capture(r.right, r.bottom, [&](HDC dc) { SendMessageW(Wnd, WM_ERASEBKGND, WPARAM(dc), 0); });
        centre = p.At(p.Width / 2, p.Height / 2);
        const testwin::GuiObjects before = testwin::CountGuiObjects();
        for (int i = 0; i < 1000; ++i) {
            SendMessageW(Wnd, WM_NCPAINT, 1, 0);
            testwin::Capture(r.right, r.bottom, [&](HDC dc) { SendMessageW(Wnd, WM_ERASEBKGND, WPARAM(dc), 0); });
        }
        grown = !(testwin::CountGuiObjects() == before);
        Keys({VK_DOWN, VK_DOWN, VK_RETURN});
    };
    const POINT at = OnScreen(Host, 50, 50);
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN, at.x, at.y, 0, Host, nullptr);
    DestroyMenu(menu);
    ASSERT_TRUE(menuWnd);
    EXPECT_EQ(skinned, 1);
    EXPECT_FALSE(grown);
    EXPECT_EQ(centre, Rgb(M->gd()[size_t(M->SectionIndex("MAINMENU"))].Color));
    EXPECT_EQ(chosen, 102);
    Pump();
    EXPECT_EQ(g_MenuWrappersFreed, 1);
    EXPECT_EQ(MenuCacheCount(), 0);
    EXPECT_FALSE(SkinnedMenuShowing);
}

// ====================================================================== foreign combo boxes

TEST_F(Bars, AForeignComboBoxAlwaysHasAButtonAndATComboBoxOnlyWhenItDropsDown) {
    const int bw = GetSystemMetrics(SM_CXVSCROLL);
    struct Case {
        const char* Name;
        DWORD Style, Ex;
        int Left;  // of the button; -1: none
    } system[] = {{"foreign list", CBS_DROPDOWNLIST, 0, 160 - bw - 2},
                  {"foreign simple", CBS_SIMPLE, 0, 160 - bw - 2},
                  {"right to left", CBS_DROPDOWNLIST, WS_EX_RTLREADING, 2}};
    for (const Case& c : system) {
        SCOPED_TRACE(c.Name);
        HWND combo = Child(L"FancyCombo", L"", c.Style | WS_VSCROLL, 10, 10, 160, c.Style == CBS_SIMPLE ? 100 : 200, c.Ex);
        auto* w = Wrap<TacExtComboBoxWnd>(combo, "COMBOBOX");
        ASSERT_TRUE(w);
        const TRect r = w->ButtonRect();
        EXPECT_EQ(r.Left, c.Left);
        EXPECT_EQ(r.Width(), bw);
        DestroyWindow(combo);
    }
    auto* form = new THostForm(Application);
    form->SetBounds(40, 40, 300, 200);
    form->Show();
    struct LibCase {
        const char* Name;
        TWinControl* Control;
        bool Button;
    };
    auto make = [&](TCustomComboBox* c, TComboBoxStyle s) {
        c->SetStyle(s);
        c->SetParent(form);
        c->SetBounds(10, 10, 160, 100);
        return c;
    };
    const LibCase lib[] = {{"TComboBox simple", make(new TComboBox(form), csSimple), false},
                           {"TComboBox drop-down", make(new TComboBox(form), csDropDown), true},
                           {"TComboBox list", make(new TComboBox(form), csDropDownList), true},
                           {"another class, simple", make(new TFancyComboBox(form), csSimple), true}};
    for (const LibCase& c : lib) {
        SCOPED_TRACE(c.Name);
        TsCommonData data(c.Control, true);
        auto* w = TacExtComboBoxWnd::CreateForControl(c.Control, true, "COMBOBOX", M, &data);
        ASSERT_TRUE(w);
        EXPECT_EQ(w->HasButton, c.Button);
        EXPECT_EQ(w->ButtonRect().Width(), c.Button ? bw : 0);
        delete w;
    }
    delete form;
}

TEST_F(Bars, AForeignComboBoxDropsDownFromItsSkinnedButtonAndChoosesByKey) {
    HWND combo = Child(L"FancyCombo", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 10, 200, 200);
    const std::wstring longItem(300, L'w');
    for (const wchar_t* t : {L"Alpha", L"Beta", longItem.c_str()}) SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(t));
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    auto* w = Wrap<TacExtComboBoxWnd>(combo, "COMBOBOX");
    const Pixels p = Shot(combo);
    const TRect b = w->ButtonRect();
    // The button is painted from its own section, not as the text area.
    EXPECT_NE(p.At(b.Left + b.Width() / 2, 4), p.At(40, 4));
    SetFocus(combo);
    Click(combo, b.Left + b.Width() / 2, b.Top + b.Height() / 2);
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    Keys({VK_HOME, VK_DOWN, VK_RETURN});
    Pump();
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
}

// ====================================================================== class-library tool bar

namespace {

struct LibBar {
    THostForm* Form = nullptr;
    TToolBar* Bar = nullptr;
    TImageList* List = nullptr;
    std::vector<TToolButton*> Buttons;
    HMENU Menu = nullptr;

    LibBar() {
        Form = new THostForm(Application);
        Form->SetBounds(40, 40, 460, 200);
        Form->Show();
        List = new TImageList(Form);
        List->SetHandle(ColourImages());
        Bar = new TToolBar(Form);
        Bar->SetParent(Form);
        Bar->SetAlign(alNone);
        Bar->SetBounds(10, 10, 420, 44);
        Bar->SetFlat(true);
        Bar->SetButtonWidth(50);
        Bar->SetButtonHeight(36);
        Bar->SetImages(List);
        Menu = CreatePopupMenu();
        AppendMenuW(Menu, MF_STRING, 201, L"Item");
        struct Spec {
            TToolButtonStyle Style;
            int Image;
            bool Enabled, Down;
        } specs[] = {{tbsButton, 0, true, false},    {tbsButton, 1, false, false}, {tbsSeparator, -1, true, false},
                     {tbsCheck, 2, true, true},      {tbsDropDown, 0, true, false}};
        for (const Spec& s : specs) {
            auto* b = new TToolButton(Form);
            b->SetStyle(s.Style);
            b->SetImageIndex(s.Image);
            b->SetEnabled(s.Enabled);
            b->SetParent(Bar);
            b->SetDown(s.Down);
            if (s.Style == tbsDropDown) b->SetDropdownMenu(Menu);
            Buttons.push_back(b);
        }
        Pump();
    }
    ~LibBar() {
        delete Form;
        DestroyMenu(Menu);
    }
    HWND Handle() const { return Bar->Handle(); }
    TRect Item(int I) const { return ItemRect(Bar->Handle(), I); }
};

}  // namespace

TEST_F(Bars, WithoutASkinTheClassLibraryToolBarDrawsAsItDoes) {
    LibBar bar;
    const Pixels plain = Shot(bar.Handle());
    auto* idle = new TsSkinManager(nullptr);
    idle->SetActive(false);
    TsCommonData data(bar.Bar, true);
    data.OwnManager = idle;
    auto* w = CreateWrapper<TacToolBarLibWnd>(bar.Handle(), true, "TOOLBAR", idle, &data);
    ASSERT_TRUE(w);
    bool def = true;
    w->DrawBar(bar.Bar, Rect(0, 0, 10, 10), cdPrePaint, def);
    EXPECT_TRUE(def);
    InvalidateRect(bar.Handle(), nullptr, TRUE);
    const Pixels after = Shot(bar.Handle());
    EXPECT_EQ(after.Data, plain.Data);
    delete w;
    // The events are the bar's own again.
    EXPECT_FALSE(bar.Bar->OnAdvancedCustomDraw);
    EXPECT_FALSE(bar.Bar->OnAdvancedCustomDrawButton);
    delete idle;
}

TEST_F(Bars, TheClassLibraryToolBarTracksItsHotButtonButNotOverSeparatorsDisabledOrDownButtons) {
    LibBar bar;
    TsCommonData data(bar.Bar, true);
    auto* w = CreateWrapper<TacToolBarLibWnd>(bar.Handle(), true, "TOOLBAR", M, &data);
    ASSERT_TRUE(w);
    InvalidateRect(bar.Handle(), nullptr, TRUE);
    const Pixels normal = Shot(bar.Handle());
    // The images are drawn, the red one of the first button included.
    EXPECT_FALSE(Find(normal, Is(kRed), In(bar.Item(0))).Empty());
    auto centre = [&](int I) {
        const TRect r = bar.Item(I);
        return OnScreen(bar.Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    for (int i : {1, 2, 3}) {  // disabled, separator, down
        SCOPED_TRACE(i);
        const POINT p = centre(i);
        MouseTo(p.x, p.y);
        EXPECT_EQ(w->HotButton, i == 3 ? 3 : -1);
        EXPECT_EQ(Shot(bar.Handle()).Data, normal.Data);
        MouseTo(2, 2);
        w->HotButton = -1;
    }
    const POINT p = centre(0);
    MouseTo(p.x, p.y);
    EXPECT_EQ(w->HotButton, 0);
    EXPECT_NE(Part(Shot(bar.Handle()), bar.Item(0)), Part(normal, bar.Item(0)));
    MouseTo(2, 2);
    testwin::PumpUntil(&testwin::DispatchWaiting, [&] { return w->HotButton == -1; }, 1000);
    EXPECT_EQ(w->HotButton, -1);
    EXPECT_EQ(Part(Shot(bar.Handle()), bar.Item(0)), Part(normal, bar.Item(0)));
    delete w;
}

TEST_F(Bars, TheClassLibraryToolBarRemembersItsOpenDropDownUntilTheMenuCloses) {
    LibBar bar;
    TsCommonData data(bar.Bar, true);
    auto* w = CreateWrapper<TacToolBarLibWnd>(bar.Handle(), true, "TOOLBAR", M, &data);
    ASSERT_TRUE(w);
    SetForegroundWindow(bar.Form->Handle());
    TToolButton* dropped = nullptr;
    const TRect r = bar.Item(4);
    const TRect arrow = Rect(r.Right - GetSystemMetrics(SM_CXVSCROLL) + 2, r.Top, r.Right, r.Bottom);
    Pixels open;
    g_OnMenuIdle = [&](HWND) {
        dropped = w->DroppedButton;
        UpdateWindow(bar.Handle());
        RECT c;
        GetClientRect(bar.Handle(), &c);
        open = testwin::CopyFromWindow(bar.Handle(), c);
        Keys({VK_ESCAPE});
    };
    Click(bar.Handle(), r.Right - 4, (r.Top + r.Bottom) / 2);
    Pump(100);
    EXPECT_EQ(dropped, bar.Buttons[4]);
    EXPECT_EQ(w->DroppedButton, nullptr);
    // The arrow shows pressed while its menu is open, and no longer once it has closed.
    MouseTo(2, 2);
    ASSERT_EQ(open.Width, Shot(bar.Handle()).Width);
    EXPECT_NE(Part(open, arrow), Part(Shot(bar.Handle()), arrow));
    MouseTo(2, 2);
    delete w;
}

// A skin of plain colours without a tool-button section: the bar's own.
constexpr uint32_t kSparseBar = 0x3070B0, kSparseInk = 0xC02020;  // 0x00RRGGBB

TsSkinManager* SparseSkin() {
    using namespace skincraft;
    auto colour = [](uint32_t Rgb) { return std::to_string(testwin::SwapRedBlue(Rgb)); };
    const std::string text = "[GLOBALINFO]\r\nCOLOR=" + colour(0xD0D0D0) + "\r\n[TOOLBAR]\r\nCOLOR=" +
                             colour(kSparseBar) + "\r\nHOTCOLOR=" + colour(kSparseBar) + "\r\nFONTCOLOR=" +
                             colour(kSparseInk) + "\r\nHOTFONTCOLOR=" + colour(kSparseInk) + "\r\n";
    const std::string dir = TempDir("barwnd_tests");
    WriteFolder(dir, "Sparse", {{"Options.dat", Text(text)}});
    return MakeSkinManager(nullptr, dir.c_str(), "Sparse");
}

// Without a tool-button section or any image both bars paint their buttons
// as the bar (never the black of a bitmap nobody painted) and show each
// drop-down's arrow, a plain one in the bar's font colour.
TEST_F(Bars, ASkinWithoutToolButtonsOrImagesStillShowsTheButtonsAndTheirDropDownArrows) {
    std::unique_ptr<TsSkinManager> sparse(SparseSkin());
    ASSERT_LT(sparse->SectionIndex("TOOLBUTTON"), 0);
    auto check = [](HWND Bar, const TRect& Face, const TRect& Drop, int ArrowWidth) {
        InvalidateRect(Bar, nullptr, TRUE);
        const Pixels p = Shot(Bar);
        EXPECT_TRUE(Find(p, Is(0), In(Face)).Empty());
        EXPECT_FALSE(Find(p, Is(kSparseBar), In(Face)).Empty());
        const Box arrow = Find(p, Is(kSparseInk), In(Rect(Drop.Right - ArrowWidth, Drop.Top, Drop.Right, Drop.Bottom)));
        EXPECT_GE(arrow.Width(), 5);
        EXPECT_GE(arrow.Height(), 3);
    };
    {
        SCOPED_TRACE("system tool bar");
        HWND tb = ToolBar({Button(0, L"", 1), Button(1, L"", 2, TBSTATE_ENABLED, BTNS_WHOLEDROPDOWN)});
        std::unique_ptr<TacMainWnd> w(CreateWrapper<TacToolBarWnd>(tb, true, "TOOLBAR", sparse.get(), nullptr));
        ASSERT_TRUE(w);
        check(tb, ItemRect(tb, 0), ItemRect(tb, 1), 16);
    }
    SCOPED_TRACE("class-library tool bar");
    LibBar lib;
    TsCommonData data(lib.Bar, true);
    data.OwnManager = sparse.get();
    std::unique_ptr<TacMainWnd> w(CreateWrapper<TacToolBarLibWnd>(lib.Handle(), true, "TOOLBAR", sparse.get(), &data));
    ASSERT_TRUE(w);
    check(lib.Handle(), lib.Item(0), lib.Item(4), GetSystemMetrics(SM_CXVSCROLL) - 2);
}

// ====================================================================== every kind

TEST_F(Bars, EveryKindPaintsAThousandTimesWithoutGrowingAndGivesItsProcedureBack) {
    struct Case {
        const char* Name;
        std::function<HWND(Bars&)> Window;
        std::function<TacMainWnd*(HWND)> Make;
    } cases[] = {
        {"tool bar", [](Bars& B) { return B.ToolBar({Button(0, L"Open", 1), Button(1, L"Two words", 2, 0)}); },
         [](HWND h) { return CreateWrapper<TacToolBarWnd>(h, true, "TOOLBAR", M, nullptr); }},
        {"size grip", [](Bars& B) { return B.Child(L"SCROLLBAR", nullptr, SBS_SIZEGRIP, 10, 10, 30, 30); },
         [](HWND h) { return CreateWrapper<TacSizerWnd>(h, true, "", M, nullptr); }},
        {"status bar",
         [](Bars& B) {
             HWND sb = B.Child(STATUSCLASSNAMEW, L"", CCS_NOPARENTALIGN | CCS_NORESIZE, 10, 10, 300, 24);
             const int edges[] = {100, -1};
             SendMessageW(sb, SB_SETPARTS, 2, LPARAM(edges));
             SendMessageW(sb, SB_SETTEXTW, 0, LPARAM(L"Text"));
             return sb;
         },
         [](HWND h) { return CreateWrapper<TacStatusBarWnd>(h, true, "STATUSBAR", M, nullptr); }},
        {"tab control",
         [](Bars& B) {
             HWND t = B.Child(WC_TABCONTROLW, L"", TCS_BOTTOM, 10, 10, 200, 150);
             AddTabs(t, {L"One", L"Two"});
             SendMessageW(t, TCM_SETCURSEL, 0, 0);
             return t;
         },
         [](HWND h) { return CreateWrapper<TacTabControlWnd>(h, true, "PAGECONTROL", M, nullptr); }},
        {"up-down", [](Bars& B) { return B.Child(UPDOWN_CLASSW, nullptr, UDS_HORZ, 10, 10, 40, 24); },
         [](HWND h) { return CreateWrapper<TacSpinWnd>(h, true, "SPEEDBUTTON_SMALL", M, nullptr); }},
        {"combo box", [](Bars& B) { return B.Child(L"FancyCombo", L"", CBS_DROPDOWN | WS_VSCROLL, 10, 10, 150, 200); },
         [](HWND h) { return CreateWrapper<TacExtComboBoxWnd>(h, true, "COMBOBOX", M, nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND h = c.Window(*this);
        CheckWrapperLife(h, c.Make, [](HWND H) {
            RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        });
    }
}

TEST_F(Bars, ClassLibraryBarsPaintAThousandTimesWithoutGrowing) {
    LibBar bar;
    TsCommonData data(bar.Bar, true);
    auto* w = CreateWrapper<TacToolBarLibWnd>(bar.Handle(), true, "TOOLBAR", M, &data);
    auto* pages = new TPageControl(bar.Form);
    pages->SetParent(bar.Form);
    pages->SetBounds(10, 60, 300, 120);
    auto* sheet = new TTabSheet(bar.Form);
    sheet->SetCaption("Page");
    sheet->SetParent(pages);
    TsCommonData pageData(pages, true);
    auto* p = CreateWrapper<TacPageControlWnd>(pages->Handle(), true, "PAGECONTROL", M, &pageData);
    ASSERT_TRUE(w && p);
    RedrawWindow(bar.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const testwin::GuiObjects before = testwin::CountGuiObjects();
    for (int i = 0; i < 1000; ++i)
        RedrawWindow(bar.Form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(testwin::CountGuiObjects(), before);
    FreePageWrappers();
    delete p;
    delete w;
}

TEST_F(Bars, AnExceptionWhilePaintingStopsAtTheWindowProcedure) {
    struct Throwing : TacSpinWnd {
        using TacSpinWnd::TacSpinWnd;
        bool IsVertical() const override { throw std::runtime_error("no orientation"); }
    };
    HWND spin = Child(UPDOWN_CLASSW, nullptr, 0, 10, 10, 24, 40);
    Wrap<Throwing>(spin, "SPEEDBUTTON_SMALL");
    InvalidateRect(spin, nullptr, TRUE);
    UpdateWindow(spin);
    Pump();
    EXPECT_GE(g_Exceptions, 1);
    EXPECT_TRUE(IsWindow(spin));
    // The window goes on answering through its wrapper.
    EXPECT_EQ(SendMessageW(spin, UDM_GETPOS32, 0, 0), 0);
}
