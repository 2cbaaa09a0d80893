// String services of the crossword runtime, on the host: the Windows-1251
// table against the C library's own converter, and the text functions at and
// beyond the ends of their texts.
#include <gtest/gtest.h>
#include <iconv.h>

#include <climits>
#include <optional>

#include "portable/Strings.h"

using namespace crossrt;

namespace {

// The host's converter's opinion of one byte; none for a byte the code page
// leaves undefined.
std::optional<char16_t> HostUtf16(unsigned char c) {
  iconv_t cd = iconv_open("UTF-16LE", "CP1251");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  char in[1] = {static_cast<char>(c)};
  unsigned char out[4] = {};
  char* ip = in;
  char* op = reinterpret_cast<char*>(out);
  size_t il = 1, ol = sizeof out;
  size_t r = iconv(cd, &ip, &il, &op, &ol);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || ol != 2) return std::nullopt;
  return static_cast<char16_t>(out[0] | (out[1] << 8));
}

}  // namespace

TEST(Cp1251, EveryDefinedByteMatchesTheHostConverter) {
  ASSERT_TRUE(HostUtf16('A').has_value()) << "the host has no Windows-1251 converter";
  int defined = 0;
  for (int c = 0; c < 256; ++c) {
    auto host = HostUtf16(static_cast<unsigned char>(c));
    if (!host) continue;
    ++defined;
    EXPECT_EQ(static_cast<int>(CharToUtf16(static_cast<unsigned char>(c))), static_cast<int>(*host))
        << "byte " << c;
    EXPECT_EQ(Utf16ToChar(*host), c) << "unit " << static_cast<int>(*host);
  }
  EXPECT_EQ(defined, 255);  // only 0x98 is undefined
}

TEST(Cp1251, AllBytesSurviveARoundTripAndLettersAreWhereTheGameLooks) {
  String all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  std::u16string w = ToUtf16(all);
  ASSERT_EQ(w.size(), 256u);
  EXPECT_EQ(FromUtf16(w), all);
  // Capitals А..Я at 192..223, small а..я 32 higher; Ё and ё outside both.
  EXPECT_EQ(CharToUtf16(192), u'А');
  EXPECT_EQ(CharToUtf16(223), u'Я');
  EXPECT_EQ(CharToUtf16(224), u'а');
  EXPECT_EQ(CharToUtf16(255), u'я');
  EXPECT_EQ(Utf16ToChar(u'Ё'), 0xA8);
  EXPECT_EQ(Utf16ToChar(u'ё'), 0xB8);
  EXPECT_EQ(FromUtf16(u"кроссворд"), "\xEA\xF0\xEE\xF1\xF1\xE2\xEE\xF0\xE4");
}

TEST(Cp1251, UnitsTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToChar(u'ä'), '?');
  EXPECT_EQ(Utf16ToChar(u'\u0400'), '?');  // just below the А..я block
  EXPECT_EQ(Utf16ToChar(u'\u0450'), '?');  // just above it
  EXPECT_EQ(Utf16ToChar(u'\uFFFF'), '?');
  // A surrogate pair is one character: one '?'; a lone half is one '?' too.
  EXPECT_EQ(FromUtf16(u"a\U0001F600b"), "a?b");
  std::u16string lone = u"x";
  lone.push_back(char16_t(0xD800));
  lone.push_back(u'y');
  lone.push_back(char16_t(0xDC00));
  EXPECT_EQ(FromUtf16(lone), "x?y?");
  std::u16string tail = u"z";
  tail.push_back(char16_t(0xDBFF));  // high half at the very end
  EXPECT_EQ(FromUtf16(tail), "z?");
}

TEST(TextFunctions, AscChrLenTreatBytesAsUnsignedCodes) {
  EXPECT_EQ(Asc(""), 0);
  EXPECT_EQ(Asc("\xFF" "a"), 255);
  EXPECT_EQ(Asc("\xC0"), 192);
  EXPECT_EQ(Chr(192 + 32), "\xE0");
  EXPECT_EQ(Chr(256 + 'A'), "A");
  EXPECT_EQ(Chr(-1), "\xFF");
  EXPECT_EQ(Len(Chr(0)), 1);
  EXPECT_EQ(Len(""), 0);
  EXPECT_EQ(Len("\xEA\xEE"), 2);
  EXPECT_EQ(CStr(0), "0");
  EXPECT_EQ(CStr(8), "8");
  EXPECT_EQ(CStr(-12), "-12");
}

TEST(TextFunctions, MidAndLeftClipToTheText) {
  const String s = "abcdef";
  EXPECT_EQ(Mid(s, 1, 1), "a");
  EXPECT_EQ(Mid(s, 3, 2), "cd");
  EXPECT_EQ(Mid(s, 5, 100), "ef");
  EXPECT_EQ(Mid(s, 6, 1), "f");
  EXPECT_EQ(Mid(s, 7, 1), "");
  EXPECT_EQ(Mid(s, 1000, 5), "");
  EXPECT_EQ(Mid(s, 2, 0), "");
  EXPECT_EQ(Mid(s, 2, -3), "");
  // A start before the text shortens the count by what lies before it.
  EXPECT_EQ(Mid(s, 0, 2), "a");
  EXPECT_EQ(Mid(s, -1, 4), "ab");
  EXPECT_EQ(Mid(s, -10, 4), "");
  EXPECT_EQ(Mid("", 1, 1), "");
  EXPECT_EQ(Left(s, 0), "");
  EXPECT_EQ(Left(s, 2), "ab");
  EXPECT_EQ(Left(s, 99), s);
  EXPECT_EQ(Left(s, -1), "");
  // Large values must not overflow into a read past the text.
  EXPECT_EQ(Mid(s, 2, 0x7FFFFFFF), "bcdef");
  EXPECT_EQ(Mid(s, -0x7FFFFFFF, 0x7FFFFFFF), "");
  EXPECT_EQ(Mid(s, INT_MIN, INT_MAX), "");
  EXPECT_EQ(Mid(s, INT_MIN, -1), "");
}
