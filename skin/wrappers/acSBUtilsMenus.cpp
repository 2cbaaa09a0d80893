#include "acSBUtilsMenus.h"

#include <algorithm>

#include "Forms.h"
#include "StdCtrls.h"
#include "acSBUtilsPaint.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

using namespace acwrap;


namespace {

// The width of a menu window's frame band.
constexpr int kMenuFrame = 3;

}  // namespace

// ====================================================================== pop-up menu window

void TacMnuWnd::WndProc(TMessage& M) {
    switch (M.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
        PassOn(M);
        if (!Destroyed) {
            // The wrapper goes with its menu: nobody else frees it.
            TacMainWnd* self = this;
            DetachWrapper(CtrlHandle, true, false, self);
            ClearMenuCache();
            SkinnedMenuShowing = false;
        }
        return;
    case SM_ALPHACMD:
        switch (SkinCommandOf(M.WParam)) {
        case scIsSkinned: M.Result = 1; break;
        case scSetUpdating: M.Result = 0; break;
        case scGetApplication: M.Result = reinterpret_cast<LRESULT>(Application); break;
        default: break;
        }
        return;
    default: break;
    }
    if (SkinnedMenuShowing && !Destroyed && Painting(this)) {
        switch (M.Msg) {
        case WM_ERASEBKGND: {
            PaintToCache();
            TBitmap* cache = SkinData->CacheBitmap;
            TargetDC target(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
            if (target.Get() && cache && !cache->Empty())
                BitBlt(target.Get(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), kMenuFrame,
                       kMenuFrame, SRCCOPY);
            return;
        }
        case WM_NCPAINT:
            if (!IsNTPlatform) break;
            PaintFrame();
            return;
        default: break;
        }
    }
    TacScrollWnd::WndProc(M);
}

void TacMnuWnd::PaintFrame() {
    Geometry = GetWndGeometry(CtrlHandle);
    const int w = Geometry.WndSize.cx, h = Geometry.WndSize.cy;
    WindowDC dc(CtrlHandle, WindowDC::Window);
    if (!dc) return;
    // Held while painting: the messages a paint lets through may empty the cache.
    if (const TacMenuInfoRef info = FindMenuInfoByWindow(CtrlHandle)) {
        TBitmap* frame = info->Bmp.get();
        if (frame && frame->Width() == w - 2 * kMenuFrame && frame->Height() == h) {
            // The left, top and bottom bands as they lie; the right one from the bitmap's right edge.
            const HDC src = frame->Canvas()->Handle();
            const int fw = frame->Width();
            BitBlt(dc.Get(), 0, 0, w, kMenuFrame, src, 0, 0, SRCCOPY);
            BitBlt(dc.Get(), 0, h - kMenuFrame, w, kMenuFrame, src, 0, h - kMenuFrame, SRCCOPY);
            BitBlt(dc.Get(), 0, 0, kMenuFrame, h, src, 0, 0, SRCCOPY);
            BitBlt(dc.Get(), w - kMenuFrame, 0, kMenuFrame, h, src, fw - kMenuFrame, 0, SRCCOPY);
            return;
        }
    }
    PaintToCache();
    TBitmap* cache = SkinData->CacheBitmap;
    if (!cache || cache->Empty()) return;
    CopyBorderBands(dc.Get(), 0, 0, w, h, cache->Canvas()->Handle(), 0, 0, kMenuFrame);
}

void TacMnuWnd::PaintToCache() {
    Geometry = GetWndGeometry(CtrlHandle);
    if (!SkinData->BackgroundDirty) return;
    TBitmap* cache = SizedCache(SkinData, Geometry.WndSize);
    if (cache->Empty()) return;
    PaintControlSection(SkinData, EmptyCacheInfo, true, cache, Geometry.WndPos,
                        Rect(0, 0, cache->Width(), cache->Height()), 0);
    FillCornersByMask(SkinData, 0, this);
    SkinData->BackgroundDirty = false;
}

// ====================================================================== foreign combo box

TacExtComboBoxWnd::TacExtComboBoxWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                                     TsCommonData* Data, bool AHasButton)
    : TacComboBoxWnd(AHandle, Repaint, Section, Manager, Data), HasButton(AHasButton) {}

bool TacExtComboBoxWnd::ControlHasButton(TWinControl* Control) {
    if (!Control || AnsiString(Control->ClassName()) != "TComboBox") return true;
    const auto* combo = dynamic_cast<const TCustomComboBox*>(Control);
    return combo && (combo->Style() == csDropDown || combo->Style() == csDropDownList);
}

TacExtComboBoxWnd* TacExtComboBoxWnd::CreateForControl(TWinControl* Control, bool Repaint, const AnsiString& Section,
                                                       TsSkinManager* Manager, TsCommonData* Data) {
    if (!Control) return nullptr;
    return CreateWrapper<TacExtComboBoxWnd>(Control->Handle(), Repaint, Section, Manager, Data,
                                            ControlHasButton(Control));
}

void TacExtComboBoxWnd::GetButtonRect(TRect& R) {
    RECT wr{};
    GetWindowRect(CtrlHandle, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const int bw = HasButton ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int left = (GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : w - bw - 2;
    R = Rect(left, 2, left + bw, h - 2);
}

TRect TacExtComboBoxWnd::ButtonRect() {
    TRect r;
    GetButtonRect(r);
    return r;
}
