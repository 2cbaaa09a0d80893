// The prize form has no close box, yet the system can close it: Alt+F4 and
// the task bar's close must bring the menu back as "ДОМ" does, or the
// program would run on with no window.
#include "LessonUnits.h"
#include "prize_drive.h"

using namespace prize;

namespace {

bool MenuBack() { return Form2->Visible() && IsWindowVisible(Form2->Handle()) != 0; }

}  // namespace

TEST(PrizeClosed, AltF4ReturnsToTheMenu) {
    OpenFromMenu();
    HWND w = Form1->Handle();
    // The keys as the keyboard sends them: Alt held, then F4.
    const LPARAM altDown = 1 | (0x38 << 16) | (1 << 29);
    const LPARAM f4Down = 1 | (0x3E << 16) | (1 << 29);
    PostMessageW(w, WM_SYSKEYDOWN, VK_MENU, altDown);
    PostMessageW(w, WM_SYSKEYDOWN, VK_F4, f4Down);
    EXPECT_TRUE(PumpUntil(MenuBack));
    EXPECT_FALSE(Form1->Visible());
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_FALSE(Form1->Image7->Visible());
    EXPECT_FALSE(Form2->RzLabel13->Visible());
    // Only hidden: the form and its firework live on.
    EXPECT_TRUE(IsWindow(w));
    EXPECT_TRUE(Form1->Timer2->Enabled());
}

TEST(PrizeClosed, TheTaskBarCloseReturnsToTheMenu) {
    // Shown once more from the test, as only the menu may open it.
    Form2->Hide();
    Form1->Show();
    ASSERT_TRUE(PumpUntil([] { return IsWindowVisible(Form1->Handle()) != 0; }));
    ASSERT_FALSE(Form2->Visible());
    PostMessageW(Form1->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PumpUntil(MenuBack));
    EXPECT_FALSE(Form1->Visible());
    // And a plain close message.
    Form2->Hide();
    Form1->Show();
    ASSERT_TRUE(PumpUntil([] { return IsWindowVisible(Form1->Handle()) != 0; }));
    PostMessageW(Form1->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil(MenuBack));
    EXPECT_FALSE(Form1->Visible());
}
