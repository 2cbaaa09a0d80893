#include "RzCommon.h"

#include <uxtheme.h>
#include <vssym32.h>

#include "Components.h"
#include "Graphics.h"
#include "Guards.h"
#include "WinText.h"
#include "RzCanvasDC.h"
#include "RzGrafx.h"
#include "Text1251.h"
#include "Themes.h"

bool FullColorDisplay = false;
uint8_t ThemeColorScheme = 0;
TRzBlinkingControlsList* BlinkingControlsList = nullptr;

namespace {
uint32_t PlatformSysColor(int index) { return GetSysColor(index); }
}  // namespace

// The class library's theme services decide; the framed controls only ask.
bool RzVisualStylesOn() { return ThemeServicesEnabled(); }

void RzForceVisualStyles(int state) { SetThemeServicesOverride(state); }

uint32_t RzRGBOf(TColor c) {
    if (c < 0) return GetSysColor(c & 0xFF) & 0xFFFFFF;
    return uint32_t(c) & 0xFFFFFF;
}

void RzCommonStartup() {
    RzSysColorFunc = &PlatformSysColor;
    FullColorDisplay = IsFullColorDisplay();
    ThemeColorScheme = ReadThemeColorScheme();
    RegisterRzFrameController();
}

bool IsFullColorDisplay() {
    WindowDC dc(nullptr);
    return dc && GetDeviceCaps(dc.Get(), NUMCOLORS) == -1;
}

uint8_t ReadThemeColorScheme() {
    // Read only: the key is opened, never created; the path has no leading
    // backslash because the registry refuses one. A value of any length is
    // read whole; one that is not a string counts as missing.
    const AnsiString name = UpperCaseAscii(RzReadRegistryString(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", L"ColorName", ""));
    if (name == "HOMESTEAD") return 1;
    if (name == "METALLIC") return 2;
    return 0;
}

TColor ThemeSetColor(int Set, int Shade) {
    static const TColor sets[3][3] = {{0xFFEFE3, 0xEABB99, 0xBF7F57},
                                      {0xEDFFFF, 0x92C7B8, 0x77A17F},
                                      {0xFFF9F9, 0xD0BCBD, 0xB19F9F}};
    if (Set < 0 || Set > 2) Set = 0;
    if (Shade < 0 || Shade > 2) Shade = 0;
    return sets[Set][Shade];
}

TColor ThemeElementColor(int Kind) {
    if (!RzVisualStylesOn()) return clBtnFace;
    if (Kind != 6) return clWhite;  // the controls ask only for the group-box text
    TColor result = clBtnText;
    HTHEME theme = OpenThemeData(nullptr, L"BUTTON");
    if (theme) {
        COLORREF c = 0;
        if (SUCCEEDED(GetThemeColor(theme, BP_GROUPBOX, GBS_NORMAL, TMT_TEXTCOLOR, &c))) result = TColor(c);
        CloseThemeData(theme);
    }
    return result;
}

void SchemeGradientColors(TRzGradientColorStyle ColorStyle, TColor& Start, TColor& Stop) {
    if (ColorStyle == gcsScheme && RzVisualStylesOn()) {
        Start = ThemeSetColor(ThemeColorScheme, 0);
        Stop = ThemeSetColor(ThemeColorScheme, 1);
    } else {
        Start = clWindow;
        Stop = DarkenColor(clBtnFace, 10);
    }
}

TColor SchemeFlatColor(TRzGradientColorStyle ColorStyle) {
    if (ColorStyle == gcsScheme && RzVisualStylesOn()) return ThemeSetColor(ThemeColorScheme, 2);
    return LightenColor(clBtnShadow, 30);
}

void SchemeBannerColors(TRzGradientColorStyle ColorStyle, TColor& Bottom, TColor& Top, TColor& Line) {
    if (ColorStyle == gcsScheme && RzVisualStylesOn()) {
        Bottom = ThemeSetColor(ThemeColorScheme, 1);
        Top = ThemeSetColor(ThemeColorScheme, 0);
        Line = ThemeSetColor(ThemeColorScheme, 1);
    } else {
        Bottom = DarkenColor(clBtnFace, 20);
        Top = clWindow;
        Line = DarkenColor(clBtnFace, 40);
    }
}

void PaintGradientFrame(TCanvas* Canvas, TRect Bounds, TGradientDirection Direction, TColor StopColor,
                        TColor StartColor) {
    if (!FullColorDisplay) return;
    HDC dc = RzCanvasDC(Canvas);
    ExcludeClipRect(dc, Bounds.Left + 2, Bounds.Top + 2, Bounds.Right - 2, Bounds.Bottom - 2);
    GradientPaintDC(dc, Bounds, Direction, 1, StopColor, StartColor);
    SelectClipRgn(dc, nullptr);
}

TAlignment RzBiDiAlignment(const TControl* Control, TAlignment A) {
    if (!Control->UseRightToLeftAlignment() || A == taCenter) return A;
    return A == taLeftJustify ? taRightJustify : taLeftJustify;
}

UINT RzBiDiAlignmentFlags(const TControl* Control, TAlignment A) {
    TAlignment a = RzBiDiAlignment(Control, A);
    UINT f = a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : DT_LEFT;
    return Control->UseRightToLeftAlignment() ? f | DT_RTLREADING : f;
}

AnsiString StripAccelerators(const AnsiString& Text) {
    AnsiString out;
    size_t n = Text.size();
    for (size_t i = 0; i < n; ++i) {
        if (Text[i] == '&' && i + 1 < n) {
            // "&&" leaves one "&"; a lone "&" before a character goes.
            if (Text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += Text[i];
    }
    return out;
}

bool RzIsAccel(char Key, const AnsiString& Caption) {
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        // Captions are Windows-1251: fold by the fixed table, not the ANSI code page.
        return UpCase1251(static_cast<unsigned char>(Caption[i + 1])) == UpCase1251(static_cast<unsigned char>(Key));
    }
    return false;
}

void RedrawFrameIfVisible(HWND Window, const RECT* R) {
    int kind;
    {
        WindowDC dc(Window);
        if (!dc) return;
        RECT clip;
        kind = GetClipBox(dc.Get(), &clip);
    }
    if (kind != ERROR && kind != NULLREGION) RedrawWindow(Window, R, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void PaintDropDownArrow(TCanvas* Canvas, TRect r, int Kind, bool Enabled, bool Pressed) {
    HDC dc = RzCanvasDC(Canvas);
    int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    if (Pressed) {
        ++cx;
        ++cy;
    }
    COLORREF oldBrushColor = RzCanvasBrushRGB(Canvas);
    TColor color = clBlack;
    if (!Enabled) {
        color = clBtnShadow;
    } else if (Kind == 1) {
        color = cl3DDkShadow;
        HTHEME theme = OpenThemeData(nullptr, L"COMBOBOX");
        if (theme) {
            TColor px;
            {
                MemoryDC mem(dc);
                BitmapHandle bmp(CreateCompatibleBitmap(dc, 17, 21));
                SelectGuard select(mem.Get(), bmp.Get());
                RECT area{0, 0, 16, 20};
                DrawThemeBackground(theme, mem.Get(), CP_DROPDOWNBUTTON, CBXS_NORMAL, &area, nullptr);
                px = TColor(GetPixel(mem.Get(), 8, 10) & 0xFFFFFF);
            }
            CloseThemeData(theme);
            color = ColorsAlike(px, clWindow) ? cl3DDkShadow : px;
        }
    } else if (ColorsAlike(TColor(oldBrushColor), clBlack)) {
        color = cl3DDkShadow;
    }
    BrushHandle brush(CreateSolidBrush(RzRGBOf(color)));
    if (Kind == 1 && Enabled) {
        int ty = cy + 2 + 2;
        POINT pts[6] = {{cx, ty}, {cx - 4, ty - 5}, {cx - 5, ty - 7},
                        {cx, ty - 2}, {cx + 5, ty - 7}, {cx + 4, ty - 5}};
        SelectGuard selectBrush(dc, brush.Get());
        SelectGuard selectPen(dc, GetStockObject(NULL_PEN));
        Polygon(dc, pts, 6);
    } else {
        for (int row = 0; row < 4; ++row) {
            RECT line{cx - 3 + row, cy - 2 + row, cx + 4 - row, cy - 1 + row};
            FillRect(dc, &line, brush.Get());
        }
    }
}

HFONT CreateRotatedFont(TFont* Font, int Angle) {
    LOGFONTW lf{};
    lf.lfHeight = Font->Height();
    lf.lfWidth = 0;
    lf.lfEscapement = Angle * 10;
    lf.lfOrientation = 0;
    TFontStyles st = Font->Style();
    lf.lfWeight = (st & FontStyleBit(fsBold)) ? 700 : 400;
    lf.lfItalic = (st & FontStyleBit(fsItalic)) ? 1 : 0;
    lf.lfUnderline = (st & FontStyleBit(fsUnderline)) ? 1 : 0;
    lf.lfStrikeOut = (st & FontStyleBit(fsStrikeOut)) ? 1 : 0;
    lf.lfCharSet = Font->Charset();
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = Font->Pitch() == fpVariable ? VARIABLE_PITCH
                          : Font->Pitch() == fpFixed  ? FIXED_PITCH
                                                      : DEFAULT_PITCH;
    std::wstring face = ToWide(Font->Name());
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

bool IsTrueTypeFont(TFont* Font) {
    WindowDC dc(nullptr);
    if (!dc) return false;
    // The font object belongs to the TFont; only the selection is undone.
    SelectGuard select(dc.Get(), Font->Handle());
    TEXTMETRICW tm{};
    const bool ok = GetTextMetricsW(dc.Get(), &tm) != 0;
    return ok && (tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}
