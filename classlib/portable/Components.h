// The owner model and the plain containers of the class library: TList,
// TStringList, TCollection with its items, and TComponent, which owns the
// components created with it as owner and frees them, the last created first.
// Portable: no Windows headers; the controls build on it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "Persistent.h"

class TComponent;
class TCollection;

// Untyped pointer list (does not own what it holds).
class TList : public TObject {
public:
    const char* ClassName() const override { return "TList"; }
    int Count() const { return static_cast<int>(FItems.size()); }
    void* Get(int Index) const;
    void* operator[](int Index) const { return Get(Index); }
    void Put(int Index, void* Item);
    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Removes the first occurrence; answers its former index or -1.
    int Remove(void* Item);
    int IndexOf(void* Item) const;
    void Move(int CurIndex, int NewIndex);
    void Exchange(int Index1, int Index2);
    void Clear() { FItems.clear(); }

private:
    std::vector<void*> FItems;
};

// Raised for a bad index into a list (message names the index).
class EListError : public Exception {
public:
    using Exception::Exception;
};

// List of 8-bit strings, each with an optional object pointer (not owned).
class TStringList : public TPersistent {
public:
    const char* ClassName() const override { return "TStringList"; }
    int Count() const { return static_cast<int>(FItems.size()); }
    const AnsiString& Strings(int Index) const;
    const AnsiString& operator[](int Index) const { return Strings(Index); }
    void SetString(int Index, const AnsiString& S);
    TObject* Objects(int Index) const;
    void SetObject(int Index, TObject* Obj);
    int Add(const AnsiString& S);
    int AddObject(const AnsiString& S, TObject* Obj);
    void Insert(int Index, const AnsiString& S);
    void Delete(int Index);
    void Clear();
    int IndexOf(const AnsiString& S) const;
    // Lines joined by CR LF (each line ends with one); setting splits at CR, LF or CR LF.
    AnsiString Text() const;
    void SetText(const AnsiString& Value);
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    void Changed();
    struct Item {
        AnsiString S;
        TObject* Obj = nullptr;
    };
    std::vector<Item> FItems;
};

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;
    const char* ClassName() const override { return "TCollectionItem"; }
    TCollection* Collection() const { return FCollection; }
    int Index() const;
    int ID() const { return FID; }
    virtual AnsiString DisplayName() const { return ClassName(); }

protected:
    // Tells the collection that this item's settings changed.
    void Changed();

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

// Owns its items. The item class is fixed by the factory given at creation;
// the registry of published properties knows it by ItemClassName().
class TCollection : public TPersistent {
public:
    using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
    TCollection(ItemFactory Factory, const char* ItemClassName, TPersistent* Owner = nullptr);
    ~TCollection() override;
    const char* ClassName() const override { return "TCollection"; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    TCollectionItem* Add();
    void Delete(int Index);
    void Clear();
    TPersistent* Owner() const { return FOwner; }
    const char* ItemClassName() const { return FItemClassName; }

    TNotifyEvent OnChange;

protected:
    virtual void Update(TCollectionItem* Item);

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    ItemFactory FFactory;
    const char* FItemClassName;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    bool FClearing = false;
};

enum TOperation { opInsert, opRemove };

// ComponentState bits.
enum : uint32_t {
    csLoading = 0x01,
    csReading = 0x02,
    csWriting = 0x04,
    csDestroying = 0x08,
    csDesigning = 0x10,
};
using TComponentState = uint32_t;

class EComponentError : public Exception {
public:
    using Exception::Exception;
};

// A component created with an owner is freed by that owner: the owner's
// destructor frees its components, the last created first. Components that
// asked with FreeNotification hear of each other's removal.
//
// Classes whose destructors need their owned components gone first (forms,
// windowed controls) call DestroyComponents() at the top of their own
// destructor; it is idempotent.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    const char* ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    // The owned component of that name (case-insensitive), or nullptr.
    TComponent* FindComponent(const AnsiString& AName) const;

    const AnsiString& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier or that
    // another component of the same owner already has.
    virtual void SetName(const AnsiString& NewName);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }
    TComponentState ComponentState() const { return FComponentState; }

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component, the last one first.
    void DestroyComponents();
    // Marks this component and its owned components csDestroying.
    void Destroying();

    // Asks AComponent to tell this one (Notification opRemove) when it goes.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Called by the form reader once every component of a form is read and its
    // references are resolved; clears csLoading.
    virtual void Loaded();
    // The form reader's state bits (csLoading, csReading).
    void SetLoadingState(bool Loading);
    void ClearReadingState() { FComponentState &= ~csReading; }

    // The form reader's one tie to controls, overridden by them. A component
    // that HasParent (a control) is placed inside the component it is listed
    // in, which must HoldsControls (a windowed control); SetParentComponent
    // makes it that component's child. Other components only have an owner.
    virtual bool HasParent() const { return false; }
    virtual void SetParentComponent(TComponent* AParent) {}
    virtual bool HoldsControls() const { return false; }

protected:
    // Hears of AComponent's insertion into or removal from the owner, and of
    // the removal of components that were asked for FreeNotification. The
    // default passes the news on to every owned component.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void SetComponentStateBits(TComponentState Bits) { FComponentState |= Bits; }
    void ClearComponentStateBits(TComponentState Bits) { FComponentState &= ~Bits; }

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    AnsiString FName;
    intptr_t FTag = 0;
    TComponentState FComponentState = 0;
};

bool IsValidIdent(const AnsiString& S);
