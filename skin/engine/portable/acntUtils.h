// Free helpers shared by the skinning library and the alpha picture class:
// rectangle sizes, small integer helpers, words of a string, an INI reader over
// text already in memory, and path helpers. Portable: no Windows headers. The
// helpers that need the platform (fonts, icons, the program's folder, file
// search) live in acntUtilsWin.h.
#pragma once

#include <cstdint>
#include <vector>

#include "RunTime.h"
#include "Types.h"
#include "sConst.h"

class TBitmap;

// ---- rectangles and numbers ----------------------------------------------

// Right - Left; with Clamp a negative width reads as 0.
inline int RectWidth(const TRect& R, bool Clamp = false) {
    const int w = R.Right - R.Left;
    return (Clamp && w < 0) ? 0 : w;
}
inline int RectHeight(const TRect& R, bool Clamp = false) {
    const int h = R.Bottom - R.Top;
    return (Clamp && h < 0) ? 0 : h;
}
bool RectsOverlap(const TRect& A, const TRect& B);
inline TRect SetRect4(int Left, int Top, int Right, int Bottom) { return TRect{Left, Top, Right, Bottom}; }
inline bool InRange(int X, int Low, int High) { return Low <= X && X <= High; }
inline int MaxOf(int A, int B) { return A > B ? A : B; }
inline int MinOf(int A, int B) { return A < B ? A : B; }
inline int ClampByte(int Value) { return Value < 0 ? 0 : (Value > 255 ? 255 : Value); }
inline int ChooseInt(bool Flag, int A, int B) { return Flag ? A : B; }
inline AnsiString ChooseStr(bool Flag, const AnsiString& A, const AnsiString& B) { return Flag ? A : B; }

// Background record naming Bitmap at offset (X, Y), ready, with no colour.
CacheInfo MakeBitmapBackground(TBitmap* Bitmap, int X, int Y);

// ---- character sets and words ----------------------------------------------

// 256-bit set of 8-bit characters: bit c of byte c div 8.
struct TacCharSet {
    uint8_t Bits[32] = {};
    TacCharSet() = default;
    // The set of the characters of Chars.
    explicit TacCharSet(const AnsiString& Chars) {
        for (unsigned char c : Chars) Bits[c >> 3] |= uint8_t(1u << (c & 7));
    }
    void Include(unsigned char C) { Bits[C >> 3] |= uint8_t(1u << (C & 7)); }
};

inline bool InCharSet(unsigned char C, const TacCharSet& Set) { return (Set.Bits[C >> 3] >> (C & 7)) & 1; }

// Positions are 1-based; a word is a maximal run of characters outside Delims.
int WordStartPos(int N, const AnsiString& Text, const TacCharSet& Delims);
int WordStartPosBySet(int N, const AnsiString& Text, TacCharSet Delims);
AnsiString TakeWord(int N, const AnsiString& Text, const TacCharSet& Delims);
int CountWords(const AnsiString& Text, const TacCharSet& Delims);
int CountWordsBySet(const AnsiString& Text, TacCharSet Delims);
AnsiString RemoveChar(const AnsiString& Text, char C);
// Left to right; replaced text is not searched again; an empty Old changes nothing.
AnsiString ReplaceAll(const AnsiString& Text, const AnsiString& Old, const AnsiString& New);

// ---- INI text held in memory -----------------------------------------------

// One section of split INI text: its name and its lines (name=value), in file order.
struct TacIniSection {
    AnsiString Name;
    std::vector<AnsiString> Lines;
};
using TacIniSections = std::vector<TacIniSection>;

// Splits Lines into sections: empty lines and ";" comments are skipped, "[name]"
// starts a section, other lines go to the current section (dropped before the
// first one). Nothing is trimmed.
TacIniSections IniSplitLines(const std::vector<AnsiString>& Lines);
// Splits raw text into lines at CR LF, LF or CR.
std::vector<AnsiString> IniTextLines(const AnsiString& Text);

// Value of Ident in the first section named Section (both ignoring ASCII case),
// else Default. The value is the rest of the line after "ident=", untrimmed.
AnsiString IniSectionsReadString(const TacIniSections& Sections, const AnsiString& Section,
                                 const AnsiString& Ident, const AnsiString& Default);
int IniSectionsReadInteger(const TacIniSections& Sections, const AnsiString& Section,
                           const AnsiString& Ident, int Default);

// Building blocks of the readers, shared with the string-list versions.
// True when Line's name part (before "=") equals Ident ignoring case; Value is
// then what follows the "=".
bool IniLineValue(const AnsiString& Line, const AnsiString& Ident, AnsiString& Value);
// "0x"/"0X" prefixed hexadecimal, "$" hexadecimal or decimal; Default when the
// text is no 32-bit number.
// Conversion never raises: optional blanks around, optional sign, "$" for
// hexadecimal (up to 8 digits, two's complement), else decimal in 32-bit range.
int IniValueToInt(const AnsiString& Value, int Default);

// ---- text form of a set ---------------------------------------------------

// The element names separated by commas, without brackets. Include puts
// Element first when no name of the text equals it; exclude removes the names
// equal to it. Whole names are compared, exactly (case-sensitive), so an
// element that is part of another's name is told apart. Answers whether Text
// changed (only then is it to be written back).
bool SetTextChange(AnsiString& Text, const AnsiString& Element, bool Include);

// ---- paths ------------------------------------------------------------------

// Ensures a trailing backslash: empty stays empty, a final "/" becomes "\",
// a lone drive letter gets ":\".
AnsiString WithBackslash(const AnsiString& Path);
