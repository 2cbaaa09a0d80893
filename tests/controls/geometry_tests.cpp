#include <gtest/gtest.h>

#include "RzGeometry.h"

TEST(LineGeometry, HitBandKeepsWidthAt45Degrees) {
    // 100 x 100 with end margin 10: a 45 degree line. Tolerance a = 4, so the
    // band reaches 8 pixels vertically on either side.
    for (int d : {0, 3, 6, 8}) {
        EXPECT_TRUE(RzLineHit(50, 50 + d, 100, 100, 10, 1, lsDown)) << d;
        EXPECT_TRUE(RzLineHit(50, 50 - d, 100, 100, 10, 1, lsDown)) << d;
        EXPECT_TRUE(RzLineHit(50, 50 + d, 100, 100, 10, 1, lsUp)) << d;
    }
    EXPECT_FALSE(RzLineHit(50, 60, 100, 100, 10, 1, lsDown));
    EXPECT_FALSE(RzLineHit(50, 40, 100, 100, 10, 1, lsUp));
    // The empty corners of the bounds do not hit.
    EXPECT_FALSE(RzLineHit(90, 10, 100, 100, 10, 1, lsDown));
    EXPECT_FALSE(RzLineHit(10, 10, 100, 100, 10, 1, lsUp));
    // Thick lines widen the band; a flat line keeps at least 4 pixels.
    EXPECT_TRUE(RzLineHit(50, 50 + 20, 100, 100, 10, 20, lsDown));
    EXPECT_TRUE(RzLineHit(100, 24, 200, 40, 10, 1, lsDown));
    EXPECT_FALSE(RzLineHit(100, 26, 200, 40, 10, 1, lsDown));
    // A vertical line (width 2m) hits within a of its x.
    EXPECT_TRUE(RzLineHit(13, 50, 20, 100, 10, 1, lsUp));
    EXPECT_TRUE(RzLineHit(6, 50, 20, 100, 10, 1, lsUp));
    EXPECT_FALSE(RzLineHit(5, 50, 20, 100, 10, 1, lsUp));
    // Outside the client rectangle inflated by a - m nothing hits.
    EXPECT_FALSE(RzLineHit(-1, 0, 100, 100, 10, 1, lsDown));
}

TEST(StarGeometry, TipsForPenWidths) {
    TPoint face[17], shadow[17];
    // 65 x 65, pen 1, offset 2: the face spans 0..61, the shadow 2 further.
    ASSERT_TRUE(RzStarPolygon(65, 65, 1, 2, true, false, face));
    ASSERT_TRUE(RzStarPolygon(65, 65, 1, 2, true, true, shadow));
    EXPECT_EQ(face[0], (TPoint{31, 0}));
    EXPECT_EQ(face[4], (TPoint{61, 31}));
    EXPECT_EQ(face[8], (TPoint{31, 61}));
    EXPECT_EQ(face[12], (TPoint{0, 31}));
    for (int i = 0; i < 17; ++i) EXPECT_EQ(shadow[i], (TPoint{face[i].X + 2, face[i].Y + 2}));
    EXPECT_EQ(face[16], face[0]);
    // Pen 0 shrinks by one more pixel: 65 - 2 - 0 - 1 - 1 = 61 as well.
    ASSERT_TRUE(RzStarPolygon(65, 65, 0, 2, true, false, face));
    EXPECT_EQ(face[4], (TPoint{61, 31}));
    ASSERT_TRUE(RzStarPolygon(66, 66, 0, 2, true, false, face));
    EXPECT_EQ(face[4].X, 62);
    // Pen 5: 65 - 2 - 5 - 1 = 57, shifted by 2.
    ASSERT_TRUE(RzStarPolygon(65, 65, 5, 2, true, false, face));
    EXPECT_EQ(face[0], (TPoint{31, 2}));
    EXPECT_EQ(face[4], (TPoint{59, 31}));
    ASSERT_TRUE(RzStarPolygon(65, 65, 5, 2, true, true, shadow));
    EXPECT_EQ(shadow[4], (TPoint{61, 33}));
    // Without a shadow the face uses the full size.
    ASSERT_TRUE(RzStarPolygon(65, 65, 1, 2, false, false, face));
    EXPECT_EQ(face[4], (TPoint{63, 32}));
    // No room: nothing to draw.
    EXPECT_FALSE(RzStarPolygon(3, 3, 5, 2, true, false, face));
}

TEST(StarGeometry, MulDivRoundsAwayFromZero) {
    EXPECT_EQ(RzMulDiv(11, 61, 22), 31);
    EXPECT_EQ(RzMulDiv(-11, 61, 22), -31);
    EXPECT_EQ(RzMulDiv(1, 1, 0), -1);
    EXPECT_EQ(RzMulDiv(10, 3, 4), 8);
}
