#include "acMenuGeometry.h"

#include <algorithm>
#include <cmath>

TsMenuItemType MenuItemTypeOf(const AnsiString& Caption) {
    if (Caption == "-") return smDivider;
    if (Caption.size() >= 2 && Caption.front() == '-' && Caption.back() == '-') return smCaption;
    return smNormal;
}

AnsiString CaptionLineText(const AnsiString& Caption) {
    const size_t start = Caption.find_first_not_of('-');
    if (start == AnsiString::npos) return {};
    const size_t end = Caption.find('-', start);
    return Caption.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start);
}

int MenuLineTextHeight(int TextHeight) {
    // 1.25 x h is exact in binary; the remainder is 0, .25, .5 or .75.
    const double v = 1.25 * TextHeight;
    const double fl = std::floor(v);
    const double frac = v - fl;
    int r = int(fl);
    if (frac > 0.5 || (frac == 0.5 && (r % 2 != 0))) ++r;
    return r;
}

int MenuItemHeight(TsMenuItemType Type, int TextHeight, int GlyphHeight, int Margin) {
    switch (Type) {
    case smDivider: return 2;
    case smCaption: return MenuLineTextHeight(TextHeight) + 2 * Margin;
    default: return std::max(MenuLineTextHeight(TextHeight), GlyphHeight) + 2 * Margin;
    }
}

int MenuItemWidth(int GlyphWidth, int TextWidth, int Margin, int Spacing, int ExtraLineWidth) {
    return 2 * GlyphWidth + TextWidth + 3 * Margin + Spacing + ExtraLineWidth;
}

int MenuGlyphColumnWidth(int GlyphWidth, int Margin, int Spacing) { return Margin + GlyphWidth + Spacing; }

bool InFirstMenuColumn(const std::vector<bool>& Breaks, int Index) {
    for (int i = 0; i <= Index && i < int(Breaks.size()); ++i)
        if (Breaks[size_t(i)]) return false;
    return true;
}

TacMenuSize PopupSizeOf(const std::vector<TacMenuCell>& Cells, int BorderWidth) {
    TacMenuSize s;
    int colWidth = 0, colHeight = 0;
    auto closeColumn = [&] {
        s.Width += colWidth + 12;
        s.Height = std::max(s.Height, colHeight);
        colWidth = colHeight = 0;
    };
    for (size_t i = 0; i < Cells.size(); ++i) {
        if (Cells[i].Break && i > 0) {
            closeColumn();
            s.Width += 4;
        }
        colWidth = std::max(colWidth, Cells[i].Width);
        colHeight += Cells[i].Height;
    }
    if (!Cells.empty()) closeColumn();
    s.Width += 2 * BorderWidth;
    s.Height += 2 * BorderWidth;
    return s;
}

int PopupLeftBandWidth(int ExtraLineWidth, int SkinBorderWidth, int BorderWidth) {
    return ExtraLineWidth + std::max(SkinBorderWidth, BorderWidth);
}
