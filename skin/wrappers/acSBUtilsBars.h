// Wrappers of bars: a common-controls tool bar painted button by button from
// what it answers to its messages; a dialog's size box painted with the
// skin's grip; a status bar painted with panel masks and dividers; the class
// library's tool bar painted through its own custom-draw events; an up-down
// control painted as two skinned arrow buttons.
//
// Each paints only while its manager is active; otherwise it hands every
// message on (the base keeps its detaching and text reading). Texts read by
// message (button captions, panel texts) ask for their length first and
// then read into a buffer of that length.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ToolBars.h"
#include "acSBUtils.h"

class TStatusBar;

// ---------------------------------------------------------------- foreign tool bar

class TacToolBarWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    const char* ClassName() const override { return "TacToolBarWnd"; }
    void WndProc(TMessage& Message) override;

    void PaintToolBar(TMessage& Message);
    // The outer band of a client-edged bar.
    void PaintBorder();
    // The section into the cache when the background changed.
    void UpdateCache();
    // Every button over the copy of the cache in Bmp.
    void PaintButtons(TBitmap* Bmp);
    void PaintButton(int Index, const TRect& R, TBitmap* Bmp);

    // The caption of the button with Command (length asked first).
    AnsiString ButtonText(int Command) const;

    TRect ClientRect;     // client rectangle (client coordinates)
    int BorderWidth = 0;  // half the difference of window and client height

private:
    bool RefreshUpdating();
    void DrawCaption(TBitmap* Bmp, const AnsiString& Text, const TRect& R, int State);
};

// ---------------------------------------------------------------- size grip

// A dialog's size box ("scrollbar" child): the skin's grip at its bottom
// right over the parent's background; every point of it sizes the window.
class TacSizerWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    const char* ClassName() const override { return "TacSizerWnd"; }
    void WndProc(TMessage& Message) override;
    void PaintGrip();
};

// ---------------------------------------------------------------- status bar

class TacStatusBarWnd : public TacMainWnd {
public:
    TacStatusBarWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                    TsCommonData* Data);
    const char* ClassName() const override { return "TacStatusBarWnd"; }
    void WndProc(TMessage& Message) override;

    // Into DC (a client DC), or the window DC when nil.
    void PaintAll(HDC DC);
    void PaintBorder(HDC DC);
    void PaintToCache();
    void PaintPanels();
    // Index -1: the simple text over the whole bar. R in window coordinates.
    void PaintPanel(int Index, const TRect& R);
    AnsiString PanelText(int Index) const;

    TStatusBar* StatusBar = nullptr;  // the linked class-library bar, if any

private:
    bool Simple() const;
    TRect ClientOrigin() const;
};

// ---------------------------------------------------------------- class-library tool bar

// Paints the class library's tool bar from inside its custom-draw events,
// which it takes over at creation and gives back when freed (while they
// are still its own). Tracks the hot button itself.
class TacToolBarLibWnd : public TacMainWnd {
public:
    TacToolBarLibWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                     TsCommonData* Data);
    ~TacToolBarLibWnd() override;
    const char* ClassName() const override { return "TacToolBarLibWnd"; }
    void RestorePlainLook() override;
    void WndProc(TMessage& Message) override;

    void DrawBar(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw);
    void DrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                    TTBCustomDrawFlags& Flags, bool& DefaultDraw);
    void RepaintButton(int Index);
    // The button index under a client point (button, check or drop-down
    // buttons only); -1 for none.
    int ButtonAt(TPoint P) const;
    void ClientInWindow(TRect& R) const;
    void PaintBorder(HDC DC);
    void PaintToCache();

    TToolBar* ToolBar = nullptr;
    TToolButton* DroppedButton = nullptr;  // whose drop-down menu is open
    int HotButton = -1;

private:
    bool SkinnedNow() const;
    bool HotTracking() const;
    void PaintBarOnCanvas();
    void WMPrint(TMessage& Message);
    void AfterMessage(const TMessage& Message);
    TToolButton* ButtonOfCommand(int Command) const;
    void PaintButtonFace(TToolButton* Button, int State);
    // The bar's custom-draw events given back, while they are still ours.
    void ReleaseEvents();
};

// ---------------------------------------------------------------- up-down

// Two skinned buttons with the skin's arrows; the half under the mouse is
// hot, or pressed while the left button is down.
class TacSpinWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    const char* ClassName() const override { return "TacSpinWnd"; }
    void WndProc(TMessage& Message) override;
    virtual bool IsVertical() const;

    void Paint(TMessage& Message);
    void PaintToCache();
    // The two buttons' rectangles in the window.
    void ButtonRects(TRect& First, TRect& Second) const;

    int LeftOffset = 0;  // pixels left unpainted on the left of a vertical control
    bool MouseDown = false;
    int FirstState = 0, SecondState = 0;  // 0 normal, 1 hot, 2 pressed

private:
    void TrackHot();
};
