// Small painting helpers of the bar, tab and menu wrappers: whether a wrapper
// paints now, the DC a paint draws into, the cache at the window's size, the
// canvas font from a window's font, and one skin section painted into a
// rectangle of a bitmap. Windows only; header-only.
#pragma once

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "Graphics.h"
#include "Guards.h"
#include "WinText.h"
#include "acSBUtils.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

namespace acwrap {

inline bool ManagerActive(const TsSkinManager* M) {
    return M && M->Active() && M->SkinData() && M->SkinData()->Active();
}

// Whether the wrapper paints: its manager is active and its window alive.
inline bool Painting(const TacMainWnd* W) {
    return W->SkinData && !W->Destroyed && ManagerActive(W->SkinManager) && IsWindow(W->CtrlHandle);
}

// The DC a paint draws into: the one given, else a DC of the window, released.
class TargetDC {
public:
    TargetDC(HWND Wnd, HDC Given, WindowDC::Kind Kind = WindowDC::Client) : dc_(Given) {
        if (Given) return;
        own_.emplace(Wnd, Kind);
        dc_ = own_->Get();
    }
    HDC Get() const { return dc_; }
    bool Own() const { return own_.has_value(); }

private:
    std::optional<WindowDC> own_;
    HDC dc_;
};

// A BeginPaint/EndPaint pair (EndPaint on every path).
class PaintScope {
public:
    explicit PaintScope(HWND Wnd) : wnd_(Wnd) { BeginPaint(Wnd, &ps_); }
    ~PaintScope() { EndPaint(wnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Get() const { return ps_.hdc; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
};

// A paint that draws nothing: the update region validated.
inline void ValidateByPaint(HWND Wnd) { PaintScope paint(Wnd); }

// A paint that leaves all drawing to the erase it asks for: the whole
// window invalidated with erasing, then validated.
inline void PaintOnErase(HWND Wnd) {
    InvalidateRect(Wnd, nullptr, TRUE);
    ValidateByPaint(Wnd);
}

// The common data's cache at Size (a 24-bit DIB).
inline TBitmap* SizedCache(TsCommonData* Data, TSize Size) {
    Data->PrepareCacheBitmap();
    TBitmap* cache = Data->CacheBitmap;
    const int w = std::max(0, int(Size.cx)), h = std::max(0, int(Size.cy));
    if (cache->Width() != w || cache->Height() != h) cache->SetSize(w, h);
    return cache;
}

inline HFONT WindowFont(HWND Wnd) { return reinterpret_cast<HFONT>(SendMessageW(Wnd, WM_GETFONT, 0, 0)); }

// The font takes the logical font of a font handle (0: the stock font
// Fallback, the default GUI font unless named).
inline void AssignFontHandle(TFont* Font, HFONT Handle, int Fallback = DEFAULT_GUI_FONT) {
    LOGFONTW lf{};
    if (!GetObjectW(Handle ? Handle : HFONT(GetStockObject(Fallback)), sizeof lf, &lf)) return;
    Font->SetName(FromWide(lf.lfFaceName));
    Font->SetHeight(lf.lfHeight);
    Font->SetCharset(lf.lfCharSet);
    TFontStyles s = 0;
    if (lf.lfWeight >= FW_BOLD) s |= FontStyleBit(fsBold);
    if (lf.lfItalic) s |= FontStyleBit(fsItalic);
    if (lf.lfUnderline) s |= FontStyleBit(fsUnderline);
    if (lf.lfStrikeOut) s |= FontStyleBit(fsStrikeOut);
    Font->SetStyle(s);
}

// The rectangle of Wnd's client area inside its window rectangle.
inline TRect ClientInWindowRect(HWND Wnd) {
    RECT wr{}, cr{};
    GetWindowRect(Wnd, &wr);
    GetClientRect(Wnd, &cr);
    POINT o{0, 0};
    ClientToScreen(Wnd, &o);
    const int x = o.x - wr.left, y = o.y - wr.top;
    return Rect(x, y, x + cr.right, y + cr.bottom);
}

// The colour of a parent window: a skinned one's answer, a class-library
// control's colour, else the face colour.
inline TColor ParentColor(HWND Parent) {
    if (Parent && AnswersEngineCommand(Parent, scIsSkinned)) return WindowBackgroundColor(Parent);
    if (TWinControl* c = Parent ? FindControl(Parent) : nullptr) return ColorToRGB(c->Color());
    return ColorToRGB(clBtnFace);
}

// What lies under a window in its parent (the parent's answer to the
// background query); a parent that does not answer gives its colour.
inline CacheInfo ParentUnder(HWND Wnd) {
    CacheInfo c = WindowParentBackgroundInfo(Wnd);
    if (!(c.Ready && c.Bmp) && c.Color == TransparentKeyColor) c.Color = ParentColor(GetParent(Wnd));
    return c;
}

// R of Dst takes what lies under it: Under's picture (R's top left at At
// in the parent), else its colour.
inline void FillFromUnder(TBitmap* Dst, const TRect& R, const CacheInfo& Under, TPoint At) {
    if (Under.Ready && Under.Bmp)
        BitBlt(Dst->Canvas()->Handle(), R.Left, R.Top, R.Width(), R.Height(), Under.Bmp->Canvas()->Handle(),
               Under.X + At.X + R.Left, Under.Y + At.Y + R.Top, SRCCOPY);
    else
        FillRectOnDC(Dst->Canvas()->Handle(), R, Under.Color);
}

// One state cell of a skin image, as the glyph painter cuts it.
inline TPoint GlyphCell(const TsMaskData& M) {
    if (M.ImageCount <= 0 || M.MaskType < 0) return Point(0, 0);
    return Point(M.R.Width() / M.ImageCount, M.R.Height() / (M.MaskType + 1));
}

inline bool CursorInWindow(HWND Wnd) {
    POINT p;
    RECT r;
    return GetCursorPos(&p) && GetWindowRect(Wnd, &r) && PtInRect(&r, p);
}

// Section in State over R of Dst; what lies under R is Under (its offsets
// for R's top left), and R's top left lies at At in the parent. Painted in a
// bitmap of R's size, so that corners and edges take the background at the
// right place wherever R lies.
inline void PaintSectionInto(TBitmap* Dst, const TRect& R, TsSkinManager* M, const TsSection& Section,
                             const CacheInfo& Under, TPoint At, int State) {
    if (!Dst || R.Width() <= 0 || R.Height() <= 0 || !M || !M->IsValidSectionIndex(Section.Index)) return;
    std::unique_ptr<TBitmap> b(CreateBitmap24(R.Width(), R.Height()));
    PaintSectionFull(Section, Under, -1, -1, M, b.get(), At, Rect(0, 0, R.Width(), R.Height()), State, true);
    BitBlt(Dst->Canvas()->Handle(), R.Left, R.Top, R.Width(), R.Height(), b->Canvas()->Handle(), 0, 0, SRCCOPY);
}

}  // namespace acwrap
