#include "ImgList.h"

namespace {

COLORREF ListColor(TColor C) {
    if (C == clNone) return CLR_NONE;
    if (C == clDefault) return CLR_DEFAULT;
    return COLORREF(ColorToRGB(C));
}

}  // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() { FreeHandle(); }

void TCustomImageList::FreeHandle() {
    if (FHandle && !FShareImages) ImageList_Destroy(FHandle);
    FHandle = nullptr;
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
    if (AWidth == FWidth && AHeight == FHeight) return;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) {
        FreeHandle();
        CreateImageList();
    }
}

TColor TCustomImageList::BkColor() const {
    if (!FHandle) return FBkColor;
    const COLORREF c = ImageList_GetBkColor(FHandle);
    // The list's two special values are the class library's two.
    if (c == CLR_NONE) return clNone;
    return c == CLR_DEFAULT ? clDefault : TColor(c);
}

void TCustomImageList::SetBkColor(TColor Value) {
    FBkColor = Value;
    if (FHandle) ImageList_SetBkColor(FHandle, ListColor(Value));
}

void TCustomImageList::CreateImageList() {
    FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR24 | (FMasked ? ILC_MASK : 0), FAllocBy, FAllocBy);
    if (FHandle) ImageList_SetBkColor(FHandle, ListColor(FBkColor));
}

HIMAGELIST TCustomImageList::Handle() {
    if (!FHandle) CreateImageList();
    return FHandle;
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
    if (Value == FHandle) return;
    FreeHandle();
    FHandle = Value;
    if (FHandle) ImageList_GetIconSize(FHandle, &FWidth, &FHeight);
}

void TCustomImageList::Clear() {
    if (FHandle) ImageList_Remove(FHandle, -1);
}

int TCustomImageList::AddIcon(HICON Icon) { return Icon ? ImageList_ReplaceIcon(Handle(), -1, Icon) : -1; }

HICON TCustomImageList::GetIcon(int Index) const {
    if (!FHandle || Index < 0 || Index >= Count()) return nullptr;
    return ImageList_GetIcon(FHandle, Index, ILD_TRANSPARENT);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    if (!Canvas || !FHandle || Index < 0 || Index >= Count()) return;
    DoDraw(Index, Canvas, X, Y, ILD_NORMAL, Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, unsigned Style, bool Enabled) {
    ImageList_Draw(FHandle, Index, Canvas->Handle(), X, Y, Style);
}

void TCustomImageList::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TCustomImageList*>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    FreeHandle();
    FMasked = src->FMasked;
    FImageType = src->FImageType;
    FDrawingStyle = src->FDrawingStyle;
    FShareImages = false;
    FAllocBy = src->FAllocBy;
    FBkColor = src->BkColor();
    FBlendColor = src->FBlendColor;
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    if (src->FHandle) FHandle = ImageList_Duplicate(src->FHandle);
}
