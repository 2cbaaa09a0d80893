#include "Components.h"

#include <algorithm>

namespace {

[[noreturn]] void ListIndexError(int Index) {
    throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

}  // namespace

bool IsValidIdent(const AnsiString& S) {
    if (S.empty()) return false;
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!alpha(S[0])) return false;
    for (char c : S)
        if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

// ---- TList ----

void* TList::Get(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    return FItems[size_t(Index)];
}

void TList::Put(int Index, void* Item) {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    FItems[size_t(Index)] = Item;
}

int TList::Add(void* Item) {
    FItems.push_back(Item);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count()) ListIndexError(Index);
    FItems.insert(FItems.begin() + Index, Item);
}

void TList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    FItems.erase(FItems.begin() + Index);
}

int TList::Remove(void* Item) {
    int i = IndexOf(Item);
    if (i >= 0) Delete(i);
    return i;
}

int TList::IndexOf(void* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (NewIndex < 0 || NewIndex >= Count()) ListIndexError(NewIndex);
    void* item = Get(CurIndex);
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, item);
}

void TList::Exchange(int Index1, int Index2) {
    void* a = Get(Index1);
    void* b = Get(Index2);
    FItems[size_t(Index1)] = b;
    FItems[size_t(Index2)] = a;
}

// ---- TStringList ----

const AnsiString& TStringList::Strings(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    return FItems[size_t(Index)].S;
}

void TStringList::SetString(int Index, const AnsiString& S) {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    FItems[size_t(Index)].S = S;
    Changed();
}

TObject* TStringList::Objects(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    return FItems[size_t(Index)].Obj;
}

void TStringList::SetObject(int Index, TObject* Obj) {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    FItems[size_t(Index)].Obj = Obj;
}

int TStringList::Add(const AnsiString& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const AnsiString& S, TObject* Obj) {
    FItems.push_back({S, Obj});
    Changed();
    return Count() - 1;
}

void TStringList::Insert(int Index, const AnsiString& S) {
    if (Index < 0 || Index > Count()) ListIndexError(Index);
    FItems.insert(FItems.begin() + Index, Item{S, nullptr});
    Changed();
}

void TStringList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    FItems.clear();
    Changed();
}

int TStringList::IndexOf(const AnsiString& S) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (SameTextAscii(FItems[i].S, S)) return int(i);
    return -1;
}

AnsiString TStringList::Text() const {
    AnsiString r;
    for (const Item& it : FItems) {
        r += it.S;
        r += "\r\n";
    }
    return r;
}

void TStringList::SetText(const AnsiString& Value) {
    FItems.clear();
    size_t start = 0;
    for (size_t i = 0; i < Value.size(); ++i) {
        if (Value[i] == '\r' || Value[i] == '\n') {
            FItems.push_back({Value.substr(start, i - start), nullptr});
            if (Value[i] == '\r' && i + 1 < Value.size() && Value[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < Value.size()) FItems.push_back({Value.substr(start), nullptr});
    Changed();
}

void TStringList::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TStringList*>(Source)) {
        if (src == this) return;
        FItems = src->FItems;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TStringList::Changed() {
    if (OnChange) OnChange(this);
}

// ---- TCollection ----

TCollectionItem::TCollectionItem(TCollection* Collection) {
    if (Collection) Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
    if (FCollection) FCollection->RemoveItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection) return -1;
    auto& v = FCollection->FItems;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : int(it - v.begin());
}

void TCollectionItem::Changed() {
    if (FCollection) FCollection->Update(this);
}

TCollection::TCollection(ItemFactory Factory, const char* ItemClassName, TPersistent* Owner)
    : FFactory(std::move(Factory)), FItemClassName(ItemClassName), FOwner(Owner) {}

TCollection::~TCollection() {
    OnChange = nullptr;
    Clear();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    return FItems[size_t(Index)];
}

TCollectionItem* TCollection::Add() {
    // The item's constructor inserts it.
    TCollectionItem* item = FFactory(this);
    if (item->FCollection != this) InsertItem(item);
    return item;
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear() {
    if (FItems.empty()) return;
    FClearing = true;
    while (!FItems.empty()) {
        TCollectionItem* item = FItems.back();
        FItems.pop_back();
        item->FCollection = nullptr;
        delete item;
    }
    FClearing = false;
    Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    Item->FCollection = this;
    Item->FID = FNextID++;
    FItems.push_back(Item);
    Update(nullptr);
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end()) FItems.erase(it);
    Item->FCollection = nullptr;
    if (!FClearing) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {
    if (OnChange) OnChange(this);
}

// ---- TComponent ----

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Those that asked to hear of our removal forget us; we forget those we
    // asked about.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& theirs = other->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount()) ListIndexError(Index);
    return FComponents[size_t(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto& v = FOwner->FComponents;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : int(it - v.begin());
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameTextAscii(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::SetName(const AnsiString& NewName) {
    if (NewName == FName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("\"" + NewName + "\" is not a valid component name");
    if (!NewName.empty() && FOwner) {
        TComponent* other = FOwner->FindComponent(NewName);
        if (other && other != this)
            throw EComponentError("A component named " + NewName + " already exists");
    }
    FName = NewName;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    // Refused before it leaves its owner: a refused component is still owned (and freed).
    if (!AComponent->FName.empty()) {
        TComponent* same = FindComponent(AComponent->FName);
        if (same && same != AComponent)
            throw EComponentError("A component named " + AComponent->FName + " already exists");
    }
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end()) FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        Remove(c);
        delete c;
    }
}

void TComponent::Destroying() {
    if (FComponentState & csDestroying) return;
    FComponentState |= csDestroying;
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto& theirs = AComponent->FFreeNotifies;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove) RemoveNotification(AComponent);
    if (FComponentState & csDestroying) return;
    // A copy: a receiver may free components while hearing the news.
    std::vector<TComponent*> owned = FComponents;
    for (TComponent* c : owned)
        if (c != AComponent &&
            std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end())
            c->Notification(AComponent, Operation);
}

void TComponent::Loaded() { FComponentState &= ~csLoading; }

void TComponent::SetLoadingState(bool Loading) {
    if (Loading)
        FComponentState |= csLoading | csReading;
    else
        FComponentState &= ~(csLoading | csReading);
}
