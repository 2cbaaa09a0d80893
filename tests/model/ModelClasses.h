// Test classes of the component model: a form-like root with handlers, a
// container and a leaf control (through the component's parent hooks), a
// component that holds no controls, a nested object, a picture-like class
// with its own "Data", and collections whose items hold collections. Every
// property kind of the registry is published by one of them. Shared by the
// native tests and the form reader's fuzz target.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "Components.h"
#include "Streams.h"
#include "TypeInfo.h"
#include "Types.h"

namespace model_test {

// Live objects of these classes, so tests and the fuzzer see leaks and
// double frees as counts.
inline int& Alive() {
    static int n = 0;
    return n;
}
struct Counted {
    Counted() { ++Alive(); }
    ~Counted() { --Alive(); }
};

enum TTestKind { tkPlain, tkFancy, tkOdd };
enum TTestStyle { tsBold, tsWide, tsTall };

// Nested object: "Pen.Width".
class TTestPen : public TPersistent, Counted {
public:
    const char* ClassName() const override { return "TTestPen"; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }

private:
    int FWidth = 1;
    TColor FColor = clBlack;
};

// A picture-like object whose form data is a uint32 size, then its bytes.
class TTestGraphic : public TPersistent, Counted {
public:
    const char* ClassName() const override { return "TTestGraphic"; }
    void ReadData(TStream* s) {
        const uint32_t n = s->ReadUInt32();
        if (n > s->Remaining()) throw EReadError("picture data is cut short");
        FBytes = s->ReadBytes(n);
    }
    void WriteData(TStream* s) const {
        s->WriteUInt32(uint32_t(FBytes.size()));
        if (!FBytes.empty()) s->WriteBuffer(FBytes.data(), int64_t(FBytes.size()));
    }
    const std::vector<uint8_t>& Bytes() const { return FBytes; }

private:
    std::vector<uint8_t> FBytes;
};

// Inner item: a picture and a block the class defines ("ImgData").
class TTestSubItem : public TCollectionItem, Counted {
public:
    explicit TTestSubItem(TCollection* c) : TCollectionItem(c) {}
    const char* ClassName() const override { return "TTestSubItem"; }
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& v) { FName = v; }
    TTestGraphic* Picture() const { return FPicture.get(); }
    void ReadImgData(TStream* s) { FImgData = s->ReadBytes(s->Remaining()); }
    void WriteImgData(TStream* s) const {
        if (!FImgData.empty()) s->WriteBuffer(FImgData.data(), int64_t(FImgData.size()));
    }
    const std::vector<uint8_t>& ImgData() const { return FImgData; }

private:
    AnsiString FName;
    std::unique_ptr<TTestGraphic> FPicture = std::make_unique<TTestGraphic>();
    std::vector<uint8_t> FImgData;
};

inline TCollection* NewCollection(TCollection::ItemFactory f, const char* itemClass, TPersistent* owner) {
    return new TCollection(std::move(f), itemClass, owner);
}

// Outer item: holds a collection of sub-items and a reference.
class TTestItem : public TCollectionItem, Counted {
public:
    explicit TTestItem(TCollection* c) : TCollectionItem(c) {}
    const char* ClassName() const override { return "TTestItem"; }
    int Value() const { return FValue; }
    void SetValue(int v) { FValue = v; }
    TCollection* SubItems() const { return FSubItems.get(); }
    void SetTarget(TComponent* c) { Target = c; }
    TComponent* Target = nullptr;

private:
    int FValue = 0;
    std::unique_ptr<TCollection> FSubItems{NewCollection(
        [](TCollection* o) -> TCollectionItem* { return new TTestSubItem(o); }, "TTestSubItem", this)};
};

// A component that is no control (as a timer): it may sit in a container
// but holds nothing itself.
class TTestGadget : public TComponent, Counted {
public:
    using TComponent::TComponent;
    const char* ClassName() const override { return "TTestGadget"; }
    int Count() const { return FCount; }
    void SetCount(int v) { FCount = v; }
    bool On() const { return FOn; }
    void SetOn(bool v) { FOn = v; }
    double Ratio = 0;
    void SetRatio(double v) { Ratio = v; }
    const std::vector<uint8_t>& Blob() const { return FBlob; }
    void SetBlob(const std::vector<uint8_t>& v) { FBlob = v; }
    TNotifyEvent OnFire;

private:
    int FCount = 0;
    bool FOn = false;
    std::vector<uint8_t> FBlob;
};

class TTestBox;

// A control: placed inside the box it is listed in.
class TTestControl : public TComponent, Counted {
public:
    using TComponent::TComponent;
    ~TTestControl() override;
    const char* ClassName() const override { return "TTestControl"; }
    bool HasParent() const override { return true; }
    void SetParentComponent(TComponent* AParent) override;
    TTestBox* Parent() const { return FParent; }

    TTestKind Kind() const { return FKind; }
    void SetKind(TTestKind v) { FKind = v; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    int Cursor() const { return FCursor; }
    void SetCursor(int v) { FCursor = v; }
    unsigned Styles() const { return FStyles; }
    void SetStyles(unsigned v) { FStyles = v; }
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& v) { FCaption = v; }
    int8_t Small() const { return FSmall; }
    void SetSmall(int8_t v) { FSmall = v; }
    TTestPen* Pen() const { return FPen.get(); }
    TStringList* Lines() const { return FLines.get(); }
    TCollection* Items() const { return FItems.get(); }
    void SetBuddy(TTestControl* c) { Buddy = c; }
    TTestControl* Buddy = nullptr;
    int64_t Mark = 0;
    TNotifyEvent OnClick;
    Method<void(TObject*, int, int)> OnMove;
    // References are resolved before anyone hears Loaded.
    void Loaded() override {
        TComponent::Loaded();
        ++LoadedCalls;
        BuddyAtLoaded = Buddy;
    }
    int LoadedCalls = 0;
    TTestControl* BuddyAtLoaded = nullptr;

private:
    TTestBox* FParent = nullptr;
    TTestKind FKind = tkPlain;
    TColor FColor = clWhite;
    int FCursor = 0;
    unsigned FStyles = 0;
    int8_t FSmall = 0;
    AnsiString FCaption;
    std::unique_ptr<TTestPen> FPen = std::make_unique<TTestPen>();
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
    std::unique_ptr<TCollection> FItems{NewCollection(
        [](TCollection* o) -> TCollectionItem* { return new TTestItem(o); }, "TTestItem", nullptr)};
};

// A control that holds controls.
class TTestBox : public TTestControl {
public:
    using TTestControl::TTestControl;
    ~TTestBox() override {
        // Children leave first (their owner frees them later).
        while (!Children.empty()) Children.back()->SetParentComponent(nullptr);
    }
    const char* ClassName() const override { return "TTestBox"; }
    bool HoldsControls() const override { return true; }
    std::vector<TTestControl*> Children;
};

inline TTestControl::~TTestControl() { SetParentComponent(nullptr); }

inline void TTestControl::SetParentComponent(TComponent* AParent) {
    if (FParent) std::erase(FParent->Children, this);
    FParent = dynamic_cast<TTestBox*>(AParent);
    if (FParent) FParent->Children.push_back(this);
}

// The root, as a form: its handlers are what events bind to.
class TTestRoot : public TTestBox {
public:
    using TTestBox::TTestBox;
    ~TTestRoot() override { DestroyComponents(); }
    const char* ClassName() const override { return "TTestRoot"; }
    void Fire(TObject*) { ++Fired; }
    void Clicked(TObject*) { ++Clicks; }
    void Moved(TObject*, int, int) {}
    int Fired = 0, Clicks = 0;
};

inline void RegisterClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterComponentModelClasses();
    const TEnumInfo& kinds = RegisterEnum("TTestKind", {{"tkPlain", tkPlain}, {"tkFancy", tkFancy}, {"tkOdd", tkOdd}});
    const TEnumInfo& styles =
        RegisterEnum("TTestStyles", {{"tsBold", 1 << tsBold}, {"tsWide", 1 << tsWide}, {"tsTall", 1 << tsTall}});
    RegisterPersistentClass<TTestPen>("TTestPen")
        .Int("Width", &TTestPen::Width, &TTestPen::SetWidth)
        .Color("Color", &TTestPen::Color, &TTestPen::SetColor);
    RegisterPersistentClass<TTestGraphic>("TTestGraphic")
        .DefineBinary("Data", &TTestGraphic::ReadData, &TTestGraphic::WriteData);
    RegisterPersistentClass<TTestSubItem>("TTestSubItem")
        .Str("Name", &TTestSubItem::Name, &TTestSubItem::SetName)
        .Object("Picture", &TTestSubItem::Picture, "TTestGraphic")
        .DefineBinary("ImgData", &TTestSubItem::ReadImgData, &TTestSubItem::WriteImgData);
    RegisterPersistentClass<TTestItem>("TTestItem")
        .Int("Value", &TTestItem::Value, &TTestItem::SetValue)
        .Collection("SubItems", &TTestItem::SubItems)
        .Ref("Target", &TTestItem::SetTarget, "TComponent");
    RegisterComponentClass<TTestGadget>("TTestGadget", "TComponent")
        .Int("Count", &TTestGadget::Count, &TTestGadget::SetCount)
        .Bool("On", &TTestGadget::On, &TTestGadget::SetOn)
        .Float("Ratio", &TTestGadget::SetRatio)
        .Binary("Blob", &TTestGadget::Blob, &TTestGadget::SetBlob)
        .Event("OnFire", &TTestGadget::OnFire);
    RegisterComponentClass<TTestControl>("TTestControl", "TComponent")
        .Enum("Kind", &TTestControl::Kind, &TTestControl::SetKind, kinds)
        .Color("Color", &TTestControl::Color, &TTestControl::SetColor)
        .Cursor("Cursor", &TTestControl::Cursor, &TTestControl::SetCursor)
        .Set("Styles", &TTestControl::Styles, &TTestControl::SetStyles, styles)
        .Str("Caption", &TTestControl::Caption, &TTestControl::SetCaption)
        .Int("Small", &TTestControl::Small, &TTestControl::SetSmall)
        .Object("Pen", &TTestControl::Pen, "TTestPen")
        .Object("Lines", &TTestControl::Lines, "TStringList")
        .Collection("Items", &TTestControl::Items)
        .Ref("Buddy", &TTestControl::SetBuddy, "TTestControl")
        .Custom("Mark", [](TTestControl* c, const FormValue& v, TReadContext&) {
            c->Mark = typeinfo_detail::AsInt(v, "an integer") * 2;
        })
        .Ignore("Legacy")
        .Event("OnClick", &TTestControl::OnClick)
        .Event("OnMove", &TTestControl::OnMove);
    RegisterComponentClass<TTestBox>("TTestBox", "TTestControl");
    RegisterFormClass<TTestRoot>("TTestRoot", "TTestBox")
        .Handler<&TTestRoot::Fire>("Fire")
        .Handler<&TTestRoot::Clicked>("Clicked")
        .Handler<&TTestRoot::Moved>("Moved");
}

}  // namespace model_test
