// Caption arithmetic of skinned forms and dialogs: the icon size for a
// caption height, which caption button a point on the button row names, and
// the snapping of a moved window to the work area. Portable: plain integers
// and rectangles, tested natively.
#pragma once

#include "Types.h"

// The icon size for a caption height: below 9 none, 9 to 16 eight, 17 to 27
// sixteen, above that thirty-two pixels.
int CaptionIconSize(int Height);

// What the caption buttons of a skinned form show and allow.
struct TacCaptionButtonSet {
    bool Owned = false;            // the provider draws the system buttons
    bool MaximizeVisible = false;
    bool MaximizeEnabled = false;
    bool RestoreEnabled = false;
    bool MinimizeVisible = false;
    bool MinimizeEnabled = false;
    bool Help = false;
    bool Minimized = false;
    int TitleCount = 0;            // the user's title buttons, after the system ones
};

// Hit codes of the caption row (the platform's values).
constexpr int acHTCaption = 2, acHTMinButton = 8, acHTMaxButton = 9, acHTClose = 20, acHTHelp = 21;
constexpr int acHTTitleButton = 1000;

// The number of system buttons: close, maximize and minimize when visible,
// help when asked for.
int SystemButtonCount(const TacCaptionButtonSet& S);
// The hit code of ordinal K (1-based from the right: close, maximize,
// minimize, help, then the title buttons; 0 none) on the button row. A
// disabled title button (TitleEnabled false) and a button that cannot act
// answer the caption, so the caption can be dragged there.
int CaptionButtonHit(const TacCaptionButtonSet& S, int K, bool TitleEnabled);

// Edge snapping of a proposed window position (screen coordinates): each
// edge closer than Buffer to the work area W of the monitor the window is on
// moves onto it; right and bottom first, then left and top, so a window
// larger than the work area keeps its top-left edges on it. Size: width in X,
// height in Y.
TPoint SnapToWorkArea(TPoint Pos, TPoint Size, const TRect& W, int Buffer);
