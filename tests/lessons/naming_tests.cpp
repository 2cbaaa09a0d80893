// The naming game as one run of the program: opened from the menu, its form
// as defined, wrong presses and drops, the ten right drops, the win on the
// next tick, the blinking and "ДОМ" back to the menu. The tests run in this
// order and each continues from the state the one before left.
#include <string>
#include <vector>

#include "LessonUnits.h"
#include "RzBckgnd.h"
#include "RzLine.h"
#include "naming_drive.h"

using namespace naming;

namespace {

// Yellow (0xRRGGBB) as rendered, and the white of an empty box.
constexpr uint32_t kYellow = 0xFFFF00, kWhite = 0xFFFFFF, kRed = 0xFF0000;

// Inside of a box, clear of its red pen and rounded corners.
TRect Inside(TControl* C) { return Rect(C->Left() + 8, C->Top() + 6, C->Left() + C->Width() - 8, C->Top() + C->Height() - 6); }

struct Placed {
    int Left, Top;
};

std::vector<Placed> NamePlaces() {
    std::vector<Placed> v;
    for (int n = 1; n <= 10; ++n) v.push_back({sost->Names[n]->Left(), sost->Names[n]->Top()});
    return v;
}

bool StarShown(int N) { return sost->Stars[N]->Visible(); }

}  // namespace

TEST(Naming, OpensFromTheMenuAsDefined) {
    OpenFromMenu();
    EXPECT_EQ(sost->Caption(), "Zudaderir");
    EXPECT_EQ(sost->ClientWidth(), 992);
    EXPECT_EQ(sost->ClientHeight(), 666);
    EXPECT_EQ(sost->BorderIcons(), BorderIconBit(biSystemMenu));
    EXPECT_EQ(DraggedLabel, 0);
    EXPECT_EQ(PlacedCount, 0);
    EXPECT_EQ(DoneBlink, 0);
    EXPECT_FALSE(sost->RzLabel13->Enabled());

    // Creation order is z-order: the arrows lie over the picture and the
    // boxes, every name above its own box, the stars over the tray.
    std::vector<std::string> expected = {"RzBackground1", "Image1"};
    for (int n = 1; n <= 6; ++n) {
        expected.push_back("Shape" + std::to_string(n));
        expected.push_back("RzLine" + std::to_string(n));
    }
    for (int n = 7; n <= 14; ++n) expected.push_back("Shape" + std::to_string(n));
    expected.push_back("RzLabel1");
    expected.push_back("Shape15");
    expected.push_back("Shape16");
    for (int n = 17; n <= 20; ++n) {
        expected.push_back("Shape" + std::to_string(n));
        expected.push_back("RzLine" + std::to_string(n - 10));
    }
    for (int n = 2; n <= 10; ++n) expected.push_back("RzLabel" + std::to_string(n));
    for (const char* s : {"Image33", "Image31", "Image32", "RzLabel13"}) expected.push_back(s);
    for (int n = 1; n <= 10; ++n) expected.push_back("StarShape" + std::to_string(n));
    ASSERT_EQ(sost->ControlCount(), int(expected.size()));
    for (int i = 0; i < sost->ControlCount(); ++i) EXPECT_EQ(sost->Controls(i)->Name(), expected[size_t(i)]) << i;
    EXPECT_EQ(sost->ComponentCount(), int(expected.size()) + 1);  // and the timer
    EXPECT_EQ(sost->Components(sost->ComponentCount() - 1), sost->Timer1);
    EXPECT_EQ(sost->Timer1->Interval(), 500u);
    EXPECT_EQ(sost->Timer1->OnTimer, TNotifyEvent::Of<&Tsost::Timer1Timer>(sost));
    EXPECT_EQ(sost->OnShow, TNotifyEvent::Of<&Tsost::FormShow>(sost));

    auto over = TDragOverEvent::Of<&Tsost::Shape3DragOver>(sost);
    auto* bg = dynamic_cast<TRzBackground*>(Find(sost, "RzBackground1"));
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->Align(), alClient);
    EXPECT_EQ(bg->GradientDirection(), gdSquareBox);
    EXPECT_EQ(bg->GradientColorStart(), clAqua);
    EXPECT_EQ(bg->GradientColorStop(), TColor(16777173));
    EXPECT_EQ(bg->OnDragOver, over);
    EXPECT_FALSE(bg->OnDragDrop);

    // Each name: its caption, its tray slot, its box and its star.
    const char* captions[11] = {nullptr, "Клавиатура", "Монитор", "Жёсткий диск", "Принтер", "Мышь", "Процессор",
                                "Колонки", "Дисковод гибких дисков", "Микросхемы памяти", "Дисковод компакт-дисков"};
    const TDragDropEvent drops[11] = {
        {}, TDragDropEvent::Of<&Tsost::Shape3DragDrop>(sost), TDragDropEvent::Of<&Tsost::Shape2DragDrop>(sost),
        TDragDropEvent::Of<&Tsost::Shape17DragDrop>(sost), TDragDropEvent::Of<&Tsost::Shape5DragDrop>(sost),
        TDragDropEvent::Of<&Tsost::Shape4DragDrop>(sost), TDragDropEvent::Of<&Tsost::Shape18DragDrop>(sost),
        TDragDropEvent::Of<&Tsost::Shape1DragDrop>(sost), TDragDropEvent::Of<&Tsost::Shape6DragDrop>(sost),
        TDragDropEvent::Of<&Tsost::Shape19DragDrop>(sost), TDragDropEvent::Of<&Tsost::Shape20DragDrop>(sost)};
    const TMouseEvent presses[11] = {
        {}, TMouseEvent::Of<&Tsost::RzLabel1MouseDown>(sost), TMouseEvent::Of<&Tsost::RzLabel2MouseDown>(sost),
        TMouseEvent::Of<&Tsost::RzLabel3MouseDown>(sost), TMouseEvent::Of<&Tsost::RzLabel4MouseDown>(sost),
        TMouseEvent::Of<&Tsost::RzLabel5MouseDown>(sost), TMouseEvent::Of<&Tsost::RzLabel6MouseDown>(sost),
        TMouseEvent::Of<&Tsost::RzLabel7MouseDown>(sost), TMouseEvent::Of<&Tsost::RzLabel8MouseDown>(sost),
        TMouseEvent::Of<&Tsost::RzLabel9MouseDown>(sost), TMouseEvent::Of<&Tsost::RzLabel10MouseDown>(sost)};
    const int tray[11][2] = {{}, {16, 528}, {16, 592}, {184, 528}, {184, 592}, {352, 528},
                             {352, 592}, {520, 528}, {520, 592}, {688, 528}, {688, 592}};
    const int starAt[11][2] = {{}, {64, 528}, {64, 592}, {232, 528}, {232, 592}, {400, 528},
                               {400, 592}, {568, 528}, {568, 592}, {736, 528}, {736, 592}};
    for (int n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        TRzLabel* name = sost->Names[n];
        EXPECT_EQ(name->Caption(), captions[n]);
        EXPECT_EQ(name->BoundsRect(), Bounds(tray[n][0], tray[n][1], 153, 57));
        EXPECT_EQ(name->Font()->Height(), -19);
        EXPECT_EQ(name->Font()->Color(), clBlue);
        EXPECT_TRUE(name->WordWrap());
        EXPECT_EQ(name->Cursor(), crHandPoint);
        EXPECT_EQ(name->OnMouseDown, presses[n]);
        TShape* box = sost->Boxes[n];
        EXPECT_EQ(box, Find(sost, kBoxOf[n]));
        EXPECT_EQ(box->Width(), 153);
        EXPECT_EQ(box->Height(), 57);
        EXPECT_EQ(box->Shape(), stRoundRect);
        EXPECT_EQ(box->Pen()->Color(), clRed);
        EXPECT_EQ(box->Pen()->Width(), 2);
        EXPECT_EQ(box->OnDragOver, over);
        EXPECT_EQ(box->OnDragDrop, drops[n]);
        EXPECT_GT(sost->IndexOfControl(name), sost->IndexOfControl(box));
        TStarShape* star = sost->Stars[n];
        EXPECT_EQ(star->BoundsRect(), Bounds(starAt[n][0], starAt[n][1], 57, 57));
        EXPECT_FALSE(star->Visible());
        EXPECT_EQ(star->Brush()->Color(), clRed);
        EXPECT_EQ(star->ShadowOffset(), 3u);
        EXPECT_EQ(star->ShadowColor(), clYellow);
    }
    // The tray slots have no events; the arrows carry their slope and tips.
    for (int n = 7; n <= 16; ++n) {
        auto* slot = dynamic_cast<TShape*>(Find(sost, ("Shape" + std::to_string(n)).c_str()));
        ASSERT_NE(slot, nullptr);
        EXPECT_FALSE(slot->OnDragOver);
        EXPECT_FALSE(slot->OnDragDrop);
    }
    auto* line6 = dynamic_cast<TRzLine*>(Find(sost, "RzLine6"));
    ASSERT_NE(line6, nullptr);
    EXPECT_EQ(line6->BoundsRect(), Bounds(608, 184, 177, 113));
    EXPECT_EQ(line6->LineSlope(), lsUp);
    EXPECT_EQ(line6->ShowArrows(), saStart);
    EXPECT_EQ(line6->LineColor(), clRed);
    auto* line3 = dynamic_cast<TRzLine*>(Find(sost, "RzLine3"));
    ASSERT_NE(line3, nullptr);
    EXPECT_EQ(line3->ShowArrows(), saEnd);

    // Pictures: the computer is drawn over the gradient, the boxes are empty.
    auto* picture = dynamic_cast<TImage*>(Find(sost, "Image1"));
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->Stretch());
    EXPECT_EQ(picture->BoundsRect(), Bounds(320, 32, 353, 457));
    EXPECT_EQ(Find(sost, "Image33")->BoundsRect(), Bounds(48, 24, 185, 210));
    Pixels px = Render(sost);
    Pixels noPicture;
    picture->Hide();
    noPicture = Render(sost);
    picture->Show();
    EXPECT_GT(DifferingPixels(px, noPicture, 320, 32, 353, 457), 353 * 457 / 3);
    for (int n = 1; n <= 10; ++n) EXPECT_GT(CountColour(px, Inside(sost->Boxes[n]), kWhite), 137 * 45 * 9 / 10) << n;
}

TEST(Naming, PressingRecordsTheNameButOnlyALeftDragMovesIt) {
    std::vector<Placed> before = NamePlaces();
    // The right button: recorded, no drag.
    TPoint p = Centre(sost->Names[5]);
    MouseAt(sost, WM_RBUTTONDOWN, MK_RBUTTON, p);
    EXPECT_EQ(DraggedLabel, 5);
    EXPECT_EQ(DragSourceControl(), nullptr);
    MouseAt(sost, WM_RBUTTONUP, 0, p);
    // A left press waits for the threshold; released in place, nothing moves.
    p = Centre(sost->Names[4]);
    MouseAt(sost, WM_LBUTTONDOWN, MK_LBUTTON, p);
    EXPECT_EQ(DraggedLabel, 4);
    EXPECT_EQ(DragSourceControl(), sost->Names[4]);
    EXPECT_FALSE(DragActive());
    MouseAt(sost, WM_MOUSEMOVE, MK_LBUTTON, Point(p.X + 1, p.Y));
    EXPECT_FALSE(DragActive());
    MouseAt(sost, WM_LBUTTONUP, 0, Point(p.X + 1, p.Y));
    EXPECT_EQ(DragSourceControl(), nullptr);
    EXPECT_EQ(PlacedCount, 0);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(sost->Names[n]->Left(), before[size_t(n - 1)].Left);
        EXPECT_EQ(sost->Names[n]->Top(), before[size_t(n - 1)].Top);
    }
}

TEST(Naming, WrongDropsChangeNothing) {
    Pixels before = Render(sost);
    std::vector<Placed> places = NamePlaces();
    // Onto another name's box, the background, the picture, a tray name.
    DragName(1, "Shape2");
    EXPECT_EQ(DraggedLabel, 1);
    DragName(2, "Shape3");
    DragTo(sost, sost->Names[3], Point(280, 100));
    DragTo(sost, sost->Names[4], Centre(Find(sost, "Image1")));
    DragTo(sost, sost->Names[5], Centre(sost->Names[6]));
    DragTo(sost, sost->Names[10], Centre(Find(sost, "Image33")));
    EXPECT_EQ(DragSourceControl(), nullptr);
    EXPECT_EQ(PlacedCount, 0);
    Tick();
    EXPECT_EQ(DoneBlink, 0);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(sost->Names[n]->Left(), places[size_t(n - 1)].Left) << n;
        EXPECT_EQ(sost->Names[n]->Top(), places[size_t(n - 1)].Top) << n;
        EXPECT_EQ(sost->Boxes[n]->Brush()->Color(), clWhite) << n;
        EXPECT_FALSE(StarShown(n)) << n;
    }
    Pixels after = Render(sost);
    EXPECT_EQ(DifferingPixels(before, after, 0, 0, 992, 666), 0);
}

TEST(Naming, ARightDropFillsTheBoxAndShowsTheStarOnce) {
    Pixels before = Render(sost);
    DragName(1, "Shape3");
    TShape* box = sost->Boxes[1];
    EXPECT_EQ(PlacedCount, 1);
    EXPECT_EQ(box->Brush()->Color(), clYellow);
    EXPECT_EQ(sost->Names[1]->BoundsRect(), box->BoundsRect());
    EXPECT_TRUE(StarShown(1));
    for (int n = 2; n <= 10; ++n) EXPECT_FALSE(StarShown(n)) << n;
    Pixels after = Render(sost);
    EXPECT_GT(CountColour(after, Inside(box), kYellow), 137 * 45 / 2);
    EXPECT_EQ(CountColour(before, Inside(box), kYellow), 0);
    // The star now stands in the tray slot the name left.
    TRect star = sost->Stars[1]->BoundsRect();
    EXPECT_GT(CountColour(after, star, kRed) - CountColour(before, star, kRed), 300);

    // The placed name covers its box: dropped there again it is not counted.
    DragName(1, "Shape3");
    EXPECT_EQ(PlacedCount, 1);
    // Dropped on another box it stays on its own.
    DragName(1, "Shape1");
    EXPECT_EQ(PlacedCount, 1);
    EXPECT_EQ(sost->Names[1]->BoundsRect(), box->BoundsRect());
    EXPECT_EQ(sost->Boxes[7]->Brush()->Color(), clWhite);
    // Another name cannot land on a filled box either.
    DragName(7, "Shape3");
    EXPECT_EQ(PlacedCount, 1);
    EXPECT_EQ(sost->Names[7]->Left(), 520);
    Tick();
    EXPECT_EQ(DoneBlink, 0);
    EXPECT_FALSE(sost->RzLabel13->Enabled());
}

TEST(Naming, TheTenthRightDropWinsOnTheNextTick) {
    for (int n = 2; n <= 9; ++n) {
        DragName(n, kBoxOf[n]);
        EXPECT_EQ(PlacedCount, n);
        Tick();
        EXPECT_EQ(DoneBlink, 0);
        EXPECT_FALSE(sost->RzLabel13->Enabled());
    }
    EXPECT_EQ(Counter(), 0);
    DragName(10, kBoxOf[10]);
    EXPECT_EQ(PlacedCount, 10);
    // Not at the drop: at the tick.
    EXPECT_FALSE(sost->RzLabel13->Enabled());
    EXPECT_EQ(Counter(), 0);
    EXPECT_EQ(DoneBlink, 0);
    for (int n = 1; n <= 10; ++n) EXPECT_TRUE(StarShown(n)) << n;

    Tick();
    EXPECT_TRUE(sost->RzLabel13->Enabled());
    EXPECT_EQ(Counter(), 1);
    // The first blink phase ran in the same tick.
    EXPECT_EQ(DoneBlink, 2);
    EXPECT_EQ(sost->RzLabel13->Font()->Color(), clRed);
    const int groupA[] = {2, 3, 6, 7, 10}, groupB[] = {1, 4, 5, 8, 9};
    for (int n : groupA) EXPECT_TRUE(StarShown(n)) << n;
    for (int n : groupB) EXPECT_FALSE(StarShown(n)) << n;

    // The groups take turns; the counter is raised once only.
    for (int t = 0; t < 12; ++t) {
        Tick();
        bool odd = t % 2 == 0;
        EXPECT_EQ(DoneBlink, odd ? 1 : 2);
        EXPECT_EQ(sost->RzLabel13->Font()->Color(), odd ? clYellow : clRed);
        for (int n : groupA) EXPECT_EQ(StarShown(n), !odd) << n;
        for (int n : groupB) EXPECT_EQ(StarShown(n), odd) << n;
    }
    EXPECT_EQ(Counter(), 1);

    Pixels px = Render(sost);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(sost->Names[n]->BoundsRect(), sost->Boxes[n]->BoundsRect()) << n;
        EXPECT_GT(CountColour(px, Inside(sost->Boxes[n]), kYellow), 137 * 45 / 2) << n;
    }
    // The real timer ticks too, and blinks on.
    int phase = DoneBlink;
    sost->Timer1->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return DoneBlink != phase; }, 2000));
    EXPECT_EQ(Counter(), 1);
}

TEST(Naming, HomeGoesBackToTheMenu) {
    ClickControl(sost, sost->RzLabel13);
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_FALSE(sost->Visible());
    EXPECT_FALSE(sost->Image32->Visible());
    EXPECT_FALSE(Form2->Shape2->Enabled());
    // Hidden, the game blinks on without counting again.
    EXPECT_TRUE(sost->Timer1->Enabled());
    for (int t = 0; t < 5; ++t) Tick();
    EXPECT_EQ(Counter(), 1);
    EXPECT_FALSE(Form2->RzLabel13->Enabled());
}
