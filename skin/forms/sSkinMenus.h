// Skinned menus: the skin manager's menu object paints the application's
// menus from the skin without windows of its own. While the manager's skin
// is loaded it makes the class library's menus owner-drawn and puts its own
// measuring and drawing handlers into every item that has none; it builds one
// background per open pop-up (the "MAINMENU" section with its border image,
// the icon column, an optional extra line with a rotated caption), takes the
// pop-up's window over to keep the system's frame off and to cut the
// skin's corners with a window region, and paints the items of a menu bar
// over the form's skinned picture.
//
// For the form skin provider:
//   - TacMenuLineSurface: what the bar painter needs of a skinned form (the
//     skinned menu band without its items). A provider implements it and is
//     found through the form's answer to the engine's command 4, or names
//     itself CurrentMenuLineSurface while it paints the menu line.
//   - TsSkinableMenus::HookForm: hooks a form made after the skin came, or
//     one that changed managers.
//   - TsSkinableMenus::MeasureLineItem / DrawLineItem: an item of the bar
//     measured and painted on demand (the handlers the bar items get).
//   - MDIChildIconInMenuLine: whether the menu line shows an MDI child's icon.
// The pop-up menu window wrapper finds a window's background through
// FindMenuInfoByWindow (acMenuCache.h) and empties the cache with ClearMenuCache.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "Forms.h"
#include "Graphics.h"
#include "Menus.h"
#include "acMenuCache.h"
#include "acMenuGeometry.h"
#include "sConst.h"
#include "sSkinTables.h"

class TsSkinManager;

using TsMenuManagerDrawItemEvent = Method<void(TObject* Sender, TCanvas* ACanvas, TRect ARect,
                                               TOwnerDrawState State, TsMenuItemType ItemType)>;

// A skinned form as the menu bar's painter sees it.
class TacMenuLineSurface {
public:
    virtual ~TacMenuLineSurface() = default;
    // The picture the bar's items are painted over: the skinned menu band
    // without any item, its top-left pixel at the window point Origin; nil
    // when there is none now.
    virtual TBitmap* MenuLineImage(TPoint& Origin) = 0;
    // The section the band is painted in, which its items' text must suit.
    virtual TsSection MenuLineSection() const = 0;
};
// The surface whose bar is being painted now (set by its provider), or nil.
extern TacMenuLineSurface* CurrentMenuLineSurface;
// The font of skinned menus when the application sets one (nil: the
// system's menu font).
extern TFont* MenuFont;

class TsSkinableMenus : public TacMenuSkinner {
public:
    explicit TsSkinableMenus(TsSkinManager* AOwner);
    ~TsSkinableMenus() override;
    const char* ClassName() const override { return "TsSkinableMenus"; }

    // ---- published
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value) { FBevelWidth = Value; }
    // Width of the frame bands copied from a pop-up's background.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }
    TFont* CaptionFont() const { return FCaptionFont.get(); }
    void SetCaptionFont(TFont* Value) { FCaptionFont->Assign(Value); }
    // The "MAINMENU" border image's width (3 when it names none), taken from
    // the skin on first use; a negative value makes it be taken again.
    int SkinBorderWidth();
    void SetSkinBorderWidth(int Value) { FSkinBorderWidth = Value; }
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { FMargin = Value; }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { FSpacing = Value; }
    TsMenuManagerDrawItemEvent OnDrawItem;

    // ---- state and hooking
    bool Active() const { return FActive; }
    // A change hooks (or unhooks) every menu of the application's forms.
    void SetActive(bool Value);
    void UpdateActive() override;
    void Rehook() override;
    void ResetSkinBorderWidth() override;
    bool PreparePopupWindow(HWND Wnd, TMenuItem* Item) override;
    // A component and, recursively, what it owns: main menus, pop-up menus
    // and free menu items get (or lose) the engine's handlers.
    // A main menu's bar is left to the system on a form whose provider does
    // not paint the non-client area (Bar false): only its pop-ups are skinned.
    void HookComponent(TComponent* Component, bool On, bool Bar = true);
    // A form whose provider wears this manager's skin: hooked by this
    // object, another manager's handlers taken out (also while this one
    // has no skin).
    void HookForm(TForm* Form);
    void HookMainMenu(TMainMenu* Menu, bool On, bool Bar = true);
    void HookPopupMenu(TPopupMenu* Menu, bool On);
    // A pop-up item (the bar handlers for a top-level item of a main menu):
    // the engine's handlers only where the item has none; unhooking takes
    // away only the engine's own.
    void HookItem(TMenuItem* Item, bool On);

    // ---- the handlers
    void MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void MeasureLineItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    // A pop-up item; only while active.
    virtual void DrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);
    // An item of a menu bar.
    virtual void DrawLineItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);

    // ---- pop-up backgrounds
    // With an item: the record of its pop-up, built (Width x Height) when
    // missing and Width is not 0; without one: the record of the window.
    TacMenuInfoRef GetMenuInfo(TMenuItem* Item, int Width, int Height, HWND Wnd);
    // Takes the pop-up's window over and cuts its corners by a region.
    void InitPopupWindow(HWND Wnd, TBitmap* Bmp);
    // The corner rectangles of the region last built.
    const std::vector<TRect>& CornerRects() const { return FCornerRects; }
    // The pop-up's size when its window is not known (items measured again).
    TacMenuSize PopupSize(TMenuItem* Item);

    TsSkinManager* Manager() const { return FOwner; }

private:
    struct ExtraLine {
        AnsiString Section = "EXTRALINE";
        AnsiString Caption;
        TBitmap* Glyph = nullptr;
        bool Visible = false;
    };
    // What a look keeps: the menu fonts by charset and weight, the extra
    // line's font, the bitmap items are painted in. Made on first use,
    // freed when the skin changes or menus are switched off.
    struct Look;

    void HookAll(bool On);
    void HookHandlers(TMenuItem* Item, bool On, bool Bar);
    bool SkinnedPopups() const;
    void AskExtraLine(TMenuItem* FirstItem, ExtraLine& Data);
    int ExtraLineWidthFor(TMenuItem* Item, const TacMenuInfo* Info) const;
    int GlyphWidthOf(TMenuItem* Item) const;
    TSize GlyphSizeOf(TMenuItem* Item) const;
    int ColumnGlyphWidth(TMenuItem* Item) const;
    TFont* LookFont(TMenuItem* Item, bool Bold);
    Look& CurrentLook();
    TBitmap* WorkBitmap(int Width, int Height);
    TacMenuInfoRef BuildBackground(TMenuItem* Item, int Width, int Height, HWND Wnd);
    void PaintExtraLine(TBitmap* Bmp, TMenuItem* FirstItem, const ExtraLine& Data);
    void CopyFrameBands(HWND Wnd, const TacMenuInfo& Info, TMenuItem* Item, const TRect& R, TPoint Offset);
    void PaintDivider(TCanvas* C, TMenuItem* Item, const TRect& R, const TacMenuInfo& Info, TPoint Offset,
                      int ExtraW);
    void PaintCaptionLine(TCanvas* C, TMenuItem* Item, const TRect& R, const TacMenuInfo& Info, TPoint Offset,
                          int ExtraW);
    // The section whose colours the items are written in: "MENUITEM", else the menu's own.
    int MenuTextSection() const;
    TColor TextColorOf(int Section, bool Enabled, bool Hot) const;
    void PaintNormalItem(TCanvas* C, TMenuItem* Item, const TRect& R, TOwnerDrawState State,
                         const TacMenuInfo& Info, TPoint Offset, int ExtraW);
    void PaintItemGlyph(TBitmap* Bmp, TMenuItem* Item, int Width, int Height, bool Enabled, bool Rtl);
    void FreeLook();

    TsSkinManager* FOwner;
    bool FActive = false;
    bool FSettingRegion = false;
    bool FClaiming = false;
    std::vector<TRect> FCornerRects;
    TAlignment FAlignment = taLeftJustify;
    int FBevelWidth = 0, FBorderWidth = 3, FMargin = 2, FSpacing = 6;
    int FSkinBorderWidth = -1;
    std::unique_ptr<TFont> FCaptionFont;
    std::unique_ptr<Look> FLook;
};

// The manager whose menus hook a component's menus: that of its form's
// provider, else the default one.
TsSkinManager* MenuManagerOf(TComponent* Component);

// The maximised child of an MDI form (the active one when it is), or nil.
HWND MaximisedMDIChild(TForm* Form);
// Whether the form's menu line shows a maximised MDI child's icon: the form
// is an MDI form whose maximised child has an icon.
bool MDIChildIconInMenuLine(TForm* Form);

// Unit start-up: the manager's menu object is made by this unit from now on.
// Shut-down: the cache of pop-up backgrounds is emptied.
void sSkinMenusInitialize();
void sSkinMenusFinalize();
