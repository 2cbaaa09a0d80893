// Skinning of windows the program does not create as skinned controls: the
// class library's message forms and other forms, system dialogs ("#32770")
// and pop-up menu windows ("#32768"). A thread CBT hook (DialogsHookProc,
// installed and removed by the default skin manager) gives each accepted
// window a TacProvider: a form skin provider for a class-library form; for a
// dialog a TacDialogWnd that paints the whole frame (caption, borders, title
// buttons, region) plus one window wrapper per child, chosen by class.
//
// Ownership: ProviderList holds every provider; a dialog's provider is freed
// when its dialog goes (HCBT_DESTROYWND), a form's with its form. Freeing a
// provider frees its wrappers, and each gives its window back exactly what it
// replaced. Without a manager nothing here runs.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Components.h"
#include "acSBUtils.h"
#include "acSysMenu.h"

class TForm;
class TsSkinProvider;
class TacDialogWnd;
class TacProvider;

// ---------------------------------------------------------------- the hook and its lists

// Every provider; an entry is nil after its provider went, and a nil entry
// is reused by the next provider, so positions stay stable and the list does
// not grow with every box shown. Made by the manager before it installs the
// hook, emptied and freed when it removes it.
extern std::vector<TacProvider*>* ProviderList;
// Wrappers of pop-up menu windows made by the hook; owned. A wrapper whose
// menu window is destroyed goes with it.
using TacMnuArray = std::vector<TacMainWnd*>;
extern TacMnuArray HookedMenus;
// Made when a pop-up menu window is created under the hook (section
// "MAINMENU", the default manager): a TacMnuWnd.
extern TacMainWnd* (*MakeMenuWindowWrapper)(HWND Wnd);

LRESULT CALLBACK DialogsHookProc(int Code, WPARAM WParam, LPARAM LParam);
// The HCBT_ACTIVATE decision; true when a provider was made.
bool HookActivateWindow(HWND Wnd);
// Frees the wrappers of HookedMenus.
void ClearMnuArray();
// Frees every provider whose dialog is gone; their entries become nil.
void FreeFinishedProviders();
// Redraws the windows of the providers that are visible.
void RepaintProviders();
// The message to the visible dialogs' windows (forms hear it as listed forms).
void BroadcastToProviders(TMessage& Message);

// ---------------------------------------------------------------- helpers
// The message to every direct child window.
void BroadcastToChildren(HWND Wnd, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// Providers whose dialog wrapper exists and whose window is visible.
int CountVisibleDialogs();
// A descendant (depth first) has the lower-case class name Name.
bool HasDescendantClass(HWND Wnd, const char* Name);
// The class name, at most 128 characters (ANSI).
AnsiString WindowClassName(HWND Wnd);
TacProvider* FindProviderByHandle(HWND Wnd);
// The class-library form of the handle, MDI children included.
TForm* FindFormByHandle(HWND Wnd);

// ---------------------------------------------------------------- the provider

class TacProvider : public TComponent {
public:
    explicit TacProvider(TComponent* AOwner);
    ~TacProvider() override;
    const char* ClassName() const override { return "TacProvider"; }

    void CreateFormProvider(TForm* Form);
    // False: the dialog is not supported and stays unskinned.
    bool InitDialog(HWND Wnd);
    // Wraps all descendants, each before its parent; false at the first
    // child that cannot be skinned.
    bool WrapChildWindows(HWND Wnd);
    // Wraps one child by its class; false: the dialog is not supported.
    bool AddChildWindow(HWND Wnd);
    // Every window given back, the wrappers kept (their procedures may run).
    void LetWindowsGo();

    HWND CtrlHandle = nullptr;
    bool LeftScrollBar = false;
    TsSkinProvider* FormProvider = nullptr;  // the form's; not owned
    TacDialogWnd* DlgWnd = nullptr;          // owned
    std::vector<TacMainWnd*> ChildWrappers;  // owned
};

// Creates, keeps or frees the dialog wrapper of a window by the manager's state.
void UpdateDialogWrapper(HWND Wnd, TacDialogWnd*& Wrapper);

// ---------------------------------------------------------------- the dialog wrapper

// Border kinds: 0 modal dialog frame, 1 as created, 2 pop-up without a
// caption, 3 sizing frame.
enum : int { dkModalFrame = 0, dkInitial = 1, dkNoCaption = 2, dkSizeable = 3 };

// One title button: state 0 normal, 1 hot, 2 pressed; its skin image; its
// rectangle in window coordinates.
struct TacTitleButton {
    int State = 0;
    int ImageIndex = -1;
    TRect Rect;
    int GlowID = -1;
    bool HaveBigGlyph = false;
};

// The system menu of a skinned dialog: the usual commands, shown and enabled
// by the dialog's style and state, sent as WM_SYSCOMMAND.
class TacSystemMenu : public TacSysMenuBase {
public:
    explicit TacSystemMenu(TacDialogWnd* ADialog);
    const char* ClassName() const override { return "TacSystemMenu"; }
    enum { miRestore = smRestore, miMove, miSize, miMinimize, miMaximize, miClose, miCount };
    // Any failure leaves the items as they were.
    void UpdateItems();

protected:
    HWND Target() const override;
    TsSkinManager* WindowManager() const override;
    void CommandDone(UINT Command) override;

private:
    TacDialogWnd* FDialog;
};

// Set when a title button was pressed with the left button; cleared when
// the hot button changes.
extern bool TitleButtonPressed;

class TacDialogWnd : public TacScrollWnd {
public:
    TacDialogWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager, TsCommonData* Data);
    ~TacDialogWnd() override;
    const char* ClassName() const override { return "TacDialogWnd"; }
    void WndProc(TMessage& Message) override;
    // The system menu style and the whole window (no region) given back.
    void RestorePlainLook() override;

    // Style, kind, icon and caption font read; WS_SYSMENU taken off the
    // window (the wrapper draws and runs that menu itself).
    void Setup();
    void LoadTitleButtons();

    // ---- metrics
    int BorderWidth() const;
    int BorderHeight() const;
    int CaptionHeight() const;
    int TitleHeight() const;
    int ClientOffsetX() const;
    int ClientOffsetY() const;
    int ButtonWidth(const TacTitleButton& B) const;
    int ButtonHeight(const TacTitleButton& B) const;
    int ButtonsWidth() const;
    bool CanMaximize() const;
    bool CanMinimize() const;
    bool CanRestore() const;
    bool CloseEnabled() const;

    // ---- painting and region
    void PaintFrameCache();
    void PaintClient(HDC DC);
    void PaintNonClient();
    void PaintTitleButtons();
    void CollectRegionRects();
    void UpdateRegion(bool Redraw);

    // ---- caption mouse (hit codes HTMINBUTTON, HTMAXBUTTON, HTCLOSE, HTHELP)
    int HitTest(TMessage& Message);
    void SetHot(int Code, bool Repaint);
    void SetPressed(int Code);
    void RepaintTitleButton(int Code);
    void PopupSystemMenu(int X, int Y);
    TacTitleButton* ButtonByCode(int Code);

    int HotCode = 0;
    bool Active = true;
    bool ChildrenWrapped = false;
    bool CompositionSet = false;
    bool RegionUpdateNeeded = true;
    TacTitleButton BtnMin, BtnMax, BtnClose, BtnHelp;
    LONG_PTR WndStyle = 0, WndExStyle = 0;
    int BorderKind = dkInitial;
    TRect WndRect;
    TSize WndSize;
    HICON SmallIcon = nullptr;           // owned copy at the small-icon size
    std::unique_ptr<TBitmap> IconBmp;    // the icon on the key colour
    HFONT CaptionFont = nullptr;         // owned
    std::unique_ptr<TBitmap> CaptionBand;
    std::unique_ptr<TBitmap> ButtonsStrip;
    std::vector<TRect> RegionRects;
    std::unique_ptr<TacSystemMenu> SystemMenu;
    TacProvider* Provider = nullptr;
    // Calls of the procedure under way: the provider is not freed under them.
    int ProcDepth = 0;

private:
    void ReadGeometry();
    void ButtonUp(TMessage& Message);
    void NcLButtonDown(TMessage& Message);
    void NcLButtonDblClk(TMessage& Message);
    void NcActivate(TMessage& Message);
    bool DialogSkinCommand(TMessage& Message);
    void PaintCaptionText(TBitmap* Cache);
    void PaintButtonImage(TBitmap* Cache, int Code);
    // One brush of the skin's global colour, made when the colour changes.
    HBRUSH DialogBrush();
    HBRUSH FBrush = nullptr;
    COLORREF FBrushColor = 0;
    bool FInRegionChange = false;
    bool FSysMenuTaken = false;
    bool FSysMenuShowing = false;
};

// Unit start (the manager learns the hook) and end (providers and menus freed).
void acDialsInitialize();
void acDialsFinalize();
