#include "sStoredSkins.h"

#include "TypeInfo.h"
#include "sSkinManager.h"

TsSkinImage::TsSkinImage(TCollection* Collection) : TCollectionItem(Collection), FImage(std::make_unique<TBitmap>()) {}

TsSkinPattern::TsSkinPattern(TCollection* Collection)
    : TCollectionItem(Collection), FImage(std::make_unique<TJPEGImage>()) {}

TsStoredSkin::TsStoredSkin(TCollection* Collection)
    : TCollectionItem(Collection),
      FGeneralData(std::make_unique<TsSkinGenerals>("TsSkinGeneral", this)),
      FImages(std::make_unique<TsSkinImages>("TsSkinImage", this)),
      FPatterns(std::make_unique<TsSkinPatterns>("TsSkinPattern", this)),
      FMasterBitmap(std::make_unique<TBitmap>()),
      FData(std::make_unique<TMemoryStream>()) {}

void TsStoredSkin::SetData(const std::vector<uint8_t>& Bytes) {
    FData->Clear();
    if (!Bytes.empty()) FData->WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    FData->SetPosition(0);
}

TsStoredSkins::TsStoredSkins(TsSkinManager* Owner) : TsStoredCollection<TsStoredSkin>("TsStoredSkin", Owner) {}

int TsStoredSkins::IndexOf(const AnsiString& Name) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Name() == Name) return i;
    return -1;
}

TacAnimEffects::TacAnimEffects(TsSkinManager* Manager)
    : Manager(Manager),
      FButtons(std::make_unique<TacBtnEffects>(Manager)),
      FDialogShow(std::make_unique<TacFormAnimation>(0)),
      FFormShow(std::make_unique<TacFormAnimation>(0)),
      FPageChange(std::make_unique<TacFormAnimation>(0)),
      FSkinChanging(std::make_unique<TacFormAnimation>(100)) {}

ThirdPartyList::ThirdPartyList() {
    for (int i = 0; i < ThirdPartyCount; ++i) FLists[i] = ThirdPartyDefaults[i];
}

AnsiString ThirdPartyList::Get(int Index) const {
    return Index >= 0 && Index < ThirdPartyCount ? FLists[Index] : AnsiString();
}

void ThirdPartyList::Set(int Index, const AnsiString& Value) {
    if (Index >= 0 && Index < ThirdPartyCount) FLists[Index] = Value;
}

namespace {

// Plain fields of the data classes, set by name from the form data.
template <class C>
struct Fields {
    TClassReg<C> R;
    Fields& Str(const char* Name, AnsiString C::*F) {
        R.Custom(Name, [F](C* o, const FormValue& v, TReadContext&) { o->*F = typeinfo_detail::AsString(v); });
        return *this;
    }
    template <class V>
    Fields& Int(const char* Name, V C::*F) {
        R.Custom(Name, [F](C* o, const FormValue& v, TReadContext&) {
            o->*F = typeinfo_detail::CheckedCast<V>(typeinfo_detail::AsInt(v, "an integer"));
        });
        return *this;
    }
    Fields& Bool(const char* Name, bool C::*F) {
        R.Custom(Name, [F](C* o, const FormValue& v, TReadContext&) { o->*F = typeinfo_detail::AsBool(v); });
        return *this;
    }
    Fields& Color(const char* Name, TColor C::*F) {
        R.Custom(Name, [F](C* o, const FormValue& v, TReadContext&) {
            o->*F = TColor(typeinfo_detail::AsIntOrIdent(v, ColorIdents()));
        });
        return *this;
    }
};

template <class C>
Fields<C> Persistent(const char* Name) {
    return Fields<C>{RegisterPersistentClass<C>(Name)};
}

}  // namespace

void RegisterStoredSkinClasses() {
    const TEnumInfo& imgType = RegisterEnum(
        "TacImgType", {{"itisaBorder", itisaBorder}, {"itisaTexture", itisaTexture}, {"itisaGlyph", itisaGlyph},
                       {"itisaGlow", itisaGlow}});
    auto general = Persistent<TsSkinGeneral>("TsSkinGeneral");
    general.R.Str("Name", &TsSkinGeneral::Name, &TsSkinGeneral::SetName);
    general.Str("SectionName", &TsSkinGeneral::SectionName)
        .Str("ParentClass", &TsSkinGeneral::ParentClass)
        .Color("Color", &TsSkinGeneral::Color)
        .Bool("ReservedBoolean", &TsSkinGeneral::ReservedBoolean)
        .Str("FontColor", &TsSkinGeneral::FontColor)
        .Str("HotFontColor", &TsSkinGeneral::HotFontColor)
        .Int("Transparency", &TsSkinGeneral::Transparency)
        .Int("GlowCount", &TsSkinGeneral::GlowCount)
        .Int("GlowMargin", &TsSkinGeneral::GlowMargin)
        .Int("GradientPercent", &TsSkinGeneral::GradientPercent)
        .Str("GradientData", &TsSkinGeneral::GradientData)
        .Int("ImagePercent", &TsSkinGeneral::ImagePercent)
        .Bool("ShowFocus", &TsSkinGeneral::ShowFocus)
        .Bool("FadingEnabled", &TsSkinGeneral::FadingEnabled)
        .Int("FadingIterations", &TsSkinGeneral::FadingIterations)
        .Color("HotColor", &TsSkinGeneral::HotColor)
        .Int("HotTransparency", &TsSkinGeneral::HotTransparency)
        .Int("HotGradientPercent", &TsSkinGeneral::HotGradientPercent)
        .Str("HotGradientData", &TsSkinGeneral::HotGradientData)
        .Int("HotImagePercent", &TsSkinGeneral::HotImagePercent)
        .Bool("GiveOwnFont", &TsSkinGeneral::GiveOwnFont);
    auto image = Persistent<TsSkinImage>("TsSkinImage");
    image.Str("SectionName", &TsSkinImage::SectionName)
        .Str("Name", &TsSkinImage::Name)
        .Str("PropertyName", &TsSkinImage::PropertyName)
        .Int("Left", &TsSkinImage::Left)
        .Int("Top", &TsSkinImage::Top)
        .Int("Right", &TsSkinImage::Right)
        .Int("Bottom", &TsSkinImage::Bottom)
        .Int("ImageCount", &TsSkinImage::ImageCount)
        .Int("MaskType", &TsSkinImage::MaskType)
        .Int("BorderWidth", &TsSkinImage::BorderWidth)
        .Int("StretchMode", &TsSkinImage::StretchMode)
        .Int("WL", &TsSkinImage::WL)
        .Int("WR", &TsSkinImage::WR)
        .Int("WT", &TsSkinImage::WT)
        .Int("WB", &TsSkinImage::WB);
    image.R.Custom("ImgType", [&imgType](TsSkinImage* o, const FormValue& v, TReadContext&) {
        o->ImgType = TacImgType(typeinfo_detail::AsEnum(v, imgType));
    });
    image.R.Object("Image", &TsSkinImage::Image, "TBitmap");
    auto pattern = Persistent<TsSkinPattern>("TsSkinPattern");
    pattern.Str("SectionName", &TsSkinPattern::SectionName)
        .Str("Name", &TsSkinPattern::Name)
        .Str("PropertyName", &TsSkinPattern::PropertyName);
    pattern.R.Object("Image", &TsSkinPattern::Image, "TJPEGImage");
    auto stored = Persistent<TsStoredSkin>("TsStoredSkin");
    stored.R.Str("Name", &TsStoredSkin::Name, &TsStoredSkin::SetName)
        .Object("MasterBitmap", &TsStoredSkin::MasterBitmap, "TBitmap")
        .Collection("GeneralData", &TsStoredSkin::GeneralData)
        .Collection("Images", &TsStoredSkin::Images)
        .Collection("Patterns", &TsStoredSkin::Patterns)
        .Binary("Data", &TsStoredSkin::SetData);
    stored.Color("Shadow1Color", &TsStoredSkin::Shadow1Color)
        .Int("Shadow1Offset", &TsStoredSkin::Shadow1Offset)
        .Int("Shadow1Blur", &TsStoredSkin::Shadow1Blur)
        .Int("Shadow1Transparency", &TsStoredSkin::Shadow1Transparency)
        .Color("BorderColor", &TsStoredSkin::BorderColor)
        .Str("Author", &TsStoredSkin::Author)
        .Str("Description", &TsStoredSkin::Description);
    stored.R.Custom("Version", [](TsStoredSkin* o, const FormValue& v, TReadContext&) {
        o->Version = typeinfo_detail::AsFloat(v);
    });

    const TEnumInfo& btnEvents =
        RegisterEnum("TacBtnEvents", {{"beMouseEnter", 1 << beMouseEnter}, {"beMouseLeave", 1 << beMouseLeave},
                                      {"beMouseDown", 1 << beMouseDown}, {"beMouseUp", 1 << beMouseUp}});
    RegisterPersistentClass<TacBtnEffects>("TacBtnEffects")
        .Set("Events", &TacBtnEffects::Events, &TacBtnEffects::SetEvents, btnEvents);
    RegisterPersistentClass<TacFormAnimation>("TacFormAnimation")
        .Bool("Active", &TacFormAnimation::Active, &TacFormAnimation::SetActive)
        .Int("Time", &TacFormAnimation::Time, &TacFormAnimation::SetTime);
    RegisterPersistentClass<TacAnimEffects>("TacAnimEffects")
        .Object("Buttons", &TacAnimEffects::Buttons, "TacBtnEffects")
        .Object("DialogShow", &TacAnimEffects::DialogShow, "TacFormAnimation")
        .Object("FormShow", &TacAnimEffects::FormShow, "TacFormAnimation")
        .Object("PageChange", &TacAnimEffects::PageChange, "TacFormAnimation")
        .Object("SkinChanging", &TacAnimEffects::SkinChanging, "TacFormAnimation");

    // The published order of the class-name lists differs from their index order.
    static const char* const names[ThirdPartyCount] = {
        "ThirdEdits",     "ThirdButtons",      "ThirdBitBtns",     "ThirdCheckBoxes",  "ThirdComboBoxes",
        "ThirdGrids",     "ThirdGroupBoxes",   "ThirdListViews",   "ThirdPanels",      "ThirdTreeViews",
        "ThirdExtEdits",  "ThirdExtGrids",     "ThirdVirtualLists", "ThirdPageControl", "ThirdTabControl",
        "ThirdToolBar",   "ThirdStatusBar"};
    auto third = RegisterPersistentClass<ThirdPartyList>("ThirdPartyList");
    for (int i = 0; i < ThirdPartyCount; ++i)
        third.Custom(names[i], [i](ThirdPartyList* o, const FormValue& v, TReadContext&) {
            o->Set(i, typeinfo_detail::AsString(v));
        });
}
