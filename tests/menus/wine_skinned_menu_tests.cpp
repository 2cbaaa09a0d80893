// Skinned menus under Wine, with each test skin: the manager's menu object
// hooks the form's menus and gives them back; real menus opened with the
// keyboard are measured and painted from the skin (a hot item, a disabled
// one, the frame, the bar) and read back from the menu windows; the chosen
// item's OnClick runs; the extra line is asked for; the pop-up's window is
// given back only while ours is its procedure; the application window's
// hook; items freed while shown; system objects over many openings.
#include <gtest/gtest.h>

#include <cmath>

#include "MenuDriver.h"
#include "MenuForm.h"
#include "Guards.h"
#include "TestSkins.h"
#include "UnitInit.h"
#include "acPNG.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sEngineUnits.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sSkinProvider.h"

using namespace menutest;

namespace {

using Names = std::vector<std::string>;

void StartEngine() {
    static const TUnitStep kUnits[] = {
        {"sConst", sConstInitialize, sConstFinalize},
        {"sThirdParty", sThirdPartyInitialize, sThirdPartyFinalize},
        {"sSkinManager", sSkinManagerInitialize, sSkinManagerFinalize},
        {"sMessages", sMessagesInitialize, nullptr},
        {"sAlphaGraph", sAlphaGraphInitialize, sAlphaGraphFinalize},
        {"acPNG", acPNGInitialize, acPNGFinalize},
        {"sSkinMenus", sSkinMenusInitialize, sSkinMenusFinalize},
    };
    StartUnits(kUnits);
}

// Colour distance of two 0x00RRGGBB pixels.
int Distance(uint32_t A, uint32_t B) {
    return std::abs(testwin::Red(A) - testwin::Red(B)) + std::abs(testwin::Green(A) - testwin::Green(B)) +
           std::abs(testwin::Blue(A) - testwin::Blue(B));
}
uint32_t Rgb(TColor C) { return testwin::SwapRedBlue(uint32_t(ColorToRGB(C))); }

// A window's pixels with the rectangle of one menu item in window coordinates.
struct ItemPixels {
    testwin::Pixels P;
    RECT R{};  // window coordinates
    // How far the pixel farthest from Rgb lies from it (the strongest ink over a face).
    int Farthest(uint32_t Rgb) const {
        int d = 0;
        for (int y = std::max(0, int(R.top)); y < std::min(P.Height, int(R.bottom)); ++y)
            for (int x = std::max(0, int(R.left)); x < std::min(P.Width, int(R.right)); ++x)
                d = std::max(d, Distance(P.At(x, y), Rgb));
        return d;
    }
    int Near(uint32_t Rgb, int Tolerance) const {
        int n = 0;
        for (int y = std::max(0, int(R.top)); y < std::min(P.Height, int(R.bottom)); ++y)
            for (int x = std::max(0, int(R.left)); x < std::min(P.Width, int(R.right)); ++x)
                if (Distance(P.At(x, y), Rgb) <= Tolerance) ++n;
        return n;
    }
};
ItemPixels PixelsOfItem(HWND Wnd, HMENU Menu, int Position) {
    RECT w;
    GetWindowRect(Wnd, &w);
    RECT r = ItemRect(nullptr, Menu, Position);
    OffsetRect(&r, -w.left, -w.top);
    return {testwin::CopyFromWindow(Wnd, RECT{0, 0, w.right - w.left, w.bottom - w.top}, true), r};
}

class SkinnedMenus : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        StartEngine();
        Form = ShowMenuForm();
        Manager = MakeSkinManager(Form.get(), TUVRELI_TEST_SKINS_DIR, GetParam());
        ASSERT_TRUE(Manager->SkinData()->Active());
        Pump(100);
    }
    void TearDown() override {
        Form.reset();
        EXPECT_EQ(MenuCacheCount(), 0);
    }
    TsSkinableMenus* Menus() const { return dynamic_cast<TsSkinableMenus*>(Manager->SkinableMenus()); }
    const TsGeneralData& Section(const char* Name) const {
        const int i = Manager->SectionIndex(Name);
        EXPECT_GE(i, 0) << Name;
        return Manager->gd()[size_t(std::max(i, 0))];
    }
    void DrivePopup(std::vector<Step> Steps, int TickMs = 150) {
        LoopScript script(std::move(Steps), TickMs);
        const POINT c = FormCentre(Form.get());
        Form->Popup()->Popup(c.x, c.y);
        Pump(100);
    }
    void Drive(std::vector<Step> Steps, int TickMs = 150) {
        LoopScript script(std::move(Steps), TickMs);
        PumpUntil([&] { return script.Done() && MenuWindows().empty(); }, 5000);
        Pump(100);
    }
    std::unique_ptr<TMenuForm> Form;
    TsSkinManager* Manager = nullptr;  // owned by the form
};

bool Hooked(TsSkinableMenus* M, TMenuItem* I) {
    return I->OnAdvancedDrawItem == TAdvancedMenuDrawItemEvent::Of<&TsSkinableMenus::DrawItem>(M) &&
           I->OnMeasureItem == TMenuMeasureItemEvent::Of<&TsSkinableMenus::MeasureItem>(M);
}
bool BarHooked(TsSkinableMenus* M, TMenuItem* I) {
    return I->OnAdvancedDrawItem == TAdvancedMenuDrawItemEvent::Of<&TsSkinableMenus::DrawLineItem>(M) &&
           I->OnMeasureItem == TMenuMeasureItemEvent::Of<&TsSkinableMenus::MeasureLineItem>(M);
}
void OwnDraw(void*, TObject*, TCanvas*, TRect, TOwnerDrawState) {}

}  // namespace

// The skin hooks every menu of the application's forms: bar items get the
// bar's handlers, others the pop-up's where they have none; an item's own
// handler stays through hooking and unhooking; without a skin, or without
// skinned pop-ups, the menus are the system's again, and turning pop-ups
// back on hooks them again.
TEST_P(SkinnedMenus, HookingKeepsTheItemsOwnHandlers) {
    TsSkinableMenus* m = Menus();
    ASSERT_NE(m, nullptr);
    TMenuItem* exit = Form->Item("FileExit");
    const auto own = TAdvancedMenuDrawItemEvent::Fn(nullptr, &OwnDraw);
    Manager->SetActive(false);
    exit->OnAdvancedDrawItem = own;
    Manager->SetActive(true);
    struct State {
        bool MainOwner, PopupOwner, Bar, Item, Popup, OwnKept, OwnMeasured;
        bool operator==(const State&) const = default;
    };
    auto now = [&] {
        return State{Form->Main()->OwnerDraw(), Form->Popup()->OwnerDraw(), BarHooked(m, Form->Item("FileMenu")),
                     Hooked(m, Form->Item("Recent1")), Hooked(m, Form->Item("MoreTwo")),
                     exit->OnAdvancedDrawItem == own,
                     exit->OnMeasureItem == TMenuMeasureItemEvent::Of<&TsSkinableMenus::MeasureItem>(m)};
    };
    EXPECT_TRUE(m->Active());
    EXPECT_EQ(now(), (State{true, true, true, true, true, true, true}));
    Manager->SetActive(false);
    EXPECT_FALSE(m->Active());
    EXPECT_EQ(now(), (State{false, false, false, false, false, true, false}));
    Manager->SetActive(true);
    EXPECT_EQ(now(), (State{true, true, true, true, true, true, true}));
    // Turning the pop-ups off leaves the hooks to the next hooking; turning
    // them on brings the active state up to date.
    Manager->SetSkinnedPopups(false);
    EXPECT_EQ(now(), (State{true, true, true, true, true, true, true}));
    Manager->SetSkinnedPopups(true);
    EXPECT_EQ(now(), (State{true, true, true, true, true, true, true}));
}

// A form whose provider leaves the non-client area to the system keeps the
// system's menu bar; its pop-ups are skinned all the same, also when the
// whole application is hooked again.
TEST_P(SkinnedMenus, ABarIsTheSkinsOnlyWhileTheProviderPaintsTheNonClientArea) {
    TsSkinableMenus* m = Menus();
    ASSERT_NE(m, nullptr);
    auto* provider = new TsSkinProvider(Form.get());
    Pump(50);
    for (const bool draw : {false, true, false}) {
        provider->SetDrawNonClientArea(draw);
        EXPECT_EQ(BarHooked(m, Form->Item("FileMenu")), draw) << draw;
        EXPECT_TRUE(Hooked(m, Form->Item("Recent1"))) << draw;
    }
    Manager->SetActive(false);
    Manager->SetActive(true);
    EXPECT_FALSE(BarHooked(m, Form->Item("FileMenu")));
    EXPECT_TRUE(Hooked(m, Form->Item("Recent1")));
}

// A pop-up opened with the keyboard: the items are measured by the skin's
// rules (a divider 2 pixels high, an item 1.25 text heights and both
// margins); the frame is the pop-up's background; the hot item is painted
// in the skin's hot look, a disabled item without its font colour; the chosen
// item's OnClick runs.
TEST_P(SkinnedMenus, PopupIsMeasuredAndPaintedFromTheSkin) {
    HMENU h = Form->Popup()->Handle();
    const TsGeneralData& item = Section("MENUITEM");
    const uint32_t menuColor = Rgb(Section("MAINMENU").Color), font = Rgb(item.FontColor[0]),
                   hotFont = Rgb(item.HotFontColor[0]);
    ItemPixels hot, normal, disabled;
    int dividerHeight = 0, itemHeight = 0;
    bool frameFromBackground = false;
    DrivePopup({[] { Keys({VK_DOWN}); },
                [&] {
                    HWND w = TopMenuWindow();
                    hot = PixelsOfItem(w, h, 0);
                    normal = PixelsOfItem(w, h, 1);
                    disabled = PixelsOfItem(w, h, 2);
                    RECT d = ItemRect(nullptr, h, 3), n = ItemRect(nullptr, h, 1);
                    dividerHeight = d.bottom - d.top;
                    itemHeight = n.bottom - n.top;
                    // The frame band beside an item is the background's.
                    TacMenuInfoRef info = FindMenuInfoByWindow(w);
                    if (info && info->Bmp) {
                        const int y = (normal.R.top + normal.R.bottom) / 2;
                        frameFromBackground = true;
                        for (int x = 0; x < Menus()->BorderWidth(); ++x)
                            frameFromBackground &= normal.P.At(x, y) ==
                                                   testwin::SwapRedBlue(info->Bmp->Canvas()->Pixels(x, y));
                    }
                    Keys({VK_DOWN});
                },
                [] { Keys({VK_RETURN}); }});
    // The text height of the menu font, as the skin measures it.
    TBitmap b;
    b.SetSize(4, 4);
    b.Canvas()->Font()->Assign(ScreenMenuFont());
    const int th = b.Canvas()->TextHeight("W");
    EXPECT_EQ(dividerHeight, 2);
    EXPECT_EQ(itemHeight, std::max(MenuLineTextHeight(th), 16) + 2 * Menus()->Margin());
    EXPECT_TRUE(frameFromBackground);
    // Normal: the menu's colour behind the text, the font colour in it.
    const int area = (normal.R.right - normal.R.left) * (normal.R.bottom - normal.R.top);
    EXPECT_GT(normal.Near(menuColor, 6), area / 3);
    EXPECT_GT(normal.Near(font, 60), 10);
    // Hot: another face, the hot font colour.
    EXPECT_LT(hot.Near(menuColor, 6), area / 10);
    EXPECT_GT(hot.Near(hotFont, 60), 10);
    // Disabled: its text mixed into the face (0.4 of the font) and the whole
    // item once more into the menu (0.4 of the item): the ink keeps about a
    // sixth of the font's distance from the menu's colour.
    const int ink = Distance(font, menuColor);
    EXPECT_GT(normal.Farthest(menuColor), ink * 8 / 10);
    EXPECT_LT(disabled.Farthest(menuColor), ink * 28 / 100);
    EXPECT_GT(disabled.Farthest(menuColor), ink * 8 / 100);
    EXPECT_GT(disabled.Near(menuColor, 6), area / 3);
    EXPECT_EQ(Form->Clicked, (Names{"PopCopy"}));
}

// The menu bar: the selected item in the skin's hot look, the others on the
// bar's own section; F10 and the arrows choose an item of a sub-menu, and so
// do the accelerators of the owner-drawn items (Alt and a letter on the
// bar, a letter in an open menu, also a pop-up menu's).
TEST_P(SkinnedMenus, BarIsPaintedFromTheSkinAndChoosesItems) {
    HMENU bar = Form->Main()->Handle();
    const uint32_t line = Rgb(Section("MENULINE").Color);
    ItemPixels selected, other;
    Drive({[] { Keys({VK_F10}); },
           [&] {
               selected = PixelsOfItem(Form->Handle(), bar, 0);
               other = PixelsOfItem(Form->Handle(), bar, 2);
               Keys({VK_DOWN});
           },
           [] { Keys({VK_DOWN}); },
           [] { Keys({VK_RETURN}); }});
    const int area = (other.R.right - other.R.left) * (other.R.bottom - other.R.top);
    EXPECT_GT(area, 0);
    EXPECT_GT(other.Near(line, 6), area / 2);
    EXPECT_LT(selected.Near(line, 6), area / 4);
    Drive({[] { Chord(VK_MENU, 'V'); }, [] { Keys({'S'}); }});
    DrivePopup({[] { Keys({'M'}); }, [] { Keys({VK_RETURN}); }});
    EXPECT_EQ(Form->Clicked, (Names{"FileOpen", "ViewSmall", "MoreOne"}));
    EXPECT_TRUE(Form->Item("ViewSmall")->Checked());
}

// The extra line: asked for once a pop-up is measured and built, painted at
// the left of the pop-up's first column; a pop-up whose first item is
// named "SkinSelectItem" never asks and shows none.
TEST_P(SkinnedMenus, ExtraLineIsAskedForUnlessTheFirstItemSaysNo) {
    struct Probe {
        int Asked = 0;
        static void Ask(void* P, TMenuItem*, AnsiString& Section, AnsiString& Caption, TBitmap*&, bool& Visible) {
            ++static_cast<Probe*>(P)->Asked;
            Section = "EXTRALINE";
            Caption = "&Tuvreli";
            Visible = true;
        }
    } probe;
    Manager->MenuSupport()->SetUseExtraLine(true);
    Manager->OnGetMenuExtraLineData = TacGetExtraLineData::Fn(&probe, &Probe::Ask);
    HMENU h = Form->Popup()->Handle();
    bool built = false, extra = false;
    int asked = 0, widths[2] = {};
    auto look = [&](int& Width) {
        TacMenuInfoRef info = FindMenuInfoByWindow(TopMenuWindow());
        built = bool(info);
        extra = built && info->HaveExtraLine;
        const RECT r = ItemRect(nullptr, h, 0);
        Width = r.right - r.left;
        asked = probe.Asked;
        Keys({VK_ESCAPE});
    };
    DrivePopup({[&] { look(widths[0]); }});
    EXPECT_GT(asked, 0);
    EXPECT_TRUE(extra);

    probe.Asked = 0;
    Form->Item("PopCut")->SetName("SkinSelectItem");
    DrivePopup({[&] { look(widths[1]); }});
    EXPECT_EQ(probe.Asked, 0);
    EXPECT_TRUE(built);
    EXPECT_FALSE(extra);
    // The first column's items are measured with the extra line's width.
    EXPECT_EQ(widths[0] - widths[1], Manager->MenuSupport()->ExtraLineWidth());
}

// The pop-up's window is taken over while it shows; when another procedure
// took it over after us, ours is not put back over it at the end.
TEST_P(SkinnedMenus, PopupWindowIsGivenBackOnlyWhileOursIsCurrent) {
    static WNDPROC engine = nullptr;
    static bool stillSpy = false, spied = false;
    struct Spy {
        static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM Wp, LPARAM Lp) {
            const LRESULT r = CallWindowProcW(engine, W, M, Wp, Lp);
            if (M == WM_NCDESTROY) {
                spied = true;
                stillSpy = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(W, GWLP_WNDPROC)) == &Spy::Proc;
            }
            return r;
        }
    };
    WNDPROC classProc = nullptr;
    DrivePopup({[&] {
                    HWND w = TopMenuWindow();
                    WNDCLASSW wc{};
                    GetClassInfoW(nullptr, L"#32768", &wc);
                    classProc = wc.lpfnWndProc;
                    engine = reinterpret_cast<WNDPROC>(
                        SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Spy::Proc)));
                    Keys({VK_ESCAPE});
                }});
    EXPECT_NE(engine, classProc);  // the engine had taken it over
    EXPECT_TRUE(spied);
    EXPECT_TRUE(stillSpy);
}

// The application window's hook: theme changes are swallowed while the
// manager lives and reach later hooks once it is gone; a request for an
// item that no longer exists is answered without touching it; a request
// naming an open pop-up's window paints its background there.
TEST_P(SkinnedMenus, ApplicationWindowHook) {
    struct Seen {
        int Theme = 0;
        static bool Hook(void* P, TMessage& M) {
            if (M.Msg == WM_THEMECHANGED) ++static_cast<Seen*>(P)->Theme;
            return false;
        }
    } seen;
    const TWindowHook hook = TWindowHook::Fn(&seen, &Seen::Hook);
    Application->HookMainWindow(hook);
    HWND app = Application->Handle();
    SendMessageW(app, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(seen.Theme, 0);

    auto* gone = new TMenuItem(nullptr);
    const UINT number = gone->Command();
    delete gone;
    PostMessageW(app, acMenuItemPopupMsg, 0, LPARAM(number));
    Pump(50);

    // A bar item's request finds the form's window, which is no pop-up: left alone.
    const LONG_PTR formProc = GetWindowLongPtrW(Form->Handle(), GWLP_WNDPROC);
    SendMessageW(app, acMenuItemPopupMsg, 0, LPARAM(Form->Item("EditMenu")->Command()));
    EXPECT_EQ(GetWindowLongPtrW(Form->Handle(), GWLP_WNDPROC), formProc);

    // Scribbled over, then the background asked for by the window and by an item.
    std::vector<bool> painted;
    auto repaintBy = [&](UINT Msg, LPARAM Param) {
        HWND w = TopMenuWindow();
        TacMenuInfoRef info = FindMenuInfoByWindow(w);
        {
            WindowDC dc(w, WindowDC::Window);
            FillRectOnDC(dc.Get(), TRect{0, 0, 3, 3}, clRed);
        }
        SendMessageW(app, Msg, 0, Param ? Param : LPARAM(w));
        const testwin::Pixels p = MenuPixels(w);
        painted.push_back(info && info->Bmp && p.At(1, 1) != 0xFF0000 &&
                          p.At(1, 1) == testwin::SwapRedBlue(info->Bmp->Canvas()->Pixels(1, 1)));
    };
    const LPARAM copy = LPARAM(Form->Item("PopCopy")->Command());
    DrivePopup({[&] { repaintBy(acMenuWindowPopupMsg, 0); },
                [&] {
                    repaintBy(acMenuItemPopupMsg, copy);
                    Keys({VK_ESCAPE});
                }});
    EXPECT_EQ(painted, (std::vector<bool>{true, true}));

    delete Manager;
    Manager = nullptr;
    SendMessageW(app, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(seen.Theme, 1);
    Application->UnhookMainWindow(hook);
}

// Items freed and changed while a skinned pop-up shows: drawn again, left,
// closed, its background cache emptied; many openings leave no objects.
TEST_P(SkinnedMenus, FreedItemsAndManyOpeningsLeaveNothingBehind) {
    DrivePopup({[] { Keys({VK_DOWN}); },
                [&] {
                    delete Form->Item("PopCut");
                    Form->Item("PopCopy")->SetCaption("Changed");
                    RedrawWindow(TopMenuWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                },
                [] { Keys({VK_DOWN}); },
                [] { Keys({VK_ESCAPE}); }});
    EXPECT_EQ(MenuCacheCount(), 0);
    EXPECT_TRUE(Form->Clicked.empty());

    auto openBoth = [&] {
        DrivePopup({[] { Keys({VK_DOWN}); }, [] { Keys({VK_ESCAPE}); }}, 40);
        Drive({[] { Keys({VK_F10, VK_DOWN}); }, [] { Keys({VK_ESCAPE, VK_ESCAPE}); }}, 40);
    };
    openBoth();
    const testwin::GuiObjects before = testwin::CountGuiObjects();
    for (int i = 0; i < 12; ++i) openBoth();
    EXPECT_EQ(testwin::CountGuiObjects(), before);
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinnedMenus, ::testing::Values("Birch", "Night"));

// The menu line shows an MDI child's icon only for an MDI form whose active
// child is maximised and has an icon (its system menu).
TEST(MenuLine, ShowsTheIconOfAMaximisedMDIChild) {
    std::unique_ptr<TForm> frame(new TForm(nullptr)), plain(new TForm(nullptr));
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(40, 40, 500, 360);
    frame->Show();
    plain->Show();
    auto* child = new TForm(nullptr);
    child->SetFormStyle(fsMDIChild);
    child->SetBounds(10, 10, 200, 150);
    child->Show();
    Pump(50);
    EXPECT_FALSE(MDIChildIconInMenuLine(frame.get()));
    child->SetWindowState(wsMaximized);
    Pump(50);
    EXPECT_TRUE(MDIChildIconInMenuLine(frame.get()));
    delete child;
    // A maximised child without a system menu shows no icon.
    child = new TForm(nullptr);
    child->SetFormStyle(fsMDIChild);
    child->SetBorderIcons(0);
    child->SetWindowState(wsMaximized);
    child->Show();
    Pump(50);
    ASSERT_TRUE(IsZoomed(child->Handle()));
    EXPECT_FALSE(MDIChildIconInMenuLine(frame.get()));
    EXPECT_FALSE(MDIChildIconInMenuLine(plain.get()));
    EXPECT_FALSE(MDIChildIconInMenuLine(nullptr));
    delete child;
}

namespace {
struct ProcessMenus {
    DWORD Pid;
    std::vector<HWND> Found;
    static BOOL CALLBACK Collect(HWND W, LPARAM P) {
        auto* self = reinterpret_cast<ProcessMenus*>(P);
        wchar_t cls[16] = {};
        GetClassNameW(W, cls, 16);
        DWORD pid = 0;
        GetWindowThreadProcessId(W, &pid);
        if (pid == self->Pid && wcscmp(cls, L"#32768") == 0 && IsWindowVisible(W)) self->Found.push_back(W);
        return TRUE;
    }
};
}  // namespace

// "skinhost.exe --popup": the host's form shows its pop-up menu at the
// centre of its client area.
TEST(SkinHost, PopupModeOpensThePopupMenuAtTheFormsCentre) {
    testwin::ChildProgram host;
    const std::string dir = TUVRELI_TEST_SKINS_DIR;
    ASSERT_NO_FATAL_FAILURE(
        host.Start(TUVRELI_SKINHOST, L"Skin host", L"--popup \"" + std::wstring(dir.begin(), dir.end()) + L"\" Night"));
    ProcessMenus menus{host.pi.dwProcessId, {}};
    // Long enough for the host under the heap checker (each heap call validates it).
    for (int i = 0; i < 1500 && menus.Found.empty(); ++i) {
        Sleep(20);
        EnumWindows(&ProcessMenus::Collect, reinterpret_cast<LPARAM>(&menus));
    }
    ASSERT_EQ(menus.Found.size(), 1u);
    RECT client, popup;
    GetClientRect(host.window, &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ClientToScreen(host.window, &centre);
    GetWindowRect(menus.Found[0], &popup);
    EXPECT_EQ(popup.left, centre.x);
    EXPECT_EQ(popup.top, centre.y);
    // Cut, Copy, Paste, the line, Word wrap, Properties: higher than four items.
    EXPECT_GT(popup.bottom - popup.top, 4 * GetSystemMetrics(SM_CYMENU));
}
