// The naming game closed with its close box: before the win (the counter
// stays), and right after the tenth name but before the tick that sees the
// win (the hidden game still counts it, and the menu, already shown, unlocks
// its prize when that makes three). The game opens once per run, so ctest
// runs each test in a process of its own.
#include "LessonUnits.h"
#include "Unit6.h"
#include "naming_drive.h"

using namespace naming;

TEST(NamingClosed, BeforeTheWinLeavesTheCounter) {
    OpenFromMenu();
    for (int n = 1; n <= 9; ++n) DragName(n, kBoxOf[n]);
    ASSERT_EQ(PlacedCount, 9);
    Tick();
    PressCloseBox(sost);
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_FALSE(sost->Visible());
    EXPECT_TRUE(sost->Image32->Visible());  // "ДОМ" was never used
    EXPECT_FALSE(sost->RzLabel13->Enabled());
    // The hidden game goes on ticking and never counts.
    for (int t = 0; t < 10; ++t) Tick();
    sost->Timer1->SetEnabled(true);
    EXPECT_FALSE(PumpUntil([] { return DoneBlink != 0; }, 1200));
    EXPECT_EQ(Counter(), 0);
    EXPECT_EQ(DoneBlink, 0);
    EXPECT_FALSE(Form2->RzLabel13->Enabled());
}

TEST(NamingClosed, AWinSeenAfterTheCloseStillCountsAndUnlocksThePrize) {
    // As if the two other games were won already.
    Form2->Label1->SetCaption("2");
    OpenFromMenu();
    for (int n = 1; n <= 10; ++n) DragName(n, kBoxOf[n]);
    ASSERT_EQ(PlacedCount, 10);
    PressCloseBox(sost);
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_EQ(Counter(), 2);
    EXPECT_FALSE(Form2->RzLabel13->Enabled());
    // The tick that sees the tenth name comes while the menu is shown.
    Tick();
    EXPECT_EQ(Counter(), 3);
    EXPECT_TRUE(sost->RzLabel13->Enabled());
    EXPECT_TRUE(Form2->Visible());
    EXPECT_TRUE(Form2->RzLabel13->Enabled());
    EXPECT_TRUE(Form2->Timer1->Enabled());
    Tick();
    EXPECT_EQ(Counter(), 3);
    // The prize opens from here.
    ClickControl(Form2, Form2->RzLabel13);
    EXPECT_TRUE(PumpUntil([] { return Form1 && Form1->Visible(); }));
}
