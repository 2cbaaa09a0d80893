// Benchmark of the skin painters under Wine (not a test): the one-weight
// blend and the mix of 1024 x 768 24-bit pictures beside the platform's
// AlphaBlend of the same size, a form-sized frame by margins, a section of
// 1000 x 700 and one fade frame of a 1000 x 700 form.
//
//   skin_paint_bench_win                  over the painter tests' skin
//   skin_paint_bench_win DIR NAME...      also the "FORM" frame and section of
//                                         each skin of DIR
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "Forms.h"
#include "Guards.h"
#include "SkinFixture.h"
#include "acPNG.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"

using namespace skinfixture;

namespace {

// The fastest of the rounds: the machine is shared.
template <class F>
double Seconds(int Rounds, F&& Run) {
    Run();
    double s = 1e9;
    for (int i = 0; i < Rounds; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        Run();
        GdiFlush();
        s = std::min(s, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return s;
}

void Mpix(const char* What, int W, int H, double S) {
    std::printf("%-40s %8.0f Mpix/s %9.0f us\n", What, double(W) * H / S / 1e6, S * 1e6);
}

std::unique_ptr<TBitmap> Noise(int W, int H, TPixelFormat F) {
    std::unique_ptr<TBitmap> b(F == pf32bit ? CreateBitmap32(W, H) : CreateBitmap24(W, H));
    TacImage img = ImageOf(b.get());
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W * img.Bpp; ++x) img.View.Row(y)[x] = uint8_t((x * 31 + y * 17) >> 2);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    sAlphaGraphInitialize();
    sGraphUtilsInitialize();
    acPNGInitialize();
    const int W = 1024, H = 768;
    auto a = Noise(W, H, pf24bit), b = Noise(W, H, pf24bit), t = Noise(W, H, pf32bit), src32 = Noise(W, H, pf32bit);
    std::printf("skin painters under Wine, %d x %d:\n", W, H);
    Mpix("BlendWithBitmap (24-bit, one weight)", W, H,
         Seconds(30, [&] { BlendWithBitmap(a.get(), b.get(), 100, Rect(0, 0, W, H), Point(0, 0)); }));
    TacMixTarget target{t.get()};
    Mpix("MixBitmapsByMask (one weight)", W, H, Seconds(30, [&] { MixBitmapsByMask(target, a.get(), b.get(), 100, nullptr); }));
    auto masked = Noise(W, 2 * H, pf24bit);
    Mpix("CopyMaskedRect", W, H, Seconds(10, [&] {
             CopyMaskedRect(Rect(0, 0, W, H), Rect(0, 0, W, H), a.get(), false, EmptyCacheInfo, masked.get());
         }));
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 100, 0};
    HDC da = a->Canvas()->Handle(), db = b->Canvas()->Handle();
    Mpix("platform AlphaBlend (24-bit, constant)", W, H,
         Seconds(10, [&] { AlphaBlend(da, 0, 0, W, H, db, 0, 0, W, H, bf); }));
    BLENDFUNCTION pp{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    HDC ds = src32->Canvas()->Handle(), dt = t->Canvas()->Handle();
    Mpix("platform AlphaBlend (32-bit, per pixel)", W, H,
         Seconds(10, [&] { AlphaBlend(dt, 0, 0, W, H, ds, 0, 0, W, H, pp); }));

    TsSkinManager* m = MakeManager();
    std::unique_ptr<TBitmap> form(CreateBitmap24(1000, 700));
    const TsMaskData& frame = m->ma()[size_t(m->MaskIndex("SCROLLBTNTOP", "BORDERSMASK"))];
    const TsMaskData& track = m->ma()[size_t(m->MaskIndex("SCROLLBAR1V", "BORDERSMASK"))];
    std::printf("%-40s %9.0f us\n", "PaintImageByMargins, masked 1000 x 700",
                Seconds(10, [&] { PaintImageByMargins(form.get(), Rect(0, 0, 1000, 700), false, EmptyCacheInfo, frame, 0, false); }) * 1e6);
    std::printf("%-40s %9.0f us\n", "PaintImageByMargins, unmasked frame",
                Seconds(10, [&] { PaintImageByMargins(form.get(), Rect(0, 0, 1000, 700), false, EmptyCacheInfo, track, 0, false); }) * 1e6);
    std::printf("%-40s %9.0f us\n", "PaintImageByMargins, unmasked, filled",
                Seconds(10, [&] { PaintImageByMargins(form.get(), Rect(0, 0, 1000, 700), true, EmptyCacheInfo, track, 0, false); }) * 1e6);
    const int panel = m->SectionIndex("PANELX");
    auto parent = Noise(1000, 700, pf24bit);
    std::printf("%-40s %9.0f us\n", "PaintSectionFull 1000 x 700 (40 % clear)",
                Seconds(10, [&] {
                    PaintSectionFull(m->SectionAt(panel), MakeBitmapBackground(parent.get(), 0, 0), -1, -1, m,
                                     form.get(), Point(0, 0), Rect(0, 0, 1000, 700), 0, true);
                }) * 1e6);
    auto old = Noise(1000, 700, pf24bit), look = Noise(1000, 700, pf24bit);
    std::unique_ptr<TBitmap> frame32(CreateBitmap32(1000, 700));
    TacMixTarget ft{frame32.get()};
    WindowDC screen(nullptr);
    std::printf("%-40s %9.0f us\n", "fade frame 1000 x 700 (mix and show)",
                Seconds(20, [&] {
                    MixBitmapsByMask(ft, old.get(), look.get(), 128, nullptr);
                    BitBlt(screen.Get(), 0, 0, 1000, 700, frame32->Canvas()->Handle(), 0, 0, SRCCOPY);
                }) * 1e6);
    delete m;
    // Our skins: the form's frame by its margins and its whole section.
    for (int i = 2; i < argc; ++i) {
        TsSkinManager skin(nullptr);
        skin.SetActive(false);
        skin.SetSkinDirectory(argv[1]);
        skin.SetSkinName(argv[i]);
        skin.SetActive(true);
        const int sec = skin.SectionIndex("FORM");
        const int border = skin.MaskIndexInherited(skin.SectionAt(sec), "BORDERSMASK");
        if (!skin.IsValidSectionIndex(sec) || !skin.IsValidMaskIndex(border)) {
            std::printf("%s: no FORM section with a border\n", argv[i]);
            continue;
        }
        const TsMaskData& edge = skin.ma()[size_t(border)];
        const std::string what = std::string(argv[i]) + " FORM";
        std::printf("%-40s %9.0f us\n", (what + " frame by margins 1000 x 700").c_str(),
                    Seconds(10, [&] {
                        PaintImageByMargins(form.get(), Rect(0, 0, 1000, 700), false,
                                            MakeBitmapBackground(parent.get(), 0, 0), edge, 1, true);
                    }) * 1e6);
        std::printf("%-40s %9.0f us\n", (what + " PaintSectionFull 1000 x 700").c_str(),
                    Seconds(10, [&] {
                        PaintSectionFull(skin.SectionAt(sec), MakeBitmapBackground(parent.get(), 0, 0), -1, -1, &skin,
                                         form.get(), Point(0, 0), Rect(0, 0, 1000, 700), 0, true);
                    }) * 1e6);
    }
    return 0;
}
