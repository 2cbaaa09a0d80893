#include "acAlphaImageList.h"

#include "Guards.h"
#include "ResourceStream.h"
#include "TypeInfo.h"
#include "acPNG.h"

TsAlphaImageList* StartupImageList = nullptr;

namespace {

// The platform list of 32-bit images with alpha (and a mask for the
// platforms that want one).
constexpr UINT kAlphaListFlags = ILC_MASK | ILC_COLOR32 | ILC_PALETTE;

// Adds the icon to the list and destroys it; a 0 icon adds nothing.
void AddAndDestroy(HIMAGELIST List, HICON Icon) {
    if (!Icon) return;
    ImageList_ReplaceIcon(List, -1, Icon);
    DestroyIcon(Icon);
}

// An icon whose colour bitmap has no alpha of its own: every pixel made
// opaque except those of the top-left pixel's colour.
HICON KeyedIcon(HICON Source) {
    ICONINFO info{};
    if (!GetIconInfo(Source, &info)) return nullptr;
    BitmapHandle mask(info.hbmMask);
    if (!info.hbmColor) return nullptr;
    TPNGGraphic png;
    png.SetHandle(info.hbmColor);  // owned by the picture from here
    return png.MakeIcon(true);
}

}  // namespace

// ---------------------------------------------------------------- items

TsImgListItem::TsImgListItem(TCollection* Collection)
    : TCollectionItem(Collection), FImgData(std::make_unique<TMemoryStream>()) {}

TsImgListItem::~TsImgListItem() = default;

void TsImgListItem::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TsImgListItem*>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    FImageFormat = src->FImageFormat;
    FPixelFormat = src->FPixelFormat;
    ReadImgData(src->FImgData->Bytes());
}

void TsImgListItem::AssignTo(TPersistent* Dest) {
    if (auto* d = dynamic_cast<TsImgListItem*>(Dest))
        d->Assign(this);
    else
        TCollectionItem::AssignTo(Dest);
}

void TsImgListItem::ReadImgData(const std::vector<uint8_t>& Bytes) {
    FImgData->Clear();
    if (!Bytes.empty()) FImgData->Write(Bytes.data(), int64_t(Bytes.size()));
    FImgData->SetPosition(0);
}

TsImgListItems::TsImgListItems(TsAlphaImageList* Owner)
    : TCollection([](TCollection* c) -> TCollectionItem* { return new TsImgListItem(c); }, "TsImgListItem", Owner),
      FList(Owner) {}

// ---------------------------------------------------------------- the list

TsAlphaImageList::TsAlphaImageList(TComponent* AOwner)
    : TImageList(AOwner), FItems(std::make_unique<TsImgListItems>(this)) {
    // What follows construction: a list read from form data is built once
    // its items are in (Loaded), any other now.
    if (!(ComponentState() & csLoading)) {
        if (!HandleAllocated()) CreateImageList();
        if (!FGenerated) GenerateStdList();
    }
}

TsAlphaImageList::~TsAlphaImageList() = default;

void TsAlphaImageList::CreateImageList() {
    HIMAGELIST h = ImageList_Create(Width(), Height(), kAlphaListFlags, AllocBy(), AllocBy());
    if (h) ImageList_SetBkColor(h, CLR_NONE);
    SetHandleField(h);
}

void TsAlphaImageList::Loaded() {
    TImageList::Loaded();
    if (!HandleAllocated()) CreateImageList();
    if (!FGenerated) GenerateStdList();
}

void TsAlphaImageList::SetItems(TsImgListItems* Value) {
    if (Value == FItems.get()) return;
    FItems->Clear();
    if (!Value) return;
    for (int i = 0; i < Value->Count(); ++i) FItems->Add()->Assign(Value->Items(i));
}

HICON TsAlphaImageList::ItemIcon(TsImgListItem* Item) {
    TMemoryStream* data = Item->ImgData();
    data->SetPosition(0);
    if (Item->ImageFormat() == ifPNG) {
        TPNGGraphic png;
        png.LoadFromStream(data);
        return png.MakeIcon(false);
    }
    TIcon icon;
    icon.LoadFromStream(data);
    HICON h = icon.ReleaseHandle();
    if (!h || Item->PixelFormat() == pf32bit) return h;
    HICON keyed = KeyedIcon(h);
    DestroyIcon(h);
    return keyed;
}

void TsAlphaImageList::GenerateStdList() {
    HIMAGELIST list = Handle();
    if (!list) return;
    Clear();
    for (int i = 0; i < FItems->Count(); ++i) AddAndDestroy(list, ItemIcon(FItems->Items(i)));
    const bool keepItems = (ComponentState() & csDesigning) || FChanging;
    if (!keepItems) FItems->Clear();
    FGenerated = keepItems && FItems->Count() > 0;
}

void TsAlphaImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, unsigned Style, bool Enabled) {
    if (!HandleAllocated()) return;
    HICON icon = GetIcon(Index);
    if (!icon) return;
    DrawIconEx(Canvas->Handle(), X, Y, icon, Width(), Height(), 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
}

void TsAlphaImageList::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TsAlphaImageList*>(Source);
    if (!src) {
        TImageList::Assign(Source);
        return;
    }
    Clear();
    // The own list goes before the sharing flag is copied: a list that was
    // ours is destroyed even when the source shares its images.
    FreeHandle();
    SetMasked(src->Masked());
    SetImageType(src->ImageType());
    SetDrawingStyle(src->DrawingStyle());
    SetShareImages(src->ShareImages());
    SetSize(src->Width(), src->Height());
    CreateImageList();
    SetBkColor(src->BkColor());
    SetBlendColor(src->BlendColor());
    if (FChanging || (ComponentState() & csDesigning)) {
        SetItems(src->Items());
        GenerateStdList();
    } else {
        for (int i = 0; i < src->Count(); ++i) AddAndDestroy(Handle(), src->GetIcon(i));
    }
}

void TsAlphaImageList::AssignTo(TPersistent* Dest) {
    if (auto* d = dynamic_cast<TCustomImageList*>(Dest))
        d->Assign(this);
    else
        TImageList::AssignTo(Dest);
}

void TsAlphaImageList::Register() {
    const TEnumInfo& imageFormat = RegisterEnum("TsImageFormat", {{"ifPNG", ifPNG}, {"ifICO", ifICO}});
    const TEnumInfo& pixelFormat = RegisterEnum(
        "TPixelFormat", {{"pfDevice", pfDevice}, {"pf1bit", pf1bit}, {"pf4bit", pf4bit}, {"pf8bit", pf8bit},
                         {"pf15bit", pf15bit}, {"pf16bit", pf16bit}, {"pf24bit", pf24bit}, {"pf32bit", pf32bit},
                         {"pfCustom", pfCustom}});
    RegisterPersistentClass<TsImgListItem>("TsImgListItem")
        .Enum("ImageFormat", &TsImgListItem::ImageFormat, &TsImgListItem::SetImageFormat, imageFormat)
        .Enum("PixelFormat", &TsImgListItem::PixelFormat, &TsImgListItem::SetPixelFormat, pixelFormat)
        .Binary("ImgData", &TsImgListItem::ReadImgData);
    RegisterComponentClass<TsAlphaImageList>("TsAlphaImageList", "TImageList")
        .Collection("Items", &TsAlphaImageList::Items);
}

// ---------------------------------------------------------------- start-up list

void acAlphaImageListInitialize() {
    TsAlphaImageList::Register();
    auto list = std::make_unique<TsAlphaImageList>(nullptr);
    list->SetSize(48, 16);
    for (const char* name : {"SF", "SR", "SD", "SE", "SC"}) {
        TResourceStream res(nullptr, name);
        TPNGGraphic png;
        png.LoadFromStream(&res);
        AddAndDestroy(list->Handle(), png.MakeIcon(false));
    }
    delete StartupImageList;
    StartupImageList = list.release();
}

void acAlphaImageListFinalize() {
    delete StartupImageList;
    StartupImageList = nullptr;
}
