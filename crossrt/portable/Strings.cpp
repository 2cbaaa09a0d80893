#include "portable/Strings.h"

#include "Text1251.h"

namespace crossrt {

char16_t CharToUtf16(unsigned char c) { return Cp1251ToUnicode(c); }

unsigned char Utf16ToChar(char16_t u) {
  if (u >= 0xD800 && u <= 0xDFFF) return '?';
  int b = UnicodeToCp1251(u);
  return b < 0 ? '?' : static_cast<unsigned char>(b);
}

std::u16string ToUtf16(const String& s) { return Cp1251ToUtf16(s); }

// A surrogate pair is one character the code page lacks: one '?'.
String FromUtf16(const std::u16string& w) { return Utf16ToCp1251(w); }

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
