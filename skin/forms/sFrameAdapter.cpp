#include "sFrameAdapter.h"

#include <algorithm>
#include <vector>

#include "Forms.h"
#include "Frames.h"
#include "Guards.h"
#include "Menus.h"
#include "TypeInfo.h"
#include "acMsgBox.h"
#include "acSBUtils.h"
#include "acSysMenu.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sSkinProvider.h"

const char* const acFrameAdapterError = "TsFrameAdapter adapter must be placed on the handled frame";

namespace {
// The frame's bars: printing goes on to the adapter, which prints the
// background and then these bars over it (the wrappers' own printing is a
// paint of the client alone).
class TacFrameScrollWnd : public TacScrollWnd {
public:
    using TacScrollWnd::TacScrollWnd;
    const char* ClassName() const override { return "TacFrameScrollWnd"; }
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_PRINT && !Destroyed && SkinData && SkinData->IsSkinned())
            PassOn(M);
        else
            TacScrollWnd::WndProc(M);
    }
    static TacScrollWnd* Make(HWND Handle, TsCommonData* Data) {
        return CreateWrapper<TacFrameScrollWnd>(Handle, true, "", Data->SkinManager(), Data);
    }
};

constexpr UINT kFullRedraw = 0x585;  // RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW

bool Designing(const TComponent* C) { return C && (C->ComponentState() & csDesigning); }
}  // namespace

TsFrameAdapter::TsFrameAdapter(TComponent* AOwner) : TComponent(AOwner), FCommonData(new TsCommonData(this, true)) {
    FCommonData->ControlTypeCode = 226;
    FCommonData->SetSkinSection("GROUPBOX");
    FFrame = dynamic_cast<TFrame*>(AOwner);
    if (!FFrame) {
        ShowError(TacSysMenuBase::ResourceCaption(acFrameAdapterErrorId, acFrameAdapterError));
        return;
    }
    FCommonData->OwnerControl = FFrame;
    FHook = std::make_unique<TWndProcHook>(FFrame, TWndMethod::Of<&TsFrameAdapter::HookedWndProc>(this));
    AfterConstruction();
}

TsFrameAdapter::~TsFrameAdapter() {
    FDestroying = true;
    FreeScrollWrapper();
    FHook.reset();
}

void TsFrameAdapter::AfterConstruction() {
    if (!FFrame || !FFrame->HandleAllocated() || !AnswersEngineCommand(FFrame->Handle(), scIsSkinned)) return;
    FCommonData->ApplyLoaded();
    // A frame adapted on a skinned form sees no showing change that would
    // give it its bars.
    if (FCommonData->IsSkinned()) UpdateScrollWrapper();
}

void TsFrameAdapter::Loaded() {
    TComponent::Loaded();
    TsSkinManager* m = FCommonData->SkinManager();
    if (!FFrame || !m) return;
    FCommonData->ApplyLoaded();
    if (!m->Active() || Designing(this)) return;
    HookPopupMenus();
    if (FCommonData->IsSkinned() && ThirdPartyRules()) NotifyParentForm(FFrame);
}

void TsFrameAdapter::Register() {
    if (FindClassInfo("TsFrameAdapter")) return;
    RegisterComponentClass<TsFrameAdapter>("TsFrameAdapter", "TComponent")
        .Object("SkinData", &TsFrameAdapter::SkinData, "TsCommonData");
}

void TsFrameAdapter::Pass(TMessage& M) {
    if (FHook) FHook->CallPrevious(M);
}

// No exception of the adapter's crosses into the frame's window procedure.
void TsFrameAdapter::HookedWndProc(TMessage& M) {
    try {
        NewWndProc(M);
    } catch (const std::exception& e) {
        try {
            HandleControlException(this, e);
        } catch (...) {
        }
    } catch (...) {
    }
}

bool TsFrameAdapter::ThirdPartyRules() const {
    TsSkinManager* m = FCommonData->SkinManager();
    return m && (m->SkinningRules() & (1u << srThirdParty));
}

// The background is one colour inside a border: no parent to paint under it.
bool TsFrameAdapter::Plain() const { return (FCommonData->OpacityBits & 1) != 0; }

void TsFrameAdapter::HookPopupMenus() {
    TsSkinManager* m = FCommonData->SkinManager();
    auto* menus = m ? dynamic_cast<TsSkinableMenus*>(m->SkinableMenus()) : nullptr;
    if (!menus || !m->Active() || !m->SkinnedPopups()) return;
    for (int i = 0; i < FFrame->ComponentCount(); ++i)
        if (auto* p = dynamic_cast<TPopupMenu*>(FFrame->Components(i))) menus->HookPopupMenu(p, true);
}

void TsFrameAdapter::UpdateScrollWrapper() {
    if (FDestroying) return;
    if (FScrollWrapper && FScrollWrapper->Destroyed) FreeScrollWrapper();
    ::UpdateScrollWrapper(FCommonData.get(), FScrollWrapper, &TacFrameScrollWnd::Make);
}

void TsFrameAdapter::FreeScrollWrapper() {
    TacScrollWnd* w = FScrollWrapper;
    FScrollWrapper = nullptr;
    delete w;
}

TColor TsFrameAdapter::QueryColor() {
    // A textured, gradient or see-through frame has no one colour: children
    // that asked take its image instead.
    if (FCommonData->IsSkinned() && FCommonData->NeedsRepaint()) return TransparentKeyColor;
    TMessage m{SM_ALPHACMD, WPARAM(SkinWParam(scQueryColor)), 0, 0};
    if (FCommonData->HandleEngineCommand(m)) return TColor(m.Result);
    return ColorToRGB(FFrame->Color());
}

// The commands answered whatever the state; false: go on to the rest.
bool TsFrameAdapter::SkinCommand(TMessage& M) {
    const uint16_t cmd = SkinCommandOf(M.WParam);
    TsSkinManager* own = FCommonData->SkinManager();
    const bool fromOwn = LPARAM(own) == M.LParam;
    const HWND h = FFrame->HandleIfAllocated();
    switch (cmd) {
    case scNewSkin:
        if (!fromOwn) return false;
        SendToControlTree(FFrame, M.Msg, M.WParam, M.LParam);
        FCommonData->HandleEngineCommand(M);
        HookPopupMenus();
        return true;
    case scRemoveSkin:
        if (!fromOwn) return false;
        FreeScrollWrapper();
        FCommonData->HandleEngineCommand(M);
        SendToControlTree(FFrame, M.Msg, M.WParam, M.LParam);
        if (h) {
            SetWindowPos(h, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            RedrawWindow(h, nullptr, nullptr, kFullRedraw);
        }
        return true;
    case scRefresh:
        if (!fromOwn) return false;
        FCommonData->HandleEngineCommand(M);
        FCommonData->ApplyLoaded();
        if (own) {
            SendToControlTree(FFrame, M.Msg, M.WParam, M.LParam);
            if (h) RedrawWindow(h, nullptr, nullptr, kFullRedraw);
            UpdateScrollWrapper();
        }
        return true;
    case scIsSkinned: M.Result = 1; return true;
    case scBeforeRefresh: SendToControlTree(FFrame, M.Msg, M.WParam, M.LParam); return false;
    case scQuerySkinIndex: M.Result = FCommonData->SkinSectionNo + 1; return true;
    case scGetBackground:
        if (M.LParam) FCommonData->FillBackgroundInfo(*reinterpret_cast<BackgroundInfo*>(M.LParam));
        return true;
    case scBeforeScroll:
    case scAfterScroll: {
        const bool complex = (h && SendMessageW(h, SM_ALPHACMD, WPARAM(SkinWParam(scQueryComplexBackground)), 0)) ||
                             FCommonData->NeedsParentRepaint();
        if (complex && h) {
            SendMessageW(h, WM_SETREDRAW, cmd == scAfterScroll, 0);
            if (cmd == scAfterScroll)
                RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
        }
        return false;
    }
    case scGetApplication: M.Result = LRESULT(Application); return true;
    default: return false;
    }
}

// The commands of a skinned frame's state.
void TsFrameAdapter::StateCommand(TMessage& M) {
    const HWND h = FFrame->HandleIfAllocated();
    switch (SkinCommandOf(M.WParam)) {
    case scRepaint:
        if (Plain()) {
            FCommonData->UpdatingFlag = false;
            if (h) RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
        }
        return;
    case scSetUpdating:
        FCommonData->HandleEngineCommand(M);
        for (int i = 0; i < FFrame->ControlCount(); ++i) FFrame->Controls(i)->Perform(M.Msg, M.WParam, M.LParam);
        return;
    case scQueryUpdating: M.Result = !Plain() && FCommonData->IsUpdating() ? 1 : 0; return;
    case scQueryColor: M.Result = QueryColor(); return;
    default:
        if (!FCommonData->HandleEngineCommand(M)) Pass(M);
        return;
    }
}

void TsFrameAdapter::NewWndProc(TMessage& M) {
    if (!FFrame || Designing(FFrame)) {
        Pass(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD && SkinCommand(M)) return;
    if (FDestroying || (FFrame->ComponentState() & csDestroying) || !FCommonData->IsSkinned() ||
        !FCommonData->SkinManager()) {
        Pass(M);
        return;
    }
    switch (M.Msg) {
    case SM_ALPHACMD: StateCommand(M); return;
    case WM_SIZE:
    case WM_MOVE:
        if (M.Msg == WM_SIZE || FCommonData->NeedsParentRepaint()) FCommonData->BackgroundDirty = true;
        for (int i = 0; i < FFrame->ControlCount(); ++i) SendAlphaCommand(FFrame->Controls(i), scBackgroundChanged, 1);
        if (M.Msg == WM_SIZE && FFrame->HandleAllocated()) InvalidateRect(FFrame->HandleIfAllocated(), nullptr, FALSE);
        Pass(M);
        return;
    case WM_PAINT: PaintMessage(M); return;
    case WM_ERASEBKGND: EraseBackground(M); return;
    case WM_NCPAINT:
        FCommonData->UpdatingFlag = FCommonData->IsUpdating();
        M.Result = 0;
        return;
    case WM_PARENTNOTIFY: ParentNotify(M); return;
    case WM_PRINT: Print(M); return;
    case CM_VISIBLECHANGED:
        FCommonData->BackgroundDirty = true;
        Pass(M);
        SendAlphaCommand(FFrame, scRefresh, 0, LPARAM(FCommonData->SkinManager()));
        return;
    case CM_MOUSEENTER: MouseEnter(M); return;
    case CM_SHOWINGCHANGED:
        Pass(M);
        UpdateScrollWrapper();
        if (ThirdPartyRules()) NotifyParentForm(FFrame);
        return;
    default: Pass(M); return;
    }
}

void TsFrameAdapter::PaintMessage(TMessage& M) {
    const HWND h = FFrame->HandleIfAllocated();
    if (!FFrame->Parent() || !h) {
        Pass(M);
        return;
    }
    if (M.WParam) {
        PaintFrame(HDC(M.WParam));
    } else {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(h, &ps);
        PaintFrame(dc);
        EndPaint(h, &ps);
    }
    M.Result = 0;
}

void TsFrameAdapter::EraseBackground(TMessage& M) {
    if (!FFrame->Showing()) {
        Pass(M);
        return;
    }
    if (acShowAnimationRunning) return;
    FCommonData->UpdatingFlag = FCommonData->IsUpdating();
    if (!FCommonData->UpdatingFlag && !(Plain() && !FCommonData->BackgroundDirty) && M.WParam)
        PaintFrame(HDC(M.WParam));
    M.Result = 1;
}

void TsFrameAdapter::ParentNotify(TMessage& M) {
    const WORD event = LOWORD(M.WParam);
    Pass(M);
    if ((event != WM_CREATE && event != WM_DESTROY) || (FFrame->ComponentState() & csLoading) ||
        (FFrame->ControlState() & csCreating))
        return;
    if (FScrollWrapper) UpdateScrollInfo(FScrollWrapper, true);
    if (event == WM_CREATE && ThirdPartyRules()) NotifyParentForm(FFrame);
}

void TsFrameAdapter::Print(TMessage& M) {
    FCommonData->UpdatingFlag = false;
    if (!ControlIsReady(FFrame) || !M.WParam) return;
    PaintFrame(HDC(M.WParam));
    if (FScrollWrapper && !FScrollWrapper->Destroyed)
        PaintScrollBars(FScrollWrapper, FFrame->HandleIfAllocated(), HDC(M.WParam));
}

// The frame becomes the hot window: whatever was hot before is told it is
// left. (No control class here needs the mouse-leave round of its siblings.)
void TsFrameAdapter::MouseEnter(TMessage& M) {
    Pass(M);
    if (DefaultSkinManager && FFrame->HandleAllocated()) DefaultSkinManager->SetHotWindow(FFrame->HandleIfAllocated());
}

// ---------------------------------------------------------------- painting

bool TsFrameAdapter::PartlyOutsideParent() const {
    TWinControl* p = FFrame->Parent();
    if (!p) return false;
    const TRect c = p->ClientRect();
    return FFrame->Left() < c.Left || FFrame->Top() < c.Top || FFrame->Left() + FFrame->Width() > c.Right ||
           FFrame->Top() + FFrame->Height() > c.Bottom;
}

void TsFrameAdapter::PaintFrame(HDC DC) {
    // A form's show animation paints the frame only into the fade's own picture.
    if (!DC || !FFrame || (acShowAnimationRunning && DC != FadeCaptureDC) || FFrame->Width() <= 0 ||
        FFrame->Height() <= 0)
        return;
    if (FCommonData->NeedsRepaint())
        PaintSkinned(DC);
    else
        PaintPlain(DC);
}

void TsFrameAdapter::PaintSkinned(HDC DC) {
    FCommonData->UpdatingFlag = FCommonData->IsUpdating();
    if (FCommonData->UpdatingFlag) return;
    // What shows of a frame that reaches out of its parent changes as the
    // parent scrolls it back in: its image is taken again each time.
    if (FCommonData->NeedsParentRepaint() && PartlyOutsideParent()) FCommonData->BackgroundDirty = true;
    const int w = FFrame->Width(), h = FFrame->Height();
    TBitmap* cache = FCommonData->CacheBitmap;
    if (!cache || cache->Width() != w || cache->Height() != h) FCommonData->BackgroundDirty = true;
    const TRect all = Rect(0, 0, w, h);
    const TPoint at = Point(FFrame->Left(), FFrame->Top());
    // A kept image moved over its parent: the corners take what lies under
    // them now.
    const bool moved = !FCommonData->BackgroundDirty && !(at == FCachePlace);
    if (FCommonData->BackgroundDirty) {
        FCommonData->PrepareCacheBitmap();
        cache = FCommonData->CacheBitmap;
        PaintControlSection(FCommonData.get(), FCommonData->ParentBackgroundInfo(), true, cache, at, all, 0);
        FCommonData->BackgroundDirty = false;
    }
    FCachePlace = at;
    PaintChildControls(FFrame, FCommonData.get(), all, 0, 0, moved, DC, all);
    PaintGraphicChildren(DC, FFrame, Point(0, 0));
    RepaintChildren(FFrame);
}

// The border from the border mask, the rest in the section's colour; the
// cache is only borrowed for the border.
void TsFrameAdapter::PaintPlain(HDC DC) {
    const TRect all = Rect(0, 0, FFrame->Width(), FFrame->Height());
    int band = 0;
    TsSkinManager* m = FCommonData->SkinManager();
    if (m->IsValidMaskIndex(FCommonData->BorderMaskNo)) {
        const TsMaskData& b = m->ma()[size_t(FCommonData->BorderMaskNo)];
        band = std::max({int(b.BorderWidth), int(b.WL), int(b.WT), int(b.WR), int(b.WB)});
    }
    {
        SavedDC saved(DC);
        ClipOutChildControls(DC, FFrame, 0, 0);
        TRect client = all;
        PaintMaskBorder(DC, all, band, client, 0, FCommonData.get());
        FillRectOnDC(DC, client, FCommonData->BackgroundColor());
    }
    PaintGraphicChildren(DC, FFrame, Point(0, 0));
    if (FCommonData->CacheBitmap) FCommonData->CacheBitmap->SetSize(0, 0);
    FCommonData->BackgroundDirty = false;
}
