// Bars of the class library over the common controls: the tool bar
// ("ToolbarWindow32") with its tool buttons and custom-draw events, and the
// status bar ("msctls_statusbar32") with its panels or one simple text.
// The bars keep their settings and hand them to their windows; the window
// draws. Both lie outside the parent's layout rules of the common controls
// (CCS_NOPARENTALIGN, CCS_NORESIZE): their place is the class library's.
#pragma once

#include <memory>
#include <vector>

#include "Controls.h"

#include <commctrl.h>

class TCustomImageList;
class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// Posted to a tool bar once the drop-down menu of one of its buttons has closed.
constexpr UINT CN_DROPDOWNCLOSED = WM_USER + 0x1000;

// One button of a tool bar: its place is the bar window's item rectangle
// (Left, Top, Width, Height follow it); the bar paints it and reports its
// clicks. It never takes the mouse itself: the bar window does.
class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* AOwner);
    const char* ClassName() const override { return "TToolButton"; }
    int ImageIndex() const { return FImageIndex; }
    virtual void SetImageIndex(int Value);
    // Held down (a check button that is checked, or a pressed one).
    bool Down() const { return FDown; }
    virtual void SetDown(bool Value);
    bool Indeterminate() const { return FIndeterminate; }
    virtual void SetIndeterminate(bool Value);
    // Highlighted (the bar's mark).
    bool Marked() const { return FMarked; }
    virtual void SetMarked(bool Value);
    TToolButtonStyle Style() const { return FStyle; }
    virtual void SetStyle(TToolButtonStyle Value);
    // The position among the bar's buttons, -1 without a bar.
    int Index() const;
    TToolBar* ToolBar() const;
    // The command number the bar window knows the button by.
    int CommandId() const { return FCommandId; }
    // A menu of the application (not owned) that a drop-down button shows
    // under itself; the chosen item's command goes to the bar's form.
    HMENU DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(HMENU Value) { FDropdownMenu = Value; }
    // Shows the drop-down menu and returns once it has closed, posting
    // CN_DROPDOWNCLOSED to the bar. False without a menu.
    bool CheckMenuDropdown();
    void Click() override;

protected:
    void CMHitTest(TMessage& Message) override { Message.Result = 0; }
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;

private:
    friend class TToolBar;
    // The bar window shows the button again: its state only, or all of it.
    void Changed(bool StateOnly);
    int FImageIndex = -1;
    bool FDown = false;
    bool FIndeterminate = false;
    bool FMarked = false;
    TToolButtonStyle FStyle = tbsButton;
    int FCommandId = 0;
    HMENU FDropdownMenu = nullptr;
};

enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = unsigned;  // mask of 1 << TEdgeBorder
enum TEdgeStyle { esNone, esRaised, esLowered };

enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateElement {
    cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
using TCustomDrawState = unsigned;  // mask of 1 << TCustomDrawStateElement
enum TTBCustomDrawFlag { tbNoEdges, tbHiliteHotTrack, tbNoOffset, tbNoMark, tbNoEtchedEffect };
using TTBCustomDrawFlags = unsigned;  // mask of 1 << TTBCustomDrawFlag

// Raised from the bar window's custom-draw notifications with the bar's
// Canvas on the window's drawing DC. DefaultDraw false: the window does not
// draw that part itself.
using TTBAdvancedCustomDrawEvent =
    Method<void(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTBAdvancedCustomDrawBtnEvent =
    Method<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                TTBCustomDrawFlags& Flags, bool& DefaultDraw)>;

class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;
    const char* ClassName() const override { return "TToolBar"; }

    int ButtonCount() const { return int(FButtons.size()); }
    TToolButton* Buttons(int Index) const { return FButtons.at(size_t(Index)); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* HotImages() const { return FHotImages; }
    void SetHotImages(TCustomImageList* Value);
    bool ShowCaptions() const { return FShowCaptions; }
    virtual void SetShowCaptions(bool Value);
    // Captions right of the images instead of below them.
    bool List() const { return FList; }
    virtual void SetList(bool Value);
    // A flat bar tracks the button under the mouse; a raised one does not.
    bool Flat() const { return FFlat; }
    virtual void SetFlat(bool Value);
    int ButtonWidth() const { return FButtonWidth; }
    virtual void SetButtonWidth(int Value);
    int ButtonHeight() const { return FButtonHeight; }
    virtual void SetButtonHeight(int Value);
    TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
    virtual void SetEdgeBorders(TEdgeBorders Value);
    TEdgeStyle EdgeInner() const { return FEdgeInner; }
    virtual void SetEdgeInner(TEdgeStyle Value);
    TEdgeStyle EdgeOuter() const { return FEdgeOuter; }
    virtual void SetEdgeOuter(TEdgeStyle Value);
    // A band of Color inside the edges, round the buttons.
    int BorderWidth() const { return FBorderWidth; }
    virtual void SetBorderWidth(int Value);
    // The bar's canvas: on the window's DC during the custom-draw events.
    TCanvas* Canvas() const { return FCanvas.get(); }

    TTBAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TTBAdvancedCustomDrawBtnEvent OnAdvancedCustomDrawButton;

    void InsertControl(TControl* AControl) override;
    void RemoveControl(TControl* AControl) override;
    void Loaded() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TToolButton;
    TToolButton* ButtonOfCommand(int Id) const;
    // Gives the window every button again, then takes their rectangles.
    void RebuildButtons();
    void UpdateButtonState(TToolButton* Button);
    void UpdateButtonBounds();
    void UpdateImageLists();
    LRESULT CustomDraw(NMTBCUSTOMDRAW& Draw);
    // Edges and border band outside the client area.
    TRect NonClientInsets() const;
    void PaintNonClient();

    std::vector<TToolButton*> FButtons;
    std::unique_ptr<TCanvas> FCanvas;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FHotImages = nullptr;
    bool FShowCaptions = false;
    bool FList = false;
    bool FFlat = false;
    int FButtonWidth = 23, FButtonHeight = 22;
    TEdgeBorders FEdgeBorders = 1u << ebTop;
    TEdgeStyle FEdgeInner = esRaised, FEdgeOuter = esLowered;
    int FBorderWidth = 0;
    int FNextCommand = 1;
};

class TStatusBar;

// Made by its collection's Add, which inserts it once it is whole: the
// status bar reads every panel when the collection changes.
class TStatusPanel : public TCollectionItem {
public:
    explicit TStatusPanel(TCollection*) : TCollectionItem(nullptr) {}
    const char* ClassName() const override { return "TStatusPanel"; }
    const AnsiString& Text() const { return FText; }
    void SetText(const AnsiString& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

private:
    AnsiString FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
};

class TStatusPanels : public TCollection {
public:
    explicit TStatusPanels(TStatusBar* Owner);
    const char* ClassName() const override { return "TStatusPanels"; }
    TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }

protected:
    void Update(TCollectionItem* Item) override;
};

// Panels side by side (each Width pixels, the last one to the end), or,
// with SimplePanel, one text over the whole bar.
class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;
    const char* ClassName() const override { return "TStatusBar"; }
    TStatusPanels* Panels() const { return FPanels.get(); }
    bool SimplePanel() const { return FSimplePanel; }
    virtual void SetSimplePanel(bool Value);
    const AnsiString& SimpleText() const { return FSimpleText; }
    virtual void SetSimpleText(const AnsiString& Value);
    bool SizeGrip() const { return FSizeGrip; }
    virtual void SetSizeGrip(bool Value);
    // A band of Color round the panels, outside the client area.
    int BorderWidth() const { return FBorderWidth; }
    virtual void SetBorderWidth(int Value);
    // The window shows the panels and texts as they are now.
    void UpdatePanels();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;

private:
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    AnsiString FSimpleText;
    bool FSizeGrip = true;
    int FBorderWidth = 0;
};

// Registers the classes above with the registry (part of the class library's
// own start-up).
void RegisterToolBarsClasses();
