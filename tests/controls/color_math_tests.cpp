#include <gtest/gtest.h>

#include "RzColorMath.h"

namespace {
struct Hsl {
    int H, S, L;
    friend bool operator==(const Hsl&, const Hsl&) = default;
};
Hsl Of(TColor c) {
    uint8_t h, s, l;
    HslFromColor(c, h, s, l);
    return {h, s, l};
}
std::ostream& operator<<(std::ostream& os, const Hsl& v) {
    return os << "(" << v.H << "," << v.S << "," << v.L << ")";
}
}  // namespace

TEST(ColorMath, HslKnownValues) {
    EXPECT_EQ(Of(0x149BF0), (Hsl{25, 211, 122}));
    EXPECT_EQ(Of(clWhite), (Hsl{0, 0, 240}));
    EXPECT_EQ(Of(clBlack), (Hsl{0, 0, 0}));
    EXPECT_EQ(Of(clRed), (Hsl{0, 240, 120}));
    EXPECT_EQ(Of(clLime), (Hsl{80, 240, 120}));
    EXPECT_EQ(Of(clBlue), (Hsl{160, 240, 120}));
    // A system colour is resolved first (classic button face is silver).
    EXPECT_EQ(Of(clBtnFace), Of(clSilver));
}

TEST(ColorMath, RoundingHalvesGoToEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    // Saturation 240 x 2 / 192 = 2.5 exactly: even, where half-up gives 3.
    EXPECT_EQ(Of(RzRGB(97, 96, 95)), (Hsl{20, 2, 90}));
    // Hue 40 x 1 / 80 = 0.5 exactly: 0, and 40 x 1 / 16 = 2.5: 2.
    EXPECT_EQ(Of(RzRGB(80, 1, 0)).H, 0);
    EXPECT_EQ(Of(RzRGB(16, 1, 0)).H, 2);
    // Grey luminance 8: 8 x 255 / 240 = 8.5, to 8.
    EXPECT_EQ(ColorFromHsl(0, 0, 8), TColor(0x080808));
    // Luminance 24: 25.5, to 26.
    EXPECT_EQ(ColorFromHsl(0, 0, 24), TColor(0x1A1A1A));
}

TEST(ColorMath, LightenDarkenShift) {
    EXPECT_EQ(LightenColor(0xFFFF00, 30), TColor(0xFFFD40));
    EXPECT_EQ(DarkenColor(0xC0C0C0, 20), TColor(0xABABAB));
    // Below luminance 100, darkening by 100 is black.
    EXPECT_EQ(DarkenColor(0x404040, 100), clBlack);
    // Lightening goes up to 255 and channels are limited: white for grey.
    EXPECT_EQ(LightenColor(0xA0A0A0, 100), clWhite);
    EXPECT_EQ(ShiftColor(clBtnFace, 0), clBtnFace);
    EXPECT_EQ(ShiftColor(0xC0C0C0, -20), DarkenColor(0xC0C0C0, 20));
    EXPECT_EQ(ShiftColor(0xFFFF00, 30), LightenColor(0xFFFF00, 30));
}

TEST(ColorMath, HueDivisorAndSextants) {
    // 239 is the last hue: sextant 6, painted as sextant 0 (pure red).
    EXPECT_EQ(ColorFromHsl(239, 240, 120), clRed);
    EXPECT_EQ(ColorFromHsl(0, 240, 120), clRed);
    EXPECT_EQ(ColorFromHsl(80, 240, 120) & 0xFF00, 0xFF00);
    EXPECT_EQ(ColorFromHsl(0, 0, 0), clBlack);
    // A saturated round trip stays close.
    for (TColor c : {TColor(0x149BF0), TColor(0x3366CC), TColor(0x10E080)}) {
        uint8_t h, s, l;
        HslFromColor(c, h, s, l);
        uint32_t back = uint32_t(ColorFromHsl(h, s, l));
        EXPECT_NEAR(RzRed(back), RzRed(c), 3);
        EXPECT_NEAR(RzGreen(back), RzGreen(c), 3);
        EXPECT_NEAR(RzBlue(back), RzBlue(c), 3);
    }
}

TEST(ColorMath, MixAlikeOpposite) {
    EXPECT_EQ(MixColors(0xFFFFFF, 0x0080FF, 190), TColor(0xBEDFFF));
    EXPECT_EQ(MixColors(clRed, clBlue, 255), clRed);
    EXPECT_EQ(MixColors(clRed, clBlue, 0), clBlue);
    EXPECT_TRUE(ColorsAlike(clBlack, 0x202020));
    EXPECT_FALSE(ColorsAlike(clBlack, clWhite));
    EXPECT_FALSE(ColorsAlike(clRed, clLime));
    EXPECT_TRUE(ColorsAlike(clWindow, clWhite));
    EXPECT_EQ(HueOfColor(HueOppositeColor(clRed, 120)), 120);
    EXPECT_EQ(HueOfColor(HueOppositeColor(clBlue, 120)), 40);
}
