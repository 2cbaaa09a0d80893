// TRzBackground: a windowless control that fills its area with a tiled
// texture, a two-colour gradient and an image, and an optional frame.
//
// On an MDI form (FormStyle fsMDIForm) it fills the form's MDI client
// window instead, aligned to the client: it takes over the client's window
// procedure and paints the layers when the client erases its background.
// The procedure is given back exactly when the background goes, is moved to
// another parent or the client window goes; when someone else subclassed the
// client on top of it in the meantime, it stays in the chain as a
// pass-through. One background per client: a second one leaves it alone.
#pragma once

#include "Controls.h"
#include "Graphics.h"
#include "RzCommon.h"
#include "RzGrafx.h"

enum TImageStyle { isCenter, isClip, isFill, isStretch, isTiled };

class TRzCustomBackground : public TGraphicControl {
public:
    explicit TRzCustomBackground(TComponent* AOwner);
    ~TRzCustomBackground() override;
    const char* ClassName() const override { return "TRzCustomBackground"; }
    void Loaded() override;

    bool Active() const { return FActive; }
    virtual void SetActive(bool v);
    void SetAlign(TAlign v) override;
    TColor FrameColor() const { return FFrameColor; }
    virtual void SetFrameColor(TColor v);
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    virtual void SetFrameStyle(TFrameStyle v);
    TColor GradientColorStart() const { return FGradientColorStart; }
    virtual void SetGradientColorStart(TColor v);
    TColor GradientColorStop() const { return FGradientColorStop; }
    virtual void SetGradientColorStop(TColor v);
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    virtual void SetGradientDirection(TGradientDirection v);
    TSmoothFactor GradientSmoothFactor() const { return FGradientSmoothFactor; }
    virtual void SetGradientSmoothFactor(TSmoothFactor v);
    TPicture* Image() const { return FImage; }
    virtual void SetImage(TPicture* v);
    TImageStyle ImageStyle() const { return FImageStyle; }
    virtual void SetImageStyle(TImageStyle v);
    bool ShowGradient() const { return FShowGradient; }
    virtual void SetShowGradient(bool v);
    bool ShowImage() const { return FShowImage; }
    virtual void SetShowImage(bool v);
    bool ShowTexture() const { return FShowTexture; }
    virtual void SetShowTexture(bool v);
    TPicture* Texture() const { return FTexture; }
    virtual void SetTexture(TPicture* v);
    void SetVisible(bool v) override;
    void SetParent(TWinControl* AParent) override;
    // On an MDI form: the client window it paints, once it has taken it over.
    HWND MDIClient() const { return FMDIClient; }

protected:
    void WndProc(TMessage& Message) override;
    void Paint() override;
    virtual void RefreshBackground();
    virtual void PaintGradientLayer(TCanvas* Canvas);
    virtual void PaintImageLayer(TCanvas* Canvas, TPicture* Picture);
    virtual void PaintTextureLayer(TCanvas* Canvas, TPicture* Picture);

private:
    void ImageChanged(TObject*);
    void TextureChanged(TObject*);
    // The layers on an off-screen bitmap copied to the canvas at the frame's
    // inset (Inset: the copy is that much narrower and lower), then the frame.
    void PaintLayersTo(TCanvas* Canvas, bool Inset);
    void HookClient();
    void UnhookClient();
    static LRESULT CALLBACK ClientProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    // The client's message as the background answers it; false: the
    // client's own procedure answers.
    bool ClientMessage(UINT Msg, WPARAM WParam, LRESULT& Result);
    bool FMDIMode = false;
    HWND FMDIClient = nullptr;

    bool FActive = true;
    TColor FFrameColor = clBtnShadow;
    TFrameStyle FFrameStyle = fsNone;
    TColor FGradientColorStart = clHotLight, FGradientColorStop = clActiveCaption;
    uint32_t FStartRGB = 0, FStopRGB = 0;  // resolved, what writes compare with
    TGradientDirection FGradientDirection = gdHorizontalEnd;
    TSmoothFactor FGradientSmoothFactor = 1;
    TPicture* FImage;
    TImageStyle FImageStyle = isCenter;
    bool FShowGradient = true, FShowImage = false, FShowTexture = false;
    TPicture* FTexture;
};

class TRzBackground : public TRzCustomBackground {
public:
    using TRzCustomBackground::TRzCustomBackground;
    const char* ClassName() const override { return "TRzBackground"; }
};

void RegisterRzBackground();
