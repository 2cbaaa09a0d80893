#include <gtest/gtest.h>

#include <random>

#include "BmpCodec.h"

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x)), v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

// A BMP file written by hand: header of `headerSize` bytes (40, 108 or 124),
// optional masks, palette and pixel bytes as given.
std::vector<uint8_t> MakeBmp(int w, int h, int bits, uint32_t compression, const std::vector<uint32_t>& masks,
                             const std::vector<uint32_t>& palette, const std::vector<uint8_t>& pixels,
                             uint32_t headerSize = 40) {
    std::vector<uint8_t> hdr;
    Put32(hdr, headerSize);
    Put32(hdr, uint32_t(w));
    Put32(hdr, uint32_t(h));
    Put16(hdr, 1);
    Put16(hdr, uint32_t(bits));
    Put32(hdr, compression);
    Put32(hdr, uint32_t(pixels.size()));
    Put32(hdr, 0), Put32(hdr, 0);
    Put32(hdr, uint32_t(palette.size()));
    Put32(hdr, 0);
    std::vector<uint8_t> extra;
    if (headerSize > 40) {
        for (size_t i = 0; i < 4; ++i) Put32(hdr, i < masks.size() ? masks[i] : 0);
        hdr.resize(headerSize, 0);
    } else {
        for (uint32_t m : masks) Put32(extra, m);
    }
    for (uint32_t c : palette) Put32(extra, c);
    std::vector<uint8_t> f = {'B', 'M'};
    const uint32_t off = 14 + uint32_t(hdr.size() + extra.size());
    Put32(f, off + uint32_t(pixels.size()));
    Put32(f, 0);
    Put32(f, off);
    f.insert(f.end(), hdr.begin(), hdr.end());
    f.insert(f.end(), extra.begin(), extra.end());
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

// Colour of pixel (x, y), y from the top, as blue | green << 8 | red << 16 | alpha << 24.
uint32_t PixelAt(const BmpImage& img, int x, int y) {
    const size_t stride = BmpRowBytes(img.Width, img.Layout.BitCount);
    std::vector<uint8_t> row(size_t(img.Width) * 4);
    UnpackDibRow(img.Pixels.data() + stride * size_t(img.Height - 1 - y), img.Width, img.Layout,
                 img.Palette.data(), img.Palette.size(), row.data());
    const uint8_t* p = row.data() + 4 * x;
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

}  // namespace

TEST(BmpCodec, EncodeDecodeRoundTripForEveryLayout) {
    const DibLayout layouts[] = {{1, false}, {4, false}, {8, false}, {16, false}, {16, true}, {24, false}, {32, false}};
    std::mt19937 rng(5);
    for (const DibLayout& l : layouts) {
        BmpImage img;
        img.Width = 13;  // odd width: rows need padding
        img.Height = 5;
        img.Layout = l;
        img.Palette = DefaultDibPalette(l.BitCount);
        img.Pixels.resize(BmpRowBytes(13, l.BitCount) * 5);
        for (auto& b : img.Pixels) b = uint8_t(rng());
        const std::vector<uint8_t> file = EncodeBmp(img);
        const BmpImage back = DecodeBmp(file);
        EXPECT_EQ(back.Layout, l) << l.BitCount;
        EXPECT_EQ(back.Width, 13);
        EXPECT_EQ(back.Height, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x) EXPECT_EQ(PixelAt(back, x, y), PixelAt(img, x, y)) << l.BitCount;
    }
}

TEST(BmpCodec, ThirtyTwoBitsKeepAlphaWhateverTheHeader) {
    // Plain info header: the fourth byte is alpha.
    const std::vector<uint8_t> px = {0x10, 0x20, 0x30, 0x80, 1, 2, 3, 0};
    BmpImage a = DecodeBmp(MakeBmp(2, 1, 32, 0, {}, {}, px));
    EXPECT_EQ(a.Layout.BitCount, 32);
    EXPECT_EQ(PixelAt(a, 0, 0), 0x80302010u);
    EXPECT_EQ(PixelAt(a, 1, 0), 0x00030201u);
    // V5 header with bit fields in the usual order and an alpha mask.
    BmpImage b = DecodeBmp(MakeBmp(2, 1, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000u}, {}, px, 124));
    EXPECT_EQ(PixelAt(b, 0, 0), 0x80302010u);
    // V4 header with red, green, blue, alpha stored in the opposite order.
    const std::vector<uint8_t> rgba = {0xC8, 0x30, 0x20, 0x10};  // alpha, blue, green, red
    BmpImage c = DecodeBmp(MakeBmp(1, 1, 32, 3, {0xFF000000u, 0xFF0000, 0xFF00, 0xFF}, {}, rgba, 108));
    EXPECT_EQ(c.Layout.BitCount, 32);
    EXPECT_EQ(PixelAt(c, 0, 0), 0xC8102030u);  // red 0x10, green 0x20, blue 0x30
    // Three masks after an info header, no alpha: 24 bits out.
    BmpImage d = DecodeBmp(MakeBmp(1, 1, 32, 3, {0xFF000000u, 0xFF0000, 0xFF00}, {}, rgba));
    EXPECT_EQ(d.Layout.BitCount, 24);
    EXPECT_EQ(PixelAt(d, 0, 0), 0x00102030u);
}

TEST(BmpCodec, TopDownCorePalettedAndSixteenBit) {
    // Top-down 24-bit, 1 x 2: first stored row is the top.
    const std::vector<uint8_t> rows = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0};
    BmpImage t = DecodeBmp(MakeBmp(1, -2, 24, 0, {}, {}, rows));
    EXPECT_EQ(t.Height, 2);
    EXPECT_EQ(PixelAt(t, 0, 0), 0x0000FFu);  // blue on top
    EXPECT_EQ(PixelAt(t, 0, 1), 0x00FF00u);
    // Core header (12 bytes), 8 bits, 3-byte palette entries.
    std::vector<uint8_t> f = {'B', 'M'};
    Put32(f, 0), Put32(f, 0), Put32(f, 14 + 12 + 6);
    Put32(f, 12), Put16(f, 2), Put16(f, 1), Put16(f, 1), Put16(f, 8);
    for (int v : {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}) f.push_back(uint8_t(v));
    for (int v : {1, 0, 0, 0}) f.push_back(uint8_t(v));
    BmpImage core = DecodeBmp(f);
    EXPECT_EQ(PixelAt(core, 0, 0), 0x665544u);
    EXPECT_EQ(PixelAt(core, 1, 0), 0x332211u);
    // 16 bits 5-6-5 by bit fields: pure green is 0x07E0.
    BmpImage g = DecodeBmp(MakeBmp(1, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {}, {0xE0, 0x07, 0, 0}));
    EXPECT_TRUE(g.Layout.Is565);
    EXPECT_EQ(PixelAt(g, 0, 0), 0x00FF00u);
    // 16 bits with no compression are 5-5-5: 0x7C00 is red.
    BmpImage r = DecodeBmp(MakeBmp(1, 1, 16, 0, {}, {}, {0x00, 0x7C, 0, 0}));
    EXPECT_FALSE(r.Layout.Is565);
    EXPECT_EQ(PixelAt(r, 0, 0), 0xFF0000u);
    // A short palette: indices past it read as black.
    BmpImage p = DecodeBmp(MakeBmp(2, 1, 8, 0, {}, {0xABCDEF}, {0, 7, 0, 0}));
    EXPECT_EQ(PixelAt(p, 0, 0), 0xABCDEFu);
    EXPECT_EQ(PixelAt(p, 1, 0), 0u);
}

TEST(BmpCodec, RunLengthEncodedImages) {
    // RLE8, 4 x 2: bottom row "run of 3 x index 1, absolute 1 pixel index 2"
    // is not legal (absolute needs >= 3), so use a run, end of line, delta.
    const std::vector<uint8_t> rle8 = {3, 1, 1, 2, 0, 0,     // row 0: 1 1 1 2
                                       0, 3, 2, 1, 2, 0,     // row 1: absolute 2 1 2 (padded)
                                       0, 1};                // end of bitmap
    BmpImage a = DecodeBmp(MakeBmp(4, 2, 8, 1, {}, {0x000000, 0x0000FF, 0xFF0000}, rle8));
    EXPECT_EQ(a.Layout.BitCount, 8);
    EXPECT_EQ(PixelAt(a, 0, 1), 0x0000FFu);  // bottom row is y = 1 from the top
    EXPECT_EQ(PixelAt(a, 3, 1), 0xFF0000u);
    EXPECT_EQ(PixelAt(a, 0, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(a, 1, 0), 0x0000FFu);
    EXPECT_EQ(PixelAt(a, 3, 0), 0u);  // not written
    // RLE4: a run of 4 alternating 1 and 2.
    const std::vector<uint8_t> rle4 = {4, 0x12, 0, 1};
    BmpImage b = DecodeBmp(MakeBmp(4, 1, 4, 2, {}, {0, 0x0000FF, 0x00FF00}, rle4));
    EXPECT_EQ(PixelAt(b, 0, 0), 0x0000FFu);
    EXPECT_EQ(PixelAt(b, 1, 0), 0x00FF00u);
    EXPECT_EQ(PixelAt(b, 2, 0), 0x0000FFu);
    // Runs that overshoot the picture are clipped, not written past it.
    const std::vector<uint8_t> wild = {255, 1, 0, 2, 200, 200, 255, 1, 0, 1};
    EXPECT_NO_THROW(DecodeBmp(MakeBmp(4, 2, 8, 1, {}, {0, 0xFFFFFF}, wild)));
}

TEST(BmpCodec, BadFilesRaiseInvalidGraphic) {
    const std::vector<uint8_t> px(8, 0);
    const auto good = MakeBmp(2, 1, 24, 0, {}, {}, px);
    ASSERT_NO_THROW(DecodeBmp(good));
    auto expectBad = [](std::vector<uint8_t> f, const char* what) {
        EXPECT_THROW(DecodeBmp(f), EInvalidGraphic) << what;
    };
    expectBad({}, "empty");
    expectBad(std::vector<uint8_t>(good.begin(), good.begin() + 20), "header cut");
    expectBad(std::vector<uint8_t>(good.begin(), good.end() - 1), "pixels cut");
    auto f = good;
    f[0] = 'X';
    expectBad(f, "signature");
    f = good;
    f[10] = 0xFF, f[11] = 0xFF;  // pixel offset past the end
    expectBad(f, "offset");
    expectBad(MakeBmp(0, 1, 24, 0, {}, {}, px), "zero width");
    expectBad(MakeBmp(2, 1, 7, 0, {}, {}, px), "bit count");
    expectBad(MakeBmp(2, 1, 24, 1, {}, {}, px), "RLE8 on 24 bits");
    expectBad(MakeBmp(2, 1, 24, 4, {}, {}, px), "JPEG inside");
    expectBad(MakeBmp(100000, 1, 24, 0, {}, {}, px), "huge width");
    expectBad(MakeBmp(30000, 30000, 8, 1, {}, {0}, {0, 1}), "huge RLE");
    expectBad(MakeBmp(1, 1, 32, 3, {0xF0F0, 0xFF0000, 0xFF00}, {}, {0, 0, 0, 0}), "split mask");
    f = good;
    f[14] = 200;  // header larger than the file
    expectBad(f, "header size");
}

// Random damage to valid files never crashes: either a picture or EInvalidGraphic.
TEST(BmpCodec, SurvivesDamagedFiles) {
    BmpImage img;
    img.Width = 7, img.Height = 3, img.Layout = {8, false};
    img.Palette = DefaultDibPalette(8);
    img.Pixels.assign(BmpRowBytes(7, 8) * 3, 9);
    const auto base = EncodeBmp(img);
    const std::vector<uint8_t> rle = MakeBmp(4, 2, 8, 1, {}, {0, 0xFF}, {3, 1, 0, 0, 0, 3, 1, 1, 1, 0, 0, 1});
    std::mt19937 rng(11);
    for (int round = 0; round < 4000; ++round) {
        auto f = (round & 1) ? base : rle;
        const int hits = 1 + int(rng() % 4);
        for (int k = 0; k < hits; ++k) f[rng() % f.size()] = uint8_t(rng());
        if (rng() % 4 == 0) f.resize(rng() % f.size());
        try {
            const BmpImage out = DecodeBmp(f);
            EXPECT_GE(out.Pixels.size(), BmpRowBytes(out.Width, out.Layout.BitCount) * size_t(out.Height));
        } catch (const EInvalidGraphic&) {
        }
    }
}

TEST(BmpCodec, PackingPicksTheNearestPaletteEntry) {
    const auto grey = DefaultDibPalette(8);
    const uint8_t bgra[] = {100, 100, 100, 0, 10, 20, 30, 0, 255, 255, 255, 9};
    uint8_t row[4] = {};
    PackDibRow(bgra, 3, {8, false}, grey.data(), grey.size(), row);
    EXPECT_EQ(row[0], 100);
    EXPECT_EQ(row[1], 20);  // nearest grey to (30, 20, 10) is their mean
    EXPECT_EQ(row[2], 255);
    const auto mono = DefaultDibPalette(1);
    uint8_t bits[4] = {};
    const uint8_t two[] = {250, 250, 250, 0, 5, 5, 5, 0};
    PackDibRow(two, 2, {1, false}, mono.data(), mono.size(), bits);
    EXPECT_EQ(bits[0], 0x80);
    // 24 to 32 bits and back: alpha is 0 coming from a format without it.
    const uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 0, 0};
    uint8_t out[8];
    UnpackDibRow(rgb, 2, {24, false}, nullptr, 0, out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 8), (std::vector<uint8_t>{1, 2, 3, 0, 4, 5, 6, 0}));
}
