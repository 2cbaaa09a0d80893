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
