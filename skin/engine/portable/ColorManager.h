// Row-by-row conversion of pixels between colour schemes, depths and sample
// counts, with an optional gamma table, and palette building.
#pragma once

#include <cstdint>
#include <vector>

#include "GraphicErrors.h"
#include "Types.h"

enum TColorScheme : uint8_t {
    csUnknown,   // 0
    csIndexed,   // 1
    csG,         // 2 grey
    csGA,        // 3 grey with alpha
    csRGB,       // 4
    csRGBA,      // 5
    csBGR,       // 6
    csBGRA,      // 7
    csCMY,       // 8
    csCMYK,      // 9
    csCIELab,    // 10
    csYCbCr,     // 11
    csPhotoYCC,  // 12: YCbCr with chroma centred at 137 (Cr) and 156 (Cb)
};

// Bits of SourceOptions / TargetOptions.
enum : uint8_t {
    coAlpha = 0x01,       // the scheme carries alpha (set from the scheme)
    coApplyGamma = 0x02,  // target: colour samples go through the gamma table
    coBigEndian = 0x04,   // source: 16-bit samples are stored big-endian
};

struct TPaletteEntry {
    uint8_t Red = 0, Green = 0, Blue = 0, Flags = 0;
    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};
using TPaletteEntries = std::vector<TPaletteEntry>;

class TColorManager {
public:
    TColorManager();

    uint8_t SourceBitsPerSample() const { return FSourceBPS; }
    uint8_t TargetBitsPerSample() const { return FTargetBPS; }
    uint8_t SourceSamplesPerPixel() const { return FSourceSPP; }
    uint8_t TargetSamplesPerPixel() const { return FTargetSPP; }
    TColorScheme SourceScheme() const { return FSourceScheme; }
    TColorScheme TargetScheme() const { return FTargetScheme; }
    void SetSourceBitsPerSample(uint8_t Value);
    void SetTargetBitsPerSample(uint8_t Value);
    void SetSourceSamplesPerPixel(uint8_t Value);
    void SetTargetSamplesPerPixel(uint8_t Value);
    void SetSourceScheme(TColorScheme Value);
    void SetTargetScheme(TColorScheme Value);

    uint8_t SourceOptions = 0, TargetOptions = 0;
    float YCbCrCoefficients[3] = {0.299f, 0.587f, 0.114f};
    uint8_t HorizontalSubSampling = 1, VerticalSubSampling = 1;

    void SetGamma(float MainGamma, float DisplayGamma);
    float MainGamma() const { return FMainGamma; }
    float DisplayGamma() const { return FDisplayGamma; }
    const uint8_t* GammaTable() const { return FGammaTable; }

    TPixelFormat GetPixelFormat(bool Target) const;

    // Converts Count target pixels. Sources holds one row address for
    // interleaved data or one per plane. Bit 0x80 of Mask stands for the first
    // pixel of every group of 8; pixels whose bit is clear are left untouched
    // in the target, and the source advances only over converted pixels.
    void ConvertRow(const void* const* Sources, int SourceCount, void* Target, uint32_t Count, uint8_t Mask);
    void ConvertRow(const void* Source, void* Target, uint32_t Count, uint8_t Mask) {
        ConvertRow(&Source, 1, Target, Count, Mask);
    }
    void SelectConversion();
    // True when ConvertRow of every pixel (mask 0xFF, one interleaved source)
    // only moves bytes within the pixel: same bits per pixel on both sides and
    // no value changed. A caller may then convert a row before it works on its
    // bytes pixel by pixel, and read the converted row back as the same data.
    bool PermutesBytesOnly();

    TPaletteEntries CreateGrayscalePalette(bool MinimumIsWhite) const;
    // DataFormat: 0 interleaved 8-bit triples, 1 quadruples (fourth byte
    // skipped), 2 and 3 three 8-bit planes; 4 to 7 the same with 16-bit
    // components.
    TPaletteEntries CreateColorPalette(const void* const* Sources, int SourceCount, int DataFormat,
                                       uint32_t ColorCount, bool Swapped) const;

private:
    enum TRoutine : uint8_t {
        crNone, crIndexCopy16, crIndex16ToN, crIndexNTo16, crRepack, crGrey816,
        crRGBToRGB, crRGBToBGR, crBGRToRGB, crBGRToBGR, crCMYKToRGB, crCMYKToBGR,
        crLabToRGB, crLabToBGR, crYCbCrToRGB, crYCbCrToBGR,
    };
    void Changing(uint8_t& Field, uint8_t Value);
    void BuildYCbCrTables();
    void RowRGB(const uint8_t* const* Src, int Planes, uint8_t* Dst, uint32_t Count, uint8_t Mask, bool Reverse);
    void RowRepack(const uint8_t* Src, uint8_t* Dst, uint32_t Count, uint8_t Mask);
    void RowIndex16(const uint8_t* Src, uint8_t* Dst, uint32_t Count, uint8_t Mask);
    void RowGrey816(const uint8_t* Src, uint8_t* Dst, uint32_t Count, uint8_t Mask);
    void RowCMYK(const uint8_t* const* Src, int Planes, uint8_t* Dst, uint32_t Count, uint8_t Mask, bool BGR);
    void RowLab(const uint8_t* const* Src, int Planes, uint8_t* Dst, uint32_t Count, uint8_t Mask, bool BGR);
    void RowYCbCr(const uint8_t* const* Src, int Planes, uint8_t* Dst, uint32_t Count, uint8_t Mask, bool BGR);
    void StoreColour(uint8_t* T, int R, int G, int B, bool BGR) const;

    bool FChanged = true;
    uint8_t FSourceBPS = 8, FTargetBPS = 8;
    uint8_t FSourceSPP = 3, FTargetSPP = 3;
    float FMainGamma = 1.0f, FDisplayGamma = 2.2f;
    uint8_t FGammaTable[256];
    bool FGammaIdentity = true;
    int FCrToRed[256] = {}, FCbToBlue[256] = {}, FCrToGreen[256] = {}, FCbToGreen[256] = {};
    TColorScheme FSourceScheme = csRGB, FTargetScheme = csBGR;
    TRoutine FRoutine = crNone;
};
