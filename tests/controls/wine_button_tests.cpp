// The hot-track push button under Wine: its looks at fixed pixels of a 75 by
// 25 button on a silver parent, clicks only for a press and release inside,
// toggle groups, keys, default and cancel buttons.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

#include "RzButton.h"
#include "RzEdit.h"
#include "RzLabel.h"
#include "RzPanel.h"
#include "WineUi.h"

using namespace wineui;

namespace {
constexpr uint32_t kSilver = 0xC0C0C0;

struct Clicks {
    int n = 0;
    void OnClick(TObject*) { ++n; }
};

TRzButton* NewButton(TForm* f, int x, int y, Clicks* c = nullptr) {
    auto* b = new TRzButton(f);
    b->SetParent(f);
    b->SetBounds(x, y, 75, 25);
    b->SetCaption("");
    if (c) b->OnClick = TNotifyEvent::Of<&Clicks::OnClick>(c);
    return b;
}

// The game's look: red face, orange frame and ring.
TRzButton* HotButton(TForm* f, int x, int y, Clicks* c = nullptr) {
    TRzButton* b = NewButton(f, x, y, c);
    b->SetColor(clRed);
    b->SetFrameColor(0x0080FF);
    b->SetHotTrackColor(0x0080FF);
    b->SetHighlightColor(clWhite);
    b->SetHotTrack(true);
    return b;
}
}  // namespace

TEST(RzButton, HotTrackLookAtItsPixels) {
    std::unique_ptr<TForm> f(NewForm(300, 100, kSilver));
    Clicks c;
    TRzButton* b = HotButton(f.get(), 20, 20, &c);
    TRzButton* away = NewButton(f.get(), 200, 20);
    away->SetFocus();
    MouseTo(away, 5, 5);
    const uint32_t d = Rgb(DarkenColor(kSilver, 20)), l = Rgb(LightenColor(kSilver, 20));
    ASSERT_EQ(d, 0xABABABu);

    Shot idle(b->Handle());
    // Outer rounded frame in the parent's shades, corners left to the parent.
    EXPECT_EQ(idle.At(0, 0), kSilver);
    EXPECT_EQ(idle.At(74, 24), kSilver);
    EXPECT_EQ(idle.At(0, 12), d);
    EXPECT_EQ(idle.At(37, 0), d);
    EXPECT_EQ(idle.At(1, 1), d);
    EXPECT_EQ(idle.At(73, 1), d);
    EXPECT_EQ(idle.At(1, 23), d);
    EXPECT_EQ(idle.At(74, 12), l);
    EXPECT_EQ(idle.At(37, 24), l);
    EXPECT_EQ(idle.At(73, 23), l);
    // The cut-corner box in the frame colour.
    EXPECT_EQ(idle.At(1, 12), 0x0080FFu);
    EXPECT_EQ(idle.At(37, 1), 0x0080FFu);
    EXPECT_EQ(idle.At(73, 12), 0x0080FFu);
    EXPECT_EQ(idle.At(37, 23), 0x0080FFu);
    // The gradient face: two dark lines at the bottom, light at the top.
    EXPECT_EQ(idle.At(10, 21), Rgb(DarkenColor(clRed, 20)));
    EXPECT_EQ(idle.At(10, 22), Rgb(DarkenColor(clRed, 30)));
    EXPECT_TRUE(Near(idle.At(10, 2), Rgb(LightenColor(clRed, 30)), 12));
    EXPECT_TRUE(Near(idle.At(10, 20), Rgb(DarkenColor(clRed, 10)), 12));

    // Under the mouse: a two-pixel ring from the hot-track colours.
    MouseTo(b, 37, 12);
    ASSERT_TRUE(b->MouseOver());
    Shot hot(b->Handle());
    uint32_t top = Rgb(MixColors(clWhite, 0x0080FF, 190));
    EXPECT_TRUE(Near(hot.At(2, 2), top, 12)) << std::hex << hot.At(2, 2);
    EXPECT_TRUE(Near(hot.At(3, 21), 0x0080FFu, 24)) << std::hex << hot.At(3, 21);
    EXPECT_EQ(hot.At(37, 12), idle.At(37, 12));  // the face inside the ring is unchanged
    EXPECT_EQ(hot.At(0, 12), d);

    // Pressed: the whole face in the darkened colour.
    LeftDown(b, 37, 12);
    ASSERT_TRUE(b->Pressed());
    Shot pressed(b->Handle());
    EXPECT_EQ(pressed.At(37, 12), Rgb(DarkenColor(clRed, 10)));
    EXPECT_EQ(pressed.At(2, 12), Rgb(DarkenColor(clRed, 10)));
    EXPECT_EQ(pressed.At(1, 12), 0x0080FFu);
    LeftUp(b, 37, 12);
    EXPECT_EQ(c.n, 1);

    // Disabled: a flat face in Color, a grey box, the caption in grey text.
    b->SetCaption("OK");
    b->Font()->SetColor(clYellow);
    b->SetEnabled(false);
    Pump();
    Shot off(b->Handle());
    EXPECT_EQ(off.At(0, 12), kSilver);
    EXPECT_EQ(off.At(1, 12), Rgb(DarkenColor(clRed, 80)));
    EXPECT_EQ(off.At(4, 12), 0x0000FFu);
    EXPECT_GT(off.Count(Rgb(clGrayText)), 3);
    EXPECT_EQ(off.Count(Rgb(clYellow)), 0);
}

TEST(RzButton, DefaultButtonShowsTheHighlightRing) {
    std::unique_ptr<TForm> f(NewForm(300, 100, kSilver));
    TRzButton* b = HotButton(f.get(), 20, 20);
    TRzButton* plain = HotButton(f.get(), 120, 20);
    auto* edit = new TRzEdit(f.get());
    edit->SetParent(f.get());
    edit->SetBounds(20, 60, 60, 22);
    b->SetDefault(true);
    edit->SetFocus();
    MouseTo(edit, 3, 3);
    EXPECT_TRUE(b->DefaultActive());
    EXPECT_FALSE(plain->DefaultActive());
    Shot s(b->Handle()), q(plain->Handle());
    EXPECT_NE(s.At(2, 12), q.At(2, 12));
    // Focus on another button takes the default look away.
    plain->SetFocus();
    Pump();
    EXPECT_FALSE(b->DefaultActive());
    EXPECT_TRUE(plain->DefaultActive());
}

TEST(RzButton, ClassicBordersAndFocus) {
    std::unique_ptr<TForm> f(NewForm(300, 100, kSilver));
    TRzButton* b = NewButton(f.get(), 20, 20);
    TRzButton* away = NewButton(f.get(), 200, 20);
    away->SetFocus();
    MouseTo(away, 5, 5);
    Shot s(b->Handle());
    EXPECT_EQ(s.At(0, 12), Rgb(clBtnHighlight));
    EXPECT_EQ(s.At(74, 12), Rgb(cl3DDkShadow));
    EXPECT_EQ(s.At(1, 12), Rgb(cl3DLight));
    EXPECT_EQ(s.At(73, 12), Rgb(clBtnShadow));
    EXPECT_EQ(s.At(10, 10), Rgb(clBtnFace));

    b->SetFocus();
    Pump();
    Shot focused(b->Handle());
    EXPECT_EQ(focused.At(0, 12), Rgb(clWindowFrame));
    EXPECT_EQ(focused.At(1, 12), Rgb(clBtnHighlight));
    // The dotted focus frame four pixels in: every second pixel black.
    EXPECT_EQ(focused.At(5, 4), 0u);
    EXPECT_EQ(focused.At(6, 4), Rgb(clBtnFace));

    // Another colour derives its shades from it.
    b->SetColor(0x00A000);
    away->SetFocus();
    Pump();
    Shot green(b->Handle());
    EXPECT_EQ(green.At(0, 12), Rgb(LightenColor(0x00A000, 100)));
    EXPECT_EQ(green.At(74, 12), Rgb(DarkenColor(0x00A000, 100)));
    EXPECT_EQ(green.At(10, 10), 0x00A000u);
}

TEST(RzButton, ClicksOnlyForPressAndReleaseInside) {
    std::unique_ptr<TForm> f(NewForm(300, 100, kSilver));
    Clicks c;
    TRzButton* b = HotButton(f.get(), 20, 20, &c);
    LeftDown(b, 10, 10);
    ASSERT_TRUE(b->Pressed());
    MouseTo(b, 120, 10);  // out: the pressed look goes
    EXPECT_FALSE(b->Pressed());
    EXPECT_TRUE(b->Dragging());
    MouseTo(b, 12, 12);  // back in: it returns
    EXPECT_TRUE(b->Pressed());
    MouseTo(b, 120, 10);
    LeftUp(b, 120, 10);
    EXPECT_EQ(c.n, 0);
    EXPECT_FALSE(b->Pressed());

    // A release inside without a press here is no click either.
    LeftUp(b, 10, 10);
    EXPECT_EQ(c.n, 0);
    LeftDown(b, 10, 10);
    LeftUp(b, 10, 10);
    EXPECT_EQ(c.n, 1);
}

TEST(RzButton, ToggleGroupKeepsOneDown) {
    std::unique_ptr<TForm> f(NewForm(300, 100, kSilver));
    Clicks c;
    TRzButton* a = NewButton(f.get(), 10, 10, &c);
    TRzButton* b = NewButton(f.get(), 100, 10, &c);
    TRzButton* solo = NewButton(f.get(), 190, 10, &c);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    solo->SetDown(true);
    EXPECT_FALSE(solo->Down());  // no group, no down state

    LeftDown(a, 10, 10);
    LeftUp(a, 10, 10);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(a->State(), bsExclusive);
    LeftDown(b, 10, 10);
    LeftUp(b, 10, 10);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    // The last one down cannot be raised without AllowAllUp...
    LeftDown(b, 10, 10);
    LeftUp(b, 10, 10);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(c.n, 3);
    // ... and AllowAllUp spreads through the group.
    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp());
    LeftDown(b, 10, 10);
    LeftUp(b, 10, 10);
    EXPECT_FALSE(b->Down());
    // Pressing inside and releasing outside toggles nothing.
    LeftDown(a, 10, 10);
    MouseTo(a, 200, 80);
    LeftUp(a, 200, 80);
    EXPECT_FALSE(a->Down());

    // A down member shows the 8 by 8 pattern: grey on silver, alternating.
    a->SetColor(kSilver);
    a->SetAllowAllUp(false);
    a->SetDown(true);
    b->SetFocus();
    Pump();
    Shot s(a->Handle());
    int grey = 0, silver = 0, alternate = 0;
    for (int y = 6; y < 18; ++y)
        for (int x = 6; x < 30; ++x) {
            grey += s.At(x, y) == 0x808080u;
            silver += s.At(x, y) == kSilver;
            alternate += s.At(x, y) != s.At(x + 1, y);
        }
    EXPECT_GT(grey, 100);
    EXPECT_GT(silver, 100);
    EXPECT_GT(alternate, 250);
}

TEST(RzButton, SpaceEnterEscapeAndModalResult) {
    std::unique_ptr<TForm> f(NewForm(300, 100, kSilver));
    Clicks ok, cancel;
    TRzButton* b = NewButton(f.get(), 10, 10, &ok);
    TRzButton* x = NewButton(f.get(), 100, 10, &cancel);
    auto* edit = new TRzEdit(f.get());
    edit->SetParent(f.get());
    edit->SetBounds(10, 60, 60, 22);
    b->SetModalResult(1);
    x->SetModalResult(2);
    x->SetCancel(true);
    b->SetDefault(true);

    b->SetFocus();
    Pump();
    Key(b->Handle(), VK_SPACE, true);
    EXPECT_TRUE(b->Pressed());
    EXPECT_EQ(ok.n, 0);
    Key(b->Handle(), VK_SPACE, false);
    EXPECT_FALSE(b->Pressed());
    EXPECT_EQ(ok.n, 1);
    EXPECT_EQ(f->ModalResult(), 1);

    edit->SetFocus();
    Pump();
    Key(edit->Handle(), VK_RETURN, true);
    EXPECT_EQ(ok.n, 2);
    Key(edit->Handle(), VK_ESCAPE, true);
    EXPECT_EQ(cancel.n, 1);
    EXPECT_EQ(f->ModalResult(), 2);
    // Other keys are no dialog keys.
    Key(edit->Handle(), 'A', true);
    EXPECT_EQ(ok.n + cancel.n, 3);
}

TEST(RzButton, WithoutAFormNothingIsDereferenced) {
    // A button whose parent is no form: the click and the default write
    // find no form to tell.
    std::unique_ptr<TForm> f(NewForm(200, 100));
    auto* holder = new TRzButton(nullptr);
    holder->SetParentWindow(f->Handle());
    holder->SetBounds(10, 10, 75, 25);
    holder->SetModalResult(5);
    Clicks c;
    holder->OnClick = TNotifyEvent::Of<&Clicks::OnClick>(&c);
    holder->HandleNeeded();
    holder->SetDefault(true);
    holder->Click();
    EXPECT_EQ(c.n, 1);
    // A group member without a parent has nobody to tell.
    holder->SetGroupIndex(3);
    holder->SetDown(true);
    EXPECT_TRUE(holder->Down());
    holder->SetAllowAllUp(true);
    SetFocus(holder->Handle());
    holder->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(holder->Handle()));
    delete holder;
    // Nor one without any parent: it still goes down and clicks.
    auto* orphan = new TRzButton(nullptr);
    orphan->OnClick = TNotifyEvent::Of<&Clicks::OnClick>(&c);
    orphan->SetGroupIndex(1);
    orphan->SetDown(true);
    orphan->SetDefault(true);
    orphan->Click();
    EXPECT_TRUE(orphan->Down());
    EXPECT_EQ(c.n, 2);
    EXPECT_EQ(f->ModalResult(), 0);
    delete orphan;
}

TEST(RzButton, ThemedBranchPaints) {
    std::unique_ptr<TForm> f(NewForm(200, 100, kSilver));
    TRzButton* b = HotButton(f.get(), 10, 10);
    b->SetCaption("Themed");
    RzForceVisualStyles(1);
    Shot s(b->Handle(), TShotPaint::Repainted);
    RzForceVisualStyles(-1);
    int painted = 0;
    for (uint32_t v : s.Px) painted += v != kSilver;
    EXPECT_GT(painted, 200);
    // The hot-track frame is not what the themed look draws.
    EXPECT_NE(s.At(1, 12), 0x0080FFu);
}

TEST(RzButton, AcceleratorAndCaptionPasses) {
    std::unique_ptr<TForm> f(NewForm(300, 100, kSilver));
    Clicks c;
    TRzButton* b = NewButton(f.get(), 10, 10, &c);
    b->SetBounds(10, 10, 120, 40);
    b->SetCaption("&Ok");
    auto* edit = new TRzEdit(f.get());
    edit->SetParent(f.get());
    edit->SetBounds(10, 60, 60, 22);
    edit->SetFocus();
    Pump();
    PostMessageW(edit->Handle(), WM_SYSCHAR, 'x', 1 << 29);
    Pump();
    EXPECT_EQ(c.n, 0);
    PostMessageW(edit->Handle(), WM_SYSCHAR, 'o', 1 << 29);
    Pump();
    EXPECT_EQ(c.n, 1);

    // Raised text: shadow below right, highlight above left, then the face.
    b->SetCaption("WWW");
    b->Font()->SetName("Arial");
    b->Font()->SetHeight(-20);
    b->Font()->SetColor(clBlue);
    b->SetTextShadowColor(clRed);
    b->SetTextHighlightColor(clLime);
    b->SetTextStyle(tsRaised);
    Shot raised(b->Handle());
    EXPECT_GT(raised.Count(0xFF0000u), 10);
    EXPECT_GT(raised.Count(0x0000FFu), 3);
    EXPECT_GT(raised.Count(0x00FF00u), 3);
    b->SetLightTextStyle(true);
    Shot light(b->Handle());
    EXPECT_EQ(light.Count(0x0000FFu), 0);  // no shadow pass
    EXPECT_GT(light.Count(0x00FF00u), 3);
    b->SetTextStyle(tsShadow);
    b->SetTextShadowDepth(4);
    Shot shadow(b->Handle());
    EXPECT_GT(shadow.Count(0x0000FFu), 10);
    EXPECT_EQ(shadow.Count(0x00FF00u), 0);
    // The shadow lies below and right of the face.
    int faceBottom = 0, shadowBottom = 0;
    for (int y = 0; y < shadow.H; ++y)
        for (int x = 0; x < shadow.W; ++x) {
            if (shadow.At(x, y) == 0xFF0000u) faceBottom = y;
            if (shadow.At(x, y) == 0x0000FFu) shadowBottom = y;
        }
    EXPECT_EQ(shadowBottom - faceBottom, 4);
}

namespace {
// Leftmost and rightmost columns of red ink in rows Y0..Y1, and where the
// top of the ink lies between them (0 at the left, 1 at the right).
struct Ink {
    int left = 1 << 20, right = -1;
    double apex = -1;
    Ink(const Shot& s, int y0, int y1) {
        auto red = [&s](int x, int y) {
            uint32_t v = s.At(x, y);  // 0xBBGGRR
            return (v & 0xFF) > 160 && ((v >> 8) & 0xFF) < 100 && ((v >> 16) & 0xFF) < 100;
        };
        int top = -1, sum = 0, n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < s.W; ++x)
                if (red(x, y)) {
                    left = std::min(left, x), right = std::max(right, x);
                    if (top < 0) top = y;
                    if (y == top) sum += x, ++n;
                }
        if (n && right > left) apex = (double(sum) / n - left) / (right - left);
    }
};
}  // namespace

TEST(BiDiMode, RightToLeftMirrorsTheAlignmentAndReadsRightToLeft) {
    std::unique_ptr<TForm> f(NewForm(300, 120, clWhite));
    auto* host = new TRzPanel(f.get());
    host->SetParent(f.get());
    host->SetBounds(0, 0, 300, 120);
    host->SetBorderOuter(fsNone);
    host->SetColor(clWhite);
    host->SetCaption("");
    auto* label = new TRzLabel(f.get());
    auto* button = new TRzButton(f.get());
    for (TControl* c : {static_cast<TControl*>(label), static_cast<TControl*>(button)}) {
        c->SetParent(host);
        c->Font()->SetName("Arial");
        c->Font()->SetHeight(-24);
        c->Font()->SetColor(clRed);
        c->SetCaption("A.");
    }
    label->SetAutoSize(false);
    label->SetBounds(10, 5, 200, 40);
    button->SetAlignment(taLeftJustify);
    button->SetBounds(10, 60, 200, 50);
    button->SetColor(clWhite);
    // Both take the mode from their parent and repaint themselves.
    for (TBiDiMode mode : {bdRightToLeft, bdLeftToRight}) {
        host->SetBiDiMode(mode);
        Shot s(f->Handle());
        for (auto [c, y0, y1] : {std::tuple{static_cast<TControl*>(label), 5, 45}, std::tuple{static_cast<TControl*>(button), 65, 105}}) {
            SCOPED_TRACE(std::string(c->ClassName()) + (mode == bdRightToLeft ? " right to left" : " left to right"));
            EXPECT_EQ(c->BiDiMode(), mode);
            Ink ink(s, y0, y1);
            ASSERT_GE(ink.right, 0);
            // Left-justified text sits at the right edge when mirrored, and
            // right to left the full stop reads first: the apex of the "A"
            // lies in the right half of the ink.
            if (mode == bdRightToLeft) {
                EXPECT_GT(ink.left, 150);
                EXPECT_GT(ink.apex, 0.5);
            } else {
                EXPECT_LT(ink.right, 60);
                EXPECT_LT(ink.apex, 0.5);
            }
        }
    }
}
