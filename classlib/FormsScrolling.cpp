// TScrollingWinControl and its TControlScrollBar pair: the window's own
// scroll bars moving the children.
#include <windowsx.h>

#include <algorithm>

#include "Forms.h"
#include "Guards.h"

namespace {

bool Vertical(int Bar) { return Bar == SB_VERT; }

// Controls that move with the scrolled area along a bar: those not aligned
// and those packed against the bar's start; the others take the client's
// edges and are laid out again by the alignment.
bool ScrollsAlong(const TControl* C, int Bar) {
    const TAlign a = C->Align();
    return a == alNone || a == (Vertical(Bar) ? alTop : alLeft);
}

// A control anchored to the far edge only moves with the client area's
// extent: it does not make the scrolled area larger.
bool HeldToFarEdge(const TControl* C, int Bar) {
    const TAnchors start = AnchorBit(Vertical(Bar) ? akTop : akLeft), end = AnchorBit(Vertical(Bar) ? akBottom : akRight);
    return (C->Anchors() & end) && !(C->Anchors() & start);
}

}  // namespace

// ======================================================================
// TControlScrollBar

void TControlScrollBar::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetRange(int Value) {
    // A range of one's own: the children no longer decide it.
    FControl->FAutoScroll = false;
    FRange = std::max(0, Value);
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int Value) {
    const TWinControl* c = FControl;
    if (!c->HandleAllocated()) {
        // Read with the form: the children stand where this position puts them.
        FPosition = std::max(0, Value);
        return;
    }
    const TRect r = FControl->ClientRect();
    const int page = Vertical(FBar) ? r.Height() : r.Width();
    Value = std::clamp(Value, 0, std::max(0, FRange - page));
    if (!FShown) Value = 0;
    if (Value == FPosition) return;
    const int delta = FPosition - Value;
    FPosition = Value;
    if (Vertical(FBar))
        FControl->ScrollBy(0, delta);
    else
        FControl->ScrollBy(delta, 0);
    if (FShown) SetScrollPos(FControl->HandleIfAllocated(), FBar, FPosition, TRUE);
}

int TControlScrollBar::FullClientSize() const {
    HWND h = FControl->HandleIfAllocated();
    RECT r{};
    GetClientRect(h, &r);
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    if (Vertical(FBar)) return r.bottom + ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    return r.right + ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
}

void TControlScrollBar::ScrollMessage(int Code) {
    const TRect r = FControl->ClientRect();
    const int page = Vertical(FBar) ? r.Height() : r.Width();
    int pos = FPosition;
    switch (Code) {
    case SB_LINEUP: pos -= FIncrement; break;
    case SB_LINEDOWN: pos += FIncrement; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        // The 32-bit place of the thumb, not the message's 16-bit one.
        SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        if (GetScrollInfo(FControl->HandleIfAllocated(), FBar, &si)) pos = si.nTrackPos;
        break;
    }
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = FRange; break;
    default: return;
    }
    SetPosition(pos);
}

// ======================================================================
// TScrollingWinControl

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TCustomControl(AOwner), FHorzScrollBar(new TControlScrollBar(this, SB_HORZ)),
      FVertScrollBar(new TControlScrollBar(this, SB_VERT)) {}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool Value) {
    if (FAutoScroll == Value) return;
    FAutoScroll = Value;
    if (!Value) {
        FHorzScrollBar->FRange = 0;
        FVertScrollBar->FRange = 0;
    }
    UpdateScrollBars();
}

void TScrollingWinControl::CalcAutoRange() {
    int h = 0, v = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        const TControl* c = Controls(i);
        if (!c->Visible()) continue;
        if (ScrollsAlong(c, SB_HORZ) && !HeldToFarEdge(c, SB_HORZ)) h = std::max(h, c->Left() + c->Width() + FHorzScrollBar->FPosition);
        if (ScrollsAlong(c, SB_VERT) && !HeldToFarEdge(c, SB_VERT)) v = std::max(v, c->Top() + c->Height() + FVertScrollBar->FPosition);
    }
    FHorzScrollBar->FRange = h;
    FVertScrollBar->FRange = v;
}

void TScrollingWinControl::UpdateScrollBars() {
    if (!FHandle || FUpdatingScrollBars || FScrolling || IsLoading() || (ComponentState() & csDestroying)) return;
    FUpdatingScrollBars = true;
    ScopeExit done([this] { FUpdatingScrollBars = false; });
    if (FAutoScroll) CalcAutoRange();
    TControlScrollBar* bars[2] = {FHorzScrollBar.get(), FVertScrollBar.get()};
    const int fullW = bars[0]->FullClientSize(), fullH = bars[1]->FullClientSize();
    // Each bar takes room from the other's extent: settle both in two rounds.
    bool showH = false, showV = false;
    for (int round = 0; round < 2; ++round) {
        const int w = fullW - (showV ? GetSystemMetrics(SM_CXVSCROLL) : 0);
        const int hgt = fullH - (showH ? GetSystemMetrics(SM_CYHSCROLL) : 0);
        showH = bars[0]->FVisible && bars[0]->FRange > w;
        showV = bars[1]->FVisible && bars[1]->FRange > hgt;
    }
    const int pages[2] = {fullW - (showV ? GetSystemMetrics(SM_CXVSCROLL) : 0),
                          fullH - (showH ? GetSystemMetrics(SM_CYHSCROLL) : 0)};
    const bool show[2] = {showH, showV};
    for (int i = 0; i < 2; ++i) {
        TControlScrollBar* b = bars[i];
        b->FShown = show[i];
        if (show[i]) {
            SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, b->FRange - 1, UINT(std::max(0, pages[i])),
                          b->FPosition, 0};
            SetScrollInfo(FHandle, b->FBar, &si, TRUE);
            ShowScrollBar(FHandle, b->FBar, TRUE);
        } else {
            ShowScrollBar(FHandle, b->FBar, FALSE);
        }
    }
    // A bar that went, or a range that shrank, scrolls back so no gap shows.
    for (TControlScrollBar* b : bars) b->SetPosition(b->FPosition);
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY) {
    if (DeltaX == 0 && DeltaY == 0) return;
    FScrolling = true;
    {
        ScopeExit done([this] { FScrolling = false; });
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            const int dx = ScrollsAlong(c, SB_HORZ) ? DeltaX : 0, dy = ScrollsAlong(c, SB_VERT) ? DeltaY : 0;
            if (dx || dy) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
        }
    }
    if (FHandle) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
    if (!AControl || !FHandle) return;
    const TRect r = ClientRect();
    auto bring = [](TControlScrollBar* b, int start, int extent, int page) {
        if (start < 0)
            b->SetPosition(b->Position() + start);
        else if (start + extent > page)
            b->SetPosition(b->Position() + std::min(start, start + extent - page));
    };
    bring(FHorzScrollBar.get(), AControl->Left(), AControl->Width(), r.Width());
    bring(FVertScrollBar.get(), AControl->Top(), AControl->Height(), r.Height());
}

bool TScrollingWinControl::WheelScroll(int Delta) {
    TControlScrollBar* b = FVertScrollBar->FShown ? FVertScrollBar.get()
                           : FHorzScrollBar->FShown ? FHorzScrollBar.get()
                                                    : nullptr;
    if (!b) return false;
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (lines == WHEEL_PAGESCROLL) {
        const TRect r = ClientRect();
        lines = UINT(std::max(1, (b->FBar == SB_VERT ? r.Height() : r.Width()) / std::max(1, b->FIncrement)));
    }
    b->SetPosition(b->FPosition - Delta * int(lines) * b->FIncrement / WHEEL_DELTA);
    return true;
}

void TScrollingWinControl::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollBars();
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    TCustomControl::AlignControls(AControl, Rect);
    UpdateScrollBars();
}

void TScrollingWinControl::ChildBoundsChanged(TControl*) {
    if (FAutoScroll) UpdateScrollBars();
}

void TScrollingWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        // The window's own bars; a child scroll bar's notice is reflected to it.
        if (m.LParam == 0) {
            (m.Msg == WM_HSCROLL ? FHorzScrollBar : FVertScrollBar)->ScrollMessage(LOWORD(m.WParam));
            m.Result = 0;
            return;
        }
        break;
    case WM_MOUSEWHEEL:
        if (WheelScroll(GET_WHEEL_DELTA_WPARAM(m.WParam))) {
            m.Result = 0;
            return;
        }
        break;
    case WM_SIZE:
        TCustomControl::WndProc(m);
        // The client changed without the window (a bar came or went): lay out again.
        Realign();
        return;
    default: break;
    }
    TCustomControl::WndProc(m);
}
