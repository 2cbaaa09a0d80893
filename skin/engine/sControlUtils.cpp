#include "sControlUtils.h"

#include <algorithm>
#include <memory>

#include "Guards.h"
#include "Themes.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sSkinnedForms.h"

TOutputWindow* OutputWindow = nullptr;
TBitmap* FadeSnapshot = nullptr;
bool FadeInProgress = false;
HDC FadeCaptureDC = nullptr;

namespace {

using TSetWindowTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
HMODULE UxThemeLibrary = nullptr;
TSetWindowTheme SetWindowThemeEntry = nullptr;

bool Destroying(const TComponent* C) { return C && (C->ComponentState() & csDestroying); }

WPARAM CommandWParam(uint16_t Command) { return WPARAM(SkinWParam(Command)); }

}  // namespace

// ---------------------------------------------------------------- senders

LRESULT SendEngineCommandToHandle(HWND Wnd, uint16_t Command, LPARAM LParam) {
    return SendMessageW(Wnd, SM_ALPHACMD, CommandWParam(Command), LParam);
}

LRESULT SendEngineCommand(TControl* Control, uint16_t Command, LPARAM LParam) {
    if (!Control) return 0;
    if (auto* w = dynamic_cast<TWinControl*>(Control)) {
        if (Destroying(w) || !w->HandleAllocated()) return 0;
        return SendMessageW(w->HandleIfAllocated(), SM_ALPHACMD, CommandWParam(Command), LParam);
    }
    return Control->Perform(SM_ALPHACMD, CommandWParam(Command), LParam);
}

LRESULT SendEngineCommandNoParam(TControl* Control, uint16_t Command) { return SendEngineCommand(Control, Command, 0); }

bool AnswersEngineCommand(HWND Wnd, uint16_t Command) {
    return Wnd && SendEngineCommandToHandle(Wnd, Command, 0) == 1;
}

void NotifyParentForm(TControl* Control) {
    if (!Control || (Control->ComponentState() & csDesigning)) return;
    TForm* f = GetParentForm(Control);
    if (f && f != Control && f->HandleAllocated())
        SendEngineCommandToHandle(f->HandleIfAllocated(), scChildChanged, LPARAM(Control));
}

void RepaintChildren(TWinControl* Control) {
    if (FadeInProgress || !Control) return;
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* c = Control->Controls(i);
        if (dynamic_cast<TGraphicControl*>(c) || Destroying(c)) continue;
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            if (w->HandleAllocated() && w->Showing()) SendEngineCommandToHandle(w->HandleIfAllocated(), scRepaint, 0);
        } else {
            c->Perform(SM_ALPHACMD, CommandWParam(scRepaint), 0);
        }
    }
}

void RepaintChildWindows(HWND Wnd) {
    for (HWND c = GetTopWindow(Wnd); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetWindowLongW(c, GWL_STYLE) & WS_CHILD) SendEngineCommandToHandle(c, scRepaint, 0);
}

TColor ControlBackgroundColor(TControl* Control) {
    if (!Control) return TransparentKeyColor;
    if (SendEngineCommand(Control, scIsSkinned, 0) != 1) return ColorToRGB(Control->Color());
    return ColorToRGB(TColor(SendEngineCommand(Control, scQueryColor, TransparentKeyColor)));
}

TColor WindowBackgroundColor(HWND Wnd) {
    if (!Wnd) return TransparentKeyColor;
    return ColorToRGB(TColor(SendEngineCommandToHandle(Wnd, scQueryColor, TransparentKeyColor)));
}

void SendToControlTree(TWinControl* Control, UINT Message, WPARAM WParam, LPARAM LParam) {
    if (!Control) return;
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* c = Control->Controls(i);
        if (Destroying(c)) return;
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->HandleAllocated()) {
            c->Perform(Message, WParam, LParam);
        } else if (AnswersEngineCommand(w->HandleIfAllocated(), scIsSkinned)) {
            SendMessageW(w->HandleIfAllocated(), Message, WParam, LParam);
        } else {
            SendToControlTree(w, Message, WParam, LParam);
        }
    }
}

namespace {
struct BroadcastArgs {
    HWND Parent;
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
};
BOOL CALLBACK BroadcastOne(HWND Wnd, LPARAM Data) {
    auto* a = reinterpret_cast<BroadcastArgs*>(Data);
    if (GetParent(Wnd) == a->Parent) SendMessageW(Wnd, a->Message, a->WParam, a->LParam);
    return TRUE;
}
}  // namespace

void BroadcastToChildWindows(HWND Wnd, UINT Message, WPARAM WParam, LPARAM LParam) {
    BroadcastArgs a{Wnd, Message, WParam, LParam};
    EnumChildWindows(Wnd, BroadcastOne, LPARAM(&a));
}

// ---------------------------------------------------------------- geometry and state

bool CursorPos(TPoint& P) {
    POINT p{};
    const bool ok = GetCursorPos(&p) != 0;
    P = Point(p.x, p.y);
    return ok;
}

bool WorkArea(TRect& R) {
    RECT r{};
    const bool ok = SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0) != 0;
    R = Rect(r.left, r.top, r.right, r.bottom);
    return ok;
}

void ClientRectInWindow(HWND Wnd, TRect& R) {
    RECT w{}, c{};
    GetWindowRect(Wnd, &w);
    GetClientRect(Wnd, &c);
    POINT o{0, 0};
    ClientToScreen(Wnd, &o);
    R = Bounds(o.x - w.left, o.y - w.top, c.right, c.bottom);
}

int AlignedSize(TWinControl* Control, TAlign Alignment, bool IncludeGraphic) {
    if (!Control) return 0;
    int sum = 0;
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* c = Control->Controls(i);
        if (!c->Visible() || c->Align() != Alignment) continue;
        if (!IncludeGraphic && !dynamic_cast<TWinControl*>(c)) continue;
        sum += (Alignment == alTop || Alignment == alBottom) ? c->Height() : c->Width();
    }
    return sum;
}

unsigned TextDrawFlags(TControl*, int Alignment) {
    // The class library reads left to right only: no reading-order change.
    const unsigned align = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    return align | DT_EXPANDTABS | DT_VCENTER;
}

TForm* OwnerForm(TComponent* Component) {
    for (TComponent* c = Component; c; c = c->Owner())
        if (auto* f = dynamic_cast<TForm*>(c)) return f;
    return nullptr;
}

bool ControlIsReady(TControl* Control) {
    if (!Control) return false;
    if (auto* w = dynamic_cast<TWinControl*>(Control); w && !w->HandleAllocated()) return false;
    if ((Control->ControlState() & csCreating) ||
        (Control->ComponentState() & (csReading | csLoading | csDestroying)))
        return false;
    return Control->Parent() != nullptr;
}

// ---------------------------------------------------------------- painting

namespace {

bool Paintable(TControl* C, HDC DC) {
    if (!C->Visible() || !dynamic_cast<TGraphicControl*>(C) || C->Width() < 1 || C->Height() < 1 || Destroying(C))
        return false;
    const RECT r{C->Left(), C->Top(), C->Left() + C->Width(), C->Top() + C->Height()};
    return RectVisible(DC, &r) != 0;
}

// An MDI form paints an aligned graphic child over its own background as
// its linked object: the form's provider then repaints that control alone.
// The repaint paints the form again; that nested paint wraps nothing.
void WrapAlignedOnMDIForm(TWinControl* Parent, HDC DC) {
    static bool wrapping = false;
    auto* form = dynamic_cast<TForm*>(Parent);
    if (wrapping || !form || form->FormStyle() != fsMDIForm || !form->HandleAllocated()) return;
    ValueRestorer<bool> guard(wrapping, true);
    for (int i = 0; i < form->ControlCount(); ++i) {
        TControl* c = form->Controls(i);
        if (c->Align() == alNone || !Paintable(c, DC)) continue;
        SendEngineCommand(form, scSetLinkObject, LPARAM(c));
        c->Repaint();
        SendEngineCommand(form, scSetLinkObject, 0);
    }
}

}  // namespace

void PaintGraphicChildren(HDC DC, TWinControl* Parent, TPoint Offset) {
    if (!Parent || !Parent->Visible() || Parent->ControlCount() == 0) return;
    RECT clip{};
    if (GetClipBox(DC, &clip) == NULLREGION || clip.right <= clip.left || clip.bottom <= clip.top) {
        if (Parent->HandleAllocated()) SendEngineCommandToHandle(Parent->HandleIfAllocated(), scSetReady, 0);
        return;
    }
    WrapAlignedOnMDIForm(Parent, DC);
    BackgroundInfo bg;
    QueryControlBackground(bg, Parent, false);
    std::vector<TControl*> kids;
    for (int i = 0; i < Parent->ControlCount(); ++i)
        if (Paintable(Parent->Controls(i), DC)) kids.push_back(Parent->Controls(i));
    if (kids.empty()) return;
    // One offscreen picture of the parent's size, compatible with the screen.
    WindowDC screen(nullptr);
    MemoryDC mem(screen.Get());
    BitmapHandle bmp(CreateCompatibleBitmap(screen.Get(), Parent->Width(), Parent->Height()));
    SelectGuard sel(mem.Get(), bmp.Get());
    for (TControl* c : kids) {
        const TRect r = Bounds(c->Left(), c->Top(), c->Width(), c->Height());
        if (c->ControlStyle() & csOpaque)
            FillRectOnDC(mem.Get(), r, ControlBackgroundColor(c));
        else if (bg.BgType != 2 || !bg.Bmp)
            FillRectOnDC(mem.Get(), r, bg.Color);
        else
            BitBlt(mem.Get(), r.Left, r.Top, r.Width(), r.Height(), bg.Bmp->Canvas()->Handle(), r.Left + bg.X,
                   r.Top + bg.Y, SRCCOPY);
    }
    for (TControl* c : kids) {
        SavedDC saved(mem.Get());
        SetWindowOrgEx(mem.Get(), -c->Left(), -c->Top(), nullptr);
        IntersectClipRect(mem.Get(), 0, 0, c->Width(), c->Height());
        const unsigned state = c->ControlState();
        c->SetControlState(state | (Parent->ControlState() & csPaintCopy));
        ScopeExit restore([&] { c->SetControlState(state); });
        c->Perform(WM_PAINT, WPARAM(mem.Get()), 0);
    }
    for (TControl* c : kids) {
        if (GetPixel(mem.Get(), c->Left(), c->Top()) == COLORREF(TransparentKeyColor)) continue;
        BitBlt(DC, c->Left() + Offset.X, c->Top() + Offset.Y, c->Width(), c->Height(), mem.Get(), c->Left(), c->Top(),
               SRCCOPY);
    }
}

namespace {

void PaintTree(HDC DC, TControl* Control);

// An MDI form's children are none of its controls: each is painted at its
// place in the form's window, the lowest first.
void PaintMDIChildren(HDC DC, TForm* Form) {
    RECT fr{};
    GetWindowRect(Form->HandleIfAllocated(), &fr);
    for (int i = Form->MDIChildCount() - 1; i >= 0; --i) {
        TForm* c = Form->MDIChildren(i);
        if (!c->Visible() || !c->HandleAllocated()) continue;
        RECT cr{};
        GetWindowRect(c->HandleIfAllocated(), &cr);
        SavedDC saved(DC);
        OffsetViewportOrgEx(DC, cr.left - fr.left, cr.top - fr.top, nullptr);
        PaintTree(DC, c);
    }
}

void PaintTree(HDC DC, TControl* Control) {
    if (!Control->Visible()) return;
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (!w) {
        Control->Perform(WM_PRINT, WPARAM(DC), 0);
        return;
    }
    if (auto* f = dynamic_cast<TForm*>(w); f && f->FormStyle() == fsMDIForm && f->HandleAllocated())
        PaintMDIChildren(DC, f);
    if (w->HandleAllocated() && AnswersEngineCommand(w->HandleIfAllocated(), scIsSkinned))
        SendMessageW(w->HandleIfAllocated(), WM_PRINT, WPARAM(DC), 0);
    else
        w->PaintTo(DC, 0, 0);
    for (int i = 0; i < w->ControlCount(); ++i) {
        auto* c = dynamic_cast<TWinControl*>(w->Controls(i));
        if (!c || !c->Visible()) continue;
        SavedDC saved(DC);
        const bool parentless = dynamic_cast<TForm*>(c) && !c->Parent();
        if (!parentless) OffsetViewportOrgEx(DC, c->Left(), c->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        PaintTree(DC, c);
    }
}

}  // namespace

void PaintControlTree(TBitmap* Bmp, TControl* Control) {
    if (!Bmp || !Control || !Control->Visible()) return;
    HDC dc = Bmp->Canvas()->Handle();
    SavedDC saved(dc);
    IntersectClipRect(dc, 0, 0, Control->Width(), Control->Height());
    PaintTree(dc, Control);
}

// ---------------------------------------------------------------- fade

TOutputWindow::TOutputWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetCaption("acOutputWindow");
    SetVisible(false);
    SetColor(0x800080);
}

void TOutputWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (Parent() || ParentWindow()) return;
    Params.Style = WS_POPUP;
    if (auto* owner = dynamic_cast<TWinControl*>(Owner()); owner && owner->HandleAllocated())
        if (GetWindowLongW(owner->HandleIfAllocated(), GWL_EXSTYLE) & WS_EX_TOPMOST) Params.ExStyle |= WS_EX_TOPMOST;
    if (Application) Params.WndParent = Application->Handle();
}

void TOutputWindow::WndProc(TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    if (Message.Msg == WM_NCPAINT) {
        Message.Result = 0;
        return;
    }
    TCustomControl::WndProc(Message);
}

namespace {

TRect ScreenRect(TWinControl* C) {
    RECT r{};
    GetWindowRect(C->Handle(), &r);
    return Rect(r.left, r.top, r.right, r.bottom);
}

// The output window over the control, and the snapshot of the screen under it.
bool ShowOutputWindow(TWinControl* Control) {
    const TRect sr = ScreenRect(Control);
    if (!FadeSnapshot) {
        FadeSnapshot = CreateBitmap24(sr.Width(), sr.Height());
        WindowDC screen(nullptr);
        BitBlt(FadeSnapshot->Canvas()->Handle(), 0, 0, sr.Width(), sr.Height(), screen.Get(), sr.Left, sr.Top,
               SRCCOPY);
    }
    OutputWindow = new TOutputWindow(Control);
    if (TWinControl* p = Control->Parent()) {
        OutputWindow->SetParent(p);
        OutputWindow->SetBounds(Control->Left(), Control->Top(), Control->Width(), Control->Height());
        // Right above the control, or the control would hide every frame.
        HWND h = OutputWindow->Handle();
        HWND above = GetWindow(Control->Handle(), GW_HWNDPREV);
        if (above != h) SetWindowPos(h, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(h, SW_SHOWNA);
    } else {
        OutputWindow->SetBounds(sr.Left, sr.Top, sr.Width(), sr.Height());
        SetWindowPos(OutputWindow->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    return OutputWindow->HandleAllocated();
}

// A skinned form's cut corners stay out of the fade: the output window takes
// the form's shape, else they would show the key colour blended in.
void ShapeLikeForm(HWND Out, TWinControl* Control) {
    auto* form = dynamic_cast<TForm*>(Control);
    TacFormProvider* p = form ? FormProvider(form) : nullptr;
    if (!p) return;
    p->UpdateRegionRects();
    HRGN rgn = p->CreateFormRegion(0, 0);
    // The system owns a region it accepted; one it refused is ours to delete.
    if (rgn && !SetWindowRgn(Out, rgn, FALSE)) DeleteObject(rgn);
}

void FreeFadeState() {
    delete OutputWindow;
    OutputWindow = nullptr;
    delete FadeSnapshot;
    FadeSnapshot = nullptr;
}

}  // namespace

int FadeOutControl(TWinControl* Control, uint16_t Time) {
    if (!Control) return 0;
    FadeInProgress = true;
    int frames = 0;
    ScopeExit done([] {
        FadeInProgress = false;
        FadeCaptureDC = nullptr;
        FreeFadeState();
    });
    if (!OutputWindow && !ShowOutputWindow(Control)) return 0;
    const int w = Control->Width(), h = Control->Height();
    std::unique_ptr<TBitmap> look(CreateBitmap24(w, h));
    {
        TCanvas* c = look->Canvas();
        c->Lock();
        ScopeExit unlock([c] { c->Unlock(); });
        FadeCaptureDC = c->Handle();
        PaintControlTree(look.get(), Control);
        FadeCaptureDC = nullptr;
    }
    std::unique_ptr<TBitmap> frame(CreateBitmap32(w, h));
    HWND out = OutputWindow->Handle();
    ShapeLikeForm(out, Control);
    WindowDC outDC(out);
    if (Time >= 8 && FadeSnapshot && FadeSnapshot->Width() == w && FadeSnapshot->Height() == h) {
        const int steps = Time >> 3, dec = 255 / steps;
        int alpha = 255;
        TacMixTarget target{frame.get()};
        for (int i = 0; i <= steps; ++i) {
            MixBitmapsByMask(target, FadeSnapshot, look.get(), uint8_t(std::max(alpha, 0)), nullptr);
            BitBlt(outDC.Get(), 0, 0, w, h, frame->Canvas()->Handle(), 0, 0, SRCCOPY);
            GdiFlush();
            ++frames;
            alpha -= dec;
            if (i < steps) Sleep(8);
        }
    }
    BitBlt(outDC.Get(), 0, 0, w, h, look->Canvas()->Handle(), 0, 0, SRCCOPY);
    FadeInProgress = false;
    if (Control->HandleAllocated()) {
        SendMessageW(Control->HandleIfAllocated(), WM_SETREDRAW, 1, 0);
        if (LOBYTE(LOWORD(GetVersion())) >= 6)
            RedrawWindow(Control->HandleIfAllocated(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    }
    SetWindowPos(out, nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_HIDEWINDOW | SWP_NOCOPYBITS);
    return frames;
}

// ---------------------------------------------------------------- theme binding

void ResetWindowTheme(HWND Wnd) {
    if (SetWindowThemeEntry && Wnd) SetWindowThemeEntry(Wnd, nullptr, nullptr);
}

void SetWindowThemeOff(HWND Wnd) {
    if (SetWindowThemeEntry && Wnd) SetWindowThemeEntry(Wnd, L" ", L" ");
}

bool SetWindowThemeAvailable() { return SetWindowThemeEntry != nullptr; }

void sControlUtilsInitialize() {
    if (UxThemeLibrary) return;
    UxThemeLibrary = LoadLibraryW(L"UXTHEME");
    SetWindowThemeEntry = UxThemeLibrary ? reinterpret_cast<TSetWindowTheme>(reinterpret_cast<void*>(
                                               GetProcAddress(UxThemeLibrary, "SetWindowTheme")))
                                         : nullptr;
}

void sControlUtilsFinalize() {
    if (UxThemeLibrary) FreeLibrary(UxThemeLibrary);
    UxThemeLibrary = nullptr;
    SetWindowThemeEntry = nullptr;
}
