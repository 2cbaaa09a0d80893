// Writes the seed corpora of the model's fuzz targets: form streams of the
// test classes, BMP files of every layout, and icon files.
#include <cstdio>
#include <fstream>
#include <string>

#include "BmpCodec.h"
#include "ModelForms.h"

using namespace model_test;

namespace {

void Save(const std::string& path, const std::vector<uint8_t>& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

BmpImage Picture(int w, int h, DibLayout layout) {
    BmpImage img;
    img.Width = w;
    img.Height = h;
    img.Layout = layout;
    if (layout.BitCount <= 8) img.Palette = DefaultDibPalette(layout.BitCount);
    const size_t stride = BmpRowBytes(w, layout.BitCount);
    img.Pixels.resize(stride * size_t(h));
    for (size_t i = 0; i < img.Pixels.size(); ++i) img.Pixels[i] = uint8_t(i * 37 + 11);
    for (int y = 0; y < h; ++y)  // padding bytes stay 0, as a writer leaves them
        for (size_t x = (size_t(w) * size_t(layout.BitCount) + 7) / 8; x < stride; ++x) img.Pixels[stride * size_t(y) + x] = 0;
    return img;
}

// An icon file holding the DIB of each picture (its BMP file without the
// 14-byte file header, height doubled for the mask).
std::vector<uint8_t> Icon(const std::vector<BmpImage>& images) {
    std::vector<std::vector<uint8_t>> dibs;
    for (const BmpImage& img : images) {
        std::vector<uint8_t> f = EncodeBmp(img);
        std::vector<uint8_t> dib(f.begin() + 14, f.end());
        const uint32_t h2 = uint32_t(img.Height * 2);
        for (int i = 0; i < 4; ++i) dib[8 + size_t(i)] = uint8_t(h2 >> (8 * i));
        dib.resize(dib.size() + BmpRowBytes(img.Width, 1) * size_t(img.Height), 0);
        dibs.push_back(std::move(dib));
    }
    std::vector<uint8_t> out = {0, 0, 1, 0, uint8_t(dibs.size()), 0};
    uint32_t offset = uint32_t(6 + 16 * dibs.size());
    for (size_t i = 0; i < dibs.size(); ++i) {
        const uint32_t n = uint32_t(dibs[i].size());
        const uint8_t e[16] = {uint8_t(images[i].Width), uint8_t(images[i].Height), 0, 0, 1, 0,
                               uint8_t(images[i].Layout.BitCount), 0,
                               uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24),
                               uint8_t(offset), uint8_t(offset >> 8), uint8_t(offset >> 16), uint8_t(offset >> 24)};
        out.insert(out.end(), e, e + 16);
        offset += n;
    }
    for (const auto& d : dibs) out.insert(out.end(), d.begin(), d.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FORM_DIR BMP_DIR ICO_DIR\n", argv[0]);
        return 2;
    }
    const std::string forms = argv[1], bmps = argv[2], icos = argv[3];
    Save(forms + "/good", WriteFormBinary(GoodTree()));
    FormObject small = GoodTree();
    small.Children[0].Children.clear();
    Save(forms + "/no-children", WriteFormBinary(small));
    Save(forms + "/empty-root", WriteFormBinary(Obj("TTestRoot", "Root", {})));

    const DibLayout layouts[] = {{1, false}, {4, false}, {8, false}, {16, false}, {16, true}, {24, false}, {32, false}};
    std::vector<BmpImage> all;
    for (const DibLayout& l : layouts) {
        all.push_back(Picture(5, 3, l));
        Save(bmps + "/bmp" + std::to_string(l.BitCount) + (l.Is565 ? "-565" : ""), EncodeBmp(all.back()));
    }
    Save(icos + "/one", Icon({Picture(16, 16, {32, false})}));
    Save(icos + "/three", Icon({Picture(16, 16, {4, false}), Picture(32, 32, {8, false}), Picture(24, 24, {24, false})}));
    return 0;
}
