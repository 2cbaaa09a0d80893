// Arithmetic of the skinned scroll bar: where its arrows, track halves and
// thumb lie, which position a point stands for, and the scroll information
// the bar keeps itself when its window is a plain one (the emulated
// SBM_SETSCROLLINFO / SBM_GETSCROLLINFO). Portable and tested natively.
#pragma once

#include <cstdint>

// The platform's scroll codes and scroll-information layout and flags,
// restated so this file needs no platform header.
enum : uint16_t {
    acSB_LINEUP = 0, acSB_LINEDOWN = 1, acSB_PAGEUP = 2, acSB_PAGEDOWN = 3, acSB_THUMBPOSITION = 4,
    acSB_THUMBTRACK = 5, acSB_TOP = 6, acSB_BOTTOM = 7, acSB_ENDSCROLL = 8,
};
enum : uint32_t { acSIF_RANGE = 1, acSIF_PAGE = 2, acSIF_POS = 4, acSIF_DISABLENOSCROLL = 8, acSIF_TRACKPOS = 16 };
struct TacScrollInfo {
    uint32_t cbSize = sizeof(TacScrollInfo);
    uint32_t fMask = 0;
    int32_t nMin = 0;
    int32_t nMax = 0;
    uint32_t nPage = 0;
    int32_t nPos = 0;
    int32_t nTrackPos = 0;
};
static_assert(sizeof(TacScrollInfo) == 28, "the platform's SCROLLINFO is 28 bytes");

// Nearest integer, ties to the even one, in extended precision.
int RoundEven(long double X);

// One bar seen along its length: L pixels long, arrows A pixels each.
struct TacScrollGeometry {
    int Length = 0;       // L
    int Arrow = 0;        // A, cut to L div 2
    bool Enabled = true;
    int Min = 0, Max = 0;
    uint32_t Page = 0;
    int Shown = 0;        // where the thumb is drawn

    TacScrollGeometry(int L, int A, bool En, int Mn, int Mx, uint32_t Pg, int Sh);
    int PageLess() const { return Page > 0 ? int(Page) - 1 : 0; }  // max(Page - 1, 0)
    int ThumbSize() const;
    int ThumbCentre() const;
    // Thumb from Start to End along the bar.
    int ThumbStart() const { return ThumbCentre() - ThumbSize() / 2; }
    int ThumbEnd() const { return ThumbStart() + ThumbSize(); }
    // Position that a point at P (along the bar) stands for. A track no
    // longer than the thumb (nothing to slide over) answers Min.
    int PositionAt(int P) const;
};

// Parts of the bar, for hit-testing and part states.
enum TacScrollPart { spNone = -1, spArrow1 = 0, spArrow2 = 1, spTrack1 = 2, spTrack2 = 3, spThumb = 4 };
TacScrollPart ScrollPartAt(const TacScrollGeometry& G, int P);

// The scroll state a plain-window bar keeps for itself.
struct TacScrollState {
    int Min = 0, Max = 0, Position = 0, TrackPosition = 0;
    uint32_t Page = 0;
    int Shown = 0;
    uint16_t Code = acSB_ENDSCROLL;
    bool RedrawNeeded = false;
    bool FirstTrack = false;
    int PageLess() const { return Page > 0 ? int(Page) - 1 : 0; }

    // SBM_SETSCROLLINFO: stores what the mask names and changed, clamps Page
    // to 0..(Max - Min + 1) and Position to Min..(Max - max(Page - 1, 0)); the
    // shown position follows unless a thumb drag runs. Answers Position.
    int SetInfo(const TacScrollInfo& Info, bool Redraw);
    // SBM_GETSCROLLINFO: the track position only for a 28-byte record.
    void GetInfo(TacScrollInfo& Info) const;
    // A move to Value with Code: answers false when nothing is to be sent (a
    // thumb track to where the thumb already is, not the first one). A redraw
    // is needed only when the shown position moved.
    bool SetPos(int Value, uint16_t Code);
    // wParam of the WM_xSCROLL the move sends: the code, with the shown
    // position in the high word for the thumb codes.
    uint32_t ScrollWParam(uint16_t Code) const;
};

// Part states: 0 normal, 1 hot, 2 pressed; arrows 1 and 2, track halves 1
// and 2, thumb.
struct TacPartStates {
    uint8_t State[5] = {0, 0, 0, 0, 0};
    // Answers whether anything changed. A hot or pressed part resets the
    // other arrows and the thumb to normal and the other track halves to hot.
    bool Set(TacScrollPart Part, uint8_t Value);
};

// The platform's MulDiv: A x B / C rounded half away from zero, in 64 bits;
// -1 when C is 0 or the result does not fit 32 bits.
int acMulDiv(int A, int B, int C);

// The emulated non-client bars of a scroll wrapper, along a bar whose
// rectangle runs from 0 to Length with arrows of Arrow pixels (the system's
// arrow length): thumb size and start, the part under a point, and the
// position a dragged thumb stands for.
struct TacNCThumb {
    int Size = 0;
    int Start = 0;  // from the bar's start
};
// nPage 0: an arrow long; else MulDiv(nPage, track, range + 1), at least
// MinThumb; a range past 0x7FFFFFFE gives size and offset 0.
TacNCThumb NCThumbGeometry(int Length, int Arrow, const TacScrollInfo& Info, int MinThumb);
// Part codes: -1 none, 0 and 1 the arrows, 2 and 3 the track before and
// after the thumb, 5 the thumb. Across outside 0..Thickness hits nothing; a
// bar shorter than two arrows is two half-length arrows without a thumb.
int NCPartAt(int Length, int Arrow, const TacNCThumb& Thumb, int Thickness, int Along, int Across);
// Position of a thumb dragged to ThumbStart, from nMin to the last position
// a page can start at.
int NCDragPosition(int Length, int Arrow, int ThumbSize, int ThumbStart, const TacScrollInfo& Info);
