#include "acAlphaHints.h"

#include <algorithm>

#include "Guards.h"
#include "ResourceStream.h"
#include "acPNG.h"

TacHintTemplate* TacHintTemplate::DefaultTemplate = nullptr;

namespace {

// A notification from this unit is on its way: another one raised by what
// its handler does is not passed on.
bool Notifying = false;

}  // namespace

// ---------------------------------------------------------------- sizes

void TacBordersSizes::SetValue(int Index, int Value) {
    // The pair of the index: top with bottom, left with right.
    const int other = Index ^ 2;
    const int extent = (Index == siTop || Index == siBottom) ? FOwner->ImageHeight() : FOwner->ImageWidth();
    FValues[Index] = std::min(Value, extent - 1);
    FValues[other] = std::min(FValues[other], extent - FValues[Index] - 1);
    FOwner->Template()->Notify(this);
}

void TacBordersSizes::AssignTo(TPersistent* Dest) {
    auto* d = dynamic_cast<TacBordersSizes*>(Dest);
    if (!d) {
        TPersistent::AssignTo(Dest);
        return;
    }
    d->SetTop(Top());
    d->SetLeft(Left());
    d->SetBottom(Bottom());
    d->SetRight(Right());
}

void TacBorderDrawModes::SetMode(int Index, TacBorderDrawMode Value) {
    FModes[Index] = Value;
    FOwner->Template()->Notify(this);
}

void TacBorderDrawModes::AssignTo(TPersistent* Dest) {
    auto* d = dynamic_cast<TacBorderDrawModes*>(Dest);
    if (!d) {
        TPersistent::AssignTo(Dest);
        return;
    }
    for (int i = dmiTop; i <= dmiCenter; ++i) d->SetMode(i, FModes[i]);
}

// ---------------------------------------------------------------- images

TacHintImage::TacHintImage(TacHintTemplate* Owner)
    : FOwner(Owner),
      FImage(std::make_unique<TPNGGraphic>()),
      FBordersWidths(std::make_unique<TacBordersSizes>(this)),
      FClientMargins(std::make_unique<TacBordersSizes>(this)),
      FBorderDrawModes(std::make_unique<TacBorderDrawModes>(this)) {}

TacHintImage::~TacHintImage() = default;

int TacHintImage::ImageWidth() const { return FImage->Empty() ? 0 : FImage->Width(); }
int TacHintImage::ImageHeight() const { return FImage->Empty() ? 0 : FImage->Height(); }

void TacHintImage::SetImage(TPNGGraphic* Value) {
    FImage->Assign(Value);
    // Written directly: the defaults are inside the picture by construction.
    const int w = (ImageWidth() - 1) / 2, h = (ImageHeight() - 1) / 2;
    for (TacBordersSizes* s : {FBordersWidths.get(), FClientMargins.get()}) {
        s->FValues[TacBordersSizes::siLeft] = s->FValues[TacBordersSizes::siRight] = w;
        s->FValues[TacBordersSizes::siTop] = s->FValues[TacBordersSizes::siBottom] = h;
    }
    // Fully transparent pixels carry no colour, so stretched bands blend no
    // stray colour in at their edges.
    if (!FImage->Empty() && FImage->PixelFormat() == pf32bit) {
        for (int y = 0; y < FImage->Height(); ++y) {
            auto* row = static_cast<uint8_t*>(FImage->ScanLine(y));
            for (int x = 0; x < FImage->Width(); ++x)
                if (row[x * 4 + 3] == 0) std::fill(row + x * 4, row + x * 4 + 4, uint8_t(0));
        }
    }
    FOwner->Notify(this);
}

void TacHintImage::AssignTo(TPersistent* Dest) {
    auto* d = dynamic_cast<TacHintImage*>(Dest);
    if (!d) {
        TPersistent::AssignTo(Dest);
        return;
    }
    d->SetImage(FImage.get());
    d->ClientMargins()->Assign(FClientMargins.get());
    d->BorderDrawModes()->Assign(FBorderDrawModes.get());
    d->BordersWidths()->Assign(FBordersWidths.get());
}

// ---------------------------------------------------------------- templates

TacHintTemplate::TacHintTemplate(TCollection* Collection)
    : TCollectionItem(Collection), FFont(std::make_unique<TFont>()) {
    for (auto& image : FImages) image = std::make_unique<TacHintImage>(this);
}

TacHintTemplate::~TacHintTemplate() = default;

void TacHintTemplate::SetFont(TFont* Value) {
    FFont->Assign(Value);
    Notify(this);
}

void TacHintTemplate::Notify(TObject* Sender) {
    TCollection* c = Collection();
    if (!c || Notifying) return;
    auto* owner = dynamic_cast<TComponent*>(c->Owner());
    if ((owner && (owner->ComponentState() & csLoading)) || !c->OnChange) return;
    ValueRestorer<bool> busy(Notifying, true);
    c->OnChange(Sender);
}

void TacHintTemplate::AssignTo(TPersistent* Dest) {
    auto* d = dynamic_cast<TacHintTemplate*>(Dest);
    if (!d) {
        TCollectionItem::AssignTo(Dest);
        return;
    }
    d->SetImageDefault(ImageDefault());
    d->SetImg_LeftBottom(Img_LeftBottom());
    d->SetImg_RightBottom(Img_RightBottom());
    d->SetImg_RightTop(Img_RightTop());
    d->SetFont(FFont.get());
    d->SetName(FName);
}

// ---------------------------------------------------------------- unit

void acAlphaHintsInitialize() {
    std::unique_ptr<TacHintTemplate> t(new TacHintTemplate(nullptr));
    {
        TResourceStream res(nullptr, "ACHINT");
        t->ImageDefault()->Image()->LoadFromStream(&res);
    }
    TacBordersSizes* b = t->ImageDefault()->BordersWidths();
    b->SetLeft(7);
    b->SetTop(7);
    b->SetRight(15);
    b->SetBottom(15);
    TacBordersSizes* m = t->ImageDefault()->ClientMargins();
    m->SetLeft(11);
    m->SetTop(7);
    m->SetRight(15);
    m->SetBottom(14);
    for (int i = TacBorderDrawModes::dmiTop; i <= TacBorderDrawModes::dmiCenter; ++i)
        t->ImageDefault()->BorderDrawModes()->SetMode(i, dmStretch);
    delete TacHintTemplate::DefaultTemplate;
    TacHintTemplate::DefaultTemplate = t.release();
}

void acAlphaHintsFinalize() {
    delete TacHintTemplate::DefaultTemplate;
    TacHintTemplate::DefaultTemplate = nullptr;
}
