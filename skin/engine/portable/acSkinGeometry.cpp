#include "acSkinGeometry.h"

#include <algorithm>

namespace {

const TRect Covered{-1, -1, -1, -1};

TacPiece Piece(int DX, int DY, int DW, int DH, int SX, int SY, int SW, int SH, bool Stretch = false,
               bool Corner = false) {
    return TacPiece{Bounds(DX, DY, DW, DH), Bounds(SX, SY, SW, SH), Stretch, Corner};
}

// Tiles of TileW x TileH from (SX, SY) over Band, row by row, the last row
// and column cut. Nothing when a tile is empty.
void TileBand(const TRect& Band, int SX, int SY, int TileW, int TileH, std::vector<TacPiece>& Out) {
    if (TileW <= 0 || TileH <= 0) return;
    for (int y = Band.Top; y < Band.Bottom; y += TileH) {
        const int h = std::min(TileH, Band.Bottom - y);
        for (int x = Band.Left; x < Band.Right; x += TileW) {
            const int w = std::min(TileW, Band.Right - x);
            Out.push_back(TacPiece{Bounds(x, y, w, h), Bounds(SX, SY, TileW, TileH), false, false});
        }
    }
}

}  // namespace

int TileModeOf(int StretchMode) {
    static const unsigned char table[15] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    return StretchMode >= 0 && StretchMode < 15 ? table[StretchMode] : 8;
}

void PlanTileSkinImage(TRect& R, int CellX, int CellY, int CellW, int CellH, int Mode, std::vector<TacPiece>& Out) {
    if (CellW <= 0 || CellH <= 0 || R.Right <= R.Left || R.Bottom <= R.Top) return;
    const int w = R.Width(), h = R.Height();
    switch (Mode) {
    case 0: Out.push_back(TacPiece{R, Bounds(CellX, CellY, CellW, CellH), false, false, true}); R = Covered; break;
    case 1: Out.push_back(Piece(R.Left, R.Top, w, h, CellX, CellY, CellW, CellH, true)); R = Covered; break;
    case 2:
        TileBand(Bounds(R.Left, R.Top, w, std::min(CellH, h)), CellX, CellY, CellW, CellH, Out);
        R.Top = std::min(R.Top + CellH, R.Bottom);
        break;
    case 3:
        TileBand(Bounds(R.Left, R.Top, std::min(CellW, w), h), CellX, CellY, CellW, CellH, Out);
        R.Left = std::min(R.Left + CellW, R.Right);
        break;
    case 4:
        Out.push_back(Piece(R.Left, R.Top, w, std::min(CellH, h), CellX, CellY, CellW, std::min(CellH, h), true));
        R.Top = std::min(R.Top + CellH, R.Bottom);
        break;
    case 5:
        Out.push_back(Piece(R.Left, R.Top, std::min(CellW, w), h, CellX, CellY, std::min(CellW, w), CellH, true));
        R.Left = std::min(R.Left + CellW, R.Right);
        break;
    case 6: {
        const int t = std::max(R.Bottom - CellH, R.Top);
        TileBand(Rect(R.Left, t, R.Right, R.Bottom), CellX, CellY, CellW, CellH, Out);
        R.Bottom = t;
        break;
    }
    case 10: {
        const int rows = h / CellH;
        TileBand(Bounds(R.Left, R.Top, w, rows * CellH), CellX, CellY, CellW, CellH, Out);
        R = Covered;
        break;
    }
    default: {
        // Mode 7, and the "any other" row: one column along the right; only
        // mode 7 hands back the rest.
        const int l = std::max(R.Right - CellW, R.Left);
        TileBand(Rect(l, R.Top, R.Right, R.Bottom), CellX, CellY, CellW, CellH, Out);
        if (Mode == 7) R.Right = l;
        break;
    }
    }
}

void PlanMaskedTiles(const TRect& R, int CellX, int CellY, int CellW, int CellH, int Mode,
                     std::vector<TacPiece>& Out, std::vector<TRect>* Strips) {
    if (CellW <= 0 || CellH <= 0 || R.Right <= R.Left || R.Bottom <= R.Top) return;
    if (Mode != 10) {
        TileBand(R, CellX, CellY, CellW, CellH, Out);
        return;
    }
    const int cols = R.Width() / CellW, rows = R.Height() / CellH;
    TileBand(Bounds(R.Left, R.Top, cols * CellW, rows * CellH), CellX, CellY, CellW, CellH, Out);
    if (!Strips) return;
    const int right = R.Left + cols * CellW, bottom = R.Top + rows * CellH;
    if (right < R.Right) Strips->push_back(Rect(right, R.Top, R.Right, R.Bottom));
    if (bottom < R.Bottom) Strips->push_back(Rect(R.Left, bottom, right, R.Bottom));
}

void ShrinkMargins(int Size, int& Near, int& Far) {
    if (Size >= Near + Far) return;
    const int excess = Near + Far - Size;
    Near -= excess / 2;
    Far -= excess / 2 + (Size % 2 != 0 ? 1 : 0);
    Near = std::max(Near, 0);
    // Uneven margins (0 and 10 in 3 pixels) must not reach out of the
    // rectangle on the near side.
    Far = std::clamp(Far, 0, std::max(Size - Near, 0));
}

namespace {

// A band along one axis: whole tiles while they fit, then one last piece;
// stretched as one piece when asked.
void Band(const TRect& Dst, int SX, int SY, int TileW, int TileH, bool Vertical, bool Stretch,
          std::vector<TacPiece>& Out) {
    if (Dst.Right <= Dst.Left || Dst.Bottom <= Dst.Top) return;
    const int tile = Vertical ? TileH : TileW;
    if (tile <= 0 || (Vertical ? TileW : TileH) <= 0) return;
    if (Stretch) {
        Out.push_back(TacPiece{Dst, Bounds(SX, SY, TileW, TileH), true, false});
        return;
    }
    const int end = Vertical ? Dst.Bottom : Dst.Right;
    int p = Vertical ? Dst.Top : Dst.Left;
    for (; p < end - tile; p += tile)
        Out.push_back(Vertical ? Piece(Dst.Left, p, Dst.Width(), tile, SX, SY, TileW, TileH)
                               : Piece(p, Dst.Top, tile, Dst.Height(), SX, SY, TileW, TileH));
    if (p < end)
        Out.push_back(Vertical ? Piece(Dst.Left, p, Dst.Width(), end - p, SX, SY, TileW, TileH)
                               : Piece(p, Dst.Top, end - p, Dst.Height(), SX, SY, TileW, TileH));
}

// Cuts a piece's source to the cell; a piece copied at its size loses the
// same part of its destination.
bool ClipToCell(TacPiece& P, const TRect& Cell) {
    if (!P.Stretch && !P.Tiled) {
        if (P.Src.Left < Cell.Left) P.Dst.Left += Cell.Left - P.Src.Left;
        if (P.Src.Top < Cell.Top) P.Dst.Top += Cell.Top - P.Src.Top;
    }
    P.Src.Left = std::max(P.Src.Left, Cell.Left);
    P.Src.Top = std::max(P.Src.Top, Cell.Top);
    P.Src.Right = std::min(P.Src.Right, Cell.Right);
    P.Src.Bottom = std::min(P.Src.Bottom, Cell.Bottom);
    if (P.Src.Right <= P.Src.Left || P.Src.Bottom <= P.Src.Top) return false;
    if (!P.Stretch && !P.Tiled) {
        P.Dst.Right = P.Dst.Left + std::min(P.Dst.Width(), P.Src.Width());
        P.Dst.Bottom = P.Dst.Top + std::min(P.Dst.Height(), P.Src.Height());
    }
    return P.Dst.Right > P.Dst.Left && P.Dst.Bottom > P.Dst.Top;
}

}  // namespace

TacMarginPlan PlanImageByMargins(const TRect& Rect, const TacMarginImage& Img, int State, bool Filling) {
    TacMarginPlan plan;
    if (State == 0 && (Img.StretchMode & 2)) return plan;
    const int W = Rect.Width(), H = Rect.Height();
    if (W < 2 || H < 2 || Img.ImageCount <= 0 || Img.MaskType < 0) return plan;
    const int cellW = Img.R.Width() / Img.ImageCount, cellH = Img.R.Height() / (Img.MaskType + 1);
    if (cellW <= 0 || cellH <= 0) return plan;
    int wl = std::max(Img.WL, 0), wr = std::max(Img.WR, 0), wt = std::max(Img.WT, 0), wb = std::max(Img.WB, 0);
    ShrinkMargins(W, wl, wr);
    ShrinkMargins(H, wt, wb);
    State = std::clamp(State, 0, Img.ImageCount - 1);
    const int tw = std::max(cellW - wl - wr, 0), th = std::max(cellH - wt - wb, 0);
    const int cl = Img.R.Left + cellW * State, top = Img.R.Top, bottomRow = Img.R.Top + cellH - wb;
    const int rightCol = cl + cellW - wr;
    const bool stretch = Img.MaskType == 0 && (Img.StretchMode & 1);
    auto& out = plan.Pieces;
    auto corner = [&](int DX, int DY, int SX, int SY, int CW, int CH) {
        if (CW > 0 && CH > 0) out.push_back(Piece(DX, DY, CW, CH, SX, SY, CW, CH, false, true));
    };
    corner(Rect.Left, Rect.Top, cl, top, wl, wt);
    Band(Bounds(Rect.Left, Rect.Top + wt, wl, H - wt - wb), cl, top + wt, wl, th, true, stretch, out);
    Band(Bounds(Rect.Left + wl, Rect.Top, W - wl - wr, wt), cl + wl, top, tw, wt, false, stretch, out);
    corner(Rect.Left, Rect.Bottom - wb, cl, bottomRow, wl, wb);
    Band(Bounds(Rect.Left + wl, Rect.Bottom - wb, W - wl - wr, wb), cl + wl, bottomRow, tw, wb, false, stretch, out);
    corner(Rect.Right - wr, Rect.Bottom - wb, rightCol, bottomRow, wr, wb);
    corner(Rect.Right - wr, Rect.Top, rightCol, top, wr, wt);
    Band(Bounds(Rect.Right - wr, Rect.Top + wt, wr, H - wt - wb), rightCol, top + wt, wr, th, true, stretch, out);
    if (Filling && (Img.StretchMode & 4)) {
        const TRect centre = ::Rect(Rect.Left + wl, Rect.Top + wt, Rect.Right - wr, Rect.Bottom - wb);
        if (stretch) {
            if (tw > 0 && th > 0 && centre.Right > centre.Left && centre.Bottom > centre.Top)
                out.push_back(TacPiece{centre, Bounds(cl + wl, top + wt, tw, th), true, false});
        } else {
            if (tw > 0 && th > 0 && centre.Right > centre.Left && centre.Bottom > centre.Top)
                out.push_back(TacPiece{centre, Bounds(cl + wl, top + wt, tw, th), false, false, true});
        }
    }
    // Margins wider than the cell would reach into the next cell or past the
    // image: every piece reads inside its own cell only.
    const TRect cell = Bounds(cl, top, cellW, cellH);
    std::vector<TacPiece> kept;
    for (TacPiece p : out)
        if (ClipToCell(p, cell)) kept.push_back(p);
    out.swap(kept);
    plan.WL = wl;
    plan.WT = wt;
    plan.WR = wr;
    plan.WB = wb;
    plan.CellLeft = cl;
    plan.CellWidth = cellW;
    plan.CellHeight = cellH;
    return plan;
}

TacGlowGeometry GlowGeometry(const TRect& R1, const TRect& R2, int ML, int MT, int MR, int MB, int Margin) {
    TacGlowGeometry g;
    const int w1 = R1.Width(), h1 = R1.Height(), w2 = R2.Width(), h2 = R2.Height();
    g.PictureWidth = w1 + ML + MR - 2 * Margin;
    g.PictureHeight = h1 + MT + MB - 2 * Margin;
    int cl = 0, ct = 0, cr = 0, cb = 0;
    if (w2 != w1 || h2 != h1) {
        cl = R2.Left != 0 ? ML + R2.Left - Margin : 0;
        ct = R2.Top != 0 ? MT + R2.Top - Margin : 0;
        cr = R2.Right == w1 ? 0 : (cl != 0 ? g.PictureWidth - cl - w2 : w1 + MR - w2 - Margin);
        cb = R2.Bottom == h1 ? 0 : (ct != 0 ? g.PictureHeight - ct - h2 : h1 + MB - h2 - Margin);
    }
    g.Width = g.PictureWidth - cl - cr;
    g.Height = g.PictureHeight - ct - cb;
    g.CropLeft = cl;
    g.CropTop = ct;
    g.X = R1.Left + Margin + cl - ML;
    g.Y = R1.Top + Margin + ct - MT;
    return g;
}
