#include "sSkinTables.h"

#include <algorithm>

int TsSkinTables::SectionIndex(const AnsiString& Name) const {
    for (size_t i = 0; i < Sections.size(); ++i)
        if (Sections[i].SectionName == Name) return int(i);
    return -1;
}

TsSection TsSkinTables::Resolve(std::initializer_list<AnsiString> Names) const {
    for (const AnsiString& n : Names)
        if (const int i = SectionIndex(n); i >= 0) return SectionAt(i);
    return SectionAt(SectionIndex("GLOBALINFO"));
}

TsSection TsSkinTables::SectionAt(int Index) const {
    if (!IsValidSectionIndex(Index)) return {};
    return {Index, Sections[size_t(Index)].SectionName};
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
int SearchChain(const TsSkinTables& T, const TsSection& S, F Match) {
    int Index = S.Index;
    AnsiString Section = S.Name;
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

int TsSkinTables::MaskIndexInherited(const TsSection& S, const AnsiString& Key) const {
    return SearchChain(*this, S, [&](const AnsiString& s) { return MaskIndex(s, Key); });
}

int TsSkinTables::TextureIndex(const TsSection& S, const AnsiString& Key) const {
    return SearchChain(*this, S, [&](const AnsiString& s) {
        for (size_t i = 0; i < Masks.size(); ++i)
            if (Masks[i].ImgType == itisaTexture && Masks[i].SectionName == s && Masks[i].PropertyName == Key)
                return int(i);
        return -1;
    });
}

int TsSkinTables::PatternIndex(const TsSection& S, const AnsiString& Key) const {
    return SearchChain(*this, S, [&](const AnsiString& s) {
        for (size_t i = 0; i < Patterns.size(); ++i)
            if (Patterns[i].SectionName == s && Patterns[i].PropertyName == Key) return int(i);
        return -1;
    });
}

TsCommonIndexes TsSkinTables::CacheCommonIndexes() const {
    TsCommonIndexes c;
    auto s16 = [](int v) { return int16_t(v); };
    const TsSection global = Resolve({"GLOBALINFO"});
    c.GlobalInfo = s16(global.Index);
    if (global.Valid()) {
        auto m = [&](const char* key) { return s16(MaskIndexInherited(global, key)); };
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
    // A combo box's button is a button: without its own section it paints
    // as one, with that section's images.
    const TsSection combo = Resolve("COMBOBTN", "BUTTON");
    c.ComboBtn = s16(combo.Index);
    c.ComboBtnBorder = s16(combo.Valid() ? MaskIndex(combo.Name, "BORDERSMASK") : -1);
    c.ComboBtnPattern = s16(TextureIndex(combo, "PATTERN"));
    c.ComboBtnHotPattern = s16(TextureIndex(combo, "HOTPATTERN"));
    c.ComboGlyph = s16(MaskIndex("COMBOBOX", "GLYPHMASK"));
    static const char* const tabs[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
    for (int i = 0; i < 4; ++i) {
        const TsSection tab = SectionAt(SectionIndex(tabs[i]));
        c.Tab[i] = s16(tab.Index);
        c.TabBorder[i] = s16(MaskIndexInherited(tab, "BORDERSMASK"));
    }
    static const char* const buttons[6] = {"SCROLLBTNTOP",  "SCROLLBTNBOTTOM", "SCROLLBTNLEFT",
                                           "SCROLLBTNRIGHT", "SCROLLSLIDERV",   "SCROLLSLIDERH"};
    for (int i = 0; i < 6; ++i) {
        // Arrows and thumbs are buttons: without their own section they paint
        // as one, so a thumb never vanishes into its track.
        const TsSection b = Resolve(buttons[i], "BUTTON");
        c.ScrollBtn[i] = s16(b.Index);
        c.ScrollBtnBorder[i] = s16(MaskIndexInherited(b, "BORDERSMASK"));
        if (b.Valid()) c.ScrollBtnGlyph[i] = s16(MaskIndex(b.Name, "GLYPHMASK"));
        c.ScrollBtnPattern[i] = s16(TextureIndex(b, "PATTERN"));
        c.ScrollBtnHotPattern[i] = s16(TextureIndex(b, "HOTPATTERN"));
    }
    static const char* const bars[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
    for (int i = 0; i < 4; ++i) {
        // A missing half takes the other half's section, else GLOBALINFO: a
        // bar taken over from the system must paint its track.
        const TsSection bar = Resolve(bars[i], bars[i ^ 2]);
        c.ScrollBar[i] = s16(bar.Index);
        c.ScrollBarBorder[i] = s16(MaskIndexInherited(bar, "BORDERSMASK"));
        c.ScrollBarPattern[i] = s16(TextureIndex(bar, "PATTERN"));
        c.ScrollBarHotPattern[i] = s16(TextureIndex(bar, "HOTPATTERN"));
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
