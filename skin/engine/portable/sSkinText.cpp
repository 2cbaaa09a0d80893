#include "sSkinText.h"

#include <charconv>
#include <limits>

#include "acntUtils.h"
#include "sColorAdjust.h"

namespace {

AnsiString Trim(const AnsiString& S) {
    size_t b = 0, e = S.size();
    while (b < e && static_cast<unsigned char>(S[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(S[e - 1]) <= ' ') --e;
    return S.substr(b, e - b);
}

int16_t Int16(int V) {
    if (V > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
    if (V < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
    return int16_t(V);
}

// Columns From (1-based) .. From + Len - 1 of S as an integer; a column past
// the end reads as nothing, which is no number.
int Column(const AnsiString& S, size_t From, size_t Len) {
    const AnsiString part = From - 1 < S.size() ? S.substr(From - 1, Len) : AnsiString();
    return StrToInt(part);
}

TRect ColumnRect(const AnsiString& S) {
    return TRect{Column(S, 2, 4), Column(S, 7, 4), Column(S, 12, 4), Column(S, 17, 4)};
}

// Section and its PARENTCLASS chain, by index. A chain is at most as long as
// the text has sections: a loop of any length ends there, its sections having
// answered already.
template <class F>
bool WalkParents(const TacSkinIni& Ini, const AnsiString& Section, F Try) {
    int i = Ini.SectionIndex(Section);
    for (int steps = 0; i >= 0 && steps < Ini.SectionCount(); ++steps, i = Ini.ParentIndex(i))
        if (Try(i)) return true;
    return false;
}

bool TrueText(const AnsiString& S) { return UpperCaseAscii(S) == "TRUE"; }

}  // namespace

// ---- INI text ------------------------------------------------------------------

void TacSkinIni::SetText(const AnsiString& Text) { SetLines(IniTextLines(Text)); }

void TacSkinIni::SetLines(const std::vector<AnsiString>& Raw) {
    FNames.clear();
    FDistinct.clear();
    FLines.clear();
    FIndex.clear();
    for (const AnsiString& raw : Raw) {
        const AnsiString s = Trim(raw);
        if (s.empty() || s[0] == ';') continue;
        if (s.size() >= 2 && s[0] == '[' && s.back() == ']') {
            FNames.push_back(Trim(s.substr(1, s.size() - 2)));
            FLines.emplace_back();
            if (FIndex.emplace(UpperCaseAscii(FNames.back()), FNames.size() - 1).second)
                FDistinct.push_back(FNames.back());
            continue;
        }
        if (FLines.empty()) continue;
        const size_t eq = s.find('=');
        if (eq == AnsiString::npos)
            FLines.back().push_back({s, AnsiString()});
        else
            FLines.back().push_back({Trim(s.substr(0, eq)), Trim(s.substr(eq + 1))});
    }
    FParent.assign(FLines.size(), -1);
    for (size_t i = 0; i < FLines.size(); ++i) {
        const AnsiString* p = Value(int(i), "PARENTCLASS");
        if (!p || p->empty() || *p == "?" || *p == FNames[i]) continue;
        const int parent = SectionIndex(*p);
        if (parent != int(i)) FParent[i] = parent;
    }
}

int TacSkinIni::SectionIndex(const AnsiString& Section) const {
    auto it = FIndex.find(UpperCaseAscii(Section));
    return it == FIndex.end() ? -1 : int(it->second);
}

const AnsiString* TacSkinIni::Value(int Index, const AnsiString& Ident) const {
    for (const Line& l : FLines[size_t(Index)])
        if (SameTextAscii(l.Name, Ident)) return &l.Value;
    return nullptr;
}

const std::vector<TacSkinIni::Line>* TacSkinIni::Lines(const AnsiString& Section) const {
    auto it = FIndex.find(UpperCaseAscii(Section));
    return it == FIndex.end() ? nullptr : &FLines[it->second];
}

AnsiString TacSkinIni::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                  const AnsiString& Default) const {
    const int i = SectionIndex(Section);
    const AnsiString* v = i >= 0 ? Value(i, Ident) : nullptr;
    return v ? *v : Default;
}

int TacSkinIni::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) const {
    return IniValueToInt(ReadString(Section, Ident, AnsiString()), Default);
}

AnsiString ReadStringInherited(const TacSkinIni& Ini, const AnsiString& Section, const AnsiString& Ident,
                               const AnsiString& Default) {
    AnsiString v = "?";
    WalkParents(Ini, Section, [&](int i) {
        const AnsiString* found = Ini.Value(i, Ident);
        v = found ? *found : AnsiString("?");
        return v != "?";
    });
    return v == "?" ? Default : v;
}

int ReadIntegerInherited(const TacSkinIni& Ini, const AnsiString& Section, const AnsiString& Ident, int Default) {
    int v = -1;
    WalkParents(Ini, Section, [&](int i) {
        const AnsiString* found = Ini.Value(i, Ident);
        v = IniValueToInt(found ? *found : AnsiString(), -1);
        return v != -1;
    });
    return v == -1 ? Default : v;
}

// ---- image values --------------------------------------------------------------

bool IsJpegValue(const AnsiString& Value) {
    const AnsiString u = UpperCaseAscii(Value);
    return u.find(".JPG") != AnsiString::npos || u.find(".JPEG") != AnsiString::npos;
}

bool ParseImageValue(const AnsiString& Value, TacImageValue& Out) {
    Out = TacImageValue();
    if (Value.empty()) return false;
    const AnsiString upper = UpperCaseAscii(Value);
    switch (Value[0]) {
        case '!': {
            const TacCharSet bang("!");
            Out.Form = TacImageForm::OwnFile;
            Out.FileName = TakeWord(1, Value, bang);
            Out.ImageCount = StrToInt(TakeWord(2, Value, bang));
            Out.MaskType = StrToInt(TakeWord(3, Value, bang));
            const int type = StrToInt(TakeWord(4, Value, bang));
            // An image type no painter knows makes no image; the skin loads all the same.
            if (type < itisaBorder || type > itisaGlow) return false;
            Out.ImgType = TacImgType(type);
            Out.StretchMode = 4;
            if (CountWords(Value, bang) >= 5) {
                Out.WL = StrToInt(TakeWord(5, Value, bang));
                Out.WT = StrToInt(TakeWord(6, Value, bang));
                Out.WR = StrToInt(TakeWord(7, Value, bang));
                Out.WB = StrToInt(TakeWord(8, Value, bang));
                Out.MarginsGiven = true;
            }
            return true;
        }
        case '@':
            Out.Form = TacImageForm::Glyph;
            Out.R = ColumnRect(Value);
            Out.ImageCount = Column(Value, 22, 1);
            Out.MaskType = Column(Value, 24, 1);
            Out.ImgType = itisaGlyph;
            Out.MarginsGiven = true;  // all 0, and so they stay
            return true;
        case '^':
            Out.Form = TacImageForm::Border;
            Out.R = ColumnRect(Value);
            Out.WL = Column(Value, 22, 4);
            Out.WT = Column(Value, 27, 4);
            Out.WR = Column(Value, 32, 4);
            Out.WB = Column(Value, 37, 4);
            Out.ImageCount = Column(Value, 42, 1);
            Out.MaskType = Column(Value, 44, 1);
            Out.StretchMode = Column(Value, 46, 1);
            Out.BorderWidth = Column(Value, 48, 1);
            Out.MarginsGiven = true;
            return true;
        case '~':
            Out.Form = TacImageForm::Texture;
            Out.R = ColumnRect(Value);
            Out.StretchMode = Column(Value, 22, 2);
            Out.MaskType = Value.size() >= 25 ? Column(Value, 25, 1) : 0;
            Out.ImageCount = 1;
            Out.ImgType = itisaTexture;
            return true;
        default: break;
    }
    if (Value.find('#') != AnsiString::npos && Value != "#") {
        const TacCharSet words(" ()"), numbers(", ");
        const AnsiString rect = TakeWord(2, Value, words), counts = TakeWord(3, Value, words);
        Out.Form = TacImageForm::MasterPart;
        Out.R = TRect{StrToInt(TakeWord(1, rect, numbers)), StrToInt(TakeWord(2, rect, numbers)),
                      StrToInt(TakeWord(3, rect, numbers)), StrToInt(TakeWord(4, rect, numbers))};
        Out.ImageCount = StrToInt(TakeWord(1, counts, numbers));
        Out.MaskType = StrToInt(TakeWord(2, counts, numbers));
        const int n = CountWords(counts, numbers);
        Out.BorderWidth = n >= 3 ? StrToInt(TakeWord(3, counts, numbers)) : 0;
        Out.StretchMode = n >= 4 ? StrToInt(TakeWord(4, counts, numbers)) : 1;
        if (Out.ImageCount < 1) Out.ImageCount = 1;
        if (Out.MaskType < 0) Out.MaskType = 0;
        if (Out.BorderWidth < 0) Out.BorderWidth = 0;
        Out.UpperNames = true;
        return true;
    }
    if (upper.find(".BMP") != AnsiString::npos) {
        Out.Form = TacImageForm::PlainFile;
        Out.FileName = upper;
        Out.ImageCount = 3;
        Out.MaskType = 1;
        Out.UpperNames = true;
        return true;
    }
    return false;
}

TsMaskData MaskFromValue(const TacImageValue& V, const AnsiString& Section, const AnsiString& Key) {
    TsMaskData m;
    m.SectionName = V.UpperNames ? UpperCaseAscii(Section) : Section;
    m.PropertyName = V.UpperNames ? UpperCaseAscii(Key) : Key;
    m.R = V.R;
    m.ImageCount = Int16(V.ImageCount);
    m.MaskType = Int16(V.MaskType);
    m.BorderWidth = Int16(V.BorderWidth);
    m.StretchMode = Int16(V.StretchMode);
    m.ImgType = V.ImgType;
    FinishMaskMargins(m, V);
    return m;
}

void FinishMaskMargins(TsMaskData& M, const TacImageValue& V) {
    if (V.Form == TacImageForm::Glyph) {
        M.WL = M.WT = M.WR = M.WB = 0;
        return;
    }
    if (V.MarginsGiven && (V.WL || V.WT || V.WR || V.WB)) {
        M.WL = Int16(V.WL), M.WT = Int16(V.WT), M.WR = Int16(V.WR), M.WB = Int16(V.WB);
        return;
    }
    ComputeMaskMargins(M);
}

bool RectInside(const TRect& R, int Width, int Height) {
    return R.Left >= 0 && R.Top >= 0 && R.Left < R.Right && R.Top < R.Bottom && R.Right <= Width &&
           R.Bottom <= Height;
}

// ---- sections --------------------------------------------------------------------

namespace {

// The keys of a section record, read through a source that answers a string
// or an integer for each key (with its default).
template <class Str, class Int>
void FillSection(TsGeneralData& g, Str S, Int I, TColorToRGB ToRGB) {
    g.Color = ToRGB(I("COLOR", 0xFFFFFF));
    g.ReservedBoolean = TrueText(S("RESERVEDBOOLEAN", "FALSE"));
    g.GiveOwnFont = TrueText(S("GIVEOWNFONT", "FALSE"));
    g.GlowCount = I("GLOW", 0);
    g.GlowMargin = I("GLOWMARGIN", 0);
    static const char* const font[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
    static const char* const hot[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
    for (int i = 0; i < 5; ++i) {
        g.FontColor[i] = I(font[i], i == 0 ? 0 : -1);
        g.HotFontColor[i] = I(hot[i], i == 0 ? 0 : -1);
    }
    g.Transparency = I("TRANSPARENCY", 0);
    g.GradientPercent = I("GRADIENTPERCENT", 0);
    g.ImagePercent = I("IMAGEPERCENT", 0);
    g.GradientData = S("GRADIENTDATA", " ");
    g.GradientBands.clear();
    if (g.GradientData != " ") ParseGradientData(g.GradientData, g.GradientBands);
    g.ShowFocus = TrueText(S("SHOWFOCUS", "FALSE"));
    g.FadingEnabled = TrueText(S("FADINGENABLED", "FALSE"));
    g.FadingIterations = I("FADINGITERATIONS", 5);
    g.HotColor = I("HOTCOLOR", 0xFFFFFF);
    g.HotTransparency = I("HOTTRANSPARENCY", 0);
    g.HotGradientPercent = I("HOTGRADIENTPERCENT", 0);
    g.HotGradientData = S("HOTGRADIENTDATA", "");
    g.HotGradientBands.clear();
    if (g.HotGradientData != " ") ParseGradientData(g.HotGradientData, g.HotGradientBands);
    g.HotImagePercent = I("HOTIMAGEPERCENT", 0);
}

}  // namespace

TsGeneralData ReadSectionData(const TacSkinIni& Ini, const AnsiString& Section, TColorToRGB ToRGB) {
    TsGeneralData g;
    g.SectionName = Section;
    g.ParentClass = Ini.ReadString(Section, "PARENTCLASS", "");
    FillSection(
        g, [&](const char* k, const char* d) { return ReadStringInherited(Ini, Section, k, d); },
        [&](const char* k, int d) { return ReadIntegerInherited(Ini, Section, k, d); }, ToRGB);
    return g;
}

TsSkinValues ReadSkinValues(const TacSkinIni& Ini) {
    TsSkinValues v;
    const char* const gi = "GLOBALINFO";
    const AnsiString version = Ini.ReadString(gi, "VERSION", "0");
    double d = 0;
    if (std::from_chars(version.data(), version.data() + version.size(), d).ec == std::errc()) v.Version = d;
    v.Author = Ini.ReadString(gi, "AUTHOR", "");
    v.Description = Ini.ReadString(gi, "DESCRIPTION", "");
    v.Shadow1Color = Ini.ReadInteger(gi, "SHADOW1COLOR", 0);
    v.Shadow1Offset = StrToInt(Ini.ReadString(gi, "SHADOW1OFFSET", "0"));
    v.Shadow1Blur = StrToInt(Ini.ReadString(gi, "SHADOW1BLUR", "-1"));
    v.Shadow1Transparency = StrToInt(Ini.ReadString(gi, "SHADOW1TRANSPARENCY", "0"));
    v.BISpace = Ini.ReadInteger(gi, "BISPACE", 0);
    v.BIVAlign = Ini.ReadInteger(gi, "BIVALIGN", 0);
    v.BIRight = Ini.ReadInteger(gi, "BIRIGHT", 0);
    v.BILeft = Ini.ReadInteger(gi, "BILEFT", 0);
    v.BorderColor = Ini.ReadInteger(gi, "BORDERCOLOR", 0);
    v.BICloseGlow = StrToInt(Ini.ReadString(gi, "BICONCLOSEGLOW", "0"));
    v.BICloseGlowMargin = StrToInt(Ini.ReadString(gi, "BICONCLOSEGLOWMARGIN", "0"));
    v.BIMaxGlow = StrToInt(Ini.ReadString(gi, "BICONMAXGLOW", "0"));
    v.BIMaxGlowMargin = StrToInt(Ini.ReadString(gi, "BICONMAXGLOWMARGIN", "0"));
    v.BIMinGlow = StrToInt(Ini.ReadString(gi, "BICONMINGLOW", "0"));
    v.BIMinGlowMargin = StrToInt(Ini.ReadString(gi, "BICONMINGLOWMARGIN", "0"));
    return v;
}

void MergeCommonSections(std::vector<TsGeneralData>& Sections, const TacSkinIni& Common, TColorToRGB ToRGB) {
    for (const AnsiString& name : Common.DistinctSectionNames()) {
        bool exists = false;
        for (const TsGeneralData& g : Sections) exists = exists || g.SectionName == name;
        if (exists) continue;
        const AnsiString parent = UpperCaseAscii(Common.ReadString(name, "PARENTCLASS", "-1"));
        const TsGeneralData* p = nullptr;
        for (const TsGeneralData& g : Sections)
            if (UpperCaseAscii(g.SectionName) == parent) p = p ? p : &g;
        // Missing keys: the parent's field (the record of defaults without one).
        const TsGeneralData base = p ? *p : TsGeneralData();
        TsGeneralData g = base;
        g.SectionName = name;
        g.ParentClass = parent == "-1" ? AnsiString() : parent;
        auto has = [&](const char* k) { return Common.ReadString(name, k, "\x01") != "\x01"; };
        // Each key present in the common text is read; an absent one keeps
        // the field copied from the parent (or the default).
        TsGeneralData read;
        FillSection(
            read, [&](const char* k, const char* d) { return Common.ReadString(name, k, d); },
            [&](const char* k, int d) { return Common.ReadInteger(name, k, d); }, ToRGB);
        if (has("COLOR")) g.Color = read.Color;
        if (has("RESERVEDBOOLEAN")) g.ReservedBoolean = read.ReservedBoolean;
        if (has("GIVEOWNFONT")) g.GiveOwnFont = read.GiveOwnFont;
        if (has("GLOW")) g.GlowCount = read.GlowCount;
        if (has("GLOWMARGIN")) g.GlowMargin = read.GlowMargin;
        static const char* const font[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
        static const char* const hot[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
        for (int i = 0; i < 5; ++i) {
            if (has(font[i])) g.FontColor[i] = read.FontColor[i];
            if (has(hot[i])) g.HotFontColor[i] = read.HotFontColor[i];
        }
        if (has("TRANSPARENCY")) g.Transparency = read.Transparency;
        if (has("GRADIENTPERCENT")) g.GradientPercent = read.GradientPercent;
        if (has("IMAGEPERCENT")) g.ImagePercent = read.ImagePercent;
        if (has("GRADIENTDATA")) g.GradientData = read.GradientData, g.GradientBands = read.GradientBands;
        if (has("SHOWFOCUS")) g.ShowFocus = read.ShowFocus;
        if (has("FADINGENABLED")) g.FadingEnabled = read.FadingEnabled;
        if (has("FADINGITERATIONS")) g.FadingIterations = read.FadingIterations;
        if (has("HOTCOLOR")) g.HotColor = read.HotColor;
        if (has("HOTTRANSPARENCY")) g.HotTransparency = read.HotTransparency;
        if (has("HOTGRADIENTPERCENT")) g.HotGradientPercent = read.HotGradientPercent;
        if (has("HOTGRADIENTDATA")) g.HotGradientData = read.HotGradientData, g.HotGradientBands = read.HotGradientBands;
        if (has("HOTIMAGEPERCENT")) g.HotImagePercent = read.HotImagePercent;
        Sections.push_back(std::move(g));
    }
}

bool ParseFontColors(const AnsiString& Text, TColor Colors[5]) {
    const TacCharSet blank(" ");
    TColor c[5];
    bool ok = CountWords(Text, blank) == 5;
    try {
        for (int i = 0; ok && i < 5; ++i) c[i] = StrToInt(TakeWord(i + 1, Text, blank));
    } catch (const EConvertError&) {
        ok = false;
    }
    for (int i = 0; i < 5; ++i) Colors[i] = ok ? c[i] : (i == 0 ? 0 : -1);
    return ok;
}

void ShiftSkinColors(std::vector<TsGeneralData>& Sections, TsSkinValues& Values, int Hue, int Saturation) {
    if (Hue == 0 && Saturation == 0) return;
    auto shift = [&](TColor& c) { c = ShiftColor(c, Hue, Saturation); };
    auto bands = [&](TsGradArray& a) {
        for (GradientBand& b : a) shift(b.StartColor), shift(b.EndColor);
    };
    for (TsGeneralData& g : Sections) {
        shift(g.Color);
        shift(g.HotColor);
        for (int i = 0; i < 5; ++i) {
            if (g.FontColor[i] != -1) shift(g.FontColor[i]);
            if (g.HotFontColor[i] != -1) shift(g.HotFontColor[i]);
        }
        bands(g.GradientBands);
        bands(g.HotGradientBands);
    }
    shift(Values.Shadow1Color);
    shift(Values.BorderColor);
}
