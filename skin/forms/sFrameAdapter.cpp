#include "sFrameAdapter.h"

#include <vector>

#include "Forms.h"
#include "Frames.h"
#include "Guards.h"
#include "acMsgBox.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

// What the frame's WindowProc points at while an adapter skins it. An adapter
// that cannot give the WindowProc back (someone swapped it after us) leaves
// its relay behind as a pass-through to what it replaced.
struct TacFrameRelay {
    TsFrameAdapter* Adapter = nullptr;
    TWndMethod Prev;
    int Depth = 0;
    bool Released = false;

    TWndMethod AsMethod() { return TWndMethod::Fn(this, &Call); }

    static void Call(void* Context, TMessage& M) {
        auto* r = static_cast<TacFrameRelay*>(Context);
        ++r->Depth;
        try {
            if (TsFrameAdapter* a = r->Adapter)
                a->NewWndProc(M);
            else if (r->Prev)
                r->Prev(M);
        } catch (const std::exception& e) {
            try {
                HandleControlException(r->Adapter, e);
            } catch (...) {
            }
        } catch (...) {
        }
        --r->Depth;
        if (r->Released && r->Depth == 0) delete r;
    }
};

namespace {
std::vector<TacFrameRelay*> g_OrphanFrameRelays;

constexpr UINT kFullRedraw = 0x585;  // RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW
}  // namespace

TsFrameAdapter::TsFrameAdapter(TComponent* AOwner) : TComponent(AOwner), FCommonData(new TsCommonData(this, true)) {
    FCommonData->ControlTypeCode = 226;
    FCommonData->SetSkinSection("GROUPBOX");
    FFrame = dynamic_cast<TFrame*>(AOwner);
    if (!FFrame) {
        ShowError("TsFrameAdapter adapter must be placed on the handled frame");
        return;
    }
    FCommonData->OwnerControl = FFrame;
    FRelay = new TacFrameRelay;
    FRelay->Adapter = this;
    FRelay->Prev = FFrame->WindowProc;
    FFrame->WindowProc = FRelay->AsMethod();
    AfterConstruction();
}

TsFrameAdapter::~TsFrameAdapter() {
    FDestroying = true;
    if (FRelay) {
        if (FFrame && FFrame->WindowProc == FRelay->AsMethod()) {
            FFrame->WindowProc = FRelay->Prev;
            FRelay->Adapter = nullptr;
            FRelay->Released = true;
            if (FRelay->Depth == 0) delete FRelay;
        } else {
            FRelay->Adapter = nullptr;
            g_OrphanFrameRelays.push_back(FRelay);
        }
        FRelay = nullptr;
    }
}

void TsFrameAdapter::AfterConstruction() {
    if (FFrame && FFrame->HandleAllocated() && AnswersEngineCommand(FFrame->Handle(), scIsSkinned))
        FCommonData->ApplyLoaded();
}

void TsFrameAdapter::Loaded() {
    TComponent::Loaded();
    if (!FFrame || !FCommonData->SkinManager()) return;
    FCommonData->ApplyLoaded();
    TsSkinManager* m = FCommonData->SkinManager();
    if (FCommonData->IsSkinned() && (m->SkinningRules() & (1u << srThirdParty)) &&
        !(ComponentState() & csDesigning))
        NotifyParentForm(FFrame);
}

void TsFrameAdapter::Pass(TMessage& M) {
    if (FRelay && FRelay->Prev) FRelay->Prev(M);
}

TColor TsFrameAdapter::QueryColor() {
    TMessage m{SM_ALPHACMD, WPARAM(SkinWParam(scQueryColor)), 0, 0};
    if (FCommonData->HandleEngineCommand(m)) return TColor(m.Result);
    return ColorToRGB(FFrame->Color());
}

// The commands answered whatever the state; false: go on to the rest.
bool TsFrameAdapter::SkinCommand(TMessage& M) {
    const uint16_t cmd = SkinCommandOf(M.WParam);
    TsSkinManager* own = FCommonData->SkinManager();
    const bool fromOwn = LPARAM(own) == M.LParam;
    switch (cmd) {
    case scNewSkin:
        if (!fromOwn) return false;
        SendToControlTree(FFrame, M.Msg, M.WParam, M.LParam);
        FCommonData->HandleEngineCommand(M);
        return true;
    case scRemoveSkin:
        if (!fromOwn) return false;
        FCommonData->HandleEngineCommand(M);
        SendToControlTree(FFrame, M.Msg, M.WParam, M.LParam);
        if (FFrame->HandleAllocated()) {
            SetWindowPos(FFrame->Handle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            RedrawWindow(FFrame->Handle(), nullptr, nullptr, kFullRedraw);
        }
        return true;
    case scRefresh:
        if (!fromOwn) return false;
        FCommonData->HandleEngineCommand(M);
        FCommonData->ApplyLoaded();
        if (own) {
            SendToControlTree(FFrame, M.Msg, M.WParam, M.LParam);
            if (FFrame->HandleAllocated()) RedrawWindow(FFrame->Handle(), nullptr, nullptr, kFullRedraw);
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
        const bool complex = FCommonData->IsComplexBackground() || FCommonData->NeedsParentRepaint();
        if (complex && FFrame->HandleAllocated()) {
            SendMessageW(FFrame->Handle(), WM_SETREDRAW, cmd == scAfterScroll, 0);
            if (cmd == scAfterScroll)
                RedrawWindow(FFrame->Handle(), nullptr, nullptr,
                             RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
        }
        return false;
    }
    case scGetApplication: M.Result = LRESULT(Application); return true;
    default: return false;
    }
}

void TsFrameAdapter::NewWndProc(TMessage& M) {
    if (!FFrame || (FFrame->ComponentState() & csDesigning)) {
        Pass(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD && SkinCommand(M)) return;
    if (FDestroying || (FFrame->ComponentState() & csDestroying) || !FCommonData->IsSkinned() ||
        !FCommonData->SkinManager()) {
        Pass(M);
        return;
    }
    HWND h = FFrame->HandleIfAllocated();
    switch (M.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(M.WParam)) {
        case scRepaint:
            if (h) RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
            return;
        case scSetUpdating:
            FCommonData->HandleEngineCommand(M);
            for (int i = 0; i < FFrame->ControlCount(); ++i) FFrame->Controls(i)->Perform(M.Msg, M.WParam, M.LParam);
            return;
        case scQueryUpdating: M.Result = FCommonData->IsUpdating() ? 1 : 0; return;
        case scQueryColor: M.Result = QueryColor(); return;
        default:
            if (!FCommonData->HandleEngineCommand(M)) Pass(M);
            return;
        }
    case WM_SIZE:
    case WM_MOVE:
        FCommonData->BackgroundDirty = true;
        for (int i = 0; i < FFrame->ControlCount(); ++i) SendAlphaCommand(FFrame->Controls(i), scBackgroundChanged, 1);
        if (M.Msg == WM_SIZE && h) InvalidateRect(h, nullptr, FALSE);
        Pass(M);
        return;
    case WM_PAINT: {
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
        return;
    }
    case WM_ERASEBKGND:
        if (!FFrame->Showing()) {
            Pass(M);
            return;
        }
        if (!FCommonData->IsUpdating() && M.WParam) PaintFrame(HDC(M.WParam));
        M.Result = 1;
        return;
    case WM_NCPAINT: M.Result = 0; return;
    case WM_PARENTNOTIFY:
        Pass(M);
        if (LOWORD(M.WParam) == WM_CREATE && !(FFrame->ComponentState() & csLoading) &&
            (FCommonData->SkinManager()->SkinningRules() & (1u << srThirdParty)))
            NotifyParentForm(FFrame);
        return;
    case WM_PRINT:
        if (M.WParam) PaintFrame(HDC(M.WParam));
        return;
    case CM_VISIBLECHANGED:
        FCommonData->BackgroundDirty = true;
        Pass(M);
        SendAlphaCommand(FFrame, scRefresh, 0, LPARAM(FCommonData->SkinManager()));
        return;
    case CM_SHOWINGCHANGED:
        Pass(M);
        if (FCommonData->SkinManager()->SkinningRules() & (1u << srThirdParty)) NotifyParentForm(FFrame);
        return;
    default: Pass(M); return;
    }
}

void TsFrameAdapter::PaintFrame(HDC DC) {
    if (!DC || !FFrame) return;
    const int w = FFrame->Width(), hgt = FFrame->Height();
    if (w <= 0 || hgt <= 0) return;
    FCommonData->PrepareCacheBitmap();
    TBitmap* cache = FCommonData->CacheBitmap;
    if (!cache || cache->Empty()) return;
    if (FCommonData->BackgroundDirty) {
        PaintControlSection(FCommonData.get(), FCommonData->ParentBackgroundInfo(), true, cache,
                            Point(FFrame->Left(), FFrame->Top()), Rect(0, 0, w, hgt), 0);
        FCommonData->BackgroundDirty = false;
    }
    BitBlt(DC, 0, 0, w, hgt, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    PaintGraphicChildren(DC, FFrame, Point(0, 0));
}
