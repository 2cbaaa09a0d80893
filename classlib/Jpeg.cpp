#include "Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace {

// Pictures larger than this are refused before any memory is asked for.
constexpr long long kMaxJpegPixels = 64ll << 20;

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the decoding call, which raises EJPEG afterwards.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (corrupt but decodable data) are not printed anywhere.
void OutputMessage(j_common_ptr) {}

struct Decoded {
    int width = 0, height = 0;
    bool cmyk = false;
};

// Reads the header and, when `pixels` is given, the whole picture as rows
// of blue, green, red bytes. Answers false with `message` on failure. No
// object with a destructor lives between setjmp and longjmp here.
bool RunDecoder(const uint8_t* data, size_t size, Decoded& out, uint8_t* (*rowFor)(void*, int), void* ctx,
                char* message) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = OutputMessage;
    err.message[0] = 0;
    unsigned char* volatile cmykRow = nullptr;
    if (setjmp(err.jump)) {
        std::strcpy(message, err.message);
        std::free(cmykRow);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    out.width = static_cast<int>(cinfo.image_width);
    out.height = static_cast<int>(cinfo.image_height);
    out.cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (static_cast<long long>(out.width) * out.height > kMaxJpegPixels || out.width <= 0 || out.height <= 0) {
        std::strcpy(message, "JPEG image too large");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (!rowFor) {
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    cinfo.out_color_space = out.cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    if (out.cmyk) {
        cmykRow = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(out.width) * 4));
        if (!cmykRow) {
            std::strcpy(message, "Out of memory");
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        uint8_t* dst = rowFor(ctx, static_cast<int>(cinfo.output_scanline));
        JSAMPROW row = out.cmyk ? cmykRow : dst;
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (out.cmyk) {
            // Adobe writes CMYK inverted; white is (255, 255, 255, 255).
            for (int x = 0; x < out.width; ++x) {
                const unsigned c = cmykRow[4 * x], m = cmykRow[4 * x + 1], y = cmykRow[4 * x + 2],
                               k = cmykRow[4 * x + 3];
                dst[3 * x] = static_cast<uint8_t>(y * k / 255);
                dst[3 * x + 1] = static_cast<uint8_t>(m * k / 255);
                dst[3 * x + 2] = static_cast<uint8_t>(c * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    std::free(cmykRow);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

uint8_t* BitmapRow(void* ctx, int y) { return static_cast<uint8_t*>(static_cast<TBitmap*>(ctx)->ScanLine(y)); }

}  // namespace

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() { FreeBitmap(); }

void TJPEGImage::FreeBitmap() {
    delete FBitmap;
    FBitmap = nullptr;
}

void TJPEGImage::LoadFromBytes(const uint8_t* Data, size_t Size) {
    Decoded d;
    char message[JMSG_LENGTH_MAX + 32] = {0};
    if (!Size || !RunDecoder(Data, Size, d, nullptr, nullptr, message))
        throw EJPEG(AnsiString("JPEG error: ") + (Size ? message : "no data"));
    FreeBitmap();
    FData.assign(Data, Data + Size);
    FWidth = d.width;
    FHeight = d.height;
    Changed(this);
}

void TJPEGImage::DIBNeeded() {
    if (FBitmap || FData.empty()) return;
    auto* bmp = new TBitmap;
    try {
        bmp->SetPixelFormat(pf24bit);
        bmp->SetSize(FWidth, FHeight);
        Decoded d;
        char message[JMSG_LENGTH_MAX + 32] = {0};
        if (!RunDecoder(FData.data(), FData.size(), d, &BitmapRow, bmp, message))
            throw EJPEG(AnsiString("JPEG error: ") + message);
    } catch (...) {
        delete bmp;
        throw;
    }
    FBitmap = bmp;
}

TBitmap* TJPEGImage::Bitmap() {
    DIBNeeded();
    return FBitmap;
}

void TJPEGImage::Assign(TPersistent* Source) {
    if (!Source) {
        FreeBitmap();
        FData.clear();
        FWidth = FHeight = 0;
        Changed(this);
        return;
    }
    if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
        if (j == this) return;
        FreeBitmap();
        FData = j->FData;
        FWidth = j->FWidth;
        FHeight = j->FHeight;
        FTransparent = j->FTransparent;
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
    if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
        if (Empty()) b->Assign(nullptr);
        else b->Assign(Bitmap());
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& R) {
    if (Empty()) return;
    DIBNeeded();
    HDC dst = ACanvas->Handle();
    TCanvas* src = FBitmap->Canvas();
    src->Lock();
    HDC sdc = src->Handle();
    if (R.Width() == FWidth && R.Height() == FHeight) {
        BitBlt(dst, R.Left, R.Top, FWidth, FHeight, sdc, 0, 0, ACanvas->CopyMode());
    } else {
        const int old = SetStretchBltMode(dst, HALFTONE);
        POINT org;
        SetBrushOrgEx(dst, 0, 0, &org);
        StretchBlt(dst, R.Left, R.Top, R.Width(), R.Height(), sdc, 0, 0, FWidth, FHeight, ACanvas->CopyMode());
        SetBrushOrgEx(dst, org.x, org.y, nullptr);
        SetStretchBltMode(dst, old);
    }
    src->Unlock();
}

void TJPEGImage::SetWidth(int v) {
    if (v != FWidth) throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int v) {
    if (v != FHeight) throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
    const std::vector<uint8_t> bytes = Stream->ReadBytes(Stream->Remaining());
    LoadFromBytes(bytes.data(), bytes.size());
}

void TJPEGImage::SaveToStream(TStream* Stream) {
    Stream->WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TJPEGImage::ReadData(TStream* Stream) {
    const uint32_t size = Stream->ReadUInt32();
    if (size == 0) {
        Assign(nullptr);
        return;
    }
    const std::vector<uint8_t> bytes = Stream->ReadBytes(size);
    LoadFromBytes(bytes.data(), bytes.size());
}

void TJPEGImage::WriteData(TStream* Stream) {
    Stream->WriteUInt32(static_cast<uint32_t>(FData.size()));
    SaveToStream(Stream);
}

void JpegStartup() {
    TPicture::RegisterFileFormat<TJPEGImage>("jpg", "JPEG image file");
    TPicture::RegisterFileFormat<TJPEGImage>("jpeg", "JPEG image file");
}

void JpegShutdown() { TPicture::UnregisterFileFormat(&NewGraphic<TJPEGImage>); }
