#include "RzRegister.h"

const TEnumInfo& FrameStyleInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TFrameStyle", {{"fsNone", fsNone}, {"fsFlat", fsFlat}, {"fsGroove", fsGroove}, {"fsBump", fsBump},
                        {"fsLowered", fsLowered}, {"fsButtonDown", fsButtonDown}, {"fsRaised", fsRaised},
                        {"fsButtonUp", fsButtonUp}, {"fsStatus", fsStatus}, {"fsPopup", fsPopup},
                        {"fsFlatBold", fsFlatBold}, {"fsFlatRounded", fsFlatRounded}});
    return e;
}

const TEnumInfo& SidesInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TSides", {{"sdLeft", 1}, {"sdTop", 2}, {"sdRight", 4}, {"sdBottom", 8}});
    return e;
}

const TEnumInfo& GradientDirectionInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TGradientDirection",
        {{"gdDiagonalUp", gdDiagonalUp}, {"gdDiagonalDown", gdDiagonalDown},
         {"gdHorizontalEnd", gdHorizontalEnd}, {"gdHorizontalCenter", gdHorizontalCenter},
         {"gdHorizontalBox", gdHorizontalBox}, {"gdVerticalEnd", gdVerticalEnd},
         {"gdVerticalCenter", gdVerticalCenter}, {"gdVerticalBox", gdVerticalBox},
         {"gdSquareBox", gdSquareBox}, {"gdBigSquareBox", gdBigSquareBox}});
    return e;
}

const TEnumInfo& AlignInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TAlign", {{"alNone", alNone}, {"alTop", alTop}, {"alBottom", alBottom}, {"alLeft", alLeft},
                   {"alRight", alRight}, {"alClient", alClient}, {"alCustom", alCustom}});
    return e;
}

const TEnumInfo& AlignmentInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TAlignment", {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}});
    return e;
}

const TEnumInfo& PenStyleInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TPenStyle", {{"psSolid", psSolid}, {"psDash", psDash}, {"psDot", psDot}, {"psDashDot", psDashDot},
                      {"psDashDotDot", psDashDotDot}, {"psClear", psClear}, {"psInsideFrame", psInsideFrame}});
    return e;
}

const TEnumInfo& BrushStyleInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TBrushStyle", {{"bsSolid", bsSolid}, {"bsClear", bsClear}, {"bsHorizontal", bsHorizontal},
                        {"bsVertical", bsVertical}, {"bsFDiagonal", bsFDiagonal}, {"bsBDiagonal", bsBDiagonal},
                        {"bsCross", bsCross}, {"bsDiagCross", bsDiagCross}});
    return e;
}

const TEnumInfo& FontStylesInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TFontStyles", {{"fsBold", 1}, {"fsItalic", 2}, {"fsUnderline", 4}, {"fsStrikeOut", 8}});
    return e;
}

const TEnumInfo& DragModeInfo() {
    static const TEnumInfo& e = RegisterEnum("TDragMode", {{"dmManual", dmManual}, {"dmAutomatic", dmAutomatic}});
    return e;
}

const TEnumInfo& DragKindInfo() {
    static const TEnumInfo& e = RegisterEnum("TDragKind", {{"dkDrag", dkDrag}, {"dkDock", dkDock}});
    return e;
}

const TEnumInfo& FramingPreferenceInfo() {
    static const TEnumInfo& e =
        RegisterEnum("TFramingPreference", {{"fpCustomFraming", fpCustomFraming}, {"fpThemes", fpThemes}});
    return e;
}

const TEnumInfo& TextStyleInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TTextStyle", {{"tsNormal", tsNormal}, {"tsRaised", tsRaised}, {"tsRecessed", tsRecessed}, {"tsShadow", tsShadow}});
    return e;
}

const TEnumInfo& AlignmentVerticalInfo() {
    static const TEnumInfo& e =
        RegisterEnum("TAlignmentVertical", {{"avTop", avTop}, {"avCenter", avCenter}, {"avBottom", avBottom}});
    return e;
}

const TEnumInfo& GradientColorStyleInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TRzGradientColorStyle", {{"gcsSystem", gcsSystem}, {"gcsScheme", gcsScheme}, {"gcsCustom", gcsCustom}});
    return e;
}

const TEnumInfo& VisualStyleInfo() {
    static const TEnumInfo& e =
        RegisterEnum("TRzVisualStyle", {{"vsClassic", vsClassic}, {"vsThemed", vsThemed}, {"vsGradient", vsGradient}});
    return e;
}

const TEnumInfo& HotTrackColorTypeInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TRzHotTrackColorType", {{"htctComplement", htctComplement}, {"htctActual", htctActual}});
    return e;
}

AnsiString RzBaseClass(std::initializer_list<const char*> Names) {
    for (const char* n : Names)
        if (FindClassInfo(n)) return n;
    return "";
}

void RzRegisterGraphicsObjects() {
    if (!FindClassInfo("TFont")) {
        static const TEnumInfo& pitch =
            RegisterEnum("TFontPitch", {{"fpDefault", fpDefault}, {"fpVariable", fpVariable}, {"fpFixed", fpFixed}});
        RegisterPersistentClass<TFont>("TFont")
            .Str("Name", &TFont::SetName)
            .Int("Height", &TFont::SetHeight)
            .Int("Size", &TFont::SetSize)
            .Color("Color", &TFont::SetColor)
            .Set("Style", &TFont::SetStyle, FontStylesInfo())
            .Int("Charset", &TFont::SetCharset)
            .Enum("Pitch", &TFont::SetPitch, pitch);
    }
    if (!FindClassInfo("TPen"))
        RegisterPersistentClass<TPen>("TPen")
            .Color("Color", &TPen::SetColor)
            .Int("Width", &TPen::SetWidth)
            .Enum("Style", &TPen::SetStyle, PenStyleInfo());
    if (!FindClassInfo("TBrush"))
        RegisterPersistentClass<TBrush>("TBrush")
            .Color("Color", &TBrush::SetColor)
            .Enum("Style", &TBrush::SetStyle, BrushStyleInfo());
}
