// The class library's menus under Wine: the system's menus built from form
// data, opened with the real keyboard and mouse, their items' OnClick; the
// form's menu bar across a new window and a freed menu; owner drawing by the
// items' handlers, read back from the menu window; items freed and changed
// while their menu shows; system objects over many openings.
#include <gtest/gtest.h>

#include "Graphics.h"
#include "MenuDriver.h"
#include "MenuForm.h"
#include "WinText.h"

using namespace menutest;

namespace {

using Names = std::vector<std::string>;

// A menu as the system holds it: one line an item, a tab per level,
// "-" for a separator, flags after the text.
void Outline(HMENU Menu, int Level, std::vector<std::string>& Out) {
    for (int i = 0, n = GetMenuItemCount(Menu); i < n; ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        mi.dwTypeData = text;
        mi.cch = 64;
        GetMenuItemInfoW(Menu, UINT(i), TRUE, &mi);
        std::string line(size_t(Level), '\t');
        line += (mi.fType & MFT_SEPARATOR) ? std::string("-") : FromWide(text);
        if (mi.fState & MFS_GRAYED) line += " [grayed]";
        if (mi.fState & MFS_CHECKED) line += " [checked]";
        if (mi.fState & MFS_DEFAULT) line += " [default]";
        if (mi.fType & MFT_RADIOCHECK) line += " [radio]";
        if (mi.fType & MFT_MENUBARBREAK) line += " [break]";
        if (mi.fType & MFT_OWNERDRAW) line += " [owner]";
        Out.push_back(line);
        if (mi.hSubMenu) Outline(mi.hSubMenu, Level + 1, Out);
    }
}

std::vector<std::string> Outline(HMENU Menu) {
    std::vector<std::string> out;
    Outline(Menu, 0, out);
    return out;
}

class Menus : public ::testing::Test {
protected:
    void SetUp() override { Form = ShowMenuForm(); }
    void TearDown() override { Form.reset(); }

    // Runs the steps while the form's messages are handled, until the
    // script is done and no menu shows (or the time is up).
    void Drive(std::vector<Step> Steps) {
        LoopScript script(std::move(Steps));
        PumpUntil([&] { return script.Done() && MenuWindows().empty(); }, 5000);
        Pump(100);
    }
    // The pop-up menu at the form's centre, the steps running while it shows.
    void DrivePopup(std::vector<Step> Steps) {
        LoopScript script(std::move(Steps));
        const POINT c = FormCentre(Form.get());
        Form->Popup()->Popup(c.x, c.y);
        Pump(100);
    }
    std::unique_ptr<TMenuForm> Form;
};

Step KeysStep(std::initializer_list<WORD> Vks) {
    std::vector<WORD> v(Vks);
    return [v] {
        for (WORD k : v) Keys({k});
    };
}

}  // namespace

// The system's menus hold what the form data says: captions with their
// shortcuts, separators, sub-menus, grayed, checked, default, radio and
// column-break items; hidden items are left out.
TEST_F(Menus, SystemMenusHoldTheFormData) {
    HMENU bar = GetMenu(Form->Handle());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar, Form->Main()->Handle());
    EXPECT_EQ(Outline(bar), (Names{"&File", "\t&New\tCtrl+N", "\t&Open\tCtrl+O", "\t-", "\t&Recent", "\t\tFirst",
                                   "\t\tSecond", "\tE&xit", "&Edit", "\t&Undo [grayed]", "\t&Copy [default]",
                                   "\tNe&xt [break]", "&View", "\t&Large [checked] [radio]", "\t&Small [radio]",
                                   "\tStatus &bar [checked]"}));
    EXPECT_EQ(Outline(Form->Popup()->Handle()),
              (Names{"Cu&t", "&Copy", "&Paste [grayed]", "-", "&More", "\tOne", "\tTwo"}));
}

// The keyboard opens the menu bar and the pop-up menu and chooses items: F10
// and the arrows, Alt and a letter, a letter inside an open menu, Enter;
// Escape closes without a click. Radio and auto-check items change with it.
TEST_F(Menus, KeyboardChoosesItems) {
    struct Case {
        const char* Name;
        std::vector<Step> Steps;
        Names Clicked;
    };
    const Case cases[] = {
        {"F10, down, down, Enter", {KeysStep({VK_F10, VK_DOWN}), KeysStep({VK_DOWN}), KeysStep({VK_RETURN})}, {"FileOpen"}},
        {"Alt+F, R, down, Enter", {[] { Chord(VK_MENU, 'F'); }, KeysStep({'R'}), KeysStep({VK_DOWN}), KeysStep({VK_RETURN})},
         {"Recent2"}},
        {"Alt+V, S", {[] { Chord(VK_MENU, 'V'); }, KeysStep({'S'})}, {"ViewSmall"}},
        {"F10, right, down, Escape, Escape", {KeysStep({VK_F10, VK_RIGHT, VK_DOWN}), KeysStep({VK_ESCAPE}), KeysStep({VK_ESCAPE})},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Form->Clicked.clear();
        Drive(c.Steps);
        EXPECT_EQ(Form->Clicked, c.Clicked);
    }
    // The radio group moved to Small.
    EXPECT_FALSE(Form->Item("ViewLarge")->Checked());
    EXPECT_TRUE(Form->Item("ViewSmall")->Checked());
}

TEST_F(Menus, PopupKeyboard) {
    struct Case {
        const char* Name;
        std::vector<Step> Steps;
        Names Clicked;
    };
    const Case cases[] = {
        {"down, down, Enter", {KeysStep({VK_DOWN}), KeysStep({VK_DOWN}), KeysStep({VK_RETURN})}, {"PopCopy"}},
        {"M, Enter", {KeysStep({'M'}), KeysStep({VK_RETURN})}, {"MoreOne"}},
        {"Escape", {KeysStep({VK_ESCAPE})}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Form->Clicked.clear();
        const int popups = Form->Popups;
        DrivePopup(c.Steps);
        EXPECT_EQ(Form->Clicked, c.Clicked);
        EXPECT_EQ(Form->Popups, popups + 1);
    }
}

// The mouse opens the bar's menu and clicks an item; a shortcut runs its
// item without a menu, and does nothing once the item is disabled.
TEST_F(Menus, MouseAndShortCutsRunItems) {
    HMENU bar = Form->Main()->Handle();
    HMENU edit = Form->Item("EditMenu")->Handle();
    Drive({[bar] { ClickAt(CentreOf(ItemRect(nullptr, bar, 1))); },
           [edit] { ClickAt(CentreOf(ItemRect(nullptr, edit, 1))); }});
    EXPECT_EQ(Form->Clicked, (Names{"EditCopy"}));

    Form->Clicked.clear();
    Drive({[] { Chord(VK_CONTROL, 'O'); }});
    Form->Item("FileOpen")->SetEnabled(false);
    Drive({[] { Chord(VK_CONTROL, 'O'); }, [] { Chord(VK_CONTROL, 'N'); }});
    EXPECT_EQ(Form->Clicked, (Names{"FileOpen", "FileNew"}));
}

// The form's menu bar is the main menu's handle: taken off and put back,
// kept when the form's window is made again, gone when the menu is freed.
TEST_F(Menus, FormMenuBarFollowsTheMenu) {
    TMainMenu* main = Form->Main();
    const std::vector<std::string> outline = Outline(main->Handle());
    Form->SetMenu(nullptr);
    EXPECT_EQ(GetMenu(Form->Handle()), nullptr);
    Form->SetMenu(main);
    EXPECT_EQ(GetMenu(Form->Handle()), main->Handle());
    Form->SetBorderStyle(bsSingle);  // a new window
    EXPECT_EQ(GetMenu(Form->Handle()), main->Handle());
    EXPECT_EQ(Outline(main->Handle()), outline);
    delete main;
    EXPECT_EQ(Form->Menu(), nullptr);
    EXPECT_EQ(GetMenu(Form->Handle()), nullptr);
    // Its items went with it; the pop-up menu's are there.
    EXPECT_EQ(Form->FindComponent("FileOpen"), nullptr);
    EXPECT_NE(Form->FindComponent("PopCut"), nullptr);
}

namespace {
// Owner drawing by handlers: 30 pixels high, lime when selected, else red.
struct DrawProbe {
    int Measured = 0, Drawn = 0;
    static void Measure(void* P, TObject*, TCanvas*, int& W, int& H) {
        ++static_cast<DrawProbe*>(P)->Measured;
        W = 100;
        H = 30;
    }
    static void Draw(void* P, TObject*, TCanvas* C, TRect R, TOwnerDrawState S) {
        ++static_cast<DrawProbe*>(P)->Drawn;
        C->Brush()->SetColor((S & OwnerDrawBit(odSelected)) ? clLime : clRed);
        C->FillRect(R);
    }
};

// Pixels of a menu item's rectangle as the menu window shows it.
int CountInItem(HWND MenuWnd, HMENU Menu, int Position, uint32_t Rgb) {
    RECT w, r = ItemRect(nullptr, Menu, Position);
    GetWindowRect(MenuWnd, &w);
    const testwin::Pixels p = MenuPixels(MenuWnd);
    int n = 0;
    for (int y = r.top - w.top; y < r.bottom - w.top; ++y)
        for (int x = r.left - w.left; x < r.right - w.left; ++x)
            if (x >= 0 && y >= 0 && x < p.Width && y < p.Height && p.At(x, y) == Rgb) ++n;
    return n;
}
}  // namespace

// An owner-drawn pop-up menu: an item with handlers is measured and painted
// by them (read back from the menu window, selected and not); an item
// without is painted by the item itself; a separator is the item's too.
TEST_F(Menus, OwnerDrawnItemsArePaintedByTheirHandlers) {
    TPopupMenu* popup = Form->Popup();
    popup->SetOwnerDraw(true);
    DrawProbe probe;
    TMenuItem* cut = Form->Item("PopCut");
    cut->OnMeasureItem = TMenuMeasureItemEvent::Fn(&probe, &DrawProbe::Measure);
    cut->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent::Fn(&probe, &DrawProbe::Draw);
    HMENU h = popup->Handle();
    int red = 0, lime = 0, limeAfter = 0, height = 0, copyHeight = 0;
    DrivePopup({[] {},
                [&] {
                    red = CountInItem(TopMenuWindow(), h, 0, 0xFF0000);
                    RECT r = ItemRect(nullptr, h, 0), c = ItemRect(nullptr, h, 1);
                    height = r.bottom - r.top;
                    copyHeight = c.bottom - c.top;
                    Keys({VK_DOWN});
                },
                [&] {
                    lime = CountInItem(TopMenuWindow(), h, 0, 0x00FF00);
                    Keys({VK_DOWN});
                },
                [&] {
                    limeAfter = CountInItem(TopMenuWindow(), h, 0, 0x00FF00);
                    Keys({VK_ESCAPE});
                }});
    EXPECT_GT(probe.Measured, 0);
    EXPECT_GT(probe.Drawn, 0);
    EXPECT_EQ(height, 30);
    EXPECT_GT(red, 100 * 20);
    EXPECT_GT(lime, 100 * 20);
    EXPECT_EQ(limeAfter, 0);
    // The item's own measuring: at least a menu line high.
    EXPECT_GE(copyHeight, GetSystemMetrics(SM_CYMENU));
}

// Items freed and changed while their menu shows (by a handler run from the
// menu loop): the open menu is drawn again and keyboard-driven without
// reaching a freed item; its number is not given to a new item until the
// loop ends. A pop-up menu freed while it shows ends its loop.
TEST_F(Menus, ItemsFreedOrChangedWhileShownAreNeverReached) {
    TPopupMenu* popup = Form->Popup();
    popup->SetOwnerDraw(true);
    const UINT copyCommand = Form->Item("PopCopy")->Command();
    bool freedFound = true, numberReused = true;
    DrivePopup({[] { Keys({VK_DOWN}); },
                [&] {
                    delete Form->Item("PopCopy");
                    Form->Item("PopCut")->SetCaption("Changed");
                    auto* added = new TMenuItem(Form.get());
                    added->SetName("Added");
                    added->SetCaption("Added");
                    added->OnClick = TNotifyEvent::Of<&TMenuForm::ItemClick>(Form.get());
                    popup->Items()->Insert(1, added);
                    freedFound = TMenuItem::FromCommand(copyCommand) != nullptr;
                    numberReused = added->Command() == copyCommand;
                    RedrawWindow(TopMenuWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                },
                [] { Keys({VK_DOWN}); },
                [] { Keys({VK_RETURN}); }});
    EXPECT_FALSE(freedFound);
    EXPECT_FALSE(numberReused);
    ASSERT_EQ(Form->Clicked.size(), 1u);
    EXPECT_NE(Form->Clicked[0], "PopCopy");

    Form->Clicked.clear();
    DrivePopup({[] { Keys({VK_DOWN}); }, [&] { delete Form->Popup(); }});
    EXPECT_EQ(Form->FindComponent("PopupMenu1"), nullptr);
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_TRUE(Form->Clicked.empty());

    // The bar's menu loses its open item's sub-menu while it shows.
    Drive({[] { Chord(VK_MENU, 'E'); }, [&] { delete Form->Item("EditCopy"); delete Form->Item("EditMenu"); },
           [] { Keys({VK_RETURN}); }, [] { Keys({VK_ESCAPE}); }, [] { Keys({VK_ESCAPE}); }});
    EXPECT_TRUE(Form->Clicked.empty());
    EXPECT_EQ(Outline(Form->Main()->Handle()).front(), "&File");
}

// Opening and closing menus many times leaves no system object behind.
TEST_F(Menus, ManyOpeningsLeaveNoObjects) {
    auto openBoth = [&] {
        {
            LoopScript s({[] { Keys({VK_DOWN}); }, [] { Keys({VK_ESCAPE}); }}, 40);
            const POINT c = FormCentre(Form.get());
            Form->Popup()->Popup(c.x, c.y);
        }
        Drive({[] { Keys({VK_F10, VK_DOWN}); }, [] { Keys({VK_ESCAPE, VK_ESCAPE}); }});
    };
    Form->Popup()->SetOwnerDraw(true);
    openBoth();
    const testwin::GuiObjects before = testwin::CountGuiObjects();
    for (int i = 0; i < 12; ++i) openBoth();
    EXPECT_EQ(testwin::CountGuiObjects(), before);
}
