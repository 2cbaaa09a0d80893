#include "acPNG.h"

#include <memory>

#include "acntUtils.h"
#include "sAlphaGraph.h"
#include "sConst.h"
#include "sGraphUtils.h"

namespace {

// The reader's byte source over a class-library stream.
class TStreamSource : public TPNGSource {
public:
    explicit TStreamSource(TStream* S) : FStream(S) {}
    void ReadBuffer(void* Buffer, size_t Count) override { FStream->ReadBuffer(Buffer, int64_t(Count)); }
    int64_t Position() override { return FStream->Position(); }
    void SetPosition(int64_t Value) override { FStream->SetPosition(Value); }
    int64_t Size() override { return FStream->Size(); }

private:
    TStream* FStream;
};

void SetColorTable(TBitmap* Bmp, const RGBQUAD* Colors, size_t Count) {
    if (Count == 0) return;
    SetDIBColorTable(Bmp->Canvas()->Handle(), 0, UINT(Count), Colors);
}

// A grey ramp for 8-bit alpha planes: index n is grey n, so alpha values
// survive a halftone stretch unscrambled.
void SetGreyRamp(TBitmap* Plane) {
    RGBQUAD ramp[256];
    for (int i = 0; i < 256; ++i) ramp[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    SetColorTable(Plane, ramp, 256);
}

void HalftoneStretch(HDC Dst, int W, int H, HDC Src, int SrcW, int SrcH) {
    SetStretchBltMode(Dst, HALFTONE);
    SetBrushOrgEx(Dst, 0, 0, nullptr);
    StretchBlt(Dst, 0, 0, W, H, Src, 0, 0, SrcW, SrcH, SRCCOPY);
}

}  // namespace

// The picture side of a load: the bitmap adopts a DIB section of the reader's
// format and size, made with the picture's colour table (so the bitmap's own
// copy of the table is the file's palette), and the reader writes straight
// into its rows.
class TPNGGraphicTarget : public TPNGTarget {
public:
    explicit TPNGGraphicTarget(TPNGGraphic* B) : FBitmap(B) {}
    TPixelView Allocate(const TPNGLayout& L) override {
        const int bits = PixelFormatBits(L.PixelFormat);
        if (bits == 0 || bits == 16) throw EInvalidGraphic("Invalid color format in PNG file.");
        if (!PictureFits(L.Width, L.Height, bits)) ThrowPictureOutOfMemory();
        // Entries past the file's palette stay black.
        std::vector<uint32_t> palette;
        if (bits <= 8) {
            palette.assign(size_t(1) << bits, 0);
            for (size_t i = 0; i < palette.size() && i < L.Palette.size(); ++i)
                palette[i] = uint32_t(L.Palette[i].Blue) | uint32_t(L.Palette[i].Green) << 8 |
                             uint32_t(L.Palette[i].Red) << 16;
        }
        void* pixels = nullptr;
        HBITMAP dib = CreateDibSection(int(L.Width), int(L.Height), DibLayout{bits, false}, palette, pixels);
        if (!dib) ThrowPictureOutOfMemory();
        try {
            FBitmap->SetHandle(dib);
        } catch (...) {
            DeleteObject(dib);
            throw;
        }
        if (FBitmap->Width() != int(L.Width) || FBitmap->Height() != int(L.Height) ||
            FBitmap->PixelFormat() != L.PixelFormat)
            ThrowPictureOutOfMemory();
        if (L.TransparentColor != clNone) {
            FBitmap->SetTransparentColor(L.TransparentColor);
            FBitmap->SetTransparent(true);
        }
        TPixelView v;
        v.Bits = static_cast<uint8_t*>(FBitmap->ScanLine(0));
        v.Stride = L.Height >= 2 ? static_cast<uint8_t*>(FBitmap->ScanLine(1)) - v.Bits
                                 : ptrdiff_t(FBitmap->RowBytes());
        v.Width = L.Width;
        v.Height = L.Height;
        v.PixelFormat = L.PixelFormat;
        return v;
    }

    void Progress(TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TRect& R,
                  const AnsiString& Msg) override {
        FBitmap->Progress(FBitmap, Stage, PercentDone, RedrawNow, R, Msg);
    }

private:
    TPNGGraphic* FBitmap;
};

TPNGGraphic::TPNGGraphic() : TBitmap(), FColorManager(new TColorManager) {}

TPNGGraphic::~TPNGGraphic() { delete FColorManager; }

void TPNGGraphic::Assign(TPersistent* Source) {
    if (auto* png = dynamic_cast<TPNGGraphic*>(Source)) ImageProperties = png->ImageProperties;
    TBitmap::Assign(Source);
}

void TPNGGraphic::Draw(TCanvas* ACanvas, const TRect& R) {
    if (PixelFormat() != pf32bit) {
        TBitmap::Draw(ACanvas, R);
        return;
    }
    const int W = RectWidth(R), H = RectHeight(R);
    if (W <= 0 || H <= 0 || Empty() || !ACanvas) return;

    std::unique_ptr<TBitmap> back(CreateBitmap24(W, H));
    HDC target = ACanvas->Handle();
    BitBlt(back->Canvas()->Handle(), 0, 0, W, H, target, R.Left, R.Top, SRCCOPY);

    const TRect whole = Rect(0, 0, W, H);
    if (W == Width() && H == Height()) {
        BlendAlphaBitmap(whole, whole, back.get(), this, EmptyCacheInfo, false, clNone, 0);
    } else {
        // Colour and alpha go through the same halftone stretch; alpha travels
        // as a grey picture.
        std::unique_ptr<TBitmap> stretched(CreateBitmap32(W, H));
        HalftoneStretch(stretched->Canvas()->Handle(), W, H, Canvas()->Handle(), Width(), Height());
        {
            std::unique_ptr<TBitmap> plane(new TBitmap);
            plane->SetPixelFormat(pf8bit);
            plane->SetHandleType(bmDIB);
            plane->SetSize(Width(), Height());
            SetGreyRamp(plane.get());
            CopyByteChannel(this, plane.get(), 3, true);
            std::unique_ptr<TBitmap> planeStretched(CreateBitmap24(W, H));
            HalftoneStretch(planeStretched->Canvas()->Handle(), W, H, plane->Canvas()->Handle(), Width(),
                            Height());
            GdiFlush();
            CopyGreyToAlpha(BitmapView(planeStretched.get()), BitmapView(stretched.get()));
        }
        BlendAlphaBitmap(whole, whole, back.get(), stretched.get(), EmptyCacheInfo, false, clNone, 0);
    }
    GdiFlush();
    BitBlt(ACanvas->Handle(), R.Left, R.Top, W, H, back->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TPNGGraphic::LoadFromStream(TStream* Stream) {
    // Every load starts from scratch: no image, no transparency, fresh reader state.
    SetSize(0, 0);
    SetTransparent(false);
    TStreamSource source(Stream);
    TPNGGraphicTarget target(this);
    TPNGReader reader(*FColorManager);
    try {
        reader.LoadFromStream(source, target);
    } catch (...) {
        ImageProperties = reader.ImageProperties;
        Changed(this);
        throw;
    }
    ImageProperties = reader.ImageProperties;
    Changed(this);
}

bool TPNGGraphic::ReadImageProperties(TStream* Stream) {
    TStreamSource source(Stream);
    TPNGReader reader(*FColorManager);
    const bool ok = reader.ReadImageProperties(source);
    ImageProperties = reader.ImageProperties;
    return ok;
}

static TacFast32* Accessor32(TacFast32& Local) { return Fast32 ? Fast32 : &Local; }

HICON TPNGGraphic::MakeIcon(bool KeyOut) {
    if (KeyOut || PixelFormat() != pf32bit) {
        SetPixelFormat(pf32bit);
        TacFast32 local;
        TacFast32* f = Accessor32(local);
        if (f->BindBitmap(this)) {
            GdiFlush();
            const TColor key = f->ReadPixel(0, 0);
            for (int y = 0; y < f->Height; ++y)
                for (int x = 0; x < f->Width; ++x) {
                    const TColor c = f->ReadPixel(x, y);
                    if (c != key) f->WritePixel(x, y, TColor((uint32_t(c) & 0xFFFFFFu) | 0xFF000000u));
                }
            Changed(this);
        }
    }
    std::unique_ptr<TBitmap> mask(new TBitmap);
    mask->SetPixelFormat(pf1bit);
    mask->SetHandleType(bmDIB);
    mask->SetSize(Width(), Height());
    mask->Canvas()->Brush()->SetColor(clBlack);
    mask->Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    GdiFlush();
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask->Handle();
    info.hbmColor = Handle();
    return CreateIconIndirect(&info);
}

void ClearWhitePixels32(TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->PixelFormat() != pf32bit) return;
    TacFast32 local;
    TacFast32* f = Accessor32(local);
    if (!f->BindBitmap(Bitmap)) return;
    GdiFlush();
    for (int y = 0; y < f->Height; ++y)
        for (int x = 0; x < f->Width; ++x)
            if ((uint32_t(f->ReadPixel(x, y)) & 0xFFFFFFu) == 0xFFFFFFu) f->WritePixel(x, y, 0);
}

static int UnitRefCount = 0;

void acPNGInitialize() {
    if (UnitRefCount++ != 0) return;
    TPicture::RegisterFileFormat<TPNGGraphic>("png", "Portable network graphics");
    BuildCrc32Table();
}

void acPNGFinalize() {
    if (UnitRefCount == 0 || --UnitRefCount != 0) return;
    TPicture::UnregisterFileFormat(NewGraphic<TPNGGraphic>);
}
