// JPEG picture class: keeps the JPEG file as it was read and decodes it
// (through libjpeg) into a 24-bit bitmap on first use.
#pragma once

#include <cstdint>
#include <vector>

#include "Graphics.h"

// Undecodable JPEG data; the message is libjpeg's.
class EJPEG : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    static constexpr const char StaticClassName[] = "TJPEGImage";
    const char* ClassName() const override { return StaticClassName; }

    // From another TJPEGImage: the same JPEG data.
    void Assign(TPersistent* Source) override;
    // Same size: BitBlt; otherwise StretchBlt with HALFTONE.
    void Draw(TCanvas* ACanvas, const TRect& R) override;
    bool Empty() const override { return FData.empty(); }
    // Size from the JPEG header, known as soon as the data is loaded.
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // A JPEG keeps its size: raises EInvalidGraphicOperation.
    void SetWidth(int v) override;
    void SetHeight(int v) override;

    // The rest of the stream is the JPEG file. Its header is checked at once
    // (EJPEG on failure, picture unchanged); the pixels are decoded on first use.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    // Form data: uint32 little-endian size, then the JPEG file.
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;
    TGraphic* NewInstance() const override { return new TJPEGImage; }

    void LoadFromBytes(const uint8_t* Data, size_t Size);
    const std::vector<uint8_t>& Data() const { return FData; }
    // Decodes now if not yet done; raises EJPEG for bad data.
    void DIBNeeded();
    // The decoded 24-bit picture (owned; nullptr while empty).
    TBitmap* Bitmap();

protected:
    // To a TBitmap: the decoded picture.
    void AssignTo(TPersistent* Dest) override;

private:
    void FreeBitmap();
    std::vector<uint8_t> FData;
    int FWidth = 0, FHeight = 0;
    TBitmap* FBitmap = nullptr;
};

// The class library's start-up step "Jpeg": TJPEGImage known by the
// extensions "jpg" and "jpeg" and by class name; the shut-down forgets it.
void JpegStartup();
void JpegShutdown();
