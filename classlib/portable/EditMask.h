// Edit masks of the masked edit, as the class library's users write them:
// "mask;save-literals;blank". The mask field lists positions: L/l a letter,
// A/a a letter or digit, C/c any character, 0/9 a digit, # a digit or sign
// (upper case required, lower case optional); \x is x as a literal, '_' a
// literal space, ':' and '/' the time and date separators; '>' and '<'
// fold what follows to upper and lower case, "<>" stops folding, '!' pads a
// short value with leading blanks. The second field "0" keeps the literals
// out of the text, the third names the blank character ('_').
//
// The edit text is what the window shows: one character a position, the
// literals in place and the blank character where nothing was typed. Every
// key is an overwrite of that text. Portable: no Windows headers.
#pragma once

#include <cstdint>
#include <vector>

#include "RunTime.h"

// A mask that cannot be read; the message says what is wrong with it.
class EEditMaskError : public Exception {
public:
    using Exception::Exception;
};

enum class TMaskCharKind : uint8_t { Literal, Letter, AlphaNum, Any, Digit, DigitOrSign };
enum class TMaskCase : uint8_t { None, Upper, Lower };

struct TMaskPosition {
    TMaskCharKind Kind = TMaskCharKind::Literal;
    bool Required = false;
    TMaskCase Case = TMaskCase::None;
    char Literal = 0;
};

class TEditMask {
public:
    // No mask: the edit takes any text as it is.
    TEditMask() = default;
    // Throws EEditMaskError for a NUL character, an escape at the end, more
    // than three fields, a second field other than "0" or "1", or a third
    // of more than one character. A mask of no positions is no mask.
    static TEditMask Parse(const AnsiString& Mask, char DateSeparator = '/', char TimeSeparator = ':');

    bool Empty() const { return FPositions.empty(); }
    int Length() const { return int(FPositions.size()); }
    const TMaskPosition& Position(int I) const { return FPositions[size_t(I)]; }
    bool SaveLiterals() const { return FSaveLiterals; }
    char Blank() const { return FBlank; }
    bool LeadingBlanks() const { return FLeadingBlanks; }

    bool IsEditable(int I) const { return I >= 0 && I < Length() && Position(I).Kind != TMaskCharKind::Literal; }
    // First editable position at or after From (Length() when none), last before Before (-1).
    int NextEditable(int From) const;
    int PrevEditable(int Before) const;
    // What In becomes at editable position I (case folded; a space or the
    // blank character is a blank), or 0 when the position refuses it.
    char Accept(int I, char In) const;

    // The edit text with nothing typed.
    AnsiString BlankText() const;
    // Any text made an edit text of this mask: literals in place, the rest
    // kept where the positions take it, blank where not.
    AnsiString Fit(const AnsiString& EditText) const;
    // A value (the text the program writes) laid into the mask; characters a
    // position refuses become blanks.
    AnsiString Format(const AnsiString& Value) const;
    // The text the program reads: blanks as spaces, literals only when saved.
    AnsiString Data(const AnsiString& EditText) const;
    // The first required position left blank, or -1 when the text is complete.
    int FirstMissing(const AnsiString& EditText) const;

    // Key typed over the selection [SelStart, SelStart + SelLength): the
    // selection is blanked, literals at the caret are passed (typing the
    // literal itself steps over it), and the key is written to the next
    // editable position. Answers false, changing nothing, when refused.
    bool Type(AnsiString& EditText, int& Caret, int SelStart, int SelLength, char Key) const;
    // Delete (Backward false) or Backspace: the selection, else the editable
    // position after (before) the caret, becomes blank. Answers whether the
    // text changed.
    bool Erase(AnsiString& EditText, int& Caret, int SelStart, int SelLength, bool Backward) const;

private:
    void BlankRange(AnsiString& EditText, int From, int To) const;
    std::vector<TMaskPosition> FPositions;
    bool FSaveLiterals = true;
    char FBlank = '_';
    bool FLeadingBlanks = false;
};
