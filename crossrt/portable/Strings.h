// String services of the crossword runtime. Texts are Windows-1251 byte
// strings; the conversion to and from UTF-16 uses the code base's one fixed table, never the
// system's code page, so the program behaves the same on any locale.
#pragma once

#include <cstdint>
#include <string>

namespace crossrt {

using String = std::string;  // Windows-1251 bytes

// UTF-16 code unit of one Windows-1251 byte (a bijection on all 256 bytes).
char16_t CharToUtf16(unsigned char c);
// Windows-1251 byte of one UTF-16 code unit; '?' when the code page has none.
unsigned char Utf16ToChar(char16_t u);

std::u16string ToUtf16(const String& s);
// Unmappable units become '?'; a surrogate pair becomes a single '?'.
String FromUtf16(const std::u16string& w);

// Character count (one byte per character).
int Len(const String& s);
// Code of the first character, 0..255; 0 for the empty text.
int Asc(const String& s);
// The one-character text of a code 0..255 (other values are taken modulo 256).
String Chr(int code);
// Characters from the 1-based position start, count of them; positions and
// counts outside the text are clipped, never read past it.
String Mid(const String& s, int start, int count);
String Left(const String& s, int count);
// Decimal text of a number.
String CStr(int v);

}  // namespace crossrt
