// Whole runs of the lesson program in one process: each test starts a fresh
// run (a new menu as the main form, no game created), as each game can be
// entered only once per run. Every ball with every mouse button; the counter
// raised with the menu shown or hidden; the road through three wins to the
// blinking prize, counted in real timer ticks; and the end of a run, by
// "Выход" and by the close box, freeing the forms the last created first.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LessonTestUtil.h"
#include "LessonUnits.h"
#include "UnitInit.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit51.h"
#include "Unit52.h"
#include "Unit6.h"

namespace {

void FreshRun() {
    Application->DestroyForms();
    Form2 = nullptr;
    sost = nullptr;
    raspr = nullptr;
    raspr1 = nullptr;
    kros = nullptr;
    Form1 = nullptr;
    PrizeBlink = 0;
    Application->CreateForm(Form2);
    Form2->Show();
    Pump();
}

std::vector<std::string> ApplicationForms() {
    std::vector<std::string> names;
    for (int i = 0; i < Application->ComponentCount(); ++i) names.push_back(Application->Components(i)->Name().c_str());
    return names;
}

// Hears of every form's removal, in the order they go.
class RemovalLog : public TComponent {
public:
    RemovalLog() : TComponent(nullptr) {}
    std::vector<std::string> Names;
    void Watch() {
        for (int i = 0; i < Application->ComponentCount(); ++i) Application->Components(i)->FreeNotification(this);
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove) Names.push_back(AComponent->Name().c_str());
    }
};

// Application->Run with a way out should the menu never close.
bool g_RunTimedOut = false;
void CALLBACK RunWatchdog(HWND, UINT, UINT_PTR, DWORD) {
    g_RunTimedOut = true;
    Application->Terminate();
}
void RunUntilTheMenuCloses() {
    g_RunTimedOut = false;
    UINT_PTR dog = SetTimer(nullptr, 0, 10000, RunWatchdog);
    Application->Run();
    KillTimer(nullptr, dog);
    ASSERT_FALSE(g_RunTimedOut) << "the message loop did not end";
}

// Counts the ticks of the menu's blink timer on their way to its handler.
struct TickCounter {
    int Ticks = 0;
    void Tick(TObject* Sender) {
        ++Ticks;
        Form2->Timer1Timer(Sender);
    }
};

// Pixels of the prize label that read as red and as yellow.
void CountFace(const Pixels& P, TControl* L, int& Reds, int& Yellows) {
    Reds = Yellows = 0;
    for (int y = L->Top(); y < L->Top() + L->Height(); ++y)
        for (int x = L->Left(); x < L->Left() + L->Width(); ++x) {
            uint32_t c = P.At(x, y);
            Reds += Red(c) > 180 && Green(c) < 90 && Blue(c) < 90;
            Yellows += Red(c) > 180 && Green(c) > 180 && Blue(c) < 90;
        }
}

}  // namespace

// The start-up steps: the class library's own, then the program's, each unit
// after those it uses, the form classes last (before any form is read).
TEST(Runs, UnitsStartInTheirOrder) {
    std::vector<std::string> started;
    for (const char* n : StartedUnits()) started.push_back(n);
    ASSERT_GE(started.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(started.begin(), started.begin() + 3),
              (std::vector<std::string>{"Classes", "Controls", "Forms"}));
    EXPECT_EQ(started.back(), "Lessons");
    const char* order[] = {"RzCommon",      "RzLabel",      "sConst",    "sDateUtils", "acAlphaImageList",
                           "acShellCtrls",  "sControlUtils", "sGraphUtils", "acGlow", "sSkinnedForms", "sSkinManager", "sMessages", "sAlphaGraph",
                           "acPNG",         "acAlphaHints", "Lessons"};
    size_t at = 0;
    for (const char* n : order) {
        auto it = std::find(started.begin(), started.end(), n);
        ASSERT_NE(it, started.end()) << n << " did not start";
        size_t i = size_t(it - started.begin());
        EXPECT_GE(i, at) << n << " started too early";
        at = i;
    }
    // Every framed control registers before the engine's first step.
    auto engine = std::find(started.begin(), started.end(), "sConst");
    for (auto it = started.begin() + 3; it != started.end(); ++it)
        if (it->rfind("Rz", 0) == 0) {
            EXPECT_LT(it, engine) << *it;
        }
}

TEST(Runs, EachBallOpensItsGameWithAnyMouseButton) {
    struct Ball {
        const char* Name;
        TShape* TForm2::*Shape;
        TImage* TForm2::*Picture;
        std::vector<std::string> Forms;  // the application's forms afterwards, in creation order
    };
    const Ball balls[] = {
        {"ZUDADERIR", &TForm2::Shape2, &TForm2::Image3, {"Form2", "sost"}},
        {"DEDAVIROVO", &TForm2::Shape3, &TForm2::Image5, {"Form2", "raspr1", "raspr"}},
        {"DOZUVIVA", &TForm2::Shape1, &TForm2::Image32, {"Form2", "kros"}},
    };
    for (const Ball& b : balls)
        for (TMouseButton button : {mbLeft, mbRight, mbMiddle}) {
            SCOPED_TRACE(std::string(b.Name) + " button " + std::to_string(int(button)));
            FreshRun();
            TShape* shape = Form2->*b.Shape;
            ClickControl(Form2, shape, button);
            EXPECT_EQ(ApplicationForms(), b.Forms);
            TForm* game = b.Forms.back() == "sost" ? static_cast<TForm*>(sost)
                          : b.Forms.back() == "raspr" ? static_cast<TForm*>(raspr)
                                                      : static_cast<TForm*>(kros);
            ASSERT_NE(game, nullptr);
            EXPECT_TRUE(WindowShown(game));
            EXPECT_FALSE(Form2->Visible());
            EXPECT_FALSE(IsWindowVisible(Form2->Handle()));
            EXPECT_FALSE(shape->Enabled());
            EXPECT_FALSE((Form2->*b.Picture)->Visible());
            if (raspr1) {
                EXPECT_FALSE(IsWindowVisible(raspr1->Handle()));
            }
            // The other balls stay as they were.
            for (const Ball& other : balls)
                if (&other != &b) {
                    EXPECT_TRUE((Form2->*other.Shape)->Enabled()) << other.Name;
                    EXPECT_TRUE((Form2->*other.Picture)->Visible()) << other.Name;
                }
        }
}

TEST(Runs, TheLockedPrizeAndTheUsedBallsDoNothing) {
    FreshRun();
    for (TMouseButton button : {mbLeft, mbRight}) ClickControl(Form2, Form2->RzLabel13, button);
    EXPECT_EQ(Form1, nullptr);
    EXPECT_TRUE(WindowShown(Form2));
    EXPECT_EQ(ApplicationForms(), std::vector<std::string>{"Form2"});
    ClickControl(Form2, Form2->Shape1);
    ASSERT_NE(kros, nullptr);
    CloseBox(kros);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    Tkros* first = kros;
    for (TMouseButton button : {mbLeft, mbRight, mbMiddle}) ClickControl(Form2, Form2->Shape1, button);
    EXPECT_EQ(kros, first);
    EXPECT_FALSE(kros->Visible());
    EXPECT_TRUE(WindowShown(Form2));
    EXPECT_EQ(ApplicationForms(), (std::vector<std::string>{"Form2", "kros"}));
}

TEST(Runs, ACounterRaisedWhileTheMenuShowsUnlocksThePrizeAtOnce) {
    FreshRun();
    Form2->Label1->SetCaption("2");
    RaiseCompletedGames();
    EXPECT_EQ(Form2->Label1->Caption(), "3");
    EXPECT_TRUE(Form2->RzLabel13->Enabled());
    EXPECT_TRUE(Form2->Timer1->Enabled());
    EXPECT_EQ(PrizeBlink, 1);
}

TEST(Runs, ACounterRaisedWhileTheMenuIsHiddenWaitsForTheMenu) {
    FreshRun();
    ClickControl(Form2, Form2->Shape2);
    ASSERT_FALSE(Form2->Visible());
    Form2->Label1->SetCaption("2");
    RaiseCompletedGames();
    EXPECT_EQ(Form2->Label1->Caption(), "3");
    EXPECT_FALSE(Form2->RzLabel13->Enabled());
    EXPECT_FALSE(Form2->Timer1->Enabled());
    CloseBox(sost);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_TRUE(Form2->RzLabel13->Enabled());
    EXPECT_TRUE(Form2->Timer1->Enabled());
    EXPECT_EQ(PrizeBlink, 1);
}

// The road of a pupil who wins all three games: the naming and crossword
// games raise the counter at their win, the sorting game when it closes
// after its win; "ДОМ" is enabled by each win.
TEST(Runs, ThreeWinsUnlockThePrizeWhichBlinksRedThenYellowAndOpensOnce) {
    FreshRun();
    ClickControl(Form2, Form2->Shape2, mbLeft);
    ASSERT_TRUE(WindowShown(sost));
    RaiseCompletedGames();
    sost->RzLabel13->SetEnabled(true);
    ClickControl(sost, sost->RzLabel13);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_EQ(Form2->Label1->Caption(), "1");
    EXPECT_FALSE(Form2->RzLabel13->Enabled());

    ClickControl(Form2, Form2->Shape3, mbRight);
    ASSERT_TRUE(WindowShown(raspr));
    raspr->RzLabel13->SetEnabled(true);
    CloseBox(raspr);  // after the win the close box counts too
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_EQ(Form2->Label1->Caption(), "2");
    EXPECT_FALSE(Form2->RzLabel13->Enabled());
    EXPECT_FALSE(Form2->Timer1->Enabled());

    ClickControl(Form2, Form2->Shape1, mbMiddle);
    ASSERT_TRUE(WindowShown(kros));
    RaiseCompletedGames();
    kros->RzLabel13->SetEnabled(true);
    ClickControl(kros, kros->RzLabel13);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_EQ(Form2->Label1->Caption(), "3");
    EXPECT_TRUE(Form2->RzLabel13->Enabled());
    EXPECT_TRUE(Form2->Timer1->Enabled());
    EXPECT_EQ(Form2->Timer1->Interval(), 500u);
    EXPECT_EQ(PrizeBlink, 1);

    // The real timer's ticks: red on the first, yellow on the next, and so on.
    TickCounter counter;
    Form2->Timer1->OnTimer = TNotifyEvent::Of<&TickCounter::Tick>(&counter);
    TRzLabel* prize = Form2->RzLabel13;
    prize->Font()->SetColor(clBlack);  // so that the first tick shows
    int reds[2], yellows[2];
    for (int tick = 1; tick <= 4; ++tick) {
        SCOPED_TRACE("tick " + std::to_string(tick));
        ASSERT_TRUE(PumpUntil([&] { return counter.Ticks >= tick; }, 3000));
        EXPECT_EQ(counter.Ticks, tick);
        bool red = tick % 2 == 1;
        EXPECT_EQ(prize->Font()->Color(), red ? clRed : clYellow);
        EXPECT_EQ(PrizeBlink, red ? 2 : 1);
        if (tick <= 2) CountFace(Grab(Form2), prize, reds[tick - 1], yellows[tick - 1]);
    }
    // The window shows the change: the face is red, then yellow.
    EXPECT_GT(reds[0], reds[1] + 20);
    EXPECT_GT(yellows[1], yellows[0] + 20);

    ClickControl(Form2, prize);
    ASSERT_NE(Form1, nullptr);
    EXPECT_TRUE(WindowShown(Form1));
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(Form2->Timer1->Enabled());
    EXPECT_FALSE(prize->Visible());
    // No blink while the prize shows: two and a half periods without a tick.
    int ticks = counter.Ticks;
    testwin::PumpFor(HandleMessages, 1250);
    EXPECT_EQ(counter.Ticks, ticks);
    ClickControl(Form1, Form1->RzLabel13);
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    // Back on the menu: the prize stays hidden, the used buttons stay used.
    EXPECT_FALSE(prize->Visible());
    EXPECT_FALSE(Form2->Image7->Visible());
    EXPECT_FALSE(Form2->Shape1->Enabled());
    EXPECT_FALSE(Form2->Shape2->Enabled());
    EXPECT_FALSE(Form2->Shape3->Enabled());
    EXPECT_EQ(ApplicationForms(), (std::vector<std::string>{"Form2", "sost", "raspr1", "raspr", "kros", "Form1"}));
    // The menu shown with the count at "3" starts its timer again.
    EXPECT_TRUE(PumpUntil([&] { return counter.Ticks > ticks; }, 3000));

    // "Выход": the loop ends and every form goes, the last created first.
    RemovalLog log;
    log.Watch();
    // Posted, not pumped here: the loop that ends is Run's own.
    TRzLabel* exit = Form2->RzLabel1;
    PostClick(Form2->Handle(), exit->Left() + exit->Width() / 2, exit->Top() + exit->Height() / 2);
    ASSERT_NO_FATAL_FAILURE(RunUntilTheMenuCloses());
    EXPECT_EQ(log.Names, (std::vector<std::string>{"Form1", "kros", "raspr", "raspr1", "sost", "Form2"}));
    EXPECT_EQ(Application->ComponentCount(), 0);
    EXPECT_EQ(Screen->FormCount(), 0);
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(Runs, TheMenusCloseBoxEndsTheRunWithAGameHidden) {
    FreshRun();
    ClickControl(Form2, Form2->Shape3, mbLeft);
    ASSERT_TRUE(WindowShown(raspr));
    CloseBox(raspr);  // before the win: no count
    ASSERT_TRUE(PumpUntil([] { return Form2->Visible(); }));
    EXPECT_EQ(Form2->Label1->Caption(), "0");
    EXPECT_FALSE(raspr->Visible());
    RemovalLog log;
    log.Watch();
    PostMessageW(Form2->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_NO_FATAL_FAILURE(RunUntilTheMenuCloses());
    EXPECT_EQ(log.Names, (std::vector<std::string>{"raspr", "raspr1", "Form2"}));
    EXPECT_EQ(Application->ComponentCount(), 0);
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    StartProgramUnits();
    Application->Initialize();
    int rc = RUN_ALL_TESTS();
    Application->DestroyForms();
    StopProgramUnits();
    return rc;
}
