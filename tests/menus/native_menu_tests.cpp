// The menus' portable arithmetic: shortcut texts both ways, accelerators of
// captions, the kinds of skinned item, their measured sizes and the size a
// pop-up takes from its columns.
#include <gtest/gtest.h>

#include "MenuText.h"
#include "acMenuGeometry.h"

TEST(MenuText, ShortCutsReadBackFromTheirText) {
    struct Case {
        TShortCut Sc;
        const char* Text;
    };
    const Case cases[] = {
        {ShortCutOf('O', scCtrl), "Ctrl+O"},
        {ShortCutOf('S', scCtrl | scShift), "Shift+Ctrl+S"},
        {ShortCutOf(0x73, scAlt), "Alt+F4"},
        {ShortCutOf(0x2E, 0), "Del"},
        {ShortCutOf('5', scShift | scCtrl | scAlt), "Shift+Ctrl+Alt+5"},
        {ShortCutOf(0x87, 0), "F24"},
        {ShortCutOf(0x0D, scCtrl), "Ctrl+Enter"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortCutToText(c.Sc), c.Text);
        EXPECT_EQ(TextToShortCut(c.Text), c.Sc) << c.Text;
    }
    // Modifiers in another order and case; keys without a name; nonsense.
    EXPECT_EQ(TextToShortCut("ctrl+shift+s"), ShortCutOf('S', scCtrl | scShift));
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(ShortCutToText(ShortCutOf(0xE5, scCtrl)), "");
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+X"), scNone);
}

TEST(MenuText, AcceleratorsOfCaptions) {
    struct Case {
        const char* Caption;
        char Key;
        const char* Shown;
    };
    const Case cases[] = {
        {"&File", 'F', "File"},
        {"Save &as", 'A', "Save as"},
        {"Fish && &Chips", 'C', "Fish & Chips"},
        {"&&Only", 0, "&Only"},
        {"No key", 0, "No key"},
        {"Trailing&", 0, "Trailing"},
        {"\xCF\xF0\xE0\xE2&\xEA\xE0", '\xCA', "\xCF\xF0\xE0\xE2\xEA\xE0"},  // Правка, Alt+К
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CaptionHotkey(c.Caption), c.Key) << c.Caption;
        EXPECT_EQ(StripHotkey(c.Caption), c.Shown) << c.Caption;
    }
}

TEST(MenuGeometry, CaptionsMakeTheirKindOfLine) {
    EXPECT_EQ(MenuItemTypeOf("-"), smDivider);
    EXPECT_EQ(MenuItemTypeOf("-Files-"), smCaption);
    EXPECT_EQ(MenuItemTypeOf("--"), smCaption);
    EXPECT_EQ(MenuItemTypeOf("-Files"), smNormal);
    EXPECT_EQ(MenuItemTypeOf("Open"), smNormal);
    EXPECT_EQ(CaptionLineText("-Recent files-"), "Recent files");
    EXPECT_EQ(CaptionLineText("--Two-Words--"), "Two");
    EXPECT_EQ(CaptionLineText("---"), "");
}

TEST(MenuGeometry, ItemSizes) {
    // 1.25 x h rounded half to even: 13 -> 16.25 -> 16, 14 -> 17.5 -> 18, 18 -> 22.5 -> 22.
    struct Case {
        TsMenuItemType Type;
        int Text, Glyph, Margin, Height;
    };
    const Case cases[] = {
        {smDivider, 13, 16, 2, 2},  {smNormal, 13, 16, 2, 20}, {smNormal, 14, 16, 2, 22},
        {smNormal, 18, 16, 2, 26},  {smNormal, 13, 24, 2, 28}, {smCaption, 13, 24, 2, 20},
        {smCaption, 10, 0, 0, 12},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuItemHeight(c.Type, c.Text, c.Glyph, c.Margin), c.Height) << c.Text << " " << c.Glyph;
    EXPECT_EQ(MenuItemWidth(16, 50, 2, 6, 0), 2 * 16 + 50 + 3 * 2 + 6);
    EXPECT_EQ(MenuItemWidth(16, 50, 2, 6, 32), 2 * 16 + 50 + 3 * 2 + 6 + 32);
    EXPECT_EQ(MenuGlyphColumnWidth(16, 2, 6), 24);
    EXPECT_EQ(PopupLeftBandWidth(32, 3, 3), 35);
    EXPECT_EQ(PopupLeftBandWidth(0, 5, 3), 5);
}

TEST(MenuGeometry, PopupSizeFromColumns) {
    // One column: widest + 12, heights summed; each frame side adds 3.
    EXPECT_EQ(PopupSizeOf({{80, 20, false}, {100, 20, false}, {60, 2, false}}, 3), (TacMenuSize{112 + 6, 42 + 6}));
    // A break starts a column: 4 pixels of gap, the highest column wins.
    EXPECT_EQ(PopupSizeOf({{80, 20, false}, {90, 20, false}, {50, 20, true}}, 3),
              (TacMenuSize{(90 + 12) + 4 + (50 + 12) + 6, 40 + 6}));
    // A break on the first item opens no empty column.
    EXPECT_EQ(PopupSizeOf({{80, 20, true}}, 0), (TacMenuSize{92, 20}));
    EXPECT_EQ(PopupSizeOf({}, 3), (TacMenuSize{6, 6}));
    const std::vector<bool> breaks{false, false, true, false};
    EXPECT_TRUE(InFirstMenuColumn(breaks, 1));
    EXPECT_FALSE(InFirstMenuColumn(breaks, 2));
    EXPECT_FALSE(InFirstMenuColumn(breaks, 3));
}
