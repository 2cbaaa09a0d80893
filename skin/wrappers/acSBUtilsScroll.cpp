// The emulated non-client scroll bars of TacScrollWnd: room, hit test,
// painting from the skin and mouse driving. Every point of a press, a hover
// and a thumb drag is kept in screen coordinates; client points of
// WM_MOUSEMOVE are turned into screen points first.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "acSBUtils.h"
#include "Forms.h"
#include "Guards.h"
#include "acntUtils.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sScrollGeometry.h"
#include "sSkinManager.h"

TacScrollMouse acScrollMouse;

void PaintScrollButtonSection(TsSkinManager* M, int Index, TBitmap* Bmp, TPoint Offset, const TRect& R, int State,
                              CacheInfo Under) {
    const TsCommonIndexes& ci = M->ConstData();
    PaintSectionWithImage(M->SectionAt(ci.ScrollBtn[Index]), ci.ScrollBtnBorder[Index], ci.ScrollBtnPattern[Index], M,
                          Bmp, Offset, R, State, true, Under, ci.ScrollBtnHotPattern[Index]);
}

void PaintScrollTrackSection(TsSkinManager* M, int Index, TBitmap* Bmp, TPoint Offset, const TRect& R, int State,
                             CacheInfo Under) {
    const TsCommonIndexes& ci = M->ConstData();
    PaintSectionWithImage(M->SectionAt(ci.ScrollBar[Index]), ci.ScrollBarBorder[Index], ci.ScrollBarPattern[Index], M,
                          Bmp, Offset, R, State, true, Under, ci.ScrollBarHotPattern[Index]);
}

namespace {

// The class library's message that the window became the UI-active one.
constexpr UINT CM_UIACTIVATE = 0xB029;
constexpr uint16_t kBarPresent = 8;

TsSkinManager* ManagerOf(const TacMainWnd* W) { return W && W->SkinData ? W->SkinData->SkinManager() : nullptr; }

void ReadScrollInfo(HWND H, TacScrollBar* Bar) {
    Bar->ScrollInfo = SCROLLINFO{};
    Bar->ScrollInfo.cbSize = sizeof(SCROLLINFO);
    Bar->ScrollInfo.fMask = SIF_ALL;
    if (!GetScrollInfo(H, Bar->Kind == 0 ? SB_HORZ : SB_VERT, &Bar->ScrollInfo)) {
        Bar->ScrollInfo = SCROLLINFO{};
        Bar->ScrollInfo.cbSize = sizeof(SCROLLINFO);
    }
}

TacScrollInfo PortableInfo(const SCROLLINFO& S) {
    TacScrollInfo i;
    i.fMask = S.fMask;
    i.nMin = S.nMin;
    i.nMax = S.nMax;
    i.nPage = S.nPage;
    i.nPos = S.nPos;
    i.nTrackPos = S.nTrackPos;
    return i;
}

// A bar seen along its length, in screen coordinates: the rectangle, the
// system arrow, the thumb.
struct BarView {
    TRect R;
    int Length = 0, Thickness = 0, Arrow = 0;
    TacNCThumb Thumb;
    bool Vertical = false;
    int Along(POINT P) const { return Vertical ? P.y - R.Top : P.x - R.Left; }
    int Across(POINT P) const { return Vertical ? P.x - R.Left : P.y - R.Top; }
    int PartAt(POINT P) const { return NCPartAt(Length, Arrow, Thumb, Thickness, Along(P), Across(P)); }
};

BarView ViewOf(TacScrollWnd* W, HWND H, int Kind) {
    BarView v;
    TacScrollBar* bar = W->Bar(Kind);
    v.Vertical = Kind == 1;
    v.R = v.Vertical ? GetVertBarRect(W, H) : GetHorzBarRect(W, H);
    v.Length = v.Vertical ? v.R.Height() : v.R.Width();
    v.Thickness = v.Vertical ? v.R.Width() : v.R.Height();
    v.Arrow = GetScrollMetric(bar, 0, false);
    v.Thumb = NCThumbGeometry(v.Length, v.Arrow, PortableInfo(bar->ScrollInfo), bar->MinThumbSize);
    return v;
}

bool PointIn(const TRect& R, POINT P) { return P.x >= R.Left && P.x < R.Right && P.y >= R.Top && P.y < R.Bottom; }

POINT CursorPoint() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

// ---- painting

// What lies under a rectangle of the window (window coordinates): the
// parent's image at the matching place, or its colour (button face when
// the parent has none). A skinned form's bars lie on the form's own image,
// which covers the whole window.
CacheInfo BackgroundUnder(const TacScrollWnd* W, HWND H, const TRect& InWindow) {
    CacheInfo c;
    HWND parent = W->OwnBackground ? H : GetParent(H);
    BackgroundInfo info;
    info.X = info.Y = 0;
    if (parent && QueryParentBackground(info, parent, false)) BackgroundToCacheInfo(info, c);
    if (c.Ready && W->OwnBackground) {
        c.X = InWindow.Left;
        c.Y = InWindow.Top;
    } else if (c.Ready) {
        const TacWndGeometry g = GetWndGeometry(H);
        c.X += g.WndPos.X + InWindow.Left;
        c.Y += g.WndPos.Y + InWindow.Top;
    } else {
        c.Bmp = nullptr;
        if (!parent || info.BgType == 0 || c.Color == TransparentKeyColor) c.Color = TColor(GetSysColor(COLOR_BTNFACE));
    }
    return c;
}

void FillFromBackground(TBitmap* Bmp, const TRect& R, const CacheInfo& Bg) {
    if (Bg.Ready && Bg.Bmp)
        BitBlt(Bmp->Canvas()->Handle(), R.Left, R.Top, R.Width(), R.Height(), Bg.Bmp->Canvas()->Handle(),
               Bg.X + R.Left, Bg.Y + R.Top, SRCCOPY);
    else
        FillRectOnDC(Bmp->Canvas()->Handle(), R, Bg.Color);
}

// A button or the thumb: its own bitmap over a copy of what lies under it,
// the section with its image, the glyph, copied into the bar's bitmap.
void PaintPart(TsSkinManager* M, TBitmap* Bar, const TRect& R, int Index, int State) {
    const TsCommonIndexes& ci = M->ConstData();
    if (R.Width() <= 0 || R.Height() <= 0 || !M->IsValidSectionIndex(ci.ScrollBtn[Index])) return;
    std::unique_ptr<TBitmap> part(CreateBitmap24(R.Width(), R.Height()));
    HDC pdc = part->Canvas()->Handle(), bdc = Bar->Canvas()->Handle();
    BitBlt(pdc, 0, 0, R.Width(), R.Height(), bdc, R.Left, R.Top, SRCCOPY);
    const TRect local = Rect(0, 0, R.Width(), R.Height());
    PaintScrollButtonSection(M, Index, part.get(), Point(0, 0), local, State, MakeBitmapBackground(Bar, R.Left, R.Top));
    PaintScrollGlyph(M, Index, part.get(), local, State);
    BitBlt(bdc, R.Left, R.Top, R.Width(), R.Height(), pdc, 0, 0, SRCCOPY);
}

struct BarPaint {
    int ShownPart = acPartNone;  // part shown pressed
    int ThumbPos = -1;           // >= 0: thumb start along the bar (a drag)
    bool Dragging = false;
};

void PaintOneBar(TacScrollWnd* W, HWND H, HDC DC, int Kind, const BarPaint& P) {
    TacScrollBar* bar = W->Bar(Kind);
    if (!bar || !bar->Visible) return;
    if (W->ThumbDragging && !P.Dragging) return;
    if (Kind == 1 && W->OwnScroll && !P.Dragging) return;
    TsSkinManager* m = ManagerOf(W);
    if (!m) return;
    const TsCommonIndexes& ci = m->ConstData();
    const bool vert = Kind == 1;
    const int t1 = vert ? 1 : 0, t2 = vert ? 3 : 2;
    if (!m->IsValidSectionIndex(ci.ScrollBar[t1])) return;
    ReadScrollInfo(H, bar);
    const BarView v = ViewOf(W, H, Kind);
    if (v.Length <= 1 || v.Thickness <= 0) return;
    RECT wr{};
    GetWindowRect(H, &wr);
    const TRect inWindow = Bounds(v.R.Left - wr.left, v.R.Top - wr.top, v.R.Width(), v.R.Height());
    const int arrow = GetScrollMetric(bar, 0, true);
    const TControl* owner = W->SkinData ? W->SkinData->OwnerControl : nullptr;
    const bool usable = ScrollBarUsable(H, Kind) && (!owner || owner->Enabled());
    const bool here = acScrollMouse.Wnd == H;
    auto arrowState = [&](int Part) {
        if (!here) return 0;
        if (P.ShownPart == Part) return 2;
        return acScrollMouse.HoverBar == Kind && acScrollMouse.HoverPart == Part && usable ? 1 : 0;
    };
    const int thumbStart = P.ThumbPos >= 0 ? P.ThumbPos : v.Thumb.Start;

    std::unique_ptr<TBitmap> bmp(CreateBitmap24(v.R.Width(), v.R.Height()));
    const TRect all = Rect(0, 0, v.R.Width(), v.R.Height());
    const CacheInfo bg = BackgroundUnder(W, H, inWindow);
    FillFromBackground(bmp.get(), all, bg);
    auto span = [&](int From, int To) { return vert ? Rect(0, From, v.R.Width(), To) : Rect(From, 0, To, v.R.Height()); };
    auto track = [&](int T, int Half, const TRect& R, int State) {
        PaintScrollTrackSection(m, T, bmp.get(), Point(0, 0), R, State, MakeBitmapBackground(bmp.get(), 0, 0));
    };
    const int b1 = vert ? 0 : 2, b2 = vert ? 1 : 3, slider = vert ? 4 : 5;
    if (2 * arrow <= v.Length) {
        const int centre = std::clamp(thumbStart + v.Thumb.Size / 2, 0, v.Length);
        track(t1, 0, span(0, centre), P.ShownPart == acPartTrack1 ? 2 : 0);
        track(t2, 1, span(centre, v.Length), P.ShownPart == acPartTrack2 ? 2 : 0);
        PaintPart(m, bmp.get(), span(0, arrow), b1, arrowState(acPartArrow1));
        PaintPart(m, bmp.get(), span(v.Length - arrow, v.Length), b2, arrowState(acPartArrow2));
        const SCROLLINFO& si = bar->ScrollInfo;
        const int range = si.nMax - si.nMin;
        const int skinTrack = v.Length - 2 * arrow;
        const int size = std::max(acMulDiv(int(si.nPage), skinTrack, range), int(bar->MinThumbSize));
        if (usable && range > 0 && size > 0 && size <= skinTrack) {
            const int st = P.Dragging ? 2
                           : here && acScrollMouse.HoverBar == Kind && acScrollMouse.HoverPart == acPartThumb ? 1
                                                                                                             : 0;
            // Between the skin's arrows, which may be longer than the system's.
            const int thumb = std::min(v.Thumb.Size, skinTrack);
            const int from = std::clamp(thumbStart, arrow, v.Length - arrow - thumb);
            PaintPart(m, bmp.get(), span(from, from + thumb), slider, st);
        }
    } else {
        const int half = v.Length / 2;
        track(t1, 0, span(0, half), 0);
        track(t2, 1, span(half, v.Length), 0);
        PaintPart(m, bmp.get(), span(0, half), b1, arrowState(acPartArrow1));
        PaintPart(m, bmp.get(), span(v.Length - half, v.Length), b2, arrowState(acPartArrow2));
    }
    if (!usable) {
        if (bg.Ready && bg.Bmp)
            BlendBitmapRect(bmp.get(), 0, 0, clNone, 0.4, Bounds(bg.X, bg.Y, all.Width(), all.Height()), bg.Bmp);
        else
            BlendRoundRect(bmp.get(), all, 60, 0, 0, bg.Color);
    }
    BitBlt(DC, inWindow.Left, inWindow.Top, all.Width(), all.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The square between two visible bars, with the size grip when the window
// sits in its parent's corner.
void PaintCorner(TacScrollWnd* W, HWND H, HDC DC) {
    const TRect hr = GetHorzBarRect(W, H), vr = GetVertBarRect(W, H);
    const TRect corner = Rect(vr.Left, hr.Top, vr.Right, hr.Bottom);
    if (corner.Width() <= 0 || corner.Height() <= 0) return;
    RECT wr{};
    GetWindowRect(H, &wr);
    const TRect inWindow = Bounds(corner.Left - wr.left, corner.Top - wr.top, corner.Width(), corner.Height());
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(corner.Width(), corner.Height()));
    FillFromBackground(bmp.get(), Rect(0, 0, corner.Width(), corner.Height()), BackgroundUnder(W, H, inWindow));
    TsSkinManager* m = ManagerOf(W);
    if (m && InParentCorner(W, H, corner)) {
        const int grip = GlobalMask(m, "GRIPIMAGE");
        if (m->IsValidMaskIndex(grip)) {
            const TPoint cell = m->MaskStateSize(grip);
            PaintGlyphFromImage(bmp.get(), Point(corner.Width() - cell.X, corner.Height() - cell.Y), 0, 1,
                                m->ma()[size_t(grip)], MakeBitmapBackground(bmp.get(), 0, 0));
        }
    }
    BitBlt(DC, inWindow.Left, inWindow.Top, corner.Width(), corner.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void PaintBars(TacScrollWnd* W, HWND H, HDC DC, int DragKind, int ThumbPos) {
    for (int kind = 0; kind < 2; ++kind) {
        BarPaint p;
        if (acScrollMouse.Wnd == H && acScrollMouse.PressedBar == kind) p.ShownPart = acScrollMouse.ShownPart;
        if (kind == DragKind) {
            p.Dragging = true;
            p.ThumbPos = ThumbPos;
        }
        PaintOneBar(W, H, DC, kind, p);
    }
    if (W->HorzBar()->Visible && W->VertBar()->Visible) PaintCorner(W, H, DC);
}

void ClearPress() {
    acScrollMouse.PressedBar = -1;
    acScrollMouse.PressedPart = acScrollMouse.ShownPart = acPartNone;
    acScrollMouse.RepeatTimer = 0;
    acScrollMouse.ScrollMsg = 0;
}

void ClearHover() {
    acScrollMouse.HoverBar = -1;
    acScrollMouse.HoverPart = acScrollMouse.PaintedHoverPart = acPartNone;
    acScrollMouse.HoverTimer = 0;
    acScrollMouse.HoverRect = TRect{};
}

}  // namespace

// ---------------------------------------------------------------- set-up and shared functions

TacScrollWnd::TacScrollWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                           TsCommonData* Data)
    : TacMainWnd(AHandle, Repaint, Section, Manager, Data) {}

TacScrollWnd::~TacScrollWnd() {
    if (!Destroyed) StopScrollMouse();
}

void TacScrollWnd::StopScrollMouse() {
    if (acScrollMouse.Wnd == CtrlHandle && CtrlHandle) {
        if (IsWindow(CtrlHandle)) ReleasePress(false);
        ClearPress();
        ClearHover();
        ThumbDragging = false;
        acScrollMouse.Wnd = nullptr;
    }
    KillScrollTimers();
}

void InitScrollBars(TacScrollWnd* W, HWND H, bool Repaint) {
    W->OwnScroll = false;
    W->CtrlHandle = H;
    W->FBars[0] = std::make_unique<TacScrollBar>(W, 0);
    W->FBars[1] = std::make_unique<TacScrollBar>(W, 1);
    ReadScrollInfo(H, W->FBars[0].get());
    ReadScrollInfo(H, W->FBars[1].get());
    W->LeftScrollBar = (GetWindowLongPtrW(H, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const LONG_PTR style = GetWindowLongPtrW(H, GWL_STYLE);
    W->FBars[0]->ScrollFlags = (style & WS_HSCROLL) ? kBarPresent : 0;
    W->FBars[1]->ScrollFlags = (style & WS_VSCROLL) ? kBarPresent : 0;
    W->StyleGuard = false;
    Attach(W, H);
    W->FBars[0]->MinThumbSize = W->FBars[1]->MinThumbSize = 10;
    if (Repaint) RefreshWndFrame(H, true);
}

TacScrollBar* GetScrollBarObject(HWND H, int Which) {
    auto* w = dynamic_cast<TacScrollWnd*>(GetWrapper(H));
    return w ? w->Bar(Which) : nullptr;
}

void UpdateScrollWrapper(TsCommonData* Data, TacScrollWnd*& Wrapper, TacScrollWnd* (*Make)(HWND, TsCommonData*)) {
    if (!Data) return;
    auto* ctrl = dynamic_cast<TWinControl*>(Data->OwnerControl);
    if (!ctrl || (ctrl->ComponentState() & (csLoading | csDestroying | csDesigning))) return;
    if (Data->IsSkinned()) {
        if (!ctrl->HandleAllocated()) return;
        const HWND h = ctrl->Handle();
        UninitializeFlatSB(h);
        if (Wrapper && Wrapper->Destroyed) {
            delete Wrapper;
            Wrapper = nullptr;
        }
        if (!Wrapper) Wrapper = Make ? Make(h, Data) : CreateWrapper<TacScrollWnd>(h, true, "", Data->SkinManager(), Data);
    } else {
        delete Wrapper;
        Wrapper = nullptr;
        if (ctrl->HandleAllocated()) InitializeFlatSB(ctrl->Handle());
    }
}

void UpdateScrollInfo(TacScrollWnd* W, bool Repaint) {
    if (!W || W->Destroyed || !W->HorzBar()) return;
    ReadScrollInfo(W->CtrlHandle, W->HorzBar());
    ReadScrollInfo(W->CtrlHandle, W->VertBar());
    if (Repaint && !FadeInProgress) PaintScrollBars(W, W->CtrlHandle);
}

void DetachScrollWrapper(HWND H, bool Free, bool Refresh, TacScrollWnd*& Wrapper) {
    if (!Wrapper) return;
    // Every wrapper gives its window back: a foreign one too, or it would
    // be left calling a freed object.
    TacMainWnd* w = Wrapper;
    DetachWrapper(H, Free, Refresh, w);
    if (!w) Wrapper = nullptr;
}

int GetScrollMetric(const TacScrollBar* Bar, int Which, bool UseSkin) {
    if (!Bar || Bar->Kind > 1) return 0;
    if (Which == 1) {
        if (Bar->Thickness >= 0) return Bar->Thickness;
        return GetSystemMetrics(Bar->Kind == 0 ? SM_CYHSCROLL : SM_CXVSCROLL);
    }
    if (Which != 0) return 0;
    if (Bar->ArrowLength >= 0) return Bar->ArrowLength;
    if (UseSkin) {
        if (TsSkinManager* m = ManagerOf(Bar->Owner)) {
            const TsCommonIndexes& ci = m->ConstData();
            const int b = Bar->Kind == 0 ? 2 : 0;
            if (m->IsValidSectionIndex(ci.ScrollBtn[b]) && m->IsValidMaskIndex(ci.ScrollBtnBorder[b])) {
                const TPoint cell = m->MaskStateSize(ci.ScrollBtnBorder[b]);
                return std::max(HScrollHeight, Bar->Kind == 0 ? cell.X : cell.Y);
            }
        }
    }
    return HScrollHeight;
}

TRect GetHorzBarRect(TacScrollWnd* W, HWND H) {
    RECT wr{};
    GetWindowRect(H, &wr);
    const int t = GetScrollMetric(W->HorzBar(), 1, false);
    TRect r = Rect(wr.left + W->EdgeLeft, wr.bottom - W->EdgeBottom - t, wr.right - W->EdgeRight, wr.bottom - W->EdgeBottom);
    if (W->VertBar()->Visible) {
        const int v = GetScrollMetric(W->VertBar(), 1, false);
        if (W->LeftScrollBar)
            r.Left += v;
        else
            r.Right -= v;
    }
    return r;
}

TRect GetVertBarRect(TacScrollWnd* W, HWND H) {
    RECT wr{};
    GetWindowRect(H, &wr);
    const int t = GetScrollMetric(W->VertBar(), 1, false);
    TRect r = W->LeftScrollBar
                  ? Rect(wr.left + W->EdgeLeft, wr.top + W->EdgeTop, wr.left + W->EdgeLeft + t, wr.bottom - W->EdgeBottom)
                  : Rect(wr.right - W->EdgeRight - t, wr.top + W->EdgeTop, wr.right - W->EdgeRight, wr.bottom - W->EdgeBottom);
    if (W->HorzBar()->Visible) r.Bottom -= GetScrollMetric(W->HorzBar(), 1, false);
    return r;
}

bool InParentCorner(TacScrollWnd* W, HWND H, const TRect& R) {
    HWND parent = GetParent(H);
    if (!parent) return true;
    if (GetParent(parent) && (GetWindowLongPtrW(parent, GWL_STYLE) & WS_CHILD)) return false;
    RECT cr{};
    GetClientRect(parent, &cr);
    POINT corner{W->LeftScrollBar ? cr.left : cr.right, cr.bottom};
    ClientToScreen(parent, &corner);
    if (W->LeftScrollBar) return R.Left - W->EdgeLeft == corner.x && R.Bottom + W->EdgeBottom == corner.y;
    return R.Right + W->EdgeRight == corner.x && R.Bottom + W->EdgeBottom == corner.y;
}

void PaintScrollBars(TacScrollWnd* W, HWND H, HDC DC, int ThumbPos, HRGN) {
    if (!W || W->Destroyed || !W->HorzBar() || !IsWindow(H)) return;
    if (TsCommonData* d = W->SkinData) {
        d->UpdatingFlag = d->IsUpdating();
        if (d->UpdatingFlag) return;
        if (auto* c = d->OwnerControl; c && ((c->ControlState() & csCreating) || !c->Showing())) return;
        if (d->BackgroundDirty) SendEngineCommandToHandle(H, scUpdateCache, 0);
    }
    std::unique_ptr<WindowDC> own;
    if (!DC) {
        own = std::make_unique<WindowDC>(H, WindowDC::Window);
        DC = own->Get();
    }
    if (!DC) return;
    const int drag = ThumbPos >= 0 && acScrollMouse.Wnd == H ? acScrollMouse.PressedBar : -1;
    PaintBars(W, H, DC, drag, ThumbPos);
}

void SendScrollMessage(HWND H, UINT Message, int Code, int Position) {
    const LPARAM tag = MAKELONG(Code, Message);
    const bool skinned = SendEngineCommandToHandle(H, scBeforeScroll, tag) == 1;
    const WPARAM w = MAKEWPARAM(Code, Position);
    if (!skinned) {
        const int bar = Message == WM_HSCROLL ? SB_HORZ : SB_VERT;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        GetScrollInfo(H, bar, &si);
        if (Code == SB_THUMBTRACK) {
            si.fMask = SIF_POS;
            si.nPos = Position;
            SetScrollInfo(H, bar, &si, FALSE);
        }
        SendMessageW(H, Message, w, 0);
    } else {
        SendMessageW(H, Message, w, Position);
    }
    SendEngineCommandToHandle(H, scAfterScroll, tag);
}

void PaintCentredGlyph(TsSkinManager* M, int Glyph, TBitmap* Target, const TRect& R, int State, int Shift) {
    if (!M || !M->IsValidMaskIndex(Glyph)) return;
    const TPoint cell = M->MaskStateSize(Glyph);
    if (cell.X <= 0 || cell.Y <= 0 || cell.X > R.Width() || cell.Y > R.Height()) return;
    const TPoint at = Point(R.Left + (R.Width() - cell.X) / 2 + Shift, R.Top + (R.Height() - cell.Y) / 2 + Shift);
    PaintGlyphFromImage(Target, at, State, 1, M->ma()[size_t(Glyph)], MakeBitmapBackground(Target, 0, 0));
}

void PaintScrollGlyph(TsSkinManager* M, int Index, TBitmap* Target, const TRect& R, int State, int Shift) {
    if (!M || Index < 0 || Index > 5) return;
    const TsCommonIndexes& ci = M->ConstData();
    if (M->IsValidMaskIndex(ci.ScrollBtnGlyph[Index]) || Index > 3) {
        PaintCentredGlyph(M, ci.ScrollBtnGlyph[Index], Target, R, State, Shift);
        return;
    }
    DrawPlainArrow(Target->Canvas()->Handle(), Rect(R.Left + Shift, R.Top + Shift, R.Right + Shift, R.Bottom + Shift),
                   Index, SectionFontColor(M, ci.ScrollBtn[Index], State));
}

bool ScrollBarUsable(HWND H, int Kind) {
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    if (!GetScrollBarInfo(H, Kind == 0 ? LONG(OBJID_HSCROLL) : LONG(OBJID_VSCROLL), &sbi)) return false;
    return !(sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
}

// ---------------------------------------------------------------- the procedure

bool TacScrollWnd::PressRunning() const {
    const TacScrollMouse& ms = acScrollMouse;
    return ms.Wnd == CtrlHandle && (ms.PressedPart != acPartNone || ThumbDragging);
}

void TacScrollWnd::KillScrollTimers() {
    if (!IsWindow(CtrlHandle)) return;
    KillTimer(CtrlHandle, acFirstDelayTimer);
    KillTimer(CtrlHandle, acRepeatTimer);
    KillTimer(CtrlHandle, acHoverTimer);
}

void TacScrollWnd::ReleasePress(bool Send) {
    TacScrollMouse& ms = acScrollMouse;
    if (!PressRunning()) return;
    const UINT msg = ms.ScrollMsg;
    const bool dragged = ThumbDragging;
    const int last = ms.LastPos;
    // State first: releasing the capture sends WM_CAPTURECHANGED back here.
    // The hover ends with the press; the next move over a bar starts it again.
    ClearPress();
    ClearHover();
    ms.Wnd = nullptr;
    ThumbDragging = false;
    KillScrollTimers();
    if (GetCapture() == CtrlHandle && !KeepsCapture()) ReleaseCapture();
    if (Send && msg) {
        ValueRestorer<bool> own(OwnScroll, true);
        if (dragged) SendScrollMessage(CtrlHandle, msg, SB_THUMBPOSITION, last);
        SendScrollMessage(CtrlHandle, msg, SB_ENDSCROLL, dragged ? last : 0);
    }
    UpdateScrollInfo(this, true);
}

void TacScrollWnd::WMNCCalcSize(TMessage& M) {
    RECT* r = M.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0] : reinterpret_cast<RECT*>(M.LParam);
    if (!r) {
        PassOn(M);
        return;
    }
    const RECT proposed = *r;
    const LONG_PTR style = GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
    if (style & (WS_HSCROLL | WS_VSCROLL)) {
        {
            // The window's own procedure must not reserve the system bars' room.
            ValueRestorer<bool> guard(StyleGuard, true);
            SetWindowLongPtrW(CtrlHandle, GWL_STYLE, style & ~LONG_PTR(WS_HSCROLL | WS_VSCROLL));
            ScopeExit back([&] { SetWindowLongPtrW(CtrlHandle, GWL_STYLE, style); });
            PassOn(M);
        }
    } else {
        PassOn(M);
    }
    EdgeLeft = r->left - proposed.left;
    EdgeTop = r->top - proposed.top;
    EdgeRight = proposed.right - r->right;
    EdgeBottom = proposed.bottom - r->bottom;
    TacScrollBar* hb = HorzBar();
    TacScrollBar* vb = VertBar();
    hb->ScrollFlags = (style & WS_HSCROLL) ? kBarPresent : 0;
    vb->ScrollFlags = (style & WS_VSCROLL) ? kBarPresent : 0;
    const int ht = GetScrollMetric(hb, 1, false), vt = GetScrollMetric(vb, 1, false);
    hb->Visible = hb->ScrollFlags && r->bottom - r->top >= ht;
    if (hb->Visible) r->bottom -= ht;
    vb->Visible = vb->ScrollFlags && r->right - r->left >= vt;
    if (vb->Visible) {
        if (LeftScrollBar)
            r->left += vt;
        else
            r->right -= vt;
    }
}

bool TacScrollWnd::WMNCHitTest(TMessage& M) {
    const POINT p{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    const bool hv = HorzBar()->Visible, vv = VertBar()->Visible;
    const TRect hr = GetHorzBarRect(this, CtrlHandle), vr = GetVertBarRect(this, CtrlHandle);
    if (hv && PointIn(hr, p)) {
        M.Result = ScrollBarUsable(CtrlHandle, 0) ? HTHSCROLL : HTNOWHERE;
        return true;
    }
    if (vv && PointIn(vr, p)) {
        M.Result = ScrollBarUsable(CtrlHandle, 1) ? HTVSCROLL : HTNOWHERE;
        return true;
    }
    if (hv && vv) {
        const TRect corner = Rect(vr.Left, hr.Top, vr.Right, hr.Bottom);
        if (PointIn(corner, p) && InParentCorner(this, CtrlHandle, corner)) {
            M.Result = HTBOTTOMRIGHT;
            return true;
        }
    }
    return false;
}

bool TacScrollWnd::WMNCMouseMove(TMessage& M) {
    if (M.WParam != HTHSCROLL && M.WParam != HTVSCROLL) return false;
    TacScrollMouse& ms = acScrollMouse;
    const int bar = M.WParam == HTHSCROLL ? 0 : 1;
    if (ms.Wnd != CtrlHandle) {
        if (ms.Wnd && ms.HoverTimer && IsWindow(ms.Wnd)) KillTimer(ms.Wnd, acHoverTimer);
        ClearHover();
        ms.Wnd = CtrlHandle;
    }
    if (ms.HoverBar != bar) {
        ms.HoverBar = bar;
        ms.HoverPart = ms.PaintedHoverPart = acPartNone;
        ms.HoverRect = bar == 0 ? GetHorzBarRect(this, CtrlHandle) : GetVertBarRect(this, CtrlHandle);
        ms.HoverTimer = SetTimer(CtrlHandle, acHoverTimer, acHoverInterval, nullptr) ? acHoverTimer : 0;
        PaintScrollBars(this, CtrlHandle);
    }
    return false;
}

static void HoverTick(TacScrollWnd* W) {
    TacScrollMouse& ms = acScrollMouse;
    const HWND h = W->CtrlHandle;
    if (ms.Wnd != h || ms.HoverBar < 0) {
        KillTimer(h, acHoverTimer);
        return;
    }
    const POINT p = CursorPoint();
    if (PointIn(ms.HoverRect, p)) {
        ms.HoverPart = ViewOf(W, h, ms.HoverBar).PartAt(p);
        if (ms.HoverPart != ms.PaintedHoverPart) {
            ms.PaintedHoverPart = ms.HoverPart;
            PaintScrollBars(W, h);
        }
        return;
    }
    KillTimer(h, acHoverTimer);
    ClearHover();
    PaintScrollBars(W, h);
}

bool TacScrollWnd::WMNCButtonDown(TMessage& M) {
    if (M.WParam != HTHSCROLL && M.WParam != HTVSCROLL) return false;
    const int bar = M.WParam == HTHSCROLL ? 0 : 1;
    if (!ScrollBarUsable(CtrlHandle, bar)) return false;
    TacScrollMouse& ms = acScrollMouse;
    ReadScrollInfo(CtrlHandle, Bar(bar));
    const BarView v = ViewOf(this, CtrlHandle, bar);
    const POINT p{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    const int part = v.PartAt(p);
    if (part == acPartNone) return false;
    ReleasePress(false);
    ms.Wnd = CtrlHandle;
    ms.PressedBar = bar;
    ms.ScrollMsg = bar == 0 ? WM_HSCROLL : WM_VSCROLL;
    ms.PressedPart = part;
    if (part == acPartThumb) {
        SCROLLINFO& si = Bar(bar)->ScrollInfo;
        ms.ThumbSize = v.Thumb.Size;
        ms.ThumbStart = v.Thumb.Start;
        ms.DragBarRect = v.R;
        ms.GrabOffset = v.Along(p) - v.Thumb.Start;
        ms.LastPos = si.nPos;
        si.nTrackPos = si.nPos;
        ThumbDragging = true;
        SetCapture(CtrlHandle);
        PaintScrollBars(this, CtrlHandle, nullptr, ms.ThumbStart);
    } else {
        ms.ShownPart = part;
        PaintScrollBars(this, CtrlHandle);
        SetCapture(CtrlHandle);
        SendScrollMessage(CtrlHandle, ms.ScrollMsg, part, 0);
        ms.RepeatTimer = SetTimer(CtrlHandle, acFirstDelayTimer, acFirstDelay, nullptr) ? acFirstDelayTimer : 0;
        UpdateScrollInfo(this, true);
    }
    M.Result = 0;
    return true;
}

// A pointer at screen point P during a press: the thumb follows a drag, a
// pressed part is shown pressed while the pointer is on it.
static void TrackPointer(TacScrollWnd* W, POINT P) {
    TacScrollMouse& ms = acScrollMouse;
    const HWND h = W->CtrlHandle;
    if (W->ThumbDragging) {
        const int kind = ms.PressedBar;
        TacScrollBar* bar = W->Bar(kind);
        const bool vert = kind == 1;
        const TRect& r = ms.DragBarRect;
        const int length = vert ? r.Height() : r.Width();
        const int arrow = GetScrollMetric(bar, 0, false);
        const int along = (vert ? P.y - r.Top : P.x - r.Left) - ms.GrabOffset;
        const int start = std::clamp(along, arrow, std::max(arrow, length - arrow - ms.ThumbSize));
        ms.ThumbStart = start;
        const int pos = NCDragPosition(length, arrow, ms.ThumbSize, start, PortableInfo(bar->ScrollInfo));
        if (pos != ms.LastPos) {
            ms.LastPos = pos;
            bar->ScrollInfo.nTrackPos = pos;
            ValueRestorer<bool> own(W->OwnScroll, true);
            SendScrollMessage(h, ms.ScrollMsg, SB_THUMBTRACK, pos);
        }
        // After the window's answer, which may have drawn the system's bar.
        PaintScrollBars(W, h, nullptr, start);
        return;
    }
    const int part = ViewOf(W, h, ms.PressedBar).PartAt(P);
    const int shown = part == ms.PressedPart ? part : acPartNone;
    if (shown != ms.ShownPart) {
        ms.ShownPart = shown;
        PaintScrollBars(W, h);
    }
}

bool TacScrollWnd::WMMouseMove(TMessage& M) {
    if (!PressRunning()) return false;
    POINT p{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    ClientToScreen(CtrlHandle, &p);
    TrackPointer(this, p);
    M.Result = 0;
    return true;
}

void TacScrollWnd::RepeatStep() {
    TacScrollMouse& ms = acScrollMouse;
    if (ms.Wnd != CtrlHandle || ms.PressedPart == acPartNone) return;
    TrackPointer(this, CursorPoint());
    if (ms.ShownPart == acPartNone) return;
    {
        ValueRestorer<bool> own(OwnScroll, true);
        SendScrollMessage(CtrlHandle, ms.ScrollMsg, ms.ShownPart, 0);
    }
    UpdateScrollInfo(this, true);
}

bool TacScrollWnd::WMTimer(TMessage& M) {
    TacScrollMouse& ms = acScrollMouse;
    switch (M.WParam) {
    case acHoverTimer:
        if (!ThumbDragging) HoverTick(this);
        return true;
    case acFirstDelayTimer:
        KillTimer(CtrlHandle, acFirstDelayTimer);
        if (ms.Wnd != CtrlHandle || ms.PressedPart == acPartNone) return true;
        ms.RepeatTimer = SetTimer(CtrlHandle, acRepeatTimer, acRepeatInterval, nullptr) ? acRepeatTimer : 0;
        RepeatStep();
        return true;
    case acRepeatTimer:
        if (ms.Wnd != CtrlHandle || ms.PressedPart == acPartNone)
            KillTimer(CtrlHandle, acRepeatTimer);
        else
            RepeatStep();
        return true;
    default: return false;
    }
}

// The messages that end a press (release, capture loss), skinned or not: a
// press or hover that began skinned still ends after the skin went, and its
// timers go. Answers whether the message was consumed.
bool TacScrollWnd::HandlePressEnd(TMessage& M) {
    switch (M.Msg) {
    case WM_TIMER:
        if (M.WParam != acHoverTimer && M.WParam != acFirstDelayTimer && M.WParam != acRepeatTimer) return false;
        StopScrollMouse();
        return true;
    case WM_LBUTTONUP:
    case WM_CANCELMODE: ReleasePress(true); return false;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(M.LParam) != CtrlHandle) ReleasePress(true);
        return false;
    default: return false;
    }
}

bool TacScrollWnd::HandleScrollSkinCommand(TMessage& M) {
    const bool ours = M.LParam == reinterpret_cast<LPARAM>(ManagerOf(this));
    switch (SkinCommandOf(M.WParam)) {
    case scIsSkinned: M.Result = 1; return true;
    case scQueryColor:
        PassOn(M);
        if (M.Result == 0) M.Result = LRESULT(SkinData->BackgroundColor(0, CtrlHandle));
        return true;
    case scGetBackground: {
        auto* info = reinterpret_cast<BackgroundInfo*>(M.LParam);
        if (info) info->BgType = 0;
        PassOn(M);
        if (info && info->BgType == 0) SkinData->FillBackgroundInfo(*info, 0, CtrlHandle);
        return true;
    }
    case scGetApplication: M.Result = reinterpret_cast<LRESULT>(Application); return true;
    case scNewSkin:
        if (ours) SkinData->ResolveIndexes();
        break;
    case scRemoveSkin:
        if (ours) RestorePlainLook();
        break;
    case scRefresh:
        if (ours) {
            SkinData->ResolveIndexes();
            SkinData->BackgroundDirty = true;
        }
        break;
    case scRepaint:
        if (!SkinData->UpdatingFlag) return false;
        SkinData->UpdatingFlag = false;
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        break;
    case scSetUpdating: SkinData->UpdatingFlag = SkinArgumentOf(M.WParam) == 1; break;
    default: return false;
    }
    PassOn(M);
    return true;
}

void TacScrollWnd::WndProc(TMessage& M) {
    if (SkinData) SkinManager = SkinData->SkinManager();
    switch (M.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
        if (ObjectOrMethodSaved()) {
            TacScrollWnd* self = this;
            DetachScrollWrapper(CtrlHandle, false, false, self);
        }
        PassOn(M);
        return;
    case WM_UPDATEUISTATE: return;
    default: break;
    }
    if (Destroyed) return;
    if (!SkinData || !SkinData->IsSkinned(true)) {
        if (!HandlePressEnd(M)) TacMainWnd::WndProc(M);
        return;
    }
    bool done = false;
    switch (M.Msg) {
    case SM_ALPHACMD: done = HandleScrollSkinCommand(M); break;
    case WM_NCCALCSIZE: WMNCCalcSize(M); return;
    case WM_NCHITTEST: done = WMNCHitTest(M); break;
    case WM_NCMOUSEMOVE: done = WMNCMouseMove(M); break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: done = WMNCButtonDown(M); break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
        if (M.WParam == HTHSCROLL || M.WParam == HTVSCROLL) {
            M.Result = 0;
            return;
        }
        break;
    case WM_MOUSEMOVE: done = WMMouseMove(M); break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: HandlePressEnd(M); break;
    case WM_TIMER:
        if (WMTimer(M)) return;
        TacMainWnd::WndProc(M);
        if (!OwnScroll && !ThumbDragging) UpdateScrollInfo(this, true);
        return;
    case WM_STYLECHANGED:
        if (StyleGuard) {
            M.Result = 0;
            return;
        }
        if (M.WParam == WPARAM(GWL_EXSTYLE) && M.LParam)
            LeftScrollBar = (reinterpret_cast<STYLESTRUCT*>(M.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
        break;
    case WM_NCPAINT:
        // The window's own frame first: the default painting of a window
        // with scroll-bar styles draws the system's bars over ours otherwise.
        TacMainWnd::WndProc(M);
        if (IsWindowVisible(CtrlHandle) && !SkinData->UpdatingFlag && !OwnScroll) PaintScrollBars(this, CtrlHandle);
        return;
    case WM_SYSCOMMAND:
        // The system's own tracking of a vertical bar, which the bars replace.
        if (LOWORD(M.WParam) == (SC_VSCROLL | HTVSCROLL)) return;
        break;
    case CM_UIACTIVATE:
        if (Geometry.WndSize.cx > 0 && Geometry.WndSize.cy > 0) {
            TacMainWnd::WndProc(M);
            SetWindowPos(CtrlHandle, nullptr, 0, 0, Geometry.WndSize.cx, Geometry.WndSize.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                             SWP_NOSENDCHANGING);
            return;
        }
        break;
    default: break;
    }
    if (done) return;
    TacMainWnd::WndProc(M);
    if (Destroyed) return;
    switch (M.Msg) {
    case WM_MOUSEWHEEL:
    case CM_MOUSEWHEEL:
        if (!OwnScroll) UpdateScrollInfo(this, true);
        break;
    case CM_FOCUSCHANGED: UpdateScrollInfo(this, true); break;
    default: break;
    }
}
