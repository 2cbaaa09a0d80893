// The prize screen as one run: opened from the menu once three games count,
// its form as defined, the firework of four star sequences tick by tick, and
// "ДОМ" back to the menu.
#include <string>
#include <vector>

#include "LessonUnits.h"
#include "prize_drive.h"

using namespace prize;

namespace {

constexpr uint32_t kAqua = 0x00FFFF, kRed = 0xFF0000, kYellow = 0xFFFF00;

struct StarDef {
    const char* Name;
    int Left, Top, Width, Height;
    TColor Brush, Pen;
};

const StarDef kStars[] = {
    {"StarShape4", 768, 40, 9, 9, clRed, clYellow},      {"StarShape5", 856, 448, 9, 9, clYellow, clRed},
    {"StarShape6", 768, 440, 9, 9, clRed, clYellow},     {"StarShape1", 112, 72, 9, 9, clRed, clYellow},
    {"StarShape2", 8, 184, 9, 9, clRed, clYellow},       {"StarShape3", 120, 312, 9, 9, clYellow, clRed},
    {"StarShape7", 8, 64, 9, 9, clYellow, clRed},        {"StarShape8", 120, 464, 9, 9, clRed, clYellow},
    {"StarShape9", 16, 504, 9, 9, clYellow, clRed},      {"StarShape10", 856, 56, 9, 9, clYellow, clRed},
    {"StarShape11", 768, 280, 9, 9, clYellow, clRed},    {"StarShape12", 840, 233, 9, 8, clRed, clYellow},
};

TStarShape* Star(const char* Name) { return dynamic_cast<TStarShape*>(Form1->FindComponent(Name)); }

// The sequences A to D by step.
const char* const kSequence[4][3] = {{"StarShape6", "StarShape5", "StarShape4"},
                                     {"StarShape3", "StarShape2", "StarShape1"},
                                     {"StarShape7", "StarShape8", "StarShape9"},
                                     {"StarShape10", "StarShape11", "StarShape12"}};

// Back to the state of a freshly shown form, with the timer stopped so that
// the test alone ticks.
void Restart() {
    Form1->Timer2->SetEnabled(false);
    for (const StarDef& d : kStars) {
        Star(d.Name)->SetBounds(d.Left, d.Top, d.Width, d.Height);
        Star(d.Name)->Hide();
    }
    Form1->Hide();
    Form1->Show();
    Pump();
}

void Tick() { Form1->Timer2->OnTimer(Form1->Timer2); }

}  // namespace

TEST(Prize, OpensFromTheMenuAsDefined) {
    OpenFromMenu();
    EXPECT_EQ(Form1->Caption(), "Приз!");
    EXPECT_EQ(Form1->ClientWidth(), 992);
    EXPECT_EQ(Form1->ClientHeight(), 666);
    EXPECT_EQ(Form1->Color(), clAqua);
    EXPECT_EQ(Form1->BorderIcons(), 0u);
    LONG style = GetWindowLongW(Form1->Handle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_EQ(Form1->OnShow, TNotifyEvent::Of<&TForm1::FormShow>(Form1));
    EXPECT_EQ(Form1->OnClose, TCloseEvent::Of<&TForm1::FormClose>(Form1));

    std::vector<std::string> order = {"Image1", "StarShape4", "StarShape5", "StarShape6", "Image6", "Image7",
                                      "RzLabel13"};
    for (int n : {1, 2, 3, 7, 8, 9, 10, 11, 12}) order.push_back("StarShape" + std::to_string(n));
    ASSERT_EQ(Form1->ControlCount(), int(order.size()));
    for (int i = 0; i < Form1->ControlCount(); ++i) EXPECT_EQ(Form1->Controls(i)->Name(), order[size_t(i)]) << i;
    EXPECT_EQ(Form1->ComponentCount(), int(order.size()) + 1);
    EXPECT_EQ(Form1->Timer2->Interval(), 10u);
    EXPECT_EQ(Form1->Timer2->OnTimer, TNotifyEvent::Of<&TForm1::Timer2Timer>(Form1));

    auto* diploma = dynamic_cast<TImage*>(Form1->FindComponent("Image1"));
    ASSERT_NE(diploma, nullptr);
    EXPECT_EQ(diploma->BoundsRect(), Bounds(264, 8, 485, 649));
    EXPECT_TRUE(Form1->RzLabel13->Enabled());
    EXPECT_EQ(Form1->RzLabel13->Caption(), "ДОМ");
    EXPECT_EQ(Form1->RzLabel13->OnClick, TNotifyEvent::Of<&TForm1::RzLabel13Click>(Form1));
    for (const StarDef& d : kStars) {
        SCOPED_TRACE(d.Name);
        TStarShape* s = Star(d.Name);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->Brush()->Color(), d.Brush);
        EXPECT_EQ(s->Pen()->Color(), d.Pen);
        EXPECT_EQ(s->Pen()->Width(), 5);
        EXPECT_TRUE(s->Shadow());
        EXPECT_EQ(s->ShadowOffset(), 2u);
        EXPECT_EQ(s->ShadowColor(), clBtnShadow);
    }
    // The diploma is drawn over the form's colour.
    Restart();
    Pixels px = Render(Form1);
    EXPECT_LT(CountColour(px, diploma->BoundsRect(), kAqua), 485 * 649 / 20);
    EXPECT_GT(CountColour(px, Bounds(0, 0, 250, 660), kAqua), 250 * 660 * 9 / 10);
}

TEST(Prize, FourSequencesGrowTheirStarsInTurnEvery79Ticks) {
    Restart();
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(StarStep[s], 0);
        EXPECT_EQ(StarShown[s], 0);
    }
    for (const StarDef& d : kStars) EXPECT_FALSE(Star(d.Name)->Visible()) << d.Name;

    for (int t = 1; t <= 3 * 79 + 5; ++t) {
        Tick();
        int phase = (t - 1) % 79;  // 0..78 within the cycle
        int step = phase < 26 ? 0 : phase < 52 ? 1 : phase < 78 ? 2 : -1;
        for (int s = 0; s < 4; ++s) {
            SCOPED_TRACE("tick " + std::to_string(t) + ", sequence " + std::to_string(s));
            for (int k = 0; k < 3; ++k) {
                TStarShape* star = Star(kSequence[s][k]);
                const StarDef* d = nullptr;
                for (const StarDef& x : kStars)
                    if (std::string(x.Name) == kSequence[s][k]) d = &x;
                ASSERT_NE(d, nullptr);
                // The top left corner never moves.
                EXPECT_EQ(star->Left(), d->Left);
                EXPECT_EQ(star->Top(), d->Top);
                EXPECT_EQ(star->Visible(), k == step);
                if (k != step) continue;
                int age = phase - 26 * k + 1;  // ticks it has grown
                bool first = t <= 79;
                int h0 = first ? d->Height : 9, w0 = first ? d->Width : 9;
                EXPECT_EQ(star->Height(), h0 + 5 * age);
                EXPECT_EQ(star->Width(), w0 + 5 * age);
            }
            EXPECT_EQ(StarStep[s], step < 0 ? 0 : step);
        }
        if (HasFailure()) break;
    }
}

TEST(Prize, StarsDisappearAfterGrowingPast140) {
    Restart();
    TStarShape* a0 = Star("StarShape6");
    TStarShape* a1 = Star("StarShape5");
    for (int t = 0; t < 26; ++t) Tick();
    EXPECT_TRUE(a0->Visible());
    EXPECT_EQ(a0->Height(), 139);
    // Its 27th tick takes it to 144: gone, back to 9 by 9, the next one grows.
    Tick();
    EXPECT_FALSE(a0->Visible());
    EXPECT_EQ(a0->BoundsRect(), Bounds(768, 440, 9, 9));
    EXPECT_TRUE(a1->Visible());
    EXPECT_EQ(a1->Height(), 14);
    EXPECT_EQ(StarStep[0], 1);
    EXPECT_EQ(StarShown[0], 1);

    // StarShape12, 8 high, also lasts 27 ticks, to 143.
    Restart();
    TStarShape* d2 = Star("StarShape12");
    for (int t = 0; t < 52; ++t) Tick();
    EXPECT_FALSE(d2->Visible());
    Tick();
    EXPECT_TRUE(d2->Visible());
    EXPECT_EQ(d2->Height(), 13);
    for (int t = 0; t < 25; ++t) Tick();
    EXPECT_EQ(d2->Height(), 138);
    EXPECT_TRUE(d2->Visible());
    Tick();
    EXPECT_FALSE(d2->Visible());
    EXPECT_EQ(d2->BoundsRect(), Bounds(840, 233, 9, 9));
    EXPECT_EQ(StarStep[3], 0);
    EXPECT_EQ(StarShown[3], 0);
}

TEST(Prize, TheFireworkIsPainted) {
    Restart();
    for (int t = 0; t < 20; ++t) Tick();
    Pixels px = Render(Form1);
    // Sequence B grows StarShape3 (yellow face) at 120, 312; its next star
    // StarShape2 is hidden and its place shows the form's colour.
    EXPECT_GT(CountColour(px, Bounds(120, 312, 109, 109), kYellow), 1500);
    EXPECT_EQ(CountColour(px, Bounds(8, 184, 9, 9), kAqua), 81);
    // Sequence A's StarShape6 (red face) at 768, 440.
    EXPECT_GT(CountColour(px, Bounds(768, 440, 109, 109), kRed), 1500);
    // Twenty ticks on, StarShape3 is gone and StarShape2 (red) has grown 14 times.
    for (int t = 0; t < 20; ++t) Tick();
    px = Render(Form1);
    EXPECT_GT(CountColour(px, Bounds(8, 184, 79, 79), kRed), 300);
    EXPECT_EQ(CountColour(px, Bounds(120, 312, 109, 109), kYellow), 0);

    // The real 10 ms timer runs the firework by itself.
    int h = Star("StarShape2")->Height();
    Form1->Timer2->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return Star("StarShape2")->Height() != h; }, 2000));
}

TEST(Prize, HomeGoesBackToTheMenuForGood) {
    ClickControl(Form1, Form1->RzLabel13);
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_FALSE(Form1->Visible());
    EXPECT_FALSE(Form1->Image7->Visible());
    EXPECT_FALSE(Form2->RzLabel13->Visible());
    // Hidden, the firework goes on until the program ends.
    EXPECT_TRUE(Form1->Timer2->Enabled());
}
