// Theme services: the one place that decides whether the platform's visual
// styles are on for this program. They are on only when common controls 6
// are the ones loaded (a manifest asks for them) and the application is
// themed; the programs carry no such manifest, so they run with the classic
// look whatever theme the desktop has.
#pragma once

#include <windows.h>

bool ThemeServicesEnabled();
// Forgets the decision; the class library calls it on WM_THEMECHANGED.
void ThemeServicesChanged();
// Forces the answer (1 on, 0 off) so that themed branches can be exercised;
// -1 goes back to what is detected.
void SetThemeServicesOverride(int State);

