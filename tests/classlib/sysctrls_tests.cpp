// The class library's controls over the common controls and the system's
// buttons, under Wine with real mouse input: tool bar buttons and their
// custom drawing, the status bar's panels as its window shows them, the page
// control's pages, the up-down with its buddy, and the bitmap button's own
// drawing of its glyph.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "Buttons.h"
#include "Forms.h"
#include "Graphics.h"
#include "ImgList.h"
#include "StdCtrls.h"
#include "Tabs.h"
#include "TestSupport.h"
#include "ToolBars.h"

namespace {

struct SysCtrls : ::testing::Test {
    TForm* Form = nullptr;
    void SetUp() override {
        Form = new TForm(Application);
        Form->SetBounds(60, 60, 420, 320);
        Form->Show();
        SetForegroundWindow(Form->Handle());
        Pump(30);
    }
    void TearDown() override { delete Form; }
    // A real click at a point of a window's client area.
    void ClickAt(HWND Wnd, int X, int Y) {
        POINT p{X, Y};
        ClientToScreen(Wnd, &p);
        testwin::MouseAt(p.x, p.y, MOUSEEVENTF_LEFTDOWN);
        Pump(30);
        testwin::MouseAt(p.x, p.y, MOUSEEVENTF_LEFTUP);
        Pump(30);
    }
};

struct Recorder {
    std::vector<TObject*> Clicked;
    std::vector<TToolButton*> Drawn;
    int BarStages = 0;
    void Click(TObject* S) { Clicked.push_back(S); }
    void Bar(TToolBar*, const TRect&, TCustomDrawStage Stage, bool&) { BarStages += Stage == cdPrePaint; }
    // The first button paints itself red; the others are drawn by the bar.
    void Button(TToolBar* Bar, TToolButton* B, TCustomDrawState, TCustomDrawStage, TTBCustomDrawFlags&, bool& Def) {
        Drawn.push_back(B);
        if (B->Index() != 0) return;
        Bar->Canvas()->Brush()->SetColor(clRed);
        Bar->Canvas()->FillRect(Rect(B->Left(), B->Top(), B->Left() + B->Width(), B->Top() + B->Height()));
        Def = false;
    }
};

}  // namespace

TEST_F(SysCtrls, ToolBarButtonsClickAndTheBarAsksForEachOneToBeDrawn) {
    auto* bar = new TToolBar(Form);
    bar->SetParent(Form);
    bar->SetShowCaptions(true);
    auto* images = new TImageList(Form);
    images->AddIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
    bar->SetImages(images);
    Recorder rec;
    const char* captions[] = {"One", "Two", "", "Check"};
    const TToolButtonStyle styles[] = {tbsButton, tbsButton, tbsSeparator, tbsCheck};
    std::vector<TToolButton*> b;
    for (int i = 0; i < 4; ++i) {
        b.push_back(new TToolButton(Form));
        b[i]->SetCaption(captions[i]);
        b[i]->SetStyle(styles[i]);
        b[i]->SetImageIndex(0);
        b[i]->SetParent(bar);
        b[i]->OnClick = TNotifyEvent::Of<&Recorder::Click>(&rec);
    }
    bar->OnAdvancedCustomDraw = TTBAdvancedCustomDrawEvent::Of<&Recorder::Bar>(&rec);
    bar->OnAdvancedCustomDrawButton = TTBAdvancedCustomDrawBtnEvent::Of<&Recorder::Button>(&rec);
    Form->Realign();
    InvalidateRect(bar->Handle(), nullptr, TRUE);
    const Pixels p = Grab(bar->Handle());
    EXPECT_GE(rec.BarStages, 1);
    EXPECT_NE(std::find(rec.Drawn.begin(), rec.Drawn.end(), b[1]), rec.Drawn.end());
    // The buttons' bounds are the bar window's item rectangles.
    EXPECT_GT(b[1]->Left(), b[0]->Left());
    EXPECT_EQ(p.ColorAt(b[0]->Left() + b[0]->Width() / 2, b[0]->Top() + 3), clRed);
    EXPECT_NE(p.ColorAt(b[1]->Left() + b[1]->Width() / 2, b[1]->Top() + 3), clRed);
    ClickAt(bar->Handle(), b[1]->Left() + b[1]->Width() / 2, b[1]->Top() + b[1]->Height() / 2);
    ClickAt(bar->Handle(), b[3]->Left() + b[3]->Width() / 2, b[3]->Top() + b[3]->Height() / 2);
    ASSERT_EQ(rec.Clicked.size(), 2u);
    EXPECT_EQ(rec.Clicked[0], b[1]);
    EXPECT_EQ(rec.Clicked[1], b[3]);
    EXPECT_TRUE(b[3]->Down());
    // A disabled button is greyed by the bar and no longer clicks.
    b[1]->SetEnabled(false);
    ClickAt(bar->Handle(), b[1]->Left() + b[1]->Width() / 2, b[1]->Top() + b[1]->Height() / 2);
    EXPECT_EQ(rec.Clicked.size(), 2u);
}

TEST_F(SysCtrls, TheStatusBarWindowShowsItsPanelsOrItsSimpleText) {
    auto* bar = new TStatusBar(Form);
    bar->SetParent(Form);
    const char* texts[] = {"First", "Second", "Last"};
    for (int i = 0; i < 3; ++i) {
        TStatusPanel* p = bar->Panels()->Add();
        p->SetText(texts[i]);
        p->SetWidth(60 + 20 * i);
    }
    HWND h = bar->Handle();
    int edges[4] = {};
    ASSERT_EQ(SendMessageW(h, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_EQ(edges[0], 60);
    EXPECT_EQ(edges[1], 140);
    EXPECT_EQ(edges[2], -1);  // the last panel runs to the end
    bar->Panels()->Items(1)->SetText("Changed");
    wchar_t text[32] = {};
    SendMessageW(h, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Changed");
    bar->SetSimpleText("Simple");
    bar->SetSimplePanel(true);
    EXPECT_TRUE(SendMessageW(h, SB_ISSIMPLE, 0, 0));
    text[0] = 0;
    SendMessageW(h, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));  // simple mode: part 0
    EXPECT_STREQ(text, L"Simple");
    // Aligned to the bottom of the form across its width.
    EXPECT_EQ(bar->Top() + bar->Height(), Form->ClientHeight());
    EXPECT_EQ(bar->Width(), Form->ClientWidth());
}

TEST_F(SysCtrls, APageControlShowsThePageOfTheClickedTabUnlessTheChangeIsRefused) {
    auto* pages = new TPageControl(Form);
    pages->SetParent(Form);
    pages->SetBounds(10, 10, 380, 250);
    std::vector<TTabSheet*> sheet;
    for (const char* caption : {"Alpha", "Beta", "Gamma"}) {
        sheet.push_back(new TTabSheet(Form));
        sheet.back()->SetCaption(caption);
        sheet.back()->SetParent(pages);
    }
    struct Guard {
        bool Allow = true;
        int Changes = 0;
        void Changing(TObject*, bool& A) { A = Allow; }
        void Change(TObject*) { ++Changes; }
    } g;
    pages->OnChanging = TTabChangingEvent::Of<&Guard::Changing>(&g);
    pages->OnChange = TNotifyEvent::Of<&Guard::Change>(&g);
    Pump(30);
    EXPECT_EQ(pages->ActivePage(), sheet[0]);
    HWND h = pages->Handle();
    auto clickTab = [&](int Tab) {
        RECT r{};
        SendMessageW(h, TCM_GETITEMRECT, WPARAM(Tab), reinterpret_cast<LPARAM>(&r));
        ClickAt(h, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    clickTab(2);
    EXPECT_EQ(pages->ActivePage(), sheet[2]);
    EXPECT_TRUE(IsWindowVisible(sheet[2]->Handle()));
    EXPECT_FALSE(IsWindowVisible(sheet[0]->Handle()));
    EXPECT_EQ(g.Changes, 1);
    // The page fills the display area below the tabs.
    const TRect d = pages->DisplayRect();
    EXPECT_EQ(sheet[2]->Top(), d.Top);
    EXPECT_EQ(sheet[2]->Height(), d.Height());
    g.Allow = false;
    clickTab(1);
    EXPECT_EQ(pages->ActivePage(), sheet[2]);
    EXPECT_EQ(g.Changes, 1);
    // A hidden tab: the tabs that remain still lead to their own pages.
    g.Allow = true;
    sheet[0]->SetTabVisible(false);
    EXPECT_EQ(SendMessageW(h, TCM_GETITEMCOUNT, 0, 0), 2);
    clickTab(0);
    EXPECT_EQ(pages->ActivePage(), sheet[1]);
}

TEST_F(SysCtrls, AnUpDownStepsItsBuddyAndTellsWhichButtonMadeTheStep) {
    auto* edit = new TEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(10, 10, 80, 24);
    auto* ud = new TUpDown(Form);
    ud->SetParent(Form);
    ud->SetBounds(92, 10, 18, 24);
    ud->SetMin(0);
    ud->SetMax(3);
    ud->SetPosition(2);
    ud->SetWrap(true);
    ud->SetAssociate(edit);
    struct Steps {
        std::vector<TUDBtnType> Buttons;
        void Click(TObject*, TUDBtnType B) { Buttons.push_back(B); }
    } s;
    ud->OnClick = TUDClickEvent::Of<&Steps::Click>(&s);
    Pump(30);
    HWND h = ud->Handle();
    EXPECT_EQ(edit->Text(), "2");  // the buddy shows the position from the start
    ClickAt(h, 9, 5);  // upper half
    EXPECT_EQ(ud->Position(), 3);
    EXPECT_EQ(edit->Text(), "3");
    ClickAt(h, 9, 5);  // wraps round
    EXPECT_EQ(ud->Position(), 0);
    ClickAt(h, 9, 19);  // lower half, wrapping back
    EXPECT_EQ(ud->Position(), 3);
    EXPECT_EQ(s.Buttons, (std::vector<TUDBtnType>{btNext, btNext, btPrev}));
}

TEST_F(SysCtrls, ABitmapButtonDrawsItsGlyphCellBesideItsCaption) {
    auto* b = new TBitBtn(Form);
    b->SetParent(Form);
    b->SetBounds(10, 10, 140, 40);
    b->SetCaption("Caption");
    // Two cells: the second (disabled) blue, the first red, on the key colour.
    b->Glyph()->SetPixelFormat(pf24bit);
    b->Glyph()->SetSize(24, 12);
    TCanvas* c = b->Glyph()->Canvas();
    c->Brush()->SetColor(clLime);
    c->FillRect(Rect(0, 0, 24, 12));
    c->Brush()->SetColor(clRed);
    c->FillRect(Rect(2, 2, 10, 10));
    c->Brush()->SetColor(clBlue);
    c->FillRect(Rect(14, 2, 22, 10));
    b->SetNumGlyphs(2);
    struct Layout {
        TButtonLayout L;
        bool GlyphFirst;  // left of (above) the caption
    } layouts[] = {{blGlyphLeft, true}, {blGlyphRight, false}};
    for (const Layout& l : layouts) {
        b->SetLayout(l.L);
        const Pixels p = Grab(b->Handle());
        int red = -1, text = -1;
        for (int x = 0; x < p.Width; ++x)
            for (int y = 5; y < 35; ++y) {
                if (p.ColorAt(x, y) == clRed && red < 0) red = x;
                if (p.ColorAt(x, y) == ColorToRGB(clBtnText) && text < 0 && x > 4 && x < 136) text = x;
            }
        ASSERT_GE(red, 0);
        ASSERT_GE(text, 0);
        EXPECT_EQ(red < text, l.GlyphFirst);
        EXPECT_EQ(p.Count(clLime), 0);  // the key colour stays out
    }
    b->SetEnabled(false);
    const Pixels off = Grab(b->Handle());
    EXPECT_EQ(off.Count(clRed), 0);
    EXPECT_GT(off.Count(clBlue), 0);
}
