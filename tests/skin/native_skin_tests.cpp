// The engine's portable core: the command word, gradients, skin tables,
// default sections and start-up values.
#include <gtest/gtest.h>

#include <vector>

#include "sConst.h"
#include "sDateUtils.h"
#include "sDefaultSections.h"
#include "sGradient.h"
#include "sMessages.h"
#include "sSkinTables.h"
#include "sThirdParty.h"

TEST(SkinCommand, WordLayoutAndSixtyFourBitWParam) {
    EXPECT_EQ(SM_ALPHACMD, 0xA100u);
    EXPECT_EQ(SkinWParam(scGetBackground), 0x220000u);
    EXPECT_EQ(SkinWParam(scSetUpdating, 1), 0x80001u);
    EXPECT_EQ(SkinCommandOf(SkinWParam(scQueryColor, 7)), scQueryColor);
    EXPECT_EQ(SkinArgumentOf(SkinWParam(scQueryColor, 7)), 7);
    // Only the low 32 bits carry the command: a dirty upper half changes nothing.
    EXPECT_EQ(SkinCommandOf(0xFFFFFFFF00070000ull), scIsSkinned);
    EXPECT_EQ(SkinCommandOf(0x0000000100000000ull), 0);
    EXPECT_TRUE(IsSkinCommand(1));
    EXPECT_TRUE(IsSkinCommand(61));
    for (unsigned unused : {0u, 18u, 24u, 33u, 37u, 50u, 53u, 59u, 62u, 1000u}) EXPECT_FALSE(IsSkinCommand(unused)) << unused;
}

TEST(EngineConstants, StartValues) {
    EXPECT_EQ(TransparentKeyColor, 0xFF00FF);
    EXPECT_EQ(EmptyCacheInfo.Bmp, nullptr);
    EXPECT_EQ(EmptyCacheInfo.X, -99);
    EXPECT_EQ(EmptyCacheInfo.Y, -99);
    EXPECT_FALSE(EmptyCacheInfo.Ready);
    EXPECT_EQ(HScrollHeight, 16);
    EXPECT_STREQ(ThirdPartyCaptions[0], "Edit");
    EXPECT_STREQ(ThirdPartyCaptions[6], "GroupBox");
    EXPECT_STREQ(ThirdPartyCaptions[16], "StatusBar");
    for (int i = 0; i < ThirdPartyCount; ++i) EXPECT_STREQ(ThirdPartyDefaults[i], " ");
    EXPECT_TRUE(HasFourDigitYear("dd.MM.yyyy"));
    EXPECT_FALSE(HasFourDigitYear("dd.MM.yy"));
    EXPECT_TRUE(HasFourDigitYear("YYYY-MM-DD"));
}

TEST(DefaultSections, ByTypeCode) {
    EXPECT_EQ(DefaultSectionName(2, "TsEdit"), "EDIT");
    EXPECT_EQ(DefaultSectionName(227, "X"), "EDIT");
    EXPECT_EQ(DefaultSectionName(18, "X"), "COMBOBOX");
    EXPECT_EQ(DefaultSectionName(52, "X"), "PANEL_LOW");
    EXPECT_EQ(DefaultSectionName(226, "X"), "GROUPBOX");
    EXPECT_EQ(DefaultSectionName(143, "X"), "PAGECONTROL");
    EXPECT_EQ(DefaultSectionName(165, "X"), "TRACKBAR");
    EXPECT_EQ(DefaultSectionName(142, "TsScrollBar"), "TSSCROLLBAR");
    EXPECT_EQ(DefaultSectionName(0, "TsCustom"), "TSCUSTOM");
    for (int c : {19, 51, 60, 74, 110, 141, 142, 161}) EXPECT_TRUE(IsNoHoverCode(c)) << c;
    for (int c : {0, 18, 50, 75, 109, 140, 162, 256 + 19, 1000}) EXPECT_FALSE(IsNoHoverCode(c)) << c;
}

// ---- gradients ----

namespace {
struct Bmp24 {
    int W, H;
    std::vector<uint8_t> Px;
    Bmp24(int w, int h) : W(w), H(h), Px(size_t(w * h * 3 + 64), 0xAB) {}
    TacPixelView View() { return TacPixelView{Px.data(), ptrdiff_t(W * 3), W, H}; }
    TColor At(int x, int y) const {
        const uint8_t* p = &Px[size_t((y * W + x) * 3)];
        return TColor(p[2]) | (TColor(p[1]) << 8) | (TColor(p[0]) << 16);
    }
    bool GuardIntact() const {
        for (size_t i = size_t(W * H * 3); i < Px.size(); ++i)
            if (Px[i] != 0xAB) return false;
        return true;
    }
};
}  // namespace

TEST(Gradient, ParsesBandsClampsPercentAndIgnoresSurplus) {
    TsGradArray b;
    ParseGradientData("255;16711680;50;0;0;65280;255;150;0;0;1;2", b);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[0].StartColor, 255);
    EXPECT_EQ(b[0].EndColor, 16711680);
    EXPECT_EQ(b[0].BandPercent, 50);
    EXPECT_EQ(b[1].StartColor, 65280);
    EXPECT_EQ(b[1].BandPercent, 100);
    ParseGradientData("1;2;3;4", b);
    EXPECT_TRUE(b.empty());
    ParseGradientData("", b);
    EXPECT_TRUE(b.empty());
    EXPECT_THROW(ParseGradientData("1;x;3;4;5", b), EConvertError);
}

TEST(Gradient, TwoVerticalBands) {
    TsGradArray b;
    ParseGradientData("255;16711680;50;0;0;65280;255;50;0;0", b);
    Bmp24 bmp(4, 100);
    ASSERT_TRUE(PaintGradientView(bmp.View(), TRect{0, 0, 4, 100}, b, 0));
    EXPECT_EQ(bmp.At(0, 0), 0x0000FF);   // red
    EXPECT_EQ(bmp.At(3, 25) & 0xFF, 0x80 - 0);  // half-way red to blue: 127.5 rounds to even
    EXPECT_EQ(bmp.At(2, 50), 0x00FF00);  // the second band starts green on the shared row
    EXPECT_EQ(bmp.At(1, 99), 0x0000FF);  // and ends red
    const TColor mid = bmp.At(0, 75);
    EXPECT_GT(mid & 0xFF, 0x60);
    EXPECT_GT((mid >> 8) & 0xFF, 0x60);
    EXPECT_TRUE(bmp.GuardIntact());
}

TEST(Gradient, ClipsToTheBitmapAndSkipsEmptyBands) {
    TsGradArray b;
    ParseGradientData("255;255;0;0;0;65280;65280;100;0;0", b);
    Bmp24 bmp(10, 20);
    PaintGradientView(bmp.View(), TRect{-5, -5, 50, 60}, b, 0);
    // The 0-percent band paints nothing; the next covers every row.
    for (int y = 0; y < 20; ++y) EXPECT_EQ(bmp.At(9, y), 0x00FF00) << y;
    EXPECT_TRUE(bmp.GuardIntact());
}

TEST(Gradient, HorizontalBandsAndTriangleVertices) {
    TsGradArray b;
    ParseGradientData("0;16777215;100;1;0", b);
    Bmp24 bmp(11, 3);
    ASSERT_TRUE(PaintGradientView(bmp.View(), TRect{0, 0, 11, 3}, b, 0));
    EXPECT_EQ(bmp.At(0, 1), 0x000000);
    EXPECT_EQ(bmp.At(10, 1), 0xFFFFFF);
    EXPECT_EQ(bmp.At(5, 2) & 0xFF, 0x80);  // 127.5 to even
    EXPECT_TRUE(bmp.GuardIntact());

    ParseGradientData("1;0;10;2;0;2;0;10;2;0;3;0;10;2;0", b);
    EXPECT_FALSE(PaintGradientView(bmp.View(), TRect{0, 0, 11, 3}, b, 0));
    const GradientTriangles t = TriangleVertices(TRect{0, 0, 100, 50}, 80, 40, b);
    EXPECT_EQ(t.V[1].X, 40);
    EXPECT_EQ(t.V[1].Y, 20);
    EXPECT_EQ(t.V[3].X, 80);
    EXPECT_EQ(t.V[3].Y, 40);
    EXPECT_EQ(t.V[2].Color, 3);
    EXPECT_EQ(t.V[3].Color, 3);  // missing bands repeat the vertex before
    EXPECT_EQ(t.V[4].Color, 3);
}

// ---- tables ----

namespace {
TsGeneralData Sec(const char* name, const char* parent = "") {
    TsGeneralData s;
    s.SectionName = name;
    s.ParentClass = parent;
    return s;
}
TsMaskData Mask(const char* section, const char* key, TacImgType type = itisaBorder) {
    TsMaskData m;
    m.SectionName = section;
    m.PropertyName = key;
    m.ImgType = type;
    m.R = TRect{0, 0, 90, 60};
    m.ImageCount = 3;
    m.MaskType = 1;
    return m;
}
}  // namespace

TEST(SkinTables, ExactCaseSensitiveLookUps) {
    TsSkinTables t;
    t.Sections = {Sec("GLOBALINFO"), Sec("PANEL"), Sec("BUTTON", "PANEL")};
    t.Masks = {Mask("PANEL", "BORDERSMASK"), Mask("PANEL", "PATTERN", itisaTexture)};
    EXPECT_EQ(t.SectionIndex("PANEL"), 1);
    EXPECT_EQ(t.SectionIndex("panel"), -1);
    EXPECT_EQ(t.SectionIndex("NOPE"), -1);
    EXPECT_EQ(t.MaskIndex("PANEL", "BORDERSMASK"), 0);
    EXPECT_EQ(t.MaskIndex("BUTTON", "BORDERSMASK"), -1);
    EXPECT_EQ(t.MaskIndexInherited(t.SectionAt(2), "BORDERSMASK"), 0);
    EXPECT_EQ(t.MaskIndexInherited(t.SectionAt(-1), "BORDERSMASK"), -1);
    EXPECT_EQ(t.MaskIndexInherited(TsSection{2, ""}, "BORDERSMASK"), -1);
    EXPECT_EQ(t.TextureIndex(t.SectionAt(2), "PATTERN"), 1);
    EXPECT_EQ(t.TextureIndex(t.SectionAt(2), "BORDERSMASK"), -1);  // not a texture
    EXPECT_FALSE(t.IsValidSectionIndex(3));
    EXPECT_FALSE(t.IsValidMaskIndex(-1));
    // An index past the table is checked, not followed.
    EXPECT_EQ(t.MaskIndexInherited(TsSection{99, "BUTTON"}, "BORDERSMASK"), -1);
}

// A section the skin lacks falls to the control's default section, then to
// "GLOBALINFO", which a skin without one gets as a plain section.
TEST(SkinTables, MissingSectionsFallBackToDefaultsThenGlobalInfo) {
    TsSkinTables t;
    t.EnsureGlobalInfo(0x111111, 0x222222);
    EXPECT_TRUE(t.Sections.empty());  // no skin: still nothing
    EXPECT_FALSE(t.Resolve("EDIT", "EDIT").Valid());
    t.Sections = {Sec("PANEL"), Sec("EDIT")};
    t.EnsureGlobalInfo(0x111111, 0x222222);
    ASSERT_EQ(t.SectionIndex("GLOBALINFO"), 2);
    EXPECT_EQ(t.Sections[2].Color, 0x111111);
    EXPECT_EQ(t.Sections[2].HotColor, 0x111111);
    EXPECT_EQ(t.Sections[2].FontColor[0], 0x222222);
    t.EnsureGlobalInfo(0x333333, 0x444444);  // one is enough
    EXPECT_EQ(t.Sections.size(), 3u);
    EXPECT_EQ(t.Sections[2].Color, 0x111111);
    const struct { const char* Name; const char* Default; int Want; } cases[] = {
        {"PANEL", "EDIT", 0},       // present: itself
        {"MYEDIT", "EDIT", 1},      // missing: the default section
        {"CHECKBOX", "CHECKBOX", 2}, // default missing too: GLOBALINFO
        {"", "", 2},
    };
    for (const auto& c : cases) {
        const TsSection s = t.Resolve(c.Name, c.Default);
        EXPECT_EQ(s.Index, c.Want) << c.Name;
        EXPECT_EQ(s.Name, t.Sections[size_t(c.Want)].SectionName) << c.Name;  // the chosen one's own name
    }
}

// A fallback paints from one section: border masks and textures of the
// section chosen (and its parents), never of the name the skin lacks, nor of
// the other section's parent.
TEST(SkinTables, AFallbackTakesItsImagesFromTheSectionItChose) {
    TsSkinTables t;
    t.Sections = {Sec("GLOBALINFO"), Sec("BASE"), Sec("SCROLLBAR1V", "BASE"), Sec("BUTTON")};
    t.Masks = {Mask("BASE", "BORDERSMASK"), Mask("SCROLLBAR1V", "BORDERSMASK"), Mask("BUTTON", "BORDERSMASK"),
               Mask("BUTTON", "PATTERN", itisaTexture), Mask("SCROLLBAR1V", "PATTERN", itisaTexture)};
    const TsCommonIndexes c = t.CacheCommonIndexes();
    const struct {
        const char* What;
        int Section, Border, Pattern;
    } cases[] = {
        // Track half 2V lacks its section: half 1V's colours and images.
        {"missing scroll-track half", c.ScrollBar[3], c.ScrollBarBorder[3], c.ScrollBarPattern[3]},
        // No COMBOBTN: the combo box's button paints as a button.
        {"missing combo button", c.ComboBtn, c.ComboBtnBorder, c.ComboBtnPattern},
        // No SCROLLSLIDERV: the thumb paints as a button, not as nothing.
        {"missing scroll thumb", c.ScrollBtn[4], c.ScrollBtnBorder[4], c.ScrollBtnPattern[4]},
    };
    const int want[][3] = {{2, 1, 4}, {3, 2, 3}, {3, 2, 3}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].Section, want[i][0]) << cases[i].What;
        EXPECT_EQ(cases[i].Border, want[i][1]) << cases[i].What;
        EXPECT_EQ(cases[i].Pattern, want[i][2]) << cases[i].What;
    }
}

TEST(SkinTables, InheritanceLoopsEnd) {
    TsSkinTables t;
    t.Sections = {Sec("SELF", "SELF"), Sec("A", "B"), Sec("B", "A"), Sec("C", "A")};
    t.Masks = {Mask("Z", "BORDERSMASK")};
    t.Patterns = {TsPatternData{nullptr, "Q", "PATTERN"}};
    EXPECT_EQ(t.MaskIndexInherited(t.SectionAt(0), "BORDERSMASK"), -1);
    EXPECT_EQ(t.MaskIndexInherited(t.SectionAt(1), "BORDERSMASK"), -1);
    EXPECT_EQ(t.MaskIndexInherited(t.SectionAt(3), "BORDERSMASK"), -1);
    EXPECT_EQ(t.TextureIndex(t.SectionAt(2), "PATTERN"), -1);
    EXPECT_EQ(t.PatternIndex(t.SectionAt(1), "PATTERN"), -1);
    t.Patterns.push_back(TsPatternData{nullptr, "B", "PATTERN"});
    EXPECT_EQ(t.PatternIndex(t.SectionAt(3), "PATTERN"), 1);  // C -> A -> B
}

TEST(SkinTables, MarginsAndStateCells) {
    TsMaskData m = Mask("S", "BORDERSMASK");
    EXPECT_EQ(MaskMarginLeft(m), 10);   // 90 div (3 * 3)
    EXPECT_EQ(MaskMarginTop(m), 10);    // 60 div (2 * 3)
    m.WL = 4;
    m.BorderWidth = 2;
    EXPECT_EQ(MaskMarginLeft(m), 4);
    EXPECT_EQ(MaskMarginRight(m), 2);
    m.BorderWidth = 0;
    m.ImageCount = 0;  // read as one cell: no division by zero
    EXPECT_EQ(MaskMarginRight(m), 30);
    EXPECT_EQ(MaskStateSize(m, 0, 0).X, 90);
    m.ImageCount = 3;
    EXPECT_EQ(MaskStateSize(m, 0, 0).X, 30);
    EXPECT_EQ(MaskStateSize(m, 0, 0).Y, 30);
    m.Image = reinterpret_cast<TBitmap*>(&m);  // an own image: three cells by two
    EXPECT_EQ(MaskStateSize(m, 99, 40).X, 33);
    EXPECT_EQ(MaskStateSize(m, 99, 40).Y, 20);
    TsMaskData c = Mask("S", "K");
    ComputeMaskMargins(c);
    EXPECT_EQ(c.WL, 10);
    EXPECT_EQ(c.WB, 10);
    c.BorderWidth = 6;
    ComputeMaskMargins(c);
    EXPECT_EQ(c.WR, 6);
}

TEST(SkinTables, SectionDefaultsAndCommonIndexes) {
    TsGeneralData s;
    EXPECT_EQ(s.FontColor[1], -1);
    EXPECT_EQ(s.HotFontColor[4], -1);
    EXPECT_EQ(s.Color, 0xFFFFFF);
    s.HotTransparency = 40;
    EXPECT_EQ(s.StateTransparency(1), 40);
    EXPECT_EQ(s.StateTransparency(0), 0);

    TsSkinTables t;
    TsCommonIndexes none = t.CacheCommonIndexes();
    EXPECT_EQ(none.GlobalInfo, -1);
    EXPECT_EQ(none.ScrollBar[1], -1);
    t.Sections = {Sec("GLOBALINFO"), Sec("SCROLLBAR1V"), Sec("SCROLLSLIDERV", "SCROLLBAR1V")};
    t.Masks = {Mask("GLOBALINFO", "BOXCHECKED"), Mask("SCROLLBAR1V", "BORDERSMASK"),
               Mask("SCROLLSLIDERV", "GLYPHMASK")};
    TsCommonIndexes c = t.CacheCommonIndexes();
    EXPECT_EQ(c.GlobalInfo, 0);
    EXPECT_EQ(c.CheckBoxChecked, 0);
    EXPECT_EQ(c.CheckBoxUnchecked, -1);
    EXPECT_EQ(c.ScrollBar[1], 1);
    EXPECT_EQ(c.ScrollBarBorder[1], 1);
    EXPECT_EQ(c.ScrollBar[3], 1);  // 2V missing: the other half's section
    EXPECT_EQ(c.ScrollBar[0], 0);  // both H halves missing: GLOBALINFO
    EXPECT_EQ(c.ScrollBarBorder[0], -1);
    EXPECT_EQ(c.ScrollBtn[4], 2);
    EXPECT_EQ(c.ScrollBtnBorder[4], 1);  // inherited from SCROLLBAR1V
    EXPECT_EQ(c.ScrollBtnGlyph[4], 2);
    EXPECT_EQ(c.ScrollBtn[0], 0);  // no arrow section and no BUTTON: GLOBALINFO
    EXPECT_EQ(c.ScrollBtnGlyph[0], -1);
}
