#include <gtest/gtest.h>

#include <set>

#include "RzColorMath.h"

namespace {
// Paints linear bands into a column of colours; unpainted rows stay 0xFF000000.
std::vector<uint32_t> Column(const std::vector<TRzBand>& bands, int extent) {
    std::vector<uint32_t> col(extent, 0xFF000000u);
    for (const TRzBand& b : bands) {
        EXPECT_LT(b.From, b.To);
        for (int y = b.From; y < b.To; ++y) {
            EXPECT_TRUE(y >= 0 && y < extent) << y;
            if (y >= 0 && y < extent) col[y] = b.Color;
        }
    }
    return col;
}
}  // namespace

TEST(GradientBands, BandWidthsBySmoothFactor) {
    EXPECT_EQ(RzBandSteps(0, false), 1);
    EXPECT_EQ(RzBandSteps(1, true), 1);
    EXPECT_EQ(RzBandSteps(8, false), 8);
    EXPECT_EQ(RzBandSteps(9, false), 29);
    EXPECT_EQ(RzBandSteps(9, true), 29);
    EXPECT_EQ(RzBandSteps(16, false), 16);
    EXPECT_EQ(RzBandSteps(16, true), 17);
}

TEST(GradientBands, EndRampOver256RowsIsExactGrey) {
    auto bands = RzLinearRamp(256, false, 0x000000, 0xFFFFFF, 1);
    auto col = Column(bands, 256);
    for (int y = 0; y < 256; ++y) ASSERT_EQ(col[y], RzRGB(y, y, y)) << "row " << y;
    EXPECT_EQ(bands.size(), 256u);
}

TEST(GradientBands, BandsGroupAtLeastKSteps) {
    for (int sf : {9, 16}) {
        int k = RzBandSteps(sf, false);
        auto bands = RzLinearRamp(256, false, 0x000000, 0xFFFFFF, sf);
        auto col = Column(bands, 256);
        for (uint32_t c : col) ASSERT_NE(c, 0xFF000000u);
        // Every band but the last (nearest row 0) spans exactly k rows here,
        // since adjacent rows always differ in colour.
        for (size_t i = 0; i + 1 < bands.size(); ++i) EXPECT_EQ(bands[i].To - bands[i].From, k) << sf;
        EXPECT_EQ(bands.size(), size_t((256 + k - 1) / k)) << sf;
        EXPECT_EQ(col[255], 0xFFFFFFu);
    }
    // Equal colours along the way merge into longer bands: 2 greys over 100 rows.
    auto bands = RzLinearRamp(100, false, 0x101010, 0x111111, 0);
    EXPECT_LE(bands.size(), 2u);
}

TEST(GradientBands, MirroredRampAndTinyExtents) {
    auto col = Column(RzLinearRamp(11, true, 0x000000, 0xFFFFFF, 0), 11);
    EXPECT_EQ(col[5], 0xFFFFFFu);  // stop colour at the middle
    EXPECT_LT(RzRed(col[0]), 50);
    EXPECT_LT(RzRed(col[10]), 50);
    for (int y = 0; y < 5; ++y) EXPECT_LE(RzRed(col[y]), RzRed(col[y + 1]));
    for (int y = 6; y < 10; ++y) EXPECT_GE(RzRed(col[y]), RzRed(col[y + 1]));
    // Extents 1 and 2 have an empty second run: no division by zero, covered.
    for (int e : {1, 2}) {
        auto c = Column(RzLinearRamp(e, true, 0x000000, 0xFFFFFF, 0), e);
        for (uint32_t v : c) EXPECT_NE(v, 0xFF000000u);
    }
    EXPECT_TRUE(RzLinearRamp(0, false, 0, 0xFFFFFF, 1).empty());
}

TEST(GradientBands, BoxRampCoversQuarterWithoutWrapping) {
    for (auto [w, h, dx, dy] : {std::tuple{40, 30, 0, 0}, std::tuple{40, 30, 10, 7},
                                std::tuple{1000, 5, 0, 0}, std::tuple{7, 64, 1, 0}}) {
        auto bands = RzBoxRamp(w, h, dx, dy, 0x000000, 0xFFFFFF, 1);
        int qw = (w - 1) / 2 + 1, qh = (h - 1) / 2 + 1;
        std::vector<uint32_t> q(qw * qh, 0xFF000000u);
        for (const auto& b : bands)
            for (const TRect& r : {b.Horz, b.Vert})
                for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, qh); ++y)
                    for (int x = std::max(r.Left, 0); x < std::min(r.Right, qw); ++x) q[y * qw + x] = b.Color;
        for (int y = 0; y < qh; ++y)
            for (int x = 0; x < qw; ++x) ASSERT_NE(q[y * qw + x], 0xFF000000u) << w << "x" << h << " " << x << "," << y;
        // Stop (white) at the centre, start (black) in the corner, and the
        // channel never wraps: grey falls monotonically towards the corner.
        EXPECT_GT(RzRed(q[(qh - 1) * qw + qw - 1]), 200);
        EXPECT_EQ(q[0], 0u);
        for (int x = 0; x + 1 < qw; ++x) EXPECT_LE(RzRed(q[(qh - 1) * qw + x]), RzRed(q[(qh - 1) * qw + x + 1]));
        for (int y = 0; y + 1 < qh; ++y) EXPECT_LE(RzRed(q[y * qw + qw - 1]), RzRed(q[(y + 1) * qw + qw - 1]));
    }
    // Small or single-coloured boxes are one fill of the area plus one pixel.
    auto small = RzBoxRamp(4, 30, 0, 0, 0x123456, 0xFFFFFF, 1);
    ASSERT_EQ(small.size(), 1u);
    EXPECT_EQ(small[0].Horz, Rect(0, 0, 5, 31));
    EXPECT_EQ(small[0].Color, 0x123456u);
    EXPECT_EQ(RzBoxRamp(30, 30, 0, 0, 0x123456, 0x123456, 1).size(), 1u);
    // Band widths of the box ramp use 256 div s + 1.
    auto b16 = RzBoxRamp(200, 200, 0, 0, 0x000000, 0xFFFFFF, 16);
    EXPECT_LE(b16.size(), size_t(100 / 17 + 2));
}

TEST(GradientBands, DiagonalRampEndsAtCornersInOrder) {
    auto bands = RzDiagonalRamp(50, 30, false, 0x000000, 0xFFFFFF, 1);
    ASSERT_FALSE(bands.empty());
    EXPECT_EQ(bands.front().Color, 0u);
    EXPECT_GT(RzRed(bands.back().Color), 230);
    for (size_t i = 1; i < bands.size(); ++i) EXPECT_GE(RzRed(bands[i].Color), RzRed(bands[i - 1].Color));
    // The first band touches the starting corner (pushed outwards).
    bool corner = false;
    for (int i = 0; i < bands.front().Count; ++i)
        corner |= bands.front().P[i].X == -1 && bands.front().P[i].Y == 31;
    EXPECT_TRUE(corner);
    // Falling variant starts at the bottom-right corner.
    auto down = RzDiagonalRamp(50, 30, true, 0x000000, 0xFFFFFF, 1);
    corner = false;
    for (int i = 0; i < down.front().Count; ++i) corner |= down.front().P[i].X == 51 && down.front().P[i].Y == 31;
    EXPECT_TRUE(corner);
    EXPECT_TRUE(RzDiagonalRamp(0, 30, false, 0, 0xFFFFFF, 1).empty());
}
