// Reading skins, natively: the skin text with inheritance, every image value
// form with its margins, the packed container, the colour shifts, the common
// sections merge, skin names and the skin directory.
#include <gtest/gtest.h>

#include <cstring>

#include "SkinPackCraft.h"
#include "acSkinPack.h"
#include "sColorAdjust.h"
#include "sSkinNames.h"
#include "sSkinText.h"

namespace {
TColor Identity(TColor c) { return c; }
using namespace skinpack_craft;

std::unique_ptr<TacSkinConvertor> Parsed(const Bytes& b, bool& ok) {
    auto c = std::make_unique<TacSkinConvertor>();
    c->SourceStream = std::make_unique<TMemoryStream>();
    c->SourceStream->WriteBuffer(b.data(), int64_t(b.size()));
    ok = c->Parse();
    return c;
}
}  // namespace

TEST(SkinText, InheritedReadsFollowTheParentAndEndOnLoops) {
    const TacSkinIni ini(
        "[PANEL]\r\nCOLOR=0x00FF\r\nTRANSPARENCY=40\r\nGRADIENTDATA=255;0;100;0;0\r\n"
        "[MYPANEL]\r\n PARENTCLASS = panel \r\nCOLOR=-1\r\n"
        "[ORPHAN]\r\nCOLOR=-1\r\n[SELF]\r\nPARENTCLASS=SELF\r\n"
        "[A]\r\nPARENTCLASS=B\r\n[B]\r\nPARENTCLASS=C\r\n[C]\r\nPARENTCLASS=A\r\n");
    EXPECT_EQ(ReadIntegerInherited(ini, "MYPANEL", "COLOR", 0xFFFFFF), 255);
    EXPECT_EQ(ReadIntegerInherited(ini, "ORPHAN", "COLOR", 0xFFFFFF), 0xFFFFFF);
    EXPECT_EQ(ReadIntegerInherited(ini, "SELF", "COLOR", 7), 7);
    EXPECT_EQ(ReadStringInherited(ini, "A", "COLOR", "d"), "d");  // A -> B -> C -> A ends
    EXPECT_EQ(ReadStringInherited(ini, "mypanel", "TRANSPARENCY", "0"), "40");
    const TsGeneralData g = ReadSectionData(ini, "MYPANEL", Identity);
    EXPECT_EQ(g.ParentClass, "panel");
    EXPECT_EQ(g.Color, 255);
    EXPECT_EQ(g.Transparency, 40);
    ASSERT_EQ(g.GradientBands.size(), 1u);
    EXPECT_EQ(g.GradientBands[0].StartColor, 255);
    EXPECT_EQ(g.FontColor[1], -1);  // no TCLEFT
    EXPECT_EQ(g.FadingIterations, 5);
}

TEST(SkinText, GlobalValuesReadWithAPointWhateverTheLocale) {
    const TacSkinIni ini("[GLOBALINFO]\nVERSION=6.1\nAUTHOR=Us\nSHADOW1BLUR=3\nBORDERCOLOR=0xFF\nBICONMAXGLOW=4\n");
    const TsSkinValues v = ReadSkinValues(ini);
    EXPECT_DOUBLE_EQ(v.Version, 6.1);
    EXPECT_EQ(v.Author, "Us");
    EXPECT_EQ(v.Shadow1Blur, 3);
    EXPECT_EQ(v.BorderColor, 255);
    EXPECT_EQ(v.BIMaxGlow, 4);
    EXPECT_EQ(ReadSkinValues(TacSkinIni("")).Shadow1Blur, -1);
}

struct ImageCase {
    const char* Value;
    TacImageForm Form;
    TRect R;  // own images: the image's size stands in
    int ImageCount, MaskType, StretchMode, BorderWidth;
    int WL, WT, WR, WB;
    bool Upper;
};

TEST(SkinText, EveryImageValueFormWithItsMargins) {
    const ImageCase cases[] = {
        // Own image 90 x 60, three cells, mask below: margins 90 div 9, 60 div 6.
        {"!BTN.BMP!3!1!0", TacImageForm::OwnFile, {0, 0, 90, 60}, 3, 1, 4, 0, 10, 10, 10, 10, false},
        {"!BTN.PNG!1!0!2!4!5!6!7", TacImageForm::OwnFile, {0, 0, 90, 60}, 1, 0, 4, 0, 4, 5, 6, 7, false},
        {"!BTN.BMP!1!0!0!0!0!0!0", TacImageForm::OwnFile, {0, 0, 30, 30}, 1, 0, 4, 0, 10, 10, 10, 10, false},
        {"@  10   20   40   36 3 1", TacImageForm::Glyph, {10, 20, 40, 36}, 3, 1, 0, 0, 0, 0, 0, 0, false},
        {"^   0    0   90   60    5    6    7    8 3 1 2 0", TacImageForm::Border, {0, 0, 90, 60}, 3, 1, 2, 0,
         5, 6, 7, 8, false},
        {"^   0    0   90   60    0    0    0    0 3 1 2 4", TacImageForm::Border, {0, 0, 90, 60}, 3, 1, 2, 4,
         4, 4, 4, 4, false},
        {"~   0    0   30   30 12 1", TacImageForm::Texture, {0, 0, 30, 30}, 1, 1, 12, 0, 10, 5, 10, 5, false},
        {"~   0    0   30   30 12", TacImageForm::Texture, {0, 0, 30, 30}, 1, 0, 12, 0, 10, 10, 10, 10, false},
        {"MASTER#(0,0,90,60)(3,1)", TacImageForm::MasterPart, {0, 0, 90, 60}, 3, 1, 1, 0, 10, 10, 10, 10, true},
        {"# (0,0,90,60) (0,-2,-1,3)", TacImageForm::MasterPart, {0, 0, 90, 60}, 1, 0, 3, 0, 30, 20, 30, 20, true},
        {"# (0,0,90,60) (3,1,5)", TacImageForm::MasterPart, {0, 0, 90, 60}, 3, 1, 1, 5, 5, 5, 5, 5, true},
        {"frame.bmp", TacImageForm::PlainFile, {0, 0, 90, 60}, 3, 1, 0, 0, 10, 10, 10, 10, true},
    };
    for (const ImageCase& c : cases) {
        SCOPED_TRACE(c.Value);
        TacImageValue v;
        ASSERT_TRUE(ParseImageValue(c.Value, v));
        EXPECT_EQ(v.Form, c.Form);
        if (v.Form == TacImageForm::OwnFile || v.Form == TacImageForm::PlainFile) v.R = c.R;
        const TsMaskData m = MaskFromValue(v, "Btn", "Mask");
        EXPECT_EQ(m.R, c.R);
        EXPECT_EQ(m.ImageCount, c.ImageCount);
        EXPECT_EQ(m.MaskType, c.MaskType);
        EXPECT_EQ(m.StretchMode, c.StretchMode);
        EXPECT_EQ(m.BorderWidth, c.BorderWidth);
        EXPECT_EQ((TRect{m.WL, m.WT, m.WR, m.WB}), (TRect{c.WL, c.WT, c.WR, c.WB}));
        EXPECT_EQ(m.SectionName, c.Upper ? "BTN" : "Btn");
    }
    TacImageValue v;
    EXPECT_FALSE(ParseImageValue("#", v));
    EXPECT_FALSE(ParseImageValue("12", v));
    EXPECT_FALSE(ParseImageValue("back.jpg", v));
    ASSERT_TRUE(ParseImageValue("!btn.bmp!3!1!0", v));
    EXPECT_EQ(v.FileName, "btn.bmp");  // as written: lower case finds no upper-case entry
    // An image type outside 0..3 makes no image; malformed numbers and
    // missing columns raise.
    EXPECT_FALSE(ParseImageValue("!BTN.BMP!3!1!9", v));
    EXPECT_FALSE(ParseImageValue("!BTN.BMP!3!1!-1", v));
    for (const char* bad : {"!BTN.BMP", "!BTN.BMP!x!1!0", "@  10", "^   0    0   90   6x",
                            "~", "#(0,0,9)(1,1)", "#(a,0,9,9)(1,1)"})
        EXPECT_THROW(ParseImageValue(bad, v), EConvertError) << bad;
}

TEST(SkinText, RectanglesOutsideTheMasterAndZeroCountsAreSafe) {
    EXPECT_TRUE(RectInside({0, 0, 10, 10}, 10, 10));
    EXPECT_FALSE(RectInside({0, 0, 11, 10}, 10, 10));
    EXPECT_FALSE(RectInside({-1, 0, 5, 5}, 10, 10));
    EXPECT_FALSE(RectInside({5, 5, 5, 9}, 10, 10));
    EXPECT_FALSE(RectInside({5, 5, 2, 9}, 10, 10));
    TacImageValue v;
    ASSERT_TRUE(ParseImageValue("@   0    0   30   30 0 0", v));
    TsMaskData m = MaskFromValue(v, "S", "K");
    EXPECT_EQ(MaskStateSize(m, 0, 0), (TPoint{30, 30}));  // ImageCount 0 reads as 1
    ASSERT_TRUE(ParseImageValue("!B.BMP!0!-1!0", v));
    v.R = {0, 0, 30, 30};
    m = MaskFromValue(v, "S", "K");
    EXPECT_EQ(m.WL, 10);
    EXPECT_EQ(m.WT, 10);
}

TEST(SkinText, CommonSectionsAddNewSectionsFromTheirParent) {
    std::vector<TsGeneralData> sections(1);
    sections[0].SectionName = "PANEL";
    sections[0].Color = 0x123456;
    sections[0].Transparency = 30;
    const TacSkinIni common("[PANEL]\nCOLOR=1\n[MYPANEL]\nPARENTCLASS=panel\nCOLOR=0x10\n[LOOSE]\nGLOW=2\n");
    MergeCommonSections(sections, common, Identity);
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].Color, 0x123456);  // the skin's entry stays
    EXPECT_EQ(sections[1].SectionName, "MYPANEL");
    EXPECT_EQ(sections[1].ParentClass, "PANEL");
    EXPECT_EQ(sections[1].Color, 16);
    EXPECT_EQ(sections[1].Transparency, 30);
    EXPECT_EQ(sections[2].Color, 0xFFFFFF);
    EXPECT_EQ(sections[2].GlowCount, 2);
}

TEST(SkinText, StoredFontColourStrings) {
    TColor c[5];
    EXPECT_TRUE(ParseFontColors("255 -1 1 2 3", c));
    EXPECT_EQ(c[0], 255);
    EXPECT_EQ(c[4], 3);
    for (const char* bad : {"", "1 2 3 4", "1 2 3 4 x", "1 2 3 4 5 6"}) {
        EXPECT_FALSE(ParseFontColors(bad, c)) << bad;
        EXPECT_EQ(c[0], 0);
        EXPECT_EQ(c[1], -1);
    }
}

TEST(ColourAdjustments, SaturationAndHueEdgeCases) {
    EXPECT_EQ(ShiftSaturation(0x0000FF, 100), 0x555555);
    EXPECT_EQ(ShiftSaturation(0x0000FF, -100), 0x0000FF);  // (425, -85, -85) limited
    EXPECT_EQ(ShiftSaturation(0x7F0000FF, 0), 0x7F0000FF);
    EXPECT_EQ(ShiftSaturation(0x7F000080, 50) >> 24, 0);
    EXPECT_EQ(RotateHue(120, 0x0000FF), 0x00FF00);
    EXPECT_EQ(RotateHue(-120, 0x0000FF), 0xFF0000);  // -120 is 240
    EXPECT_EQ(RotateHue(-480, 0x0000FF), 0xFF0000);
    EXPECT_EQ(RotateHue(360, 0x123456), 0x123456);
    for (TColor grey : {0x000000, 0x808080, 0xFFFFFF}) EXPECT_EQ(RotateHue(77, grey), grey);
    EXPECT_EQ(SaturationAmount(150), -49);
    EXPECT_EQ(SaturationAmount(30), -30);
    EXPECT_EQ(ShiftColor(clBtnFace, 90, 50), clBtnFace);  // system colours stay
}

TEST(ColourAdjustments, GreyFadeAndShiftKeepTheKeyColour) {
    // Three 24-bit pixels: key, grey, red.
    uint8_t px[9] = {0xFF, 0x00, 0xFF, 0x40, 0x40, 0x40, 0x00, 0x00, 0xFF};
    TacPixelView v{px, 9, 3, 1};
    uint8_t copy[9];
    std::memcpy(copy, px, 9);
    ShiftViewColors(v, 3, 120, 0);
    EXPECT_EQ(std::memcmp(px, copy, 6), 0);
    EXPECT_EQ(px[7], 0xFF);  // red became green
    EXPECT_EQ(px[8], 0x00);
    FadeTowardsColorView(v, 0x000000, 0xFF00FF, 0.5);
    EXPECT_EQ(px[0], 0xFF);
    EXPECT_EQ(px[3], 0x20);
    EXPECT_EQ(px[7], 0x80);  // round(127.5) to even
    MakeGreyView(v);
    EXPECT_EQ(px[0], (0xFF + 0xFF) / 3);
    EXPECT_EQ(px[6], px[8]);
}

TEST(PackedSkin, EntriesFollowEachOtherAndNamesAreTakenAsStored) {
    bool ok = false;
    auto one = Parsed(Container({{"options.DAT", "[GLOBALINFO]\r\nVERSION=6\r\n"}}), ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(one->ImageCount, 0);
    EXPECT_TRUE(one->ImageItems.empty());
    ASSERT_TRUE(one->OptionsStream);
    EXPECT_EQ(one->OptionsStream->Size(), 25);
    const std::string big(200000, 'x');  // more than one 64 KiB input block
    auto three = Parsed(Container({{"btn.bmp", big}, {"Options.dat", "[A]"}, {"btn.png", "PNG"}}), ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(three->ImageCount, 2);
    ASSERT_EQ(three->ImageItems.size(), 2u);
    EXPECT_TRUE(three->ImageItems[0].IsBitmap);
    EXPECT_FALSE(three->ImageItems[1].IsBitmap);
    EXPECT_EQ(three->ImageItems[0].Data->Size(), 200000);
    EXPECT_EQ(three->ImageItems[1].Data->Size(), 3);
    EXPECT_EQ(three->Find("BTN.PNG"), &three->ImageItems[1]);
    EXPECT_EQ(three->Find("btn.png"), nullptr);
    EXPECT_EQ(three->SourceStream->Position(), three->SourceStream->Size());
}

TEST(PackedSkin, ThatIsNoContainerIsRefusedWithoutRaising) {
    bool ok = true;
    Parsed(Container({{"Options.dat", "x"}}, "ASZF"), ok);
    EXPECT_FALSE(ok);
    Parsed(Container({{"a.bmp", "x"}}), ok);  // no skin text
    EXPECT_FALSE(ok);
    Parsed(Bytes{'A', 'S'}, ok);
    EXPECT_FALSE(ok);
}

TEST(PackedSkin, DamagedContainersRaiseAStreamOrDecompressionError) {
    const Bytes good = Container({{"Options.dat", std::string(1000, 'o')}, {"a.bmp", "abc"}});
    bool ok;
    Bytes b;
    auto set32 = [&](size_t at, int32_t v) {
        b = good;
        for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
    };
    const size_t sizeAt = 8 + 4 + 11;
    for (int32_t bad : {-1, INT32_MIN, 3, 0x7FFFFFFF}) {
        set32(4, bad);  // N
        EXPECT_THROW(Parsed(b, ok), EStreamError) << "N " << bad;
        set32(8, bad == 3 ? 1000 : bad);  // L
        EXPECT_THROW(Parsed(b, ok), EStreamError) << "L " << bad;
        set32(sizeAt, bad == 3 ? 999 : bad);  // S: negative, short, huge
        EXPECT_THROW(Parsed(b, ok), EStreamError) << "S " << bad;
    }
    // Every truncation raises; none reads past the end.
    for (size_t n = 8; n < good.size(); ++n) {
        b.assign(good.begin(), good.begin() + long(n));
        EXPECT_THROW(Parsed(b, ok), EStreamError) << n;
    }
    b = good;
    b[sizeAt + 4 + 5] ^= 0x55;  // inside the first deflate stream
    EXPECT_THROW(Parsed(b, ok), EStreamError);
}

TEST(SkinNames, KindsAndDirectories) {
    const std::vector<TacDirEntry> dir = {{"Zeta", true, true},   {"Empty", true, false}, {"Packed.asz", false, false},
                                          {"Upper.ASZ", false, false}, {".hidden.asz", false, false},
                                          {"Alpha", true, true},  {"Two.x.asz", false, false}};
    AnsiString first;
    EXPECT_EQ(SkinNamesOf({}, dir, 0, first), (std::vector<AnsiString>{"Alpha", "Zeta"}));
    EXPECT_EQ(first, "Zeta");
    EXPECT_EQ(SkinNamesOf({}, dir, 1, first), (std::vector<AnsiString>{"Packed", "Two"}));
    EXPECT_EQ(SkinNamesOf({"Stored"}, dir, 2, first).size(), 5u);
    EXPECT_EQ(first, "Stored");
    const AnsiString app = "C:\\App\\Bin\\";
    EXPECT_EQ(ResolveSkinFolder("..\\Skins", app), "C:\\App\\Skins\\");
    EXPECT_EQ(ResolveSkinFolder("Skins", app), "C:\\App\\Bin\\Skins\\");
    EXPECT_EQ(ResolveSkinFolder("./Skins", app), "C:\\App\\Bin\\Skins\\");
    EXPECT_EQ(ResolveSkinFolder("\\\\server\\share", app), "\\\\server\\share\\");
    EXPECT_EQ(ResolveSkinFolder("d:\\Look\\", app), "d:\\Look\\");
}
