#include "RzBckgnd.h"

#include <cmath>

#include "Forms.h"
#include "RzRegister.h"

namespace {
// On the MDI client window: the background that paints it, and the
// procedure ours replaced (kept while ours is in the chain, owner or not).
const wchar_t kOwnerProp[] = L"TuvreliMDIBackground";
const wchar_t kPrevProcProp[] = L"TuvreliMDIBackgroundPrev";
}  // namespace

TRzCustomBackground::TRzCustomBackground(TComponent* AOwner) : TGraphicControl(AOwner) {
    FWidth = 200;
    FHeight = 100;
    FStartRGB = RzRGBOf(FGradientColorStart);
    FStopRGB = RzRGBOf(FGradientColorStop);
    FImage = new TPicture;
    FTexture = new TPicture;
    FImage->OnChange = TNotifyEvent::Of<&TRzCustomBackground::ImageChanged>(this);
    FTexture->OnChange = TNotifyEvent::Of<&TRzCustomBackground::TextureChanged>(this);
}

TRzCustomBackground::~TRzCustomBackground() {
    UnhookClient();
    delete FImage;
    delete FTexture;
}

void TRzCustomBackground::Loaded() {
    TGraphicControl::Loaded();
    if (FMDIMode && !(ComponentState() & csDesigning)) HookClient();
    RefreshBackground();
}

void TRzCustomBackground::SetParent(TWinControl* AParent) {
    if (AParent != Parent()) UnhookClient();
    TGraphicControl::SetParent(AParent);
    auto* form = dynamic_cast<TForm*>(AParent);
    FMDIMode = form && form->FormStyle() == fsMDIForm;
    if (!FMDIMode) return;
    SetAlign(alClient);
    if (!IsLoading() && !(ComponentState() & csDesigning)) HookClient();
}

void TRzCustomBackground::WndProc(TMessage& m) {
    if (m.Msg == CM_MDICLIENTCHANGED) {
        // The form made its client window (again): that is the one to paint.
        if (FMDIMode && !(ComponentState() & csDesigning)) HookClient();
        return;
    }
    TGraphicControl::WndProc(m);
}

void TRzCustomBackground::HookClient() {
    auto* form = dynamic_cast<TForm*>(Parent());
    HWND client = form ? form->ClientHandle() : nullptr;
    if (client == FMDIClient) return;
    UnhookClient();
    if (!client || GetPropW(client, kOwnerProp)) return;
    if (!GetPropW(client, kPrevProcProp)) {
        LONG_PTR prev = GetWindowLongPtrW(client, GWLP_WNDPROC);
        SetPropW(client, kPrevProcProp, reinterpret_cast<HANDLE>(prev));
        SetWindowLongPtrW(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TRzCustomBackground::ClientProc));
    }
    // else our procedure is still in the chain as a pass-through, under a
    // later subclass: it takes up the painting again.
    SetPropW(client, kOwnerProp, this);
    FMDIClient = client;
    InvalidateRect(client, nullptr, TRUE);
}

void TRzCustomBackground::UnhookClient() {
    HWND client = FMDIClient;
    FMDIClient = nullptr;
    if (!client || !IsWindow(client)) return;
    if (GetPropW(client, kOwnerProp) == this) RemovePropW(client, kOwnerProp);
    if (GetWindowLongPtrW(client, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TRzCustomBackground::ClientProc)) {
        SetWindowLongPtrW(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropW(client, kPrevProcProp)));
        RemovePropW(client, kPrevProcProp);
    }
    InvalidateRect(client, nullptr, TRUE);
}

LRESULT CALLBACK TRzCustomBackground::ClientProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto prev = reinterpret_cast<WNDPROC>(GetPropW(Wnd, kPrevProcProp));
    auto* owner = static_cast<TRzCustomBackground*>(GetPropW(Wnd, kOwnerProp));
    if (Msg == WM_NCDESTROY) {
        // The window goes: its procedure back, the properties off, the owner told.
        RemovePropW(Wnd, kOwnerProp);
        RemovePropW(Wnd, kPrevProcProp);
        if (owner) owner->FMDIClient = nullptr;
        if (GetWindowLongPtrW(Wnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TRzCustomBackground::ClientProc))
            SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
    } else if (owner) {
        try {
            LRESULT result = 0;
            if (owner->ClientMessage(Msg, WParam, result)) return result;
        } catch (const std::exception& e) {
            HandleControlException(owner, e);
        } catch (...) {
            HandleControlException(owner, Exception("Unknown exception"));
        }
    }
    return prev ? CallWindowProcW(prev, Wnd, Msg, WParam, LParam) : DefWindowProcW(Wnd, Msg, WParam, LParam);
}

bool TRzCustomBackground::ClientMessage(UINT Msg, WPARAM WParam, LRESULT& Result) {
    if (!Visible()) return false;
    switch (Msg) {
    case WM_PAINT:
    case WM_WINDOWPOSCHANGED: {
        // The gradient spans the whole area: any change paints all of it.
        RECT r{0, 0, Width(), Height()};
        InvalidateRect(FMDIClient, &r, TRUE);
        return false;
    }
    case WM_ERASEBKGND: {
        TCanvas canvas;
        TCanvasDCScope scope(&canvas, reinterpret_cast<HDC>(WParam));
        PaintLayersTo(&canvas, true);
        Result = 1;
        return true;
    }
    default:
        return false;
    }
}

void TRzCustomBackground::ImageChanged(TObject*) {
    if (FShowImage) RefreshBackground();
}
void TRzCustomBackground::TextureChanged(TObject*) {
    if (FShowTexture) RefreshBackground();
}

void TRzCustomBackground::RefreshBackground() {
    if (IsLoading()) return;
    if (FMDIClient) {
        RECT r;
        GetClientRect(FMDIClient, &r);
        InvalidateRect(FMDIClient, &r, TRUE);
        return;
    }
    Invalidate();
}

#define RZ_BG_SETTER(Name, Type, Field)         \
    void TRzCustomBackground::Set##Name(Type v) { \
        if (v == Field) return;                   \
        Field = v;                                \
        RefreshBackground();                      \
    }
RZ_BG_SETTER(Active, bool, FActive)
RZ_BG_SETTER(FrameColor, TColor, FFrameColor)
RZ_BG_SETTER(FrameStyle, TFrameStyle, FFrameStyle)
RZ_BG_SETTER(GradientDirection, TGradientDirection, FGradientDirection)
RZ_BG_SETTER(GradientSmoothFactor, TSmoothFactor, FGradientSmoothFactor)
RZ_BG_SETTER(ShowImage, bool, FShowImage)

void TRzCustomBackground::SetAlign(TAlign v) {
    if (FMDIMode) v = alClient;  // it fills the MDI client, whatever is asked
    if (v == Align()) return;
    TGraphicControl::SetAlign(v);
    RefreshBackground();
}

void TRzCustomBackground::SetGradientColorStart(TColor v) {
    if (RzRGBOf(v) == FStartRGB && v == FGradientColorStart) return;
    FGradientColorStart = v;
    FStartRGB = RzRGBOf(v);
    RefreshBackground();
}

void TRzCustomBackground::SetGradientColorStop(TColor v) {
    if (RzRGBOf(v) == FStopRGB && v == FGradientColorStop) return;
    FGradientColorStop = v;
    FStopRGB = RzRGBOf(v);
    RefreshBackground();
}

void TRzCustomBackground::SetImage(TPicture* v) { FImage->Assign(v); }
void TRzCustomBackground::SetTexture(TPicture* v) { FTexture->Assign(v); }

void TRzCustomBackground::SetImageStyle(TImageStyle v) {
    if (v == FImageStyle) return;
    FImageStyle = v;
    if (FShowImage) RefreshBackground();
}

void TRzCustomBackground::SetShowTexture(bool v) {
    if (v == FShowTexture) return;
    FShowTexture = v;
    FShowGradient = !v;
    RefreshBackground();
}

void TRzCustomBackground::SetShowGradient(bool v) {
    if (v == FShowGradient) return;
    FShowGradient = v;
    if (v)
        FShowTexture = false;
    else if (!FShowImage)
        FShowTexture = true;
    RefreshBackground();
}

void TRzCustomBackground::SetVisible(bool v) {
    if (v == Visible()) return;
    TGraphicControl::SetVisible(v);
    RefreshBackground();
}

void TRzCustomBackground::Paint() {
    // On an MDI form the client window covers it: the client's erase paints.
    if (FMDIMode && !(ComponentState() & csDesigning)) return;
    // The minimum size; an aligned background is sized by its parent, and
    // resizing it here would fight the aligner for ever.
    if (Align() == alNone && (Width() < 5 || Height() < 5))
        SetBounds(Left(), Top(), Width() < 5 ? 5 : Width(), Height() < 5 ? 5 : Height());
    PaintLayersTo(Canvas(), false);
}

void TRzCustomBackground::PaintLayersTo(TCanvas* c, bool Inset) {
    int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return;
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(w, h);
    TCanvas* bc = bmp.Canvas();
    if (FShowTexture) PaintTextureLayer(bc, FTexture);
    if (FShowGradient) PaintGradientLayer(bc);
    if (FShowImage) PaintImageLayer(bc, FImage);
    int x = 2;
    if (FFrameStyle == fsNone)
        x = 0;
    else if (FFrameStyle == fsFlat || FFrameStyle == fsStatus || FFrameStyle == fsPopup)
        x = 1;
    c->SetCopyMode(cmSrcCopy);
    BitBlt(c->Handle(), x, x, Inset ? w - x : w, Inset ? h - x : h, bc->Handle(), 0, 0, SRCCOPY);
    TRect client{0, 0, w, h};
    if (FFrameStyle == fsFlat)
        PaintSides(c, client, FFrameColor, sdAllSides, FFrameColor);
    else
        PaintBorder(c, client, FFrameStyle);
}

void TRzCustomBackground::PaintGradientLayer(TCanvas* Canvas) {
    if (!FActive) return;
    if (FShowImage && (FImageStyle == isStretch || FImageStyle == isTiled)) return;
    GradientPaint(Canvas, TRect{0, 0, Width(), Height()}, FGradientDirection, FGradientSmoothFactor,
                  FGradientColorStop, FGradientColorStart);
}

void TRzCustomBackground::PaintImageLayer(TCanvas* Canvas, TPicture* Picture) {
    TGraphic* g = Picture->Graphic();
    if (!g || g->Empty()) return;
    int pw = g->Width(), ph = g->Height(), w = Width(), h = Height();
    switch (FImageStyle) {
        case isCenter: Canvas->Draw((w - pw) / 2, (h - ph) / 2, g); break;
        case isClip: Canvas->Draw(0, 0, g); break;
        case isFill: {
            if (pw == 0 || ph == 0) break;
            double r = double(ph) / pw;
            if (r <= double(h) / w)
                Canvas->StretchDraw(TRect{0, 0, w, int(std::trunc(w * r))}, g);
            else
                Canvas->StretchDraw(TRect{0, 0, int(std::trunc(h / r)), h}, g);
            break;
        }
        case isStretch: Canvas->StretchDraw(TRect{0, 0, w, h}, g); break;
        case isTiled:
            Canvas->Draw(0, 0, g);
            TileBlit(Canvas->Handle(), 0, 0, SRCCOPY, ph, pw, h, w);
            break;
    }
}

void TRzCustomBackground::PaintTextureLayer(TCanvas* Canvas, TPicture* Picture) {
    TGraphic* g = Picture->Graphic();
    if (!g || g->Empty()) return;
    if (std::string(g->ClassName()) == "TBitmap") {
        TileGraphic(Canvas, g, TRect{0, 0, Width(), Height()});
    } else {
        Canvas->Draw(0, 0, g);
        TileBlit(Canvas->Handle(), 0, 0, SRCCOPY, g->Height(), g->Width(), Height(), Width());
    }
}

void RegisterRzBackground() {
    if (FindClassInfo("TRzBackground")) return;
    static const TEnumInfo& imageStyle = RegisterEnum(
        "TImageStyle", {{"isCenter", isCenter}, {"isClip", isClip}, {"isFill", isFill}, {"isStretch", isStretch},
                        {"isTiled", isTiled}});
    auto custom = RegisterPersistentClass<TRzCustomBackground>("TRzCustomBackground",
                                                               RzBaseClass({"TGraphicControl", "TControl"}));
    RzRegisterControlBasics(custom);
    custom.Bool("Active", &TRzCustomBackground::SetActive)
        .Enum("Align", &TRzCustomBackground::SetAlign, AlignInfo())
        .Color("FrameColor", &TRzCustomBackground::SetFrameColor)
        .Enum("FrameStyle", &TRzCustomBackground::SetFrameStyle, FrameStyleInfo())
        .Color("GradientColorStart", &TRzCustomBackground::SetGradientColorStart)
        .Color("GradientColorStop", &TRzCustomBackground::SetGradientColorStop)
        .Enum("GradientDirection", &TRzCustomBackground::SetGradientDirection, GradientDirectionInfo())
        .Int("GradientSmoothFactor", &TRzCustomBackground::SetGradientSmoothFactor)
        .Object("Image", &TRzCustomBackground::Image, "TPicture")
        .Enum("ImageStyle", &TRzCustomBackground::SetImageStyle, imageStyle)
        .Bool("ShowGradient", &TRzCustomBackground::SetShowGradient)
        .Bool("ShowImage", &TRzCustomBackground::SetShowImage)
        .Bool("ShowTexture", &TRzCustomBackground::SetShowTexture)
        .Object("Texture", &TRzCustomBackground::Texture, "TPicture")
        .Bool("Visible", &TRzCustomBackground::SetVisible)
        .Ignore("About");
    RegisterComponentClass<TRzBackground>("TRzBackground", "TRzCustomBackground");
}
