// The skin host's page of plain controls: static texts, a link and an icon,
// push and bitmap buttons, check boxes and radio buttons, group boxes and
// panels, as system windows and as class-library controls, each wrapped by
// hand by the wrapper of its kind (no form skinning does it yet).
#pragma once

#include <memory>
#include <vector>

#include "Controls.h"

class TsSkinManager;
class TacMainWnd;
class TsCommonData;

class TControlsPage {
public:
    // Fills Page (a page of the host's page control) and wraps what it made.
    TControlsPage(TWinControl* Page, TsSkinManager* Manager);
    // Lets go of the windows first: the wrappers go before the controls.
    ~TControlsPage();

private:
    HWND System(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H, DWORD Ex = 0);
    template <class T>
    void Wrap(HWND Wnd, const char* Section, TControl* Linked = nullptr);

    TWinControl* FPanel = nullptr;
    TsSkinManager* FManager;
    std::vector<std::unique_ptr<TsCommonData>> FData;
    std::vector<TacMainWnd*> FWrappers;
};
