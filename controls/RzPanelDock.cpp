// The framed panel's dock manager (unit RzPanel).
#include <string>

#include "Guards.h"
#include "RzCommon.h"
#include "RzPanel.h"
#include "WinText.h"

namespace {
constexpr int kGrabberSize = 14;

std::unique_ptr<TFont> StripFont(const char* Name) {
    auto f = std::make_unique<TFont>();
    f->SetName(Name);
    f->SetSize(8);
    return f;
}

bool FocusIsIn(TWinControl* W) {
    HWND h = W->HandleIfAllocated();
    HWND f = GetFocus();
    return h && f && (f == h || IsChild(h, f));
}

void DrawIn(HDC DC, HFONT Font, const std::wstring& Text, RECT R, UINT Flags) {
    SelectGuard font(DC, Font);
    DrawTextW(DC, Text.c_str(), int(Text.size()), &R, Flags | DT_SINGLELINE | DT_NOPREFIX);
}
}  // namespace

TRzPanelDockManager::TRzPanelDockManager(TRzCustomPanel* Panel)
    : TDockTree(Panel),
      FPanel(Panel),
      FFont(StripFont("Verdana")),
      FCloseFont(StripFont("Marlett")),
      FHook(Panel, TWndMethod::Of<&TRzPanelDockManager::NewWndProc>(this)) {
    FGrabberSize = kGrabberSize;
}

TRzPanelDockManager::~TRzPanelDockManager() = default;

void TRzPanelDockManager::NewWndProc(TMessage& Message) {
    // A command or a click inside may move the focus: the strips' colours follow it.
    if (Message.Msg == WM_COMMAND || Message.Msg == WM_MOUSEACTIVATE) FPanel->Invalidate();
    FHook.CallPrevious(Message);
}

void TRzPanelDockManager::AdjustDockRect(TControl*, TRect& ARect) {
    if (FPanel->Align() == alTop || FPanel->Align() == alBottom) ARect.Left += kGrabberSize;
    else ARect.Top += kGrabberSize;
}

void TRzPanelDockManager::PaintSite(HDC DC) { TDockTree::PaintSite(DC); }

void TRzPanelDockManager::PaintDockFrame(TCanvas* Canvas, TControl* Control, const TRect& ARect) {
    if (!FPanel->ShowDockClientCaptions()) {
        TDockTree::PaintDockFrame(Canvas, Control, ARect);
        return;
    }
    PaintStrip(Canvas->Handle(), Control, ARect, FPanel->Align() == alTop || FPanel->Align() == alBottom);
}

void TRzPanelDockManager::PaintStrip(HDC DC, TControl* Control, const TRect& R, bool Vertical) {
    auto* windowed = dynamic_cast<TWinControl*>(Control);
    const bool active = !windowed || FocusIsIn(windowed);
    const TColor back = active ? clActiveCaption : clInactiveCaption;
    const TColor text = active ? clCaptionText : clInactiveCaptionText;
    const std::wstring caption = ToWide(Control->Caption());
    SavedDC saved(DC);
    SetBkMode(DC, TRANSPARENT);
    BrushHandle brush(CreateSolidBrush(RzRGBOf(back)));
    RECT strip = Vertical ? RECT{R.Left, R.Top, R.Left + kGrabberSize, R.Bottom}
                          : RECT{R.Left, R.Top, R.Right, R.Top + kGrabberSize};
    FillRect(DC, &strip, brush.Get());
    RECT glyph = Vertical ? RECT{R.Left + 1, R.Top + 1, R.Left + 12, R.Top + 12}
                          : RECT{R.Right - 15, R.Top + 1, R.Right - 2, R.Top + 12};
    if (Vertical) {
        // Read bottom to top, its baseline near the strip's right edge.
        FontHandle rotated(CreateRotatedFont(FFont.get(), 90));
        SelectGuard font(DC, rotated.Get());
        const UINT align = SetTextAlign(DC, TA_BASELINE);
        SetTextColor(DC, RzRGBOf(clCaptionText));
        RECT clip{strip.left, glyph.bottom, strip.right, strip.bottom};
        ExtTextOutW(DC, strip.right - 2, strip.bottom - 3, ETO_CLIPPED, &clip, caption.c_str(), UINT(caption.size()),
                    nullptr);
        SetTextAlign(DC, align);
    } else {
        SetTextColor(DC, RzRGBOf(text));
        DrawIn(DC, FFont->Handle(), caption, RECT{R.Left + 2, R.Top, glyph.left, strip.bottom}, DT_LEFT | DT_TOP);
    }
    SetTextColor(DC, RzRGBOf(text));
    DrawIn(DC, FCloseFont->Handle(), L"r", glyph, DT_CENTER | DT_VCENTER);
}
