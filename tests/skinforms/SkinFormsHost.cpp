#include "SkinFormsHost.h"

#include "Guards.h"
#include "TestSkins.h"
#include "UnitInit.h"
#include "acGlow.h"
#include "acPNG.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sGraphUtils.h"
#include "sSkinMenus.h"
#include "sSkinnedForms.h"

namespace skinforms {

void StartUnits() {
    static const TUnitStep kUnits[] = {
        {"sConst", sConstInitialize, sConstFinalize},
        {"sThirdParty", sThirdPartyInitialize, sThirdPartyFinalize},
        {"sControlUtils", sControlUtilsInitialize, sControlUtilsFinalize},
        {"sGraphUtils", sGraphUtilsInitialize, sGraphUtilsFinalize},
        {"acGlow", acGlowInitialize, acGlowFinalize},
        {"sSkinnedForms", sSkinnedFormsInitialize, sSkinnedFormsFinalize},
        {"sSkinManager", sSkinManagerInitialize, sSkinManagerFinalize},
        {"sMessages", sMessagesInitialize, nullptr},
        {"sAlphaGraph", sAlphaGraphInitialize, sAlphaGraphFinalize},
        {"acPNG", acPNGInitialize, acPNGFinalize},
        {"sSkinMenus", sSkinMenusInitialize, sSkinMenusFinalize},
        {"sSkinProvider", sSkinProviderInitialize, sSkinProviderFinalize},
    };
    ::StartUnits(kUnits);
    Application->Initialize();
}

void StopUnits() {
    Application->DestroyForms();
    FinishUnits();
}

TsSkinManager* MakeManager(TComponent* Owner, const char* Skin) {
    return MakeSkinManager(Owner, TUVRELI_TEST_SKINS_DIR, Skin);
}

namespace {
void HandleMessages() { Application->ProcessMessages(); }
}  // namespace

void Pump(int Ms) { testwin::PumpFor(&HandleMessages, Ms); }
bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs) {
    return testwin::PumpUntil(&HandleMessages, Done, TimeoutMs);
}

TForm* MakeForm(int X, int Y, int W, int H, const char* Caption) {
    auto* f = new TForm(Application);
    f->SetCaption(Caption);
    f->SetBounds(X, Y, W, H);
    return f;
}

namespace {
void SendMouse(DWORD Flags, int X = 0, int Y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = Flags;
    if (Flags & MOUSEEVENTF_ABSOLUTE) {
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        in.mi.dx = LONG((X * 65535LL + (w - 1) / 2) / (w - 1));
        in.mi.dy = LONG((Y * 65535LL + (h - 1) / 2) / (h - 1));
    }
    SendInput(1, &in, sizeof in);
}
}  // namespace

void MouseMove(int X, int Y) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, X, Y);
    PumpUntil([&] {
        POINT p{};
        GetCursorPos(&p);
        return p.x == X && p.y == Y;
    }, 500);
    Pump(30);
}
void MouseDown() {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Pump(40);
}
void MouseUp() {
    SendMouse(MOUSEEVENTF_LEFTUP);
    Pump(40);
}
void Click(int X, int Y) { MouseScript({{X, Y, 0}, {X, Y, 1}, {X, Y, 2}}); }

void MouseScript(const std::vector<MouseStep>& Steps, int Gap) { testwin::MouseScript(&HandleMessages, Steps, Gap); }

void Drag(POINT From, POINT To, int Steps, int Gap) { testwin::DragMouse(&HandleMessages, From, To, Steps, Gap); }

void RunBesideLoop(const std::function<void()>& Body, int TimeoutMs) {
    struct Ctx {
        std::function<void()> Body;
        volatile LONG Done = 0;
    } ctx{Body};
    HANDLE t = CreateThread(
        nullptr, 0,
        [](LPVOID P) -> DWORD {
            auto* c = static_cast<Ctx*>(P);
            c->Body();
            InterlockedExchange(&c->Done, 1);
            return 0;
        },
        &ctx, 0, nullptr);
    if (!t) return;
    PumpUntil([&] { return ctx.Done != 0; }, TimeoutMs);
    WaitForSingleObject(t, DWORD(TimeoutMs));
    CloseHandle(t);
    Pump(150);
}

int FrameMismatches(TsSkinProvider* P, bool Whole) {
    HWND h = P->Form()->Handle();
    TBitmap* cache = P->SkinData()->CacheBitmap;
    if (!cache || cache->Empty()) return -1;
    RECT w{};
    GetWindowRect(h, &w);
    const int W = w.right - w.left, top = P->TopBandHeight(), H = Whole ? w.bottom - w.top : top;
    const testwin::Pixels shown = testwin::CopyFromWindow(h, RECT{0, 0, W, H}, true);
    RECT client{};
    GetClientRect(h, &client);
    const RECT inside{P->OffsetX(), P->OffsetY(), P->OffsetX() + client.right, P->OffsetY() + client.bottom};
    HDC c = cache->Canvas()->Handle();
    RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
    const bool cut = GetWindowRgn(h, rgn.Get()) != ERROR;
    // A child window shows only inside its parent's client area.
    RECT visible{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    for (HWND p = GetParent(h); p && (GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD); p = GetParent(p)) {
        RECT pc{};
        GetClientRect(p, &pc);
        MapWindowPoints(p, nullptr, reinterpret_cast<POINT*>(&pc), 2);
        IntersectRect(&visible, &visible, &pc);
        if (!(GetWindowLongPtrW(p, GWL_STYLE) & WS_CHILD)) break;
    }
    int bad = 0;
    for (int y = 0; y < H; y += 2)
        for (int x = Whole ? 0 : 8; x < (Whole ? W : W - 8); x += 3) {
            if ((cut && !PtInRegion(rgn.Get(), x, y)) || !PtInRect(&visible, POINT{w.left + x, w.top + y}) ||
                (y >= top && PtInRect(&inside, POINT{x, y})))
                continue;
            if (testwin::SwapRedBlue(GetPixel(c, x, y)) != shown.At(x, y)) ++bad;
        }
    return bad;
}

testwin::Pixels Image(TsSkinProvider* P) {
    TBitmap* cache = P->SkinData()->CacheBitmap;
    const int w = cache->Width(), h = cache->Height();
    return testwin::Capture(w, h, [&](HDC dc) { BitBlt(dc, 0, 0, w, h, cache->Canvas()->Handle(), 0, 0, SRCCOPY); });
}

RECT ButtonOnScreen(TsSkinProvider* P, TsCaptionSlot Slot) {
    const TRect& r = P->Button(Slot).Rect;
    const TPoint o = P->WindowOrigin();
    return RECT{o.X + r.Left, o.Y + r.Top, o.X + r.Right, o.Y + r.Bottom};
}

POINT Centre(const RECT& R) { return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }

HWND ForeignMDIChild(HWND Client, int X, int Y, int W, int H, DWORD Style) {
    testwin::RegisterWindowClass(L"ForeignMDIKid", DefMDIChildProcW, HBRUSH(COLOR_WINDOW + 1));  // once; again fails
    MDICREATESTRUCTW mc{L"ForeignMDIKid", L"Foreign", GetModuleHandleW(nullptr), X, Y, W, H, Style, 0};
    return reinterpret_cast<HWND>(SendMessageW(Client, WM_MDICREATE, 0, LPARAM(&mc)));
}

}  // namespace skinforms
