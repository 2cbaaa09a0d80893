// Plain geometry and colour types shared by every layer. Portable.
#pragma once

#include <cstdint>

struct TPoint {
    int X = 0, Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
inline TRect Bounds(int l, int t, int w, int h) { return TRect{l, t, l + w, t + h}; }
inline TPoint Point(int x, int y) { return TPoint{x, y}; }

// Colour: red in the low byte, green in the second, blue in the third.
// Negative values name system colours (0x80000000 | COLOR_xxx).
using TColor = int32_t;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | unsigned(index)); }
// Indexes are the platform's COLOR_xxx numbers.
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1),
                 clActiveCaption = SystemColor(2), clInactiveCaption = SystemColor(3),
                 clMenu = SystemColor(4), clWindow = SystemColor(5), clWindowFrame = SystemColor(6),
                 clMenuText = SystemColor(7), clWindowText = SystemColor(8),
                 clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10),
                 clInactiveBorder = SystemColor(11), clAppWorkSpace = SystemColor(12),
                 clHighlight = SystemColor(13), clHighlightText = SystemColor(14),
                 clBtnFace = SystemColor(15), clBtnShadow = SystemColor(16),
                 clGrayText = SystemColor(17), clBtnText = SystemColor(18),
                 clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22),
                 clInfoText = SystemColor(23), clInfoBk = SystemColor(24),
                 clHotLight = SystemColor(26), clGradientActiveCaption = SystemColor(27),
                 clGradientInactiveCaption = SystemColor(28), clMenuHighlight = SystemColor(29),
                 clMenuBar = SystemColor(30);

// Pixel formats of bitmaps and the stages of a picture's progress notification;
// shared by the class library's bitmaps and the portable picture readers.
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TProgressStage { psStarting, psRunning, psEnding };
