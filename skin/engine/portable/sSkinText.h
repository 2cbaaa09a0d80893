// The skin description ("Options.dat") as the skin manager reads it: INI text
// held in memory, reads with inheritance through PARENTCLASS, the image value
// forms of mask keys with their margins, the section records, the skin-wide
// values, the merge of the manager's common sections, and the hue and
// saturation shift of every colour of the tables. Portable: images are loaded
// and cut by the manager, which hands its colour conversion in.
//
// Every number is read with checked conversions; a malformed number of an
// image value raises EConvertError, and PARENTCLASS chains end at the first
// section seen twice, whatever their length.
#pragma once

#include <map>
#include <vector>

#include "RunTime.h"
#include "Types.h"
#include "sSkinTables.h"

// INI text in memory: sections in file order, lines trimmed, names and values
// trimmed around the first '='; sections and keys looked up ignoring case,
// the first of several with one name winning.
class TacSkinIni {
public:
    struct Line {
        AnsiString Name, Value;
    };
    TacSkinIni() = default;
    explicit TacSkinIni(const AnsiString& Text) { SetText(Text); }
    void SetText(const AnsiString& Text);
    void SetLines(const std::vector<AnsiString>& Lines);

    // Every section header, in order, duplicates included.
    const std::vector<AnsiString>& SectionNames() const { return FNames; }
    // The first section of each name (ignoring case), in order.
    const std::vector<AnsiString>& DistinctSectionNames() const { return FDistinct; }
    // Lines of the first section of that name; nullptr when there is none.
    const std::vector<Line>* Lines(const AnsiString& Section) const;
    bool HasSection(const AnsiString& Section) const { return Lines(Section) != nullptr; }
    // Index of the first section of that name; -1.
    int SectionIndex(const AnsiString& Section) const;
    // The section its PARENTCLASS names (not empty, not "?", not itself); -1.
    int ParentIndex(int Index) const { return FParent[size_t(Index)]; }
    // Value of Ident in section Index; nullptr when it has none.
    const AnsiString* Value(int Index, const AnsiString& Ident) const;
    int SectionCount() const { return int(FLines.size()); }
    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) const;
    // "0x" prefix hexadecimal; Default when missing or no number.
    int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) const;

private:
    std::vector<AnsiString> FNames, FDistinct;
    std::vector<std::vector<Line>> FLines;
    std::map<AnsiString, size_t> FIndex;  // upper-cased name -> first section
    std::vector<int> FParent;
};

// Not found: "?"; then PARENTCLASS of Section (non-empty, not "?", not
// Section itself) is read the same way; a final "?" gives Default.
AnsiString ReadStringInherited(const TacSkinIni& Ini, const AnsiString& Section, const AnsiString& Ident,
                               const AnsiString& Default);
// A value of -1 (or none) falls back to the parent, then to Default.
int ReadIntegerInherited(const TacSkinIni& Ini, const AnsiString& Section, const AnsiString& Ident, int Default);

// ---- image values of mask keys ----------------------------------------------

enum class TacImageForm { None, OwnFile, Glyph, Border, Texture, MasterPart, PlainFile };

struct TacImageValue {
    TacImageForm Form = TacImageForm::None;
    // OwnFile: as written; PlainFile: upper-cased.
    AnsiString FileName;
    TRect R;
    int ImageCount = 1, MaskType = 0, BorderWidth = 0, StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    int WL = 0, WT = 0, WR = 0, WB = 0;
    bool MarginsGiven = false;
    bool UpperNames = false;  // section and key names upper-cased
};

// Recognises the forms by their first character ('!', '@', '^', '~'), a '#'
// (not the value "#" alone) or ".BMP" in the upper-cased value; answers
// false for any other value. Fixed columns count from 1. Raises
// EConvertError for a malformed number.
bool ParseImageValue(const AnsiString& Value, TacImageValue& Out);
// A mask entry of the value: names, rectangle (own images: set by the
// caller once the image is known), counts and margins; margins computed
// when the form gives none or all four are 0 (a glyph keeps 0).
TsMaskData MaskFromValue(const TacImageValue& V, const AnsiString& Section, const AnsiString& Key);
// Margins of an entry whose rectangle is now known.
void FinishMaskMargins(TsMaskData& M, const TacImageValue& V);
// Whether R lies inside a bitmap of Width x Height and is not empty.
bool RectInside(const TRect& R, int Width, int Height);
// Upper-cased value names a JPEG picture (".JPG" or ".JPEG").
bool IsJpegValue(const AnsiString& Value);

// ---- sections and skin-wide values ------------------------------------------

using TColorToRGB = TColor (*)(TColor);

// One section's record, every key but PARENTCLASS read with inheritance.
TsGeneralData ReadSectionData(const TacSkinIni& Ini, const AnsiString& Section, TColorToRGB ToRGB);
// The keys of "GLOBALINFO" (VERSION with '.' as separator whatever the locale).
TsSkinValues ReadSkinValues(const TacSkinIni& Ini);
// Appends every section of Common not yet in Sections; a key the common text
// lacks takes the value of the entry named by its PARENTCLASS, or the default.
void MergeCommonSections(std::vector<TsGeneralData>& Sections, const TacSkinIni& Common, TColorToRGB ToRGB);
// Five integers separated by blanks into Colors; anything else gives 0 and
// four -1. Answers whether the text had that form.
bool ParseFontColors(const AnsiString& Text, TColor Colors[5]);

// Saturation amount of the manager's Saturation property: (-S) mod 101.
inline int SaturationAmount(int Saturation) { return (-Saturation) % 101; }
// Hue, then saturation, on every colour of the sections (font colours of -1
// stay) and the skin-wide shadow and border colours.
void ShiftSkinColors(std::vector<TsGeneralData>& Sections, TsSkinValues& Values, int Hue, int Saturation);

