// The sorting game played under Wine with real mouse messages: opened from
// the menu, browsed, a wrong drop framed and corrected, every picture sorted
// to the win, and the counter raised as the form closes by "ДОМ".
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "LessonUnits.h"
#include "sSkinManager.h"
#include "sorting_drive.h"

using namespace sorting;

namespace {
const char* const kNames[] = {"Image2", "Image3",  "Image4",  "Image5",  "Image6",  "Image7",  "Image8",
                              "Image9", "Image10", "Image12", "Image13", "Image15", "Image16", "Image17"};
}

TEST(Sorting, OpensShuffledFromTheMenu) {
    OpenFromMenu();
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(Form2->Shape3->Enabled());
    EXPECT_NE(raspr1, nullptr);
    EXPECT_FALSE(raspr1->Visible());
    ASSERT_EQ(SourceCount(), 14);
    std::set<AnsiString> names;
    for (int i = 0; i < 14; ++i) names.insert(raspr->RzGroupBox1->Controls(i)->Name());
    EXPECT_EQ(names.size(), 14u);
    for (const char* n : kNames) EXPECT_TRUE(names.count(n)) << n;
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Shown(), raspr->RzGroupBox1->Controls(0));
    ExpectBrowseButtons();
    EXPECT_FALSE(raspr->RzLabel13->Enabled());
    // The three bars wait hidden, standard ones (no skin manager in the program).
    EXPECT_EQ(DefaultSkinManager, nullptr);
    for (TsScrollBar* b : {raspr->sScrollBar1, raspr->sScrollBar2, raspr->sScrollBar3}) {
        EXPECT_FALSE(b->Visible());
        EXPECT_EQ(b->Kind(), sbVertical);
        EXPECT_EQ(b->Max(), 682);
        EXPECT_EQ(b->SmallChange(), 89);
        EXPECT_EQ(b->LargeChange(), 89);
        EXPECT_FALSE(b->Skinned());
        EXPECT_EQ(b->SkinData()->SkinSectionNo, -1);
    }
    EXPECT_EQ(raspr->sScrollBar1->DisabledKind(), 0u);
    EXPECT_EQ(raspr->sScrollBar2->DisabledKind(), 1u << dkBlended);
    // The caption names the shown picture once the timer has ticked.
    ASSERT_TRUE(raspr->Timer1->Enabled());
    raspr->Timer1->Timer();
    const AnsiString shown = raspr->RzGroupBox1->Caption();
    EXPECT_NE(shown, "Процессор");
    if (Shown()->Name() == "Image9") {
        EXPECT_EQ(shown, "Мышь");
    }
    if (Shown()->Name() == "Image12") {
        EXPECT_EQ(shown, "Монитор");
    }
    // The pictures are drawn: the source box is not one flat colour.
    Pixels px = Render(raspr);
    std::set<uint32_t> colours;
    const TRect r = Shown()->BoundsRect();
    const TPoint o = Point(raspr->RzGroupBox1->Left() + r.Left, raspr->RzGroupBox1->Top() + r.Top);
    for (int y = 0; y < r.Height(); y += 4)
        for (int x = 0; x < r.Width(); x += 4) colours.insert(px.At(o.X + x, o.Y + y));
    EXPECT_GT(colours.size(), 8u);
}

TEST(Sorting, BrowsesWithForwardAndBack) {
    TImage* first = Shown();
    Click(ScreenCentre(raspr->RzButton1));
    EXPECT_EQ(Unit51::SourceIndex, 1);
    EXPECT_FALSE(first->Visible());
    ExpectBrowseButtons();
    Click(ScreenCentre(raspr->RzButton2));
    EXPECT_EQ(Unit51::SourceIndex, 0);
    EXPECT_EQ(Shown(), first);
    ExpectBrowseButtons();
    for (int i = 0; i < 13; ++i) Click(ScreenCentre(raspr->RzButton1));
    EXPECT_EQ(Unit51::SourceIndex, 13);
    EXPECT_FALSE(raspr->RzButton1->Enabled());
    ExpectBrowseButtons();
    Click(ScreenCentre(raspr->RzButton1));  // at the last picture nothing happens
    EXPECT_EQ(Unit51::SourceIndex, 13);
    for (int i = 0; i < 13; ++i) Click(ScreenCentre(raspr->RzButton2));
    EXPECT_EQ(Unit51::SourceIndex, 0);
    ExpectBrowseButtons();
}

TEST(Sorting, WrongDropIsFramedAndBlocksTheSourceUntilCorrected) {
    TImage* p = Shown();
    ASSERT_NE(p, nullptr);
    const int number = PictureNumber(p);
    TRzGroupBox* wrong = WrongGroup(number);
    Drag(ScreenCentre(p), DropPoint(wrong));
    ASSERT_EQ(p->Parent(), wrong);
    EXPECT_EQ(Unit51::ErrorPending, 1);
    EXPECT_EQ(Unit51::ErrorCount, 1);
    EXPECT_EQ(raspr->RzLabel1->Caption(), "Исправь ошибку!");
    // Shrunk to its thumbnail, first in its group.
    EXPECT_EQ(p->Width(), 97);
    EXPECT_EQ(p->Height(), 89);
    EXPECT_EQ(p->Left(), 8);
    EXPECT_EQ(p->Top(), 40);
    EXPECT_TRUE(p->Enabled());
    auto* thumb = dynamic_cast<TImage*>(raspr1->FindComponent(p->Name()));
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(p->Picture()->Width(), thumb->Picture()->Width());
    // The red frame lies over it.
    TShape* frame = Unit51::ErrorFrame;
    ASSERT_EQ(frame->Parent(), wrong);
    EXPECT_EQ(frame->BoundsRect(), p->BoundsRect());
    EXPECT_EQ(frame->Pen()->Color(), clRed);
    EXPECT_EQ(frame->Pen()->Width(), 5);
    Pixels px = Render(raspr);
    const TPoint at = raspr->ScreenToClient(frame->ClientToScreen(Point(1, frame->Height() / 2)));
    EXPECT_EQ(px.At(at.X, at.Y), 0xFF0000u);
    // The source box is blocked: the next picture cannot be taken.
    TImage* next = Shown();
    ASSERT_NE(next, nullptr);
    ASSERT_NE(next, p);
    Drag(ScreenCentre(next), DropPoint(RightGroup(PictureNumber(next))));
    EXPECT_EQ(next->Parent(), raspr->RzGroupBox1);
    EXPECT_EQ(SourceCount(), 13);
    // A right-button press or a click without moving keeps the error pending.
    Click(ScreenCentre(frame), mbRight);
    Click(ScreenCentre(frame));
    EXPECT_EQ(Unit51::ErrorPending, 1);
    EXPECT_TRUE(frame->Visible());
    EXPECT_EQ(frame->Parent(), wrong);
    // Dragging the frame moves the framed picture: corrected.
    TRzGroupBox* right = RightGroup(number);
    Drag(ScreenCentre(frame), DropPoint(right));
    EXPECT_EQ(p->Parent(), right);
    EXPECT_FALSE(p->Enabled());
    EXPECT_EQ(Unit51::ErrorPending, 0);
    EXPECT_FALSE(frame->Visible());
    EXPECT_EQ(frame->Parent(), raspr);
    EXPECT_EQ(wrong->ControlCount(), 0);
    EXPECT_EQ(raspr->RzLabel1->Caption(), "Распредели устройства по назначению");
    EXPECT_EQ(Unit51::ErrorCount, 1);
    // A locked picture ignores presses: nothing is dragged from it.
    Drag(ScreenCentre(p), DropPoint(wrong));
    EXPECT_EQ(p->Parent(), right);
}

TEST(Sorting, PlaysToTheWinAndWaitsForTheClose) {
    // Alternate between taking the first and the last picture, so that both
    // ways of refilling the source box are played.
    bool fromEnd = false;
    while (PicturesLeft() > 0) {
        if (fromEnd)
            while (raspr->RzButton1->Enabled()) Click(ScreenCentre(raspr->RzButton1));
        fromEnd = !fromEnd;
        TImage* p = Shown();
        ASSERT_NE(p, nullptr);
        TRzGroupBox* g = RightGroup(PictureNumber(p));
        const int before = g->ControlCount();
        Drag(ScreenCentre(p), DropPoint(g));
        ASSERT_EQ(p->Parent(), g) << p->Name();
        EXPECT_FALSE(p->Enabled());
        // Three thumbnails a row, 97 wide with 3 between; then 94 lower.
        EXPECT_EQ(p->Left(), 8 + (before % 3) * 100) << p->Name();
        EXPECT_EQ(p->Top(), 40 + (before / 3) * 94) << p->Name();
        ExpectBrowseButtons();
    }
    EXPECT_EQ(raspr->RzGroupBox2->ControlCount(), 4);
    EXPECT_EQ(raspr->RzGroupBox3->ControlCount(), 5);
    EXPECT_EQ(raspr->RzGroupBox4->ControlCount(), 5);
    EXPECT_EQ(raspr->RzGroupBox1->Caption(), "ВСЁ!");
    EXPECT_EQ(raspr->Panel1->Parent(), raspr->RzGroupBox1);
    EXPECT_TRUE(raspr->Panel1->Visible());
    EXPECT_EQ(raspr->Panel1->Left(), 8);
    EXPECT_EQ(raspr->Panel1->Top(), 265 / 2);
    EXPECT_EQ(raspr->Label1->Caption(), "Ошибок:   1   !");
    EXPECT_TRUE(raspr->RzLabel13->Enabled());
    // The win is counted when the form closes, not before.
    EXPECT_EQ(Counter(), 0);
    // The result line scrolls left; "ДОМ" blinks.
    const int left = raspr->Label1->Left();
    EXPECT_TRUE(PumpUntil([&] { return raspr->Label1->Left() < left - 3; }, 2000));
    const TColor c = raspr->RzLabel13->Font()->Color();
    EXPECT_TRUE(PumpUntil([&] { return raspr->RzLabel13->Font()->Color() != c; }, 2000));
    if (const char* wait = std::getenv("TUVRELI_SHOT_WAIT")) Pump(), Sleep(DWORD(atoi(wait))), Pump();
}

TEST(Sorting, HomeClosesAndRaisesTheCounterOnce) {
    ClickControl(raspr, raspr->RzLabel13);
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_FALSE(raspr->Visible());
    EXPECT_FALSE(raspr->Image32->Visible());
    EXPECT_EQ(Counter(), 1);
    Pump();
    EXPECT_EQ(Counter(), 1);
}
