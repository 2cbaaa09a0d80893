// A skinned MDI application driven as a user drives it, under both test
// skins: a frame with three children, each with its own main menu. Real
// clicks maximise a child by its caption button and restore it from the
// frame's menu line, minimise one and click its caption for the skinned
// system menu, drag and size a child with the provider's outline; a skin and
// a hue change while a child is maximised; cascade and tile. After each step
// the frame, its menu line and the children's frames on the screen are the
// providers' images, and the frame's message log shows it is not redrawn
// while a child maximises.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Guards.h"
#include "Menus.h"
#include "MessageLog.h"
#include "WinText.h"
#include "SkinFormsHost.h"
#include "sSkinMenus.h"

using namespace skinforms;

namespace {

// Everything the frame's window hears, before the provider.
struct FrameLog {
    testwin::MessageLog Log;
    testwin::LogWindow Hook;
    explicit FrameLog(HWND H) : Hook(Log, H) {}
    // Position of the first entry of Msg with wParam W at or after From; -1 for none.
    int Find(UINT Msg, WPARAM W, int From = 0) const {
        const auto& e = Log.Entries();
        for (int i = std::max(From, 0); i < int(e.size()); ++i)
            if (e[size_t(i)].Msg == Msg && e[size_t(i)].WParam == W) return i;
        return -1;
    }
    int Count(UINT Msg, int From, int To) const {
        const auto& e = Log.Entries();
        int n = 0;
        for (int i = std::max(From, 0); i < To && i < int(e.size()); ++i) n += e[size_t(i)].Msg == Msg;
        return n;
    }
};

// Sampled pixels of the window's client area that differ from the
// provider's image at the client offset.
int ClientMismatches(TsSkinProvider* P) {
    HWND h = P->Form()->Handle();
    RECT cr{};
    GetClientRect(h, &cr);
    const testwin::Pixels px = testwin::CopyFromWindow(h, cr);
    HDC cache = P->SkinData()->CacheBitmap->Canvas()->Handle();
    int bad = 0;
    for (int y = 0; y < cr.bottom; y += 5)
        for (int x = 0; x < cr.right; x += 5)
            bad += px.At(x, y) != testwin::SwapRedBlue(GetPixel(cache, P->OffsetX() + x, P->OffsetY() + y));
    return bad;
}

// On the thread beside the modal loop: a click at a screen point, then the
// visible menu window it opened (nil when none opened within 3 s).
HWND ClickForMenu(POINT At) {
    testwin::MouseAt(At.x, At.y);
    Sleep(40);
    testwin::MouseAt(At.x, At.y, MOUSEEVENTF_LEFTDOWN);
    Sleep(40);
    testwin::MouseAt(At.x, At.y, MOUSEEVENTF_LEFTUP);
    for (int i = 0; i < 150; ++i) {
        HWND w = FindWindowW(L"#32768", nullptr);
        if (w && IsWindowVisible(w)) return w;
        Sleep(20);
    }
    return nullptr;
}

void Keys(WORD Vk) { testwin::SendInputs({testwin::KeyStroke(Vk, false), testwin::KeyStroke(Vk, true)}); }

// A child's menu item, counting its clicks.
struct Runner {
    int Clicks = 0;
    void Click(TObject*) { ++Clicks; }
};

struct MDIScenario : ::testing::TestWithParam<const char*> {
    TsSkinManager* Manager = nullptr;
    TForm* Main = nullptr;
    TsSkinProvider* P = nullptr;
    TForm* Kids[3] = {};
    TsSkinProvider* KP[3] = {};
    Runner Runs[3];

    void SetUp() override {
        Manager = MakeManager(nullptr, GetParam());
        Main = MakeForm(40, 30, 940, 660, "MDI frame");
        Main->SetFormStyle(fsMDIForm);
        AddMenu(Main, "&File", nullptr);
        P = new TsSkinProvider(Main);
        Main->Show();
        PumpUntil([this] { return IsWindowVisible(Main->Handle()) && GetForegroundWindow() == Main->Handle(); }, 2000);
        for (int i = 0; i < 3; ++i) {
            TForm* c = new TForm(Main);
            c->SetFormStyle(fsMDIChild);
            c->SetCaption(("Child " + std::to_string(i + 1)).c_str());
            c->SetBounds(10 + 300 * i, 10, 280, 210);
            AddMenu(c, ("&Child" + std::to_string(i + 1)).c_str(), &Runs[i]);
            KP[i] = new TsSkinProvider(c);
            c->Show();
            Kids[i] = c;
        }
        Pump(200);
    }
    void TearDown() override {
        delete Main;
        delete Manager;
        MouseMove(1200, 1000);
        Pump(30);
    }
    // A bar of one item whose pop-up holds "Run" (counted by Run when given);
    // a child's item goes after the frame's when merged.
    static void AddMenu(TForm* F, const char* Caption, Runner* Run) {
        auto* main = new TMainMenu(F);
        auto* top = new TMenuItem(F);
        top->SetCaption(Caption);
        if (Run) top->SetGroupIndex(1);
        auto* sub = new TMenuItem(F);
        sub->SetCaption("&Run");
        if (Run) sub->OnClick = TNotifyEvent::Of<&Runner::Click>(Run);
        top->Add(sub);
        main->Items()->Add(top);
        F->SetMenu(main);
    }
    HWND Kid(int I) const { return Kids[I]->Handle(); }
    void ClickButton(TsSkinProvider* On, TsCaptionSlot Slot) {
        const POINT at = Centre(ButtonOnScreen(On, Slot));
        Click(at.x, at.y);
        Pump(150);
    }
    // The frame with its menu line, and every child shown beside the others,
    // on the screen as their providers painted them.
    void ExpectShownAsPainted(const char* When, bool OnlyActive = false) {
        int bad = -2;
        PumpUntil([&] { return (bad = FrameMismatches(P, true)) == 0; }, 2000);
        EXPECT_EQ(bad, 0) << When << ": frame";
        HWND active = reinterpret_cast<HWND>(SendMessageW(Main->ClientHandle(), WM_MDIGETACTIVE, 0, 0));
        if (HWND max = MaximisedMDIChild(Main)) {
            // The maximised child fills the client window with its image.
            TsSkinProvider* cp = KP[std::find_if(Kids, Kids + 3, [max](TForm* k) { return k->Handle() == max; }) - Kids];
            int bad = -2;
            PumpUntil([&] { return (bad = ClientMismatches(cp)) == 0; }, 2000);
            EXPECT_EQ(bad, 0) << When << ": maximised child";
        }
        for (int i = 0; i < 3; ++i) {
            HWND c = Kid(i);
            if (!IsWindowVisible(c) || IsIconic(c) || (OnlyActive && c != active) || MaximisedMDIChild(Main)) continue;
            int bad = -2;
            PumpUntil([&] { return (bad = FrameMismatches(KP[i], true)) == 0; }, 2000);
            EXPECT_EQ(bad, 0) << When << ": child " << i;
        }
    }
};

}  // namespace

TEST_P(MDIScenario, AChildMaximisesRestoresMinimisesMovesAndTilesWithTheFrameAlwaysShownAsPainted) {
    HWND main = Main->Handle();
    ExpectShownAsPainted("shown");

    // Maximised by its caption button: the frame is held while the system
    // changes it, and painted once it is let go.
    int held = -1, freed = -1, paints = 0;
    {
        FrameLog log(main);
        ClickButton(KP[1], cbMaximize);
        ASSERT_TRUE(PumpUntil([&] { return IsZoomed(Kid(1)) != 0; }, 2000));
        Pump(100);
        held = log.Find(WM_SETREDRAW, 0);
        freed = held < 0 ? -1 : log.Find(WM_SETREDRAW, 1, held);
        paints = log.Count(WM_NCPAINT, freed < 0 ? 0 : freed, 1 << 30);
        if (held >= 0 && freed > held) {
            for (UINT m : {WM_NCPAINT, WM_PAINT, WM_ERASEBKGND}) EXPECT_EQ(log.Count(m, held, freed), 0) << m;
        }
    }
    EXPECT_GE(held, 0);
    EXPECT_GT(freed, held);
    EXPECT_GE(paints, 1);
    EXPECT_TRUE(P->MDIButtonsShown());
    EXPECT_EQ(MenuLineChildProvider, KP[1]);
    ExpectShownAsPainted("maximised");
    {
        // The child's icon sits in the line's first slot, the line's face around it.
        const int top = P->SysBorderHeight() + P->CaptionHeight(), lineH = P->MenuLineHeight();
        TBitmap* cache = P->SkinData()->CacheBitmap;
        const uint32_t face = testwin::SwapRedBlue(GetPixel(cache->Canvas()->Handle(), P->FormWidth() / 2, top + 2));
        const testwin::Pixels icon = testwin::CopyFromWindow(
            main, RECT{P->SysBorderWidth() + 1, top + 1, P->SysBorderWidth() + lineH - 1, top + lineH - 1}, true);
        EXPECT_LT(icon.Share(face), 0.75);
        // A maximised child keeps the skin's corners, cut from its whole window.
        RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(Kid(1), rgn.Get()), ERROR);
        RECT box{};
        GetRgnBox(rgn.Get(), &box);
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.right, KP[1]->FormWidth());
        EXPECT_EQ(box.bottom, KP[1]->FormHeight());
    }

    {
        // The child's menu is merged into the line after the frame's, and its
        // item, opened with a click and run from the keyboard, runs the child's handler.
        HMENU bar = GetMenu(main);
        TMenuItem* childTop = Kids[1]->Menu()->Items()->Items(0);
        RECT item{};
        for (int pos = 0; pos < GetMenuItemCount(bar); ++pos) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID | MIIM_SUBMENU;
            if (GetMenuItemInfoW(bar, UINT(pos), TRUE, &info) && info.hSubMenu == childTop->Handle())
                GetMenuItemRect(main, bar, UINT(pos), &item);
        }
        ASSERT_GT(item.right, item.left);
        EXPECT_TRUE(P->MenuVisible());
        ExpectShownAsPainted("merged");
        const POINT at = Centre(item);
        RunBesideLoop([&] {
            ClickForMenu(at);
            Sleep(80);
            Keys(VK_DOWN);
            Sleep(60);
            Keys(VK_RETURN);
        });
        EXPECT_TRUE(PumpUntil([&] { return Runs[1].Clicks == 1; }, 1000));
        EXPECT_EQ(Runs[0].Clicks + Runs[2].Clicks, 0);
        ExpectShownAsPainted("after the merged item ran");
    }

    // Restored from the frame's menu line.
    ClickButton(P, cbMDIRestore);
    EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(Kid(1)) && !P->MDIButtonsShown(); }, 2000));
    ExpectShownAsPainted("restored");

    // Minimised by its caption button; a click on the minimised caption opens
    // the skinned system menu where the mouse is.
    ClickButton(KP[0], cbMinimize);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(Kid(0)) != 0; }, 2000));
    ExpectShownAsPainted("minimised");
    RECT icon{};
    GetWindowRect(Kid(0), &icon);
    const POINT at{icon.left + 30, icon.top + KP[0]->SysBorderHeight() + KP[0]->CaptionHeight() / 2};
    HMENU shown = nullptr;
    RECT menu{};
    RunBesideLoop([&] {
        if (HWND w = ClickForMenu(at)) {
            shown = HMENU(SendMessageW(w, MN_GETHMENU, 0, 0));
            GetWindowRect(w, &menu);
        }
        Sleep(60);
        Keys(VK_ESCAPE);
    });
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown, KP[0]->SystemMenu()->Items()->Handle());
    // A corner of the menu is at the mouse (it opens upward or leftward where the screen ends).
    const int dx = std::min(std::abs(menu.left - at.x), std::abs(menu.right - at.x));
    const int dy = std::min(std::abs(menu.top - at.y), std::abs(menu.bottom - at.y));
    EXPECT_LE(dx, 2);
    EXPECT_LE(dy, 2);
    EXPECT_TRUE(IsIconic(Kid(0)));
    SendMessageW(Kid(0), WM_SYSCOMMAND, SC_RESTORE, 0);
    Pump(150);

    // The provider's outline drags: the child stays where the mouse left it.
    KP[2]->SetResizeMode(rmBorder);
    RECT a{};
    GetWindowRect(Kid(2), &a);
    const int cy = a.top + KP[2]->SysBorderHeight() + KP[2]->CaptionHeight() / 2;
    Drag(POINT{a.left + 120, cy}, POINT{a.left + 140, cy + 45});
    RECT b{};
    EXPECT_TRUE(PumpUntil([&] { GetWindowRect(Kid(2), &b); return b.left != a.left || b.top != a.top; }, 2000));
    EXPECT_EQ(b.left, a.left + 20);
    EXPECT_EQ(b.top, a.top + 45);
    EXPECT_EQ(b.right - b.left, a.right - a.left);
    const int y = (b.top + b.bottom) / 2;
    Drag(POINT{b.right - 2, y}, POINT{b.right - 32, y}, 5);
    RECT c{};
    EXPECT_TRUE(PumpUntil([&] { GetWindowRect(Kid(2), &c); return c.right != b.right; }, 2000));
    EXPECT_EQ(c.left, b.left);
    EXPECT_EQ(c.right, b.right - 30);
    ExpectShownAsPainted("dragged");

    // A skin change and a hue change while a child is maximised.
    ClickButton(KP[2], cbMaximize);
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(Kid(2)) != 0 && P->MDIButtonsShown(); }, 2000));
    ExpectShownAsPainted("maximised again");
    const std::string other = std::string(GetParam()) == "Birch" ? "Night" : "Birch";
    Manager->SetSkinName(other.c_str());
    Pump(300);
    EXPECT_TRUE(IsZoomed(Kid(2)));
    EXPECT_TRUE(P->MDIButtonsShown());
    ExpectShownAsPainted("new skin");
    Manager->SetHueOffset(90);
    Pump(300);
    EXPECT_TRUE(P->MDIButtonsShown());
    ExpectShownAsPainted("new hue");
    Manager->SetHueOffset(0);
    Pump(200);
    ClickButton(P, cbMDIRestore);
    EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(Kid(2)); }, 2000));

    // Cascade (the children overlap: the active one is checked) and tile.
    Main->Cascade();
    Pump(200);
    ExpectShownAsPainted("cascaded", true);
    Main->Tile();
    Pump(200);
    ExpectShownAsPainted("tiled");
}

// A maximised child that is no class-library form (no provider of its own)
// minimised from the frame's menu line: the frame goes on painting.
TEST_P(MDIScenario, AForeignChildMinimisedFromTheMenuLineLeavesTheFramePainting) {
    HWND kid = ForeignMDIChild(Main->ClientHandle(), 20, 20, 260, 180, WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    ASSERT_NE(kid, nullptr);
    SendMessageW(Main->ClientHandle(), WM_MDIMAXIMIZE, WPARAM(kid), 0);
    ASSERT_TRUE(PumpUntil([&] { return P->MDIButtonsShown(); }, 2000));
    ClickButton(P, cbMDIMinimize);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(kid) != 0; }, 2000));
    ExpectShownAsPainted("a foreign child minimised");
    SendMessageW(Main->ClientHandle(), WM_MDIDESTROY, WPARAM(kid), 0);
    Pump(50);
}

// The frame normal or maximised, a child maximised from its caption: the
// frame's title shows the system's text for it (the child's name added),
// and the line's restore and minimize act on the child under the mouse.
TEST_P(MDIScenario, TheLinesButtonsActOnTheMaximisedChildAndTheFrameTitleNamesIt) {
    HWND main = Main->Handle();
    auto title = [this] {  // where the caption text goes, as the screen shows it
        const int top = P->SysBorderHeight(), right = P->FormWidth() - P->ButtonsAreaWidth() - 6;
        const RECT r{P->IconRect().Right + 4, top, right, top + P->CaptionHeight()};
        return testwin::CopyFromWindow(Main->Handle(), r, true);
    };
    for (const auto& [zoomed, slot] :
         {std::pair{false, cbMDIRestore}, std::pair{true, cbMDIRestore}, std::pair{true, cbMDIMinimize}}) {
        SCOPED_TRACE(std::to_string(zoomed) + " " + std::to_string(slot));
        ShowWindow(main, zoomed ? SW_MAXIMIZE : SW_RESTORE);
        Pump(250);
        const testwin::Pixels before = title();
        ClickButton(KP[1], cbMaximize);
        ASSERT_TRUE(PumpUntil([&] { return IsZoomed(Kid(1)) && P->MDIButtonsShown(); }, 2000));
        Pump(150);
        EXPECT_EQ(GetWindowTextAnsi(main), "MDI frame - [Child 2]");
        EXPECT_GT(before.Differing(title()), 40);
        ExpectShownAsPainted("maximised");
        ClickButton(P, slot);
        const bool restore = slot == cbMDIRestore;
        EXPECT_TRUE(PumpUntil([&] { return restore ? !IsZoomed(Kid(1)) : IsIconic(Kid(1)) != 0; }, 2000));
        SendMessageW(Kid(1), WM_SYSCOMMAND, SC_RESTORE, 0);
        Pump(150);
    }
}

// A skin change fades the frame with its children inside: no child is
// locked or faded on its own (a fade turns the redraw back on).
TEST_P(MDIScenario, ASkinChangeFadesTheFrameOnlyNotEachChild) {
    Manager->AnimEffects()->SkinChanging()->SetActive(true);
    Manager->AnimEffects()->SkinChanging()->SetTime(40);
    std::vector<std::unique_ptr<FrameLog>> logs;
    for (int i = 0; i < 3; ++i) logs.push_back(std::make_unique<FrameLog>(Kid(i)));
    Manager->SetSkinName(std::string(GetParam()) == "Birch" ? "Night" : "Birch");
    Pump(300);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(logs[size_t(i)]->Count(WM_SETREDRAW, 0, 1 << 30), 0) << "child " << i;
    logs.clear();
    ExpectShownAsPainted("after the fade");
}

INSTANTIATE_TEST_SUITE_P(OurSkins, MDIScenario, ::testing::Values("Birch", "Night"));

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    StartUnits();
    const int r = RUN_ALL_TESTS();
    StopUnits();
    return r;
}
