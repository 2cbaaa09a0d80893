// The alpha picture class and the bitmap primitives under Wine: pictures are
// drawn over canvases painted in known colours and the pixels read back.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "Graphics.h"

#include <shellapi.h>

#include "WinText.h"
#include "PictureUnits.h"
#include "acPNG.h"
#include "acntUtilsWin.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"

namespace {

const auto* const kUnits = ::testing::AddGlobalTestEnvironment(new PictureUnits);

struct Bgra {
    uint8_t b, g, r, a;
};

// A 24-bit canvas bitmap filled with one colour through its canvas.
std::unique_ptr<TBitmap> PaintedCanvas(int w, int h, TColor c) {
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(w, h));
    bmp->Canvas()->Brush()->SetColor(c);
    bmp->Canvas()->FillRect(Rect(0, 0, w, h));
    GdiFlush();
    return bmp;
}

// A 32-bit picture whose pixel (x, y) is f(x, y).
template <class F>
std::unique_ptr<TPNGGraphic> Picture32(int w, int h, F f) {
    std::unique_ptr<TPNGGraphic> p(new TPNGGraphic);
    p->SetPixelFormat(pf32bit);
    p->SetHandleType(bmDIB);
    p->SetSize(w, h);
    GdiFlush();
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<Bgra*>(p->ScanLine(y));
        for (int x = 0; x < w; ++x) row[x] = f(x, y);
    }
    return p;
}

// Reads a 24-bit pixel as b, g, r.
Bgra Pixel24(TBitmap* b, int x, int y) {
    GdiFlush();
    const auto* p = static_cast<const uint8_t*>(b->ScanLine(y)) + 3 * x;
    return Bgra{p[0], p[1], p[2], 0};
}

// Every byte of a 32-bit picture, row by row.
std::vector<uint8_t> Snapshot32(TBitmap* b) {
    GdiFlush();
    std::vector<uint8_t> out;
    for (int y = 0; y < b->Height(); ++y) {
        const auto* row = static_cast<const uint8_t*>(b->ScanLine(y));
        out.insert(out.end(), row, row + 4 * b->Width());
    }
    return out;
}

int Mix(int s, int a, int d) { return (s * a + d * (256 - a)) >> 8; }

// Canvas colour 0x204080: red 0x80, green 0x40, blue 0x20.
constexpr TColor kCanvas = 0x204080;
constexpr int kR = 0x80, kG = 0x40, kB = 0x20;

}  // namespace

TEST(WineAlphaDraw, SameSizeBlendsOverWhatTheCanvasShows) {
    auto canvas = PaintedCanvas(40, 30, kCanvas);
    auto pic = Picture32(10, 10, [](int x, int y) {
        if (x == 9 && y == 9) return Bgra{255, 255, 255, 255};
        return x < 5 ? Bgra{50, 100, 200, 128} : Bgra{1, 2, 3, 0};
    });
    const auto before = Snapshot32(pic.get());
    pic->Draw(canvas->Canvas(), Rect(5, 7, 15, 17));  // not at the origin: still the same-size path
    Bgra in = Pixel24(canvas.get(), 5 + 2, 7 + 3);
    EXPECT_EQ(in.r, Mix(200, 128, kR));
    EXPECT_EQ(in.g, Mix(100, 128, kG));
    EXPECT_EQ(in.b, Mix(50, 128, kB));
    Bgra clear = Pixel24(canvas.get(), 5 + 7, 7 + 1);
    EXPECT_EQ(clear.r, kR);
    EXPECT_EQ(clear.g, kG);
    EXPECT_EQ(clear.b, kB);
    Bgra opaque = Pixel24(canvas.get(), 14, 16);
    EXPECT_EQ(opaque.r, Mix(255, 255, kR));
    Bgra outside = Pixel24(canvas.get(), 4, 7);
    EXPECT_EQ(outside.b, kB);
    EXPECT_EQ(outside.r, kR);
    // The picture itself is unchanged by drawing.
    EXPECT_EQ(before, Snapshot32(pic.get()));
    EXPECT_EQ(pic->PixelFormat(), pf32bit);
}

TEST(WineAlphaDraw, TransparentPictureAndEmptyRectanglesLeaveTheCanvas) {
    auto canvas = PaintedCanvas(20, 20, kCanvas);
    auto pic = Picture32(8, 8, [](int, int) { return Bgra{9, 9, 9, 0}; });
    pic->Draw(canvas->Canvas(), Rect(2, 2, 10, 10));
    pic->Draw(canvas->Canvas(), Rect(2, 2, 30, 30));  // stretched, still all transparent
    auto opaque = Picture32(8, 8, [](int, int) { return Bgra{0, 0, 255, 255}; });
    opaque->Draw(canvas->Canvas(), Rect(4, 4, 4, 12));   // width 0
    opaque->Draw(canvas->Canvas(), Rect(4, 4, 12, 4));   // height 0
    opaque->Draw(canvas->Canvas(), Rect(12, 12, 4, 4));  // negative
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const Bgra p = Pixel24(canvas.get(), x, y);
            ASSERT_TRUE(p.r == kR && p.g == kG && p.b == kB) << x << "," << y;
        }
}

TEST(WineAlphaDraw, StretchedColourAndAlphaFollowTheSameHalftone) {
    auto canvas = PaintedCanvas(60, 60, kCanvas);
    // Left half opaque red-ish, right half transparent; a second picture all at alpha 128.
    auto halves = Picture32(8, 8, [](int x, int) { return x < 4 ? Bgra{10, 20, 240, 255} : Bgra{10, 20, 240, 0}; });
    halves->Draw(canvas->Canvas(), Rect(0, 0, 32, 32));
    const Bgra left = Pixel24(canvas.get(), 3, 16), right = Pixel24(canvas.get(), 28, 16);
    EXPECT_NEAR(left.r, Mix(240, 255, kR), 3);
    EXPECT_NEAR(left.b, Mix(10, 255, kB), 3);
    EXPECT_NEAR(right.r, kR, 3);
    EXPECT_NEAR(right.g, kG, 3);
    EXPECT_EQ(Pixel24(canvas.get(), 40, 40).r, kR);  // outside the rectangle

    auto half = Picture32(5, 5, [](int, int) { return Bgra{200, 200, 200, 128}; });
    half->Draw(canvas->Canvas(), Rect(33, 33, 60, 51));
    for (int y = 34; y < 50; y += 5)
        for (int x = 34; x < 59; x += 6) {
            const Bgra p = Pixel24(canvas.get(), x, y);
            ASSERT_NEAR(p.r, Mix(200, 128, kR), 4) << x << "," << y;
            ASSERT_NEAR(p.b, Mix(200, 128, kB), 4) << x << "," << y;
        }
}

TEST(WineAlphaDraw, TwentyFourBitPictureDrawsAsBitmap) {
    auto canvas = PaintedCanvas(10, 10, kCanvas);
    std::unique_ptr<TPNGGraphic> pic(new TPNGGraphic);
    pic->SetPixelFormat(pf24bit);
    pic->SetHandleType(bmDIB);
    pic->SetSize(4, 4);
    pic->Canvas()->Brush()->SetColor(clLime);
    pic->Canvas()->FillRect(Rect(0, 0, 4, 4));
    pic->Canvas()->Brush()->SetColor(clFuchsia);
    pic->Canvas()->FillRect(Rect(0, 0, 2, 4));
    pic->SetTransparentMode(tmFixed);
    pic->SetTransparentColor(clFuchsia);
    pic->SetTransparent(true);
    pic->Draw(canvas->Canvas(), Rect(1, 1, 5, 5));
    EXPECT_EQ(Pixel24(canvas.get(), 1, 1).r, kR);  // transparent colour shows the canvas
    const Bgra lime = Pixel24(canvas.get(), 4, 4);
    EXPECT_EQ(lime.g, 255);
    EXPECT_EQ(lime.r, 0);
    EXPECT_EQ(pic->PixelFormat(), pf24bit);
}

TEST(WineAlphaIcons, MakeIconKeysOutTheTopLeftColour) {
    auto pic = Picture32(16, 16, [](int x, int y) {
        return (x + y) % 3 == 0 ? Bgra{0, 0, 255, 0} : Bgra{255, 0, 0, 0};  // key: red (pixel 0,0)
    });
    HICON icon = pic->MakeIcon(true);
    ASSERT_NE(icon, nullptr);
    GdiFlush();
    const auto* row = static_cast<const Bgra*>(pic->ScanLine(0));
    EXPECT_EQ(row[0].a, 0);  // key
    EXPECT_EQ(row[1].a, 255);
    EXPECT_EQ(row[3].a, 0);
    EXPECT_EQ(row[1].b, 255);  // colour kept

    auto canvas = PaintedCanvas(16, 16, clLime);
    DrawIconEx(canvas->Canvas()->Handle(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    EXPECT_EQ(Pixel24(canvas.get(), 0, 0).g, 255);  // keyed out: the canvas shows
    EXPECT_EQ(Pixel24(canvas.get(), 1, 0).b, 255);  // opaque blue
    EXPECT_EQ(Pixel24(canvas.get(), 1, 0).g, 0);

    // Without keying a 32-bit picture keeps its alpha.
    auto soft = Picture32(4, 4, [](int x, int) { return Bgra{1, 2, 3, uint8_t(x * 60)}; });
    HICON i2 = soft->MakeIcon(false);
    EXPECT_NE(i2, nullptr);
    DestroyIcon(i2);
    GdiFlush();
    EXPECT_EQ(static_cast<const Bgra*>(soft->ScanLine(2))[3].a, 180);
    EXPECT_EQ(static_cast<const Bgra*>(soft->ScanLine(2))[0].a, 0);

    // One pixel wide: the accessor does not bind, nothing changes.
    auto thin = Picture32(1, 5, [](int, int y) { return Bgra{uint8_t(y), 0, 0, 0}; });
    HICON i3 = thin->MakeIcon(true);
    if (i3) DestroyIcon(i3);
    GdiFlush();
    EXPECT_EQ(static_cast<const Bgra*>(thin->ScanLine(3))[0].a, 0);
}

TEST(WineAlphaIcons, ClearWhitePixelsOnlyOn32Bit) {
    auto pic = Picture32(3, 3, [](int x, int y) {
        if (x == 1) return Bgra{255, 255, 255, uint8_t(y * 50)};
        return Bgra{255, 255, 254, 255};
    });
    ClearWhitePixels32(pic.get());
    GdiFlush();
    for (int y = 0; y < 3; ++y) {
        const auto* row = static_cast<const Bgra*>(pic->ScanLine(y));
        EXPECT_TRUE(row[1].b == 0 && row[1].g == 0 && row[1].r == 0 && row[1].a == 0);
        EXPECT_EQ(row[0].r, 254);
        EXPECT_EQ(row[2].a, 255);
    }
    auto flat = PaintedCanvas(3, 3, clWhite);
    ClearWhitePixels32(flat.get());
    EXPECT_EQ(Pixel24(flat.get(), 1, 1).r, 255);
    EXPECT_EQ(flat->PixelFormat(), pf24bit);
    ClearWhitePixels32(nullptr);
}

TEST(WineAlphaPrimitives, FactoriesAccessorsAndChannels) {
    std::unique_ptr<TBitmap> b24(CreateBitmap24(7, 5)), b32(CreateBitmap32(3, 2));
    EXPECT_EQ(b24->PixelFormat(), pf24bit);
    EXPECT_EQ(b24->HandleType(), bmDIB);
    EXPECT_EQ(b24->Width(), 7);
    EXPECT_EQ(b32->PixelFormat(), pf32bit);
    std::unique_ptr<TBitmap> like(CreateBitmapLike(b24.get()));
    EXPECT_EQ(like->Width(), 7);
    EXPECT_EQ(like->Height(), 5);
    EXPECT_EQ(like->PixelFormat(), pf24bit);

    TacFast24 f24;
    TacFast32 f32;
    EXPECT_FALSE(f24.BindBitmap(nullptr));
    EXPECT_FALSE(f32.BindBitmap(nullptr));
    std::unique_ptr<TBitmap> line(CreateBitmap32(5, 1));
    EXPECT_FALSE(f32.BindBitmap(line.get()));
    EXPECT_EQ(f32.Width, 0);
    TacFastSum24 sum;
    EXPECT_FALSE(sum.BindBitmaps(b24.get(), nullptr));

    b24->Canvas()->Brush()->SetColor(TColor(0x123456));
    b24->Canvas()->FillRect(Rect(0, 0, 7, 5));
    GdiFlush();
    ASSERT_TRUE(f24.BindBitmap(b24.get()));
    EXPECT_EQ(f24.ReadPixel(6, 4), 0x123456);
    EXPECT_EQ(f24.ReadPixel(0, 0), b24->Canvas()->Pixels(0, 0));
    ASSERT_TRUE(Fast32 != nullptr && Fast32->BindBitmap(b32.get()));
    Fast32->WritePixel(2, 1, TColor(0x80112233));
    EXPECT_EQ(b32->Canvas()->Pixels(2, 1) & 0xFFFFFF, 0x112233);
    GdiFlush();
    EXPECT_EQ(static_cast<const Bgra*>(b32->ScanLine(1))[2].a, 0x80);
    EXPECT_EQ(uint32_t(Fast32->ReadPixel(2, 1)), 0x33112233u);

    // Alpha there and back through an 8-bit plane leaves the picture as it was;
    // planes of another size copy only the overlap; nil is harmless.
    auto pic = Picture32(6, 4, [](int x, int y) { return Bgra{uint8_t(x), uint8_t(y), 7, uint8_t(x * 40 + y)}; });
    std::unique_ptr<TBitmap> plane(CreateBitmapLike(pic.get()));
    plane->SetPixelFormat(pf8bit);
    CopyByteChannel(pic.get(), plane.get(), 3, true);
    GdiFlush();
    EXPECT_EQ(static_cast<const uint8_t*>(plane->ScanLine(2))[5], 5 * 40 + 2);
    CopyByteChannel(pic.get(), plane.get(), 3, false);
    GdiFlush();
    EXPECT_EQ(static_cast<const Bgra*>(pic->ScanLine(3))[4].a, 4 * 40 + 3);
    std::unique_ptr<TBitmap> small(new TBitmap);
    small->SetPixelFormat(pf8bit);
    small->SetHandleType(bmDIB);
    small->SetSize(2, 2);
    CopyByteChannel(pic.get(), small.get(), 0, false);
    CopyByteChannel(nullptr, small.get(), 0, true);
    CopyByteChannel(pic.get(), nullptr, 0, true);
    GdiFlush();
    EXPECT_EQ(static_cast<const Bgra*>(pic->ScanLine(3))[4].b, 4);
}

TEST(WineAlphaPrimitives, BlendKeysFromTheCacheAndConvertsSources) {
    auto dst = PaintedCanvas(6, 4, kCanvas);
    auto cache = PaintedCanvas(20, 20, clLime);
    auto src = Picture32(6, 4, [](int x, int) { return x == 2 ? Bgra{255, 0, 255, 255} : Bgra{0, 0, 0, 0}; });
    BlendAlphaBitmap(Rect(0, 0, 6, 4), Rect(0, 0, 6, 4), dst.get(), src.get(), MakeBitmapBackground(cache.get(), 3, 3),
                     true, clNone, 0);
    EXPECT_EQ(Pixel24(dst.get(), 2, 1).g, 255);  // key pixel took the cache's colour
    EXPECT_EQ(Pixel24(dst.get(), 2, 1).r, 0);
    EXPECT_EQ(Pixel24(dst.get(), 1, 1).r, kR);
    // A 24-bit source is made 32-bit first.
    auto src24 = PaintedCanvas(6, 4, clWhite);
    BlendAlphaBitmap(Rect(0, 0, 6, 4), Rect(0, 0, 6, 4), dst.get(), src24.get(), EmptyCacheInfo, false, clNone, 0);
    EXPECT_EQ(src24->PixelFormat(), pf32bit);
    BlendAlphaBitmap(Rect(0, 0, 6, 4), Rect(0, 0, 6, 4), dst.get(), nullptr, EmptyCacheInfo, false, clNone, 0);
}

namespace {

void PutBE32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBE32(out, uint32_t(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBE32(out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw) {
    uLongf zlen = compressBound(uLong(raw.size()));
    std::vector<uint8_t> z(zlen);
    compress(z.data(), &zlen, raw.data(), uLong(raw.size()));
    z.resize(zlen);
    return z;
}

// An indexed 4 x 2 PNG of depth 8 whose palette has 3 entries; index 5 is
// used although the palette does not have it.
std::vector<uint8_t> SmallIndexedPng() {
    const std::vector<uint8_t> raw = {0, 0, 1, 2, 0, /**/ 0, 2, 2, 5, 1};
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    PutBE32(ihdr, 4);
    PutBE32(ihdr, 2);
    ihdr.insert(ihdr.end(), {8, 3, 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "PLTE", {255, 0, 0, /**/ 0, 255, 0, /**/ 0, 0, 255});
    Chunk(png, "IDAT", Deflate(raw));
    Chunk(png, "IEND", {});
    return png;
}

// A small RGBA PNG: pixel (x, y) = (x * 40, y * 40, 100, 255 - x * 50).
std::vector<uint8_t> SmallRgbaPng(int w, int h) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w; ++x) {
            raw.push_back(uint8_t(x * 40));
            raw.push_back(uint8_t(y * 40));
            raw.push_back(100);
            raw.push_back(uint8_t(255 - x * 50));
        }
    }
    uLongf zlen = compressBound(uLong(raw.size()));
    std::vector<uint8_t> z(zlen);
    compress(z.data(), &zlen, raw.data(), uLong(raw.size()));
    z.resize(zlen);
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    PutBE32(ihdr, uint32_t(w));
    PutBE32(ihdr, uint32_t(h));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

}  // namespace

TEST(WineAlphaPicture, RegisteredLoadedAndStreamedAsFormData) {
    TGraphicClass byExt = TPicture::FindFileFormat("png");
    ASSERT_NE(byExt, nullptr);
    std::unique_ptr<TGraphic> made(byExt());
    EXPECT_STREQ(made->ClassName(), "TPNGGraphic");
    TGraphicClass byName = TPicture::FindGraphicClass("TPNGGraphic");
    ASSERT_NE(byName, nullptr);
    EXPECT_NE(dynamic_cast<TPNGGraphic*>(std::unique_ptr<TGraphic>(byName()).get()), nullptr);

    // A PNG file through the picture holder's extension look-up.
    const std::vector<uint8_t> png = SmallRgbaPng(5, 3);
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const AnsiString path = FromWide(dir) + "alpha_test.png";
    FILE* f = _wfopen(ToWide(path).c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fwrite(png.data(), 1, png.size(), f);
    fclose(f);
    TPicture picture;
    picture.LoadFromFile(path);
    DeleteFileW(ToWide(path).c_str());
    auto* loaded = dynamic_cast<TPNGGraphic*>(picture.Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Width(), 5);
    EXPECT_EQ(loaded->Height(), 3);
    EXPECT_EQ(loaded->PixelFormat(), pf32bit);
    EXPECT_EQ(loaded->ImageProperties.Width, 5u);
    GdiFlush();
    const Bgra p = static_cast<const Bgra*>(loaded->ScanLine(2))[3];
    EXPECT_EQ(p.r, 120);
    EXPECT_EQ(p.g, 80);
    EXPECT_EQ(p.b, 100);
    EXPECT_EQ(p.a, 105);

    // Loading into the same picture again gives the same result; bad data fails.
    TMemoryStream again;
    again.WriteBuffer(png.data(), int64_t(png.size()));
    again.SetPosition(0);
    loaded->LoadFromStream(&again);
    EXPECT_EQ(again.Position(), int64_t(png.size()));
    EXPECT_EQ(loaded->Width(), 5);
    TMemoryStream bad;
    bad.WriteBuffer("not a png at all", 16);
    bad.SetPosition(0);
    std::unique_ptr<TPNGGraphic> other(new TPNGGraphic);
    EXPECT_THROW(other->LoadFromStream(&bad), EInvalidGraphic);

    // Form data: written as a bitmap under its own class name, read back as one.
    TMemoryStream data;
    picture.WriteData(&data);
    data.SetPosition(0);
    TPicture back;
    back.ReadData(&data);
    auto* copy = dynamic_cast<TPNGGraphic*>(back.Graphic());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->PixelFormat(), pf32bit);
    GdiFlush();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const Bgra a = static_cast<const Bgra*>(loaded->ScanLine(y))[x];
            const Bgra b = static_cast<const Bgra*>(copy->ScanLine(y))[x];
            ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a) << x << "," << y;
        }

    // Assign copies the header properties along with the pixels.
    TPNGGraphic assigned;
    assigned.Assign(loaded);
    EXPECT_EQ(assigned.ImageProperties.Width, 5u);
    EXPECT_EQ(assigned.Width(), 5);
}

TEST(WineAlphaPicture, IndexedPictureKeepsItsPalette) {
    const std::vector<uint8_t> png = SmallIndexedPng();
    TMemoryStream s;
    s.WriteBuffer(png.data(), int64_t(png.size()));
    s.SetPosition(0);
    TPNGGraphic pic;
    pic.LoadFromStream(&s);
    ASSERT_EQ(pic.Width(), 4);
    EXPECT_EQ(pic.PixelFormat(), pf8bit);
    auto canvas = PaintedCanvas(4, 2, kCanvas);
    pic.Draw(canvas->Canvas(), Rect(0, 0, 4, 2));
    const Bgra red = Pixel24(canvas.get(), 0, 0), green = Pixel24(canvas.get(), 1, 0),
               blue = Pixel24(canvas.get(), 2, 0), missing = Pixel24(canvas.get(), 2, 1);
    EXPECT_TRUE(red.r == 255 && red.g == 0 && red.b == 0);
    EXPECT_TRUE(green.r == 0 && green.g == 255 && green.b == 0);
    EXPECT_TRUE(blue.r == 0 && blue.g == 0 && blue.b == 255);
    EXPECT_TRUE(missing.r == 0 && missing.g == 0 && missing.b == 0);  // entries past the palette are black
}

TEST(WineAlphaUtils, PlatformHelpers) {
    const AnsiString folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_NE(CaptionFontHeight(), 0);
    EXPECT_EQ(FileIcon(folder + "no such file.xyz", SHGFI_SMALLICON), nullptr);

    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    const AnsiString dir = WithBackslash(FromWide(tmp)) + "alpha_find\\";
    CreateDirectoryW(ToWide(dir).c_str(), nullptr);
    for (const char* n : {"a.asz", "b.asz", "c.txt"}) {
        FILE* f = _wfopen(ToWide(dir + n).c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        fclose(f);
    }
    CreateDirectoryW(ToWide(dir + "sub.asz").c_str(), nullptr);
    TSearchRec rec;
    int found = 0;
    for (int r = FindFirst(dir + "*.asz", faAnyFile & ~faDirectory, rec); r == 0; r = FindNext(rec)) {
        EXPECT_EQ(rec.Attr & faDirectory, 0) << rec.Name;
        ++found;
    }
    FindClose(rec);
    EXPECT_EQ(found, 2);
    TSearchRec none;
    EXPECT_NE(FindFirst(dir + "*.none", faAnyFile, none), 0);
    FindClose(none);
    for (const char* n : {"a.asz", "b.asz", "c.txt"}) DeleteFileW(ToWide(dir + n).c_str());
    RemoveDirectoryW(ToWide(dir + "sub.asz").c_str());
    RemoveDirectoryW(ToWide(dir).c_str());
}

TEST(WineAlphaUtils, IniTextInStringLists) {
    TStringList lines;
    lines.SetText("LOOSE=1\r\n[GLOBALINFO]\r\n;comment\r\nVERSION=6\r\n[BUTTON]\r\nCOLOR=0x00FF\r\n[button]\r\nCOLOR=7\r\n");
    TStringList sections;
    sections.Add("stale");
    IniTextSplit(&lines, &sections);
    ASSERT_EQ(sections.Count(), 3);
    EXPECT_EQ(sections.Strings(0), "GLOBALINFO");
    auto* global = dynamic_cast<TStringList*>(sections.Objects(0));
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(global->Count(), 1);
    EXPECT_EQ(IniTextReadInteger(&sections, "button", "COLOR", -1), 255);  // first section of the name
    EXPECT_EQ(IniTextReadString(&sections, "GLOBALINFO", "version", "x"), "6");
    EXPECT_EQ(IniTextReadString(&sections, "GLOBALINFO", "LOOSE", "dflt"), "dflt");
    EXPECT_EQ(IniTextReadInteger(&sections, "NOSUCH", "COLOR", 42), 42);
    EXPECT_EQ(IniTextReadString(nullptr, "A", "B", "d"), "d");
    for (int i = 0; i < sections.Count(); ++i) delete sections.Objects(i);
}
