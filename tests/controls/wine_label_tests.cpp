// The framed label: shared blink timer, angles and rotation, auto-size with
// borders and shadow, fly-by colours and painting, under Wine.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "Graphics.h"
#include "RzLabel.h"
#include "WinTestSupport.h"

namespace {
void Pump(int ms) { testwin::PumpFor(testwin::DispatchWaiting, ms); }

// Counts the blink messages a control receives, then passes them on.
struct BlinkSpy {
    TControl* target;
    TWndMethod saved;
    int queries = 0, states = 0;
    explicit BlinkSpy(TControl* c) : target(c), saved(c->WindowProc) {
        c->WindowProc = TWndMethod::Of<&BlinkSpy::Proc>(this);
    }
    ~BlinkSpy() { target->WindowProc = saved; }
    void Proc(TMessage& m) {
        if (m.Msg == CM_BLINKQUERY) ++queries;
        if (m.Msg == CM_BLINKSTATE) ++states;
        saved(m);
    }
};

struct Render {
    TBitmap bmp;
    Render(TControl* c, uint32_t back = 0xFF00FF) {
        bmp.SetPixelFormat(pf24bit);
        bmp.SetSize(c->Width(), c->Height());
        HDC dc = bmp.Canvas()->Handle();
        HBRUSH b = CreateSolidBrush(back);
        RECT r{0, 0, c->Width(), c->Height()};
        FillRect(dc, &r, b);
        DeleteObject(b);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
    uint32_t At(int x, int y) { return GetPixel(bmp.Canvas()->Handle(), x, y) & 0xFFFFFF; }
    int Count(uint32_t c) {
        int n = 0;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x) n += At(x, y) == c;
        return n;
    }
};
}  // namespace

TEST(BlinkList, SharedTimerTicksBlinkingLabelsTogether) {
    ASSERT_EQ(BlinkingControlsList, nullptr);
    auto* a = new TRzLabel(nullptr);
    ASSERT_NE(BlinkingControlsList, nullptr);
    EXPECT_EQ(BlinkingControlsList->Phase(), 1);
    EXPECT_EQ(BlinkingControlsList->Timer()->Interval(), 500u);
    auto* b = new TRzLabel(nullptr);
    auto* quiet = new TRzLabel(nullptr);
    EXPECT_EQ(BlinkingControlsList->Count(), 3);
    for (TRzLabel* l : {a, b}) {
        l->Font()->SetColor(clBlack);
        l->SetBlinkColor(clRed);
        l->SetBlinking(true);
    }
    auto spy = std::make_optional<BlinkSpy>(quiet);
    std::map<int, int> changes;  // tick phase -> labels showing the blink colour
    uint8_t phase = BlinkingControlsList->Phase();
    int ticks = 0;
    DWORD end = GetTickCount() + 2600;
    while (ticks < 4 && int(end - GetTickCount()) > 0) {
        Pump(10);
        if (BlinkingControlsList->Phase() != phase) {
            phase = BlinkingControlsList->Phase();
            ++ticks;
            // Both blinking labels follow the same tick.
            TColor want = phase ? clRed : clBlack;
            EXPECT_EQ(a->FaceColor(), want) << ticks;
            EXPECT_EQ(b->FaceColor(), want) << ticks;
        }
    }
    EXPECT_EQ(ticks, 4);
    EXPECT_GE(spy->queries, 4);
    EXPECT_EQ(spy->states, 0);  // a label that does not blink is never told
    spy.reset();  // gives the label its procedure back while it lives

    // The intervals are shared: one label's write is every label's value.
    a->SetBlinkIntervalOn(300);
    EXPECT_EQ(b->BlinkIntervalOn(), 300);
    // Stopping restores the font colour at once.
    BlinkingControlsList->Tick(nullptr);
    BlinkingControlsList->Tick(nullptr);
    ASSERT_EQ(BlinkingControlsList->Phase(), 1);
    EXPECT_EQ(a->FaceColor(), clRed);
    a->SetBlinking(false);
    EXPECT_EQ(a->FaceColor(), clBlack);

    delete a;
    delete b;
    EXPECT_NE(BlinkingControlsList, nullptr);
    delete quiet;
    EXPECT_EQ(BlinkingControlsList, nullptr);  // freed with the last label
    auto* again = new TRzLabel(nullptr);
    ASSERT_NE(BlinkingControlsList, nullptr);
    EXPECT_EQ(BlinkingControlsList->Phase(), 1);
    EXPECT_EQ(again->BlinkIntervalOn(), 500);
    delete again;
    EXPECT_EQ(BlinkingControlsList, nullptr);
}

TEST(LabelRotation, AnglesNormaliseAndSurviveLoading) {
    TRzLabel l(nullptr);
    l.SetAutoSize(false);
    l.SetAngle(370);
    EXPECT_EQ(l.Angle(), 10);
    EXPECT_EQ(l.Rotation(), roFlat);
    l.SetAngle(-30);
    EXPECT_EQ(l.Angle(), 330);
    l.SetAngle(-390);
    EXPECT_EQ(l.Angle(), 330);
    l.SetRotation(roCurve);
    EXPECT_EQ(l.Angle(), 330);
    l.SetCenterPoint(cpUpperLeft);
    l.SetRotation(roFlat);  // resets the angle and the centre
    EXPECT_EQ(l.Angle(), 0);
    EXPECT_EQ(l.CenterPoint(), cpCenter);

    // Form data that streams Rotation after Angle keeps the angle.
    TRzLabel m(nullptr);
    m.SetLoadingState(true);
    m.SetAngle(45);
    m.SetRotation(roFlat);
    m.SetLoadingState(false);
    m.Loaded();
    EXPECT_EQ(m.Angle(), 45);
    EXPECT_EQ(m.Rotation(), roFlat);
    // An angle and no rotation at all ends flat.
    TRzLabel n(nullptr);
    n.SetLoadingState(true);
    n.SetAngle(90);
    n.SetLoadingState(false);
    n.Loaded();
    EXPECT_EQ(n.Rotation(), roFlat);
    EXPECT_EQ(n.Angle(), 90);
}

TEST(LabelAutoSize, GrowsByBordersShadowAndTurns) {
    TRzLabel l(nullptr);
    l.Font()->SetName("Arial");
    l.Font()->SetHeight(-14);
    l.SetCaption("Wide text");
    int w0 = l.Width(), h0 = l.Height();
    ASSERT_GT(w0, 20);
    ASSERT_GT(h0, 8);
    l.SetBorderOuter(fsFlat);   // 1 a side
    l.SetBorderWidth(2);        // 2 a side
    l.SetBorderInner(fsGroove); // 2 a side
    EXPECT_EQ(l.Width(), w0 + 10);
    EXPECT_EQ(l.Height(), h0 + 10);
    l.SetBorderSides(SideBit(sdLeft) | SideBit(sdTop));
    EXPECT_EQ(l.Width(), w0 + 5);
    EXPECT_EQ(l.Height(), h0 + 5);
    l.SetBorderSides(sdAllSides);
    l.SetBorderOuter(fsPopup);  // BevelWidth lines
    l.SetBevelWidth(3);
    EXPECT_EQ(l.Width(), w0 + 14);
    l.SetBorderOuter(fsNone);
    l.SetBorderWidth(0);
    l.SetBorderInner(fsNone);
    EXPECT_EQ(l.Width(), w0);
    l.SetTextStyle(tsShadow);
    l.SetShadowDepth(4);
    l.SetCaption("Wide text!");
    int w1 = l.Width();
    l.SetCaption("Wide text");
    EXPECT_EQ(l.Width(), w0 + 4);
    EXPECT_EQ(l.Height(), h0 + 4);
    EXPECT_GT(w1, w0 + 4);
    l.SetTextStyle(tsNormal);
    l.SetAngle(90);  // turned a quarter: the box swaps
    EXPECT_EQ(l.Width(), h0);
    EXPECT_EQ(l.Height(), w0);
    // Right-aligned labels keep their right edge.
    TRzLabel r(nullptr);
    r.SetAlignment(taRightJustify);
    r.SetLeft(100);
    r.SetCaption("ab");
    int right = r.Left() + r.Width();
    r.SetCaption("abcdef");
    EXPECT_EQ(r.Left() + r.Width(), right);
}

TEST(LabelPaint, BordersFillAndTextPasses) {
    TRzLabel l(nullptr);
    l.SetAutoSize(false);
    l.SetBounds(0, 0, 80, 30);
    l.SetColor(clYellow);
    l.SetBorderOuter(fsFlat);
    l.SetFlatColor(clBlue);
    l.SetFlatColorAdjustment(0);
    {
        Render r(&l);
        EXPECT_EQ(r.At(0, 0), 0xFF0000u);
        EXPECT_EQ(r.At(79, 29), 0xFF0000u);
        EXPECT_EQ(r.At(1, 1), 0x00FFFFu);  // filled with Color inside the border
    }
    l.SetTransparent(true);
    {
        Render r(&l);
        EXPECT_EQ(r.At(0, 0), 0xFF0000u);  // borders even when transparent
        EXPECT_EQ(r.At(1, 1), 0xFF00FFu);
    }
    l.SetTransparent(false);
    l.SetBorderOuter(fsNone);
    l.Font()->SetName("Arial");
    l.Font()->SetHeight(-20);
    l.Font()->SetStyle(FontStyleBit(fsBold));
    l.Font()->SetColor(clBlue);
    l.SetCaption("WWW");
    l.SetHighlightColor(clLime);
    l.SetShadowColor(clRed);
    l.SetTextStyle(tsRaised);
    {
        Render r(&l);
        EXPECT_GT(r.Count(0xFF0000), 10);  // face
        EXPECT_GT(r.Count(0x00FF00), 10);  // highlight
        EXPECT_GT(r.Count(0x0000FF), 3);   // shadow
    }
    l.SetLightTextStyle(true);
    {
        Render r(&l);
        EXPECT_GT(r.Count(0x00FF00), 10);
        EXPECT_EQ(r.Count(0x0000FF), 0);
    }
    l.SetEnabled(false);
    {
        Render r(&l);
        EXPECT_EQ(r.Count(0x00FF00), 0);
        EXPECT_EQ(r.Count(0xFF0000), 0);
        EXPECT_GT(r.Count(GetSysColor(COLOR_GRAYTEXT) & 0xFFFFFF), 10);
    }
    l.SetEnabled(true);
    l.SetLightTextStyle(false);
    // Shadowed text: the shadow lies ShadowDepth right and down of the face.
    l.SetTextStyle(tsShadow);
    l.SetShadowDepth(3);
    {
        Render r(&l);
        EXPECT_GT(r.Count(0x0000FF), 10);
        int faceMaxX = 0, shadowMaxX = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 80; ++x) {
                if (r.At(x, y) == 0xFF0000u) faceMaxX = std::max(faceMaxX, x);
                if (r.At(x, y) == 0x0000FFu) shadowMaxX = std::max(shadowMaxX, x);
            }
        EXPECT_EQ(shadowMaxX, faceMaxX + 3);
    }
    // Curved text with no room for an arc paints no text and returns.
    l.SetBounds(0, 0, 6, 6);
    l.SetBorderWidth(2);
    l.SetRotation(roCurve);
    {
        Render r(&l);
        EXPECT_EQ(r.Count(0xFF0000), 0);
    }
    l.SetBounds(0, 0, 120, 120);
    l.SetBorderWidth(0);
    l.SetTextStyle(tsNormal);
    {
        Render r(&l);
        EXPECT_GT(r.Count(0xFF0000), 10);  // along the arc
    }
}

TEST(LabelFlyBy, FontColourFollowsTheMouse) {
    TRzLabel l(nullptr);
    l.Font()->SetColor(clBlack);
    l.SetFlyByColor(clRed);
    l.SetFlyByEnabled(true);
    int enters = 0;
    l.OnMouseEnter = TNotifyEvent::Fn(&enters, [](void* c, TObject*) { ++*static_cast<int*>(c); });
    l.Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(l.Font()->Color(), clRed);
    EXPECT_EQ(l.FaceColor(), clRed);
    EXPECT_EQ(enters, 1);
    l.Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(l.Font()->Color(), clBlack);
    EXPECT_EQ(l.FaceColor(), clBlack);
    l.Perform(CM_MOUSEENTER, 0, 0);
    l.SetFlyByEnabled(false);  // restores at once while over the label
    EXPECT_EQ(l.Font()->Color(), clBlack);
    // Switching off when the mouse is elsewhere leaves the font alone.
    l.Font()->SetColor(clGreen);
    l.SetFlyByEnabled(true);
    l.SetFlyByEnabled(false);
    EXPECT_EQ(l.Font()->Color(), clGreen);
}
