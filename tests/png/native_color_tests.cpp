// The colour manager's set-up, row routines and palettes, and the inflate
// driver, natively. zlib's inflateInit_ and inflateEnd are wrapped here so
// that their failures can be provoked.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <typeinfo>
#include <string>
#include <vector>

#include "ColorManager.h"
#include "LZ77Decoder.h"
#include "PNGCraft.h"
#include "PNGReader.h"

// ---- zlib failures on demand --------------------------------------------------------

static int FailInit = 0, FailEnd = 0, EndCalls = 0;

extern "C" int inflateInit_(z_streamp strm, const char* version, int size) {
    using Fn = int (*)(z_streamp, const char*, int);
    static Fn real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "inflateInit_"));
    if (FailInit) return FailInit;
    return real(strm, version, size);
}

extern "C" int inflateEnd(z_streamp strm) {
    using Fn = int (*)(z_streamp);
    static Fn real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "inflateEnd"));
    ++EndCalls;
    int r = real(strm);
    return FailEnd ? FailEnd : r;
}

namespace {

std::vector<uint8_t> Compress(const std::vector<uint8_t>& raw) {
    uLongf n = compressBound(uLong(raw.size()));
    std::vector<uint8_t> z(n);
    compress2(z.data(), &n, raw.data(), uLong(raw.size()), 9);
    z.resize(n);
    return z;
}

template <class F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const EColorConversionError& e) {
        return "EColorConversionError: " + e.Message;
    } catch (const EGraphicCompression& e) {
        return "EGraphicCompression: " + e.Message;
    }
    return "no error";
}

const std::string kDepth = "EColorConversionError: Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
const std::string kSamples =
    "EColorConversionError: Sample count per pixel does not correspond to the given color scheme.";
const std::string kIndexed =
    "EColorConversionError: Conversion between indexed and non-indexed pixel formats is not supported.";
const std::string kNoMethod = "EColorConversionError: Color conversion failed. Could not find a proper method.";
const std::string kLZ77 = "EGraphicCompression: LZ77 decompression error.";

}  // namespace

// ---- inflate driver -----------------------------------------------------------------------

TEST(LZ77Decoder, StartAndFinishFailuresRaiseTheirException) {
    {
        TLZ77Decoder d(Z_PARTIAL_FLUSH, false);
        FailInit = Z_MEM_ERROR;
        EXPECT_EQ(MessageOf([&] { d.Start(); }), kLZ77);
        FailInit = 0;
        EXPECT_FALSE(d.Started());
        EndCalls = 0;
        d.Finish();  // never started: nothing to end, no error
        EXPECT_EQ(EndCalls, 0);
    }
    {
        TLZ77Decoder d(Z_PARTIAL_FLUSH, false);
        d.Start();
        FailEnd = Z_STREAM_ERROR;
        EXPECT_EQ(MessageOf([&] { d.Finish(); }), kLZ77);
        FailEnd = 0;
        EndCalls = 0;
    }
    EXPECT_EQ(EndCalls, 0);  // a finished stream is not ended again by the destructor
    {
        EndCalls = 0;
        FailEnd = Z_STREAM_ERROR;
        {
            TLZ77Decoder d(Z_PARTIAL_FLUSH, false);
            d.Start();
        }  // an unfinished stream is ended quietly
        FailEnd = 0;
        EXPECT_EQ(EndCalls, 1);
    }
}

TEST(LZ77Decoder, InflatesPieceByPieceAndStopsAfterTheEnd) {
    std::vector<uint8_t> raw(5000);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = uint8_t(i * i >> 3);
    std::vector<uint8_t> z = Compress(raw);
    TLZ77Decoder d(Z_PARTIAL_FLUSH, false);
    d.Start();
    std::vector<uint8_t> out(raw.size() + 10);
    uint8_t* dst = out.data();
    const uint8_t* src = z.data();
    // Seven bytes at a time; what a call leaves unread is fed again.
    while (d.ZLibResult() == Z_OK && src < z.data() + z.size()) {
        int piece = int(std::min<ptrdiff_t>(7, z.data() + z.size() - src));
        d.InflateBlock(src, dst, piece, int(out.data() + out.size() - dst));
    }
    EXPECT_EQ(d.ZLibResult(), Z_STREAM_END);
    EXPECT_EQ(size_t(dst - out.data()), raw.size());
    EXPECT_TRUE(std::equal(raw.begin(), raw.end(), out.begin()));
    EXPECT_EQ(d.AvailableOutput(), 10);
    // Once ended, further calls touch neither input nor output.
    uint8_t more[4] = {1, 2, 3, 4};
    const uint8_t* in = more;
    uint8_t* keep = dst;
    d.InflateBlock(in, dst, 4, 10);
    EXPECT_EQ(in, more);
    EXPECT_EQ(dst, keep);
    EXPECT_EQ(d.ZLibResult(), Z_STREAM_END);
    d.Finish();

    // Damaged data: the result is left to the caller.
    std::vector<uint8_t> bad = z;
    bad[0] = 0;
    TLZ77Decoder e(Z_PARTIAL_FLUSH, false);
    e.Start();
    src = bad.data();
    dst = out.data();
    e.InflateBlock(src, dst, int(bad.size()), int(out.size()));
    EXPECT_EQ(e.ZLibResult(), Z_DATA_ERROR);
    e.Finish();

    // With automatic reset every call starts a new stream.
    TLZ77Decoder r(Z_PARTIAL_FLUSH, true);
    r.Start();
    for (int round = 0; round < 2; ++round) {
        src = z.data();
        dst = out.data();
        r.InflateBlock(src, dst, int(z.size()), int(out.size()));
        EXPECT_EQ(r.ZLibResult(), Z_STREAM_END) << round;
        EXPECT_EQ(size_t(dst - out.data()), raw.size()) << round;
    }
    r.Finish();
}

TEST(LZ77Decoder, TheReaderReportsEndFailuresWithoutMaskingTheFirstError) {
    TRawImage img{3, 2, 8, 0};
    img.Sample = [](uint32_t x, uint32_t y, int) { return x + y; };
    TBytes good = Join({PngSignature(), img.Header(), Chunk("IDAT", Deflate(img.Filtered())), IEND()});
    TBytes bad = Join({PngSignature(), img.Header(), Chunk("IDAT", Deflate(img.Filtered()), true), IEND()});
    auto load = [](const TBytes& file) {
        TPNGMemoryTarget target;
        try {
            DecodeWithOurReader(file, target);
        } catch (const Exception& e) {
            return std::string(typeid(e).name()) + ": " + e.Message;
        }
        return std::string("ok");
    };
    EXPECT_EQ(load(good), "ok");
    FailEnd = Z_STREAM_ERROR;
    EndCalls = 0;
    EXPECT_EQ(load(good), std::string(typeid(EGraphicCompression).name()) + ": LZ77 decompression error.");
    EXPECT_EQ(EndCalls, 1);
    EndCalls = 0;
    EXPECT_EQ(load(bad), std::string(typeid(EInvalidGraphic).name()) + ": Cannot load image. CRC error found in PNG file.");
    EXPECT_EQ(EndCalls, 1);  // ended once, its failure dropped
    FailEnd = 0;
    FailInit = Z_VERSION_ERROR;
    EndCalls = 0;
    EXPECT_EQ(load(good), std::string(typeid(EGraphicCompression).name()) + ": LZ77 decompression error.");
    EXPECT_EQ(EndCalls, 0);  // never started, never ended
    FailInit = 0;
}

// ---- colour manager set-up ---------------------------------------------------------------------

TEST(ColorManager, DefaultsSettersAndTheirMessages) {
    TColorManager cm;
    EXPECT_EQ(cm.SourceBitsPerSample(), 8);
    EXPECT_EQ(cm.TargetSamplesPerPixel(), 3);
    EXPECT_EQ(cm.SourceScheme(), csRGB);
    EXPECT_EQ(cm.TargetScheme(), csBGR);
    EXPECT_FLOAT_EQ(cm.MainGamma(), 1.0f);
    EXPECT_FLOAT_EQ(cm.DisplayGamma(), 2.2f);
    for (uint8_t bad : {0, 17, 255}) {
        EXPECT_EQ(MessageOf([&] { cm.SetSourceBitsPerSample(bad); }), kDepth) << int(bad);
        EXPECT_EQ(MessageOf([&] { cm.SetTargetBitsPerSample(bad); }), kDepth) << int(bad);
    }
    EXPECT_EQ(cm.SourceBitsPerSample(), 8);  // a refused value is not stored
    // Depths without a row routine pass the setters; the conversion refuses them.
    uint8_t row[16] = {};
    for (uint8_t odd : {3, 5, 7, 9, 15}) {
        for (bool target : {false, true}) {
            TColorManager m;
            auto set = target ? &TColorManager::SetTargetBitsPerSample : &TColorManager::SetSourceBitsPerSample;
            EXPECT_EQ(MessageOf([&] { (m.*set)(odd); }), "no error");
            EXPECT_EQ(MessageOf([&] { m.ConvertRow(row, row, 1, 0xFF); }), kNoMethod) << int(odd) << target;
        }
    }
    for (uint8_t good : {1, 2, 4, 8, 16}) EXPECT_EQ(MessageOf([&] { cm.SetSourceBitsPerSample(good); }), "no error");
    for (uint8_t bad : {0, 5, 200}) {
        EXPECT_EQ(MessageOf([&] { cm.SetSourceSamplesPerPixel(bad); }), kSamples);
        EXPECT_EQ(MessageOf([&] { cm.SetTargetSamplesPerPixel(bad); }), kSamples);
    }
    // Indexed and non-indexed sides do not mix; grey with alpha counts as indexed.
    cm.SetSourceScheme(csG);
    cm.SetTargetScheme(csRGB);
    EXPECT_EQ(MessageOf([&] { cm.SelectConversion(); }), kIndexed);
    cm.SetSourceScheme(csRGB);
    cm.SetTargetScheme(csIndexed);
    EXPECT_EQ(MessageOf([&] { cm.SelectConversion(); }), kIndexed);
    cm.SetSourceScheme(csGA);
    cm.SetSourceBitsPerSample(8);
    cm.SetTargetBitsPerSample(8);
    EXPECT_EQ(MessageOf([&] { cm.SelectConversion(); }), "no error");
    // Schemes without a routine fail at conversion time.
    cm.SetSourceScheme(csCMY);
    cm.SetTargetScheme(csBGR);
    EXPECT_EQ(MessageOf([&] { cm.ConvertRow(row, row, 1, 0xFF); }), kNoMethod);
    cm.SetSourceScheme(csRGB);
    cm.SetTargetScheme(csCMYK);
    EXPECT_EQ(MessageOf([&] { cm.ConvertRow(row, row, 1, 0xFF); }), kNoMethod);
}

TEST(ColorManager, GammaTableAndPixelFormats) {
    TColorManager cm;
    cm.SetGamma(0, 0);
    EXPECT_FLOAT_EQ(cm.MainGamma(), 1.0f);
    EXPECT_FLOAT_EQ(cm.DisplayGamma(), 2.2f);
    EXPECT_EQ(cm.GammaTable()[128], 186);
    EXPECT_EQ(cm.GammaTable()[0], 0);
    EXPECT_EQ(cm.GammaTable()[255], 255);
    cm.SetGamma(1.0f / 2.2f, 2.2f);  // exponent 1: identity
    for (int i = 0; i < 256; ++i) EXPECT_EQ(cm.GammaTable()[i], i);
    // A 4-bit source fills the whole table, not just 0..15.
    cm.SetSourceBitsPerSample(4);
    cm.SetTargetBitsPerSample(4);
    cm.SetGamma(1.0f, 1.0f);
    EXPECT_EQ(cm.GammaTable()[15], 15);
    EXPECT_EQ(cm.GammaTable()[255], 15);
    EXPECT_EQ(cm.GammaTable()[200], 15);

    struct { uint8_t samples, bits; TPixelFormat want; } cases[] = {
        {1, 1, pf1bit}, {1, 2, pf4bit}, {1, 4, pf4bit}, {1, 8, pf8bit}, {1, 16, pf8bit}, {3, 1, pf15bit},
        {3, 4, pf15bit}, {3, 8, pf24bit}, {3, 16, pf24bit}, {4, 8, pf32bit}, {4, 16, pf32bit}, {4, 4, pfCustom},
        {2, 8, pfCustom},
    };
    for (auto c : cases) {
        cm.SetTargetSamplesPerPixel(c.samples);
        cm.SetTargetBitsPerSample(c.bits);
        EXPECT_EQ(cm.GetPixelFormat(true), c.want) << int(c.samples) << "x" << int(c.bits);
    }
    cm.SetSourceSamplesPerPixel(4);
    cm.SetSourceBitsPerSample(4);
    EXPECT_EQ(cm.GetPixelFormat(false), pfCustom);
}

// ---- row routines ----------------------------------------------------------------------------

namespace {
void Configure(TColorManager& cm, TColorScheme s, TColorScheme t, uint8_t sb, uint8_t tb, uint8_t ss, uint8_t ts) {
    cm.SetSourceScheme(s);
    cm.SetTargetScheme(t);
    cm.SetSourceBitsPerSample(sb);
    cm.SetTargetBitsPerSample(tb);
    cm.SetSourceSamplesPerPixel(ss);
    cm.SetTargetSamplesPerPixel(ts);
}
}  // namespace

TEST(ColorManager, BitRepackingAndMasks) {
    TColorManager cm;
    Configure(cm, csIndexed, csIndexed, 2, 4, 1, 1);
    uint8_t src[1] = {0x1B};  // 0, 1, 2, 3
    uint8_t dst[2] = {};
    cm.ConvertRow(src, dst, 4, 0xFF);
    EXPECT_EQ(dst[0], 0x05);
    EXPECT_EQ(dst[1], 0xAF);
    Configure(cm, csG, csG, 2, 4, 1, 1);  // grey alike
    dst[0] = dst[1] = 0;
    cm.ConvertRow(src, dst, 4, 0xFF);
    EXPECT_EQ(dst[1], 0xAF);
    // Equal depths copy the row; 1 -> 8 bits scales 1 to 255.
    Configure(cm, csG, csG, 1, 8, 1, 1);
    uint8_t bits[1] = {0xA0};
    uint8_t wide[4] = {};
    cm.ConvertRow(bits, wide, 4, 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(wide, wide + 4), (std::vector<uint8_t>{255, 0, 255, 0}));
    // Mask 0x88: pixels 0 and 4 of each group of 8; the source advances only over them.
    Configure(cm, csG, csG, 8, 8, 1, 1);
    uint8_t s8[4] = {10, 20, 30, 40};
    uint8_t t8[12];
    std::fill(t8, t8 + 12, 0xEE);
    cm.ConvertRow(s8, t8, 12, 0x88);
    EXPECT_EQ(std::vector<uint8_t>(t8, t8 + 12),
              (std::vector<uint8_t>{10, 0xEE, 0xEE, 0xEE, 20, 0xEE, 0xEE, 0xEE, 30, 0xEE, 0xEE, 0xEE}));
    // The same with 4-bit pixels sharing bytes: neighbours stay untouched.
    Configure(cm, csIndexed, csIndexed, 4, 4, 1, 1);
    uint8_t s4[1] = {0x9A};
    uint8_t t4[4] = {0x11, 0x11, 0x11, 0x11};
    cm.ConvertRow(s4, t4, 8, 0x88);
    EXPECT_EQ(std::vector<uint8_t>(t4, t4 + 4), (std::vector<uint8_t>{0x91, 0x11, 0xA1, 0x11}));
    // 16-bit indexes: copied (big-endian swapped) or scaled.
    cm.SourceOptions |= coBigEndian;
    Configure(cm, csIndexed, csIndexed, 16, 16, 1, 1);
    uint8_t s16[2] = {0x12, 0x34};
    uint8_t t16[2] = {};
    cm.ConvertRow(s16, t16, 1, 0xFF);
    EXPECT_EQ(t16[0], 0x34);
    EXPECT_EQ(t16[1], 0x12);
    Configure(cm, csIndexed, csIndexed, 16, 8, 1, 1);
    s16[0] = 0xFF;
    s16[1] = 0xFF;
    cm.ConvertRow(s16, t16, 1, 0xFF);
    EXPECT_EQ(t16[0], 255);
}

TEST(ColorManager, GreyAndColourRoutines) {
    TColorManager cm;
    cm.SourceOptions |= coBigEndian;
    // Grey with alpha, 16 -> 8: the alpha sample is stepped over.
    Configure(cm, csGA, csIndexed, 16, 8, 2, 1);
    uint8_t ga[8] = {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x00, 0x12, 0x34};
    uint8_t g8[2] = {};
    cm.ConvertRow(ga, g8, 2, 0xFF);
    EXPECT_EQ(g8[0], 255);
    EXPECT_EQ(g8[1], 0x8000 * 255 / 65535);
    // Grey 8 -> 16 scales by 65535 / 255 (little-endian target).
    Configure(cm, csG, csG, 8, 16, 1, 1);
    uint8_t one[1] = {1};
    uint8_t two[2] = {};
    cm.ConvertRow(one, two, 1, 0xFF);
    EXPECT_EQ(two[0] | two[1] << 8, 257);
    // RGB to BGR with and without gamma; alpha is copied, never corrected.
    Configure(cm, csRGBA, csBGRA, 8, 8, 4, 4);
    uint8_t rgba[4] = {128, 0, 255, 128};
    uint8_t bgra[4] = {};
    cm.ConvertRow(rgba, bgra, 1, 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(bgra, bgra + 4), (std::vector<uint8_t>{255, 0, 128, 128}));
    cm.SetGamma(1.0f, 2.2f);
    cm.TargetOptions |= coApplyGamma;
    cm.ConvertRow(rgba, bgra, 1, 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(bgra, bgra + 4), (std::vector<uint8_t>{255, 0, 186, 128}));
    cm.TargetOptions &= uint8_t(~coApplyGamma);
    // 16-bit RGB to 8-bit BGR: swapped and scaled.
    Configure(cm, csRGB, csBGR, 16, 8, 3, 3);
    uint8_t rgb16[6] = {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x01};
    uint8_t bgr[3] = {};
    cm.ConvertRow(rgb16, bgr, 1, 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(bgr, bgr + 3), (std::vector<uint8_t>{0, 127, 255}));
    // RGB to RGB keeps the order; planar sources read one address a plane.
    Configure(cm, csRGB, csRGB, 8, 8, 3, 3);
    uint8_t r[2] = {1, 2}, g[2] = {3, 4}, b[2] = {5, 6};
    const void* planes[3] = {r, g, b};
    uint8_t out[6] = {};
    cm.ConvertRow(planes, 3, out, 2, 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 6), (std::vector<uint8_t>{1, 3, 5, 2, 4, 6}));
    // A masked colour row: skipped target pixels keep their bytes, the target
    // steps over them.
    Configure(cm, csRGB, csBGR, 8, 8, 3, 3);
    uint8_t two3[6] = {1, 2, 3, 4, 5, 6};
    uint8_t wide[24];
    std::fill(wide, wide + 24, 0xEE);
    cm.ConvertRow(two3, wide, 8, 0x81);
    EXPECT_EQ(wide[0], 3);
    EXPECT_EQ(wide[3], 0xEE);
    EXPECT_EQ(wide[21], 6);
    EXPECT_EQ(wide[23], 4);
    // CMYK: clamp(C * K div 255 - C - K + 255).
    Configure(cm, csCMYK, csRGB, 8, 8, 4, 3);
    uint8_t cmyk[4] = {255, 0, 100, 0};
    uint8_t c3[3] = {};
    cm.ConvertRow(cmyk, c3, 1, 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(c3, c3 + 3), (std::vector<uint8_t>{0, 255, 155}));
    cmyk[3] = 255;  // full black ink
    cm.ConvertRow(cmyk, c3, 1, 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(c3, c3 + 3), (std::vector<uint8_t>{0, 0, 0}));
    cmyk[3] = 100;
    cm.ConvertRow(cmyk, c3, 1, 0xFF);
    EXPECT_EQ(c3[1], 155);  // 0 * 100 div 255 - 0 - 100 + 255
    EXPECT_EQ(c3[0], 0);    // 255 * 100 div 255 - 255 - 100 + 255
    // YCbCr: grey stays grey, red chroma raises red.
    Configure(cm, csYCbCr, csRGB, 8, 8, 3, 3);
    uint8_t ycc[3] = {100, 128, 128};
    cm.ConvertRow(ycc, c3, 1, 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(c3, c3 + 3), (std::vector<uint8_t>{100, 100, 100}));
    ycc[2] = 228;  // Cr + 100: red + round(1.402 * 100), green - round(0.714 * 100)
    cm.ConvertRow(ycc, c3, 1, 0xFF);
    EXPECT_EQ(c3[0], 240);
    EXPECT_NEAR(c3[1], 29, 1);
    EXPECT_EQ(c3[2], 100);
    // Lab: L 100 (255) with no chroma is white; L 0 is black.
    Configure(cm, csCIELab, csBGR, 8, 8, 3, 3);
    uint8_t lab[3] = {255, 0, 0};
    cm.ConvertRow(lab, c3, 1, 0xFF);
    EXPECT_GE(c3[0], 250);
    EXPECT_GE(c3[1], 250);
    lab[0] = 0;
    cm.ConvertRow(lab, c3, 1, 0xFF);
    EXPECT_EQ(c3[0] + c3[1] + c3[2], 0);
}

// ---- palettes -----------------------------------------------------------------------------------

TEST(ColorManager, GreyAndColourPalettes) {
    TColorManager cm;
    Configure(cm, csG, csG, 2, 4, 1, 1);
    TPaletteEntries grey = cm.CreateGrayscalePalette(false);
    ASSERT_EQ(grey.size(), 16u);
    EXPECT_EQ(grey[1].Red, 17);
    EXPECT_EQ(grey[15].Blue, 255);
    TPaletteEntries white = cm.CreateGrayscalePalette(true);
    EXPECT_EQ(white[0].Red, 255);
    EXPECT_EQ(white[15].Red, 0);
    cm.SetGamma(1.0f, 2.2f);
    cm.TargetOptions |= coApplyGamma;
    EXPECT_EQ(cm.CreateGrayscalePalette(false)[1].Green, cm.GammaTable()[17]);
    cm.TargetOptions = 0;

    // Two-bit indexes spread to the sixteen entries of the 4-bit target.
    Configure(cm, csIndexed, csIndexed, 2, 4, 1, 1);
    uint8_t plte[12] = {10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42};
    const void* src = plte;
    TPaletteEntries p = cm.CreateColorPalette(&src, 1, 0, 4, false);
    ASSERT_EQ(p.size(), 16u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(p[i].Red, 10 + 10 * (i * 3 / 15)) << i;
    EXPECT_EQ(p[5].Green, 21);
    // Swapped entries, quadruples and 16-bit big-endian planes.
    Configure(cm, csIndexed, csIndexed, 8, 8, 1, 1);
    p = cm.CreateColorPalette(&src, 1, 0, 2, true);
    EXPECT_EQ(p[0].Red, 12);
    EXPECT_EQ(p[0].Blue, 10);
    EXPECT_EQ(p.size(), 256u);  // entries the data lack are black
    EXPECT_EQ(p[200].Red | p[200].Green | p[200].Blue, 0);
    p = cm.CreateColorPalette(&src, 1, 1, 3, false);  // fourth byte skipped
    EXPECT_EQ(p[1].Red, 21);
    EXPECT_EQ(p[2].Red, 32);
    cm.SourceOptions |= coBigEndian;
    uint8_t pr[4] = {0xFF, 0xFF, 0x80, 0x00}, pg[4] = {0, 0, 0, 0}, pb[4] = {0x00, 0xFF, 0, 0};
    const void* planes[3] = {pr, pg, pb};
    p = cm.CreateColorPalette(planes, 3, 6, 2, false);
    EXPECT_EQ(p[0].Red, 255);
    EXPECT_EQ(p[0].Blue, 0);
    EXPECT_EQ(p[1].Red, 127);
    // More than 256 colours are cut to 256.
    std::vector<uint8_t> many(300 * 3, 9);
    src = many.data();
    EXPECT_EQ(cm.CreateColorPalette(&src, 1, 0, 300, false).size(), 256u);
}
