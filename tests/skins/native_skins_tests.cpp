// Our test skins as built: every name of the checklist (NAMES.md) present in
// each skin text, every image a value names present at a size that its image
// count, mask rows and margins fit, the image value forms each skin is meant
// to show, masked pictures keyed only outside their shapes, and the packed
// container read back by a reader of its own layout.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "FormData.h"
#include "SkinValues.h"
#include "StoredSkin.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSkins = TUVRELI_TEST_SKINS_DIR;

std::vector<uint8_t> ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Name {
    std::string Section, Key, Kind;
};

// The rows of the checklist table.
std::vector<Name> Checklist() {
    std::ifstream in(NAMES_FILE);
    std::vector<Name> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("| ", 0) != 0 || line.rfind("| Section", 0) == 0) continue;
        std::vector<std::string> cells;
        std::stringstream ss(line.substr(1));
        for (std::string c; std::getline(ss, c, '|');) {
            size_t a = c.find_first_not_of(' '), b = c.find_last_not_of(' ');
            cells.push_back(a == std::string::npos ? std::string() : c.substr(a, b - a + 1));
        }
        if (cells.size() >= 3) rows.push_back({cells[0], cells[1], cells[2]});
    }
    return rows;
}

bool HasSection(const TacIniSections& ini, const std::string& name) {
    for (const TacIniSection& s : ini)
        if (s.Name == name) return true;
    return false;
}

// Red, green and blue of every pixel, top row first, of a BMP (24-bit,
// uncompressed, as the skin art writes it) or PNG file.
struct Picture {
    int W = 0, H = 0;
    std::vector<uint8_t> Rgb;
    bool Key(int X, int Y) const {
        const uint8_t* p = &Rgb[(size_t(Y) * W + X) * 3];
        return p[0] == 255 && p[1] == 0 && p[2] == 255;
    }
};

Picture ReadPicture(const std::vector<uint8_t>& F) {
    Picture p;
    if (F.size() > 54 && F[0] == 'B' && F[1] == 'M') {
        auto u32 = [&](size_t o) { return uint32_t(F[o] | F[o + 1] << 8 | F[o + 2] << 16 | uint32_t(F[o + 3]) << 24); };
        const int32_t h = int32_t(u32(22));
        p.W = int(u32(18)), p.H = h < 0 ? -h : h;
        const size_t stride = (size_t(p.W) * 3 + 3) / 4 * 4, bits = u32(10);
        p.Rgb.resize(size_t(p.W) * p.H * 3);
        for (int y = 0; y < p.H; ++y) {
            const uint8_t* row = &F[bits + stride * size_t(h < 0 ? y : p.H - 1 - y)];
            for (int x = 0; x < p.W; ++x)
                for (int c = 0; c < 3; ++c) p.Rgb[(size_t(y) * p.W + x) * 3 + c] = row[x * 3 + 2 - c];
        }
        return p;
    }
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, F.data(), F.size())) return p;
    img.format = PNG_FORMAT_RGB;
    p.W = int(img.width), p.H = int(img.height);
    p.Rgb.resize(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, p.Rgb.data(), 0, nullptr)) p = Picture{};
    return p;
}

struct Skin {
    const char* Name;
    std::set<SkinValueForm> Forms;  // image value forms it is meant to show
};

const Skin kSkinsTable[] = {
    {"Birch", {SkinValueForm::OwnFile, SkinValueForm::PlainBmp, SkinValueForm::Jpeg}},
    {"Night", {SkinValueForm::Glyph, SkinValueForm::Border, SkinValueForm::Texture, SkinValueForm::MasterPart}},
};

class TestSkin : public ::testing::TestWithParam<Skin> {
protected:
    fs::path Dir() const { return kSkins / GetParam().Name; }
    TacIniSections Ini() const { return ReadSkinText((Dir() / "Options.dat").string()); }
};

TEST_P(TestSkin, HoldsEveryNameOfTheChecklist) {
    const TacIniSections ini = Ini();
    const std::vector<Name> names = Checklist();
    ASSERT_GT(names.size(), 150u) << "the checklist table was not read";
    for (const Name& n : names) {
        SCOPED_TRACE(n.Section + " " + n.Key);
        if (n.Section == "*") {  // a common key: in some section
            bool found = false;
            for (const TacIniSection& s : ini) found = found || SkinTextValue(ini, s.Name, n.Key, "\x01") != "\x01";
            EXPECT_TRUE(found);
            continue;
        }
        ASSERT_TRUE(HasSection(ini, n.Section));
        if (n.Key == "-") continue;
        const std::string value = SkinTextValue(ini, n.Section, n.Key, "\x01");
        ASSERT_NE(value, "\x01") << "key missing";
        if (n.Kind == "value") continue;
        const SkinImageValue v = ParseSkinImageValue(value);
        EXPECT_NE(v.Form, SkinValueForm::None) << "not an image value: " << value;
        if (n.Kind == "glyph" && v.InMaster()) {
            EXPECT_EQ(v.Form, SkinValueForm::Glyph);
        }
        if (n.Kind == "texture") {
            EXPECT_TRUE(v.ImgType == 1 || v.Form == SkinValueForm::Jpeg);
        }
        if (n.Kind == "glow") {
            EXPECT_EQ(v.ImgType, 3);
        }
    }
}

// Each image fits its value: whole cells, margins inside a cell, rectangles
// inside the master bitmap; JPEG files on both sides of the pattern size.
TEST_P(TestSkin, ImagesHaveTheSizesTheirValuesNeed) {
    const TacIniSections ini = Ini();
    int masterW = 0, masterH = 0;
    const std::string master = SkinTextValue(ini, "GLOBALINFO", "MASTERBITMAP");
    if (!master.empty()) {
        ASSERT_TRUE(SkinPictureSize(ReadBytes(Dir() / master), masterW, masterH)) << master;
    }
    std::set<SkinValueForm> forms;
    bool bigJpeg = false, smallJpeg = false;
    for (const TacIniSection& s : ini)
        for (const auto& [key, value] : SkinSectionPairs(s)) {
            if (key == "MASTERBITMAP") continue;
            SkinImageValue v = ParseSkinImageValue(value);
            if (v.Form == SkinValueForm::None) continue;
            SCOPED_TRACE(s.Name + " " + key + "=" + value);
            forms.insert(v.Form);
            int w = 0, h = 0;
            if (v.InMaster()) {
                ASSERT_GT(masterW, 0) << "a master-bitmap part without MASTERBITMAP";
                EXPECT_TRUE(v.Left >= 0 && v.Top >= 0 && v.Right <= masterW && v.Bottom <= masterH);
                w = v.Right - v.Left, h = v.Bottom - v.Top;
            } else {
                ASSERT_TRUE(fs::exists(Dir() / v.File)) << "missing " << v.File;
                ASSERT_TRUE(SkinPictureSize(ReadBytes(Dir() / v.File), w, h)) << v.File;
                if (v.Form == SkinValueForm::Jpeg) {
                    (w * h > 89999 ? bigJpeg : smallJpeg) = true;
                    continue;
                }
            }
            ASSERT_GT(v.ImageCount, 0);
            ASSERT_GT(w, 0);
            EXPECT_EQ(w % v.ImageCount, 0) << "width " << w << " is no whole number of cells";
            EXPECT_EQ(h % (v.MaskType + 1), 0) << "height " << h << " is no whole number of rows";
            ComputeSkinMargins(v, w, h);
            const int cellW = w / v.ImageCount, cellH = h / (v.MaskType + 1);
            EXPECT_LE(v.WL + v.WR, cellW);
            EXPECT_LE(v.WT + v.WB, cellH);
        }
    for (SkinValueForm f : GetParam().Forms) {
        EXPECT_TRUE(forms.count(f)) << "form " << int(f) << " unused";
    }
    if (GetParam().Forms.count(SkinValueForm::Jpeg)) {
        EXPECT_TRUE(bigJpeg && smallJpeg);
    }
}

// A masked picture keys only what lies outside its shapes: a corner piece
// gives its key pixels the parent's background, and the window region is cut
// along key runs, so every key pixel of a cell's picture must be joined to
// the cell's edge through key pixels.
TEST_P(TestSkin, MaskedPicturesAreKeyedOnlyOutsideTheirShapes) {
    const TacIniSections ini = Ini();
    const std::string masterName = SkinTextValue(ini, "GLOBALINFO", "MASTERBITMAP");
    const Picture master = masterName.empty() ? Picture{} : ReadPicture(ReadBytes(Dir() / masterName));
    int checked = 0;
    for (const TacIniSection& s : ini)
        for (const auto& [key, value] : SkinSectionPairs(s)) {
            if (key == "MASTERBITMAP") continue;
            const SkinImageValue v = ParseSkinImageValue(value);
            if (v.Form == SkinValueForm::None || v.Form == SkinValueForm::Jpeg || v.MaskType < 1) continue;
            SCOPED_TRACE(s.Name + " " + key + "=" + value);
            const Picture own = v.InMaster() ? Picture{} : ReadPicture(ReadBytes(Dir() / v.File));
            const Picture& pic = v.InMaster() ? master : own;
            ASSERT_GT(pic.W, 0);
            const int left = v.InMaster() ? v.Left : 0, top = v.InMaster() ? v.Top : 0;
            const int w = (v.InMaster() ? v.Right - v.Left : pic.W) / std::max(1, v.ImageCount);
            const int h = (v.InMaster() ? v.Bottom - v.Top : pic.H) / (v.MaskType + 1);
            for (int cell = 0; cell < std::max(1, v.ImageCount); ++cell) {
                const int x0 = left + cell * w;
                std::vector<bool> seen(size_t(w) * h, false);
                std::vector<std::pair<int, int>> todo;
                auto visit = [&](int x, int y) {
                    if (x < 0 || y < 0 || x >= w || y >= h || seen[size_t(y) * w + x] || !pic.Key(x0 + x, top + y)) return;
                    seen[size_t(y) * w + x] = true;
                    todo.push_back({x, y});
                };
                for (int x = 0; x < w; ++x) visit(x, 0), visit(x, h - 1);
                for (int y = 0; y < h; ++y) visit(0, y), visit(w - 1, y);
                while (!todo.empty()) {
                    const auto [x, y] = todo.back();
                    todo.pop_back();
                    visit(x - 1, y), visit(x + 1, y), visit(x, y - 1), visit(x, y + 1);
                }
                int inside = 0;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) inside += pic.Key(x0 + x, top + y) && !seen[size_t(y) * w + x];
                EXPECT_EQ(inside, 0) << "cell " << cell;
            }
            ++checked;
        }
    EXPECT_GT(checked, 30);
}

// Reads the container by its layout alone: magic, count, then name, size and
// one zlib stream per entry, the next entry right after the stream's end.
TEST_P(TestSkin, ContainerHoldsTheSkinFilesByteForByte) {
    const std::vector<uint8_t> c = ReadBytes(kSkins / (std::string(GetParam().Name) + ".asz"));
    ASSERT_GE(c.size(), 8u);
    ASSERT_EQ(std::string(c.begin(), c.begin() + 4), "ASzf");
    size_t pos = 4;
    auto int32 = [&] {
        EXPECT_LE(pos + 4, c.size());
        int32_t v = int32_t(c[pos] | c[pos + 1] << 8 | c[pos + 2] << 16 | uint32_t(c[pos + 3]) << 24);
        pos += 4;
        return v;
    };
    const int n = int32();
    std::map<std::string, std::vector<uint8_t>> entries;
    for (int i = 0; i < n; ++i) {
        const int len = int32();
        ASSERT_TRUE(len > 0 && pos + size_t(len) <= c.size());
        std::string name(c.begin() + long(pos), c.begin() + long(pos) + len);
        pos += size_t(len);
        const int size = int32();
        std::vector<uint8_t> data(size_t(size) + 1);
        z_stream z{};
        ASSERT_EQ(inflateInit(&z), Z_OK);
        z.next_in = const_cast<uint8_t*>(c.data() + pos);
        z.avail_in = uInt(c.size() - pos);
        z.next_out = data.data();
        z.avail_out = uInt(data.size());
        EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << name;
        EXPECT_EQ(z.total_out, uLong(size)) << name;
        pos += z.total_in;
        inflateEnd(&z);
        data.resize(size_t(size));
        entries[name] = data;
    }
    EXPECT_EQ(pos, c.size()) << "bytes after the last entry";
    const std::vector<AszEntry> files = CollectSkinFiles(Dir().string());
    EXPECT_EQ(entries.size(), files.size());
    EXPECT_TRUE(entries.count("Options.dat"));
    for (const AszEntry& f : files) {
        EXPECT_EQ(entries[f.Name], ReadBytes(Dir() / f.Name)) << f.Name;
    }
}

// The compiled form texts: "Data" carries the container unchanged; the
// collections carry one general item per section and one image or pattern
// item per image value.
TEST_P(TestSkin, StoredSkinFormsCarryTheSkin) {
    const std::string name = GetParam().Name;
    const FormObject data = ReadFormBinary(ReadBytes(kSkins / (name + "-data.bin")));
    ASSERT_EQ(data.Children.size(), 1u);
    const FormProperty* skins = data.Children[0].Find("InternalSkins");
    ASSERT_TRUE(skins && skins->Value.Items.size() == 1);
    const std::vector<uint8_t> container = ReadBytes(kSkins / (name + ".asz"));
    bool found = false;
    for (const FormProperty& p : skins->Value.Items[0])
        if (p.Name == "Data") {
            found = true;
            EXPECT_EQ(p.Value.Binary, container);
        }
    EXPECT_TRUE(found);

    const FormObject items = ReadFormBinary(ReadBytes(kSkins / (name + "-items.bin")));
    const std::vector<FormProperty>& skin = items.Children.at(0).Find("InternalSkins")->Value.Items.at(0);
    std::map<std::string, size_t> counts;
    for (const FormProperty& p : skin) counts[p.Name] = p.Value.Items.size();
    const TacIniSections ini = Ini();
    size_t images = 0;
    for (const TacIniSection& s : ini)
        for (const auto& [key, value] : SkinSectionPairs(s))
            if (key != "MASTERBITMAP" && ParseSkinImageValue(value).Form != SkinValueForm::None) ++images;
    EXPECT_EQ(counts["GeneralData"], ini.size());
    EXPECT_EQ(counts["Images"] + counts["Patterns"], images);
}

INSTANTIATE_TEST_SUITE_P(Skins, TestSkin, ::testing::ValuesIn(kSkinsTable),
                         [](const ::testing::TestParamInfo<Skin>& i) { return std::string(i.param.Name); });

}  // namespace
