#include "Themes.h"

#include <windows.h>
#include <shlwapi.h>
#include <uxtheme.h>

namespace {
int g_Override = -1;

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
    return Detect();
}

void SetThemeServicesOverride(int State) { g_Override = State < 0 ? -1 : (State ? 1 : 0); }
