// What the skin manager and the pop-up menu window wrapper share with the
// menu skinning of skin/forms (sSkinMenus.h): the manager's menu settings
// (TacMenuSupport), the cache of the open pop-ups' backgrounds, the flag
// raised while a skinned menu shows, and the face of the manager's menu
// object. The engine never reaches up to the menu unit: the unit registers
// a factory at start-up, and the manager makes its menu object through it.
#pragma once

#include <windows.h>

#include <memory>

#include "Components.h"
#include "Graphics.h"

class TMenuItem;
class TsSkinManager;

// The manager's menu settings (its published MenuSupport).
class TacMenuSupport : public TPersistent {
public:
    TacMenuSupport();
    ~TacMenuSupport() override;
    const char* ClassName() const override { return "TacMenuSupport"; }
    void Assign(TPersistent* Source) override;

    // The section of the icon column ("ICOLINE" unless set otherwise).
    const AnsiString& IcoLineSkin() const { return FIcoLineSkin; }
    void SetIcoLineSkin(const AnsiString& Value) { FIcoLineSkin = Value; }
    bool UseExtraLine() const { return FUseExtraLine; }
    void SetUseExtraLine(bool Value) { FUseExtraLine = Value; }
    int ExtraLineWidth() const { return FExtraLineWidth; }
    void SetExtraLineWidth(int Value) { FExtraLineWidth = Value; }
    TFont* ExtraLineFont() const { return FExtraLineFont.get(); }
    void SetExtraLineFont(TFont* Value) { FExtraLineFont->Assign(Value); }

private:
    AnsiString FIcoLineSkin;
    bool FUseExtraLine = false;
    int FExtraLineWidth = 32;
    std::unique_ptr<TFont> FExtraLineFont;
};

// Asked for the extra line of a pop-up: its section, caption and glyph (a
// new bitmap the asker frees), and whether it shows at all.
using TacGetExtraLineData = Method<void(TMenuItem* FirstItem, AnsiString& SkinSection, AnsiString& Caption,
                                        TBitmap*& Glyph, bool& LineVisible)>;

// Raised while a skinned menu is measured or shown; the pop-up menu window
// wrapper paints a menu window only while it is set.
extern bool SkinnedMenuShowing;

// The background of one open pop-up. The pop-up is known by the command
// number of its first item (never by a pointer that could outlive the item).
struct TacMenuInfo {
    UINT FirstItem = 0;
    std::unique_ptr<TBitmap> Bmp;  // 24-bit, the window's size; nil when none was built
    HWND Wnd = nullptr;
    bool HaveExtraLine = false;
};
// Holders keep a record alive while they paint from it, also when the
// cache is emptied meanwhile (a pop-up destroyed by the messages a paint
// lets through).
using TacMenuInfoRef = std::shared_ptr<TacMenuInfo>;

TacMenuInfoRef FindMenuInfo(UINT FirstItem);
TacMenuInfoRef FindMenuInfoByWindow(HWND Wnd);
void AddMenuInfo(const TacMenuInfoRef& Info);
// Drops every record (the bitmaps go with the last holder).
void ClearMenuCache();
int MenuCacheCount();

// The manager's menu object as the engine sees it.
class TacMenuSkinner : public TPersistent {
public:
    const char* ClassName() const override { return "TacMenuSkinner"; }
    // Menu skinning on while the manager's skin is loaded; a change hooks or
    // unhooks every menu of the application's forms.
    virtual void UpdateActive() = 0;
    // Every menu unhooked and hooked again with the current settings.
    virtual void Rehook() = 0;
    // Forgets the border width taken from the skin (a new skin comes).
    virtual void ResetSkinBorderWidth() = 0;
    // The background of the pop-up shown in Wnd (Item: one of its items,
    // or nil to find it by the window) prepared and painted into the window;
    // false when there was none to paint.
    virtual bool PreparePopupWindow(HWND Wnd, TMenuItem* Item) = 0;
};
using TacMenuSkinnerFactory = TacMenuSkinner* (*)(TsSkinManager* Owner);
// Registered by the menu unit's start-up step (nil at its shut-down).
void SetMenuSkinnerFactory(TacMenuSkinnerFactory Factory);
TacMenuSkinnerFactory MenuSkinnerFactory();

// Messages the menu painter posts to the application's window when it draws
// a pop-up whose window it cannot see (lParam: the item's command number),
// and that name a window whose background is to be painted (lParam: it).
constexpr UINT acMenuItemPopupMsg = 0xBCB3;
constexpr UINT acMenuWindowPopupMsg = 0xBCB4;
