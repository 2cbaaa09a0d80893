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

// The non-client bars of the scroll wrappers: a bar 200 long with 16-pixel
// arrows (168 of track).
TEST(NCScrollGeometry, ThumbPartsAndDragPositions) {
    auto info = [](int Min, int Max, unsigned Page, int Pos) {
        TacScrollInfo i;
        i.nMin = Min, i.nMax = Max, i.nPage = Page, i.nPos = Pos;
        return i;
    };
    struct Case {
        const char* Name;
        TacScrollInfo Info;
        int Size, Start;
    } cases[] = {
        {"page 0: an arrow long", info(0, 99, 0, 0), 16, 16},
        {"half a page", info(0, 99, 50, 0), 84, 16},
        {"at the end", info(0, 99, 50, 50), 84, 200 - 16 - 84},
        {"tiny page: at least 10", info(0, 9999, 1, 0), 10, 16},
        {"huge range: no thumb offset", info(INT32_MIN, INT32_MAX, 10, 5), 0, 16},
        {"page past the range: longer than the track", info(0, 9, 11, 0), 185, 16},
        {"with a minimum", info(100, 199, 50, 150), 84, 200 - 16 - 84},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TacNCThumb t = NCThumbGeometry(200, 16, c.Info, 10);
        EXPECT_EQ(t.Size, c.Size);
        EXPECT_EQ(t.Start, c.Start);
    }
    const TacNCThumb t = NCThumbGeometry(200, 16, info(0, 99, 50, 0), 10);  // thumb 16..100
    struct Hit {
        int Along, Across, Part;
    } hits[] = {{0, 5, 0}, {15, 5, 0}, {16, 5, 5}, {99, 5, 5}, {100, 5, 3}, {183, 5, 3},
                {184, 5, 1}, {199, 5, 1}, {200, 5, -1}, {50, -1, -1}, {50, 17, -1}};
    for (const Hit& h : hits) EXPECT_EQ(NCPartAt(200, 16, t, 17, h.Along, h.Across), h.Part) << h.Along << "," << h.Across;
    const TacNCThumb later = NCThumbGeometry(200, 16, info(0, 99, 50, 50), 10);
    EXPECT_EQ(NCPartAt(200, 16, later, 17, 50, 5), 2);
    // Shorter than two arrows: two halves, never a thumb.
    const TacNCThumb shortBar = NCThumbGeometry(24, 16, info(0, 99, 0, 0), 10);
    EXPECT_EQ(NCPartAt(24, 16, shortBar, 17, 11, 5), 0);
    EXPECT_EQ(NCPartAt(24, 16, shortBar, 17, 12, 5), 1);
    for (int a = 0; a < 24; ++a) EXPECT_NE(NCPartAt(24, 16, shortBar, 17, a, 5), 5);
    // A thumb longer than its track is not there either.
    const TacNCThumb tooLong = NCThumbGeometry(200, 16, info(0, 9, 11, 0), 10);
    for (int a = 16; a < 184; ++a) EXPECT_EQ(NCPartAt(200, 16, tooLong, 17, a, 5), -1);
    // Drag positions: the track's ends are the first and the last page.
    EXPECT_EQ(NCDragPosition(200, 16, 84, 16, info(0, 99, 50, 0)), 0);
    EXPECT_EQ(NCDragPosition(200, 16, 84, 100, info(0, 99, 50, 0)), 50);
    EXPECT_EQ(NCDragPosition(200, 16, 84, 58, info(0, 99, 50, 0)), 25);
    EXPECT_EQ(NCDragPosition(200, 16, 84, 100, info(100, 199, 50, 0)), 150);
    EXPECT_EQ(NCDragPosition(200, 16, 168, 16, info(0, 9, 11, 0)), 0);  // nothing to slide over
    EXPECT_EQ(NCDragPosition(200, 16, 10, 20, info(5, 5, 0, 5)), 5);    // no range
}

TEST(NCScrollGeometry, MulDivRoundsAndRefuses) {
    EXPECT_EQ(acMulDiv(5, 3, 2), 8);     // 7.5 away from zero
    EXPECT_EQ(acMulDiv(-5, 3, 2), -8);
    EXPECT_EQ(acMulDiv(1, 1, 0), -1);
    EXPECT_EQ(acMulDiv(INT32_MAX, 4, 2), -1);
    EXPECT_EQ(acMulDiv(INT32_MAX, 4, 4), INT32_MAX);
}
