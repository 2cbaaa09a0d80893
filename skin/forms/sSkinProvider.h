// The form skin provider: the component that skins one form as a whole. It
// takes the form's WindowProc over, answers the engine message for the form,
// paints the whole window image (frame, caption, buttons, client background)
// into its skin state's cache bitmap and copies the frame from there, answers
// the hit test itself, keeps the window region cut to the skin's corners and
// runs the caption buttons, the user's title buttons and the title icon.
// Without an active manager it passes every message on (it answers only "new
// skin" and "which provider").
//
// The system frame stays the system's (no WM_NCCALCSIZE of our own): the
// provider paints over it. Under Wine that only shows when Wine, not the X
// window manager, draws the non-client area.
//
// The provider's system menu and control adapter live here too; the MDI
// main form's wrapper is sMDIForm's, the frame adapter sFrameAdapter's.
//
// The menu line: the system keeps the window's menu bar in the non-client
// area; the provider paints it into its window image like the rest of the
// frame (the band from the skin, the items through their owner-draw
// handlers, a maximised MDI child's icon and buttons), and is the surface
// the skinned menus' bar painter paints a single item over.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Forms.h"
#include "Graphics.h"
#include "acCaptionGeometry.h"
#include "acSysMenu.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sSkinMenus.h"
#include "sSkinnedForms.h"

class TsSkinManager;
class TsSkinProvider;
class TacScrollWnd;
class TacMainWnd;
class TsMDIForm;
struct TacProviderRelay;

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };

// Hit-test codes that name the caption buttons besides the system's.
constexpr int HTMDICLOSE = 101, HTMDIRESTORE = 102, HTMDIMIN = 103;
constexpr int HTTITLEBUTTON = 1000;  // + index of the title button
// The provider's helper forms carry this tag: never skinned, never wrapped.
constexpr int ExceptTag = -98;
// A form that paints its own shape answers this message with this value.
constexpr UINT WM_ACREGIONQUERY = 0xBC4D;
constexpr LRESULT acOwnRegionAnswer = 0x41A2;

// One caption button: state (-1 not shown, 0 normal, 1 hot, 2 pressed), its
// skin image, its rectangle in window coordinates.
struct TsCaptionButton {
    int State = -1;
    int ImageIndex = -1;
    TRect Rect;
    bool HaveBigGlyph = false;
    int GlowID = -1;
};

// The seven buttons of a provider, by slot.
enum TsCaptionSlot { cbMinimize, cbMaximize, cbClose, cbHelp, cbMDIClose, cbMDIRestore, cbMDIMinimize, cbCount };

class TsTitleIcon : public TPersistent {
public:
    TsTitleIcon();
    const char* ClassName() const override { return "TsTitleIcon"; }
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }

private:
    std::unique_ptr<TBitmap> FGlyph;
    int FHeight = 0, FWidth = 0;
};

class TsTitleButtons;

class TsTitleButton : public TCollectionItem {
public:
    explicit TsTitleButton(TCollection* ACollection);
    const char* ClassName() const override { return "TsTitleButton"; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value);
    AnsiString DisplayName() const override { return FName; }
    bool UseSkinData() const { return FUseSkinData; }
    void SetUseSkinData(bool Value) { FUseSkinData = Value; }

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    // The caption-button record of this button.
    TsCaptionButton Data;

private:
    bool FEnabled = true;
    std::unique_ptr<TBitmap> FGlyph;
    AnsiString FName = "TsTitleButton";
    bool FUseSkinData = true;
};

class TsTitleButtons : public TCollection {
public:
    explicit TsTitleButtons(TsSkinProvider* AOwner);
    const char* ClassName() const override { return "TsTitleButtons"; }
    TsSkinProvider* Provider() const { return FOwner; }
    void Assign(TPersistent* Source) override;
    TsTitleButton* Items(int Index) const { return static_cast<TsTitleButton*>(TCollection::Items(Index)); }
    TsTitleButton* Add() { return static_cast<TsTitleButton*>(TCollection::Add()); }

private:
    TsSkinProvider* FOwner;
};

// The skinned form's own system menu (component name "SysMenu"). Its rules
// decide which caption buttons the provider shows and which of them work;
// its items send the form the usual system commands.
class TsSystemMenu : public TacSysMenuBase {
public:
    TsSystemMenu(TsSkinProvider* AProvider, TForm* AForm);
    const char* ClassName() const override { return "TsSystemMenu"; }
    bool CloseVisible() const;
    bool MaximizeVisible() const;
    bool MinimizeVisible() const;
    bool RestoreVisible() const;
    bool SizeVisible() const;
    bool MaximizeEnabled() const;
    bool MinimizeEnabled() const;
    bool MoveEnabled() const;
    bool RestoreEnabled() const;
    bool SizeEnabled() const;
    // Item states from the rules; nothing without a form.
    void UpdateItems();
    // The skin-selection item at the top, made again from the manager's
    // skins (a radio item a skin, 20 to a column); taken away when the
    // provider does not ask for it or there is no skin to list.
    void MakeSkinItems();

    enum { ItemRestore = smRestore, ItemMove, ItemSize, ItemMinimize, ItemMaximize, ItemClose, ItemCount };

protected:
    HWND Target() const override;
    TsSkinManager* WindowManager() const override;
    void DoCommand(UINT Command) override;
    void CommandDone(UINT Command) override;

private:
    bool Owned() const;
    bool BigStyle() const;
    bool MDIChild() const;
    void SkinClick(TObject* Sender);
    TsSkinProvider* FOwner;
    TForm* FForm;
    bool FAppMinimized = false;
};

class TacCtrlAdapter;

// One adapted control: the control, its own skin state (control type 227)
// and the wrapper made for it by class name. Freeing the item frees both.
class TacAdapterItem : public TPersistent {
public:
    explicit TacAdapterItem(TacCtrlAdapter* AAdapter);
    ~TacAdapterItem() override;
    const char* ClassName() const override { return "TacAdapterItem"; }
    // Makes the wrapper the control's class name calls for, if any.
    virtual void DoHook(TWinControl* Control);
    // The wrapper is gone or has let go of its window.
    bool WrapperLost() const;
    void FreeWrapper();

    TWinControl* Ctrl = nullptr;
    TacCtrlAdapter* Adapter;
    int Index = -1;
    std::unique_ptr<TsCommonData> SkinData;
    TacMainWnd* ScrollWnd = nullptr;
};

using TacAdapterItems = std::vector<TacAdapterItem*>;

// The control adapter: walks a skinned form's controls and wraps each one
// whose class name one of the manager's ThirdParty lists names.
class TacCtrlAdapter : public TPersistent {
public:
    explicit TacCtrlAdapter(TsSkinProvider* AProvider) : Provider(AProvider) {}
    ~TacCtrlAdapter() override;
    const char* ClassName() const override { return "TacCtrlAdapter"; }

    virtual bool AcceptsControl(TControl* Control);
    virtual TacAdapterItem* GetItem(int Index);
    void AdaptControl(TControl* Control) { AdaptControl(Control, DefaultSection); }
    virtual void AdaptControl(TControl* Control, const AnsiString& Section);
    virtual void RemoveItem(int Index);
    // The message to every live wrapped window; exceptions are swallowed.
    virtual void WndProc(TMessage& Message);

    // Everything below Parent (nil: the form).
    void AddAllItems(TWinControl* Parent = nullptr);
    void CleanItems();
    void RemoveAllItems();
    int Count() const { return int(Items.size()); }
    int IndexOf(const TControl* Control) const;
    // The control is leaving the form: its item and wrapper go first.
    void ControlRemoved(TControl* Control);

    TsSkinProvider* Provider;
    TacAdapterItems Items;
    AnsiString DefaultSection;

private:
    void AddAllOf(TWinControl* Parent);
    // The manager's ThirdParty list that names the class, -1 for none.
    int ListOf(const TControl* Control) const;
    friend class TacAdapterItem;
};

class TsSkinProvider : public TComponent, public TacFormProvider, public TacMenuLineSurface {
public:
    explicit TsSkinProvider(TComponent* AOwner);
    ~TsSkinProvider() override;
    const char* ClassName() const override { return "TsSkinProvider"; }
    void Loaded() override;
    void AfterConstruction();
    virtual void CreateAdapter();

    // ---- published
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value);
    bool DrawNonClientArea() const override { return FDrawNonClientArea; }
    void SetDrawNonClientArea(bool Value);
    TsCommonData* SkinData() const override { return FCommonData.get(); }
    TsGripMode GripMode() const { return FGripMode; }
    void SetGripMode(TsGripMode Value) { FGripMode = Value; }
    bool MakeSkinMenu() const { return FMakeSkinMenu; }
    void SetMakeSkinMenu(bool Value) { FMakeSkinMenu = Value; }
    const AnsiString& MenuLineSkin() const { return FMenuLineSkin; }
    void SetMenuLineSkin(const AnsiString& Value);
    TsResizeMode ResizeMode() const { return FResizeMode; }
    void SetResizeMode(TsResizeMode Value) { FResizeMode = Value; }
    bool ScreenSnap() const { return FScreenSnap; }
    void SetScreenSnap(bool Value) { FScreenSnap = Value; }
    int SnapBuffer() const { return FSnapBuffer; }
    void SetSnapBuffer(int Value) { FSnapBuffer = Value; }
    bool ShowAppIcon() const { return FShowAppIcon; }
    void SetShowAppIcon(bool Value);
    TsTitleButtons* TitleButtons() const { return FTitleButtons.get(); }
    void SetTitleButtons(TsTitleButtons* Value) { FTitleButtons->Assign(Value); }
    TsTitleIcon* TitleIcon() const { return FTitleIcon.get(); }
    const AnsiString& TitleSkin() const { return FTitleSkin; }
    void SetTitleSkin(const AnsiString& Value);
    bool UseGlobalColor() const { return FUseGlobalColor; }
    void SetUseGlobalColor(bool Value);
    // Fired by the control adapter for each control it is about to adapt.
    Method<void(TObject* Sender, TObject* Item, bool& CanBeAdded, AnsiString& SkinSection)> OnSkinItem;

    // ---- operations
    TForm* Form() const { return FForm; }
    TForm* ProviderForm() const override { return FForm; }
    void SectionChanged() override;
    void PrepareForm();
    TColor FormColor() const;
    // Takes the engine's messages and does nothing with them.
    void DispatchSkinMessage(TMessage&) override {}
    void RefreshFrame();
    void UpdateSysMenuStyle(bool On);
    void UpdateScrollWrapper();
    void RemoveSkin();
    TsSystemMenu* SystemMenu() const { return FSystemMenu.get(); }
    TacCtrlAdapter* Adapter() const { return FAdapter.get(); }
    TacScrollWnd* ScrollWrapper() const { return FScrollWrapper; }
    // The MDI main form's wrapper of its client window (nil on other forms).
    TsMDIForm* MDIForm() const { return FMDIForm.get(); }
    // The menu line is painted again, its rows counted again.
    void ResetMenuLine() {
        FMenuLineChanged = true;
        FMenuRows = -1;
    }
    // The window procedure put in place of the form's WindowProc.
    void NewWndProc(TMessage& Message);

    // ---- caption metrics and buttons
    bool IsMDIChild() const { return FForm && FForm->FormStyle() == fsMDIChild; }
    // An MDI child while another child of its frame is maximised: hidden
    // behind that one, it paints nothing.
    bool HiddenByMaximisedChild() const;
    // A maximised MDI child's restore runs (or the main form's menu loop,
    // where the child's system menu may restore it): regions stay as they are.
    bool MDIRestoreRunning() const;
    bool HasBorder() const;
    int CaptionHeight() const;
    int SysBorderWidth() const;
    int SysBorderHeight() const;
    int BorderWidthWithForm() const { return SysBorderHeight() + FormBorderWidth(); }
    int FormWidth() const;
    int FormHeight() const;
    int TopBandHeight() const;
    int OffsetX() const;
    int OffsetY() const;
    int MenuLineHeight() const;
    int MenuRows();
    bool MenuVisible() const;
    // Whether the menu line shows the maximised MDI child's buttons.
    bool MDIButtonsShown() const;
    int MDIButtonWidth() const;
    int MDIButtonHeight() const;
    // The menu band without its items (window point Origin at its top-left).
    TBitmap* MenuLineImage(TPoint& Origin) override;
    TsSection MenuLineSection() const override;
    bool IconVisible() const;
    int IconWidth() const;
    int IconHeight() const;
    TRect IconRect() const;
    int ButtonHeight() const;
    int ButtonWidth(const TsCaptionButton& B) const;
    int TitleButtonWidth(const TsTitleButton* B) const;
    int ButtonsAreaWidth() const;
    int ButtonIndexAt(int X) const;
    TPoint WindowOrigin() const;
    int HitTest(int ScreenX, int ScreenY);
    void SetHotHT(int Code, bool Repaint = true);
    void SetPressedHT(int Code);
    void RepaintButton(int Code);
    void LoadButtonImages();
    int HotItem() const { return FHotItem; }
    const TsCaptionButton& Button(TsCaptionSlot Slot) const { return FButtons[Slot]; }
    bool SysMenuOwned() const { return FSysMenuRemoved; }
    bool FormActive() const { return FFormActive; }
    void ShowSystemMenu(int X, int Y);

    // ---- painting
    void PaintAll();
    void PaintNonClient();
    void PaintFrameToDC(HDC DC);
    void PaintFrameToWindow();
    void PaintClientBackground(HDC DC, bool PaintChildren);
    bool PaintLinkedControl(HDC DC);
    void EraseBackground(HDC DC);
    void PaintForm();
    void PaintGrip(HDC DC, int OffsetX, int OffsetY);
    // The title as the window has it (what the caption shows).
    AnsiString CaptionText() const;
    // Invalidates the frame image; the next paint builds it again.
    void InvalidateCache();
    bool CacheValid() const { return !FCommonData->BackgroundDirty; }

    // ---- region and composition frame
    void UpdateRegionRects() override;
    void UpdateWindowRegion() override { UpdateWindowRegion(true); }
    void UpdateWindowRegion(bool Repaint);
    HRGN CreateFormRegion(int X, int Y) const override;
    const std::vector<TRect>& RegionRects() const { return FRegionRects; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend struct TacProviderRelay;
    friend class TsSystemMenu;
    // ---- window procedure parts
    bool SkinCommandAlways(TMessage& M);
    void UnskinnedProc(TMessage& M);
    void SkinCommandSkinned(TMessage& M);
    void SkinnedMessage(TMessage& M);
    // Passes the message on; false when the provider went meanwhile.
    bool CallPrev(TMessage& M);
    void WMNCActivate(TMessage& M);
    void WMCreate(TMessage& M);
    void ActivateMDIChild();
    void KeepActiveLook(WPARAM Active, HWND Gaining);
    void InvalidateGripAreas(const TRect& Now);
    void CMShowingChanged(TMessage& M);
    void WMPrint(TMessage& M);
    void WMSize(TMessage& M);
    void WMPaint(TMessage& M);
    void WMEraseBkgnd(TMessage& M);
    void WMSetText(TMessage& M);
    void WMWindowPosChanging(TMessage& M);
    void WMActivate(TMessage& M);
    void WMNCHitTest(TMessage& M);
    void WMNCPaint(TMessage& M);
    void ApplyGlobalColor();
    void RepaintWhole();
    void FreeScrollWrapper();
    void ResetSkinnedMenus();
    void HookMenus();
    void MenuChanged();

    // ---- caption mouse and system commands
    void WMNCLButtonDown(TMessage& M);
    void WMNCLButtonUp(TMessage& M);
    void WMNCLButtonDblClk(TMessage& M);
    void WMNCRButtonDown(TMessage& M);
    void WMNCRButtonUp(TMessage& M);
    void WMSysCommand(TMessage& M);
    void MDIChildSysCommand(TMessage& M);
    void RestoreMDIChild(TMessage& M, bool WasZoomed);
    void ReleaseOnMinimized();
    bool DialogFrame() const;
    void LayoutButtons();
    TsCaptionButton* ButtonByCode(int Code);
    bool MaximizeVisible() const;
    bool MinimizeVisible() const;
    bool HelpVisible() const;
    bool MaximizeEnabled() const;
    bool MinimizeEnabled() const;
    bool RestoreEnabled() const;
    int SystemButtonCount() const;
    // ---- rmBorder sizing
    void BeginBorderDrag(int Kind, TPoint At);
    void StepBorderDrag(TPoint At);
    void EndBorderDrag(TPoint At, bool Apply);
    void DrawDragOutline();
    TRect DragRect(TPoint At) const;

    // ---- painting parts
    void PaintTitle(bool Active);
    void PaintCaptionText(TBitmap* Bmp);
    void PaintTitleIcon(TBitmap* Bmp);
    void PaintCaptionButtons(TBitmap* Bmp);
    void PaintMDIArea(TBitmap* Cache);
    void PaintButtonInto(TBitmap* Bmp, int Code);
    // ---- the menu line
    void PaintMenuLine(TBitmap* Cache);
    void PaintLineEntries(TBitmap* Cache, HMENU Bar);
    void PaintMDIButtonInto(TBitmap* Bmp, int Code);
    void PaintPlainButton(TBitmap* Bmp, int Code, int State, bool Dim, int Section);
    void LayoutMDIButtons();
    void LoadMDIButtonImages();
    int MDIButtonHit(TPoint P);
    void MDIButtonUp(int Code, bool Inside);
    HWND MaximisedChild() const;
    bool ChildMinimizeEnabled() const;
    bool ChildRestoreEnabled() const;

    // What the menu line showed when painted last; another answer now means
    // it is painted anew.
    struct MenuLineKey {
        HMENU Menu = nullptr;
        int Count = 0;
        HWND Child = nullptr;
        bool operator==(const MenuLineKey&) const = default;
    };
    MenuLineKey CurrentMenuLineKey() const;
    void CheckMenuLineKey();
    int TitleSkinIndex() const;
    int TitleFontSection() const;
    AnsiString TitleSkinName() const;
    void ShowCaptionOverlay();
    void HideCaptionOverlay();
    void OverlayPaint(TObject* Sender);
    void OverlayWndProc(TMessage& M);
    int FormBorderWidth() const { return FForm ? FForm->BorderWidth() : 0; }
    // The form's background over R of the cache: from the remembered tile
    // when the skin's fill repeats, else painted whole.
    void PaintFormFill(TBitmap* Cache, const TRect& R, bool Hot);
    bool ChangedBands(int W, int H, int State, std::vector<TRect>& Bands);
    // The images kept between paints are dropped: the skin changed.
    void DropImageCopies() {
        FTitleBarCopy.reset();
        FFillTile.reset();
        FImageKept = false;
        FIconCopy = TacIconCopy{};
    }
    void DrawTitleIcon(TBitmap* Bmp, const TRect& R, HICON Icon);

    TForm* FForm = nullptr;
    TacProviderRelay* FRelay = nullptr;
    std::unique_ptr<TsCommonData> FCommonData;
    std::unique_ptr<TsTitleButtons> FTitleButtons;
    std::unique_ptr<TsTitleIcon> FTitleIcon;
    std::unique_ptr<TsSystemMenu> FSystemMenu;
    std::unique_ptr<TacCtrlAdapter> FAdapter;
    std::unique_ptr<TsMDIForm> FMDIForm;
    void MakeMDIForm();
    void FreeMDIForm();
    TacScrollWnd* FScrollWrapper = nullptr;
    std::unique_ptr<TBitmap> FTitleBarCopy;   // top of a fresh cache
    std::unique_ptr<TBitmap> FMenuLineBmp;    // right end of the title band, under the buttons
    std::unique_ptr<TBitmap> FWorkBmp;        // the menu band without items, from the band's top
    MenuLineKey FMenuLineKey;
    std::unique_ptr<TBitmap> FFillTile;       // one tile of a repeating background
    TacTiledFill FFillKey;
    // The title icon as last drawn, with the pixels it was drawn over.
    struct TacIconCopy {
        HICON Icon = nullptr;
        TRect R;
        std::vector<uint8_t> Under, Drawn;
    } FIconCopy;
    bool FImageKept = false;  // the cache holds a whole image of state FImageState
    int FImageState = 0;
    int FImageTop = 0;        // its title and menu band's height
    TForm* FOverlay = nullptr;
    TWndMethod FOverlayOldProc;

    TAlignment FCaptionAlignment = taLeftJustify;
    bool FDrawNonClientArea = true;
    TsGripMode FGripMode = gmNone;
    bool FMakeSkinMenu = false;
    AnsiString FMenuLineSkin;
    TsResizeMode FResizeMode = rmStandard;
    bool FScreenSnap = false;
    int FSnapBuffer = 10;
    bool FShowAppIcon = true;
    AnsiString FTitleSkin;
    bool FUseGlobalColor = true;

    TsCaptionButton FButtons[cbCount];
    int FHotItem = 0;
    std::vector<TRect> FRegionRects;
    int FMenuRows = -1;
    bool FFormActive = true;
    bool FSysMenuRemoved = false;
    bool FDwmFrameOn = false;
    bool FMDIToMake = true;
    bool FRegionChanged = true;
    bool FInRegionUpdate = false;
    bool FMenuLineChanged = true;
    bool FMenuChangedOnce = false;
    bool FFirstPaintDone = false;
    bool FFramePainted = false;
    bool FMDIRestoreRunning = false;
    bool FFrameHeld = false;  // inside an update cycle: WM_NCPAINT paints nothing
    int FShownState = 0;
    TRect FLastClientRect;
    bool FLastClientKnown = false;
    // rmBorder: the remembered hit code and the running drag
    int FDragHitCode = 0;
    int FDragKind = 0;  // 0 none, 1 move, 2 size
    TPoint FDragStart;
    TRect FDragFormRect;
    TRect FDragLast;
    HDC FDragDC = nullptr;
    bool FDragDrawn = false;
};

// The provider of a form (its answer to command 4), or nil.
TsSkinProvider* GetFormProvider(TForm* Form);

// ---- globals shared by every provider
extern TsSkinProvider* MDIMainProvider;
extern TsSkinProvider* MenuLineChildProvider;
extern bool acCaptionButtonPressed;
extern bool acMDIChildMaximizing;
extern bool acShowAnimationRunning;

// ---- desktop composition ("DWMAPI.DLL" from the system folder, on demand)
extern bool AllowDwmFrame;
bool LoadDwmLibrary();
void FreeDwmLibrary();
HRESULT DwmSetAttribute(HWND Wnd, DWORD Attribute, const void* Value, DWORD Size);
bool IsDwmActive();
bool IsDwmFrameAllowed();
void SetDwmNCRendering(HWND Wnd, bool On);

// The icon size for a caption height: below 9 none, to 16 eight, to 27
// sixteen, above that thirty-two pixels.
int CaptionIconSize(int Height);

// Unit start-up (class registration) and shut-down (the library freed).
void sSkinProviderInitialize();
void sSkinProviderFinalize();
