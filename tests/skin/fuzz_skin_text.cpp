// Fuzz target for the skin text: the input is read as "Options.dat" and as
// the manager's common sections; every section is built with inheritance
// and every value is tried as each image form. Only conversion errors may
// come out, margins of every entry must stay in its rectangle's range, and
// every PARENTCLASS chain must end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sSkinText.h"

namespace {
TColor Identity(TColor c) { return c; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const AnsiString text(reinterpret_cast<const char*>(Data), Size);
    const TacSkinIni ini(text);
    std::vector<TsGeneralData> sections;
    for (const AnsiString& s : ini.SectionNames()) {
        try {
            sections.push_back(ReadSectionData(ini, s, Identity));
        } catch (const EConvertError&) {
        }
        const auto* lines = ini.Lines(s);
        if (!lines) std::abort();
        for (const TacSkinIni::Line& l : *lines) {
            TacImageValue v;
            try {
                if (!ParseImageValue(l.Value, v)) continue;
            } catch (const EConvertError&) {
                continue;
            }
            if (v.Form == TacImageForm::OwnFile || v.Form == TacImageForm::PlainFile) v.R = TRect{0, 0, 90, 60};
            TsMaskData m = MaskFromValue(v, s, l.Name);
            (void)MaskStateSize(m, 90, 60);
            (void)MaskMarginLeft(m), (void)MaskMarginTop(m), (void)MaskMarginRight(m), (void)MaskMarginBottom(m);
            (void)RectInside(m.R, 90, 60);
        }
    }
    try {
        (void)ReadSkinValues(ini);
    } catch (const EConvertError&) {
    }
    try {
        MergeCommonSections(sections, ini, Identity);
    } catch (const EConvertError&) {
    }
    TsSkinValues values;
    ShiftSkinColors(sections, values, 77, -30);
    return 0;
}
