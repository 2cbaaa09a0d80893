// Where the skin painters put things: the pieces of a skin image painted by
// margins, the tiles of a texture by tile mode, the place of a glyph and a
// caption in a button, the glow window's picture and place. Portable plans:
// the Windows painters carry them out with block transfers and the masked
// copies of acMaskBlend.h; the tests check the plans and build reference
// pictures from them.
#pragma once

#include <vector>

#include "ButtonLayout.h"
#include "Types.h"

// One block of the source copied into Dst: Src's size is the source block
// (equal to Dst's unless Stretch); a last piece shorter than its tile has a
// Dst smaller than Src and copies Dst's size.
// Tiled: Src repeated over Dst from its top-left corner, the last row and
// column cut (one piece for a whole area; ForEachTile walks its tiles).
struct TacPiece {
    TRect Dst;
    TRect Src;
    bool Stretch = false;
    bool Corner = false;
    bool Tiled = false;
};

// Calls Fn(piece) for every tile of a tiled piece, or once for any other.
template <class F>
void ForEachTile(const TacPiece& P, F&& Fn) {
    if (!P.Tiled) {
        Fn(P);
        return;
    }
    const int tw = P.Src.Right - P.Src.Left, th = P.Src.Bottom - P.Src.Top;
    if (tw <= 0 || th <= 0) return;
    for (int y = P.Dst.Top; y < P.Dst.Bottom; y += th)
        for (int x = P.Dst.Left; x < P.Dst.Right; x += tw) {
            TacPiece t{Rect(x, y, x + tw < P.Dst.Right ? x + tw : P.Dst.Right, y + th < P.Dst.Bottom ? y + th : P.Dst.Bottom),
                       P.Src, false, false, false};
            Fn(t);
        }
}

// ---- tiling by tile mode

// The draw-mode table: StretchMode values 0..14 map to themselves; anything
// else (skin data can hold any 16-bit value) takes the table's "any other"
// row, 8.
int TileModeOf(int StretchMode);

// The pieces of a CellW x CellH cell at (CellX, CellY) in its source painted
// over R by Mode; R comes back as what remains (-1, -1, -1, -1: covered).
// A cell of no width or height paints nothing and leaves R.
void PlanTileSkinImage(TRect& R, int CellX, int CellY, int CellW, int CellH, int Mode, std::vector<TacPiece>& Out);
// Whole cells of a masked texture over R: mode 10 whole cells only (the
// strips at the right and bottom are handed back in Strips), any other mode
// cells cut at the right and bottom. Nothing for an empty cell.
void PlanMaskedTiles(const TRect& R, int CellX, int CellY, int CellW, int CellH, int Mode,
                     std::vector<TacPiece>& Out, std::vector<TRect>* Strips);

// ---- a skin image painted by margins

// The fields of a skin image the painter reads.
struct TacMarginImage {
    TRect R;  // the image in its source
    int ImageCount = 1;
    int MaskType = 0;
    int StretchMode = 0;  // 1 stretch, 2 nothing in state 0, 4 the centre may be painted
    int WL = 0, WT = 0, WR = 0, WB = 0;
};

struct TacMarginPlan {
    std::vector<TacPiece> Pieces;  // in painting order
    int WL = 0, WT = 0, WR = 0, WB = 0;  // the margins used
    int CellLeft = 0, CellWidth = 0, CellHeight = 0;
};

// Margins shrink to a small rectangle: both by (WL + WR - W) div 2, the right
// (bottom) one a pixel more when the size is odd, neither below 0, and the
// far one never past the rectangle.
void ShrinkMargins(int Size, int& Near, int& Far);

// The nine pieces (corners at their size, edges and centre tiled, or
// stretched when the image is unmasked and has flag 1) of state cell State
// over Rect. Empty when the rectangle is below 2 x 2, when state 0 has flag
// 2, when there are no cells or a cell is empty. Masked images take their
// bottom rows from the bottom of the cell. A band whose tile size is 0 gets
// no pieces (its source would lie in the next cell). The centre only when
// Filling and flag 4.
TacMarginPlan PlanImageByMargins(const TRect& Rect, const TacMarginImage& Img, int State, bool Filling);

// ---- glyph and caption in a button: CalcGlyphLayout (ButtonLayout.h)

// ---- the glow window

struct TacGlowGeometry {
    int Width = 0, Height = 0;       // of the window and its picture
    int PictureWidth = 0, PictureHeight = 0;  // before cropping
    int CropLeft = 0, CropTop = 0;   // where the window's part starts in the picture
    int X = 0, Y = 0;                // screen place
    bool Shown() const { return Width > 0 && Height > 0; }
};
// R1 the control on the screen, R2 its visible part in its own coordinates,
// ML..MB the glow image's margins, Margin their overlap with the control.
TacGlowGeometry GlowGeometry(const TRect& R1, const TRect& R2, int ML, int MT, int MR, int MB, int Margin);
