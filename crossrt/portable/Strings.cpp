#include "portable/Strings.h"

namespace crossrt {

namespace {

// 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order. 0x98 has no character
// in the code page and is carried through as U+0098 so that every byte
// survives a round trip.
const char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

}  // namespace

char16_t CharToUtf16(unsigned char c) {
  if (c < 0x80) return c;
  if (c >= 0xC0) return static_cast<char16_t>(0x0410 + (c - 0xC0));
  return kHigh[c - 0x80];
}

unsigned char Utf16ToChar(char16_t u) {
  if (u < 0x80) return static_cast<unsigned char>(u);
  if (u >= 0x0410 && u <= 0x044F) return static_cast<unsigned char>(0xC0 + (u - 0x0410));
  for (int i = 0; i < 64; ++i)
    if (kHigh[i] == u) return static_cast<unsigned char>(0x80 + i);
  return '?';
}

std::u16string ToUtf16(const String& s) {
  std::u16string w;
  w.reserve(s.size());
  for (unsigned char c : s) w.push_back(CharToUtf16(c));
  return w;
}

String FromUtf16(const std::u16string& w) {
  String s;
  s.reserve(w.size());
  for (size_t i = 0; i < w.size(); ++i) {
    char16_t u = w[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
      s.push_back('?');
      ++i;
      continue;
    }
    s.push_back(static_cast<char>(Utf16ToChar(u)));
  }
  return s;
}

int Len(const String& s) { return static_cast<int>(s.size()); }

int Asc(const String& s) { return s.empty() ? 0 : static_cast<unsigned char>(s[0]); }

String Chr(int code) { return String(1, static_cast<char>(static_cast<unsigned char>(code & 0xFF))); }

String Mid(const String& s, int start, int count) {
  // Wide arithmetic: extreme starts and counts must clip, not overflow.
  long long from = start, n = count;
  if (from < 1) {
    n += from - 1;
    from = 1;
  }
  if (n <= 0 || from > Len(s)) return String();
  return s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(n));
}

String Left(const String& s, int count) { return Mid(s, 1, count); }

String CStr(int v) { return std::to_string(v); }

}  // namespace crossrt
