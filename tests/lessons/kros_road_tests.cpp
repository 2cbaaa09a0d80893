// The crossword game on the pupil's road from the menu: opened by its ball,
// played to a win after the naming game, or left by the close box before the
// win, or closed in the half second between the last letter and the check.
// A game opens once per run, so each test runs in a process of its own.
#include <gtest/gtest.h>

#include "LessonUnits.h"
#include "kros_drive.h"
#include "naming_drive.h"

using namespace kros_drive;

namespace {

void OpenCrosswordFromMenu() {
    ASSERT_TRUE(Form2->Visible());
    ClickControl(Form2, Form2->Shape1);
    ASSERT_NE(kros, nullptr);
    ASSERT_TRUE(PumpUntil([] { return IsWindowVisible(kros->Handle()) != 0; }));
    Gate().Attach(kros);
    Activate(kros);
}

}  // namespace

TEST(KrosRoad, ThroughTheNamingGameAndTheCrosswordTheCounterReadsTwo) {
    ASSERT_NO_FATAL_FAILURE(naming::WinAndGoHome());
    EXPECT_EQ(Form2->Label1->Caption(), "1");

    OpenCrosswordFromMenu();
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(Form2->Image32->Visible()) << "the menu's ball shows as used";
    EXPECT_FALSE(Form2->Shape1->Enabled());
    EXPECT_EQ(FocusedCell(kros), Tkros::SinkCell);
    TypeAllWords();
    EXPECT_EQ(AllSolved, 1);
    EXPECT_EQ(Form2->Label1->Caption(), "2");
    ClickControl(kros, kros->RzLabel13);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible() && !kros->Visible(); }));
    EXPECT_EQ(Form2->Label1->Caption(), "2");
    // Two wins of three: the prize stays locked, and the crossword cannot be
    // opened again.
    EXPECT_FALSE(Form2->RzLabel13->Enabled());
    Tkros* first = kros;
    ClickControl(Form2, Form2->Shape1);
    EXPECT_EQ(kros, first);
    EXPECT_TRUE(Form2->Visible());
    EXPECT_FALSE(kros->Visible());
    // The hidden game's timer goes on and counts nothing more.
    ASSERT_TRUE(Gate().Step(2));
    EXPECT_EQ(Form2->Label1->Caption(), "2");
}

TEST(KrosRoad, ClosedBeforeTheWinItCountsNothingAndStaysUsed) {
    OpenCrosswordFromMenu();
    for (int w = 1; w <= 9; ++w) {
        TypeWord(w);
        ASSERT_TRUE(Gate().Step());
    }
    PostMessageW(kros->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible() && !kros->Visible(); }));
    EXPECT_EQ(Form2->Label1->Caption(), "0");
    EXPECT_FALSE(Form2->Shape1->Enabled());
    ASSERT_TRUE(Gate().Step(3));
    EXPECT_EQ(AllSolved, 0);
    EXPECT_EQ(Form2->Label1->Caption(), "0");
    EXPECT_FALSE(Form2->RzLabel13->Enabled());
}

// The last letter typed, the close box pressed before the next check: the
// hidden form's tick sees the win, raises the counter while the menu shows,
// and the prize, now earned, unlocks at once.
TEST(KrosRoad, AWinSeenAfterTheCloseCountsAndUnlocksThePrize) {
    Form2->Label1->SetCaption("2");  // the two other games are won
    OpenCrosswordFromMenu();
    for (int w = 1; w <= Tkros::WordCount; ++w) {
        TypeWord(w);
        if (w < Tkros::WordCount) {
            ASSERT_TRUE(Gate().Step());
        }
    }
    EXPECT_EQ(AllSolved, 0);
    PostMessageW(kros->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible() && !kros->Visible(); }));
    EXPECT_EQ(Form2->Label1->Caption(), "2");
    EXPECT_FALSE(Form2->RzLabel13->Enabled());
    ASSERT_TRUE(Gate().Step());
    EXPECT_EQ(AllSolved, 1);
    EXPECT_EQ(Form2->Label1->Caption(), "3");
    EXPECT_TRUE(Form2->RzLabel13->Enabled()) << "the prize unlocks with the menu already shown";
    EXPECT_EQ(PrizeBlink, 1);
    ASSERT_TRUE(Gate().Step(2));
    EXPECT_EQ(Form2->Label1->Caption(), "3");
}
