// Painters, gradients, tilers and the colour-set registry read, checked on
// bitmaps under Wine.
#include <gtest/gtest.h>

#include <set>

#include "Graphics.h"
#include "RzCommon.h"
#include "RzGrafx.h"

namespace {
constexpr uint32_t kBack = 0xFF00FF;

struct Surface {
    TBitmap bmp;
    Surface(int w, int h, uint32_t fill = kBack) {
        bmp.SetPixelFormat(pf24bit);
        bmp.SetSize(w, h);
        HBRUSH b = CreateSolidBrush(fill);
        RECT r{0, 0, w, h};
        FillRect(bmp.Canvas()->Handle(), &r, b);
        DeleteObject(b);
    }
    TCanvas* C() { return bmp.Canvas(); }
    uint32_t At(int x, int y) { return GetPixel(bmp.Canvas()->Handle(), x, y) & 0xFFFFFF; }
};

uint32_t Sys(TColor c) { return GetSysColor(c & 0xFF) & 0xFFFFFF; }
}  // namespace

TEST(Painters, PaintSidesCornersAndResult) {
    Surface s(20, 16);
    TRect r = PaintSides(s.C(), Rect(2, 2, 12, 10), clRed, sdAllSides, clBlue);
    EXPECT_EQ(r, Rect(3, 3, 11, 9));
    EXPECT_EQ(s.At(2, 2), 0x0000FFu);   // upper-left corner: left and top edges
    EXPECT_EQ(s.At(11, 2), 0xFF0000u);  // right edge drawn over the top edge's end
    EXPECT_EQ(s.At(2, 9), 0xFF0000u);   // bottom edge over the left edge's end
    EXPECT_EQ(s.At(11, 9), 0xFF0000u);
    EXPECT_EQ(s.At(6, 2), 0x0000FFu);
    EXPECT_EQ(s.At(6, 9), 0xFF0000u);
    EXPECT_EQ(s.At(12, 5), kBack);      // nothing beyond Right - 1
    EXPECT_EQ(s.At(6, 5), kBack);

    // clNone skips the edges but the result still moves in on those sides.
    Surface t(20, 16);
    r = PaintSides(t.C(), Rect(2, 2, 12, 10), clNone, SideBit(sdLeft) | SideBit(sdTop) | SideBit(sdRight), clBlue);
    EXPECT_EQ(r, Rect(3, 3, 11, 10));
    EXPECT_EQ(t.At(2, 5), kBack);
    EXPECT_EQ(t.At(11, 5), 0xFF0000u);
    EXPECT_EQ(t.At(6, 9), kBack);  // no bottom side

    Surface u(20, 16);
    r = PaintBevel(u.C(), Rect(0, 0, 20, 16), clRed, sdAllSides, 3, clBlue);
    EXPECT_EQ(r, Rect(3, 3, 17, 13));
    EXPECT_EQ(u.At(2, 8), 0x0000FFu);
    EXPECT_EQ(u.At(17, 8), 0xFF0000u);
    EXPECT_EQ(u.At(3, 8), kBack);
}

TEST(Painters, BorderSidesEtchedCornerPixels) {
    uint32_t ul = Sys(clBtnShadow), lr = Sys(clBtnHighlight);
    ASSERT_NE(ul, lr);
    {
        Surface s(20, 16);
        EXPECT_EQ(PaintBorderSides(s.C(), Rect(1, 1, 15, 12), fsNone, sdAllSides), Rect(1, 1, 15, 12));
        EXPECT_EQ(s.At(1, 1), kBack);
    }
    {
        Surface s(20, 16);
        EXPECT_EQ(PaintBorderSides(s.C(), Rect(1, 1, 15, 12), fsGroove, sdAllSides), Rect(3, 3, 13, 10));
        EXPECT_EQ(s.At(1, 1), ul);
        EXPECT_EQ(s.At(14, 1), lr);   // (Right - 1, Top) with the right side
        EXPECT_EQ(s.At(1, 11), lr);   // (Left, Bottom - 1) with the bottom side
        EXPECT_EQ(s.At(2, 2), lr);
        EXPECT_EQ(s.At(13, 10), ul);  // inner dark line of the right and bottom
        EXPECT_EQ(s.At(14, 11), lr);
        EXPECT_EQ(s.At(3, 3), kBack);
    }
    {
        // Top side alone: the corner pixels switch to the other colours.
        Surface s(20, 16);
        EXPECT_EQ(PaintBorderSides(s.C(), Rect(1, 1, 15, 12), fsGroove, SideBit(sdTop)), Rect(1, 3, 15, 12));
        EXPECT_EQ(s.At(14, 1), ul);  // top without right: (Right - 1, Top) := UL
        EXPECT_EQ(s.At(1, 2), lr);   // top without left: (Left, Top + 1) := LR
        EXPECT_EQ(s.At(5, 1), ul);
        EXPECT_EQ(s.At(5, 2), lr);
        EXPECT_EQ(s.At(5, 3), kBack);
    }
    {
        // Bump is the groove with the colours exchanged.
        Surface s(20, 16);
        PaintBorderSides(s.C(), Rect(1, 1, 15, 12), fsBump, sdAllSides);
        EXPECT_EQ(s.At(1, 1), lr);
        EXPECT_EQ(s.At(2, 2), ul);
    }
    {
        Surface s(20, 16);
        EXPECT_EQ(PaintBorderSides(s.C(), Rect(0, 0, 20, 16), fsRaised, sdAllSides), Rect(2, 2, 18, 14));
        EXPECT_EQ(s.At(0, 5), Sys(cl3DLight));
        EXPECT_EQ(s.At(19, 5), Sys(cl3DDkShadow));
        EXPECT_EQ(s.At(1, 5), Sys(clBtnHighlight));
        EXPECT_EQ(s.At(18, 5), Sys(clBtnShadow));
    }
}

TEST(Painters, ComposedBordersOutsideIn) {
    Surface s(30, 20);
    TRect r = PaintBorders(s.C(), Rect(0, 0, 30, 20), fsFlat, false, clWhite, clSilver, 0, clRed, clBlack,
                           clWhite, clLime, 1, sdAllSides, 2, fsFlatBold);
    // 1 outer + 2 band + 2 inner lines on each side.
    EXPECT_EQ(r, Rect(5, 5, 25, 15));
    EXPECT_EQ(s.At(0, 10), 0x0000FFu);
    EXPECT_EQ(s.At(1, 10), 0x00FF00u);
    EXPECT_EQ(s.At(2, 10), 0x00FF00u);
    EXPECT_EQ(s.At(3, 10), 0x0000FFu);
    EXPECT_EQ(s.At(4, 10), 0x0000FFu);
    EXPECT_EQ(s.At(5, 10), kBack);
    // A rounded flat border cuts its corners.
    Surface t(20, 20);
    r = PaintRoundedFlatBorder(t.C(), Rect(0, 0, 20, 20), clRed, sdAllSides);
    EXPECT_EQ(r, Rect(2, 2, 18, 18));
    EXPECT_EQ(t.At(0, 0), kBack);
    EXPECT_EQ(t.At(0, 1), kBack);
    EXPECT_EQ(t.At(0, 2), 0x0000FFu);
    EXPECT_EQ(t.At(1, 1), 0x0000FFu);
    EXPECT_EQ(t.At(18, 18), 0x0000FFu);
    EXPECT_EQ(t.At(19, 17), 0x0000FFu);
    EXPECT_EQ(t.At(19, 18), kBack);
    EXPECT_EQ(PaintRoundedFlatBorder(t.C(), Rect(0, 0, 20, 20), clRed, SideBit(sdLeft)), Rect(2, 0, 20, 20));
    // Rounded borders round a band, as the sorting game's drop boxes: the band
    // and the line just inside the inner rounded border stay visible.
    Surface d(30, 30);
    r = PaintBorders(d.C(), Rect(0, 0, 30, 30), fsFlatRounded, false, clWhite, clSilver, 0, clLime, clBlack,
                     clWhite, clRed, 1, sdAllSides, 3, fsFlatRounded);
    EXPECT_EQ(r, Rect(7, 7, 23, 23));  // 2 + 3 + 2, as the client rectangle counts them
    const uint32_t across[] = {0x00FF00u, 0x0000FFu, 0x0000FFu, 0x0000FFu, 0x0000FFu, 0x00FF00u, 0xC0C0C0u};
    for (int x = 0; x < 7; ++x) EXPECT_EQ(d.At(x, 15), across[x]) << x;
}

TEST(Gradients, HorizontalEndRampIsExactGreyPerRow) {
    Surface s(20, 256);
    GradientPaint(s.C(), Rect(0, 0, 20, 256), gdHorizontalEnd, 1, clWhite, clBlack);
    for (int y = 0; y < 256; ++y) {
        ASSERT_EQ(s.At(0, y), RzRGB(y, y, y)) << y;
        ASSERT_EQ(s.At(19, y), RzRGB(y, y, y)) << y;  // widened by tiling
    }
}

TEST(Gradients, SmoothFactorBandsAndEmptyRects) {
    for (auto [sf, expected] : {std::pair{9, 9}, std::pair{16, 16}, std::pair{0, 256}}) {
        Surface s(4, 256);
        GradientPaint(s.C(), Rect(0, 0, 4, 256), gdHorizontalEnd, sf, clWhite, clBlack);
        std::set<uint32_t> colours;
        for (int y = 0; y < 256; ++y) colours.insert(s.At(2, y));
        EXPECT_EQ(int(colours.size()), expected) << sf;
    }
    Surface z(10, 10);
    GradientPaint(z.C(), Rect(3, 3, 3, 9), gdSquareBox, 1, clWhite, clBlack);
    GradientPaint(z.C(), Rect(3, 3, 9, 3), gdDiagonalUp, 1, clWhite, clBlack);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(z.At(x, y), kBack);
    // A box smaller than 5 x 5 is a plain fill in the start colour.
    Surface b(10, 10);
    GradientPaint(b.C(), Rect(2, 2, 6, 9), gdSquareBox, 1, clWhite, clRed);
    EXPECT_EQ(b.At(2, 2), 0x0000FFu);
    EXPECT_EQ(b.At(5, 8), 0x0000FFu);
    EXPECT_EQ(b.At(6, 8), kBack);
}

TEST(Gradients, EveryDirectionCoversAndBoxesAreSymmetric) {
    for (int dir = gdDiagonalUp; dir <= gdBigSquareBox; ++dir) {
        for (auto [w, h] : {std::pair{41, 31}, std::pair{40, 30}, std::pair{1, 7}, std::pair{2, 2}}) {
            Surface s(w, h);
            GradientPaint(s.C(), Rect(0, 0, w, h), TGradientDirection(dir), 1, clWhite, clBlack);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) ASSERT_NE(s.At(x, y), kBack) << dir << " " << w << "x" << h << " " << x << "," << y;
            bool box = dir == gdHorizontalBox || dir == gdVerticalBox || dir == gdSquareBox || dir == gdBigSquareBox;
            if (box && w >= 5)
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        ASSERT_EQ(s.At(x, y), s.At(w - 1 - x, y)) << dir << " " << w << " " << x << "," << y;
                        ASSERT_EQ(s.At(x, y), s.At(x, h - 1 - y)) << dir << " " << w << " " << x << "," << y;
                    }
        }
    }
    // Diagonal up: start colour at the bottom left, stop towards the top right.
    Surface d(60, 40);
    GradientPaint(d.C(), Rect(0, 0, 60, 40), gdDiagonalUp, 1, clWhite, clBlack);
    EXPECT_LT(RzRed(d.At(0, 39)), 16);
    EXPECT_GT(RzRed(d.At(59, 0)), 240);
    GradientPaint(d.C(), Rect(0, 0, 60, 40), gdDiagonalDown, 1, clWhite, clBlack);
    EXPECT_GT(RzRed(d.At(59, 39)), 240);
    EXPECT_LT(RzRed(d.At(0, 0)), 16);
    // Square box: stop colour in the middle, start colour at the edges.
    Surface q(41, 41);
    GradientPaint(q.C(), Rect(0, 0, 41, 41), gdSquareBox, 1, clWhite, clBlack);
    EXPECT_GT(RzRed(q.At(20, 20)), 240);
    EXPECT_EQ(q.At(0, 0), 0u);
    EXPECT_EQ(q.At(20, 0), 0u);
}

TEST(Tilers, EmptyBlocksReturnAndTilesRepeat) {
    Surface s(30, 20);
    HDC dc = s.C()->Handle();
    TileBlit(dc, 0, 0, SRCCOPY, 0, 5, 20, 30);  // would never grow
    TileBlit(dc, 0, 0, SRCCOPY, 5, 0, 20, 30);
    EXPECT_EQ(s.At(29, 19), kBack);
    SetPixel(dc, 0, 0, 0x0000FF);
    SetPixel(dc, 1, 0, 0x00FF00);
    SetPixel(dc, 0, 1, 0xFF0000);
    SetPixel(dc, 1, 1, 0x000000);
    TileBlit(dc, 0, 0, SRCCOPY, 2, 2, 20, 30);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(s.At(x, y), s.At(x % 2, y % 2)) << x << "," << y;

    TBitmap empty;
    Surface t(10, 10);
    TileGraphic(t.C(), &empty, Rect(0, 0, 10, 10));
    EXPECT_EQ(t.At(5, 5), kBack);
    Surface tile(3, 2, 0x00FFFF);
    SetPixel(tile.C()->Handle(), 2, 1, 0x0000FF);
    TileGraphic(t.C(), &tile.bmp, Rect(1, 1, 9, 8));
    EXPECT_EQ(t.At(0, 0), kBack);
    EXPECT_EQ(t.At(3, 2), 0x0000FFu);
    EXPECT_EQ(t.At(6, 4), 0x0000FFu);
    EXPECT_EQ(t.At(1, 1), 0x00FFFFu);
    EXPECT_EQ(t.At(9, 8), kBack);
}

TEST(ColorSet, RegistryValueChoosesSetWithoutCreatingKey) {
    // HKCU is redirected to a scratch key, so the real profile is untouched.
    HKEY scratch = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\TuvreliControlsTest", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &scratch, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratch), ERROR_SUCCESS);
    EXPECT_EQ(ReadThemeColorScheme(), 0);
    HKEY probe = nullptr;
    EXPECT_NE(RegOpenKeyExW(scratch, L"Software", 0, KEY_READ, &probe), ERROR_SUCCESS) << "key was created";
    if (probe) RegCloseKey(probe);

    HKEY tm = nullptr;
    ASSERT_EQ(RegCreateKeyExW(scratch, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", 0, nullptr,
                              0, KEY_ALL_ACCESS, nullptr, &tm, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(ReadThemeColorScheme(), 0);  // key without the value
    auto set = [&](const wchar_t* v) {
        RegSetValueExW(tm, L"ColorName", 0, REG_SZ, reinterpret_cast<const BYTE*>(v),
                       DWORD((wcslen(v) + 1) * sizeof(wchar_t)));
    };
    set(L"homestead");
    EXPECT_EQ(ReadThemeColorScheme(), 1);
    set(L"Metallic");
    EXPECT_EQ(ReadThemeColorScheme(), 2);
    set(L"METALLICX");
    EXPECT_EQ(ReadThemeColorScheme(), 0);
    set(L"NormalColor");
    EXPECT_EQ(ReadThemeColorScheme(), 0);
    RegCloseKey(tm);

    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(scratch);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TuvreliControlsTest");
}

TEST(Text, StripAcceleratorsKeepsDoubledAndLast) {
    EXPECT_EQ(StripAccelerators("&File"), "File");
    EXPECT_EQ(StripAccelerators("A&&B"), "A&B");
    EXPECT_EQ(StripAccelerators("Save &As&"), "Save As&");
    EXPECT_EQ(StripAccelerators("&&&x"), "&x");
    EXPECT_EQ(StripAccelerators(""), "");
}

TEST(Themes, ClassicByDefaultAndThemedBranchesRun) {
    // No common-controls-6 manifest: the classic look, deterministically.
    EXPECT_FALSE(RzVisualStylesOn());
    TColor a, b;
    SchemeGradientColors(gcsScheme, a, b);
    EXPECT_EQ(a, clWindow);
    EXPECT_EQ(b, DarkenColor(clBtnFace, 10));
    EXPECT_EQ(ThemeElementColor(6), clBtnFace);

    RzForceVisualStyles(1);
    uint8_t saved = ThemeColorScheme;
    ThemeColorScheme = 2;
    SchemeGradientColors(gcsScheme, a, b);
    EXPECT_EQ(a, TColor(0xFFF9F9));
    EXPECT_EQ(b, TColor(0xD0BCBD));
    EXPECT_EQ(SchemeFlatColor(gcsScheme), TColor(0xB19F9F));
    SchemeGradientColors(gcsSystem, a, b);
    EXPECT_EQ(a, clWindow);
    EXPECT_EQ(ThemeElementColor(3), clWhite);
    EXPECT_EQ(ThemeElementColor(6), clBlack);  // the group-box text of Wine's theme
    Surface s(20, 20, 0xFFFFFF);
    PaintDropDownArrow(s.C(), Rect(0, 0, 20, 20), 1, true, false);
    int painted = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) painted += s.At(x, y) != 0xFFFFFFu;
    EXPECT_GT(painted, 5);
    ThemeColorScheme = saved;
    RzForceVisualStyles(-1);
}
