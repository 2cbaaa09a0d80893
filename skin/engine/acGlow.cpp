#include "acGlow.h"

#include <memory>

#include "Guards.h"
#include "acMaskBlend.h"
#include "acSkinGeometry.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

std::vector<TacGlowEffect*> GlowList;

namespace {
BLENDFUNCTION GlowBlend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
}  // namespace

TacGlowEffect::TacGlowEffect(TsSkinManager* Manager, int ImageIndex, int Margin)
    : FManager(Manager), FImageIndex(ImageIndex), FMargin(Margin) {}

TacGlowEffect::~TacGlowEffect() {
    if (FWindow) {
        if (FWindow->HandleAllocated()) ShowWindow(FWindow->HandleIfAllocated(), SW_HIDE);
        delete FWindow;
    }
    delete FPicture;
}

void TacGlowEffect::GlowWndProc(TMessage& Message) {
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    FOldWndProc(Message);
}

bool TacGlowEffect::Show(const TRect& R1, const TRect& R2) {
    if (FWindow || !FManager || !FManager->IsValidMaskIndex(FImageIndex) || !UpdateLayeredWindowEntry) return false;
    const TsMaskData& img = FManager->ma()[size_t(FImageIndex)];
    const TacGlowGeometry g =
        GlowGeometry(R1, R2, FManager->MaskMarginLeft(FImageIndex), FManager->MaskMarginTop(FImageIndex),
                     FManager->MaskMarginRight(FImageIndex), FManager->MaskMarginBottom(FImageIndex), FMargin);
    if (!g.Shown() || g.PictureWidth <= 0 || g.PictureHeight <= 0) return false;
    std::unique_ptr<TBitmap> pic(CreateBitmap32(g.PictureWidth, g.PictureHeight));
    FillRectOnDC(pic->Canvas()->Handle(), Rect(0, 0, g.PictureWidth, g.PictureHeight), clBlack);
    PaintImageByMargins(pic.get(), Rect(0, 0, g.PictureWidth, g.PictureHeight), false, EmptyCacheInfo, img, 0, false);
    if (g.CropLeft != 0 || g.CropTop != 0 || g.Width != g.PictureWidth || g.Height != g.PictureHeight) {
        std::unique_ptr<TBitmap> part(CreateBitmap32(g.Width, g.Height));
        const TacImage src = ImageOf(pic.get()), dst = ImageOf(part.get());
        CopyBlockView(dst, 0, 0, src, g.CropLeft, g.CropTop, g.Width, g.Height);
        pic = std::move(part);
    }
    // The platform takes premultiplied colour; the painters leave straight alpha.
    PremultiplyAlphaView(ImageOf(pic.get()).View);
    FPicture = pic.release();

    FWindow = new TForm(nullptr);
    FOldWndProc = FWindow->WindowProc;
    FWindow->WindowProc = TWndMethod::Of<&TacGlowEffect::GlowWndProc>(this);
    FWindow->SetControlStyle(FWindow->ControlStyle() & ~csCaptureMouse);
    FWindow->SetBorderStyle(bsNone);
    HWND h = FWindow->Handle();
    SetWindowPos(h, HWND_TOPMOST, g.X, g.Y, g.Width, g.Height, SWP_NOACTIVATE);
    SetWindowLongPtrW(h, GWL_EXSTYLE, GetWindowLongPtrW(h, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TRANSPARENT |
                                          WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    WindowDC screen(nullptr);
    POINT dst{g.X, g.Y}, origin{0, 0};
    SIZE size{g.Width, g.Height};
    UpdateLayeredWindowEntry(h, screen.Get(), &dst, &size, FPicture->Canvas()->Handle(), &origin, 0, &GlowBlend,
                             ULW_ALPHA);
    ShowWindow(h, SW_SHOWNOACTIVATE);
    delete FPicture;
    FPicture = nullptr;
    return true;
}

int StartGlowEffect(const TRect& R1, const TRect& R2, const AnsiString& Section, TsSkinManager* Manager, int Margin,
                    const AnsiString& ImageName) {
    if (!LayeredWindowsAvailable()) return -1;
    TsSkinManager* m = Manager ? Manager : DefaultSkinManager;
    if (!m) return -1;
    const int i = m->MaskIndex(Section, ImageName + "0");
    if (!m->IsValidMaskIndex(i)) return -1;
    auto glow = std::make_unique<TacGlowEffect>(m, i, Margin);
    if (!glow->Show(R1, R2)) return -1;
    GlowList.push_back(glow.release());
    return int(GlowList.size()) - 1;
}

void StopGlowEffect(int Index) {
    if (Index < 0 || Index >= int(GlowList.size()) || !GlowList[size_t(Index)]) return;
    delete GlowList[size_t(Index)];
    GlowList[size_t(Index)] = nullptr;
}

void StopAllGlowEffects() {
    for (TacGlowEffect*& g : GlowList) {
        delete g;
        g = nullptr;
    }
    GlowList.clear();
}

void acGlowInitialize() { GlowBlend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}; }
void acGlowFinalize() { StopAllGlowEffects(); }
