// The menu and the traffic between the forms, as one run of the program: the
// tests run in this order and each continues from the state the one before
// left (a game can be opened once per run).
#include <gtest/gtest.h>

#include "LessonTestUtil.h"
#include "LessonUnits.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit51.h"
#include "Unit52.h"
#include "Unit6.h"

namespace {

int IndexInApplication(TComponent* C) {
    for (int i = 0; i < Application->ComponentCount(); ++i)
        if (Application->Components(i) == C) return i;
    return -1;
}

}  // namespace

TEST(Menu, StartState) {
    ASSERT_NE(Form2, nullptr);
    EXPECT_EQ(Application->MainForm(), Form2);
    EXPECT_TRUE(WindowShown(Form2));
    EXPECT_EQ(Form2->Caption(), "Tuvreli");
    EXPECT_EQ(Form2->ClientWidth(), 992);
    EXPECT_EQ(Form2->ClientHeight(), 666);
    EXPECT_EQ(Form2->Label1->Caption(), "0");
    EXPECT_FALSE(Form2->Label1->Visible());
    EXPECT_FALSE(Form2->RzLabel13->Enabled());
    EXPECT_FALSE(Form2->Timer1->Enabled());
    EXPECT_EQ(Form2->Timer1->Interval(), 500u);
    EXPECT_TRUE(Form2->Shape1->Enabled());
    EXPECT_TRUE(Form2->Shape2->Enabled());
    EXPECT_TRUE(Form2->Shape3->Enabled());
    EXPECT_EQ(PrizeBlink, 0);
    // Only the menu exists at start.
    EXPECT_EQ(sost, nullptr);
    EXPECT_EQ(raspr, nullptr);
    EXPECT_EQ(raspr1, nullptr);
    EXPECT_EQ(kros, nullptr);
    EXPECT_EQ(Form1, nullptr);
    // Centred on the screen.
    RECT r;
    GetWindowRect(Form2->Handle(), &r);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 2);
    // The window carries the definition's icon, large and small.
    EXPECT_FALSE(Form2->Icon()->Empty());
    EXPECT_NE(SendMessageW(Form2->Handle(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(Form2->Handle(), WM_GETICON, ICON_SMALL, 0), 0);
    // Single border, system menu, neither minimise nor maximise box.
    LONG style = GetWindowLongW(Form2->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
}

TEST(Menu, LeftButtonOpensGameOneOnceAndCloseBoxLeavesTheCounter) {
    Pixels before = Render(Form2);
    ClickControl(Form2, Form2->Shape2, mbLeft);
    ASSERT_NE(sost, nullptr);
    EXPECT_TRUE(WindowShown(sost));
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(Form2->Shape2->Enabled());
    EXPECT_FALSE(Form2->Image3->Visible());
    EXPECT_EQ(sost->Caption(), "Zudaderir");
    EXPECT_FALSE(sost->RzLabel13->Enabled());  // "ДОМ" waits for the win

    CloseBox(sost);
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_FALSE(sost->Visible());  // only hidden
    EXPECT_EQ(Form2->Label1->Caption(), "0");

    // The used button shows its plain disc: the ball is gone from its place.
    Pixels after = Render(Form2);
    EXPECT_GT(DifferingPixels(before, after, 528, 296, 80, 78), 200);
    EXPECT_EQ(DifferingPixels(before, after, 528, 416, 80, 78), 0);

    // A second press does nothing: the same hidden form, the menu stays.
    Tsost* first = sost;
    ClickControl(Form2, Form2->Shape2, mbLeft);
    EXPECT_EQ(sost, first);
    EXPECT_FALSE(sost->Visible());
    EXPECT_TRUE(Form2->Visible());
}

TEST(Menu, RightButtonOpensGameTwoWithTheStoreCreatedFirst) {
    ClickControl(Form2, Form2->Shape3, mbRight);
    ASSERT_NE(raspr1, nullptr);
    ASSERT_NE(raspr, nullptr);
    EXPECT_LT(IndexInApplication(raspr1), IndexInApplication(raspr));
    EXPECT_TRUE(WindowShown(raspr));
    EXPECT_FALSE(raspr1->Visible());
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(Form2->Shape3->Enabled());
    EXPECT_FALSE(Form2->Image5->Visible());

    // Won (a test may enable "ДОМ"): closing from "ДОМ" raises the counter once.
    raspr->RzLabel13->SetEnabled(true);
    ClickControl(raspr, raspr->RzLabel13);
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_FALSE(raspr->Visible());
    EXPECT_FALSE(raspr1->Visible());
    EXPECT_FALSE(raspr->Image32->Visible());
    EXPECT_EQ(Form2->Label1->Caption(), "1");
    EXPECT_FALSE(Form2->RzLabel13->Enabled());
}

TEST(Menu, MiddleButtonOpensGameThree) {
    ClickControl(Form2, Form2->Shape1, mbMiddle);
    ASSERT_NE(kros, nullptr);
    EXPECT_TRUE(WindowShown(kros));
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(Form2->Shape1->Enabled());
    EXPECT_FALSE(Form2->Image32->Visible());
    // The crossword counts its win when it happens, not on closing.
    kros->RzLabel13->SetEnabled(true);
    ClickControl(kros, kros->RzLabel13);
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_FALSE(kros->Visible());
    EXPECT_FALSE(kros->Image32->Visible());
    EXPECT_EQ(Form2->Label1->Caption(), "1");
}

TEST(Menu, OnlyTheExactTextThreeUnlocksThePrize) {
    for (const char* almost : {"03", "3 ", " 3", "2"}) {
        Form2->Label1->SetCaption(almost);
        Form2->Hide();
        Form2->Show();
        Pump();
        EXPECT_FALSE(Form2->RzLabel13->Enabled()) << almost;
        EXPECT_FALSE(Form2->Timer1->Enabled()) << almost;
        EXPECT_EQ(PrizeBlink, 0);
    }
    Form2->Label1->SetCaption("3");
    Form2->Hide();
    Form2->Show();
    Pump();
    EXPECT_TRUE(Form2->RzLabel13->Enabled());
    EXPECT_TRUE(Form2->Timer1->Enabled());
    EXPECT_EQ(PrizeBlink, 1);
    // Driven by ticks, not by the clock: red first, then yellow, then red.
    Form2->Timer1->SetEnabled(false);
    TRzLabel* prize = Form2->RzLabel13;
    Form2->Timer1->OnTimer(Form2->Timer1);
    EXPECT_EQ(prize->Font()->Color(), clRed);
    EXPECT_EQ(PrizeBlink, 2);
    Form2->Timer1->OnTimer(Form2->Timer1);
    EXPECT_EQ(prize->Font()->Color(), clYellow);
    EXPECT_EQ(PrizeBlink, 1);
    Form2->Timer1->OnTimer(Form2->Timer1);
    EXPECT_EQ(prize->Font()->Color(), clRed);
    // The real timer ticks too.
    Form2->Timer1->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return prize->Font()->Color() == clYellow; }, 2000));
}

TEST(Menu, PrizeOpensOnceAndItsHomeButtonReturns) {
    ClickControl(Form2, Form2->RzLabel13);
    ASSERT_NE(Form1, nullptr);
    EXPECT_TRUE(WindowShown(Form1));
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(Form2->Timer1->Enabled());
    EXPECT_FALSE(Form2->RzLabel13->Visible());
    EXPECT_FALSE(Form2->Image7->Visible());
    EXPECT_EQ(Form1->Caption(), "Приз!");
    // No close box: "ДОМ" is the only way back.
    EXPECT_FALSE(GetWindowLongW(Form1->Handle(), GWL_STYLE) & WS_SYSMENU);
    ClickControl(Form1, Form1->RzLabel13);
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_FALSE(Form1->Visible());
    EXPECT_FALSE(Form1->Image7->Visible());
    // The prize button stays hidden on later showings.
    Form2->Hide();
    Form2->Show();
    Pump();
    EXPECT_FALSE(Form2->RzLabel13->Visible());
}
