#include "Controls.h"

#include "Menus.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <set>

#include "Docking.h"
#include "DragTracking.h"
#include "Guards.h"
#include "Graphics.h"
#include "Text1251.h"
#include "Themes.h"
#include "WinText.h"

namespace {

const wchar_t kControlProp[] = L"TuvreliControl";

// The control whose window CreateWindowEx is making (messages arrive before
// it returns).
TWinControl* g_Creating = nullptr;
// Windowless or windowed control that holds the mouse between a press and
// its release.
TControl* g_CaptureControl = nullptr;
// Control the mouse was last over, for CM_MOUSEENTER / CM_MOUSELEAVE.
TControl* g_MouseControl = nullptr;
// Screen position of the last mouse message any of our windows received.
TPoint g_LastMouse;
TExceptionSink g_Sink = nullptr;

bool IsMouseMsg(UINT m) {
    return (m >= WM_MOUSEMOVE && m <= WM_MBUTTONDBLCLK);
}

TPoint MsgPoint(const TMessage& m) { return Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)); }
LPARAM PointParam(int x, int y) { return MAKELPARAM(short(x), short(y)); }

void SetMouseControl(TControl* now) {
    if (now == g_MouseControl) return;
    TControl* old = g_MouseControl;
    g_MouseControl = now;
    if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
    if (now && g_MouseControl == now) now->Perform(CM_MOUSEENTER, 0, 0);
}

// ---- drag cursors, drawn once ----
HCURSOR MakeDragCursor(bool noDrop) {
    // 32x32 monochrome: AND mask 1 = transparent, XOR 1 = white where AND 0.
    uint8_t andMask[128], xorMask[128];
    std::fill(andMask, andMask + 128, 0xFF);
    std::fill(xorMask, xorMask + 128, 0x00);
    auto set = [&](int x, int y, bool white) {
        if (x < 0 || x >= 32 || y < 0 || y >= 32) return;
        int i = y * 4 + x / 8;
        uint8_t bit = uint8_t(0x80 >> (x % 8));
        andMask[i] &= uint8_t(~bit);
        if (white) xorMask[i] |= bit; else xorMask[i] &= uint8_t(~bit);
    };
    // Arrow: black outline, white inside.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x <= y / 2 + 1 && x < 10; ++x) set(x, y, !(x == 0 || x == y / 2 + 1 || y == 15));
    if (!noDrop) {
        // A small sheet under the arrow: the thing being dragged.
        for (int y = 17; y < 27; ++y)
            for (int x = 6; x < 20; ++x) set(x, y, !(y == 17 || y == 26 || x == 6 || x == 19));
    } else {
        // A ring with a bar: no drop here.
        for (int y = 12; y < 32; ++y)
            for (int x = 8; x < 28; ++x) {
                int dx = x - 18, dy = y - 22, d2 = dx * dx + dy * dy;
                bool ring = d2 <= 81 && d2 >= 36;
                bool bar = std::abs(dx + dy) <= 1 && d2 < 64;
                if (ring || bar) set(x, y, false);
                else if (d2 < 36 && d2 > 0) set(x, y, true);
            }
    }
    return CreateCursor(GetModuleHandleW(nullptr), 0, 0, 32, 32, andMask, xorMask);
}

}  // namespace

HCURSOR CursorHandle(TCursor Cursor) {
    static HCURSOR drag = nullptr, noDrop = nullptr;
    const wchar_t* id = IDC_ARROW;
    switch (Cursor) {
    case crDrag:
    case crMultiDrag:
        if (!drag) drag = MakeDragCursor(false);
        return drag;
    case crNoDrop:
        if (!noDrop) noDrop = MakeDragCursor(true);
        return noDrop;
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
    }
    return LoadCursorW(nullptr, id);
}

void SetExceptionSink(TExceptionSink Sink) { g_Sink = Sink; }

void HandleControlException(TObject* Sender, const std::exception& E) {
    if (g_Sink) {
        g_Sink(Sender, E);
        return;
    }
    MessageBoxW(nullptr, ToWide(E.what()).c_str(), L"Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

TShiftState KeysToShiftState(WPARAM Keys) {
    TShiftState s = 0;
    if (Keys & MK_SHIFT) s |= ShiftBit(ssShift);
    if (Keys & MK_CONTROL) s |= ShiftBit(ssCtrl);
    if (Keys & MK_LBUTTON) s |= ShiftBit(ssLeft);
    if (Keys & MK_RBUTTON) s |= ShiftBit(ssRight);
    if (Keys & MK_MBUTTON) s |= ShiftBit(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s |= ShiftBit(ssAlt);
    return s;
}

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ShiftBit(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s |= ShiftBit(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s |= ShiftBit(ssAlt);
    return s;
}

TWinControl* FindControl(HWND Wnd) {
    if (!Wnd) return nullptr;
    return static_cast<TWinControl*>(GetPropW(Wnd, kControlProp));
}

TControl* FindDragTarget(const TPoint& ScreenPos, bool AllowDisabled) {
    POINT p{ScreenPos.X, ScreenPos.Y};
    HWND h = WindowFromPoint(p);
    TWinControl* w = nullptr;
    while (h && !(w = FindControl(h))) h = GetParent(h);
    if (!w) return nullptr;
    TControl* c = w->ControlAtPos(w->ScreenToClient(ScreenPos), AllowDisabled);
    return c ? c : w;
}

TControl* MouseOverControl() { return g_MouseControl; }

// ======================================================================
// Drag and drop: one drag at a time, driven by the mouse messages of any of
// our windows while it lasts.

struct DragMachinery {
    TControl* Source = nullptr;
    std::unique_ptr<TDragObject> Object;
    bool Active = false;
    int Threshold = 4;
    TPoint Start;
    HWND CaptureWnd = nullptr;
    TControl* Target = nullptr;
    bool Accepted = false;
    TPoint Pos;

    static DragMachinery& Get() {
        static DragMachinery d;
        return d;
    }
    TObject* SourceObject() const { return Object ? static_cast<TObject*>(Object.get()) : Source; }

    void Begin(TControl* src, bool immediate, int threshold) {
        if (Source) return;
        TDragObject* obj = nullptr;
        src->DoStartDrag(obj);
        Source = src;
        Object.reset(obj);
        Active = false;
        Threshold = threshold >= 0 ? threshold : GetSystemMetrics(SM_CXDRAG);
        Start = g_LastMouse;
        Pos = Start;
        Target = nullptr;
        Accepted = false;
        g_CaptureControl = nullptr;
        CaptureWnd = src->WindowHandleForPaint();
        if (CaptureWnd) SetCapture(CaptureWnd);
        if (immediate) {
            Active = true;
            MoveTo(Start);
        }
    }

    bool OverTarget(TControl* t, TDragState state) {
        TPoint p = t->ScreenToClient(Pos);
        bool accept = false;
        t->DragOver(SourceObject(), p.X, p.Y, state, accept);
        return accept;
    }

    void MoveTo(const TPoint& pos) {
        Pos = pos;
        TControl* t = FindDragTarget(pos, false);
        if (t != Target) {
            TControl* old = Target;
            Target = nullptr;
            Accepted = false;
            if (old) OverTarget(old, dsDragLeave);
            if (!Source) return;  // a handler ended the drag
            Target = t;
            if (t) Accepted = OverTarget(t, dsDragEnter);
        } else if (t) {
            Accepted = OverTarget(t, dsDragMove);
        }
        if (Source) ::SetCursor(CursorHandle(Accepted ? Source->DragCursor() : crNoDrop));
    }

    void Done(bool drop) {
        if (!Source) return;
        // The drag is over before the handlers run (one may start the next);
        // its object goes at the end of this scope, thrown or not.
        DragMachinery d = std::move(*this);
        *this = DragMachinery();
        if (d.CaptureWnd && GetCapture() == d.CaptureWnd) ReleaseCapture();
        TObject* srcObj = d.SourceObject();
        bool accepted = drop && d.Active && d.Target && d.Accepted;
        TPoint local = d.Target ? d.Target->ScreenToClient(d.Pos) : d.Pos;
        if (d.Target) {
            bool ignored = false;
            d.Target->DragOver(srcObj, local.X, local.Y, dsDragLeave, ignored);
        }
        if (accepted) d.Target->DragDrop(srcObj, local.X, local.Y);
        d.Source->DoEndDrag(accepted ? d.Target : nullptr, local.X, local.Y);
    }

    // A mouse message of a window while a drag lasts. Answers whether the
    // drag consumed it.
    bool Mouse(TWinControl* w, TMessage& m) { return Source && TrackDragMouse(*this, w, m); }

    void Forget(TControl* c) {
        if (Source == c) {
            Source = nullptr;
            Done(false);
            *this = DragMachinery();
        } else if (Target == c) {
            Target = nullptr;
            Accepted = false;
        }
    }
};

TControl* DragSourceControl() { return DragMachinery::Get().Source; }
bool DragActive() { return DragMachinery::Get().Source && DragMachinery::Get().Active; }
void CancelDrag() { DragMachinery::Get().Done(false); }

// ======================================================================
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    WindowProc = TWndMethod::Of<&TControl::WndProc>(this);
    FFont = std::make_unique<TFont>();
    FFont->OnChange = TNotifyEvent::Of<&TControl::FontChanged>(this);
    FConstraints = std::make_unique<TSizeConstraints>(this);
    FConstraints->OnChange = TNotifyEvent::Of<&TControl::ConstraintsChanged>(this);
}

TControl::~TControl() {
    if (g_CaptureControl == this) g_CaptureControl = nullptr;
    if (g_MouseControl == this) g_MouseControl = nullptr;
    DragMachinery& d = DragMachinery::Get();
    if (d.Source == this) {
        if (d.CaptureWnd && GetCapture() == d.CaptureWnd) ReleaseCapture();
        d = DragMachinery();
    } else if (d.Target == this) {
        d.Target = nullptr;
        d.Accepted = false;
    }
    ForgetDockControl(this);
    if (FParent) FParent->RemoveControl(this);
    FFont->OnChange = nullptr;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::WndProc(TMessage& m) {
    if (IsMouseMsg(m.Msg)) {
        HandleMouseMessage(m);
        return;
    }
    switch (m.Msg) {
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); return;
    case CM_TEXTCHANGED: CMTextChanged(m); return;
    case CM_FONTCHANGED: CMFontChanged(m); return;
    case CM_COLORCHANGED: CMColorChanged(m); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); return;
    case CM_BIDIMODECHANGED: CMBiDiModeChanged(m); return;
    case CM_PARENTBIDIMODECHANGED:
        if (FParentBiDiMode && FParent) {
            SetBiDiMode(FParent->BiDiMode());
            FParentBiDiMode = true;
        }
        return;
    case CM_MOUSEENTER: CMMouseEnter(m); return;
    case CM_MOUSELEAVE: CMMouseLeave(m); return;
    case CM_HITTEST: CMHitTest(m); return;
    case CM_CURSORCHANGED: CMCursorChanged(m); return;
    case WM_CONTEXTMENU: WMContextMenu(m); return;
    default: DefaultHandler(m);
    }
}

void TControl::HandleMouseMessage(TMessage& m) {
    TPoint p = MsgPoint(m);
    TShiftState shift = KeysToShiftState(m.WParam);
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        DefaultHandler(m);
        if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
        if (FControlStyle & csClickEvents) FControlState |= csClicked;
        if (m.Msg == WM_LBUTTONDBLCLK) {
            shift |= ShiftBit(ssDouble);
            if (FControlStyle & csDoubleClicks) DblClick();
        }
        if (FDragMode == dmAutomatic && m.Msg == WM_LBUTTONDOWN) {
            BeginDrag(false);
            return;
        }
        MouseDown(mbLeft, shift, p.X, p.Y);
        return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        DefaultHandler(m);
        MouseDown(mbRight, shift, p.X, p.Y);
        return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        DefaultHandler(m);
        MouseDown(mbMiddle, shift, p.X, p.Y);
        return;
    case WM_LBUTTONUP:
        DefaultHandler(m);
        if (MouseCapture()) SetMouseCapture(false);
        if (FControlState & csClicked) {
            FControlState &= ~csClicked;
            TRect r = ClientRect();
            if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) Click();
        }
        MouseUp(mbLeft, shift, p.X, p.Y);
        return;
    case WM_RBUTTONUP:
        DefaultHandler(m);
        MouseUp(mbRight, shift, p.X, p.Y);
        return;
    case WM_MBUTTONUP:
        DefaultHandler(m);
        MouseUp(mbMiddle, shift, p.X, p.Y);
        return;
    case WM_MOUSEMOVE:
        DefaultHandler(m);
        MouseMove(shift, p.X, p.Y);
        return;
    default:
        DefaultHandler(m);
    }
}

void TControl::DoContextPopup(const TPoint& MousePos, bool& Handled) {
    if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TMessage& m) {
    const bool key = m.LParam == -1;
    const TPoint at = Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    bool handled = false;
    DoContextPopup(key ? Point(-1, -1) : ScreenToClient(at), handled);
    if (handled) {
        m.Result = 1;
        return;
    }
    if (FPopupMenu && FPopupMenu->AutoPopup()) {
        const TPoint p = key ? ClientToScreen(Point(0, 0)) : at;
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(p.X, p.Y);
        m.Result = 1;
        return;
    }
    DefaultHandler(m);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu == Value) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TControl::SetAnchors(TAnchors Value) {
    if (FAnchors == Value) return;
    FAnchors = Value;
    if (!IsLoading()) UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (!FParent) return;
    const TRect r = FParent->ClientRect();
    FAnchorBounds = BoundsRect();
    FAnchorParentWidth = r.Width();
    FAnchorParentHeight = r.Height();
}

void TControl::ApplyAnchors(int ParentWidth, int ParentHeight) {
    if (FAnchorParentWidth < 0) {
        UpdateAnchorRules();
        return;
    }
    // One direction: the near edge, the far edge, both, or neither.
    auto follow = [](int& pos, int& size, bool nearEdge, bool farEdge, int grown) {
        if (nearEdge && farEdge)
            size += grown;
        else if (farEdge)
            pos += grown;
        else if (!nearEdge)
            pos += grown / 2;
    };
    int l = FAnchorBounds.Left, t = FAnchorBounds.Top, w = FAnchorBounds.Width(), h = FAnchorBounds.Height();
    follow(l, w, FAnchors & AnchorBit(akLeft), FAnchors & AnchorBit(akRight), ParentWidth - FAnchorParentWidth);
    follow(t, h, FAnchors & AnchorBit(akTop), FAnchors & AnchorBit(akBottom), ParentHeight - FAnchorParentHeight);
    FAnchoring = true;
    ScopeExit done([this] { FAnchoring = false; });
    SetBounds(l, t, w, h);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}
void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::DoStartDrag(TDragObject*& DragObject) {
    if (OnStartDrag) OnStartDrag(this, DragObject);
}
void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}
void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}
void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}
void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (FDragKind == dkDock) {
        BeginDockDrag(this, Immediate, Threshold);
        return;
    }
    DragMachinery::Get().Begin(this, Immediate, Threshold);
}

void TControl::EndDrag(bool Drop) {
    if (DragMachinery::Get().Source == this) DragMachinery::Get().Done(Drop);
}

bool TControl::Dragging() const { return DragMachinery::Get().Source == this; }

void TControl::SetParentComponent(TComponent* AParent) { SetParent(dynamic_cast<TWinControl*>(AParent)); }

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    if (static_cast<TControl*>(AParent) == this) throw EComponentError("A control cannot be its own parent");
    for (TWinControl* p = AParent; p; p = p->Parent())
        if (static_cast<TControl*>(p) == this) throw EComponentError("A control cannot be a parent of its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!CheckNewSize(AWidth, AHeight)) return;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool sized = AWidth != FWidth || AHeight != FHeight;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Invalidate();
    if (!FAnchoring && !IsLoading()) UpdateAnchorRules();
    if (FParent && FAlign != alNone) FParent->Realign();
    if (FParent) FParent->ChildBoundsChanged(this);
    if (sized && !IsLoading()) Resize();
}

TRect TControl::ClientRect() const { return Rect(0, 0, FWidth, FHeight); }

void TSizeConstraints::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TSizeConstraints*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FMinWidth = s->FMinWidth;
    FMinHeight = s->FMinHeight;
    FMaxWidth = s->FMaxWidth;
    FMaxHeight = s->FMaxHeight;
    if (OnChange) OnChange(this);
}

void TSizeConstraints::Change(int& Field, int Value) {
    if (Value < 0) throw EComponentError("A size constraint cannot be negative (" + IntToStr(Value) + ")");
    if (Field == Value) return;
    Field = Value;
    if (OnChange) OnChange(this);
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
    bool resize = true;
    if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, resize);
    return resize;
}

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
    if (OnConstrainedResize) OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TControl::EffectiveConstraints(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
    MinWidth = FConstraints->MinWidth();
    MinHeight = FConstraints->MinHeight();
    MaxWidth = FConstraints->MaxWidth();
    MaxHeight = FConstraints->MaxHeight();
    ConstrainedResize(MinWidth, MinHeight, MaxWidth, MaxHeight);
}

bool TControl::CheckNewSize(int& NewWidth, int& NewHeight) {
    int w = std::max(0, NewWidth), h = std::max(0, NewHeight);
    if (!CanResize(w, h)) return false;
    int minW, minH, maxW, maxH;
    EffectiveConstraints(minW, minH, maxW, maxH);
    // The maximum last: it wins over a minimum above it.
    if (minW > 0 && w < minW) w = minW;
    if (minH > 0 && h < minH) h = minH;
    if (maxW > 0 && w > maxW) w = maxW;
    if (maxH > 0 && h > maxH) h = maxH;
    NewWidth = std::max(0, w);
    NewHeight = std::max(0, h);
    return true;
}

void TControl::ConstraintsChanged(TObject*) {
    if (!IsLoading()) SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetClientWidth(int Value) { SetWidth(Value); }
void TControl::SetClientHeight(int Value) { SetHeight(Value); }

TPoint TControl::ClientOrigin() const {
    if (!FParent) return Point(FLeft, FTop);
    TPoint p = FParent->ClientOrigin();
    return Point(p.X + FLeft, p.Y + FTop);
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
    TPoint o = ClientOrigin();
    return Point(P.X + o.X, P.Y + o.Y);
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
    TPoint o = ClientOrigin();
    return Point(P.X - o.X, P.Y - o.Y);
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    FAlign = Value;
    if (FParent && !IsLoading()) FParent->Realign();
}

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    Invalidate();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    Invalidate();
    // A dock client's zone gives its room up while hidden.
    if (FParent && (FAlign != alNone || FHostDockSite) && !IsLoading()) FParent->Realign();
    if (FParent) FParent->ChildBoundsChanged(this);
}

bool TControl::Showing() const {
    if (!FVisible) return false;
    for (TWinControl* p = FParent; p; p = p->Parent())
        if (!p->Visible()) return false;
    return true;
}

void TControl::SetEnabled(bool Value) { ChangeProperty(FEnabled, Value, CM_ENABLEDCHANGED); }

void TControl::SetColor(TColor Value) { ChangeProperty(FColor, Value, CM_COLORCHANGED, &FParentColor); }

void TControl::SetParentColor(bool Value) { ChangeParentFlag(FParentColor, Value, CM_PARENTCOLORCHANGED); }

void TControl::SetFont(TFont* Value) { FFont->Assign(Value); }

void TControl::SetParentFont(bool Value) { ChangeParentFlag(FParentFont, Value, CM_PARENTFONTCHANGED); }

void TControl::FontChanged(TObject*) {
    if (!FSettingParentFont) FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) { ChangeProperty(FCursor, Value, CM_CURSORCHANGED); }

void TControl::SetCaption(const AnsiString& Value) { SetTextBuf(Value); }

void TControl::SetTextBuf(const AnsiString& Value) {
    if (GetText() == Value) return;
    FText = Value;
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    if (Value) AdjustSize();
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage&) {}
void TControl::CMTextChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMBiDiModeChanged(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage& m) {
    if (!FParentColor || !FParent) return;
    SetColor(m.WParam ? TColor(m.LParam) : FParent->Color());
    FParentColor = true;
}

void TControl::CMParentFontChanged(TMessage&) {
    if (!FParentFont || !FParent) return;
    FSettingParentFont = true;
    ScopeExit done([this] { FSettingParentFont = false; });
    FFont->Assign(FParent->Font());
}

void TControl::CMMouseEnter(TMessage&) {}
void TControl::CMMouseLeave(TMessage&) {}
void TControl::CMHitTest(TMessage& m) { m.Result = HTCLIENT; }
void TControl::CMCursorChanged(TMessage&) {}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && static_cast<TComponent*>(FPopupMenu) == AComponent) FPopupMenu = nullptr;
}

void TControl::Loaded() {
    TComponent::Loaded();
    UpdateAnchorRules();
    if (FParent) {
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
        if (FParentBiDiMode) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    }
    if (FAutoSize) AdjustSize();
    // Limits read with the form hold the size read with it.
    const TSizeConstraints& c = *FConstraints;
    if (c.MinWidth() || c.MinHeight() || c.MaxWidth() || c.MaxHeight()) SetBounds(FLeft, FTop, FWidth, FHeight);
}

HWND TControl::WindowHandleForPaint() const {
    return FParent ? FParent->HandleIfAllocated() : nullptr;
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& v = FParent->FControls;
    auto it = std::find(v.begin(), v.end(), this);
    if (it == v.end()) return;
    v.erase(it);
    v.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->SetZOrderOfWindow(true);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& v = FParent->FControls;
    auto it = std::find(v.begin(), v.end(), this);
    if (it == v.end()) return;
    v.erase(it);
    v.insert(v.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->SetZOrderOfWindow(false);
    Invalidate();
}

void TControl::Invalidate() {
    if (!FParent || !FVisible) return;
    HWND h = FParent->HandleIfAllocated();
    if (!h) return;
    RECT r{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
    InvalidateRect(h, &r, FALSE);
}

void TControl::Update() {
    HWND h = WindowHandleForPaint();
    if (h) UpdateWindow(h);
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

bool TControl::MouseCapture() const { return g_CaptureControl == this; }

void TControl::SetMouseCapture(bool Value) {
    if (Value) {
        HWND h = WindowHandleForPaint();
        g_CaptureControl = this;
        if (h) SetCapture(h);
    } else if (g_CaptureControl == this) {
        g_CaptureControl = nullptr;
        ReleaseCapture();
    }
}

// ======================================================================
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(new TCanvas()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT && m.WParam) {
        TCanvasDCScope scope(FCanvas.get(), reinterpret_cast<HDC>(m.WParam));
        Paint();
        return;
    }
    TControl::WndProc(m);
}

// ======================================================================
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    WindowProc = TWndMethod::Of<&TWinControl::WndProc>(this);
    FColor = clBtnFace;
}

TWinControl::~TWinControl() {
    Destroying();
    FDockManager.reset();
    // Clients docked here but moved elsewhere by hand forget this site.
    for (TControl* c : FDockClients)
        if (c->FParent != this) c->FHostDockSite = nullptr;
    DestroyComponents();
    // Children still here go with their parent, whoever owns them.
    while (!FControls.empty()) delete FControls.back();
    if (FParent) FParent->RemoveControl(this);
    DestroyHandle();
    if (FBrush) DeleteObject(FBrush);
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (FParent) FParent->HandleNeeded();
    if (!FHandle) CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
    if (FParent || FParentWindow == Value) return;
    FParentWindow = Value;
    if (FHandle && Value) ::SetParent(FHandle, Value);
}

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount()) throw EListError("Control index out of bounds (" + IntToStr(Index) + ")");
    return FControls[size_t(Index)];
}

int TWinControl::IndexOfControl(TControl* Control) const {
    auto it = std::find(FControls.begin(), FControls.end(), Control);
    return it == FControls.end() ? -1 : int(it - FControls.begin());
}

bool TWinControl::ContainsControl(TControl* Control) const {
    for (TControl* c = Control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

void TWinControl::InsertControl(TControl* AControl) {
    FControls.push_back(AControl);
    AControl->FParent = this;
    auto* w = dynamic_cast<TWinControl*>(AControl);
    if (w) FTabList.push_back(w);
    if (!AControl->IsLoading()) {
        if (AControl->FParentColor) AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
        if (AControl->FParentFont) AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
        if (AControl->FParentBiDiMode) AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    }
    if (w && FHandle) {
        if (w->FHandle) {
            ::SetParent(w->FHandle, FHandle);
            SetWindowPos(w->FHandle, nullptr, w->FLeft, w->FTop, w->FWidth, w->FHeight,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            w->SetZOrderOfWindow(true);
        } else if (!w->IsLoading()) {
            w->CreateHandle();
        }
    }
    AControl->Invalidate();
    if (!AControl->IsLoading()) AControl->UpdateAnchorRules();
    if (AControl->FAlign != alNone) Realign();
    ChildBoundsChanged(AControl);
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it == FControls.end()) return;
    AControl->Invalidate();
    FControls.erase(it);
    FTabList.erase(std::remove_if(FTabList.begin(), FTabList.end(),
                                  [AControl](TWinControl* w) { return static_cast<TControl*>(w) == AControl; }),
                   FTabList.end());
    AControl->FParent = nullptr;
    if (g_CaptureControl == AControl) {
        g_CaptureControl = nullptr;
        if (FHandle && GetCapture() == FHandle) ReleaseCapture();
    }
    if (!(ComponentState() & csDestroying)) {
        if (AControl->FAlign != alNone) Realign();
        ChildBoundsChanged(AControl);
        Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    }
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
        if (windowed && !AllowWinControls) continue;
        if (!c->FVisible || (!c->FEnabled && !AllowDisabled)) continue;
        if (Pos.X < c->FLeft || Pos.X >= c->FLeft + c->FWidth || Pos.Y < c->FTop || Pos.Y >= c->FTop + c->FHeight)
            continue;
        if (c->Perform(CM_HITTEST, 0, PointParam(Pos.X - c->FLeft, Pos.Y - c->FTop)) != 0) return c;
    }
    return nullptr;
}

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    auto& v = FParent->FTabList;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : int(it - v.begin());
}

void TWinControl::SetTabOrder(int Value) { UpdateTabOrder(Value); }

void TWinControl::UpdateTabOrder(int Value) {
    if (!FParent) return;
    auto& v = FParent->FTabList;
    auto it = std::find(v.begin(), v.end(), this);
    if (it == v.end()) return;
    v.erase(it);
    if (Value < 0) Value = 0;
    if (Value > int(v.size())) Value = int(v.size());
    v.insert(v.begin() + Value, this);
}

void TWinControl::SetTabStop(bool Value) { ChangeProperty(FTabStop, Value, CM_TABSTOPCHANGED); }

void TWinControl::SetCtl3D(bool Value) { ChangeProperty(FCtl3D, Value, CM_CTL3DCHANGED, &FParentCtl3D); }

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() const {
    for (const TWinControl* c = this; c; c = c->Parent())
        if (!c->FVisible || !c->FEnabled) return false;
    return true;
}

void TWinControl::SetFocus() {
    TWinControl* top = this;
    while (top->FParent) top = top->FParent;
    if (top != this && (!top->FHandle || !IsWindowVisible(top->FHandle))) {
        // The form is not on screen yet (OnShow, OnCreate): this control
        // gets the focus as soon as the form is shown.
        top->ActiveChanged(this);
        return;
    }
    HandleNeeded();
    if (FHandle) ::SetFocus(FHandle);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return;
    int n = int(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[size_t(i)] == CurControl) start = i;
    if (start < 0) start = GoForward ? n - 1 : 0;
    for (int k = 1; k <= n; ++k) {
        int i = GoForward ? (start + k) % n : (start - k + n) % n;
        TWinControl* c = list[size_t(i)];
        if (c == CurControl) continue;
        if (CheckTabStop && !c->FTabStop) continue;
        if (!c->CanFocus()) continue;
        c->SetFocus();
        return;
    }
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!CheckNewSize(AWidth, AHeight)) return;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool sized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    if (sized) Realign();
    if (!FAnchoring && !IsLoading()) UpdateAnchorRules();
    if (FParent && FAlign != alNone) FParent->Realign();
    if (FParent) FParent->ChildBoundsChanged(this);
    if (sized && !IsLoading()) Resize();
}

TRect TWinControl::ClientRect() const {
    if (FHandle) {
        RECT r;
        GetClientRect(FHandle, &r);
        return Rect(r.left, r.top, r.right, r.bottom);
    }
    return Rect(0, 0, FWidth, FHeight);
}

TPoint TWinControl::ClientOrigin() const {
    if (FHandle) {
        POINT p{0, 0};
        ::ClientToScreen(FHandle, &p);
        return Point(p.x, p.y);
    }
    return TControl::ClientOrigin();
}

void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, FALSE);
}

void TWinControl::Repaint() {
    if (FHandle) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinControl::Realign() {
    if (FRealigning || IsLoading() || (ComponentState() & csDestroying)) return;
    TRect r = ClientRect();
    FRealigning = true;
    {
        ScopeExit done([this] { FRealigning = false; });
        AlignControls(nullptr, r);
        if (FDockManager) FDockManager->ResetBounds(false);
    }
}

void TWinControl::AlignControls(TControl*, TRect& R) {
    const TRect client = ClientRect();
    for (TControl* c : std::vector<TControl*>(FControls))
        if (c->FAlign == alNone && c->FAnchors != DefaultAnchors) c->ApplyAnchors(client.Width(), client.Height());
    static const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign a : order) {
        for (TControl* c : FControls) {
            if (c->FAlign != a || !c->FVisible) continue;
            switch (a) {
            case alTop:
                c->SetBounds(R.Left, R.Top, R.Width(), c->FHeight);
                R.Top += c->FHeight;
                break;
            case alBottom:
                c->SetBounds(R.Left, R.Bottom - c->FHeight, R.Width(), c->FHeight);
                R.Bottom -= c->FHeight;
                break;
            case alLeft:
                c->SetBounds(R.Left, R.Top, c->FWidth, R.Height());
                R.Left += c->FWidth;
                break;
            case alRight:
                c->SetBounds(R.Right - c->FWidth, R.Top, c->FWidth, R.Height());
                R.Right -= c->FWidth;
                break;
            case alClient:
                c->SetBounds(R.Left, R.Top, R.Width(), R.Height());
                break;
            default: break;
            }
        }
    }
}

HBRUSH TWinControl::ColorBrush() {
    if (!FBrush || FBrushColor != FColor) {
        if (FBrush) DeleteObject(FBrush);
        FBrush = CreateSolidBrush(ColorToRGB(FColor));
        FBrushColor = FColor;
    }
    return FBrush;
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (FParent && FParent->HandleAllocated() && !FHandle) CreateHandle();
    Realign();
}

void TWinControl::CreateParams(TCreateParams& P) {
    P.Caption = ToWide(FText);
    P.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (FVisible) P.Style |= WS_VISIBLE;
    if (!FEnabled) P.Style |= WS_DISABLED;
    if (FTabStop) P.Style |= WS_TABSTOP;
    P.ExStyle = 0;
    P.X = FLeft;
    P.Y = FTop;
    P.Width = FWidth;
    P.Height = FHeight;
    P.WndParent = FParent ? FParent->HandleIfAllocated() : FParentWindow;
    P.WinClassName = ToWide(ClassName());
    P.SystemClass = false;
}

void TWinControl::CreateWindowHandle(const TCreateParams& P) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    if (P.SystemClass) {
        FHandle = CreateWindowExW(P.ExStyle, P.WinClassName.c_str(), P.Caption.c_str(), P.Style, P.X, P.Y,
                                  P.Width, P.Height, P.WndParent, nullptr, inst, nullptr);
        if (!FHandle) return;
        SetPropW(FHandle, kControlProp, this);
        FDefWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::InitWndProc)));
        return;
    }
    static std::set<std::wstring> registered;
    if (!registered.count(P.WinClassName)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = P.WindowClassStyle;
        wc.lpfnWndProc = &TWinControl::InitWndProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = P.WinClassName.c_str();
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw Exception("Cannot register the window class of " + AnsiString(ClassName()));
        registered.insert(P.WinClassName);
    }
    FDefWndProc = DefWindowProcW;
    TWinControl* saved = g_Creating;
    g_Creating = this;
    HWND h = CreateWindowExW(P.ExStyle, P.WinClassName.c_str(), P.Caption.c_str(), P.Style, P.X, P.Y, P.Width,
                             P.Height, P.WndParent, nullptr, inst, nullptr);
    g_Creating = saved;
    if (h && !FHandle) {
        FHandle = h;
        SetPropW(h, kControlProp, this);
    }
}

void TWinControl::CreateWnd() {
    TCreateParams p;
    CreateParams(p);
    if (!(p.Style & WS_CHILD) || p.WndParent || !FParent) {
        // top-level windows and hosted controls have what they need
    }
    if ((p.Style & WS_CHILD) && !p.WndParent)
        throw EComponentError("Control '" + Name() + "' has no parent window");
    FControlState |= csCreating;
    {
        ScopeExit done([this] { FControlState &= ~csCreating; });
        CreateWindowHandle(p);
    }
    if (!FHandle) throw EComponentError("Error creating window of '" + Name() + "'");
    if (FDefWndProc != DefWindowProcW) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    CreateWnd();
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (!w->FHandle) w->CreateHandle();
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->SetZOrderOfWindow(true);
    Realign();
}

void TWinControl::SetZOrderOfWindow(bool Top) {
    if (!FHandle || !FParent) return;
    SetWindowPos(FHandle, Top ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::DestroyWnd() {
    if (!FHandle) return;
    HWND h = FHandle;
    FControlState |= csDestroyingHandle;
    DestroyWindowHandle(h);
    FControlState &= ~csDestroyingHandle;
    if (FHandle == h) {
        RemovePropW(h, kControlProp);
        FHandle = nullptr;
    }
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    // Children's windows go with ours; they forget them in WM_NCDESTROY.
    DestroyWnd();
}

void TWinControl::RecreateWnd() {
    if (!FHandle) return;
    DestroyHandle();
    HandleNeeded();
}

LRESULT CALLBACK TWinControl::InitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* c = FindControl(Wnd);
    if (!c && g_Creating) {
        c = g_Creating;
        c->FHandle = Wnd;
        SetPropW(Wnd, kControlProp, c);
    }
    if (!c) return DefWindowProcW(Wnd, Msg, WParam, LParam);
    if (IsMouseMsg(Msg)) {
        POINT p{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        ::ClientToScreen(Wnd, &p);
        g_LastMouse = Point(p.x, p.y);
    }
    TMessage m{Msg, WParam, LParam, 0};
    try {
        c->WindowProc(m);
    } catch (const std::exception& e) {
        HandleControlException(c, e);
    } catch (...) {
        HandleControlException(c, Exception("Unknown exception"));
    }
    if (Msg == WM_NCDESTROY) {
        if (TWinControl* still = FindControl(Wnd)) {
            RemovePropW(Wnd, kControlProp);
            still->FHandle = nullptr;
            if (still->FDefWndProc && still->FDefWndProc != DefWindowProcW)
                SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(still->FDefWndProc));
        }
    }
    return m.Result;
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (!FHandle) return;
    WNDPROC proc = FDefWndProc ? FDefWndProc : DefWindowProcW;
    m.Result = CallWindowProcW(proc, FHandle, m.Msg, m.WParam, m.LParam);
}

bool TWinControl::RouteMouseToChild(TMessage& m) {
    TPoint p = MsgPoint(m);
    TControl* target = nullptr;
    if (g_CaptureControl && g_CaptureControl->FParent == this && !dynamic_cast<TWinControl*>(g_CaptureControl)) {
        target = g_CaptureControl;
    } else if (!(g_CaptureControl == this)) {
        target = ControlAtPos(p, false);
    }
    if (m.Msg == WM_MOUSEMOVE) {
        // Enter and leave are told also to disabled controls.
        TControl* over = (g_CaptureControl && g_CaptureControl->FParent == this) ? g_CaptureControl
                                                                                  : ControlAtPos(p, true);
        SetMouseControl(over ? over : this);
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, FHandle, 0};
        if (FHandle) TrackMouseEvent(&t);
    }
    if (!target) return false;
    TMessage cm{m.Msg, m.WParam, PointParam(p.X - target->FLeft, p.Y - target->FTop), 0};
    target->WindowProc(cm);
    m.Result = cm.Result;
    return true;
}

void TWinControl::ReflectNotification(TMessage& m) {
    HWND child = nullptr;
    switch (m.Msg) {
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom; break;
    case WM_DRAWITEM: child = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem; break;
    case WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        if (mi->CtlType != ODT_MENU) child = GetDlgItem(FHandle, int(mi->CtlID));
        break;
    }
    case WM_DELETEITEM: child = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem; break;
    case WM_COMPAREITEM: child = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem; break;
    default: child = reinterpret_cast<HWND>(m.LParam); break;
    }
    TWinControl* c = FindControl(child);
    if (c && c != this) {
        m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
    }
    DefaultHandler(m);
}

bool TWinControl::HandleKey(TMessage& m) {
    switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (m.WParam == VK_ESCAPE && DragMachinery::Get().Source) {
            CancelDrag();
            return true;
        }
        TShiftState shift = KeyboardShiftState();
        if (m.WParam == VK_TAB && !WantsTab() && !(shift & (ShiftBit(ssCtrl) | ShiftBit(ssAlt)))) {
            TWinControl* top = this;
            while (top->FParent) top = top->FParent;
            top->SelectNext(this, !(shift & ShiftBit(ssShift)), true);
            return true;
        }
        Word key = Word(m.WParam);
        KeyDown(key, shift);
        if (key == 0) return true;
        m.WParam = key;
        // Enter and Escape go to the form's default and cancel buttons.
        if ((key == VK_RETURN && !WantsReturn()) || key == VK_ESCAPE) {
            TWinControl* top = this;
            while (top->FParent) top = top->FParent;
            if (top->Perform(CM_DIALOGKEY, key, m.LParam)) return true;
        }
        return false;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        Word key = Word(m.WParam);
        KeyUp(key, KeyboardShiftState());
        if (key == 0) return true;
        m.WParam = key;
        return false;
    }
    case WM_CHAR: {
        if (m.WParam == '\t' && !WantsTab()) return true;
        int b = UnicodeToCp1251(char32_t(m.WParam));
        char key = b >= 0 ? char(b) : '?';
        if (b < 0 && !OnKeyPress) return false;
        KeyPress(key);
        if (key == 0) return true;
        m.WParam = Cp1251ToUnicode(static_cast<unsigned char>(key));
        return false;
    }
    }
    return false;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::WndProc(TMessage& m) {
    if (DockDragMouse(this, m)) return;
    if (IsMouseMsg(m.Msg)) {
        if (DragMachinery::Get().Mouse(this, m)) return;
        if (RouteMouseToChild(m)) {
            // The window's default still turns a right button's release over
            // a windowless child into WM_CONTEXTMENU.
            if (m.Msg == WM_RBUTTONUP && FHandle) DefaultHandler(m);
            return;
        }
        TControl::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_THEMECHANGED:
        ThemeServicesChanged();
        break;
    case CM_CONTROLLISTCHANGE:
        // Heard all the way up, so the form learns of controls deep inside it.
        if (FParent) FParent->WindowProc(m);
        return;
    case WM_PAINT:
        WMPaint(m);
        return;
    case WM_ERASEBKGND:
        if (FDefWndProc == DefWindowProcW) {
            m.Result = 1;
            return;
        }
        break;
    case WM_PRINTCLIENT:
        if (FDefWndProc == DefWindowProcW) {
            RECT r{0, 0, ClientWidth(), ClientHeight()};
            PaintHandler(reinterpret_cast<HDC>(m.WParam), r);
            return;
        }
        break;
    case WM_MOUSELEAVE:
        if (g_MouseControl == this || (g_MouseControl && g_MouseControl->FParent == this &&
                                       !dynamic_cast<TWinControl*>(g_MouseControl)))
            SetMouseControl(nullptr);
        break;
    case WM_SETCURSOR:
        WMSetCursor(m);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
        if (HandleKey(m)) return;
        break;
    case WM_SYSCHAR: {
        // Alt and a letter: the control whose caption has it as accelerator.
        int b = UnicodeToCp1251(char32_t(m.WParam));
        TWinControl* top = this;
        while (top->FParent) top = top->FParent;
        if (b > 0 && top->Perform(CM_DIALOGCHAR, WPARAM(b), m.LParam)) return;
        break;
    }
    case WM_SETFOCUS: {
        DefaultHandler(m);
        TWinControl* top = this;
        while (top->FParent) top = top->FParent;
        top->ActiveChanged(this);
        DoEnter();
        return;
    }
    case WM_KILLFOCUS:
        DefaultHandler(m);
        DoExit();
        return;
    case WM_WINDOWPOSCHANGED: {
        DefaultHandler(m);
        RECT r;
        GetWindowRect(FHandle, &r);
        if (GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD) MapWindowPoints(nullptr, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
        bool sized = (r.right - r.left) != FWidth || (r.bottom - r.top) != FHeight;
        const bool moved = sized || r.left != FLeft || r.top != FTop;
        FLeft = r.left;
        FTop = r.top;
        FWidth = r.right - r.left;
        FHeight = r.bottom - r.top;
        if (sized) Realign();
        if (moved && FParent) FParent->ChildBoundsChanged(this);
        if (sized && !IsLoading()) Resize();
        return;
    }
    case WM_CONTEXTMENU:
        // A right click on a windowless child is the child's first.
        if (m.LParam != -1) {
            const TPoint p = ScreenToClient(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
            if (TControl* c = ControlAtPos(p, false); c && c->Perform(m.Msg, m.WParam, m.LParam)) {
                m.Result = 1;
                return;
            }
        }
        break;
    case WM_GETMINMAXINFO:
        DefaultHandler(m);
        WMGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(m.LParam));
        m.Result = 0;
        return;
    case WM_CAPTURECHANGED:
        if (DragMachinery::Get().Source && DragMachinery::Get().CaptureWnd == FHandle &&
            reinterpret_cast<HWND>(m.LParam) != FHandle)
            CancelDrag();
        if (g_CaptureControl && (g_CaptureControl == this || g_CaptureControl->FParent == this) &&
            reinterpret_cast<HWND>(m.LParam) != FHandle)
            g_CaptureControl = nullptr;
        break;
    case WM_CANCELMODE:
        if (g_CaptureControl == this || (g_CaptureControl && g_CaptureControl->FParent == this))
            g_CaptureControl->SetMouseCapture(false);
        break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
        if (m.Msg == WM_COMMAND && m.LParam == 0) break;  // menus and accelerators
        if ((m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) && m.LParam == 0) break;
        ReflectNotification(m);
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_FOCUSCHANGED: {
        // Told to every descendant; a dialog key stops at the first taker.
        std::vector<TControl*> list = FControls;
        for (TControl* c : list) {
            LRESULT r = c->Perform(m.Msg, m.WParam, m.LParam);
            if (m.Msg != CM_FOCUSCHANGED && r) {
                m.Result = r;
                return;
            }
        }
        m.Result = 0;
        return;
    }
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(FFont->Color()));
        SetBkColor(dc, ColorToRGB(FColor));
        m.Result = reinterpret_cast<LRESULT>(ColorBrush());
        return;
    }
    default:
        break;
    }
    TControl::WndProc(m);
}

void TWinControl::WMGetMinMaxInfo(MINMAXINFO& Info) {
    int minW, minH, maxW, maxH;
    EffectiveConstraints(minW, minH, maxW, maxH);
    if (minW > 0) Info.ptMinTrackSize.x = minW;
    if (minH > 0) Info.ptMinTrackSize.y = minH;
    if (maxW > 0) Info.ptMaxTrackSize.x = maxW;
    if (maxH > 0) Info.ptMaxTrackSize.y = maxH;
    // As in SetBounds, a minimum above the maximum yields to it.
    if (maxW > 0) Info.ptMinTrackSize.x = std::min(Info.ptMinTrackSize.x, LONG(maxW));
    if (maxH > 0) Info.ptMinTrackSize.y = std::min(Info.ptMinTrackSize.y, LONG(maxH));
}

void TWinControl::WMSetCursor(TMessage& m) {
    if (reinterpret_cast<HWND>(m.WParam) == FHandle && LOWORD(m.LParam) == HTCLIENT) {
        if (DragActive()) {
            m.Result = 1;
            return;
        }
        POINT sp;
        GetCursorPos(&sp);
        TPoint p = ScreenToClient(Point(sp.x, sp.y));
        TControl* c = ControlAtPos(p, false);
        TCursor cur = (c && c->FCursor != crDefault) ? c->FCursor : FCursor;
        if (cur != crDefault) {
            ::SetCursor(CursorHandle(cur));
            m.Result = 1;
            return;
        }
    }
    DefaultHandler(m);
}

void TWinControl::WMPaint(TMessage& m) {
    if (FDefWndProc != DefWindowProcW) {
        if (FDoubleBuffered && !m.WParam)
            PaintSystemControlBuffered(m);
        else
            DefaultHandler(m);
        return;
    }
    if (m.WParam) {
        RECT r{0, 0, ClientWidth(), ClientHeight()};
        PaintHandler(reinterpret_cast<HDC>(m.WParam), r);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(FHandle, &ps);
    ScopeExit endPaint([&] { EndPaint(FHandle, &ps); });
    RECT r = ps.rcPaint;
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w > 0 && h > 0) {
        // Off-screen first, then one copy: nothing flickers.
        MemoryDC mem(dc);
        BitmapHandle bmp(CreateCompatibleBitmap(dc, w, h));
        SelectGuard select(mem.Get(), bmp.Get());
        SetViewportOrgEx(mem.Get(), -r.left, -r.top, nullptr);
        PaintHandler(mem.Get(), r);
        SetViewportOrgEx(mem.Get(), 0, 0, nullptr);
        BitBlt(dc, r.left, r.top, w, h, mem.Get(), 0, 0, SRCCOPY);
    }
}

void TWinControl::PaintSystemControlBuffered(TMessage& m) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(FHandle, &ps);
    ScopeExit endPaint([&] { EndPaint(FHandle, &ps); });
    RECT c{};
    GetClientRect(FHandle, &c);
    if (c.right <= 0 || c.bottom <= 0) return;
    MemoryDC mem(dc);
    BitmapHandle bmp(CreateCompatibleBitmap(dc, c.right, c.bottom));
    SelectGuard select(mem.Get(), bmp.Get());
    // The system control paints into the DC it is handed.
    TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(mem.Get()), 0, 0};
    DefaultHandler(paint);
    BitBlt(dc, 0, 0, c.right, c.bottom, mem.Get(), 0, 0, SRCCOPY);
    m.Result = 0;
}

void TWinControl::PaintHandler(HDC DC, const RECT& R) {
    {
        SavedDC saved(DC);
        PaintBackground(DC, R);
    }
    {
        SavedDC saved(DC);
        PaintWindow(DC);
    }
    if (FDockManager) {
        SavedDC saved(DC);
        FDockManager->PaintSite(DC);
    }
    PaintControls(DC, R);
}

void TWinControl::PaintBackground(HDC DC, const RECT& R) { FillRect(DC, &R, ColorBrush()); }

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC DC, const RECT& R) {
    // A copy: painting must not be upset by a control that changes the list.
    std::vector<TControl*> list = FControls;
    for (TControl* c : list) {
        if (dynamic_cast<TWinControl*>(c) || !c->FVisible) continue;
        RECT cr{c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight}, x;
        if (!IntersectRect(&x, &cr, &R)) continue;
        SavedDC saved(DC);
        OffsetViewportOrgEx(DC, c->FLeft, c->FTop, nullptr);
        IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
    SavedDC saved(DC);
    OffsetViewportOrgEx(DC, X, Y, nullptr);
    TRect cr = ClientRect();
    IntersectClipRect(DC, 0, 0, cr.Width(), cr.Height());
    if (FDefWndProc == DefWindowProcW || !FHandle) {
        RECT r{0, 0, cr.Width(), cr.Height()};
        PaintHandler(DC, r);
    } else {
        SendMessageW(FHandle, WM_PRINT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    }
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (w->FVisible) w->PaintTo(DC, w->FLeft, w->FTop);
}

void TWinControl::CMEnabledChanged(TMessage& m) {
    if (!FEnabled && FHandle && Focused()) {
        TWinControl* top = this;
        while (top->FParent) top = top->FParent;
        top->SelectNext(this, true, true);
    }
    if (FHandle) EnableWindow(FHandle, FEnabled);
    TControl::CMEnabledChanged(m);
}

void TWinControl::CMVisibleChanged(TMessage& m) {
    if (FHandle) {
        ShowWindow(FHandle, FVisible ? SW_SHOWNA : SW_HIDE);
    } else if (FVisible && FParent && FParent->HandleAllocated() && !IsLoading()) {
        CreateHandle();
    }
    TControl::CMVisibleChanged(m);
}

void TWinControl::CMTextChanged(TMessage& m) {
    if (FHandle) SetWindowTextAnsi(FHandle, FText);
    TControl::CMTextChanged(m);
}

void TWinControl::CMColorChanged(TMessage& m) {
    TControl::CMColorChanged(m);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMBiDiModeChanged(TMessage& m) {
    TControl::CMBiDiModeChanged(m);
    NotifyControls(CM_PARENTBIDIMODECHANGED);
}

void TWinControl::NotifyControls(UINT Msg) {
    std::vector<TControl*> list = FControls;
    for (TControl* c : list) c->Perform(Msg, 0, 0);
}

void TWinControl::CMFontChanged(TMessage& m) {
    if (FHandle && FDefWndProc != DefWindowProcW)
        SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), TRUE);
    TControl::CMFontChanged(m);
    NotifyControls(CM_PARENTFONTCHANGED);
}

// ======================================================================
// TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TCanvas()) {}

TCustomControl::~TCustomControl() {
    // The canvas must outlive any painting during the base class's teardown.
    DestroyHandle();
    FCanvas = nullptr;
}

void TCustomControl::PaintWindow(HDC DC) {
    TCanvasDCScope scope(FCanvas.get(), DC);
    Paint();
}

// ======================================================================
// TWndProcHook

struct TWndProcHook::TRelay {
    TWndMethod Handler, Prev;
    int Depth = 0;
    bool Released = false;

    TWndMethod AsMethod() { return TWndMethod::Fn(this, &Call); }
    static void Call(void* Context, TMessage& M) {
        auto* r = static_cast<TRelay*>(Context);
        struct Running {
            TRelay* R;
            ~Running() {
                if (--R->Depth == 0 && R->Released) delete R;
            }
        } running{r};
        ++r->Depth;
        if (r->Handler)
            r->Handler(M);
        else if (r->Prev)
            r->Prev(M);
    }
};

namespace {
// Pass-throughs left in someone else's chain.
std::vector<void*> g_KeptRelays;
}  // namespace

TWndProcHook::TWndProcHook(TControl* Control, TWndMethod Handler) : FControl(Control), FRelay(new TRelay) {
    FRelay->Handler = Handler;
    FRelay->Prev = Control->WindowProc;
    Control->WindowProc = FRelay->AsMethod();
}

TWndProcHook::~TWndProcHook() {
    FRelay->Handler = nullptr;
    if (FControl->WindowProc == FRelay->AsMethod()) {
        FControl->WindowProc = FRelay->Prev;
        FRelay->Released = true;
        if (FRelay->Depth == 0) delete FRelay;
    } else {
        g_KeptRelays.push_back(FRelay);
    }
}

void TWndProcHook::CallPrevious(TMessage& M) const {
    if (FRelay->Prev) FRelay->Prev(M);
}
