// Edit masks: what a mask text reads as, what keys do to an edit text, and
// how a program's value goes in and comes out.
#include <gtest/gtest.h>

#include "EditMask.h"

namespace {

struct ParseCase {
    const char* Mask;
    const char* Blank;  // the edit text with nothing typed; nullptr: refused
    bool Save = true;
    bool Leading = false;
};

TEST(EditMask, MasksReadAsTheirUsersWriteThem) {
    const ParseCase cases[] = {
        {"(999) 000-0000;1;_", "(___) ___-____"},
        {"!99/99/0000;0; ", "  /  /    ", false, true},
        {">LL<ll<>aA", "______"},
        {"\\L0\\;0", "L_;_"},
        {"a_b:c", "_ b:_"},
        {"00;;*", "**"},
        {"", ""},
        {";1;_", ""},
        {"!><", "", true, true},
        {"00\\", nullptr},
        {"0;1;_;x", nullptr},
        {"0;2", nullptr},
        {"0;1;ab", nullptr},
        {"0\\", nullptr},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.Mask);
        if (!c.Blank) {
            EXPECT_THROW(TEditMask::Parse(c.Mask), EEditMaskError);
            continue;
        }
        TEditMask m = TEditMask::Parse(c.Mask);
        EXPECT_EQ(m.BlankText(), c.Blank);
        EXPECT_EQ(m.Empty(), *c.Blank == 0);
        EXPECT_EQ(m.SaveLiterals(), c.Save);
        EXPECT_EQ(m.LeadingBlanks(), c.Leading);
    }
    // A NUL from form data is refused, in the mask and in the blank field.
    EXPECT_THROW(TEditMask::Parse(AnsiString("0\0" "0", 3)), EEditMaskError);
    EXPECT_THROW(TEditMask::Parse(AnsiString("0;1;\0", 5)), EEditMaskError);
    EXPECT_THROW(TEditMask::Parse(AnsiString("\\\0", 2)), EEditMaskError);
    // The locale's separators stand for '/' and ':'.
    EXPECT_EQ(TEditMask::Parse("00/00 00:00", '.', '-').BlankText(), "__.__ __-__");
}

struct TypeCase {
    const char* Mask;
    const char* Keys;
    const char* Text;  // the edit text after the keys
    int Caret;
    int Refused;
};

TEST(EditMask, KeysFillPositionsTheyFitAndAreRefusedElsewhere) {
    const TypeCase cases[] = {
        {"(999) 000-0000", "5551234567", "(555) 123-4567", 14, 0},
        {"000", "1a2", "12_", 2, 1},
        {"00", "123", "12", 2, 1},
        {">LL", "ab", "AB", 2, 0},
        {"<ll", "AB", "ab", 2, 0},
        {">L", "\xFF", "\xDF", 1, 0},  // Cyrillic letters fold too
        {"L", "5", "_", 0, 1},
        {"99:99", "12:34", "12:34", 5, 0},  // a literal the caret passed is no mistake
        {"#0", "-5", "-5", 2, 0},
        {"#0", "+x", "+_", 1, 1},
        {"aA", "\xE9" "7", "\xE9" "7", 2, 0},
        {"c0", " 4", "_4", 2, 0},  // a space leaves an optional position blank
        {"C", "\x7F", "_", 0, 1},
    };
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.Mask);
        TEditMask m = TEditMask::Parse(c.Mask);
        AnsiString text = m.BlankText();
        int caret = 0, refused = 0;
        for (const char* k = c.Keys; *k; ++k) {
            AnsiString before = text;
            int was = caret;
            if (!m.Type(text, caret, caret, 0, *k)) {
                ++refused;
                EXPECT_EQ(text, before);
                EXPECT_EQ(caret, was);
            }
        }
        EXPECT_EQ(text, c.Text);
        EXPECT_EQ(caret, c.Caret);
        EXPECT_EQ(refused, c.Refused);
    }
}

TEST(EditMask, TypingOverASelectionBlanksItFirst) {
    TEditMask m = TEditMask::Parse("00-00");
    AnsiString text = "12-34";
    int caret = 0;
    ASSERT_TRUE(m.Type(text, caret, 1, 3, '9'));
    EXPECT_EQ(text, "19-_4");
    EXPECT_EQ(caret, 3);
}

struct EraseCase {
    const char* Text;
    int SelStart, SelLength;
    bool Backward;
    const char* After;
    int Caret;
};

TEST(EditMask, BackspaceAndDeleteBlankPositionsAndPassLiterals) {
    TEditMask m = TEditMask::Parse("00-00");
    const EraseCase cases[] = {
        {"12-34", 5, 0, true, "12-3_", 4},
        {"12-34", 3, 0, true, "1_-34", 1},
        {"12-34", 0, 0, true, "12-34", 0},
        {"12-34", 2, 0, false, "12-_4", 2},
        {"12-34", 0, 5, false, "__-__", 0},
        {"12-34", 1, 3, true, "1_-_4", 1},
        {"12-34", 5, 0, false, "12-34", 5},
    };
    for (const EraseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.SelStart << "+" << c.SelLength << (c.Backward ? " back" : " del"));
        AnsiString text = c.Text;
        int caret = -1;
        EXPECT_EQ(m.Erase(text, caret, c.SelStart, c.SelLength, c.Backward), AnsiString(c.After) != c.Text);
        EXPECT_EQ(text, c.After);
        EXPECT_EQ(caret, c.Caret);
    }
}

struct ValueCase {
    const char* Mask;
    const char* Value;
    const char* Edit;
    const char* Data;
    int Missing;
};

TEST(EditMask, ValuesGoInAndComeOutAsTheMaskSays) {
    const ValueCase cases[] = {
        {"(999) 000;1;_", "(12 ) 345", "(12_) 345", "(12 ) 345", -1},
        {"(999) 000;0;_", "12 345", "(12_) 345", "12 345", -1},
        {"!999;0;_", "12", "_12", " 12", -1},
        {"999;0;_", "12", "12_", "12 ", -1},
        {"00;0;_", "a1", "_1", " 1", 0},
        {"L0L;1;*", "", "***", "   ", 0},
        {"00:00;1;_", "12:3", "12:3_", "12:3 ", 4},
        {">LL;0", "ab", "AB", "AB", -1},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Mask << " <- " << c.Value);
        TEditMask m = TEditMask::Parse(c.Mask);
        AnsiString edit = m.Format(c.Value);
        EXPECT_EQ(edit, c.Edit);
        EXPECT_EQ(m.Data(edit), c.Data);
        EXPECT_EQ(m.FirstMissing(edit), c.Missing);
        EXPECT_EQ(m.Format(m.Data(edit)), edit);
    }
}

TEST(EditMask, AnEditTextOfAnotherLengthIsFittedToTheMask) {
    TEditMask m = TEditMask::Parse("00-0");
    EXPECT_EQ(m.Fit("1"), "1_-_");
    EXPECT_EQ(m.Fit("12x3456"), "12-3");
    EXPECT_EQ(m.Fit("ab-c"), "__-_");
    AnsiString text = "9";
    int caret = 0;
    ASSERT_TRUE(m.Type(text, caret, 3, 0, '7'));
    EXPECT_EQ(text, "9_-7");
}

}  // namespace
