#include "HostedWrappers.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "TestSkins.h"
#include "UnitInit.h"
#include "acPNG.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sGraphUtils.h"

namespace hostwrap {

TsSkinManager* M = nullptr;
std::function<void(UINT, WPARAM, LPARAM)> HostHears, FormHears;

namespace {

bool AnswerAsSkinnedParent(UINT Msg, WPARAM W, LPARAM L, LRESULT& Result) {
    if (Msg != SM_ALPHACMD) return false;
    switch (SkinCommandOf(W)) {
    case scGetBackground: {
        auto* info = reinterpret_cast<BackgroundInfo*>(L);
        info->BgType = 1;
        info->Color = kHostColor;
        if (info->PleaseDraw && info->DrawDC) FillRectOnDC(info->DrawDC, info->R, kHostColor);
        Result = 0;
        return true;
    }
    case scIsSkinned: Result = 1; return true;
    case scQueryColor: Result = kHostColor; return true;
    default: return false;
    }
}

LRESULT CALLBACK HostProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
    LRESULT r = 0;
    if (AnswerAsSkinnedParent(Msg, W, L, r)) return r;
    if (HostHears) HostHears(Msg, W, L);
    if (Msg == WM_ERASEBKGND) {
        RECT c;
        GetClientRect(Wnd, &c);
        FillRectOnDC(reinterpret_cast<HDC>(W), Rect(c.left, c.top, c.right, c.bottom), kHostColor);
        return 1;
    }
    return DefWindowProcW(Wnd, Msg, W, L);
}

}  // namespace

void THostForm::WndProc(TMessage& Msg) {
    if (AnswerAsSkinnedParent(Msg.Msg, Msg.WParam, Msg.LParam, Msg.Result)) return;
    if (FormHears) FormHears(Msg.Msg, Msg.WParam, Msg.LParam);
    TForm::WndProc(Msg);
}

void StartHostedRun(DWORD IccClasses) {
    static const TUnitStep kUnits[] = {
        {"sConst", sConstInitialize, sConstFinalize},
        {"sSkinManager", sSkinManagerInitialize, sSkinManagerFinalize},
        {"sMessages", sMessagesInitialize, nullptr},
        {"sAlphaGraph", sAlphaGraphInitialize, sAlphaGraphFinalize},
        {"acPNG", acPNGInitialize, acPNGFinalize},
        {"sControlUtils", sControlUtilsInitialize, sControlUtilsFinalize},
        {"sGraphUtils", sGraphUtilsInitialize, sGraphUtilsFinalize},
    };
    StartUnits(kUnits);
    INITCOMMONCONTROLSEX icc{sizeof icc, IccClasses};
    InitCommonControlsEx(&icc);
    testwin::RegisterWindowClass(L"WrapperHost", HostProc);
    M = MakeSkinManager(nullptr, TUVRELI_TEST_SKINS_DIR, "Birch");
}

void FinishHostedRun() {
    delete M;
    M = nullptr;
    FinishUnits();
}

void Pump(int Ms) { testwin::PumpFor(&testwin::DispatchWaiting, Ms); }

void MouseTo(int X, int Y, DWORD Buttons) {
    testwin::MouseAt(X, Y, Buttons);
    Pump();
}

void HostFixture::SetUp() {
    SetCursorPos(2, 2);
    Host = CreateWindowExW(0, L"WrapperHost", L"Wrappers", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, HostWidth,
                           HostHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(Host);
    Pump();
}

void HostFixture::TearDown() {
    for (auto it = Made.rbegin(); it != Made.rend(); ++it) delete *it;
    DestroyWindow(Host);
    HostGone();
    Pump(10);
}

HWND HostFixture::Child(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H, DWORD Ex,
                        HWND Parent) {
    HWND h = CreateWindowExW(Ex, Class, Text, WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Parent ? Parent : Host,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return h;
}

void HostFixture::Free(TacMainWnd* W) {
    Made.erase(std::remove(Made.begin(), Made.end(), W), Made.end());
    delete W;
}

void CheckWrapperLife(HWND H, const std::function<TacMainWnd*(HWND)>& Make, const std::function<void(HWND)>& Paint) {
    const LONG_PTR own = GetWindowLongPtrW(H, GWLP_WNDPROC);
    TacMainWnd* w = Make(H);
    ASSERT_TRUE(w);
    EXPECT_EQ(Make(H), nullptr);
    InvalidateRect(H, nullptr, TRUE);
    UpdateWindow(H);
    const testwin::GuiObjects before = testwin::CountGuiObjects();
    for (int i = 0; i < 1000; ++i) Paint(H);
    EXPECT_EQ(testwin::CountGuiObjects(), before);
    DetachWrapper(H, true, false, w);
    EXPECT_EQ(GetWindowLongPtrW(H, GWLP_WNDPROC), own);
    w = Make(H);
    DestroyWindow(H);
    EXPECT_TRUE(w->Destroyed);
    delete w;
}

Pixels Shot(HWND Wnd) {
    UpdateWindow(Wnd);
    Pump();
    RECT r;
    GetClientRect(Wnd, &r);
    return testwin::CopyFromWindow(Wnd, r);
}

Box Find(const Pixels& P, const std::function<bool(uint32_t)>& Ink, RECT In) {
    Box b;
    for (int y = std::max(0, int(In.top)); y < std::min(P.Height, int(In.bottom)); ++y)
        for (int x = std::max(0, int(In.left)); x < std::min(P.Width, int(In.right)); ++x)
            if (Ink(P.At(x, y))) {
                b.L = std::min(b.L, x), b.T = std::min(b.T, y), b.R = std::max(b.R, x), b.B = std::max(b.B, y);
            }
    return b;
}

std::function<bool(uint32_t)> Near(uint32_t Colour, int Tolerance) {
    return [=](uint32_t C) {
        return std::abs(testwin::Red(C) - testwin::Red(Colour)) + std::abs(testwin::Green(C) - testwin::Green(Colour)) +
                   std::abs(testwin::Blue(C) - testwin::Blue(Colour)) < Tolerance;
    };
}

std::function<bool(uint32_t)> FontOf(const char* Section, bool Hot) {
    const TsGeneralData& s = M->gd()[size_t(M->SectionIndex(Section))];
    return Near(testwin::SwapRedBlue(uint32_t(ColorToRGB(Hot ? s.HotFontColor[0] : s.FontColor[0]))));
}

std::vector<uint32_t> Part(const Pixels& P, const TRect& R) {
    std::vector<uint32_t> out;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) out.push_back(P.At(x, y));
    return out;
}

}  // namespace hostwrap
