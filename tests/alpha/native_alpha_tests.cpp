// Pixel accessors, blending maths and the text/rectangle utilities, natively.
#include <gtest/gtest.h>

#include <vector>

#include "acBlend.h"
#include "acFastPixels.h"
#include "acntUtils.h"

namespace {

// A pixel buffer of W x H with Bpp bytes a pixel, viewable top-down or bottom-up.
struct Pixels {
    int W, H, Bpp, Stride;
    std::vector<uint8_t> Data;
    Pixels(int w, int h, int bpp) : W(w), H(h), Bpp(bpp), Stride((w * bpp + 3) & ~3), Data(size_t(Stride) * h) {}
    TacPixelView View(bool bottomUp = false) {
        TacPixelView v;
        v.Width = W;
        v.Height = H;
        if (bottomUp) {
            v.Start = Data.data() + size_t(Stride) * (H - 1);
            v.RowDelta = -Stride;
        } else {
            v.Start = Data.data();
            v.RowDelta = Stride;
        }
        return v;
    }
    uint8_t* At(int x, int y) { return Data.data() + size_t(Stride) * y + size_t(x) * Bpp; }
    void Fill(std::initializer_list<uint8_t> px) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                int i = 0;
                for (uint8_t b : px) At(x, y)[i++] = b;
            }
    }
};

}  // namespace

// ---- accessors -----------------------------------------------------------------

TEST(AlphaFastPixels, BindingRefusesTinyOrMissingBitmaps) {
    Pixels one(1, 5, 4), low(5, 1, 3), ok(2, 2, 4);
    TacPixels32 f32;
    ASSERT_TRUE(f32.BindView(ok.View()));
    EXPECT_EQ(f32.Width, 2);
    EXPECT_FALSE(f32.BindView(one.View()));
    EXPECT_EQ(f32.Width, 0);
    TacPixels24 f24;
    EXPECT_FALSE(f24.BindView(low.View()));
    EXPECT_EQ(f24.Width, 0);
    EXPECT_FALSE(f24.BindView(TacPixelView{}));

    TacPixelSum24 sum;
    Pixels a(4, 4, 3), b(3, 6, 3);
    EXPECT_FALSE(sum.BindViews(a.View(), low.View()));
    EXPECT_EQ(sum.Width, 0);  // left as it was
    ASSERT_TRUE(sum.BindViews(a.View(), b.View()));
    EXPECT_EQ(sum.Width, 3);
    EXPECT_EQ(sum.Height, 4);
}

TEST(AlphaFastPixels, ReadWriteLayoutAndRowDirection) {
    Pixels p(3, 4, 4);
    uint8_t* px = p.At(1, 2);
    px[0] = 0x10, px[1] = 0x20, px[2] = 0x30, px[3] = 0x80;
    TacPixels32 top, bottom;
    ASSERT_TRUE(top.BindView(p.View(false)));
    EXPECT_EQ(uint32_t(top.ReadPixel(1, 2)), 0x30102030u);  // top byte repeats red, not alpha
    top.WritePixel(2, 3, TColor(0x80112233));
    EXPECT_EQ(p.At(2, 3)[0], 0x11);
    EXPECT_EQ(p.At(2, 3)[1], 0x22);
    EXPECT_EQ(p.At(2, 3)[2], 0x33);
    EXPECT_EQ(p.At(2, 3)[3], 0x80);

    // The same picture stored bottom-up reads the same at the same (x, y).
    Pixels flipped(3, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            for (int i = 0; i < 4; ++i) flipped.At(x, 3 - y)[i] = p.At(x, y)[i];
    ASSERT_TRUE(bottom.BindView(flipped.View(true)));
    EXPECT_LT(bottom.RowDelta, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(bottom.ReadPixel(x, y), top.ReadPixel(x, y));

    Pixels q(2, 2, 3);
    q.At(1, 1)[0] = 0xAA, q.At(1, 1)[1] = 0xBB, q.At(1, 1)[2] = 0xCC;
    TacPixels24 f24;
    ASSERT_TRUE(f24.BindView(q.View(true)));
    EXPECT_EQ(uint32_t(f24.ReadPixel(1, 0)), 0xAABBCCu);  // row 0 of a bottom-up view is the last stored row
}

TEST(AlphaFastPixels, BlendRectWeightsAndRectangles) {
    Pixels src(4, 4, 3), dst(4, 4, 3);
    src.Fill({100, 100, 100});
    dst.Fill({200, 200, 200});
    TacPixelSum24 sum;
    ASSERT_TRUE(sum.BindViews(src.View(), dst.View()));
    sum.Alpha = 128;
    sum.DestRect = Rect(1, 1, 3, 3);
    sum.SourceRect = Rect(0, 0, 2, 2);
    sum.BlendRect();
    EXPECT_EQ(dst.At(1, 1)[0], 150);
    EXPECT_EQ(dst.At(2, 2)[2], 150);
    EXPECT_EQ(dst.At(0, 0)[0], 200);  // outside DestRect
    EXPECT_EQ(dst.At(3, 3)[0], 200);

    // Not renormalised: weight 255 turns 255 into 254, weight 0 gives 254 from 255.
    Pixels white(2, 2, 3), out(2, 2, 3);
    white.Fill({255, 255, 255});
    out.Fill({255, 255, 255});
    ASSERT_TRUE(sum.BindViews(white.View(), out.View()));
    sum.DestRect = sum.SourceRect = Rect(0, 0, 2, 2);
    sum.Alpha = 255;
    sum.BlendRect();
    EXPECT_EQ(out.At(0, 0)[0], 254);
    out.Fill({0, 0, 0});
    sum.Alpha = 0;
    sum.BlendRect();
    EXPECT_EQ(out.At(1, 1)[1], 254);

    // Source rows are taken from the bottom: distinct source rows land in order.
    Pixels rows(2, 3, 3), tgt(2, 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x) rows.At(x, y)[0] = uint8_t(10 * (y + 1) + x);
    ASSERT_TRUE(sum.BindViews(rows.View(), tgt.View(true)));
    sum.Alpha = 0;
    sum.SourceRect = Rect(0, 1, 2, 3);
    sum.DestRect = Rect(0, 0, 2, 2);
    sum.BlendRect();
    TacPixels24 rd;
    ASSERT_TRUE(rd.BindView(tgt.View(true)));
    EXPECT_EQ((rd.ReadPixel(0, 0) >> 16) & 0xFF, (20 * 255 + 127) >> 8);
    EXPECT_EQ((rd.ReadPixel(1, 1) >> 16) & 0xFF, (31 * 255 + 127) >> 8);
}

// ---- alpha blend -------------------------------------------------------------

namespace {
// Blends one source pixel (b, g, r, a) over a destination of one grey level.
uint8_t BlendOne(uint8_t s, uint8_t a, uint8_t d, int transparency = 0) {
    Pixels src(2, 2, 4), dst(2, 2, 3);
    src.Fill({s, s, s, a});
    dst.Fill({d, d, d});
    BlendAlphaView(dst.View(), src.View(), Rect(0, 0, 2, 2), Rect(0, 0, 2, 2), nullptr, false, clNone, transparency);
    return dst.At(1, 1)[1];
}
}  // namespace

TEST(AlphaBlend, PerPixelArithmetic) {
    EXPECT_EQ(BlendOne(255, 255, 0), 254);    // opaque white over black
    EXPECT_EQ(BlendOne(0, 255, 255), 0);      // opaque black over white
    EXPECT_EQ(BlendOne(255, 255, 255), 255);  // white over white
    EXPECT_EQ(BlendOne(200, 128, 100), 150);
    EXPECT_EQ(BlendOne(77, 0, 123), 123);     // transparent leaves it exactly
    // Transparency 50 halves the weight (255 -> 127).
    EXPECT_EQ(BlendOne(255, 255, 0, 50), (255 * 127) >> 8);
    EXPECT_EQ(BlendOne(0, 255, 200, 50), (200 * 129) >> 8);
    // Out-of-range percentages are clamped, not wrapped into negative weights.
    EXPECT_EQ(BlendOne(255, 255, 10, 150), 10);
    EXPECT_EQ(BlendOne(255, 255, 0, -40), 254);
}

TEST(AlphaBlend, OriginsAndClipping) {
    // Source column x holds value x + 1, opaque.
    Pixels src(10, 3, 4), dst(10, 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x) {
            uint8_t* p = src.At(x, y);
            p[0] = p[1] = p[2] = uint8_t(20 * (x + 1));
            p[3] = 255;
        }
    dst.Fill({0, 0, 0});
    // Left -5 over source Left 0: source Left becomes 5, destination Left 0.
    BlendAlphaView(dst.View(), src.View(), Rect(-5, 0, 5, 3), Rect(0, 0, 10, 3), nullptr, false, clNone, 0);
    EXPECT_EQ(dst.At(0, 0)[0], (120 * 255) >> 8);  // source column 5
    EXPECT_EQ(dst.At(4, 2)[0], (200 * 255) >> 8);  // source column 9
    EXPECT_EQ(dst.At(5, 0)[0], 0);                 // five columns fewer

    // Negative Top of the source moves the destination down.
    dst.Fill({0, 0, 0});
    BlendAlphaView(dst.View(), src.View(), Rect(0, 0, 2, 3), Rect(0, -2, 2, 1), nullptr, false, clNone, 0);
    EXPECT_EQ(dst.At(0, 1)[0], 0);
    EXPECT_NE(dst.At(0, 2)[0], 0);

    // Rectangles past either bitmap, empty or absurd, change nothing.
    dst.Fill({9, 9, 9});
    const auto before = dst.Data;
    BlendAlphaView(dst.View(), src.View(), Rect(10, 0, 20, 3), Rect(0, 0, 10, 3), nullptr, false, clNone, 0);
    BlendAlphaView(dst.View(), src.View(), Rect(0, 0, 0, 3), Rect(0, 0, 10, 3), nullptr, false, clNone, 0);
    BlendAlphaView(dst.View(), src.View(), Rect(-1000000000, 0, 1000000000, 3), Rect(2000000000, 0, -1, 3),
                   nullptr, false, clNone, 0);
    BlendAlphaView(dst.View(), src.View(), Rect(-20, 0, 10, 3), Rect(0, 0, 10, 3), nullptr, false, clNone, 0);
    EXPECT_EQ(dst.Data, before);

    // The destination rectangle is cut to the destination's size.
    Pixels small(3, 2, 3);
    small.Fill({0, 0, 0});
    BlendAlphaView(small.View(), src.View(), Rect(1, 1, 10, 3), Rect(0, 0, 10, 3), nullptr, false, clNone, 0);
    EXPECT_EQ(small.At(0, 1)[0], 0);
    EXPECT_NE(small.At(2, 1)[0], 0);
    EXPECT_EQ(small.At(2, 0)[0], 0);
}

namespace {
TColor ReadGreenish(void*, int x, int y) { return TColor(0x000100 * (x + 10 * y)); }
}  // namespace

TEST(AlphaBlend, KeyColourTintAndSourceUntouched) {
    Pixels src(4, 2, 4), dst(4, 2, 3);
    src.Fill({0x40, 0x80, 0xC0, 255});
    uint8_t* key = src.At(1, 0);
    key[0] = 0xFF, key[1] = 0x00, key[2] = 0xFF, key[3] = 255;
    dst.Fill({7, 7, 7});
    const auto srcBefore = src.Data;

    // Without a ready background the key colour blends like any other.
    BlendAlphaView(dst.View(), src.View(), Rect(0, 0, 4, 2), Rect(0, 0, 4, 2), nullptr, false, clNone, 0);
    EXPECT_EQ(dst.At(1, 0)[0], (0xFF * 255 + 7 * 1) >> 8);

    // With one, a key pixel is skipped, or filled from the background's pixel.
    TacKeyBackground bg;
    bg.Width = 3, bg.Height = 5, bg.X = 1, bg.Y = 2, bg.Read = ReadGreenish;
    dst.Fill({7, 7, 7});
    BlendAlphaView(dst.View(), src.View(), Rect(0, 0, 4, 2), Rect(0, 0, 4, 2), &bg, false, clNone, 0);
    EXPECT_EQ(dst.At(1, 0)[0], 7);
    EXPECT_EQ(dst.At(1, 0)[2], 7);
    BlendAlphaView(dst.View(), src.View(), Rect(0, 0, 4, 2), Rect(0, 0, 4, 2), &bg, true, clNone, 0);
    EXPECT_EQ(dst.At(1, 0)[1], (2 + 10 * 2));  // background (1 + 1, 0 + 2)
    EXPECT_EQ(dst.At(1, 0)[0], 0);
    // A key pixel right of the background's last column ends the row.
    Pixels wide(4, 2, 4);
    wide.Fill({0xFF, 0x00, 0xFF, 255});
    dst.Fill({7, 7, 7});
    bg.X = 0;
    BlendAlphaView(dst.View(), wide.View(), Rect(0, 0, 4, 2), Rect(0, 0, 4, 2), &bg, true, clNone, 0);
    EXPECT_EQ(dst.At(2, 0)[1], 2 + 20);
    EXPECT_EQ(dst.At(3, 0)[1], 7);

    // Tint: grey level times the tint's channels; the source stays as it was.
    dst.Fill({0, 0, 0});
    BlendAlphaView(dst.View(), src.View(), Rect(0, 0, 4, 2), Rect(0, 0, 4, 2), nullptr, false, TColor(0x0000FF), 0);
    const int grey = (0x40 + 0x80 + 0xC0) / 3;
    EXPECT_EQ(dst.At(0, 0)[2], (grey * 255) >> 8);  // red kept at full
    EXPECT_EQ(dst.At(0, 0)[0], 0);
    EXPECT_EQ(dst.At(0, 0)[1], 0);
    EXPECT_EQ(src.Data, srcBefore);

    uint8_t px[3] = {1, 2, 3};  // grey 2, tint 0x808080: 2 * 128 / 255 = 1.004
    TintPixel(px, TColor(0x808080));
    EXPECT_EQ(px[0], 1);
    uint8_t half[3] = {3, 3, 3};  // grey 3 * (255/255) stays 3
    TintPixel(half, TColor(0xFFFFFF));
    EXPECT_EQ(half[2], 3);
}

TEST(AlphaBlend, ChannelCopiesAndColourMixing) {
    Pixels img(5, 3, 4), plane(4, 6, 1);
    for (size_t i = 0; i < img.Data.size(); ++i) img.Data[i] = uint8_t(i * 7 + 3);
    const auto before = img.Data;
    CopyByteChannelView(img.View(), plane.View(), 3, true);
    EXPECT_EQ(plane.At(2, 1)[0], img.At(2, 1)[3]);
    EXPECT_EQ(plane.At(0, 3)[0], 0);  // beyond the image's rows: untouched
    CopyByteChannelView(img.View(), plane.View(), 3, false);
    EXPECT_EQ(img.Data, before);  // there and back is the identity
    plane.Fill({0x5A});
    CopyByteChannelView(img.View(), plane.View(), 1, false);
    EXPECT_EQ(img.At(3, 2)[1], 0x5A);
    EXPECT_EQ(img.At(3, 2)[0], before[img.At(3, 2) - img.Data.data()]);
    EXPECT_EQ(img.At(4, 2)[1], before[img.At(4, 2) + 1 - img.Data.data()]);  // column 4 is past the plane
    const auto kept = img.Data;
    CopyByteChannelView(img.View(), plane.View(), 4, false);
    CopyByteChannelView(img.View(), plane.View(), -1, false);
    EXPECT_EQ(img.Data, kept);

    // A grey picture's level becomes the alpha of the overlapping pixels only.
    Pixels grey(2, 2, 3);
    grey.Fill({77, 1, 2});
    CopyGreyToAlpha(grey.View(true), img.View());
    EXPECT_EQ(img.At(1, 1)[3], 77);
    EXPECT_EQ(img.At(1, 1)[2], kept[img.At(1, 1) + 2 - img.Data.data()]);
    EXPECT_EQ(img.At(2, 1)[3], kept[img.At(2, 1) + 3 - img.Data.data()]);

    EXPECT_EQ(uint32_t(BlendColors(TColor(0x7F000000 | 0x0000FF), 0x00FF00, 0.5)), 0x7F008080u);  // 127.5 -> 128
    EXPECT_EQ(uint32_t(BlendColors(0x000001, 0x000000, 0.5)), 0x000000u);                         // 0.5 -> 0
    EXPECT_EQ(uint32_t(BlendColors(0x000003, 0x000000, 0.5)), 0x000002u);                         // 1.5 -> 2
    EXPECT_EQ(BlendColors(0x102030, 0xFFFFFF, 1.7), 0x102030);
    EXPECT_EQ(BlendColors(0x102030, 0xFFFFFF, -3.0), 0xFFFFFF);
    EXPECT_EQ(IdentityColor(0x123456), 0x123456);
}

// ---- rectangles, words, INI text, paths ----------------------------------------

TEST(AlphaUtils, RectanglesAndNumbers) {
    const TRect r{10, 0, 4, 3};
    EXPECT_EQ(RectWidth(r, false), -6);
    EXPECT_EQ(RectWidth(r, true), 0);
    EXPECT_EQ(RectHeight(TRect{0, 9, 0, 2}, true), 0);
    EXPECT_EQ(RectHeight(TRect{0, 2, 0, 9}, true), 7);
    EXPECT_TRUE(RectsOverlap(Rect(0, 0, 10, 10), Rect(9, 9, 12, 12)));
    EXPECT_FALSE(RectsOverlap(Rect(0, 0, 10, 10), Rect(10, 0, 12, 10)));  // touching edges
    EXPECT_FALSE(RectsOverlap(Rect(0, 0, 10, 10), Rect(0, -5, 10, 0)));
    EXPECT_FALSE(RectsOverlap(Rect(0, 0, 10, 10), Rect(5, 5, 5, 8)));  // b empty
    EXPECT_EQ(ClampByte(-1), 0);
    EXPECT_EQ(ClampByte(255), 255);
    EXPECT_EQ(ClampByte(256), 255);
    EXPECT_TRUE(InRange(5, 5, 5));
    EXPECT_FALSE(InRange(6, 5, 5));
    EXPECT_EQ(MaxOf(-3, 2), 2);
    EXPECT_EQ(MinOf(-3, 2), -3);
    EXPECT_EQ(ChooseStr(false, "a", "b"), "b");
    EXPECT_EQ(SetRect4(1, 2, 3, 4), Rect(1, 2, 3, 4));
    const CacheInfo ci = MakeBitmapBackground(nullptr, 3, -4);
    EXPECT_TRUE(ci.Ready);
    EXPECT_EQ(ci.Color, 0xFF00FF);
    EXPECT_EQ(ci.Y, -4);
    EXPECT_FALSE(EmptyCacheInfo.Ready);
    EXPECT_EQ(EmptyCacheInfo.X, -99);
}

TEST(AlphaUtils, WordsAndReplacing) {
    const TacCharSet semi(";"), blank(" ");
    EXPECT_EQ(TakeWord(2, "a;;b;c", semi), "b");
    EXPECT_EQ(WordStartPos(2, "a;;b;c", semi), 4);
    EXPECT_EQ(CountWords("a;;b;c", semi), 3);
    EXPECT_EQ(CountWords(";;", semi), 0);
    EXPECT_EQ(CountWordsBySet("", semi), 0);
    EXPECT_EQ(WordStartPos(3, "two words", blank), 0);
    EXPECT_EQ(WordStartPosBySet(2, "  two words ", blank), 7);
    EXPECT_EQ(TakeWord(2, "  two words ", blank), "words");
    EXPECT_EQ(TakeWord(3, "  two words ", blank), "");
    EXPECT_EQ(TakeWord(0, "x", blank), "");
    EXPECT_EQ(TakeWord(-1, "x", blank), "");
    EXPECT_EQ(TakeWord(1, "\xC0\xC1 \xC2", blank), "\xC0\xC1");  // 8-bit characters are word characters
    TacCharSet high;
    high.Include(0xFF);
    EXPECT_TRUE(InCharSet(0xFF, high));
    EXPECT_FALSE(InCharSet(0x7F, high));
    EXPECT_EQ(CountWords("a\xFF" "b\xFF\xFF" "c", high), 3);

    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("a.b.c", ".", ".."), "a..b..c");  // replaced text is not searched again
    EXPECT_EQ(ReplaceAll("xyx", "x", ""), "y");
    EXPECT_EQ(RemoveChar("a-b--c-", '-'), "abc");
}

TEST(AlphaUtils, IniTextSectionsAndValues) {
    const std::vector<AnsiString> lines = {"NAME=before", "[GLOBALINFO]", "; comment", "VERSION=6", "",
                                           "[BUTTON]", "COLOR=0x00FF", "color=1", "[broken", "EMPTY=",
                                           "[GLOBALINFO]", "LATER=1"};
    const TacIniSections s = IniSplitLines(lines);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].Name, "GLOBALINFO");
    EXPECT_EQ(s[0].Lines.size(), 1u);  // the comment and the line before the first header are gone
    EXPECT_EQ(s[1].Lines.size(), 4u);  // "[broken" is a line of the section
    EXPECT_EQ(IniSectionsReadInteger(s, "button", "COLOR", -1), 255);
    EXPECT_EQ(IniSectionsReadString(s, "GLOBALINFO", "VERSION", "x"), "6");
    EXPECT_EQ(IniSectionsReadString(s, "GLOBALINFO", "MISSING", "dflt"), "dflt");
    EXPECT_EQ(IniSectionsReadString(s, "NOSUCH", "VERSION", "dflt"), "dflt");
    EXPECT_EQ(IniSectionsReadString(s, "GLOBALINFO", "NAME", "dflt"), "dflt");
    EXPECT_EQ(IniSectionsReadString(s, "GLOBALINFO", "LATER", "dflt"), "dflt");  // first section of the name only
    EXPECT_EQ(IniSectionsReadString(s, "BUTTON", "EMPTY", "dflt"), "");
    EXPECT_EQ(IniSectionsReadInteger(s, "BUTTON", "EMPTY", 42), 42);
    EXPECT_EQ(IniSectionsReadString(s, "BUTTON", "COLO", "d"), "d");  // a prefix of a name is no match

    AnsiString v;
    EXPECT_TRUE(IniLineValue("Key= spaced = value ", "KEY", v));
    EXPECT_EQ(v, " spaced = value ");  // untrimmed, everything after the first "="

    EXPECT_EQ(IniValueToInt("0x1F", 7), 31);
    EXPECT_EQ(IniValueToInt("0X1f", 7), 31);
    EXPECT_EQ(IniValueToInt("12", 7), 12);
    EXPECT_EQ(IniValueToInt("0x", 7), 7);
    EXPECT_EQ(IniValueToInt("0", 7), 0);
    EXPECT_EQ(IniValueToInt("$FF", 7), 255);
    EXPECT_EQ(IniValueToInt("0xFFFFFFFF", 7), -1);
    EXPECT_EQ(IniValueToInt("0x100000000", 7), 7);
    EXPECT_EQ(IniValueToInt("-12", 7), -12);
    EXPECT_EQ(IniValueToInt("2147483648", 7), 7);
    EXPECT_EQ(IniValueToInt("-2147483648", 7), -2147483647 - 1);
    EXPECT_EQ(IniValueToInt("99999999999999999999", 7), 7);
    EXPECT_EQ(IniValueToInt("12a", 7), 7);
    EXPECT_EQ(IniValueToInt(" 5 ", 7), 5);
    EXPECT_EQ(IniValueToInt("-", 7), 7);

    const auto split = IniTextLines("[A]\r\nX=1\nY=2\rZ=3\r\n\r\nW=4");
    ASSERT_EQ(split.size(), 6u);
    EXPECT_EQ(split[3], "Z=3");
    EXPECT_EQ(split[4], "");
}

TEST(AlphaUtils, PathsWithBackslash) {
    EXPECT_EQ(WithBackslash(""), "");
    EXPECT_EQ(WithBackslash("c"), "c:\\");
    EXPECT_EQ(WithBackslash("c:\\Skins"), "c:\\Skins\\");
    EXPECT_EQ(WithBackslash("c:\\Skins\\"), "c:\\Skins\\");
    EXPECT_EQ(WithBackslash("c:/Skins/"), "c:/Skins\\");
}
