#include "acSBUtils.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Forms.h"
#include "Guards.h"
#include "Text1251.h"
#include "acMaskBlend.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sSkinnedForms.h"

#if !defined(__x86_64__)
#error "the procedure stub is x86-64 code"
#endif

bool WrappingDialogChildren = false;
bool AdapterRemovingAll = false;
TWinControl* (*ProviderFormOf)(TPersistent* Owner) = nullptr;

// ---------------------------------------------------------------- the procedure stub

// The object instance of a wrapper: a few bytes of code that load the stub's
// own address into the first argument (where the window handle was) and jump
// to StubWndProc; the record behind the code says where the messages go.
// A class-library control is given the same record as the context of its
// WindowProc method. With Wrapper nil the record only passes messages on: it
// stays where someone subclassed on top of it, until the window is gone.
struct TacProcStub {
    uint8_t Code[24];
    TacMainWnd* Wrapper = nullptr;
    HWND Wnd = nullptr;
    WNDPROC Prev = nullptr;   // foreign window
    TWndMethod PrevMethod;    // class-library control
    TControl* Control = nullptr;
    int Depth = 0;            // calls running through the record
    bool Released = false;    // free once no call runs through it
};

namespace {

constexpr size_t kStubSize = 128;
static_assert(sizeof(TacProcStub) <= kStubSize, "a stub fits its slot");

// Stubs live in executable pages, recycled through a free list; pages are
// never given back (a window may call a stub until it is released).
std::vector<void*> g_FreeStubs;
// Pass-through methods of class-library controls whose WindowProc someone
// else now holds: they live as long as the program.
std::vector<TacProcStub*> g_OrphanMethods;

LRESULT CALLBACK StubWndProc(HWND StubAddress, UINT Msg, WPARAM WParam, LPARAM LParam);

TacProcStub* NewStub() {
    if (g_FreeStubs.empty()) {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        const size_t size = std::max<size_t>(si.dwPageSize, 4096);
        auto* page = static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
        if (!page) throw Exception("Cannot allocate a window procedure stub");
        for (size_t off = size; off >= kStubSize; off -= kStubSize) g_FreeStubs.push_back(page + off - kStubSize);
    }
    void* slot = g_FreeStubs.back();
    g_FreeStubs.pop_back();
    auto* s = new (slot) TacProcStub;
    // mov rcx, imm64 (the stub); mov rax, imm64 (StubWndProc); jmp rax
    uint8_t* c = s->Code;
    const uint64_t self = reinterpret_cast<uint64_t>(s);
    const uint64_t target = reinterpret_cast<uint64_t>(&StubWndProc);
    c[0] = 0x48, c[1] = 0xB9;
    memcpy(c + 2, &self, 8);
    c[10] = 0x48, c[11] = 0xB8;
    memcpy(c + 12, &target, 8);
    c[20] = 0xFF, c[21] = 0xE0;
    c[22] = c[23] = 0xCC;
    FlushInstructionCache(GetCurrentProcess(), s, sizeof s->Code);
    return s;
}

void FreeStub(TacProcStub* S) {
    S->~TacProcStub();
    memset(static_cast<void*>(S), 0xCC, kStubSize);
    g_FreeStubs.push_back(S);
}

// Freed now, or by the last call that still runs through it.
void ReleaseStub(TacProcStub* S) {
    S->Wrapper = nullptr;
    S->Released = true;
    if (S->Depth == 0) FreeStub(S);
}

WNDPROC StubProcAddress(TacProcStub* S) { return reinterpret_cast<WNDPROC>(static_cast<void*>(S->Code)); }

void ReportException(TacMainWnd* W, const std::exception& E) {
    try {
        HandleControlException(W, E);
    } catch (...) {
    }
}

LRESULT CALLBACK StubWndProc(HWND StubAddress, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* s = reinterpret_cast<TacProcStub*>(StubAddress);
    const HWND wnd = s->Wnd;
    const WNDPROC prev = s->Prev;
    ++s->Depth;
    LRESULT r = 0;
    try {
        if (TacMainWnd* w = s->Wrapper) {
            TMessage m{Msg, WParam, LParam, 0};
            w->WndProc(m);
            r = m.Result;
        } else {
            r = CallWindowProcW(prev, wnd, Msg, WParam, LParam);
        }
    } catch (const std::exception& e) {
        ReportException(s->Wrapper, e);
        r = DefWindowProcW(wnd, Msg, WParam, LParam);
    } catch (...) {
        ReportException(s->Wrapper, Exception("Unknown exception"));
        r = DefWindowProcW(wnd, Msg, WParam, LParam);
    }
    --s->Depth;
    // A pass-through left in a chain goes with its window.
    if (Msg == WM_NCDESTROY && !s->Wrapper) s->Released = true;
    if (s->Released && s->Depth == 0) FreeStub(s);
    return r;
}

void StubMethod(void* Context, TMessage& M) {
    auto* s = static_cast<TacProcStub*>(Context);
    ++s->Depth;
    try {
        if (TacMainWnd* w = s->Wrapper)
            w->WndProc(M);
        else if (s->PrevMethod)
            s->PrevMethod(M);
    } catch (const std::exception& e) {
        ReportException(s->Wrapper, e);
    } catch (...) {
        ReportException(s->Wrapper, Exception("Unknown exception"));
    }
    --s->Depth;
    if (s->Released && s->Depth == 0) FreeStub(s);
}

TWndMethod StubAsMethod(TacProcStub* S) { return TWndMethod::Fn(S, &StubMethod); }

// The control whose WindowProc a wrapper swaps: the owner control, or the
// provider's form; nil for a foreign window.
TControl* HookedControl(const TsCommonData* Data) {
    if (!Data) return nullptr;
    if (Data->OwnerControl) return Data->OwnerControl;
    if (ProviderFormOf && Data->OwnerObject) return ProviderFormOf(Data->OwnerObject);
    return nullptr;
}

bool ManagerActive(const TsSkinManager* M) { return M && M->Active() && M->SkinData() && M->SkinData()->Active(); }

// Gives back what the wrapper replaced, while its own procedure is current;
// otherwise its stub stays behind as a pass-through.
void GiveBack(TacMainWnd* W) {
    TacProcStub* s = W->ObjectInstance;
    W->ObjectInstance = nullptr;
    if (!s) return;
    if (s->Control) {
        if (s->Control->WindowProc == StubAsMethod(s)) {
            s->Control->WindowProc = s->PrevMethod;
            ReleaseStub(s);
        } else {
            s->Wrapper = nullptr;
            g_OrphanMethods.push_back(s);
        }
        return;
    }
    if (IsWindow(s->Wnd) &&
        GetWindowLongPtrW(s->Wnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(StubProcAddress(s))) {
        SetWindowLongPtrW(s->Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s->Prev));
        ReleaseStub(s);
    } else if (IsWindow(s->Wnd)) {
        s->Wrapper = nullptr;  // a pass-through until WM_NCDESTROY
    } else {
        ReleaseStub(s);
    }
}

// The part of the destructor and of DetachWrapper that lets go of the
// window: visual styles back, procedure given back, property removed.
void LetGo(TacMainWnd* W, HWND H) {
    if (W->SwitchesThemeOff() && IsWindow(H)) ResetWindowTheme(H);
    GiveBack(W);
    if (W->CtrlHandle && GetPropW(W->CtrlHandle, acWrapperProp) == W) RemovePropW(W->CtrlHandle, acWrapperProp);
}

}  // namespace

// ---------------------------------------------------------------- TacMainWnd

TacMainWnd::TacMainWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                       TsCommonData* Data)
    : CtrlHandle(AHandle), SkinManager(Manager), FRepaint(Repaint), FSwitchThemeOff(Section != "DIALOG") {
    if (Data) {
        SkinData = Data;
        if (!SkinManager) SkinManager = Data->SkinManager();
    } else {
        SkinData = new TsCommonData(nullptr, true);
        OwnSkinData = true;
        // Held by the skin state, a manager that goes is forgotten with it.
        SkinData->OwnManager = Manager;
    }
    if (SkinData->SkinSection().empty() && !Section.empty()) SkinData->SetSkinSection(Section);
    DialogMode = WrappingDialogChildren;
}

void TacMainWnd::InitWrapper() {
    if (FSwitchThemeOff) SetWindowThemeOff(CtrlHandle);
    SavePlainLook();
    Skinned = false;
    OldWndProc = nullptr;
    OldProc = nullptr;
    ReadWndText();
    if (auto* sw = dynamic_cast<TacScrollWnd*>(this))
        InitScrollBars(sw, CtrlHandle, FRepaint);
    else
        Attach(this, CtrlHandle);
    if (SkinData->OwnerControl) SkinData->OwnerControl->SetControlStyle(SkinData->OwnerControl->ControlStyle() | csOpaque);
}

TacMainWnd::~TacMainWnd() {
    DetachOnFree();
    if (OwnSkinData) delete SkinData;
    SkinData = nullptr;
}

void TacMainWnd::operator delete(TacMainWnd* W, std::destroying_delete_t) {
    W->DetachOnFree();
    void* block = dynamic_cast<void*>(W);
    W->~TacMainWnd();
    ::operator delete(block);
}

void* TacMainWnd::operator new(std::size_t Size) { return ::operator new(Size); }

void TacMainWnd::operator delete(void* P) { ::operator delete(P); }

void TacMainWnd::DetachOnFree() {
    if (Destroyed) return;
    if (auto* s = dynamic_cast<TacScrollWnd*>(this)) s->StopScrollMouse();
    // While the adapter clears its list, its windows are going anyway.
    if (AdapterRemovingAll && !SkinRemoving) return;
    LetGo(this, CtrlHandle);
    RestorePlainLook();
    Destroyed = true;
}

void TacMainWnd::ReadWndText() {
    WndText.clear();
    if (!IsWindow(CtrlHandle)) return;
    const int n = GetWindowTextLengthW(CtrlHandle);
    if (n <= 0) return;
    std::u16string w(size_t(n) + 1, u'\0');
    const int got = GetWindowTextW(CtrlHandle, reinterpret_cast<wchar_t*>(w.data()), n + 1);
    w.resize(size_t(std::clamp(got, 0, n)));
    WndText = Utf16ToCp1251(w);
}

void TacMainWnd::PassOn(TMessage& M) { M.Result = CallPrevWndProc(this, CtrlHandle, M.Msg, M.WParam, M.LParam); }

void TacMainWnd::WndProc(TMessage& M) {
    if (SkinData) SkinManager = SkinData->SkinManager();
    switch (M.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
        if (ObjectOrMethodSaved()) {
            TacMainWnd* self = this;
            DetachWrapper(CtrlHandle, false, false, self);
        }
        PassOn(M);
        return;
    case WM_UPDATEUISTATE: return;
    case WM_SIZE:
        // A skinned form's image belongs to its provider, which repaints it
        // for the new size before WM_SIZE comes: marking it stale here would
        // paint the whole window twice on every step of a size drag.
        if (SkinData && !dynamic_cast<TacFormProvider*>(SkinData->OwnerObject)) SkinData->BackgroundDirty = true;
        break;
    case WM_SETTEXT:
        PassOn(M);
        ReadWndText();
        return;
    case WM_MOUSEMOVE:
        if (DefaultSkinManager && !(DefaultSkinManager->ComponentState() & csDesigning) &&
            IsWindowEnabled(CtrlHandle) && DefaultSkinManager->HotWindow() != CtrlHandle)
            DefaultSkinManager->SetHotWindow(CtrlHandle);
        break;
    case WM_PRINT: M.Result = SendMessageW(CtrlHandle, WM_PAINT, M.WParam, M.LParam); return;
    default: break;
    }
    if (!SkinData || !ManagerActive(SkinManager)) {
        PassOn(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD && HandleSkinCommand(M)) return;
    PassOn(M);
}

bool TacMainWnd::HandleSkinCommand(TMessage& M) {
    const bool ours = M.LParam == reinterpret_cast<LPARAM>(SkinManager);
    switch (SkinCommandOf(M.WParam)) {
    case scNewSkin:
        if (!ours) return false;
        SkinData->ResolveIndexes();
        SkinData->BackgroundDirty = true;
        ForwardToChildren(SkinData->OwnerControl, CtrlHandle, M);
        return false;
    case scRemoveSkin:
        if (ours) RestorePlainLook();
        return false;
    case scRefresh:
        if (!ours) return false;
        SkinData->ResolveIndexes();
        SkinData->BackgroundDirty = true;
        SkinData->UpdatingFlag = false;
        SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
        return true;
    case scRepaint:
        if (!SkinData->UpdatingFlag) return false;
        SkinData->UpdatingFlag = false;
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
        return true;
    case scIsSkinned: M.Result = 1; return true;
    case scQueryUpdating: M.Result = SkinData->UpdatingFlag ? 1 : 0; return true;
    case scQueryComplexBackground:
        if (!SkinData->OwnerControl) return false;
        SkinData->HandleEngineCommand(M);
        return true;
    case scQueryColor:
        PassOn(M);
        if (M.Result == 0) M.Result = LRESULT(SkinData->BackgroundColor(0, CtrlHandle));
        return true;
    case scUpdateCache: UpdateWndCache(SkinData, CtrlHandle, false); return false;
    case scGetBackground:
        if (M.LParam) SkinData->FillBackgroundInfo(*reinterpret_cast<BackgroundInfo*>(M.LParam), 0, CtrlHandle);
        return true;
    case scGetApplication: M.Result = reinterpret_cast<LRESULT>(Application); return true;
    default: return false;
    }
}

// ---------------------------------------------------------------- attachment

TacMainWnd* GetWrapper(HWND Handle) {
    return Handle ? static_cast<TacMainWnd*>(GetPropW(Handle, acWrapperProp)) : nullptr;
}

void Attach(TacMainWnd* W, HWND Handle) {
    W->OwnScroll = false;
    W->CtrlHandle = Handle;
    SetPropW(Handle, acWrapperProp, W);
    TacProcStub* s = NewStub();
    s->Wrapper = W;
    s->Wnd = Handle;
    W->ObjectInstance = s;
    if (TControl* c = HookedControl(W->SkinData)) {
        s->Control = c;
        s->PrevMethod = c->WindowProc;
        W->OldWndProc = c->WindowProc;
        c->WindowProc = StubAsMethod(s);
        return;
    }
    s->Prev = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Handle, GWLP_WNDPROC));
    W->OldProc = s->Prev;
    SetWindowLongPtrW(Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StubProcAddress(s)));
}

LRESULT CallPrevWndProc(TacMainWnd* W, HWND Handle, UINT Msg, WPARAM WParam, LPARAM& LParam) {
    if (W->OldWndProc) {
        TMessage m{Msg, WParam, LParam, 0};
        W->OldWndProc(m);
        LParam = m.LParam;
        return m.Result;
    }
    if (W->OldProc) return CallWindowProcW(W->OldProc, Handle, Msg, WParam, LParam);
    return 0;
}

void RefreshWndFrame(HWND Handle, bool Full) {
    if (Full)
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    else
        SendMessageW(Handle, WM_NCPAINT, 1, 0);
}

void DetachWrapper(HWND Handle, bool Free, bool Refresh, TacMainWnd*& W) {
    if (!W) return;
    if (!W->Destroyed) {
        const HWND h = W->CtrlHandle ? W->CtrlHandle : Handle;
        if (auto* s = dynamic_cast<TacScrollWnd*>(W)) s->StopScrollMouse();
        LetGo(W, h);
        W->RestorePlainLook();
        if (IsWindow(h) && IsWindowVisible(h)) RefreshWndFrame(h, Refresh);
        W->Destroyed = true;
    }
    if (Free) {
        W->OldProc = nullptr;
        W->OldWndProc = nullptr;
        delete W;
        W = nullptr;
    }
}

// ---------------------------------------------------------------- shared functions

void ForwardToChildren(TControl* Owner, HWND Handle, TMessage& M) {
    if (auto* wc = dynamic_cast<TWinControl*>(Owner))
        SendToControlTree(wc, M.Msg, M.WParam, M.LParam);
    else if (!Owner && Handle)
        BroadcastToChildWindows(Handle, M.Msg, M.WParam, M.LParam);
}

TWinControl* FindControlByHandle(HWND Handle, TComponent* Component) {
    if (!Component || !Handle) return nullptr;
    for (int i = 0; i < Component->ComponentCount(); ++i) {
        TComponent* c = Component->Components(i);
        if (auto* wc = dynamic_cast<TWinControl*>(c); wc && wc->HandleAllocated() && wc->HandleIfAllocated() == Handle)
            return wc;
        if (TWinControl* found = FindControlByHandle(Handle, c)) return found;
    }
    return nullptr;
}

TacWndGeometry GetWndGeometry(HWND Handle) {
    TacWndGeometry g;
    RECT r{};
    GetWindowRect(Handle, &r);
    g.WndRect = Rect(r.left, r.top, r.right, r.bottom);
    g.Parent = GetParent(Handle);
    g.WndSize = TSize{r.right - r.left, r.bottom - r.top};
    if (g.Parent) {
        RECT pr{};
        GetWindowRect(g.Parent, &pr);
        const LRESULT off = SendEngineCommandToHandle(g.Parent, scBorderOffset, 0);
        g.WndPos = Point(r.left - pr.left - short(LOWORD(off)), r.top - pr.top - short(HIWORD(off)));
    }
    return g;
}

void NotifyTopWindow(HWND Handle) {
    HWND top = Handle;
    while (HWND p = GetParent(top)) top = p;
    if (top) SendEngineCommandToHandle(top, scChildChanged, 0);
}

void UpdateWndCache(TsCommonData* Data, HWND Handle, bool Plain) {
    if (!Data || !Data->BackgroundDirty) return;
    const TacWndGeometry g = GetWndGeometry(Handle);
    Data->PrepareCacheBitmap();
    TBitmap* cache = Data->CacheBitmap;
    cache->SetSize(std::max(0, g.WndSize.cx), std::max(0, g.WndSize.cy));
    const TRect all = Rect(0, 0, g.WndSize.cx, g.WndSize.cy);
    const TColor border = DefaultSkinManager ? DefaultSkinManager->SkinData()->Values.BorderColor : TColor(0xFF00FF);
    if (Plain && DefaultSkinManager && border != TransparentKeyColor) {
        FillRectOnDC(cache->Canvas()->Handle(), all, clWindow);
        FillBorderOnDC(cache->Canvas()->Handle(), all, 1, 1, 1, 1, border);
    } else if (g.Parent) {
        TsSkinManager* m = Data->SkinManager();
        if (m && m->IsValidSectionIndex(Data->SkinSectionNo))
            PaintControlSection(Data, WindowParentBackgroundInfo(Handle), true, cache, g.WndPos, all, 0);
    }
    if (Data->OwnerControl && !Data->OwnerControl->Enabled()) {
        const auto kind = uint8_t(SendEngineCommandToHandle(Handle, scWrapperQuery, 0));
        ApplyFadeEffects(cache, kind, Data->OwnerControl, g.WndPos, WindowParentBackgroundInfo(Handle));
    }
    Data->BackgroundDirty = false;
}

void FillCornersByMask(TsCommonData* Data, int State, TacMainWnd* W) {
    if (!Data || !W || W->DialogMode) return;
    TsSkinManager* m = Data->SkinManager();
    TBitmap* cache = Data->CacheBitmap;
    if (!m || !m->IsValidMaskIndex(Data->BorderMaskNo) || !cache || cache->Width() <= 1 || cache->Height() <= 1)
        return;
    const TsMaskData& md = m->ma()[size_t(Data->BorderMaskNo)];
    TBitmap* src = MaskImageSource(md);
    if (!src) return;
    int count = md.ImageCount, type = md.MaskType;
    TRect r = md.R;
    if (count == 0 && md.Image) {
        count = 3;
        type = 1;
        r = Rect(0, 0, md.Image->Width(), md.Image->Height());
    }
    if (count <= 0 || type < 0) return;
    State = std::clamp(State, 0, count - 1);
    const int cw = r.Width() / count, ch = r.Height() / (type + 1);
    const int cellLeft = r.Left + cw * State;
    const TacImage img = ImageOf(src), dst = ImageOf(cache);
    if (img.Empty() || dst.Empty()) return;
    const CacheInfo bgInfo = WindowParentBackgroundInfo(W->CtrlHandle);
    const TacBackground bg = BackgroundOf(bgInfo);
    const TPoint pos = GetWndGeometry(W->CtrlHandle).WndPos;
    const int w = cache->Width(), h = cache->Height();
    // One corner: Cols x Rows pixels of the cell from (SX, SY) to (DX, DY).
    auto corner = [&](int SX, int SY, int DX, int DY, int Cols, int Rows) {
        for (int y = 0; y < Rows; ++y)
            for (int x = 0; x < Cols; ++x) {
                const int sx = SX + x, sy = SY + y, dx = DX + x, dy = DY + y;
                if (sx < 0 || sy < 0 || sx >= img.View.Width || sy >= img.View.Height) continue;
                if (dx < 0 || dy < 0 || dx >= w || dy >= h) continue;
                if (!IsKeyPixel(img.At(sx, sy))) continue;
                uint8_t px[3];
                if (!KeyFillPixel(bg, true, dx + pos.X, dy + pos.Y, px)) continue;
                uint8_t* d = dst.At(dx, dy);
                d[0] = px[0], d[1] = px[1], d[2] = px[2];
            }
    };
    const int wl = md.WL, wt = md.WT, wr = md.WR, wb = md.WB;
    corner(cellLeft, r.Top, 0, 0, wl, wt);
    corner(cellLeft, r.Top + ch - wb, 0, h - wb, wl, wb);
    corner(cellLeft + cw - wr, r.Top, w - wr, 0, wr, wt);
    corner(cellLeft + cw - wr, r.Top + ch - wb, w - wr, h - wb, wr, wb);
}
