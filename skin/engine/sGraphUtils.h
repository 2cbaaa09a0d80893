// The skin graphics unit over the class library's bitmaps and DCs: bitmap
// factories, channel moves and the alpha blend, background queries and DC
// fills, masked copies and blends, layered-window support and small drawing
// routines, skin text, section backgrounds. The arithmetic is the portable
// core's (acBlend.h, acMaskBlend.h, acSkinGeometry.h); this hands it bitmaps
// and DCs. Without a skin manager the skin painters return at once.
#pragma once

#include <vector>

#include "Controls.h"
#include "Graphics.h"
#include "acBlend.h"
#include "sColorAdjust.h"
#include "acMaskBlend.h"
#include "acSkinGeometry.h"
#include "acntUtils.h"
#include "sConst.h"
#include "sSkinTables.h"

// New bitmaps owned by the caller.
TBitmap* CreateBitmapLike(TBitmap* Source);
TBitmap* CreateBitmap24(int Width, int Height);
TBitmap* CreateBitmap32(int Width, int Height);

// Rows of a DIB-section bitmap as a pixel view (an empty view for nil or an
// empty bitmap). Turns a device-dependent bitmap into a DIB first.
TacPixelView BitmapView(TBitmap* Bmp);

// Copies byte Channel (0 blue .. 3 alpha) between a 32-bit Image and an 8-bit
// Plane, over the rows and columns both have.
void CopyByteChannel(TBitmap* Image, TBitmap* Plane, int Channel, bool ToPlane);

// Blends Src's SrcRect over the 24-bit Dst's DstRect by Src's straight alpha
// (Src is made 32-bit first). With Cache ready, key-coloured source pixels
// are skipped or, with FillKeyFromCache, take the cache bitmap's pixel.
// TintColor (clNone for none) recolours the source on the way, without
// writing to it; Transparency is a percentage, clamped to 0..100.
void BlendAlphaBitmap(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                      const CacheInfo& Cache, bool FillKeyFromCache, TColor TintColor, int Transparency);

// Colour adjustments over bitmaps (sColorAdjust.h's arithmetic). MakeGrey
// and FadeTowardsColor take 24-bit bitmaps; FadeTowardsColor stops quietly at
// a row it cannot read.
void MakeGrey(TBitmap* Bmp);
void FadeTowardsColor(TBitmap* Bmp, TColor Color, TColor KeyColor, double Factor);
// The skin-wide hue and saturation shift: a 32-bit bitmap stays 32-bit,
// any other is made 24-bit first; key-coloured and grey pixels stay.
void ShiftBitmapColors(TBitmap* Bmp, int Hue, int Saturation);
// ---------------------------------------------------------------- pixel views
// A bitmap's rows with its bytes per pixel (4 for 32-bit, else 3); a
// background record as the portable painters take it.
TacImage ImageOf(TBitmap* Bmp);
TacBackground BackgroundOf(const CacheInfo& Cache);

// ---------------------------------------------------------------- background queries and DC fills
class TsCommonData;
struct BackgroundInfo;

// Asks a window for the background under it (scGetBackground); True when it answered.
bool QueryParentBackground(BackgroundInfo& Info, HWND Wnd, bool DrawRequest);
// The same for a control, falling back to its colour (scQueryColor, then its
// Color); with a draw request a colour answer is painted into the record's DC.
bool QueryControlBackground(BackgroundInfo& Info, TControl* Control, bool DrawRequest);
// An image answer becomes a ready cache; anything else its colour (system
// colours resolved), not ready.
void BackgroundToCacheInfo(const BackgroundInfo& Info, CacheInfo& Cache);
void FillRectOnDC(HDC DC, const TRect& R, TColor Color);
void FillBorderOnDC(HDC DC, const TRect& R, int Left, int Top, int Right, int Bottom, TColor Color);
// For skins without glyph images: the system's menu mark (DFCS_MENUCHECK,
// DFCS_MENUBULLET) in one colour over what R holds, centred.
void DrawSystemMark(HDC DC, const TRect& R, unsigned Mark, TColor Color);
// A check box's or radio button's state without glyph images: a square or a
// circle in Color with the system's mark for the state (0 clear, 1 checked,
// 2 grayed: the check at half strength over Face).
void DrawPlainCheckGlyph(HDC DC, const TRect& R, bool Radio, int State, TColor Color, TColor Face);
// An arrow for a skin without arrow glyphs: a small triangle in Color centred
// in R, pointing up (0), down (1), left (2) or right (3).
void DrawPlainArrow(HDC DC, const TRect& R, int Direction, TColor Color);
// A caption button for a skin without button images: the glyph of Kind in
// Ink centred in R, sized by R. Hot (State 1) frames the button; pressed (2)
// fills it with Ink and draws the glyph in the face under it, one pixel
// lower right; Dim takes the ink half-way to the face (an inactive form, a
// disabled button).
enum TacCaptionGlyph { cgNone, cgClose, cgMaximize, cgRestore, cgMinimize, cgHelp };
void DrawPlainCaptionButton(HDC DC, const TRect& R, TacCaptionGlyph Kind, int State, bool Dim, TColor Ink);
class TsSkinManager;
// The font colour of a section for a state (hot from 1 on); clBtnText without the section.
TColor SectionFontColor(TsSkinManager* Manager, int Section, int State);
void CopyBorderBands(HDC DstDC, int X, int Y, int Width, int Height, HDC SrcDC, int SrcX, int SrcY, int Band);
void ClipOutChildControls(HDC DC, TWinControl* Parent, int OffsetX, int OffsetY);

// ---------------------------------------------------------------- masked copies and blends
struct TsMaskData;
void CopyMaskedRect(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, bool FillKeyFromCache,
                    const CacheInfo& Cache, TBitmap* Src);
void CopyMaskedCell(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                    bool FillKeyFromCache, const CacheInfo& Cache, TBitmap* Src);
// d := (d * Weight + s * (255 - Weight) + 127) >> 8 through FastSum24.
void BlendWithBitmap(TBitmap* Dst, TBitmap* Src, uint8_t Weight, const TRect& SrcRect, TPoint DstPoint);
void BlendBitmapRect(TBitmap* Dst, int X, int Y, TColor KeyColor, double Factor, const TRect& SrcRect,
                     TBitmap* Src);
void MixWithColorByMask(TBitmap* Bmp, TBitmap* Mask, TColor Color);
void BlendRoundRect(TBitmap* Bmp, const TRect& R, int Level, int Radius, int Steps, TColor Color);
void CopyExceptKeyColor(TBitmap* Dst, TBitmap* Src, int X, int Y, TColor KeyColor);
void CopyExceptKeyColorRect(TBitmap* Dst, TBitmap* Src, int X, TColor KeyColor, int Y, const TRect& SrcRect);
void CopyKeyedCorner(TBitmap* Dst, TBitmap* Src, int X, bool FillFromCache, const CacheInfo& Cache,
                     TColor KeyColor, const TRect& SrcRect, int Y);
// The record of a mix: its 32-bit bitmap.
struct TacMixTarget {
    TBitmap* Bmp = nullptr;
};
void MixBitmapsByMask(TacMixTarget& Target, TBitmap* A, TBitmap* B, uint8_t Weight, TBitmap* Mask);

// ---------------------------------------------------------------- layered windows and drawing routines
bool LayeredWindowsAvailable();
// The platform's UpdateLayeredWindow, looked up at start-up (nil without it).
using TUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
extern TUpdateLayeredWindow UpdateLayeredWindowEntry;
void DrawBevelFrame(HDC DC, TRect& R, TColor Light, int& Count, TColor Dark);
void DrawDottedFrame(TCanvas* Canvas, const TRect& R);
// Unit start-up and shut-down of the skin graphics unit.
void sGraphUtilsInitialize();
void sGraphUtilsFinalize();

// ---------------------------------------------------------------- skin text
class TsSkinManager;
void WriteSectionText(TCanvas* Canvas, const char* Text, bool Enabled, TsSkinManager* Manager, bool Hot,
                      int SkinIndex, unsigned Format, TRect R);
void WriteSectionTextEx(TCanvas* Canvas, const char* Text, bool Enabled, TsSkinManager* Manager, bool Hot,
                        int SkinIndex, unsigned Format, TRect R);
void WriteControlText(TCanvas* Canvas, const char* Text, bool Enabled, bool Hot, TsCommonData* Data,
                      unsigned Format, TRect R);
void WriteControlTextEx(TCanvas* Canvas, const char* Text, bool Enabled, bool Hot, TsCommonData* Data,
                        unsigned Format, TRect R);
void FitTextWithEllipsis(TCanvas* Canvas, const AnsiString& Text, int MaxWidth, AnsiString& Result);
void DrawTextOnDC(HDC DC, const AnsiString& Text, TRect& R, unsigned Format);
int CanvasTextWidth(TCanvas* Canvas, const AnsiString& Text);
TSize CanvasTextExtent(TCanvas* Canvas, const AnsiString& Text);
void CanvasTextRect(TCanvas* Canvas, const TRect& R, int X, int Y, const AnsiString& Text);

// ---------------------------------------------------------------- section backgrounds
class TGraphic;
// Each painter takes the section as the resolver chose it (TsSection): its
// colours, images and textures all come from that one section.
void PaintSectionBG(const TsSection& Section, CacheInfo ParentCache, TColor CustomColor,
                    int HotTextureIndex, int TextureIndex, TsSkinManager* Manager, TBitmap* Bmp, TPoint Offset,
                    TRect R, bool Hot);
void PaintControlSectionBG(TsCommonData* Data, CacheInfo ParentCache, bool Hot, TBitmap* Bmp, TPoint Offset,
                           TRect R);
void PaintSectionBGOverCache(const TsSection& Section, int TextureIndex, int HotTextureIndex, TsSkinManager* Manager,
                             TBitmap* Bmp, TPoint Offset, TRect R, bool Hot, CacheInfo ParentCache);
void PaintSectionFull(const TsSection& Section, CacheInfo ParentCache, int HotTextureIndex,
                      int TextureIndex, TsSkinManager* Manager, TBitmap* Bmp, TPoint Offset, TRect R, int State,
                      bool Fill);
void PaintSectionToDC(const TsSection& Section, CacheInfo ParentCache, TsSkinManager* Manager,
                      HDC DC, TPoint Offset, TRect R, int State, bool Fill);
void PaintSectionWithImage(const TsSection& Section, int MaskIndex, int TextureIndex, TsSkinManager* Manager,
                           TBitmap* Bmp, TPoint Offset, TRect R, int State, bool Fill, CacheInfo ParentCache,
                           int HotTextureIndex);
void PaintControlSection(TsCommonData* Data, CacheInfo ParentCache, bool Fill, TBitmap* Bmp, TPoint Offset,
                         TRect R, int State);
// What PaintControlSection paints after the background: border and corners.
// With Clips the border only inside them (they must not overlap, and must
// hold the corner images, which are painted whole).
void PaintControlSectionFrame(TsCommonData* Data, CacheInfo ParentCache, bool Fill, TBitmap* Bmp, TPoint Offset,
                              TRect R, int State, const std::vector<TRect>* Clips = nullptr);
// A section background that is a texture tiled from the rectangle's top-left
// corner, blended with a colour: every pixel depends only on its place in
// the tile, so one tile painted and repeated gives the same picture as the
// whole rectangle painted. Equal values give equal tiles.
struct TacTiledFill {
    const void* Manager = nullptr;
    const void* Source = nullptr;  // the texture's graphic or bitmap
    TRect Cell;                    // the tile in Source (an image part)
    TColor Color = 0;
    int Percent = 0;
    int TileW = 0, TileH = 0;
    bool operator==(const TacTiledFill&) const = default;
};
// False when the background is not such a fill (colour only, gradient,
// transparency, a stretched or masked texture, a parent under it).
bool TiledSectionFill(TsCommonData* Data, CacheInfo ParentCache, bool Hot, TacTiledFill& Fill);
// The bitmap a skin image lies in: its own, else its manager's master bitmap.
TBitmap* MaskImageSource(const TsMaskData& Mask);
// Block transfers of a plan's unmasked pieces from Src into DC, stretched
// pieces in HALFTONE mode.
void BlitPieces(HDC DC, TBitmap* Src, const std::vector<TacPiece>& Pieces);
void TileTexture(TCanvas* Canvas, const TRect& R, TGraphic* Graphic);
void TileSkinImage(TCanvas* Canvas, TRect& R, TGraphic* Graphic, int Mode, const TsMaskData& Mask);
void TileMaskedSkinImage(TBitmap* Bmp, TRect& R, CacheInfo ParentCache, int Mode, const TsMaskData& Mask);
// Appends, row by row, the key-coloured run that reaches the outer edge of
// each corner of a skin image (its top or, with Bottom, its bottom margin
// rows) placed across Width at row Top: what a window region leaves out.
void CollectCornerKeyRects(std::vector<TRect>& Rects, int Width, const TsMaskData& Mask, bool Bottom, int Top);
