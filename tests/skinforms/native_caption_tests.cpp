// The caption arithmetic of skinned forms: icon sizes by caption height,
// which caption button a point on the button row names, and edge snapping.
#include <gtest/gtest.h>

#include "acCaptionGeometry.h"

TEST(CaptionIcon, SizeFollowsTheCaptionHeightInFourSteps) {
    const struct { int H, Size; } cases[] = {{0, 0}, {8, 0}, {9, 8}, {16, 8}, {17, 16}, {27, 16}, {28, 32}, {60, 32}};
    for (const auto& c : cases) EXPECT_EQ(CaptionIconSize(c.H), c.Size) << "height " << c.H;
}

TEST(CaptionButtons, OrdinalsFromTheRightNameTheButtonsThatCanAct) {
    TacCaptionButtonSet all;
    all.Owned = all.MaximizeVisible = all.MaximizeEnabled = all.MinimizeVisible = all.MinimizeEnabled = true;
    all.Help = true;
    all.TitleCount = 2;
    TacCaptionButtonSet maximized = all;
    maximized.MaximizeEnabled = false;
    maximized.RestoreEnabled = true;
    TacCaptionButtonSet dialog;  // close and help only
    dialog.Owned = dialog.Help = true;
    TacCaptionButtonSet minimized = all;
    minimized.Minimized = true;
    minimized.MinimizeEnabled = false;
    minimized.MaximizeEnabled = false;
    minimized.RestoreEnabled = true;
    TacCaptionButtonSet foreign = all;  // the system draws its own buttons
    foreign.Owned = false;
    const struct {
        const char* What;
        const TacCaptionButtonSet& S;
        int K;
        bool TitleEnabled;
        int Code;
    } cases[] = {
        {"nothing", all, 0, true, acHTCaption},
        {"close", all, 1, true, acHTClose},
        {"maximize", all, 2, true, acHTMaxButton},
        {"minimize", all, 3, true, acHTMinButton},
        {"help", all, 4, true, acHTHelp},
        {"first title button", all, 5, true, acHTTitleButton},
        {"second title button", all, 6, true, acHTTitleButton + 1},
        {"disabled title button drags", all, 5, false, acHTCaption},
        {"past the last", all, 7, true, acHTCaption},
        {"restore of a maximized form", maximized, 2, true, acHTMaxButton},
        {"help next to close", dialog, 2, true, acHTHelp},
        {"a minimized form's restore", minimized, 3, true, acHTMinButton},
        {"a minimized form cannot maximize", minimized, 2, true, acHTCaption},
        {"close of a system-drawn caption", foreign, 1, true, acHTCaption},
    };
    for (const auto& c : cases) EXPECT_EQ(CaptionButtonHit(c.S, c.K, c.TitleEnabled), c.Code) << c.What;
}

TEST(EdgeSnapping, EdgesWithinTheBufferMoveOntoTheWorkArea) {
    const TRect work = Rect(0, 0, 1280, 1000);
    const TRect second = Rect(1280, 0, 2560, 1024);  // a monitor to the right
    const TPoint size{400, 300};
    const struct {
        const char* What;
        TRect W;
        TPoint Pos, Want;
    } cases[] = {
        {"near the left and top", work, {7, 9}, {0, 0}},
        {"near the right and bottom", work, {1280 - 400 - 5, 1000 - 300 + 4}, {880, 700}},
        {"just outside the buffer", work, {10, 10}, {10, 10}},
        {"off the left edge", work, {-6, 200}, {0, 200}},
        {"the second monitor's left edge", second, {1285, 300}, {1280, 300}},
        {"larger than the work area keeps its top-left", Rect(0, 0, 300, 200), {3, 4}, {0, 0}},
    };
    for (const auto& c : cases) {
        const TPoint p = SnapToWorkArea(c.Pos, size, c.W, 10);
        EXPECT_EQ(p.X, c.Want.X) << c.What;
        EXPECT_EQ(p.Y, c.Want.Y) << c.What;
    }
}
