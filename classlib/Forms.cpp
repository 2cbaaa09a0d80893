#include "Forms.h"

#include <ole2.h>

#include <algorithm>

#include "Graphics.h"
#include "Guards.h"
#include "Menus.h"
#include "UnitInit.h"
#include "WinText.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
TMouse* Mouse = nullptr;

namespace {

// The class library's own units are there before the program's first line,
// so that the application, screen and mouse objects exist before any unit
// of the program starts. This is the one start-up step run by a static
// initialiser: it touches only this library's own objects, whose globals are
// all constant-initialised. The program's units start explicitly (StartUnits).
struct ClassLibraryStart {
    ClassLibraryStart() { StartUnits(nullptr, 0); }
} g_classLibraryStart;

void ApplicationSink(TObject* Sender, const std::exception& E) {
    if (Application)
        Application->HandleException(Sender, E);
    else
        MessageBoxW(nullptr, ToWide(E.what()).c_str(), L"Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace

TForm* GetParentForm(TControl* Control) {
    if (!Control) return nullptr;
    TControl* c = Control;
    while (c->Parent()) c = c->Parent();
    return dynamic_cast<TForm*>(c);
}

// ======================================================================
// TForm

TForm::TForm(TComponent* AOwner)
    : TScrollingWinControl(AOwner), FIcon(new TIcon()) {
    FVisible = false;
    FColor = clBtnFace;
    FParentColor = false;
    FParentFont = false;
    FWidth = 320;
    FHeight = 240;
    FControlStyle |= csAcceptsControls;
    FIcon->OnChange = TNotifyEvent::Of<&TForm::IconChanged>(this);
    if (Screen) Screen->FForms.push_back(this);
}

TForm::~TForm() {
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (const std::exception& e) {
            HandleControlException(this, e);
        }
    }
    Destroying();
    MergeMenu(false);
    DestroyComponents();
    if (Screen) {
        auto& v = Screen->FForms;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    if (Application && Application->FMainForm == this) Application->FMainForm = nullptr;
    DestroyHandle();
    FIcon->OnChange = nullptr;
}

void TForm::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value) return;
    FBorderIcons = Value;
    RecreateWnd();
}

void TForm::SetWindowState(TWindowState Value) {
    if (FWindowState == Value) return;
    FWindowState = Value;
    if (FHandle && FVisible)
        ShowWindow(FHandle, Value == wsMinimized ? SW_MINIMIZE : Value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TForm::SetIcon(TIcon* Value) { FIcon->Assign(Value); }

void TForm::SetBorderWidth(int Value) {
    if (Value < 0) throw EComponentError("A border width cannot be negative (" + IntToStr(Value) + ")");
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::WMNCPaint(TMessage& m) {
    TScrollingWinControl::WndProc(m);
    if (FBorderWidth <= 0 || !FHandle) return;
    // The band between the frame's inside and the client area.
    RECT w{}, c{};
    GetWindowRect(FHandle, &w);
    GetClientRect(FHandle, &c);
    POINT o{0, 0};
    ::ClientToScreen(FHandle, &o);
    OffsetRect(&c, o.x - w.left, o.y - w.top);
    RECT band = c;
    InflateRect(&band, FBorderWidth, FBorderWidth);
    WindowDC dc(FHandle, WindowDC::Window);
    if (!dc) return;
    ExcludeClipRect(dc.Get(), c.left, c.top, c.right, c.bottom);
    FillRect(dc.Get(), &band, ColorBrush());
}

void TForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    FFormStyle = Value;
    RecreateWnd();
}

TForm* TForm::MDIParentForm() const {
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (main && main != this && main->FFormStyle == fsMDIForm) return main;
    if (Screen)
        for (TForm* f : Screen->FForms)
            if (f != this && f->FFormStyle == fsMDIForm) return f;
    return nullptr;
}

void TForm::CreateClientWindow() {
    // Child windows get the numbers from here on in the window menu's list.
    constexpr UINT kFirstChildId = 0xFF00;
    CLIENTCREATESTRUCT ccs{nullptr, kFirstChildId};
    RECT r;
    GetClientRect(FHandle, &r);
    FClientHandle = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL,
                                    0, 0, r.right, r.bottom, FHandle, nullptr, GetModuleHandleW(nullptr), &ccs);
    if (!FClientHandle) throw EComponentError("Error creating the MDI client window of '" + Name() + "'");
    // Windowed controls of the form lie above the client.
    SetWindowPos(FClientHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    NotifyControls(CM_MDICLIENTCHANGED);
}

std::vector<TForm*> TForm::MDIChildList() const {
    std::vector<TForm*> list;
    if (!FClientHandle) return list;
    for (HWND w = GetWindow(FClientHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (auto* f = dynamic_cast<TForm*>(FindControl(w)); f && f->FFormStyle == fsMDIChild) list.push_back(f);
    return list;
}

TForm* TForm::ActiveMDIChild() const {
    if (!FClientHandle) return nullptr;
    auto active = reinterpret_cast<HWND>(SendMessageW(FClientHandle, WM_MDIGETACTIVE, 0, 0));
    return active ? dynamic_cast<TForm*>(FindControl(active)) : nullptr;
}

int TForm::MDIChildCount() const { return int(MDIChildList().size()); }

TForm* TForm::MDIChildren(int Index) const {
    std::vector<TForm*> list = MDIChildList();
    if (Index < 0 || Index >= int(list.size())) throw EListError("MDI child index out of bounds (" + IntToStr(Index) + ")");
    return list[size_t(Index)];
}

void TForm::Cascade() {
    if (FClientHandle) SendMessageW(FClientHandle, WM_MDICASCADE, 0, 0);
}

void TForm::Tile() {
    if (FClientHandle)
        SendMessageW(FClientHandle, WM_MDITILE, FTileMode == tbVertical ? MDITILE_VERTICAL : MDITILE_HORIZONTAL, 0);
}

void TForm::DefaultHandler(TMessage& m) {
    if (FHandle && FFormStyle == fsMDIForm && FClientHandle) {
        m.Result = DefFrameProcW(FHandle, FClientHandle, m.Msg, m.WParam, m.LParam);
        return;
    }
    if (FHandle && (GetWindowLongPtrW(FHandle, GWL_EXSTYLE) & WS_EX_MDICHILD)) {
        m.Result = DefMDIChildProcW(FHandle, m.Msg, m.WParam, m.LParam);
        return;
    }
    TCustomControl::DefaultHandler(m);
}

void TForm::AlignControls(TControl* AControl, TRect& R) {
    TScrollingWinControl::AlignControls(AControl, R);
    if (FClientHandle)
        SetWindowPos(FClientHandle, nullptr, R.Left, R.Top, R.Width(), R.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::DestroyWindowHandle(HWND Wnd) {
    // The window would destroy the menu it shows; the menu is its component's.
    if (FMenu && GetMenu(Wnd)) ::SetMenu(Wnd, nullptr);
    // An MDI child is taken out by its client, which then activates the next one.
    HWND client = GetParent(Wnd);
    if ((GetWindowLongPtrW(Wnd, GWL_EXSTYLE) & WS_EX_MDICHILD) && client) SendMessageW(client, WM_MDIDESTROY, WPARAM(Wnd), 0);
    if (IsWindow(Wnd)) DestroyWindow(Wnd);
}

void TForm::IconChanged(TObject*) { ApplyIcon(); }

void TForm::ApplyIcon() {
    if (!FHandle) return;
    // A form without an icon of its own shows the application's.
    TIcon* icon = !FIcon->Empty() ? FIcon.get() : Application ? Application->Icon() : nullptr;
    if (icon && icon->Empty()) icon = nullptr;
    HICON big = icon ? icon->Handle() : nullptr;
    HICON small = icon ? icon->HandleOfSize(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)) : nullptr;
    SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small : big));
}

void TForm::SetActiveControl(TWinControl* Value) {
    if (FActiveControl == Value) return;
    FActiveControl = Value;
    if (Value && FHandle && GetActiveWindow() == FHandle && !IsLoading() && Value->CanFocus()) Value->SetFocus();
}

void TForm::ActiveChanged(TWinControl* Focused) {
    if (Focused != this) FActiveControl = Focused;
    // Every control of the form hears which one has the focus now.
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Focused));
}

void TForm::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && static_cast<TComponent*>(FActiveControl) == AComponent) FActiveControl = nullptr;
    if (Operation == opRemove && static_cast<TComponent*>(FMenu) == AComponent) FMenu = nullptr;
}

void TForm::SetMenu(TMainMenu* Value) {
    if (FMenu == Value) return;
    if (FMenu) {
        MergeMenu(false);
        FMenu->RemoveFreeNotification(this);
        if (FHandle && FMenu->HandleAllocated() && GetMenu(FHandle) == FMenu->Handle()) ::SetMenu(FHandle, nullptr);
        FMenu->SetWindowHandle(nullptr);
    }
    FMenu = Value;
    if (FMenu) FMenu->FreeNotification(this);
    UpdateBar();
    if (FHandle && FFormStyle != fsMDIChild) DrawMenuBar(FHandle);
    // The active form's new menu joins the bar at once.
    TForm* into = MenuMergeTarget();
    if (FHandle && into && (FFormStyle == fsMDIChild ? into->ActiveMDIChild() == this : GetActiveWindow() == FHandle))
        MergeMenu(true);
}

TForm* TForm::MenuMergeTarget() const {
    if (!FMenu) return nullptr;
    if (FFormStyle == fsMDIChild) return MDIParentForm();
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (!main || main == this || main->FFormStyle == fsMDIForm || !FMenu->AutoMerge()) return nullptr;
    return main;
}

void TForm::MergeMenu(bool On) {
    TForm* into = MenuMergeTarget();
    if (!into || !into->FMenu || (ComponentState() & csDesigning)) return;
    if (On)
        into->FMenu->Merge(FMenu);
    else
        into->FMenu->Unmerge(FMenu);
}

bool TForm::ShowsOwnBar() const {
    if (!FMenu || FFormStyle == fsMDIChild) return false;
    TForm* main = Application ? Application->MainForm() : nullptr;
    return !(FMenu->AutoMerge() && main && main != this);
}

void TForm::MDIActivated(HWND Deactivated, HWND Activated) {
    if (Activated == FHandle) {
        MergeMenu(true);
        return;
    }
    // A child with a menu of its own that comes next takes our place on the
    // bar in one step.
    auto* next = dynamic_cast<TForm*>(FindControl(Activated));
    if (Deactivated == FHandle && !(next && next->FMenu && next->MenuMergeTarget())) MergeMenu(false);
}

void TForm::UpdateBar() {
    if (!FHandle || FFormStyle == fsMDIChild) return;
    if (FMenu) FMenu->SetWindowHandle(FHandle);
    HMENU want = ShowsOwnBar() ? FMenu->Handle() : nullptr;
    if (GetMenu(FHandle) == want) return;
    ::SetMenu(FHandle, want);
    DrawMenuBar(FHandle);
}

SIZE TForm::FrameSize() const {
    TCreateParams p;
    const_cast<TForm*>(this)->CreateParams(p);
    RECT r{0, 0, 100, 100};
    AdjustWindowRectEx(&r, p.Style, FALSE, p.ExStyle);
    return SIZE{r.right - r.left - 100 + 2 * FBorderWidth, r.bottom - r.top - 100 + 2 * FBorderWidth};
}

TRect TForm::ClientRect() const {
    if (FHandle) return TWinControl::ClientRect();
    SIZE f = FrameSize();
    int w = FClientWidth >= 0 ? FClientWidth : std::max(0, int(FWidth - f.cx));
    int h = FClientHeight >= 0 ? FClientHeight : std::max(0, int(FHeight - f.cy));
    return Rect(0, 0, w, h);
}

void TForm::SetClientWidth(int Value) {
    if (FHandle) {
        SetWidth(FWidth + Value - TWinControl::ClientRect().Width());
        return;
    }
    FClientWidth = Value;
    FWidth = Value + FrameSize().cx;
    Realign();
}

void TForm::SetClientHeight(int Value) {
    if (FHandle) {
        SetHeight(FHeight + Value - TWinControl::ClientRect().Height());
        return;
    }
    FClientHeight = Value;
    FHeight = Value + FrameSize().cy;
    Realign();
}

TPoint TForm::ClientOrigin() const {
    if (FHandle) return TWinControl::ClientOrigin();
    SIZE f = FrameSize();
    return Point(FLeft + f.cx / 2, FTop + f.cy - f.cx / 2);
}

void TForm::CreateParams(TCreateParams& P) {
    TCustomControl::CreateParams(P);
    P.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    P.ExStyle = 0;
    switch (FBorderStyle) {
    case bsNone: P.Style |= WS_POPUP; break;
    case bsSingle: P.Style |= WS_CAPTION; break;
    case bsSizeable: P.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        P.Style |= WS_POPUP | WS_CAPTION;
        P.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        P.Style |= WS_CAPTION;
        P.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        P.Style |= WS_CAPTION | WS_THICKFRAME;
        P.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FBorderStyle != bsNone && (FBorderIcons & BorderIconBit(biSystemMenu))) {
        P.Style |= WS_SYSMENU;
        if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
            if (FBorderIcons & BorderIconBit(biMinimize)) P.Style |= WS_MINIMIZEBOX;
            if (FBorderIcons & BorderIconBit(biMaximize)) P.Style |= WS_MAXIMIZEBOX;
        }
        if (FBorderIcons & BorderIconBit(biHelp)) P.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (!FEnabled) P.Style |= WS_DISABLED;
    P.WndParent = nullptr;
    if (FFormStyle == fsStayOnTop) P.ExStyle |= WS_EX_TOPMOST;
    if (FFormStyle == fsMDIChild) {
        // Made in the MDI form's client window, which makes it an MDI child.
        P.Style = (P.Style & ~DWORD(WS_POPUP)) | WS_CHILD;
        P.ExStyle |= WS_EX_MDICHILD;
        TForm* parent = MDIParentForm();
        P.WndParent = parent ? parent->FClientHandle : nullptr;
    }
    P.X = FLeft;
    P.Y = FTop;
    P.Width = FWidth;
    P.Height = FHeight;
    switch (FFormStyle == fsMDIChild ? poDesigned : FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
    case poMainFormCenter:
    case poOwnerFormCenter:
        P.X = (GetSystemMetrics(SM_CXSCREEN) - FWidth) / 2;
        P.Y = (GetSystemMetrics(SM_CYSCREEN) - FHeight) / 2;
        break;
    case poDefault:
    case poDefaultPosOnly:
        P.X = P.Y = int(CW_USEDEFAULT);
        break;
    default: break;
    }
}

void TForm::CreateWnd() {
    if (FFormStyle == fsMDIChild) {
        TForm* parent = MDIParentForm();
        if (!parent) throw EComponentError("There is no MDI form to hold '" + Name() + "'");
        parent->HandleNeeded();
    }
    TScrollingWinControl::CreateWnd();
    UpdateBar();
    // The frame may differ from what AdjustWindowRectEx said: fit the client
    // area exactly to what the definition asked for.
    RECT c;
    GetClientRect(FHandle, &c);
    RECT w;
    GetWindowRect(FHandle, &w);
    int cw = FClientWidth >= 0 ? FClientWidth : c.right;
    int ch = FClientHeight >= 0 ? FClientHeight : c.bottom;
    int ww = (w.right - w.left) + cw - c.right, wh = (w.bottom - w.top) + ch - c.bottom;
    // The client size asked for, within the constraints.
    if ((c.right != cw || c.bottom != ch) && CheckNewSize(ww, wh))
        SetWindowPos(FHandle, nullptr, 0, 0, ww, wh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (FFormStyle != fsMDIChild && (FPosition == poScreenCenter || FPosition == poDesktopCenter ||
                                     FPosition == poMainFormCenter || FPosition == poOwnerFormCenter)) {
        GetWindowRect(FHandle, &w);
        int x = (GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) / 2;
        int y = (GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) / 2;
        SetWindowPos(FHandle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FClientWidth = FClientHeight = -1;
    ApplyIcon();
    if (FFormStyle == fsMDIForm) CreateClientWindow();
}

void TForm::SetVisible(bool Value) {
    if (IsLoading()) {
        FVisible = Value;
        return;
    }
    if (FVisible == Value) {
        if (Value && FHandle && !IsWindowVisible(FHandle)) ShowWindow(FHandle, SW_SHOW);
        return;
    }
    if (Value) {
        HandleNeeded();
        FVisible = true;
        DoShow();
        if (!FVisible) return;  // OnShow hid it again
        // The window appears in the form's own CM_SHOWINGCHANGED, so that a
        // hooked WindowProc sees the showing begin and end.
        Perform(CM_SHOWINGCHANGED, 0, 0);
        if (FFormStyle == fsMDIChild)
            SendMessageW(GetParent(FHandle), WM_MDIACTIVATE, WPARAM(FHandle), 0);
        else
            SetForegroundWindow(FHandle);
        FShownOnce = true;
        if (FActiveControl && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
    } else {
        FVisible = false;
        MergeMenu(false);
        DoHide();
        if (FHandle) ShowWindow(FHandle, SW_HIDE);
    }
}

void TForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TForm::BringToFront() {
    if (FHandle && FVisible && FFormStyle == fsMDIChild) {
        SendMessageW(GetParent(FHandle), WM_MDIACTIVATE, WPARAM(FHandle), 0);
        return;
    }
    if (FHandle && FVisible) {
        SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(FHandle);
    }
}

void TForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TForm::Close() {
    if (OnCloseQuery) {
        bool can = true;
        OnCloseQuery(this, can);
        if (!can) return;
    }
    // An MDI child cannot be hidden in its client: closed, it goes.
    TCloseAction action = FFormStyle == fsMDIChild ? caFree : caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TForm::Release() {
    if (FHandle)
        PostMessageW(FHandle, CM_RELEASE, 0, 0);
    else
        delete this;
}

void TForm::AfterCreation() {
    if (OnCreate) {
        try {
            OnCreate(this);
        } catch (const std::exception& e) {
            HandleControlException(this, e);
        }
    }
    if (FVisible) {
        FVisible = false;
        Show();
    }
}

void TForm::CMTextChanged(TMessage& m) {
    if (FHandle) SetWindowTextAnsi(FHandle, FText);
}

void TForm::Paint() {
    if (OnPaint) OnPaint(this);
}

void TForm::WndProc(TMessage& m) {
    if (DispatchMenuMessage(FMenu, m)) return;
    switch (m.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case CM_RELEASE:
        delete this;
        return;
    case WM_ACTIVATE:
        DefaultHandler(m);
        if (LOWORD(m.WParam) != WA_INACTIVE) {
            MergeMenu(true);
            if (FActiveControl && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
            if (OnActivate) OnActivate(this);
        } else if (OnDeactivate) {
            OnDeactivate(this);
        }
        return;
    case CM_SHOWINGCHANGED:
        if (FHandle && FVisible)
            ShowWindow(FHandle, FWindowState == wsMinimized   ? SW_SHOWMINIMIZED
                                : FWindowState == wsMaximized ? SW_SHOWMAXIMIZED
                                                              : SW_SHOW);
        return;
    case WM_SHOWWINDOW:
        // Shown or hidden by the system (minimise of the owner...): keep Visible in step.
        if (m.LParam == 0) FVisible = m.WParam != 0;
        break;
    case WM_MDIACTIVATE:
        DefaultHandler(m);
        MDIActivated(reinterpret_cast<HWND>(m.WParam), reinterpret_cast<HWND>(m.LParam));
        if (reinterpret_cast<HWND>(m.LParam) == FHandle) {
            if (FActiveControl && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
            if (OnActivate) OnActivate(this);
        } else if (reinterpret_cast<HWND>(m.WParam) == FHandle && OnDeactivate) {
            OnDeactivate(this);
        }
        return;
    case WM_SIZE:
        if (FClientHandle) {
            // Not the frame's default, which would size the client to the whole client area.
            TCustomControl::DefaultHandler(m);
            Realign();
            return;
        }
        break;
    case WM_NCDESTROY:
        FClientHandle = nullptr;  // gone with the form's window
        break;
    case CM_MENUCHANGED:
        UpdateBar();
        break;
    case WM_NCCALCSIZE:
        TScrollingWinControl::WndProc(m);
        if (FBorderWidth > 0) {
            // Both forms of the message start with the client rectangle.
            RECT& r = *reinterpret_cast<RECT*>(m.LParam);
            r.left += FBorderWidth;
            r.top += FBorderWidth;
            r.right = std::max(r.left, r.right - FBorderWidth);
            r.bottom = std::max(r.top, r.bottom - FBorderWidth);
        }
        return;
    case WM_NCPAINT:
        WMNCPaint(m);
        return;
    default:
        break;
    }
    TScrollingWinControl::WndProc(m);
}

// ======================================================================
// TScreen, TMouse

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TForm* TScreen::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FForms[size_t(Index)];
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TForm* TScreen::ActiveForm() const {
    HWND a = GetActiveWindow();
    for (TForm* f : FForms)
        if (f->HandleIfAllocated() == a && a) return f;
    return nullptr;
}

void TScreen::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    ::SetCursor(CursorHandle(Value == crDefault ? crArrow : Value));
}

TPoint TMouse::CursorPos() const {
    POINT p{};
    GetCursorPos(&p);
    return Point(p.x, p.y);
}

void TMouse::SetCursorPos(const TPoint& P) { ::SetCursorPos(P.X, P.Y); }

int TMouse::DragThreshold() const { return GetSystemMetrics(SM_CXDRAG); }

// ======================================================================
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(new TIcon()) {
    if (FindResourceW(nullptr, L"MAINICON", reinterpret_cast<LPCWSTR>(RT_GROUP_ICON)))
        FIcon->LoadFromResourceName(nullptr, "MAINICON");
    FIcon->OnChange = TNotifyEvent::Of<&TApplication::IconChanged>(this);
    FExeName = FromWide(ModuleFileName());
    AnsiString p = FExeName;
    size_t slash = p.find_last_of("\\/");
    if (slash != AnsiString::npos) p = p.substr(slash + 1);
    size_t dot = p.rfind('.');
    if (dot != AnsiString::npos) p = p.substr(0, dot);
    FTitle = p;
    SetExceptionSink(&ApplicationSink);
}

TApplication::~TApplication() {
    FIcon->OnChange = nullptr;
    DestroyForms();
    if (FHandle) DestroyWindow(FHandle);
    FHandle = nullptr;
    SetExceptionSink(nullptr);
    if (FOleInitialized) OleUninitialize();
}

void TApplication::SetIcon(TIcon* Value) { FIcon->Assign(Value); }

void TApplication::IconChanged(TObject*) {
    for (int i = 0; Screen && i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->Icon()->Empty()) Screen->Forms(i)->ApplyIcon();
}

void TApplication::Initialize() {
    if (!FOleInitialized) FOleInitialized = SUCCEEDED(OleInitialize(nullptr));
}

void TApplication::FormCreated(TForm* Form) {
    if (!FMainForm) FMainForm = Form;
}

void TApplication::Run() {
    FTerminated = false;
    if (FMainForm && ShowMainForm) FMainForm->Show();
    while (!FTerminated) HandleMessage();
    DestroyForms();
}

void TApplication::Minimize() {
    if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->HandleIfAllocated(), SW_MINIMIZE);
}

void TApplication::Terminate() {
    if (FTerminated) return;
    FTerminated = true;
    PostQuitMessage(0);
}

LRESULT CALLBACK TApplication::AppWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    try {
        if (Application && Application->FHandle == Wnd) {
            TMessage m{Msg, WParam, LParam, 0};
            // A copy: a hook may take itself or another out.
            const std::vector<TWindowHook> hooks = Application->FWindowHooks;
            for (const TWindowHook& h : hooks)
                if (h(m)) return m.Result;
        }
    } catch (const std::exception& e) {
        HandleControlException(Application, e);
        return 0;
    } catch (...) {
        return 0;
    }
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

HWND TApplication::Handle() {
    if (!FHandle) {
        static const wchar_t* kClass = L"TApplicationWindow";
        WNDCLASSW wc{};
        wc.lpfnWndProc = &TApplication::AppWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);  // fails harmlessly when already registered
        FHandle = CreateWindowExW(WS_EX_TOOLWINDOW, kClass, ToWide(FTitle).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!FHandle) throw EComponentError("Error creating the application window");
    }
    return FHandle;
}

void TApplication::HookMainWindow(TWindowHook Hook) {
    if (!Hook) return;
    Handle();
    if (std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook) == FWindowHooks.end()) FWindowHooks.push_back(Hook);
}

void TApplication::UnhookMainWindow(TWindowHook Hook) {
    FWindowHooks.erase(std::remove(FWindowHooks.begin(), FWindowHooks.end(), Hook), FWindowHooks.end());
}

bool TApplication::IsMenuShortCut(const MSG& Msg) {
    if ((Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) || !Msg.hwnd || MenuLoopRunning()) return false;
    // The form the key goes to; an MDI child's frame holds the menu.
    auto* form = dynamic_cast<TForm*>(FindControl(GetAncestor(Msg.hwnd, GA_ROOT)));
    if (!form || !form->Menu() || !form->Enabled()) return false;
    return form->Menu()->IsShortCut(Word(Msg.wParam), KeyboardShiftState());
}

bool TApplication::ProcessMessage(MSG& Msg) {
    if (!PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    if (IsMenuShortCut(Msg)) return true;
    // Ctrl+F4, Ctrl+F6 and the child's system menu of the MDI children.
    HWND client = FMainForm ? FMainForm->ClientHandle() : nullptr;
    if (client && TranslateMDISysAccel(client, &Msg)) return true;
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
        if (msg.message == WM_QUIT) break;
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) {
        if (FTerminated) return;
        WaitMessage();
    }
}

void TApplication::DestroyForms() {
    while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
}

void TApplication::HandleException(TObject* Sender, const std::exception& E) {
    if (OnException)
        OnException(Sender, E);
    else
        ShowException(E);
}

void TApplication::ShowException(const std::exception& E) {
    AnsiString msg = E.what();
    if (!msg.empty() && msg.back() != '.') msg += '.';
    MessageBox(msg, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) {
    HWND owner = nullptr;
    if (Screen && Screen->ActiveForm()) owner = Screen->ActiveForm()->HandleIfAllocated();
    return ::MessageBoxW(owner, ToWide(Text).c_str(), ToWide(Caption).c_str(), Flags);
}
