// The painter tests' one skin, built in memory: a few sections, skin images
// of every kind the painters read (a part of a 24-bit master bitmap, a
// masked own 24-bit image, a 32-bit glow image) and the manager holding them.
// Skins are not loaded from files here: the tables are filled directly.
#pragma once

#include "Graphics.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

namespace skinfixture {

// Colours the tests look for (red in the low byte).
constexpr TColor TrackEdge = 0x102060, TrackFace = 0x2040C0, ButtonFace = 0xC04020, SliderFace = 0x20C040,
                 GlyphColor = 0x000000, PanelColor = 0x0000FF, KeyCorner = 0xFF00FF,
                 GradientColor = 0x408000;

inline void FillRect24(TBitmap* B, const TRect& R, TColor C) { FillRectOnDC(B->Canvas()->Handle(), R, C); }

inline TsGeneralData Section(const char* Name, TColor Color, int Transparency = 0) {
    TsGeneralData s;
    s.SectionName = Name;
    s.Color = s.HotColor = Color;
    s.Transparency = s.HotTransparency = Transparency;
    return s;
}

inline TsMaskData Mask(const char* Section, const char* Key, TRect R, int Count, int MaskType, int Margin,
                       TBitmap* Own = nullptr, int Stretch = 4) {
    TsMaskData m;
    m.SectionName = Section;
    m.PropertyName = Key;
    m.R = R;
    m.ImageCount = int16_t(Count);
    m.MaskType = int16_t(MaskType);
    m.StretchMode = int16_t(Stretch);
    m.WL = m.WT = m.WR = m.WB = int16_t(Margin);
    m.Image = Own;
    return m;
}

// Master bitmap: at (0, 0) three 12 x 12 track cells (a 3-pixel edge round
// the face, a key-coloured top-left pixel); at (36, 0) three 12 x 12 slider
// cells (edge and face in their state's shade).
inline TBitmap* MasterBitmap() {
    TBitmap* b = CreateBitmap24(72, 12);
    for (int i = 0; i < 3; ++i) {
        FillRect24(b, Bounds(12 * i, 0, 12, 12), TrackEdge);
        FillRect24(b, Bounds(12 * i + 3, 3, 6, 6), TrackFace + i);
        b->Canvas()->SetPixels(12 * i, 0, KeyCorner);
        FillRect24(b, Bounds(36 + 12 * i, 0, 12, 12), SliderFace + i);
    }
    return b;
}

// A masked button image: three 12 x 12 cells above their masks (black:
// the image shows; a white ring at the very edge lets the background through).
inline TBitmap* ButtonImage() {
    TBitmap* b = CreateBitmap24(36, 24);
    FillRect24(b, Rect(0, 0, 36, 12), ButtonFace);
    FillRect24(b, Rect(0, 12, 36, 24), clWhite);
    for (int i = 0; i < 3; ++i) FillRect24(b, Bounds(12 * i + 1, 13, 10, 10), clBlack);
    return b;
}

// A 3 x 3-pixel glyph, three cells, its mask black (opaque) below it.
inline TBitmap* GlyphImage() {
    TBitmap* b = CreateBitmap24(9, 6);
    FillRect24(b, Rect(0, 0, 9, 3), GlyphColor);
    FillRect24(b, Rect(0, 3, 9, 6), clBlack);
    return b;
}

// A 32-bit glow image of three 24 x 24 cells: white at half alpha.
inline TBitmap* GlowImage() {
    TBitmap* b = CreateBitmap32(72, 24);
    TacImage img = ImageOf(b);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 72; ++x) {
            uint8_t* p = img.At(x, y);
            p[0] = p[1] = p[2] = 255;
            p[3] = 128;
        }
    return b;
}

inline TsSkinTables Tables() {
    TsSkinTables t;
    t.Sections = {Section("GLOBALINFO", 0xC0C0C0), Section("TSSCROLLBAR", 0x808080),
                  Section("SCROLLBAR1V", TrackFace), Section("SCROLLBAR2V", TrackFace),
                  Section("SCROLLBAR1H", TrackFace), Section("SCROLLBAR2H", TrackFace),
                  Section("SCROLLBTNTOP", ButtonFace), Section("SCROLLBTNBOTTOM", ButtonFace),
                  Section("SCROLLBTNLEFT", ButtonFace), Section("SCROLLBTNRIGHT", ButtonFace),
                  Section("SCROLLSLIDERV", SliderFace), Section("SCROLLSLIDERH", SliderFace),
                  Section("PANELX", PanelColor, 40), Section("CLEARX", 0x00FF00, 100), Section("TEXTUREX", PanelColor)};
    // A texture at 30 % under a one-colour gradient at 50 %: 20 % of the colour left.
    TsGeneralData& tex = t.Sections.back();
    tex.ImagePercent = 30;
    tex.GradientPercent = 50;
    tex.GradientData = "x";
    tex.GradientBands = {GradientBand{GradientColor, GradientColor, 100, 0}};
    const TRect track = Rect(0, 0, 36, 12), slider = Rect(36, 0, 72, 12);
    for (const char* s : {"SCROLLBAR1V", "SCROLLBAR2V", "SCROLLBAR1H", "SCROLLBAR2H"})
        t.Masks.push_back(Mask(s, "BORDERSMASK", track, 3, 0, 3));
    for (const char* s : {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"}) {
        t.Masks.push_back(Mask(s, "BORDERSMASK", Rect(0, 0, 36, 24), 3, 1, 3, ButtonImage()));
        t.Masks.push_back(Mask(s, "GLYPHMASK", Rect(0, 0, 9, 6), 3, 1, 0, GlyphImage()));
    }
    for (const char* s : {"SCROLLSLIDERV", "SCROLLSLIDERH"}) {
        t.Masks.push_back(Mask(s, "BORDERSMASK", slider, 3, 0, 3));
        t.Masks.push_back(Mask(s, "GLYPHMASK", Rect(0, 0, 9, 6), 3, 1, 0, GlyphImage()));
    }
    t.Masks.push_back(Mask("PANELX", "BORDERSMASK", track, 3, 0, 3));
    t.Masks.push_back(Mask("TEXTUREX", "PATTERN", Rect(0, 0, 12, 12), 1, 0, 0, nullptr, 0));
    t.Masks.back().ImgType = itisaTexture;
    t.Masks.push_back(Mask("GLOBALINFO", "BTNCLOSEGLOW0", Rect(0, 0, 72, 24), 3, 0, 8, GlowImage(), 0));
    return t;
}

// A manager holding the skin, the default one when it is the first.
inline TsSkinManager* MakeManager() {
    auto* m = new TsSkinManager(nullptr);
    m->InstallSkin(Tables(), TsSkinValues{}, MasterBitmap());
    m->SkinData()->Values.SkinLoaded = true;
    m->BroadcastNewSkin(false);
    return m;
}

}  // namespace skinfixture
