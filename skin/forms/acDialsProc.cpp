// The dialog wrapper's window procedure: engine commands, frame and client
// painting, the hit test of the title buttons and the icon, hot and pressed
// buttons with their glow, clicks turned into system commands, and the
// skinned system menu (caption right click, icon click, Alt+Space).
#include <windowsx.h>

#include <algorithm>

#include "Forms.h"
#include "Guards.h"
#include "acDials.h"
#include "acGlow.h"
#include "acntUtilsWin.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

namespace {

TPoint LParamPoint(LPARAM L) { return TPoint{GET_X_LPARAM(L), GET_Y_LPARAM(L)}; }

// The background record's type of an image answer.
constexpr uint8_t kImageBackground = 2;

// Move by dragging, as the system sends it for a caption drag.
constexpr WPARAM SC_DRAGMOVE = 0xF012;
// Sent after the dialog's children changed (a property sheet page switch).
constexpr UINT WM_CHILDRENCHANGED = 0x52E;

}  // namespace

void TacDialogWnd::WndProc(TMessage& M) {
    ++ProcDepth;
    struct Leave {
        int& D;
        ~Leave() { --D; }
    } leave{ProcDepth};
    if (IsSettingsChangeMessage(M.Msg)) SystemSettingsChanged();
    if (Destroyed) {
        TacScrollWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
        if (Attached()) {
            TacMainWnd* self = this;
            DetachWrapper(CtrlHandle, false, false, self);
        }
        PassOn(M);
        return;
    default: break;
    }
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (!m || !m->Active() || !m->SkinData() || !m->SkinData()->Active()) {
        TacScrollWnd::WndProc(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD) {
        if (!DialogSkinCommand(M)) TacScrollWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_SIZE:
        SkinData->BackgroundDirty = true;
        RegionUpdateNeeded = true;
        PassOn(M);
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return;
    case WM_WINDOWPOSCHANGED:
        SkinData->BackgroundDirty = true;
        RegionUpdateNeeded = true;
        TacScrollWnd::WndProc(M);
        return;
    case WM_ENABLE:
    case WM_SETTEXT:
        if (!IsWindowVisible(CtrlHandle)) break;
        TacScrollWnd::WndProc(M);  // the text is read again there
        SkinData->BackgroundDirty = true;
        SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
        return;
    case WM_PAINT:
        if (!CompositionSet) {
            CompositionSet = true;
            if (IsDwmActive()) SetDwmNCRendering(CtrlHandle, false);
        }
        PassOn(M);
        return;
    case WM_ERASEBKGND:
        ReadGeometry();
        if (!ChildrenWrapped && Provider) {
            ChildrenWrapped = true;
            Provider->WrapChildWindows(CtrlHandle);
        }
        PaintClient(reinterpret_cast<HDC>(M.WParam));
        M.Result = 1;
        return;
    case WM_DRAWITEM:
        if (reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam)->CtlType == ODT_STATIC)
            SetBkMode(reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam)->hDC, TRANSPARENT);
        break;
    case WM_GETDLGCODE: M.Result = 0; return;
    case WM_NCHITTEST: M.Result = HitTest(M); return;
    case WM_NCPAINT:
        if (!IsWindowVisible(CtrlHandle)) break;
        ReadGeometry();
        ReadWndText();
        PaintNonClient();
        M.Result = 1;
        return;
    case WM_NCACTIVATE:
        if (!IsWindowVisible(CtrlHandle)) break;
        NcActivate(M);
        return;
    case WM_NCLBUTTONDOWN: NcLButtonDown(M); return;
    case WM_NCLBUTTONUP: ButtonUp(M); return;
    case WM_LBUTTONUP:
        // Its wParam holds mouse-key flags, not a hit code: a release in the
        // client area is the dialog's own unless it ends a title button press.
        if (!TitleButtonPressed) break;
        SetHot(0, true);
        return;
    case WM_NCLBUTTONDBLCLK: NcLButtonDblClk(M); return;
    case WM_NCRBUTTONDOWN:
        if (M.WParam == HTCAPTION || M.WParam == HTSYSMENU) return;
        break;
    case WM_NCRBUTTONUP:
        if (M.WParam == HTCAPTION || M.WParam == HTSYSMENU) {
            SetHot(0, true);
            const TPoint p = LParamPoint(M.LParam);
            PopupSystemMenu(p.X, p.Y);
        }
        return;
    case WM_CTLCOLORDLG: M.Result = reinterpret_cast<LRESULT>(DialogBrush()); return;
    case WM_MOUSEMOVE:
        if (IsWindowEnabled(CtrlHandle) && DefaultSkinManager) DefaultSkinManager->SetHotWindow(nullptr);
        break;
    case WM_MOUSELEAVE: SetHot(0, true); break;
    case WM_CHILDRENCHANGED:
        PassOn(M);
        if (Provider) Provider->WrapChildWindows(CtrlHandle);
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        return;
    case WM_SYSCOMMAND:
        // The system menu is the wrapper's: Alt+Space opens it under the icon.
        if (FSysMenuTaken && (M.WParam & 0xFFF0) == SC_KEYMENU && M.LParam == ' ') {
            SetHot(0, true);
            PopupSystemMenu(WndRect.Left + BorderWidth(), WndRect.Top + BorderHeight() + SystemMetric(SM_CYSMICON));
            return;
        }
        TacScrollWnd::WndProc(M);
        if (!Destroyed && ((M.WParam & 0xFFF0) == SC_MAXIMIZE || (M.WParam & 0xFFF0) == SC_RESTORE) &&
            (WndStyle & WS_MAXIMIZEBOX)) {
            HotCode = HTMAXBUTTON;
            SetHot(0, true);
        }
        return;
    default: break;
    }
    TacScrollWnd::WndProc(M);
}

// The engine commands the dialog answers itself; false: passed on.
bool TacDialogWnd::DialogSkinCommand(TMessage& M) {
    TsSkinManager* m = SkinData->SkinManager();
    switch (SkinCommandOf(M.WParam)) {
    case scNewSkin:
        if (M.LParam != reinterpret_cast<LPARAM>(m)) return false;
        SkinData->ResolveIndexes();
        SkinData->BackgroundDirty = true;
        if (m) LoadTitleButtons();
        BroadcastToChildren(CtrlHandle, M.Msg, M.WParam, M.LParam);
        return true;
    case scRefresh:
        SkinData->ResolveIndexes();
        SkinData->BackgroundDirty = true;
        // The children heard no new-skin command while the skin was loading.
        BroadcastToChildren(CtrlHandle, M.Msg, M.WParam, M.LParam);
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return true;
    case scSetUpdating:
        SkinData->UpdatingFlag = SkinArgumentOf(M.WParam) == 1;
        if (SkinData->UpdatingFlag) SkinData->BackgroundDirty = true;
        return false;
    case scQueryUpdating: M.Result = SkinData->UpdatingFlag ? 1 : 0; return true;
    case scQueryComplexBackground: {
        const TsGeneralData* s = SkinData->Section();
        M.Result = s && s->GradientPercent + s->ImagePercent > 0 ? 1 : 0;
        return true;
    }
    case scQueryColor: M.Result = LRESULT(SkinData->BackgroundColor(0, CtrlHandle)); return true;
    case scDialogQuery:
        if (Provider) Provider->WrapChildWindows(CtrlHandle);
        return false;
    case scGetBackground: {
        auto* info = reinterpret_cast<BackgroundInfo*>(M.LParam);
        if (!info) return true;
        ReadGeometry();
        PaintFrameCache();
        SkinData->FillBackgroundInfo(*info, 0, CtrlHandle);
        if (info->BgType == kImageBackground && !info->PleaseDraw) {
            info->X += ClientOffsetX();
            info->Y += ClientOffsetY();
        }
        return true;
    }
    case scBorderOffset:
        ReadGeometry();
        M.Result = MAKELONG(ClientOffsetX(), ClientOffsetY());
        return true;
    default: return false;
    }
}

void TacDialogWnd::NcActivate(TMessage& M) {
    if (IsDwmActive()) SetDwmNCRendering(CtrlHandle, false);
    SendMessageW(CtrlHandle, WM_SETREDRAW, 0, 0);
    PassOn(M);
    if (Destroyed) return;
    Active = M.WParam != 0;
    SendMessageW(CtrlHandle, WM_SETREDRAW, 1, 0);
    SkinData->BackgroundDirty = true;
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

// ---------------------------------------------------------------- hit test and buttons

int TacDialogWnd::HitTest(TMessage& M) {
    ReadGeometry();
    const TPoint s = LParamPoint(M.LParam);
    const int x = s.X - WndRect.Left, y = s.Y - WndRect.Top;
    const int bw = BorderWidth(), bh = BorderHeight();
    const int closeH = ButtonHeight(BtnClose);
    const int band = (CaptionHeight() + bh - closeH) / 2;
    int code = 0;
    if (CaptionHeight() > 0 && y >= band && y < band + closeH) {
        if (x >= bw && x < bw + SystemMetric(SM_CXSMICON)) {
            // The icon: a button lit before goes out.
            SetHot(3, true);
            return HTSYSMENU;
        }
        // The buttons present, counted from the right.
        int slot = -1, n = 0;
        for (const TacTitleButton* b : {&BtnClose, &BtnMax, &BtnMin, &BtnHelp}) {
            const bool present = b == &BtnClose    ? (WndStyle & WS_SYSMENU) != 0
                                 : b == &BtnMax    ? (WndStyle & WS_MAXIMIZEBOX) != 0
                                 : b == &BtnMin    ? (WndStyle & WS_MINIMIZEBOX) != 0
                                                   : (WndExStyle & WS_EX_CONTEXTHELP) != 0;
            if (!present) continue;
            if (x >= b->Rect.Left && x < b->Rect.Right) slot = n, code = b == &BtnClose ? HTCLOSE
                                                                    : b == &BtnMax     ? HTMAXBUTTON
                                                                    : b == &BtnMin     ? HTMINBUTTON
                                                                                       : HTHELP;
            ++n;
        }
        if (slot < 0) code = HTCAPTION;
        if (code == HTMAXBUTTON && !(CanMaximize() || CanRestore())) code = HTCAPTION;
        if (code == HTMINBUTTON && !(IsIconic(CtrlHandle) || CanMinimize())) code = HTCAPTION;
        if (code != HTCAPTION) {
            SetHot(code, true);
            return code;
        }
    } else if (IsZoomed(CtrlHandle) && (x < 2 || y < 2 || x > WndSize.cx - 4 || y > WndSize.cy - 4)) {
        SetHot(0, true);
        return HTERROR;
    }
    SetHot(0, true);
    TacScrollWnd::WndProc(M);
    return int(M.Result);
}

void TacDialogWnd::SetHot(int Code, bool Repaint) {
    if (Code == HotCode) return;
    if (TacTitleButton* old = ButtonByCode(HotCode)) {
        old->State = 0;
        if (Repaint) RepaintTitleButton(HotCode);
    }
    HotCode = Code;
    TitleButtonPressed = false;
    if (TacTitleButton* now = ButtonByCode(Code)) {
        now->State = 1;
        if (Repaint) RepaintTitleButton(Code);
    }
}

void TacDialogWnd::SetPressed(int Code) {
    if (Code != HotCode)
        if (TacTitleButton* old = ButtonByCode(HotCode)) {
            old->State = 0;
            RepaintTitleButton(HotCode);
        }
    HotCode = Code;
    TacTitleButton* b = ButtonByCode(Code);
    if (b && (Code != HTMAXBUTTON || CanMaximize() || (IsZoomed(CtrlHandle) && CanRestore()))) b->State = 2;
    TitleButtonPressed = true;
    RepaintTitleButton(Code);
}

void TacDialogWnd::RepaintTitleButton(int Code) {
    TacTitleButton* b = ButtonByCode(Code);
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (!b || !m) return;
    TBitmap* cache = SkinData->CacheBitmap;
    if (m->IsValidMaskIndex(b->ImageIndex) && cache && !cache->Empty() && !SkinData->BackgroundDirty &&
        b->Rect.Left > BorderWidth() + SystemMetric(SM_CXSMICON)) {
        PaintButtonImage(cache, Code);
        WindowDC dc(CtrlHandle, WindowDC::Window);
        BitBlt(dc.Get(), b->Rect.Left, b->Rect.Top, b->Rect.Width(), b->Rect.Height(), cache->Canvas()->Handle(),
               b->Rect.Left, b->Rect.Top, SRCCOPY);
    }
    const TsSkinValues& v = m->SkinData()->Values;
    int size = 0, margin = 0;
    if (Code == HTCLOSE) size = v.BICloseGlow, margin = v.BICloseGlowMargin;
    if (Code == HTMAXBUTTON) size = v.BIMaxGlow, margin = v.BIMaxGlowMargin;
    if (Code == HTMINBUTTON) size = v.BIMinGlow, margin = v.BIMinGlowMargin;
    if (b->State == 1 && size > 0 && m->IsValidMaskIndex(b->ImageIndex)) {
        if (b->GlowID < 0) {
            const TRect r1 = Rect(WndRect.Left + b->Rect.Left, WndRect.Top + b->Rect.Top, WndRect.Left + b->Rect.Right,
                                  WndRect.Top + b->Rect.Bottom);
            b->GlowID = StartGlowEffect(r1, Rect(0, 0, r1.Width(), r1.Height()), "GLOBALINFO", m, margin,
                                        m->ma()[size_t(b->ImageIndex)].PropertyName + "GLOW");
        }
    } else if (b->GlowID >= 0) {
        StopGlowEffect(b->GlowID);
        b->GlowID = -1;
    }
}

void TacDialogWnd::PopupSystemMenu(int X, int Y) {
    if (FSysMenuShowing) return;
    FSysMenuShowing = true;
    struct Done {
        bool& F;
        ~Done() { F = false; }
    } done{FSysMenuShowing};
    SystemMenu->UpdateItems();
    SystemMenu->Popup(X, Y);
}

void TacDialogWnd::NcLButtonDown(TMessage& M) {
    const int code = int(M.WParam);
    switch (code) {
    case HTSYSMENU:
        SetHot(0, true);
        ReadGeometry();
        PopupSystemMenu(WndRect.Left + BorderWidth(), WndRect.Top + BorderHeight() + SystemMetric(SM_CYSMICON));
        return;
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP: SetPressed(code); return;
    default: break;
    }
    if (IsIconic(CtrlHandle)) {
        SendMessageW(CtrlHandle, WM_SYSCOMMAND, SC_DRAGMOVE, 0);
        return;
    }
    SetHot(0, true);
    const TPoint p = LParamPoint(M.LParam);
    if (IsZoomed(CtrlHandle) && p.Y - WndRect.Top <= BorderHeight() + CaptionHeight()) {
        if (!Active) SetFocus(CtrlHandle);
        return;
    }
    TacScrollWnd::WndProc(M);
}

void TacDialogWnd::NcLButtonDblClk(TMessage& M) {
    // A quick second press on a title button presses it again.
    if (ButtonByCode(int(M.WParam))) {
        NcLButtonDown(M);
        return;
    }
    if (M.WParam == HTCAPTION) {
        if (CanMaximize() || CanRestore()) {
            SendMessageW(CtrlHandle, WM_SYSCOMMAND,
                         IsZoomed(CtrlHandle) || IsIconic(CtrlHandle) ? SC_RESTORE : SC_MAXIMIZE, 0);
            if (!Destroyed) SystemMenu->UpdateItems();
        }
    } else if (M.WParam == HTSYSMENU) {
        SendMessageW(CtrlHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

void TacDialogWnd::ButtonUp(TMessage& M) {
    const int code = int(M.WParam);
    M.WParam = 0;
    ReadGeometry();
    POINT cur{};
    GetCursorPos(&cur);
    auto inside = [&](const TacTitleButton& B) {
        return cur.x >= WndRect.Left + B.Rect.Left && cur.x < WndRect.Left + B.Rect.Right &&
               cur.y >= WndRect.Top + B.Rect.Top && cur.y < WndRect.Top + B.Rect.Bottom;
    };
    HWND h = CtrlHandle;
    switch (code) {
    case HTMINBUTTON:
        if (TitleButtonPressed && inside(BtnMin)) {
            SetHot(0, true);
            SendMessageW(h, WM_SYSCOMMAND, IsIconic(h) ? SC_RESTORE : SC_MINIMIZE, 0);
        } else if (TitleButtonPressed) {
            TacScrollWnd::WndProc(M);
        } else {
            SetHot(0, true);
        }
        return;
    case HTMAXBUTTON:
        if (IsIconic(h) && !CanMaximize()) break;
        if (TitleButtonPressed) {
            SetHot(0, true);
            SendMessageW(h, WM_SYSCOMMAND, IsZoomed(h) ? SC_RESTORE : SC_MAXIMIZE, 0);
            if (Application) Application->ProcessMessages();
            if (IsWindow(h) && !Destroyed) SystemMenu->UpdateItems();
        } else {
            SetHot(0, true);
        }
        return;
    case HTCLOSE:
        if (TitleButtonPressed && inside(BtnClose)) {
            BtnClose.State = 0;
            TitleButtonPressed = false;
            SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            SetHot(0, true);
        }
        return;
    case HTHELP:
        if (TitleButtonPressed) {
            SendMessageW(h, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
            if (!IsWindow(h) || Destroyed) return;
            SetHot(0, true);
            SystemMenu->UpdateItems();
            SendMessageW(h, WM_NCPAINT, 0, 0);
        } else {
            SetHot(0, true);
        }
        return;
    default: break;
    }
    M.WParam = WPARAM(code);
    TacScrollWnd::WndProc(M);
}
