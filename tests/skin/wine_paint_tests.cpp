// The skin painters on real bitmaps and windows under Wine: section
// backgrounds against the portable core's reference, keyed corners, text
// outlines, border frames, control trees, the fade, the glow window and the
// skinned scroll bar, all over the one in-memory test skin.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <memory>

#include "ExtControls.h"
#include "Forms.h"
#include "SkinFixture.h"
#include "TestSupport.h"
#include "acGlow.h"
#include "sAlphaGraph.h"
#include "sCommonData.h"
#include "sControlUtils.h"
#include "Guards.h"
#include "sScrollBar.h"
#include "sSkinnedForms.h"

using namespace skinfixture;

namespace {

uint32_t Rgb(TBitmap* B, int X, int Y) {
    GdiFlush();
    const uint8_t* p = ImageOf(B).At(X, Y);
    return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
}

struct Painters : ::testing::Test {
    TsSkinManager* M = nullptr;
    void SetUp() override {
        sGraphUtilsInitialize();
        sControlUtilsInitialize();
        M = MakeManager();
    }
    void TearDown() override {
        delete M;
        sGraphUtilsFinalize();
    }
    int S(const char* Name) { return M->SectionIndex(Name); }
};

// A parent picture with a different colour in every pixel.
std::unique_ptr<TBitmap> Gradient(int W, int H) {
    std::unique_ptr<TBitmap> b(CreateBitmap24(W, H));
    TacImage img = ImageOf(b.get());
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t* p = img.At(x, y);
            p[0] = uint8_t(x * 7), p[1] = uint8_t(y * 5), p[2] = uint8_t(x + y);
        }
    return b;
}

// A real left click at a screen point, through the system's input queue.
void RealClick(int X, int Y) {
    SetCursorPos(X, Y);
    Pump(20);
    INPUT down{}, up{};
    down.type = up.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    // Both in one go: the system's scroll bar tracks a press in a modal loop
    // of its own, which must find the release already queued.
    testwin::SendInputs({down, up});
}

}  // namespace

TEST_F(Painters, SectionBackgroundsMatchThePortableReference) {
    auto parent = Gradient(60, 40);
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(30, 20));
    // 40 % transparent over the parent's picture at (10, 5).
    PaintSectionBG(M->SectionAt(S("PANELX")), MakeBitmapBackground(parent.get(), 0, 0), TransparentKeyColor, -1, -1, M,
                   bmp.get(), Point(10, 5), Rect(0, 0, 30, 20), false);
    {
        std::vector<uint8_t> under(30 * 20 * 3), face(30 * 20 * 3);
        TacImage u, f;
        u.View = TacPixelView{under.data(), 90, 30, 20};
        f.View = TacPixelView{face.data(), 90, 30, 20};
        CopyBlockView(u, 0, 0, ImageOf(parent.get()), 10, 5, 30, 20);
        BlendRectWithColorView(f.View, Rect(0, 0, 30, 20), 0, PanelColor);
        BlendWithView(u.View, f.View, PercentToWeight(40), Rect(0, 0, 30, 20), Point(0, 0));
        int differ = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                const uint8_t* p = u.At(x, y);
                differ += Rgb(bmp.get(), x, y) != (uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16);
            }
        EXPECT_EQ(differ, 0);
    }
    // Texture 30 %, gradient 50 %: the gradient over the tiled texture with the
    // texture at 30 %, then 20 % of the colour.
    {
        const int tex = S("TEXTUREX");
        PaintSectionBG(M->SectionAt(tex), CacheInfo{nullptr, 0, 0, TransparentKeyColor, false}, TransparentKeyColor,
                       -1, -1, M, bmp.get(), Point(0, 0), Rect(0, 0, 30, 20), false);
        std::vector<uint8_t> tiled(30 * 20 * 3), grad(30 * 20 * 3);
        TacImage t, g;
        t.View = TacPixelView{tiled.data(), 90, 30, 20};
        g.View = TacPixelView{grad.data(), 90, 30, 20};
        const TacImage master = ImageOf(M->MasterBitmap());
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) std::memcpy(t.At(x, y), master.At(x % 12, y % 12), 3);
        BlendRectWithColorView(g.View, Rect(0, 0, 30, 20), 0, GradientColor);
        BlendWithView(t.View, g.View, PercentToWeight(30), Rect(0, 0, 30, 20), Point(0, 0));
        BlendRectWithColorView(t.View, Rect(0, 0, 30, 20), 80, PanelColor);
        int differ = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                const uint8_t* p = t.At(x, y);
                differ += Rgb(bmp.get(), x, y) != (uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16);
            }
        EXPECT_EQ(differ, 0);
    }
    struct Case {
        const char* What;
        const char* Section;
        CacheInfo Parent;
        TColor Custom;
        uint32_t Want;
    } cases[] = {
        {"fully transparent over a parent colour", "CLEARX", CacheInfo{nullptr, 0, 0, 0x123456, false},
         TransparentKeyColor, 0x123456},
        {"fully transparent with no parent", "CLEARX", CacheInfo{nullptr, 0, 0, TransparentKeyColor, false},
         TransparentKeyColor, 0xFF00FF},
        {"a custom colour", "PANELX", CacheInfo{nullptr, 0, 0, 0x123456, false}, 0x00AA00, 0x00AA00},
        // 40 % of the parent's colour blended into the section's own.
        {"40 % transparent over a parent colour", "PANELX", CacheInfo{nullptr, 0, 0, 0x123456, false},
         TransparentKeyColor, 0x0715BB},
        {"40 % transparent with no parent", "PANELX", CacheInfo{nullptr, 0, 0, TransparentKeyColor, false},
         TransparentKeyColor, 0xFF00FF},
    };
    for (const Case& c : cases) {
        PaintSectionBG(M->SectionAt(S(c.Section)), c.Parent, c.Custom, -1, -1, M, bmp.get(), Point(0, 0),
                       Rect(0, 0, 30, 20), false);
        EXPECT_EQ(Rgb(bmp.get(), 15, 10), c.Want) << c.What;
    }
}

// The colour step of the variant painted over a cache: an unready parent
// gives its colour only to a wholly transparent section.
TEST_F(Painters, OverACacheOnlyAWhollyTransparentSectionTakesTheParentsColour) {
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(30, 20));
    const struct {
        const char* Section;
        uint32_t Want;
    } cases[] = {{"PANELX", PanelColor}, {"CLEARX", 0x123456}};
    for (const auto& c : cases) {
        PaintSectionBGOverCache(M->SectionAt(S(c.Section)), -1, -1, M, bmp.get(), Point(0, 0), Rect(0, 0, 30, 20),
                                false, CacheInfo{nullptr, 0, 0, 0x123456, false});
        EXPECT_EQ(Rgb(bmp.get(), 15, 10), c.Want) << c.Section;
    }
}

// A provider's skin state has no owner control: its custom colour is its
// form's, and replaces a texture and gradient as it does a plain colour.
TEST_F(Painters, AProvidersCustomColourIsItsFormsOverATexturedSection) {
    struct Provider : TPersistent, TacFormProvider {
        TForm* Form = nullptr;
        TsCommonData* SkinData() const override { return nullptr; }
        bool DrawNonClientArea() const override { return true; }
        void UpdateRegionRects() override {}
        void UpdateWindowRegion() override {}
        TForm* ProviderForm() const override { return Form; }
    } provider;
    std::unique_ptr<TForm> form(new TForm(nullptr));
    form->SetColor(0x00AA00);
    provider.Form = form.get();
    TsCommonData data(&provider, false);
    data.SetSkinSection("TEXTUREX");
    ASSERT_GE(data.SkinSectionNo, 0);
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(30, 20));
    for (const bool custom : {false, true}) {
        data.SetCustomColor(custom);
        PaintControlSectionBG(&data, CacheInfo{nullptr, 0, 0, TransparentKeyColor, false}, false, bmp.get(),
                              Point(0, 0), Rect(0, 0, 30, 20));
        EXPECT_EQ(Rgb(bmp.get(), 15, 10) == 0x00AA00u, custom) << custom;
    }
}

// Command 12 marks a see-through section's image stale only with its
// argument 1.
TEST_F(Painters, ATransparencyChangeTakesEffectOnlyWithArgumentOne) {
    TsCommonData data(nullptr, false);
    data.SetSkinSection("PANELX");
    ASSERT_TRUE(data.HasTransparency());
    for (const uint16_t arg : {0, 2, 1}) {
        data.BackgroundDirty = false;
        TMessage m{SM_ALPHACMD, WPARAM(SkinWParam(scTransparentChanged, arg)), 0, 0};
        data.HandleEngineCommand(m);
        EXPECT_EQ(data.BackgroundDirty, arg == 1) << arg;
    }
}

TEST_F(Painters, ImagesByMarginsShowTheBackgroundInKeyedCornersAndMaskedEdges) {
    auto parent = Gradient(60, 40);
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(40, 30));
    const TsMaskData& track = M->ma()[size_t(M->MaskIndex("SCROLLBAR1V", "BORDERSMASK"))];
    PaintImageByMargins(bmp.get(), Rect(0, 0, 40, 30), true, MakeBitmapBackground(parent.get(), 4, 2), track, 1, true);
    EXPECT_EQ(Rgb(bmp.get(), 0, 0), Rgb(parent.get(), 4, 2));  // the key pixel
    EXPECT_EQ(Rgb(bmp.get(), 1, 0), uint32_t(TrackEdge));
    EXPECT_EQ(Rgb(bmp.get(), 20, 15), uint32_t(TrackFace + 1));  // state 1's centre, tiled
    // A masked image: the white ring lets the destination through.
    const TsMaskData& button = M->ma()[size_t(M->MaskIndex("SCROLLBTNTOP", "BORDERSMASK"))];
    FillRectOnDC(bmp->Canvas()->Handle(), Rect(0, 0, 40, 30), 0x00FF00);
    PaintImageByMargins(bmp.get(), Rect(0, 0, 40, 30), true, EmptyCacheInfo, button, 0, false);
    EXPECT_EQ(Rgb(bmp.get(), 5, 5), uint32_t(ButtonFace));
    EXPECT_EQ(Rgb(bmp.get(), 0, 0) & 0x00FF00, 0x00FE00u);  // (d * 255 + s) >> 8 keeps the green
}

TEST_F(Painters, TextOutlinesComeInFourColours) {
    TsSkinTables t = Tables();
    TsGeneralData& s = t.Sections[0];
    s.FontColor[0] = 0xFFFFFF;
    s.FontColor[1] = 0x0000FF, s.FontColor[2] = 0x00FF00, s.FontColor[3] = 0xFF0000, s.FontColor[4] = 0x00FFFF;
    M->InstallSkin(std::move(t), TsSkinValues{}, MasterBitmap());
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(120, 40));
    FillRectOnDC(bmp->Canvas()->Handle(), Rect(0, 0, 120, 40), clBlack);
    bmp->Canvas()->Font()->SetSize(16);
    WriteSectionTextEx(bmp->Canvas(), "HIH", true, M, false, 0, DT_SINGLELINE | DT_CENTER | DT_VCENTER,
                       Rect(0, 0, 120, 40));
    // Each outline side shows in its own colour (fonts are smoothed: by the
    // colour's dominant channels, not exact values).
    auto is = [](uint32_t c, bool r, bool g, bool b) {
        const int cr = c & 0xFF, cg = (c >> 8) & 0xFF, cb = (c >> 16) & 0xFF;
        return (cr > 160) == r && (cg > 160) == g && (cb > 160) == b && (r || cr < 90) && (g || cg < 90) &&
               (b || cb < 90);
    };
    const bool want[5][3] = {{1, 1, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
    int found[5] = {};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            for (int i = 0; i < 5; ++i) found[i] += is(Rgb(bmp.get(), x, y), want[i][0], want[i][1], want[i][2]);
    for (int i = 0; i < 5; ++i) EXPECT_GT(found[i], 0) << "colour " << i;
    // Disabled: one pass, 0.4 of the font colour and 0.6 of the section's.
    FillRectOnDC(bmp->Canvas()->Handle(), Rect(0, 0, 120, 40), clBlack);
    WriteSectionTextEx(bmp->Canvas(), "WWW", false, M, false, 0, DT_SINGLELINE | DT_CENTER | DT_VCENTER,
                       Rect(0, 0, 120, 40));
    const uint32_t grey = uint32_t(BlendColors(0xFFFFFF, 0xC0C0C0, 0.4));
    int greys = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) greys += Rgb(bmp.get(), x, y) == grey;
    EXPECT_GT(greys, 0);
}

TEST_F(Painters, BevelFramesNestAndShrinkTheRectangle) {
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(10, 10));
    HDC dc = bmp->Canvas()->Handle();
    FillRectOnDC(dc, Rect(0, 0, 10, 10), clBlack);
    TRect r = Rect(0, 0, 10, 10);
    int count = 2;
    DrawBevelFrame(dc, r, 0xFFFFFF, count, 0x808080);
    EXPECT_EQ(r, Rect(2, 2, 8, 8));
    EXPECT_EQ(count, 0);
    const struct {
        int X, Y;
        uint32_t Want;
    } px[] = {{0, 5, 0xFFFFFF}, {1, 5, 0xFFFFFF}, {5, 0, 0xFFFFFF}, {9, 5, 0x808080}, {8, 5, 0x808080},
              {5, 9, 0x808080}, {5, 5, 0x000000}};
    for (const auto& p : px) EXPECT_EQ(Rgb(bmp.get(), p.X, p.Y), p.Want) << p.X << "," << p.Y;
}

namespace {

struct FormFixture : Painters {
    TForm* Form = nullptr;
    void MakeForm() {
        Form = new TForm(Application);
        Form->SetBounds(80, 80, 320, 320);
        Form->Show();
        SetForegroundWindow(Form->Handle());
        PumpUntil([&] { return GetForegroundWindow() == Form->Handle(); }, 1000);
        Pump(30);
    }
    // A vertical bar of 16 x 200 on the form, range 0..100.
    TsScrollBar* MakeBar() {
        auto* bar = new TsScrollBar(Form);
        bar->SetKind(sbVertical);
        bar->SetBounds(20, 20, 16, 200);
        bar->SetMax(100);
        bar->SetParent(Form);
        Pump(30);
        return bar;
    }
    void TearDown() override {
        delete Form;
        Painters::TearDown();
    }
};

}  // namespace

TEST_F(FormFixture, BorderMasksFrameTheClientAndWidenWithAColourBand) {
    MakeForm();
    auto* panel = new TPanel(Form);
    panel->SetBounds(10, 10, 100, 60);
    panel->SetParent(Form);
    TsCommonData data(panel, true);
    data.SetSkinSection("PANELX");
    ASSERT_GE(data.BorderMaskNo, 0);
    data.PrepareCacheBitmap();
    TRect client = Rect(0, 0, 100, 60);
    PaintMaskBorder(data.CacheBitmap->Canvas()->Handle(), Rect(0, 0, 100, 60), 0, client, 0, &data);
    EXPECT_EQ(client, Rect(3, 3, 97, 57));
    EXPECT_EQ(Rgb(data.CacheBitmap, 1, 30), uint32_t(TrackEdge));
    // Wider than the image: the band between the margins and 8 pixels takes
    // the section's background colour; a frame narrower than twice it leaves
    // no negative client.
    PaintMaskBorder(data.CacheBitmap->Canvas()->Handle(), Rect(0, 0, 100, 60), 8, client, 0, &data);
    EXPECT_EQ(client, Rect(8, 8, 92, 52));
    EXPECT_EQ(Rgb(data.CacheBitmap, 5, 30), uint32_t(ColorToRGB(data.BackgroundColor(0))));
    PaintMaskBorder(data.CacheBitmap->Canvas()->Handle(), Rect(0, 0, 10, 10), 8, client, 0, &data);
    EXPECT_GE(client.Width(), 0);
    EXPECT_GE(client.Height(), 0);
}

TEST_F(FormFixture, ControlTreesPaintEveryVisibleChildAndTheFadeShowsItsFrames) {
    MakeForm();
    auto* panel = new TPanel(Form);
    panel->SetBounds(20, 30, 120, 80);
    panel->SetColor(0x0000FF);
    panel->SetParent(Form);
    auto* inner = new TPanel(Form);
    inner->SetBounds(10, 10, 40, 30);
    inner->SetColor(0x00FF00);
    inner->SetParent(panel);
    Pump(30);
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(320, 320));
    PaintControlTree(bmp.get(), Form);
    EXPECT_EQ(Rgb(bmp.get(), 20 + 100, 30 + 60), 0x0000FFu);  // the panel
    EXPECT_EQ(Rgb(bmp.get(), 20 + 10 + 20, 30 + 10 + 15), 0x00FF00u);

    // Where the output window stands once shown: above the control, or its frames go unseen.
    static HWND Panel;
    static int ShownAbove;
    Panel = panel->Handle();
    ShownAbove = -1;
    HOOKPROC seen = [](int Code, WPARAM W, LPARAM L) -> LRESULT {
        const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(L);
        if (Code == HC_ACTION && ShownAbove < 0 && OutputWindow && m->hwnd == OutputWindow->HandleIfAllocated() &&
            m->message == WM_WINDOWPOSCHANGED && IsWindowVisible(m->hwnd)) {
            ShownAbove = 0;
            for (HWND w = GetWindow(m->hwnd, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) ShownAbove |= w == Panel;
        }
        return CallNextHookEx(nullptr, Code, W, L);
    };
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, seen, nullptr, GetCurrentThreadId());
    ScopeExit unhook([hook] { UnhookWindowsHookEx(hook); });
    struct Case {
        uint16_t Time;
        int Frames;
    } cases[] = {{200, 26}, {7, 0}};
    for (const Case& c : cases) {
        SendMessageW(panel->Handle(), WM_SETREDRAW, 0, 0);
        const auto t0 = std::chrono::steady_clock::now();
        const int frames = FadeOutControl(panel, c.Time);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
        EXPECT_EQ(frames, c.Frames) << c.Time;
        if (c.Time == 200) {
            EXPECT_GE(ms, 190);
            EXPECT_LT(ms, 1500);
        }
        EXPECT_FALSE(FadeInProgress);
        EXPECT_EQ(OutputWindow, nullptr);
        EXPECT_EQ(FadeSnapshot, nullptr);
    }
    EXPECT_EQ(ShownAbove, 1) << "the output window stands above the control";
}

// A rectangle cut to the bitmap takes the parent from where its cut corner
// lies; a blend never writes a target that is not 32-bit.
TEST_F(Painters, ACutRectangleKeepsItsParentUnderItAndAMixWritesOnlyA32BitTarget) {
    std::unique_ptr<TBitmap> parent = Gradient(60, 40), bmp(CreateBitmap24(30, 20));
    PaintSectionBG(M->SectionAt(S("CLEARX")), CacheInfo{parent.get(), 0, 0, 0, true}, TColor(TransparentKeyColor), -1,
                   -1, M, bmp.get(), Point(10, 10), Rect(-5, -5, 20, 15), false);
    EXPECT_EQ(Rgb(bmp.get(), 0, 0), Rgb(parent.get(), 15, 15));
    EXPECT_EQ(Rgb(bmp.get(), 19, 14), Rgb(parent.get(), 34, 29));

    std::unique_ptr<TBitmap> target(CreateBitmap24(8, 4)), a = Gradient(8, 4), b = Gradient(8, 4);
    FillRectOnDC(target->Canvas()->Handle(), Rect(0, 0, 8, 4), TColor(0x112233));
    TacMixTarget t{target.get()};
    MixBitmapsByMask(t, a.get(), b.get(), 100, nullptr);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(Rgb(target.get(), x, y), 0x112233u) << x << "," << y;
}

TEST_F(FormFixture, GlowWindowsArePlacedClickThroughAndPremultiplied) {
    MakeForm();
    Form->SetColor(clBlack);
    int clicks = 0;
    struct Counter {
        int* N;
        void Down(TObject*, TMouseButton, TShiftState, int, int) { ++*N; }
    } counter{&clicks};
    Form->OnMouseDown = TMouseEvent::Of<&Counter::Down>(&counter);
    Pump(30);
    POINT o{0, 0};
    ClientToScreen(Form->Handle(), &o);
    const TRect r1 = Bounds(o.x + 100, o.y + 80, 20, 20);
    const int i = StartGlowEffect(r1, Rect(0, 0, 20, 20), "GLOBALINFO", M, 2, "BTNCLOSEGLOW");
    ASSERT_GE(i, 0);
    HWND h = GlowList[size_t(i)]->Window()->Handle();
    RECT wr{};
    GetWindowRect(h, &wr);
    EXPECT_EQ(wr.left, r1.Left + 2 - 8);
    EXPECT_EQ(wr.top, r1.Top + 2 - 8);
    EXPECT_EQ(wr.right - wr.left, 20 + 16 - 4);
    const LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_NE(GetForegroundWindow(), h);
    Pump(100);
    // White at half alpha over black, in the halo's edge (its centre is not
    // filled): about 128 on the screen, never 255.
    WindowDC screen(nullptr);
    const COLORREF px = GetPixel(screen.Get(), wr.left + 3, wr.top + 16);
    EXPECT_NEAR(int(GetRValue(px)), 128, 8);
    // A real click at the glow's centre reaches the form below.
    RealClick(wr.left + 16, wr.top + 16);
    PumpUntil([&] { return clicks > 0; }, 2000);
    EXPECT_EQ(clicks, 1);
    StopGlowEffect(i);
    EXPECT_EQ(GlowList[size_t(i)], nullptr);
    StopGlowEffect(i);  // twice, and out of range: nothing
    StopGlowEffect(-1);
    // A crop that leaves nothing: no window.
    EXPECT_EQ(StartGlowEffect(r1, Rect(19, 0, 19, 20), "GLOBALINFO", M, 8, "BTNCLOSEGLOW"), -1);
    EXPECT_EQ(StartGlowEffect(r1, Rect(0, 0, 20, 20), "GLOBALINFO", M, 2, "NOSUCHGLOW"), -1);
    StopAllGlowEffects();
}

TEST_F(FormFixture, SkinnedScrollBarsDrawFromTheSkinFollowRealClicksAndLeakNothing) {
    MakeForm();
    TsScrollBar* bar = MakeBar();
    SendMessageW(bar->Handle(), WM_NCHITTEST, 0, 0);
    Pump(30);
    ASSERT_TRUE(bar->Skinned());
    Pixels px = Grab(bar->Handle());
    const TacScrollGeometry g = bar->Geometry();
    EXPECT_EQ(px.ColorAt(8, 1), ButtonFace);               // the button image
    EXPECT_EQ(px.ColorAt(8, g.ThumbCentre() - 3), SliderFace);  // the slider's face (state 0)
    EXPECT_EQ(px.ColorAt(8, (g.ThumbEnd() + 200 - g.Arrow) / 2), TrackFace);
    // A real click on the lower arrow moves the bar.
    POINT p{8, 200 - 4};
    ClientToScreen(bar->Handle(), &p);
    RealClick(p.x, p.y);
    PumpUntil([&] { return bar->Position() > 0; }, 2000);
    EXPECT_EQ(bar->Position(), 1);
    // Disabled: half the form's colour mixed into what the bar showed.
    const TColor shown = px.ColorAt(8, 40);
    bar->SetEnabled(false);
    Pump(30);
    px = Grab(bar->Handle());
    const TColor blended = BlendColors(shown, ColorToRGB(Form->Color()), 0.5);
    for (int sh : {0, 8, 16}) EXPECT_NEAR((px.ColorAt(8, 40) >> sh) & 0xFF, (blended >> sh) & 0xFF, 1);
    // A thousand paints leave the GDI object count where it was.
    bar->SetEnabled(true);
    Pump(30);
    const testwin::GuiObjects before = testwin::CountGuiObjects();
    for (int i = 0; i < 1000; ++i) {
        if (i == 500) bar->SetEnabled(false);  // the disabled look makes bitmaps of its own
        bar->SkinData()->BackgroundDirty = true;
        RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    const testwin::GuiObjects after = testwin::CountGuiObjects();
    EXPECT_GT(before.Gdi, 0u);
    EXPECT_LE(after.Gdi, before.Gdi + 2);
}

TEST_F(FormFixture, UnskinnedScrollBarsStayTheSystemsControl) {
    delete M;
    M = nullptr;
    MakeForm();
    TsScrollBar* bar = MakeBar();
    wchar_t cls[64];
    GetClassNameW(bar->Handle(), cls, 64);
    EXPECT_EQ(_wcsicmp(cls, L"ScrollBar"), 0);
    POINT p{8, 200 - 4};
    ClientToScreen(bar->Handle(), &p);
    RealClick(p.x, p.y);
    PumpUntil([&] { return bar->Position() > 0; }, 2000);
    EXPECT_EQ(bar->Position(), 1);
}
