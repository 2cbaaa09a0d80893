// The text form of a set changed one element at a time: whole names only.
#include <gtest/gtest.h>

#include "acntUtils.h"

namespace {

AnsiString Changed(AnsiString Text, const char* Element, bool Include, bool* Did = nullptr) {
    const bool did = SetTextChange(Text, Element, Include);
    if (Did) *Did = did;
    return Text;
}

TEST(SetText, IncludePutsTheElementFirstOnce) {
    bool did = false;
    EXPECT_EQ(Changed("", "fsBold", true, &did), "fsBold");
    EXPECT_TRUE(did);
    EXPECT_EQ(Changed("fsItalic,fsUnderline", "fsBold", true), "fsBold,fsItalic,fsUnderline");
    // Already there: unchanged and nothing to write.
    EXPECT_EQ(Changed("fsItalic,fsBold", "fsBold", true, &did), "fsItalic,fsBold");
    EXPECT_FALSE(did);
    // Names are case-sensitive: another case is another name.
    EXPECT_EQ(Changed("fsBold", "fsbold", true), "fsbold,fsBold");
}

TEST(SetText, IncludeTellsPartsOfNamesApart) {
    bool did = false;
    // A plain substring test would take "Nut" as present in "Nutmeg".
    EXPECT_EQ(Changed("Nutmeg", "Nut", true, &did), "Nut,Nutmeg");
    EXPECT_TRUE(did);
    EXPECT_EQ(Changed("Fig,Walnut", "Nut", true), "Nut,Fig,Walnut");
    EXPECT_EQ(Changed("Nut", "Nutmeg", true), "Nutmeg,Nut");
}

TEST(SetText, ExcludeRemovesTheWholeNameOnly) {
    bool did = false;
    EXPECT_EQ(Changed("fsBold,fsItalic,fsUnderline", "fsItalic", false, &did), "fsBold,fsUnderline");
    EXPECT_TRUE(did);
    EXPECT_EQ(Changed("fsBold,fsItalic", "fsBold", false), "fsItalic");
    EXPECT_EQ(Changed("fsBold,fsItalic", "fsItalic", false), "fsBold");
    EXPECT_EQ(Changed("fsBold", "fsBold", false), "");
    // "ab," or ",ab" searched as text would cut into the longer names.
    EXPECT_EQ(Changed("abc,ab", "ab", false), "abc");
    EXPECT_EQ(Changed("ab,abc", "ab", false), "abc");
    EXPECT_EQ(Changed("xab,abc,ab,y", "ab", false), "xab,abc,y");
    // Absent, also as a part of other names: unchanged, nothing to write.
    EXPECT_EQ(Changed("abc,xab", "ab", false, &did), "abc,xab");
    EXPECT_FALSE(did);
    EXPECT_EQ(Changed("", "ab", false, &did), "");
    EXPECT_FALSE(did);
}

TEST(SetText, BlanksAndEmptyNamesAreNoElements) {
    EXPECT_EQ(Changed(" a , b ", "c", true), "c,a,b");
    EXPECT_EQ(Changed("a,,b,", "b", false), "a");
    bool did = true;
    EXPECT_EQ(Changed("a,b", "", true, &did), "a,b");
    EXPECT_FALSE(did);
}

}  // namespace
