#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>

#include "Jpeg.h"
#include "TypeInfo.h"
#include "UnitInit.h"
#include "gfx_test_util.h"

namespace {

// Test picture: four flat quadrants (red, green, blue, white) of 32 x 24.
TColor Quadrant(int x, int y, int w, int h) {
    if (y < h / 2) return x < w / 2 ? clRed : clLime;
    return x < w / 2 ? clBlue : clWhite;
}

// A JPEG file of the test picture, written by the library's own compressor.
std::vector<uint8_t> MakeJpeg(int w, int h, bool grey = false) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = grey ? 1 : 3;
    c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(size_t(w) * 3);
    while (c.next_scanline < c.image_height) {
        const int y = int(c.next_scanline);
        for (int x = 0; x < w; ++x) {
            const TColor q = Quadrant(x, y, w, h);
            if (grey) row[x] = uint8_t(x * 255 / (w - 1));
            else row[3 * x] = GetRValue32(q), row[3 * x + 1] = GetGValue32(q), row[3 * x + 2] = GetBValue32(q);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> v(out, out + size);
    std::free(out);
    return v;
}

void ExpectNear(TColor got, TColor want, int tol, const char* where) {
    EXPECT_NEAR(GetRValue32(got), GetRValue32(want), tol) << where;
    EXPECT_NEAR(GetGValue32(got), GetGValue32(want), tol) << where;
    EXPECT_NEAR(GetBValue32(got), GetBValue32(want), tol) << where;
}

}  // namespace

TEST(Jpeg, DecodesToA24BitBitmapOfTheRightColours) {
    const auto file = MakeJpeg(64, 48);
    TJPEGImage j;
    TReadOnlyMemoryStream s(file);
    j.LoadFromStream(&s);
    EXPECT_EQ(j.Width(), 64);
    EXPECT_EQ(j.Height(), 48);
    TBitmap* b = j.Bitmap();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->PixelFormat(), pf24bit);
    ExpectNear(PixelOf(b, 8, 6), clRed, 12, "top left");
    ExpectNear(PixelOf(b, 56, 6), clLime, 12, "top right");
    ExpectNear(PixelOf(b, 8, 40), clBlue, 12, "bottom left");
    ExpectNear(PixelOf(b, 56, 40), clWhite, 12, "bottom right");
    // Assigned to a bitmap: the decoded picture.
    TBitmap copy;
    copy.Assign(&j);
    ExpectNear(PixelOf(&copy, 8, 40), clBlue, 12, "copy");
}

TEST(Jpeg, DrawsAtSizeAndStretchedWithHalftone) {
    const auto file = MakeJpeg(64, 48);
    TJPEGImage j;
    j.LoadFromBytes(file.data(), file.size());
    std::unique_ptr<TBitmap> dst(MakeBitmap(100, 60, clBlack));
    dst->Canvas()->Draw(2, 2, &j);
    ExpectNear(PixelOf(dst.get(), 10, 8), clRed, 12, "same size");
    EXPECT_EQ(PixelOf(dst.get(), 1, 1), clBlack);
    dst->Canvas()->StretchDraw(Rect(70, 0, 86, 12), &j);  // a quarter
    ExpectNear(PixelOf(dst.get(), 72, 2), clRed, 20, "stretched red");
    ExpectNear(PixelOf(dst.get(), 84, 10), clWhite, 20, "stretched white");
    EXPECT_EQ(PixelOf(dst.get(), 87, 2), clBlack);
}

TEST(Jpeg, GreyscaleFilesBecomeColourBitmaps) {
    const auto file = MakeJpeg(32, 8, true);
    TJPEGImage j;
    j.LoadFromBytes(file.data(), file.size());
    TBitmap* b = j.Bitmap();
    ExpectNear(PixelOf(b, 0, 4), clBlack, 8, "left");
    ExpectNear(PixelOf(b, 31, 4), clWhite, 8, "right");
}

TEST(Jpeg, BadDataRaisesInsteadOfEndingTheProgram) {
    TJPEGImage j;
    const std::vector<uint8_t> junk = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 'x'};
    EXPECT_THROW(j.LoadFromBytes(junk.data(), junk.size()), EJPEG);
    EXPECT_THROW(j.LoadFromBytes(junk.data(), 0), EJPEG);
    EXPECT_TRUE(j.Empty());
    const auto good = MakeJpeg(16, 16);
    j.LoadFromBytes(good.data(), good.size());
    // Damage after the header: found when the pixels are decoded, as EJPEG or
    // as a decodable picture, never as an exit.
    std::vector<uint8_t> bad = good;
    size_t sos = 0;
    for (size_t i = 0; i + 1 < bad.size(); ++i)
        if (bad[i] == 0xFF && bad[i + 1] == 0xDA) sos = i;
    ASSERT_GT(sos, 0u);
    for (size_t i = sos + 16; i < bad.size() - 2; ++i) bad[i] = uint8_t(i * 37);
    TJPEGImage k;
    k.LoadFromBytes(bad.data(), bad.size());
    try {
        k.DIBNeeded();
    } catch (const EJPEG&) {
    }
    // A picture bigger than allowed is refused from its header alone.
    std::vector<uint8_t> huge = good;
    for (size_t i = 0; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {  // frame header: height and width
            huge[i + 5] = 0xFF, huge[i + 6] = 0xFF, huge[i + 7] = 0xFF, huge[i + 8] = 0xFF;
            break;
        }
    EXPECT_THROW(k.LoadFromBytes(huge.data(), huge.size()), EJPEG);
    EXPECT_EQ(k.Width(), 16);  // kept
    EXPECT_THROW(k.SetWidth(20), EInvalidGraphicOperation);
}

TEST(Jpeg, FormDataAndPictureFiles) {
    const auto file = MakeJpeg(20, 10);
    TJPEGImage j;
    j.LoadFromBytes(file.data(), file.size());
    TPicture p;
    p.SetGraphic(&j);
    TMemoryStream fd;
    p.WriteData(&fd);
    const auto* bytes = static_cast<const uint8_t*>(fd.Memory());
    ASSERT_EQ(bytes[0], 10);
    EXPECT_EQ(AnsiString(reinterpret_cast<const char*>(bytes + 1), 10), "TJPEGImage");
    fd.SetPosition(11);
    EXPECT_EQ(fd.ReadUInt32(), file.size());
    fd.SetPosition(0);
    TPicture q;
    q.ReadData(&fd);
    auto* back = dynamic_cast<TJPEGImage*>(q.Graphic());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Data(), file);
    // By extension from a file.
    const std::string name = ::testing::TempDir() + "picture.jpeg";
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer(file.data(), int64_t(file.size()));
    }
    TPicture r;
    r.LoadFromFile(name);
    ASSERT_NE(dynamic_cast<TJPEGImage*>(r.Graphic()), nullptr);
    EXPECT_EQ(r.Width(), 20);
    std::remove(name.c_str());
}

namespace {

// Owns a bitmap and a JPEG picture, as stored skins keep their images.
class TPictureOwner : public TPersistent {
public:
    const char* ClassName() const override { return "TPictureOwner"; }
    TBitmap* Bitmap() const { return FBitmap.get(); }
    TJPEGImage* Jpeg() const { return FJpeg.get(); }

private:
    std::unique_ptr<TBitmap> FBitmap = std::make_unique<TBitmap>();
    std::unique_ptr<TJPEGImage> FJpeg = std::make_unique<TJPEGImage>();
};

FormValue Block(const TMemoryStream& s) {
    FormValue v;
    v.Kind = FormValueKind::Binary;
    v.Binary = s.Bytes();
    return v;
}

}  // namespace

TEST(Jpeg, OwnedBitmapAndJpegDataSetByNameReadBackByteForByte) {
    RegisterClassLibraryClasses();
    const TClassInfo& info = RegisterPersistentClass<TPictureOwner>("TPictureOwner")
                                 .Object("Bitmap", &TPictureOwner::Bitmap, "TBitmap")
                                 .Object("Jpeg", &TPictureOwner::Jpeg, "TJPEGImage")
                                 .Info();
    const auto file = MakeJpeg(32, 24);
    TMemoryStream jpegBlock;
    jpegBlock.WriteUInt32(uint32_t(file.size()));
    jpegBlock.WriteBuffer(file.data(), int64_t(file.size()));
    TBitmap source;
    source.SetPixelFormat(pf24bit);
    source.SetSize(3, 2);
    for (int y = 0; y < 2; ++y) std::memset(source.ScanLine(y), 0x40 + 0x30 * y, 9);
    TMemoryStream bitmapBlock;
    source.WriteData(&bitmapBlock);

    TPictureOwner owner;
    TReadContext ctx;
    WriteProperty(&owner, info, "Jpeg.Data", Block(jpegBlock), ctx);
    WriteProperty(&owner, info, "Bitmap.Data", Block(bitmapBlock), ctx);
    EXPECT_EQ(owner.Jpeg()->Width(), 32);
    EXPECT_EQ(owner.Jpeg()->Data(), file);
    ASSERT_EQ(owner.Bitmap()->Width(), 3);
    EXPECT_EQ(static_cast<const uint8_t*>(owner.Bitmap()->ScanLine(1))[4], 0x70);
    std::vector<uint8_t> back;
    ASSERT_TRUE(ReadBinaryProperty(&owner, info, "Jpeg.Data", back));
    EXPECT_EQ(back, jpegBlock.Bytes());
    ASSERT_TRUE(ReadBinaryProperty(&owner, info, "Bitmap.Data", back));
    EXPECT_EQ(back, bitmapBlock.Bytes());
}
