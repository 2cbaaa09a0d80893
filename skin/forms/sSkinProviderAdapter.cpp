// The control adapter: wraps a skinned form's controls, each by the wrapper
// its class name asks for in the manager's ThirdParty lists, labels made
// transparent in the skin's font colour, frames given a frame adapter.
#include <algorithm>
#include <utility>

#include "ExtControls.h"
#include "Frames.h"
#include "acSBUtils.h"
#include "acSBUtilsBars.h"
#include "acSBUtilsCtrls.h"
#include "acSBUtilsMenus.h"
#include "acSBUtilsTabs.h"
#include "acSBUtilsWnds.h"
#include "sControlUtils.h"
#include "sFrameAdapter.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

namespace {

// Re-entrance guards of the two walks, for the whole process.
bool AddingAll = false;
bool RemovingAll = false;

// How one ThirdParty list is wrapped: the wrapper factory, the section the
// item's skin state takes (nil: unchanged) and the one the wrapper is given.
using TWrapperFactory = TacMainWnd* (*)(TWinControl*, const AnsiString&, TsSkinManager*, TsCommonData*);

template <class W>
TacMainWnd* Make(TWinControl* C, const AnsiString& Section, TsSkinManager* M, TsCommonData* D) {
    return CreateWrapper<W>(C->Handle(), true, Section, M, D);
}

// Made from the control itself: whether it shows a button depends on it.
TacMainWnd* MakeExtCombo(TWinControl* C, const AnsiString& Section, TsSkinManager* M, TsCommonData* D) {
    return TacExtComboBoxWnd::CreateForControl(C, true, Section, M, D);
}

struct TThirdPartyRow {
    TWrapperFactory Factory;
    const char* ItemSection;
    const char* WrapperSection;
    // The item's control type code: its kind, whose default section a skin
    // lacking the item's own paints it with.
    int TypeCode;
};

// Codes of the kinds (their default sections): an edit box, a button, a
// check box, a group box, a panel, a page control, a tool bar, a status bar.
constexpr int kEditKind = 227, kButtonKind = 93, kCheckKind = 32, kGroupKind = 226, kPanelKind = 51,
              kPagesKind = 141, kToolBarKind = 53, kStatusKind = 151;

// By ThirdParty index (ThirdEdits ... ThirdStatusBar).
const TThirdPartyRow kRows[17] = {
    {&Make<TacEditWnd>, nullptr, "EDIT", kEditKind},
    {&Make<TacBtnWnd>, "BUTTON", "BUTTON", kButtonKind},
    {&Make<TacBitBtnWnd>, "BUTTON", "BUTTON", kButtonKind},
    {&Make<TacCheckBoxWnd>, "CHECKBOX", "", kCheckKind},
    {&Make<TacComboBoxWnd>, nullptr, "EDIT", kEditKind},
    {&Make<TacGridWnd>, nullptr, "EDIT", kEditKind},
    {&Make<TacGroupBoxWnd>, "GROUPBOX", "", kGroupKind},
    {&Make<TacListViewWnd>, nullptr, "EDIT", kEditKind},
    {&Make<TacPanelWnd>, "PANEL", "PANEL", kPanelKind},
    {&Make<TacTreeViewWnd>, nullptr, "EDIT", kEditKind},
    {&MakeExtCombo, nullptr, "EDIT", kEditKind},
    {&Make<TacExtGridWnd>, nullptr, "EDIT", kEditKind},
    {&Make<TacVirtualListWnd>, nullptr, "EDIT", kEditKind},
    {&Make<TacPageControlWnd>, "PAGECONTROL", "PAGECONTROL", kPagesKind},
    {&Make<TacTabControlWnd>, "PAGECONTROL", "PAGECONTROL", kPagesKind},
    {&Make<TacToolBarLibWnd>, "TOOLBAR", "TOOLBAR", kToolBarKind},
    {&Make<TacStatusBarWnd>, "STATUSBAR", "STATUSBAR", kStatusKind},
};

bool SkinsItself(TWinControl* W) { return W->HandleAllocated() && AnswersEngineCommand(W->Handle(), scIsSkinned); }

bool HasFrameAdapter(TControl* Frame) {
    for (int i = 0; i < Frame->ComponentCount(); ++i)
        if (dynamic_cast<TsFrameAdapter*>(Frame->Components(i))) return true;
    return false;
}

}  // namespace

// ---------------------------------------------------------------- item

TacAdapterItem::TacAdapterItem(TacCtrlAdapter* AAdapter) : Adapter(AAdapter), SkinData(new TsCommonData(this, true)) {
    SkinData->ControlTypeCode = kEditKind;
}

TacAdapterItem::~TacAdapterItem() { FreeWrapper(); }

bool TacAdapterItem::WrapperLost() const { return !ScrollWnd || ScrollWnd->Destroyed; }

void TacAdapterItem::FreeWrapper() {
    TacMainWnd* w = std::exchange(ScrollWnd, nullptr);
    if (!w) return;
    // A wrapper still on its window gives back what it replaced first.
    if (!w->Destroyed && w->CtrlHandle && IsWindow(w->CtrlHandle)) DetachWrapper(w->CtrlHandle, true, false, w);
    delete w;
}

void TacAdapterItem::DoHook(TWinControl* Control) {
    if (!Control || Control->Tag() == ExceptTag || !Control->HandleAllocated()) return;
    if (Control->Parent() && SkinsItself(Control)) return;
    Ctrl = Control;
    SkinData->OwnerControl = Control;
    if (!Control->Parent()) return;
    const int list = Adapter->ListOf(Control);
    if (list < 0) return;
    const TThirdPartyRow& row = kRows[list];
    SkinData->ControlTypeCode = row.TypeCode;
    if (row.ItemSection) SkinData->SetSkinSection(row.ItemSection);
    if (row.Factory) ScrollWnd = row.Factory(Control, row.WrapperSection, SkinData->SkinManager(), SkinData.get());
}

// ---------------------------------------------------------------- adapter

TacCtrlAdapter::~TacCtrlAdapter() {
    CleanItems();
    RemoveAllItems();
}

int TacCtrlAdapter::ListOf(const TControl* Control) const {
    TsSkinManager* m = Provider ? Provider->SkinData()->SkinManager() : nullptr;
    if (!m || !Control) return -1;
    const AnsiString name = Control->ClassName();
    for (int i = 0; i < ThirdPartyCount; ++i)
        if (const TStringList* l = m->ThirdPartyClasses(i))
            for (int j = 0; j < l->Count(); ++j)
                if (l->Strings(j) == name) return i;
    return -1;
}

bool TacCtrlAdapter::AcceptsControl(TControl* Control) {
    if (!Control || Control->Tag() == ExceptTag) return false;
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (w && (!w->HandleAllocated() || SkinsItself(w))) return false;
    const bool asked = dynamic_cast<TLabel*>(Control) || dynamic_cast<TFrame*>(Control);
    if (asked) {
        bool can = true;
        AnsiString section;
        if (Provider && Provider->OnSkinItem) Provider->OnSkinItem(Provider, Control, can, section);
        return can;
    }
    if (!w) return false;
    return ListOf(Control) >= 0;
}

TacAdapterItem* TacCtrlAdapter::GetItem(int Index) {
    return Index >= 0 && Index < Count() ? Items[size_t(Index)] : nullptr;
}

int TacCtrlAdapter::IndexOf(const TControl* Control) const {
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i]->Ctrl == Control) return int(i);
    return -1;
}

void TacCtrlAdapter::AdaptControl(TControl* Control, const AnsiString& Section) {
    if (!Control || Control->Tag() == ExceptTag || !Control->Parent()) return;
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (!w || SkinsItself(w)) return;
    bool can = true;
    AnsiString section = Section;
    if (Provider && Provider->OnSkinItem) Provider->OnSkinItem(Provider, Control, can, section);
    if (!can) return;
    if (dynamic_cast<TFrame*>(Control)) {
        if (!HasFrameAdapter(Control)) {
            auto* fa = new TsFrameAdapter(Control);
            fa->SkinData()->SetSkinSection("GROUPBOX");
        }
        return;
    }
    int index = IndexOf(Control);
    const bool fresh = index < 0;
    if (fresh) {
        Items.push_back(new TacAdapterItem(this));
        index = Count() - 1;
        Items.back()->Index = index;
        Items.back()->Ctrl = w;
    }
    TacAdapterItem* item = Items[size_t(index)];
    item->SkinData->SetSkinSection(section);
    if (!fresh) {
        if (item->ScrollWnd && item->ScrollWnd->Destroyed) {
            item->FreeWrapper();
            if (w->Parent()) item->DoHook(w);
        }
        return;
    }
    if (w->Parent()) item->DoHook(w);
    if (!item->ScrollWnd) RemoveItem(index);
}

void TacCtrlAdapter::RemoveItem(int Index) {
    if (Index < 0 || Index >= Count()) return;
    delete Items[size_t(Index)];
    // The last slot is the one that goes: nothing moves into it.
    if (Index != Count() - 1) {
        Items[size_t(Index)] = Items.back();
        Items[size_t(Index)]->Index = Index;
    }
    Items.pop_back();
}

void TacCtrlAdapter::ControlRemoved(TControl* Control) {
    for (int i = IndexOf(Control); i >= 0; i = IndexOf(Control)) RemoveItem(i);
}

void TacCtrlAdapter::CleanItems() {
    for (size_t i = 0; i < Items.size();) {
        if (!Items[i]->WrapperLost()) {
            ++i;
            continue;
        }
        delete Items[i];
        Items.erase(Items.begin() + std::ptrdiff_t(i));
        for (size_t j = i; j < Items.size(); ++j) Items[j]->Index = int(j);
    }
}

void TacCtrlAdapter::RemoveAllItems() {
    if (RemovingAll) return;
    RemovingAll = true;
    while (!Items.empty()) {
        delete Items.back();
        Items.pop_back();
    }
    RemovingAll = false;
}

void TacCtrlAdapter::WndProc(TMessage& Message) {
    // A copy: a wrapper answering may cost the list an item, which is freed,
    // so an item is looked at only while the list still holds it.
    const TacAdapterItems items = Items;
    for (TacAdapterItem* it : items) {
        if (std::find(Items.begin(), Items.end(), it) == Items.end()) continue;
        if (!it->Ctrl || !it->Ctrl->Parent() || it->WrapperLost()) continue;
        try {
            SendMessageW(it->ScrollWnd->CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
        } catch (...) {
            // One control failing a skin command must not stop the others.
        }
    }
}

void TacCtrlAdapter::AddAllItems(TWinControl* Parent) {
    if (AddingAll || !Provider) return;
    TsSkinManager* m = Provider->SkinData()->SkinManager();
    if (!m || !(m->SkinningRules() & (1u << srThirdParty))) return;
    if (!Parent) Parent = Provider->Form();
    if (!Parent) return;
    CleanItems();
    AddingAll = true;
    try {
        AddAllOf(Parent);
    } catch (...) {
        AddingAll = false;
        throw;
    }
    AddingAll = false;
}

void TacCtrlAdapter::AddAllOf(TWinControl* Parent) {
    TsSkinManager* m = Provider->SkinData()->SkinManager();
    auto take = [&](TControl* c) {
        if (!AcceptsControl(c)) return;
        if (auto* label = dynamic_cast<TLabel*>(c)) {
            label->SetTransparent(true);
            if (m) label->Font()->SetColor(m->GlobalFontColor());
        } else if (dynamic_cast<TWinControl*>(c)) {
            AdaptControl(c, "EDIT");
        }
    };
    for (int i = 0; i < Parent->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(Parent->Components(i))) take(c);
    for (int i = 0; i < Parent->ControlCount(); ++i) take(Parent->Controls(i));
    for (int i = 0; i < Parent->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(Parent->Controls(i)); w && w->HandleAllocated() && w->Parent())
            AddAllOf(w);
}
