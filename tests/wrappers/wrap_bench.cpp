// Repaint speed of wrapped windows under Wine: a full repaint (frame, client,
// children) of a multi-line edit with both scroll bars and of a 200-row
// report list view with its header, plain and wrapped under a real skin; the
// best of five runs of 50 repaints, in milliseconds a repaint, and the ratio.
//
//   wrap_bench [SKIN_DIR SKIN_NAME]      default: the tests' Birch skin
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "EditWndDriver.h"
#include "Forms.h"
#include "TestSkins.h"
#include "UnitInit.h"
#include "acPNG.h"
#include "acSBUtilsWnds.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sSkinManager.h"

namespace {

void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

double MsPerRepaint(HWND W) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < 50; ++i)
            RedrawWindow(W, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        best = std::min(best, ms / 50);
        Pump();
    }
    return best;
}

HWND MakeEdit(HWND Host) {
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL,
                             10, 10, 400, 300, Host, nullptr, GetModuleHandleW(nullptr), nullptr);
    std::wstring text;
    for (int i = 0; i < 300; ++i)
        text += L"Line " + std::to_wstring(i) + L" of a memo that is wider than its window, so both bars show\r\n";
    SetWindowTextW(h, text.c_str());
    return h;
}

HWND MakeListView(HWND Host) {
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 400, 300,
                             Host, nullptr, GetModuleHandleW(nullptr), nullptr);
    FillListView(h);
    return h;
}

void Measure(const char* What, HWND Host, const std::function<HWND(HWND)>& Make,
             const std::function<TacMainWnd*(HWND)>& Wrap) {
    HWND plain = Make(Host);
    Pump();
    const double p = MsPerRepaint(plain);
    DestroyWindow(plain);
    HWND h = Make(Host);
    TacMainWnd* w = Wrap(h);
    Pump();
    const double s = MsPerRepaint(h);
    DetachWrapper(h, true, false, w);
    DestroyWindow(h);
    std::printf("%-40s plain %7.3f ms   wrapped %7.3f ms   ratio %.2f\n", What, p, s, p > 0 ? s / p : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    StartEditWndUnits();
    Application->Initialize();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    const std::string dir = argc >= 3 ? argv[1] : TUVRELI_TEST_SKINS_DIR;
    const std::string name = argc >= 3 ? argv[2] : "Birch";
    auto* m = MakeSkinManager(nullptr, dir, name);
    if (!m->SkinData()->Active()) {
        std::fprintf(stderr, "skin %s not loaded from %s\n", name.c_str(), dir.c_str());
        return 1;
    }
    HWND host = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 460,
                                360, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Pump();
    std::printf("Full repaints under Wine, skin %s (best of 5 x 50)\n", name.c_str());
    Measure("multi-line edit, both bars", host, MakeEdit,
            [&](HWND h) -> TacMainWnd* { return CreateWrapper<TacEditWnd>(h, true, "EDIT", m, nullptr); });
    Measure("report list view, 200 rows, header", host, MakeListView,
            [&](HWND h) -> TacMainWnd* { return CreateWrapper<TacListViewWnd>(h, true, "EDIT", m, nullptr); });
    DestroyWindow(host);
    delete m;
    FinishUnits();
    return 0;
}
