// Menu texts: shortcuts as numbers and as the text a menu shows beside an
// item ("Ctrl+O"), and the accelerator of a caption ("&Файл": Alt+Ф).
// Portable: no Windows headers; key codes are the platform's virtual-key
// numbers, written out here.
#pragma once

#include <cstdint>

#include "RunTime.h"

// A shortcut: the virtual key in the low byte, the modifier bits above it.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

constexpr TShortCut ShortCutOf(uint8_t Key, TShortCut Modifiers) { return TShortCut(Key | Modifiers); }

// "Shift+", "Ctrl+" and "Alt+" in that order before the key's name: letters
// and digits as themselves, F1..F24, and the names of the editing and
// movement keys ("Del", "PgUp", "Enter" ...). Empty for scNone and for a key
// without a name.
AnsiString ShortCutToText(TShortCut ShortCut);
// The reverse, modifier names in any order and letter case; scNone for text
// it cannot read.
TShortCut TextToShortCut(const AnsiString& Text);

// The accelerator of a caption: the character after the first single "&"
// ("&&" stands for "&" itself), upper-cased in the code page; 0 for none.
char CaptionHotkey(const AnsiString& Caption);
// The caption as shown: every accelerator "&" removed, "&&" made "&".
AnsiString StripHotkey(const AnsiString& Caption);
// Whether the caption makes the item a dividing line.
inline bool IsLineCaption(const AnsiString& Caption) { return Caption == "-"; }
