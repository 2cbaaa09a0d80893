#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

#include "Text1251.h"

// The fixed table must agree with the C library's own Windows-1251 converter
// for every assigned byte.
TEST(Text1251, TableAgreesWithSystemConverter) {
    iconv_t cd = iconv_open("UTF-16LE", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "no CP1251 converter on this system";
    int checked = 0;
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;  // unassigned in the code page
        char in = static_cast<char>(b);
        unsigned char out[4] = {0, 0, 0, 0};
        char* pin = &in;
        char* pout = reinterpret_cast<char*>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        ASSERT_NE(iconv(cd, &pin, &inLeft, &pout, &outLeft), static_cast<size_t>(-1)) << "byte " << b;
        const char16_t expect = static_cast<char16_t>(out[0] | (out[1] << 8));
        EXPECT_EQ(Cp1251ToUnicode(static_cast<unsigned char>(b)), expect) << "byte " << b;
        EXPECT_EQ(UnicodeToCp1251(expect), b);
        ++checked;
    }
    iconv_close(cd);
    EXPECT_EQ(checked, 255);
}

TEST(Text1251, EveryByteRoundTripsThroughUtf16AndUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    bool ok = false;
    EXPECT_EQ(Utf16ToCp1251(Cp1251ToUtf16(all), &ok), all);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all), &ok), all);
    EXPECT_TRUE(ok);
    // "Выход" from UTF-8 source text becomes its code-page bytes.
    EXPECT_EQ(Utf8ToCp1251("Выход ДОМ №"), "\xC2\xFB\xF5\xEE\xE4 \xC4\xCE\xCC \xB9");
    EXPECT_EQ(Cp1251ToUtf8("\xCF\xD0\xC8\xC7!"), "ПРИЗ!");
}

TEST(Text1251, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    bool ok = true;
    EXPECT_EQ(Utf8ToCp1251("a€b中c", &ok), "a\x88" "b?c");
    EXPECT_FALSE(ok);
    // A pair of surrogates is one character; a lone one is malformed.
    const char16_t pair[] = {u'x', 0xD83D, 0xDE00, u'y'};
    EXPECT_EQ(Utf16ToCp1251(pair, 4, &ok), "x?y");
    EXPECT_FALSE(ok);
    const char16_t lone[] = {0xDC00, u'z'};
    EXPECT_EQ(Utf16ToCp1251(lone, 2, &ok), "?z");
    // Malformed UTF-8: overlong, truncated, stray continuation, encoded
    // surrogate; each bad sequence is one '?', the text after it survives.
    EXPECT_EQ(Utf8ToCp1251("\xC0\x80" "A", &ok), "??A");
    EXPECT_FALSE(ok);
    EXPECT_EQ(Utf8ToCp1251("\xE2\x82" "B"), "?B");
    EXPECT_EQ(Utf8ToCp1251("\x80" "C"), "?C");
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80" "D"), "?D");
    EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");
    EXPECT_EQ(UnicodeToCp1251(0x4E2D), -1);
}

// Case follows Unicode: for every byte whose character has a case partner in
// the code page, UpCase/LowCase give that partner, and nothing else changes.
TEST(Text1251, CaseOfLatinAndCyrillicLetters) {
    auto unicodeUpper = [](char32_t c) -> char32_t {
        if (c >= 'a' && c <= 'z') return c - 32;
        if (c >= 0x430 && c <= 0x44F) return c - 32;
        if (c >= 0x450 && c <= 0x45F) return c - 80;
        if (c == 0x491) return 0x490;
        return c;
    };
    int letters = 0;
    for (int b = 0; b < 256; ++b) {
        const char32_t u = Cp1251ToUnicode(static_cast<unsigned char>(b));
        const char32_t up = unicodeUpper(u);
        const int upByte = UnicodeToCp1251(up);
        ASSERT_GE(upByte, 0);
        EXPECT_EQ(UpCase1251(static_cast<unsigned char>(b)), upByte) << "byte " << b;
        if (up != u) {
            ++letters;
            EXPECT_EQ(LowCase1251(static_cast<unsigned char>(upByte)), b) << "byte " << b;
        }
    }
    EXPECT_EQ(letters, 26 + 32 + 15);  // Latin, а..я, the other Cyrillic pairs (ё and ґ among them)
    EXPECT_EQ(UpperCase1251("\xE2\xfb\xf5\xee\xe4 exit \xb8"), "\xC2\xDB\xD5\xCE\xC4 EXIT \xA8");
    EXPECT_TRUE(SameText1251("homestead", "HOMESTEAD"));
    EXPECT_TRUE(SameText1251("\xE4\xee\xec", "\xC4\xCE\xCC"));  // дом / ДОМ
    EXPECT_FALSE(SameText1251("METALLICX", "METALLIC"));
}
