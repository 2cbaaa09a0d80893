// Bench of skinned forms under Wine (not a test): one full non-client paint
// and one client background paint of a 1000 x 700 form skinned with each of
// our skins, beside an unskinned form's WM_NCPAINT; then scripted caption and
// border drags of a skinned form, counting the frames whose work in the
// form's window procedure took over 16 ms.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Guards.h"
#include "SkinFormsHost.h"

using namespace skinforms;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration D) { return std::chrono::duration<double, std::milli>(D).count(); }

// The fastest of the rounds (the machine is shared), in ms.
template <class F>
double Best(int Rounds, F&& Run) {
    Run();
    double best = 1e9;
    for (int i = 0; i < Rounds; ++i) {
        const auto t0 = Clock::now();
        Run();
        GdiFlush();
        best = std::min(best, Ms(Clock::now() - t0));
    }
    return best;
}

// Work time of the form's window procedure, cut into frames at each
// WM_WINDOWPOSCHANGED.
struct FrameMeter {
    TForm* Form = nullptr;
    TWndMethod Prev;
    std::vector<double> Frames{0.0};
    int Depth = 0;
    void Install(TForm* F) {
        Form = F;
        Prev = F->WindowProc;
        F->WindowProc = TWndMethod::Of<&FrameMeter::Proc>(this);
    }
    void Remove() { Form->WindowProc = Prev; }
    void Proc(TMessage& M) {
        if (M.Msg == WM_WINDOWPOSCHANGED && Depth == 0) Frames.push_back(0.0);
        const auto t0 = Clock::now();
        ++Depth;
        Prev(M);
        --Depth;
        if (Depth == 0) Frames.back() += Ms(Clock::now() - t0);
    }
    int Over(double Limit) const { return int(std::count_if(Frames.begin(), Frames.end(), [&](double f) { return f > Limit; })); }
    double Worst() const { return *std::max_element(Frames.begin(), Frames.end()); }
};

void Drags(TsSkinProvider* P) {
    HWND h = P->Form()->Handle();
    for (TsResizeMode mode : {rmStandard, rmBorder}) {
        P->SetResizeMode(mode);
        FrameMeter meter;
        meter.Install(P->Form());
        RECT w{};
        GetWindowRect(h, &w);
        const int cy = w.top + P->SysBorderHeight() + P->CaptionHeight() / 2;
        Drag(POINT{w.left + 200, cy}, POINT{w.left + 320, cy + 80}, 40, 16);
        GetWindowRect(h, &w);
        const int y = (w.top + w.bottom) / 2;
        Drag(POINT{w.right - 2, y}, POINT{w.right - 162, y}, 40, 16);
        GetWindowRect(h, &w);
        Drag(POINT{w.right - 2, y}, POINT{w.right + 158, y}, 40, 16);
        meter.Remove();
        std::printf("  drags (%s): %d frames, %d over 16 ms, worst %.1f ms\n", mode == rmStandard ? "system" : "outline",
                    int(meter.Frames.size()), meter.Over(16.0), meter.Worst());
    }
}

}  // namespace

int main() {
    StartUnits();
    TForm* plain = MakeForm(40, 40, 1000, 700, "Unskinned");
    plain->Show();
    Pump(300);
    HWND ph = plain->Handle();
    const double unskinned = Best(20, [&] { SendMessageW(ph, WM_NCPAINT, 1, 0); });
    std::printf("unskinned form, WM_NCPAINT: %.3f ms\n", unskinned);
    delete plain;
    for (const char* skin : {"Birch", "Night"}) {
        TsSkinManager* m = MakeManager(nullptr, skin);
        TForm* f = MakeForm(40, 40, 1000, 700, "Skinned");
        auto* p = new TsSkinProvider(f);
        f->Show();
        Pump(400);
        HWND h = f->Handle();
        const double nc = Best(20, [&] {
            p->InvalidateCache();
            SendMessageW(h, WM_NCPAINT, 1, 0);
        });
        const double copy = Best(20, [&] { SendMessageW(h, WM_NCPAINT, 1, 0); });
        RECT c{};
        GetClientRect(h, &c);
        WindowDC screen(nullptr);
        MemoryDC mem(screen.Get());
        BitmapHandle bmp(CreateCompatibleBitmap(screen.Get(), c.right, c.bottom));
        SelectGuard sel(mem.Get(), bmp.Get());
        const double client = Best(20, [&] { p->PaintClientBackground(mem.Get(), false); });
        std::printf("%s, 1000 x 700: full non-client paint %.3f ms (%.1f x unskinned), frame copy only %.3f ms, "
                    "client background %.3f ms\n",
                    skin, nc, nc / std::max(unskinned, 1e-3), copy, client);
        Drags(p);
        delete f;
        delete m;
        Pump(100);
    }
    StopUnits();
    return 0;
}
