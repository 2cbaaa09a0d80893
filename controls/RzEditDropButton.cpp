// The edit cell's drop button: a strip of the non-client area beside the
// text, on the right (left in right-to-left alignment), that takes the mouse
// as client area and drops the descendant's list on a press, Alt+Down or F4.
#include "RzEdit.h"

#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>

#include "Guards.h"
#include "RzCanvasDC.h"

int TRzCustomEdit::DropButtonWidth() const {
    return GetSystemMetrics(SM_CXVSCROLL) - (RzVisualStylesOn() ? 1 : 0);
}

TRect TRzCustomEdit::DropButtonRect() {
    if (!FDropButtonVisible || !HandleAllocated()) return TRect{};
    RECT wr, cr;
    GetWindowRect(FHandle, &wr);
    GetClientRect(FHandle, &cr);
    POINT origin{0, 0};
    ::ClientToScreen(FHandle, &origin);
    int left = origin.x - wr.left, top = origin.y - wr.top, w = DropButtonWidth();
    if (UseRightToLeftAlignment()) return TRect{left - w, top, left, top + cr.bottom};
    return TRect{left + cr.right, top, left + cr.right + w, top + cr.bottom};
}

void TRzCustomEdit::RedrawNonClient() {
    if (HandleAllocated()) SendMessageW(FHandle, WM_NCPAINT, 1, 0);
}

void TRzCustomEdit::SetDropButtonVisible(bool v) {
    if (v == FDropButtonVisible) return;
    FDropButtonVisible = v;
    FOverDropButton = false;
    // The client area is measured again with or without the strip.
    if (HandleAllocated())
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TRzCustomEdit::SetFlatButtons(bool v) { ChangeDropButton(FFlatButtons, v); }
void TRzCustomEdit::SetFlatButtonColor(TColor v) { ChangeDropButton(FFlatButtonColor, v); }
void TRzCustomEdit::SetButtonState(TButtonState v) { ChangeDropButton(FButtonState, v); }

void TRzCustomEdit::SetOverDropButton(bool v) {
    if (v == FOverDropButton) return;
    FOverDropButton = v;
    RedrawNonClient();
}

void TRzCustomEdit::DropDown() {
    FDroppedDown = true;
    if (OnDropDown) OnDropDown(this);
}

void TRzCustomEdit::CloseUp() {
    FDroppedDown = false;
    if (OnCloseUp) OnCloseUp(this);
}

void TRzCustomEdit::DropDownByButton(bool Capture) {
    if (!Focused() && CanFocus()) SetFocus();
    if (Capture) {
        SetMouseCapture(true);
        FButtonCapture = true;
    }
    SetButtonState(bsDown);
    // The state comes back up whatever a handler does.
    ScopeExit up([this] { SetButtonState(bsUp); });
    DropDown();
    CloseUp();
}

void TRzCustomEdit::EndDropButtonCapture() {
    if (FButtonCapture) {
        FButtonCapture = false;
        SetMouseCapture(false);
    }
    SetButtonState(bsUp);
}

void TRzCustomEdit::DropButtonHitTest(TMessage& m) {
    TCustomMaskEdit::WndProc(m);
    bool over = false;
    if (m.Result == HTNOWHERE) {
        RECT wr;
        GetWindowRect(FHandle, &wr);
        TPoint p = Point(GET_X_LPARAM(m.LParam) - wr.left, GET_Y_LPARAM(m.LParam) - wr.top);
        TRect b = DropButtonRect();
        over = p.X >= b.Left && p.X < b.Right && p.Y >= b.Top && p.Y < b.Bottom;
        // The strip takes the mouse as client area: presses come to the control.
        if (over) m.Result = HTCLIENT;
    }
    SetOverDropButton(over);
}

// Answers true when the message was the drop button's and is handled.
bool TRzCustomEdit::DropButtonMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_NCCALCSIZE: {
        TCustomMaskEdit::WndProc(m);
        // Either form of the message starts with the rectangle to shrink.
        RECT* r = reinterpret_cast<RECT*>(m.LParam);
        int w = std::clamp(int(r->right - r->left), 0, DropButtonWidth());
        if (UseRightToLeftAlignment()) r->left += w;
        else r->right -= w;
        return true;
    }
    case WM_NCHITTEST: DropButtonHitTest(m); return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!FOverDropButton || !Enabled()) return false;
        DropDownByButton(true);
        return true;
    case WM_LBUTTONUP:
        if (!FButtonCapture) return false;
        EndDropButtonCapture();
        return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: return FOverDropButton;
    case WM_SETCURSOR:
        if (!FOverDropButton || LOWORD(m.LParam) != HTCLIENT) return false;
        ::SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // the arrow, not the text beam
        m.Result = TRUE;
        return true;
    case WM_KILLFOCUS:
        TCustomMaskEdit::WndProc(m);
        EndDropButtonCapture();
        return true;
    case WM_CAPTURECHANGED:
        if (FButtonCapture && reinterpret_cast<HWND>(m.LParam) != FHandle) {
            FButtonCapture = false;
            SetButtonState(bsUp);
        }
        return false;
    case CM_MOUSELEAVE:
        SetOverDropButton(false);
        return false;
    default: return false;
    }
}

void TRzCustomEdit::KeyDown(Word& Key, TShiftState Shift) {
    TCustomMaskEdit::KeyDown(Key, Shift);
    bool alt = Shift & ShiftBit(ssAlt);
    if (FDropButtonVisible && ((Key == VK_DOWN && alt) || (Key == VK_F4 && !alt))) {
        DropDownByButton(false);
        Key = 0;
    }
}

void TRzCustomEdit::PaintDropButton(const TRect& R) {
    TCanvas* cv = FCanvas.get();
    HDC dc = RzCanvasDC(cv);
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    const bool down = FButtonState == bsDown, enabled = Enabled();
    if (RzVisualStylesOn()) {
        if (HTHEME theme = OpenThemeData(FHandle, L"COMBOBOX")) {
            int state = !enabled ? CBXS_DISABLED : down ? CBXS_PRESSED : FOverDropButton ? CBXS_HOT : CBXS_NORMAL;
            DrawThemeBackground(theme, dc, CP_DROPDOWNBUTTON, state, &r, nullptr);
            CloseThemeData(theme);
            return;
        }
    }
    if (!FFlatButtons) {
        UINT state = DFCS_SCROLLCOMBOBOX | (down ? DFCS_PUSHED | DFCS_FLAT : 0) | (enabled ? 0 : DFCS_INACTIVE);
        DrawFrameControl(dc, &r, DFC_SCROLL, state);
        return;
    }
    const bool hot = down || FOverDropButton || FMouseOver || FHasFocus;
    TColor face = !hot ? Color() : FFlatButtonColor;
    TRect inner = R;
    if (hot && FFlatButtonColor == clBtnFace)
        inner = PaintBevel(cv, R, down ? clBtnShadow : clBtnHighlight, sdAllSides, 1, down ? clBtnHighlight : clBtnShadow);
    else if (hot)
        inner = PaintColorButtonBorder(cv, R, FFlatButtonColor, down);
    {
        BrushHandle brush(CreateSolidBrush(RzRGBOf(face)));
        RECT f{inner.Left, inner.Top, inner.Right, inner.Bottom};
        FillRect(dc, &f, brush.Get());
    }
    cv->Brush()->SetColor(face);
    PaintDropDownArrow(cv, inner, 0, enabled, down);
}
