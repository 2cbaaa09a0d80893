// Image lists: a component over the platform's image list (comctl32), made
// when first needed at Width x Height and freed with the component unless it
// is shared. Images are drawn through the virtual DoDraw so that descendants
// that keep their pictures otherwise can draw them their way.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "Components.h"
#include "Graphics.h"

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;
    const char* ClassName() const override { return "TCustomImageList"; }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // A new size empties the list (the platform list is made again).
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    void SetSize(int AWidth, int AHeight);
    int AllocBy() const { return FAllocBy; }
    void SetAllocBy(int Value) { FAllocBy = Value; }
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value) { FMasked = Value; }
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value) { FImageType = Value; }
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value) { FDrawingStyle = Value; }
    // A shared platform list is not destroyed with the component.
    bool ShareImages() const { return FShareImages; }
    void SetShareImages(bool Value) { FShareImages = Value; }
    // clNone: drawn transparently; clDefault: the list's own background.
    TColor BkColor() const;
    void SetBkColor(TColor Value);
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value) { FBlendColor = Value; }

    // The platform list, made when there is none.
    HIMAGELIST Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Takes Value over (0: none); the former list is destroyed unless shared.
    void SetHandle(HIMAGELIST Value);
    int Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }
    void Clear();
    // Adds a copy of the icon; the index of the new image, -1 when refused.
    int AddIcon(HICON Icon);
    // An icon of image Index (the caller destroys it); 0 when there is none.
    HICON GetIcon(int Index) const;
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);

    // From another image list: its settings and a copy of its images.
    void Assign(TPersistent* Source) override;

protected:
    // Makes the platform list at the current size (the flags of a plain list:
    // colour with a mask).
    virtual void CreateImageList();
    virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, unsigned Style, bool Enabled);
    // The list's pictures in form data. A plain list's picture stream is
    // neither read nor written (no form holds one); descendants that keep
    // their pictures otherwise override these.
    virtual void ReadData(TStream* Stream) {}
    virtual void WriteData(TStream* Stream) {}
    void FreeHandle();
    void SetHandleField(HIMAGELIST Value) { FHandle = Value; }

private:
    HIMAGELIST FHandle = nullptr;
    int FWidth = 16, FHeight = 16;
    int FAllocBy = 4;
    bool FMasked = true;
    TImageType FImageType = itImage;
    TDrawingStyle FDrawingStyle = dsNormal;
    bool FShareImages = false;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
    const char* ClassName() const override { return "TImageList"; }
};
