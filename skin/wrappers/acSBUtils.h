// Window wrappers: an object that attaches itself to one existing window (a
// class-library control or any foreign window) and takes over its messages,
// so the window is painted from the skin without its own code knowing.
// TacMainWnd is the base of the family: the attachment (the "ACSBSC"
// property, a replaced window procedure or a swapped WindowProc), the pass-on
// to what it replaced, the common answers to the engine message, and the
// detaching on window destruction. TacScrollWnd takes a window's system
// scroll bars out of its non-client area and emulates them: room, hit test,
// skin painting and mouse driving; the scroll state stays in the window.
//
// Wrappers are made by CreateWrapper<T>(...), which constructs and then runs
// the attaching init step (virtual calls do not reach a descendant from a
// constructor). One window has at most one wrapper: CreateWrapper refuses
// (answers nil) for a window that already has one.
//
// Attachment of a foreign window: its window procedure is replaced with a
// small executable stub bound to the wrapper (the object instance); the stub
// outlives the wrapper when someone subclassed on top of it and then only
// passes messages on, so no window is ever left calling freed memory.
// A class-library control gets its WindowProc swapped for a method bound to
// the same kind of record. Every procedure entry catches C++ exceptions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <new>

#include "Controls.h"
#include "sCommonData.h"

class TsSkinManager;
class TacMainWnd;
class TacScrollWnd;
class TacScrollBar;
struct TacProcStub;

// The window property that holds a wrapped window's wrapper.
inline constexpr const wchar_t* acWrapperProp = L"ACSBSC";

// Raised by the system-dialog skinning while it wraps a dialog's children;
// copied by each wrapper at creation.
extern bool WrappingDialogChildren;
// Raised by the control adapter while it frees all its wrappers at once:
// a wrapper freed then leaves its window alone unless a skin is being removed.
extern bool AdapterRemovingAll;
// The form of a skin provider given as a common data's owner object; nil
// for any other owner. Set by the provider's unit; nil until then.
extern TWinControl* (*ProviderFormOf)(TPersistent* Owner);

// Geometry of a window for painting: its window rectangle (screen), parent,
// size and place in the parent's window rectangle less the parent's skinned
// border offset.
struct TacWndGeometry {
    TRect WndRect;
    HWND Parent = nullptr;
    TSize WndSize;
    TPoint WndPos;
};

class TacMainWnd : public TObject {
public:
    // Keeps the arguments; CreateWrapper runs InitWrapper next, which
    // attaches. Section is the skin section when the common data has none.
    TacMainWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager, TsCommonData* Data);
    ~TacMainWnd() override;
    const char* ClassName() const override { return "TacMainWnd"; }
    // Every delete of a wrapper comes here: the window is let go while the
    // whole object still stands, so each descendant's RestorePlainLook is
    // reached (a destructor reaches only its own class's).
    static void operator delete(TacMainWnd* W, std::destroying_delete_t);
    // The pair of it: plain allocation, and the release of a wrapper whose
    // constructor threw.
    static void* operator new(std::size_t Size);
    static void operator delete(void* P);

    // The init step of the creation: visual style off (unless the section is
    // "DIALOG"), SavePlainLook, window text, attach (a TacScrollWnd sets up
    // its bars, which attaches), csOpaque on an owner control.
    void InitWrapper();

    // Remember the window's unskinned colours and fonts.
    virtual void SavePlainLook() {}
    // Give them back.
    virtual void RestorePlainLook() {}
    // Apply the skin section's colours.
    virtual void ApplySkinLook() { Skinned = true; }
    virtual void WndProc(TMessage& Message);

    // Hands the message to what the wrapper replaced; the answer in Result.
    void PassOn(TMessage& Message);
    bool Attached() const { return !Destroyed && ObjectOrMethodSaved(); }

    // ---- state, in the family's declaration order
    bool DialogMode = false;
    AnsiString WndText;
    TacWndGeometry Geometry;
    TWndMethod OldWndProc;        // saved WindowProc of a class-library control
    WNDPROC OldProc = nullptr;    // saved procedure of a foreign window
    HWND CtrlHandle = nullptr;
    TsSkinManager* SkinManager = nullptr;
    TsCommonData* SkinData = nullptr;
    bool OwnScroll = false;       // the scroll set-up runs / the wrapper itself scrolls
    bool Skinned = false;
    bool Destroyed = false;       // detached: no longer touches the window
    bool OwnSkinData = false;
    TacProcStub* ObjectInstance = nullptr;

    // Whether the wrapper switched the window's visual styles off (and gives them back).
    bool SwitchesThemeOff() const { return FSwitchThemeOff; }

protected:
    // Reads the window text again (length asked first).
    void ReadWndText();
    bool ObjectOrMethodSaved() const { return OldProc != nullptr || OldWndProc != nullptr; }
    // The letting go of a window still attached when the wrapper is freed:
    // the mouse of its bars let go, visual style back, procedure given back,
    // property removed, plain look restored.
    void DetachOnFree();
    // The engine commands of the base (step 8 of its procedure); false: not
    // consumed, pass on.
    bool HandleSkinCommand(TMessage& Message);

    bool FRepaint = true;
    // Descendants may clear it in their constructor to keep the visual style.
    bool FSwitchThemeOff = true;
};

// Makes a wrapper of class T on Handle and attaches it. Nil for a zero or dead
// handle and for a window that already has a wrapper (never two on one window).
template <class T, class... Extra>
T* CreateWrapper(HWND Handle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager, TsCommonData* Data,
                 Extra&&... More);

// ---- attachment and look-up
TacMainWnd* GetWrapper(HWND Handle);
// Sets the property and replaces the procedure (foreign window) or swaps
// the WindowProc of the owner control or provider's form.
void Attach(TacMainWnd* Wrapper, HWND Handle);
LRESULT CallPrevWndProc(TacMainWnd* Wrapper, HWND Handle, UINT Msg, WPARAM WParam, LPARAM& LParam);
// Gives back what was replaced (only while the wrapper's own procedure is
// still current; else it leaves a pass-through), removes the property,
// restores the plain look and refreshes a visible window's frame. Once only.
// Free: the wrapper is freed and Wrapper set to nil.
void DetachWrapper(HWND Handle, bool Free, bool Refresh, TacMainWnd*& Wrapper);
// Frame refresh: Full recalculates the frame (SWP_FRAMECHANGED), else
// WM_NCPAINT is sent.
void RefreshWndFrame(HWND Handle, bool Full);

// ---- shared functions of the family
// With an owner control, to its whole tree of child controls; else to the
// direct child windows of Handle.
void ForwardToChildren(TControl* Owner, HWND Handle, TMessage& Message);
// Depth first through Component's Components for the windowed control whose
// allocated handle is Handle.
TWinControl* FindControlByHandle(HWND Handle, TComponent* Component);
TacWndGeometry GetWndGeometry(HWND Handle);
// Command 25 (lParam 0) to the top-level window above Handle.
void NotifyTopWindow(HWND Handle);
// Repaints a dirty cache bitmap from the section (or, Plain, clWindow framed
// in the skin's border colour) at the window's size.
void UpdateWndCache(TsCommonData* Data, HWND Handle, bool Plain);
// Key-coloured corner pixels of the border image's State cell take the
// parent's background in the cache.
void FillCornersByMask(TsCommonData* Data, int State, TacMainWnd* Wrapper);

// ---- emulated non-client scroll bars

// Timer ids on the wrapped window.
constexpr UINT_PTR acHoverTimer = 0xFFF2;       // every 20 ms while over a bar
constexpr UINT_PTR acFirstDelayTimer = 0xFFFD;  // once, 300 ms after a press
constexpr UINT_PTR acRepeatTimer = 0xFFFE;      // every 55 ms while pressed
constexpr UINT acHoverInterval = 20, acFirstDelay = 300, acRepeatInterval = 55;

// Part codes: the scroll code each part sends.
enum : int {
    acPartNone = -1, acPartArrow1 = 0, acPartArrow2 = 1, acPartTrack1 = 2, acPartTrack2 = 3, acPartThumb = 5,
};

// What a wrapper needs of one bar.
class TacScrollBar : public TObject {
public:
    TacScrollBar(TacScrollWnd* AOwner, uint16_t AKind) : Kind(AKind), Owner(AOwner) {}
    const char* ClassName() const override { return "TacScrollBar"; }
    uint16_t ScrollFlags = 0;   // 8: the window style has the bar
    uint8_t Visible = 0;        // the bar has room in the non-client area
    SCROLLINFO ScrollInfo{};
    int ArrowLength = -1;       // -1: the system's
    int Thickness = -1;         // -1: the system's
    uint16_t Kind = 0;          // 0 horizontal, 1 vertical
    uint16_t MinThumbSize = 10;
    TacScrollWnd* Owner = nullptr;
};

class TacScrollWnd : public TacMainWnd {
public:
    TacScrollWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager, TsCommonData* Data);
    ~TacScrollWnd() override;
    const char* ClassName() const override { return "TacScrollWnd"; }
    void WndProc(TMessage& Message) override;

    TacScrollBar* HorzBar() const { return FBars[0].get(); }
    TacScrollBar* VertBar() const { return FBars[1].get(); }
    // Bar 0 horizontal, 1 vertical; nil for any other value.
    TacScrollBar* Bar(int Which) const { return Which == 0 || Which == 1 ? FBars[Which].get() : nullptr; }
    // Lets go of the mouse: a press on this window ends without scroll
    // messages, the hover ends, the bars' timers are killed. Run on detach,
    // on destruction and by the wrapper's own end of a press.
    void StopScrollMouse();
    // Whether a press on one of this window's bars (an arrow or track held,
    // the thumb dragged) is under way.
    bool PressRunning() const;

    bool ThumbDragging = false;
    bool LeftScrollBar = false;  // WS_EX_LEFTSCROLLBAR
    // Non-client edges that the window's own procedure reserves.
    int EdgeLeft = 0, EdgeRight = 0, EdgeTop = 0, EdgeBottom = 0;
    bool StyleGuard = false;
    // The bars lie on the window's own skinned image (a skinned form), not
    // on its parent's.
    bool OwnBackground = false;

protected:
    friend void InitScrollBars(TacScrollWnd* Wrapper, HWND Handle, bool Repaint);
    friend void DetachScrollWrapper(HWND Handle, bool Free, bool Refresh, TacScrollWnd*& Wrapper);
    // The handlers of the procedure; each answers whether it consumed.
    void WMNCCalcSize(TMessage& Message);
    bool WMNCHitTest(TMessage& Message);
    bool WMNCMouseMove(TMessage& Message);
    bool WMNCButtonDown(TMessage& Message);
    bool WMMouseMove(TMessage& Message);
    bool WMLButtonUp(TMessage& Message);
    bool WMTimer(TMessage& Message);
    bool HandleScrollSkinCommand(TMessage& Message);
    bool HandlePressEnd(TMessage& Message);
    // Ends a press: timers killed, capture released, drag finished; Send
    // sends the closing scroll messages. Safe to run more than once.
    void ReleasePress(bool Send);
    // Whether the window keeps the mouse capture when a press on its bar
    // ends (a dropped list needs it to close on a click outside).
    virtual bool KeepsCapture() const { return false; }
    void KillScrollTimers();
    void RepeatStep();

    std::unique_ptr<TacScrollBar> FBars[2];
};

// The mouse state of all scroll wrappers (there is one mouse).
struct TacScrollMouse {
    HWND Wnd = nullptr;          // window under the mouse or pressed
    UINT ScrollMsg = 0;          // WM_HSCROLL or WM_VSCROLL of the pressed bar
    int PressedBar = -1;         // 0, 1; -1 none
    int PressedPart = acPartNone;
    int ShownPart = acPartNone;  // part shown pressed
    UINT_PTR RepeatTimer = 0;
    int HoverBar = -1;
    int HoverPart = acPartNone;
    int PaintedHoverPart = acPartNone;
    UINT_PTR HoverTimer = 0;
    TRect HoverRect;             // screen rectangle of the hovered bar
    // thumb drag, all along the bar in screen coordinates
    int ThumbSize = 0;
    int ThumbStart = 0;
    TRect DragBarRect;
    int GrabOffset = 0;
    int LastPos = 0;
};
extern TacScrollMouse acScrollMouse;

// Run by the init step of a TacScrollWnd: the bars made and read, the
// property set, attached, minimum thumb sizes; with Repaint the frame is
// recalculated.
void InitScrollBars(TacScrollWnd* Wrapper, HWND Handle, bool Repaint);
// 0 horizontal, 1 vertical bar of the window's scroll wrapper; else nil.
TacScrollBar* GetScrollBarObject(HWND Handle, int Which);
// For class-library frames and scrolling controls: a scroll wrapper while
// the common data is skinned, none (and the flat scroll bars) otherwise.
// Make, when given, makes the wrapper (a kind of TacScrollWnd of the owner's).
void UpdateScrollWrapper(TsCommonData* Data, TacScrollWnd*& Wrapper,
                         TacScrollWnd* (*Make)(HWND Handle, TsCommonData* Data) = nullptr);
// Both bars' scroll information read again; painted with Repaint (not
// during a fade).
void UpdateScrollInfo(TacScrollWnd* Wrapper, bool Repaint);
// As DetachWrapper, for a scroll wrapper; the bars go with the wrapper.
void DetachScrollWrapper(HWND Handle, bool Free, bool Refresh, TacScrollWnd*& Wrapper);
// Which 1: thickness; 0: arrow length (UseSkin: at least one state cell of
// the skin's arrow button image).
int GetScrollMetric(const TacScrollBar* Bar, int Which, bool UseSkin);
// Screen rectangles of the bars' places (whether shown or not).
TRect GetHorzBarRect(TacScrollWnd* Wrapper, HWND Handle);
TRect GetVertBarRect(TacScrollWnd* Wrapper, HWND Handle);
// The size grip's corner: no parent, or R (grown by the edges) ends at the
// top-level parent's client corner.
bool InParentCorner(TacScrollWnd* Wrapper, HWND Handle, const TRect& R);
// The visible bars (and the corner between them) into DC, or the window DC
// when DC is nil. ThumbPos >= 0 places the thumb there (a drag).
void PaintScrollBars(TacScrollWnd* Wrapper, HWND Handle, HDC DC = nullptr, int ThumbPos = -1, HRGN Region = nullptr);
// WM_HSCROLL/WM_VSCROLL with Code and Position, between commands 51 and 52.
void SendScrollMessage(HWND Handle, UINT Message, int Code, int Position);
// The bar is there and not disabled (GetScrollBarInfo).
bool ScrollBarUsable(HWND Handle, int Kind);
// A bar's part Index in State over R of Bmp (R's corner at Offset over
// Under), from the section, border and textures the manager cached for it:
// buttons top, bottom, left, right and the thumbs vertical, horizontal;
// track halves 1H, 1V, 2H, 2V. Shared with the skinned scroll bar control.
void PaintScrollButtonSection(TsSkinManager* M, int Index, TBitmap* Bmp, TPoint Offset, const TRect& R, int State,
                              CacheInfo Under);
void PaintScrollTrackSection(TsSkinManager* M, int Index, TBitmap* Bmp, TPoint Offset, const TRect& R, int State,
                             CacheInfo Under);
// A glyph image's State cell centred on R of Target (moved by Shift both
// ways), when it fits; shared with the skinned scroll bar control.
void PaintCentredGlyph(TsSkinManager* Manager, int Glyph, TBitmap* Target, const TRect& R, int State, int Shift = 0);
// A scroll button's glyph (Index as for PaintScrollButtonSection); an arrow
// button of a skin without its glyph gets a plain arrow in its font colour.
void PaintScrollGlyph(TsSkinManager* Manager, int Index, TBitmap* Target, const TRect& R, int State, int Shift = 0);

// ---------------------------------------------------------------- template body
template <class T, class... Extra>
T* CreateWrapper(HWND Handle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager, TsCommonData* Data,
                 Extra&&... More) {
    if (!Handle || !IsWindow(Handle) || GetWrapper(Handle)) return nullptr;
    std::unique_ptr<T> w(new T(Handle, Repaint, Section, Manager, Data, static_cast<Extra&&>(More)...));
    w->InitWrapper();
    return w.release();
}
