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

TEST(StarGeometry, MulDivRoundsAwayFromZero) {
    EXPECT_EQ(RzMulDiv(11, 61, 22), 31);
    EXPECT_EQ(RzMulDiv(-11, 61, 22), -31);
    EXPECT_EQ(RzMulDiv(1, 1, 0), -1);
    EXPECT_EQ(RzMulDiv(10, 3, 4), 8);
}
