// The bridge between the skin engine and the class library's controls: the
// senders of the engine message to windows and controls, walks over control
// trees and child windows, the colour under a control, the painting of a
// control's graphic children and of a whole control tree into a bitmap, and
// the fade by which a control changes its look (shown in a TOutputWindow).
// Also the optional "SetWindowTheme" binding, looked up by name at start-up;
// whether visual styles are in use is the theme services' decision (Themes.h).
#pragma once

#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "sMessages.h"

// ---- senders (wParam: the command in the high word)
LRESULT SendEngineCommandToHandle(HWND Wnd, uint16_t Command, LPARAM LParam);
// A windowed control without a handle, or being destroyed, answers 0 unsent.
LRESULT SendEngineCommand(TControl* Control, uint16_t Command, LPARAM LParam);
LRESULT SendEngineCommandNoParam(TControl* Control, uint16_t Command);
// True when the window answers exactly 1 (as to scIsSkinned).
bool AnswersEngineCommand(HWND Wnd, uint16_t Command);
// scChildChanged with the control to its parent form, outside design time.
void NotifyParentForm(TControl* Control);
// scRepaint to every child that is no graphic control; nothing during a fade.
void RepaintChildren(TWinControl* Control);
void RepaintChildWindows(HWND Wnd);
// nil: TransparentKeyColor; unskinned: its Color; skinned: its answer to scQueryColor.
TColor ControlBackgroundColor(TControl* Control);
TColor WindowBackgroundColor(HWND Wnd);
// Skinned windowed children get the message by SendMessage, windowless ones
// and those without a handle by Perform; an unskinned windowed child is not
// sent it, its children are walked instead.
void SendToControlTree(TWinControl* Control, UINT Message, WPARAM WParam, LPARAM LParam);
// The message to the direct children of a window.
void BroadcastToChildWindows(HWND Wnd, UINT Message, WPARAM WParam, LPARAM LParam);
// The message to the first provider among the form's components that is not
// being destroyed.
void DispatchToProvider(TForm* Form, TMessage& Message);

// ---- geometry and state
bool CursorPos(TPoint& P);
bool WorkArea(TRect& R);
void ClientRectInWindow(HWND Wnd, TRect& R);
int AlignedSize(TWinControl* Control, TAlign Alignment, bool IncludeGraphic);
// DT_LEFT, DT_RIGHT or DT_CENTER with DT_EXPANDTABS and DT_VCENTER, and
// DT_RTLREADING for a control that reads right to left.
unsigned TextDrawFlags(TControl* Control, int Alignment);
TForm* OwnerForm(TComponent* Component);
bool ControlIsReady(TControl* Control);

// ---- painting
void PaintGraphicChildren(HDC DC, TWinControl* Parent, TPoint Offset);
// A visible control and its visible windowed children, recursively, into
// Bmp: skinned windows by WM_PRINT, the rest by the class library's PaintTo.
void PaintControlTree(TBitmap* Bmp, TControl* Control);

// The borderless window that shows the frames of a fade.
class TOutputWindow : public TCustomControl {
public:
    explicit TOutputWindow(TComponent* AOwner);
    const char* ClassName() const override { return "TOutputWindow"; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
};

extern TOutputWindow* OutputWindow;
extern TBitmap* FadeSnapshot;
// True from the start to the end of FadeOutControl.
extern bool FadeInProgress;
// The DC of the bitmap the fade is painting the control tree into; 0 otherwise.
extern HDC FadeCaptureDC;
// From the look the control showed to the look it paints now: Time shr 3
// steps of 8 ms (none for 7 ms or less), blocking the message loop. The
// caller has turned the control's redrawing off; the fade turns it on.
// Answers the number of blended frames shown.
int FadeOutControl(TWinControl* Control, uint16_t Time);

// The theme reset of a window (SetWindowTheme(Wnd, nil, nil)) when the
// platform has the function; nothing otherwise.
void ResetWindowTheme(HWND Wnd);
// Visual styles off for a window (SetWindowTheme(Wnd, " ", " ")), when the
// platform has the function.
void SetWindowThemeOff(HWND Wnd);
bool SetWindowThemeAvailable();
void sControlUtilsInitialize();
void sControlUtilsFinalize();
