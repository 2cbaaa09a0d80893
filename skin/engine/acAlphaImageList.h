// An image list whose images keep their per-pixel alpha: it stores each image
// as the bytes of its PNG or icon file and builds the platform's 32-bit image
// list from them. At run time the bytes go once the list is built. Also the
// start-up list: 48 x 16 images from the program's resources "SF", "SR",
// "SD", "SE" and "SC", in that order, which nothing else reads.
#pragma once

#include <memory>

#include "ImgList.h"
#include "Streams.h"

class TsAlphaImageList;

enum TsImageFormat { ifPNG, ifICO };

class TsImgListItem : public TCollectionItem {
public:
    explicit TsImgListItem(TCollection* Collection);
    ~TsImgListItem() override;
    const char* ClassName() const override { return "TsImgListItem"; }
    void Assign(TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) override;

    TsImageFormat ImageFormat() const { return FImageFormat; }
    void SetImageFormat(TsImageFormat Value) { FImageFormat = Value; }
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }
    // The file's bytes, as form data store them ("ImgData").
    TMemoryStream* ImgData() const { return FImgData.get(); }
    void ReadImgData(const std::vector<uint8_t>& Bytes);

private:
    TsImageFormat FImageFormat = ifPNG;
    TPixelFormat FPixelFormat = pfDevice;
    std::unique_ptr<TMemoryStream> FImgData;
};

class TsImgListItems : public TCollection {
public:
    explicit TsImgListItems(TsAlphaImageList* Owner);
    const char* ClassName() const override { return "TsImgListItems"; }
    TsImgListItem* Items(int Index) const { return static_cast<TsImgListItem*>(TCollection::Items(Index)); }
    TsImgListItem* Add() { return static_cast<TsImgListItem*>(TCollection::Add()); }
    TsAlphaImageList* List() const { return FList; }

private:
    TsAlphaImageList* FList;
};

class TsAlphaImageList : public TImageList {
public:
    explicit TsAlphaImageList(TComponent* AOwner);
    ~TsAlphaImageList() override;
    const char* ClassName() const override { return "TsAlphaImageList"; }

    void Assign(TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) override;
    void Loaded() override;

    // The stored images; setting assigns the whole collection.
    TsImgListItems* Items() const { return FItems.get(); }
    void SetItems(TsImgListItems* Value);
    // Builds the platform list from the stored items again (bytes that do
    // not decode raise the picture class's error). At run time, unless the
    // list is being changed, the stored bytes are dropped afterwards.
    void GenerateStdList();
    // While set, the stored items stay after a rebuild.
    bool Changing() const { return FChanging; }
    void SetChanging(bool Value) { FChanging = Value; }
    // The platform list was built from items that are still stored.
    bool Generated() const { return FGenerated; }

    static void Register();

protected:
    void CreateImageList() override;
    void DoDraw(int Index, TCanvas* Canvas, int X, int Y, unsigned Style, bool Enabled) override;
    // The pictures live in Items, not in the platform's stream.
    void ReadData(TStream* Stream) override {}
    void WriteData(TStream* Stream) override {}

private:
    // An icon of one stored item, 0 when it makes none; the caller destroys it.
    HICON ItemIcon(TsImgListItem* Item);
    std::unique_ptr<TsImgListItems> FItems;
    bool FGenerated = false;
    bool FChanging = false;
};

// The start-up list, nil before the unit starts and after it ends.
extern TsAlphaImageList* StartupImageList;
// Unit start: the list filled from the five resources (a picture that makes
// no icon is skipped). Unit end: the list freed.
void acAlphaImageListInitialize();
void acAlphaImageListFinalize();
