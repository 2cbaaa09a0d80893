// Hint templates: how a skinned hint window looks. A template holds up to
// four pictures with per-pixel alpha (the default pointer position and the
// three other corners a hint may point from), each with the widths of its
// border bands, the margins of the text area and how each band and the
// centre are filled, and the font of the hint text. The unit's start-up step
// builds the default template from the program's resource "ACHINT".
#pragma once

#include <memory>

#include "Components.h"
#include "Graphics.h"

class TPNGGraphic;
class TacHintImage;

enum TacBorderDrawMode { dmRepeat, dmStretch };

// Widths of the four bands (or distances of the text area from the edges).
// Each write keeps the pair it belongs to inside the picture; a read gives 0
// for a negative value.
class TacBordersSizes : public TPersistent {
public:
    explicit TacBordersSizes(TacHintImage* Owner) : FOwner(Owner) {}
    const char* ClassName() const override { return "TacBordersSizes"; }
    void AssignTo(TPersistent* Dest) override;

    enum { siTop, siLeft, siBottom, siRight };
    int Value(int Index) const { return FValues[Index] < 0 ? 0 : FValues[Index]; }
    void SetValue(int Index, int Value);
    int Top() const { return Value(siTop); }
    int Left() const { return Value(siLeft); }
    int Bottom() const { return Value(siBottom); }
    int Right() const { return Value(siRight); }
    void SetTop(int V) { SetValue(siTop, V); }
    void SetLeft(int V) { SetValue(siLeft, V); }
    void SetBottom(int V) { SetValue(siBottom, V); }
    void SetRight(int V) { SetValue(siRight, V); }

private:
    friend class TacHintImage;
    TacHintImage* FOwner;
    int FValues[4] = {0, 0, 0, 0};
};

class TacBorderDrawModes : public TPersistent {
public:
    explicit TacBorderDrawModes(TacHintImage* Owner) : FOwner(Owner) {}
    const char* ClassName() const override { return "TacBorderDrawModes"; }
    void AssignTo(TPersistent* Dest) override;

    enum { dmiTop, dmiLeft, dmiBottom, dmiRight, dmiCenter };
    TacBorderDrawMode Mode(int Index) const { return FModes[Index]; }
    void SetMode(int Index, TacBorderDrawMode Value);
    TacBorderDrawMode Top() const { return FModes[dmiTop]; }
    TacBorderDrawMode Left() const { return FModes[dmiLeft]; }
    TacBorderDrawMode Bottom() const { return FModes[dmiBottom]; }
    TacBorderDrawMode Right() const { return FModes[dmiRight]; }
    TacBorderDrawMode Center() const { return FModes[dmiCenter]; }

private:
    TacHintImage* FOwner;
    TacBorderDrawMode FModes[5] = {dmStretch, dmStretch, dmStretch, dmStretch, dmStretch};
};

class TacHintTemplate;

class TacHintImage : public TPersistent {
public:
    explicit TacHintImage(TacHintTemplate* Owner);
    ~TacHintImage() override;
    const char* ClassName() const override { return "TacHintImage"; }
    void AssignTo(TPersistent* Dest) override;

    TPNGGraphic* Image() const { return FImage.get(); }
    // Assigns the picture, then sets the bands and margins from its size and
    // clears every pixel whose alpha is 0 to 0 in all four bytes.
    void SetImage(TPNGGraphic* Value);
    // 0 while the picture is empty.
    int ImageWidth() const;
    int ImageHeight() const;
    TacBordersSizes* BordersWidths() const { return FBordersWidths.get(); }
    TacBordersSizes* ClientMargins() const { return FClientMargins.get(); }
    TacBorderDrawModes* BorderDrawModes() const { return FBorderDrawModes.get(); }
    TacHintTemplate* Template() const { return FOwner; }

private:
    TacHintTemplate* FOwner;
    std::unique_ptr<TPNGGraphic> FImage;
    std::unique_ptr<TacBordersSizes> FBordersWidths, FClientMargins;
    std::unique_ptr<TacBorderDrawModes> FBorderDrawModes;
};

class TacHintTemplate : public TCollectionItem {
public:
    explicit TacHintTemplate(TCollection* Collection);
    ~TacHintTemplate() override;
    const char* ClassName() const override { return "TacHintTemplate"; }
    void AssignTo(TPersistent* Dest) override;

    TacHintImage* ImageDefault() const { return FImages[0].get(); }
    TacHintImage* Img_LeftBottom() const { return FImages[1].get(); }
    TacHintImage* Img_RightBottom() const { return FImages[2].get(); }
    TacHintImage* Img_RightTop() const { return FImages[3].get(); }
    // Each assigns the given image into the owned one.
    void SetImageDefault(TacHintImage* Value) { FImages[0]->Assign(Value); }
    void SetImg_LeftBottom(TacHintImage* Value) { FImages[1]->Assign(Value); }
    void SetImg_RightBottom(TacHintImage* Value) { FImages[2]->Assign(Value); }
    void SetImg_RightTop(TacHintImage* Value) { FImages[3]->Assign(Value); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value) { FName = Value; }

    // Tells the component that owns the template's collection of a change:
    // its change handler (the collection's OnChange) hears Sender, unless the
    // component is loading or a notification is already on its way.
    void Notify(TObject* Sender);

    // The unit's default template, nil before the unit starts and after it ends.
    static TacHintTemplate* DefaultTemplate;

private:
    std::unique_ptr<TacHintImage> FImages[4];
    std::unique_ptr<TFont> FFont;
    AnsiString FName;
};

// Unit start: the default template from "ACHINT" (its picture loaded
// straight in, then bands 7, 7, 15, 15 and margins 11, 7, 15, 14 written
// through the clamping rules, every fill stretched). Unit end: freed.
void acAlphaHintsInitialize();
void acAlphaHintsFinalize();
