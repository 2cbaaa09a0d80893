// The framed edit cell under Wine: colours by state as the window paints
// them, read-only writes, alignment, Windows-1251 text, the hot-tracked
// non-client frame and Enter as Tab.
#include <gtest/gtest.h>

#include <memory>

#include "RzEdit.h"
#include "WineUi.h"

using namespace wineui;

namespace {
struct Counter {
    TControl* target;
    TWndMethod saved;
    UINT msg;
    int n = 0;
    Counter(TControl* c, UINT m) : target(c), saved(c->WindowProc), msg(m) {
        c->WindowProc = TWndMethod::Of<&Counter::Proc>(this);
    }
    ~Counter() { target->WindowProc = saved; }
    void Proc(TMessage& m) {
        if (m.Msg == msg) ++n;
        saved(m);
    }
};

struct Changes {
    int n = 0;
    void OnChange(TObject*) { ++n; }
};

TRzEdit* NewEdit(TForm* f, int x, int y) {
    auto* e = new TRzEdit(f);
    e->SetParent(f);
    e->SetBounds(x, y, 60, 24);
    return e;
}

// The colour of the cell's client area, away from text and border.
uint32_t Fill(TRzEdit* e) {
    Shot s(e->Handle());
    return s.At(s.W - 4, s.H / 2);
}
}  // namespace

TEST(RzEdit, ColourRuleFollowsFocusReadOnlyAndEnabled) {
    std::unique_ptr<TForm> f(NewForm(200, 120));
    TRzEdit* a = NewEdit(f.get(), 10, 10);
    TRzEdit* b = NewEdit(f.get(), 10, 50);
    a->SetFocusColor(0x00FF00);
    a->SetReadOnlyColor(clYellow);
    a->SetDisabledColor(0x808080);
    Pump();
    EXPECT_EQ(a->Color(), clWindow);
    EXPECT_EQ(Fill(a), Rgb(clWindow));

    a->SetFocus();
    Pump();
    EXPECT_EQ(a->Color(), TColor(0x00FF00));
    EXPECT_EQ(Fill(a), 0x00FF00u);
    // Read-only while focused keeps the focus colour without the flag...
    a->SetReadOnly(true);
    Pump();
    EXPECT_EQ(Fill(a), 0x00FF00u);
    a->SetReadOnly(false);
    // ... and turns the read-only colour at once with it (the crossword's lock).
    a->SetReadOnlyColorOnFocus(true);
    a->SetReadOnly(true);
    Pump();
    EXPECT_EQ(a->Color(), clYellow);
    EXPECT_EQ(Fill(a), Rgb(clYellow));  // a read-only edit asks with WM_CTLCOLORSTATIC

    b->SetFocus();
    Pump();
    EXPECT_EQ(Fill(a), Rgb(clYellow));
    a->SetReadOnly(false);
    Pump();
    EXPECT_EQ(Fill(a), Rgb(clWindow));
    a->SetEnabled(false);
    Pump();
    EXPECT_EQ(a->Color(), TColor(0x808080));
    EXPECT_EQ(Fill(a), 0x808080u);
    a->SetEnabled(true);
    Pump();
    EXPECT_EQ(a->Color(), clWindow);
    EXPECT_EQ(a->NormalColor(), clWindow);
}

TEST(RzEdit, OwnColourMovesFocusColourAlong) {
    std::unique_ptr<TForm> f(NewForm(200, 120));
    TRzEdit* a = NewEdit(f.get(), 10, 10);
    TRzEdit* b = NewEdit(f.get(), 10, 50);
    ASSERT_EQ(a->FocusColor(), a->NormalColor());
    a->SetColor(0xE0E0FF);
    EXPECT_EQ(a->FocusColor(), TColor(0xE0E0FF));
    EXPECT_EQ(a->NormalColor(), TColor(0xE0E0FF));
    // A focus colour of its own stays when the colour changes again.
    a->SetFocusColor(0x00FFFF);
    a->SetColor(0xFFE0E0);
    EXPECT_EQ(a->FocusColor(), TColor(0x00FFFF));
    a->SetFocus();
    Pump();
    EXPECT_EQ(Fill(a), 0x00FFFFu);
    b->SetFocus();
    Pump();
    EXPECT_EQ(Fill(a), 0xFFE0E0u);  // back to the normal colour, not the focus colour
}

TEST(RzEdit, ReadOnlyWritesTheWindowOnlyOnAChange) {
    std::unique_ptr<TForm> f(NewForm(200, 80));
    TRzEdit* a = NewEdit(f.get(), 10, 10);
    Pump();
    Counter nc(a, WM_NCPAINT);
    a->SetReadOnly(false);
    EXPECT_EQ(nc.n, 0);
    EXPECT_FALSE(GetWindowLongW(a->Handle(), GWL_STYLE) & ES_READONLY);
    a->SetReadOnly(true);
    EXPECT_GE(nc.n, 1);
    EXPECT_TRUE(GetWindowLongW(a->Handle(), GWL_STYLE) & ES_READONLY);
    int after = nc.n;
    a->SetReadOnly(true);
    EXPECT_EQ(nc.n, after);
    // Typing does not reach a read-only cell.
    PostMessageW(a->Handle(), WM_CHAR, 0x0410, 1);
    Pump();
    EXPECT_EQ(a->Text(), "");
}

TEST(RzEdit, CentredCellKeepsWindows1251TextExact) {
    std::unique_ptr<TForm> f(NewForm(200, 80, clWhite));
    TRzEdit* a = NewEdit(f.get(), 10, 10);
    a->SetBounds(10, 10, 120, 30);
    a->SetAlignment(taCenter);
    a->Font()->SetName("Arial");
    a->Font()->SetHeight(-20);
    Changes ch;
    a->OnChange = TNotifyEvent::Of<&Changes::OnChange>(&ch);
    LONG style = GetWindowLongW(a->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & ES_CENTER);
    EXPECT_FALSE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);

    a->SetText("\xC0");  // Cyrillic capital A
    EXPECT_EQ(ch.n, 1);
    wchar_t w[8] = {};
    GetWindowTextW(a->Handle(), w, 8);
    EXPECT_EQ(w[0], 0x0410);
    a->SetFocus();
    PostMessageW(a->Handle(), WM_KEYDOWN, VK_END, 1);
    PostMessageW(a->Handle(), WM_CHAR, 0x0411, 1);  // typed: Cyrillic capital BE
    Pump();
    EXPECT_EQ(a->Text(), "\xC0\xC1");
    EXPECT_GE(ch.n, 2);

    // The ink sits in the middle of the client area.
    a->SetText("\xC0");
    f->SetFocus();
    Pump();
    Shot s(a->Handle());
    int lo = s.W, hi = -1;
    uint32_t back = Rgb(clWindow);
    for (int y = 4; y < s.H - 4; ++y)
        for (int x = 3; x < s.W - 3; ++x)
            if (!Near(s.At(x, y), back, 60)) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
    ASSERT_GE(hi, lo);
    EXPECT_NEAR((lo + hi) / 2.0, s.W / 2.0, 4.0);
}

TEST(RzEdit, HotTrackedFrameSwitchesStyleAndColour) {
    std::unique_ptr<TForm> f(NewForm(200, 120));
    TRzEdit* a = NewEdit(f.get(), 20, 20);
    TRzEdit* other = NewEdit(f.get(), 20, 70);
    a->SetFramingPreference(fpCustomFraming);
    a->SetFrameColor(0x0000FF);
    a->SetFrameHotColor(0xFF0000);
    a->SetText("\xC0\xC1");
    a->SetReadOnly(true);
    a->SetReadOnly(false);
    a->SetFrameHotTrack(true);
    EXPECT_TRUE(a->FrameVisible());
    EXPECT_EQ(a->FrameSides(), sdAllSides);
    // The window is made again for the frame; the text survives.
    wchar_t w[8] = {};
    GetWindowTextW(a->Handle(), w, 8);
    EXPECT_EQ(std::wstring(w), L"\x0410\x0411");
    EXPECT_EQ(a->Text(), "\xC0\xC1");
    other->SetFocus();
    MouseTo(other, 5, 5);
    Shot idle(a->Handle());
    // fsFlat: one line in the frame colour; the second line is wiped with Color.
    EXPECT_EQ(idle.At(0, idle.H / 2), 0x0000FFu);
    EXPECT_EQ(idle.At(1, idle.H / 2), Rgb(clWindow));
    EXPECT_EQ(idle.At(idle.W / 2, idle.H - 1), 0x0000FFu);

    MouseTo(a, 10, 5);
    EXPECT_TRUE(a->MouseOver());
    Shot hot(a->Handle());
    // fsFlatBold in the hot colour: two lines.
    EXPECT_EQ(hot.At(0, hot.H / 2), 0xFF0000u);
    EXPECT_EQ(hot.At(1, hot.H / 2), 0xFF0000u);

    MouseTo(other, 5, 5);
    EXPECT_FALSE(a->MouseOver());
    a->SetFocus();
    Pump();
    Shot focused(a->Handle());
    EXPECT_EQ(focused.At(1, focused.H / 2), 0xFF0000u);  // focus is hot too
    other->SetFocus();
    Pump();
    EXPECT_EQ(Shot(a->Handle()).At(1, idle.H / 2), Rgb(clWindow));

    // With visual styles on, a cell that prefers themes paints no frame of its own.
    a->SetFramingPreference(fpThemes);
    RzForceVisualStyles(1);
    Shot themed(a->Handle(), TShotPaint::Repainted);
    RzForceVisualStyles(-1);
    EXPECT_EQ(themed.Count(0x0000FFu), 0);
    EXPECT_EQ(themed.Count(0xFF0000u), 0);

    // Without a visible frame nothing of it is painted.
    TRzEdit* plain = NewEdit(f.get(), 100, 20);
    plain->SetFrameColor(0x0000FF);
    Shot p(plain->Handle());
    EXPECT_EQ(p.Count(0x0000FFu), 0);
}

TEST(RzEdit, EnterMovesOnLikeTabWhenAsked) {
    std::unique_ptr<TForm> f(NewForm(200, 120));
    TRzEdit* a = NewEdit(f.get(), 10, 10);
    TRzEdit* b = NewEdit(f.get(), 10, 50);
    a->SetTabOnEnter(true);
    a->SetFocus();
    Pump();
    ASSERT_TRUE(a->Focused());
    PostMessageW(a->Handle(), WM_CHAR, '\r', 1);
    Pump(60);
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(a->Text(), "");
    // Without it Enter stays in the cell.
    b->SetFocus();
    PostMessageW(b->Handle(), WM_CHAR, '\r', 1);
    Pump(60);
    EXPECT_TRUE(b->Focused());
}
