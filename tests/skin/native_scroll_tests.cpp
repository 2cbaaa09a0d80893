// The skinned scroll bar's arithmetic: geometry, positions at points, the
// emulated scroll information and the part states.
#include <gtest/gtest.h>

#include "sScrollGeometry.h"

TEST(ScrollGeometry, ThumbSizeAndCentre) {
    // The sorting game's bar: 313 long, Max 682, page 0.
    TacScrollGeometry g(313, 17, true, 0, 682, 0, 0);
    EXPECT_EQ(g.ThumbSize(), 14);
    EXPECT_EQ(g.ThumbCentre(), 17 + 7);
    g.Shown = 682;
    EXPECT_EQ(g.ThumbCentre(), 313 - 17 - 7);
    g.Shown = 341;
    EXPECT_EQ(g.ThumbCentre(), 24 + 132);  // 24 + N(265 / 682 * 341) = 24 + N(132.5)
    // With a page the thumb is T * Page / (Max - Min + 1), never below 14.
    TacScrollGeometry p(200, 20, true, 0, 99, 50, 0);
    EXPECT_EQ(p.ThumbSize(), 80);  // 160 * 50 / 100
    TacScrollGeometry small(200, 20, true, 0, 9999, 1, 0);
    EXPECT_EQ(small.ThumbSize(), 14);
    TacScrollGeometry off(200, 20, false, 0, 99, 0, 50);
    EXPECT_EQ(off.ThumbCentre(), 100);
    EXPECT_EQ(off.PositionAt(150), 0);
}

TEST(ScrollGeometry, PositionAtPointsAndDegenerateTracks) {
    TacScrollGeometry g(313, 17, true, 0, 682, 0, 0);
    EXPECT_EQ(g.PositionAt(17 + 7), 0);
    EXPECT_EQ(g.PositionAt(313 - 17 - 7), 682);
    EXPECT_EQ(g.PositionAt(0), -62);  // N(-24 * 682 / 265): before the track; the caller clamps
    // A bar too short for its thumb: no division by zero or by a negative slide.
    TacScrollGeometry shortBar(40, 17, true, 5, 50, 0, 0);
    EXPECT_EQ(shortBar.PositionAt(20), 5);
    TacScrollGeometry exact(48, 17, true, 5, 50, 0, 0);  // 48 - 34 - 14 = 0
    EXPECT_EQ(exact.PositionAt(30), 5);
    // Arrows never longer than half the bar.
    TacScrollGeometry tiny(20, 17, true, 0, 10, 0, 0);
    EXPECT_EQ(tiny.Arrow, 10);
    // No range: the centre is 0 as the bar has nothing to show.
    TacScrollGeometry none(100, 10, true, 3, 3, 0, 3);
    EXPECT_EQ(none.ThumbCentre(), 0);
    EXPECT_EQ(RoundEven(2.5L), 2);
    EXPECT_EQ(RoundEven(3.5L), 4);
}

TEST(ScrollGeometry, PartsAlongTheBar) {
    TacScrollGeometry g(313, 17, true, 0, 682, 0, 341);
    EXPECT_EQ(ScrollPartAt(g, 0), spArrow1);
    EXPECT_EQ(ScrollPartAt(g, 16), spArrow1);
    EXPECT_EQ(ScrollPartAt(g, 312), spArrow2);
    EXPECT_EQ(ScrollPartAt(g, g.ThumbCentre()), spThumb);
    EXPECT_EQ(ScrollPartAt(g, 30), spTrack1);
    EXPECT_EQ(ScrollPartAt(g, 280), spTrack2);
    EXPECT_EQ(ScrollPartAt(g, -1), spNone);
    EXPECT_EQ(ScrollPartAt(g, 313), spNone);
}

TEST(EmulatedScrollInfo, SetClampsAndGetFillsByMask) {
    TacScrollState s;
    TacScrollInfo in;
    in.fMask = acSIF_RANGE | acSIF_PAGE | acSIF_POS;
    in.nMin = 0;
    in.nMax = 100;
    in.nPage = 500;
    in.nPos = 150;
    EXPECT_EQ(s.SetInfo(in, true), 0);  // page cut to 101, position to 100 - 100 = 0
    EXPECT_EQ(s.Page, 101u);
    EXPECT_TRUE(s.RedrawNeeded);
    in.nPage = 10;
    in.nPos = 95;
    s.SetInfo(in, false);
    EXPECT_EQ(s.Position, 91);  // Max - (Page - 1)
    EXPECT_EQ(s.Shown, 91);
    EXPECT_FALSE(s.RedrawNeeded);
    // A range with nMax below nMin becomes 0..0.
    TacScrollInfo bad;
    bad.fMask = acSIF_RANGE;
    bad.nMin = 10;
    bad.nMax = 5;
    s.SetInfo(bad, true);
    EXPECT_EQ(s.Min, 0);
    EXPECT_EQ(s.Max, 0);
    EXPECT_EQ(s.Position, 0);
    EXPECT_EQ(s.Page, 1u);

    TacScrollState t;
    t.Min = 1;
    t.Max = 9;
    t.Position = 4;
    t.TrackPosition = 6;
    t.Page = 2;
    TacScrollInfo out;
    out.fMask = acSIF_RANGE | acSIF_PAGE | acSIF_POS | acSIF_TRACKPOS;
    t.GetInfo(out);
    EXPECT_EQ(out.nMin, 1);
    EXPECT_EQ(out.nMax, 9);
    EXPECT_EQ(out.nPos, 4);
    EXPECT_EQ(out.nPage, 2u);
    EXPECT_EQ(out.nTrackPos, 6);
    TacScrollInfo shortRec;
    shortRec.cbSize = 24;
    shortRec.fMask = acSIF_TRACKPOS | acSIF_POS;
    shortRec.nTrackPos = -7;
    t.GetInfo(shortRec);
    EXPECT_EQ(shortRec.nTrackPos, -7);  // only a 28-byte record gets the track position
    EXPECT_EQ(shortRec.nPos, 4);
}

TEST(EmulatedScrollInfo, ThumbDragKeepsShownPositionAndTracksOnChangeOnly) {
    TacScrollState s;
    s.Max = 682;
    s.Code = acSB_THUMBTRACK;
    s.FirstTrack = true;
    EXPECT_TRUE(s.SetPos(0, acSB_THUMBTRACK));  // the first track is always sent
    EXPECT_FALSE(s.SetPos(0, acSB_THUMBTRACK));
    EXPECT_TRUE(s.SetPos(300, acSB_THUMBTRACK));
    EXPECT_EQ(s.TrackPosition, 300);
    EXPECT_EQ(s.Position, 0);
    EXPECT_EQ(s.ScrollWParam(acSB_THUMBTRACK), (300u << 16) | acSB_THUMBTRACK);
    // A position set meanwhile does not move the thumb being dragged.
    TacScrollInfo in;
    in.fMask = acSIF_POS;
    in.nPos = 10;
    s.SetInfo(in, true);
    EXPECT_EQ(s.Shown, 300);
    EXPECT_TRUE(s.SetPos(900, acSB_THUMBPOSITION));
    EXPECT_EQ(s.Position, 682);
    EXPECT_EQ(s.ScrollWParam(acSB_LINEDOWN), uint32_t(acSB_LINEDOWN));
    EXPECT_TRUE(s.SetPos(-5, acSB_LINEUP));
    EXPECT_EQ(s.Position, 0);
}

TEST(PartStates, HotOrPressedResetsTheOthers) {
    TacPartStates p;
    EXPECT_FALSE(p.Set(spThumb, 0));
    EXPECT_TRUE(p.Set(spArrow1, 1));
    EXPECT_TRUE(p.Set(spArrow2, 2));
    EXPECT_EQ(p.State[spArrow1], 0);
    EXPECT_EQ(p.State[spArrow2], 2);
    EXPECT_EQ(p.State[spTrack1], 1);
    EXPECT_EQ(p.State[spTrack2], 1);
    EXPECT_EQ(p.State[spThumb], 0);
    EXPECT_TRUE(p.Set(spTrack1, 2));
    EXPECT_EQ(p.State[spTrack2], 1);
    EXPECT_EQ(p.State[spArrow2], 0);
    EXPECT_TRUE(p.Set(spTrack1, 0));  // back to normal leaves the others
    EXPECT_EQ(p.State[spTrack2], 1);
    EXPECT_FALSE(p.Set(spNone, 2));
}
