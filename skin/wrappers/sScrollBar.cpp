#include "sScrollBar.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "Forms.h"
#include "Guards.h"
#include "Themes.h"
#include "TypeInfo.h"
#include "acSBUtils.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

bool acSkinnedCreation = false;

TsScrollBar::TsScrollBar(TComponent* AOwner) : TScrollBar(AOwner) {
    FCommonData = new TsCommonData(this, true);
    FCommonData->ControlTypeCode = COC_TsScrollBar;
    FCache = CacheInfo{FCommonData->CacheBitmap, 0, 0, 0, true};
    AfterConstruction();
}

TsScrollBar::~TsScrollBar() {
    StopTimer();
    delete FCommonData;
    FCommonData = nullptr;
}

void TsScrollBar::AfterConstruction() {
    FCommonData->ApplyLoaded();
    // Under visual styles an unskinned bar paints its own background.
    if (ThemeServicesEnabled() && !(FCommonData->IsSkinned() && Skinned()))
        SetControlStyle(ControlStyle() & ~unsigned(csParentBackground));
    if (FRecreateSkinned) {
        FRecreateSkinned = false;
        RecreateSkinned();
    }
}

void TsScrollBar::Loaded() {
    TScrollBar::Loaded();
    AfterConstruction();
}

bool TsScrollBar::Skinned() {
    TsSkinManager* m = FCommonData->SkinManager();
    return m && m->SkinData()->Active();
}

void TsScrollBar::SetDisabledKind(TsDisabledKind Value) {
    if (FDisabledKind == Value) return;
    FDisabledKind = Value;
    FCommonData->Invalidate();
}

void TsScrollBar::RecreateSkinned() {
    acSkinnedCreation = true;
    ScopeExit done([] { acSkinnedCreation = false; });
    const int pos = Position();
    RecreateWnd();
    SetPosition(pos);
}

void TsScrollBar::CreateParams(TCreateParams& P) {
    if (!acSkinnedCreation) {
        TScrollBar::CreateParams(P);
        FSkinnedWindow = false;
        if (Skinned()) FRecreateSkinned = true;
        return;
    }
    TWinControl::CreateParams(P);
    std::wstring caption;
    for (unsigned char c : Text()) caption += wchar_t(c);
    P.Caption = caption;
    P.Style = WS_CHILD | WS_CLIPSIBLINGS;
    P.ExStyle = 0;
    if (ControlStyle() & csAcceptsControls) {
        P.Style |= WS_CLIPCHILDREN;
        P.ExStyle |= WS_EX_CONTROLPARENT;
    }
    if (!Enabled() && !(ComponentState() & csDesigning)) P.Style |= WS_DISABLED;
    if (TabStop()) P.Style |= WS_TABSTOP;
    if (Visible()) P.Style |= WS_VISIBLE;
    P.WinClassName = L"TsScrollBar";
    P.SystemClass = false;
    P.WindowClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    FSkinnedWindow = true;
}

TacScrollGeometry TsScrollBar::Geometry() const {
    const bool vert = Kind() == sbVertical;
    const int a = GetSystemMetrics(vert ? SM_CYVSCROLL : SM_CXHSCROLL);
    return TacScrollGeometry(vert ? Height() : Width(), a, Enabled(), FState.Min, FState.Max, FState.Page, FState.Shown);
}

int TsScrollBar::CursorAlongBar() const {
    POINT p;
    GetCursorPos(&p);
    TPoint c = ScreenToClient(Point(p.x, p.y));
    return AlongBar(c.X, c.Y);
}

bool TsScrollBar::SkinnedReady() const {
    return FSkinnedWindow && HandleAllocated() && !(ComponentState() & (csLoading | csDestroying));
}

void TsScrollBar::SetPart(TacScrollPart Part, uint8_t State) {
    if (FParts.Set(Part, State)) FState.RedrawNeeded = true;
}

void TsScrollBar::ResumePainting() {
    FSuspended = false;
    if (FState.RedrawNeeded && HandleAllocated()) {
        FState.RedrawNeeded = false;
        InvalidateRect(FHandle, nullptr, FALSE);
        UpdateWindow(FHandle);
    }
}

void TsScrollBar::SetPos(int Value) {
    if (FState.SetPos(Value, FState.Code)) {
        const UINT msg = Kind() == sbVertical ? CN_VSCROLL : CN_HSCROLL;
        // What a scroll message to the parent comes back to the bar as.
        Perform(msg, WPARAM(FState.ScrollWParam(FState.Code)), LPARAM(FHandle));
    }
    ResumePainting();
}

void TsScrollBar::StartTimer(TimerKind K, unsigned Interval) {
    StopTimer();
    FTimer = new TTimer(this);
    FTimer->SetInterval(Interval);
    FTimer->OnTimer = TNotifyEvent::Of<&TsScrollBar::TimerTick>(this);
    FTimerKind = K;
    FTimer->SetEnabled(true);
}

void TsScrollBar::StopTimer() {
    if (!FTimer) return;
    FTimer->SetEnabled(false);
    TTimer* t = FTimer;
    FTimer = nullptr;
    FTimerKind = tkNone;
    delete t;
}

void TsScrollBar::TimerTick(TObject*) {
    if (!FTimer || (ComponentState() & csDestroying)) return;
    if (FTimer->Interval() == 500) FTimer->SetInterval(50);
    const int step = std::max<int>(int(FState.Page), 1);
    switch (FTimerKind) {
    case tkArrow1:
        if (FParts.State[spArrow1] == 2) MoveBy(-1); else StopTimer();
        break;
    case tkArrow2:
        if (FParts.State[spArrow2] == 2) MoveBy(1); else StopTimer();
        break;
    case tkPage1:
        if (FParts.State[spTrack1] == 2 && Geometry().PositionAt(CursorAlongBar()) < FState.Shown) MoveBy(-step);
        else StopTimer();
        break;
    case tkPage2:
        if (FParts.State[spTrack2] == 2 && Geometry().PositionAt(CursorAlongBar()) > FState.Shown) MoveBy(step);
        else StopTimer();
        break;
    case tkDrag:
        if (SkinnedReady() && !FCommonData->HoverFlag) {
            SetPos(Geometry().PositionAt(CursorAlongBar()) - FDragOffset);
            SetMouseCapture(true);
        }
        break;
    default: StopTimer(); break;
    }
}

void TsScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Skinned() && SkinnedReady() && Enabled() && Button == mbLeft) {
        FPressed = true;
        // No hint pops up over a bar being pressed.
        FSavedShowHint = Application->ShowHint;
        Application->ShowHint = false;
        FDragOffset = 0;
        if (CanFocus()) SetFocus();
        const TacScrollGeometry g = Geometry();
        const int p = AlongBar(X, Y);
        const uint8_t active = FCommonData->IsActiveState() ? 1 : 0;
        FSuspended = true;
        switch (ScrollPartAt(g, p)) {
        case spArrow1:
            FState.Code = acSB_LINEUP;
            SetPart(spArrow1, 2);
            MoveBy(-1);
            StartTimer(tkArrow1, 500);
            break;
        case spArrow2:
            FState.Code = acSB_LINEDOWN;
            SetPart(spArrow2, 2);
            MoveBy(1);
            StartTimer(tkArrow2, 500);
            break;
        case spThumb:
            FState.Code = acSB_THUMBTRACK;
            if (FParts.State[spThumb] != 2) {
                FDragOffset = g.PositionAt(p) - FState.Shown;
                SetPart(spThumb, 2);
                FState.FirstTrack = true;
                MoveBy(0);
                StartTimer(tkDrag, 50);
                SetMouseCapture(true);
            }
            break;
        case spTrack1:
            FState.Code = acSB_PAGEUP;
            SetPart(spTrack1, 2);
            FParts.State[spTrack2] = active;
            MoveBy(-std::max<int>(int(FState.Page), 1));
            StartTimer(tkPage1, 500);
            break;
        case spTrack2:
            FState.Code = acSB_PAGEDOWN;
            SetPart(spTrack2, 2);
            FParts.State[spTrack1] = active;
            MoveBy(std::max<int>(int(FState.Page), 1));
            StartTimer(tkPage2, 500);
            break;
        default: break;
        }
        ResumePainting();
    }
    TScrollBar::MouseDown(Button, Shift, X, Y);
}

void TsScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // OnMouseUp comes between the release of the parts and SB_ENDSCROLL.
    const bool pressed = Button == mbLeft && FinishPress(X, Y, true);
    TScrollBar::MouseUp(Button, Shift, X, Y);
    if (pressed) EndScroll();
}

bool TsScrollBar::FinishPress(int X, int Y, bool OnBar) {
    if (!FPressed) return false;
    FPressed = false;
    StopTimer();
    const TacScrollGeometry g = Geometry();
    const TacScrollPart at = OnBar ? ScrollPartAt(g, AlongBar(X, Y)) : spNone;
    const uint8_t active = FCommonData->IsActiveState() ? 1 : 0;
    const bool thumbPressed = FParts.State[spThumb] == 2;
    if (at == spThumb || thumbPressed) {
        FState.Code = acSB_THUMBPOSITION;
        FParts.State[spTrack1] = active;
        FParts.State[spTrack2] = active;
        if (thumbPressed) {
            SetPos(FState.Shown);
            FParts.State[spThumb] = at == spThumb ? 1 : 0;
        }
    } else {
        for (TacScrollPart part : {spArrow1, spArrow2})
            if (FParts.State[part] == 2) FParts.State[part] = part == at ? 1 : 0;
        for (TacScrollPart part : {spTrack1, spTrack2})
            if (FParts.State[part] == 2) FParts.State[part] = active;
    }
    FState.RedrawNeeded = true;
    ResumePainting();
    if (MouseCapture()) SetMouseCapture(false);
    return true;
}

void TsScrollBar::EndScroll() {
    FState.Code = acSB_ENDSCROLL;
    MoveBy(0);
    Application->ShowHint = FSavedShowHint;
}

void TsScrollBar::WMNCHitTest(TMessage& M) {
    if (Skinned() && SkinnedReady() && Enabled()) {
        TPoint c = ScreenToClient(Point(GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)));
        const TacScrollGeometry g = Geometry();
        const int p = AlongBar(c.X, c.Y);
        const TacScrollPart at = ScrollPartAt(g, p);
        if (at == spThumb || FParts.State[spThumb] == 2) {
            if (FParts.State[spThumb] == 2) {
                const int to = g.PositionAt(p) - FDragOffset;
                if (to != FState.Shown) {
                    FSuspended = true;
                    SetPos(to);
                }
            } else {
                SetPart(spThumb, 1);
            }
        } else if (at == spArrow1 || at == spArrow2) {
            if (FParts.State[at] != 2) SetPart(at, 1);
        } else {
            for (TacScrollPart part : {spThumb, spArrow1, spArrow2}) SetPart(part, 0);
        }
        ResumePainting();
    }
    TScrollBar::WndProc(M);
}

namespace {

// One state cell of an image along the bar (own image: a third of its width
// across a horizontal bar, half its height along a vertical one).
int CellAlong(const TsSkinManager* M, int Mask, bool Vertical) {
    if (!M->IsValidMaskIndex(Mask)) return 0;
    const TsMaskData& d = M->ma()[size_t(Mask)];
    if (d.Image) return Vertical ? d.Image->Height() / 2 : d.Image->Width() / 3;
    if (d.ImageCount <= 0 || d.MaskType < 0) return 0;
    return Vertical ? d.R.Height() / (d.MaskType + 1) : d.R.Width() / d.ImageCount;
}

}  // namespace

void TsScrollBar::SkinnedPaint(HDC DC) {
    if (FSuspended) {
        // A paint forced in the middle of a movement shows the last image.
        TBitmap* cache = FCommonData->CacheBitmap;
        if (cache->Width() == Width() && cache->Height() == Height())
            BitBlt(DC, 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
        return;
    }
    if (!SkinnedReady() || SkinBroadcasting || FCommonData->UpdatingFlag) return;
    TsSkinManager* m = FCommonData->SkinManager();
    if (!m) return;
    const bool vert = Kind() == sbVertical;
    const TsCommonIndexes& ci = m->ConstData();
    const int t1 = vert ? 1 : 0, t2 = vert ? 3 : 2;
    if (!m->IsValidSectionIndex(ci.ScrollBar[t1])) return;
    FState.RedrawNeeded = false;
    FCommonData->PrepareCacheBitmap();
    TBitmap* cache = FCommonData->CacheBitmap;
    if (cache->Empty()) return;
    const bool disabled = !Enabled();
    std::unique_ptr<TBitmap> own;
    if (disabled) own.reset(CreateBitmapLike(cache));
    TBitmap* target = disabled ? own.get() : cache;
    const CacheInfo bg = FCommonData->ParentBackgroundInfo();
    const TacScrollGeometry g = Geometry();
    const uint8_t active = FCommonData->IsActiveState() ? 1 : 0;
    auto span = [&](int From, int To) { return vert ? Rect(0, From, Width(), To) : Rect(From, 0, To, Height()); };
    auto halfState = [&](TacScrollPart P) { return disabled ? 0 : (FParts.State[P] ? FParts.State[P] : active); };

    const int centre = g.ThumbCentre();
    const TRect half[2] = {span(0, centre), span(centre, g.Length)};
    for (int h = 0; h < 2; ++h) {
        const int t = h == 0 ? t1 : t2;
        const TRect& r = half[h];
        PaintScrollTrackSection(m, t, cache, Point(Left() + r.Left, Top() + r.Top), r,
                                halfState(h == 0 ? spTrack1 : spTrack2), bg);
    }
    if (target != cache)
        BitBlt(target->Canvas()->Handle(), 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);

    const int b1 = vert ? 0 : 2, b2 = vert ? 1 : 3;
    int arrow = g.Arrow;
    for (int b : {b1, b2})
        if (m->IsValidSectionIndex(ci.ScrollBtn[b])) arrow = std::max(arrow, CellAlong(m, ci.ScrollBtnBorder[b], vert));
    arrow = std::min(arrow, g.Length / 2);
    const TRect buttons[2] = {span(0, arrow), span(g.Length - arrow, g.Length)};
    for (int i = 0; i < 2; ++i) {
        const int b = i == 0 ? b1 : b2;
        const int st = disabled ? 0 : FParts.State[i == 0 ? spArrow1 : spArrow2];
        const TRect& r = buttons[i];
        PaintScrollButtonSection(m, b, target, Point(Left() + r.Left, Top() + r.Top), r, st, bg);
        PaintScrollGlyph(m, b, target, r, st, 0);
    }
    const int sl = vert ? 4 : 5;
    if (g.ThumbStart() >= arrow && g.ThumbEnd() <= g.Length - arrow && m->IsValidSectionIndex(ci.ScrollBtn[sl])) {
        const TRect r = span(g.ThumbStart(), g.ThumbEnd());
        const int st = disabled ? 0 : FParts.State[spThumb];
        std::unique_ptr<TBitmap> thumb(CreateBitmap24(r.Width(), r.Height()));
        BitBlt(thumb->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), target->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
        PaintScrollButtonSection(m, sl, thumb.get(), Point(0, 0), Rect(0, 0, r.Width(), r.Height()), st,
                                 MakeBitmapBackground(target, r.Left, r.Top));
        BitBlt(target->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), thumb->Canvas()->Handle(), 0, 0, SRCCOPY);
        PaintCentredGlyph(m, ci.ScrollBtnGlyph[sl], target, r, st, st == 2 ? 1 : 0);
    }
    if (disabled) ApplyFadeEffects(target, uint8_t(FDisabledKind & 3), this, Point(Left(), Top()), bg);
    BitBlt(DC, 0, 0, Width(), Height(), target->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsScrollBar::WndProc(TMessage& M) {
    if (M.Msg == SM_ALPHACMD && !(ComponentState() & csDestroying)) {
        const uint16_t cmd = SkinCommandOf(M.WParam);
        switch (cmd) {
        case scNewSkin:
        case scRemoveSkin:
        case scRefresh:
            if (M.LParam == LPARAM(FCommonData->SkinManager())) {
                FCommonData->HandleEngineCommand(M);
                if (cmd == scRemoveSkin && !acSkinnedCreation && FSkinnedWindow) {
                    const int pos = Position();
                    RecreateWnd();
                    SetPosition(pos);
                } else if (cmd == scRefresh) {
                    // Made again also when skinned already: the new look replaces the old.
                    FCommonData->BackgroundDirty = true;
                    if (!acSkinnedCreation && Skinned()) RecreateSkinned();
                }
                return;
            }
            break;
        case scRepaint:
            FCommonData->UpdatingFlag = false;
            Repaint();
            return;
        case scIsSkinned: M.Result = 1; return;
        case scGetApplication: M.Result = LPARAM(Application); return;
        default: break;
        }
    }
    if (FCommonData) {
        if ((M.Msg == WM_PAINT || M.Msg == WM_NCHITTEST) && FRecreateSkinned && !FadeInProgress) {
            FRecreateSkinned = false;
            RecreateSkinned();
        }
        if (M.Msg == WM_PRINT && DefaultSkinManager && DefaultSkinManager->SkinData()->Active() && FSkinnedWindow) {
            HDC dc = reinterpret_cast<HDC>(M.WParam);
            SkinnedPaint(dc);
            Perform(WM_NCPAINT, 0, 0);
            return;
        }
        if (FCommonData->HandleControlMessage(M)) return;
    }
    if (FSkinnedWindow) {
        switch (M.Msg) {
        case SBM_SETSCROLLINFO:
            if (M.LParam) {
                M.Result = FState.SetInfo(*reinterpret_cast<const TacScrollInfo*>(M.LParam), M.WParam != 0);
                ResumePainting();
            }
            return;
        case SBM_GETSCROLLINFO:
            if (M.LParam) FState.GetInfo(*reinterpret_cast<TacScrollInfo*>(M.LParam));
            M.Result = 1;
            return;
        case WM_ERASEBKGND:
            if (FSuspended || FadeInProgress) {
                M.Result = 1;
                return;
            }
            break;
        case WM_PAINT: {
            if (!Skinned() || (ComponentState() & csDestroying)) break;
            FCommonData->UpdatingFlag = FCommonData->IsUpdating();
            PAINTSTRUCT ps;
            HDC dc = M.WParam ? reinterpret_cast<HDC>(M.WParam) : BeginPaint(FHandle, &ps);
            const int saved = SaveDC(dc);
            SkinnedPaint(dc);
            RestoreDC(dc, saved);
            if (!M.WParam) EndPaint(FHandle, &ps);
            M.Result = 0;
            return;
        }
        case WM_NCHITTEST: WMNCHitTest(M); return;
        case WM_LBUTTONUP: {
            // The class library lets the capture go before MouseUp: no loss.
            FButtonUp = true;
            ScopeExit done([this] { FButtonUp = false; });
            TScrollBar::WndProc(M);
            return;
        }
        case WM_CAPTURECHANGED:
            // Taking the capture again (the drag timer does) is no loss.
            if (HWND(M.LParam) == FHandle || FButtonUp) break;
            [[fallthrough]];
        case WM_CANCELMODE:
            // The capture went elsewhere during a press: release once, off the bar.
            if (FinishPress(-1, -1, false)) EndScroll();
            break;
        case CM_MOUSEENTER:
            if (Skinned()) {
                FParts.State[spTrack1] = FParts.State[spTrack2] = 1;
                FState.RedrawNeeded = true;
                ResumePainting();
            }
            break;
        case CM_MOUSELEAVE:
            if (Skinned()) {
                FParts.State[spArrow1] = FParts.State[spArrow2] = 0;
                if (FParts.State[spThumb] != 2) FParts.State[spThumb] = FParts.State[spTrack1] = FParts.State[spTrack2] = 0;
                FState.RedrawNeeded = true;
                ResumePainting();
            }
            break;
        default: break;
        }
    }
    TScrollBar::WndProc(M);
}

void TsScrollBar::Register() {
    const TEnumInfo& masks = RegisterEnum("TsDisabledKind", {{"dkBlended", 1 << dkBlended}, {"dkGrayed", 1 << dkGrayed}});
    if (!FindClassInfo("TsCommonData"))
        RegisterPersistentClass<TsCommonData>("TsCommonData")
            .Bool("CustomColor", &TsCommonData::SetCustomColor)
            .Bool("CustomFont", &TsCommonData::SetCustomFont)
            .Str("SkinSection", &TsCommonData::SetSkinSection)
            .Ref("SkinManager", &TsCommonData::WriteSkinManager, "TsSkinManager");
    RegisterComponentClass<TsScrollBar>("TsScrollBar", "TScrollBar")
        .Object("SkinData", &TsScrollBar::SkinData, "TsCommonData")
        .Ref("SkinManager", &TsScrollBar::SetSkinManager, "TsSkinManager")
        .Set("DisabledKind", &TsScrollBar::SetDisabledKind, masks)
        .Event("OnMouseDown", &TsScrollBar::OnMouseDown)
        .Event("OnMouseMove", &TsScrollBar::OnMouseMove)
        .Event("OnMouseUp", &TsScrollBar::OnMouseUp);
}

void sScrollBarInitialize() { TsScrollBar::Register(); }
