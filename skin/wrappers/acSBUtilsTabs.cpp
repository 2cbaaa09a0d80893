#include "acSBUtilsTabs.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <optional>
#include <vector>

#include "ImgList.h"
#include "Tabs.h"
#include "WinText.h"
#include "acSBUtilsBars.h"
#include "acSBUtilsPaint.h"
#include "acntUtils.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

using namespace acwrap;

std::vector<TacPageWnd*>* PageWrappers = nullptr;

namespace {

TRect Inflated(const TRect& R, int DX, int DY) { return Rect(R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY); }
TRect Moved(const TRect& R, int DX, int DY) { return Rect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY); }
bool IsEmpty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

const char* const kFrameSections[4] = {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"};
const char* const kTabSections[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};

// The caption of a tab: the window holds no length of it, so the buffer
// grows until the text is shorter than the buffer.
AnsiString ReadTabItem(HWND Wnd, int Index, int& Image) {
    Image = -1;
    for (size_t cap = 64; cap <= 32768; cap *= 2) {
        std::vector<wchar_t> buf(cap, L'\0');
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = buf.data();
        item.cchTextMax = int(cap);
        if (!SendMessageW(Wnd, TCM_GETITEMW, WPARAM(Index), reinterpret_cast<LPARAM>(&item))) return AnsiString();
        Image = item.iImage;
        // The window may answer with a text of its own instead of the buffer.
        const wchar_t* text = item.pszText ? item.pszText : buf.data();
        const size_t n = wcsnlen(text, cap);
        if (n + 1 < cap || text != buf.data()) return FromWide(text, int(n));
    }
    return AnsiString();
}

}  // namespace

int TabPositionOfStyle(LONG Style) {
    if (Style & TCS_VERTICAL) return (Style & TCS_RIGHT) ? tpsRight : tpsLeft;
    return (Style & TCS_BOTTOM) ? tpsBottom : tpsTop;
}

int TabKindOfStyle(LONG Style) {
    if (Style & TCS_FLATBUTTONS) return tkFlatButtons;
    return (Style & TCS_BUTTONS) ? tkButtons : tkTabs;
}

// ====================================================================== tab control

TacTabControlWnd::~TacTabControlWnd() {
    delete SpinWnd;
    SpinWnd = nullptr;
}

bool TacTabControlWnd::SkinnedNow() const { return Painting(this) && SkinData->IsSkinned(); }

void TacTabControlWnd::GetDisplayRect(TRect& R) {
    RECT wr{};
    GetWindowRect(CtrlHandle, &wr);
    RECT r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    SendMessageW(CtrlHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    R = Rect(r.left, r.top + 2, r.right, r.bottom);
}

void TacTabControlWnd::GetFrameRect(TRect& R) {
    RECT wr{};
    GetWindowRect(CtrlHandle, &wr);
    R = Rect(0, 0, wr.right - wr.left, wr.bottom - wr.top);
    if (TabCount() == 0) return;
    TRect d;
    GetDisplayRect(d);
    switch (Position()) {
    case tpsTop: R.Top = d.Top - 4; break;
    case tpsBottom: R.Bottom = d.Bottom + 1; break;
    case tpsLeft: R.Left = d.Left - 1; break;
    default: R.Right = d.Right + 1; break;
    }
}

void TacTabControlWnd::BandRect(TRect& R) {
    RECT wr{};
    GetWindowRect(CtrlHandle, &wr);
    R = Rect(0, 0, wr.right - wr.left, wr.bottom - wr.top);
    TRect d;
    GetDisplayRect(d);
    switch (Position()) {
    case tpsTop: R.Bottom = d.Top - 4; break;
    case tpsBottom: R.Top = d.Bottom + 1; break;
    case tpsLeft: R.Right = d.Left - 1; break;
    default: R.Left = d.Right + 1; break;
    }
}

void TacTabControlWnd::TabRect(int Index, bool Selected, TRect& R) {
    R = TRect{};
    RECT ir{};
    if (Index < 0 || Index >= TabCount() || SendMessageW(CtrlHandle, TCM_GETCURSEL, 0, 0) < 0 ||
        !SendMessageW(CtrlHandle, TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&ir)) || IsRectEmpty(&ir))
        return;
    TRect r = Rect(ir.left, ir.top, ir.right, ir.bottom);
    if (Kind() != tkTabs) {
        R = r;
        return;
    }
    const int s = Selected ? 1 : 0;
    if (Selected) {
        r.Bottom -= 1;
    } else {
        r.Bottom += 3;
        r.Right -= 1;
    }
    switch (Position()) {
    case tpsTop:
        r = Inflated(r, 2 * s, 2 * s);
        r.Bottom += 1;
        break;
    case tpsBottom:
        r = Inflated(r, 2 * s, s);
        r.Top -= 2;
        r.Bottom += Selected ? 1 : -3;
        break;
    case tpsLeft:
        r = Inflated(r, 0, 1);
        r.Right += 2;
        if (Selected) {
            r = Inflated(r, 1, 1);
        } else {
            r.Bottom -= 4;
            r.Right = ir.right + 3;
        }
        break;
    default:
        r = Moved(Inflated(r, 1, 0), -1, -1);
        if (Selected) {
            r = Inflated(r, 1, 1);
            r.Bottom += 3;
        } else {
            r.Bottom -= 2;
        }
        break;
    }
    R = r;
}

int TacTabControlWnd::TabRow(int Index) {
    const int rows = int(SendMessageW(CtrlHandle, TCM_GETROWCOUNT, 0, 0));
    if (rows < 2) return 1;
    RECT ir{};
    SendMessageW(CtrlHandle, TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&ir));
    const int w = std::max<int>(1, ir.right - ir.left), h = std::max<int>(1, ir.bottom - ir.top);
    TRect band;
    BandRect(band);
    switch (Position()) {
    case tpsTop: return (ir.bottom + h / 2) / h;
    case tpsLeft: return (ir.right + w / 2) / w;
    case tpsRight: return rows - (ir.right + w / 2 - band.Left) / w + 1;
    default: return rows - (ir.bottom + h / 2 - band.Top) / h + 1;
    }
}

AnsiString TacTabControlWnd::FrameSection() const {
    if (TabCount() == 0) return "CHECKBOX";
    if (SkinData->SkinSection() != "PAGECONTROL") return SkinData->SkinSection();
    return kFrameSections[Position()];
}

AnsiString TacTabControlWnd::TabText(int Index, int& Image) const { return ReadTabItem(CtrlHandle, Index, Image); }

void TacTabControlWnd::UpdateSpinButton() {
    if (!SkinnedNow()) return;
    HWND arrows = FindWindowExW(CtrlHandle, nullptr, UPDOWN_CLASSW, nullptr);
    // Arrows hidden once the tabs fit again are gone as well.
    if (arrows && !IsWindowVisible(arrows)) arrows = nullptr;
    // A wrapper still on the same arrows is kept; any other goes.
    if (SpinWnd && (SpinWnd->Destroyed || SpinWnd->CtrlHandle != arrows)) {
        delete SpinWnd;
        SpinWnd = nullptr;
    }
    if (arrows && !SpinWnd) SpinWnd = CreateWrapper<TacSpinWnd>(arrows, true, "UPDOWNBTN", SkinManager, nullptr);
}

bool TacTabControlWnd::HandleCommand(TMessage& M) {
    const bool own = OwnManager(M.LParam);
    switch (SkinCommandOf(M.WParam)) {
    case scNewSkin:
        if (own) {
            SkinData->HandleEngineCommand(M);
            SkinData->BackgroundDirty = true;
        }
        ForwardToChildren(SkinData->OwnerControl, CtrlHandle, M);
        return true;
    case scRemoveSkin:
        if (own) {
            SkinData->HandleEngineCommand(M);
            UpdateSpinButton();
        }
        ForwardToChildren(SkinData->OwnerControl, CtrlHandle, M);
        if (own)
            RedrawWindow(CtrlHandle, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
        return true;
    case scRefresh:
        if (own) {
            SkinData->HandleEngineCommand(M);
            InvalidateRect(CtrlHandle, nullptr, TRUE);
            UpdateSpinButton();
        }
        ForwardToChildren(SkinData->OwnerControl, CtrlHandle, M);
        return true;
    case scRepaint:
        if (!SkinnedNow()) return false;
        SkinData->UpdatingFlag = false;
        InvalidateRect(CtrlHandle, nullptr, TRUE);
        return true;
    case scIsSkinned:
        if (!SkinnedNow()) return false;
        M.Result = 1;
        return true;
    case scQueryUpdating:
        if (!SkinnedNow()) return false;
        M.Result = SkinData->UpdatingFlag ? 1 : 0;
        return true;
    case scQueryManager: M.Result = reinterpret_cast<LRESULT>(SkinManager); return true;
    case scGetBackground:
        if (!SkinnedNow()) return false;
        SkinData->HandleEngineCommand(M);
        return true;
    default: return false;
    }
}

void TacTabControlWnd::WndProc(TMessage& M) {
    if (!SkinData || Destroyed) {
        TacMainWnd::WndProc(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD && HandleCommand(M)) return;
    if (SkinnedNow()) {
        switch (M.Msg) {
        case WM_PAINT:
            PaintOnErase(CtrlHandle);
            M.Result = 0;
            return;
        case WM_ERASEBKGND:
            if (!IsWindowVisible(CtrlHandle)) break;
            if (!FadeInProgress) PaintTabs(M);
            UpdateSpinButton();
            M.Result = 0;
            return;
        case WM_NCPAINT: M.Result = 0; return;
        case WM_PRINT:
            UpdateSpinButton();
            PaintTabs(M);
            return;
        default: break;
        }
    }
    TacMainWnd::WndProc(M);
    if (Destroyed || !SkinnedNow()) return;
    switch (M.Msg) {
    case WM_SIZE: {
        UpdateSpinButton();
        RECT wr{};
        GetWindowRect(CtrlHandle, &wr);
        const TSize now{wr.right - wr.left, wr.bottom - wr.top};
        if (now.cx < FStoredSize.cx || now.cy < FStoredSize.cy)
            RedrawWindow(CtrlHandle, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
        FStoredSize = now;
        break;
    }
    case TCM_SETCURSEL: RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME); break;
    case CM_CONTROLLISTCHANGE: UpdateSpinButton(); break;
    case WM_PARENTNOTIFY:
        // The arrows come and go with the tabs of a foreign control too.
        if (LOWORD(M.WParam) == WM_CREATE || LOWORD(M.WParam) == WM_DESTROY) UpdateSpinButton();
        break;
    default: break;
    }
}

void TacTabControlWnd::PaintTabs(TMessage& M) {
    Geometry = GetWndGeometry(CtrlHandle);
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    // A print goes into its own DC; an erase draws the whole window at once.
    std::optional<WindowDC> own;
    HDC dc = reinterpret_cast<HDC>(M.WParam);
    if (M.Msg != WM_PRINT && !FadeInProgress) {
        own.emplace(CtrlHandle, GetDCEx(CtrlHandle, nullptr, DCX_CACHE | DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS));
        dc = own->Get();
    }
    if (!dc) return;
    SavedDC saved(dc);
    TsSkinManager* m = SkinManager;
    SkinData->BackgroundDirty = true;
    // A skin without the frame's section still paints the frame whole.
    const TsSection section = m->Resolve({FrameSection(), SkinData->SkinSection(), "PAGECONTROL"});
    if (!section.Valid()) return;
    FFrameSection = section.Name;
    SkinData->SkinSectionNo = section.Index;
    const CacheInfo under = ParentUnder(CtrlHandle);
    TBitmap* cache = SizedCache(SkinData, Geometry.WndSize);
    if (cache->Empty()) return;
    const bool tabs = TabCount() > 0;
    if (tabs) PaintTabBand(under);
    TRect frame;
    GetFrameRect(frame);
    PaintSectionInto(cache, frame, m, section, under,
                     Point(Geometry.WndPos.X + frame.Left, Geometry.WndPos.Y + frame.Top), 0);
    SkinData->BackgroundDirty = false;
    const HDC src = cache->Canvas()->Handle();
    const int sel = int(SendMessageW(CtrlHandle, TCM_GETCURSEL, 0, 0));
    TRect selected;
    if (tabs && sel >= 0) TabRect(sel, true, selected);
    if (!IsEmpty(selected)) {
        {
            // The selected tab lies over the frame: the frame never covers it.
            SavedDC clip(dc);
            ExcludeClipRect(dc, selected.Left, selected.Top, selected.Right, selected.Bottom);
            BitBlt(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, SRCCOPY);
        }
        std::unique_ptr<TBitmap> tab(CreateBitmap24(selected.Width(), selected.Height()));
        DrawTab(sel, 2, Point(selected.Left, selected.Top), tab.get());
        BitBlt(dc, selected.Left, selected.Top, selected.Width(), selected.Height(), tab->Canvas()->Handle(), 0, 0,
               SRCCOPY);
    } else {
        BitBlt(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, SRCCOPY);
    }
    if (auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl)) PaintGraphicChildren(dc, owner, Point(0, 0));
}

void TacTabControlWnd::PaintTabBand(const CacheInfo& Under) {
    TBitmap* cache = SkinData->CacheBitmap;
    TRect band;
    BandRect(band);
    band = Rect(std::max(band.Left, 0), std::max(band.Top, 0), std::min(band.Right, cache->Width()),
                std::min(band.Bottom, cache->Height()));
    if (IsEmpty(band)) return;
    // The parent's picture as far as it reaches, its colour beyond.
    FillRectOnDC(cache->Canvas()->Handle(), band, Under.Ready ? ParentColor(Geometry.Parent) : Under.Color);
    if (Under.Ready && Under.Bmp) {
        const int sx = Under.X + Geometry.WndPos.X, sy = Under.Y + Geometry.WndPos.Y;
        const TRect reach = Rect(band.Left, band.Top, std::min(band.Right, Under.Bmp->Width() - sx),
                                 std::min(band.Bottom, Under.Bmp->Height() - sy));
        if (!IsEmpty(reach)) FillFromUnder(cache, reach, Under, Geometry.WndPos);
    }
    const int rows = std::max(1, int(SendMessageW(CtrlHandle, TCM_GETROWCOUNT, 0, 0)));
    const int sel = int(SendMessageW(CtrlHandle, TCM_GETCURSEL, 0, 0));
    const int n = TabCount();
    for (int row = 1; row <= rows; ++row)
        for (int i = 0; i < n; ++i)
            if (i != sel && TabRow(i) == row) DrawTab(i, 0, Point(0, 0), cache);
}

void TacTabControlWnd::DrawTab(int Index, int Mode, TPoint Offset, TBitmap* Target) {
    TsSkinManager* m = SkinManager;
    TBitmap* cache = SkinData->CacheBitmap;
    TRect r;
    TabRect(Index, Mode == 2, r);
    if (IsEmpty(r) || (Mode == 1 && r.Left < 0) || !cache || !Target) return;
    AnsiString name;
    switch (Kind()) {
    case tkButtons: name = "BUTTON"; break;
    case tkFlatButtons: name = "TOOLBUTTON"; break;
    default: name = kTabSections[Position()]; break;
    }
    // A skin without the tab's section: the tab looks like a button.
    const TsSection section = m->Resolve(name, "BUTTON");
    if (!section.Valid()) return;
    const int w = r.Width(), h = r.Height();
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(w, h));
    // Over what the cache holds there.
    BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, cache->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
    PaintSectionFull(section, MakeBitmapBackground(cache, 0, 0), -1, -1, m, bmp.get(), Point(r.Left, r.Top),
                     Rect(0, 0, w, h), Mode == 2 ? 2 : 0, true);
    DrawTabContent(bmp.get(), Rect(0, 0, w, h), Index, Mode, section.Index);
    BitBlt(Target->Canvas()->Handle(), r.Left - Offset.X, r.Top - Offset.Y, w, h, bmp->Canvas()->Handle(), 0, 0,
           SRCCOPY);
}

void TacTabControlWnd::DrawTabContent(TBitmap* Bmp, const TRect& R, int Index, int Mode, int Section) {
    TsSkinManager* m = SkinManager;
    const TRect c = Rect(R.Left + 3, R.Top + 3, R.Right - 3, R.Bottom - 3);
    if (IsEmpty(c)) return;
    int image = -1;
    const AnsiString text = TabText(Index, image);
    HIMAGELIST il = nullptr;
    if (auto* tc = dynamic_cast<TCustomTabControl*>(SkinData->OwnerControl); tc && tc->Images())
        il = tc->Images()->Handle();
    else
        il = reinterpret_cast<HIMAGELIST>(SendMessageW(CtrlHandle, TCM_GETIMAGELIST, 0, 0));
    int cx = 0, cy = 0;
    const bool hasImage = il && image >= 0 && image < ImageList_GetImageCount(il) && ImageList_GetIconSize(il, &cx, &cy);
    if (!hasImage) cx = cy = 0;
    TCanvas* canvas = Bmp->Canvas();
    if (SkinData->OwnerControl)
        canvas->SetFont(SkinData->OwnerControl->Font());
    else
        AssignFontHandle(canvas->Font(), WindowFont(CtrlHandle));
    const HDC dc = canvas->Handle();
    const bool selected = Mode == 2;
    const int pos = Position();
    if (pos == tpsTop || pos == tpsBottom) {
        const int tw = text.empty() ? 0 : CanvasTextWidth(canvas, text);
        TRect tr = c;
        if (hasImage) {
            const int x = c.Left + (c.Width() - tw - cx - 8) / 2;
            ImageList_DrawEx(il, image, dc, x, c.Top + (c.Height() - cy) / 2, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
            tr = Rect(x + cx + 4, c.Top, x + cx + 12 + tw, c.Bottom);
        }
        if (!text.empty())
            WriteSectionText(canvas, text.c_str(), true, m, selected, Section, DT_CENTER | DT_VCENTER | DT_SINGLELINE, tr);
        return;
    }
    // Side tabs: the text turned (left tabs read downwards, right tabs
    // upwards), image and text in one centred column.
    LOGFONTW lf = canvas->Font()->LogFont();
    lf.lfEscapement = lf.lfOrientation = pos == tpsLeft ? 2700 : 900;
    lf.lfWeight = FW_NORMAL;
    FontHandle turned(CreateFontIndirectW(&lf));
    const std::wstring w = ToWide(text);
    SavedDC saved(dc);
    SelectObject(dc, turned.Get());
    SIZE ts{0, 0};
    if (!w.empty()) GetTextExtentPoint32W(dc, w.c_str(), int(w.size()), &ts);
    const int shift = selected ? 2 : 0;
    const int mid = c.Left + c.Width() / 2 + shift;
    const int total = ts.cx + (hasImage ? cy + 4 : 0);
    const int start = c.Top + (c.Height() - total) / 2;
    if (pos == tpsLeft) {
        if (hasImage)
            ImageList_DrawEx(il, image, dc, mid - cx / 2, start + total - cy, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    } else if (hasImage) {
        ImageList_DrawEx(il, image, dc, mid - cx / 2, start, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    }
    if (w.empty() || !m->IsValidSectionIndex(Section)) return;
    const TsGeneralData& s = m->gd()[size_t(Section)];
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, COLORREF(ColorToRGB(selected ? s.HotFontColor[0] : s.FontColor[0])));
    SetTextAlign(dc, TA_TOP | TA_LEFT);
    if (pos == tpsLeft)
        TextOutW(dc, mid + ts.cy / 2, start, w.c_str(), int(w.size()));
    else
        TextOutW(dc, mid - ts.cy / 2, start + total, w.c_str(), int(w.size()));
}

// ====================================================================== page control

void TacPageControlWnd::WndProc(TMessage& M) {
    if (SkinData && !Destroyed && SkinnedNow()) {
        switch (M.Msg) {
        case WM_ERASEBKGND:
            if (!IsWindowVisible(CtrlHandle)) break;
            WrapPages();
            if (!FadeInProgress) PaintTabs(M);
            M.Result = 1;
            return;
        case WM_NCPAINT:
            WrapPages();
            M.Result = 0;
            return;
        case WM_PARENTNOTIFY:
            if (LOWORD(M.WParam) == WM_CREATE) WrapPages();
            break;
        default: break;
        }
    }
    TacTabControlWnd::WndProc(M);
}

void TacPageControlWnd::WrapPages() {
    auto* m = reinterpret_cast<TsSkinManager*>(SendEngineCommandToHandle(CtrlHandle, scQueryManager, 0));
    if (!m) return;
    if (!PageWrappers) PageWrappers = new std::vector<TacPageWnd*>;
    // Pages gone since: their wrappers go too.
    auto& list = *PageWrappers;
    for (auto it = list.begin(); it != list.end();) {
        if ((*it)->Destroyed) {
            delete *it;
            it = list.erase(it);
        } else {
            ++it;
        }
    }
    for (HWND c = GetWindow(CtrlHandle, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetParent(c) != CtrlHandle) continue;
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        if (_wcsicmp(cls, UPDOWN_CLASSW) == 0) continue;  // the arrows have a wrapper of their own
        if (SendEngineCommandToHandle(c, scIsSkinned, 0) == 1) continue;
        if (TacPageWnd* w = CreateWrapper<TacPageWnd>(c, true, "CHECKBOX", m, nullptr)) {
            list.push_back(w);
            InvalidateRect(c, nullptr, TRUE);
        }
    }
}

// ====================================================================== pages

bool TacPageWnd::HandleCommand(TMessage& M) {
    const bool own = M.LParam == reinterpret_cast<LPARAM>(SkinManager);
    const bool skinned = Painting(this) && SkinData->IsSkinned();
    switch (SkinCommandOf(M.WParam)) {
    case scNewSkin:
        ForwardToChildren(SkinData->OwnerControl, CtrlHandle, M);
        if (own) SkinData->HandleEngineCommand(M);
        return true;
    case scRemoveSkin:
    case scRefresh:
        if (own) {
            SkinData->HandleEngineCommand(M);
            InvalidateRect(CtrlHandle, nullptr, TRUE);
        }
        ForwardToChildren(SkinData->OwnerControl, CtrlHandle, M);
        return SkinCommandOf(M.WParam) == scRefresh;
    case scRepaint:
        if (!SkinData->UpdatingFlag) return false;
        SkinData->UpdatingFlag = false;
        InvalidateRect(CtrlHandle, nullptr, TRUE);
        return true;
    case scIsSkinned:
        if (!skinned) return false;
        M.Result = 1;
        return true;
    case scQueryUpdating: M.Result = SkinData->UpdatingFlag ? 1 : 0; return true;
    case scGetBackground: {
        if (!skinned || !M.LParam) return false;
        auto& info = *reinterpret_cast<BackgroundInfo*>(M.LParam);
        const TacWndGeometry g = GetWndGeometry(CtrlHandle);
        // What lies under the page's children is what lies under the page.
        if (info.PleaseDraw) {
            info.X += g.WndPos.X;
            info.Y += g.WndPos.Y;
            QueryParentBackground(info, g.Parent, true);
        } else {
            QueryParentBackground(info, g.Parent, false);
            info.X += g.WndPos.X;
            info.Y += g.WndPos.Y;
        }
        return true;
    }
    default: return false;
    }
}

void TacPageWnd::WndProc(TMessage& M) {
    if (!SkinData || Destroyed) {
        TacMainWnd::WndProc(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD && HandleCommand(M)) return;
    if (Painting(this) && SkinData->IsSkinned()) {
        switch (M.Msg) {
        case WM_ERASEBKGND:
            if (!IsWindowVisible(CtrlHandle)) break;
            PaintPage(M);
            return;
        case WM_NCPAINT: M.Result = 0; return;
        case WM_PRINT:
            PaintPage(M);
            M.Result = SendMessageW(CtrlHandle, WM_PAINT, M.WParam, M.LParam);
            return;
        case WM_PAINT:
            // A class-library page paints its own colour over everything in
            // its paint: the page is painted here instead, with its graphic
            // children (its windowed ones paint themselves).
            if (TWinControl* page = FindControl(CtrlHandle)) {
                PaintScope paint(CtrlHandle);
                TMessage erase{WM_ERASEBKGND, WPARAM(paint.Get()), 0, 0};
                PaintPage(erase);
                PaintGraphicChildren(paint.Get(), page, Point(0, 0));
                M.Result = 0;
                return;
            }
            break;
        default: break;
        }
    }
    TacMainWnd::WndProc(M);
    if (!Destroyed && M.Msg == WM_PARENTNOTIFY && LOWORD(M.WParam) == WM_CREATE) NotifyTopWindow(CtrlHandle);
}

void TacPageWnd::PaintPage(TMessage& M) {
    Geometry = GetWndGeometry(CtrlHandle);
    M.Result = 1;
    TargetDC target(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
    const HDC dc = target.Get();
    if (!dc) return;
    RECT cr{};
    GetClientRect(CtrlHandle, &cr);
    const int w = cr.right, h = cr.bottom;
    const TPoint pos = Geometry.WndPos;
    BackgroundInfo info;
    info.X = pos.X;
    info.Y = pos.Y;
    QueryParentBackground(info, Geometry.Parent, false);
    if (info.BgType == 2 && info.Bmp) {
        BitBlt(dc, 0, 0, w, h, info.Bmp->Canvas()->Handle(), info.X + pos.X, info.Y + pos.Y, SRCCOPY);
        return;
    }
    FillRectOnDC(dc, Rect(0, 0, w, h), info.BgType ? info.Color : ParentColor(Geometry.Parent));
    if (!info.Bmp || info.Bmp->Empty()) return;
    // The frame's edge on the tab side goes on over the page.
    const HDC src = info.Bmp->Canvas()->Handle();
    switch (TabPositionOfStyle(GetWindowLongW(Geometry.Parent, GWL_STYLE))) {
    case tpsTop: BitBlt(dc, 0, 0, w, 3, src, pos.X, pos.Y, SRCCOPY); break;
    case tpsBottom: BitBlt(dc, 0, h - 3, w, 3, src, pos.X, pos.Y + h - 3, SRCCOPY); break;
    case tpsLeft: BitBlt(dc, 0, 0, 3, h, src, pos.X, pos.Y, SRCCOPY); break;
    default: BitBlt(dc, w - 3, 0, 3, h, src, pos.X + w - 3, pos.Y, SRCCOPY); break;
    }
}

void FreePageWrappers() {
    if (!PageWrappers) return;
    while (!PageWrappers->empty()) {
        TacPageWnd* w = PageWrappers->front();
        PageWrappers->erase(PageWrappers->begin());
        delete w;
    }
    delete PageWrappers;
    PageWrappers = nullptr;
}
