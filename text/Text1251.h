// Windows-1251 text: conversion to and from UTF-16 and UTF-8 by a fixed table
// (never the machine's code page), and letter case of the code page's
// Latin and Cyrillic letters. Portable, and a library of its own that
// depends on nothing: the lesson program's run time and the crossword
// program's both link it, so the code base has one table.
#pragma once

#include <cstddef>
#include <string>

// UTF-16 code unit of one Windows-1251 byte. Every byte maps; 0x98, which the
// code page leaves unassigned, maps to U+0098 so that conversions round-trip.
char16_t Cp1251ToUnicode(unsigned char b);
// The byte of a code point, or -1 when the code page has no such character.
int UnicodeToCp1251(char32_t cp);

std::u16string Cp1251ToUtf16(const std::string& s);
// Characters the code page lacks become '?' (and *lossless is set to false);
// unpaired surrogates count as such characters.
std::string Utf16ToCp1251(const char16_t* s, size_t len, bool* lossless = nullptr);
inline std::string Utf16ToCp1251(const std::u16string& s, bool* lossless = nullptr) {
    return Utf16ToCp1251(s.data(), s.size(), lossless);
}

std::string Cp1251ToUtf8(const std::string& s);
// Decodes the UTF-8 sequence at utf8[i] into cp and moves i past it. On a
// malformed sequence (bad lead or continuation byte, overlong form, surrogate,
// past U+10FFFF, cut short) returns false and moves i past the bytes taken.
bool DecodeUtf8(const std::string& utf8, size_t& i, char32_t& cp);
// Malformed UTF-8 and characters the code page lacks become '?' (*lossless false).
std::string Utf8ToCp1251(const std::string& utf8, bool* lossless = nullptr);

// Case of one byte: ASCII letters and every Cyrillic letter of the code page
// (А..Я/а..я, Ё/ё, and the Serbian, Macedonian, Ukrainian and Belarusian letters).
unsigned char UpCase1251(unsigned char c);
unsigned char LowCase1251(unsigned char c);
std::string UpperCase1251(const std::string& s);
std::string LowerCase1251(const std::string& s);
// Equality ignoring the case of those letters.
bool SameText1251(const std::string& a, const std::string& b);
