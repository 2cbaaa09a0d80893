#include "acSBUtilsBars.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <vector>

#include "ImgList.h"
#include "ToolBars.h"
#include "WinText.h"
#include "acSBUtilsPaint.h"
#include "acntUtils.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

using namespace acwrap;

namespace {

constexpr double kDisabledFade = 0.4;
constexpr TColor kNoKey = TColor(0xFFFFFFFF);
// The whole button is a drop-down (BTNS_WHOLEDROPDOWN).
constexpr BYTE kWholeDropDown = 0x80;

// One of the skin's cached arrow glyphs: 0 up, 1 down, 2 left, 3 right; -1 for none.
int ArrowGlyph(TsSkinManager* M, int Which) {
    const int i = M->ConstData().ScrollBtnGlyph[Which];
    return M->IsValidMaskIndex(i) ? i : -1;
}

// One state cell of a skin image painted at P over what Dst holds there.
void PaintCell(TBitmap* Dst, TPoint P, int State, TsSkinManager* M, int Mask) {
    PaintGlyphFromImage(Dst, P, State, 1, M->ma()[size_t(Mask)], MakeBitmapBackground(Dst, 0, 0));
}

// A tool button is a part of its bar: without its own section it paints as
// the bar does, its images and colours both from the bar's section.
TsSection ToolButtonSection(TsSkinManager* M) { return M->Resolve("TOOLBUTTON", "TOOLBAR"); }

// Width of a drop-down arrow a skin gives no image for.
constexpr int kPlainArrowWidth = 12;

// A drop-down arrow centred in Band: the skin's arrow image, else a plain
// glyph in the section's font colour, so that a skin without images still
// shows where the menu opens.
void PaintDropArrow(TBitmap* Dst, const TRect& Band, int State, TsSkinManager* M, const TsSection& Section) {
    const int arrow = ArrowGlyph(M, 1);
    if (arrow < 0) {
        DrawPlainArrow(Dst->Canvas()->Handle(), Band, 1, SectionFontColor(M, Section.Index, State));
        return;
    }
    const TPoint a = GlyphCell(M->ma()[size_t(arrow)]);
    PaintCell(Dst, Point(Band.Left + (Band.Width() - a.X) / 2, Band.Top + (Band.Height() - a.Y) / 2), State, M, arrow);
}

// Dst moved 0.4 of the way to Under (its pixels from (X, Y) on).
void FadeOver(TBitmap* Dst, TBitmap* Under, int X, int Y) {
    BlendBitmapRect(Dst, 0, 0, kNoKey, kDisabledFade, Rect(X, Y, X + Dst->Width() - 1, Y + Dst->Height() - 1), Under);
}

// Text that asks for its length first: Length answers the length (or a
// negative value), Read fills a buffer of that many characters plus one and
// answers a negative value on failure.
template <class LengthFn, class ReadFn>
AnsiString ReadText(LengthFn Length, ReadFn Read) {
    const long long n = Length();
    if (n <= 0) return AnsiString();
    std::vector<wchar_t> buf(size_t(n) + 1, L'\0');
    if (Read(buf.data()) < 0) return AnsiString();
    return FromWide(buf.data(), int(wcsnlen(buf.data(), size_t(n))));
}

short LowX(LPARAM L) { return short(LOWORD(L)); }
short HighY(LPARAM L) { return short(HIWORD(L)); }

}  // namespace

// ====================================================================== foreign tool bar

bool TacToolBarWnd::RefreshUpdating() {
    const HWND parent = GetParent(CtrlHandle);
    const bool parentUpdating = parent && SendEngineCommandToHandle(parent, scQueryUpdating, 0) == 1;
    SkinData->UpdatingFlag = parentUpdating || SkinData->IsUpdating();
    return SkinData->UpdatingFlag;
}

void TacToolBarWnd::WndProc(TMessage& M) {
    if (!Painting(this)) {
        TacMainWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        SkinData->BackgroundDirty = true;
        TacMainWnd::WndProc(M);
        SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
        return;
    case SM_ALPHACMD:
        if (SkinCommandOf(M.WParam) == scRepaint && SkinData->UpdatingFlag) {
            SkinData->UpdatingFlag = false;
            RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
            return;
        }
        break;
    case WM_PAINT:
        PaintToolBar(M);
        M.Result = 0;
        return;
    case WM_ERASEBKGND: M.Result = 1; return;
    case WM_NCPAINT:
        PaintBorder();
        M.Result = 0;
        return;
    default: break;
    }
    TacMainWnd::WndProc(M);
    if (M.Msg == WM_MOUSEMOVE && SkinManager && !(SkinManager->ComponentState() & csDesigning) &&
        IsWindowEnabled(CtrlHandle) && SkinManager->HotWindow() != CtrlHandle)
        SkinManager->SetHotWindow(CtrlHandle);
}

void TacToolBarWnd::UpdateCache() {
    Geometry = GetWndGeometry(CtrlHandle);
    if (!SkinData->BackgroundDirty) return;
    RECT cr{};
    GetClientRect(CtrlHandle, &cr);
    ClientRect = Rect(cr.left, cr.top, cr.right, cr.bottom);
    UpdateWndCache(SkinData, CtrlHandle, false);
    FillCornersByMask(SkinData, 0, this);
    BorderWidth = std::max(0, (int(Geometry.WndSize.cy) - ClientRect.Height()) / 2);
    SkinData->BackgroundDirty = false;
}

void TacToolBarWnd::PaintBorder() {
    if (!(GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) || RefreshUpdating()) return;
    UpdateCache();
    TBitmap* cache = SkinData->CacheBitmap;
    if (!cache || cache->Empty()) return;
    WindowDC dc(CtrlHandle, WindowDC::Window);
    if (!dc) return;
    const int band = (int(Geometry.WndSize.cx) - ClientRect.Width()) / 2;
    CopyBorderBands(dc.Get(), 0, 0, Geometry.WndSize.cx, Geometry.WndSize.cy, cache->Canvas()->Handle(), 0, 0, band);
}

void TacToolBarWnd::PaintToolBar(TMessage& M) {
    PaintScope paint(CtrlHandle);
    if (RefreshUpdating()) return;
    UpdateCache();
    TBitmap* cache = SkinData->CacheBitmap;
    if (!cache || cache->Empty()) return;
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(cache->Width(), cache->Height()));
    BitBlt(bmp->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    PaintButtons(bmp.get());
    const HDC dc = M.WParam ? reinterpret_cast<HDC>(M.WParam) : paint.Get();
    const int b = BorderWidth;
    BitBlt(dc, 0, 0, cache->Width() - 2 * b, cache->Height() - 2 * b, bmp->Canvas()->Handle(), b, b, SRCCOPY);
}

void TacToolBarWnd::PaintButtons(TBitmap* Bmp) {
    const int n = int(SendMessageW(CtrlHandle, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        RECT r{};
        if (!SendMessageW(CtrlHandle, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) continue;
        const int b = BorderWidth;
        PaintButton(i, Rect(r.left + b, r.top + b, r.right + b, r.bottom + b), Bmp);
    }
}

AnsiString TacToolBarWnd::ButtonText(int Command) const {
    if (Command == -1) return AnsiString();
    return ReadText([&] { return (long long)SendMessageW(CtrlHandle, TB_GETBUTTONTEXTW, WPARAM(Command), 0); },
                    [&](wchar_t* Buf) {
                        return (long long)SendMessageW(CtrlHandle, TB_GETBUTTONTEXTW, WPARAM(Command),
                                                       reinterpret_cast<LPARAM>(Buf));
                    });
}

void TacToolBarWnd::PaintButton(int Index, const TRect& R, TBitmap* Bmp) {
    TBBUTTON tb{};
    if (!SendMessageW(CtrlHandle, TB_GETBUTTON, WPARAM(Index), reinterpret_cast<LPARAM>(&tb))) return;
    // Separators and hidden buttons show the bar.
    if ((tb.fsStyle & BTNS_SEP) || (tb.fsState & TBSTATE_HIDDEN) || R.Width() <= 0 || R.Height() <= 0) return;
    TsSkinManager* m = SkinManager;
    TBitmap* cache = SkinData->CacheBitmap;
    const bool enabled = tb.fsState & TBSTATE_ENABLED;
    int state = 0, p = 0;
    if (enabled && (tb.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED))) {
        // A checked button (a chosen place, a toggled tool) shows held down.
        state = 2;
        p = 1;
    } else if (enabled) {
        POINT cur;
        RECT item{};
        SendMessageW(CtrlHandle, TB_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&item));
        MapWindowPoints(CtrlHandle, nullptr, reinterpret_cast<POINT*>(&item), 2);
        state = GetCursorPos(&cur) && PtInRect(&item, cur) ? 1 : 0;
    }
    const int w = R.Width(), h = R.Height();
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(w, h));
    const TsSection section = ToolButtonSection(m);
    BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, cache->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
    PaintSectionFull(section, MakeBitmapBackground(cache, 0, 0), -1, -1, m, bmp.get(),
                     Point(R.Left, R.Top), Rect(0, 0, w, h), state, true);
    // The image: any valid index (the first image too).
    const auto il = reinterpret_cast<HIMAGELIST>(SendMessageW(CtrlHandle, TB_GETIMAGELIST, 0, 0));
    int cx = 0, cy = 0;
    const bool image = il && tb.iBitmap >= 0 && tb.iBitmap < ImageList_GetImageCount(il) &&
                       ImageList_GetIconSize(il, &cx, &cy);
    if (image) {
        int arrowWidth = 0;
        if (tb.fsStyle & kWholeDropDown) {
            const int arrow = ArrowGlyph(m, 1);
            arrowWidth = arrow >= 0 ? GlyphCell(m->ma()[size_t(arrow)]).X : kPlainArrowWidth;
            PaintDropArrow(bmp.get(), Rect(w + p - arrowWidth - 2, p, w + p - 2, p + h), state, m, section);
        }
        ImageList_DrawEx(il, tb.iBitmap, bmp->Canvas()->Handle(), p + (w - arrowWidth - cx) / 2, p + 4, 0, 0, CLR_NONE,
                         CLR_NONE, ILD_TRANSPARENT);
    }
    const AnsiString text = ButtonText(tb.idCommand);
    if (!text.empty()) {
        const int top = p + 2 + (image ? cy + 2 : 0);
        DrawCaption(bmp.get(), text, Rect(p + 2, top, w + p - 2, p + h - 2), state);
    }
    if (!enabled) FadeOver(bmp.get(), cache, R.Left, R.Top);
    BitBlt(Bmp->Canvas()->Handle(), R.Left, R.Top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacToolBarWnd::DrawCaption(TBitmap* Bmp, const AnsiString& Text, const TRect& R, int State) {
    TsSkinManager* m = SkinManager;
    TCanvas* c = Bmp->Canvas();
    AssignFontHandle(c->Font(), WindowFont(CtrlHandle));
    // Normal buttons in the bar's colours, hot and pressed ones in the button's hot colours.
    const bool hot = State != 0;
    const int section = hot ? ToolButtonSection(m).Index : SkinData->SkinSectionNo;
    // Several words go over two lines: as many as fit on the first (one at
    // least, and never all), the rest below it.
    const std::vector<AnsiString> words = [&] {
        std::vector<AnsiString> out;
        size_t i = 0;
        while (i < Text.size()) {
            while (i < Text.size() && Text[i] == ' ') ++i;
            size_t j = i;
            while (j < Text.size() && Text[j] != ' ') ++j;
            if (j > i) out.push_back(Text.substr(i, j - i));
            i = j;
        }
        return out;
    }();
    if (words.size() < 2) {
        WriteSectionText(c, Text.c_str(), true, m, hot, section, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS,
                         R);
        return;
    }
    AnsiString first = words[0];
    size_t used = 1;
    while (used + 1 < words.size() && CanvasTextWidth(c, first + " " + words[used]) <= R.Width())
        first += " " + words[used++];
    AnsiString rest;
    for (size_t k = used; k < words.size(); ++k) rest += (rest.empty() ? "" : " ") + words[k];
    const int line = CanvasTextExtent(c, "Wg").cy;
    WriteSectionText(c, first.c_str(), true, m, hot, section, DT_CENTER | DT_SINGLELINE, Rect(R.Left, R.Top, R.Right, R.Top + line));
    if (!rest.empty())
        WriteSectionText(c, rest.c_str(), true, m, hot, section, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS,
                         Rect(R.Left, R.Top + line, R.Right, R.Bottom));
}

// ====================================================================== size grip

void TacSizerWnd::WndProc(TMessage& M) {
    if (!Painting(this)) {
        TacMainWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_PAINT:
        PaintGrip();
        M.Result = 0;
        return;
    case WM_ERASEBKGND: M.Result = 1; return;
    case WM_NCPAINT: M.Result = 0; return;
    default: break;
    }
    TacMainWnd::WndProc(M);
    if (M.Msg == WM_NCHITTEST) {
        M.Result = HTBOTTOMRIGHT;
        if (IsWindowEnabled(CtrlHandle) && SkinManager && SkinManager->HotWindow()) SkinManager->SetHotWindow(nullptr);
    }
}

void TacSizerWnd::PaintGrip() {
    PaintScope paint(CtrlHandle);
    Geometry = GetWndGeometry(CtrlHandle);
    TsSkinManager* m = SkinManager;
    const int grip = GlobalMask(m, "GRIPIMAGE");
    const int w = Geometry.WndSize.cx, h = Geometry.WndSize.cy;
    if (w <= 0 || h <= 0) return;
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(w, h));
    BackgroundInfo info;
    info.R = Rect(0, 0, w, h);
    info.X = Geometry.WndPos.X;
    info.Y = Geometry.WndPos.Y;
    info.DrawDC = bmp->Canvas()->Handle();
    // An unskinned parent does not answer: its colour then.
    if (!QueryParentBackground(info, Geometry.Parent, true))
        FillRectOnDC(bmp->Canvas()->Handle(), info.R, ParentColor(Geometry.Parent));
    // A skin without a grip image leaves the background: never the window's own black.
    if (m->IsValidMaskIndex(grip)) {
        const TPoint cell = GlyphCell(m->ma()[size_t(grip)]);
        PaintCell(bmp.get(), Point(std::max(w - cell.X, 0), std::max(h - cell.Y, 0)), 0, m, grip);
    }
    BitBlt(paint.Get(), 0, 0, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ====================================================================== status bar

TacStatusBarWnd::TacStatusBarWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                                 TsCommonData* Data)
    : TacMainWnd(AHandle, Repaint, Section, Manager, Data) {
    StatusBar = dynamic_cast<TStatusBar*>(SkinData->OwnerControl);
}

bool TacStatusBarWnd::Simple() const { return SendMessageW(CtrlHandle, SB_ISSIMPLE, 0, 0) != 0; }

TRect TacStatusBarWnd::ClientOrigin() const { return ClientInWindowRect(CtrlHandle); }

void TacStatusBarWnd::WndProc(TMessage& M) {
    if (!Painting(this) || !SkinData->IsSkinned()) {
        TacMainWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_PAINT:
        PaintOnErase(CtrlHandle);
        M.Result = 0;
        return;
    case WM_ERASEBKGND:
        PaintAll(reinterpret_cast<HDC>(M.WParam));
        M.Result = 1;
        return;
    case WM_PRINT: {
        // A print DC has the window's origin.
        const auto dc = reinterpret_cast<HDC>(M.WParam);
        const TRect c = ClientOrigin();
        SavedDC saved(dc);
        OffsetViewportOrgEx(dc, c.Left, c.Top, nullptr);
        PaintAll(dc);
        M.Result = 0;
        return;
    }
    case WM_NCPAINT:
        if (!FadeInProgress) PaintBorder(nullptr);
        M.Result = 0;
        return;
    default: break;
    }
    TacMainWnd::WndProc(M);
    if (M.Msg == WM_SIZE) RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void TacStatusBarWnd::PaintAll(HDC DC) {
    Geometry = GetWndGeometry(CtrlHandle);
    TargetDC target(CtrlHandle, DC);
    if (!target.Get()) return;
    PaintToCache();
    TBitmap* cache = SkinData->CacheBitmap;
    if (!cache || cache->Empty()) return;
    // The client DC's origin lies inside the border band.
    const TRect c = ClientOrigin();
    BitBlt(target.Get(), -c.Left, -c.Top, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacStatusBarWnd::PaintBorder(HDC DC) {
    Geometry = GetWndGeometry(CtrlHandle);
    if (!StatusBar || StatusBar->BorderWidth() <= 0) return;
    if (SkinData->BackgroundDirty) PaintToCache();
    TBitmap* cache = SkinData->CacheBitmap;
    TargetDC target(CtrlHandle, DC, WindowDC::Window);
    if (!target.Get() || !cache || cache->Empty()) return;
    CopyBorderBands(target.Get(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0,
                    StatusBar->BorderWidth());
}

void TacStatusBarWnd::PaintToCache() {
    TBitmap* cache = SizedCache(SkinData, Geometry.WndSize);
    if (cache->Empty()) return;
    PaintControlSection(SkinData, ParentUnder(CtrlHandle), true, cache, Geometry.WndPos,
                        Rect(0, 0, cache->Width(), cache->Height()), 0);
    PaintPanels();
    SkinData->BackgroundDirty = false;
}

void TacStatusBarWnd::PaintPanels() {
    const int w = Geometry.WndSize.cx, h = Geometry.WndSize.cy;
    if (Simple()) {
        PaintPanel(-1, Rect(0, 1, w - 1, h - 1));
        return;
    }
    const TRect c = ClientOrigin();
    const int n = int(SendMessageW(CtrlHandle, SB_GETPARTS, 0, 0));
    for (int i = 0; i < n; ++i) {
        RECT r{};
        if (!SendMessageW(CtrlHandle, SB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) continue;
        PaintPanel(i, Rect(r.left + c.Left + 1, r.top + c.Top + 1, r.right + c.Left - 1, r.bottom + c.Top - 1));
    }
}

void TacStatusBarWnd::PaintPanel(int Index, const TRect& R) {
    TsSkinManager* m = SkinManager;
    TBitmap* cache = SkinData->CacheBitmap;
    const bool simple = Index < 0;
    const int panel = m->MaskIndexInherited(SkinData->Resolved(), "STATUSPANELMASK");
    if (m->IsValidMaskIndex(panel)) {
        const TRect at = simple ? Rect(0, 0, cache->Width(), cache->Height()) : R;
        PaintImageByMargins(cache, at, true, MakeBitmapBackground(cache, 0, 0), m->ma()[size_t(panel)], 0, true);
    } else if (!simple && Index < int(SendMessageW(CtrlHandle, SB_GETPARTS, 0, 0)) - 1) {
        const TsSection divider = m->Resolve({"DIVIDER"});
        const int mask = m->MaskIndexInherited(divider, "BORDERSMASK");
        if (m->IsValidSectionIndex(divider.Index) && m->IsValidMaskIndex(mask)) {
            const int bw = m->MaskStateSize(mask).X - 1, bh = cache->Height() - 2;
            if (bw > 0 && bh > 0) {
                std::unique_ptr<TBitmap> bmp(CreateBitmap24(bw, bh));
                const int x = R.Right - bw;
                BitBlt(bmp->Canvas()->Handle(), 0, 0, bw, bh, cache->Canvas()->Handle(), x, 1, SRCCOPY);
                PaintSectionFull(divider, MakeBitmapBackground(bmp.get(), 0, 0), -1, -1, m, bmp.get(),
                                 Point(0, 0), Rect(0, 0, bw, bh), 0, true);
                BitBlt(cache->Canvas()->Handle(), x, 1, bw, bh, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
            }
        }
    }
    AnsiString text = PanelText(Index);
    // The alignment: the panel's, or one tab before a foreign text centres
    // it and two put it right, as the bar itself reads them.
    unsigned align = DT_LEFT;
    if (StatusBar && !simple && Index < StatusBar->Panels()->Count()) {
        const TAlignment a = StatusBar->Panels()->Items(Index)->Alignment();
        align = a == taCenter ? DT_CENTER : a == taRightJustify ? DT_RIGHT : DT_LEFT;
    } else {
        size_t tabs = 0;
        while (tabs < text.size() && tabs < 2 && text[tabs] == '\t') ++tabs;
        align = tabs == 1 ? DT_CENTER : tabs == 2 ? DT_RIGHT : DT_LEFT;
        text.erase(0, tabs);
    }
    if (text.empty()) return;
    const TRect tr = Rect(R.Left + 2, R.Top, R.Right - 4, R.Bottom - 1);
    TCanvas* c = cache->Canvas();
    if (StatusBar)
        c->SetFont(StatusBar->Font());
    else
        AssignFontHandle(c->Font(), WindowFont(CtrlHandle));
    AnsiString fitted;
    FitTextWithEllipsis(c, text, tr.Width(), fitted);
    WriteSectionText(c, fitted.c_str(), true, m, false, SkinData->SkinSectionNo, DT_VCENTER | DT_SINGLELINE | align, tr);
}

AnsiString TacStatusBarWnd::PanelText(int Index) const {
    if (SendMessageW(CtrlHandle, SB_GETPARTS, 0, 0) <= 0) return AnsiString();
    if (StatusBar && Index >= 0) {
        TStatusPanels* panels = StatusBar->Panels();
        if (panels->Count() == 0) return StatusBar->SimpleText();
        return Index < panels->Count() ? panels->Items(Index)->Text() : AnsiString();
    }
    // The simple text, or a part of a foreign bar: read from the window. The
    // simple text answers to its own index on some systems and to any part's
    // on others.
    WPARAM part = Index < 0 ? SB_SIMPLEID : WPARAM(Index);
    LRESULT info = SendMessageW(CtrlHandle, SB_GETTEXTLENGTHW, part, 0);
    if (Index < 0 && LOWORD(info) == 0) info = SendMessageW(CtrlHandle, SB_GETTEXTLENGTHW, part = 0, 0);
    if (HIWORD(info) & SBT_OWNERDRAW) return AnsiString();
    return ReadText([&] { return (long long)LOWORD(info); },
                    [&](wchar_t* Buf) {
                        return (long long)LOWORD(SendMessageW(CtrlHandle, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(Buf)));
                    });
}

// ====================================================================== class-library tool bar

TacToolBarLibWnd::TacToolBarLibWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                                   TsCommonData* Data)
    : TacMainWnd(AHandle, Repaint, Section, Manager, Data) {
    ToolBar = dynamic_cast<TToolBar*>(SkinData->OwnerControl);
    if (!ToolBar) return;
    ToolBar->OnAdvancedCustomDraw = TTBAdvancedCustomDrawEvent::Of<&TacToolBarLibWnd::DrawBar>(this);
    ToolBar->OnAdvancedCustomDrawButton = TTBAdvancedCustomDrawBtnEvent::Of<&TacToolBarLibWnd::DrawButton>(this);
}

TacToolBarLibWnd::~TacToolBarLibWnd() {
    DetachOnFree();
    ReleaseEvents();
}

void TacToolBarLibWnd::RestorePlainLook() {
    // Once the window procedure is given back (detached), so are the events.
    if (!ObjectInstance) ReleaseEvents();
    TacMainWnd::RestorePlainLook();
}

void TacToolBarLibWnd::ReleaseEvents() {
    if (!ToolBar) return;
    if (ToolBar->OnAdvancedCustomDraw == TTBAdvancedCustomDrawEvent::Of<&TacToolBarLibWnd::DrawBar>(this))
        ToolBar->OnAdvancedCustomDraw = nullptr;
    if (ToolBar->OnAdvancedCustomDrawButton ==
        TTBAdvancedCustomDrawBtnEvent::Of<&TacToolBarLibWnd::DrawButton>(this))
        ToolBar->OnAdvancedCustomDrawButton = nullptr;
    ToolBar = nullptr;
}

bool TacToolBarLibWnd::SkinnedNow() const { return ToolBar && Painting(this) && SkinData->IsSkinned(); }

bool TacToolBarLibWnd::HotTracking() const {
    return ToolBar && ToolBar->Flat() && !(ToolBar->ComponentState() & csDesigning);
}

TToolButton* TacToolBarLibWnd::ButtonOfCommand(int Command) const {
    if (!ToolBar) return nullptr;
    for (int i = 0; i < ToolBar->ButtonCount(); ++i)
        if (ToolBar->Buttons(i)->CommandId() == Command) return ToolBar->Buttons(i);
    return nullptr;
}

void TacToolBarLibWnd::ClientInWindow(TRect& R) const { R = ClientInWindowRect(CtrlHandle); }

int TacToolBarLibWnd::ButtonAt(TPoint P) const {
    if (!ToolBar) return -1;
    const int n = int(SendMessageW(CtrlHandle, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        RECT r{};
        if (!SendMessageW(CtrlHandle, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) continue;
        const POINT p{P.X, P.Y};
        if (!PtInRect(&r, p)) continue;
        if (i >= ToolBar->ButtonCount()) return -1;
        const TToolButtonStyle s = ToolBar->Buttons(i)->Style();
        return s == tbsButton || s == tbsCheck || s == tbsDropDown ? i : -1;
    }
    return -1;
}

void TacToolBarLibWnd::WndProc(TMessage& M) {
    if (!SkinData || Destroyed) {
        TacMainWnd::WndProc(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD) {
        const uint16_t cmd = SkinCommandOf(M.WParam);
        if ((cmd == scRemoveSkin || cmd == scRefresh) && M.LParam == reinterpret_cast<LPARAM>(SkinManager))
            DroppedButton = nullptr;
        if (cmd == scGetBackground && M.LParam && Painting(this)) {
            Geometry = GetWndGeometry(CtrlHandle);
            auto& info = *reinterpret_cast<BackgroundInfo*>(M.LParam);
            SkinData->FillBackgroundInfo(info, 0, CtrlHandle);
            TRect c;
            ClientInWindow(c);
            info.X += c.Left;
            info.Y += c.Top;
            return;
        }
    }
    if (SkinnedNow()) {
        switch (M.Msg) {
        case WM_ERASEBKGND: M.Result = 1; return;
        case WM_NCPAINT:
            if (!FadeInProgress) PaintBorder(nullptr);
            M.Result = 0;
            return;
        case WM_PRINT: WMPrint(M); return;
        default: break;
        }
    }
    if (M.Msg == CN_NOTIFY && ToolBar) {
        auto* hdr = reinterpret_cast<NMHDR*>(M.LParam);
        if (hdr->code == TBN_DELETINGBUTTON) {
            if (HotButton >= int(SendMessageW(CtrlHandle, TB_BUTTONCOUNT, 0, 0)) - 1) HotButton = -1;
        } else if (hdr->code == TBN_DROPDOWN) {
            const auto* nm = reinterpret_cast<NMTOOLBARW*>(M.LParam);
            if (TToolButton* b = ButtonOfCommand(nm->iItem)) {
                DroppedButton = b;
                // The bar painted the button before it told of the drop-down.
                RepaintButton(b->Index());
                b->CheckMenuDropdown();
                M.Result = TBDDRET_DEFAULT;
                return;
            }
        }
    }
    if (!SkinData->HandleControlMessage(M)) TacMainWnd::WndProc(M);
    if (!Destroyed && SkinnedNow()) AfterMessage(M);
}

void TacToolBarLibWnd::AfterMessage(const TMessage& M) {
    switch (M.Msg) {
    case WM_SIZE: InvalidateRect(CtrlHandle, nullptr, TRUE); break;
    case WM_MOUSEMOVE: {
        if (!HotTracking()) break;
        const int at = ButtonAt(Point(LowX(M.LParam), HighY(M.LParam)));
        if (at == HotButton || (at >= 0 && !ToolBar->Buttons(at)->Enabled())) break;
        const int old = HotButton;
        HotButton = at;
        for (int i : {old, at})
            if (i >= 0 && i < ToolBar->ButtonCount() && !ToolBar->Buttons(i)->Down()) RepaintButton(i);
        break;
    }
    case CN_DROPDOWNCLOSED:
        if (DroppedButton) {
            HotButton = -1;
            const int i = DroppedButton->Index();
            DroppedButton = nullptr;
            if (i >= 0) RepaintButton(i);
        }
        break;
    case CM_MOUSELEAVE: {
        const int old = HotButton;
        HotButton = -1;
        if (old >= 0 && old < ToolBar->ButtonCount() && !ToolBar->Buttons(old)->Down()) RepaintButton(old);
        break;
    }
    default: break;
    }
}

void TacToolBarLibWnd::WMPrint(TMessage& M) {
    const auto dc = reinterpret_cast<HDC>(M.WParam);
    Geometry = GetWndGeometry(CtrlHandle);
    if (SkinData->BackgroundDirty) PaintToCache();
    TBitmap* cache = SkinData->CacheBitmap;
    if (!dc || !cache || cache->Empty()) return;
    TRect c;
    ClientInWindow(c);
    {
        SavedDC saved(dc);
        ExcludeClipRect(dc, c.Left, c.Top, c.Right, c.Bottom);
        BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    SavedDC saved(dc);
    OffsetViewportOrgEx(dc, c.Left, c.Top, nullptr);
    IntersectClipRect(dc, 0, 0, c.Width(), c.Height());
    SendMessageW(CtrlHandle, WM_PAINT, M.WParam, 0);
}

void TacToolBarLibWnd::PaintToCache() {
    TBitmap* cache = SizedCache(SkinData, Geometry.WndSize);
    if (cache->Empty()) return;
    PaintControlSection(SkinData, ParentUnder(CtrlHandle), true, cache, Geometry.WndPos,
                        Rect(0, 0, cache->Width(), cache->Height()), 0);
    SkinData->BackgroundDirty = false;
}

void TacToolBarLibWnd::PaintBorder(HDC DC) {
    Geometry = GetWndGeometry(CtrlHandle);
    TRect c;
    ClientInWindow(c);
    if (c == Rect(0, 0, Geometry.WndSize.cx, Geometry.WndSize.cy)) return;
    if (SkinData->BackgroundDirty) PaintToCache();
    TBitmap* cache = SkinData->CacheBitmap;
    TargetDC target(CtrlHandle, DC, WindowDC::Window);
    if (!target.Get() || !cache || cache->Empty()) return;
    SavedDC saved(target.Get());
    ExcludeClipRect(target.Get(), c.Left, c.Top, c.Right, c.Bottom);
    BitBlt(target.Get(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacToolBarLibWnd::DrawBar(TToolBar* Sender, const TRect&, TCustomDrawStage Stage, bool& DefaultDraw) {
    if (!SkinnedNow() || Sender != ToolBar) return;
    DefaultDraw = false;
    if (Stage != cdPrePaint) return;
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    PaintBarOnCanvas();
}

void TacToolBarLibWnd::PaintBarOnCanvas() {
    TCanvas* canvas = ToolBar->Canvas();
    canvas->SetFont(ToolBar->Font());
    Geometry = GetWndGeometry(CtrlHandle);
    if (SkinData->BackgroundDirty) PaintToCache();
    TBitmap* cache = SkinData->CacheBitmap;
    if (!cache || cache->Empty()) return;
    TRect c;
    ClientInWindow(c);
    const HDC dc = canvas->Handle();
    {
        SavedDC saved(dc);
        // Windowed children and opaque graphic ones paint themselves.
        for (int i = 0; i < ToolBar->ControlCount(); ++i) {
            TControl* child = ToolBar->Controls(i);
            if (!child->Visible() || dynamic_cast<TToolButton*>(child)) continue;
            const bool windowed = dynamic_cast<TWinControl*>(child) != nullptr;
            if (!windowed && !(child->ControlStyle() & csOpaque)) continue;
            ExcludeClipRect(dc, child->Left(), child->Top(), child->Left() + child->Width(),
                            child->Top() + child->Height());
        }
        BitBlt(dc, 0, 0, c.Width(), c.Height(), cache->Canvas()->Handle(), c.Left, c.Top, SRCCOPY);
    }
    PaintGraphicChildren(dc, ToolBar, Point(0, 0));
    for (int i = 0; i < ToolBar->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(ToolBar->Controls(i)); w && w->HandleAllocated())
            SendEngineCommandToHandle(w->Handle(), scRepaint, 0);
    if (c != Rect(0, 0, Geometry.WndSize.cx, Geometry.WndSize.cy)) SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
}

void TacToolBarLibWnd::DrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                  TCustomDrawStage Stage, TTBCustomDrawFlags& Flags, bool& DefaultDraw) {
    if (!SkinnedNow() || Sender != ToolBar || !Button) return;
    DefaultDraw = false;
    if (Stage != cdPrePaint) return;
    const int index = Button->Index();
    if (index >= 0 && index == HotButton && !(ToolBar->ComponentState() & csDesigning)) State |= 1u << cdsHot;
    Flags |= (1u << tbNoEdges) | (1u << tbNoEtchedEffect);
    auto has = [&](TCustomDrawStateElement E) { return (State >> E) & 1u; };
    int state = 1;
    if (has(cdsSelected) || has(cdsChecked) || Button->Marked() || Button->Indeterminate())
        state = 2;
    else if (State == 0 || State == (1u << cdsDisabled))
        state = 0;
    PaintButtonFace(Button, state);
}

void TacToolBarLibWnd::PaintButtonFace(TToolButton* Button, int State) {
    TsSkinManager* m = SkinManager;
    Geometry = GetWndGeometry(CtrlHandle);
    if (SkinData->BackgroundDirty) PaintToCache();
    TBitmap* cache = SkinData->CacheBitmap;
    const int w = Button->Width(), h = Button->Height();
    if (!cache || cache->Empty() || w <= 0 || h <= 0) return;
    TRect c;
    ClientInWindow(c);
    const TPoint at = Point(Button->Left() + c.Left, Button->Top() + c.Top);  // in the cache
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(w, h));
    TCanvas* canvas = bmp->Canvas();
    canvas->SetFont(ToolBar->Font());
    const TsSection section = ToolButtonSection(m);
    PaintSectionFull(section, MakeBitmapBackground(cache, 0, 0), -1, -1, m, bmp.get(), at,
                     Rect(0, 0, w, h), State, true);
    const int shift = State == 2 ? 1 : 0;
    const bool dropDown = Button->Style() == tbsDropDown;
    const int arrowWidth = dropDown ? GetSystemMetrics(SM_CXVSCROLL) - 2 : 0;
    TCustomImageList* images = ToolBar->Images();
    TCustomImageList* hot = ToolBar->HotImages();
    if (State != 0 && hot && Button->ImageIndex() < hot->Count()) images = hot;
    const bool image = images && Button->ImageIndex() >= 0 && Button->ImageIndex() < images->Count();
    const int textHeight = ToolBar->ShowCaptions() ? CanvasTextExtent(canvas, "Wg").cy + 3 : 0;
    if (ToolBar->ShowCaptions() && !Button->Caption().empty()) {
        TRect r;
        if (ToolBar->List())
            r = Rect(image ? images->Width() + 6 : 1, 2, w - arrowWidth - 2, h - 2);
        else {
            const int top = image ? (h - images->Height() - textHeight) / 2 + images->Height() + 3 : (h - textHeight) / 2;
            r = Rect(0, top, w - arrowWidth, top + textHeight - 3);
        }
        r = Rect(r.Left + shift, r.Top + shift, r.Right + shift, r.Bottom + shift);
        WriteSectionText(canvas, Button->Caption().c_str(), Button->Enabled(), m, State != 0, section.Index,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE, r);
    }
    if (image) {
        const int iw = images->Width(), ih = images->Height();
        int x, y;
        if (ToolBar->List()) {
            x = 5;
            y = (h - ih) / 2;
        } else {
            x = (w - (dropDown ? 8 : 0) - iw) / 2;
            y = (h - textHeight - ih) / 2;
        }
        std::unique_ptr<TBitmap> pic(CreateBitmap24(iw, ih));
        TColor key = images->BkColor();
        if (key == clNone || key == clDefault) key = TransparentKeyColor;
        FillRectOnDC(pic->Canvas()->Handle(), Rect(0, 0, iw, ih), key);
        ImageList_DrawEx(images->Handle(), Button->ImageIndex(), pic->Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                         ILD_TRANSPARENT);
        CopyExceptKeyColor(bmp.get(), pic.get(), x + shift, y + shift, key);
    }
    if (dropDown) {
        const bool open = DroppedButton == Button;
        const int st = open || Button->Down() ? 2 : Button->Index() == HotButton ? 1 : 0;
        const TRect band = Rect(w - arrowWidth, 0, w, h);
        const int border = m->MaskIndexInherited(section, "BORDERSMASK");
        if (m->IsValidMaskIndex(border))
            PaintImageByMargins(bmp.get(), band, false, MakeBitmapBackground(bmp.get(), 0, 0), m->ma()[size_t(border)],
                                st, true);
        PaintDropArrow(bmp.get(), band, st, m, section);
    }
    if (!Button->Enabled() || Button->Indeterminate())
        ApplyFadeEffects(bmp.get(), 1, Button, at, MakeBitmapBackground(cache, 0, 0));
    BitBlt(ToolBar->Canvas()->Handle(), Button->Left(), Button->Top(), w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacToolBarLibWnd::RepaintButton(int Index) {
    if (!ToolBar || Index < 0 || Index >= ToolBar->ButtonCount()) return;
    TToolButton* b = ToolBar->Buttons(Index);
    if (!b->Visible() || !SkinnedNow()) return;
    TCanvasDCScope scope(ToolBar->Canvas(), GetDC(CtrlHandle), CtrlHandle);
    TTBCustomDrawFlags flags = 0;
    bool def = true;
    DrawButton(ToolBar, b, 0, cdPrePaint, flags, def);
}

// ====================================================================== up-down

bool TacSpinWnd::IsVertical() const { return !(GetWindowLongW(CtrlHandle, GWL_STYLE) & UDS_HORZ); }

void TacSpinWnd::ButtonRects(TRect& First, TRect& Second) const {
    const int w = Geometry.WndSize.cx, h = Geometry.WndSize.cy;
    if (IsVertical()) {
        First = Rect(LeftOffset, 0, w, h - h / 2);
        Second = Rect(LeftOffset, h / 2, w, h);
    } else {
        First = Rect(0, 0, w - w / 2, h);
        Second = Rect(w / 2, 0, w, h);
    }
}

void TacSpinWnd::TrackHot() {
    TsSkinManager* m = SkinManager;
    if (!m || (m->ComponentState() & csDesigning) || !IsWindowEnabled(CtrlHandle)) return;
    if (CursorInWindow(CtrlHandle)) {
        if (m->HotWindow() != CtrlHandle) m->SetHotWindow(CtrlHandle);
        // Leaving onto any window, skinned or not, is heard.
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, CtrlHandle, 0};
        TrackMouseEvent(&t);
        SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
    } else if (m->HotWindow() == CtrlHandle) {
        m->SetHotWindow(nullptr);
    }
}

void TacSpinWnd::WndProc(TMessage& M) {
    if (!Painting(this)) {
        TacMainWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_PAINT:
        Paint(M);
        M.Result = 0;
        return;
    case WM_ERASEBKGND: M.Result = 1; return;
    case WM_NCPAINT: M.Result = 0; return;
    case WM_LBUTTONDOWN: MouseDown = true; break;
    case WM_LBUTTONUP: MouseDown = false; break;
    case WM_MOUSELEAVE:
        if (SkinManager && SkinManager->HotWindow() == CtrlHandle) SkinManager->SetHotWindow(nullptr);
        InvalidateRect(CtrlHandle, nullptr, FALSE);
        break;
    default: break;
    }
    TacMainWnd::WndProc(M);
    if (Destroyed) return;
    switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: SendMessageW(CtrlHandle, WM_PAINT, 0, 0); break;
    case WM_MOUSEMOVE: TrackHot(); break;
    default: break;
    }
}

void TacSpinWnd::Paint(TMessage& M) {
    Geometry = GetWndGeometry(CtrlHandle);
    FirstState = SecondState = 0;
    POINT p;
    if (GetCursorPos(&p) && CursorInWindow(CtrlHandle)) {
        const TRect& r = Geometry.WndRect;
        const bool first = IsVertical() ? p.y < r.Bottom - r.Height() / 2 : p.x < r.Right - r.Width() / 2;
        (first ? FirstState : SecondState) = 1 + (MouseDown ? 1 : 0);
    }
    PaintScope paint(CtrlHandle);
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    TargetDC target(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
    if (!target.Get()) return;
    SkinData->BackgroundDirty = true;
    PaintToCache();
    TBitmap* cache = SkinData->CacheBitmap;
    if (!cache || cache->Empty()) return;
    const int from = IsVertical() ? std::min(LeftOffset, cache->Width()) : 0;
    BitBlt(target.Get(), from, 0, cache->Width() - from, cache->Height(), cache->Canvas()->Handle(), from, 0, SRCCOPY);
}

void TacSpinWnd::PaintToCache() {
    TsSkinManager* m = SkinManager;
    // Without its own section an up-down is a pair of buttons.
    if (SkinData->Resolved().Name != SkinData->SkinSection()) SkinData->SetSkinSection("BUTTON");
    TBitmap* cache = SizedCache(SkinData, Geometry.WndSize);
    if (cache->Empty()) return;
    TRect rects[2];
    ButtonRects(rects[0], rects[1]);
    const CacheInfo under = ParentUnder(CtrlHandle);
    const int states[2] = {FirstState, SecondState};
    // Up and down, or left and right.
    const int arrows[2] = {ArrowGlyph(m, IsVertical() ? 0 : 2), ArrowGlyph(m, IsVertical() ? 1 : 3)};
    if (LeftOffset > 0) FillFromUnder(cache, Rect(0, 0, LeftOffset, cache->Height()), under, Geometry.WndPos);
    for (int i = 0; i < 2; ++i) {
        const TRect& r = rects[i];
        PaintSectionInto(cache, r, m, SkinData->Resolved(), under,
                         Point(Geometry.WndPos.X + r.Left, Geometry.WndPos.Y + r.Top), states[i]);
        if (arrows[i] < 0) {
            const int direction = IsVertical() ? i : 2 + i;
            DrawPlainArrow(cache->Canvas()->Handle(), r, direction,
                           SectionFontColor(m, SkinData->SkinSectionNo, states[i]));
            continue;
        }
        const TPoint a = GlyphCell(m->ma()[size_t(arrows[i])]);
        PaintCell(cache, Point(r.Left + (r.Width() - a.X) / 2, r.Top + (r.Height() - a.Y) / 2), states[i], m, arrows[i]);
    }
    SkinData->BackgroundDirty = false;
}
