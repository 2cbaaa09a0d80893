// The PNG reader through the alpha picture class under Wine: the whole image
// suite loads into TPNGGraphic bitmaps with the pixels, formats, palettes and
// key colours the native reader gives (whose digests the native tree writes);
// pictures come from files, streams, resources and form data, are assigned,
// converted and drawn.
//
//   png_wine_tests SUITE_DIR DIGEST_FILE
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Graphics.h"
#include "PNGCraft.h"
#include "PNGDigest.h"
#include "ResourceStream.h"
#include "PictureUnits.h"
#include "acPNG.h"
#include "sAlphaGraph.h"

namespace {

std::string SuiteDir, DigestFile;


// RGBA of pixel (x, y) of a 1-, 4-, 8-, 24- or 32-bit DIB bitmap, the
// palette read from the bitmap's own DIB colour table.
void PixelRGBA(TBitmap* b, int x, int y, const RGBQUAD* table, uint8_t out[4]) {
    const uint8_t* line = static_cast<const uint8_t*>(b->ScanLine(y));
    out[3] = 255;
    auto fromTable = [&](unsigned i) {
        out[0] = table[i].rgbRed;
        out[1] = table[i].rgbGreen;
        out[2] = table[i].rgbBlue;
    };
    switch (b->PixelFormat()) {
    case pf1bit: fromTable((line[x >> 3] >> (7 - (x & 7))) & 1); break;
    case pf4bit: fromTable((line[x >> 1] >> ((x & 1) ? 0 : 4)) & 15); break;
    case pf8bit: fromTable(line[x]); break;
    case pf24bit:
        out[0] = line[3 * x + 2];
        out[1] = line[3 * x + 1];
        out[2] = line[3 * x];
        break;
    default:
        out[0] = line[4 * x + 2];
        out[1] = line[4 * x + 1];
        out[2] = line[4 * x];
        out[3] = line[4 * x + 3];
        break;
    }
}

// The FNV-1a digest over the pixels as RGBA, the same as the native tool's.
std::string PixelDigest(TBitmap* b) {
    GdiFlush();
    RGBQUAD table[256] = {};
    if (b->PixelFormat() == pf1bit || b->PixelFormat() == pf4bit || b->PixelFormat() == pf8bit)
        GetDIBColorTable(b->Canvas()->Handle(), 0, 256, table);
    uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) {
            uint8_t px[4];
            PixelRGBA(b, x, y, table, px);
            for (uint8_t v : px) h = (h ^ v) * 1099511628211ull;
        }
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(h));
    return buf;
}

// What the native digest line says, without the background colour (the
// bitmap does not keep it): "ok WxH FORMAT key=KEY DIGEST" or "error MESSAGE".
std::string NativeLine(const std::string& rest) {
    if (rest.rfind("error ", 0) == 0) return rest;
    std::istringstream in(rest);
    std::string ok, size, format, bg, key, digest;
    in >> ok >> size >> format >> bg >> key >> digest;
    return ok + " " + size + " " + format + " " + key + " " + digest;
}

std::string PictureLine(TPNGGraphic* p) {
    char head[96];
    const uint32_t key = p->Transparent() ? uint32_t(p->TransparentColor()) : uint32_t(clNone);
    std::snprintf(head, sizeof head, "ok %dx%d %s key=%08X ", p->Width(), p->Height(), PNGFormatName(p->PixelFormat()),
                  key);
    return head + PixelDigest(p);
}

std::map<std::string, std::string> ReadDigests() {
    std::map<std::string, std::string> m;
    std::ifstream in(DigestFile);
    std::string line;
    while (std::getline(in, line)) {
        size_t sp = line.find(' ');
        if (sp != std::string::npos) m[line.substr(0, sp)] = line.substr(sp + 1);
    }
    return m;
}

TBytes ReadFileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::unique_ptr<TMemoryStream> StreamOf(const TBytes& b) {
    auto s = std::make_unique<TMemoryStream>();
    s->WriteBuffer(b.data(), int64_t(b.size()));
    s->SetPosition(0);
    return s;
}

std::unique_ptr<TBitmap> Canvas24(int w, int h, TColor c) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetHandleType(bmDIB);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

}  // namespace

TEST(WinePngSuite, EveryImageLoadsAsTheNativeReaderDecodesIt) {
    std::map<std::string, std::string> digests = ReadDigests();
    ASSERT_EQ(digests.size(), 175u) << DigestFile;
    int loaded = 0, refused = 0;
    for (const auto& [name, rest] : digests) {
        const std::string want = NativeLine(rest);
        TPNGGraphic pic;
        std::string got;
        try {
            TFileStream file(SuiteDir + "/" + name, fmOpenRead);
            pic.LoadFromStream(&file);
            got = PictureLine(&pic);
            EXPECT_EQ(file.Position(), file.Size()) << name;  // the stream stands after IEND
            ++loaded;
        } catch (const Exception& e) {
            got = "error " + e.Message;
            ++refused;
        }
        EXPECT_EQ(got, want) << name;
        if (got != want || got.rfind("ok ", 0) != 0 || pic.PixelFormat() == pf32bit) continue;
        // The bitmap's own copy of the colour table is the file's palette: a
        // conversion to 24 bits and a copy keep every colour.
        TBitmap copy;
        copy.Assign(&pic);
        copy.SetPixelFormat(pf24bit);
        EXPECT_EQ(PixelDigest(&copy), want.substr(want.size() - 16)) << name << " converted";
    }
    EXPECT_EQ(loaded, 161);
    EXPECT_EQ(refused, 14);
}

TEST(WinePngPicture, ResourcesStreamsAndFormDataGiveTheSamePicture) {
    const TBytes bytes = ReadFileBytes(SuiteDir + "/basn3p04.png");  // 4-bit indexed
    TPNGGraphic fromStream;
    fromStream.LoadFromStream(StreamOf(bytes).get());
    const std::string want = PictureLine(&fromStream);

    TResourceStream res(nullptr, "PNGINDEXED");
    TPNGGraphic fromResource;
    fromResource.LoadFromStream(&res);
    EXPECT_EQ(PictureLine(&fromResource), want);
    EXPECT_EQ(res.Position(), res.Size());

    // A PNG in the middle of a stream: read from the stream's position, left
    // just after its end chunk.
    TMemoryStream middle;
    middle.WriteBuffer("head", 4);
    middle.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    middle.WriteBuffer("tail", 4);
    middle.SetPosition(4);
    TPNGGraphic fromMiddle;
    fromMiddle.LoadFromStream(&middle);
    EXPECT_EQ(middle.Position(), int64_t(4 + bytes.size()));
    EXPECT_EQ(PictureLine(&fromMiddle), want);

    // Form data keep the format and palette; the picture comes back as TPNGGraphic.
    TPicture holder;
    holder.SetGraphic(&fromStream);
    TMemoryStream data;
    holder.WriteData(&data);
    data.SetPosition(0);
    TPicture back;
    back.ReadData(&data);
    auto* read = dynamic_cast<TPNGGraphic*>(back.Graphic());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(PictureLine(read), want);

    // Assign: a TPNGGraphic copies the header properties too; a plain bitmap
    // gets the same pixels and colours.
    TPNGGraphic assigned;
    assigned.Assign(&fromResource);
    EXPECT_EQ(assigned.ImageProperties.BitsPerSample, 4);
    EXPECT_EQ(assigned.ImageProperties.ColorScheme, csIndexed);
    EXPECT_EQ(PictureLine(&assigned), want);
    TBitmap plain;
    plain.Assign(&fromResource);
    EXPECT_EQ(PixelDigest(&plain), want.substr(want.size() - 16));
    // A resource that is not there.
    EXPECT_THROW(TResourceStream(nullptr, "NOSUCHPNG"), EResNotFound);
}

TEST(WinePngPicture, TransparencyFromTheFileAndReloading) {
    const TBytes keyed = ReadFileBytes(SuiteDir + "/tbrn2c08.png");  // RGB with a tRNS key
    TPNGGraphic pic;
    pic.LoadFromStream(StreamOf(keyed).get());
    ASSERT_EQ(pic.PixelFormat(), pf24bit);
    ASSERT_TRUE(pic.Transparent());
    const TColor key = pic.TransparentColor();
    // Drawn over a painted canvas, the key-coloured pixels let the canvas through.
    auto canvas = Canvas24(pic.Width(), pic.Height(), TColor(0x123456));
    pic.Draw(canvas->Canvas(), Rect(0, 0, pic.Width(), pic.Height()));
    GdiFlush();
    int keyPixels = 0, shown = 0;
    for (int y = 0; y < pic.Height(); ++y)
        for (int x = 0; x < pic.Width(); ++x) {
            const uint8_t* p = static_cast<const uint8_t*>(pic.ScanLine(y)) + 3 * x;
            const TColor c = TColor(p[2] | p[1] << 8 | p[0] << 16);
            const uint8_t* d = static_cast<const uint8_t*>(canvas->ScanLine(y)) + 3 * x;
            const TColor drawn = TColor(d[2] | d[1] << 8 | d[0] << 16);
            if (c == key) {
                ++keyPixels;
                EXPECT_EQ(drawn, TColor(0x123456)) << x << "," << y;
            } else if (drawn == c) {
                ++shown;
            }
        }
    EXPECT_GT(keyPixels, 100);
    EXPECT_EQ(shown, pic.Width() * pic.Height() - keyPixels);

    // A 4-bit grey picture: its key is the grey palette's value, so the
    // transparent pixels are found in the paletted bitmap too.
    TPNGGraphic grey;
    grey.LoadFromStream(StreamOf(ReadFileBytes(SuiteDir + "/tbbn0g04.png")).get());
    ASSERT_EQ(grey.PixelFormat(), pf4bit);
    ASSERT_TRUE(grey.Transparent());
    RGBQUAD table[16] = {};
    GetDIBColorTable(grey.Canvas()->Handle(), 0, 16, table);
    auto greyCanvas = Canvas24(grey.Width(), grey.Height(), TColor(0x123456));
    grey.Draw(greyCanvas->Canvas(), Rect(0, 0, grey.Width(), grey.Height()));
    GdiFlush();
    int greyKeys = 0;
    for (int y = 0; y < grey.Height(); ++y)
        for (int x = 0; x < grey.Width(); ++x) {
            const uint8_t index = (static_cast<const uint8_t*>(grey.ScanLine(y))[x / 2] >> (x % 2 ? 0 : 4)) & 15;
            const TColor c = TColor(table[index].rgbRed | table[index].rgbGreen << 8 | table[index].rgbBlue << 16);
            const uint8_t* d = static_cast<const uint8_t*>(greyCanvas->ScanLine(y)) + 3 * x;
            const TColor drawn = TColor(d[2] | d[1] << 8 | d[0] << 16);
            if (c == grey.TransparentColor()) ++greyKeys;
            EXPECT_EQ(drawn, c == grey.TransparentColor() ? TColor(0x123456) : c) << x << "," << y;
        }
    EXPECT_GT(greyKeys, 100);

    // Loading a file without transparency into the same picture clears it; a
    // failed load leaves no transparency behind either.
    pic.LoadFromStream(StreamOf(ReadFileBytes(SuiteDir + "/basn2c08.png")).get());
    EXPECT_FALSE(pic.Transparent());
    pic.LoadFromStream(StreamOf(keyed).get());
    EXPECT_TRUE(pic.Transparent());
    EXPECT_THROW(pic.LoadFromStream(StreamOf(ReadFileBytes(SuiteDir + "/xcsn0g01.png")).get()), EInvalidGraphic);
    EXPECT_FALSE(pic.Transparent());
}

TEST(WinePngPicture, HugeOrBrokenFilesFailCleanly) {
    TPNGGraphic pic;
    // A header promising 2^31-1 squared pixels: refused before allocation.
    TBytes huge = Join({PngSignature(), IHDR(0x7FFFFFFF, 0x7FFFFFFF, 8, 6), Chunk("IDAT", Deflate({0})), IEND()});
    EXPECT_THROW(pic.LoadFromStream(StreamOf(huge).get()), EOutOfMemory);
    EXPECT_TRUE(pic.Empty());
    // Cut anywhere before the end chunk's header is whole: always the reader's
    // refusal or the stream's read error, never a crash or another exception.
    const TBytes good = ReadFileBytes(SuiteDir + "/basi6a08.png");
    ASSERT_GT(good.size(), 12u);
    for (size_t n = 0; n < good.size() - 4; ++n) {
        TBytes cut(good.begin(), good.begin() + ptrdiff_t(n));
        bool refused = false;
        try {
            pic.LoadFromStream(StreamOf(cut).get());
        } catch (const EInvalidGraphic&) {
            refused = true;
        } catch (const EReadError&) {
            refused = true;
        }
        EXPECT_TRUE(refused) << "cut at " << n;
    }
    pic.LoadFromStream(StreamOf(good).get());
    EXPECT_EQ(pic.Width(), 32);
    EXPECT_EQ(pic.PixelFormat(), pf32bit);
}

TEST(WinePngPicture, LoadedAlphaPictureDrawsStretchedOverTheCanvas) {
    // Left half fully transparent, right half opaque red.
    TRawImage img{8, 4, 8, 6};
    img.Sample = [](uint32_t x, uint32_t, int c) { return c == 0 ? 255u : c == 3 ? (x < 4 ? 0u : 255u) : 0u; };
    TPNGGraphic pic;
    pic.LoadFromStream(StreamOf(Join({PngSignature(), img.Header(), Chunk("IDAT", Deflate(img.Filtered())), IEND()}))
                           .get());
    ASSERT_EQ(pic.PixelFormat(), pf32bit);
    auto canvas = Canvas24(40, 20, TColor(0x00FF00));
    pic.Draw(canvas->Canvas(), Rect(4, 2, 36, 18));  // 4x stretched
    GdiFlush();
    auto at = [&](int x, int y) {
        const uint8_t* d = static_cast<const uint8_t*>(canvas->ScanLine(y)) + 3 * x;
        return TColor(d[2] | d[1] << 8 | d[0] << 16);
    };
    EXPECT_EQ(at(6, 10), TColor(0x00FF00));   // transparent half: canvas
    EXPECT_EQ(at(33, 10), TColor(0x0000FE));  // opaque half: red, 255 * 255 >> 8
    EXPECT_EQ(at(1, 1), TColor(0x00FF00));    // outside the rectangle: untouched
    EXPECT_EQ(at(38, 10), TColor(0x00FF00));
    // The picture itself is unchanged.
    EXPECT_EQ(static_cast<const uint8_t*>(pic.ScanLine(0))[3], 0);
    EXPECT_EQ(static_cast<const uint8_t*>(pic.ScanLine(0))[4 * 7 + 3], 255);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: png_wine_tests SUITE_DIR DIGEST_FILE\n");
        return 2;
    }
    SuiteDir = argv[1];
    DigestFile = argv[2];
    ::testing::AddGlobalTestEnvironment(new PictureUnits);
    return RUN_ALL_TESTS();
}
