// The alpha picture class: a bitmap that draws its 32-bit pixels with their
// straight per-pixel alpha over what the target canvas already shows, and
// that loads PNG files. Form data store it the way TBitmap stores itself.
#pragma once

#include "ColorManager.h"
#include "Graphics.h"
#include "PNGReader.h"

class TPNGGraphic : public TBitmap {
public:
    TPNGGraphic();
    ~TPNGGraphic() override;
    static constexpr const char StaticClassName[] = "TPNGGraphic";
    const char* ClassName() const override { return StaticClassName; }

    // Copies a TPNGGraphic's header properties, then whatever TBitmap copies.
    void Assign(TPersistent* Source) override;
    // 32-bit pictures are blended over the canvas, same size or stretched with
    // HALFTONE (colour and alpha alike); any other format draws as TBitmap.
    // A rectangle 0 or less wide or high draws nothing.
    void Draw(TCanvas* ACanvas, const TRect& R) override;
    TGraphic* NewInstance() const override { return new TPNGGraphic; }
    // Reads a PNG file from the stream's position; on success the stream
    // stands just after its end chunk. Progress goes to OnProgress.
    void LoadFromStream(TStream* Stream) override;
    // Checks the signature and the header and fills ImageProperties; false
    // for anything that is no PNG header. The stream is left where the check
    // stopped.
    bool ReadImageProperties(TStream* Stream);

    // Icon from the picture. With KeyOut (or when the picture is not 32-bit)
    // every pixel not of the top-left pixel's colour is made opaque first.
    // The caller owns the icon; 0 on failure.
    HICON MakeIcon(bool KeyOut);

    TColorManager* ColorManager() const { return FColorManager; }
    // What the last PNG header said.
    TPNGImageProperties ImageProperties;

private:
    friend class TPNGGraphicTarget;  // reports the load's progress
    TColorManager* FColorManager;
};

// Turns every pure white pixel (any alpha) of a 32-bit bitmap into black with
// alpha 0. Bitmaps of other formats, or too small to bind, are left alone.
void ClearWhitePixels32(TBitmap* Bitmap);

// Unit start-up and shut-down: registration for the extension "png" and by
// class name. Each runs once.
void acPNGInitialize();
void acPNGFinalize();
