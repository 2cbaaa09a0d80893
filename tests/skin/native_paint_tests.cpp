// The skin painters' pixel maths and plans, natively: masked and keyed
// copies, one-weight blends, margins, tile modes, glyph layout, glow
// geometry, and the faults of skin data that must paint nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sColorAdjust.h"
#include "acMaskBlend.h"
#include "acSkinGeometry.h"

namespace {

struct Pixels {
    int W, H, Bpp;
    std::vector<uint8_t> Data;
    Pixels(int w, int h, int bpp = 3) : W(w), H(h), Bpp(bpp), Data(size_t(w) * h * bpp) {}
    TacImage Image() {
        TacImage i;
        i.View.Start = Data.data();
        i.View.RowDelta = ptrdiff_t(W) * Bpp;
        i.View.Width = W;
        i.View.Height = H;
        i.Bpp = Bpp;
        return i;
    }
    TacPixelView View() { return Image().View; }
    uint8_t* At(int x, int y) { return Data.data() + (size_t(y) * W + x) * Bpp; }
    void Set(int x, int y, uint32_t rgb) {
        uint8_t* p = At(x, y);
        p[0] = uint8_t(rgb >> 16), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb);
    }
    uint32_t Get(int x, int y) {
        uint8_t* p = At(x, y);
        return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
    }
    void Fill(uint32_t rgb) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) Set(x, y, rgb);
    }
};

}  // namespace

TEST(SkinMaskedCopy, MaskWeightZeroTakesTheImageAndWeight255KeepsTheDestination) {
    // A 2-cell-high image: row 0 the picture, row 1 its mask.
    Pixels src(2, 2), dst(2, 1);
    src.Set(0, 0, 0x102030), src.Set(1, 0, 0x102030);
    src.Set(0, 1, 0x000000), src.Set(1, 1, 0xFFFFFF);
    dst.Fill(0xC8C8C8);
    CopyMaskedView(dst.Image(), Rect(0, 0, 2, 1), src.Image(), Rect(0, 0, 2, 1), 1, TacBackground{}, false, true);
    EXPECT_EQ(dst.Get(0, 0), 0x102030u);
    // (200 * 255 + 0x10.. * 1) >> 8: the destination, up to the shift.
    EXPECT_EQ(dst.Get(1, 0), 0xC7C7C7u);
}

// Long rows go the quick way unless a key pixel is in them: the result is
// the pixel-by-pixel mix either way, a key pixel keeps the destination, and
// the key's bytes across two pixels are no key.
TEST(SkinMaskedCopy, LongRowsMixAlikeWithAndWithoutKeyPixels) {
    constexpr int W = 41, H = 3;
    Pixels src(W, 2 * H), dst(W, H), want(W, H);
    for (size_t i = 0; i < src.Data.size(); ++i) src.Data[i] = uint8_t(i * 2654435761u >> 24);
    for (size_t i = 0; i < dst.Data.size(); ++i) dst.Data[i] = uint8_t(i * 40503u >> 7);
    src.Set(17, 1, 0xFF00FF);  // a key pixel in row 1
    src.At(9, 2)[2] = 0xFF, src.At(10, 2)[0] = 0x00, src.At(10, 2)[1] = 0xFF;  // straddling in row 2
    want.Data = dst.Data;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (!IsKeyPixel(src.At(x, y)))
                for (int i = 0; i < 3; ++i)
                    want.At(x, y)[i] = MixByte(want.At(x, y)[i], src.At(x, y)[i], src.At(x, y + H)[i]);
    CopyMaskedView(dst.Image(), Rect(0, 0, W, H), src.Image(), Rect(0, 0, W, H), H, TacBackground{}, false, true);
    EXPECT_EQ(dst.Data, want.Data);
}

// A masked image into a 32-bit picture (the glow's): every pixel lands in
// its own four bytes and gains the coverage the mask gives it.
TEST(SkinMaskedCopy, AThirtyTwoBitDestinationTakesFourBytesAPixelAndTheMasksCoverage) {
    Pixels src(3, 2), dst(3, 1, 4);
    const uint32_t colours[3] = {0x102030, 0x405060, 0x708090};
    for (int x = 0; x < 3; ++x) src.Set(x, 0, colours[x]), src.Set(x, 1, 0x000000);
    src.Set(2, 1, 0xFFFFFF);
    std::fill(dst.Data.begin(), dst.Data.end(), uint8_t(0));
    CopyMaskedView(dst.Image(), Rect(0, 0, 3, 1), src.Image(), Rect(0, 0, 3, 1), 1, TacBackground{}, false, true);
    const struct {
        uint32_t Rgb;
        int Alpha;
    } want[3] = {{0x102030, 255}, {0x405060, 255}, {0x000000, 0}};
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(dst.Get(x, 0), want[x].Rgb) << x;
        EXPECT_EQ(int(dst.At(x, 0)[3]), want[x].Alpha) << x;
    }
}

TEST(SkinMaskedCopy, KeyPixelsTakeTheCachePixelOrStay) {
    Pixels src(1, 2), cache(4, 4), dst(1, 1);
    src.Set(0, 0, 0xFF00FF);
    cache.Fill(0x000000);
    cache.Set(3, 2, 0x123456);
    TacBackground bg;
    bg.Image = cache.Image();
    bg.X = 3, bg.Y = 2, bg.Ready = true;
    for (bool fill : {false, true}) {
        dst.Fill(0xABCDEF);
        CopyMaskedView(dst.Image(), Rect(0, 0, 1, 1), src.Image(), Rect(0, 0, 1, 1), 1, bg, fill, false);
        EXPECT_EQ(dst.Get(0, 0), fill ? 0x123456u : 0xABCDEFu);
    }
    // A keyed corner with a background that is not ready takes its colour.
    bg.Ready = false;
    bg.Color = 0x00FF00;
    CopyKeyedView(dst.Image(), 0, 0, src.Image(), Rect(0, 0, 0, 0), 0xFF00FF, &bg, false);
    EXPECT_EQ(dst.Get(0, 0), 0x00FF00u);
}

TEST(SkinMaskedCopy, ThirtyTwoBitSourcesBlendByTheirAlpha) {
    Pixels src(1, 1, 4), dst(1, 1);
    src.At(0, 0)[0] = src.At(0, 0)[1] = src.At(0, 0)[2] = 200, src.At(0, 0)[3] = 128;
    dst.Fill(0x646464);
    CopyMaskedView(dst.Image(), Rect(0, 0, 1, 1), src.Image(), Rect(0, 0, 1, 1), 0, TacBackground{}, false, false);
    EXPECT_EQ(dst.Get(0, 0), 0x969696u);  // (200 * 128 + 100 * 128) >> 8 = 150
}

TEST(SkinClipping, NegativeOriginsShortenTheCopy) {
    struct Case {
        TRect Dst, Src;
        int DstX, SrcX, Cols;
    } cases[] = {
        {Rect(-3, 0, 7, 1), Rect(0, 0, 10, 1), 0, 3, 7},
        {Rect(0, 0, 10, 1), Rect(-2, 0, 8, 1), 2, 0, 8},
        {Rect(5, 0, 20, 1), Rect(0, 0, 15, 1), 5, 0, 5},  // cut at the right of a 10-wide destination
    };
    for (const Case& c : cases) {
        const TacPairClip r = ClipRectPair(c.Dst, c.Src, 10, 1, 10, 1);
        EXPECT_EQ(r.DstX, c.DstX);
        EXPECT_EQ(r.SrcX, c.SrcX);
        EXPECT_EQ(r.Cols, c.Cols);
    }
    const TacBlendRects b = BlendWithRects(Rect(0, 0, 10, 10), Point(-3, 0), 10, 10, 10, 10);
    EXPECT_EQ(b.Src, Rect(3, 0, 10, 10));
    EXPECT_EQ(b.Dst, Rect(0, 0, 7, 10));
}

TEST(SkinBlends, OneWeightBlendsAndMixesRoundAsTheRulesSay) {
    Pixels white(4, 4), black(4, 4);
    white.Fill(0xFFFFFF);
    black.Fill(0x000000);
    BlendWithView(white.View(), black.View(), 255, Rect(0, 0, 4, 4), Point(0, 0));
    EXPECT_EQ(white.Get(1, 1), 0xFEFEFEu);

    Pixels a(3, 2), b(3, 2), t(3, 2, 4), m(3, 2);
    a.Fill(0xC8C8C8), b.Fill(0x646464), m.Fill(0x000000);
    m.Set(2, 1, 0xFFFFFF);
    ASSERT_TRUE(MixViewsByMask(t.View(), a.View(), b.View(), 128, nullptr));
    EXPECT_EQ(t.Get(0, 0), 0x969696u);
    const TacPixelView mv = m.View();
    ASSERT_TRUE(MixViewsByMask(t.View(), a.View(), b.View(), 0, &mv));
    EXPECT_EQ(t.Get(0, 0), 0x646464u);
    EXPECT_EQ(t.Get(2, 1), 0xC7C7C7u);
    // Wide rows go four pixels at a time: every pixel mixed, every fourth byte kept.
    Pixels wa(9, 1), wb(9, 1), wt(9, 1, 4);
    for (int x = 0; x < 9; ++x) wa.Set(x, 0, 0x0A0B0C * uint32_t(x + 1)), wt.At(x, 0)[3] = 0x77;
    wb.Fill(0x000000);
    ASSERT_TRUE(MixViewsByMask(wt.View(), wa.View(), wb.View(), 128, nullptr));
    for (int x = 0; x < 9; ++x) {
        const uint32_t want = 0x0A0B0C * uint32_t(x + 1);
        const uint8_t* p = wt.At(x, 0);
        EXPECT_EQ(p[0], ((want >> 16) & 0xFF) / 2) << x;
        EXPECT_EQ(p[2], (want & 0xFF) / 2) << x;
        EXPECT_EQ(p[3], 0x77) << x;
    }
    Pixels other(2, 2);
    EXPECT_FALSE(MixViewsByMask(t.View(), a.View(), other.View(), 0, nullptr));

    Pixels p(2, 2);
    p.Fill(0x204060);
    BlendRectWithColorView(p.View(), Rect(0, 0, 2, 2), 100, 0xFFFFFF);
    EXPECT_EQ(p.Get(1, 1), 0x204060u);
    BlendRectWithColorView(p.View(), Rect(0, 0, 2, 2), 0, 0x0000FF);
    EXPECT_EQ(p.Get(1, 1), 0x0000FFu);
    BlendRectWithColorView(p.View(), Rect(-5, -5, 1, 1), 50, 0x000000);  // clipped: only (0, 0)
    EXPECT_EQ(p.Get(0, 0), 0x000080u);
    EXPECT_EQ(p.Get(1, 0), 0x0000FFu);

    Pixels g(1, 1);
    g.Set(0, 0, 0x0A1420);
    MakeGreyView(g.View());
    EXPECT_EQ(g.Get(0, 0), 0x141414u);
}

TEST(SkinBlends, PercentagesBecomeWeightsAndOneHundredIsTheWholeWeight) {
    const int cases[][2] = {{0, 0}, {40, 102}, {50, 127}, {100, 255}, {150, 255}, {-5, 0}};
    for (const auto& c : cases) EXPECT_EQ(PercentToWeight(c[0]), c[1]) << c[0];
}

TEST(SkinBlends, PremultipliedGlowPixelsAreNeverBrighterThanTheirAlpha) {
    Pixels p(1, 1, 4);
    uint8_t* px = p.At(0, 0);
    px[0] = px[1] = px[2] = 255, px[3] = 128;
    PremultiplyAlphaView(p.View());
    EXPECT_EQ(px[0], 128);
    EXPECT_EQ(px[3], 128);
}

TEST(SkinMargins, MarginsShrinkWithTheOddPixelOnTheFarSide) {
    struct Case {
        int Size, Near, Far, WantNear, WantFar;
    } cases[] = {{15, 10, 10, 8, 7}, {16, 10, 10, 8, 8}, {30, 10, 10, 10, 10}, {3, 0, 10, 0, 3}};
    for (const Case& c : cases) {
        int n = c.Near, f = c.Far;
        ShrinkMargins(c.Size, n, f);
        EXPECT_EQ(n, c.WantNear) << c.Size;
        EXPECT_EQ(f, c.WantFar) << c.Size;
    }
}

TEST(SkinMargins, PlansPaintNothingForBadImagesAndSmallRectangles) {
    TacMarginImage img;
    img.R = Rect(0, 0, 30, 10);
    img.ImageCount = 3;
    img.WL = img.WT = img.WR = img.WB = 3;
    img.StretchMode = 4;
    struct Case {
        const char* What;
        TRect Rect;
        int ImageCount, MaskType, StretchMode, State, Margin;
    } cases[] = {
        {"a 1 x 100 rectangle", Rect(0, 0, 1, 100), 3, 0, 4, 0, 3},
        {"no cells", Rect(0, 0, 50, 50), 0, 0, 4, 0, 3},
        {"a mask type below 0", Rect(0, 0, 50, 50), 3, -1, 4, 0, 3},
        {"state 0 with flag 2", Rect(0, 0, 50, 50), 3, 0, 6, 0, 3},
        {"cells narrower than a pixel", Rect(0, 0, 50, 50), 40, 0, 4, 0, 3},
    };
    for (const Case& c : cases) {
        TacMarginImage i = img;
        i.ImageCount = c.ImageCount, i.MaskType = c.MaskType, i.StretchMode = c.StretchMode;
        EXPECT_TRUE(PlanImageByMargins(c.Rect, i, c.State, true).Pieces.empty()) << c.What;
    }
    // Margins that fill the cell: corners only, no piece reads past the cell.
    TacMarginImage full = img;
    full.WL = full.WR = 5, full.WT = full.WB = 5;
    const TacMarginPlan plan = PlanImageByMargins(Rect(0, 0, 40, 40), full, 1, true);
    ASSERT_EQ(plan.Pieces.size(), 4u);
    for (const TacPiece& p : plan.Pieces) {
        EXPECT_TRUE(p.Corner);
        EXPECT_GE(p.Src.Left, 10);
        EXPECT_LE(p.Src.Right, 20);
    }
    // Margins larger than the image itself: every piece reads inside cell 0
    // and writes inside the rectangle.
    TacMarginImage huge = img;
    huge.WL = huge.WR = huge.WT = huge.WB = 50;
    for (const TacPiece& p : PlanImageByMargins(Rect(0, 0, 20, 20), huge, 0, true).Pieces) {
        EXPECT_LE(p.Src.Right, 10);
        EXPECT_LE(p.Src.Bottom, 10);
        EXPECT_LE(p.Dst.Right, 20);
    }
}

TEST(SkinMargins, StatesBeyondTheLastPaintTheLastCellAndFlagTwoPaintsFromStateOne) {
    TacMarginImage img;
    img.R = Rect(0, 0, 30, 10);
    img.ImageCount = 3;
    img.StretchMode = 2 | 4;
    img.WL = img.WT = img.WR = img.WB = 2;
    const TacMarginPlan p = PlanImageByMargins(Rect(0, 0, 24, 24), img, 5, false);
    ASSERT_FALSE(p.Pieces.empty());
    EXPECT_EQ(p.CellLeft, 20);
    EXPECT_EQ(p.Pieces.front().Src, Rect(20, 0, 22, 2));
    for (const TacPiece& piece : p.Pieces)  // no filling: no centre
        EXPECT_FALSE(piece.Dst.Left >= 2 && piece.Dst.Right <= 22 && piece.Dst.Top >= 2 && piece.Dst.Bottom <= 22);
    // Edge tiles of 6 pixels along a 20-pixel band: 6, 6, 6 and a last piece of 2.
    int leftEdge = 0, last = 0;
    for (const TacPiece& piece : p.Pieces)
        if (!piece.Corner && piece.Dst.Left == 0) ++leftEdge, last = piece.Dst.Height();
    EXPECT_EQ(leftEdge, 4);
    EXPECT_EQ(last, 2);
}

TEST(SkinTiles, EveryTileModeCoversWhatItsRowSaysAndHandsBackTheRest) {
    const TRect covered{-1, -1, -1, -1};
    struct Case {
        int Mode;
        TRect Remaining;
        size_t Pieces;
    } cases[] = {
        {0, covered, 1},                 // one tiled piece: 3 x 3 tiles of 10 x 8, the last cut
        {1, covered, 1},
        {2, Rect(0, 8, 25, 22), 3},
        {3, Rect(10, 0, 25, 22), 3},
        {4, Rect(0, 8, 25, 22), 1},
        {5, Rect(10, 0, 25, 22), 1},
        {6, Rect(0, 0, 25, 14), 3},
        {7, Rect(0, 0, 15, 22), 3},
        {10, covered, 6},                // whole rows only: 2 rows of 3
        {8, Rect(0, 0, 25, 22), 3},      // "any other": as mode 7, rectangle unchanged
        {TileModeOf(300), Rect(0, 0, 25, 22), 3},
    };
    for (const Case& c : cases) {
        TRect r = Rect(0, 0, 25, 22);
        std::vector<TacPiece> out;
        PlanTileSkinImage(r, 0, 0, 10, 8, c.Mode, out);
        EXPECT_EQ(r, c.Remaining) << c.Mode;
        EXPECT_EQ(out.size(), c.Pieces) << c.Mode;
        for (const TacPiece& p : out) {
            EXPECT_GE(p.Dst.Left, 0);
            EXPECT_LE(p.Dst.Right, 25);
            EXPECT_LE(p.Dst.Bottom, 22);
        }
    }
    // Mode 0's tiles: 3 x 3, the last column and row cut at 25 and 22.
    {
        TRect all = Rect(0, 0, 25, 22);
        std::vector<TacPiece> one;
        PlanTileSkinImage(all, 0, 0, 10, 8, 0, one);
        std::vector<TRect> tiles;
        ForEachTile(one.front(), [&](const TacPiece& t) { tiles.push_back(t.Dst); });
        ASSERT_EQ(tiles.size(), 9u);
        EXPECT_EQ(tiles.back(), Rect(20, 16, 25, 22));
    }
    // Mode 10 over a 25 x 22 rectangle ends at row 16.
    TRect r = Rect(0, 0, 25, 22);
    std::vector<TacPiece> out;
    PlanTileSkinImage(r, 0, 0, 10, 8, 10, out);
    EXPECT_EQ(out.back().Dst, Rect(20, 8, 25, 16));
    // An empty cell never loops and leaves the rectangle.
    r = Rect(0, 0, 25, 22);
    out.clear();
    PlanTileSkinImage(r, 0, 0, 0, 8, 0, out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(r, Rect(0, 0, 25, 22));
    EXPECT_EQ(TileModeOf(14), 14);
    EXPECT_EQ(TileModeOf(-1), 8);
}

TEST(SkinGlyphLayout, GlyphAndCaptionArePlacedAsTheExamplesGive) {
    struct Case {
        int Layout, Alignment, Spacing, Margin, TextW;
        TPoint Glyph;
        int TextX, TextY;
    } cases[] = {
        {0, 2, 4, -1, 40, Point(20, 12), 40, 10},
        {0, 0, 4, 5, 40, Point(5, 12), 25, 10},
        {1, 1, 4, 5, 40, Point(79, 12), 35, 10},
        {0, 2, 4, -1, 0, Point(42, 12), 58, 10},  // an empty caption: no spacing
        {2, 0, 4, -1, 40, Point(42, 0), 30, 20},
    };
    for (const Case& c : cases) {
        TRect text;
        TPoint glyph;
        CalcGlyphLayout(Rect(0, 0, 100, 40), Point(16, 16), Point(c.TextW, 20), 0, text, glyph, c.Spacing, c.Margin,
                        c.Alignment, c.Layout);
        EXPECT_EQ(glyph, c.Glyph) << c.Layout << "/" << c.Alignment;
        EXPECT_EQ(text.Left, c.TextX) << c.Layout << "/" << c.Alignment;
        EXPECT_EQ(text.Top, c.TextY) << c.Layout << "/" << c.Alignment;
    }
    // Right-to-left reading swaps layouts 0 and 1; the client's corner moves both.
    TRect text;
    TPoint glyph;
    CalcGlyphLayout(Rect(10, 20, 110, 60), Point(16, 16), Point(40, 20), 2, text, glyph, 4, 5, 0, 0);
    EXPECT_EQ(text.Left, 15);
    EXPECT_EQ(glyph, Point(59, 32));
}

TEST(SkinGlow, WindowsArePlacedAndCroppedAsTheControlShows) {
    const TacGlowGeometry whole = GlowGeometry(Bounds(100, 50, 20, 20), Rect(0, 0, 20, 20), 8, 8, 8, 8, 2);
    EXPECT_EQ(whole.Width, 32);
    EXPECT_EQ(whole.Height, 32);
    EXPECT_EQ(whole.X, 94);
    EXPECT_EQ(whole.Y, 44);
    const TacGlowGeometry left = GlowGeometry(Bounds(100, 50, 20, 20), Rect(5, 0, 20, 20), 8, 8, 8, 8, 2);
    EXPECT_EQ(left.CropLeft, 8 + 5 - 2);
    EXPECT_EQ(left.X, 94 + 11);
    EXPECT_TRUE(left.Shown());
    // A crop that leaves nothing shows no window.
    const TacGlowGeometry none = GlowGeometry(Bounds(0, 0, 20, 20), Rect(19, 0, 19, 20), 0, 0, 0, 0, 0);
    EXPECT_FALSE(none.Shown());
}
