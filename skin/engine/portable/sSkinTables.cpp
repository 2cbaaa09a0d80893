#include "sSkinTables.h"

#include <algorithm>

int TsSkinTables::SectionIndex(const AnsiString& Name) const {
    for (size_t i = 0; i < Sections.size(); ++i)
        if (Sections[i].SectionName == Name) return int(i);
    return -1;
}

int TsSkinTables::SectionIndexOrDefault(const AnsiString& Name, const AnsiString& Default) const {
    for (const AnsiString& n : {Name, Default, AnsiString("GLOBALINFO")})
        if (const int i = SectionIndex(n); i >= 0) return i;
    return -1;
}

void TsSkinTables::EnsureGlobalInfo(TColor Face, TColor Text) {
    if (Sections.empty() || SectionIndex("GLOBALINFO") >= 0) return;
    TsGeneralData g;
    g.SectionName = "GLOBALINFO";
    g.Color = g.HotColor = Face;
    g.FontColor[0] = g.HotFontColor[0] = Text;
    Sections.push_back(std::move(g));
}

int TsSkinTables::MaskIndex(const AnsiString& Section, const AnsiString& Key) const {
    for (size_t i = 0; i < Masks.size(); ++i)
        if (Masks[i].SectionName == Section && Masks[i].PropertyName == Key) return int(i);
    return -1;
}

namespace {

// Walks Section and its ParentClass chain, answering Match's first hit. The
// chain is at most as long as the table: a loop (A naming B naming A, or a
// section naming itself) stops there instead of recursing for ever.
template <class F>
int SearchChain(const TsSkinTables& T, int Index, AnsiString Section, F Match) {
    if (Index < 0 || Section.empty()) return -1;
    std::vector<bool> seen(T.Sections.size(), false);
    for (;;) {
        if (int hit = Match(Section); hit >= 0) return hit;
        if (!T.IsValidSectionIndex(Index) || seen[size_t(Index)]) return -1;
        seen[size_t(Index)] = true;
        const AnsiString& parent = T.Sections[size_t(Index)].ParentClass;
        if (parent.empty() || parent == Section) return -1;
        const int parentIndex = T.SectionIndex(parent);
        if (parentIndex < 0) return -1;
        Index = parentIndex;
        Section = parent;
    }
}

}  // namespace

int TsSkinTables::MaskIndexInherited(int Index, const AnsiString& Section, const AnsiString& Key) const {
    return SearchChain(*this, Index, Section, [&](const AnsiString& s) { return MaskIndex(s, Key); });
}

int TsSkinTables::TextureIndex(int Index, const AnsiString& Section, const AnsiString& Key) const {
    return SearchChain(*this, Index, Section, [&](const AnsiString& s) {
        for (size_t i = 0; i < Masks.size(); ++i)
            if (Masks[i].ImgType == itisaTexture && Masks[i].SectionName == s && Masks[i].PropertyName == Key)
                return int(i);
        return -1;
    });
}

int TsSkinTables::PatternIndex(int Index, const AnsiString& Section, const AnsiString& Key) const {
    return SearchChain(*this, Index, Section, [&](const AnsiString& s) {
        for (size_t i = 0; i < Patterns.size(); ++i)
            if (Patterns[i].SectionName == s && Patterns[i].PropertyName == Key) return int(i);
        return -1;
    });
}

TsCommonIndexes TsSkinTables::CacheCommonIndexes() const {
    TsCommonIndexes c;
    auto s16 = [](int v) { return int16_t(v); };
    c.GlobalInfo = s16(SectionIndex("GLOBALINFO"));
    if (c.GlobalInfo >= 0) {
        auto m = [&](const char* key) { return s16(MaskIndexInherited(c.GlobalInfo, "GLOBALINFO", key)); };
        c.CheckBoxChecked = m("BOXCHECKED");
        c.CheckBoxUnchecked = m("BOXUNCHECKED");
        c.CheckBoxGrayed = m("BOXGRAYED");
        c.RadioChecked = m("RADIOCHECKED");
        c.RadioUnchecked = m("RADIOUNCHECKED");
        c.RadioGrayed = m("RADIOGRAYED");
        c.SmallChecked = m("SMALLCHECKED");
        c.SmallUnchecked = m("SMALLUNCHECKED");
        c.SmallGrayed = m("SMALLGRAYED");
    }
    c.ComboBtn = s16(SectionIndex("COMBOBTN"));
    c.ComboBtnBorder = s16(MaskIndex("COMBOBTN", "BORDERSMASK"));
    c.ComboBtnPattern = s16(TextureIndex(c.ComboBtn, "COMBOBTN", "PATTERN"));
    c.ComboBtnHotPattern = s16(TextureIndex(c.ComboBtn, "COMBOBTN", "HOTPATTERN"));
    c.ComboGlyph = s16(MaskIndex("COMBOBOX", "GLYPHMASK"));
    static const char* const tabs[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
    for (int i = 0; i < 4; ++i) {
        c.Tab[i] = s16(SectionIndex(tabs[i]));
        c.TabBorder[i] = s16(MaskIndexInherited(c.Tab[i], tabs[i], "BORDERSMASK"));
    }
    static const char* const buttons[6] = {"SCROLLBTNTOP",  "SCROLLBTNBOTTOM", "SCROLLBTNLEFT",
                                           "SCROLLBTNRIGHT", "SCROLLSLIDERV",   "SCROLLSLIDERH"};
    for (int i = 0; i < 6; ++i) {
        c.ScrollBtn[i] = s16(SectionIndex(buttons[i]));
        c.ScrollBtnBorder[i] = s16(MaskIndexInherited(c.ScrollBtn[i], buttons[i], "BORDERSMASK"));
        if (c.ScrollBtn[i] >= 0) c.ScrollBtnGlyph[i] = s16(MaskIndex(buttons[i], "GLYPHMASK"));
        c.ScrollBtnPattern[i] = s16(TextureIndex(c.ScrollBtn[i], buttons[i], "PATTERN"));
        c.ScrollBtnHotPattern[i] = s16(TextureIndex(c.ScrollBtn[i], buttons[i], "HOTPATTERN"));
    }
    static const char* const bars[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
    for (int i = 0; i < 4; ++i) {
        // A missing half takes the other half's section, else GLOBALINFO: a
        // bar taken over from the system must paint its track.
        c.ScrollBar[i] = s16(SectionIndexOrDefault(bars[i], bars[i ^ 2]));
        c.ScrollBarBorder[i] = s16(MaskIndexInherited(c.ScrollBar[i], bars[i], "BORDERSMASK"));
        c.ScrollBarPattern[i] = s16(TextureIndex(c.ScrollBar[i], bars[i], "PATTERN"));
        c.ScrollBarHotPattern[i] = s16(TextureIndex(c.ScrollBar[i], bars[i], "HOTPATTERN"));
    }
    return c;
}

namespace {
int Cells(int16_t N) { return N < 1 ? 1 : N; }
int Rows(int16_t MaskType) { return MaskType < 0 ? 1 : MaskType + 1; }
}  // namespace

// A count of 0 (or below) reads as 1, so a bad value cannot divide by zero.
int MaskMarginLeft(const TsMaskData& M) {
    if (M.WL > 0) return M.WL;
    if (M.BorderWidth > 0) return M.BorderWidth;
    return M.R.Width() / (Cells(M.ImageCount) * 3);
}
int MaskMarginRight(const TsMaskData& M) {
    if (M.WR > 0) return M.WR;
    if (M.BorderWidth > 0) return M.BorderWidth;
    return M.R.Width() / (Cells(M.ImageCount) * 3);
}
int MaskMarginTop(const TsMaskData& M) {
    if (M.WT > 0) return M.WT;
    if (M.BorderWidth > 0) return M.BorderWidth;
    return M.R.Height() / (Rows(M.MaskType) * 3);
}
int MaskMarginBottom(const TsMaskData& M) {
    if (M.WB > 0) return M.WB;
    if (M.BorderWidth > 0) return M.BorderWidth;
    return M.R.Height() / (Rows(M.MaskType) * 3);
}

TPoint MaskStateSize(const TsMaskData& M, int ImageWidth, int ImageHeight) {
    if (M.Image) return {ImageWidth / 3, ImageHeight / 2};
    return {M.R.Width() / Cells(M.ImageCount), M.R.Height() / Rows(M.MaskType)};
}

void ComputeMaskMargins(TsMaskData& M) {
    if (M.BorderWidth > 0) {
        M.WL = M.WT = M.WR = M.WB = M.BorderWidth;
        return;
    }
    M.WL = M.WR = int16_t(M.R.Width() / (Cells(M.ImageCount) * 3));
    M.WT = M.WB = int16_t(M.R.Height() / (Rows(M.MaskType) * 3));
}
