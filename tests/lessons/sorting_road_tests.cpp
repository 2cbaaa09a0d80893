// The whole road of a pupil, every game played for real: the naming game,
// the sorting game (left by its close box after the win, which still
// counts), the crossword, the prize opened by its blinking button, back to
// the menu and out by "Выход". The counter is read at each step.
#include <gtest/gtest.h>

#include <cstdlib>

#include "LessonUnits.h"
#include "kros_drive.h"
#include "naming_drive.h"
#include "sorting_drive.h"
#include "Unit6.h"

namespace {

bool ended = false;

// Sorts every picture right; Last becomes the group that took the last one.
void PlaySortingRight(TRzGroupBox*& Last) {
    while (sorting::PicturesLeft() > 0) {
        TImage* p = sorting::Shown();
        ASSERT_NE(p, nullptr);
        Last = sorting::RightGroup(PictureNumber(p));
        sorting::Drag(sorting::ScreenCentre(p), sorting::DropPoint(Last));
        ASSERT_EQ(p->Parent(), Last) << p->Name();
    }
}

}  // namespace

TEST(Road, MenuThreeGamesPrizeAndExit) {
    EXPECT_EQ(sorting::Counter(), 0);
    EXPECT_FALSE(Form2->RzLabel13->Enabled());

    ASSERT_NO_FATAL_FAILURE(naming::WinAndGoHome());
    EXPECT_EQ(sorting::Counter(), 1);

    sorting::OpenFromMenu();
    TRzGroupBox* last = nullptr;
    ASSERT_NO_FATAL_FAILURE(PlaySortingRight(last));
    // No mistakes: the message of the group the last picture went to.
    EXPECT_EQ(raspr->Label1->Caption(), last == raspr->RzGroupBox4 ? "Ошибок:   0   Вы правильно выполнили  задание!"
                                                                  : "Ошибок:   0   Вы правильно справились с заданием!");
    EXPECT_EQ(sorting::Counter(), 1);
    PostMessageW(raspr->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible() && !raspr->Visible(); }));
    EXPECT_EQ(sorting::Counter(), 2);
    EXPECT_FALSE(Form2->RzLabel13->Enabled());

    ClickControl(Form2, Form2->Shape1);
    ASSERT_NE(kros, nullptr);
    ASSERT_TRUE(PumpUntil([] { return IsWindowVisible(kros->Handle()) != 0; }));
    kros_drive::Gate().Attach(kros);
    kros_drive::Activate(kros);
    kros_drive::TypeAllWords();
    EXPECT_EQ(sorting::Counter(), 3);
    ClickControl(kros, kros->RzLabel13);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible() && !kros->Visible(); }));
    EXPECT_EQ(sorting::Counter(), 3);

    // Three wins: the prize button is enabled and blinks; it opens the prize.
    ASSERT_TRUE(Form2->RzLabel13->Enabled());
    ClickControl(Form2, Form2->RzLabel13);
    ASSERT_NE(Form1, nullptr);
    ASSERT_TRUE(PumpUntil([] { return IsWindowVisible(Form1->Handle()) != 0; }));
    EXPECT_FALSE(Form2->Visible());
    SetForegroundWindow(Form1->Handle());
    Pump();
    if (const char* wait = std::getenv("TUVRELI_SHOT_WAIT")) {
        const DWORD until = GetTickCount() + DWORD(atoi(wait));
        PumpUntil([until] { return GetTickCount() > until; }, atoi(wait) + 1000);
    }
    ClickControl(Form1, Form1->RzLabel13);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible() && !Form1->Visible(); }));
    EXPECT_EQ(sorting::Counter(), 3);

    // "Выход" closes the main form, which ends the run.
    ClickControl(Form2, Form2->RzLabel1);
    EXPECT_TRUE(PumpUntil([] { return Application->Terminated(); }));
    ended = Application->Terminated();
    EXPECT_TRUE(ended);
}
