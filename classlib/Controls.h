// Controls of the class library: TControl (bounds, visibility, colour, font,
// mouse, drag and drop), TWinControl (a real child window with its children,
// focus and tab order), TGraphicControl (windowless, painted by its parent in
// z-order after the parent's background, into the parent's off-screen
// buffer) and TCustomControl (a window with a canvas).
//
// Messages: every control has a WindowProc (a swappable method pointer) that
// Perform calls and that the window procedure of a windowed control calls;
// the default is the control's own WndProc. The class library's own
// notifications are numbered from CM_BASE, notifications reflected from a
// parent window to the child that sent them from CN_BASE.
#pragma once

#include <windows.h>
#undef TextOut

#include <memory>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "Components.h"
#include "Types.h"

class TFont;
class TCanvas;
class TBrush;
class TWinControl;
class TControl;
class TDragObject;
class TDragDockObject;
class TDockTree;
class TPopupMenu;

using Word = uint16_t;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};
using TWndMethod = Method<void(TMessage&)>;

// ---- the class library's own messages (CM_BASE + n) ----
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
// lParam: point in the control's client coordinates; Result non-zero = hit.
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
// Sent to the control the mouse enters or leaves (windowless ones too, and
// disabled ones); wParam and lParam 0.
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
// A form's main menu changed (its bar is about to be drawn again).
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;

// ---- notifications reflected to the child window that sent them ----
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;

// ---- enumerations and sets (a set is a mask of 1 << element) ----
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// Reading order and alignment of a control's text.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateElement { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = unsigned;
constexpr TShiftState ShiftBit(TShiftStateElement e) { return 1u << e; }
enum TDragMode { dmManual, dmAutomatic };
// What a drag of the control does: drag and drop, or docking.
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// Edges of its parent an unaligned control keeps its distance to when the
// parent is resized; both edges of a direction stretch it, neither keeps it
// where it was in proportion.
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = unsigned;  // mask of 1 << TAnchorKind
constexpr TAnchors AnchorBit(TAnchorKind k) { return 1u << k; }
constexpr TAnchors DefaultAnchors = AnchorBit(akLeft) | AnchorBit(akTop);
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;
// The cursor shape of a TCursor (crDrag and crNoDrop are the class library's own).
HCURSOR CursorHandle(TCursor Cursor);

// ControlStyle bits.
enum : unsigned {
    csAcceptsControls = 1u << 0,
    csCaptureMouse = 1u << 1,
    csClickEvents = 1u << 3,
    csFramed = 1u << 4,
    csSetCaption = 1u << 5,
    // Paints every pixel of its bounds: the parent need not paint under it.
    csOpaque = 1u << 6,
    csDoubleClicks = 1u << 7,
    csFixedWidth = 1u << 8,
    csFixedHeight = 1u << 9,
    csReplicatable = 1u << 12,
    csNoStdEvents = 1u << 13,
    csParentBackground = 1u << 20,
};
// ControlState bits.
enum : unsigned {
    csLButtonDown = 1u << 0,
    csClicked = 1u << 1,
    csAlignmentNeeded = 1u << 3,
    csFocusing = 1u << 4,
    csCreating = 1u << 5,
    csPaintCopy = 1u << 6,
    csDestroyingHandle = 1u << 8,
};

// ---- events ----
using TMouseEvent = Method<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = Method<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = Method<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = Method<void(TObject* Sender, char& Key)>;
using TDragOverEvent =
    Method<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = Method<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = Method<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = Method<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDockEvent = Method<void(TObject* Sender, TDragDockObject*& DragObject)>;
using TDockOverEvent =
    Method<void(TObject* Sender, TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDockDropEvent = Method<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
using TGetSiteInfoEvent =
    Method<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect, TPoint MousePos, bool& CanDock)>;
using TUnDockEvent = Method<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;
// A right click or the context-menu key (MousePos then (-1, -1)); Handled
// true shows no pop-up menu.
using TContextPopupEvent = Method<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
// May change the limits a size is held to for this one request.
using TConstrainedResizeEvent =
    Method<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;
// May change a new size, or refuse it (Resize false: the bounds stay).
using TCanResizeEvent = Method<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;

// Limits of a control's size, 0 for none. A minimum above its maximum yields
// to the maximum. A change holds the control to the limits at once.
class TSizeConstraints : public TPersistent {
public:
    explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
    const char* ClassName() const override { return "TSizeConstraints"; }
    void Assign(TPersistent* Source) override;
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) { Change(FMinWidth, Value); }
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value) { Change(FMinHeight, Value); }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { Change(FMaxWidth, Value); }
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { Change(FMaxHeight, Value); }
    TNotifyEvent OnChange;

private:
    void Change(int& Field, int Value);
    TControl* FControl;
    int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

// What is being dragged, when OnStartDrag makes one (with new); otherwise the
// source control itself is the Source of OnDragOver and OnDragDrop. The drag
// owns an object OnStartDrag makes: it is deleted when the drag ends, after
// OnEndDrag, dropped, cancelled or left by a destroyed source alike.
class TDragObject : public TObject {
public:
    const char* ClassName() const override { return "TDragObject"; }
    TControl* Control = nullptr;
};

struct TCreateParams {
    std::wstring Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    // Our own window class, registered on first use; or, with SystemClass,
    // a window class of the system ("EDIT", "SCROLLBAR") whose window the
    // control takes over, handing it every message it does not consume.
    std::wstring WinClassName;
    bool SystemClass = false;
    UINT WindowClassStyle = CS_DBLCLKS;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    const char* ClassName() const override { return "TControl"; }

    // Swappable window procedure; a wrapper saves it, sets its own and later
    // puts back exactly the saved value.
    TWndMethod WindowProc;
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    // What a message not handled ends in: nothing for a windowless control,
    // the window class's procedure for a windowed one.
    virtual void DefaultHandler(TMessage& Message);

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    // The form reader places a control inside the windowed control it is listed in.
    bool HasParent() const override { return true; }
    void SetParentComponent(TComponent* AParent) override;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
    // The limits in force now: the constraints as OnConstrainedResize leaves them.
    void EffectiveConstraints(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    virtual void SetClientWidth(int Value);
    virtual void SetClientHeight(int Value);
    // Screen position of the client area's top left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(const TPoint& P) const;
    TPoint ScreenToClient(const TPoint& P) const;

    TAlign Align() const { return FAlign; }
    virtual void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    // Shown on a right click on the control and on the context-menu key
    // while it has the focus; without one the parent's shows.
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to a top-level window too.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TColor Color() const { return FColor; }
    virtual void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    virtual void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    virtual void SetFont(TFont* Value);
    bool ParentFont() const { return FParentFont; }
    virtual void SetParentFont(bool Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value) { ChangeProperty(FBiDiMode, Value, CM_BIDIMODECHANGED, &FParentBiDiMode); }
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value) { ChangeParentFlag(FParentBiDiMode, Value, CM_PARENTBIDIMODECHANGED); }
    // Right-to-left alignment (bdRightToLeft) mirrors left and right.
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
    TCursor Cursor() const { return FCursor; }
    virtual void SetCursor(TCursor Value);
    const AnsiString& Caption() const { return FText; }
    virtual void SetCaption(const AnsiString& Value);
    const AnsiString& Text() const { return GetText(); }
    void SetText(const AnsiString& Value) { SetTextBuf(Value); }
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    TDragMode DragMode() const { return FDragMode; }
    virtual void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value) { FHint = Value; }

    unsigned ControlStyle() const { return FControlStyle; }
    void SetControlStyle(unsigned Value) { FControlStyle = Value; }
    unsigned ControlState() const { return FControlState; }
    void SetControlState(unsigned Value) { FControlState = Value; }

    // Moves the control to the top (end) or bottom (start) of its parent's list.
    void BringToFront();
    void SendToBack();
    virtual void Invalidate();
    // Paints what is invalid now.
    void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // Drag and drop. Immediate starts at once; otherwise once the mouse has
    // moved Threshold pixels (negative: the platform's drag threshold) with
    // the button held. The target is the top-most visible, enabled control
    // under the mouse; it alone decides through OnDragOver.
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends a drag begun by this control: dropping on the current target if
    // Drop and it accepts, else cancelling.
    void EndDrag(bool Drop);
    bool Dragging() const;
    virtual void DragDrop(TObject* Source, int X, int Y);

    // Docking (the machinery is in Docking.cpp). A drag of a dkDock control
    // moves it between dock sites and floating host windows.
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    // The dock site the control is docked in (a floating host when floating).
    TWinControl* HostDockSite() const { return FHostDockSite; }
    bool Floating() const;
    // Docks into NewDockSite (null: floats where the control is), at
    // ControlSide of DropControl; false when the old site's OnUnDock refuses.
    // Docking into itself or one of its own children raises EInvalidOperation.
    bool ManualDock(TWinControl* NewDockSite, TControl* DropControl = nullptr, TAlign ControlSide = alNone);
    // Floats in a host window whose client area is ScreenPos.
    bool ManualFloat(const TRect& ScreenPos);
    // The size a floating control takes.
    int UndockWidth() const { return FUndockWidth > 0 ? FUndockWidth : FWidth; }
    int UndockHeight() const { return FUndockHeight > 0 ? FUndockHeight : FHeight; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;
    TStartDockEvent OnStartDock;
    TEndDragEvent OnEndDock;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    TContextPopupEvent OnContextPopup;
    TConstrainedResizeEvent OnConstrainedResize;

    void Loaded() override;

protected:
    friend class TWinControl;
    friend struct DragMachinery;
    friend struct DockMachinery;

    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoStartDrag(TDragObject*& DragObject);
    // Accept starts false; a control with OnDragOver accepts unless its
    // handler says otherwise.
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    // A dock drag starting (OnStartDock may make the drag object) and ended.
    virtual void DoStartDock(TDragDockObject*& DragObject);
    virtual void DoEndDock(TObject* Target, int X, int Y);
    virtual void Resize();
    virtual void DoContextPopup(const TPoint& MousePos, bool& Handled);
    // WM_CONTEXTMENU: OnContextPopup, then the pop-up menu; Result 1 when
    // either took it, else the default handling (a child window's goes to its parent).
    void WMContextMenu(TMessage& Message);
    // The bounds and parent client size the anchors measure from.
    void UpdateAnchorRules();
    // The parent's client area is now ParentWidth by ParentHeight.
    void ApplyAnchors(int ParentWidth, int ParentHeight);
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
    // A size about to be set: CanResize, then held to the constraints; false
    // when the bounds must stay.
    bool CheckNewSize(int& NewWidth, int& NewHeight);
    // The constraints changed: the size is held to them.
    virtual void ConstraintsChanged(TObject* Sender);
    // Auto-size hook: the control computes its own size when AutoSize.
    virtual void AdjustSize() {}
    virtual const AnsiString& GetText() const { return FText; }
    virtual void SetTextBuf(const AnsiString& Value);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Notifications; descendants override and call the inherited one.
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMBiDiModeChanged(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMHitTest(TMessage& Message);
    virtual void CMCursorChanged(TMessage& Message);

    // The font's OnChange: ParentFont becomes false, CM_FONTCHANGED follows.
    void FontChanged(TObject* Sender);
    // Handle of the nearest window: own for a windowed control, the parent's otherwise.
    virtual HWND WindowHandleForPaint() const;
    bool IsLoading() const { return (ComponentState() & csLoading) != 0; }
    // A property write: a changed Value is stored in Field, ParentFlag (if
    // any) turned off, and the control told by Msg.
    template <class T>
    void ChangeProperty(T& Field, T Value, UINT Msg, bool* ParentFlag = nullptr) {
        if (Field == Value) return;
        Field = Value;
        if (ParentFlag) *ParentFlag = false;
        Perform(Msg, 0, 0);
    }
    // A Parent* switch: turned on in a loaded control with a parent, the
    // control takes the parent's value through Msg.
    void ChangeParentFlag(bool& Flag, bool Value, UINT Msg) {
        if (Flag == Value) return;
        Flag = Value;
        if (Value && FParent && !IsLoading()) Perform(Msg, 0, 0);
    }

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors = DefaultAnchors;
    TRect FAnchorBounds;
    int FAnchorParentWidth = -1, FAnchorParentHeight = -1;
    bool FAnchoring = false;
    TPopupMenu* FPopupMenu = nullptr;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FParentFont = true;
    bool FSettingParentFont = false;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TCursor FCursor = crDefault;
    AnsiString FText;
    bool FAutoSize = false;
    TDragMode FDragMode = dmManual;
    TCursor FDragCursor = crDrag;
    TDragKind FDragKind = dkDrag;
    TWinControl* FHostDockSite = nullptr;
    int FUndockWidth = 0, FUndockHeight = 0;
    bool FShowHint = false;
    AnsiString FHint;
    unsigned FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    unsigned FControlState = 0;

private:
    void HandleMouseMessage(TMessage& Message);
};

// Graphic controls that paint themselves: given the device context in the
// wParam of WM_PAINT, origin at the control's top left, clipped to it.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    const char* ClassName() const override { return "TGraphicControl"; }
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    void WndProc(TMessage& Message) override;
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    const char* ClassName() const override { return "TWinControl"; }
    bool HoldsControls() const override { return true; }

    // The window, created (with the parent's) on first use.
    HWND Handle();
    HWND HandleIfAllocated() const { return FHandle; }
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    // Window of the parent for a control whose parent is not a class-library
    // control (a control hosted in a foreign window).
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);

    // Children in z-order, the bottom one first.
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const;
    int IndexOfControl(TControl* Control) const;
    bool ContainsControl(TControl* Control) const;
    virtual void InsertControl(TControl* AControl);
    virtual void RemoveControl(TControl* AControl);
    // Top-most visible windowless child under Pos (client coordinates) that
    // answers CM_HITTEST; disabled ones only when AllowDisabled; windowed
    // children too when AllowWinControls.
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false) const;

    int TabOrder() const;
    virtual void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    virtual void SetTabStop(bool Value);
    bool Ctl3D() const { return FCtl3D; }
    virtual void SetCtl3D(bool Value);
    bool ParentCtl3D() const { return FParentCtl3D; }
    virtual void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }
    // The class library's own windows always paint off-screen; with this a
    // system control (an edit, a list) paints into a bitmap first too.
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    // Focuses the next (or previous) focusable control after CurControl in
    // the tab order of this control's descendants, wrapping round.
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // Descendants in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    // Controls of this window in tab order.
    const std::vector<TWinControl*>& TabList() const { return FTabList; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void Invalidate() override;
    void Repaint() override;
    // Lays out the aligned children again.
    void Realign();
    // Renders the client area with every child, windowless and windowed,
    // into DC at (X, Y): what the screen shows, without the screen.
    void PaintTo(HDC DC, int X, int Y);
    // Brush of Color, for answering WM_CTLCOLOR* (owned by the control).
    HBRUSH ColorBrush();
    // The client rectangle left to aligned children and dock clients.
    virtual void AdjustClientRect(TRect& Rect) {}

    // Docking: a DockSite takes dock clients; with UseDockManager its dock
    // manager (made by CreateDockManager) lays them out and paints grabbers.
    bool DockSite() const { return FDockSite; }
    void SetDockSite(bool Value);
    bool UseDockManager() const { return FUseDockManager; }
    void SetUseDockManager(bool Value);
    TDockTree* DockManager() const { return FDockManager.get(); }
    int DockClientCount() const { return static_cast<int>(FDockClients.size()); }
    TControl* DockClients(int Index) const;
    // Whether Source may dock here (OnDockOver; a dock site accepts unless
    // its handler says otherwise); the drag object's rectangle is placed first.
    virtual void DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept);
    // Takes the dragged control in.
    virtual void DockDrop(TDragDockObject* Source, int X, int Y);
    // Where a dock client may be dropped, in screen coordinates.
    virtual void GetSiteInfo(TControl* Client, TRect& InfluenceRect, const TPoint& MousePos, bool& CanDock);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TDockOverEvent OnDockOver;
    TDockDropEvent OnDockDrop;
    TGetSiteInfoEvent OnGetSiteInfo;
    TUnDockEvent OnUnDock;

    void Loaded() override;
    // Messages and window procedures: the window procedure of every
    // class-library window.
    static LRESULT CALLBACK InitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

protected:
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    // Creates the window and those of the children.
    virtual void CreateHandle();
    virtual void DestroyWnd();
    // Destroys the window itself (an MDI child asks its client to).
    virtual void DestroyWindowHandle(HWND Wnd) { DestroyWindow(Wnd); }
    void DestroyHandle();
    void RecreateWnd();
    // Background of the client area (Color); the parent's part under a
    // control with csParentBackground.
    virtual void PaintBackground(HDC DC, const RECT& R);
    // The control's own painting, after its background.
    virtual void PaintWindow(HDC DC);
    // Windowless children in z-order, clipped to R.
    void PaintControls(HDC DC, const RECT& R);
    // Background, own painting and windowless children, into DC.
    void PaintHandler(HDC DC, const RECT& R);
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // A child moved, was sized, shown, hidden, inserted or removed.
    virtual void ChildBoundsChanged(TControl*) {}
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // Whether Tab and Shift+Tab reach this control instead of moving the focus.
    virtual bool WantsTab() const { return false; }
    // Whether Enter reaches this control instead of the form's default button.
    virtual bool WantsReturn() const { return false; }
    // Tells the top-level control that a descendant got the focus.
    virtual void ActiveChanged(TWinControl* Focused) {}
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMBiDiModeChanged(TMessage& Message) override;
    virtual void WMPaint(TMessage& Message);
    // A system control's painting, into a bitmap first (DoubleBuffered).
    void PaintSystemControlBuffered(TMessage& Message);
    virtual void WMSetCursor(TMessage& Message);
    // The system's sizing: the track sizes held to the constraints.
    virtual void WMGetMinMaxInfo(MINMAXINFO& Info);
    HWND WindowHandleForPaint() const override { return FHandle; }
    void UpdateTabOrder(int Value);
    void SetZOrderOfWindow(bool Top);
    // The dock manager this control wants: a new one when it has none, is a
    // DockSite and UseDockManager; otherwise null.
    virtual std::unique_ptr<TDockTree> CreateDockManager();
    // Whether Client may leave for NewTarget (OnUnDock).
    virtual bool DoUnDock(TWinControl* NewTarget, TControl* Client);
    // Sends Msg to every child control (those of this moment).
    void NotifyControls(UINT Msg);
    HWND FHandle = nullptr;

private:
    friend class TControl;
    friend struct DragMachinery;
    friend struct DockMachinery;
    void UpdateDockManager();
    bool RouteMouseToChild(TMessage& Message);
    void ReflectNotification(TMessage& Message);
    bool HandleKey(TMessage& Message);

    HWND FParentWindow = nullptr;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    bool FDoubleBuffered = false;
    HBRUSH FBrush = nullptr;
    TColor FBrushColor = clNone;
    bool FRealigning = false;
    bool FDockSite = false;
    bool FUseDockManager = false;
    std::unique_ptr<TDockTree> FDockManager;
    std::vector<TControl*> FDockClients;
};

// A window that paints through a canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    const char* ClassName() const override { return "TCustomControl"; }
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// A method put in front of a control's WindowProc for as long as the hook
// lives. Freed, it gives back what it replaced while it is still the
// WindowProc; when someone swapped after it, it stays in their chain as a
// pass-through to what it replaced (for the program's life), so nobody is
// dropped and nobody calls a freed handler.
class TWndProcHook {
public:
    TWndProcHook(TControl* Control, TWndMethod Handler);
    ~TWndProcHook();
    TWndProcHook(const TWndProcHook&) = delete;
    TWndProcHook& operator=(const TWndProcHook&) = delete;
    // What the hook replaced.
    void CallPrevious(TMessage& Message) const;

private:
    struct TRelay;
    TControl* FControl;
    TRelay* FRelay;
};

// The class-library control of a window, or nullptr.
TWinControl* FindControl(HWND Wnd);
// Top-most visible control under a screen point: a windowless one when it
// is enabled (or AllowDisabled), else the windowed one.
TControl* FindDragTarget(const TPoint& ScreenPos, bool AllowDisabled);
// The control the mouse was last seen over (mouse-enter/leave tracking).
TControl* MouseOverControl();
// The control whose drag is under way (pending or started), or nullptr.
TControl* DragSourceControl();
// Whether the drag threshold has been passed.
bool DragActive();
void CancelDrag();
// The dock drag under way: its mouse messages (answers whether it took one),
// its cancelling, and a control that goes away (Docking.cpp).
bool DockDragMouse(TWinControl* Window, TMessage& Message);
void CancelDockDrag();
void ForgetDockControl(TControl* Control);

// What happens to an exception that escapes a message handler. Set by the
// application object; the default shows a message box.
using TExceptionSink = void (*)(TObject* Sender, const std::exception& E);
void SetExceptionSink(TExceptionSink Sink);
void HandleControlException(TObject* Sender, const std::exception& E);

TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyboardShiftState();
