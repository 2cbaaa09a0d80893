// The PNG reader natively: the whole test suite of images against a reference
// decode, random images through every colour type, depth, filter and
// interlacing, hand-built files for every failure path, and the checksum and
// filter primitives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "PNGCraft.h"
#include "PNGOracle.h"
#include "PNGReader.h"

namespace fs = std::filesystem;

namespace {

TBytes ReadAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

struct TDecoded {
    TColorManager Manager;
    TPNGReader Reader{Manager};
    TPNGMemoryTarget Target;
    std::vector<TProgressStage> Stages;
};

// Records the progress stages of a load.
class TRecordingTarget : public TPNGMemoryTarget {
public:
    std::vector<TProgressStage> Stages;
    std::vector<std::string> Messages;
    void Progress(TProgressStage Stage, uint8_t, bool, const TRect&, const AnsiString& Msg) override {
        Stages.push_back(Stage);
        Messages.push_back(Msg);
    }
};

int FormatBits(TPixelFormat f) {
    return f == pf1bit ? 1 : f == pf4bit ? 4 : f == pf8bit ? 8 : f == pf24bit ? 24 : f == pf32bit ? 32 : 0;
}

// Decodes with our reader and compares with the reference pixel by pixel;
// returns an empty string on agreement, else what differs.
std::string CompareWithOracle(const TBytes& file) {
    TOracleImage ref = OracleDecode(file.data(), file.size());
    if (!ref.Ok) return "reference refused: " + ref.Error;
    TPNGMemoryTarget target;
    try {
        DecodeWithOurReader(file, target);
    } catch (const Exception& e) {
        return "reader failed: " + e.Message;
    }
    const TPixelView& v = target.View();
    if (v.Width != ref.Width || v.Height != ref.Height) return "size differs";
    if (FormatBits(v.PixelFormat) != ref.FormatBits)
        return "format " + std::to_string(FormatBits(v.PixelFormat)) + " instead of " + std::to_string(ref.FormatBits);
    if (uint32_t(target.Layout().TransparentColor) != ref.TransparentColor) return "transparent colour differs";
    for (uint32_t y = 0; y < v.Height; ++y)
        for (uint32_t x = 0; x < v.Width; ++x) {
            uint8_t px[4];
            target.PixelRGBA(x, y, px);
            const uint8_t* want = &ref.Rgba[(size_t(y) * v.Width + x) * 4];
            if (std::memcmp(px, want, 4) != 0) {
                char buf[160];
                std::snprintf(buf, sizeof buf, "pixel (%u,%u) is %d,%d,%d,%d, reference %d,%d,%d,%d", x, y, px[0],
                              px[1], px[2], px[3], want[0], want[1], want[2], want[3]);
                return buf;
            }
        }
    return "";
}

// Loads a file and returns the failure message with the exception's class,
// or "ok".
template <class Target = TPNGMemoryTarget>
std::string LoadResult(const TBytes& file, Target* target = nullptr, TPNGReader* reader = nullptr) {
    TColorManager cm;
    TPNGReader localReader(cm);
    Target localTarget;
    TPNGReader& r = reader ? *reader : localReader;
    Target& t = target ? *target : localTarget;
    TPNGMemorySource src(file.data(), file.size());
    try {
        r.LoadFromStream(src, t);
    } catch (const EInvalidGraphic& e) {
        return "EInvalidGraphic: " + e.Message;
    } catch (const EGraphicCompression& e) {
        return "EGraphicCompression: " + e.Message;
    } catch (const EColorConversionError& e) {
        return "EColorConversionError: " + e.Message;
    } catch (const EReadError& e) {
        return "EReadError: " + e.Message;
    } catch (const EOutOfMemory& e) {
        return "EOutOfMemory: " + e.Message;
    }
    return "ok";
}

const std::string kInvalid = "EInvalidGraphic: Cannot load image. Invalid or unexpected PNG image format.";
const std::string kCrc = "EInvalidGraphic: Cannot load image. CRC error found in PNG file.";
const std::string kColorFormat = "EInvalidGraphic: Invalid color format in PNG file.";
const std::string kPalette = "EInvalidGraphic: Cannot load image. Palette in PNG file is invalid.";
const std::string kCritical = "EInvalidGraphic: Cannot load PNG image. Unexpected but critical chunk detected.";
const std::string kExtra = "EInvalidGraphic: Cannot load image. Extra compressed data found in PNG file.";
const std::string kCompression = "EInvalidGraphic: Cannot load image. Compression error found in PNG file.";
const std::string kUnsupported =
    "EInvalidGraphic: Cannot load image. The compression scheme is not supported for PNG files.";

// A grey 8-bit image whose pixel (x, y) is x * 16 + y.
TRawImage Grey8(uint32_t w, uint32_t h) {
    TRawImage r{w, h, 8, 0};
    r.Sample = [](uint32_t x, uint32_t y, int) { return (x * 16 + y) & 0xFF; };
    return r;
}

TBytes SimplePng(const TRawImage& img, std::initializer_list<TBytes> before = {}, size_t piece = 1 << 20) {
    TBytes b = Join({PngSignature(), img.Header()});
    for (const TBytes& c : before) b = Join({b, c});
    return Join({b, IdatChunks(Deflate(img.Filtered()), piece), IEND()});
}

}  // namespace

// ---- the image suite ----------------------------------------------------------

TEST(PngSuite, EveryValidImageDecodesLikeTheReference) {
    int checked = 0;
    std::vector<std::string> failures;
    for (const auto& e : fs::directory_iterator(PNGSUITE_DIR)) {
        std::string name = e.path().filename().string();
        if (e.path().extension() != ".png" || name[0] == 'x') continue;
        std::string why = CompareWithOracle(ReadAll(e.path()));
        if (!why.empty()) failures.push_back(name + ": " + why);
        ++checked;
    }
    EXPECT_EQ(checked, 161);
    for (const std::string& f : failures) ADD_FAILURE() << f;
}

TEST(PngSuite, EveryCorruptImageIsRefusedWithItsReason) {
    const std::pair<const char*, std::string> expected[] = {
        {"xc1n0g08.png", kColorFormat}, {"xc9n2c08.png", kColorFormat},  // colour types 1 and 9
        {"xcrn0g04.png", kInvalid},     {"xlfn0g04.png", kInvalid},      // signature damaged in transfer
        {"xs1n0g01.png", kInvalid},     {"xs2n0g01.png", kInvalid},
        {"xs4n0g01.png", kInvalid},     {"xs7n0g01.png", kInvalid},
        {"xd0n2c08.png", kColorFormat}, {"xd3n2c08.png", kColorFormat},  // depths 0, 3 and 99
        {"xd9n2c08.png", kColorFormat}, {"xdtn0g01.png", kInvalid},      // no image data at all
        {"xcsn0g01.png", kCrc},         {"xhdn0g08.png", kCrc},          // checksum-only damage
    };
    int count = 0;
    for (const auto& e : fs::directory_iterator(PNGSUITE_DIR))
        if (e.path().filename().string()[0] == 'x') ++count;
    EXPECT_EQ(count, 14);
    for (const auto& [name, message] : expected) {
        TBytes file = ReadAll(fs::path(PNGSUITE_DIR) / name);
        ASSERT_FALSE(file.empty()) << name;
        EXPECT_EQ(LoadResult(file), message) << name;
        // Every prefix of a damaged file fails cleanly as well.
        for (size_t n = 0; n < file.size(); n += 7) EXPECT_NE(LoadResult(TBytes(file.begin(), file.begin() + n)), "ok");
    }
}

TEST(PngSuite, PropertiesOfTheHeaderAndGamma) {
    TBytes file = ReadAll(fs::path(PNGSUITE_DIR) / "g04n2c08.png");  // gamma 0.45
    TColorManager cm;
    TPNGReader reader(cm);
    TPNGMemorySource src(file.data(), file.size());
    ASSERT_TRUE(reader.ReadImageProperties(src));
    EXPECT_EQ(reader.ImageProperties.Width, 32u);
    EXPECT_EQ(reader.ImageProperties.ColorScheme, csRGB);
    EXPECT_EQ(reader.ImageProperties.SamplesPerPixel, 3);
    EXPECT_EQ(reader.ImageProperties.BitsPerPixel, 24);
    EXPECT_EQ(reader.ImageProperties.Compression, 2);
    EXPECT_NEAR(reader.ImageProperties.FileGamma, 0.45, 1e-6);

    file = ReadAll(fs::path(PNGSUITE_DIR) / "basi6a16.png");
    TPNGMemorySource src2(file.data(), file.size());
    ASSERT_TRUE(reader.ReadImageProperties(src2));
    EXPECT_TRUE(reader.ImageProperties.Interlaced);
    EXPECT_TRUE(reader.ImageProperties.HasAlpha);
    EXPECT_EQ(reader.ImageProperties.ColorScheme, csRGBA);
    EXPECT_EQ(reader.ImageProperties.BitsPerPixel, 64);
}

// ---- random images through every path ---------------------------------------------

TEST(PngRandom, EveryColourTypeDepthFilterAndInterlaceMatchesTheReference) {
    std::mt19937 rng(12345);
    const std::pair<uint8_t, uint8_t> formats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                                   {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    int cases = 0;
    for (auto [ctype, depth] : formats)
        for (int interlaced = 0; interlaced < 2; ++interlaced)
            for (int round = 0; round < 6; ++round) {
                uint32_t w = 1 + rng() % 37, h = 1 + rng() % 23;
                TRawImage img{w, h, depth, ctype, interlaced == 1};
                uint32_t seed = rng();
                img.Sample = [seed](uint32_t x, uint32_t y, int c) {
                    // Smooth areas and noise, so that every filter has work.
                    uint32_t v = ((x * 7 + y * 3 + c * 50) ^ (seed >> (c * 3))) + ((x * y * 2654435761u + seed) >> 20) % 5;
                    return v * 2654435761u >> 8;
                };
                if (ctype == 3) {
                    uint32_t count = 1u << depth;
                    img.Sample = [seed, count](uint32_t x, uint32_t y, int) { return (x + y * 3 + seed) % count; };
                }
                int filterMode = round % 6;  // 0..4 one filter everywhere, 5 random per row
                img.Filter = [filterMode, seed](int pass, uint32_t row) {
                    if (row == 0 && pass == 2) return 2;  // Up against the zeros above pass 2
                    return filterMode < 5 ? filterMode : int((seed >> ((row + pass) % 24)) % 5);
                };
                TBytes extra;
                if (ctype == 3) {
                    TBytes plte;
                    for (uint32_t i = 0; i < (1u << depth); ++i) {
                        plte.push_back(uint8_t(i * 37 + seed));
                        plte.push_back(uint8_t(i * 91));
                        plte.push_back(uint8_t(255 - i));
                    }
                    extra = Chunk("PLTE", plte);
                }
                TBytes gama;
                if (round % 2) {
                    TBytes g;
                    PutBE32(g, 30000 + seed % 90000);
                    gama = Chunk("gAMA", g);
                }
                TBytes file = SimplePng(img, {gama, extra}, 1 + rng() % 200);
                std::string why = CompareWithOracle(file);
                EXPECT_EQ(why, "") << "type " << int(ctype) << " depth " << int(depth) << " " << w << "x" << h
                                   << (interlaced ? " interlaced" : "") << " filters " << filterMode;
                ++cases;
            }
    EXPECT_EQ(cases, 180);
}

TEST(PngRandom, LargePicturesDecodeAcrossInflateBlocks) {
    // Wide rows and many of them: the image data span several inflate blocks
    // and hundreds of chunks, and the rows run through the long loops of the
    // filters and conversions.
    const std::pair<uint8_t, uint8_t> formats[] = {{6, 8}, {2, 8}, {0, 8}, {2, 16}, {6, 16}};
    for (auto [ctype, depth] : formats)
        for (int interlaced = 0; interlaced < 2; ++interlaced) {
            TRawImage img{701, 400, depth, ctype, interlaced == 1};
            img.Sample = [](uint32_t x, uint32_t y, int c) { return (x * (c + 1) + y * 5 + (x ^ y)) * 0x9E37u; };
            img.Filter = [](int pass, uint32_t row) { return int((row + pass) % 5); };
            EXPECT_EQ(CompareWithOracle(SimplePng(img, {}, 4096)), "") << int(ctype) << " " << int(depth) << " " << interlaced;
        }
}

// ---- hand-built files: chunk handling -------------------------------------------------

TEST(PngChunks, ChunkTypesAreMatchedWhateverTheirCase) {
    // Indexed, so that the palette and the background are acted on too.
    TRawImage img{5, 4, 8, 3};
    img.Sample = [](uint32_t x, uint32_t y, int) { return (x + y) % 3; };
    TBytes z = Deflate(img.Filtered());
    TBytes header = img.Header();
    auto file = [&](const char* ihdr, const char* plte, const char* bkgd, const char* idat, const char* iend) {
        return Join({PngSignature(), Chunk(ihdr, TBytes(header.begin() + 8, header.end() - 4)),
                     Chunk(plte, {10, 20, 30, 40, 50, 60, 70, 80, 90}), Chunk(bkgd, {2}), Chunk(idat, z),
                     Chunk(iend, {})});
    };
    TPNGMemoryTarget upper, lower, mixed;
    ASSERT_EQ(LoadResult(file("IHDR", "PLTE", "bKGD", "IDAT", "IEND"), &upper), "ok");
    EXPECT_EQ(LoadResult(file("ihdr", "plte", "bkgd", "idat", "iend"), &lower), "ok");
    EXPECT_EQ(LoadResult(file("iHdR", "PlTe", "BKGD", "IdAt", "ienD"), &mixed), "ok");
    for (const TPNGMemoryTarget* t : {&lower, &mixed}) {
        ASSERT_TRUE(t->Allocated());
        EXPECT_EQ(t->Layout().Palette, upper.Layout().Palette);
        EXPECT_EQ(t->Layout().BackgroundColor, TColor(0x5A5046));
        for (uint32_t y = 0; y < 4; ++y)
            EXPECT_EQ(0, std::memcmp(t->View().ScanLine(y), upper.View().ScanLine(y), 5)) << y;
    }
}

TEST(PngChunks, UnknownChunksAncillarySkippedCriticalRefused) {
    TRawImage img = Grey8(5, 4);
    TBytes z = Deflate(img.Filtered());
    TBytes junk = {1, 2, 3};
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("teXt", junk), Chunk("IDAT", z),
                               Chunk("zzZz", junk, true), IEND()})),
              "ok");  // ancillary chunks are skipped unread, a wrong CRC too
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("CRIT", junk), Chunk("IDAT", z), IEND()})),
              kCritical);
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", z), Chunk("LATE", junk), IEND()})),
              kCritical);
    // Image data interrupted by another chunk: the rest is no image data.
    TBytes split = Join({PngSignature(), img.Header(), Chunk("IDAT", TBytes(z.begin(), z.begin() + 5)),
                         Chunk("teXt", junk), Chunk("IDAT", TBytes(z.begin() + 5, z.end())), IEND()});
    EXPECT_EQ(LoadResult(split), "ok");
}

TEST(PngChunks, ChunksAfterTheImageDataAreReadAndCheckedButChangeNothing) {
    TRawImage img = Grey8(5, 4);
    TBytes z = Deflate(img.Filtered());
    const TBytes grey = {0, 7}, gamma = {0, 0, 0xB1, 0x8F};
    const struct {
        const char* What;
        TBytes Late;
        std::string Want;
    } cases[] = {
        {"good colour chunks", Join({Chunk("tRNS", grey), Chunk("bKGD", grey), Chunk("gAMA", gamma)}), "ok"},
        {"tRNS with a bad CRC", Chunk("tRNS", grey, true), kCrc},
        {"bKGD with a bad CRC", Chunk("bKGD", grey, true), kCrc},
        {"gAMA with a bad CRC", Chunk("gAMA", gamma, true), kCrc},
        {"PLTE of a length not a multiple of 3", Chunk("PLTE", {1, 2, 3, 4}), kPalette},
        {"a later IDAT run with a bad CRC", Join({Chunk("teXt", {1}), Chunk("IDAT", z, true)}), kCrc},
    };
    for (const auto& c : cases) {
        TPNGMemoryTarget t;
        EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", z), c.Late, IEND()}), &t), c.Want)
            << c.What;
        EXPECT_EQ(t.Layout().TransparentColor, clNone) << c.What;
    }
}

TEST(PngChunks, ImageDataInOneByteAndEmptyChunksDecodeAsOneStream) {
    TRawImage img = Grey8(9, 7);
    img.Filter = [](int, uint32_t row) { return int(row % 5); };
    TBytes z = Deflate(img.Filtered());
    TBytes bytewise;
    for (uint8_t b : z)
        bytewise = Join({bytewise, Chunk("IDAT", {}), Chunk("IDAT", {b})});  // an empty chunk before every byte
    TBytes file = Join({PngSignature(), img.Header(), bytewise, Chunk("IDAT", {}), IEND()});
    EXPECT_EQ(CompareWithOracle(file), "");
    // The checksum of an empty chunk is the one of its type alone: a wrong one fails.
    TBytes bad = Join({PngSignature(), img.Header(), Chunk("IDAT", {}, true), Chunk("IDAT", z), IEND()});
    EXPECT_EQ(LoadResult(bad), kCrc);
}

TEST(PngChunks, LengthsAreCheckedBeforeAnythingIsSkippedOrAllocated) {
    TRawImage img = Grey8(4, 4);
    TBytes good = SimplePng(img);
    EXPECT_EQ(LoadResult(good), "ok");
    size_t idatAt = 8 + 25;  // signature and IHDR chunk
    for (uint32_t length : {0x80000000u, 0xFFFFFFFFu, 0xFFFFFFF0u, 0x7FFFFFFFu, 1000u}) {
        TBytes b = good;
        b[idatAt] = uint8_t(length >> 24);
        b[idatAt + 1] = uint8_t(length >> 16);
        b[idatAt + 2] = uint8_t(length >> 8);
        b[idatAt + 3] = uint8_t(length);
        EXPECT_EQ(LoadResult(b), kInvalid) << length;
    }
    // The same for an ancillary chunk that would be skipped.
    TBytes anc = Join({PngSignature(), img.Header(), Chunk("teXt", {1})});
    anc[33] = 0xFF;
    anc[34] = 0xFF;
    anc = Join({anc, IEND()});
    EXPECT_EQ(LoadResult(anc), kInvalid);
}

TEST(PngChunks, HeaderFieldsAreChecked) {
    auto withHeader = [](const TBytes& ihdrData) {
        return Join({PngSignature(), Chunk("IHDR", ihdrData), Chunk("IDAT", Deflate({0, 0})), IEND()});
    };
    auto ihdr = [](uint32_t w, uint32_t h, uint8_t depth, uint8_t ct, uint8_t comp = 0) {
        TBytes d = IHDR(w, h, depth, ct, 0, comp);
        return TBytes(d.begin() + 8, d.end() - 4);
    };
    EXPECT_EQ(LoadResult(withHeader(ihdr(1, 1, 8, 0))), "ok");
    EXPECT_EQ(LoadResult(withHeader(ihdr(0, 1, 8, 0))), kInvalid);
    EXPECT_EQ(LoadResult(withHeader(ihdr(1, 0, 8, 0))), kInvalid);
    EXPECT_EQ(LoadResult(withHeader(ihdr(0x80000000u, 1, 8, 0))), kInvalid);
    EXPECT_EQ(LoadResult(withHeader(ihdr(1, 0x80000000u, 8, 0))), kInvalid);
    EXPECT_EQ(LoadResult(withHeader(ihdr(1, 1, 8, 0, 1))), kUnsupported);
    EXPECT_EQ(LoadResult(withHeader(ihdr(1, 1, 4, 2))), kColorFormat);
    EXPECT_EQ(LoadResult(withHeader(ihdr(1, 1, 16, 3))), kColorFormat);
    EXPECT_EQ(LoadResult(withHeader(ihdr(1, 1, 8, 5))), kColorFormat);
    TBytes longer = ihdr(1, 1, 8, 0);
    longer.push_back(0);
    EXPECT_EQ(LoadResult(withHeader(longer)), kInvalid);  // a header is 13 bytes
    EXPECT_EQ(LoadResult(withHeader(TBytes(longer.begin(), longer.begin() + 12))), kInvalid);
    // A header with a wrong checksum, and a file that is only a signature.
    TBytes bad = Join({PngSignature(), IHDR(1, 1, 8, 0)});
    bad.back() ^= 0x55;
    EXPECT_EQ(LoadResult(Join({bad, IEND()})), kCrc);
    EXPECT_EQ(LoadResult(PngSignature()), "EReadError: Stream read error");
    EXPECT_EQ(LoadResult(TBytes{}), "EReadError: Stream read error");
    // Huge pictures are refused before anything is allocated.
    EXPECT_EQ(LoadResult(withHeader(ihdr(0x7FFFFFFF, 0x7FFFFFFF, 16, 6))), "EOutOfMemory: Out of memory");
}

// ---- image data -----------------------------------------------------------------

TEST(PngImageData, EarlyEndKeepsTheBackgroundFill) {
    TRawImage img{6, 8, 8, 2};
    img.Sample = [](uint32_t x, uint32_t y, int c) { return c == 0 ? 200u : 10 * y; };
    TBytes raw = img.Filtered();
    TBytes z = Deflate(TBytes(raw.begin(), raw.begin() + (6 * 3 + 1) * 3 + 5), 0);  // 3 rows and a bit
    // zlib's stored block with no end: cut the stream so it does not end.
    z.resize(z.size() - 4);
    TBytes bkgd = {0, 1, 0, 2, 0, 3};
    TPNGMemoryTarget t;
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("bKGD", bkgd), Chunk("IDAT", z), IEND()}), &t),
              "ok");
    uint8_t px[4];
    t.PixelRGBA(0, 1, px);
    EXPECT_EQ(px[0], 200);
    EXPECT_EQ(px[1], 10);
    t.PixelRGBA(5, 7, px);
    EXPECT_EQ(px[0], 1);  // bKGD red, green, blue
    EXPECT_EQ(px[1], 2);
    EXPECT_EQ(px[2], 3);
    EXPECT_EQ(t.Layout().BackgroundColor, TColor(0x030201));
}

TEST(PngImageData, StreamEndsAndBrokenStreams) {
    TRawImage img = Grey8(5, 6);
    TBytes raw = img.Filtered();
    TBytes z = Deflate(raw);
    // The compressed stream ends after two rows, yet more image data follow.
    TBytes twoRows = Deflate(TBytes(raw.begin(), raw.begin() + 12));
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", twoRows), Chunk("IDAT", z), IEND()})),
              kExtra);
    // The stream ends in the middle of a row.
    TBytes partRow = Deflate(TBytes(raw.begin(), raw.begin() + 9));
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", partRow), Chunk("IDAT", z), IEND()})),
              kExtra);
    // Bytes after the end of the stream in the same chunk.
    TBytes tail = z;
    tail.push_back(0x42);
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", tail), IEND()})), kExtra);
    // Stream ending early with nothing after it: missing rows are no error.
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", twoRows), IEND()})), "ok");
    // Damaged deflate data.
    TBytes broken = z;
    broken[2] = 0xFF;
    broken[3] = 0xFF;
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", broken), IEND()})), kCompression);
    TBytes header = z;
    header[0] = 0x00;  // not a zlib header
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", header), IEND()})), kCompression);
    // Image data complete, more IDAT after the end: read and checked, not inflated.
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", z), Chunk("IDAT", {9, 9}), IEND()})), "ok");
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", z), Chunk("IDAT", {9}, true), IEND()})), kCrc);
    // Unknown filter types leave the row as stored.
    TBytes odd = raw;
    odd[0] = 7;
    TPNGMemoryTarget t;
    EXPECT_EQ(LoadResult(Join({PngSignature(), img.Header(), Chunk("IDAT", Deflate(odd)), IEND()}), &t), "ok");
    EXPECT_EQ(t.View().ScanLine(0)[3], raw[4]);
}

TEST(PngImageData, RowsBeforeAChunkWithABadCrcAreDecodedFirst) {
    // Stored deflate blocks, so that row r ends near byte 7 + 17 * (r + 1) of
    // the image data; chunks of 100 bytes, the fifth one damaged.
    TRawImage img = Grey8(16, 64);
    TBytes file = Join({PngSignature(), img.Header(), IdatChunks(Deflate(img.Filtered(), 0), 100), IEND()});
    file[8 + 25 + 4 * 112 + 8] ^= 1;  // past the signature, the header and four chunks
    TPNGMemoryTarget t;
    EXPECT_EQ(LoadResult(file, &t), kCrc);
    ASSERT_TRUE(t.Allocated());
    uint8_t px[4];
    for (uint32_t y = 0; y < 22; ++y) {  // complete within the four good chunks
        t.PixelRGBA(15, y, px);
        EXPECT_EQ(px[0], (15 * 16 + y) & 0xFF) << y;
    }
    t.PixelRGBA(0, 40, px);
    EXPECT_EQ(px[0], 255) << "background";
}

TEST(PngImageData, StreamStandsAfterTheEndChunkAndProgressIsReported) {
    TBytes file = Join({SimplePng(Grey8(3, 3)), TBytes{1, 2, 3, 4}});
    TColorManager cm;
    TPNGReader reader(cm);
    TRecordingTarget t;
    TPNGMemorySource src(file.data(), file.size());
    reader.LoadFromStream(src, t);
    EXPECT_EQ(src.Position(), int64_t(file.size() - 4));
    std::vector<TProgressStage> want = {psStarting, psEnding, psStarting, psRunning, psRunning, psRunning, psEnding};
    EXPECT_EQ(t.Stages, want);
    EXPECT_EQ(t.Messages[0], "Preparing...");
    EXPECT_EQ(t.Messages[2], "Transfering...");
    // After a failure the last notification is the ending one too.
    TBytes bad = SimplePng(Grey8(3, 3));
    bad[bad.size() - 20] ^= 1;  // inside the image data: CRC error
    TRecordingTarget t2;
    EXPECT_EQ(LoadResult(bad, &t2), kCrc);
    ASSERT_FALSE(t2.Stages.empty());
    EXPECT_EQ(t2.Stages.back(), psEnding);
}

// ---- palettes, transparency, background, gamma ------------------------------------------

TEST(PngColours, PaletteRules) {
    TRawImage img{4, 2, 8, 3};
    img.Sample = [](uint32_t x, uint32_t, int) { return x * 2; };  // indexes 0, 2, 4, 6
    TBytes three = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    TPNGMemoryTarget t;
    EXPECT_EQ(LoadResult(SimplePng(img, {Chunk("PLTE", three)}), &t), "ok");
    ASSERT_EQ(t.Layout().Palette.size(), 256u);
    uint8_t px[4];
    t.PixelRGBA(1, 0, px);
    EXPECT_EQ(px[0], 70);
    t.PixelRGBA(2, 0, px);  // past the palette: black, never uninitialised
    EXPECT_EQ(px[0] | px[1] | px[2], 0);
    EXPECT_EQ(LoadResult(SimplePng(img, {Chunk("PLTE", {1, 2, 3, 4})})), kPalette);
    EXPECT_EQ(LoadResult(SimplePng(img, {Chunk("PLTE", {})})), kPalette);
    EXPECT_EQ(LoadResult(SimplePng(img)), kPalette);  // indexed without a palette
    // A palette chunk in a colour picture is checked and otherwise ignored.
    EXPECT_EQ(LoadResult(SimplePng(Grey8(2, 2), {Chunk("PLTE", three)})), "ok");
    EXPECT_EQ(LoadResult(SimplePng(Grey8(2, 2), {Chunk("PLTE", {1})})), kPalette);
    // A palette after the image data is ignored.
    TBytes late = SimplePng(img, {Chunk("PLTE", three)});
    late.resize(late.size() - 12);
    late = Join({late, Chunk("PLTE", {255, 255, 255}), IEND()});
    TPNGMemoryTarget t2;
    EXPECT_EQ(LoadResult(late, &t2), "ok");
    t2.PixelRGBA(0, 0, px);
    EXPECT_EQ(px[0], 10);
    // More than 256 entries are cut to 256.
    TBytes big(300 * 3, 7);
    EXPECT_EQ(LoadResult(SimplePng(img, {Chunk("PLTE", big)})), "ok");
}

TEST(PngColours, TwoBitPicturesBecomeFourBitWithASpreadPalette) {
    TRawImage img{4, 1, 2, 3};
    img.Sample = [](uint32_t x, uint32_t, int) { return x; };
    TBytes plte = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    TPNGMemoryTarget t;
    EXPECT_EQ(LoadResult(SimplePng(img, {Chunk("PLTE", plte)}), &t), "ok");
    EXPECT_EQ(t.View().PixelFormat, pf4bit);
    ASSERT_EQ(t.Layout().Palette.size(), 16u);
    // Indexes 0..3 become 0, 5, 10, 15; entry i holds colour i * 3 div 15.
    EXPECT_EQ(t.View().ScanLine(0)[0], 0x05);
    EXPECT_EQ(t.View().ScanLine(0)[1], 0xAF);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(t.Layout().Palette[i].Red, 1 + i * 3 / 15) << i;
}

TEST(PngColours, TransparencyBackgroundAndTheirShortForms) {
    // Grey depth 2: the key is scaled to the grey palette's value (2 -> 170).
    TRawImage g2{4, 1, 2, 0};
    g2.Sample = [](uint32_t x, uint32_t, int) { return x; };
    TPNGMemoryTarget t;
    EXPECT_EQ(LoadResult(SimplePng(g2, {Chunk("tRNS", {0, 2}), Chunk("bKGD", {0, 1})}), &t), "ok");
    EXPECT_EQ(t.Layout().TransparentColor, TColor(0xAAAAAA));
    EXPECT_EQ(t.Layout().BackgroundColor, TColor(0x555555));
    // Depth 1 and 4 alike.
    TRawImage g1{2, 1, 1, 0};
    g1.Sample = [](uint32_t x, uint32_t, int) { return x; };
    EXPECT_EQ(LoadResult(SimplePng(g1, {Chunk("tRNS", {0, 1})}), &t), "ok");
    EXPECT_EQ(t.Layout().TransparentColor, TColor(0xFFFFFF));
    TRawImage g4{2, 1, 4, 0};
    g4.Sample = [](uint32_t x, uint32_t, int) { return x; };
    EXPECT_EQ(LoadResult(SimplePng(g4, {Chunk("tRNS", {0, 3})}), &t), "ok");
    EXPECT_EQ(t.Layout().TransparentColor, TColor(0x333333));
    // With a gamma the key goes through the same table as the pixels.
    TBytes gama;
    PutBE32(gama, 100000);
    EXPECT_EQ(LoadResult(SimplePng(g2, {Chunk("gAMA", gama), Chunk("tRNS", {0, 2})}), &t), "ok");
    uint8_t table[256];
    OracleGammaTable(100000, table);
    EXPECT_EQ(t.Layout().TransparentColor, TColor(table[170] * 0x010101u));
    uint8_t px[4];
    t.PixelRGBA(2, 0, px);
    EXPECT_EQ(px[0], table[170]);
    // RGB 16-bit key and background: each sample * 255 div 65535.
    TRawImage rgb{2, 2, 16, 2};
    rgb.Sample = [](uint32_t x, uint32_t, int c) { return x * 30000 + c; };
    TBytes key = {0x80, 0x00, 0xFF, 0xFF, 0x00, 0xFF};
    EXPECT_EQ(LoadResult(SimplePng(rgb, {Chunk("tRNS", key), Chunk("bKGD", key)}), &t), "ok");
    EXPECT_EQ(t.Layout().TransparentColor, TColor(0x00 << 16 | 0xFF << 8 | 0x7F));
    EXPECT_EQ(t.Layout().BackgroundColor, t.Layout().TransparentColor);
    t.PixelRGBA(1, 0, px);
    EXPECT_EQ(px[0], 30000 * 255 / 65535);
    // Chunks shorter than their fields are ignored; tRNS of other types has no effect.
    EXPECT_EQ(LoadResult(SimplePng(rgb, {Chunk("tRNS", {1, 2, 3}), Chunk("bKGD", {1}), Chunk("gAMA", {1})}), &t), "ok");
    EXPECT_EQ(t.Layout().TransparentColor, clNone);
    EXPECT_EQ(t.Layout().BackgroundColor, clWhite);
    TRawImage rgba{2, 2, 8, 6};
    rgba.Sample = [](uint32_t x, uint32_t, int c) { return x + c; };
    EXPECT_EQ(LoadResult(SimplePng(rgba, {Chunk("tRNS", key)}), &t), "ok");
    EXPECT_EQ(t.Layout().TransparentColor, clNone);
    // An indexed background is the palette entry's colour.
    TRawImage ix{2, 1, 8, 3};
    ix.Sample = [](uint32_t x, uint32_t, int) { return x; };
    EXPECT_EQ(LoadResult(SimplePng(ix, {Chunk("PLTE", {1, 2, 3, 4, 5, 6}), Chunk("bKGD", {1})}), &t), "ok");
    EXPECT_EQ(t.Layout().BackgroundColor, TColor(0x060504));
}

TEST(PngColours, GammaOfTheFile) {
    TRawImage img{1, 1, 8, 2};
    img.Sample = [](uint32_t, uint32_t, int) { return 128u; };
    TBytes gama;
    PutBE32(gama, 100000);
    TColorManager cm;
    TPNGReader reader(cm);
    TPNGMemoryTarget t;
    EXPECT_EQ(LoadResult(SimplePng(img, {Chunk("gAMA", gama)}), &t, &reader), "ok");
    uint8_t px[4];
    t.PixelRGBA(0, 0, px);
    EXPECT_EQ(px[0], 186);  // (128 / 255) ^ (1 / 2.2) * 255
    EXPECT_EQ(reader.ImageProperties.Options & 2, 2);
    // A second load into the same picture without gAMA starts afresh.
    EXPECT_EQ(LoadResult(SimplePng(img), &t, &reader), "ok");
    t.PixelRGBA(0, 0, px);
    EXPECT_EQ(px[0], 128);
    EXPECT_EQ(reader.ImageProperties.Options & 2, 0);
    EXPECT_FLOAT_EQ(reader.ImageProperties.FileGamma, 1.0f);
    gama.clear();
    PutBE32(gama, 45455);
    EXPECT_EQ(LoadResult(SimplePng(img, {Chunk("gAMA", gama)}), &t, &reader), "ok");
    EXPECT_NEAR(reader.ImageProperties.FileGamma, 0.45455, 1e-6);
    EXPECT_NEAR(1.0 / (reader.ImageProperties.FileGamma * 2.2), 1.0, 0.0001);
    // Transparency from an earlier load is gone too.
    EXPECT_EQ(LoadResult(SimplePng(img, {Chunk("tRNS", {0, 1, 0, 1, 0, 1})}), &t, &reader), "ok");
    EXPECT_NE(t.Layout().TransparentColor, clNone);
    EXPECT_EQ(LoadResult(SimplePng(img), &t, &reader), "ok");
    EXPECT_EQ(t.Layout().TransparentColor, clNone);
}

TEST(PngColours, SixteenBitAndAlphaLayouts) {
    TRawImage ga{3, 1, 16, 4};
    ga.Sample = [](uint32_t x, uint32_t, int c) { return c ? 0u : x * 30000; };
    TPNGMemoryTarget t;
    EXPECT_EQ(LoadResult(SimplePng(ga), &t), "ok");
    EXPECT_EQ(t.View().PixelFormat, pf8bit);  // alpha dropped
    EXPECT_EQ(t.View().ScanLine(0)[2], 60000 * 255 / 65535);
    TRawImage rgba{2, 1, 16, 6};
    rgba.Sample = [](uint32_t x, uint32_t, int c) { return c == 3 ? 0x8080u : 0xFFFFu * x; };
    EXPECT_EQ(LoadResult(SimplePng(rgba), &t), "ok");
    EXPECT_EQ(t.View().PixelFormat, pf32bit);
    const uint8_t* line = t.View().ScanLine(0);
    EXPECT_EQ(line[4], 255);
    EXPECT_EQ(line[7], 0x8080 * 255 / 65535);  // alpha is scaled, not gamma-corrected
}

TEST(PngColours, AllocationFailureIsCleanAndTheReaderStaysUsable) {
    TColorManager cm;
    TPNGReader reader(cm);
    TPNGMemoryTarget small(64);
    EXPECT_EQ(LoadResult(SimplePng(Grey8(100, 100)), &small, &reader), "EOutOfMemory: Out of memory");
    TPNGMemoryTarget t;
    EXPECT_EQ(LoadResult(SimplePng(Grey8(100, 100)), &t, &reader), "ok");
}

// ---- primitives ---------------------------------------------------------------------------

TEST(PngPrimitives, CrcOfTheFormat) {
    const char* text = "123456789";
    EXPECT_EQ(UpdateCrc32(0, text, 9), 0xCBF43926u);
    // Continuing equals one CRC over the joined data; no bytes change nothing.
    EXPECT_EQ(UpdateCrc32(UpdateCrc32(0, text, 4), text + 4, 5), 0xCBF43926u);
    EXPECT_EQ(UpdateCrc32(0x12345678u, text, 0), 0x12345678u);
    EXPECT_EQ(UpdateCrc32(0x12345678u, nullptr, 5), 0x12345678u);
    // Long runs are folded 64 and 16 bytes at a time, the rest by the table:
    // every length around those steps, at every alignment, whole and split.
    std::vector<uint8_t> data(5016);  // the longest run at the last offset
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 31 + 7 + (i >> 7));
    for (size_t offset = 0; offset < 16; offset += 5)
        for (size_t n : {1, 7, 8, 9, 15, 16, 17, 63, 64, 65, 79, 80, 127, 128, 129, 143, 999, 1000, 4987}) {
            const uint8_t* d = data.data() + offset;
            uint32_t want = uint32_t(crc32(0x5EED, d, uInt(n)));
            EXPECT_EQ(UpdateCrc32(0x5EED, d, n), want) << offset << " " << n;
            size_t k = n / 3;
            EXPECT_EQ(UpdateCrc32(UpdateCrc32(0x5EED, d, k), d + k, n - k), want) << offset << " " << n;
        }
}

TEST(PngPrimitives, TwoRowsUnfilterLikeOneAfterTheOther) {
    std::mt19937 rng(11);
    for (unsigned bpp = 1; bpp <= 8; ++bpp)
        for (int f0 = 0; f0 <= 4; ++f0)
            for (int f1 = 0; f1 <= 4; ++f1)
                for (size_t length : {size_t(bpp), size_t(bpp * 2), size_t(bpp * 7), size_t(bpp * 40 + 1)}) {
                    std::vector<uint8_t> rows(2 * length), prev(length);
                    for (auto& b : rows) b = uint8_t(rng());
                    for (auto& b : prev) b = uint8_t(rng());
                    std::vector<uint8_t> want = rows, got = rows;
                    TPNGReader::UnfilterPlain(uint8_t(f0), want.data(), prev.data(), bpp, length);
                    TPNGReader::UnfilterPlain(uint8_t(f1), want.data() + length, want.data(), bpp, length);
                    TPNGReader::UnfilterTwo(uint8_t(f0), uint8_t(f1), got.data(), got.data() + length, prev.data(), bpp,
                                            length);
                    EXPECT_EQ(got, want) << "bpp " << bpp << " filters " << f0 << f1 << " length " << length;
                }
}

TEST(PngPrimitives, PaethAndEveryFilterAgainstAPlainReference) {
    EXPECT_EQ(PaethPredict(10, 20, 10), 20);  // p = 20: b is exact
    EXPECT_EQ(PaethPredict(20, 10, 10), 20);
    EXPECT_EQ(PaethPredict(5, 5, 5), 5);
    EXPECT_EQ(PaethPredict(1, 2, 3), 1);      // ties go to a, then b
    EXPECT_EQ(PaethPredict(100, 0, 50), 50);  // p = 50: only c is exact
    EXPECT_EQ(PaethPredict(0, 255, 255), 0);
    std::mt19937 rng(7);
    for (unsigned bpp = 1; bpp <= 8; ++bpp)
        for (int filter = 0; filter <= 5; ++filter)
            for (size_t length : {size_t(1), size_t(bpp), size_t(bpp + 1), size_t(bpp * 5 + 1), size_t(bpp * 9), size_t(301)}) {
                std::vector<uint8_t> row(length), prev(length);
                for (auto& b : row) b = uint8_t(rng());
                for (auto& b : prev) b = uint8_t(rng());
                std::vector<uint8_t> want = row;
                for (size_t i = 0; i < length; ++i) {
                    int a = i >= bpp ? want[i - bpp] : 0, b = prev[i], c = i >= bpp ? prev[i - bpp] : 0;
                    int pred = filter == 1 ? a : filter == 2 ? b : filter == 3 ? (a + b) / 2
                               : filter == 4 ? PaethPredict(uint8_t(a), uint8_t(b), uint8_t(c)) : 0;
                    want[i] = uint8_t(want[i] + pred);
                }
                // The vector filters and the plain ones alike.
                for (auto unfilter : {&TPNGReader::Unfilter, &TPNGReader::UnfilterPlain}) {
                    std::vector<uint8_t> got = row;
                    unfilter(uint8_t(filter), got.data(), prev.data(), bpp, length);
                    EXPECT_EQ(got, want) << "bpp " << bpp << " filter " << filter << " length " << length;
                    // No previous row counts as zeros.
                    std::vector<uint8_t> zeros(length, 0), a1 = row, a2 = row;
                    unfilter(uint8_t(filter), a1.data(), nullptr, bpp, length);
                    unfilter(uint8_t(filter), a2.data(), zeros.data(), bpp, length);
                    EXPECT_EQ(a1, a2);
                }
            }
}
