#include "SkinDump.h"

#include <cstdio>

#include "Text1251.h"
#include "sSkinManager.h"

namespace {

std::string Color(TColor C) {
    if (C == -1) return "-1";
    char b[16];
    std::snprintf(b, sizeof b, "0x%06X", unsigned(C));
    return b;
}

std::string Num(long long V) { return std::to_string(V); }

std::string Size(int W, int H) { return Num(W) + "x" + Num(H); }

const char* ImgTypeName(TacImgType T) {
    static const char* const names[] = {"itisaBorder", "itisaTexture", "itisaGlyph", "itisaGlow"};
    return T <= itisaGlow ? names[T] : "?";
}

void Line(std::string& Out, std::initializer_list<std::string> Fields) {
    bool first = true;
    for (const std::string& f : Fields) {
        if (!first) Out += '\t';
        Out += f;
        first = false;
    }
    Out += '\n';
}

}  // namespace

std::string DumpSkinTables(const TsSkinManager& M) {
    std::string out;
    for (const TsGeneralData& g : M.gd())
        Line(out, {"S", Cp1251ToUtf8(g.SectionName), Cp1251ToUtf8(g.ParentClass), Color(g.Color),
                   Color(g.FontColor[0]), Color(g.FontColor[1]), Color(g.FontColor[2]), Color(g.FontColor[3]),
                   Color(g.FontColor[4]), Color(g.HotColor), Num(g.Transparency), Num(g.GradientPercent),
                   Num(g.ImagePercent), Num(g.HotTransparency)});
    for (const TsMaskData& m : M.ma())
        Line(out, {"M", Cp1251ToUtf8(m.SectionName), Cp1251ToUtf8(m.PropertyName), ImgTypeName(m.ImgType),
                   Num(m.R.Left) + "," + Num(m.R.Top) + "," + Num(m.R.Right) + "," + Num(m.R.Bottom),
                   Num(m.ImageCount), Num(m.MaskType), Num(m.WL), Num(m.WT), Num(m.WR), Num(m.WB),
                   Num(m.StretchMode), Num(m.BorderWidth),
                   m.Image ? Size(m.Image->Width(), m.Image->Height()) : std::string("0")});
    for (const TsPatternData& p : M.pa())
        Line(out, {"P", Cp1251ToUtf8(p.SectionName), Cp1251ToUtf8(p.PropertyName),
                   p.Image ? Size(p.Image->Width(), p.Image->Height()) : std::string("0x0")});
    return out;
}
