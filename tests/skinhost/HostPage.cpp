#include "HostPage.h"

void TWrappedPage::FreeWrappers() {
    for (auto it = FWrappers.rbegin(); it != FWrappers.rend(); ++it) delete *it;
    FWrappers.clear();
}

HWND TWrappedPage::System(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H,
                          DWORD Ex) {
    HWND h = CreateWindowExW(Ex, Class, Text, WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, FFace->Handle(), nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return h;
}
