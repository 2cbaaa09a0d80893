// The records of a loaded skin and the look-ups over them: sections, skin
// images (masks) and patterns, by case-sensitive upper-case names, -1 for
// none. Portable: images are only referred to; the manager owns and frees
// them. Every index handed in is checked.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "RunTime.h"
#include "Types.h"
#include "sGradient.h"

class TBitmap;
class TJPEGImage;
class TsSkinManager;

struct TsGeneralData {
    AnsiString ParentClass;
    AnsiString SectionName;
    TColor Color = 0xFFFFFF;
    TColor FontColor[5] = {0, -1, -1, -1, -1};
    TColor HotFontColor[5] = {0, -1, -1, -1, -1};
    bool GiveOwnFont = false;
    int32_t GlowCount = 0;
    int32_t GlowMargin = 0;
    bool ReservedBoolean = false;
    int32_t Transparency = 0;
    int32_t GradientPercent = 0;
    AnsiString GradientData;
    TsGradArray GradientBands;
    int32_t ImagePercent = 0;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    int32_t FadingIterations = 5;
    TColor HotColor = 0xFFFFFF;
    int32_t HotTransparency = 0;
    int32_t HotGradientPercent = 0;
    AnsiString HotGradientData;
    TsGradArray HotGradientBands;
    int32_t HotImagePercent = 0;

    // State 0 normal, 1 hot.
    TColor StateColor(int State) const { return State == 1 ? HotColor : Color; }
    int32_t StateTransparency(int State) const { return State == 1 ? HotTransparency : Transparency; }
    int32_t StateGradientPercent(int State) const { return State == 1 ? HotGradientPercent : GradientPercent; }
    int32_t StateImagePercent(int State) const { return State == 1 ? HotImagePercent : ImagePercent; }
};

enum TacImgType : uint8_t { itisaBorder, itisaTexture, itisaGlyph, itisaGlow };

struct TsMaskData {
    TBitmap* Image = nullptr;  // own image; nil: a part of the master bitmap
    AnsiString SectionName;
    AnsiString PropertyName;
    TRect R;
    int16_t ImageCount = 1;
    int16_t MaskType = 0;
    int16_t BorderWidth = 0;
    int16_t StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    TsSkinManager* OwnerManager = nullptr;
    int16_t WL = 0, WT = 0, WR = 0, WB = 0;
};

struct TsPatternData {
    TJPEGImage* Image = nullptr;
    AnsiString SectionName;
    AnsiString PropertyName;
};

// Skin-wide values of "GLOBALINFO".
struct TsSkinValues {
    AnsiString SkinFolderPath;
    bool SkinLoaded = false;
    double Version = 0;
    AnsiString Author, Description;
    int32_t Shadow1Color = 0, Shadow1Offset = 0, Shadow1Blur = -1, Shadow1Transparency = 0, BorderColor = 0;
    int32_t BISpace = 0, BIVAlign = 0, BIRight = 0, BILeft = 0, BICloseGlow = 0, BICloseGlowMargin = 0,
            BIMaxGlow = 0, BIMaxGlowMargin = 0, BIMinGlow = 0, BIMinGlowMargin = 0;
};

// Indexes the scroll bars, check boxes, tabs and combo boxes read directly;
// -1 when absent. Rebuilt after every load and removal.
struct TsCommonIndexes {
    int16_t GlobalInfo = -1;
    int16_t CheckBoxChecked = -1, CheckBoxUnchecked = -1, CheckBoxGrayed = -1;
    int16_t RadioChecked = -1, RadioUnchecked = -1, RadioGrayed = -1;
    int16_t SmallChecked = -1, SmallUnchecked = -1, SmallGrayed = -1;
    int16_t ComboBtn = -1, ComboBtnBorder = -1, ComboBtnPattern = -1, ComboBtnHotPattern = -1, ComboGlyph = -1;
    // Top, bottom, left, right.
    int16_t Tab[4] = {-1, -1, -1, -1}, TabBorder[4] = {-1, -1, -1, -1};
    // Buttons top, bottom, left, right, then sliders vertical, horizontal.
    int16_t ScrollBtn[6] = {-1, -1, -1, -1, -1, -1}, ScrollBtnBorder[6] = {-1, -1, -1, -1, -1, -1},
            ScrollBtnGlyph[6] = {-1, -1, -1, -1, -1, -1}, ScrollBtnPattern[6] = {-1, -1, -1, -1, -1, -1},
            ScrollBtnHotPattern[6] = {-1, -1, -1, -1, -1, -1};
    // Track halves 1H, 1V, 2H, 2V.
    int16_t ScrollBar[4] = {-1, -1, -1, -1}, ScrollBarBorder[4] = {-1, -1, -1, -1},
            ScrollBarPattern[4] = {-1, -1, -1, -1}, ScrollBarHotPattern[4] = {-1, -1, -1, -1};
};

// A section as the resolver chose it: its index and its own name travel as
// one value, so every colour, image, mask and texture a painter takes comes
// from that one section. Made by TsSkinTables; -1 and "" for none.
struct TsSection {
    int Index = -1;
    AnsiString Name;
    bool Valid() const { return Index >= 0; }
};

struct TsSkinTables {
    std::vector<TsGeneralData> Sections;
    std::vector<TsMaskData> Masks;
    std::vector<TsPatternData> Patterns;

    // The raw look-up by name: loading and tests only; painters resolve.
    int SectionIndex(const AnsiString& Name) const;
    // The one resolver: a section that is missing still paints, from the
    // control kind's default section, else the plain "GLOBALINFO" section;
    // none only for an empty table.
    TsSection Resolve(const AnsiString& Name, const AnsiString& Default) const { return Resolve({Name, Default}); }
    // The same over a longer chain of wanted sections, first present wins.
    TsSection Resolve(std::initializer_list<AnsiString> Names) const;
    // The section at Index under its own name; none for a bad index.
    TsSection SectionAt(int Index) const;
    // A skin without "GLOBALINFO" gets a plain one of the given colours, so
    // that every fallback above has colours to paint from.
    void EnsureGlobalInfo(TColor Face, TColor Text);
    int MaskIndex(const AnsiString& Section, const AnsiString& Key) const;
    // The section's own image first, else the same search through the
    // ParentClass chain. A chain that comes back to a section already seen
    // ends: no match.
    int MaskIndexInherited(const TsSection& S, const AnsiString& Key) const;
    int TextureIndex(const TsSection& S, const AnsiString& Key) const;
    int PatternIndex(const TsSection& S, const AnsiString& Key) const;
    bool IsValidSectionIndex(int I) const { return I >= 0 && I < int(Sections.size()); }
    bool IsValidMaskIndex(int I) const { return I >= 0 && I < int(Masks.size()); }
    bool IsValidPatternIndex(int I) const { return I >= 0 && I < int(Patterns.size()); }

    TsCommonIndexes CacheCommonIndexes() const;
};

// Margins of a mask for painting by margins: the stored margin when above 0,
// else BorderWidth when above 0, else a third of one state cell.
int MaskMarginLeft(const TsMaskData& M);
int MaskMarginRight(const TsMaskData& M);
int MaskMarginTop(const TsMaskData& M);
int MaskMarginBottom(const TsMaskData& M);
// One state cell: an own image of ImageWidth x ImageHeight is three cells
// wide and two high; a master-bitmap part is ImageCount wide and MaskType + 1 high.
TPoint MaskStateSize(const TsMaskData& M, int ImageWidth, int ImageHeight);
// Margins when the value gives none: all BorderWidth, else a third of a cell.
void ComputeMaskMargins(TsMaskData& M);
