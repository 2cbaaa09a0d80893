// The form skin provider on real forms under Wine: what reaches the form's
// own WindowProc (message logs), the frame on screen against the provider's
// window image for both test skins, the window region, the real mouse on the
// caption buttons (hot, glow, press and release), caption and border drags,
// double clicks, activation between two forms, the skin switched and turned
// off at run time, and the faults the provider must not have.
#include <gtest/gtest.h>

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Buttons.h"
#include "Guards.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "MessageLog.h"
#include "SkinFormsHost.h"
#include "TestHeap.h"
#include "TestSkins.h"
#include "acGlow.h"
#include "acSBUtils.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinnedForms.h"

using namespace skinforms;

namespace {

// A WindowProc put under the provider: logs what the provider hands on.
struct Spy {
    testwin::MessageLog Log;
    TForm* Form = nullptr;
    TWndMethod Prev;
    int Paints = 0;
    std::function<void(const TMessage&)> Seen;  // each message, before it goes on
    void Install(TForm* F) {
        Form = F;
        Prev = F->WindowProc;
        F->WindowProc = TWndMethod::Of<&Spy::Proc>(this);
    }
    void Proc(TMessage& M) {
        if (M.Msg == WM_PAINT) ++Paints;
        if (Seen) Seen(M);
        Log.Record(Form->HandleIfAllocated(), M.Msg, M.WParam, M.LParam);
        Prev(M);
    }
    TWndMethod Method() { return TWndMethod::Of<&Spy::Proc>(this); }
};

uint32_t SectionColor(TsSkinManager* M, const char* Section) {
    return testwin::SwapRedBlue(uint32_t(ColorToRGB(M->gd()[size_t(M->SectionIndex(Section))].Color)));
}

// The glow windows alive.
int Glows() { return int(std::count_if(GlowList.begin(), GlowList.end(), [](auto* g) { return g != nullptr; })); }

LRESULT Command(HWND H, uint16_t Cmd, LPARAM L = 0) {
    return SendMessageW(H, SM_ALPHACMD, WPARAM(SkinWParam(Cmd)), L);
}

// The channel of a colour (0x00RRGGBB) that is largest.
int Dominant(uint32_t C) {
    const int r = testwin::Red(C), g = testwin::Green(C), b = testwin::Blue(C);
    return b >= r && b >= g ? 2 : g >= r ? 1 : 0;
}

// Whether the title band's colour family in the provider's image is that
// of M's title section.
bool TitleOfSkin(TsSkinProvider* P, TsSkinManager* M) {
    const TsGeneralData& title = M->gd()[size_t(M->SectionIndex("FORMTITLE"))];
    TBitmap* cache = P->SkinData()->CacheBitmap;
    const uint32_t mid = testwin::SwapRedBlue(
        GetPixel(cache->Canvas()->Handle(), cache->Width() / 2, P->SysBorderHeight() + P->CaptionHeight() / 2));
    return Dominant(mid) == Dominant(testwin::SwapRedBlue(uint32_t(title.Color)));
}

struct ProviderTest : ::testing::Test {
    TsSkinManager* Manager = nullptr;
    std::vector<TForm*> Forms;

    void TearDown() override {
        for (TForm* f : Forms) delete f;
        Forms.clear();
        delete Manager;
        Manager = nullptr;
        MouseMove(1200, 1000);
        Pump(30);
    }
    // A skinned form: manager (once), form, provider, shown.
    TsSkinProvider* Skinned(const char* Skin = "Birch", int X = 80, int Y = 60, int W = 640, int H = 480,
                            Spy* Under = nullptr) {
        if (!Manager) Manager = MakeManager(nullptr, Skin);
        TForm* f = MakeForm(X, Y, W, H, "Skinned form");
        if (Under) Under->Install(f);
        return Shown(f);
    }
    // F kept by the test with a provider, shown as the active window.
    TsSkinProvider* Shown(TForm* F) {
        Forms.push_back(F);
        auto* p = new TsSkinProvider(F);
        F->Show();
        PumpUntil([F] { return IsWindowVisible(F->Handle()) && GetForegroundWindow() == F->Handle(); }, 2000);
        Pump(100);
        return p;
    }
    HWND H(TsSkinProvider* P) { return P->Form()->Handle(); }
};

}  // namespace

// ---------------------------------------------------------------- WindowProc swap and give-back

TEST_F(ProviderTest, WithoutAManagerEveryMessageReachesTheFormAndTheWindowProcComesBackExactly) {
    TForm* f = MakeForm(100, 100, 400, 300, "Plain");
    Forms.push_back(f);
    Spy spy;
    spy.Install(f);
    auto* p = new TsSkinProvider(f);
    EXPECT_FALSE(f->WindowProc == spy.Method());
    f->Show();
    Pump(50);
    HWND h = f->Handle();
    spy.Log.Clear();
    SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(150, 110));
    SendMessageW(h, WM_NCACTIVATE, 1, 0);
    SendMessageW(h, WM_USER + 5, 7, 9);
    EXPECT_TRUE(spy.Log.Matches({
        {WM_NCHITTEST, 0, MAKELPARAM(150, 110), h},
        {WM_NCACTIVATE, 1, 0, h},
        {WM_NCPAINT, testwin::kOptional | testwin::kRepeated | testwin::kParamsAny},
        {WM_GETTEXT, testwin::kOptional | testwin::kRepeated | testwin::kParamsAny},
        {WM_USER + 5, 7, 9, h},
    }));
    // The engine's two questions are answered by the provider alone.
    spy.Log.Clear();
    EXPECT_EQ(Command(h, scGetProvider), reinterpret_cast<LRESULT>(static_cast<TacFormProvider*>(p)));
    EXPECT_EQ(Command(h, scIsSkinned), 1);
    EXPECT_TRUE(spy.Log.Entries().empty());
    EXPECT_TRUE(GetWindowLongPtrW(h, GWL_STYLE) & WS_SYSMENU);
    delete p;
    EXPECT_TRUE(f->WindowProc == spy.Method());
    EXPECT_EQ(Command(h, scGetProvider), 0);
}

TEST_F(ProviderTest, AProviderUnderSomeoneElsesWindowProcLeavesAPassThroughAndASecondProviderStaysInert) {
    TForm* f = MakeForm(100, 100, 400, 300, "Chain");
    Forms.push_back(f);
    Spy below, above;
    below.Install(f);
    auto* p = new TsSkinProvider(f);
    auto* second = new TsSkinProvider(f);
    EXPECT_EQ(second->Form(), nullptr);
    above.Install(f);
    f->Show();
    Pump(30);
    delete p;
    // Ours is no longer on top: the chain keeps working through what we left.
    EXPECT_TRUE(f->WindowProc == above.Method());
    below.Log.Clear();
    SendMessageW(f->Handle(), WM_USER + 1, 1, 2);
    EXPECT_TRUE(below.Log.Matches({{WM_USER + 1, 1, 2, f->Handle()}}));
    delete second;
}

// ---------------------------------------------------------------- painting and region, both skins

struct SkinnedLook : ProviderTest, ::testing::WithParamInterface<const char*> {};

TEST_P(SkinnedLook, TheFrameOnScreenIsTheProvidersImageWithTheTitleSkinAndACutRegion) {
    TsSkinProvider* p = Skinned(GetParam());
    HWND h = H(p);
    ASSERT_TRUE(p->SkinData()->IsSkinned());
    EXPECT_FALSE(GetWindowLongPtrW(h, GWL_STYLE) & WS_SYSMENU);
    EXPECT_EQ(FrameMismatches(p), 0);
    EXPECT_TRUE(TitleOfSkin(p, Manager));
    TBitmap* cache = p->SkinData()->CacheBitmap;
    // Buttons right to left inside the caption: close, maximize, minimize.
    const TRect c = p->Button(cbClose).Rect, x = p->Button(cbMaximize).Rect, n = p->Button(cbMinimize).Rect;
    EXPECT_GT(c.Width(), 0);
    EXPECT_LE(x.Right, c.Left);
    EXPECT_LE(n.Right, x.Left);
    EXPECT_EQ(p->Button(cbHelp).State, -1);
    // The client shows the provider's image at the client offset.
    const testwin::Pixels client = testwin::CopyFromWindow(h, RECT{0, 0, 200, 200});
    EXPECT_EQ(client.At(100, 100),
              testwin::SwapRedBlue(GetPixel(cache->Canvas()->Handle(), p->OffsetX() + 100, p->OffsetY() + 100)));
    // The active look keeps the form section's texture: the client is not one flat colour.
    EXPECT_LT(client.Share(client.At(100, 100)), 0.995);
    // The region leaves the skin's transparent corners out and keeps the middle.
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(h, r), ERROR);
    EXPECT_FALSE(p->RegionRects().empty());
    EXPECT_FALSE(PtInRegion(r, 0, 0));
    EXPECT_FALSE(PtInRegion(r, p->FormWidth() - 1, 0));
    EXPECT_TRUE(PtInRegion(r, p->FormWidth() / 2, p->FormHeight() / 2));
    EXPECT_TRUE(PtInRegion(r, p->FormWidth() / 2, 0));
    DeleteObject(r);
}

// A size step keeps what the size does not change of the old image: after
// growing and shrinking in either direction and both, the image is what a
// repaint from nothing paints, and the whole frame on screen shows it.
TEST_P(SkinnedLook, AfterEachSizeStepTheImageAndTheFrameAreThoseOfAFullRepaint) {
    TsSkinProvider* p = Skinned(GetParam());
    HWND h = H(p);
    const struct {
        int DW, DH;
    } steps[] = {{37, 0}, {0, 29}, {-61, -45}, {5, 3}, {0, 0}, {-3, 2}, {300, 180}, {-420, -300}, {1, -1}};
    for (const auto& s : steps) {
        RECT w{};
        GetWindowRect(h, &w);
        // No size change: the caption changes, the image is painted again at its size.
        if (s.DW == 0 && s.DH == 0)
            SetWindowTextW(h, L"Renamed at the same size");
        else
            SetWindowPos(h, nullptr, 0, 0, w.right - w.left + s.DW, w.bottom - w.top + s.DH,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateWindow(h);
        Pump(30);
        const testwin::Pixels stepped = Image(p);
        ASSERT_EQ(stepped.Width, p->FormWidth());
        ASSERT_EQ(stepped.Height, p->FormHeight());
        EXPECT_EQ(FrameMismatches(p, true), 0) << s.DW << " x " << s.DH;
        // A refresh drops every image kept and paints all anew.
        Command(h, scRefresh, LPARAM(Manager));
        Pump(30);
        const testwin::Pixels fresh = Image(p);
        ASSERT_EQ(fresh.Data.size(), stepped.Data.size());
        size_t differ = 0, first = 0;
        for (size_t i = 0; i < fresh.Data.size(); ++i)
            if (fresh.Data[i] != stepped.Data[i] && differ++ == 0) first = i;
        EXPECT_EQ(differ, 0u) << s.DW << " x " << s.DH << ": first at " << first % size_t(fresh.Width) << ", "
                              << first / size_t(fresh.Width);
    }
    // The background repeated from one tile is the section painted over the
    // whole form at once (inside the client, away from the corner images).
    ASSERT_TRUE(p->FormActive());
    const testwin::Pixels image = Image(p);
    std::unique_ptr<TBitmap> whole(CreateBitmap24(image.Width, image.Height));
    PaintControlSectionBG(p->SkinData(), CacheInfo{nullptr, 0, 0, TransparentKeyColor, false}, true, whole.get(),
                          TPoint{0, 0}, Rect(0, 0, image.Width, image.Height));
    const testwin::Pixels painted = testwin::Capture(image.Width, image.Height, [&](HDC dc) {
        BitBlt(dc, 0, 0, image.Width, image.Height, whole->Canvas()->Handle(), 0, 0, SRCCOPY);
    });
    RECT client{};
    GetClientRect(h, &client);
    int differ = 0;
    for (int y = p->OffsetY() + 64; y < p->OffsetY() + client.bottom - 64; ++y)
        for (int x = p->OffsetX() + 64; x < p->OffsetX() + client.right - 64; ++x)
            differ += image.At(x, y) != painted.At(x, y);
    EXPECT_EQ(differ, 0);
}

// The grip follows the corner: after the client grows or shrinks, no grip
// picture stays where the corner was, and the client shows the image there.
TEST_P(SkinnedLook, TheGripMovesWithTheCornerWhenTheFormIsSized) {
    TsSkinProvider* p = Skinned(GetParam(), 80, 60, 420, 320);
    HWND h = H(p);
    p->SetGripMode(gmRightBottom);
    p->RefreshFrame();
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(50);
    const int g = Manager->MaskIndexInherited(Manager->GlobalSection(), "GRIPIMAGE");
    ASSERT_TRUE(Manager->IsValidMaskIndex(g));
    const TsMaskData& d = Manager->ma()[size_t(g)];
    const int gw = d.R.Width() / std::max<int>(d.ImageCount, 1), gh = d.R.Height() / (d.MaskType + 1);
    for (const POINT step : {POINT{60, 40}, POINT{-90, -70}, POINT{45, 0}}) {
        RECT before{}, w{};
        GetClientRect(h, &before);
        GetWindowRect(h, &w);
        SetWindowPos(h, nullptr, 0, 0, w.right - w.left + step.x, w.bottom - w.top + step.y,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateWindow(h);
        Pump(60);
        RECT now{};
        GetClientRect(h, &now);
        // The old corner (where it lies inside the client now) and the new one.
        HDC cache = p->SkinData()->CacheBitmap->Canvas()->Handle();
        for (const RECT& c : {before, now}) {
            const RECT area{c.right - gw, c.bottom - gh, std::min(c.right, now.right), std::min(c.bottom, now.bottom)};
            if (area.right <= area.left || area.bottom <= area.top) continue;
            const testwin::Pixels shown = testwin::CopyFromWindow(h, area);
            int bad = 0;
            for (int y = 0; y < shown.Height; ++y)
                for (int x = 0; x < shown.Width; ++x)
                    bad += shown.At(x, y) != testwin::SwapRedBlue(GetPixel(cache, p->OffsetX() + area.left + x,
                                                                           p->OffsetY() + area.top + y));
            EXPECT_EQ(bad, 0) << step.x << " x " << step.y << (&c == &before ? " old corner" : " new corner");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OurSkins, SkinnedLook, ::testing::Values("Birch", "Night"));

// A form of one flat colour inside a border image (Night's form without its
// texture): its image holds nothing inside the client, so the grip's cell
// shows over the form's colour, not over what the image holds there.
TEST_F(ProviderTest, TheGripOfAPlainFormLiesOverTheFormsColour) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "plain-grip", night = dir / "Night";
    std::filesystem::create_directories(night);
    std::filesystem::copy(std::filesystem::path(TUVRELI_TEST_SKINS_DIR) / "Night", night,
                          std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive);
    {
        std::ifstream in(std::filesystem::path(TUVRELI_TEST_SKINS_DIR) / "Night" / "Options.dat", std::ios::binary);
        std::string text, section;
        for (std::string l; std::getline(in, l);) {
            if (l.rfind("[", 0) == 0) section = l.substr(0, l.find(']') + 1);
            if (section != "[FORM]" || (l.find("IMAGEPERCENT=") == std::string::npos && l.find("PATTERN=") == std::string::npos))
                text += l + "\n";
        }
        std::ofstream(night / "Options.dat", std::ios::binary) << text;
    }
    Manager = MakeSkinManager(nullptr, dir.string().c_str(), "Night");
    TsSkinProvider* p = Skinned("Night", 80, 60, 420, 320);
    HWND h = H(p);
    ASSERT_TRUE(p->SkinData()->OpacityBits & 1);
    p->SetGripMode(gmRightBottom);
    p->RefreshFrame();
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(50);
    const TsMaskData& d = Manager->ma()[size_t(Manager->MaskIndexInherited(Manager->GlobalSection(), "GRIPIMAGE"))];
    const int gw = d.R.Width() / std::max<int>(d.ImageCount, 1), gh = d.R.Height() / (d.MaskType + 1);
    RECT c{};
    GetClientRect(h, &c);
    const testwin::Pixels shown = testwin::CopyFromWindow(h, RECT{c.right - gw, c.bottom - gh, c.right, c.bottom});
    const uint32_t form = testwin::SwapRedBlue(uint32_t(ColorToRGB(Manager->gd()[size_t(Manager->SectionIndex("FORM"))].Color)));
    EXPECT_GT(shown.Share(form), 0.5);
}

// ---------------------------------------------------------------- the real mouse on the caption

TEST_F(ProviderTest, ButtonsLightUnderTheMouseWithAGlowAndGoOutWhenItLeaves) {
    TsSkinProvider* p = Skinned();
    const int glowsBefore = Glows();
    for (TsCaptionSlot s : {cbMinimize, cbMaximize, cbClose}) {
        const POINT at = Centre(ButtonOnScreen(p, s));
        MouseMove(at.x, at.y);
        EXPECT_EQ(p->Button(s).State, 1) << s;
        EXPECT_EQ(FrameMismatches(p), 0) << s;
        EXPECT_GE(p->Button(s).GlowID, 0) << s;
    }
    EXPECT_EQ(Glows(), glowsBefore + 1);  // only the button under the mouse glows
    // Into the client: nothing stays lit.
    RECT w{};
    GetWindowRect(H(p), &w);
    MouseMove((w.left + w.right) / 2, (w.top + w.bottom) / 2);
    EXPECT_EQ(p->HotItem(), 0);
    for (TsCaptionSlot s : {cbMinimize, cbMaximize, cbClose}) EXPECT_EQ(p->Button(s).State, 0) << s;
    EXPECT_EQ(Glows(), glowsBefore);
    // A glow goes out with its button even while the window's image is stale.
    const POINT max = Centre(ButtonOnScreen(p, cbMaximize));
    MouseMove(max.x, max.y);
    ASSERT_TRUE(PumpUntil([p] { return p->Button(cbMaximize).GlowID >= 0; }, 1000))
        << p->Button(cbMaximize).State << " " << p->HotItem();
    p->InvalidateCache();
    MouseMove((w.left + w.right) / 2, (w.top + w.bottom) / 2);
    EXPECT_LT(p->Button(cbMaximize).GlowID, 0);
    EXPECT_EQ(Glows(), glowsBefore);
    // Out of the window altogether.
    const POINT close = Centre(ButtonOnScreen(p, cbClose));
    MouseMove(close.x, close.y);
    MouseMove(close.x, w.top - 20);
    EXPECT_TRUE(PumpUntil([p] { return p->HotItem() == 0; }, 1000));
}

TEST_F(ProviderTest, PressAndReleaseMinimizeMaximizeRestoreAndClose) {
    TsSkinProvider* p = Skinned();
    HWND h = H(p);
    bool closed = false;
    struct Closer {
        bool* Flag;
        void OnClose(TObject*, TCloseAction& A) {
            *Flag = true;
            A = caHide;
        }
    } closer{&closed};
    p->Form()->OnClose = TCloseEvent::Of<&Closer::OnClose>(&closer);
    const struct {
        TsCaptionSlot Slot;
        bool (*Done)(HWND);
        const char* What;
    } steps[] = {
        {cbMaximize, [](HWND w) { return IsZoomed(w) != 0; }, "maximized"},
        {cbMaximize, [](HWND w) { return !IsZoomed(w); }, "restored"},
        {cbMinimize, [](HWND w) { return IsIconic(w) != 0; }, "minimized"},
    };
    for (const auto& s : steps) {
        const POINT at = Centre(ButtonOnScreen(p, s.Slot));
        MouseMove(at.x, at.y);
        MouseDown();
        EXPECT_EQ(p->Button(s.Slot).State, 2) << s.What;
        MouseUp();
        EXPECT_TRUE(PumpUntil([&] { return s.Done(h); }, 2000)) << s.What;
        Pump(100);
        if (!IsIconic(h)) {
            EXPECT_EQ(FrameMismatches(p), 0) << s.What;
        }
    }
    ShowWindow(h, SW_RESTORE);
    SetForegroundWindow(h);
    EXPECT_TRUE(PumpUntil([&] { return FrameMismatches(p) == 0; }, 2000));
    // Pressed on close, released elsewhere: nothing happens.
    POINT at = Centre(ButtonOnScreen(p, cbClose));
    MouseMove(at.x, at.y);
    MouseDown();
    EXPECT_EQ(p->Button(cbClose).State, 2) << at.x << "," << at.y << " hot " << p->HotItem();
    MouseMove(at.x - 200, at.y + 100);
    MouseUp();
    EXPECT_FALSE(closed);
    EXPECT_TRUE(IsWindowVisible(h));
    at = Centre(ButtonOnScreen(p, cbClose));
    MouseMove(at.x, at.y);
    MouseDown();
    EXPECT_EQ(p->Button(cbClose).State, 2);
    MouseUp();
    EXPECT_TRUE(PumpUntil([&] { return closed; }, 2000));
}

TEST_F(ProviderTest, CaptionAndBorderDragsMoveAndSizeTheFormAndADoubleClickMaximizes) {
    // What the system's own caption and border drags do to a plain form.
    TForm* plain = MakeForm(700, 500, 400, 300, "Plain");
    plain->Show();
    Pump(200);
    RECT pa{}, pb{};
    GetWindowRect(plain->Handle(), &pa);
    const int pcy = pa.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    Drag(POINT{pa.left + 150, pcy}, POINT{pa.left + 210, pcy + 30});
    GetWindowRect(plain->Handle(), &pb);
    const POINT systemMove{pb.left - pa.left, pb.top - pa.top};
    Drag(POINT{pb.right - 2, (pb.top + pb.bottom) / 2}, POINT{pb.right + 48, (pb.top + pb.bottom) / 2}, 5);
    GetWindowRect(plain->Handle(), &pa);
    const int systemGrow = (pa.right - pa.left) - (pb.right - pb.left);
    delete plain;
    TsSkinProvider* p = Skinned();
    HWND h = H(p);
    const struct {
        TsResizeMode Mode;
        const char* What;
    } modes[] = {{rmStandard, "system drag"}, {rmBorder, "outline drag"}};
    for (const auto& m : modes) {
        p->SetResizeMode(m.Mode);
        RECT a{};
        GetWindowRect(h, &a);
        // Caption: moved by the mouse's way.
        const int cy = a.top + p->SysBorderHeight() + p->CaptionHeight() / 2;
        Drag(POINT{a.left + 150, cy}, POINT{a.left + 210, cy + 30});
        // The system's drag moves as it moves a plain form; ours by the mouse's way.
        const POINT want = m.Mode == rmStandard ? systemMove : POINT{60, 30};
        RECT b{};
        EXPECT_TRUE(PumpUntil([&] { GetWindowRect(h, &b); return b.left == a.left + want.x; }, 2000)) << m.What;
        EXPECT_EQ(b.top, a.top + want.y) << m.What;
        EXPECT_EQ(b.right - b.left, a.right - a.left) << m.What;
        // Right border: wider by the way, same place.
        const int y = (b.top + b.bottom) / 2;
        Drag(POINT{b.right - 2, y}, POINT{b.right + 48, y}, 5);
        RECT c{};
        const int grow = m.Mode == rmStandard ? systemGrow : 50;
        EXPECT_TRUE(PumpUntil([&] { GetWindowRect(h, &c); return c.right - c.left == b.right - b.left + grow; }, 2000))
            << m.What;
        EXPECT_EQ(c.left, b.left) << m.What;
        Pump(100);
        EXPECT_EQ(FrameMismatches(p), 0) << m.What;
    }
    // An outline drag that loses the mouse to another window leaves the form where it was.
    RECT d{};
    GetWindowRect(h, &d);
    const int dy = d.top + p->SysBorderHeight() + p->CaptionHeight() / 2;
    MouseScript({{d.left + 150, dy, 0}, {d.left + 150, dy, 1}, {d.left + 190, dy + 20, 0}});
    ReleaseCapture();
    Pump(30);
    MouseScript({{d.left + 200, dy + 30, 2}});
    RECT e{};
    GetWindowRect(h, &e);
    EXPECT_EQ(e.left, d.left);
    EXPECT_EQ(e.top, d.top);
    EXPECT_NE(GetCapture(), h);
    // Double click on the caption: maximized, and back.
    p->SetResizeMode(rmStandard);
    for (bool zoomed : {true, false}) {
        RECT w{};
        GetWindowRect(h, &w);
        const int x = w.left + 150, cy = w.top + p->SysBorderHeight() + p->CaptionHeight() / 2;
        MouseScript({{x, cy, 0}, {x, cy, 1}, {x, cy, 2}, {x, cy, 1}, {x, cy, 2}}, 15);
        EXPECT_TRUE(PumpUntil([&] { return (IsZoomed(h) != 0) == zoomed; }, 2000)) << zoomed;
        Pump(100);
    }
}

TEST_F(ProviderTest, AnOutlineDragSizesTheFormOnlyWithinItsConstraints) {
    TsSkinProvider* p = Skinned();
    HWND h = H(p);
    TSizeConstraints* c = p->Form()->Constraints();
    c->SetMinWidth(560);
    c->SetMaxWidth(720);
    c->SetMinHeight(400);
    const struct {
        const char* what;
        bool bottom;  // the bottom edge, else the right one
        int by;
        int wantW, wantH;
    } cases[] = {
        {"right edge past the minimum", false, -300, 560, 480},
        {"right edge past the maximum", false, 200, 720, 480},
        {"bottom edge past the minimum", true, -200, 720, 400},
    };
    p->SetResizeMode(rmBorder);
    {
        for (const auto& k : cases) {
            RECT a{};
            GetWindowRect(h, &a);
            const POINT from = k.bottom ? POINT{(a.left + a.right) / 2, a.bottom - 2} : POINT{a.right - 2, (a.top + a.bottom) / 2};
            const POINT to = k.bottom ? POINT{from.x, from.y + k.by} : POINT{from.x + k.by, from.y};
            Drag(from, to, 5);
            RECT b{};
            EXPECT_TRUE(PumpUntil([&] {
                GetWindowRect(h, &b);
                return b.right - b.left == k.wantW && b.bottom - b.top == k.wantH;
            }, 2000)) << k.what << ": " << b.right - b.left << " x " << b.bottom - b.top;
            EXPECT_EQ(b.left, a.left) << k.what;
            EXPECT_EQ(b.top, a.top) << k.what;
        }
    }
}

TEST_F(ProviderTest, AMaximizedFormHeldByItsMaximumKeepsTheShapedRegion) {
    // Full screen, the frame lies off the screen and the region cuts it; held
    // smaller, the form shows its frame and keeps its own shape.
    for (int maxWidth : {0, 700}) {
        TsSkinProvider* p = Skinned();
        HWND h = H(p);
        p->Form()->Constraints()->SetMaxWidth(maxWidth);
        ShowWindow(h, SW_MAXIMIZE);
        EXPECT_TRUE(PumpUntil([&] { return IsZoomed(h) != 0; }, 2000));
        Pump(200);
        RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(h, rgn.Get()), ERROR) << maxWidth;
        RECT box{};
        GetRgnBox(rgn.Get(), &box);
        RECT w{};
        GetWindowRect(h, &w);
        if (maxWidth) {
            EXPECT_EQ(w.right - w.left, maxWidth);
            EXPECT_EQ(box.left, 0) << "the form's own shape";
        } else {
            EXPECT_EQ(box.left, p->SysBorderWidth()) << "the frame cut off";
        }
        ShowWindow(h, SW_RESTORE);
        Pump(100);
    }
}

// Docked into another form a form takes that form's shape (no region); one
// placed there to be dragged about keeps the skin's corners cut.
TEST_F(ProviderTest, AFormDockedIntoAnotherHasNoRegionOfItsOwn) {
    TsSkinProvider* host = Skinned();
    for (TDragKind kind : {dkDock, dkDrag}) {
        std::unique_ptr<TForm> f(MakeForm(20, 20, 300, 200, "Inner"));
        f->SetDragKind(kind);
        f->SetParent(host->Form());
        new TsSkinProvider(f.get());
        f->Show();
        Pump(250);
        RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(GetWindowRgn(f->Handle(), rgn.Get()) != ERROR, kind == dkDrag) << kind;
    }
}

// Without its own frame the provider leaves the caption's mouse to the
// system: a double click maximises the form and another one restores it.
TEST_F(ProviderTest, WithoutItsOwnFrameTheCaptionsDoubleClickIsTheSystems) {
    TsSkinProvider* p = Skinned();
    HWND h = H(p);
    p->SetDrawNonClientArea(false);
    Pump(150);
    for (bool zoomed : {true, false}) {
        RECT w{};
        GetWindowRect(h, &w);
        const int x = w.left + 150, cy = w.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        MouseScript({{x, cy, 0}, {x, cy, 1}, {x, cy, 2}, {x, cy, 1}, {x, cy, 2}}, 15);
        EXPECT_TRUE(PumpUntil([&] { return (IsZoomed(h) != 0) == zoomed; }, 2000)) << zoomed;
        Pump(100);
    }
}

namespace {

// A square icon of one colour, owned by the caller.
HICON SolidIcon(COLORREF Colour, int Size = 32) {
    WindowDC screen(nullptr);
    BitmapHandle colour(CreateCompatibleBitmap(screen.Get(), Size, Size));
    BitmapHandle mask(CreateBitmap(Size, Size, 1, 1, nullptr));
    {
        MemoryDC dc(screen.Get());
        SelectGuard sel(dc.Get(), colour.Get());
        GdiObject<HBRUSH> brush(CreateSolidBrush(Colour));
        RECT r{0, 0, Size, Size};
        FillRect(dc.Get(), &r, brush.Get());
        SelectGuard selMask(dc.Get(), mask.Get());
        PatBlt(dc.Get(), 0, 0, Size, Size, BLACKNESS);
    }
    ICONINFO ii{TRUE, 0, 0, mask.Get(), colour.Get()};
    return CreateIconIndirect(&ii);
}

}  // namespace

TEST_F(ProviderTest, TheTitleIconIsTheFormsElseTheApplicationsElseTheProgramFiles) {
    TsSkinProvider* p = Skinned();
    HWND h = H(p);
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), none = CLR_INVALID;
    const struct {
        const char* what;
        COLORREF form, app;
    } cases[] = {
        {"the application's icon", none, red},
        {"the form's own first", green, red},
        {"neither: the program file's", none, none},
    };
    for (const auto& k : cases) {
        p->Form()->Icon()->SetHandle(k.form == none ? nullptr : SolidIcon(k.form));
        Application->Icon()->SetHandle(k.app == none ? nullptr : SolidIcon(k.app));
        Command(h, scRefresh, LPARAM(Manager));
        Pump(100);
        const TRect r = p->IconRect();
        ASSERT_GT(r.Width(), 4) << k.what;
        const RECT at{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, (r.Left + r.Right) / 2 + 1, (r.Top + r.Bottom) / 2 + 1};
        const uint32_t shown = testwin::SwapRedBlue(testwin::CopyFromWindow(h, at, true).At(0, 0));
        const COLORREF want = k.form != none ? k.form : k.app;
        if (want != none)
            EXPECT_EQ(shown, want) << k.what;
        else
            EXPECT_TRUE(shown != red && shown != green) << k.what;
    }
    Application->Icon()->SetHandle(nullptr);
}

TEST_F(ProviderTest, OnlyAFormThatScrollsByItselfGetsTheScrollWrapper) {
    Manager = MakeManager(nullptr, "Birch");
    for (bool autoScroll : {true, false}) {
        TForm* f = MakeForm(80, 60, 400, 300, "Scrolling");
        Forms.push_back(f);
        f->SetAutoScroll(autoScroll);
        auto* p = new TsSkinProvider(f);
        f->Show();
        Pump(100);
        EXPECT_EQ(p->ScrollWrapper() != nullptr, autoScroll) << "AutoScroll " << autoScroll;
    }
}

TEST_F(ProviderTest, TheCornerBetweenTheFormsOwnBarsShowsTheFormsSkin) {
    Manager = MakeManager(nullptr, "Night");
    TForm* f = MakeForm(80, 60, 400, 300, "Scrolling");
    Forms.push_back(f);
    f->SetAutoScroll(true);
    auto* beyond = new TButton(f);
    beyond->SetParent(f);
    beyond->SetBounds(700, 600, 80, 24);  // beyond both edges: both bars
    auto* p = new TsSkinProvider(f);
    f->Show();
    Pump(200);
    ASSERT_NE(p->ScrollWrapper(), nullptr);
    HWND h = H(p);
    const TRect hr = GetHorzBarRect(p->ScrollWrapper(), h), vr = GetVertBarRect(p->ScrollWrapper(), h);
    RECT w{};
    GetWindowRect(h, &w);
    const RECT corner{vr.Left - w.left, hr.Top - w.top, vr.Right - w.left, hr.Bottom - w.top};
    ASSERT_GT(corner.right - corner.left, 4);
    ASSERT_GT(corner.bottom - corner.top, 4);
    const testwin::Pixels shown = testwin::CopyFromWindow(h, corner, true);
    HDC cache = p->SkinData()->CacheBitmap->Canvas()->Handle();
    const uint32_t face = testwin::SwapRedBlue(GetSysColor(COLOR_BTNFACE));
    int skin = 0, faces = 0;
    // The outer row and column touch the bars' ends.
    for (int y = 1; y < shown.Height - 1; ++y)
        for (int x = 1; x < shown.Width - 1; ++x) {
            skin += shown.At(x, y) == testwin::SwapRedBlue(GetPixel(cache, corner.left + x, corner.top + y));
            faces += shown.At(x, y) == face;
        }
    EXPECT_EQ(faces, 0);
    EXPECT_GT(skin, (shown.Width - 2) * (shown.Height - 2) / 2);  // the rest is the size grip
}

// A window of the provider's own (tag -98) shown over a screen point.
bool CoveredByHelper(POINT At) {
    std::pair<POINT, bool> find{At, false};
    EnumThreadWindows(GetCurrentThreadId(), [](HWND W, LPARAM L) -> BOOL {
        auto& [at, found] = *reinterpret_cast<std::pair<POINT, bool>*>(L);
        RECT r{};
        const TWinControl* c = FindControl(W);
        found |= IsWindowVisible(W) && GetWindowRect(W, &r) && PtInRect(&r, at) && c && c->Tag() == ExceptTag;
        return TRUE;
    }, LPARAM(&find));
    return find.second;
}

TEST_F(ProviderTest, TheActiveFormShowsTheActiveLookAndTheOtherTheInactiveOne) {
    // While the system draws its own caption at each change, ours covers it.
    Spy spy;
    int changes = 0, covered = 0;
    TsSkinProvider* a = Skinned("Birch", 40, 40, 500, 360, &spy);
    const auto caption = [a] {
        RECT w{};
        GetWindowRect(a->Form()->Handle(), &w);
        return POINT{w.left + 120, w.top + a->SysBorderHeight() + a->CaptionHeight() / 2};
    };
    spy.Seen = [&](const TMessage& M) {
        if (M.Msg != WM_NCACTIVATE) return;
        ++changes;
        covered += CoveredByHelper(caption());
    };
    TsSkinProvider* b = Skinned("Birch", 600, 300, 500, 360);
    ASSERT_TRUE(PumpUntil([&] { return b->FormActive() && !a->FormActive(); }, 2000));
    // A click on a's caption makes it the active one.
    Click(caption().x, caption().y);
    EXPECT_TRUE(PumpUntil([&] { return a->FormActive() && !b->FormActive(); }, 2000));
    Pump(100);
    spy.Seen = nullptr;
    EXPECT_GE(changes, 2);
    EXPECT_EQ(covered, changes);
    EXPECT_EQ(FrameMismatches(a), 0);
    EXPECT_EQ(FrameMismatches(b), 0);
    // The two looks differ where the border shows its state.
    HDC ca = a->SkinData()->CacheBitmap->Canvas()->Handle(), cb = b->SkinData()->CacheBitmap->Canvas()->Handle();
    int differ = 0;
    for (int y = 0; y < a->TopBandHeight(); ++y)
        for (int x = 0; x < 400; x += 2) differ += GetPixel(ca, x, y) != GetPixel(cb, x, y);
    EXPECT_GT(differ, 20);
    // The forms go while the spy under them lives.
    for (TForm* f : Forms) delete f;
    Forms.clear();
}

// ---------------------------------------------------------------- skin changes at run time

TEST_F(ProviderTest, TheSkinSwitchedAtRunTimeRepaintsAndTurnedOffGivesThePlainWindowBack) {
    TsSkinProvider* p = Skinned("Birch");
    HWND h = H(p);
    const COLORREF birch = GetPixel(p->SkinData()->CacheBitmap->Canvas()->Handle(), 300, p->CaptionHeight() / 2);
    Manager->SetSkinName("Night");
    Pump(300);
    ASSERT_TRUE(p->SkinData()->IsSkinned());
    const COLORREF night = GetPixel(p->SkinData()->CacheBitmap->Canvas()->Handle(), 300, p->CaptionHeight() / 2);
    EXPECT_NE(birch, night);
    EXPECT_EQ(FrameMismatches(p), 0);
    // Off: the system's frame, menu and rectangle come back; the provider only passes on.
    Manager->SetActive(false);
    Pump(300);
    EXPECT_TRUE(GetWindowLongPtrW(h, GWL_STYLE) & WS_SYSMENU);
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(h, r), ERROR);
    DeleteObject(r);
    EXPECT_EQ(p->SkinData()->CacheBitmap, nullptr);
    EXPECT_EQ(SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(0, 0)), DefWindowProcW(h, WM_NCHITTEST, 0, MAKELPARAM(0, 0)));
    // And on again.
    Manager->SetActive(true);
    Pump(300);
    EXPECT_FALSE(GetWindowLongPtrW(h, GWL_STYLE) & WS_SYSMENU);
    EXPECT_EQ(FrameMismatches(p), 0);
}

namespace {

// What the screen shows while a fade's output window is up: read when the
// fade hands the form its redraw back, the last frame still on the screen.
struct FadeWatch {
    TForm* Form = nullptr;
    TWndMethod Prev;
    bool Seen = false;
    HWND Owner = nullptr;
    bool Shaped = false;
    COLORREF Corner = CLR_INVALID;
    void Install(TForm* F) {
        Form = F;
        Prev = F->WindowProc;
        F->WindowProc = TWndMethod::Of<&FadeWatch::Proc>(this);
    }
    void Proc(TMessage& M) {
        if (M.Msg == WM_SETREDRAW && M.WParam && !Seen && OutputWindow && OutputWindow->HandleAllocated() &&
            IsWindowVisible(OutputWindow->HandleIfAllocated())) {
            const HWND out = OutputWindow->HandleIfAllocated();
            Seen = true;
            Owner = GetWindow(out, GW_OWNER);
            RECT w{};
            GetWindowRect(out, &w);
            RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
            Shaped = GetWindowRgn(out, rgn.Get()) != ERROR && !PtInRegion(rgn.Get(), 0, 0) &&
                     PtInRegion(rgn.Get(), (w.right - w.left) / 2, (w.bottom - w.top) / 2);
            WindowDC screen(nullptr);
            Corner = GetPixel(screen.Get(), w.left, w.top);
        }
        Prev(M);
    }
};

}  // namespace

TEST_F(ProviderTest, ASkinChangeFadesInTheFormsShapeOwnedByTheApplicationsWindow) {
    // Both skins cut the title's corners: during the fade the corner shows
    // what lies under the form, never the key colour, and the fade window
    // stays with the application rather than with one of its forms.
    for (const char* skin : {"Birch", "Night"}) {
        SCOPED_TRACE(skin);
        TsSkinProvider* p = Skinned(skin);
        Manager->AnimEffects()->SkinChanging()->SetActive(true);
        Manager->AnimEffects()->SkinChanging()->SetTime(80);
        RECT w{};
        GetWindowRect(H(p), &w);
        // A green window under the form's corner, that the corner must show.
        static GdiObject<HBRUSH> green(CreateSolidBrush(RGB(0, 200, 0)));
        testwin::RegisterWindowClass(L"FadeBackdrop", DefWindowProcW, green.Get());
        HWND backdrop = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"FadeBackdrop", L"", WS_POPUP,
                                        w.left - 20, w.top - 20, 80, 80, nullptr, nullptr, nullptr, nullptr);
        ScopeExit dropBackdrop([backdrop] { DestroyWindow(backdrop); });
        SetWindowPos(backdrop, H(p), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        Pump(100);
        COLORREF under = CLR_INVALID;
        {
            WindowDC screen(nullptr);
            under = GetPixel(screen.Get(), w.left, w.top);
        }
        FadeWatch watch;
        watch.Install(p->Form());
        Manager->SetSkinName(std::string(skin) == "Birch" ? "Night" : "Birch");
        Pump(200);
        p->Form()->WindowProc = watch.Prev;
        ASSERT_TRUE(watch.Seen);
        EXPECT_EQ(watch.Owner, Application->Handle());
        EXPECT_TRUE(watch.Shaped);
        EXPECT_EQ(under, RGB(0, 200, 0));
        EXPECT_EQ(watch.Corner, under);
        for (TForm* f : Forms) delete f;
        Forms.clear();
        delete Manager;
        Manager = nullptr;
        Pump(50);
    }
}

// ---------------------------------------------------------------- faults that must not come back

TEST_F(ProviderTest, AButtonUpInTheClientActsOnThePressedButtonAtASignedPoint) {
    TsSkinProvider* p = Skinned();
    HWND h = H(p);
    // Pressed on minimize, released over it as a client message: the key
    // flags are no hit code and the point lies above the client (negative y).
    const RECT b = ButtonOnScreen(p, cbMinimize);
    POINT at = Centre(b);
    SendMessageW(h, WM_NCLBUTTONDOWN, HTMINBUTTON, MAKELPARAM(at.x, at.y));
    ScreenToClient(h, &at);
    ASSERT_LT(at.y, 0);
    SendMessageW(h, WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(at.x, at.y));
    EXPECT_TRUE(PumpUntil([h] { return IsIconic(h) != 0; }, 2000));
}

TEST_F(ProviderTest, PositionChangesReachTheFormAfterARegionUpdateAndEdgesSnapToTheWorkArea) {
    TsSkinProvider* p = Skinned();
    HWND h = H(p);
    p->UpdateRegionRects();
    p->UpdateWindowRegion(false);
    SetWindowPos(h, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT w{};
    GetWindowRect(h, &w);
    EXPECT_EQ(w.left, 200);
    EXPECT_EQ(w.top, 150);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    p->SetScreenSnap(true);
    SetWindowPos(h, nullptr, work.left + 6, work.top + 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(h, &w);
    EXPECT_EQ(w.left, work.left);
    EXPECT_EQ(w.top, work.top);
    SetWindowPos(h, nullptr, work.left + 30, work.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(h, &w);
    EXPECT_EQ(w.left, work.left + 30);
}

TEST_F(ProviderTest, AHiddenFormIsNotAskedToPaintForeverAndTheSystemMenuComesBackWithTheProvider) {
    TsSkinProvider* p = Skinned();
    HWND h = H(p);
    ShowWindow(h, SW_HIDE);
    InvalidateRect(h, nullptr, TRUE);
    SendMessageW(h, WM_PAINT, 0, 0);
    EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
    ShowWindow(h, SW_SHOW);
    Pump(50);
    EXPECT_FALSE(GetWindowLongPtrW(h, GWL_STYLE) & WS_SYSMENU);
    delete p;
    EXPECT_TRUE(GetWindowLongPtrW(h, GWL_STYLE) & WS_SYSMENU);
}

// A provider held by a component that outlives its form hears the form go
// and frees what it put into the form's chain.
TEST_F(ProviderTest, AProviderWhoseFormGoesFirstLeavesNothingBehind) {
    Manager = MakeManager(nullptr, "Birch");
    long level = 0;
    for (int round = 0; round < 5; ++round) {
        if (round == 2) level = testheap::LiveBlocks();
        TForm* f = MakeForm(100, 100, 300, 200, "Goes first");
        auto* holder = new TComponent(f);
        new TsSkinProvider(holder);
        f->RemoveComponent(holder);
        f->Show();
        Pump(30);
        delete f;
        delete holder;
        Pump(20);
    }
    EXPECT_EQ(testheap::LiveBlocks(), level);
}

TEST_F(ProviderTest, AnExceptionInAHandlerStopsAtTheProviderAndSkinnedFormsLeakNothing) {
    Manager = MakeManager(nullptr, "Birch");
    struct Sink {
        int Seen = 0;
        void OnException(TObject*, const std::exception&) { ++Seen; }
        void Throw(TObject*, TMouseButton, TShiftState, int, int) { throw Exception("from a title button"); }
    } sink;
    Application->OnException = TExceptionEvent::Of<&Sink::OnException>(&sink);
    testwin::GuiObjects before;
    for (int round = 0; round < 4; ++round) {
        // The first round makes what lives as long as the program.
        if (round == 1) before = testwin::CountGuiObjects();
        TsSkinProvider* p = Skinned();
        TsTitleButton* t = p->TitleButtons()->Add();
        t->OnMouseDown = TMouseEvent::Of<&Sink::Throw>(&sink);
        p->RefreshFrame();
        Pump(50);
        // Hover every button, retitle (the caption overlay), press the title button.
        for (TsCaptionSlot s : {cbMinimize, cbMaximize, cbClose}) {
            const POINT at = Centre(ButtonOnScreen(p, s));
            MouseMove(at.x, at.y);
        }
        p->Form()->SetCaption("Retitled " + IntToStr(round));
        Pump(50);
        const TRect& r = t->Data.Rect;
        const TPoint o = p->WindowOrigin();
        Click(o.X + (r.Left + r.Right) / 2, o.Y + (r.Top + r.Bottom) / 2);
        MouseMove(1200, 1000);
        delete p->Form();
        Forms.clear();
        Pump(50);
    }
    Application->OnException = nullptr;
    EXPECT_EQ(sink.Seen, 4);
    EXPECT_EQ(testwin::CountGuiObjects(), before);
}

// ---------------------------------------------------------------- the menu line

namespace {

// A main menu of four items, each with a pop-up of one item, on the form.
TMainMenu* AddMainMenu(TForm* F) {
    auto* main = new TMainMenu(F);
    for (const char* caption : {"&File", "&Edit", "&View", "&Help"}) {
        auto* top = new TMenuItem(F);
        top->SetCaption(caption);
        auto* sub = new TMenuItem(F);
        sub->SetCaption("&Item");
        top->Add(sub);
        main->Items()->Add(top);
    }
    F->SetMenu(main);
    return main;
}

void Press(std::initializer_list<WORD> Keys) {
    std::vector<INPUT> in;
    for (WORD k : Keys) in.push_back(testwin::KeyStroke(k, false));
    for (auto k = std::rbegin(Keys); k != std::rend(Keys); ++k) in.push_back(testwin::KeyStroke(*k, true));
    testwin::SendInputs(in);
}

// The pop-up menu that opens while Input runs (the menu loop runs here,
// Input on a thread of its own), closed again; nil when none opened.
HMENU MenuOpenedBy(const std::function<void()>& Input) {
    HMENU shown = nullptr;
    RunBesideLoop([&] {
        Input();
        for (int i = 0; i < 150 && !shown; ++i) {
            HWND w = FindWindowW(L"#32768", nullptr);
            if (w && IsWindowVisible(w))
                shown = HMENU(SendMessageW(w, MN_GETHMENU, 0, 0));
            else
                Sleep(20);
        }
        Sleep(60);
        Press({VK_ESCAPE});
        Sleep(60);
        Press({VK_ESCAPE});
    });
    return shown;
}

// The rectangle of a bar item in window coordinates, found by its command
// (the system puts entries of its own before it for a maximised MDI child).
RECT BarItem(HWND H, TMainMenu* Main, int Index) {
    // The window's bar: a merged menu's items show on the frame's.
    HMENU bar = GetMenu(H);
    const UINT command = Main->Items()->Items(Index)->Command();
    RECT w{}, r{};
    GetWindowRect(H, &w);
    for (int pos = 0; pos < GetMenuItemCount(bar); ++pos) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        if (GetMenuItemInfoW(bar, UINT(pos), TRUE, &info) && info.wID == command)
            GetMenuItemRect(H, bar, UINT(pos), &r);
    }
    OffsetRect(&r, -w.left, -w.top);
    return r;
}

int Distance(uint32_t A, uint32_t B) {
    return std::abs(testwin::Red(A) - testwin::Red(B)) + std::abs(testwin::Green(A) - testwin::Green(B)) +
           std::abs(testwin::Blue(A) - testwin::Blue(B));
}

// Of the window's pixels in R: how many are Face exactly, how many near Ink.
struct Inked {
    int Face = 0, Ink = 0, All = 0;
};
Inked Count(HWND H, const RECT& R, uint32_t Face, uint32_t Ink) {
    RECT w{};
    GetWindowRect(H, &w);
    const testwin::Pixels p = testwin::CopyFromWindow(H, RECT{0, 0, w.right - w.left, R.bottom}, true);
    Inked n;
    for (int y = std::max(0, int(R.top)); y < std::min(p.Height, int(R.bottom)); ++y)
        for (int x = std::max(0, int(R.left)); x < std::min(p.Width, int(R.right)); ++x) {
            ++n.All;
            n.Face += p.At(x, y) == Face;
            n.Ink += Distance(p.At(x, y), Ink) <= 60;
        }
    return n;
}

}  // namespace

struct MenuLine : ProviderTest, ::testing::WithParamInterface<const char*> {
    TsSkinProvider* P = nullptr;
    TMainMenu* Main = nullptr;
    uint32_t Face = 0, Ink = 0;
    void Make(TFormStyle Style) {
        Manager = MakeManager(nullptr, GetParam());
        TForm* f = MakeForm(80, 60, 640, 480, "Menu line");
        f->SetFormStyle(Style);
        Main = AddMainMenu(f);
        P = Shown(f);
        if (const int line = Manager->SectionIndex("MENULINE"); line >= 0) {
            Face = SectionColor(Manager, "MENULINE");
            Ink = testwin::SwapRedBlue(uint32_t(ColorToRGB(Manager->gd()[size_t(line)].FontColor[0])));
        }
    }
    // An MDI child of the frame at (X, Y), not yet skinned nor shown.
    TForm* Child(int X, int Y) {
        auto* c = new TForm(P->Form());
        c->SetFormStyle(fsMDIChild);
        c->SetBounds(X, Y, 240, 160);
        return c;
    }
    // Every item shows its text on the line's face.
    void ExpectItemsShown(const char* When) {
        HWND h = P->Form()->Handle();
        for (int i = 0; i < Main->Items()->Count(); ++i) {
            const Inked n = Count(h, BarItem(h, Main, i), Face, Ink);
            EXPECT_GT(n.Ink, 8) << When << " item " << i;
            EXPECT_GT(n.Face, n.All / 2) << When << " item " << i;
        }
    }
};

// The band between caption and client comes from the skin and is not
// covered by the frame: the items' text shows on the line's face, the empty
// part is the face; Alt and a letter, F10 and the arrows, and a real click
// on an item open that item's pop-up; a narrow form wraps the bar into two
// rows, painted as well; captions changed at run time are shown, and
// repaints leave no system objects behind.
TEST_P(MenuLine, TheLineIsTheSkinsAndItsItemsShowAndOpen) {
    Make(fsNormal);
    HWND h = P->Form()->Handle();
    HMENU bar = Main->Handle();
    ASSERT_EQ(GetMenu(h), bar);
    EXPECT_EQ(FrameMismatches(P), 0);
    ExpectItemsShown("shown");
    RECT empty = BarItem(h, Main, 3);
    empty.left = empty.right + 10;
    empty.right = P->FormWidth() - P->SysBorderWidth() - 10;
    InflateRect(&empty, 0, -2);
    const Inked e = Count(h, empty, Face, Ink);
    EXPECT_GT(e.All, 0);
    EXPECT_EQ(e.Face, e.All);

    const struct {
        const char* What;
        std::function<void()> Input;
        int Item;
    } ways[] = {
        {"Alt+E", [] { Press({VK_MENU, 'E'}); }, 1},
        {"F10, Down", [] { Press({VK_F10}); Sleep(150); Press({VK_DOWN}); }, 0},
        {"click", [&] {
             const RECT r = BarItem(h, Main, 3);
             RECT w{};
             GetWindowRect(h, &w);
             const int x = w.left + (r.left + r.right) / 2, y = w.top + (r.top + r.bottom) / 2;
             testwin::MouseAt(x, y);
             Sleep(50);
             testwin::MouseAt(x, y, MOUSEEVENTF_LEFTDOWN);
             Sleep(40);
             testwin::MouseAt(x, y, MOUSEEVENTF_LEFTUP);
         }, 3},
    };
    for (const auto& w : ways) EXPECT_EQ(MenuOpenedBy(w.Input), Main->Items()->Items(w.Item)->Handle()) << w.What;
    MouseMove(1200, 1000);
    EXPECT_TRUE(PumpUntil([&] { return FrameMismatches(P) == 0; }, 2000));
    ExpectItemsShown("after the menus");

    SetWindowPos(h, nullptr, 0, 0, 120, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(150);
    const RECT first = BarItem(h, Main, 0), last = BarItem(h, Main, 3);
    ASSERT_GT(last.top, first.top);
    EXPECT_EQ(P->MenuRows(), 2);
    EXPECT_EQ(FrameMismatches(P), 0);
    ExpectItemsShown("wrapped");
    SetWindowPos(h, nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(150);
    // The image kept over the size changes is the one painted anew: the
    // second row's pixels are gone with the row.
    const testwin::Pixels stepped = Image(P);
    Command(h, scRefresh, LPARAM(Manager));
    Pump(50);
    const testwin::Pixels fresh = Image(P);
    ASSERT_EQ(fresh.Data.size(), stepped.Data.size());
    EXPECT_EQ(std::mismatch(fresh.Data.begin(), fresh.Data.end(), stepped.Data.begin()).first - fresh.Data.begin(),
              std::ptrdiff_t(fresh.Data.size()));

    testwin::GuiObjects before;
    for (int i = 0; i < 12; ++i) {
        if (i == 2) before = testwin::CountGuiObjects();
        Main->Items()->Items(3)->SetCaption(i % 2 ? "&Help" : "&Information");
        Pump(30);
        P->RefreshFrame();
        Pump(30);
    }
    EXPECT_EQ(testwin::CountGuiObjects(), before);
    EXPECT_EQ(FrameMismatches(P), 0);
    ExpectItemsShown("renamed");
    EXPECT_GT(BarItem(h, Main, 3).right - BarItem(h, Main, 3).left, 0);
}

// An MDI form whose child is maximised with a real click on its caption
// button: the child fills the client area, its region too; the child's
// buttons sit in the menu line, painted from the skin; Alt and a letter still open the right pop-up
// past the system's entry for the child; a real click on the close button
// closes the child and the line keeps the buttons only for another child
// maximised in its place.
TEST_P(MenuLine, AMaximisedMDIChildsButtonsAreInTheLineAndClose) {
    Make(fsMDIForm);
    TForm* f = P->Form();
    TForm* child = nullptr;
    for (int i = 0; i < 2; ++i) {
        child = Child(10 + 200 * i, 10 + 60 * i);
        new TsSkinProvider(child);
        auto* edit = new TEdit(child);
        edit->SetParent(child);
        edit->SetBounds(12, 12, 200, 24);
        child->Show();
    }
    Pump(100);
    HWND c = child->Handle();
    {
        const POINT at = Centre(ButtonOnScreen(GetFormProvider(child), cbMaximize));
        Click(at.x, at.y);
    }
    Pump(300);
    ASSERT_TRUE(IsZoomed(c));
    {
        // The child fills the client area with its own image, its region cut
        // to its new size.
        TsSkinProvider* cp = GetFormProvider(child);
        RECT cr{}, mr{}, box{};
        GetClientRect(c, &cr);
        GetClientRect(f->ClientHandle(), &mr);
        EXPECT_GE(cr.right, mr.right - 2 * cp->SysBorderWidth());
        RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(c, rgn.Get()), ERROR);
        GetRgnBox(rgn.Get(), &box);
        RECT wr{};
        GetWindowRect(c, &wr);
        EXPECT_EQ(box.right - box.left, wr.right - wr.left);
        EXPECT_EQ(box.bottom - box.top, wr.bottom - wr.top);
        const testwin::Pixels px = testwin::CopyFromWindow(c, cr);
        HDC cache = cp->SkinData()->CacheBitmap->Canvas()->Handle();
        int bad = 0, n = 0;
        for (int y = 60; y < cr.bottom; y += 7)
            for (int x = 0; x < cr.right; x += 7, ++n)
                bad += px.At(x, y) != testwin::SwapRedBlue(GetPixel(cache, cp->OffsetX() + x, cp->OffsetY() + y));
        EXPECT_LT(bad, n / 50);
    }
    EXPECT_TRUE(P->MDIButtonsShown());
    EXPECT_EQ(FrameMismatches(P), 0);
    ExpectItemsShown("maximised");
    // The buttons lie in the line, right to left: close, restore, minimize;
    // each shows the skin's picture, not the line's face.
    const TRect close = P->Button(cbMDIClose).Rect, restore = P->Button(cbMDIRestore).Rect,
                minimize = P->Button(cbMDIMinimize).Rect;
    EXPECT_GE(close.Top, P->SysBorderHeight() + P->CaptionHeight());
    EXPECT_LE(close.Bottom, P->TopBandHeight());
    EXPECT_LE(restore.Right, close.Left);
    EXPECT_LE(minimize.Right, restore.Left);
    for (const TRect& b : {close, restore, minimize}) {
        const Inked n = Count(f->Handle(), RECT{b.Left, b.Top, b.Right, b.Bottom}, Face, Ink);
        EXPECT_LT(n.Face, n.All * 3 / 4);
    }
    EXPECT_EQ(MenuOpenedBy([] { Press({VK_MENU, 'V'}); }), Main->Items()->Items(2)->Handle());

    const RECT screen = ButtonOnScreen(P, cbMDIClose);
    const POINT at = Centre(screen);
    MouseMove(at.x, at.y);
    EXPECT_EQ(P->Button(cbMDIClose).State, 1);
    EXPECT_EQ(FrameMismatches(P), 0);
    Click(at.x, at.y);
    EXPECT_TRUE(PumpUntil([c] { return !IsWindow(c); }, 2000)) << "a closed MDI child goes";
    // The line follows: the buttons stay only for another child maximised in turn.
    EXPECT_TRUE(PumpUntil([&] {
        HWND now = MaximisedMDIChild(f);
        return now != c && P->MDIButtonsShown() == (now != nullptr) && (P->Button(cbMDIClose).State >= 0) == (now != nullptr);
    }, 2000));
    EXPECT_TRUE(PumpUntil([&] { return FrameMismatches(P) == 0; }, 2000));
    ExpectItemsShown("closed");
}

// The active MDI child's menu joins the skinned line by group index: its
// items' text shows where the system placed them, on the line's face, the
// frame on screen is the provider's image; a real click on a merged item
// runs the child's handler; the frame's own items come back when the child goes.
TEST_P(MenuLine, TheActiveMDIChildsMenuIsMergedIntoTheLine) {
    Make(fsMDIForm);
    TForm* f = P->Form();
    for (int i = 0; i < 4; ++i) Main->Items()->Items(i)->SetGroupIndex(i < 3 ? i : 9);
    TForm* child = Child(10, 10);
    auto* menu = new TMainMenu(child);
    int clicks = 0;
    for (auto [caption, group] : {std::pair<const char*, int>{"&Draw", 2}, {"&Tools", 5}}) {
        auto* item = new TMenuItem(child);
        item->SetCaption(caption);
        item->SetGroupIndex(group);
        item->OnClick = TNotifyEvent::Fn(&clicks, [](void* C, TObject*) { ++*static_cast<int*>(C); });
        menu->Items()->Add(item);
    }
    child->SetMenu(menu);
    new TsSkinProvider(child);
    child->Show();
    Pump(200);
    HWND h = f->Handle();
    ASSERT_EQ(Main->MergedMenu(), menu);
    EXPECT_TRUE(P->MenuVisible());
    // File, Edit, Draw (in View's place), Tools, Help, left to right.
    const RECT edit = BarItem(h, Main, 1), draw = BarItem(h, menu, 0), tools = BarItem(h, menu, 1),
               help = BarItem(h, Main, 3);
    EXPECT_LE(edit.right, draw.left);
    EXPECT_LE(draw.right, tools.left);
    EXPECT_LE(tools.right, help.left);
    const RECT view = BarItem(h, Main, 2);
    EXPECT_TRUE(IsRectEmpty(&view)) << "View is replaced";
    EXPECT_TRUE(PumpUntil([&] { return FrameMismatches(P) == 0; }, 2000));
    for (const RECT& r : {draw, tools, edit}) {
        const Inked n = Count(h, r, Face, Ink);
        EXPECT_GT(n.Ink, 8);
        EXPECT_GT(n.Face, n.All / 2);
    }
    RECT w{};
    GetWindowRect(h, &w);
    Click(w.left + (tools.left + tools.right) / 2, w.top + (tools.top + tools.bottom) / 2);
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }, 2000)) << "the child's handler runs";

    delete child;
    Pump(200);
    EXPECT_EQ(Main->MergedMenu(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return FrameMismatches(P) == 0; }, 2000));
    ExpectItemsShown("unmerged");
}

INSTANTIATE_TEST_SUITE_P(OurSkins, MenuLine, ::testing::Values("Birch", "Night"));

// ---------------------------------------------------------------- skins without images

namespace {

// Pixels far from the most common one: a glyph's ink.
int GlyphInk(const testwin::Pixels& P) {
    std::map<uint32_t, int> n;
    for (uint32_t c : P.Data) ++n[c];
    const uint32_t face = std::max_element(n.begin(), n.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    return int(std::count_if(P.Data.begin(), P.Data.end(), [&](uint32_t c) { return Distance(c, face) > 90; }));
}

}  // namespace

// A skin of plain colours only: on the display the frame's sides and bottom
// are the form's colour (no border image paints that band) and the title
// band is exactly the title's colour as the skin text writes it (an odd
// channel among them), for the active form and the inactive one.
struct PlainLook : MenuLine {};

TEST_P(PlainLook, TheWholeFrameAndTheExactTitleColourAreTheSkins) {
    TsSkinProvider* p = Skinned(GetParam(), 80, 60, 500, 360);
    const uint32_t form = SectionColor(Manager, "FORM");
    const uint32_t title = std::string(GetParam()) == "Flat" ? 0x3A6EA5 : 0x5A2BC0;  // 10841658, 12594010
    const auto check = [&](const char* State) {
        HWND h = H(p);
        RECT w{}, client{};
        GetWindowRect(h, &w);
        GetClientRect(h, &client);
        const int W = w.right - w.left, Hh = w.bottom - w.top;
        const testwin::Pixels shown = testwin::CopyFromWindow(nullptr, w);
        const RECT inside{p->OffsetX(), p->OffsetY(), p->OffsetX() + client.right, p->OffsetY() + client.bottom};
        int frame = 0, titled = 0;
        for (int y = p->TopBandHeight(); y < Hh; ++y)
            for (int x = 0; x < W; ++x)
                if (!PtInRect(&inside, POINT{x, y})) frame += shown.At(x, y) != form;
        // Between the caption text and the buttons, over the band's height.
        const int band = p->SysBorderHeight() + p->CaptionHeight();
        for (int y = 1; y < band - 1; ++y)
            for (int x = W / 2; x < W / 2 + 80; ++x) titled += shown.At(x, y) != title;
        EXPECT_EQ(frame, 0) << State << ": frame pixels not of the form's colour";
        EXPECT_EQ(titled, 0) << State << ": title pixels not exactly the title's colour";
    };
    check("active");
    Skinned(GetParam(), 640, 300, 300, 200);
    ASSERT_FALSE(p->FormActive());
    check("inactive");
}

// Under a skin without images an MDI form's title shows its buttons as
// glyphs that light under the real mouse and look pressed while held; the
// client area is the MDIAREA section where the skin has one; a maximised
// child's buttons in the menu line show their glyphs too.
TEST_P(PlainLook, TitleAndMenuLineButtonsShowAndTheMDIAreaIsItsSection) {
    Make(fsMDIForm);
    TsSkinProvider* p = P;
    TForm *f = p->Form(), *child = Child(10, 10);
    new TsSkinProvider(child);
    child->Show();
    Pump(150);
    HWND h = f->Handle();
    const auto shown = [&](TsCaptionSlot S) {
        const TRect r = p->Button(S).Rect;
        return testwin::CopyFromWindow(h, RECT{r.Left, r.Top, r.Right, r.Bottom}, true);
    };
    for (TsCaptionSlot s : {cbClose, cbMaximize, cbMinimize}) {
        const testwin::Pixels normal = shown(s);
        EXPECT_GE(GlyphInk(normal), 6) << "button " << s << " has no glyph";
        const POINT at = Centre(ButtonOnScreen(p, s));
        MouseMove(at.x, at.y);
        const testwin::Pixels hot = shown(s);
        EXPECT_GE(normal.Differing(hot), 10) << "button " << s << " does not light";
        MouseDown();
        EXPECT_GE(hot.Differing(shown(s)), 10) << "button " << s << " does not look pressed";
        MouseMove(at.x, at.y + 150);
        MouseUp();
        Pump(50);
    }
    EXPECT_TRUE(IsWindowVisible(h) && !IsIconic(h) && !IsZoomed(h));
    if (Manager->SectionIndex("MDIAREA") >= 0) {
        RECT cr{};
        GetClientRect(f->ClientHandle(), &cr);
        const testwin::Pixels px =
            testwin::CopyFromWindow(f->ClientHandle(), RECT{cr.right - 120, cr.bottom - 90, cr.right - 20, cr.bottom - 10});
        EXPECT_EQ(px.Count(SectionColor(Manager, "MDIAREA")), 100 * 80) << "the client is not the MDIAREA colour";
    }
    SendMessageW(f->ClientHandle(), WM_MDIMAXIMIZE, WPARAM(child->Handle()), 0);
    Pump(200);
    ASSERT_TRUE(p->MDIButtonsShown());
    for (TsCaptionSlot s : {cbMDIClose, cbMDIRestore, cbMDIMinimize})
        EXPECT_GE(GlyphInk(shown(s)), 4) << "menu-line button " << s << " has no glyph";
}

INSTANTIATE_TEST_SUITE_P(Plain, PlainLook, ::testing::Values("Flat", "Sparse"));

// ---------------------------------------------------------------- the MDI client's bars

namespace {

// Under the client's wrapper: the scroll codes of the WM_VSCROLL it is sent.
struct ScrollSpy {
    static inline WNDPROC Prev = nullptr;
    static inline std::vector<int> Codes;
    static inline std::vector<int> Positions;
    static LRESULT CALLBACK Proc(HWND H, UINT M, WPARAM W, LPARAM L) {
        if (M == WM_VSCROLL) {
            Codes.push_back(LOWORD(W));
            if (LOWORD(W) == SB_THUMBTRACK) Positions.push_back(HIWORD(W));
        }
        return CallWindowProcW(Prev, H, M, W, L);
    }
    explicit ScrollSpy(HWND H) : Wnd(H) {
        Codes.clear();
        Positions.clear();
        Prev = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~ScrollSpy() { SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Prev)); }
    static int CountOf(int Code) { return int(std::count(Codes.begin(), Codes.end(), Code)); }
    HWND Wnd;
};

}  // namespace

// The skinned bars of an MDI form's client window, driven by the real
// mouse: an arrow held repeats its line step until the button comes up, a
// thumb dragged sends a position for each step of the drag.
TEST_P(MenuLine, TheMDIClientsBarsRepeatAndTrackLikeAnyOther) {
    Make(fsMDIForm);
    TForm* f = P->Form();
    HWND client = f->ClientHandle();
    // A child of the system's kind far below the client's bottom: the client
    // shows its bars.
    HWND child = ForeignMDIChild(client, 10, 1500, 200, 120);
    ASSERT_NE(child, nullptr);
    // The system's client takes its bars only while its style asks for them
    // (an empty client gave them up); the child's next size step shows them.
    SetWindowLongPtrW(client, GWL_STYLE, GetWindowLongPtrW(client, GWL_STYLE) | WS_VSCROLL | WS_HSCROLL);
    MoveWindow(child, 10, 1500, 210, 130, TRUE);
    ASSERT_TRUE(PumpUntil([&] {
        return (GetWindowLongPtrW(client, GWL_STYLE) & WS_VSCROLL) && GetScrollBarObject(client, 1) &&
               GetScrollBarObject(client, 1)->Visible;
    }, 2000));
    SendMessageW(client, WM_VSCROLL, SB_TOP, 0);
    Pump(100);
    TacScrollBar* bar = GetScrollBarObject(client, 1);
    const TRect r = GetVertBarRect(bar->Owner, client);
    const int arrow = GetScrollMetric(bar, 0, true), x = (r.Left + r.Right) / 2;
    {
        ScrollSpy spy(client);
        MouseMove(x, r.Bottom - arrow / 2);
        MouseDown();
        Pump(900);
        MouseUp();
        Pump(100);
        EXPECT_GE(ScrollSpy::CountOf(SB_LINEDOWN), 5) << "held, the arrow repeats";
        EXPECT_EQ(ScrollSpy::CountOf(SB_ENDSCROLL), 1);
        EXPECT_EQ(ScrollSpy::Codes.back(), SB_ENDSCROLL) << "the press ends with the button";
    }
    SendMessageW(client, WM_VSCROLL, SB_TOP, 0);
    Pump(100);
    {
        ScrollSpy spy(client);
        const int y = r.Top + arrow + 5;
        Drag(POINT{x, y}, POINT{x, y + 150}, 8, 40);
        Pump(100);
        EXPECT_GE(ScrollSpy::Positions.size(), 4u) << "the drag tracks";
        EXPECT_TRUE(std::is_sorted(ScrollSpy::Positions.begin(), ScrollSpy::Positions.end()));
        EXPECT_EQ(ScrollSpy::CountOf(SB_THUMBPOSITION), 1);
        EXPECT_EQ(ScrollSpy::Codes.back(), SB_ENDSCROLL);
    }
    MouseMove(1200, 1000);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    StartUnits();
    const int r = RUN_ALL_TESTS();
    StopUnits();
    return r;
}

// ---------------------------------------------------------------- a form of a second manager

namespace {
// The shares of a pop-up's pixels near Face and near Other, read while
// Input has it open ({-1, -1} when none opened).
std::pair<double, double> PopupSharesNear(const std::function<void()>& Input, uint32_t Face, uint32_t Other) {
    std::pair<double, double> shares{-1, -1};
    RunBesideLoop([&] {
        Input();
        for (int i = 0; i < 150 && shares.first < 0; ++i) {
            HWND w = FindWindowW(L"#32768", nullptr);
            if (!w || !IsWindowVisible(w)) {
                Sleep(20);
                continue;
            }
            Sleep(150);
            RECT r{};
            GetWindowRect(w, &r);
            const testwin::Pixels p =
                testwin::CopyFromWindow(w, RECT{0, 0, r.right - r.left, r.bottom - r.top}, true);
            int face = 0, other = 0;
            for (uint32_t c : p.Data) face += Distance(c, Face) <= 6, other += Distance(c, Other) <= 6;
            const double n = double(std::max<size_t>(p.Data.size(), 1));
            shares = {face / n, other / n};
        }
        Press({VK_ESCAPE});
        Sleep(60);
        Press({VK_ESCAPE});
    });
    return shares;
}
}  // namespace

// A form given to a second manager at run time wears that manager's skin:
// its title, its menu bar's pop-ups and its system menu are painted from
// it, not from the default manager's; given back to the default, its menus
// follow again.
TEST_F(ProviderTest, AFormOfASecondManagerWearsItsSkinInTheFrameAndEveryMenu) {
    Manager = MakeManager(nullptr, "Birch");
    std::unique_ptr<TsSkinManager> second(MakeManager(nullptr, "Night"));
    ASSERT_NE(SectionColor(Manager, "MAINMENU"), SectionColor(second.get(), "MAINMENU"));
    TForm* f = MakeForm(80, 60, 640, 480, "Second manager");
    AddMainMenu(f);
    auto* p = Shown(f);
    const struct {
        const char* What;
        std::function<void()> Input;
    } menus[] = {
        {"menu bar", [] { Press({VK_MENU, 'F'}); }},
        {"system menu", [] { Press({VK_MENU, VK_SPACE}); }},
    };
    for (TsSkinManager* m : {second.get(), Manager}) {
        p->SkinData()->WriteSkinManager(m);
        Pump(150);
        SCOPED_TRACE(m == Manager ? "default" : "second");
        EXPECT_EQ(p->SkinData()->SkinManager(), m);
        ASSERT_TRUE(p->SkinData()->IsSkinned());
        EXPECT_EQ(FrameMismatches(p), 0);
        EXPECT_TRUE(TitleOfSkin(p, m));
        TsSkinManager* other = m == Manager ? second.get() : Manager;
        for (const auto& menu : menus) {
            const auto [own, others] =
                PopupSharesNear(menu.Input, SectionColor(m, "MAINMENU"), SectionColor(other, "MAINMENU"));
            EXPECT_GT(own, 0.05) << menu.What;
            EXPECT_GT(own, 3 * others) << menu.What;
        }
    }
    delete f;
    Forms.clear();
}
