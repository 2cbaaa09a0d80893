#include "ExtControls.h"

#include <algorithm>
#include <map>

#include "Graphics.h"
#include "Guards.h"
#include "WinText.h"

// ======================================================================
// TTimer: one hidden message window serves every timer.

struct TimerWindow {
    HWND Wnd = nullptr;
    std::map<UINT_PTR, TTimer*> Timers;
    UINT_PTR NextId = 1;

    static TimerWindow& Get() {
        static TimerWindow w;
        return w;
    }

    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_TIMER) {
            auto& tw = Get();
            auto it = tw.Timers.find(wp);
            if (it != tw.Timers.end()) {
                try {
                    it->second->Timer();
                } catch (const std::exception& e) {
                    HandleControlException(it->second, e);
                } catch (...) {
                    HandleControlException(nullptr, Exception("Unknown exception"));
                }
            }
            return 0;
        }
        return DefWindowProcW(h, msg, wp, lp);
    }

    HWND Handle() {
        if (Wnd && IsWindow(Wnd)) return Wnd;
        static bool registered = false;
        HINSTANCE inst = GetModuleHandleW(nullptr);
        if (!registered) {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = &Proc;
            wc.hInstance = inst;
            wc.lpszClassName = L"TTimerWindow";
            RegisterClassExW(&wc);
            registered = true;
        }
        Wnd = CreateWindowExW(0, L"TTimerWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
        return Wnd;
    }
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    auto& tw = TimerWindow::Get();
    FId = tw.NextId++;
    tw.Timers[FId] = this;
    UpdateTimer();
}

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
    TimerWindow::Get().Timers.erase(FId);
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::Timer() {
    if (FEnabled && OnTimer) OnTimer(this);
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    auto& tw = TimerWindow::Get();
    if (FRunning) {
        KillTimer(tw.Wnd, FId);
        FRunning = false;
    }
    if (FEnabled && FInterval > 0 && !(ComponentState() & (csLoading | csDestroying))) {
        if (!SetTimer(tw.Handle(), FId, FInterval, nullptr)) throw Exception("Not enough timers available");
        FRunning = true;
    }
}

// ======================================================================
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(new TPicture()) {
    FPicture->OnChange = TNotifyEvent::Of<&TImage::PictureChanged>(this);
    FWidth = 105;
    FHeight = 105;
}

TImage::~TImage() {
    FPicture->OnChange = nullptr;
}

void TImage::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

void TImage::SetStretch(bool Value) {
    if (FStretch == Value) return;
    FStretch = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    if (FProportional == Value) return;
    FProportional = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value) {
    if (FCenter == Value) return;
    FCenter = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    if (FPicture->Graphic()) FPicture->Graphic()->SetTransparent(Value);
    Invalidate();
}

void TImage::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    if (Value) AdjustSize();
}

void TImage::AdjustSize() {
    if (!FAutoSize || IsLoading()) return;
    TGraphic* g = FPicture->Graphic();
    if (g && !g->Empty()) SetBounds(FLeft, FTop, g->Width(), g->Height());
}

void TImage::PictureChanged(TObject*) {
    TGraphic* g = FPicture->Graphic();
    if (g && FTransparent != g->Transparent() && !IsLoading()) g->SetTransparent(FTransparent);
    AdjustSize();
    Invalidate();
}

TRect TImage::DestRect() const {
    int w = FPicture->Width(), h = FPicture->Height();
    int cw = FWidth, ch = FHeight;
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            double aspect = double(w) / double(h);
            if (w > h) {
                w = cw;
                h = int(cw / aspect);
                if (h > ch) {
                    h = ch;
                    w = int(ch * aspect);
                }
            } else {
                h = ch;
                w = int(ch * aspect);
                if (w > cw) {
                    w = cw;
                    h = int(cw / aspect);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r = Rect(0, 0, w, h);
    if (FCenter) {
        int dx = (cw - w) / 2, dy = (ch - h) / 2;
        r = Rect(dx, dy, dx + w, dy + h);
    }
    return r;
}

void TImage::Paint() {
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty()) return;
    Canvas()->StretchDraw(DestRect(), g);
}

// ======================================================================
// TShape

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner), FBrush(new TBrush()), FPen(new TPen()) {
    FWidth = 65;
    FHeight = 65;
    FBrush->OnChange = TNotifyEvent::Of<&TShape::StyleChanged>(this);
    FPen->OnChange = TNotifyEvent::Of<&TShape::StyleChanged>(this);
}

TShape::~TShape() {
}

void TShape::SetShape(TShapeType Value) {
    if (FShape == Value) return;
    FShape = Value;
    Invalidate();
}

void TShape::SetBrush(TBrush* Value) { FBrush->Assign(Value); }
void TShape::SetPen(TPen* Value) { FPen->Assign(Value); }
void TShape::StyleChanged(TObject*) { Invalidate(); }

void TShape::Paint() {
    TCanvas* c = Canvas();
    c->SetPen(FPen.get());
    c->SetBrush(FBrush.get());
    int pw = FPen->Style() == psClear ? 0 : FPen->Width();
    int x = pw / 2, y = pw / 2;
    int w = FWidth - pw + 1, h = FHeight - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    int s = std::min(w, h);
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: c->RoundRect(x, y, x + w, y + h, s / 4, s / 4); break;
    case stEllipse:
    case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}

// ======================================================================
// TLabel

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FWidth = 65;
    FHeight = 17;
    FAutoSize = true;
    FColor = clBtnFace;
    FControlStyle |= csOpaque | csReplicatable;
}

void TLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TLabel::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    if (Value)
        FControlStyle &= ~csOpaque;
    else
        FControlStyle |= csOpaque;
    Invalidate();
}

void TLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && static_cast<TComponent*>(FFocusControl) == AComponent) FFocusControl = nullptr;
}

void TLabel::DoDrawText(TRect& R, UINT Flags) {
    AnsiString text = GetLabelText();
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
    if (!FShowAccelChar) Flags |= DT_NOPREFIX;
    HDC dc = Canvas()->Handle();
    SavedDC saved(dc);
    SelectObject(dc, FFont->Handle());
    SetBkMode(dc, TRANSPARENT);
    std::wstring w = ToWide(text);
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    if (Flags & DT_CALCRECT) {
        DrawTextW(dc, w.c_str(), int(w.size()), &r, Flags);
        R = Rect(r.left, r.top, r.right, r.bottom);
    } else if (!FEnabled) {
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, ColorToRGB(clBtnHighlight));
        DrawTextW(dc, w.c_str(), int(w.size()), &r, Flags);
        OffsetRect(&r, -1, -1);
        SetTextColor(dc, ColorToRGB(clBtnShadow));
        DrawTextW(dc, w.c_str(), int(w.size()), &r, Flags);
    } else {
        SetTextColor(dc, ColorToRGB(FFont->Color()));
        DrawTextW(dc, w.c_str(), int(w.size()), &r, Flags);
    }
}

void TLabel::Paint() {
    static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    TCanvas* c = Canvas();
    if (!FTransparent) {
        c->Brush()->SetColor(FColor);
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(ClientRect());
    }
    TRect r = ClientRect();
    UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | align[FAlignment];
    if (FLayout != tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int dy = r.Height() - calc.Height();
        if (FLayout == tlCenter) dy /= 2;
        r.Top += dy;
        r.Bottom += dy;
    }
    DoDrawText(r, flags);
}

void TLabel::AdjustBounds() {
    if (!FAutoSize || (ComponentState() & (csLoading | csReading))) return;
    static const UINT wraps[] = {0, DT_WORDBREAK};
    HDC dc = GetDC(nullptr);
    TRect r = ClientRect();
    {
        TCanvasDCScope scope(Canvas(), dc, nullptr);
        DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | wraps[FWordWrap]);
    }
    int x = FLeft;
    if (FAlignment == taRightJustify) x += FWidth - r.Right;
    SetBounds(x, FTop, r.Right, r.Bottom);
}

void TLabel::CMTextChanged(TMessage& m) {
    Invalidate();
    AdjustBounds();
}

void TLabel::CMFontChanged(TMessage& m) {
    TGraphicControl::CMFontChanged(m);
    AdjustBounds();
}
