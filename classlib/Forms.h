// Forms, the application object, the screen and the mouse.
//
// A form class derives from TForm, names itself in ClassName() and registers
// its published handlers (TypeInfo.h, RegisterFormClass). It is created by
// Application->CreateForm(Var): the form is constructed with the application
// as owner, read from the RCDATA resource named after its class in upper
// case, OnCreate runs, and a form whose definition says Visible is shown.
// The first form created this way becomes the main form; closing the main
// form ends Run, which then frees the forms, the last created first.
#pragma once

#include <windows.h>
// The application has a MessageBox of its own; the W entry point is called by name.
#undef MessageBox

#include <memory>
#include <exception>
#include <vector>

#include "Controls.h"

class TIcon;
class TForm;
class TMainMenu;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = unsigned;  // mask of 1 << TBorderIcon
constexpr TBorderIcons BorderIconBit(TBorderIcon i) { return 1u << i; }
enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
// fsMDIForm: the form holds MDI children in its "MDICLIENT" window;
// fsMDIChild: the form lives in the MDI form's client window.
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TTileMode { tbHorizontal, tbVertical };

// Told to the controls of an fsMDIForm once its MDI client window is made
// (again, when the form's window is made again).
constexpr UINT CM_MDICLIENTCHANGED = CM_BASE + 80;
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

using TCloseEvent = Method<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = Method<void(TObject* Sender, bool& CanClose)>;
using TExceptionEvent = Method<void(TObject* Sender, const std::exception& E)>;
// Sees a message of the application's window first; true when it took it.
using TWindowHook = Method<bool(TMessage& Message)>;

class TScrollingWinControl;

// One scroll bar of a scrolling control: the window's own bar (SB_HORZ or
// SB_VERT). Range is the extent of the scrolled area (computed from the
// children while the control's AutoScroll is on; setting it turns AutoScroll
// off); the bar shows while Visible and Range exceeds the client extent.
class TControlScrollBar : public TPersistent {
public:
    TControlScrollBar(TScrollingWinControl* Control, int Bar) : FControl(Control), FBar(Bar) {}
    const char* ClassName() const override { return "TControlScrollBar"; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Range() const { return FRange; }
    void SetRange(int Value);
    // Offset of the client area's origin into the scrolled area.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    // Whether the window shows the bar now.
    bool IsScrollBarVisible() const { return FShown; }
    int Kind() const { return FBar; }

private:
    friend class TScrollingWinControl;
    // A WM_HSCROLL / WM_VSCROLL code of the window's own bar.
    void ScrollMessage(int Code);
    // Client extent along the bar, as if neither bar showed.
    int FullClientSize() const;
    TScrollingWinControl* FControl;
    int FBar;
    bool FVisible = true;
    bool FShown = false;
    int FRange = 0, FPosition = 0, FIncrement = 8;
};

// A windowed control that scrolls its children with the window's own scroll
// bars, the wheel and its bars' Position. With AutoScroll the ranges follow
// the children's extent whenever one moves, is sized, shown or hidden.
class TScrollingWinControl : public TCustomControl {
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    ~TScrollingWinControl() override;
    const char* ClassName() const override { return "TScrollingWinControl"; }

    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    // Moves the children (not the aligned ones) by the deltas and repaints.
    void ScrollBy(int DeltaX, int DeltaY);
    // Scrolls as little as needed to show the whole of AControl.
    void ScrollInView(TControl* AControl);
    // Shows, hides and sets both bars for the ranges and client size of now.
    void UpdateScrollBars();

protected:
    friend class TControlScrollBar;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void ChildBoundsChanged(TControl* AControl) override;

private:
    void CalcAutoRange();
    bool WheelScroll(int Delta);
    bool FAutoScroll = true;
    bool FUpdatingScrollBars = false;
    bool FScrolling = false;
    std::unique_ptr<TControlScrollBar> FHorzScrollBar;
    std::unique_ptr<TControlScrollBar> FVertScrollBar;
};

class TForm : public TScrollingWinControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;
    const char* ClassName() const override { return "TForm"; }

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    virtual void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    virtual void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const { return FWindowState; }
    virtual void SetWindowState(TWindowState Value);
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value);
    // A band of the form's colour round the client area, inside the frame.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Value);
    // The menu bar; its messages reach its items through the form. An MDI
    // child's menu shows on its MDI form's bar while the child is active,
    // as does the menu of another form whose menu has AutoMerge while that
    // form is active (on the main form's bar, unless that is an MDI form).
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    // Changing it makes the window again.
    virtual void SetFormStyle(TFormStyle Value);
    // The "MDICLIENT" window of an fsMDIForm, made with the form's window;
    // null for other forms and before the window exists.
    HWND ClientHandle() const { return FClientHandle; }
    // MDI children of an fsMDIForm: the active one, and all of them, the
    // top of the z-order (the active one) first.
    TForm* ActiveMDIChild() const;
    int MDIChildCount() const;
    TForm* MDIChildren(int Index) const;
    TTileMode TileMode() const { return FTileMode; }
    void SetTileMode(TTileMode Value) { FTileMode = Value; }
    void Cascade();
    void Tile();

    // What a button with a modal result last stored; nothing reads it yet.
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }

    TRect ClientRect() const override;
    void SetClientWidth(int Value) override;
    void SetClientHeight(int Value) override;
    TPoint ClientOrigin() const override;
    // Hidden to shown: OnShow, then the window appears (and is activated).
    // While the form is read, only the wish is noted.
    void SetVisible(bool Value) override;
    void Show();
    // Asks OnCloseQuery, then OnClose with the action caHide; the main form
    // ends the application, other forms do what the action says.
    void Close();
    // Frees the form once the messages now queued are handled.
    void Release();
    void BringToFront();

    // After the form is read: OnCreate, then shown when Visible.
    void AfterCreation();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnPaint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    // An MDI form's messages end in the frame's default procedure, an MDI
    // child's in the MDI child's.
    void DefaultHandler(TMessage& Message) override;
    // An MDI form's client window takes the room the aligned controls leave.
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void DestroyWindowHandle(HWND Wnd) override;
    void Paint() override;
    void ActiveChanged(TWinControl* Focused) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    void CMTextChanged(TMessage& Message) override;

private:
    void IconChanged(TObject*);
    void WMNCPaint(TMessage& Message);
    int FBorderWidth = 0;
    friend class TApplication;
    void ApplyIcon();
    // Border sizes the window adds round the client area, for these styles.
    SIZE FrameSize() const;
    // The fsMDIForm an MDI child lives in: the main form when it is one,
    // else the first such form on the screen.
    TForm* MDIParentForm() const;
    std::vector<TForm*> MDIChildList() const;
    // The form whose bar shows this form's menu, or nullptr.
    TForm* MenuMergeTarget() const;
    void MergeMenu(bool On);
    void MDIActivated(HWND Deactivated, HWND Activated);
    bool ShowsOwnBar() const;
    // The window's bar as Menu and AutoMerge say.
    void UpdateBar();
    void CreateClientWindow();
    TFormStyle FFormStyle = fsNormal;
    HWND FClientHandle = nullptr;
    TTileMode FTileMode = tbHorizontal;
    TBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = BorderIconBit(biSystemMenu) | BorderIconBit(biMinimize) | BorderIconBit(biMaximize);
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    std::unique_ptr<TIcon> FIcon;
    bool FKeyPreview = false;
    TWinControl* FActiveControl = nullptr;
    TMainMenu* FMenu = nullptr;
    int FModalResult = 0;
    int FClientWidth = -1, FClientHeight = -1;  // wished for before the window exists
    bool FShownOnce = false;
};

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    const char* ClassName() const override { return "TScreen"; }
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TForm* Forms(int Index) const;
    int Width() const;
    int Height() const;
    // The form whose window is active, or nullptr.
    TForm* ActiveForm() const;
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    HCURSOR Cursors(TCursor Index) const { return CursorHandle(Index); }

private:
    friend class TForm;
    std::vector<TForm*> FForms;
    TCursor FCursor = crDefault;
};

class TMouse {
public:
    TPoint CursorPos() const;
    void SetCursorPos(const TPoint& P);
    // Pixels the mouse must move with the button held before a drag begins.
    int DragThreshold() const;
    HWND Capture() const { return GetCapture(); }
};

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;
    const char* ClassName() const override { return "TApplication"; }

    // Initialises OLE for the GUI thread.
    void Initialize();
    template <class T>
    void CreateForm(T*& Reference);
    // Shows the main form and runs the message loop until Terminate; then
    // frees every form, the last created first.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles every message waiting, then returns.
    void ProcessMessages();
    // Waits for one message and handles it.
    void HandleMessage();
    // Frees the owned forms, the last created first.
    void DestroyForms();

    // An exception that escaped a handler: OnException when set, else
    // ShowException. The loop goes on either way.
    void HandleException(TObject* Sender, const std::exception& E);
    // A message box with the exception's message and the title.
    void ShowException(const std::exception& E);
    // A modal message box owned by the active form (the desktop when none):
    // the platform's button identifier (IDOK, IDYES, ...), 0 when none shows.
    int MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags);
    // The full path of the program file.
    const AnsiString& ExeName() const { return FExeName; }

    TForm* MainForm() const { return FMainForm; }
    // The whole program goes to the task bar: the main form minimised.
    void Minimize();
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    // The program's icon ("MAINICON" when the program has one); the icon of
    // every form that has none of its own.
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value);
    bool ShowMainForm = true;
    // Whether hints are shown; a control may turn them off while it tracks a press.
    bool ShowHint = true;

    TExceptionEvent OnException;

    // The application's own hidden window, made on first use: messages meant
    // for the application as a whole are posted to it, and hooks see them.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Hooks run in the order added, until one takes the message.
    void HookMainWindow(TWindowHook Hook);
    void UnhookMainWindow(TWindowHook Hook);

private:
    friend class TForm;
    static LRESULT CALLBACK AppWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    // A key that is a shortcut of the menu of the form the key goes to.
    bool IsMenuShortCut(const MSG& Msg);
    bool ProcessMessage(MSG& Msg);
    void FormCreated(TForm* Form);
    void IconChanged(TObject*);
    std::unique_ptr<TIcon> FIcon;
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FOleInitialized = false;
    AnsiString FTitle;
    AnsiString FExeName;
    HWND FHandle = nullptr;
    std::vector<TWindowHook> FWindowHooks;
};

extern TApplication* Application;
extern TScreen* Screen;
extern TMouse* Mouse;

// The form (top-level TForm) a control lies on, or nullptr.
TForm* GetParentForm(TControl* Control);

// Reads a form's definition from its resource (FormLoader.h); declared here
// so that CreateForm needs no more than this header.
void LoadFormFromResource(TComponent* Root, HINSTANCE Instance);

template <class T>
void TApplication::CreateForm(T*& Reference) {
    T* form = new T(this);
    // The variable is set at once, as handlers run while the form is made
    // (OnCreate, OnShow of a form shown from its definition) may use it.
    Reference = form;
    try {
        LoadFormFromResource(form, nullptr);
    } catch (...) {
        Reference = nullptr;
        delete form;
        throw;
    }
    FormCreated(form);
    form->AfterCreation();
}
