// The arrow line, the star shape and the gradient background, painted into
// bitmaps under Wine.
#include <gtest/gtest.h>

#include "Graphics.h"
#include "RzBckgnd.h"
#include "RzLine.h"
#include "Shapes.h"

namespace {
struct Shot {
    TBitmap bmp;
    explicit Shot(TControl* c, uint32_t back = 0xFF00FF, int w = 0, int h = 0) {
        bmp.SetPixelFormat(pf24bit);
        bmp.SetSize(w ? w : c->Width(), h ? h : c->Height());
        HDC dc = bmp.Canvas()->Handle();
        HBRUSH b = CreateSolidBrush(back);
        RECT r{0, 0, bmp.Width(), bmp.Height()};
        FillRect(dc, &r, b);
        DeleteObject(b);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
    uint32_t At(int x, int y) { return GetPixel(bmp.Canvas()->Handle(), x, y) & 0xFFFFFF; }
};
bool Hit(TControl* c, int x, int y) { return c->Perform(CM_HITTEST, 0, MAKELPARAM(short(x), short(y))) != 0; }
uint32_t Sys(TColor c) { return GetSysColor(c & 0xFF) & 0xFFFFFF; }
}  // namespace

TEST(Line, MinimumSizeAndOddWidths) {
    TRzLine l(nullptr);
    l.SetBounds(0, 0, 10, 5);
    EXPECT_EQ(l.Width(), 20);
    EXPECT_EQ(l.Height(), 20);
    l.SetLineWidth(2);
    EXPECT_EQ(l.LineWidth(), 2);  // no arrows: even widths stay
    l.SetShowArrows(saBoth);
    l.SetLineWidth(4);
    EXPECT_EQ(l.LineWidth(), 5);  // grows to odd
    l.SetLineWidth(4);
    EXPECT_EQ(l.LineWidth(), 3);  // shrinks to odd
    l.SetLineWidth(1);
    l.SetLineWidth(0);
    EXPECT_EQ(l.LineWidth(), 1);  // never below one
    l.SetLineWidth(-4);
    EXPECT_EQ(l.LineWidth(), 1);
    l.SetArrowLength(30);  // margin 15: at least 30 a side
    EXPECT_EQ(l.Width(), 30);
    EXPECT_EQ(l.StartPoint(), (TPoint{15, 15}));
}

TEST(Line, HitBandAt45DegreesAndPixels) {
    TRzLine l(nullptr);
    l.SetBounds(0, 0, 100, 100);
    l.SetLineColor(clRed);
    EXPECT_TRUE(Hit(&l, 50, 50));
    EXPECT_TRUE(Hit(&l, 50, 56));  // off the line by a few pixels
    EXPECT_TRUE(Hit(&l, 53, 50));
    EXPECT_FALSE(Hit(&l, 50, 62));
    EXPECT_FALSE(Hit(&l, 90, 10));  // empty corner
    l.SetLineSlope(lsUp);
    EXPECT_TRUE(Hit(&l, 50, 45));
    EXPECT_FALSE(Hit(&l, 12, 12));
    {
        Shot s(&l);
        EXPECT_EQ(s.At(50, 50), 0x0000FFu);
        EXPECT_EQ(s.At(10, 90), 0x0000FFu);
        EXPECT_EQ(s.At(20, 20), 0xFF00FFu);
    }
    l.SetShowArrows(saBoth);
    l.SetLineSlope(lsDown);
    {
        Shot s(&l);
        EXPECT_EQ(s.At(10, 10), 0x0000FFu);  // tips on the end points
        EXPECT_EQ(s.At(90, 90), 0x0000FFu);
        EXPECT_EQ(s.At(16, 13), 0x0000FFu);  // inside the head
        EXPECT_EQ(s.At(50, 50), 0x0000FFu);
    }
    // A vertical rising line: the start arrow points down to its tip.
    TRzLine v(nullptr);
    v.SetBounds(0, 0, 20, 100);
    v.SetLineColor(clRed);
    v.SetLineSlope(lsUp);
    v.SetShowArrows(saStart);
    Shot s(&v);
    EXPECT_EQ(s.At(10, 90), 0x0000FFu);
    EXPECT_EQ(s.At(12, 84), 0x0000FFu);
    EXPECT_EQ(s.At(10, 93), 0xFF00FFu);
}

TEST(Star, TipsForPenWidthsZeroOneFive) {
    uint32_t shadow = Sys(clBtnShadow);
    TStarShape st(nullptr);
    st.Pen()->SetColor(clRed);
    st.Brush()->SetColor(clYellow);
    EXPECT_EQ(st.Width(), 65);
    {
        Shot s(&st);
        EXPECT_EQ(s.At(31, 0), 0x0000FFu);   // top tip of the face
        EXPECT_EQ(s.At(61, 31), 0x0000FFu);  // right tip
        EXPECT_EQ(s.At(31, 61), 0x0000FFu);  // bottom tip
        EXPECT_EQ(s.At(0, 31), 0x0000FFu);   // left tip
        EXPECT_EQ(s.At(63, 33), shadow);     // the shadow 2 right and down
        EXPECT_EQ(s.At(33, 63), shadow);
        EXPECT_EQ(s.At(31, 31), 0x00FFFFu);  // filled
        EXPECT_EQ(s.At(64, 33), 0xFF00FFu);
        EXPECT_EQ(s.At(2, 2), 0xFF00FFu);
    }
    st.Pen()->SetWidth(5);
    {
        Shot s(&st);
        EXPECT_EQ(s.At(31, 2), 0x0000FFu);   // shifted by 2 for the thick pen
        EXPECT_EQ(s.At(59, 31), 0x0000FFu);
        EXPECT_EQ(s.At(63, 33), shadow);     // shadow tip (61, 33) plus the pen
        EXPECT_EQ(s.At(64, 33), 0xFF00FFu);  // still inside the bounds
    }
    st.Pen()->SetWidth(0);
    {
        Shot s(&st);
        EXPECT_EQ(s.At(61, 31), 0x0000FFu);
        EXPECT_EQ(s.At(62, 31), 0xFF00FFu);
    }
    st.Pen()->SetWidth(1);
    st.SetShadow(false);
    {
        Shot s(&st);
        EXPECT_EQ(s.At(63, 32), 0x0000FFu);  // the face takes the full size
        EXPECT_NE(s.At(64, 34), shadow);
    }
    // Offsets are signed: a huge Cardinal is a negative shift, not a wrap.
    st.SetShadow(true);
    st.SetShadowOffset(0xFFFFFFFEu);
    Shot s(&st);
    EXPECT_EQ(s.At(7, 7), shadow);  // its upper left point, 2 beyond the face's
    EXPECT_EQ(s.At(9, 9), 0x0000FFu);
    EXPECT_EQ(s.At(32, 32), 0x00FFFFu);
}

TEST(Background, LayersFrameAndMinimumSize) {
    TRzBackground bg(nullptr);
    EXPECT_EQ(bg.Width(), 200);
    bg.SetBounds(0, 0, 3, 2);
    { Shot s(&bg, 0xFF00FF, 10, 10); }
    EXPECT_EQ(bg.Width(), 5);
    EXPECT_EQ(bg.Height(), 5);
    // Aligned, the parent decides the size: painting leaves it alone.
    TRzBackground al(nullptr);
    al.SetBounds(0, 0, 3, 3);
    al.SetAlign(alClient);
    { Shot s(&al, 0xFF00FF, 10, 10); }
    EXPECT_EQ(al.Width(), 3);

    bg.SetBounds(0, 0, 40, 40);
    bg.SetGradientColorStart(clAqua);
    bg.SetGradientColorStop(0xFFFFD5);
    bg.SetGradientDirection(gdHorizontalEnd);
    uint32_t top;
    {
        Shot s(&bg);
        top = s.At(20, 0);
        EXPECT_EQ(top & 0xFFFF00u, 0xFFFF00u);  // aqua at the top
        EXPECT_LT(top & 0xFFu, 16u);
        EXPECT_EQ(s.At(20, 39), 0xFFFFD5u);  // the stop colour at the bottom
    }
    bg.SetFrameStyle(fsFlat);
    bg.SetFrameColor(clRed);
    {
        Shot s(&bg);
        EXPECT_EQ(s.At(0, 0), 0x0000FFu);
        EXPECT_EQ(s.At(39, 20), 0x0000FFu);
        EXPECT_EQ(s.At(20, 1), top);  // layers moved under the frame
    }
    bg.SetFrameStyle(fsNone);

    // Gradient and texture exclude each other.
    bg.SetShowTexture(true);
    EXPECT_FALSE(bg.ShowGradient());
    bg.SetShowGradient(true);
    EXPECT_FALSE(bg.ShowTexture());
    bg.SetShowGradient(false);
    EXPECT_TRUE(bg.ShowTexture());
    bg.SetShowGradient(true);

    // A stretched image hides the gradient; a filled wide picture covers the top half.
    TBitmap pic;
    pic.SetPixelFormat(pf24bit);
    pic.SetSize(20, 10);
    HBRUSH b = CreateSolidBrush(0x00FF00);
    RECT r{0, 0, 20, 10};
    FillRect(pic.Canvas()->Handle(), &r, b);
    DeleteObject(b);
    bg.Image()->SetGraphic(&pic);
    bg.SetShowImage(true);
    bg.SetImageStyle(isStretch);
    {
        Shot s(&bg);
        EXPECT_EQ(s.At(20, 0), 0x00FF00u);
        EXPECT_EQ(s.At(39, 39), 0x00FF00u);
    }
    bg.SetImageStyle(isFill);
    {
        Shot s(&bg);
        EXPECT_EQ(s.At(20, 5), 0x00FF00u);
        EXPECT_EQ(s.At(39, 19), 0x00FF00u);
        EXPECT_NE(s.At(20, 30), 0x00FF00u);  // gradient below
    }
    bg.SetImageStyle(isTiled);
    bg.SetShowGradient(false);
    {
        Shot s(&bg);
        EXPECT_EQ(s.At(39, 39), 0x00FF00u);
    }
}
