// Sizes of skinned menu items and pop-ups: what kind of line a caption makes,
// an item's measured width and height, the width a pop-up gets from its
// columns, and where the icon column and the extra line lie. Portable: plain
// integers, tested natively; the menu painter measures the texts and glyphs.
#pragma once

#include <vector>

#include "RunTime.h"
#include "Types.h"

// The kinds of item the painter draws: a caption line ("-Files-"), a
// divider ("-"), a plain item, an item of a main-menu bar.
enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

// smDivider for "-", smCaption for text of two characters or more that begins
// and ends with "-", else smNormal.
TsMenuItemType MenuItemTypeOf(const AnsiString& Caption);
// The text a caption line shows: its first word between "-" characters.
AnsiString CaptionLineText(const AnsiString& Caption);

// round(1.25 x the height of "W"), halves to the even neighbour.
int MenuLineTextHeight(int TextHeight);
// An item's height: a divider 2; a caption line the text height plus both
// margins; a plain item the larger of text and glyph height plus both margins.
int MenuItemHeight(TsMenuItemType Type, int TextHeight, int GlyphHeight, int Margin);
// A plain item's width: the glyph column twice (glyph and check), the text,
// three margins and the spacing, and the extra line in the first column.
int MenuItemWidth(int GlyphWidth, int TextWidth, int Margin, int Spacing, int ExtraLineWidth);
// The icon column: Margin + glyph width + Spacing.
int MenuGlyphColumnWidth(int GlyphWidth, int Margin, int Spacing);

// Whether item Index lies in a pop-up's first column: no item up to and
// including it starts a column.
bool InFirstMenuColumn(const std::vector<bool>& Breaks, int Index);

// One measured item of a pop-up.
struct TacMenuCell {
    int Width = 0, Height = 0;
    bool Break = false;  // starts a new column
};
struct TacMenuSize {
    int Width = 0, Height = 0;
    friend bool operator==(const TacMenuSize&, const TacMenuSize&) = default;
};
// The pop-up's size when its window is not known: each column as wide as its
// widest item plus 12, 4 more for every column break; as high as its highest
// column; both plus the frame on each side.
TacMenuSize PopupSizeOf(const std::vector<TacMenuCell>& Cells, int BorderWidth);

// The pop-up's frame bands copied beside an item from the background: the
// left band covers the extra line (first column only) and the wider of the
// skin's border and the frame.
int PopupLeftBandWidth(int ExtraLineWidth, int SkinBorderWidth, int BorderWidth);
