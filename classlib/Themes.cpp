#include "Themes.h"

#include <windows.h>
#include <shlwapi.h>
#include <uxtheme.h>

namespace {
int g_Override = -1;
int g_Detected = -1;  // -1: not asked yet, or the theme changed since

bool Detect() {
    HMODULE cc = GetModuleHandleW(L"comctl32.dll");
    if (!cc) return false;
    using DllGetVersionFn = HRESULT(WINAPI*)(DLLVERSIONINFO*);
    auto getVersion = reinterpret_cast<DllGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(cc, "DllGetVersion")));
    if (!getVersion) return false;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (FAILED(getVersion(&info)) || info.dwMajorVersion < 6) return false;
    return IsAppThemed() && IsThemeActive();
}
}  // namespace

bool ThemeServicesEnabled() {
    if (g_Override >= 0) return g_Override != 0;
    // Asked on every paint of a framed control: decided once, renewed only
    // when the system announces a theme change.
    if (g_Detected < 0) g_Detected = Detect() ? 1 : 0;
    return g_Detected != 0;
}

void ThemeServicesChanged() { g_Detected = -1; }

void SetThemeServicesOverride(int State) { g_Override = State < 0 ? -1 : (State ? 1 : 0); }

void ResetWindowTheme(HWND Wnd) {
    if (Wnd && ThemeServicesEnabled()) SetWindowTheme(Wnd, nullptr, nullptr);
}
