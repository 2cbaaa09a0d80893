// Benchmark of the skin painters' pixel maths (not a test): one-weight
// blends, mixes and masked copies of a 1024 x 768 24-bit picture, natively,
// in million pixels a second. Run by the "bench" target after the PNG part.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "acMaskBlend.h"

namespace {

constexpr int W = 1024, H = 768;

struct Picture {
    int Bpp;
    std::vector<uint8_t> Data;
    explicit Picture(int bpp, int h = H) : Bpp(bpp), Data(size_t(W) * h * bpp) {
        for (size_t i = 0; i < Data.size(); ++i) Data[i] = uint8_t(i * 2654435761u >> 24);
    }
    TacImage Image(int h = H) {
        TacImage i;
        i.View = TacPixelView{Data.data(), ptrdiff_t(W) * Bpp, W, h};
        i.Bpp = Bpp;
        return i;
    }
};

// The fastest of 40 rounds: the machine is shared, the slow rounds measure
// the neighbours.
template <class F>
void Time(const char* What, F&& Run) {
    Run();  // warm
    double s = 1e9;
    for (int i = 0; i < 40; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        Run();
        s = std::min(s, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::printf("%-34s %8.0f Mpix/s  %7.0f us a picture\n", What, double(W) * H / s / 1e6, s * 1e6);
}

}  // namespace

int main() {
    Picture a(3), b(3), t(4), m(3), masked(3, 2 * H), dst(3);
    std::printf("skin painters, %d x %d, 24-bit:\n", W, H);
    Time("BlendWithBitmap (one weight)", [&] {
        BlendWithView(dst.Image().View, a.Image().View, 100, Rect(0, 0, W, H), Point(0, 0));
    });
    Time("MixBitmapsByMask (one weight)", [&] {
        MixViewsByMask(t.Image().View, a.Image().View, b.Image().View, 100, nullptr);
    });
    const TacPixelView mv = m.Image().View;
    Time("MixBitmapsByMask (mask)", [&] { MixViewsByMask(t.Image().View, a.Image().View, b.Image().View, 0, &mv); });
    for (bool key : {false, true})
        Time(key ? "CopyMaskedRect (mask, key tested)" : "CopyMaskedRect (mask below)", [&] {
            CopyMaskedView(dst.Image(), Rect(0, 0, W, H), masked.Image(2 * H), Rect(0, 0, W, H), H, TacBackground{},
                           false, key);
        });
    return 0;
}
