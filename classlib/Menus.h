// Menus: TMainMenu (a form's menu bar), TPopupMenu and their TMenuItem
// trees, as real menus of the system. Every item with sub-items owns a pop-up
// menu handle, rebuilt from its visible sub-items whenever one changes; the
// menu itself owns the handle of the top level.
//
// The system tells a menu's items apart by a command number of their own
// (wID and itemData); messages are routed back to the items by that number,
// never by a pointer, so an item freed or changed while its menu is open is
// simply not found. Handles and numbers an item gives up while a menu loop
// runs are kept until the loop ends, as the open menu may still show them.
//
// Merging: a main menu may show another main menu's top level on its bar
// (an MDI child's menu on its frame's, a secondary form's on the main
// form's): the other menu's items replace this menu's items of the same
// GroupIndex and go between the others by GroupIndex otherwise. The merged
// items stay the other menu's: their commands, changes and handlers are
// theirs, the bar only shows them.
//
// Owner drawing: with OwnerDraw the menu's items are drawn by OnMeasureItem
// and OnAdvancedDrawItem (or OnDrawItem), else by the item's own painting in
// the system's colours. A form routes its menu's messages (WM_COMMAND,
// WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM, WM_MENUCHAR) through
// DispatchMenuMessage; pop-up menus get theirs through the pop-up list window.
#pragma once

#include <windows.h>
#undef TextOut

#include <memory>
#include <vector>

#include "Components.h"
#include "Controls.h"
#include "MenuText.h"

class TCanvas;
class TBitmap;
class TFont;
class TCustomImageList;
class TMenu;
class TMenuItem;

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TPopupAlignment { paLeft, paRight, paCenter };

// What the system says of an owner-drawn item (the bits of ODS_*).
enum TOwnerDrawStateItem {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
    odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = unsigned;  // mask of 1 << TOwnerDrawStateItem
constexpr TOwnerDrawState OwnerDrawBit(TOwnerDrawStateItem i) { return 1u << i; }
// The system's ODS_* bits as a TOwnerDrawState.
TOwnerDrawState OwnerDrawStateOf(UINT ItemState);

using TMenuMeasureItemEvent = Method<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = Method<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    Method<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;

// Raised for a wrong use of the item tree (an item inserted twice, an index
// out of range).
class EMenuError : public Exception {
public:
    using Exception::Exception;
};

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    const char* ClassName() const override { return "TMenuItem"; }

    // ---- published settings (each change rebuilds the menu that shows it)
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    bool Checked() const { return FChecked; }
    // A checked radio item unchecks the other radio items of its group.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    // Shown left of the caption; owned (setting assigns).
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* Value);
    // Image of the menu's Images; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value) { FHint = Value; }

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

    // ---- the tree
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    // Add and Insert take an item that has no parent yet.
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the item out (not freed); Delete frees it.
    void Remove(TMenuItem* Item);
    void Delete(int Index);
    // Frees every sub-item.
    void Clear();
    // The items shown on the menu in their order: the sub-items, and on a
    // menu's root those of the menu merged into it among them.
    std::vector<TMenuItem*> ShownItems() const;
    int IndexOf(const TMenuItem* Item) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    // The menu whose tree holds the item, or nullptr.
    TMenu* GetParentMenu() const;
    // Whether Caption is "-".
    bool IsLine() const { return IsLineCaption(FCaption); }
    // Whether the item lies on a main menu's bar.
    bool IsTopLevel() const;

    // The number the system knows the item by (WM_COMMAND, itemData).
    UINT Command() const { return FCommand; }
    // The pop-up menu of the sub-items (made, filled, on first use); a
    // menu's root item answers the menu's own handle.
    HMENU Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // The live item of a command number, or nullptr.
    static TMenuItem* FromCommand(UINT Command);
    // The handles changed while a menu loop ran made again from their items
    // (the menus unit calls it when the loop ends).
    static void RebuildAfterMenuLoop();

    // Runs OnClick (after the automatic check of AutoCheck items).
    virtual void Click();
    // Owner drawing of the item: the handlers, else the item's own
    // measuring and painting in the system's colours and menu font.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);

    // The form reader lists sub-items inside their item, items inside their menu.
    bool HasParent() const override { return true; }
    void SetParentComponent(TComponent* AParent) override;
    bool HoldsControls() const override { return true; }
    void Loaded() override;

    // The item's glyph (Bitmap, else the menu's image, else none) in Size;
    // false for none.
    bool GlyphSize(SIZE& Size) const;
    void DrawGlyph(TCanvas* ACanvas, int X, int Y, bool Enabled);

protected:
    // Tells the menu that shows this item to rebuild it.
    void MenuChanged();

private:
    friend class TMenu;
    friend class TMainMenu;
    void BitmapChanged(TObject* Sender);
    // Fills the item's pop-up handle from the visible sub-items.
    void RebuildHandle();
    void UpdateHandleInPlace();
    void FillItemInfo(MENUITEMINFOW& Info, std::wstring& Text);
    void TurnSiblingsOff();
    void DefaultMeasure(TCanvas* ACanvas, int& Width, int& Height, bool TopLevel);
    void DefaultDraw(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);
    void ReleaseHandle();
    // The handle's own entries: those of the system (a maximised MDI child's
    // window menu and buttons on a frame's bar) keep their places around them.
    void OwnEntries(int& First, int& Count) const;
    void Unmerge();

    AnsiString FCaption;
    bool FChecked = false, FEnabled = true, FVisible = true, FDefault = false, FRadioItem = false;
    bool FAutoCheck = false;
    int FGroupIndex = 0;
    TMenuBreak FBreak = mbNone;
    TShortCut FShortCut = scNone;
    std::unique_ptr<TBitmap> FBitmap;
    int FImageIndex = -1;
    AnsiString FHint;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on the root item of a menu only
    UINT FCommand = 0;
    HMENU FHandle = nullptr;
    // On a menu's root: the root of the menu merged into it, and the root
    // of the menu it is merged into.
    TMenuItem* FMerged = nullptr;
    TMenuItem* FMergedInto = nullptr;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    const char* ClassName() const override { return "TMenu"; }

    // The root item: its sub-items are the menu's top level.
    TMenuItem* Items() const { return FItems.get(); }
    HMENU Handle() { return FItems->Handle(); }
    bool HandleAllocated() const { return FItems->HandleAllocated(); }

    bool OwnerDraw() const { return FOwnerDraw; }
    // Rebuilds the whole tree with owner-drawn items (or without).
    virtual void SetOwnerDraw(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    // The window that receives the menu's messages (the form of a main menu,
    // the pop-up list window of a pop-up menu).
    HWND WindowHandle() const { return FWindowHandle; }
    void SetWindowHandle(HWND Value);

    // The item of a command number in this menu's tree or in the tree of
    // the menu merged into it.
    TMenuItem* FindItemByCommand(UINT Command) const;
    // The item whose pop-up handle this is (the root item for the menu's own).
    TMenuItem* FindItemByHandle(HMENU Menu) const;
    // Clicks the enabled, visible item of that command; false when none.
    bool DispatchCommand(UINT Command);
    // WM_INITMENUPOPUP: the item whose sub-menu opens hears OnClick first.
    bool DispatchPopup(HMENU Menu);
    // The item of Key with modifiers Shift among the visible, enabled items
    // (sub-menus too) is clicked; false when none has it.
    bool IsShortCut(Word Key, TShiftState Shift);
    // WM_MENUCHAR of an owner-drawn menu: the answer that selects or runs
    // the item whose caption has Ch as accelerator (0 when none does).
    LRESULT ProcessMenuChar(HMENU Menu, char Ch);

    bool HoldsControls() const override { return true; }
    void Loaded() override;

protected:
    // Tells the menu's window that the top level changed.
    virtual void MenuChanged(TMenuItem* Item);
    // Whether the handle is a menu bar (CreateMenu) or a pop-up.
    virtual bool IsMenuBar() const { return false; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TMenuItem;
    std::unique_ptr<TMenuItem> FItems;
    bool FOwnerDraw = false;
    TCustomImageList* FImages = nullptr;
    TBiDiMode FBiDiMode = bdLeftToRight;
    HWND FWindowHandle = nullptr;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
    ~TMainMenu() override;
    const char* ClassName() const override { return "TMainMenu"; }

    // Whether the menu of a form other than the main form joins the main
    // form's bar while that form is active (not for an MDI form's main
    // form, whose children's menus always join); such a form shows no bar
    // of its own.
    bool AutoMerge() const { return FAutoMerge; }
    void SetAutoMerge(bool Value);
    // Shows Menu's top level on this bar by group index, in place of the
    // menu merged so far (nullptr: none); Unmerge takes Menu off again when
    // it is the one merged.
    void Merge(TMainMenu* Menu);
    void Unmerge(TMainMenu* Menu);
    // The menu merged into this one, and the menu whose bar shows this
    // one's items; nullptr for none.
    TMainMenu* MergedMenu() const;
    TMainMenu* MergedInto() const;

protected:
    void MenuChanged(TMenuItem* Item) override;
    bool IsMenuBar() const override { return true; }

private:
    bool FAutoMerge = false;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    const char* ClassName() const override { return "TPopupMenu"; }

    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    // The control the menu was last shown for (set by the caller).
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }

    // OnPopup, then the menu at the screen point; returns when it closes,
    // after the chosen item's OnClick.
    virtual void Popup(int X, int Y);

    TNotifyEvent OnPopup;

private:
    TPopupAlignment FAlignment = paLeft;
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
};

// The hidden window that owns every shown pop-up menu and hands its messages
// to the menu's items; made on first use.
HWND PopupListWindow();
// The pop-up menu being shown (tracked) now, or nullptr.
TPopupMenu* ActivePopupMenu();
// A menu message for Menu (may be nullptr): WM_COMMAND from a menu,
// WM_INITMENUPOPUP, WM_MEASUREITEM and WM_DRAWITEM of ODT_MENU, WM_MENUCHAR,
// WM_ENTERMENULOOP, WM_EXITMENULOOP. Answers whether it was handled (then
// Message.Result holds the answer).
bool DispatchMenuMessage(TMenu* Menu, TMessage& Message);
// Whether a menu loop (menu bar or pop-up) is running.
bool MenuLoopRunning();
// The system's menu font (non-client metrics), owned by the menus unit.
TFont* ScreenMenuFont();

// Frees the menus unit's shared objects (the pop-up list window, the
// drawing canvas, the menu font); the class library's shut-down runs it.
void MenusFinalize();
void RegisterMenusClasses();
