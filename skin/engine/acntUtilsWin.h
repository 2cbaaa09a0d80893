// The utilities that need the platform: caption font metrics, the program's
// folder, shell file icons, file search, published properties by name.
#pragma once

#include "Components.h"
#include "Graphics.h"
#include "acntUtils.h"

// INI text held in string lists. IniTextSplit clears Sections and adds one
// entry per section: its name, with a new TStringList of its lines as the
// object. The caller owns Sections and the lists in it (clearing does not
// free lists from an earlier split).
void IniTextSplit(TStringList* Lines, TStringList* Sections);
// The first section of that name (the list's case-insensitive look-up), then
// its first line whose name equals Ident ignoring case; else Default.
AnsiString IniTextReadString(TStringList* Sections, const AnsiString& Section, const AnsiString& Ident,
                             const AnsiString& Default);
// The value as an integer ("0x" prefix: hexadecimal); Default when missing or no number.
int IniTextReadInteger(TStringList* Sections, const AnsiString& Section, const AnsiString& Ident, int Default);

// Height field of the caption font in the system's non-client metrics; 0
// when they cannot be read.
int CaptionFontHeight();
// GetSystemMetrics(Index), read once: the system takes tens of microseconds
// a call, and painting a frame asks dozens of times. Like the caption font's
// height it is read again after SystemSettingsChanged, which the skinned
// windows call when the system's settings, display or resolution change.
int SystemMetric(int Index);
void SystemSettingsChanged();
// Whether Msg tells of such a change.
bool IsSettingsChangeMessage(unsigned Msg);
// Folder of the program file, with its trailing backslash.
AnsiString ProgramFolder();
// Shell icon of an existing file (Flags choose large or small, SHGFI_ICON is
// added); nil when the file is missing or no icon comes back. Caller owns it.
TIcon* FileIcon(const AnsiString& FileName, unsigned Flags);

// File search as the skin manager lists skins.
constexpr int faReadOnly = 0x01, faHidden = 0x02, faSysFile = 0x04, faDirectory = 0x10, faArchive = 0x20,
              faAnyFile = 0x3F;
struct TSearchRec {
    int Time = 0;  // DOS date and time
    int64_t Size = 0;
    int Attr = 0;
    AnsiString Name;
    int ExcludeAttr = 0;
    HANDLE FindHandle = INVALID_HANDLE_VALUE;
};
// 0 on success, else the platform's error code; F holds the first match
// whose attributes fit Attr (hidden, system and directory entries need their bit).
int FindFirst(const AnsiString& Path, int Attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

// Published properties by name, through the class registry. A missing class
// or property is no error.
bool HasPublishedProp(TPersistent* Obj, const AnsiString& Name);
// The ordinal value (integer, Boolean, enumeration, colour, set as its mask);
// -1 when there is no such property, it is not ordinal or cannot be read.
int64_t OrdPropOf(TPersistent* Obj, const AnsiString& Name);
// Sets an ordinal (integer, Boolean, enumeration, colour) property when it exists.
void PutOrdProp(TPersistent* Obj, const AnsiString& Name, int64_t Value);
// The nested object of an object-valued property; nil when there is none.
TPersistent* ObjectPropOf(TPersistent* Obj, const AnsiString& Name);
// Whether the set-typed property holds the element named Element (exact,
// case-sensitive; elements 0-31). False for any other property.
bool SetPropContains(TPersistent* Obj, const AnsiString& Name, const AnsiString& Element);
// Adds or removes one element of a set-typed property through its text form;
// nothing is written when the set already is so or Element is no element.
void ChangeSetProp(TPersistent* Obj, const AnsiString& Name, const AnsiString& Element, bool Include);
