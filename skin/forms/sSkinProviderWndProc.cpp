// The window procedure a provider puts in place of its form's WindowProc:
// the engine commands it answers with and without a skin, the window
// messages of a skinned form, activation, showing (with the show animation),
// edge snapping and printing. A procedure dispatches; the handlers work.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>

#include "Guards.h"
#include "acGlow.h"
#include "acSBUtils.h"
#include "acntUtilsWin.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

#include "acDials.h"
#include "sMDIForm.h"

namespace {

// The class library's notification the provider hears that Controls.h does not name.
constexpr UINT CM_RECREATESCROLL = CM_BASE + 58;
// Messages a skinned form answers with 0 and hands to no one.
constexpr UINT kSwallowed[] = {0x93, CM_BASE + 52, CM_BASE + 76, WM_ACREGIONQUERY};
// Redraw flag sets of the show animation and the scroll brackets.
constexpr UINT kRedrawFrameNoChildren = RDW_FRAME | RDW_UPDATENOW | RDW_NOCHILDREN | RDW_ERASE | RDW_INVALIDATE;
constexpr UINT kRedrawAll = RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE;
constexpr UINT kRedrawAllNoErase = RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_NOERASE | RDW_INVALIDATE;

bool Designing(const TComponent* C) { return C && (C->ComponentState() & csDesigning); }

void SetRedraw(HWND H, bool On) { SendMessageW(H, WM_SETREDRAW, On ? 1 : 0, 0); }

}  // namespace

void TsSkinProvider::NewWndProc(TMessage& M) {
    if (!FForm) return;
    if (IsSettingsChangeMessage(M.Msg)) SystemSettingsChanged();
    if (M.Msg == SM_ALPHACMD && SkinCommandAlways(M)) return;
    const bool skinned = !(FForm->ComponentState() & csDestroying) && FCommonData->IsSkinned(true);
    if (!skinned) {
        UnskinnedProc(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD) {
        SkinCommandSkinned(M);
        return;
    }
    SkinnedMessage(M);
}

// ---------------------------------------------------------------- engine commands

// Commands answered whether skinned or not; true when the message is done.
bool TsSkinProvider::SkinCommandAlways(TMessage& M) {
    TsSkinManager* m = FCommonData->SkinManager();
    const bool fromOurs = reinterpret_cast<TsSkinManager*>(M.LParam) == m;
    switch (SkinCommandOf(M.WParam)) {
    case scNewSkin:
        if (!(FForm->ComponentState() & csDestroying) && fromOurs && !FSystemMenu) PrepareForm();
        return false;
    case scRemoveSkin: {
        if (fromOurs) {
            HWND h = FForm->HandleIfAllocated();
            if (FDwmFrameOn && h) SetDwmNCRendering(h, false), FDwmFrameOn = false;
            FreeScrollWrapper();
            RemoveSkin();
            FCommonData->HandleEngineCommand(M);
            FMenuRows = -1;
            SendToControlTree(FForm, M.Msg, M.WParam, M.LParam);
            ResetSkinnedMenus();
            for (TsCaptionButton& b : FButtons)
                if (b.GlowID >= 0) StopGlowEffect(b.GlowID), b.GlowID = -1;
            FHotItem = 0;
            if (h && m) {
                HookMenus();
                UpdateSysMenuStyle(false);
                if (FForm->FormStyle() == fsMDIForm) {
                    FreeMDIForm();
                    FMDIToMake = true;
                }
                if (HasBorder() && !MDIRestoreRunning()) SetWindowRgn(h, nullptr, TRUE);
                MenuChanged();
                if (FUseGlobalColor && !FCommonData->CustomColor()) FForm->SetColor(clBtnFace);
            }
            delete FCommonData->CacheBitmap;
            FCommonData->CacheBitmap = nullptr;
            DropImageCopies();
            FMenuLineBmp.reset();
            // The system's own frame comes back at once.
            if (h && IsWindowVisible(h))
                RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        } else {
            SendToControlTree(FForm, M.Msg, M.WParam, M.LParam);
        }
        M.Result = 0;
        return true;
    }
    case scIsSkinned: M.Result = 1; return true;
    case scGetBackground: {
        auto* info = reinterpret_cast<BackgroundInfo*>(M.LParam);
        if (!info) return true;
        if (!FCommonData->IsSkinned()) {
            info->BgType = 1;
            info->Color = ColorToRGB(FForm->Color());
            if (info->PleaseDraw && info->DrawDC) FillRectOnDC(info->DrawDC, info->R, info->Color);
            return true;
        }
        if (!CacheValid() && !FCommonData->UpdatingFlag) PaintAll();
        if (info->PleaseDraw) info->X += OffsetX(), info->Y += OffsetY();
        FCommonData->FillBackgroundInfo(*info, FFormActive ? 1 : 0);
        if (info->BgType == 2 && !info->PleaseDraw) {
            if (!info->Bmp) {
                PaintAll();
                info->Bmp = FCommonData->CacheBitmap;
            }
            info->X = OffsetX();
            info->Y = OffsetY();
        }
        return true;
    }
    case scOpacity: M.Result = FCommonData->OpacityBits; return true;
    case scGetApplication: M.Result = reinterpret_cast<LRESULT>(Application); return true;
    case scBorderOffset: M.Result = MAKELONG(OffsetX(), OffsetY()); return true;
    default: return false;
    }
}

void TsSkinProvider::UnskinnedProc(TMessage& M) {
    if (M.Msg == SM_ALPHACMD) {
        TsSkinManager* m = FCommonData->SkinManager();
        switch (SkinCommandOf(M.WParam)) {
        case scNewSkin:
            if (reinterpret_cast<TsSkinManager*>(M.LParam) == m) {
                ResetSkinnedMenus();
                FCommonData->ResolveIndexes();
                if (m) {
                    LoadButtonImages();
                    UpdateSysMenuStyle(true);
                    if (FForm->FormStyle() == fsMDIForm && FForm->ActiveMDIChild() &&
                        FForm->ActiveMDIChild() == Screen->ActiveForm())
                        FFormActive = true;
                    if (!SkinLoading) HookMenus();
                    InvalidateCache();
                    FMenuRows = -1;
                    ApplyGlobalColor();
                    if (FForm->FormStyle() == fsMDIForm) {
                        FMDIToMake = false;
                        MakeMDIForm();
                    }
                }
                if (FAdapter)
                    FAdapter->AddAllItems();
                else
                    CreateAdapter();
                RepaintWhole();
            }
            return;
        case scGetProvider:
            M.Result = reinterpret_cast<LRESULT>(static_cast<TacFormProvider*>(this));
            return;
        default: break;
        }
    }
    const bool childGone = M.Msg == WM_NCDESTROY && FForm->FormStyle() == fsMDIChild;
    if (!CallPrev(M) || !childGone) return;
    // A closed MDI child leaves the main form's frame and client to repaint.
    TsSkinProvider* main = MDIMainProvider;
    if (!main || !main->MDIForm() || !main->MDIForm()->Wrapper() || !main->SkinData()->IsSkinned() ||
        (main->Form()->ComponentState() & csDestroying))
        return;
    RefreshMDIMainFrame();
    if (!main->Form()->ActiveMDIChild() && main->Form()->ClientHandle())
        RedrawWindow(main->Form()->ClientHandle(), nullptr, nullptr, 0x507);
}

void TsSkinProvider::SkinCommandSkinned(TMessage& M) {
    TsSkinManager* m = FCommonData->SkinManager();
    const bool fromOurs = reinterpret_cast<TsSkinManager*>(M.LParam) == m;
    HWND h = FForm->HandleIfAllocated();
    const uint16_t arg = SkinArgumentOf(M.WParam);
    M.Result = 0;
    switch (SkinCommandOf(M.WParam)) {
    case scNewSkin:
        if (!fromOurs) return;
        ResetSkinnedMenus();
        FCommonData->ResolveIndexes();
        if (m) {
            LoadButtonImages();
            InvalidateCache();
            DropImageCopies();
            UpdateSysMenuStyle(FDrawNonClientArea);
            InvalidateCache();
            FMenuRows = -1;
            if (FForm->FormStyle() == fsMDIForm) {
                FMDIToMake = false;
                MakeMDIForm();
            }
            RepaintWhole();
        }
        return;
    case scRefresh:
        if (!fromOurs) return;
        if (FAdapter)
            FAdapter->AddAllItems();
        else
            CreateAdapter();
        if (FDrawNonClientArea) UpdateScrollWrapper();
        FMenuRows = -1;
        FMenuLineBmp.reset();
        if (!SkinLoading) MenuChanged(), HookMenus();
        if (HasBorder()) FRegionChanged = true;
        // A form whose redraw is held gets its image painted when it is let go.
        InvalidateCache();
        DropImageCopies();
        if (h && IsWindowVisible(h) && !acShowAnimationRunning) {
            if (HWND child = MaximisedChild()) {
                // The maximised child covers the client: the frame and the child.
                SendMessageW(h, WM_NCPAINT, 1, 0);
                InvalidateRect(child, nullptr, TRUE);
            } else {
                RedrawWindow(h, nullptr, nullptr, kRedrawFrameNoChildren);
                if (FForm->FormStyle() == fsMDIForm && FForm->ClientHandle())
                    RedrawWindow(FForm->ClientHandle(), nullptr, nullptr, kRedrawFrameNoChildren);
            }
        }
        ApplyGlobalColor();
        if (FMDIForm) FMDIForm->RefreshWrapper();
        FCommonData->UpdatingFlag = false;
        if (FSystemMenu) FSystemMenu->RefreshCaptions();
        if (FAdapter) FAdapter->WndProc(M);
        return;
    case scGetProvider: M.Result = reinterpret_cast<LRESULT>(static_cast<TacFormProvider*>(this)); return;
    case scBeginUpdate:
        // An MDI child's change runs: the frame is painted once, after it.
        FFrameHeld = true;
        return;
    case scEndUpdate: FFrameHeld = false; return;
    case scSetUpdating:
        FCommonData->UpdatingFlag = arg == 1;
        if (FCommonData->NeedsRepaint()) InvalidateCache();
        return;
    case scSetHalt:
        FCommonData->HandleEngineCommand(M);
        if (FCommonData->HaltFlag) PaintAll();
        return;
    case scQueryUpdating: {
        TBitmap* c = FCommonData->CacheBitmap;
        const bool mismatch = !c || c->Width() != FormWidth() || c->Height() != FormHeight();
        M.Result = !acShowAnimationRunning && FCommonData->UpdatingFlag && (!CacheValid() || mismatch) ? 1 : 0;
        return;
    }
    case scSetLinkObject: FCommonData->LinkedObject = reinterpret_cast<TObject*>(M.LParam); return;
    case scQueryComplexBackground: {
        const TsGeneralData* s = FCommonData->Section();
        M.Result = s && s->GradientPercent + s->ImagePercent > 0 ? 1 : 0;
        return;
    }
    case scQueryColor: M.Result = FormColor(); return;
    case scChildChanged:
        if (!(FForm->ComponentState() & csLoading) && FAdapter) {
            if (auto* c = dynamic_cast<TWinControl*>(reinterpret_cast<TObject*>(M.LParam)))
                FAdapter->AdaptControl(c);
            else
                FAdapter->AddAllItems();
        }
        return;
    case scBeforeScroll:
        if (FCommonData->IsSkinned()) SetRedraw(h, false);
        return;
    case scAfterScroll:
        if (FCommonData->IsSkinned()) {
            SetRedraw(h, true);
            RedrawWindow(h, nullptr, nullptr, kRedrawAll);
            if (MDIMainProvider == this && FForm->ClientHandle())
                RedrawWindow(FForm->ClientHandle(), nullptr, nullptr,
                             RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
        }
        return;
    default: return;
    }
}

// A new skin shows at once: frame, region and client painted anew.
void TsSkinProvider::RepaintWhole() {
    HWND h = FForm->HandleIfAllocated();
    InvalidateCache();
    DropImageCopies();
    FRegionChanged = true;
    if (h && IsWindowVisible(h)) RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---------------------------------------------------------------- window messages

void TsSkinProvider::SkinnedMessage(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    for (UINT s : kSwallowed)
        if (M.Msg == s) {
            M.Result = 0;
            return;
        }
    switch (M.Msg) {
    case WM_CREATE: WMCreate(M); return;
    case WM_SIZE: WMSize(M); return;
    case WM_ACTIVATE: WMActivate(M); return;
    case WM_SETTEXT: WMSetText(M); return;
    case WM_PAINT: WMPaint(M); return;
    case WM_ERASEBKGND: WMEraseBkgnd(M); return;
    case WM_SETICON:
        // The system repaints the caption with the new icon itself, not by
        // WM_NCPAINT (the class library sets an MDI child's icon once it shows).
        // A handle may come again for another picture: the drawn copy goes.
        FIconCopy = TacIconCopy{};
        if (CallPrev(M) && FDrawNonClientArea && FSystemMenu && IsWindowVisible(h)) PaintFrameToWindow();
        return;
    case WM_SYSCOLORCHANGE:
        if (CallPrev(M)) MenuChanged();
        return;
    case WM_CHILDACTIVATE:
        if (!CallPrev(M)) return;
        MenuChanged();
        if (FForm->FormStyle() == fsMDIChild && IsZoomed(h) && MDIMainProvider && MDIMainProvider->MDIForm())
            MDIMainProvider->MDIForm()->RefreshWrapper();
        return;
    case WM_SHOWWINDOW:
        if (M.WParam == 1 && !IsMDIChild()) FShownState = IsIconic(h) ? 2 : IsZoomed(h) ? 3 : 1;
        if (!CallPrev(M) || !IsMDIChild()) return;
        // A child shown without being activated is prepared here.
        if (M.WParam == 1 && !FSystemMenu) PrepareForm();
        if (MenuLineChildProvider == this) RefreshMDIMainFrame();
        return;
    case WM_SETTINGCHANGE:
        InvalidateCache();
        FMenuLineBmp.reset();
        FImageKept = false;
        CallPrev(M);
        return;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(M); return;
    case WM_NOTIFY:
        if (CallPrev(M) && reinterpret_cast<NMHDR*>(M.LParam) &&
            reinterpret_cast<NMHDR*>(M.LParam)->code == UINT(TCN_SELCHANGE) && FAdapter)
            FAdapter->AddAllItems();
        return;
    case WM_NCHITTEST: WMNCHitTest(M); return;
    case WM_NCPAINT: WMNCPaint(M); return;
    case WM_NCACTIVATE: WMNCActivate(M); return;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(M); return;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
        // The system's frame keeps the system's mouse, but for the icon's press.
        if (!FDrawNonClientArea) {
            CallPrev(M);
            return;
        }
        if (M.Msg == WM_NCLBUTTONDBLCLK)
            WMNCLButtonDblClk(M);
        else if (M.Msg == WM_NCRBUTTONDOWN)
            WMNCRButtonDown(M);
        else if (M.Msg == WM_NCRBUTTONUP)
            WMNCRButtonUp(M);
        else
            WMNCLButtonUp(M);
        return;
    case WM_SYSCOMMAND: WMSysCommand(M); return;
    case WM_ENTERIDLE: M.Result = 0; return;
    case WM_ENTERMENULOOP:
        // The system draws the menu bar itself during its loop: a copy of the
        // maximised child's buttons stays on top of it meanwhile.
        if (FForm->FormStyle() == fsMDIForm && MDIMainProvider == this && !MDIIconsForm() && !FMDIRestoreRunning) {
            if (TForm* c = FForm->ActiveMDIChild(); c && c->HandleAllocated() && IsZoomed(c->HandleIfAllocated())) {
                FMDIRestoreRunning = true;
                ShowMDIIcons(this);
            }
        }
        CallPrev(M);
        return;
    case WM_EXITMENULOOP:
        FMDIRestoreRunning = false;
        if (MDIMainProvider == this) FreeMDIIcons();
        if (!CallPrev(M)) return;
        // Entries the system drew itself during the loop go back to the skin's.
        if (MenuVisible() && FDrawNonClientArea && IsWindowVisible(h)) SendMessageW(h, WM_NCPAINT, 1, 0);
        return;
    case WM_MDIACTIVATE:
    case WM_MDIRESTORE:
        if (!CallPrev(M)) return;
        if (FForm->FormStyle() == fsMDIChild) {
            if (!IsZoomed(h) && MDIMainProvider) {
                FMenuChangedOnce = false;
                MDIMainProvider->ResetMenuLine();
                MDIMainProvider->InvalidateCache();
                if (MDIMainProvider->Form()->HandleAllocated())
                    SendMessageW(MDIMainProvider->Form()->HandleIfAllocated(), WM_NCPAINT, 1, 0);
            }
            MenuLineChildProvider = this;
        }
        return;
    case WM_MOUSEMOVE: {
        if (!CallPrev(M)) return;
        if (!Designing(this))
            if (TsSkinManager* m = FCommonData->SkinManager()) m->SetHotWindow(nullptr);
        if (FDragKind != 0) {
            POINT p{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
            ClientToScreen(h, &p);
            StepBorderDrag(TPoint{p.x, p.y});
        }
        return;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        // Whoever took the mouse ended our outline drag: nothing moves.
        if (FDragKind != 0 && (M.Msg == WM_CANCELMODE || HWND(M.LParam) != h)) EndBorderDrag(TPoint{}, false);
        CallPrev(M);
        return;
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
        SetHotHT(0);
        CallPrev(M);
        return;
    case WM_PARENTNOTIFY:
        if ((FForm->ComponentState() & csLoading) || (LOWORD(M.WParam) != WM_CREATE && LOWORD(M.WParam) != WM_DESTROY)) {
            CallPrev(M);
            return;
        }
        if (!CallPrev(M)) return;
        if (LOWORD(M.WParam) == WM_CREATE && FAdapter) FAdapter->AddAllItems();
        RepaintChildren(FForm);
        if (FDrawNonClientArea && FScrollWrapper) UpdateScrollInfo(FScrollWrapper, true);
        return;
    case WM_PRINT: WMPrint(M); return;
    case WM_PRINTCLIENT: M.Result = 0; return;
    case CM_VISIBLECHANGED:
        if (!CallPrev(M)) return;
        if (M.WParam == 0 && !(ComponentState() & csDestroying) && FCommonData->CacheBitmap)
            FCommonData->CacheBitmap->SetSize(0, 0), InvalidateCache();
        // A form shown inside another window (an MDI child in its frame) has
        // its children painted over its new image.
        if (M.WParam != 0 && (FForm->Parent() || IsMDIChild())) RepaintChildren(FForm);
        return;
    case CM_ENABLEDCHANGED:
        if (!CallPrev(M)) return;
        if (FDrawNonClientArea && IsWindowVisible(h)) InvalidateCache(), SendMessageW(h, WM_NCPAINT, 1, 0);
        return;
    case CM_COLORCHANGED:
        if (!FCommonData->CustomColor()) {
            M.Result = 0;
            return;
        }
        if (!(FForm->ControlState() & csCreating)) InvalidateCache();
        CallPrev(M);
        return;
    case CM_MENUCHANGED:
        // The bar is drawn again next: the line in the image with it.
        if (!(FForm->ControlState() & csCreating) && FForm->Visible()) ResetMenuLine(), InvalidateCache();
        CallPrev(M);
        return;
    case WM_NCCALCSIZE:
        if (CallPrev(M)) {
            // A new width can wrap the bar into more or fewer rows.
            FMenuRows = -1;
            CheckMenuLineKey();
        }
        return;
    case CM_SHOWINGCHANGED:
        // The class library makes an MDI form's client window after the
        // form's own: it is wrapped once the form shows.
        if (FMDIForm) FMDIForm->RefreshWrapper();
        CMShowingChanged(M);
        return;
    case CM_CONTROLLISTCHANGE: {
        auto* c = reinterpret_cast<TControl*>(M.WParam);
        // A control leaving the form loses its item (and wrapper) instead of
        // being adapted on its way out.
        if (c && !M.LParam && FAdapter) FAdapter->ControlRemoved(c);
        if (!CallPrev(M)) return;
        if (auto* w = dynamic_cast<TWinControl*>(c); w && M.LParam) {
            if (FAdapter) FAdapter->AdaptControl(w);
            RepaintChildren(FForm);
        }
        if (c && M.LParam) SendAlphaCommand(c, scOpacity, 0, 1);
        return;
    }
    case CM_RECREATESCROLL:
        if (!CallPrev(M)) return;
        FreeScrollWrapper();
        SendMessageW(h, SM_ALPHACMD, WPARAM(SkinWParam(scRefresh)), LPARAM(FCommonData->SkinManager()));
        return;
    case WM_DESTROY:
        // A child gone before its first paint maximises nothing.
        if (IsMDIChild()) acMDIChildMaximizing = false;
        for (TsCaptionButton& b : FButtons)
            if (b.GlowID >= 0) StopGlowEffect(b.GlowID), b.GlowID = -1;
        HideCaptionOverlay();
        CallPrev(M);
        return;
    default: CallPrev(M); return;
    }
}

void TsSkinProvider::WMCreate(TMessage& M) {
    FMenuLineBmp.reset();
    if (IsMDIChild()) {
        // A child made before its frame is skinned has the frame skinned first.
        TForm* main = Application ? Application->MainForm() : nullptr;
        if (main && main->FormStyle() != fsMDIForm) main = nullptr;
        if (!MDIMainProvider && main && main->HandleAllocated()) HookActivateWindow(main->HandleIfAllocated());
        if (MDIMainProvider) main = MDIMainProvider->Form();
        // The system makes a child maximised when the active one is: the
        // child maximises itself at its first paint, with the frame held.
        TForm* active = main ? main->ActiveMDIChild() : nullptr;
        acMDIChildMaximizing = active && active != FForm && active->HandleAllocated() &&
                               IsZoomed(active->HandleIfAllocated());
    }
    if (!CallPrev(M)) return;
    // An MDI child is prepared when it is first activated.
    if (!IsMDIChild()) PrepareForm();
}

void TsSkinProvider::WMNCHitTest(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    if (CaptionHeight() > 0 && FDrawNonClientArea) {
        const int r = HitTest(GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
        if (r == 0 || r == HTCAPTION) {
            if (!CallPrev(M)) return;
            SetHotHT(0);
        } else {
            M.Result = r;
            // Hear the mouse leave the frame, so no button stays lit.
            TRACKMOUSEEVENT t{sizeof t, TME_LEAVE | TME_NONCLIENT, h, 0};
            TrackMouseEvent(&t);
        }
        if (FResizeMode == rmBorder && FDragHitCode == 0 &&
            (M.Result == HTCAPTION || (M.Result >= HTLEFT && M.Result <= HTBOTTOMRIGHT)))
            FDragHitCode = int(M.Result);
        return;
    }
    CallPrev(M);
}

void TsSkinProvider::WMNCPaint(TMessage& M) {
    // A child inside a frame being faded in keeps the system's frame meanwhile.
    if (!FDrawNonClientArea || (acShowAnimationRunning && IsMDIChild())) {
        CallPrev(M);
        return;
    }
    HWND h = FForm->HandleIfAllocated();
    if (FFrameHeld) {
        InvalidateCache();
        M.Result = 0;
        return;
    }
    // A size change paints here first, before WM_SIZE: an image of the old
    // size would show its right and bottom borders in the wrong place, and
    // painting the new one now leaves WM_SIZE nothing to repaint.
    const TBitmap* c = FCommonData->CacheBitmap;
    if (IsIconic(h) || (c && !c->Empty() && (c->Width() != FormWidth() || c->Height() != FormHeight())))
        InvalidateCache();
    if (!acShowAnimationRunning && IsWindowVisible(h) && !(FForm->ComponentState() & csLoading) && FSystemMenu)
        PaintNonClient();
    M.Result = 0;
}

void TsSkinProvider::WMSize(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    RECT cr{};
    GetClientRect(h, &cr);
    const TRect now = Rect(0, 0, cr.right, cr.bottom);
    TsSkinManager* m = FCommonData->SkinManager();
    if (m && !IsZoomed(h) && FLastClientKnown) {
        const bool shrank = now.Right < FLastClientRect.Right || now.Bottom < FLastClientRect.Bottom;
        InvalidateGripAreas(now);
        if (shrank) {
            // The right-edge corner images stood at the old edge.
            for (const char* name : {"IMGTOPRIGHT", "IMGBTMRIGHT"}) {
                const int k = m->MaskIndexInherited(FCommonData->Resolved(), name);
                if (!m->IsValidMaskIndex(k)) continue;
                const TsMaskData& d = m->ma()[size_t(k)];
                const int w = d.R.Width() / std::max<int>(d.ImageCount, 1);
                RECT r{FLastClientRect.Right - w, 0, FLastClientRect.Right, now.Bottom};
                InvalidateRect(h, &r, FALSE);
            }
            if (const TsGeneralData* s = FCommonData->Section(); s && s->GradientPercent > 0) InvalidateRect(h, nullptr, FALSE);
        }
    }
    FLastClientRect = now;
    FLastClientKnown = true;
    FRegionChanged = true;
    if (!CallPrev(M)) return;
    if (acShowAnimationRunning) return;
    if (!IsWindowVisible(h)) {
        InvalidateCache();
        return;
    }
    TBitmap* c = FCommonData->CacheBitmap;
    if (c && c->Width() == FormWidth() && c->Height() == FormHeight()) {
        if (FForm->FormStyle() == fsMDIForm && FCommonData->NeedsRepaint()) SendMessageW(h, WM_NCPAINT, 1, 0);
        // The image was made at the new size meanwhile (its controls asked
        // for their background). A maximised MDI child hears no non-client
        // paint, which would cut its region to the new size: done here.
        if (FForm->FormStyle() == fsMDIChild && M.WParam == SIZE_MAXIMIZED) {
            if (MDIMainProvider) MDIMainProvider->ResetMenuLine();
            UpdateRegionRects();
            UpdateWindowRegion(false);
            RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_INVALIDATE);
        }
        return;
    }
    if (IsIconic(h) && IsDwmActive()) return;
    FRegionChanged = true;
    InvalidateCache();
    FMenuRows = -1;
    if (FDrawNonClientArea) SendMessageW(h, WM_NCPAINT, 1, 0);
    if (!IsDwmActive() && (!c || c->Empty() || (FCommonData->NeedsRepaint() &&
                                                 (FormWidth() < c->Width() || FormHeight() < c->Height()))))
        InvalidateRect(h, nullptr, FALSE);
}

// The grip sits in the client's bottom-right corner: where it stood and
// where it goes are painted again when the client changes size.
void TsSkinProvider::InvalidateGripAreas(const TRect& Now) {
    HWND h = FForm->HandleIfAllocated();
    TsSkinManager* m = FCommonData->SkinManager();
    // Also when the whole client is painted anew: a grown client is not
    // invalidated where the grip stood.
    if (FGripMode != gmRightBottom || !m) return;
    if (Now.Right == FLastClientRect.Right && Now.Bottom == FLastClientRect.Bottom) return;
    const int g = GlobalMask(m, "GRIPIMAGE");
    if (!m->IsValidMaskIndex(g)) return;
    const TsMaskData& d = m->ma()[size_t(g)];
    const int gw = d.R.Width() / std::max<int>(d.ImageCount, 1), gh = d.R.Height() / (d.MaskType + 1);
    for (const TRect& c : {FLastClientRect, Now}) {
        RECT r{c.Right - gw, c.Bottom - gh, c.Right, c.Bottom};
        InvalidateRect(h, &r, FALSE);
    }
}

void TsSkinProvider::WMActivate(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    if (!IsWindowVisible(h)) {
        CallPrev(M);
        return;
    }
    const bool dwm = IsDwmActive();
    if (dwm) SetRedraw(h, false);
    if (!CallPrev(M)) return;
    if (!FScrollWrapper) UpdateScrollWrapper();
    if (dwm) SetRedraw(h, true);
    if (FForm->ControlState() & csCreating) return;
    FMenuRows = -1;
    if (IsMDIChild()) {
        // Every other child's caption shows the inactive look again.
        if (HWND client = GetParent(h))
            for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (c != h && IsWindowVisible(c)) SendMessageW(c, WM_NCPAINT, 1, 0);
        RefreshMDIMainFrame();
    }
    if (!Designing(this)) HookMenus();
    if (FSystemMenu) FSystemMenu->UpdateItems();
    if (dwm) RedrawWindow(h, nullptr, nullptr, RDW_ALLCHILDREN | RDW_INVALIDATE);
    if (!HasBorder()) RepaintChildren(FForm);
}

void TsSkinProvider::WMSetText(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    if (!IsWindowVisible(h) || (FForm->ControlState() & csCreating) || !FDrawNonClientArea) {
        CallPrev(M);
        return;
    }
    if (IsMDIChild() && MenuLineChildProvider == this && MDIMainProvider && MDIMainProvider->MaximisedChild() == h) {
        // The frame's caption is the system's to repaint with the child's text.
        TsSkinProvider* main = MDIMainProvider;
        main->ShowCaptionOverlay();
        ScopeExit hide([] {
            if (MDIMainProvider) MDIMainProvider->HideCaptionOverlay();
        });
        CallPrev(M);
        return;
    }
    if (IsDwmActive()) {
        if (CallPrev(M)) PaintFrameToWindow();
        return;
    }
    ShowCaptionOverlay();
    InvalidateCache();
    if (!CallPrev(M)) return;
    // The system drew its own caption with the new text: ours goes over it.
    PaintFrameToWindow();
    HideCaptionOverlay();
}

void TsSkinProvider::WMPaint(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    if (!FFirstPaintDone) {
        FFirstPaintDone = true;
        if (IsDwmFrameAllowed()) {
            FDwmFrameOn = FCommonData->IsSkinned();
            SetDwmNCRendering(h, FDwmFrameOn);
        }
    }
    const bool showing = IsWindowVisible(h) != 0;
    if (showing && FCommonData->NeedsRepaint()) {
        // With the graphic children (an MDI form's too).
        PaintForm();
        M.Result = 0;
    } else if (showing) {
        if (!(ComponentState() & csDestroying)) InvalidateRect(h, nullptr, TRUE);
        PAINTSTRUCT ps{};
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
        M.Result = 0;
    }
    if (showing && acMDIChildMaximizing && IsMDIChild()) {
        // Made maximised beside a maximised child: it takes the line now.
        acMDIChildMaximizing = false;
        SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    }
    if (!showing) {
        // Nothing to show: what is invalid is taken as painted, or the
        // system would ask again and again.
        ValidateRect(h, nullptr);
        M.Result = 0;
        return;
    }
    if (!acShowAnimationRunning && FForm->OnPaint) {
        WindowDC dc(h, WindowDC::Client);
        TCanvas* c = FForm->Canvas();
        HDC before = c->HandleAllocated() ? c->Handle() : nullptr;
        c->SetHandle(dc.Get());
        ScopeExit back([c, before] { c->SetHandle(before); });
        FForm->OnPaint(FForm);
    }
}

void TsSkinProvider::WMEraseBkgnd(TMessage& M) {
    HWND h = FForm->HandleIfAllocated();
    if (!IsWindowVisible(h)) {
        CallPrev(M);
        return;
    }
    if (!FCommonData->NeedsRepaint() || MaximisedChild()) EraseBackground(reinterpret_cast<HDC>(M.WParam));
    if (acMDIChildMaximizing && IsMDIChild()) MenuLineChildProvider = this;
    M.Result = 1;
}

void TsSkinProvider::WMWindowPosChanging(TMessage& M) {
    if (FInRegionUpdate) {
        M.Result = 0;
        return;
    }
    auto* wp = reinterpret_cast<WINDOWPOS*>(M.LParam);
    HWND h = FForm->HandleIfAllocated();
    if (FScreenSnap && wp && !IsZoomed(h) && !(wp->flags & SWP_NOMOVE) && !(wp->x == 0 && wp->y == 0)) {
        RECT wr{};
        GetWindowRect(h, &wr);
        const int w = (wp->flags & SWP_NOSIZE) ? wr.right - wr.left : wp->cx;
        const int ht = (wp->flags & SWP_NOSIZE) ? wr.bottom - wr.top : wp->cy;
        // The work area of the monitor the window is moving onto.
        const RECT proposed{wp->x, wp->y, wp->x + w, wp->y + ht};
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        if (GetMonitorInfoW(MonitorFromRect(&proposed, MONITOR_DEFAULTTONEAREST), &mi)) {
            const TRect work = Rect(mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom);
            const TPoint p = SnapToWorkArea(TPoint{wp->x, wp->y}, TPoint{w, ht}, work, FSnapBuffer);
            wp->x = p.X;
            wp->y = p.Y;
        }
    }
    CallPrev(M);
}

// ---------------------------------------------------------------- activation

void TsSkinProvider::WMNCActivate(TMessage& M) {
    if (ComponentState() & csDestroying) {
        CallPrev(M);
        return;
    }
    HWND h = FForm->HandleIfAllocated();
    // An MDI child is prepared at its first activation, before the system
    // draws the caption that the provider paints over.
    if (IsMDIChild() && !FSystemMenu) PrepareForm();
    FFormActive = M.WParam != 0;
    const bool visible = IsWindowVisible(h) != 0;
    const bool dwm = visible && IsDwmActive();
    const bool lock = visible && (acShowAnimationRunning || dwm);
    // The overlay shows the image of the old state: put up before that
    // image is marked stale, which it would refuse.
    if (visible && !lock) ShowCaptionOverlay();
    if (M.WParam == 0 && FShownState == 3) {
        FShownState = 0;
    } else if (FShownState == 3) {
        FCommonData->UpdatingFlag = true;
    } else {
        InvalidateCache();
        FCommonData->UpdatingFlag = false;
    }
    if (visible) {
        if (lock) SetRedraw(h, false);
        if (!CallPrev(M)) return;
        if (lock) SetRedraw(h, true);
        if (dwm) {
            InvalidateRect(h, nullptr, TRUE);
            RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
        } else {
            // The system painted its own caption in the new state: ours goes over it.
            if (!acShowAnimationRunning && FDrawNonClientArea && FSystemMenu) PaintFrameToWindow();
            HideCaptionOverlay();
        }
    } else if (!CallPrev(M)) {
        return;
    }
    if (IsMDIChild()) ActivateMDIChild();
    if (GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_LAYERED) SendMessageW(h, WM_NCPAINT, 1, 0);
    if (FForm->ControlState() & csCreating) return;
    if (HasBorder()) KeepActiveLook(M.WParam, HWND(M.LParam));
    if (IsMDIChild()) SendMessageW(h, WM_NCPAINT, 1, 0);
    if (!Designing(this)) HookMenus();
    if (!FMenuChangedOnce) MenuChanged(), FMenuChangedOnce = true;
    if (!FAdapter) CreateAdapter();
    if (IsIconic(h) && !IsDwmActive()) {
        InvalidateCache();
        SendMessageW(h, WM_NCPAINT, 1, 0);
    }
    if (FCommonData->NeedsRepaint() && CacheValid()) RepaintChildren(FForm);
}

// A frame whose menu line holds its maximised child's buttons keeps its
// active look while that child is the one being activated (Gaining).
void TsSkinProvider::KeepActiveLook(WPARAM Active, HWND Gaining) {
    if (MDIButtonsShown()) {
        HWND child = MaximisedChild();
        if (Active != 0 || (child && Gaining == child)) FFormActive = true;
        FMenuRows = -1;
    } else if (FFormActive != (LOWORD(Active) != 0)) {
        FFormActive = LOWORD(Active) != 0;
        FMenuRows = -1;
    }
}

// The frame's menu line follows the active child.
void TsSkinProvider::ActivateMDIChild() {
    TsSkinProvider* main = MDIMainProvider;
    if (!IsWindowVisible(FForm->HandleIfAllocated())) return;
    if (!main || !main->MDIForm() || !main->Form()->HandleAllocated()) return;
    main->FMenuRows = -1;
    main->MDIForm()->RefreshWrapper();
    SendMessageW(main->Form()->HandleIfAllocated(), WM_NCPAINT, 1, 0);
    if (HWND client = main->Form()->ClientHandle()) SendMessageW(client, WM_NCPAINT, 1, 0);
}

// ---------------------------------------------------------------- showing

void TsSkinProvider::CMShowingChanged(TMessage& M) {
    if (CacheValid() || !FForm->Showing() || !FDrawNonClientArea) {
        if (CallPrev(M)) UpdateScrollWrapper();
        return;
    }
    HWND h = FForm->HandleIfAllocated();
    HookMenus();
    if (FAdapter) FAdapter->AddAllItems();
    TsSkinManager* m = FCommonData->SkinManager();
    TacFormAnimation* anim = nullptr;
    if (m && !FForm->Parent() && !IsMDIChild() && m->AnimEffects())
        anim = FForm->BorderStyle() == bsDialog ? m->AnimEffects()->DialogShow() : m->AnimEffects()->FormShow();
    const bool animate = anim && anim->Active() && anim->Time() >= 8;
    std::vector<HWND> locked;
    const bool dwm = animate && IsDwmActive();
    if (animate) {
        FCommonData->UpdatingFlag = true;
        FadeInProgress = true;
        acShowAnimationRunning = true;
        // The composited frame would show unpainted: held, and shaped now.
        if (dwm) {
            SetRedraw(h, false);
            UpdateRegionRects();
            UpdateWindowRegion(false);
        }
        for (int i = 0; i < FForm->ControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(FForm->Controls(i)); w && w->Visible() && w->HandleAllocated()) {
                SetRedraw(w->HandleIfAllocated(), false);
                locked.push_back(w->HandleIfAllocated());
            }
    }
    ScopeExit animationOff([this, animate] {
        if (animate) {
            acShowAnimationRunning = false;
            FadeInProgress = false;
        }
    });
    if (!CallPrev(M)) return;
    UpdateScrollWrapper();
    if (!animate) {
        if (IsMDIChild() && MenuLineChildProvider == this) RefreshMDIMainFrame();
        return;
    }
    if (dwm) SetRedraw(h, true);
    for (HWND c : locked)
        if (IsWindow(c)) SetRedraw(c, true);
    acShowAnimationRunning = false;
    FCommonData->UpdatingFlag = false;
    InvalidateCache();
    FadeOutControl(FForm, anim->Time());
    UpdateRegionRects();
    UpdateWindowRegion(false);
    FadeInProgress = false;
    RedrawWindow(h, nullptr, nullptr,
                 FCommonData->NeedsRepaint() || IsDwmFrameAllowed() ? kRedrawAllNoErase : kRedrawAll);
}

// ---------------------------------------------------------------- printing

void TsSkinProvider::WMPrint(TMessage& M) {
    M.Result = 0;
    HWND h = FForm->HandleIfAllocated();
    if (!IsWindowVisible(h) || (ComponentState() & csLoading) || (FForm->ControlState() & csCreating) ||
        (FForm->ComponentState() & csDestroying))
        return;
    // Of the MDI children only the maximised active one prints.
    if (IsMDIChild() && (!MDIMainProvider || MDIMainProvider->MaximisedChild() != h)) return;
    HDC dc = reinterpret_cast<HDC>(M.WParam);
    if (!dc) return;
    FMenuChangedOnce = true;
    FCommonData->UpdatingFlag = false;
    SavedDC saved(dc);
    if (FDrawNonClientArea) {
        if (HasBorder() || !(GetWindowLongPtrW(h, GWL_STYLE) & WS_THICKFRAME)) {
            PaintFrameToDC(dc);
        } else {
            if (!CacheValid()) PaintAll();
            TBitmap* c = FCommonData->CacheBitmap;
            if (c && !c->Empty())
                CopyBorderBands(dc, 0, 0, c->Width(), c->Height(), c->Canvas()->Handle(), 0, 0, FormBorderWidth() + 3);
        }
    }
    POINT org{};
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + OffsetX(), org.y + OffsetY(), nullptr);
    const TRect client = FForm->ClientRect();
    IntersectClipRect(dc, 0, 0, client.Width(), client.Height());
    {
        SavedDC inner(dc);
        ClipOutChildControls(dc, FForm, 0, 0);
        PaintClientBackground(dc, false);
    }
    if (FForm->FormStyle() != fsMDIForm) {
        PaintGraphicChildren(dc, FForm, TPoint{0, 0});
    } else if (HWND client = FForm->ClientHandle()) {
        // The client window and its children, at the client's place.
        RECT cr{};
        GetWindowRect(client, &cr);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&cr), 2);
        SavedDC at(dc);
        OffsetViewportOrgEx(dc, cr.left, cr.top, nullptr);
        SendMessageW(client, WM_PRINT, WPARAM(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    }
    if (FForm->OnPaint) {
        TCanvas* c = FForm->Canvas();
        HDC before = c->HandleAllocated() ? c->Handle() : nullptr;
        c->SetHandle(dc);
        ScopeExit back([c, before] { c->SetHandle(before); });
        FForm->OnPaint(FForm);
    }
}
