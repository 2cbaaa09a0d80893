// Settings the skin manager streams with its form: skins stored in the form
// data (InternalSkins), the animation settings (AnimEffects) and the class
// names of foreign controls (ThirdParty). They hold data only; the manager
// builds its tables from a stored skin (from its "Data" container when that is
// not empty, else from its collections).
#pragma once

#include <memory>

#include "Components.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "Streams.h"
#include "sSkinTables.h"
#include "sThirdParty.h"

class TsSkinManager;

// ---- stored skins ---------------------------------------------------------------

class TsSkinGeneral : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const char* ClassName() const override { return "TsSkinGeneral"; }
    AnsiString SectionName, ParentClass;
    TColor Color = 0;
    bool ReservedBoolean = false;
    AnsiString FontColor, HotFontColor;  // five integers separated by blanks
    int Transparency = 0, GlowCount = 0, GlowMargin = 0, GradientPercent = 0;
    AnsiString GradientData;
    int ImagePercent = 0;
    bool ShowFocus = false, FadingEnabled = false;
    int FadingIterations = 0;
    TColor HotColor = 0;
    int HotTransparency = 0, HotGradientPercent = 0;
    AnsiString HotGradientData;
    int HotImagePercent = 0;
    bool GiveOwnFont = false;
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value) {
        if (FName != Value) FName = Value;
    }

private:
    AnsiString FName;
};

class TsSkinImage : public TCollectionItem {
public:
    explicit TsSkinImage(TCollection* Collection);
    const char* ClassName() const override { return "TsSkinImage"; }
    AnsiString SectionName, Name, PropertyName;
    TBitmap* Image() const { return FImage.get(); }
    void SetImage(TBitmap* Value) { FImage->Assign(Value); }
    int Left = 0, Top = 0, Right = 0, Bottom = 0, ImageCount = 0, MaskType = 0, BorderWidth = 0, StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    int WL = 0, WR = 0, WT = 0, WB = 0;

private:
    std::unique_ptr<TBitmap> FImage;
};

class TsSkinPattern : public TCollectionItem {
public:
    explicit TsSkinPattern(TCollection* Collection);
    const char* ClassName() const override { return "TsSkinPattern"; }
    AnsiString SectionName, Name, PropertyName;
    TJPEGImage* Image() const { return FImage.get(); }
    void SetImage(TJPEGImage* Value) { FImage->Assign(Value); }

private:
    std::unique_ptr<TJPEGImage> FImage;
};

// The three inner collections, each owned by its stored skin.
template <class Item>
class TsStoredCollection : public TCollection {
public:
    TsStoredCollection(const char* ItemClass, TPersistent* Owner)
        : TCollection([](TCollection* c) -> TCollectionItem* { return new Item(c); }, ItemClass, Owner) {}
    Item* Items(int Index) const { return static_cast<Item*>(TCollection::Items(Index)); }
    Item* Add() { return static_cast<Item*>(TCollection::Add()); }
};
using TsSkinGenerals = TsStoredCollection<TsSkinGeneral>;
using TsSkinImages = TsStoredCollection<TsSkinImage>;
using TsSkinPatterns = TsStoredCollection<TsSkinPattern>;

class TsStoredSkin : public TCollectionItem {
public:
    explicit TsStoredSkin(TCollection* Collection);
    const char* ClassName() const override { return "TsStoredSkin"; }
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value) {
        if (FName != Value) FName = Value;
    }
    TsSkinGenerals* GeneralData() const { return FGeneralData.get(); }
    TsSkinImages* Images() const { return FImages.get(); }
    TsSkinPatterns* Patterns() const { return FPatterns.get(); }
    TBitmap* MasterBitmap() const { return FMasterBitmap.get(); }
    TColor Shadow1Color = 0;
    int Shadow1Offset = 0, Shadow1Blur = -1, Shadow1Transparency = 0;
    TColor BorderColor = 0xFF00FF;
    double Version = 0;
    AnsiString Author, Description;
    // The streamed "Data" bytes: a packed container that, when not empty,
    // takes precedence over the collections.
    TMemoryStream* Data() const { return FData.get(); }
    void SetData(const std::vector<uint8_t>& Bytes);

private:
    AnsiString FName;
    std::unique_ptr<TsSkinGenerals> FGeneralData;
    std::unique_ptr<TsSkinImages> FImages;
    std::unique_ptr<TsSkinPatterns> FPatterns;
    std::unique_ptr<TBitmap> FMasterBitmap;
    std::unique_ptr<TMemoryStream> FData;
};

class TsStoredSkins : public TsStoredCollection<TsStoredSkin> {
public:
    explicit TsStoredSkins(TsSkinManager* Owner);
    const char* ClassName() const override { return "TsStoredSkins"; }
    // Empty: only streaming fills the collection.
    void Assign(TPersistent*) override {}
    // The first stored skin of exactly that name; -1.
    int IndexOf(const AnsiString& Name) const;
};

// ---- animation settings -------------------------------------------------------------

enum TacBtnEvent { beMouseEnter, beMouseLeave, beMouseDown, beMouseUp };
using TacBtnEvents = unsigned;  // mask of 1 << TacBtnEvent

class TacBtnEffects : public TPersistent {
public:
    explicit TacBtnEffects(TsSkinManager* Manager) : Manager(Manager) {}
    const char* ClassName() const override { return "TacBtnEffects"; }
    TacBtnEvents Events() const { return FEvents; }
    void SetEvents(TacBtnEvents Value) { FEvents = Value; }
    TsSkinManager* Manager;

private:
    TacBtnEvents FEvents = 0xF;
};

class TacFormAnimation : public TPersistent {
public:
    explicit TacFormAnimation(unsigned short Time = 0) : FTime(Time) {}
    const char* ClassName() const override { return "TacFormAnimation"; }
    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    unsigned short Time() const { return FTime; }
    void SetTime(unsigned short Value) { FTime = Value; }

private:
    bool FActive = true;
    unsigned short FTime;
};
using TacFormShow = TacFormAnimation;
using TacPageChange = TacFormAnimation;
using TacDialogShow = TacFormAnimation;
using TacSkinChanging = TacFormAnimation;  // made with Time 100

class TacAnimEffects : public TPersistent {
public:
    explicit TacAnimEffects(TsSkinManager* Manager);
    const char* ClassName() const override { return "TacAnimEffects"; }
    TacBtnEffects* Buttons() const { return FButtons.get(); }
    TacDialogShow* DialogShow() const { return FDialogShow.get(); }
    TacFormShow* FormShow() const { return FFormShow.get(); }
    TacPageChange* PageChange() const { return FPageChange.get(); }
    TacSkinChanging* SkinChanging() const { return FSkinChanging.get(); }
    TsSkinManager* Manager;

private:
    std::unique_ptr<TacBtnEffects> FButtons;
    std::unique_ptr<TacFormAnimation> FDialogShow, FFormShow, FPageChange, FSkinChanging;
};

// ---- class names of foreign controls ---------------------------------------------

class ThirdPartyList : public TPersistent {
public:
    ThirdPartyList();
    const char* ClassName() const override { return "ThirdPartyList"; }
    // Indexes outside 0..16 read nothing and write nothing.
    AnsiString Get(int Index) const;
    void Set(int Index, const AnsiString& Value);

private:
    AnsiString FLists[ThirdPartyCount];
};

// Published properties of these classes for the form reader.
void RegisterStoredSkinClasses();
