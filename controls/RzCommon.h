// Shared toolkit of the framed controls: enumerations, colours and the
// colour set, side/bevel/border/frame painters, rotated fonts, small text and
// window routines, and the one blink list all framed labels share.
#pragma once

#include <windows.h>

#include <cstdint>

#include "Controls.h"
#include "Persistent.h"
#include "RzColorMath.h"
#include "RunTime.h"
#include "Types.h"

class TCanvas;
class TFont;
class TControl;
class TWinControl;
class TTimer;
class TList;
class TObject;

enum TFrameStyle {
    fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp,
    fsStatus, fsPopup, fsFlatBold, fsFlatRounded
};
using TFrameStyleEx = TFrameStyle;

enum TSide { sdLeft, sdTop, sdRight, sdBottom };
using TSides = unsigned;  // bit set of TSide
constexpr TSides SideBit(TSide s) { return 1u << s; }
constexpr TSides sdAllSides = 15;

enum TGradientDirection {
    gdDiagonalUp, gdDiagonalDown, gdHorizontalEnd, gdHorizontalCenter, gdHorizontalBox,
    gdVerticalEnd, gdVerticalCenter, gdVerticalBox, gdSquareBox, gdBigSquareBox
};
enum TTextStyle { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TAlignmentVertical { avTop, avCenter, avBottom };
enum TFramingPreference { fpCustomFraming, fpThemes };
enum TRzGradientColorStyle { gcsSystem, gcsScheme, gcsCustom };
enum TRzVisualStyle { vsClassic, vsThemed, vsGradient };
enum TRzHotTrackColorType { htctComplement, htctActual };

// Set once by the unit's start-up step.
extern bool FullColorDisplay;
extern uint8_t ThemeColorScheme;

// Start-up step of the unit: notes the display depth, reads the colour set
// and installs the real system colours for the colour maths.
void RzCommonStartup();

// Visual styles: the one switch of the framed controls (common controls 6
// loaded and the application themed). Tests may force it for the themed
// branches; -1 restores the detected answer.
bool RzVisualStylesOn();
void RzForceVisualStyles(int state);

// Resolves a colour to RGB through the platform's system colours.
uint32_t RzRGBOf(TColor c);

TColor ThemeElementColor(int Kind);
void SchemeGradientColors(TRzGradientColorStyle ColorStyle, TColor& Start, TColor& Stop);
TColor SchemeFlatColor(TRzGradientColorStyle ColorStyle);
void SchemeBannerColors(TRzGradientColorStyle ColorStyle, TColor& Bottom, TColor& Top, TColor& Line);
// The light, medium and dark colours of a colour set.
TColor ThemeSetColor(int Set, int Shade);

bool IsFullColorDisplay();
uint8_t ReadThemeColorScheme();

// Side, bevel, border and frame painters; each returns the rectangle left inside.
TRect PaintSides(TCanvas* Canvas, TRect Bounds, TColor ULColor, TSides Sides, TColor LRColor);
TRect PaintBevel(TCanvas* Canvas, TRect Bounds, TColor ULColor, TSides Sides, int Count, TColor LRColor);
TRect PaintBox(TCanvas* Canvas, TRect Bounds, TColor Color);
TRect PaintCtl3DSides(TCanvas* Canvas, TRect Bounds, bool Lowered, TSides Sides);
TRect PaintButtonBorderSides(TCanvas* Canvas, TRect Bounds, bool Down, TSides Sides);
TRect PaintColorButtonBorderSides(TCanvas* Canvas, TRect Bounds, TColor Base, TSides Sides, bool Down);
TRect PaintBorderSides(TCanvas* Canvas, TRect Bounds, TFrameStyle Style, TSides Sides);
TRect PaintColorBorderSides(TCanvas* Canvas, TRect Bounds, TColor Base, TSides Sides, TFrameStyle Style);
TRect PaintBorder(TCanvas* Canvas, TRect Bounds, TFrameStyle Style);
TRect PaintColorBorder(TCanvas* Canvas, TRect Bounds, TColor Base, TFrameStyle Style);
TRect PaintButtonBorder(TCanvas* Canvas, TRect Bounds, bool Down);
TRect PaintColorButtonBorder(TCanvas* Canvas, TRect Bounds, TColor Base, bool Down);
TRect PaintRoundedFlatBorder(TCanvas* Canvas, TRect Bounds, TColor Color, TSides Sides);
TRect PaintDottedFrame(TCanvas* Canvas, TRect Bounds);
TRect PaintBorders(TCanvas* Canvas, TRect Bounds, TFrameStyleEx BorderOuter, bool Transparent,
                   TColor ParentColor, TColor Color, int FlatColorAdjustment, TColor FlatColor,
                   TColor BorderShadow, TColor BorderHighlight, TColor BorderColor, int BevelWidth,
                   TSides BorderSides, int BorderWidth, TFrameStyleEx BorderInner);
void PaintFrame(TCanvas* Canvas, int Width, int Height, bool KeepInside, TSides Sides, TColor FrameColor,
                TColor Color, TFrameStyle Style);
void PaintGradientFrame(TCanvas* Canvas, TRect Bounds, TGradientDirection Direction, TColor StopColor,
                        TColor StartColor);
void PaintDropDownArrow(TCanvas* Canvas, TRect Bounds, int Kind, bool Enabled, bool Pressed);

// Text and window routines.
HFONT CreateRotatedFont(TFont* Font, int Angle);
bool IsTrueTypeFont(TFont* Font);
AnsiString StripAccelerators(const AnsiString& Text);
void RedrawFrameIfVisible(HWND Window, const RECT* R);
void InvalidateTransparentChildren(TWinControl* Container);
inline int Min(int A, int B) { return A < B ? A : B; }
inline int Max(int A, int B) { return A > B ? A : B; }

// Messages the blink list sends to its controls.
constexpr UINT CM_BLINKQUERY = CM_BASE + 1000;
constexpr UINT CM_BLINKSTATE = CM_BASE + 1001;

// The one blink list of the framed labels; its timer ticks while a label
// exists. Phase 1 shows the blink colour, 0 the normal colour.
class TRzBlinkingControlsList : public TObject {
public:
    TRzBlinkingControlsList();
    ~TRzBlinkingControlsList() override;
    const char* ClassName() const override { return "TRzBlinkingControlsList"; }
    void Add(TControl* Control);
    void Remove(TControl* Control);
    int Count() const;
    uint8_t Phase() const { return FPhase; }
    uint16_t IntervalOn() const { return FIntervalOn; }
    uint16_t IntervalOff() const { return FIntervalOff; }
    void SetIntervalOn(uint16_t v) { FIntervalOn = v; }
    void SetIntervalOff(uint16_t v) { FIntervalOff = v; }
    TTimer* Timer() const { return FTimer; }
    // The timer's tick: flips the phase and tells every blinking control.
    void Tick(TObject* Sender);

private:
    TTimer* FTimer;
    TList* FControls;
    uint8_t FPhase = 1;
    uint16_t FIntervalOn = 500, FIntervalOff = 500;
};
extern TRzBlinkingControlsList* BlinkingControlsList;
void ReleaseBlinkListIfEmpty();
