// Glow effects: a soft halo around a control drawn outside its window, in a
// borderless, topmost, click-through layered window that is never activated.
// The picture is a skin image painted by margins into a 32-bit bitmap and
// handed to the platform premultiplied. Callers keep the index they get and
// stop the glow with it; a stopped glow leaves nil, so indexes stay valid.
#pragma once

#include <vector>

#include "Forms.h"
#include "Graphics.h"

class TsSkinManager;

class TacGlowEffect : public TObject {
public:
    TacGlowEffect(TsSkinManager* Manager, int ImageIndex, int Margin);
    ~TacGlowEffect() override;
    const char* ClassName() const override { return "TacGlowEffect"; }
    // Shows the glow for a control at R1 on the screen with R2 of it visible;
    // false (no window) when the crop leaves nothing.
    bool Show(const TRect& R1, const TRect& R2);
    TForm* Window() const { return FWindow; }

private:
    void GlowWndProc(TMessage& Message);
    TForm* FWindow = nullptr;
    TWndMethod FOldWndProc;
    TsSkinManager* FManager;
    int FImageIndex;
    int FMargin;
    TBitmap* FPicture = nullptr;
};

// The glows on screen, by index.
extern std::vector<TacGlowEffect*> GlowList;
// -1 without layered windows, without the image (Section, ImageName + "0",
// exact look-up) or when the crop leaves no window; else the new glow's index.
int StartGlowEffect(const TRect& R1, const TRect& R2, const AnsiString& Section, TsSkinManager* Manager, int Margin,
                    const AnsiString& ImageName);
void StopGlowEffect(int Index);
void StopAllGlowEffects();
// Unit start-up (the blend function) and shut-down (every glow stopped).
void acGlowInitialize();
void acGlowFinalize();
