// The image value forms of a skin description, read on the host side: by the
// skin art generator (to know what to draw where), by skinpack (to write a
// stored skin's image items) and by the skin tests (to check image sizes).
// Build tooling only; the engine has its own reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "acntUtils.h"

enum class SkinValueForm {
    None,        // not an image value
    OwnFile,     // '!' file!count!mask!type[!WL!WT!WR!WB]
    Glyph,       // '@' fixed columns, part of the master bitmap
    Border,      // '^' fixed columns with margins
    Texture,     // '~' fixed columns
    MasterPart,  // '#' words: (left,top,right,bottom) (count,mask,border,stretch)
    PlainBmp,    // a bare ".BMP" file name
    Jpeg,        // a ".JPG"/".JPEG" file name (pattern or small texture)
};

struct SkinImageValue {
    SkinValueForm Form = SkinValueForm::None;
    std::string File;            // own files: the name as the loader looks it up
    int Left = 0, Top = 0, Right = 0, Bottom = 0;  // master-bitmap rectangle
    int ImageCount = 1, MaskType = 0, ImgType = 0, StretchMode = 0, BorderWidth = 0;
    int WL = 0, WT = 0, WR = 0, WB = 0;
    bool InMaster() const {
        return Form == SkinValueForm::Glyph || Form == SkinValueForm::Border || Form == SkinValueForm::Texture ||
               Form == SkinValueForm::MasterPart;
    }
};

// Classifies Value the way the skin loader does; numbers that are no integers
// throw std::runtime_error naming the value.
SkinImageValue ParseSkinImageValue(const std::string& Value);

// Margins the loader computes when a form gives none (or all four are 0).
void ComputeSkinMargins(SkinImageValue& V, int Width, int Height);

// A 24-bit bitmap file of W x H pixels given as rows top first, Channels
// (3 or 4: red, green, blue[, alpha dropped]) bytes a pixel.
std::vector<uint8_t> Bmp24File(int W, int H, const uint8_t* Pixels, int Channels);

// Width and height of a BMP (info header), PNG (IHDR) or JPEG (frame header) file.
bool SkinPictureSize(const std::vector<uint8_t>& File, int& W, int& H);

// The skin text split into sections, in file order, with "key=value" lines.
TacIniSections ReadSkinText(const std::string& Path);
// Value of Key in Section (case-sensitive section names as the engine asks), or Default.
std::string SkinTextValue(const TacIniSections& Ini, const std::string& Section, const std::string& Key,
                          const std::string& Default = std::string());
// The loader's inherited read: Key in Section, else in its PARENTCLASS chain
// (a class naming itself ends it; loops end after 100 steps), else Default.
std::string SkinInheritedValue(const TacIniSections& Ini, const std::string& Section, const std::string& Key,
                               const std::string& Default);
// Key and value of each line of a section.
std::vector<std::pair<std::string, std::string>> SkinSectionPairs(const TacIniSection& Section);
