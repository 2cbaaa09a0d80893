// Windows-1251 conversions used by the form-data code (the stream's wide and
// UTF-8 strings, the UTF-8 form text). Internal to FormData.
#pragma once

#include <string>

namespace formcp {

// Code point of a Windows-1251 byte; 0 for the one unassigned byte 0x98.
char32_t CharOf1251(unsigned char b);
// Windows-1251 byte of a code point, or -1 when the code page lacks it.
int ByteOf1251(char32_t c);

// Wide or UTF-8 strings read from binary data: characters the code page lacks
// become '?', so reading never fails on text content.
std::string Utf16To1251(const std::u16string& w);
std::string Utf8To1251Lossy(const std::string& u);

// Strict UTF-8 to Windows-1251 for form text. Returns false, with the offset of
// the offending byte, on malformed UTF-8 or a character the code page lacks.
bool Utf8To1251(const std::string& u, std::string& out, size_t& badOffset);

// Windows-1251 to UTF-8 (for writing text and messages).
std::string To1251Utf8(const std::string& s);

}  // namespace formcp
