// The sorting game in a process of its own: a group that overflows grows and
// is scrolled by its bar with real clicks; closing the form by its close box
// before the win returns to the menu without counting.
#include <gtest/gtest.h>

#include "LessonUnits.h"
#include "sorting_drive.h"

using namespace sorting;

TEST(SortingGroups, AGroupGrowsAndItsBarScrollsIt) {
    OpenFromMenu();
    TImage* p = Shown();
    ASSERT_NE(p, nullptr);
    TRzGroupBox* g = RightGroup(PictureNumber(p));
    TsScrollBar* bar = g == raspr->RzGroupBox2   ? raspr->sScrollBar1
                       : g == raspr->RzGroupBox3 ? raspr->sScrollBar2
                                                 : raspr->sScrollBar3;
    EXPECT_FALSE(bar->Visible());
    // Six thumbnails already in the group (two full rows): the next starts the third.
    for (int i = 0; i < 6; ++i) {
        auto* t = new TImage(raspr);
        t->SetBounds(8 + (i % 3) * 100, 40 + (i / 3) * 94, 97, 89);
        t->SetParent(g);
        t->SetEnabled(false);
    }
    Drag(ScreenCentre(p), DropPoint(g));
    ASSERT_EQ(p->Parent(), g);
    EXPECT_EQ(p->Left(), 8);
    EXPECT_EQ(p->Top(), 228);
    EXPECT_EQ(g->Height(), 228 + 2 * 89);
    EXPECT_EQ(bar->Max(), 406 - 313 - 5);
    EXPECT_TRUE(bar->Visible());
    Pump();

    // A click on the bar's lower arrow moves the group up inside its window.
    const Pixels before = Render(raspr);
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    ClickPosted(bar->ClientToScreen(Point(4, bar->Height() - arrow / 2)));
    EXPECT_EQ(bar->Position(), 88);
    EXPECT_EQ(g->Top(), -88);
    const Pixels after = Render(raspr);
    TControl* window = g->Parent();
    EXPECT_GT(DifferingPixels(before, after, window->Left(), window->Top(), window->Width(), window->Height()), 500);
    ClickPosted(bar->ClientToScreen(Point(4, arrow / 2)));
    EXPECT_EQ(g->Top(), 0);
}

TEST(SortingGroups, TheCloseBoxBeforeTheWinDoesNotCount) {
    PostMessageW(raspr->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_FALSE(raspr->Visible());
    EXPECT_EQ(Counter(), 0);
    EXPECT_FALSE(raspr->RzLabel13->Enabled());
}
