// The pictures as the programs take them: round buttons with per-pixel alpha
// at their fixed size, the icon's images and masks, the menu background.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const std::string kArt = ART_DIR;
const std::string kArtSources = ART_SOURCE_DIR;

// A folder of this process's own for the files the tools write, removed at
// exit: test runs of other build trees on the machine share the system's
// temporary folder.
const std::string& Scratch() {
    struct Folder {
        std::filesystem::path Path;
        std::string Text;
        Folder()
            : Path(std::filesystem::path(::testing::TempDir()) / ("art_tests." + std::to_string(getpid()))),
              Text(Path.string() + "/") {
            std::filesystem::create_directories(Path);
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(Path, ignored);
        }
    };
    static const Folder folder;
    return folder.Text;
}

struct Rgba {
    int w = 0, h = 0;
    bool alpha = false;
    std::vector<uint8_t> px;  // RGBA, top row first
    const uint8_t* at(int x, int y) const { return px.data() + (static_cast<size_t>(y) * w + x) * 4; }
};

Rgba ReadPng(const std::string& path) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    Rgba r;
    if (!png_image_begin_read_from_file(&img, path.c_str())) {
        ADD_FAILURE() << path << ": " << img.message;
        return r;
    }
    r.alpha = (img.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    img.format = PNG_FORMAT_RGBA;
    r.w = static_cast<int>(img.width);
    r.h = static_cast<int>(img.height);
    r.px.resize(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, r.px.data(), 0, nullptr)) {
        ADD_FAILURE() << path << ": " << img.message;
        png_image_free(&img);
        r.w = r.h = 0;
    }
    return r;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le32(const std::vector<uint8_t>& d, size_t o) {
    return d[o] | (d[o + 1] << 8) | (d[o + 2] << 16) | (uint32_t(d[o + 3]) << 24);
}
unsigned Le16(const std::vector<uint8_t>& d, size_t o) { return d[o] | (d[o + 1] << 8); }

// Disc and ball lie stacked at one place; the ball hides the disc wholly, the
// corners show the background, the rim fades instead of stepping.
TEST(RoundButtons, FixedSizeTransparentCornersSoftRimOpaqueFace) {
    for (const char* name : {"disc.png", "ball.png"}) {
        SCOPED_TRACE(name);
        const Rgba p = ReadPng(kArt + "/" + name);
        ASSERT_EQ(p.w, 80);
        ASSERT_EQ(p.h, 78);
        EXPECT_TRUE(p.alpha);
        for (int y : {0, 1, p.h - 2, p.h - 1})
            for (int x : {0, 1, p.w - 2, p.w - 1}) EXPECT_EQ(p.at(x, y)[3], 0) << x << "," << y;
        int soft = 0, opaque = 0, inside = 0;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) {
                const uint8_t a = p.at(x, y)[3];
                if (a > 0 && a < 255) ++soft;
                // The clickable shapes and the captions on the button lie within 30 pixels of the middle.
                if (std::hypot(x + 0.5 - 40, y + 0.5 - 39) < 30) {
                    ++inside;
                    if (a == 255) ++opaque;
                }
            }
        EXPECT_EQ(opaque, inside);
        EXPECT_GT(soft, 100);
    }
    // The used button must look different from the live one.
    const Rgba disc = ReadPng(kArt + "/disc.png"), ball = ReadPng(kArt + "/ball.png");
    ASSERT_EQ(disc.px.size(), ball.px.size());
    long diff = 0;
    for (int y = 30; y < 50; ++y)
        for (int x = 30; x < 50; ++x)
            for (int c = 0; c < 3; ++c) diff += std::abs(disc.at(x, y)[c] - ball.at(x, y)[c]);
    EXPECT_GT(diff / 400, 60);
}

// Three 32-bit images, each a BITMAPINFOHEADER of doubled height, bottom-up
// BGRA with straight alpha and an AND mask that agrees with it.
TEST(Icon, SixteenThirtyTwoFortyEightWithAlphaAndMask) {
    const auto d = ReadFile(kArt + "/icon.ico");
    ASSERT_GE(d.size(), 6u);
    ASSERT_EQ(Le16(d, 0), 0u);
    ASSERT_EQ(Le16(d, 2), 1u);
    ASSERT_EQ(Le16(d, 4), 3u);
    const int sizes[] = {16, 32, 48};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(sizes[i]);
        const size_t e = 6 + 16 * i;
        const int s = sizes[i];
        EXPECT_EQ(d[e], s);
        EXPECT_EQ(d[e + 1], s);
        EXPECT_EQ(Le16(d, e + 6), 32u);
        const uint32_t size = Le32(d, e + 8), off = Le32(d, e + 12);
        const uint32_t maskRow = ((s + 31) / 32) * 4;
        ASSERT_EQ(size, 40 + s * s * 4 + maskRow * s);
        ASSERT_LE(uint64_t(off) + size, d.size());
        EXPECT_EQ(Le32(d, off), 40u);
        EXPECT_EQ(Le32(d, off + 4), uint32_t(s));
        EXPECT_EQ(Le32(d, off + 8), uint32_t(2 * s));
        EXPECT_EQ(Le16(d, off + 14), 32u);
        const size_t pix = off + 40, mask = pix + size_t(s) * s * 4;
        int clear = 0, solid = 0, mismatched = 0;
        for (int row = 0; row < s; ++row)
            for (int x = 0; x < s; ++x) {
                const uint8_t a = d[pix + (size_t(row) * s + x) * 4 + 3];
                const bool masked = d[mask + row * maskRow + x / 8] & (0x80 >> (x % 8));
                if (a == 0) ++clear;
                if (a == 255) ++solid;
                if (masked != (a == 0)) ++mismatched;
            }
        EXPECT_EQ(mismatched, 0);
        EXPECT_GT(clear, 0);                // a shape, not a square
        EXPECT_GT(solid, s * s / 3);
        // Bottom-up: the screen (wide, at the top) is stored last, the narrow stand first.
        auto solidRows = [&](int from, int to) {
            int n = 0;
            for (int row = from; row < to; ++row)
                for (int x = 0; x < s; ++x) n += d[pix + (size_t(row) * s + x) * 4 + 3] == 255;
            return n;
        };
        EXPECT_GT(solidRows(s - s / 3, s), solidRows(0, s / 3));
    }
}

// Decoded by the JPEG library's own tool at the menu's client size; the board
// behind the buttons' captions (red on yellow shadow) stays light.
TEST(MenuBackground, DecodesAtClientSizeWithLightCaptionBoard) {
    const std::string ppm = Scratch() + "menu_bg.ppm";
    const std::string cmd = std::string(DJPEG_EXE) + " -pnm -outfile '" + ppm + "' '" + kArt + "/menu_bg.jpg'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const auto d = ReadFile(ppm);
    std::remove(ppm.c_str());
    const std::string head = "P6\n992 666\n255\n";
    ASSERT_GE(d.size(), head.size());
    ASSERT_EQ(std::string(d.begin(), d.begin() + head.size()), head);
    ASSERT_EQ(d.size(), head.size() + 992u * 666 * 3);
    const uint8_t* px = d.data() + head.size();
    auto luma = [&](int x, int y) {
        const uint8_t* p = px + (size_t(y) * 992 + x) * 3;
        return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    };
    // Where the captions "1".."3" and the three game names are written.
    const int boxes[][4] = {{560, 320, 806, 352}, {560, 440, 823, 472}, {560, 560, 783, 592}};
    for (const auto& b : boxes) {
        double sum = 0, lo = 255;
        int n = 0;
        for (int y = b[1]; y < b[3]; ++y)
            for (int x = b[0]; x < b[2]; ++x) {
                const double l = luma(x, y);
                sum += l, ++n;
                if (l < lo) lo = l;
            }
        EXPECT_GT(sum / n, 200.0) << b[0] << "," << b[1];
        EXPECT_GT(lo, 150.0) << b[0] << "," << b[1];
    }
}

// The sorting game's device pictures share one size; their background stays
// transparent, so the group boxes show through.
TEST(DevicePictures, FullSizeWithTransparentBackground) {
    int seen = 0;
    for (const auto& e : std::filesystem::directory_iterator(kArtSources)) {
        const std::string f = e.path().filename().string();
        if (f.rfind("sort_", 0) != 0 || f == "sort_deco.svg" || e.path().extension() != ".svg") continue;
        const std::string png = f.substr(0, f.size() - 4) + ".png";
        SCOPED_TRACE(png);
        ++seen;
        const Rgba p = ReadPng(kArt + "/" + png);
        ASSERT_EQ(p.w, 240);
        ASSERT_EQ(p.h, 210);
        EXPECT_TRUE(p.alpha);
        for (int y : {0, p.h - 1})
            for (int x : {0, p.w - 1}) EXPECT_EQ(p.at(x, y)[3], 0);
        int solid = 0;
        for (size_t i = 3; i < p.px.size(); i += 4) solid += p.px[i] == 255;
        EXPECT_GT(solid, p.w * p.h / 8);  // a drawing, not a blank sheet
    }
    EXPECT_GE(seen, 14);
}

// Each further rendering named in sizes.txt fits its box, touches it on one
// side and keeps the proportions of the full picture.
TEST(FurtherSizes, FittedWithProportionsKept) {
    std::ifstream in(kArtSources + "/sizes.txt");
    ASSERT_TRUE(in.good());
    std::string line;
    int seen = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        std::string name, out;
        int w = 0, h = 0;
        ASSERT_TRUE(f >> name >> out >> w >> h) << line;
        SCOPED_TRACE(out);
        ++seen;
        const Rgba full = ReadPng(kArt + "/" + name + ".png"), small = ReadPng(kArt + "/" + out);
        ASSERT_GT(full.w, 0);
        ASSERT_GT(small.w, 0);
        EXPECT_TRUE(small.alpha);
        EXPECT_LE(small.w, w);
        EXPECT_LE(small.h, h);
        EXPECT_TRUE(small.w == w || small.h == h);
        // Rounding to whole pixels moves the ratio by at most one pixel.
        EXPECT_LE(std::abs(small.w * full.h - small.h * full.w), std::max(full.w, full.h));
    }
    EXPECT_GT(seen, 0);
}

// The packer refuses what no icon can hold and leaves no file behind.
TEST(Artpack, RejectsMissingAndOversizedPictures) {
    const std::string dir = Scratch();
    const std::string out = dir + "art_test_bad.ico";
    std::remove(out.c_str());
    std::string cmd = std::string(ARTPACK_EXE) + " ico '" + out + "' '" + dir + "no_such_picture.png' 2>/dev/null";
    EXPECT_NE(std::system(cmd.c_str()), 0);
    const std::string big = dir + "art_test_big.png";
    const std::string render = std::string(ARTPACK_EXE) + " ppm '" + kArt + "/disc.png' '" + dir + "art_test_disc.ppm'";
    EXPECT_EQ(std::system(render.c_str()), 0);
    const auto ppm = ReadFile(dir + "art_test_disc.ppm");
    const std::string head = "P6\n80 78\n255\n";
    ASSERT_GE(ppm.size(), head.size());
    EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + head.size()), head);
    EXPECT_EQ(ppm.size(), head.size() + 80u * 78 * 3);
    // Transparent corners flatten to white.
    EXPECT_EQ(ppm[head.size()], 255);
    std::remove((dir + "art_test_disc.ppm").c_str());
    // 300 pixels wide: more than an icon directory can state.
    {
        png_image img;
        std::memset(&img, 0, sizeof img);
        img.version = PNG_IMAGE_VERSION;
        img.width = 300;
        img.height = 20;
        img.format = PNG_FORMAT_RGBA;
        std::vector<uint8_t> px(PNG_IMAGE_SIZE(img), 200);
        ASSERT_TRUE(png_image_write_to_file(&img, big.c_str(), 0, px.data(), 0, nullptr));
    }
    cmd = std::string(ARTPACK_EXE) + " ico '" + out + "' '" + big + "' 2>/dev/null";
    EXPECT_NE(std::system(cmd.c_str()), 0);
    EXPECT_FALSE(std::ifstream(out).good());
    std::remove(big.c_str());
}

}  // namespace
